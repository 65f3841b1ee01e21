// The dataset controller: fields bound by name, value types, key fields, lookup fields,
// master-detail with range and query details, and what a reload keeps by key.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvVariants.h"
#include "platform/rtl/StringList.h"
#include "tests/dataaware/qvDBDataTestSupport.h"

namespace qvDBDataControllerTests {

class DBControllerTest : public TqvDBControllerTest {
 public:
  // Channels 1 and 6 go, channel 0 comes, and the table reads its records again.
  void ReplaceChannelsAndRefresh() {
    Db->ExecSQL("DELETE FROM Channels WHERE Id IN (1, 6)");
    Db->ExecSQL("INSERT INTO Channels (Id, Name, Freq) VALUES (0, 'Ch0', 0)");
    Table->Refresh();
  }
  // The first item's text of each selected record, in the selection's order.
  static std::vector<String> SelectedTexts(TqvCustomDataController* AController) {
    std::vector<String> selected;
    for (Integer i = 0; i < AController->GetSelectedCount(); ++i)
      selected.push_back(Text(AController, AController->GetRowInfo(AController->GetSelectedRowIndex(i)).RecordIndex, 0));
    return selected;
  }
};

// ---------------------------------------------------------------------------------------------
// Fields by name

TEST_F(DBControllerTest, TwoItemsOnOneFieldShareStorageUntilOneIsRenamed) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Name", "name", "Freq"});
  TqvDBDataField* first = c->GetDBField(0);
  TqvDBDataField* second = c->GetDBField(1);
  EXPECT_EQ(second->GetReferenceField(), first);
  EXPECT_EQ(second->GetStorageDef(), first->GetStorageDef());
  EXPECT_EQ(second->GetField(), Field("Name"));
  EXPECT_EQ(Column(c, 1), Column(c, 0));
  c->SetItemFieldName(0, "Freq");
  EXPECT_EQ(second->GetReferenceField(), nullptr) << "the other one keeps the storage";
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Ch2", "Ch3"}));
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"10010", "10020", "10030"}));
  EXPECT_EQ(first->GetReferenceField(), c->GetDBField(2)) << "now it shares Freq's";
}

TEST_F(DBControllerTest, AnUnknownNameGivesNoValuesAndKeepsItsOwnValueType) {
  OpenChannels(2);
  TCountingDBController* c = MakeController({"Nope", "Name"});
  EXPECT_EQ(c->GetItemField(0), nullptr);
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"-", "-"}));
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  EXPECT_EQ(c->GetItemValueTypeClass(0), TqvIntegerValueType::Class());
  c->ChangeValueTypeClass(1, TqvIntegerValueType::Class());
  EXPECT_EQ(c->GetItemValueTypeClass(1), TqvStringValueType::Class()) << "a bound item follows its field";
  EXPECT_THROW(c->SetItemFieldName(5, "Name"), EqvInvalidDataControllerOperation);
}

struct TValueTypeCase {
  const char* Column;
  const char* ValueType;
};

class ValueTypeTest : public TqvDBControllerTest, public ::testing::WithParamInterface<TValueTypeCase> {};

TEST_P(ValueTypeTest, TheValueTypeFollowsTheFieldType) {
  Db->ExecSQL(
      "CREATE TABLE Types (Id INTEGER PRIMARY KEY, S VARCHAR(10), Sm SMALLINT, I INT, W WORD, B BOOLEAN, F REAL, "
      "C CURRENCY, Bcd DECIMAL(10,2), D DATE, T TIME, Dt DATETIME, Ws NVARCHAR(5), L BIGINT, Fmt DECIMAL(20,6), "
      "M MEMO, Bl BLOB, Fc CHAR(3), Ts TIMESTAMP)");
  Table->SetTableName("Types");
  Table->Open();
  TCountingDBController* c = MakeController({GetParam().Column});
  EXPECT_STREQ(c->GetItemValueTypeClass(0)->ClassName(), GetParam().ValueType);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ValueTypeTest,
    ::testing::Values(TValueTypeCase{"Id", "TqvIntegerValueType"}, TValueTypeCase{"S", "TqvStringValueType"},
                      TValueTypeCase{"Sm", "TqvSmallintValueType"}, TValueTypeCase{"I", "TqvIntegerValueType"},
                      TValueTypeCase{"W", "TqvWordValueType"}, TValueTypeCase{"B", "TqvBooleanValueType"},
                      TValueTypeCase{"F", "TqvFloatValueType"}, TValueTypeCase{"C", "TqvCurrencyValueType"},
                      TValueTypeCase{"Bcd", "TqvCurrencyValueType"}, TValueTypeCase{"D", "TqvDateTimeValueType"},
                      TValueTypeCase{"T", "TqvDateTimeValueType"}, TValueTypeCase{"Dt", "TqvDateTimeValueType"},
                      TValueTypeCase{"Ws", "TqvWideStringValueType"}, TValueTypeCase{"L", "TqvLargeIntValueType"},
                      TValueTypeCase{"Fmt", "TqvFMTBcdValueType"}, TValueTypeCase{"M", "TqvVariantValueType"},
                      TValueTypeCase{"Bl", "TqvVariantValueType"}, TValueTypeCase{"Fc", "TqvVariantValueType"},
                      TValueTypeCase{"Ts", "TqvVariantValueType"}),
    [](const auto& info) { return String(info.param.Column); });

