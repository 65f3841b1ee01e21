// Menus: shortcut texts, the item tree and its window-system menu, the menu bar driven by keys
// and the mouse, shortcuts from anywhere in the form, pop-up menus on right click and the menu
// key, and items drawn here.
#include <vector>

#include "ControlsTestSupport.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"

namespace {

// ------------------------------------------------------------------ shortcuts and captions

struct TShortCutCase {
  Word Key;
  TShiftState Shift;
  const char* Text;
};

TEST(MenusShortCut, TextAndKeysRoundTrip) {
  const TShortCutCase cases[] = {
      {'S', ssCtrl, "Ctrl+S"},           {VK_F5, 0, "F5"},
      {VK_DELETE, ssShift, "Shift+Del"}, {VK_BACK, ssAlt, "Alt+BkSp"},
      {'1', ssCtrl | ssShift, "Shift+Ctrl+1"}, {VK_RETURN, ssCtrl, "Ctrl+Enter"},
      {VK_F12, ssCtrl | ssAlt, "Ctrl+Alt+F12"}, {VK_NUMPAD3, 0, "Num 3"},
  };
  for (const TShortCutCase& c : cases) {
    TShortCut sc = ShortCut(c.Key, c.Shift);
    EXPECT_EQ(ShortCutToText(sc), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), sc) << c.Text;
    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(sc, key, shift);
    EXPECT_EQ(key, c.Key);
    EXPECT_EQ(shift, c.Shift);
  }
  EXPECT_EQ(ShortCut(VK_RETURN, ssCtrl), 16397) << "the encoding programs store";
  EXPECT_EQ(TextToShortCut("ctrl+shift+s"), scCtrl | scShift | 'S') << "names are read without case";
}

TEST(MenusShortCut, UnknownTextAndKeysGiveNothing) {
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Banana"), 0);
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(scCtrl | 0xFF), "") << "a key without a name";
  EXPECT_EQ(ShortCut(0x1234, ssCtrl), 0) << "keys above one byte are no shortcut";
}

TEST(MenusShortCut, HotkeysHonourDoubledAmpersands) {
  EXPECT_EQ(GetHotkey("&File"), 'F');
  EXPECT_EQ(GetHotkey("Save &as"), 'A');
  EXPECT_EQ(GetHotkey("Fish && &Chips"), 'C');
  EXPECT_EQ(GetHotkey("Fish && Chips"), 0);
  EXPECT_EQ(GetHotkey("Trailing&"), 0);
  EXPECT_EQ(StripHotkey("Fish && &Chips"), "Fish & Chips");
  EXPECT_TRUE(IsAccel('c', "Fish && &Chips"));
  EXPECT_FALSE(IsAccel('F', "Fish && &Chips"));
  EXPECT_FALSE(IsAccel('X', "No marks"));
}

// ------------------------------------------------------------------ fixture

class MenusTest : public TFormsTest {
 protected:
  void TearDown() override {
    for (TComponent* c : Owned) Free(c);
    Owned.clear();
    TFormsTest::TearDown();
  }

  template <class T>
  T* Keep(T* c) {
    Owned.push_back(c);
    return c;
  }

  TMenuItem* Item(const char* caption, std::vector<String>* log = nullptr, TShortCut sc = 0) {
    TMenuItem* item = NewItem(caption, sc, false, true, nullptr);
    if (log) item->OnClick = [log, caption](TObject*) { log->push_back(StripHotkey(caption)); };
    return item;
  }

