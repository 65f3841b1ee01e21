#include "core/qvDataProvider.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvVariants.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvUserDataSource)
QJ_IMPLEMENT_CLASS(TqvCustomDataProvider)

namespace {

// The appending flag of a controller for the duration of a block.
class TAppendScope {
 public:
  TAppendScope(TqvCustomDataController* AController, bool AValue)
      : FController(AController), FOld(AController->IsAppendInProgress()) {
    FController->SetAppendInProgress(AValue);
  }
  ~TAppendScope() { FController->SetAppendInProgress(FOld); }
  TAppendScope(const TAppendScope&) = delete;
  TAppendScope& operator=(const TAppendScope&) = delete;

 private:
  TqvCustomDataController* FController;
  bool FOld;
};

// A zeroed place of a value type for one raw value, freed with the type when it was filled.
class TRawPlace {
 public:
  explicit TRawPlace(const TqvValueType* AType)
      : FType(AType), FBytes(static_cast<size_t>(std::max<Integer>(AType->GetDataSize(), 8)), 0) {}
  ~TRawPlace() {
    if (FFilled) FType->FreeBuffer(Place());
  }
  TRawPlace(const TRawPlace&) = delete;
  TRawPlace& operator=(const TRawPlace&) = delete;
  void* Place() { return FBytes.data(); }
  const void* Data() const { return FType->GetDataPointer(FBytes.data()); }
  void SetFilled() { FFilled = true; }

