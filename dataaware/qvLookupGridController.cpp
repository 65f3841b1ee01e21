// The lookup grid's reactions: the data controller's notifications, the top row and scrolling,
// keys, the mouse with hot tracking and auto-scrolling, header sorting, and the chosen row.
#include <algorithm>

#include "dataaware/qvLookupGrid.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

namespace {

constexpr Cardinal kAutoScrollInterval = 50;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Notifications

void TqvCustomLookupGrid::DataControllerNotify(TqvUpdateControlInfo* AInfo) {
  if (FDestroyingGrid) return;
  if (As<TqvDataChangedInfo>(AInfo))
    DataChanged();
  else if (As<TqvLayoutChangedInfo>(AInfo))
    DataLayoutChanged();
  else if (auto* focused = As<TqvFocusedRowChangedInfo>(AInfo))
    FocusedRowChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex);
  else if (auto* selection = As<TqvSelectionChangedInfo>(AInfo))
    SelectionChanged(selection);
}

void TqvCustomLookupGrid::DataChanged() {
  TAliveToken alive = AliveToken();
  LayoutChanged();
  if (alive && DataChangedHandler) DataChangedHandler(this);
}

void TqvCustomLookupGrid::DataLayoutChanged() { LayoutChanged(); }

void TqvCustomLookupGrid::DoRowChosen() {
  if (RowChosenHandler) RowChosenHandler(this);
}

void TqvCustomLookupGrid::DoCloseUp(bool AAccept) {
  if (CloseUpHandler) CloseUpHandler(this, AAccept);
}

void TqvCustomLookupGrid::DoNotification() {
  if (NotificationHandler) NotificationHandler(this);
}

void TqvCustomLookupGrid::FocusedRowChanged(Integer APrevRowIndex, Integer AFocusedRowIndex) {
  if (IsRowVisible(AFocusedRowIndex)) {
    InvalidateRow(APrevRowIndex, true);
    InvalidateRow(AFocusedRowIndex, true);
    return;
  }
  LayoutChanged();
  MakeFocusedRowVisible();
}

void TqvCustomLookupGrid::LayoutChanged() {
  if (FDestroyingGrid || !FViewInfo || IsLocked()) {
    if (IsLocked()) FChanges |= qvLookupGridLayoutChanged;
    return;
  }
  SetTopRowIndexCore(FTopRowIndex, true);
  Refresh();
}

void TqvCustomLookupGrid::SelectionChanged(TqvSelectionChangedInfo* AInfo) {
  if (AInfo->GetCount() == 0) {
    LayoutChanged();
    return;
  }
  for (Integer i = 0; i < AInfo->GetCount(); ++i) InvalidateRow(AInfo->GetRowIndex(i), true);
}

void TqvCustomLookupGrid::SetFocusedRowSelected(bool AValue) { FDataController->SetFocusedRowSelected(AValue); }

void TqvCustomLookupGrid::InvalidateFocusedRow() {
  if (FDataController) InvalidateRow(GetFocusedRowIndex(), false);
}

void TqvCustomLookupGrid::InvalidateRow(Integer ARowIndex, bool ARecalculate) {
  TqvLookupGridRowViewInfo* row = FViewInfo ? FViewInfo->FindRow(ARowIndex) : nullptr;
  if (!row) return;
  if (ARecalculate) {
    row->Focused = ARowIndex == GetFocusedRowIndex();
    FViewInfo->CalculateCells(*row);
  }
  InvalidateRect(row->Bounds, false);
}

