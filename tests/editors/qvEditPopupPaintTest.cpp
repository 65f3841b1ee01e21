// Drop-down windows of the editors: frame widths and extents, the system panel, the layout of
// the size grip and the close button, the sizing hit test, the painting probed pixel by pixel,
// and the window shape.
#include "editors/qvEditPopupWindowViewInfo.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/os/Theme.h"
#include "platform/os/Windows.h"

namespace {

constexpr Integer kPanel = 18;  // max(SM_CYHSCROLL 17, SM_CYSIZE 18)

struct TPopupSettings {
  TqvEditPopupBorderStyle BorderStyle = epbsSingle;
  bool NativeStyle = false;
  bool ClientEdge = false;
  bool Shadow = false;
  bool SysPanelStyle = false;
  bool Sizeable = false;
  bool HasCloseButton = false;
  TqvSizeGripCorner Corner = sgcBottomRight;
};

TOwned<TqvCustomEditPopupWindowViewInfo> MakeViewInfo(const TPopupSettings& S, const TSize& ASize = {120, 90}) {
  auto v = MakeOwned<TqvCustomEditPopupWindowViewInfo>();
  v->PopupBorderStyle = S.BorderStyle;
  v->NativeStyle = S.NativeStyle;
  v->ClientEdge = S.ClientEdge;
  v->Shadow = S.Shadow;
  v->SysPanelStyle = S.SysPanelStyle;
  v->Sizeable = S.Sizeable;
  v->HasCloseButton = S.HasCloseButton;
  v->SizeGripCorner = S.Corner;
  v->Bounds = Bounds(300, 200, ASize.cx, ASize.cy);  // a window placed anywhere on the screen
  return v;
}

// ---------------------------------------------------------------------------------------------
// Widths

struct TWidthCase {
  const char* Name;
  TqvEditPopupBorderStyle BorderStyle;
  bool NativeStyle;
  Integer Frame;       // without the client edge
  Integer ClientEdge;  // the client edge's own width
};

class EditPopupWidthTest : public ::testing::TestWithParam<TWidthCase> {};

TEST_P(EditPopupWidthTest, FrameAndClientEdge) {
  const TWidthCase& c = GetParam();
  auto v = MakeViewInfo({.BorderStyle = c.BorderStyle, .NativeStyle = c.NativeStyle});
  EXPECT_EQ(GetPopupBorderWidth(v.get(), true), c.Frame) << "no client edge, nothing added";
  EXPECT_EQ(GetPopupClientEdgeWidth(v.get()), 0);
  v->ClientEdge = true;
  EXPECT_EQ(GetPopupBorderWidth(v.get(), false), c.Frame);
  EXPECT_EQ(GetPopupClientEdgeWidth(v.get()), c.ClientEdge);
  EXPECT_EQ(GetPopupBorderWidth(v.get(), true), c.Frame + c.ClientEdge);
}

INSTANTIATE_TEST_SUITE_P(Styles, EditPopupWidthTest,
                         ::testing::Values(TWidthCase{"Single", epbsSingle, false, 1, 2},
                                           TWidthCase{"Frame3D", epbsFrame3D, false, 4, 2},
                                           TWidthCase{"Flat", epbsFlat, false, 2, 1},
                                           TWidthCase{"Default", epbsDefault, false, 0, 0},
                                           TWidthCase{"NativeFrame3D", epbsFrame3D, true, 1, 2},
                                           TWidthCase{"NativeFlat", epbsFlat, true, 1, 2}),
                         [](const auto& info) { return String(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Extents and the layout

class EditPopupLayout : public TEditorsTest {};

TEST_F(EditPopupLayout, ExtentHoldsFrameShadowAndThePanelAtTheGripsSide) {
  ThemeEngine::SetEnabled(false);
  auto v = MakeViewInfo({.BorderStyle = epbsFlat, .ClientEdge = true, .Shadow = true});
  TRect e;
  v->GetBorderExtent(e);
  EXPECT_EQ(e, Rect(3, 3, 6, 6));
  EXPECT_EQ(v->SysPanelHeight, 0);
  EXPECT_EQ(v->SizingBandWidth, kPanel);

  struct TPanelCase {
    TqvEditPopupBorderStyle BorderStyle;
    TqvSizeGripCorner Corner;
    TRect Extent;
  };
  // The panel's separator line takes one row more with a single frame.
  for (const TPanelCase& c : {TPanelCase{epbsSingle, sgcBottomRight, Rect(1, 1, 1, 1 + kPanel + 1)},
                              TPanelCase{epbsSingle, sgcTopLeft, Rect(1, 1 + kPanel + 1, 1, 1)},
                              TPanelCase{epbsFlat, sgcBottomLeft, Rect(2, 2, 2, 2 + kPanel)},
                              TPanelCase{epbsFrame3D, sgcTopRight, Rect(4, 4 + kPanel, 4, 4)}}) {
    auto p = MakeViewInfo({.BorderStyle = c.BorderStyle, .SysPanelStyle = true, .Corner = c.Corner});
    p->GetBorderExtent(e);
    EXPECT_EQ(e, c.Extent) << int(c.BorderStyle) << "/" << int(c.Corner);
    EXPECT_EQ(p->SysPanelHeight, kPanel);
    TRect client;
    p->GetClientExtent(client);
    EXPECT_EQ(client, e);
  }
}

TEST_F(EditPopupLayout, AReservedPanelHeightOnlyRaisesThePanel) {
  ThemeEngine::SetEnabled(false);
  auto v = MakeViewInfo({.SysPanelStyle = true});
  v->ReservedSysPanelHeight = 30;
  EXPECT_EQ(v->GetSysPanelHeight(), 30);
  v->ReservedSysPanelHeight = 5;
  EXPECT_EQ(v->GetSysPanelHeight(), kPanel);
}

TEST_F(EditPopupLayout, ThemedPanelMakesRoomForTheThemesCloseButtonAndSizeBox) {
  auto v = MakeViewInfo({.NativeStyle = true, .SysPanelStyle = true});
  EXPECT_EQ(GetPopupSysPanelHeight(v.get()), kPanel) << "the theme's parts are smaller than the band";
  v->NativeStyle = false;
  EXPECT_EQ(GetPopupSysPanelHeight(v.get()), kPanel);
}

struct TPopupLayoutCase {
  const char* Name;
  TqvSizeGripCorner Corner;
  TRect Client;
  TRect GripHit;
  TRect Grip;
  TRect Close;
};

class EditPopupLayoutTest : public TEditorsTest, public ::testing::WithParamInterface<TPopupLayoutCase> {};

// A 120 x 90 single-framed window with a shadow and a system panel; the grip's corner decides
// where the panel, the grip and the close button go.
TEST_P(EditPopupLayoutTest, PlacesGripAndCloseButtonAtTheCorner) {
  ThemeEngine::SetEnabled(false);
  const TPopupLayoutCase& c = GetParam();
  auto v = MakeViewInfo(
      {.Shadow = true, .SysPanelStyle = true, .Sizeable = true, .HasCloseButton = true, .Corner = c.Corner});
  v->Calculate();
  EXPECT_EQ(v->ClientRect, c.Client);
  EXPECT_EQ(v->SizingInnerRect, Rect(1, 1, 116, 86));
  EXPECT_EQ(v->GripHitRect, c.GripHit);
  EXPECT_EQ(v->SizeGripRect, c.Grip);
  EXPECT_EQ(v->CloseButtonRect, c.Close);
  EXPECT_EQ(v->CloseButtonNativeState, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, EditPopupLayoutTest,
    ::testing::Values(TPopupLayoutCase{"BottomRight", sgcBottomRight, Rect(1, 1, 116, 86 - kPanel - 1),
                                       Rect(101, 71, 116, 86), Rect(99, 69, 114, 84), Rect(4, 71, 17, 84)},
                      TPopupLayoutCase{"BottomLeft", sgcBottomLeft, Rect(1, 1, 116, 86 - kPanel - 1),
                                       Rect(1, 71, 16, 86), Rect(3, 69, 18, 84), Rect(100, 71, 113, 84)},
                      TPopupLayoutCase{"TopRight", sgcTopRight, Rect(1, 1 + kPanel + 1, 116, 86), Rect(101, 1, 116, 16),
                                       Rect(99, 3, 114, 18), Rect(4, 3, 17, 16)},
                      TPopupLayoutCase{"TopLeft", sgcTopLeft, Rect(1, 1 + kPanel + 1, 116, 86), Rect(1, 1, 16, 16),
                                       Rect(3, 3, 18, 18), Rect(100, 3, 113, 16)}),
    [](const auto& info) { return String(info.param.Name); });

TEST_F(EditPopupLayout, WithoutASystemPanelThereIsNoGripAndNoCloseButton) {
  auto v = MakeViewInfo({.BorderStyle = epbsFrame3D, .Sizeable = true, .HasCloseButton = true});
  v->GripHitRect = v->SizeGripRect = v->CloseButtonRect = Rect(1, 1, 5, 5);
  v->Calculate();
  EXPECT_EQ(v->ClientRect, Rect(4, 4, 116, 86));
  EXPECT_EQ(v->SizingInnerRect, Rect(4, 4, 116, 86));
  EXPECT_TRUE(v->GripHitRect.IsEmpty());
  EXPECT_TRUE(v->SizeGripRect.IsEmpty());
  EXPECT_TRUE(v->CloseButtonRect.IsEmpty());
}

TEST_F(EditPopupLayout, NoCloseButtonUnlessAsked) {
  auto v = MakeViewInfo({.SysPanelStyle = true, .Sizeable = true});
  v->Calculate();
  EXPECT_TRUE(v->CloseButtonRect.IsEmpty());
  EXPECT_FALSE(v->GripHitRect.IsEmpty());
}

TEST_F(EditPopupLayout, AThemedCloseButtonIsCentredInThePanel) {
  auto v = MakeViewInfo({.NativeStyle = true, .SysPanelStyle = true, .HasCloseButton = true});
  v->CloseButtonState = qvbsHot;
  v->Calculate();
  EXPECT_EQ(v->CloseButtonNativeState, 2);
  // Native frame 1, separator 1: the panel is rows 71..88 of the 90-row window.
  EXPECT_EQ(v->CloseButtonRect, Bounds(2, 71 + (kPanel - 16) / 2, 16, 16));
  ThemeEngine::SetEnabled(false);
  v->Calculate();
  EXPECT_EQ(v->CloseButtonNativeState, 0);
}

// ---------------------------------------------------------------------------------------------
// Sizing hit test

struct TSizingCase {
  const char* Name;
  TqvSizeGripCorner Corner;
  TPoint P;
  bool Sizing;
  Integer Horz, Vert;
};

class EditPopupSizingTest : public TEditorsTest, public ::testing::WithParamInterface<TSizingCase> {};

TEST_P(EditPopupSizingTest, OnlyTheEdgesAtTheGripResize) {
  ThemeEngine::SetEnabled(false);
  const TSizingCase& c = GetParam();
  auto v = MakeViewInfo({.BorderStyle = epbsFrame3D, .SysPanelStyle = true, .Sizeable = true, .Corner = c.Corner},
                        {200, 150});
  v->Calculate();
  Integer h = 9, vert = 9;
  EXPECT_EQ(v->GetSizingDirection(c.P.X, c.P.Y, h, vert), c.Sizing);
  EXPECT_EQ(h, c.Horz);
  EXPECT_EQ(vert, c.Vert);
}

INSTANTIATE_TEST_SUITE_P(
    Points, EditPopupSizingTest,
    ::testing::Values(TSizingCase{"InsideIsNoSizing", sgcBottomRight, {100, 60}, false, 0, 0},
                      TSizingCase{"OutsideIsNoSizing", sgcBottomRight, {200, 149}, false, 0, 0},
                      TSizingCase{"GripAtBottomRight", sgcBottomRight, {190, 140}, true, 1, 1},
                      TSizingCase{"GripAtTopLeft", sgcTopLeft, {8, 8}, true, -1, -1},
                      TSizingCase{"RightFrameNearTheTop", sgcBottomRight, {198, 2}, true, 1, 0},
                      TSizingCase{"BottomFrame", sgcBottomRight, {100, 148}, true, 0, 1},
                      TSizingCase{"LeftFrameAwayFromTheGrip", sgcBottomRight, {1, 60}, true, 0, 0},
                      TSizingCase{"LeftFrameAtTheGripsSide", sgcBottomLeft, {1, 60}, true, -1, 0},
                      TSizingCase{"TopFrameAtTheGripsSide", sgcTopRight, {100, 1}, true, 0, -1}),
    [](const auto& info) { return String(info.param.Name); });

TEST(EditPopupSizing, AFixedWindowNeverResizes) {
  auto v = MakeViewInfo({.BorderStyle = epbsFrame3D, .SysPanelStyle = true});
  v->Calculate();
  Integer h = 9, vert = 9;
  EXPECT_FALSE(v->GetSizingDirection(119, 89, h, vert));
  EXPECT_EQ(h, 0);
  EXPECT_EQ(vert, 0);
}

// ---------------------------------------------------------------------------------------------
// Painting

class EditPopupPaint : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    // Colours that the classic palette shares are told apart here.
    const int indexes[] = {COLOR_3DLIGHT, COLOR_INACTIVEBORDER, COLOR_3DDKSHADOW};
    const COLORREF colors[] = {RGB(220, 220, 220), RGB(160, 170, 180), RGB(40, 40, 40)};
    SetSysColors(3, indexes, colors);
    FCanvas = std::make_unique<TEditorsCanvas>(140, 110);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }
  // Calculates and paints a 120 x 90 window at the canvas's origin.
  TOwned<TqvCustomEditPopupWindowViewInfo> Paint(const TPopupSettings& S) {
    auto v = MakeViewInfo(S);
    v->Calculate();
    C().Clear();
    v->Draw(C().Canvas());
    return v;
  }

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

TEST_F(EditPopupPaint, SingleFrameClientAndShadow) {
  ThemeEngine::SetEnabled(false);
  Paint({.Shadow = true});
  EXPECT_TRUE(C().Is(0, 0, clBtnText));
  EXPECT_TRUE(C().Is(116, 50, clBtnText)) << "the frame's right side";
  EXPECT_TRUE(C().Is(50, 86, clBtnText)) << "the frame's bottom";
  EXPECT_TRUE(C().Is(1, 1, clBtnFace)) << "the client area";
  EXPECT_TRUE(C().Is(118, 50, clBtnShadow)) << "the shadow";
  EXPECT_TRUE(C().Is(50, 88, clBtnShadow));
  EXPECT_TRUE(C().Is(118, 1, TEditorsCanvas::Paper)) << "the shadow starts 3 pixels down";
  EXPECT_EQ(C().InkBox(), Rect(0, 0, 120, 90));
}

TEST_F(EditPopupPaint, ThreeDFrameWithAndWithoutClientEdge) {
  ThemeEngine::SetEnabled(false);
  Paint({.BorderStyle = epbsFrame3D});
  EXPECT_TRUE(C().Is(0, 0, cl3DLight)) << "raised outer edge";
  EXPECT_TRUE(C().Is(119, 50, cl3DDkShadow));
  EXPECT_TRUE(C().Is(1, 1, clBtnHighlight)) << "raised inner edge";
  EXPECT_TRUE(C().Is(118, 50, clBtnShadow));
  EXPECT_TRUE(C().Is(2, 50, clBtnFace));
  EXPECT_TRUE(C().Is(3, 50, clBtnShadow)) << "without a client edge, a sunken edge inside";
  EXPECT_TRUE(C().Is(116, 50, clBtnHighlight));
  Paint({.BorderStyle = epbsFrame3D, .ClientEdge = true});
  EXPECT_TRUE(C().Is(2, 50, clInactiveBorder));
  EXPECT_TRUE(C().Is(3, 50, clBtnFace));
  EXPECT_TRUE(C().Is(4, 50, clBtnShadow)) << "the client edge: sunken outer";
  EXPECT_TRUE(C().Is(5, 50, cl3DDkShadow)) << "and sunken inner";
  EXPECT_TRUE(C().Is(6, 50, clBtnFace)) << "the client area";
}

TEST_F(EditPopupPaint, AFlatFramesClientEdgeIsOnePixel) {
  ThemeEngine::SetEnabled(false);
  Paint({.BorderStyle = epbsFlat, .ClientEdge = true});
  EXPECT_TRUE(C().Is(2, 50, clBtnShadow));
  EXPECT_TRUE(C().Is(3, 50, clBtnFace));
}

// The grip sits in the panel beside the client edge, never over the edge's bottom line.
TEST_F(EditPopupPaint, TheGripLeavesTheClientEdgeWhole) {
  ThemeEngine::SetEnabled(false);
  auto v = Paint({.BorderStyle = epbsFrame3D, .ClientEdge = true, .SysPanelStyle = true, .Sizeable = true});
  EXPECT_EQ(v->SizingInnerRect, Rect(4, 4, 116, 86));
  const Integer edgeBottom = v->ClientRect.Bottom + 1;  // the sunken outer edge's bottom row
  EXPECT_LT(v->SizeGripRect.Top, edgeBottom + 4) << "the grip is next to the edge";
  EXPECT_GT(v->SizeGripRect.Top, edgeBottom);
  EXPECT_EQ(C().Count(clBtnHighlight, Rect(4, edgeBottom, 116, edgeBottom + 1)), 112);
}

TEST_F(EditPopupPaint, SystemPanelWithSeparatorGripAndCloseButton) {
  ThemeEngine::SetEnabled(false);
  auto v = Paint({.SysPanelStyle = true, .Sizeable = true, .HasCloseButton = true});
  const Integer separator = v->ClientRect.Bottom;
  EXPECT_EQ(C().Count(clBtnText, Rect(1, separator, 119, separator + 1)), 118);
  EXPECT_TRUE(C().Is(60, separator + 5, clBtnFace)) << "the panel strip";
  EXPECT_LT(C().Count(clBtnFace, v->SizeGripRect), v->SizeGripRect.Width() * v->SizeGripRect.Height())
      << "the grip is drawn";
  EXPECT_GT(C().Count(clBtnText, v->CloseButtonRect), 0) << "the close button's cross";
}

TEST_F(EditPopupPaint, ThePanelOfATopGripLiesAboveTheClient) {
  ThemeEngine::SetEnabled(false);
  auto v = Paint({.SysPanelStyle = true, .Sizeable = true, .Corner = sgcTopLeft});
  EXPECT_EQ(v->ClientRect.Top, 1 + kPanel + 1);
  EXPECT_EQ(C().Count(clBtnText, Rect(1, v->ClientRect.Top - 1, 119, v->ClientRect.Top)), 118);
  EXPECT_TRUE(C().Is(60, 89, clBtnText)) << "the frame's bottom, no panel there";
}

TEST_F(EditPopupPaint, AThemedCloseButtonFollowsItsState) {
  auto v = MakeViewInfo({.NativeStyle = true, .SysPanelStyle = true, .HasCloseButton = true});
  v->Calculate();
  ASSERT_EQ(v->CloseButtonNativeState, 1);
  C().Clear();
  v->CloseButtonState = qvbsPressed;
  v->Draw(C().Canvas());
  EXPECT_EQ(v->CloseButtonNativeState, 3);
  const auto pressed = C().Snapshot();
  v->CloseButtonState = qvbsNormal;
  C().Clear();
  v->Draw(C().Canvas());
  EXPECT_FALSE(SamePixels(C(), C().Snapshot(), pressed)) << "the theme draws each state";
  EXPECT_TRUE(C().Is(0, 0, clBtnText)) << "a themed window has a one-pixel frame";
}

// ---------------------------------------------------------------------------------------------
// Window shape

class EditPopupRegion : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FForm = New<TForm>(nullptr);
    FForm->SetBorderStyle(bsNone);
    FForm->SetBounds(0, 0, 120, 90);
    FForm->HandleNeeded();
  }
  void TearDown() override {
    Free(FForm);
    TEditorsTest::TearDown();
  }
  bool InShape(Integer x, Integer y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool in = GetWindowRgn(FForm->GetHandle(), rgn) == ERROR || PtInRegion(rgn, x, y);
    DeleteObject(rgn);
    return in;
  }
  TForm* FForm = nullptr;
};

TEST_F(EditPopupRegion, TheShapeFollowsTheShadowAndSparesTheEditorBelow) {
  auto v = MakeViewInfo({.Shadow = true});
  SetPopupWindowRegion(v.get(), FForm->GetHandle(), nullptr);
  EXPECT_TRUE(InShape(0, 0));
  EXPECT_FALSE(InShape(118, 1)) << "beside the shadow";
  EXPECT_TRUE(InShape(118, 50)) << "the shadow";
  EXPECT_TRUE(InShape(50, 88));
  // Opened above the editor: the bottom shadow band stays off it.
  v->SizeGripCorner = sgcTopRight;
  const TRect owner = Rect(0, 87, 100, 110);
  SetPopupWindowRegion(v.get(), FForm->GetHandle(), &owner);
  EXPECT_FALSE(InShape(50, 88));
  EXPECT_TRUE(InShape(98, 88)) << "the owner's right edge less 3";
  EXPECT_TRUE(InShape(118, 50));
  // Themed windows keep their plain shape.
  v->NativeStyle = true;
  SetPopupWindowRegion(v.get(), FForm->GetHandle(), &owner);
  EXPECT_TRUE(InShape(118, 1));
}

}  // namespace
