// The painters: glyph geometry, probed pixels of each operation by state and painter kind, the
// mended header width, indicator images, the radio glyph cache and the native painter's theme
// and classic paths.
#include "LookAndFeelTestSupport.h"
#include "platform/forms/ImgList.h"
#include "support/EnumNames.h"

namespace {

using qvLookAndFeelPainters::TqvRadioButtonImageList;

std::string KindName(TqvLookAndFeelPainterClass p) {
  return NameOf(p, {{TqvStandardLookAndFeelPainter::Class(), "standard"},
                    {TqvFlatLookAndFeelPainter::Class(), "flat"},
                    {TqvUltraFlatLookAndFeelPainter::Class(), "ultraflat"},
                    {TqvWinXPLookAndFeelPainter::Class(), "native"},
                    {TqvCustomLookAndFeelPainter::Class(), "base"}});
}

std::string StateName(TqvButtonState s) {
  return NameOf(s, {{qvbsDefault, "default"}, {qvbsNormal, "normal"}, {qvbsHot, "hot"}, {qvbsPressed, "pressed"},
                    {qvbsDisabled, "disabled"}});
}

// ------------------------------------------------------------------ geometry tables

struct TArrowCase {
  TRect R;
  TqvArrowDirection Direction;
  bool Proportional;
  TqvArrowPoints Expected;
};

TEST(PainterGeometry, ArrowPoints) {
  const TArrowCase cases[] = {
      // 11 x 11: base 5, height 3; MulDiv rounds 8 / 2 and 7 / 2 to nearest.
      {{0, 0, 11, 11}, arrowUp, false, {{{5, 4}, {3, 6}, {7, 6}}}},
      {{0, 0, 11, 11}, arrowDown, false, {{{3, 4}, {7, 4}, {5, 6}}}},
      {{0, 0, 11, 11}, arrowLeft, false, {{{4, 5}, {6, 3}, {6, 7}}}},
      {{0, 0, 11, 11}, arrowRight, false, {{{4, 3}, {6, 5}, {4, 7}}}},
      // Made square first: (5, 0, 15, 10) and (0, 5, 10, 15); an even base of 4 grows to 5.
      {{0, 0, 20, 10}, arrowUp, true, {{{9, 4}, {7, 6}, {11, 6}}}},
      {{0, 0, 10, 20}, arrowRight, true, {{{3, 8}, {5, 10}, {3, 12}}}},
  };
  for (const TArrowCase& c : cases)
    EXPECT_EQ(TqvCustomLookAndFeelPainter::CalculateArrowPoints(c.R, c.Direction, c.Proportional), c.Expected)
        << c.R << " direction " << c.Direction << " proportional " << c.Proportional;
}

TEST(PainterGeometry, ScrollButtonDirections) {
  using P = TqvCustomLookAndFeelPainter;
  EXPECT_EQ(P::GetScrollButtonArrowDirection(false, spFirstArrow), arrowUp);
  EXPECT_EQ(P::GetScrollButtonArrowDirection(false, spSecondArrow), arrowDown);
  EXPECT_EQ(P::GetScrollButtonArrowDirection(true, spFirstArrow), arrowLeft);
  EXPECT_EQ(P::GetScrollButtonArrowDirection(true, spSecondArrow), arrowRight);
}

using PainterDrawing = TLookAndFeelTest;

// The check mark of a 13 x 13 interior: three strokes down to (xm, y) and up to the right.
TEST_F(PainterDrawing, CheckMarkGeometry) {
  const TRect r{0, 0, 13, 13};
  TqvCustomLookAndFeelPainter::Class()->DrawCheckMark(Canvas(), r, qvbsNormal, true, clBlack);
  // W = 11, H = 9, xm = 5: strokes from (1, 5 + d) down to (5, 9 + d), then up to (12, d).
  for (Integer d = 0; d <= 2; ++d) {
    EXPECT_EQ(PixelRGB(5, 9 + d), RGBOf(clBlack)) << d;
    EXPECT_EQ(PixelRGB(1, 5 + d), RGBOf(clBlack)) << d;
  }
  EXPECT_EQ(PixelRGB(12, 0), RGBOf(clWindow)) << "the end point of a line is not painted";
  Clear();
  TqvCustomLookAndFeelPainter::Class()->DrawCheckMark(Canvas(), r, qvbsPressed, false, clBlack);
  EXPECT_EQ(Count(clBtnFace), 13 * 13) << "unchecked: background only";
}

TEST_F(PainterDrawing, ExpandSign) {
  TqvCustomLookAndFeelPainter::DrawExpandSign(Canvas(), Rect(0, 0, 9, 9), false, clBlack);
  EXPECT_EQ(Count(clBlack), 5 + 5 - 1) << "plus";
  Clear();
  TqvCustomLookAndFeelPainter::DrawExpandSign(Canvas(), Rect(0, 0, 9, 9), true, clBlack);
  EXPECT_EQ(Count(clBlack), 5) << "minus";
}

// ------------------------------------------------------------------ probed pixels by table

enum class TOp { Button, ButtonBorderOnly, CheckBox, FooterCell, ScrollThumb, ScrollArrow };

struct TProbe {
  TOp Op;
  TqvLookAndFeelPainterClass (*Painter)();
  TqvButtonState State;
  TPoint At;
  TColor Expected;  // clNone: the paper is untouched
};

void RunProbe(TqvCanvas* canvas, const TProbe& p) {
  const TRect r{2, 2, 30, 22};
  TqvLookAndFeelPainterClass painter = p.Painter();
  switch (p.Op) {
    case TOp::Button: painter->DrawButton(canvas, r, "", p.State); break;
    case TOp::ButtonBorderOnly: painter->DrawButtonBorder(canvas, r, p.State); break;
    case TOp::CheckBox: painter->DrawCheckBox(canvas, Rect(2, 2, 15, 15), p.State, false); break;
    case TOp::FooterCell: painter->DrawFooterCell(canvas, r, taLeftJustify, vaTop, false, "", nullptr, clBlack, clWhite); break;
    case TOp::ScrollThumb: painter->DrawScrollBarPart(canvas, false, r, spThumb, p.State); break;
    case TOp::ScrollArrow: painter->DrawScrollBarPart(canvas, false, r, spFirstArrow, p.State); break;
  }
}

class PainterPixels : public TLookAndFeelTest, public ::testing::WithParamInterface<TProbe> {};

TEST_P(PainterPixels, Probe) {
  const TProbe& p = GetParam();
  RunProbe(Canvas(), p);
  const TColor expected = p.Expected == clNone ? TLookAndFeelTest::Paper : p.Expected;
  EXPECT_EQ(PixelRGB(p.At.X, p.At.Y), RGBOf(expected))
      << KindName(p.Painter()) << " " << StateName(p.State) << " at " << p.At;
}

auto Ultra = TqvUltraFlatLookAndFeelPainter::Class;
auto Flat = TqvFlatLookAndFeelPainter::Class;
auto Standard = TqvStandardLookAndFeelPainter::Class;

INSTANTIATE_TEST_SUITE_P(
    Table, PainterPixels,
    ::testing::Values(
        // Ultra-flat buttons: a 1-pixel frame by state, faces blended for hot and pressed.
        TProbe{TOp::Button, Ultra, qvbsNormal, {2, 10}, clBtnText}, TProbe{TOp::Button, Ultra, qvbsNormal, {3, 10}, clBtnFace},
        TProbe{TOp::Button, Ultra, qvbsHot, {2, 10}, clHighlight},
        TProbe{TOp::Button, Ultra, qvbsPressed, {29, 21}, clHighlight},
        TProbe{TOp::Button, Ultra, qvbsDisabled, {2, 2}, clHighlight},
        TProbe{TOp::Button, Ultra, qvbsDefault, {3, 3}, clWindowFrame},
        TProbe{TOp::Button, Ultra, qvbsDefault, {4, 4}, clBtnFace},
        // Standard: 3D rings, black and shadow when pressed, black outer frame when default.
        TProbe{TOp::Button, Standard, qvbsNormal, {2, 10}, clBtnHighlight},
        TProbe{TOp::Button, Standard, qvbsNormal, {29, 10}, cl3DDkShadow},
        TProbe{TOp::Button, Standard, qvbsNormal, {28, 10}, clBtnShadow},
        TProbe{TOp::Button, Standard, qvbsPressed, {2, 10}, clBlack},
        TProbe{TOp::Button, Standard, qvbsPressed, {3, 10}, clBtnShadow},
        TProbe{TOp::Button, Standard, qvbsDefault, {2, 10}, clBlack},
        TProbe{TOp::Button, Standard, qvbsDefault, {3, 10}, clBtnHighlight},
        // Flat: single raised or sunken lines.
        TProbe{TOp::Button, Flat, qvbsNormal, {2, 10}, clBtnHighlight},
        TProbe{TOp::Button, Flat, qvbsNormal, {29, 10}, clBtnShadow},
        TProbe{TOp::Button, Flat, qvbsPressed, {2, 10}, clBtnShadow},
        TProbe{TOp::Button, Flat, qvbsPressed, {29, 10}, clBtnHighlight},
        TProbe{TOp::ButtonBorderOnly, Flat, qvbsDefault, {2, 10}, clBlack},
        // Check boxes.
        TProbe{TOp::CheckBox, Ultra, qvbsNormal, {2, 8}, clBtnText},
        TProbe{TOp::CheckBox, Ultra, qvbsNormal, {3, 8}, clWindow},
        TProbe{TOp::CheckBox, Standard, qvbsNormal, {2, 8}, cl3DDkShadow},
        TProbe{TOp::CheckBox, Standard, qvbsNormal, {3, 8}, clBtnShadow},
        TProbe{TOp::CheckBox, Flat, qvbsDisabled, {4, 8}, clBtnFace},
        // Footer cells: ultra-flat frame, standard sunken edge.
        TProbe{TOp::FooterCell, Ultra, qvbsNormal, {29, 10}, clBtnShadow},
        TProbe{TOp::FooterCell, Standard, qvbsNormal, {29, 10}, clBtnHighlight},
        TProbe{TOp::FooterCell, Standard, qvbsNormal, {10, 10}, clWhite},
        // Scroll-bar parts: nothing for a disabled thumb; hot looks normal in the standard look.
        TProbe{TOp::ScrollThumb, Standard, qvbsDisabled, {10, 10}, clNone},
        TProbe{TOp::ScrollThumb, Ultra, qvbsDisabled, {10, 10}, clNone},
        TProbe{TOp::ScrollThumb, Standard, qvbsHot, {3, 10}, clBtnHighlight},
        TProbe{TOp::ScrollThumb, Ultra, qvbsHot, {2, 10}, clHighlight},
        TProbe{TOp::ScrollArrow, Ultra, qvbsPressed, {2, 10}, clHighlight}));

TEST_F(PainterDrawing, StandardHotScrollArrowLooksNormal) {
  TqvLookAndFeelPainterClass p = TqvStandardLookAndFeelPainter::Class();
  p->DrawScrollBarPart(Canvas(), false, Rect(0, 0, 17, 17), spFirstArrow, qvbsHot);
  const auto hot = Snapshot();
  Clear();
  p->DrawScrollBarPart(Canvas(), false, Rect(0, 0, 17, 17), spFirstArrow, qvbsNormal);
  EXPECT_EQ(Snapshot(), hot);
}

TEST_F(PainterDrawing, UltraFlatPressedArrowIsNotShiftedAndUsesHighlightText) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawScrollArrow(Canvas(), Rect(0, 0, 15, 15), qvbsPressed, arrowUp);
  const TRect pressed = InkBox();
  EXPECT_GT(Count(clHighlightText), 0);
  Clear();
  p->DrawScrollArrow(Canvas(), Rect(0, 0, 15, 15), qvbsNormal, arrowUp);
  EXPECT_EQ(InkBox(), pressed);
  Clear();
  TqvFlatLookAndFeelPainter::Class()->DrawScrollArrow(Canvas(), Rect(0, 0, 15, 15), qvbsPressed, arrowUp);
  EXPECT_EQ(InkBox(), qvOffsetRect(pressed, 1, 1)) << "flat shifts a pressed arrow";
}

