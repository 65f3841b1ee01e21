// The calculator editor: a drop-down editor for floating-point numbers whose drop-down holds a
// calculator; the editor's own text is the calculator's display. Typed text is checked as a
// number of at most Precision digits; a text that is no number is refused when committed.
#pragma once

#include "core/qvFormats.h"
#include "editors/qvCalc.h"
#include "editors/qvPopupEdit.h"

class TqvCustomCalcEdit;

// The calculator of the editor's drop-down: its display is the editor's text.
class TqvPopupCalculator : public TqvCustomCalculator {
  QJ_CLASS(TqvPopupCalculator, TqvCustomCalculator)
 public:
  TqvPopupCalculator(TComponent* AOwner, TqvCustomCalcEdit* AEdit);

 protected:
  // By the editor's popup border style (single: ultra-flat, 3-D frame: standard, flat: flat)
  // unless its look and feel is native; else the look and feel's own painter.
  TqvLookAndFeelPainterClass GetPainter() const override;
  void GetDisplayText(String& Text) override;
  // Only while the editor may be edited; marks it modified.
  void SetDisplayText(const String& Text) override;
  // Esc gives the text of the opening back and closes; Shift+Insert pastes and Ctrl+Insert
  // copies; F4, Alt+Up and Alt+Down close.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Enter, and "=" with QuickClose, close after the calculator's handling.
  void KeyPress(char& Key) override;

 private:
  TqvCustomCalcEdit* FEdit;
};

class TqvCustomCalcEditProperties : public TqvCustomPopupEditProperties, public IqvFormatListener {
  QJ_CLASS(TqvCustomCalcEditProperties, TqvCustomPopupEditProperties)
 public:
  explicit TqvCustomCalcEditProperties(TPersistent* AOwner);
  ~TqvCustomCalcEditProperties() override;
  // MaxLength Precision + 2, a popup of the calculator's size that opens on request only, and
  // validation on Enter.
  void AfterConstruction() override;
  // The popup settings, then BeepOnError, Precision and QuickClose, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();

  // The value itself while focused, the display text otherwise.
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool PostValueOnPopupClosed() const override { return true; }
  // Null or an empty text: empty; focused: every significant digit; unfocused: the text
  // editor's conversion.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // A text that is neither empty nor a number is an invalid value; then OnValidate.
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;
  // The typed-character check: a number of at most Precision digits (and decimals).
  bool IsValidTypedChar(const String& AText, Integer ASelStart, Integer ASelLength, char AKey) const;

  void FormatChanged() override;
  bool IsFormatChanging() const { return FFormatChanging; }

  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value);
  Byte GetPrecision() const { return FPrecision; }
  // MaxLength follows: Precision + 2.
  void SetPrecision(Byte Value);
  bool GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(bool Value);

 private:
  bool FBeepOnError = true;
  Byte FPrecision = TqvCustomCalculator::DefaultPrecision;
  bool FQuickClose = false;
  bool FFormatChanging = false;
};

class TqvCalcEditProperties : public TqvCustomCalcEditProperties {
  QJ_CLASS(TqvCalcEditProperties, TqvCustomCalcEditProperties)
 public:
  using TqvCustomCalcEditProperties::TqvCustomCalcEditProperties;
};

class TqvCustomCalcEdit : public TqvCustomPopupEdit, public IqvFormatListener {
  QJ_CLASS(TqvCustomCalcEdit, TqvCustomPopupEdit)
 public:
  explicit TqvCustomCalcEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomCalcEdit() override;
  // Makes the calculator of the drop-down.
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomCalcEditProperties* GetProperties() const {
    return static_cast<TqvCustomCalcEditProperties*>(GetActiveProperties());
  }
  TqvPopupCalculator* GetCalculator() const { return FCalculator; }

  // 0 for Null and an empty text.
  double GetValue();
  void SetValue(double Value);

  // The editor's text as the calculator's display.
  String GetCalculatorText() { return InternalGetText(); }
  // Sets the text as typed, marking it modified; false when the editor may not be edited.
  bool SetCalculatorText(const String& AText);
  // Esc in the calculator: the text from the opening comes back, then the popup closes.
  void CancelPopup();

  // Closing by Esc gives the text of the opening back.
  void CloseUp(bool AAccept) override;
  bool CanDropDown() override;
  void CreatePopupWindow() override;
  void DropDown() override;
  // The calculator leaves an Error state (its memory stays), takes the style's font and sizes
  // itself by it.
  void InitPopupWindow() override;
  // "Error" left in the text becomes the value 0.
  void PopupWindowClosed(TObject* Sender) override;

  // Empty: Null; a number: its value; a text that is no number leaves the value unassigned.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PasteFromClipboard() override;
  void PropertiesChanged(TObject* Sender) override;
  void FormatChanged() override;

 protected:
  bool IsValidChar(char AChar) override;
  void DoEditKeyPress(char& Key) override;

 private:
  void RestoreTextAtPopup();

  TqvPopupCalculator* FCalculator = nullptr;
  String FTextAtPopup;
  bool FModifiedAtPopup = false;
};

class TqvCalcEdit : public TqvCustomCalcEdit {
  QJ_CLASS(TqvCalcEdit, TqvCustomCalcEdit)
 public:
  using TqvCustomCalcEdit::TqvCustomCalcEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCalcEditProperties* GetProperties() const { return static_cast<TqvCalcEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvCalcEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryCalcItem : public TqvEditRepositoryItemOf<TqvCalcEditProperties> {
  QJ_CLASS(TqvEditRepositoryCalcItem, TqvEditRepositoryItemOf<TqvCalcEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
