#include <algorithm>
#include <atomic>
#include <functional>

#include "platform/data/DBConsts.h"
#include "platform/data/DBSQLiteInternal.h"

namespace {

// One write of a storage: all of it or none, inside or outside the connection's transaction.
class TWriteScope {
 public:
  explicit TWriteScope(sqlite3* ADb) : FDb(ADb), FInTransaction(!sqlite3_get_autocommit(ADb)) {
    ExecSQLite(FDb, "SAVEPOINT qj_write");
  }
  ~TWriteScope() {
    if (FDone) return;
    sqlite3_exec(FDb, "ROLLBACK TO qj_write; RELEASE qj_write", nullptr, nullptr, nullptr);
  }
  TWriteScope(const TWriteScope&) = delete;
  TWriteScope& operator=(const TWriteScope&) = delete;

  void Commit() {
    ExecSQLite(FDb, "RELEASE qj_write");
    FDone = true;
  }
  // The write failed and took the connection's transaction with it (a conflict clause ROLLBACK).
  bool LostTransaction() const { return FInTransaction && sqlite3_get_autocommit(FDb); }

 private:
  sqlite3* FDb;
  bool FInTransaction;
  bool FDone = false;
};

String WhereClause(const std::vector<String>& AConditions) {
  String text;
  for (const String& condition : AConditions) text += (text.empty() ? " WHERE " : " AND ") + condition;
  return text;
}

// Locate's condition on one column; false when the key cannot equal any value of the column.
bool LocateCondition(const TSQLColumn& AColumn, const Variant& AKey, TLocateOptions AOptions, String& ACondition,
                     TSQLCondition& AParams) {
  String column = QuoteIdentifier(AColumn.Name);
  if (VarIsNull(AKey) || VarIsEmpty(AKey)) {
    ACondition = column + " IS NULL";
    return true;
  }
  if (AOptions && IsTextFieldType(AColumn.DataType)) {
    ACondition = "qj_locate(" + column + ", ?, " + IntToStr(AOptions) + ")";
    AParams.Params.push_back({VarToStr(AKey), ftString});
    return true;
  }
  try {
    AParams.Params.push_back({CoerceToFieldType(AKey, AColumn.DataType), AColumn.DataType});
  } catch (const EConvertError&) {
    return false;
  } catch (const EVariantError&) {
    return false;
  }
  ACondition = column + " = ?";
  return true;
}

// ---------------------------------------------------------------------------------------------
// A table: records are rows, identities their row numbers.

class TSQLiteTableStorage : public TDataSetStorage {
 public:
  TSQLiteTableStorage(sqlite3* ADb, const String& ATableName, std::function<void()> AOnRollback)
      : FDb(ADb), FTableName(ATableName), FOnRollback(std::move(AOnRollback)) {}

  void Open(std::vector<TFieldDef>& ADefs) override {
    FindTable();
    ReadColumns(ADefs);
    ReadConflictClauses();
    ChooseRowIdName();
    try {
      FRead = std::make_unique<TSQLiteStatement>(
          FDb, "SELECT " + ColumnList() + " FROM " + Table() + " WHERE " + FRowId + " = ?1");
    } catch (const EDatabaseError&) {
      throw EDatabaseError(&SNoRowIds, {FTableName});
    }
  }

  void SetFilter(const TFilterNode* AFilter, bool ACaseInsensitive) override {
    FFilter = AFilter ? CompileFilter(*AFilter, FColumns, ACaseInsensitive) : TSQLCondition();
  }

  void FetchIds(std::vector<TRecordId>& AIds) override {
    TSQLiteStatement statement(FDb, "SELECT " + FRowId + " FROM " + Table() + Where({}) + " ORDER BY " + FRowId);
    FFilter.BindTo(statement, 1);
    std::vector<TRecordId> ids;
    while (statement.Step()) ids.push_back(statement.ColumnInt64(0));
    AIds.swap(ids);
  }

