// The Flat painter: flat tabs on a band of the light face colour; the active tab is outlined,
// grows by a pixel and joins the page.
#include <algorithm>

#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "pagecontrol/qvPCPainters.h"
#include "platform/forms/ImgList.h"

QJ_IMPLEMENT_CLASS(TqvPCFlatPainter)

namespace {

constexpr Integer kLineInset = 6;     // from both ends of the line
constexpr Integer kTabSideInset = 3;  // from the tab-side edge
constexpr Integer kNavigatorInset = 6;
constexpr Integer kFrameTabSideGap = 2;
constexpr Integer kFrameOppositeGap = 5;

bool HasImages(TqvCustomTabControl* AControl) {
  const TSize size = AControl->GetImageList()->GetImageSize();
  return AControl->GetImageList()->HasImages() && size.cx > 0 && size.cy > 0;
}

}  // namespace

bool TqvPCFlatPainter::DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel) {
  if (!ALookAndFeel || ALookAndFeel->GetKind() != lfUltraFlat) return false;
  return !(ALookAndFeel->GetNativeStyle() && AreThemesAvailable(ThemeClassMask(totTab)));
}

Integer TqvPCFlatPainter::GetContentTabHeight() { return TqvPCStandardPainter::GetContentTabHeight() - 4; }

Integer TqvPCFlatPainter::GetTabNormalHeight() {
  const Integer min = GetMinTabHeight();
  Integer height = std::max(GetContentTabHeight(), min);
  const Integer tabHeight = GetParentInfo()->GetTabHeight() - 4;
  if (tabHeight >= min && tabHeight > height) height = tabHeight;
  return height;
}

Integer TqvPCFlatPainter::GetMinTabNormalWidth() {
  TqvCustomTabControl* control = GetControl();
  if (!HasImages(control)) return 12;
  return control->GetImageList()->GetImageSize().cx + 2 * control->GetImageBorder() + 16;
}

Integer TqvPCFlatPainter::GetTabNormalWidth(TqvTab* ATab) {
  const Integer min = GetMinTabNormalWidth();
  const SmallInt tabWidth = GetParentInfo()->GetTabWidth();
  if (tabWidth >= min) return tabWidth;
  TqvCustomTabControl* control = GetControl();
  const Integer image = HasImages(control) ? control->GetImageList()->GetImageSize().cx + 2 * control->GetImageBorder() + 4 : 0;
  const String& caption = ATab->GetDisplayCaption();
  TqvCanvas* canvas = control->GetCanvas();
  canvas->SetFont(control->GetFont());
  const Integer text = caption.empty() ? 12 : canvas->TextWidth(caption) + 9;
  return std::max(image + text, min);
}

TqvTabCorrection TqvPCFlatPainter::GetTabCorrection(Integer VisibleIndex) {
  if (!GetParentInfo()->GetTab(VisibleIndex)->IsActive()) return {};
  return {-1, -1, 1, 1};
}

TPoint TqvPCFlatPainter::GetTabsIntervals() { return GetParentInfo()->GetRotate() ? TPoint{6, 1} : TPoint{1, 6}; }

TqvPCMargins TqvPCFlatPainter::GetImageMargins(Integer VisibleIndex) {
  return GetParentInfo()->GetTab(VisibleIndex)->IsActive() ? TqvPCMargins{3, 0, 0, 0} : TqvPCMargins{2, 0, 0, 0};
}

TqvPCMargins TqvPCFlatPainter::GetTextMargins(Integer VisibleIndex) {
  const bool active = GetParentInfo()->GetTab(VisibleIndex)->IsActive();
  TqvPCMargins margins = active ? TqvPCMargins{6, 2, 3, -1} : TqvPCMargins{5, 2, 3, -1};
  if (HasImages(GetControl())) margins.Left += active ? 1 : 2;
  return margins;
}

