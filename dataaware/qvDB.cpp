#include "dataaware/qvDB.h"

#include "core/qvClasses.h"
#include "core/qvFilter.h"
#include "core/qvVariants.h"
#include "platform/data/DBFields.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"

QJ_IMPLEMENT_CLASS(TqvDBAdapterItem)
QJ_IMPLEMENT_CLASS(TqvDBAdapterList)
QJ_IMPLEMENT_CLASS(TqvDBProviderDetailFilterAdapter)

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool IsIdentifier(const String& AName) {
  if (AName.empty() || !IsIdentStart(AName[0])) return false;
  for (char c : AName)
    if (!IsIdentChar(c)) return false;
  return true;
}

template <class TProc>
void ForEachFieldName(const String& AFieldNames, const TProc& AProc) {
  Integer pos = 1;
  while (pos <= Length(AFieldNames)) AProc(ExtractNextListItem(AFieldNames, pos));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Field name lists and key values

bool IsMultipleFieldNames(const String& AFieldNames) {
  size_t separator = AFieldNames.find(';');
  return separator != String::npos && separator + 1 < AFieldNames.size();
}

Integer GetFieldNameCount(const String& AFieldNames) {
  Integer count = 0;
  ForEachFieldName(AFieldNames, [&](const String&) { ++count; });
  return count;
}

void SplitFieldNames(const String& AFieldNames, TStrings* AList) {
  AList->Clear();
  ForEachFieldName(AFieldNames, [&](const String& AName) { AList->Add(AName); });
}

TqvDBFieldList GetDataSetFields(TDataSet* ADataSet, const String& AFieldNames) {
  TList list;
  ADataSet->GetFieldList(&list, AFieldNames);
  TqvDBFieldList fields;
  for (Integer i = 0; i < list.GetCount(); ++i) fields.push_back(static_cast<TField*>(list.Get(i)));
  return fields;
}

Variant GetFieldValues(const TqvDBFieldList& AFields) {
  if (AFields.empty()) return Null();
  if (AFields.size() == 1) return AFields[0]->GetValue();
  Variant values = VarArrayCreate(0, static_cast<Integer>(AFields.size()) - 1, varVariant);
  for (size_t i = 0; i < AFields.size(); ++i) values.SetElement(static_cast<Integer>(i), AFields[i]->GetValue());
  return values;
}

void SetFieldValues(const TqvDBFieldList& AFields, const Variant& AValues) {
  if (AFields.empty()) return;
  if (AFields.size() == 1) return AFields[0]->SetValue(AValues);
  for (size_t i = 0; i < AFields.size(); ++i) AFields[i]->SetValue(AValues.GetElement(static_cast<Integer>(i)));
}

// ---------------------------------------------------------------------------------------------
// Field names in filter expressions

void QuoteFieldName(String& AName) {
  if (IsIdentifier(AName)) return;
  String quoted = "[";
  for (char c : AName) {
    quoted += c;
    if (c == ']') quoted += ']';
  }
  AName = quoted + "]";
}

String GetFilterFieldName(const TField* AField, bool AIgnoreOrigin) {
  if (!AField) return String();
  if (!AIgnoreOrigin && !AField->GetOrigin().empty()) return AField->GetOrigin();
  String name = AField->GetFieldName();
  QuoteFieldName(name);
  return name;
}

bool SameTextUpper(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

// ---------------------------------------------------------------------------------------------
// What a field allows and shows

bool IsNonScalarFieldType(TFieldType AType) {
  return AType == ftBytes || AType == ftVarBytes || (AType >= ftBlob && AType <= ftCursor) ||
         (AType >= ftADT && AType <= ftDataSet);
}

bool CanModifyField(const TField* AField, bool AAnyKind) {
  if (!AField->GetCanModify()) return false;
  if (AAnyKind) return true;
  if (IsNonScalarFieldType(AField->GetDataType())) return static_cast<bool>(AField->OnSetText);
  return true;
}

namespace {

bool HasDisplayFormat(const TField* AField) {
  if (auto* f = As<TDateTimeField>(AField)) return !f->GetDisplayFormat().empty();
  if (auto* f = As<TSQLTimeStampField>(AField)) return !f->GetDisplayFormat().empty();
  if (auto* f = As<TAggregateField>(AField)) return !f->GetDisplayFormat().empty();
  if (auto* f = As<TNumericField>(AField)) return !f->GetDisplayFormat().empty();
  return false;
}

bool IsCurrencyField(const TField* AField) {
  if (auto* f = As<TFloatField>(AField)) return f->GetCurrency();
  if (auto* f = As<TBCDField>(AField)) return f->GetCurrency();
  if (auto* f = As<TFMTBCDField>(AField)) return f->GetCurrency();
  return false;
}

}  // namespace

bool FieldNeedsDisplayText(const TField* AField, bool AForBinary) {
  if (AField->OnGetText || !AField->GetEditMask().empty()) return true;
  if (IsNonScalarFieldType(AField->GetDataType())) return AForBinary;
  if (As<TBooleanField>(AField)) return AForBinary;
  if (auto* numeric = As<TNumericField>(AField))
    return !numeric->GetDisplayFormat().empty() || !numeric->GetEditFormat().empty() || IsCurrencyField(AField);
  if (As<TDateTimeField>(AField) || As<TSQLTimeStampField>(AField)) return HasDisplayFormat(AField);
  if (auto* aggregate = As<TAggregateField>(AField)) return HasDisplayFormat(AField) || aggregate->GetCurrency();
  return false;
}

bool GetFieldsCanModify(const TField* AField) {
  TDataSet* dataSet = AField->GetDataSet();
  if (!dataSet) return false;
  TqvDBFieldList keys = GetDataSetFields(dataSet, AField->GetKeyFields());
  if (keys.empty()) return false;
  for (TField* key : keys)
    if (!key->GetCanModify()) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvDBAdapterList

TqvDBAdapterList::~TqvDBAdapterList() { Clear(); }

void TqvDBAdapterList::Clear() {
  std::vector<TqvDBAdapterItem*> items;
  items.swap(FAdapterItems);
  for (TqvDBAdapterItem* item : items) Free(item);
}

TqvDBAdapterItem* TqvDBAdapterList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FAdapterItems[AIndex];
}

bool TqvDBAdapterList::FindAdapter(TClass ADataSetClass, Integer& AIndex) const {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TClass registered = FAdapterItems[i]->GetDataSetClass();
    if (ADataSetClass->InheritsFrom(registered)) {
      AIndex = i;
      return true;
    }
    if (registered->InheritsFrom(ADataSetClass)) AIndex = i;
  }
  return false;
}

void TqvDBAdapterList::RegisterAdapter(TClass ADataSetClass, TqvDBAdapterItemClass AAdapterClass) {
  TOwned<TqvDBAdapterItem> adapter(AAdapterClass->Create(ADataSetClass));
  Integer index = -1;
  if (FindAdapter(ADataSetClass, index))
    ++index;
  else if (index == -1)
    index = GetCount();
  FAdapterItems.insert(FAdapterItems.begin() + index, adapter.release());
}

void TqvDBAdapterList::UnregisterAdapter(TClass ADataSetClass, TqvDBAdapterItemClass AAdapterClass) {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TqvDBAdapterItem* item = FAdapterItems[i];
    if (item->GetDataSetClass() != ADataSetClass || item->ClassType() != AAdapterClass) continue;
    FAdapterItems.erase(FAdapterItems.begin() + i);
    Free(item);
  }
}

