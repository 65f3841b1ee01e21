// The inner edit window of text editors: keys to the editor first, unused keys on to the
// editor's after-key-down handler, clipboard messages through the editor, input-method
// characters, focus and mouse reported to the editor.
#include "editors/qvTextEdit.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomInnerTextEditHelper)
QJ_IMPLEMENT_CLASS(TqvCustomInnerTextEdit)

namespace {

// The platform's code page is single-byte: no byte leads a double-byte character.
bool IsLeadByte(unsigned char) { return false; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomInnerTextEditHelper

TWinControl* TqvCustomInnerTextEditHelper::GetControl() { return FEdit; }

TqvContainer* TqvCustomInnerTextEditHelper::GetControlContainer() { return FEdit->GetContainer(); }

Variant TqvCustomInnerTextEditHelper::GetEditValue() { return FEdit->GetInnerText(); }

TNotifyEvent TqvCustomInnerTextEditHelper::GetOnChange() { return FEdit->OnChange; }

bool TqvCustomInnerTextEditHelper::GetReadOnly() { return FEdit->GetReadOnly(); }

void TqvCustomInnerTextEditHelper::LockBounds(bool ALock) { FEdit->LockBounds(ALock); }

void TqvCustomInnerTextEditHelper::SafelySetFocus() {
  const bool autoSelect = FEdit->GetAutoSelect();
  FEdit->SetAutoSelect(false);
  TAliveToken alive = FEdit->AliveToken();
  try {
    FEdit->SetFocus();
  } catch (...) {
    if (alive) FEdit->SetAutoSelect(autoSelect);
    throw;
  }
  if (alive) FEdit->SetAutoSelect(autoSelect);
}

void TqvCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  const String old = FEdit->GetInnerText();
  const String text = VarToStr(Value);
  FEdit->SetInnerText(text);
  if (FEdit->HasState(csDesigning) && text != old && FEdit->OnChange) FEdit->OnChange(FEdit);
}

void TqvCustomInnerTextEditHelper::SetParent(TWinControl* AParent) { FEdit->SetParent(AParent); }

void TqvCustomInnerTextEditHelper::SetOnChange(TNotifyEvent Handler) { FEdit->OnChange = std::move(Handler); }

void TqvCustomInnerTextEditHelper::SetReadOnly(bool Value) { FEdit->SetReadOnly(Value); }

void TqvCustomInnerTextEditHelper::CopyToClipboard() {
  if (FEdit->HandleAllocated()) SendMessage(FEdit->GetHandle(), WM_COPY, 0, 0);
}

TAlignment TqvCustomInnerTextEditHelper::GetAlignment() { return FEdit->TCustomEdit::GetAlignment(); }
bool TqvCustomInnerTextEditHelper::GetAutoSelect() { return FEdit->TCustomEdit::GetAutoSelect(); }
TEditCharCase TqvCustomInnerTextEditHelper::GetCharCase() { return FEdit->TCustomEdit::GetCharCase(); }
TqvEditEchoMode TqvCustomInnerTextEditHelper::GetEchoMode() { return FEdit->GetEchoMode(); }
bool TqvCustomInnerTextEditHelper::GetHideSelection() { return FEdit->TCustomEdit::GetHideSelection(); }
char TqvCustomInnerTextEditHelper::GetPendingTrailByte() { return FEdit->GetPendingTrailByte(); }
bool TqvCustomInnerTextEditHelper::GetKeyHandled() { return FEdit->GetKeyHandled(); }
Integer TqvCustomInnerTextEditHelper::GetMaxLength() { return FEdit->TCustomEdit::GetMaxLength(); }
bool TqvCustomInnerTextEditHelper::GetOEMConvert() { return FEdit->TCustomEdit::GetOEMConvert(); }

Integer TqvCustomInnerTextEditHelper::GetSelLength() {
  if (FEdit->FPendingCharCount > 0) return FSavedSelLength;
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelLength() : 0;
}

Integer TqvCustomInnerTextEditHelper::GetSelStart() {
  if (FEdit->FPendingCharCount > 0) return FSavedSelStart;
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelStart() : 0;
}

String TqvCustomInnerTextEditHelper::GetSelText() {
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelText() : String();
}

void TqvCustomInnerTextEditHelper::SelectAll() {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SelectAll();
}

void TqvCustomInnerTextEditHelper::SetAlignment(TAlignment Value) {
  TqvCustomTextEdit* container = FEdit->GetContainer();
  if (container && container->GetProperties()->GetUseLeftAlignmentOnEditing()) Value = taLeftJustify;
  FEdit->TCustomEdit::SetAlignment(Value);
}

void TqvCustomInnerTextEditHelper::SetAutoSelect(bool Value) { FEdit->TCustomEdit::SetAutoSelect(Value); }
void TqvCustomInnerTextEditHelper::SetCharCase(TEditCharCase Value) { FEdit->TCustomEdit::SetCharCase(Value); }
void TqvCustomInnerTextEditHelper::SetEchoMode(TqvEditEchoMode Value) { FEdit->SetEchoMode(Value); }
void TqvCustomInnerTextEditHelper::SetHideSelection(bool Value) { FEdit->TCustomEdit::SetHideSelection(Value); }
void TqvCustomInnerTextEditHelper::SetKeyHandled(bool Value) { FEdit->SetKeyHandled(Value); }
void TqvCustomInnerTextEditHelper::SetMaxLength(Integer Value) { FEdit->TCustomEdit::SetMaxLength(Value); }
void TqvCustomInnerTextEditHelper::SetOEMConvert(bool Value) { FEdit->TCustomEdit::SetOEMConvert(Value); }

void TqvCustomInnerTextEditHelper::SetSelLength(Integer Value) {
  if (!FEdit->HandleAllocated()) return;
  if (FEdit->FPendingCharCount > 0)
    FSavedSelLength = Value;
  else
    FEdit->TCustomEdit::SetSelLength(Value);
}

void TqvCustomInnerTextEditHelper::SetSelStart(Integer Value) {
  if (!FEdit->HandleAllocated()) return;
  if (FEdit->FPendingCharCount > 0)
    FSavedSelStart = Value;
  else
    FEdit->TCustomEdit::SetSelStart(Value);
}

void TqvCustomInnerTextEditHelper::SetSelText(const String& Value) {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SetSelText(Value);
}

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomInnerTextEdit::TqvCustomInnerTextEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FCreating = true;
  FHelper = MakeOwned<TqvCustomInnerTextEditHelper>(this);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetControlStyle(GetControlStyle() | csDoubleClicks);
  SetParentColor(true);
  SetParentFont(false);
  UpdateEchoMode();
  FCreating = false;
}

