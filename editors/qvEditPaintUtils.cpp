// Glyphs, image-list images, arrows, polylines, fills, the painter choice and the text flags.
#include "editors/qvEditPaintUtils.h"

#include <algorithm>

#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"

// ---------------------------------------------------------------------------------------------
// Themes and painters

bool IsNativeThemeUsable(bool ANativeStyle, TzmThemeClass AThemeClass) {
  return ANativeStyle && OpenTheme(AThemeClass) != nullptr;
}

Integer EditButtonStateToThemeState(TqvEditButtonState AState) {
  switch (AState) {
    case ebbsDisabled: return PBS_DISABLED;
    case ebbsPressed: return PBS_PRESSED;
    case ebbsHot: return PBS_HOT;
    case ebbsNormal: break;
  }
  return PBS_NORMAL;
}

TqvLookAndFeelPainterClass GetEditPainterClass(bool ANativeStyle, TqvLookAndFeelKind AKind) {
  if (ANativeStyle && AreThemesAvailable()) return TqvWinXPLookAndFeelPainter::Class();
  return GetLookAndFeelPainterByKind(AKind);
}

TRect GetThemeContentMargins(TzmThemeClass AThemeClass) {
  static constexpr TRect probe{0, 0, 100, 100};
  TRect content = probe;
  GetThemeBackgroundContentRect(OpenTheme(AThemeClass), nullptr, 1, 1, &probe, &content);
  return {content.Left, content.Top, probe.Right - content.Right, probe.Bottom - content.Bottom};
}

// ---------------------------------------------------------------------------------------------
// Glyphs and images

namespace {

// Keeps a canvas's brush style and colour for a block.
class TBrushScope {
 public:
  explicit TBrushScope(TBrush* ABrush)
      : FBrush(ABrush), FStyle(ABrush->GetStyle()), FColor(ABrush->GetColor()) {}
  ~TBrushScope() {
    FBrush->SetColor(FColor);
    FBrush->SetStyle(FStyle);
  }
  TBrushScope(const TBrushScope&) = delete;
  TBrushScope& operator=(const TBrushScope&) = delete;

 private:
  TBrush* FBrush;
  TBrushStyle FStyle;
  TColor FColor;
};

TRect GlyphRect(TBitmap* AGlyph) { return Rect(0, 0, AGlyph->GetWidth(), AGlyph->GetHeight()); }

void DrawEnabledGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, TBitmap* ABackgroundBitmap, TColor ABackgroundColor,
                      TBitmap* AGlyph) {
  TCanvas* target = ABackgroundBitmap ? ABackgroundBitmap->GetCanvas() : ACanvas->GetCanvas();
  TBrushScope brush(target->GetBrush());
  if (ABackgroundBitmap || ABackgroundColor == clNone) {
    target->GetBrush()->SetStyle(bsClear);
  } else {
    target->GetBrush()->SetColor(ABackgroundColor);
    target->GetBrush()->SetStyle(bsSolid);
  }
  const TRect source = GlyphRect(AGlyph);
  const TColor key = AGlyph->GetTransparentColor();
  if (ABackgroundBitmap) {
    target->BrushCopy(source, AGlyph, source, key);
    ACanvas->Draw(X, Y, ABackgroundBitmap);
  } else {
    target->BrushCopy(qvOffsetRect(source, X, Y), AGlyph, source, key);
  }
}

void DrawDisabledGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, TBitmap* ABackgroundBitmap, TColor ABackgroundColor,
                       TBitmap* AGlyph) {
  auto images = MakeOwned<TImageList>(nullptr, AGlyph->GetWidth(), AGlyph->GetHeight());
  images->AddMasked(AGlyph, AGlyph->GetTransparentColor());
  if (!ABackgroundBitmap && ABackgroundColor != clNone) {
    auto bitmap = MakeOwned<TBitmap>();
    bitmap->SetSize(AGlyph->GetWidth(), AGlyph->GetHeight());
    bitmap->GetCanvas()->GetBrush()->SetColor(ABackgroundColor);
    bitmap->GetCanvas()->FillRect(GlyphRect(AGlyph));
    images->Draw(bitmap->GetCanvas(), 0, 0, 0, false);
    ACanvas->Draw(X, Y, bitmap.get());
  } else if (ABackgroundBitmap) {
    images->Draw(ABackgroundBitmap->GetCanvas(), 0, 0, 0, false);
    ACanvas->Draw(X, Y, ABackgroundBitmap);
  } else {
    images->Draw(ACanvas->GetCanvas(), X, Y, 0, false);
  }
}

}  // namespace

bool IsGlyphAssigned(TBitmap* ABitmap) { return ABitmap && !ABitmap->GetEmpty(); }

TPoint CalculateGlyphPosition(const TRect& ARect, const TSize& ASize, bool ARoundUp) {
  const Integer spareX = ARect.Width() - ASize.cx, spareY = ARect.Height() - ASize.cy;
  TPoint p{ARect.Left + spareX / 2, ARect.Top + spareY / 2};
  if (ARoundUp) {
    p.X += spareX % 2 != 0 ? 1 : 0;
    p.Y += spareY % 2 != 0 ? 1 : 0;
  }
  return p;
}

void DrawButtonGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, TBitmap* ABackgroundBitmap, TColor ABackgroundColor,
                     bool AEnabled, TBitmap* AGlyph) {
  if (!IsGlyphAssigned(AGlyph)) return;
  if (AEnabled) DrawEnabledGlyph(ACanvas, X, Y, ABackgroundBitmap, ABackgroundColor, AGlyph);
  else DrawDisabledGlyph(ACanvas, X, Y, ABackgroundBitmap, ABackgroundColor, AGlyph);
}

void DrawImageListImage(TqvCanvas* ACanvas, TCustomImageList* AImageList, Integer AImageIndex, TBitmap* ABitmap,
                        bool AEnabled, TColor ABackgroundColor, const TRect& ARect) {
  TOwned<TBitmap> temporary;
  TBitmap* bitmap = ABitmap;
  if (!bitmap) {
    temporary = MakeOwned<TBitmap>();
    temporary->SetSize(AImageList->GetWidth(), AImageList->GetHeight());
    temporary->GetCanvas()->GetBrush()->SetColor(ABackgroundColor);
    temporary->GetCanvas()->FillRect(Rect(0, 0, AImageList->GetWidth(), AImageList->GetHeight()));
    bitmap = temporary.get();
  }
  AImageList->Draw(bitmap->GetCanvas(), 0, 0, AImageIndex, AEnabled);
  ACanvas->Draw(ARect.Left, ARect.Top, bitmap);
}

// ---------------------------------------------------------------------------------------------
// Arrows, lines and fills

void DrawArrows(TqvCanvas* ACanvas, Integer ASize, const TRect& ARect, TColor AColor, bool AShifted,
                Integer AExtraCount, TqvArrowDirection ADirection) {
  if (ASize <= 0 || AExtraCount < 0) return;
  const Integer count = AExtraCount + 1;
  const bool vertical = ADirection == arrowUp || ADirection == arrowDown;
  const Integer blockWidth = vertical ? 2 * ASize - 1 : count * ASize;
  const Integer blockHeight = vertical ? count * ASize : 2 * ASize - 1;
  const Integer shift = AShifted ? 1 : 0;
  const Integer left = ARect.Left + (ARect.Width() - blockWidth) / 2 + shift;
  const Integer top = ARect.Top + (ARect.Height() - blockHeight) / 2 + shift;
  ACanvas->SetBrushColor(AColor);
  for (Integer arrow = 0; arrow < count; ++arrow)
    for (Integer line = 0; line < ASize; ++line) {
      // Half the line's length beyond the middle: the tip's line has none.
      const bool fromTip = ADirection == arrowUp || ADirection == arrowLeft;
      const Integer half = fromTip ? line : ASize - 1 - line;
      const Integer along = arrow * ASize + line;
      const Integer middle = ASize - 1;
      const TRect r = vertical
                          ? Rect(left + middle - half, top + along, left + middle + half + 1, top + along + 1)
                          : Rect(left + along, top + middle - half, left + along + 1, top + middle + half + 1);
      ACanvas->FillRect(r);
    }
}

