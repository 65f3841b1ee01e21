#include <algorithm>

#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/data/DBFields.h"
#include "platform/data/DBFilter.h"
#include "platform/data/DBStorage.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(EDatabaseError)
QJ_IMPLEMENT_CLASS(TDataSet)

bool IsEditState(TDataSetState AState) { return AState == dsEdit || AState == dsInsert || AState == dsSetKey; }

void DatabaseError(const String& Message, TComponent* Component) {
  if (Component && !Component->GetName().empty()) throw EDatabaseError(Component->GetName() + ": " + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(PResStringRec Res, TFormatArgs Args, TComponent* Component) {
  DatabaseError(Format(LoadResString(Res), Args), Component);
}

String ExtractFieldName(const String& AFields, Integer& APos) {
  Integer i = APos;
  while (i <= Length(AFields) && AFields[static_cast<size_t>(i - 1)] != ';') ++i;
  String result = Trim(Copy(AFields, APos, i - APos));
  if (i <= Length(AFields)) ++i;
  APos = i;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Life cycle

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  // Freed without BeforeDestruction: let go of the others without calling out.
  for (TDataSource* source : FDataSources) source->FDataSet = nullptr;
  for (TField* field : FFields) {
    field->FDataSet = nullptr;
    field->FColumn = -1;
  }
}

void TDataSet::BeforeDestruction() {
  inherited::BeforeDestruction();
  TAliveToken alive = AliveToken();
  Close();
  while (alive && !FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  while (!FFields.empty()) RemoveField(FFields.back());
}

void TDataSet::CheckActive() const {
  if (!GetActive()) DatabaseErrorFmt(&SDataSetClosed, {}, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
  if (GetActive()) DatabaseErrorFmt(&SDataSetOpen, {}, const_cast<TDataSet*>(this));
}

bool TDataSet::GetCanModify() const { return GetActive() && FStorage->CanModify(); }

bool TDataSet::IsEmpty() const { return FBuffers.empty(); }

void TDataSet::SetActive(bool Value) {
  if (Value == GetActive()) return;
  if (Value)
    DoOpen();
  else
    DoClose();
}

void TDataSet::DoOpen() {
  std::unique_ptr<TDataSetStorage> storage = CreateStorage();
  std::vector<TFieldDef> defs;
  storage->Open(defs);
  for (size_t i = 0; i < defs.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (AnsiSameText(defs[i].Name, defs[j].Name)) DatabaseErrorFmt(&SDuplicateFieldName, {defs[i].Name}, this);
  FStorage = std::move(storage);
  FFieldDefs = std::move(defs);
  try {
    if (FFields.empty())
      CreateFields();
    else
      BindFields();
    if (FFiltered && FFilterExpression)
      FStorage->SetFilter(FFilterExpression.get(), (FFilterOptions & foCaseInsensitive) != 0);
    FIds.Reset(FStorage.get());
    PlaceWindow(0, 0);
  } catch (...) {
    UnbindFields();
    DestroyDefaultFields();
    FIds.Clear();
    FBuffers.clear();
    FFieldDefs.clear();
    FStorage.reset();
    throw;
  }
  FBof = true;
  FEof = FBuffers.empty();
  SetState(dsBrowse);
}

void TDataSet::DoClose() {
  TAliveToken alive = AliveToken();
  SetState(dsInactive);
  if (!alive) return;
  FIds.Clear();
  FBuffers.clear();
  FAhead.clear();
  FIncoming.clear();
  FSpareRows.clear();
  FEditOriginal = TRecordBuffer();
  FAssigned.clear();
  FReloadPending = false;
  FStorage.reset();
  FFieldDefs.clear();
  UnbindFields();
  DestroyDefaultFields();
  FWindowStart = 0;
  FActiveRecord = 0;
  FBof = FEof = true;
}

void TDataSet::SetState(TDataSetState AState) {
  if (AState == FState) return;
  FState = AState;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

// ---------------------------------------------------------------------------------------------
// Fields

void TDataSet::CreateFields() {
  for (size_t i = 0; i < FFieldDefs.size(); ++i) {
    const TFieldDef& def = FFieldDefs[i];
    TField* field = static_cast<TField*>(DefaultFieldClass(def.DataType)->Create(this));
    field->FFieldName = def.Name;
    field->SetDataType(def.DataType);
    field->FSize = def.Size;
    field->FRequired = def.Required;
    if (auto* bcd = As<TBCDField>(field); bcd && def.Precision > 0) bcd->SetPrecision(def.Precision);
    if (auto* fmt = As<TFMTBCDField>(field); fmt && def.Precision > 0) fmt->SetPrecision(def.Precision);
    field->FColumn = static_cast<Integer>(i);
    AddField(field);
  }
  FDefaultFields = true;
}

void TDataSet::BindFields() {
  for (TField* field : FFields) {
    if (field->GetFieldKind() == fkAggregate) continue;  // no column: its value is Null
    if (field->GetFieldKind() == fkLookup) {
      if (!field->GetLookupDataSet() || field->GetKeyFields().empty() || field->GetLookupKeyFields().empty() ||
          field->GetLookupResultField().empty())
        DatabaseErrorFmt(&SLookupInfoError, {field->GetDisplayName()}, this);
      TList keys;  // the key fields must exist here
      GetFieldList(&keys, field->GetKeyFields());
      continue;
    }
    auto def = std::find_if(FFieldDefs.begin(), FFieldDefs.end(),
                            [&](const TFieldDef& d) { return AnsiSameText(d.Name, field->GetFieldName()); });
    if (def == FFieldDefs.end()) DatabaseErrorFmt(&SFieldNotFound, {field->GetFieldName()}, this);
    field->FColumn = static_cast<Integer>(def - FFieldDefs.begin());
  }
}

void TDataSet::UnbindFields() {
  for (TField* field : FFields) field->FColumn = -1;
}

void TDataSet::DestroyDefaultFields() {
  if (!FDefaultFields) return;
  FDefaultFields = false;
  std::vector<TField*> fields;
  fields.swap(FFields);
  for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
    (*it)->FDataSet = nullptr;
    Free(*it);
  }
}

void TDataSet::AddField(TField* AField) {
  FFields.push_back(AField);
  AField->FDataSet = this;
}

void TDataSet::RemoveField(TField* AField) {
  auto it = std::find(FFields.begin(), FFields.end(), AField);
  if (it != FFields.end()) FFields.erase(it);
  AField->FDataSet = nullptr;
  AField->FColumn = -1;
}

void TDataSet::CheckFieldName(const String& AName, const TField* AField) const {
  if (AName.empty()) return;
  TField* other = FindField(AName);
  if (other && other != AField) DatabaseErrorFmt(&SDuplicateFieldName, {AName}, const_cast<TDataSet*>(this));
}

TField* TDataSet::GetField(Integer Index) const {
  if (Index < 0 || Index >= GetFieldCount()) TList::Error(&SListIndexError, Index);
  return FFields[static_cast<size_t>(Index)];
}

TField* TDataSet::FindField(const String& AFieldName) const {
  for (TField* field : FFields)
    if (AnsiSameText(field->GetFieldName(), AFieldName)) return field;
  return nullptr;
}

TField* TDataSet::FieldByName(const String& AFieldName) const {
  TField* field = FindField(AFieldName);
  if (!field) DatabaseErrorFmt(&SFieldNotFound, {AFieldName}, const_cast<TDataSet*>(this));
  return field;
}

void TDataSet::GetFieldList(TList* AList, const String& AFieldNames) const {
  Integer pos = 1;
  while (pos <= Length(AFieldNames)) AList->Add(FieldByName(ExtractFieldName(AFieldNames, pos)));
}

Variant TDataSet::GetFieldValues(const String& AFieldNames) const {
  TList fields;
  GetFieldList(&fields, AFieldNames);
  if (fields.GetCount() == 1) return static_cast<TField*>(fields[0])->GetValue();
  Variant values = VarArrayCreate(0, fields.GetCount() - 1, varVariant);
  for (Integer i = 0; i < fields.GetCount(); ++i) values.SetElement(i, static_cast<TField*>(fields[i])->GetValue());
  return values;
}

void TDataSet::SetFieldValues(const String& AFieldNames, const Variant& Value) {
  TList fields;
  GetFieldList(&fields, AFieldNames);
  if (fields.GetCount() == 1) {
    static_cast<TField*>(fields[0])->SetValue(Value);
    return;
  }
  if (!VarIsArray(Value) || Value.ArrayHighBound() - Value.ArrayLowBound() + 1 != fields.GetCount())
    DatabaseErrorFmt(&SFieldValueCount, {AFieldNames, fields.GetCount()}, this);
  for (Integer i = 0; i < fields.GetCount(); ++i)
    static_cast<TField*>(fields[i])->SetValue(Value.GetElement(Value.ArrayLowBound() + i));
}

bool TDataSet::IsLinkedTo(const TDataSource* ASource) const {
  std::vector<const TDataSet*> visited;
  for (const TDataSet* dataSet = this; dataSet;) {
    if (std::find(visited.begin(), visited.end(), dataSet) != visited.end()) return false;
    visited.push_back(dataSet);
    TDataSource* master = dataSet->GetDataSource();
    if (!master) return false;
    if (master == ASource) return true;
    dataSet = master->GetDataSet();
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Events to links

void TDataSet::DataEvent(TDataEvent Event, NativeInt Info) {
  if (FDisableCount > 0) {
    if (Event == deLayoutChange || (Event == deUpdateState && FState == dsInactive)) FEnableEvent = deLayoutChange;
    return;
  }
  TAliveToken alive = AliveToken();
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* source : sources) {
    if (std::find(FDataSources.begin(), FDataSources.end(), source) == FDataSources.end()) continue;
    source->DataEvent(Event, Info);
    if (!alive) return;
    if (Event == deFocusControl && !*reinterpret_cast<TField**>(Info)) return;
  }
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0 || --FDisableCount > 0) return;
  TAliveToken alive = AliveToken();
  DataEvent(deDisabledStateChange, 0);
  if (!alive) return;
  if (FDisableState != FState) {
    DataEvent(deUpdateState, 0);
    if (!alive) return;
  }
  if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::AddDataSource(TDataSource* ASource) {
  FDataSources.push_back(ASource);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* ASource) {
  auto it = std::find(FDataSources.begin(), FDataSources.end(), ASource);
  if (it != FDataSources.end()) FDataSources.erase(it);
  UpdateBufferCount();
}

void TDataSet::UpdateBufferCount() {
  Integer count = 1;
  for (TDataSource* source : FDataSources) count = std::max(count, source->MaxLinkBufferCount());
  if (count == FBufferCount) return;
  FBufferCount = count;
  // A new record has no place among the records yet; the window follows at Post or Cancel.
  if (!GetActive() || FState == dsInsert || FBuffers.empty()) return;
  Integer oldStart = FWindowStart;
  PlaceWindow(FWindowStart + FActiveRecord, std::min(FActiveRecord, FBufferCount - 1));
  Integer shift = FWindowStart - oldStart;
  for (TDataSource* source : FDataSources)
    for (TDataLink* link : source->FDataLinks)
      if (link->FActive) link->FFirstRecord = link->ClampWindow(link->FFirstRecord - shift);
}

// ---------------------------------------------------------------------------------------------
// Filter

void TDataSet::SetFilter(const String& Value) {
  std::unique_ptr<TFilterNode> expression = ParseFilterExpression(Value);
  if (GetActive() && FFiltered) Refilter(expression.get(), (FFilterOptions & foCaseInsensitive) != 0);
  FFilterExpression = std::move(expression);
  FFilterText = Value;
}

void TDataSet::SetFiltered(bool Value) {
  if (Value == FFiltered) return;
  if (GetActive()) Refilter(Value ? FFilterExpression.get() : nullptr, (FFilterOptions & foCaseInsensitive) != 0);
  FFiltered = Value;
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
  if (Value == FFilterOptions) return;
  if (GetActive() && FFiltered) Refilter(FFilterExpression.get(), (Value & foCaseInsensitive) != 0);
  FFilterOptions = Value;
}

void TDataSet::Refilter(const TFilterNode* AFilter, bool ACaseInsensitive) {
  CheckBrowseMode();
  const TFilterNode* oldFilter = FFiltered ? FFilterExpression.get() : nullptr;
  FStorage->SetFilter(AFilter, ACaseInsensitive);
  try {
    ReloadRecords();
  } catch (...) {
    FStorage->SetFilter(oldFilter, (FFilterOptions & foCaseInsensitive) != 0);
    throw;
  }
}
