// The paint model: edit view data, which calculates view infos (states, frame, buttons) and
// measures editors.
#include <algorithm>

#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Controls.h"

QJ_IMPLEMENT_CLASS(TqvCustomEditViewData)

namespace {

constexpr TqvContainerState cstActiveOrHot = cstBit(cstActive) | cstBit(cstHot);

bool IsLeftOnly(TShiftState AShift) { return AShift == ssLeft || AShift == (ssLeft | ssDouble); }

// The frame painted for a hot state (rows) and the style's border style (columns).
TqvEditBorderStyle HotBorderStyle(TqvEditHotState AHotState, TqvEditBorderStyle AStyle) {
  static constexpr TqvEditBorderStyle table[3][6] = {
      {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsSingle},
      {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsSingle},
      {ebsFlat, ebsThick, ebsThick, ebs3D, ebs3D, ebsSingle}};
  return table[AHotState][AStyle];
}

TqvEditPopupBorderStyle DefaultPopupBorderStyle(bool AInplace, TqvLookAndFeelKind AKind,
                                                TqvEditBorderStyle APainted) {
  if (AInplace) {
    switch (AKind) {
      case lfFlat: return epbsFlat;
      case lfStandard: return epbsFrame3D;
      case lfUltraFlat: return epbsSingle;
    }
  }
  return APainted == ebsNone || APainted == ebsFlat ? epbsFlat : epbsSingle;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and cached settings

void TqvCustomEditViewData::AfterConstruction() {
  inherited::AfterConstruction();
  InitDefaults();
  SelTextColor = clDefault;
  SelBackgroundColor = clDefault;
  InitCacheData();
}

void TqvCustomEditViewData::InitDefaults() {
  ContentOffset = TRect{};
  Enabled = true;
}

void TqvCustomEditViewData::InitCacheData() {
  BorderStyle = Style->GetBorderStyle();
  ButtonsCount = Properties->GetButtons()->VisibleCount();
  IsValueSource = Properties->GetEditValueSource(false) == evsValue;
  const TqvEditAlignment* alignment = Properties->GetAlignment();
  HorzAlignment = alignment->GetHorz();
  VertAlignment = alignment->GetVert();
  NativeStyle = IsNativeThemeUsable(Style->GetLookAndFeel()->GetNativeStyle(), totEdit);
}

TqvEditBorderStyle TqvCustomEditViewData::GetBorderStyle(TqvEditHotState AHotState) const {
  return IsInplace ? ebsNone : HotBorderStyle(AHotState, BorderStyle);
}

void TqvCustomEditViewData::CalculateButtonNativeInfo(TqvEditButtonViewInfo* AButtonViewInfo) {
  CalculateEditButtonNativeInfo(AButtonViewInfo);
}

// ---------------------------------------------------------------------------------------------
// Calculation

void TqvCustomEditViewData::CalculateContainerState(const TPoint& P, TShiftState AShift,
                                                    TqvCustomEditViewInfo* AViewInfo) {
  if (!Enabled)
    ContainerState = cstBit(cstDisabled);
  else if (IsDesigning)
    ContainerState = cstBit(cstNormal);
  else {
    ContainerState = cstBit(Focused ? cstActive : cstNormal);
    // The hot area leans on the frame of a calculation that has not happened yet: take the
    // frame of the cold state, which differs from the hot one only inside the border.
    GetBorderExtent(AViewInfo->BorderExtent);
    AViewInfo->ThemeState = NativeStyle ? ETS_NORMAL : 0;
    AViewInfo->BorderStyle = TqvContainerBorderStyle(GetBorderStyle(ehsNoHotTrack));
    const bool captured = Edit && Edit->IsMouseCaptured();
    if (GetEditHotArea(AViewInfo, Bounds).Contains(P) && (AShift == 0 || captured))
      ContainerState |= cstBit(cstHot);
  }
  IsSelected = (ContainerState & cstActiveOrHot) != 0;
  AViewInfo->ContainerState = ContainerState;
}

void TqvCustomEditViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                      TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent) {
  Bounds = ABounds;
  AViewInfo->Bounds = ABounds;
  AViewInfo->Edges = Style->GetEdges();
  AViewInfo->Enabled = Enabled;
  AViewInfo->Focused = Focused;
  AViewInfo->HasBackground = Edit && Edit->HasBackground();
  TWinControl* innerControl = InnerEdit ? InnerEdit->GetControl() : nullptr;
  AViewInfo->InnerEditVisible = innerControl && innerControl->GetVisible();
  AViewInfo->IsInplace = IsInplace;
  AViewInfo->Selected = Selected;
  AViewInfo->PaintOptions = PaintOptions;
  AViewInfo->Shadow = HasEditShadow(this);
  AViewInfo->WindowHandle = WindowHandle;

  CalculateContainerState(P, AShift, AViewInfo);
  AViewInfo->HotState = IsDesigning || !Style->GetHotTrack() || IsInplace ? ehsNoHotTrack
                        : IsSelected                                      ? ehsHot
                                                                          : ehsNotHot;
  AViewInfo->BorderStyle = TqvContainerBorderStyle(GetBorderStyle(AViewInfo->HotState));
  CalculateEditViewInfoBorders(this, AViewInfo);
  CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);

