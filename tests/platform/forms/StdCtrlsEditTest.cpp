// TEdit and TMemo driven through injected keys and mouse input and their properties.
#include "ControlsTestSupport.h"

#include "platform/forms/StdCtrls.h"
#include "platform/os/Clipboard.h"

namespace {

class StdCtrlsEditTest : public TFormsTest {
 protected:
  void Build() {
    form = NewForm(300, 200, 0, 0);
    edit = Add<TEdit>(form, "edit", Rect(10, 10, 200, 31));
    other = Add<TEdit>(form, "other", Rect(10, 40, 200, 61));
    edit->OnChange = [this](TObject*) { ++changes; };
    form->Show();
    Pump();
    edit->SetFocus();
    Pump();
  }

  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TEdit* other = nullptr;
  int changes = 0;
};

TEST_F(StdCtrlsEditTest, TypingChangesTheTextFiresOnChangeAndSetsModified) {
  Build();
  EXPECT_FALSE(edit->GetModified());
  Type("Hello");
  EXPECT_EQ(edit->GetText(), "Hello");
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(edit->GetModified());
  EXPECT_EQ(edit->GetSelStart(), 5);
  edit->SetModified(false);
  EXPECT_FALSE(edit->GetModified());
  Press(VK_BACK);
  EXPECT_EQ(edit->GetText(), "Hell");
  EXPECT_EQ(changes, 6);
}

TEST_F(StdCtrlsEditTest, SelectingWithKeysAndThroughTheProperties) {
  Build();
  Type("Hello world");
  Press(VK_HOME);
  Press(VK_RIGHT, skShift);
  Press(VK_RIGHT, skShift);
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelLength(), 2);
  EXPECT_EQ(edit->GetSelText(), "He");
  Press(VK_RIGHT, skShift | skCtrl);
  EXPECT_EQ(edit->GetSelText(), "Hello ") << "Ctrl extends by words";

  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->GetSelText(), "world");
  edit->SetSelText("there");
  EXPECT_EQ(edit->GetText(), "Hello there");
  edit->SelectAll();
  EXPECT_EQ(edit->GetSelLength(), 11);
  edit->ClearSelection();
  EXPECT_EQ(edit->GetText(), "");

  edit->SetText("abc");
  edit->SetSelStart(100);
  EXPECT_EQ(edit->GetSelStart(), 3) << "positions are clamped to the text";
  edit->SetSelStart(-4);
  EXPECT_EQ(edit->GetSelStart(), 0);
}

TEST_F(StdCtrlsEditTest, DoubleClickSelectsAWord) {
  Build();
  edit->SetText("alpha beta gamma");
  LRESULT pos = SendMessage(edit->GetHandle(), EM_POSFROMCHAR, 8, 0);
  TPoint p = edit->ClientToScreen({GET_X_LPARAM(pos), GET_Y_LPARAM(pos) + 3});
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(edit->GetSelText().substr(0, 4), "beta");
}

TEST_F(StdCtrlsEditTest, TheWindowPaintsTheTextWhereItsPositionsSayItIs) {
  Build();
  edit->SetText("MMMM");
  other->SetFocus();
  Pump();
  LRESULT end = SendMessage(edit->GetHandle(), EM_POSFROMCHAR, 3, 0);
  Integer textRight = GET_X_LPARAM(end) + 12;
  TPoint origin = edit->ClientToScreen({0, 0});
  origin = form->ScreenToClient(origin);
  auto darkPixels = [&](Integer from, Integer to) {
    int n = 0;
    for (Integer x = from; x < to; ++x)
      for (Integer y = 2; y < edit->GetClientHeight() - 2; ++y)
        n += (ClientPixel(form, {origin.X + x, origin.Y + y}) & 0xFF) < 0x80;
    return n;
  };
  EXPECT_GT(darkPixels(0, textRight), 0) << "the text is drawn";
  EXPECT_EQ(darkPixels(textRight + 2, edit->GetClientWidth() - 2), 0) << "and nothing after its last character";
}

TEST_F(StdCtrlsEditTest, AReflectedColourMessageGetsTheControlsColours) {
  Build();
  edit->SetColor(clYellow);
  edit->GetFont()->SetColor(clRed);
  HDC dc = GetDC(edit->GetHandle());
  LRESULT brush = edit->Perform(CN_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit->GetHandle()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(edit->GetBrush()->GetHandle()));
  EXPECT_EQ(GetTextColor(dc), ColorToRGB(clRed));
  EXPECT_EQ(GetBkColor(dc), ColorToRGB(clYellow));
  ReleaseDC(edit->GetHandle(), dc);
}

