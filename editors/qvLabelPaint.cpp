// The label's text with its effects: drawn on an off-screen bitmap the size of the label's text
// rectangle, then copied onto the canvas in one piece.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "editors/qvExtEditUtils.h"
#include "editors/qvLabel.h"
#include "platform/os/Gdi.h"

namespace {

constexpr Integer kRaisedShadowMinFontSize = 12;

Integer Sign(Integer V) { return V > 0 ? 1 : V < 0 ? -1 : 0; }

// The colour k of n steps from AShadow (k = 1) towards ABackground (k = n + 1), per channel.
COLORREF FadedColor(COLORREF AShadow, COLORREF ABackground, Integer k, Integer n) {
  auto channel = [&](BYTE s, BYTE b) {
    return BYTE(std::trunc(double(k - 1) * (double(b) - double(s)) / n + s));
  };
  return RGB(channel(GetRValue(AShadow), GetRValue(ABackground)), channel(GetGValue(AShadow), GetGValue(ABackground)),
             channel(GetBValue(AShadow), GetBValue(ABackground)));
}

// Draws the text of a label on its bitmap: rotated with TextOut, else with DrawText in the
// label's flags. Inside BeginPath and EndPath the text becomes the path.
class TLabelTextWriter {
 public:
  TLabelTextWriter(HDC ADC, const String& AText, Integer AWidth, Integer AHeight, Integer AAngle, bool AWordWrap,
                   UINT AFlags)
      : FDC(ADC), FText(AText), FWidth(AWidth), FHeight(AHeight), FAngle(AAngle), FWordWrap(AWordWrap),
        FFlags(AFlags) {}

  void Write(Integer X, Integer Y, COLORREF AColor) const {
    SetTextColor(FDC, AColor);
    Write(X, Y);
  }
  void Write(Integer X, Integer Y) const {
    const int count = int(FText.size());
    if (FAngle != 0) {
      TextOut(FDC, X, Y, FText.data(), count);
      return;
    }
    // Unwrapped text is placed by its origin (one pixel in), wrapped text fills the label.
    RECT r = FWordWrap ? RECT{X, Y, X + FWidth, Y + FHeight} : RECT{X + 1, Y, FWidth - 1, FHeight};
    DrawText(FDC, FText.data(), count, &r, FFlags);
  }

 private:
  HDC FDC;
  const String& FText;
  Integer FWidth, FHeight, FAngle;
  bool FWordWrap;
  UINT FFlags;
};

}  // namespace

