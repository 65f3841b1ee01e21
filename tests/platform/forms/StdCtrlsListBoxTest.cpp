// TListBox: items with and without a window, selection modes by mouse, owner drawing, virtual
// lists and type-ahead.
#include "ControlsTestSupport.h"

#include "platform/forms/StdCtrls.h"

namespace {

class StdCtrlsListBoxTest : public TFormsTest {
 protected:
  void Build(std::function<void(TListBox*)> Setup = nullptr) {
    form = NewForm(300, 250, 0, 0);
    list = New<TListBox>(form);
    list->SetName("list");
    list->SetBoundsRect(Rect(10, 10, 160, 170));
    if (Setup) Setup(list);
    list->SetParent(form);
    list->OnClick = [this](TObject*) { ++clicks; };
    form->Show();
    Pump();
    list->SetFocus();
    Pump();
  }
  void AddFruit() {
    for (const char* s : {"apple", "banana", "blueberry", "cherry", "date"}) list->GetItems()->Add(s);
  }
  // Clicks the middle of an item, with the given shift keys held.
  void ClickItem(Integer index, unsigned shift = skNone) {
    TRect r = list->ItemRect(index);
    TPoint p = list->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    if (shift & skShift) Headless::KeyDown(VK_SHIFT);
    if (shift & skCtrl) Headless::KeyDown(VK_CONTROL);
    Pump();
    Headless::Click(p.X, p.Y);
    Pump();
    if (shift & skCtrl) Headless::KeyUp(VK_CONTROL);
    if (shift & skShift) Headless::KeyUp(VK_SHIFT);
    Pump();
  }
  std::vector<String> Items() {
    std::vector<String> out;
    for (Integer i = 0; i < list->GetItems()->GetCount(); ++i) out.push_back(list->GetItems()->Get(i));
    return out;
  }

