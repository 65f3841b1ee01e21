// Focus, tab order, enter/exit chains, key preview and dialog keys, with real key input.
#include "ControlsTestSupport.h"

namespace {

class ControlsFocusTest : public TFormsTest {
 protected:
  // form: a (panel: b, c), d, plus a disabled e and an invisible f.
  void Build() {
    form = NewForm(300, 200);
    a = Add<TProbeControl>(form, "a", Rect(0, 0, 50, 20));
    panel = Add<TProbeControl>(form, "panel", Rect(0, 30, 200, 100));
    panel->SetTabStop(false);
    b = Add<TProbeControl>(panel, "b", Rect(0, 0, 50, 20));
    c = Add<TProbeControl>(panel, "c", Bounds(60, 0, 50, 20));
    d = Add<TProbeControl>(form, "d", Bounds(0, 140, 50, 20));
    e = Add<TProbeControl>(form, "e", Bounds(60, 140, 50, 20));
    e->SetEnabled(false);
    f = Add<TProbeControl>(form, "f", Bounds(120, 140, 50, 20));
    f->SetVisible(false);
    for (TProbeControl* p : {a, panel, b, c, d, e, f}) p->Log = &log;
  }
  TWinControl* Focused() { return FindControl(GetFocus()); }

  TForm* form = nullptr;
  TProbeControl *a = nullptr, *panel = nullptr, *b = nullptr, *c = nullptr, *d = nullptr, *e = nullptr, *f = nullptr;
  std::vector<std::string> log;
};

TEST_F(ControlsFocusTest, ShowingAFormFocusesTheFirstTabStop) {
  Build();
  form->Show();
  Pump();
  EXPECT_EQ(Focused(), a);
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(form->GetActiveControl(), a);
  EXPECT_EQ(Screen->GetActiveControl(), a);
  EXPECT_EQ(Screen->GetActiveCustomForm(), form);
  EXPECT_TRUE(form->GetActive());
}

TEST_F(ControlsFocusTest, TabAndShiftTabWalkTheTabOrderSkippingWhatCannotFocus) {
  Build();
  form->Show();
  Pump();
  std::vector<std::string> visited;
  for (int i = 0; i < 5; ++i) {
    Headless::PressKey(VK_TAB);
    Pump();
    visited.push_back(Focused() ? Focused()->GetName() : "none");
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"b", "c", "d", "a", "b"}));
  Headless::PressKey(VK_TAB, skShift);
  Pump();
  EXPECT_EQ(Focused(), a);
  EXPECT_EQ(a->Count(WM_CHAR), 0) << "a Tab that moved the focus is not typed";

  d->SetTabOrder(0);
  EXPECT_EQ(d->GetTabOrder(), 0);
  EXPECT_EQ(a->GetTabOrder(), 1);
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  std::vector<std::string> names;
  for (TWinControl* w : order) names.push_back(w->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"d", "a", "panel", "b", "c", "e", "f"}));
  d->SetTabOrder(99);
  EXPECT_EQ(d->GetTabOrder(), 4) << "out of range goes last";
}

TEST_F(ControlsFocusTest, EnterAndExitRunAlongTheChainBetweenOldAndNewControl) {
  Build();
  form->Show();
  Pump();
  b->SetFocus();
  log.clear();
  c->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"b:exit", "c:enter"})) << "the shared panel is neither left nor entered";
  log.clear();
  d->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"c:exit", "panel:exit", "d:enter"}));
  log.clear();
  b->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"d:exit", "panel:enter", "b:enter"}));
  EXPECT_FALSE(e->CanFocus());
  EXPECT_FALSE(f->CanFocus());
  EXPECT_THROW(form->SetActiveControl(e), EInvalidOperation);
  EXPECT_EQ(Focused(), b);
}

TEST_F(ControlsFocusTest, HidingOrDisablingTheFocusedControlGivesTheFocusBack) {
  Build();
  form->Show();
  Pump();
  c->SetFocus();
  panel->Hide();
  EXPECT_EQ(form->GetActiveControl(), nullptr);
  EXPECT_EQ(GetFocus(), form->GetHandle());
  d->SetFocus();
  Free(d);
  d = nullptr;
  EXPECT_EQ(form->GetActiveControl(), nullptr) << "a freed control is no longer active";
}

TEST_F(ControlsFocusTest, KeyPreviewLetsTheFormSeeKeysFirstAndSwallowThem) {
  Build();
  std::vector<std::string> seen;
  form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    seen.push_back("form:" + std::to_string(key));
    if (key == 'X') key = 0;
  };
  a->OnKeyDown = [&](TObject*, Word& key, TShiftState shift) {
    seen.push_back("a:" + std::to_string(key) + ((shift & ssCtrl) ? "+ctrl" : ""));
  };
  a->OnKeyPress = [&](TObject*, char& ch) { seen.push_back(std::string("press:") + ch); };
  form->Show();
  Pump();
  Headless::PressKey('A');
  Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"a:65", "press:a"})) << "without preview the form hears nothing";
  seen.clear();
  a->OnKeyPress = nullptr;
  form->SetKeyPreview(true);
  Headless::PressKey('A', skCtrl);
  Headless::PressKey('X');
  Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"form:17", "a:17+ctrl", "form:65", "a:65+ctrl", "form:88"}));
}

TEST_F(ControlsFocusTest, DialogKeysGoToTheFormUnlessTheControlWantsThem) {
  Build();
  d->DialogKeyAnswer = 1;  // plays the cancel button
  form->Show();
  Pump();
  log.clear();
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"d:dialogkey"})) << "Esc is broadcast to the form's controls";
  EXPECT_EQ(a->Count(WM_KEYDOWN), 0) << "an answered dialog key is not delivered";

  a->DlgCode = DLGC_WANTTAB | DLGC_WANTARROWS;
  Headless::PressKey(VK_TAB);
  Headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(Focused(), a) << "the control keeps keys it asks for";
  EXPECT_EQ(a->Count(WM_KEYDOWN), 2);

  a->DlgCode = 0;
  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(Focused(), panel) << "arrows select the next control, tab stop or not";
}

}  // namespace
