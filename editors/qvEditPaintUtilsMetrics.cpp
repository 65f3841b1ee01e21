// Edit metrics, text insets, accelerator marks and the size grip.
#include <array>

#include "editors/qvEditPaintUtils.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

TSize CheckBoxGlyphSize() {
  static const TSize size = [] {
    HBITMAP checks = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
    BITMAP info{};
    GetObject(checks, sizeof(info), &info);
    DeleteObject(checks);
    return TSize{info.bmWidth / 4, info.bmHeight / 3};
  }();
  return size;
}

TSize GetCheckBoxGlyphSize(TBitmap* AGlyph, Integer AGlyphCount, bool ANativeStyle) {
  if (AGlyph && AGlyphCount > 0 && IsGlyphAssigned(AGlyph)) return {AGlyph->GetWidth() / AGlyphCount, AGlyph->GetHeight()};
  if (IsNativeThemeUsable(ANativeStyle, totButton)) {
    SIZE size{};
    GetThemePartSize(OpenTheme(totButton), nullptr, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_TRUE, &size);
    return {size.cx, size.cy};
  }
  return CheckBoxGlyphSize();
}

TSize CalculateArrowSize(const TSize& ASize, TqvArrowDirection ADirection) {
  Integer a = (std::min(ASize.cx, ASize.cy) - 1) / 2;
  if (a % 2 == 0) ++a;
  const TSize size{a, a / 2 + 1};
  if (ADirection == arrowLeft || ADirection == arrowRight) return {size.cy, size.cx};
  return size;
}

Integer GetEditBorderWidth(TqvEditBorderStyle ABorderStyle) {
  switch (ABorderStyle) {
    case ebsNone: return 0;
    case ebsSingle:
    case ebsUltraFlat: return 1;
    case ebsThick:
    case ebsFlat:
    case ebs3D: return 2;
  }
  return 0;
}

TRect GetDrawTextOffsetByAlignment(TAlignment AAlignment, bool AIsInplace) {
  const Integer bottom = AIsInplace ? 1 : 3;
  const Integer right = AAlignment == taRightJustify ? 2 : 1;
  return {1, 1, right, bottom};
}

String RemoveAccelChars(const String& AText) {
  String result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != '&') {
      result += AText[i];
    } else if (i + 1 == AText.size()) {
      result += '_';
      break;
    } else {
      result += AText[++i];
    }
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// Size grip

namespace {

TSize SizeGripSize(bool ANativeStyle) {
  if (IsNativeThemeUsable(ANativeStyle, totScrollBar)) {
    SIZE part{};
    GetThemePartSize(OpenTheme(totScrollBar), nullptr, SBP_SIZEBOX, 1, nullptr, TS_TRUE, &part);
    return {part.cx + 2, part.cy + 2};
  }
  return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

// Three groups of diagonals from the corner: per group N skipped, 2N in the shadow colour and
// N in the highlight colour.
void DrawGripLines(TqvCanvas* ACanvas, const TRect& AGrip, TSize ASize, TqvSizeGripCorner ACorner) {
  const Integer n = (ASize.cy - 2) / 12;
  if (n <= 0) return;
  const COLORREF shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
  HDC dc = ACanvas->GetHandle();
  for (Integer y = AGrip.Top; y < AGrip.Bottom; ++y)
    for (Integer x = AGrip.Left; x < AGrip.Right; ++x) {
      const Integer fromX = IsSizeGripAtRight(ACorner) ? AGrip.Right - 1 - x : x - AGrip.Left;
      const Integer fromY = IsSizeGripAtBottom(ACorner) ? AGrip.Bottom - 1 - y : y - AGrip.Top;
      const Integer line = fromX + fromY;
      if (line >= 12 * n) continue;
      const Integer step = line % (4 * n);
      if (step >= n) SetPixelV(dc, x, y, step < 3 * n ? shadow : highlight);
    }
}

// Copies between the canvas and a bitmap in the bottom-right orientation; the same call
// flips back, as a mirror is its own inverse.
void CopyOriented(HDC ADest, const TRect& ADestRect, HDC ASource, const TRect& ASourceRect, TqvSizeGripCorner ACorner) {
  const bool mirrorX = !IsSizeGripAtRight(ACorner), mirrorY = !IsSizeGripAtBottom(ACorner);
  const Integer w = ADestRect.Width(), h = ADestRect.Height();
  StretchBlt(ADest, mirrorX ? ADestRect.Left + w : ADestRect.Left, mirrorY ? ADestRect.Top + h : ADestRect.Top,
             mirrorX ? -w : w, mirrorY ? -h : h, ASource, ASourceRect.Left, ASourceRect.Top, ASourceRect.Width(),
             ASourceRect.Height(), SRCCOPY);
}

void DrawGripOffScreen(TqvCanvas* ACanvas, const TRect& AGrip, TqvSizeGripCorner ACorner, bool ATransparent,
                       bool ANativeStyle) {
  if (AGrip.IsEmpty()) return;
  const TRect local = Rect(0, 0, AGrip.Width(), AGrip.Height());
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetSize(local.Right, local.Bottom);
  TCanvas* canvas = bitmap->GetCanvas();
  HDC bitmapDC = canvas->GetHandle();
  if (ATransparent) {
    CopyOriented(bitmapDC, local, ACanvas->GetHandle(), AGrip, ACorner);
  } else {
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(local);
  }
  if (IsNativeThemeUsable(ANativeStyle, totScrollBar)) {
    DrawThemeBackground(OpenTheme(totScrollBar), bitmapDC, SBP_SIZEBOX, 1, &local, nullptr);
  } else {
    TRect r = local;
    DrawFrameControl(bitmapDC, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
  CopyOriented(ACanvas->GetHandle(), AGrip, bitmapDC, local, ACorner);
}

}  // namespace

void DrawSizeGrip(TqvCanvas* ACanvas, const TRect& ARect, TqvSizeGripCorner ACorner, bool ATransparent,
                  bool ANativeStyle) {
  if (!ATransparent) {
    ACanvas->SetBrushColor(clBtnFace);
    ACanvas->FillRect(ARect);
  }
  const TSize size = SizeGripSize(ANativeStyle);
  const TRect grip = SizeGripCornerRect(ARect, size, ACorner);
  TRect inner = grip;
  if (IsSizeGripAtRight(ACorner)) inner.Left += 2;
  else inner.Right -= 2;
  if (IsSizeGripAtBottom(ACorner)) inner.Top += 2;
  else inner.Bottom -= 2;
  if (ATransparent && !IsNativeThemeUsable(ANativeStyle, totScrollBar)) DrawGripLines(ACanvas, inner, size, ACorner);
  else DrawGripOffScreen(ACanvas, inner, ACorner, ATransparent, ANativeStyle);
}
