// The lookup edit framework: the lookup data between the text editor and the list, the lookup
// properties with their hooks, and the lookup edit.
#include "dataaware/qvLookupEdit.h"

#include <algorithm>

#include "core/qvCustomData.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomLookupEditLookupData)
QJ_IMPLEMENT_CLASS(TqvCustomLookupEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomLookupEdit)

namespace {

constexpr Integer kLookupEditWidth = 145;

// Rows a drop-down shows: the list's rows up to DropDownRows, at least one.
Integer PopupRowCount(TqvCustomDataController* AController, Integer ADropDownRows) {
  return std::max<Integer>(1, std::min(AController ? AController->GetRowCount() : 0, ADropDownRows));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lookup data

TqvCustomLookupEditLookupData::TqvCustomLookupEditLookupData(TPersistent* AOwner)
    : TqvCustomTextEditLookupData(AOwner), FKeyValue(Null()) {}

TqvCustomLookupEdit* TqvCustomLookupEditLookupData::GetEdit() const { return As<TqvCustomLookupEdit>(GetOwnerEdit()); }

TqvCustomLookupEditProperties* TqvCustomLookupEditLookupData::GetLookupProperties() const {
  return As<TqvCustomLookupEditProperties>(GetProperties());
}

TqvCustomDataController* TqvCustomLookupEditLookupData::GetListDataController() const {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  return properties ? properties->GetListDataController() : nullptr;
}

void TqvCustomLookupEditLookupData::SetKeyValue(const Variant& AValue) {
  const bool changed = !VarEqualsExact(FKeyValue, AValue);
  FKeyValue = AValue;
  if (changed) DoKeyChanged();
}

Integer TqvCustomLookupEditLookupData::GetItemCount() {
  TqvCustomDataController* controller = GetListDataController();
  return controller ? controller->GetRecordCount() : 0;
}

String TqvCustomLookupEditLookupData::GetItem(Integer AIndex) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  const Integer column = properties ? properties->GetListItemIndex() : -1;
  if (!controller || column == -1 || AIndex < 0 || AIndex >= controller->GetRecordCount()) return String();
  return controller->GetDisplayText(AIndex, column);
}

String TqvCustomLookupEditLookupData::FocusedRecordText(Integer AItemIndex) {
  TqvCustomDataController* controller = GetListDataController();
  const Integer record = controller ? controller->GetFocusedRecordIndex() : -1;
  return record == -1 ? String() : controller->GetDisplayText(record, AItemIndex);
}

void TqvCustomLookupEditLookupData::MarkFocusedRowSelected(bool ASelected) {
  if (TqvCustomDataController* controller = GetListDataController()) controller->SetFocusedRowSelected(ASelected);
}

void TqvCustomLookupEditLookupData::DoKeyChanged() {
  if (TNotifyEvent handler = GetOnCurrentKeyChanged()) handler(this);
}

void TqvCustomLookupEditLookupData::DoItemChosen() { DoSelectItem(); }

void TqvCustomLookupEditLookupData::SetCurrentKeyFromRecord(Integer ARecordIndex) {
  SetItemIndex(ARecordIndex);
  SetKeyValue(ARecordIndex == -1 ? Null() : Variant(ARecordIndex));
}

Integer TqvCustomLookupEditLookupData::FindKeyRecord(const Variant& AKey) {
  TqvCustomDataController* controller = GetListDataController();
  const Integer record = !controller || VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger();
  return record >= 0 && record < controller->GetRecordCount() ? record : -1;
}

void TqvCustomLookupEditLookupData::FocusCurrentKeyRecord() {
  if (TqvCustomDataController* controller = GetListDataController())
    controller->ChangeFocusedRecordIndex(FindKeyRecord(FKeyValue));
}

void TqvCustomLookupEditLookupData::SyncListToKey() {
  FocusCurrentKeyRecord();
  if (TqvCustomLookupEditProperties* properties = GetLookupProperties()) properties->MakeFocusedRowVisible();
}

bool TqvCustomLookupEditLookupData::IsFocusedRowSelected() {
  TqvCustomDataController* controller = GetListDataController();
  const Integer row = controller ? controller->GetFocusedRowIndex() : -1;
  return row != -1 && controller->IsRowSelected(row);
}

bool TqvCustomLookupEditLookupData::FindAndFocusText(const String& AText) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  const Integer column = properties ? properties->GetListItemIndex() : -1;
  if (column == -1 || !controller) return false;
  const Integer record = properties->FindRecordByText(column, AText, false);
  if (record == -1) {
    MarkFocusedRowSelected(false);
    return false;
  }
  controller->ChangeFocusedRecordIndex(record);
  SetCurrentKeyFromRecord(record);
  MarkFocusedRowSelected(true);
  return true;
}

