// What the SQL database's datasets share inside the library: prepared statements, column types and
// values, filter conditions, and the storages of tables and queries.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/data/DB.h"
#include "platform/data/DBStorage.h"

// Raises EDatabaseError with the engine's message for a result code that is an error.
void CheckSQLite(sqlite3* ADb, int AResult);
// Runs statements that give no records.
void ExecSQLite(sqlite3* ADb, const String& ASQL);
// `name` with inner backquotes doubled.
String QuoteIdentifier(const String& AName);
// A name the engine gives, in the code page; raises EDatabaseError for one the code page cannot
// hold (it would read back as another name).
String CodePageName(const std::string& AUtf8);
// The field type, size and precision of a declared column type (see DBSQLite.h).
TFieldType FieldTypeFromDecl(const String& ADecl, Integer& ASize, Integer& APrecision);
// The collation and functions the filters and Locate use: QJ_NOCASE, qj_like, qj_locate.
void RegisterSQLiteFunctions(sqlite3* ADb);

// A prepared statement, finalized with the object. Values are bound and read by field type
// (ftUnknown: by the value's own type).
class TSQLiteStatement {
 public:
  // Raises EDatabaseError when the text does not prepare; ATail receives the unprepared rest.
  TSQLiteStatement(sqlite3* ADb, const String& ASQL, String* ATail = nullptr);
  ~TSQLiteStatement();
  TSQLiteStatement(const TSQLiteStatement&) = delete;
  TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

  void Bind(int AIndex, const Variant& AValue, TFieldType AType);
  // True when a row is ready; raises EDatabaseError on failure.
  bool Step();
  // Frees the statement's locks and bindings for the next use.
  void Reset();
  // One use, reset when the scope ends.
  class TUse {
   public:
    explicit TUse(TSQLiteStatement& AStatement) : FStatement(AStatement) {}
    ~TUse() { FStatement.Reset(); }
    TUse(const TUse&) = delete;
    TUse& operator=(const TUse&) = delete;

   private:
    TSQLiteStatement& FStatement;
  };

  int ColumnCount() const;
  // Raises EDatabaseError for a name outside the code page.
  String ColumnName(int AColumn) const;
  // The column's text as the engine stores it.
  std::string ColumnUtf8(int AColumn) const;
  // The declared type; empty for an expression.
  String ColumnDeclType(int AColumn) const;
  Int64 ColumnInt64(int AColumn) const;
  // The column as a value of AType; a stored value that does not convert stays as stored.
  Variant ColumnValue(int AColumn, TFieldType AType) const;
  int ParameterCount() const;
  // The parameter's name with its marker (":name"); empty for "?".
  String ParameterName(int AIndex) const;
  sqlite3_stmt* Handle() const { return FHandle; }

 private:
  sqlite3* FDb;
  sqlite3_stmt* FHandle = nullptr;
};

// A column as filters and searches see it.
struct TSQLColumn {
  String Name;
  TFieldType DataType = ftUnknown;
};

// A filter as an SQL condition whose values are anonymous parameters ("?"), in the order of the
// text: the engine looks a named one up by a linear search, which made long IN lists quadratic.
struct TSQLCondition {
  String Text;
  struct TParam {
    Variant Value;
    TFieldType DataType;
  };
  std::vector<TParam> Params;

  // Binds the values to the parameters from index AFirst on.
  void BindTo(TSQLiteStatement& AStatement, int AFirst) const;
};

// Raises EDatabaseError for a name that is no column or a value that does not suit its column.
TSQLCondition CompileFilter(const TFilterNode& AFilter, const std::vector<TSQLColumn>& AColumns,
                            bool ACaseInsensitive);

// AOnRollback runs when a write fails and the engine rolls back the connection's transaction.
std::unique_ptr<TDataSetStorage> CreateTableStorage(sqlite3* ADb, const String& ATableName,
                                                    std::function<void()> AOnRollback);
std::unique_ptr<TDataSetStorage> CreateQueryStorage(sqlite3* ADb, const String& ASQL, const TParams& AParams);
