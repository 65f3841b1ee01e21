// The provider with a user data source: records made, deleted, edited and ordered through the
// source; appending from the source; the focus change a source-bound provider lets through.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "core/qvClasses.h"
#include "core/qvDataSearch.h"
#include "tests/core/qvRecordingView.h"

namespace {

// Records kept in source order as (number, name), named by handles 100, 101, ...; every call
// the provider makes is logged.
class TRecordingSource : public TqvUserDataSource {
 public:
  enum { kNum, kName };

  TqvRecordHandle AppendRecord() override {
    Calls.push_back("append");
    return Add(Order.end());
  }
  TqvRecordHandle InsertRecord(TqvRecordHandle ABeforeHandle) override {
    Calls.push_back("insert " + std::to_string(ABeforeHandle));
    return Add(std::find(Order.begin(), Order.end(), ABeforeHandle));
  }
  bool IsInsertSupported() override { return InsertSupported; }
  void DeleteRecord(TqvRecordHandle AHandle) override {
    Calls.push_back("delete " + std::to_string(AHandle));
    Order.erase(std::find(Order.begin(), Order.end(), AHandle));
    Values.erase(AHandle);
  }
  Variant GetValue(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle) override {
    Calls.push_back("get " + std::to_string(AHandle));
    return Values.at(AHandle)[AItemHandle];
  }
  void SetValue(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle, const Variant& AValue) override {
    Calls.push_back("set " + std::to_string(AHandle) + " " + std::to_string(AItemHandle) + " " +
                    (VarIsNull(AValue) ? std::string("-") : std::string(VarToStr(AValue))));
    Values.at(AHandle)[AItemHandle] = AValue;
  }
  // Raw numbers are copied into the place as they are kept; names go the default way.
  bool GetValueBuffer(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle, const TqvValueType* AValueType,
                      void* APlace) override {
    Calls.push_back("raw " + std::to_string(AHandle));
    const Variant& value = Values.at(AHandle)[AItemHandle];
    if (AItemHandle != kNum || VarIsNull(value))
      return TqvUserDataSource::GetValueBuffer(AHandle, AItemHandle, AValueType, APlace);
    int32_t raw = value.AsInteger();
    std::memcpy(APlace, &raw, sizeof raw);
    return true;
  }
  bool IsNativeCompare() override { return NativeCompare; }
  bool IsCustomCompare() override { return CustomCompare; }
  // The source's own order: by the number, descending.
  Integer CompareValues(TqvRecordHandle AHandle1, TqvRecordHandle AHandle2, TqvRecordHandle) override {
    Calls.push_back("compare");
    return VarCompareEx(Values.at(AHandle2)[kNum], Values.at(AHandle1)[kNum]);
  }
  void LoadRecords() override {
    for (TqvRecordHandle handle : Order) GetCurrentProvider()->AppendRecordHandle(handle);
  }
  void SetRecordCount(Integer ACount) override { Calls.push_back("count " + std::to_string(ACount)); }

  bool Called(const std::string& APrefix) const {
    return std::any_of(Calls.begin(), Calls.end(), [&](const std::string& c) { return c.rfind(APrefix, 0) == 0; });
  }

  std::vector<TqvRecordHandle> Order;
  std::map<TqvRecordHandle, std::vector<Variant>> Values;
  std::vector<std::string> Calls;
  bool InsertSupported = true;
  bool NativeCompare = false;
  bool CustomCompare = false;

 private:
  TqvRecordHandle Add(std::vector<TqvRecordHandle>::iterator APosition) {
    TqvRecordHandle handle = FNext++;
    Order.insert(APosition, handle);
    Values[handle] = {Null(), Null()};
    return handle;
  }
  TqvRecordHandle FNext = 100;
};

// Three records in the source: 30 "c" (100), 10 "a" (101), 20 "b" (102).
class TSourcedController {
 public:
  enum { kNum, kName };
  TSourcedController() {
    Controller = New<TqvDataController>(nullptr);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kNum, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kName, TqvStringValueType::Class());
    const std::pair<int, const char*> records[] = {{30, "c"}, {10, "a"}, {20, "b"}};
    for (const auto& [num, name] : records) {
      TqvRecordHandle handle = Source.AppendRecord();
      Source.Values[handle] = {num, name};
    }
    Source.Calls.clear();
    Controller->GetProvider()->SetUserDataSource(&Source);
    Controller->OnUpdateControl = [this](TqvUpdateControlInfo* info) { Log.push_back(DescribeInfo(info)); };
  }
  ~TSourcedController() { Free(Controller); }
  TSourcedController(const TSourcedController&) = delete;
  TSourcedController& operator=(const TSourcedController&) = delete;

