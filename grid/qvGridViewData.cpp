// Records made on demand and the view data that holds them.
#include "grid/qvGridCustomTableView.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridRecord)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableViewData)

// ---------------------------------------------------------------------------------------------
// Record

TqvCustomGridRecord::~TqvCustomGridRecord() = default;

TAliveToken TqvCustomGridRecord::AliveToken() {
  if (!FAlive) FAlive = std::make_unique<TAliveFlag>();
  return FAlive->Token();
}

TqvCustomGridTableView* TqvCustomGridRecord::GetGridView() const { return FViewData->GetGridView(); }
TqvCustomGridTableController* TqvCustomGridRecord::GetController() const { return FViewData->GetController(); }
TqvCustomDataController* TqvCustomGridRecord::GetDataController() const { return FViewData->GetDataController(); }

bool TqvCustomGridRecord::IsDrawnFocused() { return GetGridView()->DrawRecordFocused(this); }
bool TqvCustomGridRecord::IsDrawnSelected() { return GetGridView()->DrawRecordSelected(this); }
bool TqvCustomGridRecord::IsLast() { return FIndex == FViewData->GetRecordCount() - 1; }

TqvCustomGridRecord* TqvCustomGridRecord::GetParentRecord() {
  if (GetLevel() == 0) return GetGridView()->GetMasterRecord();
  for (Integer i = FIndex - 1; i >= 0; --i) {
    TqvCustomGridRecord* record = FViewData->GetRecord(i);
    if (record->GetLevel() < GetLevel()) return record;
  }
  return nullptr;
}

bool TqvCustomGridRecord::GetSelected() {
  if (IsNewItemRecord()) return GetDataController()->IsNewItemRowFocused();
  return GetDataController()->IsRowSelected(FIndex);
}

void TqvCustomGridRecord::SetSelected(bool AValue) {
  if (IsNewItemRecord()) {
    if (GetSelected() != AValue) GetDataController()->SetNewItemRowFocused(AValue);
    return;
  }
  if (GetGridView()->GetOptionsSelection()->GetMultiSelect()) GetDataController()->ChangeRowSelection(FIndex, AValue);
}

bool TqvCustomGridRecord::GetVisible() {
  if (IsNewItemRecord()) return true;
  return FViewInfo && FViewInfo->GetVisible();
}

String TqvCustomGridRecord::GetDisplayText(Integer AItemIndex) {
  return GetDataController()->GetRowDisplayText(FRowInfo, AItemIndex);
}

Integer TqvCustomGridRecord::GetValueCount() { return GetDataController()->GetItemCount(); }

Variant TqvCustomGridRecord::GetValue(Integer AItemIndex) {
  return GetDataController()->GetRowValue(FRowInfo, AItemIndex);
}

void TqvCustomGridRecord::Invalidate(TqvCustomGridTableItem* AItem) {
  TqvCustomGridTableView* view = GetGridView();
  const bool newItem = IsNewItemRecord();
  view->Changed(MakeOwned<TqvGridRecordChange>(view, newItem ? -1 : FIndex, newItem, AItem));
}

void TqvCustomGridRecord::KeyDown(Word& AKey, TShiftState) {
  if (AKey == VK_LEFT || AKey == VK_RIGHT) {
    // Used only when the record changes: otherwise the key stays for the controller.
    const bool collapse = AKey == VK_LEFT;
    if (!GetExpandable() || collapse != GetExpanded()) return;
    AKey = 0;
    if (collapse)
      Collapse(false);
    else
      Expand(false);
    return;
  }
  if (AKey != VK_MULTIPLY && AKey != VK_ADD && AKey != VK_SUBTRACT) return;
  if (!GetExpandable()) return;
  const bool freesRecord = ExpandingFreesRecord();
  const Word key = AKey;
  AKey = 0;
  // A group row may be made again by its own expansion: nothing of it is touched afterwards.
  if (!freesRecord) FKeyHandled = true;
  if (key == VK_MULTIPLY)
    Expand(true);
  else if (key == VK_ADD)
    Expand(false);
  else
    Collapse(false);
}

void TqvCustomGridRecord::KeyPress(char& AKey) {
  if (!FKeyHandled) return;
  FKeyHandled = false;
  AKey = 0;
}

void TqvCustomGridRecord::SetExpanded(bool AValue) {
  if (AValue == GetExpanded() || !GetExpandable()) return;
  if (AValue)
    Expand(false);
  else
    Collapse(false);
}

bool TqvCustomGridRecord::GetFocused() { return GetController()->GetFocusedRecord() == this; }

void TqvCustomGridRecord::SetFocused(bool AValue) {
  if (AValue)
    GetController()->SetFocusedRecord(this);
  else if (GetFocused())
    GetController()->SetFocusedRecord(nullptr);
}

bool TqvCustomGridRecord::IsNewItemRecord() const { return FViewData->GetNewItemRecord() == this; }
bool TqvCustomGridRecord::IsEditing() const { return FViewData->GetEditingRecord() == this; }

bool TqvCustomGridRecord::IsValid() const {
  return GetRecordIndex() >= 0 && GetRecordIndex() < GetDataController()->GetRecordCount();
}

bool TqvCustomGridRecord::IsDragHighlighted() const { return GetController()->GetDragHighlightedRecord() == this; }

