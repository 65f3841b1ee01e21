// Tree list node work: sorting by column values (nulls, ties, the compare event), the panning
// speed table and scripted panning loops, and expanding under a dragged node.
#include <map>

#include "zmTLTestSupport.h"

namespace {

class zmTLSorting : public TzmTreeListTest {
 protected:
  // Roots named by their sort values ("-" sorts as Null).
  void Roots(std::initializer_list<const char*> Names) {
    Column("Name");
    for (const char* name : Names) Node(name);
    Tree->SortValue = [](TzmTreeListNode* node, Integer) {
      String text = node->GetStrings(0);
      return text.substr(0, 1) == "-" ? Variant(Null()) : Variant(text.substr(0, 1));
    };
  }
  std::vector<String> Roots() {
    std::vector<String> names;
    for (Integer i = 0; i < Tree->GetRootCount(); ++i) names.push_back(Tree->GetRootNode(i)->GetStrings(0));
    return names;
  }
};

TEST_F(zmTLSorting, NullsFirstAscendingAndLastDescending) {
  Roots({"b", "-1", "a", "-2", "c"});
  Tree->SortNodes(0, 0, false);
  EXPECT_EQ(Roots(), (std::vector<String>{"-1", "-2", "a", "b", "c"}));
  EXPECT_EQ(Shown(), Roots()) << "the display order follows";
  Tree->SortNodes(0, 0, true);
  EXPECT_EQ(Roots(), (std::vector<String>{"c", "b", "a", "-1", "-2"})) << "equal values stay in identity order";
}

TEST_F(zmTLSorting, TiesKeepTheOrderOfTheNodesIdentity) {
  Roots({"b2", "a1", "b1", "a2"});
  Tree->SortNodes(0, 0, false);
  EXPECT_EQ(Roots(), (std::vector<String>{"a1", "a2", "b2", "b1"})) << "equal values: the node made first comes first";
  Tree->SortNodes(0, 0, false);
  EXPECT_EQ(Roots(), (std::vector<String>{"a1", "a2", "b2", "b1"})) << "the same every time";
  Tree->OnCompareNodes = [](TObject*, TzmTreeListNode*, TzmTreeListNode*, Integer& Compare) { Compare = 0; };
  Tree->SortNodes(0, 0, true);
  EXPECT_EQ(Roots(), (std::vector<String>{"b2", "a1", "b1", "a2"})) << "an event answering 0 still orders by identity";
}

TEST_F(zmTLSorting, LevelsPickTheListsToSort) {
  Roots({"b", "a"});
  TzmTreeListNode* b = Tree->GetRootNode(0);
  Node("z", b);
  Node("y", b);
  Tree->SortNodes(1, 0, false);
  EXPECT_EQ(Roots(), (std::vector<String>{"b", "a"})) << "level 1 leaves the roots";
  EXPECT_EQ(b->GetItem(0)->GetStrings(0), "y");
  Tree->SortNodes(-1, 0, true);
  EXPECT_EQ(Roots(), (std::vector<String>{"b", "a"}));
  EXPECT_EQ(b->GetItem(0)->GetStrings(0), "z");
}

struct PanCase {
  Integer DX, DY;
  bool Horz, Vert;
  Integer Direction, Speed;
};

TEST(zmTLPanning, DirectionAndSpeed) {
  for (PanCase c : {PanCase{0, 27, true, true, 4, 3}, PanCase{0, -27, true, true, 2, 3}, PanCase{10, 10, true, true, 0, 0},
                    PanCase{200, 5, true, true, 3, 12}, PanCase{-40, 20, true, true, 1, 5},
                    PanCase{300, 10, false, true, 0, 0}, PanCase{300, 30, false, true, 4, 3},
                    PanCase{30, 300, true, false, 3, 3}}) {
    Integer direction = -1, speed = -1;
    TCustomzmTreeList::PanningStep(Point(c.DX, c.DY), 32, c.Horz, c.Vert, direction, speed);
    EXPECT_EQ(direction, c.Direction) << c.DX << "," << c.DY;
    EXPECT_EQ(speed, c.Speed) << c.DX << "," << c.DY;
  }
}

class zmTLPanLoop : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    Column("Name");
    Tree->BeginUpdate();
    for (Integer i = 0; i < 60; ++i) Node(IntToStr(i));
    Tree->EndUpdate();
    Tree->SetFocus();
    Pump();
    Start = Tree->ClientToScreen(Point(100, 100));
    Headless::MoveMouse(Start.X, Start.Y);
    Pump();
  }
  TPoint Start;
};

// Thread timers that act once each, while the panning loop runs.
std::map<UINT_PTR, std::function<void()>> PendingActions;
void RunPendingAction(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  auto action = PendingActions.find(Id);
  if (action == PendingActions.end()) return;
  std::function<void()> run = std::move(action->second);
  PendingActions.erase(action);
  run();
}
void After(UINT Ms, std::function<void()> Action) {
  PendingActions[SetTimer(nullptr, 0, Ms, RunPendingAction)] = std::move(Action);
}

TEST_F(zmTLPanLoop, AMiddlePressPansUntilEscape) {
  bool captured = false;
  After(100, [&] { Headless::MoveMouse(Start.X, Start.Y + 27); });
  After(1100, [&] {
    captured = GetCapture() == Tree->GetHandle();
    Headless::PressKey(VK_ESCAPE);
  });
  Headless::MouseDown(2);
  Pump();
  EXPECT_TRUE(captured) << "the loop holds the mouse";
  Integer top = Tree->GetTopIndex();
  EXPECT_GE(top, 4) << "one row every 10 ticks of 20 ms for a second";
  EXPECT_LE(top, 5);
  EXPECT_EQ(GetCapture(), nullptr) << "the loop gave the mouse back";
  Headless::MouseUp(2);
  Pump();
}

TEST_F(zmTLPanLoop, TheLoopEndsWhenTheControlGoesMeanwhile) {
  After(50, [&] { Headless::MoveMouse(Start.X, Start.Y + 60); });
  After(300, [this] {
    Free(Tree);
    Tree = nullptr;
  });
  Headless::MouseDown(2);
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  Headless::MouseUp(2);
  Pump();
}

TEST_F(zmTLSorting, ADragRestingOnAButtonExpandsTheNode) {
  Column("Name");
  TzmTreeListNode* root = Node("R");
  Node("C", root);
  Node("R2");
  TRect row = Tree->GetNodeRect(root);
  TPoint button = Point(8, row.Top + 4);
  TPoint screen = Tree->ClientToScreen(button);
  Headless::MoveMouse(screen.X, screen.Y);
  Pump();
  Tree->SetInteractionState(tlsNodeDragging);
  bool accept = true;
  Tree->DragOver(nullptr, button.X, button.Y, dsDragMove, accept);
  EXPECT_EQ(Tree->GetDragHoverNode(), root);
  Headless::AdvanceClock(499);
  Pump();
  EXPECT_FALSE(root->GetExpanded());
  Headless::AdvanceClock(1);
  Pump();
  EXPECT_TRUE(root->GetExpanded()) << "after the drag-expand delay";
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxDragExpandToggles);
  root->SetExpanded(false);
  Tree->DragOver(nullptr, button.X, button.Y, dsDragMove, accept);
  Headless::AdvanceClock(500);
  Pump();
  EXPECT_TRUE(root->GetExpanded());
  Headless::AdvanceClock(1000);
  Pump();
  EXPECT_FALSE(root->GetExpanded()) << "toggling again after twice the delay";
  Tree->SetInteractionState(tlsIdle);
}

}  // namespace
