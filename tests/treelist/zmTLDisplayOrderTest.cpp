// The display order of large trees against a full walk of a model of the tree: random insertions
// anywhere, deletions of whole subtrees, expansions (one node or a subtree), sorting, children
// cleared at once and a hidden node with children of its own, inside and outside update brackets.
// The row-height cache and the queries' answers for nodes that are not shown.
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>

#include "zmTLTestSupport.h"

namespace {

struct TOrderNode {
  TzmTreeListNode* Real = nullptr;
  TOrderNode* Parent = nullptr;
  std::vector<TOrderNode*> Children;
  bool Expanded = false;
  Integer Id = 0;
};

class zmTLDisplayOrder : public TzmTreeListTest {
 protected:
  std::vector<std::unique_ptr<TOrderNode>> Store;
  std::vector<TOrderNode*> Roots;
  TOrderNode Hidden;  // a node outside the tree, with children of its own
  std::mt19937 Random{2024};
  Integer NextId = 0;

  Integer Pick(Integer Count) { return static_cast<Integer>(Random() % static_cast<unsigned>(Count)); }
  std::vector<TOrderNode*>& ListOf(TOrderNode* Parent) { return Parent ? Parent->Children : Roots; }

  void Walk(const std::vector<TOrderNode*>& List, bool ShownOnly, std::vector<TOrderNode*>& Out) {
    for (TOrderNode* n : List) {
      Out.push_back(n);
      if (n->Expanded || !ShownOnly) Walk(n->Children, ShownOnly, Out);
    }
  }
  std::vector<TOrderNode*> All() {
    std::vector<TOrderNode*> all;
    Walk(Roots, false, all);
    Walk(Hidden.Children, false, all);
    return all;
  }
  TOrderNode* AnyNode(bool WithHidden) {
    std::vector<TOrderNode*> all = All();
    if (WithHidden && Pick(10) == 0) return &Hidden;
    return all.empty() ? nullptr : all[static_cast<size_t>(Pick(static_cast<Integer>(all.size())))];
  }

  TOrderNode* Insert(TOrderNode* Parent, Integer Index) {
    auto model = std::make_unique<TOrderNode>();
    model->Parent = Parent;
    model->Id = NextId++;
    model->Real = Tree->InsertNode(Parent ? Parent->Real : nullptr, Index);
    // Zero-padded numbers: the text order is the number order.
    String text = IntToStr(model->Id);
    model->Real->SetStrings(0, String(6 - text.size(), '0') + text);
    std::vector<TOrderNode*>& list = ListOf(Parent);
    list.insert(list.begin() + Index, model.get());
    Store.push_back(std::move(model));
    return list[static_cast<size_t>(Index)];
  }
  void AddSome() {
    TOrderNode* parent = Pick(5) == 0 ? nullptr : AnyNode(true);
    Integer count = Pick(3) == 0 ? 1 + Pick(60) : 1;
    for (Integer i = 0; i < count; ++i) Insert(parent, Pick(static_cast<Integer>(ListOf(parent).size()) + 1));
  }
  void Forget(TOrderNode* Node) {
    std::vector<TOrderNode*>& list = ListOf(Node->Parent);
    list.erase(std::find(list.begin(), list.end(), Node));
    if (Node->Parent && Node->Parent->Children.empty()) Node->Parent->Expanded = false;
  }
  void DeleteOne() {
    TOrderNode* victim = AnyNode(false);
    if (!victim) return;
    Forget(victim);
    Free(victim->Real);
  }
  void DeleteChildren() {
    TOrderNode* node = AnyNode(true);
    if (!node || node->Children.empty()) return;
    node->Children.clear();
    node->Expanded = false;
    node->Real->DeleteChildren();
  }
  void Toggle() {
    TOrderNode* node = AnyNode(true);
    if (!node || node->Children.empty()) return;
    node->Expanded = !node->Expanded;
    node->Real->SetExpanded(node->Expanded);
  }
  void ExpandSubtree() {
    TOrderNode* node = AnyNode(false);
    if (!node) return;
    std::function<void(TOrderNode*)> open = [&](TOrderNode* n) {
      if (n->Children.empty()) return;
      n->Expanded = true;
      for (TOrderNode* child : n->Children) open(child);
    };
    open(node);
    node->Real->Expand(true);
  }
  void Sort() {
    bool descending = Pick(2) == 0;
    std::function<void(std::vector<TOrderNode*>&)> sort = [&](std::vector<TOrderNode*>& list) {
      std::sort(list.begin(), list.end(), [descending](const TOrderNode* a, const TOrderNode* b) {
        return descending ? a->Id > b->Id : a->Id < b->Id;
      });
      for (TOrderNode* n : list) sort(n->Children);
    };
    sort(Roots);
    Tree->SortNodes(-1, 0, descending);
  }

