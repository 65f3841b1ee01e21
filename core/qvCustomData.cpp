#include "core/qvCustomData.h"

#include <algorithm>
#include <memory>

#include "core/qvDataPipeline.h"
#include "core/qvDataSearch.h"
#include "core/qvDataSummary.h"
#include "core/qvFilter.h"
#include "core/qvVariants.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(EqvInvalidDataControllerOperation)
QJ_IMPLEMENT_CLASS(TqvUpdateControlInfo)
QJ_IMPLEMENT_CLASS(TqvDataChangedInfo)
QJ_IMPLEMENT_CLASS(TqvLayoutChangedInfo)
QJ_IMPLEMENT_CLASS(TqvUpdateRecordInfo)
QJ_IMPLEMENT_CLASS(TqvFocusedRowChangedInfo)
QJ_IMPLEMENT_CLASS(TqvFocusedRecordChangedInfo)
QJ_IMPLEMENT_CLASS(TqvSelectionChangedInfo)
QJ_IMPLEMENT_CLASS(TqvSearchChangedInfo)
QJ_IMPLEMENT_CLASS(TqvBookmarkChangedInfo)
QJ_IMPLEMENT_CLASS(TqvCustomDataController)

void RaiseDataControllerError(PResStringRec AMessage) {
  RaiseResourceError<EqvInvalidDataControllerOperation>(AMessage);
}

namespace {

// The form in which a collected data change is reported.
TqvDataChange Normalised(TqvDataChange AChange) {
  if (AChange.Kind == dckCell && AChange.ItemIndex == -1) AChange.Kind = dckRecord;
  if ((AChange.Kind == dckCell || AChange.Kind == dckRecord) && AChange.RecordIndex == -1)
    AChange.Kind = dckEverything;
  return AChange;
}

}  // namespace

TqvSelectionChangedInfo::TqvSelectionChangedInfo(Integer APrevRowIndex, Integer ARowIndex) {
  if (APrevRowIndex != -1) RowIndexes.push_back(APrevRowIndex);
  if (ARowIndex != -1 && ARowIndex != APrevRowIndex) RowIndexes.push_back(ARowIndex);
}

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomDataController::TqvCustomDataController(TComponent* AOwner)
    : FOwner(AOwner),
      FStorage(std::make_unique<TqvDataStorage>()),
      FFields(MakeOwned<TqvCustomDataFieldList>(this)) {
  FStorage->SetController(this);
  FStorage->OnInternalRecordsCleared = [this](TqvDataStorage*) { InternalRecordsCleared(); };
}

void TqvCustomDataController::AfterConstruction() {
  inherited::AfterConstruction();
  FProvider.reset(GetDataProviderClass()->Create(this));
  FDataControllerInfo = MakeOwned<TqvCustomDataControllerInfo>(this);
  FGroups = MakeOwned<TqvDataControllerGroups>(this);
  FFilter.reset(GetFilterCriteriaClass()->Create(this));
  FSummary.reset(GetSummaryClass()->Create(this));
  FSearch = MakeOwned<TqvDataControllerSearch>(this);
}

TqvCustomDataController::~TqvCustomDataController() {
  FDestroying = true;
  // A pattern leaves its relation; a clone's relation may be gone with its master already.
  if (GetDetailMode() == 1 && FMasterRelation && FMasterRelation->FDetailDataController == this)
    FMasterRelation->FDetailDataController = nullptr;
  FRelations.reset();
  FSearch.reset();
  FNotifier.reset();
  FSummary.reset();
  FFilter.reset();
  FGroups.reset();
  FDataControllerInfo.reset();
  FStorage->Clear(false);
  FFields->Clear();
  FFields.reset();
  FStorage.reset();
  FProvider.reset();
  FListeners.clear();
}

void TqvCustomDataController::BeforeDestruction() {
  FDestroying = true;
  inherited::BeforeDestruction();
}

