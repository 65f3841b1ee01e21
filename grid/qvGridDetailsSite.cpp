#include "grid/qvGridDetailsSite.h"

#include <algorithm>

#include "grid/qvGrid.h"
#include "grid/qvGridLevel.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTabHitTest)
QJ_IMPLEMENT_CLASS(TqvCustomGridDetailsSiteViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridTopDetailsSiteViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridDetailsSitePainter)

// ---------------------------------------------------------------------------------------------
// Hit test

TqvGridLevel* TqvGridDetailsSiteTabHitTest::GetLevel() const { return FLevelAlive ? FLevel : nullptr; }

void TqvGridDetailsSiteTabHitTest::SetLevel(TqvGridLevel* AValue) {
  FLevel = AValue;
  FLevelAlive = AValue ? AValue->AliveToken() : TAliveToken();
}

TComponent* TqvGridDetailsSiteTabHitTest::GetOwner() const { return FOwnerAlive ? FOwner : nullptr; }

void TqvGridDetailsSiteTabHitTest::SetOwner(TComponent* AValue) {
  FOwner = AValue;
  FOwnerAlive = AValue ? AValue->AliveToken() : TAliveToken();
}

// ---------------------------------------------------------------------------------------------
// The area

TqvCustomGridDetailsSiteViewInfo::TqvCustomGridDetailsSiteViewInfo(TqvGridLevel* ALevel)
    : TqvComponent(nullptr), FLevel(ALevel) {}

TqvCustomGridDetailsSiteViewInfo::~TqvCustomGridDetailsSiteViewInfo() = default;

void TqvCustomGridDetailsSiteViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  if (TqvGridDetailsSiteTabsViewInfoClass tabsClass = GetTabsViewInfoClass())
    FTabsViewInfo = TOwned<TqvCustomGridDetailsSiteTabsViewInfo>(tabsClass->Create(this));
}

void TqvCustomGridDetailsSiteViewInfo::BeforeDestruction() {
  FTabsViewInfo.reset();
  inherited::BeforeDestruction();
}

TqvGridDetailsSiteTabsViewInfoClass TqvCustomGridDetailsSiteViewInfo::GetTabsViewInfoClass() {
  switch (FLevel->GetOptions()->GetDetailTabsPosition()) {
    case dtpLeft:
      return &TqvGridDetailsSiteLeftTabsViewInfo::StaticClass();
    case dtpTop:
      return &TqvGridDetailsSiteTopTabsViewInfo::StaticClass();
    case dtpNone:
      break;
  }
  return nullptr;
}

TqvGridDetailsSitePainterClass TqvCustomGridDetailsSiteViewInfo::GetPainterClass() {
  return &TqvGridDetailsSitePainter::StaticClass();
}

TColor TqvCustomGridDetailsSiteViewInfo::GetBackgroundColor() { return FLevel->GetControl()->GetColor(); }

TColor TqvCustomGridDetailsSiteViewInfo::GetFrameColor() { return FLevel->GetOptions()->GetActualDetailFrameColor(); }

Integer TqvCustomGridDetailsSiteViewInfo::GetFrameWidth() { return FLevel->GetOptions()->GetDetailFrameWidth(); }

TRect TqvCustomGridDetailsSiteViewInfo::GetClientBounds() {
  TRect R = FBounds;
  if (FTabsViewInfo) FTabsViewInfo->AdjustClientBounds(R);
  return qvDeflatedRect(R, GetFrameWidth());
}

TRect TqvCustomGridDetailsSiteViewInfo::GetFrameBounds() {
  return qvDeflatedRect(GetClientBounds(), -GetFrameWidth());
}

// What the tabs take from an empty rectangle's client side, and the frame on both sides.
Integer TqvCustomGridDetailsSiteViewInfo::GetNonClientHeight() {
  TRect R;
  if (FTabsViewInfo) FTabsViewInfo->AdjustClientBounds(R);
  return R.Top + 2 * GetFrameWidth();
}

Integer TqvCustomGridDetailsSiteViewInfo::GetNonClientWidth() {
  TRect R;
  if (FTabsViewInfo) FTabsViewInfo->AdjustClientBounds(R);
  return R.Left + 2 * GetFrameWidth();
}

Integer TqvCustomGridDetailsSiteViewInfo::CalculateHeight() {
  Integer height = 0;
  FFullyVisible = true;
  if (HasActiveGridView())
    GetActiveGridViewCached()->GetViewInfo()->MeasureHeight(GetMaxHeight() - GetNonClientHeight(), height,
                                                            FFullyVisible);
  else
    height = GetEmptyClientHeight();
  height += GetNonClientHeight();
  if (FTabsViewInfo) FTabsViewInfo->AdjustSiteHeight(height);
  FNormalHeight = std::min(height, GetMaxNormalHeight());
  if (FFullyVisible)
    height = std::max(std::min(height, GetMaxHeight()), 0);
  else
    height = GetMaxHeight();
  FNormalHeight = std::max(FNormalHeight, height);
  return height;
}

Integer TqvCustomGridDetailsSiteViewInfo::CalculateWidth() {
  Integer width = 0;
  if (HasActiveGridView())
    GetActiveGridViewCached()->GetViewInfo()->MeasureWidth(GetMaxWidth() - GetNonClientWidth(), width);
  else
    width = GetEmptyClientWidth();
  width += GetNonClientWidth();
  if (FTabsViewInfo) FTabsViewInfo->AdjustSiteWidth(width);
  return std::min(std::max(width, GetMinWidth()), GetMaxWidth());
}

