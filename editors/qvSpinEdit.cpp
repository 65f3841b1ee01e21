// The spin editor: value and text conversions by value type, validation, the button layouts and
// their painting, stepping within the bounds, auto-repeat, keys and the mouse wheel.
#include "editors/qvSpinEdit.h"

#include <cfenv>
#include <climits>
#include <cmath>

#include "editors/qvExtEditUtils.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "lookandfeel/qvGraphics.h"
#include "platform/os/Theme.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvSpinEditPropertiesValues)
QJ_IMPLEMENT_CLASS(TqvSpinEditButtons)
QJ_IMPLEMENT_CLASS(TqvCustomSpinEditProperties)
QJ_IMPLEMENT_CLASS(TqvSpinEditProperties)
QJ_IMPLEMENT_CLASS(TqvSpinEditViewInfo)
QJ_IMPLEMENT_CLASS(TqvSpinEditViewData)
QJ_IMPLEMENT_CLASS(TqvCustomSpinEdit)
QJ_IMPLEMENT_CLASS(TqvSpinEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositorySpinItem)

const TResourceString sqvSpinEditConvertError{62720, "Could not convert to numeric value"};

namespace {

const TqvEditKindRegistration SpinEditRegistration(&TqvSpinEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextSpinEdit);

// Theme parts of the spin class.
constexpr Integer SpinPartUp = 1, SpinPartDown = 2, SpinPartUpHorz = 3, SpinPartDownHorz = 4;

bool IsUpKind(Integer AKind) { return AKind == skUp || AKind == skFastUp; }

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double AValue) {
  const int mode = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double result = std::nearbyint(AValue);
  std::fesetround(mode);
  return result;
}

bool FitsInteger(double AValue) { return AValue >= double(INT_MIN) && AValue <= double(INT_MAX); }

// The number of a value: numbers as they are, texts converted as floats.
bool TryVariantToNumber(const Variant& AValue, double& ANumber) {
  if (IsVarNullOrEmpty(AValue)) return false;
  if (VarIsStr(AValue)) return TryStrToFloat(VarToStr(AValue), ANumber) && std::isfinite(ANumber);
  if (!VarIsNumeric(AValue) && VarType(AValue) != varDate) return false;
  try {
    ANumber = AValue.AsDouble();
  } catch (const std::exception&) {
    return false;
  }
  return std::isfinite(ANumber);
}

}  // namespace

bool qvSpinTextToValue(const String& AText, TqvSpinEditValueType AValueType, double& AValue) {
  if (AValueType == vtInt) {
    Integer value = 0;
    if (!TryStrToInt(AText, value)) return false;
    AValue = value;
    return true;
  }
  return TryStrToFloat(AText, AValue) && std::isfinite(AValue);
}

