// The "EDIT" window class: typing, caret and selection by keys and mouse, clipboard, undo,
// limits and case, positions agreeing with the drawn text, word wrap and scrolling.
#include "WinTestSupport.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Gdi.h"
#include "platform/os/WinMenus.h"

namespace {

class WinEditTest : public TWinTest {
 protected:
  HWND Parent = nullptr;

  void SetUp() override {
    TWinTest::SetUp();
    Parent = Top(100, 100, 400, 300);
  }

  HWND Edit(DWORD style = 0, int width = 200, int height = 24, const char* text = "") {
    HWND e = CreateWindowEx(0, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, height, Parent,
                            reinterpret_cast<HMENU>(intptr_t(7)), nullptr, nullptr);
    EXPECT_NE(e, nullptr);
    SetFocus(e);
    Pump();
    MsgLog().clear();
    return e;
  }

  static String Text(HWND e) {
    char buffer[1024] = {};
    SendMessage(e, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }

  static std::pair<int, int> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {int(a), int(b)};
  }

  static void SetSel(HWND e, int a, int b) { SendMessage(e, EM_SETSEL, WPARAM(intptr_t(a)), b); }

  static POINT PosFromChar(HWND e, int i) {
    LRESULT r = SendMessage(e, EM_POSFROMCHAR, WPARAM(i), 0);
    return {GET_X_LPARAM(r), GET_Y_LPARAM(r)};
  }

  // Notification codes the parent received from the edit, in order.
  std::vector<WORD> Notifications() const {
    std::vector<WORD> codes;
    for (const TLoggedMsg& m : MsgLog())
      if (m.Wnd == Parent && m.Msg == WM_COMMAND && LOWORD(m.W) == 7) codes.push_back(HIWORD(m.W));
    return codes;
  }

  int CountCode(WORD code) const {
    int n = 0;
    for (WORD c : Notifications()) n += c == code;
    return n;
  }

  // Screen point of a client point of the edit.
  static POINT Screen(HWND e, POINT p) {
    ClientToScreen(e, &p);
    return p;
  }
};

TEST_F(WinEditTest, TypingInsertsAtTheCaretAndNotifiesEachChange) {
  HWND e = Edit(ES_AUTOHSCROLL);
  Headless::TypeText("Hello");
  Pump();
  EXPECT_EQ(Text(e), "Hello");
  EXPECT_EQ(Sel(e), std::make_pair(5, 5));
  EXPECT_EQ(CountCode(EN_CHANGE), 5);
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), TRUE);
  Headless::PressKey(VK_LEFT);
  Headless::PressKey(VK_LEFT);
  Headless::TypeText("X");
  Headless::PressKey(VK_BACK);
  Headless::PressKey(VK_BACK);
  Headless::PressKey(VK_DELETE);
  Pump();
  EXPECT_EQ(Text(e), "Heo");
  EXPECT_EQ(SendMessage(e, WM_GETTEXTLENGTH, 0, 0), 3);
  EXPECT_EQ(GetWindowText(e), "Heo");

  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
  EXPECT_EQ(Text(e), "new");
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), FALSE) << "text set by the program is not a modification";
  EXPECT_EQ(Sel(e), std::make_pair(0, 0));
  char small[3];
  EXPECT_EQ(SendMessage(e, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 2);
  EXPECT_STREQ(small, "ne");
}

TEST_F(WinEditTest, KeysMoveTheCaretAndShiftExtendsTheSelection) {
  HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "alpha beta gamma");
  struct TKeyCase {
    int Start;
    BYTE Vk;
    unsigned Shift;
    std::pair<int, int> Expected;
  };
  const TKeyCase cases[] = {
      {0, VK_END, skNone, {16, 16}},        {16, VK_HOME, skShift, {16, 0}},     {0, VK_RIGHT, skCtrl, {6, 6}},
      {8, VK_LEFT, skCtrl, {6, 6}},         {8, VK_RIGHT, skCtrl | skShift, {8, 11}}, {3, VK_RIGHT, skShift, {3, 4}},
      {16, VK_RIGHT, skNone, {16, 16}},     {0, VK_LEFT, skNone, {0, 0}},
  };
  for (const TKeyCase& c : cases) {
    SetSel(e, c.Start, c.Start);
    Headless::PressKey(c.Vk, c.Shift);
    Pump();
    DWORD anchor = 0, caret = 0;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&anchor), reinterpret_cast<LPARAM>(&caret));
    auto sel = Sel(e);
    EXPECT_EQ(sel, std::make_pair(std::min(c.Expected.first, c.Expected.second), std::max(c.Expected.first, c.Expected.second)))
        << "from " << c.Start << " key " << int(c.Vk);
  }
  SetSel(e, 2, 5);
  Headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(5, 5)) << "an arrow without Shift collapses to the selection's end";
  SetSel(e, 0, -1);
  EXPECT_EQ(Sel(e), std::make_pair(0, 16));
  SetSel(e, -1, 0);
  EXPECT_EQ(Sel(e).first, Sel(e).second) << "-1 removes the selection";
}

