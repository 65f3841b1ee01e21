// The common base of table-like views: item lists, options, the answers to the data
// controller, its notifications and the drawing states.
#include "grid/qvGridCustomTableView.h"
#include "grid/qvGridLevel.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridTableView)

// ---------------------------------------------------------------------------------------------
// Life, handlers, options

void TqvCustomGridTableView::BeforeDestruction() {
  ClearItems();
  inherited::BeforeDestruction();
}

void TqvCustomGridTableView::ConnectDataController() {
  inherited::ConnectDataController();
  GetDataController()->SetMultiSelect(false);
}

void TqvCustomGridTableView::CreateOptions() {
  inherited::CreateOptions();
  FFiltering.reset(static_cast<TqvCustomGridTableFiltering*>(GetFilteringClass()->Create(this)));
  FOptionsBehavior.reset(static_cast<TqvCustomGridTableOptionsBehavior*>(GetOptionsBehaviorClass()->Create(this)));
  FOptionsCustomize.reset(static_cast<TqvCustomGridTableOptionsCustomize*>(GetOptionsCustomizeClass()->Create(this)));
  FOptionsData.reset(static_cast<TqvCustomGridTableOptionsData*>(GetOptionsDataClass()->Create(this)));
}

void TqvCustomGridTableView::DestroyOptions() {
  FOptionsData.reset();
  FOptionsCustomize.reset();
  FOptionsBehavior.reset();
  FFiltering.reset();
  inherited::DestroyOptions();
}

