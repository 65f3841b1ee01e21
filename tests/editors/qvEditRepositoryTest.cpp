// Edit repository and its items: the properties of the item's kind, listeners, split ownership
// between the form and the repository (freed from either side), and streaming parents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editors/qvEdit.h"
#include "support/ResourceTexts.h"

namespace {

class TTestRepositoryProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestRepositoryProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
};

class TTestRepositoryItem : public TqvEditRepositoryItemOf<TTestRepositoryProperties> {
  QJ_INLINE_CLASS(TTestRepositoryItem, TqvEditRepositoryItemOf<TTestRepositoryProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};

// Records what an item tells it, as "<name>:removed" or "<name>:changed". It leaves the items
// it listened to when it goes away, as editors do.
class TLogListener : public IqvEditRepositoryItemListener {
 public:
  TLogListener(std::string AName, std::vector<std::string>& ALog) : FName(std::move(AName)), FLog(ALog) {}
  ~TLogListener() override {
    for (auto& [item, alive] : FItems)
      if (alive) item->RemoveListener(this);
  }
  void Listen(TqvEditRepositoryItem* AItem) {
    AItem->AddListener(this);
    FItems.emplace_back(AItem, AItem->AliveToken());
  }
  void ItemRemoved(TqvEditRepositoryItem*) override {
    FLog.push_back(FName + ":removed");
    if (OnRemoved) OnRemoved();
  }
  void PropertiesChanged(TqvEditRepositoryItem*) override {
    FLog.push_back(FName + ":changed");
    if (OnChanged) OnChanged();
  }
  std::function<void()> OnRemoved;
  std::function<void()> OnChanged;

 private:
  std::string FName;
  std::vector<std::string>& FLog;
  std::vector<std::pair<TqvEditRepositoryItem*, TAliveToken>> FItems;
};

using TChangeLog = std::vector<std::string>;

TqvEditRepositoryItemClass TestItemClass() { return &TTestRepositoryItem::StaticClass(); }

class TEditRepositoryTest : public ::testing::Test {
 protected:
  TOwned<TComponent> FForm = MakeOwned<TComponent>(nullptr);
  TChangeLog FLog;
};

TEST_F(TEditRepositoryTest, ItemMakesPropertiesOfItsKindOwnedByItself) {
  TqvEditRepositoryItem* item = New<TTestRepositoryItem>(FForm.get());
  ASSERT_NE(item->GetProperties(), nullptr);
  EXPECT_TRUE(item->GetProperties()->IsExactly<TTestRepositoryProperties>());
  EXPECT_EQ(item->GetProperties()->GetOwner(), item);
  EXPECT_EQ(item->GetPropertiesClass(), &TTestRepositoryProperties::StaticClass());
  EXPECT_EQ(item->GetRepository(), nullptr);
}

TEST_F(TEditRepositoryTest, BaseItemMakesBaseProperties) {
  TqvEditRepositoryItem* item = New<TqvEditRepositoryItem>(FForm.get());
  EXPECT_TRUE(item->GetProperties()->IsExactly<TqvCustomEditProperties>());
}

TEST_F(TEditRepositoryTest, SetPropertiesCopiesIntoTheOwnObject) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TqvCustomEditProperties* own = item->GetProperties();
  auto source = MakeOwned<TTestRepositoryProperties>(nullptr);
  source->SetValidateOnEnter(true);
  item->SetProperties(source.get());
  EXPECT_EQ(item->GetProperties(), own);
  EXPECT_TRUE(own->GetValidateOnEnter());
}

TEST_F(TEditRepositoryTest, ListenerAddedTwiceIsToldOnce) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TLogListener a("a", FLog);
  a.Listen(item);
  a.Listen(item);
  item->GetProperties()->GetAlignment()->SetHorz(taCenter);
  EXPECT_EQ(FLog, TChangeLog({"a:changed"}));
  EXPECT_EQ(item->GetListenerCount(), 1);
}

TEST_F(TEditRepositoryTest, PropertiesChangeReachesEveryListenerNewestFirst) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TLogListener a("a", FLog), b("b", FLog), c("c", FLog);
  for (TLogListener* l : {&a, &b, &c}) l->Listen(item);
  item->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  EXPECT_EQ(FLog, TChangeLog({"c:changed", "b:changed", "a:changed"}));
}

