#include "platform/data/DBFields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/data/DBConsts.h"
#include "platform/data/DBStorage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TStringField)
QJ_IMPLEMENT_CLASS(TWideStringField)
QJ_IMPLEMENT_CLASS(TNumericField)
QJ_IMPLEMENT_CLASS(TIntegerField)
QJ_IMPLEMENT_CLASS(TSmallintField)
QJ_IMPLEMENT_CLASS(TWordField)
QJ_IMPLEMENT_CLASS(TAutoIncField)
QJ_IMPLEMENT_CLASS(TLargeintField)
QJ_IMPLEMENT_CLASS(TFloatField)
QJ_IMPLEMENT_CLASS(TCurrencyField)
QJ_IMPLEMENT_CLASS(TBCDField)
QJ_IMPLEMENT_CLASS(TFMTBCDField)
QJ_IMPLEMENT_CLASS(TBooleanField)
QJ_IMPLEMENT_CLASS(TDateTimeField)
QJ_IMPLEMENT_CLASS(TDateField)
QJ_IMPLEMENT_CLASS(TTimeField)
QJ_IMPLEMENT_CLASS(TSQLTimeStampField)
QJ_IMPLEMENT_CLASS(TAggregateField)
QJ_IMPLEMENT_CLASS(TBlobField)
QJ_IMPLEMENT_CLASS(TMemoField)
QJ_IMPLEMENT_CLASS(TGraphicField)

namespace {

// Text of a date and time the way DateTimeToStr, DateToStr or TimeToStr gives it for the type.
String DateTimeText(TDateTime AValue, TFieldType AType, const String& AFormat) {
  if (!AFormat.empty()) return FormatDateTime(AFormat, AValue);
  switch (AType) {
    case ftDate:
      return DateToStr(AValue);
    case ftTime:
      return TimeToStr(AValue);
    default:
      return DateTimeToStr(AValue);
  }
}

bool IsSignOrDigit(char c) { return c == '+' || c == '-' || IsDigitChar(c); }

[[noreturn]] void RangeError(const TField* AField, const String& AValue, const String& AMin, const String& AMax) {
  throw EDatabaseError(&SFieldRangeError, {AValue, AField->GetDisplayName(), AMin, AMax});
}

TDateTime DateTimeValue(const Variant& AValue, TFieldType AType) {
  if (!VarIsStr(AValue)) return VarToDateTime(AValue);
  String text = Trim(VarToStr(AValue));
  TDateTime result = 0;
  if (TryISOToDateTime(text, result)) return result;
  switch (AType) {
    case ftDate:
      return StrToDate(text);
    case ftTime:
      return StrToTime(text);
    default:
      return StrToDateTime(text);
  }
}

// Reads up to ACount digits at APos; false when there are none.
bool ReadDigits(const String& AText, size_t& APos, size_t ACount, Integer& AValue) {
  size_t start = APos;
  AValue = 0;
  while (APos < AText.size() && APos - start < ACount && AText[APos] >= '0' && AText[APos] <= '9')
    AValue = AValue * 10 + (AText[APos++] - '0');
  return APos - start == ACount;
}

bool ReadISOTime(const String& AText, size_t& APos, TDateTime& ATime) {
  Integer hour = 0, minute = 0, second = 0, msec = 0;
  if (!ReadDigits(AText, APos, 2, hour) || APos >= AText.size() || AText[APos++] != ':' ||
      !ReadDigits(AText, APos, 2, minute))
    return false;
  if (APos < AText.size() && AText[APos] == ':') {
    ++APos;
    if (!ReadDigits(AText, APos, 2, second)) return false;
    if (APos < AText.size() && AText[APos] == '.') {
      ++APos;
      size_t start = APos;
      Integer fraction = 0;
      ReadDigits(AText, APos, 3, fraction);
      size_t digits = APos - start;
      if (digits == 0) return false;
      while (digits++ < 3) fraction *= 10;
      msec = fraction;
      while (APos < AText.size() && AText[APos] >= '0' && AText[APos] <= '9') ++APos;
    }
  }
  return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(minute), static_cast<Word>(second),
                       static_cast<Word>(msec), ATime);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Values shared by fields and storages

bool IsTextFieldType(TFieldType AType) {
  return AType == ftString || AType == ftFixedChar || AType == ftWideString || AType == ftMemo ||
         AType == ftFmtMemo;
}

bool TryISOToDateTime(const String& AText, TDateTime& AValue) {
  size_t pos = 0;
  TDateTime date = 0, time = 0;
  bool hasDate = AText.size() >= 10 && AText[4] == '-';
  if (hasDate) {
    Integer year = 0, month = 0, day = 0;
    if (!ReadDigits(AText, pos, 4, year) || AText[pos++] != '-' || !ReadDigits(AText, pos, 2, month) ||
        pos >= AText.size() || AText[pos++] != '-' || !ReadDigits(AText, pos, 2, day) ||
        !TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), date))
      return false;
    if (pos == AText.size()) {
      AValue = date;
      return true;
    }
    if (AText[pos] != ' ' && AText[pos] != 'T') return false;
    ++pos;
  }
  if (!ReadISOTime(AText, pos, time) || pos != AText.size()) return false;
  AValue = hasDate ? ComposeDateTime(date, time) : time;
  return true;
}

