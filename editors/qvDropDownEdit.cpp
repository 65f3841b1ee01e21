// The drop-down edit: its properties, its view data and the control that opens, closes and feeds
// its popup window.
#include "editors/qvDropDownEdit.h"

#include "platform/forms/Forms.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomDropDownEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomDropDownEditViewData)
QJ_IMPLEMENT_CLASS(TqvCustomDropDownEditData)
QJ_IMPLEMENT_CLASS(TqvCustomDropDownInnerEdit)
QJ_IMPLEMENT_CLASS(TqvCustomDropDownEdit)

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomDropDownEditProperties::TqvCustomDropDownEditProperties(TPersistent* AOwner)
    : TqvCustomMaskEditProperties(AOwner) {
  GetButtons()->Add()->SetKind(bkDown);
}

TqvCustomEditClass TqvCustomDropDownEditProperties::ContainerClass() { return &TqvCustomDropDownEdit::StaticClass(); }

TqvCustomEditViewDataClass TqvCustomDropDownEditProperties::ViewDataClass() {
  return &TqvCustomDropDownEditViewData::StaticClass();
}

TqvCustomEditPopupWindowClass TqvCustomDropDownEditProperties::GetPopupWindowClass() const {
  return &TqvCustomEditPopupWindow::StaticClass();
}

void TqvCustomDropDownEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomDropDownEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetButtonGlyph(source->GetButtonGlyph());
  SetImmediateDropDown(source->FImmediateDropDown);
  SetImmediatePopup(source->FImmediatePopup);
  SetPopupAlignment(source->FPopupAlignment);
  SetPopupAutoSize(source->FPopupAutoSize);
  SetPopupClientEdge(source->FPopupClientEdge);
  SetPopupHeight(source->FPopupHeight);
  SetPopupMinHeight(source->FPopupMinHeight);
  SetPopupMinWidth(source->FPopupMinWidth);
  SetPopupSizeable(source->FPopupSizeable);
  SetPopupSysPanelStyle(source->FPopupSysPanelStyle);
  SetPopupWidth(source->FPopupWidth);
  OnCloseQuery = source->OnCloseQuery;
  OnCloseUp = source->OnCloseUp;
  OnInitPopup = source->OnInitPopup;
  OnPopup = source->OnPopup;
}

void TqvCustomDropDownEditProperties::UpdateGlyphButtonKind(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetButtons()->GetCount()) return;
  TqvEditButton* button = GetButtons()->GetItem(AIndex);
  TBitmap* glyph = button->FindGlyph();
  const bool hasGlyph = glyph && !glyph->GetEmpty();
  if (hasGlyph)
    button->SetKind(bkGlyph);
  else if (button->GetKind() == bkGlyph)
    button->SetKind(bkDown);
}

void TqvCustomDropDownEditProperties::Changed() {
  if (FChanging) return;
  TValueScope changing(FChanging, true);
  if (!IsChangedLocked()) UpdateGlyphButtonKind(GetDropDownButtonIndex());
  inherited::Changed();
}

TBitmap* TqvCustomDropDownEditProperties::GetButtonGlyph() const {
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= GetButtons()->GetCount()) return nullptr;
  return GetButtons()->GetItem(FGlyphButtonIndex)->GetGlyph();
}

void TqvCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value) {
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= GetButtons()->GetCount()) return;
  GetButtons()->GetItem(FGlyphButtonIndex)->SetGlyph(Value);
  UpdateGlyphButtonKind(FGlyphButtonIndex);
}

void TqvCustomDropDownEditProperties::SetGlyphButtonIndex(Integer Value) {
  if (Value == FGlyphButtonIndex || Value < 0) return;
  TqvEditButtons* buttons = GetButtons();
  TOwned<TBitmap> glyph = MakeOwned<TBitmap>();
  const bool hadOld = FGlyphButtonIndex >= 0 && FGlyphButtonIndex < buttons->GetCount();
  if (hadOld) {
    if (TBitmap* old = buttons->GetItem(FGlyphButtonIndex)->FindGlyph()) glyph->Assign(old);
    buttons->GetItem(FGlyphButtonIndex)->SetGlyph(nullptr);
    UpdateGlyphButtonKind(FGlyphButtonIndex);
  }
  FGlyphButtonIndex = Value;
  if (Value < buttons->GetCount()) {
    buttons->GetItem(Value)->SetGlyph(glyph.get());
    buttons->GetItem(Value)->SetKind(bkGlyph);
  }
}

void TqvCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value) { SetValue(FPopupAlignment, Value); }
void TqvCustomDropDownEditProperties::SetPopupClientEdge(bool Value) { SetValue(FPopupClientEdge, Value); }
void TqvCustomDropDownEditProperties::SetPopupSizeable(bool Value) { SetValue(FPopupSizeable, Value); }
void TqvCustomDropDownEditProperties::SetPopupSysPanelStyle(bool Value) { SetValue(FPopupSysPanelStyle, Value); }

void TqvCustomDropDownEditProperties::SetPopupWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (Value > 0 && Value < FPopupMinWidth) Value = FPopupMinWidth;
  FPopupWidth = Value;
}

void TqvCustomDropDownEditProperties::SetPopupHeight(Integer Value) {
  if (Value < FPopupMinHeight) Value = FPopupMinHeight;
  FPopupHeight = Value;
}

void TqvCustomDropDownEditProperties::SetPopupMinWidth(Integer Value) {
  FPopupMinWidth = std::max<Integer>(Value, 0);
  SetPopupWidth(FPopupWidth);
}

void TqvCustomDropDownEditProperties::SetPopupMinHeight(Integer Value) {
  FPopupMinHeight = std::max<Integer>(Value, 0);
  SetPopupHeight(FPopupHeight);
}

// ---------------------------------------------------------------------------------------------
// View data

bool TqvCustomDropDownEditViewData::CanPressButton(TqvCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) {
  if (AButtonVisibleIndex == GetProperties()->GetDropDownButtonIndex() && ButtonPressedWhileOpen) return false;
  return inherited::CanPressButton(AViewInfo, AButtonVisibleIndex);
}

void TqvCustomDropDownEditViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                              TqvMouseButton AButton, TShiftState AShift,
                                              TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TqvCustomTextEditViewInfo*>(AViewInfo);
  TqvCustomTextEdit* edit = GetTextEdit();
  const bool findSelection = edit && GetProperties()->GetIncrementalSearch() && edit->GetFindSelection();
  viewInfo->DrawSelected = !IsInplace && GetProperties()->GetEditingStyle() == esFixedList && Focused &&
                           !viewInfo->Transparent && !IsPopupOpen && !findSelection;
}

// ---------------------------------------------------------------------------------------------
// Inner edit

void TqvCustomDropDownInnerEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_HINTSHOW) {
    if (TqvCustomTextEdit* container = GetContainer(); container && container->HasPopupWindow()) {
      Message.Result = 1;
      return;
    }
  }
  inherited::Dispatch(Message);
  if (Message.Msg == WM_KEYUP && Message.WParam == VK_MENU && GetCurrentShiftState() == 0 && HandleAllocated()) {
    // Alt released: characters it produced must not reach the text.
    MSG m;
    while (PeekMessage(&m, GetHandle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Drop-down edit

TqvCustomDropDownEdit::TqvCustomDropDownEdit(TComponent* AOwner, bool AIsInplace)
    : TqvCustomMaskEdit(AOwner, AIsInplace) {}

TqvCustomDropDownEdit::~TqvCustomDropDownEdit() {
  FPopupLookAndFeel.reset();
  FPopupWindow.reset();
}

TqvCustomEditPropertiesClass TqvCustomDropDownEdit::PropertiesClass() {
  return &TqvCustomDropDownEditProperties::StaticClass();
}

void TqvCustomDropDownEdit::AfterConstruction() {
  inherited::AfterConstruction();
  if (!IsDesigning()) CreatePopupWindow();
  FPopupLookAndFeel = MakeOwned<TqvEditPopupControlLookAndFeel>(this);
}

void TqvCustomDropDownEdit::BeforeDestruction() {
  if (IqvTextEditLookupData* lookup = GetILookupData()) lookup->OwnerDestroying();
  if (FPopupWindow) {
    FPopupWindow->OnCloseQuery = nullptr;
    FPopupWindow->OnClosed = nullptr;
    FPopupWindow->OnClosing = nullptr;
    FPopupWindow->OnShowed = nullptr;
    FPopupWindow->OnShowing = nullptr;
    FPopupWindow->CloseUp(false);
  }
  inherited::BeforeDestruction();
}

void TqvCustomDropDownEdit::CreatePopupWindow() {
  TqvCustomEditPopupWindowClass windowClass = GetProperties()->GetPopupWindowClass();
  FPopupWindow.reset(static_cast<TqvCustomEditPopupWindow*>(windowClass->Create(this)));
  FPopupWindow->FreeNotification(this);
  FPopupWindow->SetIsModal(false);
  FPopupWindow->SetCaptureFocus(GetProperties()->PopupWindowTakesFocus());
  FPopupWindow->SetIsTopMost(!IsInplace());
  FPopupWindow->SetBiDiMode(GetBiDiMode());
  FPopupWindow->OnCloseQuery = [this](TObject* Sender, bool& CanClose) { PopupWindowCloseQuery(Sender, CanClose); };
  FPopupWindow->OnClosed = [this](TObject* Sender) { PopupWindowClosed(Sender); };
  FPopupWindow->OnClosing = [this](TObject* Sender) { PopupWindowClosing(Sender); };
  FPopupWindow->OnShowed = [this](TObject* Sender) { PopupWindowShowed(Sender); };
  FPopupWindow->OnShowing = [this](TObject* Sender) { PopupWindowShowing(Sender); };
}

bool TqvCustomDropDownEdit::HasPopupWindow() const { return FPopupWindow && FPopupWindow->IsOpen(); }

void TqvCustomDropDownEdit::SetDroppedDown(bool Value) {
  if (Value == HasPopupWindow()) return;
  if (Value)
    DropDown();
  else
    CloseUp(false);
}

TqvCustomDropDownEditData* TqvCustomDropDownEdit::GetDropDownEditData() const {
  return IsInplace() ? As<TqvCustomDropDownEditData>(GetEditData()) : nullptr;
}

TqvEditDataClass TqvCustomDropDownEdit::GetEditDataClass() const { return &TqvCustomDropDownEditData::StaticClass(); }

TqvInnerEditClass TqvCustomDropDownEdit::GetInnerEditClass() const {
  return &TqvCustomDropDownInnerEdit::StaticClass();
}

void TqvCustomDropDownEdit::DoInitPopup() {
  if (TqvCustomDropDownEditProperties* properties = GetProperties(); properties->OnInitPopup)
    properties->OnInitPopup(this);
}

void TqvCustomDropDownEdit::DoPopup() {
  if (TqvCustomDropDownEditProperties* properties = GetProperties(); properties->OnPopup) properties->OnPopup(this);
}

void TqvCustomDropDownEdit::DropDown() {
  if (!FPopupWindow || HasPopupWindow()) return;
  TAliveToken alive = AliveToken();
  DoInitPopup();
  if (!alive || !CanDropDown()) return;
  if (GetProperties()->UseLookupData() && GetILookupData()) GetILookupData()->DropDown();
  if (!alive) return;
  PositionPopupWindow();
  if (!alive) return;
  FPopupWindow->HandleNeeded();
  PostMessage(FPopupWindow->GetHandle(), WM_QV_POPUPSHOW, reinterpret_cast<WPARAM>(GetPopupFocusedControl()), 0);
}

TWinControl* TqvCustomDropDownEdit::GetPopupFocusedControl() {
  TWinControl* control = As<TWinControl>(GetInnerControl());
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (GetILookupData() && properties->PopupShowsLookupData() && properties->PopupWindowTakesFocus())
    if (TWinControl* list = GetILookupData()->GetList()) control = list;
  return control;
}

void TqvCustomDropDownEdit::InitPopupLookupData() {
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (GetILookupData() && !IsDesigning() && properties->PopupShowsLookupData() && FPopupWindow)
    GetILookupData()->InitializeList(FPopupWindow.get());
}

void TqvCustomDropDownEdit::InitPopupWindow() {
  TqvCustomDropDownEditProperties* properties = GetProperties();
  TqvCustomEditPopupWindow* popup = FPopupWindow.get();
  popup->SetOwnerRectParent(this);
  popup->SetOwnerRect(GetEditPopupAlignRect(GetViewInfo()));
  switch (properties->GetPopupAlignment()) {
    case taLeftJustify: popup->SetHorzAlign(phaLeft); break;
    case taRightJustify: popup->SetHorzAlign(phaRight); break;
    case taCenter: popup->SetHorzAlign(phaCenter); break;
  }
  popup->SetClientEdge(properties->GetPopupClientEdge());
  popup->SetMinHeight(properties->GetPopupMinHeight());
  popup->SetMinWidth(properties->GetPopupMinWidth());
  popup->SetPopupAutoSize(properties->GetPopupAutoSize());
  popup->SetSizeable(properties->GetPopupSizeable());
  popup->SetSysPanelStyle(properties->GetPopupSysPanelStyle());
  TqvCustomDropDownEditData* data = GetDropDownEditData();
  if (data && properties->GetPopupSizeable()) {
    popup->SetPopupWidth(data->Width);
    popup->SetPopupHeight(data->Height);
  } else {
    popup->SetPopupWidth(properties->GetPopupWidth());
    popup->SetPopupHeight(properties->GetPopupHeight());
  }
  popup->SetHasCloseButton(GetStyle()->GetPopupCloseButton());
  popup->SetBorderStyle(GetViewInfo()->PopupBorderStyle);
  popup->SetNativeStyle(GetViewInfo()->NativeStyle);
  popup->SetShadow(GetViewInfo()->Shadow);
}

void TqvCustomDropDownEdit::PositionPopupContent(const TRect& AClientRect) {
  if (GetILookupData() && GetProperties()->PopupShowsLookupData()) GetILookupData()->PositionList(AClientRect);
}

void TqvCustomDropDownEdit::PositionPopupWindow() {
  TqvCustomEditPopupWindow* popup = FPopupWindow.get();
  TAliveToken alive = AliveToken();
  popup->SetCaptureFocus(GetProperties()->PopupWindowTakesFocus());
  InitPopupLookupData();
  if (!alive) return;
  InitPopupWindow();
  popup->CalculateSize();
  TPoint p;
  popup->CalculatePosition(p);
  popup->SetBounds(p.X, p.Y, popup->GetWidth(), popup->GetHeight());
  popup->RecalculatePopup();
  PositionPopupContent(popup->GetViewInfo()->ClientRect);
  if (TCustomForm* form = GetParentForm(this)) {
    popup->SetAlphaBlend(form->GetAlphaBlend());
    popup->SetAlphaBlendValue(form->GetAlphaBlendValue());
    popup->SetTransparentColor(form->GetTransparentColor());
    popup->SetTransparentColorValue(form->GetTransparentColorValue());
  }
}

void TqvCustomDropDownEdit::CloseUp(bool AAccept) {
  if (!HasPopupWindow()) return;
  TAliveToken alive = AliveToken();
  TqvCustomDropDownEditProperties* properties = GetProperties();
  {
    TChangeEventsScope locked(this);
    IqvTextEditLookupData* lookup = GetILookupData();
    if (AAccept && properties->UseLookupData() && lookup) {
      const Variant savedKey = lookup->GetCurrentKey();
      {
        TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
        lookup->SelectItem();
      }
      if (!alive) return;
      if (GetModifiedAfterEnter() && !VarEqualsExact(lookup->GetCurrentKey(), savedKey)) ModifiedByLookup();
    }
    if (!alive) return;
    if (AAccept && !properties->PostValueOnPopupClosed() && properties->GetImmediatePost() && CanPostEditValue() &&
        ValidateEdit(true))
      PostEditValue();
    if (!alive) return;
  }
  if (alive && FPopupWindow) FPopupWindow->CloseUp(false);
}

void TqvCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& CanClose) {
  if (TqvCustomDropDownEditProperties* properties = GetProperties(); properties->OnCloseQuery)
    properties->OnCloseQuery(this, CanClose);
}

void TqvCustomDropDownEdit::PopupWindowClosed(TObject*) {
  TAliveToken alive = AliveToken();
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (properties->GetPopupSizeable() && FPopupSizeChanged) {
    if (TqvCustomDropDownEditData* data = GetDropDownEditData()) {
      data->Width = FPopupWindow->GetWidth();
      data->Height = FPopupWindow->GetHeight();
      data->SizeKept = true;
    } else if (!IsInplace()) {
      properties->SetPopupWidth(FPopupWindow->GetWidth());
      properties->SetPopupHeight(FPopupWindow->GetHeight());
    }
  }
  if (IqvTextEditLookupData* lookup = GetILookupData()) lookup->ResetListItemIndex();
  if (!alive) return;
  // Closed by a press on the drop-down button (the window lost the activation to it): that press
  // must not open the popup again.
  if (HandleAllocated() && (GetCurrentShiftState() & ssLeft) &&
      GetButtonIndexAt(ScreenToClient(GetCursorScreenPos())) == properties->GetDropDownButtonIndex())
    FButtonPressedWhileOpen = true;
  RefreshContainerAtCursor();
  if (!alive) return;
  if (properties->OnCloseUp) properties->OnCloseUp(this);
  if (!alive) return;
  TChangeEventsScope locked(this);
  if (properties->PostValueOnPopupClosed() && properties->GetImmediatePost() && CanPostEditValue() &&
      ValidateEdit(true))
    PostEditValue();
}

void TqvCustomDropDownEdit::PopupWindowShowed(TObject*) {
  TAliveToken alive = AliveToken();
  RefreshContainerAtCursor();
  if (!alive || !FPopupWindow) return;
  FPopupWindow->CalculateViewInfo();
  PositionPopupContent(FPopupWindow->GetViewInfo()->ClientRect);
  DoPopup();
  if (!alive) return;
  UpdateDisplayedText();
  if (!alive) return;
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (properties->UseLookupData() && GetILookupData() && GetFindSelection() && properties->GetImmediateDropDown() &&
      properties->PopupWindowTakesFocus()) {
    String text;
    GetDisplayValue(text);
    GetILookupData()->DroppedDown(text.substr(0, size_t(std::max<Integer>(GetSelStart(), 0))));
  }
}

// ---------------------------------------------------------------------------------------------
// Keys, characters and activation

void TqvCustomDropDownEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  const bool alt = (Shift & ssAlt) != 0;
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (HasPopupWindow())
      CloseUp(true);
    else
      DropDown();
    Key = 0;
    if (alive) SetFindSelection(false);
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && HasPopupWindow()) {
    SetCloseUpByEnter(true);
    {
      TValueScope userChange(UserChangeFlag(), true, alive);
      CloseUp(Key == VK_RETURN && DoEditing());
    }
    if (!alive) return;
    if (!HasPopupWindow()) {
      IqvTextEditLookupData* lookup = GetILookupData();
      if (lookup && GetProperties()->UseLookupData()) {
        String text;
        GetDisplayValue(text);
        if (lookup->ContainsText(text)) Key = 0;
      } else {
        Key = 0;
      }
      if (Key == VK_ESCAPE && FPopupWindow && FPopupWindow->HasCapture()) ReleaseCapture();
      if (Key == 0) return;
    }
  }
  inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomDropDownEdit::PostCharToPopup(char AChar) {
  if (FPopupWindow && FPopupWindow->HandleAllocated())
    PostMessage(FPopupWindow->GetHandle(), WM_QV_POSTCHAR, static_cast<unsigned char>(AChar), 0);
}

void TqvCustomDropDownEdit::DoEditKeyPress(char& Key) {
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (static_cast<unsigned char>(Key) >= 32 && properties->GetImmediateDropDown() && !HasPopupWindow()) {
    TAliveToken alive = AliveToken();
    if (HandleAllocated()) SendMessage(GetHandle(), WM_QV_DROPDOWN, 0, 0);
    if (!alive) return;
    if (properties->PopupWindowTakesFocus() && Key != '\r' && CanDropDown() && GetPopupFocusedControl()) {
      PostCharToPopup(Key);
      Key = 0;
      return;
    }
  }
  inherited::DoEditKeyPress(Key);
}

bool TqvCustomDropDownEdit::CanPassActivationKey(char AKey) {
  TqvCustomDropDownEditProperties* properties = GetProperties();
  if (!properties->GetImmediateDropDown()) return true;
  return !(properties->PopupWindowTakesFocus() && AKey != '\r');
}

void TqvCustomDropDownEdit::Activate(TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  inherited::Activate(AEditData);
  if (!alive) return;
  TqvCustomDropDownEditData* data = GetDropDownEditData();
  FPopupSizeChanged = data && data->SizeKept && GetProperties()->GetPopupSizeable();
  if (GetProperties()->GetImmediatePopup()) DropDown();
}

void TqvCustomDropDownEdit::ActivateByKey(char AKey, TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  inherited::ActivateByKey(AKey, AEditData);
  if (!alive) return;
  TqvCustomDropDownEditProperties* properties = GetProperties();
  const bool passed = CanPassActivationKey(AKey);
  if (static_cast<unsigned char>(AKey) >= 32 && properties->GetImmediateDropDown() && !properties->GetImmediatePopup() &&
      !passed)
    DropDown();
  if (!alive) return;
  if (!passed && CanDropDown() && GetPopupFocusedControl()) PostCharToPopup(AKey);
}

void TqvCustomDropDownEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  TValueScope activating(FActivatingByMouse, true, alive);
  inherited::ActivateByMouse(Shift, X, Y, AEditData);
}

