// Little-endian typed stream helpers and the 80-bit extended conversion of the tagged stream.
#include <bit>
#include <cmath>
#include <limits>

#include "core/qvVariants.h"
#include "platform/rtl/Streams.h"

namespace {

template <class T>
T ReadLE(TStream* AStream) {
  unsigned char bytes[sizeof(T)];
  AStream->ReadBuffer(bytes, sizeof(T));
  std::make_unsigned_t<T> raw = 0;
  for (size_t i = 0; i < sizeof(T); ++i)
    raw |= static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i);
  return static_cast<T>(raw);
}

template <class T>
void WriteLE(TStream* AStream, T AValue) {
  auto raw = static_cast<std::make_unsigned_t<T>>(AValue);
  unsigned char bytes[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(raw >> (8 * i));
  AStream->WriteBuffer(bytes, sizeof(T));
}

// A length read from the stream must fit in what is left of it.
Integer ReadCheckedLength(TStream* AStream, Integer AUnitSize) {
  Integer length = ReadLE<int32_t>(AStream);
  Int64 remaining = AStream->GetSize() - AStream->GetPosition();
  if (length < 0 || static_cast<Int64>(length) * AUnitSize > remaining)
    RaiseResourceError<EReadError>(&sqvDataReadError);
  return length;
}

}  // namespace

String ReadAnsiString(TStream* AStream) {
  Integer length = ReadCheckedLength(AStream, 1);
  String result(static_cast<size_t>(length), '\0');
  if (length > 0) AStream->ReadBuffer(result.data(), length);
  return result;
}

void WriteAnsiString(TStream* AStream, const String& AValue) {
  WriteLE<int32_t>(AStream, static_cast<int32_t>(AValue.size()));
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Integer>(AValue.size()));
}

WideString ReadWideString(TStream* AStream) {
  Integer length = ReadCheckedLength(AStream, 2);
  WideString result(static_cast<size_t>(length), u'\0');
  for (Integer i = 0; i < length; ++i) result[i] = static_cast<char16_t>(ReadLE<uint16_t>(AStream));
  return result;
}

void WriteWideString(TStream* AStream, const WideString& AValue) {
  WriteLE<int32_t>(AStream, static_cast<int32_t>(AValue.size()));
  for (char16_t c : AValue) WriteLE<uint16_t>(AStream, static_cast<uint16_t>(c));
}

bool ReadBoolean(TStream* AStream) { return ReadLE<uint8_t>(AStream) != 0; }
void WriteBoolean(TStream* AStream, bool AValue) { WriteLE<uint8_t>(AStream, AValue ? 1 : 0); }
Byte ReadByte(TStream* AStream) { return ReadLE<uint8_t>(AStream); }
void WriteByte(TStream* AStream, Byte AValue) { WriteLE<uint8_t>(AStream, AValue); }
ShortInt ReadShortInt(TStream* AStream) { return ReadLE<int8_t>(AStream); }
void WriteShortInt(TStream* AStream, ShortInt AValue) { WriteLE<int8_t>(AStream, AValue); }
SmallInt ReadSmallInt(TStream* AStream) { return ReadLE<int16_t>(AStream); }
void WriteSmallInt(TStream* AStream, SmallInt AValue) { WriteLE<int16_t>(AStream, AValue); }
Word ReadWord(TStream* AStream) { return ReadLE<uint16_t>(AStream); }
void WriteWord(TStream* AStream, Word AValue) { WriteLE<uint16_t>(AStream, AValue); }
Integer ReadInteger(TStream* AStream) { return ReadLE<int32_t>(AStream); }
void WriteInteger(TStream* AStream, Integer AValue) { WriteLE<int32_t>(AStream, AValue); }
Int64 ReadLargeInt(TStream* AStream) { return ReadLE<int64_t>(AStream); }
void WriteLargeInt(TStream* AStream, Int64 AValue) { WriteLE<int64_t>(AStream, AValue); }
Currency ReadCurrency(TStream* AStream) { return Currency::FromRaw(ReadLE<int64_t>(AStream)); }
void WriteCurrency(TStream* AStream, Currency AValue) { WriteLE<int64_t>(AStream, AValue.Value); }

