// Window objects: creation and destruction order, handles, relations, z-order, styles, the
// non-client area, coordinates, hit testing and window regions.
#include "WinTestSupport.h"

#include "platform/os/Gdi.h"

namespace {

class WinWindowsTest : public TWinTest {};

const std::set<UINT> kNoise = {WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH};

TEST_F(WinWindowsTest, CreatingAVisiblePopupSendsTheMessagesInPlatformOrder) {
  HWND w = Top(10, 20, 200, 100);
  ASSERT_TRUE(IsWindow(w));
  EXPECT_EQ(Names(w, kNoise), (TStrings{"NCCREATE", "NCCALCSIZE", "CREATE", "SIZE", "MOVE", "SHOWWINDOW", "POSCHANGING",
                                         "ACTIVATEAPP", "NCACTIVATE", "ACTIVATE", "SETFOCUS", "POSCHANGED"}));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
}

TEST_F(WinWindowsTest, CreatingAChildNotifiesTheParentAndDoesNotActivate) {
  HWND top = Top(0, 0, 300, 300);
  MsgLog().clear();
  HWND c = Child(top, 5, 5, 50, 50, WS_CHILD | WS_VISIBLE, 0, "QJDbl", 7);
  EXPECT_EQ(Names(nullptr, kNoise), (TStrings{"NCCREATE", "NCCALCSIZE", "CREATE", "SIZE", "MOVE", "PARENTNOTIFY",
                                               "SHOWWINDOW", "POSCHANGING", "POSCHANGED"}));
  const TLoggedMsg* notify = Last(WM_PARENTNOTIFY, top);
  ASSERT_NE(notify, nullptr);
  EXPECT_EQ(LOWORD(notify->W), WM_CREATE);
  EXPECT_EQ(HIWORD(notify->W), 7);
  EXPECT_EQ(reinterpret_cast<HWND>(notify->L), c);
  EXPECT_EQ(GetDlgItem(top, 7), c);
  EXPECT_EQ(GetDlgCtrlID(c), 7);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(WinWindowsTest, CreationRefusedByTheProcedureReturnsNoWindow) {
  for (UINT refuse : {WM_NCCREATE, WM_CREATE}) {
    MsgHandler() = [refuse](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
      if (msg != refuse) return false;
      r = msg == WM_CREATE ? -1 : FALSE;
      return true;
    };
    EXPECT_EQ(Top(0, 0, 10, 10), nullptr) << MsgName(refuse);
    EXPECT_EQ(MsgLog().back().Msg, WM_NCDESTROY);
  }
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, "QJDbl", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WinWindowsTest, DestroySendsDestroyTopDownAndNcDestroyBottomUp) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 50, 50);
  HWND b = Child(a, 0, 0, 20, 20);
  HWND owned = Top(0, 0, 30, 30, WS_POPUP);
  SetWindowLongPtr(owned, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(top));
  MsgLog().clear();
  ASSERT_TRUE(DestroyWindow(top));
  EXPECT_EQ(Only({WM_DESTROY, WM_NCDESTROY}, {{top, "top"}, {a, "a"}, {b, "b"}, {owned, "owned"}}),
            (TStrings{"owned:DESTROY", "owned:NCDESTROY", "top:DESTROY", "a:DESTROY", "b:DESTROY", "b:NCDESTROY",
                      "a:NCDESTROY", "top:NCDESTROY"}));
  for (HWND h : {top, a, b, owned}) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WinWindowsTest, DeadAndForeignHandlesFailWithoutHarm) {
  HWND dead = Top(0, 0, 10, 10);
  DestroyWindow(dead);
  HWND foreign = reinterpret_cast<HWND>(0x7777);
  for (HWND h : {dead, foreign}) {
    RECT r{1, 2, 3, 4};
    POINT p{5, 6};
    MSG m;
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(SetWindowPos(h, nullptr, 0, 0, 1, 1, 0));
    EXPECT_FALSE(GetWindowRect(h, &r));
    EXPECT_EQ(r, Rect(1, 2, 3, 4));
    EXPECT_FALSE(ClientToScreen(h, &p));
    EXPECT_EQ(p, Point(5, 6));
    EXPECT_EQ(SendMessage(h, WM_USER, 1, 2), 0);
    EXPECT_FALSE(PostMessage(h, WM_USER, 1, 2));
    EXPECT_FALSE(PeekMessage(&m, h, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessage(&m, h, 0, 0), -1);
    EXPECT_EQ(SetFocus(h), nullptr);
    EXPECT_EQ(SetCapture(h), nullptr);
    EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
    EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE), 0);
    EXPECT_EQ(SetWindowLongPtr(h, GWL_USERDATA, 5), 0);
    EXPECT_EQ(GetParent(h), nullptr);
    EXPECT_EQ(SetParent(h, nullptr), nullptr);
    EXPECT_EQ(GetDC(h), nullptr);
    EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
    EXPECT_FALSE(UpdateWindow(h));
    EXPECT_EQ(ScrollWindowEx(h, 1, 1, nullptr, nullptr, nullptr, nullptr, 0), ERROR);
    EXPECT_EQ(SetWindowRgn(h, nullptr, FALSE), 0);
    EXPECT_FALSE(IsChild(h, h));
    EXPECT_EQ(GetWindowText(h), "");
  }
  EXPECT_GT(Top(0, 0, 10, 10) , dead) << "handles are never reused";
}

