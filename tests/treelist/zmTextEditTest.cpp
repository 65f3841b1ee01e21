// The in-place text editor: character case, limits, password, undo and redo, selection news, the
// context menu, and the drawing of a text cell without a live editor.

#include "platform/forms/Menus.h"
#include "platform/os/Clipboard.h"
#include "platform/os/GdiTestSupport.h"
#include "treelist/zmTextEdit.h"
#include "zmTestSupport.h"

namespace {

class zmTextEdit : public TzmEditorTest {
 protected:
  void SetUp() override {
    TzmEditorTest::SetUp();
    Edit = NewEditor<TzmInplaceTextEdit>();
  }
  void TearDown() override {
    Headless::SetIdleHandler(nullptr);
    TzmEditorTest::TearDown();
  }
  // The enabled states of the context menu's items, by caption, while it shows.
  std::map<String, bool> MenuState() {
    std::map<String, bool> state;
    TMenuItem* items = Edit->GetContextMenu()->GetItems();
    for (Integer i = 0; i < items->GetCount(); ++i)
      if (!items->GetItem(i)->IsLine()) state[items->GetItem(i)->GetCaption()] = items->GetItem(i)->GetEnabled();
    return state;
  }
  // Opens the context menu with Shift+F10 and records the item states it shows.
  std::map<String, bool> ContextMenuState() {
    std::map<String, bool> state;
    RunWhenIdle({[&] { state = MenuState(); }, [] { Headless::PressKey(VK_ESCAPE); }});
    Press(VK_F10, skShift);
    Headless::SetIdleHandler(nullptr);
    return state;
  }

  TzmInplaceTextEdit* Edit = nullptr;
};

TEST_F(zmTextEdit, UpperCaseAppliesToTypingAndToTextSetByCode) {
  Edit->SetCharCase(ecUpperCase);
  Open(Edit, "mixed Case");
  EXPECT_EQ(Edit->GetText(), "MIXED CASE");
  EXPECT_FALSE(Edit->GetModified()) << "converting a loaded value is no edit";
  Edit->SetSel(2, 4);
  Edit->SetText("lower");
  EXPECT_EQ(Edit->GetText(), "LOWER");
  Integer start = 0, end = 0;
  Edit->GetSel(start, end);
  EXPECT_EQ(start, 0) << "setting a text puts the caret at the start";
  Edit->SetSel(1, 3);
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->GetText(), "lower");
  Edit->GetSel(start, end);
  EXPECT_EQ(start, 1) << "the selection survives the case change";
  EXPECT_EQ(end, 3);
  EXPECT_FALSE(Edit->GetModified());
  Edit->CaretToEnd();
  Type("AbC");
  EXPECT_EQ(Edit->GetText(), "lowerabc");
  EXPECT_TRUE(Edit->GetModified());
}

TEST_F(zmTextEdit, ConvertCharCaseUsesTheCodePage) {
  EXPECT_EQ(ConvertCharCase("\xE9t\xE9", ecUpperCase), "\xC9T\xC9");
  EXPECT_EQ(ConvertCharCase("ABC", ecLowerCase), "abc");
  EXPECT_EQ(ConvertCharCase("AbC", ecNormal), "AbC");
}

TEST_F(zmTextEdit, MaxLengthLimitsTypingAndNegativeMeansNone) {
  Edit->SetMaxLength(3);
  Open(Edit, "");
  Type("abcdef");
  EXPECT_EQ(Edit->GetText(), "abc");
  Edit->SetMaxLength(-5);
  EXPECT_EQ(Edit->GetMaxLength(), 0);
  Type("de");
  EXPECT_EQ(Edit->GetText(), "abcde");
  Edit->SetStoredMaxLength(2);
  EXPECT_TRUE(Edit->GetStoredValues() & zmsvMaxLength);
  Edit->LoadDataDefaults();
  EXPECT_EQ(Edit->GetMaxLength(), 2) << "a stored length survives the data defaults";
}

TEST_F(zmTextEdit, ModifiedStateSurvivesWindowRecreation) {
  Open(Edit, "value");
  Type("x");
  ASSERT_TRUE(Edit->GetModified());
  Edit->SetOEMConvert(true);
  EXPECT_TRUE(Edit->HandleAllocated());
  EXPECT_TRUE(Edit->GetModified());
  EXPECT_EQ(Edit->GetText(), "x");
  EXPECT_TRUE(GetWindowLong(Edit->GetHandle(), GWL_STYLE) & ES_OEMCONVERT);
}

TEST_F(zmTextEdit, LoadingAValueEmptiesTheUndoBuffer) {
  Open(Edit, "first");
  Type("x");
  EXPECT_TRUE(Edit->CanUndo());
  Edit->SetEditValue("second");
  EXPECT_FALSE(Edit->CanUndo()) << "undo never goes back to another cell's text";
  EXPECT_FALSE(Edit->CanRedo());
}

