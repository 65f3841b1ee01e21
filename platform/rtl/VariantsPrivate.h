// Internals shared by the Variant's storage, conversion and operator files.
#pragma once

#include "platform/rtl/Variants.h"

struct TVarArrayData {
  Integer LowBound = 0;
  TVarType ElemType = varVariant;
  std::vector<Variant> Items;

  Integer HighBound() const { return LowBound + static_cast<Integer>(Items.size()) - 1; }
};

// Reads of the stored payload; the caller has checked the stored type.
struct TVarAccess {
  static TVarType Stored(const Variant& v) { return v.FType; }  // varArray for any array
  static Int64 Int(const Variant& v) { return v.FInt; }
  static double Dbl(const Variant& v) { return v.FDouble; }
  static const String& Str(const Variant& v) { return v.FStr; }
  static const WideString& WStr(const Variant& v) { return v.FWStr; }
  static const TVarArrayData& Array(const Variant& v) { return *v.FArray; }
};

// A Currency's raw value is the amount times this.
constexpr Int64 KCurrencyScale = 10000;

// The families the conversion and operator rules are written for.
enum class TVarClass { Empty, Null, Ordinal, Boolean, Float, Currency, Date, Text, Array };
TVarClass VarClassOf(const Variant& v);
bool IsOrdinalType(TVarType type);

[[noreturn]] void VarCastError(TVarType from, TVarType to);
[[noreturn]] void VarOverflowError(TVarType from, TVarType to);
[[noreturn]] void VarInvalidOpError();
[[noreturn]] void VarBadTypeError();

// Conversions of a non-Null value, by the rules of VarAsType. `target` names the type in errors
// and, for ordinals, gives the range.
Int64 VarToOrdinal(const Variant& v, TVarType target);
double VarToFloat(const Variant& v, TVarType target);  // varSingle, varDouble or varDate
Int64 VarToCurrencyRaw(const Variant& v);
bool VarToBoolean(const Variant& v);
String VarToAnsiText(const Variant& v);
WideString VarToWideText(const Variant& v);

// Text read by the locale: integers (decimal or '$' hex), floats, Booleans and dates.
bool TextToInt64(const String& s, Int64& value);
bool TextToDouble(const String& s, double& value);
bool TextToBoolean(const String& s, bool& value);
bool TextToDate(const String& s, TDateTime& value);
