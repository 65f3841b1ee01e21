// The lookup grid's columns, options, data controller, construction and layout.
#include <algorithm>

#include "core/qvAutoWidth.h"
#include "dataaware/qvLookupGrid.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvLookupGridDefaultValuesProvider)
QJ_IMPLEMENT_CLASS(TqvLookupGridColumn)
QJ_IMPLEMENT_CLASS(TqvLookupGridColumns)
QJ_IMPLEMENT_CLASS(TqvLookupGridDataController)
QJ_IMPLEMENT_CLASS(TqvLookupGridOptions)
QJ_IMPLEMENT_CLASS(TqvLookupGridViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomLookupGrid)
QJ_IMPLEMENT_CLASS(TqvLookupGrid)

namespace {

constexpr Integer kLookupGridWidth = 250;
constexpr Integer kLookupGridHeight = 200;
constexpr Integer kDefaultMinWidth = 20;

// The grid's bracket, released also when the work raises.
using TLookupGridUpdateScope = TUpdateScope<TqvCustomLookupGrid>;

// Reconfigures editor properties without telling their users.
void WithChangesLocked(TqvCustomEditProperties* AProperties, const std::function<void()>& AWork) {
  const bool locked = AProperties->IsChangedLocked();
  AProperties->SetChangedLocked(true);
  TFinally restore([&] { AProperties->SetChangedLocked(locked); });
  AWork();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Columns

bool TqvLookupGridDefaultValuesProvider::IsDisplayFormatDefined(bool) {
  auto* column = As<TqvLookupGridColumn>(GetOwner());
  TqvCustomLookupGrid* grid = column ? column->GetGrid() : nullptr;
  return grid && grid->GetDataController()->GetItemTextStored(column->GetIndex());
}

TqvLookupGridColumn::TqvLookupGridColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

TqvLookupGridColumn::~TqvLookupGridColumn() = default;

TqvCustomLookupGrid* TqvLookupGridColumn::GetGrid() const {
  auto* columns = As<TqvLookupGridColumns>(GetCollection());
  return columns ? columns->GetGrid() : nullptr;
}

TqvCustomDataController* TqvLookupGridColumn::GetDataController() const {
  TqvCustomLookupGrid* grid = GetGrid();
  return grid ? grid->GetDataController() : nullptr;
}

void TqvLookupGridColumn::AfterConstruction() {
  TqvCustomLookupGrid* grid = GetGrid();
  if (!grid) {
    inherited::AfterConstruction();
    FDefaultValuesProvider.reset(CreateDefaultValuesProvider());
    return;
  }
  // The collection announces the item before the data controller knows it: no layout meanwhile.
  TLookupGridUpdateScope update(grid);
  inherited::AfterConstruction();
  FDefaultValuesProvider.reset(CreateDefaultValuesProvider());
  FMinWidth = kDefaultMinWidth;
  FSorting = true;
  ColumnChanged();
  grid->ColumnAdded(this);
}

void TqvLookupGridColumn::BeforeDestruction() {
  TqvCustomLookupGrid* grid = GetGrid();
  if (grid && !grid->IsDestroyingGrid()) {
    TLookupGridUpdateScope update(grid);
    grid->ColumnRemoved(this);
    SetRepositoryItem(nullptr);
  } else if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem = nullptr;
  }
  FInternalDefaultRepositoryItem.reset();
  FDefaultValuesProvider.reset();
  inherited::BeforeDestruction();
}

void TqvLookupGridColumn::Assign(TPersistent* Source) {
  auto* source = As<TqvLookupGridColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope<TCollection> update(GetCollection());
  RestoreDefaults();
  if (source->FCaptionAssigned) SetCaption(source->FCaption);
  SetHeaderAlignment(source->FHeaderAlignment);
  SetMinWidth(source->FMinWidth);
  SetFixed(source->FFixed);
  SetSorting(source->FSorting);
  SetSortOrder(source->GetSortOrder());
  SetRepositoryItem(source->FRepositoryItem);
  if (source->FWidthAssigned) SetWidth(source->FWidth);
}

void TqvLookupGridColumn::SetIndex(Integer Value) {
  inherited::SetIndex(Value);
  if (TqvCustomDataController* controller = GetDataController()) controller->UpdateItemIndexes();
}

void TqvLookupGridColumn::CheckWidthValue(Integer& AWidth) const { AWidth = std::max(AWidth, FMinWidth); }

TqvCustomEditDefaultValuesProvider* TqvLookupGridColumn::CreateDefaultValuesProvider() {
  return New<TqvLookupGridDefaultValuesProvider>(this);
}

TqvValueTypeClass TqvLookupGridColumn::GetValueTypeClass() const {
  TqvCustomDataController* controller = GetDataController();
  return controller ? controller->GetItemValueTypeClass(GetIndex()) : nullptr;
}

void TqvLookupGridColumn::SetValueTypeClass(TqvValueTypeClass AValue) {
  if (TqvCustomDataController* controller = GetDataController()) controller->ChangeValueTypeClass(GetIndex(), AValue);
}

TqvEditRepositoryItem* TqvLookupGridColumn::GetRegisteredRepositoryItem() const {
  return GetDefaultEditDataRepositoryItems()->GetDefaultItem();
}

TFont* TqvLookupGridColumn::GetFont() const {
  TqvCustomLookupGrid* grid = GetGrid();
  return grid ? grid->GetViewInfo()->GetContentFont() : nullptr;
}

TqvEditRepositoryItem* TqvLookupGridColumn::GetDefaultRepositoryItem() const {
  if (TqvEditRepositoryItem* item = GetRegisteredRepositoryItem()) return item;
  if (!FInternalDefaultRepositoryItem) FInternalDefaultRepositoryItem.reset(New<TqvEditRepositoryTextItem>(nullptr));
  return FInternalDefaultRepositoryItem.get();
}

TqvEditRepositoryItem* TqvLookupGridColumn::GetActualRepositoryItem() const {
  return FRepositoryItem ? FRepositoryItem : GetDefaultRepositoryItem();
}

bool TqvLookupGridColumn::IsLast() const { return GetCollection() && GetIndex() == GetCollection()->GetCount() - 1; }

void TqvLookupGridColumn::RestoreDefaults() {
  FCaptionAssigned = false;
  FWidthAssigned = false;
  FHeaderAlignment = taLeftJustify;
  FMinWidth = kDefaultMinWidth;
  FFixed = false;
  FSorting = true;
  ColumnChanged();
}

void TqvLookupGridColumn::SetCaption(const String& Value) {
  FCaption = Value;
  FCaptionAssigned = true;
  ColumnChanged();
}

void TqvLookupGridColumn::SetFixed(bool Value) {
  if (Value == FFixed) return;
  FFixed = Value;
  ColumnChanged();
}

void TqvLookupGridColumn::SetHeaderAlignment(TAlignment Value) {
  if (Value == FHeaderAlignment) return;
  FHeaderAlignment = Value;
  ColumnChanged();
}

void TqvLookupGridColumn::SetMinWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FWidthAssigned && FWidth < FMinWidth) FWidth = FMinWidth;
  ColumnChanged();
}

