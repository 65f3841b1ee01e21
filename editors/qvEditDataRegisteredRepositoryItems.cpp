// Registries of repository items by key.
#include "editors/qvEditDataRegisteredRepositoryItems.h"

#include "core/qvClasses.h"
#include "editors/qvCheckBox.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvDateEdit.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvEditRegisteredRepositoryItems)
QJ_IMPLEMENT_CLASS(TqvEditDataRegisteredRepositoryItems)

namespace {

// -1, 0 or 1 as A is smaller than, equal to or larger than B; never overflows.
template <class T>
Integer ThreeWay(T A, T B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

}  // namespace

TqvEditRegisteredRepositoryItems::~TqvEditRegisteredRepositoryItems() { Clear(); }

Integer TqvEditRegisteredRepositoryItems::CompareEntries(const TEntry& AEntry, const TEntry& ASearch) {
  if (ASearch.Key != AEntry.Key || ASearch.SubKey == AnySubKey) return ThreeWay(ASearch.Key, AEntry.Key);
  return ThreeWay(ASearch.SubKey, AEntry.SubKey);
}

bool TqvEditRegisteredRepositoryItems::FindEntry(const TEntries& AList, TqvEditRegistryKey AKey, Integer ASubKey,
                                                  Integer& AIndex) {
  const TEntry search{AKey, ASubKey, nullptr};
  Integer lo = 0;
  Integer hi = static_cast<Integer>(AList.size()) - 1;
  while (lo <= hi) {
    Integer mid = lo + (hi - lo) / 2;
    Integer compare = CompareEntries(AList[mid], search);
    if (compare == 0) {
      AIndex = mid;
      return true;
    }
    if (compare < 0)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  AIndex = lo;
  return false;
}

Integer TqvEditRegisteredRepositoryItems::InsertItem(TEntries& AList, TqvEditRegistryKey AKey,
                                                     TqvEditRepositoryItem* AItem, Integer ASubKey) {
  Integer index;
  if (FindEntry(AList, AKey, ASubKey, index)) return index;
  AList.insert(AList.begin() + index, TEntry{AKey, ASubKey, AItem});
  AItem->AddListener(this);
  Changed();
  return index;
}

void TqvEditRegisteredRepositoryItems::DeleteItem(TEntries& AList, Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(AList.size())) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  TqvEditRepositoryItem* item = AList[AIndex].Item;
  AList.erase(AList.begin() + AIndex);
  // An item listed under another pair still has to tell this registry when it goes away.
  if (!IsListed(item)) item->RemoveListener(this);
  Changed();
}

bool TqvEditRegisteredRepositoryItems::IsListed(const TqvEditRepositoryItem* AItem) const {
  for (const TEntries* list : {&FDefaultItems, &FItems})
    for (const TEntry& entry : *list)
      if (entry.Item == AItem) return true;
  return false;
}

void TqvEditRegisteredRepositoryItems::RemoveItem(TqvEditRepositoryItem* AItem) {
  for (TEntries* list : {&FDefaultItems, &FItems})
    for (Integer i = static_cast<Integer>(list->size()) - 1; i >= 0; --i)
      if ((*list)[i].Item == AItem) DeleteItem(*list, i);
}

void TqvEditRegisteredRepositoryItems::ItemPropertiesChanged(TqvEditRepositoryItem*) { Changed(); }

TqvEditRepositoryItem* TqvEditRegisteredRepositoryItems::GetDefaultItem() const {
  return FDefaultItems.empty() ? nullptr : FDefaultItems.front().Item;
}

TqvEditRepositoryItem* TqvEditRegisteredRepositoryItems::GetItem(TqvEditRegistryKey AKey) const {
  Integer index;
  if (AKey != 0 && FindEntry(FItems, AKey, AnySubKey, index)) return FItems[index].Item;
  return GetDefaultItem();
}

Integer TqvEditRegisteredRepositoryItems::RegisterDefaultItem(Integer ASubKey, TqvEditRepositoryItem* AItem) {
  return InsertItem(FDefaultItems, 0, AItem, ASubKey);
}

Integer TqvEditRegisteredRepositoryItems::RegisterItem(TqvEditRegistryKey AKey, Integer ASubKey,
                                                       TqvEditRepositoryItem* AItem) {
  return InsertItem(FItems, AKey, AItem, ASubKey);
}

void TqvEditRegisteredRepositoryItems::UnregisterDefaultItem(Integer ASubKey) {
  Integer index;
  if (FindEntry(FDefaultItems, 0, ASubKey, index)) DeleteItem(FDefaultItems, index);
}

void TqvEditRegisteredRepositoryItems::UnregisterItem(TqvEditRegistryKey AKey, Integer ASubKey) {
  Integer index;
  if (FindEntry(FItems, AKey, ASubKey, index)) DeleteItem(FItems, index);
}

void TqvEditRegisteredRepositoryItems::Clear() {
  for (TEntries* list : {&FDefaultItems, &FItems})
    while (!list->empty()) DeleteItem(*list, static_cast<Integer>(list->size()) - 1);
}

const TqvEditRegisteredRepositoryItems::TEntry& TqvEditRegisteredRepositoryItems::GetDefaultEntry(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetDefaultItemCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FDefaultItems[AIndex];
}

const TqvEditRegisteredRepositoryItems::TEntry& TqvEditRegisteredRepositoryItems::GetEntry(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetItemCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[AIndex];
}

TqvEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems() {
  static TOwned<TqvEditDataRegisteredRepositoryItems> registry;
  if (!registry) {
    registry = MakeOwned<TqvEditDataRegisteredRepositoryItems>();
    // The default editors, kept in the default repository: text for any value type, a check box
    // for Booleans, the currency editor for currency and BCD values, the date editor for date-time
    // and time-stamp values. At exit either may go first: the registry stops listening to the items, or
    // the items tell it they go.
    TqvEditRepository* repository = GetDefaultEditRepository();
    registry->RegisterDefaultItem(-1, repository->CreateItem(&TqvEditRepositoryTextItem::StaticClass()));
    registry->RegisterItem(TqvBooleanValueType::Class(), -1,
                           repository->CreateItem(&TqvEditRepositoryCheckBoxItem::StaticClass()));
    TqvEditRepositoryItem* currency = repository->CreateItem(&TqvEditRepositoryCurrencyItem::StaticClass());
    for (TqvValueTypeClass type : {TqvCurrencyValueType::Class(), TqvFMTBcdValueType::Class()})
      registry->RegisterItem(type, -1, currency);
    TqvEditRepositoryItem* date = repository->CreateItem(&TqvEditRepositoryDateItem::StaticClass());
    for (TqvValueTypeClass type : {TqvDateTimeValueType::Class(), TqvSQLTimeStampValueType::Class()})
      registry->RegisterItem(type, -1, date);
  }
  return registry.get();
}