void TqvCustomDataController::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TqvCustomDataController*>(ASource);
  if (!source) return inherited::Assign(ASource);
  OnCompare = source->OnCompare;
  OnDataChanged = source->OnDataChanged;
  OnGroupingChanged = source->OnGroupingChanged;
  OnRecordChanged = source->OnRecordChanged;
  OnSortingChanged = source->OnSortingChanged;
  SetSummary(source->GetSummary());
}

void TqvCustomDataController::SetOptions(TqvDataControllerOptions AValue) {
  if (FOptions == AValue) return;
  FOptions = AValue;
  UpdateView();
}

// ---------------------------------------------------------------------------------------------
// Items and fields

TqvCustomDataFieldClass TqvCustomDataController::GetFieldClass() const {
  return &TqvCustomDataField::StaticClass();
}

TqvCustomDataField* TqvCustomDataController::CreateField() {
  TqvCustomDataField* field = GetFieldClass()->Create(FFields.get());
  FFields->Add(field);
  return field;
}

TqvCustomDataField* TqvCustomDataController::CreateInternalField() {
  TqvCustomDataField* field = GetFieldClass()->Create(FFields.get());
  field->SetIsInternal(true);
  FFields->Add(field);
  return field;
}

void TqvCustomDataController::AddItem(TObject* AItem) {
  if (AItem && FFields->FieldByItem(AItem)) RaiseDataControllerError(&sqvDataItemExistError);
  CreateField()->SetItem(AItem);
}

void TqvCustomDataController::RemoveItem(TObject* AItem) {
  TqvCustomDataField* field = AItem ? FFields->FieldByItem(AItem) : nullptr;
  if (!field) return;
  TUpdateScope update(this);
  if (FFilter) FFilter->RemoveItemByItemLink(AItem);  // no condition may outlive its field
  Free(field);
  Change(dccLayout);
}

void TqvCustomDataController::UpdateItemIndexes() {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (TqvCustomDataField* field = FFields->FieldByItem(GetItem(i))) field->SetIndex(i);
  Change(dccLayout);
}

Integer TqvCustomDataController::GetItemCount() const { return FFields->GetItemCount(); }

TqvCustomDataField* TqvCustomDataController::GetField(Integer AItemIndex) const {
  CheckItemRange(AItemIndex);
  return FFields->GetItem(AItemIndex);
}

void TqvCustomDataController::ChangeValueTypeClass(Integer AItemIndex, TqvValueTypeClass AValueTypeClass) {
  TqvCustomDataField* field = GetField(AItemIndex);
  if (field->GetValueTypeClass() == AValueTypeClass) return;
  TUpdateScope update(this);
  field->ChangeValueType(AValueTypeClass);
  GetDataControllerInfo()->FieldChanged(field);
  ItemValueTypeClassChanged(AItemIndex);
}

TqvValueTypeClass TqvCustomDataController::GetItemValueTypeClass(Integer AItemIndex) const {
  return GetField(AItemIndex)->GetEffectiveValueType();
}

void TqvCustomDataController::ChangeItemTextStored(Integer AItemIndex, bool AValue) {
  if (GetItemTextStored(AItemIndex) == AValue) return;
  TUpdateScope update(this);
  GetField(AItemIndex)->SetKeepsDisplayText(AValue);
  GetDataControllerInfo()->FieldChanged(GetField(AItemIndex));
}

bool TqvCustomDataController::GetItemTextStored(Integer AItemIndex) const {
  return GetField(AItemIndex)->GetTextStored();
}

void TqvCustomDataController::ChangeItemSortConversion(Integer AItemIndex, bool AValue) {
  if (GetItemSortConversion(AItemIndex) == AValue) return;
  TUpdateScope update(this);
  GetField(AItemIndex)->SetForceSortConversion(AValue);
  GetDataControllerInfo()->FieldChanged(GetField(AItemIndex));
}

bool TqvCustomDataController::GetItemSortConversion(Integer AItemIndex) const {
  return GetField(AItemIndex)->GetForceSortConversion();
}

