// Pixel-exact primitives: raster operations, fills, blits, lines, shapes, pixels and regions.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/os/GdiInternal.h"

namespace {

Integer Mod(Integer a, Integer m) {
  Integer r = a % m;
  return r < 0 ? r + m : r;
}

uint8_t RopIndex(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }
bool RopUsesSource(uint8_t idx) { return (((idx >> 2) ^ idx) & 0x33) != 0; }
bool RopUsesPattern(uint8_t idx) { return (((idx >> 4) ^ idx) & 0x0F) != 0; }

uint32_t ApplyRopIndex(uint8_t idx, uint32_t pat, uint32_t src, uint32_t dest) {
  switch (idx) {
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    case 0xCC: return src;
    case 0xF0: return pat;
    case 0x55: return ~dest & 0xFFFFFF;
    case 0x5A: return pat ^ dest;
    case 0x66: return src ^ dest;
    case 0x88: return src & dest;
    case 0xEE: return src | dest;
    case 0xE2: return ((src & pat) | (~src & dest)) & 0xFFFFFF;
    default: break;
  }
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((idx >> i) & 1)) continue;
    uint32_t p = (i & 4) ? pat : ~pat;
    uint32_t s = (i & 2) ? src : ~src;
    uint32_t d = (i & 1) ? dest : ~dest;
    r |= p & s & d;
  }
  return r & 0xFFFFFF;
}

// 8x8 hatch tiles: 0 marks a line pixel (drawn in the brush colour), 1 the background.
const uint8_t kHatchBits[6][8] = {
    {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF},  // horizontal
    {0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7},  // vertical
    {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE},  // forward diagonal
    {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},  // backward diagonal
    {0xF7, 0xF7, 0xF7, 0xF7, 0x00, 0xF7, 0xF7, 0xF7},  // cross
    {0x7E, 0xBD, 0xDB, 0xE7, 0xE7, 0xDB, 0xBD, 0x7E},  // diagonal cross
};

const TSurface& HatchTile(Integer hatch) {
  static const std::vector<TSurface> tiles = [] {
    std::vector<TSurface> v;
    for (const auto& bits : kHatchBits) {
      TSurface s(8, 8);
      for (Integer y = 0; y < 8; ++y)
        for (Integer x = 0; x < 8; ++x) s.Row(y)[x] = ((bits[y] >> (7 - x)) & 1) ? 0xFFFFFF : 0;
      v.push_back(std::move(s));
    }
    return v;
  }();
  return tiles[size_t(std::clamp(hatch, 0, 5))];
}

// The checkerboard of focus rectangles: 0 on even (x + y), 1 on odd.
const TSurface& CheckerTile() {
  static const TSurface tile = [] {
    TSurface s(2, 2);
    s.Row(0)[1] = s.Row(1)[0] = 0xFFFFFF;
    return s;
  }();
  return tile;
}

// Visits the clip rectangles that meet `r` (surface coordinates), clipped to it.
template <class F>
void ForClipped(TDC& dc, const TRect& r, F&& f) {
  if (r.IsEmpty()) return;
  const std::vector<TRect>& rects = dc.Clip().Rects();
  auto it = std::upper_bound(rects.begin(), rects.end(), r.Top, [](Integer y, const TRect& c) { return y < c.Bottom; });
  for (; it != rects.end() && it->Top < r.Bottom; ++it) {
    TRect c{std::max(r.Left, it->Left), std::max(r.Top, it->Top), std::min(r.Right, it->Right),
            std::min(r.Bottom, it->Bottom)};
    if (!c.IsEmpty()) f(c);
  }
}

bool IsSysColorBrush(HBRUSH brush) {
  uintptr_t v = reinterpret_cast<uintptr_t>(brush);
  return v >= 1 && v <= uintptr_t(COLOR_ENDCOLORS) + 1;
}

