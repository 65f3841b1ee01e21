// The provider: editing through the dataset, inserts, smart refresh, deleting and searching.
#include <algorithm>

#include "core/qvDataSearch.h"
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"
#include "editors/qvEdit.h"

// ---------------------------------------------------------------------------------------------
// What the dataset allows

bool TqvDBDataProvider::CanModify() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() && dataSet->GetCanModify() && IsSyncMode();
}

bool TqvDBDataProvider::CanDelete() { return CanModify() && !GetDataSet()->IsEmpty(); }

bool TqvDBDataProvider::IsEditing() const { return DataSetInEditState(); }

bool TqvDBDataProvider::IsInserting() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetState() == dsInsert;
}

bool TqvDBDataProvider::IsModified() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetModified();
}

// ---------------------------------------------------------------------------------------------
// The editing cycle

bool TqvDBDataProvider::EditRecord(Integer) {
  TValueScope<bool> inEditRecord(FInEditRecord, true, FAlive.Token());
  bool editing = FDataLink->Edit();
  if (editing) SetEditingItem();
  return editing;
}

void TqvDBDataProvider::Edit() { GetDataSet()->Edit(); }

void TqvDBDataProvider::Append() { ExecuteInsert(&TDataSet::Append); }

void TqvDBDataProvider::Insert() { ExecuteInsert(&TDataSet::Insert); }

// A failed post leaves the dataset in its edit state with the user's values; the engine's error
// goes to the caller.
void TqvDBDataProvider::Post() { GetDataSet()->Post(); }

void TqvDBDataProvider::Cancel() { GetDataSet()->Cancel(); }

void TqvDBDataProvider::UpdateData() { FDataLink->UpdateRecord(); }

Variant TqvDBDataProvider::GetEditValue(Integer, TqvCustomDataField* AField, Integer AEditValueSource) {
  TField* field = FieldOf(AField);
  if (!field) return Null();
  if (AEditValueSource == evsText) return field->GetText();
  if (AEditValueSource == evsKey && !field->GetKeyFields().empty())
    return field->GetDataSet()->GetFieldValues(field->GetKeyFields());
  return field->IsNull() ? Null() : field->GetValue();
}

bool TqvDBDataProvider::SetEditValue(Integer, TqvCustomDataField* AField, const Variant& AValue,
                                     Integer AEditValueSource) {
  TField* field = FieldOf(AField);
  if (!field) return false;
  if (AEditValueSource == evsText || field->OnSetText)
    field->SetText(VarToStr(AValue));
  else if (AEditValueSource == evsKey && !field->GetKeyFields().empty())
    field->GetDataSet()->SetFieldValues(field->GetKeyFields(), AValue);
  else
    field->SetValue(AValue);
  return true;
}

void TqvDBDataProvider::AssignFieldValue(Integer, TqvCustomDataField* AField, const Variant& AValue) {
  TField* field = FieldOf(AField);
  if (!field) return;
  if (field->GetLookup() && !field->GetKeyFields().empty())
    field->GetDataSet()->SetFieldValues(field->GetKeyFields(), AValue);
  else
    field->SetValue(AValue);
}

// A record inserted through this controller (or another of the dataset) takes the grouping
// values and, in a detail, its master's key.
void TqvDBDataProvider::AssignGroupingValues(Integer ARecordIndex, const std::vector<Variant>& AValues) {
  TqvDBDataController* c = GetDBDataController();
  TAliveToken alive = FAlive.Token();
  if (FInInsert || FInEditRecord || IsOtherProviderBusy()) {
    TqvCustomDataProvider::AssignGroupingValues(ARecordIndex, AValues);
    if ((c->GetOptions() & dcoAssignMasterDetailKeys) && c->IsDetailMode() && !VarIsEmpty(c->GetMasterKeyValues()))
      SetFieldValues(c->GetDetailKeyFields(), c->GetMasterKeyValues());
    c->NewRecordInitialized(ARecordIndex);
  }
  if (alive) c->UpdateEditingRecord();
}

void TqvDBDataProvider::ExecuteInsert(void (TDataSet::*AProc)()) {
  TDataSet* dataSet = GetDataSet();
  TValueScope<bool> inInsert(FInInsert, true, FAlive.Token());
  if (!IsEditState(dataSet->GetState())) return (dataSet->*AProc)();
  bool smart = IsSmartRefresh();
  if (!smart && dataSet->GetState() == dsInsert) dataSet->CheckBrowseMode();
  TqvControlsDisabledScope disabled(dataSet);
  if (smart && IsEditState(dataSet->GetState())) {
    FDataLink->UpdateRecord();
    if (dataSet->GetModified())
      dataSet->Post();
    else
      dataSet->Cancel();
    SmartRefresh();
    ResetInsertTracking();
  }
  (dataSet->*AProc)();
}