TEST_F(WinEditTest, MouseClickDragDoubleClickAndShiftClickSelect) {
  HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "alpha beta gamma");
  POINT p3 = Screen(e, PosFromChar(e, 3));
  POINT p8 = Screen(e, PosFromChar(e, 8));
  Headless::Click(p3.X, p3.Y + 3);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));

  Headless::AdvanceClock(1000);
  Headless::MoveMouse(p3.X, p3.Y + 3);
  Headless::MouseDown();
  Headless::MoveMouse(p8.X, p8.Y + 3);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(3, 8));
  EXPECT_EQ(GetCapture(), nullptr);

  Headless::AdvanceClock(1000);
  Headless::Click(p3.X, p3.Y + 3);
  Headless::AdvanceClock(1000);
  Headless::KeyDown(VK_SHIFT);
  Headless::Click(p8.X, p8.Y + 3);
  Headless::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(3, 8)) << "shift-click moves the caret and keeps the anchor";

  Headless::AdvanceClock(1000);
  Headless::DoubleClick(p8.X, p8.Y + 3);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(6, 10)) << "a double click selects the word";
}

TEST_F(WinEditTest, CutCopyPasteAndClearGoThroughTheClipboard) {
  HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "copy this text");
  SetSel(e, 5, 9);
  Headless::PressKey('C', skCtrl);
  Pump();
  EXPECT_EQ(GetClipboardText(nullptr), "this");
  SetSel(e, 0, 5);
  Headless::PressKey('X', skCtrl);
  Pump();
  EXPECT_EQ(Text(e), "this text");
  EXPECT_EQ(GetClipboardText(nullptr), "copy ");
  SendMessage(e, EM_SETSEL, 9, 9);
  Headless::PressKey('V', skCtrl);
  Pump();
  EXPECT_EQ(Text(e), "this textcopy ");
  SetSel(e, 0, 4);
  SendMessage(e, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(e), " textcopy ");

  SetClipboardText(nullptr, "line one\r\nline two");
  SetSel(e, 0, -1);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "line one") << "a single-line edit takes the first line";

  SendMessage(e, EM_SETREADONLY, TRUE, 0);
  SetSel(e, 0, 4);
  SendMessage(e, WM_CUT, 0, 0);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "line one");
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_EQ(GetClipboardText(nullptr), "line") << "a read-only edit still copies";

  SendMessage(e, EM_SETREADONLY, FALSE, 0);
  SendMessage(e, EM_SETPASSWORDCHAR, '*', 0);
  SetClipboardText(nullptr, "kept");
  SetSel(e, 0, -1);
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_EQ(GetClipboardText(nullptr), "kept") << "a password is never copied";
}

TEST_F(WinEditTest, UndoRestoresTheLastChangeAndUndoingAgainRedoes) {
  HWND e = Edit(ES_AUTOHSCROLL, 300);
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), FALSE);
  Headless::TypeText("abc");
  Pump();
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), TRUE);
  Headless::PressKey('Z', skCtrl);
  Pump();
  EXPECT_EQ(Text(e), "") << "typing in a row is one step";
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), "abc");
  SetSel(e, 1, 2);
  Headless::PressKey(VK_DELETE);
  Pump();
  EXPECT_EQ(Text(e), "ac");
  SendMessage(e, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), "abc");
  EXPECT_EQ(Sel(e), std::make_pair(1, 2));
  SendMessage(e, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_UNDO, 0, 0), FALSE);
  EXPECT_EQ(Text(e), "abc");
  Headless::TypeText("d");
  Pump();
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("fresh"));
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), FALSE) << "new text forgets the undo step";
}

