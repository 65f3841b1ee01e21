// The time editor: formats and masks (the 12-hour masks follow the locale's a.m./p.m. texts),
// display and edit values on a kept date part, the caret part and its steps, typed characters by
// part, and the keys of the a.m./p.m. part.
#include "editors/qvTimeEdit.h"

#include <cmath>

#include "editors/qvExtEditUtils.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomTimeEditProperties)
QJ_IMPLEMENT_CLASS(TqvTimeEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomTimeEdit)
QJ_IMPLEMENT_CLASS(TqvTimeEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryTimeItem)

const TResourceString sqvTimeEditConvertError{62721, "Could not convert to time"};

namespace {

const TqvEditKindRegistration TimeEditRegistration(&TqvTimeEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextTimeEdit);

constexpr double kHour = 1.0 / 24, kMinute = 1.0 / 1440, kSecond = 1.0 / 86400;

// Characters of the time digits of a time format: "hh:nn:ss", "hh:nn", "hh".
Integer DigitsOf(TqvTimeEditTimeFormat AFormat) { return 8 - 3 * Integer(AFormat); }

// The mask part after the time digits for a time in "hh:mm:ss AMPM": a blank stays a blank,
// any other character is an optional character; trailing blanks go.
String AmPmMaskSuffix(double ATime) {
  const String text = FormatDateTime("hh:mm:ss AMPM", ATime);
  String suffix;
  for (size_t i = 8; i < text.size(); ++i) suffix += text[i] == ' ' ? ' ' : 'c';
  return TrimRight(suffix);
}

// The date and time of a text, or false.
bool TryTextToTime(const String& AText, double& AValue) {
  TDateTime value = 0;
  if (TryStrToDateTime(AText, value) || TryStrToTime(AText, value)) {
    AValue = value;
    return true;
  }
  return false;
}

// A text of the mask that holds no digit yet (blank positions and separators only).
bool IsBlankTimeText(const String& AText) {
  return AText.find_first_not_of(" :") == String::npos;
}

// The number of a value that is a date or a number.
bool TryValueToTime(const Variant& AValue, double& ATime) {
  if (VarIsStr(AValue)) return TryTextToTime(VarToStr(AValue), ATime);
  if (!VarIsNumeric(AValue) && VarType(AValue) != varDate) return false;
  try {
    ATime = VarType(AValue) == varDate ? double(VarToDateTime(AValue)) : AValue.AsDouble();
  } catch (const std::exception&) {
    return false;
  }
  return std::isfinite(ATime);
}

}  // namespace

String qvTimeEditDisplayFormat(TqvTimeEditTimeFormat AFormat, bool AUse24Hour) {
  static const char* const formats[] = {"hh:nn:ss", "hh:nn", "hh"};
  String format = formats[AFormat];
  if (!AUse24Hour) format += " ampm";
  return format;
}

String qvTimeEditMask(TqvTimeEditTimeFormat AFormat, bool AUse24Hour) {
  const String digits = String("00:00:00").substr(0, size_t(DigitsOf(AFormat)));
  if (AUse24Hour) return digits + ";1;0";
  // Sized by the longer of the two texts, so that neither is cut.
  String suffix = AmPmMaskSuffix(0.5);
  const String am = AmPmMaskSuffix(0);
  if (am.size() > suffix.size()) suffix = am;
  return digits + suffix + ";1;0";
}

// ---------------------------------------------------------------------------------------------
// TqvCustomTimeEditProperties

TqvCustomTimeEditProperties::TqvCustomTimeEditProperties(TPersistent* AOwner) : TqvCustomSpinEditProperties(AOwner) {}

void TqvCustomTimeEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  TUpdateScope update(this);
  SetValueType(vtFloat);
  SetMaskKind(emkStandard);
  ApplyEditMask();
  SetIgnoreMaskBlank(true);
  SetShowBlanksAndLiteralsAlways(true);
  SetMaxValue(EncodeTime(23, 59, 59, 0));
  SetMinValue(0);
  GetFormatController()->AddListener(this);
}

TqvCustomTimeEditProperties::~TqvCustomTimeEditProperties() { GetFormatController()->RemoveListener(this); }

TqvCustomEditClass TqvCustomTimeEditProperties::ContainerClass() { return &TqvTimeEdit::StaticClass(); }

void TqvCustomTimeEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomTimeEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetShowDate(source->FShowDate);
  SetTimeFormat(source->FTimeFormat);
  SetUse24HourFormat(source->FUse24HourFormat);
}

void TqvCustomTimeEditProperties::ApplyEditMask() { SetEditMask(qvTimeEditMask(FTimeFormat, FUse24HourFormat)); }

void TqvCustomTimeEditProperties::SetTimeFormat(TqvTimeEditTimeFormat Value) {
  if (FTimeFormat == Value) return;
  FTimeFormat = Value;
  ApplyEditMask();
  Changed();
}

void TqvCustomTimeEditProperties::SetUse24HourFormat(bool Value) {
  if (FUse24HourFormat == Value) return;
  FUse24HourFormat = Value;
  ApplyEditMask();
  Changed();
}

