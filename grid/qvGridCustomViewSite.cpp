// The site: the window of a view, which hands each event to the view's controller in the order
// the header lists, lays the view out when its client size changes and paints through the
// view's painter.
#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "platform/forms/ActnList.h"

QJ_IMPLEMENT_CLASS(TqvGridSite)

TqvGridSite::TqvGridSite(TqvCustomGridViewInfo* AViewInfo) : TqvControl(nullptr), FViewInfo(AViewInfo) {
  SetControlStyle(GetControlStyle() | csNoDesignVisible);
  SetKeys(dkBit(dkArrows) | dkBit(dkChars));
  SetParentColor(false);
}

// ---------------------------------------------------------------------------------------------
// Focus and parent

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

bool TqvGridSite::FocusWhenChildIsClicked(TControl* AChild) {
  TqvCustomGrid* grid = GetGridView()->GetGrid();
  return inherited::FocusWhenChildIsClicked(AChild) && !(grid && grid->IsFocused());
}

bool TqvGridSite::MayFocus() const { return inherited::MayFocus() && GetController()->MayFocus(); }

void TqvGridSite::DoExit() {
  TAliveToken alive = AliveToken();
  if (!IsDestroying()) GetController()->DoExit();
  if (alive) inherited::DoExit();
}

bool TqvGridSite::IsDesigning() const {
  TqvCustomGrid* grid = GetGridView()->GetGrid();
  return grid && grid->HasState(csDesigning);
}

// ---------------------------------------------------------------------------------------------
// Size and painting

void TqvGridSite::TakeClientSize() {
  const TRect client = GetClientBounds();
  FLastClientWidth = client.Width();
  FLastClientHeight = client.Height();
}

void TqvGridSite::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const bool sized = AWidth != GetWidth() || AHeight != GetHeight();
  TAliveToken alive = AliveToken();
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (alive && sized) TakeClientSize();
}

bool TqvGridSite::CanRecalculateLayout() const {
  for (TqvCustomGridView* view = GetGridView(); view; view = view->GetMasterGridView())
    if (!view->GetViewInfo() || !view->GetViewInfo()->CanRecalculate()) return false;
  return true;
}

// A client size first taken (both old values 0) lays nothing out: the view info's own
// calculation made it.
void TqvGridSite::BoundsChanged() {
  const Integer oldWidth = FLastClientWidth, oldHeight = FLastClientHeight;
  TakeClientSize();
  const bool known = oldWidth != 0 || oldHeight != 0;
  if (known && (oldWidth != FLastClientWidth || oldHeight != FLastClientHeight)) {
    TAliveToken alive = AliveToken();
    if (CanRecalculateLayout())
      GetGridView()->SizeOrLayoutChanged(true, false);
    else if (IsUpdatingScrollBars() && HandleAllocated())
      PostMessage(GetHandle(), WM_QV_GRIDSITE_DEFERREDSIZE, 0, 0);
    if (!alive) return;
  }
  inherited::BoundsChanged();
}

void TqvGridSite::DeferredSizeChanged() {
  MSG pending;
  while (PeekMessage(&pending, GetHandle(), WM_QV_GRIDSITE_DEFERREDSIZE, WM_QV_GRIDSITE_DEFERREDSIZE, PM_REMOVE)) {
  }
  GetGridView()->SizeOrLayoutChanged(true, true);
}

void TqvGridSite::UpdateScrollBars() {
  if (!FViewInfo->IsCalculating()) inherited::UpdateScrollBars();
}

TRect TqvGridSite::GetHScrollBarBounds() {
  TRect r = inherited::GetHScrollBarBounds();
  FViewInfo->AdjustHScrollBarBounds(r);
  return r;
}

void TqvGridSite::Paint() {
  if (FViewInfo->IsCalculating() || IsParked()) return;
  inherited::Paint();
  GetGridView()->GetPainter()->Paint();
}

// ---------------------------------------------------------------------------------------------
// Messages

// The messages of a site being freed (its view's handlers are going) reach the platform only.
void TqvGridSite::WndProc(TMessage& Message) {
  TAliveToken alive = AliveToken();
  if (!IsDestroying()) GetController()->WndProc(Message);
  if (alive) inherited::WndProc(Message);
}

void TqvGridSite::KeyDownNotification(TMessage& Message) {
  if (TqvCustomGrid* grid = GetGridView()->GetGrid()) {
    TAliveToken alive = AliveToken();
    Message.Result = 0;
    grid->SendNotification(nkKeyDown, &Message);
    if (!alive || Message.Result != 0) return;
  }
  inherited::Dispatch(Message);
}

void TqvGridSite::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: KeyDownNotification(Message); return;
    case WM_QV_GRIDSITE_DEFERREDSIZE: DeferredSizeChanged(); return;
    default: inherited::Dispatch(Message);
  }
}

void TqvGridSite::DoCancelMode() {
  TAliveToken alive = AliveToken();
  inherited::DoCancelMode();
  if (alive) GetController()->DoCancelMode();
}

