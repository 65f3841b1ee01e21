// The inner memo window of the memo editor and its helper: keys, mouse and focus to the editor
// first, clipboard and clear messages through the editor, uniform line breaks in replaced text,
// the text handed to the editor, and the editor's scroll bars kept up to date.
#include "editors/qvMemo.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomInnerMemoHelper)
QJ_IMPLEMENT_CLASS(TqvCustomInnerMemo)

// ---------------------------------------------------------------------------------------------
// TqvCustomInnerMemoHelper

TWinControl* TqvCustomInnerMemoHelper::GetControl() { return FMemo; }
TqvContainer* TqvCustomInnerMemoHelper::GetControlContainer() { return FMemo->GetContainer(); }
Variant TqvCustomInnerMemoHelper::GetEditValue() { return FMemo->GetText(); }
TNotifyEvent TqvCustomInnerMemoHelper::GetOnChange() { return FMemo->OnChange; }
bool TqvCustomInnerMemoHelper::GetReadOnly() { return FMemo->GetReadOnly(); }
void TqvCustomInnerMemoHelper::LockBounds(bool ALock) { FMemo->LockBounds(ALock); }

void TqvCustomInnerMemoHelper::SafelySetFocus() {
  const bool autoSelect = FMemo->GetAutoSelect();
  FMemo->SetAutoSelect(false);
  TAliveToken alive = FMemo->AliveToken();
  try {
    FMemo->SetFocus();
  } catch (...) {
    if (alive) FMemo->SetAutoSelect(autoSelect);
    throw;
  }
  if (alive) FMemo->SetAutoSelect(autoSelect);
}

void TqvCustomInnerMemoHelper::SetEditValue(const Variant& Value) { FMemo->SetTextInternally(VarToStr(Value)); }
void TqvCustomInnerMemoHelper::SetParent(TWinControl* AParent) { FMemo->SetParent(AParent); }
void TqvCustomInnerMemoHelper::SetOnChange(TNotifyEvent Handler) { FMemo->OnChange = std::move(Handler); }
void TqvCustomInnerMemoHelper::SetReadOnly(bool Value) { FMemo->SetReadOnly(Value); }

void TqvCustomInnerMemoHelper::CopyToClipboard() {
  if (FMemo->HandleAllocated()) SendMessage(FMemo->GetHandle(), WM_COPY, 0, 0);
}

TAlignment TqvCustomInnerMemoHelper::GetAlignment() { return FMemo->TCustomEdit::GetAlignment(); }
bool TqvCustomInnerMemoHelper::GetAutoSelect() { return FMemo->TCustomEdit::GetAutoSelect(); }
TEditCharCase TqvCustomInnerMemoHelper::GetCharCase() { return FMemo->TCustomEdit::GetCharCase(); }
bool TqvCustomInnerMemoHelper::GetHideSelection() { return FMemo->TCustomEdit::GetHideSelection(); }
bool TqvCustomInnerMemoHelper::GetKeyHandled() { return FMemo->GetKeyHandled(); }
Integer TqvCustomInnerMemoHelper::GetMaxLength() { return FMemo->TCustomEdit::GetMaxLength(); }
bool TqvCustomInnerMemoHelper::GetOEMConvert() { return FMemo->TCustomEdit::GetOEMConvert(); }

Integer TqvCustomInnerMemoHelper::GetSelLength() {
  return FMemo->HandleAllocated() ? FMemo->TCustomEdit::GetSelLength() : 0;
}

Integer TqvCustomInnerMemoHelper::GetSelStart() {
  return FMemo->HandleAllocated() ? FMemo->TCustomEdit::GetSelStart() : 0;
}

String TqvCustomInnerMemoHelper::GetSelText() {
  return FMemo->HandleAllocated() ? FMemo->TCustomEdit::GetSelText() : String();
}

void TqvCustomInnerMemoHelper::SelectAll() {
  if (FMemo->HandleAllocated()) FMemo->TCustomEdit::SelectAll();
}

void TqvCustomInnerMemoHelper::SetAlignment(TAlignment Value) { FMemo->TCustomEdit::SetAlignment(Value); }
void TqvCustomInnerMemoHelper::SetAutoSelect(bool Value) { FMemo->TCustomEdit::SetAutoSelect(Value); }
void TqvCustomInnerMemoHelper::SetCharCase(TEditCharCase Value) { FMemo->TCustomEdit::SetCharCase(Value); }
void TqvCustomInnerMemoHelper::SetHideSelection(bool Value) { FMemo->TCustomEdit::SetHideSelection(Value); }
void TqvCustomInnerMemoHelper::SetKeyHandled(bool Value) { FMemo->SetKeyHandled(Value); }
void TqvCustomInnerMemoHelper::SetMaxLength(Integer Value) { FMemo->TCustomEdit::SetMaxLength(Value); }
void TqvCustomInnerMemoHelper::SetOEMConvert(bool Value) { FMemo->TCustomEdit::SetOEMConvert(Value); }

