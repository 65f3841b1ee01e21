// TControl: bounds, alignment requests, appearance properties with their CM_ notifications,
// mouse handling, and the small helpers of the control tree.
#include "platform/forms/Controls.h"

#include <algorithm>

#include "platform/forms/ActnList.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

const TResourceString SParentRequired = {61001, "Control '%s' has no parent window"};
const TResourceString SCannotFocus = {61002, "Cannot focus a disabled or invisible window"};
const TResourceString SControlParentSetToSelf = {61003, "A control cannot have itself as its parent"};
const TResourceString SWindowClass = {61004, "Error creating window class"};

QJ_IMPLEMENT_CLASS(TSizeConstraints)
QJ_IMPLEMENT_CLASS(TControl)
QJ_IMPLEMENT_CLASS(TGraphicControl)
QJ_IMPLEMENT_CLASS(TControlCanvas)

// ---------------------------------------------------------------------------------------------
// Shift states

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s = 0;
  if (Keys & MK_SHIFT) s |= ssShift;
  if (Keys & MK_CONTROL) s |= ssCtrl;
  if (Keys & MK_LBUTTON) s |= ssLeft;
  if (Keys & MK_RBUTTON) s |= ssRight;
  if (Keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (KeyData & KF_ALTDOWN_BIT) s |= ssAlt;
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

// ---------------------------------------------------------------------------------------------
// Constraints

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* c = As<TSizeConstraints>(Source)) {
    FMinWidth = c->FMinWidth;
    FMinHeight = c->FMinHeight;
    FMaxWidth = c->FMaxWidth;
    FMaxHeight = c->FMaxHeight;
    Change();
    return;
  }
  inherited::Assign(Source);
}

void TSizeConstraints::SetMinWidth(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && FMaxWidth < Value) FMaxWidth = Value;
  Change();
}

void TSizeConstraints::SetMinHeight(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && FMaxHeight < Value) FMaxHeight = Value;
  Change();
}

void TSizeConstraints::SetMaxWidth(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && FMinWidth > Value) FMinWidth = Value;
  Change();
}

void TSizeConstraints::SetMaxHeight(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && FMinHeight > Value) FMinHeight = Value;
  Change();
}

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TControl: life cycle and parent

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FConstraints(MakeOwned<TSizeConstraints>(this)),
      FFont(MakeOwned<TFont>()) {
  WindowProc = [this](TMessage& M) { WndProc(M); };
  FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
  FConstraints->OnChange = [this](TObject* Sender) { ConstraintsChanged(Sender); };
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
  SetAction(nullptr);
}

void TControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (TWinControl* host = FHostDockSite) {
    // The host lets go of a client that goes away.
    host->DoUnDock(nullptr, this);
    FHostDockSite = nullptr;
    host->DoRemoveDockClient(this);
  }
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  ControlGoingAway(this);
}

TComponent* TControl::GetParentComponent() { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = As<TWinControl>(Value)) SetParent(w);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation(&SControlParentSetToSelf);
  SetParentInternal(AParent);
}

void TControl::SetParentInternal(TWinControl* AParent) {
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

// ---------------------------------------------------------------------------------------------
// Geometry

namespace {

Integer Constrain(Integer Value, Integer Min, Integer Max) {
  if (Max > 0 && Value > Max) Value = Max;
  if (Min > 0 && Value < Min) Value = Min;
  return std::max(0, Value);
}

}  // namespace

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool resize = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, resize);
  return resize;
}

