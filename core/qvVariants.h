// Variant helpers of the library (a total comparison that copes with Null, arrays and values
// that cannot be compared; equality and type tests; small array builders) and the tagged value
// stream with the typed little-endian helpers it is built from.
//
// Where the parts live: qvVariants.cpp (helpers and the tagged value stream),
// qvStreamHelpers.cpp (typed little-endian reads and writes, the 80-bit extended conversion).
#pragma once

#include "core/qvClasses.h"
#include "platform/rtl/Variants.h"

class TStream;

// ---------------------------------------------------------------------------------------------
// Typed stream helpers (little-endian; reading past the end raises EReadError). Lengths read from
// a stream are checked against the bytes left before anything is allocated.

String ReadAnsiString(TStream* AStream);  // int32 byte count, bytes
void WriteAnsiString(TStream* AStream, const String& AValue);
WideString ReadWideString(TStream* AStream);  // int32 character count, UTF-16 code units
void WriteWideString(TStream* AStream, const WideString& AValue);
bool ReadBoolean(TStream* AStream);
void WriteBoolean(TStream* AStream, bool AValue);
Byte ReadByte(TStream* AStream);
void WriteByte(TStream* AStream, Byte AValue);
ShortInt ReadShortInt(TStream* AStream);
void WriteShortInt(TStream* AStream, ShortInt AValue);
SmallInt ReadSmallInt(TStream* AStream);
void WriteSmallInt(TStream* AStream, SmallInt AValue);
Word ReadWord(TStream* AStream);
void WriteWord(TStream* AStream, Word AValue);
Integer ReadInteger(TStream* AStream);
void WriteInteger(TStream* AStream, Integer AValue);
Int64 ReadLargeInt(TStream* AStream);
void WriteLargeInt(TStream* AStream, Int64 AValue);
Currency ReadCurrency(TStream* AStream);  // the fixed-point integer, value x 10000
void WriteCurrency(TStream* AStream, Currency AValue);
double ReadDouble(TStream* AStream);
void WriteDouble(TStream* AStream, double AValue);
float ReadSingle(TStream* AStream);
void WriteSingle(TStream* AStream, float AValue);
TDateTime ReadDateTime(TStream* AStream);  // IEEE double
void WriteDateTime(TStream* AStream, TDateTime AValue);

// The 10 bytes of an 80-bit extended value, in stream order.
struct TqvExtended80 {
  Byte Bytes[10];
};
TqvExtended80 DoubleToExtended(double AValue);  // exact
// False when the value lies beyond the double range.
bool ExtendedToDouble(const TqvExtended80& AValue, double& AResult);

// ---------------------------------------------------------------------------------------------
// Comparisons and tests

// Total three-way comparison: arrays element by element, Null before everything, equal values
// (by the Variant equality, which converts) 0; NaN after Null and before every number. Two values
// that cannot be compared give -1 in both orders, so this is no strict weak order: use it only in
// the library's own sorts and searches.
Integer VarCompareEx(const Variant& A, const Variant& B);
Integer CompareVariantArrays(const Variant& A, const Variant& B);
bool VarEquals(const Variant& A, const Variant& B);
// As VarEquals, but a Boolean against a non-Null value compares as text ("True" = "True").
bool VarEqualsBooleanAware(const Variant& A, const Variant& B);
bool VarIsDateEx(const Variant& A);
bool VarIsNumericEx(const Variant& A);
bool VarIsSoftNull(const Variant& A);  // Null or the empty text

// True for the errors a Variant conversion raises (cast or overflow).
bool IsVariantConversionError(const std::exception& E);

// Arrays [0..n] of Variants.
Variant VarArrayOfOne(const Variant& A);
Variant VarArrayOfTwo(const Variant& A, const Variant& B);
void VarArrayAppend(Variant& AArray, const Variant& A);

// ---------------------------------------------------------------------------------------------
// Tagged value stream: one tag byte and its payload per value. Counts and lengths are checked
// against the bytes left; a malformed stream raises EReadError "Stream read error".

Variant ReadVariant(TStream* AStream);
void WriteVariant(TStream* AStream, const Variant& AValue);
