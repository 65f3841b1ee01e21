// The tree list's scroll-bar messages, editor placement, the status panel button's hint,
// invalidation helpers and its window and control messages.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr UINT_PTR kShowHintTimer = 110;
constexpr UINT_PTR kHideHintTimer = 111;
constexpr UINT kShowHintDelay = 1000;
constexpr UINT kHideHintDelay = 5000;
constexpr Integer kThumbStep = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Scroll-bar messages

void TCustomzmTreeList::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollBars();
}

void TCustomzmTreeList::ScrollMessage(int Bar, Word Code) {
  if (Code > SB_BOTTOM || !CanScrollByBars() || GetVisibleColumnCount() == 0) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK) GetScrollInfo(Bar, info);
  if (Bar == SB_HORZ) {
    Integer total = GetScrollableBandsWidth(), value = FHorzOffset;
    switch (Code) {
      case SB_LINELEFT: value -= FMetrics.HorzScrollStep; break;
      case SB_LINERIGHT: value += FMetrics.HorzScrollStep; break;
      case SB_PAGELEFT: value -= GetScrollAreaWidth(); break;
      case SB_PAGERIGHT: value += GetScrollAreaWidth(); break;
      case SB_LEFT: value = 0; break;
      case SB_RIGHT: value = total; break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: {
        Integer pos = info.nTrackPos;
        if (pos <= 0) value = 0;
        else if (pos >= total) value = total;
        else if (static_cast<Integer>(info.nPage) + pos + 1 >= total) value = pos + 1;
        else value = (pos + 1) / kThumbStep * kThumbStep;
        break;
      }
      default: return;
    }
    SetLeftCoord(value);
    return;
  }
  Integer count = GetVisibleNodeCount(), top = std::max(GetTopIndex(), 0), value = top;
  switch (Code) {
    case SB_LINEUP: value = top - 1; break;
    case SB_LINEDOWN: value = top + 1; break;
    case SB_PAGEUP: value = top - FPageRowCount; break;
    case SB_PAGEDOWN: value = top + FPageRowCount; break;
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = count; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: value = std::clamp(info.nTrackPos, 0, count); break;
    default: return;
  }
  SetTopIndex(value);
}

// ---------------------------------------------------------------------------------------------
// The editor

void TCustomzmTreeList::PlaceEditor(bool Selecting) {
  if (!IsEditorShown()) return;
  TzmInplaceEdit* editor = GetEditor();
  if (editor) {
    if (GetFocusedColumn() != FEditorColumn || FFocusedNode != FEditorNode) {
      HideEditor(false);
      SetInteractionState(tlsEditing);
      BindEditor(editor);
    } else {
      FActiveEditor = editor;
    }
  } else {
    BindEditor(CreateEditor());
  }
  editor = FActiveEditor;
  TRect rect = GetEditorRect(FFocusedNode, FFocusedVisibleColumn);
  if (!IsEditorShown() || !editor || rect == zmNoRect) {
    FEditorColumn = -1;
    FEditorNode = nullptr;
    return;
  }
  if (Selecting) {
    editor->ActivateEdit(rect);
    return;
  }
  TUpdateScope<TzmInplaceEdit, &TzmInplaceEdit::LockActivate, &TzmInplaceEdit::UnlockActivate> locked(editor);
  editor->ActivateEdit(rect);
}

// ---------------------------------------------------------------------------------------------
// Hints

void TCustomzmTreeList::ShowStatusButtonHint(bool Immediately) {
  CancelHint();
  if (!HandleAllocated()) return;
  if (!Immediately) {
    SetTimer(GetHandle(), kShowHintTimer, kShowHintDelay, nullptr);
    FShowHintTimerRunning = true;
    return;
  }
  TRect button;
  GetStatusCloseButtonRect(button);
  if (button.IsEmpty()) return;
  TPoint at = ClientToScreen(Point(button.Right + 4, button.Top - FMetrics.TextHeight));
  if (!FHintWindow) FHintWindow = MakeOwned<TzmContainerHintWindow>(nullptr);
  String text;
  GetStatusHintText(text);
  FHintWindow->ShowHint(at, text, GetFont());
  SetTimer(GetHandle(), kHideHintTimer, kHideHintDelay, nullptr);
  FHideHintTimerRunning = true;
}

void TCustomzmTreeList::CancelHint() {
  if (HandleAllocated()) {
    if (FShowHintTimerRunning) KillTimer(GetHandle(), kShowHintTimer);
    if (FHideHintTimerRunning) KillTimer(GetHandle(), kHideHintTimer);
  }
  FShowHintTimerRunning = FHideHintTimerRunning = false;
  FHintWindow.reset();
}

