// The provider: a detail reads the run of records that belong to its master record; grid mode
// mirrors the data link's buffer window and reads its values on demand.
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"

// ---------------------------------------------------------------------------------------------
// Reading a detail

// A detail in normal mode starts where DetailFirst puts the dataset: at its master's rows.
void TqvDBDataProvider::First() {
  TValueScope<bool> inFirst(FInFirst, true, FAlive.Token());
  TqvCustomDataProvider::First();
  TqvDBDataController* c = GetDBDataController();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  if (!c->IsDetailMode() || IsGridMode()) return dataSet->First();
  const Variant& values = c->GetMasterKeyValues();
  if (VarIsEmpty(values)) return;
  bool reopened = false;
  c->GetDataModeController()->DetailFirst(c->GetMasterDetailKeyFieldNames(), values, reopened);
  if (reopened) SavePosition();
  SetDetailRangeCurrent(true);
}

// A detail's records end at the first record whose detail key differs from the master key.
bool TqvDBDataProvider::IsEOF() const {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return TqvCustomDataProvider::IsEOF();
  TqvDBDataController* c = GetDBDataController();
  if (!c->IsDetailMode() || IsGridMode()) return dataSet->GetEof();
  const Variant& values = c->GetMasterKeyValues();
  if (VarIsEmpty(values) || dataSet->GetEof()) return true;
  if (IsEditState(dataSet->GetState())) return false;
  return !VarEquals(GetFieldValues(c->GetDetailKeyFields()), values);
}

void TqvDBDataProvider::SetDetailRangeCurrent(bool AValue) {
  if (AValue == FDetailRangeCurrent) return;
  TqvDBDataController* c = GetDBDataController();
  if (AValue && c->GetMasterRelation())
    c->ForEachDetail(c->GetMasterRelation(), [c](TqvCustomDataController* ADetail) {
      auto* sibling = dynamic_cast<TqvDBDataController*>(ADetail);
      if (!sibling || sibling == c) return;
      sibling->GetDBProvider()->FDetailRangeCurrent = false;
      sibling->ResetDetailFocus();
    });
  FDetailRangeCurrent = AValue;
}

bool TqvDBDataProvider::IsDetailRangeCurrent() const {
  TqvDBDataController* c = GetDBDataController();
  if (!c->IsDetailMode() || c->GetDataModeController()->GetDetailInSQLMode() || !IsSyncMode())
    return FDetailRangeCurrent;
  if (FInEditRecord) return true;
  bool claimed = FInInsert || ((c->GetFocusedRowIndex() != -1 || FDetailRangeCurrent) && !IsOtherProviderInserting());
  if (!claimed && !(c->GetNewItemRowEnabled() && c->IsNewItemRowFocused() && IsInserting())) return false;
  return !IsAnyEditRecordRunning();
}

bool TqvDBDataProvider::DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  TqvDBDataController* c = GetDBDataController();
  auto* relation = dynamic_cast<TqvDBDataRelation*>(c->GetRelations()->GetItem(ARelationIndex));
  TqvDBDataController* detail = relation ? relation->GetDetailDBDataController() : nullptr;
  if (!detail) return TqvCustomDataProvider::DetailHasChildren(ARecordIndex, ARelationIndex);
  Variant values = relation->GetMasterKeyValues(ARecordIndex);
  if (c->OnDetailHasChildren) {
    bool hasChildren = true;
    TqvDBDataDetailHasChildrenEvent handler = c->OnDetailHasChildren;
    handler(c, ARecordIndex, ARelationIndex, detail->GetMasterDetailKeyFieldNames(), values, hasChildren);
    return hasChildren;
  }
  if (detail->IsGridMode() || detail->GetDataModeController()->GetDetailInSQLMode()) return true;
  TDataSet* dataSet = detail->GetDataSet();
  if (!dataSet || !dataSet->GetActive() || VarIsEmpty(values)) return false;
  TqvProviderLoadScope load(detail->GetDBProvider());
  return dataSet->Locate(detail->GetMasterDetailKeyFieldNames(), values, 0);
}

