#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "core/qvDataStorage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"

namespace {

// Places sit unaligned inside record buffers: every access goes through memcpy.
template <class T>
T Load(const void* APlace) {
  T value;
  std::memcpy(&value, APlace, sizeof(T));
  return value;
}

template <class T>
void Store(void* APlace, const T& AValue) {
  std::memcpy(APlace, &AValue, sizeof(T));
}

template <class T>
T* LoadHolder(const void* APlace) {
  return Load<T*>(APlace);
}

template <class T>
Integer Sign(T ADifference) {
  return ADifference < 0 ? -1 : (ADifference > 0 ? 1 : 0);
}

template <class T>
Integer CompareOrdered(const T& A, const T& B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

// A nil holder (never written) sorts before any value.
template <class T, class Cmp>
Integer CompareHolders(const T* A, const T* B, Cmp ACompare) {
  if (!A || !B) return (A ? 1 : 0) - (B ? 1 : 0);
  return ACompare(*A, *B);
}

// Assigns AValue to the holder in APlace, making the holder on first use.
template <class T>
void AssignHolder(void* APlace, T&& AValue) {
  using Plain = std::decay_t<T>;
  Plain* holder = LoadHolder<Plain>(APlace);
  if (holder)
    *holder = std::forward<T>(AValue);
  else
    Store(APlace, new Plain(std::forward<T>(AValue)));
}

template <class T>
void FreeHolder(void* APlace) {
  delete LoadHolder<T>(APlace);
  Store<T*>(APlace, nullptr);
}

Integer CompareDoubles(double A, double B) {
  bool nanA = std::isnan(A);
  bool nanB = std::isnan(B);
  if (nanA || nanB) return (nanA ? 0 : 1) - (nanB ? 0 : 1);
  if (A == B) return 0;
  return A >= B ? 1 : -1;
}

}  // namespace

#define QJ_IMPLEMENT_VALUE_TYPE(Cls)      \
  TqvValueTypeClass Cls::Class() {        \
    static const Cls instance;            \
    return &instance;                     \
  }

QJ_IMPLEMENT_VALUE_TYPE(TqvStringValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvWideStringValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvSmallintValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvIntegerValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvObjectValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvWordValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvBooleanValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvFloatValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvCurrencyValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvDateTimeValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvLargeIntValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvFMTBcdValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvSQLTimeStampValueType)
QJ_IMPLEMENT_VALUE_TYPE(TqvVariantValueType)

// ---------------------------------------------------------------------------------------------
// TqvValueType

QJ_IMPLEMENT_VALUE_TYPE(TqvValueType)

bool TqvValueType::InheritsFrom(TqvValueTypeClass AClass) const {
  for (TqvValueTypeClass c = this; c; c = c->ClassParent())
    if (c == AClass) return true;
  return false;
}

Integer TqvValueType::Compare(const void* APlace1, const void* APlace2) const {
  return CompareValues(APlace1, APlace2);
}

void TqvValueType::FreeBuffer(void*) const {}

Variant TqvValueType::GetValue(const void*) const { return Null(); }

String TqvValueType::GetDisplayText(const void* APlace) const {
  try {
    return VarToStr(GetValue(APlace));
  } catch (const EVariantError& e) {
    if (IsVariantConversionError(e)) return String();
    throw;
  }
}

String TqvValueType::GetStoredText(const void* ATextPlace) const {
  const String* holder = LoadHolder<String>(ATextPlace);
  return holder ? *holder : String();
}

void TqvValueType::ReadValue(void* APlace, TStream* AStream) const {
  SetValue(APlace, ReadVariant(AStream));
}

void TqvValueType::ReadStoredText(void* ATextPlace, TStream* AStream) const {
  SetStoredText(ATextPlace, ReadAnsiString(AStream));
}

void TqvValueType::SetValue(void*, const Variant&) const {}

void TqvValueType::SetStoredText(void* ATextPlace, const String& AText) const {
  AssignHolder(ATextPlace, String(AText));
}

void TqvValueType::FreeStoredText(void* ATextPlace) { FreeHolder<String>(ATextPlace); }

void TqvValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteVariant(AStream, GetValue(APlace));
}

