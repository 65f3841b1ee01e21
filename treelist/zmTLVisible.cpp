// The visible-node index of the tree list (three lists in step: the shown nodes in display order,
// the same nodes ordered by reference for binary search, and their display indexes), the
// control's side of adding, deleting and expanding nodes, and the selection locks.
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
#include "treelist/zmTL.h"
#include "treelist/zmUtils.h"

namespace {

// Node references ordered as pointers: a total order, unlike their difference.
bool NodeBefore(const TzmTreeListNode* A, const TzmTreeListNode* B) { return std::less<const void*>()(A, B); }

// Calls Visit for every shown node in display order until it answers false (without recursion:
// trees may be deep).
template <class F>
void ForEachShown(const std::vector<TzmTreeListNode*>& Roots, F&& Visit) {
  std::vector<std::pair<TzmTreeListNode*, Integer>> stack{{nullptr, 0}};  // parent (nil: roots), next child
  while (!stack.empty()) {
    auto& [parent, next] = stack.back();
    Integer count = parent ? parent->GetCount() : static_cast<Integer>(Roots.size());
    if (next >= count) {
      stack.pop_back();
      continue;
    }
    TzmTreeListNode* node = parent ? parent->GetItem(next) : Roots[static_cast<size_t>(next)];
    ++next;
    if (!Visit(node)) return;
    if (node->GetExpanded() && node->GetCount() > 0) stack.emplace_back(node, 0);
  }
}

}  // namespace

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
    if (auto* text = As<TzmTreeListTextNode>(node))
      if (text->GetStringList()->GetCount() > Column && Column >= 0) text->GetStringList()->Delete(Column);
    for (Integer i = 0; i < node->GetCount(); ++i) pending.push_back(node->GetItem(i));
  }
}

// ---------------------------------------------------------------------------------------------
// The index

bool TCustomzmTreeList::IsVisibleListUsable() const {
  return FVisibleListValid && !FVisibleNodesByAddress.empty() && !IsDestroying();
}

Integer TCustomzmTreeList::FindVisibleByAddress(const TzmTreeListNode* Node) const {
  auto it = std::lower_bound(FVisibleNodesByAddress.begin(), FVisibleNodesByAddress.end(), Node, NodeBefore);
  if (it == FVisibleNodesByAddress.end() || *it != Node) return -1;
  return static_cast<Integer>(it - FVisibleNodesByAddress.begin());
}

void TCustomzmTreeList::ClearVisibleNodes() {
  if (FKeepVisibleLists) return;
  FVisibleListValid = false;
  FVisibleNodes.clear();
  FVisibleNodesByAddress.clear();
  FVisibleIndexesByAddress.clear();
  FFocusedColumnCache = -1;
  ClearRowHeightCache();
}

void TCustomzmTreeList::ClearRowHeightCache() {
  if (FClearingNodes || IsDestroying()) return;
  std::vector<TzmTreeListNode*> pending(FRootNodes.begin(), FRootNodes.end());
  while (!pending.empty()) {
    TzmTreeListNode* node = pending.back();
    pending.pop_back();
    node->SetCachedRowHeight(0);
    for (Integer i = 0; i < node->GetCount(); ++i) pending.push_back(node->GetItem(i));
  }
}

