#include <algorithm>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridCustomViewCells.h"
#include "grid/qvGridDetailsSite.h"
#include "grid/qvGridLevel.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridNotification)
QJ_IMPLEMENT_CLASS(TqvCustomGridDragOpenInfo)
QJ_IMPLEMENT_CLASS(TqvGridDragOpenInfoTab)
QJ_IMPLEMENT_CLASS(TqvGridController)
QJ_IMPLEMENT_CLASS(TqvGridPainter)
QJ_IMPLEMENT_CLASS(TqvGridViewInfo)

// ---------------------------------------------------------------------------------------------
// Drag opening

bool TqvGridDragOpenInfoTab::Matches(TqvCustomGridDragOpenInfo* AInfo) {
  return inherited::Matches(AInfo) && static_cast<TqvGridDragOpenInfoTab*>(AInfo)->FLevel == FLevel;
}

void TqvGridDragOpenInfoTab::Open() { FLevel->SetActive(true); }

TqvGridController::~TqvGridController() = default;

TqvCustomGridCellViewInfo* TqvGridController::MouseTargetCell(TqvCustomGridHitTest* AHitTest) const {
  if (auto* captured = As<TqvCustomGridCellViewInfo>(FControl->GetMouseCaptureObject())) return captured;
  return AHitTest->GetViewInfo();
}

// A press on a tab may rebuild the layout or free the grid: nothing is touched afterwards.
void TqvGridController::MouseDown(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y) {
  TOwned<TqvCustomGridHitTest> hitTest = FControl->GetViewInfo()->GetHitTest({X, Y});
  if (TqvCustomGridCellViewInfo* cell = hitTest->GetViewInfo()) cell->MouseDown(hitTest.get(), AButton, AShift);
}

void TqvGridController::MouseMove(TShiftState AShift, Integer X, Integer Y) {
  TOwned<TqvCustomGridHitTest> hitTest = FControl->GetViewInfo()->GetHitTest({X, Y});
  if (TqvCustomGridCellViewInfo* cell = MouseTargetCell(hitTest.get())) cell->MouseMove(hitTest.get(), AShift);
}

void TqvGridController::MouseUp(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y) {
  TAliveToken alive = FControl->AliveToken();
  TOwned<TqvCustomGridHitTest> hitTest = FControl->GetViewInfo()->GetHitTest({X, Y});
  if (TqvCustomGridCellViewInfo* cell = MouseTargetCell(hitTest.get())) cell->MouseUp(hitTest.get(), AButton, AShift);
  if (alive && AButton == mbRight) FControl->SendNotification(nkContextPopup);
}

void TqvGridController::DoCancelMode() {
  if (TqvCustomGridView* view = FControl->GetActiveView()) view->GetController()->DoCancelMode();
}

TOwned<TqvCustomGridDragOpenInfo> TqvGridController::GetDragOpenInfo(TqvCustomGridHitTest* AHitTest) {
  auto* tab = As<TqvGridDetailsSiteTabHitTest>(AHitTest);
  if (!tab || !tab->GetLevel()) return nullptr;
  return MakeOwned<TqvGridDragOpenInfoTab>(tab->GetLevel());
}

// A new target restarts the wait; the same target lets it run on.
void TqvGridController::DragOver(TObject*, Integer X, Integer Y, TDragState AState, bool&) {
  if (!FControl->GetDragOpening()) return;
  TOwned<TqvCustomGridDragOpenInfo> info;
  if (AState != dsDragLeave) info = GetDragOpenInfo(FControl->GetViewInfo()->GetHitTest({X, Y}).get());
  if (!info) {
    StopDragOpening();
    return;
  }
  if (FDragOpenInfo && FDragOpenInfo->Matches(info.get())) return;
  FDragOpenInfo = std::move(info);
  if (!FDragOpenTimer) {
    FDragOpenTimer = MakeOwned<TTimer>(nullptr);
    FDragOpenTimer->SetEnabled(false);
    FDragOpenTimer->SetOnTimer([this](TObject* Sender) { DragOpenTimerHandler(Sender); });
  }
  FDragOpenTimer->SetEnabled(false);
  // A timer of interval 0 never fires: no wait opens after the timers' shortest interval.
  FDragOpenTimer->SetInterval(static_cast<Cardinal>(std::max(FControl->GetDragOpeningWaitTime(), 1)));
  FDragOpenTimer->SetEnabled(true);
}

void TqvGridController::EndDrag(TObject*, Integer, Integer) { StopDragOpening(); }

bool TqvGridController::IsDragOpenTimerRunning() const { return FDragOpenTimer && FDragOpenTimer->GetEnabled(); }

void TqvGridController::StopDragOpening() {
  FDragOpenInfo.reset();
  if (FDragOpenTimer) FDragOpenTimer->SetEnabled(false);
}

// Opening may free the grid (an event of it), so nothing of the controller is touched after it.
void TqvGridController::DragOpenTimerHandler(TObject*) {
  FDragOpenTimer->SetEnabled(false);
  TOwned<TqvCustomGridDragOpenInfo> info = std::move(FDragOpenInfo);
  if (info) info->Open();
}

// ---------------------------------------------------------------------------------------------
// Painter and view info

void TqvGridPainter::Paint() { FControl->GetViewInfo()->GetDetailsSite()->Paint(FControl->GetCanvas()); }

void TqvGridPainter::Invalidate() {
  FControl->Invalidate();
  for (Integer i = 0; i < FControl->GetViewCount(); ++i) FControl->GetView(i)->RefreshWithClones(grkInvalidate);
  for (Integer i = 0; i < FControl->GetComponentCount(); ++i)
    if (auto* site = As<TqvGridSite>(FControl->GetComponent(i))) site->Invalidate();
}

TqvGridViewInfo::TqvGridViewInfo(TqvCustomGrid* AControl) : FControl(AControl) { RecreateDetailsSite(); }

TqvGridViewInfo::~TqvGridViewInfo() = default;

void TqvGridViewInfo::RecreateDetailsSite() {
  FDetailsSite.reset();
  FDetailsSite = TOwned<TqvGridTopDetailsSiteViewInfo>(static_cast<TqvGridTopDetailsSiteViewInfo*>(
      TqvGridTopDetailsSiteViewInfo::StaticClass().Create(FControl->GetRootLevel())));
}

void TqvGridViewInfo::Calculate() {
  TqvCustomGridView* active = FControl->GetActiveView();
  TqvGridLevel* root = FControl->GetRootLevel();
  for (Integer i = 0; i < root->GetCount(); ++i) {
    TqvCustomGridView* view = root->GetItem(i)->GetGridView();
    if (view && view != active && view->GetViewInfo()) view->GetViewInfo()->UpdateVisibility(true);
  }
  RecreateDetailsSite();
  if (!FDetailsSite->GetVisible()) return;
  const TRect client = FControl->GetClientBounds();
  FDetailsSite->Calculate(client.Left, client.Top);
}

TOwned<TqvCustomGridHitTest> TqvGridViewInfo::GetHitTest(TPoint P) {
  if (TOwned<TqvCustomGridHitTest> hitTest = FDetailsSite->GetHitTest(P)) return hitTest;
  return TqvCustomGridHitTest::Make<TqvGridNoneHitTest>(P);
}
