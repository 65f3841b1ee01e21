// The editor control base: value, modified state, permission, validation, posting, keys,
// buttons, view refresh, sizing and in-place activation.
#include <algorithm>
#include <exception>

#include "core/qvVariants.h"
#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvEditRepositoryItemNotAcceptable{62001, "The repository item is not acceptable"};

QJ_IMPLEMENT_CLASS(TqvCustomEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryItemListenerEditHelper)

TqvCustomEditClass TqvCustomEditProperties::ContainerClass() { return &TqvCustomEdit::StaticClass(); }

namespace {

// Start-up of the editors: the filter words go through the localisable getter too, so that
// one override list serves both tables.
const struct TEditorsUnitStart {
  TEditorsUnitStart() { FilterResourceStringProc = GetLocalizedResourceString; }
} EditorsUnitStart;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Routines

TShiftState MouseButtonToShiftState(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return ssLeft;
    case mbRight: return ssRight;
    case mbMiddle: return ssMiddle;
  }
  return 0;
}

TShiftState MouseCodeToShiftState(TqvMouseButton AButton) {
  switch (AButton) {
    case cmbLeft: return ssLeft;
    case cmbRight: return ssRight;
    case cmbMiddle: return ssMiddle;
    case cmbNone: break;
  }
  return 0;
}

WPARAM ShiftStateToMouseKeys(TShiftState AShift) {
  WPARAM keys = 0;
  if (AShift & ssShift) keys |= MK_SHIFT;
  if (AShift & ssCtrl) keys |= MK_CONTROL;
  if (AShift & ssLeft) keys |= MK_LBUTTON;
  if (AShift & ssRight) keys |= MK_RBUTTON;
  if (AShift & ssMiddle) keys |= MK_MBUTTON;
  return keys;
}

bool VarEqualsExact(const Variant& A, const Variant& B) { return VarType(A) == VarType(B) && VarEquals(A, B); }

void SendKeyDownToEdit(TqvCustomEdit* AEdit, Word AKey) { SendMessage(AEdit->GetHandle(), WM_KEYDOWN, AKey, 0); }

void SendCharToEdit(TWinControl* AControl, char AChar) {
  SendMessage(AControl->GetHandle(), WM_CHAR, static_cast<unsigned char>(AChar), 0);
}

// ---------------------------------------------------------------------------------------------
// Repository item listener

void TqvEditRepositoryItemListenerEditHelper::ItemRemoved(TqvEditRepositoryItem* Sender) {
  if (FEdit->FRepositoryItem == Sender) FEdit->RepositoryItemRemoved();
}

void TqvEditRepositoryItemListenerEditHelper::PropertiesChanged(TqvEditRepositoryItem* Sender) {
  if (!FEdit->IsLoadingOrDestroying()) FEdit->PropertiesChanged(Sender->GetProperties());
}

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TqvCustomEdit::TqvCustomEdit(TComponent* AOwner, bool AIsInplace) : TqvContainer(AOwner), FIsInplace(AIsInplace) {}

TqvCustomEdit* TqvCustomEdit::CreateInplace(TqvCustomEditClass AClass, TComponent* AOwner, bool AIsInplace) {
  return AClass->Create(AOwner, AIsInplace);
}

TqvCustomEditPropertiesClass TqvCustomEdit::PropertiesClass() { return &TqvCustomEditProperties::StaticClass(); }

void TqvCustomEdit::AfterConstruction() {
  FProperties.reset(GetPropertiesClass()->Create(this));
  inherited::AfterConstruction();
  SetControlStyle(GetControlStyle() | csCaptureMouse | csSetCaption);
  SetTabStop(true);
  FInnerEdit = CreateInnerEdit();
  if (FInnerEdit) {
    InitializeInnerEdit();
    SetInnerControl(FInnerEdit->GetControl());
  }
  FDataBinding.reset(GetDataBindingClass()->Create(this));
  FAutoSize = !FIsInplace;
  FCaptureButtonIndex = -1;
  FEditValue = Null();
  AttachPropertiesHandler(GetActiveProperties());
  if (FIsInplace) {
    TqvDialogKeys keys = GetKeys() | dkBit(dkAllKeys) | dkBit(dkArrows);
    if (!GetInnerEditClass()) keys |= dkBit(dkTab);
    SetKeys(keys);
  }
  FRepositoryItemListener = MakeOwned<TqvEditRepositoryItemListenerEditHelper>(this);
  FClickTimer = MakeOwned<TTimer>(nullptr);
  FClickTimer->SetEnabled(false);
  FClickTimer->SetInterval(GetDoubleClickInterval());
  FClickTimer->SetOnTimer([this](TObject*) { FClickTimer->SetEnabled(false); });
  if (!FIsInplace) {
    GetActiveProperties()->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
    FDataBinding->EditLoaded();
  }
  PropertiesChanged(GetActiveProperties());
  FDataBinding->UpdateDisplayValue();
}

