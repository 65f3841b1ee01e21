// The layer the inner edit windows of the text editor and the memo editor share, made for both.
// Calls to the editor go through its text-edit base, which admits this layer.
#include "editors/qvInnerEdit.h"

#include "editors/qvMemo.h"
#include "editors/qvTextEdit.h"
#include "platform/rtl/Scopes.h"

// ---------------------------------------------------------------------------------------------
// Construction and placement

template <class TEditBase, class TContainer>
TqvInnerEditControl<TEditBase, TContainer>::TqvInnerEditControl(TComponent* AOwner) : TEditBase(AOwner) {
  WhileCreating([this] {
    this->SetTabStop(false);
    this->SetBorderStyle(bsNone);
    this->SetControlStyle(this->GetControlStyle() | csDoubleClicks);
    this->SetParentColor(true);
  });
}

template <class TEditBase, class TContainer>
TContainer* TqvInnerEditControl<TEditBase, TContainer>::GetContainer() {
  auto* container = As<TContainer>(this->GetOwner());
  return container && !container->IsDestroying() ? container : nullptr;
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::LockBounds(bool ALock) {
  if (ALock)
    ++FBoundsLockCount;
  else if (FBoundsLockCount > 0)
    --FBoundsLockCount;
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::WhileCreating(const std::function<void()>& AStep) {
  TValueScope creating(FCreating, true, this->AliveToken());
  AStep();
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                                                           Integer AHeight) {
  if (FCreating || FBoundsLockCount > 0) return;
  TContainer* container = GetContainer();
  if (!container) {
    TEditBase::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  TAliveToken containerAlive = container->AliveToken();
  {
    TLockSwitchScope<TContainer, &TContainer::LockAlignControls> aligning(container);
    TEditBase::SetBounds(ALeft, ATop, AWidth, AHeight);
  }
  if (containerAlive) BoundsApplied(container);
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::CreateParams(TCreateParams& Params) {
  TEditBase::CreateParams(Params);
  Params.Style &= ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

// ---------------------------------------------------------------------------------------------
// Events the editor sees as its own

template <class TEditBase, class TContainer>
bool TqvInnerEditControl<TEditBase, TContainer>::CanFocus() {
  TqvCustomTextEdit* container = GetContainer();
  return container ? container->CanFocusEx() : TEditBase::CanFocus();
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::Click() {
  TAliveToken alive = this->AliveToken();
  TEditBase::Click();
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->Click();
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::DblClick() {
  TAliveToken alive = this->AliveToken();
  TEditBase::DblClick();
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer()) container->DblClick();
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                                                           Integer Y) {
  TAliveToken alive = this->AliveToken();
  TEditBase::MouseDown(Button, Shift, X, Y);
  TqvCustomTextEdit* container = alive ? GetContainer() : nullptr;
  if (container) container->InnerControlMouseDown(Button, Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = this->AliveToken();
  TEditBase::MouseMove(Shift, X, Y);
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer())
      container->MouseMove(Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                                                         Integer Y) {
  TAliveToken alive = this->AliveToken();
  TEditBase::MouseUp(Button, Shift, X, Y);
  if (alive)
    if (TqvCustomTextEdit* container = GetContainer())
      container->MouseUp(Button, Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                                                          bool& Accept) {
  if (TqvCustomTextEdit* container = GetContainer())
    container->DragOver(Source, X + this->GetLeft(), Y + this->GetTop(), State, Accept);
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (TqvCustomTextEdit* container = GetContainer())
    container->DragDrop(Source, X + this->GetLeft(), Y + this->GetTop());
}

template <class TEditBase, class TContainer>
TPopupMenu* TqvInnerEditControl<TEditBase, TContainer>::GetPopupMenu() {
  TqvCustomTextEdit* container = GetContainer();
  return container ? container->GetPopupMenu() : TEditBase::GetPopupMenu();
}

template <class TEditBase, class TContainer>
bool TqvInnerEditControl<TEditBase, TContainer>::ExecuteAction(TBasicAction* Action) {
  if (TEditBase::ExecuteAction(Action)) return true;
  TqvCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->ExecuteAction(Action);
}

template <class TEditBase, class TContainer>
bool TqvInnerEditControl<TEditBase, TContainer>::UpdateAction(TBasicAction* Action) {
  if (TEditBase::UpdateAction(Action)) return true;
  TqvCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->UpdateAction(Action);
}

// ---------------------------------------------------------------------------------------------
// Keys: the editor first

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::KeyDown(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  TAliveToken alive = this->AliveToken();
  if (TqvCustomTextEdit* container = GetContainer()) container->KeyDown(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    TEditBase::KeyDown(Key, Shift);
  else
    FKeyHandled = true;
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::KeyUp(Word& Key, TShiftState Shift) {
  FKeyHandled = false;
  TAliveToken alive = this->AliveToken();
  TqvCustomTextEdit* container = GetContainer();
  if (container && Key != 0) container->KeyUp(Key, Shift);
  if (!alive) return;
  if (Key != 0)
    TEditBase::KeyUp(Key, Shift);
  else
    FKeyHandled = true;
}

// ---------------------------------------------------------------------------------------------
// Messages

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::WMFocus(TMessage& Message) {
  TAliveToken alive = this->AliveToken();
  TEditBase::Dispatch(Message);
  if (!alive || this->HasState(csDestroying)) return;
  TqvCustomTextEdit* container = GetContainer();
  if (!container) return;
  const bool fromContainer = Message.Msg == WM_SETFOCUS && container->HandleAllocated() &&
                             reinterpret_cast<HWND>(Message.WParam) == container->GetHandle();
  if (!fromContainer) container->FocusChanged();
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
    TqvCustomTextEdit* container = GetContainer();
    if (container && container->GetDragMode() == dmAutomatic && !container->IsDesigning()) {
      container->BeginAutoDrag();
      return;
    }
  }
  TEditBase::WndProc(Message);
}

template <class TEditBase, class TContainer>
void TqvInnerEditControl<TEditBase, TContainer>::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: WMFocus(Message); return;
    case CM_MOUSELEAVE: {
      TAliveToken alive = this->AliveToken();
      TEditBase::Dispatch(Message);
      if (alive)
        if (TqvCustomTextEdit* container = GetContainer()) container->RefreshContainerAtCursor(true);
      return;
    }
    default: TEditBase::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvInnerEditHelper

template <class TInner>
TWinControl* TqvInnerEditHelper<TInner>::GetControl() {
  return FEdit;
}

template <class TInner>
TqvContainer* TqvInnerEditHelper<TInner>::GetControlContainer() {
  return FEdit->GetContainer();
}

template <class TInner>
Variant TqvInnerEditHelper<TInner>::GetEditValue() {
  return FEdit->GetText();
}

template <class TInner>
TNotifyEvent TqvInnerEditHelper<TInner>::GetOnChange() {
  return FEdit->OnChange;
}

template <class TInner>
bool TqvInnerEditHelper<TInner>::GetReadOnly() {
  return FEdit->GetReadOnly();
}

template <class TInner>
void TqvInnerEditHelper<TInner>::LockBounds(bool ALock) {
  FEdit->LockBounds(ALock);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SafelySetFocus() {
  const bool autoSelect = FEdit->GetAutoSelect();
  FEdit->SetAutoSelect(false);
  TAliveToken alive = FEdit->AliveToken();
  TFinally restore([&] {
    if (alive) FEdit->SetAutoSelect(autoSelect);
  });
  FEdit->SetFocus();
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetParent(TWinControl* AParent) {
  FEdit->SetParent(AParent);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetOnChange(TNotifyEvent Handler) {
  FEdit->OnChange = std::move(Handler);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetReadOnly(bool Value) {
  FEdit->SetReadOnly(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::CopyToClipboard() {
  if (FEdit->HandleAllocated()) SendMessage(FEdit->GetHandle(), WM_COPY, 0, 0);
}

template <class TInner>
TAlignment TqvInnerEditHelper<TInner>::GetAlignment() {
  return FEdit->TCustomEdit::GetAlignment();
}

template <class TInner>
bool TqvInnerEditHelper<TInner>::GetAutoSelect() {
  return FEdit->TCustomEdit::GetAutoSelect();
}

template <class TInner>
TEditCharCase TqvInnerEditHelper<TInner>::GetCharCase() {
  return FEdit->TCustomEdit::GetCharCase();
}

template <class TInner>
bool TqvInnerEditHelper<TInner>::GetHideSelection() {
  return FEdit->TCustomEdit::GetHideSelection();
}

template <class TInner>
bool TqvInnerEditHelper<TInner>::GetKeyHandled() {
  return FEdit->GetKeyHandled();
}

template <class TInner>
Integer TqvInnerEditHelper<TInner>::GetMaxLength() {
  return FEdit->TCustomEdit::GetMaxLength();
}

template <class TInner>
bool TqvInnerEditHelper<TInner>::GetOEMConvert() {
  return FEdit->TCustomEdit::GetOEMConvert();
}

template <class TInner>
Integer TqvInnerEditHelper<TInner>::GetSelLength() {
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelLength() : 0;
}

template <class TInner>
Integer TqvInnerEditHelper<TInner>::GetSelStart() {
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelStart() : 0;
}

template <class TInner>
String TqvInnerEditHelper<TInner>::GetSelText() {
  return FEdit->HandleAllocated() ? FEdit->TCustomEdit::GetSelText() : String();
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SelectAll() {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SelectAll();
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetAlignment(TAlignment Value) {
  FEdit->TCustomEdit::SetAlignment(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetAutoSelect(bool Value) {
  FEdit->TCustomEdit::SetAutoSelect(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetCharCase(TEditCharCase Value) {
  FEdit->TCustomEdit::SetCharCase(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetHideSelection(bool Value) {
  FEdit->TCustomEdit::SetHideSelection(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetKeyHandled(bool Value) {
  FEdit->SetKeyHandled(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetMaxLength(Integer Value) {
  FEdit->TCustomEdit::SetMaxLength(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetOEMConvert(bool Value) {
  FEdit->TCustomEdit::SetOEMConvert(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetSelLength(Integer Value) {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SetSelLength(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetSelStart(Integer Value) {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SetSelStart(Value);
}

template <class TInner>
void TqvInnerEditHelper<TInner>::SetSelText(const String& Value) {
  if (FEdit->HandleAllocated()) FEdit->TCustomEdit::SetSelText(Value);
}

// ---------------------------------------------------------------------------------------------
// The two inner windows

template class TqvInnerEditControl<TCustomEdit, TqvCustomTextEdit>;
template class TqvInnerEditControl<TCustomMemo, TqvCustomMemo>;
template class TqvInnerEditHelper<TqvCustomInnerTextEdit>;
template class TqvInnerEditHelper<TqvCustomInnerMemo>;
