// Editing: Edit, Insert, Append, Post, Cancel, Delete and CheckBrowseMode; a failed write keeps
// the edit and leaves the database as it was; transactions.
#include <cmath>

#include "DataTestSupport.h"
#include "platform/rtl/RtlTestSupport.h"

namespace {

TEST_F(TDataTest, PostWritesTheChangedFields) {
  OpenItems(3);
  Table->SetRecNo(2);
  Table->Edit();
  Field("Name")->SetAsString("changed");
  EXPECT_TRUE(Table->GetModified());
  Table->Post();
  EXPECT_EQ(Table->GetState(), dsBrowse);
  EXPECT_FALSE(Table->GetModified());
  EXPECT_EQ(CountRows("Name = 'changed' AND Id = 2 AND Qty = 20"), 1);
  EXPECT_EQ(Table->GetRecNo(), 2);
}

TEST_F(TDataTest, CancelRestoresTheValues) {
  OpenItems(3);
  Table->Edit();
  Field("Name")->SetAsString("changed");
  Table->Cancel();
  EXPECT_EQ(Name(), "Item1");
  EXPECT_EQ(CountRows("Name = 'changed'"), 0);
}

TEST_F(TDataTest, InsertPostTakesTheStoragesNumberAndDefaults) {
  CreateItems(0);
  Db->ExecSQL("CREATE TABLE Notes (Id INTEGER PRIMARY KEY, Text TEXT, Kind TEXT DEFAULT 'memo')");
  Table->SetTableName("Notes");
  Table->Open();
  Table->Append();
  Table->FieldByName("Text")->SetAsString("first");
  Table->Post();
  Table->Insert();
  Table->FieldByName("Text")->SetAsString("second");
  Table->Post();
  EXPECT_EQ(Table->FieldByName("Id")->GetAsInteger(), 2);
  EXPECT_EQ(Table->FieldByName("Kind")->GetAsString(), "memo") << "read back after the write";
  EXPECT_EQ(Table->GetRecordCount(), 2);
  EXPECT_EQ(Table->GetRecNo(), 2);
}

TEST_F(TDataTest, AnInsertWithoutValuesUsesTheDefaults) {
  CreateItems(0);
  Db->ExecSQL("CREATE TABLE Notes (Id INTEGER PRIMARY KEY, Kind TEXT DEFAULT 'memo')");
  Table->SetTableName("Notes");
  Table->Open();
  Table->Insert();
  Table->FieldByName("Kind")->SetAsString("x");
  Table->FieldByName("Kind")->Clear();
  Table->Post();
  EXPECT_TRUE(Table->FieldByName("Kind")->IsNull()) << "a value set to Null is written as Null";
  Table->Insert();
  Table->FieldByName("Id")->SetAsInteger(10);
  Table->Post();
  EXPECT_EQ(Table->FieldByName("Kind")->GetAsString(), "memo");
}

TEST_F(TDataTest, DeleteMovesToTheNextRecord) {
  OpenItems(4);
  Table->SetRecNo(2);
  Table->Delete();
  EXPECT_EQ(Name(), "Item3");
  Table->Last();
  Table->Delete();
  EXPECT_EQ(Name(), "Item3") << "the last one deleted: its predecessor";
  EXPECT_EQ(Table->GetRecordCount(), 2);
  EXPECT_EQ(CountRows(), 2);
  Table->Delete();
  Table->Delete();
  EXPECT_TRUE(Table->IsEmpty());
  EXPECT_TRUE(Table->GetEof());
}

TEST_F(TDataTest, EditOnAnEmptyTableInserts) {
  OpenItems(0);
  Table->Edit();
  EXPECT_EQ(Table->GetState(), dsInsert);
}

TEST_F(TDataTest, CheckBrowseModePostsModifiedEditsAndCancelsOthers) {
  OpenItems(3);
  Table->Edit();
  Table->CheckBrowseMode();
  EXPECT_EQ(Table->GetState(), dsBrowse);
  Table->Edit();
  Field("Qty")->SetAsInteger(5);
  Table->Next();  // moving posts first
  EXPECT_EQ(CountRows("Id = 1 AND Qty = 5"), 1);
  Table->Append();
  Table->First();
  EXPECT_EQ(CountRows(), 3) << "an untouched new record is dropped";
}

TEST_F(TDataTest, FieldsOutsideAnEditRefuseValues) {
  OpenItems(2);
  try {
    Field("Name")->SetAsString("x");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Dataset not in edit or insert mode");
  }
  Table->SetName("Items");
  EXPECT_THROW(Table->Post(), EDatabaseError);
  try {
    Table->Post();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Items: Dataset not in edit or insert mode") << "named after the dataset";
  }
}

struct TBadValueCase {
  const char* Field;
  Variant Value;
  const char* Message;
};

class FieldBadValues : public TDataTest, public ::testing::WithParamInterface<TBadValueCase> {};

TEST_P(FieldBadValues, RaiseAndKeepTheValue) {
  const TBadValueCase& c = GetParam();
  OpenItems(2);
  Table->Edit();
  Variant before = Field(c.Field)->GetValue();
  try {
    Field(c.Field)->SetValue(c.Value);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), c.Message);
  }
  EXPECT_TRUE(VarSameValue(Field(c.Field)->GetValue(), before));
  EXPECT_FALSE(Table->GetModified());
}

