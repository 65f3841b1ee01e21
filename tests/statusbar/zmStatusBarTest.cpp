// The bar and its panels: the painter chosen by paint style, look and feel and theme; panel
// widths, minimums and the fixed rule on a painted bar; the size grip's visibility and hit test;
// an empty bar; the panel style registry and style classes by name; design-time panels; bidi;
// images; the gradient bar following the system colours; the shared scheme's references.
#include "StatusBarTestSupport.h"
#include "core/qvClasses.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Classes.h"
#include "statusbar/zmOffice11.h"
#include "support/EnumNames.h"

namespace {

using StatusBar = TStatusBarTest;

std::string PainterName(TzmStatusBarPainterClass P) {
  return NameOf(P, {{TzmStatusBarStandardPainter::Class(), "standard"},
                    {TzmStatusBarFlatPainter::Class(), "flat"},
                    {TzmStatusBarOffice11Painter::Class(), "gradient"},
                    {TzmStatusBarXPPainter::Class(), "themed"}});
}

// ------------------------------------------------------------------ construction and painter

TEST_F(StatusBar, StartsAsAStandardBarDockedAtTheBottom) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  EXPECT_EQ(bar->GetAlign(), alBottom);
  EXPECT_EQ(bar->GetHeight(), 20);
  EXPECT_EQ(bar->GetColor(), clBtnFace);
  EXPECT_FALSE(bar->GetParentFont());
  EXPECT_TRUE(bar->GetSizeGrip());
  EXPECT_EQ(bar->GetBorderWidth(), 0);
  EXPECT_EQ(bar->GetPanels()->GetCount(), 0);
  EXPECT_EQ(PainterName(bar->GetPainterClass()), "standard");
  EXPECT_FALSE(bar->GetControlStyle() & csSetCaption);
  EXPECT_TRUE(bar->GetControlStyle() & csOpaque);
}

struct TPainterCase {
  TzmStatusBarPaintStyle PaintStyle;
  TqvLookAndFeelKind Kind;
  bool NativeStyle;
  bool Themes;
  const char* Painter;
};

class StatusBarPainterChoice : public TStatusBarTest, public ::testing::WithParamInterface<TPainterCase> {};

TEST_P(StatusBarPainterChoice, FollowsPaintStyleLookAndFeelAndTheme) {
  const TPainterCase& c = GetParam();
  ThemeEngine::SetEnabled(c.Themes);
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  bar->GetLookAndFeel()->SetKind(c.Kind);
  bar->GetLookAndFeel()->SetNativeStyle(c.NativeStyle);
  bar->SetPaintStyle(c.PaintStyle);
  EXPECT_EQ(PainterName(bar->GetPainterClass()), c.Painter);
  EXPECT_EQ(bar->IsThemeAvailable(), c.Themes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusBarPainterChoice,
    ::testing::Values(TPainterCase{stpsStandard, lfUltraFlat, true, true, "standard"},
                      TPainterCase{stpsFlat, lfStandard, false, true, "flat"},
                      TPainterCase{stpsOffice11, lfStandard, false, false, "gradient"},
                      TPainterCase{stpsXP, lfStandard, false, true, "themed"},
                      TPainterCase{stpsXP, lfStandard, false, false, "standard"},
                      TPainterCase{stpsUseLookAndFeel, lfStandard, false, true, "standard"},
                      TPainterCase{stpsUseLookAndFeel, lfFlat, false, true, "standard"},
                      TPainterCase{stpsUseLookAndFeel, lfUltraFlat, false, true, "flat"},
                      TPainterCase{stpsUseLookAndFeel, lfFlat, true, true, "themed"},
                      TPainterCase{stpsUseLookAndFeel, lfUltraFlat, true, false, "flat"}));

TEST_F(StatusBar, EffectivePaintStyleFollowsTheLookAndFeel) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  bar->SetPaintStyle(stpsUseLookAndFeel);
  bar->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(bar->GetPaintStyle(), stpsFlat);
  EXPECT_EQ(PainterName(bar->GetPainterClass()), "flat") << "a look-and-feel change chooses again";
  bar->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(bar->GetPaintStyle(), stpsXP);
  bar->SetPaintStyle(stpsOffice11);
  EXPECT_EQ(bar->GetPaintStyle(), stpsOffice11);
}

