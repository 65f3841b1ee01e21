// The edit mask language: character classes, directives, fields and the text functions.
#include "treelist/zmMask.h"

#include "platform/rtl/SysUtils.h"

namespace {

constexpr char kFieldSeparator = ';';
constexpr char kEscape = '\\';
constexpr char kNoSave = '0';

char At(const String& Mask, Integer Position) { return Mask[static_cast<size_t>(Position - 1)]; }

// The character at Position follows an escape that is not itself escaped.
bool IsEscaped(const String& Mask, Integer Position) {
  if (Position < 2 || At(Mask, Position - 1) != kEscape) return false;
  return !(Position > 2 && At(Mask, Position - 2) == kEscape);
}

bool InFieldZone(const String& Mask, Integer Position) {
  return Length(Mask) >= 4 && Position > Length(Mask) - 4;
}

bool TakesTextPosition(TzmMaskCharType Type) { return IsMaskLiteralType(Type) || IsMaskInput(Type); }

}  // namespace

bool IsMaskInput(TzmMaskCharType Type) { return Type == mcMask || Type == mcMaskOpt; }

bool IsMaskLiteralType(TzmMaskCharType Type) { return Type == mcLiteral || Type == mcIntlLiteral; }

TzmMaskCharType MaskCharType(const String& Mask, Integer Position) {
  if (Position < 1 || Position > Length(Mask)) return mcNone;
  if (IsEscaped(Mask, Position)) return mcLiteral;
  char c = At(Mask, Position);
  if (c == kFieldSeparator && InFieldZone(Mask, Position)) return mcFieldSeparator;
  if (InFieldZone(Mask, Position) && Position > 1 && At(Mask, Position - 1) == kFieldSeparator &&
      !IsEscaped(Mask, Position - 1))
    return mcField;
  switch (c) {
    case '/':
    case ':': return mcIntlLiteral;
    case '!':
    case '<':
    case '>':
    case kEscape: return mcDirective;
    case '0':
    case 'L':
    case 'A':
    case 'C': return mcMask;
    case '9':
    case 'l':
    case 'a':
    case 'c':
    case '#': return mcMaskOpt;
    default: return mcLiteral;
  }
}

TzmMaskDirectives MaskDirectives(const String& Mask, Integer Position) {
  TzmMaskDirectives result = 0;
  for (Integer i = 1; i <= Length(Mask); ++i) {
    if (MaskCharType(Mask, i) != mcDirective) continue;
    char c = At(Mask, i);
    if (c == '!') {
      result |= mdReverseDir;
    } else if (c == '>' && i < Position) {
      result &= ~mdLowerCase;
      bool endsLower = i > 1 && At(Mask, i - 1) == '<' && MaskCharType(Mask, i - 1) == mcDirective;
      if (!endsLower) result |= mdUpperCase;
    } else if (c == '<' && i < Position) {
      result &= ~mdUpperCase;
      result |= mdLowerCase;
    }
  }
  if (MaskCharType(Mask, Position) == mcLiteral) result |= mdLiteralChar;
  return result;
}

char MaskSeparatorChar(char Ch) {
  if (Ch == '/') return FormatSettings().DateSeparator;
  if (Ch == ':') return FormatSettings().TimeSeparator;
  return Ch;
}

// The flag follows the first of the trailing field separators.
bool MaskSavesLiterals(const String& Mask) {
  Integer length = Length(Mask);
  if (length < 4) return true;
  Integer first = -1;
  for (Integer i = length; i > 0 && i > length - 4; --i)
    if (MaskCharType(Mask, i) == mcFieldSeparator) first = i;
  if (first < 0 || first == length) return true;
  return At(Mask, first + 1) != kNoSave;
}

char MaskBlankChar(const String& Mask) {
  Integer length = Length(Mask);
  if (length < 4 || MaskCharType(Mask, length - 1) != mcFieldSeparator) return zmDefaultMaskBlank;
  if (MaskCharType(Mask, length - 2) == mcFieldSeparator || MaskCharType(Mask, length - 3) == mcFieldSeparator)
    return At(Mask, length);
  return zmDefaultMaskBlank;
}

