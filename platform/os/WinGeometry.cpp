// Window placement: SetWindowPos and ShowWindow, rectangles, coordinate mapping, hit testing,
// window regions and the visible region a window draws into.
#include <algorithm>
#include <map>

#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"

namespace {

TRect OffsetRect(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

LPARAM PackPoint(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)); }

// The window's shape in its parent's client coordinates (the screen for top-level windows).
TRegionData ShapeInParent(const TWindowRec* w) {
  if (!w->HasRegion) return TRegionData(w->Rect);
  TRegionData r = w->Region.Intersect(TRegionData(Rect(0, 0, w->Rect.Width(), w->Rect.Height())));
  r.Offset(w->Rect.Left, w->Rect.Top);
  return r;
}

TRegionData ShapeInSurface(const TWindowRec* w) {
  TRegionData r = ShapeInParent(w);
  if (w->Parent) {
    TPoint o = SurfaceOffset(w->Parent);
    r.Offset(o.X + w->Parent->Client.Left, o.Y + w->Parent->Client.Top);
  } else {
    r.Offset(-w->Rect.Left, -w->Rect.Top);
  }
  return r;
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The union of the shapes (surface coordinates) of the visible windows among `list[0, count)`
// that meet `near` (parent client coordinates; null: all): plain rectangles merge in one step.
TRegionData ShapesNear(const std::vector<TWindowRec*>& list, size_t count, const TRect* near) {
  std::vector<TRect> rects;
  TRegionData shaped;
  if (count == 0) return shaped;
  const TWindowRec* parent = list[0]->Parent;
  TPoint po = SurfaceOffset(parent);
  TPoint o{po.X + parent->Client.Left, po.Y + parent->Client.Top};
  for (size_t i = 0; i < count; ++i) {
    TWindowRec* s = list[i];
    if (!s->Visible() || (near && !Overlap(s->Rect, *near))) continue;
    if (s->HasRegion)
      shaped = shaped.Union(ShapeInSurface(s));
    else
      rects.push_back({s->Rect.Left + o.X, s->Rect.Top + o.Y, s->Rect.Right + o.X, s->Rect.Bottom + o.Y});
  }
  return rects.empty() ? shaped : TRegionData::FromRects(rects).Union(shaped);
}

TRegionData SiblingsAbove(const TWindowRec* w) {
  if (!w->Parent) return TRegionData();
  auto& siblings = w->Parent->Children;
  size_t above = static_cast<size_t>(std::find(siblings.begin(), siblings.end(), w) - siblings.begin());
  return ShapesNear(siblings, above, &w->Rect);
}

TWindowRec* HitWindow(TWindowRec* w, TPoint screen, LRESULT& ht);

TWindowRec* HitInChildren(TWindowRec* parent, TPoint screen, LRESULT& ht) {
  if (!ClientScreenRect(parent).Contains(screen)) return nullptr;
  std::vector<HWND> children;
  for (TWindowRec* c : parent->Children) children.push_back(c->Handle);
  for (HWND h : children) {
    TWindowRec* c = FindWindowRec(h);
    if (!c || !c->Visible() || !WindowContainsScreenPoint(c, screen)) continue;
    if (!c->Enabled()) return nullptr;  // a disabled child leaves the input to its parent
    if (TWindowRec* hit = HitWindow(c, screen, ht)) return hit;
  }
  return nullptr;
}

TWindowRec* HitWindow(TWindowRec* w, TPoint screen, LRESULT& ht) {
  HWND h = w->Handle;
  if (TWindowRec* hit = HitInChildren(w, screen, ht)) return hit;
  if (!(w = FindWindowRec(h))) return nullptr;
  ht = SendTo(w, WM_NCHITTEST, 0, PackPoint(screen));
  return ht == HTTRANSPARENT || !FindWindowRec(h) ? nullptr : w;
}

void ApplyZOrder(TWindowRec* w, HWND after) {
  if (!w->Parent) {
    if (after == HWND_TOPMOST) w->ExStyle |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST) w->ExStyle &= ~WS_EX_TOPMOST;
  }
  InsertIntoZOrder(w, after);
  // Owned windows stay above their owner.
  if (!w->Parent) {
    std::vector<TWindowRec*> owned;
    for (TWindowRec* t : WinState().TopLevels)
      if (t->Owner == w) owned.push_back(t);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) InsertIntoZOrder(*it, HWND_TOP);
  }
}