bool TqvCustomGridDetailsSiteViewInfo::HasActiveGridView() {
  TqvCustomGridView* view = GetActiveGridViewCached();
  return view && !view->IsDestroying();
}

TqvCustomGridView* TqvCustomGridDetailsSiteViewInfo::GetActiveGridViewCached() {
  if (!FActiveGridViewTaken) {
    FActiveGridViewTaken = true;
    FActiveGridView = GetActiveGridView();
    if (FActiveGridView) FActiveGridView->FreeNotification(this);
  }
  return FActiveGridView && !FActiveGridView->IsDestroying() ? FActiveGridView : nullptr;
}

void TqvCustomGridDetailsSiteViewInfo::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveGridView) FActiveGridView = nullptr;
}

void TqvCustomGridDetailsSiteViewInfo::Calculate(Integer ALeft, Integer ATop) {
  FBounds = Rect(ALeft, ATop, ALeft + GetWidth(), ATop + GetHeight());
  if (FTabsViewInfo) FTabsViewInfo->Calculate(FBounds);
  if (HasActiveGridView()) GetActiveGridViewCached()->GetViewInfo()->MainCalculate(GetClientBounds());
}

TOwned<TqvCustomGridHitTest> TqvCustomGridDetailsSiteViewInfo::GetHitTest(TPoint P) {
  if (FTabsViewInfo)
    if (TOwned<TqvCustomGridHitTest> hitTest = FTabsViewInfo->GetHitTest(P)) return hitTest;
  if (!HasActiveGridView()) return nullptr;
  TqvGridSite* site = GetActiveGridViewCached()->GetSite();
  if (!site->GetBoundsRect().Contains(P)) return nullptr;
  return site->GetViewInfo()->GetHitTest({P.X - site->GetLeft(), P.Y - site->GetTop()});
}

void TqvCustomGridDetailsSiteViewInfo::VisibilityChanged(bool AVisible) {
  if (HasActiveGridView()) GetActiveGridViewCached()->GetViewInfo()->UpdateVisibility(AVisible);
}

void TqvCustomGridDetailsSiteViewInfo::Paint(TqvCanvas* ACanvas) {
  TOwned<TqvGridDetailsSitePainter> painter(GetPainterClass()->Create(ACanvas, this));
  painter->Paint();
}

// ---------------------------------------------------------------------------------------------
// The grid's area

TqvCustomGrid* TqvGridTopDetailsSiteViewInfo::GetGrid() const { return GetLevel()->GetControl(); }

TqvCanvas* TqvGridTopDetailsSiteViewInfo::GetCanvas() { return GetGrid()->GetCanvas(); }

Integer TqvGridTopDetailsSiteViewInfo::GetMaxHeight() { return GetGrid()->GetClientBounds().Height(); }

Integer TqvGridTopDetailsSiteViewInfo::GetMaxWidth() { return GetGrid()->GetClientBounds().Width(); }

TqvLookAndFeelPainterClass TqvGridTopDetailsSiteViewInfo::GetLookAndFeelPainter() {
  return GetGrid()->GetLookAndFeelPainter();
}

TqvCustomGridView* TqvGridTopDetailsSiteViewInfo::GetActiveGridView() { return GetGrid()->GetActiveView(); }

TqvGridLevel* TqvGridTopDetailsSiteViewInfo::GetActiveLevel() { return GetGrid()->GetActiveLevel(); }

void TqvGridTopDetailsSiteViewInfo::InitTabHitTest(TqvGridDetailsSiteTabHitTest* AHitTest) {
  AHitTest->SetOwner(GetGrid());
}

void TqvGridTopDetailsSiteViewInfo::SetActiveLevel(TqvGridLevel* ALevel) { GetGrid()->SetActiveLevel(ALevel); }

void TqvGridTopDetailsSiteViewInfo::VisibilityChanged(bool AVisible) {
  if (!GetGrid()->IsDestroying()) inherited::VisibilityChanged(AVisible);
}

// ---------------------------------------------------------------------------------------------
// Painter

void TqvGridDetailsSitePainter::Paint() {
  if (FViewInfo->GetFrameWidth() != 0) DrawFrame();
  if (FViewInfo->GetTabsViewInfo()) DrawTabs();
  DrawBackground();
  FCanvas->ExcludeClipRect(FViewInfo->GetBounds());
}

void TqvGridDetailsSitePainter::DrawFrame() {
  FCanvas->FrameRect(FViewInfo->GetFrameBounds(), FViewInfo->GetFrameColor(), FViewInfo->GetFrameWidth());
}

void TqvGridDetailsSitePainter::DrawTabs() {
  TqvCustomGridDetailsSiteTabsViewInfo* tabs = FViewInfo->GetTabsViewInfo();
  TOwned<TqvRegion> clip = FCanvas->GetClipRegion();
  TFinally restoreClip([&] { FCanvas->SetClipRegion(std::move(clip), roCopy); });
  FCanvas->IntersectClipRect(tabs->GetBounds());
  tabs->Paint(FCanvas);
}

void TqvGridDetailsSitePainter::DrawBackground() {
  FCanvas->SetBrushColor(FViewInfo->GetBackgroundColor());
  FCanvas->FillRect(FViewInfo->GetClientBounds());
}
