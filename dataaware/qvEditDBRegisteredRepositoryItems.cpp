#include "dataaware/qvEditDBRegisteredRepositoryItems.h"

#include "dataaware/qvDBLookupComboBox.h"
#include "editors/qvBlobEdit.h"
#include "editors/qvCheckBox.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvDateEdit.h"
#include "editors/qvImage.h"
#include "editors/qvMaskEdit.h"
#include "editors/qvMemo.h"
#include "editors/qvTimeEdit.h"
#include "platform/data/DBFields.h"

QJ_IMPLEMENT_CLASS(TqvEditDBRegisteredRepositoryItems)

TqvEditDBRegisteredRepositoryItems::~TqvEditDBRegisteredRepositoryItems() {
  while (!FLookupItems.empty()) DeleteItem(FLookupItems, static_cast<Integer>(FLookupItems.size()) - 1);
  Clear();
}

bool TqvEditDBRegisteredRepositoryItems::IsListed(const TqvEditRepositoryItem* AItem) const {
  for (const TEntry& entry : FLookupItems)
    if (entry.Item == AItem) return true;
  return inherited::IsListed(AItem);
}

void TqvEditDBRegisteredRepositoryItems::RemoveItem(TqvEditRepositoryItem* AItem) {
  inherited::RemoveItem(AItem);
  for (Integer i = static_cast<Integer>(FLookupItems.size()) - 1; i >= 0; --i)
    if (FLookupItems[i].Item == AItem) DeleteItem(FLookupItems, i);
}

TqvEditRepositoryItem* TqvEditDBRegisteredRepositoryItems::GetItemByField(const TField* AField) const {
  if (!AField) return GetDefaultItem();
  if (AField->GetLookup()) return GetLookupItem();
  auto* fmtBcd = As<TFMTBCDField>(AField);
  if (fmtBcd && !fmtBcd->GetCurrency()) return GetItemByFieldType(ftFloat);
  return GetItemByFieldType(AField->GetDataType());
}

TqvEditRepositoryItem* TqvEditDBRegisteredRepositoryItems::GetItemByFieldType(TFieldType AFieldType) const {
  return GetItem(KeyOfType(AFieldType));
}

TqvEditRepositoryItem* TqvEditDBRegisteredRepositoryItems::GetLookupItem() const {
  return FLookupItems.empty() ? GetDefaultItem() : FLookupItems.front().Item;
}

Integer TqvEditDBRegisteredRepositoryItems::RegisterItemByFieldType(TFieldType AFieldType, Integer ASubKey,
                                                                    TqvEditRepositoryItem* AItem) {
  return RegisterItem(KeyOfType(AFieldType), ASubKey, AItem);
}

void TqvEditDBRegisteredRepositoryItems::UnregisterItemByFieldType(TFieldType AFieldType, Integer ASubKey) {
  UnregisterItem(KeyOfType(AFieldType), ASubKey);
}

Integer TqvEditDBRegisteredRepositoryItems::RegisterLookupItem(Integer ASubKey, TqvEditRepositoryItem* AItem) {
  return InsertItem(FLookupItems, 0, AItem, ASubKey);
}

void TqvEditDBRegisteredRepositoryItems::UnregisterLookupItem(Integer ASubKey) {
  Integer index;
  if (FindEntry(FLookupItems, 0, ASubKey, index)) DeleteItem(FLookupItems, index);
}

namespace {

template <class TItem>
TqvEditRepositoryItem* MakeDefaultItem() {
  return GetDefaultEditRepository()->CreateItem(&TItem::StaticClass());
}

void RegisterTypes(TqvEditDBRegisteredRepositoryItems* ARegistry, std::initializer_list<TFieldType> ATypes,
                   TqvEditRepositoryItem* AItem) {
  for (TFieldType type : ATypes) ARegistry->RegisterItemByFieldType(type, -1, AItem);
}

}  // namespace

// The masked editor for every type without an editor of its own; the lookup combo box for lookup
// fields. At exit the registry and the
// items of the default repository may go in either order: the registry stops listening to the
// items, or the items tell it they go.
TqvEditDBRegisteredRepositoryItems* GetDefaultDBEditRepositoryItems() {
  static TOwned<TqvEditDBRegisteredRepositoryItems> registry;
  if (registry) return registry.get();
  registry = MakeOwned<TqvEditDBRegisteredRepositoryItems>();
  TqvEditDBRegisteredRepositoryItems* r = registry.get();
  r->RegisterDefaultItem(-1, MakeDefaultItem<TqvEditRepositoryMaskItem>());
  RegisterTypes(r, {ftBoolean}, MakeDefaultItem<TqvEditRepositoryCheckBoxItem>());
  RegisterTypes(r, {ftCurrency, ftBCD, ftFMTBcd}, MakeDefaultItem<TqvEditRepositoryCurrencyItem>());
  RegisterTypes(r, {ftDate, ftDateTime, ftTimeStamp}, MakeDefaultItem<TqvEditRepositoryDateItem>());
  RegisterTypes(r, {ftTime}, MakeDefaultItem<TqvEditRepositoryTimeItem>());
  RegisterTypes(r, {ftMemo}, MakeDefaultItem<TqvEditRepositoryMemoItem>());
  RegisterTypes(r, {ftGraphic}, MakeDefaultItem<TqvEditRepositoryImageItem>());
  RegisterTypes(r, {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary},
                MakeDefaultItem<TqvEditRepositoryBlobItem>());
  r->RegisterLookupItem(-1, MakeDefaultItem<TqvEditRepositoryLookupComboBoxItem>());
  return r;
}
