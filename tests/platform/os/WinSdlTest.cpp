// End to end on a real X display: a window of the SDL backend under Xvfb receives a click made
// with injected X input, and the screen shows the window's pixels.
#include "WinTestSupport.h"

#include <chrono>
#include <cstdlib>

#include "platform/os/Gdi.h"
#include "support/XDisplay.h"

namespace {

class WinSdlTest : public TWinTest {
 protected:
  void TearDown() override {
    Headless::Reset();
    SetBackend(CreateHeadlessBackend());
    TWinTest::TearDown();
  }

  // Runs the message loop on real time until the condition holds or twenty seconds pass.
  static bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      Pump();
      if (done()) return true;
      Backend().WaitEvents(10);
    }
    return done();
  }

  TXvfbServer FServer;
};

TEST_F(WinSdlTest, RealWindowReceivesAClickAndShowsItsPixels) {
  if (FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_TRUE(FServer.Start(91)) << "Xvfb did not start";
  std::string display = FServer.Display();
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

  TXScreenReader screen(display);
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