TEST_F(WinEditTest, LimitTextTruncatesInputAndReportsMaxText) {
  HWND e = Edit(ES_AUTOHSCROLL, 300);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 32767);
  SendMessage(e, EM_LIMITTEXT, 5, 0);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 5);
  Headless::TypeText("abcdefg");
  Pump();
  EXPECT_EQ(Text(e), "abcde");
  EXPECT_EQ(CountCode(EN_MAXTEXT), 2);
  SetSel(e, 1, 3);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("WXYZ"));
  EXPECT_EQ(Text(e), "aWXde");
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("longer than five"));
  EXPECT_EQ(Text(e), "longer than five") << "the limit binds input, not the program";
  SendMessage(e, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(WinEditTest, CharCaseAndNumberStylesFilterInput) {
  struct TCaseCase {
    DWORD Style;
    const char* Typed;
    const char* Expected;
  };
  const TCaseCase cases[] = {
      {ES_UPPERCASE, "abc D\xE9", "ABC D\xC9"},
      {ES_LOWERCASE, "ABC d\xC9", "abc d\xE9"},
      {ES_NUMBER, "1a2-3", "123"},
      {0, "MiXed", "MiXed"},
  };
  for (const TCaseCase& c : cases) {
    HWND e = Edit(ES_AUTOHSCROLL | c.Style, 300);
    Headless::TypeText(c.Typed);
    Pump();
    EXPECT_EQ(Text(e), c.Expected) << c.Typed;
    DestroyWindow(e);
  }
  HWND e = Edit(ES_AUTOHSCROLL | ES_UPPERCASE, 300);
  SendMessage(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("pasted"));
  EXPECT_EQ(Text(e), "PASTED");
  SetWindowText(e, "set by the program");
  EXPECT_EQ(Text(e), "SET BY THE PROGRAM");
}

TEST_F(WinEditTest, ReadOnlyRefusesTypingButTakesProgramText) {
  HWND e = Edit(ES_AUTOHSCROLL | ES_READONLY, 300, 24, "fixed");
  SetSel(e, 5, 5);
  Headless::TypeText("x");
  Headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(Text(e), "fixed");
  EXPECT_EQ(CountCode(EN_CHANGE), 0);
  SendMessage(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("!"));
  EXPECT_EQ(Text(e), "fixed!");
  EXPECT_TRUE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
  SendMessage(e, EM_SETREADONLY, FALSE, 0);
  EXPECT_FALSE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
}

TEST_F(WinEditTest, PasswordCharHidesTheTextButNotFromTheProgram) {
  HWND e = Edit(ES_AUTOHSCROLL | ES_PASSWORD, 300);
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
  Headless::TypeText("WWWWWW");
  Pump();
  EXPECT_EQ(Text(e), "WWWWWW");
  int hidden = PosFromChar(e, 5).X;
  SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_FALSE(GetWindowLong(e, GWL_STYLE) & ES_PASSWORD);
  EXPECT_NE(PosFromChar(e, 5).X, hidden) << "positions follow the shown characters";
}

// The highlight of a selection starts and ends exactly at the positions EM_POSFROMCHAR gives,
// the caret sits at its character's position, and EM_CHARFROMPOS inverts EM_POSFROMCHAR.
TEST_F(WinEditTest, PositionsAgreeWithTheDrawnText) {
  HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "Hello wide World");
  const int n = 16;
  for (int i = 0; i < n; ++i) {
    POINT p = PosFromChar(e, i);
    LRESULT back = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(WORD(p.X), WORD(p.Y + 2)));
    EXPECT_EQ(LOWORD(back), i);
    if (i > 0) {
      EXPECT_GT(p.X, PosFromChar(e, i - 1).X);
    }
  }
  EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, n, 0), -1);

  SetSel(e, 6, 10);
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_EQ(caret, PosFromChar(e, 6 + 4));
  UpdateWindow(Parent);
  const TSurface* s = Headless::WindowSurface(Parent);
  ASSERT_NE(s, nullptr);
  COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
  uint32_t highlight = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  POINT origin{0, 0};
  MapWindowPoints(e, Parent, &origin, 1);
  int y = origin.Y + PosFromChar(e, 6).Y + 1;
  int first = -1, last = -1;
  for (int x = 0; x < s->Width; ++x)
    if (s->Row(y)[x] == highlight) {
      if (first < 0) first = x;
      last = x;
    }
  ASSERT_GE(first, 0) << "the selection is drawn";
  EXPECT_EQ(first - origin.X, PosFromChar(e, 6).X);
  EXPECT_EQ(last + 1 - origin.X, PosFromChar(e, 10).X);
}