TObject* TqvCustomDataController::FindItemByID(Integer AID) const {
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TObject* item = GetItem(i);
    if (GetItemID(item) == AID) return item;
  }
  return nullptr;
}

Integer TqvCustomDataController::GetItemID(TObject*) const { return -1; }

TObject* TqvCustomDataController::FindItemLike(TObject* AItem) const { return FindItemByID(GetItemID(AItem)); }

void TqvCustomDataController::NotifyComponentRemoved(TComponent* AComponent) {
  FFields->NotifyComponentRemoved(AComponent);
}

void TqvCustomDataController::FieldRemoving(TqvCustomDataField* AField) {
  if (FRelations) FRelations->FieldRemoving(AField);
  if (FDataControllerInfo && !FDestroying) FDataControllerInfo->FieldRemoved(AField);
  if (FSearch) FSearch->FieldRemoving(AField);
  if (AField == FIncrementalFilterField && !FDestroying) ClearIncrementalFilter();
  if (AField == FKeyField) FKeyField = nullptr;
  if (FSummary && !FDestroying) FSummary->FieldRemoved(AField);
}

// ---------------------------------------------------------------------------------------------
// Values and texts

Variant TqvCustomDataController::GetValue(Integer ARecordIndex, Integer AItemIndex) {
  CheckRecordRange(ARecordIndex);
  return GetFieldValue(ARecordIndex, GetField(AItemIndex));
}

String TqvCustomDataController::GetDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  CheckRecordRange(ARecordIndex);
  return GetFieldDisplayText(ARecordIndex, GetField(AItemIndex));
}

// In provider mode the values of real records live in the user data source; in grid mode the
// provider answers from its buffer.
Variant TqvCustomDataController::GetFieldValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  if (ARecordIndex >= 0 && IsProviderMode() && IsProviderField(AField))
    return GetProvider()->GetValue(ARecordIndex, AField);
  if (IsGridMode() && IsProviderField(AField)) return GetProvider()->GetGridModeValue(ARecordIndex, AField);
  TqvValueDef* def = AField->GetStorageDef();
  return def ? FStorage->GetValue(ARecordIndex, def) : Null();
}

String TqvCustomDataController::GetFieldDisplayText(Integer ARecordIndex, TqvCustomDataField* AField) {
  if (ARecordIndex >= 0 && IsProviderMode() && IsProviderField(AField))
    return GetProvider()->GetDisplayText(ARecordIndex, AField);
  if (IsGridMode() && IsProviderField(AField)) return GetProvider()->GetGridModeDisplayText(ARecordIndex, AField);
  TqvValueDef* def = AField->GetStorageDef();
  return def ? FStorage->GetDisplayText(ARecordIndex, def) : String();
}

bool TqvCustomDataController::IsProviderField(TqvCustomDataField* AField) const {
  if (!AField->GetIsInternal()) return true;
  TqvCustomDataField* reference = AField->GetReferenceField();
  return reference && !reference->GetIsInternal();
}

bool TqvCustomDataController::CanReadStoredValues(TqvCustomDataField* AField) const {
  if (IsGridMode() || (IsProviderMode() && IsProviderField(AField))) return false;
  const TqvValueDef* def = AField->GetStorageDef();
  return def && def->HasPlace();
}

void TqvCustomDataController::SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue) {
  if (IsGridMode()) return;
  CheckRecordRange(ARecordIndex);
  TqvCustomDataField* field = GetField(AItemIndex);
  if (ARecordIndex >= 0 && IsProviderMode() && IsProviderField(field)) {
    GetProvider()->SetValue(ARecordIndex, field, AValue);
    return DataChanged(dckCell, AItemIndex, ARecordIndex);
  }
  TqvValueDef* def = field->GetStorageDef();
  if (!def) return;
  FStorage->SetValue(ARecordIndex, def, AValue);
  DataChanged(dckCell, AItemIndex, ARecordIndex);
}