INSTANTIATE_TEST_SUITE_P(
    Values, FieldBadValues,
    ::testing::Values(TBadValueCase{"Qty", "many", "'many' is not a valid value for field 'Qty'"},
                      TBadValueCase{"Born", "someday", "'someday' is not a valid value for field 'Born'"},
                      TBadValueCase{"Qty", 1e12, "'1000000000000' is not a valid value for field 'Qty'"},
                      TBadValueCase{"Active", "perhaps", "'perhaps' is not a valid value for field 'Active'"}));

// The engine stores NaN as NULL: every number field refuses it, as the integer ones always did.
TEST_F(TDataTest, NotANumberIsRefusedByEveryNumberField) {
  Db->ExecSQL("CREATE TABLE N (Id INTEGER PRIMARY KEY, F REAL, D DOUBLE, M MONEY, X NUMERIC(30,8), B DECIMAL(10,2), "
              "L BIGINT, T DATETIME)");
  Table->SetTableName("N");
  Table->Open();
  for (const char* name : {"F", "D", "M", "X", "B", "L", "T"}) {
    Table->Append();
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->FieldByName(name)->SetValue(std::nan("")); }),
              "'NAN' is not a valid value for field '" + String(name) + "'");
    EXPECT_FALSE(Table->GetModified()) << name;
    Table->Cancel();
  }
  EXPECT_TRUE(Table->IsEmpty());
}

TEST_F(TDataTest, RangesAndReadOnlyFieldsAreEnforced) {
  OpenItems(2);
  auto* qty = As<TIntegerField>(Field("Qty"));
  ASSERT_NE(qty, nullptr);
  qty->SetMinValue(0);
  qty->SetMaxValue(100);
  Table->Edit();
  try {
    qty->SetAsInteger(101);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "101 is not a valid value for field 'Qty'. The allowed range is 0 to 100");
  }
  qty->SetAsInteger(100);
  Field("Name")->SetReadOnly(true);
  EXPECT_THROW(Field("Name")->SetAsString("x"), EDatabaseError);
  EXPECT_FALSE(Field("Name")->GetCanModify());
}

TEST_F(TDataTest, ARequiredFieldStopsThePostAndAsksForFocus) {
  OpenItems(1);
  Table->Append();
  Field("Qty")->SetAsInteger(3);
  Link->Clear();
  try {
    Table->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Name' must have a value");
  }
  EXPECT_EQ(Link->Events(), "UpdateData, FocusControl(Name)");
  EXPECT_EQ(Table->GetState(), dsInsert);
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 3);
  EXPECT_EQ(CountRows(), 1);
}

TEST_F(TDataTest, AFailedPostKeepsTheEditAndTheDatabase) {
  OpenItems(3);
  Db->ExecSQL("CREATE UNIQUE INDEX ItemNames ON Items (Name)");
  Table->Append();
  Field("Name")->SetAsString("Item2");
  Field("Qty")->SetAsInteger(9);
  Link->Clear();
  try {
    Table->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("UNIQUE constraint failed"), String::npos) << e.Message();
  }
  EXPECT_EQ(Link->Events(), "UpdateData");
  EXPECT_EQ(Table->GetState(), dsInsert);
  EXPECT_EQ(Name(), "Item2");
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 9);
  EXPECT_TRUE(Table->GetModified());
  EXPECT_EQ(CountRows(), 3);
  EXPECT_FALSE(Db->GetInTransaction()) << "the write was rolled back";
  Field("Name")->SetAsString("Item4");
  Table->Post();
  EXPECT_EQ(CountRows(), 4);
}

// Cancel after a post that failed because the table is gone: no error, a consistent state.
struct TDroppedTableCase {
  const char* Name;
  bool Append;
  Integer BufferCount;
};

void PrintTo(const TDroppedTableCase& c, std::ostream* os) { *os << c.Name; }

class CancelOnADroppedTable : public TDataTest, public ::testing::WithParamInterface<TDroppedTableCase> {};

TEST_P(CancelOnADroppedTable, NeverRaises) {
  OpenItems(20, GetParam().BufferCount);
  Table->MoveBy(10);
  GetParam().Append ? Table->Append() : Table->Insert();
  Field("Name")->SetAsString("new");
  Db->ExecSQL("DROP TABLE Items");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Post(); }), "no such table: main.Items");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Cancel(); }), "no error");
  EXPECT_EQ(Table->GetState(), dsBrowse);
  EXPECT_EQ(Table->IsEmpty(), Table->GetRecordCount() == 0);
  EXPECT_EQ(Table->GetBufferRecordCount(), std::min(Table->GetRecordCount(), Table->GetBufferCount()));
  EXPECT_THROW(Table->Refresh(), EDatabaseError);
  CreateItems(3);
  Table->Refresh();
  EXPECT_EQ(Table->GetRecordCount(), 3);
  Table->Last();
  EXPECT_EQ(Name(), "Item3");
}

