// The "LISTBOX" window class: items and searches, the selection modes by mouse and keys, owner
// drawing, type-ahead, columns, virtual lists, scrolling and item heights of 0.
#include "WinTestSupport.h"
#include "platform/os/Gdi.h"

namespace {

class WinListBoxTest : public TWinTest {
 protected:
  HWND Parent = nullptr;

  void SetUp() override {
    TWinTest::SetUp();
    Parent = Top(100, 100, 400, 400);
  }

  HWND List(DWORD style, int width = 150, int height = 100, std::initializer_list<const char*> items = {}) {
    HWND lb = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | style, 10, 10, width, height,
                             Parent, reinterpret_cast<HMENU>(intptr_t(9)), nullptr, nullptr);
    EXPECT_NE(lb, nullptr);
    for (const char* s : items) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetFocus(lb);
    Pump();
    MsgLog().clear();
    return lb;
  }

  static String Item(HWND lb, int i) {
    char buffer[256] = {};
    if (SendMessage(lb, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buffer)) == LB_ERR) return "<err>";
    return buffer;
  }

  static std::vector<int> Selection(HWND lb) {
    int items[64];
    LRESULT n = SendMessage(lb, LB_GETSELITEMS, 64, reinterpret_cast<LPARAM>(items));
    if (n == LB_ERR) return {int(SendMessage(lb, LB_GETCURSEL, 0, 0))};
    return std::vector<int>(items, items + n);
  }

  int SelChanges() const {
    int n = 0;
    for (const TLoggedMsg& m : MsgLog()) n += m.Wnd == Parent && m.Msg == WM_COMMAND && HIWORD(m.W) == LBN_SELCHANGE;
    return n;
  }

  // Clicks the middle of an item, with shift keys held.
  void ClickItem(HWND lb, int i, unsigned shift = skNone) {
    RECT r;
    SendMessage(lb, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(lb, &p);
    Headless::AdvanceClock(1000);
    if (shift & skShift) Headless::KeyDown(VK_SHIFT);
    if (shift & skCtrl) Headless::KeyDown(VK_CONTROL);
    Headless::Click(p.X, p.Y);
    if (shift & skCtrl) Headless::KeyUp(VK_CONTROL);
    if (shift & skShift) Headless::KeyUp(VK_SHIFT);
    Pump();
  }

  // A key of the window system alone (no application loop in these tests).
  static void Press(BYTE vk, unsigned shift = skNone) {
    Headless::PressKey(vk, shift);
    Pump();
  }
};

TEST_F(WinListBoxTest, ItemsAreAddedInsertedDeletedAndFound) {
  HWND lb = List(0, 150, 100, {"pear", "Apple", "fig"});
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Item(lb, 0), "pear");
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")), 1);
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("lime")), 4);
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("bad")), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_GETTEXTLEN, 1, 0), 4);
  EXPECT_EQ(SendMessage(lb, LB_GETTEXTLEN, 7, 0), LB_ERR);
  EXPECT_EQ(Item(lb, 5), "<err>");
  EXPECT_EQ(SendMessage(lb, LB_SETITEMDATA, 2, 1234), TRUE);
  EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 2, 0), 1234);

  struct TFindCase {
    UINT Msg;
    int Start;
    const char* Key;
    LRESULT Expected;
  };
  const TFindCase finds[] = {
      {LB_FINDSTRING, -1, "AP", 2},      {LB_FINDSTRING, 2, "ap", 2},  {LB_FINDSTRING, -1, "l", 4},
      {LB_FINDSTRINGEXACT, -1, "FIG", 3}, {LB_FINDSTRINGEXACT, -1, "fi", LB_ERR}, {LB_FINDSTRING, -1, "zz", LB_ERR},
      {LB_FINDSTRING, 3, "p", 0},
  };
  for (const TFindCase& f : finds)
    EXPECT_EQ(SendMessage(lb, f.Msg, WPARAM(intptr_t(f.Start)), reinterpret_cast<LPARAM>(f.Key)), f.Expected)
        << f.Key << " from " << f.Start;

  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 0, 0), 4);
  EXPECT_EQ(Item(lb, 0), "kiwi");
  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 4, 0), LB_ERR);
  SendMessage(lb, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 0);

  HWND sorted = List(LBS_SORT, 150, 100, {"pear", "Apple", "fig", "banana"});
  std::vector<String> order;
  for (int i = 0; i < 4; ++i) order.push_back(Item(sorted, i));
  EXPECT_EQ(order, (std::vector<String>{"Apple", "banana", "fig", "pear"}));
}