void InvalidateInParent(TWindowRec* w, const TRect& rectInParent) {
  if (!w->Parent) return;
  InvalidateWindowArea(w->Parent, TRegionData(rectInParent), true, true);
}

// The parent and the siblings repaint what the window no longer covers.
void ExposeInParent(TWindowRec* w, const TRect& oldRect, bool stillShowing) {
  if (!w->Parent) return;
  TRegionData exposed(oldRect);
  if (stillShowing) exposed = exposed.Subtract(TRegionData(w->Rect));
  if (!exposed.IsEmpty()) InvalidateWindowArea(w->Parent, exposed, true, true);
}

// A resized window keeps its contents unless its class redraws on that change of size.
void RepaintResized(TWindowRec* w, const TRect& oldRect) {
  UINT cls = w->Class ? w->Class->Style : 0;
  bool widthChanged = oldRect.Width() != w->Rect.Width(), heightChanged = oldRect.Height() != w->Rect.Height();
  if (((cls & CS_HREDRAW) && widthChanged) || ((cls & CS_VREDRAW) && heightChanged)) {
    WindowShownOrMoved(w);
    return;
  }
  w->NcPaintNeeded = true;
  TRegionData fresh = TRegionData(Rect(0, 0, w->Client.Width(), w->Client.Height()))
                          .Subtract(TRegionData(Rect(0, 0, oldRect.Width() - (w->Rect.Width() - w->Client.Width()),
                                                     oldRect.Height() - (w->Rect.Height() - w->Client.Height()))));
  InvalidateWindowArea(w, fresh, true, true);
}

