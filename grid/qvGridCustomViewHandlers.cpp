// The handler base, hit tests and the drag-and-drop object of a view's site.
#include "grid/qvGridCustomView.h"
#include "grid/qvGridCustomViewCells.h"

QJ_IMPLEMENT_CLASS(TqvGridViewHandler)
QJ_IMPLEMENT_CLASS(TqvCustomGridHitTest)
QJ_IMPLEMENT_CLASS(TqvGridNoneHitTest)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewHitTest)
QJ_IMPLEMENT_CLASS(TqvGridViewNoneHitTest)
QJ_IMPLEMENT_CLASS(TqvCustomGridDragAndDropObject)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewData)

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

TOwned<TqvCustomGridHitTest> TqvCustomGridHitTest::Make(TqvGridHitTestClass AClass, TPoint APos) {
  TOwned<TqvCustomGridHitTest> hitTest(AClass->Create());
  hitTest->SetPos(APos);
  return hitTest;
}

TqvCustomGridCellViewInfo* TqvCustomGridHitTest::GetViewInfo() const {
  return FViewInfoAlive ? FViewInfo : nullptr;
}

void TqvCustomGridHitTest::SetViewInfo(TqvCustomGridCellViewInfo* AValue) {
  FViewInfo = AValue;
  FViewInfoAlive = AValue ? AValue->AliveToken() : TAliveToken();
}

TqvCustomGridView* TqvCustomGridViewHitTest::GetGridView() const { return FGridViewAlive ? FGridView : nullptr; }

void TqvCustomGridViewHitTest::SetGridView(TqvCustomGridView* AValue) {
  FGridView = AValue;
  FGridViewAlive = AValue ? AValue->AliveToken() : TAliveToken();
}

// ---------------------------------------------------------------------------------------------
// Drag-and-drop object

void TqvCustomGridDragAndDropObject::Init(TPoint P, TqvCustomGridHitTest*) { FStartPoint = P; }

TqvGridSite* TqvCustomGridDragAndDropObject::GetSite() const { return static_cast<TqvGridSite*>(GetControl()); }
TqvCustomGridView* TqvCustomGridDragAndDropObject::GetGridView() const { return GetSite()->GetGridView(); }
TqvCustomGridController* TqvCustomGridDragAndDropObject::GetController() const { return GetSite()->GetController(); }
TqvCustomGridViewInfo* TqvCustomGridDragAndDropObject::GetViewInfo() const { return GetSite()->GetViewInfo(); }
