// Window frames: caption buttons by style, their clicks, moving and sizing with the mouse and the
// keys, double clicks on the caption, the window menu, and the look of border and caption.
#include "WinTestSupport.h"

#include "platform/os/Gdi.h"

namespace {

constexpr DWORD kSizeable = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class WinFrameTest : public TWinTest {
 protected:
  static TRect WindowRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
  }

  static LRESULT HitAt(HWND w, int x, int y) { return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)); }

  static uint32_t Pixel(HWND w, int x, int y) { return Headless::WindowSurface(w)->Row(y)[x] & 0xFFFFFF; }

  static uint32_t PixelOf(int sysColor) {
    COLORREF c = GetSysColor(sysColor);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  }
};

// Window at (100,100), 300x200: frame 4, caption 19; buttons 15 high and 17 wide, the close
// button 2 pixels from the right end, the others 2 further left.
constexpr int kCaptionY = 110, kCloseX = 385, kMaxX = 366, kMinX = 349;

struct TButtonCase {
  const char* Name;
  DWORD Style;
  DWORD ExStyle;
  LRESULT Close, Max, Min;
};

class WinFrameButtons : public WinFrameTest, public ::testing::WithParamInterface<TButtonCase> {};

TEST_P(WinFrameButtons, CaptionButtonsFollowTheStyle) {
  const TButtonCase& c = GetParam();
  HWND w = Top(100, 100, 300, 200, c.Style, c.ExStyle);
  int y = (c.ExStyle & WS_EX_TOOLWINDOW) ? 108 : kCaptionY;
  EXPECT_EQ(HitAt(w, kCloseX, y), c.Close);
  EXPECT_EQ(HitAt(w, kMaxX, y), c.Max);
  EXPECT_EQ(HitAt(w, kMinX, y), c.Min);
  EXPECT_EQ(HitAt(w, 200, y), HTCAPTION);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, WinFrameButtons,
    ::testing::Values(TButtonCase{"Sizeable", kSizeable, 0, HTCLOSE, HTMAXBUTTON, HTMINBUTTON},
                      TButtonCase{"MaximiseBoxOnly", kSizeable & ~WS_MINIMIZEBOX, 0, HTCLOSE, HTMAXBUTTON, HTMINBUTTON},
                      TButtonCase{"Dialog", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, HTCLOSE,
                                  HTCAPTION, HTCAPTION},
                      TButtonCase{"NoWindowMenu", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 0, HTCAPTION,
                                  HTCAPTION, HTCAPTION},
                      TButtonCase{"ToolWindow", kSizeable, WS_EX_TOOLWINDOW, HTCLOSE, HTCAPTION, HTCAPTION}),
    [](const ::testing::TestParamInfo<TButtonCase>& info) { return std::string(info.param.Name); });

TEST_F(WinFrameTest, CloseButtonClosesOnAReleaseOverIt) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::MoveMouse(kCloseX, kCaptionY);
  Headless::MouseDown();
  RunWhenIdle({[] { Headless::MoveMouse(200, 300); }, [] { Headless::MouseUp(); }});
  Pump();
  EXPECT_TRUE(IsWindow(w)) << "released away from the button";
  Headless::AdvanceClock(1000);
  Headless::Click(kCloseX, kCaptionY);
  Pump();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WinFrameTest, PressedCaptionButtonDrawsPushed) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  std::vector<uint32_t> up, down;
  auto snapshot = [w](std::vector<uint32_t>& into) {
    for (int y = 6; y < 21; ++y)
      for (int x = 268; x < 285; ++x) into.push_back(Pixel(w, x, y));
  };
  snapshot(up);
  Headless::MoveMouse(kCloseX, kCaptionY);
  Headless::MouseDown();
  RunWhenIdle({[&] {
                 snapshot(down);
                 Headless::MoveMouse(200, 300);
               },
               [] { Headless::MouseUp(); }});
  Pump();
  EXPECT_NE(down, up);
  std::vector<uint32_t> after;
  snapshot(after);
  EXPECT_EQ(after, up);
}

TEST_F(WinFrameTest, MaximiseAndMinimiseButtonsAndTheCaptionsDoubleClick) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::Click(kMaxX, kCaptionY);
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  EXPECT_EQ(WindowRect(w), Rect(0, 0, 1280, 984));
  Headless::AdvanceClock(1000);
  Headless::DoubleClick(500, 10);
  Pump();
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 400, 300));
  Headless::AdvanceClock(1000);
  Headless::DoubleClick(200, kCaptionY);
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  ShowWindow(w, SW_RESTORE);
  Pump();
  Headless::AdvanceClock(1000);
  Headless::Click(kMinX, kCaptionY);
  Pump();
  EXPECT_TRUE(IsIconic(w));
}

