// The editors' text layout: row breaking, placing, drawing with ellipsis and selection, the whole
// pipeline, and agreement with the drawing layer's DrawText, in DejaVu Sans.
#include <functional>

#include "editors/qvDrawTextUtils.h"
#include "editors/qvEditorsTestSupport.h"
#include "lookandfeel/qvGraphics.h"

namespace {

constexpr TqvTextLayoutFlags tlNone = 0;

class TextLayoutTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(240, 120);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }

  TEditorsCanvas& C() { return *FCanvas; }
  Integer Row() { return C().TextHeight(); }

  struct TLayout {
    bool Complete = false;
    Integer Count = 0;
    TqvTextRows Rows;
    std::vector<String> Texts;
  };
  TLayout Layout(const String& AText, TqvTextLayoutFlags AFlags, const TRect& ARect, Integer ARowLimit = 0) {
    TLayout l;
    const TqvTextLayoutParams params = CalcTextLayoutParams(C().Canvas(), AFlags);
    l.Complete = LayoutTextRows(C().Canvas(), AText, ARect, ARowLimit, l.Count, l.Rows, params);
    for (const TqvTextRow& r : l.Rows) l.Texts.push_back(AText.substr(size_t(r.Offset), size_t(r.Length)));
    return l;
  }

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

using TTextRows = std::vector<String>;

// ---------------------------------------------------------------------------------------------
// Breaking rows: a table of texts, flags and rectangles (widths measured in the pinned font)

struct TBreakCase {
  const char* Name;
  String Text;
  TqvTextLayoutFlags Flags;
  // The rectangle's width from the canvas (for example the width of a sample text).
  std::function<Integer(TEditorsCanvas&)> Width;
  double HeightInRows;
  Integer RowLimit;
  TTextRows Rows;
  bool Complete;
  friend void PrintTo(const TBreakCase& c, std::ostream* os) { *os << c.Name; }
};

auto WidthOf(const String& s, Integer delta = 0) {
  return [s, delta](TEditorsCanvas& c) { return c.TextWidth(s) + delta; };
}
auto Wide() {
  return [](TEditorsCanvas&) { return 1000; };
}

class TextLayoutBreakTest : public TextLayoutTest, public ::testing::WithParamInterface<TBreakCase> {};

