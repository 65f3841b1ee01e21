// The grid data controller, the items' data bindings, the queued record changes, record hit
// tests and the table views' drag helpers.
#include "core/qvFilter.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "grid/qvGridCustomTableView.h"
#include "grid/qvGridLevel.h"

QJ_IMPLEMENT_CLASS(TqvGridDataController)
QJ_IMPLEMENT_CLASS(TqvGridDefaultValuesProvider)
QJ_IMPLEMENT_CLASS(TqvGridItemDataBinding)
QJ_IMPLEMENT_CLASS(TqvGridDataChange)
QJ_IMPLEMENT_CLASS(TqvGridRecordChange)
QJ_IMPLEMENT_CLASS(TqvGridFocusedRecordChange)
QJ_IMPLEMENT_CLASS(TqvGridRecordHitTest)
QJ_IMPLEMENT_CLASS(TqvGridRecordCellHitTest)
QJ_IMPLEMENT_CLASS(TqvGridExpandButtonHitTest)
QJ_IMPLEMENT_CLASS(TqvGridNavigatorHitTest)
QJ_IMPLEMENT_CLASS(TqvGridDragOpenInfoExpand)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableDragAndDropObject)

// ---------------------------------------------------------------------------------------------
// Grid data controller

TqvCustomGridTableView* TqvGridDataController::GetTableView() const {
  return dynamic_cast<TqvCustomGridTableView*>(GetOwnerComponent());
}

TqvCustomGridView* TqvGridDataController::GetGridView() { return GetTableView(); }

TqvCustomGridTableItem* TqvGridDataController::TableItem(Integer AItemIndex) const {
  return dynamic_cast<TqvCustomGridTableItem*>(GetItem(AItemIndex));
}

bool TqvGridDataController::CanSelectRow(Integer ARowIndex) {
  TqvCustomGridTableView* view = GetTableView();
  return view ? view->DoCanSelectRecord(ARowIndex) : inherited::CanSelectRow(ARowIndex);
}

Integer TqvGridDataController::GetDefaultActiveRelationIndex() const {
  TqvCustomGridTableView* view = GetTableView();
  return view ? view->GetDefaultActiveDetailIndex() : inherited::GetDefaultActiveRelationIndex();
}

Integer TqvGridDataController::GetItemID(TObject* AItem) const {
  auto* item = dynamic_cast<TqvCustomGridTableItem*>(AItem);
  return item ? item->GetID() : -1;
}

TqvSummaryItemClass TqvGridDataController::GetSummaryItemClass() const {
  TqvCustomGridTableView* view = GetTableView();
  TqvSummaryItemClass own = view ? view->GetSummaryItemClass() : nullptr;
  return own ? own : inherited::GetSummaryItemClass();
}

TqvSummaryItemClass TqvGridDataController::GetSummaryGroupItemLinkClass() const {
  TqvCustomGridTableView* view = GetTableView();
  TqvSummaryItemClass own = view ? view->GetSummaryGroupItemLinkClass() : nullptr;
  return own ? own : inherited::GetSummaryGroupItemLinkClass();
}

void TqvGridDataController::ItemValueTypeClassChanged(Integer AItemIndex) {
  inherited::ItemValueTypeClassChanged(AItemIndex);
  if (TqvCustomGridTableView* view = GetTableView()) view->ItemValueTypeClassChanged(AItemIndex);
}

TObject* TqvGridDataController::GetItem(Integer AIndex) const {
  TqvCustomGridTableView* view = GetTableView();
  return view ? view->GetItem(AIndex) : inherited::GetItem(AIndex);
}

String TqvGridDataController::GetItemDisplayName(Integer AItemIndex) const {
  TqvCustomGridTableItem* item = TableItem(AItemIndex);
  return item ? item->GetFilterCaption() : inherited::GetItemDisplayName(AItemIndex);
}

bool TqvGridDataController::ItemHasOwnDisplayText(Integer AItemIndex) const {
  TqvCustomGridTableItem* item = TableItem(AItemIndex);
  if (!item) return false;
  TqvCustomEditProperties* properties = item->GetActualProperties();
  return (properties && properties->GetSupportedOperations() >= esoSortingByDisplayText) ||
         static_cast<bool>(item->OnGetDisplayText);
}

