// Edit repository and its items.
#include <algorithm>

#include "core/qvClasses.h"
#include "editors/qvEdit.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvEditRepositoryItem)
QJ_IMPLEMENT_CLASS(TqvEditRepository)

// ---------------------------------------------------------------------------------------------
// TqvEditRepositoryItem

TqvEditRepositoryItem::~TqvEditRepositoryItem() {
  NotifyListeners(&IqvEditRepositoryItemListener::ItemRemoved);
  FListeners.clear();
  SetRepository(nullptr);
  FProperties.reset();
}

void TqvEditRepositoryItem::AfterConstruction() {
  FProperties.reset(GetPropertiesClass()->Create(this));
  FProperties->OnPropertiesChanged = [this](TObject*) { PropertiesChanged(); };
  TComponent::AfterConstruction();
}

TqvCustomEditPropertiesClass TqvEditRepositoryItem::PropertiesClass() {
  return &TqvCustomEditProperties::StaticClass();
}

void TqvEditRepositoryItem::PropertiesChanged() {
  NotifyListeners(&IqvEditRepositoryItemListener::PropertiesChanged);
}

void TqvEditRepositoryItem::NotifyListeners(
    void (IqvEditRepositoryItemListener::*ANotify)(TqvEditRepositoryItem*)) {
  TAliveToken alive = AliveToken();
  for (Integer i = GetListenerCount() - 1; i >= 0; --i) {
    if (i >= GetListenerCount()) continue;  // listeners left meanwhile
    (FListeners[i]->*ANotify)(this);
    if (!alive) return;
  }
}

void TqvEditRepositoryItem::AddListener(IqvEditRepositoryItemListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TqvEditRepositoryItem::RemoveListener(IqvEditRepositoryItemListener* AListener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), AListener), FListeners.end());
}

void TqvEditRepositoryItem::SetRepository(TqvEditRepository* ARepository) {
  if (ARepository == FRepository) return;
  if (FRepository) FRepository->ExtractItem(this);
  FRepository = ARepository;
  if (FRepository) FRepository->AddItem(this);
}

TComponent* TqvEditRepositoryItem::GetParentComponent() { return FRepository; }

void TqvEditRepositoryItem::SetParentComponent(TComponent* AParent) {
  if (HasState(csLoading)) return;
  auto* repository = As<TqvEditRepository>(AParent);
  if (AParent && !repository) RaiseResourceError<EInvalidCast>(&SInvalidCast);
  SetRepository(repository);
}

// ---------------------------------------------------------------------------------------------
// TqvEditRepository

TqvEditRepository::~TqvEditRepository() { Clear(); }

TqvEditRepositoryItem* TqvEditRepository::CreateItem(TqvEditRepositoryItemClass AItemClass) {
  return CreateItemEx(AItemClass, this);
}

TqvEditRepositoryItem* TqvEditRepository::CreateItemEx(TqvEditRepositoryItemClass AItemClass, TComponent* AOwner) {
  TqvEditRepositoryItem* item = AItemClass->Create(AOwner);
  item->SetRepository(this);
  return item;
}

void TqvEditRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TqvEditRepositoryItem* item : FItems)
    if (item->Owner() == Root) Proc(item);
}

TqvEditRepositoryItem* TqvEditRepository::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) RaiseResourceError<EListError>(&SListIndexError, {Index});
  return FItems[Index];
}

void TqvEditRepository::Clear() {
  while (!FItems.empty()) {
    TqvEditRepositoryItem* item = FItems.back();
    FItems.pop_back();
    item->FRepository = nullptr;
    Free(item);
  }
}

void TqvEditRepository::RemoveItem(TqvEditRepositoryItem* AItem) {
  if (AItem && AItem->GetRepository() == this) AItem->SetRepository(nullptr);
}

