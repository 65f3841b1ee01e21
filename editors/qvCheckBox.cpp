// The check box editor: value mapping, the state cycle, keys and mouse, layout and painting.
#include <algorithm>

#include "core/qvVariants.h"
#include "editors/qvCheckBox.h"
#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Menus.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvCheckBoxDisplayChecked{62020, "True"};
const TResourceString sqvCheckBoxDisplayUnchecked{62021, "False"};

QJ_IMPLEMENT_CLASS(TqvCustomCheckBoxProperties)
QJ_IMPLEMENT_CLASS(TqvCheckBoxProperties)
QJ_IMPLEMENT_CLASS(TqvCheckBoxStyle)
QJ_IMPLEMENT_CLASS(TqvCustomCheckBoxViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomCheckBoxViewData)
QJ_IMPLEMENT_CLASS(TqvCustomCheckBox)
QJ_IMPLEMENT_CLASS(TqvCheckBox)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryCheckBoxItem)

namespace {

const TqvEditKindRegistration CheckBoxRegistration(&TqvCheckBoxProperties::StaticClass(),
                                                   &sqvEditDisplayTextCheckBox);

// The frame width of the classic glyph frame styles.
Integer GlyphFrameWidth(TqvContainerBorderStyle AStyle) {
  switch (AStyle) {
    case cbsNone: return 0;
    case cbsSingle:
    case cbsUltraFlat: return 1;
    default: return 2;
  }
}

bool IsButtonThemeUsable(const TqvCustomEditStyle* AStyle) {
  return IsNativeThemeUsable(AStyle->GetLookAndFeel()->GetNativeStyle(), totButton);
}

TRect ExcludeNothing() { return TRect{}; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomCheckBoxProperties

TqvCustomCheckBoxProperties::TqvCustomCheckBoxProperties(TPersistent* AOwner)
    : TqvCustomEditProperties(AOwner),
      FDisplayChecked(GetLocalizedResourceString(&sqvCheckBoxDisplayChecked)),
      FDisplayUnchecked(GetLocalizedResourceString(&sqvCheckBoxDisplayUnchecked)),
      FValueChecked(true),
      FValueGrayed(Null()),
      FValueUnchecked(false) {}

TqvCustomCheckBoxProperties::~TqvCustomCheckBoxProperties() { FGlyph.reset(); }

TqvCustomEditStyleClass TqvCustomCheckBoxProperties::StyleClass() { return &TqvCheckBoxStyle::StaticClass(); }

TqvCustomEditViewDataClass TqvCustomCheckBoxProperties::ViewDataClass() {
  return &TqvCustomCheckBoxViewData::StaticClass();
}

TqvCustomEditViewInfoClass TqvCustomCheckBoxProperties::ViewInfoClass() {
  return &TqvCustomCheckBoxViewInfo::StaticClass();
}

TqvCustomEditClass TqvCustomCheckBoxProperties::ContainerClass() { return &TqvCheckBox::StaticClass(); }

void TqvCustomCheckBoxProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomCheckBoxProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  FAllowGrayed = source->FAllowGrayed;
  SetFullFocusRect(source->FFullFocusRect);
  SetGlyph(source->GetGlyph());
  SetGlyphCount(source->FGlyphCount);
  SetMultiLine(source->FMultiLine);
  SetNullStyle(source->FNullStyle);
  SetValueChecked(source->FValueChecked);
  SetValueGrayed(source->FValueGrayed);
  SetValueUnchecked(source->FValueUnchecked);
}

TqvCheckBoxState TqvCustomCheckBoxProperties::StateOf(const Variant& AEditValue) const {
  if (VarEqualsBooleanAware(AEditValue, FValueChecked)) return cbsChecked;
  if (VarEqualsBooleanAware(AEditValue, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

void TqvCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Integer(StateOf(AEditValue));
}

bool TqvCustomCheckBoxProperties::IsEditValueValid(Variant& AEditValue, bool) {
  return VarEqualsExact(AEditValue, FValueChecked) || VarEqualsExact(AEditValue, FValueGrayed) ||
         VarEqualsExact(AEditValue, FValueUnchecked);
}

String TqvCustomCheckBoxProperties::GetDisplayText(const Variant& AEditValue, bool) {
  switch (StateOf(AEditValue)) {
    case cbsUnchecked: return FDisplayUnchecked;
    case cbsChecked: return FDisplayChecked;
    case cbsGrayed: break;
  }
  return FDisplayGrayed;
}

TqvEditSupportedOperations TqvCustomCheckBoxProperties::GetSupportedOperations() const {
  return esoHotTrack | esoFiltering | esoButtons | esoSorting;
}

bool TqvCustomCheckBoxProperties::IsTaken(const Variant& Value) const {
  return VarEqualsExact(Value, FValueChecked) || VarEqualsExact(Value, FValueGrayed) ||
         VarEqualsExact(Value, FValueUnchecked);
}

void TqvCustomCheckBoxProperties::SetStateValue(Variant& AField, const Variant& Value, bool AAcceptNull) {
  if ((VarIsNull(Value) && !AAcceptNull) || IsTaken(Value)) return;
  AField = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::SetValueChecked(const Variant& Value) { SetStateValue(FValueChecked, Value, false); }
void TqvCustomCheckBoxProperties::SetValueGrayed(const Variant& Value) { SetStateValue(FValueGrayed, Value, true); }
void TqvCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value) {
  SetStateValue(FValueUnchecked, Value, false);
}

bool TqvCustomCheckBoxProperties::IsValueCheckedStored() const { return !VarEqualsExact(FValueChecked, true); }
bool TqvCustomCheckBoxProperties::IsValueUncheckedStored() const { return !VarEqualsExact(FValueUnchecked, false); }

bool TqvCustomCheckBoxProperties::IsDisplayCheckedStored() const {
  return FDisplayChecked != GetLocalizedResourceString(&sqvCheckBoxDisplayChecked);
}

bool TqvCustomCheckBoxProperties::IsDisplayUncheckedStored() const {
  return FDisplayUnchecked != GetLocalizedResourceString(&sqvCheckBoxDisplayUnchecked);
}

void TqvCustomCheckBoxProperties::SetCaption(const String& Value) {
  FCaptionAssigned = true;
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::CaptionFollowsName(const String& AName) {
  if (FCaptionAssigned || FCaption == AName) return;
  FCaption = AName;
  Changed();
}

void TqvCustomCheckBoxProperties::SetDisplayChecked(const String& Value) {
  if (FDisplayChecked == Value) return;
  FDisplayChecked = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::SetDisplayGrayed(const String& Value) {
  if (FDisplayGrayed == Value) return;
  FDisplayGrayed = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::SetDisplayUnchecked(const String& Value) {
  if (FDisplayUnchecked == Value) return;
  FDisplayUnchecked = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::SetFullFocusRect(bool Value) {
  if (FFullFocusRect == Value) return;
  FFullFocusRect = Value;
  Changed();
}

TBitmap* TqvCustomCheckBoxProperties::GetGlyph() {
  if (!FGlyph) {
    FGlyph = MakeOwned<TBitmap>();
    FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
  }
  return FGlyph.get();
}

void TqvCustomCheckBoxProperties::SetGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else if (Value != FGlyph.get())
    GetGlyph()->Assign(Value);
  Changed();
}

void TqvCustomCheckBoxProperties::SetGlyphCount(Integer Value) {
  if (FGlyphCount == Value) return;
  FGlyphCount = Value;
  if (FGlyph) Changed();
}

void TqvCustomCheckBoxProperties::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  Changed();
}

void TqvCustomCheckBoxProperties::SetNullStyle(TqvCheckBoxNullValueShowingStyle Value) {
  if (FNullStyle == Value) return;
  FNullStyle = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvCheckBoxStyle

TColor TqvCheckBoxStyle::GetDefaultColor() const {
  TqvContainer* edit = GetContainer();
  if (edit && edit->GetParent()) return edit->GetParent()->GetColor();
  return clWindow;
}

void TqvCheckBoxStyle::RestoreDefaults() {
  inherited::RestoreDefaults();
  TqvContainer* edit = GetContainer();
  if (!edit) return;
  TqvContainerStyle* controllerStyle = GetControllerStyle();
  if (!controllerStyle || !controllerStyle->IsValueAssigned(csvColor)) edit->SetParentColor(true);
}

// ---------------------------------------------------------------------------------------------
// Layout routines

TSize GetCheckBoxGlyphSize(const TqvCustomCheckBoxViewData* AViewData) {
  TqvCustomCheckBoxProperties* properties = AViewData->GetProperties();
  TBitmap* glyph = properties->FindGlyph();
  if (properties->GetGlyphCount() > 0 && IsGlyphAssigned(glyph))
    return {glyph->GetWidth() / properties->GetGlyphCount(), glyph->GetHeight()};
  if (IsButtonThemeUsable(AViewData->Style)) {
    SIZE size{};
    if (SUCCEEDED(GetThemePartSize(OpenTheme(totButton), nullptr, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_TRUE,
                                   &size)))
      return size;
  }
  return CheckBoxGlyphSize();
}

void CalculateCheckBoxRects(const TRect& AClientRect, const TSize& AGlyphSize, TAlignment AAlignment, bool AIsInplace,
                            bool AThemed, TRect& ACheckRect, TRect& ATextRect) {
  TRect t = AClientRect, c = AClientRect;
  if (!AIsInplace) {
    t = qvDeflatedRect(t, 2);
    if (!AThemed) c = qvDeflatedRect(c, 2);
  }
  if (AGlyphSize.cy < c.Height()) {
    c.Top += (c.Height() - AGlyphSize.cy) / 2;
    c.Bottom = c.Top + AGlyphSize.cy;
  }
  if (AGlyphSize.cx < c.Width()) {
    switch (AAlignment) {
      case taCenter:
        c.Left += (c.Width() - AGlyphSize.cx) / 2;
        c.Right = c.Left + AGlyphSize.cx;
        break;
      case taRightJustify:
        c.Left = c.Right - AGlyphSize.cx;
        t.Right = c.Left - 3;
        break;
      default:
        c.Right = c.Left + AGlyphSize.cx;
        t.Left = c.Right + 3;
        break;
    }
  } else {
    t.Right = t.Left;
  }
  ACheckRect = c;
  ATextRect = t;
}

Integer GetCheckBoxGlyphIndex(TqvCheckBoxState AState, TqvCheckBoxGlyphState AGlyphState, Integer AGlyphCount) {
  Integer index = Integer(AState);
  if (AGlyphState == cgsPressed) index += 3;
  // A bitmap without pressed cells shows the plain ones; one with fewer cells than states wraps.
  if (index >= AGlyphCount && index > 2) index %= 3;
  if (AGlyphCount > 0 && index >= AGlyphCount) index %= AGlyphCount;
  return index;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCheckBoxViewData

TqvTextFlags TqvCustomCheckBoxViewData::GetTextFlags() const {
  auto* properties = GetProperties();
  TqvTextFlags flags = properties->GetAlignment()->GetHorz() == taCenter ? tfHCenter : tfLeft;
  if (properties->GetMultiLine())
    flags |= tfShowPrefix | tfWordBreak | tfNoClip | tfTop;
  else
    flags |= tfShowPrefix | tfVCenter | tfSingleLine;
  return flags;
}

void TqvCustomCheckBoxViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TqvMouseButton AButton, TShiftState AShift,
                                          TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* viewInfo = static_cast<TqvCustomCheckBoxViewInfo*>(AViewInfo);
  TqvCustomCheckBoxProperties* properties = GetProperties();
  const TAlignment alignment = IsInplace ? taCenter : properties->GetAlignment()->GetHorz();
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  viewInfo->Font = Style->GetFont();
  viewInfo->IsInnerEditShown = true;
  viewInfo->DrawSelected = false;
  viewInfo->IsPopupOpen = false;
  viewInfo->CaptionFlags = GetTextFlags();
  viewInfo->TextFlags = CanvasFlagsToTextLayoutFlags(viewInfo->CaptionFlags);
  CalculateEditViewInfoBorders(this, AViewInfo);
  const TRect offset = GetTextEditDrawTextOffset(this);
  TRect textRect = viewInfo->ClientRect;
  textRect.Left += offset.Left;
  textRect.Top += offset.Top;
  textRect.Right -= offset.Right;
  textRect.Bottom -= offset.Bottom;
  viewInfo->TextRect = textRect;
  viewInfo->Alignment = alignment;
  viewInfo->GlyphFrameStyle = TqvContainerBorderStyle(inherited::GetBorderStyle(viewInfo->HotState));
  viewInfo->Glyph = properties->FindGlyph();
  viewInfo->GlyphCount = properties->GetGlyphCount();
  viewInfo->FullFocusRect = properties->GetFullFocusRect();
  viewInfo->NullStyle = properties->GetNullStyle();
  const TSize glyphSize = GetCheckBoxGlyphSize(this);
  viewInfo->IsCustomGlyph = properties->GetGlyphCount() > 0 && IsGlyphAssigned(viewInfo->Glyph);
  CalculateCheckBoxRects(viewInfo->ClientRect, glyphSize, alignment, IsInplace, IsButtonThemeUsable(Style),
                         viewInfo->CheckRect, viewInfo->TextRect);
  if (!Enabled)
    viewInfo->GlyphState = cgsDisabled;
  else if (SpacePressed)
    viewInfo->GlyphState = cgsPressed;
  else if (!IsDesigning && viewInfo->BorderRect.Contains(P)) {
    const bool leftOnly = (AShift & ~ssDouble) == ssLeft;
    if (AShift == 0)
      viewInfo->GlyphState = cgsHot;
    else if (leftOnly && (AButton == cmbLeft || viewInfo->GlyphState == cgsPressed))
      viewInfo->GlyphState = cgsPressed;
    else
      viewInfo->GlyphState = cgsNormal;
  } else {
    viewInfo->GlyphState = cgsNormal;
  }
  if (Style->GetBorderStyle() == ebsSingle && !Style->IsValueAssigned(csvBorderColor))
    viewInfo->BorderColor = clBtnShadow;
  CalculateNativeState(viewInfo, ACanvas);
}

void TqvCustomCheckBoxViewData::EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                    TqvCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TqvCustomCheckBoxViewInfo*>(AViewInfo);
  viewInfo->CheckState = GetProperties()->StateOf(AEditValue);
  CalculateNativeState(viewInfo, ACanvas);
}

void TqvCustomCheckBoxViewData::CalculateNativeState(TqvCustomCheckBoxViewInfo* AViewInfo,
                                                     TqvCanvas* ACanvas) const {
  TqvCustomCheckBoxViewInfo& v = *AViewInfo;
  v.NativeCheckState = 0;
  if (IsButtonThemeUsable(Style)) {
    const Integer glyph = Integer(v.GlyphState);  // normal, hot, pressed, disabled: +0..+3
    switch (v.CheckState) {
      case cbsUnchecked: v.NativeCheckState = 1 + glyph; break;
      case cbsChecked: v.NativeCheckState = 5 + glyph; break;
      case cbsGrayed:
        switch (v.NullStyle) {
          case nssUnchecked: v.NativeCheckState = 1 + glyph; break;
          case nssInactive: v.NativeCheckState = 4; break;
          case nssGrayedChecked: v.NativeCheckState = 9 + glyph; break;
        }
        break;
    }
  }
  v.SetBackgroundColor(Enabled ? Style->GetColor() : clBtnFace);
  v.TextColor = Enabled ? Style->GetFont()->GetColor() : clBtnShadow;
  v.FocusRect = TRect{};
  if (v.Alignment == taCenter || IsInplace || !Focused || GetProperties()->GetCaption().empty()) return;
  TRect r = v.TextRect;
  if (!v.FullFocusRect && ACanvas) {
    ACanvas->SetFont(Style->GetFont());
    ACanvas->CalcTextRect(v.Text, r, GetTextFlags());
  }
  r = qvDeflatedRect(r, -1);
  r.Left = std::max(r.Left, v.TextRect.Left - 1);
  r.Top = std::max(r.Top, v.TextRect.Top - 1);
  r.Right = std::min({r.Right, v.TextRect.Right + 1, v.BorderRect.Right - 1});
  r.Bottom = std::min(r.Bottom, v.TextRect.Bottom + 1);
  v.FocusRect = r;
}

void TqvCustomCheckBoxViewData::GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                                                      TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) {
  inherited::GetEditBorderPartSize(ACanvas, ASizeProperties, AViewInfo, ASize, AExtra);
  TqvCustomCheckBoxProperties* properties = GetProperties();
  const TSize glyph = GetCheckBoxGlyphSize(this);
  const bool themed = IsButtonThemeUsable(Style);
  const Integer w = glyph.cx + (!IsInplace && !themed ? 4 : 0);
  const Integer h = glyph.cy + (!IsInplace && !themed ? 4 : 0);
  const bool centred = IsInplace || properties->GetAlignment()->GetHorz() == taCenter;
  const String text = centred ? String("Gg") : RemoveAccelChars(properties->GetCaption());
  const TSize textSize = CalculateEditTextSize(ACanvas, this, text, false, ASizeProperties,
                                               CanvasFlagsToTextLayoutFlags(GetTextFlags()) | tlSingleLine);
  ASize.cx += w + textSize.cx + 3;
  ASize.cy += std::max(h, textSize.cy);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCheckBoxViewInfo

void TqvCustomCheckBoxViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvCustomCheckBoxViewInfo>(Source)) {
    GlyphState = source->GlyphState;
    NativeCheckState = source->NativeCheckState;
  }
  inherited::Assign(Source);
}

void TqvCustomCheckBoxViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  CheckRect = qvOffsetRect(CheckRect, DX, DY);
  FocusRect = qvOffsetRect(FocusRect, DX, DY);
}

bool TqvCustomCheckBoxViewInfo::NeedShowHintInBounds(TqvCanvas*, const TPoint&, const TRect&, bool& AIsMultiLine,
                                                     String& AText, TRect& ATextRect) {
  AIsMultiLine = false;
  AText.clear();
  ATextRect = TRect{};
  return false;
}

TOwned<TqvRegion> TqvCustomCheckBoxViewInfo::GetUpdateRegion(const TqvContainerViewInfo* AViewInfo) const {
  TOwned<TqvRegion> region = inherited::GetUpdateRegion(AViewInfo);
  auto* other = As<TqvCustomCheckBoxViewInfo>(const_cast<TqvContainerViewInfo*>(AViewInfo));
  if (other && (other->GlyphState != GlyphState || other->NativeCheckState != NativeCheckState))
    region->Combine(MakeOwned<TqvRegion>(CheckRect), roUnion);
  return region;
}

bool TqvCustomCheckBoxViewInfo::Repaint(TWinControl* AControl, const TqvCustomEditViewInfo* AOldViewInfo,
                                        const TRect* AInnerRect) {
  bool changed = inherited::Repaint(AControl, AOldViewInfo, AInnerRect);
  auto* old = As<TqvCustomCheckBoxViewInfo>(const_cast<TqvCustomEditViewInfo*>(AOldViewInfo));
  const bool same = old && old->GlyphState == GlyphState && old->NativeCheckState == NativeCheckState;
  if (!same && AControl && AControl->HandleAllocated())
    InvalidateRectOutside(AControl->GetHandle(), CheckRect, ExcludeNothing(), false);
  return changed || !same;
}

void TqvCustomCheckBoxViewInfo::DrawText(TqvCanvas* ACanvas) {
  if (Text.empty() || TextRect.IsEmpty()) return;
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (Font) ACanvas->SetFont(Font);
  ACanvas->GetFont()->SetColor(TextColor);
  ACanvas->DrawText(Text, TextRect, CaptionFlags, Enabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void TqvCustomCheckBoxViewInfo::Paint(TqvCanvas* ACanvas) { PaintCheckBox(ACanvas, this); }

// ---------------------------------------------------------------------------------------------
// Painting

namespace {

void DrawCheckBoxCustomGlyph(TqvCanvas* ACanvas, TqvCustomCheckBoxViewInfo* V) {
  if (V->GlyphCount <= 0 || V->CheckRect.IsEmpty()) return;
  const Integer index = GetCheckBoxGlyphIndex(V->CheckState, V->GlyphState, V->GlyphCount);
  const Integer cellWidth = V->Glyph->GetWidth() / V->GlyphCount;
  TOwned<TBitmap> cell = MakeOwned<TBitmap>();
  cell->SetSize(V->CheckRect.Width(), V->CheckRect.Height());
  const Integer top = (V->Glyph->GetHeight() - V->CheckRect.Height()) / 2;
  cell->GetCanvas()->CopyRect(Rect(0, 0, V->CheckRect.Width(), V->CheckRect.Height()), V->Glyph->GetCanvas(),
                              Rect(index * cellWidth, top, index * cellWidth + V->CheckRect.Width(),
                                   top + V->CheckRect.Height()));
  cell->SetTransparent(true);
  cell->SetTransparentColor(V->Glyph->GetTransparentColor());
  ACanvas->SetBrushColor(V->BackgroundColor);
  ACanvas->FillRect(V->CheckRect);
  ACanvas->Draw(V->CheckRect.Left, V->CheckRect.Top, cell.get());
}

void DrawCheckBoxGlyphFrame(TqvCanvas* ACanvas, TqvCustomCheckBoxViewInfo* V) {
  if (V->NativeCheckState != 0) {
    DrawThemeBackground(OpenTheme(totButton), ACanvas->GetHandle(), BP_CHECKBOX, V->NativeCheckState, &V->CheckRect,
                        nullptr);
    return;
  }
  const Integer width = GlyphFrameWidth(V->GlyphFrameStyle);
  if (width < 2) ACanvas->FrameRect(V->CheckRect, V->BackgroundColor, 2 - width);
  const TRect r = qvDeflatedRect(V->CheckRect, 2 - width);
  switch (V->GlyphFrameStyle) {
    case cbsSingle: ACanvas->FrameRect(r, V->BorderColor); break;
    case cbsThick: ACanvas->FrameRect(r, V->BorderColor, 2); break;
    case cbsFlat:
      ACanvas->DrawEdge(r, true, true);
      ACanvas->FrameRect(qvDeflatedRect(r, 1), clBtnFace);
      break;
    case cbs3D:
      ACanvas->DrawEdge(r, true, true);
      ACanvas->DrawComplexFrame(qvDeflatedRect(r, 1), cl3DDkShadow, clBtnFace);
      break;
    case cbsUltraFlat: {
      static const TqvButtonState states[] = {qvbsNormal, qvbsHot, qvbsPressed, qvbsDisabled};
      TqvUltraFlatLookAndFeelPainter::Class()->DrawButton(ACanvas, r, String(), states[V->GlyphState], true);
      break;
    }
    case cbsNone: break;
  }
}

void DrawCheckBoxMark(TqvCanvas* ACanvas, TqvCustomCheckBoxViewInfo* V) {
  UINT state = DFCS_BUTTONCHECK;
  if (V->GlyphState != cgsDisabled) {
    switch (V->CheckState) {
      case cbsChecked: state |= DFCS_CHECKED; break;
      case cbsGrayed:
        state |= DFCS_BUTTON3STATE;
        if (V->NullStyle == nssInactive) state |= DFCS_INACTIVE;
        if (V->NullStyle == nssGrayedChecked) state |= DFCS_CHECKED;
        break;
      case cbsUnchecked: break;
    }
    if (V->GlyphState == cgsPressed) state |= DFCS_PUSHED;
  } else {
    state |= DFCS_BUTTON3STATE | DFCS_PUSHED | (V->CheckState == cbsUnchecked ? DFCS_INACTIVE : DFCS_CHECKED);
  }
  if (V->GlyphFrameStyle != cbs3D) state |= DFCS_FLAT;
  HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  const TRect clip = qvDeflatedRect(V->CheckRect, 2);
  IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
  TRect r = V->CheckRect;
  DrawFrameControl(dc, &r, DFC_BUTTON, state);
  RestoreDC(dc, saved);
}

}  // namespace

void PaintCheckBox(TqvCanvas* ACanvas, TqvCustomCheckBoxViewInfo* AViewInfo) {
  TqvCustomCheckBoxViewInfo& v = *AViewInfo;
  HDC dc = ACanvas->GetHandle();
  {
    const int saved = SaveDC(dc);
    const bool transparentGlyph =
        v.NativeCheckState != 0 && IsThemeBackgroundPartiallyTransparent(OpenTheme(totButton), BP_CHECKBOX,
                                                                         v.NativeCheckState);
    if (!transparentGlyph) ExcludeClipRect(dc, v.CheckRect.Left, v.CheckRect.Top, v.CheckRect.Right, v.CheckRect.Bottom);
    if (v.NativeCheckState == 0) {
      DrawEditViewInfo(ACanvas, AViewInfo, true, enfkThemeContent);
    } else if (v.DrawParentBackground && v.WindowHandle) {
      DrawThemeParentBackground(v.WindowHandle, dc, &v.Bounds);
    } else if (!v.Transparent) {
      ACanvas->SetBrushColor(v.BackgroundColor);
      ACanvas->FillRect(v.Bounds);
    }
    RestoreDC(dc, saved);
  }
  if (v.IsCustomGlyph) {
    DrawCheckBoxCustomGlyph(ACanvas, AViewInfo);
  } else {
    DrawCheckBoxGlyphFrame(ACanvas, AViewInfo);
    if (v.NativeCheckState == 0) DrawCheckBoxMark(ACanvas, AViewInfo);
  }
  if (v.Alignment == taCenter) return;
  v.DrawText(ACanvas);
  if (!v.IsInplace && v.Focused && !v.FocusRect.IsEmpty()) {
    ACanvas->GetFont()->SetColor(clBtnText);
    ACanvas->SetBrushColor(v.BackgroundColor);
    ::DrawFocusRect(dc, &v.FocusRect);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCheckBox

TqvCustomCheckBox::TqvCustomCheckBox(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

TqvCustomEditPropertiesClass TqvCustomCheckBox::PropertiesClass() { return &TqvCustomCheckBoxProperties::StaticClass(); }

TqvCustomEditPropertiesClass TqvCheckBox::PropertiesClass() { return &TqvCheckBoxProperties::StaticClass(); }

void TqvCustomCheckBox::AfterConstruction() {
  inherited::AfterConstruction();
  SetControlStyle(GetControlStyle() & ~csDoubleClicks);
  SetParentColor(!IsInplace());
  SetBounds(GetLeft(), GetTop(), 121, GetHeight());
  Variant unchecked;
  DisplayToEditValue(Integer(cbsUnchecked), unchecked, false);
  SetEditValue(unchecked);
  SetParentBackground(true);
}

void TqvCustomCheckBox::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TqvCustomCheckBoxProperties* properties = GetProperties();
  AEditValue = Unassigned();
  if (!VarIsNumeric(ADisplayValue)) return;
  switch (ADisplayValue.AsInteger()) {
    case cbsUnchecked: AEditValue = properties->GetValueUnchecked(); break;
    case cbsChecked: AEditValue = properties->GetValueChecked(); break;
    case cbsGrayed: AEditValue = properties->GetValueGrayed(); break;
    default: break;
  }
}

TqvCheckBoxState TqvCustomCheckBox::GetState() { return GetProperties()->StateOf(GetEditValue()); }

void TqvCustomCheckBox::SetState(TqvCheckBoxState Value) {
  Variant value;
  DisplayToEditValue(Integer(Value), value, IsEditFocused());
  SetEditValue(value);
}

void TqvCustomCheckBox::Toggle() {
  TAliveToken alive = AliveToken();
  TChangeEventsScope locked(this);
  {
    TValueScope userChange(UserChangeFlag(), true, alive);
    switch (GetState()) {
      case cbsUnchecked: SetState(GetProperties()->GetAllowGrayed() ? cbsGrayed : cbsChecked); break;
      case cbsChecked: SetState(cbsUnchecked); break;
      case cbsGrayed: SetState(cbsChecked); break;
    }
  }
  if (alive && GetProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true) && alive)
    PostEditValue();
}

void TqvCustomCheckBox::InternalSetEditValue(const Variant& Value, bool AValidate) {
  const TqvCheckBoxState before = GetState();
  TAliveToken alive = AliveToken();
  inherited::InternalSetEditValue(Value, AValidate);
  if (!alive) return;
  const TqvCheckBoxState after = GetState();
  if (after != before) {
    GetViewInfo()->CheckState = after;
    Click();
    if (alive) DoChange();
  }
  if (alive) RefreshContainerAtCursor(false);
}

void TqvCustomCheckBox::PropertiesChanged(TObject* Sender) {
  TqvCustomCheckBoxViewInfo* viewInfo = GetViewInfo();
  if (viewInfo && GetProperties()) {
    viewInfo->Text = GetProperties()->GetCaption();
    if (!HasState(csLoading | csDestroying) && !IsDestroying()) SetState(viewInfo->CheckState);
  }
  inherited::PropertiesChanged(Sender);
}

void TqvCustomCheckBox::SetName(const String& NewName) {
  inherited::SetName(NewName);
  GetProperties()->CaptionFollowsName(NewName);
}

bool TqvCustomCheckBox::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!TqvControl::CanResize(NewWidth, NewHeight)) return false;
  if (GetAutoSize() && !HasState(csLoading) && GetActiveProperties()) {
    const TSize size = GetActiveProperties()->GetEditSize(GetCanvas(), GetStyle(), IsInplace(), Null(),
                                                          GetAutoSizeConstraints());
    if (size.cy > 0) NewHeight = size.cy;
  }
  return true;
}

TqvEditSizeProperties TqvCustomCheckBox::GetAutoSizeConstraints() {
  TqvEditSizeProperties size;
  size.MaxLineCount = GetProperties()->GetMultiLine() ? 0 : 1;
  size.Width = GetViewInfo() ? GetViewInfo()->TextRect.Width() : -1;
  return size;
}

void TqvCustomCheckBox::Paint() {
  GetViewInfo()->DrawParentBackground = !IsInplace() && GetParentBackground();
  inherited::Paint();
}

TqvContainerStyleValues TqvCustomCheckBox::GetNotPublishedStyleValues() const {
  return csvBit(csvEdges) | csvBit(svButtonStyle) | csvBit(svButtonTransparency) | csvBit(svPopupBorderStyle);
}

bool TqvCustomCheckBox::CanClickWhileLoading() {
  IqvEditDefaultValuesProvider* provider = GetDataBinding()->GetDefaultValuesProvider();
  return provider && provider->IsDataAware();
}

void TqvCustomCheckBox::InitializeViewData(TqvCustomEditViewData* AViewData) {
  inherited::InitializeViewData(AViewData);
  if (auto* viewData = As<TqvCustomCheckBoxViewData>(AViewData)) viewData->SpacePressed = FSpacePressed;
}

void TqvCustomCheckBox::ProcessButtonsStateChange(TqvCustomEditViewInfo* AOldViewInfo) {
  inherited::ProcessButtonsStateChange(AOldViewInfo);
  auto* old = As<TqvCustomCheckBoxViewInfo>(AOldViewInfo);
  if (old && old->GlyphState == cgsPressed && GetViewInfo()->GlyphState == cgsHot) Toggle();
}

void TqvCustomCheckBox::InvalidateCheckRect() {
  if (HandleAllocated()) InvalidateRect(GetViewInfo()->CheckRect, false);
}

void TqvCustomCheckBox::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyDown(Key, Shift);
  if (!alive || Key != VK_SPACE) return;
  const TqvCheckBoxGlyphState state = GetViewInfo()->GlyphState;
  if (state != cgsNormal && state != cgsHot) return;
  FSpacePressed = true;
  GetViewInfo()->GlyphState = cgsPressed;
  RefreshContainerAtCursor(false);
  Key = 0;
}

void TqvCustomCheckBox::DoEditKeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyUp(Key, Shift);
  if (!alive || Key != VK_SPACE || GetViewInfo()->GlyphState != cgsPressed) return;
  FSpacePressed = false;
  GetViewInfo()->GlyphState = cgsNormal;
  InvalidateCheckRect();
  Toggle();
}

void TqvCustomCheckBox::DoEditKeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyPress(Key);
  if (!alive || Key != ' ' || !IsInplace() || GetViewInfo()->GlyphState != cgsNormal) return;
  Toggle();
  Key = 0;
}

void TqvCustomCheckBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP:
      // The platform fires no click of its own: Click comes from the state change.
      SetControlState(GetControlState() & ~csClicked);
      inherited::Dispatch(Message);
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Word>(Message.WParam), GetProperties()->GetCaption()) && CanFocus()) {
        TAliveToken alive = AliveToken();
        SetFocus();
        if (alive && Focused()) Toggle();
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}
