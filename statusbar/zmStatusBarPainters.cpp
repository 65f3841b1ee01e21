// The status bar painters: the base (frame and grip), standard, flat, gradient and themed kinds.
#include "lookandfeel/zmThemeManager.h"
#include "platform/os/Gdi.h"
#include "statusbar/zmOffice11.h"
#include "statusbar/zmStatusBar.h"

namespace {

// A one-pixel line from (X1, Y1) up to, not including, (X2, Y2).
void Line(TqvCanvas* ACanvas, TColor AColor, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  ACanvas->GetPen()->SetColor(AColor);
  ACanvas->MoveTo(X1, Y1);
  ACanvas->LineTo(X2, Y2);
}

void Fill(TqvCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

// The rectangle of ASize at R's bottom-right corner.
TRect BottomRight(const TRect& R, TSize ASize) { return {R.Right - ASize.cx, R.Bottom - ASize.cy, R.Right, R.Bottom}; }

// The platform's size grip image; its button-face pixels leave the background as it was.
void DrawPlatformSizeGrip(TqvCanvas* ACanvas, const TRect& R) {
  TBitmap grip;
  grip.SetPixelFormat(pf32bit);
  grip.SetSize(R.Width(), R.Height());
  RECT bounds{0, 0, R.Width(), R.Height()};
  DrawFrameControl(grip.GetCanvas()->GetHandle(), &bounds, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  grip.SetTransparentColor(clBtnFace);
  grip.SetTransparent(true);
  ACanvas->Draw(R.Left, R.Top, &grip);
}

HTHEME StatusTheme() { return OpenTheme(totStatus); }

TSize ThemePartSize(Integer APart, TSize AFallback) {
  HTHEME theme = StatusTheme();
  SIZE size{};
  if (!theme || FAILED(GetThemePartSize(theme, nullptr, APart, 0, nullptr, TS_TRUE, &size))) return AFallback;
  return size;
}

void DrawThemePart(TqvCanvas* ACanvas, Integer APart, const TRect& R) {
  if (HTHEME theme = StatusTheme()) DrawThemeBackground(theme, ACanvas->GetHandle(), APart, 0, &R, nullptr);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Base

TzmStatusBarPainterClass TzmStatusBarPainter::Class() {
  static const TzmStatusBarPainter painter;
  return &painter;
}

void TzmStatusBarPainter::DrawBorder(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, TRect& R) const {
  FillBackground(ABar, ACanvas, Rect(R.Left, R.Top, R.Right, R.Top + GetTopMargin()));
  R.Top += GetTopMargin();
  const Integer width = ABar->GetBorderWidth();
  if (width < 1) return;
  const TColor color = ABar->GetColor();
  Fill(ACanvas, Rect(R.Left, R.Top, R.Right, R.Top + width), color);
  R.Top += width;
  Fill(ACanvas, Rect(R.Left, R.Bottom - width, R.Right, R.Bottom), color);
  R.Bottom -= width;
  Fill(ACanvas, Rect(R.Left, R.Top, R.Left + width, R.Bottom), color);
  R.Left += width;
  Fill(ACanvas, Rect(R.Right - width, R.Top, R.Right, R.Bottom), color);
  R.Right -= width;
}

void TzmStatusBarPainter::DrawEmptyPanel(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const {
  TRect r = R;
  DrawPanelBorder(ABar, zmpbLowered, r, ACanvas);
  DrawPanelBackground(ABar, nullptr, r, ACanvas);
}

void TzmStatusBarPainter::DrawPanel(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel, const TRect& R,
                                    TqvCanvas* ACanvas) const {
  if (!APanel) return DrawEmptyPanel(ABar, ACanvas, R);
  if (!APanel->GetVisible()) return DrawPanelBackground(ABar, nullptr, R, ACanvas);
  TRect r = R;
  DrawPanelBorder(ABar, GetPanelBevel(APanel), r, ACanvas);
  if (APanel->OnDrawPanel) {
    bool done = false;
    APanel->OnDrawPanel(APanel, ACanvas, r, done);
    if (done) return;
  }
  if (TzmStatusBarPanelStyle* style = APanel->GetPanelStyle())
    style->DrawContent(ACanvas, r, this);
  else
    DrawPanelBackground(ABar, APanel, r, ACanvas);
}

void TzmStatusBarPainter::DrawPanelBorder(TzmCustomStatusBar*, TzmStatusBarPanelBevel, TRect&, TqvCanvas*) const {}

void TzmStatusBarPainter::DrawPanelSeparator(TzmCustomStatusBar*, TqvCanvas*, const TRect&) const {}

void TzmStatusBarPainter::DrawSizeGrip(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const {
  const TRect r = qvDeflatedRect(R, 1);
  DrawPlatformSizeGrip(ACanvas, BottomRight(r, GetSizeGripSize()));
  const TSize edge = GetSizeGripEdgeSize();
  Line(ACanvas, ABar->GetColor(), r.Right - edge.cx, r.Bottom, r.Right + 1, r.Bottom);
  Line(ACanvas, ABar->GetColor(), r.Right, r.Bottom - edge.cy, r.Right, r.Bottom);
}

void TzmStatusBarPainter::FillBackground(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const {
  Fill(ACanvas, R, ABar->GetColor());
}

void TzmStatusBarPainter::DrawPanelBackground(TzmCustomStatusBar*, TzmStatusBarPanel*, const TRect&, TqvCanvas*) const {}

TzmStatusBarPanelBevel TzmStatusBarPainter::GetPanelBevel(TzmStatusBarPanel* APanel) const {
  if (!APanel) return zmpbLowered;
  if (TzmStatusBarPanelStyle* style = APanel->GetPanelStyle(); style && style->HasOwnBorders()) return zmpbNone;
  return APanel->GetBevel();
}

TColor TzmStatusBarPainter::GetPanelColor(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel) const {
  if (APanel && APanel->GetPanelStyle()) return APanel->GetPanelStyle()->GetColor();
  return ABar->GetColor();
}

// ---------------------------------------------------------------------------------------------
// Standard and flat

TzmStatusBarPainterClass TzmStatusBarStandardPainter::Class() {
  static const TzmStatusBarStandardPainter painter;
  return &painter;
}

void TzmStatusBarStandardPainter::DrawPanelBorder(TzmCustomStatusBar*, TzmStatusBarPanelBevel ABevel, TRect& R,
                                                  TqvCanvas* ACanvas) const {
  if (ABevel == zmpbNone) return;
  const bool lowered = ABevel == zmpbLowered;
  ACanvas->DrawEdge(R, lowered, lowered);
  R = qvDeflatedRect(R, 1);
}

void TzmStatusBarStandardPainter::DrawPanelSeparator(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas,
                                                     const TRect& R) const {
  Fill(ACanvas, R, ABar->GetColor());
}

void TzmStatusBarStandardPainter::DrawPanelBackground(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel,
                                                      const TRect& R, TqvCanvas* ACanvas) const {
  Fill(ACanvas, R, GetPanelColor(ABar, APanel));
}

TzmStatusBarPainterClass TzmStatusBarFlatPainter::Class() {
  static const TzmStatusBarFlatPainter painter;
  return &painter;
}

void TzmStatusBarFlatPainter::DrawPanelBorder(TzmCustomStatusBar*, TzmStatusBarPanelBevel ABevel, TRect& R,
                                              TqvCanvas* ACanvas) const {
  if (ABevel == zmpbNone) return;
  ACanvas->FrameRect(R, clBtnShadow);
  R = qvDeflatedRect(R, 1);
}

// ---------------------------------------------------------------------------------------------
// Gradient

TzmStatusBarPainterClass TzmStatusBarOffice11Painter::Class() {
  static const TzmStatusBarOffice11Painter painter;
  return &painter;
}

void TzmStatusBarOffice11Painter::DrawBorder(TzmCustomStatusBar*, TqvCanvas* ACanvas, TRect& R) const {
  const TzmOffice11Colors& colors = zmOffice11::GetColors();
  zmOffice11::FillGradientRect(ACanvas, R, colors.BarColor1, false, colors.BarColor2);
  R = qvDeflatedRect(R, 1);
}

void TzmStatusBarOffice11Painter::DrawPanelBorder(TzmCustomStatusBar*, TzmStatusBarPanelBevel ABevel, TRect& R,
                                                  TqvCanvas* ACanvas) const {
  if (ABevel == zmpbNone) return;
  ACanvas->FrameRect(R, zmOffice11::MixColors(zmOffice11::GetColors().BarColor2, clBlack, 90));
  R = qvDeflatedRect(R, 1);
}

void TzmStatusBarOffice11Painter::DrawPanelSeparator(TzmCustomStatusBar*, TqvCanvas* ACanvas, const TRect& R) const {
  const TzmOffice11Colors& colors = zmOffice11::GetColors();
  const TRect r{R.Left, R.Top + 2, R.Right, R.Bottom - 2};
  Line(ACanvas, colors.SeparatorDarkColor, r.Left, r.Top, r.Left, r.Bottom - 1);
  Line(ACanvas, colors.SeparatorLightColor, r.Left + 1, r.Top + 1, r.Left + 1, r.Bottom);
}

void TzmStatusBarOffice11Painter::DrawSizeGrip(TzmCustomStatusBar*, TqvCanvas* ACanvas, const TRect& R) const {
  const TRect r{R.Left, R.Top + 1, R.Right, R.Bottom - 1};
  zmOffice11::DrawSizeGripDots(ACanvas, BottomRight(r, GetSizeGripSize()));
}

// ---------------------------------------------------------------------------------------------
// Themed

TzmStatusBarPainterClass TzmStatusBarXPPainter::Class() {
  static const TzmStatusBarXPPainter painter;
  return &painter;
}

TSize TzmStatusBarXPPainter::GetSizeGripSize() const {
  return ThemePartSize(SP_GRIPPER, TzmStatusBarPainter::GetSizeGripSize());
}

Integer TzmStatusBarXPPainter::GetSeparatorSize() const {
  return ThemePartSize(SP_PANE, {TzmStatusBarPainter::GetSeparatorSize(), 0}).cx;
}

void TzmStatusBarXPPainter::DrawBorder(TzmCustomStatusBar*, TqvCanvas* ACanvas, TRect& R) const {
  DrawThemePart(ACanvas, SP_BACKGROUND, R);
  R.Top += GetTopMargin();
}

void TzmStatusBarXPPainter::DrawPanelSeparator(TzmCustomStatusBar*, TqvCanvas* ACanvas, const TRect& R) const {
  DrawThemePart(ACanvas, SP_PANE, R);
}

void TzmStatusBarXPPainter::DrawPanelBackground(TzmCustomStatusBar*, TzmStatusBarPanel* APanel, const TRect& R,
                                                TqvCanvas* ACanvas) const {
  TzmStatusBarPanelStyle* style = APanel ? APanel->GetPanelStyle() : nullptr;
  if (style && style->IsColorAssigned()) Fill(ACanvas, R, style->GetColor());
}

void TzmStatusBarXPPainter::DrawSizeGrip(TzmCustomStatusBar*, TqvCanvas* ACanvas, const TRect& R) const {
  const TRect r{R.Left + 1, R.Top, R.Right - 1, R.Bottom};
  DrawThemePart(ACanvas, SP_GRIPPER, BottomRight(r, GetSizeGripSize()));
}