TEST_F(zmTextEdit, UndoThenRedo) {
  Open(Edit, "abc");
  Edit->CaretToEnd();
  Type("d");
  ASSERT_TRUE(Edit->CanUndo());
  Edit->Undo();
  EXPECT_EQ(Edit->GetText(), "abc");
  EXPECT_FALSE(Edit->CanUndo());
  EXPECT_TRUE(Edit->CanRedo());
  Edit->Redo();
  EXPECT_EQ(Edit->GetText(), "abcd");
  EXPECT_TRUE(Edit->CanUndo());
  Edit->Undo();
  Type("e");
  EXPECT_FALSE(Edit->CanRedo()) << "a new edit ends the redo";
}

TEST_F(zmTextEdit, SelectionOperationsAndNews) {
  Open(Edit, "hello world");
  int news = 0;
  Edit->OnSelChange = [&](TObject*) { ++news; };
  Edit->SetSelStart(6);
  Edit->SetSelLength(5);
  EXPECT_EQ(news, 2);
  String text;
  Edit->GetSelText(text);
  EXPECT_EQ(text, "world");
  char buffer[3];
  EXPECT_EQ(Edit->GetSelTextBuf(buffer, 3), 3);
  EXPECT_EQ(String(buffer, 3), "wor");
  Press(VK_HOME);
  EXPECT_EQ(news, 3) << "a key that moves the caret is news";
  Edit->CopySelection();
  Edit->SetSel(0, 5);
  Edit->CutSelection();
  EXPECT_EQ(Edit->GetText(), " world");
  EXPECT_EQ(GetClipboardText(nullptr), "hello");
  Edit->PasteText();
  EXPECT_EQ(Edit->GetText(), "hello world");
  EXPECT_EQ(Edit->GetTextLength(), 11);
}

TEST_F(zmTextEdit, PasswordCharacterMasksTheWindowAndHidesCutAndCopy) {
  Open(Edit, "secret");
  Edit->SetPasswordChar('*');
  EXPECT_EQ(SendMessage(Edit->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), '*');
  Edit->SelectAll();
  auto state = ContextMenuState();
  EXPECT_FALSE(state["Cu&t"]);
  EXPECT_FALSE(state["&Copy"]);
  EXPECT_TRUE(state["&Delete"]);
}

TEST_F(zmTextEdit, ContextMenuEnablesWhatApplies) {
  Open(Edit, "text");
  SetClipboardText(nullptr, "clip");
  Edit->SetSel(0, 2);
  auto state = ContextMenuState();
  EXPECT_FALSE(state["&Undo"]) << "nothing to undo right after opening on a cell";
  EXPECT_FALSE(state["&Redo"]);
  EXPECT_TRUE(state["Cu&t"]);
  EXPECT_TRUE(state["&Copy"]);
  EXPECT_TRUE(state["&Paste"]);
  EXPECT_TRUE(state["&Delete"]);
  EXPECT_TRUE(state["Select &All"]);
  Edit->SelectAll();
  Edit->SetStoredReadOnly(true);
  state = ContextMenuState();
  EXPECT_FALSE(state["Select &All"]) << "everything is selected";
  EXPECT_FALSE(state["Cu&t"]);
  EXPECT_FALSE(state["&Paste"]);
  EXPECT_FALSE(state["&Delete"]);
  EXPECT_TRUE(state["&Copy"]);
}

TEST_F(zmTextEdit, ContextMenuCommandsActOnTheEditor) {
  Open(Edit, "one two");
  Edit->SetSel(0, 4);
  RunWhenIdle({[] { Headless::KeyDown('D'); }});  // "&Delete"
  Press(VK_F10, skShift);
  Headless::SetIdleHandler(nullptr);
  EXPECT_EQ(Edit->GetText(), "two");
  EXPECT_TRUE(Edit->GetModified());
}

TEST_F(zmTextEdit, NoOwnMenuWhenTheEditorOrAParentHasOne) {
  Open(Edit, "text");
  auto* popup = New<TPopupMenu>(Form);
  popup->GetItems()->Add(NewItem("Form item", 0, false, true, nullptr));
  int shown = 0;
  popup->OnPopup = [&](TObject*) { ++shown; };
  Container->SetPopupMenu(popup);
  RunWhenIdle({[] { Headless::PressKey(VK_ESCAPE); }});
  Press(VK_F10, skShift);
  Headless::SetIdleHandler(nullptr);
  EXPECT_EQ(Edit->GetContextMenu(), nullptr);
  EXPECT_EQ(shown, 1) << "the container's menu shows instead";
}