String DateTimeToISO(TDateTime AValue, TFieldType AType) {
  Word year, month, day, hour, minute, second, msec;
  DecodeDateTime(AValue, year, month, day, hour, minute, second, msec);
  char date[32], time[32];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u", year, month, day);
  if (msec)
    std::snprintf(time, sizeof time, "%02u:%02u:%02u.%03u", hour, minute, second, msec);
  else
    std::snprintf(time, sizeof time, "%02u:%02u:%02u", hour, minute, second);
  if (AType == ftDate) return date;
  if (AType == ftTime) return time;
  return String(date) + " " + time;
}

// A float a column can hold: the engine would store NaN as NULL.
double StorableFloat(const Variant& AValue) {
  double value = AValue.AsDouble();
  if (std::isnan(value)) throw EConvertError(&SNotANumber);
  return value;
}

Variant CoerceToFieldType(const Variant& AValue, TFieldType AType) {
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) return Variant::Null();
  switch (AType) {
    case ftString:
    case ftFixedChar:
    case ftMemo:
    case ftFmtMemo:
    case ftBlob:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
      return VarToStr(AValue);
    case ftWideString:
      return VarToWideStr(AValue);
    case ftSmallint:
      return VarAsType(AValue, varSmallint);
    case ftInteger:
    case ftAutoInc:
      return VarAsType(AValue, varInteger);
    case ftWord:
      return VarAsType(AValue, varWord);
    case ftLargeint:
      return VarAsType(AValue, varInt64);
    case ftBoolean:
      return AValue.AsBoolean();
    case ftFloat:
    case ftCurrency:
    case ftFMTBcd:
      return StorableFloat(AValue);
    case ftBCD:
      return AValue.AsCurrency();
    case ftDate:
      return Variant::FromDateTime(DateOf(DateTimeValue(AValue, AType)));
    case ftTime:
      return Variant::FromDateTime(TimeOf(DateTimeValue(AValue, AType)));
    case ftDateTime:
    case ftTimeStamp:
      return Variant::FromDateTime(DateTimeValue(AValue, AType));
    default:
      return AValue;
  }
}

TFieldClass DefaultFieldClass(TFieldType AType) {
  switch (AType) {
    case ftString:
    case ftFixedChar:
      return &TStringField::StaticClass();
    case ftWideString:
      return &TWideStringField::StaticClass();
    case ftSmallint:
      return &TSmallintField::StaticClass();
    case ftInteger:
      return &TIntegerField::StaticClass();
    case ftWord:
      return &TWordField::StaticClass();
    case ftAutoInc:
      return &TAutoIncField::StaticClass();
    case ftLargeint:
      return &TLargeintField::StaticClass();
    case ftBoolean:
      return &TBooleanField::StaticClass();
    case ftFloat:
      return &TFloatField::StaticClass();
    case ftCurrency:
      return &TCurrencyField::StaticClass();
    case ftBCD:
      return &TBCDField::StaticClass();
    case ftFMTBcd:
      return &TFMTBCDField::StaticClass();
    case ftDate:
      return &TDateField::StaticClass();
    case ftTime:
      return &TTimeField::StaticClass();
    case ftDateTime:
      return &TDateTimeField::StaticClass();
    case ftTimeStamp:
      return &TSQLTimeStampField::StaticClass();
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
      return &TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
      return &TMemoField::StaticClass();
    case ftGraphic:
      return &TGraphicField::StaticClass();
    default:
      return &TField::StaticClass();
  }
}

// ---------------------------------------------------------------------------------------------
// Text

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftString); }

Integer TStringField::GetDefaultWidth() const { return GetSize() > 0 ? GetSize() : 20; }

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataType(ftWideString); }

// ---------------------------------------------------------------------------------------------
// Numbers

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged();
}

bool TNumericField::IsValidChar(char AChar) const { return IsSignOrDigit(AChar); }

String TNumericField::ValueText(const Variant& AValue, bool ADisplayText) const {
  const String& format = ADisplayText ? FDisplayFormat : FEditFormat;
  if (!format.empty()) return FormatFloat(format, AValue.AsDouble());
  return PlainText(AValue, ADisplayText);
}

