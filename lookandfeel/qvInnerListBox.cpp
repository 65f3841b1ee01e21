// The inner list box: input handed to the container, focus reports, mirror scroll bars.
#include "lookandfeel/qvInnerListBox.h"

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomInnerListBox)

namespace {

// The messages after which the mirror bars follow the native ones again.
bool ChangesScrollBars(UINT Msg) {
  switch (Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE: return true;
    default: return false;
  }
}

}  // namespace

TqvCustomInnerListBox::TqvCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  FCanvas = MakeOwned<TqvCanvas>(GetCanvas());
  FLookAndFeel = MakeOwned<TqvLookAndFeel>(this);
  for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
    auto* bar = New<TqvScrollBar>(this);
    bar->SetKind(kind);
    bar->SetSmallChange(1);
    bar->SetVisible(false);
    bar->GetLookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
    bar->FreeNotification(this);
    (kind == sbHorizontal ? FHScrollBar : FVScrollBar) = bar;
  }
  FHScrollBar->OnScroll = [this](TObject*, TScrollCode Code, Integer& Pos) {
    ScrollByMirror(FHScrollBar, WM_HSCROLL, SB_HORZ, Code, Pos);
  };
  FVScrollBar->OnScroll = [this](TObject*, TScrollCode Code, Integer& Pos) {
    ScrollByMirror(FVScrollBar, WM_VSCROLL, SB_VERT, Code, Pos);
  };
  SetBorderStyle(bsNone);
  SetControlStyle(GetControlStyle() | csDoubleClicks);
  SetParentColor(false);
  SetParentFont(true);
}

TqvCustomInnerListBox::~TqvCustomInnerListBox() {
  // Bars moved to the parent go as components the list box owns; the others are freed here.
  for (TqvScrollBar* bar : {FHScrollBar, FVScrollBar})
    if (bar && !bar->GetParent()) Free(bar);
  FHScrollBar = FVScrollBar = nullptr;
  FLookAndFeel.reset();
  FCanvas.reset();
}

void TqvCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Mirror bars

void TqvCustomInnerListBox::ScrollByMirror(TqvScrollBar* ABar, UINT AMessage, int ABarKind, TScrollCode ScrollCode,
                                           Integer& ScrollPos) {
  if (!ABar || !ABar->HandleAllocated() || !HandleAllocated()) return;
  CallWindowProc(GetDefWndProc(), GetHandle(), AMessage, MAKEWPARAM(static_cast<WORD>(ScrollCode), static_cast<WORD>(ScrollPos)),
                 reinterpret_cast<LPARAM>(ABar->GetHandle()));
  ScrollPos = GetScrollPos(GetHandle(), ABarKind);
}

void TqvCustomInnerListBox::SetScrollBarsParameters() {
  if (HasState(csDestroying) || FReparentingBar || !IsGetScrollBarInfoAvailable()) return;
  TValueScope calculating(FCalculating, true, AliveToken());
  MirrorScrollBar(FHScrollBar, OBJID_HSCROLL, SB_HORZ);
  MirrorScrollBar(FVScrollBar, OBJID_VSCROLL, SB_VERT);
}

void TqvCustomInnerListBox::MirrorScrollBar(TqvScrollBar* ABar, LONG AObjectId, int ABarKind) {
  if (!ABar || !GetParent()) return;
  bool shown = false, enabled = false;
  TRect r;
  SCROLLBARINFO info;
  if (HandleAllocated() && GetParent()->HandleAllocated() && GetScrollBarInfo(GetHandle(), AObjectId, &info) &&
      !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    // As the container's mirror bars: a disabled list shows disabled bars.
    enabled = GetEnabled() && !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    ABar->SetEnabled(enabled);
    r = info.rcScrollBar;
    MapWindowRect(nullptr, GetParent()->GetHandle(), r);
    shown = r.Left >= 0 && r.Top >= 0 && r.Width() <= GetWidth() && r.Height() <= GetHeight();
  }
  if (shown) {
    if (ABar->GetParent() != GetParent()) {
      TValueScope reparenting(FReparentingBar, true, AliveToken());
      ABar->SetParent(GetParent());
    }
    ABar->SetBoundsRect(r);
    ABar->SetCtl3D(false);
    ABar->BringToFront();
  } else {
    ABar->SetBoundsRect(TRect());
  }
  ABar->SetVisible(shown);
  if (!shown) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(GetHandle(), ABarKind, &si)) return;
  const Integer page = si.nPage > UINT(std::max(si.nMax, 0)) ? si.nMax : Integer(si.nPage);
  ABar->SetScrollParams(si.nMin, si.nMax, si.nPos, page, true);
  // A new position enables a bar; the native bar's state holds.
  if (!enabled) ABar->SetEnabled(false);
}

void TqvCustomInnerListBox::GetSizeGripRect(TRect& R) const {
  R = TRect();
  if (!FHScrollBar || !FVScrollBar || !FHScrollBar->GetVisible() || !FVScrollBar->GetVisible()) return;
  R.Left = FVScrollBar->GetLeft() - GetLeft();
  R.Top = FHScrollBar->GetTop() - GetTop();
  R.Right = R.Left + FVScrollBar->GetWidth();
  R.Bottom = R.Top + FHScrollBar->GetHeight();
}

