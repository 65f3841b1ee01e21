// End to end on a real X display: a form with nested panels on the SDL backend under Xvfb
// paints, takes a click made with injected X input, and moves the focus on Tab.
#include "ControlsTestSupport.h"
#include "XScreenReader.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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

class FormsSdlTest : public TFormsTest {
 protected:
  void TearDown() override {
    TFormsTest::TearDown();
    SetBackend(CreateHeadlessBackend());
    if (FOldDisplay.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", FOldDisplay.c_str(), 1);
    if (FServer > 0) {
      kill(FServer, SIGTERM);
      waitpid(FServer, nullptr, 0);
    }
  }

  // Starts Xvfb on a free display number; empty when it does not come up.
  std::string StartServer(const std::string& xvfb) {
    for (int n = 161; n < 230; ++n) {
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
      if (!exited) {
        kill(FServer, SIGTERM);
        waitpid(FServer, nullptr, 0);
      }
      FServer = -1;
    }
    return std::string();
  }

  // Runs the application's loop on real time until the condition holds or five seconds pass.
  static bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      Application->ProcessMessages();
      if (done()) return true;
      Backend().WaitEvents(10);
    }
    return done();
  }

  pid_t FServer = -1;
  std::string FOldDisplay = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
};

TEST_F(FormsSdlTest, NestedPanelsPaintTakeClicksAndFocusOnTheRealScreen) {
  std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  std::string display = StartServer(xvfb);
  ASSERT_FALSE(display.empty()) << "Xvfb did not start";
  Headless::Reset();
  setenv("DISPLAY", display.c_str(), 1);
  auto sdl = CreateSdlBackend();
  ASSERT_NE(sdl, nullptr);
  SetBackend(std::move(sdl));

  TForm* form = NewForm(300, 200, 100, 100);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 100, 300, 200);
  auto* outer = Add<TProbeControl>(form, "outer", Rect(0, 0, 300, 200));
  outer->SetAlign(alClient);
  outer->PaintColor = clBlue;
  auto* left = Add<TProbeControl>(outer, "left", Rect(0, 0, 100, 10));
  left->SetAlign(alLeft);
  left->PaintColor = clRed;
  auto* right = Add<TProbeControl>(outer, "right", Bounds(200, 0, 100, 10));
  right->SetAlign(alRight);
  right->PaintColor = clLime;
  int clicks = 0;
  right->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  EXPECT_EQ(right->GetBoundsRect(), Rect(200, 0, 300, 200));

  TXScreenReader screen(display);
  ASSERT_TRUE(screen.Ok());
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(150, 150) == 0xFF0000u; })) << std::hex << screen.Pixel(150, 150);
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(350, 150) == 0x00FF00u; })) << std::hex << screen.Pixel(350, 150);
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(250, 150) == 0x0000FFu; })) << std::hex << screen.Pixel(250, 150);

  std::string xdotool = FindProgram("xdotool");
  if (xdotool.empty()) GTEST_SKIP() << "xdotool is not installed to inject X input";
  std::string cmd = xdotool + " mousemove 350 150 click 1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));

  left->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return left->Focused(); }));
  cmd = xdotool + " key Tab";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_TRUE(PumpUntil([&] { return right->Focused(); }));
}

}  // namespace
