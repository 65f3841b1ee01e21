#include <algorithm>
#include <utility>

#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/data/DBStorage.h"

namespace {

// A value as a message shows it.
String ValueText(const Variant& AValue) {
  try {
    return VarToStr(AValue);
  } catch (const EVariantError&) {
    return VarTypeAsText(VarType(AValue));
  }
}

}  // namespace

TDataSet::TRecordBuffer& TDataSet::ActiveBuffer() { return FBuffers[static_cast<size_t>(FActiveRecord)]; }


void TDataSet::CheckCanModify() const {
  if (!GetCanModify()) DatabaseErrorFmt(&SDataSetReadOnly, {}, const_cast<TDataSet*>(this));
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(FState)) DatabaseErrorFmt(&SNotEditing, {}, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (FState != dsEdit && FState != dsInsert) return;
  UpdateRecord();
  if (FModified)
    Post();
  else
    Cancel();
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  if (FBuffers.empty()) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  // Edit what the storage holds now; a record another connection removed cannot be edited.
  TRecordBuffer& buffer = ActiveBuffer();
  TRecordBuffer current;
  ReadBuffer(current, buffer.Id);
  buffer = current;
  FEditOriginal = std::move(current);
  FAssigned.assign(FFieldDefs.size(), false);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  FAssigned.assign(FFieldDefs.size(), false);
}

TDataSet::TRecordBuffer TDataSet::NewBuffer() const {
  TRecordBuffer buffer;
  buffer.IsNew = true;
  buffer.Values.assign(FFieldDefs.size(), Variant::Null());
  return buffer;
}

void TDataSet::Insert() {
  BeginInsertAppend();
  FHasInsertReturn = !FBuffers.empty();
  FInsertReturnId = FHasInsertReturn ? ActiveBuffer().Id : 0;
  Integer row = FBuffers.empty() ? 0 : FActiveRecord;
  FBuffers.insert(FBuffers.begin() + row, NewBuffer());
  if (static_cast<Integer>(FBuffers.size()) > FBufferCount) FBuffers.pop_back();
  FActiveRecord = row;
  SetState(dsInsert);
  DataEvent(deDataSetChange, 0);
}

void TDataSet::Append() {
  BeginInsertAppend();
  Integer count = FIds.Count();
  Integer kept = std::min(count, FBufferCount - 1);
  FillWindow(count - kept, kept);
  FBuffers.push_back(NewBuffer());
  FActiveRecord = kept;
  // Cancel goes back to the last record, next to where the new one was.
  FHasInsertReturn = count > 0;
  FInsertReturnId = FHasInsertReturn ? FIds.Back() : 0;
  FBof = false;
  FEof = true;
  SetState(dsInsert);
  DataEvent(deDataSetChange, 0);
}

void TDataSet::CheckRequiredFields() {
  for (TField* field : FFields) {
    if (field->FColumn < 0 || !field->GetRequired()) continue;
    const Variant& value = ActiveBuffer().Values[static_cast<size_t>(field->FColumn)];
    if (!VarIsNull(value) && !VarIsEmpty(value)) continue;
    field->FocusControl();
    DatabaseErrorFmt(&SFieldRequired, {field->GetDisplayName()}, this);
  }
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  CheckRequiredFields();
  TRecordBuffer& buffer = ActiveBuffer();
  bool inserting = FState == dsInsert;
  bool changed = std::find(FAssigned.begin(), FAssigned.end(), true) != FAssigned.end();
  // The list changes with the write below: all of it as it was before.
  FIds.LoadAll();
  // The storage writes all or nothing; until it has, nothing here changes.
  TRecordId id = buffer.Id;
  if (inserting)
    id = FStorage->InsertRecord(buffer.Values, FAssigned);
  else if (changed)
    id = FStorage->UpdateRecord(buffer.Id, buffer.Values, FAssigned);
  Integer oldPosition = inserting ? -1 : RecordPosition(buffer.Id);
  bool storageChanged = std::exchange(FReloadPending, false) || ((inserting || changed) && FStorage->WroteOthers());
  bool reread = storageChanged && FetchIdsAfterWrite();
  if (!reread && oldPosition >= 0 && id != buffer.Id) FIds.Erase(oldPosition);
  bool readable = true;
  try {
    TRecordBuffer written;
    ReadBuffer(written, id);  // with the defaults and numbering the storage added
    buffer = std::move(written);
  } catch (const EDatabaseError&) {
    readable = false;  // written, but not readable now: show what was written, unless it is gone
    buffer.Id = id;
    buffer.IsNew = false;
  }
  // The record stays listed even when it no longer passes the filter.
  if ((readable || !reread) && RecordPosition(id) < 0) FIds.Insert(id);
  TAliveToken alive = AliveToken();
  SetState(dsBrowse);
  if (!alive) return;
  Integer position = RecordPosition(id);
  PlaceWindow(position >= 0 ? position : std::max(0, oldPosition), FActiveRecord, reread);
  FBof = FEof = FBuffers.empty();
  DataEvent(deDataSetChange, 0);
}

