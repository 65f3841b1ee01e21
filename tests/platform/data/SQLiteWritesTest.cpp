// What the engine does to a write beyond the one row: writes it drops (conflict clauses, triggers),
// rows it replaces or changes on its own, and transactions it rolls back.
#include "DataTestSupport.h"
#include "platform/rtl/RtlTestSupport.h"

namespace {

// Codes(Id INTEGER PRIMARY KEY, Code TEXT ..., Qty INTEGER) with rows 1a, 2b, 3c.
class TWritesTest : public TDataTest {
 public:
  void OpenCodes(const String& ACodeColumn, const String& AExtra = String()) {
    Db->ExecSQL("CREATE TABLE Codes (Id INTEGER PRIMARY KEY, Code TEXT " + ACodeColumn + ", Qty INTEGER);" +
                "INSERT INTO Codes VALUES (1, 'a', 1), (2, 'b', 2), (3, 'c', 3);" + AExtra);
    Table->SetTableName("Codes");
    Link->SetBufferCount(5);  // every row in the window: rows the dataset keeps must be right too
    Link->SetDataSource(Source);
    Table->Open();
  }

  // The rows as the database holds them: "1a,2b,3c".
  String StoredRows() {
    auto query = TOwned<TSQLiteQuery>(New<TSQLiteQuery>(nullptr));
    query->SetDatabase(Db);
    query->GetSQL()->SetText("SELECT group_concat(Id || Code) AS r FROM (SELECT * FROM Codes ORDER BY Id)");
    query->Open();
    return query->FieldByName("r")->GetAsString();
  }

  // The rows as the dataset lists them, read from the first to the last.
  String ListedRows() {
    String rows;
    for (Table->First(); !Table->GetEof(); Table->Next())
      rows += (rows.empty() ? "" : ",") + Field("Id")->GetAsString() + Field("Code")->GetAsString();
    return rows;
  }
};

// ------------------------------------------------------------------ writes the engine drops

enum class TWrite { Append, Edit, Delete };

struct TDroppedCase {
  const char* Name;
  const char* CodeColumn;
  const char* Trigger;
  TWrite Write;
  TDataSetState StateAfter;
};

const TDroppedCase DroppedCases[] = {
    {"InsertUniqueIgnore", "UNIQUE ON CONFLICT IGNORE", "", TWrite::Append, dsInsert},
    {"InsertTriggerIgnore", "",
     "CREATE TRIGGER Refuse BEFORE INSERT ON Codes WHEN NEW.Code = 'b' BEGIN SELECT RAISE(IGNORE); END",
     TWrite::Append, dsInsert},
    {"UpdateUniqueIgnore", "UNIQUE ON CONFLICT IGNORE", "", TWrite::Edit, dsEdit},
    {"UpdateTriggerIgnore", "",
     "CREATE TRIGGER Refuse BEFORE UPDATE ON Codes WHEN NEW.Code = 'b' BEGIN SELECT RAISE(IGNORE); END", TWrite::Edit,
     dsEdit},
    {"DeleteTriggerIgnore", "", "CREATE TRIGGER Refuse BEFORE DELETE ON Codes BEGIN SELECT RAISE(IGNORE); END",
     TWrite::Delete, dsBrowse},
};

void PrintTo(const TDroppedCase& c, std::ostream* os) { *os << c.Name; }

class DroppedWrites : public TWritesTest, public ::testing::WithParamInterface<TDroppedCase> {};

TEST_P(DroppedWrites, RaiseAndKeepTheUsersValues) {
  const TDroppedCase& c = GetParam();
  OpenCodes(c.CodeColumn, c.Trigger);
  String error = ErrorOf<EDatabaseError>([&] {
    if (c.Write == TWrite::Delete) return Table->Delete();
    c.Write == TWrite::Append ? Table->Append() : Table->Edit();
    Field("Code")->SetAsString("b");
    Table->Post();
  });
  EXPECT_EQ(error, "The database ignored the write: a conflict clause or a trigger dropped it");
  EXPECT_EQ(Table->GetState(), c.StateAfter);
  if (c.Write != TWrite::Delete) {
    EXPECT_EQ(Field("Code")->GetAsString(), "b");
  }
  EXPECT_EQ(Table->GetRecordCount(), 3);
  EXPECT_EQ(StoredRows(), "1a,2b,3c");
  Table->Cancel();
  EXPECT_EQ(ListedRows(), "1a,2b,3c");
}

INSTANTIATE_TEST_SUITE_P(Engine, DroppedWrites, ::testing::ValuesIn(DroppedCases),
                         [](const ::testing::TestParamInfo<TDroppedCase>& info) { return String(info.param.Name); });

// ------------------------------------------------------------------ rows the engine changes besides

struct TSideEffectCase {
  const char* Name;
  const char* CodeColumn;
  const char* Extra;
  TWrite Write;       // Append a record, Edit the first one or Delete it
  const char* Code;   // the Code written
  const char* Rows;   // stored and listed afterwards
  Integer Count;
};

const TSideEffectCase SideEffectCases[] = {
    {"InsertReplacesAConflict", "UNIQUE ON CONFLICT REPLACE", "", TWrite::Append, "b", "1a,3c,4b", 3},
    {"UpdateReplacesAConflict", "UNIQUE ON CONFLICT REPLACE", "", TWrite::Edit, "b", "1b,3c", 2},
    {"InsertTriggerDeletes", "", "CREATE TRIGGER Trim AFTER INSERT ON Codes BEGIN DELETE FROM Codes WHERE Id = 2; END",
     TWrite::Append, "d", "1a,3c,4d", 3},
    {"UpdateTriggerUpdates", "",
     "CREATE TRIGGER Echo AFTER UPDATE OF Code ON Codes WHEN NEW.Id = 1 BEGIN "
     "UPDATE Codes SET Code = NEW.Code || '!' WHERE Id = 3; END",
     TWrite::Edit, "b", "1b,2b,3b!", 3},
    {"DeleteTriggerCascades", "",
     "CREATE TRIGGER Cascade AFTER DELETE ON Codes WHEN OLD.Id = 1 BEGIN DELETE FROM Codes WHERE Id = 2; END",
     TWrite::Delete, "", "3c", 1},
};

void PrintTo(const TSideEffectCase& c, std::ostream* os) { *os << c.Name; }

class SideEffects : public TWritesTest, public ::testing::WithParamInterface<TSideEffectCase> {};

TEST_P(SideEffects, ShowInTheDataSetAfterTheWrite) {
  const TSideEffectCase& c = GetParam();
  OpenCodes(c.CodeColumn, c.Extra);
  if (c.Write == TWrite::Delete) {
    Table->Delete();
  } else {
    c.Write == TWrite::Append ? Table->Append() : Table->Edit();
    Field("Code")->SetAsString(c.Code);
    Table->Post();
  }
  EXPECT_EQ(StoredRows(), c.Rows);
  EXPECT_EQ(Table->GetRecordCount(), c.Count);
  EXPECT_EQ(ListedRows(), c.Rows);
}

INSTANTIATE_TEST_SUITE_P(Engine, SideEffects, ::testing::ValuesIn(SideEffectCases),
                         [](const ::testing::TestParamInfo<TSideEffectCase>& info) { return String(info.param.Name); });

TEST_F(TWritesTest, APostedRecordOutsideTheFilterStaysListed) {
  Table->SetFilter("Code <> 'z'");
  Table->SetFiltered(true);
  OpenCodes("UNIQUE ON CONFLICT REPLACE");
  Table->Edit();
  Field("Code")->SetAsString("z");
  Table->Post();
  EXPECT_EQ(ListedRows(), "1z,2b,3c");
}

// ------------------------------------------------------------------ transactions the engine rolls back

class TRolledBackTest : public TWritesTest {
 public:
  void SetUp() override {
    OpenCodes("UNIQUE ON CONFLICT ROLLBACK");
    Other = New<TSQLiteTable>(Owner.get());
    Other->SetDatabase(Db);
    Other->SetTableName("Codes");
    Other->Open();
    Db->StartTransaction();
    Table->Append();
    Field("Code")->SetAsString("x");
    Table->Post();
    Other->Refresh();
  }

