// The progress bar editor: properties, view data (geometry) and the control.
#include "editors/qvProgressBar.h"

#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomProgressBarProperties)
QJ_IMPLEMENT_CLASS(TqvProgressBarProperties)
QJ_IMPLEMENT_CLASS(TqvProgressBarStyle)
QJ_IMPLEMENT_CLASS(TqvCustomProgressBarViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomProgressBarViewData)
QJ_IMPLEMENT_CLASS(TqvCustomProgressBar)
QJ_IMPLEMENT_CLASS(TqvProgressBar)

namespace {

constexpr TqvEditSupportedOperations kProgressBarOperations = esoHotTrack | esoFiltering | esoSorting;
constexpr Integer kProgressBarWidth = 121;
constexpr Integer kProgressBarHeight = 21;
// The bar's inset inside a themed frame: in place, and standalone at the right and bottom; one
// more at the left and top standalone.
constexpr Integer kThemedInset = 2;

// The editor kind is known by name from start-up on.
const TqvEditKindRegistration ProgressBarRegistration(&TqvProgressBarProperties::StaticClass(),
                                                      &sqvEditDisplayTextProgressBar);

}  // namespace

Integer ProgressBarPositionOfValue(const Variant& AValue) {
  if (IsVarNullOrEmpty(AValue)) return 0;
  if (IsVarInteger(AValue)) return ClampToInteger(AValue.AsInt64());
  if (VarIsStr(AValue)) {
    const String text = VarToStr(AValue);
    return IsIntegerString(text) ? ExtractInteger(text, false) : 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomProgressBarProperties::~TqvCustomProgressBarProperties() { FForegroundImage.reset(); }

TqvCustomEditStyleClass TqvCustomProgressBarProperties::StyleClass() { return &TqvProgressBarStyle::StaticClass(); }
TqvCustomEditViewDataClass TqvCustomProgressBarProperties::ViewDataClass() {
  return &TqvCustomProgressBarViewData::StaticClass();
}
TqvCustomEditViewInfoClass TqvCustomProgressBarProperties::ViewInfoClass() {
  return &TqvCustomProgressBarViewInfo::StaticClass();
}
TqvCustomEditClass TqvCustomProgressBarProperties::ContainerClass() { return &TqvProgressBar::StaticClass(); }

void TqvCustomProgressBarProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomProgressBarProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetBarBevelOuter(source->FBarBevelOuter);
  SetBarStyle(source->FBarStyle);
  SetBeginColor(source->FBeginColor);
  SetEndColor(source->FEndColor);
  SetBorderWidth(source->FBorderWidth);
  SetForegroundImage(source->FForegroundImage.get());
  // Min first from below, so that Max is accepted whatever the old range was.
  SetMin(std::min(source->FMin, FMin));
  SetMax(source->FMax);
  SetMin(source->FMin);
  SetOrientation(source->FOrientation);
  SetOverloadValue(source->FOverloadValue);
  SetOverloadBeginColor(source->FOverloadBeginColor);
  SetOverloadEndColor(source->FOverloadEndColor);
  SetPeakColor(source->FPeakColor);
  SetPeakSize(source->FPeakSize);
  SetPeakValue(source->FPeakValue);
  SetShowOverload(source->FShowOverload);
  SetShowPeak(source->FShowPeak);
  SetShowText(source->FShowText);
  SetShowTextStyle(source->FShowTextStyle);
  SetSolidTextColor(source->FSolidTextColor);
  SetTextOrientation(source->FTextOrientation);
  SetTransparent(source->FTransparent);
  SetTransparentImage(source->FTransparentImage);
}

void TqvCustomProgressBarProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = ProgressBarPositionOfValue(AEditValue);
}

String TqvCustomProgressBarProperties::GetDisplayText(const Variant& AEditValue, bool) {
  String text = IntToStr(ProgressBarPositionOfValue(AEditValue));
  if (FShowTextStyle == qvtsPercent) text += " %";
  return text;
}

TqvEditSupportedOperations TqvCustomProgressBarProperties::GetSupportedOperations() const {
  return kProgressBarOperations;
}

void TqvCustomProgressBarProperties::SetBorderWidth(TqvBorderWidth Value) {
  SetValue(FBorderWidth, std::max<TqvBorderWidth>(Value, 0));
}

TBitmap* TqvCustomProgressBarProperties::GetForegroundImage() {
  if (!FForegroundImage) {
    FForegroundImage = MakeOwned<TBitmap>();
    FForegroundImage->OnChange = [this](TObject*) { Changed(); };
  }
  return FForegroundImage.get();
}

void TqvCustomProgressBarProperties::SetForegroundImage(TBitmap* Value) {
  if (Value && Value == FForegroundImage.get()) return;
  if (!Value)
    FForegroundImage.reset();
  else
    GetForegroundImage()->Assign(Value);
  Changed();
}

