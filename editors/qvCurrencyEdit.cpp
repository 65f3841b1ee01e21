// The currency editor: display and edit texts, the typed-character check, validation of the
// committed text, the value with its bounds, paste, and the locale's format changes.
#include "editors/qvCurrencyEdit.h"

#include <algorithm>

#include "core/qvVariants.h"
#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCurrencyEditPropertiesValues)
QJ_IMPLEMENT_CLASS(TqvCustomCurrencyEditProperties)
QJ_IMPLEMENT_CLASS(TqvCurrencyEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomCurrencyEdit)
QJ_IMPLEMENT_CLASS(TqvCurrencyEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryCurrencyItem)

namespace {

const TqvEditKindRegistration CurrencyEditRegistration(&TqvCurrencyEditProperties::StaticClass(),
                                                       &sqvEditDisplayTextCurrencyEdit);

// The value as a number; false when it has none (a text that is no number, an object ...).
bool TryValueToNumber(const Variant& AValue, double& ANumber) {
  try {
    ANumber = AValue.AsDouble();
    return true;
  } catch (const std::exception& E) {
    if (!IsVariantConversionError(E) && !dynamic_cast<const EConvertError*>(&E)) throw;
    return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCurrencyEditPropertiesValues

void TqvCurrencyEditPropertiesValues::Assign(TPersistent* Source) {
  if (auto* source = As<TqvCurrencyEditPropertiesValues>(Source)) FDisplayFormat = source->FDisplayFormat;
  inherited::Assign(Source);
}

void TqvCurrencyEditPropertiesValues::RestoreDefaults() {
  inherited::RestoreDefaults();
  FDisplayFormat = false;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCurrencyEditProperties

TqvCustomCurrencyEditProperties::TqvCustomCurrencyEditProperties(TPersistent* AOwner)
    : TqvCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
  GetFormatController()->AddListener(this);
}

TqvCustomCurrencyEditProperties::~TqvCustomCurrencyEditProperties() { GetFormatController()->RemoveListener(this); }

TqvCustomEditPropertiesValuesClass TqvCustomCurrencyEditProperties::PropertiesValuesClass() {
  return &TqvCurrencyEditPropertiesValues::StaticClass();
}

TqvCustomEditClass TqvCustomCurrencyEditProperties::ContainerClass() { return &TqvCurrencyEdit::StaticClass(); }

void TqvCustomCurrencyEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomCurrencyEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetDecimalPlaces(source->FDecimalPlaces);
  if (source->IsDisplayFormatStored())
    SetDisplayFormat(source->FDisplayFormat);
  else
    ResetDisplayFormat();
  SetNullable(source->FNullable);
  SetNullString(source->FNullString);
  SetUseThousandSeparator(source->FUseThousandSeparator);
}

void TqvCustomCurrencyEditProperties::SetDecimalPlaces(Integer Value) { SetValue(FDecimalPlaces, Value); }
void TqvCustomCurrencyEditProperties::SetNullable(bool Value) { SetValue(FNullable, Value); }
void TqvCustomCurrencyEditProperties::SetNullString(const String& Value) { SetValue(FNullString, Value); }
void TqvCustomCurrencyEditProperties::SetUseThousandSeparator(bool Value) { SetValue(FUseThousandSeparator, Value); }

String TqvCustomCurrencyEditProperties::GetDisplayFormat() {
  if (IsDisplayFormatStored()) return FDisplayFormat;
  if (IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider()) {
    const String format = provider->DefaultDisplayFormat();
    if (!format.empty()) return format;
  }
  return GetFormatController()->CurrencyFormat;
}

void TqvCustomCurrencyEditProperties::SetDisplayFormat(const String& Value) {
  GetAssignedValues()->SetDisplayFormat(true);
  FDisplayFormat = Value;
  Changed();
}

void TqvCustomCurrencyEditProperties::ResetDisplayFormat() {
  if (!IsDisplayFormatStored()) return;
  GetAssignedValues()->SetDisplayFormat(false);
  FDisplayFormat.clear();
  Changed();
}

TqvEditValueSource TqvCustomCurrencyEditProperties::GetEditValueSource(bool AEditFocused) const {
  return IsDisplayFormatDefined(AEditFocused) ? evsText
                                                                                                    : evsValue;
}

void TqvCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                          bool AEditFocused) {
  if (VarIsSoftNull(AEditValue)) {
    ADisplayValue = AEditFocused ? String() : FNullable ? FNullString : String("0");
    return;
  }
  double value = 0;
  if (!TryValueToNumber(AEditValue, value)) {
    // A value that is no amount (a column over text data) shows as it is, never raising.
    ADisplayValue = AEditFocused ? Variant(String()) : Variant(VarToStr(AEditValue));
    return;
  }
  if (AEditFocused) {
    ADisplayValue = FloatToStr(value);
    return;
  }
  const String format = GetDisplayFormat();
  ADisplayValue = format.empty() ? FloatToStr(value) : FormatFloat(format, value);
}

void TqvCustomCurrencyEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                           TObject* AEdit) {
  const String text = VarToStr(ADisplayValue);
  double value = 0;
  AError = !text.empty() && text != FNullString && !qvTextToNumber(text, value);
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TqvCustomCurrencyEditProperties::IsValidTypedChar(const String& AText, Integer ASelStart, Integer ASelLength,
                                                       char AKey) const {
  TqvNumberTypingRules rules;
  rules.MaxDecimals = FDecimalPlaces;
  rules.ThousandSeparator = FUseThousandSeparator;
  return qvIsTypedNumberValid(AText, ASelStart, ASelLength, AKey, rules);
}

void TqvCustomCurrencyEditProperties::FormatChanged() {
  TValueScope changing(FFormatChanging, true);
  TUpdateScope update(this);
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCurrencyEdit

TqvCustomCurrencyEdit::TqvCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace)
    : TqvCustomTextEdit(AOwner, AIsInplace) {
  GetFormatController()->AddListener(this);
}

TqvCustomCurrencyEdit::~TqvCustomCurrencyEdit() { GetFormatController()->RemoveListener(this); }

TqvCustomEditPropertiesClass TqvCustomCurrencyEdit::PropertiesClass() {
  return &TqvCustomCurrencyEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvCurrencyEdit::PropertiesClass() { return &TqvCurrencyEditProperties::StaticClass(); }

double TqvCustomCurrencyEdit::GetValue() {
  const Variant value = GetEditValue();
  double number = 0;
  if (VarIsNull(value) || VarIsEmpty(value) || !TryValueToNumber(value, number)) return 0;
  return number;
}

void TqvCustomCurrencyEdit::SetValue(double Value) {
  TqvCustomCurrencyEditProperties* properties = GetProperties();
  const double minValue = properties->GetMinValue(), maxValue = properties->GetMaxValue();
  if (minValue != maxValue) Value = std::clamp(Value, minValue, maxValue);
  SetEditValue(Value);
}

void TqvCustomCurrencyEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TqvCustomCurrencyEditProperties* properties = GetProperties();
  const String text = VarToStr(ADisplayValue);
  double value = 0;
  if (!text.empty() && text != properties->GetNullString() && qvTextToNumber(text, value))
    AEditValue = value;
  else if (properties->GetNullable())
    AEditValue = Null();
  else
    AEditValue = Currency{};
}

void TqvCustomCurrencyEdit::PasteFromClipboard() {
  if (!DoEditing()) return;
  const String oldText = InternalGetText();
  TAliveToken alive = AliveToken();
  inherited::PasteFromClipboard();
  if (!alive) return;
  double value = 0;
  if (TryStrToFloat(InternalGetText(), value)) return;
  InternalSetText(oldText);
  if (alive) SelectAll();
}

void TqvCustomCurrencyEdit::PropertiesChanged(TObject* Sender) {
  if (GetProperties()->IsFormatChanging()) return;
  TAliveToken alive = AliveToken();
  if (!IsEditFocused()) GetDataBinding()->UpdateDisplayValue();
  if (alive) inherited::PropertiesChanged(Sender);
}

void TqvCustomCurrencyEdit::FormatChanged() { SynchronizeDisplayValue(); }

bool TqvCustomCurrencyEdit::IsValidChar(char AChar) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return false;
  return GetProperties()->IsValidTypedChar(InternalGetText(), inner->GetSelStart(), inner->GetSelLength(), AChar);
}

void TqvCustomCurrencyEdit::DoEditKeyPress(char& Key) {
  const TFormatSettings& fs = FormatSettings();
  const bool thousand = GetProperties()->GetUseThousandSeparator() && Key == fs.ThousandSeparator;
  if ((Key == '.' || Key == ',') && !thousand) Key = fs.DecimalSeparator;
  if (static_cast<unsigned char>(Key) > 31 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  inherited::DoEditKeyPress(Key);
}