void TqvCustomDataController::SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const String& AText) {
  if (IsGridMode()) return;
  CheckRecordRange(ARecordIndex);
  TqvCustomDataField* field = GetField(AItemIndex);
  if (ARecordIndex >= 0 && IsProviderMode() && IsProviderField(field)) {
    GetProvider()->SetDisplayText(ARecordIndex, field, AText);
    return DataChanged(dckCell, AItemIndex, ARecordIndex);
  }
  TqvValueDef* def = field->GetStorageDef();
  if (!def) return;
  FStorage->SetDisplayText(ARecordIndex, def, AText);
  DataChanged(dckCell, AItemIndex, ARecordIndex);
}

Variant TqvCustomDataController::GetGroupingValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  return GetFieldValue(ARecordIndex, AField);
}

Variant TqvCustomDataController::GetFilterValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  return GetFieldValue(ARecordIndex, AField);
}

String TqvCustomDataController::GetIncrementalSearchText(Integer ARecordIndex, Integer AItemIndex) {
  return GetDisplayText(ARecordIndex, AItemIndex);
}

String TqvCustomDataController::GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  return GetDisplayText(ARecordIndex, AItemIndex);
}

String TqvCustomDataController::GetItemDisplayName(Integer AItemIndex) const {
  CheckItemRange(AItemIndex);
  return String();
}

String TqvCustomDataController::GetItemFilterFieldName(Integer AItemIndex) const {
  return GetItemDisplayName(AItemIndex);
}

// Restoring a record (a cancelled edit, the new-record buffer posted) is a change of that record,
// so the application hears it through OnRecordChanged like any other.
// In provider mode the values of real records are read from and written into the user data source.
void TqvCustomDataController::CopyRecord(Integer ASourceRecordIndex, Integer ADestRecordIndex) {
  bool providerMode = IsProviderMode();
  for (Integer i = 0; i < FFields->GetCount(); ++i) {
    TqvCustomDataField* field = FFields->GetItem(i);
    if (field->GetIsInternal()) continue;
    bool providerField = providerMode && IsProviderField(field);
    if (providerField && ADestRecordIndex >= 0)
      CopyValueToProvider(ASourceRecordIndex, ADestRecordIndex, field);
    else if (providerField && ASourceRecordIndex >= 0)
      CopyValueFromProvider(ASourceRecordIndex, ADestRecordIndex, field);
    else if (TqvValueDef* def = field->GetStorageDef())
      FStorage->CopyValue(ASourceRecordIndex, ADestRecordIndex, def);
  }
  if (ADestRecordIndex >= 0) DataChanged(dckRecord, -1, ADestRecordIndex);
}

void TqvCustomDataController::CopyValueToProvider(Integer ASourceRecordIndex, Integer ADestRecordIndex,
                                                  TqvCustomDataField* AField) {
  GetProvider()->SetValue(ADestRecordIndex, AField, GetFieldValue(ASourceRecordIndex, AField));
}

void TqvCustomDataController::CopyValueFromProvider(Integer ASourceRecordIndex, Integer ADestRecordIndex,
                                                    TqvCustomDataField* AField) {
  TqvValueDef* def = AField->GetStorageDef();
  if (!def) return;
  FStorage->SetValue(ADestRecordIndex, def, GetFieldValue(ASourceRecordIndex, AField));
  FStorage->SetDisplayText(ADestRecordIndex, def, GetFieldDisplayText(ASourceRecordIndex, AField));
}

// ---------------------------------------------------------------------------------------------
// Records

Integer TqvCustomDataController::GetRecordCount() const { return FStorage->GetRecordCount(); }

void TqvCustomDataController::SetRecordCount(Integer ACount) {
  if (IsGridMode()) return;
  ACount = std::max(ACount, 0);
  Integer oldCount = GetRecordCount();
  if (ACount == oldCount) return;
  if (IsProviderMode()) return GetProvider()->SetRecordCount(ACount);
  TUpdateScope update(this);
  FStorage->SetRecordCount(ACount);
  CheckSelectionAndBookmark(-1);
  CheckEditingRecordRemoved(-1);
  DataChanged(ACount > oldCount ? dckRecordsInserted : dckRecordsDeleted, -1, -1);
}

