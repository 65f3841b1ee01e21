// TWinControl: the window behind a control, children and their alignment, focus and tab order,
// key routing, painting with graphic children; TCustomControl; hidden utility windows.
#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TWinControl)
QJ_IMPLEMENT_CLASS(TCustomControl)

namespace {

constexpr const char* kControlProp = "QJControl";
constexpr const char* kUtilProp = "QJUtilMethod";
constexpr const char* kUtilClass = "QJUtilWindow";

thread_local TWinControl* CreationControl = nullptr;
TControl* CaptureControl = nullptr;

template <class T>
void EraseValue(std::vector<T*>& v, T* item) {
  v.erase(std::remove(v.begin(), v.end(), item), v.end());
}

void RegisterWindowClass(const TCreateParams& Params, WNDPROC Proc) {
  WNDCLASSEX existing;
  if (GetClassInfoEx(nullptr, Params.WinClassName.c_str(), &existing)) return;
  WNDCLASSEX wc = Params.WindowClass;
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = Params.WinClassName.c_str();
  if (!RegisterClassEx(&wc)) throw EOSError(&SWindowClass);
}

// The order in which aligned children are stacked: the moving control wins ties.
bool InsertBefore(TControl* C1, TControl* C2, TAlign Align) {
  switch (Align) {
    case alTop: return C1->GetTop() < C2->GetTop();
    case alBottom: return C1->GetTop() + C1->GetHeight() >= C2->GetTop() + C2->GetHeight();
    case alLeft: return C1->GetLeft() < C2->GetLeft();
    case alRight: return C1->GetLeft() + C1->GetWidth() >= C2->GetLeft() + C2->GetWidth();
    default: return false;
  }
}

// Owner-drawn children are found through their control id (WM_MEASUREITEM names no window):
// every child window gets an id of its own among its siblings.
constexpr LONG_PTR kFirstControlId = 0x4000, kLastControlId = 0x7FFFFFFF;

LONG_PTR NewControlId(HWND Parent) {
  static LONG_PTR next = kFirstControlId;
  for (;;) {
    LONG_PTR id = next;
    next = next == kLastControlId ? kFirstControlId : next + 1;
    if (!Parent || !GetDlgItem(Parent, static_cast<int>(id))) return id;
  }
}

// The child window a notification sent to its parent is about (nullptr: none of a child).
HWND NotifyingChild(HWND Parent, const TMessage& M) {
  switch (M.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(M.LParam);
    case WM_DRAWITEM: {
      auto* s = reinterpret_cast<const DRAWITEMSTRUCT*>(M.LParam);
      return s && s->CtlType != ODT_MENU ? s->hwndItem : nullptr;
    }
    case WM_DELETEITEM: {
      auto* s = reinterpret_cast<const DELETEITEMSTRUCT*>(M.LParam);
      return s && s->CtlType != ODT_MENU ? s->hwndItem : nullptr;
    }
    case WM_COMPAREITEM: {
      auto* s = reinterpret_cast<const COMPAREITEMSTRUCT*>(M.LParam);
      return s && s->CtlType != ODT_MENU ? s->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* s = reinterpret_cast<const MEASUREITEMSTRUCT*>(M.LParam);
      return s && s->CtlType != ODT_MENU && s->CtlID != 0 ? GetDlgItem(Parent, static_cast<int>(s->CtlID)) : nullptr;
    }
    default: return nullptr;
  }
}

// Places one aligned control in the remaining area and takes its share from the area.
void PositionAligned(TControl* Control, TAlign Align, TRect& R) {
  Integer l = R.Left, t = R.Top, w = R.Width(), h = R.Height();
  switch (Align) {
    case alTop: h = Control->GetHeight(); break;
    case alBottom: h = Control->GetHeight(); t = R.Bottom - h; break;
    case alLeft: w = Control->GetWidth(); break;
    case alRight: w = Control->GetWidth(); l = R.Right - w; break;
    default: break;
  }
  Control->SetBounds(l, t, std::max(0, w), std::max(0, h));
  // The control may refuse the size (constraints): the area shrinks by what it really took.
  switch (Align) {
    case alTop: R.Top += Control->GetHeight(); break;
    case alBottom: R.Bottom -= Control->GetHeight(); break;
    case alLeft: R.Left += Control->GetWidth(); break;
    case alRight: R.Right -= Control->GetWidth(); break;
    default: break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Window procedure

LRESULT ControlWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* control = static_cast<TWinControl*>(GetProp(Wnd, kControlProp));
  if (!control && CreationControl) {
    control = CreationControl;
    CreationControl = nullptr;
    control->FHandle = Wnd;
    SetProp(Wnd, kControlProp, control);
  }
  if (!control) return DefWindowProc(Wnd, Msg, WParam, LParam);
  TMessage m{Msg, WParam, LParam, 0};
  try {
    control->WindowProc(m);
  } catch (...) {
    if (Application)
      Application->HandleException(control);
    else
      throw;
  }
  return m.Result;
}

TWinControl* FindControl(HWND Handle) {
  return Handle ? static_cast<TWinControl*>(GetProp(Handle, kControlProp)) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Capture

TControl* GetCaptureControl() {
  HWND capture = GetCapture();
  if (capture && CaptureControl && CaptureControl->GetParent() && CaptureControl->GetParent()->HandleAllocated() &&
      CaptureControl->GetParent()->GetHandle() == capture)
    return CaptureControl;
  CaptureControl = nullptr;
  return FindControl(capture);
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  CaptureControl = nullptr;
  if (!Control) return;
  if (auto* w = As<TWinControl>(Control)) {
    SetCapture(w->GetHandle());
    return;
  }
  if (!Control->GetParent()) return;
  CaptureControl = Control;
  SetCapture(Control->GetParent()->GetHandle());
}

// ---------------------------------------------------------------------------------------------
// Utility windows

namespace {

LRESULT UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  // The method dies with its window, however the window is destroyed.
  if (Msg == WM_NCDESTROY) {
    delete static_cast<TWndMethod*>(RemoveProp(Wnd, kUtilProp));
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  }
  auto* method = static_cast<TWndMethod*>(GetProp(Wnd, kUtilProp));
  if (!method || !*method) return DefWindowProc(Wnd, Msg, WParam, LParam);
  TMessage m{Msg, WParam, LParam, 0};
  try {
    (*method)(m);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(nullptr);
  }
  return m.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  WNDCLASSEX existing;
  if (!GetClassInfoEx(nullptr, kUtilClass, &existing)) {
    WNDCLASSEX wc;
    wc.lpfnWndProc = UtilWindowProc;
    wc.lpszClassName = kUtilClass;
    if (!RegisterClassEx(&wc)) throw EOSError(&SWindowClass);
  }
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!wnd) throw EOSError(&SWindowClass);
  SetProp(wnd, kUtilProp, new TWndMethod(std::move(Method)));
  return wnd;
}

void DeallocateHWnd(HWND Wnd) {
  if (IsWindow(Wnd)) DestroyWindow(Wnd);
}

// ---------------------------------------------------------------------------------------------
// TWinControl: life cycle and handle

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(MakeOwned<TBrush>()) {
  FBrush->SetColor(FColor);
  FBrush->OnChange = [this](TObject* Sender) { BrushChanged(Sender); };
}

TWinControl* TWinControl::CreateParented(HWND ParentWindow) {
  auto* control = New<TWinControl>(nullptr);
  control->SetParentWindow(ParentWindow);
  return control;
}

TWinControl::~TWinControl() {
  // Leave the parent while this is still known as a windowed control.
  if (FParent) FParent->RemoveControl(this);
  if (FHandle) DestroyWindowHandle();
  for (TControl* c : FControls) c->FParent = nullptr;
  for (TWinControl* c : FWinControls) c->FParent = nullptr;
  FControls.clear();
  FWinControls.clear();
  FTabList.clear();
}

void TWinControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  for (TControl* client : FDockClients) client->FHostDockSite = nullptr;
  FDockClients.clear();
  if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, true);
  if (FHandle) DestroyHandle();
}

