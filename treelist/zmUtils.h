// Support unit of the tree list: one settings facade over an INI file or the registry store, the
// cell text routine the in-place editors and the tree list share, and a few drawing helpers
// (bitmap on a brush, shadow edges, the halftone brush of dotted tree lines).
//
// The unit's start and end routines, like every tree list unit's, are guarded by a counter: they
// nest, so a start reached twice acts once and only the matching last end releases.
#pragma once

#include "platform/os/Gdi.h"
#include "platform/rtl/Component.h"

class TStrings;
class TBitmap;

// ---------------------------------------------------------------------------------------------
// Unit start and end

// The counter of a unit's start and end routines: Start answers true only for the first of nested
// starts, End only for the end matching it. An End without a Start changes nothing.
class TzmUnitCounter {
 public:
  bool Start() { return FCount-- == 0; }
  bool End() {
    if (FCount == 0) return false;
    return ++FCount == 0;
  }
  bool Started() const { return FCount != 0; }

 private:
  Integer FCount = 0;
};

void zmUtilsStart();
void zmUtilsEnd();

// ---------------------------------------------------------------------------------------------
// Settings

// Reads and writes a stored layout through a TIniFile, a TMemIniFile or (any other object) a
// TRegIniFile. A section is a path "\Name\Sub": the whole path names the INI section; on the
// registry it is the subkey path below the settings object's key. The wrapper never frees the
// settings object. Errors of the settings object pass through unchanged.
class TzmRegIniWrapper : public TObject {
  QJ_CLASS(TzmRegIniWrapper, TObject)
 public:
  TObject* GetRegIniObject() const { return FRegIniObject; }
  void SetRegIniObject(TObject* Value) { FRegIniObject = Value; }

  // A missing value, or one that is no number, reads as Default.
  Integer ReadInteger(const String& Section, const String& Ident, Integer Default);
  void WriteInteger(const String& Section, const String& Ident, Integer Value);
  bool ReadBool(const String& Section, const String& Ident, bool Default);
  void WriteBool(const String& Section, const String& Ident, bool Value);
  // Every section name of an INI file; the subkeys of the registry key.
  void ReadSections(TStrings* List);
  void EraseSection(const String& Section);
  // Erases the section Prefix and the sections below it ("Prefix\..."), compared with case, so
  // that a layout writer drops the sections of columns that are gone. Another control's section
  // that merely starts with the same characters stays. Nothing happens on the registry.
  void EraseSectionsWithPrefix(const String& Prefix);

 private:
  TObject* FRegIniObject = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Drawing

// The flag word of DrawCellText.
using TzmCellTextFlags = Word;
constexpr TzmCellTextFlags zmctAlignMask = 0x0003;  // 0 left, 1 centre, 2 right
constexpr TzmCellTextFlags zmctCenter = 0x0001;
constexpr TzmCellTextFlags zmctRight = 0x0002;
constexpr TzmCellTextFlags zmctLayoutMask = 0x001C;
constexpr TzmCellTextFlags zmctVCenter = 0x0004;     // centred single line
constexpr TzmCellTextFlags zmctBottom = 0x0008;      // bottom single line
constexpr TzmCellTextFlags zmctWordWrap = 0x0010;    // word-wrapped lines
constexpr TzmCellTextFlags zmctEndEllipsis = 0x0100;
constexpr TzmCellTextFlags zmctPathEllipsis = 0x0200;
constexpr TzmCellTextFlags zmctFocusRect = 0x0400;
constexpr TzmCellTextFlags zmctFocusAroundText = 0x0800;  // none at all for an empty text
constexpr TzmCellTextFlags zmctTransparent = 0x1000;
constexpr TzmCellTextFlags zmctFormatted = 0x2000;    // always the formatted path, "&" prefixes
constexpr TzmCellTextFlags zmctMeasure = 0x4000;
constexpr TzmCellTextFlags zmctKeepBkMode = 0x8000;

// The pattern brush of dotted tree lines: an 8 x 8 one-pixel checkerboard, black where x and y are
// both even or both odd. Lives between the unit's start and end (nullptr otherwise).
HBRUSH HalftoneBrush();

// Widens, then heightens the bitmap to the minimum; never shrinks it.
void EnsureBitmapSize(TBitmap* Bitmap, Integer MinWidth, Integer MinHeight);
// Copies the bitmap to Rect's top-left with the brush painted where the bitmap has its
// transparent colour.
void DrawGlyphOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap);
// Fills the bottom and right bands of Size pixels of Rect.
void FillShadowEdges(HDC DC, const TRect& Rect, Integer Size, HBRUSH Brush);
// Draws the first Count characters of Text (clamped to the text) laid out in TextRect, filling
// CellRect's background, or with zmctMeasure measures them: the answer is then the height the cell
// needs, 0 when drawing. LineHeight, when given, receives the single-line height in measure mode.
Integer DrawCellText(HDC DC, const String& Text, Integer Count, const TRect& CellRect, const TRect& TextRect,
                     TzmCellTextFlags Flags, HBRUSH Brush, HFONT Font, COLORREF BackColor, COLORREF TextColor,
                     Integer* LineHeight = nullptr);
