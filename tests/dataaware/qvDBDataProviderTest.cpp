// The dataset provider: loading, following the dataset's events, two controllers on one
// dataset, editing through the dataset, smart refresh, deleting, searching and grid mode.
#include "core/qvDataSearch.h"
#include "core/qvVariants.h"
#include "tests/dataaware/qvDBDataTestSupport.h"

namespace qvDBDataProviderTests {

class DBProviderTest : public TqvDBControllerTest {};

// ---------------------------------------------------------------------------------------------
// Loading and following the dataset

TEST_F(DBProviderTest, NormalModeLoadsEveryRecordAndTheFocusFollowsTheCursor) {
  OpenChannels(5);
  TCountingDBController* c = MakeController({"Id", "Name", "Freq"});
  EXPECT_EQ(c->GetRecordCount(), 5);
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Ch2", "Ch3", "Ch4", "Ch5"}));
  EXPECT_EQ(Focused(c), "1");
  Table->MoveBy(2);
  EXPECT_EQ(Focused(c), "3");
  Table->Prior();
  EXPECT_EQ(Focused(c), "2");
}

TEST_F(DBProviderTest, FocusingARowMovesTheDataSet) {
  OpenChannels(5);
  TCountingDBController* c = MakeController({"Id", "Name"});
  ASSERT_TRUE(c->ChangeFocusedRowIndex(3));
  EXPECT_EQ(CurrentId(), 4);
  ASSERT_TRUE(c->ChangeFocusedRowIndex(1));
  EXPECT_EQ(CurrentId(), 2);
  c->SetKeyFieldNames("Id");
  ASSERT_TRUE(c->ChangeFocusedRowIndex(4));
  EXPECT_EQ(CurrentId(), 5) << "by key";
  EXPECT_EQ(Focused(c), "5");
}

TEST_F(DBProviderTest, OpeningAndClosingTheDataSetLoadsAndEmpties) {
  CreateChannels(3);
  TCountingDBController* c = MakeController({"Name"});
  EXPECT_EQ(c->GetRecordCount(), 0);
  Table->Open();
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_EQ(c->GetItemField(0), Field("Name"));
  Table->Close();
  EXPECT_EQ(c->GetRecordCount(), 0);
  EXPECT_EQ(c->GetItemField(0), nullptr) << "the default fields went with the dataset";
  Table->Open();
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"Ch1", "Ch2", "Ch3"}));
}

TEST_F(DBProviderTest, ADataSetChangeReloadsOnce) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Name"});
  int loads = c->Loads;
  Db->ExecSQL("INSERT INTO Channels (Id, Name) VALUES (9, 'New')");
  Table->Refresh();
  EXPECT_EQ(c->Loads, loads + 1);
  EXPECT_EQ(c->GetRecordCount(), 4);
}

// ---------------------------------------------------------------------------------------------
// Two controllers on one dataset

TEST_F(DBProviderTest, AnotherControllersLoadMakesTheOtherCatchUpWithoutAReload) {
  OpenChannels(4);
  TCountingDBController* a = MakeController({"Name"});
  TCountingDBController* b = MakeController({"Name"});
  int loadsA = a->Loads;
  int loadsB = b->Loads;
  a->DataChanged(dckEverything, -1, -1);
  EXPECT_EQ(a->Loads, loadsA + 1) << "its own re-enabled controls do not load it again";
  EXPECT_EQ(b->Loads, loadsB) << "the change a's load caused is the providers' own";
  Table->MoveBy(2);
  EXPECT_EQ(Focused(b), "Ch3") << "b still follows the dataset";
}

