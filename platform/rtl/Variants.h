// Variant: a tagged value with the original platform's type codes and conversion rules.
//
// Null and Empty are different things: Empty reads as 0, "" or False, while converting Null to
// anything but a Variant raises EVariantTypeCastError (VarToStr is the exception: Null gives "").
// Text converts to numbers and dates through the locale (FormatSettings), to Booleans from
// "True"/"False" in any case or a number; Booleans read as -1/0 and write as "True"/"False".
// A Single shows 7 significant digits as text, a Double 15.
//
// Comparison: Null = Null, and Null is below every other value; Empty compares as the other
// side's zero (0, "" or False); text against a number, a Boolean or a date is converted to that
// family ("5" == 5), two texts compare by the code page's collation, case-sensitively; False <
// True. It is NOT a strict weak order (Null, conversions, NaN unordered, and a failed conversion
// raises): never hand Variants to std::sort or std::map; use the library's bounds-checked sorts.
//
// Arithmetic: Null gives Null; text + text concatenates, other text reads as a Double; integer
// results widen on overflow (Integer -> Int64 -> Double); Currency overflow raises; '/' gives a
// Double; date +/- number stays a date, date - date is a Double.
//
// Copies are cheap: strings are copied by value (short ones stay inline), arrays are shared and
// copied on the first write, so an array copy behaves as an independent value.
//
// Where the parts live: Variants.cpp (the value, arrays, type names), VariantConvert.cpp
// (conversions between the types), VariantOps.cpp (comparison and arithmetic).
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/rtl/SysUtils.h"

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;  // element type of arrays holding any value
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;  // 8-bit String
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

QJ_EXCEPTION(EVariantOverflowError, EVariantError)   // a value does not fit the target type
QJ_EXCEPTION(EVariantInvalidOpError, EVariantError)  // an operator does not apply to the types
QJ_EXCEPTION(EVariantBadVarTypeError, EVariantError) // an unknown type code

struct TVarArrayData;

class Variant {
 public:
  Variant() noexcept : FType(varEmpty), FInt(0) {}
  Variant(bool v) noexcept : FType(varBoolean), FInt(v ? 1 : 0) {}
  Variant(signed char v) noexcept : FType(varShortInt), FInt(v) {}
  Variant(unsigned char v) noexcept : FType(varByte), FInt(v) {}
  Variant(short v) noexcept : FType(varSmallint), FInt(v) {}
  Variant(unsigned short v) noexcept : FType(varWord), FInt(v) {}
  Variant(int v) noexcept : FType(varInteger), FInt(v) {}
  Variant(unsigned v) noexcept : FType(varLongWord), FInt(v) {}
  Variant(long v) noexcept : FType(varInt64), FInt(v) {}
  Variant(long long v) noexcept : FType(varInt64), FInt(v) {}
  // Values above the Int64 range become Double (the platform has no unsigned 64-bit type here).
  Variant(unsigned long v) noexcept;
  Variant(unsigned long long v) noexcept;
  Variant(float v) noexcept : FType(varSingle), FDouble(v) {}
  Variant(double v) noexcept : FType(varDouble), FDouble(v) {}
  Variant(Currency v) noexcept : FType(varCurrency), FInt(v.Value) {}
  Variant(char v) : FType(varString), FStr(1, v) {}
  Variant(const char* v) : FType(varString), FStr(v ? v : "") {}
  Variant(const String& v) : FType(varString), FStr(v) {}
  Variant(String&& v) noexcept : FType(varString), FStr(std::move(v)) {}
  Variant(const char16_t* v) : FType(varOleStr), FWStr(v ? v : u"") {}
  Variant(const WideString& v) : FType(varOleStr), FWStr(v) {}
  Variant(WideString&& v) noexcept : FType(varOleStr), FWStr(std::move(v)) {}

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() {
    if (HoldsPayload()) ReleasePayload();
  }
  // Pointers other than text would silently become Booleans.
  template <class T>
  Variant(T*) = delete;
  Variant(char* v) : Variant(static_cast<const char*>(v)) {}