TEST_P(TextLayoutBreakTest, BreaksIntoRows) {
  const TBreakCase& c = GetParam();
  const TRect r = Rect(0, 0, c.Width(C()), Integer(c.HeightInRows * Row()));
  TLayout l = Layout(c.Text, c.Flags, r, c.RowLimit);
  EXPECT_EQ(l.Texts, c.Rows);
  EXPECT_EQ(l.Count, Integer(c.Rows.size()));
  EXPECT_EQ(l.Complete, c.Complete);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayoutBreakTest,
    ::testing::Values(
        TBreakCase{"WrapKeepsTheBlank", "abc def", tlWordBreak, WidthOf("abc def", -1), 10, 0, {"abc ", "def"}, true},
        TBreakCase{"FitsOnOneRow", "abc def", tlWordBreak, WidthOf("abc def"), 10, 0, {"abc def"}, true},
        TBreakCase{"LongWordOverflows", "aaaaaaaa bb", tlWordBreak, WidthOf("aaa"), 10, 0, {"aaaaaaaa ", "bb"}, true},
        TBreakCase{"LongWordIsCut", "aaaaaaaa", tlWordBreak | tlBreakLongWords, WidthOf("aaa"), 10, 0,
                   {"aaa", "aaa", "aa"}, true},
        TBreakCase{"CutNeverLeavesAnEmptyRow", "WWW", tlWordBreak | tlBreakLongWords, WidthOf("W", -1), 10, 0,
                   {"W", "W", "W"}, true},
        TBreakCase{"CutPrefersTheLastBreak", "aa aaaaaa", tlWordBreak | tlBreakLongWords, WidthOf("aaaa"), 10, 0,
                   {"aa ", "aaaa", "aa"}, true},
        TBreakCase{"CRLFEndsARow", "a\r\nb", tlNone, Wide(), 10, 0, {"a", "b"}, true},
        TBreakCase{"LoneLFEndsARow", "a\nb", tlNone, Wide(), 10, 0, {"a", "b"}, true},
        TBreakCase{"LoneCREndsARow", "a\rb", tlNone, Wide(), 10, 0, {"a", "b"}, true},
        TBreakCase{"EmptyLinesAreRows", "a\r\n\r\nb", tlNone, Wide(), 10, 0, {"a", "", "b"}, true},
        TBreakCase{"TrailingLineEndMakesNoRow", "a\r\n", tlNone, Wide(), 10, 0, {"a"}, true},
        TBreakCase{"SingleLineKeepsLineEnds", "a\r\nb", tlSingleLine, Wide(), 10, 0, {"a\r\nb"}, true},
        TBreakCase{"WithoutWrapARowRunsToTheLineEnd", "abc def\r\ng", tlNone, WidthOf("a"), 10, 0, {"abc def", "g"},
                   true},
        TBreakCase{"HeightLimitsRows", "1\r\n2\r\n3\r\n4\r\n5", tlNone, Wide(), 2.5, 0, {"1", "2", "3"}, true},
        TBreakCase{"WholeRowsOnly", "1\r\n2\r\n3\r\n4\r\n5", tlWholeRowsOnly, Wide(), 2.5, 0, {"1", "2"}, true},
        TBreakCase{"NoClipLaysOutUntilARowPassesTheBottom", "1\r\n2\r\n3\r\n4\r\n5", tlWholeRowsOnly | tlNoClip,
                   Wide(), 2.5, 0, {"1", "2", "3"}, true},
        TBreakCase{"RowLimitCutsCenteredText", "1\r\n2\r\n3\r\n4", tlVCenter, Wide(), 10, 2, {"1", "2"}, false},
        TBreakCase{"RowLimitReachedWithNothingLeft", "1\r\n2", tlVCenter, Wide(), 10, 2, {"1", "2"}, true},
        TBreakCase{"TopAlignmentIgnoresTheRowLimit", "1\r\n2\r\n3\r\n4", tlNone, Wide(), 10, 2, {"1", "2", "3", "4"},
                   true},
        TBreakCase{"HeightStopsAtTheRowLimit", "1\r\n2\r\n3\r\n4", tlWholeRowsOnly, Wide(), 2, 2, {"1", "2"}, false},
        TBreakCase{"CalcRectStopsAtTheLimitAndAnswersTrue", "1\r\n2\r\n3\r\n4", tlCalcRect, Wide(), 10, 2, {"1", "2"},
                   true},
        TBreakCase{"SingleLineMeasuresUntilItOverflows", "abc def", tlSingleLine, WidthOf("ab"), 10, 0, {"abc"}, true},
        TBreakCase{"CalcRectSingleLineTakesTheWholeText", "abc def", tlSingleLine | tlCalcRect, WidthOf("ab"), 10, 0,
                   {"abc def"}, true},
        TBreakCase{"EndEllipsisRunsOnThroughLineEnds", "aa\r\nbb\r\ncc", tlEndEllipsis, Wide(), 1.5, 0,
                   {"aa", "bb\r\ncc"}, true},
        TBreakCase{"JustifyDropsTrailingBlanks", "ab cd ef gh", tlHJustify, WidthOf("ab cd e"), 10, 0,
                   {"ab cd", "ef gh"}, true},
        TBreakCase{"WrapSkipsBlanksBeforeTheNextRow", "ab    cd", tlWordBreak, WidthOf("ab  "), 10, 0,
                   {"ab   ", "cd"}, true}),
    [](const ::testing::TestParamInfo<TBreakCase>& info) { return String(info.param.Name); });

TEST_F(TextLayoutTest, NoTextGivesNoRows) {
  TLayout l = Layout("", tlWordBreak, Rect(0, 0, 100, 100));
  EXPECT_TRUE(l.Complete);
  EXPECT_EQ(l.Count, 0);
  EXPECT_TRUE(l.Rows.empty());
}

TEST_F(TextLayoutTest, RowsKeepOffsetsAndMeasuredExtents) {
  TLayout l = Layout("ab\r\ncde", tlNone, Rect(0, 0, 200, 100));
  ASSERT_EQ(l.Count, 2);
  EXPECT_EQ(l.Rows[1].Offset, 4);
  EXPECT_EQ(l.Rows[1].Length, 3);
  EXPECT_EQ(l.Rows[1].Width, C().TextWidth("cde"));
  EXPECT_EQ(l.Rows[1].Height, Row());
}

