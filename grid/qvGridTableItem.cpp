// Table items: editor properties, capabilities, widths, best fit, options, styles and the
// stored layout of an item.
#include "core/qvDataPipeline.h"
#include "lookandfeel/qvControls.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "grid/qvGridCustomTableView.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridTableItemCustomOptions)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableItemOptions)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableItemStyles)
QJ_IMPLEMENT_CLASS(TqvCustomGridTableItem)

namespace {

// The hourglass shows while a long operation runs.
class THourglassScope {
 public:
  THourglassScope() { ShowHourglassCursor(); }
  ~THourglassScope() { HideHourglassCursor(); }
  THourglassScope(const THourglassScope&) = delete;
  THourglassScope& operator=(const THourglassScope&) = delete;
};

const char* const ItemStoredPropertyNames[] = {"Index", "Visible", "Caption", "SortOrder", "SortIndex"};

[[noreturn]] void RaiseItemValueError(const String& AName, const Variant& AValue) {
  throw EPropertyConvertError("The value \"" + VarToStr(AValue) + "\" cannot be given to the item's " + AName);
}

Integer StoredInteger(const String& AName, const Variant& AValue) {
  try {
    return AValue.AsInteger();
  } catch (const Exception&) {
    RaiseItemValueError(AName, AValue);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Options

TPersistent* TqvCustomGridTableItemCustomOptions::GetOwner() { return FItem; }

void TqvCustomGridTableItemCustomOptions::Assign(TPersistent* Source) {
  if (dynamic_cast<TqvCustomGridTableItemCustomOptions*>(Source)) return;
  inherited::Assign(Source);
}

void TqvCustomGridTableItemCustomOptions::Changed() { FItem->Changed(0); }

TqvCustomGridTableView* TqvCustomGridTableItemCustomOptions::GetGridView() const { return FItem->GetGridView(); }

void TqvCustomGridTableItemOptions::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableItemOptions*>(Source)) {
    SetEditing(source->FEditing);
    SetFiltering(source->FFiltering);
    SetFocusing(source->FFocusing);
    FGrouping = source->FGrouping;
    SetIncSearch(source->FIncSearch);
    FMoving = source->FMoving;
    FSorting = source->FSorting;
    SetShowEditButtons(source->FShowEditButtons);
  }
  inherited::Assign(Source);
}

void TqvCustomGridTableItemOptions::SetFlag(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

// No editor is open while the editing controller is not part of the view: switching editing
// off only changes what CanEdit answers.
void TqvCustomGridTableItemOptions::SetEditing(bool AValue) { SetFlag(FEditing, AValue); }

void TqvCustomGridTableItemOptions::SetFiltering(bool AValue) {
  if (FFiltering == AValue) return;
  FFiltering = AValue;
  if (TqvCustomGridTableView* view = GetGridView()) view->RefreshFilterableItemsList();
  Changed();
}

void TqvCustomGridTableItemOptions::SetFocusing(bool AValue) {
  if (FFocusing == AValue) return;
  FFocusing = AValue;
  if (!AValue && GetGridView()) GetItem()->SetFocused(false);
  Changed();
}

// No incremental search runs at this level; the flag alone changes.
void TqvCustomGridTableItemOptions::SetIncSearch(bool AValue) { SetFlag(FIncSearch, AValue); }

void TqvCustomGridTableItemOptions::SetShowEditButtons(TqvGridItemShowEditButtons AValue) {
  if (FShowEditButtons == AValue) return;
  FShowEditButtons = AValue;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Styles

void TqvCustomGridTableItemStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TqvCustomGridTableItemStyles*>(Source)) {
    SetContent(source->GetContent());
    OnGetContentStyle = source->OnGetContentStyle;
    return;
  }
  inherited::Assign(Source);
}

TqvCustomGridTableItem* TqvCustomGridTableItemStyles::GetItem() const {
  return dynamic_cast<TqvCustomGridTableItem*>(const_cast<TqvCustomGridTableItemStyles*>(this)->GetOwner());
}

TqvCustomGridView* TqvCustomGridTableItemStyles::GetGridView() const {
  TqvCustomGridTableItem* item = GetItem();
  return item ? item->GetGridView() : nullptr;
}

void TqvCustomGridTableItemStyles::GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) {
  TqvCustomGridTableItem* item = GetItem();
  TqvCustomGridTableView* view = item ? item->GetGridView() : nullptr;
  if (Index == isContent && view) {
    view->GetStyles()->GetRecordContentParams(dynamic_cast<TqvCustomGridRecord*>(AData), item, AParams);
    return;
  }
  inherited::GetDefaultViewParams(Index, AData, AParams);
}

