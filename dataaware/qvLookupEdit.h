// The lookup edit: an editor whose value is a key and whose text is the text of that key's record
// in a second list. Its drop-down shows the list in a list control; typing narrows the list
// (incremental filtering) or searches it, and the arrow and page keys move through it. This is the
// framework: which list control and which list data controller are used is decided by the
// descendants through the hooks of TqvCustomLookupEditProperties (the dataset lookup combo box of
// qvDBLookupComboBox.h fills them with a lookup grid over a dataset).
//
// The lookup data is the text editor's lookup data (editors/qvTextEdit.h): the interface names
// CloseUp, FinalizeList, MoveCurrent and ChooseCurrentItem of the framework are the text editor's
// ResetListItemIndex, OwnerDestroying, Go and SelectItem. The key of this class is the list's record
// index; the text editor's item index follows the record of the key, so its change tests hold.
#pragma once

#include "editors/qvComboBox.h"

class TqvCustomDataController;
class TqvCustomLookupEdit;
class TqvCustomLookupEditProperties;
class TqvLookAndFeel;

// The close-up event of a list: the user finished with it, accepting the focused row or not.
using TqvLookupListCloseUpEvent = std::function<void(TObject* Sender, bool AAccept)>;

// ---------------------------------------------------------------------------------------------
// Lookup data

class TqvCustomLookupEditLookupData : public TqvCustomTextEditLookupData {
  QJ_CLASS(TqvCustomLookupEditLookupData, TqvCustomTextEditLookupData)
 public:
  explicit TqvCustomLookupEditLookupData(TPersistent* AOwner);

  // Null at creation; a record index here, key field values in the dataset lookup data.
  const Variant& GetKeyValue() const { return FKeyValue; }
  // True between DropDown and CloseUp.
  bool GetListVisible() const { return FListVisible; }
  TqvCustomLookupEdit* GetEdit() const;
  TqvCustomLookupEditProperties* GetLookupProperties() const;

  // -- The text editor's lookup interface
  // The height snaps to whole rows when the properties ask for it.
  bool CanResizeList(TSize& ASize) override;
  // CloseUp: the list filter goes, the handlers are cleared and the list unlocked.
  void ResetListItemIndex() override;
  // FinalizeList: the list control leaves the popup.
  void OwnerDestroying() override;
  void DropDown() override;
  void DroppedDown(const String& AFindText) override;
  bool ContainsText(const String& AText) override;
  // The properties' popup control (the lookup grid).
  TWinControl* GetList() override;
  Variant GetCurrentKey() override { return FKeyValue; }
  String GetDisplayText(const Variant& AKey) override;
  // The columns' width and the height of min(records, DropDownRows) rows, at least one.
  void GetListPreferredSize(Integer AMaxHeight, Integer AWidth, TSize& ASize) override;
  // MoveCurrent: first, last, next, previous, a page up or down; ACycle wraps at the ends.
  void Go(TqvEditLookupDirection ADirection, bool ACycle) override;
  void InitializeList(TWinControl* AParent) override;
  // False only with a list column and records in the list.
  bool IsEmpty() override;
  bool IsMouseOverList(const TPoint& AScreenPoint) override;
  // Filters the open list by AText or searches it; AText takes the list's letter case and ATail
  // the rest of the found text.
  bool Locate(String& AText, String& ATail, bool ANext) override;
  void PositionList(const TRect& ABounds) override;
  void PropertiesChanged() override {}
  // ChooseCurrentItem: the focused row, when it is the one selected row, becomes the key.
  void SelectItem() override;
  void SetCurrentKey(const Variant& AKey) override;
  // The edit's text changed: SyncListToText.
  void SynchronizeItemIndex() override;
  // The list's records, so that the item index can follow the key's record.
  Integer GetItemCount() override;
  String GetItem(Integer AIndex) override;

  // -- Virtual operations of the lookup data
  virtual void DoKeyChanged();
  virtual void DoItemChosen();
  // -1: Null.
  virtual void SetCurrentKeyFromRecord(Integer ARecordIndex);
  virtual void FocusCurrentKeyRecord();
  virtual void ListRowChosen(TObject* Sender);
  virtual void ListCloseUp(TObject* Sender, bool AAccept);
  virtual void ListNotification(TObject*) {}
  virtual bool IsFocusedRowSelected();
  // An exact find that focuses and keys the record; false leaves the focused row unselected.
  virtual bool FindAndFocusText(const String& AText);
  virtual void ClearListFilter();
  virtual void SyncListToKey();
  virtual void SyncListToText();
  virtual void AdjustPopupHeight();

 protected:
  void SetKeyValue(const Variant& AValue);
  // The record of a key, -1 when the list has none (the text editor's item index follows it).
  virtual Integer FindKeyRecord(const Variant& AKey);
  TqvCustomDataController* GetListDataController() const;

 private:
  // The focused record's text in the list column, or empty.
  String FocusedRecordText(Integer AItemIndex);
  void MarkFocusedRowSelected(bool ASelected);
  bool IncrementalFilterLocate(Integer AItemIndex, const String& AText, Integer& ARecordIndex);
  void MoveFocus(TqvEditLookupDirection ADirection, bool ACycle);

