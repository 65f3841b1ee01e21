// Edit view data and view info: the painted border by hot state, container and hot states,
// button placement and visibility, the button state machine, extents and sizes, the popup
// border, copying, update regions and repainting.
#include <limits>

#include "editors/qvEditViewTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The painted border: style border x hot state

struct TBorderCase {
  TqvEditBorderStyle Style;
  TqvEditBorderStyle Cold;  // hot states 0 and 1
  TqvEditBorderStyle Hot;   // hot state 2
};

class EditViewBorderTable : public TEditViewTest, public ::testing::WithParamInterface<TBorderCase> {};

TEST_P(EditViewBorderTable, PaintedBorderFollowsTheHotState) {
  Style()->SetBorderStyle(GetParam().Style);
  Data();
  EXPECT_EQ(GetParam().Cold, D()->GetBorderStyle(ehsNoHotTrack));
  EXPECT_EQ(GetParam().Cold, D()->GetBorderStyle(ehsNotHot));
  EXPECT_EQ(GetParam().Hot, D()->GetBorderStyle(ehsHot));
  Data(true);
  for (TqvEditHotState hot : {ehsNoHotTrack, ehsNotHot, ehsHot}) EXPECT_EQ(ebsNone, D()->GetBorderStyle(hot));
}

INSTANTIATE_TEST_SUITE_P(All, EditViewBorderTable,
                         ::testing::Values(TBorderCase{ebsNone, ebsNone, ebsFlat},
                                           TBorderCase{ebsSingle, ebsSingle, ebsThick},
                                           TBorderCase{ebsThick, ebsThick, ebsThick},
                                           TBorderCase{ebsFlat, ebsFlat, ebs3D}, TBorderCase{ebs3D, ebs3D, ebs3D},
                                           TBorderCase{ebsUltraFlat, ebsSingle, ebsSingle}));

// ---------------------------------------------------------------------------------------------
// States

using EditViewState = TEditViewTest;

TEST_F(EditViewState, HotStateAndPaintedBorderFollowTheMouse) {
  Style()->SetBorderStyle(ebsSingle);
  Data();
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(cstBit(cstNormal) | cstBit(cstHot), ViewInfo.ContainerState);
  EXPECT_EQ(ehsHot, ViewInfo.HotState);
  EXPECT_EQ(ebsThick, ViewInfo.GetEditBorderStyle());
  Calc(Rect(0, 0, 100, 21), Point(150, 10));
  EXPECT_EQ(cstBit(cstNormal), ViewInfo.ContainerState);
  EXPECT_EQ(ehsNotHot, ViewInfo.HotState);
  EXPECT_EQ(ebsSingle, ViewInfo.GetEditBorderStyle());
}

TEST_F(EditViewState, NoHotTrackingInPlaceWithoutHotTrackOrWhileDesigned) {
  Data(true);
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(ehsNoHotTrack, ViewInfo.HotState);
  Style()->SetHotTrack(false);
  Data();
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(ehsNoHotTrack, ViewInfo.HotState);
  Style()->SetHotTrack(true);
  Data()->IsDesigning = true;
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(ehsNoHotTrack, ViewInfo.HotState);
  EXPECT_EQ(cstBit(cstNormal), ViewInfo.ContainerState);
}

TEST_F(EditViewState, FocusedIsActiveAndDisabledIsOnlyDisabled) {
  Data()->Focused = true;
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(cstBit(cstActive), ViewInfo.ContainerState);
  EXPECT_TRUE(D()->IsSelected);
  Data()->Enabled = false;
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(cstBit(cstDisabled), ViewInfo.ContainerState);
  EXPECT_FALSE(D()->IsSelected);
}

TEST_F(EditViewState, AHeldButtonMakesNothingHotUnlessTheEditorHoldsTheCapture) {
  Data();
  Calc(Rect(0, 0, 100, 21), Point(50, 10), cmbNone, ssLeft);
  EXPECT_FALSE(ViewInfo.ContainerState & cstBit(cstHot));
  D()->Edit = &Client;
  Client.Captured = true;
  Calc(Rect(0, 0, 100, 21), Point(50, 10), cmbNone, ssLeft);
  EXPECT_TRUE(ViewInfo.ContainerState & cstBit(cstHot));
}