void TqvCustomLabelViewInfo::DrawLabel(TqvCanvas* ACanvas) {
  const TRect t = LabelTextRect;
  const Integer w = std::max(0, t.Width()), h = std::max(0, t.Height());
  if (w == 0 || h == 0) return;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(w, h);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->RequiredState(csHandleValid);
  HDC dc = canvas->GetHandle();
  // The view info's own font (or a turned copy kept between paints) goes into the bitmap's DC
  // as it is: a new font handle a paint would cost a face lookup each time.
  TFont defaults;
  TFont* font = Font ? Font : &defaults;
  const HGDIOBJ oldFont = SelectObject(dc, font->GetHandle());

  Integer angle = Angle % 360;
  SIZE extent{};
  GetTextExtentPoint32(dc, Text.data(), Integer(Text.size()), &extent);
  const Integer textWidth = extent.cx, textHeight = extent.cy;
  TEXTMETRIC metrics{};
  GetTextMetrics(dc, &metrics);
  const bool trueType = (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
  const bool glyphFill = Glyph && Glyph->GetWidth() > 0 && Glyph->GetHeight() > 0 && trueType;
  const TPoint centre{(DepthDelta.X + w) / 2, (h + DepthDelta.Y) / 2};
  const COLORREF background = ColorToRGB(BackgroundColor);

  if (trueType && angle != 0)
    SelectObject(dc, FTurnedFont.Get(font, ((angle + 360) % 360) * 10)->GetHandle());
  else
    angle = 0;

  Integer x = 0, y = 0;
  if (!(WordWrap && angle == 0)) {
    // Degrees turned into radians before the trigonometry.
    const double radians = angle * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    x = centre.X - Integer(Round(c * textWidth / 2)) - Integer(Round(s * textHeight / 2));
    y = centre.Y + Integer(Round(s * textWidth / 2)) - Integer(Round(c * textHeight / 2));
    if (HorzAlignment != taCenter) {
      x = std::max(x, 0);
      y = std::max(y, 0);
    }
  }

  const bool alwaysFilled = IsInplace && Focused;
  const bool transparent = Transparent && !alwaysFilled;
  const TPoint effect = Depth != 0 ? GetLabelEffectOffset(Orientation, Depth) : TPoint{};
  // Left-aligned text leaves its centring offset out (keeping room for an effect that points
  // left): everything is drawn that much further left.
  const Integer shift =
      angle == 0 && !WordWrap && HorzAlignment == taLeftJustify ? x + std::min(effect.X, 0) : 0;
  x -= shift;

  if (transparent)
    BitBlt(dc, 0, 0, w, h, ACanvas->GetHandle(), t.Left, t.Top, SRCCOPY);
  else {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  SetBkMode(dc, TRANSPARENT);
  const UINT flags = (HorzAlignment == taRightJustify ? DT_RIGHT : DT_LEFT) | (ShowEndEllipsis ? DT_END_ELLIPSIS : 0u) |
                     (WordWrap && angle == 0 ? DT_WORDBREAK : 0u);
  const TLabelTextWriter writer(dc, Text, w, h, angle, WordWrap, flags);

  // The effect's copies, from the farthest to the nearest.
  const Integer steps = std::max(std::abs(effect.X), std::abs(effect.Y));
  const TPoint unit{Sign(effect.X), Sign(effect.Y)};
  const COLORREF shadow = ColorToRGB(ShadowedColor);
  if (steps > 0) switch (LabelEffect) {
      case qvleFun:
        for (Integer k = steps; k >= 1; --k)
          writer.Write(x + unit.X * k, y + unit.Y * k, FadedColor(shadow, background, k, steps));
        break;
      case qvleExtrude:
        for (Integer k = steps; k >= 1; --k) writer.Write(x + unit.X * k, y + unit.Y * k, shadow);
        break;
      case qvleCool: writer.Write(x + effect.X, y + effect.Y, shadow); break;
      case qvleNormal: break;
    }

  const COLORREF textColor = ColorToRGB(Enabled ? TextColor : clBtnShadow);
  const COLORREF highlight = ColorToRGB(clBtnHighlight), buttonShadow = ColorToRGB(clBtnShadow);
  switch (LabelStyle) {
    case qvlsRaised:
      writer.Write(x, y, highlight);
      if (Font && Font->GetSize() >= kRaisedShadowMinFontSize) writer.Write(x + 2, y + 2, buttonShadow);
      if (!glyphFill) writer.Write(x + 1, y + 1, textColor);
      break;
    case qvlsLowered:
      writer.Write(x + 2, y + 2, highlight);
      if (!glyphFill) writer.Write(x + 1, y + 1, buttonShadow);
      break;
    case qvlsOutLine:
      if (!trueType) {
        writer.Write(x, y, textColor);
        break;
      }
      BeginPath(dc);
      writer.Write(x, y);
      EndPath(dc);
      {
        HPEN pen = CreatePen(PS_SOLID, std::max(1, PenWidth), textColor);
        HGDIOBJ old = SelectObject(dc, pen);
        StrokePath(dc);
        SelectObject(dc, old);
        DeleteObject(pen);
      }
      break;
    case qvlsNormal:
      if (!glyphFill) writer.Write(x, y, textColor);
      break;
  }

  if (glyphFill) {
    const TPoint at = LabelStyle == qvlsNormal ? TPoint{x, y} : TPoint{x + 1, y + 1};
    BeginPath(dc);
    writer.Write(at.X, at.Y);
    EndPath(dc);
    SelectClipPath(dc, RGN_COPY);
    const Integer gw = Glyph->GetWidth(), gh = Glyph->GetHeight();
    for (Integer gx = x; gx < w; gx += gw)
      for (Integer gy = 0; gy < h; gy += gh) canvas->Draw(gx, gy, Glyph);
    SelectClipRgn(dc, nullptr);
  }

  BitBlt(ACanvas->GetHandle(), t.Left, t.Top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
}
