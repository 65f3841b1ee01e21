// The painting protocol: update regions, WM_PAINT/WM_NCPAINT/WM_ERASEBKGND, window and client
// device contexts over the top-level surface, and scrolling of window contents.
#include <algorithm>
#include <map>

#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"

namespace {

constexpr int kMaxSurfaceSide = 8192;  // 256 MiB at most for a top-level window

struct TDCRec {
  HWND Wnd = nullptr;
  DWORD Flags = 0;
  bool Paint = false;  // paint DCs keep the clip of their update region
};

std::map<HDC, TDCRec>& OpenDCs() {
  static std::map<HDC, TDCRec> dcs;
  return dcs;
}

PSurface& ScreenSurface() {
  static PSurface screen;
  TRect r = Backend().ScreenRect();
  if (!screen || screen->Width != r.Width() || screen->Height != r.Height())
    screen = std::make_shared<TSurface>(r.Width(), r.Height(), 0x00808080);
  return screen;
}

int RegionKind(const TRegionData& r) { return r.IsEmpty() ? NULLREGION : r.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION; }

TRect ClientBox(const TWindowRec* w) { return Rect(0, 0, w->Client.Width(), w->Client.Height()); }

// GetDCEx clips as its flags say; GetDC and GetWindowDC add the window's clipping styles.
DWORD StyleClipFlags(const TWindowRec* w) {
  return ((w->Style & WS_CLIPCHILDREN) ? DCX_CLIPCHILDREN : 0) | ((w->Style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0);
}

// A child's shape in its parent's client coordinates.
TRegionData ChildShape(const TWindowRec* c) {
  if (!c->HasRegion) return TRegionData(c->Rect);
  TRegionData r = c->Region;
  r.Offset(c->Rect.Left, c->Rect.Top);
  return r.Intersect(TRegionData(c->Rect));
}

// The union of the visible children's shapes in the parent's client coordinates.
TRegionData ChildrenShape(const TWindowRec* w) {
  std::vector<TRect> rects;
  TRegionData shaped;
  for (TWindowRec* c : w->Children) {
    if (!c->Visible()) continue;
    if (c->HasRegion)
      shaped = shaped.Union(ChildShape(c));
    else
      rects.push_back(c->Rect);
  }
  return rects.empty() ? shaped : TRegionData::FromRects(rects).Union(shaped);
}

bool NeedsPaint(const TWindowRec* w) { return !w->Update.IsEmpty() || w->InternalPaint || w->NcPaintNeeded; }

void ValidateArea(TWindowRec* w, const TRegionData& clientRgn, bool withChildren) {
  w->Update = w->Update.Subtract(clientRgn);
  if (w->Update.IsEmpty()) w->EraseNeeded = false;
  if (!withChildren) return;
  for (TWindowRec* c : w->Children) {
    TRegionData r = clientRgn;
    r.Offset(-(c->Rect.Left + c->Client.Left), -(c->Rect.Top + c->Client.Top));
    ValidateArea(c, r, true);
  }
}

TRegionData AreaOf(TWindowRec* w, const RECT* rect, HRGN rgn) {
  if (rgn) {
    const TRegionData* data = RegionFromHandle(rgn);
    return data ? *data : TRegionData();
  }
  return TRegionData(rect ? *rect : ClientBox(w));
}

void UpdateNow(HWND wnd, bool children) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !IsVisibleChain(w)) return;
  if (NeedsPaint(w)) SendTo(w, WM_PAINT, 0, 0);
  if (!children || !(w = FindWindowRec(wnd))) return;
  std::vector<HWND> kids;
  for (TWindowRec* c : w->Children) kids.push_back(c->Handle);
  for (HWND c : kids) UpdateNow(c, true);
}

