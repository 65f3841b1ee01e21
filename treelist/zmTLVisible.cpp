// The display order of the tree list (every node keeps the rows its subtree takes while shown,
// and each list of siblings sums its nodes' rows: see zmTLRowSums.h), the control's side of
// adding, deleting and expanding nodes, and the selection locks.
#include <algorithm>
#include <utility>

#include "platform/rtl/Scopes.h"
#include "treelist/zmTL.h"
#include "treelist/zmUtils.h"

// ---------------------------------------------------------------------------------------------
// Adding nodes

TzmTreeListNode* TCustomzmTreeList::AddNode(TzmTreeListNode* Parent) {
  return InsertNode(Parent, Parent ? Parent->GetCount() : GetRootCount());
}

TzmTreeListNode* TCustomzmTreeList::InsertNode(TzmTreeListNode* Parent, Integer Index) {
  if (Parent && (Parent->GetOwner() != this || Parent->GetDeleting()))
    throw EInvalidzmTreeListOperation(LoadResString(&SzmInvalidNodeOwner));
  TOwned<TzmTreeListNode> node(CreateNode());
  node->Link(Parent, Index);
  TzmTreeListNode* added = node.release();
  if (Parent) Parent->SetHasChildren(true);
  NodeAdded(added);
  return added;
}

void TCustomzmTreeList::NodeAdded(TzmTreeListNode* Node) {
  ResetEditedCell();
  if (!FTopNode) SetTopVisibleNode(Node);
  if (!FFocusedNode) FFocusedNode = FTopNode;
  if (FUpdateLockCount > 0 || HasState(csLoading) || IsDestroying()) return;
  PatchVisibleNodes(Node, false);
  TzmTreeListNode* from = Node->GetPrevSibling();
  if (!from) from = Node->GetParent();
  InvalidateNode(from ? from : Node, true);
}

void TCustomzmTreeList::AddHiddenNode(TzmTreeListNode* Node) {
  if (Node && Node->GetOwner() == this && std::find(FHiddenNodes.begin(), FHiddenNodes.end(), Node) == FHiddenNodes.end())
    FHiddenNodes.push_back(Node);
}

// ---------------------------------------------------------------------------------------------
// Deleting nodes

void TCustomzmTreeList::DoNodeDeleted(TzmTreeListNode* Node, TzmTreeListNode* Prior, TzmTreeListNode* NextVisible,
                                      bool /*WasLast*/, bool WasVisible) {
  bool shown = std::exchange(FPatchNodeShown, false);
  if (OnNodeDeleted) OnNodeDeleted(this, Node);
  if (FClearingNodes) return;
  if (IsNodeSelected(Node)) SetNodeSelected(Node, false);
  // The deleted node's own edit is given up; another node's is posted.
  if (FEditorNode == Node) FEditorNode = nullptr;
  if (FRootNodes.empty()) {
    if (!IsDestroying() && !FKeepVisibleLists) ClearVisibleNodes();
    bool hadFocus = FFocusedNode == Node;
    ForgetNodeReferences();
    if (IsDestroying()) return;
    if (!IsUpdateLocked()) {
      UpdateRowCounts();
      Invalidate();
    }
    if (hadFocus) DoFocusedNodeChanged(Node, nullptr);
    return;
  }
  TzmTreeListNode* oldTop = FTopNode;
  if (FTopNode == Node) {
    SetTopVisibleNode(Prior);
    if (!FTopNode) SetTopVisibleNode(NextVisible);
  }
  TzmTreeListNode* newFocus = nullptr;
  bool focusMoved = FFocusedNode == Node;
  if (focusMoved) newFocus = FFocusedNode = Prior ? Prior : NextVisible;
  FPressFocusedNode = nullptr;
  if (FSelectionAnchorNode == Node) FSelectionAnchorNode = Prior ? Prior : NextVisible;
  if (FDraggedNode == Node) FDraggedNode = nullptr;
  if (FHotSpot.Node == Node) FHotSpot.Node = nullptr;
  ResetEditedCell();
  if (shown && !IsUpdateLocked() && !IsDestroying()) {
    FPatchNodeShown = true;
    PatchVisibleNodes(Node, true);
  }
  if (WasVisible) {
    TzmTreeListNode* from = FTopNode != oldTop ? FTopNode : nullptr;
    for (TzmTreeListNode* candidate : {newFocus, Prior, NextVisible})
      if (!from) from = candidate;
    if (from) InvalidateNode(from, true);
  }
  if (focusMoved && !IsDestroying()) DoFocusedNodeChanged(Node, newFocus);
}