TEST_F(TextLayoutTest, ALayoutReusesNoRowsOfAnEarlierOne) {
  TqvTextRows rows(7);
  Integer count = 7;
  const TqvTextLayoutParams params = CalcTextLayoutParams(C().Canvas(), tlNone);
  LayoutTextRows(C().Canvas(), "x", Rect(0, 0, 100, 100), 0, count, rows, params);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(rows.size(), 1u);
}

// A rectangle measured for a row holds it again: kerned pairs do not break a measured row.
TEST_F(TextLayoutTest, AMeasuredRowFitsItsOwnWidth) {
  for (const String text : {"AVAVAV To Ty", "Wave Vote Yo", "LT AV AW"}) {
    TLayout l = Layout(text, tlWordBreak, Rect(0, 0, C().TextWidth(text), 100));
    EXPECT_EQ(l.Count, 1) << text;
  }
}

// Break characters and tabs are counted; justified rows do not stretch the last row of a
// paragraph, distributed ones do.
struct TBreakCountCase {
  const char* Name;
  String Text;
  TqvTextLayoutFlags Flags;
  std::vector<Integer> BreakCounts;
  friend void PrintTo(const TBreakCountCase& c, std::ostream* os) { *os << c.Name; }
};

class TextLayoutBreakCountTest : public TextLayoutTest, public ::testing::WithParamInterface<TBreakCountCase> {};

