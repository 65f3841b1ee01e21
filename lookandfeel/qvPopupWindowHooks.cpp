// The drop-down window, the list of open drop-downs, and the three thread hooks that close them
// on clicks elsewhere, application switches, owner changes and Alt+F4.
//
// Any message handler may close, reopen or free a popup, so every walk of the open list works
// on a snapshot, checks that a popup is still listed and alive before it touches it, and closes
// each popup at most once per walk: a closing handler that reopens a popup cannot keep a walk
// going forever.
#include <algorithm>

#include "lookandfeel/qvPopupWindow.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomPopupWindow)

namespace {

struct TPopupUnit {
  std::vector<TqvCustomPopupWindow*> Open;
  bool ClosingByMouse = false;
  HHOOK CallWndProcHook = nullptr;
  HHOOK GetMessageHook = nullptr;
  HHOOK MouseHook = nullptr;
};

TPopupUnit& PopupUnit() {
  static TPopupUnit unit;
  return unit;
}

std::vector<TqvCustomPopupWindow*>& OpenList() { return PopupUnit().Open; }

bool IsListed(TqvCustomPopupWindow* APopup) {
  return std::find(OpenList().begin(), OpenList().end(), APopup) != OpenList().end();
}

void AddOpen(TqvCustomPopupWindow* APopup) {
  if (!IsListed(APopup)) OpenList().push_back(APopup);
}

void RemoveOpen(TqvCustomPopupWindow* APopup) { std::erase(OpenList(), APopup); }

bool IsGoing(TComponent* AComponent) { return !AComponent || AComponent->HasState(csDestroying); }

HWND WindowOf(TControl* AControl) {
  auto* control = As<TWinControl>(AControl);
  return control && control->HandleAllocated() ? control->GetHandle() : nullptr;
}

TCustomForm* OwnerForm(TqvCustomPopupWindow* APopup) {
  return APopup->GetOwnerControl() ? GetParentForm(APopup->GetOwnerControl()) : nullptr;
}

// One walk of the open list: restarts after every close, but closes each popup once at most.
class TPopupScan {
 public:
  // The popups to visit, oldest first (newest first when reversed), skipping those already closed
  // by this walk.
  std::vector<TqvCustomPopupWindow*> Snapshot(bool ANewestFirst = false) const {
    std::vector<TqvCustomPopupWindow*> list;
    for (TqvCustomPopupWindow* p : OpenList())
      if (std::find(FClosed.begin(), FClosed.end(), p) == FClosed.end()) list.push_back(p);
    if (ANewestFirst) std::reverse(list.begin(), list.end());
    return list;
  }
  void Closed(TqvCustomPopupWindow* APopup) { FClosed.push_back(APopup); }

