#include <algorithm>

#include "grid/qvGridDetailsSite.h"
#include "grid/qvGridLevel.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridDetailsSiteTabsViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteLeftTabsViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTopTabsViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomGridDetailsSiteTabViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteLeftTabViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTopTabViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTabsPainter)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTabPainter)

namespace {

// The indent before the first tab and the strip along the client side, less the pixel the
// tabs share with that strip.
constexpr Integer kTabsSpace = 5;

}  // namespace

// ---------------------------------------------------------------------------------------------
// The strip

TqvCustomGridDetailsSiteTabsViewInfo::TqvCustomGridDetailsSiteTabsViewInfo(
    TqvCustomGridDetailsSiteViewInfo* ADetailsSite)
    : FDetailsSite(ADetailsSite) {}

TqvCustomGridDetailsSiteTabsViewInfo::~TqvCustomGridDetailsSiteTabsViewInfo() = default;

void TqvCustomGridDetailsSiteTabsViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  TqvGridLevel* level = FDetailsSite->GetLevel();
  TqvGridDetailsSiteTabViewInfoClass tabClass = GetTabClass();
  for (Integer i = 0; i < level->GetVisibleCount(); ++i)
    FItems.emplace_back(tabClass->Create(this, level->GetVisibleItem(i)));
}

void TqvCustomGridDetailsSiteTabsViewInfo::BeforeDestruction() {
  FItems.clear();
  inherited::BeforeDestruction();
}

Integer TqvCustomGridDetailsSiteTabsViewInfo::GetHeight() {
  if (FHeight == 0) FHeight = CalculateHeight();
  return FHeight;
}

Integer TqvCustomGridDetailsSiteTabsViewInfo::GetWidth() {
  if (FWidth == 0) FWidth = CalculateWidth();
  return FWidth;
}

TColor TqvCustomGridDetailsSiteTabsViewInfo::GetBackgroundColor() {
  TqvViewParams params;
  FDetailsSite->GetLevel()->GetStyles()->GetViewParams(TqvGridLevelStyles::lsTabsBackground, nullptr, nullptr, params);
  return params.Color;
}

Integer TqvCustomGridDetailsSiteTabsViewInfo::GetTabExtent(TqvCustomGridDetailsSiteTabViewInfo* ATab) {
  return ATab->CalculateHeight();
}

Integer TqvCustomGridDetailsSiteTabsViewInfo::GetTabBreadth(TqvCustomGridDetailsSiteTabViewInfo* ATab) {
  return ATab->CalculateWidth();
}

TqvGridDetailsSiteTabsPainterClass TqvCustomGridDetailsSiteTabsViewInfo::GetPainterClass() {
  return &TqvGridDetailsSiteTabsPainter::StaticClass();
}

void TqvCustomGridDetailsSiteTabsViewInfo::Calculate(const TRect& R) {
  FBounds = R;
  TPoint point{R.Left + TabsIndent, R.Top + TabsIndent};
  const bool vertical = IsVertical();
  if (!FItems.empty() && FItems.front()->IsActive()) {
    if (vertical)
      point.Y -= FItems.front()->GetBorderWidth(bTop);
    else
      point.X -= FItems.front()->GetBorderWidth(bLeft);
  }
  const Integer breadth = (vertical ? GetWidth() : GetHeight()) - kTabsSpace;
  for (const TOwned<TqvCustomGridDetailsSiteTabViewInfo>& tab : FItems) {
    if (vertical) {
      tab->Calculate(point.X, point.Y, breadth, -1);
      point.Y += tab->GetHeight();
    } else {
      tab->Calculate(point.X, point.Y, -1, breadth);
      point.X += tab->GetWidth();
    }
  }
}

TOwned<TqvCustomGridHitTest> TqvCustomGridDetailsSiteTabsViewInfo::GetHitTest(TPoint P) {
  for (const TOwned<TqvCustomGridDetailsSiteTabViewInfo>& tab : FItems)
    if (TOwned<TqvCustomGridHitTest> hitTest = tab->GetHitTest(P)) return hitTest;
  return nullptr;
}

void TqvCustomGridDetailsSiteTabsViewInfo::Paint(TqvCanvas* ACanvas) {
  TOwned<TqvGridDetailsSiteTabsPainter> painter(GetPainterClass()->Create(ACanvas, this));
  painter->Paint();
}