TEST_F(DBControllerTest, ASubFieldHasOneParent) {
  OpenChannels(1);
  TCountingDBController* c = MakeController({"Name;Freq"});
  TqvDBDataField* field = c->GetDBField(0);
  ASSERT_EQ(field->GetSubFieldCount(), 2);
  EXPECT_EQ(field->GetSubField(1)->GetField(), Field("Freq"));
  try {
    c->CreateKeyField()->AddSubField(field->GetSubField(0));
    FAIL();
  } catch (const EqvInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.Message(), "ADataField.FParentField <> nil");
  }
}

// ---------------------------------------------------------------------------------------------
// Key fields

TEST_F(DBControllerTest, TwoKeyFieldsGiveAnArrayAndFindOnlyByAnArray) {
  OpenChannels(4);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->SetKeyFieldNames("Name;Freq");
  Variant key = c->GetKeyValues(2);
  ASSERT_TRUE(VarIsArray(key));
  EXPECT_EQ(VarToStr(key.GetElement(0)), "Ch3");
  EXPECT_EQ(key.GetElement(1).AsInteger(), 10030);
  EXPECT_EQ(c->FindRecordIndexByKey(VarArrayOf({"Ch4", 10040})), 3);
  EXPECT_EQ(c->FindRecordIndexByKey(VarArrayOf({"Ch4", 1})), -1);
  EXPECT_EQ(c->FindRecordIndexByKey("Ch4"), -1) << "a plain value where two keys want an array";
  EXPECT_EQ(c->FindRecordIndexByKey(VarArrayOf({"Ch4"})), -1) << "too few values";
  EXPECT_TRUE(c->LocateByKey(VarArrayOf({"Ch2", 10020})));
  EXPECT_EQ(Focused(c), "2");
  EXPECT_EQ(CurrentId(), 2);
  EXPECT_FALSE(c->LocateByKey(VarArrayOf({"Ch9", 1})));
  EXPECT_THROW(c->GetKeyValues(9), EqvInvalidDataControllerOperation);
}

TEST_F(DBControllerTest, OneKeyFieldGivesAPlainValueAndNoKeyNull) {
  OpenChannels(2);
  TCountingDBController* c = MakeController({"Name"});
  EXPECT_TRUE(VarIsNull(c->GetKeyValues(0)));
  EXPECT_FALSE(c->IsKeyNavigation());
  c->SetKeyFieldNames("Id");
  EXPECT_TRUE(c->IsKeyNavigation());
  EXPECT_EQ(c->GetKeyValues(1).AsInteger(), 2);
  c->SetKeyFieldNames("");
  EXPECT_EQ(c->GetKeyField(), nullptr);
  EXPECT_FALSE(c->IsKeyNavigation());
}

TEST_F(DBControllerTest, TheDataSetsCursorIsFoundByKey) {
  OpenChannels(5);
  TCountingDBController* c = MakeController({"Id"});
  c->SetKeyFieldNames("Id");
  c->ChangeSorting(0, soDescending);
  Table->Locate("Id", 2, 0);
  EXPECT_EQ(Focused(c), "2");
  EXPECT_EQ(c->GetFocusedRowIndex(), 3);
  Table->Next();
  EXPECT_EQ(Focused(c), "3");
}

// ---------------------------------------------------------------------------------------------
// Lookup fields

