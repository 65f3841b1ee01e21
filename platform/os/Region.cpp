// Region algebra on y-x banded rectangle lists.
//
// Invariant of FRects: rectangles are grouped in bands (same Top and Bottom), bands are sorted by
// Top and do not overlap, rectangles inside a band are sorted by Left and neither overlap nor
// touch, and two bands that touch vertically never hold the same x-spans (they are merged).
#include "platform/os/Region.h"

#include <algorithm>
#include <cmath>

namespace {

struct TSpan {
  Integer Left;
  Integer Right;
};
using TSpans = std::vector<TSpan>;

enum class TRegionOp { Union, Intersect, Subtract, Xor };

bool Apply(TRegionOp op, bool a, bool b) {
  switch (op) {
    case TRegionOp::Union: return a || b;
    case TRegionOp::Intersect: return a && b;
    case TRegionOp::Subtract: return a && !b;
    case TRegionOp::Xor: return a != b;
  }
  return false;
}

// Combines two sorted, disjoint span lists by sweeping their edges.
void CombineSpans(TRegionOp op, const TRect* a, size_t na, const TRect* b, size_t nb, TSpans& out) {
  out.clear();
  size_t ia = 0, ib = 0;
  bool inA = false, inB = false, inOut = false;
  Integer start = 0;
  while (ia < na * 2 || ib < nb * 2) {
    Integer xa = ia < na * 2 ? ((ia & 1) ? a[ia / 2].Right : a[ia / 2].Left) : INT32_MAX;
    Integer xb = ib < nb * 2 ? ((ib & 1) ? b[ib / 2].Right : b[ib / 2].Left) : INT32_MAX;
    Integer x = std::min(xa, xb);
    if (xa == x) { inA = !inA; ++ia; }
    if (xb == x) { inB = !inB; ++ib; }
    bool now = Apply(op, inA, inB);
    if (now != inOut) {
      if (now) start = x;
      else if (x > start) out.push_back({start, x});
      inOut = now;
    }
  }
}

// Builds banded rectangle lists, merging a band into the previous one when it touches it and
// has the same spans.
class TBandWriter {
 public:
  explicit TBandWriter(std::vector<TRect>& rects) : FRects(rects) {}

  void Add(Integer top, Integer bottom, const TSpans& spans) {
    if (spans.empty() || bottom <= top) return;
    if (FPrevCount == spans.size() && FPrevBottom == top && SameAsPrevious(spans)) {
      for (size_t i = FRects.size() - FPrevCount; i < FRects.size(); ++i) FRects[i].Bottom = bottom;
      FPrevBottom = bottom;
      return;
    }
    for (const TSpan& s : spans) FRects.push_back({s.Left, top, s.Right, bottom});
    FPrevCount = spans.size();
    FPrevBottom = bottom;
  }

 private:
  bool SameAsPrevious(const TSpans& spans) const {
    const TRect* prev = FRects.data() + FRects.size() - FPrevCount;
    for (size_t i = 0; i < spans.size(); ++i)
      if (prev[i].Left != spans[i].Left || prev[i].Right != spans[i].Right) return false;
    return true;
  }

