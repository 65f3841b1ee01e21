// Edit buttons: widths, theme parts, faces in the six button styles and the themed look, and
// their ellipsis, arrow and glyph contents.
#include <functional>

#include "editors/qvEditPaintUtils.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

namespace {

TzmThemeClass ButtonThemeClass(const TqvEditButtonViewInfo* AButton) {
  return AButton->IsSingleDropDown ? totComboBox : totButton;
}

HTHEME ButtonTheme(const TqvEditButtonViewInfo* AButton) { return OpenTheme(ButtonThemeClass(AButton)); }

Integer GlyphMargin(TqvEditButtonStyle AStyle) {
  switch (AStyle) {
    case bts3D: return 4;
    case btsFlat:
    case btsSimple: return 3;
    case btsDefault:
    case btsHotFlat:
    case btsUltraFlat: break;
  }
  return 2;
}

// What goes inside a face: the button's content on the face colour.
using TContent = std::function<void(TColor ABackgroundColor, TColor AContentColor, const TRect& ARect)>;

bool IsPressed(const TqvEditButtonViewInfo* AButton) { return AButton->State == ebbsPressed; }
bool IsEnabled(const TqvEditButtonViewInfo* AButton) { return AButton->State != ebbsDisabled; }

// A one-pixel line from A to B, both included.
void DrawLine(TqvCanvas* ACanvas, TPoint A, TPoint B, TColor AColor) {
  const TPoint points[] = {A, B};
  DrawPolyline(ACanvas, points, true, AColor);
}

void DrawLeftLine(TqvCanvas* ACanvas, const TRect& R, TColor AColor) {
  DrawLine(ACanvas, {R.Left, R.Top}, {R.Left, R.Bottom - 1}, AColor);
}

// ---------------------------------------------------------------------------------------------
// Faces

TColor RaisedFaceColor(const TqvEditButtonViewInfo* B) {
  return IsEnabled(B) && B->Transparent ? B->BackgroundColor : clBtnFace;
}

void Draw3DFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TRect R, const TContent& AContent) {
  const TColor face = RaisedFaceColor(B);
  if (IsPressed(B)) {
    ACanvas->FrameRect(R, clBtnShadow);
    R = qvDeflatedRect(R, 1);
    ACanvas->FrameRect(R, face);
  } else {
    ACanvas->DrawComplexFrame(R, cl3DLight, cl3DDkShadow);
    R = qvDeflatedRect(R, 1);
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  }
  AContent(face, clBtnText, qvDeflatedRect(R, 1));
}

void DrawFlatFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TRect R, const TContent& AContent) {
  const TColor face = RaisedFaceColor(B);
  DrawLeftLine(ACanvas, R, face);
  ++R.Left;
  if (IsPressed(B)) ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  else ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  AContent(face, clBtnText, qvDeflatedRect(R, 1));
}

void DrawSimpleFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TRect R, bool AViewInfoTransparent,
                    const TContent& AContent) {
  const TColor face = IsEnabled(B) ? B->BackgroundColor : clBtnFace;
  if (!AViewInfoTransparent) ACanvas->FrameRect(R, face);
  R = qvDeflatedRect(R, 1);
  DrawLeftLine(ACanvas, R, AViewInfoTransparent && !B->Transparent ? clBtnFace : face);
  ++R.Left;
  AContent(B->Transparent ? face : clBtnFace, clBtnText, R);
}

void DrawHotFlatFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TRect R, const TContent& AContent) {
  TColor face, content;
  GetHotFlatButtonColors(B, face, content);
  // The button facing the text has a whole frame; the others leave out the side they share
  // with the neighbour that frames them.
  const bool facesText = B->LeftAlignment ? B->LastInGroup : B->FirstInGroup;
  if (facesText) {
    ACanvas->FrameRect(R, clBtnShadow);
  } else if (B->LeftAlignment) {
    ACanvas->FrameRect(R, clBtnShadow, 1, qvBorder(bTop) | qvBorder(bLeft) | qvBorder(bBottom));
    ++R.Right;
  } else {
    ACanvas->FrameRect(R, clBtnShadow, 1, qvBorder(bTop) | qvBorder(bRight) | qvBorder(bBottom));
    --R.Left;
  }
  AContent(face, content, qvDeflatedRect(R, 1));
}

void DrawUltraFlatFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TRect R, bool AViewInfoTransparent,
                       const TContent& AContent) {
  const TColor face = GetUltraFlatButtonFaceColor(B);
  if (!DrawUltraFlatButtonPlainFrame(ACanvas, B, R, AViewInfoTransparent)) {
    // The outer side of the outermost button blends into the editor's frame.
    const bool outermost = B->LeftAlignment ? B->FirstInGroup : B->LastInGroup;
    const TColor outer = outermost ? face : clHighlight;
    const Integer outerX = B->LeftAlignment ? R.Left : R.Right - 1;
    const Integer innerX = B->LeftAlignment ? R.Right - 1 : R.Left;
    DrawLine(ACanvas, {outerX, R.Top}, {outerX, R.Bottom - 1}, outer);
    DrawLine(ACanvas, {innerX, R.Top}, {innerX, R.Bottom - 1}, clHighlight);
    DrawLine(ACanvas, {R.Left + 1, R.Top}, {R.Right - 2, R.Top}, face);
    DrawLine(ACanvas, {R.Left + 1, R.Bottom - 1}, {R.Right - 2, R.Bottom - 1}, face);
    R = qvDeflatedRect(R, 1);
  }
  AContent(face, clBtnText, R);
}

void DrawThemedFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, const TContent& AContent) {
  HDC dc = ACanvas->GetHandle();
  if (B->IsSingleDropDown) {
    DrawThemeBackground(OpenTheme(totComboBox), dc, CP_DROPDOWNBUTTON, B->NativeState, &B->Bounds, nullptr);
    return;
  }
  HTHEME theme = OpenTheme(totButton);
  DrawThemeBackground(theme, dc, BP_PUSHBUTTON, B->NativeState, &B->Bounds, nullptr);
  TRect content = B->Bounds;
  GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, B->NativeState, &B->Bounds, &content);
  AContent(0, clBtnText, content);
}

// ---------------------------------------------------------------------------------------------
// Contents

// Embossed when disabled: the shape once in the highlight colour one pixel down and right,
// then in the shadow colour.
template <class TDraw>
void DrawShape(const TqvEditButtonViewInfo* B, TColor AContentColor, TDraw ADraw) {
  if (IsEnabled(B)) {
    ADraw(0, AContentColor);
  } else {
    ADraw(1, clBtnHighlight);
    ADraw(0, clBtnShadow);
  }
}

void DrawEllipsis(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TColor AContentColor, const TRect& R) {
  const Integer dot = R.Width() > 11 ? 2 : 1;
  const TPoint p = CalculateGlyphPosition(R, {3 * dot + 4, dot}, IsPressed(B));
  DrawShape(B, AContentColor, [&](Integer AShift, TColor AColor) {
    ACanvas->SetBrushColor(AColor);
    for (Integer i = 0; i < 3; ++i) {
      const Integer x = p.X + AShift + i * (dot + 2), y = p.Y + AShift;
      ACanvas->FillRect(Rect(x, y, x + dot, y + dot));
    }
  });
}

// The edges of a hot-flat button that it shares with a neighbour or the text: its width in
// the arrow's layout is one pixel less for each.
Integer SharedEdges(const TqvEditButtonViewInfo* B) { return B->Style == btsHotFlat && !B->IsNativePainted() ? 1 : 0; }

// Grows [ALow, AHigh) symmetrically by ADelta; an odd pixel goes low for a normal button and
// high for a pressed one.
void Widen(Integer& ALow, Integer& AHigh, Integer ADelta, bool APressed) {
  const Integer half = ADelta / 2, odd = ADelta - 2 * half;
  ALow -= half + (APressed ? 0 : odd);
  AHigh += half + (APressed ? odd : 0);
}