TEST_F(StatusBar, AThemeChangeChoosesThePainterAgain) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  bar->SetPaintStyle(stpsXP);
  Show(form);
  ASSERT_EQ(PainterName(bar->GetPainterClass()), "themed");
  ThemeEngine::SetEnabled(false);
  Pump();
  EXPECT_EQ(PainterName(bar->GetPainterClass()), "standard");
  ThemeEngine::SetEnabled(true);
  Pump();
  EXPECT_EQ(PainterName(bar->GetPainterClass()), "themed");
}

// ------------------------------------------------------------------ panel widths

TEST_F(StatusBar, WidthDefaultsAndTheMinimumRules) {
  TForm* form = NewForm(400, 120, bsDialog);  // no grip
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* bare = AddPanel(bar);
  EXPECT_EQ(bare->GetMinWidth(), 20) << "no style";
  EXPECT_EQ(bare->GetWidth(), 50);
  EXPECT_TRUE(bare->GetFixed());
  TzmStatusBarPanel* text = AddPanel(bar, "TzmStatusBarTextPanelStyle");
  EXPECT_EQ(text->GetMinWidth(), 22) << "the style's 20 and the bevel's 2";
  text->SetWidth(50);
  text->SetMinWidth(100);
  EXPECT_EQ(text->GetWidth(), 100) << "a width below a new minimum is raised";
  text->SetMinWidth(-5);
  EXPECT_EQ(text->GetMinWidth(), 0);
  EXPECT_TRUE(text->IsMinWidthAssigned());
  text->SetWidth(70);
  EXPECT_EQ(text->GetWidth(), 70);
  text->SetFixed(false);
  EXPECT_FALSE(text->GetFixed());
}