TqvCustomDataControllerClass TqvCustomGridTableView::GetDataControllerClass() const {
  return &TqvGridDataController::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetBackgroundBitmapsClass() const {
  return &TqvCustomGridTableBackgroundBitmaps::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetOptionsSelectionClass() const {
  return &TqvCustomGridTableOptionsSelection::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetOptionsViewClass() const {
  return &TqvCustomGridTableOptionsView::StaticClass();
}
TqvCustomStylesClass TqvCustomGridTableView::GetStylesClass() const {
  return &TqvCustomGridTableViewStyles::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetFilteringClass() const {
  return &TqvCustomGridTableFiltering::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetOptionsBehaviorClass() const {
  return &TqvCustomGridTableOptionsBehavior::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetOptionsCustomizeClass() const {
  return &TqvCustomGridTableOptionsCustomize::StaticClass();
}
TqvCustomGridOptionsClass TqvCustomGridTableView::GetOptionsDataClass() const {
  return &TqvCustomGridTableOptionsData::StaticClass();
}

TqvGridItemDataBindingClass TqvCustomGridTableView::GetItemDataBindingClass() {
  auto* hooks = dynamic_cast<IqvGridDataControllerHooks*>(inherited::GetDataController());
  return hooks ? hooks->GetItemDataBindingClass() : &TqvGridItemDataBinding::StaticClass();
}

TqvGridDataController* TqvCustomGridTableView::GetDataController() const {
  return static_cast<TqvGridDataController*>(inherited::GetDataController());
}
TqvCustomGridTableController* TqvCustomGridTableView::GetController() const {
  return static_cast<TqvCustomGridTableController*>(inherited::GetController());
}
TqvCustomGridTableViewData* TqvCustomGridTableView::GetViewData() const {
  return static_cast<TqvCustomGridTableViewData*>(inherited::GetViewData());
}
TqvCustomGridTableViewInfo* TqvCustomGridTableView::GetViewInfo() const {
  return static_cast<TqvCustomGridTableViewInfo*>(inherited::GetViewInfo());
}
TqvCustomGridTableOptionsSelection* TqvCustomGridTableView::GetOptionsSelection() const {
  return static_cast<TqvCustomGridTableOptionsSelection*>(inherited::GetOptionsSelection());
}
TqvCustomGridTableOptionsView* TqvCustomGridTableView::GetOptionsView() const {
  return static_cast<TqvCustomGridTableOptionsView*>(inherited::GetOptionsView());
}
TqvCustomGridTableViewStyles* TqvCustomGridTableView::GetStyles() const {
  return static_cast<TqvCustomGridTableViewStyles*>(inherited::GetStyles());
}
TqvCustomGridTableBackgroundBitmaps* TqvCustomGridTableView::GetBackgroundBitmaps() const {
  return static_cast<TqvCustomGridTableBackgroundBitmaps*>(inherited::GetBackgroundBitmaps());
}

void TqvCustomGridTableView::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FOptionsBehavior) FOptionsBehavior->Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------
// Items

TqvCustomGridTableItem* TqvCustomGridTableView::CreateItem() {
  auto* item = static_cast<TqvCustomGridTableItem*>(GetItemClass()->Create(Owner()));
  AddItem(item);
  return item;
}

Integer TqvCustomGridTableView::IndexOfItem(TqvCustomGridTableItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

TqvCustomGridTableItem* TqvCustomGridTableView::FindItemByID(Integer AID) const {
  for (TqvCustomGridTableItem* item : FItems)
    if (item->GetID() == AID) return item;
  return nullptr;
}

void TqvCustomGridTableView::RefreshItemIndexes() {
  for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->SetListPlace(static_cast<Integer>(i), FItems[i]->GetVisibleIndex());
}

void TqvCustomGridTableView::ReleaseItemID(Integer AID) {
  if (AID == FNextItemID - 1) --FNextItemID;
}

void TqvCustomGridTableView::AddItem(TqvCustomGridTableItem* AItem) {
  if (IndexOfItem(AItem) != -1) return;
  FItems.push_back(AItem);
  RefreshItemIndexes();
  AItem->SetID(GetNextItemID());
  GetDataController()->AddItem(AItem);
  AItem->SetGridView(this);
  if (AItem->GetVisible())
    ItemVisibilityChanged(AItem, true);
  else
    AItem->SetVisible(true);
  RefreshFilterableItemsList();
}

void TqvCustomGridTableView::RemoveItem(TqvCustomGridTableItem* AItem) {
  const Integer index = IndexOfItem(AItem);
  if (index == -1) return;
  if (FOptionsBehavior && FOptionsBehavior->IncSearchItem == AItem) FOptionsBehavior->IncSearchItem = nullptr;
  if (AItem->GetFocused()) AItem->SetFocused(false);
  if (TqvCustomGridTableController* controller = GetController(); controller && controller->GetFocusedItem() == AItem)
    controller->SetFocusedItem(nullptr);
  FItems.erase(FItems.begin() + index);
  AItem->SetListPlace(-1, -1);
  RefreshItemIndexes();
  RefreshVisibleItemsList();
  GetDataController()->RemoveItem(AItem);
  AItem->SetGridView(nullptr);
  ReleaseItemID(AItem->GetID());
  RefreshFilterableItemsList();
  SizeChanged();
}

void TqvCustomGridTableView::ChangeItemIndex(TqvCustomGridTableItem* AItem, Integer ANewIndex) {
  const Integer index = IndexOfItem(AItem);
  if (index == -1) return;
  ANewIndex = std::clamp<Integer>(ANewIndex, 0, GetItemCount() - 1);
  if (ANewIndex == index) return;
  FItems.erase(FItems.begin() + index);
  FItems.insert(FItems.begin() + ANewIndex, AItem);
  RefreshItemIndexes();
  if (AItem->GetActuallyVisible()) RefreshVisibleItemsList();
  GetDataController()->UpdateItemIndexes();
}

void TqvCustomGridTableView::ItemVisibilityChanged(TqvCustomGridTableItem* AItem, bool AVisible) {
  TqvCustomGridTableController* controller = GetController();
  if (AVisible) {
    RefreshVisibleItemsList();
    SizeChanged();
    if (controller && !controller->GetFocusedItem()) controller->SetFocusedItem(AItem);
    return;
  }
  AItem->SetFocused(false);
  RefreshVisibleItemsList();
  SizeChanged();
}

void TqvCustomGridTableView::RefreshVisibleItemsList() {
  FVisibleItems.clear();
  for (TqvCustomGridTableItem* item : FItems) {
    if (item->GetActuallyVisible()) {
      item->SetVisibleIndex(static_cast<Integer>(FVisibleItems.size()));
      FVisibleItems.push_back(item);
    } else {
      item->SetVisibleIndex(-1);
    }
  }
}

void TqvCustomGridTableView::RefreshFilterableItemsList() {
  if (IsDestroying()) return;
  FFilterableItems.clear();
  for (TqvCustomGridTableItem* item : FItems)
    if (item->GetFilterable()) FFilterableItems.push_back(item);
}

void TqvCustomGridTableView::ClearItems() {
  if (FItems.empty()) return;
  TUpdateScope update(this);
  while (!FItems.empty()) Free(FItems.back());
  FNextItemID = 0;
}

void TqvCustomGridTableView::ApplyBestFit(TqvCustomGridTableItem* AItem) {
  if (AItem) {
    AItem->ApplyBestFit();
    return;
  }
  const std::vector<TqvCustomGridTableItem*> visible = FVisibleItems;
  for (TqvCustomGridTableItem* item : visible) item->ApplyBestFit();
}

void TqvCustomGridTableView::ItemValueTypeClassChanged(Integer AItemIndex) {
  if (AItemIndex >= 0 && AItemIndex < GetItemCount()) GetItem(AItemIndex)->ValueTypeClassChanged();
}

// ---------------------------------------------------------------------------------------------
// Answers to the data controller

bool TqvCustomGridTableView::DoCanSelectRecord(Integer ARowIndex) {
  bool allow = true;
  if (OnCanSelectRecord) OnCanSelectRecord(this, RecordOfRow(ARowIndex), allow);
  return allow;
}

void TqvCustomGridTableView::FocusItemControl(Integer, bool&) {}

Integer TqvCustomGridTableView::GetDefaultActiveDetailIndex() {
  TqvGridLevel* level = GetLevel();
  if (!level) return -1;
  for (Integer i = 0; i < level->GetCount(); ++i)
    if (level->GetItem(i)->GetVisible()) return i;
  return -1;
}

void TqvCustomGridTableView::GetDisplayText(Integer ARecordIndex, Integer AItemIndex, String& AText) {
  TqvCustomGridTableItem* item = GetItem(AItemIndex);
  if (!item->OnGetDisplayText) return;
  item->DoGetDisplayText(GetViewData()->GetRecordByRecordIndex(ARecordIndex), AText);
}

bool TqvCustomGridTableView::GetPropertiesDisplayText(Integer ARecordIndex, Integer AItemIndex, String& AText) {
  AText.clear();
  TqvCustomEditProperties* properties = GetItem(AItemIndex)->GetProperties();
  if (!properties || properties->GetEditValueSource(false) != evsValue) return false;
  AText = properties->GetDisplayText(GetDataController()->GetValue(ARecordIndex, AItemIndex));
  return true;
}

bool TqvCustomGridTableView::IsItemSortByDisplayText(Integer AItemIndex) {
  TqvCustomGridTableItem* item = GetItem(AItemIndex);
  TqvCustomEditProperties* properties = item->GetActualProperties();
  return (properties && (properties->GetSupportedOperations() & esoSortingByDisplayText) != 0) ||
         static_cast<bool>(item->OnGetDisplayText);
}

Integer TqvCustomGridTableView::GetItemValueSource(Integer AItemIndex) {
  TqvCustomEditProperties* properties = GetItem(AItemIndex)->GetActualProperties();
  return properties ? properties->GetEditValueSource(true) : evsText;
}

TqvFilterCriteria* TqvCustomGridTableView::GetCriteria() { return GetDataController()->GetFilter(); }

TqvValueTypeClass TqvCustomGridTableView::GetValueTypeClass(Integer AIndex) {
  return GetDataController()->GetItemValueTypeClass(GetFilterableItem(AIndex)->GetIndex());
}

TqvCustomGridRecord* TqvCustomGridTableView::RecordOfRow(Integer ARowIndex) {
  TqvCustomGridTableViewData* viewData = GetViewData();
  if (ARowIndex < 0 || ARowIndex >= GetDataController()->GetRowCount()) return nullptr;
  return viewData->GetRecordByIndex(ARowIndex);
}

TqvCustomGridRecord* TqvCustomGridTableView::GetMasterRecord() const {
  auto* master = dynamic_cast<TqvCustomGridTableView*>(GetMasterGridView());
  if (!master || GetMasterRecordIndex() == -1) return nullptr;
  return master->GetViewData()->GetRecordByRecordIndex(GetMasterRecordIndex());
}

// ---------------------------------------------------------------------------------------------
// Notifications of the data controller

void TqvCustomGridTableView::UpdateControl(TqvUpdateControlInfo* AInfo) {
  if (IsDestroying()) return;
  TAliveToken alive = AliveToken();
  inherited::UpdateControl(AInfo);
  if (AInfo->InheritsFrom<TqvDataChangedInfo>())
    DataChanged();
  else if (AInfo->InheritsFrom<TqvLayoutChangedInfo>())
    DataLayoutChanged();
  else if (auto* focused = As<TqvFocusedRecordChangedInfo>(AInfo))
    FocusedRecordChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex, focused->NewItemRowFocusingChanged);
  else if (auto* updated = As<TqvUpdateRecordInfo>(AInfo))
    RecordUpdated(updated->RecordIndex);
  if (alive) RefreshNavigators();
}

void TqvCustomGridTableView::DataChanged() {
  for (TqvCustomGridTableItem* item : FItems) item->DataChanged();
  Changed(MakeOwned<TqvGridDataChange>(this));
}

void TqvCustomGridTableView::DataLayoutChanged() {
  GetViewData()->RefreshRecordInfos();
  SizeChanged();
}

void TqvCustomGridTableView::FocusedRecordChanged(Integer APrevRowIndex, Integer ARowIndex,
                                                  bool ANewItemRecordFocusingChanged) {
  TqvGridDataController* dataController = GetDataController();
  if (!dataController->IsSelectionAnchorSet() && ARowIndex != -1) dataController->SetSelectionAnchor(ARowIndex);
  TAliveToken alive = AliveToken();
  Changed(MakeOwned<TqvGridFocusedRecordChange>(this, APrevRowIndex, ARowIndex, ANewItemRecordFocusingChanged));
  if (!alive) return;
  if (dataController->IsGridMode()) GetController()->UpdateScrollBars();
  if (TqvCustomGrid* grid = GetGrid()) grid->SendNotification(nkFocusedRecord);
  if (!alive || !OnFocusedRecordChanged) return;
  TqvGridFocusedRecordChangedEvent handler = OnFocusedRecordChanged;
  handler(this, RecordOfRow(APrevRowIndex), RecordOfRow(ARowIndex), ANewItemRecordFocusingChanged);
}

void TqvCustomGridTableView::RecordUpdated(Integer ARecordIndex) {
  TqvCustomGridTableViewData* viewData = GetViewData();
  viewData->UpdateEditingRecord();
  if (TqvCustomGridRecord* record = viewData->GetRecordByRecordIndex(ARecordIndex))
    record->Invalidate();
  else
    LayoutChanged(true);
}

void TqvCustomGridTableView::RecordCountChanged() {
  const Integer rowCount = GetDataController()->GetRowCount();
  GetViewInfoCache()->SetCount(rowCount);
  GetViewData()->Refresh(rowCount);
  if (TqvCustomGrid* grid = GetGrid()) grid->SendNotification(nkRecordCount);
}

// ---------------------------------------------------------------------------------------------
// Scrolling

bool TqvCustomGridTableView::CanOffset(Integer ARecordCountDelta) {
  TqvCustomGrid* grid = GetGrid();
  return !(grid && grid->IsUpdateLocked()) && GetViewInfo()->CanOffset(ARecordCountDelta);
}

void TqvCustomGridTableView::Offset(Integer ARecordCountDelta, Integer AShiftX, Integer AShiftY) {
  GetViewInfo()->DoOffset(ARecordCountDelta, AShiftX, AShiftY);
  GetPainter()->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Drawing states

bool TqvCustomGridTableView::DrawRecordFocused(TqvCustomGridRecord* ARecord) {
  return ARecord && GetController()->GetFocusedRecord() == ARecord && IsFocused();
}

bool TqvCustomGridTableView::DrawRecordActive(TqvCustomGridRecord* ARecord) {
  return IsControlFocused() || (ARecord && GetController()->GetDragHighlightedRecord() == ARecord);
}

bool TqvCustomGridTableView::DrawRecordSelected(TqvCustomGridRecord* ARecord) {
  if (!ARecord) return false;
  if (ARecord->IsDragHighlighted()) return true;
  return ARecord->GetSelected() && (IsFocused() || GetOptionsSelection()->GetMultiSelect());
}

bool TqvCustomGridTableView::DrawDataCellSelected(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                                  TqvCustomGridCellViewInfo*, bool) {
  if (!ARecord || !ARecord->IsDrawnSelected()) return false;
  TqvCustomGridTableOptionsSelection* selection = GetOptionsSelection();
  const bool focusedCell = AItem && AItem == GetController()->GetFocusedItem() && ARecord->IsDrawnFocused();
  bool passes;
  if (selection->GetInvertSelect())
    passes = !focusedCell;
  else
    passes = focusedCell || selection->GetMultiSelect();
  if (!passes) return false;
  return IsControlFocused() || !selection->GetHideSelection();
}

// ---------------------------------------------------------------------------------------------
// Events

void TqvCustomGridTableView::DoFocusedItemChanged(TqvCustomGridTableItem* APrevItem, TqvCustomGridTableItem* AItem) {
  if (!OnFocusedItemChanged) return;
  TqvGridFocusedItemChangedEvent handler = OnFocusedItemChanged;
  handler(this, APrevItem, AItem);
}

void TqvCustomGridTableView::DoTopRecordIndexChanged() {
  if (!OnTopRecordIndexChanged) return;
  TNotifyEvent handler = OnTopRecordIndexChanged;
  handler(this);
}

void TqvCustomGridTableView::DoCustomDrawCell(TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo, bool& ADone) {
  if (!OnCustomDrawCell) return;
  TqvGridViewCustomDrawCellEvent handler = OnCustomDrawCell;
  handler(this, ACanvas, AViewInfo, ADone);
}