bool qvSpinNumberToVariant(double AValue, TqvSpinEditValueType AValueType, Variant& AResult) {
  AResult = Null();
  if (!std::isfinite(AValue)) return false;
  if (AValueType == vtFloat) {
    AResult = AValue;
    return true;
  }
  const double rounded = RoundHalfEven(AValue);
  if (!FitsInteger(rounded)) return false;
  AResult = Integer(rounded);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvSpinEditPropertiesValues

void TqvSpinEditPropertiesValues::Assign(TPersistent* Source) {
  if (auto* source = As<TqvSpinEditPropertiesValues>(Source)) FValueType = source->FValueType;
  inherited::Assign(Source);
}

void TqvSpinEditPropertiesValues::RestoreDefaults() {
  inherited::RestoreDefaults();
  FValueType = false;
}

// ---------------------------------------------------------------------------------------------
// TqvSpinEditButtons

void TqvSpinEditButtons::Assign(TPersistent* Source) {
  auto* source = As<TqvSpinEditButtons>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(FOwner);
  SetPosition(source->FPosition);
  SetShowFastButtons(source->FShowFastButtons);
}

void TqvSpinEditButtons::SetPosition(TqvSpinEditButtonsPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  FOwner->Changed();
}

void TqvSpinEditButtons::SetShowFastButtons(bool Value) {
  if (FShowFastButtons == Value) return;
  FShowFastButtons = Value;
  FOwner->Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomSpinEditProperties

TqvCustomSpinEditProperties::TqvCustomSpinEditProperties(TPersistent* AOwner)
    : TqvCustomMaskEditProperties(AOwner), FSpinButtons(MakeOwned<TqvSpinEditButtons>(this)) {
  UpdateButtons();
}

TqvCustomSpinEditProperties::~TqvCustomSpinEditProperties() = default;

TqvCustomEditPropertiesValuesClass TqvCustomSpinEditProperties::PropertiesValuesClass() {
  return &TqvSpinEditPropertiesValues::StaticClass();
}
TqvCustomEditViewDataClass TqvCustomSpinEditProperties::ViewDataClass() { return &TqvSpinEditViewData::StaticClass(); }
TqvCustomEditViewInfoClass TqvCustomSpinEditProperties::ViewInfoClass() { return &TqvSpinEditViewInfo::StaticClass(); }
TqvCustomEditClass TqvCustomSpinEditProperties::ContainerClass() { return &TqvSpinEdit::StaticClass(); }

void TqvCustomSpinEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomSpinEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  if (source->IsValueTypeStored()) SetValueType(source->FValueType);
  inherited::Assign(Source);
  SetCanEdit(source->FCanEdit);
  SetIncrement(source->FIncrement);
  SetLargeIncrement(source->FLargeIncrement);
  FSpinButtons->Assign(source->FSpinButtons.get());
  SetUseCtrlIncrement(source->FUseCtrlIncrement);
}

void TqvCustomSpinEditProperties::UpdateButtons() {
  if (FUpdatingButtons) return;
  TValueScope updating(FUpdatingButtons, true);
  TqvEditButtons* buttons = GetButtons();
  const Integer count = FSpinButtons->GetShowFastButtons() ? 4 : 2;
  while (buttons->GetCount() < count) buttons->Add();
  while (buttons->GetCount() > count) buttons->Delete(buttons->GetCount() - 1);
}

void TqvCustomSpinEditProperties::Changed() {
  UpdateButtons();
  inherited::Changed();
}

TqvSpinEditValueType TqvCustomSpinEditProperties::GetValueType() const {
  if (IsValueTypeStored()) return FValueType;
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return !provider || provider->DefaultIsFloatValue() ? vtFloat : vtInt;
}

void TqvCustomSpinEditProperties::SetValueType(TqvSpinEditValueType Value) {
  GetAssignedValues()->SetValueType(true);
  FValueType = Value;
  Changed();
}

String TqvCustomSpinEditProperties::NumberToText(double AValue) const {
  if (GetValueType() == vtInt) {
    const double rounded = RoundHalfEven(AValue);
    // Beyond the integer range the number keeps its float text rather than wrapping.
    if (std::fabs(rounded) < 9.0e15) return IntToStr(Int64(rounded));
  }
  return FloatToStrF(AValue, TFloatFormat::ffGeneral, 15, 0);
}

void TqvCustomSpinEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  if (IsVarNullOrEmpty(AEditValue)) {
    ADisplayValue = String();
    return;
  }
  double number = 0;
  if (TryVariantToNumber(AEditValue, number)) {
    ADisplayValue = NumberToText(number);
    return;
  }
  // A value that is no number (a column over text data) shows as it is.
  try {
    ADisplayValue = VarToStr(AEditValue);
  } catch (const std::exception&) {
    ADisplayValue = String();
  }
}

bool TqvCustomSpinEditProperties::IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) {
  if (!inherited::IsDisplayValueValid(ADisplayValue, AEditFocused)) return false;
  const String text = VarToStr(ADisplayValue);
  if (!IsNumericTextValidated() || text.empty()) return true;
  double value = 0;
  if (!qvSpinTextToValue(text, GetValueType(), value)) return false;
  const double minValue = GetMinValue(), maxValue = GetMaxValue();
  if (minValue != maxValue && (value < minValue || value > maxValue)) ADisplayValue = NumberToText(value);
  return true;
}

void TqvCustomSpinEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TObject* AEdit) {
  AError = !IsDisplayValueValid(ADisplayValue, true);
  if (AError) AErrorText = GetLocalizedResourceString(&sqvMaskEditInvalidEditValue);
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TqvCustomSpinEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (!VarIsNull(AEditValue) && !VarIsNumeric(AEditValue) && !VarIsStr(AEditValue)) return false;
  if (!inherited::IsEditValueValid(AEditValue, AEditFocused)) return false;
  if (VarIsNull(AEditValue)) return true;
  double number = 0;
  if (VarIsStr(AEditValue)) {
    const String text = VarToStr(AEditValue);
    if (text.empty()) return true;
    if (!qvSpinTextToValue(text, GetValueType(), number)) return false;
  } else if (!TryVariantToNumber(AEditValue, number)) {
    return false;
  }
  Variant typed;
  return qvSpinNumberToVariant(number, GetValueType(), typed);
}

Variant TqvCustomSpinEditProperties::GetDefaultDisplayValue() {
  const double minValue = GetMinValue(), maxValue = GetMaxValue();
  if (minValue != maxValue) return NumberToText(minValue);
  return String("0");
}

TqvEditValueSource TqvCustomSpinEditProperties::GetEditValueSource(bool AEditFocused) const {
  return IsDisplayFormatDefined(AEditFocused) ? evsText : evsValue;
}

// ---------------------------------------------------------------------------------------------
// TqvSpinEditViewInfo

void TqvSpinEditViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvSpinEditViewInfo>(Source)) {
    Position = source->Position;
    ArrowSize = source->ArrowSize;
    SeparatorRect = source->SeparatorRect;
  }
  inherited::Assign(Source);
}

void TqvSpinEditViewInfo::DrawButtonBorder(TqvCanvas* ACanvas, Integer AButtonIndex, const TRect& ARect,
                                           TqvEditButtonStyle AButtonStyle) {
  DrawSpinEditButtonBorder(ACanvas, this, AButtonIndex, ARect, AButtonStyle, Position);
}

void TqvSpinEditViewInfo::DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor,
                                            TColor AContentColor, const TRect& ARect) {
  DrawSpinEditButtonContent(ACanvas, this, AButtonIndex, ABackgroundColor, AContentColor, ARect, Position, ArrowSize);
}

void TqvSpinEditViewInfo::Paint(TqvCanvas* ACanvas) {
  inherited::Paint(ACanvas);
  if (SeparatorRect.IsEmpty()) return;
  ACanvas->SetBrushColor(BackgroundColor);
  ACanvas->FillRect(SeparatorRect);
}

// ---------------------------------------------------------------------------------------------
// TqvSpinEditViewData

bool TqvSpinEditViewData::IsButtonPressed(TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex) {
  return KeyboardPressedButton > 0 && AViewInfo->GetButton(AButtonIndex)->ButtonIndex == KeyboardPressedButton - 1;
}

void TqvSpinEditViewData::CalculateButtonWidths(TqvCanvas* ACanvas, const TRect& AContent, Integer& ANormal,
                                                Integer& AFast, Integer& AArrow) const {
  const Integer column = GetSystemMetrics(SM_CYHSCROLL);
  // A themed spin button is measured by the text line it stands beside.
  const Integer height =
      IsNativeThemeUsable(NativeStyle, totSpin) ? ACanvas->TextHeight("Zg") : std::max(AContent.Height(), 0);
  AArrow = CalculateArrowSize({column + 2, height / 2 + 2}, arrowUp).cy;
  // The horizontal buttons fit their arrows, which keep a readable size (inside a frame of two
  // pixels a side).
  ANormal = std::max(4 * HorzSpinArrowSize(AArrow, AContent.Height() - 4) - 3, 1);
  AFast = (3 * ANormal + 1) / 2;
}

