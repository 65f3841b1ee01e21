// Form frames and placement, reflected notifications, accelerators and actions.
#include "ControlsTestSupport.h"

#include "platform/forms/ActnList.h"

namespace {

class FormsStyleTest : public TFormsTest {};

TEST_F(FormsStyleTest, BorderStyleAndIconsPickTheWindowFrame) {
  struct TCase {
    TFormBorderStyle Border;
    DWORD Has, HasNot, ExHas;
  };
  const TCase cases[] = {
      {bsNone, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0},
      {bsSingle, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_THICKFRAME | WS_POPUP, 0},
      {bsSizeable, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, WS_POPUP, 0},
      {bsDialog, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME},
      {bsToolWindow, WS_CAPTION, WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, WS_CAPTION | WS_THICKFRAME, WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Border));
    TForm* form = NewForm();
    form->SetBorderStyle(c.Border);
    form->SetClientWidth(150);
    form->SetClientHeight(80);
    form->Show();
    auto style = static_cast<DWORD>(GetWindowLong(form->GetHandle(), GWL_STYLE));
    auto ex = static_cast<DWORD>(GetWindowLong(form->GetHandle(), GWL_EXSTYLE));
    EXPECT_EQ(style & c.Has, c.Has);
    EXPECT_EQ(style & c.HasNot, 0u);
    EXPECT_EQ(ex & c.ExHas, c.ExHas);
    EXPECT_EQ(form->GetClientRect(), Rect(0, 0, 150, 80)) << "the client size set before the window exists holds";
    Free(form);
  }
  TForm* form = NewForm();
  form->Show();
  HWND before = form->GetHandle();
  form->SetBorderIcons(biSystemMenu);
  EXPECT_EQ(GetWindowLong(form->GetHandle(), GWL_STYLE) & static_cast<LONG>(WS_MAXIMIZEBOX), 0);
  EXPECT_NE(form->GetHandle(), before) << "a new frame needs a new window";
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  form->SetFormStyle(fsStayOnTop);
  EXPECT_TRUE(GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & static_cast<LONG>(WS_EX_TOPMOST));
}

TEST_F(FormsStyleTest, ConstraintsBoundTheSizeTheBorderIsDraggedTo) {
  TForm* form = NewForm(300, 200, 100, 100);
  form->GetConstraints()->SetMaxWidth(400);
  form->GetConstraints()->SetMinHeight(150);
  form->Show();
  Pump();
  TRect before = form->GetBoundsRect();
  RunWhenIdle({[&] { Headless::MoveMouse(before.Right + 300, before.Top + 300); }, [] { Headless::MouseUp(); }});
  Headless::MoveMouse(before.Right - 1, before.Top + 1);  // the top-right corner
  Headless::MouseDown();
  Pump();
  EXPECT_EQ(form->GetWidth(), 400);
  EXPECT_EQ(form->GetHeight(), 150);
  EXPECT_EQ(form->GetTop(), before.Bottom - 150);
}

TEST_F(FormsStyleTest, PixelsPerInchReportsTheScreensResolution) {
  EXPECT_EQ(Screen->GetPixelsPerInch(), 96);
  Headless::SetScreenDpi(144);
  EXPECT_EQ(Screen->GetPixelsPerInch(), 144);
  TForm* form = NewForm(300, 200, 100, 100);
  form->Show();
  Pump();
  EXPECT_EQ(form->GetClientWidth(), 300) << "coordinates stay in units of 96 dpi";
  EXPECT_EQ(Headless::WindowSurface(form->GetHandle())->Width, form->GetWidth() * 3 / 2);
}