bool TqvCustomGridRecord::IsLastChild(Integer ALevelOffset) {
  if (IsLast()) return true;
  return FViewData->GetRecord(FIndex + 1)->GetLevel() < GetLevel() - ALevelOffset;
}

void TqvCustomGridRecord::MakeVisible() { GetController()->MakeRecordVisible(FIndex); }

// ---------------------------------------------------------------------------------------------
// View data

TqvCustomGridTableViewData::~TqvCustomGridTableViewData() { DestroyRecords(); }

TqvCustomGridTableView* TqvCustomGridTableViewData::GetGridView() const {
  return static_cast<TqvCustomGridTableView*>(inherited::GetGridView());
}

TqvCustomGridTableController* TqvCustomGridTableViewData::GetController() const {
  return GetGridView()->GetController();
}

TqvRowInfo TqvCustomGridTableViewData::NewItemRowInfo() const {
  TqvRowInfo info;
  info.RecordIndex = GetDataController()->GetNewRecordIndex();
  return info;
}

void TqvCustomGridTableViewData::MakeNewItemRecord() {
  FNewItemRecord.reset(GetNewItemRecordClass()->Create(this, NewItemRowInfo(), -1));
}

TqvCustomGridRecord* TqvCustomGridTableViewData::GetRecord(Integer AIndex) {
  if (!IsRecordIndexValid(AIndex)) TList::Error(&SListIndexError, AIndex);
  TOwned<TqvCustomGridRecord>& slot = FRecords[static_cast<size_t>(AIndex)];
  if (!slot) {
    const TqvRowInfo info = GetDataController()->GetRowInfo(AIndex);
    slot.reset(GetRecordClass(info)->Create(this, info, AIndex));
  }
  return slot.get();
}

TqvCustomGridRecord* TqvCustomGridTableViewData::GetRecordByIndex(Integer AIndex) {
  return IsRecordIndexValid(AIndex) ? GetRecord(AIndex) : nullptr;
}

TqvCustomGridRecord* TqvCustomGridTableViewData::GetMadeRecord(Integer AIndex) const {
  return IsRecordIndexValid(AIndex) ? FRecords[static_cast<size_t>(AIndex)].get() : nullptr;
}

TqvCustomGridRecord* TqvCustomGridTableViewData::GetRecordByRecordIndex(Integer ARecordIndex) {
  TqvCustomDataController* dataController = GetDataController();
  if (FNewItemRecord && ARecordIndex == dataController->GetNewRecordIndex()) return FNewItemRecord.get();
  if (ARecordIndex < 0 || ARecordIndex >= dataController->GetRecordCount()) return nullptr;
  return GetRecordByIndex(dataController->GetRowIndexByRecordIndex(ARecordIndex, false));
}

Integer TqvCustomGridTableViewData::GetMadeRecordCount() const {
  Integer count = 0;
  for (const TOwned<TqvCustomGridRecord>& record : FRecords)
    if (record) ++count;
  return count;
}

void TqvCustomGridTableViewData::Refresh(Integer ARecordCount) {
  FEditingRecord = nullptr;
  if (HasNewItemRecord()) MakeNewItemRecord();
  FRecords.clear();
  FRecords.resize(static_cast<size_t>(std::max<Integer>(0, ARecordCount)));
  UpdateEditingRecord();
  GetGridView()->SizeChanged(GetDataController()->IsPattern());
}

void TqvCustomGridTableViewData::RefreshRecordInfos() {
  if (FNewItemRecord) FNewItemRecord->SetRowInfo(NewItemRowInfo());
  TqvCustomDataController* dataController = GetDataController();
  for (size_t i = 0; i < FRecords.size(); ++i)
    if (FRecords[i]) FRecords[i]->SetRowInfo(dataController->GetRowInfo(static_cast<Integer>(i)));
  UpdateEditingRecord();
}

void TqvCustomGridTableViewData::UpdateEditingRecord() {
  TqvCustomDataController* dataController = GetDataController();
  FEditingRecord =
      dataController->IsEditing() ? GetRecordByRecordIndex(dataController->GetEditingRecordIndex()) : nullptr;
}

void TqvCustomGridTableViewData::CheckNewItemRecord() {
  if (HasNewItemRecord() == (FNewItemRecord != nullptr)) return;
  if (FNewItemRecord) {
    if (FEditingRecord == FNewItemRecord.get()) FEditingRecord = nullptr;
    FNewItemRecord.reset();
  } else {
    MakeNewItemRecord();
  }
}

void TqvCustomGridTableViewData::Expand(bool ARecurse) {
  for (Integer i = 0; i < GetRecordCount(); ++i) {
    TqvCustomGridRecord* record = GetRecord(i);
    if (record->GetExpandable()) record->Expand(ARecurse);
  }
}

void TqvCustomGridTableViewData::Collapse(bool ARecurse) {
  for (Integer i = GetRecordCount() - 1; i >= 0; --i) {
    if (i >= GetRecordCount()) continue;  // collapsing removed rows below
    TqvCustomGridRecord* record = GetRecord(i);
    if (record->GetExpandable()) record->Collapse(ARecurse);
  }
}

void TqvCustomGridTableViewData::DestroyRecords() {
  FEditingRecord = nullptr;
  FRecords.clear();
  FNewItemRecord.reset();
}