  // A form with a focused control and a File/Edit bar.
  TForm* FormWithBar(std::vector<String>& log) {
    TForm* form = NewForm(400, 200, 100, 100);
    Probe = Add<TProbeControl>(form, "probe", Rect(10, 10, 100, 60));
    Probe->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
      if (key >= 'A' && key <= 'Z') ProbeKeys.push_back(key);
    };
    File = NewSubMenu("&File", 0, "", {Item("&New", &log, ShortCut('N', ssCtrl)), Item("&Open", &log), NewLine(),
                                        Item("E&xit", &log)});
    Edit = NewSubMenu("&Edit", 0, "", {Item("&Copy", &log, ShortCut('C', ssCtrl)), Item("&Paste", &log)});
    Bar = NewMenu(form, "", {File, Edit});
    form->SetMenu(Bar);
    form->Show();
    Probe->SetFocus();
    Pump();
    return form;
  }

  std::vector<TComponent*> Owned;
  TProbeControl* Probe = nullptr;
  std::vector<Word> ProbeKeys;  // letter keys only
  TMainMenu* Bar = nullptr;
  TMenuItem* File = nullptr;
  TMenuItem* Edit = nullptr;
};

// ------------------------------------------------------------------ the item tree

TEST_F(MenusTest, TreeRefusesBadInsertsAndFreesSubItems) {
  auto* menu = Keep(New<TPopupMenu>(nullptr));
  TMenuItem* a = Item("A");
  TMenuItem* sub = NewSubMenu("Sub", 0, "", {Item("B")});
  menu->GetItems()->Add(a);
  menu->GetItems()->Add(sub);
  EXPECT_THROW(menu->GetItems()->Add(a), EMenuError) << "an item has one parent";
  EXPECT_THROW(sub->Add(sub), EMenuError);
  EXPECT_THROW(sub->GetItem(0)->Add(menu->GetItems()), EMenuError) << "no cycles through the root";
  TMenuItem* stray = Item("C");
  EXPECT_THROW(menu->GetItems()->Insert(5, stray), EMenuError);
  Free(stray);
  EXPECT_THROW(menu->GetItems()->GetItem(2), EMenuError);
  EXPECT_THROW(menu->GetItems()->Remove(sub->GetItem(0)), EMenuError);
  EXPECT_EQ(menu->GetItems()->Find("a"), a);
  EXPECT_EQ(sub->GetParentMenu(), menu);
  sub->GetItem(0)->SetMenuIndex(0);
  a->SetMenuIndex(1);
  EXPECT_EQ(a->GetMenuIndex(), 1);
  menu->GetItems()->Delete(0);  // frees Sub and B
  EXPECT_EQ(menu->GetItems()->GetCount(), 1);
}

TEST_F(MenusTest, ItemsOwnedByAFormGoWithItInEitherOrder) {
  for (bool itemsFirst : {true, false}) {
    TForm* form = NewForm();
    TMenuItem* early = itemsFirst ? New<TMenuItem>(form) : nullptr;
    auto* menu = New<TPopupMenu>(form);
    TMenuItem* late = New<TMenuItem>(form);
    if (early) menu->GetItems()->Add(early);
    menu->GetItems()->Add(late);
    auto* child = New<TMenuItem>(form);
    late->Add(child);
    menu->GetHandle();
    std::vector<TAliveToken> parts = {menu->AliveToken(), late->AliveToken(), child->AliveToken()};
    if (early) parts.push_back(early->AliveToken());
    Free(form);
    for (const TAliveToken& part : parts) EXPECT_FALSE(part.Alive()) << "items first: " << itemsFirst;
  }
}

TEST_F(MenusTest, WindowSystemMenuFollowsTheItems) {
  auto* menu = Keep(New<TPopupMenu>(nullptr));
  TMenuItem* save = Item("&Save", nullptr, ShortCut('S', ssCtrl));
  TMenuItem* hidden = Item("Hidden");
  TMenuItem* sub = NewSubMenu("&More", 0, "", {Item("One")});
  for (TMenuItem* i : {save, NewLine(), hidden, sub}) menu->GetItems()->Add(i);
  hidden->SetVisible(false);
  HMENU h = menu->GetHandle();
  ASSERT_EQ(GetMenuItemCount(h), 3) << "invisible items are left out";
  char text[64];
  GetMenuString(h, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Save\tCtrl+S");
  EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetSubMenu(h, 2), sub->GetHandle());

  save->SetEnabled(false);
  save->SetChecked(true);
  save->SetDefault(true);
  UINT state = GetMenuState(h, 0, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_GRAYED);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_DEFAULT);
  hidden->SetVisible(true);
  EXPECT_EQ(GetMenuItemCount(h), 4);
  sub->Clear();
  EXPECT_EQ(GetSubMenu(h, 3), nullptr) << "an item without sub-items opens nothing";
}