void TWinControl::BrushChanged(TObject*) { Invalidate(); }

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) Params.Style |= WS_CLIPCHILDREN;
  if (!GetEnabled()) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProc;
  Params.WindowClass.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
  Params.WinClassName = ClassName();
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  SetProp(FHandle, kControlProp, this);
  // A window made after its siblings takes its place of the children's order, not the bottom.
  if (FParent) SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (TControl* c : FControls) c->UpdateAnchorRules();
  for (TWinControl* c : FWinControls) c->UpdateAnchorRules();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent) throw EInvalidOperation(&SParentRequired, {GetName()});
  FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProc;
  RegisterWindowClass(params, ControlWindowProc);
  {
    FControlState |= csCreating;
    TFinally created([this] {
      FControlState &= ~static_cast<TControlState>(csCreating);
      CreationControl = nullptr;
    });
    CreateWindowHandle(params);
  }
  if (!FHandle) throw EOSError(&SWindowClass);
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), TRUE);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(NewControlId(Params.WndParent));
  CreationControl = this;
  HWND wnd = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                            Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id, nullptr,
                            Params.Param);
  if (wnd) FHandle = wnd;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* c : FWinControls) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  FText = GetWindowText(FHandle);
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState |= csDestroyingHandle;
  HWND wnd = FHandle;
  if (GetCaptureControl() == this || (CaptureControl && CaptureControl->FParent == this)) SetCaptureControl(nullptr);
  DestroyWindow(wnd);
  if (IsWindow(wnd)) RemoveProp(wnd, kControlProp);
  FHandle = nullptr;
  FShowing = false;
  FControlState &= ~static_cast<TControlState>(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  UpdateControlState();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || Value == FParentWindow) return;
  if (FHandle && Value && FParentWindow)
    ::SetParent(FHandle, Value);
  else
    DestroyHandle();
  FParentWindow = Value;
  UpdateControlState();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (!FParent && AParent && FHandle) DestroyHandle();
  inherited::SetParent(AParent);
}

