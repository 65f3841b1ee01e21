// The data link: the dataset's events, passed to the provider and its controller, processed,
// taken for a scroll, or held back while another provider of the dataset loads.
#include "dataaware/qvDBData.h"

TqvDBDataLink::TqvDBDataLink(TqvDBDataProvider* AProvider) : FProvider(AProvider) { SetVisualControl(true); }

void TqvDBDataLink::ActiveChanged() {
  TValueScope<bool> inActiveChanged(FProvider->FInActiveChanged, true, FProvider->FAlive.Token());
  FProvider->ActiveChanged(GetActive());
}

// Info 0: the dataset's controls came back; the next data set change is taken for a layout
// change, unless it comes from a provider's own work.
void TqvDBDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  TDataLink::DataEvent(Event, Info);
  if (Event == deDisabledStateChange && Info == 0) FLayoutChangedPending = true;
}

// A provider's own load disables and enables the controls as well; the layout change a
// re-enable asks for is dropped when the change is the providers' own, so a load does not run
// twice and other controllers of the dataset only catch up.
void TqvDBDataLink::DataSetChanged() {
  TqvDBDataController* c = FProvider->GetDBDataController();
  if (FProvider->IsOtherProviderLoading() || c->IsDetailQueryPending()) return;
  if (FProvider->IsChangeFromProviders()) {
    FLayoutChangedPending = false;
    return DataSetScrolled(0);
  }
  if (FLayoutChangedPending) return LayoutChanged();
  if (FProvider->IsGridMode()) return GridModeDataSetChanged();
  NormalModeDataSetChanged();
}

void TqvDBDataLink::GridModeDataSetChanged() {
  TqvDBDataController* c = FProvider->GetDBDataController();
  TAliveToken alive = c->AliveToken();
  TValueScope<bool> inUpdate(FProvider->FInGridModeUpdate, true, FProvider->FAlive.Token());
  TUpdateScope<TqvCustomDataController> update(c);
  FProvider->UpdateGridModeBuffer();
  if (!alive) return;
  if (c->GetMultiSelect()) c->GetDBSelection()->RemoveInvalidBookmarks();
  c->CheckBookmark(-1);
  if (FProvider->IsInserting()) FProvider->MirrorInsert();
}

void TqvDBDataLink::NormalModeDataSetChanged() {
  TDataSet* dataSet = GetDataSet();
  TAliveToken alive = FProvider->FAlive.Token();
  if (!IsEditState(dataSet->GetState())) {
    if (FProvider->IsSmartRefresh()) {
      FProvider->SmartRefresh();
      if (alive) DataSetScrolled(0);
    } else {
      FProvider->DataChanged(dckEverything, -1, -1);
    }
    if (alive) FProvider->ResetInsertTracking();
    return;
  }
  if (dataSet->GetState() != dsInsert) return;
  TqvDBDataController* c = FProvider->GetDBDataController();
  if (c->IsDetailMode() && !FProvider->IsDetailRangeCurrent()) return;
  FProvider->MirrorInsert();
}

void TqvDBDataLink::DataSetScrolled(Integer ADistance) { FProvider->Scrolled(ADistance); }

// Editing ended: a new-item row's insert keeps its values in a record of its own first.
void TqvDBDataLink::EditingChanged() {
  TDataSet* dataSet = GetDataSet();
  bool editing = GetActive() && dataSet && IsEditState(dataSet->GetState());
  if (!editing) {
    TqvDBDataController* c = FProvider->GetDBDataController();
    Integer edited = FProvider->GetEditingRecordIndex();
    if (FProvider->FTrackedInserting && c->IsNewRecordIndex(edited)) {
      FProvider->FTrackedNewRecordIndex = c->GetStorage()->AppendRecord();
      c->CopyRecord(edited, FProvider->FTrackedNewRecordIndex);
    }
    FProvider->EndEditing();
  } else if (dataSet->GetState() == dsEdit) {
    FProvider->InitEditRecord();
  }
}

void TqvDBDataLink::FocusControl(TField*& AField) {
  TqvDBDataController* c = FProvider->GetDBDataController();
  for (Integer i = 0; i < c->GetItemCount(); ++i) {
    if (c->GetDBField(i)->GetField() != AField) continue;
    bool handled = false;
    c->FocusItemControl(i, handled);
    if (handled) AField = nullptr;
    return;
  }
}

void TqvDBDataLink::LayoutChanged() {
  FLayoutChangedPending = false;
  FProvider->LayoutChanged(3);
}

void TqvDBDataLink::RecordChanged(TField* AField) { FProvider->RecordChanged(AField); }

void TqvDBDataLink::UpdateData() {
  TqvDBDataController* c = FProvider->GetDBDataController();
  TAliveToken alive = FProvider->FAlive.Token();
  if (FProvider->IsEditingItem()) c->UpdateEditorsData();
  if (!alive) return;
  if (FProvider->IsSmartRefresh()) RecordChanged(nullptr);
  if (alive) FProvider->ResetEditingItem();
}

// ---------------------------------------------------------------------------------------------
// The provider's side of the events

void TqvDBDataProvider::RecordChanged(TField*) {
  TqvDBDataController* c = GetDBDataController();
  TAliveToken alive = FAlive.Token();
  bool rangeElsewhere = c->IsDetailMode() && IsSyncMode() && !IsDetailRangeCurrent();
  if (DataSetInEditState() && !rangeElsewhere) c->UpdateEditingRecord();
  if (alive) ResetEditingItem();
}

// An insert made on the dataset gets its record in the controller: at the end after the last
// record, else where the dataset inserted it.
void TqvDBDataProvider::MirrorInsert() {
  if (!IsSyncInsert() || GetEditingRecordIndex() != qvNoEditedRecordIndex) return;
  bool wasUnchecked = GetFocusedRowChangeUnchecked();
  SetFocusedRowChangeUnchecked(true);
  TFinally restore([this, alive = FAlive.Token(), wasUnchecked] {
    if (alive) SetFocusedRowChangeUnchecked(wasUnchecked);
  });
  BeginInsert(GetDataSet()->GetEof());
}
