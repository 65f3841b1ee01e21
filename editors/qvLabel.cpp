// The label editor: properties, style, view data and the control.
#include "editors/qvLabel.h"

#include <cmath>
#include <numbers>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomLabelProperties)
QJ_IMPLEMENT_CLASS(TqvLabelProperties)
QJ_IMPLEMENT_CLASS(TqvLabelEditStyle)
QJ_IMPLEMENT_CLASS(TqvCustomLabelViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomLabelViewData)
QJ_IMPLEMENT_CLASS(TqvCustomLabel)
QJ_IMPLEMENT_CLASS(TqvLabel)

namespace {

constexpr TqvEditSupportedOperations kLabelOperations = esoHotTrack | esoFiltering | esoSorting;
// Room an auto-sized label keeps around its text.
constexpr Integer kAutoSizeExtraWidth = 8;
constexpr Integer kAutoSizeExtraHeight = 4;
constexpr Integer kNativeBorderExtra = 4;

// The editor kind is known by name from start-up on.
const TqvEditKindRegistration LabelRegistration(&TqvLabelProperties::StaticClass(), &sqvEditDisplayTextLabel);

String ValueToCaption(const Variant& AValue) { return IsVarNullOrEmpty(AValue) ? String() : VarToStr(AValue); }

double DegreesToRadians(Integer ADegrees) { return ADegrees * std::numbers::pi / 180.0; }

}  // namespace

TPoint GetLabelEffectOffset(TqvLabelOrientation AOrientation, Integer ADepth) {
  const Integer d = ADepth;
  switch (AOrientation) {
    case qvoLeft: return {-d, 0};
    case qvoRight: return {d, 0};
    case qvoTop: return {0, -d};
    case qvoBottom: return {0, d};
    case qvoLeftTop: return {-d, -d};
    case qvoLeftBottom: return {-d, d};
    case qvoRightTop: return {d, -d};
    case qvoRightBottom: return {d, d};
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomLabelProperties::~TqvCustomLabelProperties() { FGlyph.reset(); }

TqvCustomEditStyleClass TqvCustomLabelProperties::StyleClass() { return &TqvLabelEditStyle::StaticClass(); }
TqvCustomEditViewDataClass TqvCustomLabelProperties::ViewDataClass() { return &TqvCustomLabelViewData::StaticClass(); }
TqvCustomEditViewInfoClass TqvCustomLabelProperties::ViewInfoClass() { return &TqvCustomLabelViewInfo::StaticClass(); }
TqvCustomEditClass TqvCustomLabelProperties::ContainerClass() { return &TqvLabel::StaticClass(); }

void TqvCustomLabelProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomLabelProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetLabelEffect(source->FLabelEffect);
  SetLabelStyle(source->FLabelStyle);
  SetOrientation(source->FOrientation);
  SetDepth(source->FDepth);
  SetShadowedColor(source->FShadowedColor);
  SetShowEndEllipsis(source->FShowEndEllipsis);
  SetAngle(source->FAngle);
  SetPenWidth(source->FPenWidth);
  SetGlyph(source->FGlyph.get());
  SetWordWrap(source->FWordWrap);
  SetTransparent(source->FTransparent);
}

void TqvCustomLabelProperties::Changed() {
  if (IsChangedLocked()) return;
  inherited::Changed();
  if (OnRepaint) OnRepaint();
}

void TqvCustomLabelProperties::GetDepthDelta(Integer& OffX, Integer& OffY) const {
  const TPoint offset = GetLabelEffectOffset(FOrientation, FDepth);
  OffX = -offset.X;
  OffY = -offset.Y;
}

void TqvCustomLabelProperties::GetDepthSize(Integer& SizeW, Integer& SizeH) const {
  const TPoint offset = GetLabelEffectOffset(FOrientation, FDepth);
  SizeW = std::abs(offset.X);
  SizeH = std::abs(offset.Y);
}

void TqvCustomLabelProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = ValueToCaption(AEditValue);
}

String TqvCustomLabelProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return VarToStr(display);
}

TqvEditSupportedOperations TqvCustomLabelProperties::GetSupportedOperations() const { return kLabelOperations; }

TBitmap* TqvCustomLabelProperties::GetGlyph() {
  if (!FGlyph) {
    FGlyph = MakeOwned<TBitmap>();
    FGlyph->OnChange = [this](TObject*) { Changed(); };
  }
  return FGlyph.get();
}

