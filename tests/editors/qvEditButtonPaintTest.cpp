// Edit buttons: widths, theme parts, the faces of the six button styles in every state, their
// contents, and the button view info's copy and repaint rules.
#include "editors/qvEditPaintUtils.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/os/Windows.h"

namespace {

class EditButtonPaintTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(64, 40);
    B.Bounds = Rect(10, 10, 27, 30);
    B.BackgroundColor = clWindow;
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }
  void Draw(TqvEditButtonStyle AStyle, TqvEditButtonState AState, bool AViewInfoTransparent = false) {
    B.Style = AStyle;
    B.State = AState;
    C().Clear();
    DrawEditButtonBorder(C().Canvas(), &B, B.Bounds, AStyle, AViewInfoTransparent);
  }
  TRect InkOf(TColor AColor) {
    TRect r{1000, 1000, 0, 0};
    for (Integer y = 0; y < C().Height(); ++y)
      for (Integer x = 0; x < C().Width(); ++x)
        if (C().Is(x, y, AColor)) r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.Right == 0 ? TRect{} : r;
  }

  TqvEditButtonViewInfo B;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// Faces: a table of probes per style and state (the button covers (10, 10, 27, 30))

struct TProbe {
  Integer X, Y;
  TColor Color;
};

struct TFaceCase {
  const char* Name;
  TqvEditButtonStyle Style;
  TqvEditButtonState State;
  bool LeftAlignment;
  bool FirstInGroup;
  bool LastInGroup;
  bool Transparent;
  bool Inplace;
  std::vector<TProbe> Probes;
  friend void PrintTo(const TFaceCase& c, std::ostream* os) { *os << c.Name; }
};

class EditButtonFaceTest : public EditButtonPaintTest, public ::testing::WithParamInterface<TFaceCase> {};

TEST_P(EditButtonFaceTest, PaintsTheFace) {
  const TFaceCase& c = GetParam();
  B.LeftAlignment = c.LeftAlignment;
  B.FirstInGroup = c.FirstInGroup;
  B.LastInGroup = c.LastInGroup;
  B.Transparent = c.Transparent;
  B.IsInplace = c.Inplace;
  B.BackgroundColor = clYellow;
  Draw(c.Style, c.State);
  for (const TProbe& p : c.Probes)
    EXPECT_TRUE(C().Is(p.X, p.Y, p.Color)) << "(" << p.X << "," << p.Y << ") is " << std::hex << C().PixelRGB(p.X, p.Y);
}

const TColor Face = clBtnFace, Text = clBtnText, Shadow = clBtnShadow, Light = clBtnHighlight, Back = clYellow;

