// Painting an editor from its view info: the frame of every border style, the themed frame,
// backgrounds standalone and in place, buttons over the frame, and the metrics the view data
// lays out with (border extents, hot area, popup alignment, text offsets and text measuring).
#include "editors/qvEditViewTestSupport.h"

namespace {

constexpr TRect EditBounds{10, 10, 110, 32};

// ---------------------------------------------------------------------------------------------
// Classic frames: probes along the top-left corner's diagonal and at the bottom-right

struct TFrameProbe {
  Integer Inset;  // pixel (Left + Inset, Top + Inset)
  TColor Color;
};

struct TFrameCase {
  const char* Name;
  TqvEditBorderStyle Style;
  std::vector<TFrameProbe> TopLeft;
  std::vector<TFrameProbe> BottomRight;  // pixel (Right - 1 - Inset, Bottom - 1 - Inset)
  friend void PrintTo(const TFrameCase& c, std::ostream* os) { *os << c.Name; }
};

class EditViewFrame : public TEditViewTest, public ::testing::WithParamInterface<TFrameCase> {};

TEST_P(EditViewFrame, FrameOfTheBorderStyle) {
  PlainFrame(GetParam().Style);
  Style()->SetBorderColor(clRed);
  Data();
  Calc(EditBounds);
  Paint();
  const TRect& b = EditBounds;
  for (const auto& p : GetParam().TopLeft)
    EXPECT_TRUE(C().Is(b.Left + p.Inset, b.Top + p.Inset, p.Color)) << "top-left inset " << p.Inset;
  for (const auto& p : GetParam().BottomRight)
    EXPECT_TRUE(C().Is(b.Right - 1 - p.Inset, b.Bottom - 1 - p.Inset, p.Color)) << "bottom-right inset " << p.Inset;
  EXPECT_EQ(b, C().InkBox());
}

INSTANTIATE_TEST_SUITE_P(
    All, EditViewFrame,
    ::testing::Values(
        TFrameCase{"None", ebsNone, {{0, clWindow}}, {{0, clWindow}}},
        TFrameCase{"Single", ebsSingle, {{0, clRed}, {1, clWindow}}, {{0, clRed}, {1, clWindow}}},
        TFrameCase{"Thick", ebsThick, {{0, clRed}, {1, clRed}, {2, clWindow}}, {{0, clRed}, {1, clRed}, {2, clWindow}}},
        TFrameCase{"Flat", ebsFlat, {{0, clBtnShadow}, {1, clBtnFace}, {2, clWindow}},
                   {{0, clBtnHighlight}, {1, clBtnFace}, {2, clWindow}}},
        TFrameCase{"3D", ebs3D, {{0, clBtnShadow}, {1, cl3DDkShadow}, {2, clWindow}},
                   {{0, clBtnHighlight}, {1, cl3DLight}, {2, clWindow}}},
        TFrameCase{"UltraFlat", ebsUltraFlat, {{0, clBtnShadow}, {1, clWindow}}, {{0, clBtnShadow}, {1, clWindow}}}),
    [](const auto& info) { return std::string(info.param.Name); });

using EditViewPaint = TEditViewTest;

TEST_F(EditViewPaint, ThickFrameIsTwoPixelsOnEverySideWhateverTheEdges) {
  PlainFrame(ebsThick);
  Style()->SetBorderColor(clRed);
  Style()->SetEdges(qvBorder(bLeft) | qvBorder(bTop));
  Data();
  Calc(EditBounds);
  Paint();
  EXPECT_TRUE(C().Is(108, 20, clRed));
  EXPECT_TRUE(C().Is(109, 20, clRed));
  EXPECT_TRUE(C().Is(107, 20, clWindow));
  EXPECT_TRUE(C().Is(50, 30, clRed));
  EXPECT_TRUE(C().Is(50, 29, clWindow));
}

TEST_F(EditViewPaint, ShadowLiesOutsideTheFrame) {
  PlainFrame(ebsSingle);
  Style()->SetShadow(true);
  Data();
  Calc(EditBounds);
  Paint();
  EXPECT_TRUE(C().Is(106, 20, clWindowFrame));  // the frame's right edge
  EXPECT_TRUE(C().Is(108, 20, clBtnShadow));    // the shadow beside it
  EXPECT_TRUE(C().Is(108, 11, TEditorsCanvas::Paper));
}

TEST_F(EditViewPaint, ThemedFrameIsTheThemesAndTheInsideTheBackground) {
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  Style()->SetColor(clYellow);
  Data();
  Calc(EditBounds);
  ASSERT_TRUE(ViewInfo.NativeStyle);
  EXPECT_EQ(ETS_NORMAL, ViewInfo.GetNativeState());
  Paint();
  EXPECT_FALSE(C().Is(10, 10, TEditorsCanvas::Paper));
  EXPECT_FALSE(C().Is(10, 20, clYellow));
  EXPECT_TRUE(C().Is(60, 20, clYellow));

  ThemeEngine::SetEnabled(false);
  Data();
  Calc(EditBounds);
  EXPECT_FALSE(ViewInfo.NativeStyle);
  EXPECT_EQ(0, ViewInfo.GetNativeState());
}

TEST_F(EditViewPaint, ThemedFrameStatesFollowTheEditor) {
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  Data()->Enabled = false;
  Calc(EditBounds);
  EXPECT_EQ(ETS_DISABLED, ViewInfo.GetNativeState());
  COLORREF fill = 0;
  ASSERT_TRUE(SUCCEEDED(GetThemeColor(OpenTheme(totEdit), EP_EDITTEXT, ETS_DISABLED, TMT_FILLCOLOR, &fill)));
  EXPECT_EQ(TColor(fill), ViewInfo.BackgroundColor);  // the theme's disabled fill
  Data()->Focused = true;
  Calc(EditBounds);
  EXPECT_EQ(ETS_FOCUSED, ViewInfo.GetNativeState());
  Properties->SetReadOnly(true);
  Data()->Focused = true;
  Calc(EditBounds);
  EXPECT_EQ(ETS_READONLY, ViewInfo.GetNativeState());
  Properties->SetReadOnly(false);
  Data();
  Calc(EditBounds, Point(50, 20));
  EXPECT_EQ(ETS_HOT, ViewInfo.GetNativeState());
}

TEST_F(EditViewPaint, InPlaceFillsTheBoundsWithoutAFrame) {
  Style()->SetColor(clYellow);
  Data(true);
  Calc(EditBounds);
  Paint();
  EXPECT_EQ(EditBounds, C().InkBox());
  EXPECT_EQ(EditBounds.Width() * EditBounds.Height(), C().Count(clYellow));
}

TEST_F(EditViewPaint, InPlaceWithoutBackgroundFillsOnlyTheContentOffsets) {
  Style()->SetColor(clYellow);
  Data(true);
  Calc(EditBounds);
  DrawEditViewInfo(C().Canvas(), &ViewInfo, false);
  EXPECT_TRUE(C().InkBox().IsEmpty());
  D()->ContentOffset = Rect(2, 1, 3, 1);
  Calc(EditBounds);
  DrawEditViewInfo(C().Canvas(), &ViewInfo, false);
  EXPECT_TRUE(C().Is(11, 20, clYellow));
  EXPECT_TRUE(C().Is(12, 20, TEditorsCanvas::Paper));
  EXPECT_TRUE(C().Is(107, 20, clYellow));
  EXPECT_TRUE(C().Is(106, 20, TEditorsCanvas::Paper));
}

TEST_F(EditViewPaint, TransparentCellPaintsNothingButItsButtons) {
  AddButton(bkEllipsis, false, 16);
  Data(true);
  Calc(EditBounds);
  ViewInfo.Transparent = true;
  Paint();
  EXPECT_EQ(qvDeflatedRect(Button(0)->Bounds, 1), C().InkBox());  // a simple button has no frame here
}

TEST_F(EditViewPaint, FrameAndBackgroundAreNotPaintedUnderTheButtons) {
  PlainFrame(ebsSingle);
  Style()->SetColor(clYellow);
  Style()->SetButtonStyle(bts3D);
  AddButton(bkEllipsis, false, 16);
  Data();
  Calc(EditBounds);
  Paint();
  const TRect b = Button(0)->Bounds;
  EXPECT_EQ(Rect(93, 11, 109, 31), b);
  EXPECT_EQ(0, C().Count(clYellow, b));
  EXPECT_TRUE(C().Is(b.Left, b.Top, cl3DLight));
  EXPECT_TRUE(C().Is(b.Left + 2, b.Top + 2, clBtnFace));
}

// The arrow of a drop-down button is filled however the canvas was left before: a canvas whose
// brush was cleared for text selects its own brush again after the frame's saved clip.
struct TArrowFillCase {
  const char* Name;
  bool Native;
  friend void PrintTo(const TArrowFillCase& c, std::ostream* os) { *os << c.Name; }
};

class EditViewArrowFill : public TEditViewTest, public ::testing::WithParamInterface<TArrowFillCase> {};

TEST_P(EditViewArrowFill, TheFirstArrowIsFilled) {
  PlainFrame(ebsSingle);
  Style()->GetLookAndFeel()->SetNativeStyle(GetParam().Native);
  AddButton(bkEllipsis, false, 16);
  AddButton(bkDown, false, 16);
  Data();
  Calc(EditBounds);
  C().Canvas()->GetBrush()->SetStyle(bsClear);
  C().Canvas()->DrawText("Title", Rect(0, 0, 40, 10), tfLeft | tfSingleLine);
  C().Canvas()->GetBrush()->SetStyle(bsSolid);
  Paint();
  // The arrow's middle column runs from its base to its tip without a gap.
  const TRect b = Button(1)->Bounds;
  const Integer x = (b.Left + b.Right) / 2;
  Integer first = -1, last = -1;
  for (Integer y = b.Top + 2; y < b.Bottom - 2; ++y)
    if (C().Is(x, y, clBtnText)) {
      if (first < 0) first = y;
      last = y;
    }
  ASSERT_GE(first, 0) << "no arrow";
  EXPECT_EQ(C().Count(clBtnText, Rect(x, first, x + 1, last + 1)), last - first + 1) << "a hollow arrow";
  EXPECT_GE(last - first, 2);
}

INSTANTIATE_TEST_SUITE_P(Looks, EditViewArrowFill,
                         ::testing::Values(TArrowFillCase{"Classic", false}, TArrowFillCase{"Themed", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EditViewPaint, SimpleButtonsPaintFlatWhileHot) {
  PlainFrame(ebsNone);
  AddButton(bkEllipsis, false, 16);
  Data();
  Calc(EditBounds, Point(100, 20));
  ASSERT_EQ(btsSimple, Button(0)->Style);
  ASSERT_EQ(ebbsHot, Button(0)->State);
  Paint();
  const TRect b = Button(0)->Bounds;
  EXPECT_TRUE(C().Is(b.Left + 1, b.Top, clBtnHighlight));  // the flat face's frame
}

TEST_F(EditViewPaint, DisabledEditorHasTheButtonFaceBackground) {
  PlainFrame(ebsSingle);
  Data()->Enabled = false;
  Calc(EditBounds);
  Paint();
  EXPECT_TRUE(C().Is(50, 20, clBtnFace));
}

TEST_F(EditViewPaint, SpinButtonsTakeTheSpinThemesStates) {
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  AddButton();
  AddButton();
  Data();
  Calc(EditBounds);
  const TqvEditButtonState states[] = {ebbsDisabled, ebbsPressed};
  const Integer themeStates[] = {4, 3};
  for (Integer i = 0; i < 2; ++i) {
    Button(i)->State = states[i];
    Button(i)->NativePart = i + 1;
  }
  CalculateSpinEditButtonsNativeInfo(D(), &ViewInfo);
  for (Integer i = 0; i < 2; ++i) EXPECT_EQ(themeStates[i], Button(i)->NativeState) << i;
  ThemeEngine::SetEnabled(false);
  CalculateSpinEditButtonsNativeInfo(D(), &ViewInfo);
  for (Integer i = 0; i < 2; ++i) EXPECT_EQ(0, Button(i)->NativeState) << i;
}

// ---------------------------------------------------------------------------------------------
// Metrics

using EditViewMetrics = TEditViewTest;

TEST_F(EditViewMetrics, BorderExtentByStyleHotTrackShadowAndTheme) {
  PlainFrame(ebs3D);
  EXPECT_EQ(Rect(2, 2, 2, 2), GetEditBorderExtent(Data()));
  PlainFrame(ebsSingle);
  EXPECT_EQ(Rect(1, 1, 1, 1), GetEditBorderExtent(Data()));
  Style()->SetShadow(true);
  EXPECT_EQ(Rect(1, 1, 4, 4), GetEditBorderExtent(Data()));
  Style()->SetHotTrack(true);
  EXPECT_EQ(Rect(2, 2, 5, 5), GetEditBorderExtent(Data()));
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(Rect(2, 2, 2, 2), GetEditBorderExtent(Data()));
  EXPECT_FALSE(HasEditShadow(D()));
  Data(true)->ContentOffset = Rect(1, 2, 3, 4);
  EXPECT_EQ(Rect(1, 2, 3, 4), GetEditBorderExtent(D()));
}

TEST_F(EditViewMetrics, TextOffsetsStandaloneAndInPlace) {
  EXPECT_EQ(Point(3, 4), GetEditTextOffsets(Data()));
  EXPECT_EQ(Point(3, 2), GetEditTextOffsets(Data(true)));
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(Point(3, 3), GetEditTextOffsets(Data(true)));
}

TEST_F(EditViewMetrics, PopupAlignsToTheFrameWithoutTheShadow) {
  PlainFrame(ebs3D);
  Data();
  Calc(EditBounds);
  EXPECT_EQ(EditBounds, GetEditPopupAlignRect(&ViewInfo));
  PlainFrame(ebsSingle);
  Style()->SetShadow(true);
  Style()->SetEdges(qvAllBorders & ~qvBorder(bRight));
  Data();
  Calc(EditBounds);
  EXPECT_EQ(Rect(11, 11, 108, 28), GetEditPopupAlignRect(&ViewInfo));
}

TEST_F(EditViewMetrics, ButtonExtraHeightByStyle) {
  AddButton(bkGlyph);
  Style()->SetButtonStyle(bts3D);
  Data();
  Calc(EditBounds);
  EXPECT_EQ(4, GetEditButtonExtraHeight(C().Canvas(), &ViewInfo));
  Style()->SetButtonStyle(btsFlat);
  Data();
  Calc(EditBounds);
  EXPECT_EQ(2, GetEditButtonExtraHeight(C().Canvas(), &ViewInfo));
}

// ---------------------------------------------------------------------------------------------
// Measuring a text

class EditTextSize : public TEditViewTest {
 protected:
  void SetUp() override {
    TEditViewTest::SetUp();
    Style()->GetFont()->SetName("DejaVu Sans");
    Style()->GetFont()->SetSize(9);
  }
  TSize Measure(const String& AText, TqvEditSizeProperties ASize, TqvTextLayoutFlags AFlags, bool AAddX = false) {
    return CalculateEditTextSize(C().Canvas(), D(), AText, AAddX, ASize, AFlags);
  }
  Integer RowHeight() {
    C().Canvas()->SetFont(Style()->GetFont());
    return C().Canvas()->TextHeight("Zg");
  }
  Integer Width(const String& AText) {
    C().Canvas()->SetFont(Style()->GetFont());
    return C().Canvas()->TextWidth(AText);
  }
};

TEST_F(EditTextSize, UnlimitedSingleLineIsTheTextsWidthAndOneRow) {
  Data();
  EXPECT_EQ((TSize{Width("Hello"), RowHeight() + 4}), Measure("Hello", {0, -1}, tlSingleLine));
  EXPECT_EQ((TSize{Width("Hello") + 3, RowHeight() + 4}), Measure("Hello", {0, -1}, tlSingleLine, true));
  EXPECT_EQ((TSize{0, RowHeight() + 4}), Measure("", {0, -1}, tlSingleLine));
}

TEST_F(EditTextSize, UnlimitedRowsAreAsWideAsTheWidestOfTheFirstRowsAndOneRowHigh) {
  Data(true);
  EXPECT_EQ((TSize{Width("abcdef"), RowHeight() + 2}), Measure("ab\r\nabcdef\r\nabc", {0, -1}, 0));
  EXPECT_EQ((TSize{Width("ab"), RowHeight() + 2}), Measure("ab\r\nabcdef\r\nabc", {1, -1}, 0));
}

TEST_F(EditTextSize, LimitedWidthWrapsIntoRows) {
  Data(true);
  const Integer width = Width("abc def") - 1 + 2;
  EXPECT_EQ((TSize{width, 2 * RowHeight() + 2}), Measure("abc def", {0, width}, tlSingleLine));
  EXPECT_EQ((TSize{width, RowHeight() + 2}), Measure("abc def", {1, width}, tlSingleLine));
  EXPECT_EQ((TSize{Width("abc def") + 2, RowHeight() + 2}), Measure("abc def", {0, Width("abc def") + 2}, 0));
}

TEST_F(EditTextSize, EmptyTextWithALimitedWidth) {
  Data();
  EXPECT_EQ((TSize{40, RowHeight() + 4}), Measure("", {0, 40}, 0));
  D()->PaintOptions = epoMeasuringHeight;
  EXPECT_EQ((TSize{40, 0}), Measure("", {0, 40}, 0));
  Data(true);
  EXPECT_EQ((TSize{0, RowHeight() + 2}), Measure("abc", {0, 2}, 0));
}

TEST_F(EditTextSize, InPlaceStyleWithoutAFontMeasuresInTheCanvasFont) {
  TOwned<TqvContainerStyle> inplace(TqvCustomEditStyle::StaticClass().Create(nullptr, true));
  ASSERT_EQ(nullptr, inplace->GetFont());
  TOwned<TqvCustomEditViewData> data =
      Properties->CreateViewData(static_cast<TqvCustomEditStyle*>(inplace.get()), true);
  const TSize size = CalculateEditTextSize(C().Canvas(), data.get(), "Hello", false, {0, -1}, tlSingleLine);
  EXPECT_EQ(C().TextWidth("Hello"), size.cx);
  EXPECT_EQ(C().TextHeight() + 2, size.cy);
}

}  // namespace