TEST_F(WinEditTest, MarginsAndAlignmentPlaceTheText) {
  HWND e = Edit(ES_AUTOHSCROLL, 200, 24, "abc");
  SendMessage(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(8, 5));
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELONG(8, 5));
  EXPECT_EQ(PosFromChar(e, 0).X, 8);
  HWND right = Edit(ES_RIGHT, 200, 24, "abc");
  HWND center = Edit(ES_CENTER, 200, 24, "abc");
  int width = PosFromChar(e, 2).X - PosFromChar(e, 0).X;
  EXPECT_GT(PosFromChar(right, 0).X, 200 - 4 * width);
  EXPECT_NEAR(PosFromChar(center, 0).X, (200 - 3 * width) / 2, width);
}

TEST_F(WinEditTest, AutoHScrollKeepsTheCaretInViewAndFixedWidthStopsInput) {
  HWND e = Edit(ES_AUTOHSCROLL, 60);
  Headless::TypeText("a rather long line of text");
  Pump();
  EXPECT_EQ(Text(e), "a rather long line of text");
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_LT(caret.X, 60);
  EXPECT_GE(caret.X, 0);
  EXPECT_LT(PosFromChar(e, 0).X, 0) << "the start scrolled out to the left";
  Headless::PressKey(VK_HOME);
  Pump();
  EXPECT_EQ(PosFromChar(e, 0).X, 1);
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), -1);

  HWND fixed = Edit(0, 60);
  Headless::TypeText("a rather long line of text");
  Pump();
  String kept = Text(fixed);
  EXPECT_LT(kept.size(), 26u);
  EXPECT_GT(kept.size(), 3u);
  EXPECT_GT(CountCode(EN_MAXTEXT), 0);
}

TEST_F(WinEditTest, MultiLineWrapsAtWordsAndAnswersLineMessages) {
  HWND e = Edit(ES_MULTILINE, 90, 200);
  const char* text = "one two three four five six seven eight\r\nnext\r\n";
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  int lines = int(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 4);
  String s = text;
  for (int li = 1; li < lines; ++li) {
    int start = int(SendMessage(e, EM_LINEINDEX, li, 0));
    ASSERT_GT(start, 0);
    char before = s[size_t(start) - 1];
    EXPECT_TRUE(before == ' ' || before == '\n') << "line " << li << " starts inside a word";
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, start, 0), li);
    if (start < int(s.size())) {
      EXPECT_EQ(PosFromChar(e, start).X, 1) << "wrapped lines start at the left margin";
    }
  }
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, lines, 0), -1);
  int next = int(SendMessage(e, EM_LINEINDEX, lines - 2, 0));
  EXPECT_EQ(s.substr(size_t(next), 4), "next");
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, next, 0), 4);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, lines - 1, 0), int(s.size())) << "a final break makes an empty last line";
  char buffer[16] = {};
  *reinterpret_cast<WORD*>(buffer) = sizeof buffer;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, lines - 2, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_EQ(String(buffer, 4), "next");

  SetSel(e, 0, 0);
  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, WPARAM(-1), 0), 1);
  SetSel(e, next + 4, next + 4);
  Headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), lines + 1) << "Enter breaks the line";
  Headless::PressKey(VK_RETURN, skCtrl);
  Pump();
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), lines + 2) << "Ctrl+Enter (a line feed) breaks it too";
}

TEST_F(WinEditTest, CtrlEnterLeavesASingleLineEditAlone) {
  HWND e = Edit(0);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab"));
  SetSel(e, 1, 1);
  Headless::PressKey(VK_RETURN, skCtrl);
  Pump();
  char buffer[8] = {};
  GetWindowText(e, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "ab");
}