void TqvDBDataProvider::SetTrackedRecord(Integer ARecordIndex, bool AInserting) {
  FTrackedRecordIndex = ARecordIndex;
  FTrackedInserting = AInserting;
}

void TqvDBDataProvider::ResetInsertTracking() {
  FTrackedRecordIndex = qvNoEditedRecordIndex;
  FTrackedInserting = false;
  FTrackedNewRecordIndex = -1;
}

// ---------------------------------------------------------------------------------------------
// Smart refresh

// The record the post or cancel touched, as it stands now: its index, or -1 when it went.
Integer TqvDBDataProvider::SmartRefreshRecord(Integer ARecordIndex) {
  TqvDBDataController* c = GetDBDataController();
  TDataSet* dataSet = GetDataSet();
  Integer record = ARecordIndex;
  if (record < 0 && FTrackedNewRecordIndex != -1) record = FTrackedNewRecordIndex;
  Variant oldKey = c->GetKeyValues(record);
  Variant newKey = dataSet->IsEmpty() ? Null() : dataSet->GetFieldValues(c->GetKeyFieldNames());
  if (VarEquals(oldKey, newKey)) {
    c->ReloadRecord(record);
    return record;
  }
  bool onlyKnownHere = !dataSet->IsEmpty() && c->FindRecordIndexByKey(newKey) == -1;
  if (onlyKnownHere) {
    // The dataset stands on a record the storage does not hold: the posted one under its new
    // key (a changed key, or a key the database gave an inserted record).
    if (record < 0) {
      record = c->GetStorage()->AppendRecord();
      c->CopyRecord(c->GetNewRecordIndex(), record);
      FTrackedNewRecordIndex = record;
    }
    c->ReloadRecord(record);
    return record;
  }
  Integer holder = c->FindRecordIndexByKey(oldKey);
  if (holder != -1 && holder != record) return record;
  if (record >= 0 && record < c->GetRecordCount()) {
    c->DeleteRecord(record);
    c->ResetFocusedRow();
  }
  return -1;
}

void TqvDBDataProvider::SmartRefresh() {
  if (FTrackedRecordIndex == qvNoEditedRecordIndex) return;
  TqvDBDataController* c = GetDBDataController();
  TAliveToken alive = c->AliveToken();
  Integer record = c->GetFocusedRecordIndex();
  if (record == FTrackedRecordIndex || (record == -1 && c->IsNewRecordIndex(FTrackedRecordIndex)))
    record = SmartRefreshRecord(FTrackedRecordIndex);
  if (!alive) return;
  if (record != -1) c->MergeDataChange(dckRecord, -1, record);
  c->Refresh();
  if (!alive) return;
  c->SummaryChanged(false);
  ResetRefreshRequired();
}

// ---------------------------------------------------------------------------------------------
// Deleting

void TqvDBDataProvider::DeleteFocusedRecord() {
  TDataSet* dataSet = GetDataSet();
  if (!IsSmartRefresh()) return dataSet->Delete();
  TqvDBDataController* c = GetDBDataController();
  FDeletedRecordIndex = c->GetFocusedRecordIndex();
  if (FDeletedRecordIndex < 0) return;
  TAliveToken alive = FAlive.Token();
  dataSet->Delete();
  if (!alive || !IsSmartRefresh()) return;
  if (FDeletedRecordIndex >= 0 && FDeletedRecordIndex < c->GetRecordCount()) c->DeleteRecord(FDeletedRecordIndex);
  c->ResetFocusedRow();
}

void TqvDBDataProvider::DeleteRecords(std::vector<Integer> AList) {
  std::sort(AList.begin(), AList.end());
  AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
  if (AList.empty()) return;
  if (IsKeyNavigation())
    DeleteByKeys(AList);
  else
    DeleteByBookmarks(AList);
}

void TqvDBDataProvider::DeleteByKeys(const std::vector<Integer>& AList) {
  TqvDBDataController* c = GetDBDataController();
  TDataSet* dataSet = GetDataSet();
  std::vector<Variant> keys;
  for (Integer record : AList) keys.push_back(c->GetKeyValues(record));
  bool smart = IsSmartRefresh();
  {
    TUpdateScope<TqvCustomDataController> update(c);
    TqvControlsDisabledScope disabled(dataSet);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
      if (!dataSet->Locate(c->GetKeyFieldNames(), *key, 0)) continue;
      dataSet->Delete();
      if (!smart) continue;
      Integer record = c->FindRecordIndexByKey(*key);
      if (record != -1) c->DeleteRecord(record);
    }
  }
  if (smart) c->ResetFocusedRow();
}

