// The SQL database: column types, files written and read again, foreign and damaged files, locks,
// queries with parameters and masters, and the engine's errors.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "DataTestSupport.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/RtlTestSupport.h"

namespace {

// ------------------------------------------------------------------ column types

struct TDeclCase {
  const char* Decl;
  TFieldType DataType;
  Integer Size;
};

class DeclaredTypes : public TDataTest, public ::testing::WithParamInterface<TDeclCase> {};

TEST_P(DeclaredTypes, GiveTheFieldType) {
  const TDeclCase& c = GetParam();
  Db->ExecSQL(Format("CREATE TABLE T (Id INTEGER PRIMARY KEY, V %s)", {String(c.Decl)}));
  Table->SetTableName("T");
  Table->Open();
  EXPECT_EQ(Table->FieldByName("V")->GetDataType(), c.DataType);
  EXPECT_EQ(Table->FieldByName("V")->GetSize(), c.Size);
  EXPECT_EQ(Table->FieldByName("V")->ClassType(), DefaultFieldClass(c.DataType));
}

INSTANTIATE_TEST_SUITE_P(
    Columns, DeclaredTypes,
    ::testing::Values(TDeclCase{"INTEGER", ftInteger, 0}, TDeclCase{"BIGINT", ftLargeint, 0},
                      TDeclCase{"SMALLINT", ftSmallint, 0}, TDeclCase{"WORD", ftWord, 0},
                      TDeclCase{"BOOLEAN", ftBoolean, 0}, TDeclCase{"DATETIME", ftDateTime, 0},
                      TDeclCase{"TIMESTAMP", ftTimeStamp, 0}, TDeclCase{"DATE", ftDate, 0},
                      TDeclCase{"TIME", ftTime, 0}, TDeclCase{"MONEY", ftCurrency, 0},
                      TDeclCase{"DECIMAL(10, 2)", ftBCD, 2}, TDeclCase{"NUMERIC(30,8)", ftFMTBcd, 8},
                      TDeclCase{"REAL", ftFloat, 0}, TDeclCase{"double precision", ftFloat, 0},
                      TDeclCase{"MEMO", ftMemo, 0}, TDeclCase{"NVARCHAR(12)", ftWideString, 12},
                      TDeclCase{"CHAR(3)", ftFixedChar, 3}, TDeclCase{"VARCHAR(40)", ftString, 40},
                      TDeclCase{"TEXT", ftString, 0}, TDeclCase{"BLOB", ftBlob, 0}, TDeclCase{"", ftBlob, 0},
                      TDeclCase{"GRAPHIC", ftGraphic, 0}, TDeclCase{"NUMBER", ftFloat, 0}));

TEST_F(TDataTest, OnlyALoneIntegerKeyIsTheRowNumber) {
  Db->ExecSQL("CREATE TABLE A (K INTEGER PRIMARY KEY); CREATE TABLE B (K INT PRIMARY KEY, V TEXT);"
              "CREATE TABLE C (K INTEGER, L INTEGER, PRIMARY KEY (K, L));");
  for (const char* table : {"A", "B", "C"}) {
    Table->Close();
    Table->SetTableName(table);
    Table->Open();
    EXPECT_EQ(Table->FieldByName("K")->GetDataType(), String(table) == "A" ? ftAutoInc : ftInteger) << table;
  }
}

// ------------------------------------------------------------------ files

class TFileTest : public TDataTest {
 public:
  TTempFolder Folder;
  String Path() const { return Folder.File("channels.db"); }
};

TEST_F(TFileTest, ValuesSurvivePostCloseAndReopen) {
  Db->SetFileName(Path());
  Db->ExecSQL(
      "CREATE TABLE V (Id INTEGER PRIMARY KEY, S VARCHAR(20), W NVARCHAR(20), I INTEGER, L BIGINT, F REAL, "
      "C MONEY, B DECIMAL(12,4), D DATE, T TIME, DT DATETIME, Flag BOOLEAN, M MEMO, X BLOB)");
  Table->SetTableName("V");
  Table->Open();
  Table->Append();
  const String bytes("\0\x01\xFF\x80z", 5);
  Table->FieldByName("S")->SetAsString("Caf\xE9 \"quoted\" 'x'");
  Table->FieldByName("W")->SetValue(WideString(u"\u0416\u00e9"));
  Table->FieldByName("I")->SetAsInteger(-7);
  Table->FieldByName("L")->SetValue(Int64(1) << 40);
  Table->FieldByName("F")->SetAsFloat(0.1);
  Table->FieldByName("C")->SetAsFloat(19.99);
  Table->FieldByName("B")->SetValue(Currency::FromDouble(1234.5678));
  Table->FieldByName("D")->SetAsDateTime(EncodeDate(1999, 12, 31));
  Table->FieldByName("T")->SetAsDateTime(EncodeTime(23, 59, 58, 250));
  Table->FieldByName("DT")->SetAsDateTime(EncodeDate(2024, 2, 29) + EncodeTime(6, 7, 8, 0));
  Table->FieldByName("Flag")->SetAsBoolean(true);
  Table->FieldByName("M")->SetAsString(String(3000, 'm'));
  Table->FieldByName("X")->SetValue(bytes);
  Table->Post();
  Db->Close();
  EXPECT_FALSE(Table->GetActive()) << "closing the database closes its datasets";

  TSQLiteDatabase other(nullptr);
  other.SetFileName(Path());
  TSQLiteTable reopened(nullptr);
  reopened.SetDatabase(&other);
  reopened.SetTableName("V");
  reopened.Open();
  ASSERT_EQ(reopened.GetRecordCount(), 1);
  EXPECT_EQ(reopened.FieldByName("S")->GetAsString(), "Caf\xE9 \"quoted\" 'x'");
  EXPECT_EQ(reopened.FieldByName("W")->GetValue().AsWideString(), u"\u0416\u00e9");
  EXPECT_EQ(reopened.FieldByName("I")->GetAsInteger(), -7);
  EXPECT_EQ(reopened.FieldByName("L")->GetAsLargeInt(), Int64(1) << 40);
  EXPECT_EQ(reopened.FieldByName("F")->GetAsFloat(), 0.1);
  EXPECT_EQ(reopened.FieldByName("C")->GetAsFloat(), 19.99);
  EXPECT_EQ(reopened.FieldByName("B")->GetAsCurrency(), Currency::FromDouble(1234.5678));
  EXPECT_EQ(reopened.FieldByName("D")->GetAsDateTime(), EncodeDate(1999, 12, 31));
  EXPECT_DOUBLE_EQ(reopened.FieldByName("T")->GetAsDateTime(), EncodeTime(23, 59, 58, 250));
  EXPECT_DOUBLE_EQ(reopened.FieldByName("DT")->GetAsDateTime(), EncodeDate(2024, 2, 29) + EncodeTime(6, 7, 8, 0));
  EXPECT_TRUE(reopened.FieldByName("Flag")->GetAsBoolean());
  EXPECT_EQ(reopened.FieldByName("M")->GetAsString(), String(3000, 'm'));
  EXPECT_EQ(reopened.FieldByName("X")->GetAsString(), bytes);
}

TEST_F(TFileTest, ForeignValuesAreShownAsStored) {
  Db->ExecSQL(
      "CREATE TABLE V (I INTEGER, D DATE, F REAL); INSERT INTO V VALUES ('n/a', 'soon', 'x'), ('12', 45000, '2.5');");
  Table->SetTableName("V");
  Table->Open();
  EXPECT_EQ(Table->FieldByName("I")->GetDisplayText(), "n/a");
  EXPECT_EQ(Table->FieldByName("D")->GetDisplayText(), "soon");
  Table->Next();
  EXPECT_EQ(Table->FieldByName("I")->GetValue().VarType(), varInteger);
  EXPECT_EQ(Table->FieldByName("D")->GetAsDateTime(), 45000.0);
  EXPECT_EQ(Table->FieldByName("F")->GetAsFloat(), 2.5);
}

TEST_F(TFileTest, AForeignFileDoesNotOpen) {
  std::ofstream(Path()) << "This is not a database, just a text file that is long enough to have a header.";
  Db->SetFileName(Path());
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Db->Open(); }), "file is not a database");
  EXPECT_FALSE(Db->GetConnected());
  EXPECT_THROW(Table->Open(), EDatabaseError);
  EXPECT_FALSE(Table->GetActive());
}

