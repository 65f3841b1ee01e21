// The pocket calculator: 27 painter-drawn buttons, a memory register and immediate execution
// (each operator applies the pending one at once, with no precedence). It has no display of its
// own: the number is a text its host reads and writes through GetDisplayText/SetDisplayText.
#pragma once

#include <array>
#include <functional>

#include "lookandfeel/qvControls.h"

// The buttons, in table order; cbNone stands for "no button" wherever an index is kept.
enum TqvCalcButtonKind : Byte {
  cbBack, cbCancel, cbClear,
  cbMC, cbMR, cbMS, cbMP,
  cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
  cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual,
  cbNone
};
constexpr Integer qvCalcButtonCount = cbNone;

// Ready: the display holds a result and the next digit starts a new number. Entering: a number
// is being typed or was recalled. Error: only C and CE leave it.
enum class TqvCalcState : Byte { Ready, Entering, Error };

struct TqvCalcButton {
  TqvCalcButtonKind Kind = cbNone;
  String Caption;
  TColor Color = clBlack;
  TRect Bounds;
  bool Pressed = false;
  bool Disabled = false;
};

using TqvCalcButtonClickEvent = std::function<void(TObject* Sender, TqvCalcButtonKind& Button)>;

class TqvCustomCalculator : public TqvControl {
  QJ_CLASS(TqvCustomCalculator, TqvControl)
 public:
  static constexpr Byte DefaultPrecision = 13;

  explicit TqvCustomCalculator(TComponent* AOwner);
  ~TqvCustomCalculator() override;

  // Pending operation "=", state Ready, memory 0.
  void Reset();
  // Leaves the Error state for Ready with no pending operation; the memory and the display stay.
  void ClearError();
  // 0 in the Error state and for a text that is no number (a lone "-" typed by the host).
  Extended GetDisplayValue();
  // The general float format with max(2, Precision) digits, written only when the text changes.
  void SetDisplayValue(Extended X);
  void CopyToClipboard();
  // The clipboard's text without the currency string; a text that is no number shows 0.
  void PasteFromClipboard();
  // Runs one button through the engine.
  void ButtonClick(TqvCalcButtonKind AButton);

  bool GetAutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(bool Value);
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  Byte GetPrecision() const { return FPrecision; }
  void SetPrecision(Byte Value) { FPrecision = Value; }
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  TBorderStyle GetCalcBorderStyle() const { return FCalcBorderStyle; }
  // bsNone or bsSingle (a client edge, or a plain border without 3D controls).
  void SetCalcBorderStyle(TBorderStyle Value);
  bool GetIsPopup() const { return FIsPopup; }

  TqvCalcState GetState() const { return FState; }
  TqvCalcButtonKind GetPendingOperation() const { return FPendingOperation; }
  Extended GetMemory() const { return FMemory; }
  const TqvCalcButton& GetButton(TqvCalcButtonKind AKind) const { return FButtons[AKind]; }
  // The button whose rectangle holds P, or cbNone.
  TqvCalcButtonKind ButtonAt(TPoint P) const;
  TqvCalcButtonKind GetHotButton() const { return FHotButton; }
  Integer GetButtonHeight() const { return FButtonHeight; }
  Integer GetFontSize() const { return FFontSize; }

  TNotifyEvent OnDisplayChange;
  TqvCalcButtonClickEvent OnButtonClick;
  TNotifyEvent OnError;
  TNotifyEvent OnResult;
  TNotifyEvent OnHidePopup;

 protected:
  TqvLookAndFeelPainterClass GetPainter() const override;
  // The host's display; the base has none.
  virtual void GetDisplayText(String& Text) { Text.clear(); }
  virtual void SetDisplayText(const String&) {}
  virtual void HidePopup();

  void SetIsPopup(bool Value) { FIsPopup = Value; }
  String DisplayText();

  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void BoundsChanged() override;
  void FontChanged() override;
  void FocusChanged() override;
  bool FocusOnClick() override;
  bool HasScrollBars() const override { return false; }
  void MouseLeave(TControl* AControl) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;

 private:
  void CreateButtons();
  void LayoutButtons();
  void CalcMetrics(Integer AClientWidth, Integer AClientHeight);
  Integer SearchButtonHeight(Integer AClientWidth, Integer AClientHeight) const;
  void UpdateMemoryButtons();
  void InvalidateButton(TqvCalcButtonKind AKind);
  void SetButtonPressed(TqvCalcButtonKind AKind, bool APressed);
  TqvButtonState GetButtonState(const TqvCalcButton& AButton);
  void DrawCalcButton(TqvCanvas* ACanvas, const TqvCalcButton& AButton);

  // The engine's steps.
  void ChangeDisplayText(const String& AText);
  void ShowResult(Extended X);
  void BeginEntry();
  void Error();
  void Beep() const;
  void AppendDigit(char ADigit);
  void BackSpace();
  void ApplyOperation(TqvCalcButtonKind AButton);
  void ApplyUnary(TqvCalcButtonKind AButton);
  void MemoryOperation(TqvCalcButtonKind AButton);

  // The keyboard's buttons.
  void PressKeyButton(TqvCalcButtonKind AKind);
  void ReleaseKeyButton();
  void SetHotButton(TqvCalcButtonKind AKind);

  std::array<TqvCalcButton, qvCalcButtonCount> FButtons;
  TqvCalcButtonKind FHotButton = cbNone;
  TqvCalcButtonKind FDownButton = cbNone;
  TqvCalcButtonKind FKeyDownButton = cbNone;
  bool FTracking = false;
  Extended FMemory = 0;
  Extended FOperand = 0;
  TqvCalcButtonKind FPendingOperation = cbEqual;
  TqvCalcState FState = TqvCalcState::Ready;

  bool FAutoFontSize = true;
  bool FBeepOnError = true;
  Byte FPrecision = DefaultPrecision;
  bool FShowFocusRect = true;
  TBorderStyle FCalcBorderStyle = bsNone;
  bool FIsPopup = false;
  bool FLayingOut = false;

  Integer FButtonWidth = 28;
  Integer FButtonHeight = 22;
  Integer FWideButtonWidth = 47;
  Integer FHorzGap = 3;
  Integer FVertGap = 3;
  Integer FFontSize = 8;
  Integer FCalcWidth = 198;
  Integer FCalcHeight = 131;
};

extern const TResourceString sqvCalcError;
