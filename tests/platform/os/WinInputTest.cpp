// Input: focus and activation pairs, mouse routing by hit testing and capture, double clicks,
// mouse leave tracking, key messages and key state, caret and cursors.
#include "WinTestSupport.h"

#include "platform/os/Gdi.h"

namespace {

class WinInputTest : public TWinTest {};

const std::set<UINT> kFocusAndActivation = {WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATE, WM_NCACTIVATE, WM_ACTIVATEAPP,
                                            WM_MOUSEACTIVATE};

TEST_F(WinInputTest, FocusChangesComeInPairsNamingTheOtherWindow) {
  HWND top = Top(0, 0, 200, 200);
  HWND a = Child(top, 0, 0, 50, 50);
  HWND b = Child(top, 60, 0, 50, 50);
  EXPECT_EQ(SetFocus(a), top);
  MsgLog().clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Only(kFocusAndActivation, {{a, "a"}, {b, "b"}}), (TStrings{"a:KILLFOCUS", "b:SETFOCUS"}));
  EXPECT_EQ(reinterpret_cast<HWND>(Last(WM_KILLFOCUS, a)->W), b);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(WM_SETFOCUS, b)->W), a);
  EXPECT_EQ(GetFocus(), b);
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr) << "disabling the focus window takes the focus away";
  EXPECT_EQ(SetFocus(b), nullptr) << "a disabled window cannot take the focus";
  SetFocus(a);
  DestroyWindow(a);
  EXPECT_EQ(GetFocus(), top) << "the focus falls back to the parent of a destroyed window";
}

TEST_F(WinInputTest, ActivationMovesBetweenTopLevelWindowsInPlatformOrder) {
  HWND one = Top(0, 0, 100, 100);
  HWND oneChild = Child(one, 0, 0, 10, 10);
  SetFocus(oneChild);
  HWND two = Top(200, 0, 100, 100, WS_POPUP);
  MsgLog().clear();
  EXPECT_EQ(SetActiveWindow(two), one);
  EXPECT_EQ(Only(kFocusAndActivation, {{one, "one"}, {oneChild, "child"}, {two, "two"}}),
            (TStrings{"one:NCACTIVATE", "one:ACTIVATE", "two:NCACTIVATE", "two:ACTIVATE", "child:KILLFOCUS",
                      "two:SETFOCUS"}));
  EXPECT_EQ(LOWORD(Last(WM_ACTIVATE, one)->W), WA_INACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(WM_ACTIVATE, one)->L), two);
  EXPECT_EQ(LOWORD(Last(WM_ACTIVATE, two)->W), WA_ACTIVE);
  EXPECT_EQ(GetTopWindow(nullptr), two);
  MsgLog().clear();
  DestroyWindow(two);
  EXPECT_EQ(GetActiveWindow(), one) << "the next window takes over";
  MsgLog().clear();
  SetActiveWindow(nullptr);
  EXPECT_EQ(Only({WM_ACTIVATEAPP}), (TStrings{"ACTIVATEAPP"}));
  EXPECT_EQ(Last(WM_ACTIVATEAPP)->W, static_cast<WPARAM>(FALSE));
}

TEST_F(WinInputTest, ClickingAnInactiveWindowAsksForMouseActivation) {
  HWND one = Top(0, 0, 100, 100);
  HWND two = Top(200, 0, 100, 100);
  HWND button = Child(one, 10, 10, 20, 20);
  Pump();
  MsgLog().clear();
  Headless::Click(15, 15);
  Pump();
  EXPECT_EQ(GetActiveWindow(), one);
  EXPECT_EQ(Only({WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP}, {{one, "one"}, {two, "two"}, {button, "button"}}),
            (TStrings{"button:SETCURSOR", "one:SETCURSOR", "button:MOUSEACTIVATE", "one:MOUSEACTIVATE", "two:ACTIVATE",
                      "one:ACTIVATE", "button:SETCURSOR", "one:SETCURSOR", "button:LBUTTONDOWN", "button:SETCURSOR",
                      "one:SETCURSOR", "button:LBUTTONUP"}));
  EXPECT_EQ(LOWORD(Last(WM_ACTIVATE, one)->W), WA_CLICKACTIVE);
  EXPECT_EQ(Last(WM_LBUTTONDOWN, button)->L, MAKELPARAM(5, 5));

  MsgHandler() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
    if (msg != WM_MOUSEACTIVATE) return false;
    r = MA_NOACTIVATEANDEAT;
    return true;
  };
  MsgLog().clear();
  Headless::Click(250, 50);
  Pump();
  EXPECT_EQ(GetActiveWindow(), one);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(WM_LBUTTONUP), 1) << "only the press is eaten";
}