TEST_F(StatusBar, PanelsOfStylesThatDoNotSizeFollowTheirContent) {
  TForm* form = NewForm(400, 120, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* keys = AddPanel(bar, "TzmStatusBarKeyboardStatePanelStyle");
  TzmStatusBarPanel* lamps = AddPanel(bar, "TzmStatusBarStateIndicatorPanelStyle");
  keys->SetWidth(300);
  lamps->SetWidth(300);
  keys->SetFixed(false);
  EXPECT_FALSE(keys->IsWidthAssigned()) << "ignored";
  EXPECT_EQ(keys->GetWidth(), keys->GetMinWidth());
  EXPECT_EQ(lamps->GetWidth(), 22) << "no indicators: 20, and the bevel";
  EXPECT_TRUE(keys->GetFixed()) << "reads fixed whatever is stored";
  auto* style = static_cast<TzmStatusBarKeyboardStatePanelStyle*>(keys->GetPanelStyle());
  EXPECT_EQ(keys->GetMinWidth(), style->GetMinWidth()) << "the key cells draw their own borders";
  keys->SetMinWidth(keys->GetWidth() + 40);
  EXPECT_FALSE(keys->IsWidthAssigned()) << "a larger minimum does not assign the width either";
}

TEST_F(StatusBar, AFixedFirstPanelKeepsItsWidthAndTheLastTakesTheRest) {
  TForm* form = NewForm(600, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* first = AddPanel(bar);
  TzmStatusBarPanel* second = AddPanel(bar);
  first->SetWidth(200);
  second->SetWidth(1500);
  Show(form);
  // Panel frames are sunken edges: shadow at the left, highlight at the right. The panel area
  // starts below the 2-pixel top margin.
  EXPECT_EQ(ControlPixel(bar, {0, 10}), Rgb(clBtnShadow));
  EXPECT_EQ(ControlPixel(bar, {199, 10}), Rgb(clBtnHighlight)) << "the first keeps 200";
  EXPECT_EQ(ControlPixel(bar, {200, 10}), Rgb(clBtnFace)) << "the 2-pixel separator";
  EXPECT_EQ(ControlPixel(bar, {201, 10}), Rgb(clBtnFace));
  EXPECT_EQ(ControlPixel(bar, {202, 10}), Rgb(clBtnShadow));
  EXPECT_EQ(ControlPixel(bar, {599, 10}), Rgb(clBtnHighlight)) << "the second takes the rest";
  EXPECT_EQ(ControlPixel(bar, {100, 1}), Rgb(clBtnFace)) << "the top margin";
  EXPECT_EQ(ControlPixel(bar, {100, 2}), Rgb(clBtnShadow));
}

struct TPaintStyleCase {
  const char* Name;
  TzmStatusBarPaintStyle Style;
  friend void PrintTo(const TPaintStyleCase& c, std::ostream* os) { *os << c.Name; }
};

class StatusBarPaintStyles : public TStatusBarTest, public ::testing::WithParamInterface<TPaintStyleCase> {
 protected:
  // Three panels and a last one that takes the rest; the first has a colour of its own.
  static TzmStatusBar* AddSampleBar(TForm* AForm, TzmStatusBarPaintStyle AStyle) {
    TzmStatusBar* bar = AddBar(AForm);
    bar->SetPaintStyle(AStyle);
    for (const char* text : {"Own colour", "Middle", "Middle"}) {
      TzmStatusBarPanel* panel = AddPanel(bar, "TzmStatusBarTextPanelStyle");
      panel->SetText(text);
      panel->SetWidth(150);
    }
    static_cast<TzmStatusBarTextPanelStyle*>(bar->GetPanels()->GetItem(0)->GetPanelStyle())->SetColor(clYellow);
    TzmStatusBarPanel* last = AddPanel(bar, "TzmStatusBarTextPanelStyle");
    last->SetText("Last panel takes the rest");
    last->SetBevel(zmpbNone);
    return bar;
  }
};

// Every look spreads the panels as the standard bar does, so a last panel's text that one bar
// shows whole every bar shows whole, and a panel's own colour shows in it.
TEST_P(StatusBarPaintStyles, SpreadThePanelsAsTheStandardBarAndKeepTheirOwnColour) {
  TForm* form = NewForm(600, 100, bsDialog);
  TzmStatusBar* standard = AddSampleBar(form, stpsStandard);
  TzmStatusBar* bar = AddSampleBar(form, GetParam().Style);
  Show(form);
  EXPECT_EQ(ControlPixel(bar, {140, 10}), Rgb(clYellow)) << "the panel's own colour";
  const TRect last = Rect(3 * 152, 3, 600, 19);
  const TRect text = ControlInkBox(standard, last, clBtnFace);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_LT(text.Right, 599) << "the standard bar shows the text whole";
  EXPECT_EQ(ControlInkBox(bar, last, clBtnFace), text);
}

INSTANTIATE_TEST_SUITE_P(Looks, StatusBarPaintStyles,
                         ::testing::Values(TPaintStyleCase{"Flat", stpsFlat}, TPaintStyleCase{"Themed", stpsXP}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StatusBar, ABarWithoutPanelsShowsOneEmptyLoweredPanel) {
  TForm* form = NewForm(300, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  bar->SetBorderWidth(3);
  Show(form);
  EXPECT_EQ(ControlPixel(bar, {2, 10}), Rgb(clBtnFace)) << "a 3-pixel border band";
  EXPECT_EQ(ControlPixel(bar, {3, 10}), Rgb(clBtnShadow));
  EXPECT_EQ(ControlPixel(bar, {296, 10}), Rgb(clBtnHighlight));
  EXPECT_EQ(ControlPixel(bar, {150, 5}), Rgb(clBtnShadow)) << "margin 2 and band 3 above";
  EXPECT_EQ(ControlPixel(bar, {150, 16}), Rgb(clBtnHighlight)) << "band 3 below";
  bar->SetBorderWidth(-4);
  EXPECT_EQ(bar->GetBorderWidth(), 0);
}

TEST_F(StatusBar, HiddenPanelsKeepTheirPlaceAndAreDrawnEmpty) {
  TForm* form = NewForm(300, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* first = AddPanel(bar);
  AddPanel(bar);
  first->SetWidth(100);
  first->SetVisible(false);
  Show(form);
  EXPECT_EQ(ControlPixel(bar, {0, 10}), Rgb(clBtnFace)) << "no frame";
  EXPECT_EQ(ControlPixel(bar, {102, 10}), Rgb(clBtnShadow)) << "the next panel is where it was";
}

// ------------------------------------------------------------------ size grip

TEST_F(StatusBar, TheGripShowsOnlyInTheCornerOfANormalSizableForm) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  Show(form);
  EXPECT_TRUE(bar->IsSizeGripVisible());
  bar->SetSizeGrip(false);
  EXPECT_FALSE(bar->IsSizeGripVisible());
  bar->SetSizeGrip(true);
  form->SetBorderStyle(bsSizeToolWin);
  EXPECT_TRUE(bar->IsSizeGripVisible());
  form->SetBorderStyle(bsDialog);
  EXPECT_FALSE(bar->IsSizeGripVisible());
  form->SetBorderStyle(bsSizeable);
  form->SetWindowState(wsMaximized);
  EXPECT_FALSE(bar->IsSizeGripVisible());
  form->SetWindowState(wsNormal);
  bar->SetAlign(alTop);
  EXPECT_FALSE(bar->IsSizeGripVisible()) << "not in the form's bottom-right corner";
}

TEST_F(StatusBar, TheGripWidensTheLastPanelsMinimum) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* first = AddPanel(bar, "TzmStatusBarTextPanelStyle");
  TzmStatusBarPanel* last = AddPanel(bar, "TzmStatusBarTextPanelStyle");
  Show(form);
  EXPECT_EQ(first->GetMinWidth(), 22);
  EXPECT_EQ(last->GetMinWidth(), 22 + 16);
}

TEST_F(StatusBar, TheGripAnswersTheBottomRightSizingBorder) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  Show(form);
  auto hit = [&](Integer x, Integer y) {
    const TPoint s = bar->ClientToScreen({x, y});
    return SendMessage(bar->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(WORD(s.X), WORD(s.Y)));
  };
  EXPECT_EQ(hit(399, 19), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(400 - 18, 20 - 18), HTBOTTOMRIGHT) << "the grip's 16 pixels and 2 more";
  EXPECT_EQ(hit(400 - 19, 10), HTCLIENT);
  EXPECT_EQ(hit(10, 10), HTCLIENT);
  form->SetWindowState(wsMaximized);
  EXPECT_EQ(hit(bar->GetWidth() - 1, 19), HTCLIENT) << "no grip, the default answer";
}

TEST_F(StatusBar, DraggingTheGripSizesTheForm) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  Show(form);
  const Integer width = form->GetWidth(), height = form->GetHeight();
  const TPoint grip = bar->ClientToScreen({bar->GetWidth() - 4, bar->GetHeight() - 4});
  // The sizing loop takes the steps one per idle turn, as a hand would make them.
  RunWhenIdle({[&] { Headless::MoveMouse(grip.X + 40, grip.Y + 30); }, [] { Headless::MouseUp(); }});
  Headless::MoveMouse(grip.X, grip.Y);
  Headless::MouseDown();
  Pump();
  Headless::SetIdleHandler(nullptr);
  EXPECT_EQ(form->GetWidth(), width + 40);
  EXPECT_EQ(form->GetHeight(), height + 30);
  EXPECT_EQ(bar->GetWidth(), form->GetClientWidth()) << "the bar follows the form";
}

TEST_F(StatusBar, TheStandardGripIsDrawnInTheCorner) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  Show(form);
  // The platform's grip: diagonal lines of highlight and shadow up from the corner.
  EXPECT_TRUE(Shows(bar, Rect(384, 4, 399, 19), clBtnHighlight));
  EXPECT_TRUE(Shows(bar, Rect(384, 4, 399, 19), clBtnShadow));
  bar->SetSizeGrip(false);
  Repaint(bar);
  EXPECT_FALSE(Shows(bar, Rect(384, 4, 397, 17), clBtnShadow)) << "inside the panel: no edge, no grip";
}