TEST_F(PainterDrawing, ArrowButtonWithoutBorderFillsTheFace) {
  TqvStandardLookAndFeelPainter::Class()->DrawArrowButton(Canvas(), Rect(0, 0, 12, 12), qvbsNormal, arrowDown, false);
  EXPECT_EQ(PixelRGB(0, 0), RGBOf(clBtnFace));
  EXPECT_EQ(PixelRGB(11, 11), RGBOf(clBtnFace));
  EXPECT_GT(Count(clBtnText), 0);
}

TEST_F(PainterDrawing, UltraFlatHeadersWithNeighboursShareSingleLines) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  const TqvBorders sides = p->GetHeaderBorderSides(qvBorder(bLeft) | qvBorder(bTop));
  EXPECT_EQ(sides, qvBorder(bRight) | qvBorder(bBottom));
  p->DrawHeaderFrame(Canvas(), Rect(0, 0, 20, 10), 0, sides);
  EXPECT_EQ(PixelRGB(0, 5), RGBOf(Paper));
  EXPECT_EQ(PixelRGB(10, 0), RGBOf(Paper));
  EXPECT_EQ(PixelRGB(19, 5), RGBOf(clBtnText));
  EXPECT_EQ(PixelRGB(10, 9), RGBOf(clBtnText));
}