void TqvValueType::WriteStoredText(const void* ATextPlace, TStream* AStream) const {
  WriteAnsiString(AStream, GetStoredText(ATextPlace));
}

Integer TqvValueType::CompareValues(const void* AData1, const void* AData2) const {
  return VarCompareEx(GetValue(AData1), GetValue(AData2));
}

bool TqvValueType::IsValueValid(const Variant& AValue) const {
  if (VarIsNull(AValue) || GetVarType() == varVariant) return true;
  try {
    VarAsType(AValue, GetVarType());
    return true;
  } catch (const EVariantError& e) {
    if (IsVariantConversionError(e)) return false;
    throw;
  }
}

// ---------------------------------------------------------------------------------------------
// Strings

// The packed place of an 8-bit string (see TqvStringValueType).
namespace {

constexpr Integer kPackedSize = TqvStringValueType::kPlaceSize;
constexpr Byte kPackedHeap = TqvStringValueType::kHeapTag;
constexpr size_t kPackedInlineMax = TqvStringValueType::kInlineMax;

Byte PackedTag(const void* APlace) { return *static_cast<const Byte*>(APlace); }

String* PackedHeap(const void* APlace) {
  return Load<String*>(static_cast<const Byte*>(APlace) + kPackedSize - sizeof(String*));
}

bool PackedIsNil(const void* APlace) { return PackedTag(APlace) == 0; }

std::string_view PackedView(const void* APlace) {
  bool nil;
  return TqvStringValueType::PlaceText(APlace, nil);
}

void PackedFree(void* APlace) {
  if (PackedTag(APlace) == kPackedHeap) delete PackedHeap(APlace);
  std::memset(APlace, 0, kPackedSize);
}

void PackedAssign(void* APlace, String&& AValue) {
  Byte* place = static_cast<Byte*>(APlace);
  if (PackedTag(place) == kPackedHeap && AValue.size() > kPackedInlineMax) {
    *PackedHeap(place) = std::move(AValue);
    return;
  }
  String* heap = AValue.size() > kPackedInlineMax ? new String(std::move(AValue)) : nullptr;
  if (PackedTag(place) == kPackedHeap) delete PackedHeap(place);
  std::memset(place, 0, kPackedSize);
  if (heap) {
    place[0] = kPackedHeap;
    Store(place + kPackedSize - sizeof(String*), heap);
  } else {
    place[0] = static_cast<Byte>(AValue.size() + 1);
    if (!AValue.empty()) std::memcpy(place + 1, AValue.data(), AValue.size());
  }
}

}  // namespace

Integer TqvStringValueType::Compare(const void* APlace1, const void* APlace2) const {
  return CompareValues(GetDataPointer(APlace1), GetDataPointer(APlace2));
}

void TqvStringValueType::FreeBuffer(void* APlace) const { PackedFree(APlace); }

Integer TqvStringValueType::GetDataSize() const { return kPackedSize; }

Variant TqvStringValueType::GetValue(const void* APlace) const { return GetDataValue(APlace); }

String TqvStringValueType::GetDisplayText(const void* APlace) const {
  if (!HasTextView()) return TqvValueType::GetDisplayText(APlace);  // descendants of another layout
  bool nil;
  std::string_view text = GetTextView(GetDataPointer(APlace), nil);
  return nil ? String() : String(text);
}

void TqvStringValueType::ReadValue(void* APlace, TStream* AStream) const {
  PackedAssign(APlace, ReadAnsiString(AStream));
}

void TqvStringValueType::SetValue(void* APlace, const Variant& AValue) const {
  PackedAssign(APlace, AValue.AsString());
}

void TqvStringValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteAnsiString(AStream, String(PackedView(APlace)));
}

// The data of a string is its place: nil (never written) before any text, then byte order.
Integer TqvStringValueType::CompareValues(const void* AData1, const void* AData2) const {
  bool nil1 = PackedIsNil(AData1);
  bool nil2 = PackedIsNil(AData2);
  if (nil1 || nil2) return (nil1 ? 0 : 1) - (nil2 ? 0 : 1);
  return Sign(PackedView(AData1).compare(PackedView(AData2)));
}

Variant TqvStringValueType::GetDataValue(const void* AData) const {
  if (PackedIsNil(AData)) return Null();
  return Variant(String(PackedView(AData)));
}

const void* TqvStringValueType::GetDataPointer(const void* APlace) const { return APlace; }

std::string_view TqvStringValueType::GetTextView(const void* AData, bool& ANil) const {
  ANil = PackedIsNil(AData);
  return PackedView(AData);
}

Integer TqvWideStringValueType::Compare(const void* APlace1, const void* APlace2) const {
  return CompareValues(GetDataPointer(APlace1), GetDataPointer(APlace2));
}

void TqvWideStringValueType::FreeBuffer(void* APlace) const { FreeHolder<WideString>(APlace); }

Integer TqvWideStringValueType::GetDataSize() const { return sizeof(void*); }

const void* TqvWideStringValueType::GetDataPointer(const void* APlace) const {
  return LoadHolder<const void>(APlace);
}

Variant TqvWideStringValueType::GetValue(const void* APlace) const {
  return GetDataValue(GetDataPointer(APlace));
}

void TqvWideStringValueType::ReadValue(void* APlace, TStream* AStream) const {
  AssignHolder(APlace, ReadWideString(AStream));
}

void TqvWideStringValueType::SetValue(void* APlace, const Variant& AValue) const {
  AssignHolder(APlace, AValue.AsWideString());
}

void TqvWideStringValueType::WriteValue(const void* APlace, TStream* AStream) const {
  const WideString* holder = LoadHolder<WideString>(APlace);
  WriteWideString(AStream, holder ? *holder : WideString());
}

Integer TqvWideStringValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareHolders(static_cast<const WideString*>(AData1), static_cast<const WideString*>(AData2),
                        [](const WideString& a, const WideString& b) { return Sign(a.compare(b)); });
}

Variant TqvWideStringValueType::GetDataValue(const void* AData) const {
  const WideString* holder = static_cast<const WideString*>(AData);
  return holder ? Variant(*holder) : Null();
}

// ---------------------------------------------------------------------------------------------
// Integers

Variant TqvSmallintValueType::GetValue(const void* APlace) const {
  return Variant(static_cast<short>(Load<int16_t>(APlace)));
}

void TqvSmallintValueType::ReadValue(void* APlace, TStream* AStream) const {
  Store(APlace, ReadSmallInt(AStream));
}

void TqvSmallintValueType::SetValue(void* APlace, const Variant& AValue) const {
  Integer value = AValue.AsInteger();
  Store(APlace, static_cast<int16_t>(value));
}

void TqvSmallintValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteSmallInt(AStream, Load<int16_t>(APlace));
}

Integer TqvSmallintValueType::CompareValues(const void* AData1, const void* AData2) const {
  return Load<int16_t>(AData1) - Load<int16_t>(AData2);
}

Variant TqvIntegerValueType::GetValue(const void* APlace) const {
  return Variant(static_cast<int>(Load<int32_t>(APlace)));
}

void TqvIntegerValueType::ReadValue(void* APlace, TStream* AStream) const {
  Store(APlace, ReadInteger(AStream));
}

void TqvIntegerValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, static_cast<int32_t>(AValue.AsInteger()));
}

void TqvIntegerValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteInteger(AStream, Load<int32_t>(APlace));
}