void TCustomzmTreeList::ForgetNodeReferences() {
  FTopNode = nullptr;
  FFocusedNode = nullptr;
  ResetEditedCell();
  FSelectionAnchorNode = nullptr;
  FRangeSelecting = false;
  FPressFocusedNode = nullptr;
  FDraggedNode = nullptr;
  FHotSpot.Node = nullptr;
}

void TCustomzmTreeList::DeleteAllNodes() {
  TUpdateScope update(IsDestroying() ? nullptr : this);
  TValueScope clearing(FClearingNodes, true);
  ClearVisibleNodes();
  TValueScope keep(FKeepVisibleLists, true);
  ClearSelection();
  ForgetNodeReferences();
  std::vector<TzmTreeListNode*> roots;
  roots.swap(FRootNodes);
  FRootRows.Clear();
  for (TzmTreeListNode* root : roots) Free(root);
  std::vector<TzmTreeListNode*> hidden;
  hidden.swap(FHiddenNodes);
  for (TzmTreeListNode* node : hidden) Free(node);
}

void TCustomzmTreeList::DeleteColumnStrings(TzmTreeListNode* Node, Integer Column) {
  std::vector<TzmTreeListNode*> pending{Node};
  while (!pending.empty()) {
    TzmTreeListNode* node = pending.back();
    pending.pop_back();
    if (auto* text = As<TzmTreeListTextNode>(node)) text->GetStringList()->Delete(Column);
    for (Integer i = 0; i < node->GetCount(); ++i) pending.push_back(node->GetItem(i));
  }
}

// ---------------------------------------------------------------------------------------------
// The display order

bool TCustomzmTreeList::IsVisibleListUsable() const {
  return FVisibleListValid && FVisibleListHoldsNodes && !IsDestroying();
}

void TCustomzmTreeList::ClearVisibleNodes() {
  if (FKeepVisibleLists) return;
  FVisibleListValid = false;
  FVisibleListHoldsNodes = false;
  FFocusedColumnCache = -1;
  ClearRowHeightCache();
}

void TCustomzmTreeList::ClearRowHeightCache() {
  if (FClearingNodes || IsDestroying()) return;
  ++FRowHeightGeneration;
}

void TCustomzmTreeList::RebuildVisibleNodes() {
  TValueScope building(FBuildingVisibleNodes, true);
  if (!FPatchNode) {
    FVisibleListHoldsNodes = GetVisibleNodeCount() > 0;
  } else if (!FPatchIsRemoval && FPatchNodeShown && IsVisibleListUsable()) {
    // A new last child takes the row footers of the one before it.
    TzmTreeListNode* parent = FPatchNode->GetParent();
    if (parent && parent->GetCount() > 1 && FPatchNode->IsLast())
      parent->GetItem(parent->GetCount() - 2)->SetCachedRowHeight(0);
  }
  if (!FKeepVisibleLists && IsMultiLineRows()) ClearRowHeightCache();
  FVisibleListValid = true;
}

void TCustomzmTreeList::PatchVisibleNodes(TzmTreeListNode* Node, bool IsRemoval) {
  TValueScope patch(FPatchNode, Node);
  FPatchNodeShown = FPatchNodeShown || Node->IsVisible();
  FPatchIsRemoval = IsRemoval;
  TFinally patched([this] { FPatchNodeShown = false; });
  RebuildVisibleNodes();
}