TEST_F(WinListBoxTest, SingleSelectionFollowsClicksAndKeysAndNotifies) {
  HWND lb = List(0, 150, 100, {"a", "b", "c", "d"});
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SelChanges(), 0) << "the program's selection is not notified";
  ClickItem(lb, 1);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SelChanges(), 1);
  ClickItem(lb, 1);
  EXPECT_EQ(SelChanges(), 2) << "every click on an item notifies";
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3);
  Press(VK_DOWN);
  EXPECT_EQ(SelChanges(), 4) << "a key that changes nothing does not notify";
  Press(VK_HOME);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_SETSEL, TRUE, 1), LB_ERR) << "LB_SETSEL is for multiple selection";

  RECT r;
  SendMessage(lb, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  POINT p{r.Left + 5, r.Top + 2};
  ClientToScreen(lb, &p);
  MsgLog().clear();
  Headless::AdvanceClock(1000);
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(Count(WM_COMMAND, Parent), 2);
  EXPECT_EQ(HIWORD(Last(WM_COMMAND, Parent)->W), LBN_DBLCLK);
}

TEST_F(WinListBoxTest, MultipleSelectionTogglesItems) {
  HWND lb = List(LBS_MULTIPLESEL, 150, 100, {"a", "b", "c", "d"});
  ClickItem(lb, 1);
  ClickItem(lb, 3);
  EXPECT_EQ(Selection(lb), (std::vector<int>{1, 3}));
  ClickItem(lb, 1);
  EXPECT_EQ(Selection(lb), (std::vector<int>{3}));
  Press(VK_UP);
  Press(VK_SPACE);
  EXPECT_EQ(Selection(lb), (std::vector<int>{0, 3})) << "arrows move the focus only; space toggles";
  EXPECT_EQ(SendMessage(lb, LB_GETCARETINDEX, 0, 0), 0);
  SendMessage(lb, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessage(lb, LB_GETSELCOUNT, 0, 0), 4);
  SendMessage(lb, LB_SETSEL, FALSE, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETSEL, 0, 0), 0);
  EXPECT_EQ(SendMessage(lb, LB_GETSEL, 1, 0), 1);
  EXPECT_EQ(SendMessage(lb, LB_GETSEL, 9, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, 1, 0), LB_ERR);
}

TEST_F(WinListBoxTest, ExtendedSelectionUsesTheAnchorShiftAndCtrl) {
  HWND lb = List(LBS_EXTENDEDSEL, 150, 150, {"a", "b", "c", "d", "e", "f"});
  struct TStep {
    int Item;  // -1: a key instead
    BYTE Vk;
    unsigned Shift;
    std::vector<int> Expected;
  };
  const TStep steps[] = {
      {1, 0, skNone, {1}},          {3, 0, skShift, {1, 2, 3}},  {5, 0, skCtrl, {1, 2, 3, 5}},
      {2, 0, skCtrl, {1, 3, 5}},    {-1, VK_DOWN, skNone, {3}},  {-1, VK_DOWN, skShift, {3, 4}},
      {-1, VK_HOME, skShift, {0, 1, 2, 3}}, {0, 0, skShift, {0, 1, 2, 3}},
  };
  for (const TStep& s : steps) {
    if (s.Item >= 0)
      ClickItem(lb, s.Item, s.Shift);
    else
      Press(s.Vk, s.Shift);
    EXPECT_EQ(Selection(lb), s.Expected) << "item " << s.Item << " key " << int(s.Vk);
  }
  SendMessage(lb, LB_SELITEMRANGEEX, 4, 5);
  EXPECT_EQ(SendMessage(lb, LB_GETSELCOUNT, 0, 0), 6);
  SendMessage(lb, LB_SELITEMRANGEEX, 5, 1);
  EXPECT_EQ(Selection(lb), (std::vector<int>{0}));
  EXPECT_GT(SelChanges(), 0);
}