  bool PagesIds() const override { return true; }

  void FetchIdPage(const TRecordId* AFrom, bool ADescending, Integer ALimit, std::vector<TRecordId>& AIds) override {
    std::vector<String> conditions;
    if (AFrom) conditions.push_back(FRowId + (ADescending ? " < ?" : " > ?"));
    TSQLiteStatement statement(FDb, "SELECT " + FRowId + " FROM " + Table() + Where(conditions) + " ORDER BY " +
                                        FRowId + (ADescending ? " DESC" : "") + " LIMIT ?");
    int next = BindFilterAndStart(statement, AFrom);
    statement.Bind(next, Variant(static_cast<Int64>(ALimit)), ftLargeint);
    std::vector<TRecordId> ids;
    ids.reserve(static_cast<size_t>(ALimit));
    while (statement.Step()) ids.push_back(statement.ColumnInt64(0));
    AIds.swap(ids);
  }

  // Without a filter and a start the engine counts the table's rows without reading them.
  Integer CountIds(const TRecordId* AAfter) override {
    std::vector<String> conditions;
    if (AAfter) conditions.push_back(FRowId + " > ?");
    TSQLiteStatement statement(FDb, "SELECT count(*) FROM " + Table() + Where(conditions));
    BindFilterAndStart(statement, AAfter);
    statement.Step();
    return static_cast<Integer>(statement.ColumnInt64(0));
  }

  void ReadRecord(TRecordId AId, std::vector<Variant>& AValues) override {
    TSQLiteStatement::TUse use(*FRead);
    FRead->Bind(1, Variant(AId), ftLargeint);
    if (!FRead->Step()) throw EDatabaseError(&SRecordChanged);
    std::vector<Variant> values(FColumns.size());
    for (size_t i = 0; i < FColumns.size(); ++i)
      values[i] = FRead->ColumnValue(static_cast<int>(i), FColumns[i].DataType);
    AValues.swap(values);
  }

  Int64 WriteCount() const override { return sqlite3_total_changes64(FDb); }

  // One statement over the identities' range; a record it misses is read on its own.
  void ReadRecords(const std::vector<TRecordId>& AIds, std::vector<std::vector<Variant>>& AValues) override {
    if (AIds.size() < 2) return TDataSetStorage::ReadRecords(AIds, AValues);
    if (!FReadRange)
      FReadRange = std::make_unique<TSQLiteStatement>(
          FDb, "SELECT " + FRowId + ", " + ColumnList() + " FROM " + Table() + " WHERE " + FRowId +
                   " BETWEEN ?1 AND ?2 ORDER BY " + FRowId);
    std::vector<std::vector<Variant>> values;
    values.swap(AValues);
    values.resize(AIds.size());
    for (std::vector<Variant>& row : values) row.clear();
    std::vector<bool> found(AIds.size(), false);
    {
      TSQLiteStatement::TUse use(*FReadRange);
      FReadRange->Bind(1, Variant(AIds.front()), ftLargeint);
      FReadRange->Bind(2, Variant(AIds.back()), ftLargeint);
      size_t next = 0;
      while (next < AIds.size() && FReadRange->Step()) {
        TRecordId id = FReadRange->ColumnInt64(0);
        while (next < AIds.size() && AIds[next] < id) ++next;
        if (next == AIds.size() || AIds[next] != id) continue;
        std::vector<Variant>& row = values[next];
        row.reserve(FColumns.size());
        for (size_t i = 0; i < FColumns.size(); ++i)
          row.push_back(FReadRange->ColumnValue(static_cast<int>(i + 1), FColumns[i].DataType));
        found[next++] = true;
      }
    }
    for (size_t i = 0; i < AIds.size(); ++i)
      if (!found[i]) ReadRecord(AIds[i], values[i]);
    AValues.swap(values);
  }

