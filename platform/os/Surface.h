// The pixel memory that windows and bitmaps draw into, and the bridge from the window system
// to device contexts.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/os/Region.h"
#include "platform/os/WinTypes.h"

// 32 bits a pixel, 0xXXRRGGBB in a uint32_t (cairo's RGB24 and SDL's XRGB8888 layouts): the top
// byte is unused and may hold anything, so readers mask it off.
//
// A window's surface on a high-DPI screen has a device scale: it holds Scale device pixels for
// each logical unit, so the window is drawn larger and sharper while every caller above the
// pixel writers keeps logical coordinates. Logical unit x covers the device pixels from
// ToDevice(x) up to ToDevice(x + 1). Bitmaps have no scale.
struct TSurface {
  Integer Width = 0;   // device pixels
  Integer Height = 0;
  std::vector<uint32_t> Pixels;  // row-major, Width pixels a row
  double Scale = 1;    // device pixels a logical unit, at least 1

  TSurface() = default;
  TSurface(Integer w, Integer h, uint32_t fill = 0) : Width(w), Height(h), Pixels(size_t(w) * size_t(h), fill) {}
  // A surface of a logical size at a device scale.
  TSurface(Integer logicalWidth, Integer logicalHeight, double scale, uint32_t fill)
      : TSurface(DeviceEdge(logicalWidth, scale), DeviceEdge(logicalHeight, scale), fill) {
    Scale = scale;
  }
  uint32_t* Row(Integer y) { return Pixels.data() + size_t(y) * size_t(Width); }
  const uint32_t* Row(Integer y) const { return Pixels.data() + size_t(y) * size_t(Width); }

  bool Scaled() const { return Scale != 1; }
  // A whole number of device pixels a logical unit: areas move by whole pixels.
  bool IntegralScale() const { return Scale == std::floor(Scale); }
  Integer LogicalWidth() const { return Scaled() ? Integer(std::lround(Width / Scale)) : Width; }
  Integer LogicalHeight() const { return Scaled() ? Integer(std::lround(Height / Scale)) : Height; }
  Integer ToDevice(Integer logical) const { return Scaled() ? DeviceEdge(logical, Scale) : logical; }
  // The device pixels of a logical rectangle, within the surface.
  TRect ToDevice(const TRect& logical) const {
    return {std::max(0, ToDevice(logical.Left)), std::max(0, ToDevice(logical.Top)),
            std::min(Width, ToDevice(logical.Right)), std::min(Height, ToDevice(logical.Bottom))};
  }
  // The logical unit a device pixel belongs to.
  Integer ToLogical(Integer device) const {
    return Scaled() ? Integer(std::ceil((device + 0.5) / Scale)) - 1 : device;
  }

  static Integer DeviceEdge(Integer logical, double scale) { return Integer(std::floor(logical * scale + 0.5)); }
};

// Visits the device pixels of a logical rectangle of a surface: f(pixel, logicalX, logicalY).
template <class F>
void ForDevicePixels(TSurface& s, const TRect& logical, F&& f) {
  TRect d = s.ToDevice(logical);
  for (Integer y = d.Top; y < d.Bottom; ++y) {
    uint32_t* row = s.Row(y);
    Integer ly = s.ToLogical(y);
    for (Integer x = d.Left; x < d.Right; ++x) f(row[x], s.ToLogical(x), ly);
  }
}

// Fills the device pixels of a logical rectangle with one colour.
inline void FillDevicePixels(TSurface& s, const TRect& logical, uint32_t pixel) {
  TRect d = s.ToDevice(logical);
  for (Integer y = d.Top; y < d.Bottom; ++y) std::fill(s.Row(y) + d.Left, s.Row(y) + d.Right, pixel);
}
using PSurface = std::shared_ptr<TSurface>;

// A device context drawing into a surface: logical (0,0) at `origin` of the surface, output
// clipped to `clip` (surface coordinates). The window system makes window, client and paint DCs
// with it; the drawing layer owns their life.
HDC CreateSurfaceDC(PSurface surface, TPoint origin, const TRegionData& clip);
// Changes the placement of a surface DC (when a window moves between GetDC and ReleaseDC).
void SetSurfaceDCGeometry(HDC dc, TPoint origin, const TRegionData& clip);
void DeleteSurfaceDC(HDC dc);