TEST_F(WinWindowsTest, RelationsAndZOrderFollowCreationAndSetWindowPos) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 10, 10);
  HWND b = Child(top, 0, 0, 10, 10);
  HWND c = Child(top, 0, 0, 10, 10);
  // New children go to the bottom, so the first one created is the first in tab and z order.
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDLAST), a);
  EXPECT_EQ(GetParent(a), top);
  EXPECT_TRUE(IsChild(top, a));
  EXPECT_FALSE(IsChild(a, top));
  EXPECT_EQ(GetAncestor(a, GA_ROOT), top);

  HWND popup = Top(0, 0, 10, 10, WS_POPUP);
  SetWindowLongPtr(popup, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(a));
  EXPECT_EQ(GetWindow(popup, GW_OWNER), top) << "the owner is always a top-level window";
  EXPECT_EQ(GetParent(popup), top);
  HWND topmost = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND normal = Top(0, 0, 10, 10);
  EXPECT_EQ(GetTopWindow(nullptr), topmost) << "top-most windows stay above";
  EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), normal);
  SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), normal);
  EXPECT_TRUE(GetWindowLongPtr(normal, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WinWindowsTest, SetParentMovesAChildUnderAnotherParentOrToTheDesktop) {
  HWND p1 = Top(0, 0, 300, 300);
  HWND p2 = Top(400, 0, 300, 300);
  HWND c = Child(p1, 10, 10, 20, 20);
  EXPECT_EQ(SetParent(c, p2), p1);
  EXPECT_EQ(GetParent(c), p2);
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r, Rect(410, 10, 430, 30));
  EXPECT_EQ(SetParent(p2, c), nullptr) << "a window cannot move under its own child";
  EXPECT_EQ(SetParent(c, nullptr), p2);
  EXPECT_EQ(GetAncestor(c, GA_ROOT), c);
  EXPECT_NE(Headless::WindowSurface(c), nullptr);
}

struct TClientCase {
  DWORD Style, ExStyle;
  RECT Client;  // in window coordinates
};

TEST_F(WinWindowsTest, ClientAreaIsWhatTheNonClientCalculationLeaves) {
  const TClientCase cases[] = {
      {WS_POPUP, 0, {0, 0, 100, 80}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 99, 79}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 98, 78}},
      {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, {3, 3, 97, 77}},
      {WS_POPUP | WS_THICKFRAME, 0, {4, 4, 96, 76}},
      {WS_POPUP | WS_CAPTION, 0, {3, 22, 97, 77}},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {3, 19, 97, 77}},
      {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {0, 0, 83, 63}},
      {WS_OVERLAPPEDWINDOW, 0, {4, 23, 96, 76}},
  };
  for (const TClientCase& c : cases) {
    HWND w = Top(50, 60, 100, 80, c.Style, c.ExStyle);
    RECT client, window;
    GetClientRect(w, &client);
    GetWindowRect(w, &window);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    RECT got = Rect(origin.X - window.Left, origin.Y - window.Top, origin.X - window.Left + client.Right,
                    origin.Y - window.Top + client.Bottom);
    EXPECT_EQ(got, c.Client) << std::hex << c.Style << " " << c.ExStyle;
    RECT adjusted = Rect(0, 0, client.Right, client.Bottom);
    AdjustWindowRectEx(&adjusted, c.Style & ~WS_OVERLAPPEDWINDOW ? c.Style : c.Style | WS_CLIPSIBLINGS, FALSE, c.ExStyle);
    EXPECT_EQ(adjusted.Width(), 100);
    DestroyWindow(w);
  }
}

