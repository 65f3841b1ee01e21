#include <algorithm>

#include "platform/data/DBFilter.h"
#include "platform/data/DBSQLite.h"
#include "platform/data/DBSQLiteInternal.h"

QJ_IMPLEMENT_CLASS(TSQLiteDatabase)

namespace {

String SQLiteValueText(sqlite3_value* AValue) {
  const unsigned char* text = sqlite3_value_text(AValue);
  return Utf8ToAnsi(std::string(reinterpret_cast<const char*>(text ? text : reinterpret_cast<const unsigned char*>("")),
                                static_cast<size_t>(sqlite3_value_bytes(AValue))));
}

// Text compared as the code page's collation does, without case.
int NoCaseCollation(void*, int ALength1, const void* AText1, int ALength2, const void* AText2) {
  String a = Utf8ToAnsi(std::string(static_cast<const char*>(AText1), static_cast<size_t>(ALength1)));
  String b = Utf8ToAnsi(std::string(static_cast<const char*>(AText2), static_cast<size_t>(ALength2)));
  Integer result = AnsiCompareText(a, b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

// qj_like(value, pattern, caseInsensitive): the filters' LIKE; NULL for a NULL value.
void LikeFunction(sqlite3_context* AContext, int, sqlite3_value** AArgs) {
  if (sqlite3_value_type(AArgs[0]) == SQLITE_NULL || sqlite3_value_type(AArgs[1]) == SQLITE_NULL) {
    sqlite3_result_null(AContext);
    return;
  }
  bool caseInsensitive = sqlite3_value_int(AArgs[2]) != 0;
  sqlite3_result_int(AContext, MatchLikePattern(SQLiteValueText(AArgs[0]), SQLiteValueText(AArgs[1]), caseInsensitive));
}

// qj_locate(value, key, options): Locate's comparison of texts.
void LocateFunction(sqlite3_context* AContext, int, sqlite3_value** AArgs) {
  if (sqlite3_value_type(AArgs[0]) == SQLITE_NULL) {
    sqlite3_result_int(AContext, 0);
    return;
  }
  TLocateOptions options = static_cast<TLocateOptions>(sqlite3_value_int(AArgs[2]));
  sqlite3_result_int(AContext, LocateTextMatches(SQLiteValueText(AArgs[0]), SQLiteValueText(AArgs[1]), options));
}

}  // namespace

void RegisterSQLiteFunctions(sqlite3* ADb) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  CheckSQLite(ADb, sqlite3_create_collation_v2(ADb, "QJ_NOCASE", SQLITE_UTF8, nullptr, NoCaseCollation, nullptr));
  CheckSQLite(ADb, sqlite3_create_function_v2(ADb, "qj_like", 3, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr));
  CheckSQLite(ADb,
              sqlite3_create_function_v2(ADb, "qj_locate", 3, flags, nullptr, LocateFunction, nullptr, nullptr, nullptr));
}

// ---------------------------------------------------------------------------------------------

TSQLiteDatabase::TSQLiteDatabase(TComponent* AOwner) : TComponent(AOwner) {}

TSQLiteDatabase::~TSQLiteDatabase() {
  // Freed without BeforeDestruction: let go of the datasets without calling them.
  for (TSQLiteDataSet* dataSet : FDataSets) dataSet->FDatabase = nullptr;
  if (FHandle) sqlite3_close_v2(FHandle);
}

void TSQLiteDatabase::BeforeDestruction() {
  inherited::BeforeDestruction();
  Close();
  while (!FDataSets.empty()) FDataSets.back()->SetDatabase(nullptr);
}

void TSQLiteDatabase::SetFileName(const String& Value) {
  if (Value == FFileName) return;
  Close();
  FFileName = Value;
}

void TSQLiteDatabase::SetConnected(bool Value) {
  if (Value == GetConnected()) return;
  if (Value)
    DoOpen();
  else
    DoClose();
}

void TSQLiteDatabase::DoOpen() {
  sqlite3* handle = nullptr;
  String name = FFileName.empty() ? String(":memory:") : FFileName;
  // A connection belongs to the thread that opened it: the engine's own locking per call is waste.
  int result = sqlite3_open_v2(AnsiToUtf8(name).c_str(), &handle,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  try {
    CheckSQLite(handle, result);
    sqlite3_busy_timeout(handle, FBusyTimeout);
    // The engine reads the file lazily: a foreign or damaged file shows at this first read.
    ExecSQLite(handle, "SELECT count(*) FROM sqlite_schema");
    RegisterSQLiteFunctions(handle);
  } catch (...) {
    sqlite3_close_v2(handle);
    throw;
  }
  FHandle = handle;
}

void TSQLiteDatabase::DoClose() {
  std::vector<TSQLiteDataSet*> dataSets = FDataSets;
  for (TSQLiteDataSet* dataSet : dataSets) dataSet->Close();
  sqlite3_close_v2(FHandle);
  FHandle = nullptr;
}

void TSQLiteDatabase::SetBusyTimeout(Integer Value) {
  FBusyTimeout = std::max(0, Value);
  if (FHandle) sqlite3_busy_timeout(FHandle, FBusyTimeout);
}

sqlite3* TSQLiteDatabase::GetHandle() {
  if (!FHandle) DoOpen();
  return FHandle;
}

void TSQLiteDatabase::StartTransaction() { ExecSQLite(GetHandle(), "BEGIN"); }

void TSQLiteDatabase::Commit() { ExecSQLite(GetHandle(), "COMMIT"); }

void TSQLiteDatabase::Rollback() {
  ExecSQLite(GetHandle(), "ROLLBACK");
  TransactionRolledBack();
}

void TSQLiteDatabase::TransactionRolledBack() {
  std::vector<TSQLiteDataSet*> dataSets = FDataSets;
  for (TSQLiteDataSet* dataSet : dataSets)
    if (dataSet->GetActive()) dataSet->StorageChanged();
}

bool TSQLiteDatabase::GetInTransaction() const { return FHandle && !sqlite3_get_autocommit(FHandle); }

void TSQLiteDatabase::ExecSQL(const String& ASQL) { ExecSQLite(GetHandle(), ASQL); }
