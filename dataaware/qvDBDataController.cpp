// The dataset data controller: construction, data mode settings, the dataset, loading, and the
// focus that moves the dataset along.
#include "core/qvClasses.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSearch.h"
#include "dataaware/qvDBData.h"
#include "dataaware/qvDBDataKeys.h"

QJ_IMPLEMENT_CLASS(TqvDBDataModeController)
QJ_IMPLEMENT_CLASS(TqvDBDataController)

// ---------------------------------------------------------------------------------------------
// TqvDBDataModeController

TPersistent* TqvDBDataModeController::GetOwner() { return FDataController; }

void TqvDBDataModeController::Assign(TPersistent* ASource) {
  auto* source = As<TqvDBDataModeController>(ASource);
  if (!source) return inherited::Assign(ASource);
  SetDetailInSQLMode(source->FDetailInSQLMode);
  SetDetailInSyncMode(source->FDetailInSyncMode);
  SetGridMode(source->FGridMode);
  SetGridModeBufferCount(source->FGridModeBufferCount);
  SetSmartRefresh(source->FSmartRefresh);
  SetSyncInsert(source->FSyncInsert);
  SetSyncMode(source->FSyncMode);
  OnDetailFirst = source->OnDetailFirst;
  OnDetailIsCurrentQuery = source->OnDetailIsCurrentQuery;
}

void TqvDBDataModeController::SetGridMode(bool AValue) {
  if (FGridMode == AValue) return;
  bool wasGridMode = FDataController->IsGridMode();
  FGridMode = AValue;
  if (FDataController->IsGridMode() != wasGridMode) FDataController->ResetStructure();
}

void TqvDBDataModeController::SetGridModeBufferCount(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FGridModeBufferCount == AValue) return;
  FGridModeBufferCount = AValue;
  FDataController->UpdateGridModeBufferCount();
}

void TqvDBDataModeController::SetSmartRefresh(bool AValue) {
  if (FSmartRefresh == AValue) return;
  FSmartRefresh = AValue;
  if (!FDataController->IsGridMode()) FDataController->GetDBProvider()->Scrolled(0);
}

void TqvDBDataModeController::SetSyncMode(bool AValue) {
  if (FSyncMode == AValue) return;
  FSyncMode = AValue;
  if (FDataController->GetDBProvider()->IsDataAvailable()) FDataController->GetDBProvider()->Scrolled(0);
}

bool TqvDBDataModeController::DetailIsCurrentQuery(const String& AMasterDetailKeyFieldNames,
                                                   const Variant& AMasterDetailKeyValues) {
  TDataSet* dataSet = FDataController->GetDataSet();
  if (OnDetailIsCurrentQuery) {
    TqvDBDataModeControllerDetailIsCurrentQueryEvent handler = OnDetailIsCurrentQuery;
    return handler(this, dataSet, AMasterDetailKeyFieldNames, AMasterDetailKeyValues);
  }
  return FDataController->GetDetailFilterAdapter()->IsCurrentQuery(dataSet, AMasterDetailKeyFieldNames,
                                                                    AMasterDetailKeyValues);
}

void TqvDBDataModeController::DetailFirst(const String& AMasterDetailKeyFieldNames,
                                          const Variant& AMasterDetailKeyValues, bool& AReopened) {
  AReopened = false;
  TDataSet* dataSet = FDataController->GetDataSet();
  if (OnDetailFirst) {
    TqvDBDataModeControllerDetailFirstEvent handler = OnDetailFirst;
    return handler(this, dataSet, AMasterDetailKeyFieldNames, AMasterDetailKeyValues, AReopened);
  }
  FDataController->GetDetailFilterAdapter()->SelectDetail(dataSet, AMasterDetailKeyFieldNames, AMasterDetailKeyValues,
                                                          FDetailInSQLMode, AReopened);
}

// ---------------------------------------------------------------------------------------------
// Construction and settings

TqvDBDataController::TqvDBDataController(TComponent* AOwner)
    : TqvCustomDataController(AOwner), FDataModeController(MakeOwned<TqvDBDataModeController>(this)) {}

TqvDBDataController::~TqvDBDataController() = default;

void TqvDBDataController::Assign(TPersistent* ASource) {
  inherited::Assign(ASource);
  auto* source = As<TqvDBDataController>(ASource);
  if (!source) return;
  FDataModeController->Assign(source->FDataModeController.get());
  SetDataSource(source->GetDataSource());
  SetKeyFieldNames(source->FKeyFieldNames);
  SetDetailKeyFieldNames(source->FDetailKeyFieldNames);
  SetMasterKeyFieldNames(source->FMasterKeyFieldNames);
  OnDetailHasChildren = source->OnDetailHasChildren;
}

