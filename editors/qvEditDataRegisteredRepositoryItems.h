// Registries of repository items by key: a general one (integer key and subkey, with separate
// default entries) and the process-wide one keyed by value type, which names the default editor
// of a grid column bound to a field of that type.
#pragma once

#include <vector>

#include "core/qvDataStorage.h"
#include "editors/qvEdit.h"

// A key of the registry: an integer, or the identity of a class.
using TqvEditRegistryKey = NativeInt;

// Entries sorted by key, then subkey, both descending, found by bisection; a (key, subkey) pair
// is listed once per list. The registry listens to every item it lists and drops the entries of
// an item that goes away. Items are not owned.
class TqvEditRegisteredRepositoryItems : public TqvInterfacedPersistent, public IqvEditRepositoryItemListener {
  QJ_CLASS(TqvEditRegisteredRepositoryItems, TqvInterfacedPersistent)
 public:
  // A search subkey that matches every subkey.
  static constexpr Integer AnySubKey = 2147483647;

  struct TEntry {
    TqvEditRegistryKey Key = 0;
    Integer SubKey = 0;
    TqvEditRepositoryItem* Item = nullptr;
  };
  using TEntries = std::vector<TEntry>;

  explicit TqvEditRegisteredRepositoryItems(TPersistent* AOwner = nullptr) : TqvInterfacedPersistent(AOwner) {}
  ~TqvEditRegisteredRepositoryItems() override;

  // The listener's side.
  void ItemRemoved(TqvEditRepositoryItem* Sender) override { RemoveItem(Sender); }
  void PropertiesChanged(TqvEditRepositoryItem* Sender) override { ItemPropertiesChanged(Sender); }

  // Deletes every entry of AItem, default entries first.
  virtual void RemoveItem(TqvEditRepositoryItem* AItem);
  virtual void ItemPropertiesChanged(TqvEditRepositoryItem* AItem);
  // The index of the (AKey, ASubKey) entry; a new entry when there is none (listening to AItem).
  virtual Integer InsertItem(TEntries& AList, TqvEditRegistryKey AKey, TqvEditRepositoryItem* AItem, Integer ASubKey);
  // After every change of the lists; nothing here.
  virtual void Changed() {}
  // The default item with the largest subkey, or nullptr.
  virtual TqvEditRepositoryItem* GetDefaultItem() const;
  // An item registered under AKey (any subkey); the default item for key 0 or no match.
  virtual TqvEditRepositoryItem* GetItem(TqvEditRegistryKey AKey) const;
  virtual Integer RegisterDefaultItem(Integer ASubKey, TqvEditRepositoryItem* AItem);
  virtual Integer RegisterItem(TqvEditRegistryKey AKey, Integer ASubKey, TqvEditRepositoryItem* AItem);
  // Nothing when the pair is not registered.
  virtual void UnregisterDefaultItem(Integer ASubKey);
  virtual void UnregisterItem(TqvEditRegistryKey AKey, Integer ASubKey);

  void Clear();
  // Stops listening to the entry's item (unless another entry lists it) and drops the entry.
  void DeleteItem(TEntries& AList, Integer AIndex);
  // Bisection; on a miss AIndex is the place where the pair belongs.
  static bool FindEntry(const TEntries& AList, TqvEditRegistryKey AKey, Integer ASubKey, Integer& AIndex);
  // Negative when ASearch sorts after AEntry (is smaller), positive when before, 0 on a match.
  static Integer CompareEntries(const TEntry& AEntry, const TEntry& ASearch);

  Integer GetDefaultItemCount() const { return static_cast<Integer>(FDefaultItems.size()); }
  Integer GetItemCount() const { return static_cast<Integer>(FItems.size()); }
  // Raise EListError for a bad index.
  const TEntry& GetDefaultEntry(Integer AIndex) const;
  const TEntry& GetEntry(Integer AIndex) const;

 protected:
  TEntries& DefaultItems() { return FDefaultItems; }
  TEntries& KeyedItems() { return FItems; }
  // Whether an entry still lists the item (then the registry keeps listening to it).
  virtual bool IsListed(const TqvEditRepositoryItem* AItem) const;

 private:

  TEntries FDefaultItems;
  TEntries FItems;
};

// The registry keyed by value type.
class TqvEditDataRegisteredRepositoryItems : public TqvEditRegisteredRepositoryItems {
  QJ_CLASS(TqvEditDataRegisteredRepositoryItems, TqvEditRegisteredRepositoryItems)
 public:
  using TqvEditRegisteredRepositoryItems::TqvEditRegisteredRepositoryItems;
  using TqvEditRegisteredRepositoryItems::GetItem;
  using TqvEditRegisteredRepositoryItems::RegisterItem;
  using TqvEditRegisteredRepositoryItems::UnregisterItem;

  static TqvEditRegistryKey KeyOf(TqvValueTypeClass AValueTypeClass) {
    return reinterpret_cast<TqvEditRegistryKey>(AValueTypeClass);
  }
  // The item for AValueTypeClass (exactly that type), else the default item.
  TqvEditRepositoryItem* GetItem(TqvValueTypeClass AValueTypeClass) const { return GetItem(KeyOf(AValueTypeClass)); }
  Integer RegisterItem(TqvValueTypeClass AValueTypeClass, Integer ASubKey, TqvEditRepositoryItem* AItem) {
    return RegisterItem(KeyOf(AValueTypeClass), ASubKey, AItem);
  }
  void UnregisterItem(TqvValueTypeClass AValueTypeClass, Integer ASubKey) {
    UnregisterItem(KeyOf(AValueTypeClass), ASubKey);
  }
};

// The process-wide registry of default editors by value type, made on first use.
TqvEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems();
