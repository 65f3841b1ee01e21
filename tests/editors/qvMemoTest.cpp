// Memo editor: line-break forms and MaxLength tables for text put into the memo, the first line
// a cell shows, Enter, Tab and Ctrl+A, clearing, and the own scroll bars that follow the inner
// memo's.
#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvMemo.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/StdCtrls.h"

namespace {

String Visible(const String& S) {
  String out;
  for (char c : S) out += c == '\r' ? String("<CR>") : c == '\n' ? String("<LF>") : String(1, c);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Text rules without a control

struct TMemoBreakCase {
  const char* Name;
  const char* Text;
  const char* Expected;
};

std::ostream& operator<<(std::ostream& os, const TMemoBreakCase& c) { return os << c.Name; }

class TqvMemoLineBreakTest : public ::testing::TestWithParam<TMemoBreakCase> {};

TEST_P(TqvMemoLineBreakTest, EveryFormBecomesOneCrLf) {
  EXPECT_EQ(Visible(NormalizeLineBreaks(GetParam().Text)), Visible(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Table, TqvMemoLineBreakTest,
                         ::testing::Values(TMemoBreakCase{"CrLf", "a\r\nb", "a\r\nb"},
                                           TMemoBreakCase{"LfCr", "a\n\rb", "a\r\nb"},
                                           TMemoBreakCase{"LoneLf", "a\nb", "a\r\nb"},
                                           TMemoBreakCase{"LoneCr", "a\rb", "a\r\nb"},
                                           TMemoBreakCase{"CrLfCrLf", "a\r\n\r\nb", "a\r\n\r\nb"},
                                           TMemoBreakCase{"LfCrLfCr", "a\n\r\n\rb", "a\r\n\r\nb"},
                                           TMemoBreakCase{"CrCr", "a\r\rb", "a\r\n\r\nb"},
                                           TMemoBreakCase{"LfLf", "a\n\nb", "a\r\n\r\nb"},
                                           TMemoBreakCase{"CrLfCr", "a\r\n\rb", "a\r\n\r\nb"},
                                           TMemoBreakCase{"AtTheEnds", "\nab\r", "\r\nab\r\n"},
                                           TMemoBreakCase{"NoBreak", "plain", "plain"}));

struct TFirstLineCase {
  const char* Name;
  String Text;
  String Expected;
};

std::ostream& operator<<(std::ostream& os, const TFirstLineCase& c) { return os << c.Name; }

class TqvMemoDisplayTextTest : public ::testing::TestWithParam<TFirstLineCase> {};

TEST_P(TqvMemoDisplayTextTest, ACellShowsTheFirstLine) {
  const TFirstLineCase& c = GetParam();
  TOwned<TqvMemoProperties> properties = MakeOwned<TqvMemoProperties>(nullptr);
  EXPECT_EQ(properties->GetDisplayText(c.Text), c.Expected);
  EXPECT_EQ(properties->GetDisplayText(c.Text, true), c.Text) << "the full text stays whole";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvMemoDisplayTextTest,
    ::testing::Values(TFirstLineCase{"TwoLines", "first\r\nsecond", "first"},
                      TFirstLineCase{"LoneCr", "abc\rdef", "abc"}, TFirstLineCase{"LoneLf", "abc\ndef", "abc"},
                      TFirstLineCase{"LongLine", String(300, 'x'), String(250, 'x')},
                      TFirstLineCase{"BreakBeyond250", String(260, 'y') + "\r\nz", String(250, 'y')},
                      TFirstLineCase{"BreakAt0", "\r\nrest", ""}, TFirstLineCase{"Empty", "", ""}));

TEST(TqvMemoProperties, DefaultsAndAssign) {
  TOwned<TqvMemoProperties> a = MakeOwned<TqvMemoProperties>(nullptr), b = MakeOwned<TqvMemoProperties>(nullptr);
  EXPECT_FALSE(a->GetAutoSelect());
  EXPECT_TRUE(a->GetWantReturns());
  EXPECT_FALSE(a->GetWantTabs());
  EXPECT_TRUE(a->GetWordWrap());
  EXPECT_EQ(a->GetScrollBars(), ssNone);
  EXPECT_TRUE(a->IsMultiLine());
  a->SetScrollBars(ssBoth);
  a->SetWantReturns(false);
  a->SetWantTabs(true);
  a->SetWordWrap(false);
  a->SetAlignment(taRightJustify);
  a->SetMaxLength(12);
  int changes = 0;
  b->OnPropertiesChanged = [&](TObject*) { ++changes; };
  b->Assign(a.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b->GetScrollBars(), ssBoth);
  EXPECT_FALSE(b->GetWantReturns());
  EXPECT_TRUE(b->GetWantTabs());
  EXPECT_TRUE(b->WantsTabKey());
  EXPECT_FALSE(b->GetWordWrap());
  EXPECT_EQ(b->GetAlignment(), taRightJustify);
  EXPECT_EQ(b->GetMaxLength(), 12);
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TqvMemoProperties"), &TqvMemoProperties::StaticClass());
}

struct TMemoFlagsCase {
  TAlignment Alignment;
  bool WordWrap;
  TScrollStyle ScrollBars;
  TqvTextLayoutFlags Flags;
  TRect Offset;
};

class TqvMemoViewDataTest : public ::testing::TestWithParam<TMemoFlagsCase> {};

TEST_P(TqvMemoViewDataTest, TextFlagsAndInsets) {
  const TMemoFlagsCase& c = GetParam();
  TOwned<TqvMemoProperties> properties = MakeOwned<TqvMemoProperties>(nullptr);
  properties->SetAlignment(c.Alignment);
  properties->SetWordWrap(c.WordWrap);
  properties->SetScrollBars(c.ScrollBars);
  TOwned<TqvContainerStyle> style(TqvCustomEditStyle::StaticClass().Create(nullptr, false));
  TOwned<TqvCustomEditViewData> viewData =
      properties->CreateViewData(static_cast<TqvCustomEditStyle*>(style.get()), true);
  auto* memoData = static_cast<TqvCustomMemoViewData*>(viewData.get());
  EXPECT_EQ(memoData->GetDrawTextFlags(), c.Flags);
  TRect offset;
  memoData->GetDrawTextOffset(offset);
  EXPECT_EQ(offset, c.Offset);
}

constexpr TqvTextLayoutFlags kWrap = tlWordBreak | tlWholeRowsOnly | tlBreakLongWords;

INSTANTIATE_TEST_SUITE_P(
    Table, TqvMemoViewDataTest,
    ::testing::Values(TMemoFlagsCase{taLeftJustify, true, ssNone, tlKeepLeftInside | kWrap, {1, 1, 1, 1}},
                      TMemoFlagsCase{taLeftJustify, true, ssVertical, tlKeepLeftInside | kWrap, {1, 1, 1, 1}},
                      TMemoFlagsCase{taLeftJustify, true, ssHorizontal, tlKeepLeftInside | tlWholeRowsOnly, {1, 1, 1, 1}},
                      TMemoFlagsCase{taCenter, true, ssBoth, tlHCenter | tlKeepLeftInside | tlWholeRowsOnly, {1, 1, 1, 1}},
                      TMemoFlagsCase{taRightJustify, false, ssNone, tlHRight | tlKeepLeftInside | tlWholeRowsOnly,
                                     {0, 1, 2, 1}},
                      TMemoFlagsCase{taRightJustify, true, ssNone, tlHRight | tlKeepLeftInside | kWrap, {0, 1, 2, 1}}));

// ---------------------------------------------------------------------------------------------
// The control

class TqvMemoTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FPreviousClipboard = SetClipboard(new TClipboard());
    FForm = NewForm(400, 300);
    FMemo = New<TqvMemo>(FForm);
    FMemo->SetBounds(10, 10, 185, 89);
    FMemo->SetParent(FForm);
    FOther = Add<TEdit>(FForm, Rect(220, 10, 320, 30));
    Show(FForm);
    FMemo->SetFocus();
    Pump();
  }
  void TearDown() override {
    delete SetClipboard(FPreviousClipboard);
    TqvControlsTest::TearDown();
  }
  String Text() { return FMemo->GetInnerMemo()->GetText(); }
  void SetText(const String& AText) {
    FMemo->SetEditValue(AText);
    Pump();
  }
  void Select(Integer AStart, Integer ALength) {
    FMemo->SetSelStart(AStart);
    FMemo->SetSelLength(ALength);
  }

  TClipboard* FPreviousClipboard = nullptr;
  TForm* FForm = nullptr;
  TqvMemo* FMemo = nullptr;
  TEdit* FOther = nullptr;
};

struct TMemoPasteCase {
  const char* Name;
  Integer MaxLength;
  String Before;
  Integer SelStart, SelLength;
  String Pasted;
  String After;
};

std::ostream& operator<<(std::ostream& os, const TMemoPasteCase& c) { return os << c.Name; }

class TqvMemoPasteTest : public TqvMemoTest, public ::testing::WithParamInterface<TMemoPasteCase> {};

TEST_P(TqvMemoPasteTest, APasteKeepsMaxLengthAndUniformBreaks) {
  const TMemoPasteCase& c = GetParam();
  FMemo->GetProperties()->SetMaxLength(c.MaxLength);
  SetText(c.Before);
  Select(c.SelStart, c.SelLength);
  Clipboard()->SetAsText(c.Pasted);
  Press('V', skCtrl);
  EXPECT_EQ(Visible(Text()), Visible(c.After));
  EXPECT_EQ(Visible(VarToStr(FMemo->GetEditValue())), Visible(c.After)) << "the edit value follows";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvMemoPasteTest,
    ::testing::Values(
        TMemoPasteCase{"RoomAtTheEnd", 10, "12345678", 8, 0, "abcdef", "12345678ab"},
        TMemoPasteCase{"TextAfterTheCaretCounts", 10, "123456789", 8, 0, "abcdef", "12345678a9"},
        TMemoPasteCase{"NoRoom", 10, "1234567890", 4, 0, "abc", "1234567890"},
        TMemoPasteCase{"TheSelectionMakesRoom", 10, "1234567890", 2, 3, "abcdef", "12abc67890"},
        TMemoPasteCase{"NoLimit", 0, "12", 2, 0, "abcdef", "12abcdef"},
        TMemoPasteCase{"BreaksCountTwice", 10, "12345678", 8, 0, "\nx", "12345678\r\n"},
        TMemoPasteCase{"HalfABreakIsLeftOut", 10, "123456789", 9, 0, "\nx", "123456789"},
        TMemoPasteCase{"BreaksBecomeCrLf", 0, "", 0, 0, "a\nb\rc\n\rd\r\ne", "a\r\nb\r\nc\r\nd\r\ne"},
        TMemoPasteCase{"BlankLinesStay", 0, "x", 1, 0, "\r\n\r\ny", "x\r\n\r\ny"}));

TEST_F(TqvMemoTest, ReplacingTheSelectionFromCodeMakesBreaksUniform) {
  SetText("ab");
  Select(1, 0);
  FMemo->SetSelText("1\n2\r3");
  EXPECT_EQ(Visible(Text()), Visible("a1\r\n2\r\n3b"));
}

TEST_F(TqvMemoTest, ReadOnlyRefusesPasteAndClear) {
  SetText("keep");
  FMemo->GetProperties()->SetReadOnly(true);
  Select(0, 2);
  Clipboard()->SetAsText("x");
  Press('V', skCtrl);
  FMemo->GetInnerMemo()->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(), "keep");
}

TEST_F(TqvMemoTest, ClearAndCutRemoveTheSelection) {
  SetText("abcdef");
  Select(1, 2);
  FMemo->ClearSelection();
  EXPECT_EQ(Text(), "adef");
  EXPECT_EQ(VarToStr(FMemo->GetEditValue()), "adef");
  Select(0, 1);
  FMemo->GetInnerMemo()->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(), "def");
  Select(0, 2);
  Press('X', skCtrl);
  EXPECT_EQ(Text(), "f");
  EXPECT_EQ(Clipboard()->GetAsText(), "de");
}

