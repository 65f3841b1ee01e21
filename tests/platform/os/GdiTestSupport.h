// A memory DC over a small 32-bit bitmap for pixel tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/os/Gdi.h"

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
    RECT r{FWidth, FHeight, 0, 0};
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (At(x, y) != background) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.Right == 0 ? RECT{} : r;
  }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) n += At(x, y) == c;
    return n;
  }
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

inline std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
