// Editor properties, edit buttons, alignment, assigned values and the default values provider.
#include <algorithm>

#include "editors/qvEdit.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvEditInvalidInputValue{62000, "Invalid input value. Use escape key to abandon changes"};

QJ_IMPLEMENT_CLASS(TqvEditAlignment)
QJ_IMPLEMENT_CLASS(TqvEditButton)
QJ_IMPLEMENT_CLASS(TqvEditButtons)
QJ_IMPLEMENT_CLASS(TqvCustomEditPropertiesValues)
QJ_IMPLEMENT_CLASS(TqvCustomEditDefaultValuesProvider)
QJ_IMPLEMENT_CLASS(TqvCustomEditProperties)

namespace {

// Every live properties object, so that a provider that goes away can detach itself. Made on
// first use and never freed, so properties that outlive static destruction still find it.
std::vector<TqvCustomEditProperties*>& EditPropertiesList() {
  static auto* list = new std::vector<TqvCustomEditProperties*>();
  return *list;
}

// The nearest component from APersistent up the owner chain.
TComponent* NearestComponent(TPersistent* APersistent) {
  for (TPersistent* p = APersistent; p; p = p->GetOwner())
    if (auto* component = As<TComponent>(p)) return component;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvEditAlignment

void TqvEditAlignment::Assign(TPersistent* Source) {
  auto* source = As<TqvEditAlignment>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  FVert = source->FVert;
  FHorz = source->FHorz;
  FHorzAssigned = source->FHorzAssigned;
  Changed();
}

TPersistent* TqvEditAlignment::GetOwner() { return FOwner; }

void TqvEditAlignment::SetHorz(TAlignment Value) {
  FHorzAssigned = true;
  FHorz = Value;
  Changed();
}

void TqvEditAlignment::SetVert(TqvEditVertAlignment Value) {
  if (FVert == Value) return;
  FVert = Value;
  Changed();
}

void TqvEditAlignment::Changed() {
  if (FOnChanged) FOnChanged(this);
}

// ---------------------------------------------------------------------------------------------
// TqvEditButton

TqvEditButton::~TqvEditButton() = default;

void TqvEditButton::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  TCollection* collection = GetCollection();
  if (!collection || collection->GetCount() != 1) return;
  TComponent* component = NearestComponent(collection);
  if (component && component->HasState(csDesigning) && !component->HasState(csLoading)) FDefault = true;
}

void TqvEditButton::Assign(TPersistent* Source) {
  auto* source = As<TqvEditButton>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  auto assign = [&] {
    SetDefault(source->FDefault);
    SetGlyph(source->FGlyph.get());
    SetKind(source->FKind);
    SetLeftAlignment(source->FLeftAlignment);
    SetVisible(source->FVisible);
    SetWidth(source->FWidth);
  };
  if (TCollection* collection = GetCollection()) {
    TUpdateScope<TCollection> update(*collection);
    assign();
  } else {
    assign();
  }
}

template <class T>
void TqvEditButton::SetValue(T& AField, T AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed(false);
}

void TqvEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value)
    if (TCollection* collection = GetCollection())
      for (Integer i = 0; i < collection->GetCount(); ++i)
        static_cast<TqvEditButton*>(collection->GetItem(i))->FDefault = false;
  FDefault = Value;
  Changed(true);
}

TBitmap* TqvEditButton::GetGlyph() {
  if (!FGlyph) {
    FGlyph = MakeOwned<TBitmap>();
    FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
  }
  return FGlyph.get();
}

void TqvEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) FGlyph.reset();
  else if (Value != FGlyph.get()) GetGlyph()->Assign(Value);
  Changed(false);
}

void TqvEditButton::SetKind(TqvEditButtonKind Value) { SetValue(FKind, Value); }
void TqvEditButton::SetLeftAlignment(bool Value) { SetValue(FLeftAlignment, Value); }
void TqvEditButton::SetVisible(bool Value) { SetValue(FVisible, Value); }
void TqvEditButton::SetWidth(Integer Value) { SetValue(FWidth, Value); }

void TqvEditButton::GlyphChanged(TObject*) { Changed(false); }

// ---------------------------------------------------------------------------------------------
// TqvEditButtons

TqvEditButtons::TqvEditButtons(TPersistent* AOwner, TNotifyEvent AOnChange)
    : TOwnedCollection(AOwner, &TqvEditButton::StaticClass()), FOnChange(std::move(AOnChange)) {}

Integer TqvEditButtons::VisibleCount() const {
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i) count += GetItem(i)->GetVisible() ? 1 : 0;
  return count;
}