TEST_F(StdCtrlsEditTest, DisabledEditsAndMemosShowGreyTextOnButtonFace) {
  Build();
  auto* memo = Add<TMemo>(form, "memo", Rect(10, 70, 200, 150));
  uint32_t face = ColorToRGB(clBtnFace), grey = ColorToRGB(clGrayText), black = ColorToRGB(clWindowText);
  auto rgb = [](COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); };
  for (TCustomEdit* control : {static_cast<TCustomEdit*>(edit), static_cast<TCustomEdit*>(memo)}) {
    control->SetText("MMMM");
    control->SetEnabled(false);
    Pump();
    TPoint origin = form->ScreenToClient(control->ClientToScreen({0, 0}));
    int greyPixels = 0, blackPixels = 0;
    for (Integer x = 0; x < 40; ++x)
      for (Integer y = 0; y < 14; ++y) {
        uint32_t p = ClientPixel(form, {origin.X + x, origin.Y + y});
        greyPixels += p == rgb(grey);
        blackPixels += p == rgb(black);
      }
    EXPECT_EQ(ClientPixel(form, {origin.X + control->GetClientWidth() - 3, origin.Y + 3}), rgb(face)) << control->GetName();
    EXPECT_GT(greyPixels, 0) << control->GetName();
    EXPECT_EQ(blackPixels, 0) << control->GetName();
  }
}

TEST_F(StdCtrlsEditTest, CutCopyPasteGoThroughTheClipboard) {
  Build();
  Type("Hello");
  edit->SetSelStart(0);
  edit->SetSelLength(2);
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetText(), "llo");
  EXPECT_EQ(GetClipboardText(nullptr), "He");
  Press(VK_END);
  Press('V', skCtrl);
  EXPECT_EQ(edit->GetText(), "lloHe");
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(nullptr), "lloHe");
  edit->SetSelStart(0);
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "lloHelloHe");

  SetClipboardText(nullptr, "keep");
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(nullptr), "keep") << "a password never leaves the edit";
  edit->SetReadOnly(true);
  edit->CutToClipboard();
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "lloHelloHe") << "read-only text neither cuts nor takes a paste";
}

TEST_F(StdCtrlsEditTest, UndoRestoresThePreviousText) {
  Build();
  edit->SetText("start");
  EXPECT_FALSE(edit->GetCanUndo()) << "setting the text empties the undo buffer";
  edit->SelectAll();
  Type("typed");
  EXPECT_TRUE(edit->GetCanUndo());
  Press('Z', skCtrl);
  EXPECT_EQ(edit->GetText(), "start");
  edit->Undo();
  EXPECT_EQ(edit->GetText(), "typed") << "undo of the undo redoes";
  edit->ClearUndo();
  edit->Undo();
  EXPECT_EQ(edit->GetText(), "typed");
}

TEST_F(StdCtrlsEditTest, MaxLengthLimitsTypingAndPastingButNotTheProgram) {
  Build();
  edit->SetMaxLength(4);
  Type("abcdef");
  EXPECT_EQ(edit->GetText(), "abcd");
  edit->SetText("");
  SetClipboardText(nullptr, "123456");
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "1234");
  edit->SetMaxLength(-1);
  EXPECT_EQ(edit->GetMaxLength(), 4) << "a negative length is refused";
  edit->SetMaxLength(0);
  Type("56789");
  EXPECT_EQ(edit->GetText(), "123456789");

  auto* early = New<TEdit>(form);
  early->SetMaxLength(2);
  early->SetParent(form);
  early->SetFocus();
  Pump();
  Type("xyz");
  EXPECT_EQ(early->GetText(), "xy") << "a limit set before the window exists applies";
}

TEST_F(StdCtrlsEditTest, CharCaseConvertsTypedAndExistingText) {
  Build();
  edit->SetCharCase(ecUpperCase);
  Type("abc");
  EXPECT_EQ(edit->GetText(), "ABC");
  edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(edit->GetText(), "abc");
  Type("DEF");
  EXPECT_EQ(edit->GetText(), "abcdef");
  edit->SetCharCase(ecNormal);
  Type("G");
  EXPECT_EQ(edit->GetText(), "abcdefG");
}

TEST_F(StdCtrlsEditTest, TabbingInSelectsAllButClickingPlacesTheCaret) {
  Build();
  other->SetText("second");
  Press(VK_TAB);
  ASSERT_TRUE(other->Focused());
  EXPECT_EQ(other->GetSelLength(), 6);
  other->SetSelStart(2);
  other->SetAutoSelect(false);
  Press(VK_TAB, skShift);
  Press(VK_TAB);
  EXPECT_EQ(other->GetSelStart(), 2);
  EXPECT_EQ(other->GetSelLength(), 0);

  other->SetAutoSelect(true);
  edit->SetFocus();
  Pump();
  TPoint p = other->ClientToScreen({other->GetClientWidth() - 2, 5});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(other->GetSelLength(), 0) << "a click puts the caret where it was";
  EXPECT_EQ(other->GetSelStart(), 6);
}