TEST_F(TEditRepositoryTest, RemovedListenerHearsNothing) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TLogListener a("a", FLog), b("b", FLog);
  a.Listen(item);
  b.Listen(item);
  item->RemoveListener(&a);
  item->RemoveListener(&a);
  item->PropertiesChanged();
  EXPECT_EQ(FLog, TChangeLog({"b:changed"}));
}

TEST_F(TEditRepositoryTest, ListenerLeavingDuringNotificationDoesNotDisturbTheRest) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TLogListener a("a", FLog), b("b", FLog), c("c", FLog);
  for (TLogListener* l : {&a, &b, &c}) l->Listen(item);
  c.OnChanged = [&] {
    item->RemoveListener(&c);
    item->RemoveListener(&b);
  };
  item->PropertiesChanged();
  EXPECT_EQ(FLog, TChangeLog({"c:changed", "a:changed"}));
}

TEST_F(TEditRepositoryTest, ListenerFreeingTheItemStopsTheNotification) {
  auto* item = New<TTestRepositoryItem>(FForm.get());
  TLogListener a("a", FLog), b("b", FLog);
  a.Listen(item);
  b.Listen(item);
  b.OnChanged = [&] { Free(item); };
  item->PropertiesChanged();
  EXPECT_EQ(FLog, TChangeLog({"b:changed", "b:removed", "a:removed"}));
  EXPECT_EQ(FForm->GetComponentCount(), 0);
}

TEST_F(TEditRepositoryTest, DestroyedItemTellsListenersNewestFirstThenLeavesRepositoryAndOwner) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  auto* item = New<TTestRepositoryItem>(FForm.get());
  item->SetRepository(repository);
  TLogListener a("a", FLog), b("b", FLog);
  a.Listen(item);
  b.Listen(item);
  a.OnRemoved = [&] { FLog.push_back(item->GetRepository() == repository ? "still listed" : "left"); };
  Free(item);
  EXPECT_EQ(FLog, TChangeLog({"b:removed", "a:removed", "still listed"}));
  EXPECT_EQ(repository->Count(), 0);
  EXPECT_EQ(FForm->GetComponentCount(), 1);
}

TEST_F(TEditRepositoryTest, ItemFreedByItsFormLeavesTheRepository) {
  auto repository = MakeOwned<TqvEditRepository>(nullptr);
  auto* other = MakeOwned<TComponent>(nullptr).release();
  repository->CreateItemEx(TestItemClass(), other);
  repository->CreateItemEx(TestItemClass(), FForm.get());
  ASSERT_EQ(repository->Count(), 2);
  FForm.reset();
  ASSERT_EQ(repository->Count(), 1);
  EXPECT_EQ(repository->Items(0)->Owner(), other);
  Free(other);
  EXPECT_EQ(repository->Count(), 0);
}

TEST_F(TEditRepositoryTest, RepositoryFreesItsItemsNewestFirstAndTheyLeaveTheirForm) {
  auto* repository = New<TqvEditRepository>(nullptr);
  TLogListener a("first", FLog), b("second", FLog);
  a.Listen(repository->CreateItemEx(TestItemClass(), FForm.get()));
  b.Listen(repository->CreateItemEx(TestItemClass(), FForm.get()));
  ASSERT_EQ(FForm->GetComponentCount(), 2);
  Free(repository);
  EXPECT_EQ(FLog, TChangeLog({"second:removed", "first:removed"}));
  EXPECT_EQ(FForm->GetComponentCount(), 0);
}

TEST_F(TEditRepositoryTest, FormOwningRepositoryAndItemsFreesEachOnce) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  repository->CreateItemEx(TestItemClass(), FForm.get());
  auto* late = New<TqvEditRepository>(FForm.get());
  late->CreateItemEx(TestItemClass(), FForm.get());
  repository->CreateItemEx(TestItemClass(), FForm.get());
  FForm.reset();  // the sanitizer build catches a double free here
  SUCCEED();
}