TEST_F(PainterDrawing, UltraFlatButtonRowFaces) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawButtonFace(Canvas(), Rect(0, 0, 20, 10), qvbsHot, 1, 0, clBtnShadow);
  EXPECT_EQ(InkBox(), (TRect{1, 1, 19, 9})) << "a single hot button: no highlight columns";
  EXPECT_EQ(Count(clHighlight), 0);
  Clear();
  p->DrawButtonFace(Canvas(), Rect(0, 0, 20, 10), qvbsPressed, 3, 1, clBtnShadow);
  EXPECT_EQ(PixelRGB(0, 5), RGBOf(clHighlight));
  EXPECT_EQ(PixelRGB(19, 5), RGBOf(clHighlight));
}

TEST_F(PainterDrawing, ButtonCaptionIsEmbossedWhenDisabledAndNeverShifted) {
  TqvLookAndFeelPainterClass p = TqvStandardLookAndFeelPainter::Class();
  p->DrawButton(Canvas(), Rect(0, 0, 60, 24), "Ok", qvbsDisabled);
  EXPECT_GT(Count(clBtnHighlight), 0);
  EXPECT_GT(Count(clBtnShadow), 0);
}

TEST_F(PainterDrawing, SmallExpandButtonFramesInTheCurrentBrushColour) {
  Canvas()->SetBrushColor(clRed);
  TqvUltraFlatLookAndFeelPainter::Class()->DrawSmallExpandButton(Canvas(), Rect(0, 0, 9, 9), true, clDefault);
  EXPECT_EQ(PixelRGB(0, 4), RGBOf(clRed));
  EXPECT_EQ(PixelRGB(1, 1), RGBOf(Paper)) << "clDefault leaves the inside";
  EXPECT_EQ(PixelRGB(4, 4), RGBOf(clBtnText)) << "the minus";
}