 private:
  std::vector<TqvCustomPopupWindow*> FClosed;
};

void CloseForActivateApp() {
  TPopupScan scan;
  for (bool restart = true; restart;) {
    restart = false;
    for (TqvCustomPopupWindow* popup : scan.Snapshot()) {
      if (!IsListed(popup)) continue;
      if (TCustomForm* form = OwnerForm(popup); form && form->HandleAllocated())
        PostMessage(form->GetHandle(), WM_NCACTIVATE, FALSE, 0);
      if (popup->GetCaptureFocus() && popup->GetActive()) continue;
      scan.Closed(popup);
      popup->CloseUpOnDeactivation();
      restart = true;
      break;
    }
  }
}

void SuppressOwnerCaptionDeactivation(HWND Wnd) {
  if (PopupUnit().ClosingByMouse) {
    SuppressNextMessage(Wnd, WM_NCACTIVATE, 1);
    return;
  }
  for (TqvCustomPopupWindow* popup : OpenList()) {
    if (IsGoing(popup)) continue;
    TCustomForm* form = OwnerForm(popup);
    if (form && form->HandleAllocated() && form->GetHandle() == Wnd) {
      SuppressNextMessage(Wnd, WM_NCACTIVATE, 1);
      return;
    }
  }
}

void CloseOnDestroy(HWND Wnd) {
  for (TqvCustomPopupWindow* popup : OpenList())
    if (!IsGoing(popup) && popup->HandleAllocated() && popup->GetHandle() == Wnd) {
      popup->Close();
      return;
    }
}

void CloseOnClose(HWND Wnd) {
  for (TqvCustomPopupWindow* popup : std::vector(OpenList())) {
    if (!IsListed(popup) || IsGoing(popup)) continue;
    TControl* owner = popup->GetOwnerControl();
    if (popup->HandleAllocated() && popup->GetHandle() == Wnd) {
      TAliveToken alive = popup->AliveToken();
      const bool capture = popup->GetCaptureFocus();
      popup->Close();
      if (alive && popup->IsOpen()) return;
      // Alt+F4 in a drop-down closes the form it belongs to as well.
      if (capture && !IsGoing(owner))
        if (TCustomForm* form = GetParentForm(owner); form && form->HandleAllocated())
          SendMessage(form->GetHandle(), WM_CLOSE, 0, 0);
      return;
    }
    if (popup->GetCaptureFocus() || IsGoing(owner)) continue;
    TCustomForm* form = OwnerForm(popup);
    if (!form || !form->HandleAllocated() || form->GetHandle() == Wnd) popup->CloseUp(false);
    return;
  }
}

void CloseOnOwnerHidden(HWND Wnd) {
  const std::vector<TqvCustomPopupWindow*> list = OpenList();
  for (size_t i = list.size(); i-- > 0;) {
    TqvCustomPopupWindow* popup = list[i];
    if (!IsListed(popup) || IsGoing(popup) || IsGoing(popup->GetOwnerControl())) continue;
    if (WindowOf(popup->GetOwnerControl()) != Wnd) continue;
    for (size_t j = list.size(); j-- > i;)
      if (IsListed(list[j])) list[j]->CloseUp(false);
    return;
  }
}

// A popup whose owner was hidden by a move (SetWindowPos) closes; the scan restarts after each.
void CloseOnOwnerMoved(HWND Wnd) {
  TPopupScan scan;
  for (bool restart = true; restart;) {
    restart = false;
    for (TqvCustomPopupWindow* popup : scan.Snapshot()) {
      if (!IsListed(popup) || IsGoing(popup) || !popup->HandleAllocated()) continue;
      TControl* owner = popup->GetOwnerControl();
      const HWND ownerWnd = WindowOf(owner);
      // Hiding a window hides the owners inside it as well (a drop-down opened from another).
      if (IsGoing(owner) || !ownerWnd || (ownerWnd != Wnd && !IsChild(Wnd, ownerWnd)) || IsWindowShown(ownerWnd)) continue;
      scan.Closed(popup);
      popup->CloseUp(false);
      restart = true;
      break;
    }
  }
}

LRESULT PopupCallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && !OpenList().empty()) {
    const CWPSTRUCT m = *reinterpret_cast<CWPSTRUCT*>(lParam);
    switch (m.message) {
      case WM_NCACTIVATE:
        if (!m.wParam) SuppressOwnerCaptionDeactivation(m.hwnd);
        break;
      case WM_ACTIVATEAPP:
        if (!m.wParam) CloseForActivateApp();
        break;
      case WM_DESTROY: CloseOnDestroy(m.hwnd); break;
      case WM_CLOSE: CloseOnClose(m.hwnd); break;
      case WM_SHOWWINDOW:
        if (!m.wParam) CloseOnOwnerHidden(m.hwnd);
        break;
      case WM_WINDOWPOSCHANGED: CloseOnOwnerMoved(m.hwnd); break;
      default: break;
    }
  }
  return CallNextHookEx(PopupUnit().CallWndProcHook, code, wParam, lParam);
}

LRESULT PopupGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && !OpenList().empty()) {
    MSG& m = *reinterpret_cast<MSG*>(lParam);
    TqvCustomPopupWindow* newest = OpenList().back();
    // The owner form's menu accelerators stay quiet while a drop-down is open.
    if (m.message == WM_SYSKEYDOWN && !(newest->GetCaptureFocus() && newest->GetIsModal()) &&
        !newest->IsSysKeyAccepted(static_cast<Word>(m.wParam)))
      m.message = WM_NULL;
  }
  return CallNextHookEx(PopupUnit().GetMessageHook, code, wParam, lParam);
}

