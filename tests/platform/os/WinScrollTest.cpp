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

}  // namespace
