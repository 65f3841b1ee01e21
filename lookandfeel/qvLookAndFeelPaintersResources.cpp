// Shared resources of the painters: the indicator glyphs (program resources drawn from their
// pixel table) and the two scroll-bar page patterns.
#include <array>

#include "lookandfeel/qvLookAndFeelPainters.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"

namespace {

constexpr Integer kIndicatorWidth = 5, kIndicatorHeight = 9;
using TIndicatorPicture = std::array<const char*, kIndicatorHeight>;  // 'X' black, '.' white

struct TIndicatorResource {
  const char* Name;
  TIndicatorPicture Rows;
};

const TIndicatorResource kIndicators[] = {
    {"QV_ARROWBITMAP", {"X....", "XX...", "XXX..", "XXXX.", "XXXXX", "XXXX.", "XXX..", "XX...", "X...."}},
    {"QV_EDITBITMAP", {"XX.XX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X..", "..X..", "XX.XX"}},
    {"QV_INSERTBITMAP", {".....", "..X..", "X.X.X", ".XXX.", "..X..", ".XXX.", "X.X.X", "..X..", "....."}},
    {"QV_MULTIDOTBITMAP", {".....", ".....", "..X..", ".XXX.", ".XXX.", ".XXX.", "..X..", ".....", "....."}},
    {"QV_MULTIARROWBITMAP", {"X....", "XX...", "..X..", "X..X.", "XX.XX", "X..X.", "..X..", "XX...", "X...."}},
};

HBITMAP MakeIndicatorBitmap(const TIndicatorResource& AIndicator) {
  std::array<uint32_t, kIndicatorWidth * kIndicatorHeight> bits;
  for (Integer y = 0; y < kIndicatorHeight; ++y)
    for (Integer x = 0; x < kIndicatorWidth; ++x)
      bits[size_t(y * kIndicatorWidth + x)] = AIndicator.Rows[size_t(y)][x] == 'X' ? 0 : 0xFFFFFF;
  return CreateBitmap(kIndicatorWidth, kIndicatorHeight, 1, 32, bits.data());
}

void RegisterIndicatorResources() {
  for (const TIndicatorResource& res : kIndicators)
    RegisterBitmapResource(res.Name, [&res] { return MakeIndicatorBitmap(res); });
}

struct TPainterResources {
  TOwned<TImageList> Indicators;
  std::array<TOwned<TBitmap>, 2> Patterns;
};

// Never destroyed: DonePainterUnit frees what it holds, and units kept in a static object end at
// exit after any static of this file would have.
TPainterResources& Resources() {
  static TPainterResources* const resources = new TPainterResources;
  return *resources;
}

void PaintPattern(TBitmap& B, TColor AOdd, TColor AEven) {
  B.SetPixelFormat(pf32bit);
  B.SetSize(8, 8);
  const COLORREF odd = ColorToRGB(AOdd), even = ColorToRGB(AEven);
  auto pixel = [](COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
  for (Integer y = 0; y < 8; ++y) {
    uint32_t* row = B.ScanLine(y);
    for (Integer x = 0; x < 8; ++x) row[x] = pixel((x % 2) != (y % 2) ? odd : even);
  }
  B.SetModified(true);
}

}  // namespace

TImageList* GetIndicatorImages() {
  TPainterResources& r = Resources();
  if (r.Indicators) return r.Indicators.get();
  static const bool registered = (RegisterIndicatorResources(), true);
  (void)registered;
  TBitmap first;
  first.LoadFromResourceName(nullptr, kIndicators[0].Name);
  r.Indicators.reset(New<TImageList>(nullptr, first.GetWidth(), first.GetHeight()));
  for (const TIndicatorResource& res : kIndicators) {
    TBitmap glyph;
    glyph.LoadFromResourceName(nullptr, res.Name);
    r.Indicators->AddMasked(&glyph, clWhite);
  }
  return r.Indicators.get();
}

TBitmap* GetScrollBarPatternBitmap(Integer AIndex) {
  TPainterResources& r = Resources();
  if (!r.Patterns[0]) RefreshScrollBarPatternBitmaps();
  return r.Patterns[size_t(AIndex == 1)].get();
}

void RefreshScrollBarPatternBitmaps() {
  TPainterResources& r = Resources();
  for (auto& p : r.Patterns)
    if (!p) p = MakeOwned<TBitmap>();
  PaintPattern(*r.Patterns[0], clBtnHighlight, clBtnFace);
  PaintPattern(*r.Patterns[1], cl3DDkShadow, clBlack);
}

void DonePainterUnit() {
  TPainterResources& r = Resources();
  r.Indicators.reset();
  for (auto& p : r.Patterns) p.reset();
  qvLookAndFeelPainters::FreeRadioButtonImageList();
}
