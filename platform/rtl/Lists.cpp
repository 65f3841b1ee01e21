#include "platform/rtl/Lists.h"

#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TList)
QJ_IMPLEMENT_CLASS(TObjectList)
QJ_IMPLEMENT_CLASS(TInterfaceList)

namespace {

// Hoare partitioning around the middle item's value, as the original platform does. The scans
// stop at the range ends so an inconsistent compare cannot run off the array; the smaller part
// recurses and the larger loops, which keeps the stack shallow without changing the result.
void QuickSort(void** items, Integer L, Integer R, const TListSortCompare& compare) {
  while (L < R) {
    Integer I = L;
    Integer J = R;
    void* pivot = items[L + (R - L) / 2];
    do {
      while (I < R && compare(items[I], pivot) < 0) ++I;
      while (J > L && compare(items[J], pivot) > 0) --J;
      if (I <= J) {
        std::swap(items[I], items[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (J - L < R - I) {
      if (L < J) QuickSort(items, L, J, compare);
      L = I;
    } else {
      if (I < R) QuickSort(items, I, R, compare);
      R = J;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TList

TList::~TList() {
  // A descendant that reacts to Notify clears itself in its own destructor.
  FItems.clear();
}

void TList::Error(const TResourceString* Msg, Integer Data) { throw EListError(Msg, {Data}); }

void TList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
}

void TList::Grow() {
  Integer delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
  SetCapacity(FCapacity + delta);
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount() || NewCapacity > MaxListSize)
    Error(&SListCapacityError, NewCapacity);
  if (NewCapacity == 0)
    std::vector<void*>().swap(FItems);
  else if (NewCapacity > FCapacity)
    FItems.reserve(static_cast<size_t>(NewCapacity));
  FCapacity = NewCapacity;
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error(&SListCountError, NewCount);
  if (NewCount > FCapacity) SetCapacity(NewCount);
  if (NewCount > GetCount())
    FItems.resize(static_cast<size_t>(NewCount), nullptr);
  else
    while (GetCount() > NewCount) Delete(GetCount() - 1);
}

Integer TList::Add(void* Item) {
  Integer result = GetCount();
  if (result == FCapacity) Grow();
  FItems.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return result;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > GetCount()) Error(&SListIndexError, Index);
  if (GetCount() == FCapacity) Grow();
  FItems.insert(FItems.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  CheckIndex(Index);
  void* item = FItems[static_cast<size_t>(Index)];
  FItems.erase(FItems.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  Integer index = IndexOf(Item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(NewIndex);
  void* item = Get(CurIndex);
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, item);
}

TList* TList::Expand() {
  if (GetCount() == FCapacity) Grow();
  return this;
}

void TList::Pack() {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (i < GetCount() && !FItems[static_cast<size_t>(i)]) Delete(i);
}

void TList::Sort(const TListSortCompare& Compare) {
  if (GetCount() > 1) QuickSort(FItems.data(), 0, GetCount() - 1, Compare);
}

void TList::Assign(const TList& Source) {
  if (&Source == this) return;
  std::vector<void*> items = Source.FItems;
  Clear();
  SetCapacity(static_cast<Integer>(items.size()));
  for (void* item : items) Add(item);
}

Integer TList::IndexOf(const void* Item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i] == Item) return static_cast<Integer>(i);
  return -1;
}

void* TList::First() const { return Get(0); }

void* TList::Last() const { return Get(GetCount() - 1); }

void* TList::Get(Integer Index) const {
  CheckIndex(Index);
  return FItems[static_cast<size_t>(Index)];
}

void TList::Put(Integer Index, void* Item) {
  CheckIndex(Index);
  void* old = FItems[static_cast<size_t>(Index)];
  if (old == Item) return;
  FItems[static_cast<size_t>(Index)] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------------------------------------
// TObjectList

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) Free(static_cast<TObject*>(Ptr));
  TList::Notify(Ptr, Action);
}

Integer TObjectList::FindInstanceOf(TClass AClass, bool AExact, Integer AStartAt) const {
  for (Integer i = AStartAt < 0 ? 0 : AStartAt; i < GetCount(); ++i) {
    TObject* obj = GetItem(i);
    if (!obj) continue;
    if (AExact ? obj->ClassType() == AClass : obj->InheritsFrom(AClass)) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------------------------
// TInterfaceList

Integer TInterfaceList::Add(IInterface* Item) { return FList.Add(Item); }
void TInterfaceList::Insert(Integer Index, IInterface* Item) { FList.Insert(Index, Item); }
void TInterfaceList::Delete(Integer Index) { FList.Delete(Index); }
Integer TInterfaceList::Remove(IInterface* Item) { return FList.Remove(Item); }
void TInterfaceList::Clear() { FList.Clear(); }
void TInterfaceList::Exchange(Integer Index1, Integer Index2) { FList.Exchange(Index1, Index2); }

TInterfaceList* TInterfaceList::Expand() {
  FList.Expand();
  return this;
}

Integer TInterfaceList::IndexOf(const IInterface* Item) const { return FList.IndexOf(Item); }
IInterface* TInterfaceList::First() const { return static_cast<IInterface*>(FList.First()); }
IInterface* TInterfaceList::Last() const { return static_cast<IInterface*>(FList.Last()); }
IInterface* TInterfaceList::Get(Integer Index) const {
  return static_cast<IInterface*>(FList.Get(Index));
}
void TInterfaceList::Put(Integer Index, IInterface* Item) { FList.Put(Index, Item); }