// ---------------------------------------------------------------------------------------------
// Grid mode

Integer TqvDBDataProvider::GetGridModeBufferCount() const {
  Integer count = GetDBDataController()->GetDataModeController()->GetGridModeBufferCount();
  return count != 0 ? count : GetDBDataController()->GetDefaultGridModeBufferCount();
}

Integer TqvDBDataProvider::GetBufferRecordCount() const { return FDataLink->GetRecordCount(); }

void TqvDBDataProvider::LoadGridModeBuffer() {
  if (!FDataLink->GetActive() || !IsGridMode()) return;
  FDataLink->SetBufferCount(GetGridModeBufferCount());
  GetDataController()->GetStorage()->SetRecordCount(FDataLink->GetRecordCount());
  FSyncRecordIndex = FDataLink->GetActiveRecord();
}

void TqvDBDataProvider::UpdateGridModeBuffer() {
  if (!FDataLink->GetActive() || !IsGridMode()) return;
  FDataLink->SetBufferCount(GetGridModeBufferCount());
  FSyncRecordIndex = FDataLink->GetActiveRecord();
  TqvCustomDataController* c = GetDataController();
  if (c->GetRecordCount() != FDataLink->GetRecordCount()) return DataChanged(dckEverything, -1, -1);
  TAliveToken alive = FAlive.Token();
  DataChanged(dckRecord, -1, -1);
  if (alive) c->ResetFocusedRow();
}

TBookmarkStr TqvDBDataProvider::GetRowBookmark(Integer ARowIndex) const {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !IsGridMode() || ARowIndex < 0 || ARowIndex >= FDataLink->GetRecordCount()) return TBookmarkStr();
  return ReadBufferRow(ARowIndex, [dataSet] { return dataSet->GetBookmark(); });
}

// Rows are buffer rows. Beyond the buffer only an inserted record or the record a search tests
// has values: the dataset's current one.
Variant TqvDBDataProvider::GetGridModeValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  TField* field = FieldOf(AField);
  if (!field) return TqvCustomDataProvider::GetGridModeValue(ARecordIndex, AField);
  auto read = [field] { return field->IsNull() ? Null() : field->GetValue(); };
  if (ARecordIndex >= 0 && ARecordIndex < FDataLink->GetRecordCount()) return ReadBufferRow(ARecordIndex, read);
  return IsInserting() || FInSearch ? read() : Null();
}

String TqvDBDataProvider::GetGridModeDisplayText(Integer ARecordIndex, TqvCustomDataField* AField) {
  TField* field = FieldOf(AField);
  if (!field) return TqvCustomDataProvider::GetGridModeDisplayText(ARecordIndex, AField);
  auto read = [field] { return field->GetDisplayText(); };
  if (ARecordIndex >= 0 && ARecordIndex < FDataLink->GetRecordCount()) return ReadBufferRow(ARecordIndex, read);
  return IsInserting() || FInSearch ? read() : String();
}

// The buffer itself scrolls by ADistance rows: the cursor goes past the rows on its side.
void TqvDBDataProvider::ScrollGridBuffer(Integer ADistance) {
  if (!IsGridMode() || ADistance == 0 || !IsDataAvailable()) return;
  Integer active = FDataLink->GetActiveRecord();
  Integer distance = ADistance < 0 ? ADistance - active : ADistance + FDataLink->GetRecordCount() - active - 1;
  TAliveToken alive = FAlive.Token();
  GetDataSet()->MoveBy(distance);
  if (!alive) return;
  TqvCustomDataController* c = GetDataController();
  c->SyncSingleSelectedRow();
  c->SetFocusedRowSelected(true);
}

Integer TqvDBDataProvider::GetSyncRecordIndex() const {
  if (IsInserting()) {
    if (!FInGridModeUpdate && GetEditingRecordIndex() != qvNoEditedRecordIndex) return GetEditingRecordIndex();
    TqvCustomDataController* c = GetDataController();
    if (FInGridModeUpdate && c->IsNewItemRowFocused()) return c->GetNewRecordIndex();
  }
  return FSyncRecordIndex;
}