void TqvCustomProgressBarProperties::SetMin(Integer Value) {
  if (Value == FMin) return;
  FMin = Value;
  FMax = std::max(FMax, Value);
  FCurrentPosition = std::max(FCurrentPosition, Value);
  FOverloadValue = std::max(FOverloadValue, Value);
  FPeakValue = std::max(FPeakValue, Value);
  Changed();
}

void TqvCustomProgressBarProperties::SetMax(Integer Value) {
  if (Value == FMax || Value <= FMin) return;
  FMax = Value;
  FCurrentPosition = std::min(FCurrentPosition, Value);
  FOverloadValue = std::min(FOverloadValue, Value);
  FPeakValue = std::min(FPeakValue, Value);
  Changed();
}

void TqvCustomProgressBarProperties::SetOverloadValue(Integer Value) {
  SetValue(FOverloadValue, std::clamp(Value, FMin, std::max(FMin, FMax)));
}

void TqvCustomProgressBarProperties::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (OnTransparentChanged) OnTransparentChanged();
  Changed();
}

// ---------------------------------------------------------------------------------------------
// View data

bool TqvCustomProgressBarViewData::IsThemed() const {
  return IsNativeThemeUsable(Style->GetLookAndFeel()->GetNativeStyle(), totProgress);
}

void TqvCustomProgressBarViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                             TqvMouseButton AButton, TShiftState AShift,
                                             TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (IsMeasuringBounds(ABounds)) return;
  auto* info = static_cast<TqvCustomProgressBarViewInfo*>(AViewInfo);
  TqvCustomProgressBarProperties* properties = BarProperties();
  info->Font = Style->GetFont();
  info->BarBevelOuter = properties->GetBarBevelOuter();
  info->BarStyle = properties->GetBarStyle();
  info->BeginColor = properties->GetBeginColor();
  info->EndColor = properties->GetEndColor();
  info->Min = properties->GetMin();
  info->Max = properties->GetMax();
  info->Orientation = properties->GetOrientation();
  info->OverloadValue = properties->GetOverloadValue();
  info->OverloadBeginColor = properties->GetOverloadBeginColor();
  info->OverloadEndColor = properties->GetOverloadEndColor();
  info->PeakColor = properties->GetPeakColor();
  info->PeakSize = properties->GetPeakSize();
  info->ShowOverload = properties->GetShowOverload();
  info->ShowPeak = properties->GetShowPeak();
  info->ShowText = properties->GetShowText();
  info->ShowTextStyle = properties->GetShowTextStyle();
  info->SolidTextColor = properties->GetSolidTextColor();
  info->TextOrientation = properties->GetTextOrientation();
  if (auto* bar = dynamic_cast<TqvCustomProgressBar*>(Edit)) {
    info->Position = bar->GetPosition();
    info->PeakPosition = bar->GetPeakPosition();
  }
  if (!IsInplace) {
    // The frame stays, the background is the parent's, painted when the control is erased.
    info->TransparentBar = properties->GetTransparent();
    info->Transparent = info->TransparentBar;
  } else
    info->TransparentBar = info->Transparent;
  info->Selected = false;

  info->Themed = IsThemed();
  const Integer border = properties->GetBorderWidth();
  if (info->Themed) {
    info->BarArea = ABounds;
    const Integer leftTop = border + kThemedInset + (IsInplace ? 0 : 1), rightBottom = border + kThemedInset;
    info->BarRect = Rect(ABounds.Left + leftTop, ABounds.Top + leftTop, ABounds.Right - rightBottom,
                         ABounds.Bottom - rightBottom);
  } else {
    info->BarArea = IsInplace ? ABounds : info->ClientRect;
    info->BarRect = qvDeflatedRect(info->ClientRect, border);
  }

  info->ForegroundImage->Assign(properties->FindForegroundImage());
  if (properties->GetTransparentImage() && info->ForegroundImage->GetWidth() > 0 &&
      info->ForegroundImage->GetHeight() > 0) {
    // The image's transparent colour turns into the background.
    TBitmap composite;
    composite.SetPixelFormat(pf32bit);
    composite.SetSize(info->ForegroundImage->GetWidth(), info->ForegroundImage->GetHeight());
    composite.GetCanvas()->GetBrush()->SetColor(info->BackgroundColor);
    composite.GetCanvas()->FillRect(Rect(0, 0, composite.GetWidth(), composite.GetHeight()));
    info->ForegroundImage->SetTransparent(true);
    composite.GetCanvas()->Draw(0, 0, info->ForegroundImage.get());
    info->ForegroundImage->Assign(&composite);
  }
  info->CalculateBarGeometry();
  info->FocusRect = TRect{};
  CalculateStandaloneFocusRect(info, info->ShowText ? info->GetBarText() : String(), info->BarRect, info->FocusRect);
}