void TqvEditButtons::Update(TCollectionItem*) {
  if (FOnChange) FOnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomEditPropertiesValues

void TqvCustomEditPropertiesValues::Assign(TPersistent* Source) {
  if (auto* source = As<TqvCustomEditPropertiesValues>(Source)) FReadOnly = source->FReadOnly;
  else TPersistent::Assign(Source);
}

void TqvCustomEditPropertiesValues::RestoreDefaults() { FReadOnly = false; }

// ---------------------------------------------------------------------------------------------
// TqvCustomEditDefaultValuesProvider

TqvCustomEditDefaultValuesProvider::~TqvCustomEditDefaultValuesProvider() { ClearUsages(); }

void TqvCustomEditDefaultValuesProvider::DefaultValuesChanged() {
  if (FOnChanged) FOnChanged(this);
}

void TqvCustomEditDefaultValuesProvider::ClearUsages() {
  for (TqvCustomEditProperties* properties : EditPropertiesList())
    if (properties->FDefaultValuesProvider && properties->FDefaultValuesProvider->GetInstance() == this)
      properties->FDefaultValuesProvider = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomEditProperties

TqvCustomEditProperties::TqvCustomEditProperties(TPersistent* AOwner) : TqvInterfacedPersistent(AOwner) {
  EditPropertiesList().push_back(this);
  FAlignment = MakeOwned<TqvEditAlignment>(this, [this](TObject* Sender) { AlignmentChanged(Sender); });
  FButtons = MakeOwned<TqvEditButtons>(this, [this](TObject* Sender) { ButtonsChanged(Sender); });
  FAssignedAlignment = MakeOwned<TqvEditAlignment>(this);
}

TqvCustomEditProperties::~TqvCustomEditProperties() {
  FDefaultValuesProvider = nullptr;
  FButtons.reset();
  FAssignedAlignment.reset();
  FAssignedValues.reset();
  FAlignment.reset();
  auto& list = EditPropertiesList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TqvCustomEditProperties::AfterConstruction() {
  TqvInterfacedPersistent::AfterConstruction();
  FAssignedValues.reset(GetPropertiesValuesClass()->Create(this));
  FUseLeftAlignmentOnEditing = GetDefaultUseLeftAlignmentOnEditing();
}

TqvCustomEditPropertiesValuesClass TqvCustomEditProperties::PropertiesValuesClass() {
  return &TqvCustomEditPropertiesValues::StaticClass();
}

TqvCustomEditStyleClass TqvCustomEditProperties::StyleClass() { return &TqvCustomEditStyle::StaticClass(); }

TqvCustomEditViewDataClass TqvCustomEditProperties::ViewDataClass() { return &TqvCustomEditViewData::StaticClass(); }

TqvCustomEditViewInfoClass TqvCustomEditProperties::ViewInfoClass() { return &TqvCustomEditViewInfo::StaticClass(); }

TOwned<TqvCustomEditViewData> TqvCustomEditProperties::CreateViewData(TqvCustomEditStyle* AStyle, bool AIsInplace) {
  return TOwned<TqvCustomEditViewData>(GetViewDataClass()->Create(this, AStyle, AIsInplace));
}

TSize TqvCustomEditProperties::GetEditSize(TqvCanvas* ACanvas, TqvCustomEditStyle* AStyle, bool AIsInplace,
                                           const Variant& AEditValue, const TqvEditSizeProperties& ASizeProperties) {
  return CreateViewData(AStyle, AIsInplace)->GetEditSize(ACanvas, AEditValue, ASizeProperties);
}

void TqvCustomEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomEditProperties>(Source);
  if (!source) {
    TqvInterfacedPersistent::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  SetAutoSelect(source->FAutoSelect);
  FButtons->Assign(source->FButtons.get());
  FBeepOnError = source->FBeepOnError;
  FClearKey = source->FClearKey;
  FClickKey = source->FClickKey;
  SetUseLeftAlignmentOnEditing(source->FUseLeftAlignmentOnEditing);
  FDefaultValuesProvider = source->FDefaultValuesProvider;
  SetAlignment(source->GetAlignment());
  FAssignedValues->SetReadOnly(false);
  if (source->FAssignedValues->GetReadOnly()) SetReadOnly(source->GetReadOnly());
  FImmediatePost = source->FImmediatePost;
  FUseMouseWheel = source->FUseMouseWheel;
  FValidateOnEnter = source->FValidateOnEnter;
  OnButtonClick = source->OnButtonClick;
  OnChange = source->OnChange;
  OnEditValueChanged = source->OnEditValueChanged;
  OnValidate = source->OnValidate;
}

void TqvCustomEditProperties::Changed() {
  if (IsChangedLocked()) return;
  if (auto* owner = As<TComponent>(GetOwner()); owner && owner->HasState(csDestroying)) return;
  if (OnPropertiesChanged) OnPropertiesChanged(this);
}

void TqvCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && AInvokeChanged) Changed();
}

TComponent* TqvCustomEditProperties::FindOwnerComponent() { return NearestComponent(GetOwner()); }

TqvEditAlignment* TqvCustomEditProperties::GetAlignment() {
  TValueScope<TNotifyEvent> detached(FAlignment->FOnChanged, nullptr);
  FAlignment->Assign(FAssignedAlignment.get());
  if (FAlignment->IsAssigned()) {
    TComponent* component = FindOwnerComponent();
    if (component && component->HasState(csWriting)) return FAlignment.get();
  }
  if (!FAlignment->IsHorzAssigned()) FAlignment->ShowDefaultHorz(GetDefaultHorzAlignment());
  return FAlignment.get();
}

void TqvCustomEditProperties::SetAlignment(TqvEditAlignment* Value) {
  FAssignedAlignment->Assign(Value);
  Changed();
}

void TqvCustomEditProperties::AlignmentChanged(TObject*) {
  FAssignedAlignment->Assign(FAlignment.get());
  Changed();
}

void TqvCustomEditProperties::ButtonsChanged(TObject*) { Changed(); }

TAlignment TqvCustomEditProperties::GetDefaultHorzAlignment() {
  if (FDefaultValuesProvider) return FDefaultValuesProvider->DefaultAlignment();
  return FAssignedAlignment->GetHorz();
}

bool TqvCustomEditProperties::GetReadOnly() {
  if (FAssignedValues->GetReadOnly()) return FReadOnly;
  return FDefaultValuesProvider && FDefaultValuesProvider->DefaultReadOnly();
}

void TqvCustomEditProperties::SetReadOnly(bool Value) {
  if (FAssignedValues->GetReadOnly() && FReadOnly == Value) return;
  FAssignedValues->SetReadOnly(true);
  FReadOnly = Value;
  Changed();
}

bool TqvCustomEditProperties::CanModify() {
  if (FAssignedValues->GetReadOnly()) return !FReadOnly;
  if (!FDefaultValuesProvider) return true;
  return !FDefaultValuesProvider->DefaultReadOnly() && FDefaultValuesProvider->DefaultCanModify();
}

void TqvCustomEditProperties::SetAutoSelect(bool Value) {
  if (FAutoSelect == Value) return;
  FAutoSelect = Value;
  Changed();
}

void TqvCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (FUseLeftAlignmentOnEditing == Value) return;
  FUseLeftAlignmentOnEditing = Value;
  Changed();
}