  bool FindRecord(const std::vector<Integer>& AColumns, const std::vector<Variant>& AValues, TLocateOptions AOptions,
                  TRecordId& AId) override {
    std::vector<String> conditions;
    TSQLCondition keys;
    for (size_t i = 0; i < AColumns.size(); ++i) {
      String condition;
      if (!LocateCondition(FColumns[static_cast<size_t>(AColumns[i])], AValues[i], AOptions, condition, keys))
        return false;
      conditions.push_back(condition);
    }
    TSQLiteStatement statement(
        FDb, "SELECT " + FRowId + " FROM " + Table() + Where(conditions) + " ORDER BY " + FRowId + " LIMIT 1");
    FFilter.BindTo(statement, 1);
    keys.BindTo(statement, 1 + static_cast<int>(FFilter.Params.size()));
    if (!statement.Step()) return false;
    AId = statement.ColumnInt64(0);
    return true;
  }

  // A database file the process may only read is open read-only.
  bool CanModify() const override { return sqlite3_db_readonly(FDb, AnsiToUtf8(FSchema).c_str()) == 0; }
  bool WroteOthers() const override { return FWroteOthers; }

  TRecordId InsertRecord(const std::vector<Variant>& AValues, const std::vector<bool>& AAssigned) override {
    String names, markers;
    std::vector<size_t> columns;
    for (size_t i = 0; i < FColumns.size(); ++i) {
      if (!AAssigned[i]) continue;
      columns.push_back(i);
      names += (names.empty() ? "" : ", ") + QuoteIdentifier(FColumns[i].Name);
      markers += (markers.empty() ? "?" : ", ?") + IntToStr(static_cast<Int64>(columns.size()));
    }
    String sql = "INSERT INTO " + Table() + (columns.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + markers + ")");
    TSQLiteStatement statement(FDb, sql);
    for (size_t i = 0; i < columns.size(); ++i)
      statement.Bind(static_cast<int>(i + 1), AValues[columns[i]], FColumns[columns[i]].DataType);
    return Write(statement, TWriteKind::Insert);
  }

  TRecordId UpdateRecord(TRecordId AId, const std::vector<Variant>& AValues, const std::vector<bool>& AChanged) override {
    String assignments;
    std::vector<size_t> columns;
    for (size_t i = 0; i < FColumns.size(); ++i) {
      if (!AChanged[i]) continue;
      columns.push_back(i);
      assignments += (assignments.empty() ? "" : ", ") + QuoteIdentifier(FColumns[i].Name) + " = ?" +
                     IntToStr(static_cast<Int64>(columns.size()));
    }
    int idIndex = static_cast<int>(columns.size()) + 1;
    TSQLiteStatement statement(FDb, "UPDATE " + Table() + " SET " + assignments + " WHERE " + FRowId + " = ?" +
                                        IntToStr(idIndex));
    for (size_t i = 0; i < columns.size(); ++i)
      statement.Bind(static_cast<int>(i + 1), AValues[columns[i]], FColumns[columns[i]].DataType);
    statement.Bind(idIndex, Variant(AId), ftLargeint);
    Write(statement, TWriteKind::Change, AId);
    bool renumbered = FRowIdColumn >= 0 && AChanged[static_cast<size_t>(FRowIdColumn)];
    return renumbered ? AValues[static_cast<size_t>(FRowIdColumn)].AsInt64() : AId;
  }

  void DeleteRecord(TRecordId AId) override {
    TSQLiteStatement statement(FDb, "DELETE FROM " + Table() + " WHERE " + FRowId + " = ?1");
    statement.Bind(1, Variant(AId), ftLargeint);
    Write(statement, TWriteKind::Change, AId);
  }

 private:
  String Table() const { return QuoteIdentifier(FSchema) + "." + QuoteIdentifier(FTableName); }

  enum class TWriteKind { Insert, Change };

