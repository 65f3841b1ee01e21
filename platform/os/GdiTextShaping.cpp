// Simple runs of single-byte text: a text whose every byte is a character the face's own font
// draws as one glyph, in a Latin or common-script run, is laid out from a glyph cache of the font
// instead of being itemized and shaped.
//
// The cache learns each byte's glyph and advance, and the advance of a glyph before each next
// one (kerning), by shaping it once the full way in the same kind of run; the layout of a text is
// then the glyph of each byte with the advance of its pair. Ligatures and pair adjustments of the
// second glyph are recognised when a pair is learnt and keep such texts on the full path. On its
// first use a face checks the cache against full shaping on sample texts and, if any differ (a
// font with contextual forms), shapes everything the full way.
#include <pango/pangocairo.h>

#include <array>
#include <vector>

#include "platform/os/GdiTextEngine.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool gSimpleShapingEnabled = true;

constexpr int32_t kUnknownWidth = INT32_MIN;
constexpr int32_t kComplexWidth = INT32_MIN + 1;

// Texts the cache must lay out exactly as full shaping does before a face trusts it: kerning
// pairs, ligature candidates, runs that begin with common characters, Windows-1252 letters.
const char* const kCheckTexts[] = {
    "AVAWATAYTaToTyVaWaYaLTLVLY", "fi fl ffi ff", "Das Erste HD 123", "(HD) 1.5 x", "1.5 HD", "12:30 - 14:00",
    "Caf\xE9 \xD6sterreich \xC4rger", "\x84quoted\x93 \x80 100", "r, y. f' T, Y; P. F,", "...", "11494 H 22000",
};

}  // namespace

// The two kinds of run a simple text forms: common characters only (digits, spaces,
// punctuation), or with Latin letters, whose run the common characters join.
enum TRunKind : uint8_t { rkCommon = 0, rkLatin = 1 };

struct TSimpleShaper {
  enum TByteState : uint8_t { kUnknown, kSimple, kComplex };

  TByteState State[256] = {};
  TRunKind Script[256] = {};
  // The glyph of each simple byte alone, per kind of run.
  std::array<std::array<PangoGlyphInfo, 256>, 2> Glyphs{};
  // The advance of the first glyph of each pair of simple bytes, per kind of run.
  std::array<std::vector<int32_t>, 2> PairWidths;
  // An item of each kind of run: its analysis (font, script, language) shapes and is copied.
  std::array<PangoItem*, 2> Items{};
  bool Usable = false;

  ~TSimpleShaper() {
    for (PangoItem* item : Items)
      if (item) pango_item_free(item);
  }
};

void TSimpleShaperDelete::operator()(TSimpleShaper* shaper) const { delete shaper; }

void SetSimpleTextShaping(bool enabled) { gSimpleShapingEnabled = enabled; }

