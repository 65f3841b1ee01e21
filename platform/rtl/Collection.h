// Collections: an ordered list of items of one item class that the collection creates, owns and
// frees. Items carry a stable ID and can move (Index); changes reach the collection's Update,
// once per BeginUpdate/EndUpdate bracket.
#pragma once

#include <vector>

#include "platform/rtl/Component.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TCollectionItem, TCollection*>;
  QJ_CLASS(TCollectionItem, TPersistent)

 public:
  // Joins Collection at once; the collection checks the item's class and hears cnAdded when
  // construction completes (AfterConstruction).
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  void AfterConstruction() override;
  // Leaves the collection while the item is still whole.
  void BeforeDestruction() override;

  TCollection* GetCollection() const { return FCollection; }
  // Moves the item to another collection (or out of any, with nullptr).
  void SetCollection(TCollection* Value);
  Integer GetID() const { return FID; }
  Integer GetIndex() const;
  // Moves the item within its collection; raises EListError for a bad index.
  virtual void SetIndex(Integer Value);
  virtual String GetDisplayName() const;
  virtual void SetDisplayName(const String& Value);
  TPersistent* GetOwner() override;
  String GetNamePath() override;

 protected:
  // Reports a change of this item (or of all items) to the collection unless it is updating.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;
};

using TCollectionItemClass = const TCollectionItem::MetaType*;

class TCollection : public TPersistent {
  QJ_CLASS(TCollection, TPersistent)
 public:
  // A nullptr item class means TCollectionItem.
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(Integer Index);
  // Tells Notify (cnDeleting) and frees the item.
  void Delete(Integer Index);
  // Frees every item, last first.
  void Clear();
  // Replaces the items with copies of another collection's (each new item Assigns its source).
  void Assign(TPersistent* Source) override;
  virtual void BeginUpdate();
  virtual void EndUpdate();
  TCollectionItem* FindItemID(Integer ID) const;

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError for a bad index.
  TCollectionItem* GetItem(Integer Index) const;
  // Assigns Value to the item at Index.
  void SetItem(Integer Index, TCollectionItem* Value);
  TCollectionItem* operator[](Integer Index) const { return GetItem(Index); }
  TCollectionItemClass GetItemClass() const { return FItemClass; }
  Integer GetNextID() const { return FNextID; }
  Integer GetUpdateCount() const { return FUpdateCount; }

  TPersistent* GetOwner() override { return nullptr; }
  String GetNamePath() override;
  // The owner's property that holds this collection, used for the name path.
  const String& GetPropName() const { return FPropName; }
  void SetPropName(const String& Value) { FPropName = Value; }

 protected:
  // Item changed (nullptr: the whole collection). Runs only outside BeginUpdate/EndUpdate.
  virtual void Update(TCollectionItem*) {}
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void AnnounceItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
  String FPropName;
};

// A collection whose owner (for name paths and designers) is given at construction.
class TOwnedCollection : public TCollection {
  QJ_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};