  // Runs one write all or nothing; returns the record's identity (an insert's new row number). A
  // failure that rolled back the connection's transaction says so, and the datasets hear of it.
  TRecordId Write(TSQLiteStatement& AStatement, TWriteKind AKind, TRecordId AId = 0) {
    TWriteScope write(FDb);
    try {
      TSQLiteStatement::TUse use(AStatement);  // done with before the write scope ends
      RunWrite(AStatement);
      if (AKind == TWriteKind::Change) {
        CheckWritten(AId);
      } else {
        if (sqlite3_changes(FDb) == 0) throw EDatabaseError(&SWriteIgnored);
        AId = sqlite3_last_insert_rowid(FDb);
      }
      write.Commit();
      return AId;
    } catch (const EDatabaseError& e) {
      if (!write.LostTransaction()) throw;
      String message = Format(LoadResString(&STransactionRolledBack), {e.Message()});
      try {
        if (FOnRollback) FOnRollback();
      } catch (const EDatabaseError&) {
        // The rollback is the news; a dataset that cannot read its records now says so when it next reads.
      }
      throw EDatabaseError(message);
    }
  }

  // Runs a write statement and notes whether the engine changed other rows with it: triggers and
  // cascades show in the connection's count of changes, a conflict resolved by REPLACE nowhere,
  // so a table that declares one counts as changed.
  void RunWrite(TSQLiteStatement& AStatement) {
    FWroteOthers = false;
    Int64 before = sqlite3_total_changes64(FDb);
    AStatement.Step();
    FWroteOthers = FReplaces || sqlite3_total_changes64(FDb) - before != sqlite3_changes64(FDb);
  }

  bool RecordExists(TRecordId AId) {
    TSQLiteStatement::TUse use(*FRead);
    FRead->Bind(1, Variant(AId), ftLargeint);
    return FRead->Step();
  }

  // A write of record AId that changed no row: the record is gone, or the engine dropped the write
  // (a conflict clause IGNORE, a trigger's RAISE(IGNORE)).
  void CheckWritten(TRecordId AId) {
    if (sqlite3_changes(FDb) != 0) return;
    if (RecordExists(AId)) throw EDatabaseError(&SWriteIgnored);
    throw EDatabaseError(&SRecordChanged);
  }

  // Binds the filter's values and then AFrom when given; returns the next parameter's index.
  int BindFilterAndStart(TSQLiteStatement& AStatement, const TRecordId* AFrom) const {
    FFilter.BindTo(AStatement, 1);
    int next = 1 + static_cast<int>(FFilter.Params.size());
    if (AFrom) AStatement.Bind(next++, Variant(*AFrom), ftLargeint);
    return next;
  }

  String ColumnList() const {
    String columns;
    for (const TSQLColumn& column : FColumns) columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(column.Name);
    return columns;
  }

  String Where(std::vector<String> AConditions) const {
    if (!FFilter.Text.empty()) AConditions.insert(AConditions.begin(), FFilter.Text);
    return WhereClause(AConditions);
  }

  void ReadColumns(std::vector<TFieldDef>& ADefs) {
    TSQLiteStatement info(FDb, "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?1, ?2)");
    info.Bind(1, Variant(FTableName), ftString);
    info.Bind(2, Variant(FSchema), ftString);
    std::vector<Integer> keyColumns;
    while (info.Step()) {
      TFieldDef def;
      def.Name = CodePageName(info.ColumnUtf8(0));
      String decl = VarToStr(info.ColumnValue(1, ftString));
      def.DataType = FieldTypeFromDecl(decl, def.Size, def.Precision);
      bool hasDefault = !VarIsNull(info.ColumnValue(3, ftString));
      def.Required = info.ColumnInt64(2) != 0 && !hasDefault;
      if (info.ColumnInt64(4) != 0) keyColumns.push_back(static_cast<Integer>(ADefs.size()));
      if (UpperCase(Trim(decl)) == "INTEGER") FIntegerColumns.push_back(static_cast<Integer>(ADefs.size()));
      ADefs.push_back(def);
    }
    // INTEGER PRIMARY KEY names the row number itself: the storage numbers new rows.
    if (keyColumns.size() == 1 &&
        std::find(FIntegerColumns.begin(), FIntegerColumns.end(), keyColumns[0]) != FIntegerColumns.end()) {
      FRowIdColumn = keyColumns[0];
      TFieldDef& key = ADefs[static_cast<size_t>(FRowIdColumn)];
      key.DataType = ftAutoInc;
      key.Required = false;
    }
    for (const TFieldDef& def : ADefs) FColumns.push_back({def.Name, def.DataType});
  }

