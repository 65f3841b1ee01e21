// The message queue: send versus post, filters, translation, quit and nested loops, and hooks.
#include "WinTestSupport.h"

#include "platform/rtl/SysUtils.h"

namespace {

class WinMessagesTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Hooked().clear();
  }
  static std::vector<std::string>& Hooked() {
    static std::vector<std::string> h;
    return h;
  }
};

TEST_F(WinMessagesTest, SentMessagesRunAtOncePostedOnesWaitForTheLoopInOrder) {
  HWND w = Top(0, 0, 10, 10);
  MsgLog().clear();
  PostMessage(w, WM_USER + 1, 1, 0);
  PostMessage(w, WM_USER + 2, 2, 0);
  EXPECT_EQ(SendMessage(w, WM_USER + 3, 3, 0), 0);
  EXPECT_EQ(Names(w), (TStrings{"USER+3"}));
  Pump();
  EXPECT_EQ(Names(w, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}), (TStrings{"USER+3", "USER+1", "USER+2"}));
  EXPECT_EQ(WM_USER + 1, 1025u);
}

TEST_F(WinMessagesTest, SendMessageIsReentrantAndReturnsTheProceduresResult) {
  HWND w = Top(0, 0, 10, 10);
  MsgHandler() = [](HWND h, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
    if (msg != WM_USER) return false;
    r = wp == 0 ? 1 : static_cast<LRESULT>(wp) * SendMessage(h, WM_USER, wp - 1, 0);
    return true;
  };
  EXPECT_EQ(SendMessage(w, WM_USER, 5, 0), 120);
}

TEST_F(WinMessagesTest, PeekFiltersByWindowAndRangeAndCanLeaveTheMessage) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(0, 0, 10, 10);
  HWND ac = Child(a, 0, 0, 5, 5);
  Pump();
  PostMessage(b, WM_USER + 1, 0, 0);
  PostMessage(ac, WM_USER + 2, 0, 0);
  PostMessage(a, WM_USER + 3, 0, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 4, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.hwnd, ac) << "a window filter takes its children's messages too";
  ASSERT_TRUE(PeekMessage(&m, a, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 3);
  ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 4);
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinMessagesTest, QueuedMessagesOfADestroyedWindowAreDropped) {
  HWND w = Top(0, 0, 10, 10);
  PostMessage(w, WM_USER, 0, 0);
  DestroyWindow(w);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(DispatchMessage(&m), 0);
}

TEST_F(WinMessagesTest, KeyDownIsFollowedByItsCharacterBeforeLaterInput) {
  HWND w = Top(0, 0, 10, 10);
  Pump();
  MsgLog().clear();
  Headless::PressKey('A', skShift);
  Headless::PressKey('1');
  Headless::PressKey(VK_RETURN);
  Pump();
  std::vector<std::string> got;
  for (const TLoggedMsg& m : MsgLog())
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_CHAR || m.Msg == WM_KEYUP)
      got.push_back(MsgName(m.Msg) + (m.Msg == WM_CHAR ? std::string(1, static_cast<char>(m.W)) : std::to_string(m.W)));
  EXPECT_EQ(got, (TStrings{"KEYDOWN16", "KEYDOWN65", "CHARA", "KEYUP65", "KEYUP16", "KEYDOWN49", "CHAR1", "KEYUP49",
                           "KEYDOWN13", "CHAR\r", "KEYUP13"}));
  (void)w;
}

TEST_F(WinMessagesTest, GetMessageEndsOnQuitAndWaitsOnTimersUnderTheFakeClock) {
  HWND w = Top(0, 0, 10, 10);
  SetTimer(w, 1, 250, nullptr);
  DWORD start = GetTickCount();
  int ticks = 0;
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) {
    if (m.message == WM_TIMER && ++ticks == 3) PostQuitMessage(7);
    DispatchMessage(&m);
  }
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(GetTickCount() - start, 750u);
}

TEST_F(WinMessagesTest, GetMessageWithNothingToWaitForRaisesInsteadOfHanging) {
  Top(0, 0, 10, 10);
  Pump();
  MSG m;
  EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), EInvalidOperation);
}

