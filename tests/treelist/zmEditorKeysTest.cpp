// The in-place editing protocol: keys handed to the container, validation on navigation keys
// and on focus loss, Esc, read-only and stale editors, clicks, the wheel and dialog codes.
#include "platform/os/Clipboard.h"
#include "treelist/zmTextEdit.h"
#include "zmTestSupport.h"

namespace {

class zmEditorKeys : public TzmEditorTest {
 protected:
  void SetUp() override {
    TzmEditorTest::SetUp();
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->ClassName() + ": " + E->Message()); };
    Edit = NewEditor<TzmInplaceTextEdit>();
    Open(Edit, "abc");
  }

  void RefuseValues(const String& ErrorText) {
    Edit->OnValidate = [ErrorText](TObject*, String& Text, bool& Accept) {
      Text = ErrorText;
      Accept = false;
    };
  }
  bool Has(const std::vector<Word>& keys, Word key) { return std::find(keys.begin(), keys.end(), key) != keys.end(); }

  TzmInplaceTextEdit* Edit = nullptr;
  std::vector<String> Errors;
};

TEST_F(zmEditorKeys, ActivationShowsFocusesAndSelectsEverything) {
  EXPECT_TRUE(IsWindowVisible(Edit->GetHandle()));
  EXPECT_EQ(GetFocus(), Edit->GetHandle());
  EXPECT_EQ(Edit->GetBoundsRect(), Rect(18, 18, 142, 42)) << "the cell grown by 2";
  EXPECT_EQ(Edit->GetSelLength(), 3);
  EXPECT_EQ(Form->GetActiveControl(), Container) << "the form's focused control is the container";
  Edit->HideEdit();
  EXPECT_FALSE(IsWindowVisible(Edit->GetHandle()));
  EXPECT_FALSE(Edit->IsEditVisible());
}

TEST_F(zmEditorKeys, EnterValidatesThenGoesToTheContainerWithoutACharacter) {
  int validations = 0;
  Edit->OnValidate = [&](TObject*, String&, bool&) { ++validations; };
  Type("xy");
  Press(VK_RETURN);
  EXPECT_EQ(validations, 1);
  EXPECT_TRUE(Has(Container->Keys, VK_RETURN));
  EXPECT_EQ(std::count(Container->Chars.begin(), Container->Chars.end(), '\r'), 0);
  EXPECT_EQ(Edit->GetText(), "xy");
}

TEST_F(zmEditorKeys, ARefusedValueStopsTheKeyAndRaisesTheHandlersText) {
  RefuseValues("");
  Type("x");
  Press(VK_DOWN);
  EXPECT_FALSE(Has(Container->Keys, VK_DOWN)) << "the key is not processed";
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "EzmEditInvalidInput: ") << "an empty error text raises an empty message";
  EXPECT_EQ(GetFocus(), Edit->GetHandle());
}

TEST_F(zmEditorKeys, TheDefaultErrorText) {
  Edit->OnValidate = [](TObject*, String&, bool& Accept) { Accept = false; };
  Container->WantsTab = true;
  Type("x");
  Press(VK_TAB);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "EzmEditInvalidInput: Invalid input value. Use escape key to abandon changes");
}

TEST_F(zmEditorKeys, EscRestoresTextAndModifiedSoValidationPasses) {
  RefuseValues("no");
  Type("x");
  EXPECT_TRUE(Edit->GetModified());
  Press(VK_ESCAPE);
  EXPECT_EQ(Edit->GetText(), "abc");
  EXPECT_FALSE(Edit->GetModified());
  EXPECT_TRUE(Errors.empty());
  EXPECT_TRUE(Has(Container->Keys, VK_ESCAPE));
}

TEST_F(zmEditorKeys, TabWithAltIsNotHandedToTheContainer) {
  Container->WantsTab = true;
  Press(VK_TAB, skAlt);
  EXPECT_FALSE(Has(Container->Keys, VK_TAB));
  Press(VK_TAB);
  EXPECT_TRUE(Has(Container->Keys, VK_TAB));
}

TEST_F(zmEditorKeys, ReadOnlyEditorsSwallowTypingAndPaste) {
  SetClipboardText(nullptr, "pasted");
  Edit->SetStoredReadOnly(true);
  Edit->SelectAll();
  Type("z");
  Press('V', skCtrl);
  EXPECT_EQ(Edit->GetText(), "abc");
  EXPECT_FALSE(Edit->GetModified());
}

TEST_F(zmEditorKeys, AContainerThatRefusesChangesStopsEdits) {
  SetClipboardText(nullptr, "pasted");
  Container->Modifiable = false;
  Type("z");
  Press('V', skCtrl);
  Press(VK_DELETE);
  Press(VK_BACK);
  EXPECT_EQ(Edit->GetText(), "abc");
  Edit->SetEditText("new");
  EXPECT_EQ(Edit->GetText(), "abc");
  EXPECT_FALSE(Edit->GetModified()) << "a refused text leaves the editor unmodified";
  Container->Modifiable = true;
  Edit->SetEditText("new");
  EXPECT_EQ(Edit->GetText(), "new");
  EXPECT_TRUE(Edit->GetModified());
}