void TqvCustomLookupGrid::Refresh() {
  if (!HandleAllocated()) return;
  FViewInfo->Calculate();
  FPainter->Invalidate();
  UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// Top row and scrolling

void TqvCustomLookupGrid::CheckTopRowIndex(Integer& AIndex) {
  const Integer count = GetRowCount();
  if (FDataController->IsGridMode()) {
    if (AIndex < 0) {
      if (!FDataController->IsBOF()) FDataController->Scroll(AIndex);
      AIndex = 0;
    } else if (AIndex < count) {
      const Integer last = count - FViewInfo->GetVisibleCount();
      if (AIndex > last) {
        if (!FDataController->IsEOF()) FDataController->Scroll(AIndex - last);
        AIndex = last;
      }
    } else {
      if (!FDataController->IsEOF()) FDataController->Scroll(AIndex - count + 1);
      AIndex = count - 1;
    }
  }
  AIndex = std::max<Integer>(std::min(AIndex, GetRowCount() - 1), 0);
}

void TqvCustomLookupGrid::SetTopRowIndex(Integer AIndex) {
  CheckTopRowIndex(AIndex);
  if (AIndex != FTopRowIndex) SetTopRowIndexCore(AIndex, false);
}

void TqvCustomLookupGrid::SetTopRowIndexCore(Integer AIndex, bool ANoRefresh) {
  AIndex = FViewInfo->ValidateTopRowIndex(AIndex);
  if (AIndex == FTopRowIndex) {
    FViewInfo->Calculate();
    return;
  }
  FTopRowIndex = AIndex;
  TAliveToken alive = AliveToken();
  TFinally clear([&] {
    if (alive) FIgnoreMouseMove = false;
  });
  FIgnoreMouseMove = true;
  if (!ANoRefresh) Refresh();
}

void TqvCustomLookupGrid::ScrollPageDown() {
  const Integer visible = FViewInfo->GetVisibleCount();
  SetTopRowIndex(visible < 2 ? FTopRowIndex + 1 : FTopRowIndex + visible - 1);
}

void TqvCustomLookupGrid::ScrollPageUp() {
  const Integer visible = FViewInfo->GetVisibleCount();
  SetTopRowIndex(visible < 2 ? FTopRowIndex - 1 : FTopRowIndex - visible + 1);
}

void TqvCustomLookupGrid::MakeRowVisible(Integer ARowIndex) {
  const Integer visible = FViewInfo->GetVisibleCount();
  if (visible < 1) return;
  if (ARowIndex < FTopRowIndex)
    SetTopRowIndex(ARowIndex);
  else if (ARowIndex > FTopRowIndex + visible - 1)
    SetTopRowIndex(ARowIndex - visible + 1);
}

void TqvCustomLookupGrid::MakeFocusedRowVisible() {
  if (FDataController && GetFocusedRowIndex() != -1) MakeRowVisible(GetFocusedRowIndex());
}

bool TqvCustomLookupGrid::IsRowVisible(Integer ARowIndex) {
  const Integer visible = FViewInfo ? FViewInfo->GetVisibleCount() : 0;
  return visible >= 1 && ARowIndex >= FTopRowIndex && ARowIndex <= FTopRowIndex + visible - 1;
}

Integer TqvCustomLookupGrid::GetScrollBarOffsetBegin() const {
  return FDataController->IsGridMode() && !FDataController->IsBOF() ? 1 : 0;
}

Integer TqvCustomLookupGrid::GetScrollBarOffsetEnd() const {
  return FDataController->IsGridMode() && !FDataController->IsEOF() ? 1 : 0;
}

void TqvCustomLookupGrid::InitScrollBarsParameters() {
  if (!FDataController || !FViewInfo) return;
  const Integer begin = GetScrollBarOffsetBegin();
  SetScrollBarInfo(sbVertical, 0, begin + GetRowCount() - 1 + GetScrollBarOffsetEnd(), 1,
                   FViewInfo->GetVisibleCount(), begin + FTopRowIndex, true, true);
}

void TqvCustomLookupGrid::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (AScrollBarKind != sbVertical) return;
  const bool gridMode = FDataController->IsGridMode();
  switch (AScrollCode) {
    case scLineUp: SetTopRowIndex(FTopRowIndex - 1); break;
    case scLineDown: SetTopRowIndex(FTopRowIndex + 1); break;
    case scPageUp: ScrollPageUp(); break;
    case scPageDown: ScrollPageDown(); break;
    case scPosition:
      if (gridMode) SetTopRowIndex(AScrollPos - GetScrollBarOffsetBegin());
      break;
    case scTrack:
      if (!gridMode) SetTopRowIndex(AScrollPos);
      break;
    default: break;
  }
  AScrollPos = GetScrollBarOffsetBegin() + FTopRowIndex;
}

// ---------------------------------------------------------------------------------------------
// Drop-down sizing

namespace {

// A layout without columns or horizontal lines has rows of no height: sizes count them as 1.
Integer PopupRowHeight(TqvLookupGridViewInfo* AViewInfo) { return std::max<Integer>(1, AViewInfo->GetRowHeight()); }

}  // namespace

Integer TqvCustomLookupGrid::GetPopupHeight(Integer ARows) {
  FViewInfo->Calculate();
  return FViewInfo->GetHeaderArea().Height() + ARows * PopupRowHeight(FViewInfo.get());
}

