// The base control: construction, canvas, messages, mouse and keyboard, focus, the wheel and
// the internal drag-and-drop.
#include "lookandfeel/qvControls.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvControl)

namespace {

// Mouse messages pack their point in two 16-bit halves; wider controls read the cursor instead.
constexpr Integer kMaxPackedCoordinate = 32768;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TqvControl::TqvControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = MakeOwned<TqvCanvas>(inherited::GetCanvas());
  FDefaultCursor = GetCursor();
  FLookAndFeel = MakeOwned<TqvLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  };
}

void TqvControl::AfterConstruction() {
  inherited::AfterConstruction();
  CreateScrollBars();
  SetTabStop(MayFocus());
}

TqvControl::~TqvControl() {
  DestroyScrollBars();
  FDragAndDropObject.reset();
  FFontListeners.clear();
}

TqvCanvas* TqvControl::GetCanvas() {
  if (HandleAllocated()) {
    FScreenCanvas.reset();
    return FCanvas.get();
  }
  if (!FScreenCanvas) FScreenCanvas = MakeOwned<TqvScreenCanvas>();
  return FScreenCanvas.get();
}

void TqvControl::SetLookAndFeel(TqvLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

void TqvControl::SetBorderStyle(TqvControlBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  BoundsChanged();
  Invalidate();
}

void TqvControl::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  BoundsChanged();
}

void TqvControl::InvalidateRect(const TRect& R, bool EraseBackground) {
  if (HandleAllocated()) ::InvalidateRect(GetHandle(), &R, EraseBackground);
}

void TqvControl::AddFontListener(IqvFontListener* AListener) {
  if (std::find(FFontListeners.begin(), FFontListeners.end(), AListener) == FFontListeners.end())
    FFontListeners.push_back(AListener);
}

void TqvControl::RemoveFontListener(IqvFontListener* AListener) {
  std::erase(FFontListeners, AListener);
}

void TqvControl::AddChildComponent(TComponent* AChild) {
  if (auto* child = As<TqvControlChildComponent>(AChild)) child->SetControl(this);
}