  String OtherRows() {
    String rows;
    for (Other->First(); !Other->GetEof(); Other->Next())
      rows += (rows.empty() ? "" : ",") + Other->FieldByName("Id")->GetAsString() +
              Other->FieldByName("Code")->GetAsString();
    return rows;
  }

  TSQLiteTable* Other = nullptr;
};

TEST_F(TRolledBackTest, ARefusedPostSaysTheTransactionWasRolledBack) {
  Table->Append();
  Field("Code")->SetAsString("a");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Post(); }),
            "UNIQUE constraint failed: Codes.Code; the transaction was rolled back");
  EXPECT_FALSE(Db->GetInTransaction());
  EXPECT_EQ(Table->GetState(), dsInsert);
  EXPECT_EQ(Field("Code")->GetAsString(), "a");
  EXPECT_EQ(StoredRows(), "1a,2b,3c") << "the earlier post was undone with it";
  EXPECT_EQ(OtherRows(), "1a,2b,3c") << "a browsing dataset reads its rows again";
  Table->Cancel();
  EXPECT_EQ(ListedRows(), "1a,2b,3c") << "the editing one when its edit ends";
}

TEST_F(TRolledBackTest, APostAfterTheRollbackListsWhatIsStored) {
  Table->Append();
  Field("Code")->SetAsString("a");
  EXPECT_THROW(Table->Post(), EDatabaseError);
  Field("Code")->SetAsString("y");
  Table->Post();
  EXPECT_EQ(StoredRows(), "1a,2b,3c,4y");
  EXPECT_EQ(ListedRows(), "1a,2b,3c,4y");
}

TEST_F(TRolledBackTest, AnEditingDataSetFollowsRollback) {
  Other->Last();
  Other->Edit();
  Other->FieldByName("Qty")->SetAsInteger(9);
  Db->Rollback();
  EXPECT_EQ(ListedRows(), "1a,2b,3c");
  Other->Cancel();
  EXPECT_EQ(OtherRows(), "1a,2b,3c");
}

TEST_F(TWritesTest, ARefusalOutsideATransactionNamesNoRollback) {
  OpenCodes("UNIQUE ON CONFLICT ROLLBACK");
  Table->Append();
  Field("Code")->SetAsString("a");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Post(); }), "UNIQUE constraint failed: Codes.Code");
  EXPECT_EQ(Table->GetState(), dsInsert);
}

TEST_F(TWritesTest, AnUpdateOfAGoneRecordStillSaysItIsGone) {
  OpenCodes("UNIQUE ON CONFLICT IGNORE");
  Table->Edit();
  Field("Qty")->SetAsInteger(7);
  Db->ExecSQL("DELETE FROM Codes WHERE Id = 1");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Table->Post(); }), "Record not found or changed by another user");
}

}  // namespace
