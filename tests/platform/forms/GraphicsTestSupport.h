// Helpers of the graphics tests: bitmaps of one colour and pixel reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/forms/Graphics.h"
#include "platform/os/Gdi.h"

// A 32-bit bitmap filled with one colour.
inline void FillBitmap(TBitmap& bmp, Integer w, Integer h, TColor color) {
  bmp.SetSize(w, h);
  bmp.GetCanvas()->GetBrush()->SetColor(color);
  bmp.GetCanvas()->FillRect(Rect(0, 0, w, h));
}

inline TColor PixelOf(TBitmap& bmp, Integer x, Integer y) { return bmp.GetCanvas()->GetPixel(x, y); }

// Counts the pixels of a rectangle that have the colour.
inline int CountColor(TBitmap& bmp, const TRect& r, TColor color) {
  int n = 0;
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Right; ++x) n += PixelOf(bmp, x, y) == color;
  return n;
}

// True when every channel of a is within tolerance of b.
inline bool Near(TColor a, TColor b, int tolerance) {
  COLORREF x = ColorToRGB(a), y = ColorToRGB(b);
  return std::abs(int(GetRValue(x)) - int(GetRValue(y))) <= tolerance &&
         std::abs(int(GetGValue(x)) - int(GetGValue(y))) <= tolerance &&
         std::abs(int(GetBValue(x)) - int(GetBValue(y))) <= tolerance;
}

class GraphicsTestBase : public ::testing::Test {
 protected:
  void SetUp() override { ResetSysColors(); }
};