INSTANTIATE_TEST_SUITE_P(Windows, CancelOnADroppedTable,
                         ::testing::Values(TDroppedTableCase{"AppendOneRow", true, 1},
                                           TDroppedTableCase{"AppendFiveRows", true, 5},
                                           TDroppedTableCase{"InsertOneRow", false, 1},
                                           TDroppedTableCase{"InsertFiveRows", false, 5}),
                         [](const ::testing::TestParamInfo<TDroppedTableCase>& info) { return String(info.param.Name); });

TEST_F(TDataTest, ARecordChangedElsewhereIsReported) {
  OpenItems(3);
  Table->Edit();
  Field("Qty")->SetAsInteger(1);
  Db->ExecSQL("DELETE FROM Items WHERE Id = 1");
  try {
    Table->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Record not found or changed by another user");
  }
  EXPECT_EQ(Table->GetState(), dsEdit);
  Table->Cancel();
  EXPECT_THROW(Table->Edit(), EDatabaseError) << "the record is gone";
  EXPECT_EQ(Table->GetState(), dsBrowse);
  EXPECT_THROW(Table->Delete(), EDatabaseError);
}

TEST_F(TDataTest, EditReadsWhatTheDatabaseHoldsNow) {
  OpenItems(3);
  Db->ExecSQL("UPDATE Items SET Qty = 999 WHERE Id = 1");
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 10);
  Table->Edit();
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 999);
}

TEST_F(TDataTest, ChangingTheRowNumberMovesTheRecord) {
  OpenItems(3);
  Table->Edit();
  Field("Id")->SetAsInteger(50);
  Table->Post();
  EXPECT_EQ(Table->GetRecNo(), 3);
  EXPECT_EQ(Table->GetBookmark(), "50");
  EXPECT_FALSE(Table->BookmarkValid("1"));
}

TEST_F(TDataTest, RollbackUndoesTheTransactionsWrites) {
  OpenItems(3);
  Db->StartTransaction();
  EXPECT_TRUE(Db->GetInTransaction());
  Table->Append();
  Field("Name")->SetAsString("transient");
  Table->Post();
  Table->First();
  Table->Delete();
  EXPECT_EQ(Table->GetRecordCount(), 3);
  Db->Rollback();
  EXPECT_FALSE(Db->GetInTransaction());
  EXPECT_EQ(Table->GetRecordCount(), 3) << "the dataset read the rows again";
  EXPECT_EQ(CountRows("Name = 'transient'"), 0);
  EXPECT_EQ(CountRows("Id = 1"), 1);
}

TEST_F(TDataTest, CommitKeepsTheTransactionsWrites) {
  OpenItems(3);
  Db->StartTransaction();
  for (Integer i = 0; i < 5; ++i) {
    Table->Append();
    Field("Name")->SetAsString("n" + IntToStr(i));
    Table->Post();
  }
  Db->Commit();
  EXPECT_EQ(CountRows(), 8);
  EXPECT_THROW(Db->Commit(), EDatabaseError) << "no transaction left";
}

TEST_F(TDataTest, AFailedPostInsideATransactionUndoesOnlyItself) {
  OpenItems(3);
  Db->ExecSQL("CREATE UNIQUE INDEX ItemNames ON Items (Name)");
  Db->StartTransaction();
  Table->Append();
  Field("Name")->SetAsString("kept");
  Table->Post();
  Table->Append();
  Field("Name")->SetAsString("Item1");
  EXPECT_THROW(Table->Post(), EDatabaseError);
  Table->Cancel();
  EXPECT_TRUE(Db->GetInTransaction());
  Db->Commit();
  EXPECT_EQ(CountRows("Name = 'kept'"), 1);
}

TEST_F(TDataTest, QueriesAreReadOnly) {
  CreateItems(2);
  auto query = TOwned<TSQLiteQuery>(New<TSQLiteQuery>(nullptr));
  query->SetDatabase(Db);
  query->GetSQL()->SetText("SELECT * FROM Items");
  query->Open();
  EXPECT_FALSE(query->GetCanModify());
  EXPECT_FALSE(query->FieldByName("Name")->GetCanModify());
  EXPECT_THROW(query->Edit(), EDatabaseError);
  EXPECT_THROW(query->Append(), EDatabaseError);
  EXPECT_THROW(query->Delete(), EDatabaseError);
  EXPECT_EQ(query->GetState(), dsBrowse);
}

TEST_F(TDataTest, FieldValuesSetSeveralFieldsAtOnce) {
  OpenItems(2);
  Table->Edit();
  Table->SetFieldValues("Qty;Price", VarArrayOf({7, 1.25}));
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 7);
  EXPECT_DOUBLE_EQ(Field("Price")->GetAsFloat(), 1.25);
  EXPECT_THROW(Table->SetFieldValues("Qty;Price", 7), EDatabaseError);
  Variant both = Table->GetFieldValues("Qty; Price");
  EXPECT_EQ(both.GetElement(0).AsInteger(), 7);
  EXPECT_EQ(Table->GetFieldValues("Qty").AsInteger(), 7) << "one name: a plain value";
}

}  // namespace
