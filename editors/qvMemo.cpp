// The memo editor: properties, the paint model of memo text, and the container with its keys,
// selection rules and own scroll bars.
#include "editors/qvMemo.h"

#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomMemoProperties)
QJ_IMPLEMENT_CLASS(TqvMemoProperties)
QJ_IMPLEMENT_CLASS(TqvCustomMemoViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomMemoViewData)
QJ_IMPLEMENT_CLASS(TqvCustomMemo)
QJ_IMPLEMENT_CLASS(TqvMemo)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryMemoItem)

namespace {

const TqvEditKindRegistration MemoRegistration(&TqvMemoProperties::StaticClass(), &sqvEditDisplayTextMemo);

// Scroll codes as the window's scroll messages take them (the same order).
WPARAM ScrollRequest(TScrollCode ACode, Integer APos) {
  return MAKEWPARAM(static_cast<WORD>(ACode), static_cast<WORD>(std::clamp(APos, 0, 0xFFFF)));
}

}  // namespace

String NormalizeLineBreaks(const String& AText) {
  String out;
  out.reserve(AText.size() + AText.size() / 8);
  for (size_t i = 0; i < AText.size(); ++i) {
    const char c = AText[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    // A pair of the two different break characters is one break, whichever comes first.
    if (i + 1 < AText.size() && (AText[i + 1] == '\r' || AText[i + 1] == '\n') && AText[i + 1] != c) ++i;
    out += "\r\n";
  }
  return out;
}

String FirstMemoLine(const String& AText, Integer ALimit) {
  const String head = AText.substr(0, size_t(std::max(0, ALimit)));
  return head.substr(0, head.find_first_of("\r\n"));
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMemoProperties

TqvCustomMemoProperties::TqvCustomMemoProperties(TPersistent* AOwner) : TqvCustomTextEditProperties(AOwner) {
  SetAutoSelect(false);
}

TqvCustomEditViewDataClass TqvCustomMemoProperties::ViewDataClass() { return &TqvCustomMemoViewData::StaticClass(); }
TqvCustomEditViewInfoClass TqvCustomMemoProperties::ViewInfoClass() { return &TqvCustomMemoViewInfo::StaticClass(); }
TqvCustomEditClass TqvCustomMemoProperties::ContainerClass() { return &TqvMemo::StaticClass(); }

void TqvCustomMemoProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomMemoProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetScrollBars(source->FScrollBars);
  SetWantReturns(source->FWantReturns);
  SetWantTabs(source->FWantTabs);
  SetWordWrap(source->FWordWrap);
}

String TqvCustomMemoProperties::GetDisplayText(const Variant& AEditValue, bool AFullText) {
  const String text = inherited::GetDisplayText(AEditValue, AFullText);
  return AFullText ? text : FirstMemoLine(text);
}

TqvEditValueSource TqvCustomMemoProperties::GetEditValueSource(bool) const {
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider && provider->IsBlob() ? evsValue : evsText;
}

TAlignment TqvCustomMemoProperties::GetAlignment() { return inherited::GetAlignment()->GetHorz(); }

void TqvCustomMemoProperties::SetAlignment(TAlignment Value) { inherited::GetAlignment()->SetHorz(Value); }

void TqvCustomMemoProperties::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  Changed();
}

void TqvCustomMemoProperties::SetWantReturns(bool Value) {
  if (FWantReturns == Value) return;
  FWantReturns = Value;
  Changed();
}

void TqvCustomMemoProperties::SetWantTabs(bool Value) {
  if (FWantTabs == Value) return;
  FWantTabs = Value;
  Changed();
}

void TqvCustomMemoProperties::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Paint model

TRect GetMemoDrawTextOffset(const TqvCustomEditViewData* AViewData) {
  auto* properties = static_cast<TqvCustomMemoProperties*>(AViewData->Properties);
  return properties->GetAlignment() == taRightJustify ? TRect{0, 1, 2, 1} : TRect{1, 1, 1, 1};
}

void DrawMemoText(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo) {
  const String text = AViewInfo->Text.substr(0, AViewInfo->Text.find('\0'));
  if (text.empty()) return;
  if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
  ACanvas->GetFont()->SetColor(AViewInfo->TextColor);
  DrawTextWithSelection(ACanvas, AViewInfo, text, 0, 0, AViewInfo->MaxLineCount, AViewInfo->SelTextColor,
                        AViewInfo->SelBackgroundColor, AViewInfo->SelLength, AViewInfo->SelStart,
                        AViewInfo->TextFlags, AViewInfo->TextRect);
}

void TqvCustomMemoViewInfo::DrawText(TqvCanvas* ACanvas) { DrawMemoText(ACanvas, this); }

