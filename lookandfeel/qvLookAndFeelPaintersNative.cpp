// The native-theme painter: every drawing through the visual styles, with the standard drawing
// (or the base one) wherever the theme class does not open.
#include "lookandfeel/qvLookAndFeelPainters.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/os/Gdi.h"

TqvLookAndFeelPainterClass TqvWinXPLookAndFeelPainter::Class() {
  static const TqvWinXPLookAndFeelPainter painter;
  return &painter;
}

namespace {

using TStandard = TqvStandardLookAndFeelPainter;
using TBase = TqvCustomLookAndFeelPainter;

const TRect kMeasureRect{0, 0, 100, 100};

Integer CheckThemeState(bool AChecked, TqvButtonState AState) {
  static const Integer kUnchecked[] = {1, 1, 2, 3, 4};
  return kUnchecked[AState] + (AChecked ? 4 : 0);
}

Integer HeaderThemeState(TqvButtonState AState) {
  static const Integer kStates[] = {HIS_NORMAL, HIS_NORMAL, HIS_HOT, HIS_PRESSED, HIS_NORMAL};
  return kStates[AState];
}

// Small close, drop-down and tab item states: default and normal 1, hot 2, pressed 3, disabled 4.
Integer ButtonLikeThemeState(TqvButtonState AState) {
  static const Integer kStates[] = {1, 1, 2, 3, 4};
  return kStates[AState];
}

Integer ArrowButtonThemeState(TqvArrowDirection ADirection, TqvButtonState AState) {
  static const Integer kBases[] = {ABS_UPNORMAL, ABS_DOWNNORMAL, ABS_LEFTNORMAL, ABS_RIGHTNORMAL};
  static const Integer kOffsets[] = {0, 0, 1, 2, 3};
  return kBases[ADirection] + kOffsets[AState];
}

Integer ScrollThumbThemeState(TqvButtonState AState) {
  static const Integer kStates[] = {1, 1, 2, 3, 4};
  return kStates[AState];
}

void Background(TqvCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState, const TRect& R,
                const TRect* AClip = nullptr) {
  DrawThemeBackground(ATheme, ACanvas->GetHandle(), APart, AState, &R, AClip);
}

// The content rectangle of a part, or false when the theme does not answer.
bool ContentRect(HTHEME ATheme, Integer APart, Integer AState, const TRect& R, TRect& AContent) {
  return SUCCEEDED(GetThemeBackgroundContentRect(ATheme, nullptr, APart, AState, &R, &AContent));
}

bool PartSize(HTHEME ATheme, Integer APart, Integer AState, TSize& ASize) {
  return SUCCEEDED(GetThemePartSize(ATheme, nullptr, APart, AState, nullptr, TS_TRUE, &ASize));
}

}  // namespace

void TqvWinXPLookAndFeelPainter::DrawThemedText(TqvCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState,
                                                const TRect&, const TRect& ATextR, TAlignment AAlignH,
                                                TqvAlignmentVert AAlignV, bool AMultiLine, bool AShowEndEllipsis,
                                                const String& AText, TFont* AFont, TColor ATextColor,
                                                TColor) const {
  if (AText.empty()) return;
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  static const UINT kHorz[] = {0, DT_RIGHT, DT_CENTER};
  static const UINT kVert[] = {0, DT_BOTTOM, DT_VCENTER};
  UINT flags = DT_EDITCONTROL | DT_NOPREFIX | kHorz[AAlignH] | kVert[AAlignV] |
               (AMultiLine ? DT_WORDBREAK : DT_SINGLELINE);
  if (AShowEndEllipsis) flags |= DT_END_ELLIPSIS;
  ACanvas->GetCanvas()->RequiredState(csHandleValid | csFontValid);
  const WideString text = AnsiToWide(AText);
  DrawThemeText(ATheme, ACanvas->GetHandle(), APart, AState, text.c_str(), -1, flags, 0, &ATextR);
}