void TqvCustomDropDownEdit::RemoveQueuedShowMessages() {
  if (!FPopupWindow || !FPopupWindow->HandleAllocated()) return;
  MSG m;
  while (PeekMessage(&m, FPopupWindow->GetHandle(), WM_QV_POPUPSHOW, WM_QV_POPUPSHOW, PM_REMOVE)) {
  }
}

bool TqvCustomDropDownEdit::Deactivate() {
  TAliveToken alive = AliveToken();
  CloseUp(false);
  if (!alive) return true;
  if (TqvCustomDropDownEditData* data = GetDropDownEditData()) data->SizeKept = FPopupSizeChanged;
  const bool result = inherited::Deactivate();
  if (alive) RemoveQueuedShowMessages();
  return result;
}

void TqvCustomDropDownEdit::ResetEditData() {
  if (TqvCustomDropDownEditData* data = GetDropDownEditData()) {
    data->SizeKept = false;
    data->Width = GetProperties()->GetPopupWidth();
    data->Height = GetProperties()->GetPopupHeight();
  }
}

void TqvCustomDropDownEdit::DoExit() {
  TAliveToken alive = AliveToken();
  // Focus moving into a popup that takes it does not close the popup.
  const HWND focus = GetFocus();
  const bool intoPopup = FPopupWindow && focus &&
                         ((FPopupWindow->HandleAllocated() && FPopupWindow->GetHandle() == focus) ||
                          IsPopupRelatedWindow(FPopupWindow.get(), focus));
  if (!intoPopup) CloseUp(false);
  if (alive) inherited::DoExit();
}

