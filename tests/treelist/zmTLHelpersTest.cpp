// The tree list's helpers: word-wrapped line counts, the value order and the sort-key
// comparisons (a strict weak order: 100,000 mixed values sort the same way every time), the
// selection auto-scroll timer, and pixel probes of the drawing routines.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "platform/os/GdiTestSupport.h"
#include "platform/rtl/Lists.h"
#include "treelist/zmTLHelpers.h"
#include "zmTLTestSupport.h"

namespace {

// ------------------------------------------------------------------ measuring

class zmTLMeasure : public TzmTreeListTest {};

TEST_F(zmTLMeasure, WrappedLinesAreLimitedOnlyWhenAsked) {
  String five = "one\ntwo\nthree\nfour\nfive";
  Integer height = 0;
  Integer unlimited = CalcWrappedLineCount(five, 300, 0, -1, Tree->GetFont(), false, 0, height);
  EXPECT_EQ(unlimited, 5);
  Integer lineHeight = (height - 3) / 5;
  EXPECT_GT(lineHeight, 0);
  Integer lines = CalcWrappedLineCount(five, 300, 0, 2, Tree->GetFont(), false, 0, height);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(height, 2 * lineHeight + 3);
  EXPECT_EQ(CalcWrappedLineCount("", 300, 0, -1, Tree->GetFont(), false, 0, height), 0);
  EXPECT_EQ(CalcWrappedLineCount(five, 300, 0, 0, Tree->GetFont(), false, 0, height), 0);
  Integer narrow = CalcWrappedLineCount("many words in a narrow cell wrap", 60, 0, -1, Tree->GetFont(), false, 0, height);
  EXPECT_GT(narrow, 1);
}

TEST(zmTLSmallHelpers, PointsAndTexts) {
  EXPECT_TRUE(RectIsPoint(Rect(3, 4, 3, 4)));
  EXPECT_FALSE(RectIsPoint(Rect(3, 4, 4, 4)));
  EXPECT_TRUE(SameTextAnsi("Stra\xDF" "e", "STRA\xDF" "E"));
  EXPECT_TRUE(SameTextAnsi("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_FALSE(SameTextAnsi("a", "b"));
  EXPECT_THROW(RaiseTreeListError("bad"), EInvalidzmTreeListOperation);
}

// ------------------------------------------------------------------ the value order

struct TValuePair {
  const char* Name;
  Variant A, B;
  Integer Expected;
};

void PrintTo(const TValuePair& Pair, std::ostream* Out) { *Out << Pair.Name; }

class zmTLCompareVariants : public testing::TestWithParam<TValuePair> {};

TEST_P(zmTLCompareVariants, OrderOfPairs) {
  EXPECT_EQ(CompareVariants(GetParam().A, GetParam().B), GetParam().Expected);
  EXPECT_EQ(CompareVariants(GetParam().B, GetParam().A), -GetParam().Expected) << "antisymmetric";
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Pairs, zmTLCompareVariants,
    testing::Values(TValuePair{"NullFirst", Variant::Null(), Variant(-1e300), -1},
                    TValuePair{"NullEqualsNull", Variant::Null(), Variant::Null(), 0},
                    TValuePair{"NullBeforeEmpty", Variant::Null(), Variant(), -1},
                    TValuePair{"EmptyBeforeNumbers", Variant(), Variant(-5), -1},
                    TValuePair{"IntegersByValue", Variant(3), Variant(12), -1},
                    TValuePair{"AcrossNumberTypes", Variant(5), Variant(4.5), 1},
                    TValuePair{"CurrencyEqualsItsInteger", Variant(Currency{70000}), Variant(7), 0},
                    TValuePair{"LargeIntegersStayApart", Variant(static_cast<Int64>(9007199254740993LL)),
                               Variant(static_cast<Int64>(9007199254740992LL)), 1},
                    TValuePair{"ExactBeforeFloatingOfTheSameValue", Variant(5), Variant(5.0), -1},
                    TValuePair{"FalseBeforeTrue", Variant(false), Variant(true), -1},
                    TValuePair{"NaNAfterNumbers", Variant(kNaN), Variant(1e300), 1},
                    TValuePair{"NaNEqualsNaN", Variant(kNaN), Variant(kNaN), 0},
                    TValuePair{"NumbersBeforeTexts", Variant(99), Variant("1"), -1},
                    TValuePair{"TextsByCollation", Variant("apple"), Variant("Banana"), -1},
                    TValuePair{"TextsWithCase", Variant("a"), Variant("A"), -1},
                    TValuePair{"WideAndNarrowTexts", Variant(u"abc"), Variant("abc"), 0},
                    TValuePair{"ArraysLast", VarArrayOf({1, 2}), Variant("zzz"), 1}),
    [](const testing::TestParamInfo<TValuePair>& info) { return info.param.Name; });

// Random values of every kind, with repeats so that ties occur.
std::vector<Variant> MixedValues(size_t Count, unsigned Seed) {
  std::mt19937 random(Seed);
  std::vector<Variant> values;
  values.reserve(Count);
  const char* words[] = {"", "a", "A", "b", "abc", "Abc", "\xE9t\xE9", "zeta", "10", "9"};
  for (size_t i = 0; i < Count; ++i) {
    int value = static_cast<int>(random() % 40) - 20;
    switch (random() % 11) {
      case 0: values.push_back(Variant::Null()); break;
      case 1: values.emplace_back(); break;
      case 2: values.emplace_back(value); break;
      case 3: values.emplace_back(value / 2.0); break;
      case 4: values.emplace_back(Currency{static_cast<Int64>(value) * 5000}); break;
      case 5: values.emplace_back(value % 2 == 0); break;
      case 6: values.emplace_back(static_cast<Int64>(value) << 40); break;
      case 7: values.push_back(value == 0 ? Variant(kNaN) : Variant(static_cast<float>(value) / 4)); break;
      case 8: values.push_back(Variant::FromDateTime(45000.0 + value)); break;
      case 9: values.emplace_back(String(words[static_cast<size_t>(random() % 10)])); break;
      default: values.push_back(VarArrayOf({value})); break;
    }
  }
  return values;
}

TEST(zmTLValueOrder, IsAStrictWeakOrder) {
  std::vector<Variant> values = MixedValues(160, 7);
  size_t n = values.size();
  std::vector<std::vector<Integer>> c(n, std::vector<Integer>(n));
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) c[i][j] = CompareVariants(values[i], values[j]);
  for (size_t i = 0; i < n; ++i) {
    ASSERT_EQ(c[i][i], 0) << "irreflexive";
    for (size_t j = 0; j < n; ++j) {
      ASSERT_EQ(c[i][j], -c[j][i]) << i << " " << j;
      for (size_t k = 0; k < n; ++k) {
        if (c[i][j] < 0 && c[j][k] < 0) {
          ASSERT_LT(c[i][k], 0) << "transitive " << i << " " << j << " " << k;
        }
        if (c[i][j] == 0 && c[j][k] == 0) {
          ASSERT_EQ(c[i][k], 0) << "equivalence is transitive";
        }
      }
    }
  }
}

TEST(zmTLValueOrder, CaseSensitiveComparisonKeepsTheOrderStrict) {
  std::vector<Variant> values = MixedValues(120, 11);
  for (const Variant& a : values)
    for (const Variant& b : values) {
      Integer r = CompareVariantsCaseSensitive(a, b);
      ASSERT_EQ(r, -CompareVariantsCaseSensitive(b, a));
      if (a.VarType() != varString || b.VarType() != varString) {
        ASSERT_EQ(r, CompareVariants(a, b));
      }
    }
}

// ------------------------------------------------------------------ sort keys

class zmTLSortKeys : public TzmTreeListTest {
 protected:
  std::vector<TNodeVariant> Keys(const std::vector<Variant>& Values) {
    std::vector<TNodeVariant> keys(Values.size());
    Tree->BeginUpdate();
    for (size_t i = 0; i < Values.size(); ++i) {
      keys[i].Node = Tree->AddNode(nullptr);
      keys[i].Value = Values[i];
    }
    Tree->EndUpdate();
    return keys;
  }
  // The nodes in the order the platform's list sort gives them.
  std::vector<TzmTreeListNode*> ListSorted(std::vector<TNodeVariant*> Order) {
    TList list;
    for (TNodeVariant* key : Order) list.Add(key);
    TCustomzmTreeList* control = Tree;
    list.Sort([control](void* A, void* B) {
      return CompareSortKeys(control, static_cast<TNodeVariant*>(A), static_cast<TNodeVariant*>(B));
    });
    std::vector<TzmTreeListNode*> nodes;
    for (Integer i = 0; i < list.GetCount(); ++i) nodes.push_back(static_cast<TNodeVariant*>(list[i])->Node);
    return nodes;
  }
};

TEST_F(zmTLSortKeys, AHundredThousandMixedValuesSortTheSameWayEveryTime) {
  std::vector<TNodeVariant> keys = Keys(MixedValues(100000, 3));
  std::vector<TNodeVariant*> order;
  for (TNodeVariant& key : keys) order.push_back(&key);
  std::vector<TzmTreeListNode*> first = ListSorted(order);
  std::shuffle(order.begin(), order.end(), std::mt19937(99));
  std::vector<TzmTreeListNode*> second = ListSorted(order);
  EXPECT_EQ(first, second) << "the identity breaks every tie the same way";
  TCustomzmTreeList* control = Tree;
  std::sort(order.begin(), order.end(), [control](const TNodeVariant* A, const TNodeVariant* B) {
    return CompareSortKeys(control, A, B) < 0;
  });
  std::vector<TzmTreeListNode*> third;
  for (TNodeVariant* key : order) third.push_back(key->Node);
  EXPECT_EQ(first, third) << "the standard sort agrees: the comparison is a strict weak order";
  for (size_t i = 1; i < order.size(); ++i) ASSERT_LT(CompareSortKeys(control, order[i - 1], order[i]), 0);
}

TEST_F(zmTLSortKeys, ChainsDescendingKeysAndTies) {
  std::vector<TNodeVariant> keys = Keys({Variant(1), Variant(1), Variant(2)});
  TNodeVariant second[3];
  for (int i = 0; i < 3; ++i) {
    second[i].Node = keys[static_cast<size_t>(i)].Node;
    keys[static_cast<size_t>(i)].Next = &second[i];
  }
  second[0].Value = "b";
  second[1].Value = "a";
  second[2].Value = "a";
  EXPECT_GT(CompareSortKeys(Tree, &keys[0], &keys[1]), 0) << "equal first keys: the second decides";
  second[0].Descending = second[1].Descending = true;
  EXPECT_LT(CompareSortKeys(Tree, &keys[0], &keys[1]), 0) << "descending";
  EXPECT_LT(CompareSortKeys(Tree, &keys[1], &keys[2]), 0) << "the first key decides";
  second[0].Value = "a";
  EXPECT_LT(CompareSortKeys(Tree, &keys[0], &keys[1]), 0) << "all keys equal: the node made first";
  EXPECT_GT(CompareSortKeys(Tree, &keys[1], &keys[0]), 0);
  EXPECT_EQ(CompareKeyChain(&keys[0], &keys[1]), 0);
}

TEST_F(zmTLSortKeys, TheEventDecidesAndIdentityBreaksItsTies) {
  std::vector<TNodeVariant> keys = Keys({Variant(1), Variant(2)});
  EXPECT_LT(CompareSortKeysByEvent(Tree, &keys[0], &keys[1]), 0) << "no event: identity";
  Tree->OnCompareNodes = [](TObject*, TzmTreeListNode*, TzmTreeListNode*, Integer& Compare) { Compare = 42; };
  EXPECT_EQ(CompareSortKeysByEvent(Tree, &keys[0], &keys[1]), 1);
  EXPECT_EQ(CompareSortKeysByEvent(Tree, &keys[1], &keys[0]), 1) << "the event is trusted as it answers";
  Tree->OnCompareNodes = [](TObject*, TzmTreeListNode*, TzmTreeListNode*, Integer&) {};
  EXPECT_GT(CompareSortKeysByEvent(Tree, &keys[1], &keys[0]), 0);
}

TEST_F(zmTLSortKeys, ReferencesAndSortedOrders) {
  int values[2] = {};
  EXPECT_EQ(CompareFirstValues(&values[0], &values[1]), -1);
  EXPECT_EQ(CompareFirstValues(&values[1], &values[0]), 1);
  EXPECT_EQ(CompareFirstValues(&values[1], &values[1]), 0);
  TzmTreeListColumn* a = Column();
  TzmTreeListColumn* b = Column();
  a->SetSortedOrder(std::numeric_limits<Integer>::min());
  b->SetSortedOrder(std::numeric_limits<Integer>::max());
  EXPECT_EQ(CompareSortedOrder(a, b), -1) << "no overflow";
  EXPECT_EQ(CompareSortedOrder(b, a), 1);
}

// ------------------------------------------------------------------ drawing

class zmTLDraw : public TzmTreeListTest {
 protected:
  static COLORREF Sys(int Index) { return GetSysColor(Index); }
};

TEST_F(zmTLDraw, TheStandardExpandButtonIsANineByNineBoxWithItsSign) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(20, 20);
  bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, 20, 20));
  DrawExpandButton(bitmap->GetCanvas(), Rect(0, 0, 19, 20), 10, true);
  TCanvas* c = bitmap->GetCanvas();
  // Box (5, 6)..(13, 14): frame, horizontal bar at row 10, vertical bar at column 9.
  EXPECT_EQ(ColorToRGB(c->GetPixel(5, 6)), Sys(COLOR_GRAYTEXT));
  EXPECT_EQ(ColorToRGB(c->GetPixel(13, 14)), Sys(COLOR_GRAYTEXT));
  EXPECT_EQ(ColorToRGB(c->GetPixel(7, 10)), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(c->GetPixel(9, 8)), Sys(COLOR_WINDOWTEXT)) << "the plus";
  EXPECT_EQ(ColorToRGB(c->GetPixel(6, 7)), RGB(255, 255, 255));
  DrawExpandButton(bitmap->GetCanvas(), Rect(0, 0, 19, 20), 10, false);
  EXPECT_EQ(ColorToRGB(c->GetPixel(9, 8)), Sys(COLOR_WINDOWTEXT)) << "drawn over; a fresh minus box below";
}