void TqvLookupGridColumn::SetSorting(bool Value) {
  if (Value == FSorting) return;
  FSorting = Value;
  ColumnChanged();
}

TqvDataSortOrder TqvLookupGridColumn::GetSortOrder() const {
  TqvCustomDataController* controller = GetDataController();
  return controller ? controller->GetItemSortOrder(GetIndex()) : soNone;
}

void TqvLookupGridColumn::SetSortOrder(TqvDataSortOrder Value) {
  if (TqvCustomDataController* controller = GetDataController()) controller->ChangeSorting(GetIndex(), Value);
}

void TqvLookupGridColumn::SetRepositoryItem(TqvEditRepositoryItem* Value) {
  if (Value == FRepositoryItem) return;
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = Value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  ColumnChanged();
}

Integer TqvLookupGridColumn::GetWidth() const {
  Integer width = FWidthAssigned ? FWidth : GetDefaultWidth();
  CheckWidthValue(width);
  return width;
}

void TqvLookupGridColumn::SetWidth(Integer Value) {
  CheckWidthValue(Value);
  FWidth = Value;
  FWidthAssigned = true;
  ColumnChanged();
}

void TqvLookupGridColumn::ItemRemoved(TqvEditRepositoryItem* Sender) {
  if (Sender == FRepositoryItem) SetRepositoryItem(nullptr);
}