// ---------------------------------------------------------------------------------------------
// Left and top strips

Integer TqvGridDetailsSiteLeftTabsViewInfo::CalculateHeight() {
  Integer height = 2 * TabsIndent;
  for (Integer i = 0; i < GetCount(); ++i) height += GetTabExtent(GetItem(i));
  return height;
}

Integer TqvGridDetailsSiteLeftTabsViewInfo::CalculateWidth() {
  Integer width = 0;
  for (Integer i = 0; i < GetCount(); ++i) width = std::max(width, GetTabBreadth(GetItem(i)));
  return width + kTabsSpace + (GetCount() >= 2 ? GetTabOffset() : 0);
}

void TqvGridDetailsSiteLeftTabsViewInfo::AdjustSiteHeight(Integer& AHeight) { AHeight = std::max(AHeight, GetHeight()); }

TqvGridDetailsSiteTabViewInfoClass TqvGridDetailsSiteLeftTabsViewInfo::GetTabClass() {
  return &TqvGridDetailsSiteLeftTabViewInfo::StaticClass();
}

TqvBorders TqvGridDetailsSiteLeftTabsViewInfo::GetBorderSides() {
  return qvBorder(bLeft) | qvBorder(bTop) | qvBorder(bBottom);
}

TRect TqvGridDetailsSiteLeftTabsViewInfo::GetMainSideBounds() {
  const TRect& R = GetBounds();
  return {R.Right - MainSideWidth, R.Top, R.Right, R.Bottom};
}

void TqvGridDetailsSiteLeftTabsViewInfo::Calculate(const TRect& R) {
  inherited::Calculate(R);
  TRect bounds = GetBounds();
  bounds.Right = bounds.Left + GetWidth();
  SetBounds(bounds);
}

void TqvGridDetailsSiteLeftTabsViewInfo::AdjustClientBounds(TRect& R) { R.Left += GetWidth(); }

Integer TqvGridDetailsSiteTopTabsViewInfo::CalculateHeight() {
  Integer height = 0;
  for (Integer i = 0; i < GetCount(); ++i) height = std::max(height, GetTabExtent(GetItem(i)));
  return height + kTabsSpace + (GetCount() >= 2 ? GetTabOffset() : 0);
}

Integer TqvGridDetailsSiteTopTabsViewInfo::CalculateWidth() {
  Integer width = 2 * TabsIndent;
  for (Integer i = 0; i < GetCount(); ++i) width += GetTabBreadth(GetItem(i));
  return width;
}

void TqvGridDetailsSiteTopTabsViewInfo::AdjustSiteWidth(Integer& AWidth) { AWidth = std::max(AWidth, GetWidth()); }

TqvGridDetailsSiteTabViewInfoClass TqvGridDetailsSiteTopTabsViewInfo::GetTabClass() {
  return &TqvGridDetailsSiteTopTabViewInfo::StaticClass();
}

TqvBorders TqvGridDetailsSiteTopTabsViewInfo::GetBorderSides() {
  return qvBorder(bLeft) | qvBorder(bTop) | qvBorder(bRight);
}

TRect TqvGridDetailsSiteTopTabsViewInfo::GetMainSideBounds() {
  const TRect& R = GetBounds();
  return {R.Left, R.Bottom - MainSideWidth, R.Right, R.Bottom};
}

void TqvGridDetailsSiteTopTabsViewInfo::Calculate(const TRect& R) {
  inherited::Calculate(R);
  TRect bounds = GetBounds();
  bounds.Bottom = bounds.Top + GetHeight();
  SetBounds(bounds);
}

void TqvGridDetailsSiteTopTabsViewInfo::AdjustClientBounds(TRect& R) { R.Top += GetHeight(); }

// ---------------------------------------------------------------------------------------------
// A tab

TqvCustomGridDetailsSiteTabViewInfo::TqvCustomGridDetailsSiteTabViewInfo(
    TqvCustomGridDetailsSiteTabsViewInfo* ATabsViewInfo, TqvGridLevel* ALevel)
    : FTabsViewInfo(ATabsViewInfo), FLevel(ALevel), FIndex(ALevel->GetVisibleIndex()) {}

