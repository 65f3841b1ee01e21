// Drag and drop between controls of the program: a drag starts at once or once the mouse moved
// past the threshold, follows the mouse through a capture window, asks each target under the
// mouse (CM_DRAG) whether it accepts, and ends with a drop on an accepting target or a cancel.
#include <cstdlib>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TDragObject)
QJ_IMPLEMENT_CLASS(TBaseDragControlObject)
QJ_IMPLEMENT_CLASS(TDragControlObject)
QJ_IMPLEMENT_CLASS(TDragDockObject)
QJ_IMPLEMENT_CLASS(TCustomDockForm)

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

void TBaseDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  if (FControl) FControl->DoEndDrag(Accepted ? Target : nullptr, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer, Integer) {
  return Accepted && FControl ? FControl->GetDragCursor() : crNoDrop;
}

TObject* TDragControlObject::GetSource() { return FControl; }

TDragDockObject::TDragDockObject(TControl* AControl) : TBaseDragControlObject(AControl) {}

TCursor TDragDockObject::GetDragCursor(bool, Integer, Integer) { return crDefault; }

// ---------------------------------------------------------------------------------------------

class TDragManager {
 public:
  static void Begin(TControl* Control, bool Immediate, Integer Threshold);
  static void Done(bool Drop);
  static bool IsDragging(const TControl* Control) { return S.Control && S.Control == Control; }
  static TDragObject* Object() { return S.Active ? S.Object : nullptr; }
  static void ControlGone(TControl* Control);

 private:
  struct TState {
    TControl* Control = nullptr;
    TDragObject* Object = nullptr;
    bool Active = false;
    TPoint StartPos;
    Integer Threshold = 5;
    TControl* Target = nullptr;
    bool Accepted = false;
    HWND CaptureWnd = nullptr;
    TWinControl* DockSite = nullptr;  // a dock drag's site under the mouse
    TPoint FloatOffset;               // from the mouse to the control's top-left corner
  };
  static TState S;

  static void Start(TPoint Pos);
  static void DragTo(TPoint Pos);
  static void DockTo(TPoint Pos);
  static TWinControl* FindDockSite(TPoint Pos);
  static void DockDone(TState& s, bool Drop);
  static LRESULT Send(TControl* Target, TDragMessage Msg, TPoint Pos, TDragObject* Object);
  static void CaptureMessage(TMessage& M);
  static void Clear();
};

TDragManager::TState TDragManager::S;

namespace {

TPoint CursorPos() {
  POINT p;
  GetCursorPos(&p);
  return p;
}

void ShowDragCursor(TCursor Cursor) {
  if (Screen) ::SetCursor(Screen->GetCursors(Cursor));
}

// A drag object the drag manager made for the drag dies with it.
void FreeAutoCreated(TDragObject* AObject) {
  if (AObject->GetAutoCreated()) delete AObject;
}

}  // namespace

void TDragManager::Begin(TControl* Control, bool Immediate, Integer Threshold) {
  if (S.Control || !Control) return;
  S = TState();
  S.Control = Control;
  S.StartPos = CursorPos();
  S.Threshold = Threshold < 0 ? (Mouse ? Mouse->GetDragThreshold() : 5) : Threshold;
  S.CaptureWnd = AllocateHWnd(CaptureMessage);
  SetCapture(S.CaptureWnd);
  if (Immediate) Start(S.StartPos);
}

void TDragManager::Start(TPoint Pos) {
  TControl* control = S.Control;
  TDragObject* object = nullptr;
  control->DoStartDrag(object);
  if (S.Control != control) return;  // the handler cancelled the drag
  if (!object) {
    object = control->GetDragKind() == dkDock ? static_cast<TDragObject*>(new TDragDockObject(control))
                                              : new TDragControlObject(control);
    object->FAutoCreated = true;
  }
  const TPoint origin = control->GetParent() ? control->ClientToScreen({0, 0}) : control->GetBoundsRect().TopLeft();
  S.FloatOffset = {origin.X - S.StartPos.X, origin.Y - S.StartPos.Y};
  S.Object = object;
  S.Active = true;
  object->FDragPos = Pos;
  DragTo(Pos);
}

