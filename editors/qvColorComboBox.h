// Colour names and colour value texts: the four constant colour tables (the platform's colour
// identifiers, the HTML 4 colours, the X11 colours alphabetically and by colour family) and the
// operations that turn a colour into the text a colour list shows; and the colour combo box that
// lists, names and picks colours with them.
#pragma once

#include <array>

#include "editors/qvComboBox.h"
#include "platform/forms/Graphics.h"

// How a colour is named: by the item's own description, or by one of the tables.
enum TqvColorNamingConvention { qvncNone, qvncKordel, qvncHTML4, qvncX11 };
// Which table fills a colour list: none, platform identifiers, HTML 4, X11 alphabetical, X11 by
// colour family.
enum TqvColorPrepareList { qvplNone, qvplKordel, qvplHTML4, qvplX11, qvplX11Ordered };
// How a colour without a name is written.
enum TqvColorValueFormat { qvcvRGB, qvcvHexadecimal, qvcvInteger };

constexpr Integer PlatformColorCount = 52;
constexpr Integer HTML4ColorCount = 16;
constexpr Integer X11ColorCount = 140;

// Parallel tables, a value and a name per row. Row order matters: a search takes the first row
// with the value, and a list is filled in row order. "Aqua" and "Cyan", and "Fuchsia" and
// "Magenta", share a value.
extern const std::array<TColor, PlatformColorCount> PlatformColorValues;
extern const std::array<const char*, PlatformColorCount> PlatformColorNames;
extern const std::array<TColor, HTML4ColorCount> HTML4ColorValues;
extern const std::array<const char*, HTML4ColorCount> HTML4ColorNames;
extern const std::array<TColor, X11ColorCount> X11ColorValues;
extern const std::array<const char*, X11ColorCount> X11ColorNames;
// The X11 colours by colour family; only for filling lists, never for naming.
extern const std::array<TColor, X11ColorCount> X11OrderedColorValues;
extern const std::array<const char*, X11ColorCount> X11OrderedColorNames;

// The name of the first row holding exactly AColor; without one False, and AName is unchanged.
bool FindPlatformColorName(TColor AColor, String& AName);
bool FindHTML4ColorName(TColor AColor, String& AName);
bool FindX11ColorName(TColor AColor, String& AName);

// qvcvInteger: the raw value as a signed decimal. Otherwise the colour resolved to RGB (system
// colours take their current value): "255.0.0" (qvcvRGB) or "FF0000" (qvcvHexadecimal).
String ColorToValueText(TColor AColor, TqvColorValueFormat AFormat);
// qvncNone: ADescription as it is. Otherwise the colour's name in the convention's table, or its
// value text when the table has no row for it.
String GetColorText(TColor AColor, const String& ADescription, TqvColorNamingConvention ANamingConvention,
                    TqvColorValueFormat AFormat);

// ---------------------------------------------------------------------------------------------
// The colour combo box: a fixed-list combo box whose value is a colour (an integer). Its list
// holds the recent colours (newest first), then the colour items; a combined index addresses
// both, recent colours first, -1 for no colour. A second button asks for a custom colour.

class TqvCustomColorComboBoxProperties;
class TqvCustomColorComboBox;

enum TqvColorBoxAlign { cbaLeft, cbaRight };
enum TqvColorComboStyle { qvccsComboList, qvccsComboEdit };
enum TqvColorDialogType { qvcdtDefault, qvcdtCustom };
enum TqvDefaultColorStyle { qvdcClear, qvdcColor, qvdcHatched, qvdcText, qvdcCustom };

using TqvSelectCustomColorEvent =
    std::function<void(TObject* Sender, TColor& AColor, String& AColorDescription, bool& AddToList)>;
using TqvColorNamingConventionEvent =
    std::function<void(TObject* Sender, TColor AColor, String& AColorDescription)>;
using TqvGetDefaultColorEvent = std::function<void(TObject* Sender, TColor& AColor)>;

class TqvColorComboBoxItem : public TCollectionItem {
  QJ_CLASS(TqvColorComboBoxItem, TCollectionItem)
 public:
  // Items made here (by code, the user or the custom-colour command) are custom colours.
  explicit TqvColorComboBoxItem(TCollection* Collection) : TCollectionItem(Collection) {}
  // Copies colour, description and the custom flag.
  void Assign(TPersistent* Source) override;

  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  const String& GetDescription() const { return FDescription; }
  void SetDescription(const String& Value);
  bool GetIsCustomColor() const { return FIsCustomColor; }
  void SetIsCustomColor(bool Value) { FIsCustomColor = Value; }

