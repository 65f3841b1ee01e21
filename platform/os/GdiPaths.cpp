// Paths: figures recorded between BeginPath and EndPath, then stroked, filled or used as clip.
#include <algorithm>
#include <cmath>

#include "platform/os/GdiInternal.h"

namespace {

// Scan conversion of several figures as one polygon (crossings of all figures count together),
// sampling pixel centres like polygon regions do.
TRegionData FiguresToRegion(const std::vector<TPathFigure>& figures, bool winding, TPoint offset) {
  std::vector<TRect> rows;
  Integer top = INT32_MAX, bottom = INT32_MIN;
  for (const TPathFigure& f : figures)
    for (const TPoint& p : f.Points) {
      top = std::min(top, p.Y + offset.Y);
      bottom = std::max(bottom, p.Y + offset.Y);
    }
  struct TCross {
    double X;
    int Dir;
  };
  std::vector<TCross> crossings;
  for (Integer y = top; y < bottom; ++y) {
    double cy = y + 0.5;
    crossings.clear();
    for (const TPathFigure& f : figures) {
      size_t n = f.Points.size();
      for (size_t i = 0; n > 1 && i < n; ++i) {
        TPoint p = f.Points[i], q = f.Points[(i + 1) % n];
        p = {p.X + offset.X, p.Y + offset.Y};
        q = {q.X + offset.X, q.Y + offset.Y};
        if (p.Y == q.Y) continue;
        bool down = q.Y > p.Y;
        double y0 = down ? p.Y : q.Y, y1 = down ? q.Y : p.Y;
        if (cy < y0 || cy >= y1) continue;
        crossings.push_back({p.X + (cy - p.Y) * double(q.X - p.X) / double(q.Y - p.Y), down ? 1 : -1});
      }
    }
    std::sort(crossings.begin(), crossings.end(), [](const TCross& a, const TCross& b) { return a.X < b.X; });
    int count = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      count += winding ? crossings[i].Dir : 1;
      if (winding ? count == 0 : (count & 1) == 0) continue;
      Integer l = Integer(std::ceil(crossings[i].X - 0.5)), r = Integer(std::ceil(crossings[i + 1].X - 0.5));
      if (r > l) rows.push_back({l, y, r, y + 1});
    }
  }
  return TRegionData::FromRects(rows);
}

TDC* ClosedPathDC(HDC dc) {
  TDC* d = DCOf(dc);
  return d && d->HasPath && !d->PathOpen ? d : nullptr;
}

void ConsumePath(TDC& d) {
  d.Path.clear();
  d.HasPath = false;
}

void FillPathRegion(TDC& d) {
  TFillSource src;
  if (!BrushSource(d, d.State.Brush, src)) return;
  TPoint o = d.ToSurface(TPoint{0, 0});
  FillSurfaceRegion(d, FiguresToRegion(d.Path, d.State.PolyFillMode == WINDING, o), src, d.State.Rop2);
}

void StrokeFigures(TDC& d) {
  for (const TPathFigure& f : d.Path)
    if (f.Points.size() > 1) StrokePolyline(d, f.Points, f.Closed);
}

}  // namespace

BOOL BeginPath(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  d->Path.clear();
  d->PathOpen = true;
  d->HasPath = false;
  return TRUE;
}

BOOL EndPath(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d || !d->PathOpen) return FALSE;
  d->PathOpen = false;
  d->HasPath = true;
  return TRUE;
}

BOOL AbortPath(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  d->PathOpen = false;
  ConsumePath(*d);
  return TRUE;
}

BOOL StrokePath(HDC dc) {
  TDC* d = ClosedPathDC(dc);
  if (!d) return FALSE;
  StrokeFigures(*d);
  ConsumePath(*d);
  return TRUE;
}

BOOL FillPath(HDC dc) {
  TDC* d = ClosedPathDC(dc);
  if (!d) return FALSE;
  FillPathRegion(*d);
  ConsumePath(*d);
  return TRUE;
}

BOOL StrokeAndFillPath(HDC dc) {
  TDC* d = ClosedPathDC(dc);
  if (!d) return FALSE;
  FillPathRegion(*d);
  StrokeFigures(*d);
  ConsumePath(*d);
  return TRUE;
}

HRGN PathToRegion(HDC dc) {
  TDC* d = ClosedPathDC(dc);
  if (!d) return nullptr;
  HRGN rgn = CreateRegionHandle(FiguresToRegion(d->Path, d->State.PolyFillMode == WINDING, d->LogicalToDeviceOffset()));
  ConsumePath(*d);
  return rgn;
}

BOOL SelectClipPath(HDC dc, int mode) {
  if (!ClosedPathDC(dc) || mode < RGN_AND || mode > RGN_COPY) return FALSE;
  HRGN rgn = PathToRegion(dc);
  int result = ExtSelectClipRgn(dc, rgn, mode);
  DeleteObject(rgn);
  return result != ERROR;
}