TEST_F(PainterDrawing, UltraFlatCloseCrossNeverShifts) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  auto crossTopLeft = [&](TqvButtonState s) {
    Clear();
    p->DrawFilterCloseButton(Canvas(), Rect(0, 0, 16, 15), s);
    const TColor glyph = p->GetButtonGlyphColor(s);
    for (Integer y = 0; y < 15; ++y)
      for (Integer x = 0; x < 16; ++x)
        if (PixelRGB(x, y) == RGBOf(glyph) && x > 0 && y > 0 && x < 15 && y < 14) return TPoint{x, y};
    return TPoint{-1, -1};
  };
  EXPECT_EQ(crossTopLeft(qvbsPressed), crossTopLeft(qvbsNormal));
  EXPECT_EQ(crossTopLeft(qvbsNormal), (TPoint{4, 4}));
  TqvLookAndFeelPainterClass standard = TqvStandardLookAndFeelPainter::Class();
  Clear();
  standard->DrawFilterCloseButton(Canvas(), Rect(0, 0, 16, 14), qvbsNormal);
  EXPECT_EQ(PixelRGB(4, 3), RGBOf(clBtnText));
  Clear();
  standard->DrawFilterCloseButton(Canvas(), Rect(0, 0, 16, 14), qvbsPressed);
  EXPECT_EQ(PixelRGB(5, 4), RGBOf(clBtnText)) << "the standard cross moves by one when pressed";
  EXPECT_NE(PixelRGB(4, 3), RGBOf(clBtnText));
}

