// The controller's front ends over the view engine: rows, focus and navigation, selection, the
// bookmark, and loading the records from a source.
#include <algorithm>
#include <memory>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "platform/rtl/Scopes.h"

// ---------------------------------------------------------------------------------------------
// Rows

Integer TqvCustomDataController::GetRowCount() const { return GetDataControllerInfo()->GetRowCount(); }

TqvRowInfo TqvCustomDataController::GetRowInfo(Integer ARowIndex) const {
  return GetDataControllerInfo()->GetRowInfo(ARowIndex);
}

Integer TqvCustomDataController::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  CheckRecordRange(ARecordIndex);
  return GetDataControllerInfo()->GetRowIndexByRecordIndex(ARecordIndex, AMakeVisible);
}

Integer TqvCustomDataController::GetFilteredRecordCount() const {
  return GetDataControllerInfo()->GetFilteredRecordCount();
}

Integer TqvCustomDataController::GetRecordIndexByFilteredIndex(Integer AIndex) const {
  return GetDataControllerInfo()->GetRecordIndexByFilteredIndex(AIndex);
}

Integer TqvCustomDataController::GetFilteredIndexByRecordIndex(Integer ARecordIndex) const {
  return GetDataControllerInfo()->GetFilteredIndexByRecordIndex(ARecordIndex);
}

namespace {

// The item a row shows for AItemIndex: a group row shows its grouping item.
Integer RowItemIndex(TqvCustomDataController* AController, const TqvRowInfo& ARowInfo, Integer AItemIndex) {
  TqvDataControllerGroups* groups = AController->GetGroups();
  bool groupRow = ARowInfo.Level < groups->GetGroupingItemCount() && !AController->IsNewRecordIndex(ARowInfo.RecordIndex);
  return groupRow ? groups->GetItemIndexByLevel(ARowInfo.Level) : AItemIndex;
}

}  // namespace

String TqvCustomDataController::GetRowDisplayText(const TqvRowInfo& ARowInfo, Integer AItemIndex) {
  return GetDisplayText(ARowInfo.RecordIndex, RowItemIndex(this, ARowInfo, AItemIndex));
}

Variant TqvCustomDataController::GetRowValue(const TqvRowInfo& ARowInfo, Integer AItemIndex) {
  return GetValue(ARowInfo.RecordIndex, RowItemIndex(this, ARowInfo, AItemIndex));
}

void TqvCustomDataController::ForEachRow(bool ASelectedOnly, const TqvForEachRowProc& AProc) {
  if (!AProc) return;
  if (ASelectedOnly) {
    for (Integer i = 0; i < GetSelectedCount(); ++i) {
      Integer row = GetSelectedRowIndex(i);
      AProc(row, GetRowInfo(row));
    }
  } else {
    for (Integer row = 0; row < GetRowCount(); ++row) AProc(row, GetRowInfo(row));
  }
}

// ---------------------------------------------------------------------------------------------
// Focus and navigation

Integer TqvCustomDataController::GetFocusedRowIndex() const { return GetDataControllerInfo()->GetFocusedRowIndex(); }

Integer TqvCustomDataController::GetFocusedRecordIndex() const {
  return GetDataControllerInfo()->GetFocusedRecordIndex();
}

Integer TqvCustomDataController::GetCurrentRecordIndex() const {
  TqvCustomDataProvider* provider = GetProvider();
  if (provider->IsSourceActive() && provider->IsSyncMode()) return provider->GetSyncRecordIndex();
  return GetFocusedRecordIndex();
}

// The move runs inside an update bracket: an edit that CanFocusRecord posts rebuilds the view
// only after the focus has moved.
bool TqvCustomDataController::ChangeFocusedRowIndex(Integer ARowIndex) {
  TqvCustomDataProvider* provider = GetProvider();
  if (provider->IsSyncMode() && ARowIndex != GetFocusedRowIndex() && !provider->GetFocusedRowChangeUnchecked() &&
      !CanChangeFocusedRow())
    return false;
  TUpdateScope update(this);
  if (ARowIndex != -1 && FNewItemRowFocused) SetNewItemRowFocused(false);
  GetDataControllerInfo()->FocusRow(ARowIndex);
  return true;
}