Integer TqvIntegerValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareOrdered(Load<int32_t>(AData1), Load<int32_t>(AData2));
}

void TqvObjectValueType::FreeBuffer(void* APlace) const {
  TObject* object = GetObject(APlace);
  SetObject(APlace, nullptr);
  Free(object);
}

Integer TqvObjectValueType::GetDataSize() const { return sizeof(TObject*); }

Variant TqvObjectValueType::GetValue(const void* APlace) const {
  return Variant(static_cast<long long>(reinterpret_cast<intptr_t>(GetObject(APlace))));
}

void TqvObjectValueType::SetValue(void* APlace, const Variant& AValue) const {
  Int64 address = AValue.AsInt64();
  SetObject(APlace, reinterpret_cast<TObject*>(static_cast<intptr_t>(address)));
}

Integer TqvObjectValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareOrdered(reinterpret_cast<uintptr_t>(GetObject(AData1)),
                        reinterpret_cast<uintptr_t>(GetObject(AData2)));
}

TObject* TqvObjectValueType::GetObject(const void* APlace) { return Load<TObject*>(APlace); }

void TqvObjectValueType::SetObject(void* APlace, TObject* AObject) { Store(APlace, AObject); }

Variant TqvWordValueType::GetValue(const void* APlace) const {
  return Variant(static_cast<unsigned short>(Load<uint16_t>(APlace)));
}

void TqvWordValueType::ReadValue(void* APlace, TStream* AStream) const { Store(APlace, ReadWord(AStream)); }

void TqvWordValueType::SetValue(void* APlace, const Variant& AValue) const {
  Integer value = AValue.AsInteger();
  Store(APlace, static_cast<uint16_t>(value));
}

void TqvWordValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteWord(AStream, Load<uint16_t>(APlace));
}

Integer TqvWordValueType::CompareValues(const void* AData1, const void* AData2) const {
  return Integer{Load<uint16_t>(AData1)} - Integer{Load<uint16_t>(AData2)};
}

Variant TqvLargeIntValueType::GetValue(const void* APlace) const {
  return Variant(static_cast<long long>(Load<int64_t>(APlace)));
}

void TqvLargeIntValueType::ReadValue(void* APlace, TStream* AStream) const {
  Store(APlace, ReadLargeInt(AStream));
}

void TqvLargeIntValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, static_cast<int64_t>(AValue.AsInt64()));
}

void TqvLargeIntValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteLargeInt(AStream, Load<int64_t>(APlace));
}

Integer TqvLargeIntValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareOrdered(Load<int64_t>(AData1), Load<int64_t>(AData2));
}

// ---------------------------------------------------------------------------------------------
// Boolean, floats, currency, dates

Variant TqvBooleanValueType::GetValue(const void* APlace) const { return Variant(Load<uint8_t>(APlace) != 0); }

String TqvBooleanValueType::GetDisplayText(const void* APlace) const {
  return Load<uint8_t>(APlace) != 0 ? "True" : "False";
}

void TqvBooleanValueType::ReadValue(void* APlace, TStream* AStream) const {
  Store<uint8_t>(APlace, ReadBoolean(AStream) ? 1 : 0);
}

void TqvBooleanValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store<uint8_t>(APlace, AValue.AsBoolean() ? 1 : 0);
}

void TqvBooleanValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteBoolean(AStream, Load<uint8_t>(APlace) != 0);
}

Integer TqvBooleanValueType::CompareValues(const void* AData1, const void* AData2) const {
  return Integer{Load<uint8_t>(AData1)} - Integer{Load<uint8_t>(AData2)};
}

Variant TqvFloatValueType::GetValue(const void* APlace) const { return Variant(Load<double>(APlace)); }

void TqvFloatValueType::ReadValue(void* APlace, TStream* AStream) const { Store(APlace, ReadDouble(AStream)); }

void TqvFloatValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, AValue.AsDouble());
}

void TqvFloatValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteDouble(AStream, Load<double>(APlace));
}

Integer TqvFloatValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareDoubles(Load<double>(AData1), Load<double>(AData2));
}

Variant TqvDateTimeValueType::GetValue(const void* APlace) const {
  return VarFromDateTime(Load<double>(APlace));
}

Variant TqvCurrencyValueType::GetValue(const void* APlace) const {
  return Variant(Currency::FromRaw(Load<int64_t>(APlace)));
}

void TqvCurrencyValueType::ReadValue(void* APlace, TStream* AStream) const {
  Store(APlace, static_cast<int64_t>(ReadCurrency(AStream).Value));
}

void TqvCurrencyValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, static_cast<int64_t>(AValue.AsCurrency().Value));
}

void TqvCurrencyValueType::WriteValue(const void* APlace, TStream* AStream) const {
  WriteCurrency(AStream, Currency::FromRaw(Load<int64_t>(APlace)));
}

Integer TqvCurrencyValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareOrdered(Load<int64_t>(AData1), Load<int64_t>(AData2));
}

// ---------------------------------------------------------------------------------------------
// Packed decimals

namespace {

constexpr Byte kBcdNegative = 0x80;
constexpr Byte kBcdScaleMask = 0x3F;
constexpr int kBcdMaxDigits = 64;

Byte BcdDigit(const TqvBcd& AValue, int AIndex) {
  Byte pair = AValue.Fraction[AIndex / 2];
  return AIndex % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

void SetBcdDigit(TqvBcd& AValue, int AIndex, Byte ADigit) {
  Byte& pair = AValue.Fraction[AIndex / 2];
  pair = AIndex % 2 == 0 ? static_cast<Byte>((pair & 0x0F) | (ADigit << 4))
                         : static_cast<Byte>((pair & 0xF0) | ADigit);
}

}  // namespace

TqvBcd DoubleToBcd(double AValue) {
  TqvBcd result;
  if (!std::isfinite(AValue) || AValue == 0) {
    result.Precision = 1;
    return result;
  }
  // d.dddddddddddddde+XX: 15 significant digits and a decimal exponent.
  char text[40];
  auto [end, ec] = std::to_chars(text, text + sizeof(text), std::fabs(AValue),
                                 std::chars_format::scientific, 14);
  if (ec != std::errc()) throw EVariantOverflowError("Value out of decimal range");
  String digits;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  int exponent = 0;
  const char* exponentText = p + 1;
  if (exponentText < end && *exponentText == '+') ++exponentText;
  std::from_chars(exponentText, end, exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int intDigits = exponent + 1;  // digits before the decimal point
  int scale = std::max(0, static_cast<int>(digits.size()) - intDigits);
  if (intDigits < 0) digits.insert(0, static_cast<size_t>(-intDigits), '0');
  int total = std::max(intDigits, 0) + scale;
  if (intDigits > static_cast<int>(digits.size())) digits.append(intDigits - digits.size(), '0');
  if (total > kBcdMaxDigits || scale > kBcdScaleMask)
    throw EVariantOverflowError("Value out of decimal range");
  for (int i = 0; i < total; ++i) SetBcdDigit(result, i, static_cast<Byte>(digits[i] - '0'));
  result.Precision = static_cast<Byte>(total);
  result.SignSpecialPlaces = static_cast<Byte>(scale | (AValue < 0 ? kBcdNegative : 0));
  return result;
}

double BcdToDouble(const TqvBcd& AValue) {
  String text = (AValue.SignSpecialPlaces & kBcdNegative) ? "-" : "";
  int precision = std::min<int>(AValue.Precision, kBcdMaxDigits);
  int scale = AValue.SignSpecialPlaces & kBcdScaleMask;
  for (int i = 0; i < precision; ++i) {
    if (i == precision - scale) text += '.';
    text += static_cast<char>('0' + BcdDigit(AValue, i) % 10);
  }
  text += "e0";
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

Integer BcdCompare(const TqvBcd& A, const TqvBcd& B) { return CompareDoubles(BcdToDouble(A), BcdToDouble(B)); }

Variant TqvFMTBcdValueType::GetValue(const void* APlace) const {
  return Variant(BcdToDouble(Load<TqvBcd>(APlace)));
}

void TqvFMTBcdValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, DoubleToBcd(AValue.AsDouble()));
}

Integer TqvFMTBcdValueType::CompareValues(const void* AData1, const void* AData2) const {
  return BcdCompare(Load<TqvBcd>(AData1), Load<TqvBcd>(AData2));
}

// ---------------------------------------------------------------------------------------------
// Time stamps

TqvSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime AValue) {
  Word year, month, day, hour, minute, second, msec;
  DecodeDateTime(AValue, year, month, day, hour, minute, second, msec);
  TqvSQLTimeStamp result;
  result.Year = static_cast<int16_t>(year);
  result.Month = month;
  result.Day = day;
  result.Hour = hour;
  result.Minute = minute;
  result.Second = second;
  result.Fractions = msec;
  return result;
}