TzmTreeListNode* TCustomzmTreeList::FindNextInTree(const TzmTreeListNode* Node) const {
  for (const TzmTreeListNode* n = Node; n; n = n->GetParent())
    if (TzmTreeListNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

void TCustomzmTreeList::NodeRowsChanged(TzmTreeListNode* Node, Integer Delta) {
  for (TzmTreeListNode* node = Node; Delta != 0;) {
    node->FRowCount += Delta;
    // A node in no list (a hidden node, or one whose list the clearing of all nodes took away).
    Integer index = node->GetIndex();
    if (index < 0) return;
    node->SiblingRowSums().Changed(index, Delta);
    node = node->FParent;
    if (!node || !node->FExpanded) return;
  }
}

const TzmTreeListRowSums& TCustomzmTreeList::CurrentRowSums(TzmTreeListNode* Parent) {
  TzmTreeListRowSums& sums = Parent ? Parent->FChildRows : FRootRows;
  if (!sums.IsCurrent()) {
    const std::vector<TzmTreeListNode*>& list = Parent ? Parent->FChildren : FRootNodes;
    sums.Settle([&list](Integer Index) {
      TzmTreeListNode* node = list[static_cast<size_t>(Index)];
      node->FIndex = Index;
      return node->FRowCount;
    });
  }
  return sums;
}

// ---------------------------------------------------------------------------------------------
// Queries

// The rows before the node: at each level those of the siblings before it, plus its parent's.
Integer TCustomzmTreeList::IndexOfVisibleNode(const TzmTreeListNode* Node) {
  if (!Node || Node->GetOwner() != this || FRootNodes.empty()) return -1;
  Integer index = 0;
  for (const TzmTreeListNode* node = Node; node; node = node->FParent) {
    TzmTreeListNode* parent = node->FParent;
    if (parent && !parent->FExpanded) return -1;
    const TzmTreeListRowSums& sums = CurrentRowSums(parent);
    Integer position = node->GetIndex();
    if (position < 0) return -1;
    index += sums.Before(position) + (parent ? 1 : 0);
  }
  return index;
}

// From the roots down: the sibling holding the row, then into its children until the row is
// the node's own.
TzmTreeListNode* TCustomzmTreeList::VisibleNodeAt(Integer Index) {
  if (Index < 0 || Index >= GetVisibleNodeCount()) return nullptr;
  TzmTreeListNode* parent = nullptr;
  for (Integer row = Index;;) {
    const std::vector<TzmTreeListNode*>& list = parent ? parent->FChildren : FRootNodes;
    Integer before = 0;
    Integer position = CurrentRowSums(parent).Find(row, before);
    if (position >= static_cast<Integer>(list.size())) return nullptr;
    TzmTreeListNode* node = list[static_cast<size_t>(position)];
    row -= before;
    if (row == 0) return node;
    --row;
    parent = node;
  }
}

Integer TCustomzmTreeList::GetVisibleNodeCount() { return FRootRows.GetTotal(); }

TzmTreeListNode* TCustomzmTreeList::GetNextVisible(const TzmTreeListNode* Node) {
  if (!Node) return nullptr;
  if (Node->GetExpanded() && Node->GetCount() > 0) return Node->GetFirstChild();
  return FindNextInTree(Node);
}

TzmTreeListNode* TCustomzmTreeList::GetPrevVisible(const TzmTreeListNode* Node) {
  if (!Node) return nullptr;
  if (IsVisibleListUsable() && IndexOfVisibleNode(Node) < 0) return nullptr;
  TzmTreeListNode* prev = Node->GetPrevSibling();
  if (!prev) return Node->GetParent();
  while (prev->GetExpanded() && prev->GetCount() > 0) prev = prev->GetLastChild();
  return prev;
}

TzmTreeListNode* TCustomzmTreeList::GetRootNode(Integer Index) const {
  return Index >= 0 && Index < GetRootCount() ? FRootNodes[static_cast<size_t>(Index)] : nullptr;
}

TzmTreeListNode* TCustomzmTreeList::GetLastVisibleNode() const {
  TzmTreeListNode* node = FRootNodes.empty() ? nullptr : FRootNodes.back();
  while (node && node->GetExpanded() && node->GetCount() > 0) node = node->GetLastChild();
  return node;
}

bool TCustomzmTreeList::IsFocusAtFirst() { return FRootNodes.empty() || FFocusedNode == GetFirstRootNode(); }

bool TCustomzmTreeList::IsFocusAtLast() { return FRootNodes.empty() || FFocusedNode == GetLastVisibleNode(); }

TzmTreeListNode* TCustomzmTreeList::GetRelativeNode(TzmTreeListNode* Node, TzmTreeListRelative Kind, bool Flag) {
  if (!Node) return nullptr;
  switch (Kind) {
    case zmrFirst:
      return GetFirstRootNode();
    case zmrPrior:
      return GetPrevVisible(Node);
    case zmrNext:
      return Flag ? Node->GetNext() : GetNextVisible(Node);
    case zmrLast: {
      TzmTreeListNode* last = FRootNodes.back();
      if (Flag)
        while (last->GetCount() > 0) last = last->GetLastChild();
      return last;
    }
  }
  return nullptr;
}

TzmTreeListNode* TCustomzmTreeList::MoveFocusRelative(TzmTreeListRelative Kind, bool Flag) {
  if (!FFocusedNode) return nullptr;
  bool carrySelection = IsMultiSelect() && GetSelectedCount() == 1 && IsNodeSelected(FFocusedNode);
  TzmTreeListNode* node = GetRelativeNode(FFocusedNode, Kind, Flag);
  if (!node) return nullptr;
  SetFocusedNodeColumn(node, FFocusedVisibleColumn, true);
  if (carrySelection) {
    ClearSelection();
    SetNodeSelected(node, true);
  }
  return node;
}

Integer TCustomzmTreeList::GetTopIndex() { return FTopNode ? IndexOfVisibleNode(FTopNode) : -1; }

Integer TCustomzmTreeList::GetFocusedIndex() { return FFocusedNode ? IndexOfVisibleNode(FFocusedNode) : 0; }

bool TCustomzmTreeList::IsLastNode(const TzmTreeListNode* Node) {
  return Node && VisibleNodeAt(GetVisibleNodeCount() - 1) == Node;
}

// ---------------------------------------------------------------------------------------------
// Expansion

bool TCustomzmTreeList::FocusCollapsingAncestor(TzmTreeListNode* Node) {
  SetFocusedNodeColumn(Node, FFocusedVisibleColumn, true);
  return true;
}

void TCustomzmTreeList::MakeNodeVisible(TzmTreeListNode* Node) {
  if (!Node || Node->GetOwner() != this) return;
  if (!Node->IsVisible()) {
    TUpdateScope scope(this);
    for (TzmTreeListNode* p = Node->GetParent(); p; p = p->GetParent())
      if (!p->GetExpanded()) p->SetExpanded(true);
  }
  if (IsUpdateLocked()) return;
  Integer top = GetTopIndex(), index = IndexOfVisibleNode(Node);
  if (index < 0) return;
  if (index < top) SetTopIndex(index);
  else if (index > top + FPageRowCount - 1) SetTopIndex(GetTopIndexForBottom(index));
}

void TCustomzmTreeList::DoCanExpand(TzmTreeListNode* Node, bool& Allow) {
  if (OnNodeExpanding) OnNodeExpanding(this, Node, Allow);
}

void TCustomzmTreeList::DoCanCollapse(TzmTreeListNode* Node, bool& Allow) {
  if (OnNodeCollapsing) OnNodeCollapsing(this, Node, Allow);
}

void TCustomzmTreeList::DoExpanded(TzmTreeListNode* Node) {
  if (OnNodeExpanded) OnNodeExpanded(this, Node);
}

void TCustomzmTreeList::DoCollapsed(TzmTreeListNode* Node) {
  if (OnNodeCollapsed) OnNodeCollapsed(this, Node);
}

// ---------------------------------------------------------------------------------------------
// Selection locks and identity

void TCustomzmTreeList::BeginSelection() {
  if (FSelectionLockCount == 0) FSelectionCountAtLock = GetSelectedCount();
  ++FSelectionLockCount;
}

void TCustomzmTreeList::EndSelection() {
  if (FSelectionLockCount == 0) return;
  if (--FSelectionLockCount == 0 && GetSelectedCount() != FSelectionCountAtLock) DoSelectionCountChanged();
}

void TCustomzmTreeList::DoSelectionCountChanged() {
  if (!IsDestroying() && FSelectionLockCount == 0 && OnSelectionCountChanged) OnSelectionCountChanged(this);
}

void TCustomzmTreeList::ClearSelection() {
  FRangeSelecting = false;
  DoSelectionCountChanged();
}

void TCustomzmTreeList::SetNodeSelected(TzmTreeListNode*, bool) { DoSelectionCountChanged(); }

Integer TCustomzmTreeList::StopRangeSelect() {
  FRangeSelecting = false;
  return GetSelectedCount();
}

TzmTreeListNode* TCustomzmTreeList::GetFirstSelectedNode() {
  return GetSelectedCount() > 0 ? GetSelectedNode(0) : FSelectionFallbackNode;
}

bool TCustomzmTreeList::CanSelectNode(TzmTreeListNode* Node) {
  bool allow = true;
  if (OnCanSelectNode) OnCanSelectNode(this, Node, allow);
  if (!allow || IsSelectAcrossParents()) return allow;
  TzmTreeListNode* first = GetFirstSelectedNode();
  return !first || !Node || first->GetParent() == Node->GetParent();
}

void TCustomzmTreeList::InvalidateSelection() {
  if (FFocusedNode) InvalidateNode(FFocusedNode, false);
  Integer count = GetSelectedCount();
  if (count > 10) {
    Invalidate();
    return;
  }
  for (Integer i = 0; i < count; ++i)
    if (TzmTreeListNode* node = GetSelectedNode(i)) InvalidateNode(node, false);
}

Integer TCustomzmTreeList::CompareNodeIdentity(TzmTreeListNode* Node1, TzmTreeListNode* Node2) {
  UInt64 a = Node1->GetSequence(), b = Node2->GetSequence();
  return a < b ? -1 : (a > b ? 1 : 0);
}
