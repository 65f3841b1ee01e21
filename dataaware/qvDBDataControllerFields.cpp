// The dataset controller's fields: bound to dataset fields by name (duplicates share one storage
// column, name lists and lookup keys get sub-fields), their value types, key fields and finding
// records by key.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSearch.h"
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"
#include "editors/qvEdit.h"
#include "platform/rtl/StringList.h"

QJ_IMPLEMENT_CLASS(TqvDBDataField)

namespace {

// The text raised when a data field would get a second parent; a fault of the caller.
const TResourceString sqvDataFieldHasParent{61008, "ADataField.FParentField <> nil"};

}  // namespace

TqvValueTypeClass GetFieldValueTypeClass(const TField* AField) {
  if (!AField) return TqvStringValueType::Class();
  switch (AField->GetDataType()) {
    case ftString: return TqvStringValueType::Class();
    case ftSmallint: return TqvSmallintValueType::Class();
    case ftInteger:
    case ftAutoInc: return TqvIntegerValueType::Class();
    case ftWord: return TqvWordValueType::Class();
    case ftBoolean: return TqvBooleanValueType::Class();
    case ftFloat: return TqvFloatValueType::Class();
    case ftCurrency:
    case ftBCD: return TqvCurrencyValueType::Class();
    case ftDate:
    case ftTime:
    case ftDateTime: return TqvDateTimeValueType::Class();
    case ftWideString: return TqvWideStringValueType::Class();
    case ftLargeint: return TqvLargeIntValueType::Class();
    case ftFMTBcd: return TqvFMTBcdValueType::Class();
    default: return TqvVariantValueType::Class();
  }
}

// ---------------------------------------------------------------------------------------------
// TqvDBDataField

