// End to end on a real X display: a form with nested panels on the SDL backend under Xvfb
// paints, takes a click made with injected X input, and moves the focus on Tab.
#include "ControlsTestSupport.h"
#include "platform/forms/StdCtrls.h"
#include "support/SdlScreen.h"

#include <chrono>
#include <cstdlib>

namespace {

class FormsSdlTest : public TFormsTest {
 protected:
  void TearDown() override {
    TFormsTest::TearDown();
    SetBackend(CreateHeadlessBackend());
  }

  // Starts Xvfb and the SDL backend on it.
  void StartScreen(int display, int dpi = 0) {
    ASSERT_TRUE(StartSdlScreen(FServer, display, dpi)) << "Xvfb or the SDL backend did not start";
  }

  // A sizeable form with a caption and the three caption buttons, shown at (100,100), 300x200.
  static TForm* ShownSizeableForm() {
    TForm* form = NewForm(300, 200, 100, 100);
    form->SetCaption("Frame");
    form->SetBounds(100, 100, 300, 200);
    form->Show();
    return form;
  }

  TXvfbServer FServer;
};

// Window at (100,100), 300x200: frame 4 pixels, caption 19; the close button's middle is 15
// pixels from the right end, the maximise button's 34, the minimise button's 51.
constexpr int kCaptionY = 110;

TEST_F(FormsSdlTest, TheBorderResizesTheWindowWithoutAWindowManager) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(171);
  TForm* form = ShownSizeableForm();
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  COLORREF c = GetSysColor(COLOR_BTNFACE);
  uint32_t faceAsRgb = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  ASSERT_TRUE(PumpUntil([&] { return screen.Pixel(250, 200) == faceAsRgb; }));
  ASSERT_TRUE(XDo("mousemove 398 200 mousedown 1 mousemove 420 210 mousemove 450 220 mouseup 1"));
  EXPECT_TRUE(PumpUntil([&] { return form->GetWidth() == 352; })) << form->GetWidth();
  EXPECT_EQ(form->GetHeight(), 200);
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(440, 200) == faceAsRgb; })) << "the window grew on the screen";
}

TEST_F(FormsSdlTest, CaptionButtonsAndTheCaptionsDoubleClick) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(181);
  TForm* form = ShownSizeableForm();
  ASSERT_TRUE(PumpUntil([&] { return form->GetActive(); }));
  ASSERT_TRUE(XDo("mousemove 366 " + std::to_string(kCaptionY) + " click 1"));
  EXPECT_TRUE(PumpUntil([&] { return form->GetWindowState() == wsMaximized; }));
  EXPECT_TRUE(PumpUntil([&] { return form->GetWidth() == Screen->GetWidth(); })) << form->GetWidth();
  ASSERT_TRUE(XDo("mousemove 300 10 click --repeat 2 --delay 80 1"));
  EXPECT_TRUE(PumpUntil([&] { return form->GetWindowState() == wsNormal && form->GetLeft() == 100; }));
  ASSERT_TRUE(XDo("mousemove 200 " + std::to_string(kCaptionY) + " click --repeat 2 --delay 80 1"));
  EXPECT_TRUE(PumpUntil([&] { return form->GetWindowState() == wsMaximized; }));
  ASSERT_TRUE(XDo("mousemove " + std::to_string(Screen->GetWidth() - 15) + " 10 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !form->GetVisible(); })) << "the close button closes the form";
}

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

TEST_F(FormsSdlTest, OnA192DpiScreenTheWindowIsTwiceAsLarge) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  unsetenv("QJ_DPI");
  StartScreen(191, 192);
  EXPECT_EQ(Screen->GetPixelsPerInch(), 192);
  TForm* form = NewForm(300, 200, 50, 50);
  form->SetBounds(50, 50, 200, 100);
  form->SetColor(clRed);
  form->Show();
  EXPECT_EQ(form->GetBoundsRect(), Rect(50, 50, 250, 150)) << "the form's numbers stay the same";
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  // Logical (240, 140) is inside the client area: device (480, 280); logical (260, 140) is not.
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(480, 280) == 0xFF0000u; })) << std::hex << screen.Pixel(480, 280);
  EXPECT_NE(screen.Pixel(520, 280), 0xFF0000u);
  EXPECT_NE(screen.Pixel(110, 95), 0xFF0000u) << "the frame is above the client area";
}

