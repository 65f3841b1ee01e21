// The spin editor's buttons: their faces by frame kind (neighbouring hot-flat and ultra-flat
// buttons share their lines) and their arrows.
#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "platform/os/Theme.h"

namespace {

void Line(TqvCanvas* ACanvas, TPoint A, TPoint B, TColor AColor) {
  const TPoint points[] = {A, B};
  DrawPolyline(ACanvas, points, true, AColor);
}

// The hot-flat frame kind of a button by its index, the button count and the position.
Integer HotFlatKind(Integer AIndex, Integer ACount, TqvSpinEditButtonsPosition APosition) {
  const bool four = ACount == 4;
  if (AIndex >= 2) return APosition == sbpHorzLeftRight ? (AIndex == 2 ? 0 : 2) : (AIndex == 2 ? 3 : 2);
  switch (APosition) {
    case sbpHorzLeftRight: return AIndex == 0 ? 1 : 3;
    case sbpHorzRight: return four ? 2 : (AIndex == 0 ? 3 : 2);
    case sbpVert: return four ? (AIndex == 0 ? 5 : 4) : (AIndex == 0 ? 7 : 6);
  }
  return 1;
}

Integer UltraFlatKind(Integer AIndex, Integer ACount, TqvSpinEditButtonsPosition APosition) {
  const bool four = ACount == 4;
  switch (AIndex) {
    case 0:
      if (APosition == sbpVert) return four ? 4 : 6;
      return !four && APosition == sbpHorzLeftRight ? 0 : 1;
    case 1: return APosition == sbpHorzLeftRight ? 0 : 1;
    case 2: return 2;
    default:
      if (APosition == sbpVert) return four ? 3 : 5;
      return four ? 1 : 2;
  }
}

// Lines in clBtnShadow on the kind's sides; a side left out is the neighbour's, and R grows
// over it so that the two buttons share one line.
void DrawHotFlatFrame(TqvCanvas* ACanvas, TRect& R, Integer AKind) {
  const TqvBorders left = qvBorder(bLeft), top = qvBorder(bTop), right = qvBorder(bRight), bottom = qvBorder(bBottom);
  switch (AKind) {
    case 0:
      ACanvas->FrameRect(R, clBtnShadow, 1, bottom | left | top);
      ++R.Right;
      break;
    case 2:
    case 4:
      ACanvas->FrameRect(R, clBtnShadow, 1, top | right | bottom);
      --R.Left;
      break;
    case 5:
      ACanvas->FrameRect(R, clBtnShadow, 1, bottom | right);
      --R.Left;
      --R.Top;
      break;
    case 7:
      ACanvas->FrameRect(R, clBtnShadow, 1, left | bottom | right);
      --R.Top;
      break;
    default: ACanvas->FrameRect(R, clBtnShadow); break;
  }
  R = qvDeflatedRect(R, 1);
}

// A pressed or hot standalone ultra-flat button: the lines it shares are in the face colour C,
// the others in the highlight colour.
void DrawActiveUltraFlatFrame(TqvCanvas* ACanvas, const TqvCustomEditViewInfo* AViewInfo, TRect& R, Integer AKind,
                              TColor C) {
  const Integer l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
  const bool atClientLeft = R.Left == AViewInfo->ClientRect.Left;
  switch (AKind) {
    case 0:
    case 1:
    case 2: {
      TColor leftColor = clHighlight, rightColor = clHighlight;
      if (AKind == 0 || (AKind == 1 && atClientLeft)) leftColor = C;
      if (AKind == 2) rightColor = C;
      Line(ACanvas, {l, t}, {l, b}, leftColor);
      Line(ACanvas, {r, t}, {r, b}, rightColor);
      Line(ACanvas, {l + 1, t}, {r - 1, t}, C);
      Line(ACanvas, {l + 1, b}, {r - 1, b}, C);
      break;
    }
    case 3:
    case 4: {
      // Open towards the neighbour below (3) or above (4): the far side's line runs down the
      // left, across and down the right; the line next to it inside is in C.
      const Integer far = AKind == 3 ? t : b, near = AKind == 3 ? b : t, inner = AKind == 3 ? t + 1 : b - 1;
      const TPoint frame[] = {{l, near}, {l, far}, {r, far}, {r, near}};
      DrawPolyline(ACanvas, frame, true, clHighlight);
      Line(ACanvas, {l + 1, inner}, {r - 1, inner}, C);
      break;
    }
    default: {
      // The corner pieces of a vertical pair: 5 the lower button, 6 the upper one.
      const Integer far = AKind == 5 ? b : t;
      Line(ACanvas, {l, t}, {l, b}, atClientLeft ? C : clHighlight);
      Line(ACanvas, {l, far}, {r, far}, clHighlight);
      Line(ACanvas, {r, t}, {r, b}, clHighlight);
      break;
    }
  }
  R = qvDeflatedRect(R, 1);
}

// A themed fast button: the spin part's face with a double arrow in the part's glyph colour.
// The part is drawn once whole for its frame, then over the inside from a rectangle so long that
// its own single arrow falls outside (the face shades from top to bottom only, so the inside
// looks the same).
void DrawNativeFastButton(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* B) {
  const HTHEME theme = OpenTheme(totSpin);
  const HDC dc = ACanvas->GetHandle();
  const TRect& r = B->Bounds;
  DrawThemeBackground(theme, dc, B->NativePart, B->NativeState, &r, nullptr);
  const TRect inside = qvDeflatedRect(r, 1);
  if (inside.IsEmpty()) return;
  const TRect face{r.Left, r.Top, r.Left + 4 * r.Width(), r.Bottom};
  DrawThemeBackground(theme, dc, B->NativePart, B->NativeState, &face, &inside);
  COLORREF glyph = 0;
  if (FAILED(GetThemeColor(theme, B->NativePart, B->NativeState, TMT_GLYPHTEXTCOLOR, &glyph))) glyph = ColorToRGB(clBtnText);
  const bool up = B->ButtonIndex == 3;
  DrawArrows(ACanvas, HorzSpinArrowSize(0, inside.Height()), inside, TColor(glyph), false, 1, up ? arrowRight : arrowLeft);
}

}  // namespace