TEST_F(WinEditTest, MultiLineScrollsToTheCaretAndByScrollMessages) {
  HWND e = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 150, 80);
  String text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  Headless::PressKey(VK_END, skCtrl);
  Pump();
  int first = int(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 20);
  EXPECT_EQ(GetScrollPos(e, SB_VERT), first);
  POINT caret;
  GetCaretPos(&caret);
  RECT client;
  GetClientRect(e, &client);
  EXPECT_GE(caret.Y, 0);
  EXPECT_LT(caret.Y, client.Bottom);

  MsgLog().clear();
  SendMessage(e, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), first - 1);
  EXPECT_EQ(CountCode(EN_VSCROLL), 1);
  SendMessage(e, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(e, EM_LINESCROLL, 0, 5);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 5);
  LRESULT scrolled = SendMessage(e, EM_SCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(LOWORD(scrolled), WORD(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0) - 5));
  EXPECT_GT(LOWORD(scrolled), 0);
  SendMessage(e, EM_LINESCROLL, 0, -100);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 7);
  EXPECT_EQ(GetScrollPos(e, SB_VERT), 7);
  SetSel(e, int(text.size()), int(text.size()));
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 20);
}

TEST_F(WinEditTest, DialogCodeAndFocusNotifications) {
  HWND single = Edit(ES_AUTOHSCROLL);
  HWND multi = Edit(ES_MULTILINE);
  EXPECT_EQ(SendMessage(single, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
  EXPECT_NE(SendMessage(multi, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
  EXPECT_NE(SendMessage(single, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL, 0);
  SetFocus(single);
  Pump();
  EXPECT_EQ(Notifications(), (std::vector<WORD>{EN_KILLFOCUS, EN_SETFOCUS}));
}

TEST_F(WinEditTest, ContextMenuOffersTheEditCommands) {
  HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "menu text");
  // The menu runs a loop of its own; each call presses one item's letter, then Esc in case the
  // item is greyed and the menu stays open.
  auto choose = [&](BYTE letter) {
    const auto escape = [] { Headless::PressKey(VK_ESCAPE); };
    RunWhenIdle({[letter] { Headless::PressKey(letter); }, escape, escape});
    SendMessage(e, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e), -1);
    Pump();
  };
  choose('A');
  EXPECT_EQ(Sel(e), std::make_pair(0, 9));
  choose('C');
  EXPECT_EQ(GetClipboardText(nullptr), "menu text");
  choose('D');
  EXPECT_EQ(Text(e), "");
  choose('U');
  EXPECT_EQ(Text(e), "menu text");
  SetSel(e, 0, 0);
  choose('T');
  EXPECT_EQ(Text(e), "menu text") << "Cut is greyed without a selection";
  EXPECT_EQ(GetMenuOwner(), nullptr);
}

TEST_F(WinEditTest, MultiLineWithoutAutoVScrollStopsAtItsHeight) {
  HWND e = Edit(ES_MULTILINE, 150, 60);
  for (int i = 0; i < 10; ++i) {
    Headless::TypeText("row");
    Headless::PressKey(VK_RETURN);
  }
  Pump();
  int lines = int(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  POINT last = PosFromChar(e, int(SendMessage(e, EM_LINEINDEX, lines - 2, 0)));
  RECT client;
  GetClientRect(e, &client);
  EXPECT_LT(lines, 10);
  EXPECT_LE(last.Y + 10, client.Bottom) << "every line stays in view";
  EXPECT_GT(CountCode(EN_MAXTEXT), 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(WinEditTest, DraggingPastTheEdgeKeepsScrollingOnTheTimer) {
  HWND e = Edit(ES_AUTOHSCROLL, 80, 24, "a long line that is much wider than the edit");
  POINT start = Screen(e, PosFromChar(e, 0));
  Headless::MoveMouse(start.X, start.Y + 3);
  Headless::MouseDown();
  Headless::MoveMouse(start.X + 120, start.Y + 3);
  Pump();
  int first = Sel(e).second;
  EXPECT_GT(first, 0);
  for (int i = 0; i < 30; ++i) {
    Headless::AdvanceClock(100);
    Pump();
  }
  EXPECT_EQ(Sel(e), std::make_pair(0, 44)) << "the selection reached the end while the button stayed down";
  EXPECT_LT(PosFromChar(e, 0).X, 0);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinEditTest, FormattingRectangleAndCharFromPosOfLines) {
  HWND e = Edit(ES_MULTILINE | ES_AUTOHSCROLL, 200, 100, "first\r\nsecond\r\nthird");
  RECT r;
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, Rect(1, 0, 199, 100));
  RECT inset = Rect(20, 10, 180, 90);
  SendMessage(e, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&inset));
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, inset);
  EXPECT_EQ(PosFromChar(e, 0), (POINT{20, 10}));
  POINT second = PosFromChar(e, 7);
  EXPECT_EQ(second.X, 20);
  EXPECT_GT(second.Y, 10);
  LRESULT hit = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(WORD(second.X + 1), WORD(second.Y + 2)));
  EXPECT_EQ(hit, MAKELONG(7, 1));
  hit = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(150, 85));
  EXPECT_EQ(HIWORD(hit), 2) << "below the text: the last line";
  EXPECT_EQ(LOWORD(hit), 20) << "right of a line: its end";
  SendMessage(e, EM_SETRECT, 0, 0);
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, Rect(1, 0, 199, 100));
}