// ------------------------------------------------------------------ styles by name

TEST(StatusBarRegistry, HoldsTheFourStylesInOrder) {
  TqvRegisteredClasses* registry = GetRegisteredStatusBarPanelStyles();
  ASSERT_EQ(registry->GetCount(), 4);
  EXPECT_EQ(registry->GetItem(0), &TzmStatusBarTextPanelStyle::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(0), "Text Panel");
  EXPECT_EQ(registry->GetItem(1), &TzmStatusBarContainerPanelStyle::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(1), "Container Panel");
  EXPECT_EQ(registry->GetItem(2), &TzmStatusBarKeyboardStatePanelStyle::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(2), "Keyboard State Panel");
  EXPECT_EQ(registry->GetItem(3), &TzmStatusBarStateIndicatorPanelStyle::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(3), "State Indicator Panel");
  EXPECT_EQ(GetClass("TzmStatusBarContainerControl"), &TzmStatusBarContainerControl::StaticClass())
      << "the container control streams";
  EXPECT_EQ(FindStatusBarPanelStyleClass("TzmStatusBarTextPanelStyle"), &TzmStatusBarTextPanelStyle::StaticClass());
  EXPECT_EQ(FindStatusBarPanelStyleClass(""), nullptr);
  EXPECT_EQ(FindStatusBarPanelStyleClass("TzmStatusBarPanel"), nullptr);
}