void TqvCustomGridTableItemStyles::GetContentParams(TqvCustomGridRecord* ARecord, TqvViewParams& AParams) {
  TqvStyle* style = nullptr;
  TqvCustomGridTableItem* item = GetItem();
  if (ARecord && OnGetContentStyle && item) OnGetContentStyle(item->GetGridView(), ARecord, item, style);
  GetViewParams(isContent, ARecord, style, AParams);
}

// ---------------------------------------------------------------------------------------------
// Item: life

TqvCustomGridTableItem::TqvCustomGridTableItem(TComponent* AOwner) : TComponent(AOwner) {}

TqvCustomGridTableItem::~TqvCustomGridTableItem() = default;

void TqvCustomGridTableItem::AfterConstruction() {
  inherited::AfterConstruction();
  CreateSubobjects();
}

void TqvCustomGridTableItem::BeforeDestruction() {
  SetRepositoryItem(nullptr);
  if (FGridView) FGridView->RemoveItem(this);
  ReleaseDefaultRepositoryItem();
  DestroySubobjects();
  FEditStyle.reset();
  inherited::BeforeDestruction();
}

void TqvCustomGridTableItem::CreateSubobjects() {
  FOptions.reset(static_cast<TqvCustomGridTableItemOptions*>(GetOptionsClass()->Create(this)));
  FStyles.reset(static_cast<TqvCustomGridTableItemStyles*>(GetStylesClass()->Create(this)));
}

void TqvCustomGridTableItem::DestroySubobjects() {
  FActualProperties = nullptr;
  FProperties.reset();
  FStyles.reset();
  FOptions.reset();
}

TqvCustomGridTableItemOptionsClass TqvCustomGridTableItem::GetOptionsClass() const {
  return &TqvCustomGridTableItemOptions::StaticClass();
}

TqvCustomStylesClass TqvCustomGridTableItem::GetStylesClass() const {
  return &TqvCustomGridTableItemStyles::StaticClass();
}

void TqvCustomGridTableItem::CreateDataBinding() {
  FDataBinding.reset(FGridView->GetItemDataBindingClass()->Create(this));
}

void TqvCustomGridTableItem::DestroyDataBinding() { FDataBinding.reset(); }

void TqvCustomGridTableItem::SetGridView(TqvCustomGridTableView* AValue) {
  if (FGridView == AValue) return;
  if (FGridView) DestroyDataBinding();
  FGridView = AValue;
  if (FGridView) CreateDataBinding();
  UpdateActualProperties();
}

void TqvCustomGridTableItem::SetIndex(Integer AValue) {
  if (FGridView) FGridView->ChangeItemIndex(this, AValue);
}

bool TqvCustomGridTableItem::IsLoading() const {
  return HasState(csLoading) || (FGridView && FGridView->IsLoading());
}

bool TqvCustomGridTableItem::IsDestroying() const { return HasState(csDestroying); }

TqvCustomGridTableController* TqvCustomGridTableItem::GetController() const {
  return FGridView ? FGridView->GetController() : nullptr;
}

TqvGridDataController* TqvCustomGridTableItem::GetDataController() const {
  return FGridView ? FGridView->GetDataController() : nullptr;
}

void TqvCustomGridTableItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRepositoryItem) SetRepositoryItem(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Item: changes

void TqvCustomGridTableItem::Changed(Integer AKind) {
  if (!FGridView || IsLoading() || IsDestroying()) return;
  if (AKind == 0)
    FGridView->LayoutChanged(true);
  else
    FGridView->SizeChanged(false, false);
}

void TqvCustomGridTableItem::CaptionChanged() {
  if (GetActuallyVisible() || GetGroupIndex() != -1) Changed(0);
}

void TqvCustomGridTableItem::DataChanged() {
  if (FDataBinding) FDataBinding->InitDefaultValuesProvider();
}

void TqvCustomGridTableItem::RestoreDefaults() {
  FCaptionAssigned = false;
  FCaption.clear();
  FWidthAssigned = false;
  Changed(1);
}

void TqvCustomGridTableItem::SetOnGetProperties(TqvGridGetPropertiesEvent AValue) {
  OnGetProperties = std::move(AValue);
  Changed(0);
}

// ---------------------------------------------------------------------------------------------
// Item: editor properties

void TqvCustomGridTableItem::ReleaseDefaultRepositoryItem() {
  if (!FDefaultRepositoryItem) return;
  if (FActualProperties == FDefaultRepositoryItem->GetProperties()) FActualProperties = nullptr;
  FDefaultRepositoryItem->RemoveListener(this);
  FDefaultRepositoryItem = nullptr;
}

void TqvCustomGridTableItem::UpdateActualProperties() {
  ReleaseDefaultRepositoryItem();
  TqvCustomEditProperties* actual = nullptr;
  if (!FGridView)
    actual = nullptr;
  else if (!FRepositoryItem && FProperties)
    actual = FProperties.get();
  else if (FRepositoryItem)
    actual = FRepositoryItem->GetProperties();
  else if (!IsDestroying() && FDataBinding && FGridView->IndexOfItem(this) != -1) {
    FDefaultRepositoryItem = FDataBinding->GetDefaultRepositoryItem();
    if (FDefaultRepositoryItem) {
      FDefaultRepositoryItem->AddListener(this);
      actual = FDefaultRepositoryItem->GetProperties();
    }
  }
  // The cells' style is of the properties' kind.
  if (actual != FActualProperties) FEditStyle.reset();
  FActualProperties = actual;
}

void TqvCustomGridTableItem::InitProperties(TqvCustomEditProperties* AProperties) {
  if (!AProperties || !FDataBinding) return;
  const bool wasLocked = AProperties->IsChangedLocked();
  AProperties->SetChangedLocked(true);
  TFinally unlock([&] { AProperties->SetChangedLocked(wasLocked); });
  AProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider(AProperties));
}

TqvCustomEditProperties* TqvCustomGridTableItem::GetProperties() {
  InitProperties(FActualProperties);
  return FActualProperties;
}

TqvCustomEditProperties* TqvCustomGridTableItem::DoGetProperties(TqvCustomGridRecord* ARecord) {
  TqvCustomEditProperties* properties = FActualProperties;
  if (OnGetProperties) OnGetProperties(this, ARecord, properties);
  return properties;
}

TqvCustomEditProperties* TqvCustomGridTableItem::GetPropertiesForRecord(TqvCustomGridRecord* ARecord) {
  TqvCustomEditProperties* properties = DoGetProperties(ARecord);
  InitProperties(properties);
  return properties;
}

void TqvCustomGridTableItem::RecreateOwnProperties() {
  FActualProperties = FActualProperties == FProperties.get() ? nullptr : FActualProperties;
  FProperties.reset();
  if (!FPropertiesClass) return;
  FProperties.reset(FPropertiesClass->Create(this));
  FProperties->OnPropertiesChanged = [this](TObject* Sender) { PropertiesChangedHandler(Sender); };
}

void TqvCustomGridTableItem::SetPropertiesClass(TqvCustomEditPropertiesClass AValue) {
  if (FPropertiesClass == AValue) return;
  FPropertiesClass = AValue;
  RecreateOwnProperties();
  UpdateActualProperties();
  PropertiesChanged();
}

String TqvCustomGridTableItem::GetPropertiesClassName() const {
  return FPropertiesClass ? String(FPropertiesClass->ClassName()) : String();
}

void TqvCustomGridTableItem::SetPropertiesClassName(const String& AValue) {
  if (AValue.empty()) {
    SetPropertiesClass(nullptr);
    return;
  }
  TClass cls = GetRegisteredEditProperties()->FindByClassName(AValue);
  if (!cls || !cls->InheritsFrom(&TqvCustomEditProperties::StaticClass()))
    throw EPropertyConvertError("\"" + AValue + "\" is not a registered editor kind");
  SetPropertiesClass(static_cast<TqvCustomEditPropertiesClass>(cls));
}

