// A view's layout handlers: the view info (calculation, visibility of the site, measuring, hit
// tests, watched cells), the painter (background accounting, focus frame) and the layout cache.
#include <algorithm>
#include <climits>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridCustomViewCells.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridPainter)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfoCacheItem)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfoCache)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfo)

// ---------------------------------------------------------------------------------------------
// Painter

TqvCustomGridPainter::~TqvCustomGridPainter() = default;

TqvCanvas* TqvCustomGridPainter::GetCanvas() const { return GetViewInfo()->GetCanvas(); }

// A handler of a cell's custom drawing may free the view: the painter is gone with it. A
// painter that raised inside PaintContent never reaches AfterPaint: the site's next paint
// starts from a fresh canvas, and BeforePaint forgets the regions of the broken one.
void TqvCustomGridPainter::Paint() {
  TAliveToken alive = GetGridView()->AliveToken();
  BeforePaint();
  if (!alive) return;
  PaintContent();
  if (alive) AfterPaint();
}

void TqvCustomGridPainter::BeforePaint() {
  GetController()->BeforePaint();
  FSavedClipRegion = GetCanvas()->GetClipRegion();
  FBackgroundRegion = MakeOwned<TqvRegion>(GetViewInfo()->GetBounds());
}

void TqvCustomGridPainter::AfterPaint() {
  DrawBackground();
  if (FSavedClipRegion) GetCanvas()->SetClipRegion(std::move(FSavedClipRegion), roCopy);
  GetController()->AfterPaint();
}

void TqvCustomGridPainter::ExcludeFromBackground(const TRect& R) {
  if (FBackgroundRegion) FBackgroundRegion->Combine(MakeOwned<TqvRegion>(R), roDifference);
}

void TqvCustomGridPainter::DrawBackground() {
  TqvCustomGridViewInfo* viewInfo = GetViewInfo();
  TqvCanvas* canvas = GetCanvas();
  if (FBackgroundRegion && !FBackgroundRegion->IsEmpty()) {
    TOwned<TqvRegion> clip = canvas->GetClipRegion();
    canvas->SetClipRegion(FBackgroundRegion.get(), roIntersection);
    if (TBitmap* bitmap = viewInfo->GetBackgroundBitmap()) {
      canvas->FillRectWithBitmap(viewInfo->GetBounds(), bitmap);
    } else {
      canvas->SetBrushColor(viewInfo->GetBackgroundColor());
      canvas->FillRect(viewInfo->GetBounds());
    }
    canvas->SetClipRegion(std::move(clip), roCopy);
  }
  FBackgroundRegion.reset();
  canvas->ExcludeClipRect(viewInfo->GetBounds());
}

void TqvCustomGridPainter::DrawFocusRect(const TRect& R, bool AHideFocusRect) {
  TqvCanvas* canvas = GetCanvas();
  if (GetGridView()->IsControlFocused()) {
    canvas->DrawFocusRect(R);
    return;
  }
  if (AHideFocusRect) return;
  canvas->InvertRect({R.Left, R.Top, R.Right, R.Top + 1});
  canvas->InvertRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
  canvas->InvertRect({R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1});
  canvas->InvertRect({R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1});
}

void TqvCustomGridPainter::Invalidate() { GetSite()->Invalidate(); }

void TqvCustomGridPainter::InvalidateRect(const TRect& R) { GetSite()->InvalidateRect(R, false); }

// ---------------------------------------------------------------------------------------------
// Layout cache

TqvCustomGridViewInfoCacheItemClass TqvCustomGridViewInfoCache::GetItemClass() const {
  return &TqvCustomGridViewInfoCacheItem::StaticClass();
}

TqvCustomGridViewInfoCacheItem* TqvCustomGridViewInfoCache::GetItemIfMade(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetCount() ? FItems[static_cast<size_t>(AIndex)].get() : nullptr;
}

TqvCustomGridViewInfoCacheItem* TqvCustomGridViewInfoCache::GetItem(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetCount()) throw EListError(Format("List index out of bounds (%d)", {AIndex}));
  TOwned<TqvCustomGridViewInfoCacheItem>& item = FItems[static_cast<size_t>(AIndex)];
  if (!item) item.reset(GetItemClass()->Create(this, AIndex));
  return item.get();
}

