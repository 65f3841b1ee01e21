// The popup edit: reparenting its PopupControl into the popup and back.
#include "editors/qvPopupEdit.h"

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvCircularReferencingError{62430, "Circular referencing is not allowed"};

QJ_IMPLEMENT_CLASS(TqvPopupEditPopupWindowViewInfo)
QJ_IMPLEMENT_CLASS(TqvPopupEditPopupWindow)
QJ_IMPLEMENT_CLASS(TqvCustomPopupEditProperties)
QJ_IMPLEMENT_CLASS(TqvPopupEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomPopupEdit)
QJ_IMPLEMENT_CLASS(TqvPopupEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryPopupItem)

namespace {

const TqvEditKindRegistration PopupEditRegistration(&TqvPopupEditProperties::StaticClass(),
                                                    &sqvEditDisplayTextPopupEdit);

// AControl is AAncestor or lies inside it.
bool IsInside(TControl* AControl, TControl* AAncestor) {
  for (TControl* c = AControl; c; c = c->GetParent())
    if (c == AAncestor) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Popup window

void TqvPopupEditPopupWindowViewInfo::DrawBorder(TqvCanvas* ACanvas, TRect& R) {
  DrawPopupEditPopupBorder(ACanvas, this, R);
}

TqvContainerViewInfoClass TqvPopupEditPopupWindow::GetViewInfoClass() const {
  return &TqvPopupEditPopupWindowViewInfo::StaticClass();
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomPopupEditProperties::TqvCustomPopupEditProperties(TPersistent* AOwner)
    : TqvCustomDropDownEditProperties(AOwner) {
  FPopupControlWatch = MakeOwned<TqvFreeNotificator>(nullptr);
  FPopupControlWatch->OnFreeNotification = [this](TComponent* AComponent) { FreeNotification(AComponent); };
  SetPopupAutoSize(true);
  SetPopupMinHeight(100);
  SetPopupMinWidth(100);
  SetPopupHeight(200);
  SetPopupWidth(250);
  SetPopupSizeable(true);
}

TqvCustomPopupEditProperties::~TqvCustomPopupEditProperties() {
  if (FPopupControl) FPopupControlWatch->RemoveFreeNotification(FPopupControl);
  FPopupControlWatch.reset();
}

TqvCustomEditClass TqvCustomPopupEditProperties::ContainerClass() { return &TqvPopupEdit::StaticClass(); }
TqvCustomEditClass TqvPopupEditProperties::ContainerClass() { return &TqvPopupEdit::StaticClass(); }

TqvCustomEditPopupWindowClass TqvCustomPopupEditProperties::GetPopupWindowClass() const {
  return &TqvPopupEditPopupWindow::StaticClass();
}

void TqvCustomPopupEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomPopupEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetPopupControl(source->FPopupControl);
}

void TqvCustomPopupEditProperties::FreeNotification(TComponent* AComponent) {
  if (AComponent && AComponent == FPopupControl) FPopupControl = nullptr;
}

void TqvCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (Value == FPopupControl) return;
  if (FPopupControl) FPopupControlWatch->RemoveFreeNotification(FPopupControl);
  FPopupControl = Value;
  if (FPopupControl) FPopupControlWatch->FreeNotification(FPopupControl);
}

TqvPopupEditProperties::TqvPopupEditProperties(TPersistent* AOwner) : TqvCustomPopupEditProperties(AOwner) {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

// ---------------------------------------------------------------------------------------------
// Popup edit

TqvCustomEditPropertiesClass TqvCustomPopupEdit::PropertiesClass() { return &TqvCustomPopupEditProperties::StaticClass(); }
TqvCustomEditPropertiesClass TqvPopupEdit::PropertiesClass() { return &TqvPopupEditProperties::StaticClass(); }

void TqvCustomPopupEdit::BeforeDestruction() {
  // The control goes back before the popup window (its parent meanwhile) is freed with the edit.
  if (HasPopupWindow() || FSaved.Saved) RestorePopupControlData();
  inherited::BeforeDestruction();
}

void TqvCustomPopupEdit::DoInitPopup() {
  TControl* control = GetProperties()->GetPopupControl();
  if (control) {
    const bool circular = control == GetPopupWindow() || IsInside(this, control) || IsInside(control, this);
    if (circular) RaiseResourceError(&sqvCircularReferencingError);
  }
  inherited::DoInitPopup();
}

TWinControl* TqvCustomPopupEdit::GetPopupFocusedControl() { return As<TWinControl>(GetProperties()->GetPopupControl()); }

void TqvCustomPopupEdit::CalculatePopupContentSize(TSize& ASize) {
  TControl* control = GetProperties()->GetPopupControl();
  ASize = control ? TSize{control->GetWidth(), control->GetHeight()} : TSize{};
}

void TqvCustomPopupEdit::PositionPopupContent(const TRect& AClientRect) {
  if (TControl* control = GetProperties()->GetPopupControl())
    control->SetBounds(AClientRect.Left, AClientRect.Top, AClientRect.Width(), AClientRect.Height());
}

void TqvCustomPopupEdit::PositionPopupWindow() {
  TControl* control = GetProperties()->GetPopupControl();
  if (!control) return;
  if (!FSaved.Saved) SavePopupControlData();
  control->SetParent(GetPopupWindow());
  control->SetVisible(true);
  inherited::PositionPopupWindow();
  control->SetAlign(alClient);
}

void TqvCustomPopupEdit::PopupWindowClosed(TObject* Sender) {
  TAliveToken alive = AliveToken();
  RestorePopupControlData();
  if (alive) inherited::PopupWindowClosed(Sender);
}

void TqvCustomPopupEdit::SavePopupControlData() {
  TControl* control = GetProperties()->GetPopupControl();
  if (!control) return;
  FSaved.Align = control->GetAlign();
  if (auto* form = As<TCustomForm>(control)) {
    FSaved.BorderStyle = form->GetBorderStyle();
    form->SetBorderStyle(bsNone);
  }
  FSaved.Bounds = control->GetBoundsRect();
  FSaved.Parent = control->GetParent();
  FSaved.Visible = control->GetVisible();
  FSaved.Saved = true;
}

void TqvCustomPopupEdit::RestorePopupControlData() {
  TControl* control = GetProperties()->GetPopupControl();
  if (!FSaved.Saved || !control) {
    FSaved = TSavedControl{};
    return;
  }
  const TSavedControl saved = FSaved;
  FSaved = TSavedControl{};
  control->SetVisible(false);
  // A parent that is going away (the form closing with the popup open) takes the control no more;
  // it must leave the popup window anyway, which would free it with itself.
  const bool parentGoing = saved.Parent && saved.Parent->HasState(csDestroying);
  control->SetParent(parentGoing ? nullptr : saved.Parent);
  if (parentGoing) return;
  control->SetAlign(saved.Align);
  control->SetBoundsRect(saved.Bounds);
  if (auto* form = As<TCustomForm>(control)) form->SetBorderStyle(saved.BorderStyle);
  control->SetVisible(saved.Visible);
}