TEST_F(zmTLDraw, FlatExpandButtons) {
  TPixelCanvas canvas(20, 20);
  DrawFlatExpandButton(canvas.DC(), Rect(0, 0, 20, 20), false);
  // 11 x 11 box at (4, 4).
  EXPECT_EQ(canvas.At(4, 4), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(canvas.At(14, 14), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(canvas.At(8, 9), Sys(COLOR_WINDOWFRAME)) << "the minus";
  EXPECT_NE(canvas.At(9, 8), Sys(COLOR_WINDOWFRAME)) << "no plus";
  DrawFlatExpandButton(canvas.DC(), Rect(0, 0, 20, 20), true);
  EXPECT_EQ(canvas.At(9, 8), Sys(COLOR_WINDOWFRAME));
}

TEST_F(zmTLDraw, AnInvertedFrameIsRemovedByASecondOne) {
  TPixelCanvas canvas(30, 20, RGB(10, 200, 30));
  std::vector<uint32_t> before = canvas.Snapshot();
  InvertFrame(canvas.DC(), Rect(2, 3, 25, 15));
  EXPECT_NE(canvas.At(2, 3), RGB(10, 200, 30));
  EXPECT_NE(canvas.At(24, 14), RGB(10, 200, 30));
  EXPECT_EQ(canvas.At(10, 8), RGB(10, 200, 30)) << "only the frame";
  InvertFrame(canvas.DC(), Rect(2, 3, 25, 15));
  EXPECT_EQ(canvas.Snapshot(), before);
}

TEST_F(zmTLDraw, ImagesOutOfRangeDrawNothing) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(20, 20);
  bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, 20, 20));
  DrawImageCentered(bitmap->GetCanvas(), Rect(0, 0, 20, 20), IndicatorImages(), 99);
  DrawImageCentered(bitmap->GetCanvas(), Rect(0, 0, 20, 20), nullptr, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(ColorToRGB(bitmap->GetCanvas()->GetPixel(x, y)), RGB(255, 255, 255));
  DrawImageCentered(bitmap->GetCanvas(), Rect(0, 0, 20, 20), IndicatorImages(), zigArrow);
  bool inked = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) inked = inked || ColorToRGB(bitmap->GetCanvas()->GetPixel(x, y)) != RGB(255, 255, 255);
  EXPECT_TRUE(inked);
}

