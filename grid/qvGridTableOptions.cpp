// Options, content styles and background bitmaps of table views, and the filter dialogs.
#include "grid/qvFilterControlDialog.h"
#include "grid/qvFilterDialog.h"
#include "grid/qvGridCustomTableView.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridTableFiltering)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableOptionsBehavior)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableOptionsCustomize)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableOptionsData)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableOptionsSelection)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableOptionsView)
QJ_IMPLEMENT_CLASS(TqvGridDataCellPos)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableViewStyles)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableBackgroundBitmaps)

namespace {
TqvCustomGridTableView* TableViewOf(const TqvCustomGridOptions* AOptions) {
  return static_cast<TqvCustomGridTableView*>(AOptions->GetGridView());
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Filtering

TqvCustomGridTableView* TqvCustomGridTableFiltering::GetTableView() const { return TableViewOf(this); }

void TqvCustomGridTableFiltering::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableFiltering*>(Source)) {
    SetCustomizeDialog(source->FCustomizeDialog);
    SetDropDownWidth(source->FDropDownWidth);
    SetMaxDropDownCount(source->FMaxDropDownCount);
    SetVisible(source->FVisible);
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableFiltering::SetCustomizeDialog(bool AValue) {
  if (FCustomizeDialog == AValue) return;
  FCustomizeDialog = AValue;
  Changed();
}

void TqvCustomGridTableFiltering::SetVisible(TqvGridTableFilterVisible AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  Changed();
}

Integer TqvCustomGridTableFiltering::GetDropDownCount(Integer ACount) const {
  return FMaxDropDownCount != 0 && ACount >= FMaxDropDownCount ? FMaxDropDownCount : ACount;
}

void TqvCustomGridTableFiltering::ActivateFilter() { GetTableView()->GetDataController()->GetFilter()->SetActive(true); }

void TqvCustomGridTableFiltering::RunCustomizeDialog(TqvCustomGridTableItem* AItem) {
  TqvCustomGridTableView* view = GetTableView();
  TqvDataFilterCriteria* filter = view->GetDataController()->GetFilter();
  TqvCustomGrid* grid = view->GetGrid();
  TqvLookAndFeel* lookAndFeel = grid ? grid->GetLookAndFeel() : nullptr;
  if (!AItem || IsComplexFilter(filter)) {
    ShowFilterControlDialog(
        view, lookAndFeel, clDefault, [this](TObject*) { ActivateFilter(); }, view->OnFilterControlDialogShow,
        String());
    return;
  }
  if (ShowCustomFilterDialog(filter, AItem, AItem->GetProperties(), AItem->GetFilterCaption(),
                             AItem->GetDataBinding()->GetValueTypeClass(), lookAndFeel))
    ActivateFilter();
}

// ---------------------------------------------------------------------------------------------
// Behaviour, customizing, data

void TqvCustomGridTableOptionsBehavior::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableOptionsBehavior*>(Source)) {
    AlwaysShowEditor = source->AlwaysShowEditor;
    SetBestFitMaxRecordCount(source->FBestFitMaxRecordCount);
    CellHints = source->CellHints;
    DragFocusing = source->DragFocusing;
    DragHighlighting = source->DragHighlighting;
    DragOpening = source->DragOpening;
    DragScrolling = source->DragScrolling;
    FocusCellOnCycle = source->FocusCellOnCycle;
    SetFocusCellOnTab(source->FFocusCellOnTab);
    FocusFirstCellOnNewRecord = source->FocusFirstCellOnNewRecord;
    GoToNextCellOnEnter = source->GoToNextCellOnEnter;
    ImmediateEditor = source->ImmediateEditor;
    SetIncSearch(source->FIncSearch);
    IncSearchItem = source->IncSearchItem;
    NavigatorHints = source->NavigatorHints;
    PullFocusing = source->PullFocusing;
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableOptionsBehavior::Notification(TComponent* AComponent, TOperation AOperation) {
  if (AOperation == opRemove && AComponent == IncSearchItem) IncSearchItem = nullptr;
}

void TqvCustomGridTableOptionsBehavior::SetFocusCellOnTab(bool AValue) {
  if (FFocusCellOnTab == AValue) return;
  FFocusCellOnTab = AValue;
  TqvGridSite* site = GetGridView()->GetSite();
  if (!site) return;
  const TqvDialogKeys keys = site->GetKeys();
  site->SetKeys(AValue ? keys | dkBit(dkTab) : keys & ~dkBit(dkTab));
}

// No incremental search runs at this level: the flag alone changes.
void TqvCustomGridTableOptionsBehavior::SetIncSearch(bool AValue) { FIncSearch = AValue; }

void TqvCustomGridTableOptionsCustomize::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableOptionsCustomize*>(Source)) {
    ItemGrouping = source->ItemGrouping;
    ItemMoving = source->ItemMoving;
    ItemSorting = source->ItemSorting;
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableOptionsData::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableOptionsData*>(Source)) {
    Appending = source->Appending;
    CancelOnExit = source->CancelOnExit;
    SetDeleting(source->FDeleting);
    DeletingConfirmation = source->DeletingConfirmation;
    SetEditing(source->FEditing);
    SetInserting(source->FInserting);
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableOptionsData::SetNavigatorFlag(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  TableViewOf(this)->RefreshNavigators();
}

void TqvCustomGridTableOptionsData::SetDeleting(bool AValue) { SetNavigatorFlag(FDeleting, AValue); }
// No in-place editor is open while the editing controller is not part of the view.
void TqvCustomGridTableOptionsData::SetEditing(bool AValue) { SetNavigatorFlag(FEditing, AValue); }
void TqvCustomGridTableOptionsData::SetInserting(bool AValue) { SetNavigatorFlag(FInserting, AValue); }

// ---------------------------------------------------------------------------------------------
// Selection and view

void TqvCustomGridTableOptionsSelection::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableOptionsSelection*>(Source)) {
    SetCellSelect(source->FCellSelect);
    SetHideFocusRect(source->FHideFocusRect);
    SetHideSelection(source->FHideSelection);
    SetInvertSelect(source->FInvertSelect);
    SetMultiSelect(source->GetMultiSelect());
    UnselectFocusedRecordOnExit = source->UnselectFocusedRecordOnExit;
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableOptionsSelection::SetFlag(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TqvCustomGridTableOptionsSelection::SetCellSelect(bool AValue) {
  if (FCellSelect == AValue) return;
  FCellSelect = AValue;
  TqvCustomGridTableController* controller = TableViewOf(this)->GetController();
  if (!controller) return;
  if (AValue)
    controller->FocusFirstItem();
  else
    controller->SetFocusedItem(nullptr);
}

bool TqvCustomGridTableOptionsSelection::GetMultiSelect() const {
  return TableViewOf(this)->GetDataController()->GetMultiSelect();
}

void TqvCustomGridTableOptionsSelection::SetMultiSelect(bool AValue) {
  TableViewOf(this)->GetDataController()->SetMultiSelect(AValue);
}

void TqvCustomGridTableOptionsView::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableOptionsView*>(Source)) {
    SetCellAutoHeight(source->FCellAutoHeight);
    SetCellEndEllipsis(source->FCellEndEllipsis);
    SetCellTextMaxLineCount(source->FCellTextMaxLineCount);
    SetItemCaptionAutoHeight(source->FItemCaptionAutoHeight);
    SetItemCaptionEndEllipsis(source->FItemCaptionEndEllipsis);
    SetNavigator(source->FNavigator);
    SetNavigatorOffset(source->FNavigatorOffset);
    SetShowEditButtons(source->FShowEditButtons);
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableOptionsView::SizeChanged() { GetGridView()->SizeChanged(); }

void TqvCustomGridTableOptionsView::ItemCaptionAutoHeightChanged() { SizeChanged(); }

void TqvCustomGridTableOptionsView::SetCellAutoHeight(bool AValue) {
  if (FCellAutoHeight == AValue) return;
  FCellAutoHeight = AValue;
  SizeChanged();
}

void TqvCustomGridTableOptionsView::SetCellEndEllipsis(bool AValue) {
  if (FCellEndEllipsis == AValue) return;
  FCellEndEllipsis = AValue;
  Changed();
}

void TqvCustomGridTableOptionsView::SetCellTextMaxLineCount(Integer AValue) {
  AValue = std::max<Integer>(0, AValue);
  if (FCellTextMaxLineCount == AValue) return;
  FCellTextMaxLineCount = AValue;
  SizeChanged();
}

void TqvCustomGridTableOptionsView::SetItemCaptionAutoHeight(bool AValue) {
  if (FItemCaptionAutoHeight == AValue) return;
  FItemCaptionAutoHeight = AValue;
  ItemCaptionAutoHeightChanged();
}

void TqvCustomGridTableOptionsView::SetItemCaptionEndEllipsis(bool AValue) {
  if (FItemCaptionEndEllipsis == AValue) return;
  FItemCaptionEndEllipsis = AValue;
  Changed();
}

void TqvCustomGridTableOptionsView::SetNavigator(bool AValue) {
  if (FNavigator == AValue) return;
  FNavigator = AValue;
  SizeChanged();
}

void TqvCustomGridTableOptionsView::SetNavigatorOffset(Integer AValue) {
  AValue = std::max<Integer>(0, AValue);
  if (FNavigatorOffset == AValue) return;
  FNavigatorOffset = AValue;
  SizeChanged();
}

void TqvCustomGridTableOptionsView::SetShowEditButtons(TqvGridShowEditButtons AValue) {
  if (FShowEditButtons == AValue) return;
  FShowEditButtons = AValue;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Content styles

TqvCustomGridTableView* TqvCustomGridTableViewStyles::GetTableView() const {
  return dynamic_cast<TqvCustomGridTableView*>(GetGridView());
}

void TqvCustomGridTableViewStyles::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = dynamic_cast<TqvCustomGridTableViewStyles*>(Source);
  if (!source) return;
  for (Integer i = vsContent; i <= vsSelection; ++i) SetValue(i, source->GetValue(i));
  OnGetContentStyle = source->OnGetContentStyle;
}

void TqvCustomGridTableViewStyles::GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) {
  inherited::GetDefaultViewParams(Index, AData, AParams);
  TqvLookAndFeelPainterClass painter = GetLookAndFeelPainter();
  auto* cell = dynamic_cast<TqvGridDataCellPos*>(AData);
  switch (Index) {
    case vsContent:
    case vsContentEven:
    case vsContentOdd:
      AParams.Color = painter->DefaultContentColor();
      AParams.TextColor = painter->DefaultContentTextColor();
      break;
    case vsInactive:
      if (cell) GetContentParams(cell->Record, cell->Item, AParams);
      AParams.Color = painter->DefaultInactiveColor();
      AParams.TextColor = painter->DefaultInactiveTextColor();
      break;
    case vsIncSearch:
      AParams.Color = clDefault;
      AParams.TextColor = clDefault;
      break;
    case vsSelection:
      if (cell) GetContentParams(cell->Record, cell->Item, AParams);
      AParams.Color = painter->DefaultSelectionColor();
      AParams.TextColor = painter->DefaultSelectionTextColor();
      break;
    default:
      break;
  }
}

void TqvCustomGridTableViewStyles::GetViewContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                                        TqvViewParams& AParams) {
  TqvStyle* style = nullptr;
  if (ARecord && OnGetContentStyle) OnGetContentStyle(GetTableView(), ARecord, AItem, style);
  if (ARecord) {
    const Integer index = ARecord->GetIndex() % 2 == 0 ? vsContentEven : vsContentOdd;
    if (GetValue(index)) {
      TqvGridDataCellPos cell(ARecord, AItem);
      GetViewParams(index, &cell, style, AParams);
      return;
    }
  }
  GetViewParams(vsContent, ARecord, style, AParams);
}

void TqvCustomGridTableViewStyles::GetContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                                    TqvViewParams& AParams) {
  if (AItem)
    AItem->GetStyles()->GetContentParams(ARecord, AParams);
  else
    GetRecordContentParams(ARecord, nullptr, AParams);
}