// -1 always means "no focus", whichever internal records exist.
bool TqvCustomDataController::ChangeFocusedRecordIndex(Integer ARecordIndex) {
  if (ARecordIndex == -1) return ChangeFocusedRowIndex(-1);
  return ChangeFocusedRowIndex(GetRowIndexByRecordIndex(ARecordIndex, true));
}

namespace {

// Runs a move and answers whether the focused row changed.
template <class TMove>
bool FocusMoved(TqvCustomDataController* AController, const TMove& AMove) {
  Integer before = AController->GetFocusedRowIndex();
  TAliveToken alive = AController->AliveToken();
  AMove();
  return alive && AController->GetFocusedRowIndex() != before;
}

}  // namespace

bool TqvCustomDataController::GotoFirst() {
  return FocusMoved(this, [this] {
    if (IsGridMode())
      GetProvider()->First();
    else if (GetRowCount() > 0)
      ChangeFocusedRowIndex(0);
  });
}

bool TqvCustomDataController::GotoLast() {
  return FocusMoved(this, [this] {
    if (IsGridMode())
      GetProvider()->Last();
    else if (GetRowCount() > 0)
      ChangeFocusedRowIndex(GetRowCount() - 1);
  });
}

bool TqvCustomDataController::GotoNext() {
  return FocusMoved(this, [this] {
    if (IsGridMode())
      GetProvider()->Next();
    else if (GetFocusedRowIndex() + 1 < GetRowCount())
      ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
  });
}

bool TqvCustomDataController::GotoPrev() {
  return FocusMoved(this, [this] {
    if (IsGridMode())
      GetProvider()->Prior();
    else if (GetRowCount() > 0)
      ChangeFocusedRowIndex(std::max(0, GetFocusedRowIndex() - 1));
  });
}

bool TqvCustomDataController::MoveBy(Integer ADistance) {
  return FocusMoved(this, [this, ADistance] {
    if (IsGridMode())
      GetProvider()->MoveBy(ADistance);
    else if (GetRowCount() > 0)
      ChangeFocusedRowIndex(std::clamp<int64_t>(int64_t{GetFocusedRowIndex()} + ADistance, 0, GetRowCount() - 1));
  });
}

