// The button painters: tabs drawn as push buttons (Buttons) or as flat buttons with etched
// separators (FlatButtons); several tabs may be selected, and the keys move a focus mark.
#include <algorithm>

#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "pagecontrol/qvPCPainters.h"

QJ_IMPLEMENT_CLASS(TqvPCButtonedPainter)
QJ_IMPLEMENT_CLASS(TqvPCButtonsPainter)
QJ_IMPLEMENT_CLASS(TqvPCFlatButtonsPainter)

namespace {

constexpr Integer kPatternSize = 8;
constexpr Integer kFrameGap = 2;

}  // namespace

TqvPCButtonedPainter::TqvPCButtonedPainter(TqvCustomTabControl* AControl) : TqvPCStandardPainter(AControl) {
  FPattern = MakeOwned<TBitmap>();
  FPattern->SetPixelFormat(pf32bit);
  FPattern->SetSize(kPatternSize, kPatternSize);
  const COLORREF light = ColorToRGB(cl3DLight), highlight = ColorToRGB(clBtnHighlight);
  auto pixel = [](COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); };
  for (Integer y = 0; y < kPatternSize; ++y) {
    uint32_t* row = FPattern->ScanLine(y);
    for (Integer x = 0; x < kPatternSize; ++x) row[x] = pixel((x + y) % 2 ? highlight : light);
  }
}

bool TqvPCButtonedPainter::IsTabDown(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  return !tab->IsFocused() && (tab->IsPressed() || tab->GetSelected() || tab->IsActive());
}

TColor TqvPCButtonedPainter::GetTabColor(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (tab->GetHighlighted()) return clHighlight;
  if (tab->IsActive()) return clBtnHighlight;
  return GetParentInfo()->GetColor();
}

TRect TqvPCButtonedPainter::GetFrameRect() {
  TRect r = GetCutClientRect(kFrameGap, kFrameGap, 0);
  if (GetParentInfo()->GetShowFrame()) r = qvDeflatedRect(r, kFrameGap);
  return r;
}

TRect TqvPCButtonedPainter::GetDisplayRect() { return GetFrameRect(); }

void TqvPCButtonedPainter::PaintFrame() {
  const TRect frame = GetFrameRect();
  if (frame.IsEmpty()) return;
  Canvas()->SetBrushColor(GetParentInfo()->GetColor());
  Canvas()->FillRect(frame);
  if (!GetParentInfo()->GetShowFrame()) {
    ExcludeClip(frame);
    return;
  }
  const TRect outer = qvDeflatedRect(frame, -kFrameGap);
  Draw3DFrame(outer, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow);
  ExcludeClip(outer);
}

// ---------------------------------------------------------------------------------------------

void TqvPCButtonsPainter::DrawTabFrame(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TRect r = tab->GetRect();
  const bool sunken = tab->IsPressed() || tab->GetSelected() || tab->IsActive() || tab->IsFocused();
  if (sunken)
    Draw3DFrame(r, cl3DDkShadow, clBtnShadow, clBtnHighlight, cl3DLight);
  else
    Draw3DFrame(r, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow);
  const TRect inside = qvDeflatedRect(r, 2);
  // A pushed-in active button shows the checkerboard of a latched button.
  if (tab->IsActive() && !tab->GetHighlighted()) {
    Canvas()->FillRectWithBitmap(inside, GetPatternBitmap());
  } else {
    Canvas()->SetBrushColor(GetTabColor(VisibleIndex));
    Canvas()->FillRect(inside);
  }
}

// ---------------------------------------------------------------------------------------------

bool TqvPCFlatButtonsPainter::DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel) {
  if (!ALookAndFeel || ALookAndFeel->GetKind() != lfFlat) return false;
  return !(ALookAndFeel->GetNativeStyle() && AreThemesAvailable(ThemeClassMask(totTab)));
}

void TqvPCFlatButtonsPainter::DrawTabFrame(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  TRect r = tab->GetRect();
  TqvCanvas* canvas = Canvas();
  if (IsTabDown(VisibleIndex)) {
    Draw3DFrame(r, cl3DDkShadow, clBtnShadow, clBtnHighlight, cl3DLight);
    r = qvDeflatedRect(r, 2);
  } else if (tab->IsHot() || tab->IsFocused()) {
    canvas->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
    r = qvDeflatedRect(r, 1);
  }
  canvas->SetBrushColor(GetTabColor(VisibleIndex));
  canvas->FillRect(r);
}

void TqvPCFlatButtonsPainter::PaintTabs() {
  TqvPCStandardPainter::PaintTabs();
  // An etched line in the middle of the interval between two neighbours of a row.
  TqvCustomTabControl* control = GetControl();
  const Integer interval = control->GetRotate() ? GetTabsIntervals().Y : GetTabsIntervals().X;
  const bool horizontal = control->IsHorizontalPosition();
  TqvCanvas* canvas = Canvas();
  for (const TqvPCLineIndexBounds& row : control->GetRowBounds()) {
    for (Integer i = row.First; row.First != -1 && i < row.Last; ++i) {
      const TRect a = GetParentInfo()->GetTab(i)->GetFullRect(), b = GetParentInfo()->GetTab(i + 1)->GetFullRect();
      // The gap between the two in display order, whichever way the tabs run.
      const Integer gapStart = horizontal ? std::min(a.Right, b.Right) : std::min(a.Bottom, b.Bottom);
      const Integer mid = gapStart + interval / 2 - 1;
      const TRect shadow = horizontal ? Rect(mid, a.Top, mid + 1, a.Bottom) : Rect(a.Left, mid, a.Right, mid + 1);
      const TRect light = horizontal ? qvOffsetRect(shadow, 1, 0) : qvOffsetRect(shadow, 0, 1);
      canvas->SetBrushColor(clBtnShadow);
      canvas->FillRect(shadow);
      canvas->SetBrushColor(clBtnHighlight);
      canvas->FillRect(light);
      ExcludeClip(shadow);
      ExcludeClip(light);
    }
  }
}
