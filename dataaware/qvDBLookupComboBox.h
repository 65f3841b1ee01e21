// The dataset lookup edit and the lookup combo box: the list is a dataset (ListSource), the key one
// or more key fields (KeyFieldNames) and the shown text a list column (ListFieldNames,
// ListFieldIndex); the drop-down is a lookup DB grid. An editor bound to a dataset lookup field
// takes the list dataset, the key fields and the result field from it, and they may not be set by
// hand. In GridMode the list is not loaded: texts are found by locating the key in the dataset and
// kept in a cache until the list's data change.
#pragma once

#include <memory>

#include "core/qvDataStorage.h"
#include "dataaware/qvLookupDBGrid.h"
#include "dataaware/qvLookupEdit.h"

class TqvFreeNotificator;

// ---------------------------------------------------------------------------------------------
// The dataset layer

class TqvCustomDBLookupEditLookupData : public TqvCustomLookupEditLookupData {
  QJ_CLASS(TqvCustomDBLookupEditLookupData, TqvCustomLookupEditLookupData)
 public:
  using TqvCustomLookupEditLookupData::TqvCustomLookupEditLookupData;
  // The record's key field values; Null for -1.
  void SetCurrentKeyFromRecord(Integer ARecordIndex) override;
  // Locates the key in the list; a key that does not convert is not found.
  void FocusCurrentKeyRecord() override;

 protected:
  Integer FindKeyRecord(const Variant& AKey) override;

 private:
  TqvDBDataController* GetListDBDataController() const;
};

class TqvCustomDBLookupEditProperties : public TqvCustomLookupEditProperties {
  QJ_CLASS(TqvCustomDBLookupEditProperties, TqvCustomLookupEditProperties)
 public:
  explicit TqvCustomDBLookupEditProperties(TPersistent* AOwner);
  ~TqvCustomDBLookupEditProperties() override;
  // KeyFieldNames unless defined by a lookup field, then the lookup settings.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();

  // -- Virtual operations of the dataset lookup properties
  virtual void BeginListColumnsUpdate() {}
  virtual void EnsureListColumn(const String&) {}
  virtual void SetListColumnsByFieldNames(const String&) {}
  virtual void EndListColumnsUpdate() {}
  virtual TField* GetListField(Integer) const { return nullptr; }
  virtual String GetListColumnFieldName(Integer) const { return String(); }
  virtual Integer FindListColumn(const String&) const { return -1; }
  virtual TqvDBDataController* GetListDBDataController() const { return nullptr; }
  // The bound lookup field is taken (after the circular-link check).
  virtual void LookupFieldChanged();
  virtual void EnsureLookupResultColumn();

  // -- Overrides
  // The cache and the grid mode follow, the lookup field is taken again, then the drop-down's.
  void Changed() override;
  TAlignment GetDefaultHorzAlignment() override;
  Integer GetDefaultMaxLength() override;
  // A lookup field: the key while focused, the display text otherwise.
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool HasLookupField() const override { return FLookupField != nullptr; }
  bool IsKeyFieldDisplayed() const override;
  void LockList() override;
  void UnlockList() override;
  void WriteListFieldIndex(Integer AIndex) override;
  Integer FindRecordByText(Integer AItemIndex, const String& AText, bool APartial) override;
  Integer ReadListFieldIndex() const override;
  String GetDisplayTextByKey(const Variant& AKey) override;
  bool UseIncrementalFiltering() const override;
  // An array of Nulls for several key fields.
  Variant GetEmptyKeyValue() const override;
  // A change of the list's data empties the text cache.
  void ListDataChanged() override;

  // -- Settings
  String GetKeyFieldNames() const;
  // Raises "Property already defined by lookup field" for a lookup-defined editor.
  void SetKeyFieldNames(const String& Value);
  // ";"-joined field names of the list columns.
  String GetListFieldNames() const;
  bool GetGridMode() const { return FDisplayTextCache != nullptr; }
  void SetGridMode(bool Value);
  const TqvLookupList* GetDisplayTextCache() const { return FDisplayTextCache.get(); }

  // -- Lookup field binding
  // The field of the editor's dataset defaults, or nullptr.
  TField* GetBoundField() const;
  // The bound field when it is a lookup field.
  TField* GetLookupField() const;
  TField* GetCurrentListField() const { return GetListField(GetListItemIndex()); }
  void SetLookupField(TField* AField);
  void ResetLookupCache();
  // Raises "Circular datalinks are not allowed" when the list comes from the bound field's dataset.
  void CheckCircularDataLink();
  // ADataSet or one of its masters is the source's dataset (or nests in it).
  static bool IsDataSetLinkedTo(TDataSource* ADataSource, TDataSet* ADataSet);
  static bool IsDataSetLinkedTo(TDataSet* AListDataSet, TDataSet* ADataSet);

 protected:
  // The internal flag of SetLookupField: lookup-defined settings may then be written.
  bool IsSettingLookupField() const { return FSettingLookupField; }
  // Raises the "defined by lookup field" error outside SetLookupField.
  void CheckNotDefinedByLookup() const;
  void ClampListFieldIndex();