void TqvCustomProgressBarViewData::EditValueToViewInfo(TqvCanvas*, const Variant& AEditValue,
                                                       TqvCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TqvCustomProgressBarViewInfo*>(AViewInfo);
  TqvCustomProgressBarProperties* properties = BarProperties();
  info->Position = ProgressBarPositionOfValue(AEditValue);
  info->PeakPosition =
      std::max(std::clamp(properties->GetPeakValue(), properties->GetMin(), properties->GetMax()), info->Position);
  info->CalculateBarGeometry();
}

void TqvCustomProgressBarViewData::GetEditBorderPartSize(TqvCanvas* ACanvas,
                                                         const TqvEditSizeProperties& ASizeProperties,
                                                         TqvCustomEditViewInfo* AViewInfo, TSize& ASize,
                                                         TSize& AExtra) {
  inherited::GetEditBorderPartSize(ACanvas, ASizeProperties, AViewInfo, ASize, AExtra);
  auto* info = static_cast<TqvCustomProgressBarViewInfo*>(AViewInfo);
  const bool framedByTheme = AViewInfo->NativeStyle && IsNativeThemeUsable(true, totButton);
  const Integer extra = !IsInplace && !framedByTheme ? qvBarStandaloneExtra : 0;
  ASize.cx += std::max(0, info->BarRect.Width()) + extra + qvBarMeasureExtraWidth;
  ASize.cy += std::max(0, info->BarRect.Height()) + extra;
  if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
  ASize.cy = std::max(ASize.cy, ACanvas->TextHeight("Wg"));
}

// ---------------------------------------------------------------------------------------------
// Control

TqvCustomProgressBar::TqvCustomProgressBar(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

TqvCustomProgressBar::~TqvCustomProgressBar() {
  if (TqvCustomEditProperties* properties = GetOwnProperties())
    static_cast<TqvCustomProgressBarProperties*>(properties)->OnTransparentChanged = nullptr;
}

void TqvCustomProgressBar::AfterConstruction() {
  inherited::AfterConstruction();
  SetControlStyle(GetControlStyle() & ~(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks));
  SetParentColor(!IsInplace());
  SetBounds(GetLeft(), GetTop(), kProgressBarWidth, kProgressBarHeight);
  AttachTransparencyHandler();
  UpdatePeak();
}

void TqvCustomProgressBar::AttachTransparencyHandler() {
  GetProperties()->OnTransparentChanged = [this] { Invalidate(); };
}

TqvContainerStyleValues TqvCustomProgressBar::GetNotPublishedStyleValues() const {
  return csvBit(csvBorderStyle) | csvBit(csvHotTrack) | csvBit(svButtonStyle) | csvBit(svButtonTransparency) |
         csvBit(svPopupBorderStyle);
}

Integer TqvCustomProgressBar::GetPosition() { return ProgressBarPositionOfValue(GetEditValue()); }

void TqvCustomProgressBar::SetPosition(Integer Value) {
  if (Value == GetPosition()) return;
  TqvCustomProgressBarProperties* properties = GetProperties();
  if (!HasState(csLoading)) Value = std::clamp(Value, properties->GetMin(), properties->GetMax());
  TAliveToken alive = AliveToken();
  SetEditValue(Value);
  if (!alive) return;
  if (properties->GetTransparent()) Invalidate();
  properties->SetCurrentPosition(Value);
  properties->Changed();
}

void TqvCustomProgressBar::UpdatePeak() {
  TqvCustomProgressBarProperties* properties = GetProperties();
  if (!FPeakHeld || properties->GetPeakValue() != FPeakValueSeen) {
    FPeakValueSeen = properties->GetPeakValue();
    FPeakPosition = std::clamp(FPeakValueSeen, properties->GetMin(), properties->GetMax());
    FPeakHeld = true;
  }
  FPeakPosition = std::max(FPeakPosition, GetPosition());
}

void TqvCustomProgressBar::InternalSetEditValue(const Variant& Value, bool AValidate) {
  TAliveToken alive = AliveToken();
  inherited::InternalSetEditValue(Value, AValidate);
  if (alive) UpdatePeak();
}

void TqvCustomProgressBar::SynchronizeDisplayValue() { GetProperties()->Changed(); }

void TqvCustomProgressBar::PropertiesChanged(TObject* Sender) {
  AttachTransparencyHandler();
  UpdatePeak();
  inherited::PropertiesChanged(Sender);
}

bool TqvCustomProgressBar::CanFocus() { return IsInplace() && inherited::CanFocus(); }

bool TqvCustomProgressBar::FocusOnClick() { return IsInplace() && inherited::FocusOnClick(); }

void TqvCustomProgressBar::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND && !IsDestroying() && GetProperties()->GetTransparent()) {
    DrawParentBackground(this, reinterpret_cast<HDC>(Message.WParam), true);
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}
