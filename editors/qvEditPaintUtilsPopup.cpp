// Drop-down windows: frame widths and extents, the system panel, the layout of the grip and the
// close button, painting, the window shape, and the popup view info's operations.
#include <algorithm>

#include "editors/qvEditPopupWindowViewInfo.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Theme.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvCustomEditPopupWindowViewInfo)

namespace {

constexpr Integer kShadowWidth = 3;

bool HasPanelSeparator(const TqvCustomEditPopupWindowViewInfo* V) {
  return V->NativeStyle || V->PopupBorderStyle == epbsSingle;
}

// The window's own rectangle (Bounds moved to 0, 0).
TRect LocalBounds(const TqvCustomEditPopupWindowViewInfo* V) {
  return Rect(0, 0, V->Bounds.Width(), V->Bounds.Height());
}

void FillSolid(TqvCanvas* ACanvas, const TRect& R, TColor AColor) {
  if (R.IsEmpty()) return;
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

// The height of a theme part of the Window or ScrollBar class (0 when it has none).
Integer ThemePartHeight(TzmThemeClass AClass, int APart) {
  SIZE size{};
  if (FAILED(GetThemePartSize(OpenTheme(AClass), nullptr, APart, 1, nullptr, TS_TRUE, &size))) return 0;
  return size.cy;
}

void CalculateSizeGrip(TqvCustomEditPopupWindowViewInfo* V) {
  Integer w = GetSystemMetrics(SM_CXVSCROLL) - 2, h = GetSystemMetrics(SM_CYHSCROLL) - 2;
  if (IsNativeThemeUsable(V->NativeStyle, totScrollBar)) {
    SIZE part{};
    GetThemePartSize(OpenTheme(totScrollBar), nullptr, SBP_SIZEBOX, 1, nullptr, TS_TRUE, &part);
    w = std::max<Integer>(w, part.cx + 2);
    h = std::max<Integer>(h, part.cy + 2);
  }
  const TRect r = SizeGripCornerRect(V->SizingInnerRect, {w, h}, V->SizeGripCorner);
  V->GripHitRect = r;
  // Two pixels in from the window's outer edges.
  V->SizeGripRect = qvOffsetRect(r, IsSizeGripAtRight(V->SizeGripCorner) ? -2 : 2,
                                 IsSizeGripAtBottom(V->SizeGripCorner) ? -2 : 2);
}

void CalculateCloseButton(TqvCustomEditPopupWindowViewInfo* V) {
  if (!V->HasCloseButton) {
    V->CloseButtonRect = TRect{};
    return;
  }
  const bool themed = V->CloseButtonNativeState != 0;
  TSize size;
  if (themed) {
    SIZE part{};
    GetThemePartSize(OpenTheme(totWindow), nullptr, WP_CLOSEBUTTON, 1, nullptr, TS_TRUE, &part);
    size = {part.cx, part.cy};
  } else {
    const Integer side = GetSystemMetrics(SM_CYHSCROLL) - 4;
    size = {side, side};
  }
  const bool gripRight = IsSizeGripAtRight(V->SizeGripCorner), gripBottom = IsSizeGripAtBottom(V->SizeGripCorner);
  TRect r = V->SizingInnerRect;
  if (!themed) {
    if (gripRight) r.Left += 2;
    else r.Right -= 2;
  }
  // The button sits on the side away from the grip.
  const Integer left = gripRight ? r.Left + 1 : r.Right - 1 - size.cx;
  Integer top;
  if (themed) {
    const Integer centred = (V->SysPanelHeight - size.cy) / 2;
    top = gripBottom ? r.Bottom - V->SysPanelHeight + centred : r.Top + centred;
  } else {
    top = gripBottom ? r.Bottom - 2 - size.cy : r.Top + 2;
  }
  V->CloseButtonRect = Bounds(left, top, size.cx, size.cy);
}

}  // namespace

bool IsSizeGripAtRight(TqvSizeGripCorner ACorner) { return ACorner == sgcTopRight || ACorner == sgcBottomRight; }
bool IsSizeGripAtBottom(TqvSizeGripCorner ACorner) { return ACorner == sgcBottomLeft || ACorner == sgcBottomRight; }

TRect SizeGripCornerRect(const TRect& ARect, const TSize& ASize, TqvSizeGripCorner ACorner) {
  TRect r = ARect;
  if (IsSizeGripAtRight(ACorner)) r.Left = r.Right - ASize.cx;
  else r.Right = r.Left + ASize.cx;
  if (IsSizeGripAtBottom(ACorner)) r.Top = r.Bottom - ASize.cy;
  else r.Bottom = r.Top + ASize.cy;
  return r;
}

// ---------------------------------------------------------------------------------------------
// Widths and extents

Integer GetPopupBorderWidth(const TqvCustomEditPopupWindowViewInfo* AViewInfo, bool AWithClientEdge) {
  Integer width = 0;
  if (AViewInfo->NativeStyle) {
    width = 1;
  } else {
    switch (AViewInfo->PopupBorderStyle) {
      case epbsDefault: width = 0; break;
      case epbsSingle: width = 1; break;
      case epbsFrame3D: width = 4; break;
      case epbsFlat: width = 2; break;
    }
  }
  if (AWithClientEdge && AViewInfo->ClientEdge) width += GetPopupClientEdgeWidth(AViewInfo);
  return width;
}

Integer GetPopupClientEdgeWidth(const TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  if (!AViewInfo->ClientEdge) return 0;
  if (AViewInfo->NativeStyle) return 2;
  switch (AViewInfo->PopupBorderStyle) {
    case epbsDefault: return 0;
    case epbsSingle:
    case epbsFrame3D: return 2;
    case epbsFlat: return 1;
  }
  return 0;
}

Integer GetPopupSysPanelHeight(const TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  Integer height = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  if (AViewInfo->SysPanelStyle && IsNativeThemeUsable(AViewInfo->NativeStyle, totWindow)) {
    height = std::max(height, ThemePartHeight(totWindow, WP_CLOSEBUTTON));
    height = std::max(height, ThemePartHeight(totScrollBar, SBP_SIZEBOX));
  }
  return height;
}

TRect GetPopupBorderExtent(TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  const Integer width = GetPopupBorderWidth(AViewInfo, true);
  TRect r{width, width, width, width};
  if (AViewInfo->Shadow) {
    r.Right += kShadowWidth;
    r.Bottom += kShadowWidth;
  }
  if (AViewInfo->SysPanelStyle) {
    AViewInfo->SysPanelHeight = AViewInfo->GetSysPanelHeight();
    const Integer panel = AViewInfo->SysPanelHeight + (HasPanelSeparator(AViewInfo) ? 1 : 0);
    if (IsSizeGripAtBottom(AViewInfo->SizeGripCorner)) r.Bottom += panel;
    else r.Top += panel;
  } else {
    AViewInfo->SysPanelHeight = 0;
  }
  AViewInfo->SizingBandWidth = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  return r;
}

// ---------------------------------------------------------------------------------------------
// Layout

void CalculatePopupWindowLayout(TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  TqvCustomEditPopupWindowViewInfo* V = AViewInfo;
  const TRect local = LocalBounds(V);
  TRect extent;
  V->GetBorderExtent(extent);
  V->ClientRect = {local.Left + extent.Left, local.Top + extent.Top, local.Right - extent.Right,
                   local.Bottom - extent.Bottom};
  // Presses on the frame resize (the client edge is inside the sizing area, so the grip stays
  // clear of it); the system panel lies inside too, its grip has a hit rectangle of its own.
  V->SizingInnerRect = qvDeflatedRect(local, GetPopupBorderWidth(V, false));
  if (V->Shadow) {
    V->SizingInnerRect.Right -= kShadowWidth;
    V->SizingInnerRect.Bottom -= kShadowWidth;
  }
  V->CloseButtonNativeState =
      V->SysPanelStyle && IsNativeThemeUsable(V->NativeStyle, totWindow) ? Integer(V->CloseButtonState) : 0;
  V->GripHitRect = V->SizeGripRect = TRect{};
  V->CloseButtonRect = TRect{};
  if (!V->SysPanelStyle) return;
  if (V->Sizeable) CalculateSizeGrip(V);
  CalculateCloseButton(V);
}

// ---------------------------------------------------------------------------------------------
// Painting

void DrawPopupBorder(TqvCanvas* ACanvas, const TqvCustomEditPopupWindowViewInfo* AViewInfo, TRect& R) {
  const TqvCustomEditPopupWindowViewInfo* V = AViewInfo;
  if (V->NativeStyle || V->PopupBorderStyle == epbsSingle) {
    ACanvas->FrameRect(R, clBtnText);
  } else if (V->PopupBorderStyle == epbsFrame3D || V->PopupBorderStyle == epbsFlat) {
    ACanvas->DrawEdge(R, false, true);
    R = qvDeflatedRect(R, 1);
    ACanvas->DrawEdge(R, false, false);
    if (V->PopupBorderStyle == epbsFrame3D) {
      R = qvDeflatedRect(R, 1);
      ACanvas->FrameRect(R, V->ClientEdge ? clInactiveBorder : clBtnFace);
      R = qvDeflatedRect(R, 1);
      if (V->ClientEdge) ACanvas->FrameRect(R, clBtnFace);
      else ACanvas->DrawEdge(R, true, true);
    }
  }
  R = qvDeflatedRect(R, 1);
}

void DrawPopupEditPopupBorder(TqvCanvas* ACanvas, const TqvCustomEditPopupWindowViewInfo* AViewInfo, TRect& R) {
  if (AViewInfo->NativeStyle || AViewInfo->PopupBorderStyle != epbsFrame3D) {
    DrawPopupBorder(ACanvas, AViewInfo, R);
    return;
  }
  ACanvas->DrawEdge(R, false, true);
  R = qvDeflatedRect(R, 1);
  ACanvas->DrawEdge(R, false, false);
  R = qvDeflatedRect(R, 1);
  ACanvas->FrameRect(R, clInactiveBorder);
  R = qvDeflatedRect(R, 1);
  ACanvas->FrameRect(R, clBtnFace);
  R = qvDeflatedRect(R, 1);
}

void DrawPopupCloseButton(TqvCanvas* ACanvas, TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  TqvCustomEditPopupWindowViewInfo* V = AViewInfo;
  if (V->CloseButtonNativeState != 0) {
    V->CloseButtonNativeState = Integer(V->CloseButtonState);
    HTHEME theme = OpenTheme(totWindow);
    if (IsThemeBackgroundPartiallyTransparent(theme, WP_CLOSEBUTTON, V->CloseButtonNativeState))
      FillSolid(ACanvas, V->CloseButtonRect, clBtnFace);
    DrawThemeBackground(theme, ACanvas->GetHandle(), WP_CLOSEBUTTON, V->CloseButtonNativeState, &V->CloseButtonRect,
                        nullptr);
    ACanvas->ExcludeClipRect(V->CloseButtonRect);
    return;
  }
  GetEditPainterClass(V->NativeStyle, V->CloseButtonFrameKind)
      ->DrawFilterCloseButton(ACanvas, V->CloseButtonRect, V->CloseButtonState);
}

void PaintEditPopupWindow(TqvCanvas* ACanvas, TqvCustomEditPopupWindowViewInfo* AViewInfo) {
  TqvCustomEditPopupWindowViewInfo* V = AViewInfo;
  TCanvasSavedDCScope saved(ACanvas->GetCanvas());
  TRect r = LocalBounds(V);
  if (V->Shadow) {
    r.Right -= kShadowWidth;
    r.Bottom -= kShadowWidth;
    DrawContainerShadow(ACanvas, r);
  }
  V->DrawBorder(ACanvas, r);
  const bool gripBottom = IsSizeGripAtBottom(V->SizeGripCorner);
  if (V->SysPanelStyle && (V->PopupBorderStyle == epbsSingle || V->CloseButtonNativeState != 0)) {
    const Integer edge = V->ClientEdge ? GetPopupClientEdgeWidth(V) : 0;
    const TRect client{V->ClientRect.Left - edge, V->ClientRect.Top - edge, V->ClientRect.Right + edge,
                       V->ClientRect.Bottom + edge};
    const Integer y = gripBottom ? client.Bottom : client.Top - 1;
    FillSolid(ACanvas, Rect(client.Left, y, client.Right, y + 1), clBtnText);
  }
  const Integer panel = V->SysPanelStyle ? V->SysPanelHeight + (HasPanelSeparator(V) ? 1 : 0) : 0;
  if (V->ClientEdge) {
    TRect e = r;
    if (gripBottom) e.Bottom -= panel;
    else e.Top += panel;
    ACanvas->DrawEdge(e, true, true);
    if (V->NativeStyle || V->PopupBorderStyle != epbsFlat) ACanvas->DrawEdge(qvDeflatedRect(e, 1), true, false);
  }
  if (V->SysPanelStyle) {
    if (V->Sizeable) {
      DrawSizeGrip(ACanvas, V->SizeGripRect, V->SizeGripCorner, false, V->NativeStyle);
      ACanvas->ExcludeClipRect(V->SizeGripRect);
    }
    if (!V->CloseButtonRect.IsEmpty()) {
      DrawPopupCloseButton(ACanvas, V);
      ACanvas->ExcludeClipRect(V->CloseButtonRect);
    }
  }
  FillSolid(ACanvas, V->ClientRect, clBtnFace);
  if (V->SysPanelHeight > 0 && V->SysPanelStyle) {
    const TRect strip = gripBottom ? Rect(r.Left, r.Bottom - V->SysPanelHeight, r.Right, r.Bottom)
                                   : Rect(r.Left, r.Top, r.Right, r.Top + V->SysPanelHeight);
    FillSolid(ACanvas, strip, clBtnFace);
  }
}

void SetPopupWindowRegion(const TqvCustomEditPopupWindowViewInfo* AViewInfo, HWND AWindowHandle,
                          const TRect* AOwnerBounds) {
  TRect r = LocalBounds(AViewInfo);
  TRect excluded;
  const TRect* exclude = nullptr;
  if (!AViewInfo->NativeStyle && AViewInfo->Shadow) {
    r.Right -= kShadowWidth;
    r.Bottom -= kShadowWidth;
    // Opened above the editor: the bottom shadow band stays off the editor.
    if (AOwnerBounds && !IsSizeGripAtBottom(AViewInfo->SizeGripCorner)) {
      excluded = *AOwnerBounds;
      excluded.Right -= kShadowWidth;
      exclude = &excluded;
    }
  }
  SetContainerWindowRegion(AWindowHandle, r, AViewInfo->NativeStyle, AViewInfo->Shadow, exclude);
}

// ---------------------------------------------------------------------------------------------
// The popup view info

void TqvCustomEditPopupWindowViewInfo::Calculate() { CalculatePopupWindowLayout(this); }

void TqvCustomEditPopupWindowViewInfo::DrawBorder(TqvCanvas* ACanvas, TRect& R) { DrawPopupBorder(ACanvas, this, R); }

void TqvCustomEditPopupWindowViewInfo::GetBorderExtent(TRect& R) { R = GetPopupBorderExtent(this); }

void TqvCustomEditPopupWindowViewInfo::GetClientExtent(TRect& R) { GetBorderExtent(R); }

Integer TqvCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  const Integer height = GetPopupSysPanelHeight(this);
  return ReservedSysPanelHeight > 0 ? std::max(height, ReservedSysPanelHeight) : height;
}

bool TqvCustomEditPopupWindowViewInfo::GetSizingDirection(Integer X, Integer Y, Integer& AHorz,
                                                          Integer& AVert) const {
  AHorz = AVert = 0;
  if (!Sizeable) return false;
  const TRect local = LocalBounds(this);
  const TPoint p{X, Y};
  if (!local.Contains(p)) return false;
  const bool onGrip = GripHitRect.Contains(p);
  if (SizingInnerRect.Contains(p) && !onGrip) return false;
  const bool right = IsSizeGripAtRight(SizeGripCorner), bottom = IsSizeGripAtBottom(SizeGripCorner);
  if (onGrip) {
    AHorz = right ? 1 : -1;
    AVert = bottom ? 1 : -1;
    return true;
  }
  if (!right && X < SizingBandWidth) AHorz = -1;
  else if (right && X >= local.Right - SizingBandWidth) AHorz = 1;
  if (!bottom && Y < SizingBandWidth) AVert = -1;
  else if (bottom && Y >= local.Bottom - SizingBandWidth) AVert = 1;
  return true;
}

void TqvCustomEditPopupWindowViewInfo::Paint(TqvCanvas* ACanvas) { PaintEditPopupWindow(ACanvas, this); }