  TRect extent;
  GetClientExtent(AViewInfo, extent);
  AViewInfo->InnerEditRect = ABounds;
  DeflateRectBy(AViewInfo->InnerEditRect, extent);
  AViewInfo->InnerControlRect = innerControl ? innerControl->GetBoundsRect() : AViewInfo->InnerEditRect;

  AViewInfo->PopupBorderStyle = Style->GetPopupBorderStyle();
  if (AViewInfo->PopupBorderStyle == epbsDefault)
    AViewInfo->PopupBorderStyle =
        DefaultPopupBorderStyle(IsInplace, Style->GetLookAndFeel()->GetKind(), AViewInfo->GetEditBorderStyle());
}

TqvEditButtonStyle TqvCustomEditViewData::ResolveButtonStyle(TqvCustomEditViewInfo* AViewInfo) const {
  const TqvEditButtonStyle style = Style->GetButtonStyle();
  if (style != btsDefault) return style;
  switch (AViewInfo->GetEditBorderStyle()) {
    case ebsNone: return BorderStyle == ebsUltraFlat ? btsUltraFlat : btsSimple;
    case ebsSingle: return BorderStyle == ebsUltraFlat ? btsUltraFlat : btsHotFlat;
    case ebsThick:
    case ebs3D: return bts3D;
    case ebsFlat: return btsFlat;
    case ebsUltraFlat: break;
  }
  return btsUltraFlat;
}

void TqvCustomEditViewData::CalculateButtonsViewInfo(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                     TqvMouseButton AButton, TShiftState AShift,
                                                     TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  const TqvEditButtonTransparency transparency = Style->GetButtonTransparency();
  const bool active = (ContainerState & cstBit(cstActive)) != 0;
  TqvEditButtons* buttons = Properties->GetButtons();
  // Buttons hidden or removed since the count was cached leave no stale button behind.
  const Integer count = std::min(ButtonsCount, buttons->VisibleCount());
  if (count == 0 || (!active && transparency == ebtHideInactive) ||
      (!(ContainerState & cstActiveOrHot) && transparency == ebtHideUnselected)) {
    AViewInfo->SetButtonCount(0);
    return;
  }
  AViewInfo->SetButtonCount(count);
  AViewInfo->ButtonPressed = false;
  const Integer previousPressed = AIsMouseEvent ? AViewInfo->PressedButtonIndex : -1;
  AViewInfo->PressedButtonIndex = -1;
  AViewInfo->HotButtonIndex = -1;
  const TqvEditButtonStyle buttonStyle = ResolveButtonStyle(AViewInfo);

  TRect content = ABounds;
  DeflateRectBy(content, GetEditContentMargins(ACanvas, this));
  FirstLeftButton = LastLeftButton = FirstRightButton = LastRightButton = -1;
  Integer visibleIndex = count;
  for (Integer i = buttons->GetCount() - 1; i >= 0 && visibleIndex > 0; --i) {
    if (!buttons->GetItem(i)->GetVisible()) continue;
    TqvEditButtonViewInfo* button = AViewInfo->GetButton(--visibleIndex);
    button->ButtonIndex = i;
    button->Style = buttonStyle;
    CalculateButtonViewInfo(ACanvas, AViewInfo, content, visibleIndex);
    button->State = CalculateButtonState(AViewInfo, visibleIndex, P, AButton, AShift, previousPressed);
    CalculateButtonNativeInfo(button);
  }
  MarkButtonGroups(AViewInfo, content);
}

