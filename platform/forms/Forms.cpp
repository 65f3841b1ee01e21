// TCustomForm: the frame styles, showing and hiding, the modal loop, closing rules and the
// focus bookkeeping (active control, enter/exit chains, dialog keys).
#include "platform/forms/Forms.h"

#include "platform/os/Gdi.h"
#include "platform/os/WinMenus.h"
#include "platform/rtl/Scopes.h"

const TResourceString SCannotShowModal = {61010, "Cannot make a visible window modal"};

QJ_IMPLEMENT_CLASS(TCustomForm)
QJ_IMPLEMENT_CLASS(TForm)

namespace {

// Counts focus changes: a CM_ENTER/CM_EXIT handler that moves the focus on stops the chain.
Integer FocusCount = 0;

bool SendFocusMessage(HWND Wnd, UINT Msg) {
  Integer count = FocusCount;
  SendMessage(Wnd, Msg, 0, 0);
  return FocusCount == count;
}

// Disables the other top-level windows of the program while a modal form runs.
std::vector<HWND> DisableTaskWindows(HWND Except) {
  std::vector<HWND> disabled;
  if (!Screen) return disabled;
  for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* f = Screen->GetCustomForm(i);
    if (!f->HandleAllocated() || f->GetHandle() == Except || f->GetParent()) continue;
    HWND h = f->GetHandle();
    if (IsWindowVisible(h) && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled.push_back(h);
    }
  }
  return disabled;
}

void EnableTaskWindows(const std::vector<HWND>& Windows) {
  for (HWND h : Windows)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIcon(MakeOwned<TIcon>()), FCanvas(MakeOwned<TControlCanvas>()) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FCanvas->SetControl(this);
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TCustomForm* TCustomForm::CreateNew(TComponent* AOwner) { return New<TCustomForm>(AOwner); }

TCustomForm::~TCustomForm() {
  FCanvas->FreeHandle();
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->GetMainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
  inherited::AfterConstruction();
  DoCreate();
  FFormState &= ~static_cast<TFormState>(fsCreating);
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (Screen) Screen->RemoveForm(this);
  if (FHandle && GetVisible() && !HasState(csDesigning)) {
    try {
      Hide();
    } catch (...) {
      // A form going away does not stop for a failing hide handler.
    }
  }
  DoDestroy();
  inherited::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FActiveControl) FActiveControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  if (AComponent == FMenuComponent) {
    FMenu = nullptr;
    FMenuComponent = nullptr;
    if (FHandle) ::SetMenu(FHandle, nullptr);
  }
}

namespace {
TFormMenuFunc FormMenuFunc = nullptr;
}

void SetFormMenuFunc(TFormMenuFunc Func) { FormMenuFunc = Func; }

void TCustomForm::SetMenuComponent(TMainMenu* Menu, TComponent* AsComponent) {
  if (Menu == FMenu) return;
  if (FMenuComponent) FMenuComponent->RemoveFreeNotification(this);
  FMenu = Menu;
  FMenuComponent = Menu ? AsComponent : nullptr;
  if (FMenuComponent) FMenuComponent->FreeNotification(this);
  if (FHandle) Perform(CM_MENUCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Window styles

DWORD TCustomForm::FrameStyle() const {
  DWORD style = 0;
  switch (FBorderStyle) {
    case bsNone: style = WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: style = WS_CAPTION; break;
    case bsSizeable:
    case bsSizeToolWin: style = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: style = WS_POPUP | WS_CAPTION; break;
  }
  if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) style |= WS_SYSMENU;
  if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
    if (FBorderIcons & biMinimize) style |= WS_MINIMIZEBOX;
    if (FBorderIcons & biMaximize) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD TCustomForm::FrameExStyle() const {
  DWORD ex = 0;
  if (FBorderStyle == bsDialog) ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
  if (FFormStyle == fsStayOnTop) ex |= WS_EX_TOPMOST;
  if (FAlphaBlend || FTransparentColor) ex |= WS_EX_LAYERED;
  return ex;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style = CS_DBLCLKS;
  if (GetParent()) return;
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP)) | WS_CLIPCHILDREN | FrameStyle();
  Params.ExStyle |= FrameExStyle();
  TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
  Params.WndParent = main && main != this && main->HandleAllocated() ? main->GetHandle() : nullptr;
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  ApplyLayered();
  if (FMenu) Perform(CM_MENUCHANGED, 0, 0);
}

