// Variant conversions: one rule per (source family, target type), text through the locale.
#include <cfloat>
#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variants.h"
#include "platform/rtl/VariantsPrivate.h"

namespace {

// Dates the platform can represent: 0100-01-01 up to the end of 9999-12-31.
constexpr double KMinVariantDate = -657434.0;
constexpr double KMaxDateExclusive = 2958466.0;
constexpr double KTwoPow63 = 9223372036854775808.0;

bool FitsOrdinal(Int64 value, TVarType type) {
  switch (type) {
    case varShortInt: return value >= -128 && value <= 127;
    case varByte: return value >= 0 && value <= 255;
    case varSmallint: return value >= -32768 && value <= 32767;
    case varWord: return value >= 0 && value <= 65535;
    case varInteger: return value >= -2147483648LL && value <= 2147483647LL;
    case varLongWord: return value >= 0 && value <= 4294967295LL;
    default: return true;
  }
}

Int64 CheckedOrdinal(Int64 value, TVarType from, TVarType to) {
  if (!FitsOrdinal(value, to)) VarOverflowError(from, to);
  return value;
}

// Rounds halves to even, as the platform's float-to-integer conversions do.
Int64 RoundedOrdinal(double d, TVarType from, TVarType to) {
  double r = std::nearbyint(d);
  if (!(r >= -KTwoPow63 && r < KTwoPow63)) VarOverflowError(from, to);
  return CheckedOrdinal(static_cast<Int64>(r), from, to);
}

// Whole units of a currency amount, halves to even.
Int64 CurrencyUnits(Int64 raw) {
  Int64 q = raw / KCurrencyScale;
  Int64 r = raw % KCurrencyScale;
  Int64 absR = r < 0 ? -r : r;
  if (absR > KCurrencyScale / 2 || (absR == KCurrencyScale / 2 && (q % 2) != 0))
    q += raw < 0 ? -1 : 1;
  return q;
}

// A Boolean True is all bits set: -1 for signed targets, the maximum for unsigned ones.
Int64 BooleanOrdinal(bool b, TVarType to) {
  if (!b) return 0;
  switch (to) {
    case varByte: return 0xFF;
    case varWord: return 0xFFFF;
    case varLongWord: return 0xFFFFFFFFLL;
    default: return -1;
  }
}

Int64 TextToOrdinal(const Variant& v, TVarType to) {
  String s = VarToAnsiText(v);
  Int64 i = 0;
  if (TextToInt64(s, i)) return CheckedOrdinal(i, v.VarType(), to);
  double d = 0;
  if (TextToDouble(s, d)) return RoundedOrdinal(d, v.VarType(), to);
  VarCastError(v.VarType(), to);
}

double CheckedSingle(double d, TVarType from) {
  if (std::isfinite(d) && std::fabs(d) > FLT_MAX) VarOverflowError(from, varSingle);
  return static_cast<double>(static_cast<float>(d));
}

double CheckedDate(double d, TVarType from) {
  if (!(d >= KMinVariantDate && d < KMaxDateExclusive)) VarOverflowError(from, varDate);
  return d;
}

double TextToFloat(const Variant& v, TVarType to) {
  String s = VarToAnsiText(v);
  double d = 0;
  bool ok = to == varDate ? TextToDate(s, d) : TextToDouble(s, d);
  if (!ok) VarCastError(v.VarType(), to);
  return d;
}

Int64 CurrencyFromDouble(double d, TVarType from) {
  if (!(std::fabs(d) * KCurrencyScale < KTwoPow63)) VarOverflowError(from, varCurrency);
  return Currency::FromDouble(d).Value;
}

Int64 TextToCurrencyRaw(const Variant& v) {
  String s = Trim(VarToAnsiText(v));
  Currency c;
  if (TryStrToCurr(s, c)) return c.Value;
  double d = 0;
  if (TextToDouble(s, d)) return CurrencyFromDouble(d, v.VarType());
  VarCastError(v.VarType(), varCurrency);
}

String FloatText(const Variant& v) {
  double d = TVarAccess::Dbl(v);
  // A Single shows the digits it holds, not the noise of its widening to double.
  if (TVarAccess::Stored(v) == varSingle) return FloatToStrF(d, TFloatFormat::ffGeneral, 7, 0);
  return FloatToStr(d);
}

Variant NullAsType(TVarType type) {
  if (type == varNull) return Variant::Null();
  if (type == varEmpty) return Variant();
  VarCastError(varNull, type);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Text

bool TextToInt64(const String& s, Int64& value) { return TryStrToInt64(Trim(s), value); }

bool TextToDouble(const String& s, double& value) {
  double d = 0;
  if (!TryStrToFloat(Trim(s), d) || !std::isfinite(d)) return false;
  value = d;
  return true;
}

bool TextToBoolean(const String& s, bool& value) {
  String t = Trim(s);
  if (AnsiSameText(t, "True")) {
    value = true;
    return true;
  }
  if (AnsiSameText(t, "False")) {
    value = false;
    return true;
  }
  double d = 0;
  if (!TextToDouble(t, d)) return false;
  value = d != 0;
  return true;
}

// A time alone reads as a time on day 0.
bool TextToDate(const String& s, TDateTime& value) { return TryStrToDateTime(Trim(s), value); }

// ---------------------------------------------------------------------------------------------
// The conversion rules

Int64 VarToOrdinal(const Variant& v, TVarType target) {
  TVarType from = v.VarType();
  switch (VarClassOf(v)) {
    case TVarClass::Empty: return 0;
    case TVarClass::Ordinal: return CheckedOrdinal(TVarAccess::Int(v), from, target);
    case TVarClass::Boolean: return BooleanOrdinal(TVarAccess::Int(v) != 0, target);
    case TVarClass::Float:
    case TVarClass::Date: return RoundedOrdinal(TVarAccess::Dbl(v), from, target);
    case TVarClass::Currency: return CheckedOrdinal(CurrencyUnits(TVarAccess::Int(v)), from, target);
    case TVarClass::Text: return TextToOrdinal(v, target);
    default: VarCastError(from, target);
  }
}

double VarToFloat(const Variant& v, TVarType target) {
  TVarType from = v.VarType();
  double d = 0;
  switch (VarClassOf(v)) {
    case TVarClass::Empty: break;
    case TVarClass::Ordinal: d = static_cast<double>(TVarAccess::Int(v)); break;
    case TVarClass::Boolean: d = TVarAccess::Int(v) ? -1.0 : 0.0; break;
    case TVarClass::Float:
    case TVarClass::Date: d = TVarAccess::Dbl(v); break;
    case TVarClass::Currency: d = static_cast<double>(TVarAccess::Int(v)) / KCurrencyScale; break;
    case TVarClass::Text: d = TextToFloat(v, target); break;
    default: VarCastError(from, target);
  }
  if (target == varSingle) return CheckedSingle(d, from);
  if (target == varDate) return CheckedDate(d, from);
  return d;
}

Int64 VarToCurrencyRaw(const Variant& v) {
  TVarType from = v.VarType();
  switch (VarClassOf(v)) {
    case TVarClass::Empty: return 0;
    case TVarClass::Ordinal: {
      Int64 i = TVarAccess::Int(v);
      Int64 raw = 0;
      if (__builtin_mul_overflow(i, KCurrencyScale, &raw)) VarOverflowError(from, varCurrency);
      return raw;
    }
    case TVarClass::Boolean: return TVarAccess::Int(v) ? -KCurrencyScale : 0;
    case TVarClass::Float:
    case TVarClass::Date: return CurrencyFromDouble(TVarAccess::Dbl(v), from);
    case TVarClass::Currency: return TVarAccess::Int(v);
    case TVarClass::Text: return TextToCurrencyRaw(v);
    default: VarCastError(from, varCurrency);
  }
}

bool VarToBoolean(const Variant& v) {
  switch (VarClassOf(v)) {
    case TVarClass::Empty: return false;
    case TVarClass::Ordinal:
    case TVarClass::Boolean:
    case TVarClass::Currency: return TVarAccess::Int(v) != 0;
    case TVarClass::Float:
    case TVarClass::Date: return TVarAccess::Dbl(v) != 0;
    case TVarClass::Text: {
      bool b = false;
      if (!TextToBoolean(VarToAnsiText(v), b)) VarCastError(v.VarType(), varBoolean);
      return b;
    }
    default: VarCastError(v.VarType(), varBoolean);
  }
}

String VarToAnsiText(const Variant& v) {
  switch (VarClassOf(v)) {
    case TVarClass::Empty: return String();
    case TVarClass::Ordinal: return IntToStr(TVarAccess::Int(v));
    case TVarClass::Boolean: return TVarAccess::Int(v) ? "True" : "False";
    case TVarClass::Float: return FloatText(v);
    case TVarClass::Currency: return CurrToStr(Currency::FromRaw(TVarAccess::Int(v)));
    case TVarClass::Date: return DateTimeToStr(TVarAccess::Dbl(v));
    case TVarClass::Text:
      return TVarAccess::Stored(v) == varString ? TVarAccess::Str(v) : WideToAnsi(TVarAccess::WStr(v));
    default: VarCastError(v.VarType(), varString);
  }
}

WideString VarToWideText(const Variant& v) {
  if (TVarAccess::Stored(v) == varOleStr) return TVarAccess::WStr(v);
  if (v.IsNull()) VarCastError(varNull, varOleStr);
  if (v.IsArray()) VarCastError(v.VarType(), varOleStr);
  return AnsiToWide(VarToAnsiText(v));
}

// ---------------------------------------------------------------------------------------------
// Public conversions

Variant VarAsType(const Variant& v, TVarType type) {
  if (type == varVariant) return v;
  if (v.IsNull()) return NullAsType(type);
  if (type == varEmpty) return Variant();
  if (type == varNull) return Variant::Null();
  if (type & varArray) {
    if (v.VarType() == type) return v;
    VarCastError(v.VarType(), type);
  }
  if (IsOrdinalType(type)) return Variant::FromRaw(type, VarToOrdinal(v, type));
  switch (type) {
    case varSingle:
    case varDouble:
    case varDate: return Variant::FromRawDouble(type, VarToFloat(v, type));
    case varCurrency: return Variant::FromRaw(varCurrency, VarToCurrencyRaw(v));
    case varBoolean: return Variant(VarToBoolean(v));
    case varString: return Variant(VarToAnsiText(v));
    case varOleStr: return Variant(VarToWideText(v));
    default: VarBadTypeError();
  }
}

// Null and arrays refuse every conversion below with EVariantTypeCastError.

Integer Variant::AsInteger() const {
  return static_cast<Integer>(VarToOrdinal(*this, varInteger));
}

Int64 Variant::AsInt64() const {
  return VarToOrdinal(*this, varInt64);
}

double Variant::AsDouble() const {
  return VarToFloat(*this, varDouble);
}

bool Variant::AsBoolean() const {
  return VarToBoolean(*this);
}

Currency Variant::AsCurrency() const {
  return Currency::FromRaw(VarToCurrencyRaw(*this));
}

TDateTime Variant::AsDateTime() const {
  return VarToFloat(*this, varDate);
}

String Variant::AsString() const {
  return VarToAnsiText(*this);
}

WideString Variant::AsWideString() const {
  return VarToWideText(*this);
}

String VarToStr(const Variant& v) { return v.IsNull() ? String() : VarToAnsiText(v); }

String VarToStrDef(const Variant& v, const String& def) {
  return v.IsNull() ? def : VarToAnsiText(v);
}

WideString VarToWideStr(const Variant& v) { return v.IsNull() ? WideString() : VarToWideText(v); }

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }
Variant VarFromDateTime(TDateTime d) { return Variant::FromDateTime(d); }
