// The base painter: its neutral drawings and the glyph algorithms every painter shares.
#include "lookandfeel/qvLookAndFeelPainters.h"

#include <algorithm>

#include "platform/forms/ImgList.h"
#include "platform/os/GdiScopes.h"

TqvLookAndFeelPainterClass TqvCustomLookAndFeelPainter::Class() {
  static const TqvCustomLookAndFeelPainter painter;
  return &painter;
}

Integer ButtonStateToThemeState(TqvButtonState AState) {
  static const Integer kStates[] = {PBS_DEFAULTED, PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED};
  return kStates[AState];
}

Integer ScrollBarGripperThemePart(bool AHorizontal) { return AHorizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT; }

// ---------------------------------------------------------------------------------------------
// Shared glyphs

// The glyph polygons (arrows) are convex: drawn at the device pixels of a high-DPI window.
void TqvCustomLookAndFeelPainter::DrawPolygon(TqvCanvas* ACanvas, std::span<const TPoint> APoints, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->GetPen()->SetColor(AColor);
  if (APoints.empty()) return;
  TRect bounds{APoints[0].X, APoints[0].Y, APoints[0].X + 1, APoints[0].Y + 1};
  for (const TPoint& p : APoints)
    bounds = {std::min(bounds.Left, p.X), std::min(bounds.Top, p.Y), std::max(bounds.Right, p.X + 1),
              std::max(bounds.Bottom, p.Y + 1)};
  TDeviceGlyphScope glyph(ACanvas->GetHandle(), bounds);
  glyph.ConvexPolygon(APoints.data(), Integer(APoints.size()), ColorToRGB(AColor));
}

TqvArrowPoints TqvCustomLookAndFeelPainter::CalculateArrowPoints(TRect R, TqvArrowDirection ADirection,
                                                                 bool AProportional) {
  if (AProportional) {
    const Integer d = R.Width() - R.Height();
    if (d > 0) {
      R.Left += d / 2;
      R.Right -= d / 2;
    } else {
      R.Top -= d / 2;
      R.Bottom += d / 2;
    }
  }
  Integer W, H;
  if (ADirection == arrowUp || ADirection == arrowDown) {
    W = (R.Width() - 1) / 2;
    if (W % 2 == 0) ++W;
    H = W / 2 + 1;
  } else {
    H = (R.Height() - 1) / 2;
    if (H % 2 == 0) ++H;
    W = H / 2 + 1;
  }
  const Integer sx = R.Left + R.Right, sy = R.Top + R.Bottom;
  TqvArrowPoints p;
  switch (ADirection) {
    case arrowUp:
      p[0] = {(sx - 1) / 2, MulDiv(sy - H, 1, 2)};
      p[1] = {(sx - W) / 2, p[0].Y + H - 1};
      p[2] = {p[1].X + W - 1, p[1].Y};
      break;
    case arrowDown:
      p[0] = {(sx - W) / 2, MulDiv(sy - H, 1, 2)};
      p[1] = {p[0].X + W - 1, p[0].Y};
      p[2] = {(sx - 1) / 2, p[0].Y + H - 1};
      break;
    case arrowLeft:
      p[0] = {(sx - W) / 2, sy / 2};
      p[1] = {p[0].X + W - 1, MulDiv(sy - H, 1, 2)};
      p[2] = {p[1].X, p[1].Y + H - 1};
      break;
    case arrowRight:
      p[0] = {(sx - W) / 2, MulDiv(sy - H, 1, 2)};
      p[1] = {p[0].X + W - 1, sy / 2};
      p[2] = {p[0].X, p[0].Y + H - 1};
      break;
  }
  return p;
}

void TqvCustomLookAndFeelPainter::DrawCloseCross(TqvCanvas* ACanvas, const TRect& R, TColor AColor,
                                                 TqvButtonState AState) const {
  Integer s = GetFilterCloseButtonExtent().cx / 2;
  if (s % 2 == 0) --s;
  ACanvas->GetPen()->SetColor(AColor);
  const Integer shift = AState == qvbsPressed ? 1 : 0;
  for (Integer d = 0; d <= 1; ++d) {
    const Integer x = (R.Left + R.Right - s) / 2 + d + shift, y = (R.Top + R.Bottom - s) / 2 + shift;
    ACanvas->MoveTo(x, y);
    ACanvas->LineTo(x + s, y + s);
    ACanvas->MoveTo(x, y + s - 1);
    ACanvas->LineTo(x + s, y - 1);
  }
}