double ReadDouble(TStream* AStream) { return std::bit_cast<double>(ReadLE<UInt64>(AStream)); }
void WriteDouble(TStream* AStream, double AValue) { WriteLE<UInt64>(AStream, std::bit_cast<UInt64>(AValue)); }
float ReadSingle(TStream* AStream) { return std::bit_cast<float>(ReadLE<uint32_t>(AStream)); }
void WriteSingle(TStream* AStream, float AValue) { WriteLE<uint32_t>(AStream, std::bit_cast<uint32_t>(AValue)); }
TDateTime ReadDateTime(TStream* AStream) { return ReadDouble(AStream); }
void WriteDateTime(TStream* AStream, TDateTime AValue) { WriteDouble(AStream, AValue); }

// ---------------------------------------------------------------------------------------------
// 80-bit extended: 64-bit mantissa with an explicit integer bit, 15-bit exponent (bias 16383),
// sign. Converted by hand so the result does not depend on the host's long double.

namespace {

constexpr int kDoubleBias = 1023;
constexpr int kExtendedBias = 16383;
constexpr UInt64 kIntegerBit = UInt64{1} << 63;

}  // namespace

TqvExtended80 DoubleToExtended(double AValue) {
  TqvExtended80 result{};
  UInt64 bits = std::bit_cast<UInt64>(AValue);
  uint16_t sign = static_cast<uint16_t>((bits >> 63) << 15);
  int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  UInt64 fraction = bits & ((UInt64{1} << 52) - 1);
  UInt64 mantissa = 0;
  uint16_t exp80 = 0;
  if (exponent == 0x7FF) {  // infinity or NaN
    exp80 = 0x7FFF;
    mantissa = kIntegerBit | (fraction << 11);
  } else if (exponent != 0) {
    exp80 = static_cast<uint16_t>(exponent - kDoubleBias + kExtendedBias);
    mantissa = kIntegerBit | (fraction << 11);
  } else if (fraction != 0) {  // a double denormal is a normal extended value
    int shift = std::countl_zero(fraction) - 11;  // bring the leading 1 to bit 52
    mantissa = (fraction << shift) << 11;
    exp80 = static_cast<uint16_t>(1 - kDoubleBias - shift + kExtendedBias);
  }
  for (int i = 0; i < 8; ++i) result.Bytes[i] = static_cast<Byte>(mantissa >> (8 * i));
  uint16_t top = static_cast<uint16_t>(sign | exp80);
  result.Bytes[8] = static_cast<Byte>(top & 0xFF);
  result.Bytes[9] = static_cast<Byte>(top >> 8);
  return result;
}

bool ExtendedToDouble(const TqvExtended80& AValue, double& AResult) {
  UInt64 mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | AValue.Bytes[i];
  uint16_t top = static_cast<uint16_t>(AValue.Bytes[8] | (AValue.Bytes[9] << 8));
  bool negative = (top & 0x8000) != 0;
  int exp80 = top & 0x7FFF;
  double magnitude;
  if (exp80 == 0x7FFF) {
    if ((mantissa << 1) == 0)
      magnitude = std::numeric_limits<double>::infinity();
    else
      magnitude = std::numeric_limits<double>::quiet_NaN();
  } else if (mantissa == 0) {
    magnitude = 0.0;
  } else {
    // value = mantissa * 2^(exp80 - bias - 63): the conversion of the 64-bit mantissa rounds
    // once to 53 bits, the scaling is exact in the double range.
    magnitude = std::ldexp(static_cast<double>(mantissa), exp80 - kExtendedBias - 63);
    if (std::isinf(magnitude)) return false;  // beyond the double range
  }
  AResult = negative ? -magnitude : magnitude;
  return true;
}
