// Questions the drawing tests ask of a painted surface, through a reader `at(x, y)` that gives
// the pixel's RGB value, and how rectangles and points read in failure messages.
#pragma once

#include <algorithm>
#include <ostream>

#include "platform/os/WinTypes.h"

inline std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
inline std::ostream& operator<<(std::ostream& os, const TPoint& p) { return os << "(" << p.X << "," << p.Y << ")"; }

// Bounding box of the pixels that differ from `background`; empty when there are none.
template <class TAt>
TRect InkBoxOf(int width, int height, COLORREF background, TAt at) {
  TRect r{width, height, 0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (at(x, y) != background) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.Right == 0 ? TRect{} : r;
}

template <class TAt>
int CountOf(int width, int height, COLORREF c, TAt at) {
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += at(x, y) == c;
  return n;
}
