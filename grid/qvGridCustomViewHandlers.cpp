#include <climits>
#include <unordered_map>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvGridViewHandler)
QJ_IMPLEMENT_CLASS(TqvCustomGridHitTest)
QJ_IMPLEMENT_CLASS(TqvGridNoneHitTest)
QJ_IMPLEMENT_CLASS(TqvCustomGridController)
QJ_IMPLEMENT_CLASS(TqvCustomGridPainter)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewData)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfoCacheItem)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfoCache)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewInfo)
QJ_IMPLEMENT_CLASS(TqvGridSite)

// ---------------------------------------------------------------------------------------------
// Handler base

TqvGridViewHandler::TqvGridViewHandler(TqvCustomGridView* AGridView)
    : TqvInterfacedPersistent(nullptr), FGridView(AGridView) {}

TqvCustomGrid* TqvGridViewHandler::GetControl() const { return FGridView->GetGrid(); }
TqvCustomGridController* TqvGridViewHandler::GetController() const { return FGridView->GetController(); }
TqvCustomDataController* TqvGridViewHandler::GetDataController() const { return FGridView->GetDataController(); }
TqvLookAndFeelPainterClass TqvGridViewHandler::GetLookAndFeelPainter() const {
  return FGridView->GetLookAndFeelPainter();
}
TqvGridSite* TqvGridViewHandler::GetSite() const { return FGridView->GetSite(); }
TqvCustomGridViewData* TqvGridViewHandler::GetViewData() const { return FGridView->GetViewData(); }
TqvCustomGridViewInfo* TqvGridViewHandler::GetViewInfo() const { return FGridView->GetViewInfo(); }
void TqvGridViewHandler::BeginUpdate() { FGridView->BeginUpdate(); }
void TqvGridViewHandler::EndUpdate() { FGridView->EndUpdate(); }

// ---------------------------------------------------------------------------------------------
// Hit tests

TqvCustomGridHitTest* TqvCustomGridHitTest::Instance(TqvGridHitTestClass AClass, TPoint APos) {
  static std::unordered_map<TClass, TOwned<TqvCustomGridHitTest>> cache;
  TOwned<TqvCustomGridHitTest>& hitTest = cache[AClass];
  if (!hitTest) hitTest.reset(AClass->Create());
  hitTest->SetPos(APos);
  return hitTest.get();
}

// ---------------------------------------------------------------------------------------------
// Controller

void TqvCustomGridController::FocusLost() {
  EndEditing();
  TqvGridSite* site = GetSite();
  site->SetTabStop(false);
  if (!GetGridView()->IsVisible()) site->SetParent(nullptr);
}

void TqvCustomGridController::FocusGained() {
  TqvCustomGridView* view = GetGridView();
  TqvGridSite* site = GetSite();
  TAliveToken alive = site->AliveToken();
  site->SetTabStop(true);
  GetViewInfo()->UpdateVisibility(true);
  TqvCustomGrid* grid = GetControl();
  if (grid && grid->IsFocused() && site->CanFocus()) site->SetFocus();
  if (!alive) return;
  if (TqvCustomGridView* master = view->GetMasterGridView()) master->GetController()->DetailFocused(view);
}

void TqvCustomGridController::ControlFocusChanged() { GetViewInfo()->ControlFocusChanged(); }

// ---------------------------------------------------------------------------------------------
// Painter

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
// View info

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
  DestroyViewInfos(true);
  CreateViewInfos();
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

// ---------------------------------------------------------------------------------------------
// Site

TqvGridSite::TqvGridSite(TqvCustomGridViewInfo* AViewInfo) : TqvControl(nullptr), FViewInfo(AViewInfo) {
  SetControlStyle(GetControlStyle() | csNoDesignVisible);
  SetKeys(dkBit(dkArrows) | dkBit(dkChars));
  SetParentColor(false);
}

bool TqvGridSite::IsFocused() {
  if (Focused()) return true;
  TqvCustomGridController* controller = GetController();
  return controller && controller->HasFocusedControls();
}

void TqvGridSite::SetFocus() {
  TqvCustomGridView* view = GetGridView();
  TqvCustomGrid* grid = view->GetGrid();
  TAliveToken alive = AliveToken();
  if (grid && !view->IsFocused())
    if (TqvCustomGridView* focused = grid->GetFocusedView()) focused->GetController()->EndEditing();
  if (alive) TqvControl::SetFocus();
}

void TqvGridSite::SetParent(TWinControl* AParent) {
  TWinControl* oldParent = GetParent();
  if (AParent != oldParent) {
    TqvCustomGridView* view = GetGridView();
    if (AParent) {
      if (TqvCustomGrid* grid = view->GetGrid()) GetLookAndFeel()->SetMasterLookAndFeel(grid->GetLookAndFeel());
      if (view->GetLevel()) view->SetTabStop(view->GetLevel()->IsTop());
    } else if (oldParent && view->IsFocused() && Focused() && oldParent->CanFocus()) {
      oldParent->SetFocus();
    }
  }
  TqvControl::SetParent(AParent);
}

void TqvGridSite::FocusChanged() {
  TAliveToken alive = AliveToken();
  TqvControl::FocusChanged();
  if (!alive) return;
  TqvCustomGridView* view = GetGridView();
  if (Focused()) view->SetFocused(true);
  if (!alive) return;
  if (TqvCustomGrid* grid = view->GetGrid()) grid->SetControlFocused(view->IsControlFocused());
}

void TqvGridSite::WndProc(TMessage& Message) {
  if (Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) {
    if (TqvCustomGrid* grid = GetGridView()->GetGrid()) {
      TAliveToken alive = AliveToken();
      Message.Result = 0;
      grid->SendNotification(nkKeyDown, &Message);
      if (!alive || Message.Result != 0) return;
    }
  }
  TqvControl::WndProc(Message);
}
