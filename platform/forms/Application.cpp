// TApplication: the message loop with its pre-processing (key routing to controls, mouse
// enter/leave tracking, hints), idle work, the calls threads hand over, exception display;
// THintWindow; the global objects.
#include <cerrno>

#include "platform/forms/ActnList.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"

QJ_IMPLEMENT_CLASS(TApplication)
QJ_IMPLEMENT_CLASS(THintWindow)

namespace {

constexpr UINT_PTR kHintTimer = 1;
enum THintTimerMode { htmShow, htmHide };
THintTimerMode HintTimerMode = htmShow;

bool IsMouseButtonDown(UINT Msg) {
  return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
         Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK || Msg == WM_NCLBUTTONDOWN || Msg == WM_NCRBUTTONDOWN ||
         Msg == WM_NCMBUTTONDOWN;
}

// The control whose hint applies: the nearest one up the parents with ShowHint.
TControl* HintControlOf(TControl* Control) {
  while (Control && !Control->GetShowHint()) Control = Control->GetParent();
  if (Control && Control->HasState(csDesigning)) return nullptr;
  return Control;
}

}  // namespace

String GetShortHint(const String& Hint) {
  auto bar = Hint.find('|');
  return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint) {
  auto bar = Hint.find('|');
  return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------------------------
// Hint window

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  GetFont()->SetColor(clInfoText);
  SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& AHint, void*) {
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.GetCanvas()->SetFont(GetFont());
  TSize size = measure.GetCanvas()->TextExtent(AHint);
  Integer width = std::min(MaxWidth > 0 ? MaxWidth : size.cx + 6, size.cx + 6);
  return Rect(0, 0, width + 2, size.cy + 4);
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
  SetCaption(AHint);
  TRect screen = Rect;
  if (Screen) {
    TRect work = Screen->GetWorkAreaRect();
    if (screen.Right > work.Right) {
      screen.Left -= screen.Right - work.Right;
      screen.Right = work.Right;
    }
    if (screen.Bottom > work.Bottom) {
      Integer h = screen.Height();
      screen.Bottom = screen.Top - 4;
      screen.Top = screen.Bottom - h;
    }
    if (screen.Left < work.Left) {
      screen.Right += work.Left - screen.Left;
      screen.Left = work.Left;
    }
  }
  SetBounds(screen.Left, screen.Top, screen.Width(), screen.Height());
  HWND wnd = GetHandle();
  SetWindowPos(wnd, HWND_TOPMOST, screen.Left, screen.Top, screen.Width(), screen.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::Paint() {
  TRect r = GetClientRect();
  TCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(r);
  canvas->SetFont(GetFont());
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->TextOut(2, 1, GetCaption());
}

void THintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Application

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FHintWindowClass(&THintWindow::StaticClass()) {}

TApplication::~TApplication() {
  CancelHint();
  if (FHandle && IsWindow(FHandle)) DeallocateHWnd(FHandle);
}

HWND TApplication::GetHandle() {
  if (!FHandle || !IsWindow(FHandle)) {
    FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
    SetWindowText(FHandle, GetTitle().c_str());
  }
  return FHandle;
}

String TApplication::GetTitle() const {
  if (!FTitle.empty()) return FTitle;
  return ChangeFileExt(Utf8ToAnsi(program_invocation_short_name), "");
}

void TApplication::SetTitle(const String& Value) {
  FTitle = Value;
  if (FHandle && IsWindow(FHandle)) SetWindowText(FHandle, GetTitle().c_str());
}

void TApplication::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_TIMER:
      if (M.WParam == kHintTimer) HintTimerExpired();
      return;
    case WM_ACTIVATEAPP:
      FActive = M.WParam != 0;
      if (FActive && OnActivate) OnActivate(this);
      if (!FActive && OnDeactivate) OnDeactivate(this);
      return;
    default: M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
  }
}

// Key messages go to the control under the focus as CN_ messages first: an answered one is
// not translated nor dispatched (dialog keys, accelerators).
bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  if (Msg.message == WM_KEYDOWN && Msg.wParam == VK_ESCAPE && ActiveDragObject()) {
    CancelDrag();
    return true;
  }
  HWND wnd = GetCapture();
  if (!wnd) wnd = Msg.hwnd;
  while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
  if (!wnd) return false;
  return SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (FHintControl && (IsMouseButtonDown(Msg.message) || Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN ||
                       Msg.message == WM_ACTIVATE || Msg.message == WM_ACTIVATEAPP || Msg.message == WM_NCMOUSEMOVE ||
                       Msg.message == WM_MOUSEWHEEL))
    CancelHint();
  return false;
}