void TqvCustomGridViewInfoCache::SetCount(Integer ACount) {
  FItems.clear();
  FItems.resize(static_cast<size_t>(std::max(ACount, 0)));
}

void TqvCustomGridViewInfoCache::ResetValues(bool AKeepMaster) {
  if (FResetting) return;
  TValueScope resetting(FResetting, true);
  for (TOwned<TqvCustomGridViewInfoCacheItem>& item : FItems)
    if (item) item->ResetValues(AKeepMaster);
  if (AKeepMaster) return;
  for (TqvCustomGridView* detail = GetGridView(); TqvCustomGridView* master = detail->GetMasterGridView();
       detail = master) {
    const Integer row = detail->GetMasterRowIndex();
    if (row < 0) continue;
    if (TqvCustomGridViewInfoCache* cache = master->GetViewInfoCache())
      if (row < cache->GetCount()) cache->GetItem(row)->ResetValues(false);
  }
}

// ---------------------------------------------------------------------------------------------
// View info: construction, geometry, measuring

TqvCustomGridViewInfo::TqvCustomGridViewInfo(TqvCustomGridView* AGridView) : TqvGridViewHandler(AGridView) {}

TqvCustomGridViewInfo::~TqvCustomGridViewInfo() = default;

void TqvCustomGridViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  FSite = TOwned<TqvGridSite>(GetSiteClass()->Create(this));
  CreateViewInfos();
}

void TqvCustomGridViewInfo::BeforeDestruction() {
  DestroyViewInfos(false);
  inherited::BeforeDestruction();
}

TqvGridSiteClass TqvCustomGridViewInfo::GetSiteClass() const { return &TqvGridSite::StaticClass(); }

void TqvCustomGridViewInfo::RecreateViewInfos() {
  FHasExplicitClientBounds = false;
  DestroyViewInfos(true);
  CreateViewInfos();
}

TRect TqvCustomGridViewInfo::GetClientBounds() {
  return FHasExplicitClientBounds ? FExplicitClientBounds : GetDefaultClientBounds();
}

void TqvCustomGridViewInfo::SetClientBounds(const TRect& R) {
  FExplicitClientBounds = R;
  FHasExplicitClientBounds = true;
}

bool TqvCustomGridViewInfo::CanRecalculate() const { return !FCalculating && !FChangingVisibility; }

bool TqvCustomGridViewInfo::IsInternal() const {
  if (IsInternalUse()) return true;
  TqvCustomGridView* master = GetGridView()->GetMasterGridView();
  return master && master->GetViewInfo() && master->GetViewInfo()->IsInternal();
}

TWinControl* TqvCustomGridViewInfo::GetParentControl() const {
  if (TqvCustomGridView* master = GetGridView()->GetMasterGridView()) return master->GetSite();
  return GetControl();
}

TqvCanvas* TqvCustomGridViewInfo::GetCanvas() const { return FSite->GetCanvas(); }

// Without a font, the canvas's own.
Integer TqvCustomGridViewInfo::GetFontHeight(TFont* AFont) {
  TqvCanvas* canvas = GetCanvas();
  return AFont ? canvas->FontHeight(AFont) : canvas->TextHeight("Qq");
}

void TqvCustomGridViewInfo::GetHeight(Integer, Integer& AHeight, bool&) {
  if (FSite->IsHScrollBarVisible()) AHeight += FSite->GetHScrollBar()->GetHeight();
}

void TqvCustomGridViewInfo::GetWidth(Integer AMaxWidth, Integer& AWidth) {
  if (FSite->IsVScrollBarVisible()) AWidth += FSite->GetVScrollBar()->GetWidth();
  AWidth = std::min(AWidth, AMaxWidth);
}

void TqvCustomGridViewInfo::MeasureHeight(Integer AMaxHeight, Integer& AHeight, bool& AFullyVisible) {
  TValueScope measuring(FMeasuring, true);
  GetHeight(AMaxHeight, AHeight, AFullyVisible);
}

void TqvCustomGridViewInfo::MeasureWidth(Integer AMaxWidth, Integer& AWidth) {
  TValueScope measuring(FMeasuring, true);
  GetWidth(AMaxWidth, AWidth);
}