// Dark pixels of a 32-bit memory bitmap: the ink of text drawn black on white.
int DarkPixels(HDC dc, int width, int height) {
  int dark = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) dark += (GetPixel(dc, x, y) & 0xFF) < 0x80;
  return dark;
}

TEST_F(WinEditTest, PaintsIntoTheDcItIsHanded) {
  // A parent painting its children into a bitmap hands the DC in wParam.
  struct TCase {
    const char* cls;
    DWORD style;
  } cases[] = {{"EDIT", ES_AUTOHSCROLL}, {"LISTBOX", 0}};
  for (const TCase& c : cases) {
    HWND w = CreateWindowEx(0, c.cls, "", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 200, 60, Parent, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(w, nullptr) << c.cls;
    if (std::string(c.cls) == "EDIT")
      SendMessage(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Hello"));
    else
      SendMessage(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Hello"));
    Pump();
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 60);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all = Rect(0, 0, 200, 60);
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(DarkPixels(mem, 200, 60), 0);
    SendMessage(w, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_GT(DarkPixels(mem, 200, 60), 10) << c.cls << ": its text reached the bitmap";
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    DestroyWindow(w);
  }
}

TEST_F(WinEditTest, SelectedTextBecomesThePrimarySelectionExceptAPasswords) {
  SetPrimarySelectionText("");
  HWND e = Edit(0, 200, 24, "Hello world");
  SendMessage(e, WM_KEYDOWN, VK_HOME, 0);
  for (int i = 0; i < 5; ++i) Headless::PressKey(VK_RIGHT, skShift);
  Pump();
  EXPECT_EQ(GetPrimarySelectionText(), "Hello");
  SendMessage(e, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(GetPrimarySelectionText(), "Hello") << "a collapsed selection leaves the primary selection";
  HWND secret = Edit(ES_PASSWORD, 200, 24, "secret");
  SetSel(secret, 0, -1);
  EXPECT_EQ(GetPrimarySelectionText(), "Hello");
}

TEST_F(WinEditTest, AMiddleClickPastesThePrimarySelectionWhereItPoints) {
  HWND e = Edit(0, 200, 24, "abcdef");
  HWND readOnly = Edit(ES_READONLY, 200, 24, "fixed");
  SetWindowPos(readOnly, nullptr, 10, 50, 200, 24, SWP_NOZORDER);
  SetPrimarySelectionText("XY");
  POINT at = PosFromChar(e, 3);
  POINT screen = Screen(e, {at.X + 1, at.Y + 4});
  Headless::Click(screen.X, screen.Y, 2);
  Pump();
  EXPECT_EQ(Text(e), "abcXYdef");
  EXPECT_EQ(Sel(e), (std::pair<int, int>{5, 5}));
  EXPECT_EQ(CountCode(EN_CHANGE), 1);
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
  screen = Screen(readOnly, {5, 5});
  Headless::Click(screen.X, screen.Y, 2);
  Pump();
  EXPECT_EQ(Text(readOnly), "fixed");
}

}  // namespace