TqvEditButtonState TqvCustomEditViewData::CalculateButtonState(TqvCustomEditViewInfo* AViewInfo, Integer AIndex,
                                                               const TPoint& P, TqvMouseButton AButton,
                                                               TShiftState AShift, Integer APreviousPressed) {
  if (!Enabled) return ebbsDisabled;
  TqvEditButtonViewInfo* button = AViewInfo->GetButton(AIndex);
  const TqvEditButtonState previous = button->State;
  const bool pressedByData = IsButtonPressed(AViewInfo, AIndex);
  if (!pressedByData && (IsDesigning || !button->VisibleBounds.Contains(P))) return ebbsNormal;

  const bool leftHeld = (AShift & ssLeft) != 0;
  const bool keepPressed =
      AButton == cmbNone && leftHeld && previous == ebbsNormal && GetPressedButtonIndex() == AIndex;
  const bool leftDown = AButton == cmbLeft && IsLeftOnly(AShift);
  const bool stillPressed = previous == ebbsPressed && leftHeld;
  if (pressedByData || keepPressed || leftDown || stillPressed) AViewInfo->ButtonPressed = true;

  TqvEditButtonState state = ebbsNormal;
  if (!pressedByData && AShift == 0 && !keepPressed) {
    AViewInfo->HotButtonIndex = AIndex;
    return ebbsHot;
  }
  if (pressedByData || (keepPressed && CanPressButton(AViewInfo, AIndex)) ||
      (IsLeftOnly(AShift) &&
       ((AButton == cmbLeft && CanPressButton(AViewInfo, AIndex)) || APreviousPressed == AIndex)) ||
      stillPressed)
    state = ebbsPressed;
  if (state == ebbsPressed) AViewInfo->PressedButtonIndex = AIndex;
  return state;
}

void TqvCustomEditViewData::MarkButtonGroups(TqvCustomEditViewInfo* AViewInfo, const TRect& AContent) {
  auto widensToText = [](const TqvEditButtonViewInfo* B) {
    return !B->Bounds.IsEmpty() && B->Style == btsHotFlat && !B->IsNativePainted();
  };
  if (FirstLeftButton >= 0) {
    AViewInfo->GetButton(FirstLeftButton)->FirstInGroup = true;
    TqvEditButtonViewInfo* inner = AViewInfo->GetButton(LastLeftButton);
    inner->LastInGroup = true;
    if (widensToText(inner)) {
      ++inner->Bounds.Right;
      if (FirstRightButton < 0 && inner->VisibleBounds.Right < AContent.Right) ++inner->VisibleBounds.Right;
    }
  }
  if (FirstRightButton >= 0) {
    AViewInfo->GetButton(FirstRightButton)->LastInGroup = true;
    TqvEditButtonViewInfo* inner = AViewInfo->GetButton(LastRightButton);
    inner->FirstInGroup = true;
    if (widensToText(inner)) {
      --inner->Bounds.Left;
      if (FirstLeftButton < 0 && inner->VisibleBounds.Left > AContent.Left) --inner->VisibleBounds.Left;
    }
  }
}

void TqvCustomEditViewData::CalculateButtonViewInfo(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo,
                                                    TRect& ARect, Integer AButtonVisibleIndex) {
  TqvEditButtonViewInfo* button = AViewInfo->GetButton(AButtonVisibleIndex);
  const TqvEditButton* source = Properties->GetButtons()->GetItem(button->ButtonIndex);
  button->Kind = source->GetKind();
  button->IsSingleDropDown = AViewInfo->GetButtonCount() == 1 && button->Kind == bkDown;
  button->Default = source->GetDefault();
  button->Glyph = source->FindGlyph();
  button->LeftAlignment = source->GetLeftAlignment();
  button->Width = source->GetWidth();
  button->Erase = AViewInfo->HasBackground;
  button->IsInplace = IsInplace;
  button->FirstInGroup = false;
  button->LastInGroup = false;
  button->NativeStyle = AViewInfo->NativeStyle;
  const TqvEditButtonTransparency transparency = Style->GetButtonTransparency();
  button->Transparent = transparency == ebtAlways || (transparency == ebtInactive && !IsSelected);
  button->BackgroundColor = AViewInfo->BackgroundColor;
  CalculateButtonBounds(ACanvas, AViewInfo, ARect, AButtonVisibleIndex);
}

