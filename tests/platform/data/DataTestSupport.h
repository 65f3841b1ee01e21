// An in-memory database with a table of numbered items, and a data link that writes down every
// hook it hears, for the dataset layer's tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/data/DB.h"
#include "platform/data/DBFields.h"
#include "platform/data/DBSQLite.h"

// Logs each hook as text: "ActiveChanged", "DataSetScrolled(1)", "RecordChanged(Name)",
// "RecordChanged(nil)", "DisabledStateChange(0)" (the one raw event the hooks do not show), ...
class TRecordingLink : public TDataLink {
 public:
  std::vector<String> Log;
  // Runs inside UpdateData, the way an editor pushes its value.
  std::function<void()> OnUpdateData;
  // FocusControl for this field reports it focused.
  TField* FocusTarget = nullptr;

  String Events() const {
    String text;
    for (const String& entry : Log) text += (text.empty() ? "" : ", ") + entry;
    return text;
  }
  void Clear() { Log.clear(); }

 protected:
  void ActiveChanged() override { Log.push_back("ActiveChanged"); }
  void DataEvent(TDataEvent Event, NativeInt Info) override {
    if (Event == deDisabledStateChange) Log.push_back("DisabledStateChange(" + IntToStr(Info) + ")");
    TDataLink::DataEvent(Event, Info);
  }
  void DataSetChanged() override { Log.push_back("DataSetChanged"); }
  void DataSetScrolled(Integer ADistance) override { Log.push_back("DataSetScrolled(" + IntToStr(ADistance) + ")"); }
  void EditingChanged() override { Log.push_back("EditingChanged"); }
  void FocusControl(TField*& AField) override {
    Log.push_back("FocusControl(" + AField->GetFieldName() + ")");
    if (AField == FocusTarget) AField = nullptr;
  }
  void LayoutChanged() override { Log.push_back("LayoutChanged"); }
  void RecordChanged(TField* AField) override {
    Log.push_back(AField ? "RecordChanged(" + AField->GetFieldName() + ")" : String("RecordChanged(nil)"));
  }
  void UpdateData() override {
    Log.push_back("UpdateData");
    if (OnUpdateData) OnUpdateData();
  }
};

// Items(Id INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL, Qty INTEGER, Price REAL, Born DATE,
// Active BOOLEAN) with rows Id 1..n, Name "Item<i>", Qty i*10, Price i/2, Born 2024-01-<i mod 28 + 1>.
class TDataTest : public ::testing::Test {
 public:
  TDataTest() {
    Owner = TOwned<TComponent>(New<TComponent>(nullptr));
    Db = New<TSQLiteDatabase>(Owner.get());
    Table = New<TSQLiteTable>(Owner.get());
    Table->SetDatabase(Db);
    Table->SetTableName("Items");
    Source = New<TDataSource>(Owner.get());
    Source->SetDataSet(Table);
    Link = MakeOwned<TRecordingLink>();
  }

  void CreateItems(Integer ACount) {
    Db->ExecSQL(
        "CREATE TABLE Items (Id INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL, Qty INTEGER, Price REAL, "
        "Born DATE, Active BOOLEAN)");
    if (ACount > 0)
      Db->ExecSQL(Format(
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
          "INSERT INTO Items SELECT i, 'Item' || i, i * 10, i / 2.0, "
          "printf('2024-01-%%02d', i %% 28 + 1), i %% 2 FROM n",
          {ACount}));
  }

  // Opens Items with the link on it, BufferCount rows wide, and clears the link's log.
  void OpenItems(Integer ACount, Integer ABufferCount = 1) {
    CreateItems(ACount);
    Link->SetBufferCount(ABufferCount);
    Link->SetDataSource(Source);
    Table->Open();
    Link->Clear();
  }

  // Rows of Items that pass AWhere, counted by the database itself.
  Integer CountRows(const String& AWhere = String()) {
    auto query = TOwned<TSQLiteQuery>(New<TSQLiteQuery>(nullptr));
    query->SetDatabase(Db);
    query->GetSQL()->SetText("SELECT count(*) AS n FROM Items" + (AWhere.empty() ? String() : " WHERE " + AWhere));
    query->Open();
    return query->FieldByName("n")->GetAsInteger();
  }

  // Ids of Items that pass AWhere, ascending, as the database lists them.
  std::vector<Integer> ListedIds(const String& AWhere = String()) {
    TSQLiteQuery query(nullptr);
    query.SetDatabase(Db);
    query.GetSQL()->SetText("SELECT Id FROM Items" + (AWhere.empty() ? String() : " WHERE " + AWhere) +
                            " ORDER BY Id");
    query.Open();
    std::vector<Integer> ids;
    for (; !query.GetEof(); query.Next()) ids.push_back(query.GetField(0)->GetAsInteger());
    return ids;
  }

  TField* Field(const String& AName) const { return Table->FieldByName(AName); }
  String Name() const { return Field("Name")->GetAsString(); }

  TOwned<TComponent> Owner;
  TSQLiteDatabase* Db;
  TSQLiteTable* Table;
  TDataSource* Source;
  TOwned<TRecordingLink> Link;
};