  TForm* form = nullptr;
  TListBox* list = nullptr;
  int clicks = 0;
};

TEST_F(StdCtrlsListBoxTest, ItemsBeforeTheWindowAreKeptSortedAndSurviveRecreation) {
  TObject marker;
  Build([&](TListBox* l) {
    l->SetSorted(true);
    l->GetItems()->Add("cherry");
    l->GetItems()->AddObject("apple", &marker);
    l->GetItems()->Add("banana");
    l->SetItemIndex(1);
    EXPECT_EQ(l->GetItems()->Get(0), "apple");
  });
  EXPECT_EQ(Items(), (std::vector<String>{"apple", "banana", "cherry"}));
  EXPECT_EQ(list->GetItems()->GetObject(0), &marker);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(list->GetItems()->IndexOf("CHERRY"), 2) << "finding is case-insensitive as the window's";
  list->SetSorted(false);
  list->GetItems()->Insert(0, "zucchini");
  EXPECT_EQ(Items(), (std::vector<String>{"zucchini", "apple", "banana", "cherry"}));
  EXPECT_EQ(list->GetItems()->GetObject(1), &marker) << "objects survive a new window";
  list->GetItems()->Put(1, "apricot");
  EXPECT_EQ(list->GetItems()->Get(1), "apricot");
  EXPECT_EQ(list->GetItems()->GetObject(1), &marker);
  EXPECT_THROW(list->GetItems()->Get(4), EStringListError);
  EXPECT_THROW(list->GetSelected(-1), EListError);
  list->SetItemIndex(42);
  EXPECT_EQ(list->GetItemIndex(), 2) << "an index past the items changes nothing";
}

TEST_F(StdCtrlsListBoxTest, SingleSelectionByClickAndKeys) {
  Build();
  AddFruit();
  ClickItem(1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_TRUE(list->GetSelected(1));
  EXPECT_EQ(clicks, 1);
  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(clicks, 2);
  Headless::PressKey(VK_END);
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 4);
  list->SetSelected(4, false);
  EXPECT_EQ(list->GetItemIndex(), -1);
  EXPECT_EQ(list->GetSelCount(), -1) << "a single-selection list has no count of selected items";
  int doubleClicks = 0;
  list->OnDblClick = [&](TObject*) { ++doubleClicks; };
  TRect r = list->ItemRect(0);
  TPoint p = list->ClientToScreen({r.Left + 5, r.Top + 2});
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(StdCtrlsListBoxTest, ExtendedSelectionWithShiftAndCtrlClicks) {
  Build([](TListBox* l) { l->SetMultiSelect(true); });
  AddFruit();
  ClickItem(0);
  ClickItem(2, skShift);
  EXPECT_EQ(list->GetSelCount(), 3);
  ClickItem(1, skCtrl);
  EXPECT_EQ(list->GetSelCount(), 2);
  EXPECT_FALSE(list->GetSelected(1));
  EXPECT_TRUE(list->GetSelected(2));
  ClickItem(4);
  EXPECT_EQ(list->GetSelCount(), 1) << "a plain click selects one item";
  list->SelectAll();
  EXPECT_EQ(list->GetSelCount(), 5);
  list->SetSelected(0, false);
  list->DeleteSelected();
  EXPECT_EQ(Items(), (std::vector<String>{"apple"}));
}

TEST_F(StdCtrlsListBoxTest, MultipleSelectionTogglesEachClickedItem) {
  Build([](TListBox* l) {
    l->SetMultiSelect(true);
    l->SetExtendedSelect(false);
  });
  AddFruit();
  ClickItem(1);
  ClickItem(3);
  EXPECT_EQ(list->GetSelCount(), 2);
  ClickItem(1);
  EXPECT_EQ(list->GetSelCount(), 1);
  EXPECT_TRUE(list->GetSelected(3));
  list->SetMultiSelect(false);
  EXPECT_EQ(list->GetItems()->GetCount(), 5) << "a new window keeps the items";
}

TEST_F(StdCtrlsListBoxTest, OwnerDrawFixedDrawsEveryVisibleItemWithItsState) {
  struct TDraw {
    Integer Index;
    TRect Rect;
    TOwnerDrawState State;
  };
  std::vector<TDraw> drawn;
  Build([&](TListBox* l) {
    l->SetStyle(lbOwnerDrawFixed);
    l->SetItemHeight(24);
    l->OnDrawItem = [&](TWinControl*, Integer index, TRect rect, TOwnerDrawState state) {
      drawn.push_back({index, rect, state});
    };
  });
  AddFruit();
  list->SetItemIndex(2);
  drawn.clear();
  list->Repaint();
  ASSERT_EQ(drawn.size(), 5u);
  for (size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_EQ(drawn[i].Index, Integer(i));
    EXPECT_EQ(drawn[i].Rect.Top, Integer(i) * 24);
    EXPECT_EQ(drawn[i].Rect.Height(), 24);
    EXPECT_EQ((drawn[i].State & odSelected) != 0, i == 2) << i;
  }
  EXPECT_TRUE(drawn[2].State & odFocused);
  EXPECT_EQ(list->GetItemHeight(), 24);
  list->SetItemHeight(0);
  EXPECT_EQ(list->GetItemHeight(), 24) << "a height below 1 is refused";
  EXPECT_EQ(list->ItemAtPos({20, 24 * 3 + 5}, true), 3);
  EXPECT_EQ(list->ItemAtPos({20, 24 * 5 + 5}, true), -1);
  EXPECT_EQ(list->ItemAtPos({20, 24 * 5 + 5}, false), 5);
  EXPECT_EQ(list->ItemRect(5).Top, 24 * 5) << "the place after the last item";
}

TEST_F(StdCtrlsListBoxTest, OwnerDrawVariableMeasuresEachItem) {
  Build([](TListBox* l) {
    l->SetStyle(lbOwnerDrawVariable);
    l->OnMeasureItem = [](TWinControl*, Integer index, Integer& height) { height = 10 + index * 5; };
  });
  AddFruit();
  EXPECT_EQ(list->ItemRect(0).Height(), 10);
  EXPECT_EQ(list->ItemRect(3).Height(), 25);
  EXPECT_EQ(list->ItemRect(3).Top, 10 + 15 + 20);
}

TEST_F(StdCtrlsListBoxTest, ZeroHeightItemsDoNotHangTheLayout) {
  Build([](TListBox* l) {
    l->SetStyle(lbOwnerDrawVariable);
    l->OnMeasureItem = [](TWinControl*, Integer, Integer& height) { height = 0; };
  });
  AddFruit();
  list->SetTopIndex(3);
  list->Repaint();
  Headless::PressKey(VK_NEXT);
  Pump();
  EXPECT_EQ(list->GetItems()->GetCount(), 5);
}

TEST_F(StdCtrlsListBoxTest, VirtualListAsksForItsData) {
  std::vector<String> drawnTexts;
  Build([&](TListBox* l) {
    l->SetStyle(lbVirtual);
    l->OnData = [](TWinControl*, Integer index, String& data) { data = "Item " + IntToStr(index); };
    l->OnDataFind = [](TWinControl*, const String& s) { return s.rfind("Item ", 0) == 0 ? StrToInt(s.substr(5)) : -1; };
    l->SetCount(1000);
  });
  EXPECT_EQ(list->GetCount(), 1000);
  EXPECT_EQ(list->GetItems()->Get(742), "Item 742");
  EXPECT_EQ(list->GetItems()->IndexOf("Item 17"), 17);
  list->GetItems()->Add("ignored");
  EXPECT_EQ(list->GetCount(), 1000) << "a virtual list takes no items";
  list->SetTopIndex(500);
  EXPECT_EQ(list->GetTopIndex(), 500);
  list->GetItems()->Clear();
  EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(StdCtrlsListBoxTest, TypeAheadFindsThePrefixTypedInARow) {
  Build();
  AddFruit();
  Headless::TypeText("bl");
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 2);
  Headless::TypeText("u");
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 2);
  Headless::AdvanceClock(600);
  Headless::TypeText("c");
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 3) << "a pause starts a new prefix";
  Headless::AdvanceClock(600);
  Headless::TypeText("x");
  Pump();
  EXPECT_EQ(list->GetItemIndex(), 3) << "no match keeps the selection";
  EXPECT_GE(clicks, 2);
}

