// The parts of the control foundation: drag-and-drop objects, child components, mouse tracking,
// the settings controller, window and mouse routines, start-up and shut-down.
#include <algorithm>
#include <utility>

#include "lookandfeel/qvControls.h"
#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TqvDragAndDropObject)
QJ_IMPLEMENT_CLASS(TqvDragControlObject)
QJ_IMPLEMENT_CLASS(TqvControlChildComponent)
QJ_IMPLEMENT_CLASS(TMouseTrackingTimer)
QJ_IMPLEMENT_CLASS(TqvSettingsController)

// ---------------------------------------------------------------------------------------------
// Drag and drop

TqvDragAndDropObject::TqvDragAndDropObject(TqvControl* AControl) : FControl(AControl), FCanvas(AControl->GetCanvas()) {}

void TqvDragAndDropObject::SetDirty(bool Value) {
  if (Value == FDirty) return;
  FDirty = Value;
  DirtyChanged();
}

TCursor TqvDragAndDropObject::GetDragAndDropCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }

void TqvDragAndDropObject::DragAndDrop(TPoint, bool& Accepted) {
  SetDirty(false);
  Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

void TqvDragAndDropObject::DoBeginDragAndDrop() {
  FCurMousePos = FPrevMousePos = FControl->ScreenToClient(GetMouseCursorPos());
  BeginDragAndDrop();
}

void TqvDragAndDropObject::DoDragAndDrop(TPoint P, bool& Accepted) {
  FPrevMousePos = FCurMousePos;
  FCurMousePos = P;
  DragAndDrop(P, Accepted);
}

void TqvDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  AfterDragAndDrop(Accepted);
  EndDragAndDrop(Accepted);
}

TqvDragControlObject::TqvDragControlObject(TControl* AControl) : TDragControlObject(AControl) { SetAutoCreated(true); }

TCursor TqvDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted && IsCtrlPressed()) return crqvDragCopy;
  return inherited::GetDragCursor(Accepted, X, Y);
}

// ---------------------------------------------------------------------------------------------
// Child components

TqvControlChildComponent::TqvControlChildComponent(TqvControl* AControl, bool AAssignOwner)
    : TqvComponent(AAssignOwner && AControl ? AControl->Owner() : nullptr), FInitialControl(AControl) {}

void TqvControlChildComponent::AfterConstruction() {
  inherited::AfterConstruction();
  if (FInitialControl) SetControl(std::exchange(FInitialControl, nullptr));
}

void TqvControlChildComponent::BeforeDestruction() {
  if (FControl) FControl->RemoveChildComponent(this);
  inherited::BeforeDestruction();
}

// The control is watched, so a child outliving it does not keep a dangling link.
void TqvControlChildComponent::SetControl(TqvControl* Value) {
  if (Value == FControl) return;
  if (FControl) RemoveFreeNotification(FControl);
  FControl = Value;
  if (FControl) FreeNotification(FControl);
}

void TqvControlChildComponent::SetParentComponent(TComponent* Value) {
  inherited::SetParentComponent(Value);
  if (auto* control = As<TqvControl>(Value)) control->AddChildComponent(this);
}

void TqvControlChildComponent::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) FControl = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Mouse tracking

namespace {

// The watches, oldest first, and the ended ones waiting to be freed: a watch may end inside its
// own timer handler, so it is freed only once the message loop runs again.
struct TTrackingList {
  std::vector<TMouseTrackingTimer*> Timers;
  std::vector<TMouseTrackingTimer*> Retired;
  HWND Window = nullptr;
  bool FreePosted = false;

  ~TTrackingList() {
    FreeRetired();
    for (TMouseTrackingTimer* timer : Timers) Free(timer);
    if (Window) DeallocateHWnd(Window);
  }
  void FreeRetired() {
    FreePosted = false;
    std::vector<TMouseTrackingTimer*> retired = std::move(Retired);
    for (TMouseTrackingTimer* timer : retired) Free(timer);
  }
  void Retire(TMouseTrackingTimer* ATimer) {
    ATimer->SetEnabled(false);
    std::erase(Timers, ATimer);
    Retired.push_back(ATimer);
    if (!Window) Window = AllocateHWnd([this](TMessage& M) { WndProc(M); });
    if (!FreePosted) FreePosted = PostMessage(Window, WM_USER, 0, 0) != FALSE;
  }
  void WndProc(TMessage& M) {
    if (M.Msg == WM_USER)
      FreeRetired();
    else
      M.Result = DefWindowProc(Window, M.Msg, M.WParam, M.LParam);
  }
};

TTrackingList*& TrackingListInstance() {
  static TTrackingList* list = nullptr;
  return list;
}

TTrackingList& TrackingList() {
  TTrackingList*& list = TrackingListInstance();
  if (!list) list = new TTrackingList;
  return *list;
}

}  // namespace