TEST_F(WinWindowsTest, NonClientCalculationOfTheProcedureDecidesTheClientArea) {
  MsgHandler() = [](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& r) {
    if (msg != WM_NCCALCSIZE) return false;
    auto* rect = reinterpret_cast<RECT*>(l);
    rect->Left += 10;
    rect->Bottom -= 5;
    r = 0;
    return true;
  };
  HWND w = Top(0, 0, 100, 100);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c, Rect(0, 0, 90, 95));
  MoveWindow(w, 0, 0, 50, 50, TRUE);
  GetClientRect(w, &c);
  EXPECT_EQ(c, Rect(0, 0, 40, 45));
  const TLoggedMsg* size = Last(WM_SIZE, w);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->L, MAKELPARAM(40, 45));
}

struct THitCase {
  POINT Screen;
  LRESULT Code;
};

TEST_F(WinWindowsTest, DefaultHitTestNamesEveryPartOfTheFrame) {
  HWND w = Top(100, 100, 200, 150, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_VSCROLL);
  const THitCase cases[] = {
      {{150, 160}, HTCLIENT},      {{150, 110}, HTCAPTION},    {{100, 100}, HTTOPLEFT},
      {{299, 100}, HTTOPRIGHT},    {{100, 249}, HTBOTTOMLEFT}, {{299, 249}, HTBOTTOMRIGHT},
      {{101, 180}, HTLEFT},        {{298, 180}, HTRIGHT},      {{200, 101}, HTTOP},
      {{200, 248}, HTBOTTOM},      {{290, 180}, HTVSCROLL},    {{99, 180}, HTNOWHERE},
  };
  for (const THitCase& c : cases)
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(c.Screen.X, c.Screen.Y)), c.Code) << c.Screen.X << "," << c.Screen.Y;
  HWND bordered = Top(400, 100, 50, 50, WS_POPUP | WS_VISIBLE | WS_BORDER);
  EXPECT_EQ(SendMessage(bordered, WM_NCHITTEST, 0, MAKELPARAM(400, 120)), HTBORDER);
}