TqvDBAdapterItem* TqvDBAdapterList::FindAdapterFor(const TDataSet* ADataSet) const {
  if (!ADataSet) return nullptr;
  Integer index = -1;
  return FindAdapter(ADataSet->ClassType(), index) ? FAdapterItems[index] : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TqvDBProviderDetailFilterAdapter

bool TqvDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* ADataSet, const String& AParamNames,
                                                      const Variant& AValues) {
  TParams* params = ADataSet->GetParams();
  return params && ADataSet->GetActive() && VarEquals(params->GetParamValues(AParamNames), AValues);
}

void TqvDBProviderDetailFilterAdapter::ReopenSQL(TDataSet* ADataSet, const String& AParamNames,
                                                 const Variant& AValues, bool& AReopened) {
  TParams* params = ADataSet->GetParams();
  if (!params) return;
  if (IsCurrentQuery(ADataSet, AParamNames, AValues)) {
    ADataSet->First();
    return;
  }
  TqvControlsDisabledScope disabled(ADataSet);
  ADataSet->SetActive(false);
  params->SetParamValues(AParamNames, AValues);
  ADataSet->SetActive(true);
  AReopened = true;
}

void TqvDBProviderDetailFilterAdapter::SelectDetail(TDataSet* ADataSet, const String& AKeyFieldNames,
                                                    const Variant& AValues, bool ASQLMode, bool& AReopened) {
  if (ASQLMode)
    ReopenSQL(ADataSet, AKeyFieldNames, AValues, AReopened);
  else
    ADataSet->Locate(AKeyFieldNames, AValues, 0);
}

TqvDBAdapterList* DBDetailFilterAdapters() {
  static TOwned<TqvDBAdapterList> adapters = [] {
    auto list = MakeOwned<TqvDBAdapterList>();
    list->RegisterAdapter(&TDataSet::StaticClass(), &TqvDBProviderDetailFilterAdapter::StaticClass());
    return list;
  }();
  return adapters.get();
}