LRESULT PopupMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && !OpenList().empty()) {
    const UINT msg = static_cast<UINT>(wParam);
    if (msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
      const MOUSEHOOKSTRUCT m = *reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
      if (!ClosePopupsOnMouseDown(m.hwnd, msg, m.pt)) return 1;
    }
  }
  return CallNextHookEx(PopupUnit().MouseHook, code, wParam, lParam);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Window relations

bool IsChildOfControlWindow(TWinControl* AControl, HWND Wnd) {
  return AControl && AControl->HandleAllocated() && Wnd && IsChild(AControl->GetHandle(), Wnd);
}

bool IsWindowInPopupTree(TWinControl* APopup, HWND Wnd) {
  for (Integer i = 0; i < APopup->GetControlCount(); ++i) {
    auto* child = As<TWinControl>(APopup->GetControl(i));
    if (!child) continue;
    if (WindowOf(child) == Wnd || IsWindowInPopupTree(child, Wnd) || IsChildOfControlWindow(child, Wnd)) return true;
  }
  auto* popup = As<TqvCustomPopupWindow>(APopup);
  if (!popup) return false;
  for (TqvCustomPopupWindow* other : OpenList()) {
    if (other == popup || !other->GetOwnerControl() || GetParentForm(other->GetOwnerControl()) != popup) continue;
    if (WindowOf(other) == Wnd || IsWindowInPopupTree(other, Wnd)) return true;
  }
  return false;
}

bool IsPopupRelatedWindow(TWinControl* APopup, HWND Wnd) {
  if (!APopup || !Wnd || WindowOf(APopup) == Wnd) return false;
  return IsChildOfControlWindow(APopup, Wnd) || IsWindowInPopupTree(APopup, Wnd);
}

bool IsWindowOfControlForm(TControl* AControl, HWND Wnd) {
  TCustomForm* form = AControl ? GetParentForm(AControl) : nullptr;
  if (!form) return false;
  const HWND formWnd = WindowOf(form);
  if ((formWnd && formWnd == Wnd) || IsPopupRelatedWindow(form, Wnd)) return true;
  if (form->GetParent() || !formWnd) return false;
  // A form embedded into a foreign window: the whole tree of that window counts.
  const HWND top = GetAncestor(formWnd, GA_ROOT);
  return top && top != formWnd && (Wnd == top || IsChild(top, Wnd));
}

bool IsPopupOwnerMDIRelated(TqvCustomPopupWindow* APopup, HWND Wnd) {
  TCustomForm* ownerForm = OwnerForm(APopup);
  const HWND client = WindowOf(ownerForm) ? GetParent(WindowOf(ownerForm)) : nullptr;
  if (!client) return false;
  if (Wnd == client) return true;
  for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* frame = Screen->GetCustomForm(i);
    if (frame->GetFormStyle() != fsMDIForm || frame->GetClientHandle() != client) continue;
    if (WindowOf(frame) == Wnd || IsPopupRelatedWindow(frame, Wnd)) return true;
    for (Integer j = 0; j < Screen->GetCustomFormCount(); ++j) {
      TCustomForm* child = Screen->GetCustomForm(j);
      if (child != ownerForm && child->GetFormStyle() == fsMDIChild &&
          (WindowOf(child) == Wnd || IsPopupRelatedWindow(child, Wnd)))
        return true;
    }
    return false;
  }
  return false;
}