void DrawDownArrow(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TColor AContentColor, const TRect& R) {
  const bool pressed = IsPressed(B);
  TRect arrow = R;
  const Integer widthDelta = B->Bounds.Width() - SharedEdges(B) - R.Width();
  Widen(arrow.Left, arrow.Right, widthDelta, pressed);
  Integer heightDelta = 0;
  if (B->IsInplace) {
    heightDelta = B->Bounds.Height() - R.Height();
    Widen(arrow.Top, arrow.Bottom, heightDelta, pressed);
  }
  if (pressed) {
    if (widthDelta % 2 == 0) arrow = qvOffsetRect(arrow, 1, 0);
    if (heightDelta % 2 == 0) arrow = qvOffsetRect(arrow, 0, 1);
  }
  TqvLookAndFeelPainterClass painter = TqvStandardLookAndFeelPainter::Class();
  DrawShape(B, AContentColor, [&](Integer AShift, TColor AColor) {
    painter->DrawArrow(ACanvas, qvOffsetRect(arrow, AShift, AShift), arrowDown, AColor);
  });
}

void DrawGlyphContent(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B, TColor ABackgroundColor, const TRect& R,
                      HBRUSH ABrush) {
  const TSize size{std::min(B->Glyph->GetWidth(), R.Width()), std::min(B->Glyph->GetHeight(), R.Height())};
  const TPoint p = CalculateGlyphPosition(R, size, IsPressed(B));
  const TRect glyph{p.X, p.Y, std::min(p.X + size.cx, R.Right), std::min(p.Y + size.cy, R.Bottom)};
  if (!B->IsNativePainted()) {
    FillRectExcept(ACanvas, R, glyph, ABrush);
    DrawButtonGlyph(ACanvas, p.X, p.Y, nullptr, ABackgroundColor, IsEnabled(B), B->Glyph);
    return;
  }
  // The theme's face as it lies under the glyph.
  auto background = MakeOwned<TBitmap>();
  background->SetSize(glyph.Width(), glyph.Height());
  const TRect part = qvOffsetRect(B->Bounds, -glyph.Left, -glyph.Top);
  DrawThemeBackground(OpenTheme(totButton), background->GetCanvas()->GetHandle(), BP_PUSHBUTTON, B->NativeState, &part,
                      nullptr);
  DrawButtonGlyph(ACanvas, p.X, p.Y, background.get(), clNone, IsEnabled(B), B->Glyph);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void GetHotFlatButtonColors(const TqvEditButtonViewInfo* AButton, TColor& AFace, TColor& AContent) {
  AFace = clBtnFace;
  if (AButton->State == ebbsPressed) AFace = clBtnText;
  else if (AButton->State == ebbsHot) AFace = clBtnShadow;
  if (IsEnabled(AButton) && AButton->Transparent) AFace = AButton->BackgroundColor;
  AContent = clWindow;
  if (AButton->State == ebbsDisabled || AButton->State == ebbsNormal) AContent = clBtnText;
  else if (AButton->State == ebbsHot && AButton->Transparent) AContent = clBtnShadow;
}

TColor GetUltraFlatButtonFaceColor(const TqvEditButtonViewInfo* AButton) {
  if (AButton->State == ebbsDisabled) return clBtnFace;
  if (AButton->Transparent) return AButton->BackgroundColor;
  if (AButton->State == ebbsPressed) return GetUltraFlatPressedColor();
  if (AButton->State == ebbsHot) return GetUltraFlatHotColor();
  return clBtnFace;
}

bool DrawUltraFlatButtonPlainFrame(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, TRect& R,
                                   bool AViewInfoTransparent) {
  const bool active = AButton->State == ebbsPressed || AButton->State == ebbsHot;
  if (active && !AButton->IsInplace) return false;
  if (active) ACanvas->FrameRect(R, clHighlight);
  else if (!AViewInfoTransparent) ACanvas->FrameRect(R, AButton->BackgroundColor);
  R = qvDeflatedRect(R, 1);
  return true;
}

Integer GetEditButtonWidth(TqvCanvas*, TqvEditButtonViewInfo* AButton) {
  if (AButton->NativeStyle) AButton->NativeStyle = IsNativeThemeUsable(true, ButtonThemeClass(AButton));
  Integer margin = GlyphMargin(AButton->Style);
  if (AButton->NativeStyle) {
    const TRect margins = GetThemeContentMargins(ButtonThemeClass(AButton));
    margin = margins.Left + margins.Right;
  }
  if (AButton->Width > 0) return std::max(AButton->Width, margin);
  if (AButton->Kind == bkGlyph && IsGlyphAssigned(AButton->Glyph)) return AButton->Glyph->GetWidth() + margin;
  return GetSystemMetrics(SM_CYHSCROLL);
}

void CalculateEditButtonNativeInfo(TqvEditButtonViewInfo* AButton) {
  HTHEME theme = AButton->NativeStyle ? ButtonTheme(AButton) : nullptr;
  AButton->NativePart = theme ? 1 : 0;
  if (!theme) {
    AButton->NativeTransparent = false;
    AButton->NativeState = 0;
    return;
  }
  AButton->NativeState = EditButtonStateToThemeState(AButton->State);
  AButton->NativeTransparent =
      IsThemeBackgroundPartiallyTransparent(theme, AButton->NativePart, AButton->NativeState);
}

namespace {

void DrawFace(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, const TRect& ARect,
              TqvEditButtonStyle AButtonStyle, bool AViewInfoTransparent, const TContent& AContent) {
  if (AButton->IsNativePainted()) {
    DrawThemedFace(ACanvas, AButton, AContent);
    return;
  }
  switch (AButtonStyle) {
    case bts3D: Draw3DFace(ACanvas, AButton, ARect, AContent); break;
    case btsFlat: DrawFlatFace(ACanvas, AButton, ARect, AContent); break;
    case btsSimple: DrawSimpleFace(ACanvas, AButton, ARect, AViewInfoTransparent, AContent); break;
    case btsHotFlat: DrawHotFlatFace(ACanvas, AButton, ARect, AContent); break;
    case btsUltraFlat: DrawUltraFlatFace(ACanvas, AButton, ARect, AViewInfoTransparent, AContent); break;
    case btsDefault: break;
  }
}

}  // namespace

void DrawEditButtonBorder(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, const TRect& ARect,
                          TqvEditButtonStyle AButtonStyle, bool AViewInfoTransparent) {
  DrawFace(ACanvas, AButton, ARect, AButtonStyle, AViewInfoTransparent,
           [&](TColor ABackgroundColor, TColor AContentColor, const TRect& R) {
             DrawEditButtonContent(ACanvas, AButton, ABackgroundColor, AContentColor, R);
           });
}

void DrawEditButtonBorder(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                          const TRect& ARect, TqvEditButtonStyle AButtonStyle) {
  DrawFace(ACanvas, AViewInfo->GetButton(AButtonIndex), ARect, AButtonStyle, AViewInfo->Transparent,
           [&](TColor ABackgroundColor, TColor AContentColor, const TRect& R) {
             AViewInfo->DrawButtonContent(ACanvas, AButtonIndex, ABackgroundColor, AContentColor, R);
           });
}

void DrawEditButtonContent(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, TColor ABackgroundColor,
                           TColor AContentColor, const TRect& ARect) {
  if (ARect.IsEmpty()) return;
  HBRUSH brush = GetSolidBrush(ACanvas, ABackgroundColor);
  const bool hasGlyph = AButton->Kind == bkGlyph && IsGlyphAssigned(AButton->Glyph);
  if (!AButton->IsNativePainted() && !hasGlyph) FillRectWithBrush(ACanvas->GetHandle(), ARect, brush);
  switch (AButton->Kind) {
    case bkEllipsis: DrawEllipsis(ACanvas, AButton, AContentColor, ARect); break;
    case bkDown: DrawDownArrow(ACanvas, AButton, AContentColor, ARect); break;
    case bkGlyph:
      if (hasGlyph) DrawGlyphContent(ACanvas, AButton, ABackgroundColor, ARect, brush);
      break;
  }
}
