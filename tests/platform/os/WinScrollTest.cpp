// Scroll bars of the frame: state and its limits, geometry, and clicks that scroll.
#include "WinTestSupport.h"

namespace {

class WinScrollTest : public TWinTest {};

struct TScrollCase {
  int Min, Max;
  UINT Page;
  int Pos;
  int Expected;
};

TEST_F(WinScrollTest, PositionStaysWithinTheRangeLessThePage) {
  HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  const TScrollCase cases[] = {
      {0, 100, 0, 50, 50}, {0, 100, 0, 150, 100}, {0, 100, 0, -5, 0}, {0, 100, 11, 95, 90},
      {10, 20, 0, 5, 10},  {0, 9, 20, 5, 0},      {5, 3, 0, 4, 5},
  };
  for (const TScrollCase& c : cases) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = c.Min;
    si.nMax = c.Max;
    si.nPage = c.Page;
    si.nPos = c.Pos;
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), c.Expected) << c.Min << ".." << c.Max << " page " << c.Page;
    EXPECT_EQ(GetScrollPos(w, SB_VERT), c.Expected);
  }
  SCROLLINFO bad;
  bad.cbSize = 3;
  EXPECT_FALSE(GetScrollInfo(w, SB_VERT, &bad));
  EXPECT_EQ(SetScrollInfo(w, 7, &bad, TRUE), 0);
  SetScrollRange(w, SB_VERT, 0, 50, FALSE);
  EXPECT_EQ(SetScrollPos(w, SB_VERT, 20, TRUE), 5);
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(w, SB_VERT, &lo, &hi));
  EXPECT_EQ(hi, 50);
}

TEST_F(WinScrollTest, BarInfoGivesTheScreenRectangleAndState) {
  HWND w = Top(100, 100, 200, 150, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rcScrollBar, Rect(283, 100, 300, 250));
  EXPECT_EQ(sbi.dxyLineButton, 17);
  EXPECT_EQ(sbi.rgstate[0], 0u);
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  SetScrollRange(w, SB_VERT, 0, 0, TRUE);
  GetScrollBarInfo(w, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_TRUE(ShowScrollBar(w, SB_BOTH, FALSE));
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c, Rect(0, 0, 200, 150)) << "hiding the bars gives their room to the client";
  EXPECT_FALSE(GetScrollBarInfo(w, OBJID_CLIENT, &sbi));
}