TEST_F(PainterDrawing, TextContentFillsOrLetsTheEventPaint) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawTextContent(Canvas(), Rect(0, 0, 20, 10), Rect(0, 0, 20, 10), taLeftJustify, vaTop, false, false, "", nullptr,
                     clBlack, clLime, nullptr);
  EXPECT_EQ(Count(clLime), 200);
  Clear();
  int calls = 0;
  p->DrawTextContent(Canvas(), Rect(0, 0, 20, 10), Rect(0, 0, 20, 10), taLeftJustify, vaTop, false, false, "", nullptr,
                     clBlack, clLime, [&](TqvCanvas*, const TRect&) { return ++calls > 0; });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Count(clLime), 0) << "the event painted the background";
}

// The mended rule: a right border adds its width, so best-fit columns never clip the caption.
TEST_F(PainterDrawing, HeaderWidthForTextAddsBothBorders) {
  for (TqvLookAndFeelPainterClass p : {TqvStandardLookAndFeelPainter::Class(), TqvUltraFlatLookAndFeelPainter::Class()}) {
    const Integer text = Canvas()->TextWidth("Caption");
    const Integer bw = p->GetHeaderBorderWidth();
    EXPECT_EQ(p->GetHeaderWidthForText(Canvas(), 0, "Caption", nullptr), text + 4) << KindName(p);
    EXPECT_EQ(p->GetHeaderWidthForText(Canvas(), qvBorder(bRight), "Caption", nullptr), text + 4 + bw);
    EXPECT_EQ(p->GetHeaderWidthForText(Canvas(), qvBorder(bLeft) | qvBorder(bRight), "Caption", nullptr),
              text + 4 + 2 * bw);
  }
}

TEST_F(PainterDrawing, HeaderHeightAndSortMarks) {
  EXPECT_EQ(TqvStandardLookAndFeelPainter::Class()->GetHeaderHeightForFont(13), 2 + 13 + 4);
  EXPECT_EQ(TqvUltraFlatLookAndFeelPainter::Class()->GetSortOrderMarkSize(), (TSize{7, 8}));
  EXPECT_EQ(TqvStandardLookAndFeelPainter::Class()->GetSortMarkAreaSize(), (TSize{16, 7}));
  TqvUltraFlatLookAndFeelPainter::Class()->PaintSortOrderMark(Canvas(), Rect(0, 0, 16, 16), true);
  EXPECT_EQ(InkBox().Width(), 7);
  EXPECT_EQ(Count(clBtnHighlight), 0) << "ultra-flat marks are one colour";
}

// ------------------------------------------------------------------ indicators

TEST_F(PainterDrawing, IndicatorImagesFollowThePixelTable) {
  TImageList* images = GetIndicatorImages();
  ASSERT_EQ(images->GetCount(), 5);
  EXPECT_EQ(images->GetWidth(), 5);
  EXPECT_EQ(images->GetHeight(), 9);
  TqvCustomLookAndFeelPainter::DrawIndicatorKindImage(Canvas(), Rect(0, 0, 5, 9), indArrow);
  const char* arrow[] = {"X....", "XX...", "XXX..", "XXXX.", "XXXXX", "XXXX.", "XXX..", "XX...", "X...."};
  for (Integer y = 0; y < 9; ++y)
    for (Integer x = 0; x < 5; ++x)
      EXPECT_EQ(PixelRGB(x, y), arrow[y][x] == 'X' ? RGB(0, 0, 0) : RGBOf(Paper)) << x << "," << y;
}

