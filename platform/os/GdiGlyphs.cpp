// Glyphs drawn at a DC's device resolution (TDeviceGlyphScope): the pixels under the glyph are
// copied into a bitmap of device pixels and back, the way back limited to the DC's clip.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/os/GdiInternal.h"
#include "platform/os/GdiScopes.h"

namespace {

// The device pixels of a logical surface rectangle, not cut to the surface.
TRect DeviceRect(const TSurface& S, const TRect& R) {
  return {TSurface::DeviceEdge(R.Left, S.Scale), TSurface::DeviceEdge(R.Top, S.Scale),
          TSurface::DeviceEdge(R.Right, S.Scale), TSurface::DeviceEdge(R.Bottom, S.Scale)};
}

TRect Intersection(const TRect& A, const TRect& B) {
  return {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
}

// Copies the device rectangle Area (surface device coordinates) between the surface and a bitmap
// whose pixel (0,0) is the surface's device pixel Origin.
void CopyDevicePixels(TSurface& From, TPoint FromOrigin, TSurface& To, TPoint ToOrigin, const TRect& Area) {
  if (Area.IsEmpty()) return;
  const size_t bytes = size_t(Area.Width()) * sizeof(uint32_t);
  for (Integer y = Area.Top; y < Area.Bottom; ++y)
    std::memcpy(To.Row(y - ToOrigin.Y) + (Area.Left - ToOrigin.X), From.Row(y - FromOrigin.Y) + (Area.Left - FromOrigin.X),
                bytes);
}

// The convex hull of points, counter-clockwise (monotone chain).
std::vector<POINT> ConvexHull(std::vector<POINT> P) {
  std::sort(P.begin(), P.end(), [](const POINT& a, const POINT& b) { return a.X != b.X ? a.X < b.X : a.Y < b.Y; });
  P.erase(std::unique(P.begin(), P.end(), [](const POINT& a, const POINT& b) { return a.X == b.X && a.Y == b.Y; }),
          P.end());
  if (P.size() < 3) return P;
  auto cross = [](const POINT& o, const POINT& a, const POINT& b) {
    return int64_t(a.X - o.X) * (b.Y - o.Y) - int64_t(a.Y - o.Y) * (b.X - o.X);
  };
  std::vector<POINT> hull(2 * P.size());
  size_t k = 0;
  for (size_t i = 0; i < P.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], P[i]) <= 0) --k;
    hull[k++] = P[i];
  }
  for (size_t i = P.size() - 1, lower = k + 1; i > 0; --i) {
    while (k >= lower && cross(hull[k - 2], hull[k - 1], P[i - 1]) <= 0) --k;
    hull[k++] = P[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

// Pixel art with a transparent key, W x H.
constexpr uint32_t kClearPixel = 0xFF000000;
struct TPixelArt {
  Integer W = 0, H = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(Integer x, Integer y) const {
    return Pixels[size_t(std::clamp<Integer>(y, 0, H - 1) * W + std::clamp<Integer>(x, 0, W - 1))];
  }
};

// Scale2x: each pixel becomes four, a corner taking a neighbour's colour where two neighbours
// agree across it, so that a slope stays a slope.
TPixelArt Scale2x(const TPixelArt& S) {
  TPixelArt out{S.W * 2, S.H * 2, std::vector<uint32_t>(size_t(S.W * 2) * size_t(S.H * 2))};
  auto put = [&](Integer x, Integer y, uint32_t p) { out.Pixels[size_t(y * out.W + x)] = p; };
  for (Integer y = 0; y < S.H; ++y)
    for (Integer x = 0; x < S.W; ++x) {
      const uint32_t B = S.At(x, y - 1), D = S.At(x - 1, y), E = S.At(x, y), F = S.At(x + 1, y), H = S.At(x, y + 1);
      const bool apart = B != H && D != F;
      put(2 * x, 2 * y, apart && D == B ? D : E);
      put(2 * x + 1, 2 * y, apart && B == F ? F : E);
      put(2 * x, 2 * y + 1, apart && D == H ? D : E);
      put(2 * x + 1, 2 * y + 1, apart && H == F ? F : E);
    }
  return out;
}

// Scale3x: the same for three times three.
TPixelArt Scale3x(const TPixelArt& S) {
  TPixelArt out{S.W * 3, S.H * 3, std::vector<uint32_t>(size_t(S.W * 3) * size_t(S.H * 3))};
  for (Integer y = 0; y < S.H; ++y)
    for (Integer x = 0; x < S.W; ++x) {
      const uint32_t A = S.At(x - 1, y - 1), B = S.At(x, y - 1), C = S.At(x + 1, y - 1), D = S.At(x - 1, y),
                     E = S.At(x, y), F = S.At(x + 1, y), G = S.At(x - 1, y + 1), H = S.At(x, y + 1),
                     I = S.At(x + 1, y + 1);
      const bool apart = B != H && D != F;
      const uint32_t p[9] = {
          apart && D == B ? D : E,
          apart && ((D == B && E != C) || (B == F && E != A)) ? B : E,
          apart && B == F ? F : E,
          apart && ((D == B && E != G) || (D == H && E != A)) ? D : E,
          E,
          apart && ((B == F && E != I) || (H == F && E != C)) ? F : E,
          apart && D == H ? D : E,
          apart && ((D == H && E != I) || (H == F && E != G)) ? H : E,
          apart && H == F ? F : E,
      };
      for (Integer k = 0; k < 9; ++k) out.Pixels[size_t((3 * y + k / 3) * out.W + 3 * x + k % 3)] = p[k];
    }
  return out;
}

// The art at W x H device pixels: whole steps of two and three while they fit, then the
// nearest pixel.
TPixelArt Enlarged(TPixelArt Art, Integer W, Integer H) {
  for (;;) {
    if (Art.W * 2 <= W && Art.H * 2 <= H && W % (Art.W * 2) == 0) Art = Scale2x(Art);
    else if (Art.W * 3 <= W && Art.H * 3 <= H && W % (Art.W * 3) == 0) Art = Scale3x(Art);
    else break;
  }
  if (Art.W == W && Art.H == H) return Art;
  TPixelArt out{W, H, std::vector<uint32_t>(size_t(W) * size_t(H))};
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) out.Pixels[size_t(y * W + x)] = Art.At(x * Art.W / W, y * Art.H / H);
  return out;
}

}  // namespace