TPoint TqvPCFlatPainter::GetTextSideMargins(Integer VisibleIndex) {
  return GetParentInfo()->GetTab(VisibleIndex)->IsActive() ? TPoint{3, 3} : TPoint{2, 2};
}

TColor TqvPCFlatPainter::GetTabColor(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (tab->IsActive()) return clBtnFace;
  return tab->GetHighlighted() ? clHighlight : GetPCLightFaceColor();
}


TRect TqvPCFlatPainter::CalculateNavigatorArea(TqvPCNavigatorButtons AButtons) {
  const Integer length = GetNavigatorAreaLength(AButtons);
  if (length == 0) return TRect();
  const Integer breadth = GetNavigatorButtonBreadth();
  const Integer w = GetParentInfo()->GetWidth(), h = GetParentInfo()->GetHeight();
  const TqvPCNavigatorPosition np = GetParentInfo()->GetNavigatorPosition();
  switch (GetParentInfo()->GetTabPosition()) {
    case tpTop:
    case tpBottom: {
      const bool farEnd = np == npRightTop || np == npRightBottom;
      const Integer left = farEnd ? w - kLineInset - length : kLineInset;
      const Integer top = GetParentInfo()->GetTabPosition() == tpTop ? kNavigatorInset : h - kNavigatorInset - breadth;
      return Bounds(left, top, length, breadth);
    }
    case tpLeft:
    case tpRight: {
      const bool farEnd = np == npLeftBottom || np == npRightBottom;
      const Integer top = farEnd ? h - kLineInset - length : kLineInset;
      const Integer left = GetParentInfo()->GetTabPosition() == tpLeft ? kNavigatorInset : w - kNavigatorInset - breadth;
      return Bounds(left, top, breadth, length);
    }
  }
  return TRect();
}

TqvPCTabsArea TqvPCFlatPainter::CalculateTabsArea(TqvPCNavigatorButtons AButtons) {
  TqvPCTabsArea area;
  const Integer w = GetParentInfo()->GetWidth(), h = GetParentInfo()->GetHeight();
  const Integer navigator = GetNavigatorAreaLength(AButtons);
  const TqvTabPosition position = GetParentInfo()->GetTabPosition();
  const TqvPCNavigatorPosition np = GetParentInfo()->GetNavigatorPosition();
  TRect start = Rect(0, 0, w, h);
  TqvTabCorrection move;
  switch (position) {
    case tpTop:
      start = Rect(kLineInset, kTabSideInset, w - kLineInset, h);
      move = {-1, -1, 1, 0};
      break;
    case tpBottom:
      start = Rect(kLineInset, 0, w - kLineInset, h - kTabSideInset);
      move = {-1, 0, 1, 1};
      break;
    case tpLeft:
      start = Rect(kTabSideInset, kLineInset, w, h - kLineInset);
      move = {-1, -1, 0, 1};
      break;
    case tpRight:
      start = Rect(0, kLineInset, w - kTabSideInset, h - kLineInset);
      move = {0, -1, 1, 1};
      break;
  }
  if (position == tpTop || position == tpBottom) {
    if (np == npRightTop || np == npRightBottom)
      start.Right -= navigator;
    else
      start.Left += navigator;
    area.LineLength = w - navigator - 2 * kLineInset;
  } else {
    if (np == npLeftBottom || np == npRightBottom)
      start.Bottom -= navigator;
    else
      start.Top += navigator;
    area.LineLength = h - navigator - 2 * kLineInset;
  }
  area.StartRect = start;
  area.Bounds = Rect(start.Left + move.Left, start.Top + move.Top, start.Right + move.Right, start.Bottom + move.Bottom);
  area.BeforeBandAdjust = position == tpTop || position == tpLeft ? 1 : 0;
  area.AfterBandAdjust = position == tpBottom || position == tpRight ? -1 : 0;
  area.BandGap = GetTabsIntervals().Y - 1;
  CalculateNavigatorButtons(AButtons);
  return area;
}