void TqvLookupGridColumn::PropertiesChanged(TqvEditRepositoryItem*) { ColumnChanged(); }

TqvLookupGridColumns::TqvLookupGridColumns(TqvCustomLookupGrid* AGrid, TCollectionItemClass AColumnClass)
    : TCollection(AColumnClass), FGrid(AGrid) {}

TPersistent* TqvLookupGridColumns::GetOwner() { return FGrid; }

void TqvLookupGridColumns::RestoreDefaults() {
  TUpdateScope<TCollection> update(this);
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->RestoreDefaults();
}

void TqvLookupGridColumns::Update(TCollectionItem*) {
  if (FGrid && !FGrid->HasState(csLoading) && !FGrid->IsDestroyingGrid()) FGrid->Changed(qvLookupGridLayoutChanged);
}

// ---------------------------------------------------------------------------------------------
// Data controller and options

TObject* TqvLookupGridDataController::GetItem(Integer AIndex) const {
  auto* grid = As<TqvCustomLookupGrid>(GetOwnerComponent());
  return grid ? grid->GetColumns()->GetItem(AIndex) : nullptr;
}

void TqvLookupGridOptions::Assign(TPersistent* Source) {
  auto* source = As<TqvLookupGridOptions>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (FGrid) FGrid->BeginUpdate();
  TFinally update([&] {
    if (FGrid) FGrid->EndUpdate();
  });
  SetAnsiSort(source->GetAnsiSort());
  SetCaseInsensitive(source->GetCaseInsensitive());
  FColumnSorting = source->FColumnSorting;
  SetGridLines(source->FGridLines);
  SetRowSelect(source->FRowSelect);
  SetShowHeader(source->FShowHeader);
}

void TqvLookupGridOptions::Changed() {
  if (FGrid) FGrid->Changed(qvLookupGridLayoutChanged);
  if (OnChanged) OnChanged(this);
}

bool TqvLookupGridOptions::GetControllerOption(TqvDataControllerOption AOption) const {
  return FGrid && FGrid->GetDataController() && (FGrid->GetDataController()->GetOptions() & AOption) != 0;
}

void TqvLookupGridOptions::SetControllerOption(TqvDataControllerOption AOption, bool AValue) {
  TqvCustomDataController* controller = FGrid ? FGrid->GetDataController() : nullptr;
  if (!controller) return;
  controller->SetOptions(AValue ? controller->GetOptions() | AOption : controller->GetOptions() & ~AOption);
}

void TqvLookupGridOptions::SetGridLines(TqvGridLines Value) {
  if (Value == FGridLines) return;
  FGridLines = Value;
  Changed();
}

void TqvLookupGridOptions::SetRowSelect(bool Value) {
  if (Value == FRowSelect) return;
  FRowSelect = Value;
  if (FRowSelect && FGrid) FGrid->SetFocusedColumn(nullptr);
}