void TqvCustomGridTableItem::SetOwnProperties(TqvCustomEditProperties* AValue) {
  if (FProperties && AValue) FProperties->Assign(AValue);
}

void TqvCustomGridTableItem::SetRepositoryItem(TqvEditRepositoryItem* AValue) {
  if (FRepositoryItem == AValue) return;
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem->RemoveFreeNotification(this);
  }
  FRepositoryItem = AValue;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(this);
    FRepositoryItem->FreeNotification(this);
  }
  if (IsDestroying()) return;
  UpdateActualProperties();
  PropertiesChanged();
}

void TqvCustomGridTableItem::ItemRemoved(TqvEditRepositoryItem* Sender) {
  if (Sender == FDefaultRepositoryItem) {
    UpdateActualProperties();
    PropertiesChanged();
  } else if (Sender == FRepositoryItem) {
    SetRepositoryItem(nullptr);
  }
}

void TqvCustomGridTableItem::PropertiesChanged(TqvEditRepositoryItem* Sender) { RepositoryItemPropertiesChanged(Sender); }

void TqvCustomGridTableItem::RepositoryItemPropertiesChanged(TqvEditRepositoryItem*) { PropertiesChanged(); }

void TqvCustomGridTableItem::PropertiesChanged() {
  if (IsDestroying()) return;
  if (FGridView) FGridView->RefreshFilterableItemsList();
  Changed(1);
}

void TqvCustomGridTableItem::PropertiesChangedHandler(TObject*) { PropertiesChanged(); }

void TqvCustomGridTableItem::ValueTypeClassChanged() {
  UpdateActualProperties();
  if (FProperties) FProperties->Changed();
}

TqvCustomEditStyle* TqvCustomGridTableItem::GetEditStyle() {
  if (!FEditStyle) FEditStyle = CreateEditStyle();
  return FEditStyle.get();
}

TOwned<TqvCustomEditStyle> TqvCustomGridTableItem::CreateEditStyle() {
  TqvCustomEditStyleClass styleClass =
      FActualProperties ? FActualProperties->GetStyleClass() : &TqvCustomEditStyle::StaticClass();
  TOwned<TqvCustomEditStyle> style(static_cast<TqvCustomEditStyle*>(styleClass->Create(nullptr, true)));
  if (TqvCustomGrid* grid = FGridView ? FGridView->GetGrid() : nullptr)
    style->GetLookAndFeel()->SetMasterLookAndFeel(grid->GetLookAndFeel());
  return style;
}

void TqvCustomGridTableItem::InitStyle(TqvCustomEditStyle* AStyle, const TqvViewParams& AParams,
                                       bool AIsFocusedRecord) {
  AStyle->SetColor(AParams.Color);
  if (AParams.Font) AStyle->SetFont(AParams.Font);
  AStyle->SetTextColor(AParams.TextColor);
  AStyle->SetButtonTransparency(ShowButtons(AIsFocusedRecord) ? ebtNone : ebtHideInactive);
  AStyle->SetHotTrack(true);
}

// ---------------------------------------------------------------------------------------------
// Item: capabilities

namespace {
bool HasOperation(TqvCustomEditProperties* AProperties, TqvEditSupportedOperations AOperation) {
  return AProperties && (AProperties->GetSupportedOperations() & AOperation) != 0;
}
}  // namespace

bool TqvCustomGridTableItem::CanAutoHeight() { return HasOperation(FActualProperties, esoAutoHeight); }

bool TqvCustomGridTableItem::CanFilter() {
  return HasOperation(FActualProperties, esoFiltering) && FOptions->GetFiltering();
}

bool TqvCustomGridTableItem::CanFocus() {
  return FGridView && GetActuallyVisible() && FGridView->GetOptionsSelection()->GetCellSelect() &&
         FOptions->GetFocusing();
}