TEST_F(DBProviderTest, AnEditDroppedByAnotherLoadMakesTheOtherReloadInFull) {
  OpenChannels(4);
  TCountingDBController* a = MakeController({"Name"});
  TCountingDBController* b = MakeController({"Name"});
  Table->Edit();
  Field("Name")->SetAsString("Changed");
  int loadsB = b->Loads;
  a->DataChanged(dckEverything, -1, -1);
  EXPECT_EQ(Table->GetState(), dsBrowse) << "the load cancels the pending edit";
  EXPECT_EQ(b->Loads, loadsB + 1) << "b saw the edit and must read again";
  EXPECT_EQ(Column(b, 0)[0], "Ch1");
}

TEST_F(DBProviderTest, ControlsReenabledFromOutsideRelayoutEveryControllerOnce) {
  OpenChannels(3);
  TCountingDBController* a = MakeController({"Name"});
  TCountingDBController* b = MakeController({"Name"});
  Log(a);
  int loadsA = a->Loads;
  int loadsB = b->Loads;
  Table->DisableControls();
  Db->ExecSQL("UPDATE Channels SET Name = 'X' WHERE Id = 2");
  Table->Refresh();
  Table->EnableControls();
  EXPECT_EQ(a->Loads, loadsA + 1);
  EXPECT_EQ(b->Loads, loadsB + 1);
  EXPECT_EQ(Column(b, 0)[1], "X");
  EXPECT_FALSE(a->GetDBProvider()->GetDataLink()->GetLayoutChangedPending());
  EXPECT_NE(std::find(Events.begin(), Events.end(), "layout"), Events.end()) << "a layout change";
  Events.clear();
  Table->Next();
  EXPECT_EQ(a->Loads, loadsA + 1) << "the pending layout change is spent";
}

// ---------------------------------------------------------------------------------------------
// Editing through the dataset

TEST_F(DBProviderTest, ChangesWhileTheDataSetEditsAreReadIntoTheRecordWithoutAReload) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Id", "Name"});
  Table->Next();
  int loads = c->Loads;
  Table->Edit();
  Field("Name")->SetAsString("Typing");
  EXPECT_EQ(c->Loads, loads) << "a data set change in dsEdit does nothing";
  EXPECT_EQ(Text(c, 1, 1), "Typing");
  EXPECT_TRUE(c->IsEditing());
  Table->Cancel();
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(Text(c, 1, 1), "Ch2");
}

TEST_F(DBProviderTest, EditingThroughTheControllerPostsToTheDataSet) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->ChangeFocusedRowIndex(2);
  ASSERT_TRUE(c->SetEditValue(1, "Third", evsValue));
  EXPECT_EQ(Table->GetState(), dsEdit);
  EXPECT_EQ(c->GetEditValue(1, evsValue).AsString(), "Third");
  c->Post();
  EXPECT_EQ(Table->GetState(), dsBrowse);
  EXPECT_EQ(Column(c, 1)[2], "Third");
  EXPECT_EQ(Focused(c), "3");
}

TEST_F(DBProviderTest, AFailedPostKeepsTheUsersValuesInEditWithTheEnginesMessage) {
  OpenChannels(3);
  Db->ExecSQL("CREATE UNIQUE INDEX ChannelNames ON Channels (Name)");
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->ChangeFocusedRowIndex(1);
  c->SetEditValue(1, "Ch1", evsValue);
  try {
    c->Post();
    FAIL() << "the post must fail";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("UNIQUE"), String::npos) << e.Message();
  }
  EXPECT_EQ(Table->GetState(), dsEdit);
  EXPECT_TRUE(c->IsEditing());
  EXPECT_EQ(Text(c, 1, 1), "Ch1") << "the user's value stays";
  c->SetEditValue(1, "Ch2b", evsValue);
  c->Post();
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Ch2b", "Ch3"}));
}

struct TSyncInsertCase {
  const char* Name;
  bool Append;
  bool SyncInsert;
  Integer Records;
  Integer NewRecord;  // -1: none
};

class SyncInsertTest : public TqvDBControllerTest, public ::testing::WithParamInterface<TSyncInsertCase> {};

