// The in-place mask editor: typing in overwrite mode along the mask, the caret on input positions,
// deleting, the clipboard, values with and without literals, and validation.
#include "platform/os/Clipboard.h"
#include "treelist/zmMaskEdit.h"
#include "zmTestSupport.h"

namespace {

class zmMaskEdit : public TzmEditorTest {
 protected:
  void SetUp() override {
    TzmEditorTest::SetUp();
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->ClassName() + ": " + E->Message()); };
    Edit = NewEditor<TzmInplaceTreeListMaskEdit>();
  }
  void OpenMasked(const String& Mask, const String& Value) {
    Edit->SetEditMask(Mask);
    Open(Edit, Value);
    Edit->SetCursor(0);
  }
  // The selection as "start,end" and the caret's offset.
  String Selection() {
    Integer start = 0, end = 0;
    Edit->GetSel(start, end);
    return IntToStr(start) + "," + IntToStr(end);
  }
  Variant Value() {
    Variant v;
    Edit->GetEditValue(v);
    return v;
  }

  TzmInplaceMaskEdit* Edit = nullptr;
  std::vector<String> Errors;
};

TEST_F(zmMaskEdit, TypingOverwritesAlongTheMaskAndSkipsLiterals) {
  OpenMasked("00/00;1;_", "");
  EXPECT_EQ(Edit->GetText(), "__/__");
  EXPECT_EQ(Selection(), "0,1") << "one character selected, the caret at its left";
  EXPECT_EQ(Edit->GetCaretPos(), 0);
  Type("12");
  EXPECT_EQ(Edit->GetText(), "12/__");
  EXPECT_EQ(Selection(), "3,4") << "the caret skipped the literal";
  Type("34");
  EXPECT_EQ(Edit->GetText(), "12/34");
  EXPECT_EQ(Selection(), "5,5");
  Type("5");
  EXPECT_EQ(Edit->GetText(), "12/34") << "nothing is typed past the mask";
  EXPECT_TRUE(Edit->GetModified());
}

TEST_F(zmMaskEdit, CharactersThatDoNotFitAreRefusedAndLettersFollowTheCaseDirectives) {
  OpenMasked(">LL<LL;1;_", "");
  Type("a1bCD");
  EXPECT_EQ(Edit->GetText(), "ABcd") << "the digit is refused, letters take the case of their position";
  OpenMasked("<L<>L;1;_", "");
  Type("AB");
  EXPECT_EQ(Edit->GetText(), "aB") << "\"<>\" ends lower case";
}

TEST_F(zmMaskEdit, TypingALiteralJumpsPastIt) {
  OpenMasked("99/99;1;_", "");
  Type("1/5");
  EXPECT_EQ(Edit->GetText(), "1_/5_");
}

TEST_F(zmMaskEdit, ArrowsHomeAndEndKeepTheCaretOnInputPositions) {
  OpenMasked("00-00;1;_", "12-34");
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  EXPECT_EQ(Selection(), "3,4") << "right skips the literal";
  Press(VK_LEFT);
  EXPECT_EQ(Selection(), "1,2") << "and so does left";
  Press(VK_END);
  EXPECT_EQ(Selection(), "5,5");
  Press(VK_HOME);
  EXPECT_EQ(Selection(), "0,1");
  Press(VK_LEFT);
  EXPECT_EQ(Selection(), "0,1") << "the first input position is the limit";
}

TEST_F(zmMaskEdit, BackspaceAndDeleteBlankInputsAndLeaveLiterals) {
  OpenMasked("00-00;1;_", "12-34");
  Press(VK_BACK);
  EXPECT_EQ(Edit->GetText(), "12-34") << "backspace at the first input position does nothing";
  Edit->SetCursor(2);
  Press(VK_DELETE);
  EXPECT_EQ(Edit->GetText(), "12-34") << "delete on a literal leaves it";
  Edit->SetCursor(3);
  Press(VK_BACK);
  EXPECT_EQ(Edit->GetText(), "1_-34");
  EXPECT_EQ(Selection(), "1,2");
  Edit->SetCursor(4);
  Press(VK_DELETE);
  EXPECT_EQ(Edit->GetText(), "1_-3_");
  EXPECT_EQ(Length(Edit->GetText()), 5) << "the text length never changes";
}

TEST_F(zmMaskEdit, ClearAndCutBlankEveryInputEvenForAPartialSelection) {
  OpenMasked("00-00;1;_", "12-34");
  Edit->SetSel(0, 2);
  Edit->ClearSelection();
  EXPECT_EQ(Edit->GetText(), "__-__");
  Edit->SetEditValue("56-78");
  Edit->SetSel(3, 5);
  Edit->CutSelection();
  EXPECT_EQ(Edit->GetText(), "__-__");
  EXPECT_EQ(GetClipboardText(nullptr), "78");
  EXPECT_TRUE(Edit->GetModified());
}

TEST_F(zmMaskEdit, PasteLaysTheClipboardAlongTheMask) {
  OpenMasked("00/00;1;_", "");
  SetClipboardText(nullptr, "12/3");
  Press('V', skCtrl);
  EXPECT_EQ(Edit->GetText(), "12/3_");
  EXPECT_EQ(Errors.size(), 1u) << "an incomplete result raises right after the paste";
  SetClipboardText(nullptr, "9x87");
  Edit->SetCursor(0);
  EXPECT_THROW(Edit->PasteText(), EzmEditInvalidInput);
  EXPECT_EQ(Edit->GetText(), "9_/87") << "a refused character becomes a blank";
}