TEST_F(WinInputTest, MouseMessagesCarryKeyFlagsAndNonClientHitCodes) {
  HWND w = Top(100, 100, 200, 200, WS_POPUP | WS_VISIBLE | WS_CAPTION);
  Pump();
  MsgLog().clear();
  Headless::KeyDown(VK_SHIFT);
  Headless::MoveMouse(150, 150);
  Headless::MouseDown(0);
  Headless::MoveMouse(160, 150);
  Headless::MouseUp(0);
  Headless::KeyUp(VK_SHIFT);
  Headless::Click(150, 110);
  Pump();
  std::vector<std::string> got;
  for (const TLoggedMsg& m : MsgLog())
    if ((m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) || (m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCMBUTTONDBLCLK))
      got.push_back(MsgName(m.Msg) + " " + std::to_string(m.W) + " " + std::to_string(GET_X_LPARAM(m.L)) + "," +
                    std::to_string(GET_Y_LPARAM(m.L)));
  // The press on the caption starts the moving loop, which takes the release.
  EXPECT_EQ(got, (TStrings{"MOUSEMOVE 4 47,28", "LBUTTONDOWN 5 47,28", "MOUSEMOVE 5 57,28", "LBUTTONUP 4 57,28",
                           "NCMOUSEMOVE 2 150,110", "NCLBUTTONDOWN 2 150,110"}));
  (void)w;
}

TEST_F(WinInputTest, CaptureRoutesEveryMouseMessageToTheCapturingWindow) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 10, 10, 50, 50);
  HWND b = Child(top, 100, 100, 50, 50);
  Pump();
  EXPECT_EQ(SetCapture(a), nullptr);
  MsgLog().clear();
  Headless::MoveMouse(120, 120);
  Pump();
  Headless::MoveMouse(500, 500);
  Pump();
  EXPECT_EQ(Only({WM_MOUSEMOVE, WM_SETCURSOR}, {{a, "a"}, {b, "b"}}), (TStrings{"a:MOUSEMOVE", "a:MOUSEMOVE"}))
      << "no cursor query while captured";
  EXPECT_EQ(Last(WM_MOUSEMOVE, a)->L, MAKELPARAM(490, 490));
  Headless::MoveMouse(-5, -5);
  Pump();
  EXPECT_EQ(GET_X_LPARAM(Last(WM_MOUSEMOVE, a)->L), -15) << "negative client coordinates outside";
  MsgLog().clear();
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(Only({WM_CAPTURECHANGED}, {{a, "a"}}), (TStrings{"a:CAPTURECHANGED"}));
  EXPECT_EQ(reinterpret_cast<HWND>(Last(WM_CAPTURECHANGED, a)->L), b);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Last(WM_CAPTURECHANGED, b)->L, 0);
  SetCapture(a);
  SendMessage(a, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr) << "cancel mode releases the capture";
  SetCapture(b);
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinInputTest, InputIsRoutedWhenRetrievedSoACaptureTakenOnPressGetsTheRelease) {
  HWND top = Top(0, 0, 300, 300);
  HWND button = Child(top, 10, 10, 50, 50);
  Pump();
  MsgHandler() = [button](HWND w, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (w == button && msg == WM_LBUTTONDOWN) SetCapture(w);
    if (w == button && msg == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  MsgLog().clear();
  Headless::MoveMouse(20, 20);
  Headless::MouseDown(0);
  Headless::MoveMouse(200, 200);
  Headless::MouseUp(0);
  Pump();
  EXPECT_EQ(Only({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}, {{top, "top"}, {button, "button"}}),
            (TStrings{"button:MOUSEMOVE", "button:LBUTTONDOWN", "button:MOUSEMOVE", "button:LBUTTONUP"}));
  EXPECT_EQ(Last(WM_LBUTTONUP, button)->L, MAKELPARAM(190, 190));
  EXPECT_EQ(GetCapture(), nullptr);
}

struct TDoubleClickCase {
  const char* Name;
  const char* Class;
  DWORD Gap;
  int Dx;
  std::vector<std::string> Expected;
};

TEST_F(WinInputTest, DoubleClicksNeedTheClassStyleTheTimeAndThePlace) {
  const TDoubleClickCase cases[] = {
      {"quick", "QJDbl", 100, 0, {"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDBLCLK", "LBUTTONUP"}},
      {"at the limit", "QJDbl", 500, 2, {"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDBLCLK", "LBUTTONUP"}},
      {"too slow", "QJDbl", 501, 0, {"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDOWN", "LBUTTONUP"}},
      {"too far", "QJDbl", 100, 3, {"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDOWN", "LBUTTONUP"}},
      {"no class style", "QJPlain", 100, 0, {"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDOWN", "LBUTTONUP"}},
  };
  for (const TDoubleClickCase& c : cases) {
    HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, c.Class);
    Pump();
    MsgLog().clear();
    Headless::AdvanceClock(1000);
    Headless::Click(50, 50);
    Headless::AdvanceClock(c.Gap);
    Headless::Click(50 + c.Dx, 50);
    Pump();
    EXPECT_EQ(Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}), c.Expected) << c.Name;
    DestroyWindow(w);
  }
  HWND w = Top(0, 0, 100, 100);
  Pump();
  MsgLog().clear();
  Headless::Click(50, 50);
  Headless::Click(50, 50);
  Headless::Click(50, 50);
  Headless::Click(50, 50, 1);
  Pump();
  EXPECT_EQ(Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}),
            (TStrings{"LBUTTONDOWN", "LBUTTONDBLCLK", "LBUTTONDOWN", "RBUTTONDOWN"}))
      << "a third click starts again and another button does not pair";
  HWND framed = Top(200, 200, 100, 100, WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, "QJPlain");
  Pump();
  MsgLog().clear();
  Headless::DoubleClick(250, 205);
  Pump();
  EXPECT_EQ(Count(WM_NCLBUTTONDBLCLK, framed), 1) << "non-client double clicks need no class style";
  (void)w;
}

