// The routines the label and the extended editors share: integer texts and colour texts, text
// flags, the focus rectangle, the colour box, the two-colour frame, the pointed thumbs and the
// parent background, probed pixel by pixel.
#include "editors/qvExtEditUtils.h"

#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/os/Windows.h"
#include "support/EnumNames.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Values and texts

struct TIntegerTextCase {
  const char* Text;
  bool Valid;
};

std::ostream& operator<<(std::ostream& os, const TIntegerTextCase& c) { return os << '"' << c.Text << '"'; }

class IntegerStringTest : public ::testing::TestWithParam<TIntegerTextCase> {};

// Every accepted text also converts: the readers of integer texts rely on that.
TEST_P(IntegerStringTest, AcceptsOnlyIntegersOfThe32BitRange) {
  EXPECT_EQ(IsIntegerString(GetParam().Text), GetParam().Valid);
  if (GetParam().Valid) {
    EXPECT_NO_THROW(ExtractInteger(GetParam().Text, false));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerStringTest,
    ::testing::Values(TIntegerTextCase{" 42 ", true}, TIntegerTextCase{"-7", true}, TIntegerTextCase{"4-2", false},
                      TIntegerTextCase{"", false}, TIntegerTextCase{"   ", false}, TIntegerTextCase{"-", false},
                      TIntegerTextCase{"2147483647", true}, TIntegerTextCase{"2147483648", false},
                      TIntegerTextCase{"-2147483647", true}, TIntegerTextCase{"-2147483648", true},
                      TIntegerTextCase{"-2147483649", false}, TIntegerTextCase{"0000000000000000000042", true},
                      TIntegerTextCase{"99999999999999999999999", false}, TIntegerTextCase{"+5", false},
                      TIntegerTextCase{"1.0", false}, TIntegerTextCase{"--1", false},
                      TIntegerTextCase{"1 2", false}, TIntegerTextCase{"$10", false}));

TEST(ExtractIntegerTest, CollectsDigitsAndMinusSigns) {
  EXPECT_EQ(ExtractInteger("a1b2", false), 12);
  EXPECT_EQ(ExtractInteger("a1b2", true), 0);
  EXPECT_EQ(ExtractInteger("12ab34", true), 12);
  EXPECT_EQ(ExtractInteger("", false), 0);
  EXPECT_EQ(ExtractInteger(" -15 ", false), -15);
}

TEST(ExtractIntegerTest, RaisesForACollectionThatIsNoInteger) {
  EXPECT_THROW(ExtractInteger("4-2", false), EConvertError);
  EXPECT_THROW(ExtractInteger("99999999999", false), EConvertError);
}

struct TColorTextCase {
  const char* Text;
  TColor Color;
  bool Valid;
};

std::ostream& operator<<(std::ostream& os, const TColorTextCase& c) { return os << '"' << c.Text << '"'; }

class ColorTextTest : public ::testing::TestWithParam<TColorTextCase> {};

TEST_P(ColorTextTest, NeverRaises) {
  bool valid = !GetParam().Valid;
  TColor color = clNone;
  ASSERT_NO_THROW(color = StringToColorValue(GetParam().Text, valid));
  EXPECT_EQ(valid, GetParam().Valid);
  EXPECT_EQ(color, GetParam().Color);
}

INSTANTIATE_TEST_SUITE_P(Texts, ColorTextTest,
                         ::testing::Values(TColorTextCase{"clRed", clRed, true}, TColorTextCase{"clBtnFace", clBtnFace, true},
                                           TColorTextCase{"255", 255, true}, TColorTextCase{" 65280 ", 65280, true},
                                           TColorTextCase{"abc", 0, false}, TColorTextCase{"4-2", 0, false},
                                           TColorTextCase{"1-", 0, false}, TColorTextCase{"a1b2", 0, false},
                                           TColorTextCase{"123456789012345", 0, false},
                                           TColorTextCase{"", 0, false}));

TEST(VariantKindsTest, NullOrEmptyAndIntegers) {
  EXPECT_TRUE(IsVarNullOrEmpty(Null()));
  EXPECT_TRUE(IsVarNullOrEmpty(Variant()));
  EXPECT_FALSE(IsVarNullOrEmpty(Variant(0)));
  EXPECT_FALSE(IsVarNullOrEmpty(Variant(String())));
  const Variant integers[] = {Variant(short(1)), Variant(1), Variant(Int64(1)), Variant(Byte(1)), Variant(Word(1)),
                              Variant(Cardinal(1)), Variant(ShortInt(1))};
  for (const Variant& v : integers) EXPECT_TRUE(IsVarInteger(v)) << VarType(v);
  const Variant others[] = {Variant(1.0), Variant(String("1")), Variant(true), Null(), Variant()};
  for (const Variant& v : others) EXPECT_FALSE(IsVarInteger(v)) << VarType(v);
}

// ---------------------------------------------------------------------------------------------
// Text flags and rectangles

struct TFlagsCase {
  UINT Base;
  TAlignment Horz;
  TqvEditVertAlignment Vert;
  bool EndEllipsis, WordBreak;
  Integer ExpandTabs;
  UINT Expected;
};

class DrawTextFlagsTest : public ::testing::TestWithParam<TFlagsCase> {};

TEST_P(DrawTextFlagsTest, OrsTheFlagsOntoTheBase) {
  const TFlagsCase& c = GetParam();
  EXPECT_EQ(MakeDrawTextFlags(c.Base, c.Horz, c.Vert, c.EndEllipsis, c.WordBreak, c.ExpandTabs), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawTextFlagsTest,
    ::testing::Values(TFlagsCase{DT_CALCRECT, taCenter, taVCenter, true, false, 0, 0x8405},
                      TFlagsCase{0, taLeftJustify, taTopJustify, false, false, 0, 0},
                      TFlagsCase{0, taRightJustify, taBottomJustify, false, true, 0, 0x0A | 0x10},
                      TFlagsCase{0, taLeftJustify, taTopJustify, false, false, 4, 0xC0},
                      TFlagsCase{DT_SINGLELINE, taLeftJustify, taTopJustify, false, false, -1, DT_SINGLELINE}));

TEST(ExtendRectTest, MovesEachSide) {
  TRect r = Rect(10, 10, 20, 20);
  EXPECT_EQ(ExtendRect(r, -1, -2, 3, 4), Rect(9, 8, 23, 24));
  EXPECT_EQ(r, Rect(9, 8, 23, 24));
}

TEST(StandaloneFocusRectTest, GrowsTheTextRectOnlyForAFocusedStandaloneEditor) {
  TqvCustomEditViewInfo info;
  const TRect text = Rect(5, 5, 50, 20), kept = Rect(1, 2, 3, 4);
  struct {
    bool Inplace, Focused;
    const char* Text;
    TRect Expected;
  } cases[] = {{false, true, "abc", Rect(4, 4, 51, 21)},
               {false, true, "", TRect{}},
               {false, false, "abc", kept},
               {true, true, "abc", kept}};
  for (const auto& c : cases) {
    info.IsInplace = c.Inplace;
    info.Focused = c.Focused;
    TRect focus = kept;
    CalculateStandaloneFocusRect(&info, c.Text, text, focus);
    EXPECT_EQ(focus, c.Expected) << c.Inplace << c.Focused << c.Text;
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing

class ExtEditPaintTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(40, 40);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

TEST_F(ExtEditPaintTest, ColorBoxOfNoSizeDrawsNothing) {
  DrawColorBox(C().Canvas(), Rect(5, 5, 5, 20), clRed, cbkColor, clBlue, clLime);
  DrawColorBox(C().Canvas(), Rect(5, 5, 20, 4), clRed, cbkColor, clBlue, clLime);
  EXPECT_TRUE(C().InkBox().IsEmpty());
}

TEST_F(ExtEditPaintTest, ColorBoxFramesAndFillsByKind) {
  struct {
    Byte Kind;
    TColor Inside;
  } cases[] = {{cbkEmpty, clBlue}, {cbkColor, clLime}, {3, clLime}, {4, clLime}, {cbkFramesOnly, TEditorsCanvas::Paper}};
  for (const auto& c : cases) {
    C().Clear();
    DrawColorBox(C().Canvas(), Rect(2, 2, 12, 10), clRed, c.Kind, clBlue, clLime);
    EXPECT_TRUE(C().Is(2, 2, clBlue)) << int(c.Kind);
    EXPECT_TRUE(C().Is(11, 9, clBlue)) << int(c.Kind);
    EXPECT_TRUE(C().Is(3, 3, clRed)) << int(c.Kind);
    EXPECT_TRUE(C().Is(10, 8, clRed)) << int(c.Kind);
    EXPECT_EQ(C().Count(c.Inside, Rect(4, 4, 10, 8)), 24) << int(c.Kind);
    EXPECT_EQ(C().Count(TEditorsCanvas::Paper, Rect(12, 0, 40, 40)), 28 * 40) << int(c.Kind);
  }
}

TEST_F(ExtEditPaintTest, HatchedColorBoxCrossesTheColourInsideTheInnerFrame) {
  DrawColorBox(C().Canvas(), Rect(0, 0, 20, 20), clRed, cbkHatched, clBlue, clLime);
  // The inner frame is drawn again over the hatch's rectangle.
  for (Integer i = 1; i < 19; ++i) {
    EXPECT_TRUE(C().Is(i, 1, clRed)) << i;
    EXPECT_TRUE(C().Is(1, i, clRed)) << i;
    EXPECT_TRUE(C().Is(18, i, clRed)) << i;
  }
  const TRect inside = Rect(2, 2, 18, 18);
  EXPECT_GT(C().Count(clLime, inside), 0);
  EXPECT_GT(C().Count(clBlue, inside), 0);
  EXPECT_EQ(C().Count(clLime, inside) + C().Count(clBlue, inside), 16 * 16);
  EXPECT_EQ(C().Canvas()->GetBrush()->GetStyle(), bsSolid);
}

TEST_F(ExtEditPaintTest, TwoColorFrameCoversBothEndsOfEachSide) {
  TRect inner;
  DrawTwoColorFrame(C().Canvas(), Rect(2, 3, 12, 9), clRed, inner, clBlue);
  EXPECT_EQ(inner, Rect(3, 4, 11, 8));
  for (Integer y = 3; y <= 9; ++y) EXPECT_TRUE(C().Is(2, y, clRed)) << y;
  for (Integer x = 2; x <= 12; ++x) EXPECT_TRUE(C().Is(x, 3, clRed)) << x;
  for (Integer y = 4; y <= 8; ++y) EXPECT_TRUE(C().Is(12, y, clBlue)) << y;
  for (Integer x = 3; x <= 12; ++x) EXPECT_TRUE(C().Is(x, 9, clBlue)) << x;
  EXPECT_EQ(C().InkBox(), Rect(2, 3, 13, 10));
  EXPECT_EQ(C().Count(TEditorsCanvas::Paper, Rect(3, 4, 12, 9)), 9 * 5);
}

struct TThumbCase {
  bool BottomRight;
  bool Vertical;
  TqvLookAndFeelKind Kind;
};

std::ostream& operator<<(std::ostream& os, const TThumbCase& c) {
  return os << (c.BottomRight ? "BottomRight" : "TopLeft") << (c.Vertical ? " vertical " : " horizontal ")
            << NameOf(c.Kind, {QJ_NAMED(lfFlat), QJ_NAMED(lfStandard), QJ_NAMED(lfUltraFlat)});
}

class ThumbPaintTest : public ExtEditPaintTest, public ::testing::WithParamInterface<TThumbCase> {
 protected:
  void Draw(const TRect& R) {
    const TThumbCase& c = GetParam();
    if (c.BottomRight)
      DrawTrackBarThumbBottomRight(C().Canvas(), R, c.Vertical, clLime, c.Kind, 10);
    else
      DrawTrackBarThumbTopLeft(C().Canvas(), R, c.Vertical, clLime, c.Kind, 10);
  }
};

// The thumb stays within its rectangle (the dark edge of a bottom-right thumb runs one pixel
// below it, as the shape says), its face is the colour, and its tip is narrower than its base.
TEST_P(ThumbPaintTest, FillsAPointedShapeInsideItsRectangle) {
  const TThumbCase& c = GetParam();
  const TRect r = c.Vertical ? Rect(10, 10, 30, 20) : Rect(10, 10, 20, 30);
  Draw(r);
  const TRect ink = C().InkBox();
  EXPECT_GE(ink.Left, r.Left);
  EXPECT_GE(ink.Top, r.Top);
  EXPECT_LE(ink.Right, r.Right + 1);
  EXPECT_LE(ink.Bottom, r.Bottom + 2);
  EXPECT_GT(C().Count(clLime), 40);
  // Across the axis, the line near the tip holds fewer face pixels than the line near the base.
  auto faceAcross = [&](Integer at) {
    return c.Vertical ? C().Count(clLime, Rect(at, 0, at + 1, 40)) : C().Count(clLime, Rect(0, at, 40, at + 1));
  };
  const Integer tip = c.Vertical ? (c.BottomRight ? r.Right - 2 : r.Left + 2) : (c.BottomRight ? r.Bottom - 2 : r.Top + 2);
  const Integer base = c.Vertical ? (c.BottomRight ? r.Left + 2 : r.Right - 3) : (c.BottomRight ? r.Top + 2 : r.Bottom - 3);
  EXPECT_LT(faceAcross(tip), faceAcross(base));
}

TEST_F(ExtEditPaintTest, UltraFlatThumbEdgesAreDark) {
  for (bool bottomRight : {false, true}) {
    C().Clear();
    if (bottomRight)
      DrawTrackBarThumbBottomRight(C().Canvas(), Rect(10, 10, 20, 30), false, clLime, lfUltraFlat, 10);
    else
      DrawTrackBarThumbTopLeft(C().Canvas(), Rect(10, 10, 20, 30), false, clLime, lfUltraFlat, 10);
    EXPECT_EQ(C().Count(clWindow), 0) << bottomRight;
    EXPECT_GT(C().Count(clWindowText), 10) << bottomRight;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ThumbPaintTest,
    ::testing::Values(TThumbCase{true, false, lfFlat}, TThumbCase{true, true, lfStandard},
                      TThumbCase{true, false, lfUltraFlat}, TThumbCase{true, true, lfUltraFlat},
                      TThumbCase{false, false, lfStandard}, TThumbCase{false, true, lfFlat},
                      TThumbCase{false, false, lfUltraFlat}, TThumbCase{false, true, lfUltraFlat}));

// ---------------------------------------------------------------------------------------------
// Parent background

class ParentBackgroundTest : public TqvControlsTest {};

// A non-windowed control filled red.
class TRedBlock : public TGraphicControl {
  QJ_INLINE_CLASS(TRedBlock, TGraphicControl)
 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(clRed);
    GetCanvas()->FillRect(GetClientRect());
  }
};

// On a form (which erases its background) and on a panel (which fills it when it paints).
TEST_F(ParentBackgroundTest, PaintsTheParentAndItsGraphicControlsAtTheChildsPlace) {
  for (bool onPanel : {false, true}) {
    TForm* form = NewForm();
    form->SetColor(clYellow);
    TWinControl* parent = form;
    if (onPanel) {
      auto* panel = Add<TPanel>(form, Rect(10, 10, 210, 110));
      panel->SetColor(clAqua);
      panel->SetBevelOuter(bvNone);
      parent = panel;
    }
    auto* block = New<TRedBlock>(parent);
    block->SetBounds(40, 0, 20, 100);
    block->SetParent(parent);
    auto* child = Add<TPanel>(parent, Rect(30, 20, 80, 60));
    Show(form);
    TEditorsCanvas target(50, 40);
    DrawParentBackground(child, target.DC(), true);
    const TColor background = onPanel ? clAqua : clYellow;
    EXPECT_TRUE(target.Is(0, 0, background)) << onPanel;
    EXPECT_TRUE(target.Is(9, 5, background)) << onPanel;
    EXPECT_TRUE(target.Is(10, 5, clRed)) << onPanel;  // the block starts at 40, 10 in the child
    EXPECT_TRUE(target.Is(29, 39, clRed)) << onPanel;
    EXPECT_TRUE(target.Is(30, 5, background)) << onPanel;
    // The DC's origin is restored.
    POINT org{};
    GetWindowOrgEx(target.DC(), &org);
    EXPECT_EQ(org.X, 0);
    EXPECT_EQ(org.Y, 0);
    Free(form);
  }
}

TEST_F(ParentBackgroundTest, DoesNothingWithoutParentOrRequest) {
  TForm* form = NewForm();
  auto* child = Add<TPanel>(form, Rect(30, 20, 80, 60));
  Show(form);
  TEditorsCanvas target(50, 40);
  DrawParentBackground(child, target.DC(), false);
  DrawParentBackground(nullptr, target.DC(), true);
  auto* orphan = New<TPanel>(form);
  DrawParentBackground(orphan, target.DC(), true);
  EXPECT_TRUE(target.InkBox().IsEmpty());
}

}  // namespace