class LookupFieldTest : public TqvDBControllerTest {
 public:
  void SetUp() override {
    CreateChannels(4);
    Db->ExecSQL("CREATE TABLE Kinds (Radio BOOLEAN, Label VARCHAR(10))");
    Db->ExecSQL("INSERT INTO Kinds VALUES (0, 'TV'), (1, 'Radio')");
    AddField(New<TAutoIncField>(Owner.get()), "Id");
    AddField(New<TStringField>(Owner.get()), "Name");
    AddField(New<TBooleanField>(Owner.get()), "Radio");
    Lookup = New<TStringField>(Owner.get());
    Lookup->SetFieldName("Kind");
    Lookup->SetFieldKind(fkLookup);
    Lookup->SetKeyFields("Radio");
    Lookup->SetLookupDataSet(MakeQuery("SELECT * FROM Kinds"));
    Lookup->SetLookupKeyFields("Radio");
    Lookup->SetLookupResultField("Label");
    Lookup->SetDataSet(Table);
    Table->Open();
  }
  void AddField(TField* AField, const char* AName) {
    AField->SetFieldName(AName);
    AField->SetDataSet(Table);
  }
  TStringField* Lookup = nullptr;
};

TEST_F(LookupFieldTest, ALookupColumnCarriesItsKeyFieldAndFiltersOnIt) {
  TCountingDBController* c = MakeController({"Name", "Kind"});
  TqvDBDataField* field = c->GetDBField(1);
  ASSERT_TRUE(field->IsLookup());
  ASSERT_EQ(field->GetSubFieldCount(), 1);
  EXPECT_EQ(field->GetSubField(0)->GetField(), Field("Radio"));
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Radio", "TV", "Radio", "TV"}));
  EXPECT_EQ(c->GetItemFilterFieldName(1), "Radio");
  EXPECT_TRUE(c->GetFilterValue(0, field).AsBoolean());
  EXPECT_FALSE(c->GetGroupingValue(1, field).AsBoolean());
  EXPECT_FALSE(c->CanReadStoredValues(field));
  EXPECT_TRUE(field->CanModifyBySource(evsKey));
  EXPECT_FALSE(field->CanModifyBySource(evsValue)) << "a lookup is edited by its key";
  Field("Radio")->SetReadOnly(true);
  EXPECT_FALSE(field->CanModifyBySource(evsKey));
}

TEST_F(LookupFieldTest, ALookupColumnIsEditedByItsKey) {
  TCountingDBController* c = MakeController({"Name", "Kind"});
  c->ChangeFocusedRowIndex(1);
  c->BeginEditItem(0);
  ASSERT_TRUE(c->GetDBProvider()->SetEditValue(1, c->GetField(1), true, evsKey));
  EXPECT_TRUE(c->GetEditValue(1, evsKey).AsBoolean());
  c->Post();
  EXPECT_EQ(Column(c, 1)[1], "Radio");
}

// ---------------------------------------------------------------------------------------------
// What a reload keeps

TEST_F(DBControllerTest, AReloadKeepsTheSelectedRecordsByKey) {
  OpenChannels(6);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->SetKeyFieldNames("Id");
  c->ChangeRowSelection(1, true);
  c->ChangeRowSelection(3, true);
  c->ChangeRowSelection(5, true);
  ReplaceChannelsAndRefresh();
  EXPECT_EQ(SelectedTexts(c), (std::vector<String>{"2", "4"})) << "positions changed, the records stay selected";
}

// The records come back in any order of their keys: in it, against it, or partly in it.
struct TKeyOrderCase {
  const char* Name;
  const char* KeyField;
  const char* Arrange;  // SQL run before the controller is made
};

void PrintTo(const TKeyOrderCase& c, std::ostream* os) { *os << c.Name; }

class KeyOrderTest : public DBControllerTest, public ::testing::WithParamInterface<TKeyOrderCase> {};

TEST_P(KeyOrderTest, AReloadKeepsTheSelectedRecords) {
  const TKeyOrderCase& c = GetParam();
  OpenChannels(14);
  Db->ExecSQL(c.Arrange);
  Table->Refresh();
  TCountingDBController* controller = MakeController({"Id"});
  controller->SetKeyFieldNames(c.KeyField);
  for (Integer row : {0, 1, 4, 9, 10, 13}) controller->ChangeRowSelection(row, true);
  ReplaceChannelsAndRefresh();
  std::vector<String> selected = SelectedTexts(controller);
  std::sort(selected.begin(), selected.end());
  EXPECT_EQ(selected, (std::vector<String>{"10", "11", "14", "2", "5"}));
}

