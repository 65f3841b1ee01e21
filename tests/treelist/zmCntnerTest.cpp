// The container's wheel scrolling and flat scroll bars, the hint window's size and place, and the
// removal of a pending message.
#include "zmTestSupport.h"

namespace {

using zmContainer = TzmEditorTest;

TEST_F(zmContainer, WheelMovementAddsUpToWholeNotches) {
  TPoint p = At(Container, {50, 50});
  Headless::MoveMouse(p.X, p.Y);
  Integer lines = Mouse->GetWheelScrollLines();
  Headless::Wheel(WHEEL_DELTA / 2);
  Pump();
  EXPECT_TRUE(Container->Scrolls.empty()) << "half a notch scrolls nothing yet";
  Headless::Wheel(WHEEL_DELTA / 2);
  Pump();
  EXPECT_EQ(Container->Scrolls, std::vector<int>(lines, 1)) << "the second half completes a notch up";
  Container->Scrolls.clear();
  Headless::Wheel(-2 * WHEEL_DELTA);
  Pump();
  EXPECT_EQ(Container->Scrolls, std::vector<int>(2 * lines, -1)) << "two notches at once scroll twice as far";
  Container->Scrolls.clear();
  Headless::Wheel(0);
  Pump();
  EXPECT_TRUE(Container->Scrolls.empty()) << "no movement, no scrolling";
}

TEST_F(zmContainer, FlatScrollModeReachesBothBars) {
  Container->SetFlatScrollMode(zmfsFlat);
  int vert = -1, horz = -1;
  FlatSB_GetScrollProp(Container->GetHandle(), WSB_PROP_VSTYLE, &vert);
  FlatSB_GetScrollProp(Container->GetHandle(), WSB_PROP_HSTYLE, &horz);
  EXPECT_EQ(vert, FSB_FLAT_MODE);
  EXPECT_EQ(horz, FSB_FLAT_MODE);
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMax = 50;
  info.nPos = 7;
  Container->SetScrollInfo(SB_VERT, info, false);
  SCROLLINFO read;
  read.fMask = SIF_POS;
  EXPECT_TRUE(Container->GetScrollInfo(SB_VERT, read));
  EXPECT_EQ(read.nPos, 7);
}

TEST_F(zmContainer, EditorsGetTheContainersStyleAndInitializingBrackets) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  EXPECT_EQ(edit->GetContainer(), Container);
  EXPECT_TRUE(edit->GetStyle()->IsExactly<TzmEditStyle>());
  Container->BeginInitEdit();
  EXPECT_TRUE(Container->GetEditorInitializing());
  Container->EndInitEdit();
  EXPECT_FALSE(Container->GetEditorInitializing());
  EXPECT_EQ(Container->GetEditorLookAndFeelKind(), 2);
}

// ------------------------------------------------------------------ hint window

class zmHintWindow : public TzmEditorTest {
 protected:
  TzmContainerHintWindow* Hint() {
    if (!FHint) FHint = New<TzmContainerHintWindow>(Form);
    return FHint;
  }
  TRect Shown() {
    RECT r;
    GetWindowRect(Hint()->GetHandle(), &r);
    return r;
  }
  TzmContainerHintWindow* FHint = nullptr;
};

TEST_F(zmHintWindow, SizedToTheTextAndShownWithoutTakingTheFocus) {
  HWND focus = GetFocus();
  Hint()->ShowHint({200, 150}, "Cell text", Form->GetFont());
  TRect r = Shown();
  EXPECT_EQ(r.TopLeft(), Point(200, 150));
  EXPECT_GT(r.Width(), 6);
  EXPECT_GT(r.Height(), 6);
  EXPECT_TRUE(IsWindowVisible(Hint()->GetHandle()));
  EXPECT_EQ(GetFocus(), focus);
  EXPECT_EQ(Hint()->Perform(WM_NCHITTEST, 0, MAKELPARAM(205, 155)), HTTRANSPARENT);
}

TEST_F(zmHintWindow, StaysInsideTheWorkArea) {
  TRect work = Screen->GetWorkAreaRect();
  Hint()->ShowHint({work.Right - 3, work.Bottom - 2}, "Near the corner", Form->GetFont());
  TRect r = Shown();
  EXPECT_EQ(r.Right, work.Right);
  EXPECT_EQ(r.Bottom, work.Bottom);
  Hint()->ShowHintEx({-40, -40}, 100, "Off the top left", Form->GetFont(), false);
  EXPECT_EQ(Shown().TopLeft(), work.TopLeft());
}

TEST_F(zmHintWindow, AWideTextWrapsAtTheScreenWidthAndStartsAtTheLeftEdge) {
  String text;
  for (int i = 0; i < 400; ++i) text += "word ";
  Hint()->ShowHintEx({300, 10}, 0, text, Form->GetFont(), false);
  TRect r = Shown();
  EXPECT_LE(r.Width(), Screen->GetWidth() + 6);
  EXPECT_GT(r.Height(), 40) << "wrapped onto several lines";
  Hint()->ShowHintEx({300, 10}, 0, String(600, 'W'), Form->GetFont(), false);
  EXPECT_GT(Shown().Width(), Screen->GetWidth()) << "one word wider than the screen";
  EXPECT_EQ(Shown().Left, Screen->GetWorkAreaRect().Left);
}

TEST_F(zmHintWindow, TheFontSizeIsTakenOnlyWhenAsked) {
  TFont big;
  big.SetSize(30);
  Hint()->ShowHintEx({10, 10}, 500, "Text", &big, false);
  Integer small = Shown().Height();
  Hint()->ShowHintEx({10, 10}, 500, "Text", &big, true);
  EXPECT_GT(Shown().Height(), small);
}

// ------------------------------------------------------------------ pending messages

using zmPendingMessage = TzmEditorTest;

TEST_F(zmPendingMessage, RemovesTheFirstMatchingMessageOnly) {
  HWND wnd = Container->GetHandle();
  PostMessage(wnd, WM_USER + 1, 1, 0);
  PostMessage(wnd, WM_USER + 2, 0, 0);
  PostMessage(wnd, WM_USER + 1, 2, 0);
  RemovePendingMessage(wnd, WM_USER + 1);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, wnd, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_FALSE(PeekMessage(&msg, wnd, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  RemovePendingMessage(wnd, WM_USER + 3);
  EXPECT_TRUE(PeekMessage(&msg, wnd, WM_USER + 2, WM_USER + 2, PM_REMOVE)) << "no match leaves the queue alone";
}

TEST_F(zmPendingMessage, ARemovedQuitIsPostedAgain) {
  PostQuitMessage(3);
  RemovePendingMessage(nullptr, WM_QUIT);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
