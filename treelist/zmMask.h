// The edit mask language of the tree list's mask editor.
//
// A mask is a pattern, then optionally ";" and the save-literals flag, then optionally ";" and the
// blank character. Pattern characters (positions from 1):
//   literal            any other character, any character after an unescaped "\"   1 text position
//   separator literal  "/" and ":" (the locale's date and time separators)          1 text position
//   directive          "!" (fill from the right), ">" upper case, "<" lower case,
//                      "<>" ends case conversion, "\" (the next character is literal)
//   required input     "0" digit, "L" letter, "A" letter or digit, "C" any        1 text position
//   optional input     "9" digit, "l" letter, "a" letter or digit, "c" any,
//                      "#" digit, space, "+" or "-"                               1 text position
//   field separator    ";" within the last four characters of a mask of at least four
// Literals are part of the value unless the save-literals flag is "0"; the blank character shows
// an empty input position ("_" unless the mask names another).
#pragma once

#include "platform/rtl/System.h"

enum TzmMaskCharType : Byte {
  mcNone,            // beyond the mask
  mcLiteral,
  mcIntlLiteral,     // "/" or ":"
  mcDirective,
  mcMask,            // required input
  mcMaskOpt,         // optional input
  mcFieldSeparator,
  mcField,           // the flag or the blank character after a field separator
};

enum TzmMaskDirective : Byte {
  mdReverseDir = 1u << 0,
  mdUpperCase = 1u << 1,
  mdLowerCase = 1u << 2,
  mdLiteralChar = 1u << 3,
};
using TzmMaskDirectives = Byte;

constexpr char zmDefaultMaskBlank = '_';

TzmMaskCharType MaskCharType(const String& Mask, Integer Position);
// Reverse when "!" occurs anywhere; the case by the last case directive before Position; literal
// when the character at Position is one.
TzmMaskDirectives MaskDirectives(const String& Mask, Integer Position);
// The locale's date separator for "/", its time separator for ":", else Ch.
char MaskSeparatorChar(char Ch);
bool MaskSavesLiterals(const String& Mask);
char MaskBlankChar(const String& Mask);
bool IsMaskInput(TzmMaskCharType Type);
bool IsMaskLiteralType(TzmMaskCharType Type);
// The number of text positions of the mask characters 1..Position.
Integer MaskOffsetToTextOffset(const String& Mask, Integer Position);
// The mask position of a text offset (0-based); -1 outside the text.
Integer TextOffsetToMaskOffset(const String& Mask, Integer Offset);
// The text offset falls on a literal of the mask.
bool IsMaskLiteral(const String& Mask, Integer Offset);
// Lays input characters into the mask: literals inserted, missing inputs blank, from the right
// with "!". The result has exactly the mask's length (surplus input is cut).
String FormatMaskText(const String& Mask, const String& Text, char Blank);
// Fits a value that holds literals to the mask: each sub-field between literals padded with
// blanks or cut to its width, and spaces at input positions shown as blanks.
String PadMaskLiterals(const String& Mask, const String& Value, char Blank);
// A sub-field padded with blanks or cut to Width (at its start when Reverse).
String PadMaskSubField(const String& SubField, Integer Width, char Blank, bool Reverse);