TEST_F(StatusBar, StyleClassNamesMakeAndReplaceStyles) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* panel = AddPanel(bar);
  EXPECT_EQ(panel->GetPanelStyle(), nullptr) << "a panel made at run time has no style";
  panel->SetPanelStyleClassName("TzmStatusBarTextPanelStyle");
  TzmStatusBarPanelStyle* text = panel->GetPanelStyle();
  ASSERT_TRUE(text && text->IsExactly<TzmStatusBarTextPanelStyle>());
  EXPECT_EQ(text->GetPanel(), panel);
  EXPECT_EQ(text->GetStatusBar(), bar);
  panel->SetPanelStyleClassName("TzmStatusBarTextPanelStyle");
  EXPECT_EQ(panel->GetPanelStyle(), text) << "the same class keeps the style";
  panel->SetPanelStyleClassName("TzmStatusBarStateIndicatorPanelStyle");
  EXPECT_TRUE(panel->GetPanelStyle()->IsExactly<TzmStatusBarStateIndicatorPanelStyle>());
  EXPECT_EQ(panel->GetPanelStyleClassName(), "TzmStatusBarStateIndicatorPanelStyle");
  panel->SetPanelStyleClassName("TNoSuchPanelStyle");
  EXPECT_EQ(panel->GetPanelStyle(), nullptr) << "an unknown name loads without a style";
  EXPECT_EQ(panel->GetPanelStyleClassName(), "");
}

TEST_F(StatusBar, APanelWithoutAStyleDrawsItsBorderAndBackground) {
  TForm* form = NewForm(300, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  AddPanel(bar, "TNoSuchPanelStyle")->SetText("never shown");
  bar->SetColor(clYellow);
  Show(form);
  EXPECT_EQ(ControlPixel(bar, {0, 10}), Rgb(clBtnShadow));
  EXPECT_FALSE(Shows(bar, Rect(1, 3, 299, 19), clBlack)) << "no text";
  EXPECT_EQ(ControlPixel(bar, {150, 10}), Rgb(clYellow)) << "the bar's colour";
}

TEST_F(StatusBar, APanelMadeAtDesignTimeGetsTheDefaultStyle) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  bar->SetDesigning(true);
  TzmStatusBarPanelStyle* style = bar->GetPanels()->Add()->GetPanelStyle();
  ASSERT_NE(style, nullptr);
  EXPECT_TRUE(style->IsExactly<TzmStatusBarTextPanelStyle>());
  bar->BeginLoading();
  EXPECT_EQ(bar->GetPanels()->Add()->GetPanelStyle(), nullptr) << "a loading bar reads the stored class";
  bar->EndLoading();
  bar->SetDesigning(false);
}

TEST_F(StatusBar, PanelsCopyFromAnotherBar) {
  TForm* form = NewForm();
  TzmStatusBar* source = AddBar(form);
  TzmStatusBarPanel* panel = AddPanel(source, "TzmStatusBarTextPanelStyle");
  panel->SetText("Ready");
  panel->SetBevel(zmpbRaised);
  panel->SetWidth(120);
  panel->GetPanelStyle()->SetAlignment(taCenter);
  TzmStatusBar* copy = AddBar(form);
  copy->SetPanels(source->GetPanels());
  ASSERT_EQ(copy->GetPanels()->GetCount(), 1);
  TzmStatusBarPanel* copied = copy->GetPanels()->GetItem(0);
  EXPECT_EQ(copied->GetText(), "Ready");
  EXPECT_EQ(copied->GetBevel(), zmpbRaised);
  EXPECT_EQ(copied->GetWidth(), 120);
  ASSERT_NE(copied->GetPanelStyle(), panel->GetPanelStyle());
  EXPECT_EQ(copied->GetPanelStyle()->GetAlignment(), taCenter);
  EXPECT_EQ(copied->GetPanelStyle()->GetStatusBar(), copy);
  EXPECT_EQ(copied->GetDisplayName(), "Ready");
}

