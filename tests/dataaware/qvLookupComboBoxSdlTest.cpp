// The lookup combo box on a real X display over a generated database file: typed text locates a
// channel and opens the list, Return chooses the focused row, the chosen key is posted into a
// favourites table, and the file opened again holds that key.
#include <unistd.h>

#include "dataaware/qvDBLookupComboBox.h"
#include "platform/data/DBFields.h"
#include "platform/data/DBSQLite.h"
#include "support/SdlScreen.h"

namespace qvLookupComboBoxSdlTests {

using LookupComboBoxSdl = TSdlUnitsTest<TqvLookAndFeelUnits>;

// Channels(Id, Name) with 40 generated rows and an empty Favourites(Id, ChannelId) in AFileName.
void GenerateDatabase(const String& AFileName) {
  unlink(AFileName.c_str());
  TOwned<TSQLiteDatabase> db(New<TSQLiteDatabase>(nullptr));
  db->SetFileName(AFileName);
  db->ExecSQL("CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name VARCHAR(20))");
  db->ExecSQL(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
      "INSERT INTO Channels SELECT i, 'Channel ' || i FROM n");
  db->ExecSQL("CREATE TABLE Favourites (Id INTEGER PRIMARY KEY, ChannelId INTEGER)");
  db->ExecSQL("INSERT INTO Favourites VALUES (1, NULL)");
}

// The channel stored in the favourite, read from the file by a connection of its own.
Variant StoredChannel(const String& AFileName) {
  TOwned<TSQLiteDatabase> db(New<TSQLiteDatabase>(nullptr));
  db->SetFileName(AFileName);
  TOwned<TSQLiteQuery> query(New<TSQLiteQuery>(nullptr));
  query->SetDatabase(db.get());
  query->GetSQL()->SetText("SELECT ChannelId FROM Favourites WHERE Id = 1");
  query->Open();
  return query->FieldByName("ChannelId")->GetValue();
}

TEST_F(LookupComboBoxSdl, TypeChoosePostAndReopen) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  const String file = ::testing::TempDir() + "qj-lookup-combo-" + IntToStr(getpid()) + ".db";
  GenerateDatabase(file);
  StartScreen(251);

  auto* form = New<TForm>(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 100, 320, 260);
  form->SetColor(clBtnFace);
  auto* db = New<TSQLiteDatabase>(form);
  db->SetFileName(file);
  auto* channels = New<TSQLiteTable>(form);
  channels->SetDatabase(db);
  channels->SetTableName("Channels");
  channels->Open();
  auto* list = New<TDataSource>(form);
  list->SetDataSet(channels);
  auto* favourites = New<TSQLiteTable>(form);
  favourites->SetDatabase(db);
  favourites->SetTableName("Favourites");
  favourites->Open();

  auto* combo = New<TqvLookupComboBox>(form);
  combo->SetBounds(10, 10, 200, 21);
  combo->SetParent(form);
  TqvLookupComboBoxProperties* properties = combo->GetProperties();
  properties->SetListSource(list);
  properties->SetKeyFieldNames("Id");
  properties->SetListFieldNames("Name");
  properties->SetImmediatePost(true);
  // Posting writes the chosen key into the favourite.
  properties->OnEditValueChanged = [&](TObject*) {
    favourites->Edit();
    favourites->FieldByName("ChannelId")->SetValue(combo->GetEditValue());
    favourites->Post();
  };
  form->Show();
  combo->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return form->GetActive(); }));

  // Typing locates: "Channel 3" completes to the first channel it starts, Channel 3.
  ASSERT_TRUE(XDo("type 'Channel 3'"));
  ASSERT_TRUE(PumpUntil([&] { return combo->GetText() == "Channel 3"; })) << combo->GetText();
  // Typing opened the list. One more digit: Channel 37, which the open list focuses; Return
  // chooses the focused row.
  ASSERT_TRUE(PumpUntil([&] { return combo->GetDroppedDown(); })) << "typing opens the list";
  ASSERT_TRUE(XDo("type 7"));
  ASSERT_TRUE(PumpUntil([&] { return combo->GetText() == "Channel 37"; })) << combo->GetText();
  TqvLookupDBGrid* grid = properties->GetListGrid();
  ASSERT_TRUE(PumpUntil([&] { return grid->HandleAllocated() && IsWindowVisible(grid->GetHandle()); }));
  EXPECT_EQ(grid->GetDataController()->GetFocusedRecordIndex(), 36) << "the list opens on the typed channel";
  ASSERT_TRUE(XDo("key Return"));
  ASSERT_TRUE(PumpUntil([&] { return !combo->GetDroppedDown(); })) << "Return closes the list";
  EXPECT_TRUE(PumpUntil([&] { return !VarIsNull(StoredChannel(file)); })) << "the choice was posted";
  EXPECT_EQ(VarToStr(StoredChannel(file)), "37");

  // Reopened: a new editor over the file shows the stored key's name.
  Free(form);
  auto* again = New<TForm>(nullptr);
  again->SetBounds(100, 100, 320, 260);
  auto* db2 = New<TSQLiteDatabase>(again);
  db2->SetFileName(file);
  auto* channels2 = New<TSQLiteTable>(again);
  channels2->SetDatabase(db2);
  channels2->SetTableName("Channels");
  channels2->Open();
  auto* list2 = New<TDataSource>(again);
  list2->SetDataSet(channels2);
  auto* reopened = New<TqvLookupComboBox>(again);
  reopened->SetBounds(10, 10, 200, 21);
  reopened->SetParent(again);
  reopened->GetProperties()->SetListSource(list2);
  reopened->GetProperties()->SetKeyFieldNames("Id");
  reopened->GetProperties()->SetListFieldNames("Name");
  reopened->SetEditValue(StoredChannel(file));
  again->Show();
  EXPECT_TRUE(PumpUntil([&] { return reopened->GetText() == "Channel 37"; })) << reopened->GetText();
  unlink(file.c_str());
}

}  // namespace qvLookupComboBoxSdlTests