bool TqvCustomGridTableItem::CanEdit() {
  return CanFocus() && FGridView->GetOptionsData()->GetEditing() && FOptions->GetEditing() &&
         GetFocusedCellViewInfo() != nullptr && (GetDataController()->GetEditOperations() & dceopItemEdit) != 0;
}

bool TqvCustomGridTableItem::CanGroup() {
  return FGridView && HasOperation(FActualProperties, esoSorting) &&
         FGridView->GetOptionsCustomize()->ItemGrouping && FOptions->GetGrouping();
}

bool TqvCustomGridTableItem::CanSort() {
  return FGridView && HasOperation(FActualProperties, esoSorting) &&
         FGridView->GetOptionsCustomize()->ItemSorting && FOptions->GetSorting();
}

bool TqvCustomGridTableItem::CanMove() {
  return FGridView && FGridView->GetOptionsCustomize()->ItemMoving && FOptions->GetMoving();
}

bool TqvCustomGridTableItem::CanHide() {
  if (IsFirst() && IsLast()) return false;
  return CanMove();
}

bool TqvCustomGridTableItem::CanIncSearch() {
  return FGridView && HasOperation(FActualProperties, esoIncSearch) && FGridView->GetOptionsBehavior()->GetIncSearch() &&
         FOptions->GetIncSearch();
}

bool TqvCustomGridTableItem::CanInitEditing() { return GetDataController()->BeginEditItem(FIndex); }

bool TqvCustomGridTableItem::ShowButtons(bool AIsFocusedRecord) {
  switch (FOptions->GetShowEditButtons()) {
    case isebAlways:
      return true;
    case isebNever:
      return false;
    case isebDefault:
      break;
  }
  if (!FGridView) return false;
  switch (FGridView->GetOptionsView()->GetShowEditButtons()) {
    case gsebAlways:
      return true;
    case gsebForFocusedRecord:
      return AIsFocusedRecord;
    case gsebNever:
      return false;
  }
  return false;
}

bool TqvCustomGridTableItem::IsFirst() { return FVisibleIndex == 0; }

bool TqvCustomGridTableItem::IsLast() {
  return FGridView && FVisibleIndex != -1 && FVisibleIndex == FGridView->GetVisibleItemCount() - 1;
}

// ---------------------------------------------------------------------------------------------
// Item: caption, visibility, alignment

String TqvCustomGridTableItem::GetDefaultCaption() {
  return FDataBinding ? FDataBinding->GetDefaultCaption() : String();
}

String TqvCustomGridTableItem::GetCaption() { return FCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TqvCustomGridTableItem::SetCaption(const String& AValue) {
  const String old = GetCaption();
  FCaption = AValue;
  FCaptionAssigned = true;
  if (old != AValue) CaptionChanged();
}

bool TqvCustomGridTableItem::IsCaptionStored() { return FCaptionAssigned && FCaption != GetDefaultCaption(); }

void TqvCustomGridTableItem::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  if (FGridView && !IsLoading()) FGridView->ItemVisibilityChanged(this, AValue);
}

void TqvCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment AValue) {
  if (FHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz == AValue) return;
  FHeaderAlignmentHorz = AValue;
  FHeaderAlignmentHorzAssigned = true;
  Changed(0);
}

void TqvCustomGridTableItem::SetHeaderAlignmentVert(TqvAlignmentVert AValue) {
  if (FHeaderAlignmentVertAssigned && FHeaderAlignmentVert == AValue) return;
  FHeaderAlignmentVert = AValue;
  FHeaderAlignmentVertAssigned = true;
  Changed(0);
}

// ---------------------------------------------------------------------------------------------
// Item: widths

Integer TqvCustomGridTableItem::GetDefaultWidth() { return FDataBinding ? FDataBinding->GetDefaultWidth() : 64; }

Integer TqvCustomGridTableItem::GetWidth() { return FWidthAssigned ? FWidth : GetDefaultWidth(); }

Integer TqvCustomGridTableItem::GetEffectiveMinWidth() { return CanHorzSize() ? FMinWidth : 0; }

Integer TqvCustomGridTableItem::CheckWidthValue(Integer AWidth) { return std::max(AWidth, GetEffectiveMinWidth()); }

