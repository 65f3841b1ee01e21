// Exceptions, string helpers, number conversions and Format.
//
// String positions are 1-based where the original platform's are (Copy, Pos, Delete, Insert).
// Case mapping and comparison of 8-bit text go through Windows-1252 tables, never the host locale.
//
// Where the parts live: SysUtils.cpp (resource strings, exceptions, integer and Boolean
// conversions), Strings.cpp (string helpers, case mapping, collation), Format.cpp (Format),
// FloatFormat.cpp (floating-point and currency text).
#pragma once

#include <exception>
#include <initializer_list>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/System.h"

// ---------------------------------------------------------------------------------------------
// Currency: a fixed-point number with four decimals, held as value x 10000.

struct Currency {
  Int64 Value = 0;  // the amount times 10000
  static Currency FromRaw(Int64 raw) { return Currency{raw}; }
  static Currency FromDouble(double d);  // rounds to the nearest 1/10000, halves to even
  double ToDouble() const { return static_cast<double>(Value) / 10000.0; }
  friend bool operator==(const Currency&, const Currency&) = default;
  friend auto operator<=>(const Currency&, const Currency&) = default;
};

// ---------------------------------------------------------------------------------------------
// Format arguments: the "array of const" of Format and the exception constructors.

class TVarRec {
 public:
  enum class Kind { Integer, Int64, Extended, Currency, String, WideString, Char, Pointer, Boolean };

  TVarRec(int v) : FKind(Kind::Integer), FInt(v) {}
  TVarRec(unsigned v) : FKind(Kind::Int64), FInt(static_cast<Int64>(v)) {}
  TVarRec(long v) : FKind(Kind::Int64), FInt(v) {}
  TVarRec(unsigned long v) : FKind(Kind::Int64), FInt(static_cast<Int64>(v)) {}
  TVarRec(long long v) : FKind(Kind::Int64), FInt(v) {}
  TVarRec(unsigned long long v) : FKind(Kind::Int64), FInt(static_cast<Int64>(v)) {}
  TVarRec(short v) : FKind(Kind::Integer), FInt(v) {}
  TVarRec(unsigned short v) : FKind(Kind::Integer), FInt(v) {}
  TVarRec(unsigned char v) : FKind(Kind::Integer), FInt(v) {}
  TVarRec(double v) : FKind(Kind::Extended), FFloat(v) {}
  TVarRec(float v) : FKind(Kind::Extended), FFloat(v) {}
  TVarRec(Currency v) : FKind(Kind::Currency), FInt(v.Value) {}
  TVarRec(const char* v) : FKind(Kind::String), FStr(v ? v : "") {}
  TVarRec(const String& v) : FKind(Kind::String), FStr(v) {}
  TVarRec(const WideString& v) : FKind(Kind::WideString), FWStr(v) {}
  TVarRec(char v) : FKind(Kind::Char), FStr(1, v) {}
  TVarRec(const void* v) : FKind(Kind::Pointer), FPtr(v) {}
  TVarRec(bool v) : FKind(Kind::Boolean), FInt(v ? 1 : 0) {}

  Kind GetKind() const { return FKind; }
  Int64 AsInt64() const { return FInt; }
  double AsFloat() const { return FFloat; }
  const String& AsString() const { return FStr; }
  const WideString& AsWideString() const { return FWStr; }
  const void* AsPointer() const { return FPtr; }

 private:
  Kind FKind;
  Int64 FInt = 0;
  double FFloat = 0;
  String FStr;
  WideString FWStr;
  const void* FPtr = nullptr;
};

using TFormatArgs = std::initializer_list<TVarRec>;

// ---------------------------------------------------------------------------------------------
// Resource strings: a numeric identity and a default text. Every user-visible text is read
// through LoadResString, which a library may redirect (see SetResourceStringHook).

struct TResourceString {
  Integer Id;
  const char* Default;
};
using PResStringRec = const TResourceString*;

String LoadResString(PResStringRec res);
// Installs the function LoadResString asks first; nullptr restores the default texts.
using TResourceStringHook = String (*)(PResStringRec res);
void SetResourceStringHook(TResourceStringHook hook);

