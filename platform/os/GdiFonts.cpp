// Fonts through pango/fontconfig: resolution of LOGFONT records, metrics, the shaping cache,
// and rendering into surfaces through cairo.
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <list>
#include <memory>
#include <string>

#include "platform/os/GdiTextEngine.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr size_t kShapeCacheLimit = 12288;  // per font, about 1.5 KB each: many grid pages of cell texts
constexpr Integer kDefaultEmPixels = 12;

}  // namespace

// One pango context for measuring and drawing: fixed font options so that text is the same on
// every machine and glyph advances are whole pixels.
PangoContext* TextContext() {
  static PangoContext* context = [] {
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* ctx = pango_font_map_create_context(map);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    pango_cairo_context_set_font_options(ctx, options);
    pango_cairo_context_set_resolution(ctx, 96);
    pango_context_set_round_glyph_positions(ctx, TRUE);
    cairo_font_options_destroy(options);
    return ctx;
  }();
  return context;
}

namespace {

// UTF-8 length of each Windows-1252 byte.
const std::array<uint8_t, 256>& Utf8Lengths() {
  static const std::array<uint8_t, 256> lengths = [] {
    std::array<uint8_t, 256> l{};
    for (int c = 0; c < 256; ++c) l[size_t(c)] = uint8_t(AnsiToUtf8(String(1, char(c))).size());
    return l;
  }();
  return lengths;
}

String FamilyOf(const LOGFONT& lf) {
  String name(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  if (!name.empty()) return name;
  return (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN
             ? "DejaVu Sans Mono"
             : "DejaVu Sans";
}

PangoFontDescription* DescriptionOf(const LOGFONT& lf, const String& family, double emPixels) {
  PangoFontDescription* d = pango_font_description_new();
  std::string utf8 = AnsiToUtf8(family);
  pango_font_description_set_family(d, utf8.c_str());
  pango_font_description_set_absolute_size(d, emPixels * PANGO_SCALE);
  LONG weight = lf.lfWeight <= 0 ? FW_NORMAL : std::clamp<LONG>(lf.lfWeight, 100, 1000);
  pango_font_description_set_weight(d, PangoWeight(weight));
  pango_font_description_set_style(d, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

void ReadMetrics(TFontFace& f) {
  PangoFontMetrics* m = pango_context_get_metrics(TextContext(), f.Desc, pango_language_from_string("en"));
  f.Ascent = PANGO_PIXELS(pango_font_metrics_get_ascent(m));
  f.Descent = PANGO_PIXELS(pango_font_metrics_get_descent(m));
  f.AveCharWidth = std::max(1, PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(m)));
  f.UnderlineOffset = std::max(1, -PANGO_PIXELS(pango_font_metrics_get_underline_position(m)));
  f.UnderlineThickness = std::max(1, PANGO_PIXELS(pango_font_metrics_get_underline_thickness(m)));
  f.StrikeOffset = std::max(1, PANGO_PIXELS(pango_font_metrics_get_strikethrough_position(m)));
  f.StrikeThickness = std::max(1, PANGO_PIXELS(pango_font_metrics_get_strikethrough_thickness(m)));
  pango_font_metrics_unref(m);
}

void SetDescription(TFontFace& f, PangoFontDescription* desc) {
  if (f.Desc) pango_font_description_free(f.Desc);
  if (f.Attrs) pango_attr_list_unref(f.Attrs);
  f.Desc = desc;
  f.Attrs = pango_attr_list_new();
  pango_attr_list_insert(f.Attrs, pango_attr_font_desc_new(desc));
}

std::shared_ptr<TFontFace> ResolveFace(const LOGFONT& lf) {
  auto f = std::make_shared<TFontFace>();
  f->Log = lf;
  f->Family = FamilyOf(lf);
  double em = lf.lfHeight < 0 ? -double(lf.lfHeight) : kDefaultEmPixels;
  SetDescription(*f, DescriptionOf(lf, f->Family, em));
  ReadMetrics(*f);
  if (lf.lfHeight > 0 && f->Height() > 0) {
    // A positive height asks for the cell height: scale the em size to it.
    em = em * lf.lfHeight / f->Height();
    SetDescription(*f, DescriptionOf(lf, f->Family, em));
    ReadMetrics(*f);
  }
  f->InternalLeading = std::max(0, f->Height() - Integer(std::lround(em)));
  f->Underline = lf.lfUnderline != 0;
  f->StrikeOut = lf.lfStrikeOut != 0;
  f->AngleDegrees = lf.lfEscapement / 10.0;
  f->FixedPitch = f->Width("i") == f->Width("W");
  f->MaxCharWidth = f->Width("W");
  return f;
}

TFontFace& StockFace() {
  return FaceOfFont(GetStockObject(SYSTEM_FONT));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Faces and shaping

TShapedText::~TShapedText() {
  for (TGlyphRun& r : Runs) {
    pango_glyph_string_free(r.Glyphs);
    pango_item_free(r.Item);
  }
}

TFontFace::~TFontFace() {
  FCache.clear();
  FOrder.clear();
  if (Desc) pango_font_description_free(Desc);
  if (Attrs) pango_attr_list_unref(Attrs);
}

// Itemizes (choosing fallback fonts where the face lacks a glyph) and shapes each item with
// glyph positions rounded to whole pixels.
void ShapeRuns(TShapedText& s, PangoAttrList* attrs) {
  const char* text = s.Utf8.c_str();
  int length = int(s.Utf8.size());
  GList* items = pango_itemize(TextContext(), text, 0, length, attrs, nullptr);
  int x = 0;
  for (GList* it = items; it; it = it->next) {
    auto* item = static_cast<PangoItem*>(it->data);
    PangoGlyphString* glyphs = pango_glyph_string_new();
    pango_shape_with_flags(text + item->offset, item->length, text, length, &item->analysis, glyphs,
                           PANGO_SHAPE_ROUND_POSITIONS);
    s.Runs.push_back({item, glyphs, x});
    x += pango_glyph_string_get_width(glyphs);
  }
  g_list_free(items);
  s.Width = PANGO_PIXELS(x);
}

TShapedText& TFontFace::Shape(const String& text) {
  auto it = FCache.find(text);
  if (it != FCache.end()) {
    FOrder.splice(FOrder.end(), FOrder, it->second);
    return *it->second->second;
  }
  if (FCache.size() >= kShapeCacheLimit) {
    FCache.erase(FOrder.front().first);
    FOrder.pop_front();
  }
  auto shaped = std::make_unique<TShapedText>();
  shaped->Utf8 = AnsiToUtf8(text);
  shaped->Utf8Offsets.reserve(text.size() + 1);
  size_t offset = 0;
  for (unsigned char c : text) {
    shaped->Utf8Offsets.push_back(offset);
    offset += Utf8Lengths()[c];
  }
  shaped->Utf8Offsets.push_back(offset);
  if (!ShapeSimpleRun(*this, text, *shaped)) ShapeRuns(*shaped, Attrs);
  FOrder.emplace_back(text, std::move(shaped));
  FCache.emplace(text, std::prev(FOrder.end()));
  return *FOrder.back().second;
}

Integer TFontFace::Width(const String& text) {
  if (text.empty()) return 0;
  Integer width;
  return SimpleRunWidth(*this, text, width) ? width : Shape(text).Width;
}

const std::vector<Integer>& TFontFace::CharEnds(const String& text) {
  TShapedText& s = Shape(text);
  if (s.CharEnds.size() == text.size()) return s.CharEnds;
  s.CharEnds.clear();
  Integer last = 0;
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    int offset = int(s.Utf8Offsets[i]);
    while (run + 1 < s.Runs.size() && s.Runs[run].Item->offset + s.Runs[run].Item->length <= offset) ++run;
    int x = 0;
    if (run < s.Runs.size()) {
      const TGlyphRun& r = s.Runs[run];
      char* itemText = const_cast<char*>(s.Utf8.c_str()) + r.Item->offset;
      pango_glyph_string_index_to_x(r.Glyphs, itemText, r.Item->length, &r.Item->analysis, offset - r.Item->offset,
                                    TRUE, &x);
      x += r.X;
    }
    last = std::max(last, Integer(PANGO_PIXELS(x)));
    s.CharEnds.push_back(i + 1 == text.size() ? s.Width : last);
  }
  return s.CharEnds;
}

namespace {

// Fonts made with the description of a font in recent use (a canvas font assigned again and
// again, each time a new font) share its face: resolving a face learns its glyph widths, which
// is costly. The faces of the most recent descriptions are kept (drawing runs on the GUI thread
// only).
std::shared_ptr<TFontFace> SharedFace(const LOGFONT& lf) {
  constexpr size_t kKeptFaces = 32;
  static std::list<std::pair<std::string, std::shared_ptr<TFontFace>>> recent;  // most recent last
  std::string key(reinterpret_cast<const char*>(&lf), offsetof(LOGFONT, lfFaceName));
  key.append(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  for (auto it = recent.begin(); it != recent.end(); ++it)
    if (it->first == key) {
      recent.splice(recent.end(), recent, it);
      return it->second;
    }
  std::shared_ptr<TFontFace> face = ResolveFace(lf);
  recent.emplace_back(std::move(key), face);
  if (recent.size() > kKeptFaces) recent.pop_front();
  return face;
}

}  // namespace

TFontFace& FaceOfFont(HFONT font) {
  TFontObject* f = FontOf(font);
  if (!f) return StockFace();
  if (!f->Face) f->Face = SharedFace(f->Log);
  return *f->Face;
}

TFontFace& FaceOf(TDC& dc) { return FaceOfFont(dc.State.Font); }

// ---------------------------------------------------------------------------------------------
// Rendering

struct TCairoTarget {
  cairo_surface_t* Surface = nullptr;
  cairo_t* Cr = nullptr;
  const uint32_t* Data = nullptr;
  Integer Width = 0, Height = 0;
  ~TCairoTarget() {
    if (Cr) cairo_destroy(Cr);
    if (Surface) cairo_surface_destroy(Surface);
  }
};

void ReleaseCairoTarget(TDC& dc) { dc.Cairo.reset(); }

namespace {

TCairoTarget& CairoOf(TDC& dc) {
  TSurface& s = *dc.Surface;
  if (!dc.Cairo || dc.Cairo->Data != s.Pixels.data() || dc.Cairo->Width != s.Width || dc.Cairo->Height != s.Height) {
    auto t = std::make_shared<TCairoTarget>();
    t->Data = s.Pixels.data();
    t->Width = s.Width;
    t->Height = s.Height;
    t->Surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(s.Pixels.data()),
                                                     CAIRO_FORMAT_RGB24, s.Width, s.Height, s.Width * 4);
    t->Cr = cairo_create(t->Surface);
    dc.Cairo = std::move(t);
  }
  return *dc.Cairo;
}

// Text drawn on a monochrome bitmap stays black and white.
void Threshold(TSurface& s, const TRect& area) {
  TRect r{std::max(0, area.Left), std::max(0, area.Top), std::min(s.Width, area.Right), std::min(s.Height, area.Bottom)};
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Right; ++x) {
      uint32_t p = s.Row(y)[x];
      Integer sum = Integer((p >> 16) & 0xFF) + Integer((p >> 8) & 0xFF) + Integer(p & 0xFF);
      s.Row(y)[x] = sum >= 3 * 128 ? 0xFFFFFF : 0;
    }
}

}  // namespace

namespace {

// Underline and strike-out lines of the font, whole pixels thick.
void DrawDecorations(cairo_t* cr, const TFontFace& face, Integer width) {
  if (face.Underline)
    cairo_rectangle(cr, 0, face.Ascent + face.UnderlineOffset - face.UnderlineThickness / 2, width,
                    face.UnderlineThickness);
  if (face.StrikeOut)
    cairo_rectangle(cr, 0, face.Ascent - face.StrikeOffset - face.StrikeThickness / 2, width, face.StrikeThickness);
  if (face.Underline || face.StrikeOut) cairo_fill(cr);
}

}  // namespace

void RenderShaped(TDC& dc, TFontFace& face, TShapedText& shaped, double x, double y, const TRect& clip) {
  if (!dc.Surface || dc.Surface->Width <= 0 || dc.Surface->Height <= 0) return;
  const TRegionData visible = dc.Clip().Intersect(TRegionData(clip));
  if (visible.IsEmpty()) return;
  TCairoTarget& t = CairoOf(dc);
  cairo_t* cr = t.Cr;
  cairo_surface_mark_dirty(t.Surface);
  cairo_save(cr);
  cairo_new_path(cr);
  const TSurface& surface = *dc.Surface;
  for (const TRect& r : visible.Rects()) {
    TRect d = surface.ToDevice(r);
    cairo_rectangle(cr, d.Left, d.Top, d.Width(), d.Height());
  }
  cairo_clip(cr);
  COLORREF c = dc.MonoTarget ? PixelToColor(TargetPixel(dc, dc.State.TextColor)) : dc.State.TextColor;
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
  cairo_scale(cr, surface.Scale, surface.Scale);  // glyphs are drawn at the device's resolution
  cairo_translate(cr, x, y);
  if (face.AngleDegrees != 0) cairo_rotate(cr, -face.AngleDegrees * M_PI / 180.0);
  for (const TGlyphRun& r : shaped.Runs) {
    cairo_move_to(cr, double(r.X) / PANGO_SCALE, face.Ascent);
    pango_cairo_show_glyph_string(cr, r.Item->analysis.font, r.Glyphs);
  }
  DrawDecorations(cr, face, shaped.Width);
  cairo_restore(cr);
  cairo_surface_flush(t.Surface);
  if (dc.MonoTarget) Threshold(*dc.Surface, visible.Bounds());
}

void AddTextToPath(TDC& dc, TPoint logical, const String& text) {
  if (text.empty()) return;
  TFontFace& face = FaceOf(dc);
  TShapedText& shaped = face.Shape(text);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(s);
  cairo_translate(cr, logical.X, logical.Y);
  if (face.AngleDegrees != 0) cairo_rotate(cr, -face.AngleDegrees * M_PI / 180.0);
  for (const TGlyphRun& r : shaped.Runs) {
    cairo_move_to(cr, double(r.X) / PANGO_SCALE, face.Ascent);
    pango_cairo_glyph_string_path(cr, r.Item->analysis.font, r.Glyphs);
  }
  // The path is given back in user space: with the identity matrix it keeps the placement and
  // the rotation above.
  cairo_identity_matrix(cr);
  cairo_path_t* path = cairo_copy_path_flat(cr);
  TPathFigure figure;
  auto flush = [&] {
    if (figure.Points.size() > 1) dc.Path.push_back(figure);
    figure = TPathFigure();
  };
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t& d = path->data[i];
    switch (d.header.type) {
      case CAIRO_PATH_MOVE_TO:
        flush();
        [[fallthrough]];
      case CAIRO_PATH_LINE_TO:
        figure.Points.push_back({Integer(std::lround(path->data[i + 1].point.x)),
                                 Integer(std::lround(path->data[i + 1].point.y))});
        break;
      case CAIRO_PATH_CLOSE_PATH:
        figure.Closed = true;
        flush();
        break;
      case CAIRO_PATH_CURVE_TO: break;
    }
  }
  flush();
  cairo_path_destroy(path);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}

// ---------------------------------------------------------------------------------------------
// Metrics

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
  TDC* d = DCOf(dc);
  if (!d || !tm) return FALSE;
  TFontFace& f = FaceOf(*d);
  *tm = TEXTMETRIC();
  tm->tmHeight = f.Height();
  tm->tmAscent = f.Ascent;
  tm->tmDescent = f.Descent;
  tm->tmInternalLeading = f.InternalLeading;
  tm->tmExternalLeading = 0;
  tm->tmAveCharWidth = f.AveCharWidth;
  tm->tmMaxCharWidth = f.MaxCharWidth;
  tm->tmWeight = f.Log.lfWeight <= 0 ? FW_NORMAL : f.Log.lfWeight;
  tm->tmItalic = f.Log.lfItalic;
  tm->tmUnderlined = f.Log.lfUnderline;
  tm->tmStruckOut = f.Log.lfStrikeOut;
  tm->tmCharSet = f.Log.lfCharSet;
  // The low bit set means a variable pitch font, as on the original platform.
  tm->tmPitchAndFamily = BYTE(TMPF_TRUETYPE | TMPF_VECTOR | (f.FixedPitch ? 0 : TMPF_FIXED_PITCH));
  return TRUE;
}

namespace {

String TextOfCount(const char* text, int count) {
  if (!text) return {};
  if (count < 0) return String(text);
  return String(text, size_t(count));
}

}  // namespace

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
  TDC* d = DCOf(dc);
  if (!d || !size || (!text && count > 0) || count < 0) return FALSE;
  TFontFace& f = FaceOf(*d);
  size->cx = f.Width(TextOfCount(text, count));
  size->cy = f.Height();
  return TRUE;
}