bool SameSize(const TRect& a, const TRect& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Geometry helpers

TPoint WindowOrigin(const TWindowRec* w) {
  if (!w->Parent) return w->Rect.TopLeft();
  TPoint p = ClientOrigin(w->Parent);
  return {p.X + w->Rect.Left, p.Y + w->Rect.Top};
}

TPoint ClientOrigin(const TWindowRec* w) {
  TPoint p = WindowOrigin(w);
  return {p.X + w->Client.Left, p.Y + w->Client.Top};
}

TRect WindowScreenRect(const TWindowRec* w) {
  TPoint p = WindowOrigin(w);
  return Bounds(p.X, p.Y, w->Rect.Width(), w->Rect.Height());
}

TRect ClientScreenRect(const TWindowRec* w) {
  TPoint p = ClientOrigin(w);
  return Bounds(p.X, p.Y, w->Client.Width(), w->Client.Height());
}

TPoint SurfaceOffset(const TWindowRec* w) {
  const TWindowRec* top = w;
  while (top->Parent) top = top->Parent;
  TPoint o = WindowOrigin(w);
  return {o.X - top->Rect.Left, o.Y - top->Rect.Top};
}

bool WindowContainsScreenPoint(const TWindowRec* w, TPoint screen) {
  TRect r = WindowScreenRect(w);
  if (!r.Contains(screen)) return false;
  return !w->HasRegion || w->Region.Contains({screen.X - r.Left, screen.Y - r.Top});
}

TRegionData VisibleRegion(TWindowRec* w, bool clientArea, bool clipChildren, bool clipSiblings) {
  if (!IsVisibleChain(w)) return TRegionData();
  TPoint o = SurfaceOffset(w);
  TRect area = clientArea ? OffsetRect(w->Client, o.X, o.Y) : Bounds(o.X, o.Y, w->Rect.Width(), w->Rect.Height());
  TRegionData rgn = ShapeInSurface(w).Intersect(TRegionData(area));
  if (clipSiblings) rgn = rgn.Subtract(SiblingsAbove(w));
  for (TWindowRec* c = w; c->Parent; c = c->Parent) {
    TWindowRec* p = c->Parent;
    TPoint po = SurfaceOffset(p);
    rgn = rgn.Intersect(TRegionData(OffsetRect(p->Client, po.X, po.Y)));
    if (p->HasRegion) rgn = rgn.Intersect(ShapeInSurface(p));
    if (c != w && (c->Style & WS_CLIPSIBLINGS)) rgn = rgn.Subtract(SiblingsAbove(c));
  }
  if (clipChildren && !w->Children.empty())
    rgn = rgn.Subtract(ShapesNear(w->Children, w->Children.size(), nullptr));
  TWindowRec* top = TopLevelOf(w);
  return rgn.Intersect(TRegionData(Rect(0, 0, top->Rect.Width(), top->Rect.Height())));
}

void RecalcClientRect(TWindowRec* w, const TRect& oldRect, WINDOWPOS* pos) {
  NCCALCSIZE_PARAMS params;
  params.rgrc[0] = w->Rect;
  params.rgrc[1] = oldRect;
  params.rgrc[2] = OffsetRect(w->Client, oldRect.Left, oldRect.Top);
  params.lppos = pos;
  HWND h = w->Handle;
  // At creation the procedure gets the bare rectangle; later the old and new placements.
  SendTo(w, WM_NCCALCSIZE, pos ? TRUE : FALSE, reinterpret_cast<LPARAM>(pos ? static_cast<void*>(&params) : &params.rgrc[0]));
  if (!(w = FindWindowRec(h))) return;
  TRect c = OffsetRect(params.rgrc[0], -w->Rect.Left, -w->Rect.Top);
  c.Left = std::clamp(c.Left, 0, w->Rect.Width());
  c.Top = std::clamp(c.Top, 0, w->Rect.Height());
  c.Right = std::clamp(c.Right, c.Left, w->Rect.Width());
  c.Bottom = std::clamp(c.Bottom, c.Top, w->Rect.Height());
  w->Client = c;
}

TWindowRec* WindowAtPoint(TPoint screen, LRESULT& hitCode) {
  hitCode = HTNOWHERE;
  std::vector<HWND> tops;
  for (TWindowRec* t : WinState().TopLevels) tops.push_back(t->Handle);
  for (HWND h : tops) {
    TWindowRec* t = FindWindowRec(h);
    if (!t || !t->Visible() || t->Minimized || !WindowContainsScreenPoint(t, screen)) continue;
    if (!t->Enabled()) {
      hitCode = HTERROR;
      return t;
    }
    if (TWindowRec* hit = HitWindow(t, screen, hitCode)) return hit;
  }
  hitCode = HTNOWHERE;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Placement

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return FALSE;
  if ((flags & SWP_SHOWWINDOW) && w->Visible()) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !w->Visible()) flags &= ~SWP_HIDEWINDOW;
  bool specialAfter = insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM || insertAfter == HWND_TOPMOST ||
                      insertAfter == HWND_NOTOPMOST;
  if (!specialAfter && (!FindWindowRec(insertAfter) || insertAfter == wnd)) flags |= SWP_NOZORDER;
  WINDOWPOS wp;
  wp.hwnd = wnd;
  wp.hwndInsertAfter = insertAfter;
  wp.x = (flags & SWP_NOMOVE) ? w->Rect.Left : x;
  wp.y = (flags & SWP_NOMOVE) ? w->Rect.Top : y;
  wp.cx = (flags & SWP_NOSIZE) ? w->Rect.Width() : cx;
  wp.cy = (flags & SWP_NOSIZE) ? w->Rect.Height() : cy;
  wp.flags = flags;
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendTo(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(w = FindWindowRec(wnd))) return FALSE;
    flags = wp.flags;
  }
  bool wasShowing = IsVisibleChain(w);
  TRect oldRect = w->Rect;
  TRect oldClient = w->Client;
  TRect newRect = Bounds(wp.x, wp.y, std::max(0, wp.cx), std::max(0, wp.cy));
  if (flags & SWP_NOMOVE) newRect = Bounds(oldRect.Left, oldRect.Top, newRect.Width(), newRect.Height());
  if (flags & SWP_NOSIZE) newRect = Bounds(newRect.Left, newRect.Top, oldRect.Width(), oldRect.Height());
  bool moved = newRect.TopLeft() != oldRect.TopLeft();
  bool sized = !SameSize(newRect, oldRect);
  w->Rect = newRect;
  if (sized || (flags & SWP_FRAMECHANGED)) {
    RecalcClientRect(w, oldRect, &wp);
    if (!(w = FindWindowRec(wnd))) return FALSE;
  }
  bool zordered = !(flags & SWP_NOZORDER);
  if (zordered) ApplyZOrder(w, wp.hwndInsertAfter);
  if (flags & SWP_SHOWWINDOW) w->Style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->Style &= ~WS_VISIBLE;
  bool showing = IsVisibleChain(w);

  if (!w->Parent) {
    EnsureSurface(w);
    if (moved || sized) Backend().MoveNative(wnd, w->Rect);
    if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
      Backend().ShowNative(wnd, w->Visible(), !(flags & SWP_NOACTIVATE) && !(w->ExStyle & WS_EX_NOACTIVATE));
  }
  if (!(flags & SWP_NOREDRAW)) {
    if (wasShowing && (moved || sized || !showing)) ExposeInParent(w, oldRect, showing);
    bool whole = (flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED)) || (w->Parent && (moved || zordered));
    if (showing && whole)
      WindowShownOrMoved(w);
    else if (showing && sized)
      RepaintResized(w, oldRect);
  }
  RefreshOpenDCs();
  if (flags & SWP_HIDEWINDOW) {
    if (!w->Parent) ActivateNextWindow(w);
    if (!(w = FindWindowRec(wnd))) return TRUE;
  }
  if (!w->Parent && w->Visible() && !(flags & SWP_NOACTIVATE) && !(w->ExStyle & WS_EX_NOACTIVATE) &&
      ((flags & SWP_SHOWWINDOW) || zordered))
    ActivateWindow(w, false);
  if (!(w = FindWindowRec(wnd))) return TRUE;
  wp.x = w->Rect.Left;
  wp.y = w->Rect.Top;
  wp.cx = w->Rect.Width();
  wp.cy = w->Rect.Height();
  bool clientMoved = moved || oldClient.TopLeft() != w->Client.TopLeft();
  wp.flags = flags | (clientMoved ? 0 : SWP_NOCLIENTMOVE) | (SameSize(oldClient, w->Client) ? SWP_NOCLIENTSIZE : 0);
  SendTo(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(wnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

namespace {

struct TDeferredPos {
  HWND Wnd, After;
  int X, Y, Cx, Cy;
  UINT Flags;
};

std::map<HDWP, std::vector<TDeferredPos>>& DeferredPositions() {
  static std::map<HDWP, std::vector<TDeferredPos>> pending;
  return pending;
}

}  // namespace

HDWP BeginDeferWindowPos(int expectedCount) {
  static uintptr_t next = 0x40000;
  if (expectedCount < 0) return nullptr;
  auto h = reinterpret_cast<HDWP>(next += 4);
  DeferredPositions()[h].reserve(static_cast<size_t>(std::min(expectedCount, 1024)));
  return h;
}

HDWP DeferWindowPos(HDWP info, HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto& pending = DeferredPositions();
  auto it = pending.find(info);
  if (it == pending.end()) return nullptr;
  if (!FindWindowRec(wnd)) {  // a bad window ends the whole batch, as on the platform
    pending.erase(it);
    return nullptr;
  }
  it->second.push_back({wnd, insertAfter, x, y, cx, cy, flags});
  return info;
}

BOOL EndDeferWindowPos(HDWP info) {
  auto& pending = DeferredPositions();
  auto it = pending.find(info);
  if (it == pending.end()) return FALSE;
  std::vector<TDeferredPos> batch = std::move(it->second);
  pending.erase(it);
  for (const TDeferredPos& p : batch) SetWindowPos(p.Wnd, p.After, p.X, p.Y, p.Cx, p.Cy, p.Flags);
  return TRUE;
}

BOOL BringWindowToTop(HWND wnd) { return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

namespace {

void SendSizeState(TWindowRec* w, WPARAM state) {
  SendTo(w, WM_SIZE, state, MAKELPARAM(static_cast<WORD>(w->Client.Width()), static_cast<WORD>(w->Client.Height())));
}

BOOL ShowWindowState(TWindowRec* w, int cmd, bool wasVisible) {
  HWND h = w->Handle;
  switch (cmd) {
    case SW_MAXIMIZE: {
      if (!w->Maximized) w->NormalRect = w->Rect;
      w->Maximized = true;
      w->Minimized = false;
      TRect work = Backend().WorkArea();
      if (!wasVisible) SendTo(w, WM_SHOWWINDOW, TRUE, 0);
      if (FindWindowRec(h))
        SetWindowPos(h, HWND_TOP, work.Left, work.Top, work.Width(), work.Height(), SWP_SHOWWINDOW | SWP_FRAMECHANGED);
      break;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      w->Minimized = true;
      Backend().MinimizeNative(h, true);
      if (!wasVisible) {
        SendTo(w, WM_SHOWWINDOW, TRUE, 0);
        if (FindWindowRec(h)) SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if ((w = FindWindowRec(h))) SendSizeState(w, SIZE_MINIMIZED);
      if ((w = FindWindowRec(h)) && WinState().Active == h) ActivateNextWindow(w);
      break;
    default: {  // SW_RESTORE
      bool wasMax = w->Maximized;
      if (w->Minimized) Backend().MinimizeNative(h, false);
      w->Minimized = false;
      w->Maximized = false;
      if (!wasVisible) SendTo(w, WM_SHOWWINDOW, TRUE, 0);
      if (!FindWindowRec(h)) break;
      if (wasMax)
        SetWindowPos(h, HWND_TOP, w->NormalRect.Left, w->NormalRect.Top, w->NormalRect.Width(), w->NormalRect.Height(),
                     SWP_SHOWWINDOW | SWP_FRAMECHANGED);
      else
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
      if ((w = FindWindowRec(h))) SendSizeState(w, SIZE_RESTORED);
      break;
    }
  }
  return wasVisible ? TRUE : FALSE;
}

}  // namespace

BOOL ShowWindow(HWND wnd, int cmd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return FALSE;
  bool wasVisible = w->Visible();
  bool child = w->Parent != nullptr;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      SendTo(w, WM_SHOWWINDOW, FALSE, 0);
      if (FindWindowRec(wnd))
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    case SW_SHOWMAXIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_RESTORE:
      if (!child) return ShowWindowState(w, cmd, wasVisible);
      [[fallthrough]];
    default: {
      bool noActivate = cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWNA || child;
      if (!child && (w->Minimized || w->Maximized) && cmd == SW_SHOWNORMAL) return ShowWindowState(w, SW_RESTORE, wasVisible);
      if (wasVisible && noActivate) return TRUE;
      if (!wasVisible) {
        SendTo(w, WM_SHOWWINDOW, TRUE, 0);
        if (!FindWindowRec(wnd)) return FALSE;
      }
      UINT flags = SWP_NOMOVE | SWP_NOSIZE | (wasVisible ? 0 : SWP_SHOWWINDOW);
      if (noActivate) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, flags);
      return wasVisible ? TRUE : FALSE;
    }
  }
}

BOOL GetWindowRect(HWND wnd, LPRECT rect) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !rect) return FALSE;
  *rect = WindowScreenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND wnd, LPRECT rect) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !rect) return FALSE;
  *rect = Rect(0, 0, w->Client.Width(), w->Client.Height());
  return TRUE;
}

