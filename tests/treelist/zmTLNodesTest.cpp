// Tree list nodes: structure and navigation, the expand/collapse protocol, deletion with the
// focus and top node kept valid, and the display order kept in step with a model of the tree
// through random additions, deletions and expansions.
#include <functional>
#include <map>
#include <random>

#include "zmTLTestSupport.h"

namespace {

class zmTLNodes : public TzmTreeListTest {
 protected:
  // R1 (A, B (B1)), R2, R3
  void Build() {
    R1 = Node("R1");
    A = Node("A", R1);
    B = Node("B", R1);
    B1 = Node("B1", B);
    R2 = Node("R2");
    R3 = Node("R3");
  }
  TzmTreeListNode *R1 = nullptr, *A = nullptr, *B = nullptr, *B1 = nullptr, *R2 = nullptr, *R3 = nullptr;
};

TEST_F(zmTLNodes, ANodeNeedsAnOwner) {
  EXPECT_THROW(TzmTreeListTextNode(nullptr), EInvalidzmTreeListOperation);
  try {
    TzmTreeListTextNode node(nullptr);
  } catch (const EInvalidzmTreeListOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid Owner TzmTreeListNode");
  }
}

TEST_F(zmTLNodes, StructureQueries) {
  Build();
  EXPECT_EQ(R1->GetCount(), 2);
  EXPECT_EQ(R1->GetItem(1), B);
  EXPECT_EQ(R1->GetItem(2), nullptr);
  EXPECT_EQ(R1->GetItem(-1), nullptr);
  EXPECT_EQ(R1->IndexOf(B1), -1);
  EXPECT_EQ(R2->GetIndex(), 1) << "a root's index is its place in the root list";
  EXPECT_EQ(R1->GetLevel(), 0);
  EXPECT_EQ(B1->GetLevel(), 2);
  EXPECT_TRUE(B1->HasAsParent(R1));
  EXPECT_FALSE(B1->HasAsParent(B1)) << "a node is not its own parent";
  EXPECT_TRUE(R3->IsLast());
  EXPECT_TRUE(B->IsLast());
  EXPECT_FALSE(A->IsLast());
  EXPECT_TRUE(R1->GetHasChildren()) << "adding a child gives the parent its button";
  EXPECT_EQ(R1->GetLastChild(), B);
  EXPECT_EQ(A->GetPrevSiblingOrParent(), R1);
  EXPECT_EQ(R1->GetPrevSiblingOrParent(), nullptr);
  EXPECT_EQ(R2->GetPrevSibling(), R1);
  EXPECT_EQ(R3->GetNextSibling(), nullptr);
}

TEST_F(zmTLNodes, DepthFirstOrderIgnoresExpansion) {
  Build();
  std::vector<String> forward, backward;
  for (TzmTreeListNode* n = R1; n; n = n->GetNext()) forward.push_back(n->GetStrings(0));
  for (TzmTreeListNode* n = R3; n; n = n->GetPrev()) backward.push_back(n->GetStrings(0));
  EXPECT_EQ(forward, (std::vector<String>{"R1", "A", "B", "B1", "R2", "R3"}));
  EXPECT_EQ(backward, (std::vector<String>{"R3", "R2", "B1", "B", "A", "R1"}));
  EXPECT_EQ(B1->GetNext(), R2) << "from the end of a subtree to the next sibling of an ancestor";
  EXPECT_EQ(A->GetPrev(), R1) << "a first child goes back to its parent";
}

TEST_F(zmTLNodes, InsertingClampsTheIndexAndFillsTopAndFocus) {
  TzmTreeListNode* first = Node("first");
  EXPECT_EQ(Tree->GetTopNode(), first);
  EXPECT_EQ(Tree->GetFocusedNode(), first);
  TzmTreeListNode* front = Tree->InsertNode(nullptr, -7);
  TzmTreeListNode* back = Tree->InsertNode(nullptr, 99);
  EXPECT_EQ(Tree->GetRootNode(0), front);
  EXPECT_EQ(Tree->GetRootNode(2), back);
  TzmTreeListNode* child = first->InsertChild(5);
  EXPECT_EQ(child->GetParent(), first);
  EXPECT_EQ(first->AddChild()->GetIndex(), 1);
}

TEST_F(zmTLNodes, NodesOfAnotherControlOrBeingDeletedTakeNoChildren) {
  auto* other = Add<TTestTreeList>(Form, "Other", Rect(0, 0, 50, 50));
  TzmTreeListNode* foreign = other->AddNode(nullptr);
  EXPECT_THROW(Tree->AddNode(foreign), EInvalidzmTreeListOperation);
  EXPECT_EQ(Tree->GetRootCount(), 0);
}

TEST_F(zmTLNodes, ExpandingRunsTheProtocolAndRebuildsTheDisplayOrder) {
  Build();
  Tree->RecordEvents();
  R1->SetExpanded(true);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"expanding R1", "expanded R1"}));
  EXPECT_EQ(Shown(), (std::vector<String>{"R1", "A", "B", "R2", "R3"}));
  EXPECT_EQ(B->GetAbsoluteIndex(), 2);
  EXPECT_EQ(B1->GetAbsoluteIndex(), -1);
  EXPECT_EQ(B->GetNextVisible(), R2);
  EXPECT_EQ(R2->GetPrevVisible(), B);
}