TEST_F(StdCtrlsEditTest, TextSetBeforeTheWindowExistsIsKeptWithoutOnChange) {
  TForm* f = NewForm();
  auto* e = New<TEdit>(f);
  int fired = 0;
  e->OnChange = [&](TObject*) { ++fired; };
  e->SetText("early");
  e->SetParent(f);
  f->Show();
  Pump();
  EXPECT_TRUE(e->HandleAllocated());
  EXPECT_EQ(e->GetText(), "early");
  EXPECT_EQ(fired, 0);
  e->SetText("later");
  EXPECT_EQ(fired, 1);
  auto* orphan = New<TEdit>(f);
  EXPECT_THROW(orphan->GetSelStart(), EInvalidOperation) << "a selection needs a parent window";
}

// ---------------------------------------------------------------------------------------------
// Memo

class StdCtrlsMemoTest : public StdCtrlsEditTest {
 protected:
  void BuildMemo(Integer width = 200) {
    form = NewForm(300, 200, 0, 0);
    memo = Add<TMemo>(form, "memo", Rect(10, 10, 10 + width, 150));
    form->Show();
    Pump();
    memo->SetFocus();
    Pump();
  }
  std::vector<String> Lines() {
    std::vector<String> out;
    for (Integer i = 0; i < memo->GetLines()->GetCount(); ++i) out.push_back(memo->GetLines()->Get(i));
    return out;
  }
  TMemo* memo = nullptr;
};

TEST_F(StdCtrlsMemoTest, LinesWorkWithAndWithoutAWindow) {
  TForm* f = NewForm();
  memo = New<TMemo>(f);
  TStrings* lines = memo->GetLines();
  lines->Add("one");
  lines->Add("two");
  lines->Insert(1, "between");
  EXPECT_EQ(memo->GetText(), "one\r\nbetween\r\ntwo\r\n");
  memo->SetParent(f);
  f->Show();
  Pump();
  EXPECT_EQ(Lines(), (std::vector<String>{"one", "between", "two"}));
  lines->Delete(0);
  lines->Put(1, "TWO");
  lines->Add("three");
  EXPECT_EQ(Lines(), (std::vector<String>{"between", "TWO", "three"}));
  memo->SetText("no break at the end");
  lines->Add("next");
  EXPECT_EQ(memo->GetText(), "no break at the end\r\nnext");
  EXPECT_THROW(lines->Get(5), EStringListError);
  EXPECT_THROW(lines->Delete(-1), EStringListError);
  lines->Clear();
  EXPECT_EQ(lines->GetCount(), 0);
  lines->SetText("a\r\nb");
  EXPECT_EQ(Lines(), (std::vector<String>{"a", "b"}));
}

TEST_F(StdCtrlsMemoTest, WordWrapMakesLinesOfTheWidth) {
  BuildMemo(120);
  memo->SetText("the quick brown fox jumps over the lazy dog again and again");
  Integer wrapped = memo->GetLines()->GetCount();
  EXPECT_GT(wrapped, 2);
  for (const String& line : Lines()) {
    HDC dc = GetDC(memo->GetHandle());
    HGDIOBJ old = SelectObject(dc, memo->GetFont()->GetHandle());
    SIZE size;
    String trimmed = line.substr(0, line.find_last_not_of(' ') + 1);
    GetTextExtentPoint32(dc, trimmed.c_str(), static_cast<int>(trimmed.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(memo->GetHandle(), dc);
    EXPECT_LE(size.cx, memo->GetClientWidth()) << line;
  }
  memo->SetWordWrap(false);
  EXPECT_EQ(memo->GetLines()->GetCount(), 1);
  EXPECT_EQ(memo->GetText(), "the quick brown fox jumps over the lazy dog again and again") << "the text survives";
}

TEST_F(StdCtrlsMemoTest, ReturnsAndTabsAreTypedWhenWanted) {
  BuildMemo();
  Type("ab");
  Press(VK_RETURN);
  Type("cd");
  EXPECT_EQ(memo->GetText(), "ab\r\ncd");
  EXPECT_EQ(memo->GetCaretPos(), (TPoint{2, 1}));
  Press(VK_TAB);
  EXPECT_EQ(memo->GetText(), "ab\r\ncd") << "Tab moves on by default";
  memo->SetFocus();
  Pump();
  memo->SetWantTabs(true);
  memo->SetCaretPos({0, 0});
  Press(VK_TAB);
  EXPECT_EQ(memo->GetText(), "\tab\r\ncd");
  memo->SetWantReturns(false);
  Press(VK_RETURN);
  EXPECT_EQ(memo->GetText(), "\tab\r\ncd");
}

TEST_F(StdCtrlsMemoTest, ScrollBarsFollowTheText) {
  BuildMemo();
  memo->SetScrollBars(ssVertical);
  EXPECT_TRUE(GetWindowLong(memo->GetHandle(), GWL_STYLE) & WS_VSCROLL);
  String text;
  for (int i = 0; i < 40; ++i) text += "line " + IntToStr(i) + "\r\n";
  memo->SetText(text);
  SendMessage(memo->GetHandle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessage(memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  GetScrollInfo(memo->GetHandle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, SendMessage(memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

}  // namespace