void TqvCustomGridTableViewStyles::GetRecordContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                                          TqvViewParams& AParams) {
  GetViewContentParams(ARecord, AItem, AParams);
}

void TqvCustomGridTableViewStyles::GetDataCellParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                                     TqvCustomGridCellViewInfo* ACellViewInfo, bool AUseCellViewInfo,
                                                     TqvViewParams& AParams) {
  TqvCustomGridTableView* view = GetTableView();
  const bool selected = view->DrawDataCellSelected(ARecord, AItem, AUseCellViewInfo ? ACellViewInfo : nullptr,
                                                   AUseCellViewInfo);
  if (!selected) {
    GetContentParams(ARecord, AItem, AParams);
    return;
  }
  TqvGridDataCellPos cell(ARecord, AItem);
  GetViewParams(view->DrawRecordActive(ARecord) ? vsSelection : vsInactive, &cell, nullptr, AParams);
}

// ---------------------------------------------------------------------------------------------
// Background bitmaps

void TqvCustomGridTableBackgroundBitmaps::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableBackgroundBitmaps*>(Source)) SetContent(source->GetContent());
  inherited::Assign(Source);
}

Integer TqvCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(Integer AIndex) const {
  return AIndex == bbContent ? TqvCustomGridTableViewStyles::vsContent : inherited::GetBitmapStyleIndex(AIndex);
}