Integer TqvGridDataController::GetItemValueSource(Integer AItemIndex) const {
  TqvCustomGridTableItem* item = TableItem(AItemIndex);
  TqvCustomEditProperties* properties = item ? item->GetActualProperties() : nullptr;
  return properties ? properties->GetEditValueSource(true) : evsText;
}

String TqvGridDataController::GetDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  TqvCustomGridTableView* view = GetTableView();
  if (!view) return inherited::GetDisplayText(ARecordIndex, AItemIndex);
  String text;
  if (!view->GetPropertiesDisplayText(ARecordIndex, AItemIndex, text))
    text = inherited::GetDisplayText(ARecordIndex, AItemIndex);
  view->GetDisplayText(ARecordIndex, AItemIndex, text);
  return text;
}

void TqvGridDataController::FocusItemControl(Integer AItemIndex, bool& AHandled) {
  inherited::FocusItemControl(AItemIndex, AHandled);
  if (TqvCustomGridTableView* view = GetTableView()) view->FocusItemControl(AItemIndex, AHandled);
}

void TqvGridDataController::UpdateEditorsData() {
  inherited::UpdateEditorsData();
  if (TqvCustomGridTableView* view = GetTableView()) view->UpdateEditorsData();
}

TObject* TqvGridDataController::CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) {
  auto* level = dynamic_cast<TqvGridLevel*>(ARelation->GetItem());
  return level ? level->CreateDetailClone(ARelation, ARecordIndex) : nullptr;
}

TqvCustomDataController* TqvGridDataController::GetDetailDataController(TObject* ALinkObject) {
  auto* view = dynamic_cast<TqvCustomGridView*>(ALinkObject);
  return view ? view->GetDataController() : nullptr;
}

TqvFilterCriteriaItem* TqvGridDataController::AddItemToFilter(TqvFilterCriteriaItemList* AList,
                                                              TqvCustomGridTableItem* AItem,
                                                              TqvFilterOperatorKind AOperatorKind,
                                                              const Variant& AValue, String ADisplayText,
                                                              bool AReplaceExisting) {
  if (ADisplayText.empty() && !VarIsNull(AValue)) ADisplayText = VarToStr(AValue);
  AItem->DoGetFilterDisplayText(AValue, ADisplayText);
  TqvDataFilterCriteria* filter = GetFilter();
  if (AReplaceExisting) filter->RemoveItemByItemLink(AItem);
  return filter->AddItem(AList, AItem, AOperatorKind, AValue, ADisplayText);
}

TqvGridItemDataBindingClass TqvGridDataController::GetItemDataBindingClass() {
  return &TqvGridItemDataBinding::StaticClass();
}

TqvGridDefaultValuesProviderClass TqvGridDataController::GetItemDefaultValuesProviderClass() {
  return &TqvGridDefaultValuesProvider::StaticClass();
}

bool TqvGridDataController::IsFocusedRecordFirst() {
  TqvCustomGridTableView* view = GetTableView();
  return view && view->GetController()->IsFocusedRecordFirst();
}

bool TqvGridDataController::IsFocusedRecordLast() {
  TqvCustomGridTableView* view = GetTableView();
  return view && view->GetController()->IsFocusedRecordLast();
}

// ---------------------------------------------------------------------------------------------
// Item data binding

bool TqvGridDefaultValuesProvider::IsDisplayFormatDefined(bool) {
  auto* binding = dynamic_cast<TqvGridItemDataBinding*>(GetOwner());
  return binding && binding->IsDisplayFormatDefined();
}

TqvGridItemDataBinding::TqvGridItemDataBinding(TqvCustomGridTableItem* AItem) : FItem(AItem) {
  TqvGridDefaultValuesProviderClass providerClass = &TqvGridDefaultValuesProvider::StaticClass();
  if (TqvGridDataController* controller = GetDataController())
    providerClass = controller->GetItemDefaultValuesProviderClass();
  FDefaultValuesProvider.reset(providerClass->Create(this));
}

TqvGridItemDataBinding::~TqvGridItemDataBinding() = default;

