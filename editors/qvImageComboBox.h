// The image combo box: a combo box whose entries are items with a value, a description and an
// image. The edit value is the chosen item's Value (never parsed from the text); what shows is
// its Description and its image, or the defaults for a value no item has.
#pragma once

#include "editors/qvComboBox.h"
#include "platform/forms/ImgList.h"

class TqvCustomImageComboBoxProperties;

enum TqvImageAlign { iaLeft, iaRight };

class TqvImageComboBoxItem : public TCollectionItem {
  QJ_CLASS(TqvImageComboBoxItem, TCollectionItem)
 public:
  // Its own index as ImageIndex while the properties' Images hold enough images, else -1.
  explicit TqvImageComboBoxItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  const TCaption& GetDescription() const { return FDescription; }
  void SetDescription(const TCaption& Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  const Variant& GetValue() const { return FValue; }
  // Stores a copy unless the value has the same type and is equal.
  void SetValue(const Variant& Value);
  bool IsValueStored() const { return !VarIsNull(FValue); }

 private:
  TCaption FDescription;
  Integer FImageIndex = -1;
  Variant FValue = Null();
};

// Any change of an item or of the collection is a change of the owning properties.
class TqvImageComboBoxItems : public TOwnedCollection {
  QJ_CLASS(TqvImageComboBoxItems, TOwnedCollection)
 public:
  explicit TqvImageComboBoxItems(TPersistent* AOwner);
  TqvImageComboBoxItem* Add() { return static_cast<TqvImageComboBoxItem*>(TCollection::Add()); }
  TqvImageComboBoxItem* GetItem(Integer Index) const {
    return static_cast<TqvImageComboBoxItem*>(TCollection::GetItem(Index));
  }

 protected:
  void Update(TCollectionItem* Item) override;
};

class TqvImageComboBoxListBox : public TqvComboBoxListBox {
  QJ_CLASS(TqvImageComboBoxListBox, TqvComboBoxListBox)
 public:
  using TqvComboBoxListBox::TqvComboBoxListBox;
  TqvCustomImageComboBoxProperties* GetProperties();
  // The widest description with its image room, plus a scroll bar when not all rows show.
  virtual Integer GetContentWidth();
  Integer GetHeight(Integer ARowCount, Integer AMaxHeight) override;
  Integer GetItemHeight(Integer AIndex) override;
  // The window is always made again (heights may change with any setting).
  void UpdateItemHeight() override;

 protected:
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;

 private:
  // LargeImages when assigned, else Images.
  TCustomImageList* GetImages();
  TRect GetImageRect(const TRect& R);
  Integer MeasureItemHeight(Integer AIndex);

  Integer FTextWidth = 0;  // the text width per item, 0 when not multi-line
  bool FHasVScrollBar = false;
};

class TqvImageComboBoxLookupData : public TqvComboBoxLookupData {
  QJ_CLASS(TqvImageComboBoxLookupData, TqvComboBoxLookupData)
 public:
  using TqvComboBoxLookupData::TqvComboBoxLookupData;
  // The item's Description (empty outside the items).
  String GetItem(Integer AIndex) override;
  Integer GetItemCount() override;
  TqvCustomEditListBoxClass GetListBoxClass() override { return &TqvImageComboBoxListBox::StaticClass(); }
  // The current item becomes the item of the edit's value.
  void SynchronizeItemIndex() override;
};

class TqvImageComboBoxViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvImageComboBoxViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvImageComboBoxViewInfo() = default;
  void Offset(Integer DX, Integer DY) override;

  TRect ImageRect;
  TCustomImageList* Images = nullptr;
  Integer ImageIndex = -1;
  TqvImageAlign ImageAlign = iaLeft;
  bool ShowDescriptions = true;

 protected:
  // The image, clipped to its rectangle, then the text.
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvImageComboBoxViewData : public TqvCustomComboBoxViewData {
  QJ_CLASS(TqvImageComboBoxViewData, TqvCustomComboBoxViewData)
 public:
  using TqvCustomComboBoxViewData::TqvCustomComboBoxViewData;
  TqvCustomImageComboBoxProperties* GetProperties() const;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void DisplayValueToDrawText(const Variant& ADisplayValue, TqvCustomTextEditViewInfo* AViewInfo) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;
};

class TqvCustomImageComboBoxProperties : public TqvCustomComboBoxProperties {
  QJ_CLASS(TqvCustomImageComboBoxProperties, TqvCustomComboBoxProperties)
 public:
  // A fixed list with incremental search.
  explicit TqvCustomImageComboBoxProperties(TPersistent* AOwner);
  ~TqvCustomImageComboBoxProperties() override;
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();

