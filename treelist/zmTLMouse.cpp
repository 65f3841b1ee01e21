// The tree list's mouse: presses turned into interaction states (sizing, pressing and dragging
// headers and bands, focusing and selecting nodes, opening the editor), hot tracking, the
// control's own timers (editor delay, auto-scroll) and drag select.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLFeedback.h"
#include "treelist/zmUtils.h"

namespace {

// The control's window timers.
constexpr UINT_PTR kHorzScrollTimer = 1;
constexpr UINT_PTR kEditorTimer = 2;
constexpr UINT_PTR kVertScrollTimer = 3;
constexpr UINT_PTR kDragExpandTimer = 101;

constexpr Integer kDragThreshold = 5;
constexpr UINT kSelectScrollInterval = 60;
constexpr UINT kDragScrollInterval = 100;

bool IsNodePressKind(TzmTreeListHitKind Kind) {
  switch (Kind) {
    case tlhImage: case tlhStateImage: case tlhCell: case tlhNewItemRow: case tlhRowFooter: case tlhPreview:
      return true;
    default:
      return false;
  }
}

bool Moved(TPoint From, Integer X, Integer Y) {
  return std::abs(X - From.X) > kDragThreshold || std::abs(Y - From.Y) > kDragThreshold;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Timers

void TCustomzmTreeList::StartEditorTimer() {
  if (!HandleAllocated()) return;
  SetTimer(GetHandle(), kEditorTimer, GetDoubleClickTime(), nullptr);
  FEditorTimerRunning = true;
}

void TCustomzmTreeList::KillEditorTimer() {
  if (!FEditorTimerRunning) return;
  FEditorTimerRunning = false;
  if (HandleAllocated()) KillTimer(GetHandle(), kEditorTimer);
}

void TCustomzmTreeList::StartHorzAutoScroll(Integer Direction) {
  if (!HandleAllocated() || FHorzScrollDir == Direction) return;
  FHorzScrollDir = Direction;
  SetTimer(GetHandle(), kHorzScrollTimer, kDragScrollInterval, nullptr);
}

void TCustomzmTreeList::StopHorzAutoScroll() {
  if (FHorzScrollDir == 0) return;
  FHorzScrollDir = 0;
  if (HandleAllocated()) KillTimer(GetHandle(), kHorzScrollTimer);
}

void TCustomzmTreeList::StartVertAutoScroll(Integer Direction, bool Selects) {
  if (!HandleAllocated() || (FVertScrollDir == Direction && FVertScrollSelects == Selects)) return;
  FVertScrollDir = Direction;
  FVertScrollSelects = Selects;
  SetTimer(GetHandle(), kVertScrollTimer, Selects ? kSelectScrollInterval : kDragScrollInterval, nullptr);
}

void TCustomzmTreeList::StopVertAutoScroll() {
  if (FVertScrollDir == 0) return;
  FVertScrollDir = 0;
  if (HandleAllocated()) KillTimer(GetHandle(), kVertScrollTimer);
}

void TCustomzmTreeList::TimerTick(UINT_PTR Id) {
  if (HintTimerTick(Id)) return;
  switch (Id) {
    case kEditorTimer:
      KillEditorTimer();
      if (FInteractionState == tlsIdle) ShowEditor();
      break;
    case kHorzScrollTimer: {
      bool dragging = FInteractionState == tlsColumnDragging || FInteractionState == tlsBandDragging ||
                      FInteractionState == tlsNodeDragging;
      Integer old = FHorzOffset;
      if (dragging) SetLeftCoord(FHorzOffset + 32 * FHorzScrollDir);
      if (!dragging || FHorzOffset == old) StopHorzAutoScroll();
      else Update();
      break;
    }
    case kVertScrollTimer: {
      bool going = FVertScrollSelects ? FInteractionState == tlsNodeDown
                                      : FInteractionState == tlsNodeDragging;
      Integer old = GetFocusedIndex();
      if (going) SetFocusedAbsoluteIndex(old + FVertScrollDir);
      if (!going || GetFocusedIndex() == old) StopVertAutoScroll();
      break;
    }
    case kDragExpandTimer:
      DragExpandTick();
      break;
    default:
      break;
  }
}

// The timers' ticks, and the keys the control wants from the dialog key routing: arrows always,
// characters while typing edits or searches, Tab when the editor takes it.
void TCustomzmTreeList::WndProc(TMessage& Message) {
  if (HandleWindowMessage(Message)) return;
  if (Message.Msg == WM_TIMER) {
    inherited::WndProc(Message);
    TimerTick(static_cast<UINT_PTR>(Message.WParam));
    return;
  }
  if (Message.Msg == WM_KEYDOWN && Dragging() && GetDragMode() == dmAutomatic) {
    // Keys during a node drag: Esc cancels it, the keypad's + and - open and close the node
    // under the pointer.
    if (Message.WParam == VK_ESCAPE) {
      EndDrag(false);
      return;
    }
    if (Message.WParam == VK_ADD || Message.WParam == VK_SUBTRACT) {
      TPoint cursor;
      GetCursorPos(&cursor);
      TPoint p = ScreenToClient(cursor);
      if (TzmTreeListNode* node = GetNodeAt(p.X, p.Y))
        if (node->GetHasChildren()) node->SetExpanded(Message.WParam == VK_ADD);
      return;
    }
  }
  if (Message.Msg != WM_GETDLGCODE) {
    inherited::WndProc(Message);
    return;
  }
  LRESULT code = DLGC_WANTARROWS;
  if (IsEditing() || FSearchActive || (IsAutoSearch() && GetKeyState(VK_MENU) >= 0)) code |= DLGC_WANTCHARS;
  if (EditorWantsTab()) code |= DLGC_WANTTAB;
  Message.Result = code;
}

// ---------------------------------------------------------------------------------------------
// Hot tracking

bool TCustomzmTreeList::GetHeaderHotPart(Integer X, Integer Y, Integer Column, Byte& Part) {
  Part = 1;
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  for (const TzmTreeListHeaderDrawItem& item : info.Headers) {
    if (item.ColumnIndex != Column || !item.VisibleBounds.Contains(Point(X, Y))) continue;
    TRect inner = Rect(item.Bounds.Left + 2, item.Bounds.Top + 2, item.Bounds.Right - 2, item.Bounds.Bottom - 2);
    if (inner.Width() >= 16 && X >= inner.Right - 15 && X < inner.Right && Y >= inner.Top && Y < inner.Bottom)
      Part = zmHeaderPartDropDown;
    break;
  }
  return true;
}

void TCustomzmTreeList::DoHotSpotChanged(const TzmTreeListHotSpot& HotSpot, TCursor& Cursor) {
  if (OnHotSpotChanged) OnHotSpotChanged(this, HotSpot, Cursor);
}

Byte TCustomzmTreeList::HeaderPartAt(const TzmTreeListHitTestInfo& Hit) {
  Byte part = 0;
  if (Hit.Kind != tlhHeader || Hit.ColumnIndex < 0 || !GetHeaderHotPart(Hit.X, Hit.Y, Hit.ColumnIndex, part)) return 0;
  if (FDropDownListOpen && FDropDownColumn == Hit.ColumnIndex) part = 3;
  return part;
}

TRect TCustomzmTreeList::StatusCloseButtonRect() {
  TRect button;
  if (HasStatusCloseButton()) GetStatusCloseButtonRect(button);
  return button;
}

void TCustomzmTreeList::UpdateHotSpot(const TzmTreeListHitTestInfo& Hit) {
  if (FInteractionState == tlsIdle || FInteractionState == tlsStatusCloseDown) {
    TRect button = StatusCloseButtonRect();
    bool hot = !button.IsEmpty() && button.Contains(Point(Hit.X, Hit.Y));
    if (hot != FStatusCloseButtonHot) {
      FStatusCloseButtonHot = hot;
      if (HandleAllocated()) InvalidateRect(GetHandle(), &button, FALSE);
    }
  }
  if (!HasExtra(zmxHotTrack) && !HasHeaderDropDownButtons()) return;
  TzmTreeListHotSpot spot;
  Integer part = 0;
  if (Hit.Node && Hit.ColumnIndex >= 0 && CanHotTrackCell(Hit.X, Hit.Y, Hit.Node, Hit.ColumnIndex, part)) {
    spot.Node = Hit.Node;
    spot.ColumnIndex = Hit.ColumnIndex;
    spot.ActivePart = part;
  } else if (Byte headerPart = HeaderPartAt(Hit)) {
    spot.ColumnIndex = Hit.ColumnIndex;
    spot.HeaderPart = headerPart;
  }
  if (spot.Node == FHotSpot.Node && spot.ColumnIndex == FHotSpot.ColumnIndex) {
    if (spot.HeaderPart == FHotSpot.HeaderPart) return;
    FHotSpot = spot;
    Invalidate();
    return;
  }
  // Without a hot spot's own cursor, the one the application gave the control comes back.
  TCursor cursor = FRestCursor;
  DoHotSpotChanged(spot, cursor);
  FHotSpot = spot;
  {
    TValueScope changing(FCursorChanging, true);
    SetCursor(cursor);
  }
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Presses

void TCustomzmTreeList::NodePressed(TMouseButton Button, TShiftState Shift, bool FirstClick) {
  TzmTreeListHitTestInfo& hit = FPressHitInfo;
  if (Button == mbLeft && hit.Kind != tlhIndicator) SetInteractionState(tlsNodeDown);
  FDraggedNode = hit.Node;
  SetNewItemRowFocused(false);
  TzmTreeListNode* oldNode = FFocusedNode;
  Integer oldColumn = FFocusedVisibleColumn;
  TzmTreeListSelectionScope selection(this);
  FPressFocusedNode = FFocusedNode;
  Integer column = hit.ColumnIndex >= 0 ? GetColumnVisibleIndex(hit.ColumnIndex) : FFocusedVisibleColumn;
  SetFocusedNodeColumn(hit.Node, column, true);
  FPressPoint = Point(hit.X, hit.Y);
  if (IsMultiSelect() && FFocusedNode) {
    FRangeSelecting = false;
    if (Shift & (ssCtrl | ssShift)) {
      FPressWithModifier = true;
      if ((Shift & ssCtrl) && !(Shift & ssShift)) {
        SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
        SetSelectionAnchor(FFocusedNode);
        FPressFocusedNode = nullptr;
        return;
      }
      if (!FSelectionAnchorNode || !FSelectionAnchorNode->IsVisible()) SetSelectionAnchor(FPressFocusedNode);
      if (!(Shift & ssCtrl)) {
        ClearSelection();
        if (FPressFocusedNode) SetSelectionAnchor(FPressFocusedNode);
      }
      if (FPressFocusedNode) SelectRange(FSelectionAnchorNode ? FSelectionAnchorNode : FPressFocusedNode, FFocusedNode);
      else SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
      FPressFocusedNode = nullptr;
      return;
    }
    if (IsNodeSelected(FFocusedNode)) {
      if (Button == mbLeft) FPendingSelectOnRelease = true;
    } else {
      ClearSelection();
      SetNodeSelected(FFocusedNode, true);
      SetSelectionAnchor(FFocusedNode);
    }
  }
  if (Button != mbLeft || hit.Kind != tlhCell || hit.ColumnIndex < 0 || IsRowSelect()) return;
  bool sameNode = FFocusedNode == oldNode, sameColumn = FFocusedVisibleColumn == oldColumn;
  if (CanMouseEditCell(hit.X, hit.Y, sameNode, FFocusedVisibleColumn)) {
    SetInteractionState(tlsIdle);
    ShowEditorWithMouseDown(hit.X, hit.Y);
  } else if (sameNode && sameColumn && !FirstClick && !IsEditorShown() && !FEditorTimerRunning) {
    StartEditorTimer();
  }
}

void TCustomzmTreeList::NewItemRowPressed(TMouseButton Button, bool FirstClick) {
  const TzmTreeListHitTestInfo& hit = FPressHitInfo;
  if (!FFocusedNode) {
    DoNewItemRowPressed();
    return;
  }
  bool wasFocused = FNewItemRowFocused;
  Integer column = hit.ColumnIndex >= 0 ? GetColumnVisibleIndex(hit.ColumnIndex) : FFocusedVisibleColumn;
  bool columnChanged = column != FFocusedVisibleColumn && !IsRowSelect();
  if (columnChanged) SetFocusedNodeColumn(FFocusedNode, column, true);
  SetNewItemRowFocused(true);
  FPendingEditorOnRelease = true;
  if (Button == mbLeft && !IsRowSelect() && hit.ColumnIndex >= 0 && wasFocused && !columnChanged && !FirstClick)
    StartEditorTimer();
}

void TCustomzmTreeList::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  // The editor holds on to the mouse: the press is not the tree list's.
  if (FActiveEditor && IsEditorShown() && FActiveEditor->GetIgnoreContainerMouse()) return;
  if (FActiveEditor && IsEditorShown() && !FActiveEditor->IsCloseLocked()) {
    try {
      EndEditing();
    } catch (EzmEditInvalidInput&) {
      return;  // the editor keeps the focus and its text; the press goes no further
    }
  }
  FPressWithModifier = FPendingSelectOnRelease = FPendingEditorOnRelease = false;
  bool firstClick = false;
  if (!HasState(csDesigning) && CanFocus()) {
    if (!Focused()) {
      firstClick = true;
      SetFocus();
      if (!Focused()) {
        ReleaseCapture();
        return;
      }
    }
  }
  TAliveToken alive = AliveToken();
  CalcHitTest(Point(X, Y), FPressHitInfo);
  TzmTreeListHitTestInfo hit = FPressHitInfo;
  bool dbl = (Shift & ssDouble) != 0;
  if (FInteractionState != tlsIdle && Button == mbRight) CancelInteraction();
  if (FInteractionState == tlsIdle && Button == mbLeft) {
    switch (hit.Kind) {
      case tlhBandEdge:
        if (hit.BandIndex < 0) break;
        if (dbl) BestFitBand(hit.BandIndex);
        else StartSizing(tlsBandSizing, X);
        return;
      case tlhHeaderEdge:
        if (hit.ColumnIndex < 0) break;
        if (dbl) BestFitColumn(hit.ColumnIndex);
        else StartSizing(tlsColumnSizing, X);
        return;
      case tlhBandRowEdge: StartSizing(tlsBandRowSizing, Y); return;
      case tlhHeaderRowEdge: StartSizing(tlsHeaderRowSizing, Y); return;
      case tlhRowEdge: if (hit.Node) StartSizing(tlsRowSizing, Y); return;
      case tlhBand:
        if (hit.BandIndex < 0) break;
        SetInteractionState(tlsBandDown);
        FPressedBand = hit.BandIndex;
        FPressedBandDown = true;
        FPressPoint = Point(X, Y);
        Invalidate();
        break;
      case tlhHeader: {
        if (hit.ColumnIndex < 0) break;
        Byte part = HasHeaderDropDownButtons() ? HeaderPartAt(hit) : 0;
        if (part == zmHeaderPartDropDown) {
          SetInteractionState(tlsDropDownButtonDown);
          FDropDownColumn = hit.ColumnIndex;
          FDropDownColumnDown = true;
          Invalidate();
          break;
        }
        if (part == 3) break;  // its list is open
        SetInteractionState(tlsColumnDown);
        FPressedColumn = hit.ColumnIndex;
        FPressedColumnDown = true;
        FPressPoint = Point(X, Y);
        Invalidate();
        break;
      }
      case tlhStatusPanel: {
        TRect button = StatusCloseButtonRect();
        if (button.IsEmpty() || !button.Contains(Point(X, Y))) break;
        SetInteractionState(tlsStatusCloseDown);
        FStatusCloseButtonDown = true;
        InvalidateRect(GetHandle(), &button, FALSE);
        break;
      }
      case tlhBandCorner:
        if (!IsBandButton()) break;
        SetInteractionState(tlsBandButtonDown);
        FBandButtonDown = true;
        Invalidate();
        break;
      case tlhHeaderCorner:
        if (!IsHeaderButton()) break;
        SetInteractionState(tlsHeaderButtonDown);
        FHeaderButtonDown = true;
        Invalidate();
        break;
      default:
        break;
    }
  }
  bool nodePress = IsNodePressKind(hit.Kind) && hit.Node;
  bool handled = false;
  if (FInteractionState != tlsIdle) {
    if (FInteractionState == tlsEditing) EndEditing();
  } else if (Button == mbLeft || (Button == mbRight && nodePress)) {
    if ((hit.Node && hit.Kind == tlhButton) || (IsNodePressKind(hit.Kind) && dbl)) {
      KillEditorTimer();
      if (hit.Node && (FNodeDblClickToggles || hit.Kind == tlhButton)) hit.Node->SetExpanded(!hit.Node->GetExpanded());
      if (!dbl) return;
      if (alive && CanDblClick()) DblClick();
      return;
    }
    if (hit.Kind == tlhNewItemRow) {
      NewItemRowPressed(Button, firstClick);
      if (!alive) return;
      handled = true;
    }
    if (nodePress || (hit.Kind == tlhIndicator && hit.Node)) {
      bool modifierStop = IsMultiSelect() && (Shift & ssCtrl) && !(Shift & ssShift);
      NodePressed(Button, Shift, firstClick);
      if (!alive) return;
      if (modifierStop && FFocusedNode) return;
      handled = true;
    }
  }
  if (!alive) return;
  if (!handled && Button == mbLeft && dbl && (hit.Kind == tlhNowhere || (hit.Kind >= tlhButton && hit.Kind <= tlhRowEnd)) &&
      CanDblClick())
    DblClick();
  if (!alive) return;
  if (Button == mbMiddle && FInteractionState == tlsIdle) StartPanning();
  if (!alive) return;
  inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomzmTreeList::DragSelectStep(Integer Y) {
  if (FRootNodes.empty()) return;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  if (Y < info.RowsRect.Top || Y >= info.RowsRect.Bottom) {
    bool up = Y < info.RowsRect.Top;
    TzmTreeListNode* target = up ? FTopNode : VisibleNodeAt(GetTopIndex() + FPageRowCount - 1);
    if (target && FFocusedNode != target) SetFocusedNodeColumn(target, FFocusedVisibleColumn, true);
    StartVertAutoScroll(up ? -1 : 1, true);
    return;
  }
  StopVertAutoScroll();
  TzmTreeListHitTestInfo hit;
  CalcHitTest(Point(FPressPoint.X, Y), hit);
  if (!hit.Node || hit.Node == FFocusedNode) return;
  SetFocusedNodeColumn(hit.Node, FFocusedVisibleColumn, true);
  if (IsMultiSelect()) {
    ClearSelection();
    SetNodeSelected(hit.Node, true);
  }
}

void TCustomzmTreeList::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TzmTreeListHitTestInfo hit;
  CalcHitTest(Point(X, Y), hit);
  if (!(Shift & ssLeft) && FInteractionState == tlsNodeDown) SetInteractionState(tlsIdle);
  switch (FInteractionState) {
    case tlsBandSizing: case tlsColumnSizing: MoveSizingLine(X); break;
    case tlsBandRowSizing: case tlsHeaderRowSizing: case tlsRowSizing: MoveSizingLine(Y); break;
    case tlsBandDragging: case tlsColumnDragging: DragStep(); break;
    case tlsBandDown:
      if (CanDragBand(FPressedBand) && Moved(FPressPoint, X, Y)) {
        FDraggedBand = GetBandAbsoluteIndex(FPressedBand);
        StartBandDrag(FPressedBand);
      }
      break;
    case tlsColumnDown:
      if (CanDragColumn(FPressedColumn) && Moved(FPressPoint, X, Y)) {
        FDraggedHeader = FPressedColumn;
        StartHeaderDrag(FPressedColumn);
      }
      break;
    case tlsNodeDown:
      if (GetDragMode() == dmAutomatic && Moved(FPressPoint, X, Y)) {
        TzmTreeListNode* node = FDraggedNode ? FDraggedNode : hit.Node;
        if (node && node != FFocusedNode) {
          if (!FPressWithModifier) ClearSelection();
          SetFocusedNodeColumn(node, FFocusedVisibleColumn, false);
        }
        if (node) SetNodeSelected(node, true);
        FPendingSelectOnRelease = FPendingEditorOnRelease = false;
        BeginDrag(false);
      } else if (GetDragMode() == dmManual && IsDragSelect()) {
        DragSelectStep(Y);
      }
      break;
    default:
      break;
  }
  bool bandDown = FInteractionState == tlsBandDown && hit.Kind == tlhBand && hit.BandIndex == FPressedBand;
  if (FInteractionState == tlsBandDown && bandDown != FPressedBandDown) {
    FPressedBandDown = bandDown;
    Invalidate();
  }
  bool columnDown = FInteractionState == tlsColumnDown && hit.Kind == tlhHeader && hit.ColumnIndex == FPressedColumn;
  if (FInteractionState == tlsColumnDown && columnDown != FPressedColumnDown) {
    FPressedColumnDown = columnDown;
    Invalidate();
  }
  if (FInteractionState == tlsDropDownButtonDown) {
    bool down = hit.ColumnIndex == FDropDownColumn && HeaderPartAt(hit) == zmHeaderPartDropDown;
    if (down != FDropDownColumnDown) {
      FDropDownColumnDown = down;
      Invalidate();
    }
  }
  if (FInteractionState == tlsBandButtonDown && FBandButtonDown != (hit.Kind == tlhBandCorner)) {
    FBandButtonDown = hit.Kind == tlhBandCorner;
    Invalidate();
  }
  if (FInteractionState == tlsHeaderButtonDown && FHeaderButtonDown != (hit.Kind == tlhHeaderCorner)) {
    FHeaderButtonDown = hit.Kind == tlhHeaderCorner;
    Invalidate();
  }
  UpdateHotSpot(hit);
  inherited::MouseMove(Shift, X, Y);
}

void TCustomzmTreeList::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TzmTreeListSelectionScope selection(this);
  TAliveToken alive = AliveToken();
  TzmTreeListState noted = FInteractionState;
  TzmTreeListHitTestInfo hit;
  CalcHitTest(Point(X, Y), hit);
  switch (FInteractionState) {
    case tlsBandSizing: case tlsColumnSizing: case tlsBandRowSizing: case tlsHeaderRowSizing: case tlsRowSizing:
      FinishSizing();
      break;
    case tlsBandDown: {
      Integer band = FPressedBand;
      CancelInteraction();
      if (hit.Kind == tlhBand && hit.BandIndex == band) DoBandClick(band);
      break;
    }
    case tlsBandDragging: EndBandDrag(true); break;
    case tlsColumnDragging: EndHeaderDrag(true); break;
    case tlsColumnDown: {
      Integer column = FPressedColumn;
      CancelInteraction();
      if (hit.Kind != tlhHeader || hit.ColumnIndex != column) break;
      // The sorting asked for by the click's keys holds only while the click is handled.
      TValueScope multi(FSortMultiRequested, (Shift & ssShift) && IsMultiSort(), AliveToken());
      TValueScope reset(FSortResetRequested, (Shift & ssCtrl) != 0, AliveToken());
      DoColumnClick(column);
      break;
    }
    case tlsDropDownButtonDown: {
      Integer column = FDropDownColumn;
      bool over = hit.ColumnIndex == column && HeaderPartAt(hit) == zmHeaderPartDropDown;
      CancelInteraction();
      if (!over || HasState(csDesigning)) break;
      TValueScope<Integer> dropDown(FDropDownColumn, column, AliveToken());
      DoHeaderDropDownClick(column);
      break;
    }
    case tlsStatusCloseDown:
      CancelInteraction();
      if (FStatusCloseButtonHot) DoStatusPanelCloseClick();
      break;
    case tlsBandButtonDown: {
      bool pushed = FBandButtonDown;
      CancelInteraction();
      if (pushed) DoBandButtonClick();
      break;
    }
    case tlsHeaderButtonDown: {
      bool pushed = FHeaderButtonDown;
      CancelInteraction();
      if (pushed) DoHeaderButtonClick();
      break;
    }
    default:
      break;
  }
  if (!alive) return;
  if (FPendingSelectOnRelease) {
    FPendingSelectOnRelease = false;
    ClearSelection();
    if (FFocusedNode) {
      SetNodeSelected(FFocusedNode, true);
      SetSelectionAnchor(FFocusedNode);
    }
  }
  bool fromNode = noted == tlsEditing || noted == tlsNodeDragging || noted == tlsNodeDown;
  if ((fromNode || FPendingEditorOnRelease) && ConvertsEditorClicks() && !IsRowSelect()) {
    const TzmTreeListHitTestInfo& press = FPressHitInfo;
    bool sameCell = hit.Kind == press.Kind && hit.RowIndex == press.RowIndex && hit.ColumnIndex == press.ColumnIndex &&
                    (hit.Kind == tlhCell || hit.Kind == tlhNewItemRow);
    if (sameCell && Button == mbLeft && (FFocusedNode == hit.Node || hit.Kind == tlhNewItemRow)) {
      SetInteractionState(tlsIdle);
      if (!(Shift & (ssShift | ssCtrl))) ShowEditorWithMouseUp(X, Y);
    }
  }
  FPendingEditorOnRelease = false;
  if (FInteractionState == tlsNodeDown) SetInteractionState(tlsIdle);
  StopVertAutoScroll();
  if (fromNode) Click();
  if (!alive) return;
  inherited::MouseUp(Button, Shift, X, Y);
}
