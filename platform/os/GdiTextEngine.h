// Private text engine of the drawing layer: fonts resolved through pango/fontconfig, shaped
// Windows-1252 strings cached per font, and rendering into DC surfaces through cairo.
#pragma once

#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/os/GdiInternal.h"

typedef struct _PangoContext PangoContext;
typedef struct _PangoItem PangoItem;
typedef struct _PangoGlyphString PangoGlyphString;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoAttrList PangoAttrList;

// One run of glyphs of one font, placed at X (pango units) from the start of the string.
struct TGlyphRun {
  PangoItem* Item = nullptr;
  PangoGlyphString* Glyphs = nullptr;
  int X = 0;
};

// A shaped single-line string: its glyph runs and its advance in pixels.
struct TShapedText {
  std::string Utf8;
  std::vector<TGlyphRun> Runs;
  Integer Width = 0;
  std::vector<Integer> CharEnds;      // x after each character; filled on demand
  std::vector<size_t> Utf8Offsets;    // byte offset of each character, plus the end
  TShapedText() = default;
  TShapedText(const TShapedText&) = delete;
  TShapedText& operator=(const TShapedText&) = delete;
  ~TShapedText();
};

struct TSimpleShaper;
struct TSimpleShaperDelete {
  void operator()(TSimpleShaper* shaper) const;
};

struct TFontFace {
  PangoFontDescription* Desc = nullptr;
  PangoAttrList* Attrs = nullptr;  // the font as an attribute for itemizing
  Integer Ascent = 0;
  Integer Descent = 0;
  Integer InternalLeading = 0;
  Integer AveCharWidth = 0;
  Integer MaxCharWidth = 0;
  Integer UnderlineOffset = 1;  // below the baseline
  Integer UnderlineThickness = 1;
  Integer StrikeOffset = 4;     // above the baseline
  Integer StrikeThickness = 1;
  bool Underline = false;
  bool StrikeOut = false;
  bool FixedPitch = false;
  double AngleDegrees = 0;  // counter-clockwise
  LOGFONT Log;
  String Family;

  Integer Height() const { return Ascent + Descent; }
  // The cached shape of a string (measuring and drawing use the same one).
  TShapedText& Shape(const String& text);
  // A simple run is measured from the glyph cache alone, without being shaped or cached.
  Integer Width(const String& text);
  const std::vector<Integer>& CharEnds(const String& text);
  ~TFontFace();

  // The glyph cache of simple runs (GdiTextShaping.cpp), made on first use.
  std::unique_ptr<TSimpleShaper, TSimpleShaperDelete> SimpleShaper;

 private:
  // Least recently used first; the map points into the list.
  std::list<std::pair<String, std::unique_ptr<TShapedText>>> FOrder;
  std::unordered_map<String, decltype(FOrder)::iterator> FCache;
};

// The one pango context of measuring and drawing.
PangoContext* TextContext();
// Shapes the whole of s.Utf8 the full way: itemized (fallback fonts where the face lacks a
// glyph), each item shaped with glyph positions rounded to whole pixels.
void ShapeRuns(TShapedText& s, PangoAttrList* attrs);
// Lays out a text made only of simple single-byte characters from the face's glyph cache,
// without itemizing or shaping (s.Utf8 and s.Utf8Offsets filled already); False, with s left
// as it was, for any other text. The result is the one ShapeRuns gives, to the pixel.
bool ShapeSimpleRun(TFontFace& face, const String& text, TShapedText& s);
// The advance of a simple run in pixels, as its layout would give it; False for other texts.
bool SimpleRunWidth(TFontFace& face, const String& text, Integer& width);
// Switches the simple-run path off (every text shaped the full way) or on again; for tests
// that compare both paths.
void SetSimpleTextShaping(bool enabled);

// The face of the DC's selected font (the stock system font when the handle died).
TFontFace& FaceOf(TDC& dc);
TFontFace& FaceOfFont(HFONT font);

// Draws a shaped string with its layout's top-left at surface point (x, y), clipped to the DC's
// clip and to `clip` (surface coordinates), in the DC's text colour.
void RenderShaped(TDC& dc, TFontFace& face, TShapedText& shaped, double x, double y, const TRect& clip);
