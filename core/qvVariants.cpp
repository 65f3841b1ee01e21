#include "core/qvVariants.h"

#include <cmath>

#include "platform/rtl/Streams.h"

// ---------------------------------------------------------------------------------------------
// Comparisons and tests

bool IsVariantConversionError(const std::exception& E) {
  return dynamic_cast<const EVariantTypeCastError*>(&E) != nullptr ||
         dynamic_cast<const EVariantOverflowError*>(&E) != nullptr;
}

namespace {

bool IsNaNValue(const Variant& A) {
  TVarType t = VarType(A);
  return (t == varSingle || t == varDouble || t == varDate) && std::isnan(A.AsDouble());
}

// NaN has no place in the Variant order; it goes right after Null.
bool CompareNaN(const Variant& A, const Variant& B, Integer& AResult) {
  bool nanA = IsNaNValue(A);
  bool nanB = IsNaNValue(B);
  if (!nanA && !nanB) return false;
  if (nanA && nanB)
    AResult = 0;
  else if (nanA)
    AResult = VarIsNull(B) ? 1 : -1;
  else
    AResult = VarIsNull(A) ? -1 : 1;
  return true;
}

Integer CompareScalars(const Variant& A, const Variant& B) {
  Integer nanResult;
  if (CompareNaN(A, B, nanResult)) return nanResult;
  try {
    if (A == B) return 0;
    if (VarIsNull(A)) return -1;
    if (VarIsNull(B)) return 1;
    return A < B ? -1 : 1;
  } catch (const EVariantError& e) {
    if (IsVariantConversionError(e)) return -1;
    throw;
  }
}

}  // namespace

Integer CompareVariantArrays(const Variant& A, const Variant& B) {
  bool arrayA = VarIsArray(A);
  bool arrayB = VarIsArray(B);
  if (arrayA && !arrayB) return 1;
  if (!arrayA && arrayB) return -1;
  if (!arrayA) return VarCompareEx(A, B);
  Integer highA = VarArrayHighBound(A, 1);
  Integer highB = VarArrayHighBound(B, 1);
  if (highA != highB) return highA - highB;
  for (Integer i = 0; i <= highA; ++i) {
    Integer result = VarCompareEx(VarArrayGet(A, i), VarArrayGet(B, i));
    if (result != 0) return result;
  }
  return 0;
}

Integer VarCompareEx(const Variant& A, const Variant& B) {
  if (VarIsArray(A) || VarIsArray(B)) return CompareVariantArrays(A, B);
  return CompareScalars(A, B);
}

bool VarEquals(const Variant& A, const Variant& B) { return VarCompareEx(A, B) == 0; }

bool VarEqualsBooleanAware(const Variant& A, const Variant& B) {
  bool anyNull = VarIsNull(A) || VarIsNull(B);
  bool anyBoolean = VarType(A) == varBoolean || VarType(B) == varBoolean;
  if (anyNull || !anyBoolean) return VarEquals(A, B);
  try {
    return Variant(A.AsString()) == Variant(B.AsString());
  } catch (const EVariantError& e) {
    if (IsVariantConversionError(e)) return false;
    throw;
  }
}

bool VarIsDateEx(const Variant& A) { return VarType(A) == varDate; }

bool VarIsNumericEx(const Variant& A) { return VarIsNumeric(A); }

bool VarIsSoftNull(const Variant& A) {
  return VarIsNull(A) || (VarIsStr(A) && A.AsString().empty());
}

Variant VarArrayOfOne(const Variant& A) { return VarArrayOf(std::vector<Variant>{A}); }

Variant VarArrayOfTwo(const Variant& A, const Variant& B) {
  return VarArrayOf(std::vector<Variant>{A, B});
}

void VarArrayAppend(Variant& AArray, const Variant& A) {
  std::vector<Variant> items;
  if (VarIsArray(AArray)) {
    Integer low = VarArrayLowBound(AArray, 1);
    Integer high = VarArrayHighBound(AArray, 1);
    for (Integer i = low; i <= high; ++i) items.push_back(VarArrayGet(AArray, i));
  }
  items.push_back(A);
  AArray = VarArrayOf(items);
}

// ---------------------------------------------------------------------------------------------
// Tagged value stream

namespace {

enum : Byte {
  tagNull = 0,
  tagList = 1,
  tagInt8 = 2,
  tagInt16 = 3,
  tagInt32 = 4,
  tagExtended = 5,
  tagString = 6,
  tagFalse = 8,
  tagTrue = 9,
  tagLString = 12,
  tagEmpty = 13,
  tagSingle = 15,
  tagCurrency = 16,
  tagDate = 17,
  tagWString = 18,
};

// Arrays nested deeper than this are refused rather than exhausting the stack.
constexpr int kMaxArrayDepth = 64;

[[noreturn]] void RaiseReadError() { RaiseResourceError<EReadError>(&sqvDataReadError); }
[[noreturn]] void RaiseWriteError() { RaiseResourceError<EWriteError>(&sqvDataWriteError); }

Int64 RemainingBytes(TStream* AStream) { return AStream->GetSize() - AStream->GetPosition(); }

void CheckRemaining(TStream* AStream, Int64 ANeeded) {
  if (ANeeded < 0 || ANeeded > RemainingBytes(AStream)) RaiseReadError();
}

void WriteTaggedInteger(TStream* AStream, Integer AValue) {
  if (AValue >= -128 && AValue <= 127) {
    WriteByte(AStream, tagInt8);
    WriteShortInt(AStream, static_cast<ShortInt>(AValue));
  } else if (AValue >= -32768 && AValue <= 32767) {
    WriteByte(AStream, tagInt16);
    WriteSmallInt(AStream, static_cast<SmallInt>(AValue));
  } else {
    WriteByte(AStream, tagInt32);
    WriteInteger(AStream, AValue);
  }
}

void WriteTaggedString(TStream* AStream, const String& AValue) {
  if (AValue.size() <= 255) {
    WriteByte(AStream, tagString);
    WriteByte(AStream, static_cast<Byte>(AValue.size()));
    if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Integer>(AValue.size()));
  } else {
    WriteByte(AStream, tagLString);
    WriteAnsiString(AStream, AValue);
  }
}

