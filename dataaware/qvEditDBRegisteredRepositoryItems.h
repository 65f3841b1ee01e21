// The default editor of a dataset field: one repository item per field type (the default item
// for types without one), and the items for lookup fields, whatever their type.
#pragma once

#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "platform/data/DB.h"

class TqvEditDBRegisteredRepositoryItems : public TqvEditRegisteredRepositoryItems {
  QJ_CLASS(TqvEditDBRegisteredRepositoryItems, TqvEditRegisteredRepositoryItems)
 public:
  using TqvEditRegisteredRepositoryItems::TqvEditRegisteredRepositoryItems;
  ~TqvEditDBRegisteredRepositoryItems() override;

  // Also drops the item's lookup entries.
  void RemoveItem(TqvEditRepositoryItem* AItem) override;

  // No field: the default item; a lookup field: the lookup item; an FMTBcd field without
  // Currency: the ftFloat item; else the item of the field's type.
  TqvEditRepositoryItem* GetItemByField(const TField* AField) const;
  // The item registered for the type, else the default item.
  TqvEditRepositoryItem* GetItemByFieldType(TFieldType AFieldType) const;
  // The first lookup item, else the default item.
  TqvEditRepositoryItem* GetLookupItem() const;
  Integer RegisterItemByFieldType(TFieldType AFieldType, Integer ASubKey, TqvEditRepositoryItem* AItem);
  void UnregisterItemByFieldType(TFieldType AFieldType, Integer ASubKey);
  Integer RegisterLookupItem(Integer ASubKey, TqvEditRepositoryItem* AItem);
  void UnregisterLookupItem(Integer ASubKey);
  Integer GetLookupItemCount() const { return static_cast<Integer>(FLookupItems.size()); }

 protected:
  bool IsListed(const TqvEditRepositoryItem* AItem) const override;

 private:
  // Field types are keyed by their ordinal (ftUnknown, 0, always finds the default item).
  static TqvEditRegistryKey KeyOfType(TFieldType AFieldType) { return static_cast<TqvEditRegistryKey>(AFieldType); }

  TEntries FLookupItems;
};

// The process-wide registry, made on first use with the default editors of every field type.
TqvEditDBRegisteredRepositoryItems* GetDefaultDBEditRepositoryItems();