TRect TCustomForm::GetClientRect() {
  if (FHandle) return inherited::GetClientRect();
  if (GetParent()) return TControl::GetClientRect();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, FrameStyle(), FALSE, FrameExStyle());
  return Rect(0, 0, std::max(0, FWidth - frame.Width()), std::max(0, FHeight - frame.Height()));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::GetWindowState() const {
  if (!FHandle) return FWindowState;
  if (IsIconic(FHandle)) return wsMinimized;
  if (IsZoomed(FHandle)) return wsMaximized;
  return wsNormal;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  if (!FHandle || !GetShowing()) return;
  static const int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
  ShowWindow(FHandle, kShow[Value]);
}

void TCustomForm::ApplyLayered() {
  if (!FHandle || GetParent()) return;
  DWORD ex = static_cast<DWORD>(GetWindowLong(FHandle, GWL_EXSTYLE));
  bool layered = FAlphaBlend || FTransparentColor;
  DWORD wanted = layered ? (ex | WS_EX_LAYERED) : (ex & ~WS_EX_LAYERED);
  if (wanted != ex) SetWindowLong(FHandle, GWL_EXSTYLE, static_cast<LONG>(wanted));
  if (!layered) return;
  DWORD flags = (FAlphaBlend ? LWA_ALPHA : 0) | (FTransparentColor ? LWA_COLORKEY : 0);
  SetLayeredWindowAttributes(FHandle, ColorToRGB(FTransparentColorValue), FAlphaBlend ? FAlphaBlendValue : 255, flags);
}

void TCustomForm::SetAlphaBlend(bool Value) {
  if (Value == FAlphaBlend) return;
  FAlphaBlend = Value;
  ApplyLayered();
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  ApplyLayered();
}