TEST_F(zmTLNodes, ARefusedExpansionChangesNothing) {
  Build();
  Tree->OnNodeExpanding = [](TObject*, TzmTreeListNode*, bool& Allow) { Allow = false; };
  R1->SetExpanded(true);
  EXPECT_FALSE(R1->GetExpanded());
  EXPECT_EQ(Shown(), (std::vector<String>{"R1", "R2", "R3"}));
}

TEST_F(zmTLNodes, ANodeWithoutButtonNeverExpandsButAButtonWithoutChildrenDoes) {
  Build();
  Tree->RecordEvents();
  R2->SetExpanded(true);
  EXPECT_FALSE(R2->GetExpanded());
  EXPECT_TRUE(Tree->Log.empty()) << "not even the events fire";
  R2->SetHasChildren(true);
  R2->SetExpanded(true);
  EXPECT_TRUE(R2->GetExpanded());
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"expanding R2", "expanded R2"}));
}

TEST_F(zmTLNodes, ANodeWithChildrenKeepsItsButton) {
  Build();
  R1->SetHasChildren(false);
  EXPECT_TRUE(R1->GetHasChildren());
}

TEST_F(zmTLNodes, CollapsingMovesTheFocusAndTheTopRowOutOfTheSubtree) {
  Build();
  R1->Expand(true);
  Tree->SetFocusedNodeColumn(B1, 0, false);
  Tree->RecordEvents();
  R1->SetExpanded(false);
  EXPECT_FALSE(R1->GetExpanded());
  EXPECT_EQ(Tree->GetFocusedNode(), R1);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"collapsing R1", "focused R1", "collapsed R1"}));
}

TEST_F(zmTLNodes, ARefusedRefocusStopsTheCollapseButTheTopRowHasMoved) {
  Build();
  R1->Expand(true);
  Tree->SetFocusedNodeColumn(B1, 0, false);
  Tree->SetTopVisibleNode(B);
  Tree->Refocuses = false;
  R1->SetExpanded(false);
  EXPECT_TRUE(R1->GetExpanded()) << "the refused focus move stops the collapse";
  EXPECT_EQ(Tree->GetFocusedNode(), B1);
  EXPECT_EQ(Tree->GetTopNode(), R1) << "the top row moved before the refusal";
}

TEST_F(zmTLNodes, DeletingTheOnlyChildResetsTheParent) {
  Build();
  B->SetExpanded(true);
  Free(B1);
  EXPECT_EQ(B->GetCount(), 0);
  EXPECT_FALSE(B->GetHasChildren());
  EXPECT_FALSE(B->GetExpanded());
}