// The one-pixel border of a rectangle, each pixel written once.
void FillFrame(TDC& dc, const TRect& r, const TFillSource& src, DWORD rop) {
  if (r.IsEmpty()) return;
  FillSurfaceRect(dc, {r.Left, r.Top, r.Right, r.Top + 1}, src, rop);
  if (r.Height() > 1) FillSurfaceRect(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, src, rop);
  if (r.Height() <= 2) return;
  FillSurfaceRect(dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, src, rop);
  if (r.Width() > 1) FillSurfaceRect(dc, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, src, rop);
}

// Solid fill from a pen or a plain colour.
TFillSource SolidSource(const TDC& dc, COLORREF color) {
  TFillSource s;
  s.Solid = TargetPixel(dc, color);
  return s;
}

TRect Normalize(int l, int t, int r, int b) { return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}; }

// A pen resolved for one drawing call.
struct TPenInfo {
  bool Null = true;
  UINT Style = PS_SOLID;
  Integer Width = 1;
  uint32_t Color = 0;
};

TPenInfo PenInfo(const TDC& dc) {
  TPenInfo info;
  const TPenObject* pen = PenOf(dc.State.Pen);
  if (!pen || pen->Style == PS_NULL) return info;
  info.Null = false;
  info.Style = pen->Style;
  info.Width = pen->Width;
  info.Color = TargetPixel(dc, pen->DCPen ? dc.State.DCPenColor : pen->Color);
  return info;
}

// On/off run lengths of the styled cosmetic pens.
std::vector<Integer> DashPattern(UINT style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    default: return {};
  }
}