TEST_F(zmMaskEdit, AReplacementOfAnotherLengthIsIgnored) {
  OpenMasked("00/00;1;_", "12/34");
  SendMessage(Edit->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("987"));
  EXPECT_EQ(Edit->GetText(), "12/34");
  SendMessage(Edit->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("9"));
  EXPECT_EQ(Edit->GetText(), "92/34");
}

TEST_F(zmMaskEdit, ValuesWithAndWithoutLiterals) {
  OpenMasked("00/00;0;_", "1234");
  EXPECT_EQ(Edit->GetText(), "12/34");
  EXPECT_EQ(VarToStr(Value()), "1234") << "literals are not saved";
  OpenMasked("00/00;1;_", "1/3");
  EXPECT_EQ(Edit->GetText(), "1_/3_");
  EXPECT_EQ(VarToStr(Value()), "1 /3 ") << "saved literals, blanks as spaces";
  OpenMasked("!99/99;1;_", "1/23");
  EXPECT_EQ(Edit->GetText(), "_1/23") << "reverse masks fill from the right";
  EXPECT_EQ(Edit->StripLiterals(Edit->GetText()), "123") << "leading blanks dropped";
  Edit->SetEditValue(Null());
  EXPECT_EQ(Edit->GetText(), "__/__");
  String display;
  Edit->GetDisplayText(display);
  EXPECT_EQ(display, "") << "an empty mask shows as no text";
}

TEST_F(zmMaskEdit, LeavingWithARequiredPositionEmptyRaisesAndSelectsIt) {
  OpenMasked("00/00;1;_", "");
  Type("12");
  Press(VK_RETURN);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "EzmEditInvalidInput: Invalid input value.  Use escape key to abandon changes");
  EXPECT_EQ(Selection(), "3,4") << "the first empty required position";
  EXPECT_TRUE(Edit->GetReEnter());
  EXPECT_TRUE(Container->Keys.empty()) << "the key is not handed on";
  Press(VK_ESCAPE);
  EXPECT_EQ(Edit->GetText(), "__/__") << "Esc abandons the changes";
  EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(zmMaskEdit, OptionalPositionsAndSpacesAtAnyCharacter) {
  OpenMasked("99/CC;1;_", "");
  Edit->SetEditText("  /x ");
  Integer offset = -1;
  EXPECT_TRUE(Edit->IsTextValid("  /x ", offset)) << "a space is allowed at \"C\"";
  EXPECT_FALSE(Edit->IsTextValid("  /x_", offset));
  EXPECT_EQ(offset, 4);
}

TEST_F(zmMaskEdit, IgnoreMaskBlankAcceptsBlanksButShowsThem) {
  OpenMasked("00/00;1;_", "");
  Edit->SetIgnoreMaskBlank(true);
  Edit->SetModified(true);
  EXPECT_NO_THROW(Edit->ValidateEdit());
  String display;
  Edit->GetDisplayText(display);
  EXPECT_EQ(display, "__/__");
  Integer offset = -1;
  EXPECT_FALSE(Edit->IsTextValid("1 /__", offset)) << "a space is no blank";
  EXPECT_EQ(offset, 1);
}

TEST_F(zmMaskEdit, AClosingEditorCancelsInsteadOfRaising) {
  OpenMasked("00/00;1;_", "12/34");
  Edit->SetCursor(3);
  Type("9");
  Edit->SetCursor(4);
  Press(VK_DELETE);
  ASSERT_EQ(Edit->GetText(), "12/9_");
  Edit->SetClosing(true);
  EXPECT_NO_THROW(Edit->ValidateEdit());
  EXPECT_EQ(Edit->GetText(), "12/34");
}

// A text of another length from outside the mask's own editing is fitted once; without saved
// literals the literals are not inserted again and again.
TEST_F(zmMaskEdit, ATextOfAnotherLengthIsFittedOnce) {
  OpenMasked("00/00;0;_", "1234");
  int changes = 0;
  Edit->OnChange = [&](TObject*) { ++changes; };
  SendMessage(Edit->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("5/6"));
  EXPECT_EQ(Length(Edit->GetText()), 5);
  EXPECT_LE(changes, 3);
}

TEST_F(zmMaskEdit, ChangingTheMaskReformatsTheInputs) {
  OpenMasked("00/00;1;_", "12/34");
  Edit->SetEditMask("00-00-00;1;_");
  EXPECT_EQ(Edit->GetText(), "12-34-__");
  EXPECT_EQ(Edit->GetMaxChars(), 8);
  EXPECT_EQ(Edit->GetMaxLength(), 8);
  Edit->SetEditMask("");
  EXPECT_FALSE(Edit->IsMasked());
  EXPECT_EQ(Edit->GetText(), "1234");
  Type("x");
  EXPECT_EQ(Edit->GetMaxLength(), 0);
}

TEST_F(zmMaskEdit, ModifiedEscIsASpecialKeyOnlyWhileMasked) {
  OpenMasked("00;1;_", "");
  EXPECT_EQ(Edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 0);
  Type("1");
  EXPECT_EQ(Edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
}

}  // namespace
