// The Tabs painter: three-dimensional tabs whose active tab grows over its neighbours and joins
// the page, or the theme's Tab and Spin classes when the look and feel draws natively.
#include <algorithm>

#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "pagecontrol/qvPCPainters.h"

QJ_IMPLEMENT_CLASS(TqvPCTabsPainter)

namespace {

constexpr Integer kTabsInset = 2;
constexpr Integer kNativeButtonSize = 17;
constexpr int kTabItemRightEdge = 3;  // the theme's tab item at the control's right edge

// A tab drawn as the figure of a tab on the top side, turned to its own side: u runs along the
// tab from its left (or top) end, v across from its far edge towards the page.
struct TTabFigure {
  TRect R;
  TqvTabSide Side;
  Integer Length, Depth;

  TTabFigure(const TRect& AR, TqvTabSide ASide) : R(AR), Side(ASide) {
    const bool horizontal = ASide == tsTop || ASide == tsBottom;
    Length = horizontal ? R.Width() : R.Height();
    Depth = horizontal ? R.Height() : R.Width();
  }
  TPoint Map(Integer u, Integer v) const {
    switch (Side) {
      case tsTop: return {R.Left + u, R.Top + v};
      case tsBottom: return {R.Left + u, R.Bottom - 1 - v};
      case tsLeft: return {R.Left + v, R.Top + u};
      case tsRight: return {R.Right - 1 - v, R.Top + u};
    }
    return {};
  }
  // The physical rectangle of a run of figure pixels from (u0, v0) to (u1, v1), both included.
  TRect Run(Integer u0, Integer v0, Integer u1, Integer v1) const {
    const TPoint a = Map(u0, v0), b = Map(u1, v1);
    return Rect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1);
  }
  // The far edge is light on the top and left sides.
  bool FarIsLight() const { return Side == tsTop || Side == tsLeft; }
};

HTHEME TabTheme() { return OpenTheme(totTab); }

}  // namespace

bool TqvPCTabsPainter::DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && ALookAndFeel->GetKind() == lfStandard;
}

bool TqvPCTabsPainter::NativeStyleAllowed(TqvLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && ALookAndFeel->GetNativeStyle();
}

bool TqvPCTabsPainter::IsNativePainting() {
  TqvCustomTabControl* control = GetControl();
  return !control->IsDestroying() && control->GetLookAndFeel()->GetNativeStyle() && AreThemesAvailable() &&
         TabTheme() != nullptr;
}

Integer TqvPCTabsPainter::GetContentTabHeight() { return TqvPCStandardPainter::GetContentTabHeight() - 3; }

Integer TqvPCTabsPainter::GetTabNormalHeight() { return TqvPCStandardPainter::GetTabNormalHeight(); }

TqvPCMargins TqvPCTabsPainter::GetTextMargins(Integer VisibleIndex) {
  TqvPCMargins margins = TqvPCStandardPainter::GetTextMargins(VisibleIndex);
  TqvCustomTabControl* control = GetControl();
  if (GetParentInfo()->GetTab(VisibleIndex)->IsActive() && !control->GetImageList()->HasImages()) margins.Left += 2;
  return margins;
}

TqvTabCorrection TqvPCTabsPainter::GetTabCorrection(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (!tab->IsActive()) return {};
  switch (tab->GetSide()) {
    case tsTop: return {-2, -2, 2, 1};
    case tsBottom: return {-2, -1, 2, 2};
    case tsLeft: return {-2, -2, 1, 2};
    case tsRight: return {-1, -2, 2, 2};
  }
  return {};
}

TColor TqvPCTabsPainter::GetTabColor(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  return tab->GetHighlighted() && tab->GetRealEnabled() ? clHighlight : clBtnFace;
}

bool TqvPCTabsPainter::GetTabThemePart(Integer VisibleIndex, Integer& APart, Integer& AState) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  APart = tab->GetRect().Right >= GetParentInfo()->GetWidth() ? kTabItemRightEdge : TABP_TABITEM;
  if (!tab->GetRealEnabled())
    AState = TIS_DISABLED;
  else if (tab->IsActive())
    AState = TIS_SELECTED;
  else if (tab->IsHot())
    AState = TIS_HOT;
  else
    AState = TIS_NORMAL;
  return true;
}

