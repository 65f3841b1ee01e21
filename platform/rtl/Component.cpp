#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Lists.h"

QJ_IMPLEMENT_CLASS(TPersistent)
QJ_IMPLEMENT_CLASS(TInterfacedPersistent)
QJ_IMPLEMENT_CLASS(TComponent)

namespace {

// A component name is an identifier: a letter or '_', then letters, digits or '_'.
bool IsValidComponentName(const String& name) {
  if (name.empty() || !IsIdentStartChar(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), IsIdentChar);
}

void EraseItem(std::vector<TComponent*>& list, TComponent* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  if (!Dest) AssignError(nullptr);
  Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
  String sourceName = Source ? Source->ClassName() : String("nil");
  throw EConvertError(&SAssignError, {sourceName, ClassName()});
}

String TPersistent::GetNamePath() {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + "." + result;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// TComponent: life cycle

TComponent::TComponent(TComponent* AOwner) {
  if (!AOwner) return;
  AOwner->Insert(this);
  if (AOwner->HasState(csDesigning)) FComponentState |= csDesigning;
}

void TComponent::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (FOwner) FOwner->Notification(this, opInsert);
}

void TComponent::BeforeDestruction() {
  if (!HasState(csDestroying)) Destroying();
  TPersistent::BeforeDestruction();
}

TComponent::~TComponent() {
  Destroying();
  NotifyFreeNotifies();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (HasState(csDestroying)) return;
  FComponentState |= csDestroying;
  for (TComponent* child : FComponents) child->Destroying();
}

void TComponent::NotifyFreeNotifies() {
  FFreeNotified = true;
  while (!FFreeNotifies.empty()) {
    TComponent* subscriber = FFreeNotifies.back();
    TAliveToken subscriberAlive = subscriber->AliveToken();
    subscriber->Notification(this, opRemove);
    // The subscriber may have dropped the link itself, or died meanwhile.
    if (subscriberAlive) subscriber->RemoveNotification(this);
    EraseItem(FFreeNotifies, subscriber);
  }
  FComponentState &= ~static_cast<TComponentState>(csFreeNotification);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    Remove(instance);
    Free(instance);
  }
}

// ---------------------------------------------------------------------------------------------
// TComponent: ownership

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  EraseItem(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  for (const TComponent* c = this; c; c = c->FOwner)
    if (c == AComponent) throw EComponentError(&SOwnerCycle, {AComponent->ClassName()});
  ValidateContainer(AComponent);
  ValidateRename(AComponent, "", AComponent->FName);
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  if (HasState(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  ValidateRename(AComponent, AComponent->FName, "");
  Notification(AComponent, opRemove);
  if (AComponent->FOwner == this) Remove(AComponent);
}

TComponent* TComponent::GetComponent(Integer Index) const {
  if (Index < 0 || Index >= GetComponentCount()) TList::Error(&SListIndexError, Index);
  return FComponents[static_cast<size_t>(Index)];
}

Integer TComponent::GetComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer Value) {
  Integer current = GetComponentIndex();
  if (current < 0) return;
  auto& list = FOwner->FComponents;
  Integer last = static_cast<Integer>(list.size()) - 1;
  Value = std::clamp(Value, 0, last);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TComponent: names

void TComponent::SetName(const String& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidComponentName(NewName))
    throw EComponentError(&SInvalidName, {NewName});
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName,
                                const String& NewName) {
  if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
    throw EComponentError(&SDuplicateName, {NewName});
}

// ---------------------------------------------------------------------------------------------
// TComponent: notifications

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  TAliveToken alive = AliveToken();
  Integer i = GetComponentCount() - 1;
  while (i >= 0) {
    FComponents[static_cast<size_t>(i)]->Notification(AComponent, Operation);
    if (!alive) return;
    // A notified component may have freed others: keep the index inside the list.
    i = std::min(i - 1, GetComponentCount() - 1);
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this || FFreeNotified || AComponent->FFreeNotified) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  EraseItem(FFreeNotifies, AComponent);
  if (FFreeNotifies.empty()) FComponentState &= ~static_cast<TComponentState>(csFreeNotification);
}

// ---------------------------------------------------------------------------------------------
// TComponent: state

void TComponent::SetComponentStateFlag(TComponentStateFlag Flag, bool Value) {
  if (Value)
    FComponentState |= Flag;
  else
    FComponentState &= ~static_cast<TComponentState>(Flag);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  SetComponentStateFlag(csDesigning, Value);
  if (SetChildren)
    for (TComponent* child : FComponents) child->SetDesigning(Value, true);
}

void TComponent::SetInline(bool Value) { SetComponentStateFlag(csInline, Value); }

void TComponent::SetDesignInstance(bool Value) { SetComponentStateFlag(csDesignInstance, Value); }

void TComponent::CollectLoading(std::vector<TComponent*>& out) {
  out.push_back(this);
  for (TComponent* child : FComponents) child->CollectLoading(out);
}

void TComponent::BeginLoading() {
  std::vector<TComponent*> all;
  CollectLoading(all);
  for (TComponent* c : all) c->FComponentState |= csLoading | csReading;
}

void TComponent::EndLoading() {
  std::vector<TComponent*> all;
  CollectLoading(all);
  std::vector<TAliveToken> alive;
  for (TComponent* c : all) {
    c->SetComponentStateFlag(csReading, false);
    alive.push_back(c->AliveToken());
  }
  // Loaded may free components; skip the ones that are gone.
  for (size_t i = 0; i < all.size(); ++i)
    if (alive[i] && all[i]->HasState(csLoading)) all[i]->Loaded();
}

void TComponent::Loaded() { SetComponentStateFlag(csLoading, false); }