TEST_F(TEditRepositoryTest, CreateItemMakesTheRepositoryTheOwner) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  TqvEditRepositoryItem* item = repository->CreateItem(TestItemClass());
  EXPECT_TRUE(item->IsExactly<TTestRepositoryItem>());
  EXPECT_EQ(item->Owner(), repository);
  EXPECT_EQ(item->GetRepository(), repository);
  EXPECT_EQ(repository->Items(0), item);
}

TEST_F(TEditRepositoryTest, MovingAnItemBetweenRepositories) {
  auto* first = New<TqvEditRepository>(FForm.get());
  auto* second = New<TqvEditRepository>(FForm.get());
  TqvEditRepositoryItem* item = first->CreateItemEx(TestItemClass(), FForm.get());
  item->SetRepository(second);
  item->SetRepository(second);
  EXPECT_EQ(first->Count(), 0);
  EXPECT_EQ(second->Count(), 1);
  second->RemoveItem(item);
  second->RemoveItem(item);
  EXPECT_EQ(second->Count(), 0);
  EXPECT_EQ(item->GetRepository(), nullptr);
}

TEST_F(TEditRepositoryTest, ClearFreesTheItemsAndLeavesTheRepositoryUsable) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  repository->CreateItemEx(TestItemClass(), FForm.get());
  repository->CreateItem(TestItemClass());
  repository->Clear();
  EXPECT_EQ(repository->Count(), 0);
  EXPECT_EQ(FForm->GetComponentCount(), 1);
  repository->CreateItem(TestItemClass());
  EXPECT_EQ(repository->Count(), 1);
}

TEST_F(TEditRepositoryTest, ItemsBadIndexRaises) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  EXPECT_THROW(repository->Items(0), EListError);
  EXPECT_THROW(repository->Items(-1), EListError);
}

TEST_F(TEditRepositoryTest, ItemIsStoredInsideItsRepository) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  auto* loose = New<TTestRepositoryItem>(FForm.get());
  EXPECT_FALSE(loose->HasParent());
  TqvEditRepositoryItem* mine = repository->CreateItemEx(TestItemClass(), FForm.get());
  TqvEditRepositoryItem* foreign = repository->CreateItem(TestItemClass());
  EXPECT_TRUE(mine->HasParent());
  EXPECT_EQ(mine->GetParentComponent(), repository);
  std::vector<TComponent*> children;
  repository->GetChildren([&](TComponent* c) { children.push_back(c); }, FForm.get());
  EXPECT_EQ(children, std::vector<TComponent*>({mine}));
  children.clear();
  repository->GetChildren([&](TComponent* c) { children.push_back(c); }, repository);
  EXPECT_EQ(children, std::vector<TComponent*>({foreign}));
}

TEST_F(TEditRepositoryTest, SetParentComponentJoinsUnlessLoading) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  auto* item = New<TTestRepositoryItem>(FForm.get());
  FForm->BeginLoading();
  item->SetParentComponent(repository);
  EXPECT_EQ(item->GetRepository(), nullptr);
  FForm->EndLoading();
  item->SetParentComponent(repository);
  EXPECT_EQ(item->GetRepository(), repository);
}

TEST_F(TEditRepositoryTest, SetParentComponentRefusesAnotherKindOfComponent) {
  auto* repository = New<TqvEditRepository>(FForm.get());
  auto* item = repository->CreateItemEx(TestItemClass(), FForm.get());
  auto* stranger = New<TComponent>(FForm.get());
  TResourceTextScope texts{{&SInvalidCast, "Ungueltige Typumwandlung"}};
  try {
    item->SetParentComponent(stranger);
    ADD_FAILURE() << "a component of another kind was taken";
  } catch (const EInvalidCast& e) {
    EXPECT_EQ(e.Message(), "Ungueltige Typumwandlung");
  }
  EXPECT_EQ(item->GetRepository(), repository);
}

TEST(EditRepositoryDefault, OneRepositoryWithoutOwner) {
  TqvEditRepository* repository = GetDefaultEditRepository();
  ASSERT_NE(repository, nullptr);
  EXPECT_EQ(repository->Owner(), nullptr);
  EXPECT_EQ(GetDefaultEditRepository(), repository);
}

}  // namespace