Integer TqvCustomLookupGrid::GetNearestPopupHeight(Integer AHeight) {
  FViewInfo->Calculate();
  const Integer header = FViewInfo->GetHeaderArea().Height();
  const Integer rowHeight = PopupRowHeight(FViewInfo.get());
  const Integer rows = std::max<Integer>(1, std::min((AHeight - header) / rowHeight, GetRowCount()));
  return header + rows * rowHeight;
}

bool TqvCustomLookupGrid::IsMouseOverRow(const TPoint& P) { return GetHitInfo(P).RowIndex != -1; }

// ---------------------------------------------------------------------------------------------
// Keys

void TqvCustomLookupGrid::FocusNextRow(bool AForward) {
  Integer row = GetFocusedRowIndex();
  if (FDataController->IsGridMode()) {
    if (AForward && row == GetRowCount() - 1 && !FDataController->IsEOF()) {
      FDataController->Scroll(1);
      if (!FDataController->IsEOF()) --row;
    } else if (!AForward && row == 0 && !FDataController->IsBOF()) {
      FDataController->Scroll(-1);
      if (!FDataController->IsBOF()) ++row;
    }
  }
  row = std::clamp<Integer>(row + (AForward ? 1 : -1), 0, std::max<Integer>(GetRowCount() - 1, 0));
  SetFocusedRowIndex(row);
  SetFocusedRowSelected(true);
}

void TqvCustomLookupGrid::FocusPrevPage() {
  MakeFocusedRowVisible();
  if (GetFocusedRowIndex() == FTopRowIndex) ScrollPageUp();
  SetFocusedRowIndex(FTopRowIndex);
}

void TqvCustomLookupGrid::FocusNextPage() {
  MakeFocusedRowVisible();
  const Integer lastVisible = FTopRowIndex + FViewInfo->GetVisibleCount() - 1;
  if (GetFocusedRowIndex() == lastVisible) ScrollPageDown();
  SetFocusedRowIndex(std::min(FTopRowIndex + FViewInfo->GetVisibleCount() - 1, GetRowCount() - 1));
}

void TqvCustomLookupGrid::FocusColumnAndShow(Integer AIndex) {
  SetFocusedColumnIndex(AIndex);
  MakeFocusedRowVisible();
}

void TqvCustomLookupGrid::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive) return;
  const bool rowSelect = FOptions->GetRowSelect();
  switch (Key) {
    case VK_RETURN: DoCloseUp(GetFocusedRowIndex() != -1); break;
    case VK_PRIOR: FocusPrevPage(); break;
    case VK_NEXT: FocusNextPage(); break;
    case VK_UP:
    case VK_DOWN: FocusNextRow(Key == VK_DOWN); break;
    case VK_HOME:
    case VK_END:
      if ((Shift & ssCtrl) || rowSelect) {
        if (Key == VK_HOME)
          FDataController->GotoFirst();
        else
          FDataController->GotoLast();
      } else {
        FocusColumnAndShow(Key == VK_HOME ? 0 : FColumns->GetCount() - 1);
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (rowSelect)
        MakeFocusedRowVisible();
      else
        FocusColumnAndShow(GetFocusedColumnIndex() + (Key == VK_LEFT ? -1 : 1));
      break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Mouse

TqvLookupGridHitInfo TqvCustomLookupGrid::GetHitInfo(const TPoint& P) {
  TqvLookupGridHitInfo info;
  if (!GetClientBounds().Contains(P)) return info;
  if (FViewInfo->GetHeaderArea().Contains(P)) {
    for (Integer i = 0; i < FViewInfo->GetColumnCount(); ++i)
      if (FViewInfo->GetColumn(i).Bounds.Contains(P)) {
        info.Kind = TqvLookupGridHitKind::Header;
        info.ColumnIndex = i;
        return info;
      }
  }
  if (!FViewInfo->GetRowsArea().Contains(P)) return info;
  for (Integer r = 0; r < FViewInfo->GetRowViewCount(); ++r) {
    TqvLookupGridRowViewInfo& row = FViewInfo->GetRow(r);
    if (!row.Bounds.Contains(P)) continue;
    info.RowIndex = row.RowIndex;
    for (const TqvLookupGridCellViewInfo& cell : row.Cells)
      if (cell.Bounds.Left <= P.X && P.X < cell.Bounds.Right) {
        info.ColumnIndex = cell.ColumnIndex;
        info.Kind = TqvLookupGridHitKind::Row;
        break;
      }
    break;
  }
  return info;
}

void TqvCustomLookupGrid::RowMouseDown(Integer ARowIndex, Integer AColumnIndex, TShiftState) {
  if (ARowIndex != -1) SetFocusedRowIndex(ARowIndex);
  if (AColumnIndex != -1) SetFocusedColumnIndex(AColumnIndex);
}

void TqvCustomLookupGrid::HeaderClick(Integer AColumnIndex, TShiftState AShift) {
  if (!FOptions->GetColumnSorting() || AColumnIndex == -1) return;
  TqvLookupGridColumn* column = FColumns->GetItem(AColumnIndex);
  if (!column->GetSorting()) return;
  TFinally show([&] { MakeFocusedRowVisible(); });
  TUpdateScope<TqvCustomLookupGrid> update(this);
  if (AShift & ssCtrl) {
    column->SetSortOrder(soNone);
    return;
  }
  const TqvDataSortOrder order = column->GetSortOrder() == soAscending ? soDescending : soAscending;
  if (!(AShift & ssShift)) FDataController->ClearSorting(true);
  column->SetSortOrder(order);
}

void TqvCustomLookupGrid::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive) return;
  const TqvLookupGridHitInfo hit = GetHitInfo({X, Y});
  if (hit.Kind == TqvLookupGridHitKind::Header) {
    HeaderClick(hit.ColumnIndex, Shift);
  } else if (hit.Kind == TqvLookupGridHitKind::Row) {
    RowMouseDown(hit.RowIndex, hit.ColumnIndex, Shift);
    if (alive) FPressedOnRow = true;
  }
}