void TqvCustomLookupEditLookupData::ClearListFilter() {
  TqvCustomDataController* controller = GetListDataController();
  if (controller && controller->GetIncrementalFilterField()) controller->ClearIncrementalFilter();
}

void TqvCustomLookupEditLookupData::AdjustPopupHeight() {
  TqvCustomLookupEdit* edit = GetEdit();
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  if (!FListVisible || !edit || !properties || !controller || !edit->GetPopupWindow() ||
      !edit->GetPopupWindow()->IsOpen())
    return;
  const Integer height = properties->GetPopupHeightForRows(PopupRowCount(controller, properties->GetDropDownRows()));
  TWinControl* list = properties->GetListControl();
  if (!list || list->GetClientHeight() == height) return;
  if (!edit->GetPopupSizeChanged()) edit->ResetPopupHeight();
  edit->PositionPopupWindow();
}

// -- The text editor's lookup interface

bool TqvCustomLookupEditLookupData::CanResizeList(TSize& ASize) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  if (properties && properties->IsPopupHeightSnapped()) ASize.cy = properties->SnapPopupHeight(ASize.cy);
  return true;
}

void TqvCustomLookupEditLookupData::DropDown() {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomLookupEdit* edit = GetEdit();
  if (!properties || !edit || FListVisible) return;
  TqvLookupBusyScope busy(properties);
  properties->LockList();
  bool opened = false;
  // A drop-down that fails half way leaves the list as CloseUp would.
  TFinally undo([&] {
    if (opened) return;
    FListVisible = false;
    properties->SetListEventHandlers(nullptr, nullptr, nullptr);
    properties->UnlockList();
  });
  properties->BeforeListDropDown();
  properties->SetListEventHandlers([this](TObject* Sender) { ListRowChosen(Sender); },
                                   [this](TObject* Sender, bool AAccept) { ListCloseUp(Sender, AAccept); },
                                   [this](TObject* Sender) { ListNotification(Sender); });
  TqvCustomEditStyle* style = edit->GetStyle();
  properties->ApplyListStyle(edit->GetPopupControlsLookAndFeel(), style->GetColor(), style->GetFont());
  properties->IgnoreListMouseMove();
  FListVisible = true;
  SyncListToKey();
  SyncListToText();
  opened = true;
}

void TqvCustomLookupEditLookupData::ResetListItemIndex() {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  if (!properties || !FListVisible) return;
  TqvLookupBusyScope busy(properties);
  TFinally unlock([&] {
    FListVisible = false;
    properties->UnlockList();
  });
  ClearListFilter();
  FListVisible = false;
  properties->SetListEventHandlers(nullptr, nullptr, nullptr);
  properties->ReleaseListMouse();
  properties->AfterListCloseUp();
}

void TqvCustomLookupEditLookupData::OwnerDestroying() {
  if (TqvCustomLookupEditProperties* properties = GetLookupProperties()) properties->DetachListControl();
}

void TqvCustomLookupEditLookupData::DroppedDown(const String& AFindText) {
  if (TqvCustomLookupEditProperties* properties = GetLookupProperties()) properties->ListDroppedDown(AFindText);
}

bool TqvCustomLookupEditLookupData::ContainsText(const String& AText) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  return properties && properties->FindLookupText(AText);
}

String TqvCustomLookupEditLookupData::GetDisplayText(const Variant& AKey) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  return properties ? properties->GetDisplayTextByKey(AKey) : String();
}

void TqvCustomLookupEditLookupData::GetListPreferredSize(Integer, Integer, TSize& ASize) {
  ASize = TSize{};
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  if (!properties) return;
  ASize.cx = properties->GetListColumnsWidth();
  ASize.cy = properties->GetPopupHeightForRows(PopupRowCount(GetListDataController(), properties->GetDropDownRows()));
}