TEST_F(TFileTest, ADamagedFileFailsWithAnError) {
  Db->SetFileName(Path());
  CreateItems(2000);
  Db->Close();
  {
    std::fstream file(Path(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096 + 10);
    for (int i = 0; i < 8192; ++i) file.put(static_cast<char>(0xA5));
  }
  EXPECT_THROW(
      {
        Table->Open();
        for (Table->First(); !Table->GetEof(); Table->Next()) Name();
      },
      EDatabaseError);
}

TEST_F(TFileTest, ALockedDatabaseFailsAfterTheBusyTimeOut) {
  Db->SetFileName(Path());
  OpenItems(3);
  TSQLiteDatabase other(nullptr);
  other.SetFileName(Path());
  other.ExecSQL("BEGIN IMMEDIATE");  // others may read, not write
  Db->SetBusyTimeout(50);
  Table->Edit();
  Field("Qty")->SetAsInteger(1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Post(); }), "database is locked");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "no hang";
  EXPECT_EQ(Table->GetState(), dsEdit);
  other.ExecSQL("ROLLBACK");
  Table->Post();
  EXPECT_EQ(Table->GetState(), dsBrowse);
  other.ExecSQL("BEGIN EXCLUSIVE");  // nobody else may even read
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Refresh(); }), "database is locked");
  EXPECT_EQ(Table->GetRecordCount(), 3) << "the records read before stay";
  other.ExecSQL("ROLLBACK");
}