bool ClosePopupsOnMouseDown(HWND Wnd, UINT Message, TPoint Point) {
  bool result = true;
  TPopupScan scan;
  for (bool restart = true; restart;) {
    restart = false;
    for (TqvCustomPopupWindow* popup : scan.Snapshot()) {
      if (!IsListed(popup)) continue;
      if (popup->GetCaptureFocus() && !popup->GetActive()) continue;
      if (WindowOf(popup) == Wnd || IsPopupRelatedWindow(popup, Wnd)) continue;
      TControl* owner = popup->GetOwnerControl();
      if (IsWindowOfControlForm(owner, Wnd)) {
        bool allow = true;
        const HWND ownerWnd = WindowOf(owner);
        const bool onOwner = ownerWnd && (ownerWnd == Wnd || IsPopupRelatedWindow(As<TWinControl>(owner), Wnd));
        if (onOwner && (Message == WM_LBUTTONDOWN || Message == WM_LBUTTONDBLCLK) &&
            popup->GetOwnerScreenRect().Contains(Point)) {
          allow = false;
          popup->SetClosedByOwnerClick(true);
        }
        TAliveToken ownerAlive = owner->AliveToken();
        {
          TValueScope byMouse(PopupUnit().ClosingByMouse, true);
          TLockSwitchScope<TqvCustomPopupWindow, &TqvCustomPopupWindow::SetIsClosingByMessage> closing(popup);
          scan.Closed(popup);
          popup->CloseUp(false);
          if (!allow && (!ownerAlive || IsGoing(owner) || !owner->GetVisible())) result = false;
        }
        restart = true;
        break;
      }
      TCustomForm* ownerForm = OwnerForm(popup);
      if (ownerForm && ownerForm->GetFormStyle() == fsMDIChild && IsPopupOwnerMDIRelated(popup, Wnd)) {
        scan.Closed(popup);
        popup->CloseUp(false);
        restart = true;
        break;
      }
    }
  }
  return result;
}

Integer GetOpenPopupCount() { return static_cast<Integer>(OpenList().size()); }
TqvCustomPopupWindow* GetOpenPopup(Integer Index) { return OpenList()[static_cast<size_t>(Index)]; }

void PostPopupCloseMessage(TqvCustomPopupWindow* APopup) {
  if (APopup && APopup->HandleAllocated()) PostMessage(APopup->GetHandle(), WM_QV_POPUPCLOSE, 0, 0);
}

void InitPopupHooks() {
  TPopupUnit& unit = PopupUnit();
  unit.Open.clear();
  unit.CallWndProcHook = SetWindowsHookEx(WH_CALLWNDPROC, PopupCallWndProcHook, nullptr, GetCurrentThreadId());
  unit.GetMessageHook = SetWindowsHookEx(WH_GETMESSAGE, PopupGetMessageHook, nullptr, GetCurrentThreadId());
  unit.MouseHook = SetWindowsHookEx(WH_MOUSE, PopupMouseHook, nullptr, GetCurrentThreadId());
}