void TqvCustomTimeEditProperties::SetShowDate(bool Value) {
  if (FShowDate == Value) return;
  FShowDate = Value;
  Changed();
}

void TqvCustomTimeEditProperties::FormatChanged() {
  TUpdateScope update(this);
  ApplyEditMask();
}

TqvEditDisplayFormatOptions TqvCustomTimeEditProperties::GetDisplayFormatOptions() const {
  return dfoUseProviderFormat | dfoProviderFormatNotEditing;
}

TqvEditValueSource TqvCustomTimeEditProperties::GetEditValueSource(bool AEditFocused) const {
  return IsDisplayFormatDefined(AEditFocused) ? evsText : evsValue;
}

String TqvCustomTimeEditProperties::FormatTime(double ATime) const {
  return TrimRight(FormatDateTime(GetDisplayFormat(), ATime));
}

Variant TqvCustomTimeEditProperties::GetDefaultDisplayValue() { return FormatTime(0); }

void TqvCustomTimeEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (IsVarNullOrEmpty(AEditValue)) {
    ADisplayValue = AEditFocused ? FormatTime(0) : String();
    return;
  }
  double value = 0;
  if (!TryValueToTime(AEditValue, value)) {
    // A value that is no time is never shown as some other time (such as the current one).
    if (AEditFocused)
      ADisplayValue = FormatTime(0);
    else
      ADisplayValue = VarIsStr(AEditValue) ? VarToStr(AEditValue) : String();
    return;
  }
  if (AEditFocused) {
    ADisplayValue = FormatTime(value);
    return;
  }
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  String text;
  if (provider && provider->IsDataAware())
    text = FShowDate ? DateTimeToStr(value) : TimeToStr(value);
  else if (FShowDate && std::trunc(value) != 0)
    text = DateTimeToStr(value);
  else
    text = FormatDateTime(GetDisplayFormat(), value);
  ADisplayValue = TrimRight(text);
}

bool TqvCustomTimeEditProperties::IsDisplayValueValid(Variant& ADisplayValue, bool) {
  const String text = VarToStr(ADisplayValue);
  if (IsBlankTimeText(text)) return true;
  double value = 0;
  if (!TryTextToTime(text, value)) return false;
  ADisplayValue = FormatTime(value);
  return true;
}

bool TqvCustomTimeEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (VarIsNull(AEditValue) || VarIsNumeric(AEditValue) || VarType(AEditValue) == varDate) return true;
  if (!VarIsStr(AEditValue)) return false;
  Variant text = AEditValue;
  return IsDisplayValueValid(text, AEditFocused);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomTimeEdit

TqvCustomTimeEdit::TqvCustomTimeEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomSpinEdit(AOwner, AIsInplace) {}

TqvCustomEditPropertiesClass TqvCustomTimeEdit::PropertiesClass() {
  return &TqvCustomTimeEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvTimeEdit::PropertiesClass() { return &TqvTimeEditProperties::StaticClass(); }

Integer TqvCustomTimeEdit::TimeDigits() const { return DigitsOf(GetProperties()->GetTimeFormat()); }

double TqvCustomTimeEdit::GetTime() {
  Variant value;
  if (IsEditFocused())
    DisplayToEditValue(InternalGetText(), value, true);
  else
    value = GetEditValue();
  double time = 0;
  if (!TryValueToTime(value, time)) return 0;
  return std::fabs(time - std::trunc(time));
}

void TqvCustomTimeEdit::SetTime(double Value) {
  const double time = std::fabs(Value - std::trunc(Value));
  const double value = FDatePart < 0 ? FDatePart - time : FDatePart + time;
  SetEditValue(VarFromDateTime(value));
}

void TqvCustomTimeEdit::SetValue(const Variant& Value) {
  double time = 0;
  if (TryValueToTime(Value, time)) SetTime(time);
}

char TqvCustomTimeEdit::GetCaretPart() {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  Integer e = inner ? inner->GetSelStart() + inner->GetSelLength() : 0;
  const Integer maxLength = GetProperties()->GetMaxLength();
  if (maxLength > 0) e = std::min(e, maxLength);
  if (e > TimeDigits()) return 'A';
  const String format = UpperCase(GetProperties()->GetDisplayFormat());
  auto letter = [&](Integer APosition) -> char {
    if (APosition < 1 || APosition > Integer(format.size())) return 0;
    const char c = format[size_t(APosition - 1)];
    return c == 'H' || c == 'N' || c == 'S' ? c : 0;
  };
  if (char c = letter(e)) return c;
  if (char c = letter(e - 1)) return c;
  return 'H';
}

double TqvCustomTimeEdit::GetStepSize(TqvSpinEditStepKind AKind) {
  const double time = GetTime();
  const char part = GetCaretPart();
  if (part == 'A') return time < 0.5 ? 0.5 : -0.5;
  const bool fast = AKind == skFastDown || AKind == skFastUp;
  double step = part == 'H' ? kHour : part == 'N' ? kMinute : kSecond;
  if (fast && part != 'H') step *= 10;
  const bool up = AKind == skUp || AKind == skFastUp;
  TqvCustomTimeEditProperties* properties = GetProperties();
  const double minValue = properties->GetMinValue(), maxValue = properties->GetMaxValue();
  if (minValue != maxValue) {
    // Landing on a bound by a step must give the bound itself, not a time a rounding error off.
    const String text = InternalGetText();
    if (!up && text == properties->FormatTime(minValue + step)) return minValue - time;
    if (up && text == properties->FormatTime(maxValue - step)) return maxValue - time;
  }
  return up ? step : -step;
}

bool TqvCustomTimeEdit::DoStep(TqvSpinEditStepKind AKind) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (HandleAllocated() && inner) {
    const String text = InternalGetText();
    const Integer digits = TimeDigits();
    if (GetCaretPart() == 'A') {
      const size_t first = text.find_first_not_of(' ', size_t(digits));
      if (first != String::npos) {
        SetSelStart(Integer(first));
        SetSelLength(Integer(text.size() - first));
      }
    } else {
      const Integer e = inner->GetSelStart() + inner->GetSelLength();
      const Integer position = e < 3 ? 1 : e < 6 ? 4 : 7;
      SetSelStart(std::min(position, digits - 1));
      SetSelLength(1);
    }
  }
  return inherited::DoStep(AKind);
}

void TqvCustomTimeEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TqvCustomTimeEditProperties* properties = GetProperties();
  const String display = VarToStr(ADisplayValue);
  const size_t digits = size_t(TimeDigits());
  String text = properties->GetUse24HourFormat() ? display : display.substr(0, digits);
  if (text.size() == 2) text += ":00";
  if (!properties->GetUse24HourFormat() && display.size() > digits) text += display.substr(digits);
  double time = 0;
  if (IsBlankTimeText(text) || !TryTextToTime(text, time)) time = 0;
  time = std::fabs(time - std::trunc(time));
  const double value = FDatePart < 0 ? FDatePart - time : FDatePart + time;
  if (value != 0)
    AEditValue = VarFromDateTime(value);
  else
    AEditValue = 0.0;
}

void TqvCustomTimeEdit::InternalSetEditValue(const Variant& Value, bool AValidate) {
  Variant value = Value;
  double number = 0;
  if (VarIsNull(value) || (AValidate && !GetProperties()->IsEditValueValid(value, IsEditFocused())))
    FDatePart = 0;
  else if (TryValueToTime(value, number))
    FDatePart = std::trunc(number);
  else
    FDatePart = 0;
  inherited::InternalSetEditValue(Value, AValidate);
}

String TqvCustomTimeEdit::InternalGetText() {
  String text;
  GetDisplayValue(text);
  return text;
}

void TqvCustomTimeEdit::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  if (!IsEditFocused() && GetDataBinding()) GetDataBinding()->UpdateDisplayValue();
  if (!alive) return;
  if (!IsInnerEditUnavailable()) SetSelStart(Integer(InternalGetText().size()));
  if (alive) inherited::PropertiesChanged(Sender);
}

void TqvCustomTimeEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if ((Key == VK_BACK || Key == VK_DELETE) && GetCaretPart() == 'A') {
    if (Key == VK_DELETE) {
      DoAfterKeyDown(Key, Shift);
      Key = 0;
      return;
    }
    IqvInnerTextEdit* inner = GetInnerTextEdit();
    const String text = InternalGetText();
    const size_t first = text.find_first_not_of(' ', size_t(TimeDigits()));
    // Backspace moves out of the a.m./p.m. text rather than erasing part of it.
    if (inner && (first == String::npos || inner->GetSelStart() != Integer(first))) {
      Key = VK_LEFT;
      FSwallowBackspace = true;
    }
  }
  inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomTimeEdit::DoEditKeyPress(char& Key) {
  if (Key == '\b' && FSwallowBackspace) {
    FSwallowBackspace = false;
    Key = 0;
    return;
  }
  FSwallowBackspace = false;
  const auto c = static_cast<unsigned char>(Key);
  if (c > 31 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  // The masked editor's handling: the spin editor's decimal separators have no place here.
  TqvCustomMaskEdit::DoEditKeyPress(Key);
}

bool TqvCustomTimeEdit::IsValidChar(char AChar) {
  const auto c = static_cast<unsigned char>(AChar);
  if (c < 32 || AChar == '.') return true;
  const char part = GetCaretPart();
  if (part == 'A') return false;
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  const Integer caret = inner ? inner->GetSelStart() : 0;
  const String text = InternalGetText();
  if (part == 'H') {
    if (!IsDigitChar(AChar)) return false;
    String hours = text.substr(0, 2);
    while (hours.size() < 2) hours += '0';
    if (caret < 2) hours[size_t(caret)] = AChar;
    if (!IsDigitChar(hours[0]) || !IsDigitChar(hours[1])) return true;  // the mask decides
    const Integer hour = (hours[0] - '0') * 10 + (hours[1] - '0');
    return GetProperties()->GetUse24HourFormat() ? hour <= 23 : hour >= 1 && hour <= 12;
  }
  if ((part == 'N' && caret == 3) || (part == 'S' && caret == 6)) return AChar >= '0' && AChar <= '5';
  return true;
}