INSTANTIATE_TEST_SUITE_P(
    Cases, EditButtonFaceTest,
    ::testing::Values(
        TFaceCase{"ThreeDNormal", bts3D, ebbsNormal, false, true, true, false, false,
                  {{10, 10, cl3DLight}, {26, 29, cl3DDkShadow}, {11, 11, Light}, {25, 28, Shadow}, {13, 13, Face}}},
        TFaceCase{"ThreeDPressed", bts3D, ebbsPressed, false, true, true, false, false,
                  {{10, 10, Shadow}, {26, 29, Shadow}, {11, 11, Face}, {25, 28, Face}}},
        TFaceCase{"ThreeDTransparentTakesTheBackground", bts3D, ebbsNormal, false, true, true, true, false,
                  {{13, 13, Back}}},
        TFaceCase{"ThreeDDisabledIgnoresTransparency", bts3D, ebbsDisabled, false, true, true, true, false,
                  {{13, 13, Face}}},
        TFaceCase{"FlatNormal", btsFlat, ebbsNormal, false, true, true, false, false,
                  {{10, 10, Face}, {10, 29, Face}, {11, 10, Light}, {26, 29, Shadow}, {13, 13, Face}}},
        TFaceCase{"FlatPressed", btsFlat, ebbsPressed, false, true, true, false, false,
                  {{11, 10, Shadow}, {26, 29, Light}}},
        TFaceCase{"SimpleNormal", btsSimple, ebbsNormal, false, true, true, false, false,
                  {{10, 10, Back}, {26, 29, Back}, {11, 15, Back}, {13, 13, Face}}},
        TFaceCase{"SimpleTransparent", btsSimple, ebbsNormal, false, true, true, true, false,
                  {{10, 10, Back}, {13, 13, Back}}},
        TFaceCase{"SimpleDisabled", btsSimple, ebbsDisabled, false, true, true, false, false,
                  {{10, 10, Face}, {11, 15, Face}}},
        TFaceCase{"HotFlatFacingTheTextIsFramed", btsHotFlat, ebbsNormal, false, true, true, false, false,
                  {{10, 10, Shadow}, {10, 20, Shadow}, {26, 20, Shadow}, {11, 11, Face}}},
        TFaceCase{"HotFlatNeighbourSharesItsLeftSide", btsHotFlat, ebbsNormal, false, false, true, false, false,
                  {{10, 10, Shadow}, {10, 12, Face}, {26, 20, Shadow}}},
        TFaceCase{"HotFlatLeftNeighbourSharesItsRightSide", btsHotFlat, ebbsNormal, true, true, false, false, false,
                  {{10, 20, Shadow}, {26, 12, Face}}},
        TFaceCase{"HotFlatHot", btsHotFlat, ebbsHot, false, true, true, false, false, {{11, 11, Shadow}}},
        TFaceCase{"HotFlatPressed", btsHotFlat, ebbsPressed, false, true, true, false, false, {{11, 11, Text}}},
        TFaceCase{"HotFlatTransparent", btsHotFlat, ebbsHot, false, true, true, true, false, {{11, 11, Back}}},
        TFaceCase{"UltraFlatNormal", btsUltraFlat, ebbsNormal, false, true, true, false, false,
                  {{10, 10, Back}, {26, 29, Back}, {11, 11, Face}}},
        TFaceCase{"UltraFlatHotOutermost", btsUltraFlat, ebbsHot, false, true, true, false, false,
                  {{10, 20, clHighlight}, {26, 20, GetUltraFlatHotColor()}, {15, 10, GetUltraFlatHotColor()},
                   {11, 11, GetUltraFlatHotColor()}}},
        TFaceCase{"UltraFlatPressedInner", btsUltraFlat, ebbsPressed, false, true, false, false, false,
                  {{10, 20, clHighlight}, {26, 20, clHighlight}, {11, 11, GetUltraFlatPressedColor()}}},
        TFaceCase{"UltraFlatLeftHotOutermost", btsUltraFlat, ebbsHot, true, true, true, false, false,
                  {{10, 20, GetUltraFlatHotColor()}, {26, 20, clHighlight}}},
        TFaceCase{"UltraFlatHotInPlace", btsUltraFlat, ebbsHot, false, true, true, false, true,
                  {{10, 10, clHighlight}, {26, 29, clHighlight}, {11, 11, GetUltraFlatHotColor()}}},
        TFaceCase{"UltraFlatDisabled", btsUltraFlat, ebbsDisabled, false, true, true, true, false,
                  {{10, 10, Back}, {11, 11, Face}}}),
    [](const ::testing::TestParamInfo<TFaceCase>& info) { return String(info.param.Name); });

TEST_F(EditButtonPaintTest, ADefaultStyleDrawsNothing) {
  Draw(btsDefault, ebbsNormal);
  EXPECT_EQ(C().InkBox(), TRect{});
}

TEST_F(EditButtonPaintTest, ASimpleFaceInATransparentCellHasNoFrame) {
  B.BackgroundColor = clYellow;
  Draw(btsSimple, ebbsNormal, true);
  EXPECT_TRUE(C().Is(10, 10, TEditorsCanvas::Paper));
  EXPECT_TRUE(C().Is(11, 15, clBtnFace)) << "the line beside the text";
}

TEST_F(EditButtonPaintTest, AdjacentHotFlatButtonsShareOneLine) {
  TqvEditButtonViewInfo outer;
  outer.BackgroundColor = B.BackgroundColor;
  B.Bounds = Rect(10, 10, 27, 30);
  B.FirstInGroup = true;
  outer.Bounds = Rect(27, 10, 44, 30);
  outer.LastInGroup = true;
  B.Style = outer.Style = btsHotFlat;
  DrawEditButtonBorder(C().Canvas(), &B, B.Bounds, btsHotFlat, false);
  DrawEditButtonBorder(C().Canvas(), &outer, outer.Bounds, btsHotFlat, false);
  Integer shadowColumns = 0;
  for (Integer x = 11; x < 43; ++x) shadowColumns += C().Is(x, 20, clBtnShadow) ? 1 : 0;
  EXPECT_EQ(shadowColumns, 1) << "one line between the two faces";
  EXPECT_TRUE(C().Is(26, 20, clBtnShadow));
  EXPECT_TRUE(C().Is(43, 20, clBtnShadow));
}

// ---------------------------------------------------------------------------------------------
// Contents

