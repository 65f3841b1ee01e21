// Tree list keys: navigation tables (arrows, pages, Home and End, Ctrl variants), Shift ranges,
// expansion keys, incremental search, the rows as clipboard text and selection ranges.
#include "platform/forms/Clipbrd.h"
#include "zmTLTestSupport.h"

namespace {

class zmTLKeys : public TzmTreeListTest {
 protected:
  // Roots "0" ... "Count-1" of 18 pixels in a rows area of 100 pixels (5 full rows).
  void Rows(Integer Count) {
    Column("Name");
    Tree->BeginUpdate();
    for (Integer i = 0; i < Count; ++i) Node(IntToStr(i));
    Tree->EndUpdate();
    Tree->SetRowHeight(18);
    TRect client = Tree->GetClientRect();
    Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth(),
                    Tree->GetHeight() + Tree->GetMetrics().HeaderAreaHeight + 100 - client.Height());
    Tree->SetFocus();
    Pump();
  }
  void Focus(Integer Index) {
    Tree->SetFocusedNodeColumn(Tree->VisibleNodeAt(Index), 0, true);
    Pump();
  }
  Integer Focused() { return Tree->GetFocusedIndex(); }
  std::vector<String> Selected() {
    std::vector<String> names;
    for (Integer i = 0; i < Tree->GetVisibleNodeCount(); ++i)
      if (Tree->VisibleNodeAt(i)->GetSelected()) names.push_back(Tree->VisibleNodeAt(i)->GetStrings(0));
    return names;
  }
};

struct NavigationCase {
  const char* Name;
  Integer From;
  BYTE Key;
  unsigned Shift;
  Integer Expected;
};