TqvCustomInnerTextEdit::~TqvCustomInnerTextEdit() { FHelper.reset(); }

TqvCustomTextEdit* TqvCustomInnerTextEdit::GetContainer() {
  auto* container = As<TqvCustomTextEdit>(GetOwner());
  return container && !container->IsDestroying() ? container : nullptr;
}

void TqvCustomInnerTextEdit::SetEchoMode(TqvEditEchoMode Value) {
  if (Value == FEchoMode) return;
  FEchoMode = Value;
  UpdateEchoMode();
}

void TqvCustomInnerTextEdit::UpdateEchoMode() { SetPasswordChar(FEchoMode == eemPassword ? '*' : '\0'); }

void TqvCustomInnerTextEdit::LockBounds(bool ALock) {
  if (ALock)
    ++FBoundsLockCount;
  else if (FBoundsLockCount > 0)
    --FBoundsLockCount;
}

void TqvCustomInnerTextEdit::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FCreating || FBoundsLockCount > 0) return;
  TqvCustomTextEdit* container = GetContainer();
  if (!container) {
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  container->LockAlignControls(true);
  TAliveToken containerAlive = container->AliveToken();
  try {
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  } catch (...) {
    if (containerAlive) container->LockAlignControls(false);
    throw;
  }
  if (containerAlive) container->LockAlignControls(false);
}

void TqvCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~(ES_LEFT | ES_RIGHT | ES_CENTER | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  switch (TCustomEdit::GetAlignment()) {
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
    default: Params.Style |= ES_LEFT; break;
  }
  Params.Style |= ES_AUTOHSCROLL;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TqvCustomInnerTextEdit::CreateHandle() {
  if (TqvCustomTextEdit* container = GetContainer()) container->ClearSavedChildControlRegion();
  inherited::CreateHandle();
}

void TqvCustomInnerTextEdit::CreateWnd() {
  inherited::CreateWnd();
  SetMargins();
}

void TqvCustomInnerTextEdit::SetMargins() {
  if (HandleAllocated())
    SendMessage(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
}

Integer TqvCustomInnerTextEdit::GetCaretCharIndex() {
  if (!HandleAllocated()) return 0;
  return static_cast<Integer>(SendMessage(GetHandle(), EM_GETCARETINDEX, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// Events the container sees as its own

bool TqvCustomInnerTextEdit::CanFocus() {
  TqvCustomTextEdit* container = GetContainer();
  return container ? container->CanFocusEx() : inherited::CanFocus();
}

void TqvCustomInnerTextEdit::Click() {
  TAliveToken alive = AliveToken();
  inherited::Click();
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->Click();
}

void TqvCustomInnerTextEdit::DblClick() {
  TAliveToken alive = AliveToken();
  inherited::DblClick();
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->DblClick();
}

void TqvCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  TqvCustomTextEdit* container = alive ? GetContainer() : nullptr;
  if (container) container->InnerControlMouseDown(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerTextEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->MouseMove(Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->MouseUp(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerTextEdit::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (TqvCustomTextEdit* container = GetContainer())
    container->DragOver(Source, X + GetLeft(), Y + GetTop(), State, Accept);
}

void TqvCustomInnerTextEdit::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (TqvCustomTextEdit* container = GetContainer()) container->DragDrop(Source, X + GetLeft(), Y + GetTop());
}

TPopupMenu* TqvCustomInnerTextEdit::GetPopupMenu() {
  TqvCustomTextEdit* container = GetContainer();
  return container ? container->GetPopupMenu() : inherited::GetPopupMenu();
}

bool TqvCustomInnerTextEdit::ExecuteAction(TBasicAction* Action) {
  if (inherited::ExecuteAction(Action)) return true;
  TqvCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->ExecuteAction(Action);
}

bool TqvCustomInnerTextEdit::UpdateAction(TBasicAction* Action) {
  if (inherited::UpdateAction(Action)) return true;
  TqvCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->UpdateAction(Action);
}

// ---------------------------------------------------------------------------------------------
// Keys: the container first

void TqvCustomInnerTextEdit::KeyDown(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  if (TqvCustomTextEdit* container = GetContainer()) container->KeyDown(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyDown(Key, Shift);
  else
    FKeyHandled = true;
}

void TqvCustomInnerTextEdit::KeyPress(char& Key) {
  FKeyHandled = false;
  if (Key == '\t') Key = 0;
  TAliveToken alive = AliveToken();
  TqvCustomTextEdit* container = GetContainer();
  if (container && Key != 0) container->KeyPress(Key);
  if (!alive) return;
  container = GetContainer();
  if (Key == '\r' && container &&
      (container->IsInplace() || !container->GetBeepOnEnter() || container->FCloseUpByEnter)) {
    Key = 0;
    container->FCloseUpByEnter = false;
  }
  if (Key != 0)
    inherited::KeyPress(Key);
  else
    FKeyHandled = true;
}

void TqvCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  if (Key == VK_TAB) Key = 0;
  TAliveToken alive = AliveToken();
  TqvCustomTextEdit* container = GetContainer();
  if (container && Key != 0) container->KeyUp(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyUp(Key, Shift);
  else
    FKeyHandled = true;
}

TqvCustomInnerTextEdit::TSavedState TqvCustomInnerTextEdit::SaveState() {
  TSavedState state;
  state.Text = GetInnerText();
  state.SelLength = FHelper->GetSelLength();
  state.SelStart = FHelper->GetSelStart();
  return state;
}

bool TqvCustomInnerTextEdit::HasStateChanged(const TSavedState& AState) {
  return !AnsiSameText(AState.Text, GetInnerText()) || AState.SelLength != FHelper->GetSelLength() ||
         AState.SelStart != FHelper->GetSelStart();
}

void TqvCustomInnerTextEdit::WMKeyDown(TMessage& Message) {
  TqvCustomTextEdit* container = GetContainer();
  Word key = static_cast<Word>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (container && container->HasPopupWindow() && container->GetProperties()->IsLookupNavigationKey(key, shift)) {
    IqvTextEditLookupData* lookup = container->GetILookupData();
    if (TWinControl* list = lookup ? lookup->GetList() : nullptr) {
      if (SendMessage(list->GetHandle(), WM_KEYDOWN, Message.WParam, Message.LParam) == 0) return;
    }
  }
  const TSavedState state = SaveState();
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive || FKeyHandled) return;
  key = static_cast<Word>(Message.WParam);
  container = GetContainer();
  if (container && key != 0 && !container->IsSendingInternalKey() && !HasStateChanged(state))
    container->DoAfterKeyDown(key, shift);
}

void TqvCustomInnerTextEdit::WMChar(TMessage& Message) {
  const TSavedState state = SaveState();
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive) return;
  TqvCustomTextEdit* container = GetContainer();
  if (FPendingCharCount > 0 && --FPendingCharCount == 0 && container && container->GetFindSelection()) {
    TCustomEdit::SetSelStart(FHelper->FSavedSelStart);
    TCustomEdit::SetSelLength(FHelper->FSavedSelLength);
  }
  if (!container) return;
  container->SetLookupUpdating(false);
  if (!FKeyHandled && HasStateChanged(state)) container->SetFindSelection(false);
}

void TqvCustomInnerTextEdit::WMImeChar(TMessage& Message) {
  const auto lead = static_cast<unsigned char>((Message.WParam >> 8) & 0xFF);
  const auto trail = static_cast<unsigned char>(Message.WParam & 0xFF);
  const bool doubleByte = lead != 0 && IsLeadByte(lead);
  FPendingTrailByte = static_cast<char>(trail);
  FPendingCharCount = doubleByte ? 2 : 1;
  FHelper->FSavedSelStart = TCustomEdit::GetSelStart();
  FHelper->FSavedSelLength = TCustomEdit::GetSelLength();
  // What the platform's default handling does: the character arrives as WM_CHAR messages.
  TAliveToken alive = AliveToken();
  if (doubleByte) SendMessage(GetHandle(), WM_CHAR, lead, Message.LParam);
  if (alive) SendMessage(GetHandle(), WM_CHAR, trail, Message.LParam);
  if (alive) FPendingCharCount = 0;
}

void TqvCustomInnerTextEdit::WMClipboard(TMessage& Message) {
  TqvCustomTextEdit* container = GetContainer();
  if (!container) {
    inherited::Dispatch(Message);
    return;
  }
  if (Message.Msg != WM_CUT && GetReadOnly()) return;
  // The container applies the change through its editing style, MaxLength and validation.
  container->Perform(Message.Msg, 0, 0);
}

void TqvCustomInnerTextEdit::WMGetDlgCode(TMessage& Message) {
  inherited::Dispatch(Message);
  Message.Result |= DLGC_WANTCHARS;
  if (!(GetKeyState(VK_CONTROL) & 0x8000)) Message.Result |= DLGC_WANTTAB;
  TqvCustomTextEdit* container = GetContainer();
  if (container && (container->IsInplace() || container->HasPopupWindow())) Message.Result |= DLGC_WANTALLKEYS;
}

void TqvCustomInnerTextEdit::WMFocus(TMessage& Message) {
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive || HasState(csDestroying)) return;
  TqvCustomTextEdit* container = GetContainer();
  if (!container) return;
  const bool fromContainer = Message.Msg == WM_SETFOCUS && container->HandleAllocated() &&
                             reinterpret_cast<HWND>(Message.WParam) == container->GetHandle();
  if (!fromContainer) container->FocusChanged();
}

void TqvCustomInnerTextEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
    TqvCustomTextEdit* container = GetContainer();
    if (container && container->GetDragMode() == dmAutomatic && !container->IsDesigning()) {
      container->BeginAutoDrag();
      return;
    }
  }
  inherited::WndProc(Message);
}

void TqvCustomInnerTextEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: WMKeyDown(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_IME_CHAR: WMImeChar(Message); return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: WMClipboard(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case WM_CONTEXTMENU:
      if (TqvCustomTextEdit* container = GetContainer(); !container || container->CanShowInnerEdit())
        inherited::Dispatch(Message);
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: WMFocus(Message); return;
    case WM_SIZE:
      inherited::Dispatch(Message);
      SetMargins();
      return;
    case CM_MOUSELEAVE: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive)
        if (TqvCustomTextEdit* container = GetContainer()) container->RefreshContainerAtCursor(true);
      return;
    }
    default: inherited::Dispatch(Message);
  }
}