// A modal loop in the style of the popups: it pumps until its window goes away and passes a
// quit request on to the outer loop by posting it again.
bool RunModalLoop(HWND modal) {
  MSG m;
  while (IsWindow(modal)) {
    if (!GetMessage(&m, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return false;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return true;
}

TEST_F(WinMessagesTest, NestedModalLoopsEndOnQuitRepostedToTheOuterLoop) {
  HWND main = Top(0, 0, 100, 100);
  HWND popup = Top(10, 10, 50, 50);
  std::vector<std::string> steps;
  Headless::SetIdleHandler([&] {
    steps.push_back("idle");
    if (steps.size() == 1) PostMessage(popup, WM_USER + 1, 0, 0);
    if (steps.size() == 2) PostQuitMessage(3);
  });
  EXPECT_FALSE(RunModalLoop(popup));
  steps.push_back("inner ended");
  MSG m;
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(steps, (TStrings{"idle", "idle", "inner ended"}));
  EXPECT_EQ(Count(WM_USER + 1, popup), 1);
  EXPECT_TRUE(IsWindow(main));
}

TEST_F(WinMessagesTest, ModalLoopEndsWhenItsWindowCloses) {
  Top(0, 0, 100, 100);
  HWND popup = Top(10, 10, 50, 50);
  Headless::SetIdleHandler([&] { PostMessage(popup, WM_CLOSE, 0, 0); });
  EXPECT_TRUE(RunModalLoop(popup));
  EXPECT_FALSE(IsWindow(popup));
}

LRESULT CALLBACK_GetMessage(int code, WPARAM wp, LPARAM lp);
HHOOK gGetMessageHook = nullptr;

LRESULT CALLBACK_GetMessage(int code, WPARAM wp, LPARAM lp) {
  auto* m = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && m->message == WM_USER + 2) m->message = WM_NULL;  // eaten
  return CallNextHookEx(gGetMessageHook, code, wp, lp);
}

TEST_F(WinMessagesTest, GetMessageHookSeesAndEatsPostedMessages) {
  HWND w = Top(0, 0, 10, 10);
  Pump();
  gGetMessageHook = SetWindowsHookEx(WH_GETMESSAGE, CALLBACK_GetMessage, nullptr, GetCurrentThreadId());
  ASSERT_NE(gGetMessageHook, nullptr);
  MsgLog().clear();
  PostMessage(w, WM_USER + 1, 0, 0);
  PostMessage(w, WM_USER + 2, 0, 0);
  Pump();
  EXPECT_EQ(Names(w), (TStrings{"USER+1", "NULL"})) << "an eaten message arrives as WM_NULL";
  EXPECT_TRUE(UnhookWindowsHookEx(gGetMessageHook));
  EXPECT_FALSE(UnhookWindowsHookEx(gGetMessageHook));
  PostMessage(w, WM_USER + 2, 0, 0);
  Pump();
  EXPECT_EQ(Names(w), (TStrings{"USER+1", "NULL", "USER+2"}));
}

HHOOK gFirst = nullptr, gSecond = nullptr;
std::vector<std::string>* gHookTrace = nullptr;

LRESULT FirstCallWndProc(int code, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<CWPSTRUCT*>(lp);
  if (c->message == WM_USER) gHookTrace->push_back("first");
  return CallNextHookEx(gFirst, code, wp, lp);
}

LRESULT SecondCallWndProc(int code, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<CWPSTRUCT*>(lp);
  if (c->message == WM_USER) {
    gHookTrace->push_back("second");
    UnhookWindowsHookEx(gSecond);  // unhooking inside the chain is safe
  }
  return CallNextHookEx(gSecond, code, wp, lp);
}

TEST_F(WinMessagesTest, CallWndProcHooksRunNewestFirstBeforeTheProcedure) {
  HWND w = Top(0, 0, 10, 10);
  std::vector<std::string> trace;
  gHookTrace = &trace;
  gFirst = SetWindowsHookEx(WH_CALLWNDPROC, FirstCallWndProc, nullptr, 0);
  gSecond = SetWindowsHookEx(WH_CALLWNDPROC, SecondCallWndProc, nullptr, 0);
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_USER) trace.push_back("proc");
    return false;
  };
  SendMessage(w, WM_USER, 0, 0);
  SendMessage(w, WM_USER, 0, 0);
  EXPECT_EQ(trace, (TStrings{"second", "first", "proc", "first", "proc"}));
  PostMessage(w, WM_USER, 0, 0);
  Pump();
  EXPECT_EQ(trace.size(), 6u) << "posted messages do not pass the send hooks";
  UnhookWindowsHookEx(gFirst);
  EXPECT_EQ(SetWindowsHookEx(WH_CALLWNDPROC, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(SetWindowsHookEx(99, FirstCallWndProc, nullptr, 0), nullptr);
}

std::vector<std::string>* gInputTrace = nullptr;

LRESULT EatRightClicks(int code, WPARAM wp, LPARAM lp) {
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lp);
  if (code == HC_ACTION) gInputTrace->push_back("mouse " + MsgName(static_cast<UINT>(wp)) + " " + std::to_string(mh->pt.X));
  return wp == WM_RBUTTONDOWN || wp == WM_RBUTTONUP ? 1 : 0;
}

LRESULT EatEscape(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) gInputTrace->push_back("key " + std::to_string(wp) + ((lp & KF_UP_BIT) ? " up" : " down"));
  return wp == VK_ESCAPE ? 1 : 0;
}