TEST_F(zmTLNodes, DeletingTheFocusedNodeFocusesThePreviousSiblingThenTheParentThenTheNext) {
  Build();
  R1->Expand(true);
  Tree->SetFocusedNodeColumn(B, 0, false);
  Free(B);
  EXPECT_EQ(Tree->GetFocusedNode(), A) << "the previous sibling";
  Free(A);
  EXPECT_EQ(Tree->GetFocusedNode(), R1) << "the first child's parent";
  Tree->SetFocusedNodeColumn(R1, 0, false);
  Free(R1);
  EXPECT_EQ(Tree->GetFocusedNode(), R2) << "a first root: the next shown node";
  EXPECT_EQ(Tree->GetTopNode(), R2);
  Free(R2);
  Free(R3);
  EXPECT_EQ(Tree->GetFocusedNode(), nullptr);
  EXPECT_EQ(Tree->GetTopNode(), nullptr);
}

TEST_F(zmTLNodes, DeletionEventsFireChildrenFirstAndForEveryNodeOfAMassDeletion) {
  Build();
  Tree->RecordEvents();
  Free(R1);
  EXPECT_EQ(Tree->Log,
            (std::vector<std::string>{"deleted A", "deleted B1", "deleted B", "deleted R1", "focused R2"}))
      << "the focus leaves the deleted node with its event";
  Tree->Log.clear();
  Tree->DeleteAllNodes();
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"deleted R2", "deleted R3"}));
  EXPECT_EQ(Tree->GetRootCount(), 0);
  EXPECT_EQ(Tree->GetFocusedNode(), nullptr);
}

TEST_F(zmTLNodes, ComparingPositions) {
  Build();
  EXPECT_EQ(TzmTreeListNode::CompareNodePositions(B1, R1), 1) << "a descendant after its ancestor";
  EXPECT_EQ(TzmTreeListNode::CompareNodePositions(R1, B1), -1);
  EXPECT_LT(TzmTreeListNode::CompareNodePositions(B1, R2), 0);
  EXPECT_GT(TzmTreeListNode::CompareNodePositions(R3, A), 0);
  EXPECT_EQ(TzmTreeListNode::CompareNodePositions(A, A), 0);
}

TEST_F(zmTLNodes, UnfocusingANodeDoesNothing) {
  Build();
  Tree->SetFocusedNodeColumn(R2, 0, false);
  Tree->RecordEvents();
  R2->SetFocused(false);
  EXPECT_TRUE(R2->GetFocused());
  EXPECT_TRUE(Tree->Log.empty());
  R3->SetFocused(true);
  EXPECT_EQ(Tree->GetFocusedNode(), R3);
}

TEST_F(zmTLNodes, MakeVisibleExpandsEveryCollapsedAncestor) {
  Build();
  Tree->RecordEvents();
  B1->MakeVisible();
  EXPECT_TRUE(R1->GetExpanded());
  EXPECT_TRUE(B->GetExpanded());
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"expanding B", "expanded B", "expanding R1", "expanded R1"}))
      << "the parent first";
  EXPECT_EQ(B1->GetAbsoluteIndex(), 3);
}

TEST_F(zmTLNodes, ExpandingRecursivelyWhileHandlersAddChildren) {
  TzmTreeListNode* root = Node("root");
  root->SetHasChildren(true);
  Integer made = 0;
  Tree->OnNodeExpanding = [&](TObject*, TzmTreeListNode* Node, bool&) {
    if (Node->GetCount() > 0 || Node->GetLevel() >= 3) return;
    for (int i = 0; i < 3; ++i) {
      TzmTreeListNode* child = Node->AddChild();
      child->SetStrings(0, "n" + IntToStr(++made));
      child->SetHasChildren(child->GetLevel() < 3);
    }
  };
  root->Expand(true);
  EXPECT_EQ(made, 3 + 9 + 27);
  EXPECT_EQ(Tree->GetVisibleNodeCount(), 1 + made) << "every level came in and opened";
  EXPECT_TRUE(Tree->IsVisibleListUsable()) << "one rebuild at the end of the bracket";
  EXPECT_FALSE(Tree->IsUpdateLocked());
}

