// The editors' own text layout: a text is broken into rows (at line ends, at break characters
// when wrapping, inside long words when allowed), the rows are placed in a rectangle with
// horizontal and vertical alignment (justified and distributed modes included), limited by
// height or a row count, ended with an ellipsis, clipped, and drawn with an optional selected
// part in selection colours. It can also measure only.
//
// The text is single-byte (one byte is one character). Rows keep offsets into the text, never
// pointers, so a caller may keep rows between layout and drawing; drawing takes the text again
// and clamps every row to it, so a text that changed in between is never read out of bounds.
#pragma once

#include <vector>

#include "platform/forms/Graphics.h"

class TqvCanvas;

// The layout flag word; bits without a name are ignored.
using TqvTextLayoutFlags = Cardinal;
constexpr TqvTextLayoutFlags tlHLeft = 0, tlHCenter = 1, tlHRight = 2, tlHJustify = 3, tlHDistribute = 4,
                             tlVTop = 0, tlVCenter = 0x10, tlVBottom = 0x20, tlVDistribute = 0x30,
                             tlKeepLeftInside = 0x40, tlKeepTopInside = 0x80, tlWordBreak = 0x100,
                             tlSingleLine = 0x200, tlExpandTabs = 0x400, tlEndEllipsis = 0x800,
                             tlExternalLeading = 0x2000, tlWholeRowsOnly = 0x4000, tlNoClip = 0x8000,
                             tlBreakLongWords = 0x20000, tlCalcRect = 0x100000, tlReturnRowCount = 0x200000;
constexpr TqvTextLayoutFlags tlHorzMask = 0x7, tlVertMask = 0x30;

// The extent of a rectangle that measures without a limit: wider and taller than any text, and
// far enough from the integer range that adding borders, insets or a second such extent cannot
// overflow.
constexpr Integer qvUnboundedExtent = 1 << 29;

enum TqvTextLayoutHorzAlignment { tlhaLeft, tlhaCenter, tlhaRight, tlhaJustify, tlhaDistribute };
enum TqvTextLayoutVertAlignment { tlvaTop, tlvaCenter, tlvaBottom, tlvaDistribute };

// The flags resolved against the device context's current font.
struct TqvTextLayoutParams {
  Integer TextHeight = 0;
  Integer Leading = 0;       // the font's external leading with tlExternalLeading
  Integer RowHeight = 0;     // TextHeight + Leading; spread out by vertical distribution
  Integer EllipsisWidth = 0; // with tlEndEllipsis
  char BreakChar = ' ';
  TqvTextLayoutHorzAlignment HorzAlignment = tlhaLeft;
  TqvTextLayoutVertAlignment VertAlignment = tlvaTop;
  bool KeepLeftInside = false;
  bool KeepTopInside = false;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool ExternalLeading = false;
  bool WholeRowsOnly = false;
  bool NoClip = false;
  bool BreakLongWords = false;
  bool CalcRect = false;
  bool ReturnRowCount = false;

  // Justify and distribute stretch rows to the width.
  bool IsJustified() const { return HorzAlignment == tlhaJustify || HorzAlignment == tlhaDistribute; }
};

// One laid-out row: bytes [Offset, Offset + Length) of the text.
struct TqvTextRow {
  Integer Offset = 0;
  Integer Length = 0;
  Integer Width = 0;
  Integer Height = 0;
  Integer BreakCount = 0;  // break characters and tabs in the row
  Integer X = 0;           // top-left, set by PlaceTextRows
  Integer Y = 0;
};
using TqvTextRows = std::vector<TqvTextRow>;

// The ellipsis an end-ellipsis row ends with.
extern const String qvTextEllipsis;

TqvTextLayoutParams CalcTextLayoutParams(HDC ADC, TqvTextLayoutFlags AFlags);
// Gives the canvas its handle and font first.
TqvTextLayoutParams CalcTextLayoutParams(TqvCanvas* ACanvas, TqvTextLayoutFlags AFlags);

// Breaks AText into rows for ARect's width; ARows holds exactly ARowCount rows afterwards.
// False when a positive ARowLimit cut the text (not with tlSingleLine or tlCalcRect).
bool LayoutTextRows(HDC ADC, const String& AText, const TRect& ARect, Integer ARowLimit, Integer& ARowCount,
                    TqvTextRows& ARows, const TqvTextLayoutParams& AParams);
bool LayoutTextRows(TqvCanvas* ACanvas, const String& AText, const TRect& ARect, Integer ARowLimit,
                    Integer& ARowCount, TqvTextRows& ARows, const TqvTextLayoutParams& AParams);

// Sets X and Y of the first ARowCount rows. Vertical distribution replaces AParams.RowHeight.
void PlaceTextRows(HDC ADC, const TRect& ARect, TqvTextLayoutParams& AParams, Integer ARowCount, TqvTextRows& ARows);

// Draws the first ARowCount placed rows of AText in the DC's font and text colour; the part
// [ASelStart, ASelStart + ASelLength) is drawn in the selection colours.
void DrawTextRows(HDC ADC, const String& AText, const TRect& ARect, const TqvTextLayoutParams& AParams,
                  bool AEllipsisOnLast, TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength,
                  Integer ASelStart, Integer ARowCount, const TqvTextRows& ARows);

// The whole pipeline: the height used (or the row count, see tlReturnRowCount); 0 for an empty
// text or an unusable rectangle. With tlCalcRect nothing is drawn and ARect becomes the extent.
Integer DrawTextLayout(HDC ADC, const String& AText, TRect& ARect, Integer ARightInset, Integer ALeftInset,
                       Integer ARowLimit, TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength,
                       Integer ASelStart, TqvTextLayoutFlags AFlags);
Integer DrawTextLayout(TqvCanvas* ACanvas, const String& AText, TRect& ARect, Integer ARightInset,
                       Integer ALeftInset, Integer ARowLimit, TColor ASelTextColor, TColor ASelBkColor,
                       Integer ASelLength, Integer ASelStart, TqvTextLayoutFlags AFlags);
// Without a selection.
Integer TextOutOnCanvas(TqvCanvas* ACanvas, const String& AText, TRect& ARect, Integer ARightInset,
                        Integer ALeftInset, Integer ARowLimit, TqvTextLayoutFlags AFlags);

// The widest of the first ACount rows (0 for none).
Integer GetTextRowsMaxWidth(const TqvTextRows& ARows, Integer ACount);
