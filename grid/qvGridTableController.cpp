// The table controller: focus of records and items, moves between them (also into and out of
// details), the top record index and scrolling, and the table layout object's part of it.
#include "grid/qvGridCustomTableView.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridTableController)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableViewInfo)

namespace {
constexpr Cardinal GridModeBufferCountUpdateInterval = 1;

TqvCustomGridTableController* TableControllerOf(TqvCustomGridView* AView) {
  return dynamic_cast<TqvCustomGridTableController*>(AView->GetController());
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Life and parts

TqvCustomGridTableController::TqvCustomGridTableController(TqvCustomGridView* AGridView)
    : TqvCustomGridController(AGridView) {}

TqvCustomGridTableController::~TqvCustomGridTableController() = default;

TqvCustomGridTableView* TqvCustomGridTableController::GetGridView() const {
  return static_cast<TqvCustomGridTableView*>(inherited::GetGridView());
}
TqvGridDataController* TqvCustomGridTableController::GetDataController() const {
  return GetGridView()->GetDataController();
}
TqvCustomGridTableViewData* TqvCustomGridTableController::GetViewData() const { return GetGridView()->GetViewData(); }
TqvCustomGridTableViewInfo* TqvCustomGridTableController::GetViewInfo() const { return GetGridView()->GetViewInfo(); }

IqvGridDataControllerHooks* TqvCustomGridTableController::Hooks() const {
  return dynamic_cast<IqvGridDataControllerHooks*>(GetGridView()->GetDataController());
}

// ---------------------------------------------------------------------------------------------
// Queries

bool TqvCustomGridTableController::CanAppend() {
  TqvGridDataController* dataController = GetDataController();
  return (dataController->GetEditOperations() & dceopAppend) != 0 &&
         (dataController->GetEditState() & dceInsert) == 0;
}

bool TqvCustomGridTableController::CanInsert(bool ACheckOptions) {
  return (GetDataController()->GetEditOperations() & dceopInsert) != 0 &&
         (!ACheckOptions || GetGridView()->GetOptionsData()->GetInserting());
}

bool TqvCustomGridTableController::CanDelete(bool ACheckOptions) {
  return (GetDataController()->GetEditOperations() & dceopDelete) != 0 &&
         (!ACheckOptions || GetGridView()->GetOptionsData()->GetDeleting());
}

bool TqvCustomGridTableController::CanEdit() {
  const TqvDataControllerEditOperations needed = dceopEdit | dceopItemEdit;
  return FFocusedItem && GetGridView()->GetOptionsData()->GetEditing() &&
         (GetDataController()->GetEditOperations() & needed) == needed;
}

bool TqvCustomGridTableController::CanCancelOnExit() {
  const TqvDataControllerEditState mask = dceInsert | dceChanging | dceModified;
  return GetGridView()->GetOptionsData()->CancelOnExit && (GetDataController()->GetEditState() & mask) == dceInsert;
}

bool TqvCustomGridTableController::CanHideHScrollBar() { return !GetGridView()->GetOptionsView()->GetNavigator(); }

bool TqvCustomGridTableController::IsDataFullyVisible() {
  return GetViewInfo()->GetVisibleRecordCount() >= GetViewData()->GetRecordCount();
}

bool TqvCustomGridTableController::IsMultiSelectActive() {
  return GetGridView()->GetOptionsSelection()->GetMultiSelect();
}

// ---------------------------------------------------------------------------------------------
// Focused record

Integer TqvCustomGridTableController::GetFocusedRowIndex() const { return GetDataController()->GetFocusedRowIndex(); }

TqvCustomGridRecord* TqvCustomGridTableController::GetFocusedRecord() {
  return GetViewData()->GetRecordByIndex(GetFocusedRowIndex());
}

void TqvCustomGridTableController::SetFocusedRecord(TqvCustomGridRecord* ARecord) {
  SetFocusedRowIndex(ARecord ? ARecord->GetIndex() : -1);
}

bool TqvCustomGridTableController::SetFocusedRowIndex(Integer ARowIndex) {
  TqvCustomGridTableViewData* viewData = GetViewData();
  if (TqvCustomGridRecord* record = viewData->GetRecordByIndex(ARowIndex); record && !record->CanFocus()) return false;
  TqvCustomGridTableView* view = GetGridView();
  const bool wasFocused = ARowIndex == GetFocusedRowIndex();
  TAliveToken alive = view->AliveToken();
  if (!GetDataController()->ChangeFocusedRowIndex(ARowIndex) || !alive) return false;
  if (!FMakeVisibleOnFocus) return true;
  if (wasFocused) MakeFocusedRecordVisible();
  if (alive && GetFocusedRowIndex() != -1) view->SetFocused(true);
  return true;
}

void TqvCustomGridTableController::SelectFocusedOnly() {
  TqvGridDataController* dataController = GetDataController();
  if (!IsMultiSelectActive() || GetFocusedRowIndex() == -1) return;
  dataController->ClearSelection();
  dataController->SetSelectionAnchor(GetFocusedRowIndex());
  dataController->ChangeRowSelection(GetFocusedRowIndex(), true);
}

bool TqvCustomGridTableController::FocusRecord(Integer ARowIndex, bool ASelect) {
  TAliveToken alive = GetGridView()->AliveToken();
  SetFocusedRowIndex(ARowIndex);
  if (!alive) return false;
  const bool focused = GetFocusedRowIndex() == ARowIndex;
  if (focused && ASelect) SelectFocusedOnly();
  return focused;
}

TqvFocusRecordResult TqvCustomGridTableController::FocusNextRecord(Integer ARowIndex, bool AForward, bool ASelect,
                                                                   bool AGoIntoDetail, bool ACycle) {
  const TqvFocusRecordResult result = FocusNextRecordCore(ARowIndex, AForward, AGoIntoDetail, ACycle);
  if (result != frrMoved || !ASelect) return result;
  TqvCustomGrid* grid = GetControl();
  TqvCustomGridView* focused = grid ? grid->GetFocusedView() : GetGridView();
  if (TqvCustomGridTableController* controller = focused ? TableControllerOf(focused) : nullptr)
    controller->SelectFocusedOnly();
  return result;
}

// A search from AStart (-1: from outside) in the direction; with cycling the walk continues at
// the other end and the start itself is tried last.
Integer TqvCustomGridTableController::FindNextIndex(Integer AStart, Integer ACount, bool& AWrapped,
                                                    const TIndexTest& ATest, bool ACycle, bool AForward) {
  AWrapped = false;
  if (ACount <= 0) return -1;
  Integer index;
  if (AStart < 0 || AStart >= ACount) {
    if (AForward)
      index = 0;
    else if (ACycle)
      index = ACount - 1;
    else
      return -1;
    AStart = -1;
  } else {
    index = AStart + (AForward ? 1 : -1);
  }
  for (Integer steps = 0; steps < ACount; ++steps) {
    if (index < 0 || index >= ACount) {
      if (!ACycle) return -1;
      index = AForward ? 0 : ACount - 1;
      AWrapped = true;
    }
    if (ATest(index)) return index;
    if (index == AStart) return -1;
    index += AForward ? 1 : -1;
  }
  return -1;
}

Integer TqvCustomGridTableController::FindNextRecordIndex(Integer ARowIndex, bool AForward, bool ACycle,
                                                          bool& AWrapped) {
  TqvGridDataController* dataController = GetDataController();
  TqvCustomGridTableViewData* viewData = GetViewData();
  if (dataController->IsGridMode()) {
    if (AForward && ARowIndex == viewData->GetRecordCount() - 1 && !dataController->IsEOF()) {
      dataController->Scroll(1);
      if (!dataController->IsEOF()) --ARowIndex;
    } else if (!AForward && ARowIndex == 0 && !dataController->IsBOF()) {
      dataController->Scroll(-1);
      if (!dataController->IsBOF()) ++ARowIndex;
    }
  }
  return FindNextIndex(
      ARowIndex, viewData->GetRecordCount(), AWrapped,
      [viewData](Integer AIndex) { return viewData->GetRecord(AIndex)->CanFocus(); }, ACycle, AForward);
}

// The open editor's value is written; a modified record is posted; a new record left untouched
// is cancelled when the move leaves it towards the rows' end it was added at. True: go on.
bool TqvCustomGridTableController::LeaveEditedRecord(Integer& ARowIndex, bool AForward, bool& AMovedByCancel) {
  TqvGridDataController* dataController = GetDataController();
  AMovedByCancel = false;
  if (!dataController->IsEditing()) return true;
  TAliveToken alive = GetGridView()->AliveToken();
  dataController->UpdateData();
  if (!alive) return false;
  const TqvDataControllerEditState state = dataController->GetEditState();
  if (state == dceInsert) {
    if (dataController->IsEOF() != AForward) {
      dataController->Cancel();
      AMovedByCancel = true;
      return static_cast<bool>(alive);
    }
    return true;
  }
  if (state & dceModified) {
    dataController->Post();
    if (!alive) return false;
    ARowIndex = GetFocusedRowIndex();
  }
  return true;
}

TqvFocusRecordResult TqvCustomGridTableController::FocusTargetRecord(Integer ARowIndex, bool AForward,
                                                                     bool AGoIntoDetail, bool ACycle) {
  TqvCustomGridTableView* view = GetGridView();
  TqvCustomGridTableViewData* viewData = GetViewData();
  TqvGridDataController* dataController = GetDataController();
  TAliveToken alive = view->AliveToken();
  if (dataController->IsGridMode() && ARowIndex == -1) {
    if (AForward)
      dataController->GotoFirst();
    else if (ACycle)
      dataController->GotoLast();
    if (!alive) return frrViewFreed;
  }
  TqvCustomGridRecord* target = nullptr;
  if (AForward && AGoIntoDetail && view->HasVisibleDetailLevels())
    if (TqvCustomGridRecord* record = viewData->GetRecordByIndex(ARowIndex)) target = record->GetFirstFocusableChild();
  if (!target) {
    bool wrapped = false;
    const Integer next = FindNextRecordIndex(ARowIndex, AForward, ACycle, wrapped);
    if (!alive) return frrViewFreed;
    if (next == -1) {
      if (AForward && view->GetOptionsData()->Appending && CanAppend()) {
        CreateNewRecord(true);
        return alive ? frrMoved : frrViewFreed;
      }
      TqvCustomGridView* master = view->GetMasterGridView();
      TqvCustomGridTableController* masterController = master ? TableControllerOf(master) : nullptr;
      if (!masterController) return frrNotMoved;
      TqvCustomGridRecord* masterRecord = view->GetMasterRecord();
      if (AForward || !masterRecord || !masterRecord->CanFocus()) {
        if (dataController->IsGridMode()) return frrNotMoved;
        return masterController->FocusNextRecordCore(view->GetMasterRowIndex(), AForward, !AForward, ACycle);
      }
      return masterController->SetFocusedRowIndex(masterRecord->GetIndex()) ? frrMoved : frrNotMoved;
    }
    target = viewData->GetRecord(next);
    if (!AForward && AGoIntoDetail && view->HasVisibleDetailLevels())
      if (TqvCustomGridRecord* child = target->GetLastFocusableChild()) target = child;
  }
  const Integer targetRow = target->GetIndex();
  TqvCustomGridTableView* targetView = target->GetGridView();
  TqvCustomGridTableController* targetController = targetView->GetController();
  targetController->SetFocusedRowIndex(targetRow);
  if (!alive) return frrViewFreed;
  return targetController->GetFocusedRowIndex() == targetRow ? frrMoved : frrNotMoved;
}

TqvFocusRecordResult TqvCustomGridTableController::FocusNextRecordCore(Integer ARowIndex, bool AForward,
                                                                       bool AGoIntoDetail, bool ACycle) {
  TqvCustomGridTableView* view = GetGridView();
  TAliveToken alive = view->AliveToken();
  TqvCustomGrid* grid = GetControl();
  const bool wasFocusedView = view->IsFocused();
  const Integer previousRow = GetFocusedRowIndex();
  bool movedByCancel = false;
  if (!LeaveEditedRecord(ARowIndex, AForward, movedByCancel)) return alive ? frrNotMoved : frrViewFreed;
  TqvFocusRecordResult result =
      movedByCancel ? frrMoved : FocusTargetRecord(ARowIndex, AForward, AGoIntoDetail, ACycle);
  if (!alive) return frrViewFreed;
  if (view->IsFocused() != wasFocusedView) {
    TqvGridDataController* dataController = GetDataController();
    if (view->GetOptionsSelection()->UnselectFocusedRecordOnExit && dataController->GetSelectedCount() == 1 &&
        previousRow != -1 && dataController->IsRowSelected(previousRow))
      dataController->ChangeRowSelection(previousRow, false);
    TqvCustomGridView* focused = grid ? grid->GetFocusedView() : nullptr;
    if (TqvCustomGridTableController* controller = focused ? TableControllerOf(focused) : nullptr)
      controller->SelectFocusedOnly();
  }
  return result;
}

TqvFocusRecordResult TqvCustomGridTableController::GoToFirst() { return FocusNextRecord(-1, true, true, false, false); }

TqvFocusRecordResult TqvCustomGridTableController::GoToLast(bool AGoIntoDetail) {
  return FocusNextRecord(-1, false, true, AGoIntoDetail, true);
}

TqvFocusRecordResult TqvCustomGridTableController::GoToNext(bool AGoIntoDetail, bool ASelect) {
  return FocusNextRecord(GetFocusedRowIndex(), true, ASelect, AGoIntoDetail, false);
}

TqvFocusRecordResult TqvCustomGridTableController::GoToPrev(bool AGoIntoDetail, bool ASelect) {
  return FocusNextRecord(GetFocusedRowIndex(), false, ASelect, AGoIntoDetail, false);
}

bool TqvCustomGridTableController::IsFocusedRecordFirst() {
  bool wrapped = false;
  return FindNextIndex(
             GetFocusedRowIndex(), GetViewData()->GetRecordCount(), wrapped,
             [this](Integer AIndex) { return GetViewData()->GetRecord(AIndex)->CanFocus(); }, false, false) == -1;
}

bool TqvCustomGridTableController::IsFocusedRecordLast() {
  bool wrapped = false;
  return FindNextIndex(
             GetFocusedRowIndex(), GetViewData()->GetRecordCount(), wrapped,
             [this](Integer AIndex) { return GetViewData()->GetRecord(AIndex)->CanFocus(); }, false, true) == -1;
}

Integer TqvCustomGridTableController::GetSelectedRecordCount() const { return GetDataController()->GetSelectedCount(); }

TqvCustomGridRecord* TqvCustomGridTableController::GetSelectedRecord(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetSelectedRecordCount()) return nullptr;
  return GetViewData()->GetRecordByIndex(GetDataController()->GetSelectedRowIndex(AIndex));
}

void TqvCustomGridTableController::InvalidateFocusedRecord() {
  if (TqvCustomGridRecord* record = GetFocusedRecord()) record->Invalidate();
}

void TqvCustomGridTableController::CreateNewRecord(bool AAppend) {
  if (AAppend ? !CanAppend() : !CanInsert(true)) return;
  if (AAppend)
    GetDataController()->Append();
  else
    GetDataController()->Insert();
}

// ---------------------------------------------------------------------------------------------
// Items

Integer TqvCustomGridTableController::GetFocusedItemIndex() const {
  return FFocusedItem ? FFocusedItem->GetVisibleIndex() : -1;
}

void TqvCustomGridTableController::SetFocusedItemIndex(Integer AValue) {
  TqvCustomGridTableView* view = GetGridView();
  if (AValue == -1)
    SetFocusedItem(nullptr);
  else if (AValue >= 0 && AValue < view->GetVisibleItemCount())
    SetFocusedItem(view->GetVisibleItem(AValue));
}

bool TqvCustomGridTableController::SetFocusedItem(TqvCustomGridTableItem* AItem) {
  if (AItem && !AItem->CanFocus()) return false;
  if (AItem == FFocusedItem) {
    MakeFocusedItemVisible();
    return true;
  }
  TqvCustomGridTableItem* previous = FFocusedItem;
  FFocusedItem = AItem;
  FocusedItemChanged(previous);
  return true;
}

void TqvCustomGridTableController::FocusedItemChanged(TqvCustomGridTableItem* APrevItem) {
  TqvCustomGridTableView* view = GetGridView();
  if (view->IsLoading() || view->IsDestroying()) return;
  TAliveToken alive = view->AliveToken();
  MakeFocusedItemVisible();
  if (!alive) return;
  if (TqvCustomGridRecord* record = GetFocusedRecord()) {
    if (APrevItem) record->Invalidate(APrevItem);
    if (FFocusedItem) record->Invalidate(FFocusedItem);
  }
  if (!APrevItem || !FFocusedItem) view->RefreshNavigators();
  view->DoFocusedItemChanged(APrevItem, FFocusedItem);
}

void TqvCustomGridTableController::MakeFocusedItemVisible() {
  if (FFocusedItem) MakeItemVisible(FFocusedItem);
}

Integer TqvCustomGridTableController::FindNextItem(Integer AItemIndex, bool AForward, bool ACycle, bool& AWrapped) {
  TqvCustomGridTableView* view = GetGridView();
  return FindNextIndex(
      AItemIndex, view->GetVisibleItemCount(), AWrapped,
      [view](Integer AIndex) { return view->GetVisibleItem(AIndex)->CanFocus(); }, ACycle, AForward);
}

bool TqvCustomGridTableController::FocusNextItem(Integer AItemIndex, bool AForward, bool ACycleToNextRecord,
                                                 bool ACycleInRecord) {
  TqvCustomGridTableView* view = GetGridView();
  bool wrapped = false;
  const Integer next = FindNextItem(AItemIndex, AForward, ACycleToNextRecord || ACycleInRecord, wrapped);
  if (next == -1) return false;
  TqvCustomGridTableItem* item = view->GetVisibleItem(next);
  if (!wrapped || !ACycleToNextRecord) {
    SetFocusedItem(item);
    return true;
  }
  TqvGridDataController* dataController = GetDataController();
  TAliveToken alive = view->AliveToken();
  if (dataController->IsNewItemRowFocused()) {
    dataController->Post();
    if (!alive) return true;
    dataController->SetNewItemRowFocused(true);
    if (!alive) return true;
    SetFocusedItem(item);
    return true;
  }
  const TqvFocusRecordResult moved = FocusNextRecordCore(GetFocusedRowIndex(), AForward, false, false);
  if (moved != frrMoved) return true;
  TqvCustomGridRecord* record = GetFocusedRecord();
  if (record && record->HasCells()) SetFocusedItem(item);
  return true;
}

bool TqvCustomGridTableController::FocusNextCell(bool AForward, bool ANoRecordChange) {
  TqvCustomGridTableView* view = GetGridView();
  const bool focusCellOnCycle = view->GetOptionsBehavior()->FocusCellOnCycle;
  TqvCustomGridRecord* record = GetFocusedRecord();
  if (record && record->HasCells() && view->GetOptionsSelection()->GetCellSelect())
    return FocusNextItem(GetFocusedItemIndex(), AForward, focusCellOnCycle, false);
  if (ANoRecordChange || !focusCellOnCycle) return false;
  if (FocusNextRecordCore(GetFocusedRowIndex(), AForward, false, false) != frrMoved) return false;
  record = GetFocusedRecord();
  if (record && record->HasCells()) {
    if (AForward)
      FocusFirstItem();
    else
      FocusNextItem(-1, false, false, true);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Top record index, pages, scrolling

void TqvCustomGridTableController::SetTopRecordIndex(Integer AValue) {
  CheckTopRecordIndex(AValue);
  InternalSetTopRecordIndex(AValue);
}

void TqvCustomGridTableController::CheckTopRecordIndex(Integer& AValue) {
  if (FCheckingTopRecordIndex) return;
  TValueScope checking(FCheckingTopRecordIndex, true);
  TqvGridDataController* dataController = GetDataController();
  const bool gridMode = dataController->IsGridMode();
  if (AValue < 0) {
    if (gridMode && !dataController->IsBOF()) dataController->Scroll(AValue);
    AValue = 0;
  }
  Integer count = GetViewData()->GetRecordCount();
  if (AValue > count - 1) {
    if (gridMode && !dataController->IsEOF()) dataController->Scroll(AValue - count + 1);
    count = GetViewData()->GetRecordCount();
    AValue = std::max<Integer>(0, count - 1);
  }
  Integer maxTop = GetMaxTopRecordIndex();
  if (AValue > maxTop) {
    if (gridMode && !dataController->IsEOF() && (dataController->GetEditState() & dceInsert) == 0) {
      dataController->Scroll(AValue - maxTop);
      maxTop = GetMaxTopRecordIndex();
    }
    AValue = std::max<Integer>(0, maxTop);
  }
}

void TqvCustomGridTableController::InternalSetTopRecordIndex(Integer AValue) {
  if (AValue == FTopRecordIndex) return;
  const Integer delta = AValue - FTopRecordIndex;
  FTopRecordIndex = AValue;
  TqvCustomGridTableView* view = GetGridView();
  TqvCustomGridTableViewInfo* viewInfo = GetViewInfo();
  if (AValue != -1) {
    const bool allowed = viewInfo->GetAllowCheckCoordinates();
    viewInfo->SetAllowCheckCoordinates(false);
    TFinally restore([&] { viewInfo->SetAllowCheckCoordinates(allowed); });
    if (view->CanOffset(delta))
      view->Offset(delta, 0, 0);
    else if (view->HasVisibleDetailLevels())
      view->SizeChanged(!view->IsDetail(), false);
    else
      view->LayoutChanged(true);
  }
  view->DoTopRecordIndexChanged();
}

Integer TqvCustomGridTableController::GetMaxTopRecordIndex() {
  const Integer count = GetViewData()->GetRecordCount();
  return count - GetPageRecordCount(count - 1, false);
}

Integer TqvCustomGridTableController::GetPageRecordCount(Integer AFromIndex, bool AForward) {
  TqvCustomGridTableViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->GetClientBounds().IsEmpty()) return 0;
  const Integer remaining = AForward ? GetViewData()->GetRecordCount() - AFromIndex : AFromIndex + 1;
  if (GetGridView()->IsEqualHeightRecords()) {
    const Integer fit = viewInfo->CalculateVisibleEqualHeightRecordCount();
    if (fit != -1) return std::max<Integer>(0, std::min(fit, remaining));
  }
  auto* infoClass = static_cast<const TqvGridViewHandler::MetaType*>(viewInfo->ClassType());
  TOwned<TqvCustomGridTableViewInfo> measuring(static_cast<TqvCustomGridTableViewInfo*>(infoClass->Create(GetGridView())));
  measuring->SetForcedFirstRecordIndex(AFromIndex, AForward);
  measuring->MainCalculate(viewInfo->GetBounds());
  return measuring->GetVisibleRecordCount();
}

void TqvCustomGridTableController::ScrollPageDown() {
  SetTopRecordIndex(FTopRecordIndex + GetViewInfo()->GetVisibleRecordCount());
}

void TqvCustomGridTableController::ScrollPageUp() {
  SetTopRecordIndex(FTopRecordIndex - GetViewInfo()->GetVisibleRecordCount());
}

void TqvCustomGridTableController::ScrollPage(bool AForward) {
  if (IqvGridDataControllerHooks* hooks = Hooks(); hooks && hooks->ScrollPage(AForward)) return;
  if (AForward)
    ScrollPageDown();
  else
    ScrollPageUp();
}

void TqvCustomGridTableController::ScrollRecords(bool AForward, Integer ACount) {
  if (IqvGridDataControllerHooks* hooks = Hooks(); hooks && hooks->ScrollRecords(AForward)) return;
  SetTopRecordIndex(FTopRecordIndex + (AForward ? ACount : -ACount));
}

void TqvCustomGridTableController::FocusNextPage(bool ASelect) {
  TAliveToken alive = GetGridView()->AliveToken();
  MakeFocusedRecordVisible();
  if (!alive) return;
  const Integer lastVisible = FTopRecordIndex + GetViewInfo()->GetVisibleRecordCount() - 1;
  if (GetFocusedRowIndex() == lastVisible) ScrollPage(true);
  if (!alive) return;
  const Integer target = FTopRecordIndex + GetViewInfo()->GetVisibleRecordCount() - 1;
  if (target >= 0) FocusRecord(std::min(target, GetViewData()->GetRecordCount() - 1), ASelect);
}

void TqvCustomGridTableController::FocusPrevPage(bool ASelect) {
  TAliveToken alive = GetGridView()->AliveToken();
  MakeFocusedRecordVisible();
  if (!alive) return;
  if (GetFocusedRowIndex() == FTopRecordIndex) ScrollPage(false);
  if (!alive) return;
  if (GetViewData()->GetRecordCount() > 0) FocusRecord(FTopRecordIndex, ASelect);
}

void TqvCustomGridTableController::CheckCoordinates() { SetTopRecordIndex(FTopRecordIndex); }

void TqvCustomGridTableController::MakeFocusedRecordVisible() { MakeRecordVisible(GetFocusedRowIndex()); }

void TqvCustomGridTableController::MakeRecordVisible(Integer ARowIndex) {
  TqvCustomGridTableView* view = GetGridView();
  if (ARowIndex < 0 || ARowIndex >= GetViewData()->GetRecordCount() || !GetControl()) return;
  if (FTopRecordIndex > ARowIndex) SetTopRecordIndex(ARowIndex);
  TqvCustomGridTableViewInfo* viewInfo = GetViewInfo();
  for (;;) {
    const Integer visible = viewInfo->GetVisibleRecordCount();
    if (visible == 0) {
      if (ARowIndex > FTopRecordIndex) SetTopRecordIndex(ARowIndex);
      break;
    }
    if (ARowIndex < FTopRecordIndex + visible) break;
    const Integer before = FTopRecordIndex;
    SetTopRecordIndex(ARowIndex - GetPageRecordCount(ARowIndex, false) + 1);
    if (FTopRecordIndex == before) break;
  }
  if (view->IsDetail())
    if (TqvCustomGridRecord* master = view->GetMasterRecord()) master->MakeVisible();
}

// ---------------------------------------------------------------------------------------------
// Scroll bar (in records)

Integer TqvCustomGridTableController::GetScrollBarOffsetBegin() {
  TqvGridDataController* dataController = GetDataController();
  return dataController->IsGridMode() && !dataController->IsBOF() ? 1 : 0;
}

Integer TqvCustomGridTableController::GetScrollBarOffsetEnd() {
  TqvGridDataController* dataController = GetDataController();
  return dataController->IsGridMode() && !dataController->IsEOF() ? 1 : 0;
}

Integer TqvCustomGridTableController::GetScrollBarPos() {
  IqvGridDataControllerHooks* hooks = Hooks();
  const Integer own = hooks ? hooks->GetScrollBarPos() : -1;
  return own != -1 ? own : GetScrollBarOffsetBegin() + FTopRecordIndex;
}

Integer TqvCustomGridTableController::GetScrollBarRecordCount() {
  IqvGridDataControllerHooks* hooks = Hooks();
  const Integer own = hooks ? hooks->GetScrollBarRecordCount() : -1;
  return own != -1 ? own : GetScrollBarOffsetBegin() + GetViewData()->GetRecordCount() + GetScrollBarOffsetEnd();
}

void TqvCustomGridTableController::SetScrollBarPos(Integer AValue) {
  if (IqvGridDataControllerHooks* hooks = Hooks(); hooks && hooks->SetScrollBarPos(AValue)) return;
  if (GetDataController()->IsGridMode())
    SetTopRecordIndex(AValue - GetScrollBarOffsetBegin());
  else
    InternalSetTopRecordIndex(AValue);
}

// ---------------------------------------------------------------------------------------------
// Grid-mode buffer

void TqvCustomGridTableController::PostGridModeBufferCountUpdate() {
  if (FGridModeBufferCountUpdateTimer || !GetDataController()->IsGridMode()) return;
  FGridModeBufferCountUpdateTimer = MakeOwned<TTimer>(nullptr);
  FGridModeBufferCountUpdateTimer->SetInterval(GridModeBufferCountUpdateInterval);
  FGridModeBufferCountUpdateTimer->SetOnTimer([this](TObject*) { GridModeBufferCountUpdate(); });
  FGridModeBufferCountUpdateTimer->SetEnabled(true);
}

void TqvCustomGridTableController::GridModeBufferCountUpdate() {
  if (GetViewInfo()->GetClientBounds().IsEmpty()) return;
  FGridModeBufferCountUpdateTimer.reset();
  if (IqvGridDataControllerHooks* hooks = Hooks()) hooks->AdjustGridModeBufferCount();
}

// ---------------------------------------------------------------------------------------------
// View hooks

void TqvCustomGridTableController::DetailFocused(TqvCustomGridView* ADetailView) {
  TValueScope makeVisible(FMakeVisibleOnFocus, false);
  SetFocusedRowIndex(ADetailView->GetMasterRowIndex());
}

void TqvCustomGridTableController::FocusGained() {
  TAliveToken alive = GetGridView()->AliveToken();
  inherited::FocusGained();
  if (alive) InvalidateFocusedRecord();
}

void TqvCustomGridTableController::FocusLost() {
  TAliveToken alive = GetGridView()->AliveToken();
  inherited::FocusLost();
  if (!alive) return;
  TqvGridDataController* dataController = GetDataController();
  const Integer row = GetFocusedRowIndex();
  if (GetGridView()->GetOptionsSelection()->UnselectFocusedRecordOnExit && dataController->GetSelectedCount() == 1 &&
      row != -1 && dataController->IsRowSelected(row))
    dataController->ChangeRowSelection(row, false);
  InvalidateFocusedRecord();
}

void TqvCustomGridTableController::ControlFocusChanged() {
  inherited::ControlFocusChanged();
  TqvGridDataController* dataController = GetDataController();
  for (Integer i = 0; i < dataController->GetSelectedCount(); ++i)
    if (TqvCustomGridRecord* record = GetViewData()->GetMadeRecord(dataController->GetSelectedRowIndex(i)))
      record->Invalidate();
  InvalidateFocusedRecord();
}

void TqvCustomGridTableController::DoExit() {
  TAliveToken alive = GetGridView()->AliveToken();
  if (CanCancelOnExit())
    GetDataController()->Cancel();
  else
    GetDataController()->UpdateData();
  if (alive) inherited::DoExit();
}

void TqvCustomGridTableController::EndEditing() {
  if (GetGridView()->IsDestroying()) return;
  TqvGridDataController* dataController = GetDataController();
  if (dataController->IsEditing()) dataController->Post();
}

void TqvCustomGridTableController::AfterOffset() { UpdateScrollBars(); }

// ---------------------------------------------------------------------------------------------
// Table layout object

TqvCustomGridTableView* TqvCustomGridTableViewInfo::GetGridView() const {
  return static_cast<TqvCustomGridTableView*>(inherited::GetGridView());
}

TqvCustomGridTableController* TqvCustomGridTableViewInfo::GetController() const {
  return GetGridView()->GetController();
}

Integer TqvCustomGridTableViewInfo::GetFirstRecordIndex() const {
  return FForcedFirstRecordIndex != -1 ? FForcedFirstRecordIndex : GetController()->GetTopRecordIndex();
}

bool TqvCustomGridTableViewInfo::CanCheckCoordinates() {
  return !IsInternal() && !IsMeasuring() && FAllowCheckCoordinates;
}


void TqvCustomGridTableViewInfo::AfterCalculating() {
  inherited::AfterCalculating();
  if (CanCheckCoordinates()) GetController()->CheckCoordinates();
}
