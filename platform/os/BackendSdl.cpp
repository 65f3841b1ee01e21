// The SDL2 backend: each shown top-level or popup window is a borderless SDL window at its screen
// position showing the window's surface. Our own frames are drawn in the surface and moved and
// sized by our own loops, so they work with or without a window manager; a window with a sizing
// frame is also resizable by the window manager, within the track sizes it answers. Popups are
// override-redirect popup-menu windows, which never take activation. SDL events become the same
// input as the headless backend's.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TScanKey {
  SDL_Scancode Scan;
  BYTE Vk;
};

const TScanKey kScanKeys[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN},      {SDL_SCANCODE_ESCAPE, VK_ESCAPE},    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},            {SDL_SCANCODE_SPACE, VK_SPACE},      {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4}, {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},  {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},        {SDL_SCANCODE_COMMA, VK_OEM_COMMA},  {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},        {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL}, {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},  {SDL_SCANCODE_PAUSE, VK_PAUSE},      {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_HOME, VK_HOME},          {SDL_SCANCODE_PAGEUP, VK_PRIOR},     {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_END, VK_END},            {SDL_SCANCODE_PAGEDOWN, VK_NEXT},    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_LEFT, VK_LEFT},          {SDL_SCANCODE_DOWN, VK_DOWN},        {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK}, {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE}, {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},  {SDL_SCANCODE_KP_PLUS, VK_ADD},      {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},  {SDL_SCANCODE_APPLICATION, VK_APPS}, {SDL_SCANCODE_LCTRL, VK_LCONTROL},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT},      {SDL_SCANCODE_LALT, VK_LMENU},       {SDL_SCANCODE_RCTRL, VK_RCONTROL},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT},      {SDL_SCANCODE_RALT, VK_RMENU},       {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102},
};

BYTE VirtualKey(SDL_Scancode s) {
  if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return static_cast<BYTE>('A' + (s - SDL_SCANCODE_A));
  if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return static_cast<BYTE>('1' + (s - SDL_SCANCODE_1));
  if (s == SDL_SCANCODE_0) return '0';
  if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F12) return static_cast<BYTE>(VK_F1 + (s - SDL_SCANCODE_F1));
  if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_9) return static_cast<BYTE>(VK_NUMPAD1 + (s - SDL_SCANCODE_KP_1));
  if (s == SDL_SCANCODE_KP_0) return VK_NUMPAD0;
  for (const TScanKey& k : kScanKeys)
    if (k.Scan == s) return k.Vk;
  return 0;
}

SDL_SystemCursor SystemCursor(uintptr_t shape) {
  switch (shape) {
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_APPSTARTING: return SDL_SYSTEM_CURSOR_WAITARROW;
    case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

constexpr int kPlainDpi = 96;

bool PlausibleDpi(int dpi) { return dpi >= kLowestScreenDpi && dpi <= kHighestScreenDpi; }

// The X server's idea of the resolution, through Xlib loaded at run time: the resource Xft.dpi
// when set, else the screen's pixels over its millimetres (0 when neither can be read).
int XServerDpi() {
  void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (!lib) return 0;
  auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(lib, "XOpenDisplay"));
  auto resources = reinterpret_cast<char* (*)(void*)>(dlsym(lib, "XResourceManagerString"));
  auto screen = reinterpret_cast<int (*)(void*)>(dlsym(lib, "XDefaultScreen"));
  auto pixels = reinterpret_cast<int (*)(void*, int)>(dlsym(lib, "XDisplayWidth"));
  auto millimetres = reinterpret_cast<int (*)(void*, int)>(dlsym(lib, "XDisplayWidthMM"));
  auto close = reinterpret_cast<int (*)(void*)>(dlsym(lib, "XCloseDisplay"));
  int dpi = 0;
  void* display = open && resources && screen && pixels && millimetres && close ? open(nullptr) : nullptr;
  if (display) {
    const char* text = resources(display);
    const char* entry = text ? std::strstr(text, "Xft.dpi:") : nullptr;
    if (entry) dpi = static_cast<int>(std::lround(std::strtod(entry + std::strlen("Xft.dpi:"), nullptr)));
    int mm = millimetres(display, screen(display));
    if (!PlausibleDpi(dpi) && mm > 0) dpi = static_cast<int>(std::lround(pixels(display, screen(display)) * 25.4 / mm));
    close(display);
  }
  dlclose(lib);
  return dpi;
}

// The screen's resolution: QJ_DPI when set, else the X server's.
int ReadScreenDpi() {
  if (int wanted = RequestedScreenDpi()) return wanted;
  int server = XServerDpi();
  return PlausibleDpi(server) ? server : kPlainDpi;
}

// Popups that belong to another window or ask not to be activated never take the focus.
bool IsPopupKind(HWND wnd) {
  auto style = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_STYLE));
  auto ex = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_EXSTYLE));
  return (style & WS_POPUP) && (GetWindow(wnd, GW_OWNER) || (ex & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST)));
}