bool TqvCustomDropDownEdit::Focused() { return inherited::Focused() || HasPopupWindow(); }

bool TqvCustomDropDownEdit::IsClickKey(Word Key, TShiftState Shift) {
  if (inherited::IsClickKey(Key, Shift)) return true;
  return IsInplace() && HasPopupWindow() && ((Shift & (ssAlt | ssCtrl)) || Key < 32 || Key > 255);
}

bool TqvCustomDropDownEdit::CanSynchronizeLookupData(bool AFromMouseWheel) {
  if (IsInnerEditUnavailable()) return false;
  return !(IsInplace() && !AFromMouseWheel && !HasPopupWindow());
}

void TqvCustomDropDownEdit::PropertiesChanged(TObject* Sender) {
  if (!GetProperties()->GetPopupSizeable()) FPopupSizeChanged = false;
  if (HasPopupWindow()) PositionPopupWindow();
  inherited::PropertiesChanged(Sender);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TqvCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || FActivatingByMouse) return;
  if (GetProperties()->DropDownOnClick() && Button == mbLeft && GetViewInfo()->ClientRect.Contains({X, Y}) &&
      GetButtonIndexAt({X, Y}) < 0 && !HasPopupWindow() && !FButtonPressedWhileOpen && inherited::Focused())
    DropDown();
}