TEST_F(EditViewState, TheShadowIsNotHot) {
  PlainFrame(ebsSingle);
  Style()->SetShadow(true);
  Data();
  Calc(Rect(0, 0, 100, 24), Point(98, 12));
  EXPECT_TRUE(ViewInfo.Shadow);
  EXPECT_FALSE(ViewInfo.ContainerState & cstBit(cstHot));
  Calc(Rect(0, 0, 100, 24), Point(96, 12));
  EXPECT_TRUE(ViewInfo.ContainerState & cstBit(cstHot));
}

TEST_F(EditViewState, UltraFlatBorderLightsUpWhenFocusedOrHot) {
  Style()->SetBorderStyle(ebsUltraFlat);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(clBtnShadow, ViewInfo.BorderColor);
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(clHighlight, ViewInfo.BorderColor);
  Style()->SetHotTrack(false);
  Data()->Focused = true;
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(clHighlight, ViewInfo.BorderColor);
}

TEST_F(EditViewState, ColoursComeFromTheStyleOrTheDisabledLook) {
  Style()->SetColor(clYellow);
  Style()->GetFont()->SetColor(clRed);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(clYellow, ViewInfo.BackgroundColor);
  EXPECT_EQ(clRed, ViewInfo.TextColor);
  Data()->Enabled = false;
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(clBtnFace, ViewInfo.BackgroundColor);
  EXPECT_EQ(clBtnShadow, ViewInfo.TextColor);
  Style()->SetTextColor(clGreen);
  Data(true);
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(clGreen, ViewInfo.TextColor);
}

// ---------------------------------------------------------------------------------------------
// Buttons: visibility, placement, groups

using EditViewButtons = TEditViewTest;

TEST_F(EditViewButtons, HideInactiveShowsButtonsOnlyWhenFocused) {
  AddButton();
  AddButton(bkEllipsis);
  Style()->SetButtonTransparency(ebtHideInactive);
  Data();
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(0, ViewInfo.GetButtonCount());
  D()->Focused = true;
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(2, ViewInfo.GetButtonCount());
}

TEST_F(EditViewButtons, HideUnselectedShowsButtonsWhenHot) {
  AddButton();
  Style()->SetButtonTransparency(ebtHideUnselected);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(0, ViewInfo.GetButtonCount());
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_EQ(1, ViewInfo.GetButtonCount());
}

TEST_F(EditViewButtons, TransparencyFollowsTheSelection) {
  AddButton();
  Style()->SetButtonTransparency(ebtInactive);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_TRUE(Button(0)->Transparent);
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_FALSE(Button(0)->Transparent);
  Style()->SetButtonTransparency(ebtAlways);
  Data();
  Calc(Rect(0, 0, 100, 21), Point(50, 10));
  EXPECT_TRUE(Button(0)->Transparent);
}

TEST_F(EditViewButtons, TheLastButtonSitsOutermostAndInvisibleOnesTakeNoPlace) {
  PlainFrame(ebsSingle);
  Style()->SetButtonStyle(bts3D);
  AddButton(bkDown, false, 10);
  AddButton(bkEllipsis, false, 12)->SetVisible(false);
  AddButton(bkGlyph, false, 14);
  AddButton(bkEllipsis, true, 16);
  Data();
  Calc(Rect(0, 0, 120, 21));
  ASSERT_EQ(3, ViewInfo.GetButtonCount());
  EXPECT_EQ(0, Button(0)->ButtonIndex);
  EXPECT_EQ(2, Button(1)->ButtonIndex);
  EXPECT_EQ(3, Button(2)->ButtonIndex);
  EXPECT_EQ(Rect(1, 1, 17, 20), Button(2)->Bounds);    // left group
  EXPECT_EQ(Rect(105, 1, 119, 20), Button(1)->Bounds);  // outermost right
  EXPECT_EQ(Rect(95, 1, 105, 20), Button(0)->Bounds);
  EXPECT_EQ(Rect(17, 1, 95, 20), ViewInfo.InnerEditRect);
  EXPECT_TRUE(Button(2)->FirstInGroup && Button(2)->LastInGroup);
  EXPECT_TRUE(Button(0)->FirstInGroup);
  EXPECT_FALSE(Button(0)->LastInGroup);
  EXPECT_TRUE(Button(1)->LastInGroup);
  EXPECT_FALSE(Button(1)->FirstInGroup);
}

