// The label editor: its properties and their depth rules, the caption and the edit value, the
// auto size at several angles, the text drawn with its effects and rotation, transparency, the
// accelerator and the click.
#include <cmath>
#include <numbers>

#include "editors/qvEditTestSupport.h"
#include "editors/qvEditorsTestSupport.h"
#include "editors/qvExtEditorsTestSupport.h"
#include "editors/qvLabel.h"
#include "platform/forms/ExtCtrls.h"
#include "support/EnumNames.h"

namespace {

TSize SizeOf(TControl* AControl) { return {AControl->GetWidth(), AControl->GetHeight()}; }

std::string OrientationName(TqvLabelOrientation o) {
  return NameOf(o, {QJ_NAMED(qvoLeft), QJ_NAMED(qvoRight), QJ_NAMED(qvoTop), QJ_NAMED(qvoBottom),
                    QJ_NAMED(qvoLeftTop), QJ_NAMED(qvoLeftBottom), QJ_NAMED(qvoRightTop),
                    QJ_NAMED(qvoRightBottom)});
}

// ---------------------------------------------------------------------------------------------
// Properties

struct TDepthCase {
  TqvLabelOrientation Orientation;
  TPoint Delta;
  TSize Size;
};

class LabelDepthTest : public ::testing::TestWithParam<TDepthCase> {};

TEST_P(LabelDepthTest, DeltaOpposesTheEffectAndSizeIsItsRoom) {
  auto properties = MakeOwned<TqvLabelProperties>(nullptr);
  properties->SetDepth(3);
  properties->SetOrientation(GetParam().Orientation);
  TPoint delta;
  TSize size;
  properties->GetDepthDelta(delta.X, delta.Y);
  properties->GetDepthSize(size.cx, size.cy);
  EXPECT_EQ(delta, GetParam().Delta) << OrientationName(GetParam().Orientation);
  EXPECT_EQ(size, GetParam().Size) << OrientationName(GetParam().Orientation);
  const TPoint effect = GetLabelEffectOffset(GetParam().Orientation, 3);
  EXPECT_EQ(effect, Point(-delta.X, -delta.Y));
}

INSTANTIATE_TEST_SUITE_P(Orientations, LabelDepthTest,
                         ::testing::Values(TDepthCase{qvoLeft, {3, 0}, {3, 0}}, TDepthCase{qvoRight, {-3, 0}, {3, 0}},
                                           TDepthCase{qvoTop, {0, 3}, {0, 3}}, TDepthCase{qvoBottom, {0, -3}, {0, 3}},
                                           TDepthCase{qvoLeftTop, {3, 3}, {3, 3}},
                                           TDepthCase{qvoLeftBottom, {3, -3}, {3, 3}},
                                           TDepthCase{qvoRightTop, {-3, 3}, {3, 3}},
                                           TDepthCase{qvoRightBottom, {-3, -3}, {3, 3}}));

TEST(LabelPropertiesTest, SettersReportOnlyChanges) {
  auto properties = MakeOwned<TqvLabelProperties>(nullptr);
  Integer changes = 0, repaints = 0;
  properties->OnPropertiesChanged = [&](TObject*) { ++changes; };
  properties->OnRepaint = [&] { ++repaints; };
  properties->SetDepth(2);
  properties->SetDepth(2);
  properties->SetAngle(0);
  properties->SetLabelEffect(qvleFun);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(repaints, 2);
  properties->BeginUpdate();
  properties->SetPenWidth(3);
  EXPECT_EQ(repaints, 2);
  properties->EndUpdate();
  EXPECT_EQ(repaints, 3);
}

TEST(LabelPropertiesTest, AssignCopiesEverySetting) {
  auto source = MakeOwned<TqvLabelProperties>(nullptr);
  source->SetLabelEffect(qvleExtrude);
  source->SetLabelStyle(qvlsOutLine);
  source->SetOrientation(qvoLeftTop);
  source->SetDepth(5);
  source->SetShadowedColor(clRed);
  source->SetShowEndEllipsis(true);
  source->SetAngle(45);
  source->SetPenWidth(2);
  source->GetGlyph()->SetSize(4, 3);
  source->SetWordWrap(true);
  source->SetTransparent(true);
  source->GetAlignment()->SetHorz(taCenter);
  auto target = MakeOwned<TqvLabelProperties>(nullptr);
  Integer changes = 0;
  target->OnPropertiesChanged = [&](TObject*) { ++changes; };
  target->Assign(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target->GetLabelEffect(), qvleExtrude);
  EXPECT_EQ(target->GetLabelStyle(), qvlsOutLine);
  EXPECT_EQ(target->GetOrientation(), qvoLeftTop);
  EXPECT_EQ(target->GetDepth(), 5);
  EXPECT_EQ(target->GetShadowedColor(), clRed);
  EXPECT_TRUE(target->GetShowEndEllipsis());
  EXPECT_EQ(target->GetAngle(), 45);
  EXPECT_EQ(target->GetPenWidth(), 2);
  ASSERT_NE(target->FindGlyph(), nullptr);
  EXPECT_EQ(target->FindGlyph()->GetWidth(), 4);
  EXPECT_NE(target->FindGlyph(), source->FindGlyph());
  EXPECT_TRUE(target->GetWordWrap());
  EXPECT_TRUE(target->GetTransparent());
  EXPECT_EQ(target->GetAlignment()->GetHorz(), taCenter);
}

TEST(LabelPropertiesTest, GlyphIsMadeOnFirstReadAndFreedByNull) {
  auto properties = MakeOwned<TqvLabelProperties>(nullptr);
  EXPECT_EQ(properties->FindGlyph(), nullptr);
  Integer changes = 0;
  properties->OnPropertiesChanged = [&](TObject*) { ++changes; };
  TBitmap* glyph = properties->GetGlyph();
  ASSERT_NE(glyph, nullptr);
  glyph->SetSize(2, 2);
  EXPECT_GE(changes, 1);
  const Integer before = changes;
  properties->SetGlyph(nullptr);
  EXPECT_EQ(properties->FindGlyph(), nullptr);
  EXPECT_EQ(changes, before + 1);
}

TEST(LabelPropertiesTest, ValuesAndTexts) {
  auto properties = MakeOwned<TqvLabelProperties>(nullptr);
  EXPECT_EQ(properties->GetDisplayText(Null()), "");
  EXPECT_EQ(properties->GetDisplayText(Variant()), "");
  EXPECT_EQ(properties->GetDisplayText(42), "42");
  EXPECT_EQ(properties->GetDisplayText(String("abc")), "abc");
  EXPECT_EQ(properties->GetSupportedOperations(), TqvEditSupportedOperations(0x45));
  EXPECT_EQ(properties->GetEditValueSource(false), evsText);
  EXPECT_TRUE(properties->IsValueChangeNotifiedByText());
}

TEST(LabelPropertiesTest, RegisteredUnderItsDisplayText) {
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(registry->FindByClassName("TqvLabelProperties"), &TqvLabelProperties::StaticClass());
  EXPECT_EQ(registry->FindByShortName("Label"), &TqvLabelProperties::StaticClass());
  const Integer index = registry->IndexOf(&TqvLabelProperties::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(index), "Label|Represents a Label");
}

// ---------------------------------------------------------------------------------------------
// Drawing, through a view info on a bitmap

class LabelDrawTest : public TEditorsTest {
 protected:
  static constexpr TColor kBackground = clYellow;
  static constexpr TColor kText = clBlack;

  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(160, 120);
    FFont = MakeOwned<TFont>();
    FFont->SetName("DejaVu Sans");
    FFont->SetSize(16);
    FFont->SetStyle(fsBold);
    Info.Font = FFont.get();
    Info.Text = "Wide";
    Info.LabelTextRect = Rect(0, 0, 160, 120);
    Info.BackgroundColor = kBackground;
    Info.TextColor = kText;
    Info.HorzAlignment = taCenter;
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  TEditorsCanvas& C() { return *FCanvas; }
  void Draw() {
    C().Clear();
    Info.DrawLabel(C().Canvas());
  }
  // The box of every pixel that is not the background.
  TRect Ink() const { return InkOf(FCanvas.get(), kBackground); }
  static TRect InkOf(const TEditorsCanvas* ACanvas, TColor ABackground) {
    const COLORREF bg = ColorToRGB(ABackground);
    return InkBoxOf(ACanvas->Width(), ACanvas->Height(), bg, [&](int x, int y) { return ACanvas->PixelRGB(x, y); });
  }
  // The box of the pixels of exactly one colour.
  TRect BoxOf(TColor AColor) const {
    const COLORREF c = ColorToRGB(AColor);
    TRect box{C0(), C0(), -1, -1};
    for (Integer y = 0; y < FCanvas->Height(); ++y)
      for (Integer x = 0; x < FCanvas->Width(); ++x)
        if (FCanvas->PixelRGB(x, y) == c) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box.Right < 0 ? TRect{} : box;
  }
  static Integer C0() { return 1 << 20; }