TEST_F(WinInputTest, MouseLeaveIsPostedOnceWhenTheTrackedWindowIsLeft) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 100, 100);
  Pump();
  Headless::MoveMouse(50, 50);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  EXPECT_TRUE(TrackMouseEvent(&tme));
  TRACKMOUSEEVENT query;
  query.dwFlags = TME_QUERY;
  EXPECT_TRUE(TrackMouseEvent(&query));
  EXPECT_EQ(query.hwndTrack, a);
  MsgLog().clear();
  Headless::MoveMouse(60, 60);
  Headless::MoveMouse(150, 150);
  Headless::MoveMouse(160, 160);
  Pump();
  EXPECT_EQ(Only({WM_MOUSELEAVE}, {{a, "a"}}), (TStrings{"a:MOUSELEAVE"}));
  MsgLog().clear();
  tme.hwndTrack = a;
  TrackMouseEvent(&tme);
  Pump();
  EXPECT_EQ(Count(WM_MOUSELEAVE, a), 1) << "tracking a window the mouse is not over reports leave at once";
  tme.dwFlags = TME_HOVER;
  tme.dwHoverTime = 300;
  tme.hwndTrack = top;
  TrackMouseEvent(&tme);
  Headless::AdvanceClock(299);
  Pump();
  EXPECT_EQ(Count(WM_MOUSEHOVER, top), 0);
  Headless::AdvanceClock(1);
  Pump();
  EXPECT_EQ(Count(WM_MOUSEHOVER, top), 1);
  EXPECT_EQ(Last(WM_MOUSEHOVER, top)->L, MAKELPARAM(160, 160));
}