  // The full rebuild: the model walked through its expanded nodes.
  void Check(int Step) {
    SCOPED_TRACE("step " + std::to_string(Step));
    std::vector<TOrderNode*> shown;
    Walk(Roots, true, shown);
    ASSERT_EQ(Tree->GetVisibleNodeCount(), static_cast<Integer>(shown.size()));
    ASSERT_EQ(Tree->VisibleNodeAt(static_cast<Integer>(shown.size())), nullptr);
    for (size_t i = 0; i < shown.size(); ++i) {
      TzmTreeListNode* node = shown[i]->Real;
      ASSERT_EQ(Tree->VisibleNodeAt(static_cast<Integer>(i)), node) << "display index " << i;
      ASSERT_EQ(node->GetAbsoluteIndex(), static_cast<Integer>(i));
      ASSERT_EQ(Tree->GetNextVisible(node), i + 1 < shown.size() ? shown[i + 1]->Real : nullptr);
      ASSERT_EQ(Tree->GetPrevVisible(node), i > 0 ? shown[i - 1]->Real : nullptr);
    }
    std::set<TOrderNode*> isShown(shown.begin(), shown.end());
    for (TOrderNode* n : All()) {
      const std::vector<TOrderNode*>& list = ListOf(n->Parent);
      Integer index = static_cast<Integer>(std::find(list.begin(), list.end(), n) - list.begin());
      ASSERT_EQ(n->Real->GetIndex(), index);
      if (n->Parent) {
        ASSERT_EQ(n->Parent->Real->IndexOf(n->Real), index);
      }
      ASSERT_EQ(n->Real->GetExpanded(), n->Expanded);
      if (!isShown.count(n)) {
        ASSERT_EQ(n->Real->GetAbsoluteIndex(), -1) << "a node that is not shown has no display index";
      }
    }
    ASSERT_EQ(Hidden.Real->GetAbsoluteIndex(), -1);
  }

  void SetUp() override {
    TzmTreeListTest::SetUp();
    Column("Name");
    Hidden.Real = Tree->CreateNode();
    Tree->AddHiddenNode(Hidden.Real);
  }
};

TEST_F(zmTLDisplayOrder, RandomChangesToLargeTreesKeepTheOrderOfAFullWalk) {
  for (int step = 0; step < 700; ++step) {
    bool bracket = Pick(8) == 0;
    if (bracket) Tree->BeginUpdate();
    for (Integer n = bracket ? 1 + Pick(6) : 1; n > 0; --n) {
      switch (Pick(20)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: AddSome(); break;
        case 7: case 8: case 9: DeleteOne(); break;
        case 10: DeleteChildren(); break;
        case 11: ExpandSubtree(); break;
        case 12: Sort(); break;
        default: Toggle(); break;
      }
    }
    if (bracket && Pick(2) == 0) Check(step);  // the queries answer inside a bracket too
    if (bracket) Tree->EndUpdate();
    if (step % 7 == 0) Check(step);
    if (HasFatalFailure()) return;
  }
  Check(700);
  EXPECT_GT(Store.size(), 2000u) << "the trees grew large";
}

TEST_F(zmTLDisplayOrder, NodesOutsideTheShownTreeHaveNoDisplayIndex) {
  TOrderNode* root = Insert(nullptr, 0);
  TOrderNode* child = Insert(root, 0);
  TOrderNode* hiddenChild = Insert(&Hidden, 0);
  Hidden.Real->SetExpanded(true);
  EXPECT_EQ(child->Real->GetAbsoluteIndex(), -1) << "under a collapsed parent";
  EXPECT_EQ(hiddenChild->Real->GetAbsoluteIndex(), -1) << "under a hidden node, even an expanded one";
  EXPECT_EQ(Tree->GetVisibleNodeCount(), 1);
  EXPECT_EQ(Tree->GetPrevVisible(child->Real), nullptr) << "no previous shown node while the order is usable";
  TTestTreeList* other = Add<TTestTreeList>(Form, "Other", Rect(0, 0, 10, 10));
  EXPECT_EQ(other->IndexOfVisibleNode(root->Real), -1) << "another control's node";
}

TEST_F(zmTLDisplayOrder, AnUpdateBracketForgetsEveryCachedRowHeight) {
  TOrderNode* root = Insert(nullptr, 0);
  TOrderNode* child = Insert(root, 0);
  for (TOrderNode* n : {root, child, &Hidden}) n->Real->SetCachedRowHeight(33);
  EXPECT_EQ(child->Real->GetCachedRowHeight(), 33);
  Tree->BeginUpdate();
  for (TOrderNode* n : {root, child, &Hidden}) EXPECT_EQ(n->Real->GetCachedRowHeight(), 0);
  child->Real->SetCachedRowHeight(21);
  EXPECT_EQ(child->Real->GetCachedRowHeight(), 21) << "a height cached after the clearing stays";
  Tree->EndUpdate();
}

}  // namespace