TMouseTrackingTimer::TMouseTrackingTimer(TComponent* AOwner) : TTimer(AOwner) {
  SetEnabled(false);
  SetInterval(TrackingInterval);
  SetOnTimer([this](TObject* Sender) { TimerHandler(Sender); });
}

void TMouseTrackingTimer::TimerHandler(TObject*) {
  if (!IsCallerAlive()) {
    TrackingList().Retire(this);
    return;
  }
  if (FBounds.Contains(GetMouseCursorPos())) return;
  IqvMouseTrackingCaller* caller = FCaller;
  if (FControl && FControlAlive && FControl->HandleAllocated())
    SendMessage(FControl->GetHandle(), CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(FControl));
  if (IsCallerAlive()) caller->MouseLeave();
  EndMouseTracking(caller);
}

TMouseTrackingTimer* FindMouseTrackingTimer(IqvMouseTrackingCaller* ACaller) {
  TTrackingList* list = TrackingListInstance();
  if (!list) return nullptr;
  auto it = std::find_if(list->Timers.begin(), list->Timers.end(),
                         [&](TMouseTrackingTimer* t) { return t->GetCaller() == ACaller; });
  return it == list->Timers.end() ? nullptr : *it;
}

bool IsMouseTracking(IqvMouseTrackingCaller* ACaller) { return FindMouseTrackingTimer(ACaller) != nullptr; }

void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IqvMouseTrackingCaller* ACaller) {
  if (!ACaller || IsMouseTracking(ACaller)) return;
  TMouseTrackingTimer* timer = New<TMouseTrackingTimer>(nullptr);
  timer->FCaller = ACaller;
  if (auto* component = dynamic_cast<TComponent*>(ACaller)) {
    timer->FCallerIsComponent = true;
    timer->FCallerAlive = component->AliveToken();
  }
  timer->FControl = AControl;
  timer->FBounds = ABounds;
  if (AControl) {
    timer->FControlAlive = AControl->AliveToken();
    const TPoint topLeft = AControl->ClientToScreen(ABounds.TopLeft());
    timer->FBounds = qvOffsetRect(ABounds, topLeft.X - ABounds.Left, topLeft.Y - ABounds.Top);
  }
  TrackingList().Timers.push_back(timer);
  timer->SetEnabled(true);
}

void EndMouseTracking(IqvMouseTrackingCaller* ACaller) {
  if (TMouseTrackingTimer* timer = FindMouseTrackingTimer(ACaller)) TrackingList().Retire(timer);
}

const std::vector<TMouseTrackingTimer*>& GetMouseTrackingTimerList() {
  static const std::vector<TMouseTrackingTimer*> none;
  const TTrackingList* list = TrackingListInstance();
  return list ? list->Timers : none;
}

// ---------------------------------------------------------------------------------------------
// Settings controller

namespace {

TqvSettingsController*& SettingsControllerInstance() {
  static TqvSettingsController* controller = nullptr;
  return controller;
}

}  // namespace

TqvSettingsController* FindSettingsController() { return SettingsControllerInstance(); }

TqvSettingsController* GetSettingsController() {
  TqvSettingsController*& controller = SettingsControllerInstance();
  if (!controller) controller = New<TqvSettingsController>();
  return controller;
}

TqvSettingsController::~TqvSettingsController() {
  if (FWindow) DeallocateHWnd(FWindow);
}

void TqvSettingsController::AddControl(TqvControl* AControl) {
  if (std::find(FControls.begin(), FControls.end(), AControl) != FControls.end()) return;
  FControls.push_back(AControl);
  if (!FWindow) FWindow = AllocateHWnd([this](TMessage& M) { MainWndProc(M); });
}

void TqvSettingsController::RemoveControl(TqvControl* AControl) {
  std::erase(FControls, AControl);
  if (FControls.empty() && FWindow) DeallocateHWnd(std::exchange(FWindow, nullptr));
}