void TqvSpinEditViewData::CalculateButtonsViewInfo(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                   TqvMouseButton AButton, TShiftState AShift,
                                                   TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  FContent = ABounds;
  DeflateRectBy(FContent, GetEditContentMargins(ACanvas, this));
  CalculateButtonWidths(ACanvas, FContent, FNormalWidth, FFastWidth, FArrowSize);
  auto* viewInfo = static_cast<TqvSpinEditViewInfo*>(AViewInfo);
  viewInfo->Position = GetProperties()->GetSpinButtons()->GetPosition();
  viewInfo->ArrowSize = FArrowSize;
  viewInfo->SeparatorRect = TRect{};
  inherited::CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  CalculateSpinEditButtonsNativeInfo(this, AViewInfo);
  // A themed pair keeps a line of the background between its buttons.
  const TqvSpinEditButtonsPosition position = viewInfo->Position;
  if (position == sbpHorzLeftRight) return;
  for (auto& button : AViewInfo->ButtonsInfo) {
    if (!button->IsNativePainted()) continue;
    TRect& r = button->Bounds;
    if (position == sbpHorzRight && button->ButtonIndex == skDown && r.Width() > 1) {
      viewInfo->SeparatorRect = Rect(r.Right - 1, r.Top, r.Right, r.Bottom);
      --r.Right;
    } else if (position == sbpVert && button->ButtonIndex == skUp && r.Height() > 1) {
      viewInfo->SeparatorRect = Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom);
      --r.Bottom;
    }
    button->VisibleBounds = qvIntersectRect(button->VisibleBounds, r);
  }
}

void TqvSpinEditViewData::CalculateButtonBounds(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, TRect& ARect,
                                                Integer AButtonVisibleIndex) {
  TqvEditButtonViewInfo* button = AViewInfo->GetButton(AButtonVisibleIndex);
  const TRect& c = FContent;
  if (c.IsEmpty()) {
    button->Bounds = button->VisibleBounds = TRect{};
    return;
  }
  const TqvSpinEditButtonsPosition position = GetProperties()->GetSpinButtons()->GetPosition();
  const bool fast = AViewInfo->GetButtonCount() >= 4;
  const Integer column = GetEditButtonWidth(ACanvas, button);
  const Integer n = FNormalWidth, f = fast ? FFastWidth : 0;
  const Integer kind = std::clamp(button->ButtonIndex, 0, 3);
  TRect r;
  switch (position) {
    case sbpVert: {
      const Integer columnRight = c.Right - f, middle = c.Top + c.Height() / 2;
      switch (kind) {
        case skUp: r = Rect(columnRight - column, c.Top, columnRight, middle); break;
        case skDown: r = Rect(columnRight - column, middle, columnRight, c.Bottom); break;
        case skFastUp: r = Rect(c.Right - f, c.Top, c.Right, c.Bottom); break;
        default: r = Rect(columnRight - column - f, c.Top, columnRight - column, c.Bottom); break;
      }
      break;
    }
    case sbpHorzRight: {
      const Integer offsets[] = {f + n + n, f + n, f + n + n + f, f};  // right edge minus the left side
      const Integer widths[] = {n, n, f, f};
      const Integer left = c.Right - offsets[kind];
      r = Rect(left, c.Top, left + widths[kind], c.Bottom);
      break;
    }
    case sbpHorzLeftRight: {
      switch (kind) {
        case skFastDown: r = Rect(c.Left, c.Top, c.Left + f, c.Bottom); break;
        case skDown: r = Rect(c.Left + f, c.Top, c.Left + f + n, c.Bottom); break;
        case skUp: r = Rect(c.Right - f - n, c.Top, c.Right - f, c.Bottom); break;
        default: r = Rect(c.Right - f, c.Top, c.Right, c.Bottom); break;
      }
      break;
    }
  }
  button->Bounds = r;
  button->VisibleBounds = qvIntersectRect(r, c);
  button->LeftAlignment = position == sbpHorzLeftRight && !IsUpKind(kind);
  if (button->LeftAlignment)
    ARect.Left = std::max(ARect.Left, r.Right);
  else
    ARect.Right = std::min(ARect.Right, r.Left);
}

