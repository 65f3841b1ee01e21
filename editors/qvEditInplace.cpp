// The in-place edit list, the per-cell edit data and the standalone data binding.
#include "core/qvClasses.h"
#include "editors/qvEdit.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvEditDataBinding)
QJ_IMPLEMENT_CLASS(TqvCustomEditData)

// ---------------------------------------------------------------------------------------------
// TqvEditDataBinding

TqvEditDataBinding::~TqvEditDataBinding() { FDefaultValuesProvider.reset(); }

void TqvEditDataBinding::AfterConstruction() {
  inherited::AfterConstruction();
  if (TqvEditDefaultValuesProviderClass providerClass = GetDefaultValuesProviderClass())
    FDefaultValuesProvider.reset(static_cast<TqvCustomEditDefaultValuesProvider*>(providerClass->Create(this)));
}

TPersistent* TqvEditDataBinding::GetOwner() { return FEdit; }

TqvEditDefaultValuesProviderClass TqvEditDataBinding::GetDefaultValuesProviderClass() const {
  return &TqvCustomEditDefaultValuesProvider::StaticClass();
}

IqvEditDefaultValuesProvider* TqvEditDataBinding::GetDefaultValuesProvider() const {
  return FDefaultValuesProvider.get();
}

bool TqvEditDataBinding::IsDesigning() { return FEdit->HasState(csDesigning); }

void TqvEditDataBinding::DefaultValuesChanged() {
  if (FDefaultValuesProvider) FDefaultValuesProvider->DefaultValuesChanged();
}

Variant TqvEditDataBinding::GetDisplayValue() {
  String text;
  FEdit->GetDisplayValue(text);
  return text;
}

bool TqvEditDataBinding::GetModified() { return FEdit->GetModifiedAfterEnter(); }

Variant TqvEditDataBinding::GetStoredValue() { return FEdit->GetEditValue(); }

void TqvEditDataBinding::Reset() { FEdit->Reset(); }

void TqvEditDataBinding::SetDisplayText(const Variant& Value) { FEdit->SetInnerEditValue(Value); }

void TqvEditDataBinding::UpdateDisplayValue() { FEdit->SynchronizeDisplayValue(); }

// ---------------------------------------------------------------------------------------------
// TqvCustomEditData

TqvCustomEditData::TqvCustomEditData(TqvCustomEdit* AEdit) : FEdit(AEdit) {
  FFreeNotificator = MakeOwned<TqvFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
    if (AComponent == FEdit) FEdit = nullptr;
  };
  if (FEdit) FFreeNotificator->FreeNotification(FEdit);
  Clear();
}

TqvCustomEditData::~TqvCustomEditData() { FFreeNotificator.reset(); }

void TqvCustomEditData::Clear() {
  FCleared = true;
  if (FEdit && FEdit->GetEditData() == this) {
    FEdit->ResetEditData();
    FCleared = false;
  }
}

// ---------------------------------------------------------------------------------------------
// TqvInplaceEditList

TqvInplaceEditList::~TqvInplaceEditList() { Clear(); }

TqvCustomEdit* TqvInplaceEditList::CreateEdit(TqvCustomEditProperties* AProperties) {
  TqvCustomEdit* edit = TqvCustomEdit::CreateInplace(AProperties->GetContainerClass(), nullptr, true);
  edit->SetVisible(false);
  return edit;
}

TqvCustomEdit* TqvInplaceEditList::FindEdit(TqvCustomEditProperties* AProperties) const {
  for (const TEntry& entry : FItems)
    if (entry.Properties == AProperties) return entry.Edit;
  return nullptr;
}

TqvCustomEdit* TqvInplaceEditList::GetEdit(TqvCustomEditProperties* AProperties) {
  TqvCustomEdit* edit = FindEdit(AProperties);
  if (!edit) {
    edit = CreateEdit(AProperties);
    FItems.push_back({edit, AProperties});
  }
  edit->SetProperties(AProperties);
  return edit;
}

TqvCustomEdit* TqvInplaceEditList::GetEditByPropertiesClass(TqvCustomEditPropertiesClass APropertiesClass) {
  for (const TEntry& entry : FItems)
    if (entry.Edit->GetActiveProperties()->ClassType() == APropertiesClass) return entry.Edit;
  TqvCustomEdit* edit = TqvCustomEdit::CreateInplace(APropertiesClass->GetContainerClass(), nullptr, true);
  FItems.push_back({edit, edit->GetOwnProperties()});
  return edit;
}

void TqvInplaceEditList::RemoveItem(TqvCustomEditProperties* AProperties) {
  for (auto it = FItems.begin(); it != FItems.end(); ++it)
    if (it->Properties == AProperties) {
      TqvCustomEdit* edit = it->Edit;
      FItems.erase(it);
      Free(edit);
      return;
    }
}

const TqvInplaceEditList::TEntry& TqvInplaceEditList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[size_t(AIndex)];
}

void TqvInplaceEditList::Clear() {
  while (!FItems.empty()) {
    TqvCustomEdit* edit = FItems.back().Edit;
    FItems.pop_back();
    Free(edit);
  }
}