  std::vector<TRect>& FRects;
  size_t FPrevCount = 0;
  Integer FPrevBottom = INT32_MIN;
};

// Index range of one band in a banded rectangle list.
struct TBand {
  size_t First;
  size_t Count;
  Integer Top;
  Integer Bottom;
};

std::vector<TBand> BandsOf(const std::vector<TRect>& rects) {
  std::vector<TBand> bands;
  for (size_t i = 0; i < rects.size();) {
    size_t j = i + 1;
    while (j < rects.size() && rects[j].Top == rects[i].Top) ++j;
    bands.push_back({i, j - i, rects[i].Top, rects[i].Bottom});
    i = j;
  }
  return bands;
}

std::vector<TRect> Combine(TRegionOp op, const std::vector<TRect>& a, const std::vector<TRect>& b) {
  std::vector<TRect> result;
  const std::vector<TBand> ba = BandsOf(a), bb = BandsOf(b);
  TBandWriter writer(result);
  TSpans spans;
  size_t ia = 0, ib = 0;
  Integer y = INT32_MIN;
  if (!ba.empty()) y = ba[0].Top;
  if (!bb.empty()) y = ba.empty() ? bb[0].Top : std::min(y, bb[0].Top);
  while (ia < ba.size() || ib < bb.size()) {
    while (ia < ba.size() && ba[ia].Bottom <= y) ++ia;
    while (ib < bb.size() && bb[ib].Bottom <= y) ++ib;
    if (ia >= ba.size() && ib >= bb.size()) break;
    bool inA = ia < ba.size() && ba[ia].Top <= y;
    bool inB = ib < bb.size() && bb[ib].Top <= y;
    Integer next = INT32_MAX;
    if (ia < ba.size()) next = std::min(next, inA ? ba[ia].Bottom : ba[ia].Top);
    if (ib < bb.size()) next = std::min(next, inB ? bb[ib].Bottom : bb[ib].Top);
    if (inA || inB) {
      CombineSpans(op, inA ? &a[ba[ia].First] : nullptr, inA ? ba[ia].Count : 0,
                   inB ? &b[bb[ib].First] : nullptr, inB ? bb[ib].Count : 0, spans);
      writer.Add(y, next, spans);
    }
    y = next;
  }
  return result;
}

// Union of arbitrary rectangles: sweep the distinct y edges, merge the x-intervals of the
// rectangles covering each stripe.
std::vector<TRect> UnionOfRects(std::vector<TRect> rects) {
  std::erase_if(rects, [](const TRect& r) { return r.IsEmpty(); });
  std::vector<TRect> result;
  if (rects.empty()) return result;
  std::vector<Integer> ys;
  ys.reserve(rects.size() * 2);
  for (const TRect& r : rects) {
    ys.push_back(r.Top);
    ys.push_back(r.Bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::sort(rects.begin(), rects.end(), [](const TRect& l, const TRect& r) { return l.Left < r.Left; });
  TBandWriter writer(result);
  TSpans spans;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    Integer top = ys[k], bottom = ys[k + 1];
    spans.clear();
    for (const TRect& r : rects) {
      if (r.Top > top || r.Bottom < bottom) continue;
      if (!spans.empty() && r.Left <= spans.back().Right) spans.back().Right = std::max(spans.back().Right, r.Right);
      else spans.push_back({r.Left, r.Right});
    }
    writer.Add(top, bottom, spans);
  }
  return result;
}

// Rows of one span each (a shape described row by row) to a banded list.
std::vector<TRect> FromRows(Integer top, const TSpans& rows) {
  std::vector<TRect> result;
  TBandWriter writer(result);
  TSpans one(1);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Right <= rows[i].Left) continue;
    one[0] = rows[i];
    writer.Add(top + Integer(i), top + Integer(i) + 1, one);
  }
  return result;
}

// Half-width of an ellipse with radii rx, ry at vertical distance dy from its centre.
double EllipseHalfWidth(double rx, double ry, double dy) {
  if (ry <= 0) return 0;
  double t = 1.0 - (dy * dy) / (ry * ry);
  return t <= 0 ? 0 : rx * std::sqrt(t);
}

TRect Normalized(const TRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

}  // namespace

TRegionData::TRegionData(const TRect& r) {
  if (!r.IsEmpty()) FRects.push_back(r);
}

TRegionData TRegionData::FromRects(const std::vector<TRect>& rects) {
  TRegionData d;
  d.FRects = UnionOfRects(rects);
  return d;
}