Integer TqvCustomDataController::AppendRecord() {
  if (IsAppendOnlyMode()) return AppendRecordFromSource();
  if (IsProviderMode()) return GetProvider()->AppendRecordInSource();
  Integer index = FStorage->AppendRecord();
  DataChanged(dckRecordsInserted, -1, -1);
  return index;
}

Integer TqvCustomDataController::InsertRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount()) RaiseDataControllerError(&sqvDataRecordIndexError);
  if (IsAppendOnlyMode()) return AppendRecordFromSource();
  if (IsProviderMode()) return GetProvider()->InsertRecordInSource(ARecordIndex);
  TUpdateScope update(this);
  FStorage->InsertRecord(ARecordIndex);
  GetDataControllerInfo()->RecordInserted(ARecordIndex);
  ShiftBookmark(ARecordIndex, 1);
  RecordInserted(ARecordIndex);
  DataChanged(dckRecordsInserted, -1, -1);
  return ARecordIndex;
}

void TqvCustomDataController::DeleteRecord(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  if (IsAppendOnlyMode() && FAppendInProgress) return DeleteRecordData(ARecordIndex);
  TUpdateScope update(this);
  if (ARecordIndex >= 0 && IsProviderMode()) return DeleteRecordInProvider(ARecordIndex);
  RemoveStorageRecord(ARecordIndex);
}

// The source may reload the provider while it deletes; when it did not, the storage record of
// the handle goes here, with the same bookkeeping as any deletion.
void TqvCustomDataController::DeleteRecordInProvider(Integer ARecordIndex) {
  TqvCustomDataProvider* provider = GetProvider();
  if (provider->GetEditingRecordIndex() == ARecordIndex) provider->EndEditing();
  TqvRecordHandle handle = provider->GetRecordHandle(ARecordIndex);
  provider->DeleteRecordInSource(ARecordIndex);
  if (ARecordIndex < GetRecordCount() && provider->GetRecordHandle(ARecordIndex) == handle)
    RemoveStorageRecord(ARecordIndex);
}

void TqvCustomDataController::RemoveStorageRecord(Integer ARecordIndex) {
  FStorage->DeleteRecord(ARecordIndex);
  RecordDeleted(ARecordIndex);
  CheckSelectionAndBookmark(ARecordIndex);
  if (ARecordIndex == FNewRecordIndex) FNewRecordIndex = 0;
  DataChanged(dckRecordsDeleted, -1, -1);
}

void TqvCustomDataController::DeleteRecordData(Integer ARecordIndex) {
  if (ARecordIndex >= 0 && IsProviderMode()) GetProvider()->DeleteRecordInSource(ARecordIndex);
  if (ARecordIndex < GetRecordCount()) FStorage->DeleteRecord(ARecordIndex);
}

// Appends the source's current record: in provider mode the source makes a new record and the
// provider keeps its handle; otherwise the provider's reader copies the record into the storage.
Integer TqvCustomDataController::AppendRecordFromSource() {
  Integer index;
  {
    TValueScope appending(FAppendInProgress, true);
    if (IsProviderMode()) {
      index = GetProvider()->AppendRecordInSource();
    } else {
      std::unique_ptr<TqvValueDefReader> reader(GetProvider()->CreateValueDefReader());
      if (!reader) RaiseDataControllerError(&sqvDataReadError);
      index = AppendRecordFromReader(reader.get());
    }
  }
  DataChanged(dckRecordsInserted, -1, -1);
  return index;
}

// In provider mode the reader gives the record's handle as the value of the key field.
Integer TqvCustomDataController::AppendRecordFromReader(TqvValueDefReader* AReader) {
  if (IsProviderMode()) {
    TqvValueDef* key = FKeyField ? FKeyField->GetStorageDef() : nullptr;
    Variant handle = key ? AReader->GetValue(key) : Null();
    if (VarIsNull(handle) || VarIsEmpty(handle)) RaiseDataControllerError(&sqvDataReadError);
    return GetProvider()->AppendRecordHandle(static_cast<TqvRecordHandle>(handle.AsInt64()));
  }
  Integer index = FStorage->AppendRecord();
  FStorage->ReadRecord(index, AReader, true);
  RecordLoaded(index);
  return index;
}