TEST_F(FormsStyleTest, PositionPlacesTheFormWhenShown) {
  TForm* main = NewForm(400, 300, 100, 50);
  main->Show();
  Application->SetMainForm(main);
  TForm* centered = NewForm(200, 100, 0, 0);
  centered->SetPosition(poScreenCenter);
  centered->Show();
  EXPECT_EQ(centered->GetLeft(), (Screen->GetWidth() - centered->GetWidth()) / 2);
  EXPECT_EQ(centered->GetTop(), (Screen->GetHeight() - centered->GetHeight()) / 2);
  TForm* onMain = NewForm(200, 100, 0, 0);
  onMain->SetPosition(poMainFormCenter);
  onMain->Show();
  EXPECT_EQ(onMain->GetLeft() + onMain->GetWidth() / 2, main->GetLeft() + main->GetWidth() / 2);
  EXPECT_EQ(onMain->GetTop() + onMain->GetHeight() / 2, main->GetTop() + main->GetHeight() / 2);
  TForm* designed = NewForm(200, 100, 7, 9);
  designed->Show();
  EXPECT_EQ(designed->GetBoundsRect().TopLeft(), (TPoint{7, 9}));
  Application->SetMainForm(nullptr);
}

TEST_F(FormsStyleTest, WindowStateAndLayeringFollowTheWindow) {
  TForm* form = NewForm();
  form->Show();
  form->SetWindowState(wsMaximized);
  EXPECT_TRUE(IsZoomed(form->GetHandle()));
  EXPECT_EQ(form->GetWindowState(), wsMaximized);
  form->SetWindowState(wsNormal);
  EXPECT_EQ(form->GetWindowState(), wsNormal);
  form->SetAlphaBlendValue(128);
  form->SetAlphaBlend(true);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form->GetHandle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_TRUE(flags & LWA_ALPHA);
  form->SetTransparentColorValue(clFuchsia);
  form->SetTransparentColor(true);
  COLORREF key = 0;
  GetLayeredWindowAttributes(form->GetHandle(), &key, &alpha, &flags);
  EXPECT_EQ(key, ColorToRGB(clFuchsia));
  EXPECT_TRUE(flags & LWA_COLORKEY);
}

TEST_F(FormsStyleTest, ActivatingAnotherFormDeactivatesTheFirst) {
  std::vector<std::string> log;
  TForm* one = NewForm(100, 100, 0, 0);
  TForm* two = NewForm(100, 100, 200, 0);
  for (TForm* f : {one, two}) {
    std::string name = f == one ? "one" : "two";
    f->OnActivate = [&log, name](TObject*) { log.push_back(name + ":activate"); };
    f->OnDeactivate = [&log, name](TObject*) { log.push_back(name + ":deactivate"); };
  }
  one->Show();
  two->Show();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"one:activate", "one:deactivate", "two:activate"}));
  EXPECT_TRUE(two->GetActive());
  EXPECT_FALSE(one->GetActive());
  EXPECT_EQ(Screen->GetActiveForm(), two);
  log.clear();
  two->Hide();
  Pump();
  EXPECT_TRUE(one->GetActive()) << "hiding the active form activates the next one";
  EXPECT_EQ(log, (std::vector<std::string>{"two:deactivate", "one:activate"}));
}