LRESULT TDragManager::Send(TControl* Target, TDragMessage Msg, TPoint Pos, TDragObject* Object) {
  TDragRec rec;
  rec.Pos = Pos;
  rec.Source = Object;
  rec.Target = Target;
  return Target->Perform(CM_DRAG, Msg, reinterpret_cast<LPARAM>(&rec));
}

void TDragManager::DragTo(TPoint Pos) {
  if (As<TDragDockObject>(S.Object)) {
    DockTo(Pos);
    return;
  }
  TControl* target = FindDragTarget(Pos, false);
  if (target != S.Target) {
    if (S.Target) Send(S.Target, dmDragLeave, Pos, S.Object);
    if (!S.Active) return;
    S.Target = target;
    S.Object->FDragTargetControl = target;
    S.Object->FDragTarget = As<TWinControl>(target);
    S.Object->FDragPos = Pos;
    if (target) Send(target, dmDragEnter, Pos, S.Object);
    if (!S.Active) return;
  }
  S.Object->FDragPos = Pos;
  S.Accepted = S.Target && Send(S.Target, dmDragMove, Pos, S.Object) != 0;
  if (!S.Active) return;
  ShowDragCursor(S.Object->GetDragCursor(S.Accepted, Pos.X, Pos.Y));
}

void TDragManager::Done(bool Drop) {
  if (!S.Control) return;
  TState s = S;
  S = TState();
  if (GetCapture() == s.CaptureWnd) ReleaseCapture();
  DeallocateHWnd(s.CaptureWnd);
  if (!s.Active) return;
  if (As<TDragDockObject>(s.Object)) {
    DockDone(s, Drop);
    return;
  }
  TPoint pos = s.Object->FDragPos;
  bool accepted = Drop && s.Target && s.Accepted;
  s.Object->FCancelling = !Drop;
  s.Object->FDropped = accepted;
  if (s.Target) Send(s.Target, accepted ? dmDragDrop : dmDragLeave, pos, s.Object);
  TPoint local = accepted ? s.Target->ScreenToClient(pos) : pos;
  ShowDragCursor(crDefault);
  TFinally finished([&] { FreeAutoCreated(s.Object); });
  s.Object->Finished(accepted ? s.Target : nullptr, local.X, local.Y, accepted);
}

TWinControl* TDragManager::FindDockSite(TPoint Pos) {
  auto* client = As<TWinControl>(S.Control);
  for (TControl* c = FindDragTarget(Pos, true); c; c = c->GetParent()) {
    auto* site = As<TWinControl>(c);
    if (!site || !site->GetDockSite() || site == S.Control || (client && client->ContainsControl(site))) continue;
    RECT window;
    GetWindowRect(site->GetHandle(), &window);
    TRect influence = window;
    bool canDock = true;
    site->GetSiteInfo(S.Control, influence, Pos, canDock);
    if (canDock && influence.Contains(Pos)) return site;
  }
  return nullptr;
}

void TDragManager::DockTo(TPoint Pos) {
  auto* object = static_cast<TDragDockObject*>(S.Object);
  TWinControl* site = FindDockSite(Pos);
  bool accept = false;
  if (site != S.DockSite && S.DockSite) {
    const TPoint p = S.DockSite->ScreenToClient(Pos);
    S.DockSite->DockOver(object, p.X, p.Y, dsDragLeave, accept);
    if (!S.Active) return;
  }
  const bool entering = site != S.DockSite;
  S.DockSite = site;
  object->FDragPos = Pos;
  // Floating, the control keeps its size and follows the mouse.
  object->FDockRect = Bounds(Pos.X + S.FloatOffset.X, Pos.Y + S.FloatOffset.Y, S.Control->GetWidth(), S.Control->GetHeight());
  accept = false;
  if (site) {
    const TPoint p = site->ScreenToClient(Pos);
    site->DockOver(object, p.X, p.Y, entering ? dsDragEnter : dsDragMove, accept);
    if (!S.Active) return;
  }
  object->FDockSite = accept ? site : nullptr;
  S.Accepted = accept;
  ShowDragCursor(object->GetDragCursor(accept, Pos.X, Pos.Y));
}