TEST_F(EditButtonPaintTest, EllipsisDotsGrowInWideButtons) {
  B.Kind = bkEllipsis;
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(10, 10, 22, 30));
  EXPECT_EQ(C().Count(clRed), 3 * 4);
  EXPECT_EQ(InkOf(clRed).Width(), 3 * 2 + 4);
  C().Clear();
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(10, 10, 21, 30));
  EXPECT_EQ(C().Count(clRed), 3);
  EXPECT_EQ(InkOf(clRed).Width(), 3 + 4);
}

TEST_F(EditButtonPaintTest, DisabledDotsAreEmbossed) {
  B.Kind = bkEllipsis;
  B.State = ebbsDisabled;
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(10, 10, 22, 30));
  EXPECT_EQ(C().Count(clRed), 0);
  EXPECT_EQ(C().Count(clBtnShadow), 12);
  const TRect shadow = InkOf(clBtnShadow), light = InkOf(clBtnHighlight);
  EXPECT_EQ(light.Left, shadow.Left + 1);
  EXPECT_EQ(light.Top, shadow.Top + 1);
}

TEST_F(EditButtonPaintTest, APressedDownArrowMovesRightAndDown) {
  B.Bounds = Rect(10, 10, 25, 30);
  B.Kind = bkDown;
  const TRect content = Rect(12, 12, 23, 28);
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, content);
  const TRect normal = InkOf(clRed);
  ASSERT_NE(normal, TRect{});
  C().Clear();
  B.State = ebbsPressed;
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, content);
  EXPECT_EQ(InkOf(clRed), qvOffsetRect(normal, 1, 1));
}

// Every face gives the arrow the whole button's width, so it is as large in every style.
TEST_F(EditButtonPaintTest, TheArrowHasTheWholeButtonsSize) {
  B.Bounds = Rect(10, 10, 27, 30);
  B.Kind = bkDown;
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(10, 12, 27, 28));
  const TRect whole = InkOf(clRed);
  C().Clear();
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(13, 12, 24, 28));
  EXPECT_EQ(InkOf(clRed), whole);
}

TEST_F(EditButtonPaintTest, ADisabledArrowIsEmbossed) {
  B.Kind = bkDown;
  B.State = ebbsDisabled;
  DrawEditButtonContent(C().Canvas(), &B, clBtnFace, clRed, Rect(12, 12, 25, 28));
  EXPECT_EQ(C().Count(clRed), 0);
  const TRect shadow = InkOf(clBtnShadow), light = InkOf(clBtnHighlight);
  EXPECT_EQ(light.Right, shadow.Right + 1);
  EXPECT_EQ(light.Bottom, shadow.Bottom + 1);
}

TEST_F(EditButtonPaintTest, AGlyphIsCentredOverItsBackground) {
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(8, 8);
  glyph->GetCanvas()->GetBrush()->SetColor(clLime);
  glyph->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  glyph->GetCanvas()->GetBrush()->SetColor(clRed);
  glyph->GetCanvas()->FillRect(Rect(1, 1, 7, 7));
  B.Kind = bkGlyph;
  B.Glyph = glyph.get();
  DrawEditButtonContent(C().Canvas(), &B, clBlue, clBtnText, Rect(10, 10, 26, 26));
  EXPECT_EQ(InkOf(clRed), Rect(15, 15, 21, 21));
  EXPECT_EQ(C().Count(clBlue), 16 * 16 - 36);
  C().Clear();
  B.State = ebbsDisabled;
  DrawEditButtonContent(C().Canvas(), &B, clBlue, clBtnText, Rect(10, 10, 26, 26));
  EXPECT_EQ(C().Count(clRed), 0);
  EXPECT_GT(C().Count(clBlue), 16 * 16 - 64);
}

TEST_F(EditButtonPaintTest, AGlyphKindWithoutAGlyphIsAPlainFace) {
  B.Kind = bkGlyph;
  DrawEditButtonContent(C().Canvas(), &B, clBlue, clRed, Rect(10, 10, 26, 26));
  EXPECT_EQ(C().Count(clBlue), 256);
}

TEST_F(EditButtonPaintTest, NothingForAnEmptyRectangle) {
  DrawEditButtonContent(C().Canvas(), &B, clBlue, clRed, Rect(10, 10, 10, 26));
  EXPECT_EQ(C().InkBox(), TRect{});
}

// ---------------------------------------------------------------------------------------------
// Themed buttons