TEST_F(zmTextEdit, RightClickOnTheBorderShowsNoMenu) {
  Edit->GetStyle()->SetBorderStyle(xbsThick);
  Open(Edit, "text");
  TPoint border = At(Edit, {-1, 5});
  Headless::Click(border.X, border.Y, 1);
  Pump();
  EXPECT_EQ(Edit->GetContextMenu(), nullptr);
  bool shown = false;
  RunWhenIdle({[&] { shown = Edit->GetContextMenu() != nullptr; }, [] { Headless::PressKey(VK_ESCAPE); }});
  TPoint inside = At(Edit, {5, 5});
  Headless::Click(inside.X, inside.Y, 1);
  Pump();
  Headless::SetIdleHandler(nullptr);
  EXPECT_TRUE(shown);
}

// ------------------------------------------------------------------ text cells

class zmTextCell : public testing::Test {
 protected:
  zmTextCell() {
    Font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    Brush = CreateSolidBrush(RGB(255, 255, 255));
    Data = MakeOwned<TzmTextEditViewData>();
    Data->FontHandle = Font;
    Data->BrushHandle = Brush;
    Data->BackColor = RGB(255, 255, 255);
    Data->ForeColor = RGB(0, 0, 0);
    Data->ViewRect = Rect(0, 0, 100, 20);
  }
  ~zmTextCell() override {
    DeleteObject(Font);
    DeleteObject(Brush);
  }
  const TzmInplaceEditClassOps& Ops() { return TzmInplaceTextEdit::ClassOps(); }
  // The ink (non-white) pixel count of the cell text drawn in a fresh canvas.
  int Ink(const String& text) {
    TPixelCanvas canvas(100, 20);
    Data->DrawValue = text;
    Data->TextLength = 0;
    Ops().DrawContent(canvas.DC(), Rect(0, 0, 100, 20), Data.get(), false);
    return canvas.Count(RGB(0, 0, 0)) + (100 * 20 - canvas.Count(RGB(255, 255, 255)) - canvas.Count(RGB(0, 0, 0)));
  }

  HFONT Font;
  HBRUSH Brush;
  TOwned<TzmTextEditViewData> Data;
};

TEST_F(zmTextCell, APasswordCharacterMasksTheCellAndAnEmptyTextStaysEmpty) {
  Data->PasswordChar = '*';
  int masked = Ink("abc");
  Data->PasswordChar = 0;
  EXPECT_EQ(masked, Ink("***"));
  Data->PasswordChar = '*';
  EXPECT_EQ(Ink(""), 0);
}

TEST_F(zmTextCell, CharCaseAppliesToTheCell) {
  Data->CharCase = ecUpperCase;
  int upper = Ink("abc");
  Data->CharCase = ecNormal;
  EXPECT_EQ(upper, Ink("ABC"));
}

TEST_F(zmTextCell, AWindowedTextEditorDrawsNothingOverItsWindow) {
  Data->HasTextArea = true;
  TPixelCanvas canvas(100, 20, RGB(255, 0, 0));
  Data->DrawValue = "x";
  EXPECT_FALSE(Ops().DrawContent(canvas.DC(), Rect(0, 0, 100, 20), Data.get(), true));
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), 2000);
  EXPECT_TRUE(Ops().DrawContent(canvas.DC(), Rect(0, 0, 100, 20), Data.get(), false));
}

TEST_F(zmTextCell, MeasuringCountsTheLines) {
  Data->MeasureOnly = true;
  Data->TextLayout = 3;
  Data->DrawValue = "one two three four five six seven";
  TPixelCanvas canvas(100, 20);
  Ops().DrawContent(canvas.DC(), Rect(0, 0, 60, 20), Data.get(), false);
  EXPECT_GT(Data->LineHeight, 0);
  EXPECT_GE(Data->LineCount, 3);
  EXPECT_EQ(Data->LineCount, Data->TextHeight / Data->LineHeight);
  EXPECT_EQ(canvas.Count(RGB(255, 255, 255)), 2000) << "nothing drawn";
}

TEST_F(zmTextEdit, LiveEditorsDrawTheirCellFromTheirViewData) {
  Open(Edit, "cell");
  Edit->SetPasswordChar('#');
  Edit->SetHasSelectionBar(true);
  auto data = Edit->CreateViewData(true);
  auto* text = As<TzmTextEditViewData>(data.get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->PasswordChar, '#');
  EXPECT_TRUE(text->HasSelectionBar);
  EXPECT_TRUE(text->HasTextArea);
  EXPECT_FALSE(text->StandaloneFrame);
  EXPECT_EQ(VarToStr(text->DrawValue), "cell");
}

}  // namespace