void EraseNow(TWindowRec* w) {
  HWND h = w->Handle;
  if (w->NcPaintNeeded) {
    w->NcPaintNeeded = false;
    SendTo(w, WM_NCPAINT, 1, 0);
    if (!(w = FindWindowRec(h))) return;
  }
  if (!w->EraseNeeded) return;
  w->EraseNeeded = false;
  HDC dc = GetDCEx(h, nullptr, DCX_INTERSECTUPDATE | StyleClipFlags(w));
  if (!dc) return;
  SendTo(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(h, dc);
}

TRegionData ToClient(TWindowRec* w, TRegionData surfaceRgn) {
  TPoint o = SurfaceOffset(w);
  surfaceRgn.Offset(-(o.X + w->Client.Left), -(o.Y + w->Client.Top));
  return surfaceRgn;
}

// Moves the pixels of a region (surface coordinates) by a logical offset; the surface's scale is
// a whole number, so the offset is a whole number of device pixels.
void CopyPixels(TSurface& s, const TRegionData& dst, int dx, int dy) {
  TSurface copy = s;
  int ddx = s.ToDevice(dx), ddy = s.ToDevice(dy);
  for (const TRect& band : dst.Rects()) {
    TRect r = s.ToDevice(band);
    for (int y = r.Top; y < r.Bottom; ++y) {
      int sy = y - ddy;
      if (sy < 0 || sy >= s.Height) continue;
      for (int x = r.Left; x < r.Right; ++x) {
        int sx = x - ddx;
        if (sx >= 0 && sx < s.Width) s.Row(y)[x] = copy.Row(sy)[sx];
      }
    }
  }
}

void ScrollChildren(TWindowRec* w, const RECT* scroll, int dx, int dy) {
  std::vector<HWND> kids;
  for (TWindowRec* c : w->Children)
    if (!scroll || !TRegionData(*scroll).Intersect(TRegionData(c->Rect)).IsEmpty()) kids.push_back(c->Handle);
  for (HWND h : kids) {
    TWindowRec* c = FindWindowRec(h);
    if (c)
      SetWindowPos(h, nullptr, c->Rect.Left + dx, c->Rect.Top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Update regions

void InvalidateWindowArea(TWindowRec* w, const TRegionData& clientRgn, bool erase, bool withChildren) {
  if (!IsVisibleChain(w)) return;
  TRegionData r = clientRgn.Intersect(TRegionData(ClientBox(w)));
  if ((w->Style & WS_CLIPCHILDREN) && !w->Children.empty()) r = r.Subtract(ChildrenShape(w));
  if (!r.IsEmpty()) {
    w->Update = w->Update.Union(r);
    if (erase) w->EraseNeeded = true;
  }
  if (!withChildren) return;
  TRect bounds = clientRgn.IsEmpty() ? TRect() : clientRgn.Bounds();
  for (TWindowRec* c : w->Children) {
    if (!c->Visible() || !TRegionData(bounds).Intersects(c->Rect)) continue;
    TRegionData cr = clientRgn.Intersect(ChildShape(c));
    if (cr.IsEmpty()) continue;
    cr.Offset(-c->Rect.Left, -c->Rect.Top);
    if (!cr.Subtract(TRegionData(c->Client)).IsEmpty()) c->NcPaintNeeded = true;
    cr.Offset(-c->Client.Left, -c->Client.Top);
    InvalidateWindowArea(c, cr, erase, true);
  }
}

void InvalidateNonClient(TWindowRec* w) { w->NcPaintNeeded = true; }

void WindowShownOrMoved(TWindowRec* w) {
  if (!IsVisibleChain(w)) return;
  w->NcPaintNeeded = true;
  w->Update = TRegionData(ClientBox(w));
  w->EraseNeeded = true;
  for (TWindowRec* c : w->Children)
    if (c->Visible()) WindowShownOrMoved(c);
}

void EnsureSurface(TWindowRec* top) {
  double scale = DeviceScale();
  int maxSide = static_cast<int>(kMaxSurfaceSide / scale);
  int width = std::clamp(top->Rect.Width(), 0, maxSide);
  int height = std::clamp(top->Rect.Height(), 0, maxSide);
  const TSurface* old = top->Surface.get();
  if (old && old->LogicalWidth() == width && old->LogicalHeight() == height && old->Scale == scale) return;
  auto fresh = std::make_shared<TSurface>(width, height, scale, Backend().FreshSurfacePixel());
  if (old && old->Scale == scale) {
    for (int y = 0; y < std::min(fresh->Height, old->Height); ++y)
      std::copy(old->Row(y), old->Row(y) + std::min(fresh->Width, old->Width), fresh->Row(y));
  }
  top->Surface = fresh;
  top->SurfaceDirty = true;
}

// A window whose frame alone is invalid gets WM_NCPAINT without a WM_PAINT.
void SendPendingFramePaints() {
  std::vector<HWND> frames;
  for (auto& [h, w] : WinState().Windows)
    if (w->NcPaintNeeded && w->Update.IsEmpty() && !w->InternalPaint && IsVisibleChain(w.get())) frames.push_back(h);
  for (HWND h : frames)
    if (TWindowRec* w = FindWindowRec(h); w && w->NcPaintNeeded) {
      w->NcPaintNeeded = false;
      SendTo(w, WM_NCPAINT, 1, 0);
    }
}

bool FindPaintWindow(HWND filter, HWND& found) {
  SendPendingFramePaints();
  std::vector<TWindowRec*> stack;
  auto& tops = WinState().TopLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) stack.push_back(*it);
  TWindowRec* filterRec = FindWindowRec(filter);
  while (!stack.empty()) {
    TWindowRec* w = stack.back();
    stack.pop_back();
    if (!w->Visible()) continue;
    bool matches = !filter || w == filterRec || (filterRec && IsDescendant(filterRec, w));
    if (matches && NeedsPaint(w)) {
      found = w->Handle;
      return true;
    }
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it) stack.push_back(*it);
  }
  return false;
}

void PresentDirtySurfaces() {
  for (TWindowRec* t : WinState().TopLevels)
    if (t->SurfaceDirty && t->Surface && t->Visible()) {
      t->SurfaceDirty = false;
      Backend().Present(t->Handle, *t->Surface);
    }
}

BOOL RedrawWindow(HWND wnd, const RECT* rect, HRGN rgn, UINT flags) {
  if (!wnd) {
    std::vector<HWND> tops;
    for (TWindowRec* t : WinState().TopLevels) tops.push_back(t->Handle);
    for (HWND h : tops) RedrawWindow(h, nullptr, nullptr, flags | RDW_ALLCHILDREN);
    return TRUE;
  }
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || (rgn && !RegionFromHandle(rgn))) return FALSE;
  TRegionData area = AreaOf(w, rect, rgn);
  bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
  if (flags & RDW_INVALIDATE) {
    InvalidateWindowArea(w, area, (flags & RDW_ERASE) != 0, children);
    if ((flags & RDW_FRAME) && IsVisibleChain(w)) w->NcPaintNeeded = true;
  }
  if (flags & RDW_INTERNALPAINT) w->InternalPaint = true;
  if (flags & RDW_VALIDATE) {
    ValidateArea(w, area, children);
    if (flags & RDW_NOFRAME) w->NcPaintNeeded = false;
    if (flags & RDW_NOERASE) w->EraseNeeded = false;
    if (flags & RDW_NOINTERNALPAINT) w->InternalPaint = false;
  }
  if (flags & RDW_UPDATENOW)
    UpdateNow(wnd, !(flags & RDW_NOCHILDREN));
  else if ((flags & RDW_ERASENOW) && (w = FindWindowRec(wnd)))
    EraseNow(w);
  return TRUE;
}

BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase) {
  return RedrawWindow(wnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase) {
  return RedrawWindow(wnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND wnd, const RECT* rect) {
  return wnd ? RedrawWindow(wnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN) : FALSE;
}

BOOL ValidateRgn(HWND wnd, HRGN rgn) { return wnd ? RedrawWindow(wnd, nullptr, rgn, RDW_VALIDATE | RDW_NOCHILDREN) : FALSE; }

BOOL UpdateWindow(HWND wnd) {
  if (!FindWindowRec(wnd)) return FALSE;
  UpdateNow(wnd, true);
  return TRUE;
}

BOOL GetUpdateRect(HWND wnd, LPRECT rect, BOOL erase) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return FALSE;
  if (rect) *rect = w->Update.IsEmpty() ? TRect() : w->Update.Bounds();
  if (erase && w->EraseNeeded && !w->Update.IsEmpty()) EraseNow(w);
  return w->Update.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !SetRegionHandleData(rgn, w->Update)) return ERROR;
  int kind = RegionKind(w->Update);
  if (erase && w->EraseNeeded && !w->Update.IsEmpty()) EraseNow(w);
  return kind;
}