void TqvCustomInnerMemoHelper::SetSelLength(Integer Value) {
  if (FMemo->HandleAllocated()) FMemo->TCustomEdit::SetSelLength(Value);
}

void TqvCustomInnerMemoHelper::SetSelStart(Integer Value) {
  if (FMemo->HandleAllocated()) FMemo->TCustomEdit::SetSelStart(Value);
}

void TqvCustomInnerMemoHelper::SetSelText(const String& Value) {
  if (FMemo->HandleAllocated()) FMemo->TCustomEdit::SetSelText(Value);
}

// ---------------------------------------------------------------------------------------------
// Construction and placement

TqvCustomInnerMemo::TqvCustomInnerMemo(TComponent* AOwner) : TCustomMemo(AOwner) {
  FCreating = true;
  FHelper = MakeOwned<TqvCustomInnerMemoHelper>(this);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetControlStyle(GetControlStyle() | csDoubleClicks);
  if (!HasState(csDesigning)) SetCursor(crArrow);
  SetParentColor(true);
  SetParentFont(true);
  SetPasswordChar('\0');
  FCreating = false;
}

TqvCustomInnerMemo::~TqvCustomInnerMemo() { FHelper.reset(); }

TqvCustomMemo* TqvCustomInnerMemo::GetContainer() {
  auto* container = As<TqvCustomMemo>(GetOwner());
  return container && !container->IsDestroying() ? container : nullptr;
}

void TqvCustomInnerMemo::LockBounds(bool ALock) {
  if (ALock)
    ++FBoundsLockCount;
  else if (FBoundsLockCount > 0)
    --FBoundsLockCount;
}

void TqvCustomInnerMemo::SetTextInternally(const String& AText) {
  TValueScope internal(FInternalTextSetting, true, AliveToken());
  SetText(AText);
}

void TqvCustomInnerMemo::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FCreating || FBoundsLockCount > 0) return;
  TqvCustomMemo* container = GetContainer();
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
  if (!containerAlive) return;
  container->LockAlignControls(false);
  container->PostScrollBarsUpdate();
}

void TqvCustomInnerMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TqvCustomInnerMemo::CreateWnd() {
  const String text = GetText();
  {
    TValueScope creating(FCreating, true, AliveToken());
    inherited::CreateWnd();
  }
  SetMargins();
  if (GetText() != text) SetTextInternally(text);
  if (TqvCustomMemo* container = GetContainer()) container->PostScrollBarsUpdate();
}

