// Fixture of the editors' drawing tests: a clean headless window system, the classic colours,
// themes on, the look-and-feel units alive, and a bitmap canvas in DejaVu Sans to draw on and
// probe.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/PixelProbe.h"

inline std::ostream& operator<<(std::ostream& os, const TSize& s) { return os << "[" << s.cx << "x" << s.cy << "]"; }

// A 32-bit bitmap with a TqvCanvas over it, filled with a paper colour, font DejaVu Sans 9 pt.
class TEditorsCanvas {
 public:
  static constexpr TColor Paper = 0x123456;

  TEditorsCanvas(Integer AWidth, Integer AHeight) : FWidth(AWidth), FHeight(AHeight) {
    FBitmap = MakeOwned<TBitmap>();
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetSize(AWidth, AHeight);
    FCanvas = MakeOwned<TqvCanvas>(FBitmap->GetCanvas());
    TFont* font = FBitmap->GetCanvas()->GetFont();
    font->SetName("DejaVu Sans");
    font->SetSize(9);
    font->SetColor(clBlack);
    Clear();
  }

  TqvCanvas* Canvas() const { return FCanvas.get(); }
  HDC DC() const { return FCanvas->GetHandle(); }
  TBitmap* Bitmap() const { return FBitmap.get(); }
  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }

  void Clear(TColor AColor = Paper) {
    FBitmap->GetCanvas()->GetBrush()->SetColor(AColor);
    FBitmap->GetCanvas()->FillRect(Rect(0, 0, FWidth, FHeight));
  }
  COLORREF PixelRGB(Integer x, Integer y) const {
    uint32_t p = FBitmap->ScanLine(y)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  static COLORREF RGBOf(TColor c) { return ColorToRGB(c); }
  bool Is(Integer x, Integer y, TColor c) const { return PixelRGB(x, y) == RGBOf(c); }
  // Bounding box of the pixels that are not Paper (empty when there are none).
  TRect InkBox() const { return InkBox(Rect(0, 0, FWidth, FHeight)); }
  TRect InkBox(const TRect& AArea) const {
    const TRect box = InkBoxOf(AArea.Width(), AArea.Height(), RGBOf(Paper),
                               [&](int x, int y) { return PixelRGB(AArea.Left + x, AArea.Top + y); });
    return box.IsEmpty() ? TRect{} : qvOffsetRect(box, AArea.Left, AArea.Top);
  }
  Integer Count(TColor c, const TRect& AArea) const {
    return CountOf(AArea.Width(), AArea.Height(), RGBOf(c),
                   [&](int x, int y) { return PixelRGB(AArea.Left + x, AArea.Top + y); });
  }
  Integer Count(TColor c) const { return Count(c, Rect(0, 0, FWidth, FHeight)); }
  std::vector<uint32_t> Snapshot() const {
    std::vector<uint32_t> v;
    for (Integer y = 0; y < FHeight; ++y)
      for (Integer x = 0; x < FWidth; ++x) v.push_back(FBitmap->ScanLine(y)[x] & 0xFFFFFF);
    return v;
  }
  TSize TextExtent(const String& AText) const {
    SIZE size{};
    GetTextExtentPoint32(DC(), AText.data(), Integer(AText.size()), &size);
    return size;
  }
  Integer TextWidth(const String& AText) const { return TextExtent(AText).cx; }
  Integer TextHeight() const { return TextExtent("Zg").cy; }

 private:
  Integer FWidth;
  Integer FHeight;
  TOwned<TBitmap> FBitmap;
  TOwned<TqvCanvas> FCanvas;
};

// Compares two snapshots of a canvas and names the first pixel that differs.
inline ::testing::AssertionResult SamePixels(const TEditorsCanvas& ACanvas, const std::vector<uint32_t>& AActual,
                                             const std::vector<uint32_t>& AExpected) {
  if (AActual.size() != AExpected.size()) return ::testing::AssertionFailure() << "snapshots of different sizes";
  for (size_t i = 0; i < AActual.size(); ++i)
    if (AActual[i] != AExpected[i])
      return ::testing::AssertionFailure() << "first difference at (" << i % size_t(ACanvas.Width()) << ","
                                           << i / size_t(ACanvas.Width()) << "): " << std::hex << AActual[i]
                                           << " instead of " << AExpected[i];
  return ::testing::AssertionSuccess();
}
#define EXPECT_SAME_PIXELS(canvas, actual, expected) EXPECT_TRUE(SamePixels(canvas, actual, expected))

class TEditorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless::Reset();
    ResetSysColors();
    ThemeEngine::SetEnabled(true);
    FUnits = std::make_unique<TqvLookAndFeelUnits>();
  }
  void TearDown() override {
    FUnits.reset();
    ThemeEngine::SetEnabled(true);
    ResetSysColors();
    Headless::Reset();
  }

 private:
  std::unique_ptr<TqvLookAndFeelUnits> FUnits;
};