TEST_F(MenusTest, RadioItemsOfAGroupCheckOneAtATime) {
  auto* menu = Keep(New<TPopupMenu>(nullptr));
  std::vector<TMenuItem*> items;
  for (int i = 0; i < 4; ++i) {
    TMenuItem* item = Item("R");
    item->SetRadioItem(true);
    item->SetGroupIndex(i < 3 ? 1 : 2);
    menu->GetItems()->Add(item);
    items.push_back(item);
  }
  items[0]->SetChecked(true);
  items[3]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->GetChecked());
  EXPECT_TRUE(items[1]->GetChecked());
  EXPECT_TRUE(items[3]->GetChecked()) << "another group keeps its check";
  items[2]->SetAutoCheck(true);
  items[2]->Click();
  EXPECT_TRUE(items[2]->GetChecked());
  EXPECT_FALSE(items[1]->GetChecked());
  EXPECT_TRUE(GetMenuState(menu->GetHandle(), 2, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(menu->GetHandle(), 1, MF_BYPOSITION) & MF_CHECKED);
}

// ------------------------------------------------------------------ the menu bar

struct TBarKeysCase {
  const char* Name;
  BYTE OpenKey;
  unsigned OpenShift;
  std::vector<BYTE> Keys;  // pressed one at a time while the menu runs
  const char* Chosen;
};

TEST_F(MenusTest, BarIsDrivenByTheKeyboard) {
  const TBarKeysCase cases[] = {
      {"Alt+letter, arrow, Enter", 'F', skAlt, {VK_DOWN, VK_RETURN}, "Open"},
      {"F10, right, down, mnemonic", VK_F10, skNone, {VK_RIGHT, VK_DOWN, 'P'}, "Paste"},
      {"Alt alone, down opens, Enter", VK_MENU, skNone, {VK_DOWN, VK_RETURN}, "New"},
      {"Alt+letter, Up wraps to the last item", 'F', skAlt, {VK_UP, VK_RETURN}, "Exit"},
  };
  std::vector<String> log;
  TForm* form = FormWithBar(log);
  EXPECT_EQ(GetMenu(form->GetHandle()), Bar->GetHandle());
  EXPECT_GT(GetMenuBarHeight(form->GetHandle()), 0);
  for (const TBarKeysCase& c : cases) {
    log.clear();
    std::vector<TInputStep> steps;
    for (BYTE key : c.Keys) steps.push_back([key] { Headless::PressKey(key); });
    RunWhenIdle(std::move(steps));
    Headless::PressKey(c.OpenKey, c.OpenShift);
    Pump();
    EXPECT_EQ(log, std::vector<String>{c.Chosen}) << c.Name;
  }
}

TEST_F(MenusTest, SelectedItemsShowTheirLongHintInTheApplication) {
  std::vector<String> log;
  FormWithBar(log);
  File->GetItem(1)->SetHint("Open|Opens a channel list");
  String during;
  RunWhenIdle({[] { Headless::PressKey(VK_DOWN); }, [&] {
                 during = Application->GetHint();
                 Headless::PressKey(VK_ESCAPE);
               },
               [] { Headless::PressKey(VK_ESCAPE); }});
  Headless::PressKey('F', skAlt);
  Pump();
  EXPECT_EQ(during, "Opens a channel list");
  EXPECT_EQ(Application->GetHint(), "") << "closing the menu clears the hint";
}

TEST_F(MenusTest, EscapeLeavesTheBarWithoutACommand) {
  std::vector<String> log;
  FormWithBar(log);
  RunWhenIdle({[] { Headless::PressKey(VK_ESCAPE); }, [] { Headless::PressKey(VK_ESCAPE); }});
  Headless::PressKey('F', skAlt);
  Pump();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GetMenuOwner(), nullptr);
}