TEST_F(WinMessagesTest, MouseAndKeyboardHooksSeeInputAndCanDiscardIt) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  std::vector<std::string> trace;
  gInputTrace = &trace;
  HHOOK mouse = SetWindowsHookEx(WH_MOUSE, EatRightClicks, nullptr, 0);
  HHOOK keys = SetWindowsHookEx(WH_KEYBOARD, EatEscape, nullptr, 0);
  MsgLog().clear();
  Headless::Click(20, 30, 1);
  Headless::Click(20, 30, 0);
  Headless::PressKey(VK_ESCAPE);
  Headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(Only({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYUP, WM_CHAR}),
            (TStrings{"LBUTTONDOWN", "LBUTTONUP", "KEYDOWN", "CHAR", "KEYUP"}));
  EXPECT_EQ(trace, (TStrings{"mouse MOUSEMOVE 20", "mouse RBUTTONDOWN 20", "mouse RBUTTONUP 20", "mouse LBUTTONDOWN 20",
                             "mouse LBUTTONUP 20", "key 27 down", "key 27 up", "key 32 down", "key 32 up"}));
  UnhookWindowsHookEx(mouse);
  UnhookWindowsHookEx(keys);
  (void)w;
}

TEST_F(WinMessagesTest, TimerProceduresAndThreadTimersRunThroughDispatch) {
  static std::vector<UINT_PTR> fired;
  fired.clear();
  HWND w = Top(0, 0, 10, 10);
  Pump();
  TIMERPROC proc = [](HWND, UINT, UINT_PTR id, DWORD) { fired.push_back(id); };
  UINT_PTR thread = SetTimer(nullptr, 0, 100, proc);
  ASSERT_NE(thread, 0u);
  EXPECT_EQ(SetTimer(w, 5, 40, nullptr), 5u);
  MsgLog().clear();
  Headless::AdvanceClock(99);
  Pump();
  EXPECT_TRUE(fired.empty());
  EXPECT_EQ(Count(WM_TIMER, w), 1) << "one WM_TIMER however late the loop is";
  Headless::AdvanceClock(1);
  Pump();
  EXPECT_EQ(fired, (std::vector<UINT_PTR>{thread}));
  EXPECT_TRUE(KillTimer(nullptr, thread));
  EXPECT_FALSE(KillTimer(nullptr, thread));
  EXPECT_EQ(SetTimer(w, 5, 1000, nullptr), 5u) << "setting again replaces the timer";
  Headless::AdvanceClock(500);
  Pump();
  EXPECT_EQ(Count(WM_TIMER, w), 1);
  Headless::AdvanceClock(500);
  Pump();
  EXPECT_EQ(Count(WM_TIMER, w), 2);
  DestroyWindow(w);
  Headless::AdvanceClock(5000);
  Pump();
  EXPECT_EQ(fired.size(), 1u);
}

TEST_F(WinMessagesTest, BroadcastReachesEveryTopLevelWindow) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(0, 0, 10, 10, WS_POPUP);
  Child(a, 0, 0, 5, 5);
  MsgLog().clear();
  BroadcastSettingChange(0, "intl");
  BroadcastSysColorChange();
  BroadcastThemeChange();
  EXPECT_EQ(Only({WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_THEMECHANGED}, {{a, "a"}, {b, "b"}}),
            (TStrings{"b:SETTINGCHANGE", "a:SETTINGCHANGE", "b:SYSCOLORCHANGE", "a:SYSCOLORCHANGE", "b:THEMECHANGED",
                      "a:THEMECHANGED"}));
  EXPECT_STREQ(reinterpret_cast<const char*>(Last(WM_SETTINGCHANGE, a)->L), "intl");
  EXPECT_EQ(RegisterWindowMessage("QJ.Msg"), RegisterWindowMessage("qj.msg"));
  EXPECT_GE(RegisterWindowMessage("QJ.Msg"), 0xC000u);
}

}  // namespace

#include <thread>

#include "platform/rtl/Threads.h"

namespace {

class WinThreadMessagesTest : public TWinTest {};

TEST_F(WinThreadMessagesTest, OtherThreadsPostAndSynchronizeThroughTheQueue) {
  HWND w = Top(0, 0, 10, 10);
  Pump();
  Headless::SetThreadWait(5000);
  MsgLog().clear();
  bool ranOnGui = false;
  DWORD gui = GetCurrentThreadId();
  EXPECT_EQ(GetWindowThreadProcessId(w, nullptr), gui);
  std::thread worker([&] {
    EXPECT_TRUE(PostMessage(w, WM_USER + 1, 42, 0));
    EXPECT_FALSE(PostThreadMessage(GetCurrentThreadId(), WM_USER, 0, 0)) << "this thread has no queue";
    TThread::Synchronize(nullptr, [&] { ranOnGui = GetCurrentThreadId() == gui; });
    PostMessage(w, WM_USER + 2, 0, 0);
  });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) {
    DispatchMessage(&m);
    if (m.message == WM_USER + 2) break;
  }
  worker.join();
  EXPECT_EQ(Names(w), (TStrings{"USER+1", "USER+2"}));
  EXPECT_EQ(Last(WM_USER + 1, w)->W, 42u);
  EXPECT_TRUE(ranOnGui);
}

}  // namespace