TEST_F(zmEditorKeys, InvalidCharactersAreDropped) {
  Container->ValidChars = false;
  Type("q");
  EXPECT_EQ(Edit->GetText(), "abc");
}

TEST_F(zmEditorKeys, StaleEditorsDropTheirKeys) {
  Container->Stale = true;
  Type("q");
  Press(VK_RETURN);
  EXPECT_EQ(Edit->GetText(), "abc");
  EXPECT_TRUE(Container->Keys.empty());
}

TEST_F(zmEditorKeys, F2PutsTheCaretAfterTheText) {
  Press(VK_F2);
  Integer start = 0, end = 0;
  Edit->GetSel(start, end);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 3);
}

TEST_F(zmEditorKeys, ModifyingKeys) {
  const std::tuple<Word, TShiftState, bool> cases[] = {
      {'V', ssCtrl, true},          {'X', ssCtrl | ssShift, true}, {'C', ssCtrl, false}, {VK_BACK, 0, true},
      {VK_DELETE, 0, true},         {VK_INSERT, ssShift, true},    {VK_INSERT, 0, false}, {'V', 0, false}};
  struct TKeyProbe : TzmInplaceEdit {
    using TzmInplaceEdit::TzmInplaceEdit;
    using TzmInplaceEdit::IsModifyingKey;
  };
  auto* probe = NewEditor<TKeyProbe>();
  for (auto [key, shift, modifying] : cases) EXPECT_EQ(probe->IsModifyingKey(key, shift), modifying) << key << " " << shift;
}

TEST_F(zmEditorKeys, DialogCodeWantsCharsAllKeysAndTabOnlyWhenTheContainerDoes) {
  LRESULT code = Edit->Perform(WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_TRUE(code & DLGC_WANTALLKEYS);
  EXPECT_FALSE(code & DLGC_WANTTAB);
  Container->WantsTab = true;
  EXPECT_TRUE(Edit->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(zmEditorKeys, ASecondClickBecomesADoubleClickOnlyWhenTheContainerConvertsClicks) {
  TPoint p = At(Edit, {5, 5});
  Edit->SetOpenClickTime(GetTickCount());
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(Container->DoubleClicks, 0);
  Container->Converts = true;
  Headless::AdvanceClock(1000);
  Edit->SetOpenClickTime(GetTickCount());
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(Container->DoubleClicks, 1);
  EXPECT_EQ(Edit->GetOpenClickTime(), 0u);
  Headless::AdvanceClock(1000);
  Edit->SetOpenClickTime(GetTickCount() - GetDoubleClickTime());
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(Container->DoubleClicks, 1) << "too late for a double click";
}

TEST_F(zmEditorKeys, TheWheelScrollsTheContainer) {
  TPoint p = At(Edit, {5, 5});
  Headless::MoveMouse(p.X, p.Y);
  Headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(Container->Scrolls, std::vector<int>(Mouse->GetWheelScrollLines(), -1));
}

// The tree list validates when its editor loses the focus to another control; a refusal is
// reported by the application, never unwound through the window system.
TEST_F(zmEditorKeys, ValidationOnFocusLossIsReportedAtTheDispatchBoundary) {
  RefuseValues("bad value");
  Container->OnEditorFocus = [this] {
    if (GetFocus() != Edit->GetHandle()) Edit->ValidateEdit();
  };
  Type("x");
  Other->SetFocus();
  Pump();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "EzmEditInvalidInput: bad value");
  EXPECT_EQ(Edit->GetText(), "x");
}

TEST_F(zmEditorKeys, FocusLeavingForTheContainerItselfIsNotNews) {
  int before = Container->FocusChanges;
  ::SetFocus(Container->GetHandle());
  Pump();
  EXPECT_EQ(Container->FocusChanges, before);
  ::SetFocus(Edit->GetHandle());
  Pump();
  EXPECT_EQ(Container->FocusChanges, before + 1) << "gaining the focus is";
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Container->FocusChanges, before + 2) << "so is losing it to another window";
}

TEST_F(zmEditorKeys, ActivationLockSuppressesActivated) {
  struct TActivatedEdit : TzmInplaceTextEdit {
    using TzmInplaceTextEdit::TzmInplaceTextEdit;
    int Count = 0;
    void Activated() override { ++Count; }
  };
  auto* edit = NewEditor<TActivatedEdit>();
  edit->LockActivate();
  edit->ActivateEdit(Rect(20, 60, 100, 80));
  edit->UnlockActivate();
  EXPECT_EQ(edit->Count, 0);
  edit->HideEdit();
  edit->ActivateEdit(Rect(20, 60, 100, 80));
  EXPECT_EQ(edit->Count, 1);
  edit->ActivateEdit(Rect(20, 60, 100, 80));
  EXPECT_EQ(edit->Count, 1) << "only a hidden editor is activated";
}

}  // namespace