  // The handles of the storage records, in record order.
  std::vector<TqvRecordHandle> Handles() const {
    std::vector<TqvRecordHandle> handles;
    for (Integer r = 0; r < Controller->GetRecordCount(); ++r)
      handles.push_back(Controller->GetProvider()->GetRecordHandle(r));
    return handles;
  }
  std::string Text(Integer ARecordIndex, Integer AItem) const {
    Variant v = Controller->GetValue(ARecordIndex, AItem);
    return VarIsNull(v) ? std::string("-") : std::string(VarToStr(v));
  }
  std::vector<Integer> RowRecords() const {
    std::vector<Integer> records;
    for (Integer r = 0; r < Controller->GetRowCount(); ++r) records.push_back(Controller->GetRowInfo(r).RecordIndex);
    return records;
  }

  TRecordingSource Source;
  TTestItem Items[2];
  TqvDataController* Controller = nullptr;
  TRecordLog Log;
};

class ProviderModeTest : public ::testing::Test, public TSourcedController {};

TEST(ProviderMode, RecordsAreMadeAndDeletedInTheSource) {
  struct TCase {
    const char* Name;
    std::function<Integer(TqvDataController*, TRecordingSource&)> Act;
    Integer Result;
    std::vector<std::string> Calls;
    std::vector<TqvRecordHandle> Handles;
  };
  const TCase cases[] = {
      {"append", [](TqvDataController* c, TRecordingSource&) { return c->AppendRecord(); }, 3, {"append"},
       {100, 101, 102, 103}},
      {"insert before a record", [](TqvDataController* c, TRecordingSource&) { return c->InsertRecord(1); }, 1,
       {"insert 101"}, {100, 103, 101, 102}},
      {"insert at the end appends", [](TqvDataController* c, TRecordingSource&) { return c->InsertRecord(3); }, 3,
       {"append"}, {100, 101, 102, 103}},
      {"insert without insert support appends",
       [](TqvDataController* c, TRecordingSource& s) {
         s.InsertSupported = false;
         return c->InsertRecord(0);
       },
       3, {"append"}, {100, 101, 102, 103}},
      {"delete",
       [](TqvDataController* c, TRecordingSource&) {
         c->DeleteRecord(1);
         return c->GetRecordCount();
       },
       2, {"delete 101"}, {100, 102}},
      {"record count goes to the source",
       [](TqvDataController* c, TRecordingSource&) {
         c->SetRecordCount(7);
         return c->GetRecordCount();
       },
       3, {"count 7"}, {100, 101, 102}},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TSourcedController fresh;
    EXPECT_EQ(test.Act(fresh.Controller, fresh.Source), test.Result);
    EXPECT_EQ(fresh.Source.Calls, test.Calls);
    EXPECT_EQ(fresh.Handles(), test.Handles);
    EXPECT_EQ(fresh.Source.Order, test.Handles);
    EXPECT_EQ(fresh.Log.empty(), test.Handles.size() == 3);  // a changed record list is notified
  }
}

TEST_F(ProviderModeTest, DeletingFromTheSourceKeepsFocusAndBookmarkOnTheirRecords) {
  Controller->ChangeFocusedRecordIndex(2);
  Controller->SaveBookmark();
  Controller->DeleteRecord(0);
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 1);
  ASSERT_TRUE(Controller->IsBookmarkAvailable());
  Controller->GotoBookmark();
  EXPECT_EQ(Controller->GetProvider()->GetRecordHandle(Controller->GetFocusedRecordIndex()), 102);
  Controller->DeleteRecord(1);
  EXPECT_FALSE(Controller->IsBookmarkAvailable());
}

