// The controller's editing front ends: the provider it owns, append, insert, edit, post and
// cancel, edit values, deleting the focused row or the selection, and the new-item row.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvVariants.h"
#include "platform/rtl/Scopes.h"

TqvCustomDataProviderClass TqvCustomDataController::GetDataProviderClass() const {
  return &TqvCustomDataProvider::StaticClass();
}

bool TqvCustomDataController::IsProviderMode() const { return GetProvider()->GetUserDataSource() != nullptr; }

bool TqvCustomDataController::IsGridMode() const { return GetProvider()->IsGridMode(); }

bool TqvCustomDataController::IsSourceActive() const { return GetProvider()->IsSourceActive(); }

bool TqvCustomDataController::DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  return GetProvider()->DetailHasChildren(ARecordIndex, ARelationIndex);
}

void TqvCustomDataController::Append() {
  if (GetProvider()->CanAppend()) GetProvider()->Append();
}

void TqvCustomDataController::Insert() {
  if (GetProvider()->CanInsert()) GetProvider()->Insert();
}

void TqvCustomDataController::Edit() {
  if (GetProvider()->CanModify()) GetProvider()->Edit();
}

void TqvCustomDataController::Cancel() {
  if (IsEditing()) GetProvider()->Cancel();
}

void TqvCustomDataController::Post() {
  TAliveToken alive = AliveToken();
  TFinally posted([&] {
    if (alive) GetProvider()->ResetLastPostRecordIndex();
  });
  if (IsEditing()) GetProvider()->Post();
}

void TqvCustomDataController::UpdateData() { GetProvider()->UpdateData(); }

bool TqvCustomDataController::BeginEditItem(Integer AItemIndex) {
  TqvCustomDataField* field = GetField(AItemIndex);
  if (!GetProvider()->CanModify() || !field->CanModify(GetItemValueSource(AItemIndex) != 0)) return false;
  return GetProvider()->EditRecord(GetEditingRecordIndex());
}

bool TqvCustomDataController::SetEditValue(Integer AItemIndex, const Variant& AValue, Integer AEditValueSource) {
  if (!BeginEditItem(AItemIndex)) return false;
  return GetProvider()->SetEditValue(GetEditingRecordIndex(), GetField(AItemIndex), AValue, AEditValueSource);
}

Variant TqvCustomDataController::GetEditValue(Integer AItemIndex, Integer AEditValueSource) {
  TqvCustomDataField* field = GetField(AItemIndex);
  if (IsNewItemRowFocused() && !IsEditing()) return Null();
  return GetProvider()->GetEditValue(GetEditingRecordIndex(), field, AEditValueSource);
}

Integer TqvCustomDataController::GetEditingRecordIndex() const {
  Integer edited = GetProvider()->GetEditingRecordIndex();
  return edited != qvNoEditedRecordIndex ? edited : GetRecordIndexToEdit();
}

Integer TqvCustomDataController::GetRecordIndexToEdit() const {
  if (IsNewItemRowFocused()) return const_cast<TqvCustomDataController*>(this)->GetNewRecordIndex();
  if (GetFocusedRowIndex() == -1) return qvNoEditedRecordIndex;
  return GetFocusedRecordIndex();
}

bool TqvCustomDataController::IsEditing() const {
  return (GetEditState() & (dceInsert | dceEdit)) != 0 &&
         GetProvider()->GetEditingRecordIndex() != qvNoEditedRecordIndex;
}

TqvDataControllerEditState TqvCustomDataController::GetEditState() const {
  TqvCustomDataProvider* provider = GetProvider();
  TqvDataControllerEditState state = 0;
  if (provider->IsInserting())
    state = dceInsert;
  else if (provider->IsEditing())
    state = dceEdit;
  else
    return 0;
  if (provider->IsEditingItem()) state |= dceChanging;
  if (provider->IsModified()) state |= dceModified;
  return state;
}

TqvDataControllerEditOperations TqvCustomDataController::GetEditOperations() const {
  TqvCustomDataProvider* provider = GetProvider();
  TqvDataControllerEditOperations operations = 0;
  if (provider->CanAppend()) operations |= dceopAppend;
  if (provider->CanDelete()) operations |= dceopDelete;
  if (provider->CanModify()) operations |= dceopEdit;
  if (provider->CanInsert()) operations |= dceopInsert;
  if (!provider->IsSourceActive() || provider->IsSyncMode()) operations |= dceopItemEdit;
  return operations;
}

void TqvCustomDataController::CheckEditingRecordRemoved(Integer ARecordIndex) {
  if (FProvider) FProvider->CheckEditingRecordRemoved(ARecordIndex);
}

// A group row deletes exactly the records of its group, each once, whatever the view order.
void TqvCustomDataController::DeleteFocused() {
  Integer row = GetFocusedRowIndex();
  if (row == -1 || !GetProvider()->CanDelete()) return;
  if (GetRowInfo(row).Level >= GetGroups()->GetGroupingItemCount()) return GetProvider()->DeleteFocusedRecord();
  std::vector<Integer> records;
  GetGroups()->LoadRecordIndexesByRowIndex(records, row);
  GetProvider()->DeleteRecords(records);
}

void TqvCustomDataController::DeleteSelection() {
  if (GetSelectedCount() == 0 || !GetProvider()->CanDelete()) return;
  if (IsMultiSelectDisabled())
    GetProvider()->DeleteFocusedRecord();
  else
    GetProvider()->DeleteSelection();
}

void TqvCustomDataController::SetNewItemRowEnabled(bool AValue) {
  if (FNewItemRowEnabled == AValue) return;
  Cancel();
  ClearSelection();
  FNewItemRowEnabled = AValue;
  Change(dccData);
}

void TqvCustomDataController::SetNewItemRowFocused(bool AValue) {
  if (FNewItemRowFocused == AValue) return;
  TUpdateScope update(this);
  if (AValue)
    ChangeFocusedRowIndex(-1);
  else if (!IsOwnerDestroying())
    Post();
  GetDataControllerInfo()->FocusedRecordChanged(true);
  FNewItemRowFocused = AValue;
}

bool TqvCustomDataController::IsNewItemRowFocused() const {
  return FNewItemRowEnabled && FNewItemRowFocused && GetFocusedRecordIndex() == -1;
}

std::vector<Variant> TqvCustomDataController::GetGroupingValues(Integer ARecordIndex) {
  std::vector<Variant> values;
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return values;
  TqvDataControllerGroups* groups = GetGroups();
  for (Integer level = 0; level < groups->GetGroupingItemCount(); ++level)
    values.push_back(GetValue(ARecordIndex, groups->GetItemIndexByLevel(level)));
  return values;
}
