// The dataset lookup edit, the lookup combo box, its repository item, its registration and its
// value editor in the filter builder.
#include "dataaware/qvDBLookupComboBox.h"

#include "dataaware/qvDB.h"
#include "dataaware/qvDBData.h"
#include "grid/qvFilterControlUtils.h"
#include "lookandfeel/qvContainer.h"
#include "platform/data/DBConsts.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomDBLookupEditLookupData)
QJ_IMPLEMENT_CLASS(TqvCustomDBLookupEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomDBLookupEdit)
QJ_IMPLEMENT_CLASS(TqvLookupComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvCustomLookupComboBox)
QJ_IMPLEMENT_CLASS(TqvLookupComboBox)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryLookupComboBoxItem)

namespace {

// How far a chain of master datasets is followed.
constexpr Integer kMaxMasterDepth = 256;

// The value editor of a lookup column in the filter builder: a key chosen from the list.
class TqvFilterLookupComboBoxHelper : public TqvFilterComboBoxHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterLookupComboBoxHelper, TqvFilterComboBoxHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override { return &TqvLookupComboBox::StaticClass(); }
  // Equal, not equal, blank and not blank, in both sets.
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties*, bool) const override {
    return froBit(froEquals) | froBit(froNotEquals) | froBit(froBlank) | froBit(froNotBlank);
  }
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override {
    inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    auto* lookup = As<TqvLookupComboBoxProperties>(AProperties);
    if (!lookup) return;
    lookup->SetDropDownAutoSize(false);
    lookup->SetDropDownListStyle(lsFixedList);
    lookup->SetDropDownSizeable(true);
    lookup->SetIncrementalFiltering(true);
  }
};

QJ_IMPLEMENT_CLASS(TqvFilterLookupComboBoxHelper)
TqvFilterEditHelperClass TqvFilterLookupComboBoxHelper::Class() {
  static const TqvFilterLookupComboBoxHelper instance;
  return &instance;
}

const struct TLookupComboBoxRegistration {
  TLookupComboBoxRegistration() {
    GetRegisteredEditProperties()->Register(&TqvLookupComboBoxProperties::StaticClass(),
                                            LoadResString(&sqvEditDisplayTextLookupComboBox));
    GetFilterEditsController()->Register(&TqvLookupComboBoxProperties::StaticClass(),
                                         TqvFilterLookupComboBoxHelper::Class());
  }
} LookupComboBoxRegistration;

