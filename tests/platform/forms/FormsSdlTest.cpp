// End to end on a real X display: a form with nested panels on the SDL backend under Xvfb
// paints, takes a click made with injected X input, and moves the focus on Tab.
#include "ControlsTestSupport.h"
#include "support/XDisplay.h"

#include <chrono>
#include <cstdlib>

namespace {

class FormsSdlTest : public TFormsTest {
 protected:
  void TearDown() override {
    TFormsTest::TearDown();
    SetBackend(CreateHeadlessBackend());
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

  TXvfbServer FServer;
};

TEST_F(FormsSdlTest, NestedPanelsPaintTakeClicksAndFocusOnTheRealScreen) {
  if (FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_TRUE(FServer.Start(161)) << "Xvfb did not start";
  std::string display = FServer.Display();
  Headless::Reset();
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
