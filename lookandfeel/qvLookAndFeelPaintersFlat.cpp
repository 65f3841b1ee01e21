// The flat and ultra-flat painters.
#include "lookandfeel/qvLookAndFeelPainters.h"

TqvLookAndFeelPainterClass TqvFlatLookAndFeelPainter::Class() {
  static const TqvFlatLookAndFeelPainter painter;
  return &painter;
}

TqvLookAndFeelPainterClass TqvUltraFlatLookAndFeelPainter::Class() {
  static const TqvUltraFlatLookAndFeelPainter painter;
  return &painter;
}

namespace {

// Drawings the flat painter shares with the standard one.
TqvLookAndFeelPainterClass Standard() { return TqvStandardLookAndFeelPainter::Class(); }

void RaisedLine(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders = qvAllBorders) {
  ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void SunkenLine(TqvCanvas* ACanvas, const TRect& R) { ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Flat

void TqvFlatLookAndFeelPainter::PaintBorder(TqvCanvas* ACanvas, const TRect& R) const { SunkenLine(ACanvas, R); }

Integer TqvFlatLookAndFeelPainter::GetButtonBorderWidth(TqvButtonState AState) const {
  return AState == qvbsDefault ? 2 : 1;
}

void TqvFlatLookAndFeelPainter::DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const {
  if (AState == qvbsPressed) return SunkenLine(ACanvas, R);
  if (AState == qvbsDefault) {
    ACanvas->FrameRect(R, clBlack);
    return RaisedLine(ACanvas, qvDeflatedRect(R, 1));
  }
  RaisedLine(ACanvas, R);
}

void TqvFlatLookAndFeelPainter::PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                  TColor AColor) const {
  DrawButton(ACanvas, R, "", qvbsNormal, true, AColor, clDefault);
  DrawExpandSign(ACanvas, qvDeflatedRect(R, 1), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TqvFlatLookAndFeelPainter::DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const {
  SunkenLine(ACanvas, R);
  ACanvas->FrameRect(qvDeflatedRect(R, 1), GetCheckBoxBackgroundColor(AState));
}

void TqvFlatLookAndFeelPainter::DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders ANeighbors,
                                                TqvBorders ABorders) const {
  Standard()->DrawHeaderFrame(ACanvas, R, ANeighbors, ABorders);
}

void TqvFlatLookAndFeelPainter::PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortOrderTriangle(ACanvas, R, clBtnShadow, clBtnHighlight, AAscending);
}

void TqvFlatLookAndFeelPainter::DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const { RaisedLine(ACanvas, R); }

void TqvFlatLookAndFeelPainter::DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const {
  SunkenLine(ACanvas, R);
}

void TqvFlatLookAndFeelPainter::DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                         bool AActive) const {
  Standard()->DrawFilterDropDownButton(ACanvas, R, AState, AActive);
}

void TqvFlatLookAndFeelPainter::DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                                             bool AVertical) const {
  Standard()->DrawTabFrame(ACanvas, R, ASide, ABorders, AVertical);
}

void TqvFlatLookAndFeelPainter::DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders,
                                                   bool) const {
  RaisedLine(ACanvas, R, ABorders);
}

void TqvFlatLookAndFeelPainter::DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                  TqvScrollBarPart APart, TqvButtonState AState) const {
  if (R.IsEmpty() || (APart == spThumb && AState == qvbsDisabled)) return;
  if (AState == qvbsHot) AState = qvbsNormal;
  switch (APart) {
    case spFirstArrow:
    case spSecondArrow:
      DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
      DrawScrollArrow(ACanvas, qvDeflatedRect(R, GetButtonBorderWidth(qvbsNormal)), AState,
                      GetScrollButtonArrowDirection(AHorizontal, APart));
      break;
    case spThumb: DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault); break;
    case spFirstPage:
    case spSecondPage: DrawScrollBarPage(ACanvas, R, AState); break;
    case spNone: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Ultra-flat

void TqvUltraFlatLookAndFeelPainter::PaintBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, clBtnShadow);
}

Integer TqvUltraFlatLookAndFeelPainter::GetButtonBorderWidth(TqvButtonState AState) const {
  return AState == qvbsDefault ? 2 : 1;
}

TColor TqvUltraFlatLookAndFeelPainter::GetButtonFaceColor(TqvButtonState AState) const {
  if (AState == qvbsHot) return GetUltraFlatHotColor();
  if (AState == qvbsPressed) return GetUltraFlatPressedColor();
  return clBtnFace;
}

TRect TqvUltraFlatLookAndFeelPainter::CalcButtonFocusRect(TqvCanvas*, const TRect& R) const {
  TRect r = qvDeflatedRect(R, 3);
  return r.IsEmpty() ? R : r;
}

TColor TqvUltraFlatLookAndFeelPainter::GetButtonGlyphColor(TqvButtonState AState) const {
  if (AState == qvbsPressed) return clHighlightText;
  if (AState == qvbsDisabled) return clBtnShadow;
  return clBtnText;
}