  Variant FKeyValue;
  bool FListVisible = false;
};

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomLookupEditProperties : public TqvCustomComboBoxProperties {
  QJ_CLASS(TqvCustomLookupEditProperties, TqvCustomComboBoxProperties)
 public:
  explicit TqvCustomLookupEditProperties(TPersistent* AOwner);
  ~TqvCustomLookupEditProperties() override;
  // A lookup source: the combo box settings, ListFieldIndex (unless defined by a lookup field)
  // and IncrementalFiltering, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();

  // -- Hooks of the list (the descendants fill them)
  virtual TWinControl* GetPopupControl() { return GetListControl(); }
  virtual bool IsPopupHeightSnapped() const { return true; }
  virtual Integer GetListColumnCount() const { return 0; }
  virtual TWinControl* GetListControl() const { return nullptr; }
  virtual TqvCustomDataController* GetListDataController() const { return nullptr; }
  virtual Integer GetListColumnsWidth() { return 0; }
  virtual Integer SnapPopupHeight(Integer AHeight) { return AHeight; }
  virtual Integer GetPopupHeightForRows(Integer) { return 0; }
  // AP in the list control's client coordinates.
  virtual bool IsRowAtPoint(const TPoint&) { return false; }
  virtual void AfterListCloseUp() {}
  virtual void ListDroppedDown(const String&) {}
  virtual void SetListEventHandlers(TNotifyEvent, TqvLookupListCloseUpEvent, TNotifyEvent) {}
  virtual void BeforeListDropDown() {}
  virtual void ApplyListStyle(TqvLookAndFeel*, TColor, TFont*) {}
  virtual void IgnoreListMouseMove() {}
  virtual void MakeFocusedRowVisible() {}
  virtual void ReleaseListMouse() {}
  virtual void DisconnectListDataController();
  // The record index or -1: from filtered position 0, forward, without wrapping.
  virtual Integer FindRecordByText(Integer AItemIndex, const String& AText, bool APartial);
  virtual Integer ReadListFieldIndex() const { return FListFieldIndex; }
  virtual String GetDisplayTextByKey(const Variant&) { return String(); }
  virtual bool UseIncrementalFiltering() const { return FIncrementalFiltering; }
  // ReadListFieldIndex below the column count, else the last column (-1 without columns).
  virtual Integer GetListItemIndex() const;
  virtual Variant GetEmptyKeyValue() const { return Null(); }
  // Changed, unless the list works for the lookup itself.
  virtual void ListDataChanged();
  virtual void ConnectListDataController();
  virtual bool IsLookupDataBusy() const { return FLookupBusyCount > 0; }
  bool IsInListDataChanged() const { return FInListDataChanged; }
  virtual bool IsListLocked() const;
  virtual bool IsDefinedByLookup() const { return HasLookupField(); }
  virtual bool IsKeyFieldDisplayed() const { return false; }
  virtual void LockList();
  // Clamped to the columns (and to 0); a different value is stored and Changed.
  virtual void WriteListFieldIndex(Integer AIndex);
  virtual void UnlockList();
  virtual void DetachListControl();
  virtual bool HasLookupField() const { return false; }

  // -- Overrides of the editor properties
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return 0; }
  bool IsEditValueValid(Variant&, bool) override { return true; }
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  TqvEditSupportedOperations GetSupportedOperations() const override;
  bool FindLookupText(const String& AText) override;
  bool IsLookupNavigationKey(Word Key, TShiftState Shift) override;
  bool IsLookupEditProperties() const override { return true; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

  // The lookup busy count: up while the lookup data works on the list and while the edit posts.
  void LockLookup() { ++FLookupBusyCount; }
  void UnlockLookup() { --FLookupBusyCount; }

  // -- Settings
  Integer GetListFieldIndex() const { return ReadListFieldIndex(); }
  void SetListFieldIndex(Integer Value) { WriteListFieldIndex(Value); }
  bool GetIncrementalFiltering() const { return FIncrementalFiltering; }
  void SetIncrementalFiltering(bool Value) { FIncrementalFiltering = Value; }
  // The drop-down settings under their lookup names.
  bool GetDropDownAutoSize() const { return GetPopupAutoSize(); }
  void SetDropDownAutoSize(bool Value) { SetPopupAutoSize(Value); }
  Integer GetDropDownHeight() const { return GetPopupHeight(); }
  void SetDropDownHeight(Integer Value) { SetPopupHeight(Value); }

 private:
  static void ListDataChangedProc(void* AData, TqvCustomDataController* ASender);

  Integer FListFieldIndex = 0;
  Integer FLookupBusyCount = 0;
  bool FInListDataChanged = false;
  bool FIncrementalFiltering = true;
  TqvCustomDataController* FConnectedController = nullptr;
};

// The busy count of lookup properties held for a block, released also when the block raises.
using TqvLookupBusyScope = TUpdateScope<TqvCustomLookupEditProperties, &TqvCustomLookupEditProperties::LockLookup,
                                        &TqvCustomLookupEditProperties::UnlockLookup>;
// The list's listener lock held for a block.
using TqvLookupListLockScope = TUpdateScope<TqvCustomLookupEditProperties, &TqvCustomLookupEditProperties::LockList,
                                            &TqvCustomLookupEditProperties::UnlockList>;

// ---------------------------------------------------------------------------------------------
// Editor

class TqvCustomLookupEdit : public TqvCustomComboBox {
  QJ_CLASS(TqvCustomLookupEdit, TqvCustomComboBox)
 public:
  // 145 pixels wide.
  explicit TqvCustomLookupEdit(TComponent* AOwner, bool AIsInplace = false);
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomLookupEditProperties* GetProperties() const {
    return static_cast<TqvCustomLookupEditProperties*>(GetActiveProperties());
  }
  TqvCustomLookupEditLookupData* GetLookupEditData() const;

  bool IsEditFocused() override { return true; }
  // The inherited drop-down, then the list goes to the edit value's record.
  void DropDown() override;
  void SynchronizeDisplayValue() override;
  // The entered text to a key: the current key when its text equals the text, else the key of
  // the record with exactly that text, else the empty key.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  void BeginPostEditValue() override;
  void EndPostEditValue() override;
  void RepositoryItemChanging() override;
};