bool TControl::CanAutoSize(Integer&, Integer&) { return true; }

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  Integer minW = FConstraints->GetMinWidth(), minH = FConstraints->GetMinHeight();
  Integer maxW = FConstraints->GetMaxWidth(), maxH = FConstraints->GetMaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  AWidth = Constrain(AWidth, minW, maxW);
  AHeight = Constrain(AHeight, minH, maxH);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
    AWidth = FWidth;
    AHeight = FHeight;
  }
  bool sized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (sized && !HasState(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
  UpdateAnchorRules();
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(TSize Value) {
  TRect client = GetClientRect();
  SetBounds(FLeft, FTop, FWidth - client.Width() + Value.cx, FHeight - client.Height() + Value.cy);
}

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(&SParentRequired, {GetName()});
  TPoint p = FParent->GetClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToParent(TPoint P, TWinControl* AParent) {
  if (!AParent) AParent = FParent;
  if (!AParent) throw EInvalidOperation(&SParentRequired, {GetName()});
  TControl* c = this;
  while (c && c != AParent) {
    P.X += c->FLeft;
    P.Y += c->FTop;
    c = c->FParent;
  }
  if (c != AParent) throw EInvalidOperation(&SParentRequired, {GetName()});
  return P;
}

TPoint TControl::ParentToClient(TPoint P, TWinControl* AParent) {
  TPoint o = ClientToParent({0, 0}, AParent);
  return {P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  FAnchors = AnchorAlign[Value];
  RequestAlign();
  if (!HasState(csLoading)) UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors Value) {
  if (Value == FAnchors) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchoring || !FParent || HasState(csLoading)) return;
  TRect pc = FParent->GetClientRect();
  FAnchorRules = {FLeft, FTop, pc.Width() - (FLeft + FWidth), pc.Height() - (FTop + FHeight)};
  FAnchorsValid = true;
}

// Moves the control to keep its anchored gaps to a parent whose client area now has NewSize.
// A side anchored on neither end keeps the control centred in the same proportion.
void TControl::AnchorToParent(TSize NewSize) {
  if (!FAnchorsValid || FAlign != alNone || FAnchors == (akLeft | akTop)) return;
  Integer l = FLeft, t = FTop, w = FWidth, h = FHeight;
  bool left = FAnchors & akLeft, right = FAnchors & akRight;
  bool top = FAnchors & akTop, bottom = FAnchors & akBottom;
  if (left && right)
    w = NewSize.cx - FAnchorRules.Right - l;
  else if (right)
    l = NewSize.cx - FAnchorRules.Right - w;
  else if (!left) {
    Integer oldSpace = FAnchorRules.Left + FAnchorRules.Right;
    Integer newSpace = NewSize.cx - w;
    l = oldSpace > 0 ? MulDiv(FAnchorRules.Left, newSpace, oldSpace) : newSpace / 2;
  }
  if (top && bottom)
    h = NewSize.cy - FAnchorRules.Bottom - t;
  else if (bottom)
    t = NewSize.cy - FAnchorRules.Bottom - h;
  else if (!top) {
    Integer oldSpace = FAnchorRules.Top + FAnchorRules.Bottom;
    Integer newSpace = NewSize.cy - h;
    t = oldSpace > 0 ? MulDiv(FAnchorRules.Top, newSpace, oldSpace) : newSpace / 2;
  }
  TValueScope anchoring(FAnchoring, true);
  SetBounds(l, t, std::max(0, w), std::max(0, h));
}

void TControl::RequestAlign() {
  if (FParent) FParent->ReAlignNow(this);
}

void TControl::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!HasState(csLoading)) DoAutoSize();
}

void TControl::DoAutoSize() {
  if (!FAutoSize) return;
  Integer w = FWidth, h = FHeight;
  if (CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::ConstraintsChanged(TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); }

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Loaded() {
  inherited::Loaded();
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  }
  UpdateAnchorRules();
  RequestAlign();
  DoAutoSize();
}