void TqvCustomEdit::BeforeDestruction() {
  FClickTimer.reset();
  inherited::BeforeDestruction();
}

TqvCustomEdit::~TqvCustomEdit() {
  FClickTimer.reset();
  FreeAndNil(FDefaultPopupMenu);
  if (FRepositoryItem) FRepositoryItem->RemoveListener(FRepositoryItemListener.get());
  FRepositoryItem = nullptr;
  FRepositoryItemListener.reset();
  if (FInnerEdit) {
    UnhookInnerEditWindowProc();
    FInnerEdit->SetOnChange(nullptr);
    FInnerEdit = nullptr;
  }
  if (!FIsInplace && FProperties) FProperties->SetDefaultValuesProvider(nullptr);
  FDataBinding.reset();
  FSavedStates.clear();
  if (FProperties) FProperties->OnPropertiesChanged = nullptr;
  FProperties.reset();
}

void TqvCustomEdit::AttachPropertiesHandler(TqvCustomEditProperties* AProperties) {
  AProperties->OnPropertiesChanged = [this](TObject* Sender) { ActivePropertiesChangedHandler(Sender); };
}

void TqvCustomEdit::Loaded() {
  inherited::Loaded();
  if (!FIsInplace) FDataBinding->EditLoaded();
  SetInnerControlBounds();
  if (!FRepositoryItem) AttachPropertiesHandler(FProperties.get());
  PropertiesChanged(GetActiveProperties());
  GetViewInfo()->Shadow = false;
  ContainerStyleChanged(GetStyle());
}

void TqvCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRepositoryItem) SetRepositoryItem(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Properties, style and repository item

TqvCustomEditProperties* TqvCustomEdit::GetActiveProperties() const {
  if (FRepositoryItem && !HasState(csReading | csWriting)) return FRepositoryItem->GetProperties();
  return FProperties.get();
}

void TqvCustomEdit::SetProperties(TqvCustomEditProperties* Value) {
  if (!FRepositoryItem) FProperties->Assign(Value);
}

TqvCustomEditStyle* TqvCustomEdit::GetStyle() const { return static_cast<TqvCustomEditStyle*>(inherited::GetStyle()); }

void TqvCustomEdit::SetStyle(TqvCustomEditStyle* Value) { inherited::SetStyle(Value); }

TqvCustomEditViewInfo* TqvCustomEdit::GetViewInfo() const {
  return static_cast<TqvCustomEditViewInfo*>(inherited::GetViewInfo());
}

TqvContainerStyleClass TqvCustomEdit::GetStyleClass() const { return GetPropertiesClass()->GetStyleClass(); }

TqvContainerViewInfoClass TqvCustomEdit::GetViewInfoClass() const { return GetPropertiesClass()->GetViewInfoClass(); }

TqvContainerStyleValues TqvCustomEdit::GetNotPublishedStyleValues() const {
  return csvBit(svButtonStyle) | csvBit(svButtonTransparency) | csvBit(svPopupBorderStyle);
}

bool TqvCustomEdit::IsRepositoryItemAcceptable(TqvEditRepositoryItem* AItem) {
  return !AItem || AItem->GetProperties()->InheritsFrom(GetPropertiesClass());
}

void TqvCustomEdit::SetRepositoryItem(TqvEditRepositoryItem* Value) {
  if (Value == FRepositoryItem) return;
  if (!IsRepositoryItemAcceptable(Value)) RaiseResourceError(&sqvEditRepositoryItemNotAcceptable);
  RepositoryItemChanging();
  if (FRepositoryItem) FRepositoryItem->RemoveListener(FRepositoryItemListener.get());
  FRepositoryItem = Value;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(FRepositoryItemListener.get());
    if (!IsLoadingOrDestroying()) PropertiesChanged(FRepositoryItem->GetProperties());
    FProperties->OnPropertiesChanged = nullptr;
  } else {
    if (!IsLoadingOrDestroying()) AttachPropertiesHandler(FProperties.get());
    FProperties->SetDefaultValuesProvider(FIsInplace ? nullptr : FDataBinding->GetDefaultValuesProvider());
  }
  RepositoryItemChanged();
}

void TqvCustomEdit::RepositoryItemRemoved() {
  FRepositoryItem = nullptr;  // the item is going away: no leaving it
  if (IsLoadingOrDestroying()) return;
  // The own properties serve again, and their changes reach the editor again.
  AttachPropertiesHandler(FProperties.get());
  if (!FIsInplace) FProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
  PropertiesChanged(FProperties.get());
}

void TqvCustomEdit::PropertiesChanged(TObject*) {
  FValidated = false;
  if (!IsInnerEditUnavailable()) FInnerEdit->SetReadOnly(GetActiveProperties()->GetReadOnly());
  RefreshContainerAtCursor(false);
}

void TqvCustomEdit::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) {
  GetActiveProperties()->PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
}

bool TqvCustomEdit::IsValidChar(char AChar) {
  IqvEditDefaultValuesProvider* provider = GetActiveProperties()->GetDefaultValuesProvider();
  return !provider || provider->IsValidChar(AChar);
}