void DrawPolyline(TqvCanvas* ACanvas, std::span<const TPoint> APoints, bool AUseFillRect, TColor AColor) {
  if (APoints.empty()) return;
  const TPoint last = APoints.back();
  if (!AUseFillRect) {
    ACanvas->GetPen()->SetColor(AColor);
    ACanvas->Polyline(APoints);
    ACanvas->SetPixel(last.X, last.Y, AColor);
    return;
  }
  ACanvas->SetBrushColor(AColor);
  for (size_t i = 0; i + 1 < APoints.size(); ++i) {
    const TPoint p = APoints[i], q = APoints[i + 1];
    // Each segment covers its start and stops before its end; running left or up, its cells
    // are the mirror image (from one before the start to one before the end).
    TRect r = p.Y == q.Y ? Rect(p.X, p.Y, q.X, p.Y + 1) : Rect(p.X, p.Y, p.X + 1, q.Y);
    if (q.X < p.X) r = Rect(q.X + 1, p.Y, p.X + 1, p.Y + 1);
    if (q.Y < p.Y) r = Rect(p.X, q.Y + 1, p.X + 1, p.Y + 1);
    ACanvas->FillRect(r);
  }
  ACanvas->FillRect(Rect(last.X, last.Y, last.X + 1, last.Y + 1));
}

void FillRectWithBrush(HDC ADC, const TRect& ARect, HBRUSH ABrush) { FillRect(ADC, &ARect, ABrush); }

void FillRectExcept(TqvCanvas* ACanvas, const TRect& ARect, const TRect& AInner, HBRUSH ABrush) {
  if (ARect.IsEmpty() || ARect == AInner) return;
  HDC dc = ACanvas->GetHandle();
  if (AInner.IsEmpty()) {
    FillRectWithBrush(dc, ARect, ABrush);
    return;
  }
  FillRectWithBrush(dc, Rect(ARect.Left, ARect.Top, AInner.Left, ARect.Bottom), ABrush);
  FillRectWithBrush(dc, Rect(AInner.Left, ARect.Top, AInner.Right, AInner.Top), ABrush);
  FillRectWithBrush(dc, Rect(AInner.Right, ARect.Top, ARect.Right, ARect.Bottom), ABrush);
  FillRectWithBrush(dc, Rect(AInner.Left, AInner.Bottom, AInner.Right, ARect.Bottom), ABrush);
}

// ---------------------------------------------------------------------------------------------
// Text flags

TqvTextFlags TextLayoutFlagsToCanvasFlags(TqvTextLayoutFlags AFlags) {
  TqvTextFlags result = 0;
  const TqvTextLayoutFlags horz = AFlags & tlHorzMask, vert = AFlags & tlVertMask;
  if (horz == tlHCenter) result |= tfHCenter;
  else if (horz == tlHRight) result |= tfRight;
  if (vert == tlVCenter) result |= tfVCenter;
  else if (vert == tlVBottom) result |= tfBottom;
  if (AFlags & tlSingleLine) result |= tfSingleLine;
  return result;
}

TqvTextLayoutFlags CanvasFlagsToTextLayoutFlags(TqvTextFlags AFlags) {
  TqvTextLayoutFlags result = 0;
  if (AFlags & tfHCenter) result |= tlHCenter;
  else if (AFlags & tfRight) result |= tlHRight;
  if (AFlags & tfVCenter) result |= tlVCenter;
  else if (AFlags & tfBottom) result |= tlVBottom;
  if (AFlags & tfSingleLine) result |= tlSingleLine;
  return result;
}
