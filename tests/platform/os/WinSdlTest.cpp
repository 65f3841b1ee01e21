// End to end on a real X display: a window of the SDL backend under Xvfb receives a click made
// with injected X input, and the screen shows the window's pixels.
#include "WinTestSupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/os/Gdi.h"

namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string full = dir + "/" + name;
    if (!dir.empty() && access(full.c_str(), X_OK) == 0) return full;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::string();
}

// Reads screen pixels through Xlib, loaded at run time so the tests need no link to it.
class TScreenReader {
 public:
  explicit TScreenReader(const std::string& display) {
    FLib = dlopen("libX11.so.6", RTLD_NOW);
    if (!FLib) return;
    FOpen = reinterpret_cast<Display* (*)(const char*)>(dlsym(FLib, "XOpenDisplay"));
    FClose = reinterpret_cast<int (*)(Display*)>(dlsym(FLib, "XCloseDisplay"));
    FRoot = reinterpret_cast<Window (*)(Display*)>(dlsym(FLib, "XDefaultRootWindow"));
    FGetImage = reinterpret_cast<XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int)>(
        dlsym(FLib, "XGetImage"));
    if (FOpen && FClose && FRoot && FGetImage) FDisplay = FOpen(display.c_str());
  }
  ~TScreenReader() {
    if (FDisplay) FClose(FDisplay);
    if (FLib) dlclose(FLib);
  }
  bool Ok() const { return FDisplay != nullptr; }
  // 0x00RRGGBB of a screen pixel of a 24-bit TrueColor screen.
  uint32_t Pixel(int x, int y) {
    XImage* img = FGetImage(FDisplay, FRoot(FDisplay), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFFFFFFFFu;
    unsigned long p = img->f.get_pixel(img, 0, 0);
    img->f.destroy_image(img);
    return static_cast<uint32_t>(p & 0xFFFFFF);
  }

 private:
  void* FLib = nullptr;
  Display* FDisplay = nullptr;
  Display* (*FOpen)(const char*) = nullptr;
  int (*FClose)(Display*) = nullptr;
  Window (*FRoot)(Display*) = nullptr;
  XImage* (*FGetImage)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
};

class WinSdlTest : public TWinTest {
 protected:
  void TearDown() override {
    Headless::Reset();
    SetBackend(CreateHeadlessBackend());
    if (FOldDisplay.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", FOldDisplay.c_str(), 1);
    if (FServer > 0) {
      kill(FServer, SIGTERM);
      waitpid(FServer, nullptr, 0);
    }
    TWinTest::TearDown();
  }

  // Starts Xvfb on a free display number; empty when it does not come up.
  std::string StartServer(const std::string& xvfb) {
    for (int n = 91; n < 160; ++n) {
      std::string num = std::to_string(n);
      if (FileExists("/tmp/.X" + num + "-lock") || FileExists("/tmp/.X11-unix/X" + num)) continue;
      FServer = fork();
      if (FServer == 0) {
        execl(xvfb.c_str(), "Xvfb", (":" + num).c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", nullptr);
        _exit(127);
      }
      bool exited = false;
      for (int i = 0; i < 500 && !exited; ++i) {
        if (FileExists("/tmp/.X11-unix/X" + num)) return ":" + num;
        exited = waitpid(FServer, nullptr, WNOHANG) == FServer;
        if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (!exited) {  // never came up: stop it before trying the next number
        kill(FServer, SIGTERM);
        waitpid(FServer, nullptr, 0);
      }
      FServer = -1;
    }
    return std::string();
  }

  // Runs the message loop on real time until the condition holds or five seconds pass.
  static bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      Pump();
      if (done()) return true;
      Backend().WaitEvents(10);
    }
    return done();
  }

  pid_t FServer = -1;
  std::string FOldDisplay = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
};

TEST_F(WinSdlTest, RealWindowReceivesAClickAndShowsItsPixels) {
  std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  std::string display = StartServer(xvfb);
  ASSERT_FALSE(display.empty()) << "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  auto sdl = CreateSdlBackend();
  ASSERT_NE(sdl, nullptr);
  SetBackend(std::move(sdl));
  EXPECT_EQ(std::string(Backend().Name()), "sdl");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);

  MsgHandler() = [](HWND w, UINT msg, WPARAM, LPARAM, LRESULT& r) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all = Rect(0, 0, 200, 150);
    FillRect(dc, &all, red);
    DeleteObject(red);
    EndPaint(w, &ps);
    r = 0;
    return true;
  };
  HWND w = Top(100, 100, 200, 150);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_PAINT) > 0; }));

  TScreenReader screen(display);
  ASSERT_TRUE(screen.Ok());
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(150, 150) == 0xFF0000u; })) << std::hex << screen.Pixel(150, 150);
  EXPECT_NE(screen.Pixel(50, 50), 0xFF0000u);

  std::string xdotool = FindProgram("xdotool");
  if (xdotool.empty()) GTEST_SKIP() << "xdotool is not installed to inject X input";
  std::string cmd = xdotool + " mousemove 160 130 click 1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONDOWN, w) > 0; }));
  EXPECT_EQ(Last(WM_LBUTTONDOWN, w)->L, MAKELPARAM(60, 30));

  // Typed text arrives once per character, from the display's keyboard layout.
  MsgLog().clear();
  cmd = xdotool + " type --delay 5 'aZ!'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  auto typed = [] {
    std::string text;
    for (const TLoggedMsg& m : MsgLog())
      if (m.Msg == WM_CHAR) text += static_cast<char>(m.W);
    return text;
  };
  PumpUntil([&] { return typed().size() >= 3 && Count(WM_KEYUP) >= 3; });
  Pump();
  EXPECT_EQ(typed(), "aZ!");
  DestroyWindow(w);
}

}  // namespace