TEST_F(FormsStyleTest, NotificationsToTheParentComeBackToTheChildReflected) {
  TForm* form = NewForm();
  auto* child = Add<TProbeControl>(form, "child", Rect(0, 0, 20, 20));
  form->Show();
  SendMessage(form->GetHandle(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(child->GetHandle()));
  SendMessage(form->GetHandle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(child->GetHandle()));
  EXPECT_EQ(child->Count(CN_COMMAND), 1);
  EXPECT_EQ(child->Count(CN_VSCROLL), 1);
}

// Answers the accelerator Alt+<Key> (CM_DIALOGCHAR) by taking the focus, like a label's
// focus control.
class TAcceleratorProbe : public TProbeControl {
  QJ_INLINE_CLASS(TAcceleratorProbe, TProbeControl)
 public:
  using TProbeControl::TProbeControl;
  char Key = 0;
  void WndProc(TMessage& M) override {
    if (M.Msg == CM_DIALOGCHAR && static_cast<char>(M.WParam) == Key) {
      SetFocus();
      M.Result = 1;
      return;
    }
    TProbeControl::WndProc(M);
  }
};

TEST_F(FormsStyleTest, AltAcceleratorsReachTheControlThatAnswersThem) {
  TForm* form = NewForm();
  auto* first = Add<TProbeControl>(form, "first", Rect(0, 0, 20, 20));
  auto* target = Add<TAcceleratorProbe>(form, "target", Bounds(30, 0, 20, 20));
  target->Key = 'g';
  form->Show();
  Pump();
  ASSERT_TRUE(first->Focused());
  Headless::PressKey('G', skAlt);
  Pump();
  EXPECT_TRUE(target->Focused());
}

// A control that is the target of clipboard-like actions.
class TActionTarget : public TProbeControl {
  QJ_INLINE_CLASS(TActionTarget, TProbeControl)
 public:
  using TProbeControl::TProbeControl;
  int Executed = 0;
  bool ExecuteAction(TBasicAction* Action) override {
    if (Action->GetName() != "copy") return false;
    ++Executed;
    return true;
  }
};

TEST_F(FormsStyleTest, ActionsRunTheirHandlerOrReachTheFocusedControl) {
  TForm* form = NewForm();
  auto* target = Add<TActionTarget>(form, "target", Rect(0, 0, 20, 20));
  form->Show();
  Pump();
  auto* copy = New<TAction>(form);
  copy->SetName("copy");
  EXPECT_TRUE(copy->Execute()) << "without a handler it goes to the focused control";
  EXPECT_EQ(target->Executed, 1);
  auto* paste = New<TAction>(form);
  paste->SetName("paste");
  EXPECT_FALSE(paste->Execute()) << "nobody handles it";
  int ran = 0;
  paste->OnExecute = [&](TObject*) { ++ran; };
  EXPECT_TRUE(paste->Execute());
  paste->SetEnabled(false);
  EXPECT_FALSE(paste->Execute());
  EXPECT_EQ(ran, 1);

  auto* left = New<TAction>(form);
  auto* right = New<TAction>(form);
  for (TAction* a : {left, right}) {
    a->SetGroupIndex(1);
    a->SetAutoCheck(true);
    a->OnExecute = [](TObject*) {};
  }
  left->Execute();
  EXPECT_TRUE(left->GetChecked());
  right->Execute();
  EXPECT_TRUE(right->GetChecked());
  EXPECT_FALSE(left->GetChecked()) << "one checked action per group";

  auto* button = Add<TProbeControl>(form, "button", Bounds(0, 30, 20, 20));
  button->SetAction(copy);
  button->Click();
  EXPECT_EQ(target->Executed, 2) << "a control's click runs its action";
  Free(copy);
  EXPECT_EQ(button->GetAction(), nullptr) << "a freed action is forgotten";
}

// Takes hint actions: the last hint it was given.
class THintTarget : public TProbeControl {
  QJ_INLINE_CLASS(THintTarget, TProbeControl)
 public:
  using TProbeControl::TProbeControl;
  String Hint;
  bool ExecuteAction(TBasicAction* Action) override {
    auto* hint = As<THintAction>(Action);
    if (!hint) return false;
    Hint = hint->GetHint();
    return true;
  }
};

TEST_F(FormsStyleTest, TheApplicationsHintReachesAVisibleControlWithoutTheFocus) {
  TForm* form = NewForm();
  auto* focused = Add<TProbeControl>(form, "focused", Rect(0, 0, 20, 20));
  auto* panel = Add<TProbeControl>(form, "panel", Bounds(30, 0, 60, 60));
  auto* target = New<THintTarget>(form);
  target->SetParent(panel);
  target->SetBounds(0, 0, 20, 20);
  form->Show();
  Pump();
  ASSERT_TRUE(focused->Focused());
  Application->SetHint("Opens a file");
  EXPECT_EQ(target->Hint, "Opens a file") << "the form's controls are asked, nested ones too";
  target->SetVisible(false);
  Application->SetHint("Saves the file");
  EXPECT_EQ(target->Hint, "Opens a file") << "a hidden control is not asked";
  target->SetVisible(true);
  Integer handled = 0;
  Application->OnHint = [&](TObject*) { ++handled; };
  Application->SetHint("Closes the file");
  Application->OnHint = nullptr;
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(target->Hint, "Opens a file") << "OnHint takes the hint instead of the action";
  Application->SetHint("");
}

}  // namespace
