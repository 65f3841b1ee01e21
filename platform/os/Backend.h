// The screen behind the window system: a headless virtual screen for tests, or real SDL2
// windows. Chosen once at start-up (QJ_BACKEND=headless|sdl; headless when there is no display).
// Only top-level and popup windows become native windows; children live in their surfaces.
//
// Where the parts live: BackendHeadless.cpp (the virtual screen, its clock and input
// injection), BackendSdl.cpp (SDL2 windows, events and the system clipboard).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/os/Surface.h"
#include "platform/os/Windows.h"

class TBackend {
 public:
  virtual ~TBackend() = default;
  virtual const char* Name() const = 0;
  // The screen in logical units: on a high-DPI screen the backend maps them to device pixels.
  virtual TRect ScreenRect() = 0;
  // The screen's resolution (96: one device pixel a logical unit).
  virtual int ScreenDpi() { return 96; }
  // The colour a window's surface holds before anything paints it (0xRRGGBB).
  virtual uint32_t FreshSurfacePixel() { return 0x00FFFFFF; }
  virtual TRect WorkArea() = 0;
  virtual DWORD TickCount() = 0;
  virtual void Sleep(DWORD ms) = 0;
  // Waits up to timeoutMs (INFINITE_WAIT: no limit) for input, feeding it into the window system.
  // False when nothing can ever arrive.
  virtual bool WaitEvents(DWORD timeoutMs) = 0;
  // Feeds input that is already waiting, without blocking.
  virtual void PollEvents() = 0;
  // Native windows follow the top-level windows: shown, hidden, moved, destroyed, repainted.
  virtual void ShowNative(HWND wnd, bool show, bool activate) = 0;
  virtual void MoveNative(HWND wnd, const TRect& screen) = 0;
  virtual void DestroyNative(HWND wnd) = 0;
  virtual void ActivateNative(HWND wnd) = 0;
  virtual void SetNativeOpacity(HWND wnd, BYTE alpha) = 0;
  // The window system minimised or restored a window: the window manager is told.
  virtual void MinimizeNative(HWND, bool) {}
  virtual void Present(HWND wnd, const TSurface& surface) = 0;
  virtual void SetCursorShape(HCURSOR cursor) = 0;
  virtual void WarpMouse(TPoint screen) = 0;
  virtual void Beep() = 0;
  // Called from any thread after it queued something for the GUI thread: a waiting loop wakes.
  virtual void Wake() = 0;
  // The system clipboard's text (UTF-8, empty: no text) on backends that share one with other
  // programs; without one the clipboard stays in the process.
  virtual bool HasSystemClipboard() { return false; }
  virtual void SetSystemClipboardText(const std::string&) {}
  virtual std::string SystemClipboardText() { return {}; }
  // The primary selection (UTF-8): the text last selected, which a middle click pastes. Without a
  // system's it stays in the process.
  virtual void SetPrimarySelectionText(const std::string& utf8) { FPrimarySelection = utf8; }
  virtual std::string PrimarySelectionText() { return FPrimarySelection; }

 private:
  std::string FPrimarySelection;
};

constexpr DWORD INFINITE_WAIT = 0xFFFFFFFF;

// The backend in use; created on first use from QJ_BACKEND and the display.
TBackend& Backend();
std::unique_ptr<TBackend> CreateHeadlessBackend();
std::unique_ptr<TBackend> CreateSdlBackend();  // nullptr when SDL cannot open a display
// Replaces the backend (before any window exists).
void SetBackend(std::unique_ptr<TBackend> backend);
// Resolutions a screen may plausibly have.
constexpr int kLowestScreenDpi = 48, kHighestScreenDpi = 960;
// The resolution QJ_DPI asks for, or 0 when it is unset or not a plausible resolution.
int RequestedScreenDpi();

// Input from a backend, in screen coordinates: it goes through hit testing, capture, hooks and
// the queue like any real input. Buttons: 0 left, 1 right, 2 middle.
namespace WinInput {
void MouseMove(TPoint screen);
void MouseButton(int button, bool down);
void MouseWheel(int delta, bool horizontal);
// A key; with textFollows the backend delivers the key's printable character itself through
// Character, so translation makes only control and Alt characters of it.
void Key(BYTE vk, bool down, bool textFollows = false);
void Character(BYTE ch);  // a typed character (WM_CHAR to the focus window)
void NativeActivated(HWND wnd, bool active);
void NativeCloseRequest(HWND wnd);
void NativeMoved(HWND wnd, const TRect& screen);
void NativeExposed(HWND wnd);
// The window manager minimised (SW_MINIMIZE), maximised (SW_MAXIMIZE) or restored (SW_RESTORE) it.
void NativeStateChanged(HWND wnd, int state);
}  // namespace WinInput

// The headless backend's test interface. Shift states combine the TShiftKeys flags.
enum TShiftKeys : unsigned { skNone = 0, skShift = 1, skCtrl = 2, skAlt = 4 };

namespace Headless {
void MoveMouse(int x, int y);
void MouseDown(int button = 0);
void MouseUp(int button = 0);
void Click(int x, int y, int button = 0);
void DoubleClick(int x, int y, int button = 0);
void Wheel(int delta);
void KeyDown(BYTE vk, unsigned shift = skNone);
void KeyUp(BYTE vk, unsigned shift = skNone);
void PressKey(BYTE vk, unsigned shift = skNone);
// Types Windows-1252 text as key presses of a US layout (so Caps Lock applies); characters with
// no key arrive as WM_CHAR alone.
void TypeText(const String& text);
void AdvanceClock(DWORD ms);
void SetScreenSize(int width, int height);
// The virtual screen's resolution: above 96 dpi windows get surfaces with a device scale.
void SetScreenDpi(int dpi);
// The colour new window surfaces (and the parts a surface gains when it grows) hold before they
// are painted: one no control draws, so a pixel a control leaves unpainted shows in pixel tests
// and in the gallery's shots.
constexpr COLORREF kUnpaintedColor = RGB(255, 0, 170);
// The pixels of a top-level window (nullptr when the handle is not a live top-level window).
const TSurface* WindowSurface(HWND wnd);
// Called when a message loop runs out of messages and timers; it may inject input. Without a
// handler (or when it injects nothing) and with no other thread posting within the thread wait,
// a waiting GetMessage raises EInvalidOperation instead of hanging.
void SetIdleHandler(std::function<void()> handler);
// How long (real time) a loop with nothing else to wait for waits for other threads to post
// before it gives up; 2 seconds unless changed.
void SetThreadWait(DWORD ms);
// The system beeps sounded since the backend was made.
int BeepCount();
// Destroys every window and clears the queue, hooks, timers, key state, capture and focus.
void Reset();
}  // namespace Headless