TEST_P(TextLayoutBreakCountTest, CountsBreaks) {
  const TBreakCountCase& c = GetParam();
  TLayout l = Layout(c.Text, c.Flags, Rect(0, 0, C().TextWidth("ab cd e"), 200));
  std::vector<Integer> counts;
  for (const TqvTextRow& r : l.Rows) counts.push_back(r.BreakCount);
  EXPECT_EQ(counts, c.BreakCounts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayoutBreakCountTest,
    ::testing::Values(TBreakCountCase{"JustifyLastRowOfText", "ab cd ef gh", tlHJustify, {1, 0}},
                      TBreakCountCase{"DistributeLastRowOfText", "ab cd ef gh", tlHDistribute, {1, 1}},
                      TBreakCountCase{"JustifyRowBeforeALineEnd", "ab cd\r\nef", tlHJustify, {0, 0}},
                      TBreakCountCase{"DistributeRowBeforeALineEnd", "ab cd\r\nef", tlHDistribute, {1, 0}},
                      TBreakCountCase{"LeftKeepsTrailingBlanks", "ab cd ef gh", tlWordBreak, {2, 1}},
                      TBreakCountCase{"TabsCountAsBreaks", "a\tb c", tlNone, {2}}),
    [](const ::testing::TestParamInfo<TBreakCountCase>& info) { return String(info.param.Name); });

TEST_F(TextLayoutTest, ExpandedTabsMeasureToTheDefaultStops) {
  TLayout l = Layout("a\tb", tlExpandTabs, Rect(0, 0, 400, 100));
  ASSERT_EQ(l.Count, 1);
  const DWORD extent = GetTabbedTextExtent(C().DC(), "a\tb", 3, 0, nullptr);
  EXPECT_EQ(l.Rows[0].Width, Integer(LOWORD(extent)));
  EXPECT_GT(l.Rows[0].Width, C().TextWidth("a\tb"));
}

// ---------------------------------------------------------------------------------------------
// Placing rows

struct TPlaceCase {
  const char* Name;
  TqvTextLayoutFlags Flags;
  std::vector<TPoint> Positions;  // for rows of widths 20 and 60 in (10, 10, 110, 110), rows 15 high
  friend void PrintTo(const TPlaceCase& c, std::ostream* os) { *os << c.Name; }
};

class TextLayoutPlaceTest : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(TextLayoutPlaceTest, PlacesRows) {
  const TPlaceCase& c = GetParam();
  TqvTextRows rows(2);
  rows[0].Width = 20;
  rows[1].Width = 60;
  TqvTextLayoutParams params;
  params.TextHeight = params.RowHeight = 15;
  params.HorzAlignment = TqvTextLayoutHorzAlignment(c.Flags & tlHorzMask);
  params.VertAlignment = TqvTextLayoutVertAlignment((c.Flags & tlVertMask) >> 4);
  params.KeepLeftInside = c.Flags & tlKeepLeftInside;
  params.KeepTopInside = c.Flags & tlKeepTopInside;
  PlaceTextRows(nullptr, Rect(10, 10, 110, 110), params, 2, rows);
  EXPECT_EQ((std::vector<TPoint>{{rows[0].X, rows[0].Y}, {rows[1].X, rows[1].Y}}), c.Positions);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayoutPlaceTest,
    ::testing::Values(TPlaceCase{"LeftTop", tlHLeft | tlVTop, {{10, 10}, {10, 25}}},
                      TPlaceCase{"CenterCenter", tlHCenter | tlVCenter, {{50, 45}, {30, 60}}},
                      TPlaceCase{"RightBottom", tlHRight | tlVBottom, {{90, 80}, {50, 95}}},
                      TPlaceCase{"JustifyStartsLeft", tlHJustify, {{10, 10}, {10, 25}}},
                      TPlaceCase{"DistributeSpreadsRows", tlVDistribute, {{10, 10}, {10, 95}}}),
    [](const ::testing::TestParamInfo<TPlaceCase>& info) { return String(info.param.Name); });

TEST(TextLayoutPlace, KeepInsideHoldsRowsInTheRectangle) {
  TqvTextRows rows(3);
  for (TqvTextRow& r : rows) r.Width = 200;
  TqvTextLayoutParams params;
  params.TextHeight = params.RowHeight = 50;
  params.HorzAlignment = tlhaRight;
  params.VertAlignment = tlvaBottom;
  params.KeepLeftInside = params.KeepTopInside = true;
  PlaceTextRows(nullptr, Rect(10, 10, 110, 110), params, 3, rows);
  EXPECT_EQ(rows[0].X, 10);
  EXPECT_EQ(rows[0].Y, 10);
  params.KeepLeftInside = params.KeepTopInside = false;
  PlaceTextRows(nullptr, Rect(10, 10, 110, 110), params, 3, rows);
  EXPECT_EQ(rows[0].X, -90);
  EXPECT_EQ(rows[0].Y, -40);
}

TEST(TextLayoutPlace, DistributionHandsOutTheRemainderToTheFirstRows) {
  TqvTextRows rows(4);
  TqvTextLayoutParams params;
  params.TextHeight = params.RowHeight = 10;
  params.VertAlignment = tlvaDistribute;
  PlaceTextRows(nullptr, Rect(0, 0, 50, 102), params, 4, rows);  // gap 92 = 3 x 30 + 2
  EXPECT_EQ(params.RowHeight, 30);
  std::vector<Integer> ys;
  for (const TqvTextRow& r : rows) ys.push_back(r.Y);
  EXPECT_EQ(ys, (std::vector<Integer>{0, 31, 62, 92}));
}

TEST(TextLayoutPlace, DistributionNeedsRoom) {
  TqvTextRows rows(3);
  TqvTextLayoutParams params;
  params.TextHeight = params.RowHeight = 10;
  params.VertAlignment = tlvaDistribute;
  PlaceTextRows(nullptr, Rect(0, 0, 50, 25), params, 3, rows);
  EXPECT_EQ(params.RowHeight, 10);
  EXPECT_EQ(rows[2].Y, 20);
}

// ---------------------------------------------------------------------------------------------
// The whole pipeline

TEST_F(TextLayoutTest, EmptyTextChangesNothing) {
  TRect r = Rect(5, 5, 50, 50);
  EXPECT_EQ(DrawTextLayout(C().Canvas(), "", r, 0, 0, 0, clBlack, clWhite, 0, 0, tlCalcRect), 0);
  EXPECT_EQ(r, Rect(5, 5, 50, 50));
  EXPECT_EQ(C().InkBox(), TRect{});
}

TEST_F(TextLayoutTest, UnusableRectanglesGiveZero) {
  TRect empty = Rect(5, 5, 50, 5);
  EXPECT_EQ(TextOutOnCanvas(C().Canvas(), "abc", empty, 0, 0, 0, tlNone), 0);
  TRect narrow = Rect(5, 5, 50, 50);
  EXPECT_EQ(TextOutOnCanvas(C().Canvas(), "abc", narrow, 20, 25, 0, tlCalcRect), 0);
  EXPECT_EQ(narrow, Rect(5, 5, 50, 50));
  EXPECT_EQ(C().InkBox(), TRect{});
}

TEST_F(TextLayoutTest, CalcRectMeasuresTheWidestRowAndTheRows) {
  TRect r = Rect(10, 20, 200, 100);
  TextOutOnCanvas(C().Canvas(), "ab\r\nabcd", r, 0, 0, 0, tlCalcRect);
  EXPECT_EQ(r, Rect(10, 20, 10 + C().TextWidth("abcd"), 20 + 2 * Row()));
  EXPECT_EQ(C().InkBox(), TRect{}) << "measuring draws nothing";
}

TEST_F(TextLayoutTest, CalcRectMovesTheInsetsBackOut) {
  TRect r = Rect(10, 20, 200, 100);
  TextOutOnCanvas(C().Canvas(), "abcd", r, 7, 5, 0, tlCalcRect | tlSingleLine);
  EXPECT_EQ(r, Rect(10, 20, 10 + 5 + C().TextWidth("abcd") + 7, 20 + Row()));
}

TEST_F(TextLayoutTest, CalcRectWithARowLimitMeasuresTheFirstRows) {
  TRect r = Rect(0, 0, 200, 200);
  EXPECT_EQ(TextOutOnCanvas(C().Canvas(), "ab\r\nabcdefg\r\nc", r, 0, 0, 1, tlCalcRect | tlReturnRowCount), 1);
  EXPECT_EQ(r.Right, C().TextWidth("ab"));
}

// Measuring without a limit neither overflows nor wraps.
TEST_F(TextLayoutTest, UnboundedRectanglesMeasure) {
  TRect r = Rect(0, 0, qvUnboundedExtent, qvUnboundedExtent);
  TextOutOnCanvas(C().Canvas(), "abc def\r\nxy", r, 3, 3, 0, tlCalcRect | tlWordBreak);
  EXPECT_EQ(r, Rect(0, 0, 6 + C().TextWidth("abc def"), 2 * Row()));
  TLayout l = Layout("a\r\nb", tlNone, Rect(0, 0, qvUnboundedExtent, qvUnboundedExtent));
  EXPECT_EQ(l.Count, 2);
}

TEST_F(TextLayoutTest, ReturnsTheHeightOrTheRowCount) {
  TRect r = Rect(0, 0, 200, 100);
  EXPECT_EQ(TextOutOnCanvas(C().Canvas(), "a\r\nb", r, 0, 0, 0, tlReturnRowCount), 2);
  EXPECT_EQ(TextOutOnCanvas(C().Canvas(), "a\r\nb", r, 0, 0, 0, tlNone), 2 * Row());
}

// ---------------------------------------------------------------------------------------------
// Drawing: the same pixels as the drawing layer

struct TAgreeCase {
  const char* Name;
  String Text;
  TqvTextLayoutFlags Flags;
  UINT DrawTextFlags;
  friend void PrintTo(const TAgreeCase& c, std::ostream* os) { *os << c.Name; }
};

class TextLayoutAgreementTest : public TextLayoutTest, public ::testing::WithParamInterface<TAgreeCase> {};

TEST_P(TextLayoutAgreementTest, DrawsWhatDrawTextDraws) {
  const TAgreeCase& c = GetParam();
  const TRect box = Rect(12, 9, 190, 80);
  TRect r = box;
  TextOutOnCanvas(C().Canvas(), c.Text, r, 0, 0, 0, c.Flags);
  const auto ours = C().Snapshot();
  ASSERT_NE(C().InkBox(), TRect{});
  C().Clear();
  r = box;
  HDC dc = C().DC();
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, c.Text.data(), Integer(c.Text.size()), &r, c.DrawTextFlags | DT_NOPREFIX);
  EXPECT_SAME_PIXELS(C(), ours, C().Snapshot());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayoutAgreementTest,
    ::testing::Values(
        TAgreeCase{"LeftTop", "Astra 19.2E", tlSingleLine, DT_SINGLELINE},
        TAgreeCase{"CenterMiddle", "Astra 19.2E", tlSingleLine | tlHCenter | tlVCenter,
                   DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        TAgreeCase{"RightBottom", "Astra 19.2E", tlSingleLine | tlHRight | tlVBottom,
                   DT_SINGLELINE | DT_RIGHT | DT_BOTTOM},
        TAgreeCase{"RowsLeft", "hot bird\r\nmonde 5", tlNone, 0},
        TAgreeCase{"RowsCentered", "Hot Bird\r\nTV 5 Monde", tlHCenter, DT_CENTER},
        TAgreeCase{"RowsRight", "hot bird\r\nmonde 5", tlHRight, DT_RIGHT},
        TAgreeCase{"WrappedLeft", "Das Erste HD Tagesschau Sportschau Tatort", tlWordBreak, DT_WORDBREAK},
        TAgreeCase{"ExpandedTabs", "a\tb\tc", tlExpandTabs | tlSingleLine, DT_EXPANDTABS | DT_SINGLELINE}),
    [](const ::testing::TestParamInfo<TAgreeCase>& info) { return String(info.param.Name); });

TEST_F(TextLayoutTest, DrawsInTheCanvasFontColour) {
  C().Canvas()->GetFont()->SetColor(clRed);
  TRect r = Rect(0, 0, 200, 50);
  TextOutOnCanvas(C().Canvas(), "WWW", r, 0, 0, 0, tlNone);
  EXPECT_GT(C().Count(clRed), 0);
}

TEST_F(TextLayoutTest, ClipsARowToTheRectangle) {
  TRect r = Rect(20, 10, 40, 10 + Row());
  TextOutOnCanvas(C().Canvas(), "WWWWWWWWWW", r, 0, 0, 0, tlSingleLine);
  const TRect ink = C().InkBox();
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 40);
}