Integer MaskOffsetToTextOffset(const String& Mask, Integer Position) {
  Integer result = 0;
  for (Integer i = 1; i <= Position && i <= Length(Mask); ++i)
    if (TakesTextPosition(MaskCharType(Mask, i))) ++result;
  return result;
}

Integer TextOffsetToMaskOffset(const String& Mask, Integer Offset) {
  if (Offset < 0) return -1;
  Integer count = 0;
  for (Integer i = 1; i <= Length(Mask); ++i) {
    if (!TakesTextPosition(MaskCharType(Mask, i))) continue;
    if (count == Offset) return i;
    ++count;
  }
  return -1;
}

bool IsMaskLiteral(const String& Mask, Integer Offset) {
  Integer position = TextOffsetToMaskOffset(Mask, Offset);
  return position > 0 && IsMaskLiteralType(MaskCharType(Mask, position));
}

String FormatMaskText(const String& Mask, const String& Text, char Blank) {
  String result = Text;
  Integer maxChars = MaskOffsetToTextOffset(Mask, Length(Mask));
  if (maxChars == 0) return result;
  if (MaskDirectives(Mask, 1) & mdReverseDir) {
    Integer pos = Length(result);  // characters still to place, to the left of pos
    for (Integer i = Length(Mask); i >= 1; --i) {
      TzmMaskCharType type = MaskCharType(Mask, i);
      if (IsMaskLiteralType(type)) {
        Insert(String(1, MaskSeparatorChar(At(Mask, i))), result, pos + 1);
      } else if (IsMaskInput(type)) {
        if (pos > 0)
          --pos;
        else
          result.insert(result.begin(), Blank);
      }
    }
    if (Length(result) > maxChars) result.erase(0, result.size() - static_cast<size_t>(maxChars));
    return result;
  }
  Integer pos = 1;
  for (Integer i = 1; i <= Length(Mask); ++i) {
    TzmMaskCharType type = MaskCharType(Mask, i);
    if (IsMaskLiteralType(type)) {
      Insert(String(1, MaskSeparatorChar(At(Mask, i))), result, pos);
      ++pos;
    } else if (IsMaskInput(type)) {
      if (Length(result) < pos) result += Blank;
      ++pos;
    }
  }
  if (Length(result) > maxChars) result.resize(static_cast<size_t>(maxChars));
  return result;
}

String PadMaskSubField(const String& SubField, Integer Width, char Blank, bool Reverse) {
  Integer length = Length(SubField);
  if (length < Width) {
    String blanks(static_cast<size_t>(Width - length), Blank);
    return Reverse ? blanks + SubField : SubField + blanks;
  }
  if (length > Width) return Reverse ? SubField.substr(static_cast<size_t>(length - Width)) : SubField.substr(0, static_cast<size_t>(Width));
  return SubField;
}

String PadMaskLiterals(const String& Mask, const String& Value, char Blank) {
  bool reverse = (MaskDirectives(Mask, 1) & mdReverseDir) != 0;
  Integer maxChars = MaskOffsetToTextOffset(Mask, Length(Mask));
  String result = Value;
  size_t prev = 0;        // in the value: after the previous literal
  Integer fieldStart = 0;  // in the mask's text: after the previous literal
  for (Integer i = 1; i <= Length(Mask); ++i) {
    if (!IsMaskLiteralType(MaskCharType(Mask, i))) continue;
    Integer literalOffset = MaskOffsetToTextOffset(Mask, i) - 1;
    Integer width = literalOffset - fieldStart;
    char literal = MaskSeparatorChar(At(Mask, i));
    size_t found = result.find(literal, prev);
    if (found == String::npos) {
      found = result.size();
      result += literal;
    }
    String field = PadMaskSubField(result.substr(prev, found - prev), width, Blank, reverse);
    result = result.substr(0, prev) + field + result.substr(found);
    prev += field.size() + 1;
    fieldStart = literalOffset + 1;
  }
  if (Length(result) != maxChars)
    result = result.substr(0, prev) + PadMaskSubField(result.substr(prev), maxChars - fieldStart, Blank, reverse);
  for (Integer k = 0; k < Length(result); ++k)
    if (result[static_cast<size_t>(k)] == ' ' && !IsMaskLiteral(Mask, k)) result[static_cast<size_t>(k)] = Blank;
  return result;
}
