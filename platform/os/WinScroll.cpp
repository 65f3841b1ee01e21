// Scroll bars of a window's frame: their state, geometry, painting and the mouse on them. A
// press on an arrow or page area sends its scroll code and repeats it on a timer while the
// button stays down; dragging the thumb sends SB_THUMBTRACK and, on release, SB_THUMBPOSITION.
#include <algorithm>
#include <cstdint>

#include "platform/os/Gdi.h"
#include "platform/os/ThemeInternal.h"
#include "platform/os/WinInternal.h"

namespace {

DWORD BarStyle(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

bool ValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

int Range(const TScrollBarState& s) { return s.Max - s.Min + 1; }

int MaxPos(const TScrollBarState& s) { return s.Max - std::max(static_cast<int>(s.Page) - 1, 0); }

void ClampScrollState(TScrollBarState& s) {
  if (s.Max < s.Min) s.Max = s.Min;
  s.Page = std::min<UINT>(s.Page, static_cast<UINT>(Range(s)));
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, MaxPos(s)));
}

enum class TBarPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

// The part of a bar the mouse holds down: a pressed arrow or page area draws pushed while the
// pointer is on it, a dragged thumb draws at the tracking position.
struct TBarPress {
  HWND Wnd = nullptr;
  int Bar = -1;
  TBarPart Part = TBarPart::None;
  bool Over = false;
};
TBarPress& BarPress() {
  static TBarPress press;
  return press;
}

TBarPart PressedPart(const TWindowRec* w, int bar) {
  const TBarPress& p = BarPress();
  return p.Wnd == w->Handle && p.Bar == bar && p.Over ? p.Part : TBarPart::None;
}

bool IsTracking(const TWindowRec* w, int bar) {
  const TBarPress& p = BarPress();
  return p.Wnd == w->Handle && p.Bar == bar && p.Part == TBarPart::Thumb;
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
  int pos = IsTracking(w, bar) ? s.TrackPos : s.Pos;
  p.ThumbStart = p.Arrow + static_cast<int>(int64_t(track - thumb) * (pos - s.Min) / span);
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

namespace {

// A filled triangle pointing `dir`, centred in the box, drawn in device pixels: on a high-DPI
// screen its slopes step by one device pixel.
void DrawArrowGlyph(TSurface& s, const TRegionData& clip, const TRect& box, TArrowDir dir, uint32_t color, int shift) {
  const TRect d{TSurface::DeviceEdge(box.Left, s.Scale), TSurface::DeviceEdge(box.Top, s.Scale),
                TSurface::DeviceEdge(box.Right, s.Scale), TSurface::DeviceEdge(box.Bottom, s.Scale)};
  const int unit = TSurface::DeviceEdge(1, s.Scale), deviceShift = TSurface::DeviceEdge(shift, s.Scale);
  const int rows = std::max(2 * unit, std::min(d.Width(), d.Height()) / 4);
  const int cx = d.Left + d.Width() / 2 + deviceShift, cy = d.Top + d.Height() / 2 + deviceShift;
  // A device pixel shows when its logical pixel lies in the clip.
  auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < s.Width && y < s.Height && clip.Contains({s.ToLogical(x), s.ToLogical(y)}))
      s.Row(y)[x] = color;
  };
  for (int k = 0; k < rows; ++k) {
    const int step = dir == TArrowDir::Up || dir == TArrowDir::Left ? k : rows - 1 - k;
    for (int i = -k; i <= k; ++i) {
      if (dir == TArrowDir::Up || dir == TArrowDir::Down) put(cx + i, cy - rows / 2 + step);
      else put(cx - rows / 2 + step, cy + i);
    }
  }
}

void DrawArrowButton(TSurface& s, const TRegionData& clip, const TRect& box, TArrowDir dir, bool pressed, bool enabled) {
  uint32_t face = SysPixel(COLOR_BTNFACE), light = SysPixel(COLOR_BTNHIGHLIGHT), dark = SysPixel(COLOR_BTNSHADOW);
  FillSurface(s, clip, box, face);
  FrameSurface(s, clip, box, 1, pressed ? dark : light, dark);
  if (enabled) {
    DrawArrowGlyph(s, clip, box, dir, SysPixel(COLOR_BTNTEXT), pressed ? 1 : 0);
  } else {
    DrawArrowGlyph(s, clip, box, dir, light, 1);
    DrawArrowGlyph(s, clip, box, dir, SysPixel(COLOR_GRAYTEXT), 0);
  }
}