// The state is the bar's own: a child of a hidden top-level window reports the bar it shows
// with, and a hidden window or a hidden bar reports an invisible one.
TEST_F(WinScrollTest, BarInfoOfAWindowInAHiddenParentIsTheBarsOwn) {
  HWND top = Top(100, 100, 200, 150, WS_POPUP);
  HWND child = Child(top, 10, 10, 100, 100, WS_CHILD | WS_VISIBLE | WS_VSCROLL);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(child, OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
  EXPECT_EQ(sbi.rcScrollBar, Rect(193, 110, 210, 210));
  ShowWindow(child, SW_HIDE);
  GetScrollBarInfo(child, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  ShowWindow(child, SW_SHOW);
  ShowScrollBar(child, SB_VERT, FALSE);
  GetScrollBarInfo(child, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
}

TEST_F(WinScrollTest, ClicksOnTheBarSendScrollCodesByPart) {
  HWND w = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 45;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  Pump();
  SCROLLBARINFO sbi;
  GetScrollBarInfo(w, OBJID_VSCROLL, &sbi);
  const std::pair<int, WORD> clicks[] = {{5, SB_LINEUP},
                                         {195, SB_LINEDOWN},
                                         {sbi.xyThumbTop - 2, SB_PAGEUP},
                                         {sbi.xyThumbBottom + 2, SB_PAGEDOWN},
                                         {(sbi.xyThumbTop + sbi.xyThumbBottom) / 2, SB_THUMBPOSITION}};
  for (auto [y, code] : clicks) {
    MsgLog().clear();
    Headless::AdvanceClock(1000);
    Headless::Click(190, y);
    Pump();
    std::vector<WORD> codes;
    for (const TLoggedMsg& m : MsgLog())
      if (m.Msg == WM_VSCROLL) codes.push_back(LOWORD(m.W));
    EXPECT_EQ(codes, (std::vector<WORD>{code, SB_ENDSCROLL})) << "at " << y;
  }
}

TEST_F(WinScrollTest, QuickClicksOnAnArrowEachScroll) {
  HWND w = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SetScrollRange(w, SB_VERT, 0, 99, TRUE);
  Pump();
  MsgLog().clear();
  Headless::DoubleClick(190, 195);
  Pump();
  std::vector<WORD> codes;
  for (const TLoggedMsg& m : MsgLog())
    if (m.Msg == WM_VSCROLL) codes.push_back(LOWORD(m.W));
  EXPECT_EQ(codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL}));
}

// The codes of the WM_VSCROLL messages recorded, with the position word for thumb messages.
std::vector<std::pair<WORD, int>> VScrolls() {
  std::vector<std::pair<WORD, int>> out;
  for (const TLoggedMsg& m : MsgLog())
    if (m.Msg == WM_VSCROLL) {
      WORD code = LOWORD(m.W);
      out.push_back({code, code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? int(HIWORD(m.W)) : 0});
    }
  return out;
}

HWND ScrolledWindow(int pos) {
  HWND w = CreateWindowEx(0, "QJDbl", "top", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 200, nullptr, nullptr,
                          nullptr, nullptr);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = pos;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  return w;
}

TEST_F(WinScrollTest, TheTrackIsCheckeredSoTheThumbStandsOut) {
  HWND w = ScrolledWindow(50);
  Pump();
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
  const TSurface& s = *Headless::WindowSurface(w);
  auto pixel = [&](int x, int y) { return s.Row(y)[x] & 0xFFFFFF; };
  auto sys = [](int index) {
    COLORREF c = GetSysColor(index);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  };
  const int x = sbi.rcScrollBar.Left + 8, track = sbi.rcScrollBar.Top + sbi.dxyLineButton + 3;
  EXPECT_EQ(pixel(x, track) == sys(COLOR_BTNHIGHLIGHT) ? pixel(x + 1, track) : pixel(x, track), sys(COLOR_SCROLLBAR));
  EXPECT_NE(pixel(x, track), pixel(x + 1, track)) << "the track's pixels alternate";
  EXPECT_NE(pixel(x, track), pixel(x, track + 1));
  const int thumb = sbi.rcScrollBar.Top + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  EXPECT_EQ(pixel(x, thumb), sys(COLOR_BTNFACE)) << "the thumb is one face";
  EXPECT_EQ(pixel(x + 1, thumb), sys(COLOR_BTNFACE));
}

TEST_F(WinScrollTest, DraggingTheThumbTracksAndEndsAtTheDropPosition) {
  HWND w = ScrolledWindow(0);
  Pump();
  SCROLLBARINFO sbi;
  GetScrollBarInfo(w, OBJID_VSCROLL, &sbi);
  int grab = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  std::vector<int> trackPositions;
  MsgHandler() = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
    if (msg == WM_VSCROLL && LOWORD(wp) == SB_THUMBTRACK) {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      GetScrollInfo(w, SB_VERT, &si);
      trackPositions.push_back(si.nTrackPos);
      EXPECT_EQ(si.nPos, 0) << "the position changes only when the window scrolls";
    }
    return false;
  };
  // The moves come one at a time while the loop waits, as a hand would make them.
  RunWhenIdle({[&] { Headless::MoveMouse(190, grab + 40); }, [&] { Headless::MoveMouse(190, grab + 80); },
               [&] { Headless::MoveMouse(190, 400); }, [] { Headless::MouseUp(); }});
  MsgLog().clear();
  Headless::MoveMouse(190, grab);
  Headless::MouseDown();
  Pump();
  Headless::SetIdleHandler(nullptr);
  auto codes = VScrolls();
  ASSERT_EQ(codes.size(), 5u);
  EXPECT_EQ(codes[0].first, SB_THUMBTRACK);
  EXPECT_GT(codes[0].second, 0);
  EXPECT_GT(codes[1].second, codes[0].second);
  EXPECT_EQ(codes[2], std::make_pair(WORD(SB_THUMBTRACK), 90)) << "past the end the thumb stops at the last page";
  EXPECT_EQ(codes[3], std::make_pair(WORD(SB_THUMBPOSITION), 90));
  EXPECT_EQ(codes[4].first, SB_ENDSCROLL);
  EXPECT_EQ(trackPositions, (std::vector<int>{codes[0].second, codes[1].second, 90}));
  EXPECT_EQ(GetCapture(), nullptr);
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(w, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 0) << "after the drag the track position is the position again";
}