void TApplication::UpdateMouseControl(TPoint Pos) {
  TControl* control = FindDragTarget(Pos, true);
  if (control && control->HasState(csDesigning)) control = nullptr;
  if (control == FMouseControl) return;
  TControl* old = FMouseControl;
  FMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (FMouseControl == control && control) control->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::HintMouseMessage(TControl* Control, MSG&) {
  POINT p;
  GetCursorPos(&p);
  // While a control holds the mouse (a drag, a pressed button) no hint comes up.
  TControl* hintControl = FShowHint && !GetCapture() ? HintControlOf(Control) : nullptr;
  if (!hintControl) {
    CancelHint();
    return;
  }
  if (hintControl == FHintControl && FHintCursorRect.Contains(p)) return;
  bool wasActive = FHintActive;
  Integer pause = wasActive ? FHintShortPause : FHintPause;
  hintControl->Perform(CM_HINTSHOWPAUSE, wasActive, reinterpret_cast<LPARAM>(&pause));
  CancelHint();
  FHintActive = wasActive;
  FHintControl = hintControl;
  TPoint origin = hintControl->ClientToScreen({0, 0});
  FHintCursorRect = Bounds(origin.X, origin.Y, hintControl->GetWidth(), hintControl->GetHeight());
  HintTimerMode = htmShow;
  StartHintTimer(pause);
}

void TApplication::StartHintTimer(Integer Value) {
  StopHintTimer();
  SetTimer(GetHandle(), kHintTimer, static_cast<UINT>(std::max<Integer>(Value, USER_TIMER_MINIMUM)), nullptr);
  FHintTimerRunning = true;
}

void TApplication::StopHintTimer() {
  if (!FHintTimerRunning) return;
  FHintTimerRunning = false;
  if (FHandle && IsWindow(FHandle)) KillTimer(FHandle, kHintTimer);
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (HintTimerMode == htmHide) {
    HideHint();
    return;
  }
  POINT p;
  GetCursorPos(&p);
  ActivateHint(p);
}

void TApplication::ActivateHint(TPoint CursorPos) {
  StopHintTimer();
  if (!FHintControl) return;
  THintInfo info;
  info.HintControl = FHintControl;
  info.HintPos = {CursorPos.X, CursorPos.Y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
  info.HintMaxWidth = Screen ? Screen->GetWidth() : 0;
  info.HintColor = FHintColor;
  info.CursorRect = FHintControl->GetClientRect();
  info.CursorPos = FHintControl->ScreenToClient(CursorPos);
  info.HintStr = GetShortHint(FHintControl->GetHint());
  info.HideTimeout = FHintHidePause;
  bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  FHintActive = canShow && FHintControl;
  if (!FHintActive || info.HintStr.empty()) {
    HideHint();
    return;
  }
  TPoint origin = FHintControl->ClientToScreen({info.CursorRect.Left, info.CursorRect.Top});
  FHintCursorRect = Bounds(origin.X, origin.Y, info.CursorRect.Width(), info.CursorRect.Height());
  if (!FHintWindow) {
    TComponent* created = FHintWindowClass && FHintWindowClass->CanCreate() ? FHintWindowClass->Create(this) : nullptr;
    FHintWindow = As<THintWindow>(created);
    if (!FHintWindow) {
      Free(created);
      FHintWindow = New<THintWindow>(this);
    }
  }
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  r = Bounds(info.HintPos.X, info.HintPos.Y, r.Width(), r.Height());
  FHintWindow->ActivateHint(r, info.HintStr);
  if (info.HideTimeout > 0) {
    HintTimerMode = htmHide;
    StartHintTimer(info.HideTimeout);
  }
}

void TApplication::HideHint() {
  if (!FHintWindow) return;
  THintWindow* window = FHintWindow;
  FHintWindow = nullptr;
  Free(window);
}

void TApplication::CancelHint() {
  if (!FHintControl && !FHintWindow && !FHintTimerRunning) return;
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
  StopHintTimer();
}

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) {
    OnHint(this);
    return;
  }
  THintAction hint(nullptr);
  hint.SetHint(Value);
  hint.Execute();
}