  static Variant Null();
  static Variant FromDateTime(TDateTime d);
  // A value of an ordinal, Boolean (0/1) or Currency type from its stored integer, and of a
  // Single, Double or Date type from its double. The caller has checked the range.
  static Variant FromRaw(TVarType type, Int64 raw);
  static Variant FromRawDouble(TVarType type, double raw);
  // An array of the given element type and bounds; elements start as that type's zero.
  static Variant CreateArray(Integer lowBound, Integer highBound, TVarType elemType);

  TVarType VarType() const;
  bool IsNull() const { return FType == varNull; }
  bool IsEmpty() const { return FType == varEmpty; }
  bool IsArray() const { return FType == varArray; }
  // Back to Empty.
  void Clear();

  // Conversions by the platform's rules; EVariantTypeCastError when the value cannot convert,
  // EVariantOverflowError when it does not fit.
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  bool AsBoolean() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  String AsString() const;
  WideString AsWideString() const;

  // Arrays (one dimension). Indexes are between the bounds; EVariantArrayError otherwise, or
  // when the value is not an array.
  Integer ArrayLowBound() const;
  Integer ArrayHighBound() const;
  Variant GetElement(Integer index) const;
  void SetElement(Integer index, const Variant& value);
  void RedimArray(Integer highBound);

  // Operators (found only when one side is a Variant). Null in arithmetic gives Null;
  // Null = Null, and Null is below every other value.
  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator!=(const Variant& a, const Variant& b);
  friend bool operator<(const Variant& a, const Variant& b);
  friend bool operator<=(const Variant& a, const Variant& b);
  friend bool operator>(const Variant& a, const Variant& b);
  friend bool operator>=(const Variant& a, const Variant& b);
  friend Variant operator+(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a, const Variant& b);
  friend Variant operator*(const Variant& a, const Variant& b);
  friend Variant operator/(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a);
  Variant& operator+=(const Variant& v);
  Variant& operator-=(const Variant& v);
  Variant& operator*=(const Variant& v);
  Variant& operator/=(const Variant& v);

 private:
  friend struct TVarAccess;  // payload reads of the conversion and operator code

  bool HoldsPayload() const { return FType == varString || FType == varOleStr || FType == varArray; }
  void ReleasePayload() noexcept;
  void CopyFrom(const Variant& other);
  void MoveFrom(Variant& other) noexcept;
  TVarArrayData& MutableArray();

  // Ordinal types and Booleans (0/1) hold their value in FInt, Currency its raw amount;
  // Single, Double and Date hold a double. varArray marks the array payload.
  TVarType FType;
  union {
    Int64 FInt;
    double FDouble;
    String FStr;
    WideString FWStr;
    std::shared_ptr<TVarArrayData> FArray;
  };
};

Variant Null();
Variant Unassigned();

TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsNumeric(const Variant& v);  // ordinal (Boolean included) or float types
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);    // Single, Double, Currency
bool VarIsStr(const Variant& v);
// The type's name as the platform writes it in messages: "Integer", "String", "Array Variant".
String VarTypeAsText(TVarType type);

// Converts to the type code; varVariant returns the value unchanged.
Variant VarAsType(const Variant& v, TVarType type);
String VarToStr(const Variant& v);                          // Null gives ""
String VarToStrDef(const Variant& v, const String& def);    // Null gives def
WideString VarToWideStr(const Variant& v);                  // Null gives ""
TDateTime VarToDateTime(const Variant& v);
Variant VarFromDateTime(TDateTime d);

// Equal when both are Empty, both Null, or neither is and they compare equal (a failed
// conversion raises, as with ==).
bool VarSameValue(const Variant& a, const Variant& b);
// Empty and Null are equal only to themselves and otherwise vrNotEqual; NaN is vrNotEqual.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);

Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
Variant VarArrayCreate(Integer lowBound, Integer highBound, TVarType elemType);
Integer VarArrayDimCount(const Variant& v);  // 0 for a non-array
Integer VarArrayLowBound(const Variant& v, Integer dim);
Integer VarArrayHighBound(const Variant& v, Integer dim);
Variant VarArrayGet(const Variant& v, Integer index);
void VarArrayPut(Variant& v, const Variant& value, Integer index);
void VarArrayRedim(Variant& v, Integer highBound);