 private:
  const TqvValueType* FType;
  std::vector<Byte> FBytes;
  bool FFilled = false;
};

bool IsEmptyText(const Variant& AValue) {
  try {
    return VarToStr(AValue).empty();
  } catch (const Exception&) {
    return false;  // a value without a text form is not empty
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvUserDataSource

String TqvUserDataSource::GetDisplayText(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle) {
  return VarToStr(GetValue(AHandle, AItemHandle));
}

TqvRecordHandle TqvUserDataSource::InsertRecord(TqvRecordHandle) { return AppendRecord(); }

bool TqvUserDataSource::GetValueBuffer(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle,
                                       const TqvValueType* AValueType, void* APlace) {
  Variant value = GetValue(AHandle, AItemHandle);
  if (VarIsNull(value) || VarIsEmpty(value)) return false;
  try {
    AValueType->SetValue(APlace, value);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

Integer TqvUserDataSource::CompareValues(TqvRecordHandle AHandle1, TqvRecordHandle AHandle2,
                                         TqvRecordHandle AItemHandle) {
  return VarCompareEx(GetValue(AHandle1, AItemHandle), GetValue(AHandle2, AItemHandle));
}

// ---------------------------------------------------------------------------------------------
// TqvCustomDataProvider

TqvCustomDataProvider::TqvCustomDataProvider(TqvCustomDataController* ADataController)
    : FDataController(ADataController) {}

TqvCustomDataProvider::~TqvCustomDataProvider() {
  if (FUserDataSource && FUserDataSource->FProvider == this) FUserDataSource->FProvider = nullptr;
}

bool TqvCustomDataProvider::CanDelete() { return FDataController->GetRecordCount() > 0; }

TqvUserDataSource* TqvCustomDataProvider::Source() {
  if (FUserDataSource) FUserDataSource->FCurrentProvider = this;
  return FUserDataSource;
}

// ---------------------------------------------------------------------------------------------
// The editing cycle

bool TqvCustomDataProvider::EditRecord(Integer ARecordIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  if (!IsEditing()) StartEditing();
  if (IsEditing()) SetEditingItem();
  return true;
}

void TqvCustomDataProvider::InitEditRecord() {
  if (FDataController->IsNewItemRowFocused() && !IsInserting()) return Insert();
  Integer record = FDataController->GetRecordIndexToEdit();
  if (record == qvNoEditedRecordIndex) return;
  FEditingRecordIndex = record;
  if (!IsSourceActive() && !IsInserting()) SaveEditedCopy();
  FDataController->Change(dccUpdateRecord);
}

void TqvCustomDataProvider::SaveEditedCopy() {
  if (FSavedCopy == 0) FSavedCopy = FDataController->GetStorage()->AddInternalRecord();
  FDataController->CopyRecord(FEditingRecordIndex, FSavedCopy);
}

void TqvCustomDataProvider::FreeSavedCopy() {
  if (FSavedCopy == 0) return;
  FDataController->GetStorage()->DeleteRecord(FSavedCopy);
  FSavedCopy = 0;
}

// The new-record buffer loses its values but stays reserved for the controller.
void TqvCustomDataProvider::ClearNewRecordBuffer(Integer ARecordIndex) {
  TqvDataStorage* storage = FDataController->GetStorage();
  storage->DeleteRecord(ARecordIndex);
  TqvDataStorage::SetRecordState(storage->GetRecordBuffer(ARecordIndex), qvRecordStateInUse, true);
}

bool TqvCustomDataProvider::HasPendingChanges() const {
  return IsEditing() && (IsEditingItem() || IsModified());
}

// The new record takes the grouping values of the record it is made beside.
void TqvCustomDataProvider::BeginInsert(bool AAppend) {
  if (!IsSourceActive() && IsInserting() && !IsEditingItem() && !IsModified()) return;
  if (!IsSourceActive()) {
    if (HasPendingChanges()) {
      if (IsEditingItem()) UpdateData();
      Post();
    } else if (IsEditing()) {
      EndEditing();  // an untouched edit of another record just ends
    }
  }
  TqvCustomDataController* c = FDataController;
  Integer edited;
  {
    TUpdateScope update(c);
    std::vector<Variant> values;
    if (c->GetNewItemRowEnabled()) {
      Integer reference = c->GetFocusedRecordIndex();
      if (reference == -1 && c->GetRowCount() > 0) reference = c->GetRowInfo(0).RecordIndex;
      values = c->GetGroupingValues(reference);
      edited = c->GetNewRecordIndex();
      c->SetNewItemRowFocused(true);
    } else {
      if (!AAppend) c->ClearSelection();
      if (IsGridMode()) {
        edited = c->GetActiveRecordIndex();
        values = c->GetGroupingValues(edited);
      } else if (AAppend) {
        values = c->GetGroupingValues(c->GetLastRowRecordIndex());
        edited = c->AppendRecord();
      } else {
        Integer reference = std::max(c->GetFocusedRecordIndex(), 0);
        values = c->GetGroupingValues(reference);
        edited = c->InsertRecord(reference);  // the reference record moves down
      }
    }
    FEditingRecordIndex = edited;
    AssignGroupingValues(edited, values);
    ResetEditingItem();
    FInserting = true;
  }
  c->ChangeFocusedRecordIndex(edited < 0 ? -1 : edited);
}

Integer TqvCustomDataProvider::PostNewItemRow() {
  TValueScope posting(FPostingNewItemRow, FUserDataSource != nullptr);
  Integer record = FDataController->AppendRecord();
  FLastPostRecordIndex = record;
  FDataController->CopyRecord(FEditingRecordIndex, record);
  return record;
}

void TqvCustomDataProvider::Post() {
  if (IsEditingItem()) FDataController->UpdateEditorsData();
  Integer record = FEditingRecordIndex;
  TUpdateScope update(FDataController);
  if (!IsInserting() || IsModified()) {
    bool newItemRow = IsInserting() && FDataController->GetNewItemRowEnabled() &&
                      FDataController->IsNewRecordIndex(FEditingRecordIndex);
    if (newItemRow) record = PostNewItemRow();
    EndEditing();
  } else {
    Cancel();
    record = -1;
  }
  FDataController->DataChanged(dckRecord, -1, record);
}

void TqvCustomDataProvider::Cancel() {
  TqvCustomDataController* c = FDataController;
  TUpdateScope update(c);
  Integer edited = FEditingRecordIndex;
  bool isRecord = edited >= 0 && edited < c->GetRecordCount();
  if (isRecord && IsInserting()) {
    TAppendScope appending(c, c->IsAppendOnlyMode());
    Integer focused = c->GetFocusedRecordIndex();
    c->DeleteRecord(edited);
    if (focused >= c->GetRecordCount()) c->ChangeFocusedRecordIndex(focused - 1);
  } else if (isRecord && FSavedCopy != 0) {
    c->CopyRecord(FSavedCopy, edited);
  }
  EndEditing();
}

void TqvCustomDataProvider::EndEditing() {
  if (FEditingRecordIndex != qvNoEditedRecordIndex && FEditingRecordIndex < 0 &&
      FDataController->IsNewRecordIndex(FEditingRecordIndex))
    ClearNewRecordBuffer(FEditingRecordIndex);
  FEditingRecordIndex = qvNoEditedRecordIndex;
  FInserting = false;
  ResetEditingItem();
  ResetModified();
  FreeSavedCopy();
}

void TqvCustomDataProvider::UpdateData() {
  if (IsEditingItem()) FDataController->UpdateEditorsData();
  ResetEditingItem();
}

Variant TqvCustomDataProvider::GetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, Integer) {
  if (ARecordIndex == qvNoEditedRecordIndex) RaiseDataControllerError(&sqvDataRecordIndexError);
  return FDataController->GetFieldValue(ARecordIndex, AField);
}

bool TqvCustomDataProvider::SetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue,
                                         Integer AEditValueSource) {
  Variant value = AEditValueSource == 1 && IsEmptyText(AValue) ? Null() : AValue;
  FDataController->SetValue(ARecordIndex, AField->GetIndex(), value);
  SetModified();
  return true;
}

void TqvCustomDataProvider::AssignFieldValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue) {
  FDataController->SetValue(ARecordIndex, AField->GetIndex(), AValue);
}

void TqvCustomDataProvider::AssignGroupingValues(Integer ARecordIndex, const std::vector<Variant>& AValues) {
  TqvCustomDataController* c = FDataController;
  TqvDataControllerGroups* groups = c->GetGroups();
  Integer count = groups->GetGroupingItemCount();
  if (count == 0 || !(c->GetOptions() & dcoAssignGroupingValues)) return;
  if (static_cast<Integer>(AValues.size()) < count) return;
  for (Integer level = 0; level < count; ++level)
    AssignFieldValue(ARecordIndex, c->GetField(groups->GetItemIndexByLevel(level)), AValues[level]);
}

void TqvCustomDataProvider::CheckEditingRecordRemoved(Integer ARecordIndex) {
  Integer edited = FEditingRecordIndex;
  if (edited == qvNoEditedRecordIndex || edited < 0) return;
  if (ARecordIndex >= 0 && ARecordIndex <= edited)
    EndEditing();
  else if (edited >= FDataController->GetRecordCount())
    EndEditing();
}

void TqvCustomDataProvider::InternalRecordsCleared() {
  FSavedCopy = 0;
  if (FEditingRecordIndex < 0 && FEditingRecordIndex != qvNoEditedRecordIndex) {
    FEditingRecordIndex = qvNoEditedRecordIndex;
    FInserting = false;
    ResetEditingItem();
    ResetModified();
  }
}

// ---------------------------------------------------------------------------------------------
// Deleting

void TqvCustomDataProvider::DeleteFocusedRecord() {
  Integer record = FDataController->GetFocusedRecordIndex();
  if (record < 0) return;
  FDataController->DeleteRecord(record);
  FDataController->EnsureFocusedRecord();
}

void TqvCustomDataProvider::DeleteRecords(std::vector<Integer> AList) {
  std::sort(AList.begin(), AList.end());
  AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
  if (AList.empty()) return;
  if (AList.front() < 0 || AList.back() >= FDataController->GetRecordCount())
    RaiseDataControllerError(&sqvDataRecordIndexError);
  {
    TUpdateScope update(FDataController);
    for (auto it = AList.rbegin(); it != AList.rend(); ++it) FDataController->DeleteRecord(*it);
  }
  if (!FDataController->IsUpdateLocked()) FDataController->EnsureFocusedRecord();
}

void TqvCustomDataProvider::DeleteSelection() {
  TqvCustomDataController* c = FDataController;
  std::vector<Integer> records;
  Integer levels = c->GetGroups()->GetGroupingItemCount();
  for (Integer i = 0; i < c->GetSelectedCount(); ++i) {
    Integer row = c->GetSelectedRowIndex(i);
    TqvRowInfo info = c->GetRowInfo(row);
    if (info.Level < levels)
      c->GetGroups()->LoadRecordIndexesByRowIndex(records, row);
    else
      records.push_back(info.RecordIndex);
  }
  TUpdateScope update(c);
  DeleteRecords(records);
  c->ClearSelection();
}

// ---------------------------------------------------------------------------------------------
// Events of the source

void TqvCustomDataProvider::ActiveChanged(bool AActive) {
  FDataController->ActiveChanged(AActive);
  ResetEditingItem();
}

void TqvCustomDataProvider::DataChanged(Byte AKind, Integer AItemIndex, Integer ARecordIndex) {
  if (FLoadCount > 0) return;
  FDataController->DataChanged(static_cast<TqvDataChangeKind>(std::min<Byte>(AKind, dckEverything)), AItemIndex,
                               ARecordIndex);
  if (FPostingNewItemRow)
    ResetEditingItem();
  else
    EndEditing();
}

void TqvCustomDataProvider::Scrolled(Integer ADistance) {
  FDataController->SourceScrolled(ADistance);
  ResetEditingItem();
}

void TqvCustomDataProvider::LayoutChanged(Integer AKind) { FDataController->LayoutChanged(AKind); }

// ---------------------------------------------------------------------------------------------
// The user data source

void TqvCustomDataProvider::SetUserDataSource(TqvUserDataSource* ASource) {
  if (!IsDataSourceSupported() || ASource == FUserDataSource) return;
  if (FUserDataSource && FUserDataSource->FProvider == this) FUserDataSource->FProvider = nullptr;
  FUserDataSource = ASource;
  if (ASource && !ASource->FProvider) ASource->FProvider = this;
  if (!FDataController->GetDestroying()) FDataController->ResetStructure();
}

TqvRecordHandle TqvCustomDataProvider::GetRecordHandle(Integer ARecordIndex) {
  TqvCustomDataField* key = FDataController->GetInternalKeyField();
  if (!key) return -1;
  Variant value = FDataController->GetFieldValue(ARecordIndex, key);
  return VarIsNull(value) ? -1 : static_cast<TqvRecordHandle>(value.AsInt64());
}

Integer TqvCustomDataProvider::GetRecordIndexByHandle(TqvRecordHandle AHandle) {
  for (Integer r = 0; r < FDataController->GetRecordCount(); ++r)
    if (GetRecordHandle(r) == AHandle) return r;
  return -1;
}

Integer TqvCustomDataProvider::AppendRecordHandle(TqvRecordHandle AHandle) {
  TqvCustomDataField* key = FDataController->GetInternalKeyField();
  TqvDataStorage* storage = FDataController->GetStorage();
  Integer record = storage->AppendRecord();
  if (key && key->GetStorageDef()) storage->SetValue(record, key->GetStorageDef(), static_cast<Integer>(AHandle));
  return record;
}

void TqvCustomDataProvider::LoadRecordHandles() {
  if (TqvUserDataSource* source = Source()) source->LoadRecords();
}

Variant TqvCustomDataProvider::GetValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  TqvUserDataSource* source = Source();
  if (!source) return Null();
  return source->GetValue(GetRecordHandle(ARecordIndex), source->GetItemHandle(AField->GetIndex()));
}

String TqvCustomDataProvider::GetDisplayText(Integer ARecordIndex, TqvCustomDataField* AField) {
  TqvUserDataSource* source = Source();
  if (!source) return String();
  return source->GetDisplayText(GetRecordHandle(ARecordIndex), source->GetItemHandle(AField->GetIndex()));
}

void TqvCustomDataProvider::SetValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue) {
  if (TqvUserDataSource* source = Source())
    source->SetValue(GetRecordHandle(ARecordIndex), source->GetItemHandle(AField->GetIndex()), AValue);
}