// ---------------------------------------------------------------------------------------------
// Appearance and state

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value, 0);
  RequestAlign();
  NotifyHostDockSite(CM_VISIBLECHANGED, Value);
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  if (!HasState(csDesigning)) SetVisible(true);
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (FParent && !HasState(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  if (!FChangingFont) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (FParent && !HasState(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (FParent && !HasState(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (Value == FBiDiMode) {
    FParentBiDiMode = false;
    return;
  }
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (Value == FParentBiDiMode) return;
  FParentBiDiMode = Value;
  if (FParent && !HasState(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::SetCtl3D(bool Value) {
  if (Value == FCtl3D) {
    FParentCtl3D = false;
    return;
  }
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TControl::SetParentCtl3D(bool Value) {
  if (Value == FParentCtl3D) return;
  FParentCtl3D = Value;
  if (FParent && !HasState(csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

TCaption TControl::GetText() { return GetTextBuf(); }

void TControl::SetText(const TCaption& Value) {
  if (GetTextBuf() == Value) return;
  SetTextBuf(Value);
  Perform(CM_TEXTCHANGED, 0, 0);
  NotifyHostDockSite(CM_TEXTCHANGED, 0);
}

String TControl::GetTextBuf() {
  auto length = static_cast<size_t>(std::max<LRESULT>(0, Perform(WM_GETTEXTLENGTH, 0, 0)));
  String text(length + 1, '\0');
  auto copied = static_cast<size_t>(std::max<LRESULT>(0, Perform(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()))));
  text.resize(std::min(copied, length));
  return text;
}

void TControl::SetTextBuf(const String& Value) { Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str())); }

void TControl::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->RemoveFreeNotification(this);
  FAction = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FAction) FAction = nullptr;
  if (AComponent == FPopupMenuComponent) {
    FPopupMenu = nullptr;
    FPopupMenuComponent = nullptr;
  }
}

bool TControl::ExecuteAction(TBasicAction* Action) { return Action && Action->HandlesTarget(this) && (Action->ExecuteTarget(this), true); }

bool TControl::UpdateAction(TBasicAction* Action) { return Action && Action->HandlesTarget(this) && (Action->UpdateTarget(this), true); }

void TControl::InitiateAction() {
  if (FAction) FAction->Update();
}

bool TControl::GetShowing() const {
  if (auto* w = dynamic_cast<const TWinControl*>(this)) return w->TWinControl::GetShowing();
  return FVisible && FParent && FParent->TWinControl::GetShowing();
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FAction)
    FAction->Execute();
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

TPopupMenu* TControl::GetPopupMenu() { return FPopupMenu; }

void TControl::SetPopupMenuComponent(TPopupMenu* Menu, TComponent* AsComponent) {
  if (Menu == FPopupMenu) return;
  if (FPopupMenuComponent) FPopupMenuComponent->RemoveFreeNotification(this);
  FPopupMenu = Menu;
  FPopupMenuComponent = Menu ? AsComponent : nullptr;
  if (FPopupMenuComponent) FPopupMenuComponent->FreeNotification(this);
}

namespace {
TShowPopupMenuFunc ShowPopupMenuFunc = nullptr;
}

void SetShowPopupMenuFunc(TShowPopupMenuFunc Func) { ShowPopupMenuFunc = Func; }

namespace {
TMenuKeyFunc MenuKeyFunc = nullptr;
}

void SetMenuKeyFunc(TMenuKeyFunc Func) { MenuKeyFunc = Func; }

bool IsMenuKey(TWinControl* Control, TMessage& Message) {
  return MenuKeyFunc && !Control->HasState(csDesigning) && MenuKeyFunc(Control, Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

// ---------------------------------------------------------------------------------------------
// Painting requests

HWND TControl::GetDeviceContextWindow() const { return FParent ? FParent->FHandle : nullptr; }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!FParent || !FParent->HandleAllocated() || !IsVisible) return;
  RECT r = GetBoundsRect();
  InvalidateRect(FParent->FHandle, &r, !(IsOpaque || (FControlStyle & csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, (FControlStyle & csOpaque) != 0); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FParent || !FParent->HandleAllocated() || !FVisible) return;
  Invalidate();
  FParent->Update();
}

void TControl::SetZOrder(bool TopMost) {
  if (FParent) FParent->SetZOrderPosition(this, TopMost);
}

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  UINT msg = Message.Msg;
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && !HasState(csDesigning)) {
    if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic && FDragKind == dkDrag &&
        !Dragging()) {
      BeginAutoDrag();
      return;
    }
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) FControlState |= csLButtonDown;
    if (msg == WM_LBUTTONUP) FControlState &= ~static_cast<TControlState>(csLButtonDown);
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN: WMMouseButton(M, mbLeft, true, false); return;
    case WM_LBUTTONDBLCLK: WMMouseButton(M, mbLeft, true, true); return;
    case WM_LBUTTONUP: WMMouseButton(M, mbLeft, false, false); return;
    case WM_RBUTTONDOWN: WMMouseButton(M, mbRight, true, false); return;
    case WM_RBUTTONDBLCLK: WMMouseButton(M, mbRight, true, true); return;
    case WM_RBUTTONUP: WMMouseButton(M, mbRight, false, false); return;
    case WM_MBUTTONDOWN: WMMouseButton(M, mbMiddle, true, false); return;
    case WM_MBUTTONDBLCLK: WMMouseButton(M, mbMiddle, true, true); return;
    case WM_MBUTTONUP: WMMouseButton(M, mbMiddle, false, false); return;
    case WM_MOUSEMOVE: WMMouseMove(M); return;
    case WM_MOUSEWHEEL:
    case CM_MOUSEWHEEL: WMMouseWheel(M); return;
    case WM_CONTEXTMENU: WMContextMenu(M); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); return;
    case CM_FONTCHANGED: CMFontChanged(M); return;
    case CM_COLORCHANGED: CMColorChanged(M); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(M); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(M); return;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(M); return;
    case CM_HITTEST: CMHitTest(M); return;
    case CM_MOUSEENTER: CMMouseEnter(M); return;
    case CM_MOUSELEAVE: CMMouseLeave(M); return;
    case CM_DRAG: CMDrag(M); return;
    case CM_TEXTCHANGED:
    case CM_SHOWHINTCHANGED:
    case CM_BIDIMODECHANGED:
    case CM_CTL3DCHANGED:
    case CM_CURSORCHANGED: Invalidate(); return;
    default: DefaultHandler(M);
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      const String& text = FText;
      auto* buffer = reinterpret_cast<char*>(Message.LParam);
      if (!buffer || Message.WParam == 0) return;
      size_t n = std::min<size_t>(text.size(), Message.WParam - 1);
      std::copy_n(text.data(), n, buffer);
      buffer[n] = 0;
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(FText.size()); return;
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = TRUE;
      return;
    default: return;
  }
}

// The window class's own handling runs first (a subclassed native window sees its input), then
// the capture, click and mouse events of the class library.
void TControl::WMMouseButton(TMessage& M, TMouseButton Button, bool Down, bool Double) {
  TAliveToken alive = AliveToken();
  DefaultHandler(M);
  if (!alive) return;
  TShiftState shift = KeysToShiftState(LOWORD(M.WParam));
  Integer x = GET_X_LPARAM(M.LParam), y = GET_Y_LPARAM(M.LParam);
  if (Down) {
    if (Button == mbLeft) {
      if (Double) SendCancelMode(this);
      if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (!Double && (FControlStyle & csClickEvents)) FControlState |= csClicked;
      if (Double && (FControlStyle & csClickEvents)) DblClick();
      if (!alive) return;
    }
    DoMouseButtonEvent(Button, true, shift | (Double ? static_cast<TShiftState>(ssDouble) : 0u), x, y);
    return;
  }
  if (Button == mbLeft) {
    if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
    if (FControlState & csClicked) {
      FControlState &= ~static_cast<TControlState>(csClicked);
      TRect r = GetClientRect();
      if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) Click();
      if (!alive) return;  // the click handler freed the control
    }
  }
  DoMouseButtonEvent(Button, false, shift, x, y);
}

void TControl::DoMouseButtonEvent(TMouseButton Button, bool Down, TShiftState Shift, Integer X, Integer Y) {
  if (FControlStyle & csNoStdEvents) return;
  if (Down)
    MouseDown(Button, Shift, X, Y);
  else
    MouseUp(Button, Shift, X, Y);
}

void TControl::WMMouseMove(TMessage& M) {
  TAliveToken alive = AliveToken();
  DefaultHandler(M);
  if (alive && !(FControlStyle & csNoStdEvents))
    MouseMove(KeysToShiftState(LOWORD(M.WParam)), GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::WMMouseWheel(TMessage& M) {
  TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(M.WParam));
  Integer delta = GET_WHEEL_DELTA_WPARAM(M.WParam);
  TPoint pos{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
  if (DoMouseWheel(shift, delta, pos)) {
    M.Result = 1;
    return;
  }
  if (FParent && M.Msg == CM_MOUSEWHEEL) M.Result = FParent->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
  if (!M.Result && M.Msg == WM_MOUSEWHEEL) DefaultHandler(M);
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  if (WheelDelta < 0) return DoMouseWheelDown(Shift, MousePos);
  if (WheelDelta > 0) return DoMouseWheelUp(Shift, MousePos);
  return false;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

void TControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  TPoint pos{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
  bool atKeyboard = M.LParam == -1;
  TPoint client = atKeyboard ? TPoint{-1, -1} : ScreenToClient(pos);
  bool handled = false;
  DoContextPopup(client, handled);
  if (handled) {
    M.Result = 1;
    return;
  }
  TPopupMenu* menu = GetPopupMenu();
  if (menu && ShowPopupMenuFunc) {
    if (atKeyboard) pos = ClientToScreen({0, 0});
    ShowPopupMenuFunc(menu, this, pos);
    M.Result = 1;
    return;
  }
  DefaultHandler(M);
}

bool TControl::GetMouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (GetMouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && (FControlStyle & csOpaque)); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& M) {
  if (!FParentFont) return;
  TFont* source = M.WParam ? reinterpret_cast<TFont*>(M.LParam) : (FParent ? FParent->GetFont() : nullptr);
  if (!source) return;
  {
    TValueScope changing(FChangingFont, true);
    FFont->Assign(source);
  }
  ParentFontChanged();
}

void TControl::CMParentColorChanged(TMessage& M) {
  if (!FParentColor) return;
  TColor c = M.WParam ? static_cast<TColor>(M.LParam) : (FParent ? FParent->GetColor() : FColor);
  SetColor(c);
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->GetShowHint());
  FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent) return;
  SetBiDiMode(FParent->GetBiDiMode());
  FParentBiDiMode = true;
}

void TControl::CMParentCtl3DChanged(TMessage&) {
  if (!FParentCtl3D || !FParent) return;
  SetCtl3D(FParent->GetCtl3D());
  FParentCtl3D = true;
}

void TControl::CMHitTest(TMessage& M) { M.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& M) {
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
  if (!M.LParam && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& M) {
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
  if (!M.LParam && OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------
// Graphic control and its canvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (Value == FControl) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  HDC dc = FDeviceContext;
  FDeviceContext = nullptr;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, dc);
  FWindowHandle = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  FreeHandle();
  HWND wnd = FControl->GetDeviceContextWindow();
  if (!wnd) {
    if (auto* w = As<TWinControl>(FControl)) wnd = w->GetHandle();
    if (!wnd) return;
  }
  HDC dc = GetDC(wnd);
  if (!dc) return;
  if (!As<TWinControl>(FControl)) {
    SetViewportOrgEx(dc, FControl->GetLeft(), FControl->GetTop(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->GetWidth(), FControl->GetHeight());
  }
  FDeviceContext = dc;
  FWindowHandle = wnd;
  SetHandle(dc);
}

void TControlCanvas::UpdateTextFlags() {
  if (FControl) SetTextFlags(FControl->UseRightToLeftReading() ? ETO_RTLREADING : 0);
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(MakeOwned<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->FreeHandle(); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return;
  }
  inherited::Dispatch(Message);
}

// The parent paints its graphic children into its own DC, with the origin moved to the child.
void TGraphicControl::WMPaint(TMessage& Message) {
  if (!Message.WParam) return;
  FCanvas->FreeHandle();
  TCanvasDCScope scope(FCanvas.get(), reinterpret_cast<HDC>(Message.WParam));
  Paint();
}

// ---------------------------------------------------------------------------------------------
// Helpers

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->GetParent()) Control = Control->GetParent();
  return Control ? As<TCustomForm>(Control) : nullptr;
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* form = GetParentForm(Control);
  if (!form) throw EInvalidOperation(&SParentRequired, {Control ? Control->GetName() : String()});
  return form;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  HWND wnd = WindowFromPoint(Pos);
  TWinControl* w = nullptr;
  while (wnd && !(w = FindControl(wnd))) wnd = GetParent(wnd);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
  return c ? c : w;
}