TEST_F(zmTLNodes, TextNodesKeepImagesAndStrings) {
  auto* node = As<TzmTreeListTextNode>(Node("x"));
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->GetImageIndex(), 0);
  EXPECT_EQ(node->GetSelectedIndex(), -1);
  EXPECT_EQ(node->GetStateIndex(), -1);
  node->SetStrings(3, "d");
  EXPECT_EQ(node->GetStringList()->GetCount(), 4) << "padded up to the column";
  EXPECT_EQ(node->GetStrings(2), "");
  EXPECT_EQ(node->GetStrings(9), "");
  EXPECT_EQ(VarToStr(node->GetValues(3)), "d");
  Tree->OnNodeImageIndex = [](TObject*, TzmTreeListNode*, Integer& Index) { Index += 10; };
  EXPECT_EQ(node->GetImageIndex(), 10) << "the event may change the stored index";
}

// ------------------------------------------------------------------ the display order against a model

struct TModelNode {
  TzmTreeListNode* Real = nullptr;
  TModelNode* Parent = nullptr;
  std::vector<TModelNode*> Children;
  bool Expanded = false;
};

class zmTLNodesModel : public TzmTreeListTest {
 protected:
  std::vector<std::unique_ptr<TModelNode>> Store;
  std::vector<TModelNode*> Roots;
  std::mt19937 Random{12345};

  Integer Pick(Integer Count) { return static_cast<Integer>(Random() % static_cast<unsigned>(Count)); }

  std::vector<TModelNode*> All() {
    std::vector<TModelNode*> all;
    std::function<void(const std::vector<TModelNode*>&)> walk = [&](const std::vector<TModelNode*>& list) {
      for (TModelNode* n : list) {
        all.push_back(n);
        walk(n->Children);
      }
    };
    walk(Roots);
    return all;
  }
  std::vector<TzmTreeListNode*> ShownInModel() {
    std::vector<TzmTreeListNode*> shown;
    std::function<void(const std::vector<TModelNode*>&)> walk = [&](const std::vector<TModelNode*>& list) {
      for (TModelNode* n : list) {
        shown.push_back(n->Real);
        if (n->Expanded) walk(n->Children);
      }
    };
    walk(Roots);
    return shown;
  }
  std::vector<TModelNode*>& ListOf(TModelNode* Parent) { return Parent ? Parent->Children : Roots; }

  void AddOne() {
    std::vector<TModelNode*> all = All();
    TModelNode* parent = all.empty() || Pick(4) == 0 ? nullptr : all[static_cast<size_t>(Pick(static_cast<Integer>(all.size())))];
    std::vector<TModelNode*>& list = ListOf(parent);
    Integer index = Pick(static_cast<Integer>(list.size()) + 1);
    auto model = std::make_unique<TModelNode>();
    model->Parent = parent;
    model->Real = Tree->InsertNode(parent ? parent->Real : nullptr, index);
    list.insert(list.begin() + index, model.get());
    Store.push_back(std::move(model));
  }
  void DeleteOne() {
    std::vector<TModelNode*> all = All();
    if (all.empty()) return;
    TModelNode* victim = all[static_cast<size_t>(Pick(static_cast<Integer>(all.size())))];
    std::vector<TModelNode*>& list = ListOf(victim->Parent);
    list.erase(std::find(list.begin(), list.end(), victim));
    if (victim->Parent && victim->Parent->Children.empty()) victim->Parent->Expanded = false;
    Free(victim->Real);
  }
  void ToggleOne() {
    std::vector<TModelNode*> parents;
    for (TModelNode* n : All())
      if (!n->Children.empty()) parents.push_back(n);
    if (parents.empty()) return;
    TModelNode* node = parents[static_cast<size_t>(Pick(static_cast<Integer>(parents.size())))];
    node->Expanded = !node->Expanded;
    node->Real->SetExpanded(node->Expanded);
  }