INSTANTIATE_TEST_SUITE_P(Orders, KeyOrderTest,
                         ::testing::Values(TKeyOrderCase{"InRecordOrder", "Id", "SELECT 1"},
                                           TKeyOrderCase{"AgainstRecordOrder", "Freq", "UPDATE Channels SET Freq = 1000 - Id"},
                                           TKeyOrderCase{"PartlyInRecordOrder", "Name", "SELECT 1"},
                                           TKeyOrderCase{"Shuffled", "Freq", "UPDATE Channels SET Freq = (Id * 7) % 15"}),
                         [](const ::testing::TestParamInfo<TKeyOrderCase>& info) { return String(info.param.Name); });

TEST_F(DBControllerTest, WithoutKeysOnlyTheSelectionOfRecordsThatAreGoneIsDropped) {
  OpenChannels(4);
  TCountingDBController* c = MakeController({"Id"});
  c->ChangeRowSelection(1, true);
  c->ChangeRowSelection(3, true);
  Db->ExecSQL("DELETE FROM Channels WHERE Id = 4");
  Table->Refresh();
  ASSERT_EQ(c->GetSelectedCount(), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(0), 1);
}

// ---------------------------------------------------------------------------------------------
// Master-detail

// Programs(Id, ChannelId, Title): channel 1 has programs 1, 2 and, apart from them, 5.
class MasterDetailTest : public TqvDBControllerTest {
 public:
  void SetUp() override {
    OpenChannels(4);
    Db->ExecSQL("CREATE TABLE Programs (Id INTEGER PRIMARY KEY, ChannelId INTEGER, Title VARCHAR(20))");
    Db->ExecSQL(
        "INSERT INTO Programs VALUES (1, 1, 'News'), (2, 1, 'Sport'), (3, 2, 'Film'), (4, 2, 'Quiz'), "
        "(5, 1, 'Late')");
    Master = MakeController({"Id", "Name"});
    Master->SetKeyFieldNames("Id");
    Relation = Master->GetRelations()->Add(&Level);
  }

  // The detail pattern over ADataSet; its clones read a master record's programs.
  TCountingDBController* MakePattern(TDataSet* ADataSet, bool ASQLMode) {
    auto* source = New<TDataSource>(Owner.get());
    source->SetDataSet(ADataSet);
    TCountingDBController* pattern = MakeController({"Id", "Title"}, source);
    pattern->GetDataModeController()->SetDetailInSQLMode(ASQLMode);
    pattern->SetDetailKeyFieldNames("ChannelId");
    pattern->SetMasterKeyFieldNames("Id");
    pattern->AttachToRelation(Relation, true);
    return pattern;
  }
  TCountingDBController* Clone(Integer AMasterRecord) {
    return static_cast<TCountingDBController*>(Master->GetRecordDetailDataController(AMasterRecord, 0));
  }
  TSQLiteTable* Programs() {
    auto* programs = New<TSQLiteTable>(Owner.get());
    programs->SetDatabase(Db);
    programs->SetTableName("Programs");
    programs->Open();
    return programs;
  }

  TCountingDBController* Master = nullptr;
  TqvCustomDataRelation* Relation = nullptr;
  TDBTestItem Level;
};

TEST_F(MasterDetailTest, ADetailReadsItsMastersRunOfRecordsAndStopsAtTheFirstOther) {
  TSQLiteTable* programs = Programs();
  MakePattern(programs, false);
  EXPECT_TRUE(static_cast<TqvDBDataRelation*>(Relation)->IsLinked());
  TCountingDBController* first = Clone(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetDetailMode(), 2);
  EXPECT_EQ(first->GetMasterKeyValues().AsInteger(), 1);
  EXPECT_EQ(Column(first, 1), (std::vector<String>{"News", "Sport"})) << "Late comes after Film";
  EXPECT_EQ(Column(Clone(1), 1), (std::vector<String>{"Film", "Quiz"}));
  EXPECT_EQ(Clone(2)->GetRecordCount(), 0);
}