 private:
  TColor FColor = clBlack;
  String FDescription;
  bool FIsCustomColor = true;
};

// Any change of an item is a change of the owning colour combo properties.
class TqvColorComboBoxItems : public TOwnedCollection {
  QJ_CLASS(TqvColorComboBoxItems, TOwnedCollection)
 public:
  explicit TqvColorComboBoxItems(TPersistent* AOwner);
  TqvColorComboBoxItem* GetItem(Integer AIndex) const {
    return static_cast<TqvColorComboBoxItem*>(TCollection::GetItem(AIndex));
  }

  // The first item with AColor, or nullptr.
  virtual TqvColorComboBoxItem* FindColorItem(TColor AColor) const;
  // nullptr when AColor is listed already; else the appended item.
  virtual TqvColorComboBoxItem* AddColor(TColor AColor, const String& ADescription);
  // As AddColor, inserted at AIndex (clamped into the list).
  virtual TqvColorComboBoxItem* InsertColor(Integer AIndex, TColor AColor, const String& ADescription);
  virtual void Move(Integer AFrom, Integer ATo);
  // Deletes every item that came from a standard table.
  virtual void ClearNonCustomItems();

  // The first index with AColor, -1 when none.
  Integer IndexOfColor(TColor AColor) const;
  TColor GetColorByIndex(Integer AIndex, TColor ADefault) const;

 protected:
  void Update(TCollectionItem* Item) override;
};

class TqvCustomColorComboBoxListBox : public TqvComboBoxListBox {
  QJ_CLASS(TqvCustomColorComboBoxListBox, TqvComboBoxListBox)
 public:
  using TqvComboBoxListBox::TqvComboBoxListBox;
  TqvCustomColorComboBoxProperties* GetProperties();
  // At least 16 pixels; the last recent colour is 3 pixels taller (room for the separator).
  Integer GetItemHeight(Integer AIndex) override;
  // The window is always made again (the separator moves with the recent colours).
  void UpdateItemHeight() override;

 protected:
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
};

class TqvColorComboBoxLookupData : public TqvComboBoxLookupData {
  QJ_CLASS(TqvColorComboBoxLookupData, TqvComboBoxLookupData)
 public:
  using TqvComboBoxLookupData::TqvComboBoxLookupData;
  // The entry's text by the combined index.
  String GetItem(Integer AIndex) override;
  // Recent colours plus colour items.
  Integer GetItemCount() override;
  TqvCustomEditListBoxClass GetListBoxClass() override { return &TqvCustomColorComboBoxListBox::StaticClass(); }
  // The current item becomes the entry of the edit's value.
  void SynchronizeItemIndex() override;
  // The current item below the last recent colour stays; else the recent entry of AColor.
  void LocateMRUColor(TColor AColor);
};

class TqvCustomColorComboBoxViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvCustomColorComboBoxViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvCustomColorComboBoxViewInfo() = default;
  void Offset(Integer DX, Integer DY) override;

  TRect ColorBoxRect;
  // The client rectangle less the buttons: the box and the text share it.
  TRect ContentRect;
  TColor ColorBoxColor = clWindow;
  TColor BkColor = clWindow;
  TColor ColorBoxFrameColor = clBtnShadow;
  TqvColorBoxAlign ColorBoxAlign = cbaLeft;
  Integer ColorBoxWidth = 30;
  bool ShowDescriptions = true;
  TqvDefaultColorStyle DefaultColorStyle = qvdcColor;
  bool IsColorSelected = false;

 protected:
  // The text, then the colour box (none for the text style without a colour).
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvCustomColorComboBoxViewData : public TqvCustomComboBoxViewData {
  QJ_CLASS(TqvCustomColorComboBoxViewData, TqvCustomComboBoxViewData)
 public:
  using TqvCustomComboBoxViewData::TqvCustomComboBoxViewData;
  TqvCustomColorComboBoxProperties* GetProperties() const;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void DisplayValueToDrawText(const Variant& ADisplayValue, TqvCustomTextEditViewInfo* AViewInfo) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;
};