// What a dataset says on a file the process may only read; empty when all is right.
String ReadOnlyFaults(TSQLiteTable* ATable) {
  String faults;
  auto expect = [&](bool AGood, const char* AWhat) {
    if (!AGood) faults += String(AWhat) + "; ";
  };
  ATable->Open();
  expect(!ATable->GetCanModify(), "CanModify");
  expect(!ATable->FieldByName("Name")->GetCanModify(), "field CanModify");
  for (auto change : {&TDataSet::Edit, &TDataSet::Append, &TDataSet::Delete})
    expect(ErrorOf<EDatabaseError>([&] { (ATable->*change)(); }) == "Cannot modify a read-only dataset", "refusal");
  expect(ATable->GetState() == dsBrowse && ATable->GetRecordCount() == 2, "state");
  return faults;
}

// Root may write any file: the check runs in a child process that drops to nobody first.
TEST_F(TFileTest, AFileTheProcessCannotWriteIsReadOnly) {
  Db->SetFileName(Path());
  CreateItems(2);
  Db->Close();
  ASSERT_EQ(::chmod(Path().c_str(), 0444), 0);
  ASSERT_EQ(::chmod(Folder.Path().c_str(), 0755), 0);
  auto inChild = [&] {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(2);
    String faults = ReadOnlyFaults(Table);
    std::fprintf(stderr, "%s", faults.c_str());
    std::exit(faults.empty() ? 0 : 1);
  };
  EXPECT_EXIT(inChild(), ::testing::ExitedWithCode(0), "^$");
}

// ------------------------------------------------------------------ tables