TEST_P(SyncInsertTest, AnInsertOnTheDataSetStartsARecordInTheController) {
  const TSyncInsertCase& p = GetParam();
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->GetDataModeController()->SetSyncInsert(p.SyncInsert);
  Table->Next();
  if (p.Append)
    Table->Append();
  else
    Table->Insert();
  EXPECT_EQ(c->GetRecordCount(), p.Records);
  if (p.NewRecord >= 0) {
    EXPECT_TRUE(c->IsEditing());
    EXPECT_EQ(c->GetFocusedRecordIndex(), p.NewRecord);
    Field("Name")->SetAsString("Fresh");
    EXPECT_EQ(Text(c, p.NewRecord, 1), "Fresh");
  }
  Table->Cancel();
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_FALSE(c->IsEditing());
}

INSTANTIATE_TEST_SUITE_P(Inserts, SyncInsertTest,
                         ::testing::Values(TSyncInsertCase{"Append", true, true, 4, 3},
                                           TSyncInsertCase{"Insert", false, true, 4, 1},
                                           TSyncInsertCase{"NotMirrored", true, false, 3, -1}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DBProviderTest, AnInsertThroughTheControllerIsPostedAndRead) {
  OpenChannels(2);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->Append();
  EXPECT_EQ(Table->GetState(), dsInsert);
  ASSERT_EQ(c->GetRecordCount(), 3);
  c->SetEditValue(1, "Third", evsValue);
  c->Post();
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"1", "2", "3"})) << "read again with the key the database gave";
  EXPECT_EQ(Column(c, 1)[2], "Third");
}

// ---------------------------------------------------------------------------------------------
// Smart refresh

class SmartRefreshTest : public TqvDBControllerTest {
 public:
  TCountingDBController* Open(Integer ACount) {
    OpenChannels(ACount);
    TCountingDBController* c = MakeController({"Id", "Name"});
    c->SetKeyFieldNames("Id");
    c->GetDataModeController()->SetSmartRefresh(true);
    Loads = c->Loads;
    return c;
  }
  int Loads = 0;
};

TEST_F(SmartRefreshTest, APostWithTheSameKeyReadsOnlyThatRecord) {
  TCountingDBController* c = Open(4);
  c->ChangeFocusedRowIndex(1);
  c->SetEditValue(1, "Second", evsValue);
  c->Post();
  EXPECT_EQ(c->Loads, Loads);
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Second", "Ch3", "Ch4"}));
}

TEST_F(SmartRefreshTest, APostThatChangesTheKeyReadsTheRecordUnderItsNewKey) {
  TCountingDBController* c = Open(4);
  c->ChangeFocusedRowIndex(1);
  c->SetEditValue(0, 100, evsValue);
  c->Post();
  EXPECT_EQ(c->Loads, Loads);
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"1", "100", "3", "4"})) << "the record never vanishes";
  EXPECT_EQ(Focused(c), "100");
}

TEST_F(SmartRefreshTest, AnInsertedAutoIncRecordIsReadWithTheKeyItGot) {
  TCountingDBController* c = Open(2);
  c->Append();
  c->SetEditValue(1, "Third", evsValue);
  c->Post();
  EXPECT_EQ(c->Loads, Loads);
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"1", "2", "3"}));
  EXPECT_EQ(Column(c, 1)[2], "Third");
}

TEST_F(SmartRefreshTest, ACancelledInsertIsRemoved) {
  TCountingDBController* c = Open(3);
  c->Append();
  ASSERT_EQ(c->GetRecordCount(), 4);
  c->SetEditValue(1, "Nope", evsValue);
  c->Cancel();
  EXPECT_EQ(c->Loads, Loads);
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Ch2", "Ch3"}));
}

TEST_F(SmartRefreshTest, DeletingTheFocusedRecordRemovesItWithoutAReload) {
  TCountingDBController* c = Open(3);
  c->ChangeFocusedRowIndex(1);
  c->DeleteFocused();
  EXPECT_EQ(c->Loads, Loads);
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch1", "Ch3"}));
  EXPECT_EQ(CountRows(), 2);
}