// Calls f(x, y) for each point of the Bresenham line from a to b, b excluded.
template <class F>
void ForLinePoints(TPoint a, TPoint b, F&& f) {
  const Integer dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const Integer sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  Integer err = dx + dy;
  for (Integer x = a.X, y = a.Y; x != b.X || y != b.Y;) {
    f(x, y);
    const Integer e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

class TLineWriter {
 public:
  TLineWriter(TDC& dc, const TPenInfo& pen) : FDC(dc), FPen(pen), FDash(DashPattern(pen.Style)) {
    FSurface = dc.Surface.get();
    FBack = TargetPixel(dc, dc.State.BkColor);
  }

  // Bresenham from a to b in surface coordinates, b excluded.
  void Segment(TPoint a, TPoint b) {
    if (a.X != b.X && a.Y != b.Y && StepsByDevicePixels()) return DeviceSegment(a, b);
    ForLinePoints(a, b, [this](Integer x, Integer y) { Plot(x, y); });
  }

  void Flush() {
    if (FThick.empty()) return;
    TFillSource src;
    src.Solid = FPen.Color;
    FillSurfaceRegion(FDC, TRegionData::FromRects(FThick), src, FDC.State.Rop2);
    FThick.clear();
  }

  void PlotLast(TPoint p) {
    if (FPen.Width > 1) Plot(p.X, p.Y);
  }

 private:
  void Plot(Integer x, Integer y) {
    bool on = true;
    if (!FDash.empty()) {
      on = FDashIndex % 2 == 0;
      if (++FDashStep >= FDash[FDashIndex]) {
        FDashStep = 0;
        FDashIndex = (FDashIndex + 1) % FDash.size();
      }
    }
    if (FPen.Width > 1) {
      if (on) {
        Integer h = FPen.Width / 2;
        FThick.push_back({x - h, y - h, x - h + FPen.Width, y - h + FPen.Width});
      }
      return;
    }
    if (!on && FDC.State.BkMode != OPAQUE) return;
    Put(x, y, on ? FPen.Color : FBack);
  }

  // A plain one-unit line on a high-DPI surface: slopes step by one device pixel, as text does,
  // instead of by a whole unit; level and upright lines are the same either way.
  bool StepsByDevicePixels() const {
    return FSurface->Scaled() && FSurface->IntegralScale() && FPen.Width <= 1 && FDash.empty() &&
           FDC.State.Rop2 == R2_COPYPEN;
  }

  // The line from a to b in device pixels, a unit square of device pixels at each step, each
  // device pixel shown where its unit lies in the clip.
  void DeviceSegment(TPoint a, TPoint b) {
    const Integer unit = Integer(FSurface->Scale);
    ForLinePoints({a.X * unit, a.Y * unit}, {b.X * unit, b.Y * unit}, [&](Integer x, Integer y) {
      for (Integer v = y; v < y + unit; ++v)
        for (Integer u = x; u < x + unit; ++u) PutDevice(u, v);
    });
  }

  void PutDevice(Integer x, Integer y) {
    if (x < 0 || y < 0 || x >= FSurface->Width || y >= FSurface->Height) return;
    if (!FDC.Clip().Contains({FSurface->ToLogical(x), FSurface->ToLogical(y)})) return;
    FSurface->Row(y)[x] = FPen.Color;
  }

  void Put(Integer x, Integer y, uint32_t color) {
    if (x < 0 || y < 0 || x >= FSurface->LogicalWidth() || y >= FSurface->LogicalHeight()) return;
    if (!FDC.Clip().Contains({x, y})) return;
    int rop2 = FDC.State.Rop2;
    ForDevicePixels(*FSurface, {x, y, x + 1, y + 1}, [&](uint32_t& px, Integer, Integer) { px = ApplyRop2(rop2, color, px); });
  }

  TDC& FDC;
  TPenInfo FPen;
  std::vector<Integer> FDash;
  size_t FDashIndex = 0;
  Integer FDashStep = 0;
  TSurface* FSurface;
  uint32_t FBack;
  std::vector<TRect> FThick;
};

void RecordPath(TDC& dc, const std::vector<TPoint>& pts, bool closed) {
  if (pts.empty()) return;
  dc.Path.push_back({pts, closed});
}

// Interior region and the pen's outline of a closed shape in surface coordinates.
void FillAndOutline(TDC& dc, const TRegionData& shape, bool fill) {
  TPenInfo pen = PenInfo(dc);
  if (fill) {
    TFillSource src;
    if (BrushSource(dc, dc.State.Brush, src)) FillSurfaceRegion(dc, shape, src, dc.State.Rop2);
  }
  if (pen.Null) return;
  TRegionData inner = shape;
  for (Integer w = 0; w < pen.Width; ++w) {
    TRegionData a = inner, b = inner, c = inner, d = inner;
    a.Offset(1, 0);
    b.Offset(-1, 0);
    c.Offset(0, 1);
    d.Offset(0, -1);
    inner = inner.Intersect(a).Intersect(b).Intersect(c).Intersect(d);
  }
  TFillSource src;
  src.Solid = pen.Color;
  FillSurfaceRegion(dc, shape.Subtract(inner), src, dc.State.Rop2);
}

TRegionData LogicalRegionToSurface(const TDC& dc, const TRegionData& r) {
  TRegionData s = r;
  TPoint o = dc.ToSurface(TPoint{0, 0});
  s.Offset(o.X, o.Y);
  return s;
}

uint32_t ConvertSourcePixel(uint32_t p, const TDC& src, const TDC& dst) {
  if (src.MonoTarget && !dst.MonoTarget)
    return p == 0 ? ColorToPixel(dst.State.TextColor) : ColorToPixel(dst.State.BkColor);
  if (!src.MonoTarget && dst.MonoTarget) return p == ColorToPixel(src.State.BkColor) ? 0xFFFFFF : 0;
  return p;
}

struct TBltParams {
  TRect Dest;     // surface coordinates, normalized
  TRect Source;   // source surface coordinates, normalized
  bool MirrorX = false;
  bool MirrorY = false;
};

// Maps a destination pixel to its source pixel (nearest neighbour).
Integer MapAxis(Integer d, Integer d0, Integer dn, Integer s0, Integer sn, bool mirror) {
  Integer off = d - d0;
  if (mirror) off = dn - 1 - off;
  if (dn == sn) return s0 + off;
  return s0 + Integer((int64_t(off) * 2 + 1) * sn / (int64_t(dn) * 2));
}

// Plain copy between surfaces of one whole-number scale: whole device rows per clip rectangle,
// ordered so that an overlapping source on the same surface is read before it is overwritten.
void CopyRows(TDC& dst, const TSurface& src, const TRect& dest, TPoint delta) {
  TSurface& out = *dst.Surface;
  TRect inSource{-delta.X, -delta.Y, src.LogicalWidth() - delta.X, src.LogicalHeight() - delta.Y};
  TRect area{std::max(dest.Left, inSource.Left), std::max(dest.Top, inSource.Top), std::min(dest.Right, inSource.Right),
             std::min(dest.Bottom, inSource.Bottom)};
  std::vector<TRect> parts;
  ForClipped(dst, area, [&](const TRect& c) { parts.push_back(out.ToDevice(c)); });
  TPoint d{out.ToDevice(delta.X), out.ToDevice(delta.Y)};
  bool upwards = &src == &out && d.Y < 0;
  if (upwards) std::reverse(parts.begin(), parts.end());
  for (const TRect& c : parts) {
    size_t n = size_t(c.Width()) * sizeof(uint32_t);
    for (Integer i = 0; i < c.Height(); ++i) {
      Integer y = upwards ? c.Bottom - 1 - i : c.Top + i;
      std::memmove(out.Row(y) + c.Left, src.Row(y + d.Y) + c.Left + d.X, n);
    }
  }
}

// The device pixel of a source axis that a destination position (logical, fractional) maps to,
// when either surface has a device scale.
Integer MapScaled(double d, Integer d0, Integer dn, Integer s0, Integer sn, bool mirror, double sourceScale) {
  double off = d - d0;
  if (mirror) off = dn - off;
  return Integer(std::floor((s0 + off * sn / dn) * sourceScale));
}

BOOL Blit(HDC destDC, int x, int y, int w, int h, HDC srcDC, int sx, int sy, int sw, int sh, DWORD rop,
          HBITMAP mask = nullptr, int mx = 0, int my = 0) {
  TDC* dst = DCOf(destDC);
  if (!dst) return FALSE;
  uint8_t fore = RopIndex(rop), back = mask ? uint8_t((rop >> 24) & 0xFF) : fore;
  bool needSource = RopUsesSource(fore) || RopUsesSource(back);
  TDC* src = DCOf(srcDC);
  if (needSource && !src) return FALSE;
  TBitmapObject* maskBmp = nullptr;
  if (mask && !(maskBmp = BitmapOf(mask))) return FALSE;
  if (w == 0 || h == 0 || (needSource && (sw == 0 || sh == 0))) return TRUE;
  TBltParams p;
  TPoint d0 = dst->ToSurface(TPoint{x, y});
  p.Dest = Normalize(d0.X, d0.Y, d0.X + w, d0.Y + h);
  if (needSource) {
    TPoint s0 = src->ToSurface(TPoint{sx, sy});
    p.Source = Normalize(s0.X, s0.Y, s0.X + sw, s0.Y + sh);
    p.MirrorX = (w < 0) != (sw < 0);
    p.MirrorY = (h < 0) != (sh < 0);
  }
  bool sameScale = !needSource || (src->Surface->Scale == dst->Surface->Scale && dst->Surface->IntegralScale());
  if (!mask && fore == 0xCC && !p.MirrorX && !p.MirrorY && p.Dest.Width() == p.Source.Width() &&
      p.Dest.Height() == p.Source.Height() && src->MonoTarget == dst->MonoTarget && sameScale) {
    CopyRows(*dst, *src->Surface, p.Dest, {p.Source.Left - p.Dest.Left, p.Source.Top - p.Dest.Top});
    return TRUE;
  }
  TFillSource pat;
  bool hasPattern = BrushSource(*dst, dst->State.Brush, pat);
  if (!hasPattern && (RopUsesPattern(fore) || RopUsesPattern(back))) pat = SolidSource(*dst, 0);
  // A source that overlaps the destination is read from a snapshot.
  TSurface snapshot;
  const TSurface* srcSurface = needSource ? src->Surface.get() : nullptr;
  if (srcSurface && srcSurface == dst->Surface.get()) {
    snapshot = *srcSurface;
    srcSurface = &snapshot;
  }
  TSurface& out = *dst->Surface;
  Integer dw = p.Dest.Width(), dh = p.Dest.Height(), sW = p.Source.Width(), sH = p.Source.Height();
  auto pixel = [&](uint32_t dest, uint32_t s, Integer lx, Integer ly) {
    uint8_t idx = fore;
    if (maskBmp) {
      Integer mxx = mx + (lx - p.Dest.Left), myy = my + (ly - p.Dest.Top);
      bool on = mxx >= 0 && myy >= 0 && mxx < maskBmp->Surface->Width && myy < maskBmp->Surface->Height &&
                maskBmp->Surface->Row(myy)[mxx] != 0;
      idx = on ? fore : back;
    }
    bool skip = false;
    uint32_t pp = hasPattern ? pat.At(lx, ly, &skip) : 0;
    return ApplyRopIndex(idx, pp, s, dest);
  };
  if (out.Scaled() || (srcSurface && srcSurface->Scaled())) {
    // Each device pixel of the destination takes the source pixel under its centre.
    ForClipped(*dst, p.Dest, [&](const TRect& c) {
      TRect d = out.ToDevice(c);
      for (Integer yy = d.Top; yy < d.Bottom; ++yy) {
        uint32_t* row = out.Row(yy);
        Integer ly = out.ToLogical(yy);
        const uint32_t* srow = nullptr;
        if (srcSurface) {
          Integer syy = MapScaled((yy + 0.5) / out.Scale, p.Dest.Top, dh, p.Source.Top, sH, p.MirrorY, srcSurface->Scale);
          if (syy < 0 || syy >= srcSurface->Height) continue;
          srow = srcSurface->Row(syy);
        }
        for (Integer xx = d.Left; xx < d.Right; ++xx) {
          uint32_t s = 0;
          if (srow) {
            Integer sxx = MapScaled((xx + 0.5) / out.Scale, p.Dest.Left, dw, p.Source.Left, sW, p.MirrorX, srcSurface->Scale);
            if (sxx < 0 || sxx >= srcSurface->Width) continue;
            s = ConvertSourcePixel(srow[sxx], *src, *dst);
          }
          row[xx] = pixel(row[xx], s, out.ToLogical(xx), ly);
        }
      }
    });
    return TRUE;
  }
  ForClipped(*dst, p.Dest, [&](const TRect& c) {
    for (Integer yy = c.Top; yy < c.Bottom; ++yy) {
      uint32_t* row = out.Row(yy);
      Integer syy = 0;
      const uint32_t* srow = nullptr;
      if (srcSurface) {
        syy = MapAxis(yy, p.Dest.Top, dh, p.Source.Top, sH, p.MirrorY);
        if (syy < 0 || syy >= srcSurface->Height) continue;
        srow = srcSurface->Row(syy);
      }
      for (Integer xx = c.Left; xx < c.Right; ++xx) {
        uint32_t s = 0;
        if (srow) {
          Integer sxx = MapAxis(xx, p.Dest.Left, dw, p.Source.Left, sW, p.MirrorX);
          if (sxx < 0 || sxx >= srcSurface->Width) continue;
          s = ConvertSourcePixel(srow[sxx], *src, *dst);
        }
        row[xx] = pixel(row[xx], s, xx, yy);
      }
    }
  });
  return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Raster operations and fill sources

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest) {
  switch (rop2) {
    case R2_COPYPEN: return pen;
    case R2_XORPEN: return pen ^ dest;
    case R2_NOT: return ~dest & 0xFFFFFF;
    case R2_NOP: return dest;
    default: break;
  }
  unsigned table = unsigned(rop2 - 1) & 0xF;
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) {
    if (!((table >> i) & 1)) continue;
    uint32_t p = (i & 2) ? pen : ~pen;
    uint32_t d = (i & 1) ? dest : ~dest;
    r |= p & d;
  }
  return r & 0xFFFFFF;
}

uint32_t ApplyRop3(DWORD rop, uint32_t pat, uint32_t src, uint32_t dest) {
  return ApplyRopIndex(RopIndex(rop), pat, src, dest);
}

uint32_t TFillSource::At(Integer x, Integer y, bool* skip) const {
  if (!Pattern) return Solid;
  uint32_t v = Tile->Row(Mod(y - OrgY, Tile->Height))[Mod(x - OrgX, Tile->Width)];
  if (!Mono) return v;
  if (v == 0) return Fore;
  if (SkipBack && skip) *skip = true;
  return Back;
}

bool BrushSource(TDC& dc, HBRUSH brush, TFillSource& out) {
  out = TFillSource();
  if (IsSysColorBrush(brush)) {
    out.Solid = TargetPixel(dc, GetSysColor(int(reinterpret_cast<uintptr_t>(brush)) - 1));
    return true;
  }
  const TBrushObject* b = BrushOf(brush);
  if (!b || b->Style == BS_NULL) return false;
  out.OrgX = dc.DeviceOrigin.X + dc.State.BrushOrg.X;
  out.OrgY = dc.DeviceOrigin.Y + dc.State.BrushOrg.Y;
  switch (b->Style) {
    case BS_SOLID: out.Solid = TargetPixel(dc, b->DCBrush ? dc.State.DCBrushColor : b->Color); return true;
    case BS_HATCHED:
      out.Pattern = out.Mono = true;
      out.Tile = &HatchTile(b->Hatch);
      out.Fore = TargetPixel(dc, b->Color);
      out.Back = TargetPixel(dc, dc.State.BkColor);
      out.SkipBack = dc.State.BkMode == TRANSPARENT;
      return true;
    case BS_PATTERN:
      out.Pattern = true;
      out.Mono = b->PatternMono;
      out.Tile = b->Pattern.get();
      out.Fore = TargetPixel(dc, dc.State.TextColor);
      out.Back = TargetPixel(dc, dc.State.BkColor);
      return true;
    default: return false;
  }
}

void FillSurfaceRect(TDC& dc, const TRect& r, const TFillSource& src, DWORD rop) {
  uint8_t idx = RopIndex(rop);
  TSurface& s = *dc.Surface;
  ForClipped(dc, r, [&](const TRect& c) {
    if (!src.Pattern && idx == 0xF0) {
      FillDevicePixels(s, c, src.Solid);
      return;
    }
    ForDevicePixels(s, c, [&](uint32_t& px, Integer x, Integer y) {
      bool skip = false;
      uint32_t p = src.At(x, y, &skip);
      if (!skip) px = ApplyRopIndex(idx, p, 0, px);
    });
  });
}

void FillSurfaceRegion(TDC& dc, const TRegionData& region, const TFillSource& src, int rop2) {
  TSurface& s = *dc.Surface;
  for (const TRect& rr : region.Rects()) {
    ForClipped(dc, rr, [&](const TRect& c) {
      if (!src.Pattern && rop2 == R2_COPYPEN) {
        FillDevicePixels(s, c, src.Solid);
        return;
      }
      ForDevicePixels(s, c, [&](uint32_t& px, Integer x, Integer y) {
        bool skip = false;
        uint32_t p = src.At(x, y, &skip);
        if (!skip) px = ApplyRop2(rop2, p, px);
      });
    });
  }
}

void StrokePolyline(TDC& dc, const std::vector<TPoint>& logical, bool closed) {
  TPenInfo pen = PenInfo(dc);
  if (pen.Null || logical.empty()) return;
  TLineWriter w(dc, pen);
  for (size_t i = 0; i + 1 < logical.size(); ++i) w.Segment(dc.ToSurface(logical[i]), dc.ToSurface(logical[i + 1]));
  if (closed && logical.size() > 1) w.Segment(dc.ToSurface(logical.back()), dc.ToSurface(logical.front()));
  else w.PlotLast(dc.ToSurface(logical.back()));
  w.Flush();
}

// ---------------------------------------------------------------------------------------------
// Rectangles and blits

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TFillSource src;
  if (!BrushSource(*d, brush, src)) return FALSE;
  FillSurfaceRect(*d, d->ToSurface(*rect), src, PATCOPY);
  return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TFillSource src;
  if (!BrushSource(*d, brush, src)) return FALSE;
  FillFrame(*d, d->ToSurface(*rect), src, PATCOPY);
  return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  FillSurfaceRect(*d, d->ToSurface(*rect), TFillSource(), DSTINVERT);
  return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  TDC* d = DCOf(dc);
  if (!d || RopUsesSource(RopIndex(rop))) return FALSE;
  TFillSource src;
  if (!BrushSource(*d, d->State.Brush, src) && RopUsesPattern(RopIndex(rop))) return TRUE;
  TPoint p = d->ToSurface(TPoint{x, y});
  FillSurfaceRect(*d, Normalize(p.X, p.Y, p.X + width, p.Y + height), src, rop);
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  return Blit(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, HBITMAP mask, int maskX,
             int maskY, DWORD rop4) {
  if (!mask) return Blit(dest, x, y, width, height, src, srcX, srcY, width, height, rop4 & 0x00FFFFFF);
  return Blit(dest, x, y, width, height, src, srcX, srcY, width, height, rop4, mask, maskX, maskY);
}

// ---------------------------------------------------------------------------------------------
// Lines and shapes

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  if (old) *old = d->State.CurPos;
  d->State.CurPos = {x, y};
  if (d->PathOpen) d->Path.push_back({{TPoint{x, y}}, false});
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, LPPOINT pos) {
  TDC* d = DCOf(dc);
  if (!d || !pos) return FALSE;
  *pos = d->State.CurPos;
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  TPoint from = d->State.CurPos;
  d->State.CurPos = {x, y};
  if (d->PathOpen) {
    if (d->Path.empty()) d->Path.push_back({{from}, false});
    d->Path.back().Points.push_back({x, y});
    return TRUE;
  }
  StrokePolyline(*d, {from, TPoint{x, y}}, false);
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
  TDC* d = DCOf(dc);
  if (!d || !points || count < 2) return FALSE;
  std::vector<TPoint> pts(points, points + count);
  if (d->PathOpen) RecordPath(*d, pts, false);
  else StrokePolyline(*d, pts, false);
  return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines) {
  if (!DCOf(dc) || !points || !counts) return FALSE;
  for (DWORD i = 0; i < polylines; ++i) {
    if (counts[i] < 2) return FALSE;
    Polyline(dc, points, int(counts[i]));
    points += counts[i];
  }
  return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  TDC* d = DCOf(dc);
  if (!d || !points || count < 2) return FALSE;
  std::vector<TPoint> pts(points, points + count);
  if (d->PathOpen) {
    RecordPath(*d, pts, true);
    return TRUE;
  }
  std::vector<TPoint> surf;
  for (const TPoint& p : pts) surf.push_back(d->ToSurface(p));
  TFillSource src;
  if (BrushSource(*d, d->State.Brush, src))
    FillSurfaceRegion(*d, TRegionData::Polygon(surf, d->State.PolyFillMode == WINDING, true), src, d->State.Rop2);
  StrokePolyline(*d, pts, true);
  return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  TRect r = Normalize(left, top, right, bottom);
  if (d->PathOpen) {
    RecordPath(*d, {{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}}, true);
    return TRUE;
  }
  TPenInfo pen = PenInfo(*d);
  if (pen.Null) {
    r.Right -= 1;
    r.Bottom -= 1;
  }
  if (r.IsEmpty()) return TRUE;
  FillAndOutline(*d, TRegionData(d->ToSurface(r)), true);
  return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  TRect r = d->ToSurface(Normalize(left, top, right, bottom));
  if (r.IsEmpty()) return TRUE;
  FillAndOutline(*d, TRegionData::RoundRect(r, width, height), true);
  return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  TRect r = d->ToSurface(Normalize(left, top, right, bottom));
  if (r.IsEmpty()) return TRUE;
  FillAndOutline(*d, TRegionData::Ellipse(r), true);
  return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  TDC* d = DCOf(dc);
  if (!d) return CLR_INVALID;
  TPoint p = d->ToSurface(TPoint{x, y});
  if (!d->Clip().Contains(p)) return CLR_INVALID;
  uint32_t px = TargetPixel(*d, color);
  FillDevicePixels(*d->Surface, {p.X, p.Y, p.X + 1, p.Y + 1}, px);
  return PixelToColor(px);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC dc, int x, int y) {
  TDC* d = DCOf(dc);
  if (!d) return CLR_INVALID;
  TPoint p = d->ToSurface(TPoint{x, y});
  if (!d->Clip().Contains(p)) return CLR_INVALID;
  const TSurface& s = *d->Surface;
  return PixelToColor(s.Row(s.ToDevice(p.Y))[s.ToDevice(p.X)]);
}