TBitmap* TqvCustomGridViewInfo::GetBackgroundBitmap() {
  return GetGridView()->GetBackgroundBitmaps()->GetBitmap(TqvCustomGridBackgroundBitmaps::bbBackground);
}

TColor TqvCustomGridViewInfo::GetBackgroundColor() {
  TqvViewParams params;
  GetGridView()->GetStyles()->GetViewParams(TqvCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
  return params.Color;
}

// ---------------------------------------------------------------------------------------------
// Hit tests and watched cells

void TqvCustomGridViewInfo::InitHitTest(TqvCustomGridHitTest* AHitTest) {
  if (auto* viewHitTest = As<TqvCustomGridViewHitTest>(AHitTest)) viewHitTest->SetGridView(GetGridView());
}

TOwned<TqvCustomGridHitTest> TqvCustomGridViewInfo::GetHitTest(TPoint P) {
  TOwned<TqvCustomGridHitTest> hitTest = TqvCustomGridHitTest::Make<TqvGridViewNoneHitTest>(P);
  InitHitTest(hitTest.get());
  return hitTest;
}

void TqvCustomGridViewInfo::WatchCell(TqvCustomGridCellViewInfo* ACell) {
  if (!IsCellWatched(ACell)) FWatchedCells.push_back(ACell);
}

bool TqvCustomGridViewInfo::IsCellWatched(TqvCustomGridCellViewInfo* ACell) const {
  return std::find(FWatchedCells.begin(), FWatchedCells.end(), ACell) != FWatchedCells.end();
}

void TqvCustomGridViewInfo::UnwatchCell(TqvCustomGridCellViewInfo* ACell) { std::erase(FWatchedCells, ACell); }

// ---------------------------------------------------------------------------------------------
// Calculation and visibility

void TqvCustomGridViewInfo::TakeMousePos() {
  TqvCustomGrid* grid = GetControl();
  if (FSite->HandleAllocated() && !(grid && grid->HasState(csDesigning)))
    FMousePos = FSite->ScreenToClient(GetMouseCursorPos());
  else
    FMousePos = {INT_MAX, INT_MAX};
}

void TqvCustomGridViewInfo::BeforeCalculating() {
  if (!FSite->IsParked()) TakeMousePos();
}

void TqvCustomGridViewInfo::AfterCalculating() {
  if (!IsInternal()) FSite->UpdateScrollBars();
}

void TqvCustomGridViewInfo::MainCalculate(const TRect& R) {
  if (FCalculating) return;
  BeforeCalculating();
  FCalculating = true;
  TFinally finish([this] {
    FCalculating = false;
    AfterCalculating();
    UpdateVisibility(true);
  });
  FSite->SetBoundsRect(R);
  FBounds = FSite->GetClientBounds();
  Calculate();
}

void TqvCustomGridViewInfo::Recalculate() { MainCalculate(FSite->GetBoundsRect()); }

void TqvCustomGridViewInfo::UpdateVisibility(bool ACheckVisible) {
  if (IsInternal() || FMeasuring) return;
  TValueScope changing(FChangingVisibility, true);
  VisibilityChanged(ACheckVisible && GetGridView()->IsVisible());
}

// A hidden site that holds the focus, or holds the focused view's site, is parked: it keeps its
// parent and the focus. It is taken off its parent once its view loses the focus.
void TqvCustomGridViewInfo::VisibilityChanged(bool AVisible) {
  TakeMousePos();
  TqvCustomGridView* view = GetGridView();
  if (AVisible) {
    FSite->SetParent(GetParentControl());
    return;
  }
  TqvCustomGrid* grid = GetControl();
  if (!grid || view->IsDestroying()) return;
  TqvCustomGridView* focused = grid->GetFocusedView();
  TqvGridSite* focusedSite = focused ? focused->GetSite() : nullptr;
  const bool holdsFocus = FSite->Focused() || (focusedSite && FSite->ContainsControl(focusedSite));
  if (holdsFocus)
    FSite->SetLeft(qvGridSiteParkedLeft);
  else
    FSite->SetParent(nullptr);
}
