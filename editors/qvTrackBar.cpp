// The track bar editor: properties, view data and the control's keys and mouse.
#include "editors/qvTrackBar.h"

#include <algorithm>
#include <limits>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomTrackBarProperties)
QJ_IMPLEMENT_CLASS(TqvTrackBarProperties)
QJ_IMPLEMENT_CLASS(TqvTrackBarStyle)
QJ_IMPLEMENT_CLASS(TqvCustomTrackBarViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomTrackBarViewData)
QJ_IMPLEMENT_CLASS(TqvCustomTrackBar)
QJ_IMPLEMENT_CLASS(TqvTrackBar)

namespace {

constexpr TqvEditSupportedOperations kTrackBarOperations = esoHotTrack | esoFiltering | esoSorting;
constexpr Integer kTrackBarWidth = 196;
constexpr Integer kTrackBarHeight = 76;

// The editor kind is known by name from start-up on.
const TqvEditKindRegistration TrackBarRegistration(&TqvTrackBarProperties::StaticClass(),
                                                   &sqvEditDisplayTextTrackBar);

// The integer of a value, or nothing for a value that is no integer and no integer text.
bool IntegerOfValue(const Variant& AValue, Integer& AResult) {
  if (IsVarNullOrEmpty(AValue)) return false;
  if (IsVarInteger(AValue)) {
    AResult = Integer(
        std::clamp<Int64>(AValue.AsInt64(), std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
    return true;
  }
  if (!VarIsStr(AValue) || !IsIntegerString(VarToStr(AValue))) return false;
  AResult = ExtractInteger(VarToStr(AValue), false);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomEditStyleClass TqvCustomTrackBarProperties::StyleClass() { return &TqvTrackBarStyle::StaticClass(); }
TqvCustomEditViewDataClass TqvCustomTrackBarProperties::ViewDataClass() {
  return &TqvCustomTrackBarViewData::StaticClass();
}
TqvCustomEditViewInfoClass TqvCustomTrackBarProperties::ViewInfoClass() {
  return &TqvCustomTrackBarViewInfo::StaticClass();
}
TqvCustomEditClass TqvCustomTrackBarProperties::ContainerClass() { return &TqvTrackBar::StaticClass(); }

void TqvCustomTrackBarProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomTrackBarProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetAutoSize(source->FAutoSize);
  SetBorderWidth(source->FBorderWidth);
  SetFrequency(source->FFrequency);
  // Min first from below, so that Max is accepted whatever the old range was.
  SetMin(std::min(source->FMin, FMin));
  SetMax(source->FMax);
  SetMin(source->FMin);
  SetOrientation(source->FOrientation);
  SetTextOrientation(source->FTextOrientation);
  SetPageSize(source->FPageSize);
  SetSelectionStart(source->FSelectionStart);
  SetSelectionEnd(source->FSelectionEnd);
  SetSelectionColor(source->FSelectionColor);
  SetShowTicks(source->FShowTicks);
  SetShowTrack(source->FShowTrack);
  SetThumbType(source->FThumbType);
  SetThumbHeight(source->FThumbHeight);
  SetThumbWidth(source->FThumbWidth);
  SetThumbColor(source->FThumbColor);
  SetThumbHighlightColor(source->FThumbHighlightColor);
  SetThumbStep(source->FThumbStep);
  SetTickColor(source->FTickColor);
  SetTickMarks(source->FTickMarks);
  SetTickSize(source->FTickSize);
  SetTickType(source->FTickType);
  SetTrackColor(source->FTrackColor);
  SetTrackSize(source->FTrackSize);
  OnGetThumbRect = source->OnGetThumbRect;
  OnDrawThumb = source->OnDrawThumb;
  OnChange = source->OnChange;
}

void TqvCustomTrackBarProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  Integer position = FMin;
  IntegerOfValue(AEditValue, position);
  ADisplayValue = ClampPosition(position);
}

String TqvCustomTrackBarProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return VarToStr(display);
}

TqvEditSupportedOperations TqvCustomTrackBarProperties::GetSupportedOperations() const { return kTrackBarOperations; }

Integer TqvCustomTrackBarProperties::ClampPosition(Integer Value) const {
  return std::clamp(Value, FMin, std::max(FMin, FMax));
}

void TqvCustomTrackBarProperties::SetMin(Integer Value) {
  if (Value == FMin) return;
  FMin = Value;
  FMax = std::max(FMax, Value);
  Changed();
}

void TqvCustomTrackBarProperties::SetMax(Integer Value) {
  if (Value == FMax || Value <= FMin) return;
  FMax = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// View data

void TqvCustomTrackBarViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                          bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (IsMeasuringBounds(ABounds)) return;
  auto* info = static_cast<TqvCustomTrackBarViewInfo*>(AViewInfo);
  TqvCustomTrackBarProperties* properties = TrackProperties();
  info->Properties = properties;
  info->Font = Style->GetFont();
  info->LookAndFeelKind = Style->GetLookAndFeel()->GetKind();
  info->Themed = IsNativeThemeUsable(Style->GetLookAndFeel()->GetNativeStyle(), totTrackBar);
  info->Selected = false;
  info->ThumbState = tbtsNormal;
  if (!Enabled) info->ThumbState = tbtsDisabled;
  if (auto* bar = dynamic_cast<TqvCustomTrackBar*>(Edit)) {
    if (Enabled) info->ThumbState = bar->GetThumbState();
    info->Position = properties->ClampPosition(bar->GetPosition());
  }
  info->AutoSize = properties->GetAutoSize();
  info->BorderWidth = properties->GetBorderWidth();
  info->Frequency = properties->GetFrequency();
  info->Min = properties->GetMin();
  info->Max = properties->GetMax();
  info->Orientation = properties->GetOrientation();
  info->TextOrientation = properties->GetTextOrientation();
  info->SelectionStart = properties->GetSelectionStart();
  info->SelectionEnd = properties->GetSelectionEnd();
  info->SelectionColor = properties->GetSelectionColor();
  info->ShowTicks = properties->GetShowTicks();
  info->ShowTrack = properties->GetShowTrack();
  info->ThumbType = properties->GetThumbType();
  info->ThumbHeight = properties->GetThumbHeight();
  info->ThumbWidth = properties->GetThumbWidth();
  info->ThumbColor = properties->GetThumbColor();
  info->ThumbHighlightColor = properties->GetThumbHighlightColor();
  info->TickColor = Enabled ? properties->GetTickColor() : clBtnShadow;
  info->TickMarks = properties->GetTickMarks();
  info->TickSize = properties->GetTickSize();
  info->TickType = properties->GetTickType();
  info->TrackColor = properties->GetTrackColor();
  info->TrackSize = properties->GetTrackSize();
  // The background: the button face, or the style's colour while enabled.
  info->BackgroundColor = Enabled ? Style->GetColor() : clBtnFace;
  info->FocusRect = TRect{};
  CalculateStandaloneFocusRect(info, String(), info->ClientRect, info->FocusRect);
  info->CalculateLayout(ACanvas);
}

void TqvCustomTrackBarViewData::EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                    TqvCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TqvCustomTrackBarViewInfo*>(AViewInfo);
  Variant display;
  Properties->PrepareDisplayValue(AEditValue, display, false);
  info->Position = display.AsInteger();
  if (!info->ContentRect.IsEmpty()) info->CalculateLayout(ACanvas);
}

