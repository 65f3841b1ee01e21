// Variant comparison and arithmetic.
//
// Comparison: Null equals only Null and sorts below everything else; Empty takes the zero of the
// other side's family (0, "" or False); text against a Boolean, a date or a number is converted
// to that family; two texts compare by the code page's collation, case-sensitively.
//
// Arithmetic: Null gives Null; Empty counts as 0 (or "" when joined to text); Booleans count as
// -1/0; text joined to text concatenates, otherwise text is read as a Double. Integer results
// widen on overflow (Integer -> Int64 -> Double); Currency overflow raises; '/' gives a Double.
#include <cmath>

#include "platform/rtl/Variants.h"
#include "platform/rtl/VariantsPrivate.h"

namespace {

const TResourceString SVarOverflow = {65208, "Variant overflow"};
const TResourceString SZeroDivide = {65209, "Floating point division by zero"};
const TResourceString SInvalidFloatOp = {65210, "Invalid floating point operation"};
const TResourceString SFloatOverflow = {65211, "Floating point overflow"};

using Int128 = __int128;

// ---------------------------------------------------------------------------------------------
// Comparison

template <class T>
TVariantRelationship Relation(T a, T b) {
  if (a < b) return vrLessThan;
  if (b < a) return vrGreaterThan;
  if (a == b) return vrEqual;
  return vrNotEqual;  // unordered (NaN)
}

TVariantRelationship Reversed(TVariantRelationship r) {
  if (r == vrLessThan) return vrGreaterThan;
  if (r == vrGreaterThan) return vrLessThan;
  return r;
}

bool IsWide(const Variant& v) { return TVarAccess::Stored(v) == varOleStr; }

TVariantRelationship CompareTexts(const Variant& a, const Variant& b) {
  if (!IsWide(a) && !IsWide(b)) return Relation(AnsiCompareStr(TVarAccess::Str(a), TVarAccess::Str(b)), 0);
  TVariantRelationship r = Relation(AnsiCompareStr(VarToAnsiText(a), VarToAnsiText(b)), 0);
  // Characters outside the code page collate alike; their code units still tell them apart.
  if (r == vrEqual) r = Relation(VarToWideText(a).compare(VarToWideText(b)), 0);
  return r;
}

// An ordinal or Boolean as the integer it counts as (True is -1).
Int64 IntegralOf(const Variant& v) {
  if (VarClassOf(v) == TVarClass::Boolean) return TVarAccess::Int(v) ? -1 : 0;
  return TVarAccess::Int(v);
}

bool IsIntegral(TVarClass c) { return c == TVarClass::Ordinal || c == TVarClass::Boolean; }

Int128 ScaledCurrency(const Variant& v) {
  if (VarClassOf(v) == TVarClass::Currency) return TVarAccess::Int(v);
  return static_cast<Int128>(IntegralOf(v)) * KCurrencyScale;
}

double DoubleOf(const Variant& v) { return VarToFloat(v, varDouble); }

// Both sides are Ordinal, Boolean, Float, Currency or Date.
TVariantRelationship CompareNumbers(const Variant& a, const Variant& b) {
  TVarClass ca = VarClassOf(a);
  TVarClass cb = VarClassOf(b);
  if (ca == TVarClass::Boolean && cb == TVarClass::Boolean)
    return Relation(TVarAccess::Int(a), TVarAccess::Int(b));  // False < True
  if (IsIntegral(ca) && IsIntegral(cb)) return Relation(IntegralOf(a), IntegralOf(b));
  bool currencyPair = (ca == TVarClass::Currency || IsIntegral(ca)) &&
                      (cb == TVarClass::Currency || IsIntegral(cb));
  if (currencyPair) return Relation(ScaledCurrency(a), ScaledCurrency(b));
  return Relation(DoubleOf(a), DoubleOf(b));
}

TVariantRelationship CompareTextWith(const Variant& text, const Variant& other) {
  const String s = VarToAnsiText(text);
  switch (VarClassOf(other)) {
    case TVarClass::Boolean: {
      bool b = false;
      if (!TextToBoolean(s, b)) VarCastError(text.VarType(), varBoolean);
      return Relation(Int64(b), TVarAccess::Int(other));
    }
    case TVarClass::Date: {
      TDateTime d = 0;
      if (!TextToDate(s, d)) VarCastError(text.VarType(), varDate);
      return Relation(d, TVarAccess::Dbl(other));
    }
    default: {
      Int64 i = 0;
      if (VarClassOf(other) == TVarClass::Ordinal && TextToInt64(s, i))
        return Relation(i, TVarAccess::Int(other));
      double d = 0;
      if (!TextToDouble(s, d)) VarCastError(text.VarType(), varDouble);
      return Relation(d, DoubleOf(other));
    }
  }
}

// The zero of the other side's family, which Empty stands for.
Variant EmptyLike(const Variant& other) {
  switch (VarClassOf(other)) {
    case TVarClass::Text: return IsWide(other) ? Variant(WideString()) : Variant(String());
    case TVarClass::Boolean: return Variant(false);
    default: return Variant(0);
  }
}

// Neither side is Null or an array.
TVariantRelationship CompareValues(const Variant& a, const Variant& b) {
  if (a.IsEmpty() && b.IsEmpty()) return vrEqual;
  if (a.IsEmpty()) return CompareValues(EmptyLike(b), b);
  if (b.IsEmpty()) return CompareValues(a, EmptyLike(a));
  bool ta = VarClassOf(a) == TVarClass::Text;
  bool tb = VarClassOf(b) == TVarClass::Text;
  if (ta && tb) return CompareTexts(a, b);
  if (ta) return CompareTextWith(a, b);
  if (tb) return Reversed(CompareTextWith(b, a));
  return CompareNumbers(a, b);
}

void RefuseArrays(const Variant& a, const Variant& b) {
  if (a.IsArray() || b.IsArray()) VarInvalidOpError();
}

TVariantRelationship NullAwareCompare(const Variant& a, const Variant& b) {
  RefuseArrays(a, b);
  if (a.IsNull() && b.IsNull()) return vrEqual;
  if (a.IsNull()) return vrLessThan;
  if (b.IsNull()) return vrGreaterThan;
  return CompareValues(a, b);
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

enum class TVarOp { Add, Subtract, Multiply, Divide };

[[noreturn]] void VarOverflow() { throw EVariantOverflowError(&SVarOverflow); }

bool IsTextOrEmpty(const Variant& v) { return v.IsEmpty() || VarClassOf(v) == TVarClass::Text; }

Variant Concatenate(const Variant& a, const Variant& b) {
  if (IsWide(a) || IsWide(b)) return Variant(VarToWideText(a) + VarToWideText(b));
  return Variant(VarToAnsiText(a) + VarToAnsiText(b));
}

// Empty and Booleans count as Integers, text as a Double.
Variant NumericOperand(const Variant& v) {
  switch (VarClassOf(v)) {
    case TVarClass::Empty: return Variant(0);
    case TVarClass::Boolean: return Variant(static_cast<int>(IntegralOf(v)));
    case TVarClass::Text: return Variant(DoubleOf(v));
    default: return v;
  }
}

double CheckedFloat(double r, double x, double y) {
  if (!std::isfinite(r) && std::isfinite(x) && std::isfinite(y)) {
    if (std::isnan(r)) throw EInvalidOp(&SInvalidFloatOp);
    throw EOverflow(&SFloatOverflow);
  }
  return r;
}

double FloatOp(double x, double y, TVarOp op) {
  switch (op) {
    case TVarOp::Add: return CheckedFloat(x + y, x, y);
    case TVarOp::Subtract: return CheckedFloat(x - y, x, y);
    case TVarOp::Multiply: return CheckedFloat(x * y, x, y);
    case TVarOp::Divide: break;
  }
  if (y == 0) {
    if (x == 0 || std::isnan(x)) throw EInvalidOp(&SInvalidFloatOp);
    throw EZeroDivide(&SZeroDivide);
  }
  return CheckedFloat(x / y, x, y);
}

Variant IntegerOp(const Variant& x, const Variant& y, TVarOp op) {
  Int64 a = TVarAccess::Int(x);
  Int64 b = TVarAccess::Int(y);
  Int64 r = 0;
  bool overflow = op == TVarOp::Add        ? __builtin_add_overflow(a, b, &r)
                  : op == TVarOp::Subtract ? __builtin_sub_overflow(a, b, &r)
                                           : __builtin_mul_overflow(a, b, &r);
  if (overflow) return Variant(FloatOp(double(a), double(b), op));
  bool wide = TVarAccess::Stored(x) == varInt64 || TVarAccess::Stored(y) == varInt64 ||
              r < INT32_MIN || r > INT32_MAX;
  return wide ? Variant(r) : Variant(static_cast<int>(r));
}

Int64 CheckedCurrency(Int128 raw) {
  if (raw < INT64_MIN || raw > INT64_MAX) VarOverflow();
  return static_cast<Int64>(raw);
}

// Divides by the currency scale, halves to even.
Int128 UnscaleRounded(Int128 v) {
  Int128 q = v / KCurrencyScale;
  Int128 r = v % KCurrencyScale;
  Int128 absR = r < 0 ? -r : r;
  if (absR > KCurrencyScale / 2 || (absR == KCurrencyScale / 2 && (q % 2) != 0)) q += v < 0 ? -1 : 1;
  return q;
}

Variant CurrencyOp(const Variant& x, const Variant& y, TVarOp op) {
  Int128 a = ScaledCurrency(x);
  Int128 b = ScaledCurrency(y);
  Int128 r = 0;
  if (op == TVarOp::Add) r = a + b;
  else if (op == TVarOp::Subtract) r = a - b;
  else if (VarClassOf(x) != TVarClass::Currency) r = TVarAccess::Int(x) * b;
  else if (VarClassOf(y) != TVarClass::Currency) r = a * TVarAccess::Int(y);
  else r = UnscaleRounded(a * b);
  return Variant::FromRaw(varCurrency, CheckedCurrency(r));
}

Variant DateOp(const Variant& x, const Variant& y, TVarOp op) {
  double r = FloatOp(DoubleOf(x), DoubleOf(y), op);
  bool bothDates = VarClassOf(x) == TVarClass::Date && VarClassOf(y) == TVarClass::Date;
  bool dateResult = op == TVarOp::Add || (op == TVarOp::Subtract && !bothDates);
  return dateResult ? Variant::FromDateTime(r) : Variant(r);
}

Variant FloatResult(const Variant& x, const Variant& y, TVarOp op) {
  double r = FloatOp(DoubleOf(x), DoubleOf(y), op);
  bool singles = TVarAccess::Stored(x) == varSingle && TVarAccess::Stored(y) == varSingle;
  if (singles && op != TVarOp::Divide && std::fabs(r) <= 3.402823466e38) return Variant(static_cast<float>(r));
  return Variant(r);
}

// Both sides are Ordinal, Float, Currency or Date.
Variant NumericOp(const Variant& x, const Variant& y, TVarOp op) {
  TVarClass cx = VarClassOf(x);
  TVarClass cy = VarClassOf(y);
  if (cx == TVarClass::Date || cy == TVarClass::Date) return DateOp(x, y, op);
  if (op == TVarOp::Divide || cx == TVarClass::Float || cy == TVarClass::Float) return FloatResult(x, y, op);
  if (cx == TVarClass::Currency || cy == TVarClass::Currency) return CurrencyOp(x, y, op);
  return IntegerOp(x, y, op);
}

Variant BinaryOp(const Variant& a, const Variant& b, TVarOp op) {
  RefuseArrays(a, b);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (op == TVarOp::Add && IsTextOrEmpty(a) && IsTextOrEmpty(b) && !(a.IsEmpty() && b.IsEmpty()))
    return Concatenate(a, b);
  return NumericOp(NumericOperand(a), NumericOperand(b), op);
}

bool FitsSignedType(Int64 v, TVarType type) {
  switch (type) {
    case varShortInt: return v >= -128 && v <= 127;
    case varSmallint: return v >= -32768 && v <= 32767;
    case varInteger: return v >= INT32_MIN && v <= INT32_MAX;
    default: return false;
  }
}

// Keeps a signed type when the result fits it; otherwise widens to Integer, Int64 or Double.
Variant NegatedOrdinal(const Variant& x) {
  Int64 v = TVarAccess::Int(x);
  TVarType type = TVarAccess::Stored(x);
  if (v == INT64_MIN) return Variant(-static_cast<double>(v));
  Int64 r = -v;
  if (type == varInt64 || FitsSignedType(r, type)) return Variant::FromRaw(type, r);
  if (FitsSignedType(r, varInteger)) return Variant(static_cast<int>(r));
  return Variant(r);
}

}  // namespace

bool operator==(const Variant& a, const Variant& b) { return NullAwareCompare(a, b) == vrEqual; }
bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
bool operator<(const Variant& a, const Variant& b) { return NullAwareCompare(a, b) == vrLessThan; }
bool operator>(const Variant& a, const Variant& b) { return NullAwareCompare(a, b) == vrGreaterThan; }

bool operator<=(const Variant& a, const Variant& b) {
  TVariantRelationship r = NullAwareCompare(a, b);
  return r == vrLessThan || r == vrEqual;
}

bool operator>=(const Variant& a, const Variant& b) {
  TVariantRelationship r = NullAwareCompare(a, b);
  return r == vrGreaterThan || r == vrEqual;
}

bool VarSameValue(const Variant& a, const Variant& b) {
  if (a.IsEmpty()) return b.IsEmpty();
  if (a.IsNull()) return b.IsNull();
  if (b.IsEmpty() || b.IsNull()) return false;
  return a == b;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? vrEqual : vrNotEqual;
  if (a.IsNull()) return b.IsNull() ? vrEqual : vrNotEqual;
  if (b.IsEmpty() || b.IsNull()) return vrNotEqual;
  RefuseArrays(a, b);
  return CompareValues(a, b);
}

Variant operator+(const Variant& a, const Variant& b) { return BinaryOp(a, b, TVarOp::Add); }
Variant operator-(const Variant& a, const Variant& b) { return BinaryOp(a, b, TVarOp::Subtract); }
Variant operator*(const Variant& a, const Variant& b) { return BinaryOp(a, b, TVarOp::Multiply); }
Variant operator/(const Variant& a, const Variant& b) { return BinaryOp(a, b, TVarOp::Divide); }

Variant operator-(const Variant& a) {
  switch (VarClassOf(a)) {
    case TVarClass::Null: return a;
    case TVarClass::Empty: return Variant(0);
    case TVarClass::Array: VarInvalidOpError();
    case TVarClass::Ordinal: return NegatedOrdinal(a);
    case TVarClass::Boolean: return Variant(static_cast<int>(-IntegralOf(a)));
    case TVarClass::Currency: {
      Int64 raw = TVarAccess::Int(a);
      if (raw == INT64_MIN) VarOverflow();
      return Variant::FromRaw(varCurrency, -raw);
    }
    case TVarClass::Float:
    case TVarClass::Date: return Variant::FromRawDouble(TVarAccess::Stored(a), -TVarAccess::Dbl(a));
    case TVarClass::Text: return Variant(-DoubleOf(a));
  }
  VarInvalidOpError();
}

Variant& Variant::operator+=(const Variant& v) { return *this = *this + v; }
Variant& Variant::operator-=(const Variant& v) { return *this = *this - v; }
Variant& Variant::operator*=(const Variant& v) { return *this = *this * v; }
Variant& Variant::operator/=(const Variant& v) { return *this = *this / v; }