 private:
  void LookupFieldFreed(TComponent* AComponent);

  Integer FLookupUsageCount = 0;
  TField* FLookupField = nullptr;
  std::unique_ptr<TqvLookupList> FDisplayTextCache;
  TOwned<TDataSource> FLookupDataSource;
  bool FSettingLookupField = false;
  TOwned<TqvFreeNotificator> FLookupFieldWatch;
};

class TqvCustomDBLookupEdit : public TqvCustomLookupEdit {
  QJ_CLASS(TqvCustomDBLookupEdit, TqvCustomLookupEdit)
 public:
  using TqvCustomLookupEdit::TqvCustomLookupEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomDBLookupEditProperties* GetProperties() const {
    return static_cast<TqvCustomDBLookupEditProperties*>(GetActiveProperties());
  }
  // The current list field decides (the valid characters always pass); any without one.
  bool IsValidChar(char AChar) override;
  // The key is the edit value.
  void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) override;
};

// ---------------------------------------------------------------------------------------------
// The lookup combo box

class TqvLookupComboBoxProperties : public TqvCustomDBLookupEditProperties {
  QJ_CLASS(TqvLookupComboBoxProperties, TqvCustomDBLookupEditProperties)
 public:
  explicit TqvLookupComboBoxProperties(TPersistent* AOwner);
  ~TqvLookupComboBoxProperties() override;
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();

  virtual void ListOptionsChanged() { Changed(); }

  // -- Hooks answered by the grid
  Integer GetListColumnCount() const override { return FListGrid->GetColumns()->GetCount(); }
  TWinControl* GetListControl() const override { return FListGrid.get(); }
  TqvCustomDataController* GetListDataController() const override;
  TqvDBDataController* GetListDBDataController() const override;
  Integer GetListColumnsWidth() override;
  Integer SnapPopupHeight(Integer AHeight) override { return FListGrid->GetNearestPopupHeight(AHeight); }
  Integer GetPopupHeightForRows(Integer ARows) override { return FListGrid->GetPopupHeight(ARows); }
  bool IsRowAtPoint(const TPoint& P) override { return FListGrid->IsMouseOverRow(P); }
  void MakeFocusedRowVisible() override { FListGrid->MakeFocusedRowVisible(); }
  void SetListEventHandlers(TNotifyEvent ARowChosen, TqvLookupListCloseUpEvent ACloseUp, TNotifyEvent AThird) override;
  void ApplyListStyle(TqvLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) override;
  void IgnoreListMouseMove() override { FListGrid->SetIgnoreMouseMove(true); }
  void ReleaseListMouse() override;
  void BeginListColumnsUpdate() override { FListGrid->BeginUpdate(); }
  void EndListColumnsUpdate() override { FListGrid->EndUpdate(); }
  // Adds a column for the field at position 0 unless one shows it.
  void EnsureListColumn(const String& AFieldName) override;
  void SetListColumnsByFieldNames(const String& ANames) override { FListGrid->SetColumnsFieldNames(ANames); }
  TField* GetListField(Integer AIndex) const override;
  String GetListColumnFieldName(Integer AIndex) const override;
  Integer FindListColumn(const String& AFieldName) const override;

  // -- Settings
  TqvLookupDBGrid* GetListGrid() const { return FListGrid.get(); }
  TqvLookupDBGridColumns* GetListColumns() const { return FListGrid->GetColumns(); }
  void SetListColumns(TqvLookupDBGridColumns* Value);
  TqvLookupGridOptions* GetListOptions() const { return FListGrid->GetOptions(); }
  void SetListOptions(TqvLookupGridOptions* Value) { FListGrid->SetOptions(Value); }
  // nullptr for a lookup-defined editor.
  TDataSource* GetListSource() const;
  // Raises for a lookup-defined editor and for a source on the edited field's dataset (then
  // nothing changes).
  void SetListSource(TDataSource* Value);
  void SetListFieldNames(const String& Value);
  // Kept by the list's data controller.
  TNotifyEvent GetOnSortingChanged() const;
  void SetOnSortingChanged(TNotifyEvent Value);

 private:
  TOwned<TqvLookupDBGrid> FListGrid;
};

class TqvCustomLookupComboBox : public TqvCustomDBLookupEdit {
  QJ_CLASS(TqvCustomLookupComboBox, TqvCustomDBLookupEdit)
 public:
  using TqvCustomDBLookupEdit::TqvCustomDBLookupEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvLookupComboBoxProperties* GetProperties() const {
    return static_cast<TqvLookupComboBoxProperties*>(GetActiveProperties());
  }
};

class TqvLookupComboBox : public TqvCustomLookupComboBox {
  QJ_CLASS(TqvLookupComboBox, TqvCustomLookupComboBox)
 public:
  using TqvCustomLookupComboBox::TqvCustomLookupComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  void SetProperties(TqvLookupComboBoxProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryLookupComboBoxItem : public TqvEditRepositoryItemOf<TqvLookupComboBoxProperties> {
  QJ_CLASS(TqvEditRepositoryLookupComboBoxItem, TqvEditRepositoryItemOf<TqvLookupComboBoxProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