BOOL LockWindowUpdate(HWND wnd) { return !wnd || FindWindowRec(wnd) ? TRUE : FALSE; }

// ---------------------------------------------------------------------------------------------
// Device contexts

namespace {

struct TDCGeometry {
  TPoint Origin;
  TRegionData Clip;
};

TDCGeometry WindowDCGeometry(TWindowRec* w, DWORD flags) {
  bool windowDC = (flags & DCX_WINDOW) != 0;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) != 0;
  bool clipSiblings = (flags & DCX_CLIPSIBLINGS) != 0;
  TPoint o = SurfaceOffset(w);
  return {windowDC ? o : TPoint{o.X + w->Client.Left, o.Y + w->Client.Top},
          VisibleRegion(w, !windowDC, clipChildren, clipSiblings)};
}

}  // namespace

void RefreshOpenDCs() {
  for (auto& [dc, rec] : OpenDCs()) {
    TWindowRec* w = FindWindowRec(rec.Wnd);
    if (!w || rec.Paint || (rec.Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN | DCX_INTERSECTUPDATE))) continue;
    TDCGeometry g = WindowDCGeometry(w, rec.Flags);
    SetSurfaceDCGeometry(dc, g.Origin, g.Clip);
  }
}

HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags) {
  if (!wnd) {
    PSurface screen = ScreenSurface();
    HDC dc = CreateSurfaceDC(screen, {0, 0}, TRegionData(Rect(0, 0, screen->Width, screen->Height)));
    if (dc) OpenDCs()[dc] = TDCRec{nullptr, flags, false};
    return dc;
  }
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return nullptr;
  TWindowRec* top = TopLevelOf(w);
  EnsureSurface(top);
  TDCGeometry g = WindowDCGeometry(w, flags);
  const TRegionData* extra = reinterpret_cast<uintptr_t>(clip) > 1 ? RegionFromHandle(clip) : nullptr;
  if (extra && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    TRegionData screenRgn = *extra;
    screenRgn.Offset(-top->Rect.Left, -top->Rect.Top);  // screen to surface
    g.Clip = (flags & DCX_INTERSECTRGN) ? g.Clip.Intersect(screenRgn) : g.Clip.Subtract(screenRgn);
  }
  if (flags & DCX_INTERSECTUPDATE) {
    TRegionData update = w->Update;
    TPoint o = SurfaceOffset(w);
    update.Offset(o.X + w->Client.Left, o.Y + w->Client.Top);
    g.Clip = g.Clip.Intersect(update);
    if (flags & DCX_VALIDATE) ValidateArea(w, w->Update, false);
  }
  HDC dc = CreateSurfaceDC(top->Surface, g.Origin, g.Clip);
  if (dc) OpenDCs()[dc] = TDCRec{wnd, flags, false};
  return dc;
}