TEST_F(WinListBoxTest, OwnerDrawAsksTheParentToMeasureAndDraw) {
  std::vector<DRAWITEMSTRUCT> drawn;
  std::vector<UINT> measured;
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg == WM_MEASUREITEM) {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      EXPECT_EQ(mi->CtlType, ODT_LISTBOX);
      EXPECT_EQ(mi->CtlID, 9u);
      measured.push_back(mi->itemID);
      mi->itemHeight = 10 + 5 * (mi->itemData % 3);
      result = TRUE;
      return true;
    }
    if (msg == WM_DRAWITEM) {
      drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
      result = TRUE;
      return true;
    }
    return false;
  };
  HWND fixed = List(LBS_OWNERDRAWFIXED, 150, 100);
  EXPECT_EQ(measured, (std::vector<UINT>{0})) << "a fixed height is measured once";
  EXPECT_EQ(SendMessage(fixed, LB_GETITEMHEIGHT, 0, 0), 10);
  for (int i = 0; i < 3; ++i) SendMessage(fixed, LB_ADDSTRING, 0, LPARAM(100 + i));
  EXPECT_EQ(SendMessage(fixed, LB_GETITEMDATA, 1, 0), 101) << "without strings the item is its data";
  SendMessage(fixed, LB_SETCURSEL, 1, 0);
  drawn.clear();
  RedrawWindow(fixed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_EQ(drawn.size(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(drawn[i].itemID, i);
    EXPECT_EQ(drawn[i].hwndItem, fixed);
    EXPECT_EQ(drawn[i].itemData, 100u + i);
    EXPECT_EQ(drawn[i].rcItem, Rect(0, int(i) * 10, 150, int(i + 1) * 10));
    EXPECT_EQ((drawn[i].itemState & ODS_SELECTED) != 0, i == 1);
    EXPECT_EQ((drawn[i].itemState & ODS_FOCUS) != 0, i == 1);
  }

  measured.clear();
  HWND variable = List(LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT, 150, 100);
  for (int i = 0; i < 4; ++i) SendMessage(variable, LB_ADDSTRING, 0, LPARAM(i));
  EXPECT_EQ(measured, (std::vector<UINT>{0, 1, 2, 3}));
  const int tops[] = {0, 10, 25, 45};
  for (int i = 0; i < 4; ++i) {
    RECT r;
    SendMessage(variable, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Top, tops[i]);
    EXPECT_EQ(SendMessage(variable, LB_GETITEMHEIGHT, WPARAM(i), 0), tops[(i + 1) % 4] - tops[i] + (i == 3 ? 55 : 0));
  }
  EXPECT_EQ(LOWORD(SendMessage(variable, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 30))), 2);
}

// Every layout walk must end when items have no height at all.
TEST_F(WinListBoxTest, ItemHeightZeroNeverLoops) {
  MsgHandler() = [](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg != WM_MEASUREITEM) return false;
    reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 0;
    result = TRUE;
    return true;
  };
  for (DWORD style : {DWORD(LBS_OWNERDRAWFIXED | WS_VSCROLL), DWORD(LBS_OWNERDRAWVARIABLE | WS_VSCROLL),
                      DWORD(LBS_OWNERDRAWFIXED | LBS_MULTICOLUMN | WS_HSCROLL)}) {
    HWND lb = List(style, 150, 100);
    for (int i = 0; i < 50; ++i) SendMessage(lb, LB_ADDSTRING, 0, LPARAM(i));
    Press(VK_END);
    Press(VK_NEXT);
    SendMessage(lb, LB_SETTOPINDEX, 49, 0);
    SendMessage(lb, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 50));
    SetWindowPos(lb, nullptr, 0, 0, 150, 77, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(Parent);
    EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 50);
    EXPECT_EQ(SendMessage(lb, LB_SETITEMHEIGHT, 0, MAKELPARAM(300, 0)), LB_ERR);
    DestroyWindow(lb);
  }
}

TEST_F(WinListBoxTest, TypeAheadFindsItemsByPrefixAndCyclesOnOneLetter) {
  HWND lb = List(0, 150, 100, {"apple", "banana", "blueberry", "cherry", "Bean"});
  struct TTyped {
    char Ch;
    DWORD Pause;
    int Expected;
  };
  const TTyped typed[] = {
      {'b', 0, 1}, {'l', 100, 2}, {'c', 2000, 3}, {'b', 2000, 4}, {'b', 100, 1}, {'b', 100, 2}, {'B', 100, 4},
      {'x', 2000, 4},
  };
  for (const TTyped& t : typed) {
    Headless::AdvanceClock(t.Pause);
    Headless::TypeText(String(1, t.Ch));
    Pump();
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), t.Expected) << t.Ch << " after " << t.Pause;
  }
  EXPECT_GT(SelChanges(), 0);
}