void TqvCustomDropDownEdit::DoButtonDown(Integer AButtonVisibleIndex) {
  inherited::DoButtonDown(AButtonVisibleIndex);
  if (AButtonVisibleIndex == GetProperties()->GetDropDownButtonIndex()) SetDroppedDown(true);
}

void TqvCustomDropDownEdit::UpdateButtonPressedState(TqvMouseButton Button, const TPoint& P) {
  // The click that closed the popup (on the drop-down button) must not open it again.
  if (Button == cmbLeft && (GetCurrentShiftState() & ssLeft)) {
    const bool onDropDownButton = GetButtonIndexAt(P) == GetProperties()->GetDropDownButtonIndex();
    const bool closedByThisClick = FPopupWindow && FPopupWindow->GetClosedByOwnerClick();
    if (FPopupWindow) FPopupWindow->SetClosedByOwnerClick(false);
    FButtonPressedWhileOpen = onDropDownButton && (HasPopupWindow() || closedByThisClick || FButtonPressedWhileOpen);
  } else if (!(GetCurrentShiftState() & ssLeft)) {
    FButtonPressedWhileOpen = false;
  }
}

void TqvCustomDropDownEdit::InitializeViewData(TqvCustomEditViewData* AViewData) {
  inherited::InitializeViewData(AViewData);
  if (auto* viewData = As<TqvCustomDropDownEditViewData>(AViewData)) {
    viewData->IsPopupOpen = HasPopupWindow();
    viewData->ButtonPressedWhileOpen = FButtonPressedWhileOpen;
  }
}