TEST_F(MenusTest, BarWorksWithTheMouseAndSubMenuParentsHearTheirOpening) {
  std::vector<String> log;
  TForm* form = FormWithBar(log);
  File->OnClick = [&](TObject*) { log.push_back("File opens"); };
  RECT bar;
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), Bar->GetHandle(), 0, &bar));
  RunWhenIdle({[&] {
         RECT r;
         ASSERT_TRUE(GetMenuItemRect(nullptr, File->GetHandle(), 3, &r));
         Headless::Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
       }});
  Headless::Click((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2);
  Pump();
  EXPECT_EQ(log, (std::vector<String>{"File opens", "Exit"}));
}

// ------------------------------------------------------------------ shortcuts

TEST_F(MenusTest, ShortCutsReachTheirItemsFromAFocusedControl) {
  std::vector<String> log;
  FormWithBar(log);
  Headless::PressKey('N', skCtrl);
  Pump();
  EXPECT_EQ(log, std::vector<String>{"New"});
  EXPECT_TRUE(ProbeKeys.empty()) << "a key taken by a menu does not reach the control";

  Edit->GetItem(0)->SetEnabled(false);
  Headless::PressKey('C', skCtrl);
  Pump();
  EXPECT_EQ(log.size(), 1u) << "a disabled item's shortcut does nothing";
  EXPECT_EQ(ProbeKeys, std::vector<Word>{'C'}) << "and the key goes on to the control";

  Edit->GetItem(0)->SetEnabled(true);
  Edit->SetVisible(false);
  Headless::PressKey('C', skCtrl);
  Pump();
  EXPECT_EQ(log.size(), 1u) << "items under a hidden parent are out of reach";
}

TEST_F(MenusTest, ShortCutsGoToTheFormHandlerFirstAndThenToTheMainForm) {
  std::vector<String> log;
  TForm* main = FormWithBar(log);
  Application->SetMainForm(main);
  bool formSaw = false;
  main->OnShortCut = [&](TMessage& M, bool& handled) {
    formSaw = true;
    handled = ShortCutFromMessage(M) == ShortCut('Q', ssCtrl);
  };
  Headless::PressKey('Q', skCtrl);
  Pump();
  EXPECT_TRUE(formSaw);
  EXPECT_TRUE(ProbeKeys.empty()) << "the handler took the key";

  TForm* other = NewForm(200, 100, 500, 500);
  auto* otherProbe = Add<TProbeControl>(other, "other", Rect(0, 0, 50, 50));
  other->Show();
  otherProbe->SetFocus();
  Pump();
  Headless::PressKey('N', skCtrl);
  Pump();
  EXPECT_EQ(log, std::vector<String>{"New"}) << "the main form's menu answers for a form without one";
  Application->SetMainForm(nullptr);
}

// ------------------------------------------------------------------ pop-up menus

class PopupMenusTest : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    Form = NewForm(300, 200, 100, 100);
    Target = Add<TProbeControl>(Form, "target", Rect(20, 20, 120, 80));
    Popup = New<TPopupMenu>(Form);
    Popup->GetItems()->Add(Item("&Cut", &Log));
    Popup->GetItems()->Add(Item("Co&py", &Log, ShortCut('P', ssCtrl)));
    Popup->OnPopup = [this](TObject*) { Log.push_back("popup"); };
    Target->SetPopupMenu(Popup);
    Form->Show();
    Target->SetFocus();
    Pump();
  }

  TForm* Form = nullptr;
  TProbeControl* Target = nullptr;
  TPopupMenu* Popup = nullptr;
  std::vector<String> Log;
};