TEST_F(TextLayoutTest, NoClipDrawsPastTheRectangle) {
  TRect r = Rect(20, 10, 40, 10 + Row());
  TextOutOnCanvas(C().Canvas(), "WWWWWWWWWW", r, 0, 0, 0, tlSingleLine | tlNoClip);
  EXPECT_GT(C().InkBox().Right, 40);
}

TEST_F(TextLayoutTest, JustifiedRowsFillTheWidth) {
  const Integer width = C().TextWidth("ab cd ef") + 30;
  const TRect firstRow = Rect(0, 0, C().Width(), Row());
  TRect r = Rect(0, 0, width, 100);
  TextOutOnCanvas(C().Canvas(), "ab cd ef ghijklmnopqrstuvw", r, 0, 0, 0, tlHJustify);
  EXPECT_GE(C().InkBox(firstRow).Right, width - 2) << "the first row reaches the right edge";
  C().Clear();
  r = Rect(0, 0, width, 100);
  TextOutOnCanvas(C().Canvas(), "ab cd ef ghijklmnopqrstuvw", r, 0, 0, 0, tlWordBreak);
  EXPECT_LT(C().InkBox(firstRow).Right, width - 10);
}

// The expected picture of ellipsis rows: each row drawn as text, then "..." after the last one.
struct TExpectedRow {
  String Text;
  bool Ellipsis;
};