  TqvCustomLabelViewInfo Info;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
  TOwned<TFont> FFont;
};

// The text turns about the label's centre: its ink stays centred, wide at 0 and 180 degrees,
// tall at 90, and both at 45.
TEST_F(LabelDrawTest, RotatedTextStaysCentred) {
  struct {
    Integer Angle;
    bool Wide, Tall;
  } cases[] = {{0, true, false}, {45, true, true}, {90, false, true}, {180, true, false}, {-90, false, true}};
  Info.Angle = 0;
  Draw();
  const TRect upright = Ink();
  ASSERT_FALSE(upright.IsEmpty());
  for (const auto& c : cases) {
    Info.Angle = c.Angle;
    Draw();
    const TRect ink = Ink();
    ASSERT_FALSE(ink.IsEmpty()) << c.Angle;
    const TPoint centre{(ink.Left + ink.Right) / 2, (ink.Top + ink.Bottom) / 2};
    EXPECT_NEAR(centre.X, 80, 4) << c.Angle;
    EXPECT_NEAR(centre.Y, 60, 4) << c.Angle;
    const bool wide = ink.Width() > upright.Height() + 4, tall = ink.Height() > upright.Height() + 4;
    EXPECT_EQ(wide, c.Wide) << c.Angle << " " << ink;
    EXPECT_EQ(tall, c.Tall) << c.Angle << " " << ink;
  }
}

TEST_F(LabelDrawTest, AngleOf180TurnsTheTextUpsideDown) {
  Info.Text = "T";
  Draw();
  const TRect upright = Ink();
  // The bar of a T is on top; turned half round it is at the bottom.
  auto barRow = [&](const TRect& box) {
    Integer best = box.Top, widest = 0;
    for (Integer y = box.Top; y < box.Bottom; ++y) {
      const Integer n = C().Count(kText, Rect(0, y, 160, y + 1));
      if (n > widest) {
        widest = n;
        best = y;
      }
    }
    return best;
  };
  EXPECT_LT(barRow(upright) - upright.Top, upright.Height() / 3);
  Info.Angle = 180;
  Draw();
  const TRect turned = Ink();
  EXPECT_GT(barRow(turned) - turned.Top, 2 * turned.Height() / 3);
}

TEST_F(LabelDrawTest, HorizontalAlignmentPlacesUnturnedText) {
  Info.HorzAlignment = taLeftJustify;
  Draw();
  EXPECT_LE(Ink().Left, 3);
  Info.HorzAlignment = taRightJustify;
  Draw();
  EXPECT_GE(Ink().Right, 160 - 3);
  Info.HorzAlignment = taCenter;
  Draw();
  EXPECT_NEAR((Ink().Left + Ink().Right) / 2, 80, 3);
}

TEST_F(LabelDrawTest, CoolEffectIsOneShadowDepthPixelsAway) {
  Info.Depth = 3;
  Info.LabelEffect = qvleCool;
  Info.Orientation = qvoRightBottom;
  Info.ShadowedColor = clRed;
  Draw();
  const TRect text = BoxOf(kText), shadow = BoxOf(clRed);
  ASSERT_FALSE(shadow.IsEmpty());
  EXPECT_EQ(shadow.Right, text.Right + 3);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 3);
  // Only the one solid shadow colour besides the text.
  // Only the one shadow (with its anti-aliased edge) beyond the text.
  const TRect ink = Ink();
  EXPECT_LE(ink.Right - shadow.Right, 1);
  EXPECT_LE(ink.Bottom - shadow.Bottom, 1);
}