void TqvWinXPLookAndFeelPainter::DrawArrowButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                                 TqvArrowDirection ADirection, bool ADrawBorder) const {
  HTHEME theme = OpenTheme(totScrollBar);
  if (!theme) return TStandard::DrawArrowButton(ACanvas, R, AState, ADirection, ADrawBorder);
  Background(ACanvas, theme, SBP_ARROWBTN, ArrowButtonThemeState(ADirection, AState), R);
}

void TqvWinXPLookAndFeelPainter::DrawArrowBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const {
  HTHEME theme = OpenTheme(totButton);
  if (!theme) return TStandard::DrawArrowBorder(ACanvas, R, AState);
  Background(ACanvas, theme, BP_PUSHBUTTON, ButtonStateToThemeState(AState), R);
}

Integer TqvWinXPLookAndFeelPainter::GetBorderWidth() const {
  return OpenTheme(totListView) ? 1 : TStandard::GetBorderWidth();
}

void TqvWinXPLookAndFeelPainter::PaintBorder(TqvCanvas* ACanvas, const TRect& R) const {
  HTHEME theme = OpenTheme(totListView);
  if (!theme) return TStandard::PaintBorder(ACanvas, R);
  HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  ACanvas->ExcludeClipRect(qvDeflatedRect(R, 1));
  Background(ACanvas, theme, LVP_FRAME, 0, R);
  RestoreDC(dc, saved);
}

Integer TqvWinXPLookAndFeelPainter::GetButtonBorderWidth(TqvButtonState AState) const {
  TRect content;
  HTHEME theme = OpenTheme(totButton);
  if (theme && ContentRect(theme, BP_PUSHBUTTON, ButtonStateToThemeState(AState), kMeasureRect, content))
    return content.Left - kMeasureRect.Left;
  return TStandard::GetButtonBorderWidth(qvbsNormal);
}

TColor TqvWinXPLookAndFeelPainter::GetButtonFaceColor(TqvButtonState AState) const {
  COLORREF color;
  HTHEME theme = OpenTheme(totButton);
  if (theme && SUCCEEDED(GetThemeColor(theme, BP_PUSHBUTTON, ButtonStateToThemeState(AState), TMT_FILLCOLOR, &color)))
    return static_cast<TColor>(color);
  return clBtnFace;
}

TRect TqvWinXPLookAndFeelPainter::CalcButtonFocusRect(TqvCanvas* ACanvas, const TRect& R) const {
  TRect content;
  HTHEME theme = OpenTheme(totButton);
  if (theme && ContentRect(theme, BP_PUSHBUTTON, PBS_NORMAL, R, content)) return content;
  return TBase::CalcButtonFocusRect(ACanvas, R);
}

TColor TqvWinXPLookAndFeelPainter::GetButtonGlyphColor(TqvButtonState AState) const {
  COLORREF color;
  HTHEME theme = OpenTheme(totButton);
  if (theme && SUCCEEDED(GetThemeColor(theme, BP_PUSHBUTTON, ButtonStateToThemeState(AState), TMT_TEXTCOLOR, &color)))
    return static_cast<TColor>(color);
  return TStandard::GetButtonGlyphColor(AState);
}

void TqvWinXPLookAndFeelPainter::DrawButton(TqvCanvas* ACanvas, const TRect& R, const String& ACaption,
                                            TqvButtonState AState, bool ADrawBorder, TColor AColor,
                                            TColor ATextColor) const {
  HTHEME theme = OpenTheme(totButton);
  if (!theme) return TStandard::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor);
  const Integer state = ButtonStateToThemeState(AState);
  Background(ACanvas, theme, BP_PUSHBUTTON, state, R);
  if (ACaption.empty()) return;
  ACanvas->GetCanvas()->RequiredState(csHandleValid | csFontValid);
  const WideString text = AnsiToWide(ACaption);
  DrawThemeText(theme, ACanvas->GetHandle(), BP_PUSHBUTTON, state, text.c_str(), -1,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &R);
}