void TqvCustomLookAndFeelPainter::DrawExpandSign(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) {
  const Integer xm = (R.Left + R.Right) / 2, ym = (R.Top + R.Bottom) / 2, h = (R.Width() - 4) / 2;
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect({xm - h, ym, xm + h + 1, ym + 1});
  if (!AExpanded) ACanvas->FillRect({xm, ym - h, xm + 1, ym + h + 1});
}

void TqvCustomLookAndFeelPainter::DrawIndicatorKindImage(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind) {
  if (AKind == indNone) return;
  TImageList* images = GetIndicatorImages();
  const TPoint at{(R.Left + R.Right - images->GetWidth()) / 2, (R.Top + R.Bottom - images->GetHeight()) / 2};
  TDeviceGlyphScope glyph(ACanvas->GetHandle(), Bounds(at.X, at.Y, images->GetWidth(), images->GetHeight()));
  glyph.DrawImage(images->GetHandle(), AKind - 1, at);
}

void TqvCustomLookAndFeelPainter::DrawSortOrderTriangle(TqvCanvas* ACanvas, const TRect& R, TColor AShadowColor,
                                                        TColor ALightColor, bool AAscending) const {
  const TSize size = GetSortOrderMarkSize();
  const Integer W = size.cx, H = size.cy;
  const Integer s = AAscending ? 1 : -1;
  const Integer xm = (R.Left + R.Right) / 2 - (W % 2 == 0 ? 1 : 0);
  const Integer y0 = AAscending ? (R.Top + R.Bottom - H) / 2 : (R.Top + R.Bottom + H) / 2 - 1;
  const Integer a = W / 2, b = W % 2 == 0 ? a - 1 : a;
  TPen* pen = ACanvas->GetPen();
  pen->SetColor(ALightColor);
  ACanvas->MoveTo(xm + a, y0 + (H - 2) * s);
  ACanvas->LineTo(xm + a - b, y0);
  ACanvas->LineTo(xm + a, y0 + (H - 1) * s);
  if (!AAscending) pen->SetColor(AShadowColor);
  ACanvas->LineTo(xm - b, y0 + (H - 1) * s);
  if (AAscending) pen->SetColor(AShadowColor);
  ACanvas->LineTo(xm, y0);
  ACanvas->LineTo(xm - b, y0 + (H - (W & 1)) * s);
}

TqvArrowDirection TqvCustomLookAndFeelPainter::GetScrollButtonArrowDirection(bool AHorizontal,
                                                                             TqvScrollBarPart APart) {
  const bool first = APart == spFirstArrow;
  if (AHorizontal) return first ? arrowLeft : arrowRight;
  return first ? arrowUp : arrowDown;
}