TEST_F(MasterDetailTest, HasChildrenLocatesTheMastersKeyInTheDetail) {
  TSQLiteTable* programs = Programs();
  MakePattern(programs, false);
  programs->Last();
  EXPECT_TRUE(Master->GetDetailHasChildren(0, 0));
  EXPECT_TRUE(Master->GetDetailHasChildren(1, 0));
  EXPECT_FALSE(Master->GetDetailHasChildren(2, 0));
  EXPECT_EQ(programs->FieldByName("Id")->GetAsInteger(), 5) << "the detail goes back where it was";
  Master->OnDetailHasChildren = [](TqvDBDataController*, Integer ARecordIndex, Integer, const String& ANames,
                                   const Variant& AValues, bool& AHasChildren) {
    AHasChildren = ANames == "ChannelId" && AValues.AsInteger() == 4 && ARecordIndex == 3;
  };
  EXPECT_TRUE(Master->GetDetailHasChildren(3, 0));
}

TEST_F(MasterDetailTest, AQueryDetailReopensOncePerMaster) {
  TSQLiteQuery* query = MakeQuery("SELECT * FROM Programs WHERE ChannelId = :ChannelId ORDER BY Id");
  int opened = 0;
  TCountingDBController* pattern = MakePattern(query, true);
  pattern->GetDataModeController()->OnDetailFirst = [&](TqvDBDataModeController* Sender, TDataSet* ADataSet,
                                                          const String& ANames, const Variant& AValues, bool& AReopened) {
    Sender->GetDataController()->GetDetailFilterAdapter()->SelectDetail(ADataSet, ANames, AValues, true, AReopened);
    if (AReopened) ++opened;
  };
  TCountingDBController* first = Clone(0);
  EXPECT_EQ(Column(first, 1), (std::vector<String>{"News", "Sport", "Late"})) << "the query selects them all";
  TCountingDBController* second = Clone(1);
  EXPECT_EQ(Column(second, 1), (std::vector<String>{"Film", "Quiz"}));
  EXPECT_EQ(opened, 2);
  ASSERT_TRUE(first->ChangeFocusedRowIndex(2));
  EXPECT_EQ(opened, 3) << "focusing the first master's program reopens its query";
  EXPECT_EQ(query->FieldByName("Title")->GetAsString(), "Late");
  ASSERT_TRUE(first->ChangeFocusedRowIndex(1));
  EXPECT_EQ(opened, 3) << "the same master: no reopening";
  EXPECT_EQ(query->FieldByName("Title")->GetAsString(), "Sport");
}

TEST_F(MasterDetailTest, ADetailInsertTakesItsMastersKey) {
  TSQLiteTable* programs = Programs();
  MakePattern(programs, false)->SetKeyFieldNames("Id");
  TCountingDBController* second = Clone(1);
  ASSERT_TRUE(second->GetDBProvider()->CanModify());
  second->Append();
  second->SetEditValue(1, "New", evsValue);
  second->Post();
  EXPECT_EQ(programs->Lookup("Title", "New", "ChannelId").AsInteger(), 2);
}

TEST_F(MasterDetailTest, AReloadKeepsTheExpandedMastersAndTheirDetailsSelection) {
  TSQLiteTable* programs = Programs();
  TCountingDBController* pattern = MakePattern(programs, false);
  pattern->SetKeyFieldNames("Id");
  ASSERT_TRUE(Master->ChangeDetailExpanding(1, true));
  TCountingDBController* clone = Clone(1);
  clone->ChangeRowSelection(1, true);
  Db->ExecSQL("DELETE FROM Channels WHERE Id = 1");
  Table->Refresh();
  ASSERT_EQ(Column(Master, 0), (std::vector<String>{"2", "3", "4"}));
  EXPECT_TRUE(Master->GetDetailExpanded(0)) << "channel 2 is still expanded";
  EXPECT_FALSE(Master->GetDetailExpanded(1));
  TCountingDBController* again = Clone(0);
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->GetSelectedCount(), 1);
  EXPECT_EQ(Text(again, again->GetRowInfo(again->GetSelectedRowIndex(0)).RecordIndex, 1), "Quiz");
}

