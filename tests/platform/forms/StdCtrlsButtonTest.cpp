// Buttons closing modal forms with Enter and Esc, clicks by mouse, space and accelerators;
// check boxes, radio groups and label accelerators.
#include "ControlsTestSupport.h"

#include "platform/forms/StdCtrls.h"
#include "platform/os/Theme.h"

namespace {

class StdCtrlsButtonTest : public TFormsTest {
 protected:
  void BuildDialog() {
    dialog = NewForm(260, 120, 40, 40);
    edit = Add<TEdit>(dialog, "edit", Rect(10, 10, 200, 31));
    ok = Add<TButton>(dialog, "ok", Rect(10, 80, 85, 105));
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel = Add<TButton>(dialog, "cancel", Rect(95, 80, 170, 105));
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    ok->OnClick = [this](TObject*) { ++okClicks; };
  }
  // Runs the dialog modally, doing Action once the loop is idle the first time.
  TModalResult RunModal(std::function<void()> Action) {
    OnceIdle(std::move(Action));
    return dialog->ShowModal();
  }
  void ScreenPress(TControl* c, TPoint at) {
    TPoint p = c->ClientToScreen(at);
    Headless::MoveMouse(p.X, p.Y);
    Headless::MouseDown();
  }

  // The pixels of a control as its form shows them.
  static std::vector<uint32_t> Shown(TControl* c) {
    std::vector<uint32_t> pixels;
    for (Integer y = 0; y < c->GetHeight(); ++y)
      for (Integer x = 0; x < c->GetWidth(); ++x)
        pixels.push_back(ClientPixel(GetParentForm(c), c->ClientToParent({x, y}, GetParentForm(c))));
    return pixels;
  }

