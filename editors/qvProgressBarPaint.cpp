// The progress bar's geometry and drawing: fill, overload and peak rectangles clamped to the
// bar; the six bar styles, bevels, the peak and the text inverted over the filled part, all on
// a bitmap of the bar area.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvProgressBar.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Chunks of a themed bar are cut through this far from their start.
constexpr Integer kChunkCutOffset = 4;
constexpr Integer kLedGap = 2;
constexpr Integer kTextEscapementDownward = 2700;

// The distance of V from AMin in pixels of a bar ALength long for the range; V is held inside
// AMin..AMax so that nothing reaches past the bar.
Integer Scale(Integer V, Integer AMin, Integer AMax, Integer ALength) {
  const double range = std::max(1.0, double(AMax) - double(AMin));
  const double v = std::clamp(double(V), double(AMin), std::max(double(AMin), double(AMax)));
  return Integer(std::trunc((v - AMin) * ALength / range));
}

// A colour ad pixels along a gradient of ALength; the distance is held within the gradient, so
// the colour never leaves the two ends.
COLORREF GradientColor(TColor C1, TColor C2, Integer ADistance, Integer ALength) {
  const COLORREF a = ColorToRGB(C1), b = ColorToRGB(C2);
  const double length = std::max(1, ALength), d = std::clamp<double>(ADistance, 0, length);
  auto channel = [&](BYTE x, BYTE y) { return BYTE(std::trunc(x + (double(y) - x) * d / length)); };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

// Brightness of a colour, 0..255, weighted as the eye sees the channels.
Integer Brightness(COLORREF C) {
  return (299 * GetRValue(C) + 587 * GetGValue(C) + 114 * GetBValue(C)) / 1000;
}

// Text inverted over a fill must differ this much in brightness from the fill to be read.
constexpr Integer kReadableContrast = 96;

// The mean colour of a 32-bit bitmap's pixels.
COLORREF MeanColor(TBitmap& ABitmap) {
  uint64_t sum[3] = {};
  const uint64_t count = uint64_t(ABitmap.GetWidth()) * uint64_t(ABitmap.GetHeight());
  for (Integer y = 0; y < ABitmap.GetHeight(); ++y) {
    const uint32_t* row = ABitmap.ScanLine(y);
    for (Integer x = 0; x < ABitmap.GetWidth(); ++x)
      for (int c = 0; c < 3; ++c) sum[c] += (row[x] >> (16 - 8 * c)) & 0xFF;
  }
  if (count == 0) return 0;
  return RGB(BYTE(sum[0] / count), BYTE(sum[1] / count), BYTE(sum[2] / count));
}

TRect Intersect(const TRect& A, const TRect& B) {
  TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  return r.Left < r.Right && r.Top < r.Bottom ? r : TRect{};
}

TRect Union(const TRect& A, const TRect& B) {
  if (A.IsEmpty()) return B;
  if (B.IsEmpty()) return A;
  return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
}

// One LED: its rectangle on the bar's bitmap and its distance from the filled range's start.
struct TLed {
  TRect R;
  Integer Distance;
  bool Overload;
};

// The bitmap the bar is drawn on, with the drawing operations of the styles.
class TBarPainter {
 public:
  TBarPainter(const TqvCustomProgressBarViewInfo& AInfo, TqvCanvas* ATarget)
      : FInfo(AInfo), FArea(AInfo.BarArea), FWidth(AInfo.BarArea.Width()), FHeight(AInfo.BarArea.Height()) {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(FWidth, FHeight);
    FDC = FBitmap.GetCanvas()->GetHandle();
    FTarget = ATarget;
    FVertical = AInfo.Orientation == qvorVertical;
    FBar = Local(AInfo.BarRect);
    FFill = Local(AInfo.FillRect);
    FOverload = AInfo.OverloadShown ? Local(AInfo.OverloadRect) : TRect{};
    FFilled = Union(FFill, FOverload);
  }

  void Paint() {
    DrawBackground();
    DrawStyle();
    if (FInfo.PeakShown) Fill(Local(FInfo.PeakRect), ColorToRGB(FInfo.PeakColor));
    if (FInfo.ShowText) DrawText();
    BitBlt(FTarget->GetHandle(), FArea.Left, FArea.Top, FWidth, FHeight, FDC, 0, 0, SRCCOPY);
  }

 private:
  TRect Local(const TRect& R) const { return qvOffsetRect(R, -FArea.Left, -FArea.Top); }

  void Fill(const TRect& R, COLORREF AColor) {
    if (R.IsEmpty()) return;
    TOwnedGdiObject brush(CreateSolidBrush(AColor));
    FillRect(FDC, &R, brush.Get());
  }

  void Bevel(const TRect& R) {
    if (FInfo.BarBevelOuter == qvbvNone || R.IsEmpty()) return;
    const UINT edge = FInfo.BarBevelOuter == qvbvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    TRect r = R;
    DrawEdge(FDC, &r, edge, BF_LEFT | BF_TOP);
    r = R;
    DrawEdge(FDC, &r, edge, BF_RIGHT | BF_BOTTOM);
  }

  void DrawBackground() {
    if (FInfo.TransparentBar) {
      // What the canvas holds under the bar: the parent's background, painted on erase.
      BitBlt(FDC, 0, 0, FWidth, FHeight, FTarget->GetHandle(), FArea.Left, FArea.Top, SRCCOPY);
    } else
      Fill(Rect(0, 0, FWidth, FHeight), ColorToRGB(FInfo.BackgroundColor));
    if (!FInfo.Themed) return;
    HTHEME theme = OpenTheme(totProgress);
    if (!FInfo.TransparentBar) {
      const TRect all = Rect(0, 0, FWidth, FHeight);
      DrawThemeBackground(theme, FDC, FVertical ? PP_BARVERT : PP_BAR, 1, &all, nullptr);
    }
    MakeChunkStrip(theme);
  }

  // A one-pixel cut through a chunk across the bar, stamped on every filled line.
  void MakeChunkStrip(HTHEME ATheme) {
    const Integer cross = FVertical ? FFill.Width() : FFill.Height();
    if (cross <= 0) return;
    const Integer length = 2 * kChunkCutOffset + 1;
    FStrip.SetPixelFormat(pf32bit);
    if (FVertical) {
      FStrip.SetSize(cross, length);
      const TRect chunk = Rect(0, 0, cross, length);
      DrawThemeBackground(ATheme, FStrip.GetCanvas()->GetHandle(), PP_CHUNKVERT, 1, &chunk, nullptr);
    } else {
      FStrip.SetSize(length, cross);
      const TRect chunk = Rect(0, 0, length, cross);
      DrawThemeBackground(ATheme, FStrip.GetCanvas()->GetHandle(), PP_CHUNK, 1, &chunk, nullptr);
    }
    FHasStrip = true;
  }

  // The strip on the line at APos (a column, or a row of a vertical bar), across AAcross.
  void StampLine(Integer APos, const TRect& AAcross) {
    HDC strip = FStrip.GetCanvas()->GetHandle();
    if (FVertical)
      BitBlt(FDC, AAcross.Left, APos, AAcross.Width(), 1, strip, 0, kChunkCutOffset, SRCCOPY);
    else
      BitBlt(FDC, APos, AAcross.Top, 1, AAcross.Height(), strip, kChunkCutOffset, 0, SRCCOPY);
  }

  void DrawStyle() {
    if (FFilled.IsEmpty()) return;
    if (FInfo.Themed && FHasStrip) {
      switch (FInfo.BarStyle) {
        case qvbsSolid:
        case qvbsGradient:
          if (FVertical)
            for (Integer y = FFilled.Top; y < FFilled.Bottom; ++y) StampLine(y, FFilled);
          else
            for (Integer x = FFilled.Left; x < FFilled.Right; ++x) StampLine(x, FFilled);
          Bevel(FFilled);
          return;
        case qvbsLEDs:
        case qvbsGradientLEDs: DrawLeds(LedLength(FVertical ? FFilled.Width() : FFilled.Height())); return;
        default: break;
      }
    }
    switch (FInfo.BarStyle) {
      case qvbsSolid:
        if (FInfo.OverloadShown) {
          Fill(FFill, ColorToRGB(FInfo.BeginColor));
          Fill(FOverload, ColorToRGB(FInfo.OverloadBeginColor));
        } else
          Fill(FFilled, ColorToRGB(FInfo.BeginColor));
        Bevel(FFilled);
        break;
      case qvbsGradient: DrawGradient(); break;
      case qvbsLEDs: DrawLeds(LedLength(FVertical ? FWidth : FHeight)); break;
      case qvbsGradientLEDs: DrawLeds(LedLength(FVertical ? FFilled.Width() : FFilled.Height())); break;
      case qvbsBitmap:
      case qvbsBitmapLEDs: DrawBitmapStyle(); break;
    }
  }

  static Integer LedLength(Integer ACross) { return 2 * ACross / 3; }

  // An LED belongs to the zone from one pixel before it (it starts on a gap); a line from its
  // start.
  bool InOverloadZone(Integer APos, bool ALed = false) const {
    if (!FInfo.OverloadShown) return false;
    return FVertical ? APos < FOverload.Bottom : APos >= FOverload.Left - (ALed ? 1 : 0);
  }

  // The colour of the line or LED at APos, ADistance from the filled range's start.
  COLORREF LineColor(Integer APos, Integer ADistance) const {
    if (InOverloadZone(APos)) {
      if (FVertical)
        return GradientColor(FInfo.OverloadBeginColor, FInfo.OverloadEndColor, FOverload.Bottom - APos, FOverload.Bottom);
      return GradientColor(FInfo.OverloadBeginColor, FInfo.OverloadEndColor, APos - FOverload.Left, FOverload.Left);
    }
    return GradientColor(FInfo.BeginColor, FInfo.EndColor, ADistance, FVertical ? FHeight : FWidth);
  }

  void DrawGradient() {
    if (FVertical) {
      for (Integer y = FFilled.Top; y < FFilled.Bottom; ++y)
        Fill(Rect(FFilled.Left, y, FFilled.Right, y + 1), LineColor(y, FFilled.Bottom - y));
    } else {
      for (Integer x = FFilled.Left; x < FFilled.Right; ++x)
        Fill(Rect(x, FFilled.Top, x + 1, FFilled.Bottom), LineColor(x, x - FFilled.Left));
    }
    Bevel(FFilled);
  }

  // The LEDs of length ALength with two-pixel gaps from the start of the filled range, a shorter
  // one at its end, and the rest up to the far edge for a full bar. Sets FWholeLedEnd.
  std::vector<TLed> LayoutLeds(Integer ALength, bool AFillToEndAtMax) {
    std::vector<TLed> leds;
    const Integer step = std::max(ALength, 0) + kLedGap;
    bool overload = false;
    const TRect& e = FFilled;
    if (FVertical) {
      FWholeLedEnd = e.Bottom;
      Integer boundary = e.Bottom;
      for (Integer y = e.Bottom - 1 - step; y >= e.Top && y + step <= e.Bottom; y -= step) {
        overload = overload || InOverloadZone(y, true);
        leds.push_back({Rect(e.Left, y + kLedGap, e.Right, y + step), e.Bottom - (y + step), overload});
        FWholeLedEnd = y + kLedGap;
        boundary = y;
        if (y - e.Top < step) {
          leds.push_back({Rect(e.Left, e.Top, e.Right, y), e.Bottom - y, overload || InOverloadZone(e.Top, true)});
          return leds;
        }
      }
      if (AFillToEndAtMax && FInfo.Position >= FInfo.Max && boundary > e.Top)
        leds.push_back({Rect(e.Left, e.Top, e.Right, boundary), e.Bottom - boundary, overload || InOverloadZone(e.Top, true)});
      return leds;
    }
    FWholeLedEnd = e.Left;
    Integer boundary = e.Left;
    for (Integer k = 1;; ++k) {
      const Integer b = e.Left + k * step;
      if (b > e.Right - 1) break;
      overload = overload || InOverloadZone(b - step, true);
      leds.push_back({Rect(b - step, e.Top, b - kLedGap, e.Bottom), b - step - e.Left, overload});
      FWholeLedEnd = b - kLedGap;
      boundary = b;
      if (e.Right - b - kLedGap < step) {
        if (b < e.Right) leds.push_back({Rect(b, e.Top, e.Right, e.Bottom), b - e.Left, overload || InOverloadZone(b, true)});
        return leds;
      }
    }
    if (AFillToEndAtMax && FInfo.Position >= FInfo.Max && boundary < e.Right)
      leds.push_back({Rect(boundary, e.Top, e.Right, e.Bottom), boundary - e.Left, overload || InOverloadZone(boundary, true)});
    return leds;
  }

  void DrawLeds(Integer ALength) {
    const bool gradient = FInfo.BarStyle == qvbsGradientLEDs || FInfo.Themed;
    for (const TLed& led : LayoutLeds(ALength, true)) {
      if (FInfo.Themed && FHasStrip) {
        // Vertical themed LEDs sit one pixel lower.
        const TRect r = FVertical ? Intersect(qvOffsetRect(led.R, 0, 1), FFilled) : led.R;
        if (FVertical)
          for (Integer y = r.Top; y < r.Bottom; ++y) StampLine(y, r);
        else
          for (Integer x = r.Left; x < r.Right; ++x) StampLine(x, r);
      } else if (gradient) {
        const Integer pos = FVertical ? led.R.Bottom : led.R.Left;
        Fill(led.R, led.Overload && !InOverloadZone(pos) ? ColorToRGB(FInfo.OverloadBeginColor)
                                                         : LineColor(pos, led.Distance));
      } else
        Fill(led.R, ColorToRGB(led.Overload ? FInfo.OverloadBeginColor : FInfo.BeginColor));
      Bevel(led.R);
    }
  }

  void DrawBitmapStyle() {
    TBitmap* image = FInfo.ForegroundImage.get();
    if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return;
    TOwnedGdiObject brush(CreatePatternBrush(image->GetHandle()));
    SetBrushOrgEx(FDC, 0, 0, nullptr);
    if (FInfo.BarStyle == qvbsBitmap) {
      FillRect(FDC, &FFilled, brush.Get());
      Bevel(FFilled);
    } else {
      const Integer cross = FVertical ? FFilled.Width() : FFilled.Height();
      const Integer length = std::min(FVertical ? image->GetHeight() : image->GetWidth(), cross);
      for (const TLed& led : LayoutLeds(length, true)) {
        FillRect(FDC, &led.R, brush.Get());
        Bevel(led.R);
      }
    }
  }

  // -- Text

  bool IsLedStyle() const {
    return FInfo.BarStyle == qvbsLEDs || FInfo.BarStyle == qvbsGradientLEDs || FInfo.BarStyle == qvbsBitmapLEDs;
  }

  void DrawText() {
    const String text = FInfo.GetBarText();
    const bool vertical = FInfo.TextOrientation == qvorVertical;
    TFont defaults;
    TFont* upright = FInfo.Font ? FInfo.Font : &defaults;
    TSelectObjectScope textFont(FDC, upright->GetHandle());
    SIZE extent{};
    GetTextExtentPoint32(FDC, text.data(), Integer(text.size()), &extent);
    const Integer tw = extent.cx, th = extent.cy;
    TFont* font = vertical ? FInfo.VerticalTextFont.Get(FInfo.Font, kTextEscapementDownward) : upright;
    if (vertical) SelectObject(FDC, font->GetHandle());
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, ColorToRGB(FInfo.TextColor));

    // The filled part's end (LED styles: the last whole LED's) and the part of the text over it.
    if (IsLedStyle() && !FFilled.IsEmpty()) LayoutLeds(LedLengthForText(), false);
    TRect inverted{};
    TPoint at;
    if (!vertical) {
      at = {(FWidth - tw) / 2, (FHeight - th) / 2};
      const Integer fillEnd = FFilled.IsEmpty() ? 0 : IsLedStyle() ? FWholeLedEnd : FFilled.Right;
      if (at.X < fillEnd && !FInfo.SolidTextColor)
        inverted = Rect(at.X, at.Y, at.X + std::min(fillEnd - at.X, tw), at.Y + th);
    } else {
      at = {(FWidth - th) / 2 + th, (FHeight - tw) / 2};
      const Integer fillTop = FFilled.IsEmpty() ? FHeight : IsLedStyle() ? FWholeLedEnd : FFilled.Top;
      if (fillTop < at.Y + tw && !FInfo.SolidTextColor)
        inverted = Rect(at.X - th, std::max(fillTop, at.Y), at.X, at.Y + tw);
    }
    inverted = Intersect(inverted, Rect(0, 0, FWidth, FHeight));

    TBitmap saved;
    if (!inverted.IsEmpty()) {
      saved.SetPixelFormat(pf32bit);
      saved.SetSize(inverted.Width(), inverted.Height());
      BitBlt(saved.GetCanvas()->GetHandle(), 0, 0, inverted.Width(), inverted.Height(), FDC, inverted.Left,
             inverted.Top, SRCCOPY);
    }
    TextOut(FDC, at.X, at.Y, text.data(), Integer(text.size()));
    if (inverted.IsEmpty()) return;

    // The part over the fill: the bar as it was, XOR-ed with the text in white on black; where
    // the inverse of the fill is about as bright as the fill (a mid-tone), the text is black or
    // white instead, whichever stands out.
    BitBlt(FDC, inverted.Left, inverted.Top, inverted.Width(), inverted.Height(), saved.GetCanvas()->GetHandle(), 0,
           0, SRCCOPY);
    const COLORREF fill = MeanColor(saved);
    if (std::abs(Brightness(fill) - Brightness(fill ^ 0xFFFFFF)) < kReadableContrast)
      return DrawTextOverFill(text, font, at, inverted, Brightness(fill) > 127 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    TBitmap mask;
    mask.SetPixelFormat(pf32bit);
    mask.SetSize(FWidth, FHeight);
    HDC maskDC = mask.GetCanvas()->GetHandle();
    const RECT all{0, 0, FWidth, FHeight};
    FillRect(maskDC, &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
    TSelectObjectScope maskFont(maskDC, font->GetHandle());
    SetBkMode(maskDC, TRANSPARENT);
    SetTextColor(maskDC, RGB(255, 255, 255));
    TextOut(maskDC, at.X, at.Y, text.data(), Integer(text.size()));
    BitBlt(FDC, inverted.Left, inverted.Top, inverted.Width(), inverted.Height(), maskDC, inverted.Left, inverted.Top,
           SRCINVERT);
  }

  // The text in one colour, only inside AClip.
  void DrawTextOverFill(const String& AText, TFont* AFont, TPoint AAt, const TRect& AClip, COLORREF AColor) {
    const int saved = SaveDC(FDC);
    IntersectClipRect(FDC, AClip.Left, AClip.Top, AClip.Right, AClip.Bottom);
    SelectObject(FDC, AFont->GetHandle());
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, AColor);
    TextOut(FDC, AAt.X, AAt.Y, AText.data(), Integer(AText.size()));
    RestoreDC(FDC, saved);
  }

  Integer LedLengthForText() const {
    if (FInfo.BarStyle == qvbsLEDs && !FInfo.Themed) return LedLength(FVertical ? FWidth : FHeight);
    if (FInfo.BarStyle == qvbsBitmapLEDs && FInfo.ForegroundImage) {
      const Integer cross = FVertical ? FFilled.Width() : FFilled.Height();
      return std::min(FVertical ? FInfo.ForegroundImage->GetHeight() : FInfo.ForegroundImage->GetWidth(), cross);
    }
    return LedLength(FVertical ? FFilled.Width() : FFilled.Height());
  }

  const TqvCustomProgressBarViewInfo& FInfo;
  TRect FArea;
  Integer FWidth, FHeight;
  TBitmap FBitmap;
  HDC FDC = nullptr;
  TqvCanvas* FTarget = nullptr;
  bool FVertical = false;
  TRect FBar, FFill, FOverload, FFilled;
  TBitmap FStrip;
  bool FHasStrip = false;
  Integer FWholeLedEnd = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// View info

TqvCustomProgressBarViewInfo::TqvCustomProgressBarViewInfo() : ForegroundImage(MakeOwned<TBitmap>()) {}

TqvCustomProgressBarViewInfo::~TqvCustomProgressBarViewInfo() = default;

void TqvCustomProgressBarViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  for (TRect* r : {&BarArea, &BarRect, &FillRect, &OverloadRect, &PeakRect, &FocusRect}) *r = qvOffsetRect(*r, DX, DY);
}

void TqvCustomProgressBarViewInfo::CalculateBarGeometry() {
  const TRect& bar = BarRect;
  const bool vertical = Orientation == qvorVertical;
  FillRect = bar;
  if (vertical)
    FillRect.Top = bar.Bottom - Scale(Position, Min, Max, bar.Height());
  else
    FillRect.Right = bar.Left + Scale(Position, Min, Max, bar.Width());
  if (Position < Min) FillRect = TRect{};

  OverloadShown = ShowOverload && !Themed && Position >= OverloadValue && !FillRect.IsEmpty();
  OverloadRect = TRect{};
  if (OverloadShown) {
    OverloadRect = FillRect;
    if (vertical) {
      OverloadRect.Bottom = std::max(bar.Bottom - Scale(OverloadValue, Min, Max, bar.Height()), bar.Top);
      FillRect.Top = OverloadRect.Bottom;
    } else {
      OverloadRect.Left = bar.Left + Scale(OverloadValue, Min, Max, bar.Width());
      OverloadRect.Right = std::min(OverloadRect.Right, bar.Right);
      FillRect.Right = OverloadRect.Left;
    }
  }

  PeakShown = ShowPeak && bar.Width() > 0 && bar.Height() > 0;
  PeakRect = TRect{};
  if (PeakShown) {
    if (vertical) {
      Integer bottom = bar.Bottom - Scale(PeakPosition, Min, Max, bar.Height());
      bottom = std::max(bottom, bar.Top + PeakSize);
      PeakRect = Rect(bar.Left, bottom - PeakSize, bar.Right, bottom);
    } else {
      Integer left = bar.Left + Scale(PeakPosition, Min, Max, bar.Width());
      left = std::min(left, bar.Right - PeakSize);
      PeakRect = Rect(left, bar.Top, left + PeakSize, bar.Bottom);
    }
  }
}

String TqvCustomProgressBarViewInfo::GetBarText() const {
  if (ShowTextStyle == qvtsPosition) return IntToStr(Position);
  const double range = std::max(1.0, double(Max) - double(Min));
  const Int64 percent = std::min<Int64>(Round((double(Position) - Min) / range * 100), 100);
  return IntToStr(Integer(percent)) + " %";
}

void TqvCustomProgressBarViewInfo::Paint(TqvCanvas* ACanvas) {
  if (!Themed && !(IsInplace && TransparentBar)) inherited::Paint(ACanvas);
  DrawBar(ACanvas);
}

void TqvCustomProgressBarViewInfo::DrawBar(TqvCanvas* ACanvas) {
  if (BarArea.Width() <= 0 || BarArea.Height() <= 0) return;
  TBarPainter(*this, ACanvas).Paint();
}