class TqvCustomColorComboBoxProperties : public TqvCustomComboBoxProperties {
  QJ_CLASS(TqvCustomColorComboBoxProperties, TqvCustomComboBoxProperties)
 public:
  // A fixed list; button 1 is the (hidden) ellipsis that carries the glyph.
  explicit TqvCustomColorComboBoxProperties(TPersistent* AOwner);
  ~TqvCustomColorComboBoxProperties() override;
  // The settings, the five events, Items and MRUColors, in one update.
  void Assign(TPersistent* Source) override;
  void Changed() override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  TqvCustomEditPopupWindowClass GetPopupWindowClass() const override;

  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  TqvEditSupportedOperations GetSupportedOperations() const override;
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return 0; }
  bool SupportsValueBounds() const override { return true; }

  // -- Recent colours. Results: 0 nothing changed, 1 moved to the front, 2 added, 3 deleted.
  virtual Integer AddMRUColor(TColor AColor);
  virtual Integer DeleteMRUColor(TColor AColor);
  virtual void ClearMRUColors();
  virtual void DoGetDefaultColor(TColor& AColor);

  // -- The combined index (recent colours, then items; -1 none)
  Integer IndexOfColorValue(const Variant& AEditValue) const;
  TColor GetColorByIndex(Integer AIndex) const;
  Integer IndexOfColor(TColor AColor) const;
  String GetColorDescription(Integer AIndex) const;
  String GetDisplayTextByIndex(Integer AIndex) const;
  // The colour and text a value shows; AColor is left alone for a listed value.
  void TranslateValue(const Variant& AEditValue, TColor& AColor, String& ADescription) const;
  void SetViewInfoColor(Integer AIndex, TqvCustomColorComboBoxViewInfo* AViewInfo, const Variant& AEditValue) const;

  bool GetAllowSelectColor() const { return FAllowSelectColor; }
  void SetAllowSelectColor(bool Value);
  TqvColorBoxAlign GetColorBoxAlign() const { return FColorBoxAlign; }
  void SetColorBoxAlign(TqvColorBoxAlign Value) { SetValue(FColorBoxAlign, Value); }
  TColor GetColorBoxFrameColor() const { return FColorBoxFrameColor; }
  void SetColorBoxFrameColor(TColor Value) { SetValue(FColorBoxFrameColor, Value); }
  Integer GetColorBoxWidth() const { return FColorBoxWidth; }
  // A negative width is stored as 0.
  void SetColorBoxWidth(Integer Value) { SetValue(FColorBoxWidth, std::max<Integer>(Value, 0)); }
  TqvColorComboStyle GetColorComboStyle() const { return FColorComboStyle; }
  void SetColorComboStyle(TqvColorComboStyle Value) { SetValue(FColorComboStyle, Value); }
  TqvColorDialogType GetColorDialogType() const { return FColorDialogType; }
  void SetColorDialogType(TqvColorDialogType Value) { SetValue(FColorDialogType, Value); }
  TqvColorValueFormat GetColorValueFormat() const { return FColorValueFormat; }
  void SetColorValueFormat(TqvColorValueFormat Value) { SetValue(FColorValueFormat, Value); }
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value) { SetValue(FDefaultColor, Value); }
  const String& GetDefaultDescription() const { return FDefaultDescription; }
  void SetDefaultDescription(const String& Value) { SetValue(FDefaultDescription, Value); }
  TqvDefaultColorStyle GetDefaultColorStyle() const { return FDefaultColorStyle; }
  void SetDefaultColorStyle(TqvDefaultColorStyle Value) { SetValue(FDefaultColorStyle, Value); }
  Byte GetMaxMRUColors() const { return FMaxMRUColors; }
  // A lower limit trims the recent colours (OnDeletedMRUColor for each) and is a change.
  void SetMaxMRUColors(Byte Value);
  TqvColorNamingConvention GetNamingConvention() const { return FNamingConvention; }
  void SetNamingConvention(TqvColorNamingConvention Value) { SetValue(FNamingConvention, Value); }
  TqvColorPrepareList GetPrepareList() const { return FPrepareList; }
  // Changes nothing in Items until PrepareInfo is assigned.
  void SetPrepareList(TqvColorPrepareList Value) { FPrepareList = Value; }
  const String& GetPrepareInfo() const { return FPrepareInfo; }
  // Stores the text, then adds the rows of the PrepareList table not listed yet.
  void SetPrepareInfo(const String& Value);
  bool GetShowDescriptions() const { return FShowDescriptions; }
  void SetShowDescriptions(bool Value) { SetValue(FShowDescriptions, Value); }
  TqvColorComboBoxItems* GetItems() const { return FItems.get(); }
  void SetItems(TqvColorComboBoxItems* Value);
  TqvColorComboBoxItems* GetMRUColors() const { return FMRUColors.get(); }

  TqvSelectCustomColorEvent OnSelectCustomColor;
  TqvColorNamingConventionEvent OnNamingConvention;
  TNotifyEvent OnAddedMRUColor;
  TNotifyEvent OnDeletedMRUColor;
  TqvGetDefaultColorEvent OnGetDefaultColor;

 private:
  void TrimMRUColors();
  String NamedText(TColor AColor, const String& AText) const;

  bool FAllowSelectColor = false;
  TqvColorBoxAlign FColorBoxAlign = cbaLeft;
  TColor FColorBoxFrameColor = clBtnShadow;
  Integer FColorBoxWidth = 30;
  TqvColorComboStyle FColorComboStyle = qvccsComboEdit;
  TqvColorDialogType FColorDialogType = qvcdtDefault;
  TqvColorValueFormat FColorValueFormat = qvcvRGB;
  TColor FDefaultColor = clWindow;
  String FDefaultDescription = "Color not selected";
  TqvDefaultColorStyle FDefaultColorStyle = qvdcColor;
  Byte FMaxMRUColors = 10;
  TqvColorNamingConvention FNamingConvention = qvncKordel;
  TqvColorPrepareList FPrepareList = qvplKordel;
  String FPrepareInfo;
  bool FShowDescriptions = true;
  TOwned<TqvColorComboBoxItems> FItems;
  TOwned<TqvColorComboBoxItems> FMRUColors;
  // Internal updates of the recent list are no change of the settings.
  bool FChangedLocked = false;
};

