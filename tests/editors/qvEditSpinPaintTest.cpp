// The spin editor's buttons: the frame kind each button takes by its index, the button count
// and the layout (neighbours share their lines), the colours of the hot-flat and ultra-flat
// faces, the arrows of each button, and the check glyph size of check boxes.
#include "editors/qvEditPaintUtils.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/os/Theme.h"

namespace {

// A view info whose buttons show spin arrows, and which records the content rectangles.
class TSpinViewInfo : public TqvCustomEditViewInfo {
  QJ_INLINE_CLASS(TSpinViewInfo, TqvCustomEditViewInfo)
 public:
  void DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor, TColor AContentColor,
                         const TRect& ARect) override {
    Contents.push_back({ARect, ABackgroundColor, AContentColor});
    DrawSpinEditButtonContent(ACanvas, this, AButtonIndex, ABackgroundColor, AContentColor, ARect, Position, ArrowSize);
  }
  struct TContent {
    TRect Rect;
    TColor Background, Color;
  };
  std::vector<TContent> Contents;
  TqvSpinEditButtonsPosition Position = sbpVert;
  Integer ArrowSize = 3;
};

constexpr TRect kButtonBounds{10, 10, 30, 30};

class EditSpinPaint : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(48, 48);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }
  // A view info of ACount buttons, button AIndex at kButtonBounds in AState.
  void Prepare(Integer ACount, Integer AIndex, TqvSpinEditButtonsPosition APosition,
               TqvEditButtonState AState = ebbsNormal) {
    V.SetButtonCount(ACount);
    V.Position = APosition;
    V.ClientRect = Rect(0, 0, 48, 48);
    V.Contents.clear();
    TqvEditButtonViewInfo* b = V.GetButton(AIndex);
    b->Bounds = b->VisibleBounds = kButtonBounds;
    b->State = AState;
    b->BackgroundColor = clWindow;
    C().Clear();
  }
  void Draw(Integer AIndex, TqvEditButtonStyle AStyle) {
    DrawSpinEditButtonBorder(C().Canvas(), &V, AIndex, kButtonBounds, AStyle, V.Position);
  }

  TSpinViewInfo V;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// Hot-flat frame kinds: the content rectangle tells which sides a button frames and which it
// leaves to its neighbour (growing over it by one pixel).

struct TSpinKindCase {
  const char* Name;
  TqvSpinEditButtonsPosition Position;
  Integer Count, Index;
  TRect Content;
};

class EditSpinHotFlatKind : public EditSpinPaint, public ::testing::WithParamInterface<TSpinKindCase> {};

TEST_P(EditSpinHotFlatKind, FramesItsOwnSides) {
  const TSpinKindCase& c = GetParam();
  Prepare(c.Count, c.Index, c.Position);
  Draw(c.Index, btsHotFlat);
  ASSERT_EQ(V.Contents.size(), 1u);
  EXPECT_EQ(V.Contents[0].Rect, c.Content);
  // Every side the button frames is one line of the shadow colour.
  const TRect& in = c.Content;
  EXPECT_EQ(in.Left == kButtonBounds.Left + 1, C().Is(10, 20, clBtnShadow)) << "left";
  EXPECT_EQ(in.Top == kButtonBounds.Top + 1, C().Is(20, 10, clBtnShadow)) << "top";
  EXPECT_EQ(in.Right == kButtonBounds.Right - 1, C().Is(29, 20, clBtnShadow)) << "right";
  EXPECT_EQ(in.Bottom == kButtonBounds.Bottom - 1, C().Is(20, 29, clBtnShadow)) << "bottom";
}

constexpr TRect kFull{11, 11, 29, 29}, kOpenRight{11, 11, 30, 29}, kOpenLeft{10, 11, 29, 29},
    kOpenTop{11, 10, 29, 29}, kOpenTopLeft{10, 10, 29, 29};

INSTANTIATE_TEST_SUITE_P(
    Layouts, EditSpinHotFlatKind,
    ::testing::Values(TSpinKindCase{"LeftRightDown", sbpHorzLeftRight, 2, 0, kFull},
                      TSpinKindCase{"LeftRightUp", sbpHorzLeftRight, 2, 1, kFull},
                      TSpinKindCase{"LeftRightFastDown", sbpHorzLeftRight, 4, 2, kOpenRight},
                      TSpinKindCase{"LeftRightFastUp", sbpHorzLeftRight, 4, 3, kOpenLeft},
                      TSpinKindCase{"RightDown", sbpHorzRight, 2, 0, kFull},
                      TSpinKindCase{"RightUp", sbpHorzRight, 2, 1, kOpenLeft},
                      TSpinKindCase{"RightDownWithFast", sbpHorzRight, 4, 0, kOpenLeft},
                      TSpinKindCase{"RightFastDown", sbpHorzRight, 4, 2, kFull},
                      TSpinKindCase{"VertDown", sbpVert, 2, 0, kOpenTop},
                      TSpinKindCase{"VertUp", sbpVert, 2, 1, kFull},
                      TSpinKindCase{"VertDownWithFast", sbpVert, 4, 0, kOpenTopLeft},
                      TSpinKindCase{"VertUpWithFast", sbpVert, 4, 1, kOpenLeft},
                      TSpinKindCase{"VertFastUp", sbpVert, 4, 3, kOpenLeft}),
    [](const auto& info) { return String(info.param.Name); });