// ------------------------------------------------------------------ notifications

TEST_F(StatusBar, APanelChangeRepaintsTheBar) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* panel = AddPanel(bar, "TzmStatusBarTextPanelStyle");
  Show(form);
  RECT update{};
  ASSERT_FALSE(GetUpdateRect(bar->GetHandle(), &update, FALSE));
  panel->SetText("Connected to 192.168.0.10");
  EXPECT_TRUE(GetUpdateRect(bar->GetHandle(), &update, FALSE));
  Pump();
  panel->SetText("Connected to 192.168.0.10");
  EXPECT_FALSE(GetUpdateRect(bar->GetHandle(), &update, FALSE)) << "the same text is no change";
  panel->GetPanelStyle()->SetAlignment(taRightJustify);
  EXPECT_TRUE(GetUpdateRect(bar->GetHandle(), &update, FALSE)) << "a style change too";
}

TEST_F(StatusBar, PanelsFollowTheBarsBiDiModeUntilGivenTheirOwn) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  TzmStatusBarPanel* follower = AddPanel(bar);
  TzmStatusBarPanel* own = AddPanel(bar);
  own->SetBiDiMode(bdLeftToRight);
  EXPECT_FALSE(own->GetParentBiDiMode());
  bar->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(follower->GetBiDiMode(), bdRightToLeft);
  EXPECT_EQ(own->GetBiDiMode(), bdLeftToRight);
  own->SetParentBiDiMode(true);
  EXPECT_EQ(own->GetBiDiMode(), bdRightToLeft);
  EXPECT_EQ(AddPanel(bar)->GetBiDiMode(), bdRightToLeft) << "a new panel starts with the bar's";
}

TEST_F(StatusBar, FreeingTheImageListClearsIt) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  auto* images = New<TImageList>(form);
  bar->SetImages(images);
  EXPECT_EQ(bar->GetImages(), images);
  Free(images);
  EXPECT_EQ(bar->GetImages(), nullptr);
}

TEST_F(StatusBar, OnHintRunsThroughDoHint) {
  TForm* form = NewForm();
  TzmStatusBar* bar = AddBar(form);
  EXPECT_FALSE(bar->DoHint());
  Integer hints = 0;
  bar->OnHint = [&](TObject* Sender) {
    EXPECT_EQ(Sender, bar);
    ++hints;
  };
  EXPECT_TRUE(bar->DoHint());
  EXPECT_EQ(hints, 1);
}

// A shown form with a focused edit and a bar whose second text panel takes hints.
class StatusBarHints : public TStatusBarTest {
 protected:
  void SetUp() override {
    TStatusBarTest::SetUp();
    Form = NewForm();
    auto* edit = New<TEdit>(Form);
    edit->SetParent(Form);
    Bar = AddBar(Form);
    AddPanel(Bar, "TzmStatusBarTextPanelStyle")->SetText("first");
    HintPanel = AddPanel(Bar, "TzmStatusBarTextPanelStyle");
    HintPanel->SetText("ready");
    Show(Form);
    Form->SetActiveControl(edit);
  }
  void TearDown() override {
    Application->OnHint = nullptr;
    Application->SetHint("");
    TStatusBarTest::TearDown();
  }
  TzmStatusBarTextPanelStyle* HintStyle() const {
    return static_cast<TzmStatusBarTextPanelStyle*>(HintPanel->GetPanelStyle());
  }

  TForm* Form = nullptr;
  TzmStatusBar* Bar = nullptr;
  TzmStatusBarPanel* HintPanel = nullptr;
};

TEST_F(StatusBarHints, TheApplicationsHintShowsInTheAutoHintPanelWithoutTheFocus) {
  HintStyle()->SetAutoHint(true);
  Application->SetHint("Opens a channel file");
  EXPECT_EQ(HintPanel->GetText(), "Opens a channel file");
  EXPECT_EQ(Bar->GetPanels()->GetItem(0)->GetText(), "first");
  THintAction action(nullptr);
  action.SetHint("Saves the channel file");
  EXPECT_TRUE(Bar->ExecuteAction(&action)) << "the panel took it";
  EXPECT_EQ(HintPanel->GetText(), "Saves the channel file");
}

