// Text edit properties: settings, assigned values, the conversions between edit value, display
// value and display text, and validation.
#include "core/qvVariants.h"
#include "editors/qvTextEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

const TResourceString sqvEditValueOutOfBounds{62010, "Value out of bounds"};

QJ_IMPLEMENT_CLASS(TqvTextEditPropertiesValues)
QJ_IMPLEMENT_CLASS(TqvCustomTextEditProperties)
QJ_IMPLEMENT_CLASS(TqvTextEditProperties)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryTextItem)

String ApplyCharCase(const String& S, TEditCharCase ACharCase) {
  if (ACharCase == ecNormal) return S;
  String result = S;
  for (char& c : result) {
    if (ACharCase == ecUpperCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (ACharCase == ecLowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// TqvTextEditPropertiesValues

void TqvTextEditPropertiesValues::Assign(TPersistent* Source) {
  if (auto* source = As<TqvTextEditPropertiesValues>(Source)) {
    FMaxLength = source->FMaxLength;
    FMaxValue = source->FMaxValue;
    FMinValue = source->FMinValue;
  }
  inherited::Assign(Source);
}

void TqvTextEditPropertiesValues::RestoreDefaults() {
  inherited::RestoreDefaults();
  FMaxLength = FMaxValue = FMinValue = false;
}

// ---------------------------------------------------------------------------------------------
// Construction and class-level operations

TqvCustomTextEditProperties::TqvCustomTextEditProperties(TPersistent* AOwner) : TqvCustomEditProperties(AOwner) {
  FLookupItems = MakeOwned<TStringList>();
  FLookupItems->OnChange = [this](TObject* Sender) { LookupItemsChanged(Sender); };
}

TqvCustomTextEditProperties::~TqvCustomTextEditProperties() {
  if (FLookupItems) FLookupItems->OnChange = nullptr;
}

TqvCustomEditPropertiesValuesClass TqvCustomTextEditProperties::PropertiesValuesClass() {
  return &TqvTextEditPropertiesValues::StaticClass();
}

TqvCustomEditViewDataClass TqvCustomTextEditProperties::ViewDataClass() {
  return &TqvCustomTextEditViewData::StaticClass();
}

TqvCustomEditViewInfoClass TqvCustomTextEditProperties::ViewInfoClass() {
  return &TqvCustomTextEditViewInfo::StaticClass();
}

TqvCustomTextEditLookupDataClass TqvCustomTextEditProperties::LookupDataClass() {
  return &TqvCustomTextEditLookupData::StaticClass();
}

void TqvCustomTextEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomTextEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetCharCase(source->FCharCase);
  SetEchoMode(source->FEchoMode);
  SetIncrementalSearch(source->FIncrementalSearch);
  SetHideCursor(source->FHideCursor);
  SetHideSelection(source->FHideSelection);
  // The copy always has MaxLength assigned, with the source's effective value.
  SetMaxLength(source->GetMaxLength());
  FValidChars = source->FValidChars;
  GetAssignedValues()->SetMaxValue(false);
  if (source->GetAssignedValues()->GetMaxValue()) SetMaxValue(source->FMaxValue);
  GetAssignedValues()->SetMinValue(false);
  if (source->GetAssignedValues()->GetMinValue()) SetMinValue(source->FMinValue);
  SetOEMConvert(source->FOEMConvert);
  FImmediateUpdateText = source->FImmediateUpdateText;
  SetLookupItemsSorted(false);
  FLookupItems->Assign(source->FLookupItems.get());
  SetLookupItemsSorted(source->GetLookupItemsSorted());
  OnNewLookupDisplayText = source->OnNewLookupDisplayText;
}

// ---------------------------------------------------------------------------------------------
// Settings

void TqvCustomTextEditProperties::SetCharCase(TEditCharCase Value) { SetValue(FCharCase, Value); }
void TqvCustomTextEditProperties::SetEchoMode(TqvEditEchoMode Value) { SetValue(FEchoMode, Value); }
void TqvCustomTextEditProperties::SetHideCursor(bool Value) { SetValue(FHideCursor, Value); }
void TqvCustomTextEditProperties::SetHideSelection(bool Value) { SetValue(FHideSelection, Value); }
void TqvCustomTextEditProperties::SetOEMConvert(bool Value) { SetValue(FOEMConvert, Value); }

void TqvCustomTextEditProperties::SetIncrementalSearch(bool Value) {
  if (FIncrementalSearch == Value) return;
  FIncrementalSearch = Value;
  if (GetEditingStyle() == esFixedList) Changed();
}

bool TqvCustomTextEditProperties::GetLookupItemsSorted() const { return FLookupItems->GetSorted(); }

void TqvCustomTextEditProperties::SetLookupItemsSorted(bool Value) { FLookupItems->SetSorted(Value); }

void TqvCustomTextEditProperties::SetMaxLength(Integer Value) {
  if (Value < 0) Value = 0;
  if (GetAssignedValues()->GetMaxLength() && FMaxLength == Value) return;
  GetAssignedValues()->SetMaxLength(true);
  FMaxLength = Value;
  Changed();
}

Integer TqvCustomTextEditProperties::GetMaxLength() {
  return GetAssignedValues()->GetMaxLength() ? FMaxLength : GetDefaultMaxLength();
}

Integer TqvCustomTextEditProperties::GetDefaultMaxLength() {
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider ? provider->DefaultMaxLength() : 0;
}

double TqvCustomTextEditProperties::GetMaxValue() {
  if (GetAssignedValues()->GetMaxValue()) return FMaxValue;
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider ? provider->DefaultMaxValue() : 0.0;
}

double TqvCustomTextEditProperties::GetMinValue() {
  if (GetAssignedValues()->GetMinValue()) return FMinValue;
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider ? provider->DefaultMinValue() : 0.0;
}

void TqvCustomTextEditProperties::SetMaxValue(double Value) {
  TqvTextEditPropertiesValues* assigned = GetAssignedValues();
  if (assigned->GetMinValue() && Value < FMinValue) Value = FMinValue;
  if (assigned->GetMaxValue() && FMaxValue == Value) return;
  assigned->SetMaxValue(true);
  FMaxValue = Value;
  Changed();
}

void TqvCustomTextEditProperties::SetMinValue(double Value) {
  TqvTextEditPropertiesValues* assigned = GetAssignedValues();
  if (assigned->GetMaxValue() && Value > FMaxValue) Value = FMaxValue;
  if (assigned->GetMinValue() && FMinValue == Value) return;
  assigned->SetMinValue(true);
  FMinValue = Value;
  Changed();
}

void TqvCustomTextEditProperties::LookupItemsChanged(TObject*) { Changed(); }

// One Changed for the alignment and everything it triggers.
void TqvCustomTextEditProperties::AlignmentChanged(TObject* Sender) {
  TUpdateScope update(this);
  inherited::AlignmentChanged(Sender);
}

void TqvCustomTextEditProperties::SetAlignment(TqvEditAlignment* Value) {
  TUpdateScope update(this);
  inherited::SetAlignment(Value);
}

TqvEditSupportedOperations TqvCustomTextEditProperties::GetSupportedOperations() const {
  TqvEditSupportedOperations result = esoAutoHeight | esoFiltering | esoHorzAlignment | esoIncSearch | esoSorting;
  if (GetButtons()->GetCount() > 0) result |= esoButtons;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Values and texts

void TqvCustomTextEditProperties::DoNewLookupDisplayText(TObject* Sender, const TCaption& AText) {
  if (OnNewLookupDisplayText) OnNewLookupDisplayText(Sender, AText);
}

bool TqvCustomTextEditProperties::FindLookupText(const String& AText) {
  const String text = AnsiUpperCase(AText);
  for (Integer i = 0; i < FLookupItems->GetCount(); ++i)
    if (AnsiUpperCase(FLookupItems->Get(i)) == text) return true;
  return false;
}

bool TqvCustomTextEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (VarIsNull(AEditValue) || !VarIsStr(AEditValue)) return true;
  return IsDisplayValueValid(AEditValue, AEditFocused);
}

bool TqvCustomTextEditProperties::IsDisplayValueValid(Variant& ADisplayValue, bool) {
  const String text = VarToStr(ADisplayValue);
  const TqvEditEditingStyle style = GetEditingStyle();
  bool result = true;
  if (!text.empty() && (style == esEditList || style == esFixedList) && UseLookupData())
    result = FindLookupText(text);
  if (result) ADisplayValue = ApplyCharCase(text, FCharCase);
  return result;
}

void TqvCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = VarToStr(AEditValue);
}

void TqvCustomTextEditProperties::EditValueToDisplayValue(const Variant& AEditValue, bool AEditFocused,
                                                          Variant& ADisplayValue) {
  Variant value = AEditValue;
  if (IsEditValueValid(value, AEditFocused))
    PrepareDisplayValue(value, ADisplayValue, AEditFocused);
  else if (VarIsDateEx(AEditValue))
    ADisplayValue = DateTimeToStr(VarToDateTime(AEditValue));
  else
    ADisplayValue = VarToStr(AEditValue);
}

String TqvCustomTextEditProperties::DisplayValueToDisplayText(const Variant& ADisplayValue) {
  String text = VarToStr(ADisplayValue);
  if (FEchoMode == eemPassword) text.assign(text.size(), '*');
  return ApplyCharCase(text, FCharCase);
}

String TqvCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant displayValue;
  EditValueToDisplayValue(AEditValue, false, displayValue);
  return DisplayValueToDisplayText(displayValue);
}

// ---------------------------------------------------------------------------------------------
// Validation

void TqvCustomTextEditProperties::GetValidateErrorText(TqvEditErrorKind AErrorKind, TCaption& AText) {
  if (AErrorKind == ekValueOutOfBounds)
    AText = GetLocalizedResourceString(&sqvEditValueOutOfBounds);
  else
    inherited::GetValidateErrorText(AErrorKind, AText);
}

void TqvCustomTextEditProperties::CheckValueBounds(const Variant& ADisplayValue, TCaption& AErrorText, TObject* AEdit,
                                                   bool& AError) {
  auto* edit = As<TqvCustomEdit>(AEdit);
  if (!edit) return;
  Variant editValue;
  edit->DisplayToEditValue(ADisplayValue, editValue, edit->IsEditFocused());
  if (!VarIsNumericEx(editValue) && !VarIsDateEx(editValue)) return;
  double value = 0;
  try {
    value = VarIsDateEx(editValue) ? VarToDateTime(editValue) : editValue.AsDouble();
  } catch (const Exception&) {
    return;  // a value without a number is never out of bounds
  }
  if (value < GetMinValue() || value > GetMaxValue()) {
    AError = true;
    GetValidateErrorText(ekValueOutOfBounds, AErrorText);
  }
}

void TqvCustomTextEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TObject* AEdit) {
  if (SupportsValueBounds() && GetMinValue() != GetMaxValue()) CheckValueBounds(ADisplayValue, AErrorText, AEdit, AError);
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}