void TApplication::ControlDestroying(TControl* Control) {
  if (Control == FMouseControl) FMouseControl = nullptr;
  if (Control == FHintControl) CancelHint();
  if (Control == FMainForm) FMainForm = nullptr;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (handled) return true;
  if (Msg.message == WM_MOUSEMOVE) {
    POINT p;
    GetCursorPos(&p);
    UpdateMouseControl(p);
    if (TControl* c = FindDragTarget(p, true)) HintMouseMessage(c, Msg);
    else CancelHint();
  }
  if (IsHintMsg(Msg) || IsKeyMsg(Msg)) return true;
  TranslateMessage(&Msg);
  DispatchMessage(&Msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle(const MSG&) {
  POINT p;
  GetCursorPos(&p);
  UpdateMouseControl(p);
  CheckSynchronize();
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  if (TCustomForm* form = Screen ? Screen->GetActiveCustomForm() : nullptr)
    for (Integer i = 0; i < form->GetControlCount(); ++i) form->GetControl(i)->InitiateAction();
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::Run() {
  TValueScope running(FRunning, true);
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) {
    bool waiting = false;
    try {
      MSG msg;
      if (!ProcessMessage(msg)) {
        bool done = true;
        CheckSynchronize();
        if (OnIdle) OnIdle(this, done);
        waiting = done;
      }
    } catch (...) {
      HandleException(this);
    }
    if (waiting && !FTerminated) WaitMessage();
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Minimize() {
  for (Integer i = 0; Screen && i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* f = Screen->GetCustomForm(i);
    if (!f->GetParent() && f->GetVisible() && f->HandleAllocated()) ShowWindow(f->GetHandle(), SW_MINIMIZE);
  }
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  for (Integer i = 0; Screen && i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* f = Screen->GetCustomForm(i);
    if (!f->GetParent() && f->HandleAllocated() && IsIconic(f->GetHandle())) ShowWindow(f->GetHandle(), SW_RESTORE);
  }
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  if (FMainForm && FMainForm->HandleAllocated()) SetForegroundWindow(FMainForm->GetHandle());
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
  } catch (Exception& e) {
    if (OnException)
      OnException(Sender, &e);
    else
      ShowException(&e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    if (OnException)
      OnException(Sender, &wrapped);
    else
      ShowException(&wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    if (OnException)
      OnException(Sender, &wrapped);
    else
      ShowException(&wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  String text = E->Message();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, GetTitle(), MB_OK | MB_ICONHAND);
}

Integer TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
  String caption = Caption.empty() ? GetTitle() : Caption;
  if (FMessageBoxFunc) return FMessageBoxFunc(Text, caption, Flags);
  return ::MessageBox(GetActiveWindow(), Text.c_str(), caption.c_str(), Flags);
}

namespace {

using TActionHandler = bool (TComponent::*)(TBasicAction*);

// The visible controls of a showing container, depth first, until one handles the action.
bool OfferToClients(TWinControl* Container, TBasicAction* Action, TActionHandler Handle) {
  if (!Container->GetShowing()) return false;
  for (Integer i = 0; i < Container->GetControlCount(); ++i) {
    TControl* control = Container->GetControl(i);
    if (control->GetVisible() && (control->*Handle)(Action)) return true;
    if (auto* inner = As<TWinControl>(control); inner && OfferToClients(inner, Action, Handle)) return true;
  }
  return false;
}

// The application's event first, then the active form's active control, the form, and the
// form's visible controls (a status bar takes hints without the focus).
bool RouteAction(TBasicAction* Action, const TActionEvent& Event, TActionHandler Handle) {
  bool handled = false;
  if (Event) Event(Action, handled);
  if (handled) return true;
  TCustomForm* form = Screen ? Screen->GetActiveCustomForm() : nullptr;
  if (!form) return false;
  TWinControl* active = form->GetActiveControl();
  return (active && (active->*Handle)(Action)) || (form->*Handle)(Action) || OfferToClients(form, Action, Handle);
}

}  // namespace

bool TApplication::ExecuteAction(TBasicAction* Action) {
  return RouteAction(Action, OnActionExecute, &TComponent::ExecuteAction);
}

bool TApplication::UpdateAction(TBasicAction* Action) {
  return RouteAction(Action, OnActionUpdate, &TComponent::UpdateAction);
}

// ---------------------------------------------------------------------------------------------
// Globals

// Calls other threads hand over through TThread::Synchronize reach this thread through the
// window system's queue (it installs the hook); the loops above also run them when idle.
TMouse* Mouse = new TMouse();
TScreen* Screen = New<TScreen>(nullptr);
TApplication* Application = New<TApplication>(nullptr);