void TqvGridItemDataBinding::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvGridItemDataBinding*>(Source)) {
    if (GetDataController() && source->GetDataController()) SetValueTypeClass(source->GetValueTypeClass());
    return;
  }
  inherited::Assign(Source);
}

TqvEditRepositoryItem* TqvGridItemDataBinding::GetDefaultRepositoryItem() {
  return GetDefaultEditDataRepositoryItems()->GetItem(GetValueTypeClass());
}

TqvCustomGridTableView* TqvGridItemDataBinding::GetGridView() const { return FItem->GetGridView(); }

TqvGridDataController* TqvGridItemDataBinding::GetDataController() const {
  TqvCustomGridTableView* view = GetGridView();
  return view ? view->GetDataController() : nullptr;
}

TqvDataFilterCriteria* TqvGridItemDataBinding::GetFilter() const { return GetDataController()->GetFilter(); }

TqvValueTypeClass TqvGridItemDataBinding::GetValueTypeClass() const {
  return GetDataController()->GetItemValueTypeClass(FItem->GetIndex());
}

void TqvGridItemDataBinding::SetValueTypeClass(TqvValueTypeClass AValue) {
  GetDataController()->ChangeValueTypeClass(FItem->GetIndex(), AValue);
}

IqvEditDefaultValuesProvider* TqvGridItemDataBinding::GetDefaultValuesProvider(TqvCustomEditProperties*) {
  return FDefaultValuesProvider.get();
}

bool TqvGridItemDataBinding::GetFiltered() const { return GetFilter()->FindItemByItemLink(FItem) != nullptr; }

void TqvGridItemDataBinding::SetFiltered(bool AValue) {
  if (!AValue) GetFilter()->RemoveItemByItemLink(FItem);
}

TqvFilterCriteriaItem* TqvGridItemDataBinding::AddToFilter(TqvFilterCriteriaItemList* AList,
                                                           TqvFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                           const String& ADisplayText, bool AReplaceExisting) {
  return GetDataController()->AddItemToFilter(AList, FItem, AOperatorKind, AValue, ADisplayText, AReplaceExisting);
}

void TqvGridItemDataBinding::GetFilterStrings(TStrings* AStrings, TqvFilterValueList* AValueList) {
  if (auto* dataList = dynamic_cast<TqvDataFilterValueList*>(AValueList)) dataList->Load(FItem->GetIndex());
  FItem->DoGetFilterValues(AValueList);
  TUpdateScope update(AStrings);
  AStrings->Clear();
  for (Integer i = 0; i < AValueList->GetCount(); ++i) {
    TqvFilterValueItem& entry = AValueList->GetItem(i);
    String text = entry.EntryText;
    FItem->DoGetFilterDisplayText(entry.EntryValue, text);
    // The line carries its entry (a TqvFilterValueItem*, owned by AValueList).
    AStrings->AddObject(text, reinterpret_cast<TObject*>(&entry));
  }
}

bool TqvGridItemDataBinding::IsDisplayFormatDefined() const {
  return GetDataController()->GetItemTextStored(FItem->GetIndex()) || static_cast<bool>(FItem->OnGetDisplayText);
}

// ---------------------------------------------------------------------------------------------
// Queued record changes

void TqvGridDataChange::Execute() {
  if (auto* view = dynamic_cast<TqvCustomGridTableView*>(GetGridView())) view->RecordCountChanged();
}

TqvGridRecordChange::TqvGridRecordChange(TqvCustomGridView* AGridView, Integer ARowIndex, bool ANewItemRecord,
                                         TqvCustomGridTableItem* AItem)
    : TqvCustomGridViewChange(AGridView), FRowIndex(ARowIndex), FNewItemRecord(ANewItemRecord), FItem(AItem) {}

void TqvGridRecordChange::Execute() {
  auto* view = static_cast<TqvCustomGridTableView*>(GetGridView());
  TqvCustomGridTableViewData* viewData = view->GetViewData();
  TqvCustomGridRecord* record = FNewItemRecord ? viewData->GetNewItemRecord() : viewData->GetMadeRecord(FRowIndex);
  TqvCustomGridRecordViewInfo* recordViewInfo = record ? record->GetViewInfo() : nullptr;
  if (!recordViewInfo) return;
  if (FItem && (view->IndexOfItem(FItem) == -1 || FItem->GetVisibleIndex() == -1 || !FItem->GetActuallyVisible()))
    return;
  if (!view->IsVisibleOrPattern()) return;
  recordViewInfo->RecalculateRecord();
  view->InvalidateRect(recordViewInfo->GetBoundsForInvalidate(FItem));
}