void TqvCustomTrackBarViewData::GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                                                      TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) {
  inherited::GetEditBorderPartSize(ACanvas, ASizeProperties, AViewInfo, ASize, AExtra);
  auto* info = static_cast<TqvCustomTrackBarViewInfo*>(AViewInfo);
  const bool framedByTheme = AViewInfo->NativeStyle && IsNativeThemeUsable(true, totButton);
  const Integer extra = !IsInplace && !framedByTheme ? qvBarStandaloneExtra : 0;
  if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
  const TSize text = ACanvas->TextExtent("Wg");
  ASize.cx += std::max(0, info->TrackRect.Width()) + extra + text.cx + qvBarMeasureExtraWidth;
  ASize.cy += std::max(0, info->TrackRect.Height()) + extra;
  ASize.cy = std::max(ASize.cy, text.cy);
}

// ---------------------------------------------------------------------------------------------
// Control

TqvCustomTrackBar::TqvCustomTrackBar(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

void TqvCustomTrackBar::AfterConstruction() {
  inherited::AfterConstruction();
  SetControlStyle(GetControlStyle() & ~(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks));
  SetAutoSize(false);
  SetParentColor(!IsInplace());
  SetBounds(GetLeft(), GetTop(), kTrackBarWidth, kTrackBarHeight);
  SetEditValue(0);
}

TqvContainerStyleValues TqvCustomTrackBar::GetNotPublishedStyleValues() const {
  return csvBit(csvBorderStyle) | csvBit(csvHotTrack) | csvBit(svButtonStyle) | csvBit(svButtonTransparency) |
         csvBit(svPopupBorderStyle);
}

Integer TqvCustomTrackBar::GetPosition() {
  Integer position = GetProperties()->GetMin();
  IntegerOfValue(GetEditValue(), position);
  return position;
}

void TqvCustomTrackBar::SetPosition(Integer Value) {
  if (Value == GetPosition() || !DoEditing()) return;
  TAliveToken alive = AliveToken();
  // Setting the edit value fires OnChange.
  SetEditValue(Value);
  if (!alive) return;
  GetProperties()->Changed();
  SetModifiedAfterEnter(true);
  PostEditValue();
}

void TqvCustomTrackBar::SynchronizeDisplayValue() { GetProperties()->Changed(); }

TqvTrackBarThumbState TqvCustomTrackBar::GetThumbState() const {
  if (!GetEnabled()) return tbtsDisabled;
  if (FThumbPressed) return tbtsPressed;
  return FThumbHot ? tbtsHot : tbtsNormal;
}

void TqvCustomTrackBar::ThumbStateChanged() {
  if (HandleAllocated()) {
    RefreshContainerAtCursor(false);
    Invalidate();
  }
}

void TqvCustomTrackBar::ExtendSelection(Integer AValue) {
  if (!FSelecting) return;
  TqvCustomTrackBarProperties* properties = GetProperties();
  // Set directly: the position change that follows reports it.
  properties->SetChangedLocked(true);
  properties->SetSelectionStart(std::min(FSelectionAnchor, AValue));
  properties->SetSelectionEnd(std::max(FSelectionAnchor, AValue));
  properties->SetChangedLocked(false);
}

void TqvCustomTrackBar::MoveTo(Integer AValue) {
  AValue = GetProperties()->ClampPosition(AValue);
  if (AValue == GetPosition()) return;
  ExtendSelection(AValue);
  SetPosition(AValue);
}

void TqvCustomTrackBar::KeyDown(Word& Key, TShiftState Shift) {
  if (GetEnabled()) {
    TqvCustomTrackBarProperties* properties = GetProperties();
    if ((Shift & ssShift) && !FSelecting) {
      FSelecting = true;
      FSelectionAnchor = GetPosition();
    } else if (!(Shift & ssShift))
      FSelecting = false;
    const Integer position = GetPosition();
    bool handled = true;
    switch (Key) {
      case VK_PRIOR: MoveTo(position - properties->GetPageSize()); break;
      case VK_NEXT: MoveTo(position + properties->GetPageSize()); break;
      case VK_LEFT:
      case VK_UP: MoveTo(position - 1); break;
      case VK_RIGHT:
      case VK_DOWN: MoveTo(position + 1); break;
      case VK_HOME: MoveTo(properties->GetMin()); break;
      case VK_END: MoveTo(properties->GetMax()); break;
      default: handled = false;
    }
    if (handled) Key = 0;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvCustomTrackBar::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SHIFT) FSelecting = false;
  inherited::KeyUp(Key, Shift);
}

bool TqvCustomTrackBar::IsOverThumb(Integer X, Integer Y) const {
  const TqvCustomTrackBarViewInfo* info = GetTrackViewInfo();
  return qvOffsetRect(info->ThumbRect, info->ContentOrigin.X, info->ContentOrigin.Y).Contains(Point(X, Y));
}

void TqvCustomTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft || !GetEnabled()) return;
  SetMouseCapture(true);
  if (IsOverThumb(X, Y)) {
    FThumbPressed = true;
    if (Shift & ssCtrl) {
      FSelecting = false;
      GetProperties()->SetSelectionStart(0);
      GetProperties()->SetSelectionEnd(0);
    }
    ThumbStateChanged();
    return;
  }
  if (!GetClientRect().Contains(Point(X, Y))) return;
  const TqvCustomTrackBarViewInfo* info = GetTrackViewInfo();
  const TRect thumb = qvOffsetRect(info->ThumbRect, info->ContentOrigin.X, info->ContentOrigin.Y);
  const bool vertical = info->Orientation == tboVertical;
  const bool beyond = vertical ? Y >= thumb.Bottom : X >= thumb.Right;
  Integer target = GetPosition() + (beyond ? 1 : -1);
  if (GetProperties()->GetThumbStep() == qvtsJump && !info->ValueAtPoint(Point(X, Y), false, target)) return;
  const Integer clamped = GetProperties()->ClampPosition(target);
  if (clamped != GetPosition()) SetPosition(clamped);
}

void TqvCustomTrackBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  if (FThumbPressed && (Shift & ssLeft)) {
    // The thumb follows the cursor at the track's scale.
    Integer value = GetPosition();
    if (!GetTrackViewInfo()->ValueAtPoint(Point(X, Y), true, value)) return;
    value = GetProperties()->ClampPosition(value);
    if (value == GetPosition()) return;
    if (Shift & ssShift) ExtendSelection(value);
    SetPosition(value);
    return;
  }
  const bool hot = IsOverThumb(X, Y);
  if (hot == FThumbHot) return;
  FThumbHot = hot;
  ThumbStateChanged();
}

void TqvCustomTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  const bool hot = IsOverThumb(X, Y);
  const bool changed = FThumbPressed || hot != FThumbHot;
  FThumbPressed = false;
  FThumbHot = hot;
  if (changed) ThumbStateChanged();
  SetMouseCapture(false);
}

void TqvCustomTrackBar::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  FMouseInside = true;
  if (FThumbPressed && !(GetCurrentShiftState() & ssLeft)) {
    FThumbPressed = false;
    FThumbHot = false;
    ThumbStateChanged();
  }
}

void TqvCustomTrackBar::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  FMouseInside = false;
  if (FThumbHot && !FThumbPressed) {
    FThumbHot = false;
    ThumbStateChanged();
  }
}

void TqvCustomTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_LBUTTONUP:
      // A release fires no click.
      SetControlState(GetControlState() & ~TControlState(csClicked));
      inherited::Dispatch(Message);
      return;
    case WM_ERASEBKGND:
      if (!IsDestroying() && GetViewInfo() && GetViewInfo()->Transparent) {
        DrawParentBackground(this, reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}