  // The schema of the table the name means (a temporary table first, as the engine resolves it);
  // raises for a name that is no table of rows with row numbers.
  void FindTable() {
    if (FTableName.find('\0') != String::npos) throw EDatabaseError(&STableNameNul);
    TSQLiteStatement list(FDb,
                          "SELECT schema, type, wr FROM pragma_table_list(?1) "
                          "ORDER BY schema = 'temp' DESC, schema = 'main' DESC");
    list.Bind(1, Variant(FTableName), ftString);
    if (!list.Step()) throw EDatabaseError(&STableNotFound, {FTableName});
    FSchema = CodePageName(list.ColumnUtf8(0));
    if (list.ColumnUtf8(1) == "view") throw EDatabaseError(&SViewAsTable, {FTableName});
    if (list.ColumnInt64(2) != 0) throw EDatabaseError(&SNoRowIds, {FTableName});
  }

  // Whether the table declares a conflict clause REPLACE (a word of its definition, to be safe).
  void ReadConflictClauses() {
    TSQLiteStatement sql(FDb, "SELECT sql FROM " + QuoteIdentifier(FSchema) +
                                  ".sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    sql.Bind(1, Variant(FTableName), ftString);
    while (sql.Step())
      if (UpperCase(VarToStr(sql.ColumnValue(0, ftString))).find("REPLACE") != String::npos) FReplaces = true;
  }

  // The row number's name: one that no column hides.
  void ChooseRowIdName() {
    for (const char* name : {"rowid", "_rowid_", "oid"}) {
      bool hidden = std::any_of(FColumns.begin(), FColumns.end(),
                                [&](const TSQLColumn& c) { return SameText(c.Name, name); });
      if (!hidden) {
        FRowId = name;
        return;
      }
    }
    if (FRowIdColumn < 0) throw EDatabaseError(&SNoRowIds, {FTableName});
    FRowId = QuoteIdentifier(FColumns[static_cast<size_t>(FRowIdColumn)].Name);
  }

  sqlite3* FDb;
  String FTableName;
  std::function<void()> FOnRollback;
  String FSchema;
  String FRowId;
  std::vector<TSQLColumn> FColumns;
  std::vector<Integer> FIntegerColumns;
  Integer FRowIdColumn = -1;
  bool FReplaces = false;
  bool FWroteOthers = false;
  std::unique_ptr<TSQLiteStatement> FRead;
  std::unique_ptr<TSQLiteStatement> FReadRange;
  TSQLCondition FFilter;
};

// ---------------------------------------------------------------------------------------------
// A query: its rows are read into memory when it runs. Rows have no key, so an identity is a row
// position joined to the run that gave it: a run that brings back the same rows keeps the
// identities, any other run (and every query opened afresh) gives new ones, so that no bookmark
// names another row than the one it was taken of.

class TSQLiteQueryStorage : public TDataSetStorage {
 public:
  TSQLiteQueryStorage(sqlite3* ADb, const String& ASQL, const TParams& AParams)
      : FDb(ADb), FParams(AParams), FRun(NextRun()) {
    FSQL = ASQL;
  }