TEST_F(MasterDetailTest, ThePatternMovesTheMasterToTheDetailDataSetsRecord) {
  TSQLiteTable* programs = Programs();
  MakePattern(programs, false)->SetKeyFieldNames("Id");
  ASSERT_EQ(Focused(Master), "1");
  programs->MoveBy(3);
  EXPECT_EQ(CurrentId(), 2) << "the master dataset follows";
  EXPECT_EQ(Focused(Master), "2");
  EXPECT_TRUE(Master->GetDetailExpanded(1)) << "and shows the program's channel expanded";
  TCountingDBController* clone = Clone(1);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(Focused(clone, 1), "Quiz");
  programs->Locate("Id", 5, 0);
  EXPECT_EQ(CurrentId(), 1) << "a located program moves the master too";
  EXPECT_TRUE(Master->GetDetailExpanded(0));
}

TEST_F(MasterDetailTest, NoAdapterForTheDataSetRaises) {
  TSQLiteTable* programs = Programs();
  TCountingDBController* pattern = MakePattern(programs, false);
  TqvDBAdapterList* adapters = DBDetailFilterAdapters();
  adapters->UnregisterAdapter(&TDataSet::StaticClass(), &TqvDBProviderDetailFilterAdapter::StaticClass());
  struct TRestore {
    TqvDBAdapterList* Adapters;
    ~TRestore() {
      Adapters->RegisterAdapter(&TDataSet::StaticClass(), &TqvDBProviderDetailFilterAdapter::StaticClass());
    }
  } restore{adapters};
  try {
    pattern->GetDetailFilterAdapter();
    FAIL();
  } catch (const EqvInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.Message(), "DetailFilterController not found");
  }
}

// ---------------------------------------------------------------------------------------------
// Settings

TEST_F(DBControllerTest, GridModeAsksNothingWhileGrouped) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Radio", "Name"});
  c->GetGroups()->ChangeGroupIndex(0, 0);
  int loads = c->Loads;
  c->GetDataModeController()->SetGridMode(true);
  EXPECT_FALSE(c->IsGridMode());
  EXPECT_EQ(c->Loads, loads) << "no structure reset";
  c->GetGroups()->ChangeGroupIndex(0, -1);
  EXPECT_TRUE(c->IsGridMode());
}

TEST_F(DBControllerTest, AssignCopiesEverySetting) {
  OpenChannels(1);
  TCountingDBController* a = MakeController({"Id"});
  TqvDBDataModeController* modes = a->GetDataModeController();
  modes->SetDetailInSQLMode(true);
  modes->SetDetailInSyncMode(false);
  modes->SetGridModeBufferCount(7);
  modes->SetSmartRefresh(true);
  modes->SetSyncInsert(false);
  modes->SetSyncMode(false);
  modes->OnDetailFirst = [](TqvDBDataModeController*, TDataSet*, const String&, const Variant&, bool&) {};
  a->SetKeyFieldNames("Id");
  a->SetDetailKeyFieldNames("D");
  a->SetMasterKeyFieldNames("M");
  TCountingDBController* b = MakeController({}, nullptr);
  b->SetDataSource(nullptr);
  b->Assign(a);
  TqvDBDataModeController* copy = b->GetDataModeController();
  EXPECT_TRUE(copy->GetDetailInSQLMode());
  EXPECT_FALSE(copy->GetDetailInSyncMode());
  EXPECT_EQ(copy->GetGridModeBufferCount(), 7);
  EXPECT_TRUE(copy->GetSmartRefresh());
  EXPECT_FALSE(copy->GetSyncInsert());
  EXPECT_FALSE(copy->GetSyncMode());
  EXPECT_TRUE(static_cast<bool>(copy->OnDetailFirst));
  EXPECT_EQ(b->GetDataSource(), Source);
  EXPECT_EQ(b->GetKeyFieldNames(), "Id");
  EXPECT_EQ(b->GetMasterDetailKeyFieldNames(), "D");
}

TEST_F(DBControllerTest, AClosedDataSetHasNoRecordsAndNoRecordNumber) {
  CreateChannels(3);
  TCountingDBController* c = MakeController({"Id"});
  EXPECT_EQ(c->GetDataSetRecordCount(), 0);
  EXPECT_EQ(c->GetDataSetRecNo(), -1);
  Table->Open();
  EXPECT_EQ(c->GetDataSetRecordCount(), 3);
  c->SetDataSetRecNo(3);
  EXPECT_EQ(c->GetDataSetRecNo(), 3);
  EXPECT_EQ(Focused(c), "3");
}

}  // namespace qvDBDataControllerTests