struct TFaceCase {
  const char* Name;
  bool Pressed;
  Integer Kind;
  TzmTreeListFrameLook Look;
  TRect Content;  // of the face (0, 0, 40, 20)
};

void PrintTo(const TFaceCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLButtonFace : public testing::TestWithParam<TFaceCase> {};

TEST_P(zmTLButtonFace, LeavesTheContentArea) {
  TPixelCanvas canvas(40, 20);
  TRect r = Rect(0, 0, 40, 20);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 200));
  DrawButtonFace(canvas.DC(), r, brush, GetParam().Pressed, GetParam().Kind, GetParam().Look);
  DeleteObject(brush);
  EXPECT_EQ(r, GetParam().Content);
  EXPECT_EQ(canvas.At(20, 10), RGB(0, 0, 200)) << "filled with the brush";
}

INSTANTIATE_TEST_SUITE_P(Looks, zmTLButtonFace,
                         testing::Values(TFaceCase{"Standard", false, 0, zmflStandard, Rect(1, 1, 38, 18)},
                                         TFaceCase{"StandardPressed", true, 0, zmflStandard, Rect(1, 1, 39, 19)},
                                         TFaceCase{"Flat", false, 0, zmflFlat, Rect(2, 1, 38, 19)},
                                         TFaceCase{"UltraFlat", false, 0, zmflUltraFlat, Rect(2, 1, 38, 19)},
                                         TFaceCase{"FlatInARowOfHeaders", false, 1, zmflFlat, Rect(2, 1, 38, 19)}),
                         [](const testing::TestParamInfo<TFaceCase>& info) { return info.param.Name; });

