// The theme engine: the switch and its broadcast, handles, checked entry points, and the parts
// it draws for every class the library uses.
#include <gtest/gtest.h>

#include "GdiTestSupport.h"
#include "WinTestSupport.h"
#include "platform/os/Theme.h"

namespace {

class GdiTheme : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    ThemeEngine::SetEnabled(true);
  }
  void TearDown() override {
    ThemeEngine::SetEnabled(true);
    TWinTest::TearDown();
  }
};

TEST_F(GdiTheme, SwitchedOffEveryCallerTakesTheClassicPath) {
  ThemeEngine::SetEnabled(false);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), nullptr);
  WideChar name[8] = u"junk";
  EXPECT_TRUE(FAILED(GetCurrentThemeName(name, 8, nullptr, 0, nullptr, 0)));
  EXPECT_EQ(name[0], 0);
}

TEST_F(GdiTheme, SwitchingBroadcastsThemeChangedOnlyOnAChange) {
  HWND top = Top(0, 0, 50, 50);
  ThemeEngine::SetEnabled(false);
  ThemeEngine::SetEnabled(false);
  ThemeEngine::SetEnabled(true);
  int changes = 0;
  for (const TLoggedMsg& m : MsgLog()) changes += m.Wnd == top && m.Msg == WM_THEMECHANGED;
  EXPECT_EQ(changes, 2);
}

struct TClassCase {
  const char16_t* Name;
  int Part;
  int State;
};

class GdiThemeClass : public GdiTheme, public ::testing::WithParamInterface<TClassCase> {};