void TqvCustomGridTableItem::SetWidth(Integer AValue) {
  if (IsLoading()) {
    FWidth = AValue;
    FWidthAssigned = true;
    return;
  }
  AValue = CheckWidthValue(AValue);
  if (FWidthAssigned && AValue == FWidth) return;
  FWidth = AValue;
  FWidthAssigned = true;
  Changed(1);
}

Integer TqvCustomGridTableItem::GetMinWidth() { return CanHorzSize() ? FMinWidth : GetWidth(); }

void TqvCustomGridTableItem::SetMinWidth(Integer AValue) {
  AValue = std::max<Integer>(0, AValue);
  if (FMinWidth == AValue) return;
  const Integer oldWidth = GetWidth();
  FMinWidth = AValue;
  if (IsLoading()) return;
  if (FWidthAssigned && FWidth < GetEffectiveMinWidth())
    SetWidth(GetEffectiveMinWidth());
  else if (oldWidth < AValue)
    Changed(1);
}

bool TqvCustomGridTableItem::HasFixedWidth() {
  TqvCustomGridTableController* controller = GetController();
  return controller && controller->GetForcingWidthItem() == this;
}

void TqvCustomGridTableItem::ForceWidth(Integer AWidth) {
  TqvCustomGridTableController* controller = GetController();
  if (!controller) {
    SetWidth(AWidth);
    return;
  }
  TqvCustomGridTableItem* previous = controller->GetForcingWidthItem();
  controller->SetForcingWidthItem(this);
  TFinally restore([&] { controller->SetForcingWidthItem(previous); });
  SetWidth(AWidth);
}

Integer TqvCustomGridTableItem::MeasureRecordWidth(TqvCustomEditViewData* AViewData, TqvCustomGridRecord* ARecord,
                                                   TqvCanvas* ACanvas) {
  TqvViewParams params;
  FStyles->GetContentParams(ARecord, params);
  TqvCustomEditStyle* style = GetEditStyle();
  if (params.Font) style->SetFont(params.Font);
  AViewData->InitCacheData();
  const bool byValue = FActualProperties->GetEditValueSource(false) == evsValue;
  const Variant value = byValue ? ARecord->GetValue(FIndex) : Variant(ARecord->GetDisplayText(FIndex));
  return AViewData->GetEditContentSize(ACanvas, value, TqvEditSizeProperties()).cx;
}

Integer TqvCustomGridTableItem::GetBestFitWidth() {
  TqvCustomEditProperties* properties = GetProperties();
  if (!FGridView || !properties) return 0;
  TqvCanvas* canvas = FGridView->GetViewInfo()->GetCanvas();
  TqvCustomGridTableViewData* viewData = FGridView->GetViewData();
  Integer first = 0, count = viewData->GetRecordCount();
  const Integer maxCount = FGridView->GetOptionsBehavior()->GetBestFitMaxRecordCount();
  if (maxCount > 0) {
    first = std::clamp<Integer>(GetController()->GetTopRecordIndex(), 0, std::max<Integer>(0, count - 1));
    count = std::min(maxCount, count - first);
  }
  TqvCustomEditStyle* style = GetEditStyle();
  TOwned<TqvCustomEditViewData> editViewData = properties->CreateViewData(style, true);
  TqvViewParams savedParams;
  FStyles->GetContentParams(nullptr, savedParams);
  Integer widest = 0;
  for (Integer i = first; i < first + count; ++i) {
    TqvCustomGridRecord* record = viewData->GetRecord(i);
    if (record->HasCells()) widest = std::max(widest, MeasureRecordWidth(editViewData.get(), record, canvas));
  }
  if (savedParams.Font) style->SetFont(savedParams.Font);
  editViewData->InitCacheData();
  const Integer minimal = editViewData->GetEditContentSize(canvas, Variant(), TqvEditSizeProperties()).cx;
  TSize border, extra;
  editViewData->CalculateEditBorderPartSize(canvas, TqvEditSizeProperties(), nullptr, border, extra);
  const Integer result = std::max(widest, minimal) + border.cx;
  return result != 0 ? result + 2 : 0;
}

void TqvCustomGridTableItem::ApplyBestFit() {
  if (!FGridView || FGridView->IsPattern()) return;
  THourglassScope hourglass;
  ForceWidth(GetBestFitWidth());
  Changed(1);
}