namespace {

// The single item the full path makes of a text; nullptr when it makes more than one.
PangoItem* SingleItem(const std::string& utf8, PangoAttrList* attrs) {
  GList* items = pango_itemize(TextContext(), utf8.c_str(), 0, int(utf8.size()), attrs, nullptr);
  if (items && !items->next) {
    auto* item = static_cast<PangoItem*>(items->data);
    g_list_free(items);
    return item;
  }
  g_list_free_full(items, reinterpret_cast<GDestroyNotify>(pango_item_free));
  return nullptr;
}

// Shapes utf8 as one item of the given kind; nullptr when a glyph is not one plain glyph per
// character of the face's font.
PangoGlyphString* ShapeAs(const TSimpleShaper& shaper, TRunKind kind, const std::string& utf8, int chars) {
  PangoGlyphString* glyphs = pango_glyph_string_new();
  const PangoItem* item = shaper.Items[kind];
  pango_shape_with_flags(utf8.c_str(), int(utf8.size()), utf8.c_str(), int(utf8.size()), &item->analysis, glyphs,
                         PANGO_SHAPE_ROUND_POSITIONS);
  bool plain = glyphs->num_glyphs == chars;
  for (int i = 0; plain && i < glyphs->num_glyphs; ++i) {
    const PangoGlyphInfo& g = glyphs->glyphs[i];
    plain = g.glyph != PANGO_GLYPH_EMPTY && !(g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) && g.geometry.x_offset == 0 &&
            g.geometry.y_offset == 0 && g.attr.is_cluster_start;
  }
  if (plain) return glyphs;
  pango_glyph_string_free(glyphs);
  return nullptr;
}

// A byte is simple when the full path draws it alone as one glyph of the face's own font in a
// Latin or common run.
void LearnByte(TSimpleShaper& shaper, TFontFace& face, Byte c) {
  shaper.State[c] = TSimpleShaper::kComplex;
  if (c < 0x20 || c == 0x7F) return;
  std::string utf8 = AnsiToUtf8(String(1, char(c)));
  gunichar u = g_utf8_get_char(utf8.c_str());
  GUnicodeScript script = g_unichar_get_script(u);
  if (script != G_UNICODE_SCRIPT_LATIN && script != G_UNICODE_SCRIPT_COMMON) return;
  PangoItem* item = SingleItem(utf8, face.Attrs);
  if (!item) return;
  bool ownFont = item->analysis.font == shaper.Items[rkLatin]->analysis.font;
  pango_item_free(item);
  if (!ownFont) return;
  for (TRunKind kind : {rkCommon, rkLatin}) {
    PangoGlyphString* glyphs = ShapeAs(shaper, kind, utf8, 1);
    if (!glyphs) return;
    shaper.Glyphs[kind][c] = glyphs->glyphs[0];
    pango_glyph_string_free(glyphs);
  }
  shaper.Script[c] = script == G_UNICODE_SCRIPT_LATIN ? rkLatin : rkCommon;
  shaper.State[c] = TSimpleShaper::kSimple;
}

// The advance of a's glyph before b's: their pair shaped once, taken when it is two glyphs, the
// same as alone, with b's advance untouched.
int32_t LearnPair(TSimpleShaper& shaper, TRunKind kind, Byte a, Byte b) {
  PangoGlyphString* glyphs = ShapeAs(shaper, kind, AnsiToUtf8(String{char(a), char(b)}), 2);
  int32_t width = kComplexWidth;
  if (glyphs && glyphs->glyphs[0].glyph == shaper.Glyphs[kind][a].glyph &&
      glyphs->glyphs[1].glyph == shaper.Glyphs[kind][b].glyph &&
      glyphs->glyphs[1].geometry.width == shaper.Glyphs[kind][b].geometry.width)
    width = glyphs->glyphs[0].geometry.width;
  if (glyphs) pango_glyph_string_free(glyphs);
  return width;
}

// Walks a simple text, handing each byte and the advance of its glyph (the pair's advance, the
// last glyph's own) to AGlyph; False as soon as a byte or a pair is not simple.
template <class TGlyph>
bool Walk(TSimpleShaper& shaper, TFontFace& face, const String& text, TRunKind& kind, const TGlyph& AGlyph) {
  kind = rkCommon;
  for (unsigned char c : text) {
    if (shaper.State[c] == TSimpleShaper::kUnknown) LearnByte(shaper, face, c);
    if (shaper.State[c] != TSimpleShaper::kSimple) return false;
    if (shaper.Script[c] == rkLatin) kind = rkLatin;
  }
  std::vector<int32_t>& pairs = shaper.PairWidths[kind];
  if (pairs.empty()) pairs.assign(256 * 256, kUnknownWidth);
  const size_t n = text.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    Byte a = Byte(text[i]), b = Byte(text[i + 1]);
    int32_t& width = pairs[size_t(a) * 256 + b];
    if (width == kUnknownWidth) width = LearnPair(shaper, kind, a, b);
    if (width == kComplexWidth) return false;
  }
  for (size_t i = 0; i + 1 < n; ++i) AGlyph(i, Byte(text[i]), pairs[size_t(Byte(text[i])) * 256 + Byte(text[i + 1])]);
  AGlyph(n - 1, Byte(text.back()), shaper.Glyphs[kind][Byte(text.back())].geometry.width);
  return true;
}