class TSdlBackend : public TBackend {
 public:
  // SDL's video stays initialised until the process ends: quitting it unloads the display
  // libraries while they still hold their own allocations.
  ~TSdlBackend() override {
    for (auto& [h, win] : FWindows) SDL_DestroyWindow(win);
    for (auto& [shape, cursor] : FCursors) SDL_FreeCursor(cursor);
  }

  bool Open() {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C ends the program as usual
    // Our surfaces are drawn in software: an OpenGL framebuffer behind them only costs start-up.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_StartTextInput();  // printable characters come as text, in the user's keyboard layout
    FDpi = ReadScreenDpi();
    FScale = ScaleForDpi(FDpi);
    return true;
  }

  const char* Name() const override { return "sdl"; }

  TRect ScreenRect() override {
    SDL_Rect r{0, 0, 1280, 1024};
    SDL_GetDisplayBounds(0, &r);
    return LogicalBounds(r.x, r.y, r.w, r.h);
  }

  TRect WorkArea() override {
    SDL_Rect r{0, 0, 1280, 1024};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return ScreenRect();
    return LogicalBounds(r.x, r.y, r.w, r.h);
  }

  int ScreenDpi() override { return FDpi; }

  DWORD TickCount() override { return static_cast<DWORD>(SDL_GetTicks64()); }
  void Sleep(DWORD ms) override { SDL_Delay(ms); }

  bool WaitEvents(DWORD timeoutMs) override {
    SDL_Event e;
    int wait = timeoutMs == INFINITE_WAIT ? -1 : static_cast<int>(std::min<DWORD>(timeoutMs, INT_MAX));
    if (SDL_WaitEventTimeout(&e, wait)) Handle(e);
    PollEvents();
    return true;
  }

