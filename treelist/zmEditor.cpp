// The in-place editor base: state, validation, the key protocol with the container and the
// window messages of a cell editor.
#include "treelist/zmEditor.h"

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmCntner.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(EzmEditInvalidInput)
QJ_IMPLEMENT_CLASS(TzmEditViewData)
QJ_IMPLEMENT_CLASS(TzmInplaceEdit)

const TResourceString SzmEditInvalidInput = {38960, "Invalid input value. Use escape key to abandon changes"};

namespace {

bool IsKeyMessage(UINT Msg) { return Msg == WM_KEYDOWN || Msg == WM_CHAR || Msg == WM_SYSKEYDOWN; }

bool IsButtonDown(UINT Msg) { return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN; }

}  // namespace

TzmValidateLockScope::TzmValidateLockScope(TzmInplaceEdit* Edit) : FEdit(Edit), FAlive(Edit->AliveToken()) {
  FEdit->LockValidate();
}

TzmValidateLockScope::~TzmValidateLockScope() {
  if (FAlive) FEdit->UnlockValidate();
}

TzmInplaceEdit* TzmInplaceEditMetaClass::CreateEdit(TComponent* AOwner) const {
  return static_cast<TzmInplaceEdit*>(Create(AOwner));
}

// ---------------------------------------------------------------------------------------------
// Life

TzmInplaceEdit::TzmInplaceEdit(TComponent* AOwner) : TWinControl(AOwner) {}

TzmInplaceEdit::~TzmInplaceEdit() = default;

void TzmInplaceEdit::AfterConstruction() {
  inherited::AfterConstruction();
  TCustomzmContainer* container = GetContainer();
  FStyle.reset(container ? container->CreateEditStyle(this) : GetEditStyleClass()->Create(this));
  if (IsInplace()) {
    SetParentColor(false);
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetTabStop(false);
  } else {
    SetBounds(GetLeft(), GetTop(), 121, 21);
    SetTabStop(true);
  }
}

void TzmInplaceEdit::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (FStyleController && !FStyleController->HasState(csDestroying)) {
    FStyleController->RemoveLink(this);
    FStyleController->RemoveFreeNotification(this);
  }
  FStyleController = nullptr;
  FStyle.reset();
}

const TzmInplaceEditClassOps& TzmInplaceEdit::ClassOps() {
  static const TzmInplaceEditClassOps ops;
  return ops;
}

const TzmInplaceEditClassOps& TzmInplaceEdit::GetClassOps() const {
  return *static_cast<const TzmInplaceEditMetaClass*>(ClassType())->Ops;
}

TCustomzmContainer* TzmInplaceEdit::GetContainer() const {
  return IsInplace() ? As<TCustomzmContainer>(Owner()) : nullptr;
}

void TzmInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FStyleController) SetStyleController(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Placing and showing

void TzmInplaceEdit::ActivateEdit(const TRect& Rect) {
  if (!IsInplace() || Rect.IsEmpty()) return;
  SetBounds(Rect.Left - 2, Rect.Top - 2, Rect.Width() + 4, Rect.Height() + 4);
  bool wasVisible = FEditVisible;
  TAliveToken alive = AliveToken();
  ShowEdit();
  if (alive && GetFocus() != GetHandle()) ::SetFocus(GetHandle());
  if (!alive) return;
  SelectAll();
  if (alive && !wasVisible && FActivateLock == 0) Activated();
}

// A recreated window comes back with its shape, and shown when the editor was.
void TzmInplaceEdit::CreateWnd() {
  inherited::CreateWnd();
  UpdateShape();
  if (IsInplace() && FEditVisible)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TzmInplaceEdit::ShowEdit() {
  if (!IsInplace()) return Show();
  SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  FEditVisible = true;
}

void TzmInplaceEdit::HideEdit() {
  if (!IsInplace()) return Hide();
  FEditVisible = false;
  if (!HandleAllocated() || !IsWindowVisible(FHandle)) return;
  InvalidateUnderEdit();
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TzmInplaceEdit::InvalidateEdit() {
  if (HandleAllocated()) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TzmInplaceEdit::InvalidateUnderEdit() {
  if (!GetParent() || !GetParent()->HandleAllocated()) return;
  TRect r = GetBoundsRect();
  InvalidateRect(GetParent()->GetHandle(), &r, TRUE);
}

// ---------------------------------------------------------------------------------------------
// Editing

void TzmInplaceEdit::SetActive(bool AActive) {
  if (IsInplace() || AActive != FActive) {
    FSavedModified = GetModified();
    FSavedText = GetText();
  }
  if (IsInplace() || AActive == FActive) return;
  FActive = AActive;
  if (PaintsWhenInactive()) Invalidate();
}

void TzmInplaceEdit::SetEditValue(const Variant& Value) { SetText(Value.IsNull() ? String() : VarToStr(Value)); }

void TzmInplaceEdit::GetEditValue(Variant& Value) { Value = GetText(); }

void TzmInplaceEdit::GetDrawValue(Variant& Value, bool) { Value = GetText(); }

void TzmInplaceEdit::GetDisplayText(String& Text) { Text = GetText(); }

void TzmInplaceEdit::SetEditText(const String& Text) {
  if (!CanModify()) return;
  SetText(Text);
  SetModified(true);
}

bool TzmInplaceEdit::GetModified() { return FModified; }

void TzmInplaceEdit::SetModified(bool Value) { FModified = Value; }

bool TzmInplaceEdit::CanModify() {
  if (GetReadOnly()) return false;
  if (TCustomzmContainer* container = GetContainer()) return container->CanEditorModify();
  return true;
}

bool TzmInplaceEdit::IsEditable() { return !GetReadOnly(); }

bool TzmInplaceEdit::IsHot() { return FSelected || (IsFocused() && GetEnabled()); }

bool TzmInplaceEdit::IsValidChar(char Ch) {
  if (TCustomzmContainer* container = GetContainer()) return container->IsEditorValidChar(Ch);
  return true;
}

void TzmInplaceEdit::Change() {
  TAliveToken alive = AliveToken();
  Changed();
  if (alive && OnChange) OnChange(this);
}

void TzmInplaceEdit::CancelEdit() { UndoChanges(); }

void TzmInplaceEdit::UndoChanges() {
  if (!GetModified() || !CanRestoreText()) return;
  SetText(FSavedText);
  SetModified(FSavedModified);
}

void TzmInplaceEdit::ValidateEdit() {
  if (!GetModified() || FValidateLock > 0) return;
  String errorText = LoadResString(&SzmEditInvalidInput);
  bool accept = true;
  TAliveToken alive = AliveToken();
  if (OnValidate) OnValidate(this, errorText, accept);
  if (accept) return;
  MessageBeep(0);
  if (alive && HandleAllocated() && IsWindowVisible(FHandle) && GetFocus() != FHandle) ::SetFocus(FHandle);
  throw EzmEditInvalidInput(errorText);
}

void TzmInplaceEdit::LockValidate() {
  if (IsInplace()) ++FValidateLock;
}

void TzmInplaceEdit::UnlockValidate() {
  if (IsInplace() && FValidateLock > 0) --FValidateLock;
}

void TzmInplaceEdit::GoToAdjacentColumn(bool ABackward) {
  if (TCustomzmContainer* container = GetContainer()) container->GoToAdjacentColumn(ABackward);
}

void TzmInplaceEdit::ContainerKeyDown(Word& Key, TShiftState Shift) {
  if (TCustomzmContainer* container = GetContainer()) container->EditorKeyDown(Key, Shift);
}

bool TzmInplaceEdit::IsCtrlKeyDown() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

bool TzmInplaceEdit::IsNavigationKey(Word Key) {
  switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT: return true;
    default: return false;
  }
}

bool TzmInplaceEdit::IsModifyingKey(Word Key, TShiftState Shift) {
  if ((Key == 'V' || Key == 'X') && (Shift & ssCtrl)) return true;
  if (Key == VK_INSERT && (Shift & ssShift)) return true;
  return Key == VK_BACK || Key == VK_DELETE;
}

// ---------------------------------------------------------------------------------------------
// Settings

bool TzmInplaceEdit::GetReadOnly() { return (FStoredValues & zmsvReadOnly) ? FReadOnly : GetDefaultReadOnly(); }

void TzmInplaceEdit::SetStoredReadOnly(bool Value) {
  FStoredValues |= zmsvReadOnly;
  SetReadOnly(Value);
}

void TzmInplaceEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TzmInplaceEdit::SetContentMargins(const TRect& Value) {
  if (Value == FContentMargins) return;
  FContentMargins = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TzmInplaceEdit::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Invalidate();
}

bool TzmInplaceEdit::IsAutoSized() const { return FAutoSize && !IsInplace(); }

void TzmInplaceEdit::RestoreDefaults() {
  FStoredValues = 0;
  SetAlignment(GetDefaultAlignment());
  SetReadOnly(GetDataReadOnly());
}

void TzmInplaceEdit::LoadDataDefaults() {
  if (!(FStoredValues & zmsvReadOnly)) SetReadOnly(GetDataReadOnly());
}

void TzmInplaceEdit::SetStyleController(TzmEditStyleController* Value) {
  if (Value == FStyleController) return;
  if (FStyleController && !FStyleController->HasState(csDestroying)) {
    FStyleController->RemoveLink(this);
    FStyleController->RemoveFreeNotification(this);
  }
  FStyleController = Value;
  if (!Value) {
    if (!HasState(csDestroying)) StyleChanged();
    return;
  }
  Value->AddLink(this);
  Value->FreeNotification(this);
  Value->ChangeLink(this);
}

void TzmInplaceEdit::StyleChanged() {
  UpdateShape();
  InvalidateEdit();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TzmInplaceEdit::ContainerKeyDownHandler(Word& Key, TShiftState Shift) {
  if (TCustomzmContainer* container = GetContainer()) container->KeyDown(Key, Shift);
}

void TzmInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) CancelEdit();
  if (!IsInplace()) {
    if (IsModifyingKey(Key, Shift) && !(IsEditable() && CanModify())) Key = 0;
    if (Key == VK_RETURN && ValidatesOnEnter()) ValidateEdit();
    return inherited::KeyDown(Key, Shift);
  }
  if (IsNavigationKey(Key)) ValidateEdit();
  TCustomzmContainer* container = GetContainer();
  TzmValidateLockScope lock(this);
  switch (Key) {
    case VK_TAB:
      if (Shift & ssAlt) break;
      [[fallthrough]];
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      ContainerKeyDownHandler(Key, Shift);
      Key = 0;
      break;
    case VK_INSERT:
      if ((Shift & (ssShift | ssAlt | ssCtrl)) == 0) {
        ContainerKeyDownHandler(Key, Shift);
        Key = 0;
      } else if ((Shift & ssShift) && container && !container->CanEditorModify()) {
        Key = 0;
      }
      break;
    case VK_F2:
      ContainerKeyDown(Key, Shift);
      if (Key == VK_F2) {
        CaretToEnd();
        return;
      }
      break;
    case VK_DELETE:
      if (container && !container->CanEditorModify()) Key = 0;
      break;
    default: break;
  }
  if (Key) {
    ContainerKeyDown(Key, Shift);
    if (Key && IsModifyingKey(Key, Shift) && !(IsEditable() && CanModify())) Key = 0;
  }
  inherited::KeyDown(Key, Shift);
}

void TzmInplaceEdit::KeyPress(char& Key) {
  TCustomzmContainer* container = GetContainer();
  if (container) container->KeyPress(Key);
  auto code = static_cast<unsigned char>(Key);
  if (code > 31 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  if (container && Key == '\t' && !WantsTab()) Key = 0;
  code = static_cast<unsigned char>(Key);
  if ((code == '\t' || code >= 32) && HasTextInput() && !CanModify()) Key = 0;
  if (Key == '\x1B') Key = 0;
  if (Key) inherited::KeyPress(Key);
}

void TzmInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (TCustomzmContainer* container = GetContainer()) return container->KeyUp(Key, Shift);
  inherited::KeyUp(Key, Shift);
}

void TzmInplaceEdit::DblClick() {
  if (TCustomzmContainer* container = GetContainer()) return container->DblClick();
  inherited::DblClick();
}

// ---------------------------------------------------------------------------------------------
// Focus

void TzmInplaceEdit::FocusChanged() {
  UpdateHotShape();
  if (RepaintsOnFocus()) Invalidate();
}

void TzmInplaceEdit::FocusLeaving(TMessage& Message) {
  UpdateHotShape();
  if (RepaintsOnFocus()) Invalidate();
  TCustomzmContainer* container = GetContainer();
  if (!container) return;
  auto next = reinterpret_cast<HWND>(Message.WParam);
  if (!container->HandleAllocated() || next != container->GetHandle()) container->EditorFocusChanged();
}

// The form's focused control is the container: the editor belongs to it. The platform's own
// focus bookkeeping for the editor is skipped.
void TzmInplaceEdit::WMSetFocus(TMessage& M) {
  TAliveToken alive = AliveToken();
  TCustomzmContainer* container = GetContainer();
  TCustomForm* form = GetParentForm(this);
  bool accepted = !form || (container ? form->SetFocusedControl(container) : form->SetFocusedControl(this));
  if (!alive) return;
  if (accepted || (container && (container->GetControlState() & csFocusing))) Dispatch(M);
  if (alive && container) container->EditorFocusChanged();
  if (alive) FocusChanged();
}

// ---------------------------------------------------------------------------------------------
// Window messages

void TzmInplaceEdit::WMLButtonDown(TMessage& M) {
  TCustomzmContainer* container = GetContainer();
  if (container && container->ConvertsEditorClicks()) {
    if (FOpenClickTime != 0 && GetMessageTime() - FOpenClickTime < GetDoubleClickTime()) M.Msg = WM_LBUTTONDBLCLK;
    FOpenClickTime = 0;
  }
}

void TzmInplaceEdit::WMMouseWheel(TMessage& M) {
  TCustomzmContainer* container = GetContainer();
  if (WantsMouseWheel() || !container) return inherited::WndProc(M);
  container->Perform(CM_CANCELMODE, 0, 0);
  M.Result = container->Perform(WM_MOUSEWHEEL, M.WParam, M.LParam);
}

void TzmInplaceEdit::WMKeyDownMessage(TMessage& M) {
  if (M.WParam == VK_RETURN || (M.WParam == VK_TAB && !WantsTab())) RemovePendingMessage(GetHandle(), WM_CHAR);
}

void TzmInplaceEdit::WMGetDlgCode(TMessage& M) {
  inherited::WndProc(M);
  M.Result |= DLGC_WANTCHARS;
  if (!IsInplace()) return;
  M.Result |= DLGC_WANTALLKEYS;
  TCustomzmContainer* container = GetContainer();
  if (container && container->EditorWantsTab())
    M.Result |= DLGC_WANTTAB;
  else
    M.Result &= ~DLGC_WANTTAB;
}

bool TzmInplaceEdit::InplaceMessage(TMessage& M) {
  TCustomzmContainer* container = GetContainer();
  if (IsKeyMessage(M.Msg) && container && container->IsEditorStale()) return true;
  switch (M.Msg) {
    case WM_SETFOCUS: WMSetFocus(M); return true;
    case WM_KILLFOCUS: FocusLeaving(M); return false;
    case WM_LBUTTONDOWN: WMLButtonDown(M); return false;
    case WM_MOUSEWHEEL: WMMouseWheel(M); return true;
    case WM_KEYDOWN: WMKeyDownMessage(M); return false;
    case WM_GETDLGCODE: WMGetDlgCode(M); return true;
    case CM_SHOWINGCHANGED: return true;
    default: return false;
  }
}

void TzmInplaceEdit::WndProc(TMessage& Message) {
  if (IsInplace()) {
    if (InplaceMessage(Message)) return;
  } else if (Message.Msg == WM_SETFOCUS) {
    FocusChanged();
  } else if (Message.Msg == WM_KILLFOCUS) {
    FocusLeaving(Message);
  } else if (Message.Msg == WM_GETDLGCODE) {
    return WMGetDlgCode(Message);
  }
  if (IsButtonDown(Message.Msg) && !HasTextInput() && !HasState(csDesigning) && GetFocus() != GetHandle()) SetFocus();
  inherited::WndProc(Message);
}

void TzmInplaceEdit::CMExit(TMessage& M) {
  ValidateEdit();
  SetActive(false);
  inherited::Dispatch(M);
}

void TzmInplaceEdit::CMMouseEnterLeave(TMessage& M, bool Enter) {
  TAliveToken alive = AliveToken();
  if (M.LParam == 0) {
    SetSelected(Enter);
    UpdateHotShape();
    const TNotifyEvent& event = Enter ? OnMouseEnter : OnMouseLeave;
    if (event) event(this);
  }
  if (alive) inherited::Dispatch(M);
}

void TzmInplaceEdit::WMSetCursor(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == FHandle && static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(M.LParam))) == HTCLIENT) {
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    TOwned<TzmEditViewData> viewData = CreateViewData(false);
    TCursor cursor = GetClassOps().GetCursor(p.X, p.Y, viewData.get());
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->GetCursors(cursor));
      M.Result = 1;
      return;
    }
  }
  inherited::Dispatch(M);
}