struct TColourCase {
  const char* Name;
  TqvEditButtonState State;
  bool Transparent;
  TColor Face, Content;
};

class EditSpinHotFlatColours : public EditSpinPaint, public ::testing::WithParamInterface<TColourCase> {};

TEST_P(EditSpinHotFlatColours, FaceAndArrowByState) {
  const TColourCase& c = GetParam();
  Prepare(2, 1, sbpVert, c.State);
  V.GetButton(1)->Transparent = c.Transparent;
  Draw(1, btsHotFlat);
  ASSERT_EQ(V.Contents.size(), 1u);
  EXPECT_EQ(V.Contents[0].Background, c.Face);
  EXPECT_EQ(V.Contents[0].Color, c.Content);
  EXPECT_TRUE(C().Is(12, 12, c.Face));
}

INSTANTIATE_TEST_SUITE_P(States, EditSpinHotFlatColours,
                         ::testing::Values(TColourCase{"Normal", ebbsNormal, false, clBtnFace, clBtnText},
                                           TColourCase{"Disabled", ebbsDisabled, true, clBtnFace, clBtnText},
                                           TColourCase{"Pressed", ebbsPressed, false, clBtnText, clBtnHighlight},
                                           TColourCase{"Hot", ebbsHot, false, clBtnShadow, clBtnHighlight},
                                           TColourCase{"HotTransparent", ebbsHot, true, clWindow, clBtnShadow}),
                         [](const auto& info) { return String(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Ultra-flat faces

TEST_F(EditSpinPaint, AHotUltraFlatButtonLightsTheSidesItDoesNotShare) {
  struct TCase {
    TqvSpinEditButtonsPosition Position;
    Integer Count, Index;
    bool LeftLit, RightLit;
  };
  for (const TCase& c : {TCase{sbpHorzLeftRight, 2, 0, false, true}, TCase{sbpHorzRight, 2, 0, true, true},
                         TCase{sbpHorzRight, 4, 2, true, false}}) {
    Prepare(c.Count, c.Index, c.Position, ebbsHot);
    Draw(c.Index, btsUltraFlat);
    const TColor face = GetUltraFlatHotColor();
    EXPECT_TRUE(C().Is(10, 20, c.LeftLit ? clHighlight : face)) << c.Index;
    EXPECT_TRUE(C().Is(29, 20, c.RightLit ? clHighlight : face)) << c.Index;
    EXPECT_TRUE(C().Is(20, 10, face)) << "the top line is the face's";
    ASSERT_EQ(V.Contents.size(), 1u);
    EXPECT_EQ(V.Contents[0].Rect, kFull);
  }
}

TEST_F(EditSpinPaint, AnUltraFlatButtonAtTheClientsLeftEdgeBlendsIn) {
  Prepare(2, 0, sbpHorzRight, ebbsPressed);
  V.ClientRect = Rect(10, 0, 48, 48);
  Draw(0, btsUltraFlat);
  EXPECT_TRUE(C().Is(10, 20, GetUltraFlatPressedColor()));
  EXPECT_TRUE(C().Is(29, 20, clHighlight));
}

TEST_F(EditSpinPaint, AVerticalPairLightsItsOuterCorners) {
  // Kinds 5 and 6: the lower and the upper button of the column.
  Prepare(2, 0, sbpVert, ebbsHot);  // ultra-flat kind 6
  Draw(0, btsUltraFlat);
  EXPECT_TRUE(C().Is(20, 10, clHighlight));
  EXPECT_TRUE(C().Is(29, 20, clHighlight));
  Prepare(4, 3, sbpVert, ebbsHot);  // kind 3: open towards the button below
  Draw(3, btsUltraFlat);
  EXPECT_TRUE(C().Is(20, 10, clHighlight));
  EXPECT_TRUE(C().Is(20, 11, GetUltraFlatHotColor()));
  EXPECT_FALSE(C().Is(20, 29, clHighlight));
}

TEST_F(EditSpinPaint, AnInplaceOrNormalUltraFlatButtonHasTheEditorsFrame) {
  Prepare(2, 0, sbpVert, ebbsNormal);
  Draw(0, btsUltraFlat);
  EXPECT_TRUE(C().Is(10, 10, clWindow));
  EXPECT_EQ(V.Contents[0].Rect, kFull);
  Prepare(2, 0, sbpVert, ebbsHot);
  V.GetButton(0)->IsInplace = true;
  Draw(0, btsUltraFlat);
  EXPECT_TRUE(C().Is(10, 10, clHighlight));
  EXPECT_TRUE(C().Is(29, 29, clHighlight));
}

// ---------------------------------------------------------------------------------------------
// The other faces keep the edit button look with the spin arrows inside

TEST_F(EditSpinPaint, ThreeDFacesDrawTheSpinContent) {
  Prepare(2, 1, sbpVert);
  Draw(1, bts3D);
  ASSERT_EQ(V.Contents.size(), 1u);
  EXPECT_EQ(V.Contents[0].Rect, Rect(12, 12, 28, 28));
  EXPECT_TRUE(C().Is(10, 10, cl3DLight));
}

TEST_F(EditSpinPaint, AThemedButtonIsTheSpinThemesPart) {
  Prepare(2, 1, sbpVert, ebbsHot);
  TqvEditButtonViewInfo* b = V.GetButton(1);
  b->NativeStyle = true;
  b->NativePart = SPNP_UP;
  b->NativeState = 2;
  Draw(1, bts3D);
  EXPECT_TRUE(V.Contents.empty());
  const auto themed = C().Snapshot();
  C().Clear();
  DrawThemeBackground(OpenTheme(totSpin), C().DC(), SPNP_UP, 2, &kButtonBounds, nullptr);
  EXPECT_SAME_PIXELS(C(), themed, C().Snapshot());
}

// ---------------------------------------------------------------------------------------------
// Arrows

struct TArrowCase {
  const char* Name;
  TqvSpinEditButtonsPosition Position;
  Integer Index;
  TqvEditButtonState State;
  TqvArrowDirection Direction;
  Integer ExtraCount;
};

class EditSpinArrows : public EditSpinPaint, public ::testing::WithParamInterface<TArrowCase> {};

TEST_P(EditSpinArrows, PointTheButtonsWay) {
  const TArrowCase& c = GetParam();
  Prepare(4, c.Index, c.Position, c.State);
  DrawSpinEditButtonContent(C().Canvas(), &V, c.Index, clWindow, clBlue, kButtonBounds, c.Position, 4);
  const auto drawn = C().Snapshot();
  C().Clear();
  C().Canvas()->SetBrushColor(clWindow);
  C().Canvas()->FillRect(kButtonBounds);
  const bool pressed = c.State == ebbsPressed;
  if (c.State == ebbsDisabled) {
    DrawArrows(C().Canvas(), 4, qvOffsetRect(kButtonBounds, 1, 1), clBtnHighlight, pressed, c.ExtraCount, c.Direction);
    DrawArrows(C().Canvas(), 4, kButtonBounds, clBtnShadow, pressed, c.ExtraCount, c.Direction);
  } else {
    DrawArrows(C().Canvas(), 4, kButtonBounds, clBlue, pressed, c.ExtraCount, c.Direction);
  }
  EXPECT_SAME_PIXELS(C(), drawn, C().Snapshot());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, EditSpinArrows,
    ::testing::Values(TArrowCase{"VertDown", sbpVert, 0, ebbsNormal, arrowDown, 0},
                      TArrowCase{"VertUpPressed", sbpVert, 1, ebbsPressed, arrowUp, 0},
                      TArrowCase{"VertFastDown", sbpVert, 2, ebbsNormal, arrowLeft, 1},
                      TArrowCase{"VertFastUp", sbpVert, 3, ebbsNormal, arrowRight, 1},
                      TArrowCase{"HorzDown", sbpHorzRight, 0, ebbsNormal, arrowLeft, 0},
                      TArrowCase{"HorzUpDisabled", sbpHorzLeftRight, 1, ebbsDisabled, arrowRight, 0},
                      TArrowCase{"HorzFastUp", sbpHorzRight, 3, ebbsHot, arrowRight, 1}),
    [](const auto& info) { return String(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Check glyph size

TEST_F(EditSpinPaint, CheckGlyphSizeFromTheGlyphTheThemeOrTheSystemBitmap) {
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(60, 15);
  EXPECT_EQ(GetCheckBoxGlyphSize(glyph.get(), 4, false), (TSize{15, 15}));
  EXPECT_EQ(GetCheckBoxGlyphSize(glyph.get(), 0, true), (TSize{13, 13})) << "the theme's check box";
  EXPECT_EQ(GetCheckBoxGlyphSize(nullptr, 4, false), CheckBoxGlyphSize());
  ThemeEngine::SetEnabled(false);
  EXPECT_EQ(GetCheckBoxGlyphSize(nullptr, 0, true), CheckBoxGlyphSize());
}

}  // namespace
