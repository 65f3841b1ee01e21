// System metrics, system parameters, the monitor, change broadcasts and the window system's
// state record.
#include <algorithm>
#include <cmath>

#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"
#include "platform/os/WinInternal.h"

namespace {

struct TSystemSettings {
  bool WorkAreaSet = false;
  TRect WorkArea;
  UINT WheelScrollLines = 3;
  BOOL DragFullWindows = TRUE;
  // Scroll-bar sizes set through SPI_SETNONCLIENTMETRICS (0: the fixed metric).
  int ScrollWidth = 0;
  int ScrollHeight = 0;
};

TSystemSettings& Settings() {
  static TSystemSettings s;
  return s;
}

const HMONITOR kPrimaryMonitor = reinterpret_cast<HMONITOR>(0x1000);

struct TMetric {
  int Index;
  int Value;
};

// Fixed metrics of our window frames and controls (the screen-dependent ones are computed).
const TMetric kMetrics[] = {
    {SM_CXVSCROLL, 17},   {SM_CYHSCROLL, 17},   {SM_CYCAPTION, 19},   {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},     {SM_CXDLGFRAME, 3},   {SM_CYDLGFRAME, 3},   {SM_CYVTHUMB, 17},
    {SM_CXHTHUMB, 17},    {SM_CXICON, 32},      {SM_CYICON, 32},      {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},    {SM_CYMENU, 19},      {SM_CYVSCROLL, 17},   {SM_CXHSCROLL, 17},
    {SM_SWAPBUTTON, 0},   {SM_CXMIN, 112},      {SM_CYMIN, 27},       {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},      {SM_CXFRAME, 4},      {SM_CYFRAME, 4},      {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},  {SM_CXDOUBLECLK, 4},  {SM_CYDOUBLECLK, 4},  {SM_MENUDROPALIGNMENT, 0},
    {SM_MOUSEPRESENT, 1}, {SM_CXEDGE, 2},       {SM_CYEDGE, 2},       {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},    {SM_CYSMCAPTION, 16}, {SM_CXMENUCHECK, 13}, {SM_CYMENUCHECK, 13},
    {SM_CXDRAG, 4},       {SM_CYDRAG, 4},       {SM_MOUSEWHEELPRESENT, 1}, {SM_CMONITORS, 1},
    {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
};

TRect CurrentWorkArea() {
  auto& s = Settings();
  return s.WorkAreaSet ? s.WorkArea : Backend().WorkArea();
}

bool Intersects(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

template <class T>
bool Store(void* p, T value) {
  if (!p) return false;
  *static_cast<T*>(p) = value;
  return true;
}

void SendToTopLevels(UINT msg, WPARAM wParam, LPARAM lParam) {
  std::vector<HWND> tops;
  for (TWindowRec* t : WinState().TopLevels) tops.push_back(t->Handle);
  for (auto& [h, rec] : WinState().Windows)
    if (!rec->Parent && std::find(tops.begin(), tops.end(), h) == tops.end()) tops.push_back(h);  // message-only
  for (HWND h : tops)
    if (TWindowRec* t = FindWindowRec(h)) SendTo(t, msg, wParam, lParam);
}

BOOL FillNonClientMetrics(void* p) {
  auto* m = static_cast<NONCLIENTMETRICS*>(p);
  if (!m) return FALSE;
  *m = NONCLIENTMETRICS();
  m->iBorderWidth = GetSystemMetrics(SM_CXBORDER);
  m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
  m->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
  m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
  m->iMenuHeight = GetSystemMetrics(SM_CYMENU);
  return TRUE;
}

}  // namespace

// Lives until the process ends: objects destroyed with the statics (a theme receiver, a keyboard
// watcher) still destroy their windows, and a window left open keeps its properties reachable.
TWinState& WinState() {
  static TWinState& state = *new TWinState;
  static const bool colorsHooked = (SetSysColorChangeHandler(BroadcastSysColorChange), true);
  static const bool themesHooked = (ThemeEngine::SetChangeHandler(BroadcastThemeChange), true);
  (void)colorsHooked;
  (void)themesHooked;
  return state;
}

double ScaleForDpi(int dpi) { return std::max(1.0, std::round(dpi / 48.0) / 2.0); }

double DeviceScale() { return ScaleForDpi(Backend().ScreenDpi()); }

UINT GetDpiForSystem() { return static_cast<UINT>(std::lround(96 * DeviceScale())); }

int GetSystemMetrics(int index) {
  TRect screen = Backend().ScreenRect();
  TRect work = CurrentWorkArea();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.Width();
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.Height();
    case SM_XVIRTUALSCREEN: return screen.Left;
    case SM_YVIRTUALSCREEN: return screen.Top;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXMAXIMIZED: return work.Width() + 2 * GetSystemMetrics(SM_CXFRAME);
    case SM_CYMAXIMIZED: return work.Height() + 2 * GetSystemMetrics(SM_CYFRAME);
    default: break;
  }
  const auto& s = Settings();
  if (s.ScrollWidth && (index == SM_CXVSCROLL || index == SM_CXHSCROLL || index == SM_CXHTHUMB)) return s.ScrollWidth;
  if (s.ScrollHeight && (index == SM_CYHSCROLL || index == SM_CYVSCROLL || index == SM_CYVTHUMB)) return s.ScrollHeight;
  for (const TMetric& m : kMetrics)
    if (m.Index == index) return m.Value;
  return 0;
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni) {
  auto& s = Settings();
  bool ok = false;
  bool changed = false;
  switch (action) {
    case SPI_GETWORKAREA: ok = Store<RECT>(pvParam, CurrentWorkArea()); break;
    case SPI_SETWORKAREA:
      if (pvParam) {
        s.WorkArea = *static_cast<const RECT*>(pvParam);
        s.WorkAreaSet = true;
      } else {
        s.WorkAreaSet = false;
      }
      ok = changed = true;
      break;
    case SPI_GETNONCLIENTMETRICS: ok = FillNonClientMetrics(pvParam); break;
    case SPI_SETNONCLIENTMETRICS:
      // Only the scroll-bar sizes are ours to change; 0 or less goes back to the fixed size.
      if (auto* m = static_cast<const NONCLIENTMETRICS*>(pvParam)) {
        s.ScrollWidth = std::max(m->iScrollWidth, 0);
        s.ScrollHeight = std::max(m->iScrollHeight, 0);
        ok = changed = true;
      }
      break;
    case SPI_GETWHEELSCROLLLINES: ok = Store<UINT>(pvParam, s.WheelScrollLines); break;
    case SPI_SETWHEELSCROLLLINES:
      s.WheelScrollLines = uiParam;
      ok = changed = true;
      break;
    case SPI_GETDRAGFULLWINDOWS: ok = Store<BOOL>(pvParam, s.DragFullWindows); break;
    case SPI_SETDRAGFULLWINDOWS:
      s.DragFullWindows = uiParam ? TRUE : FALSE;
      ok = changed = true;
      break;
    case SPI_GETMOUSEHOVERTIME: ok = Store<UINT>(pvParam, 400); break;
    case SPI_GETKEYBOARDDELAY: ok = Store<int>(pvParam, 1); break;
    case SPI_GETKEYBOARDSPEED: ok = Store<DWORD>(pvParam, 31); break;
    case SPI_GETCARETWIDTH: ok = Store<DWORD>(pvParam, 1); break;
    case SPI_GETBEEP:
    case SPI_GETFONTSMOOTHING:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETDROPSHADOW:
    case SPI_GETKEYBOARDCUES:
    case SPI_GETSHOWIMEUI: ok = Store<BOOL>(pvParam, action == SPI_GETBEEP || action == SPI_GETFONTSMOOTHING); break;
    case SPI_GETFLATMENU: ok = Store<BOOL>(pvParam, FALSE); break;
    default: return FALSE;
  }
  if (ok && changed && (winIni & SPIF_SENDCHANGE)) BroadcastSettingChange(action, nullptr);
  return ok ? TRUE : FALSE;
}

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
  TRect s = Backend().ScreenRect();
  bool inside = s.Contains(pt);
  return inside || flags != MONITOR_DEFAULTTONULL ? kPrimaryMonitor : nullptr;
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
  if (!rect) return nullptr;
  return Intersects(*rect, Backend().ScreenRect()) || flags != MONITOR_DEFAULTTONULL ? kPrimaryMonitor : nullptr;
}