void TDragManager::DockDone(TState& s, bool Drop) {
  auto* object = static_cast<TDragDockObject*>(s.Object);
  ShowDragCursor(crDefault);
  object->FCancelling = !Drop;
  TWinControl* site = Drop && s.Accepted ? object->FDockSite : nullptr;
  object->FDropped = site != nullptr;
  TAliveToken alive = s.Control->AliveToken();
  TFinally finished([object] { FreeAutoCreated(object); });
  if (site) {
    const TPoint p = site->ScreenToClient(object->FDragPos);
    site->DockDrop(object, p.X, p.Y);
  } else if (Drop) {
    s.Control->ManualFloat(object->FDockRect);
  }
  if (alive) object->Finished(site, object->FDragPos.X, object->FDragPos.Y, site != nullptr);
}

void TDragManager::Clear() {
  if (S.CaptureWnd) DeallocateHWnd(S.CaptureWnd);
  if (S.Object) FreeAutoCreated(S.Object);
  S = TState();
}

void TDragManager::ControlGone(TControl* Control) {
  if (!S.Control) return;
  if (S.Control == Control) {
    Clear();
    return;
  }
  if (S.DockSite == Control) S.DockSite = nullptr;
  if (S.Target == Control) {
    S.Target = nullptr;
    S.Accepted = false;
    if (S.Object) {
      S.Object->FDragTargetControl = nullptr;
      S.Object->FDragTarget = nullptr;
    }
  }
}

void TDragManager::CaptureMessage(TMessage& M) {
  switch (M.Msg) {
    case WM_MOUSEMOVE: {
      TPoint p = CursorPos();
      if (S.Active)
        DragTo(p);
      else if (S.Control && (std::abs(p.X - S.StartPos.X) >= S.Threshold || std::abs(p.Y - S.StartPos.Y) >= S.Threshold))
        Start(p);
      return;
    }
    case WM_LBUTTONUP: Done(true); return;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE: Done(false); return;
    case WM_CAPTURECHANGED:
      if (S.Control && reinterpret_cast<HWND>(M.LParam) != S.CaptureWnd) Done(false);
      return;
    default: M.Result = DefWindowProc(S.CaptureWnd, M.Msg, M.WParam, M.LParam);
  }
}

// ---------------------------------------------------------------------------------------------
// TControl's side

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (Dragging()) return;
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  TDragManager::Begin(this, Immediate, Threshold);
}

void TControl::BeginAutoDrag() {
  BeginDrag(Mouse ? Mouse->GetDragImmediate() : false, Mouse ? Mouse->GetDragThreshold() : -1);
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) TDragManager::Done(Drop);
}

bool TControl::Dragging() const { return TDragManager::IsDragging(this); }

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& M) {
  auto* rec = reinterpret_cast<TDragRec*>(M.LParam);
  if (!rec || !rec->Source) return;
  TPoint p = ScreenToClient(rec->Pos);
  TObject* source = rec->Source->GetSource();
  switch (static_cast<TDragMessage>(M.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      static const TDragState kState[] = {dsDragEnter, dsDragLeave, dsDragMove};
      bool accept = false;
      DragOver(source, p.X, p.Y, kState[M.WParam], accept);
      M.Result = accept ? 1 : 0;
      return;
    }
    case dmDragDrop: DragDrop(source, p.X, p.Y); return;
    case dmFindTarget: M.Result = reinterpret_cast<LRESULT>(this); return;
    default: return;
  }
}

// ---------------------------------------------------------------------------------------------
// Docking

bool TControl::ManualDock(TWinControl* NewDockSite) {
  if (!NewDockSite) {
    const TPoint origin = FParent ? ClientToScreen({0, 0}) : GetBoundsRect().TopLeft();
    return ManualFloat(Bounds(origin.X, origin.Y, FWidth, FHeight));
  }
  if (NewDockSite == FHostDockSite) return true;
  TWinControl* old = FHostDockSite;
  TAliveToken alive = AliveToken();
  if (old && !old->DoUnDock(NewDockSite, this)) return false;
  if (!alive) return false;
  FHostDockSite = NewDockSite;
  NewDockSite->FDockClients.push_back(this);
  try {
    NewDockSite->DoAddDockClient(this, NewDockSite->GetClientRect());
  } catch (...) {
    std::erase(NewDockSite->FDockClients, this);
    FHostDockSite = nullptr;
    if (old) old->DoRemoveDockClient(this);
    throw;
  }
  if (old && alive) old->DoRemoveDockClient(this);
  return true;
}