TEST_F(WinInputTest, KeyStateFollowsRetrievedMessagesAndAsyncStateFollowsTheKeyboard) {
  Top(0, 0, 100, 100);
  Pump();
  Headless::KeyDown(VK_CONTROL);
  EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000) << "not yet retrieved";
  Pump();
  EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);
  EXPECT_TRUE(GetKeyState(VK_LCONTROL) & 0x8000);
  Headless::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
  BYTE keys[256];
  EXPECT_FALSE(GetKeyState(VK_CAPITAL) & 1);
  Headless::PressKey(VK_CAPITAL);
  Pump();
  GetKeyboardState(keys);
  EXPECT_EQ(keys[VK_CAPITAL] & 1, 1) << "Caps Lock toggles on";
  MsgLog().clear();
  Headless::TypeText("aB");
  Pump();
  std::string typed;
  for (const TLoggedMsg& m : MsgLog())
    if (m.Msg == WM_CHAR) typed += static_cast<char>(m.W);
  EXPECT_EQ(typed, "Ab") << "Caps Lock inverts the letters' case";
  Headless::PressKey(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
  EXPECT_EQ(GetKeyState(300), 0);
  EXPECT_FALSE(GetKeyboardState(nullptr));
}

TEST_F(WinInputTest, TypedTextBecomesWindows1252Characters) {
  Top(0, 0, 100, 100);
  Pump();
  MsgLog().clear();
  Headless::TypeText("x\xE9?~ \xA3");
  Headless::PressKey('C', skCtrl);
  Pump();
  std::vector<int> chars;
  for (const TLoggedMsg& m : MsgLog())
    if (m.Msg == WM_CHAR) chars.push_back(static_cast<int>(m.W));
  EXPECT_EQ(chars, (std::vector<int>{'x', 0xE9, '?', '~', ' ', 0xA3, 3}));
}

TEST_F(WinInputTest, AltKeysAreSystemKeysAndAltF4Closes) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  MsgLog().clear();
  Headless::PressKey('X', skAlt);
  Pump();
  EXPECT_EQ(Only({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR}),
            (TStrings{"SYSKEYDOWN", "SYSKEYDOWN", "SYSCHAR", "SYSKEYUP", "KEYUP"}));
  EXPECT_TRUE(Last(WM_SYSCHAR)->L & KF_ALTDOWN_BIT);
  Headless::PressKey(VK_F4, skAlt);
  Pump();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WinInputTest, WheelGoesToTheWindowUnderThePointerAndBubblesToItsParent) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 50, 50);
  HWND b = Child(top, 100, 100, 50, 50);
  SetFocus(a);
  Pump();
  MsgLog().clear();
  Headless::MoveMouse(120, 120);
  Headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(Only({WM_MOUSEWHEEL}, {{b, "b"}, {top, "top"}}), (TStrings{"b:MOUSEWHEEL", "top:MOUSEWHEEL"}));
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Last(WM_MOUSEWHEEL, b)->W), -WHEEL_DELTA);
  EXPECT_EQ(Last(WM_MOUSEWHEEL, b)->L, MAKELPARAM(120, 120)) << "wheel positions are screen positions";
}

TEST_F(WinInputTest, WheelAwayFromOurWindowsOrOverADisabledOneGoesToTheFocus) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 50, 50);
  HWND other = Top(400, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  SetFocus(a);
  Pump();
  EnableWindow(other, FALSE);
  for (TPoint p : {TPoint{900, 900}, TPoint{450, 50}}) {
    MsgLog().clear();
    Headless::MoveMouse(p.X, p.Y);
    Headless::Wheel(WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Only({WM_MOUSEWHEEL}, {{a, "a"}, {top, "top"}}), (TStrings{"a:MOUSEWHEEL", "top:MOUSEWHEEL"})) << p.X;
  }
}

TEST_F(WinInputTest, DisabledWindowsGetNoInput) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  EnableWindow(w, FALSE);
  MsgLog().clear();
  Headless::Click(10, 10);
  Headless::PressKey('A');
  Pump();
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(WM_CHAR), 0);
}

TEST_F(WinInputTest, CaretBlinksUnderTheFakeClock) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  const TSurface* s = Headless::WindowSurface(w);
  ASSERT_NE(s, nullptr);
  uint32_t before = s->Row(12)[11];
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(10, 10);
  EXPECT_EQ(s->Row(12)[11], before) << "a new caret is hidden";
  ShowCaret(w);
  EXPECT_EQ(s->Row(12)[11], before ^ 0xFFFFFFu);
  EXPECT_EQ(s->Row(12)[12], before) << "two pixels wide";
  Headless::AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(s->Row(12)[11], before);
  Headless::AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(s->Row(12)[11], before ^ 0xFFFFFFu);
  GUITHREADINFO gui;
  ASSERT_TRUE(GetGUIThreadInfo(0, &gui));
  EXPECT_EQ(gui.hwndCaret, w);
  EXPECT_EQ(gui.hwndFocus, w);
  EXPECT_EQ(gui.rcCaret, Rect(10, 10, 12, 20));
  EXPECT_EQ(gui.flags, GUI_CARETBLINKING);
  HideCaret(w);
  EXPECT_EQ(s->Row(12)[11], before);
  POINT p;
  EXPECT_TRUE(GetCaretPos(&p));
  EXPECT_EQ(p, Point(10, 10));
  EXPECT_FALSE(ShowCaret(Top(0, 0, 5, 5))) << "only the owner shows the caret";
  DestroyWindow(w);
  EXPECT_FALSE(GetCaretPos(&p));
}