TEST_F(WinListBoxTest, ScrollingKeepsTheFocusItemVisibleAndDrivesTheBar) {
  HWND lb = List(WS_VSCROLL, 150, 100);
  for (int i = 0; i < 40; ++i) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
  int h = int(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(h, 0);
  RECT client;
  GetClientRect(lb, &client);
  EXPECT_EQ(client.Height() % h, 0) << "integral height";
  int visible = client.Height() / h;
  Press(VK_END);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 40 - visible);
  EXPECT_EQ(GetScrollPos(lb, SB_VERT), 40 - visible);
  SendMessage(lb, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 0);
  SendMessage(lb, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 1);
  SendMessage(lb, LB_SETTOPINDEX, 10, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 10);
  SendMessage(lb, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 2);
  EXPECT_EQ(SendMessage(lb, LB_SETTOPINDEX, 99, 0), LB_ERR);

  LRESULT hit = SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, WORD(h + 1)));
  EXPECT_EQ(hit, MAKELONG(3, 0));

  HWND few = List(WS_VSCROLL, 150, 100, {"one", "two"});
  EXPECT_FALSE(GetWindowLong(few, GWL_STYLE) & WS_VSCROLL) << "the bar hides while everything fits";
  for (int i = 0; i < 20; ++i) SendMessage(few, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
  EXPECT_TRUE(GetWindowLong(few, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(WinListBoxTest, MultiColumnFlowsDownThenAcross) {
  HWND lb = List(LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT | WS_HSCROLL, 200, 100);
  SendMessage(lb, LB_SETCOLUMNWIDTH, 50, 0);
  for (int i = 0; i < 40; ++i) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
  int h = int(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(lb, &client);
  int rows = client.Height() / h;
  RECT r;
  SendMessage(lb, LB_GETITEMRECT, WPARAM(rows + 1), reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, Rect(50, h, 100, 2 * h));
  EXPECT_EQ(LOWORD(SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(60, WORD(h + 1)))), rows + 1);
  SendMessage(lb, LB_SETCURSEL, 0, 0);
  Press(VK_RIGHT);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), rows);
  SendMessage(lb, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), rows);
  Press(VK_END);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0) % rows, 0) << "the top is a column's first item";
  SendMessage(lb, LB_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&r));
  EXPECT_LE(r.Right, client.Right);
}

TEST_F(WinListBoxTest, VirtualListsHoldACountAndSelectionOnly) {
  std::vector<UINT> drawnIds;
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 12;
      result = TRUE;
      return true;
    }
    if (msg != WM_DRAWITEM) return false;
    drawnIds.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(l)->itemID);
    result = TRUE;
    return true;
  };
  HWND lb = List(LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | WS_VSCROLL, 150, 120);
  EXPECT_EQ(SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x")), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_SETCOUNT, 100000, 0), 0);
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 100000);
  SendMessage(lb, LB_SETCARETINDEX, 99990, 0);
  SendMessage(lb, LB_SELITEMRANGEEX, 99990, 99995);
  EXPECT_EQ(SendMessage(lb, LB_GETSELCOUNT, 0, 0), 6);
  drawnIds.clear();
  RedrawWindow(lb, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(drawnIds.empty());
  EXPECT_EQ(drawnIds.front(), 99981u) << "the caret item came into view at the bottom";
  EXPECT_EQ(drawnIds.back(), 99990u);
  HWND plain = List(0);
  EXPECT_EQ(SendMessage(plain, LB_SETCOUNT, 5, 0), LB_ERR) << "only virtual lists take a count";
}

TEST_F(WinListBoxTest, TabStopsNeedTheStyle) {
  HWND plain = List(0);
  int stops[] = {40, 80};
  EXPECT_EQ(SendMessage(plain, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops)), FALSE);
  HWND tabbed = List(LBS_USETABSTOPS, 150, 100, {"a\tb"});
  EXPECT_EQ(SendMessage(tabbed, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops)), TRUE);
  EXPECT_EQ(SendMessage(tabbed, LB_SETTABSTOPS, 2, 0), FALSE);
  UpdateWindow(Parent);
  EXPECT_EQ(Item(tabbed, 0), "a\tb");
}