TEST_F(EditButtonPaintTest, ThemedButtonsTakeTheirPartAndState) {
  const std::pair<TqvEditButtonState, Integer> states[] = {
      {ebbsDisabled, 4}, {ebbsNormal, 1}, {ebbsPressed, 3}, {ebbsHot, 2}};
  for (auto [state, themeState] : states) {
    B.NativeStyle = true;
    B.State = state;
    CalculateEditButtonNativeInfo(&B);
    EXPECT_EQ(B.NativePart, 1);
    EXPECT_EQ(B.NativeState, themeState);
  }
  ThemeEngine::SetEnabled(false);
  CalculateEditButtonNativeInfo(&B);
  EXPECT_EQ(B.NativePart, 0);
  EXPECT_EQ(B.NativeState, 0);
  EXPECT_FALSE(B.NativeTransparent);
}

TEST_F(EditButtonPaintTest, ThemedFacesDrawTheThemeOverTheBounds) {
  for (bool dropDown : {false, true}) {
    B.NativeStyle = true;
    B.IsSingleDropDown = dropDown;
    B.Kind = bkDown;
    B.State = ebbsHot;
    CalculateEditButtonNativeInfo(&B);
    C().Clear();
    DrawEditButtonBorder(C().Canvas(), &B, B.Bounds, btsUltraFlat, false);
    EXPECT_EQ(C().InkBox(), B.Bounds) << dropDown;
    EXPECT_EQ(C().Count(GetUltraFlatHotColor()), 0) << "the classic face is not drawn";
  }
}

// ---------------------------------------------------------------------------------------------
// Widths

TEST_F(EditButtonPaintTest, Widths) {
  B.Style = bts3D;
  B.Width = 5;
  EXPECT_EQ(GetEditButtonWidth(C().Canvas(), &B), 5);
  B.Width = 3;
  EXPECT_EQ(GetEditButtonWidth(C().Canvas(), &B), 4) << "never below the glyph margin";
  B.Width = 0;
  EXPECT_EQ(GetEditButtonWidth(C().Canvas(), &B), GetSystemMetrics(SM_CYHSCROLL));
  TBitmap glyph;
  glyph.SetSize(16, 16);
  B.Kind = bkGlyph;
  B.Glyph = &glyph;
  EXPECT_EQ(GetEditButtonWidth(C().Canvas(), &B), 20);
  B.Style = btsUltraFlat;
  EXPECT_EQ(GetEditButtonWidth(C().Canvas(), &B), 18);
}

TEST_F(EditButtonPaintTest, AThemedButtonDropsItsThemeWhenItNoLongerOpens) {
  B.NativeStyle = true;
  GetEditButtonWidth(C().Canvas(), &B);
  EXPECT_TRUE(B.NativeStyle);
  ThemeEngine::SetEnabled(false);
  GetEditButtonWidth(C().Canvas(), &B);
  EXPECT_FALSE(B.NativeStyle);
}

// ---------------------------------------------------------------------------------------------
// Copying and repainting

TEST(EditButtonViewInfo, AssignCopiesWhatPaintingCompares) {
  TqvEditButtonViewInfo a, b;
  a.IsSingleDropDown = true;
  a.NativeState = 3;
  a.BackgroundColor = clRed;
  a.Bounds = Rect(1, 2, 3, 4);
  a.Style = btsFlat;
  a.ButtonIndex = 2;
  a.Kind = bkEllipsis;
  a.NativeStyle = true;
  a.State = ebbsHot;
  a.Transparent = true;
  b.Assign(&a);
  EXPECT_FALSE(b.LooksDifferent(&a));
  EXPECT_TRUE(b.IsSingleDropDown);
  EXPECT_EQ(b.Bounds, a.Bounds);
  EXPECT_EQ(b.ButtonIndex, 2);
  EXPECT_EQ(b.Kind, bkEllipsis);
  EXPECT_TRUE(b.NativeStyle);
  EXPECT_TRUE(b.Transparent);
}

TEST(EditButtonViewInfo, TheUpdateRegionIsTheBoundsOfAChangedLook) {
  TqvEditButtonViewInfo a, b;
  a.Bounds = b.Bounds = Rect(5, 5, 20, 20);
  EXPECT_TRUE(a.GetUpdateRegion(&b)->IsEmpty());
  EXPECT_FALSE(a.Repaint(nullptr, &b, {0, 0}));
  b.State = ebbsHot;
  EXPECT_FALSE(a.GetUpdateRegion(&b)->IsEmpty());
  EXPECT_TRUE(a.Repaint(nullptr, &b, {0, 0}));
  b.State = a.State;
  b.BackgroundColor = clRed;
  EXPECT_TRUE(a.Repaint(nullptr, &b, {0, 0}));
  b.BackgroundColor = a.BackgroundColor;
  b.Kind = bkGlyph;
  EXPECT_FALSE(a.Repaint(nullptr, &b, {0, 0})) << "the kind is not compared";
}

}  // namespace