TqvDBDataField::~TqvDBDataField() {
  ClearSubFields();
  if (FParentField) {
    auto& siblings = FParentField->FSubFields;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TqvDBDataController* TqvDBDataField::GetDBDataController() const {
  return static_cast<TqvDBDataController*>(GetDataController());
}

const TqvDBDataField* TqvDBDataField::Target() const {
  const TqvDBDataField* field = this;
  while (auto* reference = static_cast<const TqvDBDataField*>(field->GetReferenceField())) field = reference;
  return field;
}

TField* TqvDBDataField::GetField() const { return Target()->FField; }

void TqvDBDataField::SetField(TField* AField) {
  if (GetReferenceField()) return;
  if (AField && AField->HasState(csDestroying)) AField = nullptr;
  if (AField == FField) return;
  FField = AField;
  if (AField) AField->FreeNotification(GetNotifier());
  ClearSubFields();
}

Integer TqvDBDataField::GetSubFieldCount() const { return static_cast<Integer>(Target()->FSubFields.size()); }

TqvDBDataField* TqvDBDataField::GetSubField(Integer AIndex) const {
  return Target()->FSubFields.at(static_cast<size_t>(AIndex));
}

void TqvDBDataField::AddSubField(TqvDBDataField* AField) {
  if (AField->FParentField) RaiseDataControllerError(&sqvDataFieldHasParent);
  AField->FParentField = this;
  FSubFields.push_back(AField);
}

void TqvDBDataField::ClearSubFields() {
  std::vector<TqvDBDataField*> fields;
  fields.swap(FSubFields);
  for (TqvDBDataField* field : fields) {
    field->FParentField = nullptr;
    Free(field);
  }
}

bool TqvDBDataField::IsLookup() const {
  TField* field = GetField();
  return field && field->GetLookup();
}

void TqvDBDataField::TakeOverValueDef(TqvCustomDataField* ASource) {
  inherited::TakeOverValueDef(ASource);
  auto* source = dynamic_cast<TqvDBDataField*>(ASource);
  if (!source) return;
  FField = source->FField;
  source->FField = nullptr;
  ClearSubFields();
  FSubFields.swap(source->FSubFields);
  for (TqvDBDataField* field : FSubFields) field->FParentField = this;
}

void TqvDBDataField::NotifyComponentRemoved(TComponent* AComponent) {
  if (GetReferenceField()) return;
  inherited::NotifyComponentRemoved(AComponent);
  if (!FField || AComponent != FField) return;
  TqvDBDataProvider* provider = GetDBDataController()->GetDBProvider();
  TDataSet* dataSet = provider->GetDataSet();
  if (provider->GetInFirst() && provider->GetDataLink()->GetActive() && dataSet && !dataSet->GetActive())
    provider->SetStructureChanged(true);
  SetField(nullptr);
  // A detail query reopened for one master drops its default fields under every detail of the
  // dataset; the others bind the new fields when the reopening ends, and keep their records.
  if (provider->IsDetailLoading() || GetDBDataController()->IsMasterDetailSyncing()) return;
  NotifyLayoutChanged();
}

bool TqvDBDataField::CanModify(bool) const {
  Integer source = GetIsInternal() ? evsValue : GetDataController()->GetItemValueSource(GetIndex());
  return CanModifyBySource(source);
}

bool TqvDBDataField::CanModifyBySource(Integer AEditValueSource) const {
  TField* field = GetField();
  if (!inherited::CanModify(AEditValueSource != evsValue) || !field) return false;
  if (!field->GetLookup()) return CanModifyField(field, AEditValueSource == evsValue);
  if (AEditValueSource != evsKey) return false;
  for (Integer i = 0; i < GetSubFieldCount(); ++i)
    if (!GetSubField(i)->CanModifyBySource(evsValue)) return false;
  return true;
}

bool TqvDBDataField::IsReaderExcluded() const { return !GetField() || GetDataController()->IsGridMode(); }

void TqvDBDataField::UpdateFromField(TField* ATField) {
  if (GetReferenceField()) return;
  TqvCustomDataController* c = GetDataController();
  bool forBinary = !GetIsInternal() && c->GetItemValueSource(GetIndex()) == evsText;
  bool keepsText = FieldNeedsDisplayText(ATField, forBinary);
  TqvValueTypeClass type = GetFieldValueTypeClass(ATField);
  bool typeChanged = type != GetValueTypeClass();
  if (keepsText == GetTextStored() && !typeChanged) return;
  BeginRecreateData();
  SetKeepsDisplayText(keepsText);
  ChangeValueType(type);
  EndValueDefRebuild();
  c->GetDataControllerInfo()->FieldChanged(this);
  if (!typeChanged) return;
  if (!GetIsInternal()) c->ItemValueTypeClassChanged(GetIndex());
  TqvCustomDataFieldList* fields = c->GetFields();
  for (Integer i = 0; i < fields->GetCount(); ++i) {
    TqvCustomDataField* field = fields->GetItem(i);
    if (field->GetReferenceField() == this && !field->GetIsInternal()) c->ItemValueTypeClassChanged(field->GetIndex());
  }
}

// ---------------------------------------------------------------------------------------------
// Binding by name

TqvDBDataField* TqvDBDataController::GetDBField(Integer AItemIndex) const {
  return static_cast<TqvDBDataField*>(GetField(AItemIndex));
}

void TqvDBDataController::SetItemFieldName(Integer AItemIndex, const String& AFieldName) {
  TqvDBDataField* field = GetDBField(AItemIndex);
  if (field->GetFieldName() != AFieldName) BindFieldName(field, AFieldName, false);
}

TField* TqvDBDataController::GetItemField(Integer AItemIndex) const { return GetDBField(AItemIndex)->GetField(); }

String TqvDBDataController::GetItemFieldName(Integer AItemIndex) const { return GetDBField(AItemIndex)->GetFieldName(); }

TqvDBDataField* TqvDBDataController::CreateKeyField() { return static_cast<TqvDBDataField*>(CreateInternalField()); }

void TqvDBDataController::BindFieldName(TqvDBDataField* AField, const String& AFieldNames, bool AIsLookupKeys) {
  AField->ClearSubFields();
  if (!AIsLookupKeys) {
    if (AField->GetFieldName() != AFieldNames) GetFields()->TransferReferences(AField);
    AField->SetFieldName(AFieldNames);
  }
  if (AIsLookupKeys || IsMultipleFieldNames(AFieldNames)) {
    TUpdateScope<TqvCustomDataController> update(this);
    TStringList names;
    SplitFieldNames(AFieldNames, &names);
    for (Integer i = 0; i < names.GetCount(); ++i) {
      TqvDBDataField* subField = CreateKeyField();
      AField->AddSubField(subField);
      BindFieldName(subField, names.Get(i), false);
    }
    return;
  }
  TqvValueTypeClass before = AField->GetEffectiveValueType();
  AField->ShareDefinitionOf(nullptr);
  TqvDBDataField* shared = nullptr;
  for (Integer i = 0; i < GetFields()->GetCount() && !shared; ++i) {
    auto* field = static_cast<TqvDBDataField*>(GetFields()->GetItem(i));
    if (field != AField && !field->GetReferenceField() && SameTextUpper(field->GetFieldName(), AFieldNames))
      shared = field;
  }
  if (shared) AField->ShareDefinitionOf(shared);
  if (AField->GetEffectiveValueType() != before && !AField->GetIsInternal()) ItemValueTypeClassChanged(AField->GetIndex());
  if (shared)
    Change(dccData);
  else
    LayoutChanged(1);
}

// A lookup field keeps its key fields as sub-fields; they are made again only when its keys
// changed.
void TqvDBDataController::UpdateDataField(TqvDBDataField* AField, bool AOnlyLookupSubFields) {
  TDataSet* dataSet = GetDataSet();
  if (AField->GetReferenceField() || !dataSet) return;
  if (AOnlyLookupSubFields && !(AField->GetParentField() && AField->GetParentField()->IsLookup())) return;
  TField* old = AField->GetField();
  TField* field = FInUnbindFields ? nullptr : dataSet->FindField(AField->GetFieldName());
  AField->SetField(field);
  if (!field || (field == old && IsMasterDetailSyncing())) return;
  AField->UpdateFromField(field);
  if (!field->GetLookup()) return;
  TStringList keys;
  SplitFieldNames(field->GetKeyFields(), &keys);
  bool same = AField->GetSubFieldCount() == keys.GetCount();
  for (Integer i = 0; same && i < keys.GetCount(); ++i) same = AField->GetSubField(i)->GetFieldName() == keys.Get(i);
  if (!same) BindFieldName(AField, field->GetKeyFields(), true);
}

void TqvDBDataController::UpdateField(TqvCustomDataField* AField) {
  inherited::UpdateField(AField);
  if (auto* field = dynamic_cast<TqvDBDataField*>(AField)) UpdateDataField(field, false);
}

void TqvDBDataController::UpdateFields() {
  inherited::UpdateFields();
  UpdateLookupSubFields();
}

void TqvDBDataController::UpdateLookupSubFields() {
  for (Integer i = 0; i < GetFields()->GetCount(); ++i)
    if (auto* field = dynamic_cast<TqvDBDataField*>(GetFields()->GetItem(i))) UpdateDataField(field, true);
}

void TqvDBDataController::UnbindFields() {
  TValueScope<bool> unbinding(FInUnbindFields, true, AliveToken());
  UpdateFields();
}

void TqvDBDataController::RebindFields() { UpdateFields(); }

void TqvDBDataController::ChangeValueTypeClass(Integer AItemIndex, TqvValueTypeClass AValueTypeClass) {
  if (GetItemField(AItemIndex)) return;  // the dataset field decides
  inherited::ChangeValueTypeClass(AItemIndex, AValueTypeClass);
}

bool TqvDBDataController::IsProviderField(TqvCustomDataField* AField) const {
  if (inherited::IsProviderField(AField)) return true;
  auto* field = dynamic_cast<TqvDBDataField*>(AField);
  return field && field->GetField();
}

bool TqvDBDataController::CanReadStoredValues(TqvCustomDataField* AField) const {
  auto* field = dynamic_cast<TqvDBDataField*>(AField);
  if (field && field->IsLookup()) return false;
  return inherited::CanReadStoredValues(AField);
}

void TqvDBDataController::FieldRemoving(TqvCustomDataField* AField) {
  inherited::FieldRemoving(AField);
  if (AField == FKeyField) FKeyField = nullptr;
}

void TqvDBDataController::NotifyComponentRemoved(TComponent* AComponent) {
  inherited::NotifyComponentRemoved(AComponent);
  if (std::find(FDetailKeyFieldList.begin(), FDetailKeyFieldList.end(), AComponent) != FDetailKeyFieldList.end()) {
    FDetailKeyFieldList.clear();
    FDetailKeyFieldListValid = false;
  }
}

// ---------------------------------------------------------------------------------------------
// Lookup fields: grouped and filtered by their key fields

Variant TqvDBDataController::GetGroupingValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  auto* field = dynamic_cast<TqvDBDataField*>(AField);
  if (!field || !field->IsLookup() || field->GetSubFieldCount() == 0)
    return inherited::GetGroupingValue(ARecordIndex, AField);
  if (field->GetSubFieldCount() == 1) return inherited::GetGroupingValue(ARecordIndex, field->GetSubField(0));
  Variant values = VarArrayCreate(0, field->GetSubFieldCount() - 1, varVariant);
  for (Integer i = 0; i < field->GetSubFieldCount(); ++i)
    values.SetElement(i, inherited::GetGroupingValue(ARecordIndex, field->GetSubField(i)));
  return values;
}

Variant TqvDBDataController::GetFilterValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  auto* field = dynamic_cast<TqvDBDataField*>(AField);
  if (!field || !field->IsLookup()) return inherited::GetFilterValue(ARecordIndex, AField);
  if (field->GetSubFieldCount() == 0) return Null();
  return GetFilterValue(ARecordIndex, field->GetSubField(0));
}