TEST_F(TDataTest, TablesThatCannotOpenSayWhy) {
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), "Table 'Items' not found");
  Table->SetTableName("");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), "Missing TableName property");
  Db->ExecSQL("CREATE TABLE K (A TEXT PRIMARY KEY, B INTEGER) WITHOUT ROWID");
  Table->SetTableName("K");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), "Table 'K' has no row identifiers");
  Db->ExecSQL("CREATE TABLE Items (Id INTEGER PRIMARY KEY); CREATE VIEW ItemView AS SELECT * FROM Items");
  Table->SetTableName("ItemView");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), "'ItemView' is a view, not a table: a query can read it");
  Table->SetTableName(String("Items\0; DROP TABLE Items", 24));
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), "A table name cannot hold a NUL character");
  EXPECT_EQ(CountRows(), 0) << "still there";
  TSQLiteTable orphan(nullptr);
  orphan.SetTableName("K");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { orphan.Open(); }), "Missing Database property");
  EXPECT_FALSE(Table->GetActive());
}

// A temporary table hides one of the same name, for the dataset as for the engine.
TEST_F(TDataTest, ATemporaryTableComesFirst) {
  CreateItems(3);
  Db->ExecSQL("CREATE TEMP TABLE Items (Id INTEGER PRIMARY KEY, Note TEXT); INSERT INTO temp.Items VALUES (7, 'temp')");
  Table->Open();
  EXPECT_EQ(Table->GetFieldCount(), 2);
  EXPECT_EQ(Table->FieldByName("Note")->GetAsString(), "temp");
  Table->Edit();
  Table->FieldByName("Note")->SetAsString("changed");
  Table->Post();
  Table->Refresh();
  EXPECT_EQ(Table->FieldByName("Note")->GetAsString(), "changed");
  Db->ExecSQL("DROP TABLE temp.Items");
  EXPECT_EQ(CountRows(), 3);
}

TEST_F(TDataTest, TableNamesAreQuoted) {
  Db->ExecSQL("CREATE TABLE \"my \"\"odd\"\" table\" (V TEXT); INSERT INTO \"my \"\"odd\"\" table\" VALUES ('x');");
  Table->SetTableName("my \"odd\" table");
  Table->Open();
  EXPECT_EQ(Table->FieldByName("V")->GetAsString(), "x");
  Table->Edit();
  Table->FieldByName("V")->SetAsString("y");
  Table->Post();
  Table->Refresh();
  EXPECT_EQ(Table->FieldByName("V")->GetAsString(), "y");
}

// A name the table no longer has is an error, never read as a text of that name.
TEST_F(TFileTest, AColumnDroppedByAnotherConnectionIsAnError) {
  Db->SetFileName(Path());
  OpenItems(3);
  TSQLiteDatabase other(nullptr);
  other.SetFileName(Path());
  other.ExecSQL("ALTER TABLE Items DROP COLUMN Qty");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Next(); }), "no such column: Qty");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Refresh(); }), "no such column: Qty");
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 10) << "the values read before stay";
  Table->Close();
  Table->Open();
  EXPECT_EQ(Table->FindField("Qty"), nullptr);
}

struct TNameCase {
  const char* Name;
  const char8_t* CreateUtf8;
  const char* Error;
};

const TNameCase NameCases[] = {
    {"Cyrillic", u8"CREATE TABLE U (Id INTEGER PRIMARY KEY, \"\u0416\" TEXT)",
     "Column name '?' holds characters outside the code page"},
    {"TwoThatLookAlike", u8"CREATE TABLE U (Id INTEGER PRIMARY KEY, \"\u0416\u0416\" TEXT, \"\u0401\u0401\" TEXT)",
     "Column name '?" "?' holds characters outside the code page"},
    {"Symbol", u8"CREATE TABLE U (Id INTEGER PRIMARY KEY, \"Price \u20AC\" REAL, \"Size \u2116\" TEXT)",
     "Column name 'Size ?' holds characters outside the code page"},
};

void PrintTo(const TNameCase& c, std::ostream* os) { *os << c.Name; }