TEST_F(ProviderModeTest, DeleteRecordDataDeletesQuietly) {
  Controller->DeleteRecordData(0);
  EXPECT_EQ(Source.Calls, (std::vector<std::string>{"delete 100"}));
  EXPECT_EQ(Handles(), (std::vector<TqvRecordHandle>{101, 102}));
  EXPECT_TRUE(Log.empty());
}

TEST_F(ProviderModeTest, EditingCycleWritesThroughTheSource) {
  // Append, fill, post: a new source record with the values.
  Controller->Append();
  Integer added = Controller->GetFocusedRecordIndex();
  ASSERT_EQ(added, 3);
  Controller->SetEditValue(kNum, 40, 1);
  Controller->SetEditValue(kName, "d", 1);
  Controller->Post();
  EXPECT_FALSE(Controller->IsEditing());
  EXPECT_EQ(VarToStr(Source.Values.at(103)[kName]), "d");

  // Edit and cancel: the source gets its old value back.
  Controller->ChangeFocusedRecordIndex(0);
  Controller->Edit();
  Controller->SetEditValue(kName, "changed", 1);
  EXPECT_EQ(VarToStr(Source.Values.at(100)[kName]), "changed");
  Controller->Cancel();
  EXPECT_EQ(VarToStr(Source.Values.at(100)[kName]), "c");
  EXPECT_EQ(Text(0, kNum), "30");

  // Insert and post untouched: the source record goes again.
  Source.Calls.clear();
  Controller->Insert();
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 0);
  Controller->Post();
  EXPECT_EQ(Source.Calls.front(), "insert 100");
  EXPECT_TRUE(Source.Called("delete 104"));
  EXPECT_EQ(Source.Order, (std::vector<TqvRecordHandle>{100, 101, 102, 103}));
  EXPECT_EQ(Handles(), Source.Order);
}

TEST_F(ProviderModeTest, NewItemRowPostAppendsOneSourceRecordWithTheBuffersValues) {
  Controller->SetNewItemRowEnabled(true);
  Controller->Append();
  EXPECT_LT(Controller->GetProvider()->GetEditingRecordIndex(), 0);
  EXPECT_TRUE(Source.Calls.empty());
  Controller->SetEditValue(kNum, 5, 1);
  Controller->SetEditValue(kName, "e", 1);
  EXPECT_TRUE(Source.Calls.empty());  // the buffer is in the storage
  Controller->Post();
  EXPECT_EQ(Source.Calls, (std::vector<std::string>{"append", "set 103 0 5", "set 103 1 e"}));
  EXPECT_EQ(Handles(), (std::vector<TqvRecordHandle>{100, 101, 102, 103}));
  EXPECT_EQ(Text(3, kName), "e");
  EXPECT_FALSE(Controller->IsEditing());
}