BOOL GetWindowPlacement(HWND wnd, WINDOWPLACEMENT* placement) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !placement) return FALSE;
  placement->length = 44;
  placement->flags = 0;
  placement->showCmd = !w->Visible() ? SW_HIDE : w->Minimized ? SW_SHOWMINIMIZED : w->Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement->rcNormalPosition = w->Maximized || w->Minimized ? w->NormalRect : w->Rect;
  return TRUE;
}

BOOL SetWindowPlacement(HWND wnd, const WINDOWPLACEMENT* placement) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !placement || placement->length != 44) return FALSE;
  const RECT& r = placement->rcNormalPosition;
  w->NormalRect = r;
  if (!w->Maximized && !w->Minimized)
    SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (FindWindowRec(wnd)) ShowWindow(wnd, static_cast<int>(placement->showCmd));
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) return FALSE;
  // Measures the frame with the default non-client calculation of a large window.
  TRect outer = Rect(0, 0, 1000, 1000);
  TRect inner = DefaultClientRect(style, exStyle, outer);
  rect->Left -= inner.Left - outer.Left;
  rect->Top -= inner.Top - outer.Top;
  rect->Right += outer.Right - inner.Right;
  rect->Bottom += outer.Bottom - inner.Bottom;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Coordinates

BOOL ClientToScreen(HWND wnd, LPPOINT point) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !point) return FALSE;
  TPoint o = ClientOrigin(w);
  point->X += o.X;
  point->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND wnd, LPPOINT point) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !point) return FALSE;
  TPoint o = ClientOrigin(w);
  point->X -= o.X;
  point->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  TWindowRec* f = FindWindowRec(from);
  TWindowRec* t = FindWindowRec(to);
  if ((from && !f) || (to && !t)) return 0;
  TPoint of = f ? ClientOrigin(f) : TPoint{};
  TPoint ot = t ? ClientOrigin(t) : TPoint{};
  int dx = of.X - ot.X;
  int dy = of.Y - ot.Y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