void TqvCustomLabelProperties::SetGlyph(TBitmap* Value) {
  if (Value == FGlyph.get() && Value) return;
  if (!Value)
    FGlyph.reset();
  else
    GetGlyph()->Assign(Value);
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Style

TColor TqvLabelEditStyle::GetDefaultColor() const {
  TqvContainer* label = GetContainer();
  return label && label->GetParent() ? label->GetParent()->GetColor() : clWindow;
}

void TqvLabelEditStyle::RestoreDefaults() {
  inherited::RestoreDefaults();
  TqvContainer* label = GetContainer();
  if (!label) return;
  const TqvStyleController* controller = GetActiveStyleController();
  if (!(controller && controller->GetStyle()->IsValueAssigned(csvColor))) label->SetParentColor(true);
}

// ---------------------------------------------------------------------------------------------
// View info

void TqvCustomLabelViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  LabelTextRect = qvOffsetRect(LabelTextRect, DX, DY);
  FocusRect = qvOffsetRect(FocusRect, DX, DY);
}

void TqvCustomLabelViewInfo::Paint(TqvCanvas* ACanvas) {
  DrawEditViewInfo(ACanvas, this);
  DrawLabel(ACanvas);
}

// ---------------------------------------------------------------------------------------------
// View data

void TqvCustomLabelViewData::InitCacheData() {
  inherited::InitCacheData();
  if (GetBorderStyle(ehsNoHotTrack) == ebsNone) NativeStyle = false;
}

TqvEditBorderStyle TqvCustomLabelViewData::GetBorderStyle(TqvEditHotState AHotState) const {
  if (IsInplace || !Style->IsValueAssigned(csvBorderStyle)) return ebsNone;
  return inherited::GetBorderStyle(AHotState);
}

UINT TqvCustomLabelViewData::GetDrawTextFlags() const {
  TqvCustomLabelProperties* properties = LabelProperties();
  const bool autoSize = Edit && Edit->IsAutoSize();
  return MakeDrawTextFlags(0, HorzAlignment, VertAlignment,
                           properties->GetShowEndEllipsis() && !IsInplace && !autoSize,
                           properties->GetWordWrap() && properties->GetAngle() == 0, 0);
}

void TqvCustomLabelViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                       TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                       bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (IsMeasuringBounds(ABounds) && IsInplace) return;
  auto* info = static_cast<TqvCustomLabelViewInfo*>(AViewInfo);
  TqvCustomLabelProperties* properties = LabelProperties();
  info->Font = Style->GetFont();
  info->InnerEditVisible = false;
  info->Selected = false;
  info->DrawTextFlags = GetDrawTextFlags();
  if (!IsInplace) info->Transparent = properties->GetTransparent();
  info->HorzAlignment = HorzAlignment;
  info->VertAlignment = VertAlignment;
  info->LabelEffect = properties->GetLabelEffect();
  info->LabelStyle = properties->GetLabelStyle();
  info->Orientation = properties->GetOrientation();
  info->Depth = properties->GetDepth();
  properties->GetDepthDelta(info->DepthDelta.X, info->DepthDelta.Y);
  info->ShadowedColor = properties->GetShadowedColor();
  info->ShowEndEllipsis = properties->GetShowEndEllipsis();
  info->Angle = properties->GetAngle();
  info->PenWidth = properties->GetPenWidth();
  info->WordWrap = properties->GetWordWrap();
  info->Glyph = properties->FindGlyph();
  if (auto* label = dynamic_cast<TqvCustomLabel*>(Edit); label && (!IsInplace || Focused))
    info->Text = label->GetCaption();
  info->TextRect = info->ClientRect;
  info->LabelTextRect = qvDeflatedRect(info->ClientRect, GetEditBorderWidth(info->GetEditBorderStyle()));
  info->FocusRect = TRect{};
  CalculateStandaloneFocusRect(info, info->Text, info->ClientRect, info->FocusRect);
}

void TqvCustomLabelViewData::EditValueToViewInfo(TqvCanvas*, const Variant& AEditValue,
                                                 TqvCustomEditViewInfo* AViewInfo) {
  Variant display;
  Properties->PrepareDisplayValue(AEditValue, display, false);
  static_cast<TqvCustomLabelViewInfo*>(AViewInfo)->Text = VarToStr(display);
}