void TqvCustomDataProvider::SetRecordCount(Integer ACount) {
  if (TqvUserDataSource* source = Source()) source->SetRecordCount(ACount);
}

bool TqvCustomDataProvider::DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  TqvUserDataSource* source = Source();
  return source && source->DetailHasChildren(ARecordIndex, ARelationIndex);
}

void TqvCustomDataProvider::DeleteRecordInSource(Integer ARecordIndex) {
  if (TqvUserDataSource* source = Source()) source->DeleteRecord(GetRecordHandle(ARecordIndex));
}

// The source may already have reported the new handle (through AppendRecordHandle or a reload);
// otherwise an appended one is added at the end and an inserted one found by reloading.
Integer TqvCustomDataProvider::IndexOfNewHandle(TqvRecordHandle AHandle, bool AAppended) {
  Integer record = GetRecordIndexByHandle(AHandle);
  if (record != -1) return record;
  if (AAppended) {
    record = AppendRecordHandle(AHandle);
    FDataController->DataChanged(dckRecordsInserted, -1, -1);
    return record;
  }
  FDataController->DataChanged(dckEverything, -1, -1);
  record = GetRecordIndexByHandle(AHandle);
  if (record == -1) RaiseDataControllerError(&sqvDataRecordIndexError);
  return record;
}

