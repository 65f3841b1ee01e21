// Lists of pointers: TList, TObjectList (optionally owning its objects) and TInterfaceList.
//
// Indexes are 0-based; a bad index raises EListError "List index out of bounds (%d)". Sort is the
// platform's quicksort driven by a three-way compare function, so equal items end up in the same
// (unstable) order as on the original platform.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/System.h"

struct TResourceString;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Returns <0, 0 or >0 as Item1 sorts before, with or after Item2.
using TListSortCompare = std::function<Integer(void* Item1, void* Item2)>;

class TList : public TObject {
  QJ_CLASS(TList, TObject)
 public:
  // The largest Count and Capacity a list accepts.
  static constexpr Integer MaxListSize = 0x7FFFFFFF / 16;

  TList() = default;
  ~TList() override;

  Integer Add(void* Item);
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  // Deletes the first occurrence; returns its former index or -1.
  Integer Remove(void* Item);
  // Takes the first occurrence out without the "deleted" notification; nullptr when absent.
  void* Extract(void* Item);
  virtual void Clear();
  void Exchange(Integer Index1, Integer Index2);
  void Move(Integer CurIndex, Integer NewIndex);
  // Grows the capacity when the list is full; returns the list.
  TList* Expand();
  // Deletes every nil item.
  void Pack();
  void Sort(const TListSortCompare& Compare);
  // Replaces the items with Source's.
  void Assign(const TList& Source);

  Integer IndexOf(const void* Item) const;
  void* First() const;
  void* Last() const;
  void* Get(Integer Index) const;
  void Put(Integer Index, void* Item);
  void* operator[](Integer Index) const { return Get(Index); }

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Growing adds nil items; shrinking deletes from the end.
  void SetCount(Integer NewCount);
  Integer GetCapacity() const { return FCapacity; }
  void SetCapacity(Integer NewCapacity);
  // The items as one array (valid until the list changes).
  void* const* List() const { return FItems.data(); }

  [[noreturn]] static void Error(const TResourceString* Msg, Integer Data);

 protected:
  // Told of every non-nil item that enters or leaves the list.
  virtual void Notify(void* Ptr, TListNotification Action);
  virtual void Grow();

 private:
  void CheckIndex(Integer Index) const;

  std::vector<void*> FItems;
  Integer FCapacity = 0;
};

// A list of objects that frees them on Delete, Remove, Clear and its own destruction while
// OwnsObjects is set; Extract hands an object back without freeing it.
class TObjectList : public TList {
  QJ_CLASS(TObjectList, TList)
 public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  Integer IndexOf(const TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* GetItem(Integer Index) const { return static_cast<TObject*>(Get(Index)); }
  void SetItem(Integer Index, TObject* AObject) { Put(Index, AObject); }
  TObject* operator[](Integer Index) const { return GetItem(Index); }
  // The index of the first object from AStartAt whose class is AClass (or inherits it unless
  // AExact); -1 when none.
  Integer FindInstanceOf(TClass AClass, bool AExact = true, Integer AStartAt = 0) const;

  bool GetOwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects;
};

// A list of interface pointers. It does not own them: an interface's object stays alive through
// its owner and takes itself out of the lists it joined before it dies.
class TInterfaceList : public TObject {
  QJ_CLASS(TInterfaceList, TObject)
 public:
  Integer Add(IInterface* Item);
  void Insert(Integer Index, IInterface* Item);
  void Delete(Integer Index);
  Integer Remove(IInterface* Item);
  void Clear();
  void Exchange(Integer Index1, Integer Index2);
  TInterfaceList* Expand();
  Integer IndexOf(const IInterface* Item) const;
  IInterface* First() const;
  IInterface* Last() const;
  IInterface* Get(Integer Index) const;
  void Put(Integer Index, IInterface* Item);
  IInterface* operator[](Integer Index) const { return Get(Index); }
  Integer GetCount() const { return FList.GetCount(); }
  void SetCount(Integer NewCount) { FList.SetCount(NewCount); }
  Integer GetCapacity() const { return FList.GetCapacity(); }
  void SetCapacity(Integer NewCapacity) { FList.SetCapacity(NewCapacity); }

 private:
  TList FList;
};