// An active or enabled editor paints normally; otherwise (and for a copy painted for another
// control) it is drawn from its view data, as a cell would be.
void TzmInplaceEdit::WMPaintEdit(TMessage& M) {
  bool copy = (FControlState & csPaintCopy) != 0;
  if (!copy && (FActive || !PaintsWhenInactive())) {
    if (HasTextInput()) return inherited::Dispatch(M);
    FControlState |= csCustomPaint;
    TFinally painted([this] { FControlState &= ~static_cast<TControlState>(csCustomPaint); });
    inherited::Dispatch(M);
    return;
  }
  PAINTSTRUCT ps;
  auto dc = reinterpret_cast<HDC>(M.WParam);
  bool own = !dc;
  if (own) dc = BeginPaint(GetHandle(), &ps);
  if (!dc) return;
  TFinally painted([&] {
    if (own) EndPaint(FHandle, &ps);
  });
  TOwned<TzmEditViewData> viewData = CreateViewData(true);
  if (copy)
    GetClassOps().Draw(dc, viewData->ViewRect, viewData.get(), nullptr);
  else
    GetClassOps().DrawContent(dc, GetClientRect(), viewData.get(), false);
}

void TzmInplaceEdit::PaintWindow(HDC DC) {
  TRect client = GetClientRect();
  if (client.Width() > 0) {
    TOwned<TzmEditViewData> viewData = CreateViewData(true);
    GetClassOps().DrawContent(DC, client, viewData.get(), true);
  }
  inherited::PaintWindow(DC);
}

void TzmInplaceEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: WMPaintEdit(M); return;
    case WM_ERASEBKGND:
      if (HasTextInput() && GetEnabled()) return inherited::Dispatch(M);
      M.Result = 1;
      return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_NCCALCSIZE: WMNCCalcSize(M); return;
    case WM_NCPAINT: WMNCPaint(M); return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
      if (CanModify()) inherited::Dispatch(M);
      return;
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
      if (HasTextInput() && !CanModify()) return;
      break;
    case WM_SIZE:
      inherited::Dispatch(M);
      UpdateShape();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(M);
      UpdateShape();
      return;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(M);
      StyleChanged();
      return;
    case CM_MOUSEENTER: CMMouseEnterLeave(M, true); return;
    case CM_MOUSELEAVE: CMMouseEnterLeave(M, false); return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(M);
      if (!HasTextInput()) Invalidate();
      return;
    case CM_ENTER:
      SetActive(true);
      break;
    case CM_EXIT: CMExit(M); return;
    default: break;
  }
  inherited::Dispatch(M);
}