void TqvCustomLookupEditLookupData::MoveFocus(TqvEditLookupDirection ADirection, bool ACycle) {
  TqvCustomDataController* controller = GetListDataController();
  const Integer rows = GetLookupProperties()->GetDropDownRows();
  if (ADirection != eldFirst && ADirection != eldLast) SyncListToKey();
  switch (ADirection) {
    case eldFirst: controller->GotoFirst(); break;
    case eldLast: controller->GotoLast(); break;
    case eldNext:
      if (ACycle && controller->IsEOF())
        controller->GotoFirst();
      else
        controller->GotoNext();
      break;
    case eldPrev:
      if (ACycle && controller->IsBOF())
        controller->GotoLast();
      else
        controller->GotoPrev();
      break;
    case eldPageUp:
      if (ACycle && controller->IsBOF())
        controller->GotoLast();
      else
        controller->MoveBy(-rows);
      break;
    case eldPageDown:
      if (ACycle && controller->IsEOF())
        controller->GotoFirst();
      else
        controller->MoveBy(rows);
      break;
  }
}

void TqvCustomLookupEditLookupData::Go(TqvEditLookupDirection ADirection, bool ACycle) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  if (!properties || !controller || controller->GetRecordCount() == 0) return;
  TqvLookupBusyScope busy(properties);
  ClearListFilter();
  AdjustPopupHeight();
  TqvLookupListLockScope locked(properties);
  MoveFocus(ADirection, ACycle);
  const Integer record = controller->GetFocusedRecordIndex();
  SetCurrentKeyFromRecord(record);
  if (record != -1) MarkFocusedRowSelected(true);
  DoItemChosen();
}

void TqvCustomLookupEditLookupData::InitializeList(TWinControl* AParent) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  if (TWinControl* list = properties ? properties->GetListControl() : nullptr) list->SetParent(AParent);
}

bool TqvCustomLookupEditLookupData::IsEmpty() {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  return !properties || properties->GetListItemIndex() == -1 || !controller || controller->GetRecordCount() == 0;
}

TWinControl* TqvCustomLookupEditLookupData::GetList() {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  return properties ? properties->GetPopupControl() : nullptr;
}

bool TqvCustomLookupEditLookupData::IsMouseOverList(const TPoint& AScreenPoint) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TWinControl* list = properties ? properties->GetListControl() : nullptr;
  return list && properties->IsRowAtPoint(list->ScreenToClient(AScreenPoint));
}

bool TqvCustomLookupEditLookupData::IncrementalFilterLocate(Integer AItemIndex, const String& AText,
                                                            Integer& ARecordIndex) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  if (AText.empty()) {
    controller->ClearIncrementalFilter();
    ARecordIndex = properties->FindRecordByText(AItemIndex, String(), true);
  } else {
    const String previous = controller->GetIncrementalFilterText();
    ARecordIndex = controller->SetIncrementalFilter(AItemIndex, AText);
    if (ARecordIndex == -1 && properties->GetDropDownListStyle() != lsEditList) {
      if (previous.empty())
        controller->ClearIncrementalFilter();
      else
        controller->SetIncrementalFilter(AItemIndex, previous);
    }
  }
  AdjustPopupHeight();
  return ARecordIndex != -1;
}

bool TqvCustomLookupEditLookupData::Locate(String& AText, String& ATail, bool) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  const Integer column = properties ? properties->GetListItemIndex() : -1;
  if (column == -1 || !controller) return false;
  TqvLookupBusyScope busy(properties);
  Integer record = -1;
  if (FListVisible && properties->UseIncrementalFiltering())
    IncrementalFilterLocate(column, AText, record);
  else
    record = properties->FindRecordByText(column, AText, true);
  if (record == -1) {
    MarkFocusedRowSelected(false);
    return false;
  }
  controller->ChangeFocusedRecordIndex(record);
  SetCurrentKeyFromRecord(record);
  const String text = controller->GetDisplayText(record, column);
  const size_t head = std::min(AText.size(), text.size());
  AText = text.substr(0, head);
  ATail = text.substr(head);
  MarkFocusedRowSelected(true);
  return true;
}

void TqvCustomLookupEditLookupData::PositionList(const TRect& ABounds) {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TWinControl* list = properties ? properties->GetListControl() : nullptr;
  if (!list) return;
  list->SetBoundsRect(ABounds);
  list->HandleNeeded();
  properties->MakeFocusedRowVisible();
}

void TqvCustomLookupEditLookupData::SelectItem() {
  TqvCustomDataController* controller = GetListDataController();
  if (!controller || controller->GetSelectedCount() != 1 ||
      controller->GetSelectedRowIndex(0) != controller->GetFocusedRowIndex())
    return;
  SetCurrentKeyFromRecord(controller->GetFocusedRecordIndex());
  DoItemChosen();
}

void TqvCustomLookupEditLookupData::SetCurrentKey(const Variant& AKey) {
  FKeyValue = AKey;
  SyncListToKey();
  SetItemIndex(FindKeyRecord(AKey));
}