class ForeignColumnNames : public TDataTest, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(ForeignColumnNames, AreReportedNotCorrupted) {
  ASSERT_EQ(sqlite3_exec(Db->GetHandle(), reinterpret_cast<const char*>(GetParam().CreateUtf8), nullptr, nullptr, nullptr), SQLITE_OK);
  Db->ExecSQL("INSERT INTO U (Id) VALUES (1)");
  Table->SetTableName("U");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Open(); }), GetParam().Error);
  EXPECT_FALSE(Table->GetActive());
  TSQLiteQuery query(nullptr);
  query.SetDatabase(Db);
  query.GetSQL()->SetText("SELECT * FROM U");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { query.Open(); }), GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(Names, ForeignColumnNames, ::testing::ValuesIn(NameCases),
                         [](const ::testing::TestParamInfo<TNameCase>& info) { return String(info.param.Name); });

TEST_F(TDataTest, NamesOfTheCodePageAndQuotesWork) {
  Db->ExecSQL("CREATE TABLE \"Gr\xF6\xDF" "e`s\" (Id INTEGER PRIMARY KEY, \"Pre\xEFs \x80\" REAL, \"a`b\" TEXT);"
              "INSERT INTO \"Gr\xF6\xDF" "e`s\" VALUES (1, 2.5, 'x');");
  Table->SetTableName("Gr\xF6\xDF" "e`s");
  Table->SetFilter("[Pre\xEFs \x80] > 1 AND [a`b] <> 'z'");
  Table->SetFiltered(true);
  Table->Open();
  ASSERT_EQ(Table->GetRecordCount(), 1);
  EXPECT_EQ(Table->FieldByName("Pre\xEFs \x80")->GetAsFloat(), 2.5);
  Table->Edit();
  Table->FieldByName("a`b")->SetAsString("y");
  Table->FieldByName("Pre\xEFs \x80")->SetAsFloat(3);
  Table->Post();
  EXPECT_TRUE(Table->Locate("a`b", "y", 0));
  Table->Refresh();
  EXPECT_EQ(Table->FieldByName("Pre\xEFs \x80")->GetAsFloat(), 3.0);
}

TEST_F(TDataTest, ADatabaseThatDiesClosesItsDataSets) {
  OpenItems(2);
  Free(Db);
  EXPECT_FALSE(Table->GetActive());
  EXPECT_EQ(Table->GetDatabase(), nullptr);
  EXPECT_EQ(Link->Events(), "ActiveChanged");
}

TEST_F(TDataTest, TheDatabaseChangesOnlyWhileClosed) {
  OpenItems(1);
  TSQLiteDatabase other(nullptr);
  EXPECT_THROW(Table->SetDatabase(&other), EDatabaseError);
  EXPECT_THROW(Table->SetTableName("Other"), EDatabaseError);
  EXPECT_EQ(Table->GetDatabase(), Db);
}

TEST_F(TDataTest, EngineErrorsCarryTheEnginesMessage) {
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Db->ExecSQL("SELEC 1"); }), "near \"SELEC\": syntax error");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Db->Commit(); }), "cannot commit - no transaction is active");
}

// ------------------------------------------------------------------ queries

class TQueryTest : public TDataTest {
 public:
  void SetUp() override {
    CreateItems(6);
    Query = New<TSQLiteQuery>(Owner.get());
    Query->SetDatabase(Db);
  }
  TSQLiteQuery* Query = nullptr;
};

// A query's rows have no key: a bookmark stays good while the query gives the same rows, and
// names no other row once they changed (or the query ran afresh).
TEST_F(TQueryTest, ABookmarkNeverNamesAnotherRow) {
  Query->GetSQL()->SetText("SELECT Id, Name FROM Items ORDER BY Id");
  Query->Open();
  Query->SetRecNo(4);
  TBookmarkStr four = Query->GetBookmark();
  Query->Refresh();
  ASSERT_TRUE(Query->BookmarkValid(four)) << "the same rows came back";
  Query->First();
  Query->SetBookmark(four);
  EXPECT_EQ(Query->FieldByName("Name")->GetAsString(), "Item4");

  Db->ExecSQL("DELETE FROM Items WHERE Id = 2");
  Query->Refresh();
  EXPECT_FALSE(Query->BookmarkValid(four));
  EXPECT_THROW(Query->SetBookmark(four), EDatabaseError);
  TBookmarkStr five = (Query->SetRecNo(4), Query->GetBookmark());
  EXPECT_EQ(Query->FieldByName("Name")->GetAsString(), "Item5");

  Query->SetFilter("Id > 3");
  Query->SetFiltered(true);
  EXPECT_FALSE(Query->BookmarkValid(five)) << "other rows: another run";
  Query->Close();
  Query->Open();
  EXPECT_FALSE(Query->BookmarkValid(five));
}

