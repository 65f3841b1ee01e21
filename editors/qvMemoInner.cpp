// What the inner memo window of the memo editor adds to the shared inner-edit layer: Tab kept
// unless the memo wants it, clipboard and clear messages through the editor, uniform line breaks
// in replaced text, the text handed to the editor, and the editor's scroll bars kept up to date.
#include "editors/qvMemo.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomInnerMemoHelper)
QJ_IMPLEMENT_CLASS(TqvCustomInnerMemo)

// ---------------------------------------------------------------------------------------------
// TqvCustomInnerMemoHelper

void TqvCustomInnerMemoHelper::SetEditValue(const Variant& Value) { GetEdit()->SetTextInternally(VarToStr(Value)); }

// ---------------------------------------------------------------------------------------------
// Construction and placement

TqvCustomInnerMemo::TqvCustomInnerMemo(TComponent* AOwner) : TqvInnerMemoBase(AOwner) {
  FHelper = MakeOwned<TqvCustomInnerMemoHelper>(this);
  WhileCreating([this] {
    if (!HasState(csDesigning)) SetCursor(crArrow);
    SetParentFont(true);
    SetPasswordChar('\0');
  });
}

TqvCustomInnerMemo::~TqvCustomInnerMemo() { FHelper.reset(); }

void TqvCustomInnerMemo::SetTextInternally(const String& AText) {
  TValueScope internal(FInternalTextSetting, true, AliveToken());
  SetText(AText);
}

void TqvCustomInnerMemo::BoundsApplied(TqvCustomMemo* AContainer) { AContainer->PostScrollBarsUpdate(); }

void TqvCustomInnerMemo::CreateWnd() {
  const String text = GetText();
  WhileCreating([this] { inherited::CreateWnd(); });
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
// Keys

void TqvCustomInnerMemo::KeyPress(char& Key) {
  SetKeyHandled(false);
  TAliveToken alive = AliveToken();
  TqvCustomMemo* container = GetContainer();
  if (Key == '\t' && container && !container->GetProperties()->GetWantTabs()) Key = 0;
  if (container && Key != 0) container->KeyPress(Key);
  if (!alive) return;
  if (Key != 0)
    inherited::KeyPress(Key);
  else
    SetKeyHandled(true);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvCustomInnerMemo::WMKeyDown(TMessage& Message) {
  const String text = GetText();
  const Integer selStart = FHelper->GetSelStart(), selLength = FHelper->GetSelLength();
  SetKeyHandled(false);
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive) return;
  TqvCustomMemo* container = GetContainer();
  if (!container) return;
  container->PostScrollBarsUpdate();
  Word key = static_cast<Word>(Message.WParam);
  const bool unchanged =
      text == GetText() && selStart == FHelper->GetSelStart() && selLength == FHelper->GetSelLength();
  if (!GetKeyHandled() && key != 0 && key != VK_UP && key != VK_DOWN && unchanged)
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
  if (!alive || FInternalTextSetting || IsCreating()) return;
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

void TqvCustomInnerMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: WMKeyDown(Message); return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: WMClipboard(Message); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case EM_REPLACESEL: EMReplaceSel(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
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
    default: inherited::Dispatch(Message);
  }
}