HMONITOR MonitorFromWindow(HWND wnd, DWORD flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : kPrimaryMonitor;
  TRect r = WindowScreenRect(w);
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (monitor != kPrimaryMonitor || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
  info->rcMonitor = Backend().ScreenRect();
  info->rcWork = CurrentWorkArea();
  info->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

void BroadcastSettingChange(UINT action, LPCSTR section) {
  SendToTopLevels(WM_SETTINGCHANGE, action, reinterpret_cast<LPARAM>(section));
}

void BroadcastSysColorChange() { SendToTopLevels(WM_SYSCOLORCHANGE, 0, 0); }

void BroadcastThemeChange() { SendToTopLevels(WM_THEMECHANGED, 0, 0); }

void ResetWindowSystem() {
  auto& st = WinState();
  for (int pass = 0; pass < 4 && !st.Windows.empty(); ++pass) {
    std::vector<HWND> roots;
    for (auto& [h, rec] : st.Windows)
      if (!rec->Parent) roots.push_back(h);
    for (HWND h : roots) DestroyWindow(h);
  }
  UINT blink = st.Caret.BlinkTime;
  st.Windows.clear();
  st.TopLevels.clear();
  st.Classes.clear();
  st.Posted.clear();
  st.Input.clear();
  st.QuitPosted = false;
  st.QuitCode = 0;
  st.Last = MSG();
  st.Hooks.clear();
  st.Timers.clear();
  st.Focus = st.Active = st.Capture = st.MouseWindow = nullptr;
  st.AppActive = false;
  st.Cursor = nullptr;
  st.CursorShowCount = 0;
  std::fill(std::begin(st.KeyState), std::end(st.KeyState), BYTE(0));
  PublishKeyState();
  std::fill(std::begin(st.AsyncKeyState), std::end(st.AsyncKeyState), BYTE(0));
  st.Caret = TCaretState();
  st.Caret.BlinkTime = blink;
  st.Click = TClickState();
  st.Tracking = TMouseTracking();
  st.DoubleClickTime = 500;
  Settings() = TSystemSettings();
}
