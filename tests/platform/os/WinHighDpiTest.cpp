// A high-DPI screen: window surfaces get a device scale, so windows are drawn larger and sharp
// while every caller keeps the same logical coordinates.
#include "WinTestSupport.h"

#include <cstdlib>
#include <set>
#include <string>

#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"

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

namespace {

class WinDeviceGlyphTest : public WinHighDpiTest {
 protected:
  // A triangle over the glyph rectangle (10,10)-(20,20): its slope steps by whole pixels of DC().
  static void Triangle(const TDeviceGlyphScope& Glyph) {
    const TRect r = Glyph.Rect();
    const POINT p[3] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Left, r.Bottom - 1}};
    HGDIOBJ brush = SelectObject(Glyph.DC(), GetStockObject(BLACK_BRUSH));
    HGDIOBJ pen = SelectObject(Glyph.DC(), GetStockObject(BLACK_PEN));
    Polygon(Glyph.DC(), p, 3);
    SelectObject(Glyph.DC(), pen);
    SelectObject(Glyph.DC(), brush);
  }
};

TEST_F(WinDeviceGlyphTest, AGlyphIsDrawnAtTheDevicePixelsAndKeepsWhatLiesAroundIt) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  {
    TDeviceGlyphScope glyph(dc, {10, 10, 20, 20});
    EXPECT_NE(glyph.DC(), dc);
    EXPECT_EQ(glyph.Scale(), 2.0);
    EXPECT_EQ(glyph.Rect(), Rect(0, 0, 20, 20)) << "the device pixels of the rectangle";
    EXPECT_EQ(glyph.Map(TPoint{15, 12}), Point(10, 4));
    EXPECT_EQ(glyph.Length(2), 4);
    EXPECT_EQ(glyph.Length(1), 2);
    EXPECT_EQ(GetPixel(glyph.DC(), 3, 3), RGB(255, 255, 255)) << "the window's pixels come in";
    Triangle(glyph);
  }
  ReleaseDC(w, dc);
  EXPECT_FALSE(Blocky(w, {20, 20, 40, 40})) << "the slope steps by one device pixel";
  EXPECT_EQ(Device(w, 20, 20), 0u);
  EXPECT_EQ(Device(w, 38, 21), 0u) << "the top edge reaches the right";
  EXPECT_EQ(Device(w, 38, 38), 0xFFFFFFu) << "under the slope the window's white stays";
  EXPECT_EQ(Device(w, 19, 20), 0xFFFFFFu) << "nothing beside the rectangle";
  EXPECT_EQ(Device(w, 40, 20), 0xFFFFFFu);
}

TEST_F(WinDeviceGlyphTest, OnlyWhatTheClipShowsComesBack) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  IntersectClipRect(dc, 0, 0, 15, 100);
  {
    TDeviceGlyphScope glyph(dc, {10, 10, 20, 20});
    Triangle(glyph);
  }
  ReleaseDC(w, dc);
  EXPECT_EQ(Device(w, 29, 21), 0u);
  EXPECT_EQ(Device(w, 30, 21), 0xFFFFFFu) << "clipped";
}

TEST_F(WinDeviceGlyphTest, AtNinetySixDpiTheGlyphIsDrawnOnTheDCItself) {
  Headless::SetScreenDpi(96);
  HWND w = Shown();
  HDC dc = GetDC(w);
  TDeviceGlyphScope glyph(dc, {10, 10, 20, 20});
  EXPECT_EQ(glyph.DC(), dc);
  EXPECT_EQ(glyph.Scale(), 1.0);
  EXPECT_EQ(glyph.Rect(), Rect(10, 10, 20, 20));
  EXPECT_EQ(glyph.Length(2), 2);
  ReleaseDC(w, dc);
}

}  // namespace

namespace {

// A glyph drawer of the platform layer, drawing into the 20 x 20 rectangle at (10, 10).
struct TGlyphCase {
  const char* Name;
  void (*Draw)(HDC dc, RECT& r);
};

void DiagonalLine(HDC dc, RECT& r) {
  MoveToEx(dc, r.Left, r.Top, nullptr);
  LineTo(dc, r.Right - 1, r.Bottom - 6);
}
void FrameCheck(HDC dc, RECT& r) { DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED); }
void FrameRadio(HDC dc, RECT& r) { DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED); }
void FrameArrow(HDC dc, RECT& r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN); }
void FrameDisabledArrow(HDC dc, RECT& r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE); }

void Themed(HDC dc, RECT& r, const char16_t* Class, int Part, int State) {
  ThemeEngine::SetEnabled(true);
  HTHEME theme = OpenThemeData(nullptr, Class);
  DrawThemeBackground(theme, dc, Part, State, &r, nullptr);
  CloseThemeData(theme);
}
void ThemedCheck(HDC dc, RECT& r) { Themed(dc, r, u"Button", BP_CHECKBOX, CBS_CHECKEDNORMAL); }
void ThemedRadio(HDC dc, RECT& r) { Themed(dc, r, u"Button", BP_RADIOBUTTON, 5); }
void ThemedArrow(HDC dc, RECT& r) { Themed(dc, r, u"ScrollBar", SBP_ARROWBTN, ABS_UPNORMAL); }
void ThemedTreeGlyph(HDC dc, RECT& r) { Themed(dc, r, u"TreeView", TVP_GLYPH, GLPS_CLOSED); }