// The screen's resolution as the backend reads it at start-up: QJ_DPI first, then the X
// resource Xft.dpi, then the X screen's own; values outside 48..960 are passed over.
struct TDpiCase {
  const char* Name;
  int ScreenDpi;
  const char* Resources;
  const char* Override;  // QJ_DPI, or nullptr for none
  int Expected;
};

class FormsSdlDpi : public FormsSdlTest, public ::testing::WithParamInterface<TDpiCase> {};

TEST_P(FormsSdlDpi, PixelsPerInchFollowTheOverrideThenXftDpiThenTheScreen) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  const TDpiCase& c = GetParam();
  if (c.Override)
    setenv("QJ_DPI", c.Override, 1);
  else
    unsetenv("QJ_DPI");
  ASSERT_TRUE(FServer.Start(211, "800x600x24", c.ScreenDpi)) << "Xvfb did not start";
  ASSERT_TRUE(SetXResources(FServer.Display(), c.Resources));
  Headless::Reset();
  auto sdl = CreateSdlBackend();
  ASSERT_NE(sdl, nullptr);
  SetBackend(std::move(sdl));
  EXPECT_EQ(Screen->GetPixelsPerInch(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, FormsSdlDpi,
    ::testing::Values(TDpiCase{"XftDpi", 96, "Xft.antialias:\t1\nXft.dpi:\t144\n", nullptr, 144},
                      TDpiCase{"ImplausibleXftDpi", 192, "Xft.dpi:\t5\n", nullptr, 192},
                      TDpiCase{"Override", 96, "Xft.dpi:\t144\n", "192", 192},
                      TDpiCase{"ImplausibleOverride", 96, "Xft.dpi:\t144\n", "4000", 144}),
    [](const ::testing::TestParamInfo<TDpiCase>& info) { return std::string(info.param.Name); });

TEST_F(FormsSdlTest, TheWindowManagerMaySizeOnlySizeableFormsWithinTheirConstraints) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(221);
  TForm* sizeable = ShownSizeableForm();
  sizeable->Hide();
  sizeable->GetConstraints()->SetMinWidth(200);
  sizeable->GetConstraints()->SetMinHeight(150);
  sizeable->GetConstraints()->SetMaxWidth(500);
  sizeable->GetConstraints()->SetMaxHeight(400);
  sizeable->Show();
  TForm* dialog = NewForm(240, 120, 450, 100);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetCaption("Dialog");
  dialog->SetBounds(450, 100, 240, 120);
  dialog->Show();
  TXSizeHints hints, fixed;
  EXPECT_TRUE(PumpUntil([&] { return ReadSizeHints(FServer.Display(), "Frame", hints) && hints.MaxWidth > 0; }));
  EXPECT_EQ(hints.MinWidth, 200);
  EXPECT_EQ(hints.MinHeight, 150);
  EXPECT_EQ(hints.MaxWidth, 500);
  EXPECT_EQ(hints.MaxHeight, 400);
  EXPECT_TRUE(PumpUntil([&] { return ReadSizeHints(FServer.Display(), "Dialog", fixed) && fixed.MaxWidth > 0; }));
  EXPECT_EQ(fixed.MinWidth, 240) << "a dialog frame is not sizeable: its least and largest sizes are its size";
  EXPECT_EQ(fixed.MaxWidth, 240);
  EXPECT_EQ(fixed.MinHeight, 120);
  EXPECT_EQ(fixed.MaxHeight, 120);
}

TEST_F(FormsSdlTest, ThePrimarySelectionGoesBothWays) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(195);
  TForm* form = NewForm(300, 100, 100, 100);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 100, 300, 100);
  auto* edit = Add<TEdit>(form, "edit", Rect(10, 10, 290, 31));
  edit->SetText("Hello world");
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return form->GetActive(); }));
  TXPrimarySelection other(FServer.Display());
  ASSERT_TRUE(other.Ok());

  edit->SetSelStart(6);
  edit->SetSelLength(5);
  other.Request();
  std::string seen;
  EXPECT_TRUE(PumpUntil([&] { return other.Arrived(seen); }));
  EXPECT_EQ(seen, "world") << "what we select, another program pastes";

  other.Own("pasted ");
  TPoint at = edit->ClientToScreen({4, 10});  // before the first character
  ASSERT_TRUE(XDo("mousemove " + std::to_string(at.X) + " " + std::to_string(at.Y) + " click 2"));
  EXPECT_TRUE(PumpUntil([&] { return edit->GetText() == "pasted Hello world"; })) << edit->GetText();
}

}  // namespace

