// Registries of repository items: sorted keyed and default entries, wildcard subkeys, entries
// dropped when their item dies, the value-type registry, and the registry of editor kinds found
// by class name and by short name.
#include <gtest/gtest.h>

#include <limits>

#include "editors/qvColorComboBox.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "editors/qvTextEdit.h"
#include "support/ResourceTexts.h"

namespace {

class TRegistryTest : public ::testing::Test {
 protected:
  TqvEditRepositoryItem* NewItem() { return FRepository->CreateItem(&TqvEditRepositoryItem::StaticClass()); }
  // Keys and subkeys of the keyed list in order.
  std::vector<std::pair<TqvEditRegistryKey, Integer>> KeyedPairs() const {
    std::vector<std::pair<TqvEditRegistryKey, Integer>> pairs;
    for (Integer i = 0; i < FRegistry->GetItemCount(); ++i)
      pairs.emplace_back(FRegistry->GetEntry(i).Key, FRegistry->GetEntry(i).SubKey);
    return pairs;
  }

  TOwned<TqvEditRepository> FRepository = MakeOwned<TqvEditRepository>(nullptr);
  TOwned<TqvEditRegisteredRepositoryItems> FRegistry = MakeOwned<TqvEditRegisteredRepositoryItems>();
};

TEST_F(TRegistryTest, EntriesStaySortedDescendingByKeyThenSubKey) {
  TqvEditRepositoryItem* item = NewItem();
  FRegistry->RegisterItem(5, 1, item);
  FRegistry->RegisterItem(-7, 3, item);
  FRegistry->RegisterItem(5, 9, item);
  FRegistry->RegisterItem(100, 0, item);
  FRegistry->RegisterItem(5, -2, item);
  using P = std::pair<TqvEditRegistryKey, Integer>;
  EXPECT_EQ(KeyedPairs(), (std::vector<P>{{100, 0}, {5, 9}, {5, 1}, {5, -2}, {-7, 3}}));
}

TEST_F(TRegistryTest, KeysFarApartCompareWithoutOverflow) {
  // A subtraction of these keys overflows and breaks the order of the bisection.
  const TqvEditRegistryKey high = std::numeric_limits<TqvEditRegistryKey>::max() - 1;
  const TqvEditRegistryKey low = std::numeric_limits<TqvEditRegistryKey>::min() + 1;
  TqvEditRepositoryItem* a = NewItem();
  TqvEditRepositoryItem* b = NewItem();
  TqvEditRepositoryItem* c = NewItem();
  FRegistry->RegisterItem(low, 0, a);
  FRegistry->RegisterItem(high, 0, b);
  FRegistry->RegisterItem(1, 0, c);
  EXPECT_EQ(FRegistry->GetItem(low), a);
  EXPECT_EQ(FRegistry->GetItem(high), b);
  EXPECT_EQ(FRegistry->GetItem(1), c);
  EXPECT_EQ(FRegistry->GetEntry(0).Key, high);
  EXPECT_EQ(FRegistry->GetEntry(2).Key, low);
}

TEST_F(TRegistryTest, SubKeysFarApartCompareWithoutOverflow) {
  TqvEditRepositoryItem* a = NewItem();
  TqvEditRepositoryItem* b = NewItem();
  FRegistry->RegisterDefaultItem(-2147483647, a);
  FRegistry->RegisterDefaultItem(2147483646, b);
  EXPECT_EQ(FRegistry->GetDefaultItem(), b);
  FRegistry->UnregisterDefaultItem(-2147483647);
  EXPECT_EQ(FRegistry->GetDefaultItemCount(), 1);
}

TEST_F(TRegistryTest, RegisteringAPairTwiceKeepsTheFirstItem) {
  TqvEditRepositoryItem* a = NewItem();
  TqvEditRepositoryItem* b = NewItem();
  Integer first = FRegistry->RegisterItem(3, 1, a);
  EXPECT_EQ(FRegistry->RegisterItem(3, 1, b), first);
  EXPECT_EQ(FRegistry->GetItemCount(), 1);
  EXPECT_EQ(FRegistry->GetItem(3), a);
  EXPECT_EQ(b->GetListenerCount(), 0);
}

TEST_F(TRegistryTest, AnySubKeyFindsAKeyUnregisteringOneSubKeyKeepsTheOther) {
  TqvEditRepositoryItem* one = NewItem();
  TqvEditRepositoryItem* five = NewItem();
  FRegistry->RegisterItem(42, 1, one);
  FRegistry->RegisterItem(42, 5, five);
  TqvEditRepositoryItem* found = FRegistry->GetItem(42);
  EXPECT_TRUE(found == one || found == five);
  FRegistry->UnregisterItem(42, 5);
  EXPECT_EQ(FRegistry->GetItemCount(), 1);
  EXPECT_EQ(FRegistry->GetItem(42), one);
  FRegistry->UnregisterItem(42, 5);
  EXPECT_EQ(FRegistry->GetItemCount(), 1);
}

TEST_F(TRegistryTest, DefaultItemHasTheLargestSubKey) {
  TqvEditRepositoryItem* one = NewItem();
  TqvEditRepositoryItem* five = NewItem();
  EXPECT_EQ(FRegistry->GetDefaultItem(), nullptr);
  FRegistry->RegisterDefaultItem(1, one);
  FRegistry->RegisterDefaultItem(5, five);
  EXPECT_EQ(FRegistry->GetDefaultItem(), five);
}

TEST_F(TRegistryTest, KeyZeroAndUnknownKeysGiveTheDefault) {
  TqvEditRepositoryItem* standard = NewItem();
  TqvEditRepositoryItem* zero = NewItem();
  FRegistry->RegisterDefaultItem(-1, standard);
  FRegistry->RegisterItem(0, 0, zero);
  EXPECT_EQ(FRegistry->GetItem(0), standard);
  EXPECT_EQ(FRegistry->GetItem(77), standard);
}

TEST_F(TRegistryTest, NoMatchAndNoDefaultGivesNothing) { EXPECT_EQ(FRegistry->GetItem(9), nullptr); }

TEST_F(TRegistryTest, ItemRegisteredUnderSeveralKeysVanishesWhenFreed) {
  TqvEditRepositoryItem* standard = NewItem();
  TqvEditRepositoryItem* item = NewItem();
  FRegistry->RegisterDefaultItem(-1, standard);
  FRegistry->RegisterDefaultItem(3, item);
  FRegistry->RegisterItem(10, 0, item);
  FRegistry->RegisterItem(20, 1, item);
  EXPECT_EQ(item->GetListenerCount(), 1);
  Free(item);
  EXPECT_EQ(FRegistry->GetItemCount(), 0);
  EXPECT_EQ(FRegistry->GetDefaultItemCount(), 1);
  EXPECT_EQ(FRegistry->GetItem(10), standard);
}

TEST_F(TRegistryTest, UnregisteringOnePairKeepsListeningForTheOthers) {
  TqvEditRepositoryItem* item = NewItem();
  FRegistry->RegisterItem(10, 0, item);
  FRegistry->RegisterItem(20, 0, item);
  FRegistry->UnregisterItem(10, 0);
  EXPECT_EQ(item->GetListenerCount(), 1);
  Free(item);  // a registry that stopped listening would keep a dangling entry
  EXPECT_EQ(FRegistry->GetItemCount(), 0);
  FRegistry->RegisterItem(30, 0, NewItem());
  EXPECT_EQ(FRegistry->GetItemCount(), 1);
}

TEST_F(TRegistryTest, RegistryGoingFirstLeavesTheItemsWithoutListener) {
  TqvEditRepositoryItem* item = NewItem();
  FRegistry->RegisterItem(1, 0, item);
  FRegistry->RegisterDefaultItem(0, item);
  FRegistry.reset();
  EXPECT_EQ(item->GetListenerCount(), 0);
}

// Counts Changed calls.
class TCountingRegistry : public TqvEditRegisteredRepositoryItems {
  QJ_INLINE_CLASS(TCountingRegistry, TqvEditRegisteredRepositoryItems)
 public:
  void Changed() override { ++Count; }
  Integer Count = 0;
};

TEST_F(TRegistryTest, ChangedFollowsEveryChangeAndPropertiesChanges) {
  auto registry = MakeOwned<TCountingRegistry>();
  TqvEditRepositoryItem* item = NewItem();
  registry->RegisterItem(1, 0, item);
  registry->RegisterItem(1, 0, item);
  EXPECT_EQ(registry->Count, 1);
  item->GetProperties()->GetAlignment()->SetHorz(taCenter);
  EXPECT_EQ(registry->Count, 2);
  registry->UnregisterItem(1, 0);
  registry->UnregisterItem(1, 0);
  EXPECT_EQ(registry->Count, 3);
}

TEST_F(TRegistryTest, EntryAccessOutsideTheListRaises) {
  EXPECT_THROW(FRegistry->GetEntry(0), EListError);
  EXPECT_THROW(FRegistry->GetDefaultEntry(-1), EListError);
}

TEST(EditDataRegistry, KeyedByExactValueType) {
  TqvEditRepository repository(nullptr);
  TqvEditDataRegisteredRepositoryItems registry;
  TqvEditRepositoryItem* text = repository.CreateItem(&TqvEditRepositoryItem::StaticClass());
  TqvEditRepositoryItem* check = repository.CreateItem(&TqvEditRepositoryItem::StaticClass());
  TqvEditRepositoryItem* date = repository.CreateItem(&TqvEditRepositoryItem::StaticClass());
  registry.RegisterDefaultItem(-1, text);
  registry.RegisterItem(TqvBooleanValueType::Class(), -1, check);
  registry.RegisterItem(TqvDateTimeValueType::Class(), -1, date);
  EXPECT_EQ(registry.GetItem(TqvBooleanValueType::Class()), check);
  EXPECT_EQ(registry.GetItem(TqvDateTimeValueType::Class()), date);
  EXPECT_EQ(registry.GetItem(TqvFloatValueType::Class()), text);  // the parent of the date type
  EXPECT_EQ(registry.GetItem(TqvStringValueType::Class()), text);
  registry.UnregisterItem(TqvBooleanValueType::Class(), -1);
  EXPECT_EQ(registry.GetItem(TqvBooleanValueType::Class()), text);
}

TEST(EditDataRegistry, OneProcessWideInstance) {
  ASSERT_NE(GetDefaultEditDataRepositoryItems(), nullptr);
  EXPECT_EQ(GetDefaultEditDataRepositoryItems(), GetDefaultEditDataRepositoryItems());
}

class TTestKindProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestKindProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
};

class TTestOtherKindProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestOtherKindProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
};

// Registers the test kinds in the process-wide registry for one test, as editor units do.
class TEditKindsTest : public ::testing::Test {
 protected:
  TqvEditKindRegistration FKind{&TTestKindProperties::StaticClass(), &sqvEditDisplayTextColorComboBox};
  TqvEditKindRegistration FOtherKind{&TTestOtherKindProperties::StaticClass(), &sqvEditDisplayTextTextEdit};
};

TEST(EditKindRegistration, RegistersUnderTheLocalizedTextUntilItGoes) {
  TqvRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer before = kinds->GetCount();
  {
    TResourceTextScope texts{{&sqvEditDisplayTextTextEdit, "Textfeld|Einzeiliger Text"}};
    TqvEditKindRegistration registration(&TTestKindProperties::StaticClass(), &sqvEditDisplayTextTextEdit);
    EXPECT_EQ(kinds->GetCount(), before + 1);
    EXPECT_EQ(kinds->FindByShortName("Textfeld"), &TTestKindProperties::StaticClass());
  }
  EXPECT_EQ(kinds->GetCount(), before);
  EXPECT_EQ(kinds->IndexOf(&TTestKindProperties::StaticClass()), -1);
  EXPECT_EQ(kinds->FindByShortName("Textfeld"), nullptr);
}