// The layout of a simple text as one run of glyphs.
bool LayOutRun(TSimpleShaper& shaper, TFontFace& face, const String& text, TShapedText& s) {
  TRunKind kind;
  if (!Walk(shaper, face, text, kind, [](size_t, Byte, int32_t) {})) return false;
  const int n = int(text.size());
  PangoGlyphString* glyphs = pango_glyph_string_new();
  pango_glyph_string_set_size(glyphs, n);
  int x = 0;
  Walk(shaper, face, text, kind, [&](size_t i, Byte c, int32_t width) {
    glyphs->glyphs[i] = shaper.Glyphs[kind][c];
    glyphs->glyphs[i].geometry.width = width;
    glyphs->log_clusters[i] = int(s.Utf8Offsets[i]);
    x += width;
  });
  PangoItem* item = pango_item_copy(shaper.Items[kind]);
  item->offset = 0;
  item->length = int(s.Utf8.size());
  item->num_chars = n;
  s.Runs.push_back({item, glyphs, 0});
  s.Width = PANGO_PIXELS(x);
  return true;
}

bool SameLayout(const TShapedText& a, const TShapedText& b) {
  if (a.Width != b.Width) return false;
  std::vector<std::pair<PangoGlyph, int>> ga, gb;
  for (const TGlyphRun& r : a.Runs)
    for (int i = 0; i < r.Glyphs->num_glyphs; ++i) ga.push_back({r.Glyphs->glyphs[i].glyph, r.Glyphs->glyphs[i].geometry.width});
  for (const TGlyphRun& r : b.Runs)
    for (int i = 0; i < r.Glyphs->num_glyphs; ++i) gb.push_back({r.Glyphs->glyphs[i].glyph, r.Glyphs->glyphs[i].geometry.width});
  return ga == gb;
}

void Prepare(TShapedText& s, const String& text) {
  s.Utf8 = AnsiToUtf8(text);
  size_t offset = 0;
  for (char c : text) {
    s.Utf8Offsets.push_back(offset);
    offset += AnsiToUtf8(String(1, c)).size();
  }
  s.Utf8Offsets.push_back(offset);
}

// The items of both kinds of run from one letter and one digit, both in the face's font; then the
// check texts laid out both ways.
TSimpleShaper* MakeShaper(TFontFace& face) {
  face.SimpleShaper.reset(new TSimpleShaper);
  TSimpleShaper& shaper = *face.SimpleShaper;
  shaper.Items[rkLatin] = SingleItem("a", face.Attrs);
  shaper.Items[rkCommon] = SingleItem("0", face.Attrs);
  if (!shaper.Items[rkLatin] || !shaper.Items[rkCommon] ||
      shaper.Items[rkLatin]->analysis.font != shaper.Items[rkCommon]->analysis.font)
    return &shaper;
  shaper.Usable = true;
  for (const char* sample : kCheckTexts) {
    TShapedText fast, full;
    Prepare(fast, sample);
    Prepare(full, sample);
    ShapeRuns(full, face.Attrs);
    if (LayOutRun(shaper, face, sample, fast) && !SameLayout(fast, full)) {
      shaper.Usable = false;
      break;
    }
  }
  return &shaper;
}

}  // namespace

namespace {

TSimpleShaper* UsableShaper(TFontFace& face) {
  if (!gSimpleShapingEnabled) return nullptr;
  TSimpleShaper* shaper = face.SimpleShaper ? face.SimpleShaper.get() : MakeShaper(face);
  return shaper->Usable ? shaper : nullptr;
}

}  // namespace

bool ShapeSimpleRun(TFontFace& face, const String& text, TShapedText& s) {
  TSimpleShaper* shaper = text.empty() ? nullptr : UsableShaper(face);
  return shaper && LayOutRun(*shaper, face, text, s);
}

bool SimpleRunWidth(TFontFace& face, const String& text, Integer& width) {
  TSimpleShaper* shaper = text.empty() ? nullptr : UsableShaper(face);
  if (!shaper) return false;
  int x = 0;
  TRunKind kind;
  if (!Walk(*shaper, face, text, kind, [&](size_t, Byte, int32_t advance) { x += advance; })) return false;
  width = PANGO_PIXELS(x);
  return true;
}