TEST_F(StatusBarHints, WithOnHintTheHandlerRunsAndTheActionGoesOn) {
  HintStyle()->SetAutoHint(true);
  Integer hints = 0;
  Bar->OnHint = [&](TObject*) { ++hints; };
  THintAction action(nullptr);
  action.SetHint("Saves the channel file");
  EXPECT_FALSE(Bar->ExecuteAction(&action)) << "the default handling does not take a hint";
  EXPECT_EQ(hints, 1);
  EXPECT_EQ(HintPanel->GetText(), "ready");
}

TEST_F(StatusBarHints, WithoutAnAutoHintPanelOrForOtherActionsNothingChanges) {
  THintAction hint(nullptr);
  hint.SetHint("Saves the channel file");
  EXPECT_FALSE(Bar->ExecuteAction(&hint));
  HintStyle()->SetAutoHint(true);
  TAction other(nullptr);
  other.SetHint("Not a hint action");
  EXPECT_FALSE(Bar->ExecuteAction(&other));
  EXPECT_EQ(HintPanel->GetText(), "ready");
  EXPECT_EQ(Bar->GetPanels()->GetItem(0)->GetText(), "first");
}

TEST_F(StatusBarHints, AHiddenBarTakesNoHintsFromTheApplication) {
  HintStyle()->SetAutoHint(true);
  Bar->SetVisible(false);
  Application->SetHint("Opens a channel file");
  EXPECT_EQ(HintPanel->GetText(), "ready");
}

// ------------------------------------------------------------------ the gradient bar

TEST_F(StatusBar, AGradientBarRunsFromTheFirstToTheSecondColourWithTheMiddleInRowTen) {
  ThemeEngine::SetEnabled(false);  // the system colour scheme either way; the classic palette
  TForm* form = NewForm(300, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  bar->SetPaintStyle(stpsOffice11);
  Show(form);
  const TzmOffice11Colors& c = zmOffice11::GetColors();
  EXPECT_EQ(c.MiddlePosition, 75);
  EXPECT_EQ(ControlPixel(bar, {0, 0}), Rgb(c.BarColor1));
  EXPECT_EQ(ControlPixel(bar, {0, 10}), Rgb(static_cast<TColor>(RGB(223, 223, 223)))) << "M of 241 and 194 at 75";
  EXPECT_EQ(ControlPixel(bar, {0, 19}), Rgb(c.BarColor2));
  EXPECT_EQ(ControlPixel(bar, {1, 10}), Rgb(zmOffice11::MixColors(c.BarColor2, clBlack, 90))) << "the panel frame";
}

TEST_F(StatusBar, GradientColoursFollowASystemColourChange) {
  TForm* form = NewForm(300, 100, bsDialog);
  TzmStatusBar* bar = AddBar(form);
  bar->SetPaintStyle(stpsOffice11);
  Show(form);
  const COLORREF face = RGB(100, 150, 200);
  const int index = COLOR_BTNFACE;
  SetSysColors(1, &index, &face);
  SendMessage(form->GetHandle(), WM_SYSCOLORCHANGE, 0, 0);
  Pump();
  EXPECT_EQ(ControlPixel(bar, {0, 0}), Rgb(zmOffice11::MixColors(clBtnFace, clWindow, 22)));
  EXPECT_EQ(ControlPixel(bar, {0, 0}), Rgb(static_cast<TColor>(RGB(221, 232, 243))));
}

TEST_F(StatusBar, EveryBarHoldsOneReferenceOnTheScheme) {
  const Integer before = zmOffice11::GetReferenceCount();
  TForm* form = NewForm();
  TzmStatusBar* a = AddBar(form);
  AddBar(form);
  EXPECT_EQ(zmOffice11::GetReferenceCount(), before + 2);
  Free(a);
  EXPECT_EQ(zmOffice11::GetReferenceCount(), before + 1);
  Free(form);
  EXPECT_EQ(zmOffice11::GetReferenceCount(), before);
}

}  // namespace