bool TqvCustomDataController::IsBOF() const {
  if (IsGridMode()) return GetProvider()->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TqvCustomDataController::IsEOF() const {
  if (IsGridMode()) return GetProvider()->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TqvCustomDataController::Scroll(Integer ADistance) {
  if (IsGridMode()) GetProvider()->ScrollGridBuffer(ADistance);
}

Integer TqvCustomDataController::GetLastRowRecordIndex() const {
  Integer count = GetRowCount();
  return count == 0 ? -1 : GetRowInfo(count - 1).RecordIndex;
}

void TqvCustomDataController::EnsureFocusedRecord() {
  if (GetFocusedRecordIndex() != -1) return;
  Integer record = GetLastRowRecordIndex();
  if (record != -1) ChangeFocusedRecordIndex(record);
}

bool TqvCustomDataController::CanFocusRecord(Integer ARecordIndex) {
  TqvCustomDataProvider* provider = GetProvider();
  if (!provider->IsSourceActive() && IsEditing() && ARecordIndex != provider->GetEditingRecordIndex()) Post();
  return true;
}

void TqvCustomDataController::ResetFocusedRow() {
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  if (GetProvider()->GetCursorMoveCount() > 0 && info->IsFocusingRow()) return;
  info->ResetFocusing();
}

// ---------------------------------------------------------------------------------------------
// Selection

void TqvCustomDataController::SetMultiSelect(bool AValue) {
  if (FMultiSelect == AValue) return;
  FMultiSelect = AValue;
  FFocusedRowSelected = true;
  if (!AValue) ClearSelection();
}

Integer TqvCustomDataController::GetSelectedCount() const {
  if (FMultiSelect) return GetDataControllerInfo()->GetSelectedCount();
  return FFocusedRowSelected && GetFocusedRowIndex() != -1 ? 1 : 0;
}

Integer TqvCustomDataController::GetSelectedRowIndex(Integer AIndex) const {
  if (FMultiSelect) return GetDataControllerInfo()->GetSelectedRowIndex(AIndex);
  return AIndex == 0 && FFocusedRowSelected ? GetFocusedRowIndex() : -1;
}

bool TqvCustomDataController::IsRowSelected(Integer ARowIndex) const {
  if (FMultiSelect) return GetDataControllerInfo()->IsRowSelected(ARowIndex);
  return FFocusedRowSelected && ARowIndex != -1 && ARowIndex == GetFocusedRowIndex();
}

void TqvCustomDataController::ChangeRowSelection(Integer ARowIndex, bool ASelect) {
  if (FMultiSelect) GetDataControllerInfo()->ChangeRowSelection(ARowIndex, ASelect);
}

void TqvCustomDataController::SelectRows(Integer AFromRowIndex, Integer AToRowIndex) {
  if (!FMultiSelect) return;
  if (AFromRowIndex > AToRowIndex) std::swap(AFromRowIndex, AToRowIndex);
  TUpdateScope update(this);
  for (Integer row = AFromRowIndex; row <= AToRowIndex; ++row) ChangeRowSelection(row, true);
}

void TqvCustomDataController::SelectAll() {
  if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

// Entries only: the anchor stays. An empty selection stays as it is, without a notification.
void TqvCustomDataController::ClearSelection() {
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  if (info->GetSelectedCount() > 0) info->ClearSelection();
}

void TqvCustomDataController::SelectFocused() {
  TUpdateScope update(this);
  ClearSelection();
  Integer row = GetFocusedRowIndex();
  if (row != -1) SelectRows(row, row);
}

void TqvCustomDataController::SelectOnlyFocusedRow() {
  if (!FMultiSelect) return;
  TUpdateScope update(this);
  ClearSelection();
  Integer row = GetFocusedRowIndex();
  if (row != -1) ChangeRowSelection(row, true);
}

void TqvCustomDataController::SetFocusedRowSelected(bool ASelected) {
  if (FMultiSelect || FFocusedRowSelected == ASelected) return;
  FFocusedRowSelected = ASelected;
  Integer row = GetFocusedRowIndex();
  if (row == -1) return;
  FPrevSelectedCount = 1;
  FPrevSingleSelectedRow = row;
  Change(dccSelection);
}

void TqvCustomDataController::SetSelectionAnchor(Integer ARowIndex) {
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  info->CheckRowIndex(ARowIndex);
  info->GetSelection()->AnchorRowIndex = ARowIndex;
}

void TqvCustomDataController::ClearSelectionAnchor() { GetDataControllerInfo()->ClearSelectionAnchor(); }

Integer TqvCustomDataController::GetSelectionAnchorRowIndex() const {
  return GetDataControllerInfo()->GetSelection()->AnchorRowIndex;
}

bool TqvCustomDataController::IsSelectionAnchorSet() const { return GetSelectionAnchorRowIndex() != -1; }

void TqvCustomDataController::SelectFromAnchor(Integer ARowIndex, bool AKeepSelection) {
  if (!IsSelectionAnchorSet()) return;
  TUpdateScope update(this);
  Integer anchor = GetSelectionAnchorRowIndex();
  if (!AKeepSelection) ClearSelection();
  SelectRows(anchor, ARowIndex);
}

// ---------------------------------------------------------------------------------------------
// Bookmark

bool TqvCustomDataController::SaveBookmark() {
  Integer record = GetFocusedRecordIndex();
  if (record == FBookmarkRecordIndex) return false;
  FBookmarkRecordIndex = record;
  return true;
}

void TqvCustomDataController::SaveBookmarkAndNotify() {
  if (SaveBookmark()) Change(dccBookmark);
}

void TqvCustomDataController::ClearBookmark() { FBookmarkRecordIndex = -1; }

void TqvCustomDataController::ClearBookmarkAndNotify() {
  if (!IsBookmarkAvailable()) return;
  ClearBookmark();
  Change(dccBookmark);
}

bool TqvCustomDataController::GotoBookmark() {
  Integer record = FBookmarkRecordIndex;
  TAliveToken alive = AliveToken();
  ChangeFocusedRecordIndex(record);
  return alive && record != -1 && GetFocusedRecordIndex() == record;
}

void TqvCustomDataController::GotoBookmarkIfSet() {
  if (IsBookmarkAvailable()) GotoBookmark();
}

bool TqvCustomDataController::IsBookmarkRow(Integer ARowIndex) const {
  return IsBookmarkAvailable() && GetRowInfo(ARowIndex).RecordIndex == FBookmarkRecordIndex;
}

// While a rebuild is pending the record list is stale: only a record that is gone counts then.
bool TqvCustomDataController::IsBookmarkLost(Integer ARecordIndex) const {
  if (ARecordIndex != -1 && ARecordIndex == FBookmarkRecordIndex) return true;
  if (FBookmarkRecordIndex < 0 || FBookmarkRecordIndex >= GetRecordCount()) return true;
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  bool listCurrent = !(info->GetChanges() & dcicLoad) && !info->IsUpdating();
  return listCurrent && GetFilteredIndexByRecordIndex(FBookmarkRecordIndex) == -1;
}

// Deleting another record never loses the bookmark; one before it moves the bookmark down.
void TqvCustomDataController::CheckBookmark(Integer ARecordIndex) {
  if (!IsBookmarkAvailable()) return;
  if (ARecordIndex >= 0 && ARecordIndex != FBookmarkRecordIndex) {
    if (ARecordIndex < FBookmarkRecordIndex) ShiftBookmark(ARecordIndex, -1);
    return;
  }
  if (!IsBookmarkLost(ARecordIndex)) return;
  ClearBookmark();
  Change(dccBookmark);
}

void TqvCustomDataController::ShiftBookmark(Integer AFirstRecord, Integer ADelta) {
  if (FBookmarkRecordIndex >= AFirstRecord && FBookmarkRecordIndex != -1) FBookmarkRecordIndex += ADelta;
}

// ---------------------------------------------------------------------------------------------
// Loading and structure

// Each step notifies the view, whose handlers may free the controller.
void TqvCustomDataController::Refresh() {
  TAliveToken alive = AliveToken();
  Cancel();
  if (!alive) return;
  UpdateView();
  if (!alive) return;
  CheckBookmark(-1);
  SyncSingleSelectedRow();
}

void TqvCustomDataController::ActiveChanged(bool AActive) {
  FActive = AActive;
  CheckStructure(GetProvider()->IsDataAvailable());
  if (TqvCustomDataController* master = GetMasterDataController()) master->CheckDetails();
}

void TqvCustomDataController::LayoutChanged(Integer) {
  CheckStructure(GetProvider()->IsDataAvailable());
  Change(dccLayout);
}

// A structure change inside an update bracket reloads without its data now; the pending
// notifications repeat the check after the bracket, this time loading.
void TqvCustomDataController::CheckStructure(bool AUpdateFields) {
  if (FCheckingStructure) return;
  TValueScope checking(FCheckingStructure, true);
  if (IsUpdateLocked()) FStructureResetPending = true;
  if (IsReloadAllowed()) Reload(AUpdateFields);
}

// A reset structure stays marked until its data were loaded, so the deferred reload may load.
void TqvCustomDataController::Reload(bool AUpdateFields) {
  bool loaded = false;
  {
    TUpdateScope update(this);
    if (IsReloadAllowed()) {
      if (AUpdateFields || GetProvider()->IsStructureAvailable()) UpdateFields();
      loaded = !FStructureResetPending;
      if (loaded) LoadData();
    }
    GetDataControllerInfo()->RefreshView();
  }
  if (loaded) FStructureWasReset = false;
}

bool TqvCustomDataController::IsReloadAllowed() const { return IsProviderMode() || FStructureWasReset; }

void TqvCustomDataController::ResetStructure() {
  TUpdateScope update(this);
  if (FProvider) FProvider->EndEditing();
  FStorage->Clear(false);
  ClearBookmark();
  CheckSelectionAndBookmark(-1);
  FStorage->SetStoredValuesOnly(IsProviderMode() || IsGridMode());
  UpdateKeyField();
  FStructureWasReset = true;
  LayoutChanged(2);
}

// Provider mode keeps each record's handle in an internal integer field.
void TqvCustomDataController::UpdateKeyField() {
  bool needed = GetProvider()->GetUserDataSource() != nullptr;
  if (needed && !FKeyField) {
    FKeyField = CreateInternalField();
    FKeyField->ChangeValueType(TqvIntegerValueType::Class());
  } else if (!needed && FKeyField) {
    TqvCustomDataField* field = FKeyField;
    FKeyField = nullptr;
    Free(field);
  }
}

void TqvCustomDataController::UpdateFields() {
  for (Integer i = 0; i < FFields->GetCount(); ++i) FFields->GetItem(i)->Updated = false;
  bool restart = true;
  while (restart) {
    restart = false;
    FFields->FieldDestroyed = false;
    for (Integer i = 0; i < FFields->GetCount() && !restart; ++i) {
      TqvCustomDataField* field = FFields->GetItem(i);
      if (field->Updated) continue;
      field->Updated = true;
      UpdateField(field);
      restart = FFields->FieldDestroyed;
    }
  }
}

void TqvCustomDataController::LoadData() {
  TqvCustomDataProvider* provider = GetProvider();
  if (!(IsAppendOnlyMode() && FAppendInProgress)) FStorage->Clear(provider->IsPostingNewItemRow());
  if (provider->IsDataAvailable() && !IsAppendOnlyMode() && !IsPattern()) {
    if (IsGridMode()) {
      FStorage->BeginLoad();
      provider->LoadGridModeBuffer();
      FStorage->EndLoad();
    } else {
      TqvProviderLoadScope load(provider);
      provider->First();
      if (provider->GetStructureChanged()) UpdateFields();
      FStorage->BeginLoad();
      if (IsProviderMode()) {
        provider->LoadRecordHandles();
      } else {
        std::unique_ptr<TqvValueDefReader> reader(provider->CreateValueDefReader());
        if (!reader) RaiseDataControllerError(&sqvDataReadError);
        while (!provider->IsEOF()) {
          Integer record = FStorage->AppendRecord();
          FStorage->ReadRecord(record, reader.get(), true);
          provider->RecordLoaded(record);
          provider->Next();
        }
      }
      FStorage->EndLoad();
    }
    CheckSelectionAndBookmark(-1);
    ResetFocusedRow();
  }
  Change(dccData);
  LoadFinished();
}

void TqvCustomDataController::BeginLoadData() {
  GetProvider()->BeginLoad();
  GetProvider()->SavePosition();
  FStorage->BeginLoad();
}

void TqvCustomDataController::EndLoadData() {
  FStorage->EndLoad();
  GetProvider()->RestorePosition();
  GetProvider()->EndLoad();
  ResetFocusedRow();
  GetDataControllerInfo()->RefreshView();
}

void TqvCustomDataController::LoadFinished() {
  if (GetDetailMode() == 2 && FMasterRecordIndex != -1) Change(dccMasterFocus);
  DoLoadFinished();
}

void TqvCustomDataController::CheckGridModeChange() {
  TqvCustomDataProvider* provider = GetProvider();
  bool gridMode = provider->IsGridMode();
  provider->SetGrouped(GetGroups()->GetGroupingItemCount() > 0);
  if (provider->IsGridMode() != gridMode) ResetStructure();
}
