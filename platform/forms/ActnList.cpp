// Actions and their routing through the application.
#include "platform/forms/ActnList.h"

#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TBasicAction)
QJ_IMPLEMENT_CLASS(TCustomAction)
QJ_IMPLEMENT_CLASS(TAction)
QJ_IMPLEMENT_CLASS(THintAction)

TBasicAction::~TBasicAction() { SetActionComponent(nullptr); }

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

bool TBasicAction::Execute() {
  if (OnExecute) {
    OnExecute(this);
    return true;
  }
  return Application && Application->ExecuteAction(this);
}

bool TBasicAction::Update() {
  if (OnUpdate) {
    OnUpdate(this);
    return true;
  }
  return Application && Application->UpdateAction(this);
}

bool TCustomAction::Execute() {
  if (!FEnabled) return false;
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return TBasicAction::Execute();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FGroupIndex > 0 && Owner()) {
    for (Integer i = 0; i < Owner()->GetComponentCount(); ++i) {
      auto* other = As<TCustomAction>(Owner()->GetComponent(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FChecked) {
        other->FChecked = false;
        other->Changed();
      }
    }
  }
  Changed();
}

void TCustomAction::Changed() {
  if (OnChange) OnChange(this);
}