HWND TWinControl::GetDeviceContextWindow() const { return FHandle; }

// ---------------------------------------------------------------------------------------------
// Showing

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->FParent) {
    c = c->FParent;
    if (!c->FShowing) return;
  }
  if (As<TCustomForm>(c) || c->FParentWindow) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = (GetVisible() || (HasState(csDesigning) && !(FControlStyle & csNoDesignVisible))) &&
              !(FControlState & csReadingState);
  if (show) {
    if (!FHandle) CreateHandle();
    // By index over the live list: a child's handle creation may add a sibling (a control that
    // places helpers on its parent), and that one must show too.
    for (size_t i = 0; i < FWinControls.size(); ++i) FWinControls[i]->UpdateShowing();
  }
  if (FHandle && FShowing != show) SetShowing(show);
}

void TWinControl::SetShowing(bool Value) {
  FShowing = Value;
  try {
    Perform(CM_SHOWINGCHANGED, 0, 0);
  } catch (...) {
    FShowing = !Value;
    throw;
  }
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChangedWin(TMessage& M) {
  if (!GetVisible() && FParent) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  }
  if (!HasState(csDesigning) || (FControlStyle & csNoDesignVisible)) UpdateControlState();
  TControl::CMVisibleChanged(M);
}

// ---------------------------------------------------------------------------------------------
// Children

Integer TWinControl::GetControlCount() const { return static_cast<Integer>(FControls.size() + FWinControls.size()); }

