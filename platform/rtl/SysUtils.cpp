#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------------------------
// Resource strings

namespace {

std::atomic<TResourceStringHook> GResourceHook{nullptr};

const TResourceString SInvalidInteger = {65401, "'%s' is not a valid integer value"};
const TResourceString SInvalidBoolean = {65402, "'%s' is not a valid boolean value"};
const TResourceString SOperationAborted = {65403, "Operation aborted"};
const TResourceString SInvalidOp = {65404, "Invalid floating point operation"};

}  // namespace

const TResourceString SOutOfMemory = {65420, "Out of memory"};
const TResourceString SInvalidCast = {65421, "Invalid class typecast"};
const TResourceString SDivByZero = {65422, "Division by zero"};

String LoadResString(PResStringRec res) {
  if (!res) return String();
  if (TResourceStringHook hook = GResourceHook.load()) return hook(res);
  return res->Default ? String(res->Default) : String();
}

void SetResourceStringHook(TResourceStringHook hook) { GResourceHook.store(hook); }

// ---------------------------------------------------------------------------------------------
// Exceptions

Exception::Exception(const String& fmt, TFormatArgs args) : FMessage(Format(fmt, args)) {}
Exception::Exception(PResStringRec res) : FMessage(LoadResString(res)) {}
Exception::Exception(PResStringRec res, TFormatArgs args)
    : FMessage(Format(LoadResString(res), args)) {}

QJ_IMPLEMENT_CLASS(Exception)
QJ_IMPLEMENT_CLASS(EAbort)
QJ_IMPLEMENT_CLASS(EConvertError)
QJ_IMPLEMENT_CLASS(EListError)
QJ_IMPLEMENT_CLASS(EStringListError)
QJ_IMPLEMENT_CLASS(EInvalidOperation)
QJ_IMPLEMENT_CLASS(EInvalidCast)
QJ_IMPLEMENT_CLASS(EInvalidPointer)
QJ_IMPLEMENT_CLASS(EOutOfMemory)
QJ_IMPLEMENT_CLASS(EStreamError)
QJ_IMPLEMENT_CLASS(EFCreateError)
QJ_IMPLEMENT_CLASS(EFOpenError)
QJ_IMPLEMENT_CLASS(EReadError)
QJ_IMPLEMENT_CLASS(EWriteError)
QJ_IMPLEMENT_CLASS(EComponentError)
QJ_IMPLEMENT_CLASS(EClassNotFound)
QJ_IMPLEMENT_CLASS(EIntError)
QJ_IMPLEMENT_CLASS(EDivByZero)
QJ_IMPLEMENT_CLASS(ERangeError)
QJ_IMPLEMENT_CLASS(EIntOverflow)
QJ_IMPLEMENT_CLASS(EMathError)
QJ_IMPLEMENT_CLASS(EZeroDivide)
QJ_IMPLEMENT_CLASS(EOverflow)
QJ_IMPLEMENT_CLASS(EInvalidOp)
QJ_IMPLEMENT_CLASS(EVariantError)
QJ_IMPLEMENT_CLASS(EVariantTypeCastError)
QJ_IMPLEMENT_CLASS(EVariantArrayError)
QJ_IMPLEMENT_CLASS(EOSError)
QJ_IMPLEMENT_CLASS(EThread)
QJ_IMPLEMENT_CLASS(EIniFileException)
QJ_IMPLEMENT_CLASS(ERegistryException)

void Abort() { throw EAbort(&SOperationAborted); }

// ---------------------------------------------------------------------------------------------
// Integer text