TEST_F(WinFrameTest, DoubleClickWithoutAMaximiseBoxLeavesTheWindow) {
  HWND w = Top(100, 100, 300, 200, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
  Pump();
  Headless::DoubleClick(200, kCaptionY);
  Pump();
  EXPECT_FALSE(IsZoomed(w));
}

TEST_F(WinFrameTest, DraggingTheCaptionMovesTheWindow) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::MoveMouse(200, kCaptionY);
  Headless::MouseDown();
  RunWhenIdle({[] { Headless::MoveMouse(230, 120); }, [] { Headless::MoveMouse(250, 150); }, [] { Headless::MouseUp(); }});
  MsgLog().clear();
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(150, 140, 450, 340));
  EXPECT_EQ(Only({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}), (TStrings{"561", "562"}));
}

TEST_F(WinFrameTest, ADragQueuedWholeBeforeTheLoopRunsStartsFromThePress) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::MoveMouse(398, 200);
  Headless::MouseDown();
  Headless::MoveMouse(430, 200);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 432, 300));
}

struct TSizeCase {
  const char* Name;
  TPoint From, To;
  TRect Expected;
};

class WinFrameSizing : public WinFrameTest, public ::testing::WithParamInterface<TSizeCase> {};

TEST_P(WinFrameSizing, DraggingABorderOrCornerSizesTheWindowWithinItsTrackSizes) {
  const TSizeCase& c = GetParam();
  HWND w = Top(100, 100, 300, 200, kSizeable);
  // The window may not shrink below 200x150 nor grow beyond 500x400.
  MsgHandler() = [](HWND, UINT msg, WPARAM, LPARAM l, LRESULT&) {
    if (msg == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      mmi->ptMinTrackSize = {200, 150};
      mmi->ptMaxTrackSize = {500, 400};
    }
    return false;
  };
  Pump();
  Headless::MoveMouse(c.From.X, c.From.Y);
  Headless::MouseDown();
  TPoint to = c.To;
  RunWhenIdle({[to] { Headless::MoveMouse(to.X, to.Y); }, [] { Headless::MouseUp(); }});
  Pump();
  EXPECT_EQ(WindowRect(w), c.Expected);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.Width(), c.Expected.Width() - 8) << "the client follows the frame";
}

INSTANTIATE_TEST_SUITE_P(
    Edges, WinFrameSizing,
    ::testing::Values(TSizeCase{"Right", {398, 200}, {448, 260}, Rect(100, 100, 450, 300)},
                      TSizeCase{"Left", {101, 200}, {51, 200}, Rect(50, 100, 400, 300)},
                      TSizeCase{"Bottom", {250, 298}, {250, 338}, Rect(100, 100, 400, 340)},
                      TSizeCase{"TopLeftCorner", {101, 101}, {121, 131}, Rect(120, 130, 400, 300)},
                      TSizeCase{"BottomRightGrowsToTheLimit", {398, 298}, {900, 900}, Rect(100, 100, 600, 500)},
                      TSizeCase{"LeftShrinksToTheLimit", {101, 200}, {390, 200}, Rect(200, 100, 400, 300)}),
    [](const ::testing::TestParamInfo<TSizeCase>& info) { return std::string(info.param.Name); });

// A child that answers a sizing code over its corner, as a status bar's size grip does, sizes its
// top-level window from that corner; the child itself keeps its place.
TEST_F(WinFrameTest, AGripInAChildSizesItsTopLevelWindow) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  HWND grip = Child(w, 270, 150, 20, 20);
  MsgHandler() = [grip](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (h != grip || msg != WM_NCHITTEST) return false;
    result = HTBOTTOMRIGHT;
    return true;
  };
  Pump();
  POINT at{10, 10};
  ClientToScreen(grip, &at);
  Headless::MoveMouse(at.X, at.Y);
  Headless::MouseDown();
  RunWhenIdle({[at] { Headless::MoveMouse(at.X + 30, at.Y + 20); }, [] { Headless::MouseUp(); }});
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 430, 320));
  POINT corner{0, 0};
  ClientToScreen(grip, &corner);
  EXPECT_EQ(corner.X, at.X - 10) << "the grip was not moved by itself";
}

TEST_F(WinFrameTest, EscapePutsADraggedWindowBack) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::MoveMouse(398, 200);
  Headless::MouseDown();
  RunWhenIdle({[] { Headless::MoveMouse(450, 250); }, [] { Headless::PressKey(VK_ESCAPE); }});
  Pump();
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 400, 300));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinFrameTest, AltSpaceOpensTheWindowMenuWhoseCommandsFollowTheState) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  SetFocus(w);
  Pump();
  RunWhenIdle({[] { Headless::PressKey('X'); }});  // Ma&ximise
  Headless::PressKey(VK_SPACE, skAlt);
  Pump();
  EXPECT_TRUE(IsZoomed(w));

  // Restore is offered now, Maximise no longer: 'x' picks nothing and the menu stays open.
  RunWhenIdle({[] { Headless::PressKey('X'); }, [] { Headless::PressKey('R'); }});
  Headless::PressKey(VK_SPACE, skAlt);
  Pump();
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 400, 300));
}