TEST_F(EditViewButtons, ButtonsHiddenAfterTheViewDataWasMadeLeaveNoStaleButton) {
  PlainFrame(ebsSingle);
  Style()->SetButtonStyle(bts3D);
  AddButton(bkDown, false, 10);
  AddButton(bkDown, false, 10);
  Data();
  Properties->GetButtons()->GetItem(0)->SetVisible(false);
  Calc(Rect(0, 0, 100, 21));
  ASSERT_EQ(1, ViewInfo.GetButtonCount());
  EXPECT_EQ(1, Button(0)->ButtonIndex);
  EXPECT_EQ(Rect(1, 1, 89, 20), ViewInfo.InnerEditRect);
}

TEST_F(EditViewButtons, ButtonsCopyTheirSettings) {
  AddButton(bkEllipsis, false, 20)->SetDefault(true);
  Data(true);
  Calc(Rect(0, 0, 100, 21));
  const TqvEditButtonViewInfo* b = Button(0);
  EXPECT_EQ(bkEllipsis, b->Kind);
  EXPECT_TRUE(b->Default);
  EXPECT_TRUE(b->IsInplace);
  EXPECT_EQ(20, b->Width);
  EXPECT_FALSE(b->IsSingleDropDown);
  Properties->GetButtons()->GetItem(0)->SetKind(bkDown);
  Calc(Rect(0, 0, 100, 21));
  EXPECT_TRUE(Button(0)->IsSingleDropDown);
}

TEST_F(EditViewButtons, TwoRightButtonsInATenPixelEditor) {
  AddButton();
  AddButton();
  Data(true);
  Calc(Rect(0, 0, 10, 20));
  ASSERT_EQ(2, ViewInfo.GetButtonCount());
  EXPECT_EQ(Rect(0, 0, 10, 20), Button(1)->VisibleBounds);
  EXPECT_EQ(10 - ScrollArrowWidth(), Button(1)->Bounds.Left);
  EXPECT_TRUE(Button(0)->VisibleBounds.IsEmpty());
  TRect extent;
  D()->GetClientExtent(&ViewInfo, extent);
  EXPECT_GE(extent.Right, 10);
  EXPECT_TRUE(ViewInfo.InnerEditRect.IsEmpty());
}

TEST_F(EditViewButtons, HotFlatButtonsShareAPixelWithTheText) {
  PlainFrame(ebsSingle);
  Style()->SetButtonStyle(btsHotFlat);
  AddButton(bkDown, false, 10);
  AddButton(bkDown, true, 10);
  Data();
  Calc(Rect(0, 0, 100, 21));
  const TqvEditButtonViewInfo* right = Button(0);
  const TqvEditButtonViewInfo* left = Button(1);
  EXPECT_EQ(Rect(88, 1, 99, 20), right->Bounds);
  EXPECT_EQ(Rect(89, 1, 99, 20), right->VisibleBounds);  // a left group exists
  EXPECT_EQ(Rect(1, 1, 12, 20), left->Bounds);
  EXPECT_EQ(Rect(1, 1, 11, 20), left->VisibleBounds);
}

TEST_F(EditViewButtons, DefaultButtonStyleFollowsThePaintedBorder) {
  const struct {
    TqvEditBorderStyle Border;
    TqvEditButtonStyle Expected;
  } cases[] = {{ebsNone, btsSimple}, {ebsSingle, btsHotFlat}, {ebsThick, bts3D},
               {ebsFlat, btsFlat},   {ebs3D, bts3D},          {ebsUltraFlat, btsUltraFlat}};
  AddButton();
  Style()->SetHotTrack(false);
  for (const auto& c : cases) {
    Style()->SetBorderStyle(c.Border);
    Data();
    Calc(Rect(0, 0, 100, 21));
    EXPECT_EQ(c.Expected, Button(0)->Style) << c.Border;
  }
  Style()->SetButtonStyle(btsSimple);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(btsSimple, Button(0)->Style);
}