TEST_F(WinInputTest, AWaitingLoopWakesForTheCaretBlink) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  const TSurface* s = Headless::WindowSurface(w);
  uint32_t hidden = s->Row(12)[11];
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(10, 10);
  ShowCaret(w);
  // The loop has nothing but the caret to wait for: each idle turn sees the caret toggled once.
  std::vector<uint32_t> seen;
  std::vector<DWORD> times;
  Headless::SetIdleHandler([&] {
    seen.push_back(s->Row(12)[11]);
    times.push_back(GetTickCount());
    if (seen.size() == 4) PostQuitMessage(0);
  });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
  EXPECT_EQ(seen, (std::vector<uint32_t>{hidden ^ 0xFFFFFFu, hidden, hidden ^ 0xFFFFFFu, hidden}));
  for (size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], GetCaretBlinkTime());
}

TEST_F(WinInputTest, MovingOverAWindowSetsTheCursorOfItsClassOrFrame) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "QJHand";
  wc.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_HAND));
  RegisterClassEx(&wc);
  HWND top = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
  Child(top, 50, 50, 50, 50, WS_CHILD | WS_VISIBLE, 0, "QJHand");
  Pump();
  Headless::MoveMouse(60, 60);
  Pump();
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_HAND);
  Headless::MoveMouse(150, 150);
  Pump();
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_ARROW);
  Headless::MoveMouse(1, 150);
  Pump();
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_SIZEWE);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, Point(1, 150));
  uint32_t pixels[4] = {0, 0xFFFFFF, 0xFFFFFF, 0};
  bool opaque[4] = {true, true, true, false};
  HCURSOR custom = CreateCursorFromPixels(2, 2, pixels, opaque, 0, 0);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(GetCursorShape(custom), 0u);
  SetCursor(custom);
  EXPECT_EQ(GetCursor(), custom);
  EXPECT_TRUE(DestroyCursor(custom));
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(SetCursor(custom), nullptr) << "a destroyed cursor is refused";
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(12345)), nullptr);
  EXPECT_EQ(CreateCursorFromPixels(0, 2, pixels, opaque, 0, 0), nullptr);
}

}  // namespace

namespace {

class WinModalInputTest : public TWinTest {};

TEST_F(WinModalInputTest, ClickOnAnOwnerDisabledByItsModalPopupBringsThePopupForward) {
  HWND owner = Top(0, 0, 300, 300);
  HWND dialog = Top(50, 50, 100, 100, WS_POPUP);
  SetWindowLongPtr(dialog, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  ShowWindow(dialog, SW_SHOW);
  EnableWindow(owner, FALSE);
  SetActiveWindow(owner);
  Pump();
  MsgLog().clear();
  Headless::Click(250, 250);
  Pump();
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0);
}

TEST_F(WinModalInputTest, MenuKeyAsksForAContextMenuAtNoPosition) {
  HWND top = Top(0, 0, 100, 100);
  HWND c = Child(top, 0, 0, 50, 50);
  SetFocus(c);
  Pump();
  MsgLog().clear();
  Headless::PressKey(VK_APPS);
  Pump();
  EXPECT_EQ(Only({WM_CONTEXTMENU}, {{top, "top"}, {c, "c"}}), (TStrings{"c:CONTEXTMENU", "top:CONTEXTMENU"}));
  EXPECT_EQ(Last(WM_CONTEXTMENU, c)->L, -1);
  MsgLog().clear();
  Headless::Click(10, 10, 1);
  Pump();
  EXPECT_EQ(Last(WM_CONTEXTMENU, c)->L, MAKELPARAM(10, 10)) << "right release asks with the screen position";
}

}  // namespace