// ---------------------------------------------------------------------------------------------
// Value, modified state and change events

Variant TqvCustomEdit::GetEditValue() { return FEditValue; }

void TqvCustomEdit::SetEditValue(const Variant& Value) {
  if (FInDoEditing) return;
  // A user change asks permission in InternalSetEditValue.
  InternalSetEditValue(Value, true);
}

void TqvCustomEdit::InternalSetEditValue(const Variant& Value, bool) {
  if (FUserChange && !DoEditing()) return;
  TqvCustomEditProperties* properties = GetActiveProperties();
  const bool changed = properties->CanCompareEditValue() && !VarEqualsExact(Value, FEditValue);
  FEditValue = Value;
  TAliveToken alive = AliveToken();
  SynchronizeDisplayValue();
  if (!alive) return;
  if (FUserChange)
    SetModifiedAfterEnter(true);
  else
    SetEditModified(false);
  if (!changed) return;
  DoEditValueChanged();
  if (alive && !GetActiveProperties()->IsValueChangeNotifiedByText()) DoChange();
}

void TqvCustomEdit::SetEditModified(bool Value) {
  FEditModified = Value;
  if (!Value) FModifiedAfterEnter = false;
}

void TqvCustomEdit::SetModifiedAfterEnter(bool Value) {
  FModifiedAfterEnter = Value;
  if (Value) {
    FValidated = false;
    FEditModified = true;
  }
}

void TqvCustomEdit::SaveModifiedState() { FSavedStates.push_back({FEditModified, FModifiedAfterEnter}); }

void TqvCustomEdit::RestoreModifiedState() {
  if (FSavedStates.empty()) return;
  FEditModified = FSavedStates.back().EditModified;
  FModifiedAfterEnter = FSavedStates.back().ModifiedAfterEnter;
  FSavedStates.pop_back();
}

void TqvCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock) {
  if (ALock) {
    if (FChangeEventsLockCount == 0) FChangePending = FEditValueChangedPending = false;
    ++FChangeEventsLockCount;
    return;
  }
  if (FChangeEventsLockCount <= 0) return;
  if (--FChangeEventsLockCount > 0 || !AInvokeChangedOnUnlock || IsLoadingOrDestroying()) return;
  TAliveToken alive = AliveToken();
  if (std::exchange(FChangePending, false) && GetActiveProperties()->OnChange) GetActiveProperties()->OnChange(this);
  if (!alive) return;
  if (std::exchange(FEditValueChangedPending, false) && GetActiveProperties()->OnEditValueChanged)
    GetActiveProperties()->OnEditValueChanged(this);
}

void TqvCustomEdit::DoChange() {
  if (IsLoadingOrDestroying()) return;
  TqvCustomEditProperties* properties = GetActiveProperties();
  TAliveToken alive = AliveToken();
  if (FChangeEventsLockCount > 0)
    FChangePending = true;
  else if (properties->OnChange)
    properties->OnChange(this);
  if (!alive) return;
  properties = GetActiveProperties();
  if (!properties->IsValueChangeNotifiedByText() && !properties->CanCompareEditValue()) DoEditValueChanged();
}

void TqvCustomEdit::DoEditValueChanged() {
  if (IsLoadingOrDestroying()) return;
  if (FChangeEventsLockCount > 0)
    FEditValueChangedPending = true;
  else if (GetActiveProperties()->OnEditValueChanged)
    GetActiveProperties()->OnEditValueChanged(this);
}

void TqvCustomEdit::InnerEditChange(TObject*) {
  if (Focused()) SetModifiedAfterEnter(true);
  DoChange();
}

// ---------------------------------------------------------------------------------------------
// Permission, validation, posting

bool TqvCustomEdit::DoEditing() {
  if (!CanStartEditing()) return false;
  if (FDataBinding->GetModified()) return true;
  TAliveToken alive = AliveToken();
  TValueScope inDoEditing(FInDoEditing, true, alive);
  bool canEdit = CanModify();
  if (canEdit && OnEditing) OnEditing(this, canEdit);
  if (!alive) return false;
  if (canEdit && !FIsInplace) canEdit = FDataBinding->SetEditMode();
  return canEdit;
}

bool TqvCustomEdit::CanModify() {
  TqvCustomEditProperties* properties = GetActiveProperties();
  if (FIsInplace) return properties->CanModify();
  if (properties->IsReadOnlyStored()) return !properties->GetReadOnly();
  IqvEditDefaultValuesProvider* provider = properties->GetDefaultValuesProvider();
  return (!provider || provider->DefaultCanModify()) && FDataBinding->CanModify();
}

