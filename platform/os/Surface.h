// The pixel memory that windows and bitmaps draw into, and the bridge from the window system
// to device contexts.
#pragma once

#include <memory>
#include <vector>

#include "platform/os/Region.h"
#include "platform/os/WinTypes.h"

// 32 bits a pixel, 0xXXRRGGBB in a uint32_t (cairo's RGB24 and SDL's XRGB8888 layouts): the top
// byte is unused and may hold anything, so readers mask it off.
struct TSurface {
  Integer Width = 0;
  Integer Height = 0;
  std::vector<uint32_t> Pixels;  // row-major, Width pixels a row

  TSurface() = default;
  TSurface(Integer w, Integer h, uint32_t fill = 0) : Width(w), Height(h), Pixels(size_t(w) * size_t(h), fill) {}
  uint32_t* Row(Integer y) { return Pixels.data() + size_t(y) * size_t(Width); }
  const uint32_t* Row(Integer y) const { return Pixels.data() + size_t(y) * size_t(Width); }
};
using PSurface = std::shared_ptr<TSurface>;

// A device context drawing into a surface: logical (0,0) at `origin` of the surface, output
// clipped to `clip` (surface coordinates). The window system makes window, client and paint DCs
// with it; the drawing layer owns their life.
HDC CreateSurfaceDC(PSurface surface, TPoint origin, const TRegionData& clip);
// Changes the placement of a surface DC (when a window moves between GetDC and ReleaseDC).
void SetSurfaceDCGeometry(HDC dc, TPoint origin, const TRegionData& clip);
void DeleteSurfaceDC(HDC dc);