void TqvLookupGridOptions::SetShowHeader(bool Value) {
  if (Value == FShowHeader) return;
  FShowHeader = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// The grid: construction and state

TqvCustomLookupGrid::TqvCustomLookupGrid(TComponent* AOwner) : TqvControl(AOwner) {}

TqvCustomLookupGrid::~TqvCustomLookupGrid() = default;

void TqvCustomLookupGrid::AfterConstruction() {
  inherited::AfterConstruction();
  FColumns.reset(CreateColumns());
  FOptions = MakeOwned<TqvLookupGridOptions>(this);
  FPainter = MakeOwned<TqvLookupGridPainter>(this);
  FViewInfo = MakeOwned<TqvLookupGridViewInfo>(this);
  FDataController.reset(CreateDataController());
  FDataController->SetMultiSelect(false);
  FDataController->OnUpdateControl = [this](TqvUpdateControlInfo* AInfo) { DataControllerNotify(AInfo); };
  SetColor(clWindow);
  SetParentColor(false);
  SetBounds(GetLeft(), GetTop(), kLookupGridWidth, kLookupGridHeight);
  SetKeys(GetKeys() | dkBit(dkArrows));
}

void TqvCustomLookupGrid::BeforeDestruction() {
  FDestroyingGrid = true;
  SetAutoScrollDirection(TqvLookupGridAutoScroll::None);
  FreeDataController();
  inherited::BeforeDestruction();
}

void TqvCustomLookupGrid::FreeDataController() {
  if (FDataController) FDataController->OnUpdateControl = nullptr;
  FDataController.reset();
}

TqvLookupGridColumns* TqvCustomLookupGrid::CreateColumns() { return New<TqvLookupGridColumns>(this, GetColumnClass()); }

TqvCustomDataController* TqvCustomLookupGrid::CreateDataController() {
  return New<TqvLookupGridDataController>(this);
}

void TqvCustomLookupGrid::ColumnAdded(TqvLookupGridColumn* AColumn) {
  if (FDataController) FDataController->AddItem(AColumn);
}

void TqvCustomLookupGrid::ColumnRemoved(TqvLookupGridColumn* AColumn) {
  if (FDataController) FDataController->RemoveItem(AColumn);
  if (AColumn == FFocusedColumn) FFocusedColumn = nullptr;
}

void TqvCustomLookupGrid::Changed(Byte AChanges) {
  FChanges |= AChanges;
  CheckChanges();
}

void TqvCustomLookupGrid::CheckChanges() {
  if (FChanges == 0 || IsLocked() || FDestroyingGrid) return;
  const Byte changes = FChanges;
  FChanges = 0;
  if (changes & qvLookupGridLayoutChanged) LayoutChanged();
}

void TqvCustomLookupGrid::BeginUpdate() {
  ++FLockCount;
  if (FDataController) FDataController->BeginUpdate();
}

void TqvCustomLookupGrid::EndUpdate() {
  if (FDataController) FDataController->EndUpdate();
  --FLockCount;
  CheckChanges();
}

void TqvCustomLookupGrid::SetPopupMode(bool Value) {
  if (Value == FPopupMode) return;
  FPopupMode = Value;
  Changed(qvLookupGridLayoutChanged);
}

Integer TqvCustomLookupGrid::GetFocusedRowIndex() const { return FDataController->GetFocusedRowIndex(); }

void TqvCustomLookupGrid::SetFocusedRowIndex(Integer AValue) { FDataController->ChangeFocusedRowIndex(AValue); }

Integer TqvCustomLookupGrid::GetRowCount() const { return FDataController ? FDataController->GetRowCount() : 0; }

Integer TqvCustomLookupGrid::GetFocusedColumnIndex() const { return FFocusedColumn ? FFocusedColumn->GetIndex() : -1; }

void TqvCustomLookupGrid::SetFocusedColumn(TqvLookupGridColumn* AColumn) {
  if (FOptions->GetRowSelect()) AColumn = nullptr;
  if (AColumn == FFocusedColumn) return;
  FFocusedColumn = AColumn;
  Changed(qvLookupGridLayoutChanged);
}

void TqvCustomLookupGrid::SetFocusedColumnIndex(Integer AIndex) {
  if (FColumns->GetCount() == 0) return;
  AIndex = std::clamp<Integer>(AIndex, 0, FColumns->GetCount() - 1);
  if (AIndex != GetFocusedColumnIndex()) SetFocusedColumn(FColumns->GetItem(AIndex));
}

void TqvCustomLookupGrid::Loaded() {
  inherited::Loaded();
  Changed(qvLookupGridLayoutChanged);
}

Integer TqvCustomLookupGrid::GetBorderSize() const { return FPopupMode ? 0 : GetPainter()->GetBorderWidth(); }

void TqvCustomLookupGrid::SetScrollBarsParent() {
  inherited::SetScrollBarsParent();
  LayoutChanged();
}

void TqvCustomLookupGrid::LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  Changed(qvLookupGridLayoutChanged);
}

void TqvCustomLookupGrid::DoColorChange() {
  LayoutChanged();
  inherited::DoColorChange();
}

void TqvCustomLookupGrid::BoundsChanged() {
  LayoutChanged();
  inherited::BoundsChanged();
}

void TqvCustomLookupGrid::FontChanged() {
  inherited::FontChanged();
  LayoutChanged();
}

void TqvCustomLookupGrid::FocusChanged() {
  InvalidateFocusedRow();
  inherited::FocusChanged();
}

// ---------------------------------------------------------------------------------------------
// Layout

TqvCanvas* TqvLookupGridViewInfo::GetCanvas() const { return FGrid->GetGridPainter()->GetCanvas(); }

