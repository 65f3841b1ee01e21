// Datasets on the embedded SQL database: a database file (or a private in-memory database), its
// tables and read-only queries.
//
// Column types come from the declared types: INTEGER PRIMARY KEY (the row number) is ftAutoInc;
// BIGINT ftLargeint; SMALLINT ftSmallint; WORD ftWord; BOOLEAN or BIT ftBoolean; other *INT*
// ftInteger; DATETIME ftDateTime; TIMESTAMP ftTimeStamp; DATE ftDate; TIME ftTime; CURRENCY or
// MONEY ftCurrency; DECIMAL or NUMERIC (p, s) ftBCD up to 4 places and 18 digits, else ftFMTBcd;
// REAL, FLOAT, DOUBLE or unsized DECIMAL ftFloat; MEMO, CLOB or LONGTEXT ftMemo; NCHAR, NVARCHAR
// or NTEXT ftWideString; CHAR(n) ftFixedChar; other *CHAR* or *TEXT* ftString (size n, or 0 for
// no limit); GRAPHIC or IMAGE ftGraphic; BLOB, BINARY or no type ftBlob; anything else ftFloat.
// Text is stored as UTF-8, dates and times as ISO 8601 text, Booleans as 0 and 1.
//
// Where the parts live:
//   DBSQLiteDatabase.cpp   TSQLiteDatabase, the SQL functions the filters use
//   DBSQLiteDataSets.cpp   TSQLiteDataSet, TSQLiteTable, TSQLiteQuery
//   DBSQLiteStorage.cpp    the storages of tables and queries
//   DBSQLiteStatement.cpp  prepared statements, column types and values
//   DBSQLiteFilter.cpp     filter expressions as SQL conditions with bound values
#pragma once

#include "platform/data/DB.h"

struct sqlite3;
class TSQLiteDataSet;

// A connection to one database. Every failure of the engine raises EDatabaseError with the
// engine's message; a file that is not a database (or whose header is damaged) does not open.
class TSQLiteDatabase : public TComponent {
  QJ_CLASS(TSQLiteDatabase, TComponent)
 public:
  // How long a statement waits for another connection's lock before it fails, in ms.
  static constexpr Integer DefaultBusyTimeout = 1000;

  explicit TSQLiteDatabase(TComponent* AOwner);
  ~TSQLiteDatabase() override;
  // Closes its datasets and the connection while whole.
  void BeforeDestruction() override;

  // The database file (created when missing); empty for a private in-memory database. Changing
  // it closes the connection.
  const String& GetFileName() const { return FFileName; }
  void SetFileName(const String& Value);
  bool GetConnected() const { return FHandle != nullptr; }
  // Closing closes every dataset of the database first.
  void SetConnected(bool Value);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }
  // 0 fails at once; applies at once to an open connection.
  Integer GetBusyTimeout() const { return FBusyTimeout; }
  void SetBusyTimeout(Integer Value);

  // Groups the writes of every dataset of the database until Commit or Rollback. Each Post and
  // Delete also writes all or nothing on its own, inside or outside a transaction.
  void StartTransaction();
  void Commit();
  // Undoes the transaction; browsing datasets read their records again, editing ones when their
  // edit ends. A write that fails and makes the engine roll the transaction back (a conflict
  // clause ROLLBACK) says so in its error, and the datasets follow in the same way.
  void Rollback();
  bool GetInTransaction() const;
  // Runs SQL statements that give no records (opening the connection when needed).
  void ExecSQL(const String& ASQL);

  // The engine's connection, opening it when needed.
  sqlite3* GetHandle();

 private:
  friend class TSQLiteDataSet;
  void DoOpen();
  void DoClose();
  void TransactionRolledBack();

  std::vector<TSQLiteDataSet*> FDataSets;
  String FFileName;
  sqlite3* FHandle = nullptr;
  Integer FBusyTimeout = DefaultBusyTimeout;
};

// A dataset of a TSQLiteDatabase; opening it opens the database.
class TSQLiteDataSet : public TDataSet {
  QJ_CLASS(TSQLiteDataSet, TDataSet)
 public:
  explicit TSQLiteDataSet(TComponent* AOwner);
  ~TSQLiteDataSet() override;
  void BeforeDestruction() override;

  TSQLiteDatabase* GetDatabase() const { return FDatabase; }
  // Only while closed.
  void SetDatabase(TSQLiteDatabase* Value);
  bool GetUsesSQLNullSyntax() const override { return true; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The open connection; raises EDatabaseError without database.
  sqlite3* ConnectedHandle();
  // The engine rolled back the database's transaction under a write of this dataset.
  void DatabaseRolledBack();

 private:
  friend class TSQLiteDatabase;
  TSQLiteDatabase* FDatabase = nullptr;
};

// All rows of one table, in row-number order; modifiable.
class TSQLiteTable : public TSQLiteDataSet {
  QJ_CLASS(TSQLiteTable, TSQLiteDataSet)
 public:
  explicit TSQLiteTable(TComponent* AOwner) : TSQLiteDataSet(AOwner) {}

  const String& GetTableName() const { return FTableName; }
  // Only while closed.
  void SetTableName(const String& Value);

 protected:
  std::unique_ptr<TDataSetStorage> CreateStorage() override;

 private:
  String FTableName;
};

// The rows of one SELECT statement, read when it opens; read-only. ":name" markers are bound to
// Params. With a master DataSource, parameters named like fields of the master take their values
// and the query opens again whenever the master moves to another record.
class TSQLiteQuery : public TSQLiteDataSet {
  QJ_CLASS(TSQLiteQuery, TSQLiteDataSet)
 public:
  explicit TSQLiteQuery(TComponent* AOwner);
  ~TSQLiteQuery() override;
  void BeforeDestruction() override;

  // Changing the text closes the query and rebuilds Params (values of kept names stay).
  TStrings* GetSQL() const { return FSQL.get(); }
  void SetSQL(TStrings* Value);
  TParams* GetParams() override { return FParams.get(); }
  TDataSource* GetDataSource() const override;
  // Raises EDatabaseError "Circular datalinks are not allowed" for a master that follows this
  // query, directly or through others.
  void SetDataSource(TDataSource* Value);

 protected:
  std::unique_ptr<TDataSetStorage> CreateStorage() override;

 private:
  class TMasterLink;
  void SQLChanged();
  void CopyMasterValues();
  void MasterChanged();

  TOwned<TStringList> FSQL;
  TOwned<TParams> FParams;
  TOwned<TMasterLink> FMasterLink;
};
