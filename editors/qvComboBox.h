// The combo box: a drop-down edit whose popup lists strings, sized by rows and by the widest
// item, resized in whole rows, drawn and measured by events when the application wants to.
#pragma once

#include "editors/qvDropDownEdit.h"

class TqvCustomComboBox;

// How the text of a combo box relates to its list: restricted to the items, free, list only.
enum TqvEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };

using TqvEditDrawItemEvent = std::function<void(TqvCustomComboBox* AControl, TqvCanvas* ACanvas, Integer AIndex,
                                                const TRect& ARect, TOwnerDrawState AState)>;
using TqvComboBoxMeasureItemEvent =
    std::function<void(TqvCustomComboBox* AControl, Integer AIndex, TqvCanvas* ACanvas, Integer& AHeight)>;

// ---------------------------------------------------------------------------------------------
// List and lookup data

class TqvComboBoxListBox : public TqvCustomEditListBox {
  QJ_CLASS(TqvComboBoxListBox, TqvCustomEditListBox)
 public:
  // AOwner is the combo box.
  explicit TqvComboBoxListBox(TComponent* AOwner);

  TqvCustomComboBox* GetEdit();
  bool DoDrawItem(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) override;
  // The sum of the first ARowCount item heights (AMaxHeight is not applied).
  Integer GetHeight(Integer ARowCount, Integer AMaxHeight) override;
  String GetItem(Integer AIndex) override;
  // ItemHeight, else the standard height; OnMeasureItem may change it for an item.
  Integer GetItemHeight(Integer AIndex) override;
  // The window is made again when the measuring changed (items measure at window creation).
  void UpdateItemHeight() override;

 protected:
  void MeasureItem(Integer Index, Integer& Height) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  bool FIsFirstWindow = true;
  bool FMeasured = false;
  Integer FStandardHeight = 0;
};

