// The text edit control with its inner edit window: scripted typing, selection, clipboard, undo,
// completion from lookup items in each editing style, reverting, the keys a grid needs passed
// on, the window text messages and the inner edit's placement and settings.
#include "qvTextEditTestSupport.h"
#include "support/ControlPixels.h"

namespace {

class TextEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TTestStyleEdit>();
    Edit->Navigates = false;
    Edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) { AfterKeys.push_back(Key); };
    ShowForm();
    Focus(Edit);
  }
  TTestStyleEdit* Edit = nullptr;
  std::vector<Word> AfterKeys;
};

// ---------------------------------------------------------------------------------------------
// Scripted typing, selection, clipboard and undo

struct TScriptCase {
  const char* Name;
  const char* Initial;        // the edit value before the script
  const char* Clipboard;      // nullptr: left alone
  std::vector<TKeyStep> Keys;
  const char* Text;           // the window text afterwards
  Integer SelStart, SelLength;
  const char* ClipboardAfter;  // nullptr: not checked
};

class TextEditScript : public TextEdit, public ::testing::WithParamInterface<TScriptCase> {};

TEST_P(TextEditScript, Runs) {
  const TScriptCase& c = GetParam();
  Edit->SetEditValue(String(c.Initial));
  Edit->SelectAll();
  if (c.Clipboard) Clipboard()->SetAsText(c.Clipboard);
  RunKeys(c.Keys);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
  EXPECT_EQ(Selection(Edit), std::make_pair(c.SelStart, c.SelLength));
  if (c.ClipboardAfter) {
    EXPECT_EQ(Clipboard()->GetAsText(), String(c.ClipboardAfter));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TextEditScript,
    ::testing::Values(
        TScriptCase{"TypeReplacesTheSelection", "old", nullptr, {Chars("new")}, "new", 3, 0, nullptr},
        TScriptCase{"ShiftLeftSelects", "", nullptr, {Chars("abcd"), Key(VK_LEFT, skShift), Key(VK_LEFT, skShift)},
                    "abcd", 2, 2, nullptr},
        TScriptCase{"LeftCollapsesAtTheStart", "abcd", nullptr, {Key(VK_LEFT)}, "abcd", 0, 0, nullptr},
        TScriptCase{"RightCollapsesAtTheEnd", "abcd", nullptr, {Key(VK_RIGHT)}, "abcd", 4, 0, nullptr},
        TScriptCase{"CutThenPaste", "", nullptr,
                    {Chars("hello"), Key(VK_HOME, skShift), Key('X', skCtrl), Chars("a"), Key('V', skCtrl)},
                    "ahello", 6, 0, "hello"},
        TScriptCase{"CopyKeepsTheText", "abc", nullptr, {Key('C', skCtrl), Key(VK_END), Key('V', skCtrl)},
                    "abcabc", 6, 0, "abc"},
        TScriptCase{"ShiftDeleteCuts", "abc", nullptr, {Key(VK_DELETE, skShift)}, "", 0, 0, "abc"},
        TScriptCase{"ShiftInsertPastes", "", "pasted", {Key(VK_INSERT, skShift)}, "pasted", 6, 0, nullptr},
        TScriptCase{"PasteIntoTheMiddle", "ad", "bc", {Key(VK_HOME), Key(VK_RIGHT), Key('V', skCtrl)}, "abcd", 3,
                    0, nullptr},
        TScriptCase{"UndoTyping", "", nullptr, {Chars("abc"), Key('Z', skCtrl)}, "", 0, 0, nullptr},
        TScriptCase{"BackspaceAndDelete", "abcd", nullptr,
                    {Key(VK_END), Key(VK_BACK), Key(VK_HOME), Key(VK_DELETE)}, "bc", 0, 0, nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

// CharCase applies to the text shown whenever it is set: before or after the window exists,
// focused or not. The edit looks exactly like one holding the converted text.
struct TCharCaseCase {
  const char* Name;
  bool CaseAfterShowing;
  bool Focused;
  friend void PrintTo(const TCharCaseCase& c, std::ostream* os) { *os << c.Name; }
};

class TextEditCharCase : public TTextEditTest, public ::testing::WithParamInterface<TCharCaseCase> {};

TEST_P(TextEditCharCase, ConvertsTheShownText) {
  const TCharCaseCase& c = GetParam();
  auto* converted = NewTextEdit<TqvTextEdit>();
  auto* expected = NewTextEdit<TqvTextEdit>(false, Rect(10, 40, 170, 61));
  converted->SetEditValue(String("ZDF hd"));
  expected->SetEditValue(String("ZDF HD"));
  if (!c.CaseAfterShowing) converted->GetProperties()->SetCharCase(ecUpperCase);
  ShowForm();
  if (c.CaseAfterShowing) converted->GetProperties()->SetCharCase(ecUpperCase);
  if (c.Focused) Focus(converted);
  EXPECT_EQ(converted->GetText(), "ZDF HD");
  EXPECT_EQ(converted->GetEditValue(), Variant(String("ZDF hd"))) << "the value keeps its case until edited";
  if (c.Focused) FocusOther();
  RepaintOverSentinel(converted);
  RepaintOverSentinel(expected);
  const std::vector<COLORREF> shown = ControlPixelsOf(converted);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), SentinelRGB), 0) << "unpainted pixels";
  EXPECT_TRUE(shown == ControlPixelsOf(expected)) << "drawn otherwise than the converted text";
}

INSTANTIATE_TEST_SUITE_P(Settings, TextEditCharCase,
                         ::testing::Values(TCharCaseCase{"BeforeShowing", false, false},
                                           TCharCaseCase{"AfterShowing", true, false},
                                           TCharCaseCase{"AfterShowingFocused", true, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TextEdit, TypedTextBecomesTheValueWhenTheEditorIsLeft) {
  Type("abc");
  EXPECT_TRUE(Edit->GetModifiedAfterEnter());
  FocusOther();
  EXPECT_EQ(Edit->GetEditValue(), Variant(String("abc")));
  EXPECT_EQ(Edit->GetText(), "abc");
}

TEST_F(TextEdit, EscapeRestoresTheValueFromBeforeTheEditing) {
  Edit->SetEditValue(String("orig"));
  FocusOther();
  Focus(Edit);
  Type("xyz");
  ASSERT_EQ(WindowText(Edit), "xyz");
  Press(VK_ESCAPE);
  EXPECT_EQ(WindowText(Edit), "orig");
  EXPECT_EQ(Edit->GetEditValue(), Variant(String("orig")));
}

TEST_F(TextEdit, ReadOnlyRefusesTypingPastingAndCutting) {
  Edit->SetEditValue(String("fixed"));
  Edit->GetProperties()->SetReadOnly(true);
  Clipboard()->SetAsText("other");
  Edit->SelectAll();
  RunKeys({Chars("x"), Key('V', skCtrl), Key('X', skCtrl), Key(VK_DELETE), Key(VK_BACK)});
  EXPECT_EQ(WindowText(Edit), "fixed");
  EXPECT_EQ(Clipboard()->GetAsText(), "other");
  // A cut asked for by message (a context menu) copies read-only text.
  SendMessage(Inner(Edit)->GetHandle(), WM_CUT, 0, 0);
  EXPECT_EQ(WindowText(Edit), "fixed");
  EXPECT_EQ(Clipboard()->GetAsText(), "fixed");
}

TEST_F(TextEdit, ClipboardMessagesGoThroughTheEditorAndObeyReadOnly) {
  HWND inner = Inner(Edit)->GetHandle();
  Edit->SetEditValue(String("abc"));
  Clipboard()->SetAsText("x");
  Edit->GetProperties()->SetReadOnly(true);
  Edit->SelectAll();
  SendMessage(inner, WM_PASTE, 0, 0);
  SendMessage(inner, WM_CLEAR, 0, 0);
  EXPECT_EQ(WindowText(Edit), "abc");
  Edit->GetProperties()->SetReadOnly(false);
  Edit->SetSelection(1, 1);
  SendMessage(inner, WM_CLEAR, 0, 0);
  EXPECT_EQ(WindowText(Edit), "ac");
  SendMessage(inner, WM_PASTE, 0, 0);
  EXPECT_EQ(WindowText(Edit), "axc");
  EXPECT_TRUE(Edit->GetModifiedAfterEnter()) << "a user's change";
}

TEST_F(TextEdit, TheInnerEditWantsCharactersTabAndInPlaceEveryKey) {
  const LRESULT standalone = SendMessage(Inner(Edit)->GetHandle(), WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(standalone & DLGC_WANTCHARS);
  EXPECT_TRUE(standalone & DLGC_WANTTAB);
  EXPECT_FALSE(standalone & DLGC_WANTALLKEYS);
  auto* inplace = NewTextEdit<TqvTextEdit>(true, Rect(10, 40, 170, 61));
  Pump();
  EXPECT_TRUE(SendMessage(Inner(inplace)->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(TextEdit, PastingCountsMaxLengthInCharacters) {
  Edit->GetProperties()->SetMaxLength(4);
  Clipboard()->SetAsText("\xC4\xD6\xDC\xE4\xF6\xFC");  // six letters of the code page
  Press('V', skCtrl);
  EXPECT_EQ(WindowText(Edit), "\xC4\xD6\xDC\xE4");
  EXPECT_EQ(Selection(Edit), std::make_pair(4, 0)) << "the caret lands after the fourth character";
  // A paste at a full text inserts nothing.
  Clipboard()->SetAsText("z");
  Press('V', skCtrl);
  EXPECT_EQ(WindowText(Edit), "\xC4\xD6\xDC\xE4");
}

TEST_F(TextEdit, SelTextFromCodeIgnoresMaxLength) {
  Edit->GetProperties()->SetMaxLength(4);
  Edit->SetSelText("abcdef");
  EXPECT_EQ(WindowText(Edit), "abcdef");
  EXPECT_EQ(Selection(Edit), std::make_pair(6, 0));
}

TEST_F(TextEdit, TypingStopsAtMaxLength) {
  Edit->GetProperties()->SetMaxLength(3);
  Type("abcdef");
  EXPECT_EQ(WindowText(Edit), "abc");
}

// ---------------------------------------------------------------------------------------------
// Scripted mouse: clicks, drags and double clicks in the inner edit

// One step of a mouse script at a character position of the text.
struct TMouseStep {
  enum TKind { Click, Down, Move, Up, DoubleClick, ShiftClick } Kind;
  Integer Char;
};

struct TMouseCase {
  const char* Name;
  const char* Initial;
  std::vector<TMouseStep> Steps;
  Integer SelStart, SelLength;
};

class TextEditMouse : public TextEdit, public ::testing::WithParamInterface<TMouseCase> {
 protected:
  // The inner edit's client point in the middle of the line at the left edge of a character.
  TPoint At(Integer AChar) {
    TqvCustomInnerTextEdit* inner = Inner(Edit);
    const LRESULT pos = SendMessage(inner->GetHandle(), EM_POSFROMCHAR, WPARAM(AChar), 0);
    return {Integer(static_cast<short>(LOWORD(pos))) + 1, inner->GetClientHeight() / 2};
  }
};

TEST_P(TextEditMouse, Runs) {
  const TMouseCase& c = GetParam();
  Edit->SetEditValue(String(c.Initial));
  TqvCustomInnerTextEdit* inner = Inner(Edit);
  for (const TMouseStep& step : c.Steps) {
    const TPoint p = At(step.Char);
    const TPoint screen = inner->ClientToScreen(p);
    switch (step.Kind) {
      case TMouseStep::Click: Click(inner, p); break;
      case TMouseStep::Down: Down(inner, p); break;
      case TMouseStep::Move: MoveTo(inner, p); break;
      case TMouseStep::Up: Up(); break;
      case TMouseStep::DoubleClick:
        Headless::DoubleClick(screen.X, screen.Y);
        Pump();
        break;
      case TMouseStep::ShiftClick:
        Headless::KeyDown(VK_SHIFT);
        Click(inner, p);
        Headless::KeyUp(VK_SHIFT);
        Pump();
        break;
    }
  }
  EXPECT_EQ(Selection(Edit), std::make_pair(c.SelStart, c.SelLength));
  EXPECT_EQ(WindowText(Edit), String(c.Initial)) << "the mouse never changes the text";
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, TextEditMouse,
    ::testing::Values(
        TMouseCase{"ClickPlacesTheCaret", "abcdef", {{TMouseStep::Click, 3}}, 3, 0},
        TMouseCase{"DragSelects", "abcdef", {{TMouseStep::Down, 1}, {TMouseStep::Move, 4}, {TMouseStep::Up, 4}}, 1, 3},
        TMouseCase{"DragBackwardsSelects", "abcdef",
                   {{TMouseStep::Down, 4}, {TMouseStep::Move, 1}, {TMouseStep::Up, 1}}, 1, 3},
        TMouseCase{"ShiftClickExtends", "abcdef", {{TMouseStep::Click, 1}, {TMouseStep::ShiftClick, 5}}, 1, 4},
        TMouseCase{"DoubleClickSelectsAWord", "one two three", {{TMouseStep::DoubleClick, 5}}, 4, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TextEdit, TheContainerSeesTheInnerEditsMouseInItsOwnCoordinates) {
  TPoint seen{-1, -1};
  Edit->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { seen = {X, Y}; };
  TqvCustomInnerTextEdit* inner = Inner(Edit);
  Click(inner, Point(5, 3));
  EXPECT_EQ(seen, Point(5 + inner->GetLeft(), 3 + inner->GetTop()));
}

// ---------------------------------------------------------------------------------------------
// Keys a grid needs

TEST_F(TextEdit, AKeyThatMovesNothingGoesToTheAfterKeyDownHandler) {
  Type("ab");
  Press(VK_HOME);
  AfterKeys.clear();
  Press(VK_LEFT);
  EXPECT_EQ(AfterKeys, std::vector<Word>({VK_LEFT})) << "at the start Left changes nothing";
  Press(VK_RIGHT);
  Press(VK_LEFT);
  EXPECT_EQ(AfterKeys.size(), 1u) << "in the middle Left moves the caret";
  Press(VK_UP);
  Press(VK_NEXT);
  EXPECT_EQ(AfterKeys, std::vector<Word>({VK_LEFT, VK_UP, VK_NEXT}));
}

TEST_F(TextEdit, EnterInPlaceIsNotInsertedAndTabNeverReachesTheWindow) {
  Free(Edit);
  auto* inplace = NewTextEdit<TqvTextEdit>(true);
  Pump();
  Focus(inplace);
  Type("a");
  SendMessage(Inner(inplace)->GetHandle(), WM_CHAR, '\r', 0);
  SendMessage(Inner(inplace)->GetHandle(), WM_CHAR, '\t', 0);
  EXPECT_EQ(WindowText(inplace), "a");
}

// ---------------------------------------------------------------------------------------------
// Completion from the lookup items

struct TCompletionCase {
  const char* Name;
  TqvEditEditingStyle Style;
  bool IncrementalSearch;
  std::vector<TKeyStep> Keys;
  const char* Text;
  Integer SelStart, SelLength;
  Integer Key;  // the lookup's current item
};

class TextEditCompletion : public TextEdit, public ::testing::WithParamInterface<TCompletionCase> {};

TEST_P(TextEditCompletion, Runs) {
  const TCompletionCase& c = GetParam();
  Edit->Props()->Style = c.Style;
  Edit->Props()->SetIncrementalSearch(c.IncrementalSearch);
  SetItems(Edit->GetProperties(), {"Apple", "Banana", "Blueberry", "Cherry"});
  Edit->GetProperties()->Changed();
  RunKeys(c.Keys);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
  EXPECT_EQ(Selection(Edit), std::make_pair(c.SelStart, c.SelLength));
  EXPECT_EQ(Edit->GetLookupData()->GetItemIndex(), c.Key);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, TextEditCompletion,
    ::testing::Values(
        // Free text: the item's letter case wins and the completed tail is selected.
        TCompletionCase{"FreeCompletes", esEdit, true, {Chars("b")}, "Banana", 1, 5, 1},
        TCompletionCase{"FreeTypesOverTheTail", esEdit, true, {Chars("bx")}, "Bx", 2, 0, -1},
        TCompletionCase{"FreeLongerPrefix", esEdit, true, {Chars("bl")}, "Blueberry", 2, 7, 2},
        TCompletionCase{"FreeNotInTheMiddle", esEdit, true, {Chars("ale"), Key(VK_LEFT), Chars("p")}, "Alpe", 3, 0,
                        -1},
        TCompletionCase{"FreeEnterSelectsAll", esEdit, true, {Chars("c"), Key(VK_RETURN)}, "Cherry", 0, 6, 3},
        // Limited to the items: a character that starts no item is refused.
        TCompletionCase{"ListRefuses", esEditList, true, {Chars("cz")}, "Cherry", 1, 5, 3},
        TCompletionCase{"ListBackspaceCompletesAgain", esEditList, true, {Chars("bl"), Key(VK_BACK)}, "Banana", 1,
                        5, 1},
        // List only: typing searches the items.
        TCompletionCase{"FixedSearches", esFixedList, true, {Chars("bl")}, "Blueberry", 2, 7, 2},
        TCompletionCase{"FixedRefusesAStranger", esFixedList, true, {Chars("bx")}, "Banana", 1, 5, 1},
        TCompletionCase{"FixedWithoutSearchFindsByFirstLetter", esFixedList, false, {Chars("b"), Chars("b")},
                        "Banana", 1, 5, 1},
        TCompletionCase{"FixedWithoutSearchIgnoresBackspace", esFixedList, false, {Chars("c"), Key(VK_BACK)},
                        "Cherry", 1, 5, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TextEdit, CompletionFindsAmongTenThousandItems) {
  TStrings* items = Edit->GetProperties()->GetLookupItems();
  items->BeginUpdate();
  for (Integer i = 0; i < 10000; ++i) items->Add("Channel " + IntToStr(100000 + i));
  items->EndUpdate();
  Type("channel 109");
  EXPECT_EQ(WindowText(Edit), "Channel 109000");
  EXPECT_EQ(Edit->GetLookupData()->GetItemIndex(), 9000);
  Type("99");
  EXPECT_EQ(WindowText(Edit), "Channel 109990");
  EXPECT_EQ(Selection(Edit), std::make_pair(13, 1));
}

TEST_F(TextEdit, ClearingAListEditAcceptsTheEmptyText) {
  Edit->Props()->Style = esEditList;
  SetItems(Edit->GetProperties(), {"Apple"});
  Type("a");
  Edit->Clear();
  EXPECT_EQ(WindowText(Edit), "");
}

TEST_F(TextEdit, NavigationKeysMoveThroughTheItemsAndClickOnce) {
  Edit->Navigates = true;
  SetItems(Edit->GetProperties(), {"one", "two", "three"});
  Integer clicks = 0;
  Edit->OnClick = [&](TObject*) { ++clicks; };
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(WindowText(Edit), "two");
  EXPECT_EQ(clicks, 2);
  Press(VK_NEXT, skCtrl);
  EXPECT_EQ(WindowText(Edit), "three");
  Press(VK_DOWN);
  EXPECT_EQ(clicks, 3) << "nothing moved past the last item";
  for (Word key : {VK_DOWN, VK_NEXT}) EXPECT_EQ(std::count(AfterKeys.begin(), AfterKeys.end(), key), 0);
}

// ---------------------------------------------------------------------------------------------
// The lookup list a drop-down shows

// Lookup data that shows its items in an edit list box, as the drop-down editors' do.
class TListLookupData : public TqvCustomTextEditLookupData {
  QJ_INLINE_CLASS(TListLookupData, TqvCustomTextEditLookupData)
 public:
  using TqvCustomTextEditLookupData::TqvCustomTextEditLookupData;
  TqvCustomEditListBoxClass GetListBoxClass() override { return &TqvCustomEditListBox::StaticClass(); }
};

class TextEditLookupList : public TextEdit {
 protected:
  void SetUp() override {
    TextEdit::SetUp();
    TStrings* items = Edit->GetProperties()->GetLookupItems();
    for (Integer i = 0; i < 30; ++i) items->Add("Channel " + IntToStr(i));
    Edit->SetEditValue(String("Channel 2"));
    Lookup = MakeOwned<TListLookupData>(Edit);
    Lookup->SetItemIndex(2);
    Lookup->InitializeList(FForm);
    List = Lookup->GetListBox();
    List->SetBounds(10, 40, 160, 8 * List->GetStandardItemHeight());
    Pump();
  }
  TOwned<TListLookupData> Lookup;
  TqvCustomEditListBox* List = nullptr;
};

TEST_F(TextEditLookupList, TheListHoldsTheItemsWithTheCurrentOneHighlighted) {
  ASSERT_TRUE(List);
  EXPECT_EQ(List->GetParent(), FForm);
  EXPECT_EQ(List->GetItems()->GetCount(), 30);
  EXPECT_EQ(List->GetItemIndex(), 2);
  Edit->GetProperties()->GetLookupItems()->Add("Channel 30");
  Lookup->PropertiesChanged();
  EXPECT_EQ(List->GetItems()->GetCount(), 31) << "the list follows the items";
}

TEST_F(TextEditLookupList, NavigationMovesTheHighlightNotTheCurrentItem) {
  Lookup->Go(eldNext, false);
  Lookup->Go(eldPageDown, false);
  EXPECT_EQ(List->GetItemIndex(), 10);
  EXPECT_EQ(Lookup->GetHighlightedIndex(), 10);
  EXPECT_EQ(Lookup->GetItemIndex(), 2) << "the current item changes only when one is chosen";
  Lookup->SelectItem();
  EXPECT_EQ(Lookup->GetItemIndex(), 10);
}

TEST_F(TextEditLookupList, TheMouseHighlightsTheItemUnderIt) {
  const Integer height = List->GetStandardItemHeight();
  MoveTo(List, Point(20, 4 * height + height / 2));
  EXPECT_EQ(List->GetItemIndex(), 4);
  EXPECT_EQ(Lookup->GetHighlightedIndex(), 4);
}

TEST_F(TextEditLookupList, TheWheelScrollsTheList) {
  ASSERT_EQ(List->GetTopIndex(), 0);
  MoveTo(List, Point(20, 4));
  Headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_GT(List->GetTopIndex(), 0);
}

// ---------------------------------------------------------------------------------------------
// Window text messages

TEST_F(TextEdit, GetTextCopiesWhatFitsTheBuffer) {
  Edit->SetEditValue(String("hello"));
  char buffer[4] = "xyz";
  EXPECT_EQ(SendMessage(Edit->GetHandle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "hel");
  EXPECT_EQ(SendMessage(Edit->GetHandle(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(SendMessage(Edit->GetHandle(), WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(TextEdit, SetTextAnswersWhetherTheTextWasTaken) {
  Edit->Props()->Style = esEditList;
  SetItems(Edit->GetProperties(), {"Apple"});
  EXPECT_EQ(SendMessage(Edit->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Pear")), 0);
  EXPECT_EQ(SendMessage(Edit->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("apple")), 1);
  EXPECT_EQ(Edit->GetText(), "apple");
}

// ---------------------------------------------------------------------------------------------
// The inner edit window

TEST_F(TextEdit, CaretIndexIsRightPastThirtyTwoThousandCharacters) {
  Edit->SetEditValue(String(33000, 'x'));
  Edit->SetSelStart(32800);
  EXPECT_EQ(Edit->GetCaretCharIndex(), 32800);
  Edit->SetSelection(32900, 50);
  Press(VK_RIGHT, skShift);
  EXPECT_EQ(Edit->GetCaretCharIndex(), 32951);
}

TEST_F(TextEdit, RightAlignmentReachesTheWindowUnlessEditingIsLeftAligned) {
  auto style = [&] { return GetWindowLong(Inner(Edit)->GetHandle(), GWL_STYLE); };
  Edit->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  EXPECT_FALSE(style() & ES_RIGHT) << "left alignment while editing is the default";
  Edit->GetProperties()->SetUseLeftAlignmentOnEditing(false);
  EXPECT_TRUE(style() & ES_RIGHT);
}

TEST_F(TextEdit, ARightAlignedEditShowsItsInnerEditOnlyWhileFocused) {
  Edit->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  auto* left = NewTextEdit<TqvTextEdit>(false, Rect(10, 50, 170, 71));
  Pump();
  FocusOther();
  EXPECT_FALSE(Edit->GetViewInfo()->IsInnerEditShown);
  EXPECT_TRUE(left->GetViewInfo()->IsInnerEditShown);
  Focus(Edit);
  EXPECT_TRUE(Edit->GetViewInfo()->IsInnerEditShown);
}

TEST_F(TextEdit, BoundsLockKeepsTheInnerEditInPlace) {
  TqvCustomInnerTextEdit* inner = Inner(Edit);
  const TRect before = inner->GetBoundsRect();
  inner->GetHelper()->LockBounds(true);
  inner->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(inner->GetBoundsRect(), before);
  inner->GetHelper()->LockBounds(false);
  inner->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(inner->GetBoundsRect(), Rect(0, 0, 10, 10));
}

TEST_F(TextEdit, SettingsReachTheInnerEdit) {
  TqvCustomTextEditProperties* properties = Edit->GetProperties();
  properties->SetEchoMode(eemPassword);
  properties->SetMaxLength(7);
  properties->SetCharCase(ecUpperCase);
  TqvCustomInnerTextEdit* inner = Inner(Edit);
  EXPECT_EQ(inner->GetPasswordChar(), '*');
  EXPECT_EQ(inner->GetMaxLength(), 7);
  EXPECT_EQ(inner->GetCharCase(), ecUpperCase);
  Edit->SetEditValue(String("secret"));
  EXPECT_EQ(Edit->GetViewInfo()->Text, "******");
}

}  // namespace