// The track between the arrows: the scroll bar colour checkered with the highlight, as classic
// bars have it, so that a thumb in the button face stands out wherever it lies.
void FillTrack(TSurface& s, const TRegionData& clip, const TRect& r) {
  const uint32_t even = SysPixel(COLOR_BTNHIGHLIGHT), odd = SysPixel(COLOR_SCROLLBAR);
  const TRegionData area = clip.Intersect(TRegionData(r));
  for (const TRect& band : area.Rects())
    ForDevicePixels(s, band, [&](uint32_t& px, Integer x, Integer y) { px = (x + y) % 2 == 0 ? even : odd; });
}

}  // namespace

void DrawScrollBars(TWindowRec* w, TSurface& s, const TRegionData& clip) {
  TPoint o = SurfaceOffset(w);
  uint32_t face = SysPixel(COLOR_BTNFACE), light = SysPixel(COLOR_BTNHIGHLIGHT), dark = SysPixel(COLOR_BTNSHADOW);
  for (int bar : {SB_HORZ, SB_VERT}) {
    TRect r = ScrollBarRect(w, bar);
    if (r.IsEmpty()) continue;
    r = {r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y};
    FillTrack(s, clip, r);
    const TScrollBarState& st = w->Scroll[bar];
    bool scrolls = MaxPos(st) > st.Min && st.Disabled != ESB_DISABLE_BOTH;
    TBarParts p = Parts(w, bar);
    TBarPart pressed = PressedPart(w, bar);
    auto part = [&](int from, int to) {
      return bar == SB_VERT ? TRect{r.Left, r.Top + from, r.Right, r.Top + to} : TRect{r.Left + from, r.Top, r.Left + to, r.Bottom};
    };
    if (pressed == TBarPart::PageUp) FillSurface(s, clip, part(p.Arrow, p.ThumbStart), SysPixel(COLOR_3DDKSHADOW));
    if (pressed == TBarPart::PageDown) FillSurface(s, clip, part(p.ThumbEnd, p.Length - p.Arrow), SysPixel(COLOR_3DDKSHADOW));
    DrawArrowButton(s, clip, part(0, p.Arrow), bar == SB_VERT ? TArrowDir::Up : TArrowDir::Left,
                    pressed == TBarPart::LineUp, scrolls && !(st.Disabled & ESB_DISABLE_LTUP));
    DrawArrowButton(s, clip, part(p.Length - p.Arrow, p.Length), bar == SB_VERT ? TArrowDir::Down : TArrowDir::Right,
                    pressed == TBarPart::LineDown, scrolls && !(st.Disabled & ESB_DISABLE_RTDN));
    if (scrolls) {
      TRect thumb = part(p.ThumbStart, p.ThumbEnd);
      FillSurface(s, clip, thumb, face);
      FrameSurface(s, clip, thumb, 1, light, dark);
    }
  }
  if ((w->Style & WS_VSCROLL) && (w->Style & WS_HSCROLL)) {
    TRect v = ScrollBarRect(w, SB_VERT), h = ScrollBarRect(w, SB_HORZ);
    FillSurface(s, clip, {v.Left + o.X, h.Top + o.Y, v.Right + o.X, h.Bottom + o.Y}, face);
  }
}

namespace {

constexpr UINT_PTR kRepeatTimer = 0xFFF0;
constexpr UINT kFirstRepeatDelay = 250, kRepeatInterval = 50;

// Offset of a screen point along the bar, from the bar's start.
int OffsetAlong(const TWindowRec* w, int bar, TPoint screen) {
  TPoint o = WindowOrigin(w);
  TRect r = ScrollBarRect(w, bar);
  return bar == SB_VERT ? screen.Y - o.Y - r.Top : screen.X - o.X - r.Left;
}

// The part under a screen point; None when the point is off the bar.
TBarPart PartAt(const TWindowRec* w, int bar, TPoint screen) {
  TPoint o = WindowOrigin(w);
  TRect r = ScrollBarRect(w, bar);
  int x = screen.X - o.X, y = screen.Y - o.Y;
  if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) return TBarPart::None;
  int at = OffsetAlong(w, bar, screen);
  TBarParts p = Parts(w, bar);
  return at < p.Arrow                ? TBarPart::LineUp
         : at >= p.Length - p.Arrow ? TBarPart::LineDown
         : at < p.ThumbStart        ? TBarPart::PageUp
         : at >= p.ThumbEnd         ? TBarPart::PageDown
                                    : TBarPart::Thumb;
}

WORD CodeOf(TBarPart part) {
  switch (part) {
    case TBarPart::LineUp: return SB_LINEUP;
    case TBarPart::LineDown: return SB_LINEDOWN;
    case TBarPart::PageUp: return SB_PAGEUP;
    default: return SB_PAGEDOWN;
  }
}

bool ArrowDisabled(const TScrollBarState& s, TBarPart part) {
  if (part == TBarPart::LineUp) return (s.Disabled & ESB_DISABLE_LTUP) != 0;
  if (part == TBarPart::LineDown) return (s.Disabled & ESB_DISABLE_RTDN) != 0;
  return false;
}