void TqvSettingsController::NotifyControls() {
  for (TqvControl* control : FControls)
    if (control->HandleAllocated()) SendNotifyMessage(control->GetHandle(), WM_QV_PRIVATE8131, 0, 0);
}

void TqvSettingsController::MainWndProc(TMessage& Message) {
  CallRoutingExceptions(this, [&] { WndProc(Message); });
}

void TqvSettingsController::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == SPI_SETNONCLIENTMETRICS) {
    NotifyControls();
    Message.Result = 0;
    return;
  }
  Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------------------------
// Routines

TqvDragStart DetectDragStart(HWND Wnd) {
  const Integer threshold = Mouse->GetDragThreshold();
  const TPoint start = GetMouseCursorPos();
  const TRect square = Bounds(start.X - threshold, start.Y - threshold, 2 * threshold, 2 * threshold);
  TqvDragStart result = qvdsCancel;
  SetCapture(Wnd);
  MSG msg;
  while (GetCapture() == Wnd) {
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) break;
    if (msg.message == WM_MOUSEMOVE) {
      TPoint p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      MapWindowPoint(msg.hwnd, nullptr, p);
      if (!square.Contains(p)) {
        result = qvdsDrag;
        break;
      }
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP || msg.message == WM_MBUTTONUP) {
      result = qvdsClick;
      break;
    }
  }
  if (GetCapture() == Wnd) ReleaseCapture();
  return result;
}

UINT GetDoubleClickInterval() { return GetDoubleClickTime(); }

TRect GetMonitorWorkArea(const TRect& R) {
  MONITORINFO info;
  if (HMONITOR monitor = MonitorFromPoint(R.TopLeft(), MONITOR_DEFAULTTONEAREST); monitor && GetMonitorInfo(monitor, &info))
    return info.rcWork;
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TPoint GetMouseCursorPos() {
  POINT p;
  GetCursorPos(&p);
  return p;
}

bool IsCtrlPressed() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool IsWithinDragThreshold(TPoint DownPos, Integer X, Integer Y) {
  const Integer threshold = Mouse->GetDragThreshold();
  return std::abs(X - DownPos.X) < threshold && std::abs(Y - DownPos.Y) < threshold;
}

void MapWindowPoint(HWND FromWnd, HWND ToWnd, TPoint& P) { MapWindowPoints(FromWnd, ToWnd, &P, 1); }

void MapWindowRect(HWND FromWnd, HWND ToWnd, TRect& R) { MapWindowPoints(FromWnd, ToWnd, &R); }

void PostMouseMove(TWinControl* AControl) {
  if (AControl && AControl->HandleAllocated()) PostMouseMove(AControl, AControl->ScreenToClient(GetMouseCursorPos()));
}

void PostMouseMove(TWinControl* AControl, TPoint P) {
  if (!AControl || !AControl->HandleAllocated()) return;
  PostMessage(AControl->GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(P.X), static_cast<WORD>(P.Y)));
}

namespace {

struct THourglass {
  Integer Count = 0;
  TCursor SavedCursor = crDefault;
};

THourglass& Hourglass() {
  static THourglass hourglass;
  return hourglass;
}

}  // namespace

void ShowHourglassCursor() {
  THourglass& h = Hourglass();
  if (h.Count++ == 0) {
    h.SavedCursor = Screen->GetCursor();
    Screen->SetCursor(crHourGlass);
  }
}

void HideHourglassCursor() {
  THourglass& h = Hourglass();
  if (h.Count == 0) return;
  if (--h.Count == 0) Screen->SetCursor(h.SavedCursor);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void InitControlFoundation() {
  for (TCursor id = crqvDragCopy; id < crqvDragCopy + qvCursorCount; ++id) {
    const TqvCursorPicture picture = GetLibraryCursorPicture(id);
    Screen->SetCursors(id, CreateCursorFromPixels(TqvCursorPicture::Size, TqvCursorPicture::Size, picture.Pixels,
                                                  picture.Opaque, picture.HotSpot.X, picture.HotSpot.Y));
  }
}

// Watches still running at shut-down (a control left hot, say) are freed quietly.
void DoneControlFoundation() {
  delete std::exchange(TrackingListInstance(), nullptr);
  FreeAndNil(SettingsControllerInstance());
  Hourglass() = THourglass();
}
