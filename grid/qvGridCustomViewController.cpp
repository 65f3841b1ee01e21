// The view controller's base: focus, mouse dispatch to the layout cells, cursors, internal drag
// start and the cell hint.
#include <algorithm>
#include <climits>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridCustomViewCells.h"
#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridController)

namespace {

// The hint window's frame around its text: the text rectangle loses this much of the width
// and height the window computed for it, and the window gains this much around its client
// area beyond the window's own frame; the last cut at the bottom keeps the text where the
// cell shows it.
constexpr Integer kHintRightCut = 6;
constexpr Integer kHintBottomCut = 2;
constexpr Integer kHintFrameGrowth = 2;
constexpr Integer kHintFinalBottomCut = 4;

TqvCustomGridDragAndDropObject* RunningGridDragAndDropObject(TqvGridSite* ASite) {
  if (ASite->GetDragAndDropState() != ddsDragging) return nullptr;
  return As<TqvCustomGridDragAndDropObject>(ASite->GetDragAndDropObject());
}

}  // namespace

TqvCustomGridController::~TqvCustomGridController() { HideHint(); }

// ---------------------------------------------------------------------------------------------
// Painting, focus and hit tests

void TqvCustomGridController::MouseLeave() { HideHint(); }

void TqvCustomGridController::AfterPaint() {
  if (TqvCustomGridDragAndDropObject* object = RunningGridDragAndDropObject(GetSite())) object->AfterPaint();
}

void TqvCustomGridController::BeforePaint() {
  if (TqvCustomGridDragAndDropObject* object = RunningGridDragAndDropObject(GetSite())) object->BeforePaint();
}

bool TqvCustomGridController::CanHandleHitTest(TqvCustomGridHitTest* AHitTest) {
  auto* viewHitTest = As<TqvCustomGridViewHitTest>(AHitTest);
  return !viewHitTest || viewHitTest->GetGridView() == GetGridView();
}

bool TqvCustomGridController::GetDesignHitTest(TqvCustomGridHitTest* AHitTest) {
  return AHitTest->GetDragAndDropObjectClass() != nullptr;
}

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

TCursor TqvCustomGridController::GetCurrentCursor(Integer X, Integer Y) {
  TOwned<TqvCustomGridHitTest> hitTest = GetViewInfo()->GetHitTestAt(X, Y);
  return CanHandleHitTest(hitTest.get()) ? hitTest->GetCursor() : crDefault;
}

// ---------------------------------------------------------------------------------------------
// Drag and drop, keys, mouse

bool TqvCustomGridController::StartDragAndDrop(TPoint P) {
  TOwned<TqvCustomGridHitTest> hitTest = GetViewInfo()->GetHitTest(P);
  if (!CanHandleHitTest(hitTest.get())) return false;
  TqvDragAndDropObjectClass objectClass = hitTest->GetDragAndDropObjectClass();
  if (!objectClass) return false;
  TqvGridSite* site = GetSite();
  site->SetDragAndDropObjectClass(objectClass);
  if (auto* object = As<TqvCustomGridDragAndDropObject>(site->GetDragAndDropObject())) object->Init(P, hitTest.get());
  return true;
}

TqvHintWindowClass TqvCustomGridController::GetHintWindowClass() { return Application->GetHintWindowClass(); }

void TqvCustomGridController::KeyDown(Word& AKey, TShiftState AShift) { DoKeyDown(AKey, AShift); }

TqvCustomGridCellViewInfo* TqvCustomGridController::MouseTargetCell(TqvCustomGridHitTest* AHitTest) const {
  if (auto* captured = As<TqvCustomGridCellViewInfo>(GetSite()->GetMouseCaptureObject())) return captured;
  return AHitTest->GetViewInfo();
}

void TqvCustomGridController::MouseDown(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y) {
  FIsDblClick = (AShift & ssDouble) != 0;
  TOwned<TqvCustomGridHitTest> hitTest = GetViewInfo()->GetHitTestAt(X, Y);
  if (TqvCustomGridCellViewInfo* cell = hitTest->GetViewInfo()) cell->MouseDown(hitTest.get(), AButton, AShift);
}