class TqvColorComboBoxProperties : public TqvCustomColorComboBoxProperties {
  QJ_CLASS(TqvColorComboBoxProperties, TqvCustomColorComboBoxProperties)
 public:
  using TqvCustomColorComboBoxProperties::TqvCustomColorComboBoxProperties;
  static TqvCustomEditClass ContainerClass();
};

class TqvColorComboBoxPopupWindow : public TqvComboBoxPopupWindow {
  QJ_CLASS(TqvColorComboBoxPopupWindow, TqvComboBoxPopupWindow)
 public:
  using TqvComboBoxPopupWindow::TqvComboBoxPopupWindow;
};

class TqvCustomColorComboBox : public TqvCustomComboBox {
  QJ_CLASS(TqvCustomColorComboBox, TqvCustomComboBox)
 public:
  explicit TqvCustomColorComboBox(TComponent* AOwner, bool AIsInplace = false);
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomColorComboBoxProperties* GetProperties() const {
    return static_cast<TqvCustomColorComboBoxProperties*>(GetActiveProperties());
  }

  TColor GetColorValue() const { return FColorValue; }
  // Also the saved colour; the edit value becomes the colour as an integer.
  void SetColorValue(TColor Value);

  // -- Virtual operations of the colour combo box
  // Button 1: the colour dialog (or only OnSelectCustomColor); a request that ends with clNone
  // is a cancelled one.
  virtual void SelectCustomColor();
  virtual void UpdateMRUColors(TColor AColor);
  virtual void ClearColorValue();

  void SetEditValue(const Variant& Value) override;
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void CloseUp(bool AAccept) override;
  void PropertiesChanged(TObject* Sender) override;
  bool Focused() override { return FIsDialogOpen || inherited::Focused(); }

 protected:
  void Loaded() override;
  void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) override;
  void UpdateDisplayedText() override;
  void DoButtonClick(Integer AButtonVisibleIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  bool IsValidChar(char AChar) override { return static_cast<unsigned char>(AChar) > 31; }

 private:
  TColor FColorValue = clWindow;
  TColor FSavedColor = clWindow;
  bool FIsDialogOpen = false;
  bool FPropertiesChanging = false;
};

class TqvColorComboBox : public TqvCustomColorComboBox {
  QJ_CLASS(TqvColorComboBox, TqvCustomColorComboBox)
 public:
  using TqvCustomColorComboBox::TqvCustomColorComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvColorComboBoxProperties* GetProperties() const {
    return static_cast<TqvColorComboBoxProperties*>(GetActiveProperties());
  }
  void SetProperties(TqvColorComboBoxProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryColorComboBoxItem : public TqvEditRepositoryItemOf<TqvColorComboBoxProperties> {
  QJ_CLASS(TqvEditRepositoryColorComboBoxItem, TqvEditRepositoryItemOf<TqvColorComboBoxProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