double GetDeviceScale(HDC dc) {
  TDC* d = DCOf(dc);
  return d && d->Surface && !d->MonoTarget ? d->Surface->Scale : 1;
}

TDeviceGlyphScope::TDeviceGlyphScope(HDC dc, const TRect& R) : FDC(dc), FLogical(R) {
  TDC* d = DCOf(dc);
  if (!d || !d->Surface || !d->Surface->Scaled() || d->MonoTarget || R.IsEmpty()) return;
  TSurface& surface = *d->Surface;
  FSurfaceOffset = d->ToSurface(TPoint{0, 0});
  FDevice = DeviceRect(surface, {R.Left + FSurfaceOffset.X, R.Top + FSurfaceOffset.Y, R.Right + FSurfaceOffset.X,
                                 R.Bottom + FSurfaceOffset.Y});
  FBitmap = CreateBitmap(FDevice.Width(), FDevice.Height(), 1, 32, nullptr);
  FFine = CreateCompatibleDC(nullptr);
  if (!FBitmap || !FFine) {
    if (FFine) DeleteDC(FFine);
    if (FBitmap) DeleteObject(FBitmap);
    FFine = nullptr;
    FBitmap = nullptr;
    return;
  }
  FOldBitmap = SelectObject(FFine, FBitmap);
  FScale = surface.Scale;
  // The glyph's DC starts as the DC's: the same pen, brush, colours and font where it draws them.
  for (int kind : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT}) SelectObject(FFine, GetCurrentObject(dc, static_cast<UINT>(kind)));
  SetTextColor(FFine, GetTextColor(dc));
  SetBkColor(FFine, GetBkColor(dc));
  SetBkMode(FFine, GetBkMode(dc));
  TSurface& fine = *BitmapOf(FBitmap)->Surface;
  CopyDevicePixels(surface, {0, 0}, fine, FDevice.TopLeft(), Intersection(FDevice, {0, 0, surface.Width, surface.Height}));
}