// ---------------------------------------------------------------------------------------------
// Regions drawn

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  TDC* d = DCOf(dc);
  const TRegionData* r = RegionFromHandle(rgn);
  if (!d || !r) return FALSE;
  TFillSource src;
  if (!BrushSource(*d, brush, src)) return FALSE;
  FillSurfaceRegion(*d, LogicalRegionToSurface(*d, *r), src, R2_COPYPEN);
  return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN rgn) {
  TDC* d = DCOf(dc);
  return d ? FillRgn(dc, rgn, d->State.Brush) : FALSE;
}

BOOL InvertRgn(HDC dc, HRGN rgn) {
  TDC* d = DCOf(dc);
  const TRegionData* r = RegionFromHandle(rgn);
  if (!d || !r) return FALSE;
  FillSurfaceRegion(*d, LogicalRegionToSurface(*d, *r), TFillSource(), R2_NOT);
  return TRUE;
}

// The frame is what the region loses when eroded by width horizontally and height vertically.
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height) {
  TDC* d = DCOf(dc);
  const TRegionData* r = RegionFromHandle(rgn);
  if (!d || !r || width < 0 || height < 0) return FALSE;
  TFillSource src;
  if (!BrushSource(*d, brush, src)) return FALSE;
  TRegionData inner = *r;
  for (auto [dx, dy] : {std::pair{width, 0}, {-width, 0}, {0, height}, {0, -height}}) {
    TRegionData moved = *r;
    moved.Offset(dx, dy);
    inner = inner.Intersect(moved);
  }
  FillSurfaceRegion(*d, LogicalRegionToSurface(*d, r->Subtract(inner)), src, R2_COPYPEN);
  return TRUE;
}

// Dotted XOR frame; a second call with the same rectangle restores the pixels.
BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TRect r = d->ToSurface(*rect);
  if (r.IsEmpty()) return TRUE;
  TFillSource src;
  src.Pattern = src.Mono = true;
  src.Tile = &CheckerTile();
  src.Fore = TargetPixel(*d, d->State.TextColor);
  src.Back = TargetPixel(*d, d->State.BkColor);
  src.OrgX = d->DeviceOrigin.X;
  src.OrgY = d->DeviceOrigin.Y;
  FillFrame(*d, r, src, PATINVERT);
  return TRUE;
}