TControl* TWinControl::GetControl(Integer Index) const {
  if (Index < 0 || Index >= GetControlCount()) throw EListError(&SListIndexError, {Index});
  auto n = static_cast<Integer>(FControls.size());
  return Index < n ? FControls[Index] : FWinControls[Index - n];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), TRUE);
  if (auto* w = As<TWinControl>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
  if (!AControl->HasState(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    AControl->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
    if (auto* w = As<TWinControl>(AControl))
      w->UpdateControlState();
    else if (FHandle)
      AControl->Invalidate();
    AControl->UpdateAnchorRules();
    ReAlignNow(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (auto* w = As<TWinControl>(AControl)) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(w, true);
    w->DestroyHandle();
    EraseValue(FWinControls, w);
    EraseValue(FTabList, w);
  } else {
    if (FHandle) AControl->InvalidateControl(AControl->GetVisible(), false);
    EraseValue(FControls, AControl);
  }
  if (CaptureControl == AControl) SetCaptureControl(nullptr);
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (!HasState(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->GetParent();
  return Control == this;
}

TControl* TWinControl::FindChildControl(const String& ControlName) const {
  for (Integer i = 0; i < GetControlCount(); ++i)
    if (SameText(GetControl(i)->GetName(), ControlName)) return GetControl(i);
  return nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!(c->GetVisible() || (c->HasState(csDesigning) && !(c->FControlStyle & csNoDesignVisible)))) return false;
    if (!c->GetEnabled() && !AllowDisabled) return false;
    if (!c->GetBoundsRect().Contains(Pos)) return false;
    TPoint local{Pos.X - c->GetLeft(), Pos.Y - c->GetTop()};
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(static_cast<WORD>(local.X), static_cast<WORD>(local.Y))) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m{Msg, 0, 0, 0};
  Broadcast(m);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
  auto it = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (it != FWinControls.end())
    for (++it; it != FWinControls.end(); ++it)
      if ((*it)->FHandle) return (*it)->FHandle;
  return HWND_TOP;
}

void TWinControl::SetZOrderPosition(TControl* Control, bool TopMost) {
  if (auto* w = As<TWinControl>(Control)) {
    EraseValue(FWinControls, w);
    FWinControls.insert(TopMost ? FWinControls.end() : FWinControls.begin(), w);
    if (w->FHandle)
      SetWindowPos(w->FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    EraseValue(FControls, Control);
    FControls.insert(TopMost ? FControls.end() : FControls.begin(), Control);
    Control->Invalidate();
  }
  Realign();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (FParent) {
    FParent->SetZOrderPosition(this, TopMost);
    return;
  }
  if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// ---------------------------------------------------------------------------------------------
// Bounds and alignment

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  Integer minW = GetConstraints()->GetMinWidth(), minH = GetConstraints()->GetMinHeight();
  Integer maxW = GetConstraints()->GetMaxWidth(), maxH = GetConstraints()->GetMaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  auto constrain = [](Integer v, Integer lo, Integer hi) {
    if (hi > 0 && v > hi) v = hi;
    if (lo > 0 && v < lo) v = lo;
    return std::max(0, v);
  };
  AWidth = constrain(AWidth, minW, maxW);
  AHeight = constrain(AHeight, minH, maxH);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
    AWidth = FWidth;
    AHeight = FHeight;
  }
  // A handler of the new size (OnResize) may free the control.
  TAliveToken alive = AliveToken();
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!alive) return;
    UpdateBounds();
  } else {
    bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    if (sized) {
      Realign();
      if (!HasState(csLoading)) Resize();
      if (!alive) return;
    }
  }
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  HWND parent = ::GetParent(FHandle);
  if ((GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD) && parent) MapWindowPoints(nullptr, parent, &r);
  UpdateBoundsRect(r);
}

TRect TWinControl::GetClientRect() {
  if (!FHandle) return TControl::GetClientRect();
  RECT r;
  ::GetClientRect(FHandle, &r);
  return r;
}

TPoint TWinControl::GetClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  if (FParent) {
    TPoint p = FParent->GetClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
  }
  return {FLeft, FTop};
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::ReAlignNow(TControl* AControl) {
  if (HasState(csDestroying) || HasState(csLoading)) return;
  if (FAlignLevel != 0) {
    FControlState |= csAlignmentNeeded;
    return;
  }
  DisableAlign();
  TFinally aligned([this] {
    FControlState &= ~static_cast<TControlState>(csAlignmentNeeded);
    --FAlignLevel;
  });
  TRect r = GetClientRect();
  AlignControls(AControl, r);
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && (FControlState & csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { ReAlignNow(nullptr); }

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  TRect client = GetClientRect();
  AnchorChildren({client.Width(), client.Height()});
  AdjustClientRect(Rect);
  AlignChildren(Rect, AControl);
}

void TWinControl::AnchorChildren(TSize NewSize) {
  std::vector<TControl*> all;
  for (Integer i = 0; i < GetControlCount(); ++i) all.push_back(GetControl(i));
  for (TControl* c : all)
    if (c->GetAlign() == alNone && (c->GetVisible() || c->HasState(csDesigning))) c->AnchorToParent(NewSize);
}

void TWinControl::AlignChildren(TRect& Rect, TControl* AControl) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    auto counts = [&](TControl* c) { return c->GetAlign() == align && (c->GetVisible() || c->HasState(csDesigning)); };
    if (AControl && AControl->FParent == this && counts(AControl)) list.push_back(AControl);
    for (Integer i = 0; i < GetControlCount(); ++i) {
      TControl* c = GetControl(i);
      if (c == AControl || !counts(c)) continue;
      size_t j = 0;
      while (j < list.size() && !InsertBefore(c, list[j], align)) ++j;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
    }
    for (TControl* c : list) PositionAligned(c, align, Rect);
  }
}