// A program may keep its units in a static object, which ends at exit after the painters' shared
// bitmaps that its first paint made.
TEST(PainterResourcesDeathTest, UnitsEndingAtExitAfterTheSharedBitmaps) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, whose first paint is this
  EXPECT_EXIT(
      {
        static TqvLookAndFeelUnits units;
        GetIndicatorImages();
        GetScrollBarPatternBitmap(0);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(PainterDrawing, IndicatorNoneDrawsOnlyTheCell) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawIndicatorItem(Canvas(), Rect(0, 0, 12, 18), indNone, clBtnFace);
  const auto none = Snapshot();
  Clear();
  p->DrawIndicatorItem(Canvas(), Rect(0, 0, 12, 18), indInsert, clBtnFace);
  EXPECT_NE(Snapshot(), none);
  EXPECT_EQ(PixelRGB(6, 9), RGB(0, 0, 0)) << "the insert glyph's centre";
}

// ------------------------------------------------------------------ radio glyphs

TEST(PainterRadio, IndexesStayInRange) {
  for (bool ring : {false, true})
    for (TqvPainterStyle style : {psFlat, psStandard, psUltraFlat, psNative})
      for (bool checked : {false, true})
        for (TqvButtonState state : {qvbsDefault, qvbsNormal, qvbsHot, qvbsPressed, qvbsDisabled}) {
          const Integer i = TqvRadioButtonImageList::ImageIndex(ring, style, checked, state);
          EXPECT_GE(i, 0);
          EXPECT_LT(i, TqvRadioButtonImageList::ImageCount);
        }
  EXPECT_EQ(TqvRadioButtonImageList::ImageIndex(false, psNative, true, qvbsHot),
            TqvRadioButtonImageList::ImageIndex(false, psStandard, true, qvbsHot))
      << "the native style falls back to the standard glyphs";
  EXPECT_EQ(TqvRadioButtonImageList::ImageIndex(true, psUltraFlat, true, qvbsDisabled), 24 + 16 + 4 + 3);
}

using PainterRadioDrawing = TLookAndFeelTest;

TEST_F(PainterRadioDrawing, BuildsFortyEightImagesOnFirstDraw) {
  auto* images = qvLookAndFeelPainters::GetRadioButtonImageList();
  EXPECT_EQ(images->GetCount(), 0);
  TqvUltraFlatLookAndFeelPainter::Class()->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, true, false, clDefault);
  EXPECT_EQ(images->GetCount(), 48);
  const TSize size = images->GetGlyphSize();
  EXPECT_GE(size.cx, 10);
  EXPECT_EQ(size.cx, size.cy);
}

TEST_F(PainterRadioDrawing, DefaultLooksLikeNormal) {
  TqvLookAndFeelPainterClass p = TqvStandardLookAndFeelPainter::Class();
  p->DrawRadioButton(Canvas(), 2, 2, qvbsDefault, true, false, clDefault);
  const auto d = Snapshot();
  Clear();
  p->DrawRadioButton(Canvas(), 2, 2, qvbsNormal, true, false, clDefault);
  EXPECT_EQ(Snapshot(), d);
}

TEST_F(PainterRadioDrawing, BackgroundFillsTheBoxOutsideTheCircleOnly) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, false, false, clDefault);
  EXPECT_EQ(PixelRGB(0, 0), RGBOf(Paper)) << "clDefault leaves the corner alone";
  Clear();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, false, false, clLime);
  EXPECT_EQ(PixelRGB(0, 0), RGBOf(clLime));
  const TSize size = qvLookAndFeelPainters::GetRadioButtonImageList()->GetGlyphSize();
  EXPECT_EQ(PixelRGB(size.cx, size.cy), RGBOf(Paper));
  EXPECT_EQ(PixelRGB(size.cx / 2, size.cy / 2), RGBOf(clWindow)) << "the interior";
}

TEST_F(PainterRadioDrawing, TheFirstBuildsHighlightChoiceHoldsUntilAColourChange) {
  TqvLookAndFeelPainterClass p = TqvUltraFlatLookAndFeelPainter::Class();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, false, false, clDefault, true);
  EXPECT_GT(Count(clHighlight), 0) << "highlight all";
  Clear();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, false, false, clDefault, false);
  EXPECT_GT(Count(clHighlight), 0) << "the images of the first build";
  const int index = COLOR_WINDOW;
  const COLORREF window = RGB(250, 240, 230);
  SetSysColors(1, &index, &window);  // the notifier empties the images
  EXPECT_EQ(qvLookAndFeelPainters::GetRadioButtonImageList()->GetCount(), 0);
  Clear();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsNormal, false, false, clDefault, false);
  EXPECT_EQ(Count(clHighlight), 0);
  EXPECT_GT(Count(static_cast<TColor>(window)), 0) << "rebuilt with the current colours";
}

// ------------------------------------------------------------------ high DPI

// A painter's glyph drawn on a window of a 192-dpi screen: its slopes and curves step by device
// pixels instead of being a one-unit picture made twice as large.
struct TDpiGlyphCase {
  const char* Name;
  void (*Draw)(TqvLookAndFeelPainterClass P, TqvCanvas* C);  // into (10, 10)-(30, 30)
};