TEST_F(WinScrollTest, HoldingAnArrowRepeatsOnTheTimer) {
  HWND w = ScrolledWindow(50);
  Pump();
  int idle = 0;
  Headless::SetIdleHandler([&] {
    if (++idle == 5) Headless::MouseUp();
  });
  MsgLog().clear();
  DWORD start = GetTickCount();
  Headless::MoveMouse(190, 195);
  Headless::MouseDown();
  Pump();
  Headless::SetIdleHandler(nullptr);
  std::vector<std::pair<WORD, int>> expected(5, {WORD(SB_LINEDOWN), 0});
  expected.push_back({WORD(SB_ENDSCROLL), 0});
  EXPECT_EQ(VScrolls(), expected);
  EXPECT_EQ(GetTickCount() - start, 250u + 3 * 50u) << "a first pause, then a steady rate";
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(WinScrollTest, HoldingThePageAreaStopsWhenTheThumbReachesThePointer) {
  HWND w = ScrolledWindow(0);
  Pump();
  MsgHandler() = [&](HWND h, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
    if (msg == WM_VSCROLL && LOWORD(wp) == SB_PAGEDOWN) SetScrollPos(h, SB_VERT, GetScrollPos(h, SB_VERT) + 10, TRUE);
    return false;
  };
  int idle = 0;
  Headless::SetIdleHandler([&] {
    if (++idle == 20) Headless::MouseUp();
  });
  MsgLog().clear();
  Headless::MoveMouse(190, 120);
  Headless::MouseDown();
  Pump();
  Headless::SetIdleHandler(nullptr);
  SCROLLBARINFO sbi;
  GetScrollBarInfo(w, OBJID_VSCROLL, &sbi);
  EXPECT_LE(sbi.xyThumbTop, 120);
  EXPECT_GT(sbi.xyThumbBottom, 120) << "the thumb came to the pointer and stopped there";
  int pages = 0;
  for (auto [code, pos] : VScrolls()) pages += code == SB_PAGEDOWN;
  EXPECT_EQ(pages, GetScrollPos(w, SB_VERT) / 10);
  EXPECT_LT(pages, 19);
}

TEST_F(WinScrollTest, DisabledArrowsIgnoreClicksAndFlatBarsMapToTheFrameBars) {
  HWND w = ScrolledWindow(50);
  Pump();
  EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_LTUP));
  EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_LTUP)) << "no change answers FALSE";
  EXPECT_FALSE(EnableScrollBar(w, 9, ESB_ENABLE_BOTH));
  MsgLog().clear();
  Headless::Click(190, 5);
  Headless::AdvanceClock(1000);
  Headless::Click(190, 195);
  Pump();
  EXPECT_EQ(VScrolls(), (std::vector<std::pair<WORD, int>>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));

  EXPECT_TRUE(InitializeFlatSB(w));
  EXPECT_EQ(FlatSB_SetScrollPos(w, SB_VERT, 70, TRUE), 50);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 70);
  int value = 0;
  EXPECT_TRUE(FlatSB_GetScrollProp(w, WSB_PROP_CXVSCROLL, &value));
  EXPECT_EQ(value, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(FlatSB_SetScrollProp(w, WSB_PROP_CXVSCROLL, 0, TRUE));
  EXPECT_TRUE(FlatSB_GetScrollProp(w, WSB_PROP_CXVSCROLL, &value));
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(FlatSB_GetScrollProp(w, 3, &value)) << "not a single property";
  EXPECT_FALSE(FlatSB_SetScrollProp(nullptr, WSB_PROP_CXVSCROLL, 1, TRUE));
}

}  // namespace
