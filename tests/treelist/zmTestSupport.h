// Fixture of the tree list editor tests: the tree list units started, a form with a container
// that records what its editors ask and hand on, and a control to move the focus to.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/ControlsTestSupport.h"
#include "treelist/zmCntner.h"
#include "treelist/zmEditor.h"
#include "treelist/zmTLResources.h"

// A container whose hooks answer what the test sets and which records the keys, characters,
// scroll messages and focus news that reach it.
class TTestContainer : public TCustomzmContainer {
  QJ_INLINE_CLASS(TTestContainer, TCustomzmContainer)
 public:
  explicit TTestContainer(TComponent* AOwner) : TCustomzmContainer(AOwner) { SetTabStop(true); }

  bool Modifiable = true;
  bool ValidChars = true;
  bool WantsTab = false;
  bool Converts = false;
  bool Stale = false;
  std::vector<Word> Keys;    // reached the container's key-down handler
  std::vector<char> Chars;   // reached its key-press handler
  std::vector<int> Scrolls;  // +1 a line up, -1 a line down
  int FocusChanges = 0;
  int DoubleClicks = 0;
  std::function<void()> OnEditorFocus;

  bool CanEditorModify() override { return Modifiable; }
  bool IsEditorValidChar(char) override { return ValidChars; }
  bool EditorWantsTab() override { return WantsTab; }
  bool ConvertsEditorClicks() override { return Converts; }
  bool IsEditorStale() override { return Stale; }
  void EditorFocusChanged() override {
    ++FocusChanges;
    if (OnEditorFocus) OnEditorFocus();
  }
  void DblClick() override { ++DoubleClicks; }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    Keys.push_back(Key);
    inherited::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    Chars.push_back(Key);
    inherited::KeyPress(Key);
  }
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_VSCROLL) Scrolls.push_back(LOWORD(M.WParam) == SB_LINEUP ? 1 : -1);
    inherited::Dispatch(M);
  }
};

class TzmEditorTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Units = std::make_unique<TzmTreeListUnits>();
    Form = NewForm(300, 200, 100, 100);
    Container = Add<TTestContainer>(Form, "container", Rect(10, 10, 290, 150));
    Other = Add<TProbeControl>(Form, "other", Rect(10, 160, 100, 190));
    Form->Show();
    Pump();
  }
  void TearDown() override {
    TFormsTest::TearDown();
    Units.reset();
  }

  template <class E>
  E* NewEditor() {
    auto* e = New<E>(Container);
    e->SetParent(Container);
    return e;
  }

  // Opens the editor over a cell with a value, as the tree list does.
  void Open(TzmInplaceEdit* Edit, const String& Value, TRect Cell = Rect(20, 20, 140, 40)) {
    Edit->SetEditValue(Value);
    Edit->SetModified(false);
    Edit->SetActive(true);
    Edit->ActivateEdit(Cell);
    Pump();
  }

  // The screen point of a client point of a control.
  static TPoint At(TControl* Control, TPoint Client) { return Control->ClientToScreen(Client); }

  std::unique_ptr<TzmTreeListUnits> Units;
  TForm* Form = nullptr;
  TTestContainer* Container = nullptr;
  TProbeControl* Other = nullptr;
};