// ---------------------------------------------------------------------------------------------
// Exceptions

class Exception : public TObject, public std::exception {
  QJ_CLASS(Exception, TObject)
 public:
  Exception() = default;
  explicit Exception(const String& msg) : FMessage(msg) {}
  Exception(const String& fmt, TFormatArgs args);
  explicit Exception(PResStringRec res);
  Exception(PResStringRec res, TFormatArgs args);
  Exception(const Exception& other) : TObject(), std::exception(other), FMessage(other.FMessage) {}

  const String& Message() const { return FMessage; }
  void SetMessage(const String& msg) { FMessage = msg; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  String FMessage;
};

// Declares an exception class with the constructors of Exception.
#define QJ_EXCEPTION(Cls, ParentCls)             \
  class Cls : public ParentCls {                \
    QJ_CLASS(Cls, ParentCls)                    \
   public:                                      \
    using ParentCls::ParentCls;                 \
    Cls(const Cls& other) : ParentCls(other) {} \
  };

QJ_EXCEPTION(EAbort, Exception)
QJ_EXCEPTION(EConvertError, Exception)
QJ_EXCEPTION(EListError, Exception)
QJ_EXCEPTION(EStringListError, Exception)
QJ_EXCEPTION(EInvalidOperation, Exception)
QJ_EXCEPTION(EInvalidCast, Exception)
QJ_EXCEPTION(EInvalidPointer, Exception)
QJ_EXCEPTION(EOutOfMemory, Exception)
QJ_EXCEPTION(EStreamError, Exception)
QJ_EXCEPTION(EFCreateError, EStreamError)
QJ_EXCEPTION(EFOpenError, EStreamError)
QJ_EXCEPTION(EReadError, EStreamError)
QJ_EXCEPTION(EWriteError, EStreamError)
QJ_EXCEPTION(EComponentError, Exception)
QJ_EXCEPTION(EClassNotFound, Exception)
QJ_EXCEPTION(EIntError, Exception)
QJ_EXCEPTION(EDivByZero, EIntError)
QJ_EXCEPTION(ERangeError, EIntError)
QJ_EXCEPTION(EIntOverflow, EIntError)
QJ_EXCEPTION(EMathError, Exception)
QJ_EXCEPTION(EZeroDivide, EMathError)
QJ_EXCEPTION(EOverflow, EMathError)
QJ_EXCEPTION(EInvalidOp, EMathError)
QJ_EXCEPTION(EVariantError, Exception)
QJ_EXCEPTION(EVariantTypeCastError, EVariantError)  // a variant could not be converted
QJ_EXCEPTION(EVariantArrayError, EVariantError)     // bad array bounds, index or dimension
QJ_EXCEPTION(EOSError, Exception)
QJ_EXCEPTION(EThread, Exception)
QJ_EXCEPTION(EIniFileException, Exception)
QJ_EXCEPTION(ERegistryException, Exception)

// Texts of the runtime's own errors, for the layers above that raise the same classes.
extern const TResourceString SOutOfMemory;  // Out of memory
extern const TResourceString SInvalidCast;  // Invalid class typecast
extern const TResourceString SDivByZero;    // Division by zero

// Raises EAbort, the silent exception that unwinds without a message to the user.
[[noreturn]] void Abort();

// ---------------------------------------------------------------------------------------------
// Strings (1-based positions)

inline Integer Length(const String& s) { return static_cast<Integer>(s.size()); }
inline Integer Length(const WideString& s) { return static_cast<Integer>(s.size()); }
String Copy(const String& s, Integer index, Integer count);
WideString Copy(const WideString& s, Integer index, Integer count);
Integer Pos(const String& substr, const String& s);
Integer Pos(const WideString& substr, const WideString& s);
Integer PosEx(const String& substr, const String& s, Integer offset = 1);
void Delete(String& s, Integer index, Integer count);
void Delete(WideString& s, Integer index, Integer count);
void Insert(const String& source, String& s, Integer index);
void Insert(const WideString& source, WideString& s, Integer index);
String StringOfChar(char c, Integer count);
String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     bool replaceAll = true, bool ignoreCase = false);