  void Open(std::vector<TFieldDef>& ADefs) override {
    String tail;
    TSQLiteStatement statement(FDb, FSQL, &tail);
    if (!statement.Handle()) throw EDatabaseError(&SNoSQLStatement);
    if (HoldsStatement(tail)) throw EDatabaseError(&SMultipleStatements);
    // Only reading: a statement that writes (RETURNING, a PRAGMA that sets) runs at every Refresh.
    if (statement.ColumnCount() == 0 || !sqlite3_stmt_readonly(statement.Handle()))
      throw EDatabaseError(&SNoResultSet);
    // The statement alone, to be wrapped by filters.
    FSQL = TrimRight(FSQL.substr(0, FSQL.size() - tail.size()));
    while (!FSQL.empty() && FSQL.back() == ';') FSQL = TrimRight(FSQL.substr(0, FSQL.size() - 1));
    for (int i = 0; i < statement.ColumnCount(); ++i) {
      TFieldDef def;
      def.Name = statement.ColumnName(i);
      String decl = statement.ColumnDeclType(i);
      def.DataType = decl.empty() ? ftUnknown : FieldTypeFromDecl(decl, def.Size, def.Precision);
      def.ReadOnly = true;
      ADefs.push_back(def);
    }
    ReadRows(statement, ADefs);
    for (const TFieldDef& def : ADefs) FColumns.push_back({def.Name, def.DataType});
    FFresh = true;
  }

  void SetFilter(const TFilterNode* AFilter, bool ACaseInsensitive) override {
    FFilter = AFilter ? CompileFilter(*AFilter, FColumns, ACaseInsensitive) : TSQLCondition();
    FFresh = false;
  }

  // Runs the statement again, except right after Open, which has just read the rows.
  void FetchIds(std::vector<TRecordId>& AIds) override {
    if (!FFresh) {
      // The statement on lines of its own: a line comment at its end must not swallow the rest.
      String sql = FFilter.Text.empty() ? FSQL : "SELECT * FROM (\n" + FSQL + "\n) WHERE " + FFilter.Text;
      TSQLiteStatement statement(FDb, sql);
      // The filter's values follow the statement's own parameters.
      FFilter.BindTo(statement, statement.ParameterCount() - static_cast<int>(FFilter.Params.size()) + 1);
      std::vector<TFieldDef> defs;
      for (const TSQLColumn& column : FColumns) defs.push_back({column.Name, column.DataType});
      std::vector<std::vector<Variant>> previous;
      previous.swap(FRows);
      try {
        ReadRows(statement, defs, static_cast<int>(FFilter.Params.size()));
      } catch (...) {
        FRows.swap(previous);
        throw;
      }
      if (!SameRows(previous, FRows)) FRun = NextRun();
    }
    FFresh = false;
    std::vector<TRecordId> ids(FRows.size());
    for (size_t i = 0; i < ids.size(); ++i) ids[i] = IdOf(i);
    AIds.swap(ids);
  }

  void ReadRecord(TRecordId AId, std::vector<Variant>& AValues) override {
    size_t row = 0;
    if (!RowOf(AId, row)) throw EDatabaseError(&SRecordChanged);
    AValues = FRows[row];
  }

  bool FindRecord(const std::vector<Integer>& AColumns, const std::vector<Variant>& AValues, TLocateOptions AOptions,
                  TRecordId& AId) override {
    for (size_t row = 0; row < FRows.size(); ++row) {
      bool matches = true;
      for (size_t i = 0; i < AColumns.size() && matches; ++i)
        matches = LocateValueMatches(FRows[row][static_cast<size_t>(AColumns[i])], AValues[i], AOptions);
      if (matches) {
        AId = IdOf(row);
        return true;
      }
    }
    return false;
  }

  bool CanModify() const override { return false; }
  TRecordId InsertRecord(const std::vector<Variant>&, const std::vector<bool>&) override { ReadOnly(); }
  TRecordId UpdateRecord(TRecordId, const std::vector<Variant>&, const std::vector<bool>&) override { ReadOnly(); }
  void DeleteRecord(TRecordId) override { ReadOnly(); }