  TForm* dialog = nullptr;
  TEdit* edit = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
  int okClicks = 0;
};

TEST_F(StdCtrlsButtonTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  struct TCase {
    BYTE Key;
    TModalResult Expected;
  };
  for (TCase c : {TCase{VK_RETURN, mrOk}, TCase{VK_ESCAPE, mrCancel}}) {
    BuildDialog();
    EXPECT_EQ(RunModal([c] { Headless::PressKey(c.Key); }), c.Expected);
    EXPECT_EQ(okClicks, c.Key == VK_RETURN ? 1 : 0);
    Free(dialog);
    okClicks = 0;
  }
}

TEST_F(StdCtrlsButtonTest, AFocusedButtonTakesEnterFromTheDefault) {
  BuildDialog();
  auto* other = Add<TButton>(dialog, "other", Rect(180, 80, 250, 105));
  other->SetModalResult(mrRetry);
  EXPECT_EQ(RunModal([other, this] {
              EXPECT_TRUE(ok->IsActive());
              other->SetFocus();
              EXPECT_FALSE(ok->IsActive());
              EXPECT_TRUE(other->IsActive());
              Headless::PressKey(VK_RETURN);
            }),
            mrRetry);
}

TEST_F(StdCtrlsButtonTest, FocusRectangleLeavesWithTheFocus) {
  BuildDialog();
  dialog->Show();
  edit->SetFocus();
  Pump();
  std::vector<uint32_t> unfocused = Shown(cancel);
  cancel->SetFocus();
  Pump();
  EXPECT_NE(Shown(cancel), unfocused) << "a focused button shows its focus rectangle";
  edit->SetFocus();
  Pump();
  EXPECT_EQ(Shown(cancel), unfocused);
}

TEST_F(StdCtrlsButtonTest, FocusRectangleLeavesWhenAnotherFormTakesTheFocus) {
  BuildDialog();
  auto* box = Add<TCheckBox>(dialog, "box", Rect(10, 40, 100, 60));
  box->SetCaption("Box");
  dialog->Show();
  edit->SetFocus();
  Pump();
  std::vector<uint32_t> plain = Shown(box);
  box->SetFocus();
  Pump();
  ASSERT_NE(Shown(box), plain);
  TForm* other = NewForm(100, 100, 500, 500);
  other->Show();
  Pump();
  EXPECT_EQ(Shown(box), plain);
}

TEST_F(StdCtrlsButtonTest, DefaultButtonRegainsItsFrameWhenTheFocusLeavesAnotherButton) {
  BuildDialog();
  dialog->Show();
  edit->SetFocus();
  Pump();
  std::vector<uint32_t> framed = Shown(ok);
  cancel->SetFocus();
  Pump();
  EXPECT_NE(Shown(ok), framed) << "another focused button takes the default frame";
  edit->SetFocus();
  Pump();
  EXPECT_EQ(Shown(ok), framed);
}

// Each look of a button by its state: themed every state has its own face, the hot one
// included, and the rounded corners show the form; classic there is no hot look.
struct TButtonLookCase {
  const char* Name;
  bool Themes;
  friend void PrintTo(const TButtonLookCase& c, std::ostream* os) { *os << c.Name; }
};

class StdCtrlsButtonLook : public StdCtrlsButtonTest, public ::testing::WithParamInterface<TButtonLookCase> {
 protected:
  void TearDown() override {
    ThemeEngine::SetEnabled(true);
    StdCtrlsButtonTest::TearDown();
  }
};

TEST_P(StdCtrlsButtonLook, ShowsTheStates) {
  ThemeEngine::SetEnabled(GetParam().Themes);
  BuildDialog();
  dialog->SetColor(clYellow);
  dialog->Show();
  edit->SetFocus();
  Pump();
  const std::vector<uint32_t> normal = Shown(cancel), defaulted = Shown(ok);
  const TPoint centre = cancel->ClientToScreen({cancel->GetWidth() / 2, cancel->GetHeight() / 2});
  Headless::MoveMouse(centre.X, centre.Y);
  Pump();
  const std::vector<uint32_t> hot = Shown(cancel);
  Headless::MouseDown();
  Pump();
  const std::vector<uint32_t> pressed = Shown(cancel);
  Headless::MouseUp();
  const TPoint away = dialog->ClientToScreen({240, 60});
  Headless::MoveMouse(away.X, away.Y);
  edit->SetFocus();
  Pump();
  EXPECT_EQ(Shown(cancel), normal) << "the mouse left";
  cancel->SetEnabled(false);
  Pump();
  const std::vector<uint32_t> disabled = Shown(cancel);
  EXPECT_NE(defaulted, normal);
  EXPECT_NE(pressed, normal);
  EXPECT_NE(disabled, normal);
  EXPECT_EQ(GetParam().Themes, hot != normal) << "only themed buttons have a hot look";
  if (GetParam().Themes) EXPECT_EQ(normal.front() & 0xFFFFFF, 0xFFFF00u) << "the corner shows the yellow form";
}

INSTANTIATE_TEST_SUITE_P(Looks, StdCtrlsButtonLook,
                         ::testing::Values(TButtonLookCase{"Themed", true}, TButtonLookCase{"Classic", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StdCtrlsButtonTest, SpaceAndAcceleratorClickTheButton) {
  BuildDialog();
  EXPECT_EQ(RunModal([this] {
              ok->SetFocus();
              Headless::PressKey(VK_SPACE);
            }),
            mrOk);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(RunModal([] { Headless::PressKey('O', skAlt); }), mrOk);
  EXPECT_EQ(okClicks, 2);
}

TEST_F(StdCtrlsButtonTest, AMouseClickCountsOnlyWhenReleasedOverTheButton) {
  TForm* form = NewForm(200, 100, 0, 0);
  auto* button = Add<TButton>(form, "b", Rect(10, 10, 90, 35));
  int clicked = 0;
  button->OnClick = [&](TObject*) { ++clicked; };
  form->Show();
  Pump();
  ScreenPress(button, {5, 5});
  Pump();
  TPoint outside = button->ClientToScreen({150, 50});
  Headless::MoveMouse(outside.X, outside.Y);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(clicked, 0);
  EXPECT_TRUE(button->Focused()) << "pressing takes the focus";
  TPoint inside = button->ClientToScreen({5, 5});
  Headless::Click(inside.X, inside.Y);
  Pump();
  EXPECT_EQ(clicked, 1);
  button->SetEnabled(false);
  Headless::Click(inside.X, inside.Y);
  Pump();
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(form->GetModalResult(), mrNone) << "a button without a result leaves the form's alone";
}

TEST_F(StdCtrlsButtonTest, CheckBoxTogglesByClickSpaceAndCode) {
  TForm* form = NewForm(200, 100, 0, 0);
  auto* box = Add<TCheckBox>(form, "box", Rect(10, 10, 120, 27));
  box->SetCaption("&Check");
  int clicked = 0;
  box->OnClick = [&](TObject*) { ++clicked; };
  form->Show();
  Pump();
  TPoint p = box->ClientToScreen({5, 8});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_TRUE(box->GetChecked());
  Headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_FALSE(box->GetChecked());
  Headless::PressKey('C', skAlt);
  Pump();
  EXPECT_TRUE(box->GetChecked());
  EXPECT_EQ(clicked, 3);
  box->SetClicksDisabled(true);
  box->SetChecked(false);
  EXPECT_EQ(clicked, 3) << "no OnClick while clicks are disabled";
  box->SetClicksDisabled(false);
  box->SetAllowGrayed(true);
  Headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(box->GetState(), cbGrayed);
  Headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(box->GetState(), cbChecked);
}

TEST_F(StdCtrlsButtonTest, RadioButtonsOfAParentAreExclusiveAndArrowsCheckThem) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* group = Add<TGroupBox>(form, "group", Rect(10, 10, 200, 120));
  group->SetCaption("Mode");
  std::vector<TRadioButton*> radios;
  for (int i = 0; i < 3; ++i) radios.push_back(Add<TRadioButton>(group, ("r" + std::to_string(i)).c_str(), Rect(10, 20 + i * 25, 150, 37 + i * 25)));
  auto* outside = Add<TRadioButton>(form, "outside", Rect(10, 150, 150, 167));
  outside->SetChecked(true);
  radios[0]->SetChecked(true);
  form->Show();
  Pump();
  EXPECT_TRUE(outside->GetChecked()) << "another parent is another group";
  TPoint p = radios[2]->ClientToScreen({5, 8});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_TRUE(radios[2]->GetChecked());
  EXPECT_FALSE(radios[0]->GetChecked());
  EXPECT_TRUE(radios[2]->GetTabStop());
  EXPECT_FALSE(radios[0]->GetTabStop()) << "only the checked one is a tab stop";
  Headless::PressKey(VK_UP);
  Pump();
  EXPECT_TRUE(radios[1]->GetChecked()) << "moving onto a radio button checks it";
  EXPECT_FALSE(radios[2]->GetChecked());
  TRect client = group->GetClientRect();
  group->AdjustClientRect(client);
  EXPECT_GT(client.Top, 0) << "children sit below the caption";
}

TEST_F(StdCtrlsButtonTest, LabelAcceleratorFocusesItsFocusControl) {
  TForm* form = NewForm(300, 120, 0, 0);
  auto* first = Add<TEdit>(form, "first", Rect(100, 10, 200, 31));
  auto* second = Add<TEdit>(form, "second", Rect(100, 40, 200, 61));
  auto* label = New<TLabel>(form);
  label->SetParent(form);
  label->SetCaption("&Name");
  label->SetFocusControl(second);
  form->Show();
  Pump();
  ASSERT_TRUE(first->Focused());
  Headless::PressKey('N', skAlt);
  Pump();
  EXPECT_TRUE(second->Focused());
  Free(second);
  EXPECT_EQ(label->GetFocusControl(), nullptr) << "the label hears its control go";
  first->SetFocus();
  Pump();
  Headless::PressKey('N', skAlt);
  Pump();
  EXPECT_TRUE(first->Focused());
}

TEST_F(StdCtrlsButtonTest, LabelAutoSizeFollowsTheCaption) {
  TForm* form = NewForm(300, 120, 0, 0);
  auto* label = New<TLabel>(form);
  label->SetParent(form);
  label->SetCaption("A");
  Integer narrow = label->GetWidth();
  label->SetCaption("A much longer caption");
  EXPECT_GT(label->GetWidth(), narrow);
  label->SetAlignment(taRightJustify);
  Integer right = label->GetLeft() + label->GetWidth();
  label->SetCaption("Short");
  EXPECT_EQ(label->GetLeft() + label->GetWidth(), right) << "right-aligned text keeps its right edge";
  label->SetCaption("");
  EXPECT_GT(label->GetHeight(), 0) << "an empty caption keeps one line";
  label->SetCaption("&&");
  label->SetShowAccelChar(false);
  Integer both = label->GetWidth();
  label->SetShowAccelChar(true);
  EXPECT_LT(label->GetWidth(), both) << "\"&&\" shows one '&'";
}

}  // namespace