void TqvCustomLabelViewData::GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                                                   TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) {
  inherited::GetEditBorderPartSize(ACanvas, ASizeProperties, AViewInfo, ASize, AExtra);
  if (IsMeasuringBounds(AViewInfo->Bounds)) return;
  auto* info = static_cast<TqvCustomLabelViewInfo*>(AViewInfo);
  const Integer extra = NativeStyle ? 0 : kNativeBorderExtra;
  ASize.cx += info->LabelTextRect.Width() + extra;
  ASize.cy += info->LabelTextRect.Height() + extra;
  if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
  TRect empty{};
  ::DrawText(ACanvas->GetHandle(), "", 0, &empty, (GetDrawTextFlags() & ~(DT_WORDBREAK | DT_SINGLELINE)) | DT_CALCRECT);
  ASize.cx += empty.Width() + 2;
  ASize.cy += empty.Height();
}

TSize TqvCustomLabelViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                 const TqvEditSizeProperties&) {
  Variant display;
  Properties->PrepareDisplayValue(AEditValue, display, false);
  const String text = VarToStr(display);
  if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
  Integer depthW = 0, depthH = 0;
  LabelProperties()->GetDepthSize(depthW, depthH);
  return {depthW + ACanvas->TextWidth(text) + 2, depthH + ACanvas->TextHeight("Zg")};
}

// ---------------------------------------------------------------------------------------------
// Control

