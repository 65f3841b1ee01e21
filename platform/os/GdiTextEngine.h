// Private text engine of the drawing layer: fonts resolved through pango/fontconfig, shaped
// Windows-1252 strings cached per font, and rendering into DC surfaces through cairo.
#pragma once

#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/os/GdiInternal.h"

typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontDescription PangoFontDescription;

// A shaped single-line string: its layout and its advance in pixels.
struct TShapedText {
  PangoLayout* Layout = nullptr;
  Integer Width = 0;
  Integer Baseline = 0;               // layout baseline from the layout top, pixels
  std::vector<Integer> CharEnds;      // x after each character; filled on demand
  std::vector<size_t> Utf8Offsets;    // byte offset of each character, plus the end
  ~TShapedText();
};

struct TFontFace {
  PangoFontDescription* Desc = nullptr;
  Integer Ascent = 0;
  Integer Descent = 0;
  Integer InternalLeading = 0;
  Integer AveCharWidth = 0;
  Integer MaxCharWidth = 0;
  bool Underline = false;
  bool StrikeOut = false;
  bool FixedPitch = false;
  double AngleDegrees = 0;  // counter-clockwise
  LOGFONT Log;
  String Family;

  Integer Height() const { return Ascent + Descent; }
  // The cached shape of a string (measuring and drawing use the same one).
  TShapedText& Shape(const String& text);
  Integer Width(const String& text) { return text.empty() ? 0 : Shape(text).Width; }
  const std::vector<Integer>& CharEnds(const String& text);
  ~TFontFace();

 private:
  // Least recently used first; the map points into the list.
  std::list<std::pair<String, std::unique_ptr<TShapedText>>> FOrder;
  std::unordered_map<String, decltype(FOrder)::iterator> FCache;
};

// The face of the DC's selected font (the stock system font when the handle died).
TFontFace& FaceOf(TDC& dc);
TFontFace& FaceOfFont(HFONT font);

// Draws a shaped string with its layout's top-left at surface point (x, y), clipped to the DC's
// clip and to `clip` (surface coordinates), in the DC's text colour.
void RenderShaped(TDC& dc, TFontFace& face, TShapedText& shaped, double x, double y, const TRect& clip);
