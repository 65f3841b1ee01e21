#include "grid/qvGridCommon.h"

#include "core/qvClasses.h"
#include "core/qvFilter.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(EqvHexStringConvertError)

const TResourceString sqvGridHexTextError{64500, "\"%s\" is not a hexadecimal text"};
const TResourceString sqvGridBooleanTextError{64501, "\"%s\" is not a Boolean text"};
const TResourceString sqvGridSetTextError{64502, "\"%s\" is not a set text"};
const TResourceString sqvGridSetMemberError{64503, "Set member %d has no name"};
const TResourceString sqvGridSetSizeError{64504, "A set of %d bytes cannot be stored"};
const TResourceString sqvGridFilterValueError{64505, "\"%s\" is not a stored filter value"};

namespace {

constexpr size_t kNamedValueLength = 40;
constexpr Integer kMaxSetSize = 4;
constexpr Integer kBitsPerByte = 8;

// The value a message names: long texts (a whole filter stream) are cut.
String NamedValue(const String& AText) {
  if (AText.size() <= kNamedValueLength) return AText;
  return AText.substr(0, kNamedValueLength) + "...";
}

[[noreturn]] void RaiseNaming(const TResourceString& AMessage, const String& AText, bool AHexError) {
  const String message = Format(GetLocalizedResourceString(&AMessage), {NamedValue(AText)});
  if (AHexError) throw EqvHexStringConvertError(message);
  throw EPropertyConvertError(message);
}

Cardinal SetSizeMask(Integer ASize) {
  if (ASize < 1 || ASize > kMaxSetSize)
    throw EPropertyConvertError(Format(GetLocalizedResourceString(&sqvGridSetSizeError), {ASize}));
  return ASize == kMaxSetSize ? ~Cardinal{0} : (Cardinal{1} << (ASize * kBitsPerByte)) - 1;
}

bool IsBracketed(const String& AText) { return AText.size() >= 2 && AText.front() == '[' && AText.back() == ']'; }

}  // namespace

String StringToHex(const String& AData) {
  static const char kDigits[] = "0123456789ABCDEF";
  String result;
  result.reserve(AData.size() * 2);
  for (char c : AData) {
    const auto b = static_cast<unsigned char>(c);
    result += kDigits[b >> 4];
    result += kDigits[b & 0x0F];
  }
  return result;
}

// Every character is examined, the unpaired last one too: a text that is not hexadecimal is
// refused as a whole.
String HexToString(const String& AText) {
  for (char c : AText)
    if (HexDigitValue(c) < 0) RaiseNaming(sqvGridHexTextError, AText, true);
  String result;
  result.reserve(AText.size() / 2);
  for (size_t i = 0; i + 1 < AText.size(); i += 2)
    result += static_cast<char>(HexDigitValue(AText[i]) * 16 + HexDigitValue(AText[i + 1]));
  return result;
}

bool StringToBoolean(const String& AText) {
  const String text = UpperCase(AText);
  if (text == "TRUE") return true;
  if (text == "FALSE") return false;
  RaiseNaming(sqvGridBooleanTextError, AText, false);
}

Integer IndexOfName(const String& AText, const std::vector<String>& ANames) {
  for (size_t i = 0; i < ANames.size(); ++i)
    if (SameText(AText, ANames[i])) return static_cast<Integer>(i);
  return -1;
}

String SetToString(Cardinal ASet, Integer ASize, const std::vector<String>& ANames) {
  const Cardinal mask = ASet & SetSizeMask(ASize);
  String result = "[";
  bool first = true;
  for (Integer member = 0; member < 32; ++member) {
    if (!(mask & (Cardinal{1} << member))) continue;
    if (static_cast<size_t>(member) >= ANames.size())
      throw EPropertyConvertError(Format(GetLocalizedResourceString(&sqvGridSetMemberError), {member}));
    if (!first) result += ',';
    result += ANames[static_cast<size_t>(member)];
    first = false;
  }
  return result + "]";
}

void StringToSet(const String& AText, Cardinal& ASet, Integer ASize, const std::vector<String>& ANames) {
  const Cardinal sizeMask = SetSizeMask(ASize);
  if (!IsBracketed(AText)) RaiseNaming(sqvGridSetTextError, AText, false);
  Cardinal mask = 0;
  const auto addPiece = [&](const String& APiece) {
    const Integer index = IndexOfName(APiece, ANames);
    if (index >= 0 && index < 32) mask |= Cardinal{1} << index;
  };
  String piece;
  for (size_t i = 1; i + 1 < AText.size(); ++i) {
    if (AText[i] == ',') {
      addPiece(piece);
      piece.clear();
    } else {
      piece += AText[i];
    }
  }
  addPiece(piece);
  ASet = mask & sizeMask;
}

Variant GetStoredFilterValue(TqvDataFilterCriteria* ACriteria) {
  TStringStream stream;
  ACriteria->WriteData(&stream);
  return Variant(String(qvStoredFilterPrefix) + StringToHex(stream.GetDataString()));
}

// The stream is read into criteria of their own held in an update, so that neither a failed
// read nor the read itself refreshes the view's controller; only the finished tree is handed
// over.
void SetStoredFilterValue(TqvDataFilterCriteria* ACriteria, const Variant& AValue) {
  const String text = AValue.IsNull() || AValue.IsEmpty() ? String() : AValue.AsString();
  const String prefix = qvStoredFilterPrefix;
  if (text.compare(0, prefix.size(), prefix) != 0) RaiseNaming(sqvGridFilterValueError, text, true);
  String bytes;
  try {
    bytes = HexToString(text.substr(prefix.size()));
  } catch (const EqvHexStringConvertError&) {
    RaiseNaming(sqvGridFilterValueError, text, true);
  }
  TStringStream stream(bytes);
  TOwned<TqvDataFilterCriteria> read = MakeOwned<TqvDataFilterCriteria>(ACriteria->GetDataController());
  TUpdateScope<TqvDataFilterCriteria, &TqvDataFilterCriteria::BeginUpdate, &TqvDataFilterCriteria::CancelUpdate> quiet(
      read.get());
  read->ReadData(&stream);
  ACriteria->AssignThroughStream(read.get());
}