TObject* TqvDBDataController::GetItem(Integer AIndex) const { return GetField(AIndex)->GetItem(); }

TqvCustomDataProviderClass TqvDBDataController::GetDataProviderClass() const {
  return &TqvDBDataProvider::StaticClass();
}

TqvDataSelectionClass TqvDBDataController::GetSelectionClass() const { return &TqvDBDataSelection::StaticClass(); }

TqvCustomDataFieldClass TqvDBDataController::GetFieldClass() const { return &TqvDBDataField::StaticClass(); }

TqvDataFilterCriteriaClass TqvDBDataController::GetFilterCriteriaClass() const {
  return &TqvDBDataFilterCriteria::StaticClass();
}

TqvCustomDataRelationClass TqvDBDataController::GetRelationClass() const {
  return &TqvDBDataRelation::StaticClass();
}

TqvSummaryItemClass TqvDBDataController::GetSummaryItemClass() const { return &TqvDBDataSummaryItem::StaticClass(); }

TqvDBDataProvider* TqvDBDataController::GetDBProvider() const { return static_cast<TqvDBDataProvider*>(GetProvider()); }

TqvDBDataSelection* TqvDBDataController::GetDBSelection() const {
  return static_cast<TqvDBDataSelection*>(GetDataControllerInfo()->GetSelection());
}

TqvDBDataFilterCriteria* TqvDBDataController::GetDBFilter() const {
  return static_cast<TqvDBDataFilterCriteria*>(GetFilter());
}

// ---------------------------------------------------------------------------------------------
// The dataset

TDataSet* TqvDBDataController::GetDataSet() const { return GetDBProvider()->GetDataSet(); }

TDataSource* TqvDBDataController::GetDataSource() const { return GetDBProvider()->GetDataSource(); }

void TqvDBDataController::SetDataSource(TDataSource* AValue) {
  if (GetDataSource() == AValue) return;
  GetDBProvider()->SetDataSource(AValue);
  DataSourceChanged();
}

Integer TqvDBDataController::GetDataSetRecordCount() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() ? dataSet->GetRecordCount() : 0;
}

Integer TqvDBDataController::GetDataSetRecNo() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() ? dataSet->GetRecNo() : -1;
}

void TqvDBDataController::SetDataSetRecNo(Integer ARecNo) {
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetActive()) dataSet->SetRecNo(ARecNo);
}

void TqvDBDataController::UpdateGridModeBufferCount() {
  if (IsGridMode()) GetDBProvider()->UpdateGridModeBuffer();
}

void TqvDBDataController::RefreshSource() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Refresh();
}

bool TqvDBDataController::ExecuteAction(TBasicAction* Action) {
  return inherited::ExecuteAction(Action) || GetDBProvider()->GetDataLink()->ExecuteAction(Action);
}

bool TqvDBDataController::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action) || GetDBProvider()->GetDataLink()->UpdateAction(Action);
}

Integer TqvDBDataController::GetActiveRecordIndex() const {
  if (IsGridMode()) return GetDBProvider()->GetDataLink()->GetActiveRecord();
  return inherited::GetActiveRecordIndex();
}

void TqvDBDataController::GridModeBufferScrolled() { Change(dccLayout); }

// ---------------------------------------------------------------------------------------------
// Loading and structure

// Expanded details and the selection are kept by key across the load. A pattern detail reads no
// records, but its focus still follows the dataset (which moves its masters along).
void TqvDBDataController::LoadData() {
  TqvSaveObject saved;
  saved.Save(this);
  TAliveToken alive = AliveToken();
  inherited::LoadData();
  if (!alive) return;
  saved.Restore(this);
  if (IsPattern() && alive) ResetFocusedRow();
  if (alive) GetDBProvider()->ResetRefreshRequired();
}

void TqvDBDataController::DoLoadFinished() { GetDBProvider()->NotifyRefreshAfterLoad(); }

void TqvDBDataController::ResetStructure() {
  if (!IsGridMode()) GetDBProvider()->GetDataLink()->SetBufferCount(1);
  inherited::ResetStructure();
}

void TqvDBDataController::OwnerLoaded() {
  TAliveToken alive = AliveToken();
  if (GetDBProvider()->IsStructureAvailable()) LayoutChanged(1);
  if (alive) inherited::OwnerLoaded();
}

