// Fixture of the look-and-feel tests: a clean headless window system, the classic colours,
// themes on, the look-and-feel units alive, and a bitmap canvas to draw on and probe.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/PixelProbe.h"

class TLookAndFeelTest : public ::testing::Test {
 protected:
  static constexpr Integer CanvasSize = 64;
  static constexpr TColor Paper = 0x123456;

  void SetUp() override {
    Headless::Reset();
    ResetSysColors();
    ThemeEngine::SetEnabled(true);
    FUnits = std::make_unique<TqvLookAndFeelUnits>();
    FBitmap = MakeOwned<TBitmap>();
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetSize(CanvasSize, CanvasSize);
    FCanvas = MakeOwned<TqvCanvas>(FBitmap->GetCanvas());
    Clear();
  }
  void TearDown() override {
    FCanvas.reset();
    FBitmap.reset();
    FUnits.reset();
    ThemeEngine::SetEnabled(true);
    ResetSysColors();
    Headless::Reset();
  }

  TqvCanvas* Canvas() const { return FCanvas.get(); }
  void Clear(TColor color = Paper) {
    FBitmap->GetCanvas()->GetBrush()->SetColor(color);
    FBitmap->GetCanvas()->FillRect(Rect(0, 0, CanvasSize, CanvasSize));
  }
  // The pixel as an RGB value; compare with RGBOf(colour) to resolve system colours.
  COLORREF PixelRGB(Integer x, Integer y) const {
    uint32_t p = FBitmap->ScanLine(y)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  static COLORREF RGBOf(TColor c) { return ColorToRGB(c); }
  // Bounding box of the pixels that are not Paper.
  TRect InkBox() const {
    return InkBoxOf(CanvasSize, CanvasSize, RGBOf(Paper), [this](int x, int y) { return PixelRGB(x, y); });
  }
  Integer Count(TColor c) const {
    return CountOf(CanvasSize, CanvasSize, RGBOf(c), [this](int x, int y) { return PixelRGB(x, y); });
  }
  std::vector<uint32_t> Snapshot() const {
    std::vector<uint32_t> v;
    for (Integer y = 0; y < CanvasSize; ++y)
      for (Integer x = 0; x < CanvasSize; ++x) v.push_back(FBitmap->ScanLine(y)[x] & 0xFFFFFF);
    return v;
  }
  TBitmap* Bitmap() const { return FBitmap.get(); }

 private:
  std::unique_ptr<TqvLookAndFeelUnits> FUnits;
  TOwned<TBitmap> FBitmap;
  TOwned<TqvCanvas> FCanvas;
};