TEST_F(LabelDrawTest, EffectsPointInTheirOrientation) {
  Info.Depth = 4;
  Info.LabelEffect = qvleExtrude;
  Info.ShadowedColor = clRed;
  for (Integer o = qvoLeft; o <= qvoRightBottom; ++o) {
    Info.Orientation = TqvLabelOrientation(o);
    Draw();
    const TRect text = BoxOf(kText), shadow = BoxOf(clRed);
    const TPoint effect = GetLabelEffectOffset(Info.Orientation, 4);
    // The far edge of the shadow on each side it points to.
    const TRect expected{effect.X < 0 ? text.Left - 4 : shadow.Left, effect.Y < 0 ? text.Top - 4 : shadow.Top,
                         effect.X > 0 ? text.Right + 4 : shadow.Right, effect.Y > 0 ? text.Bottom + 4 : shadow.Bottom};
    EXPECT_EQ(shadow, expected) << OrientationName(Info.Orientation);
  }
}

// Four copies from the shadow colour near the text to nearly the background far from it.
TEST_F(LabelDrawTest, FunEffectFadesTowardsTheBackground) {
  Info.Depth = 4;
  Info.LabelEffect = qvleFun;
  Info.Orientation = qvoRightBottom;
  Info.ShadowedColor = clBlue;
  Draw();
  // Shadow blue (0,0,255) to yellow (255,255,0) at (k - 1) / 4.
  const COLORREF steps[] = {RGB(0, 0, 255), RGB(63, 63, 191), RGB(127, 127, 127), RGB(191, 191, 63)};
  const TRect text = BoxOf(kText);
  for (Integer k = 1; k <= 4; ++k) {
    bool found = false;
    Integer right = -1;
    for (Integer y = 0; y < 120; ++y)
      for (Integer x = 0; x < 160; ++x)
        if (C().PixelRGB(x, y) == steps[k - 1]) {
          found = true;
          right = std::max(right, x + 1);
        }
    EXPECT_TRUE(found) << k;
    EXPECT_EQ(right, text.Right + k) << k;
  }
}

