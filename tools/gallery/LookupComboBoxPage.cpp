// The lookup combo box page: closed lookup combo boxes over an in-memory list of channels (one
// column, two columns, grid mode, disabled) and a standalone lookup grid with its header, a sorted
// column and the focused row.
#include "GalleryPage.h"
#include "dataaware/qvDBLookupComboBox.h"
#include "platform/data/DBSQLite.h"

namespace {

// The list: Channels(Id, Name, Frequency), eight rows, owned by the page.
TDataSource* MakeChannelList(TWinControl* Parent) {
  auto* db = New<TSQLiteDatabase>(Parent);
  db->ExecSQL("CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name VARCHAR(20), Frequency INTEGER)");
  db->ExecSQL(
      "INSERT INTO Channels VALUES (1, 'Das Erste', 11494), (2, 'ZDF', 11954), (3, 'arte', 10744), "
      "(4, '3sat', 11954), (5, 'KiKA', 11954), (6, 'Phoenix', 10744), (7, 'tagesschau24', 11604), "
      "(8, 'ONE', 11604)");
  auto* table = New<TSQLiteTable>(Parent);
  table->SetDatabase(db);
  table->SetTableName("Channels");
  table->Open();
  auto* source = New<TDataSource>(Parent);
  source->SetDataSet(table);
  return source;
}

TqvLookupComboBox* AddLookupCombo(TWinControl* Parent, Integer AIndex, const String& ACaption, TDataSource* AList,
                                  const String& AListFields) {
  const TPoint p = Cell(AIndex);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* combo = New<TqvLookupComboBox>(Parent);
  combo->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  combo->SetParent(Parent);
  TqvLookupComboBoxProperties* properties = combo->GetProperties();
  properties->SetListSource(AList);
  properties->SetKeyFieldNames("Id");
  properties->SetListFieldNames(AListFields);
  return combo;
}

void BuildLookupComboBoxPage(TWinControl* Parent) {
  TDataSource* list = MakeChannelList(Parent);
  Integer k = 0;
  AddLookupCombo(Parent, k++, "Closed, with a text", list, "Name")->SetEditValue(3);
  AddLookupCombo(Parent, k++, "Two list columns", list, "Name;Frequency")->SetEditValue(7);
  auto* gridMode = AddLookupCombo(Parent, k++, "Grid mode", list, "Name");
  gridMode->GetProperties()->SetGridMode(true);
  gridMode->SetEditValue(2);
  auto* disabled = AddLookupCombo(Parent, k++, "Disabled", list, "Name");
  disabled->SetEditValue(5);
  disabled->SetEnabled(false);

  const TPoint p = Cell(k, kMargin + kRowHeight / 2);
  AddLabel(Parent, kMargin, p.Y + kRowHeight / 2, "Lookup grid: header, sorted by name, focused row");
  auto* grid = New<TqvLookupDBGrid>(Parent);
  grid->SetBounds(kMargin, p.Y + kRowHeight / 2 + kLabelHeight + 4, 2 * kCellWidth + kCellGap, 200);
  grid->SetParent(Parent);
  grid->SetDataSource(list);
  grid->SetKeyFieldNames("Id");
  grid->SetColumnsFieldNames("Id;Name;Frequency");
  grid->GetColumns()->GetItem(1)->SetSortOrder(soAscending);
  grid->SetFocusedRowIndex(2);
  grid->SetFocusedRowSelected(true);

  const Integer x = kMargin + 2 * (kCellWidth + kCellGap);
  AddLabel(Parent, x, p.Y + kRowHeight / 2, "Vertical lines, no header, popup look");
  auto* plain = New<TqvLookupDBGrid>(Parent);
  plain->SetBounds(x, p.Y + kRowHeight / 2 + kLabelHeight + 4, 2 * kCellWidth + kCellGap, 200);
  plain->SetParent(Parent);
  plain->SetDataSource(list);
  plain->SetColumnsFieldNames("Name;Frequency");
  plain->GetOptions()->SetShowHeader(false);
  plain->GetOptions()->SetGridLines(glVertical);
  plain->SetPopupMode(true);
  plain->SetFocusedRowIndex(4);
  plain->SetFocusedRowSelected(true);
}

}  // namespace

const TGalleryPageRegistration LookupComboBoxPage("Lookup combo box", 900, &BuildLookupComboBoxPage);
