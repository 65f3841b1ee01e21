// A memory DC over a small 32-bit bitmap for pixel tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/os/Gdi.h"
#include "support/PixelProbe.h"

// Plain colours the pixel tests paint with and read back.
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

class TPixelCanvas {
 public:
  TPixelCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    FDC = CreateCompatibleDC(nullptr);
    FBitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    FOld = SelectObject(FDC, FBitmap);
    Clear(fill);
  }
  ~TPixelCanvas() {
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  TPixelCanvas(const TPixelCanvas&) = delete;
  TPixelCanvas& operator=(const TPixelCanvas&) = delete;

  HDC DC() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void Clear(COLORREF c) {
    uint32_t p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < FWidth * FHeight; ++i) FBits[i] = p;
  }
  // Surface pixel regardless of clip and origins.
  COLORREF At(int x, int y) const {
    uint32_t p = FBits[y * FWidth + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  std::vector<uint32_t> Snapshot() const { return std::vector<uint32_t>(FBits, FBits + FWidth * FHeight); }
  // Bounding box of the pixels that differ from `background`.
  RECT InkBox(COLORREF background) const {
    return InkBoxOf(FWidth, FHeight, background, [this](int x, int y) { return At(x, y); });
  }
  int Count(COLORREF c) const { return CountOf(FWidth, FHeight, c, [this](int x, int y) { return At(x, y); }); }
  // Rows of '#' (pixel equal to c) and '.' for failure messages.
  std::string Picture(COLORREF c) const {
    std::string s;
    for (int y = 0; y < FHeight; ++y) {
      for (int x = 0; x < FWidth; ++x) s += At(x, y) == c ? '#' : '.';
      s += '\n';
    }
    return s;
  }

 private:
  int FWidth, FHeight;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  uint32_t* FBits = nullptr;
};