Integer TqvLookupGridViewInfo::GetTopRowIndex() const {
  return FSearch != TqvLookupGridTopRowSearch::None ? FInternalTopRowIndex : FGrid->GetTopRowIndex();
}

Integer TqvLookupGridViewInfo::GetRowCount() const { return FGrid->GetRowCount(); }

Integer TqvLookupGridViewInfo::GetRowHeight() const {
  const TqvGridLines lines = FGrid->GetOptions()->GetGridLines();
  return FRowMinHeight + (lines == glBoth || lines == glHorizontal ? GetGridLineWidth() : 0);
}

TColor TqvLookupGridViewInfo::GetContentColor() const { return FGrid->GetColor(); }
TFont* TqvLookupGridViewInfo::GetContentFont() const { return FGrid->GetFont(); }
TColor TqvLookupGridViewInfo::GetContentTextColor() const { return GetContentFont()->GetColor(); }
TFont* TqvLookupGridViewInfo::GetHeaderFont() const { return FGrid->GetFont(); }
TColor TqvLookupGridViewInfo::GetSelectionColor() const { return FGrid->GetLookAndFeelPainter()->DefaultSelectionColor(); }
TColor TqvLookupGridViewInfo::GetSelectionTextColor() const {
  return FGrid->GetLookAndFeelPainter()->DefaultSelectionTextColor();
}

Integer TqvLookupGridViewInfo::GetHeaderHeight() {
  return FGrid->GetLookAndFeelPainter()->GetHeaderHeightForFont(GetCanvas()->FontHeight(GetHeaderFont()));
}

TqvLookupGridRowViewInfo* TqvLookupGridViewInfo::FindRow(Integer ARowIndex) {
  for (TqvLookupGridRowViewInfo& row : FRows)
    if (row.RowIndex == ARowIndex) return &row;
  return nullptr;
}

void TqvLookupGridViewInfo::Calculate() {
  FBorderSize = FGrid->GetBorderSize();
  CalculateHeaders();
  CalculateRows();
  CalculateEmptyAreas();
}

void TqvLookupGridViewInfo::CalculateHeaders() {
  FColumns.clear();
  if (FGrid->GetColumns()->GetCount() == 0) {
    FHeaderArea = TRect{};
    return;
  }
  FHeaderArea = FGrid->GetGridClientBounds();
  FHeaderArea.Bottom = FGrid->GetOptions()->GetShowHeader() ? FHeaderArea.Top + GetHeaderHeight() : FHeaderArea.Top;
  CalculateColumns();
}

void TqvLookupGridViewInfo::CalculateColumns() {
  TqvLookupGridColumns* columns = FGrid->GetColumns();
  TqvLookAndFeelPainterClass painter = FGrid->GetLookAndFeelPainter();
  TqvAutoWidthObject widths(columns->GetCount());
  FColumns.resize(size_t(columns->GetCount()));
  for (Integer i = 0; i < columns->GetCount(); ++i) {
    TqvLookupGridColumn* column = columns->GetItem(i);
    TqvLookupGridColumnViewInfo& info = FColumns[size_t(i)];
    info.HeaderAlignment = column->GetHeaderAlignment();
    info.HeaderNeighbors = (column->IsFirst() ? 0 : qvBorder(bLeft)) | (column->IsLast() ? 0 : qvBorder(bRight));
    info.HeaderBorders = painter->GetHeaderBorderSides(info.HeaderNeighbors);
    info.SortOrder = column->GetSortOrder();
    info.Text = column->GetCaption();
    InitColumnStyle(info, column);
    TqvAutoWidthItem* item = widths.AppendItem();
    item->MinWidth = column->GetMinWidth();
    item->Width = column->GetWidth();
    item->Fixed = column->GetFixed();
  }
  widths.AvailableWidth = FHeaderArea.Width();
  widths.Calculate();
  Integer x = FHeaderArea.Left;
  for (Integer i = 0; i < columns->GetCount(); ++i) {
    TqvLookupGridColumnViewInfo& info = FColumns[size_t(i)];
    info.Bounds = TRect{x, FHeaderArea.Top, x + widths.GetItem(i)->AutoWidth, FHeaderArea.Bottom};
    info.ContentBounds = painter->GetHeaderContentBounds(info.Bounds, info.HeaderBorders);
    x = info.Bounds.Right;
  }
  if (x < FHeaderArea.Right) FHeaderArea.Right = x;
}