TDateTime SQLTimeStampToDateTime(const TqvSQLTimeStamp& AValue) {
  if (AValue.Year == 0 && AValue.Month == 0 && AValue.Day == 0) return 0;
  return EncodeDateTime(static_cast<Word>(AValue.Year), AValue.Month, AValue.Day, AValue.Hour,
                        AValue.Minute, AValue.Second, static_cast<Word>(AValue.Fractions));
}

Variant TqvSQLTimeStampValueType::GetValue(const void* APlace) const {
  return VarFromDateTime(SQLTimeStampToDateTime(Load<TqvSQLTimeStamp>(APlace)));
}

void TqvSQLTimeStampValueType::SetValue(void* APlace, const Variant& AValue) const {
  Store(APlace, DateTimeToSQLTimeStamp(AValue.AsDateTime()));
}

Integer TqvSQLTimeStampValueType::CompareValues(const void* AData1, const void* AData2) const {
  TqvSQLTimeStamp a = Load<TqvSQLTimeStamp>(AData1);
  TqvSQLTimeStamp b = Load<TqvSQLTimeStamp>(AData2);
  const Int64 fieldsA[] = {a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second, a.Fractions};
  const Int64 fieldsB[] = {b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second, b.Fractions};
  for (size_t i = 0; i < std::size(fieldsA); ++i)
    if (fieldsA[i] != fieldsB[i]) return Sign(fieldsA[i] - fieldsB[i]);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Variants

Integer TqvVariantValueType::Compare(const void* APlace1, const void* APlace2) const {
  return CompareValues(GetDataPointer(APlace1), GetDataPointer(APlace2));
}

void TqvVariantValueType::FreeBuffer(void* APlace) const { FreeHolder<Variant>(APlace); }

Integer TqvVariantValueType::GetDataSize() const { return sizeof(void*); }

Variant TqvVariantValueType::GetValue(const void* APlace) const {
  return GetDataValue(GetDataPointer(APlace));
}

void TqvVariantValueType::SetValue(void* APlace, const Variant& AValue) const {
  AssignHolder(APlace, Variant(AValue));
}

Integer TqvVariantValueType::CompareValues(const void* AData1, const void* AData2) const {
  return CompareHolders(static_cast<const Variant*>(AData1), static_cast<const Variant*>(AData2),
                        [](const Variant& a, const Variant& b) { return VarCompareEx(a, b); });
}

Variant TqvVariantValueType::GetDataValue(const void* AData) const {
  const Variant* holder = static_cast<const Variant*>(AData);
  return holder ? *holder : Null();
}

const void* TqvVariantValueType::GetDataPointer(const void* APlace) const {
  return LoadHolder<const void>(APlace);
}