class zmTLNavigation : public zmTLKeys, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(zmTLNavigation, FocusMoves) {
  const NavigationCase& c = GetParam();
  Rows(30);
  ASSERT_EQ(Tree->GetPageRowCount(), 5);
  Focus(c.From);
  Press(c.Key, c.Shift);
  EXPECT_EQ(Focused(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, zmTLNavigation,
    ::testing::Values(NavigationCase{"Down", 0, VK_DOWN, skNone, 1}, NavigationCase{"UpAtTheFirst", 0, VK_UP, skNone, 0},
                      NavigationCase{"DownAtTheLast", 29, VK_DOWN, skNone, 29},
                      NavigationCase{"End", 3, VK_END, skNone, 29}, NavigationCase{"Home", 10, VK_HOME, skNone, 0},
                      NavigationCase{"PageDownFromTheTopRow", 0, VK_NEXT, skNone, 4},
                      NavigationCase{"PageDownInsideThePage", 2, VK_NEXT, skNone, 4},
                      NavigationCase{"PageDownFromTheBottomRow", 4, VK_NEXT, skNone, 8},
                      NavigationCase{"PageUpFromTheBottomRow", 10, VK_PRIOR, skNone, 6},
                      NavigationCase{"PageUpNearTheStart", 2, VK_PRIOR, skNone, 0},
                      NavigationCase{"CtrlEnd", 3, VK_END, skCtrl, 29}, NavigationCase{"CtrlHome", 9, VK_HOME, skCtrl, 0},
                      NavigationCase{"CtrlDown", 3, VK_DOWN, skCtrl, 4}, NavigationCase{"CtrlPageDown", 2, VK_NEXT, skCtrl, 4}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(zmTLKeys, ShiftRangesGrowAndShrinkFromTheAnchor) {
  Rows(10);
  Tree->KeepsSelection = true;
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbMultiSelect);
  Focus(2);
  for (int i = 0; i < 3; ++i) Press(VK_DOWN, skShift);
  EXPECT_EQ(Selected(), (std::vector<String>{"2", "3", "4", "5"}));
  EXPECT_EQ(Tree->GetSelectionAnchor(), Tree->VisibleNodeAt(2));
  Press(VK_UP, skShift);
  EXPECT_EQ(Selected(), (std::vector<String>{"2", "3", "4"}));
  EXPECT_EQ(Focused(), 4);
  Press(VK_DOWN);
  EXPECT_EQ(Selected(), (std::vector<String>{"5"})) << "a plain move leaves the focused node selected";
  Press(VK_END, skShift);
  EXPECT_EQ(Selected().size(), 5u) << "Shift+End selects from the anchor 5 to the last";
}

TEST_F(zmTLKeys, ExpansionKeys) {
  Column("Name");
  TzmTreeListNode* root = Node("R");
  TzmTreeListNode* child = Node("C", root);
  Node("G", child);
  Node("R2");
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(root, 0, true);
  Pump();
  Headless::TypeText("*");
  Pump();
  EXPECT_EQ(Shown(), (std::vector<String>{"R", "C", "G", "R2"})) << "the whole subtree opens";
  Headless::TypeText("-");
  Pump();
  EXPECT_EQ(Shown(), (std::vector<String>{"R", "R2"}));
  Headless::TypeText("+");
  Pump();
  EXPECT_EQ(Shown(), (std::vector<String>{"R", "C", "G", "R2"}));
  // Row select: Right on a collapsed parent expands it, Left on a child goes to its parent.
  child->SetExpanded(false);
  Tree->SetFocusedNodeColumn(child, 0, true);
  Press(VK_RIGHT);
  EXPECT_TRUE(child->GetExpanded());
  Press(VK_RIGHT);
  EXPECT_EQ(Tree->GetFocusedNode()->GetStrings(0), "G") << "an expanded parent hands the focus to its first child";
  Press(VK_LEFT);
  EXPECT_EQ(Tree->GetFocusedNode(), child) << "a first child goes up to its parent";
  Press(VK_LEFT);
  EXPECT_FALSE(child->GetExpanded());
}

TEST_F(zmTLKeys, UpAndDownWalkTheHeaderRowsFirst) {
  Tree->BeginUpdate();
  Tree->SetHeaderPanelRowCount(2);
  Column("A");
  Column("B");
  Column("C")->SetRowIndex(1);
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxRowLayoutNavigation);
  Node("n0");
  Node("n1");
  Tree->EndUpdate();
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(Tree->VisibleNodeAt(0), Tree->GetColumnVisibleIndex(1), true);
  Pump();
  auto where = [&] {
    return Tree->GetFocusedNode()->GetStrings(0) + " " + Tree->ColumnAt(Tree->GetFocusedColumn())->GetCaption();
  };
  EXPECT_EQ(where(), "n0 B");
  Press(VK_DOWN);
  EXPECT_EQ(where(), "n0 C") << "the second header row, at most its last column";
  Press(VK_DOWN);
  EXPECT_EQ(where(), "n1 A") << "past the last row: the next node's first row";
  Press(VK_UP);
  EXPECT_EQ(where(), "n0 C");
  Press(VK_UP);
  EXPECT_EQ(where(), "n0 A");
  Press(VK_UP);
  EXPECT_EQ(where(), "n0 A") << "nothing above the first row of the first node";
}

class zmTLSearch : public zmTLKeys {
 protected:
  void SetUp() override {
    zmTLKeys::SetUp();
    Column("Name");
    Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
    Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxAutoSearch);
  }
  String FocusedName() { return Tree->GetFocusedNode() ? Tree->GetFocusedNode()->GetStrings(0) : String("nil"); }
};

TEST_F(zmTLSearch, TypingNarrowsTheMatchAndDropsAMiss) {
  TzmTreeListNode* apple = Node("Apple");
  Node("Abacus");
  Node("Banana");
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(apple, 0, true);
  Pump();
  Type("a");
  EXPECT_EQ(FocusedName(), "Apple");
  Type("b");
  EXPECT_EQ(FocusedName(), "Abacus");
  Type("x");
  EXPECT_EQ(FocusedName(), "Abacus");
  EXPECT_EQ(Tree->GetSearchString(), "ab") << "a character without a match is dropped";
  Press(VK_BACK);
  Press(VK_BACK);
  Type("B");
  EXPECT_EQ(FocusedName(), "Banana") << "case does not matter";
}

TEST_F(zmTLSearch, NextAndPreviousMatchesWrap) {
  TzmTreeListNode* apple = Node("Apple");
  Node("Berry");
  Node("Abacus");
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(apple, 0, true);
  Pump();
  Type("a");
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(FocusedName(), "Abacus");
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(FocusedName(), "Apple") << "past the end the search starts again at the top";
  Press(VK_RETURN, skShift);
  EXPECT_EQ(FocusedName(), "Abacus") << "backward from the first node";
  Press(VK_ESCAPE);
  EXPECT_FALSE(Tree->GetSearchActive());
}

TEST_F(zmTLSearch, BackwardSearchThroughHiddenNodesWrapsToTheDeepestLastNode) {
  TzmTreeListNode* apple = Node("Apple");
  TzmTreeListNode* berry = Node("Berry");
  Node("Avocado", Node("Basket", berry));
  Tree->SetSearchExpandsNodes(true);
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(apple, 0, true);
  Pump();
  Type("a");
  Press(VK_RETURN, skShift);
  EXPECT_EQ(FocusedName(), "Avocado");
  EXPECT_TRUE(berry->GetExpanded()) << "the match's ancestors open";
  EXPECT_TRUE(Tree->GetFocusedNode()->IsVisible());
}

TEST_F(zmTLKeys, CopiedRowsHaveNoEmptyLineAfterTheHeader) {
  Column("First");
  Column("Second");
  Column("Third");
  TzmTreeListNode* node = Node("a");
  node->SetStrings(1, "b");
  node->SetStrings(2, "c");
  Node("x");
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxCopyToClipboard);
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(node, 0, true);
  Pump();
  Headless::PressKey('C', skCtrl);
  Pump();
  EXPECT_EQ(Clipboard()->GetAsText(), "First\tSecond\tThird\r\na\tb\tc\r\n");
  TOwned<TStringList> all = MakeOwned<TStringList>();
  Tree->GetAllNodesText(all.get());
  EXPECT_EQ(all->GetCount(), 3);
  EXPECT_EQ(all->Get(2), "x\t\t");
}

TEST_F(zmTLKeys, SelectRangeReportsAStepThatFails) {
  Rows(6);
  Tree->KeepsSelection = true;
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbMultiSelect);
  Integer changes = 0;
  Tree->OnSelectionCountChanged = [&](TObject*) { ++changes; };
  Tree->Unselectable = Tree->VisibleNodeAt(3);
  EXPECT_THROW(Tree->SelectRange(Tree->VisibleNodeAt(4), Tree->VisibleNodeAt(1)), Exception);
  EXPECT_EQ(Selected(), (std::vector<String>{"1", "2"}));
  EXPECT_EQ(changes, 1) << "the lock ends and reports the change once";
  Tree->Unselectable = nullptr;
  Tree->SelectRange(Tree->VisibleNodeAt(0), Tree->VisibleNodeAt(5));
  EXPECT_EQ(Selected().size(), 6u);
}

}  // namespace