  // The first item whose Value equals AValue (Boolean-aware); nullptr when none.
  TqvImageComboBoxItem* GetItemByValue(const Variant& AValue) const;
  // With ShowDescriptions, the first item whose Description equals AText ignoring case.
  TqvImageComboBoxItem* FindItemByDescription(const String& AText) const;
  bool FindLookupText(const String& AText) override { return FindItemByDescription(AText) != nullptr; }

  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  TqvEditSupportedOperations GetSupportedOperations() const override;
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return 0; }
  void FreeNotification(TComponent* AComponent) override;
  // The image and text a value shows: its item's, or the defaults.
  void GetValueImageAndText(const Variant& AValue, Integer& AImageIndex, String& AText) const;

  const String& GetDefaultDescription() const { return FDefaultDescription; }
  void SetDefaultDescription(const String& Value);
  Integer GetDefaultImageIndex() const { return FDefaultImageIndex; }
  void SetDefaultImageIndex(Integer Value);
  TqvImageAlign GetImageAlign() const { return FImageAlign; }
  void SetImageAlign(TqvImageAlign Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TqvImageComboBoxItems* GetItems() const { return FItems.get(); }
  void SetItems(TqvImageComboBoxItems* Value);
  bool GetMultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value);
  bool GetShowDescriptions() const { return FShowDescriptions; }
  void SetShowDescriptions(bool Value);

 private:
  void SetImageList(TCustomImageList*& AField, TChangeLink* ALink, TCustomImageList* AValue);

  String FDefaultDescription;
  Integer FDefaultImageIndex = -1;
  TqvImageAlign FImageAlign = iaLeft;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TOwned<TChangeLink> FImagesLink;
  TOwned<TChangeLink> FLargeImagesLink;
  TOwned<TqvFreeNotificator> FImagesWatch;
  TOwned<TqvImageComboBoxItems> FItems;
  bool FMultiLineText = false;
  bool FShowDescriptions = true;
};

class TqvImageComboBoxProperties : public TqvCustomImageComboBoxProperties {
  QJ_CLASS(TqvImageComboBoxProperties, TqvCustomImageComboBoxProperties)
 public:
  using TqvCustomImageComboBoxProperties::TqvCustomImageComboBoxProperties;
  static TqvCustomEditClass ContainerClass();
};

class TqvCustomImageComboBox : public TqvCustomComboBox {
  QJ_CLASS(TqvCustomImageComboBox, TqvCustomComboBox)
 public:
  using TqvCustomComboBox::TqvCustomComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomImageComboBoxProperties* GetProperties() const {
    return static_cast<TqvCustomImageComboBoxProperties*>(GetActiveProperties());
  }

  // The Value of the chosen item; the text is not parsed.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  // A value shown from code leaves the modified flags as they were.
  void SynchronizeDisplayValue() override;
  void CalculatePopupContentSize(TSize& ASize) override;

 protected:
  void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) override;
  void UpdateDisplayedText() override;
  bool IsValidChar(char AChar) override { return static_cast<unsigned char>(AChar) > 31; }
};

class TqvImageComboBox : public TqvCustomImageComboBox {
  QJ_CLASS(TqvImageComboBox, TqvCustomImageComboBox)
 public:
  using TqvCustomImageComboBox::TqvCustomImageComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvImageComboBoxProperties* GetProperties() const {
    return static_cast<TqvImageComboBoxProperties*>(GetActiveProperties());
  }
  void SetProperties(TqvImageComboBoxProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryImageComboBoxItem : public TqvEditRepositoryItemOf<TqvImageComboBoxProperties> {
  QJ_CLASS(TqvEditRepositoryImageComboBoxItem, TqvEditRepositoryItemOf<TqvImageComboBoxProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