  void Check(int Step) {
    SCOPED_TRACE("step " + std::to_string(Step));
    std::vector<TzmTreeListNode*> expected = ShownInModel();
    ASSERT_EQ(Tree->GetVisibleNodeCount(), static_cast<Integer>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(Tree->VisibleNodeAt(static_cast<Integer>(i)), expected[i]) << "display index " << i;
      ASSERT_EQ(Tree->IndexOfVisibleNode(expected[i]), static_cast<Integer>(i));
      ASSERT_EQ(Tree->GetNextVisible(expected[i]), i + 1 < expected.size() ? expected[i + 1] : nullptr);
      ASSERT_EQ(Tree->GetPrevVisible(expected[i]), i > 0 ? expected[i - 1] : nullptr);
    }
    std::vector<TModelNode*> all = All();
    for (TModelNode* n : all) {
      if (std::find(expected.begin(), expected.end(), n->Real) == expected.end()) {
        ASSERT_EQ(n->Real->GetAbsoluteIndex(), -1) << "a hidden node has no display index";
      }
      ASSERT_EQ(n->Real->GetExpanded(), n->Expanded);
    }
    for (size_t i = 0; i + 1 < all.size(); ++i) ASSERT_EQ(all[i]->Real->GetNext(), all[i + 1]->Real);
    bool any = !all.empty();
    auto known = [&](TzmTreeListNode* node) {
      return std::any_of(all.begin(), all.end(), [node](TModelNode* n) { return n->Real == node; });
    };
    ASSERT_EQ(Tree->GetFocusedNode() != nullptr, any);
    ASSERT_EQ(Tree->GetTopNode() != nullptr, any);
    if (any) {
      ASSERT_TRUE(known(Tree->GetFocusedNode()));
      ASSERT_TRUE(known(Tree->GetTopNode()));
    }
  }
};

TEST_F(zmTLNodesModel, RandomChangesKeepTheIndexEqualToAFullRebuild) {
  Tree->BeginUpdate();
  for (int i = 0; i < 20; ++i) AddOne();
  Tree->EndUpdate();
  ASSERT_TRUE(Tree->IsVisibleListUsable());
  for (int step = 0; step < 1500; ++step) {
    Integer what = Pick(10);
    bool bracket = Pick(15) == 0;
    if (bracket) Tree->BeginUpdate();
    if (what < 5) AddOne();
    else if (what < 7) DeleteOne();
    else ToggleOne();
    if (bracket) Tree->EndUpdate();
    std::vector<TzmTreeListNode*> patched;
    for (Integer i = 0; i < Tree->GetVisibleNodeCount(); ++i) patched.push_back(Tree->VisibleNodeAt(i));
    Tree->RebuildVisibleNodes();
    std::vector<TzmTreeListNode*> rebuilt;
    for (Integer i = 0; i < Tree->GetVisibleNodeCount(); ++i) rebuilt.push_back(Tree->VisibleNodeAt(i));
    ASSERT_EQ(patched, rebuilt) << "step " << step;
    Check(step);
    if (HasFatalFailure()) return;
  }
}

TEST_F(zmTLNodesModel, QueriesWalkTheTreeWhileTheIndexIsCleared) {
  for (int i = 0; i < 60; ++i) AddOne();
  for (int i = 0; i < 30; ++i) ToggleOne();
  Tree->BeginUpdate();
  EXPECT_FALSE(Tree->IsVisibleListUsable());
  Check(0);
  Tree->EndUpdate();
  EXPECT_TRUE(Tree->IsVisibleListUsable());
  Check(1);
}

}  // namespace