TEST_F(TQueryTest, ParametersBindByName) {
  Query->GetSQL()->SetText("SELECT Id, Name FROM Items\n WHERE Qty BETWEEN :lo AND :hi -- :notaparam\n ORDER BY Id");
  ASSERT_EQ(Query->GetParams()->GetCount(), 2);
  Query->GetParams()->SetParamValues("lo;hi", VarArrayOf({20, 40}));
  Query->Open();
  EXPECT_EQ(Query->GetRecordCount(), 3);
  EXPECT_EQ(Query->FieldByName("Name")->GetAsString(), "Item2");
  Query->GetParams()->ParamByName("LO")->SetValue(60);
  Query->SetActive(false);
  Query->SetActive(true);
  EXPECT_EQ(Query->GetRecordCount(), 0);
  Query->GetParams()->SetParamValues("hi", 70);
  Query->Refresh();
  EXPECT_EQ(Query->GetRecordCount(), 1);
}

TEST_F(TQueryTest, AParameterValueIsNeverSQL) {
  Query->GetSQL()->SetText("SELECT * FROM Items WHERE Name = :n");
  Query->GetParams()->ParamByName("n")->SetValue("x' OR '1'='1");
  Query->Open();
  EXPECT_TRUE(Query->IsEmpty());
}

TEST_F(TQueryTest, StatementsThatAreNoQueryAreRefused) {
  struct TCase {
    const char* SQL;
    const char* Error;
  } cases[] = {
      {"", "No SQL statement available"},
      {"  -- nothing", "No SQL statement available"},
      {"SELECT 1; SELECT 2", "SQL text holds more than one statement"},
      {"DELETE FROM Items WHERE 0; SELECT 1", "SQL text holds more than one statement"},
      {"DELETE FROM Items WHERE Id = 1", "SQL statement does not return a result set"},
      {"SELECT * FROM Items WHERE Id = ?", "Parameter 1 of the SQL text has no name"},
      {"SELECT * FROM Nowhere", "no such table: Nowhere"},
      {"SELECT @a", "Parameter 'a' not found"},
  };
  for (const TCase& c : cases) {
    Query->GetSQL()->SetText(c.SQL);
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Query->Open(); }), c.Error) << c.SQL;
    EXPECT_FALSE(Query->GetActive());
  }
  EXPECT_EQ(CountRows(), 6) << "nothing was run";
}

// A statement that writes is refused before it runs, also when it gives rows.
TEST_F(TQueryTest, StatementsThatWriteAreRefused) {
  Db->ExecSQL("CREATE TABLE Log (N INTEGER)");
  const char* statements[] = {
      "INSERT INTO Log VALUES (1) RETURNING N",
      "DELETE FROM Items WHERE Id = 1 RETURNING Id",
      "UPDATE Items SET Qty = 0 RETURNING Qty",
      "WITH gone AS (SELECT 2 AS Id) DELETE FROM Items WHERE Id IN (SELECT Id FROM gone) RETURNING Name",
      "REPLACE INTO Log VALUES (2) RETURNING *",
      "PRAGMA journal_mode = OFF",
      "PRAGMA user_version = 7",
  };
  for (const char* sql : statements) {
    Query->GetSQL()->SetText(sql);
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Query->Open(); }), "SQL statement does not return a result set") << sql;
    EXPECT_FALSE(Query->GetActive());
  }
  EXPECT_EQ(CountRows(), 6);
  EXPECT_EQ(CountRows("Qty = 0"), 0);
  Query->GetSQL()->SetText("SELECT (SELECT count(*) FROM Log) AS n, (SELECT user_version FROM pragma_user_version) AS v");
  Query->Open();
  EXPECT_EQ(Query->FieldByName("n")->GetAsInteger(), 0);
  EXPECT_EQ(Query->FieldByName("v")->GetAsInteger(), 0);
  Query->Close();
  Query->GetSQL()->SetText("PRAGMA table_info(Items)");
  Query->Open();
  EXPECT_EQ(Query->GetRecordCount(), 6) << "a PRAGMA that only reads is a query";
}