TCursor TqvGridSite::GetCurrentCursor(Integer X, Integer Y) {
  const TCursor cursor = GetController()->GetCurrentCursor(X, Y);
  return cursor != crDefault ? cursor : inherited::GetCurrentCursor(X, Y);
}

bool TqvGridSite::GetDesignHitTest(Integer X, Integer Y, TShiftState Shift) {
  if (inherited::GetDesignHitTest(X, Y, Shift)) return true;
  if (!(Shift & ssLeft)) return false;
  TOwned<TqvCustomGridHitTest> hitTest = FViewInfo->GetHitTestAt(X, Y);
  return GetController()->GetDesignHitTest(hitTest.get());
}

TqvMouseWheelScrollingKind TqvGridSite::GetMouseWheelScrollingKind() const {
  return GetController()->GetMouseWheelScrollingKind();
}

bool TqvGridSite::IsPixelScrollBar(TScrollBarKind AKind) const { return GetController()->IsPixelScrollBar(AKind); }

void TqvGridSite::InitScrollBarsParameters() { GetController()->InitScrollBarsParameters(); }

void TqvGridSite::Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) {
  GetController()->Scroll(AKind, ACode, APosition);
}

bool TqvGridSite::FocusedDataControllerHandles(bool (TqvCustomDataController::*AHandle)(TBasicAction*),
                                               TBasicAction* Action) {
  TqvCustomGridView* view = GetGridView();
  return view->IsFocused() && (view->GetDataController()->*AHandle)(Action);
}

bool TqvGridSite::ExecuteAction(TBasicAction* Action) {
  TAliveToken alive = AliveToken();
  if (inherited::ExecuteAction(Action)) return true;
  return alive && FocusedDataControllerHandles(&TqvCustomDataController::ExecuteAction, Action);
}

bool TqvGridSite::UpdateAction(TBasicAction* Action) {
  TAliveToken alive = AliveToken();
  if (inherited::UpdateAction(Action)) return true;
  return alive && FocusedDataControllerHandles(&TqvCustomDataController::UpdateAction, Action);
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TqvGridSite::BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::BeforeMouseDown(Button, Shift, X, Y);
  if (alive && HandleAllocated()) GetController()->MouseDown(Button, Shift, X, Y);
}

void TqvGridSite::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive && GetDragAndDropState() == ddsNone) GetController()->MouseMove(Shift, X, Y);
}

void TqvGridSite::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  if (GetDragAndDropState() == ddsDragging) {
    inherited::MouseUp(Button, Shift, X, Y);
    if (alive) GetController()->MouseUp(Button, Shift, X, Y);
  } else {
    GetController()->MouseUp(Button, Shift, X, Y);
    if (alive) inherited::MouseUp(Button, Shift, X, Y);
  }
  if (!alive || Button != mbRight) return;
  if (TqvCustomGrid* grid = GetGridView()->GetGrid()) grid->SendNotification(nkContextPopup);
}

void TqvGridSite::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (alive) GetController()->KeyDown(Key, Shift);
}

void TqvGridSite::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  inherited::KeyPress(Key);
  if (alive) GetController()->KeyPress(Key);
}

void TqvGridSite::KeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyUp(Key, Shift);
  if (alive) GetController()->KeyUp(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Drag and drop

bool TqvGridSite::CanStartAutoDrag(Integer X, Integer Y) const {
  return inherited::CanStartAutoDrag(X, Y) && GetController()->CanStartAutoDrag(X, Y);
}

void TqvGridSite::BeginDragAndDrop() {
  TAliveToken alive = AliveToken();
  GetController()->BeginDragAndDrop();
  if (alive) inherited::BeginDragAndDrop();
}

void TqvGridSite::DragAndDrop(TPoint P, bool& Accepted) {
  TAliveToken alive = AliveToken();
  inherited::DragAndDrop(P, Accepted);
  if (alive) GetController()->DragAndDrop(P, Accepted);
}

void TqvGridSite::EndDragAndDrop(bool Accepted) {
  TAliveToken alive = AliveToken();
  GetController()->EndDragAndDrop(Accepted);
  if (alive) inherited::EndDragAndDrop(Accepted);
}

bool TqvGridSite::StartDragAndDrop(TPoint P) { return GetController()->StartDragAndDrop(P); }

void TqvGridSite::DoStartDrag(TDragObject*& DragObject) {
  TAliveToken alive = AliveToken();
  GetController()->BeforeStartDrag();
  if (!alive) return;
  inherited::DoStartDrag(DragObject);
  if (alive) GetController()->StartDrag(DragObject);
}

void TqvGridSite::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  TAliveToken alive = AliveToken();
  inherited::DragOver(Source, X, Y, State, Accept);
  if (alive) GetController()->DragOver(Source, X, Y, State, Accept);
}

void TqvGridSite::DragDrop(TObject* Source, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  GetController()->DragDrop(Source, X, Y);
  if (alive) inherited::DragDrop(Source, X, Y);
}

void TqvGridSite::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  GetController()->EndDrag(Target, X, Y);
  if (alive) inherited::DoEndDrag(Target, X, Y);
}