int MapWindowPoints(HWND from, HWND to, LPRECT rect) {
  if (!rect) return 0;
  TPoint pts[2] = {rect->TopLeft(), rect->BottomRight()};
  int r = MapWindowPoints(from, to, pts, 2);
  *rect = Rect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
  return r;
}

HWND WindowFromPoint(POINT screen) {
  LRESULT ht;
  TWindowRec* w = WindowAtPoint(screen, ht);
  return w ? w->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags) {
  TWindowRec* p = FindWindowRec(parent);
  if (!p) return nullptr;
  TPoint screen{client.X + ClientOrigin(p).X, client.Y + ClientOrigin(p).Y};
  if (!WindowScreenRect(p).Contains(screen)) return nullptr;
  for (TWindowRec* c : p->Children) {
    if ((flags & CWP_SKIPINVISIBLE) && !c->Visible()) continue;
    if ((flags & CWP_SKIPDISABLED) && !c->Enabled()) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (WindowContainsScreenPoint(c, screen)) return c->Handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) { return ChildWindowFromPointEx(parent, client, CWP_ALL); }

// ---------------------------------------------------------------------------------------------
// Window regions

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw) {
  TWindowRec* w = FindWindowRec(wnd);
  const TRegionData* data = rgn ? RegionFromHandle(rgn) : nullptr;
  if (!w || (rgn && !data)) return 0;
  bool showing = IsVisibleChain(w);
  if (showing && redraw && w->Parent) InvalidateInParent(w, w->Rect);
  w->HasRegion = data != nullptr;
  w->Region = data ? *data : TRegionData();
  if (rgn) DeleteObject(rgn);
  if (showing && redraw) WindowShownOrMoved(w);
  return 1;
}

int GetWindowRgn(HWND wnd, HRGN rgn) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !w->HasRegion || !SetRegionHandleData(rgn, w->Region)) return ERROR;
  return w->Region.IsEmpty() ? NULLREGION : w->Region.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// ---------------------------------------------------------------------------------------------
// Layered windows

BOOL SetLayeredWindowAttributes(HWND wnd, COLORREF key, BYTE alpha, DWORD flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || w->Parent || !(w->ExStyle & WS_EX_LAYERED) || (flags & ~(LWA_COLORKEY | LWA_ALPHA))) return FALSE;
  w->LayerKey = key;
  w->LayerAlpha = alpha;
  w->LayerFlags = flags;
  Backend().SetNativeOpacity(wnd, (flags & LWA_ALPHA) ? alpha : 255);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND wnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !(w->ExStyle & WS_EX_LAYERED)) return FALSE;
  if (key) *key = w->LayerKey;
  if (alpha) *alpha = w->LayerAlpha;
  if (flags) *flags = w->LayerFlags;
  return TRUE;
}