TEST_F(LabelDrawTest, RaisedLettersHaveAShadowLayerFrom12Points) {
  Info.LabelStyle = qvlsRaised;
  TOwned<TFont> font = MakeOwned<TFont>();
  font->Assign(Info.Font);
  Info.Font = font.get();
  for (Integer size : {10, 12}) {
    font->SetSize(size);
    Draw();
    EXPECT_GT(C().Count(clBtnHighlight), 0) << size;
    EXPECT_GT(C().Count(kText), 0) << size;
    EXPECT_EQ(C().Count(clBtnShadow) > 0, size >= 12) << size;
  }
}

TEST_F(LabelDrawTest, LoweredLettersAreHighlightUnderShadow) {
  Info.LabelStyle = qvlsLowered;
  Draw();
  EXPECT_EQ(C().Count(kText), 0);
  const TRect shadow = BoxOf(clBtnShadow), highlight = BoxOf(clBtnHighlight);
  EXPECT_EQ(highlight.Right, shadow.Right + 1);
  EXPECT_EQ(highlight.Bottom, shadow.Bottom + 1);
}

TEST_F(LabelDrawTest, OutlinedLettersAreHollow) {
  Draw();
  const Integer solid = C().Count(kText);
  const TRect box = Ink();
  Info.LabelStyle = qvlsOutLine;
  Draw();
  const Integer outline = C().Count(kText);
  EXPECT_GT(outline, 0);
  EXPECT_LT(outline, solid);
  EXPECT_NEAR(Ink().Left, box.Left, 2);
  EXPECT_NEAR(Ink().Right, box.Right, 2);
}