BOOL GetTextExtentPoint(HDC dc, const char* text, int count, SIZE* size) {
  return GetTextExtentPoint32(dc, text, count, size);
}

BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, int* fit, int* dx, SIZE* size) {
  TDC* d = DCOf(dc);
  if (!d || !size || (!text && count > 0) || count < 0) return FALSE;
  TFontFace& f = FaceOf(*d);
  String s = TextOfCount(text, count);
  size->cx = f.Width(s);
  size->cy = f.Height();
  if (s.empty()) {
    if (fit) *fit = 0;
    return TRUE;
  }
  const std::vector<Integer>& ends = f.CharEnds(s);
  int fits = 0;
  while (fits < int(ends.size()) && (maxExtent < 0 || ends[size_t(fits)] <= maxExtent)) ++fits;
  if (fit) *fit = fits;
  if (dx) {
    int n = fit ? fits : int(ends.size());
    for (int i = 0; i < n; ++i) dx[i] = ends[size_t(i)];
  }
  return TRUE;
}

BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* widths) {
  TDC* d = DCOf(dc);
  if (!d || !widths || first > last || last > 255) return FALSE;
  TFontFace& f = FaceOf(*d);
  for (UINT c = first; c <= last; ++c) widths[c - first] = f.Width(String(1, char(c)));
  return TRUE;
}

BOOL GetCharWidth(HDC dc, UINT first, UINT last, int* widths) { return GetCharWidth32(dc, first, last, widths); }

int GetTextFace(HDC dc, int count, char* name) {
  TDC* d = DCOf(dc);
  if (!d) return 0;
  const String& family = FaceOf(*d).Family;
  if (!name) return int(family.size()) + 1;
  if (count <= 0) return 0;
  size_t n = std::min(family.size(), size_t(count - 1));
  std::memcpy(name, family.data(), n);
  name[n] = 0;
  return int(n);
}

// fontconfig and pango (and SDL's D-Bus connection) keep process-long caches whose pointers
// the leak checker cannot follow; a sanitizer build would otherwise report them at the exit of
// every program of the platform layer. The one list for the whole library lives here.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libharfbuzz.so\n"
         "leak:libdbus-1.so\nleak:libSDL2\n";
}