TEST_F(PopupMenusTest, RightClickShowsTheMenuAtTheMouse) {
  TPoint at = Target->ClientToScreen({30, 25});
  RunWhenIdle({[] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_RETURN); }});
  Headless::Click(at.X, at.Y, 1);
  Pump();
  EXPECT_EQ(Log, (std::vector<String>{"popup", "Copy"}));
  EXPECT_EQ(Popup->GetPopupComponent(), Target);
  EXPECT_EQ(Popup->GetPopupPoint(), at);
  EXPECT_TRUE(Target->Focused()) << "the focus comes back to the control";
  EXPECT_TRUE(Form->GetActive());
}

TEST_F(PopupMenusTest, MenuKeyShowsTheMenuAndEscapeCancels) {
  bool closed = false;
  Popup->OnClose = [&](TObject*) { closed = true; };
  RunWhenIdle({[] { Headless::PressKey(VK_ESCAPE); }});
  Headless::PressKey(VK_APPS);
  Pump();
  EXPECT_EQ(Log, std::vector<String>{"popup"});
  EXPECT_TRUE(closed);
  EXPECT_EQ(Popup->GetPopupPoint(), Target->ClientToScreen({0, 0})) << "the keyboard opens it at the control";
}

TEST_F(PopupMenusTest, HandledContextPopupOrNoAutoPopupShowsNothing) {
  TPoint at = Target->ClientToScreen({10, 10});
  Popup->SetAutoPopup(false);
  Headless::Click(at.X, at.Y, 1);
  Pump();
  Popup->SetAutoPopup(true);
  Target->OnContextPopup = [](TObject*, TPoint, bool& handled) { handled = true; };
  Headless::Click(at.X, at.Y, 1);
  Pump();
  EXPECT_TRUE(Log.empty());
}

TEST_F(PopupMenusTest, ShortCutsOfTheControlsPopupMenuWork) {
  Headless::PressKey('P', skCtrl);
  Pump();
  EXPECT_EQ(Log, std::vector<String>{"Copy"});
}

TEST_F(PopupMenusTest, FreeingTheMenuClearsTheControlsReferenceAndAClickMayFreeTheMenu) {
  Popup->GetItems()->GetItem(0)->OnClick = [this](TObject*) { FreeAndNil(Popup); };
  RunWhenIdle({[] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_RETURN); }});
  Popup->Popup(200, 200);
  EXPECT_EQ(Popup, nullptr);
  EXPECT_EQ(Target->GetPopupMenu(), nullptr);
}

// ------------------------------------------------------------------ items drawn here

TEST_F(PopupMenusTest, ItemsWithImagesAreMeasuredAndDrawnByTheMenu) {
  auto* images = New<TImageList>(Form);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  images->Add(&glyph, nullptr);
  Popup->SetImages(images);
  TMenuItem* cut = Popup->GetItems()->GetItem(0);
  cut->SetImageIndex(0);
  EXPECT_TRUE(GetMenuState(Popup->GetHandle(), 0, MF_BYPOSITION) & MF_OWNERDRAW);
  int measured = 0;
  std::vector<TOwnerDrawState> drawn;
  cut->OnMeasureItem = [&](TObject*, TCanvas*, Integer& w, Integer& h) {
    ++measured;
    EXPECT_GT(w, 16);
    h = 30;
  };
  cut->OnAdvancedDrawItem = [&](TObject*, TCanvas* canvas, TRect r, TOwnerDrawState state) {
    EXPECT_EQ(r.Height(), 30);
    canvas->GetBrush()->SetColor(clRed);
    canvas->FillRect(r);
    drawn.push_back(state);
  };
  RunWhenIdle({[] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_ESCAPE); }});
  Popup->Popup(150, 150);
  EXPECT_GE(measured, 1);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front() & odSelected, 0u);
  EXPECT_NE(drawn.back() & odSelected, 0u) << "the selected item is drawn again as selected";
  cut->OnMeasureItem = nullptr;
  cut->OnAdvancedDrawItem = nullptr;
  Free(images);
  EXPECT_EQ(Popup->GetImages(), nullptr);
  EXPECT_FALSE(GetMenuState(Popup->GetHandle(), 0, MF_BYPOSITION) & MF_OWNERDRAW);
}

}  // namespace
