// Scroll bars of a window's frame: their state, geometry, painting and a click on them, which
// sends WM_HSCROLL/WM_VSCROLL with the scroll code of the part hit.
#include <algorithm>

#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"

namespace {

DWORD BarStyle(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

bool ValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

int Range(const TScrollBarState& s) { return s.Max - s.Min + 1; }

int MaxPos(const TScrollBarState& s) { return s.Max - std::max(static_cast<int>(s.Page) - 1, 0); }

void Normalize(TScrollBarState& s) {
  if (s.Max < s.Min) s.Max = s.Min;
  s.Page = std::min<UINT>(s.Page, static_cast<UINT>(Range(s)));
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, MaxPos(s)));
}

struct TBarParts {
  int Arrow = 0;       // length of each arrow button
  int ThumbStart = 0;  // offsets along the bar
  int ThumbEnd = 0;
  int Length = 0;
};

TBarParts Parts(const TWindowRec* w, int bar) {
  TRect r = ScrollBarRect(w, bar);
  const TScrollBarState& s = w->Scroll[bar];
  TBarParts p;
  p.Length = bar == SB_VERT ? r.Height() : r.Width();
  p.Arrow = std::min(GetSystemMetrics(bar == SB_VERT ? SM_CYVSCROLL : SM_CXHSCROLL), p.Length / 2);
  int track = p.Length - 2 * p.Arrow;
  int range = Range(s);
  int thumb = s.Page ? std::max(track * static_cast<int>(s.Page) / std::max(range, 1), 8) : p.Arrow;
  thumb = std::min(thumb, track);
  int span = std::max(MaxPos(s) - s.Min, 1);
  p.ThumbStart = p.Arrow + (track - thumb) * (s.Pos - s.Min) / span;
  p.ThumbEnd = p.ThumbStart + thumb;
  return p;
}

TScrollBarState* StateOf(HWND wnd, int bar) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && ValidBar(bar) ? &w->Scroll[bar] : nullptr;
}

void RedrawBars(HWND wnd, BOOL redraw) {
  if (TWindowRec* w = FindWindowRec(wnd); w && redraw) DrawNonClientFrame(w);
}

}  // namespace

TRect ScrollBarRect(const TWindowRec* w, int bar) {
  const TRect& c = w->Client;
  if (bar == SB_VERT && (w->Style & WS_VSCROLL)) return {c.Right, c.Top, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom};
  if (bar == SB_HORZ && (w->Style & WS_HSCROLL)) return {c.Left, c.Bottom, c.Right, c.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
  return TRect();
}

void DrawScrollBars(TWindowRec* w, TSurface& s, const TRegionData& clip) {
  TPoint o = SurfaceOffset(w);
  uint32_t face = SysPixel(COLOR_BTNFACE), light = SysPixel(COLOR_BTNHIGHLIGHT), dark = SysPixel(COLOR_BTNSHADOW);
  for (int bar : {SB_HORZ, SB_VERT}) {
    TRect r = ScrollBarRect(w, bar);
    if (r.IsEmpty()) continue;
    r = {r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y};
    FillSurface(s, clip, r, SysPixel(COLOR_SCROLLBAR));
    TBarParts p = Parts(w, bar);
    auto part = [&](int from, int to) {
      return bar == SB_VERT ? TRect{r.Left, r.Top + from, r.Right, r.Top + to} : TRect{r.Left + from, r.Top, r.Left + to, r.Bottom};
    };
    for (TRect box : {part(0, p.Arrow), part(p.Length - p.Arrow, p.Length), part(p.ThumbStart, p.ThumbEnd)}) {
      FillSurface(s, clip, box, face);
      FrameSurface(s, clip, box, 1, light, dark);
    }
  }
  if ((w->Style & WS_VSCROLL) && (w->Style & WS_HSCROLL)) {
    TRect v = ScrollBarRect(w, SB_VERT), h = ScrollBarRect(w, SB_HORZ);
    FillSurface(s, clip, {v.Left + o.X, h.Top + o.Y, v.Right + o.X, h.Bottom + o.Y}, face);
  }
}

void ClickScrollBar(TWindowRec* w, int bar, TPoint screen) {
  if (w->Scroll[bar].Disabled == ESB_DISABLE_BOTH) return;
  TPoint o = WindowOrigin(w);
  TRect r = ScrollBarRect(w, bar);
  int at = bar == SB_VERT ? screen.Y - o.Y - r.Top : screen.X - o.X - r.Left;
  TBarParts p = Parts(w, bar);
  WORD code = at < p.Arrow ? SB_LINEUP
              : at >= p.Length - p.Arrow ? SB_LINEDOWN
              : at < p.ThumbStart ? SB_PAGEUP
              : at >= p.ThumbEnd ? SB_PAGEDOWN
                                 : SB_THUMBPOSITION;
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  HWND h = w->Handle;
  WORD pos = static_cast<WORD>(w->Scroll[bar].Pos);
  SendMessage(h, msg, MAKEWPARAM(code, code == SB_THUMBPOSITION ? pos : 0), 0);
  SendMessage(h, msg, SB_ENDSCROLL, 0);
}

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s || !info || info->cbSize != sizeof(SCROLLINFO)) return 0;
  if (info->fMask & SIF_RANGE) {
    s->Min = info->nMin;
    s->Max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s->Page = info->nPage;
  if (info->fMask & SIF_POS) s->Pos = info->nPos;
  Normalize(*s);
  RedrawBars(wnd, redraw);
  return s->Pos;
}

BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s || !info || info->cbSize != sizeof(SCROLLINFO)) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s->Min;
    info->nMax = s->Max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s->Page;
  if (info->fMask & SIF_POS) info->nPos = s->Pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s->Pos;
  return TRUE;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s) return 0;
  int old = s->Pos;
  s->Pos = pos;
  Normalize(*s);
  RedrawBars(wnd, redraw);
  return old;
}

int GetScrollPos(HWND wnd, int bar) {
  TScrollBarState* s = StateOf(wnd, bar);
  return s ? s->Pos : 0;
}

BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s || maxPos < minPos) return FALSE;
  s->Min = minPos;
  s->Max = maxPos;
  Normalize(*s);
  RedrawBars(wnd, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s || !minPos || !maxPos) return FALSE;
  *minPos = s->Min;
  *maxPos = s->Max;
  return TRUE;
}

BOOL ShowScrollBar(HWND wnd, int bar, BOOL show) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH)) return FALSE;
  DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : BarStyle(bar);
  DWORD style = show ? (w->Style | bits) : (w->Style & ~bits);
  if (style == w->Style) return TRUE;
  w->Style = style;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || arrows > ESB_DISABLE_BOTH) return FALSE;
  for (int b : {SB_HORZ, SB_VERT})
    if (bar == SB_BOTH || static_cast<int>(bar) == b) w->Scroll[b].Disabled = arrows;
  return bar <= SB_BOTH ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND wnd, LONG idObject, SCROLLBARINFO* info) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !info || info->cbSize != sizeof(SCROLLBARINFO) || (idObject != OBJID_VSCROLL && idObject != OBJID_HSCROLL))
    return FALSE;
  int bar = idObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  *info = SCROLLBARINFO();
  TRect r = ScrollBarRect(w, bar);
  TPoint o = WindowOrigin(w);
  info->rcScrollBar = r.IsEmpty() ? TRect() : TRect{r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y};
  if (r.IsEmpty() || !IsVisibleChain(w)) {
    info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return TRUE;
  }
  TBarParts p = Parts(w, bar);
  info->dxyLineButton = p.Arrow;
  info->xyThumbTop = p.ThumbStart;
  info->xyThumbBottom = p.ThumbEnd;
  const TScrollBarState& s = w->Scroll[bar];
  if (s.Disabled == ESB_DISABLE_BOTH || MaxPos(s) <= s.Min) info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
  return TRUE;
}