namespace {

const char* const KHexDigitsUpper = "0123456789ABCDEF";
const char* const KHexDigitsLower = "0123456789abcdef";

String HexDigits(Int64 value, Integer digits, const char* alphabet) {
  UInt64 v = static_cast<UInt64>(value);  // negative values show their two's complement
  String out;
  do {
    out.insert(out.begin(), alphabet[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (Length(out) < digits) out.insert(0, static_cast<size_t>(digits - Length(out)), '0');
  return out;
}

// Parses the integer text the platform accepts: leading blanks, an optional sign, then decimal
// digits or hex digits after '$' or "0x". Hex may use the full unsigned width of the target and
// wraps into the signed range (as "$FFFFFFFF" gives -1); decimal must fit the signed range.
bool ParseInteger(const String& s, int bits, Int64& result) {
  size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  const UInt64 unsignedMax = bits == 64 ? std::numeric_limits<UInt64>::max()
                                        : static_cast<UInt64>(std::numeric_limits<Cardinal>::max());
  const UInt64 signedLimit = (UInt64(1) << (bits - 1)) - (negative ? 0 : 1);
  const UInt64 limit = hex ? unsignedMax : signedLimit;
  const UInt64 base = hex ? 16 : 10;
  UInt64 value = 0;
  for (; i < n; ++i) {
    Integer d = hex ? HexDigitValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    if (value > (limit - static_cast<UInt64>(d)) / base) return false;
    value = value * base + static_cast<UInt64>(d);
  }
  if (bits == 32 && hex) value = static_cast<UInt64>(static_cast<Int64>(static_cast<Integer>(value)));
  result = negative ? static_cast<Int64>(0 - value) : static_cast<Int64>(value);
  return true;
}

[[noreturn]] void RaiseInvalidInteger(const String& s) { throw EConvertError(&SInvalidInteger, {s}); }

}  // namespace

String IntToStr(Int64 value) { return std::to_string(value); }

String IntToHex(Int64 value, Integer digits) { return HexDigits(value, digits, KHexDigitsUpper); }

String LowerHex(Int64 value, Integer digits) { return HexDigits(value, digits, KHexDigitsLower); }

Integer HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool TryStrToInt64(const String& s, Int64& value) {
  Int64 parsed = 0;
  if (!ParseInteger(s, 64, parsed)) return false;
  value = parsed;
  return true;
}

bool TryStrToInt(const String& s, Integer& value) {
  Int64 parsed = 0;
  if (!ParseInteger(s, 32, parsed)) return false;
  value = static_cast<Integer>(parsed);
  return true;
}

Integer StrToInt(const String& s) {
  Integer value = 0;
  if (!TryStrToInt(s, value)) RaiseInvalidInteger(s);
  return value;
}

Int64 StrToInt64(const String& s) {
  Int64 value = 0;
  if (!TryStrToInt64(s, value)) RaiseInvalidInteger(s);
  return value;
}

Integer StrToIntDef(const String& s, Integer def) {
  Integer value = 0;
  return TryStrToInt(s, value) ? value : def;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 value = 0;
  return TryStrToInt64(s, value) ? value : def;
}

// ---------------------------------------------------------------------------------------------
// Booleans

bool TryStrToBool(const String& s, bool& value) {
  double number = 0;
  if (TryStrToFloat(s, number)) {
    value = number != 0;
    return true;
  }
  if (AnsiSameText(s, "True")) {
    value = true;
    return true;
  }
  if (AnsiSameText(s, "False")) {
    value = false;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool value = false;
  if (!TryStrToBool(s, value)) throw EConvertError(&SInvalidBoolean, {s});
  return value;
}

String BoolToStr(bool b, bool useBoolStrs) {
  if (useBoolStrs) return b ? "True" : "False";
  return b ? "-1" : "0";
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

namespace {

// The largest doubles that still convert to Int64 without overflow.
constexpr double KInt64Low = -9223372036854775808.0;
constexpr double KInt64High = 9223372036854775808.0;  // exclusive

Int64 CheckedToInt64(double x) {
  if (!(x >= KInt64Low && x < KInt64High)) throw EInvalidOp(&SInvalidOp);
  return static_cast<Int64>(x);
}

}  // namespace

Int64 Round(double x) {
  double whole = std::floor(x);
  double diff = x - whole;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1.0;
  return CheckedToInt64(whole);
}

Int64 Trunc(double x) { return CheckedToInt64(std::trunc(x)); }

Integer MulDiv(Integer number, Integer numerator, Integer denominator) {
  if (denominator == 0) return -1;
  Int64 product = static_cast<Int64>(number) * numerator;
  bool negative = (product < 0) != (denominator < 0);
  UInt64 p = product < 0 ? 0 - static_cast<UInt64>(product) : static_cast<UInt64>(product);
  UInt64 d = denominator < 0 ? 0 - static_cast<UInt64>(static_cast<Int64>(denominator))
                             : static_cast<UInt64>(denominator);
  UInt64 q = (p + d / 2) / d;  // halves round away from zero
  if (q > static_cast<UInt64>(std::numeric_limits<Integer>::max()) + (negative ? 1 : 0)) return -1;
  return negative ? static_cast<Integer>(-static_cast<Int64>(q)) : static_cast<Integer>(q);
}

Integer ClampToInteger(Int64 value) {
  return static_cast<Integer>(std::clamp<Int64>(value, std::numeric_limits<Integer>::min(),
                                                std::numeric_limits<Integer>::max()));
}

double Frac(double x) { return x - std::trunc(x); }

double Int(double x) { return std::trunc(x); }