TqvCustomLabel::TqvCustomLabel(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

TqvCustomLabel::~TqvCustomLabel() {
  if (TqvCustomEditProperties* properties = GetOwnProperties())
    static_cast<TqvCustomLabelProperties*>(properties)->OnRepaint = nullptr;
  SetFocusControl(nullptr);
}

void TqvCustomLabel::AfterConstruction() {
  inherited::AfterConstruction();
  SetControlStyle(GetControlStyle() & ~(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks));
  SetParentColor(!IsInplace());
  SetBounds(GetLeft(), GetTop(), 121, 21);
  GetProperties()->OnRepaint = [this] { Invalidate(); };
}

void TqvCustomLabel::SetCaption(const String& Value) {
  FCaptionAssigned = true;
  // Letter case counts: "abc" replaces "ABC".
  if (Value != GetCaption()) SetEditValue(Value);
}

void TqvCustomLabel::InternalSetEditValue(const Variant& Value, bool AValidate) {
  TAliveToken alive = AliveToken();
  inherited::InternalSetEditValue(Value, AValidate);
  if (!alive) return;
  FCaption = ValueToCaption(inherited::GetEditValue());
  FValueAssigned = true;
  GetProperties()->Changed();
}

void TqvCustomLabel::SynchronizeDisplayValue() { GetProperties()->Changed(); }

void TqvCustomLabel::PropertiesChanged(TObject* Sender) {
  if (GetViewInfo()) GetLabelViewInfo()->Text.clear();
  inherited::PropertiesChanged(Sender);
}

void TqvCustomLabel::SetName(const String& NewName) {
  inherited::SetName(NewName);
  if (FCaptionAssigned) return;
  SetEditValue(NewName);
}

void TqvCustomLabel::SetFocusControl(TWinControl* Value) {
  if (Value == this || Value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TqvCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

bool TqvCustomLabel::CanFocus() { return IsInplace() && inherited::CanFocus(); }

bool TqvCustomLabel::FocusOnClick() { return IsInplace() && inherited::FocusOnClick(); }

void TqvCustomLabel::SetAutoSize(bool Value) {
  inherited::SetAutoSize(Value);
  SetInnerControlBounds();
  Invalidate();
}

TqvEditSizeProperties TqvCustomLabel::GetAutoSizeConstraints() {
  TqvEditSizeProperties size;
  size.MaxLineCount = 1;
  size.Width = GetLabelViewInfo()->TextRect.Width();
  return size;
}

bool TqvCustomLabel::IsAutoSizing() const {
  return GetAutoSize() && !IsInplace() && !HasState(csLoading) && HandleAllocated() && GetParent();
}

TRect TqvCustomLabel::CalculateAutoSizeRect(Integer AWidth, Integer AHeight) {
  if (!HandleAllocated() || !GetParent()) return Rect(0, 0, AWidth, AHeight);
  TqvCanvas* canvas = GetCanvas();
  if (TFont* font = GetStyle()->GetFont()) canvas->SetFont(font);
  if (Trim(GetCaption()).empty()) return Rect(0, 0, 0, canvas->TextHeight("1"));
  TqvCustomLabelProperties* properties = GetProperties();
  TRect r = Rect(0, 0, AWidth, AHeight);
  if (GetAlign() != alClient) {
    const Integer angle = properties->GetAngle() != 0 ? (std::abs(properties->GetAngle()) + 360) % 360 : 0;
    const TqvEditAlignment* alignment = properties->GetAlignment();
    const UINT flags = MakeDrawTextFlags(DT_CALCRECT, alignment->GetHorz(), alignment->GetVert(),
                                         properties->GetShowEndEllipsis() && !GetAutoSize(),
                                         properties->GetWordWrap() && angle == 0, 0);
    const String caption = GetCaption();
    ::DrawText(canvas->GetHandle(), caption.data(), Integer(caption.size()), &r, flags);
    if (angle > 0) {
      // Degrees turned into radians before the trigonometry.
      const double radians = DegreesToRadians(angle);
      Integer w = std::abs(Integer(std::trunc(std::cos(radians) * r.Width())));
      Integer h = std::abs(Integer(std::trunc(std::sin(radians) * r.Width())));
      // The text runs about upright between 45 and 135 degrees and between 225 and 315: the
      // row height adds to the width and the extra of a "w" to the height, the length of the
      // text; otherwise the other way round.
      const bool upright = (angle > 45 && angle < 135) || (angle > 225 && angle < 315);
      const Integer extra = canvas->TextWidth("w");
      if (upright) {
        w += r.Height();
        h += extra;
      } else {
        h += r.Height();
        w += extra;
      }
      r.Right = r.Left + w;
      r.Bottom = r.Top + h;
    }
  }
  Integer sizeW = 0, sizeH = 0;
  properties->GetDepthSize(sizeW, sizeH);
  const TRect parentClient = GetParent()->GetClientRect();
  switch (GetAlign()) {
    case alTop:
    case alBottom:
      return Rect(0, 0, parentClient.Width(), r.Height() + (GetAutoSize() ? sizeH + kAutoSizeExtraHeight : 0));
    case alLeft:
    case alRight:
      return Rect(0, 0, r.Width() + (GetAutoSize() ? sizeW + kAutoSizeExtraWidth : 0), parentClient.Height());
    case alClient: return Rect(0, 0, parentClient.Width(), parentClient.Height());
    default: break;
  }
  if (GetAutoSize())
    return Rect(r.Left, r.Top, r.Right + sizeW + kAutoSizeExtraWidth, r.Bottom + sizeH + kAutoSizeExtraHeight);
  return Rect(0, 0, AWidth, AHeight);
}

bool TqvCustomLabel::CanResize(Integer& NewWidth, Integer& NewHeight) {
  const bool result = inherited::CanResize(NewWidth, NewHeight);
  if (result && IsAutoSizing()) {
    const TRect r = CalculateAutoSizeRect(NewWidth, NewHeight);
    NewWidth = r.Width();
    NewHeight = r.Height();
  }
  return result;
}

void TqvCustomLabel::SetInnerControlBounds() {
  inherited::SetInnerControlBounds();
  if (!IsAutoSizing()) return;
  const TRect r = CalculateAutoSizeRect(GetWidth(), GetHeight());
  if (r.Width() != GetWidth() || r.Height() != GetHeight()) SetBounds(GetLeft(), GetTop(), r.Width(), r.Height());
}

void TqvCustomLabel::DialogChar(TMessage& Message) {
  if (!IsAccel(Word(Message.WParam), GetCaption())) {
    inherited::Dispatch(Message);
    return;
  }
  Message.Result = 1;
  if (FFocusControl && FFocusControl->CanFocus())
    FFocusControl->SetFocus();
  else
    MessageBeep(0);
}

void TqvCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP:
      // Every left-button release inside the label clicks it.
      SetControlState(GetControlState() | csClicked);
      inherited::Dispatch(Message);
      return;
    case CM_DIALOGCHAR: DialogChar(Message); return;
    case WM_WINDOWPOSCHANGED:
    case CM_CHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    case WM_ERASEBKGND:
      if (!IsDestroying() && GetProperties() && GetProperties()->GetTransparent()) {
        DrawParentBackground(this, reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}