Integer TqvCustomDataProvider::AppendRecordInSource() {
  TqvUserDataSource* source = Source();
  return source ? IndexOfNewHandle(source->AppendRecord(), true) : -1;
}

Integer TqvCustomDataProvider::InsertRecordInSource(Integer ARecordIndex) {
  TqvUserDataSource* source = Source();
  if (!source) return -1;
  bool before = source->IsInsertSupported() && ARecordIndex >= 0 && ARecordIndex < FDataController->GetRecordCount();
  if (!before) return IndexOfNewHandle(source->AppendRecord(), true);
  return IndexOfNewHandle(source->InsertRecord(GetRecordHandle(ARecordIndex)), false);
}

// False for Null; an internal record's value comes from the storage, a real record's from the source.
bool TqvCustomDataProvider::ReadRawValue(Integer ARecordIndex, TqvCustomDataField* AField, void* APlace) {
  TqvValueDef* def = AField->GetStorageDef();
  if (ARecordIndex < 0) {
    const void* data = nullptr;
    if (FDataController->GetStorage()->GetValueData(ARecordIndex, def, data)) return false;
    def->GetValueTypeClass()->SetValue(APlace, def->GetValueTypeClass()->GetDataValue(data));
    return true;
  }
  TqvUserDataSource* source = Source();
  return source && source->GetValueBuffer(GetRecordHandle(ARecordIndex), source->GetItemHandle(AField->GetIndex()),
                                          def->GetValueTypeClass(), APlace);
}

