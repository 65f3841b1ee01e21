// The lookup DB grid: columns bound to dataset fields, its dataset data controller, and the scroll
// bar by record number in grid mode.
#include "dataaware/qvLookupDBGrid.h"

#include <algorithm>

#include "dataaware/qvDB.h"
#include "dataaware/qvDBData.h"
#include "dataaware/qvEditDBRegisteredRepositoryItems.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvLookupDBGridDefaultValuesProvider)
QJ_IMPLEMENT_CLASS(TqvLookupDBGridColumn)
QJ_IMPLEMENT_CLASS(TqvLookupDBGridColumns)
QJ_IMPLEMENT_CLASS(TqvCustomLookupDBGrid)
QJ_IMPLEMENT_CLASS(TqvLookupDBGrid)

// ---------------------------------------------------------------------------------------------
// Columns

bool TqvLookupDBGridDefaultValuesProvider::IsDisplayFormatDefined(bool) {
  auto* column = As<TqvLookupGridColumn>(GetOwner());
  TqvCustomLookupGrid* grid = column ? column->GetGrid() : nullptr;
  return grid && grid->GetDataController()->GetItemTextStored(column->GetIndex());
}

TqvDBDataController* TqvLookupDBGridColumn::GetDBDataController() const {
  return As<TqvDBDataController>(GetDataController());
}

void TqvLookupDBGridColumn::Assign(TPersistent* Source) {
  if (auto* source = As<TqvLookupDBGridColumn>(Source)) SetFieldName(source->GetFieldName());
  inherited::Assign(Source);
}

TqvCustomEditDefaultValuesProvider* TqvLookupDBGridColumn::CreateDefaultValuesProvider() {
  return New<TqvLookupDBGridDefaultValuesProvider>(this);
}

TField* TqvLookupDBGridColumn::GetField() const {
  TqvDBDataController* controller = GetDBDataController();
  return controller ? controller->GetItemField(GetIndex()) : nullptr;
}

String TqvLookupDBGridColumn::GetFieldName() const {
  TqvDBDataController* controller = GetDBDataController();
  return controller ? controller->GetItemFieldName(GetIndex()) : String();
}

void TqvLookupDBGridColumn::SetFieldName(const String& Value) {
  if (TqvDBDataController* controller = GetDBDataController()) controller->SetItemFieldName(GetIndex(), Value);
}

void TqvLookupDBGridColumn::InitDefaultValuesProvider() {
  static_cast<TqvCustomDBEditDefaultValuesProvider*>(GetDefaultValuesProvider())->SetField(GetField());
}

String TqvLookupDBGridColumn::GetDefaultCaption() const {
  TField* field = GetField();
  return field ? field->GetDisplayName() : GetFieldName();
}

TqvEditRepositoryItem* TqvLookupDBGridColumn::GetRegisteredRepositoryItem() const {
  return GetDefaultDBEditRepositoryItems()->GetItemByField(GetField());
}

Integer TqvLookupDBGridColumn::GetDefaultWidth() const {
  TField* field = GetField();
  TqvCustomLookupGrid* grid = GetGrid();
  Integer width = inherited::GetDefaultWidth();
  if (field && grid) {
    TqvCanvas* canvas = grid->GetViewInfo()->GetCanvas();
    canvas->SetFont(GetFont());
    width = canvas->TextWidth("0") * field->GetDisplayWidth() + 4;
    if (grid->GetOptions()->GetShowHeader())
      width = std::max(width, grid->GetLookAndFeelPainter()->GetHeaderWidthForText(
                                  canvas, qvAllBorders, GetCaption(), grid->GetViewInfo()->GetHeaderFont()));
  }
  CheckWidthValue(width);
  return width;
}

TqvLookupDBGridColumn* TqvLookupDBGridColumns::ColumnByFieldName(const String& AFieldName) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (AnsiCompareText(GetItem(i)->GetFieldName(), AFieldName) == 0) return GetItem(i);
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Data controller

namespace {

// The grid's dataset controller: its items are the grid's columns, it does not sync the dataset's
// cursor and inserts on its own; a grid-mode scroll updates the grid's scroll bar.
class TqvLookupGridDBDataController : public TqvDBDataController {
  QJ_CLASS(TqvLookupGridDBDataController, TqvDBDataController)
 public:
  using TqvDBDataController::TqvDBDataController;
  void AfterConstruction() override;
  TObject* GetItem(Integer AIndex) const override;
  void UpdateScrollBars() override;
};

QJ_IMPLEMENT_CLASS(TqvLookupGridDBDataController)

}  // namespace

