// The spin editor: a masked text editor for a number with spin buttons. The up and down buttons
// (and optional fast buttons) step the value by Increment or LargeIncrement, with auto-repeat
// while a button is held; the arrow and page keys and the mouse wheel step it too. The time
// editor derives from it and steps through the same four operations (CanClamp, GetStepSize,
// GetValue, SetValue, DoStep).
#pragma once

#include "editors/qvEditPaintUtils.h"
#include "editors/qvMaskEdit.h"

class TTimer;
class TqvCustomSpinEdit;
class TqvCustomSpinEditProperties;

enum TqvSpinEditValueType { vtInt, vtFloat };
// Step kinds, also the indexes of the spin buttons: down, up, fast down, fast up.
enum TqvSpinEditStepKind { skDown = 0, skUp = 1, skFastDown = 2, skFastUp = 3 };

extern const TResourceString sqvSpinEditConvertError;

// The value of a number text by value type: a float with the locale's decimal separator, or an
// integer of the whole text. False for a text that is no number, and for vtInt beyond the
// 32-bit range.
bool qvSpinTextToValue(const String& AText, TqvSpinEditValueType AValueType, double& AValue);
// A number as the value type's Variant: a double, or an integer rounded to even on halves;
// false (and Null) for vtInt beyond the 32-bit range or a value that is not finite.
bool qvSpinNumberToVariant(double AValue, TqvSpinEditValueType AValueType, Variant& AResult);

// The assigned values of the text properties plus whether ValueType was assigned.
class TqvSpinEditPropertiesValues : public TqvTextEditPropertiesValues {
  QJ_CLASS(TqvSpinEditPropertiesValues, TqvTextEditPropertiesValues)
 public:
  using TqvTextEditPropertiesValues::TqvTextEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool GetValueType() const { return FValueType; }
  void SetValueType(bool Value) { FValueType = Value; }

 private:
  bool FValueType = false;
};

// Where the spin buttons go, and whether the fast buttons show.
class TqvSpinEditButtons : public TPersistent {
  QJ_CLASS(TqvSpinEditButtons, TPersistent)
 public:
  explicit TqvSpinEditButtons(TqvCustomSpinEditProperties* AOwner) : FOwner(AOwner) {}
  // Both settings, in one update of the owner.
  void Assign(TPersistent* Source) override;

  TqvSpinEditButtonsPosition GetPosition() const { return FPosition; }
  void SetPosition(TqvSpinEditButtonsPosition Value);
  bool GetShowFastButtons() const { return FShowFastButtons; }
  void SetShowFastButtons(bool Value);

 private:
  TqvCustomSpinEditProperties* FOwner;
  TqvSpinEditButtonsPosition FPosition = sbpVert;
  bool FShowFastButtons = false;
};

class TqvCustomSpinEditProperties : public TqvCustomMaskEditProperties {
  QJ_CLASS(TqvCustomSpinEditProperties, TqvCustomMaskEditProperties)
 public:
  explicit TqvCustomSpinEditProperties(TPersistent* AOwner);
  ~TqvCustomSpinEditProperties() override;
  // The provider, ValueType when assigned in Source, the masked settings, then the spin
  // settings, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditPropertiesValuesClass PropertiesValuesClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  TqvSpinEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TqvSpinEditPropertiesValues*>(TqvCustomEditProperties::GetAssignedValues());
  }

  // Adds the fast buttons with ShowFastButtons and removes them without, then the inherited.
  void Changed() override;

  // Whether a typed text must convert to the value type (the time editor's texts do not).
  virtual bool IsNumericTextValidated() const { return true; }
  // Whether stepping keeps the selection (else the caret goes to the end).
  virtual bool KeepSelectionOnSpin() const { return false; }

  // Null: an empty text; a number, or a text that is one, by value type; any other value shows
  // its own text, so that painting never raises.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // The text editor's test, then (when validated) a number of the value type; a number outside
  // distinct bounds is shown as its own text (the bounds check reports it).
  bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;
  // Numbers, Null and texts (an empty one is 0) that convert to the value type.
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  // The focused text of MinValue within distinct bounds, else "0".
  Variant GetDefaultDisplayValue() override;
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool SupportsValueBounds() const override { return true; }

  // The text of a number in the value type's form (15 significant digits, or a rounded
  // integer); an integer beyond the 32-bit range keeps its float text.
  String NumberToText(double AValue) const;

  bool GetCanEdit() const { return FCanEdit; }
  void SetCanEdit(bool Value) { SetValue(FCanEdit, Value); }
  double GetIncrement() const { return FIncrement; }
  void SetIncrement(double Value) { SetValue(FIncrement, Value); }
  bool IsIncrementStored() const { return FIncrement != 1.0; }
  double GetLargeIncrement() const { return FLargeIncrement; }
  void SetLargeIncrement(double Value) { SetValue(FLargeIncrement, Value); }
  bool IsLargeIncrementStored() const { return FLargeIncrement != 10.0; }
  TqvSpinEditButtons* GetSpinButtons() const { return FSpinButtons.get(); }
  void SetSpinButtons(TqvSpinEditButtons* Value) { FSpinButtons->Assign(Value); }
  bool GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool Value) { SetValue(FUseCtrlIncrement, Value); }
  // The assigned type, else vtFloat when the provider says float values (or there is none),
  // vtInt when it says not.
  TqvSpinEditValueType GetValueType() const;
  // Marks the type assigned.
  void SetValueType(TqvSpinEditValueType Value);
  bool IsValueTypeStored() const { return GetAssignedValues()->GetValueType(); }

 private:
  void UpdateButtons();

  bool FCanEdit = true;
  double FIncrement = 1.0;
  double FLargeIncrement = 10.0;
  TOwned<TqvSpinEditButtons> FSpinButtons;
  bool FUseCtrlIncrement = false;
  TqvSpinEditValueType FValueType = vtFloat;
  bool FUpdatingButtons = false;
};