Integer HorzSpinArrowSize(Integer AArrowSize, Integer AHeight) {
  return std::max(AArrowSize, std::min(kMinHorzSpinArrowSize, (AHeight + 1) / 2));
}

void DrawSpinEditButtonBorder(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                              const TRect& ARect, TqvEditButtonStyle AButtonStyle,
                              TqvSpinEditButtonsPosition APosition) {
  const TqvEditButtonViewInfo* B = AViewInfo->GetButton(AButtonIndex);
  if (B->IsNativePainted()) {
    if (AButtonIndex >= 2)
      DrawNativeFastButton(ACanvas, B);
    else
      DrawThemeBackground(OpenTheme(totSpin), ACanvas->GetHandle(), B->NativePart, B->NativeState, &B->Bounds, nullptr);
    return;
  }
  const Integer count = AViewInfo->GetButtonCount();
  TRect r = ARect;
  switch (AButtonStyle) {
    case btsHotFlat: {
      TColor face, content;
      GetHotFlatButtonColors(B, face, content);
      // The arrows of pressed and hot spin buttons are in the highlight colour.
      if (content == clWindow) content = clBtnHighlight;
      DrawHotFlatFrame(ACanvas, r, HotFlatKind(AButtonIndex, count, APosition));
      AViewInfo->DrawButtonContent(ACanvas, AButtonIndex, face, content, r);
      return;
    }
    case btsUltraFlat: {
      const TColor face = GetUltraFlatButtonFaceColor(B);
      if (!DrawUltraFlatButtonPlainFrame(ACanvas, B, r, AViewInfo->Transparent))
        DrawActiveUltraFlatFrame(ACanvas, AViewInfo, r, UltraFlatKind(AButtonIndex, count, APosition), face);
      AViewInfo->DrawButtonContent(ACanvas, AButtonIndex, face, clBtnText, r);
      return;
    }
    default: DrawEditButtonBorder(ACanvas, AViewInfo, AButtonIndex, ARect, AButtonStyle); return;
  }
}

void DrawSpinEditButtonContent(TqvCanvas* ACanvas, const TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                               TColor ABackgroundColor, TColor AContentColor, const TRect& ARect,
                               TqvSpinEditButtonsPosition APosition, Integer AArrowSize) {
  if (ARect.IsEmpty()) return;
  const TqvEditButtonViewInfo* B = AViewInfo->GetButton(AButtonIndex);
  ACanvas->SetBrushColor(ABackgroundColor);
  ACanvas->FillRect(ARect);
  static const TqvArrowDirection kHorizontal[] = {arrowLeft, arrowRight, arrowLeft, arrowRight};
  static const TqvArrowDirection kVertical[] = {arrowDown, arrowUp, arrowLeft, arrowRight};
  const Integer index = std::clamp(AButtonIndex, 0, 3);
  const TqvArrowDirection direction = APosition == sbpVert ? kVertical[index] : kHorizontal[index];
  const bool pressed = B->State == ebbsPressed;
  const Integer extra = AButtonIndex >= 2 ? 1 : 0;
  const bool sideways = direction == arrowLeft || direction == arrowRight;
  const Integer size = sideways ? HorzSpinArrowSize(AArrowSize, ARect.Height()) : AArrowSize;
  if (B->State != ebbsDisabled) {
    DrawArrows(ACanvas, size, ARect, AContentColor, pressed, extra, direction);
  } else {
    DrawArrows(ACanvas, size, qvOffsetRect(ARect, 1, 1), clBtnHighlight, pressed, extra, direction);
    DrawArrows(ACanvas, size, ARect, clBtnShadow, pressed, extra, direction);
  }
}