void TCustomForm::SetTransparentColor(bool Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  ApplyLayered();
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
  if (Value == FTransparentColorValue) return;
  FTransparentColorValue = Value;
  ApplyLayered();
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  TCanvasDCScope scope(FCanvas.get(), DC);
  Paint();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------------------------
// Showing

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::MovePosition() {
  if (GetParent()) return;
  TCustomForm* center = nullptr;
  switch (FPosition) {
    case poMainFormCenter: center = Application ? Application->GetMainForm() : nullptr; break;
    case poOwnerFormCenter:
      center = As<TCustomForm>(Owner());
      if (!center && Application) center = Application->GetMainForm();
      break;
    case poScreenCenter:
    case poDesktopCenter: break;
    default: return;
  }
  TRect area;
  if (center && center != this && center->GetVisible())
    area = center->GetBoundsRect();
  else
    area = Rect(0, 0, Screen ? Screen->GetWidth() : FWidth, Screen ? Screen->GetHeight() : FHeight);
  Integer x = area.Left + (area.Width() - FWidth) / 2;
  Integer y = area.Top + (area.Height() - FHeight) / 2;
  if (Screen && center) {
    TRect work = Screen->GetWorkAreaRect();
    x = std::max(work.Left, std::min(x, work.Right - FWidth));
    y = std::max(work.Top, std::min(y, work.Bottom - FHeight));
  }
  SetBounds(x, y, FWidth, FHeight);
}

void TCustomForm::CMShowingChangedForm(TMessage&) {
  if (GetShowing()) {
    {
      FFormState |= fsShowing;
      TFinally shown([this] { FFormState &= ~static_cast<TFormState>(fsShowing); });
      DoShow();
    }
    MovePosition();
    static const int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    if (GetParent())
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    else
      ShowWindow(FHandle, kShow[FWindowState]);
    FFormState |= fsVisible;
    return;
  }
  {
    FFormState |= fsShowing;
    TFinally hidden([this] { FFormState &= ~static_cast<TFormState>(fsShowing); });
    DoHide();
  }
  FFormState &= ~static_cast<TFormState>(fsVisible);
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  if (FActive && !GetParent()) {
    // The next visible form of the program takes over.
    FActive = false;
    for (Integer i = 0; Screen && i < Screen->GetCustomFormCount(); ++i) {
      TCustomForm* f = Screen->GetCustomForm(i);
      if (f != this && f->HandleAllocated() && IsWindowVisible(f->GetHandle()) && IsWindowEnabled(f->GetHandle())) {
        SetActiveWindow(f->GetHandle());
        break;
      }
    }
  }
}

TModalResult TCustomForm::ShowModal() {
  if (GetVisible() || !GetEnabled() || (FFormState & fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation(&SCannotShowModal);
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState |= fsModal;
  HWND activeWindow = GetActiveWindow();
  Integer savedFocusCount = FocusCount;
  TAliveToken alive = AliveToken();
  if (Screen) {
    Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
    Screen->FFocusedForm = this;
  }
  TCursor savedCursor = Screen ? Screen->GetCursor() : crDefault;
  if (Screen) Screen->SetCursor(crDefault);
  std::vector<HWND> disabled = DisableTaskWindows(nullptr);
  TFinally restore([&] {
    EnableTaskWindows(disabled);
    if (Screen) {
      auto& saved = Screen->FSaveFocusedList;
      Screen->FFocusedForm = saved.empty() ? nullptr : saved.front();
      if (!saved.empty()) saved.erase(saved.begin());
      Screen->SetCursor(savedCursor);
    }
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    FocusCount = savedFocusCount;
    if (alive) FFormState &= ~static_cast<TFormState>(fsModal);
  });
  TModalResult result = mrNone;
  Show();
  {
    TFinally hide([&] {
      if (alive) Hide();
    });
    SendMessage(GetHandle(), CM_ACTIVATE, 0, 0);
    FModalResult = mrNone;
    do {
      Application->HandleMessage();
      if (!alive) break;
      if (Application->GetTerminated())
        FModalResult = mrCancel;
      else if (FModalResult != mrNone)
        CloseModal();
    } while (alive && FModalResult == mrNone);
    result = alive ? FModalResult : mrCancel;
    if (alive) {
      SendMessage(GetHandle(), CM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != FHandle) activeWindow = nullptr;
    }
  }
  return result;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->GetMainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: Release(); break;
  }
}

void TCustomForm::Release() { PostMessage(GetHandle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage&) { Free(this); }

void TCustomForm::WMClose(TMessage&) { Close(); }

// The constraints bound the sizes the user can drag the window to (0: no bound).
void TCustomForm::WMGetMinMaxInfo(TMessage& M) {
  inherited::Dispatch(M);
  auto* info = reinterpret_cast<MINMAXINFO*>(M.LParam);
  if (!info) return;
  TSizeConstraints* c = GetConstraints();
  if (c->GetMinWidth() > 0) info->ptMinTrackSize.X = c->GetMinWidth();
  if (c->GetMinHeight() > 0) info->ptMinTrackSize.Y = c->GetMinHeight();
  if (c->GetMaxWidth() > 0) info->ptMaxTrackSize.X = c->GetMaxWidth();
  if (c->GetMaxHeight() > 0) info->ptMaxTrackSize.Y = c->GetMaxHeight();
}

// ---------------------------------------------------------------------------------------------
// Focus

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (Control && (Control == this || GetParentForm(Control) != this || (!HasState(csLoading) && !Control->CanFocus())))
    throw EInvalidOperation(&SCannotFocus);
  FActiveControl = Control;
  if (Control) Control->FreeNotification(this);
  if (!HasState(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND focus = FActiveControl ? FActiveControl->GetHandle() : GetHandle();
  if (focus && GetFocus() != focus) ::SetFocus(focus);
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!(GetVisible() && GetEnabled())) throw EInvalidOperation(&SCannotFocus);
  HWND focus = FActiveControl ? FActiveControl->GetHandle() : GetHandle();
  ::SetFocus(focus);
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->GetParent();
  if (Control->ContainsControl(FActiveControl)) {
    FActiveControl = nullptr;
    if (FActive && FHandle && !HasState(csDestroying)) ::SetFocus(FHandle);
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++FocusCount;
  FActiveControl = Control != this ? Control : nullptr;
  if (FActiveControl) FActiveControl->FreeNotification(this);
  if (Screen) Screen->SetFocusedState(this, Control);
  if (Control->FControlState & csFocusing) return false;
  Control->FControlState |= csFocusing;
  TAliveToken alive = Control->AliveToken();
  TFinally focused([&] {
    if (alive) Control->FControlState &= ~static_cast<TControlState>(csFocusing);
  });
  if (Screen && Screen->FFocusedForm != this) {
    if (TCustomForm* previous = Screen->FFocusedForm) {
      Screen->FFocusedForm = nullptr;
      if (previous->HandleAllocated() && !SendFocusMessage(previous->FHandle, CM_DEACTIVATE)) return false;
    }
    Screen->FFocusedForm = this;
    if (!SendFocusMessage(GetHandle(), CM_ACTIVATE)) return false;
  }
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl != Control) {
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      HWND h = FFocusedControl->FHandle;
      FFocusedControl = FFocusedControl->GetParent();
      if (h && !SendFocusMessage(h, CM_EXIT)) return false;
    }
    while (FFocusedControl != Control) {
      TWinControl* step = Control;
      while (step->GetParent() != FFocusedControl) step = step->GetParent();
      FFocusedControl = step;
      if (!SendFocusMessage(step->GetHandle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
  return true;
}

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (!Value) return;
  if (!FActiveControl && !HasState(csDesigning)) FActiveControl = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

// The form paints itself (Paint, OnPaint) even without graphic children.
void TCustomForm::WMPaintForm(TMessage& M) {
  FControlState |= csCustomPaint;
  TFinally painted([this] { FControlState &= ~static_cast<TControlState>(csCustomPaint); });
  inherited::Dispatch(M);
}

void TCustomForm::WMActivate(TMessage& M) { SetActive(LOWORD(M.WParam) != WA_INACTIVE); }

void TCustomForm::CMActivate(TMessage&) {
  if (HasState(csReading))
    FFormState |= fsActivated;
  else
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (!HasState(csReading)) Deactivate();
}

void TCustomForm::CMDialogKeyForm(TMessage& M) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (M.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          M.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->GetParent()) {
          FActiveControl->GetParent()->SelectNext(FActiveControl, M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
          M.Result = 1;
          return;
        }
        break;
      default: break;
    }
  }
  TWinControl::CMDialogKey(M);
}

void TCustomForm::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_ACTIVATE: WMActivate(M); return;
    case WM_CLOSE: WMClose(M); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(M); return;
    case CM_SHOWINGCHANGED: CMShowingChangedForm(M); return;
    case CM_DIALOGKEY: CMDialogKeyForm(M); return;
    case CM_RELEASE: CMRelease(M); return;
    case CM_ACTIVATE: CMActivate(M); return;
    case CM_DEACTIVATE: CMDeactivate(M); return;
    case WM_PAINT: WMPaintForm(M); return;
    case CM_MENUCHANGED:
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (FormMenuFunc && FormMenuFunc(this, M)) return;
      inherited::Dispatch(M);
      return;
    default: inherited::Dispatch(M);
  }
}