TColor TqvPCTabsPainter::GetTabTextColor(Integer VisibleIndex) {
  if (!IsNativePainting()) return TqvPCStandardPainter::GetTabTextColor(VisibleIndex);
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (tab->IsHot() && GetControl()->GetHotTrack()) return GetParentInfo()->GetHotColor();
  if (tab->GetHighlighted()) {
    Integer part, state;
    GetTabThemePart(VisibleIndex, part, state);
    COLORREF color;
    if (SUCCEEDED(GetThemeColor(TabTheme(), part, state, TMT_TEXTCOLOR, &color))) return static_cast<TColor>(color);
  }
  return GetParentInfo()->GetFontColor();
}

// ---------------------------------------------------------------------------------------------
// Areas

Integer TqvPCTabsPainter::GetNavigatorButtonBreadth() {
  return IsNativePainting() ? kNativeButtonSize : TqvPCStandardPainter::GetNavigatorButtonBreadth();
}

Integer TqvPCTabsPainter::GetNavigatorButtonLength(TqvPCNavigatorButton AButton) {
  if (!IsNativePainting()) return TqvPCStandardPainter::GetNavigatorButtonLength(AButton);
  if (AButton != nbGoDialog) return kNativeButtonSize;
  SIZE size{};
  HTHEME theme = OpenTheme(totSpin);
  if (theme && SUCCEEDED(GetThemePartSize(theme, nullptr, SPNP_DOWN, BLS_NORMAL, nullptr, TS_TRUE, &size)) && size.cx > 0)
    return size.cx;
  return kNativeButtonSize;
}

TqvPCTabsArea TqvPCTabsPainter::CalculateTabsArea(TqvPCNavigatorButtons AButtons) {
  TqvPCTabsArea area;
  TqvCustomTabControl* control = GetControl();
  const Integer w = GetParentInfo()->GetWidth(), h = GetParentInfo()->GetHeight();
  const TqvTabPosition position = GetParentInfo()->GetTabPosition();
  const bool horizontal = control->IsHorizontalPosition();
  area.Bounds = Rect(0, 0, w, h);
  area.StartRect = area.Bounds;
  switch (position) {
    case tpTop: area.StartRect.Top += kTabsInset; break;
    case tpBottom: area.StartRect.Bottom -= kTabsInset; break;
    case tpLeft: area.StartRect.Left += kTabsInset; break;
    case tpRight: area.StartRect.Right -= kTabsInset; break;
  }
  Integer& lineStart = horizontal ? area.StartRect.Left : area.StartRect.Top;
  Integer& lineEnd = horizontal ? area.StartRect.Right : area.StartRect.Bottom;
  const Integer full = horizontal ? w : h;
  if (GetParentInfo()->GetMultiLine()) {
    area.LineLength = full - 2 * kTabsInset;
    lineStart = kTabsInset;
    lineEnd = full - kTabsInset;
  } else {
    const Integer navigator = GetNavigatorAreaLength(AButtons);
    const Integer nearInset = control->IsTabOrderReversed() ? 0 : kTabsInset;
    const TqvPCNavigatorPosition np = GetParentInfo()->GetNavigatorPosition();
    const bool farEnd = horizontal ? np == npRightTop || np == npRightBottom : np == npLeftBottom || np == npRightBottom;
    area.LineLength = full - navigator - kTabsInset;
    lineStart = (farEnd ? 0 : navigator) + nearInset;
    lineEnd = lineStart + area.LineLength;
  }
  area.BeforeBandAdjust = position == tpTop || position == tpLeft ? 1 : 0;
  area.AfterBandAdjust = position == tpBottom || position == tpRight ? -1 : 0;
  area.BandGap = 0;
  CalculateNavigatorButtons(AButtons);
  return area;
}

TRect TqvPCTabsPainter::GetFrameRect() { return GetCutClientRect(1, 2, kTabsInset); }

