// Tree list nodes: structure, navigation, the expand/collapse protocol and destruction.
#include <algorithm>

#include "platform/rtl/Scopes.h"
#include "treelist/zmTL.h"

QJ_IMPLEMENT_CLASS(TzmTreeListNode)
QJ_IMPLEMENT_CLASS(TzmTreeListTextNode)
QJ_IMPLEMENT_CLASS(EInvalidzmTreeListOperation)

const TResourceString SzmInvalidNodeOwner = {38962, "Invalid Owner TzmTreeListNode"};

namespace {

TCustomzmTreeList* CheckedOwner(TCustomzmTreeList* AOwner) {
  if (!AOwner) throw EInvalidzmTreeListOperation(LoadResString(&SzmInvalidNodeOwner));
  return AOwner;
}

// The deepest last descendant, regardless of expansion.
const TzmTreeListNode* DeepestLast(const TzmTreeListNode* Node) {
  while (Node->GetCount() > 0) Node = Node->GetLastChild();
  return Node;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TzmTreeListNode::TzmTreeListNode(TCustomzmTreeList* AOwner)
    : FOwner(CheckedOwner(AOwner)), FSequence(AOwner->NextNodeSequence()) {}

void TzmTreeListNode::BeforeDestruction() {
  FDeleting = true;
  DeleteChildren();
  TCustomzmTreeList* owner = FOwner;
  TzmTreeListNode* prior = nullptr;
  TzmTreeListNode* nextVisible = nullptr;
  bool wasLast = false;
  bool wasVisible = false;
  if (!owner->FClearingNodes) {
    prior = GetPrevSiblingOrParent();
    nextVisible = owner->GetNextVisible(this);
    wasLast = IsLast();
    wasVisible = IsVisible();
    owner->FPatchNodeShown = wasVisible;
    if (FParent && FParent->FDeleting) wasVisible = false;
  } else {
    owner->FPatchNodeShown = false;
  }
  Unlink();
  owner->DoNodeDeleted(this, prior, nextVisible, wasLast, wasVisible);
  inherited::BeforeDestruction();
}

void TzmTreeListNode::DeleteChildren() {
  if (FOwner->FClearingNodes) {
    std::vector<TzmTreeListNode*> children;
    children.swap(FChildren);
    FChildRows.Clear();
    FRowCount = 1;
    for (TzmTreeListNode* child : children) Free(child);
    return;
  }
  while (!FChildren.empty()) Free(FChildren.front());
}

void TzmTreeListNode::Link(TzmTreeListNode* AParent, Integer AIndex) {
  std::vector<TzmTreeListNode*>& list = AParent ? AParent->FChildren : FOwner->FRootNodes;
  AIndex = std::clamp<Integer>(AIndex, 0, static_cast<Integer>(list.size()));
  list.insert(list.begin() + AIndex, this);
  FParent = AParent;
  FIndex = AIndex;
  SiblingRowSums().Inserted(AIndex, FRowCount);
  if (AParent && AParent->FExpanded) FOwner->NodeRowsChanged(AParent, FRowCount);
}

// The parent stays recorded: the owner's deletion handling still asks where the node was.
void TzmTreeListNode::Unlink() {
  if (FParent) {
    RemoveFromSiblings();
    if (FParent->FChildren.empty()) {
      std::vector<TzmTreeListNode*>().swap(FParent->FChildren);
      FParent->FChildRows.Clear();
      FParent->SetHasChildren(FOwner->NodeHasChildren(FParent));
      FParent->FExpanded = false;
    }
  } else if (!FOwner->FClearingNodes && !RemoveFromSiblings()) {
    auto& hidden = FOwner->FHiddenNodes;
    auto it = std::find(hidden.begin(), hidden.end(), this);
    if (it != hidden.end()) hidden.erase(it);
  }
  FIndex = -1;
  std::vector<TzmTreeListNode*>().swap(FChildren);
  FChildRows.Clear();
  FRowCount = 1;
}

bool TzmTreeListNode::RemoveFromSiblings() {
  Integer index = GetIndex();
  if (index < 0) return false;
  std::vector<TzmTreeListNode*>& list = FParent ? FParent->FChildren : FOwner->FRootNodes;
  list.erase(list.begin() + index);
  SiblingRowSums().Removed(index, FRowCount);
  if (FParent && FParent->FExpanded) FOwner->NodeRowsChanged(FParent, -FRowCount);
  return true;
}

TzmTreeListNode* TzmTreeListNode::AddChild() { return FOwner->InsertNode(this, GetCount()); }

TzmTreeListNode* TzmTreeListNode::InsertChild(Integer Index) { return FOwner->InsertNode(this, Index); }

// ---------------------------------------------------------------------------------------------
// Structure

const std::vector<TzmTreeListNode*>& TzmTreeListNode::Siblings() const {
  return FParent ? FParent->FChildren : FOwner->FRootNodes;
}

TzmTreeListRowSums& TzmTreeListNode::SiblingRowSums() const {
  return FParent ? FParent->FChildRows : FOwner->FRootRows;
}

TzmTreeListNode* TzmTreeListNode::GetItem(Integer Index) const {
  return Index >= 0 && Index < GetCount() ? FChildren[static_cast<size_t>(Index)] : nullptr;
}

Integer TzmTreeListNode::IndexOf(const TzmTreeListNode* Child) const {
  return Child && Child->FParent == this ? Child->GetIndex() : -1;
}

// The remembered place, when the list still has the node there; else the ends (nodes mostly
// come and go there), then outward from the remembered place (insertions and removals before
// the node move it by as many places).
Integer TzmTreeListNode::GetIndex() const {
  if (FIndex < 0) return -1;
  const std::vector<TzmTreeListNode*>& list = Siblings();
  Integer count = static_cast<Integer>(list.size());
  auto holds = [&](Integer Index) { return Index >= 0 && Index < count && list[static_cast<size_t>(Index)] == this; };
  for (Integer index : {FIndex, 0, count - 1})
    if (holds(index)) return FIndex = index;
  Integer from = std::min(FIndex, count - 1);
  for (Integer distance = 0; from - distance >= 0 || from + distance < count; ++distance)
    for (Integer index : {from - distance, from + distance})
      if (holds(index)) return FIndex = index;
  return -1;
}

Integer TzmTreeListNode::GetLevel() const {
  Integer level = 0;
  for (const TzmTreeListNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

bool TzmTreeListNode::HasAsParent(const TzmTreeListNode* Node) const {
  if (!Node) return false;
  for (const TzmTreeListNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

bool TzmTreeListNode::IsLast() const {
  const std::vector<TzmTreeListNode*>& list = Siblings();
  return !list.empty() && list.back() == this;
}

bool TzmTreeListNode::IsVisible() const {
  for (const TzmTreeListNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

TzmTreeListNode* TzmTreeListNode::GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }

TzmTreeListNode* TzmTreeListNode::GetNextSibling() const {
  const std::vector<TzmTreeListNode*>& list = Siblings();
  Integer i = GetIndex();
  return i >= 0 && i + 1 < static_cast<Integer>(list.size()) ? list[static_cast<size_t>(i + 1)] : nullptr;
}

TzmTreeListNode* TzmTreeListNode::GetPrevSibling() const {
  Integer i = GetIndex();
  return i > 0 ? Siblings()[static_cast<size_t>(i - 1)] : nullptr;
}

TzmTreeListNode* TzmTreeListNode::GetPrevSiblingOrParent() const {
  TzmTreeListNode* prev = GetPrevSibling();
  return prev ? prev : FParent;
}

TzmTreeListNode* TzmTreeListNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TzmTreeListNode* n = this; n; n = n->FParent)
    if (TzmTreeListNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

TzmTreeListNode* TzmTreeListNode::GetPrev() const {
  if (TzmTreeListNode* prev = GetPrevSibling()) return const_cast<TzmTreeListNode*>(DeepestLast(prev));
  return FParent;
}

Integer TzmTreeListNode::CompareNodePositions(const TzmTreeListNode* A, const TzmTreeListNode* B) {
  if (A == B) return 0;
  if (A->HasAsParent(B)) return 1;
  if (B->HasAsParent(A)) return -1;
  Integer levelA = A->GetLevel(), levelB = B->GetLevel();
  for (; levelA > levelB; --levelA) A = A->FParent;
  for (; levelB > levelA; --levelB) B = B->FParent;
  while (A->FParent != B->FParent) {
    A = A->FParent;
    B = B->FParent;
  }
  Integer a = A->GetIndex(), b = B->GetIndex();
  return a < b ? -1 : (a > b ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Display order, focus, selection and cell data: the owner's

TzmTreeListNode* TzmTreeListNode::GetNextVisible() const { return FOwner->GetNextVisible(this); }
TzmTreeListNode* TzmTreeListNode::GetPrevVisible() const { return FOwner->GetPrevVisible(this); }
Integer TzmTreeListNode::GetAbsoluteIndex() const { return FOwner->IndexOfVisibleNode(this); }

void TzmTreeListNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

bool TzmTreeListNode::GetFocused() const { return FOwner->FFocusedNode == this; }

void TzmTreeListNode::SetFocused(bool Value) {
  if (Value == GetFocused()) return;
  FOwner->SetFocusedNodeColumn(Value ? this : nullptr, FOwner->FFocusedVisibleColumn, true);
}

bool TzmTreeListNode::GetSelected() const {
  return FOwner->IsMultiSelect() ? FOwner->IsNodeSelected(const_cast<TzmTreeListNode*>(this)) : GetFocused();
}

void TzmTreeListNode::SetSelected(bool Value) { FOwner->SetNodeSelected(this, Value); }

Integer TzmTreeListNode::GetImageIndex() const { return FOwner->GetNodeImageIndex(const_cast<TzmTreeListNode*>(this)); }
void TzmTreeListNode::SetImageIndex(Integer Value) { FOwner->SetNodeImageIndex(this, Value); }
Integer TzmTreeListNode::GetSelectedIndex() const {
  return FOwner->GetNodeSelectedIndex(const_cast<TzmTreeListNode*>(this));
}
void TzmTreeListNode::SetSelectedIndex(Integer Value) { FOwner->SetNodeSelectedIndex(this, Value); }
Integer TzmTreeListNode::GetStateIndex() const { return FOwner->GetNodeStateIndex(const_cast<TzmTreeListNode*>(this)); }
void TzmTreeListNode::SetStateIndex(Integer Value) { FOwner->SetNodeStateIndex(this, Value); }

String TzmTreeListNode::GetStrings(Integer Column) const {
  String text;
  FOwner->GetNodeString(const_cast<TzmTreeListNode*>(this), Column, text);
  return text;
}

void TzmTreeListNode::SetStrings(Integer Column, const String& Value) { FOwner->SetNodeString(this, Column, Value); }

Variant TzmTreeListNode::GetValues(Integer Column) const {
  Variant value;
  FOwner->GetNodeVariant(const_cast<TzmTreeListNode*>(this), Column, value);
  return value;
}

// ---------------------------------------------------------------------------------------------
// Expansion

void TzmTreeListNode::SetHasChildren(bool Value) {
  if (Value == FHasChildren) return;
  FHasChildren = Value || GetCount() > 0;
  FOwner->InvalidateNode(this, false);
}

void TzmTreeListNode::SetExpanded(bool Value) {
  if (!FHasChildren || Value == FExpanded) return;
  TCustomzmTreeList* owner = FOwner;
  bool allow = true;
  if (Value) owner->DoCanExpand(this, allow);
  else owner->DoCanCollapse(this, allow);
  if (!allow) return;
  if (!Value) {
    if (owner->FTopNode && owner->FTopNode->HasAsParent(this)) owner->SetTopVisibleNode(this);
    if (owner->FFocusedNode && owner->FFocusedNode->HasAsParent(this) && !owner->FocusCollapsingAncestor(this)) return;
  }
  FExpanded = Value;
  owner->NodeRowsChanged(this, Value ? FChildRows.GetTotal() : -FChildRows.GetTotal());
  if (!owner->IsUpdateLocked() && !owner->IsDestroying()) owner->RebuildVisibleNodes();
  owner->InvalidateNode(this, true);
  if (Value) owner->DoExpanded(this);
  else owner->DoCollapsed(this);
}

void TzmTreeListNode::Expand(bool Recurse) {
  if (!FHasChildren) return;
  TUpdateScope scope(FOwner->IsUpdateLocked() ? nullptr : FOwner);
  SetExpanded(true);
  if (!Recurse) return;
  // Handlers may add children while the subtree opens: the count is read again each time.
  for (Integer i = 0; i < GetCount(); ++i)
    if (TzmTreeListNode* child = GetItem(i)) child->Expand(true);
}

Integer TzmTreeListNode::GetCachedRowHeight() const {
  return FRowHeightGeneration == FOwner->FRowHeightGeneration ? FCachedRowHeight : 0;
}

void TzmTreeListNode::SetCachedRowHeight(Integer Value) {
  FCachedRowHeight = Value;
  FRowHeightGeneration = FOwner->FRowHeightGeneration;
}

// ---------------------------------------------------------------------------------------------
// Text nodes

TzmTreeListTextNode::TzmTreeListTextNode(TCustomzmTreeList* AOwner) : TzmTreeListNode(AOwner) {}

TzmTreeListTextNode::~TzmTreeListTextNode() = default;

const String& TzmTreeListNodeStrings::Get(Integer Index) const {
  static const String empty;
  if (Index < 0 || Index >= FCount) return empty;
  return Index == 0 ? FFirst : FRest[static_cast<size_t>(Index - 1)];
}

void TzmTreeListNodeStrings::Reach(Integer Index) {
  if (Index < FCount) return;
  FCount = Index + 1;
  FRest.resize(static_cast<size_t>(FCount - 1));
}

void TzmTreeListNodeStrings::Put(Integer Index, const String& Value) {
  if (Index < 0) return;
  Reach(Index);
  At(Index) = Value;
}

void TzmTreeListNodeStrings::Delete(Integer Index) {
  if (Index < 0 || Index >= FCount) return;
  for (Integer k = Index; k + 1 < FCount; ++k) std::swap(At(k), At(k + 1));
  if (--FCount == 0) FFirst.clear();
  else FRest.pop_back();
}

void TzmTreeListNodeStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || NewIndex < 0) return;
  Reach(std::max(CurIndex, NewIndex));
  for (Integer k = CurIndex; k < NewIndex; ++k) std::swap(At(k), At(k + 1));
  for (Integer k = CurIndex; k > NewIndex; --k) std::swap(At(k), At(k - 1));
}