void TqvWinXPLookAndFeelPainter::PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                   TColor AColor) const {
  HTHEME theme = OpenTheme(totTreeView);
  if (!theme) return TStandard::PaintExpandButton(ACanvas, R, AExpanded, AColor);
  Background(ACanvas, theme, TVP_GLYPH, AExpanded ? GLPS_OPENED : GLPS_CLOSED, R);
  ACanvas->ExcludeClipRect(R);
}

void TqvWinXPLookAndFeelPainter::DrawSmallExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                       TColor AColor) const {
  if (!OpenTheme(totTreeView)) return TStandard::DrawSmallExpandButton(ACanvas, R, AExpanded, AColor);
  PaintExpandButton(ACanvas, R, AExpanded, clDefault);
}

Integer TqvWinXPLookAndFeelPainter::GetExpandButtonExtent() const {
  TSize size;
  HTHEME theme = OpenTheme(totTreeView);
  if (theme && PartSize(theme, TVP_GLYPH, GLPS_OPENED, size)) return size.cx;
  return TStandard::GetExpandButtonExtent();
}

Integer TqvWinXPLookAndFeelPainter::GetSmallExpandButtonSize() const {
  return OpenTheme(totTreeView) ? GetExpandButtonExtent() : TStandard::GetSmallExpandButtonSize();
}

Integer TqvWinXPLookAndFeelPainter::GetCheckBoxBorderWidth() const {
  return OpenTheme(totButton) ? 0 : TStandard::GetCheckBoxBorderWidth();
}

void TqvWinXPLookAndFeelPainter::DrawCheckMark(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                               bool AChecked, TColor AColor) const {
  HTHEME theme = OpenTheme(totButton);
  if (!theme) return TStandard::DrawCheckMark(ACanvas, R, AState, AChecked, AColor);
  Background(ACanvas, theme, BP_CHECKBOX, CheckThemeState(AChecked, AState), R);
}

void TqvWinXPLookAndFeelPainter::DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const {
  if (!OpenTheme(totButton)) TStandard::DrawCheckBoxFrame(ACanvas, R, AState);
}

void TqvWinXPLookAndFeelPainter::DrawRadioButton(TqvCanvas* ACanvas, Integer X, Integer Y, TqvButtonState AState,
                                                 bool AChecked, bool AHighlightRing, TColor ABackgroundColor,
                                                 bool AHighlightAll) const {
  HTHEME theme = OpenTheme(totButton);
  const Integer state = CheckThemeState(AChecked, AState);
  TSize size;
  if (!theme || !PartSize(theme, BP_RADIOBUTTON, state, size))
    return TStandard::DrawRadioButton(ACanvas, X, Y, AState, AChecked, AHighlightRing, ABackgroundColor,
                                      AHighlightAll);
  Background(ACanvas, theme, BP_RADIOBUTTON, state, Bounds(X, Y, size.cx, size.cy));
}

void TqvWinXPLookAndFeelPainter::DrawHeader(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                            TqvBorders ANeighbors, TqvBorders ABorders, TqvButtonState AState,
                                            TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                                            bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                            TColor ATextColor, TColor AColor,
                                            const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  HTHEME theme = OpenTheme(totHeader);
  if (!theme)
    return TStandard::DrawHeader(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignH, AAlignV, AMultiLine,
                                 AShowEndEllipsis, AText, AFont, ATextColor, AColor, AOnDrawBackground);
  const Integer state = HeaderThemeState(AState);
  Background(ACanvas, theme, HP_HEADERITEM, state, R);
  const TRect textR = AState == qvbsPressed ? qvOffsetRect(ATextR, 1, 1) : ATextR;
  DrawThemedText(ACanvas, theme, HP_HEADERITEM, state, R, textR, AAlignH, AAlignV, AMultiLine, AShowEndEllipsis,
                 AText, AFont, ATextColor, AColor);
}

void TqvWinXPLookAndFeelPainter::PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const {
  TqvUltraFlatLookAndFeelPainter::Class()->PaintSortOrderMark(ACanvas, R, AAscending);
}