TEST_F(WinWindowsTest, CoordinatesMapBetweenNestedWindows) {
  HWND top = Top(100, 50, 400, 300, WS_POPUP | WS_VISIBLE | WS_BORDER);
  HWND a = Child(top, 10, 20, 200, 200, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
  HWND b = Child(a, 5, 5, 50, 50);
  POINT p{0, 0};
  ClientToScreen(b, &p);
  EXPECT_EQ(p, Point(100 + 1 + 10 + 2 + 5, 50 + 1 + 20 + 2 + 5));
  ScreenToClient(top, &p);
  EXPECT_EQ(p, Point(17, 27));
  POINT pts[2] = {{0, 0}, {1, 1}};
  int offsets = MapWindowPoints(b, top, pts, 2);
  EXPECT_EQ(pts[1], Point(18, 28));
  EXPECT_EQ(LOWORD(offsets), 17);
  EXPECT_EQ(HIWORD(offsets), 27);
  RECT r = Rect(0, 0, 10, 10);
  MapWindowPoints(b, nullptr, &r);
  EXPECT_EQ(r, Rect(118, 78, 128, 88));
  EXPECT_EQ(WindowFromPoint(Point(120, 80)), b);
  EXPECT_EQ(WindowFromPoint(Point(112, 72)), a) << "the client edge of a";
  EXPECT_EQ(WindowFromPoint(Point(5, 5)), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(top, Point(20, 30)), a);
  EXPECT_EQ(ChildWindowFromPoint(top, Point(300, 250)), top);
  EXPECT_EQ(ChildWindowFromPoint(top, Point(-50, 5)), nullptr);
}

TEST_F(WinWindowsTest, HitTestingSkipsTransparentHiddenAndDisabledWindows) {
  HWND top = Top(0, 0, 300, 300);
  HWND under = Child(top, 0, 0, 100, 100);
  HWND over = Child(top, 0, 0, 100, 100);
  SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(WindowFromPoint(Point(50, 50)), over);
  MsgHandler() = [over](HWND w, UINT msg, WPARAM, LPARAM, LRESULT& r) {
    if (w != over || msg != WM_NCHITTEST) return false;
    r = HTTRANSPARENT;
    return true;
  };
  EXPECT_EQ(WindowFromPoint(Point(50, 50)), under);
  MsgHandler() = nullptr;
  ShowWindow(over, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(Point(50, 50)), under);
  EnableWindow(under, FALSE);
  EXPECT_EQ(WindowFromPoint(Point(50, 50)), top) << "a disabled child leaves the point to its parent";
}

TEST_F(WinWindowsTest, WindowRegionShapesHitTesting) {
  HWND top = Top(0, 0, 300, 300);
  HWND round = Child(top, 100, 100, 100, 100);
  ASSERT_EQ(SetWindowRgn(round, CreateEllipticRgn(0, 0, 100, 100), TRUE), 1);
  EXPECT_EQ(WindowFromPoint(Point(150, 150)), round);
  EXPECT_EQ(WindowFromPoint(Point(102, 102)), top) << "the corner is outside the ellipse";
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(round, copy), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(copy, 50, 50));
  EXPECT_FALSE(PtInRegion(copy, 1, 1));
  SetWindowRgn(round, nullptr, TRUE);
  EXPECT_EQ(WindowFromPoint(Point(102, 102)), round);
  EXPECT_EQ(GetWindowRgn(round, copy), ERROR);
  DeleteObject(copy);
  HWND shaped = Top(500, 500, 100, 100);
  SetWindowRgn(shaped, CreateRectRgn(50, 0, 100, 100), FALSE);
  EXPECT_EQ(WindowFromPoint(Point(510, 510)), nullptr);
  EXPECT_EQ(WindowFromPoint(Point(560, 510)), shaped);
}

LRESULT UpperCaseText(HWND w, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC gPrevious = nullptr;

LRESULT UpperCaseText(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) {
    std::string s = reinterpret_cast<const char*>(lp);
    for (auto& ch : s) ch = static_cast<char>(toupper(ch));
    return CallWindowProc(gPrevious, w, msg, wp, reinterpret_cast<LPARAM>(s.c_str()));
  }
  return CallWindowProc(gPrevious, w, msg, wp, lp);
}

TEST_F(WinWindowsTest, SubclassingReplacesTheProcedureAndChainsToThePreviousOne) {
  HWND w = Top(0, 0, 10, 10);
  gPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(UpperCaseText)));
  EXPECT_EQ(gPrevious, RecordingProc);
  EXPECT_EQ(SetWindowLongPtr(w, GWL_WNDPROC, 0), 0) << "a null procedure is refused";
  SetWindowText(w, "mixed Case");
  EXPECT_EQ(GetWindowText(w), "MIXED CASE");
  EXPECT_EQ(GetWindowTextLength(w), 10);
  char small[5];
  EXPECT_EQ(GetWindowText(w, small, 5), 4);
  EXPECT_STREQ(small, "MIXE");
  EXPECT_EQ(Last(WM_SETTEXT, w) != nullptr, true) << "the original procedure still sees the message";
  SetWindowLongPtr(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(gPrevious));
  SetWindowText(w, "lower");
  EXPECT_EQ(GetWindowText(w), "lower");
  EXPECT_EQ(GetClassName(w), "QJDbl");
}

