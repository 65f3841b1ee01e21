#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RtlTestSupport.h"
#include "platform/rtl/Classes.h"

namespace {

// Records every notification of a plain pointer list.
class TRecordingList : public TList {
 public:
  std::vector<std::pair<void*, TListNotification>> Log;

 protected:
  void Notify(void* Ptr, TListNotification Action) override { Log.emplace_back(Ptr, Action); }
};

class ListTest : public ::testing::Test {
 protected:
  int a = 1, b = 2, c = 3, d = 4;
  TRecordingList list;

  void Fill() {
    for (int* p : {&a, &b, &c, &d}) list.Add(p);
    list.Log.clear();
  }
  std::vector<void*> Items() const { return {list.List(), list.List() + list.GetCount()}; }
};

TEST_F(ListTest, AddInsertDeleteKeepOrderAndNotify) {
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&c), 1);
  list.Insert(1, &b);
  list.Insert(3, nullptr);  // nil items are not announced
  EXPECT_EQ(Items(), (std::vector<void*>{&a, &b, &c, nullptr}));
  list.Delete(0);
  EXPECT_EQ(list.First(), &b);
  EXPECT_EQ(list.Last(), nullptr);
  std::vector<std::pair<void*, TListNotification>> expected = {
      {&a, lnAdded}, {&c, lnAdded}, {&b, lnAdded}, {&a, lnDeleted}};
  EXPECT_EQ(list.Log, expected);
}

TEST_F(ListTest, RemoveAndExtractTakeTheFirstOccurrence) {
  Fill();
  list.Add(&a);
  list.Log.clear();
  EXPECT_EQ(list.Remove(&a), 0);
  EXPECT_EQ(list.IndexOf(&a), 3);
  EXPECT_EQ(list.Extract(&a), &a);
  EXPECT_EQ(list.Extract(&a), nullptr);
  EXPECT_EQ(list.Remove(&a), -1);
  std::vector<std::pair<void*, TListNotification>> expected = {{&a, lnDeleted}, {&a, lnExtracted}};
  EXPECT_EQ(list.Log, expected);
  EXPECT_EQ(Items(), (std::vector<void*>{&b, &c, &d}));
}

TEST_F(ListTest, MoveAndExchangeRearrangeWithoutNotifications) {
  Fill();
  list.Move(0, 2);
  EXPECT_EQ(Items(), (std::vector<void*>{&b, &c, &a, &d}));
  list.Move(3, 0);
  EXPECT_EQ(Items(), (std::vector<void*>{&d, &b, &c, &a}));
  list.Exchange(0, 3);
  EXPECT_EQ(Items(), (std::vector<void*>{&a, &b, &c, &d}));
  list.Move(2, 2);
  EXPECT_TRUE(list.Log.empty());
}

TEST_F(ListTest, PutAnnouncesTheReplacedAndTheNewItem) {
  Fill();
  list.Put(1, &d);
  list.Put(1, &d);  // same item: nothing happens
  std::vector<std::pair<void*, TListNotification>> expected = {{&b, lnDeleted}, {&d, lnAdded}};
  EXPECT_EQ(list.Log, expected);
}