void TqvCustomLookupGrid::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  const bool captured = HandleAllocated() && GetCapture() == GetHandle();
  if (!captured && FIgnoreMouseMove) {
    FIgnoreMouseMove = false;
    return;
  }
  if (!captured && !GetHotTrack()) return;
  const TqvLookupGridHitInfo hit = GetHitInfo({X, Y});
  if (FPressedOnRow && captured) {
    const TRect& visible = FViewInfo->GetVisibleRowsArea();
    if (Y < visible.Top) {
      SetAutoScrollDirection(TqvLookupGridAutoScroll::Up);
      return;
    }
    if (Y >= visible.Bottom) {
      SetAutoScrollDirection(TqvLookupGridAutoScroll::Down);
      return;
    }
  }
  SetAutoScrollDirection(TqvLookupGridAutoScroll::None);
  if (hit.RowIndex != -1) {
    SetFocusedRowIndex(hit.RowIndex);
    SetFocusedRowSelected(true);
  }
}

void TqvCustomLookupGrid::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive) return;
  SetAutoScrollDirection(TqvLookupGridAutoScroll::None);
  const TqvLookupGridHitInfo hit = GetHitInfo({X, Y});
  const bool pressed = FPressedOnRow;
  FPressedOnRow = false;
  if (pressed) DoCloseUp(hit.RowIndex != -1);
}

void TqvCustomLookupGrid::DoCancelMode() {
  SetAutoScrollDirection(TqvLookupGridAutoScroll::None);
  FPressedOnRow = false;
  inherited::DoCancelMode();
}

void TqvCustomLookupGrid::SetAutoScrollDirection(TqvLookupGridAutoScroll ADirection) {
  if (ADirection == FAutoScrollDirection) return;
  FAutoScrollTimer.reset();
  FAutoScrollDirection = ADirection;
  if (ADirection == TqvLookupGridAutoScroll::None) return;
  FAutoScrollTimer.reset(New<TTimer>(nullptr));
  FAutoScrollTimer->SetInterval(kAutoScrollInterval);
  FAutoScrollTimer->SetOnTimer([this](TObject* Sender) { AutoScrollTimerTick(Sender); });
}

void TqvCustomLookupGrid::AutoScrollTimerTick(TObject*) {
  TPoint p{};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  const TRect& visible = FViewInfo->GetVisibleRowsArea();
  Integer row = GetFocusedRowIndex();
  if (p.Y < visible.Top)
    row = FTopRowIndex - 1;
  else if (p.Y >= visible.Bottom)
    row = FTopRowIndex + FViewInfo->GetVisibleCount() + 1;
  row = std::clamp<Integer>(row, 0, std::max<Integer>(GetRowCount() - 1, 0));
  SetFocusedRowIndex(row);
  MakeFocusedRowVisible();
  SetFocusedRowSelected(false);
}