TEST_F(TEditKindsTest, DisplayTextIsStoredWhole) {
  TqvRegisteredClasses* kinds = GetRegisteredEditProperties();
  Integer index = kinds->IndexOf(&TTestKindProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDisplayText(index), "ColorComboBox |Represents a editor with color functionality");
}

TEST_F(TEditKindsTest, ShortNameWithABlankBeforeTheBarIsFound) {
  TqvRegisteredClasses* kinds = GetRegisteredEditProperties();
  EXPECT_EQ(kinds->GetShortName(kinds->IndexOf(&TTestKindProperties::StaticClass())), "ColorComboBox");
  // The colour combo box and the text editor register themselves at start-up, before the
  // test's kinds of the same names.
  EXPECT_EQ(kinds->FindByShortName("ColorComboBox"), &TqvColorComboBoxProperties::StaticClass());
  EXPECT_EQ(kinds->FindByShortName("TextEdit"), &TqvTextEditProperties::StaticClass());
  EXPECT_EQ(kinds->FindByShortName("ColorComboBox "), nullptr);
  EXPECT_EQ(kinds->FindByShortName("Represents a TrackBar"), nullptr);
}

TEST_F(TEditKindsTest, FoundByClassName) {
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TTestOtherKindProperties"),
            &TTestOtherKindProperties::StaticClass());
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TextEdit"), nullptr);
}

}  // namespace