Integer TqvWinXPLookAndFeelPainter::GetHeaderBorderWidth() const {
  TRect content;
  HTHEME theme = OpenTheme(totHeader);
  if (theme && ContentRect(theme, HP_HEADERITEM, HIS_NORMAL, kMeasureRect, content))
    return (content.Left - kMeasureRect.Left + content.Top - kMeasureRect.Top) / 2;
  return TStandard::GetHeaderBorderWidth();
}

void TqvWinXPLookAndFeelPainter::DrawFooterCell(TqvCanvas* ACanvas, const TRect& R, TAlignment AAlignH,
                                                TqvAlignmentVert AAlignV, bool AMultiLine, const String& AText,
                                                TFont* AFont, TColor ATextColor, TColor AColor,
                                                const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  HTHEME theme = OpenTheme(totTrackBar);
  if (!theme)
    return TStandard::DrawFooterCell(ACanvas, R, AAlignH, AAlignV, AMultiLine, AText, AFont, ATextColor, AColor,
                                     AOnDrawBackground);
  Background(ACanvas, theme, TKP_TRACK, 1, R);
  DrawThemedText(ACanvas, theme, TKP_TRACK, 1, R, GetFooterCellTextBounds(R), AAlignH, AAlignV, AMultiLine, false,
                 AText, AFont, ATextColor, AColor);
}

Integer TqvWinXPLookAndFeelPainter::GetFooterBorderWidth() const {
  return OpenTheme(totEdit) ? 1 : TStandard::GetFooterBorderWidth();
}

Integer TqvWinXPLookAndFeelPainter::GetFooterCellBorderWidth() const {
  TRect content;
  HTHEME theme = OpenTheme(totTrackBar);
  if (theme && ContentRect(theme, TKP_TRACK, 1, kMeasureRect, content)) return content.Left - kMeasureRect.Left;
  return TStandard::GetFooterCellBorderWidth();
}

Integer TqvWinXPLookAndFeelPainter::GetFooterCellOffset() const {
  return OpenTheme(totTrackBar) ? 1 : TStandard::GetFooterCellOffset();
}

void TqvWinXPLookAndFeelPainter::DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const {
  HTHEME theme = OpenTheme(totEdit);
  if (!theme) return TStandard::DrawFooterBorder(ACanvas, R);
  DrawThemeEdge(theme, ACanvas->GetHandle(), 0, 0, &R, BDR_RAISEDINNER, BF_RECT, nullptr);
}

void TqvWinXPLookAndFeelPainter::DrawFilterCloseButton(TqvCanvas* ACanvas, const TRect& R,
                                                       TqvButtonState AState) const {
  HTHEME theme = OpenTheme(totWindow);
  if (!theme) return TStandard::DrawFilterCloseButton(ACanvas, R, AState);
  Background(ACanvas, theme, WP_SMALLCLOSEBUTTON, ButtonLikeThemeState(AState), R);
}

void TqvWinXPLookAndFeelPainter::DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R,
                                                          TqvButtonState AState, bool AActive) const {
  HTHEME theme = OpenTheme(totComboBox);
  if (!theme) return TStandard::DrawFilterDropDownButton(ACanvas, R, AState, AActive);
  Background(ACanvas, theme, CP_DROPDOWNBUTTON, ButtonLikeThemeState(AState), R);
}

TSize TqvWinXPLookAndFeelPainter::GetFilterActivateButtonExtent() const {
  TSize size;
  HTHEME theme = OpenTheme(totButton);
  if (theme && PartSize(theme, BP_CHECKBOX, CBS_CHECKEDNORMAL, size)) return size;
  return TStandard::GetFilterActivateButtonExtent();
}

TSize TqvWinXPLookAndFeelPainter::GetFilterCloseButtonExtent() const {
  TSize size;
  HTHEME theme = OpenTheme(totWindow);
  if (theme && PartSize(theme, WP_SMALLCLOSEBUTTON, 1, size)) return {size.cx + 4, size.cy + 4};
  return TStandard::GetFilterCloseButtonExtent();
}