String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);
WideString Trim(const WideString& s);

String UpperCase(const String& s);  // ASCII letters only
String LowerCase(const String& s);
String AnsiUpperCase(const String& s);  // every Windows-1252 letter
String AnsiLowerCase(const String& s);
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
// Character tests, one byte of the code page at a time.
inline bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Identifiers: a letter or '_' first, then letters, digits or '_'.
inline bool IsIdentStartChar(char c) { return IsAsciiLetter(c) || c == '_'; }
inline bool IsIdentChar(char c) { return IsIdentStartChar(c) || IsDigitChar(c); }
// A letter of the code page: one with a case, or one of the few without (sharp s, the ordinals).
bool IsAnsiLetter(char c);
// The blanks between the words of a line.
inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
Integer CompareStr(const String& a, const String& b);   // ordinal; <0, 0, >0
Integer CompareText(const String& a, const String& b);  // ASCII case-insensitive
bool SameText(const String& a, const String& b);
Integer AnsiCompareStr(const String& a, const String& b);   // collation of the code page
Integer AnsiCompareText(const String& a, const String& b);  // the same, case-insensitive
bool AnsiSameText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
String QuotedStr(const String& s);
String AnsiQuotedStr(const String& s, char quote);
String AnsiDequotedStr(const String& s, char quote);
bool IsDelimiter(const String& delimiters, const String& s, Integer index);
Integer LastDelimiter(const String& delimiters, const String& s);

// Conversions at the boundary to the OS: every byte value round-trips.
String Utf8ToAnsi(const std::string& utf8);  // characters outside the code page become '?'
String Utf8ToAnsi(std::string&& utf8);       // plain ASCII is taken over without a copy
std::string AnsiToUtf8(const String& s);
WideString AnsiToWide(const String& s);
String WideToAnsi(const WideString& w);  // characters outside the code page become '?'
std::string WideToUtf8(const WideString& w);
WideString Utf8ToWide(const std::string& utf8);

// ---------------------------------------------------------------------------------------------
// Integers

String IntToStr(Int64 value);
String IntToHex(Int64 value, Integer digits);
// Lower-case hex digits, zero-padded to at least `digits` (IntToHex and Format give upper case).
String LowerHex(Int64 value, Integer digits);
// The value 0..15 of one hex digit of either case; -1 when c is no hex digit.
Integer HexDigitValue(char c);
Integer StrToInt(const String& s);  // decimal, '$' or "0x" hex; raises EConvertError
Int64 StrToInt64(const String& s);
Integer StrToIntDef(const String& s, Integer def);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);
bool StrToBool(const String& s);  // "True"/"False" or a number; raises EConvertError
bool TryStrToBool(const String& s, bool& value);
String BoolToStr(bool b, bool useBoolStrs = false);  // "-1"/"0", or "True"/"False"

// Arithmetic with the original platform's semantics.
inline Int64 Div(Int64 a, Int64 b) { return a / b; }  // truncates toward zero
inline Int64 Mod(Int64 a, Int64 b) { return a % b; }  // sign of the dividend
Int64 Round(double x);                                 // halves to even
Int64 Trunc(double x);
Integer MulDiv(Integer number, Integer numerator, Integer denominator);  // nearest; -1 on /0
Integer ClampToInteger(Int64 value);  // the nearest bound for a value beyond Integer's range
double Frac(double x);
double Int(double x);

// ---------------------------------------------------------------------------------------------
// Floating point and currency text

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& fs);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& fs);
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& fs);
double StrToFloat(const String& s);  // raises EConvertError
double StrToFloat(const String& s, const TFormatSettings& fs);
double StrToFloatDef(const String& s, double def);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs);
String CurrToStr(Currency value);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits, const TFormatSettings& fs);
String FormatCurr(const String& format, Currency value);
Currency StrToCurr(const String& s);
bool TryStrToCurr(const String& s, Currency& value);

// ---------------------------------------------------------------------------------------------
// Format: %d %u %x %s %f %g %n %m %e %p with index, width, precision, '-' and '*'.

String Format(const String& format, TFormatArgs args);
String Format(const String& format, TFormatArgs args, const TFormatSettings& fs);