void DonePopupHooks() {
  TPopupUnit& unit = PopupUnit();
  for (HHOOK* hook : {&unit.MouseHook, &unit.GetMessageHook, &unit.CallWndProcHook}) {
    if (*hook) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  unit.Open.clear();
}

// ---------------------------------------------------------------------------------------------
// The drop-down window

TqvCustomPopupWindow::TqvCustomPopupWindow(TControl* AOwnerControl) : TqvPopupWindow(nullptr), FOwnerControl(AOwnerControl) {
  SetFormStyle(fsNormal);
  SetVisible(false);
  SetKeyPreview(true);
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

void TqvCustomPopupWindow::AfterConstruction() {
  inherited::AfterConstruction();
  FStyle.reset(GetStyleClass()->Create(this, false));
  FStyle->OnChanged = [this](TObject* Sender) { ContainerStyleChanged(Sender); };
  FViewInfo.reset(GetViewInfoClass()->Create());
}

void TqvCustomPopupWindow::BeforeDestruction() {
  FDestroying = true;
  RemoveOpen(this);
  inherited::BeforeDestruction();
}

TqvCustomPopupWindow::~TqvCustomPopupWindow() {
  RemoveOpen(this);
  FViewInfo.reset();
  if (FStyle) FStyle->OnChanged = nullptr;
  FStyle.reset();
}

bool TqvCustomPopupWindow::IsOpen() const { return IsListed(const_cast<TqvCustomPopupWindow*>(this)); }

bool TqvCustomPopupWindow::HasCapture() { return HandleAllocated() && GetCapture() == GetHandle(); }

void TqvCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  if (AComponent == FOwnerControl) {
    // A popup never outlives the control it drops down from.
    FOwnerControl = nullptr;
    CloseUp(false);
  }
}

TWinControl* TqvCustomPopupWindow::GetFirstFocusControl(TWinControl* AControl) {
  if (!AControl) return this;
  if (AControl->CanFocus() && AControl->GetTabStop()) return AControl;
  std::vector<TWinControl*> tabOrder;
  GetTabOrderList(tabOrder);
  for (TWinControl* c : tabOrder)
    if (c->CanFocus() && c->GetTabStop()) return c;
  return this;
}

void TqvCustomPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (IsOpen()) return;
  TAliveToken alive = AliveToken();
  InitPopup();
  CalculateSize();
  TPoint p;
  CalculatePosition(p);
  SetBounds(p.X, p.Y, GetWidth(), GetHeight());

  AddOpen(this);
  FFocusedControl = FCaptureFocus ? GetFirstFocusControl(AFocusedControl) : AFocusedControl;
  if (FFocusedControl && FFocusedControl != this) FFocusedControl->FreeNotification(this);
  if (OnShowing) OnShowing(this);
  if (!alive || !IsOpen()) return;

  if (FCaptureFocus) {
    Show();
    if (!alive) return;
    TWinControl* focus = FFocusedControl ? FFocusedControl : this;
    if (focus->CanFocus()) focus->SetFocus();
  } else {
    Show();
    if (!alive) return;
    if (FFocusedControl && FFocusedControl->CanFocus()) FFocusedControl->SetFocus();
    TCustomForm* form = OwnerForm(this);
    const bool topMost = !form || (form->HandleAllocated() && (GetWindowLongPtr(form->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST));
    if (alive && HandleAllocated())
      SetWindowPos(GetHandle(), topMost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!alive) return;
  SetModalResult(mrNone);
  DoShowed();
  if (alive && FCaptureFocus && FIsModal) RunModalLoop(alive);
}

void TqvCustomPopupWindow::RunModalLoop(TAliveToken& AAlive) {
  while (AAlive && GetVisible() && !Application->GetTerminated()) {
    MSG m;
    // Alt, Alt+Enter and Alt+Space do not reach the owner form's menu or system menu.
    if (PeekMessage(&m, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (m.wParam == VK_RETURN || m.wParam == VK_MENU || m.wParam == VK_SPACE))
      PeekMessage(&m, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (GetModalResult() != mrNone) CloseUp(true);
    if (!AAlive || !GetVisible()) return;
    Application->HandleMessage();
  }
}

void TqvCustomPopupWindow::CloseUp(bool AWithQuery) {
  if (!IsOpen()) return;
  TAliveToken alive = AliveToken();
  if (AWithQuery && !CloseQuery()) {
    if (alive) SetModalResult(mrNone);
    return;
  }
  if (!alive) return;
  RemoveOpen(this);
  DoClosing();
  if (!alive) return;
  if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
  if (!alive) return;
  Hide();
  if (!alive) return;
  DoClosed();
  if (alive && HasCapture()) ReleaseCapture();
}

void TqvCustomPopupWindow::CloseUpOnDeactivation() {
  TControl* owner = FOwnerControl;
  TAliveToken ownerAlive = owner ? owner->AliveToken() : TAliveToken();
  CloseUp(false);
  if (auto* control = As<TqvControl>(owner); control && ownerAlive) control->FocusChanged();
}

void TqvCustomPopupWindow::DoClosed() {
  if (OnClosed) OnClosed(this);
}

void TqvCustomPopupWindow::DoClosing() {
  if (OnClosing) OnClosing(this);
}

void TqvCustomPopupWindow::DoShowed() {
  if (OnShowed) OnShowed(this);
}

void TqvCustomPopupWindow::ShowAgain() {
  RecreateWindow();
  if (!IsOpen()) return;
  TWinControl* focused = FFocusedControl;
  CloseUp(false);
  Popup(focused);
}

void TqvCustomPopupWindow::SetCaptureFocus(bool Value) {
  if (Value == FCaptureFocus) return;
  FCaptureFocus = Value;
  ShowAgain();
}

void TqvCustomPopupWindow::SetIsTopMost(bool Value) {
  if (Value == FIsTopMost) return;
  FIsTopMost = Value;
  ShowAgain();
}

void TqvCustomPopupWindow::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

bool TqvCustomPopupWindow::IsSysKeyAccepted(Word Key) const {
  return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_F4;
}

bool TqvCustomPopupWindow::Focused() {
  if (!IsOpen() || !FCaptureFocus) return false;
  const HWND focus = GetFocus();
  return focus && (WindowOf(this) == focus || IsPopupRelatedWindow(this, focus));
}

void TqvCustomPopupWindow::Deactivate() {
  if (FIsClosingByMessage) return;
  TAliveToken alive = AliveToken();
  TCustomForm::Deactivate();
  if (!alive || OpenList().empty()) return;
  const HWND active = GetActiveWindow();
  const std::vector<TqvCustomPopupWindow*> list = OpenList();
  for (size_t i = list.size(); i-- > 0;) {
    TqvCustomPopupWindow* popup = list[i];
    if (!IsListed(popup)) continue;
    if (WindowOf(popup) == active) return;
    if (popup->HandleAllocated() && IsWindowEnabled(popup->GetHandle())) popup->CloseUp(false);
  }
  if (alive && !OpenList().empty()) CloseUp(false);
}

void TqvCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  // Esc first ends a drag that holds the mouse; the next Esc is for the content.
  if (Key == VK_ESCAPE && IsOpen() && HasCapture()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvCustomPopupWindow::VisibleChanged() {
  if (GetVisible() || !FOwnerControl) return;
  TCustomForm* form = GetParentForm(FOwnerControl);
  auto* owner = As<TWinControl>(FOwnerControl);
  if (form && form->HandleAllocated() && GetFocus() == form->GetHandle() && owner && owner->CanFocus()) owner->SetFocus();
}

void TqvCustomPopupWindow::Paint() { FViewInfo->Draw(GetQVCanvas()); }

void TqvCustomPopupWindow::AdjustClientRect(TRect& R) {
  if (FViewInfo) R = FViewInfo->InnerEditRect;
}

void TqvCustomPopupWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  TCustomForm* form = OwnerForm(this);
  const HWND formWnd = WindowOf(form);
  if (FCaptureFocus) {
    if (formWnd) Params.WndParent = formWnd;
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
    if (FIsTopMost && (!form || (formWnd && (GetWindowLongPtr(formWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))))
      Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    // A tool window of the owner's form that the window system never activates: it floats over
    // the desktop while the owner keeps the focus.
    Params.Style = WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = formWnd;
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TqvCustomPopupWindow::CreateHandle() {
  // The hooks see the creation messages as those of a popup.
  const bool listed = IsOpen();
  if (!listed) AddOpen(this);
  TFinally unlisted([&] {
    if (!listed) RemoveOpen(this);
  });
  inherited::CreateHandle();
}

void TqvCustomPopupWindow::WMPopupClose() {
  TAliveToken alive = AliveToken();
  {
    TValueScope closing(FIsClosingByMessage, true, alive);
    CloseUp(false);
  }
  if (HWND owner = alive ? WindowOf(FOwnerControl) : nullptr) SendMessage(owner, WM_SETFOCUS, 0, 0);
}

void TqvCustomPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (HasBackground())
        inherited::Dispatch(Message);
      else
        Message.Result = 1;
      return;
    case WM_ACTIVATEAPP: TCustomForm::Dispatch(Message); return;
    case WM_QV_POPUPCLOSE: WMPopupClose(); return;
    case WM_QV_POPUPSHOW: Popup(reinterpret_cast<TWinControl*>(Message.WParam)); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TAliveToken alive = AliveToken();
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