 private:
  [[noreturn]] static void ReadOnly() { throw EDatabaseError(&SDataSetReadOnly); }

  // Runs are numbered across every query of the process; positions take the low 32 bits.
  static constexpr int kRunShift = 32;
  static TRecordId NextRun() {
    static std::atomic<TRecordId> last{0};
    return ++last;
  }
  TRecordId IdOf(size_t ARow) const { return (FRun << kRunShift) | static_cast<TRecordId>(ARow); }
  bool RowOf(TRecordId AId, size_t& ARow) const {
    ARow = static_cast<size_t>(AId & ((TRecordId(1) << kRunShift) - 1));
    return AId >> kRunShift == FRun && ARow < FRows.size();
  }

  static bool SameRows(const std::vector<std::vector<Variant>>& A, const std::vector<std::vector<Variant>>& B) {
    if (A.size() != B.size()) return false;
    for (size_t r = 0; r < A.size(); ++r)
      for (size_t c = 0; c < A[r].size(); ++c)
        if (VarType(A[r][c]) != VarType(B[r][c]) || !VarSameValue(A[r][c], B[r][c])) return false;
    return true;
  }

  // Whether text after the first statement holds another one (not just blanks and comments).
  bool HoldsStatement(const String& ATail) const {
    if (Trim(ATail).empty()) return false;
    TSQLiteStatement next(FDb, ATail);
    return next.Handle() != nullptr;
  }

  // The statement's own parameters: all but the filter's, which come last.
  void BindParams(TSQLiteStatement& AStatement, int AFilterParams) const {
    for (int i = 1; i <= AStatement.ParameterCount() - AFilterParams; ++i) {
      String name = AStatement.ParameterName(i);
      if (name.empty()) throw EDatabaseError(&SUnnamedParameter, {i});
      AStatement.Bind(i, FParams.ParamByName(name.substr(1))->GetValue(), ftUnknown);
    }
  }

  // Reads every row; a column without declared type takes the type of its first value.
  void ReadRows(TSQLiteStatement& AStatement, std::vector<TFieldDef>& ADefs, int AFilterParams = 0) {
    BindParams(AStatement, AFilterParams);
    TSQLiteStatement::TUse use(AStatement);
    std::vector<std::vector<Variant>> rows;
    while (AStatement.Step()) {
      std::vector<Variant> row(ADefs.size());
      for (size_t i = 0; i < ADefs.size(); ++i) {
        row[i] = AStatement.ColumnValue(static_cast<int>(i), ADefs[i].DataType);
        if (ADefs[i].DataType == ftUnknown && !VarIsNull(row[i])) ADefs[i].DataType = TypeOfValue(row[i]);
      }
      rows.push_back(std::move(row));
    }
    for (TFieldDef& def : ADefs)
      if (def.DataType == ftUnknown) def.DataType = ftString;
    FRows.swap(rows);
  }

  static TFieldType TypeOfValue(const Variant& AValue) {
    if (VarIsOrdinal(AValue)) return ftLargeint;
    if (VarIsFloat(AValue)) return ftFloat;
    return ftString;
  }

  sqlite3* FDb;
  String FSQL;
  const TParams& FParams;
  std::vector<TSQLColumn> FColumns;
  std::vector<std::vector<Variant>> FRows;
  TSQLCondition FFilter;
  TRecordId FRun;
  bool FFresh = false;
};

}  // namespace

std::unique_ptr<TDataSetStorage> CreateTableStorage(sqlite3* ADb, const String& ATableName,
                                                    std::function<void()> AOnRollback) {
  return std::make_unique<TSQLiteTableStorage>(ADb, ATableName, std::move(AOnRollback));
}

std::unique_ptr<TDataSetStorage> CreateQueryStorage(sqlite3* ADb, const String& ASQL, const TParams& AParams) {
  return std::make_unique<TSQLiteQueryStorage>(ADb, ASQL, AParams);
}