void TCustomzmTreeList::RebuildVisibleNodes() {
  TValueScope building(FBuildingVisibleNodes, true);
  if (!FPatchNode) {
    FVisibleNodes.clear();
    FVisibleNodes.reserve(FRootNodes.size());
    ForEachShown(FRootNodes, [this](TzmTreeListNode* node) {
      FVisibleNodes.push_back(node);
      return true;
    });
    std::vector<std::pair<TzmTreeListNode*, Integer>> pairs;
    pairs.reserve(FVisibleNodes.size());
    for (size_t i = 0; i < FVisibleNodes.size(); ++i) pairs.emplace_back(FVisibleNodes[i], static_cast<Integer>(i));
    std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return NodeBefore(a.first, b.first); });
    FVisibleNodesByAddress.resize(pairs.size());
    FVisibleIndexesByAddress.resize(pairs.size());
    for (size_t k = 0; k < pairs.size(); ++k) {
      FVisibleNodesByAddress[k] = pairs[k].first;
      FVisibleIndexesByAddress[k] = pairs[k].second;
    }
  } else if (FPatchIsExpansion) {
    PatchVisibleExpansion(FPatchNode);
  } else if (FPatchNodeShown && IsVisibleListUsable()) {
    if (FPatchIsRemoval) PatchVisibleNodeOut(FPatchNode);
    else PatchVisibleNodeIn(FPatchNode);
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

void TCustomzmTreeList::PatchVisibleNodeOut(TzmTreeListNode* Node) {
  Integer k = FindVisibleByAddress(Node);
  if (k < 0) return;
  Integer d = FVisibleIndexesByAddress[static_cast<size_t>(k)];
  for (Integer& index : FVisibleIndexesByAddress)
    if (index >= d) --index;
  FVisibleIndexesByAddress.erase(FVisibleIndexesByAddress.begin() + k);
  FVisibleNodesByAddress.erase(FVisibleNodesByAddress.begin() + k);
  FVisibleNodes.erase(FVisibleNodes.begin() + d);
}

TzmTreeListNode* TCustomzmTreeList::FindNextInTree(const TzmTreeListNode* Node) const {
  for (const TzmTreeListNode* n = Node; n; n = n->GetParent())
    if (TzmTreeListNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

void TCustomzmTreeList::PatchVisibleNodeIn(TzmTreeListNode* Node) {
  if (FindVisibleByAddress(Node) >= 0) return;
  Integer d = static_cast<Integer>(FVisibleNodes.size());
  if (TzmTreeListNode* next = FindNextInTree(Node)) {
    Integer k = FindVisibleByAddress(next);
    if (k >= 0) d = FVisibleIndexesByAddress[static_cast<size_t>(k)];
  }
  for (Integer& index : FVisibleIndexesByAddress)
    if (index >= d) ++index;
  auto at = std::lower_bound(FVisibleNodesByAddress.begin(), FVisibleNodesByAddress.end(), Node, NodeBefore);
  size_t k = static_cast<size_t>(at - FVisibleNodesByAddress.begin());
  FVisibleIndexesByAddress.insert(FVisibleIndexesByAddress.begin() + static_cast<std::ptrdiff_t>(k), d);
  FVisibleNodesByAddress.insert(at, Node);
  FVisibleNodes.insert(FVisibleNodes.begin() + d, Node);
  TzmTreeListNode* parent = Node->GetParent();
  if (parent && parent->GetCount() > 1 && Node->IsLast())
    parent->GetItem(parent->GetCount() - 2)->SetCachedRowHeight(0);
}

// An expansion change of a shown node moves only its subtree's rows: they are cut out of (or
// spliced into) the display order as one block, and the by-reference lists are merged rather
// than sorted again.
void TCustomzmTreeList::VisibleExpansionChanged(TzmTreeListNode* Node) {
  if (!IsVisibleListUsable()) {
    RebuildVisibleNodes();
    return;
  }
  TValueScope patch(FPatchNode, Node);
  TValueScope expansion(FPatchIsExpansion, true);
  RebuildVisibleNodes();
}

void TCustomzmTreeList::PatchVisibleExpansion(TzmTreeListNode* Node) {
  Integer k = FindVisibleByAddress(Node);
  if (k < 0) return;
  Integer first = FVisibleIndexesByAddress[static_cast<size_t>(k)] + 1;
  if (Node->GetExpanded()) {
    std::vector<std::pair<TzmTreeListNode*, Integer>> added;
    ForEachShown(Node->FChildren, [&](TzmTreeListNode* node) {
      added.emplace_back(node, first + static_cast<Integer>(added.size()));
      return true;
    });
    if (added.empty()) return;
    Integer count = static_cast<Integer>(added.size());
    std::vector<TzmTreeListNode*> rows;
    rows.reserve(added.size());
    for (const auto& pair : added) rows.push_back(pair.first);
    FVisibleNodes.insert(FVisibleNodes.begin() + first, rows.begin(), rows.end());
    for (Integer& index : FVisibleIndexesByAddress)
      if (index >= first) index += count;
    std::sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return NodeBefore(a.first, b.first); });
    std::vector<TzmTreeListNode*> nodes;
    std::vector<Integer> indexes;
    nodes.reserve(FVisibleNodesByAddress.size() + added.size());
    indexes.reserve(nodes.capacity());
    size_t i = 0, j = 0;
    while (i < FVisibleNodesByAddress.size() || j < added.size()) {
      bool takeOld = j == added.size() ||
                     (i < FVisibleNodesByAddress.size() && NodeBefore(FVisibleNodesByAddress[i], added[j].first));
      if (takeOld) {
        nodes.push_back(FVisibleNodesByAddress[i]);
        indexes.push_back(FVisibleIndexesByAddress[i++]);
      } else {
        nodes.push_back(added[j].first);
        indexes.push_back(added[j++].second);
      }
    }
    FVisibleNodesByAddress.swap(nodes);
    FVisibleIndexesByAddress.swap(indexes);
    return;
  }
  Integer end = static_cast<Integer>(FVisibleNodes.size());
  if (TzmTreeListNode* after = FindNextInTree(Node)) {
    Integer at = FindVisibleByAddress(after);
    if (at >= 0) end = FVisibleIndexesByAddress[static_cast<size_t>(at)];
  }
  Integer count = end - first;
  if (count <= 0) return;
  FVisibleNodes.erase(FVisibleNodes.begin() + first, FVisibleNodes.begin() + end);
  size_t kept = 0;
  for (size_t i = 0; i < FVisibleNodesByAddress.size(); ++i) {
    Integer index = FVisibleIndexesByAddress[i];
    if (index >= first && index < end) continue;
    FVisibleNodesByAddress[kept] = FVisibleNodesByAddress[i];
    FVisibleIndexesByAddress[kept++] = index >= end ? index - count : index;
  }
  FVisibleNodesByAddress.resize(kept);
  FVisibleIndexesByAddress.resize(kept);
}

// ---------------------------------------------------------------------------------------------
// Queries

Integer TCustomzmTreeList::IndexOfVisibleNode(const TzmTreeListNode* Node) {
  if (!Node || FRootNodes.empty()) return -1;
  if (IsVisibleListUsable()) {
    Integer k = FindVisibleByAddress(Node);
    return k < 0 ? -1 : FVisibleIndexesByAddress[static_cast<size_t>(k)];
  }
  Integer index = 0, found = -1;
  ForEachShown(FRootNodes, [&](TzmTreeListNode* node) {
    if (node == Node) found = index;
    ++index;
    return found < 0;
  });
  return found;
}

TzmTreeListNode* TCustomzmTreeList::VisibleNodeAt(Integer Index) {
  if (Index < 0) return nullptr;
  if (IsVisibleListUsable())
    return Index < static_cast<Integer>(FVisibleNodes.size()) ? FVisibleNodes[static_cast<size_t>(Index)] : nullptr;
  TzmTreeListNode* found = nullptr;
  Integer index = 0;
  ForEachShown(FRootNodes, [&](TzmTreeListNode* node) {
    if (index++ == Index) found = node;
    return !found;
  });
  return found;
}

Integer TCustomzmTreeList::GetVisibleNodeCount() {
  if (IsVisibleListUsable()) return static_cast<Integer>(FVisibleNodes.size());
  Integer count = 0;
  ForEachShown(FRootNodes, [&count](TzmTreeListNode*) {
    ++count;
    return true;
  });
  return count;
}

TzmTreeListNode* TCustomzmTreeList::GetNextVisible(const TzmTreeListNode* Node) {
  if (!Node) return nullptr;
  if (IsVisibleListUsable()) {
    Integer k = FindVisibleByAddress(Node);
    if (k >= 0) return VisibleNodeAt(FVisibleIndexesByAddress[static_cast<size_t>(k)] + 1);
  }
  if (Node->GetExpanded() && Node->GetCount() > 0) return Node->GetFirstChild();
  return FindNextInTree(Node);
}

TzmTreeListNode* TCustomzmTreeList::GetPrevVisible(const TzmTreeListNode* Node) {
  if (!Node) return nullptr;
  if (IsVisibleListUsable()) {
    Integer k = FindVisibleByAddress(Node);
    return k < 0 ? nullptr : VisibleNodeAt(FVisibleIndexesByAddress[static_cast<size_t>(k)] - 1);
  }
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