TEST_F(zmTLDraw, PressedFlatButtonsAreInverted) {
  TPixelCanvas plain(40, 20), inverted(40, 20);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 200));
  TRect a = Rect(0, 0, 40, 20), b = a;
  DrawButtonFace(plain.DC(), a, brush, true, 0, zmflFlat);
  DrawButtonFaceInverted(inverted.DC(), b, brush, true, 0, zmflFlat);
  DeleteObject(brush);
  EXPECT_EQ(inverted.At(20, 10), RGB(255, 255, 55));
  EXPECT_EQ(a, b);
}

// Draws a header button of the width into a fresh canvas; the pixels.
std::vector<uint32_t> Header(Integer Width, Byte DropDown, TzmTreeListColumnSort Sort) {
  TPixelCanvas canvas(40, 20);
  HBRUSH brush = CreateSolidBrush(RGB(200, 200, 200));
  TzmHeaderButtonContent content;
  content.DropDownState = DropDown;
  content.SortState = Sort;
  DrawHeaderButton(canvas.DC(), Rect(0, 0, Width, 20), brush, content);
  DeleteObject(brush);
  return canvas.Snapshot();
}

TEST_F(zmTLDraw, NarrowHeadersLeaveOutTheDropDownButtonAndTheSortArrow) {
  using TSort = TzmTreeListColumnSort;
  // The content is the header less 2 pixels: a drop-down zone needs more than 14, an arrow more
  // than 15.
  EXPECT_EQ(Header(16, zmhbShown, TSort::csNone), Header(16, 0, TSort::csNone));
  EXPECT_NE(Header(17, zmhbShown, TSort::csNone), Header(17, 0, TSort::csNone));
  EXPECT_EQ(Header(17, 0, TSort::csUp), Header(17, 0, TSort::csNone));
  EXPECT_NE(Header(18, 0, TSort::csUp), Header(18, 0, TSort::csNone));
  EXPECT_NE(Header(30, 0, TSort::csUp), Header(30, 0, TSort::csDown));
}