bool TControl::ManualFloat(const TRect& ScreenPos) {
  TWinControl* old = FHostDockSite;
  if (auto* host = As<TCustomDockForm>(old)) {
    host->SetBoundsRect(ScreenPos);
    return true;
  }
  TAliveToken alive = AliveToken();
  if (old && !old->DoUnDock(nullptr, this)) return false;
  if (!alive) return false;
  FHostDockSite = nullptr;
  if (auto* form = As<TCustomForm>(this)) {
    // A form floats by itself.
    SetParent(nullptr);
    SetBoundsRect(ScreenPos);
    if (old) old->DoRemoveDockClient(this);
    form->Show();
    return true;
  }
  auto* host = New<TCustomDockForm>(Application);
  host->SetBoundsRect(ScreenPos);
  FHostDockSite = host;
  host->FDockClients.push_back(this);
  static_cast<TWinControl*>(host)->DoAddDockClient(this, host->GetClientRect());
  if (old) old->DoRemoveDockClient(this);
  host->Show();
  return true;
}

bool TControl::GetFloating() const { return As<TCustomDockForm>(FHostDockSite) != nullptr; }

void TControl::NotifyHostDockSite(UINT AMessage, WPARAM AWParam) {
  if (!FHostDockSite) return;
  TDockNotifyRec rec{AMessage, AWParam, 0};
  FHostDockSite->Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&rec));
}

void TWinControl::GetSiteInfo(TControl*, TRect&, TPoint, bool& CanDock) { CanDock = FDockSite; }

void TWinControl::DockOver(TDragDockObject* Source, Integer, Integer, TDragState, bool& Accept) {
  Accept = FDockSite;
  if (!Accept || !HandleAllocated()) return;
  const TPoint origin = ClientToScreen({0, 0});
  const TRect client = GetClientRect();
  Source->SetDockRect(Bounds(origin.X, origin.Y, client.Width(), client.Height()));
}

void TWinControl::DockDrop(TDragDockObject* Source, Integer, Integer) {
  if (Source && Source->GetControl()) Source->GetControl()->ManualDock(this);
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
  Client->SetParent(this);
  Client->SetBoundsRect(ARect);
}

bool TWinControl::DoUnDock(TWinControl*, TControl* Client) {
  std::erase(FDockClients, Client);
  return true;
}

TCustomDockForm::TCustomDockForm(TComponent* AOwner) : TCustomForm(AOwner) {
  SetBorderStyle(bsSizeToolWin);
  SetDockSite(true);
}

void TCustomDockForm::DoAddDockClient(TControl* Client, const TRect& ARect) {
  inherited::DoAddDockClient(Client, ARect);
  Client->SetAlign(alClient);
  SetCaption(Client->GetText());
}

void TCustomDockForm::DoRemoveDockClient(TControl* Client) {
  inherited::DoRemoveDockClient(Client);
  if (GetDockClientCount() == 0) Release();
}

void TCustomDockForm::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DOCKNOTIFICATION) {
    auto* client = reinterpret_cast<TControl*>(Message.WParam);
    auto* rec = reinterpret_cast<TDockNotifyRec*>(Message.LParam);
    if (client && rec && rec->ClientMsg == CM_TEXTCHANGED) SetCaption(client->GetText());
    if (client && rec && rec->ClientMsg == CM_VISIBLECHANGED) SetVisible(client->GetVisible());
    return;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Globals

TDragObject* ActiveDragObject() { return TDragManager::Object(); }

void CancelDrag() { TDragManager::Done(false); }

void ControlGoingAway(TControl* Control) {
  TDragManager::ControlGone(Control);
  if (Application) Application->ControlDestroying(Control);
}

void SendCancelMode(TControl* Sender) {
  TCustomForm* form = GetParentForm(Sender);
  if (!form || !form->GetActiveControl()) return;
  form->GetActiveControl()->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}
