// Region algebra: a set of pixels kept as non-overlapping rectangles sorted in y-x bands.
// Shared by the window system (update regions, window regions, clipping of children) and the
// drawing layer (clip regions, HRGN objects).
#pragma once

#include <vector>

#include "platform/os/WinTypes.h"

class TRegionData {
 public:
  TRegionData() = default;
  explicit TRegionData(const TRect& r);

  static TRegionData FromRects(const std::vector<TRect>& rects);  // union of the rectangles
  static TRegionData Ellipse(const TRect& bounds);
  static TRegionData RoundRect(const TRect& bounds, Integer ellipseWidth, Integer ellipseHeight);
  // The pixels whose centres lie inside the polygon. A region's vertices are pixel corners; the
  // vertices of a drawn polygon are pixels themselves (their centres), so that the fill meets
  // the pen's outline without a gap along slanted edges.
  static TRegionData Polygon(const std::vector<TPoint>& points, bool winding, bool verticesAtPixelCentres = false);

  bool IsEmpty() const { return FRects.empty(); }
  // Number of rectangles: 0 empty, 1 simple, more complex.
  size_t RectCount() const { return FRects.size(); }
  const std::vector<TRect>& Rects() const { return FRects; }
  TRect Bounds() const;

  TRegionData Union(const TRegionData& other) const;
  TRegionData Intersect(const TRegionData& other) const;
  TRegionData Subtract(const TRegionData& other) const;
  TRegionData Xor(const TRegionData& other) const;
  void Offset(Integer dx, Integer dy);

  bool Contains(TPoint p) const;
  bool Intersects(const TRect& r) const;
  friend bool operator==(const TRegionData&, const TRegionData&) = default;

 private:
  std::vector<TRect> FRects;
};

// The region an HRGN names, or nullptr when the handle is not a live region.
const TRegionData* RegionFromHandle(HRGN rgn);
// A new HRGN object holding a copy of the region.
HRGN CreateRegionHandle(const TRegionData& data);
// Replaces the region an HRGN holds; false when the handle is not a live region.
bool SetRegionHandleData(HRGN rgn, const TRegionData& data);