void TqvEditRepository::AddItem(TqvEditRepositoryItem* AItem) {
  if (std::find(FItems.begin(), FItems.end(), AItem) == FItems.end()) FItems.push_back(AItem);
}

void TqvEditRepository::ExtractItem(TqvEditRepositoryItem* AItem) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), AItem), FItems.end());
}

// ---------------------------------------------------------------------------------------------
// Process-wide repository

TqvEditRepository* GetDefaultEditRepository() {
  static TOwned<TqvEditRepository> repository;
  if (!repository) repository = MakeOwned<TqvEditRepository>(nullptr);
  return repository.get();
}

// ---------------------------------------------------------------------------------------------
// Registry of editor kinds

const TResourceString sqvEditDisplayTextMaskEdit{62400, "MaskEdit|Represents a generic masked edit control."};
const TResourceString sqvEditDisplayTextSpinEdit{62401, "SpinEdit|Represents a spin editor"};
const TResourceString sqvEditDisplayTextMemo{62402, "Memo|Represents an edit control that allows editing memo data"};
const TResourceString sqvEditDisplayTextComboBox{62403, "ComboBox|Represents the combo box editor"};
const TResourceString sqvEditDisplayTextPopupEdit{62404, "PopupEdit|Represents an edit control with a dropdown list"};
const TResourceString sqvEditDisplayTextTextEdit{62405, "TextEdit|Represents a single line text editor"};
const TResourceString sqvEditDisplayTextCheckBox{62406, "CheckBox|Represents a check box control that allows selecting an option"};
const TResourceString sqvEditDisplayTextImage{62407, "Image|Represents an image editor"};
const TResourceString sqvEditDisplayTextBlobEdit{62408, "BlobEdit|Represents the BLOB editor"};
const TResourceString sqvEditDisplayTextButtonEdit{62409, "ButtonEdit|Represents an edit control with embedded buttons"};
const TResourceString sqvEditDisplayTextCalcEdit{62410, "CalcEdit|Represents an edit control with a dropdown calculator window"};
const TResourceString sqvEditDisplayTextDateEdit{62411, "DateEdit|Represents an edit control with a dropdown calendar"};
const TResourceString sqvEditDisplayTextCurrencyEdit{62412, "CurrencyEdit|Represents an editor enabling editing currency data"};
const TResourceString sqvEditDisplayTextHyperLink{62413, "HyperLink|Represents a text editor with hyperlink functionality"};
const TResourceString sqvEditDisplayTextImageComboBox{62414, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"};
const TResourceString sqvEditDisplayTextMRUEdit{62415, "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window"};
const TResourceString sqvEditDisplayTextRadioGroup{62416, "RadioGroup|Represents a group of radio buttons"};
const TResourceString sqvEditDisplayTextTimeEdit{62417, "TimeEdit|Represents an editor displaying time values"};
const TResourceString sqvEditDisplayTextLookupComboBox{62418, "LookupComboBox|Represents a lookup combo box control"};
const TResourceString sqvEditDisplayTextColorComboBox{62419, "ColorComboBox |Represents a editor with color functionality"};
const TResourceString sqvEditDisplayTextTrackBar{62420, "TrackBar|Represents a TrackBar"};
const TResourceString sqvEditDisplayTextProgressBar{62421, "ProgressBar|Represents a ProgressBar"};
const TResourceString sqvEditDisplayTextLabel{62422, "Label|Represents a Label"};

TqvRegisteredClasses* GetRegisteredEditProperties() {
  static TqvRegisteredClasses registry(false);
  return &registry;
}

TqvEditKindRegistration::TqvEditKindRegistration(TqvCustomEditPropertiesClass AClass, PResStringRec ADisplayText)
    : FClass(AClass) {
  GetRegisteredEditProperties()->Register(AClass, GetLocalizedResourceString(ADisplayText));
}

TqvEditKindRegistration::~TqvEditKindRegistration() { GetRegisteredEditProperties()->Unregister(FClass); }
