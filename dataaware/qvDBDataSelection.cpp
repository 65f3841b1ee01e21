// Grid-mode selection and bookmark: the controller holds only the buffer's records, so selected
// records and the bookmark are dataset bookmarks, kept in dataset order beside the base entries.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvDataPipeline.h"
#include "dataaware/qvDBData.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvDBDataSelection)

// ---------------------------------------------------------------------------------------------
// TqvDBDataSelection

TqvDBDataController* TqvDBDataSelection::GetDBDataController() const {
  return static_cast<TqvDBDataController*>(GetDataController());
}

bool TqvDBDataSelection::IsGridModeWithDataSet() const {
  TqvDBDataController* c = GetDBDataController();
  return c->IsGridMode() && c->GetDataSet();
}

const TBookmarkStr& TqvDBDataSelection::GetBookmark(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetBookmarkCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FBookmarks[static_cast<size_t>(AIndex)];
}

void TqvDBDataSelection::ResetAnchor() {
  inherited::ResetAnchor();
  FAnchorBookmark.clear();
}

void TqvDBDataSelection::InsertItem(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  inherited::InsertItem(AIndex, ARowIndex, ALevel, ARecordIndex);
  if (FInSyncCount || !GetDBDataController()->IsGridMode()) return;
  TBookmarkStr bookmark = GetRowBookmark(ARowIndex);
  auto position = AIndex == -1 ? FBookmarks.end() : FBookmarks.begin() + AIndex;
  FBookmarks.insert(position, bookmark);
}

void TqvDBDataSelection::ClearItems() {
  inherited::ClearItems();
  FBookmarks.clear();
}

void TqvDBDataSelection::Delete(Integer AIndex) {
  CheckIndex(AIndex);
  if (!FInSyncCount && GetDBDataController()->IsGridMode() && AIndex < GetBookmarkCount()) {
    if (FBookmarks[static_cast<size_t>(AIndex)] == FAnchorBookmark) ResetAnchor();
    FBookmarks.erase(FBookmarks.begin() + AIndex);
  }
  inherited::Delete(AIndex);
}

bool TqvDBDataSelection::FindRowIndex(Integer ARowIndex, Integer& AIndex) const {
  if (!GetDBDataController()->IsGridMode()) return inherited::FindRowIndex(ARowIndex, AIndex);
  return FindBookmark(GetRowBookmark(ARowIndex), AIndex);
}

void TqvDBDataSelection::ReplaceEntries(const std::vector<TqvDataSelectionInfo>& AEntries, bool ANotify) {
  ClearItems();
  for (const TqvDataSelectionInfo& entry : AEntries) InsertItem(-1, entry.RowIndex, entry.Level, entry.RecordIndex);
  if (ANotify) Changed();
}

Integer TqvDBDataSelection::CompareBookmarks(const TBookmarkStr& A, const TBookmarkStr& B) const {
  TqvDBDataProvider* provider = GetDBDataController()->GetDBProvider();
  if (!provider->GetDataLink()->GetActive()) return -1;
  return provider->GetDataSet()->CompareBookmarks(A, B);
}

bool TqvDBDataSelection::FindBookmark(const TBookmarkStr& ABookmark, Integer& AIndex) const {
  return FindSorted(
      GetBookmarkCount(), [&](Integer i) { return CompareBookmarks(FBookmarks[static_cast<size_t>(i)], ABookmark); },
      AIndex);
}

TBookmarkStr TqvDBDataSelection::GetRowBookmark(Integer ARowIndex) const {
  return GetDBDataController()->GetDBProvider()->GetRowBookmark(ARowIndex);
}

void TqvDBDataSelection::SyncCount() {
  TValueScope<bool> syncing(FInSyncCount, true);
  SetCount(GetBookmarkCount());
}

bool TqvDBDataSelection::RemoveInvalidBookmarks() {
  if (!IsGridModeWithDataSet()) return false;
  TDataSet* dataSet = GetDBDataController()->GetDataSet();
  bool removed = false;
  for (Integer i = GetBookmarkCount() - 1; i >= 0; --i) {
    const TBookmarkStr& bookmark = FBookmarks[static_cast<size_t>(i)];
    if (!bookmark.empty() && dataSet->BookmarkValid(bookmark)) continue;
    DeleteAndNotify(i);
    removed = true;
  }
  return removed;
}

// The entries follow the bookmarks, and the view hears of it.
void TqvDBDataSelection::SelectionWalked() {
  SyncCount();
  Changed();
  GetDBDataController()->GetDataControllerInfo()->CheckUpdate();
}

// A walk that fails leaves no half-made selection: the list is emptied and the error goes on.
void TqvDBDataSelection::SelectAll() {
  if (!IsGridModeWithDataSet()) return;
  TqvDBDataController* c = GetDBDataController();
  TDataSet* dataSet = c->GetDataSet();
  {
    TqvProviderLoadScope load(c->GetDBProvider());
    try {
      dataSet->First();
      ClearItems();
      while (!dataSet->GetEof()) {
        FBookmarks.push_back(dataSet->GetBookmark());
        dataSet->Next();
      }
    } catch (...) {
      FBookmarks.clear();
      SelectionWalked();
      throw;
    }
  }
  SelectionWalked();
}