void TqvLookupGridViewInfo::InitColumnStyle(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn) {
  TqvCustomEditProperties* properties = AColumn->GetProperties();
  AInfo.Style.reset(static_cast<TqvCustomEditStyle*>(properties->GetStyleClass()->Create(nullptr, true)));
  AInfo.Style->SetButtonTransparency(ebtHideInactive);
  AInfo.Style->SetFont(AColumn->GetFont());
}

void TqvLookupGridViewInfo::CreateColumnViewData(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn) {
  TqvCustomEditProperties* properties = AColumn->GetProperties();
  WithChangesLocked(properties, [&] { properties->SetDefaultValuesProvider(AColumn->GetDefaultValuesProvider()); });
  AInfo.ViewData = properties->CreateViewData(AInfo.Style.get(), true);
}

void TqvLookupGridViewInfo::FreeColumnViewData(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn) {
  AInfo.ViewData.reset();
  TqvCustomEditProperties* properties = AColumn->GetProperties();
  WithChangesLocked(properties, [&] { properties->SetDefaultValuesProvider(nullptr); });
}

void TqvLookupGridViewInfo::CalculateRowMinHeight() {
  FRowMinHeight = 0;
  for (Integer i = 0; i < GetColumnCount(); ++i) {
    TqvLookupGridColumn* column = FGrid->GetColumns()->GetItem(i);
    TqvLookupGridColumnViewInfo& info = FColumns[size_t(i)];
    CreateColumnViewData(info, column);
    TFinally free([&] { FreeColumnViewData(info, column); });
    const TSize size = info.ViewData->GetEditSize(GetCanvas(), Null(), TqvEditSizeProperties{});
    FRowMinHeight = std::max(FRowMinHeight, size.cy + 2);
  }
}

void TqvLookupGridViewInfo::CalculateRows() {
  FRows.clear();
  FRowsArea = FVisibleRowsArea = TRect{};
  FPartVisibleCount = FVisibleCount = 0;
  if (FHeaderArea.Width() < 1) return;
  CalculateRowMinHeight();
  FRowsArea = TRect{FHeaderArea.Left, FHeaderArea.Bottom, FHeaderArea.Right, FHeaderArea.Bottom};
  FVisibleRowsArea = FRowsArea;
  Integer y = FRowsArea.Top;
  const Integer clientBottom = FGrid->GetGridClientBounds().Bottom;
  const bool backward = FSearch == TqvLookupGridTopRowSearch::Backward;
  const Integer count = GetRowCount();
  for (Integer row = GetTopRowIndex(); backward ? row >= 0 : row < count; backward ? --row : ++row) {
    if (row < 0 || row >= count) break;
    CalculateRow(row, y);
    ++FPartVisibleCount;
    if (clientBottom < FRowsArea.Bottom) break;
    ++FVisibleCount;
    FVisibleRowsArea.Bottom = FRowsArea.Bottom;
  }
  if (FPartVisibleCount > 0 && FVisibleCount == 0) FVisibleCount = 1;
}

void TqvLookupGridViewInfo::CalculateRow(Integer ARowIndex, Integer& Y) {
  const TqvGridLines lines = FGrid->GetOptions()->GetGridLines();
  const Integer lineWidth = GetGridLineWidth();
  TqvLookupGridRowViewInfo& row = FRows.emplace_back();
  row.RowIndex = ARowIndex;
  row.RecordIndex = FGrid->GetDataController()->GetRowInfo(ARowIndex).RecordIndex;
  row.Focused = ARowIndex == FGrid->GetFocusedRowIndex();
  const Integer bottom = Y + FRowMinHeight;
  row.Bounds = TRect{FRowsArea.Left, Y, FRowsArea.Right, bottom};
  row.ContentBounds = row.Bounds;
  const Integer focusedColumn = FGrid->GetFocusedColumnIndex();
  const Integer count = GetColumnCount();
  row.Cells.resize(size_t(count));
  for (Integer i = 0; i < count; ++i) {
    TqvLookupGridCellViewInfo& cell = row.Cells[size_t(i)];
    cell.Bounds = TRect{FColumns[size_t(i)].Bounds.Left, Y, FColumns[size_t(i)].Bounds.Right, bottom};
    cell.ContentBounds = cell.Bounds;
    cell.ColumnIndex = i;
    cell.Focused = i == focusedColumn;
    const bool last = i == count - 1;
    const bool vertical = lines == glBoth || lines == glVertical || (lines == glHorizontal && last);
    if (!vertical) continue;
    cell.ContentBounds.Right -= lineWidth;
    if (last) {
      row.ContentBounds.Right -= lineWidth;
      row.Borders |= qvBorder(bRight);
    } else {
      cell.Borders |= qvBorder(bRight);
    }
  }
  const Integer clientBottom = FGrid->GetGridClientBounds().Bottom;
  const bool horizontal =
      lines == glBoth || lines == glHorizontal ||
      (lines == glVertical && ARowIndex == GetRowCount() - 1 && FSearch == TqvLookupGridTopRowSearch::None &&
       row.Bounds.Bottom != clientBottom);
  if (horizontal) {
    row.Bounds.Bottom += lineWidth;
    row.Borders |= qvBorder(bBottom);
  }
  FRowsArea.Bottom = row.Bounds.Bottom;
  Y = row.Bounds.Bottom;
  CalculateCells(row);
}

