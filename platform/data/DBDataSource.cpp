#include <algorithm>

#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TDataSource)
QJ_IMPLEMENT_CLASS(TDataLink)

// ---------------------------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  // Freed without BeforeDestruction: let go of the others without calling out.
  for (TDataLink* link : FDataLinks) link->FDataSource = nullptr;
  if (FDataSet) FDataSet->RemoveDataSource(this);
}

void TDataSource::BeforeDestruction() {
  inherited::BeforeDestruction();
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) {
    TDataLink* link = FDataLinks.back();
    FDataLinks.pop_back();
    link->FDataSource = nullptr;
    link->UpdateState();
  }
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (Value && Value->IsLinkedTo(this)) DatabaseErrorFmt(&SCircularDataLink, {}, this);
  if (FDataSet) {
    FDataSet->RemoveFreeNotification(this);
    FDataSet->RemoveDataSource(this);
  }
  FDataSet = Value;
  if (FDataSet) {
    FDataSet->FreeNotification(this);
    FDataSet->AddDataSource(this);
  }
  UpdateLinkStates();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  // The dataset is past its own destructor here: forget it without calling it.
  if (Operation == opRemove && AComponent == FDataSet) {
    FDataSet = nullptr;
    UpdateLinkStates();
  }
}

TDataSetState TDataSource::GetState() const { return FDataSet ? FDataSet->GetState() : dsInactive; }

void TDataSource::Edit() {
  if (FAutoEdit && GetState() == dsBrowse) FDataSet->Edit();
}

void TDataSource::AddDataLink(TDataLink* ALink) {
  FDataLinks.push_back(ALink);
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* ALink) {
  auto it = std::find(FDataLinks.begin(), FDataLinks.end(), ALink);
  if (it != FDataLinks.end()) FDataLinks.erase(it);
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::UpdateLinkStates() {
  TAliveToken alive = AliveToken();
  std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* link : links) {
    if (std::find(FDataLinks.begin(), FDataLinks.end(), link) == FDataLinks.end()) continue;
    link->UpdateState();
    if (!alive) return;
  }
}

void TDataSource::DataEvent(TDataEvent Event, NativeInt Info) {
  TAliveToken alive = AliveToken();
  std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* link : links) {
    if (std::find(FDataLinks.begin(), FDataLinks.end(), link) == FDataLinks.end()) continue;
    link->DataEvent(Event, Info);
    if (!alive) return;
    if (Event == deFocusControl && !*reinterpret_cast<TField**>(Info)) return;
  }
}

Integer TDataSource::MaxLinkBufferCount() const {
  Integer count = 0;
  for (const TDataLink* link : FDataLinks) count = std::max(count, link->FBufferCount);
  return count;
}

// ---------------------------------------------------------------------------------------------
// TDataLink

TDataLink::~TDataLink() { Detach(); }

void TDataLink::BeforeDestruction() {
  Detach();
  inherited::BeforeDestruction();
}

void TDataLink::Detach() {
  FActive = false;
  FEditing = false;
  if (!FDataSource) return;
  TDataSource* source = FDataSource;
  FDataSource = nullptr;
  source->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveDataLink(this);
  FDataSource = Value;
  if (FDataSource) FDataSource->AddDataLink(this);
  UpdateState();
}

TDataSet* TDataLink::GetDataSet() const { return FDataSource ? FDataSource->GetDataSet() : nullptr; }

void TDataLink::UpdateState() {
  TDataSet* dataSet = GetDataSet();
  bool active = dataSet && dataSet->GetActive();
  SetActive(active);
  dataSet = GetDataSet();
  SetEditing(FActive && dataSet && IsEditState(dataSet->GetState()));
}

void TDataLink::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (FActive) FFirstRecord = ClampWindow(0);
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (Value == FEditing) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::SetBufferCount(Integer Value) {
  Value = std::max(1, Value);
  if (Value == FBufferCount) return;
  FBufferCount = Value;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  dataSet->UpdateBufferCount();
  if (FActive) FFirstRecord = ClampWindow(FFirstRecord);
}

Integer TDataLink::ClampWindow(Integer AFirst) const {
  const TDataSet* dataSet = GetDataSet();
  Integer active = dataSet->FActiveRecord;
  if (active < AFirst) AFirst = active;
  if (active >= AFirst + FBufferCount) AFirst = active - FBufferCount + 1;
  AFirst = std::min(AFirst, std::max(0, dataSet->GetBufferRecordCount() - FBufferCount));
  return std::max(0, AFirst);
}

// A link may still count as active for a moment while its source drops the dataset.
Integer TDataLink::GetActiveRecord() const {
  const TDataSet* dataSet = GetDataSet();
  return FActive && dataSet ? dataSet->FActiveRecord - FFirstRecord : 0;
}

void TDataLink::SetActiveRecord(Integer Value) {
  TDataSet* dataSet = GetDataSet();
  if (FActive && dataSet) dataSet->FActiveRecord = Value + FFirstRecord;
}

Integer TDataLink::GetRecordCount() const {
  const TDataSet* dataSet = GetDataSet();
  if (!FActive || !dataSet) return 0;
  return std::max(0, std::min(dataSet->GetBufferRecordCount() - FFirstRecord, FBufferCount));
}

bool TDataLink::Edit() {
  if (FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  TValueScope updating(FUpdating, true);
  UpdateData();
}

void TDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      Integer shift = Event == deDataSetScroll ? static_cast<Integer>(Info) : 0;
      Integer first = ClampWindow(FFirstRecord - shift);
      Integer distance = first - FFirstRecord + shift;
      FFirstRecord = first;
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(distance);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deFocusControl:
      FocusControl(*reinterpret_cast<TField**>(Info));
      break;
    default:
      break;
  }
}

bool TDataLink::ExecuteAction(TBasicAction* Action) { return FDataSource && FDataSource->ExecuteAction(Action); }

bool TDataLink::UpdateAction(TBasicAction* Action) { return FDataSource && FDataSource->UpdateAction(Action); }

void TDataLink::DataSetChanged() { RecordChanged(nullptr); }
void TDataLink::DataSetScrolled(Integer) { DataSetChanged(); }
void TDataLink::FocusControl(TField*&) {}
void TDataLink::LayoutChanged() { DataSetChanged(); }
void TDataLink::RecordChanged(TField*) {}