class TextLayoutEllipsisTest : public TextLayoutTest {
 protected:
  std::vector<uint32_t> Expected(const TRect& ARect, const std::vector<TExpectedRow>& ARows) {
    C().Clear();
    HDC dc = C().DC();
    SetBkMode(dc, TRANSPARENT);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
    Integer y = ARect.Top;
    for (const TExpectedRow& row : ARows) {
      TextOut(dc, ARect.Left, y, row.Text.data(), Integer(row.Text.size()));
      if (row.Ellipsis) TextOut(dc, ARect.Left + C().TextWidth(row.Text), y, "...", 3);
      y += Row();
    }
    RestoreDC(dc, saved);
    auto v = C().Snapshot();
    C().Clear();
    return v;
  }
};

TEST_F(TextLayoutEllipsisTest, RowLimitEndsTheLastRowInAnEllipsis) {
  const TRect box = Rect(5, 5, 200, 100);
  TRect r = box;
  TextOutOnCanvas(C().Canvas(), "one\r\ntwo\r\nthree\r\nfour", r, 0, 0, 2, tlEndEllipsis | tlWholeRowsOnly | tlVCenter);
  EXPECT_EQ(r, box) << "drawing keeps the rectangle";
  const auto ours = C().Snapshot();
  const Integer top = box.Top + (box.Height() - 2 * Row()) / 2;
  EXPECT_SAME_PIXELS(C(), ours, Expected(Rect(box.Left, top, box.Right, box.Bottom), {{"one", false}, {"two", true}}));
}

TEST_F(TextLayoutEllipsisTest, TheLastVisibleRowRunsOnAndEndsInAnEllipsis) {
  const String text = "abc\r\ndefghij klmnopq\r\nrest";
  const TRect box = Rect(5, 5, 5 + C().TextWidth("defghij"), 5 + Row() + Row() / 2);
  TRect r = box;
  TextOutOnCanvas(C().Canvas(), text, r, 0, 0, 0, tlEndEllipsis);
  const auto ours = C().Snapshot();
  const Integer fit = [&] {
    Integer n = 1;
    while (C().TextWidth(text.substr(5, size_t(n + 1))) <= box.Width() - C().TextWidth("...")) ++n;
    return n;
  }();
  EXPECT_SAME_PIXELS(C(), ours, Expected(box, {{"abc", false}, {text.substr(5, size_t(fit)), true}}));
}