void WriteTaggedArray(TStream* AStream, const Variant& AValue) {
  if (VarArrayDimCount(AValue) != 1) RaiseWriteError();
  Integer low = VarArrayLowBound(AValue, 1);
  Integer high = VarArrayHighBound(AValue, 1);
  WriteByte(AStream, tagList);
  WriteTaggedInteger(AStream, high - low + 1);
  for (Integer i = low; i <= high; ++i) WriteVariant(AStream, VarArrayGet(AValue, i));
}

void WriteAsText(TStream* AStream, const Variant& AValue) {
  String text;
  try {
    text = AValue.AsString();
  } catch (const EVariantError&) {
    RaiseWriteError();
  }
  WriteTaggedString(AStream, text);
}

String ReadShortString(TStream* AStream) {
  Byte length = ReadByte(AStream);
  CheckRemaining(AStream, length);
  String result(length, '\0');
  if (length > 0) AStream->ReadBuffer(result.data(), length);
  return result;
}

Variant ReadTaggedValue(TStream* AStream, int ADepth);

Integer ReadArrayCount(TStream* AStream) {
  switch (ReadByte(AStream)) {
    case tagInt8: return ReadShortInt(AStream);
    case tagInt16: return ReadSmallInt(AStream);
    default: return ReadInteger(AStream);
  }
}

Variant ReadTaggedArray(TStream* AStream, int ADepth) {
  if (ADepth >= kMaxArrayDepth) RaiseReadError();
  Integer count = ReadArrayCount(AStream);
  CheckRemaining(AStream, count);  // every element takes at least its tag byte
  std::vector<Variant> items;
  items.reserve(static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) items.push_back(ReadTaggedValue(AStream, ADepth + 1));
  return VarArrayOf(items);
}

Variant ReadExtended(TStream* AStream) {
  TqvExtended80 raw;
  AStream->ReadBuffer(raw.Bytes, sizeof(raw.Bytes));
  double value;
  if (!ExtendedToDouble(raw, value)) RaiseReadError();
  return Variant(value);
}

Variant ReadTaggedValue(TStream* AStream, int ADepth) {
  switch (ReadByte(AStream)) {
    case tagNull: return Null();
    case tagList: return ReadTaggedArray(AStream, ADepth);
    case tagInt8: return Variant(static_cast<signed char>(ReadShortInt(AStream)));
    case tagInt16: return Variant(static_cast<short>(ReadSmallInt(AStream)));
    case tagInt32: return Variant(static_cast<int>(ReadInteger(AStream)));
    case tagExtended: return ReadExtended(AStream);
    case tagString: return Variant(ReadShortString(AStream));
    case tagFalse: return Variant(false);
    case tagTrue: return Variant(true);
    case tagLString: return Variant(ReadAnsiString(AStream));
    case tagEmpty: return Unassigned();
    case tagSingle: return Variant(ReadSingle(AStream));
    case tagCurrency: return Variant(ReadCurrency(AStream));
    case tagDate: return VarFromDateTime(ReadDateTime(AStream));
    case tagWString: return Variant(ReadWideString(AStream));
    default: RaiseReadError();
  }
}

}  // namespace

void WriteVariant(TStream* AStream, const Variant& AValue) {
  if (VarIsArray(AValue)) return WriteTaggedArray(AStream, AValue);
  switch (VarType(AValue)) {
    case varEmpty: return WriteByte(AStream, tagEmpty);
    case varNull: return WriteByte(AStream, tagNull);
    case varShortInt:
    case varSmallint:
    case varInteger:
    case varByte: return WriteTaggedInteger(AStream, AValue.AsInteger());
    case varSingle:
      WriteByte(AStream, tagSingle);
      return WriteSingle(AStream, static_cast<float>(AValue.AsDouble()));
    case varDouble: {
      WriteByte(AStream, tagExtended);
      TqvExtended80 raw = DoubleToExtended(AValue.AsDouble());
      return AStream->WriteBuffer(raw.Bytes, sizeof(raw.Bytes));
    }
    case varCurrency:
      WriteByte(AStream, tagCurrency);
      return WriteCurrency(AStream, AValue.AsCurrency());
    case varDate:
      WriteByte(AStream, tagDate);
      return WriteDateTime(AStream, AValue.AsDouble());
    case varOleStr:
      WriteByte(AStream, tagWString);
      return WriteWideString(AStream, AValue.AsWideString());
    case varBoolean: return WriteByte(AStream, AValue.AsBoolean() ? tagTrue : tagFalse);
    case varString: return WriteTaggedString(AStream, AValue.AsString());
    default: return WriteAsText(AStream, AValue);
  }
}

Variant ReadVariant(TStream* AStream) { return ReadTaggedValue(AStream, 0); }