TEST_F(WinWindowsTest, StylesAndLongsAreReadAndWritten) {
  HWND w = Top(0, 0, 10, 10, WS_POPUP);
  EXPECT_EQ(GetWindowLongPtr(w, GWL_STYLE), static_cast<LONG_PTR>(WS_POPUP));
  MsgLog().clear();
  SetWindowLongPtr(w, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(Names(w), (TStrings{"STYLECHANGING", "STYLECHANGED"}));
  EXPECT_EQ(GetWindowLongPtr(w, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
  SetWindowLongPtr(w, GWL_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtr(w, GWL_USERDATA), 1234);
  int marker = 0;
  EXPECT_TRUE(SetProp(w, "Control", &marker));
  EXPECT_EQ(GetProp(w, "control"), &marker);
  EXPECT_EQ(RemoveProp(w, "Control"), &marker);
  EXPECT_EQ(GetProp(w, "Control"), nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_FALSE(ShowWindow(w, SW_SHOWNOACTIVATE));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(GetActiveWindow(), nullptr) << "SW_SHOWNOACTIVATE does not activate";
  EXPECT_TRUE(ShowWindow(w, SW_HIDE));
  EXPECT_FALSE(EnableWindow(w, FALSE));
  EXPECT_FALSE(IsWindowEnabled(w));
  EXPECT_TRUE(EnableWindow(w, TRUE));
}

TEST_F(WinWindowsTest, LayeredAttributesNeedTheLayeredStyle) {
  HWND plain = Top(0, 0, 10, 10);
  EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
  HWND layered = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  EXPECT_TRUE(SetLayeredWindowAttributes(layered, RGB(1, 2, 3), 128, LWA_ALPHA | LWA_COLORKEY));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(GetLayeredWindowAttributes(layered, &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(1, 2, 3));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, LWA_ALPHA | LWA_COLORKEY);
  EXPECT_FALSE(SetLayeredWindowAttributes(layered, 0, 0, 0x80));
}

TEST_F(WinWindowsTest, HiddenParentHidesChildren) {
  HWND top = Top(0, 0, 100, 100, WS_POPUP);
  HWND c = Child(top, 0, 0, 10, 10);
  EXPECT_TRUE(GetWindowLongPtr(c, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(c));
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(c));
}

TEST_F(WinWindowsTest, MoveSendsPositionMessagesOnlyForWhatChanged) {
  HWND w = Top(0, 0, 100, 100);
  MsgLog().clear();
  SetWindowPos(w, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Names(w), (TStrings{"POSCHANGING", "POSCHANGED", "MOVE"}));
  MsgLog().clear();
  SetWindowPos(w, nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Names(w), (TStrings{"POSCHANGING", "NCCALCSIZE", "POSCHANGED", "SIZE"}));
  MsgHandler() = [](HWND, UINT msg, WPARAM, LPARAM l, LRESULT&) {
    if (msg == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->cx = 33;
    return false;
  };
  MoveWindow(w, 0, 0, 70, 70, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(0, 0, 33, 70)) << "WM_WINDOWPOSCHANGING can change the new position";
}

TEST_F(WinWindowsTest, MaximizeAndRestoreUseTheWorkArea) {
  HWND w = Top(10, 10, 100, 100, WS_OVERLAPPEDWINDOW);
  ShowWindow(w, SW_SHOWMAXIMIZED);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(0, 0, 1280, 984));
  EXPECT_TRUE(IsZoomed(w));
  EXPECT_EQ(Last(WM_SIZE, w)->W, static_cast<WPARAM>(SIZE_MAXIMIZED));
  ShowWindow(w, SW_RESTORE);
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(10, 10, 110, 110));
  WINDOWPLACEMENT wp;
  EXPECT_TRUE(GetWindowPlacement(w, &wp));
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(wp.rcNormalPosition, Rect(10, 10, 110, 110));
}

TEST_F(WinWindowsTest, DeferredPositionsApplyTogetherAndABadWindowDropsTheBatch) {
  HWND top = Top(0, 0, 300, 300);
  HWND a = Child(top, 0, 0, 10, 10);
  HWND b = Child(top, 0, 0, 10, 10);
  HDWP batch = BeginDeferWindowPos(2);
  batch = DeferWindowPos(batch, a, nullptr, 5, 5, 20, 20, SWP_NOZORDER);
  batch = DeferWindowPos(batch, b, nullptr, 50, 5, 20, 20, SWP_NOZORDER);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Rect(0, 0, 10, 10)) << "nothing moves before the end";
  EXPECT_TRUE(EndDeferWindowPos(batch));
  GetWindowRect(b, &r);
  EXPECT_EQ(r, Rect(50, 5, 70, 25));
  EXPECT_FALSE(EndDeferWindowPos(batch)) << "a batch ends once";
  HDWP bad = DeferWindowPos(BeginDeferWindowPos(1), reinterpret_cast<HWND>(0x99), nullptr, 0, 0, 1, 1, 0);
  EXPECT_EQ(bad, nullptr);
  WINDOWPLACEMENT wp;
  GetWindowPlacement(top, &wp);
  wp.rcNormalPosition = Rect(10, 20, 110, 220);
  wp.showCmd = SW_SHOWNORMAL;
  EXPECT_TRUE(SetWindowPlacement(top, &wp));
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Rect(10, 20, 110, 220));
}

TEST_F(WinWindowsTest, CloseDestroysByDefaultAndEnumerationVisitsEveryWindow) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(0, 0, 10, 10);
  Child(b, 0, 0, 5, 5);
  std::vector<HWND> seen;
  EnumWindows([](HWND h, LPARAM p) { reinterpret_cast<std::vector<HWND>*>(p)->push_back(h); return TRUE; },
              reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{b, a}));
  seen.clear();
  EnumChildWindows(b, [](HWND h, LPARAM p) { reinterpret_cast<std::vector<HWND>*>(p)->push_back(h); return TRUE; },
                   reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen.size(), 1u);
  SendMessage(a, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(a));
  PostMessage(b, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(b));
}

}  // namespace

