// Drag and drop between controls of the program: a drag starts at once or once the mouse moved
// past the threshold, follows the mouse through a capture window, asks each target under the
// mouse (CM_DRAG) whether it accepts, and ends with a drop on an accepting target or a cancel.
#include <cstdlib>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TDragObject)
QJ_IMPLEMENT_CLASS(TBaseDragControlObject)
QJ_IMPLEMENT_CLASS(TDragControlObject)

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

void TBaseDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  if (FControl) FControl->DoEndDrag(Accepted ? Target : nullptr, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer, Integer) {
  return Accepted && FControl ? FControl->GetDragCursor() : crNoDrop;
}

TObject* TDragControlObject::GetSource() { return FControl; }

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
  };
  static TState S;

  static void Start(TPoint Pos);
  static void DragTo(TPoint Pos);
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
    object = new TDragControlObject(control);
    object->FAutoCreated = true;
  }
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
  TPoint pos = s.Object->FDragPos;
  bool accepted = Drop && s.Target && s.Accepted;
  s.Object->FCancelling = !Drop;
  s.Object->FDropped = accepted;
  if (s.Target) Send(s.Target, accepted ? dmDragDrop : dmDragLeave, pos, s.Object);
  TPoint local = accepted ? s.Target->ScreenToClient(pos) : pos;
  ShowDragCursor(crDefault);
  try {
    s.Object->Finished(accepted ? s.Target : nullptr, local.X, local.Y, accepted);
  } catch (...) {
    if (s.Object->FAutoCreated) delete s.Object;
    throw;
  }
  if (s.Object->FAutoCreated) delete s.Object;
}

void TDragManager::Clear() {
  if (S.CaptureWnd) DeallocateHWnd(S.CaptureWnd);
  if (S.Object && S.Object->FAutoCreated) delete S.Object;
  S = TState();
}

void TDragManager::ControlGone(TControl* Control) {
  if (!S.Control) return;
  if (S.Control == Control) {
    Clear();
    return;
  }
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
  if (FDragKind != dkDrag || Dragging()) return;
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