void TqvCustomLookAndFeelPainter::DrawScrollBarPage(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) {
  TBrush* brush = ACanvas->GetBrush();
  brush->SetBitmap(GetScrollBarPatternBitmap(AState == qvbsPressed ? 1 : 0));
  ACanvas->FillRect(R);
  brush->SetBitmap(nullptr);
  brush->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------------------------
// Base operations

void TqvCustomLookAndFeelPainter::DrawFilterArrow(TqvCanvas* ACanvas, const TRect& R, TColor AColor) const {
  Integer W = R.Width() / 2;
  if (W % 2 == 0) ++W;
  const Integer H = W / 2 + 1;
  TPoint p0{(R.Left + R.Right - W) / 2, MulDiv(R.Top + R.Bottom - H, 1, 2)};
  const TPoint points[] = {p0, {p0.X + W - 1, p0.Y}, {(R.Left + R.Right) / 2, p0.Y + H - 1}};
  DrawPolygon(ACanvas, points, AColor);
}

void TqvCustomLookAndFeelPainter::DrawTextContent(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                  TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                                                  bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                                  TColor ATextColor, TColor AColor,
                                                  const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  if (!AOnDrawBackground || !AOnDrawBackground(ACanvas, R)) {
    ACanvas->SetBrushColor(AColor);
    ACanvas->FillRect(R);
  }
  if (AText.empty()) return;
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  static const TqvTextFlags kHorz[] = {tfLeft, tfRight, tfHCenter};
  static const TqvTextFlags kVert[] = {tfTop, tfBottom, tfVCenter};
  TqvTextFlags flags = kHorz[AAlignH] | kVert[AAlignV] | (AMultiLine ? tfWordBreak : tfSingleLine);
  if (AShowEndEllipsis) flags |= tfEndEllipsis;
  ACanvas->DrawText(AText, ATextR, flags, true);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

TRect TqvCustomLookAndFeelPainter::GetFooterCellContentBounds(const TRect& R) const {
  return qvDeflatedRect(R, GetFooterCellBorderWidth());
}

TRect TqvCustomLookAndFeelPainter::GetFooterCellTextBounds(const TRect& R) const {
  return qvDeflatedRect(GetFooterCellContentBounds(R), 2);
}

void TqvCustomLookAndFeelPainter::DrawArrow(TqvCanvas* ACanvas, const TRect& R, TqvArrowDirection ADirection,
                                            TColor AColor) const {
  DrawPolygon(ACanvas, CalculateArrowPoints(R, ADirection, true), AColor);
}

void TqvCustomLookAndFeelPainter::DrawArrowButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                  TqvArrowDirection ADirection, bool ADrawBorder) const {
  const TqvArrowPoints points = CalculateArrowPoints(R, ADirection, false);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  if (ADrawBorder) {
    DrawArrowBorder(ACanvas, R, AState);
  } else {
    ACanvas->SetBrushColor(GetButtonFaceColor(AState));
    ACanvas->FillRect(R);
  }
  DrawPolygon(ACanvas, points, GetButtonGlyphColor(AState));
}

void TqvCustomLookAndFeelPainter::DrawArrowBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const {
  ACanvas->SetBrushColor(GetButtonFaceColor(AState));
  ACanvas->FillRect(R);
  DrawButtonBorder(ACanvas, R, AState);
}

void TqvCustomLookAndFeelPainter::DrawScrollArrow(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                  TqvArrowDirection ADirection) const {
  TRect r = R;
  if (AState == qvbsPressed) {
    const Integer s = GetPressedButtonTextShift();
    r = qvOffsetRect(r, s, s);
  }
  TqvArrowPoints points = CalculateArrowPoints(r, ADirection, true);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  if (AState == qvbsDisabled) {
    TqvArrowPoints shifted = points;
    for (TPoint& p : shifted) p = {p.X + 1, p.Y + 1};
    DrawPolygon(ACanvas, shifted, clBtnHighlight);
    DrawPolygon(ACanvas, points, clBtnShadow);
  } else {
    DrawPolygon(ACanvas, points, GetButtonGlyphColor(AState));
  }
}

TRect TqvCustomLookAndFeelPainter::CalcButtonFocusRect(TqvCanvas*, const TRect& R) const {
  TRect r = qvDeflatedRect(R, 4);
  return r.IsEmpty() ? R : r;
}

TColor TqvCustomLookAndFeelPainter::GetButtonGlyphColor(TqvButtonState AState) const {
  return AState == qvbsDisabled ? clBtnShadow : clBtnText;
}

void TqvCustomLookAndFeelPainter::DrawButton(TqvCanvas* ACanvas, const TRect& R, const String& ACaption,
                                             TqvButtonState AState, bool ADrawBorder, TColor AColor,
                                             TColor ATextColor) const {
  TRect B = R;
  if (ADrawBorder) {
    DrawButtonBorder(ACanvas, B, AState);
    B = qvDeflatedRect(B, GetButtonBorderWidth(AState));
  }
  ACanvas->SetBrushColor(AColor == clDefault ? GetButtonFaceColor(AState) : AColor);
  ACanvas->FillRect(B);
  ACanvas->GetFont()->SetColor(ATextColor == clDefault ? GetButtonGlyphColor(AState) : ATextColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (B.Height() % 2 != 0) --B.Bottom;
  if (B.Height() < 18) --B.Top;
  if (AState == qvbsPressed) {
    const Integer s = GetPressedButtonTextShift();
    B = qvOffsetRect(B, s, s);
  }
  if (!ACaption.empty())
    ACanvas->DrawText(ACaption, B, tfHCenter | tfVCenter | tfSingleLine | tfShowPrefix, AState != qvbsDisabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void TqvCustomLookAndFeelPainter::DrawButtonFace(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, Integer,
                                                 Integer, TColor) const {
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

void TqvCustomLookAndFeelPainter::DrawSmallExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TColor AColor) const {
  ACanvas->FrameRect(R, clDefault);
  if (AColor != clDefault) {
    ACanvas->SetBrushColor(AColor);
    ACanvas->FillRect(qvDeflatedRect(R, 1));
  }
  DrawExpandSign(ACanvas, R, AExpanded, clBtnText);
}

TColor TqvCustomLookAndFeelPainter::GetCheckBoxBackgroundColor(TqvButtonState AState) const {
  return AState == qvbsPressed || AState == qvbsDisabled ? clBtnFace : clWindow;
}

void TqvCustomLookAndFeelPainter::DrawCheckMark(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                bool AChecked, TColor AColor) const {
  ACanvas->SetBrushColor(GetCheckBoxBackgroundColor(AState));
  ACanvas->FillRect(R);
  if (!AChecked) return;
  const Integer W = R.Width() - 2, H = R.Height() - 4, xm = (R.Left + R.Right) / 2 - 1;
  const Integer y = (R.Top + R.Bottom + H) / 2 - 2;
  // Three pixel rows thick, the rows stacked at the device pixels of a high-DPI window.
  ACanvas->GetPen()->SetColor(AColor);
  TDeviceGlyphScope glyph(ACanvas->GetHandle(), qvDeflatedRect(R, -1));
  const TPoint a = glyph.Map(TPoint{xm - W / 2 + 1, y - H / 2}), b = glyph.Map(TPoint{xm, y}),
               c = glyph.Map(TPoint{xm + W / 2 + 2, y - H});
  HDC dc = glyph.DC();
  TSavedDCScope saved(dc);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, ColorToRGB(AColor));
  for (Integer d = 0; d < glyph.Length(3); ++d) {
    MoveToEx(dc, a.X, a.Y + d, nullptr);
    LineTo(dc, b.X, b.Y + d);
    LineTo(dc, c.X, c.Y + d);
  }
}

void TqvCustomLookAndFeelPainter::DrawCheckBox(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                               bool AChecked) const {
  DrawCheckBoxFrame(ACanvas, R, AState);
  DrawCheckMark(ACanvas, qvDeflatedRect(R, GetCheckBoxBorderWidth()), AState, AChecked,
                AState == qvbsDisabled ? clGrayText : clBtnText);
}

void TqvCustomLookAndFeelPainter::DrawRadioButton(TqvCanvas* ACanvas, Integer X, Integer Y, TqvButtonState AState,
                                                  bool AChecked, bool AHighlightRing, TColor ABackgroundColor,
                                                  bool AHighlightAll) const {
  using qvLookAndFeelPainters::TqvRadioButtonImageList;
  TqvRadioButtonImageList* images = qvLookAndFeelPainters::GetRadioButtonImageList();
  images->BuildImages(AHighlightAll);
  images->Draw(ACanvas, TqvRadioButtonImageList::ImageIndex(AHighlightRing, GetStyleKind(), AChecked, AState), X, Y,
               ABackgroundColor);
}

void TqvCustomLookAndFeelPainter::DrawHeader(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                             TqvBorders ANeighbors, TqvBorders ABorders, TqvButtonState,
                                             TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                                             bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                             TColor ATextColor, TColor AColor,
                                             const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawHeaderFrame(ACanvas, R, ANeighbors, ABorders);
  DrawTextContent(ACanvas, GetHeaderContentBounds(R, ABorders), ATextR, AAlignH, AAlignV, AMultiLine,
                  AShowEndEllipsis, AText, AFont, ATextColor, AColor, AOnDrawBackground);
}

void TqvCustomLookAndFeelPainter::DrawHeaderEx(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                               TqvBorders ANeighbors, TqvBorders ABorders, TqvButtonState AState,
                                               TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                                               bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                               TColor ATextColor, TColor AColor,
                                               const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignH, AAlignV, AMultiLine, AShowEndEllipsis, AText,
             AFont, ATextColor, AColor, AOnDrawBackground);
}

void TqvCustomLookAndFeelPainter::DrawHeaderPressed(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->InvertRect(R);
}

TRect TqvCustomLookAndFeelPainter::GetHeaderContentBounds(const TRect& R, TqvBorders ABorders) const {
  const Integer w = GetHeaderBorderWidth();
  TRect r = R;
  if (ABorders & qvBorder(bLeft)) r.Left += w;
  if (ABorders & qvBorder(bTop)) r.Top += w;
  if (ABorders & qvBorder(bRight)) r.Right -= w;
  if (ABorders & qvBorder(bBottom)) r.Bottom -= w;
  return r;
}

Integer TqvCustomLookAndFeelPainter::GetHeaderHeightForFont(Integer AFontHeight) const {
  return 2 * GetHeaderBorderWidth() + AFontHeight + 4;
}

Integer TqvCustomLookAndFeelPainter::GetHeaderWidthForText(TqvCanvas* ACanvas, TqvBorders ABorders,
                                                           const String& AText, TFont* AFont) const {
  if (AFont) ACanvas->SetFont(AFont);
  Integer result = ACanvas->TextWidth(AText) + 4;
  if (ABorders & qvBorder(bLeft)) result += GetHeaderBorderWidth();
  if (ABorders & qvBorder(bRight)) result += GetHeaderBorderWidth();
  return result;
}

TSize TqvCustomLookAndFeelPainter::GetSortMarkAreaSize() const { return {16, GetSortOrderMarkSize().cy}; }

void TqvCustomLookAndFeelPainter::DrawFooterCell(TqvCanvas* ACanvas, const TRect& R, TAlignment AAlignH,
                                                 TqvAlignmentVert AAlignV, bool AMultiLine, const String& AText,
                                                 TFont* AFont, TColor ATextColor, TColor AColor,
                                                 const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawFooterCellBorder(ACanvas, R);
  DrawTextContent(ACanvas, GetFooterCellContentBounds(R), GetFooterCellTextBounds(R), AAlignH, AAlignV, AMultiLine,
                  false, AText, AFont, ATextColor, AColor, AOnDrawBackground);
}

void TqvCustomLookAndFeelPainter::DrawFilterActivateButton(TqvCanvas* ACanvas, const TRect& R,
                                                           TqvButtonState AState, bool AChecked) const {
  DrawCheckBox(ACanvas, R, AState, AChecked);
}

void TqvCustomLookAndFeelPainter::DrawFilterCloseButton(TqvCanvas* ACanvas, const TRect& R,
                                                        TqvButtonState AState) const {
  DrawButtonBorder(ACanvas, R, AState);
  const TRect face = qvDeflatedRect(R, GetButtonBorderWidth(qvbsNormal));
  ACanvas->SetBrushColor(GetButtonFaceColor(AState));
  ACanvas->FillRect(face);
  DrawCloseCross(ACanvas, face, GetButtonGlyphColor(AState), GetButtonGlyphState(AState));
}

void TqvCustomLookAndFeelPainter::DrawIndicatorItem(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind,
                                                    TColor AColor,
                                                    const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, R, R, 0, GetHeaderBorderSides(qvBorder(bTop) | qvBorder(bBottom)), qvbsNormal, taLeftJustify,
             vaTop, false, false, "", nullptr, clNone, AColor, AOnDrawBackground);
  DrawIndicatorKindImage(ACanvas, R, AKind);
}

void TqvCustomLookAndFeelPainter::DrawIndicatorItemEx(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind,
                                                      TColor AColor,
                                                      const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawHeaderEx(ACanvas, R, R, 0, qvAllBorders, qvbsNormal, taLeftJustify, vaTop, false, false, "", nullptr, clNone,
               AColor, AOnDrawBackground);
  DrawIndicatorKindImage(ACanvas, R, AKind);
}