Integer TqvCustomGridTableItem::CalculateDefaultCellHeight(TqvCanvas* ACanvas, TFont* AFont) {
  TqvCustomEditProperties* properties = GetProperties();
  if (!properties) return 0;
  TqvCustomEditStyle* style = GetEditStyle();
  if (AFont) style->SetFont(AFont);
  const Integer height = properties->GetEditSize(ACanvas, style, true, Variant(), TqvEditSizeProperties()).cy;
  return height != 0 ? height + 2 : 0;
}

// ---------------------------------------------------------------------------------------------
// Item: focus, values, data

bool TqvCustomGridTableItem::GetFocused() {
  TqvCustomGridTableController* controller = GetController();
  return controller && controller->GetFocusedItem() == this;
}

void TqvCustomGridTableItem::SetFocused(bool AValue) {
  TqvCustomGridTableController* controller = GetController();
  if (!controller) return;
  if (AValue) {
    controller->SetFocusedItem(this);
    return;
  }
  if (!GetFocused()) return;
  bool wrapped = false;
  const Integer next = controller->FindNextItem(FVisibleIndex, true, true, wrapped);
  TqvCustomGridTableItem* nextItem = next != -1 ? FGridView->GetVisibleItem(next) : nullptr;
  controller->SetFocusedItem(nextItem != this ? nextItem : nullptr);
}

Variant TqvCustomGridTableItem::GetEditValue() {
  TqvCustomGridTableController* controller = GetController();
  TqvCustomGridRecord* record = controller ? controller->GetFocusedRecord() : nullptr;
  if (!record) return Variant();
  TqvCustomEditProperties* properties = GetPropertiesForRecord(record);
  const TqvEditValueSource source = properties ? properties->GetEditValueSource(true) : evsText;
  return GetDataController()->GetEditValue(FIndex, source);
}

void TqvCustomGridTableItem::SetEditValue(const Variant& AValue) {
  TqvCustomGridTableController* controller = GetController();
  TqvCustomGridRecord* record = controller ? controller->GetFocusedRecord() : nullptr;
  TqvCustomEditProperties* properties = record ? GetPropertiesForRecord(record) : GetProperties();
  const TqvEditValueSource source = properties ? properties->GetEditValueSource(true) : evsText;
  GetDataController()->SetEditValue(FIndex, AValue, source);
}

bool TqvCustomGridTableItem::GetFiltered() const { return FDataBinding && FDataBinding->GetFiltered(); }

void TqvCustomGridTableItem::SetFiltered(bool AValue) {
  if (FDataBinding) FDataBinding->SetFiltered(AValue);
}

TqvDataSortOrder TqvCustomGridTableItem::GetSortOrder() const {
  return FGridView ? GetDataController()->GetItemSortOrder(FIndex) : soNone;
}

void TqvCustomGridTableItem::SetSortOrder(TqvDataSortOrder AValue) {
  if (!FGridView || GetSortOrder() == AValue) return;
  THourglassScope hourglass;
  GetDataController()->ChangeSorting(FIndex, AValue);
}

Integer TqvCustomGridTableItem::GetSortIndex() const {
  return FGridView ? GetDataController()->GetItemSortIndex(FIndex) : -1;
}

void TqvCustomGridTableItem::SetSortIndex(Integer AValue) {
  if (!FGridView || GetSortIndex() == AValue) return;
  THourglassScope hourglass;
  GetDataController()->ChangeSortIndex(FIndex, AValue);
}

Integer TqvCustomGridTableItem::GetGroupIndex() const {
  return FGridView ? GetDataController()->GetGroups()->GetGroupIndex(FIndex) : -1;
}

void TqvCustomGridTableItem::SetGroupIndex(Integer AValue) {
  if (!FGridView || GetGroupIndex() == AValue) return;
  THourglassScope hourglass;
  if (GetGroupIndex() == -1) FWasVisibleBeforeGrouping = FVisible;
  GetDataController()->GetGroups()->ChangeGroupIndex(FIndex, AValue);
}