void TqvWinXPLookAndFeelPainter::DrawTab(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders,
                                         const String& AText, TqvButtonState AState, bool AVertical, TFont* AFont,
                                         TColor ATextColor, TColor AColor) const {
  HTHEME theme = AVertical ? nullptr : OpenTheme(totTab);
  if (!theme) return TStandard::DrawTab(ACanvas, R, ABorders, AText, AState, AVertical, AFont, ATextColor, AColor);
  const bool selected = AState == qvbsPressed;
  const Integer state = ButtonLikeThemeState(AState);
  TRect clip = R, B = R;
  if (!(ABorders & qvBorder(bLeft))) B.Left -= 2;
  if (!(ABorders & qvBorder(bRight))) B.Right += 2;
  if (selected)
    B.Bottom += 1;
  else
    clip.Bottom -= 1;
  Background(ACanvas, theme, TABP_TABITEM, state, B, &clip);
  if (selected) B.Bottom -= 2;
  DrawThemedText(ACanvas, theme, TABP_TABITEM, state, clip, B, taCenter, vaCenter, false, false, AText, AFont,
                 ATextColor, AColor);
}

void TqvWinXPLookAndFeelPainter::DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                                              bool AVertical) const {
  if (AVertical || !OpenTheme(totTab)) TStandard::DrawTabFrame(ACanvas, R, ASide, ABorders, AVertical);
}

void TqvWinXPLookAndFeelPainter::DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders,
                                                    bool AVertical) const {
  HTHEME theme = AVertical ? nullptr : OpenTheme(totTab);
  TRect content;
  if (!theme || !ContentRect(theme, TABP_PANE, 0, R, content))
    return TStandard::DrawTabsBackground(ACanvas, R, ABorders, AVertical);
  const TRect B{R.Left, R.Top, R.Right + (R.Right - content.Right) - (content.Left - R.Left), R.Bottom + 10};
  Background(ACanvas, theme, TABP_PANE, 0, B, &R);
}

bool TqvWinXPLookAndFeelPainter::DrawsWholeTab(bool AVertical) const { return !AVertical && OpenTheme(totTab); }

bool TqvWinXPLookAndFeelPainter::IsTabHotTracked(bool AVertical) const { return !AVertical && OpenTheme(totTab); }

void TqvWinXPLookAndFeelPainter::DrawIndicatorItem(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind,
                                                   TColor AColor,
                                                   const TqvPainterBackgroundEvent& AOnDrawBackground) const {
  TqvFlatLookAndFeelPainter::Class()->DrawIndicatorItem(ACanvas, R, AKind, AColor, AOnDrawBackground);
}

void TqvWinXPLookAndFeelPainter::DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                   TqvScrollBarPart APart, TqvButtonState AState) const {
  if (R.IsEmpty()) return;
  HTHEME theme = OpenTheme(totScrollBar);
  if (!theme) return TStandard::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  switch (APart) {
    case spFirstArrow:
    case spSecondArrow:
      DrawArrowButton(ACanvas, R, AState, GetScrollButtonArrowDirection(AHorizontal, APart), true);
      break;
    case spThumb:
      Background(ACanvas, theme, AHorizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, ScrollThumbThemeState(AState), R);
      Background(ACanvas, theme, ScrollBarGripperThemePart(AHorizontal), 0, R);
      break;
    case spFirstPage:
    case spSecondPage: {
      const bool first = APart == spFirstPage;
      const Integer part = AHorizontal ? (first ? SBP_LOWERTRACKHORZ : SBP_UPPERTRACKHORZ)
                                       : (first ? SBP_LOWERTRACKVERT : SBP_UPPERTRACKVERT);
      Background(ACanvas, theme, part, ScrollThumbThemeState(AState), R);
      break;
    }
    case spNone: break;
  }
}