bool TqvCustomEdit::ValidateEdit(bool ARaiseException) {
  if (!FModifiedAfterEnter || FValidated) return true;
  String text;
  GetDisplayValue(text);
  Variant displayValue = text;
  bool error = false;
  TCaption errorText;
  TqvCustomEditProperties* properties = GetActiveProperties();
  TAliveToken alive = AliveToken();
  if (properties->CanValidate()) properties->ValidateDisplayValue(displayValue, errorText, error, this);
  if (!alive) return false;
  if (error) {
    // No pending messages are processed here: a non-empty text raises out of
    // DoValidationError, and after an empty one (focus and beep only) running the message loop
    // would let queued input act on an editor that has just refused its value.
    if (ARaiseException) DoValidationError(errorText);
    return false;
  }
  FValidated = true;
  if (FUserChange && !DoEditing()) return true;
  SetValidatedDisplayValue(displayValue);
  if (alive && !FIsInplace && !Focused()) FModifiedAfterEnter = false;
  return true;
}

void TqvCustomEdit::DoValidationError(const String& AErrorText) {
  TAliveToken alive = AliveToken();
  if (!Focused() && GetVisible() && CanFocus()) {
    TValueScope focusLock(FFocusLock, true, alive);
    if (FInnerEdit && !IsInnerEditUnavailable())
      FInnerEdit->GetControl()->SetFocus();
    else
      SetFocus();
    if (alive) SelectAll();
  }
  if (!alive) return;
  if (GetActiveProperties()->GetBeepOnError()) MessageBeep(0);
  if (!AErrorText.empty()) throw Exception(AErrorText);
}

void TqvCustomEdit::SetValidatedDisplayValue(const Variant& Value) {
  TModifiedStateScope saved(this);
  InternalSetDisplayValue(Value);
}

bool TqvCustomEdit::CanPostEditValue() { return FDataBinding->GetModified() && !IsDesigning(); }

void TqvCustomEdit::PostEditValue() {
  TAliveToken alive = AliveToken();
  BeginPostEditValue();
  try {
    if (FIsInplace) {
      if (OnPostEditValue) OnPostEditValue(this);
      if (alive) SetEditModified(false);
    } else {
      FDataBinding->StoreEditValue(GetEditValue());
    }
  } catch (...) {
    if (alive) {
      EndPostEditValue();
      // The value stays modified and the error reaches the grid or the application, in place
      // as standalone.
      DoValidationError(String());
    }
    throw;
  }
  if (alive) EndPostEditValue();
}

void TqvCustomEdit::Reset() {
  if (!FModifiedAfterEnter || !GetActiveProperties()->CanRevertEditValue()) return;
  TAliveToken alive = AliveToken();
  TChangeEventsScope locked(this);
  FModifiedAfterEnter = false;
  SetEditValue(FSavedValue);
  if (!alive) return;
  SetEditModified(true);
  SelectAll();
  if (alive && GetActiveProperties()->GetImmediatePost() && CanPostEditValue()) PostEditValue();
}

// ---------------------------------------------------------------------------------------------
// Error message

void TqvCustomEdit::PostEditError(const String& AText) {
  if (!HandleAllocated()) throw Exception(AText);  // no window to defer it to
  const WPARAM id = FNextErrorId++;
  FPendingErrors.emplace_back(id, AText);
  PostMessage(GetHandle(), WM_QV_EDITERROR, id, 0);
}

void TqvCustomEdit::WMEditError(TMessage& Message) {
  auto it = std::find_if(FPendingErrors.begin(), FPendingErrors.end(),
                         [&](const auto& AEntry) { return AEntry.first == Message.WParam; });
  if (it == FPendingErrors.end()) return;  // not posted by this editor
  String text = std::move(it->second);
  FPendingErrors.erase(it);
  throw Exception(text);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TqvCustomEdit::IsClickKey(Word Key, TShiftState Shift) {
  return GetViewInfo()->GetButtonCount() > 0 && ShortCut(Key, Shift) == GetActiveProperties()->GetClickKey();
}

void TqvCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  if (!IsClickKey(Key, Shift)) inherited::KeyDown(Key, Shift);
  if (alive && Key != 0) DoEditKeyDown(Key, Shift);
}

void TqvCustomEdit::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  inherited::KeyPress(Key);
  if (alive && Key != 0) DoEditKeyPress(Key);
}

void TqvCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyUp(Key, Shift);
  if (alive && Key != 0) DoEditKeyUp(Key, Shift);
}

void TqvCustomEdit::DoAfterKeyDown(Word& Key, TShiftState Shift) {
  if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
}

void TqvCustomEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  TqvCustomEditProperties* properties = GetActiveProperties();
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (shortCut != 0 && shortCut == properties->GetClearKey()) {
    TValueScope userChange(FUserChange, true, alive);
    SetEditValue(Null());
    Key = 0;
  }
  if (!alive) return;
  if (Key != 0 && GetViewInfo()->GetButtonCount() > 0 && shortCut == properties->GetClickKey()) {
    MSG msg;
    while (HandleAllocated() && PeekMessage(&msg, GetHandle(), WM_CHAR, WM_CHAR, PM_REMOVE))
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
    ClickDefaultButton();
    Key = 0;
  }
  if (!alive || Key == 0) return;
  if (!ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (!alive) return;
  properties = GetActiveProperties();
  switch (Key) {
    case VK_TAB:
      if (Focused() && !(Shift & (ssAlt | ssCtrl)) && !properties->WantsTabKey()) {
        DoAfterKeyDown(Key, Shift);
        if (!alive || Key == 0) return;
        Key = 0;
        if (FIsInplace || !HasPopupWindow())
          if (TCustomForm* form = GetParentForm(this))
            form->SelectNext(IsInnerControlActive() ? GetInnerControl() : this, !(Shift & ssShift), true);
        if (alive && HandleAllocated() && GetFocus() == GetHandle() && FInnerEdit && !IsInnerEditUnavailable())
          FInnerEdit->GetControl()->SetFocus();
      }
      return;
    case VK_RETURN:
      if (properties->GetValidateOnEnter()) {
        Key = 0;
        TChangeEventsScope locked(this);
        if (ValidateEdit(true) && alive && CanPostEditValue()) PostEditValue();
      }
      break;
    case VK_ESCAPE:
      if (FEditModified) {
        Reset();
        Key = 0;
      }
      break;
    default: break;
  }
  if (!alive) return;
  if (Key >= VK_PRIOR && Key <= VK_DOWN && !GetActiveProperties()->WantsNavigationKeys()) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
  }
}

bool TqvCustomEdit::ValidateKeyDown(Word& Key, TShiftState Shift) {
  return FDataBinding->GetModified() || !CanKeyDownModifyEdit(Key, Shift) || DoEditing();
}

bool TqvCustomEdit::ValidateKeyPress(char& Key) {
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) Key = 0;
  if (Key != 0 && CanKeyPressModifyEdit(Key) && !FDataBinding->GetModified() && !DoEditing()) Key = 0;
  return Key != 0;
}

// ---------------------------------------------------------------------------------------------
// Focus

bool TqvCustomEdit::IsActiveControl() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TWinControl* active = form->GetActiveControl();
  return active == this || (active && active == GetInnerControl());
}

bool TqvCustomEdit::IsInnerControlActive() {
  TCustomForm* form = GetParentForm(this);
  return form && GetInnerControl() && form->GetActiveControl() == GetInnerControl();
}

void TqvCustomEdit::GetTabOrderList(std::vector<TWinControl*>& List) {
  inherited::GetTabOrderList(List);
  if (!CanFocus() || !IsInnerControlActive()) return;
  auto self = std::find(List.rbegin(), List.rend(), static_cast<TWinControl*>(this));
  if (self == List.rend()) return;
  *self = GetInnerControl();
  // The inner edit's own entry, after the editor's, goes.
  List.erase(std::remove(self.base(), List.end(), GetInnerControl()), List.end());
}

void TqvCustomEdit::DoEnter() {
  if (IsDestroying() || FFocusLock) return;
  TAliveToken alive = AliveToken();
  {
    TModifiedStateScope saved(this);
    inherited::DoEnter();
    if (!alive) return;
    FDataBinding->UpdateDisplayValue();
    if (GetActiveProperties()->CanRevertEditValue()) FSavedValue = GetEditValue();
    SynchronizeDisplayValue();
  }
  if (!alive) return;
  FModifiedAfterEnter = false;
  RefreshContainerAtCursor(false);
}

void TqvCustomEdit::DoExit() {
  if (IsDestroying() || FFocusLock) return;
  ExitHandling();
}

void TqvCustomEdit::ExitHandling() {
  TAliveToken alive = AliveToken();
  {
    TModifiedStateScope saved(this);
    if (FModifiedAfterEnter) {
      TChangeEventsScope locked(this);
      if (!ValidateEdit(true)) return;  // an empty error text: the editor stays as it was
      if (alive && !FIsInplace && CanPostEditValue()) PostEditValue();
    }
    if (!alive) return;
    FDataBinding->UpdateDisplayValue();
    UpdateDisplayedText();
    RefreshContainerAtCursor(false);
  }
  if (!alive) return;
  inherited::DoExit();
  if (alive) FModifiedAfterEnter = false;
}

void TqvCustomEdit::FocusChanged() {
  if (IsDestroying() || FFocusLock) return;
  const bool focused = Focused() && (!Application || Application->GetActive());
  if (focused == FLastFocused) return;
  FLastFocused = focused;
  TAliveToken alive = AliveToken();
  inherited::FocusChanged();
  if (!alive) return;
  UpdateDisplayedText();
  TCustomForm* form = GetParentForm(this);
  if (alive && form && !form->GetVisible() && (form->GetFormState() & fsModal) && form->GetModalResult() != 0 &&
      form->GetModalResult() != mrCancel)
    ValidateEdit(false);
}

void TqvCustomEdit::SetFocus() {
  if (IsDesigning() || Focused()) return;
  TAliveToken alive = AliveToken();
  inherited::SetFocus();
  if (!alive) return;
  TWinControl* inner = GetInnerControl();
  if (inner && inner->HandleAllocated() && HandleAllocated() && GetFocus() == GetHandle())
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(inner);
}