// Keyboard selection grows or shrinks a range by one record at one of its ends: that is seen
// from the bookmarks next to the ends, without walking the dataset.
bool TqvDBDataSelection::SelectRangeQuickly(const TBookmarkStr& A, const TBookmarkStr& B, bool AForward) {
  TDataSet* dataSet = GetDBDataController()->GetDataSet();
  Integer count = GetBookmarkCount();
  auto same = [this](const TBookmarkStr& X, const TBookmarkStr& Y) { return CompareBookmarks(X, Y) == 0; };
  if (same(A, B)) {
    FBookmarks.assign(1, A);
    return true;
  }
  if (AForward) {
    if (count >= 2 && same(FBookmarks[count - 2], B)) {
      if (!same(FBookmarks.front(), A)) return false;
      FBookmarks.pop_back();
      return true;
    }
    dataSet->SetBookmark(B);
    dataSet->Prior();
    if (!same(FBookmarks.back(), dataSet->GetBookmark()) || !same(FBookmarks.front(), A)) return false;
    FBookmarks.push_back(B);
    return true;
  }
  if (count >= 2 && same(FBookmarks[1], A)) {
    if (!same(FBookmarks.back(), B)) return false;
    FBookmarks.erase(FBookmarks.begin());
    return true;
  }
  dataSet->SetBookmark(A);
  dataSet->Next();
  if (!same(FBookmarks.front(), dataSet->GetBookmark()) || !same(FBookmarks.back(), B)) return false;
  FBookmarks.insert(FBookmarks.begin(), A);
  return true;
}

// Walks from A to B; kept bookmarks stay, the walked ones join them in order, each once.
void TqvDBDataSelection::SelectRangeFully(const TBookmarkStr& A, const TBookmarkStr& B, bool AKeepSelection) {
  TDataSet* dataSet = GetDBDataController()->GetDataSet();
  if (!AKeepSelection) FBookmarks.clear();
  bool merging = !FBookmarks.empty();
  dataSet->SetBookmark(A);
  while (!dataSet->GetEof()) {
    TBookmarkStr current = dataSet->GetBookmark();
    Integer position = GetBookmarkCount();
    if (!merging || !FindBookmark(current, position)) FBookmarks.insert(FBookmarks.begin() + position, current);
    if (CompareBookmarks(current, B) == 0) break;
    dataSet->Next();
  }
}

// A bookmark that is no longer valid selects nothing: the walk would otherwise never meet it
// and select every record to the end.
void TqvDBDataSelection::SelectRange(const TBookmarkStr& ABookmark, bool AKeepSelection) {
  if (!IsGridModeWithDataSet()) return;
  TqvDBDataController* c = GetDBDataController();
  TDataSet* dataSet = c->GetDataSet();
  if (dataSet->GetState() == dsInsert && dataSet->GetEof()) return;
  TBookmarkStr A = FAnchorBookmark;
  TBookmarkStr B = ABookmark;
  if (A.empty() || B.empty() || !dataSet->BookmarkValid(A) || !dataSet->BookmarkValid(B)) return;
  {
    TqvProviderLoadScope load(c->GetDBProvider());
    Integer compare = CompareBookmarks(A, B);
    if (compare >= 0) std::swap(A, B);
    bool forward = compare < 0;
    try {
      bool quick = !AKeepSelection && !FBookmarks.empty() && SelectRangeQuickly(A, B, forward);
      if (!quick) SelectRangeFully(A, B, AKeepSelection);
    } catch (...) {
      FBookmarks.clear();
      SelectionWalked();
      throw;
    }
  }
  SelectionWalked();
}

// ---------------------------------------------------------------------------------------------
// The controller in grid mode

namespace {

[[noreturn]] void NotInGridMode() { RaiseDataControllerError(&sqvDataNotInGridMode); }

}  // namespace

TBookmarkStr TqvDBDataController::GetSelectedBookmark(Integer AIndex) const {
  if (!IsGridMode()) NotInGridMode();
  if (!GetMultiSelect()) return GetDBSelection()->GetRowBookmark(GetFocusedRowIndex());
  return GetDBSelection()->GetBookmark(AIndex);
}

TBookmarkStr TqvDBDataController::GetSelectionAnchorBookmark() const {
  if (!IsGridMode()) NotInGridMode();
  return GetDBSelection()->GetAnchorBookmark();
}

Integer TqvDBDataController::GridModeRowOfBookmark(const TBookmarkStr& ABookmark) const {
  TqvDBDataSelection* selection = GetDBSelection();
  Integer rows = GetDBProvider()->GetBufferRecordCount();
  if (rows == 0) return -1;
  if (selection->CompareBookmarks(selection->GetRowBookmark(0), ABookmark) > 0 ||
      selection->CompareBookmarks(ABookmark, selection->GetRowBookmark(rows - 1)) > 0)
    return -1;
  for (Integer row = 0; row < rows; ++row)
    if (selection->CompareBookmarks(selection->GetRowBookmark(row), ABookmark) == 0) return row;
  return -1;
}