Integer TqvCustomGridDetailsSiteTabViewInfo::CalculateHeight() {
  EnsureParamsCalculated();
  return GetTextHeight() + 4;
}

Integer TqvCustomGridDetailsSiteTabViewInfo::CalculateWidth() {
  EnsureParamsCalculated();
  return GetTextWidth() + 4 + 2 * TextIndent;
}

Integer TqvCustomGridDetailsSiteTabViewInfo::GetBorderWidth(TqvBorder /*ASide*/) {
  return GetDetailsSite()->GetLookAndFeelPainter()->GetTabBorderWidth(IsVertical());
}

TqvCanvas* TqvCustomGridDetailsSiteTabViewInfo::GetCanvas() { return GetDetailsSite()->GetCanvas(); }

TqvGridHitTestClass TqvCustomGridDetailsSiteTabViewInfo::GetHitTestClass() {
  return &TqvGridDetailsSiteTabHitTest::StaticClass();
}

bool TqvCustomGridDetailsSiteTabViewInfo::GetHotTrack() {
  return GetDetailsSite()->GetLookAndFeelPainter()->IsTabHotTracked(IsVertical());
}

TqvGridCellPainterClass TqvCustomGridDetailsSiteTabViewInfo::GetPainterClass() {
  return &TqvGridDetailsSiteTabPainter::StaticClass();
}

String TqvCustomGridDetailsSiteTabViewInfo::GetText() { return FLevel->GetCaption(); }

TRect TqvCustomGridDetailsSiteTabViewInfo::GetTextAreaBounds() {
  TRect R = inherited::GetTextAreaBounds();
  R.Left += TextIndent;
  R.Right -= TextIndent;
  return R;
}

void TqvCustomGridDetailsSiteTabViewInfo::GetViewParams(TqvViewParams& AParams) {
  GetDetailsSite()->GetLevel()->GetStyles()->GetTabParams(FLevel, AParams);
}

void TqvCustomGridDetailsSiteTabViewInfo::InitHitTest(TqvCustomGridHitTest* AHitTest) {
  inherited::InitHitTest(AHitTest);
  auto* tabHitTest = As<TqvGridDetailsSiteTabHitTest>(AHitTest);
  if (!tabHitTest) return;
  tabHitTest->SetLevel(FLevel);
  GetDetailsSite()->InitTabHitTest(tabHitTest);
}

bool TqvCustomGridDetailsSiteTabViewInfo::MouseDown(TqvCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                    TShiftState AShift) {
  inherited::MouseDown(AHitTest, AButton, AShift);
  GetDetailsSite()->SetActiveLevel(FLevel);
  return true;
}

TqvGridCellState TqvCustomGridDetailsSiteTabViewInfo::GetPaintState() { return IsActive() ? gcsPressed : GetState(); }

bool TqvCustomGridDetailsSiteTabViewInfo::IsActive() { return FLevel == GetDetailsSite()->GetActiveLevel(); }

bool TqvCustomGridDetailsSiteTabViewInfo::IsVertical() { return FTabsViewInfo->IsVertical(); }

bool TqvCustomGridDetailsSiteTabViewInfo::IsTabActive(Integer AIndex) {
  return AIndex >= 0 && AIndex < FTabsViewInfo->GetCount() && FTabsViewInfo->GetItem(AIndex)->IsActive();
}

// ---------------------------------------------------------------------------------------------
// Left and top tabs

TqvBorders TqvGridDetailsSiteLeftTabViewInfo::GetBorders() {
  if (IsActive()) return qvBorder(bLeft) | qvBorder(bTop) | qvBorder(bBottom);
  TqvBorders borders = qvBorder(bLeft) | qvBorder(bRight);
  if (IsFirst() || !IsTabActive(GetIndex() - 1)) borders |= qvBorder(bTop);
  if (IsLast() || !IsTabActive(GetIndex() + 1)) borders |= qvBorder(bBottom);
  return borders;
}

Integer TqvGridDetailsSiteLeftTabViewInfo::CalculateHeight() {
  Integer height = inherited::CalculateHeight();
  if (IsActive()) height += GetBorderWidth(bTop) + GetBorderWidth(bBottom);
  return height + GetActualBorderWidth(bTop) + GetActualBorderWidth(bBottom);
}