  void PollEvents() override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e);
    // Focus moving between our own windows is no loss of activation: decide after the batch.
    if (FFocusLost && !SDL_GetKeyboardFocus()) WinInput::NativeActivated(GetActiveWindow(), false);
    FFocusLost = false;
  }

  void ShowNative(HWND wnd, bool show, bool activate) override {
    SDL_Window* win = show ? Ensure(wnd) : Find(wnd);
    if (!win) return;
    if (!show) {
      const bool hadKeyboard = IsPopupKind(wnd) && SDL_GetKeyboardFocus() == win;
      SDL_HideWindow(win);
      // A popup menu window borrows the keyboard when shown; hidden, it must hand it back to the
      // active window, or the keys after a drop-down closed reach nothing.
      if (hadKeyboard) {
        SDL_Window* target = Find(GetActiveWindow());
        if (!target || target == win) target = Find(GetWindow(wnd, GW_OWNER));
        if (target && target != win) SDL_SetWindowInputFocus(target);
      }
      return;
    }
    ApplySizeHints(wnd, win);
    SDL_ShowWindow(win);
    if (activate && !IsPopupKind(wnd)) SDL_RaiseWindow(win);
  }

  void MinimizeNative(HWND wnd, bool minimize) override {
    SDL_Window* win = Find(wnd);
    if (!win) return;
    if (minimize)
      SDL_MinimizeWindow(win);
    else
      SDL_RestoreWindow(win);
  }

  void MoveNative(HWND wnd, const TRect& r) override {
    if (SDL_Window* win = Find(wnd)) {
      SDL_SetWindowPosition(win, Device(r.Left), Device(r.Top));
      SDL_SetWindowSize(win, std::max(1, Device(r.Width())), std::max(1, Device(r.Height())));
    }
  }

  void DestroyNative(HWND wnd) override {
    auto it = FWindows.find(wnd);
    if (it == FWindows.end()) return;
    FById.erase(SDL_GetWindowID(it->second));
    SDL_DestroyWindow(it->second);
    FWindows.erase(it);
  }

  void ActivateNative(HWND wnd) override {
    SDL_Window* win = Find(wnd);
    if (win && !IsPopupKind(wnd) && (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN)) SDL_RaiseWindow(win);
  }

  void SetNativeOpacity(HWND wnd, BYTE alpha) override {
    if (SDL_Window* win = Find(wnd)) SDL_SetWindowOpacity(win, alpha / 255.0f);
  }

  void Present(HWND wnd, const TSurface& surface) override {
    SDL_Window* win = Find(wnd);
    if (!win || surface.Width <= 0 || surface.Height <= 0) return;
    SDL_Surface* target = SDL_GetWindowSurface(win);
    if (!target) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(surface.Pixels.data()), surface.Width,
                                                             surface.Height, 32, surface.Width * 4, SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(win);
  }

  void SetCursorShape(HCURSOR cursor) override {
    if (!cursor) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    uintptr_t shape = GetCursorShape(cursor);
    SDL_SystemCursor id = SystemCursor(shape ? shape : IDC_ARROW);
    SDL_Cursor*& c = FCursors[id];
    if (!c) c = SDL_CreateSystemCursor(id);
    if (c) SDL_SetCursor(c);
  }

  void WarpMouse(TPoint screen) override { SDL_WarpMouseGlobal(Device(screen.X), Device(screen.Y)); }
  void Beep() override {}
  bool HasSystemClipboard() override { return true; }
  void SetSystemClipboardText(const std::string& utf8) override { SDL_SetClipboardText(utf8.c_str()); }
  std::string SystemClipboardText() override {
    if (!SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
  }
  void SetPrimarySelectionText(const std::string& utf8) override { SDL_SetPrimarySelectionText(utf8.c_str()); }
  std::string PrimarySelectionText() override {
    if (!SDL_HasPrimarySelectionText()) return {};
    char* text = SDL_GetPrimarySelectionText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
  }
  void Wake() override {
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
  }

 private:
  SDL_Window* Find(HWND wnd) {
    auto it = FWindows.find(wnd);
    return it == FWindows.end() ? nullptr : it->second;
  }

  SDL_Window* Ensure(HWND wnd) {
    if (SDL_Window* win = Find(wnd)) return win;
    RECT r;
    if (!GetWindowRect(wnd, &r)) return nullptr;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (IsPopupKind(wnd))
      flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
    else if (GetWindowLongPtr(wnd, GWL_STYLE) & WS_THICKFRAME)
      flags |= SDL_WINDOW_RESIZABLE;
    String title = GetWindowText(wnd);
    SDL_Window* win = SDL_CreateWindow(AnsiToUtf8(title).c_str(), Device(r.Left), Device(r.Top), std::max(1, Device(r.Width())),
                                       std::max(1, Device(r.Height())), flags);
    if (!win) return nullptr;
    BYTE alpha = 255;
    DWORD layered = 0;
    if (GetLayeredWindowAttributes(wnd, nullptr, &alpha, &layered) && (layered & LWA_ALPHA))
      SDL_SetWindowOpacity(win, alpha / 255.0f);
    FWindows[wnd] = win;
    FById[SDL_GetWindowID(win)] = wnd;
    return win;
  }

  // The window manager learns the track sizes of a resizable window as its size hints.
  void ApplySizeHints(HWND wnd, SDL_Window* win) {
    if (!(SDL_GetWindowFlags(win) & SDL_WINDOW_RESIZABLE)) return;
    TWindowRec* w = FindWindowRec(wnd);
    if (!w) return;
    MINMAXINFO limits = QueryMinMaxInfo(w);
    SDL_SetWindowMinimumSize(win, std::max(1, Device(limits.ptMinTrackSize.X)), std::max(1, Device(limits.ptMinTrackSize.Y)));
    SDL_SetWindowMaximumSize(win, std::max(1, Device(limits.ptMaxTrackSize.X)), std::max(1, Device(limits.ptMaxTrackSize.Y)));
  }

  // Logical units and device pixels of the screen.
  int Device(int logical) const { return TSurface::DeviceEdge(logical, FScale); }
  int Logical(int device) const { return static_cast<int>(std::lround(device / FScale)); }
  TRect LogicalBounds(int x, int y, int w, int h) const { return Bounds(Logical(x), Logical(y), Logical(w), Logical(h)); }
  // The logical point of a device pixel (the unit it belongs to).
  TPoint LogicalPoint(int x, int y) const {
    auto unit = [this](int p) { return static_cast<int>(std::ceil((p + 0.5) / FScale)) - 1; };
    return {unit(x), unit(y)};
  }

  HWND WindowOf(Uint32 id) {
    auto it = FById.find(id);
    return it == FById.end() ? nullptr : it->second;
  }

  TPoint ScreenPoint(Uint32 windowId, int x, int y) {
    HWND wnd = WindowOf(windowId);
    SDL_Window* win = Find(wnd);
    int wx = 0, wy = 0;
    if (win) SDL_GetWindowPosition(win, &wx, &wy);
    return LogicalPoint(wx + x, wy + y);
  }

  void HandleWindowEvent(const SDL_WindowEvent& e) {
    HWND wnd = WindowOf(e.windowID);
    if (!wnd) return;
    SDL_Window* win = Find(wnd);
    switch (e.event) {
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (!IsPopupKind(wnd)) WinInput::NativeActivated(wnd, true);
        break;
      // SDL lends the keyboard focus to a popup menu window it shows and drops it when the
      // window is hidden: that is no loss of activation (losing it to another program while
      // shown is).
      case SDL_WINDOWEVENT_FOCUS_LOST:
        if (!IsPopupKind(wnd) || !win || (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN)) FFocusLost = true;
        break;
      case SDL_WINDOWEVENT_LEAVE: {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        WinInput::MouseMove(LogicalPoint(x, y));
        break;
      }
      case SDL_WINDOWEVENT_CLOSE: WinInput::NativeCloseRequest(wnd); break;
      case SDL_WINDOWEVENT_MOVED:
      case SDL_WINDOWEVENT_SIZE_CHANGED: {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(win, &x, &y);
        SDL_GetWindowSize(win, &w, &h);
        WinInput::NativeMoved(wnd, LogicalBounds(x, y, w, h));
        break;
      }
      case SDL_WINDOWEVENT_EXPOSED: WinInput::NativeExposed(wnd); break;
      case SDL_WINDOWEVENT_MINIMIZED: WinInput::NativeStateChanged(wnd, SW_MINIMIZE); break;
      case SDL_WINDOWEVENT_MAXIMIZED: WinInput::NativeStateChanged(wnd, SW_MAXIMIZE); break;
      case SDL_WINDOWEVENT_RESTORED: WinInput::NativeStateChanged(wnd, SW_RESTORE); break;
      default: break;
    }
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_MOUSEMOTION: WinInput::MouseMove(ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y)); break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int button = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : e.button.button == SDL_BUTTON_MIDDLE ? 2 : -1;
        WinInput::MouseMove(ScreenPoint(e.button.windowID, e.button.x, e.button.y));
        if (button >= 0) WinInput::MouseButton(button, e.type == SDL_MOUSEBUTTONDOWN);
        break;
      }
      case SDL_MOUSEWHEEL:
        if (e.wheel.y) WinInput::MouseWheel(e.wheel.y * WHEEL_DELTA, false);
        if (e.wheel.x) WinInput::MouseWheel(e.wheel.x * WHEEL_DELTA, true);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (BYTE vk = VirtualKey(e.key.keysym.scancode)) WinInput::Key(vk, e.type == SDL_KEYDOWN, true);
        break;
      case SDL_TEXTINPUT:
        // With Ctrl or Alt (not AltGr) the key itself makes the character, as control or menu keys.
        if (!(SDL_GetModState() & (KMOD_CTRL | KMOD_LALT)) || (SDL_GetModState() & KMOD_RALT))
          for (char c : Utf8ToAnsi(e.text.text)) WinInput::Character(static_cast<BYTE>(c));
        break;
      case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
      default: break;
    }
  }

  std::map<HWND, SDL_Window*> FWindows;
  std::map<Uint32, HWND> FById;
  std::map<SDL_SystemCursor, SDL_Cursor*> FCursors;
  bool FFocusLost = false;
  int FDpi = kPlainDpi;
  double FScale = 1;
};

}  // namespace

std::unique_ptr<TBackend> CreateSdlBackend() {
  auto backend = std::make_unique<TSdlBackend>();
  if (!backend->Open()) return nullptr;
  return backend;
}