class TqvSpinEditProperties : public TqvCustomSpinEditProperties {
  QJ_CLASS(TqvSpinEditProperties, TqvCustomSpinEditProperties)
 public:
  using TqvCustomSpinEditProperties::TqvCustomSpinEditProperties;
};

// ---------------------------------------------------------------------------------------------
// Paint model

class TqvSpinEditViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvSpinEditViewInfo, TqvCustomTextEditViewInfo)
 public:
  void Assign(TObject* Source) override;
  void DrawButtonBorder(TqvCanvas* ACanvas, Integer AButtonIndex, const TRect& ARect,
                        TqvEditButtonStyle AButtonStyle) override;
  void DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor, TColor AContentColor,
                         const TRect& ARect) override;

  TqvSpinEditButtonsPosition Position = sbpVert;
  Integer ArrowSize = 3;
  // A line in the background colour between the spin buttons (empty: none).
  TRect SeparatorRect;

 protected:
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvSpinEditViewData : public TqvCustomTextEditViewData {
  QJ_CLASS(TqvSpinEditViewData, TqvCustomTextEditViewData)
 public:
  using TqvCustomTextEditViewData::TqvCustomTextEditViewData;

  TqvCustomSpinEditProperties* GetProperties() const {
    return static_cast<TqvCustomSpinEditProperties*>(TqvCustomEditViewData::GetProperties());
  }

  // The button the keyboard holds pressed (0 none, else step kind + 1).
  bool IsButtonPressed(TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex) override;
  void CalculateButtonBounds(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, TRect& ARect,
                             Integer AButtonVisibleIndex) override;
  void CalculateButtonsViewInfo(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                                TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void CalculateButtonNativeInfo(TqvEditButtonViewInfo* AButtonViewInfo) override;

  Integer KeyboardPressedButton = 0;

 private:
  // Widths of the normal horizontal and the fast buttons, and the arrow size.
  void CalculateButtonWidths(TqvCanvas* ACanvas, const TRect& AContent, Integer& ANormal, Integer& AFast,
                             Integer& AArrow) const;

  TRect FContent;
  Integer FNormalWidth = 0, FFastWidth = 0, FArrowSize = 3;
};

// ---------------------------------------------------------------------------------------------
// Control

class TqvCustomSpinEdit : public TqvCustomMaskEdit {
  QJ_CLASS(TqvCustomSpinEdit, TqvCustomMaskEdit)
 public:
  static constexpr Cardinal FirstRepeatDelay = 400;
  static constexpr Cardinal RepeatInterval = 100;

  explicit TqvCustomSpinEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomSpinEdit() override;
  // The edit value starts as the integer 0.
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomSpinEditProperties* GetProperties() const {
    return static_cast<TqvCustomSpinEditProperties*>(GetActiveProperties());
  }

  // -- Stepping
  virtual bool CanClamp() const { return true; }
  // LargeIncrement for the fast kinds, else Increment; a whole number of at least 1 for
  // vtInt; negative for the down kinds.
  virtual double GetStepSize(TqvSpinEditStepKind AKind);
  // Focused: the text's value; unfocused: the edit value; MinValue when there is none; always
  // of the value type's Variant type.
  virtual Variant GetValue();
  // Null is ignored; focused: the value's text; unfocused: the edit value when valid.
  virtual void SetValue(const Variant& Value);
  // Steps within distinct bounds; true when the text changed.
  virtual bool DoStep(TqvSpinEditStepKind AKind);

  Variant GetValueProperty() { return GetValue(); }

  // The keyboard-held button (0 none, else step kind + 1).
  Integer GetPressedState() const { return FPressedState; }
  bool IsSpinning() const { return FTimer != nullptr; }
  // Ends spinning: no button held, the repeat timer freed, the mouse released.
  void StopSpinning();

  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void DblClick() override;

 protected:
  // Values below MinValue become MinValue, above MaxValue become MaxValue.
  void CheckEditValueBounds() override;
  void DoButtonDown(Integer AButtonVisibleIndex) override;
  void DoButtonUp(Integer AButtonVisibleIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void DoExit() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  bool IsValidChar(char AChar) override;
  void InitializeViewData(TqvCustomEditViewData* AViewData) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

  bool IsInternalUpdate() const { return FInternalUpdate; }

 private:
  TqvSpinEditStepKind ButtonKind(Integer AButtonVisibleIndex) const;
  void TimerTick(TObject* Sender);
  void SetPressedState(Integer Value);
  // The value of a number as the value type, false beyond its range.
  bool StepTarget(double& AValue, TqvSpinEditStepKind AKind);

  Integer FPressedState = 0;
  TTimer* FTimer = nullptr;
  bool FInternalUpdate = false;
};

class TqvSpinEdit : public TqvCustomSpinEdit {
  QJ_CLASS(TqvSpinEdit, TqvCustomSpinEdit)
 public:
  using TqvCustomSpinEdit::TqvCustomSpinEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvSpinEditProperties* GetProperties() const { return static_cast<TqvSpinEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvSpinEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositorySpinItem : public TqvEditRepositoryItemOf<TqvSpinEditProperties> {
  QJ_CLASS(TqvEditRepositorySpinItem, TqvEditRepositoryItemOf<TqvSpinEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