// Every class, part and state the painters, scroll bar, container, button, page control and
// status bar ask for opens and draws something.
TEST_P(GdiThemeClass, OpensAndDrawsItsPart) {
  const TClassCase& c = GetParam();
  HTHEME theme = OpenThemeData(nullptr, c.Name);
  ASSERT_NE(theme, nullptr);
  TPixelCanvas canvas(40, 30, RGB(1, 2, 3));
  RECT r{5, 5, 35, 25};
  EXPECT_EQ(DrawThemeBackground(theme, canvas.DC(), c.Part, c.State, &r, nullptr), S_OK);
  EXPECT_LT(canvas.Count(RGB(1, 2, 3)), 40 * 30) << "drew nothing";
  EXPECT_EQ(canvas.InkBox(RGB(1, 2, 3)).Left >= 5, true) << "drew outside its rectangle";
  COLORREF color;
  EXPECT_EQ(GetThemeColor(theme, c.Part, c.State, TMT_TEXTCOLOR, &color), S_OK);
  RECT content;
  EXPECT_EQ(GetThemeBackgroundContentRect(theme, canvas.DC(), c.Part, c.State, &r, &content), S_OK);
  EXPECT_GE(content.Left, r.Left);
  EXPECT_LE(content.Right, r.Right);
  EXPECT_EQ(CloseThemeData(theme), S_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, GdiThemeClass,
    ::testing::Values(TClassCase{u"Button", BP_PUSHBUTTON, PBS_DEFAULTED}, TClassCase{u"button", BP_CHECKBOX, 6},
                      TClassCase{u"Button", BP_RADIOBUTTON, 5}, TClassCase{u"Button", BP_GROUPBOX, GBS_NORMAL},
                      TClassCase{u"ScrollBar", SBP_ARROWBTN, 14}, TClassCase{u"ScrollBar", SBP_THUMBBTNVERT, 3},
                      TClassCase{u"ScrollBar", SBP_UPPERTRACKHORZ, 3}, TClassCase{u"ScrollBar", SBP_GRIPPERVERT, 0},
                      TClassCase{u"ListView", LVP_FRAME, 0}, TClassCase{u"TreeView", TVP_GLYPH, GLPS_CLOSED},
                      TClassCase{u"Header", HP_HEADERITEM, HIS_HOT}, TClassCase{u"TrackBar", TKP_TRACK, 1},
                      TClassCase{u"TrackBar", TKP_THUMBBOTTOM, TUS_PRESSED},
                      TClassCase{u"Window", WP_SMALLCLOSEBUTTON, BLS_HOT}, TClassCase{u"Window", WP_CLOSEBUTTON, BLS_PRESSED},
                      TClassCase{u"Tab", TABP_TABITEM, TIS_SELECTED},
                      TClassCase{u"Tab", TABP_PANE, 0}, TClassCase{u"Edit", EP_EDITTEXT, ETS_FOCUSED},
                      TClassCase{u"ComboBox", CP_DROPDOWNBUTTON, BLS_PRESSED}, TClassCase{u"Spin", SPNP_DOWN, 1},
                      TClassCase{u"Status", SP_BACKGROUND, 0}, TClassCase{u"Status", SP_GRIPPER, 0},
                      TClassCase{u"Page", PGRP_DOWNHORZ, BLS_DISABLED}, TClassCase{u"Progress", PP_BAR, 1},
                      TClassCase{u"Progress", PP_CHUNKVERT, 1}));

TEST_F(GdiTheme, ClassListsTakeTheFirstClassAnswered) {
  EXPECT_NE(OpenThemeData(nullptr, u"Clock; Header"), nullptr) << "Clock is not answered, Header is";
  EXPECT_EQ(OpenThemeData(nullptr, u"Clock;TaskBar"), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, u""), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
}

TEST_F(GdiTheme, AHiddenClassIsMissingFromTheTheme) {
  ThemeEngine::SetClassHidden(u"Header", true);
  EXPECT_EQ(OpenThemeData(nullptr, u"Header"), nullptr);
  EXPECT_NE(OpenThemeData(nullptr, u"Button"), nullptr);
  ThemeEngine::SetClassHidden(u"Header", false);
  EXPECT_NE(OpenThemeData(nullptr, u"Header"), nullptr);
}

// Every entry point checks handle, part, state and pointers and fails without drawing.
TEST_F(GdiTheme, BadArgumentsFailWithoutDrawing) {
  HTHEME theme = OpenThemeData(nullptr, u"Button");
  TPixelCanvas canvas(20, 20, RGB(1, 2, 3));
  RECT r{0, 0, 20, 20};
  SIZE size;
  COLORREF color;
  const HTHEME stale = theme;
  EXPECT_EQ(DrawThemeBackground(theme, canvas.DC(), 77, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme, canvas.DC(), BP_PUSHBUTTON, 6, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme, canvas.DC(), BP_PUSHBUTTON, -1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme, canvas.DC(), BP_PUSHBUTTON, 1, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme, nullptr, BP_PUSHBUTTON, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(GetThemeColor(theme, BP_PUSHBUTTON, 1, 204, &color), E_INVALIDARG) << "no such colour property";
  EXPECT_EQ(GetThemeColor(theme, BP_PUSHBUTTON, 1, TMT_FILLCOLOR, nullptr), E_INVALIDARG);
  EXPECT_EQ(GetThemePartSize(theme, nullptr, BP_CHECKBOX, 1, nullptr, THEMESIZE(7), &size), E_INVALIDARG);
  EXPECT_EQ(CloseThemeData(theme), S_OK);
  EXPECT_EQ(CloseThemeData(stale), E_HANDLE);
  EXPECT_EQ(DrawThemeBackground(stale, canvas.DC(), BP_PUSHBUTTON, 1, &r, nullptr), E_HANDLE);
  EXPECT_EQ(DrawThemeText(stale, canvas.DC(), BP_PUSHBUTTON, 1, u"x", 1, 0, 0, &r), E_HANDLE);
  EXPECT_EQ(DrawThemeEdge(stale, canvas.DC(), 0, 0, &r, EDGE_RAISED, BF_RECT, nullptr), E_HANDLE);
  EXPECT_EQ(GetThemePartSize(stale, nullptr, BP_CHECKBOX, 1, nullptr, TS_TRUE, &size), E_HANDLE);
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(stale, BP_PUSHBUTTON, 1));
  EXPECT_EQ(canvas.Count(RGB(1, 2, 3)), 400);
}

TEST_F(GdiTheme, HotAndPressedButtonsLookDifferent) {
  HTHEME theme = OpenThemeData(nullptr, u"Button");
  RECT r{0, 0, 30, 20};
  std::vector<std::vector<uint32_t>> looks;
  for (int state : {PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED, PBS_DEFAULTED}) {
    TPixelCanvas canvas(30, 20);
    DrawThemeBackground(theme, canvas.DC(), BP_PUSHBUTTON, state, &r, nullptr);
    looks.push_back(canvas.Snapshot());
  }
  for (size_t i = 0; i < looks.size(); ++i)
    for (size_t j = i + 1; j < looks.size(); ++j) EXPECT_NE(looks[i], looks[j]) << i << " vs " << j;
  CloseThemeData(theme);
}

// Arrow buttons draw their glyph in the part's glyph colour, as large as the button allows
// across the arrow: a narrow horizontal spin button keeps a tall arrow.
struct TArrowGlyphCase {
  const char* Name;
  int Part;
  int Width, Height;
  TSize Glyph;  // the arrow's extent
  friend void PrintTo(const TArrowGlyphCase& c, std::ostream* os) { *os << c.Name; }
};

class GdiThemeArrow : public GdiTheme, public ::testing::WithParamInterface<TArrowGlyphCase> {};

TEST_P(GdiThemeArrow, FillsTheButtonAcrossTheArrow) {
  const TArrowGlyphCase& c = GetParam();
  HTHEME theme = OpenThemeData(nullptr, u"Spin");
  COLORREF glyph = 0;
  ASSERT_EQ(GetThemeColor(theme, c.Part, 1, TMT_GLYPHTEXTCOLOR, &glyph), S_OK);
  TPixelCanvas canvas(c.Width, c.Height, RGB(1, 2, 3));
  RECT r{0, 0, c.Width, c.Height};
  DrawThemeBackground(theme, canvas.DC(), c.Part, 1, &r, nullptr);
  const RECT box = InkBoxOf(c.Width, c.Height, RGB(1, 2, 3),
                            [&](int x, int y) { return canvas.At(x, y) == glyph ? glyph : RGB(1, 2, 3); });
  EXPECT_EQ((TSize{box.Right - box.Left, box.Bottom - box.Top}), c.Glyph) << canvas.Picture(glyph);
  CloseThemeData(theme);
}

INSTANTIATE_TEST_SUITE_P(Spin, GdiThemeArrow,
                         ::testing::Values(TArrowGlyphCase{"NarrowHorizontal", SPNP_UPHORZ, 12, 17, {4, 7}},
                                           TArrowGlyphCase{"Square", SPNP_UPHORZ, 17, 17, {4, 7}},
                                           TArrowGlyphCase{"FlatVertical", SPNP_UP, 17, 8, {3, 2}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GdiTheme, ClipLimitsTheBackground) {
  HTHEME theme = OpenThemeData(nullptr, u"Tab");
  TPixelCanvas canvas(40, 40, RGB(1, 2, 3));
  RECT r{0, 0, 40, 40}, clip{0, 0, 40, 10};
  DrawThemeBackground(theme, canvas.DC(), TABP_PANE, 0, &r, &clip);
  EXPECT_EQ(canvas.InkBox(RGB(1, 2, 3)), (TRect{0, 0, 40, 10}));
  CloseThemeData(theme);
}

TEST_F(GdiTheme, SizesColoursAndMargins) {
  HTHEME button = OpenThemeData(nullptr, u"Button"), window = OpenThemeData(nullptr, u"Window");
  SIZE size;
  EXPECT_EQ(GetThemePartSize(button, nullptr, BP_CHECKBOX, 5, nullptr, TS_TRUE, &size), S_OK);
  EXPECT_EQ(size, (SIZE{13, 13}));
  EXPECT_EQ(GetThemePartSize(window, nullptr, WP_SMALLCLOSEBUTTON, 1, nullptr, TS_TRUE, &size), S_OK);
  EXPECT_EQ(size, (SIZE{13, 13}));
  EXPECT_EQ(GetThemePartSize(window, nullptr, WP_CLOSEBUTTON, 1, nullptr, TS_TRUE, &size), S_OK);
  EXPECT_EQ(size, (SIZE{16, 16}));
  RECT bounds{0, 0, 100, 100}, content;
  GetThemeBackgroundContentRect(button, nullptr, BP_PUSHBUTTON, 1, &bounds, &content);
  EXPECT_EQ(content, (RECT{3, 3, 97, 97}));
  COLORREF normal, disabled;
  GetThemeColor(button, BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &normal);
  GetThemeColor(button, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &disabled);
  EXPECT_NE(normal, disabled);
  EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(button, BP_RADIOBUTTON, 1));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(button, BP_CHECKBOX, 1));
  CloseThemeData(button);
  CloseThemeData(window);
}

TEST_F(GdiTheme, TextTakesThePartsTextColour) {
  HTHEME theme = OpenThemeData(nullptr, u"Button");
  TPixelCanvas canvas(60, 20);
  RECT r{0, 0, 60, 20};
  SetTextColor(canvas.DC(), RGB(255, 0, 0));
  EXPECT_EQ(DrawThemeText(theme, canvas.DC(), BP_PUSHBUTTON, PBS_NORMAL, u"Wide", -1, DT_SINGLELINE, 0, &r), S_OK);
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), 0) << "the DC's colour is not used";
  EXPECT_GT(canvas.Count(RGB(0, 0, 0)), 0);
  EXPECT_EQ(GetTextColor(canvas.DC()), RGB(255, 0, 0)) << "the DC is left as it was";
  CloseThemeData(theme);
}