TEST_F(StdCtrlsListBoxTest, ColumnsAndScrollWidthReachTheWindow) {
  Build([](TListBox* l) { l->SetColumns(2); });
  for (int i = 0; i < 30; ++i) list->GetItems()->Add("item " + IntToStr(i));
  EXPECT_TRUE(GetWindowLong(list->GetHandle(), GWL_STYLE) & LBS_MULTICOLUMN);
  TRect first = list->ItemRect(0);
  Integer rows = list->GetClientHeight() / first.Height();
  EXPECT_EQ(list->ItemRect(rows).Left, first.Right) << "the next column starts after the first";
  list->SetColumns(0);
  list->SetScrollWidth(400);
  EXPECT_EQ(list->GetScrollWidth(), 400);
  EXPECT_TRUE(IsWindowVisible(list->GetHandle()));
}

TEST_F(StdCtrlsListBoxTest, AScrollBarThatAppearsIsPaintedAtOnce) {
  Build();
  AddFruit();
  Pump();
  for (int i = 0; i < 20; ++i) list->GetItems()->Add("item");
  Pump();
  // The bar shows as a full repaint of the list box draws it.
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(list->GetHandle(), OBJID_VSCROLL, &bar));
  ASSERT_EQ(bar.rgstate[0], 0u) << "the bar is shown";
  auto shown = [&] {
    std::vector<uint32_t> pixels;
    for (Integer x = bar.rcScrollBar.Left; x < bar.rcScrollBar.Right; ++x)
      for (Integer y = bar.rcScrollBar.Top; y < bar.rcScrollBar.Bottom; ++y)
        pixels.push_back(ClientPixel(form, form->ScreenToClient({x, y})));
    return pixels;
  };
  std::vector<uint32_t> first = shown();
  RedrawWindow(list->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(first, shown());
}

}  // namespace