Integer TqvDBDataController::GetSelectedRowIndex(Integer AIndex) const {
  if (!IsGridMode() || !GetMultiSelect()) return inherited::GetSelectedRowIndex(AIndex);
  return GridModeRowOfBookmark(GetDBSelection()->GetBookmark(AIndex));
}

Integer TqvDBDataController::GetSelectionAnchorRowIndex() const {
  return IsGridMode() ? -1 : inherited::GetSelectionAnchorRowIndex();
}

bool TqvDBDataController::IsSelectionAnchorSet() const {
  return IsGridMode() ? !GetSelectionAnchorBookmark().empty() : inherited::IsSelectionAnchorSet();
}

void TqvDBDataController::SelectAll() {
  if (IsGridMode())
    GetDBSelection()->SelectAll();
  else
    inherited::SelectAll();
}

void TqvDBDataController::SelectFromAnchor(Integer ARowIndex, bool AKeepSelection) {
  if (!IsGridMode()) return inherited::SelectFromAnchor(ARowIndex, AKeepSelection);
  GetDataControllerInfo()->CheckRowIndex(ARowIndex);
  TqvDBDataSelection* selection = GetDBSelection();
  if (!selection->GetAnchorBookmark().empty())
    selection->SelectRange(selection->GetRowBookmark(ARowIndex), AKeepSelection);
}

void TqvDBDataController::SetSelectionAnchor(Integer ARowIndex) {
  if (!IsGridMode()) return inherited::SetSelectionAnchor(ARowIndex);
  GetDataControllerInfo()->CheckRowIndex(ARowIndex);
  TqvDBDataSelection* selection = GetDBSelection();
  selection->SetAnchorBookmark(selection->GetRowBookmark(ARowIndex));
}

// The rows follow the dataset's cursor: each call sees the focused row on the record visited.
void TqvDBDataController::ForEachRow(bool ASelectedOnly, const TqvForEachRowProc& AProc) {
  if (!IsGridMode()) return inherited::ForEachRow(ASelectedOnly, AProc);
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !AProc) return;
  TAliveToken alive = AliveToken();
  auto visit = [&] {
    Integer row = GetFocusedRowIndex();
    AProc(row, row == -1 ? TqvRowInfo() : GetRowInfo(row));
  };
  if (ASelectedOnly && !GetMultiSelect()) return visit();
  if (ASelectedOnly) {
    std::vector<TBookmarkStr> bookmarks;
    for (Integer i = 0; i < GetDBSelection()->GetBookmarkCount(); ++i) bookmarks.push_back(GetSelectedBookmark(i));
    for (const TBookmarkStr& bookmark : bookmarks) {
      if (!dataSet->BookmarkValid(bookmark)) continue;
      dataSet->SetBookmark(bookmark);
      if (!alive) return;
      visit();
      if (!alive) return;
    }
    return;
  }
  dataSet->First();
  while (alive && !dataSet->GetEof()) {
    visit();
    if (!alive) return;
    dataSet->Next();
  }
}

// ---------------------------------------------------------------------------------------------
// The bookmark

bool TqvDBDataController::IsBookmarkAvailable() const {
  return IsGridMode() ? !FSavedBookmark.empty() : inherited::IsBookmarkAvailable();
}

bool TqvDBDataController::IsBookmarkRow(Integer ARowIndex) const {
  if (!IsGridMode()) return inherited::IsBookmarkRow(ARowIndex);
  return IsBookmarkAvailable() && GetDataSet() &&
         GetDBSelection()->CompareBookmarks(FSavedBookmark, GetDBSelection()->GetRowBookmark(ARowIndex)) == 0;
}

bool TqvDBDataController::IsBookmarkLost(Integer ARecordIndex) const {
  if (!IsGridMode()) return inherited::IsBookmarkLost(ARecordIndex);
  TDataSet* dataSet = GetDataSet();
  return !dataSet || !dataSet->BookmarkValid(FSavedBookmark);
}

void TqvDBDataController::ClearBookmark() {
  FSavedBookmark.clear();
  inherited::ClearBookmark();
}

// True when the dataset stands on the bookmarked record afterwards.
bool TqvDBDataController::GotoBookmark() {
  if (!IsGridMode()) return inherited::GotoBookmark();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || FSavedBookmark.empty() || !dataSet->BookmarkValid(FSavedBookmark)) return false;
  TAliveToken alive = AliveToken();
  dataSet->SetBookmark(FSavedBookmark);
  if (!alive) return false;
  SyncSingleSelectedRow();
  return dataSet->CompareBookmarks(dataSet->GetBookmark(), FSavedBookmark) == 0;
}

bool TqvDBDataController::SaveBookmark() {
  if (!IsGridMode()) return inherited::SaveBookmark();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return false;
  TBookmarkStr bookmark = dataSet->GetBookmark();
  if (bookmark.empty() || bookmark == FSavedBookmark) return false;
  FSavedBookmark = bookmark;
  return true;
}