TEST_F(ListTest, BadIndexesRaiseAndLeaveTheListAlone) {
  Fill();
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  };
  const Case cases[] = {
      {"Get(-1)", [&] { list.Get(-1); }, "List index out of bounds (-1)"},
      {"Get(Count)", [&] { list.Get(4); }, "List index out of bounds (4)"},
      {"Put", [&] { list.Put(7, &a); }, "List index out of bounds (7)"},
      {"Insert past end", [&] { list.Insert(5, &a); }, "List index out of bounds (5)"},
      {"Delete", [&] { list.Delete(4); }, "List index out of bounds (4)"},
      {"Move to", [&] { list.Move(0, 9); }, "List index out of bounds (9)"},
      {"Move from", [&] { list.Move(-3, 0); }, "List index out of bounds (-3)"},
      {"Exchange", [&] { list.Exchange(1, 6); }, "List index out of bounds (6)"},
      {"Capacity", [&] { list.SetCapacity(2); }, "List capacity out of bounds (2)"},
      {"Count", [&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
  };
  for (const Case& tc : cases) {
    EXPECT_EQ(ErrorOf<EListError>(tc.action), tc.message) << tc.what;
    EXPECT_EQ(Items(), (std::vector<void*>{&a, &b, &c, &d})) << tc.what;
  }
  EXPECT_TRUE(list.Log.empty());
}

TEST(List, FirstAndLastOfAnEmptyListRaise) {
  TList list;
  EXPECT_EQ(ErrorOf<EListError>([&] { list.First(); }), "List index out of bounds (0)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list.Last(); }), "List index out of bounds (-1)");
}

TEST(List, CapacityGrowsInThePlatformSteps) {
  TList list;
  int x = 0;
  const std::pair<int, int> steps[] = {{1, 4}, {5, 8}, {9, 12}, {13, 28}, {29, 44}, {77, 95}};
  for (auto [count, capacity] : steps) {
    while (list.GetCount() < count) list.Add(&x);
    EXPECT_EQ(list.GetCapacity(), capacity) << count;
  }
  list.Clear();
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST_F(ListTest, CountGrowsWithNilsAndPackRemovesThem) {
  Fill();
  list.SetCount(6);
  EXPECT_EQ(list.Get(5), nullptr);
  list.Put(1, nullptr);
  list.Pack();
  EXPECT_EQ(Items(), (std::vector<void*>{&a, &c, &d}));
  list.SetCount(1);
  EXPECT_EQ(Items(), (std::vector<void*>{&a}));
}

TEST(List, SortOrdersEqualKeysAsThePlatformQuicksortDoes) {
  // Keys are the first character; the unstable order of equal keys is part of the contract.
  std::vector<std::string> items = {"3a", "1a", "2a", "3b", "1b", "2b", "3c", "1c", "2c", "1d"};
  TList list;
  for (auto& s : items) list.Add(&s);
  list.Sort([](void* x, void* y) {
    return Integer((*static_cast<std::string*>(x))[0]) -
           Integer((*static_cast<std::string*>(y))[0]);
  });
  std::vector<std::string> sorted;
  for (Integer i = 0; i < list.GetCount(); ++i)
    sorted.push_back(*static_cast<std::string*>(list[i]));
  EXPECT_EQ(sorted,
            (std::vector<std::string>{"1b", "1c", "1d", "1a", "2c", "2b", "2a", "3a", "3b", "3c"}));
}

TEST(List, SortSurvivesLargeAndHostileInput) {
  const Integer n = 100000;
  std::vector<Integer> values(n);
  TList list;
  for (Integer i = 0; i < n; ++i) {
    values[i] = n - i;
    list.Add(&values[i]);
  }
  auto byValue = [](void* x, void* y) {
    return *static_cast<Integer*>(x) - *static_cast<Integer*>(y);
  };
  list.Sort(byValue);
  for (Integer i = 1; i < n; ++i)
    ASSERT_LE(*static_cast<Integer*>(list[i - 1]), *static_cast<Integer*>(list[i]));

  // A compare that contradicts itself must not run off the list or lose items.
  list.SetCount(3000);
  unsigned seed = 7;
  list.Sort([&seed](void*, void*) {
    seed = seed * 1103515245u + 12345u;
    return Integer(seed >> 16) % 3 - 1;
  });
  list.Sort([](void*, void*) { return -1; });
  long long sum = 0;
  for (Integer i = 0; i < list.GetCount(); ++i) sum += *static_cast<Integer*>(list[i]);
  EXPECT_EQ(sum, 3000LL * 3001 / 2);
}

TEST_F(ListTest, AssignCopiesTheItems) {
  Fill();
  TList copy;
  copy.Add(&d);
  copy.Assign(list);
  ASSERT_EQ(copy.GetCount(), 4);
  EXPECT_EQ(copy[3], &d);
  copy.Assign(copy);
  EXPECT_EQ(copy.GetCount(), 4);
}

class TTracked : public TObject {
  QJ_INLINE_CLASS(TTracked, TObject)
 public:
  explicit TTracked(std::vector<int>* log = nullptr, int id = 0) : FLog(log), FId(id) {}
  ~TTracked() override {
    if (FLog) FLog->push_back(FId);
  }

 private:
  std::vector<int>* FLog;
  int FId;
};

class TTrackedChild : public TTracked {
  QJ_INLINE_CLASS(TTrackedChild, TTracked)
 public:
  using TTracked::TTracked;
};

TEST(ObjectList, OwnedObjectsAreFreedWhenTheyLeave) {
  std::vector<int> freed;
  auto* list = new TObjectList();
  for (int id = 1; id <= 5; ++id) list->Add(new TTracked(&freed, id));
  list->Delete(0);
  list->Remove(list->GetItem(0));
  TObject* kept = list->Extract(list->GetItem(0));
  list->SetItem(0, new TTracked(&freed, 6));
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 4}));
  delete list;
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 4, 5, 6}));  // Clear frees from the end
  Free(kept);
  EXPECT_EQ(freed.back(), 3);
}

TEST(ObjectList, WithoutOwnershipNothingIsFreed) {
  std::vector<int> freed;
  TTracked one(&freed, 1);
  {
    TObjectList list(false);
    list.Add(&one);
    list.Delete(0);
    list.Add(&one);
  }
  EXPECT_TRUE(freed.empty());
}

TEST(ObjectList, FindInstanceOfExactOrDescendant) {
  TObjectList list;
  list.Add(new TTracked());
  list.Add(nullptr);
  list.Add(new TTrackedChild());
  list.Add(new TTracked());
  EXPECT_EQ(list.FindInstanceOf(&TTrackedChild::StaticClass()), 2);
  EXPECT_EQ(list.FindInstanceOf(&TTracked::StaticClass()), 0);
  EXPECT_EQ(list.FindInstanceOf(&TTracked::StaticClass(), true, 1), 3);
  EXPECT_EQ(list.FindInstanceOf(&TTracked::StaticClass(), false, 1), 2);
  EXPECT_EQ(list.FindInstanceOf(&TList::StaticClass(), false), -1);
}

class IShape : public virtual IInterface {
 public:
  virtual int Sides() const = 0;
};
class INamed : public virtual IInterface {
 public:
  virtual std::string Name() const = 0;
};
class TSquareThing : public IShape, public INamed {
 public:
  int Sides() const override { return 4; }
  std::string Name() const override { return "square"; }
};

TEST(InterfaceList, HoldsInterfacesByIdentityWithoutOwningThem) {
  TSquareThing square;
  TSquareThing other;
  TInterfaceList list;
  list.Add(static_cast<IShape*>(&square));
  list.Add(&other);
  // Reached through another interface, the object is the same entry.
  EXPECT_EQ(list.IndexOf(static_cast<INamed*>(&square)), 0);
  EXPECT_EQ(dynamic_cast<INamed*>(list.Last())->Name(), "square");
  EXPECT_EQ(dynamic_cast<IShape*>(list[0])->Sides(), 4);
  EXPECT_EQ(list.Remove(static_cast<INamed*>(&square)), 0);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(ErrorOf<EListError>([&] { list.Get(3); }), "List index out of bounds (3)");
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