TRegionData TRegionData::Ellipse(const TRect& bounds) {
  return RoundRect(bounds, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
}

// Pixel rows are sampled at their centres; a pixel belongs to the shape when its centre does.
TRegionData TRegionData::RoundRect(const TRect& bounds, Integer ellipseWidth, Integer ellipseHeight) {
  TRect b = Normalized(bounds);
  TRegionData d;
  if (b.IsEmpty()) return d;
  double rx = std::min(std::abs(ellipseWidth), b.Width()) / 2.0;
  double ry = std::min(std::abs(ellipseHeight), b.Height()) / 2.0;
  TSpans rows(size_t(b.Height()));
  for (Integer y = b.Top; y < b.Bottom; ++y) {
    double cy = y + 0.5;
    double dy = 0;
    if (cy < b.Top + ry) dy = b.Top + ry - cy;
    else if (cy > b.Bottom - ry) dy = cy - (b.Bottom - ry);
    double inset = rx - EllipseHalfWidth(rx, ry, dy);
    Integer left = Integer(std::lround(b.Left + inset));
    Integer right = Integer(std::lround(b.Right - inset));
    rows[size_t(y - b.Top)] = {left, right};
  }
  d.FRects = FromRows(b.Top, rows);
  return d;
}

TRegionData TRegionData::Polygon(const std::vector<TPoint>& points, bool winding, bool verticesAtPixelCentres) {
  TRegionData d;
  if (points.size() < 3) return d;
  Integer top = INT32_MAX, bottom = INT32_MIN;
  for (const TPoint& p : points) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  struct TCross {
    double X;
    int Dir;
  };
  std::vector<TCross> crossings;
  std::vector<TRect> result;
  TBandWriter writer(result);
  TSpans spans;
  // Rows and columns are scanned through the pixel centres, which lie half a pixel off the
  // vertices' grid unless the vertices are centres themselves.
  const double half = verticesAtPixelCentres ? 0.0 : 0.5;
  for (Integer y = top; y < bottom; ++y) {
    double cy = y + half;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const TPoint& p = points[i];
      const TPoint& q = points[(i + 1) % points.size()];
      if (p.Y == q.Y) continue;
      bool down = q.Y > p.Y;
      double y0 = down ? p.Y : q.Y, y1 = down ? q.Y : p.Y;
      if (cy < y0 || cy >= y1) continue;
      double x = p.X + (cy - p.Y) * double(q.X - p.X) / double(q.Y - p.Y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const TCross& l, const TCross& r) { return l.X < r.X; });
    spans.clear();
    int count = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      count += winding ? crossings[i].Dir : 1;
      bool inside = winding ? count != 0 : (count & 1) != 0;
      if (!inside) continue;
      Integer l = Integer(std::ceil(crossings[i].X - half));
      Integer r = Integer(std::ceil(crossings[i + 1].X - half));
      if (r <= l) continue;
      if (!spans.empty() && l <= spans.back().Right) spans.back().Right = std::max(spans.back().Right, r);
      else spans.push_back({l, r});
    }
    writer.Add(y, y + 1, spans);
  }
  d.FRects = std::move(result);
  return d;
}

TRect TRegionData::Bounds() const {
  if (FRects.empty()) return {};
  TRect b{INT32_MAX, FRects.front().Top, INT32_MIN, FRects.back().Bottom};
  for (const TRect& r : FRects) {
    b.Left = std::min(b.Left, r.Left);
    b.Right = std::max(b.Right, r.Right);
  }
  return b;
}

TRegionData TRegionData::Union(const TRegionData& other) const {
  if (other.IsEmpty()) return *this;
  if (IsEmpty()) return other;
  TRegionData d;
  d.FRects = Combine(TRegionOp::Union, FRects, other.FRects);
  return d;
}

TRegionData TRegionData::Intersect(const TRegionData& other) const {
  if (IsEmpty() || other.IsEmpty()) return {};
  TRegionData d;
  d.FRects = Combine(TRegionOp::Intersect, FRects, other.FRects);
  return d;
}

TRegionData TRegionData::Subtract(const TRegionData& other) const {
  if (IsEmpty() || other.IsEmpty()) return *this;
  TRegionData d;
  d.FRects = Combine(TRegionOp::Subtract, FRects, other.FRects);
  return d;
}

TRegionData TRegionData::Xor(const TRegionData& other) const {
  if (other.IsEmpty()) return *this;
  if (IsEmpty()) return other;
  TRegionData d;
  d.FRects = Combine(TRegionOp::Xor, FRects, other.FRects);
  return d;
}

void TRegionData::Offset(Integer dx, Integer dy) {
  for (TRect& r : FRects) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
  }
}

bool TRegionData::Contains(TPoint p) const {
  auto it = std::upper_bound(FRects.begin(), FRects.end(), p.Y, [](Integer y, const TRect& r) { return y < r.Bottom; });
  for (; it != FRects.end() && it->Top <= p.Y; ++it)
    if (p.X >= it->Left && p.X < it->Right) return true;
  return false;
}

bool TRegionData::Intersects(const TRect& r) const {
  if (r.IsEmpty()) return false;
  auto it = std::upper_bound(FRects.begin(), FRects.end(), r.Top, [](Integer y, const TRect& q) { return y < q.Bottom; });
  for (; it != FRects.end() && it->Top < r.Bottom; ++it)
    if (it->Left < r.Right && it->Right > r.Left) return true;
  return false;
}