// ---------------------------------------------------------------------------------------------
// Focus and tab order

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TControl* c = this; c != form; c = c->GetParent())
    if (!c->GetVisible() || !c->GetEnabled()) return false;
  return form->GetVisible() && form->GetEnabled();
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
    return;
  }
  if (FParentWindow) {
    ::SetFocus(GetHandle());
    return;
  }
  ValidParentForm(this);
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  if (FHandle) {
    LONG style = GetWindowLong(FHandle, GWL_STYLE);
    SetWindowLong(FHandle, GWL_STYLE, Value ? (style | static_cast<LONG>(WS_TABSTOP)) : (style & ~static_cast<LONG>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

Integer TWinControl::GetTabOrder() const {
  if (!FParent) return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  Integer cur = GetTabOrder();
  if (cur < 0) return;
  auto count = static_cast<Integer>(list.size());
  if (Value < 0 || Value >= count) Value = count - 1;
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto count = static_cast<Integer>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  Integer start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<Integer>(found - list.begin());
  Integer i = start;
  do {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[i];
    if (c->CanFocus() && (!CheckTabStop || c->GetTabStop()) && (!CheckParent || c->GetParent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = form->FindNextControl(nullptr, true, true, false);
  if (!c) c = form->FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyDown(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    Word key = static_cast<Word>(Message.WParam);
    KeyDown(key, KeyDataToShiftState(Message.LParam));
    Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyUp(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    Word key = static_cast<Word>(Message.WParam);
    KeyUp(key, KeyDataToShiftState(Message.LParam));
    Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    char ch = static_cast<char>(Message.WParam);
    KeyPress(ch);
    Message.WParam = static_cast<unsigned char>(ch);
    if (ch == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}

void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}

void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}

void TWinControl::WMSysChar(TMessage& M) {
  if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0) return;
  DefaultHandler(M);
}

// Keys the control does not want itself go to the form first as dialog keys (Tab, arrows,
// Enter, Esc); an answered dialog key stops the key here.
void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  if (Dragging() && M.WParam == VK_ESCAPE) {
    CancelDrag();
    return;
  }
  if (IsMenuKey(this, M)) return;
  if (!HasState(csDesigning)) {
    if (Perform(CM_CHILDKEY, M.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (M.WParam) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, M.WParam, M.LParam) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0) return;
    }
  }
  M.Result = 0;
}

void TWinControl::CNChar(TMessage& M) {
  M.Result = 1;
  if (!HasState(csDesigning) && (Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0) return;
  }
  M.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }

void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }

// ---------------------------------------------------------------------------------------------
// Painting

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetParentBackground(bool Value) {
  if (Value == GetParentBackground()) return;
  if (Value)
    FControlStyle |= csParentBackground;
  else
    FControlStyle &= ~static_cast<TControlStyle>(csParentBackground);
  Invalidate();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
  if (it == FControls.end()) it = FControls.begin();
  std::vector<TControl*> controls(it, FControls.end());
  for (TControl* c : controls) {
    if (!(c->GetVisible() || (c->HasState(csDesigning) && !(c->FControlStyle & csNoDesignVisible)))) continue;
    RECT bounds = c->GetBoundsRect();
    if (!RectVisible(DC, &bounds)) continue;
    bool copy = FControlState & csPaintCopy;
    if (copy) c->FControlState |= csPaintCopy;
    TFinally painted([c] { c->FControlState &= ~static_cast<TControlState>(csPaintCopy); });
    TSavedDCScope saved(DC);
    OffsetViewportOrgEx(DC, c->GetLeft(), c->GetTop(), nullptr);
    IntersectClipRect(DC, 0, 0, c->GetWidth(), c->GetHeight());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintHandler(TMessage& Message) {
  PAINTSTRUCT ps;
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  bool own = !dc;
  if (own) dc = BeginPaint(FHandle, &ps);
  if (!dc) return;
  TFinally painted([&] {
    if (own) EndPaint(FHandle, &ps);
  });
  {
    TSavedDCScope saved(dc);
    for (TControl* c : FControls)
      if (c->GetVisible() && (c->FControlStyle & csOpaque))
        ExcludeClipRect(dc, c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(), c->GetTop() + c->GetHeight());
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

// Paints into a bitmap first, then copies it, so the screen never shows half a paint.
void TWinControl::DoubleBufferedPaint(HDC DC) {
  TRect client = GetClientRect();
  TOwnedGdiObject bitmap(CreateCompatibleBitmap(DC, std::max(1, client.Width()), std::max(1, client.Height())));
  TMemoryDC mem(DC, bitmap.Get());
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Handle()), reinterpret_cast<LPARAM>(mem.Handle()));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem.Handle()), 0);
  BitBlt(DC, 0, 0, client.Width(), client.Height(), mem.Handle(), 0, 0, SRCCOPY);
}

// A window that nothing of ours paints (no custom painting, no graphic children) is painted by
// its window class; it paints through BeginPaint itself, so double buffering has no part in it.
void TWinControl::WMPaint(TMessage& M) {
  if (!(FControlState & csCustomPaint) && FControls.empty()) {
    DefaultHandler(M);
    return;
  }
  if (M.WParam || !FDoubleBuffered) {
    PaintHandler(M);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  if (!dc) return;
  TFinally painted([&] { EndPaint(FHandle, &ps); });
  DoubleBufferedPaint(dc);
}

void TWinControl::WMEraseBkgnd(TMessage& M) {
  auto dc = reinterpret_cast<HDC>(M.WParam);
  if (!dc) return;
  // Erasing goes into the double-buffer bitmap instead when one is used.
  if (FDoubleBuffered && reinterpret_cast<HDC>(M.LParam) != dc) {
    M.Result = 1;
    return;
  }
  if (GetParentBackground() && FParent && FParent->FHandle) {
    POINT org;
    GetViewportOrgEx(dc, &org);
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, org.X - FLeft, org.Y - FTop, nullptr);
    TMessage parent{WM_ERASEBKGND, M.WParam, M.LParam, 0};
    FParent->WMEraseBkgnd(parent);
    RestoreDC(dc, saved);
  } else {
    FBrush->SetColor(FColor);
    RECT r = GetClientRect();
    FillRect(dc, &r, FBrush->GetHandle());
  }
  M.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// Messages

void TWinControl::WMSize(TMessage& M) {
  UpdateBounds();
  DefaultHandler(M);
  TRect client = GetClientRect();
  TSize size{client.Width(), client.Height()};
  bool changed = !(size == FLastClientSize);
  FLastClientSize = size;
  if (changed) Realign();
  if (!HasState(csLoading) && changed) Resize();
}

void TWinControl::WMMove(TMessage& M) {
  UpdateBounds();
  DefaultHandler(M);
}

void TWinControl::WMWindowPosChanged(TMessage& M) {
  if (M.LParam) UpdateBounds();
  DefaultHandler(M);
}

void TWinControl::WMSetCursor(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == FHandle && static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(M.LParam))) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* c = ControlAtPos(ScreenToClient(p), false);
      if (c) cursor = c->GetCursor();
      if (cursor == crDefault) cursor = GetCursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->GetCursors(cursor));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMNCDestroy(TMessage& M) {
  DefaultHandler(M);
  if (FHandle) RemoveProp(FHandle, kControlProp);
  FHandle = nullptr;
  FShowing = false;
}

// Notifications of child windows come back to the child as CN_ messages.
void TWinControl::WMCommandLike(TMessage& M) {
  HWND child = NotifyingChild(FHandle, M);
  if (TWinControl* c = FindControl(child); c && c != this) {
    M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  DefaultHandler(M);
}

void TWinControl::CMEnabledChangedWin(TMessage& M) {
  if (!GetEnabled() && FParent)
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  if (FHandle && !HasState(csDesigning)) EnableWindow(FHandle, GetEnabled());
  TControl::CMEnabledChanged(M);
}

void TWinControl::CMColorChangedWin(TMessage& M) {
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
  TControl::CMColorChanged(M);
}

void TWinControl::CMFontChangedWin(TMessage& M) {
  TControl::CMFontChanged(M);
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), FALSE);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMSysColorChange(TMessage& M) {
  Broadcast(M);
  M.Result = 0;
}

void TWinControl::CMWinIniChange(TMessage& M) {
  Broadcast(M);
  M.Result = 0;
}

void TWinControl::CMChanged(TMessage& M) {
  if (FParent) FParent->WindowProc(M);
}

void TWinControl::CMCursorChangedWin(TMessage&) {
  if (GetCapture() || !FHandle) return;
  POINT p;
  GetCursorPos(&p);
  if (FindDragTarget(p, false) == this) Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), HTCLIENT);
}