void TqvCustomDataController::CheckRecordRange(Integer ARecordIndex) const {
  bool inRange = ARecordIndex >= 0 && ARecordIndex < GetRecordCount();
  if (!inRange && !IsNewRecordIndex(ARecordIndex)) RaiseDataControllerError(&sqvDataRecordIndexError);
}

void TqvCustomDataController::CheckItemRange(Integer AItemIndex) const {
  if (AItemIndex < 0 || AItemIndex >= GetItemCount()) RaiseDataControllerError(&sqvDataItemIndexError);
}

Integer TqvCustomDataController::GetNewRecordIndex() {
  if (FNewRecordIndex == 0) FNewRecordIndex = FStorage->AddInternalRecord();
  return FNewRecordIndex;
}

bool TqvCustomDataController::IsNewRecordIndex(Integer ARecordIndex) const {
  return FNewRecordIndex != 0 && ARecordIndex == FNewRecordIndex;
}

void TqvCustomDataController::InternalRecordsCleared() {
  FNewRecordIndex = 0;
  if (FProvider) FProvider->InternalRecordsCleared();
}

bool TqvCustomDataController::IsOwnerLoading() const { return FOwner && FOwner->HasState(csLoading); }

bool TqvCustomDataController::IsOwnerDestroying() const {
  return FOwner && FOwner->HasState(csDestroying);
}

// ---------------------------------------------------------------------------------------------
// Change collection

void TqvCustomDataController::BeginUpdate() { GetDataControllerInfo()->BeginUpdate(); }

void TqvCustomDataController::EndUpdate() {
  TAliveToken alive = AliveToken();
  GetDataControllerInfo()->EndUpdate();  // may run handlers that free this controller
  if (alive) CheckPendingChanges();
}

bool TqvCustomDataController::IsUpdateLocked() const { return GetDataControllerInfo()->GetLockCount() > 0; }

void TqvCustomDataController::UpdateView() {
  TUpdateScope update(this);
  GetDataControllerInfo()->RefreshView();
}

Integer TqvCustomDataController::GetViewRebuildCount() const { return GetDataControllerInfo()->GetLoadCount(); }

void TqvCustomDataController::MergeDataChange(TqvDataChangeKind AKind, Integer AItemIndex, Integer ARecordIndex) {
  TqvDataChange& pending = FPendingChange;
  if (pending.RecordIndex != -1 && ARecordIndex != pending.RecordIndex) {
    pending.Kind = dckEverything;
  } else if (AKind != dckCell || pending.ItemIndex == -1 || AItemIndex == pending.ItemIndex) {
    pending.Kind = AKind;
  } else {
    pending.Kind = dckRecord;
    AItemIndex = -1;
  }
  pending.ItemIndex = AItemIndex;
  pending.RecordIndex = ARecordIndex;
}

void TqvCustomDataController::DataChanged(TqvDataChangeKind AKind, Integer AItemIndex, Integer ARecordIndex) {
  MergeDataChange(AKind, AItemIndex, ARecordIndex);
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  if (AKind == dckRecordsInserted || AKind == dckRecordsDeleted) info->FocusedRecordChanged(false);
  TAliveToken alive = AliveToken();
  if (AKind == dckEverything)
    Reload(false);  // a source that changed everything is read again
  else
    info->RefreshView();  // may run event handlers that free this controller
  if (!alive) return;
  if (TqvCustomDataController* master = GetMasterDataController())
    if (!IsEditingRecord()) master->CheckDetails();
}

void TqvCustomDataController::Change(TqvDataControllerChanges AChanges) {
  FPendingChanges |= AChanges;
  CheckPendingChanges();
}

