// Tree list nodes: structure, navigation, the expand/collapse protocol and destruction.
#include <algorithm>

#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
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
}

// The parent stays recorded: the owner's deletion handling still asks where the node was.
void TzmTreeListNode::Unlink() {
  auto removeFrom = [this](std::vector<TzmTreeListNode*>& list) {
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
  };
  if (FParent) {
    removeFrom(FParent->FChildren);
    if (FParent->FChildren.empty()) {
      std::vector<TzmTreeListNode*>().swap(FParent->FChildren);
      FParent->SetHasChildren(FOwner->NodeHasChildren(FParent));
      FParent->FExpanded = false;
    }
  } else if (!FOwner->FClearingNodes && !removeFrom(FOwner->FRootNodes)) {
    removeFrom(FOwner->FHiddenNodes);
  }
  std::vector<TzmTreeListNode*>().swap(FChildren);
}

TzmTreeListNode* TzmTreeListNode::AddChild() { return FOwner->InsertNode(this, GetCount()); }

TzmTreeListNode* TzmTreeListNode::InsertChild(Integer Index) { return FOwner->InsertNode(this, Index); }

// ---------------------------------------------------------------------------------------------
// Structure

const std::vector<TzmTreeListNode*>& TzmTreeListNode::Siblings() const {
  return FParent ? FParent->FChildren : FOwner->FRootNodes;
}

TzmTreeListNode* TzmTreeListNode::GetItem(Integer Index) const {
  return Index >= 0 && Index < GetCount() ? FChildren[static_cast<size_t>(Index)] : nullptr;
}

Integer TzmTreeListNode::IndexOf(const TzmTreeListNode* Child) const {
  auto it = std::find(FChildren.begin(), FChildren.end(), Child);
  return it == FChildren.end() ? -1 : static_cast<Integer>(it - FChildren.begin());
}

Integer TzmTreeListNode::GetIndex() const {
  const std::vector<TzmTreeListNode*>& list = Siblings();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
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
  if (!owner->IsUpdateLocked() && !owner->IsDestroying()) owner->VisibleExpansionChanged(this);
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

// ---------------------------------------------------------------------------------------------
// Text nodes

TzmTreeListTextNode::TzmTreeListTextNode(TCustomzmTreeList* AOwner)
    : TzmTreeListNode(AOwner), FStrings(MakeOwned<TStringList>()) {}

TzmTreeListTextNode::~TzmTreeListTextNode() = default;