Integer TqvGridDetailsSiteLeftTabViewInfo::CalculateWidth() {
  return inherited::CalculateWidth() + GetBorderWidth(bLeft) + GetBorderWidth(bRight);
}

void TqvGridDetailsSiteLeftTabViewInfo::Calculate(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!IsActive()) {
    const Integer offset = GetTabsViewInfo()->GetTabOffset();
    ALeft += offset;
    if (AWidth != -1) AWidth -= offset;
  }
  inherited::Calculate(ALeft, ATop, AWidth, AHeight);
}

TqvBorders TqvGridDetailsSiteTopTabViewInfo::GetBorders() {
  if (IsActive()) return qvBorder(bLeft) | qvBorder(bTop) | qvBorder(bRight);
  TqvBorders borders = qvBorder(bTop) | qvBorder(bBottom);
  if (IsFirst() || !IsTabActive(GetIndex() - 1)) borders |= qvBorder(bLeft);
  if (IsLast() || !IsTabActive(GetIndex() + 1)) borders |= qvBorder(bRight);
  return borders;
}

Integer TqvGridDetailsSiteTopTabViewInfo::CalculateHeight() {
  return inherited::CalculateHeight() + GetBorderWidth(bTop) + GetBorderWidth(bBottom);
}

Integer TqvGridDetailsSiteTopTabViewInfo::CalculateWidth() {
  Integer width = inherited::CalculateWidth();
  if (IsActive()) width += GetBorderWidth(bLeft) + GetBorderWidth(bRight);
  return width + GetActualBorderWidth(bLeft) + GetActualBorderWidth(bRight);
}

void TqvGridDetailsSiteTopTabViewInfo::Calculate(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!IsActive()) {
    const Integer offset = GetTabsViewInfo()->GetTabOffset();
    ATop += offset;
    if (AHeight != -1) AHeight -= offset;
  }
  inherited::Calculate(ALeft, ATop, AWidth, AHeight);
}

// ---------------------------------------------------------------------------------------------
// Painters

void TqvGridDetailsSiteTabsPainter::Paint() {
  DrawBackground();
  DrawMainSide();
  DrawItems();
}

void TqvGridDetailsSiteTabsPainter::DrawBackground() {
  FCanvas->SetBrushColor(FViewInfo->GetBackgroundColor());
  FCanvas->FillRect(FViewInfo->GetBounds());
}

void TqvGridDetailsSiteTabsPainter::DrawMainSide() {
  FViewInfo->GetDetailsSite()->GetLookAndFeelPainter()->DrawTabsBackground(
      FCanvas, FViewInfo->GetMainSideBounds(), FViewInfo->GetBorderSides(), FViewInfo->IsVertical());
}

void TqvGridDetailsSiteTabsPainter::DrawItems() {
  for (Integer i = 0; i < FViewInfo->GetCount(); ++i) FViewInfo->GetItem(i)->Paint();
}

TqvCustomGridDetailsSiteTabViewInfo* TqvGridDetailsSiteTabPainter::GetTab() const {
  return static_cast<TqvCustomGridDetailsSiteTabViewInfo*>(GetViewInfo());
}

void TqvGridDetailsSiteTabPainter::DrawContent() {
  TqvCustomGridDetailsSiteTabViewInfo* tab = GetTab();
  TqvLookAndFeelPainterClass painter = tab->GetDetailsSite()->GetLookAndFeelPainter();
  if (!painter->DrawsWholeTab(tab->IsVertical())) {
    inherited::DrawContent();
    return;
  }
  const TqvViewParams& params = tab->GetCalculatedParams();
  painter->DrawTab(GetCanvas(), tab->GetBounds(), tab->GetCalculatedBorders(), tab->GetCalculatedText(),
                   GridCellStateToButtonState(tab->GetPaintState()), tab->IsVertical(), params.Font, params.TextColor,
                   params.Color);
}

void TqvGridDetailsSiteTabPainter::DrawBorder(TqvBorder ASide) {
  TqvCustomGridDetailsSiteTabViewInfo* tab = GetTab();
  tab->GetDetailsSite()->GetLookAndFeelPainter()->DrawTabFrame(GetCanvas(), tab->GetBorderBounds(ASide), ASide,
                                                              tab->GetCalculatedBorders(), tab->IsVertical());
}