TDeviceGlyphScope::~TDeviceGlyphScope() {
  if (!FFine) return;
  TDC* d = DCOf(FDC);
  if (d && d->Surface) {
    TSurface& surface = *d->Surface;
    TSurface& fine = *BitmapOf(FBitmap)->Surface;
    const TRect glyph{FLogical.Left + FSurfaceOffset.X, FLogical.Top + FSurfaceOffset.Y,
                      FLogical.Right + FSurfaceOffset.X, FLogical.Bottom + FSurfaceOffset.Y};
    const TRegionData shown = d->Clip().Intersect(TRegionData(glyph));
    for (const TRect& part : shown.Rects())
      CopyDevicePixels(fine, FDevice.TopLeft(), surface, {0, 0}, Intersection(surface.ToDevice(part), FDevice));
  }
  SelectObject(FFine, FOldBitmap);
  DeleteDC(FFine);
  DeleteObject(FBitmap);
}

TPoint TDeviceGlyphScope::Map(TPoint P) const {
  if (!FFine) return P;
  return {TSurface::DeviceEdge(P.X + FSurfaceOffset.X, FScale) - FDevice.Left,
          TSurface::DeviceEdge(P.Y + FSurfaceOffset.Y, FScale) - FDevice.Top};
}

TRect TDeviceGlyphScope::Map(const TRect& R) const {
  const TPoint a = Map(TPoint{R.Left, R.Top}), b = Map(TPoint{R.Right, R.Bottom});
  return {a.X, a.Y, b.X, b.Y};
}

Integer TDeviceGlyphScope::Length(Integer L) const {
  if (!FFine || L == 0) return L;
  const Integer scaled = Integer(std::lround(L * FScale));
  return L > 0 ? std::max<Integer>(scaled, 1) : std::min<Integer>(scaled, -1);
}

void TDeviceGlyphScope::ConvexPolygon(const TPoint* Points, int Count, COLORREF Color) const {
  std::vector<POINT> outline(Points, Points + Count);
  if (FFine) {
    // Each corner pixel is a square of device pixels; the polygon is their hull.
    std::vector<POINT> corners;
    for (const POINT& p : outline) {
      const TPoint a = Map(p), b = Map(TPoint{p.X + 1, p.Y + 1});
      for (Integer x : {a.X, b.X - 1})
        for (Integer y : {a.Y, b.Y - 1}) corners.push_back({x, y});
    }
    outline = ConvexHull(std::move(corners));
  }
  HDC dc = DC();
  TSavedDCScope saved(dc);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCBrushColor(dc, Color);
  SetDCPenColor(dc, Color);
  Polygon(dc, outline.data(), int(outline.size()));
}

void TDeviceGlyphScope::DrawImage(HIMAGELIST List, int Index, TPoint At) const {
  if (!FFine) {
    ImageList_Draw(List, Index, FDC, At.X, At.Y, ILD_TRANSPARENT);
    return;
  }
  int w = 0, h = 0;
  HBITMAP image = nullptr, mask = nullptr;
  if (!ImageList_GetIconSize(List, &w, &h) || !ImageList_GetImageBitmaps(List, Index, &image, &mask)) return;
  TPixelArt art{w, h, BitmapOf(image)->Surface->Pixels};
  const TSurface& clear = *BitmapOf(mask)->Surface;
  for (size_t i = 0; i < art.Pixels.size(); ++i) art.Pixels[i] = clear.Pixels[i] != 0 ? kClearPixel : art.Pixels[i] & 0xFFFFFF;
  DeleteObject(image);
  DeleteObject(mask);
  const TRect to = Map(TRect{At.X, At.Y, At.X + w, At.Y + h});
  if (to.IsEmpty()) return;
  const TPixelArt big = Enlarged(std::move(art), to.Width(), to.Height());
  TSurface& fine = *BitmapOf(FBitmap)->Surface;
  for (Integer y = 0; y < big.H; ++y)
    for (Integer x = 0; x < big.W; ++x) {
      const uint32_t p = big.Pixels[size_t(y * big.W + x)];
      const Integer fx = to.Left + x, fy = to.Top + y;
      if (p != kClearPixel && fx >= 0 && fy >= 0 && fx < fine.Width && fy < fine.Height) fine.Row(fy)[fx] = p;
    }
}