bool TCustomzmTreeList::HintTimerTick(UINT_PTR Id) {
  if (Id == kHideHintTimer) {
    CancelHint();
    return true;
  }
  if (Id == kShowHintTimer) {
    ShowStatusButtonHint(true);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Invalidation

void TCustomzmTreeList::InvalidateClientRect(const TRect& Rect) {
  if (HandleAllocated()) InvalidateRect(GetHandle(), &Rect, FALSE);
}

void TCustomzmTreeList::InvalidateHotTrackCell(const TzmTreeListHotSpot& HotSpot) {
  if (!HandleAllocated()) return;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  if (!HotSpot.Node) {
    if (HotSpot.ColumnIndex >= 0) InvalidateClientRect(info.HeaderRect);
    return;
  }
  Integer visible = GetColumnVisibleIndex(HotSpot.ColumnIndex);
  TRect cell = GetCellRect(HotSpot.Node, visible);
  if (cell != zmNoRect) InvalidateClientRect(cell);
  TRect row = GetNodeRect(HotSpot.Node);
  if (row == zmNoRect) return;
  Integer indent, textLeft;
  GetNodeIndent(HotSpot.Node, indent, textLeft);
  InvalidateClientRect(Rect(info.RowsRect.Left, row.Top, info.RowsRect.Left + textLeft, row.Bottom));
}

void TCustomzmTreeList::SetExternalDragObject(TDragObject* Value) {
  if (Value == FExternalDragObject) return;
  FExternalDragObject = Value;
  if (FFocusedNode) InvalidateNode(FFocusedNode, false);
  if (!Value) FDragHoverNode = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Messages

bool TCustomzmTreeList::HandleWindowMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollMessage(Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(Message.WParam));
      Message.Result = 0;
      return true;
    case WM_NCHITTEST:
      inherited::WndProc(Message);
      FHintPoint = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      return true;
    case WM_SETCURSOR:
      if (LOWORD(Message.LParam) == HTCLIENT) {
        if (FInteractionState == tlsIdle || FInteractionState == tlsEditing) {
          TzmTreeListHitTestInfo hit;
          CalcHitTest(ScreenToClient(FHintPoint), hit);
          TCursor cursor = crDefault;
          if (hit.Kind == tlhBandRowEdge || hit.Kind == tlhHeaderRowEdge || hit.Kind == tlhRowEdge) cursor = crVSplit;
          else if (hit.Kind == tlhHeaderEdge || (hit.Kind == tlhBandEdge && hit.BandIndex >= 0)) cursor = crHSplit;
          if (cursor != crDefault) {
            ::SetCursor(Screen->GetCursors(cursor));
            Message.Result = 1;
            return true;
          }
        } else if (IsSizingState(FInteractionState)) {
          bool horz = FInteractionState == tlsColumnSizing || FInteractionState == tlsBandSizing;
          ::SetCursor(Screen->GetCursors(horz ? crHSplit : crVSplit));
          Message.Result = 1;
          return true;
        }
      }
      return false;
    case WM_NCCALCSIZE:
      if (FBorderKind == 1 && FFrameLook != zmflStandard && Message.LParam) {
        auto* rect = reinterpret_cast<RECT*>(Message.LParam);
        *rect = {rect->Left + 1, rect->Top + 1, rect->Right - 1, rect->Bottom - 1};
      }
      return false;
    case WM_NCPAINT: {
      inherited::WndProc(Message);
      if (FFrameLook == zmflStandard || FBorderKind != 1 || !HandleAllocated()) return true;
      HDC dc = GetWindowDC(GetHandle());
      RECT window;
      GetWindowRect(GetHandle(), &window);
      TRect r{0, 0, window.Width(), window.Height()};
      if (FFrameLook == zmflUltraFlat) FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      else DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
      DWORD style = static_cast<DWORD>(GetWindowLong(GetHandle(), GWL_STYLE));
      if ((style & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL)) {
        Integer w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
        TRect corner{r.Right - 1 - w, r.Bottom - 1 - h, r.Right - 1, r.Bottom - 1};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
      }
      ReleaseDC(GetHandle(), dc);
      return true;
    }
    case WM_SETFOCUS: {
      TAliveToken alive = AliveToken();
      inherited::WndProc(Message);
      if (!alive) return true;
      if (!FFocusedNode && FTopNode) FFocusedNode = FTopNode;
      if (!IsRowSelect() && FFocusedVisibleColumn < 0 && GetVisibleColumnCount() > 0) {
        FFocusedVisibleColumn = 0;
        FFocusedColumnCache = -1;
      }
      bool fromEditor = FActiveEditor && FActiveEditor->HandleAllocated() &&
                        reinterpret_cast<HWND>(Message.WParam) == FActiveEditor->GetHandle();
      if (!fromEditor) {
        if (FFocusedNode) InvalidateNode(FFocusedNode, false);
        PlaceEditor(false);
      }
      if (IsMultiSelect() && GetSelectedCount() > 0) InvalidateSelection();
      if (IsNewItemRowShown()) Invalidate();
      return true;
    }
    case WM_KILLFOCUS: {
      TAliveToken alive = AliveToken();
      inherited::WndProc(Message);
      if (!alive) return true;
      HWND target = reinterpret_cast<HWND>(Message.WParam);
      if (FActiveEditor && FActiveEditor->HandleAllocated() && target == FActiveEditor->GetHandle()) return true;
      if (FFocusedNode) InvalidateNode(FFocusedNode, false);
      if (FActiveEditor) LeaveEditing();
      if (IsMultiSelect() && GetSelectedCount() > 0) InvalidateSelection();
      if (IsNewItemRowShown()) Invalidate();
      if (FInteractionState == tlsNodeDown) SetInteractionState(tlsIdle);
      return true;
    }
    case WM_CANCELMODE:
      CancelInteraction();
      return false;
    case CM_CANCELMODE:
      CancelInteraction();
      if (FActiveEditor) FActiveEditor->Perform(CM_CANCELMODE, Message.WParam, Message.LParam);
      return false;
    case WM_DESTROY:
      CancelHint();
      return false;
    case WM_LBUTTONDOWN: {
      KillEditorTimer();
      TAliveToken alive = AliveToken();
      inherited::WndProc(Message);
      if (alive && FActiveEditor) FActiveEditor->SetOpenClickTime(GetMessageTime());
      return true;
    }
    case WM_IME_STARTCOMPOSITION: {
      TAliveToken alive = AliveToken();
      inherited::WndProc(Message);
      if (alive && FInteractionState == tlsIdle) ShowEditor();
      return true;
    }
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      inherited::WndProc(Message);
      LayoutChanged();
      return true;
    case CM_CTL3DCHANGED:
      inherited::WndProc(Message);
      if (FBorderKind == 1 && FFrameLook == zmflStandard && HandleAllocated()) RecreateWnd();
      return true;
    case CM_DESIGNHITTEST: {
      TzmTreeListHitTestInfo hit;
      CalcHitTest(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)), hit);
      bool edge = hit.Kind == tlhHeader || hit.Kind == tlhHeaderEdge || hit.Kind == tlhBand ||
                  hit.Kind == tlhBandEdge || hit.Kind == tlhBandRowEdge || hit.Kind == tlhHeaderRowEdge ||
                  hit.Kind == tlhRowEdge;
      bool busy = FInteractionState != tlsIdle && FInteractionState != tlsEditing &&
                  FInteractionState != tlsNodeDragging && FInteractionState != tlsNodeDown &&
                  FInteractionState != tlsHeaderButtonDown && FInteractionState != tlsBandButtonDown &&
                  FInteractionState < tlsDropDownButtonDown;
      Message.Result = edge || busy ? 1 : 0;
      return true;
    }
    case CM_DRAG: {
      auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
      bool copy = CanDragCopy() && GetKeyState(VK_CONTROL) < 0;
      TCursor cursor = GetSelectedCount() > 1 ? (copy ? crzmTLMultiDragCopy : crMultiDrag)
                                              : (copy ? crzmTLDragCopy : crDrag);
      if (FInteractionState == tlsNodeDragging) SetDragCursor(cursor);
      TAliveToken alive = AliveToken();
      inherited::WndProc(Message);
      if (!alive || FInteractionState == tlsNodeDragging || !rec) return true;
      auto kind = static_cast<TDragMessage>(Message.WParam);
      if (kind == dmDragEnter && OnDragOver) SetExternalDragObject(rec->Source);
      else if (kind == dmDragLeave || kind == dmDragDrop) SetExternalDragObject(nullptr);
      return true;
    }
    case CM_MOUSEENTER: {
      inherited::WndProc(Message);
      TPoint cursor;
      GetCursorPos(&cursor);
      TzmTreeListHitTestInfo hit;
      CalcHitTest(ScreenToClient(cursor), hit);
      UpdateHotSpot(hit);
      return true;
    }
    case CM_MOUSELEAVE:
      inherited::WndProc(Message);
      UpdateHotSpot(TzmTreeListHitTestInfo());
      CancelHint();
      return true;
    case CM_PARENTFONTCHANGED:
      inherited::WndProc(Message);
      if (GetParentFont()) {
        TUpdateScope update(this);
        FBandCaptionFont->Assign(GetFont());
        FHeaderCaptionFont->Assign(GetFont());
        FPreviewTextFont->SetName(GetFont()->GetName());
        FPreviewTextFont->SetSize(GetFont()->GetSize());
        FPreviewTextFont->SetStyle(GetFont()->GetStyle());
        FPreviewTextFont->SetColor(clBlue);
      }
      LayoutChanged();
      return true;
    case CM_CURSORCHANGED:
      inherited::WndProc(Message);
      if (!FCursorChanging) FRestCursor = GetCursor();
      return true;
    case CM_SYSCOLORCHANGE:
      inherited::WndProc(Message);
      CreateExpandButtonGlyphs();
      return true;
    default:
      return false;
  }
}