TEST_F(TextLayoutEllipsisTest, NoEllipsisWhenTheRestFits) {
  const TRect box = Rect(5, 5, 200, 5 + Row() + Row() / 2);
  TRect r = box;
  TextOutOnCanvas(C().Canvas(), "abc\r\ndef", r, 0, 0, 0, tlEndEllipsis);
  const auto ours = C().Snapshot();
  EXPECT_SAME_PIXELS(C(), ours, Expected(box, {{"abc", false}, {"def", false}}));
}

// ---------------------------------------------------------------------------------------------
// Selection

class TextLayoutSelectionTest : public TextLayoutTest {
 protected:
  static constexpr TColor SelBk = clYellow;
  Integer Draw(Integer ASelStart, Integer ASelLength, TqvTextLayoutFlags AFlags = tlNone) {
    TRect r = Rect(10, 10, 230, 100);
    return DrawTextLayout(C().Canvas(), "abcdef\r\nghij", r, 0, 0, 0, clWhite, SelBk, ASelLength, ASelStart, AFlags);
  }
};

TEST_F(TextLayoutSelectionTest, HighlightsTheSelectedPart) {
  Draw(2, 2);
  const TRect ink = [&] {
    TRect r{1000, 1000, 0, 0};
    for (Integer y = 0; y < C().Height(); ++y)
      for (Integer x = 0; x < C().Width(); ++x)
        if (C().Is(x, y, SelBk)) r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r;
  }();
  EXPECT_EQ(ink.Left, 10 + C().TextWidth("ab"));
  EXPECT_EQ(ink.Right, 10 + C().TextWidth("abcd"));
  EXPECT_EQ(ink.Top, 10);
  EXPECT_EQ(ink.Bottom, 10 + Row());
}

TEST_F(TextLayoutSelectionTest, ASelectionSpansRows) {
  Draw(4, 6);  // "ef", the line end and "gh"
  EXPECT_GT(C().Count(SelBk, Rect(0, 10, 240, 10 + Row())), 0);
  EXPECT_GT(C().Count(SelBk, Rect(0, 10 + Row(), 240, 10 + 2 * Row())), 0);
}

TEST_F(TextLayoutSelectionTest, ASelectionPastTheEndIsShortened) {
  Draw(9, 100);
  EXPECT_GT(C().Count(SelBk), 0);
}

TEST_F(TextLayoutSelectionTest, ASelectionStartingPastTheEndDrawsNoHighlight) {
  Draw(12, 3);
  EXPECT_EQ(C().Count(SelBk), 0);
  Draw(-1, 3);
  EXPECT_EQ(C().Count(SelBk), 0);
}

// ---------------------------------------------------------------------------------------------
// Rows kept between layout and drawing

TEST_F(TextLayoutTest, KeptRowsDrawAChangedTextWithinItsBounds) {
  String text = "hello world\r\nsecond row";
  TRect r = Rect(0, 0, 200, 100);
  TqvTextLayoutParams params = CalcTextLayoutParams(C().Canvas(), tlNone);
  TqvTextRows rows;
  Integer count = 0;
  LayoutTextRows(C().Canvas(), text, r, 0, count, rows, params);
  PlaceTextRows(C().DC(), r, params, count, rows);
  text = "hi";  // the text changes while the rows are kept
  DrawTextRows(C().DC(), text, r, params, false, clBlack, clWhite, 5, 0, count, rows);
  EXPECT_LE(C().InkBox().Right, C().TextWidth("hi") + 1);
}

TEST(TextLayoutRows, MaxWidthLimitsTheCount) {
  TqvTextRows rows(3);
  rows[0].Width = 5;
  rows[1].Width = 9;
  rows[2].Width = 30;
  EXPECT_EQ(GetTextRowsMaxWidth(rows, 2), 9);
  EXPECT_EQ(GetTextRowsMaxWidth(rows, 10), 30);
  EXPECT_EQ(GetTextRowsMaxWidth(rows, 0), 0);
  EXPECT_EQ(GetTextRowsMaxWidth({}, 3), 0);
}

}  // namespace