TEST_F(ProviderModeTest, SortingAsksTheSourceHowToCompare) {
  struct TCase {
    const char* Name;
    bool Native;
    bool Custom;
    std::vector<Integer> Rows;
    const char* Used;
    const char* NotUsed;
  };
  const TCase cases[] = {
      {"values", false, false, {1, 2, 0}, "get", "raw"},
      {"raw values", true, false, {1, 2, 0}, "raw", "get"},
      {"the source's own order", false, true, {0, 2, 1}, "compare", "raw"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    Controller->ClearSorting(false);
    Source.NativeCompare = test.Native;
    Source.CustomCompare = test.Custom;
    Source.Calls.clear();
    Controller->ChangeSorting(kNum, soAscending);
    EXPECT_EQ(RowRecords(), test.Rows);
    EXPECT_TRUE(Source.Called(test.Used));
    EXPECT_FALSE(Source.Called(test.NotUsed));
  }
}

TEST_F(ProviderModeTest, RawComparisonOrdersNullFirstAndReadsInternalRecordsFromTheStorage) {
  Source.NativeCompare = true;
  Source.Values.at(101)[kNum] = Null();
  TqvCustomDataProvider* provider = Controller->GetProvider();
  TqvCustomDataField* num = Controller->GetField(kNum);
  TqvCustomDataField* name = Controller->GetField(kName);
  EXPECT_LT(provider->CompareValues(1, 0, num), 0);
  EXPECT_GT(provider->CompareValues(0, 2, num), 0);
  EXPECT_EQ(provider->CompareValues(2, 2, name), 0);
  EXPECT_LT(provider->CompareValues(2, 0, name), 0);  // "b" before "c" through the default conversion

  Integer buffer = Controller->GetNewRecordIndex();
  Controller->SetValue(buffer, kNum, 25);
  EXPECT_GT(provider->CompareValues(buffer, 2, num), 0);
  EXPECT_LT(provider->CompareValues(buffer, 0, num), 0);
  EXPECT_GT(provider->CompareValues(buffer, 1, num), 0);
}

TEST_F(ProviderModeTest, ATextSourceWithoutNumberFormGivesNullInTheDefaultRawRead) {
  TqvUserDataSource& plain = Source;
  alignas(8) Byte place[8] = {};
  Source.Values.at(100)[kName] = "not a number";
  EXPECT_FALSE(plain.TqvUserDataSource::GetValueBuffer(100, kName, TqvIntegerValueType::Class(), place));
  Source.Values.at(100)[kName] = "12";
  ASSERT_TRUE(plain.TqvUserDataSource::GetValueBuffer(100, kName, TqvIntegerValueType::Class(), place));
  int32_t raw = 0;
  std::memcpy(&raw, place, sizeof raw);
  EXPECT_EQ(raw, 12);
}

// ---------------------------------------------------------------------------------------------
// Appending the source's current record

// A provider whose source has one current row, read through its reader.
class TCurrentRowProvider : public TqvCustomDataProvider {
  QJ_INLINE_CLASS(TCurrentRowProvider, TqvCustomDataProvider)
 public:
  using TqvCustomDataProvider::TqvCustomDataProvider;

  class TReader : public TqvValueDefReader {
   public:
    explicit TReader(TCurrentRowProvider* AProvider) : FProvider(AProvider) {}
    Variant GetValue(TqvValueDef*) override {
      FProvider->AppendingSeen = FProvider->GetDataController()->IsAppendInProgress();
      return FProvider->Current;
    }

   private:
    TCurrentRowProvider* FProvider;
  };

  TqvValueDefReader* CreateValueDefReader() override { return new TReader(this); }
  Variant Current;
  bool AppendingSeen = false;
};

class TCurrentRowController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TqvCustomDataProviderClass GetDataProviderClass() const override { return &TCurrentRowProvider::StaticClass(); }
  bool IsAppendOnlyMode() const override { return AppendOnly; }
  TCurrentRowProvider* Row() const { return static_cast<TCurrentRowProvider*>(GetProvider()); }
  bool AppendOnly = false;
};

TEST(AppendFromSource, TheReaderCopiesTheCurrentRowWhileAnAppendRuns) {
  TTestItem item;
  auto* c = New<TCurrentRowController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  TRecordLog log;
  c->OnUpdateControl = [&](TqvUpdateControlInfo* info) { log.push_back(DescribeInfo(info)); };
  c->Row()->Current = 42;
  EXPECT_EQ(c->AppendRecordFromSource(), 0);
  EXPECT_EQ(VarToStr(c->GetValue(0, 0)), "42");
  EXPECT_TRUE(c->Row()->AppendingSeen);
  EXPECT_FALSE(c->IsAppendInProgress());
  EXPECT_EQ(log, (TRecordLog{"data 2 -1 -1"}));
  Free(c);
}