class PainterAtDeviceScale : public TLookAndFeelTest,
                             public ::testing::WithParamInterface<std::tuple<TDpiGlyphCase, bool>> {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    Headless::SetScreenDpi(192);
    ThemeEngine::SetEnabled(std::get<1>(GetParam()));
    WNDCLASSEX wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "QJDpiPainter";
    RegisterClassEx(&wc);
    FWindow = CreateWindowEx(0, "QJDpiPainter", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr, nullptr,
                             nullptr);
    FDC = GetDC(FWindow);
    RECT all{0, 0, 60, 60};
    FillRect(FDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FCanvas.SetHandle(FDC);
  }
  void TearDown() override {
    FCanvas.SetHandle(nullptr);
    ReleaseDC(FWindow, FDC);
    DestroyWindow(FWindow);
    TLookAndFeelTest::TearDown();
  }
  uint32_t Device(int x, int y) const { return Headless::WindowSurface(FWindow)->Row(y)[x] & 0xFFFFFF; }

  HWND FWindow = nullptr;
  HDC FDC = nullptr;
  TCanvas FCanvas;
};

TEST_P(PainterAtDeviceScale, SlopesStepByDevicePixels) {
  const TDpiGlyphCase& c = std::get<0>(GetParam());
  for (TqvLookAndFeelPainterClass p : {TqvStandardLookAndFeelPainter::Class(), TqvFlatLookAndFeelPainter::Class(),
                                       TqvUltraFlatLookAndFeelPainter::Class(), TqvWinXPLookAndFeelPainter::Class()}) {
    RECT all{0, 0, 60, 60};
    FillRect(FDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TqvCanvas canvas(&FCanvas);
    c.Draw(p, &canvas);
    bool blocky = true;
    for (int y = 20; y < 60 && blocky; y += 2)
      for (int x = 20; x < 60 && blocky; x += 2) {
        const uint32_t px = Device(x, y);
        blocky = Device(x + 1, y) == px && Device(x, y + 1) == px && Device(x + 1, y + 1) == px;
      }
    EXPECT_FALSE(blocky) << KindName(p);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, PainterAtDeviceScale,
    ::testing::Combine(
        ::testing::Values(
            TDpiGlyphCase{"Arrow",
                          [](TqvLookAndFeelPainterClass P, TqvCanvas* C) {
                            P->DrawArrow(C, Rect(10, 10, 30, 30), arrowRight, clBlack);
                          }},
            TDpiGlyphCase{"CheckBox",
                          [](TqvLookAndFeelPainterClass P, TqvCanvas* C) {
                            P->DrawCheckBox(C, Rect(10, 10, 23, 23), qvbsNormal, true);
                          }},
            TDpiGlyphCase{"RadioButton",
                          [](TqvLookAndFeelPainterClass P, TqvCanvas* C) {
                            P->DrawRadioButton(C, 10, 10, qvbsNormal, true, false, clDefault);
                          }},
            TDpiGlyphCase{"Indicator",
                          [](TqvLookAndFeelPainterClass P, TqvCanvas* C) {
                            P->DrawIndicatorItem(C, Rect(10, 10, 22, 28), indArrow, clBtnFace);
                          }}),
        ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<TDpiGlyphCase, bool>>& info) {
      return std::string(std::get<0>(info.param).Name) + (std::get<1>(info.param) ? "ThemesOn" : "ThemesOff");
    });

// ------------------------------------------------------------------ native painter

using PainterNative = TLookAndFeelTest;

TEST_F(PainterNative, IdentityAndFixedAnswers) {
  TqvLookAndFeelPainterClass p = TqvWinXPLookAndFeelPainter::Class();
  EXPECT_TRUE(p->IsNativePainter());
  EXPECT_EQ(p->GetStyleKind(), psNative);
  EXPECT_FALSE(TqvStandardLookAndFeelPainter::Class()->IsNativePainter());
  EXPECT_EQ(p->GetPressedButtonTextShift(), 0);
  EXPECT_FALSE(p->DrawsWholeTab(true)) << "vertical tabs are never themed";
  EXPECT_TRUE(p->DrawsWholeTab(false));
}

TEST_F(PainterNative, ThemedButtonsTakeTheThemesColours) {
  TqvLookAndFeelPainterClass p = TqvWinXPLookAndFeelPainter::Class();
  HTHEME theme = OpenTheme(totButton);
  COLORREF fill;
  GetThemeColor(theme, BP_PUSHBUTTON, PBS_HOT, TMT_FILLCOLOR, &fill);
  EXPECT_EQ(static_cast<COLORREF>(p->GetButtonFaceColor(qvbsHot)), fill);
  EXPECT_EQ(p->GetCheckBoxBorderWidth(), 0);
  EXPECT_EQ(p->GetButtonBorderWidth(), 3) << "the push button's content margin";
}

TEST_F(PainterNative, WithoutThemesEveryOperationDrawsClassic) {
  ThemeEngine::SetEnabled(false);
  TqvLookAndFeelPainterClass p = TqvWinXPLookAndFeelPainter::Class();
  EXPECT_EQ(p->GetButtonFaceColor(qvbsHot), clBtnFace) << "the face colour falls back to clBtnFace";
  EXPECT_EQ(p->GetCheckBoxBorderWidth(), 2);
  p->DrawButton(Canvas(), Rect(2, 2, 30, 22), "", qvbsNormal);
  TqvLookAndFeelPainterClass standard = TqvStandardLookAndFeelPainter::Class();
  const auto native = Snapshot();
  Clear();
  standard->DrawButton(Canvas(), Rect(2, 2, 30, 22), "", qvbsNormal);
  EXPECT_EQ(Snapshot(), native);
  Clear();
  p->DrawRadioButton(Canvas(), 0, 0, qvbsHot, true, false, clDefault);
  const auto radio = Snapshot();
  Clear();
  standard->DrawRadioButton(Canvas(), 0, 0, qvbsHot, true, false, clDefault);
  EXPECT_EQ(Snapshot(), radio) << "the glyph cache with the standard glyphs";
}

TEST_F(PainterNative, AClassMissingFromTheThemeDegradesOnlyItsElements) {
  ThemeEngine::SetClassHidden(u"Header", true);
  CloseAllThemes();
  TqvLookAndFeelPainterClass p = TqvWinXPLookAndFeelPainter::Class();
  p->DrawHeader(Canvas(), Rect(0, 0, 40, 20), Rect(2, 2, 38, 18), 0, qvAllBorders, qvbsNormal, taLeftJustify, vaTop,
                false, false, "", nullptr, clBlack, clBtnFace);
  EXPECT_EQ(PixelRGB(0, 10), RGBOf(clBtnHighlight)) << "the standard 3D header";
  Clear();
  p->DrawButton(Canvas(), Rect(0, 0, 40, 20), "", qvbsNormal);
  EXPECT_NE(PixelRGB(0, 10), RGBOf(clBtnHighlight)) << "buttons stay themed";
  EXPECT_GT(Count(static_cast<TColor>(RGB(112, 112, 112))), 0);
  ThemeEngine::SetClassHidden(u"Header", false);
}

TEST_F(PainterNative, PressedHeaderTextMovesOnePixelButtonTextNever) {
  TqvLookAndFeelPainterClass p = TqvWinXPLookAndFeelPainter::Class();
  auto header = [&](TqvButtonState s) {
    Clear();
    p->DrawHeader(Canvas(), Rect(0, 0, 60, 20), Rect(4, 2, 56, 18), 0, qvAllBorders, s, taLeftJustify, vaTop, false,
                  false, "Ab", nullptr, clBlack, clBtnFace);
    TRect ink{64, 64, 0, 0};
    for (Integer y = 0; y < 20; ++y)
      for (Integer x = 0; x < 60; ++x)
        if (PixelRGB(x, y) == RGB(0, 0, 0)) ink = {std::min(ink.Left, x), std::min(ink.Top, y), 0, 0};
    return ink.TopLeft();
  };
  const TPoint normal = header(qvbsNormal), pressed = header(qvbsPressed);
  EXPECT_EQ(pressed.X, normal.X + 1);
  EXPECT_EQ(pressed.Y, normal.Y + 1);
}

TEST_F(PainterNative, IndicatorsAlwaysLookFlat) {
  TqvWinXPLookAndFeelPainter::Class()->DrawIndicatorItem(Canvas(), Rect(0, 0, 12, 18), indArrow, clBtnFace);
  const auto native = Snapshot();
  Clear();
  TqvFlatLookAndFeelPainter::Class()->DrawIndicatorItem(Canvas(), Rect(0, 0, 12, 18), indArrow, clBtnFace);
  EXPECT_EQ(Snapshot(), native);
}

}  // namespace
