// The track bar's layout and drawing: tick space, thumb and track sizes, the pixels a value
// takes, the ticks at the multiples of the frequency, and the track, selection, ticks and thumb
// drawn on a bitmap of the content area.
#include <algorithm>
#include <cmath>
#include <limits>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvTrackBar.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr Integer kMinThumbCross = 10, kMaxThumbCross = 21;
// The thumb area stops this far from the content's ends.
constexpr Integer kThumbAreaMargin = 7;
constexpr Integer kTextEscapementVertical = 900;
// Ticks closer than this (in pixels) would merge; the denser ones are left out.
constexpr double kMinTickSpacing = 2;

// The smallest multiple of AStep at or above AValue.
Int64 CeilToMultiple(Int64 AValue, Int64 AStep) {
  const Int64 q = AValue / AStep;
  return (q * AStep < AValue ? q + 1 : q) * AStep;
}

Integer EvenLength(Integer ALength, bool AVertical) {
  if (ALength % 2 == 0) return ALength;
  return AVertical ? ALength - 1 : ALength + 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Layout

TqvCustomTrackBarViewInfo::TqvCustomTrackBarViewInfo()
    : FBitmap(MakeOwned<TBitmap>()), FBitmapCanvas(MakeOwned<TqvCanvas>(FBitmap->GetCanvas())) {
  FBitmap->SetPixelFormat(pf32bit);
}

TqvCustomTrackBarViewInfo::~TqvCustomTrackBarViewInfo() = default;

void TqvCustomTrackBarViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  ContentOrigin = Point(ContentOrigin.X + DX, ContentOrigin.Y + DY);
  FocusRect = qvOffsetRect(FocusRect, DX, DY);
}

Integer TqvCustomTrackBarViewInfo::TickSpace(bool ATopLeft, TqvCanvas* ACanvas) const {
  const bool hasTicks = TickMarks == qvtmBoth || TickMarks == (ATopLeft ? qvtmTopLeft : qvtmBottomRight);
  Integer space = 0;
  if (hasTicks) {
    if (TickType == tbttTicks)
      space = TickSize + 1;
    else {
      if (Font) ACanvas->SetFont(Font);
      const bool agree = (Orientation == tboVertical) == (TextOrientation == tbtoVertical);
      const String min = IntToStr(Min), max = IntToStr(Max);
      space = agree ? ACanvas->TextHeight(min) : ACanvas->TextWidth(min.size() > max.size() ? min : max);
    }
  }
  return BorderWidth == 0 ? space + 1 : space;
}

void TqvCustomTrackBarViewInfo::CalculateLayout(TqvCanvas* ACanvas) {
  const bool vertical = IsVertical();
  ContentOrigin = ClientRect.TopLeft();
  ContentRect = Rect(0, 0, std::max(0, ClientRect.Width()), std::max(0, ClientRect.Height()));
  const Integer crossSize = vertical ? ContentRect.Width() : ContentRect.Height();
  const Integer alongSize = vertical ? ContentRect.Height() : ContentRect.Width();
  const Integer border = std::min(BorderWidth, std::min(ContentRect.Width(), ContentRect.Height()) / 2);
  // Rectangles from along-axis and cross-axis extents.
  auto make = [vertical](Integer along0, Integer along1, Integer cross0, Integer cross1) {
    return vertical ? Rect(cross0, along0, cross1, along1) : Rect(along0, cross0, along1, cross1);
  };

  const Integer spaceTopLeft = TickSpace(true, ACanvas), spaceBottomRight = TickSpace(false, ACanvas);
  const Integer avail = crossSize - spaceTopLeft - spaceBottomRight;
  Integer size = std::clamp(avail, kMinThumbCross, kMaxThumbCross);
  const bool customRect = ThumbType == qvttCustom && Properties && Properties->OnGetThumbRect;
  TRect custom{};
  if (customRect) {
    Properties->OnGetThumbRect(Properties, custom);
    size = std::max(size, vertical ? custom.Width() : custom.Height());
  }
  const Integer trackSize = AutoSize ? size / 2 : TrackSize;

  const Integer areaCross = (avail - size) / 2 + spaceTopLeft;
  const Integer alongStart = border + kThumbAreaMargin, alongEnd = alongSize - border - kThumbAreaMargin;
  ThumbArea = make(alongStart, alongEnd, areaCross, areaCross + size);
  const Integer trackCross = areaCross + (size - trackSize) / 2;
  TrackRect = make(alongStart, alongEnd, trackCross, trackCross + trackSize);

  if (customRect) {
    ThumbLength = vertical ? custom.Height() : custom.Width();
    ThumbCrossSize = vertical ? custom.Width() : custom.Height();
  } else if (AutoSize) {
    ThumbLength = EvenLength(trackSize, vertical);
    ThumbCrossSize = 2 * ThumbLength - 1;
  } else {
    ThumbLength = ThumbWidth;
    ThumbCrossSize = ThumbHeight - 1;
  }
  const double range = std::max(1.0, double(Max) - double(Min));
  PixelsPerValue = double(alongEnd - alongStart - ThumbLength) / range;

  Integer thumbAlong = Integer(std::trunc((double(Position) - Min) * PixelsPerValue + alongStart));
  if (Themed) ++thumbAlong;
  Integer thumbCross = trackSize / 2 + trackCross - ThumbCrossSize / 2;
  Integer thumbCrossSize = ThumbCrossSize;
  if (vertical && TickMarks == qvtmTopLeft) {
    --thumbCross;
    --thumbCrossSize;
  }
  ThumbRect = make(thumbAlong, thumbAlong + 2 * (ThumbLength / 2), thumbCross, thumbCross + thumbCrossSize);

  const Integer start = std::clamp(SelectionStart, Min, std::max(Min, Max));
  const Integer end = std::clamp(SelectionEnd, Min, std::max(Min, Max));
  SelectionShown = start < end;
  SelectionRect = TRect{};
  if (SelectionShown) {
    const Integer from = Integer(std::trunc((double(start) - Min) * PixelsPerValue + alongStart)) + ThumbLength / 2;
    const Integer to = Integer(std::trunc((double(end) - Min) * PixelsPerValue + alongStart)) + ThumbLength / 2 + 1;
    SelectionRect = make(from, to, trackCross + 2, trackCross + trackSize - (vertical ? 2 : 1));
  }
}

