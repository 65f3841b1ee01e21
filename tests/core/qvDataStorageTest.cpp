#include <gtest/gtest.h>

#include "core/qvDataStorage.h"

namespace {

class DataStorageTest : public ::testing::Test {
 protected:
  TqvValueDef* AddDef(TqvValueTypeClass AType, bool AStored = true, bool ATextStored = false) {
    return Storage.GetOrdinaryValueDefs()->Add(AType, AStored, ATextStored, nullptr);
  }
  TqvDataStorage Storage;
};

class TFixedReader : public TqvValueDefReader {
 public:
  Variant GetValue(TqvValueDef*) override { return 9; }
  String GetDisplayText(TqvValueDef*) override { return "nine"; }
  bool IsValueDefExcluded(TqvValueDef* ADef) override { return ADef == Excluded; }
  TqvValueDef* Excluded = nullptr;
};

TEST_F(DataStorageTest, BuffersAreMadeOnFirstWrite) {
  TqvValueDef* d = AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(3);
  EXPECT_TRUE(VarIsNull(Storage.GetValue(1, d)));
  EXPECT_EQ(Storage.FindRecordBuffer(1), nullptr);
  Storage.SetValue(1, d, 5);
  EXPECT_NE(Storage.FindRecordBuffer(1), nullptr);
  EXPECT_EQ(Storage.FindRecordBuffer(0), nullptr);
  EXPECT_EQ(Storage.FindRecordBuffer(2), nullptr);
  EXPECT_EQ(Storage.GetValue(1, d).AsInteger(), 5);
  Storage.SetRecordCount(-4);
  EXPECT_EQ(Storage.GetRecordCount(), 0);
  EXPECT_THROW(Storage.GetValue(0, d), EListError);
}

TEST_F(DataStorageTest, NullFreesTheStringAndTheDisplayTextFollows) {
  TqvValueDef* s = AddDef(TqvStringValueType::Class());
  Storage.AppendRecord();
  Storage.SetValue(0, s, "text");
  EXPECT_EQ(Storage.GetDisplayText(0, s), "text");
  Storage.SetValue(0, s, Null());
  EXPECT_TRUE(VarIsNull(Storage.GetValue(0, s)));
  EXPECT_EQ(Storage.GetDisplayText(0, s), "");
  const void* data = nullptr;
  EXPECT_TRUE(Storage.GetValueData(0, s, data));
}

TEST_F(DataStorageTest, FailedConversionKeepsOldValueAndFlag) {
  TqvValueDef* i = AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(2);
  Storage.SetValue(0, i, 11);
  EXPECT_THROW(Storage.SetValue(0, i, "eleven"), EVariantError);
  EXPECT_EQ(Storage.GetValue(0, i).AsInteger(), 11);
  EXPECT_THROW(Storage.SetValue(1, i, "x"), EVariantError);
  EXPECT_TRUE(VarIsNull(Storage.GetValue(1, i)));
}

TEST_F(DataStorageTest, AddingDefinitionsNeverWipesValues) {
  TqvValueDef* a = AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(2);
  Storage.SetValue(0, a, 1);
  Storage.SetValue(1, a, 2);
  struct Step {
    TqvValueTypeClass type;
    bool stored, textStored;
  } steps[] = {{TqvStringValueType::Class(), true, false},
               {TqvVariantValueType::Class(), false, false},
               {TqvFloatValueType::Class(), true, true}};
  for (const Step& step : steps) {
    TqvValueDef* added = AddDef(step.type, step.stored, step.textStored);
    EXPECT_EQ(Storage.GetValue(0, a).AsInteger(), 1);
    EXPECT_EQ(Storage.GetValue(1, a).AsInteger(), 2);
    EXPECT_TRUE(VarIsNull(Storage.GetValue(0, added)));
    Storage.SetValue(1, added, 3);
  }
  EXPECT_EQ(Storage.GetOrdinaryValueDefs()->GetCount(), 4);
  EXPECT_EQ(Storage.GetInternalValueDefs()->GetCount(), 4);
}

TEST_F(DataStorageTest, RemovingDefinitionsRelaysOrFrees) {
  TqvValueDef* a = AddDef(TqvStringValueType::Class());
  TqvValueDef* b = AddDef(TqvIntegerValueType::Class(), true, true);
  TqvValueDef* c = AddDef(TqvStringValueType::Class());
  Storage.SetRecordCount(2);
  Storage.SetValue(0, a, "first");
  Storage.SetValue(0, b, 7);
  Storage.SetDisplayText(0, b, "seven");
  Storage.SetValue(0, c, "last");
  delete b;
  EXPECT_EQ(Storage.GetValue(0, a).AsString(), "first");
  EXPECT_EQ(Storage.GetValue(0, c).AsString(), "last");
  EXPECT_EQ(Storage.GetInternalValueDefs()->GetCount(), 2);
  delete a;
  EXPECT_EQ(Storage.GetValue(0, c).AsString(), "last");
  delete c;  // the only definition with a place: every buffer goes
  EXPECT_EQ(Storage.FindRecordBuffer(0), nullptr);
  EXPECT_EQ(Storage.GetOrdinaryValueDefs()->GetRecordLength(), 1);
}

TEST_F(DataStorageTest, TextPlacesKeepDisplayTexts) {
  TqvValueDef* d = AddDef(TqvIntegerValueType::Class(), true, true);
  Storage.SetRecordCount(1);
  Storage.SetValue(0, d, 3);
  EXPECT_EQ(Storage.GetDisplayText(0, d), "3");
  Storage.SetDisplayText(0, d, "three");
  EXPECT_EQ(Storage.GetDisplayText(0, d), "three");
  EXPECT_EQ(Storage.GetValue(0, d).AsInteger(), 3);
}

TEST_F(DataStorageTest, FlagChangesOnListedDefinitionsRelayAtOnce) {
  TqvValueDef* keep = AddDef(TqvIntegerValueType::Class());
  TqvValueDef* d = AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(1);
  Storage.SetValue(0, keep, 1);
  d->SetValueStored(false);  // the layout stays (every value is stored): nothing is lost
  EXPECT_EQ(Storage.GetValue(0, keep).AsInteger(), 1);
  d->SetTextStored(true);  // a text place is added: the records are cleared
  EXPECT_TRUE(VarIsNull(Storage.GetValue(0, keep)));
  EXPECT_TRUE(Storage.GetStructureChanged());
  Storage.SetValue(0, d, 4);
  Storage.SetDisplayText(0, d, "four");
  Storage.SetValue(0, keep, 2);
  EXPECT_EQ(Storage.GetDisplayText(0, d), "four");
  EXPECT_EQ(Storage.GetValue(0, keep).AsInteger(), 2);
  TqvValueDef* mirror = Storage.GetInternalValueDefs()->FindByClient(d);
  ASSERT_NE(mirror, nullptr);
  EXPECT_TRUE(mirror->IsTextStored());
  Storage.BeginLoad();
  EXPECT_FALSE(Storage.GetStructureChanged());
}

TEST_F(DataStorageTest, StoredValuesOnlyDropsUnstoredPlaces) {
  TqvValueDef* stored = Storage.GetOrdinaryValueDefs()->Add(TqvIntegerValueType::Class(), true, false, nullptr);
  TqvValueDef* outside = Storage.GetOrdinaryValueDefs()->Add(TqvIntegerValueType::Class(), false, false, nullptr);
  Storage.SetRecordCount(1);
  Storage.SetValue(0, stored, 1);
  Storage.SetStoredValuesOnly(true);
  EXPECT_FALSE(outside->HasPlace());
  EXPECT_TRUE(VarIsNull(Storage.GetValue(0, stored)));
  Storage.SetValue(0, stored, 2);
  Storage.SetValue(0, outside, 3);  // ignored: no place
  EXPECT_TRUE(VarIsNull(Storage.GetValue(0, outside)));
  EXPECT_EQ(Storage.GetValue(0, stored).AsInteger(), 2);
}

TEST_F(DataStorageTest, CompareRecordsCountsMissingBuffersAsNull) {
  TqvValueDef* d = AddDef(TqvIntegerValueType::Class());
  AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(4);
  Storage.SetValue(1, d, Null());
  Storage.SetValue(2, d, 5);
  Storage.SetValue(3, d, 6);
  struct Case {
    Integer r1, r2, expected;
  } cases[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 2, -1}, {2, 0, 1}, {2, 3, -1}, {3, 2, 1}};
  for (const Case& c : cases) EXPECT_EQ(Storage.CompareRecords(c.r1, c.r2, d), c.expected) << c.r1 << "," << c.r2;
}