void TqvCustomInnerListBox::PaintSizeGrip() {
  TRect grip;
  GetSizeGripRect(grip);
  if (grip.IsEmpty() || !HandleAllocated()) return;
  HDC dc = GetWindowDC(GetHandle());
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    TqvCanvas corner(&canvas);
    corner.SetBrushColor(clBtnFace);
    corner.FillRect(grip);
    canvas.SetHandle(nullptr);
  }
  ReleaseDC(GetHandle(), dc);
}

// ---------------------------------------------------------------------------------------------
// Input handed to the container

void TqvCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  if (FContainer) FContainer->KeyDown(Key, Shift);
  if (alive && Key != 0) inherited::KeyDown(Key, Shift);
}

void TqvCustomInnerListBox::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  if (Key == '\t') Key = 0;
  if (FContainer && Key != 0) FContainer->KeyPress(Key);
  if (Key == '\r') Key = 0;
  if (alive && Key != 0) inherited::KeyPress(Key);
}

void TqvCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  if (Key == VK_TAB) Key = 0;
  if (FContainer && Key != 0) FContainer->KeyUp(Key, Shift);
  if (alive && Key != 0) inherited::KeyUp(Key, Shift);
}

void TqvCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || !FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->InnerControlMouseDown(Button, Shift, p.X, p.Y);
}

void TqvCustomInnerListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || !FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->MouseMove(Shift, p.X, p.Y);
}

void TqvCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || !FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->MouseUp(Button, Shift, p.X, p.Y);
}

void TqvCustomInnerListBox::Click() {
  TAliveToken alive = AliveToken();
  inherited::Click();
  if (!alive) return;
  if (FVScrollBar) FVScrollBar->SetPosition(GetTopIndex());
  if (FContainer) FContainer->Click();
}

void TqvCustomInnerListBox::DblClick() {
  TAliveToken alive = AliveToken();
  inherited::DblClick();
  if (alive && FContainer) FContainer->DblClick();
}

bool TqvCustomInnerListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  TAliveToken alive = AliveToken();
  if (FContainer && FContainer->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return alive && inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TqvCustomInnerListBox::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = false;
  if (!FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->DragOver(Source, p.X, p.Y, State, Accept);
}

void TqvCustomInnerListBox::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (!FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->DragDrop(Source, p.X, p.Y);
}

TPopupMenu* TqvCustomInnerListBox::GetPopupMenu() {
  return FContainer ? FContainer->GetPopupMenu() : inherited::GetPopupMenu();
}

void TqvCustomInnerListBox::MouseLeave(TControl*) {
  if (FContainer) FContainer->ShortRefreshContainer(true);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvCustomInnerListBox::WndProc(TMessage& Message) {
  if (FContainer && FContainer->GetDragMode() == dmAutomatic && !HasState(csDesigning) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)) {
    FContainer->BeginAutoDrag();
    return;
  }
  TAliveToken alive = AliveToken();
  inherited::WndProc(Message);
  if (!alive) return;
  if (ChangesScrollBars(Message.Msg) || Message.Msg == CM_ENABLEDCHANGED ||
      (Message.Msg == WM_NCCALCSIZE && !FCalculating))
    SetScrollBarsParameters();
}

void TqvCustomInnerListBox::Dispatch(TMessage& Message) {
  TAliveToken alive = AliveToken();
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      inherited::Dispatch(Message);
      if (FContainer) {
        Message.Result |= DLGC_WANTCHARS;
        if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      }
      return;
    case WM_SETFOCUS:
      inherited::Dispatch(Message);
      if (alive && !HasState(csDestroying) && !IsContainerGoing() &&
          !IsControlWindow(FContainer, reinterpret_cast<HWND>(Message.WParam)))
        FContainer->FocusChanged();
      return;
    case WM_KILLFOCUS:
      inherited::Dispatch(Message);
      if (alive && !IsContainerGoing()) FContainer->FocusChanged();
      return;
    case WM_NCPAINT:
      inherited::Dispatch(Message);
      if (alive && IsGetScrollBarInfoAvailable()) PaintSizeGrip();
      return;
    case WM_WINDOWPOSCHANGED:
      inherited::Dispatch(Message);
      if (alive && !HasState(csDestroying) && HandleAllocated()) {
        TRect grip;
        GetSizeGripRect(grip);
        if (!grip.IsEmpty()) SendMessage(GetHandle(), WM_NCPAINT, 1, 0);
      }
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      inherited::Dispatch(Message);
      if (!alive) return;
      auto* control = Message.LParam ? reinterpret_cast<TControl*>(Message.LParam) : this;
      if (Message.Msg == CM_MOUSEENTER)
        MouseEnter(control);
      else
        MouseLeave(control);
      return;
    }
    default: inherited::Dispatch(Message);
  }
}