Integer TqvCustomTrackBarViewInfo::ValueCoordinate(Int64 AValue) const {
  const Integer trackStart = IsVertical() ? TrackRect.Top : TrackRect.Left;
  return Integer(std::trunc((double(AValue) - Min) * PixelsPerValue)) + trackStart + ThumbLength / 2;
}

std::vector<TqvTrackBarTick> TqvCustomTrackBarViewInfo::GetTicks() const {
  std::vector<TqvTrackBarTick> ticks;
  const Integer endLength = TickSize + TickSize / 2;
  ticks.push_back({Min, ValueCoordinate(Min), endLength});
  if (Frequency > 0 && PixelsPerValue > 0) {
    // Only the multiples of the frequency, at least kMinTickSpacing pixels apart, so that
    // dense ticks stay apart instead of merging into a bar.
    Int64 step = Frequency;
    const double spacing = PixelsPerValue * double(step);
    if (spacing < kMinTickSpacing) step *= Int64(std::ceil(kMinTickSpacing / spacing));
    const Integer first = ValueCoordinate(Min), last = ValueCoordinate(Max);
    for (Int64 v = CeilToMultiple(Int64(Min) + 1, step); v < Max; v += step) {
      const Integer c = ValueCoordinate(v);
      if (c - first >= kMinTickSpacing && last - c >= kMinTickSpacing) ticks.push_back({v, c, TickSize});
    }
  }
  if (Max != Min) ticks.push_back({Max, ValueCoordinate(Max), endLength});
  return ticks;
}

bool TqvCustomTrackBarViewInfo::ShowsNumber(const TqvTrackBarTick& ATick) const {
  if (TickType == tbttNumbers) return true;
  return TickType == tbttValueNumber && (ATick.Value == Min || ATick.Value == Max || ATick.Value == Position);
}

bool TqvCustomTrackBarViewInfo::ValueAtPoint(const TPoint& P, bool ACentreOnThumb, Integer& AValue) const {
  if (PixelsPerValue <= 0) return false;
  const bool vertical = IsVertical();
  const Integer coordinate = (vertical ? P.Y - ContentOrigin.Y : P.X - ContentOrigin.X);
  const Integer trackStart = vertical ? TrackRect.Top : TrackRect.Left;
  double value;
  if (ACentreOnThumb)
    value = double(Round((coordinate - ThumbLength / 2.0 - trackStart) / PixelsPerValue)) + Min;
  else
    value = std::trunc((coordinate - trackStart) / PixelsPerValue) + Min;
  AValue = Integer(std::clamp(value, double(std::numeric_limits<Integer>::min()), double(std::numeric_limits<Integer>::max())));
  return true;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TqvCustomTrackBarViewInfo::Paint(TqvCanvas* ACanvas) {
  inherited::Paint(ACanvas);
  if (ContentRect.IsEmpty()) return;
  FBitmap->SetSize(ContentRect.Width(), ContentRect.Height());
  HDC dc = FBitmapCanvas->GetHandle();
  if (Transparent)
    BitBlt(dc, 0, 0, ContentRect.Width(), ContentRect.Height(), ACanvas->GetHandle(), ContentOrigin.X,
           ContentOrigin.Y, SRCCOPY);
  else {
    FBitmapCanvas->SetBrushColor(BackgroundColor);
    FBitmapCanvas->FillRect(ContentRect);
  }
  DrawTrackBar(FBitmapCanvas.get());
  BitBlt(ACanvas->GetHandle(), ContentOrigin.X, ContentOrigin.Y, ContentRect.Width(), ContentRect.Height(), dc, 0, 0,
         SRCCOPY);
}

void TqvCustomTrackBarViewInfo::DrawTrackBar(TqvCanvas* ACanvas) {
  if (ShowTrack) {
    DrawTrack(ACanvas);
    if (SelectionShown) DrawSelection(ACanvas);
  }
  if (ShowTicks) DrawTicks(ACanvas);
  switch (ThumbType) {
    case qvttRegular: DrawThumb(ACanvas); break;
    case qvttCustom:
      if (Properties && Properties->OnDrawThumb) Properties->OnDrawThumb(Properties, ACanvas, ThumbRect);
      break;
    case qvttNone: break;
  }
}

void TqvCustomTrackBarViewInfo::DrawTrack(TqvCanvas* ACanvas) {
  if (TrackRect.IsEmpty()) return;
  if (Themed) {
    DrawThemeBackground(OpenTheme(totTrackBar), ACanvas->GetHandle(), IsVertical() ? TKP_TRACKVERT : TKP_TRACK, 1,
                        &TrackRect, nullptr);
    return;
  }
  ACanvas->SetBrushColor(TrackColor);
  ACanvas->FillRect(TrackRect);
  TRect r = TrackRect;
  --r.Right;
  TRect inner;
  switch (LookAndFeelKind) {
    case lfFlat:
      DrawTwoColorFrame(ACanvas, r, clBtnShadow, inner, clWindow);
      DrawTwoColorFrame(ACanvas, inner, clBtnFace, inner, clBtnFace);
      break;
    case lfStandard:
      DrawTwoColorFrame(ACanvas, r, clBtnShadow, inner, clWindow);
      DrawTwoColorFrame(ACanvas, inner, clWindowFrame, inner, clBtnFace);
      break;
    case lfUltraFlat: DrawTwoColorFrame(ACanvas, r, clWindowFrame, inner, clWindowFrame); break;
  }
}

void TqvCustomTrackBarViewInfo::DrawSelection(TqvCanvas* ACanvas) {
  ACanvas->SetBrushColor(SelectionColor);
  ACanvas->FillRect(SelectionRect);
}

void TqvCustomTrackBarViewInfo::DrawTickLine(TqvCanvas* ACanvas, const TqvTrackBarTick& ATick) {
  const bool vertical = IsVertical();
  const bool before = TickMarks == qvtmBoth || TickMarks == qvtmTopLeft;
  const bool after = TickMarks == qvtmBoth || TickMarks == qvtmBottomRight;
  const Integer c = ATick.Coordinate;
  if (vertical) {
    if (after) {
      ACanvas->MoveTo(ThumbRect.Right + 2, c);
      ACanvas->LineTo(ThumbRect.Right + 2 + ATick.Length, c);
    }
    if (before) {
      ACanvas->MoveTo(ThumbRect.Left - 1 - ATick.Length, c);
      ACanvas->LineTo(ThumbRect.Left - 1, c);
    }
    return;
  }
  if (after) {
    ACanvas->MoveTo(c, ThumbRect.Bottom + 2);
    ACanvas->LineTo(c, ThumbRect.Bottom + 2 + ATick.Length);
  }
  if (before) {
    ACanvas->MoveTo(c, ThumbRect.Top - 1 - ATick.Length);
    ACanvas->LineTo(c, ThumbRect.Top - 1);
  }
}

void TqvCustomTrackBarViewInfo::DrawTickNumber(TqvCanvas* ACanvas, const TqvTrackBarTick& ATick) {
  const String text = IntToStr(Integer(ATick.Value));
  HDC dc = ACanvas->GetHandle();
  SIZE extent{};
  // Measured upright: a turned font measures its own run.
  TFont defaults;
  const HGDIOBJ old = SelectObject(dc, (Font ? Font : &defaults)->GetHandle());
  GetTextExtentPoint32(dc, text.data(), Integer(text.size()), &extent);
  SelectObject(dc, old);
  const Integer tw = extent.cx, th = extent.cy, boxW = tw + 2, boxH = th + 2;
  const bool verticalText = TextOrientation == tbtoVertical;
  const bool before = TickMarks == qvtmBoth || TickMarks == qvtmTopLeft;
  const bool after = TickMarks == qvtmBoth || TickMarks == qvtmBottomRight;
  const Integer c = ATick.Coordinate;
  auto out = [&](Integer x, Integer y) { TextOut(dc, x, y, text.data(), Integer(text.size())); };
  // A number centred on its tick moves in to stay whole at the ends of the content.
  auto inside = [](Integer AStart, Integer ASize, Integer AExtent) {
    return std::clamp(AStart, 0, std::max(AExtent - ASize, 0));
  };
  const Integer width = ContentRect.Width(), height = ContentRect.Height();
  if (!IsVertical()) {
    if (!verticalText) {
      const Integer left = inside(c - boxW / 2, boxW, width) + 1;
      if (after) out(left, ThumbRect.Bottom + 1 + 1);
      if (before) out(left, ThumbRect.Top - 1 - boxH + 1);
    } else {
      const Integer x = inside(c - (th / 2 - 1), th, width);
      if (after) out(x, ThumbRect.Bottom + tw + 1);
      if (before) out(x, ThumbRect.Top - 1);
    }
    return;
  }
  if (!verticalText) {
    const Integer top = inside(c - boxH / 2, boxH, height) + 1;
    if (after) out(ThumbRect.Right + 2 + 1, top);
    if (before) out(ThumbRect.Left - 1 - boxW + 1, top);
  } else {
    const Integer y = inside(c + tw / 2 - tw, tw, height) + tw;
    if (after) out(ThumbRect.Right + 2, y);
    if (before) out(ThumbRect.Left - 1 - th, y);
  }
}

void TqvCustomTrackBarViewInfo::DrawTicks(TqvCanvas* ACanvas) {
  TFont defaults;
  TFont* font = TextOrientation == tbtoVertical ? FVerticalFont.Get(Font, kTextEscapementVertical)
                                                : (Font ? Font : &defaults);
  ACanvas->GetPen()->SetColor(TickColor);
  ACanvas->SetBrushColor(clBtnFace);
  ACanvas->GetCanvas()->RequiredState(csHandleValid | csPenValid | csBrushValid);
  HDC dc = ACanvas->GetHandle();
  const HGDIOBJ oldFont = SelectObject(dc, font->GetHandle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(TextColor));
  for (const TqvTrackBarTick& tick : GetTicks()) {
    if (ShowsNumber(tick))
      DrawTickNumber(ACanvas, tick);
    else
      DrawTickLine(ACanvas, tick);
  }
  SelectObject(dc, oldFont);
}

void TqvCustomTrackBarViewInfo::DrawThumb(TqvCanvas* ACanvas) {
  if (ThumbRect.IsEmpty()) return;
  const bool vertical = IsVertical();
  if (Themed) {
    static constexpr Integer parts[3][2] = {{TKP_THUMB, TKP_THUMBVERT},
                                            {TKP_THUMBTOP, TKP_THUMBLEFT},
                                            {TKP_THUMBBOTTOM, TKP_THUMBRIGHT}};
    DrawThemeBackground(OpenTheme(totTrackBar), ACanvas->GetHandle(), parts[TickMarks][vertical ? 1 : 0], ThumbState,
                        &ThumbRect, nullptr);
    return;
  }
  const TColor face = ThumbState == tbtsHot || ThumbState == tbtsPressed ? ThumbHighlightColor
                      : ThumbState == tbtsDisabled                       ? clBtnShadow
                                                                         : ThumbColor;
  if (TickMarks == qvtmBottomRight) {
    DrawTrackBarThumbBottomRight(ACanvas, ThumbRect, vertical, face, LookAndFeelKind, ThumbLength);
    return;
  }
  if (TickMarks == qvtmTopLeft) {
    DrawTrackBarThumbTopLeft(ACanvas, ThumbRect, vertical, face, LookAndFeelKind, ThumbLength);
    return;
  }
  TRect inner;
  switch (LookAndFeelKind) {
    case lfFlat: DrawTwoColorFrame(ACanvas, ThumbRect, clWindow, inner, clBtnShadow); break;
    case lfStandard:
      DrawTwoColorFrame(ACanvas, ThumbRect, clWindow, inner, clWindowFrame);
      DrawTwoColorFrame(ACanvas, inner, clBtnFace, inner, clBtnShadow);
      break;
    case lfUltraFlat: DrawTwoColorFrame(ACanvas, ThumbRect, clWindowFrame, inner, clWindowFrame); break;
  }
  ACanvas->SetBrushColor(face);
  ACanvas->FillRect(Rect(inner.Left, inner.Top, inner.Right + 1, inner.Bottom + 1));
}