// ---------------------------------------------------------------------------------------------
// Deleting several records

struct TDeleteCase {
  const char* Name;
  bool GridMode;
  bool KeyNavigation;
  std::vector<Integer> Rows;
  std::vector<String> Left;
};

class DeleteRecordsTest : public TqvDBControllerTest, public ::testing::WithParamInterface<TDeleteCase> {};

// Record indexes name rows of the dataset as the controller saw it; each deletion removes
// exactly a listed record, also after the dataset falls back from the end.
TEST_P(DeleteRecordsTest, ExactlyTheListedRecordsGo) {
  const TDeleteCase& p = GetParam();
  OpenChannels(6);
  TCountingDBController* c = MakeController({"Id", "Name"});
  if (p.KeyNavigation) c->SetKeyFieldNames("Id");
  c->GetDataModeController()->SetGridMode(p.GridMode);
  c->GetDBProvider()->DeleteRecords(p.Rows);
  std::vector<String> left;
  Table->First();
  while (!Table->GetEof()) {
    left.push_back(Field("Name")->GetAsString());
    Table->Next();
  }
  EXPECT_EQ(left, p.Left);
  EXPECT_FALSE(Table->ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DeleteRecordsTest,
    ::testing::Values(TDeleteCase{"ByKey", false, true, {1, 5, 3}, {"Ch1", "Ch3", "Ch5"}},
                      TDeleteCase{"ByPosition", false, false, {1, 5, 3}, {"Ch1", "Ch3", "Ch5"}},
                      TDeleteCase{"TheLastTwo", false, false, {4, 5}, {"Ch1", "Ch2", "Ch3", "Ch4"}},
                      TDeleteCase{"GridModeRows", true, false, {0, 4, 5}, {"Ch2", "Ch3", "Ch4"}}),
    [](const auto& info) { return info.param.Name; });

// ---------------------------------------------------------------------------------------------
// Position

TEST_F(DBProviderTest, AReloadPutsTheRecordBackOnItsRowOfTheBuffer) {
  OpenChannels(30);
  TDataLink wide;
  wide.SetBufferCount(10);
  wide.SetDataSource(Source);
  TCountingDBController* c = MakeController({"Id"});
  Table->MoveBy(14);
  Table->MoveBy(-6);
  ASSERT_EQ(CurrentId(), 9);
  Integer row = Table->GetActiveRecord();
  ASSERT_NE(row, 0);
  c->DataChanged(dckEverything, -1, -1);
  EXPECT_EQ(CurrentId(), 9);
  EXPECT_EQ(Table->GetActiveRecord(), row);
  EXPECT_EQ(Focused(c), "9");
  wide.SetDataSource(nullptr);
}

TEST_F(DBProviderTest, AGoneRecordRestoresNothingAndRaisesNothing) {
  OpenChannels(3);
  TCountingDBController* c = MakeController({"Id"});
  Table->Next();
  TqvDBDataProvider* provider = c->GetDBProvider();
  provider->SavePosition();
  Table->Delete();
  Table->First();
  EXPECT_NO_THROW(provider->RestorePosition());
  EXPECT_EQ(CurrentId(), 1);
}

// ---------------------------------------------------------------------------------------------
// Incremental search in the dataset (grid mode)

class DataSetSearchTest : public TqvDBControllerTest {
 public:
  TCountingDBController* Open() {
    OpenChannels(12);
    TCountingDBController* c = MakeController({"Id", "Name"});
    c->GetDataModeController()->SetGridMode(true);
    c->GetDataModeController()->SetGridModeBufferCount(4);
    c->GetSearch();
    return c;
  }
};

TEST_F(DataSetSearchTest, FindsForwardWrappingOnce) {
  TCountingDBController* c = Open();
  Table->MoveBy(5);
  ASSERT_TRUE(c->GetSearch()->Locate(1, "ch1"));
  EXPECT_EQ(CurrentId(), 10) << "the next match from the cursor on, without case";
  ASSERT_TRUE(c->GetSearch()->LocateNext(true));
  EXPECT_EQ(CurrentId(), 11);
  ASSERT_TRUE(c->GetSearch()->LocateNext(true));
  EXPECT_EQ(CurrentId(), 12);
  EXPECT_FALSE(c->GetSearch()->LocateNext(true)) << "a next search stops at the end";
  EXPECT_EQ(CurrentId(), 12);
  ASSERT_TRUE(c->GetSearch()->LocateNext(false));
  EXPECT_EQ(CurrentId(), 11);
}

TEST_F(DataSetSearchTest, AFailedSearchEndsAndLeavesTheCursor) {
  TCountingDBController* c = Open();
  Table->MoveBy(3);
  EXPECT_FALSE(c->GetSearch()->Locate(1, "zz")) << "walks every record once, wrapping";
  EXPECT_FALSE(c->GetDBProvider()->FindTextInDataSet("zz", false, false));
  EXPECT_EQ(CurrentId(), 4);
  EXPECT_FALSE(Table->ControlsDisabled());
  ASSERT_TRUE(c->GetDBProvider()->FindTextInDataSet("Ch2", false, false));
  EXPECT_EQ(CurrentId(), 2) << "backwards from the cursor";
}

// ---------------------------------------------------------------------------------------------
// Grid mode

struct TBufferCase {
  const char* Name;
  Integer Setting;
  Integer Stored;
  Integer Rows;
};

class GridModeBufferTest : public TqvDBControllerTest, public ::testing::WithParamInterface<TBufferCase> {};

TEST_P(GridModeBufferTest, TheLinkBuffersAsManyRowsAsAsked) {
  OpenChannels(150);
  TCountingDBController* c = MakeController({"Id"});
  c->GetDataModeController()->SetGridModeBufferCount(GetParam().Setting);
  c->GetDataModeController()->SetGridMode(true);
  EXPECT_EQ(c->GetDataModeController()->GetGridModeBufferCount(), GetParam().Stored);
  EXPECT_EQ(c->GetDBProvider()->GetDataLink()->GetBufferCount(), GetParam().Rows);
  EXPECT_EQ(c->GetRecordCount(), GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(Counts, GridModeBufferTest,
                         ::testing::Values(TBufferCase{"Automatic", 0, 0, 100}, TBufferCase{"Ten", 10, 10, 10},
                                           TBufferCase{"Negative", -5, 0, 100}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DBProviderTest, GridModeReadsTheBufferOnDemandAndFollowsTheCursor) {
  OpenChannels(50);
  TCountingDBController* c = MakeController({"Id", "Name"});
  c->GetDataModeController()->SetGridModeBufferCount(5);
  c->GetDataModeController()->SetGridMode(true);
  ASSERT_TRUE(c->IsGridMode());
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"1", "2", "3", "4", "5"}));
  EXPECT_TRUE(VarIsNull(c->GetDBProvider()->GetGridModeValue(7, c->GetField(0)))) << "beyond the buffer";
  c->GotoLast();
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"46", "47", "48", "49", "50"}));
  EXPECT_EQ(Focused(c), "50");
  c->GotoPrev();
  EXPECT_EQ(Focused(c), "49");
  c->MoveBy(-10);
  EXPECT_EQ(Focused(c), "39");
  EXPECT_EQ(Column(c, 0)[0], "39");
  c->Scroll(2);
  EXPECT_EQ(Column(c, 0)[0], "41") << "the buffer itself scrolls";
  c->ChangeFocusedRowIndex(3);
  EXPECT_EQ(CurrentId(), 44) << "focusing a buffer row moves the dataset to it";
}

}  // namespace qvDBDataProviderTests