#include <random>

namespace {

// Random calls on live, destroyed and made-up handles, with procedures that destroy windows while
// handling messages: nothing may crash and the tree must stay consistent.
class WinRobustnessTest : public TWinTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(WinRobustnessTest, RandomCallsOnLiveAndDeadWindowsKeepTheTreeConsistent) {
  std::mt19937 rng(GetParam());
  std::vector<HWND> handles = {reinterpret_cast<HWND>(0x4), reinterpret_cast<HWND>(-7)};
  auto pick = [&] { return handles[rng() % handles.size()]; };
  MsgHandler() = [&](HWND w, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if ((msg == WM_SIZE || msg == WM_SETFOCUS || msg == WM_LBUTTONDOWN) && rng() % 23 == 0) DestroyWindow(w);
    if (msg == WM_KILLFOCUS && rng() % 31 == 0) DestroyWindow(pick());
    return false;
  };
  for (int step = 0; step < 3000; ++step) {
    HWND a = pick(), b = pick();
    int x = static_cast<int>(rng() % 600) - 50, y = static_cast<int>(rng() % 600) - 50;
    switch (rng() % 16) {
      case 0: handles.push_back(Top(x, y, 1 + rng() % 300, 1 + rng() % 300, WS_POPUP | WS_VISIBLE | (rng() % 2 ? WS_CAPTION : 0))); break;
      case 1: handles.push_back(Child(a, x, y, rng() % 200, rng() % 200, WS_CHILD | WS_VISIBLE | (rng() % 2 ? WS_CLIPSIBLINGS : 0))); break;
      case 2: DestroyWindow(a); break;
      case 3: SetWindowPos(a, b, x, y, rng() % 300, rng() % 300, static_cast<UINT>(rng() % 0x400)); break;
      case 4: ShowWindow(a, static_cast<int>(rng() % 11)); break;
      case 5: SetParent(a, rng() % 3 ? b : nullptr); break;
      case 6: SetFocus(a); break;
      case 7: SetCapture(a); break;
      case 8: Headless::Click(x, y, static_cast<int>(rng() % 3)); break;
      case 9: Headless::PressKey(static_cast<BYTE>('A' + rng() % 26), rng() % 8); break;
      case 10: PostMessage(a, WM_USER, 0, 0); break;
      case 11: InvalidateRect(a, nullptr, TRUE); break;
      case 12: ScrollWindowEx(a, x % 20, y % 20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN); break;
      case 13: EnableWindow(a, rng() % 2); break;
      case 14: SetWindowLongPtr(a, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(b)); break;
      default: Pump(); break;
    }
    if (step % 100 == 0) MsgLog().clear();
  }
  Pump();
  for (HWND h : handles) {
    if (!IsWindow(h)) continue;
    HWND parent = GetAncestor(h, GA_PARENT);
    if (parent) {
      EXPECT_TRUE(IsWindow(parent));
      EXPECT_TRUE(IsChild(parent, h));
    }
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) EXPECT_EQ(GetParent(c), h);
  }
  EXPECT_TRUE(!GetFocus() || IsWindow(GetFocus()));
  EXPECT_TRUE(!GetCapture() || IsWindow(GetCapture()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, WinRobustnessTest, ::testing::Values(12345u, 777u, 4242u, 99u, 2026u));

}  // namespace