void TqvCustomLookupEditLookupData::SynchronizeItemIndex() { SyncListToText(); }

void TqvCustomLookupEditLookupData::SyncListToText() {
  TqvCustomLookupEditProperties* properties = GetLookupProperties();
  TqvCustomDataController* controller = GetListDataController();
  TqvCustomLookupEdit* edit = GetEdit();
  if (!properties || !controller || !edit || properties->IsInListDataChanged()) return;
  TqvLookupBusyScope busy(properties);
  String text;
  edit->GetDisplayValue(text);
  if (FListVisible && properties->UseIncrementalFiltering() && controller->ChangeIncrementalFilterText(text))
    AdjustPopupHeight();
  const Integer column = properties->GetListItemIndex();
  if (column == -1) return;
  bool matched = FListVisible && controller->GetFocusedRecordIndex() != -1 &&
                 AnsiSameText(FocusedRecordText(column), text);
  if (!matched) {
    const Integer record = properties->FindRecordByText(column, text, false);
    matched = record != -1;
    if (matched) {
      controller->ChangeFocusedRecordIndex(record);
      SetCurrentKeyFromRecord(record);
    }
  }
  MarkFocusedRowSelected(matched);
}

void TqvCustomLookupEditLookupData::ListRowChosen(TObject*) { SelectItem(); }

void TqvCustomLookupEditLookupData::ListCloseUp(TObject*, bool AAccept) {
  if (TqvCustomLookupEdit* edit = GetEdit()) edit->CloseUp(AAccept);
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomLookupEditProperties::TqvCustomLookupEditProperties(TPersistent* AOwner)
    : TqvCustomComboBoxProperties(AOwner) {
  SetDropDownHeight(0);
  SetDropDownWidth(0);
  SetDropDownListStyle(lsEditFixedList);
  SetDropDownAutoSize(false);
  SetDropDownSizeable(false);
  SetIncrementalSearch(true);
}

TqvCustomLookupEditProperties::~TqvCustomLookupEditProperties() { DisconnectListDataController(); }

TqvCustomEditClass TqvCustomLookupEditProperties::ContainerClass() { return &TqvCustomLookupEdit::StaticClass(); }

TqvCustomTextEditLookupDataClass TqvCustomLookupEditProperties::LookupDataClass() {
  return &TqvCustomLookupEditLookupData::StaticClass();
}

void TqvCustomLookupEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomLookupEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  if (!IsDefinedByLookup()) WriteListFieldIndex(source->ReadListFieldIndex());
  FIncrementalFiltering = source->FIncrementalFiltering;
}

void TqvCustomLookupEditProperties::ListDataChangedProc(void* AData, TqvCustomDataController*) {
  static_cast<TqvCustomLookupEditProperties*>(AData)->ListDataChanged();
}

void TqvCustomLookupEditProperties::ConnectListDataController() {
  TqvCustomDataController* controller = GetListDataController();
  if (!controller || controller == FConnectedController) return;
  DisconnectListDataController();
  controller->AddDataChangedListener(&ListDataChangedProc, this);
  FConnectedController = controller;
}

void TqvCustomLookupEditProperties::DisconnectListDataController() {
  if (!FConnectedController) return;
  FConnectedController->RemoveDataChangedListener(&ListDataChangedProc, this);
  FConnectedController = nullptr;
}

void TqvCustomLookupEditProperties::ListDataChanged() {
  if (FInListDataChanged || IsLookupDataBusy() || IsListLocked()) return;
  TValueScope guard(FInListDataChanged, true);
  Changed();
}

Integer TqvCustomLookupEditProperties::FindRecordByText(Integer AItemIndex, const String& AText, bool APartial) {
  TqvCustomDataController* controller = GetListDataController();
  return controller ? controller->FindRecordIndexByText(0, AItemIndex, AText, APartial, false, true) : -1;
}

Integer TqvCustomLookupEditProperties::GetListItemIndex() const {
  const Integer index = ReadListFieldIndex();
  return index < GetListColumnCount() ? index : GetListColumnCount() - 1;
}

bool TqvCustomLookupEditProperties::IsListLocked() const {
  TqvCustomDataController* controller = GetListDataController();
  return controller && controller->IsListenerLocked();
}

void TqvCustomLookupEditProperties::LockList() {
  if (TqvCustomDataController* controller = GetListDataController()) controller->IncListenerLock();
}

void TqvCustomLookupEditProperties::UnlockList() {
  if (TqvCustomDataController* controller = GetListDataController()) controller->DecListenerLock();
}