// A black right-pointing triangle of 7 x 7 pixels in a masked image list, as indicator glyphs are.
void ImageListTriangle(HDC dc, RECT& r) {
  HIMAGELIST list = ImageList_Create(7, 7, ILC_COLOR32 | ILC_MASK, 0, 1);
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP art = CreateBitmap(7, 7, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, art);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) SetPixel(mem, x, y, x <= 3 - std::abs(y - 3) ? RGB(0, 0, 0) : RGB(0, 128, 128));
  SelectObject(mem, old);
  DeleteDC(mem);
  ImageList_AddMasked(list, art, RGB(0, 128, 128));
  TDeviceGlyphScope glyph(dc, r);
  glyph.DrawImage(list, 0, TPoint{r.Left + 6, r.Top + 6});
  DeleteObject(art);
  ImageList_Destroy(list);
}

class WinGlyphAtDeviceScaleTest : public WinHighDpiTest, public ::testing::WithParamInterface<TGlyphCase> {
 protected:
  void TearDown() override {
    ThemeEngine::SetEnabled(true);
    WinHighDpiTest::TearDown();
  }
};

TEST_P(WinGlyphAtDeviceScaleTest, HasDetailFinerThanALogicalUnitAndStaysInItsRectangle) {
  HWND w = Shown();
  HDC dc = GetDC(w);
  RECT r{10, 10, 30, 30};
  GetParam().Draw(dc, r);
  ReleaseDC(w, dc);
  int inked = 0;
  for (int y = 20; y < 60; ++y)
    for (int x = 20; x < 60; ++x) inked += Device(w, x, y) != 0xFFFFFFu;
  EXPECT_GT(inked, 0) << "drew nothing";
  EXPECT_FALSE(Blocky(w, {20, 20, 60, 60})) << "the glyph is a one-unit picture made twice as large";
  for (int k = 0; k < 80; ++k) {
    EXPECT_EQ(Device(w, 19, 20 + k / 2), 0xFFFFFFu) << "left of the rectangle";
    EXPECT_EQ(Device(w, 60, 20 + k / 2), 0xFFFFFFu) << "right of the rectangle";
  }
}

TEST_F(WinHighDpiTest, AtOnePixelAUnitTheCheckMarkIsTheClassicOne) {
  Headless::SetScreenDpi(96);
  HWND w = Shown();
  HDC dc = GetDC(w);
  RECT r{10, 10, 17, 17};
  DrawFrameControl(dc, &r, DFC_MENU, DFCS_MENUCHECK);
  ReleaseDC(w, dc);
  static const char* const kMark[] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(Device(w, 10 + x, 10 + y), kMark[y][x] == '#' ? 0u : 0xFFFFFFu) << x << "," << y;
}

TEST_F(WinHighDpiTest, FrameScrollBarArrowsStepByDevicePixels) {
  HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 0;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  Pump();
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
  const TRect up{2 * sbi.rcScrollBar.Left, 2 * sbi.rcScrollBar.Top, 2 * sbi.rcScrollBar.Right,
                 2 * (sbi.rcScrollBar.Top + sbi.dxyLineButton)};
  int arrow = 0;
  for (int y = up.Top; y < up.Bottom; ++y)
    for (int x = up.Left; x < up.Right; ++x) arrow += Device(w, x, y) == 0u;
  EXPECT_GT(arrow, 0) << "the arrow is drawn";
  EXPECT_FALSE(Blocky(w, {up.Left + 4, up.Top + 4, up.Right - 4, up.Bottom - 4}));
}

INSTANTIATE_TEST_SUITE_P(Glyphs, WinGlyphAtDeviceScaleTest,
                         ::testing::Values(TGlyphCase{"DiagonalLine", DiagonalLine}, TGlyphCase{"FrameCheckMark", FrameCheck}, TGlyphCase{"FrameRadio", FrameRadio},
                                           TGlyphCase{"FrameArrow", FrameArrow},
                                           TGlyphCase{"FrameDisabledArrow", FrameDisabledArrow},
                                           TGlyphCase{"ThemedCheckMark", ThemedCheck},
                                           TGlyphCase{"ThemedRadio", ThemedRadio}, TGlyphCase{"ThemedArrow", ThemedArrow},
                                           TGlyphCase{"ThemedTreeGlyph", ThemedTreeGlyph},
                                           TGlyphCase{"ImageListTriangle", ImageListTriangle}),
                         [](const ::testing::TestParamInfo<TGlyphCase>& info) { return std::string(info.param.Name); });

}  // namespace