// The rows' bookmarks are read first, so that each deletion removes exactly a listed record,
// wherever the dataset goes after the one before.
void TqvDBDataProvider::DeleteByBookmarks(const std::vector<Integer>& AList) {
  TDataSet* dataSet = GetDataSet();
  std::vector<TBookmarkStr> bookmarks = CollectBookmarks(AList);
  TqvControlsDisabledScope disabled(dataSet);
  for (auto bookmark = bookmarks.rbegin(); bookmark != bookmarks.rend(); ++bookmark) {
    if (bookmark->empty() || !dataSet->BookmarkValid(*bookmark)) continue;
    dataSet->SetBookmark(*bookmark);
    dataSet->Delete();
  }
}

// Grid mode reads each buffer row's bookmark in place. Otherwise record indexes count the
// dataset's records from where the load began, so the dataset walks to each listed one.
std::vector<TBookmarkStr> TqvDBDataProvider::CollectBookmarks(const std::vector<Integer>& AList) {
  std::vector<TBookmarkStr> bookmarks;
  if (IsGridMode()) {
    for (Integer row : AList) bookmarks.push_back(GetRowBookmark(row));
    return bookmarks;
  }
  TDataSet* dataSet = GetDataSet();
  TqvControlsDisabledScope disabled(dataSet);
  Integer position = FSyncRecordIndex;
  for (Integer record : AList) {
    Integer moved = dataSet->MoveBy(record - position);
    position += moved;
    bookmarks.push_back(position == record ? dataSet->GetBookmark() : TBookmarkStr());
  }
  return bookmarks;
}

void TqvDBDataProvider::DeleteSelection() {
  if (!IsGridMode()) return TqvCustomDataProvider::DeleteSelection();
  TqvDBDataController* c = GetDBDataController();
  TqvDBDataSelection* selection = c->GetDBSelection();
  TDataSet* dataSet = GetDataSet();
  TUpdateScope<TqvCustomDataController> update(c);
  TqvControlsDisabledScope disabled(dataSet);
  for (Integer i = selection->GetBookmarkCount() - 1; i >= 0; --i) {
    const TBookmarkStr bookmark = selection->GetBookmark(i);
    if (dataSet->BookmarkValid(bookmark)) {
      dataSet->SetBookmark(bookmark);
      dataSet->Delete();
    }
    selection->DeleteAndNotify(i);
  }
}

// ---------------------------------------------------------------------------------------------
// Incremental search in the dataset

bool TqvDBDataProvider::FindTextMatches(const String& AText) {
  TqvCustomDataController* c = GetDataController();
  Integer item = c->GetSearch()->GetItemIndex();
  if (item < 0 || item >= c->GetItemCount()) return false;
  TValueScope<bool> inSearch(FInSearch, true, FAlive.Token());
  String text = c->GetFieldDisplayText(-1, c->GetField(item));
  return text.size() >= AText.size() && AnsiSameText(text.substr(0, AText.size()), AText);
}

// One step; false when the walk must stop at an end (with ANext) instead of wrapping.
bool TqvDBDataProvider::MoveOnce(bool AForward, bool ANext) {
  TDataSet* dataSet = GetDataSet();
  if (AForward) {
    dataSet->Next();
    if (!dataSet->GetEof()) return true;
    if (ANext) return false;
    dataSet->First();
  } else {
    dataSet->Prior();
    if (!dataSet->GetBof()) return true;
    if (ANext) return false;
    dataSet->Last();
  }
  return true;
}

// Every record is tested at most once: the walk ends after RecordCount + 1 moves even where the
// dataset gives no bookmarks to recognise the start by.
bool TqvDBDataProvider::FindTextInDataSet(const String& AText, bool AForward, bool ANext) {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive() || IsEditState(dataSet->GetState()) || dataSet->IsEmpty()) return false;
  TqvCustomDataController* c = GetDataController();
  TAliveToken alive = c->AliveToken();
  if (!ANext && FindTextMatches(AText)) {
    c->ResetFocusedRow();
    return true;
  }
  bool found = false;
  {
    TqvProviderLoadScope load(this);
    const TBookmarkStr start = FSavedPosition.Bookmark;
    Integer moves = 0;
    const Integer maxMoves = dataSet->GetRecordCount() + 1;
    bool walking = !ANext || MoveOnce(AForward, ANext);
    while (walking && moves <= maxMoves) {
      if (!ANext && moves > 0 && !start.empty() && dataSet->CompareBookmarks(dataSet->GetBookmark(), start) == 0) break;
      if (FindTextMatches(AText)) {
        found = true;
        break;
      }
      walking = MoveOnce(AForward, ANext);
      ++moves;
    }
    if (found) FSavedPosition.Bookmark.clear();  // the load ends on the match
  }
  if (!found || !alive) return false;
  c->SyncSingleSelectedRow();
  c->Change(dccLayout);
  return true;
}
