// What the inner edit window of text editors adds to the shared inner-edit layer: unused keys on
// to the editor's after-key-down handler, Enter and Tab kept from the window, clipboard messages
// through the editor, input-method characters, alignment, echo mode and margins.
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

void TqvCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  TqvCustomInnerTextEdit* edit = GetEdit();
  const String old = edit->GetInnerText();
  const String text = VarToStr(Value);
  edit->SetInnerText(text);
  if (edit->HasState(csDesigning) && text != old && edit->OnChange) edit->OnChange(edit);
}

TqvEditEchoMode TqvCustomInnerTextEditHelper::GetEchoMode() { return GetEdit()->GetEchoMode(); }
char TqvCustomInnerTextEditHelper::GetPendingTrailByte() { return GetEdit()->GetPendingTrailByte(); }
void TqvCustomInnerTextEditHelper::SetEchoMode(TqvEditEchoMode Value) { GetEdit()->SetEchoMode(Value); }

Integer TqvCustomInnerTextEditHelper::GetSelLength() {
  return GetEdit()->GetPendingCharCount() > 0 ? FSavedSelLength : inherited::GetSelLength();
}

Integer TqvCustomInnerTextEditHelper::GetSelStart() {
  return GetEdit()->GetPendingCharCount() > 0 ? FSavedSelStart : inherited::GetSelStart();
}

void TqvCustomInnerTextEditHelper::SetAlignment(TAlignment Value) {
  TqvCustomTextEdit* container = GetEdit()->GetContainer();
  if (container && container->GetProperties()->GetUseLeftAlignmentOnEditing()) Value = taLeftJustify;
  inherited::SetAlignment(Value);
}

void TqvCustomInnerTextEditHelper::SetSelLength(Integer Value) {
  if (!GetEdit()->HandleAllocated()) return;
  if (GetEdit()->GetPendingCharCount() > 0)
    FSavedSelLength = Value;
  else
    inherited::SetSelLength(Value);
}

void TqvCustomInnerTextEditHelper::SetSelStart(Integer Value) {
  if (!GetEdit()->HandleAllocated()) return;
  if (GetEdit()->GetPendingCharCount() > 0)
    FSavedSelStart = Value;
  else
    inherited::SetSelStart(Value);
}

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomInnerTextEdit::TqvCustomInnerTextEdit(TComponent* AOwner) : TqvInnerTextEditBase(AOwner) {
  FHelper = MakeOwned<TqvCustomInnerTextEditHelper>(this);
  WhileCreating([this] {
    SetParentFont(false);
    UpdateEchoMode();
  });
}

TqvCustomInnerTextEdit::~TqvCustomInnerTextEdit() { FHelper.reset(); }

void TqvCustomInnerTextEdit::SetEchoMode(TqvEditEchoMode Value) {
  if (Value == FEchoMode) return;
  FEchoMode = Value;
  UpdateEchoMode();
}

void TqvCustomInnerTextEdit::UpdateEchoMode() { SetPasswordChar(FEchoMode == eemPassword ? '*' : '\0'); }

void TqvCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~(ES_LEFT | ES_RIGHT | ES_CENTER);
  switch (TCustomEdit::GetAlignment()) {
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
    default: Params.Style |= ES_LEFT; break;
  }
  Params.Style |= ES_AUTOHSCROLL;
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
// Keys: the container first

void TqvCustomInnerTextEdit::KeyPress(char& Key) {
  SetKeyHandled(false);
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
    SetKeyHandled(true);
}

void TqvCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  inherited::KeyUp(Key, Shift);
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
  SetKeyHandled(false);
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive || GetKeyHandled()) return;
  key = static_cast<Word>(Message.WParam);
  container = GetContainer();
  if (container && key != 0 && !container->IsSendingInternalKey() && !HasStateChanged(state))
    container->DoAfterKeyDown(key, shift);
}

void TqvCustomInnerTextEdit::WMChar(TMessage& Message) {
  const TSavedState state = SaveState();
  SetKeyHandled(false);
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
  if (!GetKeyHandled() && HasStateChanged(state)) container->SetFindSelection(false);
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
    case WM_SIZE:
      inherited::Dispatch(Message);
      SetMargins();
      return;
    default: inherited::Dispatch(Message);
  }
}