void TqvSpinEditViewData::CalculateButtonNativeInfo(TqvEditButtonViewInfo* AButtonViewInfo) {
  const Integer kind = AButtonViewInfo->ButtonIndex;
  const bool horizontal = GetProperties()->GetSpinButtons()->GetPosition() != sbpVert || kind >= skFastDown;
  if (IsUpKind(kind))
    AButtonViewInfo->NativePart = horizontal ? SpinPartUpHorz : SpinPartUp;
  else
    AButtonViewInfo->NativePart = horizontal ? SpinPartDownHorz : SpinPartDown;
  AButtonViewInfo->NativeState = 0;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomSpinEdit

TqvCustomSpinEdit::TqvCustomSpinEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomMaskEdit(AOwner, AIsInplace) {}

void TqvCustomSpinEdit::AfterConstruction() {
  inherited::AfterConstruction();
  SetEditValue(Integer(0));
}

TqvCustomSpinEdit::~TqvCustomSpinEdit() = default;

TqvCustomEditPropertiesClass TqvCustomSpinEdit::PropertiesClass() {
  return &TqvCustomSpinEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvSpinEdit::PropertiesClass() { return &TqvSpinEditProperties::StaticClass(); }

double TqvCustomSpinEdit::GetStepSize(TqvSpinEditStepKind AKind) {
  TqvCustomSpinEditProperties* properties = GetProperties();
  double step = AKind == skFastDown || AKind == skFastUp ? properties->GetLargeIncrement() : properties->GetIncrement();
  if (properties->GetValueType() == vtInt) {
    // An increment below one half would round to no step at all.
    step = RoundHalfEven(step);
    if (std::fabs(step) < 1) step = 1;
  }
  return IsUpKind(AKind) ? step : -step;
}

Variant TqvCustomSpinEdit::GetValue() {
  TqvCustomSpinEditProperties* properties = GetProperties();
  const TqvSpinEditValueType type = properties->GetValueType();
  double number = properties->GetMinValue();
  Variant value;
  if (IsEditFocused())
    DisplayToEditValue(InternalGetText(), value, true);
  else
    value = GetEditValue();
  double converted = 0;
  if (TryVariantToNumber(value, converted)) number = converted;
  Variant result;
  // A number beyond the integer range stays a float: it is never wrapped.
  if (!qvSpinNumberToVariant(number, type, result)) result = number;
  return result;
}

void TqvCustomSpinEdit::SetValue(const Variant& Value) {
  if (VarIsNull(Value)) return;
  if (IsEditFocused()) {
    Variant text;
    GetProperties()->PrepareDisplayValue(Value, text, true);
    TValueScope internal(FInternalUpdate, true);
    TrySetDisplayText(VarToStr(text));
    return;
  }
  Variant value = Value;
  if (GetProperties()->IsEditValueValid(value, false)) SetEditValue(value);
}

bool TqvCustomSpinEdit::StepTarget(double& AValue, TqvSpinEditStepKind AKind) {
  TqvCustomSpinEditProperties* properties = GetProperties();
  const double minValue = properties->GetMinValue(), maxValue = properties->GetMaxValue();
  double value = 0;
  TryVariantToNumber(GetValue(), value);
  if (minValue == maxValue) {
    AValue = value + GetStepSize(AKind);
    return true;
  }
  if (value < minValue) {
    if (!IsUpKind(AKind)) return false;
    AValue = minValue;
    return true;
  }
  if (value > maxValue) {
    if (IsUpKind(AKind)) return false;
    AValue = maxValue;
    return true;
  }
  AValue = value + GetStepSize(AKind);
  if (AValue >= minValue && AValue <= maxValue) return true;
  if (!CanClamp()) return false;
  AValue = std::clamp(AValue, minValue, maxValue);
  return true;
}

bool TqvCustomSpinEdit::DoStep(TqvSpinEditStepKind AKind) {
  TAliveToken alive = AliveToken();
  TChangeEventsScope locked(this);
  double target = 0;
  if (!StepTarget(target, AKind)) return false;
  TqvCustomSpinEditProperties* properties = GetProperties();
  Variant value;
  if (!qvSpinNumberToVariant(target, properties->GetValueType(), value)) {
    // Beyond what the value type holds: reported, never wrapped.
    MessageBeep(0);
    return false;
  }
  if (!DoEditing() || !alive) return false;
  Variant text;
  properties->PrepareDisplayValue(value, text, IsEditFocused());
  const String oldText = InternalGetText();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  const Integer selStart = inner ? inner->GetSelStart() : 0, selLength = inner ? inner->GetSelLength() : 0;
  {
    TValueScope internal(FInternalUpdate, true, alive);
    TValueScope userChange(UserChangeFlag(), true, alive);
    TrySetDisplayText(VarToStr(text));
  }
  if (!alive) return false;
  const String newText = InternalGetText();
  if (newText == oldText) return false;
  SetModifiedAfterEnter(true);
  if (!alive) return true;
  if (properties->KeepSelectionOnSpin()) {
    SetSelStart(selStart);
    SetSelLength(selLength);
  } else {
    SetSelStart(Integer(newText.size()));
  }
  if (alive && properties->GetImmediatePost() && ValidateEdit(true) && alive) PostEditValue();
  return true;
}

void TqvCustomSpinEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TqvCustomSpinEditProperties* properties = GetProperties();
  const TqvSpinEditValueType type = properties->GetValueType();
  const String text = VarToStr(ADisplayValue);
  double number = properties->GetMinValue();
  if (text.empty()) {
    IqvEditDefaultValuesProvider* provider = properties->GetDefaultValuesProvider();
    if (!provider || !provider->DefaultRequired()) {
      AEditValue = Null();
      return;
    }
  } else {
    double converted = 0;
    if (qvSpinTextToValue(text, type, converted)) number = converted;
  }
  // MinValue stands in for a text that is no number; an integer one is cut toward zero.
  if (type == vtInt) number = std::trunc(number);
  if (!qvSpinNumberToVariant(number, type, AEditValue)) AEditValue = Null();
}

void TqvCustomSpinEdit::CheckEditValueBounds() {
  TqvCustomSpinEditProperties* properties = GetProperties();
  const double minValue = properties->GetMinValue(), maxValue = properties->GetMaxValue();
  if (minValue == maxValue) return;
  double value = 0;
  if (!TryVariantToNumber(GetValue(), value)) return;
  TValueScope internal(FInternalUpdate, true);
  if (value < minValue)
    SetValue(minValue);
  else if (value > maxValue)
    SetValue(maxValue);
}

void TqvCustomSpinEdit::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (alive && !IsDesigning() && GetModifiedAfterEnter()) CheckEditValueBounds();
}