void TqvCustomEdit::CreateHandle() {
  inherited::CreateHandle();
  TWinControl* inner = GetInnerControl();
  if (inner && GetFocus() == GetHandle() && inner->CanFocus()) inner->SetFocus();
}

// ---------------------------------------------------------------------------------------------
// Mouse and buttons

bool TqvCustomEdit::IsMouseCaptured() { return HandleAllocated() && GetCapture() == GetHandle(); }

Integer TqvCustomEdit::GetButtonIndexAt(const TPoint& P) const {
  TqvCustomEditViewInfo* viewInfo = GetViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i)
    if (viewInfo->GetButton(i)->Bounds.Contains(P)) return i;
  return -1;
}

void TqvCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  if (Button == mbLeft && FClickTimer && FClickTimer->GetEnabled()) {
    FClickTimer->SetEnabled(false);
    if (GetButtonIndexAt({X, Y}) < 0) DblClick();
    if (!alive) return;
  }
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft || !IsMouseCaptured()) return;
  const Integer index = GetButtonIndexAt({X, Y});
  if (index >= 0 && GetViewInfo()->GetButton(index)->State == ebbsPressed) FCaptureButtonIndex = index;
}

void TqvCustomEdit::DblClick() {
  const TPoint p = ScreenToClient(GetCursorScreenPos());
  if (GetButtonIndexAt(p) < 0) {
    inherited::DblClick();
    return;
  }
  TAliveToken alive = AliveToken();
  MouseDown(mbLeft, GetCurrentShiftState() | ssLeft, p.X, p.Y);
  if (alive) Click();
}

void TqvCustomEdit::Click() {
  if (IsDestroying()) return;
  if (HasState(csLoading) && !CanClickWhileLoading()) return;
  inherited::Click();
}

void TqvCustomEdit::MouseLeave(TControl* AControl) {
  TAliveToken alive = AliveToken();
  inherited::MouseLeave(AControl);
  if (!alive) return;
  TqvCustomEditViewInfo* viewInfo = GetViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
    TqvEditButtonViewInfo* button = viewInfo->GetButton(i);
    if (button->State != ebbsHot) continue;
    button->State = ebbsNormal;
    InvalidateRect(button->Bounds, false);
  }
}

void TqvCustomEdit::ClickDefaultButton() {
  TqvCustomEditViewInfo* viewInfo = GetViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i)
    if (viewInfo->GetButton(i)->Default) {
      DoButtonClick(i);
      return;
    }
}

void TqvCustomEdit::DoButtonClick(Integer AButtonVisibleIndex) {
  TqvCustomEditProperties* properties = GetActiveProperties();
  if (properties->OnButtonClick)
    properties->OnButtonClick(this, GetViewInfo()->GetButton(AButtonVisibleIndex)->ButtonIndex);
}

void TqvCustomEdit::ProcessButtonsStateChange(TqvCustomEditViewInfo* AOldViewInfo) {
  TqvCustomEditViewInfo* viewInfo = GetViewInfo();
  const Integer oldPressed = AOldViewInfo->PressedButtonIndex;
  const Integer pressed = viewInfo->PressedButtonIndex;
  if (oldPressed == pressed && AOldViewInfo->HotButtonIndex == viewInfo->HotButtonIndex) return;
  TAliveToken alive = AliveToken();
  if (oldPressed >= 0) {
    DoButtonUp(oldPressed);
    if (alive && viewInfo->HotButtonIndex == oldPressed) DoButtonClick(oldPressed);
  }
  if (alive && pressed >= 0 && oldPressed < 0) DoButtonDown(pressed);
}

// ---------------------------------------------------------------------------------------------
// View refresh and sizing

TOwned<TqvCustomEditViewData> TqvCustomEdit::CreateViewData() {
  TOwned<TqvCustomEditViewData> viewData = GetActiveProperties()->CreateViewData(GetStyle(), FIsInplace);
  // The view data asks the live editor for its capture and pressed button, with or without an
  // inner edit; only a grid cell has no editor.
  viewData->Edit = this;
  if (HandleAllocated()) viewData->WindowHandle = GetHandle();
  return viewData;
}

void TqvCustomEdit::InitializeViewData(TqvCustomEditViewData* AViewData) {
  AViewData->Enabled = GetEnabled();
  AViewData->Focused = Focused();
  AViewData->HScrollBar = IsHScrollBarVisible() ? GetHScrollBar() : nullptr;
  AViewData->VScrollBar = IsVScrollBarVisible() ? GetVScrollBar() : nullptr;
  AViewData->InnerEdit = FInnerEdit;
  AViewData->IsDesigning = IsDesigning();
}

bool TqvCustomEdit::IsInnerEditUnavailable() {
  return !FInnerEdit || !FInnerEdit->GetControl() || FInnerEdit->GetControl()->HasState(csDestroying);
}

