// Painting and measuring editors from their view data and view info: the frame, background and
// buttons, the border rectangles and colours, and the metrics the view data lays out with.
#include "editors/qvEditPaintUtils.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Windows.h"

#include <optional>

namespace {

constexpr Integer ShadowSize = 3;

bool HasEdge(TqvBorders AEdges, TqvBorder AEdge) { return (AEdges & qvBorder(AEdge)) != 0; }

bool IsEditThemeUsable(const TqvCustomEditViewData* AViewData) {
  return IsNativeThemeUsable(AViewData->NativeStyle, totEdit);
}

// Grows R by AWidth on the sides in AEdges.
void InflateOnEdges(TRect& R, Integer AWidth, TqvBorders AEdges) {
  if (HasEdge(AEdges, bLeft)) R.Left -= AWidth;
  if (HasEdge(AEdges, bTop)) R.Top -= AWidth;
  if (HasEdge(AEdges, bRight)) R.Right += AWidth;
  if (HasEdge(AEdges, bBottom)) R.Bottom += AWidth;
}

void ExcludeRect(HDC ADC, const TRect& R) { ExcludeClipRect(ADC, R.Left, R.Top, R.Right, R.Bottom); }

void DrawClassicFrame(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo) {
  const TqvEditBorderStyle style = AViewInfo->GetEditBorderStyle();
  const Integer width = GetEditBorderWidth(style);
  const TqvBorders edges = AViewInfo->Edges;
  TRect r = AViewInfo->BorderRect;
  r.Left -= width;
  r.Top -= width;
  if (HasEdge(edges, bRight)) r.Right += width;
  if (HasEdge(edges, bBottom)) r.Bottom += width;
  if (AViewInfo->Shadow) DrawContainerShadow(ACanvas, r);
  if (!HasEdge(edges, bRight)) r.Right += width;
  if (!HasEdge(edges, bBottom)) r.Bottom += width;
  switch (style) {
    case ebsSingle:
    case ebsThick: ACanvas->FrameRect(r, AViewInfo->BorderColor, width); break;
    case ebsFlat:
      ACanvas->DrawEdge(r, true, true, edges);
      ACanvas->FrameRect(qvDeflatedRect(r, 1), clBtnFace);
      break;
    case ebs3D:
      ACanvas->DrawEdge(r, true, true, edges);
      ACanvas->DrawComplexFrame(qvDeflatedRect(r, 1), cl3DDkShadow, cl3DLight, edges);
      break;
    case ebsNone:
    case ebsUltraFlat: break;
  }
}

// In place the bounds, or only the content-offset margins around BorderRect.
void FillInplaceBackground(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, HBRUSH ABrush,
                           bool ADrawBackground) {
  if (ADrawBackground)
    FillRectWithBrush(ACanvas->GetHandle(), AViewInfo->Bounds, ABrush);
  else if (AViewInfo->HasContentOffsets)
    FillRectExcept(ACanvas, AViewInfo->Bounds, AViewInfo->BorderRect, ABrush);
}

void DrawClassicFrameAndBackground(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, HBRUSH ABrush,
                                   bool ADrawBackground) {
  DrawClassicFrame(ACanvas, AViewInfo);
  if (AViewInfo->Transparent) return;
  if (AViewInfo->IsInplace)
    FillInplaceBackground(ACanvas, AViewInfo, ABrush, ADrawBackground);
  else if (ADrawBackground)
    FillRectWithBrush(ACanvas->GetHandle(), AViewInfo->BorderRect, ABrush);
}

TRect NativeInnerRect(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, HTHEME ATheme,
                      TqvEditNativeFrameKind AKind) {
  switch (AKind) {
    case enfkComboBox: {
      TRect r = qvDeflatedRect(AViewInfo->Bounds, 3);
      r.Right = AViewInfo->ClientRect.Right - 1;
      return r;
    }
    case enfkClient: return AViewInfo->ClientRect;
    case enfkThemeContent: break;
  }
  TRect content = AViewInfo->Bounds;
  GetThemeBackgroundContentRect(ATheme, ACanvas->GetHandle(), EP_EDITTEXT, AViewInfo->GetNativeState(),
                                &AViewInfo->Bounds, &content);
  return content;
}

void DrawNativeFrameAndBackground(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, HBRUSH ABrush,
                                  bool ADrawBackground, TqvEditNativeFrameKind ANativeFrameKind) {
  if (AViewInfo->IsInplace) {
    if (!AViewInfo->Transparent) FillRectWithBrush(ACanvas->GetHandle(), AViewInfo->Bounds, ABrush);
    return;
  }
  HTHEME theme = OpenTheme(totEdit);
  TRect inner = NativeInnerRect(ACanvas, AViewInfo, theme, ANativeFrameKind);
  {
    TCanvasSavedDCScope saved(ACanvas->GetCanvas());
    ExcludeRect(ACanvas->GetHandle(), inner);
    DrawThemeBackground(theme, ACanvas->GetHandle(), EP_EDITTEXT, AViewInfo->GetNativeState(), &AViewInfo->Bounds,
                        nullptr);
  }
  if (AViewInfo->Transparent) return;
  if (!ADrawBackground && ANativeFrameKind != enfkClient) {
    FillRectExcept(ACanvas, inner, AViewInfo->BorderRect, ABrush);
    inner = AViewInfo->BorderRect;
  }
  FillRectWithBrush(ACanvas->GetHandle(), inner, ABrush);
}

bool RectLiesWithin(const TRect& AInner, const TRect& AOuter) {
  return AInner.Left >= AOuter.Left && AInner.Top >= AOuter.Top && AInner.Right <= AOuter.Right &&
         AInner.Bottom <= AOuter.Bottom;
}

void DrawButtons(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo) {
  for (Integer i = 0; i < AViewInfo->GetButtonCount(); ++i) {
    TqvEditButtonViewInfo* button = AViewInfo->GetButton(i);
    if (button->VisibleBounds.IsEmpty()) continue;
    button->BackgroundColor = AViewInfo->BackgroundColor;
    if (RectLiesWithin(button->Bounds, AViewInfo->BorderRect)) {
      AViewInfo->DrawButton(ACanvas, i);
      continue;
    }
    TCanvasSavedDCScope saved(ACanvas->GetCanvas());
    ACanvas->IntersectClipRect(button->VisibleBounds);
    AViewInfo->DrawButton(ACanvas, i);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Borders and colours

Integer GetEditNativeState(const TqvCustomEditViewData* AViewData) {
  if (!AViewData->Enabled) return ETS_DISABLED;
  if (AViewData->Properties->GetReadOnly()) return ETS_READONLY;
  if (AViewData->Focused) return ETS_FOCUSED;
  if (AViewData->ContainerState & cstBit(cstHot)) return ETS_HOT;
  return ETS_NORMAL;
}

bool CalculateEditViewInfoBorders(TqvCustomEditViewData* AViewData, TqvCustomEditViewInfo* AViewInfo) {
  AViewInfo->NativeStyle = AViewData->NativeStyle;
  AViewInfo->ThemeState = AViewData->NativeStyle ? GetEditNativeState(AViewData) : 0;
  AViewData->GetBorderExtent(AViewInfo->BorderExtent);
  AViewInfo->ClientRect = AViewInfo->Bounds;
  DeflateRectBy(AViewInfo->ClientRect, AViewInfo->BorderExtent);
  AViewInfo->BorderRect = AViewInfo->Bounds;
  DeflateRectBy(AViewInfo->BorderRect, GetEditBorderExtent(AViewData));
  if (!AViewData->IsInplace) {
    TqvCustomEditStyle* style = AViewData->Style;
    if (style->GetBorderStyle() == ebsUltraFlat) {
      const bool highlighted = AViewData->Focused ||
                               ((AViewData->ContainerState & cstBit(cstHot)) && style->GetHotTrack()) ||
                               (AViewData->IsDesigning && AViewData->Enabled);
      AViewInfo->BorderColor = highlighted ? clHighlight : clBtnShadow;
    } else
      AViewInfo->BorderColor = style->GetBorderColor();
  }
  TColor background = clWindow, text = clWindowText;
  GetEditColors(AViewData, AViewInfo, background, text);
  AViewInfo->BackgroundColor = background;
  AViewInfo->TextColor = text;
  const TRect& offset = AViewData->ContentOffset;
  AViewInfo->HasContentOffsets = offset.Left != 0 || offset.Top != 0 || offset.Right != 0 || offset.Bottom != 0;
  return AViewInfo->HasContentOffsets;
}

void GetEditColors(const TqvCustomEditViewData* AViewData, const TqvCustomEditViewInfo* AViewInfo,
                   TColor& ABackgroundColor, TColor& ATextColor) {
  TqvCustomEditStyle* style = AViewData->Style;
  if (!AViewData->Enabled)
    ATextColor = clBtnShadow;
  else if (AViewData->IsInplace || style->GetIsInplace())
    ATextColor = style->GetTextColor();
  else
    ATextColor = style->GetFont()->GetColor();
  if (AViewData->Enabled) {
    ABackgroundColor = style->GetColor();
    return;
  }
  COLORREF fill = 0;
  if (AViewInfo->GetNativeState() != 0 &&
      SUCCEEDED(GetThemeColor(OpenTheme(totEdit), EP_EDITTEXT, AViewInfo->GetNativeState(), TMT_FILLCOLOR, &fill)))
    ABackgroundColor = TColor(fill);
  else
    ABackgroundColor = clBtnFace;
}

// ---------------------------------------------------------------------------------------------
// Painting

void DrawEditViewInfo(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, bool ADrawBackground,
                      TqvEditNativeFrameKind ANativeFrameKind) {
  HBRUSH brush = GetSolidBrush(ACanvas, AViewInfo->BackgroundColor);
  HDC dc = ACanvas->GetHandle();
  const bool clipButtons = AViewInfo->GetButtonCount() > 0 && !AViewInfo->GetButton(0)->NativeTransparent;
  {
    std::optional<TCanvasSavedDCScope> saved;
    if (clipButtons) {
      saved.emplace(ACanvas->GetCanvas());
      for (const auto& button : AViewInfo->ButtonsInfo) ExcludeRect(dc, button->VisibleBounds);
    }
    if (AViewInfo->NativeStyle)
      DrawNativeFrameAndBackground(ACanvas, AViewInfo, brush, ADrawBackground, ANativeFrameKind);
    else
      DrawClassicFrameAndBackground(ACanvas, AViewInfo, brush, ADrawBackground);
  }
  DrawButtons(ACanvas, AViewInfo);
}

void DrawEditButton(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex) {
  const TqvEditButtonViewInfo* button = AViewInfo->GetButton(AButtonIndex);
  TqvEditButtonStyle style = button->Style;
  if (!button->IsNativePainted() && (button->State == ebbsPressed || button->State == ebbsHot) &&
      style == btsSimple)
    style = btsFlat;
  AViewInfo->DrawButtonBorder(ACanvas, AButtonIndex, button->Bounds, style);
}

void CalculateSpinEditButtonsNativeInfo(const TqvCustomEditViewData* AViewData, TqvCustomEditViewInfo* AViewInfo) {
  HTHEME theme = AViewInfo->GetButtonCount() > 0 && IsNativeThemeUsable(AViewData->NativeStyle, totSpin)
                     ? OpenTheme(totSpin)
                     : nullptr;
  for (auto& button : AViewInfo->ButtonsInfo) {
    if (!theme) {
      button->NativeState = 0;
      continue;
    }
    button->NativeState = EditButtonStateToThemeState(button->State);
    button->NativeTransparent =
        IsThemeBackgroundPartiallyTransparent(theme, button->NativePart, button->NativeState);
  }
}

void SetEditWindowRegion(const TqvCustomEditViewInfo* AViewInfo, HWND AWindowHandle) {
  TRect r = AViewInfo->BorderRect;
  InflateOnEdges(r, GetEditBorderWidth(AViewInfo->GetEditBorderStyle()), AViewInfo->Edges);
  SetContainerWindowRegion(AWindowHandle, r, AViewInfo->NativeStyle, AViewInfo->Shadow, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Metrics

TRect GetEditBorderExtent(const TqvCustomEditViewData* AViewData) {
  if (AViewData->IsInplace) return AViewData->ContentOffset;
  TqvCustomEditStyle* style = AViewData->Style;
  const bool themed = IsEditThemeUsable(AViewData);
  const Integer width = style->GetTransparentBorder() || style->GetHotTrack() || themed
                            ? 2
                            : GetEditBorderWidth(AViewData->GetBorderStyle(ehsNoHotTrack));
  TRect r{width, width, width, width};
  if (!themed && style->GetShadow()) {
    r.Right += ShadowSize;
    r.Bottom += ShadowSize;
  }
  return r;
}

TRect GetEditContentMargins(TqvCanvas*, const TqvCustomEditViewData* AViewData) {
  if (AViewData->IsInplace) return AViewData->ContentOffset;
  if (IsEditThemeUsable(AViewData)) return GetThemeContentMargins(totEdit);
  return GetEditBorderExtent(AViewData);
}

Integer GetEditButtonExtraHeight(TqvCanvas*, const TqvCustomEditViewInfo* AViewInfo) {
  if (AViewInfo->GetButtonCount() == 0) return 0;
  const TqvEditButtonViewInfo* first = AViewInfo->GetButton(0);
  if (first->IsNativePainted()) {
    const TRect margins = GetThemeContentMargins(first->IsSingleDropDown ? totComboBox : totButton);
    return margins.Top + margins.Bottom;
  }
  switch (first->Style) {
    case btsDefault: return 0;
    case bts3D: return 4;
    case btsFlat:
    case btsSimple:
    case btsHotFlat:
    case btsUltraFlat: break;
  }
  return 2;
}

TRect GetEditHotArea(const TqvCustomEditViewInfo* AViewInfo, const TRect& ABounds) {
  TRect r = ABounds;
  const bool themed = AViewInfo->GetNativeState() != 0;
  if (AViewInfo->IsInplace || !themed) DeflateRectBy(r, AViewInfo->BorderExtent);
  if (!themed) InflateOnEdges(r, GetEditBorderWidth(AViewInfo->GetEditBorderStyle()), AViewInfo->Edges);
  return r;
}

bool HasEditShadow(const TqvCustomEditViewData* AViewData) {
  return !AViewData->IsInplace && AViewData->Style->GetShadow() && !IsEditThemeUsable(AViewData);
}

TRect GetEditPopupAlignRect(const TqvCustomEditViewInfo* AViewInfo) {
  TRect r = AViewInfo->Bounds;
  if (AViewInfo->GetNativeState() != 0) return r;
  if (AViewInfo->Shadow) r.Bottom -= ShadowSize;
  if (AViewInfo->IsInplace) return r;
  const Integer width = GetEditBorderWidth(AViewInfo->GetEditBorderStyle());
  r = qvDeflatedRect(r, 2 - width);
  InflateOnEdges(r, -width, qvAllBorders & ~AViewInfo->Edges);
  return r;
}

TPoint GetEditTextOffsets(const TqvCustomEditViewData* AViewData) {
  if (!AViewData->IsInplace) return {3, 4};
  const bool themed = IsNativeThemeUsable(AViewData->Style->GetLookAndFeel()->GetNativeStyle(), totEdit);
  return {3, themed ? 3 : 2};
}

TSize CalculateEditTextSize(TqvCanvas* ACanvas, const TqvCustomEditViewData* AViewData, const String& AText,
                            bool AAddOffsetX, const TqvEditSizeProperties& ASizeProperties,
                            TqvTextLayoutFlags AFlags) {
  const bool listStyle = AViewData->MeasuresAsList();
  // An in-place style whose grid has not lent it a font measures in the canvas's font.
  if (TFont* font = AViewData->Style->GetFont()) ACanvas->SetFont(font);
  const TPoint offsets = GetEditTextOffsets(AViewData);
  const Integer rowHeight = ACanvas->TextHeight("Zg");
  const Integer maxLines = ASizeProperties.MaxLineCount;
  TSize size{};
  if (ASizeProperties.Width < 0) {
    if (AFlags & tlSingleLine) {
      if (!AText.empty()) {
        TRect r{0, 0, qvUnboundedExtent, 0};
        ACanvas->CalcTextRect(AText, r, TextLayoutFlagsToCanvasFlags(AFlags));
        size.cx = r.Width();
      }
    } else {
      const TqvTextLayoutParams params = CalcTextLayoutParams(ACanvas, AFlags | tlCalcRect);
      TqvTextRows rows;
      Integer count = 0;
      LayoutTextRows(ACanvas, AText, Rect(0, 0, qvUnboundedExtent, qvUnboundedExtent), 0, count, rows, params);
      if (maxLines > 0 && maxLines < count) count = maxLines;
      size.cx = GetTextRowsMaxWidth(rows, count);
    }
    size.cy = rowHeight;
    if (listStyle) ++size.cx;
    if (AAddOffsetX) size.cx += offsets.X;
  } else {
    const Integer contentWidth = ASizeProperties.Width - (AViewData->IsInplace ? 2 : 0) - (listStyle ? 1 : 0);
    const Integer emptyHeight = (AViewData->PaintOptions & epoMeasuringHeight) && AText.empty() ? 0 : rowHeight;
    if (contentWidth <= 0 || AText.empty()) {
      size = {contentWidth <= 0 ? 0 : ASizeProperties.Width, emptyHeight};
    } else {
      TqvTextLayoutFlags flags = (AFlags | tlReturnRowCount) & ~tlVertMask;
      if (flags & tlSingleLine) flags = (flags & ~tlSingleLine) | tlWordBreak | tlWholeRowsOnly;
      const TqvTextLayoutParams params = CalcTextLayoutParams(ACanvas, flags);
      TqvTextRows rows;
      Integer count = 0;
      LayoutTextRows(ACanvas, AText, Rect(0, 0, contentWidth, qvUnboundedExtent), maxLines, count, rows, params);
      if (maxLines > 0 && maxLines < count) count = maxLines;
      size = {ASizeProperties.Width, rowHeight * count};
    }
  }
  if (size.cy > 0) size.cy += offsets.Y;
  return size;
}