String TqvDBDataController::GetItemFilterFieldName(Integer AItemIndex) const {
  TqvDBDataField* field = GetDBField(AItemIndex);
  if (!field->GetField()) return String();
  bool ignoreOrigin = GetDBFilter()->GetIgnoreOrigin();
  if (!field->IsLookup()) return GetFilterFieldName(field->GetField(), ignoreOrigin);
  if (field->GetSubFieldCount() == 0) return String();
  return GetFilterFieldName(field->GetSubField(0)->GetField(), ignoreOrigin);
}

// ---------------------------------------------------------------------------------------------
// Key fields

void TqvDBDataController::SetupKeyField(const String& AFieldNames, TqvDBDataField*& AField) {
  if (!AFieldNames.empty()) {
    if (!AField) AField = CreateKeyField();
    BindFieldName(AField, AFieldNames, false);
    return;
  }
  if (!AField) return;
  TqvDBDataField* field = AField;
  AField = nullptr;
  Free(field);
  Change(dccData);
}

void TqvDBDataController::SetKeyFieldNames(const String& AValue) {
  if (FKeyFieldNames == AValue) return;
  FKeyFieldNames = AValue;
  SetupKeyField(AValue, FKeyField);
}

bool TqvDBDataController::IsKeyNavigation() const { return FKeyField && !IsGridMode(); }