TEST_F(zmTLDraw, CellTextTakesTheFastPathOnlyForASingleLineWithoutEllipsis) {
  TPixelCanvas canvas(60, 20);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SetBkColor(canvas.DC(), RGB(255, 0, 0));
  TzmCellTextOptions options;
  DrawCellTextFast(canvas.DC(), Rect(0, 0, 60, 20), brush, clRed, nullptr, "ab", 2, options);
  EXPECT_EQ(canvas.At(50, 10), RGB(255, 0, 0)) << "the clipped output fills with the background colour";
  EXPECT_EQ(canvas.At(59, 10), RGB(0, 0, 255)) << "the right strip with the brush";
  canvas.Clear(RGB(255, 255, 255));
  options.EndEllipsis = true;
  DrawCellTextFast(canvas.DC(), Rect(0, 0, 60, 20), brush, clRed, nullptr, "ab", 2, options);
  EXPECT_EQ(canvas.At(50, 10), RGB(0, 0, 255)) << "the formatted path fills the cell with the brush";
  canvas.Clear(RGB(255, 255, 255));
  options.EndEllipsis = false;
  options.MultiLine = true;
  auto buffer = std::make_unique<TBitmap>();
  options.Buffered = true;
  DrawCellTextFast(canvas.DC(), Rect(5, 2, 60, 20), brush, clRed, buffer.get(), "ab\ncd", 99, options);
  EXPECT_EQ(canvas.At(50, 10), RGB(0, 0, 255)) << "through the buffer";
  EXPECT_EQ(canvas.At(2, 10), RGB(255, 255, 255)) << "only the cell";
  EXPECT_GE(buffer->GetWidth(), 55);
  DeleteObject(brush);
}