// ---------------------------------------------------------------------------------------------
// The button state machine

class EditViewButtonStates : public TEditViewTest {
 protected:
  void SetUp() override {
    TEditViewTest::SetUp();
    PlainFrame(ebsSingle);
    AddButton(bkDown, false, 20);
    AddButton(bkEllipsis, false, 20);
  }
  // Button 1 covers x 79..98, button 0 x 59..78.
  static constexpr TPoint OnButton1{85, 10}, OnButton0{65, 10}, OnText{20, 10};
  void Move(TPoint P, TShiftState AShift = 0) { Calc(Rect(0, 0, 100, 21), P, cmbNone, AShift, true); }
  void Press(TPoint P) { Calc(Rect(0, 0, 100, 21), P, cmbLeft, ssLeft, true); }
};

// A view data whose buttons refuse a press, or one whose first button is held by its data.
class TRefusingViewData : public TqvCustomEditViewData {
  QJ_INLINE_CLASS(TRefusingViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;
  bool CanPressButton(TqvCustomEditViewInfo*, Integer) override { return false; }
};
class THeldViewData : public TqvCustomEditViewData {
  QJ_INLINE_CLASS(THeldViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;
  bool IsButtonPressed(TqvCustomEditViewInfo*, Integer AIndex) override { return AIndex == 0; }
};

TEST_F(EditViewButtonStates, HoverMakesAButtonHot) {
  Data();
  Move(OnButton1);
  EXPECT_EQ(ebbsHot, Button(1)->State);
  EXPECT_EQ(ebbsNormal, Button(0)->State);
  EXPECT_EQ(1, ViewInfo.HotButtonIndex);
  EXPECT_TRUE(ViewInfo.IsHotTrack());
  Move(OnText);
  EXPECT_FALSE(ViewInfo.IsHotTrack());
  EXPECT_EQ(-1, ViewInfo.HotButtonIndex);
}

TEST_F(EditViewButtonStates, ALeftPressPressesWhenTheViewDataAllows) {
  Data();
  Press(OnButton1);
  EXPECT_EQ(ebbsPressed, Button(1)->State);
  EXPECT_EQ(1, ViewInfo.PressedButtonIndex);
  EXPECT_TRUE(ViewInfo.ButtonPressed);

  TqvCustomEditViewInfo fresh;  // no earlier press to keep
  TRefusingViewData refusing(Properties.get(), Style(), false);
  refusing.AfterConstruction();
  refusing.Calculate(C().Canvas(), Rect(0, 0, 100, 21), OnButton1, cmbLeft, ssLeft, &fresh, true);
  EXPECT_EQ(ebbsNormal, fresh.GetButton(1)->State);
  EXPECT_EQ(-1, fresh.PressedButtonIndex);
  EXPECT_TRUE(fresh.ButtonPressed);
}

TEST_F(EditViewButtonStates, DraggingOffAndBackKeepsThePressWhileTheEditorHoldsIt) {
  Data()->Edit = &Client;
  Press(OnButton1);
  Client.CapturedButton = 1;
  Move(Point(20, 10), ssLeft);
  EXPECT_EQ(ebbsNormal, Button(1)->State);
  EXPECT_EQ(-1, ViewInfo.PressedButtonIndex);
  Move(OnButton1, ssLeft);
  EXPECT_EQ(ebbsPressed, Button(1)->State);
  EXPECT_EQ(1, ViewInfo.PressedButtonIndex);
  Move(OnButton1, ssLeft);
  EXPECT_EQ(ebbsPressed, Button(1)->State);  // still pressed
  Move(OnButton1);
  EXPECT_EQ(ebbsHot, Button(1)->State);  // released
}

TEST_F(EditViewButtonStates, ADragOntoAnotherButtonDoesNotPressIt) {
  Data()->Edit = &Client;
  Press(OnButton1);
  Client.CapturedButton = 1;
  Move(OnButton0, ssLeft);
  EXPECT_EQ(ebbsNormal, Button(0)->State);
  EXPECT_EQ(ebbsNormal, Button(1)->State);
}

TEST_F(EditViewButtonStates, AButtonHeldByDataIsPressedAnywhere) {
  THeldViewData held(Properties.get(), Style(), false);
  held.AfterConstruction();
  held.Calculate(C().Canvas(), Rect(0, 0, 100, 21), OnText, cmbNone, 0, &ViewInfo, false);
  EXPECT_EQ(ebbsPressed, Button(0)->State);
  EXPECT_EQ(0, ViewInfo.PressedButtonIndex);
  EXPECT_EQ(ebbsNormal, Button(1)->State);
}

TEST_F(EditViewButtonStates, DisabledEditorPaintsEveryButtonDisabled) {
  Data()->Enabled = false;
  Press(OnButton1);
  EXPECT_EQ(ebbsDisabled, Button(0)->State);
  EXPECT_EQ(ebbsDisabled, Button(1)->State);
  EXPECT_FALSE(ViewInfo.IsHotTrack());
}

TEST_F(EditViewButtonStates, DesignedEditorNeverPressesOrLightsButtons) {
  Data()->IsDesigning = true;
  Press(OnButton1);
  EXPECT_EQ(ebbsNormal, Button(1)->State);
}

// ---------------------------------------------------------------------------------------------
// Sizes

using EditViewSize = TEditViewTest;

TEST_F(EditViewSize, BorderPartHoldsFrameAndButtonsWithoutOverflowing) {
  PlainFrame(ebs3D);
  AddButton(bkDown, false, 15);
  Data();
  TSize border{}, extra{};
  D()->CalculateEditBorderPartSize(C().Canvas(), TqvEditSizeProperties{}, nullptr, border, extra);
  EXPECT_EQ(2 + 2 + 15, border.cx);
  EXPECT_EQ(4, border.cy);
  EXPECT_EQ(TSize{}, extra);
}

TEST_F(EditViewSize, HotTrackingAndShadowWidenTheBorderPart) {
  Style()->SetBorderStyle(ebsSingle);
  Style()->SetShadow(true);
  Data();
  TSize border{}, extra{};
  D()->CalculateEditBorderPartSize(C().Canvas(), TqvEditSizeProperties{}, nullptr, border, extra);
  EXPECT_EQ((TSize{2 + 2 + 3, 2 + 2 + 3}), border);
}

TEST_F(EditViewSize, MeasuringBoundsLeaveRoomForTheFrameArithmetic) {
  // The measuring view info's bounds are grown by frame widths; they must stay far from the
  // integer limit.
  Style()->SetBorderStyle(ebsThick);
  Style()->SetShadow(true);
  AddButton(bkDown, false, 15);
  Data();
  TSize border{}, extra{};
  D()->CalculateEditBorderPartSize(C().Canvas(), TqvEditSizeProperties{}, nullptr, border, extra);
  EXPECT_LT(qvUnboundedExtent, std::numeric_limits<Integer>::max() / 2);
  Calc(Rect(0, 0, qvUnboundedExtent, qvUnboundedExtent));
  const TRect hot = GetEditHotArea(&ViewInfo, ViewInfo.Bounds);
  EXPECT_EQ(qvUnboundedExtent - 3, hot.Right);
  EXPECT_EQ((TSize{2 + 5 + 15, 2 + 5}), border);
}

TEST_F(EditViewSize, AWidthBelowTheBorderPartIsKept) {
  PlainFrame(ebs3D);
  AddButton(bkDown, false, 15);
  Data();
  EXPECT_EQ((TSize{10, 4}), D()->GetEditSize(C().Canvas(), Variant(), TqvEditSizeProperties{0, 10}));
  EXPECT_EQ((TSize{19, 4}), D()->GetEditSize(C().Canvas(), Variant(), TqvEditSizeProperties{0, 40}));
  EXPECT_EQ((TSize{19, 4}), Properties->GetEditSize(C().Canvas(), Style(), false, Variant(),
                                                     TqvEditSizeProperties{0, -1}));
}

TEST_F(EditViewSize, GlyphButtonsAskForRoomInPlace) {
  TqvEditButton* b = AddButton(bkGlyph);
  b->GetGlyph()->SetSize(16, 20);
  Data(true);
  TSize border{}, extra{};
  D()->CalculateEditBorderPartSize(C().Canvas(), TqvEditSizeProperties{}, nullptr, border, extra);
  EXPECT_EQ(0, border.cy);
  EXPECT_EQ(20 + 2, extra.cy);  // the simple button's extra height
  Data();
  D()->CalculateEditBorderPartSize(C().Canvas(), TqvEditSizeProperties{}, nullptr, border, extra);
  EXPECT_EQ(0, extra.cy);  // standalone without auto size
}

// ---------------------------------------------------------------------------------------------
// Popup border

TEST_F(EditViewState, PopupBorderStyleResolvesTheDefault) {
  const struct {
    TqvEditBorderStyle Border;
    TqvEditPopupBorderStyle Expected;
  } standalone[] = {{ebsNone, epbsFlat}, {ebsSingle, epbsSingle}, {ebsThick, epbsSingle},
                    {ebsFlat, epbsFlat}, {ebs3D, epbsSingle},     {ebsUltraFlat, epbsSingle}};
  Style()->SetHotTrack(false);
  for (const auto& c : standalone) {
    Style()->SetBorderStyle(c.Border);
    Data();
    Calc(Rect(0, 0, 100, 21));
    EXPECT_EQ(c.Expected, ViewInfo.PopupBorderStyle) << c.Border;
  }
  const struct {
    TqvLookAndFeelKind Kind;
    TqvEditPopupBorderStyle Expected;
  } inplace[] = {{lfFlat, epbsFlat}, {lfStandard, epbsFrame3D}, {lfUltraFlat, epbsSingle}};
  for (const auto& c : inplace) {
    Style()->GetLookAndFeel()->SetKind(c.Kind);
    Data(true);
    Calc(Rect(0, 0, 100, 21));
    EXPECT_EQ(c.Expected, ViewInfo.PopupBorderStyle) << c.Kind;
  }
  Style()->SetPopupBorderStyle(epbsFrame3D);
  Data();
  Calc(Rect(0, 0, 100, 21));
  EXPECT_EQ(epbsFrame3D, ViewInfo.PopupBorderStyle);
}

// ---------------------------------------------------------------------------------------------
// Copying, update regions, repainting

using EditViewRepaint = TEditViewTest;

TEST_F(EditViewRepaint, AssignCopiesFrameAndButtons) {
  AddButton();
  Data();
  Calc(Rect(0, 0, 100, 21), Point(90, 10));
  TqvCustomEditViewInfo copy;
  copy.Assign(&ViewInfo);
  ASSERT_EQ(1, copy.GetButtonCount());
  EXPECT_EQ(ViewInfo.GetButton(0)->Bounds, copy.GetButton(0)->Bounds);
  EXPECT_EQ(ebbsHot, copy.GetButton(0)->State);
  EXPECT_EQ(ViewInfo.HotButtonIndex, copy.HotButtonIndex);
  EXPECT_EQ(ViewInfo.BorderStyle, copy.BorderStyle);
  EXPECT_EQ(ViewInfo.InnerEditRect, copy.InnerEditRect);
}

TEST_F(EditViewRepaint, UpdateRegionHoldsOnlyWhatChanged) {
  PlainFrame(ebsSingle);
  AddButton(bkDown, false, 20);
  Data();
  Calc(Rect(0, 0, 100, 21));
  TqvCustomEditViewInfo old;
  old.Assign(&ViewInfo);
  EXPECT_TRUE(ViewInfo.GetUpdateRegion(&old)->IsEmpty());
  Calc(Rect(0, 0, 100, 21), Point(90, 10));
  auto region = ViewInfo.GetUpdateRegion(&old);
  EXPECT_FALSE(region->IsEmpty());
  RECT box{};
  GetRgnBox(region->GetHandle(), &box);
  EXPECT_EQ(Button(0)->Bounds, TRect(box));
  old.BorderStyle = cbsThick;
  GetRgnBox(ViewInfo.GetUpdateRegion(&old)->GetHandle(), &box);
  EXPECT_EQ(Rect(0, 0, 100, 21), TRect(box));
}

TEST_F(EditViewRepaint, RepaintAnswersWhetherAnythingChanged) {
  AddButton(bkDown, false, 20);
  Data();
  Calc(Rect(0, 0, 100, 21));
  TqvCustomEditViewInfo old;
  old.Assign(&ViewInfo);
  EXPECT_FALSE(ViewInfo.Repaint(nullptr, nullptr, nullptr));
  EXPECT_FALSE(ViewInfo.Repaint(nullptr, &old, nullptr));
  Calc(Rect(0, 0, 100, 21), Point(90, 10));
  EXPECT_TRUE(ViewInfo.Repaint(nullptr, &old, nullptr));
  old.Assign(&ViewInfo);
  old.SetButtonCount(0);
  EXPECT_TRUE(ViewInfo.Repaint(nullptr, &old, nullptr));
}

TEST_F(EditViewRepaint, OffsetMovesEveryRectangle) {
  AddButton(bkDown, false, 20);
  Data();
  Calc(Rect(0, 0, 100, 21));
  const TRect button = Button(0)->Bounds, border = ViewInfo.BorderRect, inner = ViewInfo.InnerEditRect;
  ViewInfo.Offset(5, 7);
  EXPECT_EQ(qvOffsetRect(button, 5, 7), Button(0)->Bounds);
  EXPECT_EQ(qvOffsetRect(button, 5, 7), Button(0)->VisibleBounds);
  EXPECT_EQ(qvOffsetRect(border, 5, 7), ViewInfo.BorderRect);
  EXPECT_EQ(qvOffsetRect(inner, 5, 7), ViewInfo.InnerEditRect);
}

TEST_F(EditViewRepaint, NoHintInTheBase) {
  Data();
  Calc(Rect(0, 0, 100, 21));
  bool multiLine = true;
  String text = "x";
  EXPECT_FALSE(ViewInfo.NeedShowHint(C().Canvas(), Point(5, 5), multiLine, text));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(multiLine);
}

class TMarkedViewData : public TqvCustomEditViewData {
  QJ_INLINE_CLASS(TMarkedViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;
  void InitCacheData() override {
    inherited::InitCacheData();
    Cached = true;
  }
  bool Cached = false;
};
class TMarkedViewInfo : public TqvCustomEditViewInfo {
  QJ_INLINE_CLASS(TMarkedViewInfo, TqvCustomEditViewInfo)
};
class TMarkedProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TMarkedProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
  static TqvCustomEditViewDataClass ViewDataClass() { return &TMarkedViewData::StaticClass(); }
  static TqvCustomEditViewInfoClass ViewInfoClass() { return &TMarkedViewInfo::StaticClass(); }
};

TEST_F(EditViewRepaint, ADerivedPropertiesClassMakesItsOwnViewDataAndMeasuresWithItsViewInfo) {
  TqvCustomEditPropertiesClass cls = &TMarkedProperties::StaticClass();
  EXPECT_EQ(cls->GetViewDataClass(), &TMarkedViewData::StaticClass());
  EXPECT_EQ(cls->GetStyleClass(), &TqvCustomEditStyle::StaticClass());
  TOwned<TqvCustomEditProperties> properties(cls->Create(nullptr));
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(Style(), false);
  ASSERT_TRUE(data->IsExactly<TMarkedViewData>());
  EXPECT_TRUE(static_cast<TMarkedViewData*>(data.get())->Cached);  // the final class's InitCacheData
  EXPECT_EQ(properties->GetViewInfoClass(), &TMarkedViewInfo::StaticClass());
}

TEST_F(EditViewRepaint, PropertiesNameTheEditClasses) {
  EXPECT_EQ(Properties->GetViewDataClass(), &TqvCustomEditViewData::StaticClass());
  EXPECT_EQ(Properties->GetViewInfoClass(), &TqvCustomEditViewInfo::StaticClass());
  EXPECT_EQ(Properties->GetStyleClass(), &TqvCustomEditStyle::StaticClass());
  EXPECT_TRUE(Data()->IsExactly<TqvCustomEditViewData>());
}

}  // namespace