TRect TqvPCTabsPainter::GetDisplayRect() {
  const TRect frame = GetFrameRect();
  if (!IsNativePainting()) return frame;
  const TRect pane = qvDeflatedRect(frame, -2);
  RECT content = pane;
  if (FAILED(GetThemeBackgroundContentRect(TabTheme(), nullptr, TABP_PANE, 0, &pane, &content))) return frame;
  return content;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TqvPCTabsPainter::PaintTabs() {
  // The active tab first: its larger rectangle covers its neighbours.
  Integer first, last;
  GetControl()->GetPlacedTabRange(first, last);
  const Integer active = GetParentInfo()->GetActiveVisibleIndex();
  if (first != -1 && active >= first && active <= last) DrawTab(active);
  for (Integer i = first; first != -1 && i <= last; ++i)
    if (i != active) DrawTab(i);
}

void TqvPCTabsPainter::PaintFrame() {
  if (!IsNativePainting()) {
    TqvPCStandardPainter::PaintFrame();
    return;
  }
  const TRect pane = qvDeflatedRect(GetFrameRect(), -2);
  if (pane.IsEmpty()) return;
  HTHEME theme = TabTheme();
  if (IsThemeBackgroundPartiallyTransparent(theme, TABP_PANE, 0)) {
    Canvas()->SetBrushColor(GetParentInfo()->GetColor());
    Canvas()->FillRect(pane);
  }
  DrawThemeBackground(theme, Canvas()->GetHandle(), TABP_PANE, 0, &pane, nullptr);
  ExcludeClip(pane);
}

void TqvPCTabsPainter::PaintBackground() {
  TqvCustomTabControl* control = GetControl();
  const TRect client = Rect(0, 0, GetParentInfo()->GetWidth(), GetParentInfo()->GetHeight());
  if (IsNativePainting() && control->GetParent() && control->HandleAllocated() &&
      SUCCEEDED(DrawThemeParentBackground(control->GetHandle(), Canvas()->GetHandle(), &client)))
    return;
  TqvPCStandardPainter::PaintBackground();
}

void TqvPCTabsPainter::PrepareNativeTab(Integer VisibleIndex) {
  if (!IsNativePainting()) return;
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TTabFigure figure(tab->GetRect(), tab->GetSide());
  if (figure.Length <= 0 || figure.Depth <= 0) return;
  Integer part, state;
  GetTabThemePart(VisibleIndex, part, state);
  // Drawn as a top tab into the tab's bitmap, then turned to its side.
  TBitmap* bitmap = tab->NeedTabBitmap();
  bitmap->SetSize(figure.Length, figure.Depth);
  TqvCanvas canvas(bitmap->GetCanvas());
  canvas.SetBrushColor(GetParentInfo()->GetColor());
  canvas.FillRect(Rect(0, 0, figure.Length, figure.Depth));
  const RECT r = Rect(0, 0, figure.Length, figure.Depth);
  HTHEME theme = TabTheme();
  if (FAILED(DrawThemeBackground(theme, canvas.GetHandle(), part, state, &r, nullptr)))
    DrawThemeBackground(theme, canvas.GetHandle(), TABP_TABITEM, state, &r, nullptr);
  static const Integer kTurns[] = {0, 3, 1, 2};  // top, bottom, left, right
  RotateTabBitmap(bitmap, kTurns[tab->GetSide()]);
  Canvas()->Draw(tab->GetRect().Left, tab->GetRect().Top, bitmap);
}

void TqvPCTabsPainter::DrawTabFrame(Integer VisibleIndex) {
  if (IsNativePainting()) return;
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TRect r = tab->GetRect();
  Canvas()->SetBrushColor(GetTabColor(VisibleIndex));
  Canvas()->FillRect(r);
  DrawClassicTabFrame(tab, r);
}

void TqvPCTabsPainter::DrawTabBeyondClip(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (!IsNativePainting() && tab->IsActive()) JoinActiveTabToPage(tab, tab->GetRect());
}

void TqvPCTabsPainter::DrawClassicTabFrame(TqvTab* ATab, const TRect& R) {
  const TTabFigure f(R, ATab->GetSide());
  const Integer len = f.Length, depth = f.Depth;
  if (len < 4 || depth < 3) return;
  TqvCanvas* canvas = Canvas();
  auto run = [&](Integer u0, Integer v0, Integer u1, Integer v1, TColor AColor) {
    if (u1 < u0 || v1 < v0) return;
    canvas->SetBrushColor(AColor);
    canvas->FillRect(f.Run(u0, v0, u1, v1));
  };
  auto pixel = [&](Integer u, Integer v, TColor AColor) { run(u, v, u, v, AColor); };
  const TColor farOuter = f.FarIsLight() ? clBtnHighlight : cl3DDkShadow;
  const TColor farInner = f.FarIsLight() ? cl3DLight : clBtnShadow;
  // The cut corners show the face.
  for (auto [u, v] : {std::pair{0, 0}, {1, 0}, {0, 1}, {len - 2, 0}, {len - 1, 0}, {len - 1, 1}}) pixel(u, v, clBtnFace);
  // The light end: outer and inner lines and the corner's diagonal.
  run(0, 2, 0, depth - 1, clBtnHighlight);
  pixel(1, 1, clBtnHighlight);
  run(1, 2, 1, depth - 1, cl3DLight);
  // The far edge.
  run(2, 0, len - 3, 0, farOuter);
  run(2, 1, len - 3, 1, farInner);
  // The dark end.
  run(len - 1, 2, len - 1, depth - 1, cl3DDkShadow);
  pixel(len - 2, 1, cl3DDkShadow);
  run(len - 2, 2, len - 2, depth - 1, clBtnShadow);
}

void TqvPCTabsPainter::JoinActiveTabToPage(TqvTab* ATab, const TRect& R) {
  const TTabFigure f(R, ATab->GetSide());
  const Integer len = f.Length, v = f.Depth;
  if (len < 4) return;
  const bool horizontal = ATab->GetSide() == tsTop || ATab->GetSide() == tsBottom;
  const bool atStart = (horizontal ? R.Left : R.Top) <= 0;
  const bool atEnd = (horizontal ? R.Right >= GetParentInfo()->GetWidth() : R.Bottom >= GetParentInfo()->GetHeight());
  TqvCanvas* canvas = Canvas();
  auto run = [&](Integer u0, Integer u1, TColor AColor) {
    if (u1 < u0) return;
    canvas->SetBrushColor(AColor);
    canvas->FillRect(f.Run(u0, v, u1, v));
  };
  // The row of the page's border under the tab: drawn now and kept from the frame.
  run(0, 0, atStart ? clBtnHighlight : cl3DLight);
  run(1, 1, cl3DLight);
  if (atEnd) {
    run(2, len - 3, clBtnFace);
    run(len - 2, len - 2, clBtnShadow);
    run(len - 1, len - 1, cl3DDkShadow);
  } else {
    run(2, len - 1, clBtnFace);
  }
  ExcludeClip(f.Run(0, v, len - 1, v));
}

void TqvPCTabsPainter::DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R) {
  if (!IsNativePainting()) {
    TqvPCStandardPainter::DrawNavigatorButton(AButton, R);
    return;
  }
  HTHEME theme = OpenTheme(totSpin);
  const bool horizontal = GetControl()->IsHorizontalPosition();
  int part = SPNP_DOWN;
  if (AButton == nbTopLeft) part = horizontal ? SPNP_DOWNHORZ : SPNP_UP;
  if (AButton == nbBottomRight) part = horizontal ? SPNP_UPHORZ : SPNP_DOWN;
  static const int kStates[] = {BLS_NORMAL, BLS_PRESSED, BLS_HOT, BLS_DISABLED};
  const TqvPCNavigatorButtonState state = GetParentInfo()->GetNavigatorButtonState(AButton);
  const int themeState = GetControl()->GetEnabled() ? kStates[state] : BLS_DISABLED;
  if (!theme) {
    TqvPCStandardPainter::DrawNavigatorButton(AButton, R);
    return;
  }
  if (IsThemeBackgroundPartiallyTransparent(theme, part, themeState)) {
    Canvas()->SetBrushColor(GetParentInfo()->GetColor());
    Canvas()->FillRect(R);
  }
  DrawThemeBackground(theme, Canvas()->GetHandle(), part, themeState, &R, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Repaints


void TqvPCTabsPainter::RepaintRows() {
  TqvPCStandardPainter::RepaintRows();
  if (GetParentInfo()->GetMultiLine()) return;
  // The line between the row's band and the page.
  const TqvPCPainterParentInfo* info = GetParentInfo();
  const bool before = info->GetRowsBeforePage() > 0;
  const TRect& band = before ? info->GetBeforeBand() : info->GetAfterBand();
  switch (info->GetTabPosition()) {
    case tpTop: Invalidate(Rect(band.Left, band.Bottom, band.Right, band.Bottom + 1)); break;
    case tpBottom: Invalidate(Rect(band.Left, band.Top - 1, band.Right, band.Top)); break;
    case tpLeft: Invalidate(Rect(band.Right, band.Top, band.Right + 1, band.Bottom)); break;
    case tpRight: Invalidate(Rect(band.Left - 1, band.Top, band.Left, band.Bottom)); break;
  }
}