void TqvCustomEditProperties::SetDefaultValuesProvider(IqvEditDefaultValuesProvider* Value) {
  FDefaultValuesProvider = Value;
}

void TqvCustomEditProperties::DefaultValuesChangedHandler(TObject*) { Changed(); }

bool TqvCustomEditProperties::IsProviderDisplayFormatUsed() {
  const TqvEditDisplayFormatOptions options = GetDisplayFormatOptions();
  return (options & dfoUseProviderFormat) && GetEditValueSource(true) == evsValue &&
         GetEditValueSource(false) == evsText && FDefaultValuesProvider &&
         FDefaultValuesProvider->IsDisplayFormatDefined(!(options & dfoProviderFormatNotEditing));
}

void TqvCustomEditProperties::GetValidateErrorText(TqvEditErrorKind, TCaption& AText) {
  AText = GetLocalizedResourceString(&sqvEditInvalidInputValue);
}

bool TqvCustomEditProperties::IsDisplayFormatDefined(bool AIsEditing) const {
  const TqvEditDisplayFormatOptions options = GetDisplayFormatOptions();
  if (AIsEditing || !(options & dfoUseProviderFormat) || !FDefaultValuesProvider) return false;
  return FDefaultValuesProvider->IsDisplayFormatDefined(!(options & dfoProviderFormatNotEditing));
}

String TqvCustomEditProperties::GetDisplayText(const Variant&, bool) { return String(); }

TqvEditSupportedOperations TqvCustomEditProperties::GetSupportedOperations() const {
  return FButtons->GetCount() > 0 ? esoButtons : 0;
}

bool TqvCustomEditProperties::IsEditValueValid(Variant&, bool) { return true; }

void TqvCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = AEditValue;
}

void TqvCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                   TObject* AEdit) {
  if (!CanValidate()) return;
  if (AErrorText.empty()) GetValidateErrorText(ekDefault, AErrorText);
  if (AEdit && OnValidate) OnValidate(AEdit, ADisplayValue, AErrorText, AError);
}

TqvEditValueSource TqvCustomEditProperties::GetEditValueSource(bool) const { return evsValue; }
