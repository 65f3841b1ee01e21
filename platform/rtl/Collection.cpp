#include "platform/rtl/Collection.h"

#include <algorithm>

#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TCollectionItem)
QJ_IMPLEMENT_CLASS(TCollection)
QJ_IMPLEMENT_CLASS(TOwnedCollection)

// ---------------------------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection) Collection->InsertItem(this);
}

void TCollectionItem::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (FCollection) FCollection->AnnounceItem(this);
}

void TCollectionItem::BeforeDestruction() {
  SetCollection(nullptr);
  TPersistent::BeforeDestruction();
}

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (Value) {
    // Check the class before leaving the old collection, so a refusal changes nothing.
    if (!InheritsFrom(Value->FItemClass)) TList::Error(&SInvalidProperty, 0);
  }
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) {
    Value->InsertItem(this);
    Value->AnnounceItem(this);
  }
}

Integer TCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer current = GetIndex();
  if (current < 0 || current == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<Integer>(items.size()))
    TList::Error(&SListIndexError, Value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

String TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

String TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return Format("%s[%d]", {FCollection->GetNamePath(), GetIndex()});
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TCollectionItemClass ItemClass)
    : FItemClass(ItemClass ? ItemClass : &TCollectionItem::StaticClass()) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls while the collection dies
  while (!FItems.empty()) Free(FItems.back());
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
}

// The second half of inserting, once the item is whole: its class is known and Notify can
// look at it.
void TCollection::AnnounceItem(TCollectionItem* Item) {
  if (!Item->InheritsFrom(FItemClass)) {
    FItems.erase(std::find(FItems.begin(), FItems.end(), Item));
    Item->FCollection = nullptr;
    TList::Error(&SInvalidProperty, 0);
  }
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto it = std::find(FItems.rbegin(), FItems.rend(), Item);
  if (it != FItems.rend()) FItems.erase(std::next(it).base());
  Item->FCollection = nullptr;
  Changed();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass->CanCreate())
    throw EInvalidOperation(&SAbstractItemClass, {FItemClass->ClassName()});
  return FItemClass->Create(this);
}

TCollectionItem* TCollection::Insert(Integer Index) {
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = GetItem(Index);
  Notify(item, cnDeleting);
  Free(item);
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  TUpdateScope update(*this);
  while (!FItems.empty()) Free(FItems.back());
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  TUpdateScope update(*this);
  Clear();
  for (TCollectionItem* item : std::vector<TCollectionItem*>(source->FItems)) Add()->Assign(item);
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;  // unmatched: nothing to end
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

TCollectionItem* TCollection::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) TList::Error(&SListIndexError, Index);
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(Integer Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

String TCollection::GetNamePath() {
  String result = ClassName();
  TPersistent* owner = GetOwner();
  if (!owner) return result;
  String ownerPath = owner->GetNamePath();
  if (ownerPath.empty() || FPropName.empty()) return result;
  return ownerPath + "." + FPropName;
}