void TWinControl::CMInvalidate(TMessage&) { Invalidate(); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* control = nullptr;
  if (GetCapture() == FHandle) {
    if (CaptureControl && CaptureControl->FParent == this) control = CaptureControl;
  } else {
    control = ControlAtPos({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, false);
  }
  if (!control) return false;
  Integer x = GET_X_LPARAM(Message.LParam) - control->GetLeft();
  Integer y = GET_Y_LPARAM(Message.LParam) - control->GetTop();
  Message.Result = control->Perform(Message.Msg, Message.WParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  return true;
}

void TWinControl::WndProc(TMessage& Message) {
  UINT msg = Message.Msg;
  switch (msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (FControlState & csFocusing) return;
      break;
    case WM_NCHITTEST:
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (ControlAtPos(ScreenToClient(p), false)) Message.Result = HTCLIENT;
      }
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (IsControlMouseMsg(Message)) return;
      break;
    default:
      if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST && Dragging()) return;
      break;
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: WMPaint(M); return;
    case WM_ERASEBKGND: WMEraseBkgnd(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_MOVE: WMMove(M); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(M); return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(M); return;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(M); return;
    case WM_CHAR: WMChar(M); return;
    case WM_SYSCHAR: WMSysChar(M); return;
    case WM_NCDESTROY: WMNCDestroy(M); return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCommandLike(M); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(M); return;
    case CN_CHAR: CNChar(M); return;
    case CN_SYSCHAR: M.Result = 0; return;
    case CN_KEYUP: M.Result = 0; return;
    case CM_DIALOGKEY: CMDialogKey(M); return;
    case CM_DIALOGCHAR: CMDialogChar(M); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(M); return;
    case CM_VISIBLECHANGED: CMVisibleChangedWin(M); return;
    case CM_ENABLEDCHANGED: CMEnabledChangedWin(M); return;
    case CM_COLORCHANGED: CMColorChangedWin(M); return;
    case CM_FONTCHANGED: CMFontChangedWin(M); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(M); return;
    case CM_WININICHANGE: CMWinIniChange(M); return;
    case CM_CHANGED: CMChanged(M); return;
    case CM_CURSORCHANGED: CMCursorChangedWin(M); return;
    case CM_INVALIDATE: CMInvalidate(M); return;
    case CM_ENTER: CMEnter(M); return;
    case CM_EXIT: CMExit(M); return;
    case CM_FOCUSCHANGED: Broadcast(M); return;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
    case CM_BIDIMODECHANGED: NotifyControls(CM_PARENTBIDIMODECHANGED); Invalidate(); return;
    case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); Invalidate(); return;
    case WM_SYSCOLORCHANGE: NotifyControls(CM_SYSCOLORCHANGE); DefaultHandler(M); return;
    case WM_SETTINGCHANGE: NotifyControls(CM_WININICHANGE); DefaultHandler(M); return;
    default: TControl::Dispatch(M);
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(Message); return;
    default: break;
  }
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  Message.Result =
      CallWindowProc(FDefWndProc ? FDefWndProc : DefWindowProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// A native child asks how to colour itself: the control's font colour and colour, its brush.
void TWinControl::AnswerCtlColor(TMessage& Message) {
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  SetBkColor(dc, ColorToRGB(FBrush->GetColor()));
  Message.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
}

void TWinControl::Loaded() {
  inherited::Loaded();
  if (FHandle) Realign();
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(MakeOwned<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { FCanvas->FreeHandle(); }

void TCustomControl::DestroyWnd() {
  FCanvas->FreeHandle();
  inherited::DestroyWnd();
}

void TCustomControl::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_PAINT) {
    inherited::Dispatch(Message);
    return;
  }
  FControlState |= csCustomPaint;
  TFinally painted([this] { FControlState &= ~static_cast<TControlState>(csCustomPaint); });
  inherited::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  TCanvasDCScope scope(FCanvas.get(), DC);
  FCanvas->UpdateTextFlags();
  Paint();
}