TEST(AppendFromSource, AppendOnlyModeAppendsEveryRecordFromTheSource) {
  TTestItem item;
  auto* c = New<TCurrentRowController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->AppendOnly = true;
  c->Row()->Current = 7;
  EXPECT_EQ(c->AppendRecord(), 0);
  c->Row()->Current = 8;
  EXPECT_EQ(c->InsertRecord(0), 1);  // no place of its own: appended
  EXPECT_EQ(VarToStr(c->GetValue(1, 0)), "8");

  // A deletion during an append drops only the data, without notifying.
  TRecordLog log;
  c->OnUpdateControl = [&](TqvUpdateControlInfo* info) { log.push_back(DescribeInfo(info)); };
  c->SetAppendInProgress(true);
  c->DeleteRecord(1);
  c->SetAppendInProgress(false);
  EXPECT_EQ(c->GetRecordCount(), 1);
  EXPECT_TRUE(log.empty());
  Free(c);
}

TEST(AppendFromSource, WithoutAReaderItRaisesAndChangesNothing) {
  TTestItem item;
  auto* c = New<TqvDataController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(2);
  EXPECT_THROW(c->AppendRecordFromSource(), EqvInvalidDataControllerOperation);
  EXPECT_EQ(c->GetRecordCount(), 2);
  EXPECT_FALSE(c->IsAppendInProgress());
  Free(c);
}

TEST_F(ProviderModeTest, AppendFromSourceAndFromReaderKeepTheSourcesHandles) {
  EXPECT_EQ(Controller->AppendRecordFromSource(), 3);
  EXPECT_EQ(Source.Calls, (std::vector<std::string>{"append"}));

  TqvValueDefUnboundReader reader;
  reader.SetValue(Controller->GetInternalKeyField()->GetStorageDef(), 101);
  Integer record = Controller->AppendRecordFromReader(&reader);
  EXPECT_EQ(record, 4);
  EXPECT_EQ(Text(record, kName), "a");

  TqvValueDefUnboundReader empty;
  EXPECT_THROW(Controller->AppendRecordFromReader(&empty), EqvInvalidDataControllerOperation);
  EXPECT_EQ(Controller->GetRecordCount(), 5);
}

// ---------------------------------------------------------------------------------------------
// A provider whose focus follows a source cursor

class TSyncProvider : public TqvCustomDataProvider {
  QJ_INLINE_CLASS(TSyncProvider, TqvCustomDataProvider)
 public:
  using TqvCustomDataProvider::TqvCustomDataProvider;
  bool IsSyncMode() const override { return true; }
};

class TRefusingController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TqvCustomDataProviderClass GetDataProviderClass() const override { return &TSyncProvider::StaticClass(); }
  bool CanChangeFocusedRow() override {
    ++Asked;
    return false;
  }
  Integer Asked = 0;
};

TEST(SyncMode, TheProviderFlagLetsTheFocusMoveWithoutAsking) {
  TTestItem item;
  auto* c = New<TRefusingController>(nullptr);
  c->AddItem(&item);
  c->SetRecordCount(3);
  EXPECT_FALSE(c->ChangeFocusedRowIndex(1));
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_EQ(c->Asked, 1);

  c->GetProvider()->SetFocusedRowChangeUnchecked(true);
  EXPECT_TRUE(c->ChangeFocusedRowIndex(1));
  EXPECT_EQ(c->GetFocusedRowIndex(), 1);
  EXPECT_EQ(c->Asked, 1);

  c->GetProvider()->SetFocusedRowChangeUnchecked(false);
  EXPECT_TRUE(c->ChangeFocusedRowIndex(1));  // the same row is never refused
  EXPECT_FALSE(c->GotoNext());
  EXPECT_EQ(c->GetFocusedRowIndex(), 1);
  Free(c);
}

// ---------------------------------------------------------------------------------------------
// What a dataset-bound layer reads of the controller

class TCreationWatchingController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TObject* CreateDetailLinkObject(TqvCustomDataRelation*, Integer) override {
    SeenWhileCreating = IsCreatingLinkObject();
    return nullptr;
  }
  bool SeenWhileCreating = false;
};

TEST(BoundLayerAccess, CreatingDetailObjectsIsVisibleOnlyWhileTheyAreMade) {
  TTestItem level;
  auto* master = New<TCreationWatchingController>(nullptr);
  master->AddItem(nullptr);
  master->SetRecordCount(1);
  auto* pattern = New<TqvDataController>(nullptr);
  pattern->AttachToRelation(master->GetRelations()->Add(&level), true);
  EXPECT_FALSE(master->IsCreatingLinkObject());
  master->GetDetailLinkObject(0, 0);
  EXPECT_TRUE(master->SeenWhileCreating);
  EXPECT_FALSE(master->IsCreatingLinkObject());
  Free(master);
  Free(pattern);
}