// The mode controller reaches the provider, which exists only once the controller is made.
void TqvLookupGridDBDataController::AfterConstruction() {
  inherited::AfterConstruction();
  GetDataModeController()->SetSyncMode(false);
  GetDataModeController()->SetSyncInsert(false);
}

TObject* TqvLookupGridDBDataController::GetItem(Integer AIndex) const {
  auto* grid = As<TqvCustomLookupGrid>(GetOwnerComponent());
  return grid ? grid->GetColumns()->GetItem(AIndex) : nullptr;
}

void TqvLookupGridDBDataController::UpdateScrollBars() {
  if (auto* grid = As<TqvCustomLookupGrid>(GetOwnerComponent())) grid->UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// Grid

TqvLookupGridColumns* TqvCustomLookupDBGrid::CreateColumns() {
  return New<TqvLookupDBGridColumns>(this, GetColumnClass());
}

TqvDBDataController* TqvCustomLookupDBGrid::GetDBDataController() const {
  return static_cast<TqvDBDataController*>(GetDataController());
}

TDataSource* TqvCustomLookupDBGrid::GetDataSource() const { return GetDBDataController()->GetDataSource(); }

void TqvCustomLookupDBGrid::SetDataSource(TDataSource* Value) { GetDBDataController()->SetDataSource(Value); }

String TqvCustomLookupDBGrid::GetKeyFieldNames() const { return GetDBDataController()->GetKeyFieldNames(); }

void TqvCustomLookupDBGrid::SetKeyFieldNames(const String& Value) { GetDBDataController()->SetKeyFieldNames(Value); }

TqvCustomDataController* TqvCustomLookupDBGrid::CreateDataController() {
  return New<TqvLookupGridDBDataController>(this);
}

void TqvCustomLookupDBGrid::DataChanged() {
  for (Integer i = 0; i < GetColumns()->GetCount(); ++i) GetColumns()->GetItem(i)->InitDefaultValuesProvider();
  inherited::DataChanged();
}

void TqvCustomLookupDBGrid::CreateColumnsByFieldNames(TStrings* AFieldNames) {
  TUpdateScope update(this);
  for (Integer i = 0; i < AFieldNames->GetCount(); ++i) GetColumns()->Add()->SetFieldName(AFieldNames->Get(i));
}

void TqvCustomLookupDBGrid::SetColumnsFieldNames(const String& AFieldNames) {
  TUpdateScope update(this);
  GetColumns()->Clear();
  TOwned<TStringList> names(New<TStringList>());
  SplitFieldNames(AFieldNames, names.get());
  CreateColumnsByFieldNames(names.get());
}

bool TqvCustomLookupDBGrid::ScrollsByRecordNumber() const {
  TqvDBDataController* controller = GetDBDataController();
  TDataSet* dataSet = controller->GetDataSet();
  return controller->IsGridMode() && dataSet && dataSet->IsSequenced();
}

void TqvCustomLookupDBGrid::InitScrollBarsParameters() {
  if (!GetDataController() || !ScrollsByRecordNumber()) {
    inherited::InitScrollBarsParameters();
    return;
  }
  TqvDBDataController* controller = GetDBDataController();
  const Integer visible = GetViewInfo()->GetVisibleCount();
  SetScrollBarInfo(sbVertical, 0, controller->GetDataSetRecordCount() + visible - 2, 1, visible,
                   controller->GetDataSetRecNo() - 1, true, true);
}

void TqvCustomLookupDBGrid::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (!ScrollsByRecordNumber()) {
    inherited::Scroll(AScrollBarKind, AScrollCode, AScrollPos);
    return;
  }
  TqvDBDataController* controller = GetDBDataController();
  if (AScrollBarKind == sbVertical) {
    switch (AScrollCode) {
      case scLineUp: FocusNextRow(false); break;
      case scLineDown: FocusNextRow(true); break;
      case scPageUp: FocusPrevPage(); break;
      case scPageDown: FocusNextPage(); break;
      case scPosition: controller->SetDataSetRecNo(AScrollPos + 1); break;
      default: break;
    }
  } else {
    inherited::Scroll(AScrollBarKind, AScrollCode, AScrollPos);
  }
  AScrollPos = controller->GetDataSetRecNo() - 1;
}