TEST_F(WinFrameTest, WindowMenuMovesAndSizesWithTheArrowKeys) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  SetFocus(w);
  Pump();
  RunWhenIdle({[] { Headless::PressKey('M'); }, [] { Headless::PressKey(VK_RIGHT); }, [] { Headless::PressKey(VK_DOWN); },
               [] { Headless::PressKey(VK_RETURN); }});
  Headless::PressKey(VK_SPACE, skAlt);
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(108, 108, 408, 308));
  RunWhenIdle({[] { Headless::PressKey('S'); }, [] { Headless::PressKey(VK_LEFT); }, [] { Headless::PressKey(VK_UP); },
               [] { Headless::PressKey(VK_RETURN); }});
  Headless::PressKey(VK_SPACE, skAlt);
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(108, 108, 400, 300));
}

TEST_F(WinFrameTest, TheWindowManagersStateChangesReachTheWindow) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  WinInput::NativeStateChanged(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  WinInput::NativeStateChanged(w, SW_RESTORE);
  EXPECT_EQ(WindowRect(w), Rect(100, 100, 400, 300));
  WinInput::NativeStateChanged(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w));
  WinInput::NativeStateChanged(w, SW_RESTORE);
  EXPECT_FALSE(IsIconic(w));
}

TEST_F(WinFrameTest, PlacesTheWindowManagerReportsDuringOurOwnDragAreStale) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  Headless::MoveMouse(200, kCaptionY);
  Headless::MouseDown();
  RunWhenIdle({[w] {
                 WinInput::NativeMoved(w, Bounds(0, 0, 300, 200));  // an old report arriving late
                 Headless::MoveMouse(210, kCaptionY + 10);
               },
               [] { Headless::MouseUp(); }});
  Pump();
  EXPECT_EQ(WindowRect(w), Rect(110, 110, 410, 310));
  WinInput::NativeMoved(w, Bounds(0, 0, 300, 200));
  EXPECT_EQ(WindowRect(w), Rect(0, 0, 300, 200)) << "outside a drag the report is the truth";
}

TEST_F(WinFrameTest, BorderHasItsRaisedEdgeAndTheCaptionBoldText) {
  HWND w = CreateWindowEx(0, "QJDbl", "WWWWWWWW", kSizeable, 100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
  Pump();
  EXPECT_EQ(Pixel(w, 0, 0), PixelOf(COLOR_3DLIGHT));
  EXPECT_EQ(Pixel(w, 1, 1), PixelOf(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Pixel(w, 299, 199), PixelOf(COLOR_3DDKSHADOW));
  EXPECT_EQ(Pixel(w, 298, 198), PixelOf(COLOR_BTNSHADOW));
  EXPECT_EQ(Pixel(w, 3, 3), PixelOf(COLOR_BTNFACE));
  // The caption text reaches further than the same text in the regular font would.
  uint32_t bar = PixelOf(COLOR_ACTIVECAPTION);
  int rightmost = 0;
  for (int y = 4; y < 22; ++y)
    for (int x = 4; x < 260; ++x)
      if (Pixel(w, x, y) != bar) rightmost = std::max(rightmost, x);
  HDC dc = GetDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE regular;
  GetTextExtentPoint32(dc, "WWWWWWWW", 8, &regular);
  ReleaseDC(nullptr, dc);
  EXPECT_GT(rightmost - 8, regular.cx);
}

// The caption shows what WM_NCACTIVATE said last, not which window is active: a window may
// keep an active caption while a window of its own (a drop-down) is the active one.
TEST_F(WinFrameTest, TheCaptionFollowsNcActivate) {
  HWND w = Top(100, 100, 300, 200, kSizeable);
  Pump();
  const uint32_t active = PixelOf(COLOR_ACTIVECAPTION), inactive = PixelOf(COLOR_INACTIVECAPTION);
  ASSERT_NE(active, inactive);
  EXPECT_EQ(Pixel(w, 150, 10), active);
  HWND other = Top(500, 100, 200, 100, kSizeable);
  Pump();
  EXPECT_EQ(Pixel(w, 150, 10), inactive) << "another window became active";
  SendMessage(w, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(Pixel(w, 150, 10), active) << "kept active while the other window is";
  EXPECT_EQ(GetActiveWindow(), other);
  SendMessage(w, WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(Pixel(w, 150, 10), inactive);
}

}  // namespace