struct TEnterCase {
  const char* Name;
  bool WantReturns;
  unsigned Shift;
  bool Breaks;
};

std::ostream& operator<<(std::ostream& os, const TEnterCase& c) { return os << c.Name; }

class TqvMemoEnterTest : public TqvMemoTest, public ::testing::WithParamInterface<TEnterCase> {};

TEST_P(TqvMemoEnterTest, EnterAndCtrlEnter) {
  const TEnterCase& c = GetParam();
  FMemo->GetProperties()->SetWantReturns(c.WantReturns);
  SetText("ab");
  Select(1, 0);
  Press(VK_RETURN, c.Shift);
  EXPECT_EQ(Visible(Text()), Visible(c.Breaks ? "a\r\nb" : "ab"));
}

INSTANTIATE_TEST_SUITE_P(Table, TqvMemoEnterTest,
                         ::testing::Values(TEnterCase{"Enter", true, 0, true},
                                           TEnterCase{"EnterRefused", false, 0, false},
                                           TEnterCase{"CtrlEnterRefusedReturns", false, skCtrl, true},
                                           TEnterCase{"CtrlEnter", true, skCtrl, true}));

TEST_F(TqvMemoTest, TabInsertsOnlyWhenWanted) {
  SetText("ab");
  Select(1, 0);
  FMemo->GetProperties()->SetWantTabs(true);
  Press(VK_TAB);
  EXPECT_EQ(Text(), "a\tb");
  EXPECT_TRUE(FMemo->IsEditFocused());
  FMemo->GetProperties()->SetWantTabs(false);
  Press(VK_TAB);
  EXPECT_EQ(Text(), "a\tb");
  EXPECT_TRUE(FOther->Focused()) << "Tab leaves the memo";
}