void TqvCustomGridTableItem::DoGetDisplayText(TqvCustomGridRecord* ARecord, String& AText) {
  if (OnGetDisplayText) OnGetDisplayText(this, ARecord, AText);
}

void TqvCustomGridTableItem::DoGetFilterDisplayText(const Variant& AValue, String& ADisplayText) {
  if (OnGetFilterDisplayText) OnGetFilterDisplayText(this, AValue, ADisplayText);
}

void TqvCustomGridTableItem::DoGetFilterValues(TqvFilterValueList* AValueList) {
  if (OnGetFilterValues) OnGetFilterValues(this, AValueList);
}

void TqvCustomGridTableItem::DoCustomDrawCell(TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo, bool& ADone) {
  if (OnCustomDrawCell) OnCustomDrawCell(this, ACanvas, AViewInfo, ADone);
}

// ---------------------------------------------------------------------------------------------
// Item: stored layout and assignment

String TqvCustomGridTableItem::GetStoredObjectName() { return GetName(); }

bool TqvCustomGridTableItem::GetStoredProperties(TStrings* AProperties) {
  for (const char* name : ItemStoredPropertyNames) AProperties->Add(name);
  return true;
}

void TqvCustomGridTableItem::GetStoredPropertyValue(const String& AName, Variant& AValue) {
  if (AName == "Index")
    AValue = FIndex;
  else if (AName == "Visible")
    AValue = FVisible;
  else if (AName == "Caption")
    AValue = GetCaption();
  else if (AName == "SortOrder")
    AValue = static_cast<Integer>(GetSortOrder());
  else if (AName == "SortIndex")
    AValue = GetSortIndex();
  else
    AValue = Null();
}

// Every value is converted before anything changes, so a bad one leaves the item as it was.
void TqvCustomGridTableItem::SetStoredPropertyValue(const String& AName, const Variant& AValue) {
  if (AName == "Index") {
    SetIndex(StoredInteger(AName, AValue));
  } else if (AName == "Visible") {
    bool visible = false;
    try {
      visible = AValue.AsBoolean();
    } catch (const Exception&) {
      RaiseItemValueError(AName, AValue);
    }
    SetVisible(visible);
  } else if (AName == "Caption") {
    SetCaption(VarToStr(AValue));
  } else if (AName == "SortOrder") {
    const Integer order = StoredInteger(AName, AValue);
    if (order < soNone || order > soDescending) RaiseItemValueError(AName, AValue);
    SetSortOrder(static_cast<TqvDataSortOrder>(order));
  } else if (AName == "SortIndex") {
    SetSortIndex(StoredInteger(AName, AValue));
  }
}

void TqvCustomGridTableItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TqvCustomGridTableItem*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (FDataBinding && source->FDataBinding) FDataBinding->Assign(source->FDataBinding.get());
  FCaption = source->FCaption;
  FCaptionAssigned = source->FCaptionAssigned;
  if (FGridView && source->FGridView) SetGroupIndex(source->GetGroupIndex());
  FHeaderAlignmentHorz = source->FHeaderAlignmentHorz;
  FHeaderAlignmentHorzAssigned = source->FHeaderAlignmentHorzAssigned;
  FHeaderAlignmentVert = source->FHeaderAlignmentVert;
  FHeaderAlignmentVertAssigned = source->FHeaderAlignmentVertAssigned;
  SetMinWidth(source->FMinWidth);
  FOptions->Assign(source->FOptions.get());
  SetPropertiesClass(source->FPropertiesClass);
  SetOwnProperties(source->FProperties.get());
  SetRepositoryItem(source->FRepositoryItem);
  if (FGridView && source->FGridView) SetSortOrder(source->GetSortOrder());
  FStyles->Assign(source->FStyles.get());
  SetVisible(source->FVisible);
  FWidth = source->FWidth;
  FWidthAssigned = source->FWidthAssigned;
  OnCustomDrawCell = source->OnCustomDrawCell;
  OnGetDisplayText = source->OnGetDisplayText;
  OnGetFilterDisplayText = source->OnGetFilterDisplayText;
  OnGetFilterValues = source->OnGetFilterValues;
  OnGetProperties = source->OnGetProperties;
  Changed(1);
}
