// Fixture of the text editor tests: a shown form with a text edit (or a descendant) and a second
// control to move the focus to, keys and characters injected through the headless backend, and
// a text edit kind whose editing style the test chooses (the list styles belong to combo boxes).
#pragma once

#include <string>
#include <vector>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/StdCtrls.h"

// Text properties with a chosen editing style.
class TTestStyleProperties : public TqvTextEditProperties {
  QJ_INLINE_CLASS(TTestStyleProperties, TqvTextEditProperties)
 public:
  using TqvTextEditProperties::TqvTextEditProperties;
  static TqvCustomEditClass ContainerClass();
  TqvEditEditingStyle GetEditingStyle() const override { return Style; }
  void Assign(TPersistent* Source) override {
    TqvTextEditProperties::Assign(Source);
    if (auto* source = As<TTestStyleProperties>(Source)) Style = source->Style;
  }
  TqvEditEditingStyle Style = esEdit;
};

// A text edit whose keys and wheel move through its lookup items, as combo boxes do.
class TTestStyleEdit : public TqvTextEdit {
  QJ_INLINE_CLASS(TTestStyleEdit, TqvTextEdit)
 public:
  using TqvTextEdit::TqvTextEdit;
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TTestStyleProperties::StaticClass(); }
  TTestStyleProperties* Props() const { return static_cast<TTestStyleProperties*>(GetActiveProperties()); }
  bool Navigates = true;

 protected:
  bool CanSynchronizeLookupData(bool) override { return Navigates; }
};

inline TqvCustomEditClass TTestStyleProperties::ContainerClass() { return &TTestStyleEdit::StaticClass(); }

class TTextEditTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm();
    FOther = Add<TEdit>(FForm, Rect(10, 200, 110, 222));
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
  }
  void TearDown() override {
    Clipboard()->Clear();
    TqvControlsTest::TearDown();
  }

  template <class T = TqvTextEdit>
  T* NewTextEdit(bool AInplace = false, TRect ABounds = Rect(10, 10, 170, 31)) {
    auto* edit = static_cast<T*>(TqvCustomEdit::CreateInplace(&T::StaticClass(), FForm, AInplace));
    edit->SetBoundsRect(ABounds);
    edit->SetParent(FForm);
    return edit;
  }
  void ShowForm() { Show(FForm); }
  void Focus(TqvCustomEdit* AEdit) {
    AEdit->SetFocus();
    Pump();
  }
  void FocusOther() {
    FOther->SetFocus();
    Pump();
  }
  static TqvCustomInnerTextEdit* Inner(TqvCustomTextEdit* AEdit) {
    return As<TqvCustomInnerTextEdit>(AEdit->GetInnerControl());
  }
  // The inner window's own text and selection, as the user sees them.
  static String WindowText(TqvCustomTextEdit* AEdit) { return Inner(AEdit)->GetText(); }
  static std::pair<Integer, Integer> Selection(TqvCustomTextEdit* AEdit) {
    return {Inner(AEdit)->GetSelStart(), Inner(AEdit)->GetSelLength()};
  }
  static void SetItems(TqvCustomTextEditProperties* AProperties, std::initializer_list<const char*> AItems) {
    TStrings* items = AProperties->GetLookupItems();
    items->Clear();
    for (const char* item : AItems) items->Add(item);
  }

  TForm* FForm = nullptr;
  TEdit* FOther = nullptr;
  std::vector<String> Errors;
};

// Replays a key script: characters type as text, names of keys press them.
struct TKeyStep {
  enum TKind { Text, Key } Kind;
  String Chars;
  BYTE Vk = 0;
  unsigned Shift = skNone;
};
inline TKeyStep Chars(const char* S) { return {TKeyStep::Text, S}; }
inline TKeyStep Key(BYTE AVk, unsigned AShift = skNone) { return {TKeyStep::Key, String(), AVk, AShift}; }

inline void RunKeys(const std::vector<TKeyStep>& ASteps) {
  for (const TKeyStep& step : ASteps) {
    if (step.Kind == TKeyStep::Text)
      Headless::TypeText(step.Chars);
    else
      Headless::PressKey(step.Vk, step.Shift);
    Application->ProcessMessages();
  }
}