std::vector<TqvCustomDataField*> TqvDBDataController::GetKeyDataFields() const {
  std::vector<TqvCustomDataField*> fields;
  if (!FKeyField) return fields;
  for (Integer i = 0; i < FKeyField->GetSubFieldCount(); ++i) fields.push_back(FKeyField->GetSubField(i));
  if (fields.empty()) fields.push_back(FKeyField);
  return fields;
}

Variant TqvDBDataController::GetKeyValues(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  std::vector<TqvCustomDataField*> fields = GetKeyDataFields();
  if (fields.empty()) return Null();
  if (fields.size() == 1) return GetFieldValue(ARecordIndex, fields[0]);
  Variant values = VarArrayCreate(0, static_cast<Integer>(fields.size()) - 1, varVariant);
  for (size_t i = 0; i < fields.size(); ++i) values.SetElement(static_cast<Integer>(i), GetFieldValue(ARecordIndex, fields[i]));
  return values;
}

Integer TqvDBDataController::FindRecordIndexByKey(const Variant& AKeyValues) {
  std::vector<TqvCustomDataField*> fields = GetKeyDataFields();
  if (fields.empty()) return -1;
  bool several = fields.size() > 1;
  if (several && (!VarIsArray(AKeyValues) || VarArrayHighBound(AKeyValues, 1) - VarArrayLowBound(AKeyValues, 1) + 1 <
                                                 static_cast<Integer>(fields.size())))
    return -1;
  TqvValueDefUnboundReader reader;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (TqvValueDef* def = fields[i]->GetStorageDef())
      reader.SetValue(def, several ? AKeyValues.GetElement(VarArrayLowBound(AKeyValues, 1) + static_cast<Integer>(i))
                                   : AKeyValues);
  }
  TOwned<TqvDataControllerKeyLocateObject> locate = MakeOwned<TqvDataControllerKeyLocateObject>(this);
  locate->GetFields() = fields;
  locate->ReadData(&reader);
  return locate->FindRecordIndex();
}

Integer TqvDBDataController::LocateRecordIndex(
    const std::function<void(std::vector<TqvCustomDataField*>&)>& AGetKeyFields) {
  TOwned<TqvDataControllerKeyLocateObject> locate = MakeOwned<TqvDataControllerKeyLocateObject>(this);
  AGetKeyFields(locate->GetFields());
  TqvValueDefDBReader reader;
  locate->ReadData(&reader);
  return locate->FindRecordIndex();
}

bool TqvDBDataController::LocateByKey(const Variant& AKeyValues) {
  Integer record = FindRecordIndexByKey(AKeyValues);
  if (record == -1 && IsGridMode()) {
    TDataSet* dataSet = GetDataSet();
    if (!dataSet) return false;
    TAliveToken alive = AliveToken();
    bool found;
    {
      TqvLocateScope locate(this);
      found = dataSet->Locate(FKeyFieldNames, AKeyValues, 0);
    }
    if (found && alive) SetFocusedRowSelected(true);
    return found;
  }
  Integer row = record == -1 ? -1 : GetRowIndexByRecordIndex(record, true);
  ChangeFocusedRowIndex(row);
  return row != -1;
}

void TqvDBDataController::BeginLocate() { GetDBProvider()->BeginCursorMove(); }

void TqvDBDataController::EndLocate() { GetDBProvider()->EndCursorMove(); }

void TqvDBDataController::ReloadRecord(Integer ARecordIndex) {
  TqvValueDefDBReader reader;
  GetStorage()->ReadRecord(ARecordIndex, &reader, true);
  RecordLoaded(ARecordIndex);
  if (!GetDBProvider()->GetInEditRecord()) Change(dccUpdateRecord);
}

void TqvDBDataController::UpdateEditingRecord() {
  TqvDBDataProvider* provider = GetDBProvider();
  Integer edited = provider->GetEditingRecordIndex();
  if (edited == qvNoEditedRecordIndex) return;
  provider->SetTrackedRecord(edited, provider->IsInserting());
  ReloadRecord(edited);
}