bool TqvCustomEdit::RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) {
  if (!HandleAllocated() || IsDestroying() || !GetViewInfo()) return false;
  if (FCaptureButtonIndex >= 0 && !IsMouseCaptured()) FCaptureButtonIndex = -1;
  TOwned<TqvCustomEditViewInfo> copy;
  if (AIsMouseEvent) {
    copy.reset(static_cast<TqvCustomEditViewInfo*>(FProperties->GetViewInfoClass()->Create()));
    copy->Assign(GetViewInfo());
  }
  TOwned<TqvCustomEditViewData> viewData = CreateViewData();
  InitializeViewData(viewData.get());
  viewData->Calculate(GetCanvas(), GetControlRect(this), P, Button, Shift, GetViewInfo(), AIsMouseEvent);
  const bool showsInner = !IsInnerEditUnavailable() && CanShowInnerEdit();
  const bool changed = GetViewInfo()->Repaint(this, copy.get(), showsInner ? &GetViewInfo()->InnerEditRect : nullptr);
  if (copy && !changed) return false;
  TAliveToken alive = AliveToken();
  SetInnerControlBounds();
  if (!alive) return false;
  {
    TValueScope repainting(FRepainting, true, alive);
    UpdateWindowRegion();
  }
  if (alive && copy) ProcessButtonsStateChange(copy.get());
  return true;
}

void TqvCustomEdit::RefreshContainerAtCursor(bool AIsMouseEvent) {
  if (!HandleAllocated() || IsDestroying()) return;
  RefreshContainer(ScreenToClient(GetCursorScreenPos()), cmbNone, GetCurrentShiftState(), AIsMouseEvent);
}

void TqvCustomEdit::CalculateViewInfoAtCursor() {
  if (!HandleAllocated() || IsDestroying()) return;
  TOwned<TqvCustomEditViewData> viewData = CreateViewData();
  InitializeViewData(viewData.get());
  viewData->Calculate(GetCanvas(), GetControlRect(this), ScreenToClient(GetCursorScreenPos()), cmbNone,
                      GetCurrentShiftState(), GetViewInfo(), false);
}

TqvEditSizeProperties TqvCustomEdit::GetAutoSizeConstraints() {
  TqvEditSizeProperties size;
  size.MaxLineCount = 1;
  size.Width = GetWidth();
  return size;
}

void TqvCustomEdit::SetInnerControlBounds() {
  if (!HandleAllocated() || !GetViewInfo()) return;
  if (FAutoSize && CanAutoSize()) {
    const TSize size = GetActiveProperties()->GetEditSize(GetCanvas(), GetStyle(), FIsInplace, GetEditValue(),
                                                          GetAutoSizeConstraints());
    const Integer width = CanAutoWidth() ? size.cx : GetWidth();
    if (size.cy > 0 && (width != GetWidth() || size.cy != GetHeight())) SetBounds(GetLeft(), GetTop(), width, size.cy);
  }
  if (FInnerEdit) AdjustInnerEditPosition();
}

void TqvCustomEdit::AdjustInnerEditPosition() {
  if (IsInnerEditUnavailable()) return;
  const TRect& r = GetViewInfo()->InnerEditRect;
  FInnerEdit->GetControl()->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  AdjustInnerControl();
}

bool TqvCustomEdit::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool result = inherited::CanResize(NewWidth, NewHeight);
  if (FAutoSize && CanAutoSize() && !HasState(csLoading)) {
    const TSize size = GetActiveProperties()->GetEditSize(GetCanvas(), GetStyle(), FIsInplace, GetEditValue(),
                                                          GetAutoSizeConstraints());
    if (size.cy > 0) NewHeight = size.cy;
  }
  return result;
}

void TqvCustomEdit::SetAutoSize(bool Value) {
  if (FIsInplace || Value == FAutoSize) return;
  FAutoSize = Value;
  if (!Value) return;
  SetInnerControlBounds();
  RefreshContainerAtCursor(false);
}

void TqvCustomEdit::GetVisibleBounds(TRect& R) {
  R = GetEditHotArea(GetViewInfo(), GetViewInfo()->Bounds);
}

bool TqvCustomEdit::CanUseMouseWheel(TShiftState Shift) {
  return !FIsInplace || GetActiveProperties()->GetUseMouseWheel() || (Shift & ssCtrl);
}

void TqvCustomEdit::ThemeChanged() {
  ResetSolidBrushCache();
  inherited::ThemeChanged();
}

void TqvCustomEdit::Paint() { GetViewInfo()->Draw(GetCanvas()); }

// ---------------------------------------------------------------------------------------------
// Inner edit

IqvCustomInnerEdit* TqvCustomEdit::CreateInnerEdit() {
  TqvInnerEditClass innerClass = GetInnerEditClass();
  if (!innerClass) return nullptr;
  return dynamic_cast<IqvCustomInnerEdit*>(innerClass->Create(this));
}

void TqvCustomEdit::InitializeInnerEdit() {
  FInnerEdit->SetParent(this);
  FInnerEdit->SetOnChange([this](TObject* Sender) { InnerEditChange(Sender); });
}