void TqvUltraFlatLookAndFeelPainter::DrawButtonFace(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                    Integer ACount, Integer AIndex, TColor ABorderColor) const {
  TRect B{R.Left, R.Top + 1, R.Right, R.Bottom - 1};
  if (AIndex == 0) ++B.Left;
  if (AIndex == ACount - 1) --B.Right;
  if (AState == qvbsNormal || AState == qvbsDisabled) {
    ACanvas->FrameRect(B, ABorderColor);
    B = qvDeflatedRect(B, 1);
  } else {
    ACanvas->SetBrushColor(clHighlight);
    if (AIndex > 0) {
      ACanvas->FillRect({B.Left, B.Top, B.Left + 1, B.Bottom});
      ++B.Left;
    }
    if (AIndex < ACount - 1) {
      ACanvas->FillRect({B.Right - 1, B.Top, B.Right, B.Bottom});
      --B.Right;
    }
  }
  ACanvas->SetBrushColor(GetButtonFaceColor(AState));
  ACanvas->FillRect(B);
}

void TqvUltraFlatLookAndFeelPainter::DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R,
                                                      TqvButtonState AState) const {
  switch (AState) {
    case qvbsDefault:
      ACanvas->FrameRect(R, clWindowFrame);
      ACanvas->FrameRect(qvDeflatedRect(R, 1), clWindowFrame);
      break;
    case qvbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    default: ACanvas->FrameRect(R, clHighlight);
  }
}

void TqvUltraFlatLookAndFeelPainter::PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                       TColor AColor) const {
  ACanvas->FrameRect(R, clBtnShadow);
  ACanvas->SetBrushColor(AColor == clDefault ? clBtnFace : AColor);
  ACanvas->FillRect(qvDeflatedRect(R, 1));
  DrawExpandSign(ACanvas, qvDeflatedRect(R, 1), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TqvUltraFlatLookAndFeelPainter::DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R,
                                                       TqvButtonState AState) const {
  ACanvas->FrameRect(R, clBtnText);
  ACanvas->FrameRect(qvDeflatedRect(R, 1), GetCheckBoxBackgroundColor(AState));
}

void TqvUltraFlatLookAndFeelPainter::DrawHeaderEx(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                  TqvBorders ANeighbors, TqvBorders ABorders, TqvButtonState,
                                                  TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                                                  bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                                  TColor ATextColor, TColor AColor,
                                                  const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  DrawTextContent(ACanvas, R, qvDeflatedRect(ATextR, 1), AAlignH, AAlignV, AMultiLine, AShowEndEllipsis, AText, AFont,
                  ATextColor, AColor, AOnDrawBackground);
  DrawHeaderFrame(ACanvas, qvDeflatedRect(R, 1), ANeighbors, ABorders);
}

void TqvUltraFlatLookAndFeelPainter::DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders,
                                                     TqvBorders ABorders) const {
  const TqvBorders sides = (ABorders & (qvBorder(bLeft) | qvBorder(bTop))) | qvBorder(bRight) | qvBorder(bBottom);
  ACanvas->FrameRect(R, clBtnText, 1, sides);
}

void TqvUltraFlatLookAndFeelPainter::PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortOrderTriangle(ACanvas, R, clBtnShadow, clBtnShadow, AAscending);
}

TqvBorders TqvUltraFlatLookAndFeelPainter::GetHeaderBorderSides(TqvBorders ANeighbors) const {
  TqvBorders result = qvAllBorders;
  if (ANeighbors & qvBorder(bLeft)) result &= ~qvBorder(bLeft);
  if (ANeighbors & qvBorder(bTop)) result &= ~qvBorder(bTop);
  return result;
}

void TqvUltraFlatLookAndFeelPainter::DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, clBtnShadow, 1, qvBorder(bRight) | qvBorder(bBottom));
}

void TqvUltraFlatLookAndFeelPainter::DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, clBtnShadow);
}

void TqvUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R,
                                                              TqvButtonState AState, bool AActive) const {
  ACanvas->FrameRect(R, AState == qvbsNormal ? clBtnShadow : clHighlight);
  const TRect inside = qvDeflatedRect(R, 1);
  ACanvas->SetBrushColor(GetButtonFaceColor(AState));
  ACanvas->FillRect(inside);
  DrawFilterArrow(ACanvas, inside, AActive ? clBlue : GetButtonGlyphColor(AState));
}

void TqvUltraFlatLookAndFeelPainter::DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders,
                                                  bool AVertical) const {
  TRect r = R;
  const bool closing = AVertical ? ASide == 3 : ASide == 2;
  if (closing && !AVertical) r.Bottom -= GetTabBorderWidth(AVertical);
  ACanvas->SetBrushColor(closing ? clBtnText : clBtnShadow);
  ACanvas->FillRect(r);
}

void TqvUltraFlatLookAndFeelPainter::DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders,
                                                        bool AVertical) const {
  ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow, ABorders, GetTabBorderWidth(AVertical));
}

void TqvUltraFlatLookAndFeelPainter::DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                       TqvScrollBarPart APart, TqvButtonState AState) const {
  if (R.IsEmpty() || (APart == spThumb && AState == qvbsDisabled)) return;
  switch (APart) {
    case spFirstArrow:
    case spSecondArrow:
      DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
      DrawScrollArrow(ACanvas, R, AState, GetScrollButtonArrowDirection(AHorizontal, APart));
      break;
    case spThumb: DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault); break;
    case spFirstPage:
    case spSecondPage: DrawScrollBarPage(ACanvas, R, AState); break;
    case spNone: break;
  }
}