TEST_F(DataStorageTest, InternalRecordsAreReusedAndMirrorValues) {
  TqvValueDef* d = AddDef(TqvStringValueType::Class());
  EXPECT_EQ(Storage.AddInternalRecord(), -1);
  EXPECT_EQ(Storage.AddInternalRecord(), -2);
  Storage.DeleteRecord(-1);
  EXPECT_EQ(Storage.AddInternalRecord(), -1);
  Storage.SetValue(-2, d, "scratch");
  EXPECT_EQ(Storage.GetValue(-2, d).AsString(), "scratch");
  const void* data = nullptr;
  ASSERT_FALSE(Storage.GetValueData(-2, d, data));
  EXPECT_EQ(d->GetValueTypeClass()->GetDataValue(data).AsString(), "scratch");
  int cleared = 0;
  Storage.OnInternalRecordsCleared = [&](TqvDataStorage*) { ++cleared; };
  Storage.ClearInternalRecords();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(Storage.GetInternalRecordCount(), 0);
  EXPECT_THROW(Storage.GetValue(-1, d), EListError);
}

TEST_F(DataStorageTest, InsertAndDeleteMoveRecords) {
  TqvValueDef* d = AddDef(TqvIntegerValueType::Class());
  for (int i = 0; i < 3; ++i) Storage.SetValue(Storage.AppendRecord(), d, i);
  Storage.InsertRecord(1);
  EXPECT_TRUE(VarIsNull(Storage.GetValue(1, d)));
  EXPECT_EQ(Storage.GetValue(2, d).AsInteger(), 1);
  Storage.DeleteRecord(0);
  EXPECT_EQ(Storage.GetRecordCount(), 3);
  EXPECT_EQ(Storage.GetValue(2, d).AsInteger(), 2);
  EXPECT_THROW(Storage.InsertRecord(5), EListError);
  EXPECT_THROW(Storage.DeleteRecord(3), EListError);
}