// The key does not convert to the key fields' types: no record has it.
template <class F>
auto IgnoringConversionErrors(F AWork, decltype(AWork()) ANotFound) {
  try {
    return AWork();
  } catch (const EVariantError&) {
    return ANotFound;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lookup data

TqvDBDataController* TqvCustomDBLookupEditLookupData::GetListDBDataController() const {
  auto* properties = As<TqvCustomDBLookupEditProperties>(GetLookupProperties());
  return properties ? properties->GetListDBDataController() : nullptr;
}

void TqvCustomDBLookupEditLookupData::SetCurrentKeyFromRecord(Integer ARecordIndex) {
  TqvDBDataController* controller = GetListDBDataController();
  SetItemIndex(ARecordIndex);
  SetKeyValue(ARecordIndex != -1 && controller ? controller->GetKeyValues(ARecordIndex) : Null());
}

void TqvCustomDBLookupEditLookupData::FocusCurrentKeyRecord() {
  TqvDBDataController* controller = GetListDBDataController();
  if (!controller || controller->GetKeyFieldNames().empty()) return;
  TqvLookupListLockScope locked(GetLookupProperties());
  IgnoringConversionErrors([&] { return controller->LocateByKey(GetKeyValue()); }, false);
}

Integer TqvCustomDBLookupEditLookupData::FindKeyRecord(const Variant& AKey) {
  TqvDBDataController* controller = GetListDBDataController();
  if (!controller || controller->GetKeyFieldNames().empty()) return -1;
  return IgnoringConversionErrors([&] { return controller->FindRecordIndexByKey(AKey); }, -1);
}

// ---------------------------------------------------------------------------------------------
// Dataset lookup properties

TqvCustomDBLookupEditProperties::TqvCustomDBLookupEditProperties(TPersistent* AOwner)
    : TqvCustomLookupEditProperties(AOwner) {
  FLookupFieldWatch = MakeOwned<TqvFreeNotificator>(nullptr);
  FLookupFieldWatch->OnFreeNotification = [this](TComponent* AComponent) { LookupFieldFreed(AComponent); };
}

TqvCustomDBLookupEditProperties::~TqvCustomDBLookupEditProperties() {
  SetLookupField(nullptr);
  FDisplayTextCache.reset();
}

TqvCustomEditClass TqvCustomDBLookupEditProperties::ContainerClass() { return &TqvCustomDBLookupEdit::StaticClass(); }

TqvCustomTextEditLookupDataClass TqvCustomDBLookupEditProperties::LookupDataClass() {
  return &TqvCustomDBLookupEditLookupData::StaticClass();
}

void TqvCustomDBLookupEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomDBLookupEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  if (!IsDefinedByLookup()) SetKeyFieldNames(source->GetKeyFieldNames());
  inherited::Assign(Source);
}

void TqvCustomDBLookupEditProperties::CheckNotDefinedByLookup() const {
  if (IsDefinedByLookup() && !FSettingLookupField) DatabaseErrorFmt(&SPropDefByLookup, {});
}

void TqvCustomDBLookupEditProperties::ClampListFieldIndex() {
  if (!IsDefinedByLookup()) TqvCustomLookupEditProperties::WriteListFieldIndex(TqvCustomLookupEditProperties::ReadListFieldIndex());
}

void TqvCustomDBLookupEditProperties::Changed() {
  ResetLookupCache();
  LookupFieldChanged();
  EnsureLookupResultColumn();
  inherited::Changed();
}

void TqvCustomDBLookupEditProperties::ListDataChanged() {
  // The lookup's own locates in the list are no change of its data.
  if (FDisplayTextCache && FLookupUsageCount == 0) FDisplayTextCache->Clear();
  inherited::ListDataChanged();
}

TAlignment TqvCustomDBLookupEditProperties::GetDefaultHorzAlignment() {
  TField* field = GetCurrentListField();
  return field ? field->GetAlignment() : inherited::GetDefaultHorzAlignment();
}

Integer TqvCustomDBLookupEditProperties::GetDefaultMaxLength() {
  TField* field = GetCurrentListField();
  return field ? field->GetSize() : inherited::GetDefaultMaxLength();
}

TqvEditValueSource TqvCustomDBLookupEditProperties::GetEditValueSource(bool AEditFocused) const {
  if (HasLookupField()) return AEditFocused ? evsKey : evsText;
  return inherited::GetEditValueSource(AEditFocused);
}

bool TqvCustomDBLookupEditProperties::IsKeyFieldDisplayed() const {
  const String names = GetKeyFieldNames();
  TqvDBDataController* controller = GetListDBDataController();
  TDataSet* dataSet = controller ? controller->GetDataSet() : nullptr;
  if (names.empty() || IsMultipleFieldNames(names) || !dataSet) return false;
  TField* keyField = dataSet->FindField(names);
  return keyField && keyField == GetCurrentListField();
}

void TqvCustomDBLookupEditProperties::LockList() {
  inherited::LockList();
  TqvDBDataController* controller = GetListDBDataController();
  if (!controller || !controller->IsGridMode()) return;
  ++FLookupUsageCount;
  controller->BeginLookupUsage();
}

void TqvCustomDBLookupEditProperties::UnlockList() {
  if (FLookupUsageCount > 0) {
    if (TqvDBDataController* controller = GetListDBDataController()) controller->EndLookupUsage();
    --FLookupUsageCount;
  }
  inherited::UnlockList();
}

void TqvCustomDBLookupEditProperties::WriteListFieldIndex(Integer AIndex) {
  CheckNotDefinedByLookup();
  inherited::WriteListFieldIndex(AIndex);
}

Integer TqvCustomDBLookupEditProperties::FindRecordByText(Integer AItemIndex, const String& AText, bool APartial) {
  if (!GetGridMode()) return inherited::FindRecordByText(AItemIndex, AText, APartial);
  TqvDBDataController* controller = GetListDBDataController();
  TDataSet* dataSet = controller ? controller->GetDataSet() : nullptr;
  if (!dataSet || !dataSet->GetActive() || AItemIndex == -1) return -1;
  TqvLookupListLockScope locked(this);
  const TLocateOptions options = loCaseInsensitive | (APartial ? TLocateOptions(loPartialKey) : 0);
  if (!dataSet->Locate(GetListColumnFieldName(AItemIndex), AText, options)) return -1;
  controller->ResetFocusedRow();
  return controller->GetFocusedRecordIndex();
}

Integer TqvCustomDBLookupEditProperties::ReadListFieldIndex() const {
  if (FLookupField && !FLookupField->GetLookupResultField().empty())
    return FindListColumn(FLookupField->GetLookupResultField());
  return inherited::ReadListFieldIndex();
}

String TqvCustomDBLookupEditProperties::GetDisplayTextByKey(const Variant& AKey) {
  const Integer column = GetListItemIndex();
  TqvDBDataController* controller = GetListDBDataController();
  if (column == -1 || !controller) return String();
  if (!GetGridMode()) {
    const Integer record = IgnoringConversionErrors([&] { return controller->FindRecordIndexByKey(AKey); }, -1);
    return record == -1 ? String() : controller->GetDisplayText(record, column);
  }
  if (VarIsNull(AKey) || VarIsEmpty(AKey) || GetKeyFieldNames().empty()) return String();
  Integer index = 0;
  if (FDisplayTextCache->Find(AKey, index)) return FDisplayTextCache->GetItem(index).DisplayText;
  String text;
  {
    TqvLookupListLockScope locked(this);
    TDataSet* dataSet = controller->GetDataSet();
    TField* field = GetCurrentListField();
    const bool found = dataSet && dataSet->GetActive() && field &&
                       IgnoringConversionErrors([&] { return dataSet->Locate(GetKeyFieldNames(), AKey, 0); }, false);
    if (found) text = field->GetAsString();
  }
  // The search position again: nothing may have changed the cache meanwhile, but be sure.
  if (!FDisplayTextCache->Find(AKey, index)) FDisplayTextCache->Insert(index, AKey, text);
  return text;
}

bool TqvCustomDBLookupEditProperties::UseIncrementalFiltering() const {
  return !GetGridMode() && inherited::UseIncrementalFiltering();
}

Variant TqvCustomDBLookupEditProperties::GetEmptyKeyValue() const {
  const Integer count = GetFieldNameCount(GetKeyFieldNames());
  if (count <= 1) return Null();
  Variant key = VarArrayCreate(0, count - 1, varVariant);
  for (Integer i = 0; i < count; ++i) key.SetElement(i, Null());
  return key;
}

String TqvCustomDBLookupEditProperties::GetKeyFieldNames() const {
  TqvDBDataController* controller = GetListDBDataController();
  return controller ? controller->GetKeyFieldNames() : String();
}

void TqvCustomDBLookupEditProperties::SetKeyFieldNames(const String& Value) {
  CheckNotDefinedByLookup();
  if (TqvDBDataController* controller = GetListDBDataController()) controller->SetKeyFieldNames(Value);
}

String TqvCustomDBLookupEditProperties::GetListFieldNames() const {
  String names;
  for (Integer i = 0; i < GetListColumnCount(); ++i) names += (i > 0 ? ";" : "") + GetListColumnFieldName(i);
  return names;
}

void TqvCustomDBLookupEditProperties::SetGridMode(bool Value) {
  if (Value == GetGridMode()) return;
  if (Value)
    FDisplayTextCache = std::make_unique<TqvLookupList>();
  else
    FDisplayTextCache.reset();
  Changed();
}

TField* TqvCustomDBLookupEditProperties::GetBoundField() const {
  auto* provider = dynamic_cast<TqvCustomDBEditDefaultValuesProvider*>(GetDefaultValuesProvider());
  return provider ? provider->GetField() : nullptr;
}

TField* TqvCustomDBLookupEditProperties::GetLookupField() const {
  TField* field = GetBoundField();
  return field && field->GetLookup() ? field : nullptr;
}

void TqvCustomDBLookupEditProperties::LookupFieldFreed(TComponent* AComponent) {
  if (AComponent == FLookupField) FLookupField = nullptr;
}

void TqvCustomDBLookupEditProperties::SetLookupField(TField* AField) {
  if (AField == FLookupField) return;
  if (FLookupField) FLookupFieldWatch->RemoveFreeNotification(FLookupField);
  FLookupField = AField;
  if (!AField) {
    FLookupDataSource.reset();
    return;
  }
  FLookupFieldWatch->FreeNotification(AField);
  if (!FLookupDataSource) FLookupDataSource.reset(New<TDataSource>(nullptr));
  FLookupDataSource->SetDataSet(AField->GetLookupDataSet());
  TqvDBDataController* controller = GetListDBDataController();
  if (!controller) return;
  TValueScope setting(FSettingLookupField, true);
  controller->SetDataSource(FLookupDataSource.get());
  const String result = AField->GetLookupResultField();
  if (FindListColumn(result) == -1) {
    BeginListColumnsUpdate();
    TFinally end([&] { EndListColumnsUpdate(); });
    SetListColumnsByFieldNames(result);
  }
  SetKeyFieldNames(AField->GetLookupKeyFields());
  WriteListFieldIndex(0);
}

void TqvCustomDBLookupEditProperties::ResetLookupCache() {
  if (FDisplayTextCache) FDisplayTextCache->Clear();
  if (TqvDBDataController* controller = GetListDBDataController())
    controller->GetDataModeController()->SetGridMode(GetGridMode());
}

void TqvCustomDBLookupEditProperties::LookupFieldChanged() {
  TField* field = GetLookupField();
  // A lookup field whose list is the edited dataset itself is refused before it is taken.
  if (field && field != FLookupField && IsDataSetLinkedTo(field->GetLookupDataSet(), field->GetDataSet()))
    DatabaseErrorFmt(&SCircularDataLink, {});
  SetLookupField(field);
  CheckCircularDataLink();
}

void TqvCustomDBLookupEditProperties::EnsureLookupResultColumn() {
  if (FLookupField && !FLookupField->GetLookupResultField().empty())
    EnsureListColumn(FLookupField->GetLookupResultField());
}

void TqvCustomDBLookupEditProperties::CheckCircularDataLink() {
  TField* bound = GetBoundField();
  TqvDBDataController* controller = GetListDBDataController();
  if (bound && controller && controller->GetDataSource() &&
      IsDataSetLinkedTo(controller->GetDataSource(), bound->GetDataSet()))
    DatabaseErrorFmt(&SCircularDataLink, {});
}

bool TqvCustomDBLookupEditProperties::IsDataSetLinkedTo(TDataSource* ADataSource, TDataSet* ADataSet) {
  return ADataSource && IsDataSetLinkedTo(ADataSource->GetDataSet(), ADataSet);
}

bool TqvCustomDBLookupEditProperties::IsDataSetLinkedTo(TDataSet* AListDataSet, TDataSet* ADataSet) {
  if (!AListDataSet) return false;
  TDataSet* dataSet = ADataSet;
  for (Integer depth = 0; dataSet && depth < kMaxMasterDepth; ++depth) {
    if (dataSet == AListDataSet) return true;
    if (TField* parent = dataSet->GetDataSetField(); parent && parent->GetDataSet() == AListDataSet) return true;
    TDataSource* master = dataSet->GetDataSource();
    dataSet = master ? master->GetDataSet() : nullptr;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Dataset lookup edit

TqvCustomEditPropertiesClass TqvCustomDBLookupEdit::PropertiesClass() {
  return &TqvCustomDBLookupEditProperties::StaticClass();
}

bool TqvCustomDBLookupEdit::IsValidChar(char AChar) {
  TField* field = GetProperties()->GetCurrentListField();
  return !field || field->IsValidChar(AChar) || GetProperties()->GetValidChars().test(static_cast<unsigned char>(AChar));
}

void TqvCustomDBLookupEdit::LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) { AEditValue = AKey; }

// ---------------------------------------------------------------------------------------------
// Lookup combo box

TqvLookupComboBoxProperties::TqvLookupComboBoxProperties(TPersistent* AOwner)
    : TqvCustomDBLookupEditProperties(AOwner), FListGrid(New<TqvLookupDBGrid>(nullptr)) {
  FListGrid->SetPopupMode(true);
  FListGrid->GetOptions()->OnChanged = [this](TObject*) { ListOptionsChanged(); };
  ConnectListDataController();
}

TqvLookupComboBoxProperties::~TqvLookupComboBoxProperties() {
  DisconnectListDataController();
  FListGrid->GetOptions()->OnChanged = nullptr;
  FListGrid.reset();
}

TqvCustomEditClass TqvLookupComboBoxProperties::ContainerClass() { return &TqvLookupComboBox::StaticClass(); }

void TqvLookupComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvLookupComboBoxProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  SetGridMode(source->GetGridMode());
  SetListOptions(source->GetListOptions());
  if (!IsDefinedByLookup()) {
    SetListSource(source->GetListSource());
    SetListColumns(source->GetListColumns());
  }
  SetOnSortingChanged(source->GetOnSortingChanged());
  inherited::Assign(Source);
}

TqvCustomDataController* TqvLookupComboBoxProperties::GetListDataController() const {
  return FListGrid ? FListGrid->GetDataController() : nullptr;
}

TqvDBDataController* TqvLookupComboBoxProperties::GetListDBDataController() const {
  return FListGrid ? FListGrid->GetDBDataController() : nullptr;
}

Integer TqvLookupComboBoxProperties::GetListColumnsWidth() {
  Integer width = 0;
  for (Integer i = 0; i < GetListColumnCount(); ++i) width += GetListColumns()->GetItem(i)->GetWidth();
  return width;
}

TNotifyEvent TqvLookupComboBoxProperties::GetOnSortingChanged() const {
  return GetListDBDataController()->OnSortingChanged;
}

void TqvLookupComboBoxProperties::SetOnSortingChanged(TNotifyEvent Value) {
  GetListDBDataController()->OnSortingChanged = std::move(Value);
}

void TqvLookupComboBoxProperties::SetListEventHandlers(TNotifyEvent ARowChosen, TqvLookupListCloseUpEvent ACloseUp,
                                                       TNotifyEvent AThird) {
  FListGrid->RowChosenHandler = std::move(ARowChosen);
  FListGrid->CloseUpHandler = std::move(ACloseUp);
  FListGrid->NotificationHandler = std::move(AThird);
}

void TqvLookupComboBoxProperties::ApplyListStyle(TqvLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) {
  FListGrid->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
  FListGrid->SetColor(AColor);
  if (AFont) FListGrid->SetFont(AFont);
}

void TqvLookupComboBoxProperties::ReleaseListMouse() {
  if (FListGrid->HandleAllocated() && GetCapture() == FListGrid->GetHandle()) ReleaseCapture();
  FListGrid->SetIgnoreMouseMove(false);
}

void TqvLookupComboBoxProperties::EnsureListColumn(const String& AFieldName) {
  if (AFieldName.empty() || GetListColumns()->ColumnByFieldName(AFieldName)) return;
  TUpdateScope update(FListGrid.get());
  TqvLookupDBGridColumn* column = GetListColumns()->Add();
  column->SetFieldName(AFieldName);
  column->SetIndex(0);
}

TField* TqvLookupComboBoxProperties::GetListField(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetListColumnCount() ? GetListColumns()->GetItem(AIndex)->GetField() : nullptr;
}

String TqvLookupComboBoxProperties::GetListColumnFieldName(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetListColumnCount() ? GetListColumns()->GetItem(AIndex)->GetFieldName() : String();
}

Integer TqvLookupComboBoxProperties::FindListColumn(const String& AFieldName) const {
  TqvLookupDBGridColumn* column = GetListColumns()->ColumnByFieldName(AFieldName);
  return column ? column->GetIndex() : -1;
}

void TqvLookupComboBoxProperties::SetListColumns(TqvLookupDBGridColumns* Value) {
  FListGrid->SetColumns(Value);
  EnsureLookupResultColumn();
  ClampListFieldIndex();
}

TDataSource* TqvLookupComboBoxProperties::GetListSource() const {
  return IsDefinedByLookup() ? nullptr : FListGrid->GetDataSource();
}

void TqvLookupComboBoxProperties::SetListSource(TDataSource* Value) {
  CheckNotDefinedByLookup();
  TField* bound = GetBoundField();
  if (Value && bound && IsDataSetLinkedTo(Value, bound->GetDataSet())) DatabaseErrorFmt(&SCircularDataLink, {});
  FListGrid->SetDataSource(Value);
  Changed();
}

void TqvLookupComboBoxProperties::SetListFieldNames(const String& Value) {
  const String old = GetListFieldNames();
  BeginListColumnsUpdate();
  TFinally end([&] { EndListColumnsUpdate(); });
  SetListColumnsByFieldNames(Value);
  EnsureLookupResultColumn();
  ClampListFieldIndex();
  if (GetListFieldNames() != old) Changed();
}

TqvCustomEditPropertiesClass TqvCustomLookupComboBox::PropertiesClass() {
  return &TqvLookupComboBoxProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvLookupComboBox::PropertiesClass() { return &TqvLookupComboBoxProperties::StaticClass(); }