HDC GetDC(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return GetDCEx(wnd, nullptr, DCX_CACHE | (w ? StyleClipFlags(w) : 0));
}

HDC GetWindowDC(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE | (w ? StyleClipFlags(w) : 0));
}

int ReleaseDC(HWND, HDC dc) {
  auto& dcs = OpenDCs();
  auto it = dcs.find(dc);
  if (it == dcs.end()) return 0;
  TWindowRec* w = FindWindowRec(it->second.Wnd);
  if (w) TopLevelOf(w)->SurfaceDirty = true;
  dcs.erase(it);
  DeleteSurfaceDC(dc);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto& dcs = OpenDCs();
  auto it = dcs.find(dc);
  return it == dcs.end() || !FindWindowRec(it->second.Wnd) ? nullptr : it->second.Wnd;
}

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !ps) return nullptr;
  CaretBeforePaint(w);
  if (w->NcPaintNeeded) {
    w->NcPaintNeeded = false;
    SendTo(w, WM_NCPAINT, 1, 0);
    if (!(w = FindWindowRec(wnd))) return nullptr;
  }
  TRegionData update = w->Update;
  bool erase = w->EraseNeeded;
  w->Update = TRegionData();
  w->EraseNeeded = false;
  w->InternalPaint = false;
  TRegionData clip = VisibleRegion(w, true, (w->Style & WS_CLIPCHILDREN) != 0, (w->Style & WS_CLIPSIBLINGS) != 0);
  TPoint o = SurfaceOffset(w);
  TPoint origin{o.X + w->Client.Left, o.Y + w->Client.Top};
  TRegionData surfaceUpdate = update;
  surfaceUpdate.Offset(origin.X, origin.Y);
  TWindowRec* top = TopLevelOf(w);
  EnsureSurface(top);
  HDC dc = CreateSurfaceDC(top->Surface, origin, clip.Intersect(surfaceUpdate));
  if (!dc) return nullptr;
  OpenDCs()[dc] = TDCRec{wnd, 0, true};
  *ps = PAINTSTRUCT();
  ps->hdc = dc;
  ps->rcPaint = update.IsEmpty() ? TRect() : update.Bounds();
  if (erase) ps->fErase = SendTo(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  top->SurfaceDirty = true;
  return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(wnd, ps->hdc);
  if (TWindowRec* w = FindWindowRec(wnd)) CaretAfterPaint(w);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Scrolling

int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || (update && !RegionFromHandle(update))) return ERROR;
  bool caretHidden = WinState().Caret.Wnd == wnd && HideCaret(wnd);
  TRegionData area(ClientBox(w));
  if (scroll) area = area.Intersect(TRegionData(*scroll));
  if (clip) area = area.Intersect(TRegionData(*clip));
  TRegionData visible = ToClient(w, VisibleRegion(w, true, (w->Style & WS_CLIPCHILDREN) != 0, (w->Style & WS_CLIPSIBLINGS) != 0));
  TRegionData source = area.Intersect(visible);
  TRegionData moved = source;
  moved.Offset(dx, dy);
  moved = moved.Intersect(area).Intersect(visible);
  TWindowRec* top = TopLevelOf(w);
  // At a fractional scale contents cannot move by whole device pixels: the area is painted afresh.
  if (top->Surface && !top->Surface->IntegralScale()) moved = TRegionData();
  if (top->Surface && !moved.IsEmpty()) {
    TRegionData dst = moved;
    TPoint o = SurfaceOffset(w);
    dst.Offset(o.X + w->Client.Left, o.Y + w->Client.Top);
    CopyPixels(*top->Surface, dst, dx, dy);
    top->SurfaceDirty = true;
  }
  // Invalid parts move with the contents.
  TRegionData pending = w->Update.Intersect(area);
  pending.Offset(dx, dy);
  w->Update = w->Update.Subtract(area).Union(pending.Intersect(area));
  TRegionData uncovered = area.Subtract(moved);
  if (flags & SW_SCROLLCHILDREN) ScrollChildren(w, scroll, dx, dy);
  if ((w = FindWindowRec(wnd)) && (flags & SW_INVALIDATE))
    InvalidateWindowArea(w, uncovered, (flags & SW_ERASE) != 0, (flags & SW_SCROLLCHILDREN) != 0);
  if (update) SetRegionHandleData(update, uncovered);
  if (updateRect) *updateRect = uncovered.IsEmpty() ? TRect() : uncovered.Bounds();
  if (caretHidden) ShowCaret(wnd);
  return RegionKind(uncovered);
}

BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(wnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR ? TRUE : FALSE;
}