void TqvCustomSpinEdit::CutToClipboard() {
  if (!GetProperties()->GetCanEdit() && !FInternalUpdate) return;
  inherited::CutToClipboard();
}

void TqvCustomSpinEdit::PasteFromClipboard() {
  if (!GetProperties()->GetCanEdit() && !FInternalUpdate) return;
  inherited::PasteFromClipboard();
}

void TqvCustomSpinEdit::DblClick() {
  const TPoint p = ScreenToClient(Mouse->GetCursorPos());
  if (GetButtonIndexAt(p) < 0) StopSpinning();
  inherited::DblClick();
}

void TqvCustomSpinEdit::InitializeViewData(TqvCustomEditViewData* AViewData) {
  inherited::InitializeViewData(AViewData);
  if (auto* viewData = As<TqvSpinEditViewData>(AViewData)) viewData->KeyboardPressedButton = FPressedState;
}

TqvSpinEditStepKind TqvCustomSpinEdit::ButtonKind(Integer AButtonVisibleIndex) const {
  TqvCustomEditViewInfo* viewInfo = GetViewInfo();
  if (AButtonVisibleIndex < 0 || AButtonVisibleIndex >= viewInfo->GetButtonCount()) return skUp;
  return TqvSpinEditStepKind(std::clamp(viewInfo->GetButton(AButtonVisibleIndex)->ButtonIndex, 0, 3));
}

