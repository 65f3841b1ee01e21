// Master-detail between dataset controllers: relations keyed by fields, a detail clone's master
// key values, reopening a detail query for its master, and moving masters along with a detail.
#include "core/qvDataSearch.h"
#include "core/qvClasses.h"
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"

QJ_IMPLEMENT_CLASS(TqvDBDataRelation)

namespace {

// The values of fields in a record: one value, or an array from index 0 for several.
Variant RecordFieldValues(TqvCustomDataController* AController, Integer ARecordIndex,
                          const std::vector<TqvCustomDataField*>& AFields) {
  if (AFields.size() == 1) return AController->GetFieldValue(ARecordIndex, AFields[0]);
  Variant values = VarArrayCreate(0, static_cast<Integer>(AFields.size()) - 1, varVariant);
  for (size_t i = 0; i < AFields.size(); ++i)
    values.SetElement(static_cast<Integer>(i), AController->GetFieldValue(ARecordIndex, AFields[i]));
  return values;
}

std::vector<TqvCustomDataField*> DataFieldsOf(TqvDBDataField* AField) {
  std::vector<TqvCustomDataField*> fields;
  for (Integer i = 0; i < AField->GetSubFieldCount(); ++i) fields.push_back(AField->GetSubField(i));
  if (fields.empty()) fields.push_back(AField);
  return fields;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvDBDataRelation

TqvDBDataRelation::~TqvDBDataRelation() {
  TqvDBDataField* field = FMasterKeyField;
  FMasterKeyField = nullptr;
  Free(field);
}

void TqvDBDataRelation::FieldRemoving(TqvCustomDataField* AField) {
  if (AField == FMasterKeyField) FMasterKeyField = nullptr;
}

TqvDBDataController* TqvDBDataRelation::GetDetailDBDataController() const {
  TqvCustomDataController* pattern = GetDataController()->GetPatternDataController();
  TqvCustomDataRelationList* relations = pattern->GetRelations();
  if (GetIndex() < 0 || GetIndex() >= relations->GetCount()) return nullptr;
  return dynamic_cast<TqvDBDataController*>(relations->GetItem(GetIndex())->GetDetailDataController());
}

String TqvDBDataRelation::GetDetailKeyFieldNames() const {
  TqvDBDataController* detail = GetDetailDBDataController();
  return detail ? detail->GetDetailKeyFieldNames() : String();
}

String TqvDBDataRelation::GetMasterKeyFieldNames() const {
  TqvDBDataController* detail = GetDetailDBDataController();
  return detail ? detail->GetMasterKeyFieldNames() : String();
}

bool TqvDBDataRelation::IsLinked() const {
  TqvDBDataController* detail = GetDetailDBDataController();
  return FMasterKeyField && detail && !detail->GetMasterDetailKeyFieldNames().empty();
}

Variant TqvDBDataRelation::GetMasterKeyValues(Integer ARecordIndex) {
  TqvCustomDataController* master = GetDataController();
  master->CheckRecordRange(ARecordIndex);
  if (!IsLinked()) return Variant();
  return RecordFieldValues(master, ARecordIndex, DataFieldsOf(FMasterKeyField));
}

// ---------------------------------------------------------------------------------------------
// Key field names

TqvDBDataController* TqvDBDataController::GetMasterDBDataController() const {
  return dynamic_cast<TqvDBDataController*>(GetMasterDataController());
}

void TqvDBDataController::MasterDetailKeyFieldNamesChanged() {
  FDetailKeyFieldList.clear();
  FDetailKeyFieldListValid = false;
  if (GetMasterRelation() && GetDetailMode() != 2) GetMasterRelation()->Changed();
}

void TqvDBDataController::SetDetailKeyFieldNames(const String& AValue) {
  if (FDetailKeyFieldNames == AValue) return;
  FDetailKeyFieldNames = AValue;
  MasterDetailKeyFieldNamesChanged();
}

void TqvDBDataController::SetMasterKeyFieldNames(const String& AValue) {
  if (FMasterKeyFieldNames == AValue) return;
  FMasterKeyFieldNames = AValue;
  MasterDetailKeyFieldNamesChanged();
}

String TqvDBDataController::GetMasterDetailKeyFieldNames() const {
  return FMasterKeyFieldNames.empty() ? String() : FDetailKeyFieldNames;
}

const TqvDBFieldList& TqvDBDataController::GetDetailKeyFields() {
  if (FDetailKeyFieldListValid) return FDetailKeyFieldList;
  TDataSet* dataSet = GetDataSet();
  FDetailKeyFieldList = dataSet ? GetDataSetFields(dataSet, GetMasterDetailKeyFieldNames()) : TqvDBFieldList();
  for (TField* field : FDetailKeyFieldList) field->FreeNotification(GetNotifier());
  FDetailKeyFieldListValid = true;
  return FDetailKeyFieldList;
}

void TqvDBDataController::RelationsChanged(TqvCustomDataRelation* ARelation) {
  inherited::RelationsChanged(ARelation);
  UpdateRelationKeyFields();
}

void TqvDBDataController::UpdateRelationKeyFields() {
  if (GetDestroying()) return;
  TqvCustomDataRelationList* relations = GetRelations();
  for (Integer i = 0; i < relations->GetCount(); ++i)
    if (auto* relation = dynamic_cast<TqvDBDataRelation*>(relations->GetItem(i)))
      SetupKeyField(relation->GetMasterKeyFieldNames(), relation->MasterKeyField());
}

void TqvDBDataController::SetMasterRelation(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) {
  TUpdateScope<TqvCustomDataController> update(this);
  inherited::SetMasterRelation(ARelation, AMasterRecordIndex);
  auto* relation = dynamic_cast<TqvDBDataRelation*>(ARelation);
  if (!relation || AMasterRecordIndex == -1) return;
  FMasterKeyValues = relation->GetMasterKeyValues(AMasterRecordIndex);
  LayoutChanged(2);
}

TqvDBProviderDetailFilterAdapter* TqvDBDataController::GetDetailFilterAdapter() const {
  auto* adapter = As<TqvDBProviderDetailFilterAdapter>(DBDetailFilterAdapters()->FindAdapterFor(GetDataSet()));
  if (!adapter) RaiseDataControllerError(&sqvDataDetailFilterControllerNotFound);
  return adapter;
}

// ---------------------------------------------------------------------------------------------
// The detail query and the detail's range

void TqvDBDataController::CheckDetailQuery() {
  if (!FDataModeController->GetDetailInSQLMode() || VarIsEmpty(FMasterKeyValues)) return;
  if (FDataModeController->DetailIsCurrentQuery(GetMasterDetailKeyFieldNames(), FMasterKeyValues)) return;
  TqvDBDataProvider* provider = GetDBProvider();
  TValueScope<bool> inDetailQuery(FInDetailQuery, true, AliveToken());
  TqvProviderLoadScope load(provider);
  provider->First();
  provider->SavePosition();
  provider->SetSyncRecordIndex(0);
}

bool TqvDBDataController::IsDetailQueryPending() {
  if (!IsDetailMode() || !FDataModeController->GetDetailInSQLMode()) return false;
  if (!FDataModeController->GetDetailInSyncMode()) return true;
  TqvDBDataProvider* provider = GetDBProvider();
  if (provider->IsDetailRangeCurrent() || VarIsEmpty(FMasterKeyValues)) return false;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return false;
  return !VarEquals(GetFieldValues(GetDetailKeyFields()), FMasterKeyValues);
}

bool TqvDBDataController::IsMasterDetailSyncing() const {
  TqvCustomDataController* master = GetMasterDataController();
  if (master && master->IsCreatingLinkObject()) return true;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return false;
  for (TqvDBDataProvider* provider : DBDataProviders())
    if (provider->GetDataSet() == dataSet && provider->GetDBDataController()->FInDetailQuery) return true;
  return false;
}

void TqvDBDataController::ResetDetailFocus() {
  TValueScope<bool> reset(FInDetailReset, true, AliveToken());
  ChangeFocusedRecordIndex(-1);
}

// ---------------------------------------------------------------------------------------------
// Moving the masters to the detail dataset's record

TqvDBDataController* TqvDBDataController::SyncMasters() {
  auto* relation = dynamic_cast<TqvDBDataRelation*>(GetMasterRelation());
  TqvDBDataController* master = GetMasterDBDataController();
  if (!relation || !master || GetMasterDetailKeyFieldNames().empty()) return this;
  if (!GetDBProvider()->IsSyncMode() || master->IsCreatingLinkObject()) return nullptr;
  for (TqvDBDataController* m = master; m; m = m->GetMasterDBDataController())
    if (!m->GetDBProvider()->IsSyncMode() || !m->IsKeyNavigation() || m->IsEditing()) return nullptr;
  TValueScope<bool> syncing(master->FInSyncMasters, true, master->AliveToken());
  TDataSet* masterDataSet = master->GetDataSet();
  Variant detailValues = GetFieldValues(GetDataSetFields(GetDataSet(), FDetailKeyFieldNames));
  Variant masterValues = GetFieldValues(GetDataSetFields(masterDataSet, FMasterKeyFieldNames));
  if (!VarEquals(detailValues, masterValues)) {
    TqvLocateScope locate(master);
    if (!masterDataSet->Locate(FMasterKeyFieldNames, detailValues, 0)) return nullptr;
  }
  TqvDBDataController* shown = master->SyncMasters();
  if (!shown) return nullptr;
  Integer record = shown->GetFocusedRecordIndex();
  if (record < 0) return nullptr;
  Integer relationIndex = relation->GetIndex();
  shown->ChangeDetailExpanding(record, true);
  shown->ChangeDetailActiveRelationIndex(record, relationIndex);
  if (!shown->GetDetailExpanded(record)) return nullptr;
  return dynamic_cast<TqvDBDataController*>(shown->GetRecordDetailDataController(record, relationIndex));
}