TEST_F(WinListBoxTest, ItemsWithoutStringsAreSortedAndReleasedThroughTheParent) {
  std::vector<ULONG_PTR> deleted;
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg == WM_COMPAREITEM) {
      auto* ci = reinterpret_cast<COMPAREITEMSTRUCT*>(l);
      result = ci->itemData1 < ci->itemData2 ? -1 : ci->itemData1 > ci->itemData2 ? 1 : 0;
      return true;
    }
    if (msg == WM_DELETEITEM) {
      deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(l)->itemData);
      return true;
    }
    return false;
  };
  HWND lb = List(LBS_OWNERDRAWFIXED | LBS_SORT, 150, 100);
  for (LPARAM data : {50, 10, 30, 40}) SendMessage(lb, LB_ADDSTRING, 0, data);
  std::vector<LRESULT> order;
  for (int i = 0; i < 4; ++i) order.push_back(SendMessage(lb, LB_GETITEMDATA, WPARAM(i), 0));
  EXPECT_EQ(order, (std::vector<LRESULT>{10, 30, 40, 50}));
  SendMessage(lb, LB_DELETESTRING, 1, 0);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{30}));
  DestroyWindow(lb);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{30, 50, 40, 10})) << "destruction releases every item";
}

TEST_F(WinListBoxTest, WantKeyboardInputLetsTheParentAnswerKeys) {
  LRESULT answer = -1;
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_VKEYTOITEM) return false;
    result = answer;
    return true;
  };
  HWND lb = List(LBS_WANTKEYBOARDINPUT, 150, 100, {"a", "b", "c", "d"});
  SendMessage(lb, LB_SETCURSEL, 0, 0);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1) << "-1 leaves the key to the list";
  answer = -2;
  Press(VK_DOWN);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1) << "-2: the parent handled it";
  answer = 3;
  Press(VK_HOME);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3) << "an index: that item is chosen";
  const TLoggedMsg* last = Last(WM_VKEYTOITEM, Parent);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(LOWORD(last->W), VK_HOME);
  EXPECT_EQ(HIWORD(last->W), 1);
}

TEST_F(WinListBoxTest, DraggingBelowTheListScrollsOneItemATick) {
  HWND lb = List(WS_VSCROLL, 150, 100);
  for (int i = 0; i < 30; ++i) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("row"));
  RECT r;
  SendMessage(lb, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  POINT p{r.Left + 5, r.Top + 2};
  ClientToScreen(lb, &p);
  Headless::MoveMouse(p.X, p.Y);
  Headless::MouseDown();
  Headless::MoveMouse(p.X, p.Y + 300);
  Pump();
  int visible = int(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0));
  visible = 100 / visible;
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), visible) << "one past the last shown item";
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 1);
  for (int tick = 0; tick < 3; ++tick) {
    Headless::AdvanceClock(100);
    Pump();
  }
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 4);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), visible + 3);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinListBoxTest, HorizontalExtentScrollsSideways) {
  HWND lb = List(WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 150, 100, {"a fairly long item text"});
  EXPECT_FALSE(GetWindowLong(lb, GWL_STYLE) & WS_HSCROLL) << "nothing is wider than the list yet";
  SendMessage(lb, LB_SETHORIZONTALEXTENT, 400, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETHORIZONTALEXTENT, 0, 0), 400);
  EXPECT_TRUE(GetWindowLong(lb, GWL_STYLE) & WS_HSCROLL);
  SendMessage(lb, WM_HSCROLL, SB_PAGERIGHT, 0);
  RECT r;
  SendMessage(lb, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Left, -150);
  EXPECT_EQ(r.Right, 250);
  EXPECT_EQ(GetScrollPos(lb, SB_HORZ), 150);
  SendMessage(lb, WM_HSCROLL, SB_RIGHT, 0);
  SendMessage(lb, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Right, 150) << "the far end lines up with the right edge";
  SendMessage(lb, LB_SETHORIZONTALEXTENT, 0, 0);
  EXPECT_FALSE(GetWindowLong(lb, GWL_STYLE) & WS_HSCROLL);
  SendMessage(lb, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Left, 0);
}

}  // namespace