// ---------------------------------------------------------------------------------------------
// Focus and editing

bool TqvDBDataController::CanChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) {
  if (!IsGridMode()) return inherited::CanChangeDetailExpanding(ARecordIndex, AExpanded);
  if (AExpanded) ChangeFocusedRecordIndex(ARecordIndex);
  return true;
}

// The dataset goes to the record about to get the focus: by key, or by rows counted from the
// dataset's current record.
bool TqvDBDataController::MoveToRecord(Integer ARecordIndex) {
  TqvDBDataProvider* provider = GetDBProvider();
  if (IsKeyNavigation()) return GetDataSet()->Locate(FKeyFieldNames, GetKeyValues(ARecordIndex), 0);
  provider->MoveBy(ARecordIndex - provider->GetSyncRecordIndexValue());
  return true;
}

bool TqvDBDataController::DetailRecordCanFocus(Integer ARecordIndex) {
  TqvDBDataProvider* provider = GetDBProvider();
  if (IsDetailMode() && FDataModeController->GetDetailInSyncMode() && !FInDetailReset) CheckDetailQuery();
  if ((IsDetailMode() && FInDetailReset) || !provider->IsSyncMode()) return inherited::CanFocusRecord(ARecordIndex);
  if (ARecordIndex < 0) return false;
  return MoveToRecord(ARecordIndex);
}

bool TqvDBDataController::CanFocusRecord(Integer ARecordIndex) {
  TqvDBDataProvider* provider = GetDBProvider();
  bool inserting = provider->IsInserting();
  if ((inserting && ARecordIndex == provider->GetEditingRecordIndex()) || (IsNewItemRowFocused() && ARecordIndex < 0)) {
    if (!inserting && ARecordIndex < 0) Post();
    return true;
  }
  TAliveToken alive = AliveToken();
  bool result;
  {
    TqvLocateScope locate(this);
    result = DetailRecordCanFocus(ARecordIndex);
  }
  if (alive) LoadFinished();
  return result;
}

void TqvDBDataController::CheckEditingFinished() {
  TValueScope<bool> checking(FInCheckEditing, true, AliveToken());
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetActive()) dataSet->CheckBrowseMode();
}

// A master finishes its edit first; either may go away meanwhile.
bool TqvDBDataController::CanChangeFocusedRow() {
  TqvCustomDataController* master = GetMasterDataController();
  if (!master) return true;
  if (!master->CanChangeFocusedRow()) return false;
  TAliveToken masterAlive = master->AliveToken();
  TAliveToken alive = AliveToken();
  master->CheckEditingFinished();
  if (!masterAlive || !alive) return false;
  CheckEditingFinished();
  return masterAlive && alive;
}

void TqvDBDataController::RecordDeleted(Integer ARecordIndex) {
  inherited::RecordDeleted(ARecordIndex);
  TqvDBDataProvider* provider = GetDBProvider();
  if (provider->GetTrackedRecordIndex() == ARecordIndex) provider->ResetInsertTracking();
  if (provider->GetDeletedRecordIndex() == ARecordIndex) provider->ResetDeletedRecordIndex();
}

bool TqvDBDataController::FindTextInSource(const String& AText, bool AForward, bool ANext) {
  TqvDataControllerSearch* search = GetSearch();
  search->Lock();
  TFinally unlock([search, alive = AliveToken()] {
    if (alive) search->Unlock();
  });
  return GetDBProvider()->FindTextInDataSet(AText, AForward, ANext);
}

void TqvDBDataController::ResetFocusedRow() {
  TUpdateScope<TqvCustomDataController> update(this);
  inherited::ResetFocusedRow();
  if (GetDBProvider()->IsSyncMode()) SyncFocusedRecord();
}

// The focus follows the dataset: a pattern detail moves its masters along, a controller with
// key fields finds the dataset's record by key.
void TqvDBDataController::SyncFocusedRecord() {
  TqvDBDataProvider* provider = GetDBProvider();
  if (GetDetailMode() == 1) {
    if (!provider->IsChangeFromProviders() && !FInSyncMasters && !FInCheckEditing) SyncMasters();
    return;
  }
  if (!IsKeyNavigation()) return;
  Integer record = LocateRecordIndex([this](std::vector<TqvCustomDataField*>& AFields) { AFields = GetKeyDataFields(); });
  if (record == provider->GetSyncRecordIndexValue()) return;
  provider->SetSyncRecordIndex(record);
  inherited::ResetFocusedRow();
}
