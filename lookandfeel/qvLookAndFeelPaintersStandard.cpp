// The standard (3D) painter.
#include "lookandfeel/qvLookAndFeelPainters.h"
#include "platform/os/Gdi.h"

TqvLookAndFeelPainterClass TqvStandardLookAndFeelPainter::Class() {
  static const TqvStandardLookAndFeelPainter painter;
  return &painter;
}

void TqvStandardLookAndFeelPainter::PaintBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  ACanvas->DrawComplexFrame(qvDeflatedRect(R, 1), cl3DDkShadow, cl3DLight);
}

Integer TqvStandardLookAndFeelPainter::GetButtonBorderWidth(TqvButtonState AState) const {
  return AState == qvbsDefault ? 3 : 2;
}

void TqvStandardLookAndFeelPainter::DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R,
                                                     TqvButtonState AState) const {
  TRect r = R;
  if (AState == qvbsPressed) {
    ACanvas->FrameRect(r, clBlack);
    ACanvas->FrameRect(qvDeflatedRect(r, 1), clBtnShadow);
    return;
  }
  if (AState == qvbsDefault) {
    ACanvas->FrameRect(r, clBlack);
    r = qvDeflatedRect(r, 1);
  }
  ACanvas->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
  ACanvas->DrawComplexFrame(qvDeflatedRect(r, 1), cl3DLight, clBtnShadow);
}

void TqvStandardLookAndFeelPainter::PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                      TColor AColor) const {
  ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  ACanvas->DrawComplexFrame(qvDeflatedRect(R, 1), clBtnShadow, clBtnShadow, qvBorder(bRight) | qvBorder(bBottom));
  const TRect face{R.Left + 1, R.Top + 1, R.Right - 2, R.Bottom - 2};
  ACanvas->SetBrushColor(AColor == clDefault ? clBtnFace : AColor);
  ACanvas->FillRect(face);
  DrawExpandSign(ACanvas, face, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TqvStandardLookAndFeelPainter::DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState) const {
  ACanvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight);
  ACanvas->DrawComplexFrame(qvDeflatedRect(R, 1), clBtnShadow, clBtnHighlight);
}

void TqvStandardLookAndFeelPainter::DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders ANeighbors,
                                                    TqvBorders) const {
  ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  if (ANeighbors & qvBorder(bLeft)) {
    ACanvas->SetPixel(R.Left, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
  }
  if (ANeighbors & qvBorder(bRight)) {
    ACanvas->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
    ACanvas->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void TqvStandardLookAndFeelPainter::PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortOrderTriangle(ACanvas, R, clBtnShadow, clBtnHighlight, AAscending);
}

void TqvStandardLookAndFeelPainter::DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, false, false);
}

void TqvStandardLookAndFeelPainter::DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, true, true);
}

void TqvStandardLookAndFeelPainter::DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R,
                                                             TqvButtonState AState, bool AActive) const {
  const bool pressed = AState == qvbsPressed;
  ACanvas->DrawEdge(R, pressed, pressed);
  const TRect inside = qvDeflatedRect(R, 1);
  ACanvas->SetBrushColor(clBtnFace);
  ACanvas->FillRect(inside);
  DrawFilterArrow(ACanvas, inside, AActive ? clBlue : clBtnText);
}

void TqvStandardLookAndFeelPainter::DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide,
                                                 TqvBorders ABorders, bool AVertical) const {
  TRect r = R;
  TColor color = clBtnHighlight;
  if (AVertical) {
    if (ASide == 0) {
      r.Top += (ABorders & qvBorder(bTop)) ? 2 : 1;
      r.Bottom -= (ABorders & qvBorder(bBottom)) ? 2 : 1;
      ACanvas->SetPixel(r.Left + 1, r.Top - 1, clBtnHighlight);
      ACanvas->SetPixel(r.Left + 1, r.Bottom, clBtnHighlight);
    } else if ((ASide == 1 || ASide == 3) && (ABorders & qvBorder(bLeft))) {
      r.Left += 1;
    }
    if (ASide == 3) color = clBtnShadow;
  } else {
    if (ASide == 0 || ASide == 2) {
      if (ABorders & qvBorder(bTop)) r.Top += 2;
      if (ABorders & qvBorder(bBottom)) r.Bottom -= 1;
    } else if (ASide == 1) {
      r.Left += 1;
      r.Right -= 1;
      ACanvas->SetPixel(r.Left - 1, r.Top + 1, clBtnHighlight);
      ACanvas->SetPixel(r.Right, r.Top + 1, clBtnHighlight);
    }
    if (ASide == 2) color = clBtnShadow;
  }
  ACanvas->SetBrushColor(color);
  ACanvas->FillRect(r);
}

void TqvStandardLookAndFeelPainter::DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders,
                                                       bool) const {
  ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TqvStandardLookAndFeelPainter::DrawScrollBarButtonFrame(TqvCanvas* ACanvas, const TRect& R,
                                                             bool APressedArrow) {
  if (APressedArrow) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow);
    ACanvas->DrawComplexFrame(qvDeflatedRect(R, 1), clBtnFace, clBtnFace);
  } else {
    ACanvas->DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
    ACanvas->DrawComplexFrame(qvDeflatedRect(R, 1), clBtnHighlight, clBtnShadow);
  }
}

void TqvStandardLookAndFeelPainter::DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                      TqvScrollBarPart APart, TqvButtonState AState) const {
  if (R.IsEmpty() || (APart == spThumb && AState == qvbsDisabled)) return;
  if (AState == qvbsHot) AState = qvbsNormal;
  switch (APart) {
    case spThumb:
      DrawScrollBarButtonFrame(ACanvas, R, false);
      ACanvas->SetBrushColor(clBtnFace);
      ACanvas->FillRect(qvDeflatedRect(R, GetButtonBorderWidth(qvbsNormal)));
      break;
    case spFirstArrow:
    case spSecondArrow: {
      static const UINT kKinds[2][2] = {{DFCS_SCROLLUP, DFCS_SCROLLDOWN}, {DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}};
      const bool pressed = AState == qvbsPressed;
      UINT state = kKinds[AHorizontal][APart == spSecondArrow];
      if (AState == qvbsDisabled) state |= DFCS_INACTIVE;
      if (pressed) state |= DFCS_FLAT;
      RECT r = R;
      if (pressed) r = qvOffsetRect(r, 1, 1);
      DrawFrameControl(ACanvas->GetHandle(), &r, DFC_SCROLL, state);
      DrawScrollBarButtonFrame(ACanvas, R, pressed);
      break;
    }
    case spFirstPage:
    case spSecondPage: DrawScrollBarPage(ACanvas, R, AState); break;
    case spNone: break;
  }
}
