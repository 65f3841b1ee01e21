// System colours: the classic grey palette, the themed look's palette, cached brushes, and the
// change broadcast.
#include <array>
#include <utility>

#include "platform/os/GdiInternal.h"
#include "platform/os/Theme.h"

namespace {

constexpr int kColorCount = COLOR_ENDCOLORS + 1;

constexpr std::array<COLORREF, kColorCount> kClassicColors = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(192, 192, 192),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(192, 192, 192),  // (unused index 25)
    RGB(0, 0, 255),      // hot-tracked item
    RGB(16, 132, 208),   // active caption gradient
    RGB(181, 181, 181),  // inactive caption gradient
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

// With themes on the face and the 3-D colours around it are the theme's light grey, so a
// classic face, a themed part and the edges beside them share one face colour.
constexpr std::pair<int, COLORREF> kThemedFaceColors[] = {
    {COLOR_SCROLLBAR, RGB(200, 200, 200)},      {COLOR_MENU, kThemedFaceColor},
    {COLOR_ACTIVEBORDER, RGB(180, 180, 180)},   {COLOR_INACTIVEBORDER, RGB(244, 247, 252)},
    {COLOR_BTNFACE, kThemedFaceColor},          {COLOR_BTNSHADOW, RGB(160, 160, 160)},
    {COLOR_3DDKSHADOW, RGB(105, 105, 105)},     {COLOR_3DLIGHT, RGB(227, 227, 227)},
    {COLOR_MENUBAR, kThemedFaceColor},
};

std::array<COLORREF, kColorCount> ThemedPalette() {
  std::array<COLORREF, kColorCount> colors = kClassicColors;
  for (const auto& [index, color] : kThemedFaceColors) colors[size_t(index)] = color;
  return colors;
}

struct TPalettes {
  std::array<COLORREF, kColorCount> Classic = kClassicColors;
  std::array<COLORREF, kColorCount> Themed = ThemedPalette();
};

TPalettes& Palettes() {
  static TPalettes palettes;
  return palettes;
}

std::array<COLORREF, kColorCount>& Colors() {
  return ThemeEngine::Enabled() ? Palettes().Themed : Palettes().Classic;
}

// One stock brush per index; its colour follows SetSysColors.
std::array<HBRUSH, kColorCount>& Brushes() {
  static std::array<HBRUSH, kColorCount> brushes{};
  return brushes;
}

TSysColorChangeHandler& ChangeHandler() {
  static TSysColorChangeHandler handler = nullptr;
  return handler;
}

bool ValidColorIndex(int index) { return index >= 0 && index < kColorCount; }

void SyncBrush(int index) {
  if (TBrushObject* b = BrushOf(Brushes()[size_t(index)])) b->Color = Colors()[size_t(index)];
}

}  // namespace

DWORD GetSysColor(int index) { return ValidColorIndex(index) ? Colors()[size_t(index)] : 0; }

HBRUSH GetSysColorBrush(int index) {
  if (!ValidColorIndex(index)) return nullptr;
  HBRUSH& h = Brushes()[size_t(index)];
  if (!BrushOf(h)) {
    auto brush = std::make_unique<TBrushObject>();
    brush->Color = Colors()[size_t(index)];
    brush->Stock = true;
    h = RegisterObject(std::move(brush));
  }
  return h;
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors) {
  if (count < 0 || (count > 0 && (!indexes || !colors))) return FALSE;
  // A colour set by the program holds in both looks.
  for (int i = 0; i < count; ++i) {
    if (!ValidColorIndex(indexes[i])) continue;
    Palettes().Classic[size_t(indexes[i])] = Palettes().Themed[size_t(indexes[i])] = colors[i] & 0xFFFFFF;
    SyncBrush(indexes[i]);
  }
  if (ChangeHandler()) ChangeHandler()();
  return TRUE;
}

void ResetSysColors() {
  Palettes() = TPalettes();
  for (int i = 0; i < kColorCount; ++i) SyncBrush(i);
}

void SysColorsFollowTheme() {
  for (int i = 0; i < kColorCount; ++i) SyncBrush(i);
  if (ChangeHandler()) ChangeHandler()();
}

void SetSysColorChangeHandler(TSysColorChangeHandler handler) { ChangeHandler() = handler; }