void SendScroll(HWND wnd, int bar, WORD code, int pos = 0) {
  SendMessage(wnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

// Capture and the repeat timer for as long as the button is down, let go on every way out.
class TBarCapture {
 public:
  explicit TBarCapture(HWND wnd) : FWnd(wnd) { SetCapture(wnd); }
  ~TBarCapture() {
    if (IsWindow(FWnd)) KillTimer(FWnd, kRepeatTimer);
    if (GetCapture() == FWnd) ReleaseCapture();
    BarPress() = TBarPress();
    if (TWindowRec* w = FindWindowRec(FWnd)) DrawNonClientFrame(w);
  }
  TBarCapture(const TBarCapture&) = delete;
  TBarCapture& operator=(const TBarCapture&) = delete;

 private:
  HWND FWnd;
};

// The next message for the bar's loop; false when the loop must end (button up, capture lost,
// window gone, quit). Other messages are dispatched as usual.
bool NextBarMessage(HWND wnd, MSG& m) {
  for (;;) {
    if (!IsWindow(wnd) || GetCapture() != wnd) return false;
    BOOL got = GetMessage(&m, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return false;
    }
    if (got < 0 || m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) return false;
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) return false;
    if ((m.message == WM_TIMER && m.wParam == kRepeatTimer && m.hwnd == wnd) ||
        (m.message == WM_MOUSEMOVE && m.hwnd == wnd))
      return true;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

// Arrow and page presses: the code at once, then again on the timer while the pointer stays on
// the pressed part (a page press stops when the thumb reaches the pointer).
void RepeatWhilePressed(HWND wnd, int bar, TBarPart part, TPoint screen) {
  TBarCapture capture(wnd);
  BarPress() = {wnd, bar, part, true};
  if (TWindowRec* w = FindWindowRec(wnd)) DrawNonClientFrame(w);
  SendScroll(wnd, bar, CodeOf(part));
  SetTimer(wnd, kRepeatTimer, kFirstRepeatDelay, nullptr);
  MSG m;
  while (NextBarMessage(wnd, m)) {
    TWindowRec* w = FindWindowRec(wnd);
    if (m.message == WM_MOUSEMOVE) {
      screen = m.pt;
      bool over = w && PartAt(w, bar, screen) == part;
      if (w && over != BarPress().Over) {
        BarPress().Over = over;
        DrawNonClientFrame(w);
      }
      continue;
    }
    SetTimer(wnd, kRepeatTimer, kRepeatInterval, nullptr);
    if (w && PartAt(w, bar, screen) == part) SendScroll(wnd, bar, CodeOf(part));
  }
}

// The position a thumb dragged to `at` stands for.
int TrackPosition(const TWindowRec* w, int bar, int grabOffset, int at) {
  const TScrollBarState& s = w->Scroll[bar];
  TBarParts p = Parts(w, bar);
  int thumb = p.ThumbEnd - p.ThumbStart;
  int room = p.Length - 2 * p.Arrow - thumb;
  if (room <= 0) return s.Pos;
  int start = std::clamp(at - grabOffset, p.Arrow, p.Arrow + room);
  int span = std::max(MaxPos(s) - s.Min, 0);
  return s.Min + static_cast<int>((int64_t(start - p.Arrow) * span + room / 2) / room);
}

void DragThumb(HWND wnd, int bar, TPoint screen) {
  TWindowRec* w = FindWindowRec(wnd);
  TBarCapture capture(wnd);
  int grabOffset = OffsetAlong(w, bar, screen) - Parts(w, bar).ThumbStart;
  w->Scroll[bar].TrackPos = w->Scroll[bar].Pos;
  BarPress() = {wnd, bar, TBarPart::Thumb, true};
  MSG m;
  while (NextBarMessage(wnd, m)) {
    if (m.message != WM_MOUSEMOVE || !(w = FindWindowRec(wnd))) continue;
    int pos = TrackPosition(w, bar, grabOffset, OffsetAlong(w, bar, m.pt));
    if (pos == w->Scroll[bar].TrackPos) continue;
    w->Scroll[bar].TrackPos = pos;
    DrawNonClientFrame(w);
    SendScroll(wnd, bar, SB_THUMBTRACK, pos);
  }
  if ((w = FindWindowRec(wnd))) {
    int pos = w->Scroll[bar].TrackPos;
    BarPress() = TBarPress();
    DrawNonClientFrame(w);
    SendScroll(wnd, bar, SB_THUMBPOSITION, pos);
  }
}

}  // namespace

void ClickScrollBar(TWindowRec* w, int bar, TPoint screen) {
  const TScrollBarState& s = w->Scroll[bar];
  TBarPart part = PartAt(w, bar, screen);
  if (s.Disabled == ESB_DISABLE_BOTH || part == TBarPart::None || ArrowDisabled(s, part)) return;
  HWND h = w->Handle;
  if (part == TBarPart::Thumb)
    DragThumb(h, bar, screen);
  else
    RepeatWhilePressed(h, bar, part, screen);
  if (IsWindow(h)) SendScroll(h, bar, SB_ENDSCROLL);
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
  ClampScrollState(*s);
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
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = IsTracking(FindWindowRec(wnd), bar) ? s->TrackPos : s->Pos;
  return TRUE;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) {
  TScrollBarState* s = StateOf(wnd, bar);
  if (!s) return 0;
  int old = s->Pos;
  s->Pos = pos;
  ClampScrollState(*s);
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
  ClampScrollState(*s);
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
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) return FALSE;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT})
    if (bar == SB_BOTH || static_cast<int>(bar) == b) {
      changed |= w->Scroll[b].Disabled != arrows;
      w->Scroll[b].Disabled = arrows;
    }
  if (changed) DrawNonClientFrame(w);
  return changed ? TRUE : FALSE;
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
  // The bar's own state: a bar of a window whose parent is still hidden is not invisible, so a
  // list filled before its form shows reports the bar it will show with.
  if (r.IsEmpty() || !(w->Style & WS_VISIBLE)) {
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

// ---------------------------------------------------------------------------------------------
// Flat scroll bars

namespace {

String FlatPropName(int index) { return "QJFlatSB." + std::to_string(index); }

int DefaultFlatProp(int index) {
  switch (index) {
    case WSB_PROP_CYVSCROLL: return GetSystemMetrics(SM_CYVSCROLL);
    case WSB_PROP_CXHSCROLL: return GetSystemMetrics(SM_CXHSCROLL);
    case WSB_PROP_CYHSCROLL: return GetSystemMetrics(SM_CYHSCROLL);
    case WSB_PROP_CXVSCROLL: return GetSystemMetrics(SM_CXVSCROLL);
    case WSB_PROP_CXHTHUMB: return GetSystemMetrics(SM_CXHTHUMB);
    case WSB_PROP_CYVTHUMB: return GetSystemMetrics(SM_CYVTHUMB);
    case WSB_PROP_VBKGCOLOR:
    case WSB_PROP_HBKGCOLOR: return static_cast<int>(GetSysColor(COLOR_SCROLLBAR));
    case WSB_PROP_VSTYLE:
    case WSB_PROP_HSTYLE: return FSB_REGULAR_MODE;
    default: return 0;
  }
}

bool KnownFlatProp(int index) { return index >= WSB_PROP_CYVSCROLL && index <= WSB_PROP_PALETTE && (index & (index - 1)) == 0; }

}  // namespace

BOOL InitializeFlatSB(HWND wnd) { return IsWindow(wnd); }
BOOL UninitializeFlatSB(HWND wnd) { return IsWindow(wnd); }
BOOL FlatSB_GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info) { return GetScrollInfo(wnd, bar, info); }
int FlatSB_SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw) { return SetScrollInfo(wnd, bar, info, redraw); }
int FlatSB_GetScrollPos(HWND wnd, int bar) { return GetScrollPos(wnd, bar); }
int FlatSB_SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) { return SetScrollPos(wnd, bar, pos, redraw); }
BOOL FlatSB_GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos) { return GetScrollRange(wnd, bar, minPos, maxPos); }
BOOL FlatSB_SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw) {
  return SetScrollRange(wnd, bar, minPos, maxPos, redraw);
}
BOOL FlatSB_ShowScrollBar(HWND wnd, int bar, BOOL show) { return ShowScrollBar(wnd, bar, show); }
BOOL FlatSB_EnableScrollBar(HWND wnd, int bar, UINT arrows) { return EnableScrollBar(wnd, static_cast<UINT>(bar), arrows); }

BOOL FlatSB_GetScrollProp(HWND wnd, int index, int* value) {
  if (!IsWindow(wnd) || !value || !KnownFlatProp(index)) return FALSE;
  String name = FlatPropName(index);
  void* stored = GetProp(wnd, name.c_str());
  *value = stored ? static_cast<int>(reinterpret_cast<intptr_t>(stored) - 1) : DefaultFlatProp(index);
  return TRUE;
}

BOOL FlatSB_SetScrollProp(HWND wnd, UINT index, int value, BOOL redraw) {
  if (!IsWindow(wnd) || !KnownFlatProp(static_cast<int>(index))) return FALSE;
  // Stored off by one so that a value of 0 differs from "not set".
  String name = FlatPropName(static_cast<int>(index));
  SetProp(wnd, name.c_str(), reinterpret_cast<void*>(static_cast<intptr_t>(value) + 1));
  RedrawBars(wnd, redraw);
  return TRUE;
}
