// The edit painting unit's stateless routines: metrics and insets, flags, glyphs, arrows,
// polylines, fills, the painter choice and the size grip, probed pixel by pixel.
#include <set>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Windows.h"

namespace {

class EditPaintTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(64, 64);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }
  // The cells of colour c in a row or a column.
  Integer RowCount(Integer y, TColor c) { return C().Count(c, Rect(0, y, 64, y + 1)); }
  Integer ColumnCount(Integer x, TColor c) { return C().Count(c, Rect(x, 0, x + 1, 64)); }
  std::set<std::pair<Integer, Integer>> Cells(TColor c) {
    std::set<std::pair<Integer, Integer>> cells;
    for (Integer y = 0; y < 64; ++y)
      for (Integer x = 0; x < 64; ++x)
        if (C().Is(x, y, c)) cells.insert({x, y});
    return cells;
  }

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// Metrics and insets

struct TArrowSizeCase {
  TSize Size;
  TqvArrowDirection Direction;
  TSize Expected;
};

class EditArrowSizeTest : public ::testing::TestWithParam<TArrowSizeCase> {};

TEST_P(EditArrowSizeTest, IsOddAndHalfAsHigh) {
  EXPECT_EQ(CalculateArrowSize(GetParam().Size, GetParam().Direction), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditArrowSizeTest,
                         ::testing::Values(TArrowSizeCase{{10, 20}, arrowDown, {5, 3}},
                                           TArrowSizeCase{{8, 8}, arrowDown, {3, 2}},
                                           TArrowSizeCase{{8, 8}, arrowRight, {2, 3}},
                                           TArrowSizeCase{{8, 8}, arrowLeft, {2, 3}},
                                           TArrowSizeCase{{15, 17}, arrowUp, {7, 4}},
                                           TArrowSizeCase{{3, 3}, arrowDown, {1, 1}}));

TEST(EditMetrics, BorderWidths) {
  const std::pair<TqvEditBorderStyle, Integer> cases[] = {{ebsNone, 0}, {ebsSingle, 1}, {ebsThick, 2},
                                                          {ebsFlat, 2}, {ebs3D, 2},     {ebsUltraFlat, 1}};
  for (auto [style, width] : cases) EXPECT_EQ(GetEditBorderWidth(style), width) << style;
}

TEST(EditMetrics, TextInsetsByAlignment) {
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taLeftJustify, false), Rect(1, 1, 1, 3));
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taRightJustify, false), Rect(1, 1, 2, 3));
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taCenter, false), Rect(1, 1, 1, 3));
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taLeftJustify, true), Rect(1, 1, 1, 1));
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taRightJustify, true), Rect(1, 1, 2, 1));
  EXPECT_EQ(GetDrawTextOffsetByAlignment(taCenter, true), Rect(1, 1, 1, 1));
}