String TNumericField::PlainText(const Variant& AValue, bool) const { return VarToStr(AValue); }

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftInteger); }

void TIntegerField::CheckRange(const Variant& AValue) const {
  if (FMinValue == 0 && FMaxValue == 0) return;
  Int64 value = AValue.AsInt64();
  if (value < FMinValue || value > FMaxValue)
    RangeError(this, IntToStr(value), IntToStr(FMinValue), IntToStr(FMaxValue));
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftSmallint); }
TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftWord); }
TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }
TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLargeint); }

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

void TFloatField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged();
}

void TFloatField::SetPrecision(Integer Value) {
  Value = std::max(2, std::min(Value, 15));
  if (Value == FPrecision) return;
  FPrecision = Value;
  PropertyChanged();
}

bool TFloatField::IsValidChar(char AChar) const {
  return IsSignOrDigit(AChar) || AChar == FormatSettings().DecimalSeparator || AChar == 'E' || AChar == 'e';
}

String TFloatField::PlainText(const Variant& AValue, bool ADisplayText) const {
  if (ADisplayText && FCurrency)
    return FloatToStrF(AValue.AsDouble(), TFloatFormat::ffCurrency, FPrecision, FormatSettings().CurrencyDecimals);
  return FloatToStrF(AValue.AsDouble(), TFloatFormat::ffGeneral, FPrecision, 0);
}

void TFloatField::CheckRange(const Variant& AValue) const {
  if (FMinValue == 0 && FMaxValue == 0) return;
  double value = AValue.AsDouble();
  if (value < FMinValue || value > FMaxValue)
    RangeError(this, FloatToStr(value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftBCD); }

void TBCDField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged();
}

bool TBCDField::IsValidChar(char AChar) const {
  return IsSignOrDigit(AChar) || AChar == FormatSettings().DecimalSeparator;
}

String TBCDField::PlainText(const Variant& AValue, bool ADisplayText) const {
  if (ADisplayText && FCurrency)
    return CurrToStrF(AValue.AsCurrency(), TFloatFormat::ffCurrency, FormatSettings().CurrencyDecimals);
  return CurrToStr(AValue.AsCurrency());
}

void TBCDField::CheckRange(const Variant& AValue) const {
  if (FMinValue == Currency() && FMaxValue == Currency()) return;
  Currency value = AValue.AsCurrency();
  if (value < FMinValue || value > FMaxValue)
    RangeError(this, CurrToStr(value), CurrToStr(FMinValue), CurrToStr(FMaxValue));
}

TFMTBCDField::TFMTBCDField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFMTBcd); }

void TFMTBCDField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged();
}

bool TFMTBCDField::IsValidChar(char AChar) const {
  return IsSignOrDigit(AChar) || AChar == FormatSettings().DecimalSeparator;
}

String TFMTBCDField::PlainText(const Variant& AValue, bool ADisplayText) const {
  if (ADisplayText && FCurrency)
    return FloatToStrF(AValue.AsDouble(), TFloatFormat::ffCurrency, 15, FormatSettings().CurrencyDecimals);
  return FloatToStrF(AValue.AsDouble(), TFloatFormat::ffGeneral, 15, 0);
}

// ---------------------------------------------------------------------------------------------
// Booleans, dates, blobs

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

String TBooleanField::ValueText(const Variant& AValue, bool) const { return AValue.AsBoolean() ? "True" : "False"; }

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

void TDateTimeField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged();
}

String TDateTimeField::ValueText(const Variant& AValue, bool ADisplayText) const {
  return DateTimeText(VarToDateTime(AValue), GetDataType(), ADisplayText ? FDisplayFormat : String());
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }
TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

TSQLTimeStampField::TSQLTimeStampField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftTimeStamp); }

void TSQLTimeStampField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged();
}

String TSQLTimeStampField::ValueText(const Variant& AValue, bool ADisplayText) const {
  return DateTimeText(VarToDateTime(AValue), ftDateTime, ADisplayText ? FDisplayFormat : String());
}

TAggregateField::TAggregateField(TComponent* AOwner) : TField(AOwner) {
  SetFieldKind(fkAggregate);
  SetAlignment(taRightJustify);
}

void TAggregateField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged();
}

void TAggregateField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged();
}

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

String TBlobField::ValueText(const Variant& AValue, bool ADisplayText) const {
  if (!ADisplayText && GetDataType() == ftMemo) return VarToStr(AValue);
  switch (GetDataType()) {
    case ftMemo:
      return "(MEMO)";
    case ftGraphic:
      return "(GRAPHIC)";
    default:
      return "(BLOB)";
  }
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }
TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }
