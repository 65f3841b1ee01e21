// The radio group editor and the look-and-feel radio button it is made of.
//
// The radio button paints its glyph in the library's look and feel (flat, standard, ultra-flat,
// or the theme), tracks hot and pressed states from the mouse, and unchecks its sibling radio
// buttons itself. Its glyphs come from the look-and-feel unit's radio glyph synthesiser; this
// unit numbers them its own way (focused x 24 + style x 8 + checked x 4 + state, the state
// disabled, normal, pressed, hot) and maps that number onto the synthesiser's.
//
// The radio group edits a value chosen among items laid out in columns. Standalone it is a group
// box with one radio button per item; a grid cell paints the items from the view info.
//
// Where the parts live: qvRadioGroupButton.cpp (glyph numbering, the radio button),
// qvRadioGroup.cpp (items, properties, style, view data and view info), qvRadioGroupControl.cpp
// (the group control and its buttons).
#pragma once

#include <vector>

#include "editors/qvEdit.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/StdCtrls.h"

class TqvCustomRadioGroup;

// ---------------------------------------------------------------------------------------------
// Radio glyphs

// The state part of a glyph's number.
enum TqvRadioGlyphState { rgsDisabled, rgsNormal, rgsPressed, rgsHot };
// The state a radio button keeps.
enum TqvRadioButtonState { rbsDisabled, rbsHot, rbsNormal, rbsPressed };

constexpr Integer RadioGlyphCount = 48;

// focused x 24 + style x 8 + checked x 4 + state; the style is the look-and-feel kind.
Integer RadioGlyphIndex(bool AFocused, TqvLookAndFeelKind AStyle, bool AChecked, TqvRadioGlyphState AState);
// The glyph state a button state shows (disabled, hot, normal, pressed).
TqvRadioGlyphState RadioButtonStateToGlyphState(TqvRadioButtonState AState);
// The synthesiser's number of the same glyph.
Integer RadioGlyphToPainterIndex(Integer AGlyphIndex);
TSize RadioGlyphSize();
// The glyph at (X, Y), on ABackgroundColor (clDefault: masked, the canvas shows around it);
// AHighlighted lights an ultra-flat ring (design time).
void DrawRadioGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, Integer AGlyphIndex, TColor ABackgroundColor,
                    bool AHighlighted = false);
// The "Button" theme's radio-button state: unchecked disabled 4, normal 1, pressed 3, hot 2;
// checked 8, 5, 7, 6.
Integer RadioGlyphThemeState(bool AChecked, TqvRadioGlyphState AState);

// ---------------------------------------------------------------------------------------------
// Look-and-feel radio button

class TqvRadioButton : public TRadioButton {
  QJ_CLASS(TqvRadioButton, TRadioButton)
 public:
  explicit TqvRadioButton(TComponent* AOwner);
  ~TqvRadioButton() override;

  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  // Copies Value.
  void SetLookAndFeel(TqvLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  TqvRadioButtonState GetButtonState() const { return FButtonState; }
  // Where the glyph was painted last.
  const TRect& GetGlyphRect() const { return FGlyphRect; }
  // Whether the theme paints the button.
  bool IsNativeStyle() const;

  // The margins (left, top, right, bottom) of the text beside the glyph.
  virtual void AdjustTextRect(TRect& R, bool ANativeStyle);
  virtual bool IsInplace() const { return false; }

 protected:
  virtual void LookAndFeelChanged();
  void Paint() override;
  // From the capture, the cursor and the mouse buttons; a change repaints the glyph.
  virtual void UpdateButtonState();
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;
  TqvCanvas* GetQVCanvas() const { return FCanvas.get(); }

 private:
  void SetButtonState(TqvRadioButtonState Value);
  TRect DrawGlyph(const TRect& AClient, bool ANative);

  TOwned<TqvCanvas> FCanvas;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  TqvRadioButtonState FButtonState = rbsNormal;
  TRect FGlyphRect;
};

// ---------------------------------------------------------------------------------------------
// Items

class TqvRadioGroupItem : public TCollectionItem {
  QJ_CLASS(TqvRadioGroupItem, TCollectionItem)
 public:
  explicit TqvRadioGroupItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  const TCaption& GetCaption() const { return FCaption; }
  // Compared case-sensitively.
  void SetCaption(const TCaption& Value);
  const Variant& GetValue() const { return FValue; }
  // Compared by type and value.
  void SetValue(const Variant& Value);
  bool IsValueStored() const { return !VarIsNull(FValue); }

 private:
  TCaption FCaption;
  Variant FValue;
};

class TqvRadioGroupItems : public TOwnedCollection {
  QJ_CLASS(TqvRadioGroupItems, TOwnedCollection)
 public:
  explicit TqvRadioGroupItems(TPersistent* AOwner);
  TqvRadioGroupItem* Add() { return static_cast<TqvRadioGroupItem*>(TCollection::Add()); }
  // Raises EListError for a bad index.
  TqvRadioGroupItem* GetItem(Integer AIndex) const {
    return static_cast<TqvRadioGroupItem*>(TCollection::GetItem(AIndex));
  }

 protected:
  // Any change reaches the owning properties.
  void Update(TCollectionItem* Item) override;
};

// ---------------------------------------------------------------------------------------------
// Properties and style

extern const TResourceString sqvRadioGroupDefaultCaption;

class TqvCustomRadioGroupProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomRadioGroupProperties, TqvCustomEditProperties)
 public:
  explicit TqvCustomRadioGroupProperties(TPersistent* AOwner);
  ~TqvCustomRadioGroupProperties() override;
  // The horizontal alignment (right or left), Columns, DefaultValue, Items and WordWrap, in one
  // update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  // The index of the item a value selects: an item without a value by its caption (letter case
  // counts), an item with a value by that value; -1 for none.
  Integer GetRadioGroupItemIndex(const Variant& AValue) const;
  // The value of an index: DefaultValue for -1, else the item's value, or its caption when it
  // has none.
  Variant GetIndexValue(Integer AIndex) const;
  // The display value is the index.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // The caption of the value's item, DefaultCaption for none.
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool CanCompareEditValue() const override { return true; }
  bool CanRevertEditValue() const override { return true; }
  TqvEditSupportedOperations GetSupportedOperations() const override;

  Integer GetColumns() const { return FColumns; }
  // Values below 1 are stored as 1.
  void SetColumns(Integer Value);
  const String& GetDefaultCaption() const { return FDefaultCaption; }
  void SetDefaultCaption(const String& Value);
  bool IsDefaultCaptionStored() const;
  const Variant& GetDefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const Variant& Value);
  bool IsDefaultValueStored() const { return !VarIsNull(FDefaultValue); }
  TqvRadioGroupItems* GetItems() const { return FItems.get(); }
  void SetItems(TqvRadioGroupItems* Value) { FItems->Assign(Value); }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 private:
  Integer FColumns = 1;
  String FDefaultCaption;
  Variant FDefaultValue;
  TOwned<TqvRadioGroupItems> FItems;
  bool FWordWrap = false;
};

class TqvRadioGroupProperties : public TqvCustomRadioGroupProperties {
  QJ_CLASS(TqvRadioGroupProperties, TqvCustomRadioGroupProperties)
 public:
  using TqvCustomRadioGroupProperties::TqvCustomRadioGroupProperties;
};

class TqvEditRepositoryRadioGroupItem : public TqvEditRepositoryItemOf<TqvRadioGroupProperties> {
  QJ_CLASS(TqvEditRepositoryRadioGroupItem, TqvEditRepositoryItemOf<TqvRadioGroupProperties>)
 public:
  using TqvEditRepositoryItemOf<TqvRadioGroupProperties>::TqvEditRepositoryItemOf;
};

class TqvRadioGroupStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvRadioGroupStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
  // Also turns the group's ParentColor on.
  void RestoreDefaults() override;

 protected:
  // The group's own colour standalone with ParentColor, else the edit style's default.
  TColor GetDefaultColor() const override;
};

// ---------------------------------------------------------------------------------------------
// Paint model

// One item as the view info paints it.
struct TqvRadioGroupItemViewInfo {
  TRect Bounds;
  Integer Column = 0;
  Integer Row = 0;
  String Caption;
  TqvEditButtonStyle ButtonStyle = bts3D;
  TqvRadioGlyphState State = rgsNormal;
  bool Themed = false;
  Integer ThemeState = 0;
  bool Transparent = false;
  bool ThemePartTransparent = false;
  TColor BackgroundColor = clWindow;
};

class TqvCustomRadioGroupViewInfo : public TqvCustomEditViewInfo {
  QJ_CLASS(TqvCustomRadioGroupViewInfo, TqvCustomEditViewInfo)
 public:
  void Offset(Integer DX, Integer DY) override;
  // The glyph style of the items (from their button style).
  TqvLookAndFeelKind GetGlyphStyle() const;

  std::vector<TqvRadioGroupItemViewInfo> Items;
  Integer CheckedIndex = -1;
  bool IsDesigning = false;
  UINT TextFlags = 0;
  bool GlyphAtLeft = true;
  // The item the mouse holds down (pressed in the last calculation of a mouse event).
  Integer PressedItemIndex = -1;

 protected:
  // In place: each item's glyph and caption; standalone the control paints its frame.
  void Paint(TqvCanvas* ACanvas) override;

 private:
  void DrawItem(TqvCanvas* ACanvas, const TqvRadioGroupItemViewInfo& AItem, Integer AIndex);
};

class TqvCustomRadioGroupViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomRadioGroupViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  // None in place; the style's otherwise, an ultra-flat one as a single line.
  TqvEditBorderStyle GetBorderStyle(TqvEditHotState AHotState) const override;
  // Standalone the caption takes room above the items.
  void GetBorderExtent(TRect& R) override;
  void GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;

  // min(Columns, N), at least 1; and the rows they make.
  Integer GetColumnCount() const;
  Integer GetRowCount() const;

  TqvCustomRadioGroupProperties* GroupProperties() const {
    return static_cast<TqvCustomRadioGroupProperties*>(Properties);
  }

 private:
  bool IsThemed() const;
  TqvEditButtonStyle GetItemButtonStyle() const;
  Integer FontHeight(TqvCanvas* ACanvas) const;
};

// ---------------------------------------------------------------------------------------------
// Control

// What an in-place group keeps per cell: the item whose button had the focus.
class TqvRadioGroupEditData : public TqvCustomEditData {
  QJ_CLASS(TqvRadioGroupEditData, TqvCustomEditData)
 public:
  using TqvCustomEditData::TqvCustomEditData;
  Integer FocusedItemIndex = -1;
};

class TqvCustomRadioGroupButton;
using TqvRadioGroupButtonClass = const TMetaClassFor<TqvCustomRadioGroupButton, TqvCustomRadioGroup*>*;

// One item of a standalone group: it reports its focus and check to the group and hands the
// group its keys and mouse first.
class TqvCustomRadioGroupButton : public TqvRadioButton {
 public:
  using MetaType = TMetaClassFor<TqvCustomRadioGroupButton, TqvCustomRadioGroup*>;
  QJ_CLASS(TqvCustomRadioGroupButton, TqvRadioButton)

 public:
  explicit TqvCustomRadioGroupButton(TqvCustomRadioGroup* AGroup);
  ~TqvCustomRadioGroupButton() override;

  TqvCustomRadioGroup* GetGroup() const { return FGroup; }
  Integer GetColumn() const { return FColumn; }
  Integer GetRow() const { return FRow; }
  void SetPlace(Integer AColumn, Integer ARow) {
    FColumn = AColumn;
    FRow = ARow;
  }
  bool IsInplace() const override;
  void Click() override;
  TPopupMenu* GetPopupMenu() override;

 protected:
  void DoEnter() override;
  void DoExit() override;
  void Toggle() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;

 private:
  Integer GetIndex() const;
  TPoint ToGroup(Integer X, Integer Y) const { return {X + GetLeft(), Y + GetTop()}; }

  TqvCustomRadioGroup* FGroup;
  Integer FColumn = 0;
  Integer FRow = 0;
};

class TqvCustomRadioGroup : public TqvCustomEdit {
  QJ_CLASS(TqvCustomRadioGroup, TqvCustomEdit)
 public:
  explicit TqvCustomRadioGroup(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomRadioGroup() override;
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass() { return &TqvRadioGroupProperties::StaticClass(); }
  TqvCustomRadioGroupProperties* GetProperties() const {
    return static_cast<TqvCustomRadioGroupProperties*>(GetActiveProperties());
  }
  TqvCustomRadioGroupViewInfo* GetGroupViewInfo() const {
    return static_cast<TqvCustomRadioGroupViewInfo*>(GetViewInfo());
  }

  const String& GetCaption() const { return FCaption; }
  // Letter case counts.
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return FCaptionAssigned; }
  Integer GetItemIndex() const { return FItemIndex; }
  // Held within -1 .. the button count - 1; a new index becomes the edit value.
  void SetItemIndex(Integer Value);
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  Integer GetButtonCount() const { return Integer(FButtons.size()); }
  TqvCustomRadioGroupButton* GetButton(Integer AIndex) const { return FButtons[size_t(AIndex)]; }
  Integer IndexOfButton(const TqvCustomRadioGroupButton* AButton) const;
  bool IsUpdatingButtons() const { return FUpdatingButtons; }

  void Clear() override { SetItemIndex(-1); }
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;
  void Loaded() override;
  void Activate(TqvCustomEditData*& AEditData) override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) override;

  // Layout of the buttons over the item rectangles; after every refresh.
  virtual void ArrangeButtons();
  // Every button's click handler (nothing here).
  virtual void ButtonClick(TObject*) {}
  virtual TqvRadioGroupButtonClass GetButtonClass() const;
  // The buttons follow the items: count, captions, word wrap, look, check.
  virtual void UpdateButtons();

 protected:
  friend class TqvCustomRadioGroupButton;

  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  bool RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  TqvEditDataClass GetEditDataClass() const override;
  bool CanAutoSize() override { return false; }
  void Paint() override;
  void CreateHandle() override;
  void Dispatch(TMessage& Message) override;

  // A button took the focus: its item becomes the selected one, unless editing may not start.
  void ButtonEntered(TqvCustomRadioGroupButton* AButton);
  void ButtonExited(TqvCustomRadioGroupButton* AButton);
  // The button's check asked by the user: allowed when the group may be modified and editing
  // may start.
  bool CanButtonCheck();

 private:
  // Unchecks the old button and checks the new one without either reacting.
  void CheckButton(Integer AOldIndex, Integer ANewIndex);
  TqvCustomRadioGroupButton* FocusedButton() const;
  void FocusButton(Integer AIndex, bool APost);
  void PaintFrame(TqvCanvas* ACanvas);

  std::vector<TqvCustomRadioGroupButton*> FButtons;
  String FCaption;
  bool FCaptionAssigned = false;
  Integer FItemIndex = -1;
  bool FCtl3D = true;
  bool FUpdatingButtons = false;
  bool FSelectingByButtonFocus = false;
};

class TqvRadioGroup : public TqvCustomRadioGroup {
  QJ_CLASS(TqvRadioGroup, TqvCustomRadioGroup)
 public:
  using TqvCustomRadioGroup::TqvCustomRadioGroup;
};