TEST(EditMetrics, AcceleratorMarks) {
  const std::pair<String, String> cases[] = {{"&Open", "Open"},   {"A&&B", "A&B"}, {"Save&", "Save_"},
                                             {"", ""},            {"&&&x", "&x"},  {"plain", "plain"},
                                             {"a&b&", "ab_"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(RemoveAccelChars(text), expected) << text;
}

TEST(EditMetrics, GlyphPositions) {
  const TRect r = Rect(10, 20, 25, 34);  // 15 x 14
  EXPECT_EQ(CalculateGlyphPosition(r, {8, 8}, false), Point(13, 23));
  EXPECT_EQ(CalculateGlyphPosition(r, {8, 8}, true), Point(14, 23)) << "an odd spare width rounds up";
  EXPECT_EQ(CalculateGlyphPosition(r, {8, 9}, true), Point(14, 23));
  EXPECT_EQ(CalculateGlyphPosition(r, {8, 7}, true), Point(14, 24));
  EXPECT_EQ(CalculateGlyphPosition(r, {20, 20}, false), Point(8, 17)) << "a larger glyph overhangs evenly";
}

TEST_F(EditPaintTest, CheckBoxGlyphSizeComesFromTheSystemBitmap) {
  HBITMAP checks = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  BITMAP info{};
  GetObject(checks, sizeof(info), &info);
  DeleteObject(checks);
  EXPECT_EQ(CheckBoxGlyphSize(), (TSize{info.bmWidth / 4, info.bmHeight / 3}));
  EXPECT_GT(CheckBoxGlyphSize().cx, 0);
}

// ---------------------------------------------------------------------------------------------
// Flags

TEST(EditTextFlags, LayoutToCanvas) {
  const std::pair<TqvTextLayoutFlags, TqvTextFlags> cases[] = {
      {tlHLeft, 0},
      {tlHCenter, tfHCenter},
      {tlHRight, tfRight},
      {tlHJustify, 0},
      {tlVCenter, tfVCenter},
      {tlVBottom, tfBottom},
      {tlVDistribute, 0},
      {tlSingleLine, tfSingleLine},
      {tlHRight | tlVCenter | tlSingleLine | tlWordBreak | tlEndEllipsis, tfRight | tfVCenter | tfSingleLine}};
  for (auto [layout, canvas] : cases) EXPECT_EQ(TextLayoutFlagsToCanvasFlags(layout), canvas) << layout;
}

TEST(EditTextFlags, CanvasToLayout) {
  const std::pair<TqvTextFlags, TqvTextLayoutFlags> cases[] = {
      {tfLeft | tfTop, 0},
      {tfHCenter, tlHCenter},
      {tfRight, tlHRight},
      {tfVCenter, tlVCenter},
      {tfBottom, tlVBottom},
      {tfSingleLine, tlSingleLine},
      {tfRight | tfBottom | tfSingleLine | tfWordBreak | tfEndEllipsis, tlHRight | tlVBottom | tlSingleLine}};
  for (auto [canvas, layout] : cases) EXPECT_EQ(CanvasFlagsToTextLayoutFlags(canvas), layout) << canvas;
}

// ---------------------------------------------------------------------------------------------
// Themes and painters

TEST_F(EditPaintTest, ThemesAreUsableWithTheNativeStyleOnly) {
  EXPECT_TRUE(IsNativeThemeUsable(true, totEdit));
  EXPECT_FALSE(IsNativeThemeUsable(false, totEdit));
  ThemeEngine::SetClassHidden(u"Edit", true);
  CloseAllThemes();
  EXPECT_FALSE(IsNativeThemeUsable(true, totEdit));
  ThemeEngine::SetClassHidden(u"Edit", false);
  CloseAllThemes();
  ThemeEngine::SetEnabled(false);
  EXPECT_FALSE(IsNativeThemeUsable(true, totEdit));
}

TEST_F(EditPaintTest, PainterChoice) {
  EXPECT_EQ(GetEditPainterClass(true, lfFlat), TqvWinXPLookAndFeelPainter::Class());
  EXPECT_EQ(GetEditPainterClass(false, lfFlat), TqvFlatLookAndFeelPainter::Class());
  EXPECT_EQ(GetEditPainterClass(false, lfStandard), TqvStandardLookAndFeelPainter::Class());
  EXPECT_EQ(GetEditPainterClass(false, lfUltraFlat), TqvUltraFlatLookAndFeelPainter::Class());
  ThemeEngine::SetEnabled(false);
  EXPECT_EQ(GetEditPainterClass(true, lfUltraFlat), TqvUltraFlatLookAndFeelPainter::Class());
}

TEST(EditPaintThemeStates, ButtonStatesMapToThemeStates) {
  EXPECT_EQ(EditButtonStateToThemeState(ebbsDisabled), 4);
  EXPECT_EQ(EditButtonStateToThemeState(ebbsNormal), 1);
  EXPECT_EQ(EditButtonStateToThemeState(ebbsPressed), 3);
  EXPECT_EQ(EditButtonStateToThemeState(ebbsHot), 2);
}

// ---------------------------------------------------------------------------------------------
// Arrows

TEST_F(EditPaintTest, AnUpArrowGrowsFromItsTip) {
  DrawArrows(C().Canvas(), 4, Rect(10, 10, 27, 30), clRed, false, 0, arrowUp);
  const TRect ink = C().InkBox();
  EXPECT_EQ(ink, Rect(15, 18, 22, 22)) << "7 x 4, centred";
  for (Integer line = 0; line < 4; ++line) EXPECT_EQ(RowCount(18 + line, clRed), 2 * line + 1);
}

TEST_F(EditPaintTest, ADownArrowNarrowsAndAPressedOneMoves) {
  DrawArrows(C().Canvas(), 3, Rect(0, 0, 15, 15), clRed, true, 0, arrowDown);
  EXPECT_EQ(C().InkBox(), Rect(6, 7, 11, 10));
  for (Integer line = 0; line < 3; ++line) EXPECT_EQ(RowCount(7 + line, clRed), 5 - 2 * line);
}

TEST_F(EditPaintTest, SideArrowsLieAndExtraArrowsFollow) {
  DrawArrows(C().Canvas(), 3, Rect(0, 0, 20, 20), clBlue, false, 1, arrowRight);
  EXPECT_EQ(C().InkBox(), Rect(7, 7, 13, 12)) << "two triangles, 6 x 5";
  const Integer expected[] = {5, 3, 1, 5, 3, 1};
  for (Integer column = 0; column < 6; ++column) EXPECT_EQ(ColumnCount(7 + column, clBlue), expected[column]);
  C().Clear();
  DrawArrows(C().Canvas(), 3, Rect(0, 0, 20, 20), clBlue, false, 0, arrowLeft);
  for (Integer column = 0; column < 3; ++column) EXPECT_EQ(ColumnCount(8 + column, clBlue), 2 * column + 1);
}

// ---------------------------------------------------------------------------------------------
// Polylines and fills

TEST_F(EditPaintTest, APolylineOfRectanglesCoversEveryPointOnce) {
  const TPoint square[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}, {2, 2}};
  DrawPolyline(C().Canvas(), square, true, clRed);
  std::set<std::pair<Integer, Integer>> outline;
  for (Integer i = 2; i <= 10; ++i) outline.insert({{i, 2}, {i, 10}, {2, i}, {10, i}});
  EXPECT_EQ(Cells(clRed), outline);
}

TEST_F(EditPaintTest, APenPolylineEndsOnItsLastPoint) {
  const TPoint corner[] = {{2, 5}, {8, 5}, {8, 12}};
  DrawPolyline(C().Canvas(), corner, false, clGreen);
  EXPECT_TRUE(C().Is(2, 5, clGreen));
  EXPECT_TRUE(C().Is(8, 12, clGreen)) << "the last point itself";
  EXPECT_EQ(C().InkBox(), Rect(2, 5, 9, 13));
}

TEST_F(EditPaintTest, FillRectExceptFillsTheFrameAroundTheInnerRectangle) {
  FillRectExcept(C().Canvas(), Rect(10, 10, 30, 30), Rect(13, 12, 27, 26), GetSolidBrush(C().Canvas(), clRed));
  EXPECT_EQ(C().Count(clRed), 20 * 20 - 14 * 14);
  EXPECT_FALSE(C().Is(13, 12, clRed));
  C().Clear();
  FillRectExcept(C().Canvas(), Rect(10, 10, 30, 30), TRect{}, GetSolidBrush(C().Canvas(), clRed));
  EXPECT_EQ(C().Count(clRed), 400);
  C().Clear();
  FillRectExcept(C().Canvas(), Rect(10, 10, 30, 30), Rect(10, 10, 30, 30), GetSolidBrush(C().Canvas(), clRed));
  EXPECT_EQ(C().Count(clRed), 0);
}

// ---------------------------------------------------------------------------------------------
// Glyphs and images

// An 8 x 8 glyph: a red 4 x 4 square in the middle of its transparent colour (the bottom-left
// pixel, lime).
TOwned<TBitmap> MakeGlyph() {
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(8, 8);
  glyph->GetCanvas()->GetBrush()->SetColor(clLime);
  glyph->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  glyph->GetCanvas()->GetBrush()->SetColor(clRed);
  glyph->GetCanvas()->FillRect(Rect(2, 2, 6, 6));
  return glyph;
}

TEST(EditGlyphs, Assigned) {
  EXPECT_FALSE(IsGlyphAssigned(nullptr));
  TBitmap empty;
  EXPECT_FALSE(IsGlyphAssigned(&empty));
  EXPECT_TRUE(IsGlyphAssigned(MakeGlyph().get()));
}

TEST_F(EditPaintTest, AnEnabledGlyphTakesTheBackgroundColour) {
  auto glyph = MakeGlyph();
  DrawButtonGlyph(C().Canvas(), 10, 10, nullptr, clBlue, true, glyph.get());
  EXPECT_EQ(C().Count(clRed), 16);
  EXPECT_EQ(C().Count(clBlue), 48);
  EXPECT_EQ(C().Count(clLime), 0);
}

TEST_F(EditPaintTest, AnEnabledGlyphOnNoColourLeavesTheCanvas) {
  auto glyph = MakeGlyph();
  DrawButtonGlyph(C().Canvas(), 10, 10, nullptr, clNone, true, glyph.get());
  EXPECT_EQ(C().Count(clRed), 16);
  EXPECT_EQ(C().InkBox(), Rect(12, 12, 16, 16));
}

TEST_F(EditPaintTest, AnEnabledGlyphOverABackgroundBitmap) {
  auto glyph = MakeGlyph();
  auto background = MakeOwned<TBitmap>();
  background->SetSize(8, 8);
  background->GetCanvas()->GetBrush()->SetColor(clYellow);
  background->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  DrawButtonGlyph(C().Canvas(), 20, 20, background.get(), clBlue, true, glyph.get());
  EXPECT_EQ(C().Count(clRed), 16);
  EXPECT_EQ(C().Count(clYellow), 48);
  EXPECT_EQ(C().InkBox(), Rect(20, 20, 28, 28));
}

TEST_F(EditPaintTest, ADisabledGlyphIsEmbossedOverItsColour) {
  auto glyph = MakeGlyph();
  DrawButtonGlyph(C().Canvas(), 10, 10, nullptr, clBlue, false, glyph.get());
  EXPECT_EQ(C().Count(clRed), 0);
  EXPECT_GT(C().Count(clBlue), 0);
  EXPECT_EQ(C().InkBox(), Rect(10, 10, 18, 18));
}

TEST_F(EditPaintTest, ADisabledGlyphOnNoColourIsDrawnStraightOntoTheCanvas) {
  auto glyph = MakeGlyph();
  DrawButtonGlyph(C().Canvas(), 10, 10, nullptr, clNone, false, glyph.get());
  EXPECT_EQ(C().Count(clRed), 0);
  EXPECT_TRUE(C().Is(10, 10, TEditorsCanvas::Paper)) << "the transparent part shows the canvas";
  const TRect ink = C().InkBox();
  EXPECT_GE(ink.Left, 12);
  EXPECT_GT(ink.Right, ink.Left);
}

TEST_F(EditPaintTest, ImageListImagesGoThroughABitmapOfTheBackground) {
  TImageList images(nullptr, 8, 8);
  auto glyph = MakeGlyph();
  images.AddMasked(glyph.get(), clLime);
  DrawImageListImage(C().Canvas(), &images, 0, nullptr, true, clBlue, Rect(5, 6, 40, 40));
  EXPECT_EQ(C().InkBox(), Rect(5, 6, 13, 14));
  EXPECT_EQ(C().Count(clRed), 16);
  EXPECT_EQ(C().Count(clBlue), 48);
}

// ---------------------------------------------------------------------------------------------
// Size grip

class EditSizeGripTest : public EditPaintTest, public ::testing::WithParamInterface<bool> {
 protected:
  // The grip in a 30 x 30 rectangle at (4, 4), drawn at ACorner.
  std::vector<uint32_t> Grip(TqvSizeGripCorner ACorner, bool ATransparent) {
    ThemeEngine::SetEnabled(GetParam());
    C().Clear();
    DrawSizeGrip(C().Canvas(), Rect(4, 4, 34, 34), ACorner, ATransparent, true);
    return C().Snapshot();
  }
  static std::vector<uint32_t> Mirrored(const std::vector<uint32_t>& APixels, bool AX, bool AY) {
    std::vector<uint32_t> out(APixels.size());
    for (Integer y = 0; y < 64; ++y)
      for (Integer x = 0; x < 64; ++x) {
        // Mirrored around the centre of the rectangle (4..33).
        const Integer sx = AX && x >= 4 && x < 34 ? 37 - x : x;
        const Integer sy = AY && y >= 4 && y < 34 ? 37 - y : y;
        out[size_t(y * 64 + x)] = APixels[size_t(sy * 64 + sx)];
      }
    return out;
  }
};

TEST_P(EditSizeGripTest, OtherCornersMirrorTheBottomRightGrip) {
  const auto bottomRight = Grip(sgcBottomRight, false);
  EXPECT_SAME_PIXELS(C(), Grip(sgcTopLeft, false), Mirrored(bottomRight, true, true));
  EXPECT_SAME_PIXELS(C(), Grip(sgcTopRight, false), Mirrored(bottomRight, false, true));
  EXPECT_SAME_PIXELS(C(), Grip(sgcBottomLeft, false), Mirrored(bottomRight, true, false));
}

TEST_P(EditSizeGripTest, AnOpaqueGripFillsItsRectangle) {
  Grip(sgcBottomRight, false);
  EXPECT_EQ(C().InkBox(), Rect(4, 4, 34, 34));
  EXPECT_TRUE(C().Is(5, 5, clBtnFace));
  EXPECT_LT(C().Count(clBtnFace, Rect(19, 19, 34, 34)), 15 * 15) << "the grip sits in the corner";
  EXPECT_EQ(C().Count(clBtnFace, Rect(4, 4, 16, 16)), 12 * 12);
}

TEST_P(EditSizeGripTest, ATransparentGripKeepsTheCanvasAroundIt) {
  Grip(sgcBottomRight, true);
  EXPECT_TRUE(C().Is(5, 5, TEditorsCanvas::Paper)) << "nothing is filled outside the grip";
  const TRect ink = C().InkBox();
  EXPECT_GE(ink.Left, 34 - 17);
  EXPECT_GE(ink.Top, 34 - 17);
  EXPECT_EQ(ink.Right, 34);
}

INSTANTIATE_TEST_SUITE_P(Themes, EditSizeGripTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return String(info.param ? "Themed" : "Classic");
                         });

// Without a theme a transparent grip is three groups of diagonal lines over whatever lies there.
TEST_F(EditPaintTest, AClassicTransparentGripDrawsLinesOverTheBackground) {
  ThemeEngine::SetEnabled(false);
  C().Clear(clYellow);
  DrawSizeGrip(C().Canvas(), Rect(0, 0, 40, 40), sgcBottomRight, true, false);
  EXPECT_TRUE(C().Is(39, 39, clYellow)) << "the corner line is skipped";
  EXPECT_TRUE(C().Is(38, 39, clBtnShadow));
  EXPECT_TRUE(C().Is(36, 39, clBtnHighlight));
  EXPECT_TRUE(C().Is(35, 39, clYellow));
  EXPECT_TRUE(C().Is(20, 20, clYellow));
  EXPECT_EQ(C().Count(clBtnHighlight), 4 + 8 + 12) << "diagonals 3, 7 and 11";
}

}  // namespace