TEST_F(LabelDrawTest, GlyphIsTiledInsideTheLetters) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(4, 4);
  glyph.GetCanvas()->GetBrush()->SetColor(clLime);
  glyph.GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  Info.Glyph = &glyph;
  Draw();
  const TRect box = Ink();
  EXPECT_EQ(C().Count(kText), 0);
  EXPECT_GT(C().Count(clLime), 20);
  // Nothing of the glyph outside the letters.
  EXPECT_EQ(C().Count(clLime, Rect(0, 0, 160, box.Top)), 0);
  EXPECT_EQ(C().Count(clLime, Rect(box.Right, 0, 160, 120)), 0);
}

TEST_F(LabelDrawTest, DisabledTextIsGrey) {
  Info.Enabled = false;
  Draw();
  EXPECT_EQ(C().Count(kText), 0);
  EXPECT_GT(C().Count(clBtnShadow), 0);
}

TEST_F(LabelDrawTest, TransparentLabelKeepsTheCanvasUnderIt) {
  Info.Transparent = true;
  Draw();
  EXPECT_EQ(C().Count(kBackground), 0);
  EXPECT_TRUE(C().Is(2, 2, TEditorsCanvas::Paper));
  EXPECT_GT(C().Count(kText), 0);
  // A focused in-place label is filled all the same.
  Info.IsInplace = true;
  Info.Focused = true;
  Draw();
  EXPECT_TRUE(C().Is(2, 2, kBackground));
}

TEST_F(LabelDrawTest, EmptyTextRectangleDrawsNothing) {
  Info.LabelTextRect = Rect(10, 10, 10, 50);
  Draw();
  EXPECT_TRUE(C().InkBox().IsEmpty());
  Info.LabelTextRect = Rect(10, 10, 5, 5);
  Draw();
  EXPECT_TRUE(C().InkBox().IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// The control

class LabelControlTest : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    Label = New<TqvLabel>(FForm);
    Label->SetLeft(10);
    Label->SetTop(40);
    Label->SetParent(FForm);
  }
  // The label's font measures.
  TSize Measure(const String& AText) {
    TqvCanvas* canvas = Label->GetCanvas();
    canvas->SetFont(Label->GetStyle()->GetFont());
    return canvas->TextExtent(AText);
  }
  TqvLabel* Label = nullptr;
};

TEST_F(LabelControlTest, CaptionThatDiffersOnlyInLetterCaseIsApplied) {
  Label->SetCaption("abc");
  EXPECT_EQ(Label->GetCaption(), "abc");
  Label->SetCaption("ABC");
  EXPECT_EQ(Label->GetCaption(), "ABC");
  EXPECT_EQ(VarToStr(Label->GetEditValue()), "ABC");
}

TEST_F(LabelControlTest, EditValueBecomesTheCaption) {
  Label->SetEditValue(42);
  EXPECT_EQ(Label->GetCaption(), "42");
  EXPECT_TRUE(Label->GetValueAssigned());
  EXPECT_FALSE(Label->GetCaptionAssigned());
  Label->SetEditValue(Null());
  EXPECT_EQ(Label->GetCaption(), "");
}