TEST(BoundLayerAccess, AFieldWatchesComponentsThroughItsControllersNotifier) {
  TTestItem item;
  auto* c = New<TqvDataController>(nullptr);
  c->AddItem(&item);
  EXPECT_EQ(c->GetField(0)->GetNotifier(), c->GetNotifier());
  Free(c);
}

TEST_F(ProviderModeTest, ASourceThatChangedEverythingIsReadAgain) {
  TqvRecordHandle handle = Source.AppendRecord();
  Source.Values[handle] = {40, "d"};
  EXPECT_EQ(Controller->GetRecordCount(), 3);
  Controller->GetProvider()->DataChanged(dckEverything, -1, -1);
  EXPECT_EQ(Handles(), (std::vector<TqvRecordHandle>{100, 101, 102, 103}));
  EXPECT_EQ(Text(3, kName), "d");
  EXPECT_EQ(Log.back(), "data 4 -1 -1");
}

TEST(BoundLayerAccess, ReadersLeaveInternalFieldsAlone) {
  class TNineReader : public TqvValueDefReader {
   public:
    Variant GetValue(TqvValueDef*) override { return 9; }
  };
  TTestItem item;
  auto* c = New<TqvDataController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  TqvCustomDataField* internal = c->CreateInternalField();
  internal->ChangeValueType(TqvIntegerValueType::Class());
  TNineReader reader;
  Integer record = c->AppendRecordFromReader(&reader);
  EXPECT_EQ(VarToStr(c->GetValue(record, 0)), "9");
  EXPECT_TRUE(VarIsNull(c->GetFieldValue(record, internal)));
  Free(c);
}

// ---------------------------------------------------------------------------------------------
// Grid mode: the provider's buffer answers for the records

class TGridBufferProvider : public TqvCustomDataProvider {
  QJ_INLINE_CLASS(TGridBufferProvider, TqvCustomDataProvider)
 public:
  using TqvCustomDataProvider::TqvCustomDataProvider;
  bool IsGridMode() const override { return true; }
  bool IsDataAvailable() const override { return true; }
  void LoadGridModeBuffer() override {
    for (int i = 0; i < 2; ++i) GetDataController()->GetStorage()->AppendRecord();
  }
  Variant GetGridModeValue(Integer ARecordIndex, TqvCustomDataField*) override { return 100 + ARecordIndex; }
  String GetGridModeDisplayText(Integer ARecordIndex, TqvCustomDataField*) override {
    return "row " + IntToStr(ARecordIndex);
  }
};

class TGridBufferController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TqvCustomDataProviderClass GetDataProviderClass() const override { return &TGridBufferProvider::StaticClass(); }
};

void CountCall(void* AData, TqvCustomDataController*) { ++*static_cast<int*>(AData); }

TEST(GridMode, ValuesComeFromTheBufferAndOwnMovesDoNotReachListeners) {
  TTestItem item;
  auto* c = New<TGridBufferController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->ResetStructure();
  ASSERT_EQ(c->GetRecordCount(), 2);
  EXPECT_EQ(VarToStr(c->GetValue(1, 0)), "101");
  EXPECT_EQ(c->GetDisplayText(0, 0), "row 0");

  int calls = 0;
  c->AddDataChangedListener(&CountCall, &calls);
  c->BeginLookupUsage();
  EXPECT_EQ(c->GetProvider()->GetCursorMoveCount(), 1);
  c->NotifyDataChanged();
  EXPECT_EQ(calls, 0);
  c->EndLookupUsage();
  EXPECT_EQ(c->GetProvider()->GetCursorMoveCount(), 0);
  EXPECT_EQ(c->GetLookupUsageCount(), 0);
  c->NotifyDataChanged();
  EXPECT_EQ(calls, 1);
  Free(c);
}

}  // namespace
