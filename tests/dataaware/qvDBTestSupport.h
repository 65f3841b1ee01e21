// An in-memory database for the data-aware tests: a table of channels and the helpers that open
// it, query it and change it behind the controllers' backs.
#pragma once

#include <gtest/gtest.h>

#include "platform/data/DB.h"
#include "platform/data/DBFields.h"
#include "platform/data/DBSQLite.h"
#include "platform/rtl/SysUtils.h"

// Channels(Id INTEGER PRIMARY KEY, Name VARCHAR(30), Freq INTEGER, Price REAL, Added DATE,
// Radio BOOLEAN, Notes MEMO, Logo BLOB) with rows Id 1..n, Name "Ch<i>", Freq 10000 + 10 i,
// Price i / 2, Added 2024-01-<i mod 28 + 1>, Radio i mod 2, Notes "note <i>", Logo NULL.
class TqvDBTest : public ::testing::Test {
 public:
  TqvDBTest() {
    Owner = TOwned<TComponent>(New<TComponent>(nullptr));
    Db = New<TSQLiteDatabase>(Owner.get());
    Table = New<TSQLiteTable>(Owner.get());
    Table->SetDatabase(Db);
    Table->SetTableName("Channels");
    Source = New<TDataSource>(Owner.get());
    Source->SetDataSet(Table);
  }

  void CreateChannels(Integer ACount) {
    Db->ExecSQL(
        "CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name VARCHAR(30), Freq INTEGER, Price REAL, "
        "Added DATE, Radio BOOLEAN, Notes MEMO, Logo BLOB)");
    if (ACount > 0)
      Db->ExecSQL(Format(
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
          "INSERT INTO Channels SELECT i, 'Ch' || i, 10000 + i * 10, i / 2.0, "
          "printf('2024-01-%%02d', i %% 28 + 1), i %% 2, 'note ' || i, NULL FROM n",
          {ACount}));
  }
  void OpenChannels(Integer ACount) {
    CreateChannels(ACount);
    Table->Open();
  }
  TField* Field(const String& AName) const { return Table->FieldByName(AName); }
  // Rows of Channels that pass AWhere, counted by the database itself.
  Integer CountRows(const String& AWhere = String()) {
    TOwned<TSQLiteQuery> query(New<TSQLiteQuery>(nullptr));
    query->SetDatabase(Db);
    query->GetSQL()->SetText("SELECT count(*) AS n FROM Channels" + (AWhere.empty() ? String() : " WHERE " + AWhere));
    query->Open();
    return query->FieldByName("n")->GetAsInteger();
  }
  // A query on the database, owned by the fixture; opened when AOpen.
  TSQLiteQuery* MakeQuery(const String& ASQL, bool AOpen = true) {
    auto* query = New<TSQLiteQuery>(Owner.get());
    query->SetDatabase(Db);
    query->GetSQL()->SetText(ASQL);
    if (AOpen) query->Open();
    return query;
  }

  TOwned<TComponent> Owner;
  TSQLiteDatabase* Db;
  TSQLiteTable* Table;
  TDataSource* Source;
};