class TqvComboBoxLookupData : public TqvCustomTextEditLookupData {
  QJ_CLASS(TqvComboBoxLookupData, TqvCustomTextEditLookupData)
 public:
  using TqvCustomTextEditLookupData::TqvCustomTextEditLookupData;
  TqvCustomEditListBoxClass GetListBoxClass() override { return &TqvComboBoxListBox::StaticClass(); }
  // Snaps the proposed client size to whole rows toward the list's current height.
  bool CanResizeList(TSize& ASize) override;
  void GetListPreferredSize(Integer AMaxHeight, Integer AWidth, TSize& ASize) override;
  // The list follows the edit's popup look and feel.
  void InitializeList(TWinControl* AParent) override;
  void ItemsChanged() override;
};

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomComboBoxProperties : public TqvCustomDropDownEditProperties {
  QJ_CLASS(TqvCustomComboBoxProperties, TqvCustomDropDownEditProperties)
 public:
  using TqvCustomDropDownEditProperties::TqvCustomDropDownEditProperties;
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();
  static TqvCustomEditViewDataClass ViewDataClass();

  bool DropDownOnClick() const override { return FDropDownListStyle == lsFixedList; }
  Integer GetDropDownRows() override { return FDropDownRows; }
  TqvEditEditingStyle GetEditingStyle() const override;
  TqvCustomEditPopupWindowClass GetPopupWindowClass() const override;

  bool GetDropDownAutoWidth() const { return GetPopupAutoSize(); }
  void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
  TqvEditDropDownListStyle GetDropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(TqvEditDropDownListStyle Value);
  Integer GetDropDownRowsValue() const { return FDropDownRows; }
  // Values below 1 are ignored.
  void SetDropDownRows(Integer Value);
  bool GetDropDownSizeable() const { return GetPopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer GetDropDownWidth() const { return GetPopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }
  Integer GetItemHeight() const { return FItemHeight; }
  void SetItemHeight(Integer Value);
  bool GetRevertable() const { return FRevertable; }
  void SetRevertable(bool Value) { FRevertable = Value; }

  TqvEditDrawItemEvent OnDrawItem;
  TqvComboBoxMeasureItemEvent OnMeasureItem;

 private:
  TqvEditDropDownListStyle FDropDownListStyle = lsEditList;
  Integer FDropDownRows = 8;
  Integer FItemHeight = 0;
  bool FRevertable = false;
};

class TqvComboBoxProperties : public TqvCustomComboBoxProperties {
  QJ_CLASS(TqvComboBoxProperties, TqvCustomComboBoxProperties)
 public:
  using TqvCustomComboBoxProperties::TqvCustomComboBoxProperties;
  static TqvCustomEditClass ContainerClass();
  TStrings* GetItems() const { return GetLookupItems(); }
  void SetItems(TStrings* Value) { SetLookupItems(Value); }
  bool GetSorted() const { return GetLookupItemsSorted(); }
  void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
};

class TqvCustomComboBoxViewData : public TqvCustomDropDownEditViewData {
  QJ_CLASS(TqvCustomComboBoxViewData, TqvCustomDropDownEditViewData)
 public:
  using TqvCustomDropDownEditViewData::TqvCustomDropDownEditViewData;
  bool IsComboBoxStyle() const override { return true; }
};

// ---------------------------------------------------------------------------------------------
// Popup window and control

class TqvComboBoxPopupWindow : public TqvCustomEditPopupWindow {
  QJ_CLASS(TqvComboBoxPopupWindow, TqvCustomEditPopupWindow)
 public:
  using TqvCustomEditPopupWindow::TqvCustomEditPopupWindow;
  // The user's size stays once changed; otherwise the rows and the widest item.
  void CalculateSize() override;
};

class TqvCustomComboBoxInnerEdit : public TqvCustomDropDownInnerEdit {
  QJ_CLASS(TqvCustomComboBoxInnerEdit, TqvCustomDropDownInnerEdit)
 public:
  using TqvCustomDropDownInnerEdit::TqvCustomDropDownInnerEdit;

 protected:
  // A mouse click on the text fires no Click: Click comes from item changes.
  void Dispatch(TMessage& Message) override;
};

class TqvCustomComboBox : public TqvCustomDropDownEdit {
  QJ_CLASS(TqvCustomComboBox, TqvCustomDropDownEdit)
 public:
  explicit TqvCustomComboBox(TComponent* AOwner, bool AIsInplace = false);

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomComboBoxProperties* GetProperties() const {
    return static_cast<TqvCustomComboBoxProperties*>(GetActiveProperties());
  }

  // The current item, -1 for none. Setting another index clears EditModified and fires Click.
  Integer GetItemIndex();
  void SetItemIndex(Integer Value);
  // The popup height follows DropDownRows again.
  void ResetPopupHeight();
  bool GetIgnoreListMouseMove() const { return FIgnoreListMouseMove; }
  void SetIgnoreListMouseMove(bool Value) { FIgnoreListMouseMove = Value; }

  bool CanDropDown() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void InitPopupWindow() override;
  void PopupWindowShowed(TObject* Sender) override;
  void Activate(TqvCustomEditData*& AEditData) override;
  void DblClick() override;

 protected:
  void InnerEditChange(TObject* Sender) override;
  // The current item follows the edit value; a changed item fires Click (unless clicks are
  // locked) while the modified flags stay as they were.
  void SynchronizeLookupItem();
  TqvInnerEditClass GetInnerEditClass() const override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;

 private:
  bool FIgnoreListMouseMove = false;
};

class TqvComboBox : public TqvCustomComboBox {
  QJ_CLASS(TqvComboBox, TqvCustomComboBox)
 public:
  using TqvCustomComboBox::TqvCustomComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvComboBoxProperties* GetProperties() const { return static_cast<TqvComboBoxProperties*>(GetActiveProperties()); }
  void SetProperties(TqvComboBoxProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryComboBoxItem : public TqvEditRepositoryItemOf<TqvComboBoxProperties> {
  QJ_CLASS(TqvEditRepositoryComboBoxItem, TqvEditRepositoryItemOf<TqvComboBoxProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
