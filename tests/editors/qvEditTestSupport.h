// Fixture of the editor control tests: a minimal editor kind whose text stands in for an inner
// edit (typed characters go through the editor's key filters and change handler), a data binding
// that records what it stores, and a shown form with a second control to move the focus to.
#pragma once

#include <string>
#include <vector>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvEdit.h"
#include "platform/forms/StdCtrls.h"

class TTestEdit;

// Properties whose answers the tests choose.
class TTestEditProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestEditProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
  static TqvCustomEditClass ContainerClass();
  bool CanValidate() const override { return true; }
  bool CanCompareEditValue() const override { return true; }
  bool CanRevertEditValue() const override { return Revertable; }
  void Assign(TPersistent* Source) override {
    TqvCustomEditProperties::Assign(Source);
    if (auto* source = As<TTestEditProperties>(Source)) Revertable = source->Revertable;
  }
  bool Revertable = true;
};

// Another kind, for lookups by class.
class TTestOtherEditProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestOtherEditProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
  static TqvCustomEditClass ContainerClass();
};

// Records what a standalone editor posts.
class TTestEditDataBinding : public TqvEditDataBinding {
  QJ_INLINE_CLASS(TTestEditDataBinding, TqvEditDataBinding)
 public:
  using TqvEditDataBinding::TqvEditDataBinding;
  void StoreEditValue(const Variant& Value) override {
    if (Fail) throw Exception("store failed");
    Stored.push_back(VarToStr(Value));
  }
  std::vector<String> Stored;
  bool Fail = false;
};

// An editor whose text plays the inner edit: typed characters that pass the key filters are
// appended and reported as a change of the inner control.
class TTestEdit : public TqvCustomEdit {
  QJ_INLINE_CLASS(TTestEdit, TqvCustomEdit)
 public:
  explicit TTestEdit(TComponent* AOwner, bool AIsInplace = false) : TqvCustomEdit(AOwner, AIsInplace) {}
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TTestEditProperties::StaticClass(); }
  TTestEditProperties* Props() const { return static_cast<TTestEditProperties*>(GetActiveProperties()); }
  TTestEditDataBinding* Binding() const { return static_cast<TTestEditDataBinding*>(GetDataBinding()); }

  Variant GetEditValue() override { return Text; }
  void GetDisplayValue(String& AText) override { AText = Text; }
  void SelectAll() override { ++SelectAllCount; }
  void ResetEditData() override { ++ResetEditDataCount; }
  void CutToClipboard() override { Log.push_back("cut"); }
  void CopyToClipboard() override { Log.push_back("copy"); }
  void PasteFromClipboard() override {
    Log.push_back(IsUserChange() ? "paste by user" : "paste");
    SetEditValue(String("pasted"));
  }
  bool CanPassActivationKey(char AKey) override { return AKey != '#'; }
  void PropertiesChanged(TObject* Sender) override {
    ++PropertiesChangedCount;
    TqvCustomEdit::PropertiesChanged(Sender);
  }
  using TqvCustomEdit::DoEditing;
  using TqvCustomEdit::ProcessButtonsStateChange;

  String Text;
  Integer SelectAllCount = 0;
  Integer ResetEditDataCount = 0;
  Integer PropertiesChangedCount = 0;
  std::vector<std::string> Log;

 protected:
  TqvEditDataBindingClass GetDataBindingClass() const override { return &TTestEditDataBinding::StaticClass(); }
  TqvEditDataClass GetEditDataClass() const override { return &TqvCustomEditData::StaticClass(); }
  bool CanKeyPressModifyEdit(char AKey) override { return static_cast<unsigned char>(AKey) >= 32; }
  void InternalSetDisplayValue(const Variant& Value) override { Text = VarToStr(Value); }
  // The text follows a value set from code (a refused change leaves it).
  void InternalSetEditValue(const Variant& Value, bool AValidate) override {
    TqvCustomEdit::InternalSetEditValue(Value, AValidate);
    if (VarEqualsExact(TqvCustomEdit::GetEditValue(), Value)) Text = VarToStr(Value);
  }
  void DoEditKeyPress(char& Key) override {
    TqvCustomEdit::DoEditKeyPress(Key);
    if (static_cast<unsigned char>(Key) < 32) return;
    Text += Key;
    Key = 0;
    InnerEditChange(this);
  }
};

class TTestOtherEdit : public TTestEdit {
  QJ_INLINE_CLASS(TTestOtherEdit, TTestEdit)
 public:
  using TTestEdit::TTestEdit;
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TTestOtherEditProperties::StaticClass(); }
};

inline TqvCustomEditClass TTestEditProperties::ContainerClass() { return &TTestEdit::StaticClass(); }
inline TqvCustomEditClass TTestOtherEditProperties::ContainerClass() { return &TTestOtherEdit::StaticClass(); }

class TEditControlTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm();
    FOther = Add<TEdit>(FForm, Rect(10, 200, 110, 222));
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
  }
  TTestEdit* NewEdit(bool AInplace = false) {
    auto* edit = static_cast<TTestEdit*>(TqvCustomEdit::CreateInplace(&TTestEdit::StaticClass(), FForm, AInplace));
    edit->SetAutoSize(false);  // the base kind measures no content
    edit->SetBoundsRect(Rect(10, 10, 150, 31));
    edit->SetParent(FForm);
    return edit;
  }
  void ShowForm() { Show(FForm); }
  void FocusOther() {
    FOther->SetFocus();
    Pump();
  }

  TForm* FForm = nullptr;
  TEdit* FOther = nullptr;
  std::vector<String> Errors;
};

// A platform edit box serving as an editor's inner edit.
class TTestInnerEdit : public TEdit, public IqvCustomInnerEdit {
  QJ_INLINE_CLASS(TTestInnerEdit, TEdit)
 public:
  explicit TTestInnerEdit(TComponent* AOwner) : TEdit(AOwner) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
  }
  TWinControl* GetControl() override { return this; }
  TqvContainer* GetControlContainer() override { return As<TqvContainer>(GetParent()); }
  Variant GetEditValue() override { return GetText(); }
  TNotifyEvent GetOnChange() override { return OnChange; }
  bool GetReadOnly() override { return TEdit::GetReadOnly(); }
  void LockBounds(bool) override {}
  void SafelySetFocus() override { SetFocus(); }
  void SetEditValue(const Variant& Value) override { SetText(VarToStr(Value)); }
  void SetParent(TWinControl* AParent) override { TEdit::SetParent(AParent); }
  void SetOnChange(TNotifyEvent Handler) override { OnChange = std::move(Handler); }
  void SetReadOnly(bool Value) override { TEdit::SetReadOnly(Value); }
};

// An editor kind with an inner edit; it logs the characters its hook sees.
class TTestInnerEditEdit : public TTestEdit {
  QJ_INLINE_CLASS(TTestInnerEditEdit, TTestEdit)
 public:
  using TTestEdit::TTestEdit;
  std::vector<char> HookedChars;

 protected:
  TqvInnerEditClass GetInnerEditClass() const override { return &TTestInnerEdit::StaticClass(); }
  bool CanShowInnerEdit() override { return true; }
  void InnerEditWindowProc(TMessage& Message) override {
    if (Message.Msg == WM_CHAR) HookedChars.push_back(static_cast<char>(Message.WParam));
    TTestEdit::InnerEditWindowProc(Message);
  }
};