Integer TqvCustomDataProvider::CompareValues(Integer ARecordIndex1, Integer ARecordIndex2, TqvCustomDataField* AField) {
  TqvValueDef* def = AField->GetStorageDef();
  if (!def) return 0;
  if (ARecordIndex1 < 0 && ARecordIndex2 < 0)
    return FDataController->GetStorage()->CompareRecords(ARecordIndex1, ARecordIndex2, def);
  TRawPlace raw1(def->GetValueTypeClass());
  TRawPlace raw2(def->GetValueTypeClass());
  bool assigned1 = ReadRawValue(ARecordIndex1, AField, raw1.Place());
  if (assigned1) raw1.SetFilled();
  bool assigned2 = ReadRawValue(ARecordIndex2, AField, raw2.Place());
  if (assigned2) raw2.SetFilled();
  return def->Compare(!assigned1, !assigned2, raw1.Data(), raw2.Data());
}

Integer TqvCustomDataProvider::CompareInSource(Integer ARecordIndex1, Integer ARecordIndex2,
                                               TqvCustomDataField* AField) {
  TqvUserDataSource* source = Source();
  if (!source) return 0;
  return source->CompareValues(GetRecordHandle(ARecordIndex1), GetRecordHandle(ARecordIndex2),
                               source->GetItemHandle(AField->GetIndex()));
}
