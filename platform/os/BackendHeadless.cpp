// The headless backend: a virtual screen with a task bar, a fake clock and input injected by
// tests. Also chooses the backend at start-up.
#include <algorithm>
#include <cstdlib>

#include "platform/os/Backend.h"
#include "platform/os/GdiInternal.h"
#include "platform/os/WinInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kTaskBarHeight = 40;
constexpr DWORD kClockStart = 100000;
constexpr DWORD kDefaultThreadWait = 2000;
constexpr int kDefaultDpi = 96;

class THeadlessBackend : public TBackend {
 public:
  const char* Name() const override { return "headless"; }
  TRect ScreenRect() override { return Rect(0, 0, FWidth, FHeight); }
  TRect WorkArea() override { return Rect(0, 0, FWidth, FHeight - kTaskBarHeight); }
  DWORD TickCount() override { return FClock; }
  void Sleep(DWORD ms) override { FClock += ms; }
  bool WaitEvents(DWORD timeoutMs) override {
    if (FIdle) {
      auto& st = WinState();
      size_t before = st.Posted.size() + st.Input.size();
      bool quit = st.QuitPosted;
      FIdle();
      if (st.Posted.size() + st.Input.size() != before || st.QuitPosted != quit) return true;
    }
    // Another thread may still hand something over; wait a while in real time for it.
    if (timeoutMs == INFINITE_WAIT) return FThreadWait > 0 && WaitForInbox(FThreadWait);
    FClock += timeoutMs;
    return true;
  }
  void PollEvents() override {}
  void ShowNative(HWND, bool, bool) override {}
  void MoveNative(HWND, const TRect&) override {}
  void DestroyNative(HWND) override {}
  void ActivateNative(HWND) override {}
  void SetNativeOpacity(HWND, BYTE) override {}
  int ScreenDpi() override { return FDpi; }
  uint32_t FreshSurfacePixel() override { return ColorToPixel(Headless::kUnpaintedColor); }
  void Present(HWND, const TSurface&) override { ++FPresents; }
  void SetCursorShape(HCURSOR) override {}
  void WarpMouse(TPoint) override {}
  void Beep() override { ++FBeeps; }
  void Wake() override {}

  void AdvanceClock(DWORD ms) { FClock += ms; }
  void SetScreenSize(int w, int h) {
    FWidth = std::max(1, w);
    FHeight = std::max(kTaskBarHeight + 1, h);
  }
  void SetDpi(int dpi) { FDpi = std::max(dpi, kDefaultDpi); }
  void SetIdle(std::function<void()> handler) { FIdle = std::move(handler); }
  void SetThreadWait(DWORD ms) { FThreadWait = ms; }
  int Beeps() const { return FBeeps; }

 private:
  int FWidth = 1280;
  int FHeight = 1024;
  int FDpi = kDefaultDpi;
  DWORD FClock = kClockStart;
  int FPresents = 0;
  int FBeeps = 0;
  std::function<void()> FIdle;
  DWORD FThreadWait = kDefaultThreadWait;
};

std::unique_ptr<TBackend>& CurrentBackend() {
  static std::unique_ptr<TBackend> backend;
  return backend;
}

std::unique_ptr<TBackend> ChooseBackend() {
  const char* wanted = std::getenv("QJ_BACKEND");
  String name = wanted ? wanted : "";
  bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (name == "sdl" || (name.empty() && display))
    if (auto sdl = CreateSdlBackend()) return sdl;
  return CreateHeadlessBackend();
}

THeadlessBackend* HeadlessBackend() { return dynamic_cast<THeadlessBackend*>(&Backend()); }

void SendKey(BYTE vk, bool down, unsigned shift) {
  if (down) {
    if (shift & skShift) WinInput::Key(VK_SHIFT, true);
    if (shift & skCtrl) WinInput::Key(VK_CONTROL, true);
    if (shift & skAlt) WinInput::Key(VK_MENU, true);
  }
  WinInput::Key(vk, down);
  if (!down) {
    if (shift & skAlt) WinInput::Key(VK_MENU, false);
    if (shift & skCtrl) WinInput::Key(VK_CONTROL, false);
    if (shift & skShift) WinInput::Key(VK_SHIFT, false);
  }
}

}  // namespace

TBackend& Backend() {
  auto& b = CurrentBackend();
  if (!b) b = ChooseBackend();
  return *b;
}

std::unique_ptr<TBackend> CreateHeadlessBackend() { return std::make_unique<THeadlessBackend>(); }

void SetBackend(std::unique_ptr<TBackend> backend) {
  if (backend) CurrentBackend() = std::move(backend);
}

int RequestedScreenDpi() {
  const char* wanted = std::getenv("QJ_DPI");
  const int dpi = wanted ? std::atoi(wanted) : 0;
  return dpi >= kLowestScreenDpi && dpi <= kHighestScreenDpi ? dpi : 0;
}

namespace Headless {

void MoveMouse(int x, int y) { WinInput::MouseMove({x, y}); }
void MouseDown(int button) { WinInput::MouseButton(button, true); }
void MouseUp(int button) { WinInput::MouseButton(button, false); }

void Click(int x, int y, int button) {
  MoveMouse(x, y);
  MouseDown(button);
  MouseUp(button);
}

void DoubleClick(int x, int y, int button) {
  Click(x, y, button);
  Click(x, y, button);
}

void Wheel(int delta) { WinInput::MouseWheel(delta, false); }
void KeyDown(BYTE vk, unsigned shift) { SendKey(vk, true, shift); }
void KeyUp(BYTE vk, unsigned shift) { SendKey(vk, false, shift); }

void PressKey(BYTE vk, unsigned shift) {
  KeyDown(vk, shift);
  KeyUp(vk, shift);
}

void TypeText(const String& text) {
  for (char c : text) {
    BYTE ch = static_cast<BYTE>(c);
    BYTE vk = 0;
    bool shift = false;
    if (KeyForCharacter(ch, vk, shift))
      PressKey(vk, shift ? skShift : skNone);
    else
      WinInput::Character(ch);
  }
}

void AdvanceClock(DWORD ms) {
  if (THeadlessBackend* h = HeadlessBackend()) h->AdvanceClock(ms);
}

void SetScreenSize(int width, int height) {
  if (THeadlessBackend* h = HeadlessBackend()) h->SetScreenSize(width, height);
}

const TSurface* WindowSurface(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && !w->Parent ? w->Surface.get() : nullptr;
}

void SetScreenDpi(int dpi) {
  if (THeadlessBackend* h = HeadlessBackend()) h->SetDpi(dpi);
}

void SetIdleHandler(std::function<void()> handler) {
  if (THeadlessBackend* h = HeadlessBackend()) h->SetIdle(std::move(handler));
}

void SetThreadWait(DWORD ms) {
  if (THeadlessBackend* h = HeadlessBackend()) h->SetThreadWait(ms);
}

int BeepCount() {
  THeadlessBackend* h = HeadlessBackend();
  return h ? h->Beeps() : 0;
}

void Reset() {
  SetIdleHandler(nullptr);
  SetScreenDpi(kDefaultDpi);
  ResetWindowSystem();
  WinState().CursorPos = {};
}

}  // namespace Headless