void TqvCustomEditViewData::CalculateButtonBounds(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, TRect& ARect,
                                                  Integer AButtonVisibleIndex) {
  TqvEditButtonViewInfo* button = AViewInfo->GetButton(AButtonVisibleIndex);
  if (ARect.IsEmpty()) {
    button->Bounds = TRect{};
    button->VisibleBounds = TRect{};
    return;
  }
  const Integer width = GetEditButtonWidth(ACanvas, button);
  const Integer visible = std::min(width, ARect.Width());
  if (button->LeftAlignment) {
    button->Bounds = Rect(ARect.Left, ARect.Top, ARect.Left + width, ARect.Bottom);
    button->VisibleBounds = Rect(ARect.Left, ARect.Top, ARect.Left + visible, ARect.Bottom);
    ARect.Left += visible;
    if (FirstLeftButton < 0) FirstLeftButton = AButtonVisibleIndex;
    LastLeftButton = AButtonVisibleIndex;
  } else {
    button->Bounds = Rect(ARect.Right - width, ARect.Top, ARect.Right, ARect.Bottom);
    button->VisibleBounds = Rect(ARect.Right - visible, ARect.Top, ARect.Right, ARect.Bottom);
    ARect.Right -= visible;
    if (FirstRightButton < 0) FirstRightButton = AButtonVisibleIndex;
    LastRightButton = AButtonVisibleIndex;
  }
}

// ---------------------------------------------------------------------------------------------
// Extents and sizes

void TqvCustomEditViewData::GetBorderExtent(TRect& R) { R = GetEditBorderExtent(this); }

void TqvCustomEditViewData::GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R) {
  GetBorderExtent(R);
  if (HScrollBar) R.Bottom += HScrollBar->GetHeight();
  if (VScrollBar) R.Right += VScrollBar->GetWidth();
  for (const auto& button : AViewInfo->ButtonsInfo) {
    if (button->LeftAlignment)
      R.Left = std::max(R.Left, button->Bounds.Right - AViewInfo->Bounds.Left);
    else
      R.Right = std::max(R.Right, AViewInfo->Bounds.Right - button->Bounds.Left);
  }
}

void TqvCustomEditViewData::GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties&,
                                                  TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) {
  ASize = {AViewInfo->Bounds.Width() - AViewInfo->InnerEditRect.Width(),
           AViewInfo->Bounds.Height() - AViewInfo->InnerEditRect.Height()};
  AExtra = {0, 0};
  if (!IsInplace && !(Edit && Edit->IsAutoSize())) return;
  Integer glyphHeight = -1;
  for (const auto& button : AViewInfo->ButtonsInfo)
    if (button->Kind == bkGlyph && IsGlyphAssigned(button->Glyph))
      glyphHeight = std::max(glyphHeight, button->Glyph->GetHeight());
  if (glyphHeight < 0) return;
  const TRect margins = GetEditContentMargins(ACanvas, this);
  AExtra.cy = std::max(
      0, glyphHeight + margins.Top + margins.Bottom + GetEditButtonExtraHeight(ACanvas, AViewInfo) - ASize.cy);
}

void TqvCustomEditViewData::CalculateEditBorderPartSize(TqvCanvas* ACanvas,
                                                        const TqvEditSizeProperties& ASizeProperties,
                                                        TqvCustomEditViewInfo* AViewInfo, TSize& ABorderSize,
                                                        TSize& AExtraSize) {
  if (AViewInfo) {
    GetEditBorderPartSize(ACanvas, ASizeProperties, AViewInfo, ABorderSize, AExtraSize);
    return;
  }
  // Measured in bounds far larger than any editor yet far from the integer limit, so the
  // frame arithmetic on them cannot overflow.
  TOwned<TqvCustomEditViewInfo> viewInfo(
      static_cast<TqvCustomEditViewInfo*>(Properties->GetViewInfoClass()->Create()));
  Calculate(ACanvas, Rect(0, 0, qvUnboundedExtent, qvUnboundedExtent), Point(-1, -1), cmbNone, 0, viewInfo.get(),
            false);
  GetEditBorderPartSize(ACanvas, ASizeProperties, viewInfo.get(), ABorderSize, AExtraSize);
}

TSize TqvCustomEditViewData::GetEditSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                         const TqvEditSizeProperties& ASizeProperties) {
  TSize border{}, extra{};
  CalculateEditBorderPartSize(ACanvas, ASizeProperties, nullptr, border, extra);
  TqvEditSizeProperties contentProperties = ASizeProperties;
  bool narrowerThanBorder = false;
  if (ASizeProperties.Width >= 0) {
    contentProperties.Width = ASizeProperties.Width - border.cx;
    if (contentProperties.Width < 0) {
      contentProperties.Width = 0;
      narrowerThanBorder = true;
    }
  }
  TSize content = GetEditContentSize(ACanvas, AEditValue, contentProperties);
  content.cx = std::max(content.cx, extra.cx);
  content.cy = std::max(content.cy, extra.cy);
  return {narrowerThanBorder ? ASizeProperties.Width : border.cx + content.cx, border.cy + content.cy};
}