void TqvCustomInnerMemo::SetMargins() {
  TqvCustomMemo* container = GetContainer();
  if (HandleAllocated() && container && container->IsInplace())
    SendMessage(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

// ---------------------------------------------------------------------------------------------
// Events the container sees as its own

bool TqvCustomInnerMemo::CanFocus() {
  TqvCustomMemo* container = GetContainer();
  return container ? container->CanFocusEx() : inherited::CanFocus();
}

void TqvCustomInnerMemo::Click() {
  TAliveToken alive = AliveToken();
  inherited::Click();
  if (alive)
    if (TqvCustomMemo* container = GetContainer()) container->Click();
}

void TqvCustomInnerMemo::DblClick() {
  TAliveToken alive = AliveToken();
  inherited::DblClick();
  if (alive)
    if (TqvCustomMemo* container = GetContainer()) container->DblClick();
}

void TqvCustomInnerMemo::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  TqvCustomMemo* container = alive ? GetContainer() : nullptr;
  if (container) container->InnerControlMouseDown(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerMemo::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive)
    if (TqvCustomMemo* container = GetContainer()) container->MouseMove(Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerMemo::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive)
    if (TqvCustomMemo* container = GetContainer()) container->MouseUp(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TqvCustomInnerMemo::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (TqvCustomMemo* container = GetContainer())
    container->DragOver(Source, X + GetLeft(), Y + GetTop(), State, Accept);
}

void TqvCustomInnerMemo::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (TqvCustomMemo* container = GetContainer()) container->DragDrop(Source, X + GetLeft(), Y + GetTop());
}

TPopupMenu* TqvCustomInnerMemo::GetPopupMenu() {
  TqvCustomMemo* container = GetContainer();
  return container ? container->GetPopupMenu() : inherited::GetPopupMenu();
}

bool TqvCustomInnerMemo::ExecuteAction(TBasicAction* Action) {
  if (inherited::ExecuteAction(Action)) return true;
  TqvCustomMemo* container = GetContainer();
  return container && container->GetDataBinding()->ExecuteAction(Action);
}

bool TqvCustomInnerMemo::UpdateAction(TBasicAction* Action) {
  if (inherited::UpdateAction(Action)) return true;
  TqvCustomMemo* container = GetContainer();
  return container && container->GetDataBinding()->UpdateAction(Action);
}

// ---------------------------------------------------------------------------------------------
// Keys: the container first

void TqvCustomInnerMemo::KeyDown(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  if (TqvCustomMemo* container = GetContainer()) container->KeyDown(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyDown(Key, Shift);
  else
    FKeyHandled = true;
}

void TqvCustomInnerMemo::KeyPress(char& Key) {
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  TqvCustomMemo* container = GetContainer();
  if (Key == '\t' && container && !container->GetProperties()->GetWantTabs()) Key = 0;
  if (container && Key != 0) container->KeyPress(Key);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyPress(Key);
  else
    FKeyHandled = true;
}

void TqvCustomInnerMemo::KeyUp(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  TqvCustomMemo* container = GetContainer();
  if (container && Key != 0) container->KeyUp(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyUp(Key, Shift);
  else
    FKeyHandled = true;
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvCustomInnerMemo::WMKeyDown(TMessage& Message) {
  const String text = GetText();
  const Integer selStart = FHelper->GetSelStart(), selLength = FHelper->GetSelLength();
  FKeyHandled = false;
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive) return;
  TqvCustomMemo* container = GetContainer();
  if (!container) return;
  container->PostScrollBarsUpdate();
  Word key = static_cast<Word>(Message.WParam);
  const bool unchanged =
      text == GetText() && selStart == FHelper->GetSelStart() && selLength == FHelper->GetSelLength();
  if (!FKeyHandled && key != 0 && key != VK_UP && key != VK_DOWN && unchanged)
    container->DoAfterKeyDown(key, KeyDataToShiftState(Message.LParam));
}

void TqvCustomInnerMemo::WMClipboard(TMessage& Message) {
  TqvCustomMemo* container = GetContainer();
  if (!container) {
    inherited::Dispatch(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_CLEAR:
      if (container->IsClearing())
        inherited::Dispatch(Message);
      else if (!GetReadOnly())
        container->ClearSelectionFromInnerMemo();
      return;
    case WM_PASTE:
      if (!GetReadOnly()) container->Perform(WM_PASTE, 0, 0);
      return;
    default:  // a read-only memo copies instead of cutting (the container decides)
      container->Perform(WM_CUT, 0, 0);
      return;
  }
}

void TqvCustomInnerMemo::WMSetText(TMessage& Message) {
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive || FInternalTextSetting || FCreating) return;
  if (TqvCustomMemo* container = GetContainer()) container->SetEditValue(GetText());
}

void TqvCustomInnerMemo::EMReplaceSel(TMessage& Message) {
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  const String normalized = NormalizeLineBreaks(text ? String(text) : String());
  Message.LParam = reinterpret_cast<LPARAM>(normalized.c_str());
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive) return;
  if (TqvCustomMemo* container = GetContainer()) container->InnerTextReplaced();
}

void TqvCustomInnerMemo::WMGetDlgCode(TMessage& Message) {
  inherited::Dispatch(Message);
  if (!(GetKeyState(VK_CONTROL) & 0x8000)) Message.Result |= DLGC_WANTTAB;
}

void TqvCustomInnerMemo::WMFocus(TMessage& Message) {
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive || HasState(csDestroying)) return;
  TqvCustomMemo* container = GetContainer();
  if (!container) return;
  const bool fromContainer = Message.Msg == WM_SETFOCUS && container->HandleAllocated() &&
                             reinterpret_cast<HWND>(Message.WParam) == container->GetHandle();
  if (!fromContainer) container->FocusChanged();
}

void TqvCustomInnerMemo::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
    TqvCustomMemo* container = GetContainer();
    if (container && container->GetDragMode() == dmAutomatic && !container->IsDesigning()) {
      container->BeginAutoDrag();
      return;
    }
  }
  inherited::WndProc(Message);
}

void TqvCustomInnerMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: WMKeyDown(Message); return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: WMClipboard(Message); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case EM_REPLACESEL: EMReplaceSel(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: WMFocus(Message); return;
    case WM_SETFONT: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive) SetMargins();
      return;
    }
    case WM_WINDOWPOSCHANGED:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive)
        if (TqvCustomMemo* container = GetContainer()) container->PostScrollBarsUpdate();
      return;
    }
    case CN_COMMAND: {
      const WORD code = HIWORD(Message.WParam);
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive && (code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE))
        if (TqvCustomMemo* container = GetContainer()) container->UpdateScrollBars();
      return;
    }
    case CM_MOUSELEAVE: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive)
        if (TqvCustomMemo* container = GetContainer()) container->RefreshContainerAtCursor(true);
      return;
    }
    default: inherited::Dispatch(Message);
  }
}