TqvTextLayoutFlags TqvCustomMemoViewData::GetDrawTextFlags() const {
  TqvCustomMemoProperties* properties = GetProperties();
  TqvTextLayoutFlags flags = tlKeepLeftInside;
  switch (properties->GetAlignment()) {
    case taRightJustify: flags |= tlHRight; break;
    case taCenter: flags |= tlHCenter; break;
    default: break;
  }
  const TScrollStyle bars = properties->GetScrollBars();
  if (properties->GetWordWrap() && bars != ssHorizontal && bars != ssBoth)
    flags |= tlWordBreak | tlWholeRowsOnly | tlBreakLongWords;
  else
    flags |= tlWholeRowsOnly;
  return flags;
}

void TqvCustomMemoViewData::GetDrawTextOffset(TRect& R) const { R = GetMemoDrawTextOffset(this); }

// ---------------------------------------------------------------------------------------------
// TqvCustomMemo

TqvCustomMemo::TqvCustomMemo(TComponent* AOwner, bool AIsInplace) : TqvCustomTextEdit(AOwner, AIsInplace) {}

TqvCustomEditPropertiesClass TqvCustomMemo::PropertiesClass() { return &TqvCustomMemoProperties::StaticClass(); }
TqvCustomEditPropertiesClass TqvMemo::PropertiesClass() { return &TqvMemoProperties::StaticClass(); }

void TqvCustomMemo::AfterConstruction() {
  inherited::AfterConstruction();
  SetAutoSize(false);
  SetBounds(GetLeft(), GetTop(), 185, 89);
}

TqvInnerEditClass TqvCustomMemo::GetInnerEditClass() const { return &TqvCustomInnerMemo::StaticClass(); }

IqvCustomInnerEdit* TqvCustomMemo::CreateInnerEdit() {
  auto* memo = As<TqvCustomInnerMemo>(GetInnerEditClass()->Create(this));
  return memo ? memo->GetHelper() : nullptr;
}

TqvCustomInnerMemo* TqvCustomMemo::GetInnerMemo() const {
  return GetInnerEdit() ? As<TqvCustomInnerMemo>(GetInnerEdit()->GetControl()) : nullptr;
}

TStrings* TqvCustomMemo::GetLines() const {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  return memo ? memo->GetLines() : nullptr;
}

void TqvCustomMemo::SetLines(TStrings* Value) {
  if (TStrings* lines = GetLines()) lines->Assign(Value);
}

bool TqvCustomMemo::CanShowInnerEdit() { return true; }

void TqvCustomMemo::Loaded() {
  inherited::Loaded();
  // A memo read with lines takes their text as its value.
  if (TStrings* lines = GetLines(); lines && lines->GetCount() > 0) SetEditValue(lines->GetText());
}

void TqvCustomMemo::AdjustInnerEditPosition() {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  if (!memo || IsInnerEditUnavailable() || FAdjustingInnerMemo) return;
  TValueScope adjusting(FAdjustingInnerMemo, true, AliveToken());
  TRect bounds = qvDeflatedRect(GetViewInfo()->ClientRect, 1);
  if (memo->GetBoundsRect() != bounds) memo->SetBoundsRect(bounds);
  AlignControls(memo, bounds);
}

void TqvCustomMemo::AdjustInnerEditAppearance() {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  if (!memo || IsInnerEditUnavailable()) return;
  TLockSwitchScope<TqvInnerMemoBase, &TqvInnerMemoBase::LockBounds> locked(memo);
  memo->SetColor(GetViewInfo()->BackgroundColor);
  if (TFont* font = GetStyle()->GetFont()) {
    TOwned<TFont> copy = MakeOwned<TFont>();
    copy->Assign(font);
    copy->SetColor(GetViewInfo()->TextColor);
    memo->SetFont(copy.get());
  }
}

void TqvCustomMemo::InnerEditChange(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::InnerEditChange(Sender);
  if (alive) PostScrollBarsUpdate();
}

void TqvCustomMemo::InitializeViewData(TqvCustomEditViewData* AViewData) {
  inherited::InitializeViewData(AViewData);
  // The own bars lie over the inner memo's native ones and take no room of their own.
  AViewData->HScrollBar = nullptr;
  AViewData->VScrollBar = nullptr;
}

TqvEditSizeProperties TqvCustomMemo::GetAutoSizeConstraints() {
  TqvEditSizeProperties size = inherited::GetAutoSizeConstraints();
  size.MaxLineCount = 0;
  return size;
}

void TqvCustomMemo::PropertiesChanged(TObject* Sender) {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  if (memo && !IsInnerEditUnavailable() && !IsDestroying()) {
    TqvCustomMemoProperties* properties = GetProperties();
    // A new scroll style re-creates the inner window (and so the mirrored bars).
    if (properties->GetScrollBars() != memo->GetScrollBars()) {
      memo->SetScrollBars(properties->GetScrollBars());
      PostScrollBarsUpdate();
    }
    memo->SetWantReturns(properties->GetWantReturns());
    memo->SetWantTabs(properties->GetWantTabs());
    memo->SetWordWrap(properties->GetWordWrap());
  }
  inherited::PropertiesChanged(Sender);
}