bool TDataSet::FetchIdsAfterWrite() {
  std::vector<TRecordId> ids;
  try {
    FStorage->FetchIds(ids);
  } catch (const EDatabaseError&) {
    return false;  // written all the same: keep the records as they were listed
  }
  FIds.Assign(std::move(ids));
  return true;
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  bool inserting = FState == dsInsert;
  if (!inserting) ActiveBuffer() = FEditOriginal;
  TAliveToken alive = AliveToken();
  SetState(dsBrowse);
  if (!alive) return;
  bool reload = std::exchange(FReloadPending, false);
  if (inserting) {
    FBuffers.erase(std::remove_if(FBuffers.begin(), FBuffers.end(), [](const TRecordBuffer& b) { return b.IsNew; }),
                   FBuffers.end());
    ReturnTo(FHasInsertReturn, FInsertReturnId, reload);
  } else if (reload) {
    ReturnTo(true, ActiveBuffer().Id, reload);
  }
  DataEvent(deDataSetChange, 0);
}

void TDataSet::ReturnTo(bool AHasId, TRecordId AId, bool AReload) {
  try {
    if (AReload) FIds.Reset(FStorage.get());
    PlaceWindow(AHasId ? RecordPosition(AId) : 0, FActiveRecord, AReload);
  } catch (const EDatabaseError&) {
    // Cancel never fails: records that cannot be read (a dropped table) are not shown; Refresh
    // reads them again.
    FIds.Clear();
    FBuffers.clear();
    FWindowStart = FActiveRecord = 0;
  }
  FBof = FEof = FBuffers.empty();
}

void TDataSet::StorageChanged() {
  if (FState == dsBrowse)
    ReloadRecords();
  else if (IsEditState(FState))
    FReloadPending = true;
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (FBuffers.empty()) DatabaseErrorFmt(&SDataSetEmpty, {}, this);
  CheckCanModify();
  TRecordId id = ActiveBuffer().Id;
  FIds.LoadAll();  // as it was before the write
  FStorage->DeleteRecord(id);
  Integer position = RecordPosition(id);
  bool reread = FStorage->WroteOthers() && FetchIdsAfterWrite();
  if (!reread && position >= 0) FIds.Erase(position);
  FBuffers.erase(FBuffers.begin() + FActiveRecord);
  TAliveToken alive = AliveToken();
  SetState(dsBrowse);
  if (!alive) return;
  PlaceWindow(position, FActiveRecord, reread);
  FBof = FEof = FBuffers.empty();
  DataEvent(deDataSetChange, 0);
}

void TDataSet::SetFieldValue(TField* AField, const Variant& Value) {
  if (!IsEditState(FState)) DatabaseErrorFmt(&SNotEditing, {}, this);
  if (!AField->GetCanModify()) DatabaseErrorFmt(&SFieldReadOnly, {AField->GetDisplayName()}, this);
  Variant converted;
  try {
    converted = CoerceToFieldType(Value, AField->GetDataType());
  } catch (const EConvertError&) {
    DatabaseErrorFmt(&SInvalidFieldValue, {ValueText(Value), AField->GetDisplayName()}, this);
  } catch (const EVariantError&) {
    DatabaseErrorFmt(&SInvalidFieldValue, {ValueText(Value), AField->GetDisplayName()}, this);
  }
  if (!VarIsNull(converted)) AField->CheckRange(converted);
  size_t column = static_cast<size_t>(AField->FColumn);
  ActiveBuffer().Values[column] = converted;
  FAssigned[column] = true;
  FModified = true;
  DataEvent(deFieldChange, reinterpret_cast<NativeInt>(AField));
}