TRect TqvPCFlatPainter::GetFrameRect() { return GetCutClientRect(kFrameTabSideGap, kFrameOppositeGap, 0); }

TRect TqvPCFlatPainter::GetDisplayRect() { return GetFrameRect(); }

void TqvPCFlatPainter::PaintFrame() {
  const TRect frame = GetFrameRect();
  if (frame.IsEmpty()) return;
  Canvas()->SetBrushColor(GetParentInfo()->GetColor());
  Canvas()->FillRect(frame);
  ExcludeClip(frame);
}

void TqvPCFlatPainter::PaintTabs() {
  TqvCustomTabControl* control = GetControl();
  const TqvPCPainterParentInfo* info = GetParentInfo();
  const TqvPCLineIndexBoundsArray rows = control->GetRowBounds();
  const Integer active = info->GetActiveVisibleIndex();
  const bool horizontal = control->IsHorizontalPosition();
  TqvCanvas* canvas = Canvas();
  for (const TqvPCLineIndexBounds& row : rows) {
    if (row.First == -1) continue;
    // The active tab of the row first: it grows over its neighbours.
    if (active >= row.First && active <= row.Last) DrawTab(active);
    for (Integer i = row.First; i <= row.Last; ++i) {
      if (i != active) DrawTab(i);
      // Between two inactive neighbours, a line of the face colour.
      if (i < row.Last && i != active && i + 1 != active) {
        const TRect a = info->GetTab(i)->GetFullRect(), b = info->GetTab(i + 1)->GetFullRect();
        const Integer edge = horizontal ? std::min(a.Right, b.Right) : std::min(a.Bottom, b.Bottom);
        const TRect line = horizontal ? Rect(edge, a.Top, edge + 1, a.Bottom) : Rect(a.Left, edge, a.Right, edge + 1);
        canvas->SetBrushColor(clBtnFace);
        canvas->FillRect(line);
        ExcludeClip(line);
      }
    }
  }
  // What the tabs left of the bands.
  canvas->SetBrushColor(GetPCLightFaceColor());
  for (bool before : {true, false}) {
    const bool holdsRows = before ? info->GetRowsBeforePage() > 0 : info->GetRowsBeforePage() < info->GetRowCount();
    if (!holdsRows) continue;
    const TRect& band = before ? info->GetBeforeBand() : info->GetAfterBand();
    canvas->FillRect(band);
    ExcludeClip(band);
  }
}

void TqvPCFlatPainter::DrawTabFrame(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TRect r = tab->GetRect();
  TqvCanvas* canvas = Canvas();
  canvas->SetBrushColor(GetTabColor(VisibleIndex));
  canvas->FillRect(r);
  if (!tab->IsActive()) return;
  // White on the light sides, the text colour on the dark ones; the side at the page stays open.
  TqvBorders light = qvBorder(bLeft) | qvBorder(bTop), dark = qvBorder(bRight) | qvBorder(bBottom);
  switch (tab->GetSide()) {
    case tsTop: dark &= ~qvBorder(bBottom); break;
    case tsBottom: light &= ~qvBorder(bTop); break;
    case tsLeft: dark &= ~qvBorder(bRight); break;
    case tsRight: light &= ~qvBorder(bLeft); break;
  }
  canvas->FrameRect(r, clWhite, 1, light);
  canvas->FrameRect(r, clBtnText, 1, dark);
}

void TqvPCFlatPainter::DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R) {
  const TqvPCNavigatorButtonState state = GetParentInfo()->GetNavigatorButtonState(AButton);
  TqvCanvas* canvas = Canvas();
  canvas->FrameRect(R, state == nbsPressed ? clBtnHighlight : clBtnText);
  canvas->SetBrushColor(state == nbsPressed || state == nbsHotTrack ? clBtnFace : GetPCLightFaceColor());
  canvas->FillRect(qvDeflatedRect(R, 1));
  DrawNavigatorGlyph(AButton, R, state);
}