TEST_F(TQueryTest, TrailingSemicolonsAndCommentsAreAllowed) {
  Query->SetFilter("Name = 'Item2'");
  Query->SetFiltered(true);
  for (const char* sql : {"SELECT Name FROM Items WHERE Id < 3;  -- the first two\n",
                          "SELECT Name FROM Items WHERE Id < 3  -- the first two",
                          "SELECT Name FROM Items WHERE Id < 3 /* the first two */",
                          "SELECT Name FROM Items WHERE Id < 3 -- the first two\n;\n-- done"}) {
    Query->GetSQL()->SetText(sql);
    Query->Open();
    EXPECT_EQ(Query->GetRecordCount(), 1) << sql;
    Query->Close();
  }
}

TEST_F(TQueryTest, ComputedColumnsTakeTheTypeOfTheirValues) {
  Query->GetSQL()->SetText("SELECT count(*) AS N, avg(Price) AS A, max(Name) AS M, NULL AS Z, Born FROM Items");
  Query->Open();
  EXPECT_EQ(Query->FieldByName("N")->GetDataType(), ftLargeint);
  EXPECT_EQ(Query->FieldByName("A")->GetDataType(), ftFloat);
  EXPECT_EQ(Query->FieldByName("M")->GetDataType(), ftString);
  EXPECT_EQ(Query->FieldByName("Z")->GetDataType(), ftString);
  EXPECT_EQ(Query->FieldByName("Born")->GetDataType(), ftDate) << "declared columns keep their type";
  EXPECT_EQ(Query->FieldByName("N")->GetAsInteger(), 6);
}

TEST_F(TQueryTest, DuplicateColumnNamesAreRefused) {
  Query->GetSQL()->SetText("SELECT Id, Id FROM Items");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Query->Open(); }), "Duplicate field name 'Id'");
}

TEST_F(TQueryTest, FollowsItsMaster) {
  Db->ExecSQL(
      "CREATE TABLE Parts (Id INTEGER PRIMARY KEY, ItemId INTEGER, Part TEXT);"
      "INSERT INTO Parts (ItemId, Part) VALUES (1, 'a'), (1, 'b'), (2, 'c'), (3, 'd'), (3, 'e'), (3, 'f');");
  Query->GetSQL()->SetText("SELECT * FROM Parts WHERE ItemId = :Id ORDER BY Part");
  Query->SetDataSource(Source);
  EXPECT_EQ(Query->GetDataSource(), Source);
  Table->Open();
  Query->Open();
  EXPECT_EQ(Query->GetRecordCount(), 2);
  auto detailSource = TOwned<TDataSource>(New<TDataSource>(nullptr));
  detailSource->SetDataSet(Query);
  auto detailLink = MakeOwned<TRecordingLink>();
  detailLink->SetDataSource(detailSource.get());
  detailLink->Clear();
  Table->MoveBy(2);
  EXPECT_EQ(Query->GetRecordCount(), 3);
  EXPECT_EQ(Query->FieldByName("Part")->GetAsString(), "d");
  EXPECT_EQ(detailLink->Events(), "DisabledStateChange(0), LayoutChanged") << "one notice for the reopening";
  Table->Next();
  EXPECT_TRUE(Query->IsEmpty());
  Table->Close();
  EXPECT_TRUE(Query->GetActive()) << "it keeps its last rows";
}

}  // namespace