TEST_F(DataStorageTest, ReadRecordSkipsExcludedDefinitions) {
  TqvValueDef* a = AddDef(TqvIntegerValueType::Class(), true, true);
  TqvValueDef* b = AddDef(TqvIntegerValueType::Class());
  Storage.SetRecordCount(1);
  TFixedReader reader;
  reader.Excluded = b;
  Storage.ReadRecord(0, &reader, true);
  EXPECT_EQ(Storage.GetValue(0, a).AsInteger(), 9);
  EXPECT_EQ(Storage.GetDisplayText(0, a), "nine");
  EXPECT_TRUE(VarIsNull(Storage.GetValue(0, b)));
  Storage.ReadRecord(0, &reader, false);
  EXPECT_EQ(Storage.GetValue(0, b).AsInteger(), 9);
  int visited = 0;
  Storage.EnumValueDefs(0, [&](TqvValueDef*, Integer) { ++visited; });
  EXPECT_EQ(visited, 2);
}

TEST(LookupList, BinarySearchGivesInsertionPoint) {
  TqvLookupList list;
  Integer index = -1;
  EXPECT_FALSE(list.Find(1, index));
  EXPECT_EQ(index, 0);
  list.Insert(0, 1, "one");
  list.Insert(1, 3, "three");
  list.Insert(2, 5, "five");
  struct Case {
    Variant key;
    bool found;
    Integer index;
  } cases[] = {{4, false, 2}, {5, true, 2}, {0, false, 0}, {6, false, 3}, {Null(), false, 0}, {"3", true, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(list.Find(c.key, index), c.found) << VarToStr(c.key);
    EXPECT_EQ(index, c.index) << VarToStr(c.key);
  }
  EXPECT_EQ(list.GetItem(2).DisplayText, "five");
  EXPECT_THROW(list.GetItem(3), EListError);
}

}  // namespace