void TqvLookupGridViewInfo::CalculateCells(TqvLookupGridRowViewInfo& ARow) {
  TqvCustomDataController* controller = FGrid->GetDataController();
  const bool selected = controller->IsRowSelected(ARow.RowIndex);
  const bool rowHighlight = selected && ARow.Focused;
  for (TqvLookupGridCellViewInfo& cell : ARow.Cells) {
    TqvLookupGridColumn* column = FGrid->GetColumns()->GetItem(cell.ColumnIndex);
    TqvLookupGridColumnViewInfo& info = FColumns[size_t(cell.ColumnIndex)];
    const bool exception = selected && cell.Focused;
    const bool content = !rowHighlight || exception;
    info.Style->SetColor(content ? GetContentColor() : GetSelectionColor());
    info.Style->SetTextColor(content ? GetContentTextColor() : GetSelectionTextColor());
    TqvCustomEditProperties* properties = column->GetProperties();
    cell.EditViewInfo.reset(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
    CreateColumnViewData(info, column);
    TFinally free([&] { FreeColumnViewData(info, column); });
    const Variant value = properties->GetEditValueSource(false) != evsValue
                              ? Variant(controller->GetDisplayText(ARow.RecordIndex, cell.ColumnIndex))
                              : controller->GetValue(ARow.RecordIndex, cell.ColumnIndex);
    const TRect bounds = ShrinkRect(cell.ContentBounds, 1);
    info.ViewData->Calculate(GetCanvas(), bounds, Point(-1, -1), cmbNone, 0, cell.EditViewInfo.get(), false);
    info.ViewData->EditValueToViewInfo(GetCanvas(), value, cell.EditViewInfo.get());
  }
}

void TqvLookupGridViewInfo::CalculateEmptyAreas() {
  const TRect client = FGrid->GetGridClientBounds();
  FEmptyAreaRight = FHeaderArea.Right < client.Right && FColumns.size() > 0
                        ? TRect{FHeaderArea.Right, client.Top, client.Right, client.Bottom}
                        : TRect{};
  if (FColumns.empty()) FEmptyAreaRight = client;
  const Integer rowsBottom = FColumns.empty() ? client.Top : FRowsArea.Bottom;
  FEmptyAreaBottom = rowsBottom < client.Bottom ? TRect{client.Left, rowsBottom, client.Right, client.Bottom} : TRect{};
}

Integer TqvLookupGridViewInfo::ValidateTopRowIndex(Integer AIndex) {
  TFinally reset([&] { FSearch = TqvLookupGridTopRowSearch::None; });
  FSearch = TqvLookupGridTopRowSearch::Forward;
  FInternalTopRowIndex = AIndex;
  Calculate();
  if (FEmptyAreaBottom.IsEmpty() || FVisibleCount == 0) return AIndex;
  FSearch = TqvLookupGridTopRowSearch::Backward;
  AIndex = std::min(AIndex + FVisibleCount - 1, GetRowCount() - 1);
  FInternalTopRowIndex = AIndex;
  Calculate();
  return std::max<Integer>(FInternalTopRowIndex - FVisibleCount + 1, 0);
}