void TqvCustomDataController::CheckPendingChanges() {
  if (FPendingChanges == 0 || IsUpdateLocked() || GetDataControllerInfo()->IsUpdating()) return;
  if (FStructureResetPending) {
    FStructureResetPending = false;
    TAliveToken alive = AliveToken();
    LayoutChanged(1);  // sends the pending notifications itself
    if (!alive || FPendingChanges == 0) return;
  }
  NotifyControl();
}

void TqvCustomDataController::ViewChanged(TqvDataControllerChanges AChanges) {
  if (FGroupingChanged) AChanges |= dccGrouping;
  if (FSortingChanged) AChanges |= dccSorting;
  FGroupingChanged = false;
  FSortingChanged = false;
  Change(AChanges);
}

// One ordered set of notifications: what changed in the data or layout, then focus, selection,
// grouping and sorting events.
void TqvCustomDataController::NotifyControl() {
  TAliveToken alive = AliveToken();
  TqvDataControllerChanges changes = FPendingChanges;
  FPendingChanges = 0;
  if (changes & dccData)
    SendDataChangedNotification();
  else if (changes & (dccLayout | dccDetail | dccSummary))
    UpdateControl(MakeOwned<TqvLayoutChangedInfo>().get());
  else if (changes & dccUpdateRecord)
    UpdateControl(MakeOwned<TqvUpdateRecordInfo>(GetFocusedRecordIndex()).get());
  if (!alive) return;
  if (changes & dccFocus) NotifyFocusChanged();
  if (!alive) return;
  if (changes & dccSelection) NotifySelectionChanged();
  if (!alive) return;
  if (changes & dccSearch) UpdateControl(MakeOwned<TqvSearchChangedInfo>().get());
  if (!alive) return;
  if (changes & dccBookmark) UpdateControl(MakeOwned<TqvBookmarkChangedInfo>().get());
  if (!alive) return;
  bool reading = FOwner && FOwner->HasState(csReading);
  if ((changes & dccGrouping) && !reading && OnGroupingChanged) {
    TNotifyEvent handler = OnGroupingChanged;
    handler(this);
    if (!alive) return;
  }
  if ((changes & dccSorting) && !reading) NotifySortingChanged();
  if (!alive) return;
  if (changes & dccMasterFocus) NotifyMasterFocus();
}

void TqvCustomDataController::NotifyMasterFocus() {
  if (GetDetailMode() != 2 || FMasterRecordIndex == -1) return;
  if (TqvCustomDataController* top = GetTopMasterDataController()) top->ResetFocusedRow();
}

void TqvCustomDataController::NotifyFocusChanged() {
  TAliveToken alive = AliveToken();
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  TqvDataFocusingInfo* prev = info->GetPrevFocusingInfo();
  TqvDataFocusingInfo* current = info->GetFocusingInfo();
  if (prev->RowIndex != current->RowIndex) 
    UpdateControl(MakeOwned<TqvFocusedRowChangedInfo>(current->RowIndex, prev->RowIndex).get());
  if (!alive) return;
  Integer focusedRecord = GetFocusedRecordIndex();
  if (prev->ShownRecordIndex >= 0 || focusedRecord >= 0 || prev->Changed) {
    TOwned<TqvFocusedRecordChangedInfo> changed = MakeOwned<TqvFocusedRecordChangedInfo>();
    changed->PrevFocusedRecordIndex = prev->ShownRecordIndex;
    changed->FocusedRecordIndex = focusedRecord;
    changed->FocusedRowIndex = current->RowIndex;
    changed->PrevFocusedRowIndex = prev->RowIndex;
    changed->NewItemRowFocusingChanged = prev->Changed;
    UpdateControl(changed.get());
    if (!alive) return;
    GetSearch()->Cancel();
  }
  prev->Assign(*current);
}