void TqvCustomEdit::InnerEditWindowProc(TMessage& Message) {
  if (FPrevInnerEditWindowProc) FPrevInnerEditWindowProc(Message);
}

void TqvCustomEdit::HookInnerEditWindowProc() {
  if (IsInnerEditUnavailable() || FInnerEditHooked) return;
  TWinControl* control = FInnerEdit->GetControl();
  FPrevInnerEditWindowProc = control->WindowProc;
  control->WindowProc = [this](TMessage& Message) { InnerEditWindowProc(Message); };
  FInnerEditHooked = true;
}

void TqvCustomEdit::UnhookInnerEditWindowProc() {
  if (!FInnerEditHooked) return;
  FInnerEditHooked = false;
  if (!IsInnerEditUnavailable()) FInnerEdit->GetControl()->WindowProc = std::move(FPrevInnerEditWindowProc);
  FPrevInnerEditWindowProc = nullptr;
}

// ---------------------------------------------------------------------------------------------
// In-place activation

void TqvCustomEdit::Activate(TqvCustomEditData*& AEditData) {
  if (!AEditData && GetEditDataClass()) AEditData = GetEditDataClass()->Create(this);
  FEditData = AEditData;
  TAliveToken alive = AliveToken();
  if (FEditData && FEditData->GetCleared()) {
    ResetEditData();
    FEditData->SetCleared(false);
  }
  SetVisible(true);
  if (!alive) return;
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (alive && GetActiveProperties()->GetAutoSelect()) SelectAll();
  }
  if (!alive) return;
  SynchronizeDisplayValue();
  if (alive) SetEditModified(false);
}

void TqvCustomEdit::ActivateByKey(char AKey, TqvCustomEditData*& AEditData) {
  HookInnerEditWindowProc();
  TFinally unhook([this] { UnhookInnerEditWindowProc(); });
  Activate(AEditData);
  if (CanPassActivationKey(AKey)) SendCharToEdit(this, AKey);
}

void TqvCustomEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  Activate(AEditData);
  if (!alive) return;
  ReplayMouse(Shift, X, Y);
  if (alive && FClickTimer) FClickTimer->SetEnabled(true);
}

void TqvCustomEdit::ReplayMouse(TShiftState Shift, Integer X, Integer Y) {
  TWinControl* parent = GetParent();
  TPoint p{X, Y};
  if (parent) p = ScreenToClient(parent->ClientToScreen(p));
  const UINT msg = (Shift & ssLeft) ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  const LPARAM pos = (static_cast<LPARAM>(static_cast<Word>(p.Y)) << 16) | static_cast<Word>(p.X);
  SendMessage(GetHandle(), msg, ShiftStateToMouseKeys(Shift), pos);
}

bool TqvCustomEdit::Deactivate() {
  const bool valid = ValidateEdit(true);
  if (valid) SynchronizeDisplayValue();
  return valid;
}

// ---------------------------------------------------------------------------------------------
// Messages, menu, actions

void TqvCustomEdit::WMClipboard(TMessage& Message) {
  TAliveToken alive = AliveToken();
  switch (Message.Msg) {
    case WM_COPY: CopyToClipboard(); break;
    case WM_CUT: {
      TValueScope userChange(FUserChange, true, alive);
      if (GetActiveProperties()->GetReadOnly())
        CopyToClipboard();
      else
        CutToClipboard();
      break;
    }
    case WM_PASTE:
      if (!GetActiveProperties()->GetReadOnly()) {
        TValueScope userChange(FUserChange, true, alive);
        PasteFromClipboard();
      }
      break;
    default: break;
  }
}

void TqvCustomEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCCALCSIZE && FRepainting) {
    Message.Result = 0;
    return;
  }
  inherited::WndProc(Message);
}

void TqvCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COPY:
    case WM_CUT:
    case WM_PASTE: WMClipboard(Message); return;
    case WM_QV_EDITERROR: WMEditError(Message); return;
    case CM_SHOWINGCHANGED:
      inherited::Dispatch(Message);
      if (GetShowing()) SetInnerControlBounds();
      return;
    case CM_SYSCOLORCHANGE:
      ResetSolidBrushCache();
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}

TPopupMenu* TqvCustomEdit::GetPopupMenu() {
  if (TPopupMenu* menu = inherited::GetPopupMenu()) return menu;
  FreeAndNil(FDefaultPopupMenu);
  FDefaultPopupMenu = GetDefaultPopupMenu();
  return FDefaultPopupMenu;
}

bool TqvCustomEdit::ExecuteAction(TBasicAction* Action) {
  return inherited::ExecuteAction(Action) || FDataBinding->ExecuteAction(Action);
}

bool TqvCustomEdit::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action) || FDataBinding->UpdateAction(Action);
}

TqvEditDataBindingClass TqvCustomEdit::GetDataBindingClass() const { return &TqvEditDataBinding::StaticClass(); }