bool TqvGridRecordChange::IsCoveredBy(TqvCustomGridChange* AChange) {
  return GetGridView() && AChange->GetGridView() == GetGridView() &&
         (AChange->InheritsFrom<TqvGridLayoutChange>() || AChange->InheritsFrom<TqvGridSizeChange>() ||
          AChange->InheritsFrom<TqvGridDataChange>());
}

bool TqvGridRecordChange::SameAs(TqvCustomGridChange* AChange) {
  if (!inherited::SameAs(AChange)) return false;
  auto* other = static_cast<TqvGridRecordChange*>(AChange);
  return other->FRowIndex == FRowIndex && other->FNewItemRecord == FNewItemRecord && other->FItem == FItem;
}

size_t TqvGridRecordChange::GetMergeKey() const {
  return std::hash<const void*>()(FItem) ^ (static_cast<size_t>(FRowIndex) * 2 + (FNewItemRecord ? 1 : 0));
}

void TqvGridFocusedRecordChange::Execute() {
  auto* view = static_cast<TqvCustomGridTableView*>(GetGridView());
  if (!view->IsVisibleOrPattern()) return;
  TqvCustomGridTableController* controller = view->GetController();
  TAliveToken alive = view->AliveToken();
  controller->MakeFocusedRecordVisible();
  if (!alive) return;
  TqvCustomGridTableViewData* viewData = view->GetViewData();
  if (viewData->IsRecordIndexValid(FOldFocusedRowIndex))
    if (TqvCustomGridRecord* record = viewData->GetMadeRecord(FOldFocusedRowIndex)) record->Invalidate();
  if (viewData->IsRecordIndexValid(FFocusedRowIndex))
    if (TqvCustomGridRecord* record = viewData->GetMadeRecord(FFocusedRowIndex)) record->Invalidate();
  if (FNewItemRowFocusChanged)
    if (TqvCustomGridRecord* record = viewData->GetNewItemRecord()) record->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Record hit tests and drags

TqvCustomGridTableViewData* TqvGridRecordHitTest::ViewData() const {
  auto* view = dynamic_cast<TqvCustomGridTableView*>(GetGridView());
  return view ? view->GetViewData() : nullptr;
}

TqvCustomGridRecord* TqvGridRecordHitTest::GetGridRecord() const {
  TqvCustomGridTableViewData* viewData = ViewData();
  if (!viewData) return nullptr;
  if (FNewItemRecord) return viewData->GetNewItemRecord();
  return viewData->GetRecordByIndex(FRowIndex);
}

void TqvGridRecordHitTest::SetGridRecord(TqvCustomGridRecord* ARecord) {
  FNewItemRecord = ARecord && ARecord->IsNewItemRecord();
  FRowIndex = ARecord && !FNewItemRecord ? ARecord->GetIndex() : -1;
}

bool TqvGridDragOpenInfoExpand::Matches(TqvCustomGridDragOpenInfo* AInfo) {
  if (!inherited::Matches(AInfo)) return false;
  auto* other = static_cast<TqvGridDragOpenInfoExpand*>(AInfo);
  return other->FGridView == FGridView && other->FRowIndex == FRowIndex;
}

void TqvGridDragOpenInfoExpand::Open() {
  if (TqvCustomGridRecord* record = FGridView->GetViewData()->GetRecordByIndex(FRowIndex)) record->SetExpanded(true);
}

TqvCustomGridTableView* TqvCustomGridTableDragAndDropObject::GetGridView() const {
  return static_cast<TqvCustomGridTableView*>(inherited::GetGridView());
}

TqvCustomGridTableController* TqvCustomGridTableDragAndDropObject::GetController() const {
  return GetGridView()->GetController();
}

TqvCustomGridTableViewInfo* TqvCustomGridTableDragAndDropObject::GetViewInfo() const {
  return GetGridView()->GetViewInfo();
}