void TqvCustomSpinEdit::DoButtonDown(Integer AButtonVisibleIndex) {
  if (FPressedState != 0) return;
  TAliveToken alive = AliveToken();
  DoStep(ButtonKind(AButtonVisibleIndex));
  if (!alive || FTimer) return;
  FTimer = New<TTimer>(this);
  FTimer->SetInterval(FirstRepeatDelay);
  FTimer->SetOnTimer([this](TObject* Sender) { TimerTick(Sender); });
  FTimer->SetEnabled(true);
}

void TqvCustomSpinEdit::DoButtonUp(Integer) { StopSpinning(); }

void TqvCustomSpinEdit::TimerTick(TObject*) {
  if (FTimer) FTimer->SetInterval(RepeatInterval);
  const Integer pressed = GetViewInfo()->PressedButtonIndex;
  if (pressed >= 0) DoStep(ButtonKind(pressed));
}

void TqvCustomSpinEdit::SetPressedState(Integer Value) {
  if (FPressedState == Value) return;
  FPressedState = Value;
  if (HandleAllocated()) RefreshContainerAtCursor();
}

void TqvCustomSpinEdit::StopSpinning() {
  TAliveToken alive = AliveToken();
  SetPressedState(0);
  if (!alive) return;
  if (FTimer) {
    TTimer* timer = FTimer;
    FTimer = nullptr;
    Free(timer);
  }
  if (GetMouseCapture()) SetMouseCapture(false);
}

void TqvCustomSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive) StopSpinning();
}

void TqvCustomSpinEdit::DoExit() {
  StopSpinning();
  inherited::DoExit();
}

namespace {

// The step kind of a stepping key, -1 for other keys.
Integer KeyStepKind(Word AKey) {
  switch (AKey) {
    case VK_UP: return skUp;
    case VK_DOWN: return skDown;
    case VK_PRIOR: return skFastUp;
    case VK_NEXT: return skFastDown;
    default: return -1;
  }
}

}  // namespace

void TqvCustomSpinEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  TqvCustomSpinEditProperties* properties = GetProperties();
  const Integer kind = KeyStepKind(Key);
  if (kind >= 0 && (!properties->GetUseCtrlIncrement() || (Shift & ssCtrl)) &&
      (GetModifiedAfterEnter() || DoEditing())) {
    if (!alive) return;
    SetPressedState(kind + 1);
    if (alive && GetMouseCapture()) SetMouseCapture(false);
    if (alive) DoStep(TqvSpinEditStepKind(kind));
    Key = 0;
    return;
  }
  if (!alive) return;
  StopSpinning();
  if (!alive) return;
  if (!properties->GetCanEdit() && CanKeyDownModifyEdit(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomSpinEdit::DoEditKeyUp(Word& Key, TShiftState Shift) {
  if (KeyStepKind(Key) >= 0) StopSpinning();
  inherited::DoEditKeyUp(Key, Shift);
}

void TqvCustomSpinEdit::DoEditKeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings().DecimalSeparator;
  const auto c = static_cast<unsigned char>(Key);
  if ((c == 8 || c > 31) && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  inherited::DoEditKeyPress(Key);
}

bool TqvCustomSpinEdit::IsValidChar(char AChar) {
  TqvCustomSpinEditProperties* properties = GetProperties();
  const auto c = static_cast<unsigned char>(AChar);
  if (!properties->GetCanEdit()) return c < 32 && c != 8;
  if (c < 32 || AChar == '+' || AChar == '-' || IsDigitChar(AChar)) return true;
  if (AChar == FormatSettings().DecimalSeparator && properties->GetValueType() == vtFloat) return true;
  return properties->GetValidChars().test(c);
}

bool TqvCustomSpinEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  TAliveToken alive = AliveToken();
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!alive || !CanUseMouseWheel(Shift)) return false;
  DoStep(WheelDelta > 0 ? skUp : skDown);
  return true;
}