void TqvCustomDataController::NotifySelectionChanged() {
  Integer count = GetSelectedCount();
  Integer single = count == 1 ? GetSelectedRowIndex(0) : -1;
  TOwned<TqvSelectionChangedInfo> changed =
      count <= 1 && FPrevSelectedCount <= 1
          ? MakeOwned<TqvSelectionChangedInfo>(FPrevSelectedCount == 1 ? FPrevSingleSelectedRow : -1, single)
          : MakeOwned<TqvSelectionChangedInfo>();
  FPrevSelectedCount = count;
  FPrevSingleSelectedRow = single;
  UpdateControl(changed.get());
}

void TqvCustomDataController::NotifySortingChanged() {
  if (FInSortingChangedEvent || !OnSortingChanged) return;
  TValueScope inEvent(FInSortingChangedEvent, true, AliveToken());
  TNotifyEvent handler = OnSortingChanged;
  handler(this);
}

void TqvCustomDataController::SyncSingleSelectedRow() {
  if (FPrevSelectedCount != 1) return;
  FPrevSelectedCount = GetSelectedCount();
  FPrevSingleSelectedRow = FPrevSelectedCount == 1 ? GetSelectedRowIndex(0) : -1;
}

void TqvCustomDataController::SendDataChangedNotification() {
  TAliveToken alive = AliveToken();
  FPendingChange = Normalised(FPendingChange);
  struct TResetPending {
    TqvCustomDataController* Controller;
    TAliveToken Alive;
    ~TResetPending() {
      if (Alive) Controller->FPendingChange = TqvDataChange();
    }
  } reset{this, alive};
  UpdateControl(MakeOwned<TqvDataChangedInfo>(FPendingChange).get());
  if (alive) NotifyDataChanged();
}

// The handler is called through a copy: it may free the controller, and with it the member.
void TqvCustomDataController::UpdateControl(TqvUpdateControlInfo* AInfo) {
  if (!OnUpdateControl) return;
  TqvUpdateControlEvent handler = OnUpdateControl;
  handler(AInfo);
}

bool TqvCustomDataController::HasDataChangedListeners() const {
  return OnDataChanged || OnRecordChanged || !FListeners.empty();
}

void TqvCustomDataController::NotifyDataChanged() {
  if (IsOwnerDestroying() || !HasDataChangedListeners()) return;
  if (IsOwnerLoading()) {
    FDataChangedHeldBack = true;
    return;
  }
  FDataChangedHeldBack = false;
  TAliveToken alive = AliveToken();
  if (!IsPattern()) {
    const TqvDataChange change = FPendingChange;
    bool recordChange = change.Kind == dckCell || change.Kind == dckRecord;
    if (recordChange && change.RecordIndex != -1 && OnRecordChanged) {
      TqvDataRecordChangedEvent handler = OnRecordChanged;
      handler(this, change.RecordIndex, change.ItemIndex);
      if (!alive) return;
    }
    if (OnDataChanged) {
      TNotifyEvent handler = OnDataChanged;
      handler(this);
      if (!alive) return;
    }
  }
  // A grid-mode buffer moved by the controller itself has not changed for its listeners.
  if (IsGridMode() && GetProvider()->GetCursorMoveCount() > 0) return;
  std::vector<TListener> listeners = FListeners;
  for (const TListener& listener : listeners) {
    listener.Code(listener.Data, this);
    if (!alive) return;
  }
}

void TqvCustomDataController::OwnerLoaded() {
  TAliveToken alive = AliveToken();
  if (FDataChangedHeldBack) NotifyDataChanged();
  if (alive && FAfterSummaryHeldBack && FSummary) FSummary->DoAfterSummary();
}

// ---------------------------------------------------------------------------------------------
// Listeners and guards

void TqvCustomDataController::AddDataChangedListener(TqvDataChangedListenerProc ACode, void* AData) {
  if (ACode) FListeners.push_back({ACode, AData});
}

void TqvCustomDataController::RemoveDataChangedListener(TqvDataChangedListenerProc ACode, void* AData) {
  auto it = std::find_if(FListeners.begin(), FListeners.end(),
                         [&](const TListener& l) { return l.Code == ACode && l.Data == AData; });
  if (it != FListeners.end()) FListeners.erase(it);
}