TEST_F(zmTLDraw, OpaqueTextDrawsNothingButTheText) {
  TPixelCanvas canvas(60, 20, RGB(0, 255, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SetBkColor(canvas.DC(), RGB(255, 0, 0));
  TzmCellTextOptions options;
  options.Opaque = true;
  DrawCellTextFast(canvas.DC(), Rect(0, 0, 60, 20), brush, clRed, nullptr, "ab", 2, options);
  EXPECT_EQ(canvas.At(59, 10), RGB(0, 255, 0)) << "no strips";
  EXPECT_EQ(canvas.At(50, 10), RGB(0, 255, 0)) << "no fill beyond the glyphs";
  EXPECT_GT(canvas.Count(RGB(255, 0, 0)), 0) << "the glyphs' background";
  DeleteObject(brush);
}

TEST_F(zmTLDraw, TheFocusRectangleLooksTheSameOnEveryBackgroundAndKeepsTheColours) {
  TPixelCanvas canvas(20, 20, RGB(255, 255, 255));
  SetBkColor(canvas.DC(), RGB(1, 2, 3));
  SetTextColor(canvas.DC(), RGB(4, 5, 6));
  DrawFocusRectangle(canvas.DC(), Rect(2, 2, 18, 18));
  EXPECT_GT(canvas.Count(RGB(0, 0, 0)), 0);
  EXPECT_EQ(GetBkColor(canvas.DC()), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(canvas.DC()), RGB(4, 5, 6));
}

TEST_F(zmTLDraw, IndicatorCellsShowTheirGlyphInTheVisiblePart) {
  TPixelCanvas canvas(40, 20, RGB(0, 255, 0));
  HBRUSH brush = CreateSolidBrush(RGB(200, 200, 200));
  auto buffer = std::make_unique<TBitmap>();
  DrawIndicatorCell(canvas.DC(), Rect(0, 0, 12, 18), Rect(0, 0, 6, 18), brush, buffer.get(), zigArrow + 1, zmflUltraFlat);
  EXPECT_EQ(canvas.At(8, 9), RGB(0, 255, 0)) << "outside the visible part";
  EXPECT_NE(canvas.At(2, 9), RGB(0, 255, 0));
  DeleteObject(brush);
}

TEST_F(zmTLDraw, PreviewTextIsIndentedAndKeepsTheDC) {
  TPixelCanvas canvas(120, 30);
  HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
  HGDIOBJ font = GetCurrentObject(canvas.DC(), OBJ_FONT);
  DrawPreviewTextRect(canvas.DC(), Rect(0, 0, 120, 30), brush, Tree->GetPreviewTextFont(), clBlue, "preview", 20);
  RECT ink = canvas.InkBox(RGB(255, 255, 255));
  EXPECT_GE(ink.Left, 21) << "indented";
  EXPECT_EQ(GetCurrentObject(canvas.DC(), OBJ_FONT), font);
  DeleteObject(brush);
}

}  // namespace
