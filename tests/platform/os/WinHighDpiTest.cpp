// A high-DPI screen: window surfaces get a device scale, so windows are drawn larger and sharp
// while every caller keeps the same logical coordinates.
#include "WinTestSupport.h"

#include <set>

#include "platform/os/Gdi.h"

namespace {

class WinHighDpiTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Headless::SetScreenDpi(192);
  }

  // A shown window of 100 x 80 logical units, painted white.
  HWND Shown() {
    HWND w = Top(10, 10, 100, 80);
    Pump();
    HDC dc = GetDC(w);
    RECT all{0, 0, 100, 80};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(w, dc);
    return w;
  }

  static uint32_t Device(HWND w, int x, int y) { return Headless::WindowSurface(w)->Row(y)[x] & 0xFFFFFF; }

  // True when every 2 x 2 block of device pixels in the rectangle has one colour, as a picture
  // drawn at one pixel a unit and blown up would.
  static bool Blocky(HWND w, const TRect& device) {
    for (int y = device.Top; y < device.Bottom; y += 2)
      for (int x = device.Left; x < device.Right; x += 2) {
        uint32_t p = Device(w, x, y);
        if (Device(w, x + 1, y) != p || Device(w, x, y + 1) != p || Device(w, x + 1, y + 1) != p) return false;
      }
    return true;
  }
};

TEST_F(WinHighDpiTest, SurfacesAreTwiceAsLargeAndCoordinatesStayLogical) {
  HWND w = Shown();
  const TSurface* s = Headless::WindowSurface(w);
  EXPECT_EQ(s->Width, 200);
  EXPECT_EQ(s->Height, 160);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(10, 10, 110, 90));
  GetClientRect(w, &r);
  EXPECT_EQ(r, Rect(0, 0, 100, 80));
  EXPECT_EQ(GetDpiForSystem(), 192u);
  HDC dc = GetDC(w);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 100);
  RECT box{10, 20, 30, 25};
  FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetPixel(dc, 10, 20), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 9, 20), RGB(255, 255, 255));
  ReleaseDC(w, dc);
  EXPECT_EQ(Device(w, 20, 40), 0u);
  EXPECT_EQ(Device(w, 59, 49), 0u);
  EXPECT_EQ(Device(w, 19, 40), 0xFFFFFFu);
  EXPECT_EQ(Device(w, 60, 40), 0xFFFFFFu);
  EXPECT_EQ(Device(w, 20, 50), 0xFFFFFFu);
}

TEST_F(WinHighDpiTest, LinesAreTwoDevicePixelsWideAndEndWhereTheyEnd) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  MoveToEx(dc, 10, 10, nullptr);
  LineTo(dc, 20, 10);
  ReleaseDC(w, dc);
  for (int x = 20; x < 40; ++x) {
    EXPECT_EQ(Device(w, x, 20), 0u) << x;
    EXPECT_EQ(Device(w, x, 21), 0u) << x;
  }
  EXPECT_EQ(Device(w, 40, 20), 0xFFFFFFu) << "the last point is left out";
  EXPECT_EQ(Device(w, 25, 22), 0xFFFFFFu);
}

TEST_F(WinHighDpiTest, TextIsDrawnAtTheDevicesResolution) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  RECT box{2, 2, 98, 30};
  DrawText(dc, "Sharp text", -1, &box, DT_SINGLELINE);
  SIZE logical;
  GetTextExtentPoint32(dc, "Sharp text", 10, &logical);
  ReleaseDC(w, dc);
  int inked = 0;
  for (int y = 4; y < 60; ++y)
    for (int x = 4; x < 196; ++x) inked += Device(w, x, y) != 0xFFFFFFu;
  EXPECT_GT(inked, 0);
  EXPECT_FALSE(Blocky(w, {4, 4, 196, 60})) << "glyphs have detail finer than a logical unit";
  EXPECT_LT(logical.cx, 98) << "measurements stay logical";
}

TEST_F(WinHighDpiTest, BitmapsAreBlownUpAndCompatibleBitmapsKeepTheScale) {
  HWND w = Shown();
  HDC screen = GetDC(w);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP plain = CreateBitmap(4, 4, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, plain);
  SetPixel(mem, 1, 2, RGB(255, 0, 0));
  BitBlt(screen, 40, 40, 4, 4, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(Device(w, 82, 84), 0xFF0000u);
  EXPECT_EQ(Device(w, 83, 85), 0xFF0000u);
  EXPECT_EQ(Device(w, 84, 84), 0u) << "one bitmap pixel, two device pixels a side";

  HBITMAP compatible = CreateCompatibleBitmap(screen, 50, 30);
  BITMAP info;
  GetObject(compatible, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 50);
  SelectObject(mem, compatible);
  SelectObject(mem, GetStockObject(DEFAULT_GUI_FONT));
  RECT all{0, 0, 50, 30};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(mem, TRANSPARENT);
  TextOut(mem, 2, 2, "Abc", 3);
  BitBlt(screen, 0, 0, 50, 30, mem, 0, 0, SRCCOPY);
  EXPECT_FALSE(Blocky(w, {0, 0, 100, 60})) << "text painted off-screen is as sharp as on the window";
  SelectObject(mem, old);
  DeleteObject(compatible);
  DeleteObject(plain);
  DeleteDC(mem);
  ReleaseDC(w, screen);
}

TEST_F(WinHighDpiTest, TheCaretAndScrollingWorkInDevicePixels) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  RECT band{0, 10, 100, 11};
  FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  ScrollWindowEx(w, 0, 5, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(Device(w, 50, 30), 0u) << "the band moved 5 units down";
  EXPECT_EQ(Device(w, 50, 31), 0u);
  EXPECT_EQ(Device(w, 50, 32), 0xFFFFFFu);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(60, 40);
  ShowCaret(w);
  EXPECT_EQ(Device(w, 120, 80), 0u);
  EXPECT_EQ(Device(w, 123, 99), 0u);
  EXPECT_EQ(Device(w, 124, 80), 0xFFFFFFu);
  DestroyCaret();
}

TEST_F(WinHighDpiTest, AtOneAndAHalfAdjacentFillsTileWithoutGaps) {
  Headless::SetScreenDpi(144);
  HWND w = Shown();
  const TSurface* s = Headless::WindowSurface(w);
  EXPECT_EQ(s->Width, 150);
  EXPECT_EQ(GetDpiForSystem(), 144u);
  HDC dc = GetDC(w);
  for (int x = 0; x < 100; ++x) {
    RECT column{x, 0, x + 1, 80};
    FillRect(dc, &column, static_cast<HBRUSH>(GetStockObject(x % 2 ? BLACK_BRUSH : GRAY_BRUSH)));
  }
  ReleaseDC(w, dc);
  std::set<uint32_t> seen;
  for (int x = 0; x < 150; ++x) seen.insert(Device(w, x, 40));
  EXPECT_EQ(seen.count(0xFFFFFFu), 0u) << "every device pixel belongs to a unit";
}

TEST_F(WinHighDpiTest, ClicksHitTheSameWindowsAsAtOnePixelAUnit) {
  HWND top = Top(100, 100, 200, 200);
  HWND child = Child(top, 50, 50, 20, 20);
  Pump();
  MsgLog().clear();
  Headless::Click(160, 160);
  Pump();
  const TLoggedMsg* down = Last(WM_LBUTTONDOWN, child);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->L, MAKELPARAM(10, 10));
}

}  // namespace