void TqvControl::RemoveChildComponent(TComponent* AChild) {
  if (auto* child = As<TqvControlChildComponent>(AChild)) child->SetControl(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Geometry and painting

Integer TqvControl::GetBorderSize() const { return FBorderStyle == qvcbsNone ? 0 : GetPainter()->GetBorderWidth(); }

TRect TqvControl::GetBounds() { return HandleAllocated() ? GetClientRect() : Rect(0, 0, GetWidth(), GetHeight()); }

TRect TqvControl::GetClientBounds() {
  TRect r = qvDeflatedRect(GetBounds(), GetBorderSize());
  if (IsHScrollBarVisible()) r.Bottom -= FHScrollBar->GetHeight();
  if (IsVScrollBarVisible()) r.Right -= FVScrollBar->GetWidth();
  return r;
}

void TqvControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TqvControl::CreateWnd() {
  inherited::CreateWnd();
  SetScrollBarsParent();
}

void TqvControl::Paint() {
  if (FBorderStyle == qvcbsDefault) {
    GetPainter()->PaintBorder(GetCanvas(), GetBounds());
    GetCanvas()->IntersectClipRect(GetClientBounds());
  }
  inherited::Paint();
}

void TqvControl::Resize() {
  inherited::Resize();
  BoundsChanged();
}

void TqvControl::FontChanged() {
  for (size_t i = 0; i < FFontListeners.size(); ++i) FFontListeners[i]->FontChanged(this, GetFont());
  Invalidate();
}

void TqvControl::FocusChanged() {
  if (OnFocusChanged) OnFocusChanged(this);
}

void TqvControl::MouseEnter(TControl*) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TqvControl::MouseLeave(TControl*) {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------
// Messages

TPoint TqvControl::MessagePoint(const TMessage& Message) {
  if (GetWidth() > kMaxPackedCoordinate || GetHeight() > kMaxPackedCoordinate) return ScreenToClient(GetMouseCursorPos());
  return {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
}

// With automatic dragging the left button goes to the control's own handlers, so that a drag
// starts only once the pointer leaves the drag square (AfterMouseDown), not at the press.
void TqvControl::DispatchAutoDragButton(TMessage& Message, TPoint P) {
  if (IsDesigning() && !GetDesignHitTest(P.X, P.Y, ssLeft)) {
    inherited::WndProc(Message);
    return;
  }
  if (ControlAtPos(P, false)) {
    inherited::WndProc(Message);
    return;
  }
  TAliveToken alive = AliveToken();
  FControlState |= csLButtonDown;
  Dispatch(Message);
  if (alive) FControlState &= ~static_cast<TControlState>(csLButtonDown);
}

void TqvControl::WndProc(TMessage& Message) {
  TAliveToken alive = AliveToken();
  const UINT msg = Message.Msg;
  const bool button = msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK;
  const TPoint p = button ? MessagePoint(Message) : TPoint();
  if (GetDragMode() == dmAutomatic && !Dragging() && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK))
    DispatchAutoDragButton(Message, p);
  else
    inherited::WndProc(Message);
  // A control on its way out (its focus leaving while it is freed) reports nothing more.
  if (!alive || IsDestroying()) return;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FocusChanged(); break;
    case WM_LBUTTONDOWN: AfterMouseDown(mbLeft, p.X, p.Y); break;
    case WM_RBUTTONDOWN: AfterMouseDown(mbRight, p.X, p.Y); break;
    case WM_MBUTTONDOWN: AfterMouseDown(mbMiddle, p.X, p.Y); break;
    default: break;
  }
}

void TqvControl::CMMouseEnterLeave(TMessage& Message, bool Enter) {
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  if (GetParent()) GetParent()->Perform(Message.Msg, 0, reinterpret_cast<LPARAM>(control ? control : this));
  if (Enter)
    MouseEnter(control ? control : this);
  else
    MouseLeave(control ? control : this);
}

void TqvControl::WMSetCursor(TMessage& Message) {
  if (IsDesigning() && FDragAndDropState == ddsNone) {
    const TPoint p = ScreenToClient(GetMouseCursorPos());
    if (GetDesignHitTest(p.X, p.Y, ssLeft)) {
      ::SetCursor(Screen->GetCursors(GetCurrentCursor(p.X, p.Y)));
      Message.Result = 1;
      return;
    }
  }
  inherited::Dispatch(Message);
}

void TqvControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (HasBackground())
        inherited::Dispatch(Message);
      else
        Message.Result = 1;
      return;
    case WM_GETDLGCODE: {
      static const LRESULT kCodes[] = {DLGC_WANTALLKEYS, DLGC_WANTARROWS, DLGC_WANTCHARS, DLGC_WANTTAB};
      LRESULT result = 0;
      for (TqvDialogKey key : {dkAllKeys, dkArrows, dkChars, dkTab})
        if (FKeys & dkBit(key)) result += kCodes[key];
      Message.Result = result;
      return;
    }
    case WM_NCCALCSIZE:
      inherited::Dispatch(Message);
      PostMessage(GetHandle(), WM_QV_PRIVATE8131, 0, 0);
      return;
    case WM_QV_PRIVATE8131: ScrollBarMetricsChanged(); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_CANCELMODE: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive) FinishDragAndDrop(false);
      if (alive) DoCancelMode();
      return;
    }
    case CM_COLORCHANGED:
      DoColorChange();
      inherited::Dispatch(Message);
      return;
    case CM_CURSORCHANGED:
      if (!FSettingCurrentCursor) CursorChanged();
      inherited::Dispatch(Message);
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      FontChanged();
      return;
    case CM_VISIBLECHANGED:
      inherited::Dispatch(Message);
      VisibleChanged();
      return;
    case CM_DESIGNHITTEST:
      inherited::Dispatch(Message);
      if (Message.Result == 0)
        Message.Result = GetDesignHitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam),
                                          KeysToShiftState(LOWORD(Message.WParam)));
      return;
    case CM_MOUSEENTER: CMMouseEnterLeave(Message, true); return;
    case CM_MOUSELEAVE: CMMouseEnterLeave(Message, false); return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// Focus and mouse

bool TqvControl::FocusOnClick() { return !IsDesigning() && MayFocus() && CanFocus(); }

bool TqvControl::IsFocused() { return Focused(); }

bool TqvControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->GetEnabled() && form->GetVisible());
}

bool TqvControl::IsClickPoint(Integer X, Integer Y) const {
  return GetDragMode() == dmManual || IsMouseInPressedArea(X, Y);
}

bool TqvControl::IsMouseInPressedArea(Integer X, Integer Y) const { return IsWithinDragThreshold(FMouseDownPos, X, Y); }

void TqvControl::SetMouseCaptureObject(TObject* Value) {
  if (Value == FMouseCaptureObject) return;
  TAliveToken alive = AliveToken();
  if (auto* previous = dynamic_cast<IqvMouseCaptureObject*>(FMouseCaptureObject)) previous->CaptureLost();
  if (!alive) return;
  FMouseCaptureObject = Value;
  SetMouseCapture(Value != nullptr);
}

void TqvControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FMouseDownPos = {X, Y};
  TAliveToken alive = AliveToken();
  if (FocusOnClick() && !(Shift & ssDouble)) {
    SetFocus();
    if (!alive) return;
    if (!IsFocused() && !AllowMouseDownWithoutFocus()) {
      SetMouseCapture(false);
      return;
    }
  }
  if (Button == mbLeft && !(Shift & ssDouble)) {
    if (!StartDragAndDrop({X, Y}))
      FinishDragAndDrop(false);
    else if (GetDragAndDropObject()->GetImmediateStart())
      BeginDragAndDrop();
    else
      SetDragAndDropState(ddsPressed);
    if (!alive) return;
  }
  BeforeMouseDown(Button, Shift, X, Y);
  if (!alive) return;
  inherited::MouseDown(Button, Shift, X, Y);
}

void TqvControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  {
    TValueScope setting(FSettingCurrentCursor, true);
    SetCursor(GetCurrentCursor(X, Y));
  }
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  if (FDragAndDropState == ddsPressed && !IsMouseInPressedArea(X, Y)) {
    BeginDragAndDrop();
    if (!alive) return;
  }
  if (FDragAndDropState == ddsDragging) {
    bool accepted = false;
    DragAndDrop({X, Y}, accepted);
  }
}

void TqvControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  EndMouseOperation();
  if (alive) inherited::MouseUp(Button, Shift, X, Y);
}

void TqvControl::EndMouseOperation() {
  TAliveToken alive = AliveToken();
  FinishDragAndDrop(true);
  if (alive) SetMouseCaptureObject(nullptr);
}

void TqvControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    TAliveToken alive = AliveToken();
    FinishDragAndDrop(false);
    if (!alive) return;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvControl::AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  if (GetDragMode() == dmAutomatic && (!IsDesigning() || CanDrag(X, Y)) && CanStartAutoDrag(X, Y) &&
      DetectDragStart(GetHandle()) == qvdsDrag && alive)
    BeginDrag(false, -1);
  if (alive && AButton == mbMiddle) RunAnchorScrollMode();
}

TqvMouseWheelScrollingKind TqvControl::GetMouseWheelScrollingKind() const {
  return IsVScrollBarVisible() ? mwskVertical : mwskNone;
}

bool TqvControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  TAliveToken alive = AliveToken();
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!alive) return true;
  const TqvMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
  if (kind == mwskNone) return false;
  const TqvScrollDirection direction = kind == mwskVertical ? (WheelDelta >= 0 ? sdUp : sdDown)
                                                            : (WheelDelta >= 0 ? sdLeft : sdRight);
  for (Integer i = 0, lines = Mouse->GetWheelScrollLines(); i < lines && alive; ++i) ScrollContent(direction);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Drag and drop

TqvDragAndDropObjectClass TqvControl::GetDragAndDropObjectClass() const {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : &TqvDragAndDropObject::StaticClass();
}

TqvDragAndDropObject* TqvControl::GetDragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject.reset(GetDragAndDropObjectClass()->Create(this));
  return FDragAndDropObject.get();
}

bool TqvControl::IsCopyDragDrop() const { return IsCtrlPressed(); }

void TqvControl::SetDragAndDropState(TqvDragAndDropState Value) {
  if (Value == FDragAndDropState) return;
  FDragAndDropState = Value;
  if (Value == ddsNone && !FFinishingDragAndDrop) DoCancelMode();
}

void TqvControl::BeginDragAndDrop() {
  GetDragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen->GetCursor();
  SetDragAndDropState(ddsDragging);
}

void TqvControl::DragAndDrop(TPoint P, bool& Accepted) { GetDragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TqvControl::EndDragAndDrop(bool Accepted) {
  SetDragAndDropState(ddsNone);
  Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  GetDragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TqvControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  TAliveToken alive = AliveToken();
  TValueScope finishing(FFinishingDragAndDrop, true, alive);
  if (FDragAndDropState == ddsDragging)
    EndDragAndDrop(Accepted);
  else
    SetDragAndDropState(ddsNone);
  if (alive) FDragAndDropObject.reset();
}

TqvDragObjectClass TqvControl::GetDragObjectClass() const { return &TqvDragControlObject::StaticClass(); }

void TqvControl::DoStartDrag(TDragObject*& DragObject) {
  TAliveToken alive = AliveToken();
  inherited::DoStartDrag(DragObject);
  if (!alive) return;
  if (!DragObject) DragObject = GetDragObjectClass()->Create(this);
  if (StartDrag(DragObject)) return;
  if (DragObject->GetAutoCreated()) Free(DragObject);
  DragObject = nullptr;
  CancelDrag();
}
