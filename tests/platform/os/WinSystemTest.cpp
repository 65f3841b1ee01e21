// System metrics and parameters, the monitor and its work area.
#include "WinTestSupport.h"

#include "platform/os/Gdi.h"

namespace {

class WinSystemTest : public TWinTest {};

TEST_F(WinSystemTest, MetricsDescribeTheHeadlessScreenAndOurFrames) {
  EXPECT_EQ(std::string(Backend().Name()), "headless");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_GT(GetSystemMetrics(SM_CXDRAG), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
  EXPECT_EQ(GetSystemMetrics(-1), 0);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  NONCLIENTMETRICS ncm;
  EXPECT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(ncm.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, nullptr, 0));
}

TEST_F(WinSystemTest, WorkAreaLeavesTheTaskBarAndCanBeChangedWithANotice) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, Rect(0, 0, 1280, 984));
  HWND w = Top(0, 0, 10, 10);
  RECT smaller = Rect(0, 0, 1000, 900);
  MsgLog().clear();
  EXPECT_TRUE(SystemParametersInfo(SPI_SETWORKAREA, 0, &smaller, SPIF_SENDCHANGE));
  EXPECT_EQ(Last(WM_SETTINGCHANGE, w)->W, static_cast<WPARAM>(SPI_SETWORKAREA));
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(work, smaller);
  UINT lines = 0;
  EXPECT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(lines, 3u);
}

TEST_F(WinSystemTest, OneMonitorCoversTheScreen) {
  HMONITOR m = MonitorFromPoint(Point(10, 10), MONITOR_DEFAULTTONULL);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(MonitorFromPoint(Point(-10, 10), MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(Point(-10, 10), MONITOR_DEFAULTTONEAREST), m);
  RECT r = Rect(1200, 1000, 1400, 1100);
  EXPECT_EQ(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), m);
  HWND w = Top(5, 5, 10, 10);
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), m);
  MONITORINFO info;
  ASSERT_TRUE(GetMonitorInfo(m, &info));
  EXPECT_EQ(info.rcMonitor, Rect(0, 0, 1280, 1024));
  EXPECT_EQ(info.rcWork, Rect(0, 0, 1280, 984));
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  EXPECT_FALSE(GetMonitorInfo(reinterpret_cast<HMONITOR>(0x1234), &info));
  info.cbSize = 4;
  EXPECT_FALSE(GetMonitorInfo(m, &info));
}

}  // namespace

namespace {

TEST_F(WinSystemTest, ChangingSystemColoursTellsEveryTopLevelWindow) {
  HWND a = Top(0, 0, 10, 10);
  HWND child = Child(a, 0, 0, 5, 5);
  MsgLog().clear();
  int index = COLOR_WINDOW;
  COLORREF color = RGB(1, 2, 3);
  EXPECT_TRUE(SetSysColors(1, &index, &color));
  ResetSysColors();
  EXPECT_GE(Count(WM_SYSCOLORCHANGE, a), 1);
  EXPECT_EQ(Count(WM_SYSCOLORCHANGE, child), 0) << "children hear of it from their top-level window";
}

}  // namespace

namespace {

// QJ_DPI as every backend reads it: a resolution from 48 to 960, else none (0).
struct TRequestedDpiCase {
  const char* Name;
  const char* Value;  // nullptr: unset
  int Expected;
};

class WinRequestedDpi : public ::testing::TestWithParam<TRequestedDpiCase> {
 protected:
  void TearDown() override { unsetenv("QJ_DPI"); }
};

TEST_P(WinRequestedDpi, IsAPlausibleResolutionOrNone) {
  const TRequestedDpiCase& c = GetParam();
  if (c.Value) setenv("QJ_DPI", c.Value, 1);
  else unsetenv("QJ_DPI");
  EXPECT_EQ(RequestedScreenDpi(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Values, WinRequestedDpi,
                         ::testing::Values(TRequestedDpiCase{"Unset", nullptr, 0}, TRequestedDpiCase{"Double", "192", 192},
                                           TRequestedDpiCase{"Lowest", "48", 48}, TRequestedDpiCase{"BelowLowest", "47", 0},
                                           TRequestedDpiCase{"Highest", "960", 960}, TRequestedDpiCase{"AboveHighest", "961", 0},
                                           TRequestedDpiCase{"NotANumber", "high", 0}),
                         [](const ::testing::TestParamInfo<TRequestedDpiCase>& I) { return std::string(I.param.Name); });

}  // namespace