void TqvCustomLookupEditProperties::WriteListFieldIndex(Integer AIndex) {
  const Integer index = std::max<Integer>(std::min(AIndex, GetListColumnCount() - 1), 0);
  if (index == FListFieldIndex) return;
  FListFieldIndex = index;
  Changed();
}

void TqvCustomLookupEditProperties::DetachListControl() {
  if (TWinControl* list = GetListControl()) list->SetParent(nullptr);
}

TqvEditValueSource TqvCustomLookupEditProperties::GetEditValueSource(bool) const {
  return IsKeyFieldDisplayed() ? evsText : evsValue;
}

TqvEditSupportedOperations TqvCustomLookupEditProperties::GetSupportedOperations() const {
  TqvEditSupportedOperations operations = inherited::GetSupportedOperations();
  if (GetEditValueSource(false) == evsValue) operations |= esoSortingByDisplayText;
  return operations;
}

bool TqvCustomLookupEditProperties::FindLookupText(const String& AText) {
  const Integer column = GetListItemIndex();
  return column != -1 && GetListDataController() && FindRecordByText(column, AText, false) != -1;
}

bool TqvCustomLookupEditProperties::IsLookupNavigationKey(Word Key, TShiftState Shift) {
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return !(Shift & ssAlt);
    case VK_HOME:
    case VK_END: return (Shift & ssCtrl) != 0;
    default: return false;
  }
}

void TqvCustomLookupEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                        bool AEditFocused) {
  if (IsKeyFieldDisplayed() || (HasLookupField() && !AEditFocused)) {
    inherited::PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
    return;
  }
  ADisplayValue = GetDisplayTextByKey(AEditValue);
}

// ---------------------------------------------------------------------------------------------
// Editor

TqvCustomLookupEdit::TqvCustomLookupEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomComboBox(AOwner, AIsInplace) {}

void TqvCustomLookupEdit::AfterConstruction() {
  inherited::AfterConstruction();
  SetWidth(kLookupEditWidth);
}

TqvCustomEditPropertiesClass TqvCustomLookupEdit::PropertiesClass() {
  return &TqvCustomLookupEditProperties::StaticClass();
}

TqvCustomLookupEditLookupData* TqvCustomLookupEdit::GetLookupEditData() const {
  return As<TqvCustomLookupEditLookupData>(GetLookupData());
}

void TqvCustomLookupEdit::BeginPostEditValue() {
  GetProperties()->LockLookup();
  inherited::BeginPostEditValue();
}

void TqvCustomLookupEdit::EndPostEditValue() {
  inherited::EndPostEditValue();
  GetProperties()->UnlockLookup();
}

void TqvCustomLookupEdit::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  if (!(Focused() && GetModifiedAfterEnter())) SynchronizeDisplayValue();
  if (alive) inherited::PropertiesChanged(Sender);
}

void TqvCustomLookupEdit::RepositoryItemChanging() {
  inherited::RepositoryItemChanging();
  GetProperties()->DetachListControl();
}

void TqvCustomLookupEdit::DropDown() {
  TAliveToken alive = AliveToken();
  inherited::DropDown();
  if (alive && GetLookupEditData()) GetLookupEditData()->SetCurrentKey(GetEditValue());
}

void TqvCustomLookupEdit::SynchronizeDisplayValue() {
  TAliveToken alive = AliveToken();
  inherited::SynchronizeDisplayValue();
  TqvCustomLookupEditLookupData* lookup = alive ? GetLookupEditData() : nullptr;
  if (!lookup) return;
  const Variant value = GetEditValue();
  if (GetPopupWindow()) lookup->SetCurrentKey(value);
  if (alive && !GetProperties()->IsKeyFieldDisplayed()) SetInnerEditValue(lookup->GetDisplayText(value));
}

void TqvCustomLookupEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) {
  TqvCustomLookupEditProperties* properties = GetProperties();
  TqvCustomLookupEditLookupData* lookup = GetLookupEditData();
  if (properties->IsKeyFieldDisplayed() || !lookup) {
    inherited::DisplayToEditValue(ADisplayValue, AEditValue, AEditFocused);
    return;
  }
  const Variant key = lookup->GetCurrentKey();
  if (VarEqualsExact(Variant(lookup->GetDisplayText(key)), ADisplayValue)) {
    AEditValue = key;
  } else if (lookup->FindAndFocusText(VarToStr(ADisplayValue))) {
    AEditValue = lookup->GetCurrentKey();
  } else {
    AEditValue = properties->GetEmptyKeyValue();
  }
}