bool TqvCustomDropDownEdit::RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) {
  TAliveToken alive = AliveToken();
  if (AIsMouseEvent && !(Button == cmbRight && (Shift & ssRight))) UpdateButtonPressedState(Button, P);
  const bool result = inherited::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  if (!alive) return result;
  // A press (not the release of the click that opened it) on the text closes the popup.
  if (AIsMouseEvent && Button == cmbLeft && (Shift & ssLeft) && HasPopupWindow() && GetButtonIndexAt(P) < 0 &&
      GetViewInfo()->Bounds.Contains(P))
    CloseUp(false);
  if (alive && FPopupLookAndFeel) FPopupLookAndFeel->Refresh();
  return result;
}

bool TqvCustomDropDownEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  TAliveToken alive = AliveToken();
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!alive) return false;
  IqvTextEditLookupData* lookup = GetILookupData();
  if (!CanSynchronizeLookupData(true) || !HasPopupWindow() || !lookup || lookup->IsEmpty()) return false;
  // The list scrolls as the wheel over it would, whatever control it is.
  if (TWinControl* list = lookup->GetList()) {
    const WORD keys = static_cast<WORD>(ShiftStateToMouseKeys(Shift));
    list->Perform(CM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(WheelDelta)),
                  MAKELPARAM(static_cast<WORD>(MousePos.X), static_cast<WORD>(MousePos.Y)));
  }
  return true;
}

void TqvCustomDropDownEdit::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FPopupWindow && AComponent == FPopupWindow.get()) (void)FPopupWindow.release();
}

void TqvCustomDropDownEdit::CreateHandle() {
  inherited::CreateHandle();
  InitPopupLookupData();
}

void TqvCustomDropDownEdit::ThemeChanged() {
  inherited::ThemeChanged();
  if (FPopupLookAndFeel) FPopupLookAndFeel->Refresh();
}

void TqvCustomDropDownEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_QV_DROPDOWN: DropDown(); return;
    case CM_HINTSHOW:
      if (!HasPopupWindow()) break;
      Message.Result = 1;
      return;
    case CM_BIDIMODECHANGED:
      inherited::Dispatch(Message);
      if (FPopupWindow) FPopupWindow->SetBiDiMode(GetBiDiMode());
      return;
    default: break;
  }
  inherited::Dispatch(Message);
}
