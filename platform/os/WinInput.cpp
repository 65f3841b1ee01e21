// Input: keyboard focus, activation, capture, mouse routing with hit testing and double clicks,
// mouse leave and hover tracking, key messages and key state, and the character layout.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"

namespace {

LPARAM PackInputPoint(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)); }

bool Down(const BYTE* keys, int vk) { return (keys[vk & 0xFF] & 0x80) != 0; }

void SetKey(BYTE* keys, int vk, bool down) {
  BYTE& k = keys[vk & 0xFF];
  if (down && !(k & 0x80)) k ^= 0x01;  // toggle on each press
  k = static_cast<BYTE>(down ? (k | 0x80) : (k & ~0x80));
}

// The generic key of a left/right key and the left variant of a generic one.
int GenericKey(int vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

int SidedKey(int vk) {
  switch (vk) {
    case VK_SHIFT: return VK_LSHIFT;
    case VK_CONTROL: return VK_LCONTROL;
    case VK_MENU: return VK_LMENU;
    default: return vk;
  }
}

void SetKeyBoth(BYTE* keys, int vk, bool down) {
  int generic = GenericKey(vk);
  SetKey(keys, generic, down);
  int sided = generic == vk ? SidedKey(vk) : vk;
  if (sided != generic) SetKey(keys, sided, down);
}

// The GUI thread's key state as other threads read it (a watcher of the lock keys).
std::array<std::atomic<BYTE>, 256>& SharedKeyState() {
  static std::array<std::atomic<BYTE>, 256> keys{};
  return keys;
}

WPARAM MouseKeyFlags() {
  const BYTE* k = WinState().AsyncKeyState;
  WPARAM f = 0;
  if (Down(k, VK_LBUTTON)) f |= MK_LBUTTON;
  if (Down(k, VK_RBUTTON)) f |= MK_RBUTTON;
  if (Down(k, VK_MBUTTON)) f |= MK_MBUTTON;
  if (Down(k, VK_SHIFT)) f |= MK_SHIFT;
  if (Down(k, VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

void ChangeFocus(HWND prev, HWND next) {
  auto& st = WinState();
  st.Focus = next;
  if (TWindowRec* p = FindWindowRec(prev)) SendTo(p, WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0);
  if (st.Focus != next) return;
  if (TWindowRec* n = FindWindowRec(next))
    SendTo(n, WM_SETFOCUS, reinterpret_cast<WPARAM>(FindWindowRec(prev) ? prev : nullptr), 0);
}

// True when no window of the same top-most band lies above the window.
bool IsTopOfBand(const TWindowRec* w) {
  for (TWindowRec* t : WinState().TopLevels) {
    if (t == w) return true;
    if (((t->ExStyle ^ w->ExStyle) & WS_EX_TOPMOST) == 0 && t->Owner != w) return false;
  }
  return true;
}

void BroadcastActivateApp(bool active) {
  std::vector<HWND> tops;
  for (TWindowRec* t : WinState().TopLevels) tops.push_back(t->Handle);
  for (HWND h : tops)
    if (TWindowRec* t = FindWindowRec(h)) SendTo(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

// ------------------------------------------------------------------ caret

bool CaretBlinks() {
  const auto& c = WinState().Caret;
  return c.Wnd && c.HideCount == 0 && c.BlinkTime;
}

// ------------------------------------------------------------------ mouse tracking

void PostLeave(HWND wnd, bool nonClient) {
  MSG m;
  m.hwnd = wnd;
  m.message = nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
  m.time = GetTickCount();
  m.pt = WinState().CursorPos;
  QueueMessage(WinState().Posted, m);
}

void UpdateTracking(TWindowRec* target, LRESULT ht, TPoint p, DWORD time) {
  auto& tr = WinState().Tracking;
  if (!tr.Wnd || !(tr.Flags & (TME_LEAVE | TME_HOVER))) return;
  bool nonClient = (tr.Flags & TME_NONCLIENT) != 0;
  bool inside = target && target->Handle == tr.Wnd && ((ht == HTCLIENT) != nonClient);
  if (!inside) {
    if (tr.Flags & TME_LEAVE) PostLeave(tr.Wnd, nonClient);
    tr = TMouseTracking();
    return;
  }
  int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (std::abs(p.X - tr.HoverPos.X) > cx || std::abs(p.Y - tr.HoverPos.Y) > cy) {
    tr.HoverPos = p;
    tr.HoverStart = time;
  }
}

// ------------------------------------------------------------------ mouse routing

bool IsButtonDown(UINT m) { return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN; }

// Turns a button-down into a double click when it repeats the last one in time and place.
UINT DoubleClickMessage(TWindowRec* target, const MSG& raw, bool client) {
  auto& st = WinState();
  auto& c = st.Click;
  bool repeat = c.Message == raw.message && c.Wnd == target->Handle && !c.WasDouble &&
                raw.time - c.Time <= st.DoubleClickTime &&
                std::abs(raw.pt.X - c.Pos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(raw.pt.Y - c.Pos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  bool wantsDouble = !client || (target->Class->Style & CS_DBLCLKS);
  if (repeat && wantsDouble) {
    c.WasDouble = true;
    return raw.message + 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONUP
  }
  c = TClickState{raw.message, target->Handle, raw.time, raw.pt, false};
  return raw.message;
}

// True when the click was eaten by the activation answer.
bool MouseActivate(TWindowRec* target, LRESULT ht, UINT msg) {
  auto& st = WinState();
  TWindowRec* top = TopLevelOf(target);
  if (st.Active == top->Handle || (top->ExStyle & WS_EX_NOACTIVATE)) return false;
  HWND h = target->Handle;
  LRESULT r = SendTo(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle), MAKELPARAM(static_cast<WORD>(ht), static_cast<WORD>(msg)));
  if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && FindWindowRec(top->Handle)) ActivateWindow(top, true);
  return r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT || !FindWindowRec(h);
}

void InjectMouse(UINT msg, WORD extra) {
  auto& st = WinState();
  MSG raw;
  raw.message = msg;
  raw.wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), extra);
  raw.time = GetTickCount();
  raw.pt = st.CursorPos;
  PostRawInput(raw);
}

// The wheel turns what is under the pointer; over no window of ours, or over one a modal window
// disables, it goes to the focus.
bool CookWheel(MSG& m) {
  auto& st = WinState();
  LRESULT ht = HTNOWHERE;
  TWindowRec* target = WindowAtPoint(m.pt, ht);
  if (!target || ht == HTERROR) target = FindWindowRec(st.Focus);
  if (!target) return false;
  m.hwnd = target->Handle;
  m.lParam = PackInputPoint(m.pt);
  return true;
}

bool CookMouse(MSG& m) {
  if (m.message == WM_MOUSEWHEEL || m.message == WM_MOUSEHWHEEL) return CookWheel(m);
  auto& st = WinState();
  LRESULT ht = HTCLIENT;
  TWindowRec* capture = FindWindowRec(st.Capture);
  TWindowRec* target = capture ? capture : WindowAtPoint(m.pt, ht);
  if (m.message == WM_MOUSEMOVE) UpdateTracking(target, ht, m.pt, m.time);
  st.MouseWindow = target ? target->Handle : nullptr;
  if (!target) return false;
  HWND h = target->Handle;
  UINT msg = m.message;
  if (ht == HTERROR) {
    // A click on a window disabled by a modal popup brings that popup forward.
    SendTo(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(static_cast<WORD>(ht), static_cast<WORD>(msg)));
    TWindowRec* popup = FindWindowRec(GetWindow(h, GW_ENABLEDPOPUP));
    if (IsButtonDown(msg) && popup) ActivateWindow(popup, true);
    return false;
  }
  if (IsButtonDown(msg) && !capture) {
    // The mouse hooks hear a click before it activates anything (a drop-down closes first).
    MSG hooked = m;
    hooked.hwnd = h;
    if (MouseDownEatenByHooks(hooked)) return false;
    if (!(target = FindWindowRec(h)) || MouseActivate(target, ht, msg)) return false;
  }
  if (!(target = FindWindowRec(h))) return false;
  if (!capture) {
    SendTo(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(static_cast<WORD>(ht), static_cast<WORD>(msg)));
    if (!(target = FindWindowRec(h))) return false;
  }
  bool client = capture || ht == HTCLIENT;
  if (IsButtonDown(msg)) msg = DoubleClickMessage(target, m, client);
  m.hwnd = h;
  if (client) {
    TPoint o = ClientOrigin(target);
    m.message = msg;
    m.wParam = LOWORD(m.wParam);
    m.lParam = PackInputPoint({m.pt.X - o.X, m.pt.Y - o.Y});
  } else {
    m.message = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = static_cast<WPARAM>(ht);
    m.lParam = PackInputPoint(m.pt);
  }
  return true;
}

// ------------------------------------------------------------------ keyboard

LPARAM KeyData(BYTE vk, bool down, bool wasDown, bool alt) {
  LPARAM lp = 1 | (static_cast<LPARAM>(vk) << 16);
  if (alt) lp |= KF_ALTDOWN_BIT;
  if (wasDown || !down) lp |= KF_REPEAT_BIT;
  if (!down) lp |= KF_UP_BIT;
  return lp;
}

void InjectKey(BYTE vk, bool down, bool sys, LPARAM data) {
  MSG raw;
  raw.message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  raw.wParam = vk;
  raw.lParam = data;
  raw.time = GetTickCount();
  raw.pt = WinState().CursorPos;
  PostRawInput(raw);
}

// Keys go to the focus window; with no focus, to the active window as system keys.
bool CookKey(MSG& m) {
  auto& st = WinState();
  TWindowRec* focus = FindWindowRec(st.Focus);
  TWindowRec* target = focus ? focus : FindWindowRec(st.Active);
  if (!target) return false;
  if (!focus && m.message == WM_KEYDOWN) m.message = WM_SYSKEYDOWN;
  if (!focus && m.message == WM_KEYUP) m.message = WM_SYSKEYUP;
  m.hwnd = target->Handle;
  return true;
}

struct TCharKey {
  BYTE Vk;
  bool Shift;
};

const char* const kDigitsShifted = ")!@#$%^&*(";

struct TOemKey {
  BYTE Vk;
  char Plain, Shifted;
};
const TOemKey kOemKeys[] = {{VK_OEM_1, ';', ':'},   {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
                            {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                            {VK_OEM_3, '`', '~'},   {VK_OEM_4, '[', '{'},    {VK_OEM_5, '\\', '|'},
                            {VK_OEM_6, ']', '}'},   {VK_OEM_7, '\'', '"'}};

bool KeyForChar(BYTE ch, TCharKey& key) {
  if (ch >= 'a' && ch <= 'z') return key = {static_cast<BYTE>(ch - 'a' + 'A'), false}, true;
  if (ch >= 'A' && ch <= 'Z') return key = {ch, true}, true;
  if (ch >= '0' && ch <= '9') return key = {ch, false}, true;
  if (const char* d = std::strchr(kDigitsShifted, ch); d && ch) return key = {static_cast<BYTE>('0' + (d - kDigitsShifted)), true}, true;
  switch (ch) {
    case ' ': return key = {VK_SPACE, false}, true;
    case '\r':
    case '\n': return key = {VK_RETURN, false}, true;
    case '\t': return key = {VK_TAB, false}, true;
    case '\b': return key = {VK_BACK, false}, true;
    case 27: return key = {VK_ESCAPE, false}, true;
    default: break;
  }
  for (const TOemKey& k : kOemKeys) {
    if (k.Plain == static_cast<char>(ch)) return key = {k.Vk, false}, true;
    if (k.Shifted == static_cast<char>(ch)) return key = {k.Vk, true}, true;
  }
  return false;
}

bool ControlChar(BYTE vk, BYTE& ch) {
  if (vk >= 'A' && vk <= 'Z') return ch = static_cast<BYTE>(vk - 'A' + 1), true;
  switch (vk) {
    case VK_OEM_4: return ch = 27, true;
    case VK_OEM_5: return ch = 28, true;
    case VK_OEM_6: return ch = 29, true;
    case VK_RETURN: return ch = 10, true;
    case VK_BACK: return ch = 127, true;
    case VK_ESCAPE: return ch = 27, true;
    case VK_SPACE: return ch = 32, true;
    default: return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Character layout

bool KeyForCharacter(BYTE ch, BYTE& vk, bool& shift) {
  TCharKey key{};
  if (!KeyForChar(ch, key)) return false;
  vk = key.Vk;
  shift = key.Shift;
  return true;
}

bool CharFromKey(BYTE vk, LPARAM keyData, BYTE& ch) {
  if (vk == VK_PACKET) {
    ch = static_cast<BYTE>((keyData >> 16) & 0xFF);
    return true;
  }
  const BYTE* k = WinState().KeyState;
  bool shift = Down(k, VK_SHIFT), ctrl = Down(k, VK_CONTROL), alt = Down(k, VK_MENU);
  bool caps = (k[VK_CAPITAL] & 1) != 0;
  if (ctrl && !alt) return ControlChar(vk, ch);
  bool keyOnly = vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE;
  // The text comes on its own, also for AltGr (right Alt) characters.
  if ((keyData & KF_TEXT_SEPARATE) && (!alt || Down(k, VK_RMENU)) && !keyOnly) return false;
  switch (vk) {
    case VK_BACK: return ch = 8, true;
    case VK_TAB: return ch = 9, true;
    case VK_RETURN: return ch = 13, true;
    case VK_ESCAPE: return ch = 27, true;
    case VK_SPACE: return ch = ' ', true;
    case VK_MULTIPLY: return ch = '*', true;
    case VK_ADD: return ch = '+', true;
    case VK_SUBTRACT: return ch = '-', true;
    case VK_DECIMAL: return ch = '.', true;
    case VK_DIVIDE: return ch = '/', true;
    default: break;
  }
  if (vk >= 'A' && vk <= 'Z') return ch = static_cast<BYTE>(shift != caps ? vk : vk - 'A' + 'a'), true;
  if (vk >= '0' && vk <= '9') return ch = static_cast<BYTE>(shift ? kDigitsShifted[vk - '0'] : vk), true;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return ch = static_cast<BYTE>('0' + vk - VK_NUMPAD0), true;
  for (const TOemKey& o : kOemKeys)
    if (o.Vk == vk) return ch = static_cast<BYTE>(shift ? o.Shifted : o.Plain), true;
  return false;
}

void SyncKeyStateFromMessage(const MSG& m) {
  auto& st = WinState();
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (m.wParam != VK_PACKET) SetKeyBoth(st.KeyState, static_cast<int>(m.wParam), !(m.lParam & KF_UP_BIT));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: SetKey(st.KeyState, VK_LBUTTON, true); break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: SetKey(st.KeyState, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK: SetKey(st.KeyState, VK_RBUTTON, true); break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP: SetKey(st.KeyState, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK: SetKey(st.KeyState, VK_MBUTTON, true); break;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP: SetKey(st.KeyState, VK_MBUTTON, false); break;
    default: return;
  }
  PublishKeyState();
}

void PublishKeyState() {
  const BYTE* keys = WinState().KeyState;
  for (size_t vk = 0; vk < SharedKeyState().size(); ++vk) SharedKeyState()[vk].store(keys[vk], std::memory_order_relaxed);
}

bool CookInput(MSG& m) { return m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST ? CookKey(m) : CookMouse(m); }

// ---------------------------------------------------------------------------------------------
// Input entry points of the backends

namespace WinInput {

void MouseMove(TPoint screen) {
  auto& st = WinState();
  if (st.CursorPos == screen) return;  // no move, no message
  st.CursorPos = screen;
  InjectMouse(WM_MOUSEMOVE, 0);
}

void MouseButton(int button, bool down) {
  static const BYTE kVk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  static const UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  if (button < 0 || button > 2) return;
  auto& st = WinState();
  int vk = kVk[button];
  if (GetSystemMetrics(SM_SWAPBUTTON) && button < 2) vk = kVk[1 - button];
  SetKey(st.AsyncKeyState, vk, down);
  InjectMouse(down ? kDown[button] : kDown[button] + 1, 0);
}

void MouseWheel(int delta, bool horizontal) {
  InjectMouse(horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL, static_cast<WORD>(delta));
}

void Key(BYTE vk, bool down, bool textFollows) {
  auto& st = WinState();
  BYTE generic = static_cast<BYTE>(GenericKey(vk));
  bool wasDown = Down(st.AsyncKeyState, generic);
  bool altHeld = Down(st.AsyncKeyState, VK_MENU);
  if (generic == VK_MENU && down && !wasDown) st.AltCombined = false;
  if (generic != VK_MENU && down && altHeld) st.AltCombined = true;
  SetKeyBoth(st.AsyncKeyState, vk, down);
  bool alt = Down(st.AsyncKeyState, VK_MENU);
  bool ctrl = Down(st.AsyncKeyState, VK_CONTROL);
  // Alt alone makes system keys; Alt released after a combination is a plain key-up.
  bool sys = (alt && !ctrl) || generic == VK_F10 || (generic == VK_MENU && !down && !st.AltCombined && !ctrl);
  InjectKey(generic, down, sys, KeyData(generic, down, wasDown, alt) | (textFollows ? KF_TEXT_SEPARATE : 0));
}

void Character(BYTE ch) {
  MSG raw;
  raw.message = WM_CHAR;
  raw.wParam = ch;
  raw.lParam = 1;
  raw.time = GetTickCount();
  raw.pt = WinState().CursorPos;
  PostRawInput(raw);
}

namespace {
bool IsOwnedBy(TWindowRec* w, TWindowRec* owner) {
  for (w = w ? w->Owner : nullptr; w; w = w->Owner)
    if (w == owner) return true;
  return false;
}
}  // namespace

void NativeActivated(HWND wnd, bool active) {
  auto& st = WinState();
  TWindowRec* w = FindWindowRec(wnd);
  if (active && w && st.Active != wnd) ActivateWindow(TopLevelOf(w), false);
  // A popup of ours that is active inside the window system has no native focus of its own: the
  // native window of its owner loses it for both.
  if (!active && w && st.Active && (st.Active == wnd || IsOwnedBy(FindWindowRec(st.Active), w)))
    ActivateWindow(nullptr, false);
}

void NativeCloseRequest(HWND wnd) {
  if (FindWindowRec(wnd)) PostMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// While our own loop moves or sizes the window (it holds the capture), the reports of its earlier
// places are stale.
void NativeMoved(HWND wnd, const TRect& screen) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || w->Parent || w->Rect == screen || WinState().Capture == wnd) return;
  SetWindowPos(wnd, nullptr, screen.Left, screen.Top, screen.Width(), screen.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeExposed(HWND wnd) {
  if (TWindowRec* w = FindWindowRec(wnd); w && !w->Parent) w->SurfaceDirty = true;
}

void NativeStateChanged(HWND wnd, int state) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || w->Parent) return;
  bool already = state == SW_MINIMIZE ? w->Minimized : state == SW_MAXIMIZE ? w->Maximized : !w->Minimized && !w->Maximized;
  if (!already) ShowWindow(wnd, state);
}

}  // namespace WinInput

// ---------------------------------------------------------------------------------------------
// Focus and activation

HWND SetFocus(HWND wnd) {
  auto& st = WinState();
  HWND prev = st.Focus;
  if (!wnd) {
    if (prev) ChangeFocus(prev, nullptr);
    return prev;
  }
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !w->Enabled()) return nullptr;
  if (prev == wnd) return prev;
  TWindowRec* top = TopLevelOf(w);
  if (st.Active != top->Handle) {
    ActivateWindow(top, false);
    if (!FindWindowRec(wnd)) return nullptr;
    if (st.Focus == wnd) return prev;
  }
  ChangeFocus(st.Focus, wnd);
  return FindWindowRec(prev) ? prev : nullptr;
}

HWND GetFocus() { return FindWindowRec(WinState().Focus) ? WinState().Focus : nullptr; }

void ActivateWindow(TWindowRec* w, bool byMouse) {
  auto& st = WinState();
  HWND prev = st.Active;
  HWND next = w ? w->Handle : nullptr;
  if (prev == next && (next || !st.AppActive)) return;
  st.Active = next;
  if (w) {
    if (!IsTopOfBand(w)) SetWindowPos(next, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Backend().ActivateNative(next);
  }
  if (TWindowRec* old = FindWindowRec(prev); old && prev != next) {
    SendTo(old, WM_NCACTIVATE, FALSE, 0);
    if ((old = FindWindowRec(prev)))
      SendTo(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, old->Minimized ? 1 : 0), reinterpret_cast<LPARAM>(next));
  }
  if (st.Active != next) return;
  if (st.AppActive != (next != nullptr)) {
    st.AppActive = next != nullptr;
    BroadcastActivateApp(st.AppActive);
  }
  if (!(w = FindWindowRec(next))) {
    if (st.Focus) ChangeFocus(st.Focus, nullptr);
    return;
  }
  SendTo(w, WM_NCACTIVATE, TRUE, 0);
  if ((w = FindWindowRec(next)))
    SendTo(w, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, w->Minimized ? 1 : 0),
           reinterpret_cast<LPARAM>(FindWindowRec(prev) ? prev : nullptr));
  TWindowRec* focus = FindWindowRec(st.Focus);
  if (focus && st.Active == next && TopLevelOf(focus)->Handle != next) ChangeFocus(st.Focus, nullptr);
}

void ActivateNextWindow(TWindowRec* leaving) {
  auto& st = WinState();
  if (st.Active != leaving->Handle) return;
  auto candidate = [&](TWindowRec* t) {
    return t && t != leaving && !t->Destroying && t->Visible() && t->Enabled() && !t->Minimized &&
           !(t->ExStyle & WS_EX_NOACTIVATE);
  };
  TWindowRec* next = candidate(leaving->Owner) ? leaving->Owner : nullptr;
  for (TWindowRec* t : st.TopLevels) {
    if (next) break;
    if (candidate(t)) next = t;
  }
  ActivateWindow(next, false);
}

HWND SetActiveWindow(HWND wnd) {
  auto& st = WinState();
  HWND prev = st.Active;
  TWindowRec* w = FindWindowRec(wnd);
  if (wnd && !w) return nullptr;
  ActivateWindow(w ? TopLevelOf(w) : nullptr, false);
  return FindWindowRec(prev) ? prev : nullptr;
}

HWND GetActiveWindow() { return FindWindowRec(WinState().Active) ? WinState().Active : nullptr; }

BOOL SetForegroundWindow(HWND wnd) {
  if (!FindWindowRec(wnd)) return FALSE;
  SetActiveWindow(wnd);
  return TRUE;
}

HWND GetForegroundWindow() { return WinState().AppActive ? GetActiveWindow() : nullptr; }

// ---------------------------------------------------------------------------------------------
// Capture and tracking

HWND SetCapture(HWND wnd) {
  auto& st = WinState();
  HWND prev = st.Capture;
  if (!FindWindowRec(wnd)) return nullptr;
  if (prev == wnd) return prev;
  st.Capture = wnd;
  if (TWindowRec* p = FindWindowRec(prev)) SendTo(p, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(wnd));
  return FindWindowRec(prev) ? prev : nullptr;
}

BOOL ReleaseCapture() {
  auto& st = WinState();
  HWND prev = st.Capture;
  st.Capture = nullptr;
  if (TWindowRec* p = FindWindowRec(prev)) SendTo(p, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return FindWindowRec(WinState().Capture) ? WinState().Capture : nullptr; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
  auto& st = WinState();
  auto& tr = st.Tracking;
  if (track->dwFlags & TME_QUERY) {
    track->dwFlags = tr.Wnd ? tr.Flags : 0;
    track->hwndTrack = tr.Wnd;
    track->dwHoverTime = tr.HoverTime;
    return TRUE;
  }
  TWindowRec* w = FindWindowRec(track->hwndTrack);
  if (!w) return FALSE;
  if (track->dwFlags & TME_CANCEL) {
    if (tr.Wnd == track->hwndTrack) {
      tr.Flags &= ~(track->dwFlags & (TME_LEAVE | TME_HOVER));
      if (!(tr.Flags & (TME_LEAVE | TME_HOVER))) tr = TMouseTracking();
    }
    return TRUE;
  }
  bool nonClient = (track->dwFlags & TME_NONCLIENT) != 0;
  LRESULT ht = HTNOWHERE;
  TWindowRec* under = FindWindowRec(st.Capture) ? FindWindowRec(st.Capture) : WindowAtPoint(st.CursorPos, ht);
  if (FindWindowRec(st.Capture)) ht = HTCLIENT;
  bool inside = under == w && ((ht == HTCLIENT) != nonClient);
  if (!inside) {
    if (track->dwFlags & TME_LEAVE) PostLeave(track->hwndTrack, nonClient);
    return TRUE;
  }
  if (tr.Wnd != track->hwndTrack) tr = TMouseTracking();
  tr.Wnd = track->hwndTrack;
  tr.Flags |= track->dwFlags & (TME_LEAVE | TME_HOVER | TME_NONCLIENT);
  tr.HoverTime = track->dwHoverTime == HOVER_DEFAULT ? 400 : track->dwHoverTime;
  tr.HoverStart = GetTickCount();
  tr.HoverPos = st.CursorPos;
  return TRUE;
}

UINT GetDoubleClickTime() { return WinState().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT ms) {
  WinState().DoubleClickTime = ms ? ms : 500;
  return TRUE;
}

BOOL DragDetect(HWND wnd, POINT screen) {
  if (!FindWindowRec(wnd)) return FALSE;
  TPoint p = WinState().CursorPos;
  return std::abs(p.X - screen.X) >= GetSystemMetrics(SM_CXDRAG) || std::abs(p.Y - screen.Y) >= GetSystemMetrics(SM_CYDRAG);
}

void UpdateInputTimers(DWORD now) {
  auto& st = WinState();
  auto& tr = st.Tracking;
  if (tr.Wnd && (tr.Flags & TME_HOVER) && now - tr.HoverStart >= tr.HoverTime) {
    tr.Flags &= ~TME_HOVER;
    if (TWindowRec* w = FindWindowRec(tr.Wnd)) {
      bool nonClient = (tr.Flags & TME_NONCLIENT) != 0;
      TPoint o = ClientOrigin(w);
      MSG m;
      m.hwnd = tr.Wnd;
      m.message = nonClient ? WM_NCMOUSEHOVER : WM_MOUSEHOVER;
      m.wParam = nonClient ? HTCLIENT : MouseKeyFlags();
      m.lParam = nonClient ? PackInputPoint(st.CursorPos) : PackInputPoint({st.CursorPos.X - o.X, st.CursorPos.Y - o.Y});
      m.time = now;
      m.pt = st.CursorPos;
      QueueMessage(st.Posted, m);
    }
    if (!(tr.Flags & TME_LEAVE)) tr = TMouseTracking();
  }
  auto& c = st.Caret;
  if (CaretBlinks() && static_cast<int32_t>(now - c.NextBlink) >= 0) {
    ToggleCaretPixels();
    c.NextBlink = now + c.BlinkTime;
  }
}

DWORD MillisecondsToInputTimers(DWORD now) {
  auto& st = WinState();
  DWORD wait = INFINITE_WAIT;
  auto until = [now](DWORD due) { return static_cast<int32_t>(due - now) <= 0 ? 0 : due - now; };
  if (CaretBlinks()) wait = until(st.Caret.NextBlink);
  const auto& tr = st.Tracking;
  if (tr.Wnd && (tr.Flags & TME_HOVER)) wait = std::min(wait, until(tr.HoverStart + tr.HoverTime));
  return wait;
}

BOOL GetGUIThreadInfo(DWORD threadId, GUITHREADINFO* info) {
  if (!info || info->cbSize != sizeof(GUITHREADINFO) || !IsGuiThread() || (threadId && threadId != GetCurrentThreadId()))
    return FALSE;
  auto& st = WinState();
  *info = GUITHREADINFO();
  info->hwndActive = GetActiveWindow();
  info->hwndFocus = GetFocus();
  info->hwndCapture = GetCapture();
  if (FindWindowRec(st.Caret.Wnd)) {
    info->hwndCaret = st.Caret.Wnd;
    info->rcCaret = Bounds(st.Caret.Pos.X, st.Caret.Pos.Y, st.Caret.Width, st.Caret.Height);
    if (st.Caret.HideCount == 0) info->flags |= GUI_CARETBLINKING;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Key state

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  BYTE k = IsGuiThread() ? WinState().KeyState[vk] : SharedKeyState()[size_t(vk)].load(std::memory_order_relaxed);
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return (WinState().AsyncKeyState[vk] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* keys256) {
  if (!keys256) return FALSE;
  std::memcpy(keys256, WinState().KeyState, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* keys256) {
  if (!keys256) return FALSE;
  std::memcpy(WinState().KeyState, keys256, 256);
  PublishKeyState();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Window teardown

void WindowGoingAway(TWindowRec* w) {
  auto& st = WinState();
  HWND h = w->Handle;
  if (st.Capture == h) ReleaseCapture();
  if (st.Focus == h) {
    TWindowRec* root = w;
    while (root->Parent && !root->Destroying) root = root->Parent;
    TWindowRec* heir = root->Destroying ? root->Parent : nullptr;
    if (heir && !heir->Destroying && TopLevelOf(heir)->Handle == st.Active)
      SetFocus(heir->Handle);
    else
      ChangeFocus(h, nullptr);
  }
  if (st.Active == h) ActivateNextWindow(w);
  if (st.Active == h) st.Active = nullptr;
  if (st.Tracking.Wnd == h) st.Tracking = TMouseTracking();
  if (st.Caret.Wnd == h) DestroyCaret();
  if (st.MouseWindow == h) st.MouseWindow = nullptr;
  if (st.Click.Wnd == h) st.Click = TClickState();
}