TEST_F(LabelControlTest, ANameBecomesTheCaptionUntilOneIsSet) {
  Label->SetName("lblFirst");
  EXPECT_EQ(Label->GetCaption(), "lblFirst");
  EXPECT_FALSE(Label->IsCaptionStored());
  Label->SetCaption("Shown");
  EXPECT_TRUE(Label->IsCaptionStored());
  Label->SetName("lblSecond");
  EXPECT_EQ(Label->GetCaption(), "Shown");
}

TEST_F(LabelControlTest, StandaloneLabelTakesNoFocusButClicks) {
  Label->SetCaption("Click me");
  Integer clicks = 0;
  Label->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  EXPECT_FALSE(Label->CanFocus());
  Click(Label, Point(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(Label->Focused());
}

TEST_F(LabelControlTest, AcceleratorFocusesTheFocusControlOrBeeps) {
  Label->SetCaption("&Name");
  Label->SetFocusControl(FOther);
  auto* button = Add<TButton>(FForm, Rect(200, 10, 280, 35));
  ShowForm();
  button->SetFocus();
  Pump();
  Press('N', skAlt);
  EXPECT_TRUE(FOther->Focused());

  Label->SetFocusControl(nullptr);
  button->SetFocus();
  Pump();
  const int beeps = Headless::BeepCount();
  Press('N', skAlt);
  EXPECT_EQ(Headless::BeepCount(), beeps + 1);
  EXPECT_TRUE(button->Focused());
}

TEST_F(LabelControlTest, FocusControlIsForgottenWhenFreedAndCannotBeTheLabel) {
  auto* edit = Add<TEdit>(FForm, Rect(10, 100, 60, 120));
  Label->SetFocusControl(edit);
  Free(edit);
  EXPECT_EQ(Label->GetFocusControl(), nullptr);
  Label->SetFocusControl(Label);
  EXPECT_EQ(Label->GetFocusControl(), nullptr);
}

// The auto size follows the text turned by the angle: the rule of the turned text's length
// along one side and its row height plus the room of a "w" along the other, plus the margins.
TEST_F(LabelControlTest, AutoSizeFollowsTheAngle) {
  ShowForm();
  const String caption = "Auto sized";
  Label->SetCaption(caption);
  const TSize text = Measure(caption);
  const Integer w = Measure("w").cx;
  auto turned = [&](Integer angle, bool upright) {
    const double radians = angle * std::numbers::pi / 180.0;
    Integer cx = std::abs(Integer(std::trunc(std::cos(radians) * text.cx)));
    Integer cy = std::abs(Integer(std::trunc(std::sin(radians) * text.cx)));
    if (upright) {
      cx += text.cy;
      cy += w;
    } else {
      cy += text.cy;
      cx += w;
    }
    return TSize{cx + 8, cy + 4};
  };
  struct {
    Integer Angle;
    TSize Expected;
  } cases[] = {{0, {text.cx + 8, text.cy + 4}},
               {45, turned(45, false)},
               {90, {text.cy + 8, text.cx + w + 4}},
               {180, {text.cx + w + 8, text.cy + 4}},
               {-30, turned(30, false)},
               {270, {text.cy + 8, text.cx + w + 4}}};
  for (const auto& c : cases) {
    Label->GetProperties()->SetAngle(c.Angle);
    Pump();
    EXPECT_EQ(SizeOf(Label), c.Expected) << c.Angle;
  }
}

TEST_F(LabelControlTest, AutoSizeAddsTheDepthAndFollowsTheAlignment) {
  ShowForm();
  Label->SetCaption("Deep");
  const TSize text = Measure("Deep");
  Label->GetProperties()->SetDepth(3);
  Label->GetProperties()->SetOrientation(qvoRight);
  Pump();
  EXPECT_EQ(SizeOf(Label), (TSize{text.cx + 3 + 8, text.cy + 4}));
  Label->SetAlign(alTop);
  Pump();
  EXPECT_EQ(Label->GetWidth(), FForm->GetClientWidth());
  EXPECT_EQ(Label->GetHeight(), text.cy + 4);
}

TEST_F(LabelControlTest, EmptyCaptionSizesToNoWidthAndOneRow) {
  ShowForm();
  Label->SetCaption("x");
  Label->SetCaption("  ");
  Pump();
  EXPECT_EQ(Label->GetWidth(), 0);
  EXPECT_EQ(Label->GetHeight(), Measure("1").cy);
}

TEST_F(LabelControlTest, WithoutAutoSizeTheSizeStays) {
  Label->SetAutoSize(false);
  Label->SetBounds(10, 40, 200, 50);
  ShowForm();
  Label->SetCaption("Fixed");
  Pump();
  EXPECT_EQ(SizeOf(Label), (TSize{200, 50}));
}

// On a coloured panel the panel shows around the letters of a transparent label.
TEST_F(LabelControlTest, TransparentLabelShowsItsParent) {
  auto* panel = Add<TPanel>(FForm, Rect(10, 100, 300, 200));
  panel->SetColor(clAqua);
  panel->SetBevelOuter(bvNone);
  Label->SetParent(panel);
  Label->SetBounds(10, 10, 100, 30);
  Label->SetAutoSize(false);
  Label->GetStyle()->SetColor(clRed);
  Label->SetCaption("Over");
  ShowForm();
  Label->Repaint();
  Pump();
  EXPECT_EQ(ScreenPixelOf(Label, Point(95, 2)), ColorToRGB(clRed));
  Label->GetProperties()->SetTransparent(true);
  Label->Repaint();
  Pump();
  EXPECT_EQ(ScreenPixelOf(Label, Point(95, 2)), ColorToRGB(clAqua));
}

TEST_F(LabelControlTest, ColourFollowsTheParent) {
  FForm->SetColor(clMoneyGreen);
  Label->SetCaption("Parent");
  ShowForm();
  EXPECT_EQ(Label->GetStyle()->GetColor(), clMoneyGreen);
  EXPECT_EQ(Label->GetViewInfo()->BackgroundColor, clMoneyGreen);
}

TEST_F(LabelControlTest, ViewInfoTakesTheCaptionAndASingleBorderOnlyWhenAssigned) {
  Label->SetCaption("Framed");
  ShowForm();
  EXPECT_EQ(Label->GetLabelViewInfo()->Text, "Framed");
  EXPECT_EQ(Label->GetViewInfo()->GetEditBorderStyle(), ebsNone);
  Label->GetStyle()->SetBorderStyle(ebsSingle);
  Pump();
  EXPECT_EQ(Label->GetViewInfo()->GetEditBorderStyle(), ebsSingle);
  const TRect client = Label->GetViewInfo()->ClientRect;
  EXPECT_EQ(Label->GetLabelViewInfo()->LabelTextRect, qvDeflatedRect(client, 1));
}

// A grid measures a label's cell without a control.
TEST_F(LabelControlTest, CellSizeIsTheTextWithTheDepth) {
  auto properties = MakeOwned<TqvLabelProperties>(nullptr);
  properties->SetDepth(2);
  properties->SetOrientation(qvoBottom);
  auto style = MakeOwned<TqvLabelEditStyle>(nullptr, true);
  TFont* font = FForm->GetFont();
  style->SetFont(font);
  TqvCanvas* canvas = Label->GetCanvas();
  const TSize size = properties->GetEditSize(canvas, style.get(), true, String("Cell"), TqvEditSizeProperties{});
  canvas->SetFont(font);
  EXPECT_EQ(size.cx, canvas->TextWidth("Cell") + 2);
  EXPECT_EQ(size.cy, canvas->TextHeight("Zg") + 2);
}

}  // namespace