TEST_F(GdiTheme, EdgesReportTheirContentRectangle) {
  HTHEME theme = OpenThemeData(nullptr, u"Edit");
  TPixelCanvas canvas(20, 20, RGB(1, 2, 3));
  RECT r{0, 0, 20, 20}, content;
  EXPECT_EQ(DrawThemeEdge(theme, canvas.DC(), 0, 0, &r, BDR_RAISEDINNER, BF_RECT, &content), S_OK);
  EXPECT_EQ(content, (RECT{1, 1, 19, 19}));
  EXPECT_EQ(canvas.Count(RGB(1, 2, 3)), 18 * 18);
  CloseThemeData(theme);
}

TEST_F(GdiTheme, ThemeNameWhileOn) {
  WideChar file[32], color[16];
  EXPECT_EQ(GetCurrentThemeName(file, 32, color, 16, nullptr, 0), S_OK);
  EXPECT_EQ(WideString(file), u"QJModern.theme");
  EXPECT_EQ(WideString(color), u"Normal");
}

}  // namespace

namespace {

class GdiThemeSwitch : public GdiTheme {
 protected:
  void SetUp() override {
    GdiTheme::SetUp();
    const char* home = std::getenv("XDG_CONFIG_HOME");
    FSavedHome = home ? home : "";
    FHadHome = home != nullptr;
    FHome = ::testing::TempDir() + "qj-theme-switch";
    setenv("XDG_CONFIG_HOME", FHome.c_str(), 1);
    unsetenv("QJ_THEMES");
  }
  void TearDown() override {
    unsetenv("QJ_THEMES");
    if (FHadHome)
      setenv("XDG_CONFIG_HOME", FSavedHome.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    GdiTheme::TearDown();
  }
  std::string FHome, FSavedHome;
  bool FHadHome = false;
};

TEST_F(GdiThemeSwitch, TheEnvironmentWinsOverThePerUserSetting) {
  ThemeEngine::SetEnabled(false, true);
  ThemeEngine::SetEnabled(true);
  ThemeEngine::Reload();
  EXPECT_FALSE(ThemeEngine::Enabled()) << "the remembered setting";
  setenv("QJ_THEMES", "on", 1);
  ThemeEngine::Reload();
  EXPECT_TRUE(ThemeEngine::Enabled());
  setenv("QJ_THEMES", "0", 1);
  ThemeEngine::Reload();
  EXPECT_FALSE(ThemeEngine::Enabled());
  setenv("QJ_THEMES", "maybe", 1);
  ThemeEngine::SetEnabled(true, true);
  ThemeEngine::Reload();
  EXPECT_TRUE(ThemeEngine::Enabled()) << "an unreadable switch leaves the setting";
}

TEST_F(GdiTheme, ParentBackgroundIsPaintedBehindAChild) {
  HWND parent = Top(0, 0, 60, 60);
  HWND child = Child(parent, 10, 10, 20, 20);
  MsgHandler() = [parent](HWND wnd, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if (wnd != parent || msg != WM_ERASEBKGND) return false;
    RECT r{0, 0, 60, 60};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(reinterpret_cast<HDC>(w), &r, red);
    DeleteObject(red);
    result = 1;
    return true;
  };
  TPixelCanvas canvas(20, 20);
  RECT r{0, 0, 20, 20};
  (void)child;
  EXPECT_EQ(DrawThemeParentBackground(child, canvas.DC(), &r), S_OK);
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), 400);
  EXPECT_EQ(DrawThemeParentBackground(parent, canvas.DC(), &r), E_FAIL) << "a top-level window has no parent";
}

}  // namespace