TEST_F(TqvMemoTest, CtrlASelectsAllText) {
  SetText("one\r\ntwo");
  Select(2, 0);
  Press('A', skCtrl);
  EXPECT_EQ(FMemo->GetSelStart(), 0);
  EXPECT_EQ(FMemo->GetSelLength(), 8);
}

TEST_F(TqvMemoTest, LinesAreTheInnerMemosAndTheValueFollowsThem) {
  EXPECT_EQ(FMemo->GetWidth(), 185);
  EXPECT_EQ(FMemo->GetHeight(), 89);
  TStringList lines;
  lines.Add("alpha");
  lines.Add("beta");
  FMemo->SetLines(&lines);
  EXPECT_EQ(FMemo->GetLines()->GetCount(), 2);
  EXPECT_EQ(VarToStr(FMemo->GetEditValue()), Text());
  EXPECT_EQ(FMemo->GetLines()->Get(1), "beta");
}

TEST_F(TqvMemoTest, ScrollBarsFollowTheInnerMemo) {
  String text;
  for (int i = 0; i < 40; ++i) text += "line " + IntToStr(i) + "\r\n";
  SetText(text);
  EXPECT_FALSE(FMemo->GetVScrollBar()->GetVisible()) << "no scroll bars by default";
  FMemo->GetProperties()->SetScrollBars(ssVertical);
  Pump();
  TqvCustomInnerMemo* inner = FMemo->GetInnerMemo();
  EXPECT_EQ(inner->GetScrollBars(), ssVertical);
  ASSERT_TRUE(FMemo->GetVScrollBar()->GetVisible());
  EXPECT_FALSE(FMemo->GetHScrollBar()->GetVisible());
  const TRect bar = FMemo->GetVScrollBar()->GetBoundsRect();
  EXPECT_EQ(bar.Right, inner->GetLeft() + inner->GetWidth()) << "over the native bar";
  Integer pos = 0;
  FMemo->GetVScrollBar()->OnScroll(FMemo->GetVScrollBar(), scLineDown, pos);
  EXPECT_EQ(SendMessage(inner->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  EXPECT_EQ(FMemo->GetVScrollBar()->GetPosition(), 1) << "read back from the memo";
  FMemo->GetVScrollBar()->OnScroll(FMemo->GetVScrollBar(), scBottom, pos);
  EXPECT_GT(SendMessage(inner->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 20);
  FMemo->GetProperties()->SetScrollBars(ssNone);
  Pump();
  EXPECT_FALSE(FMemo->GetVScrollBar()->GetVisible());
}

TEST_F(TqvMemoTest, TypingKeepsTheScrollBarInStep) {
  FMemo->GetProperties()->SetScrollBars(ssVertical);
  Pump();
  Select(0, 0);
  for (int i = 0; i < 12; ++i) {
    Headless::TypeText("x");
    Press(VK_RETURN);
  }
  ASSERT_TRUE(FMemo->GetVScrollBar()->GetVisible());
  SCROLLINFO info;
  info.fMask = SIF_POS | SIF_RANGE;
  ASSERT_TRUE(GetScrollInfo(FMemo->GetInnerMemo()->GetHandle(), SB_VERT, &info));
  EXPECT_EQ(FMemo->GetVScrollBar()->GetPosition(), info.nPos);
  EXPECT_EQ(FMemo->GetVScrollBar()->GetMax(), info.nMax);
}

}  // namespace