void TqvCustomMemo::UpdateScrollBars() {
  FScrollBarsUpdatePosted = false;
  inherited::UpdateScrollBars();
}

void TqvCustomMemo::PostScrollBarsUpdate() {
  if (FScrollBarsUpdatePosted || !HandleAllocated() || IsDestroying()) return;
  FScrollBarsUpdatePosted = true;
  PostMessage(GetHandle(), WM_QV_MEMOSCROLLBARS, 0, 0);
}

void TqvCustomMemo::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  if (!memo || !memo->HandleAllocated()) return;
  const HWND wnd = memo->GetHandle();
  const bool vertical = AScrollBarKind == sbVertical;
  TAliveToken alive = AliveToken();
  if (vertical && (AScrollCode == scLineUp || AScrollCode == scLineDown))
    SendMessage(wnd, EM_LINESCROLL, 0, AScrollCode == scLineUp ? -1 : 1);
  else
    SendMessage(wnd, vertical ? WM_VSCROLL : WM_HSCROLL, ScrollRequest(AScrollCode, AScrollPos), 0);
  if (!alive) return;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  if (GetScrollInfo(wnd, vertical ? SB_VERT : SB_HORZ, &info)) AScrollPos = info.nPos;
  UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TqvCustomMemo::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  TqvCustomMemoProperties* properties = GetProperties();
  return inherited::CanKeyDownModifyEdit(Key, Shift) ||
         (Key == VK_RETURN && (properties->GetWantReturns() || (Shift & ssCtrl))) ||
         (Key == VK_TAB && properties->GetWantTabs());
}

void TqvCustomMemo::KeyDown(Word& Key, TShiftState Shift) {
  if (IsInplace() && Key == VK_RETURN && ((Shift & ssCtrl) != 0) != GetProperties()->GetWantReturns()) {
    // The line break goes to the memo, past the grid's handling of Enter.
    TWinControl::KeyDown(Key, Shift);
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvCustomMemo::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyDown(Key, Shift);
  if (!alive || Key != 'A' || (Shift & (ssCtrl | ssAlt)) != ssCtrl) return;
  TStrings* lines = GetLines();
  if (!lines || lines->GetCount() == 0) return;
  SelectAll();
  if (!alive) return;
  DoAfterKeyDown(Key, Shift);
  Key = 0;
  if (IqvInnerTextEdit* inner = GetInnerTextEdit()) inner->SetKeyHandled(true);
}

// ---------------------------------------------------------------------------------------------
// Selection and clipboard

void TqvCustomMemo::ClearSelection() {
  TqvCustomInnerMemo* memo = GetInnerMemo();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!memo || !inner || inner->GetSelLength() == 0) return;
  const bool fromInner = FClearingFromInnerMemo;
  if (fromInner && !DoEditing()) return;
  TAliveToken alive = AliveToken();
  {
    // The inner memo's clear message does the default clearing meanwhile.
    TValueScope clearing(FClearing, true, alive);
    memo->ClearSelection();
  }
  if (!alive || fromInner) return;
  ResetFindSelection();
  SynchronizeEditValue();
  if (alive) RefreshContainerAtCursor(false);
}

void TqvCustomMemo::ClearSelectionFromInnerMemo() {
  TValueScope fromInner(FClearingFromInnerMemo, true, AliveToken());
  ClearSelection();
}

void TqvCustomMemo::CutToClipboard() {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || inner->GetSelLength() == 0) return;
  TAliveToken alive = AliveToken();
  inner->CopyToClipboard();
  if (alive) ClearSelection();
}

void TqvCustomMemo::SetSelText(const String& AText) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  const bool byUser = IsUserChange();
  String text = NormalizeLineBreaks(AText);
  const Integer maxLength = GetProperties()->GetMaxLength();
  if (byUser && maxLength > 0) {
    // The room MaxLength leaves beside the text before and after the selection.
    const Integer room = maxLength - (Length(InternalGetText()) - inner->GetSelLength());
    text = text.substr(0, size_t(std::max(0, room)));
    if (!text.empty() && text.back() == '\r') text.pop_back();  // never half a line break
  }
  if (text.empty() || (byUser && !DoEditing())) return;
  TAliveToken alive = AliveToken();
  inner->SetSelText(text);
  if (alive) RefreshContainerAtCursor(false);
}

void TqvCustomMemo::InnerTextReplaced() {
  String text;
  GetDisplayValue(text);
  AssignEditValue(text);
  PostScrollBarsUpdate();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvCustomMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_QV_MEMOSCROLLBARS:
      if (FScrollBarsUpdatePosted) UpdateScrollBars();
      return;
    case WM_SIZE:
    case WM_NCCALCSIZE:
    case CM_CHANGED:
    case CM_FONTCHANGED: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive) PostScrollBarsUpdate();
      return;
    }
    default: inherited::Dispatch(Message);
  }
}