void TqvCustomGridController::MouseMove(TShiftState AShift, Integer X, Integer Y) {
  TOwned<TqvCustomGridHitTest> hitTest = GetViewInfo()->GetHitTestAt(X, Y);
  if (TqvCustomGridCellViewInfo* cell = MouseTargetCell(hitTest.get())) cell->MouseMove(hitTest.get(), AShift);
}

void TqvCustomGridController::MouseUp(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y) {
  TOwned<TqvCustomGridHitTest> hitTest = GetViewInfo()->GetHitTestAt(X, Y);
  if (TqvCustomGridCellViewInfo* cell = MouseTargetCell(hitTest.get())) cell->MouseUp(hitTest.get(), AButton, AShift);
}

// ---------------------------------------------------------------------------------------------
// Hint and scroll bars

void TqvCustomGridController::ShowHint(const TRect& AHintBounds, const TRect& ATextRect, TFont* AFont,
                                       bool AMultiLine, const String& AText) {
  if (FHintWindow) {
    if (FHintWindow->GetCaption() == AText && FHintTextRect == ATextRect) return;
    EndMouseTracking(this);
  } else {
    TqvHintWindowClass windowClass = GetHintWindowClass();
    if (!windowClass->InheritsFrom(&THintWindow::StaticClass()))
      throw EInvalidCast(Format("%s is not a THintWindow", {windowClass->ClassName()}));
    FHintWindow = TOwned<THintWindow>(static_cast<THintWindow*>(windowClass->Create(nullptr)));
    FHintWindow->SetColor(Application->GetHintColor());
  }
  FHintTextRect = ATextRect;
  if (AFont) {
    const TColor textColor = FHintWindow->GetFont()->GetColor();
    FHintWindow->SetFont(AFont);
    FHintWindow->GetFont()->SetColor(textColor);
  }

  TRect r = FHintWindow->CalcHintRect(AMultiLine ? ATextRect.Width() : INT_MAX, AText, nullptr);
  r.Right -= kHintRightCut;
  r.Bottom -= kHintBottomCut;
  const TPoint origin = GetSite()->ClientToScreen(ATextRect.TopLeft());
  r = qvOffsetRect(r, origin.X - r.Left, origin.Y - r.Top);
  // Measured at its size: an empty window has no room for its frame.
  FHintWindow->SetBoundsRect(r);
  FHintWindow->HandleNeeded();
  RECT window;
  GetWindowRect(FHintWindow->GetHandle(), &window);
  const TPoint clientOrigin = FHintWindow->GetClientOrigin();
  const Integer growX = clientOrigin.X - window.Left + kHintFrameGrowth;
  const Integer growY = clientOrigin.Y - window.Top + kHintFrameGrowth;
  r = {r.Left - growX, r.Top - growY, r.Right + growX, r.Bottom + growY};
  const TRect work = GetMonitorWorkArea(r);
  r = qvOffsetRect(r, std::max(work.Left - r.Left, 0), std::max(work.Top - r.Top, 0));
  r.Right = std::min(r.Right, work.Right);
  r.Bottom = std::min(r.Bottom, work.Bottom) - kHintFinalBottomCut;
  // A work area smaller than the hint leaves an empty window, never a negative size.
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);

  FHintWindow->ActivateHint(r, AText);
  BeginMouseTracking(GetSite(), AHintBounds, this);
}

void TqvCustomGridController::HideHint() {
  EndMouseTracking(this);
  FHintWindow.reset();
}

void TqvCustomGridController::SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep,
                                               Integer APage, Integer APosition, bool AAllowShow, bool AAllowHide) {
  GetSite()->SetScrollBarInfo(AKind, AMin, AMax, AStep, APage, APosition, AAllowShow, AAllowHide);
}

void TqvCustomGridController::UpdateScrollBars() { GetSite()->UpdateScrollBars(); }
