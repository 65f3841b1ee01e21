// The single-line text editor: its settings (conversions between edit value, display value and
// display text, validation, lookup items, the assigned optional values), the lookup data that
// finds a typed prefix among the lookup items and moves through them, the list box shown in
// drop-downs, the paint model of a text editor without a window (view data and view info), the
// inner platform edit window through which a focused editor edits its text, and the editor
// control itself.
//
// The editing style that every text-based editor obeys: free text; text that must complete to a
// lookup item; a list only (typing searches the items); no text editing at all.
//
// Where the parts live: qvTextEditProperties.cpp (properties, values, conversions, validation),
// qvTextEditLookup.cpp (lookup data and its list box), qvTextEditView.cpp (view data, view info,
// text painting and measuring), qvTextEditInner.cpp (what the inner edit window adds to the
// shared layer of qvInnerEdit.h), qvTextEditNumeric.cpp (number texts of the numeric editors),
// qvTextEdit.cpp (the editor control: value synchronisation, keys, completion, selection and
// clipboard).
#pragma once

#include <bitset>

#include "editors/qvDrawTextUtils.h"
#include "editors/qvEdit.h"
#include "editors/qvInnerEdit.h"
#include "lookandfeel/qvInnerListBox.h"
#include "platform/forms/StdCtrls.h"

class TqvCustomTextEdit;
class TqvCustomTextEditLookupData;
class TqvCustomTextEditProperties;
class TqvCustomInnerTextEdit;

// How text may be edited: free; completed to a lookup item; chosen from the list only; not at all.
enum TqvEditEditingStyle { esEdit, esEditList, esFixedList, esNoEdit };
// The text is chosen from the list or not edited: typing does not change it.
inline bool IsListEditingStyle(TqvEditEditingStyle AStyle) { return AStyle == esFixedList || AStyle == esNoEdit; }
// Where lookup navigation goes.
enum TqvEditLookupDirection { eldFirst, eldLast, eldNext, eldPrev, eldPageUp, eldPageDown };

// One bit per character code.
using TqvCharSet = std::bitset<256>;
using TqvNewLookupDisplayTextEvent = std::function<void(TObject* Sender, const TCaption& AText)>;

extern const TResourceString sqvEditValueOutOfBounds;

// Converts only a-z and A-Z; national letters keep their case.
String ApplyCharCase(const String& S, TEditCharCase ACharCase);

// -- Number texts of the numeric editors (calculator and currency editors)

// The text without the locale's thousand separators as a number: true for 0 and for magnitudes
// from 5.0e-324 to 1.7e+308; otherwise false and 0.
bool qvTextToNumber(const String& AText, double& AValue);

// What a typed number text may hold.
struct TqvNumberTypingRules {
  Integer MaxDecimals = 0;       // characters after the decimal separator, up to an exponent
  Integer MaxDigits = 0;         // digits in all; 0: no limit
  bool ThousandSeparator = false;  // the locale's thousand separator may be typed
};

// Whether AKey may replace the selection of AText (ASelStart characters precede it): a character of a number, a lone "-" into an emptied text, and a result
// within the rules that converts. An exponent still being typed ("1e", "1e-") counts as
// complete, so that "1e5" can be typed; committing it alone is an invalid value.
bool qvIsTypedNumberValid(const String& AText, Integer ASelStart, Integer ASelLength, char AKey,
                          const TqvNumberTypingRules& ARules);

// ---------------------------------------------------------------------------------------------
// Assigned values of the text properties

class TqvTextEditPropertiesValues : public TqvCustomEditPropertiesValues {
  QJ_CLASS(TqvTextEditPropertiesValues, TqvCustomEditPropertiesValues)
 public:
  using TqvCustomEditPropertiesValues::TqvCustomEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(bool Value) { FMaxLength = Value; }
  bool GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(bool Value) { FMaxValue = Value; }
  bool GetMinValue() const { return FMinValue; }
  void SetMinValue(bool Value) { FMinValue = Value; }

 private:
  bool FMaxLength = false;
  bool FMaxValue = false;
  bool FMinValue = false;
};

// ---------------------------------------------------------------------------------------------
// The list box of drop-downs

class TqvCustomEditListBox : public TqvCustomInnerListBox {
 public:
  using MetaType = TMetaClassFor<TqvCustomEditListBox, TComponent*>;
  QJ_CLASS(TqvCustomEditListBox, TqvCustomInnerListBox)

 public:
  // Owner-drawn with variable heights, hot tracking, no border.
  explicit TqvCustomEditListBox(TComponent* AOwner);

  // True when it drew the item itself.
  virtual bool DoDrawItem(Integer AIndex, const TRect& ARect, TOwnerDrawState AState);
  // ARowCount rows of the standard height (AMaxHeight is the image combo's limit).
  virtual Integer GetHeight(Integer ARowCount, Integer AMaxHeight);
  virtual String GetItem(Integer AIndex);
  // -1: the standard height.
  virtual Integer GetItemHeight(Integer AIndex);
  virtual void UpdateItemHeight() {}
  // The height of "Wg" in the list's font.
  Integer GetStandardItemHeight();
  bool IsVisible();
  // Leaves Items alone when they already hold ACount strings, else ACount empty ones.
  void SetItemCount(Integer ACount);
  void SetItemIndex(Integer Value);

  void Click() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;

  TNotifyEvent OnSelectionChanged;

 protected:
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(Integer Index, Integer& Height) override;
  void Dispatch(TMessage& Message) override;
  virtual void DoSelectionChanged();
};
using TqvCustomEditListBoxClass = const TqvCustomEditListBox::MetaType*;

// ---------------------------------------------------------------------------------------------
// Lookup data

// How editors and drop-downs talk to an editor's lookup data.
class IqvTextEditLookupData : public virtual IInterface {
 public:
  // ASize: the proposed client size of the list; false refuses it.
  virtual bool CanResizeList(TSize& ASize) = 0;
  // The list highlight returns to the current item (drop-downs call it when they close).
  virtual void ResetListItemIndex() = 0;
  // The owning drop-down is about to go away.
  virtual void OwnerDestroying() = 0;
  virtual void DropDown() = 0;
  virtual void DroppedDown(const String& AFindText) = 0;
  virtual bool ContainsText(const String& AText) = 0;
  // The popup's list control (a list box, a lookup grid), nullptr while there is none. The edit
  // hands it navigation keys, the wheel and a drag from the edit through its window messages.
  virtual TWinControl* GetList() = 0;
  virtual Variant GetCurrentKey() = 0;
  // The item text of AKey, empty for a key outside the items.
  virtual String GetDisplayText(const Variant& AKey) = 0;
  virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual void GetListPreferredSize(Integer AMaxHeight, Integer AWidth, TSize& ASize) = 0;
  virtual void Go(TqvEditLookupDirection ADirection, bool ACycle) = 0;
  virtual void InitializeList(TWinControl* AParent) = 0;
  virtual bool IsEmpty() = 0;
  // AScreenPoint lies in the list's bounds.
  virtual bool IsMouseOverList(const TPoint& AScreenPoint) = 0;
  virtual bool Locate(String& AText, String& ATail, bool ANext) = 0;
  virtual void PositionList(const TRect& ABounds) = 0;
  virtual void PropertiesChanged() = 0;
  // The user picked the highlighted list item.
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(TNotifyEvent AHandler) = 0;
  virtual void SetOnSelectItem(TNotifyEvent AHandler) = 0;
  virtual void SynchronizeItemIndex() = 0;
};

// The lookup items of an editor's properties: the current key (the item whose text the editor
// holds), the item highlighted in the drop-down list, incremental search and navigation.
// A lookup key as an item index: -1 for Null and Empty.
inline Integer LookupKeyToIndex(const Variant& AKey) { return VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger(); }

class TqvCustomTextEditLookupData : public TqvInterfacedPersistent, public IqvTextEditLookupData {
 public:
  using MetaType = TMetaClassFor<TqvCustomTextEditLookupData, TPersistent*>;
  QJ_CLASS(TqvCustomTextEditLookupData, TqvInterfacedPersistent)

 public:
  // AOwner is the editor.
  explicit TqvCustomTextEditLookupData(TPersistent* AOwner);
  ~TqvCustomTextEditLookupData() override;

  // -- Virtual operations of the lookup data
  virtual String GetItem(Integer AIndex);
  virtual Integer GetItemCount();
  virtual TqvCustomEditListBoxClass GetListBoxClass() { return nullptr; }
  virtual void ListSelectionChanged(TObject* Sender);
  // Finds the first item after the highlighted one (ANext) or from the top that AText
  // prefixes, case-insensitively; AText takes the item's letter case and ATail the rest.
  virtual bool Locate(String& AText, String& ATail, bool ANext, bool AResetWhenNotFound);
  virtual void ItemsChanged();

  // -- IqvTextEditLookupData
  bool CanResizeList(TSize&) override { return true; }
  void ResetListItemIndex() override { SetListItemIndex(FCurrentKey); }
  void OwnerDestroying() override {}
  void DropDown() override {}
  void DroppedDown(const String&) override {}
  bool ContainsText(const String& AText) override;
  TWinControl* GetList() override { return FList; }
  TqvCustomEditListBox* GetListBox() const { return FList; }
  Variant GetCurrentKey() override { return FCurrentKey; }
  String GetDisplayText(const Variant& AKey) override;
  TNotifyEvent GetOnCurrentKeyChanged() override { return FOnCurrentKeyChanged; }
  TNotifyEvent GetOnSelectItem() override { return FOnSelectItem; }
  void GetListPreferredSize(Integer, Integer, TSize& ASize) override { ASize = TSize{}; }
  void Go(TqvEditLookupDirection ADirection, bool ACycle) override;
  void InitializeList(TWinControl* AParent) override;
  bool IsEmpty() override { return GetItemCount() == 0; }
  bool IsMouseOverList(const TPoint& AScreenPoint) override;
  bool Locate(String& AText, String& ATail, bool ANext) override { return Locate(AText, ATail, ANext, false); }
  void PositionList(const TRect& ABounds) override;
  void PropertiesChanged() override { ItemsChanged(); }
  void SelectItem() override;
  void SetCurrentKey(const Variant& AKey) override;
  void SetOnCurrentKeyChanged(TNotifyEvent AHandler) override { FOnCurrentKeyChanged = std::move(AHandler); }
  void SetOnSelectItem(TNotifyEvent AHandler) override { FOnSelectItem = std::move(AHandler); }
  void SynchronizeItemIndex() override;

  // Accepted in -1 .. count - 1: the current key and the list highlight.
  void SetItemIndex(Integer AIndex);
  Integer GetItemIndex() const { return FCurrentKey; }
  Integer GetHighlightedIndex() const { return FItemIndex; }
  TqvCustomTextEdit* GetOwnerEdit() const { return FOwner; }
  TqvCustomTextEditProperties* GetProperties() const;

 protected:
  virtual void DoSelectItem();
  // Moves only the list highlight.
  void SetListItemIndex(Integer AIndex);
  // A list freed elsewhere (with its parent popup) is forgotten.
  void ListDestroyed() { FList = nullptr; }

 private:
  Integer FCurrentKey = -1;
  Integer FItemIndex = -1;
  TqvCustomEditListBox* FList = nullptr;
  TOwned<TqvFreeNotificator> FListWatch;
  TqvCustomTextEdit* FOwner;
  TNotifyEvent FOnCurrentKeyChanged;
  TNotifyEvent FOnSelectItem;
};
using TqvCustomTextEditLookupDataClass = const TqvCustomTextEditLookupData::MetaType*;

// ---------------------------------------------------------------------------------------------
// Text edit properties

// The properties metaclass of the text editors adds the class of their lookup data.
struct TqvTextEditPropertiesMetaClass : TqvEditPropertiesMetaClass {
  TqvCustomTextEditLookupDataClass (*GetLookupDataClass)() = nullptr;

  template <class Cls>
  static TqvTextEditPropertiesMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvTextEditPropertiesMetaClass m;
    static_cast<TqvEditPropertiesMetaClass&>(m) = TqvEditPropertiesMetaClass::Make<Cls>(AName, AParent);
    m.GetLookupDataClass = &Cls::LookupDataClass;
    return m;
  }
};

class TqvCustomTextEditProperties : public TqvCustomEditProperties {
 public:
  using MetaType = TqvTextEditPropertiesMetaClass;
  QJ_CLASS(TqvCustomTextEditProperties, TqvCustomEditProperties)

 public:
  explicit TqvCustomTextEditProperties(TPersistent* AOwner);
  ~TqvCustomTextEditProperties() override;
  void Assign(TPersistent* Source) override;

  // Class-level hooks.
  static TqvCustomEditPropertiesValuesClass PropertiesValuesClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();
  static TqvCustomTextEditLookupDataClass LookupDataClass();
  TqvCustomTextEditLookupDataClass GetLookupDataClass() const {
    return static_cast<const TqvTextEditPropertiesMetaClass*>(ClassType())->GetLookupDataClass();
  }
  virtual bool UseLookupData() const { return GetLookupDataClass() != nullptr; }

  TqvTextEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TqvTextEditPropertiesValues*>(TqvCustomEditProperties::GetAssignedValues());
  }

  // -- Virtual operations of the text properties
  virtual void CheckValueBounds(const Variant& ADisplayValue, TCaption& AErrorText, TObject* AEdit, bool& AError);
  virtual Variant GetDefaultDisplayValue() { return String(); }
  virtual String DisplayValueToDisplayText(const Variant& ADisplayValue);
  virtual void DoNewLookupDisplayText(TObject* Sender, const TCaption& AText);
  // An item equals AText, case-insensitively.
  virtual bool FindLookupText(const String& AText);
  virtual Integer GetDefaultMaxLength();
  // Rows of one page for lookup navigation.
  virtual Integer GetDropDownRows() { return 8; }
  virtual TqvEditEditingStyle GetEditingStyle() const { return FHideCursor ? esNoEdit : esEdit; }
  virtual bool SupportsValueBounds() const { return false; }
  virtual bool PopupShowsLookupData() const { return false; }
  virtual bool IsMultiLine() const { return false; }
  virtual bool IsLookupNavigationKey(Word, TShiftState) { return false; }
  virtual void LookupItemsChanged(TObject* Sender);
  virtual void SetCharCase(TEditCharCase Value);
  // A negative length is 0; assigns.
  virtual void SetMaxLength(Integer Value);
  // Valid when empty, or (in the lookup styles) a lookup item; a valid value takes CharCase.
  virtual bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused);

  // -- Overrides of the editor properties
  void SetAlignment(TqvEditAlignment* Value) override;
  bool CanValidate() const override { return true; }
  bool CanCompareEditValue() const override { return true; }
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return dfoUseProviderFormat; }
  void GetValidateErrorText(TqvEditErrorKind AErrorKind, TCaption& AText) override;
  bool IsValueChangeNotifiedByText() const override { return true; }
  bool WantsNavigationKeys() const override { return true; }
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  TqvEditSupportedOperations GetSupportedOperations() const override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  bool CanRevertEditValue() const override { return GetEditingStyle() != esNoEdit; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;
  TqvEditValueSource GetEditValueSource(bool) const override { return evsText; }

  // The display value of an edit value: valid values as prepared, dates in the short date and
  // time format, anything else as its text.
  void EditValueToDisplayValue(const Variant& AEditValue, bool AEditFocused, Variant& ADisplayValue);

  // -- Settings
  TEditCharCase GetCharCase() const { return FCharCase; }
  TqvEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TqvEditEchoMode Value);
  bool GetHideCursor() const { return FHideCursor; }
  void SetHideCursor(bool Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool GetImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(bool Value) { FImmediateUpdateText = Value; }
  bool GetIncrementalSearch() const { return FIncrementalSearch; }
  // Changed only in the list-only style.
  void SetIncrementalSearch(bool Value);
  TStrings* GetLookupItems() const { return FLookupItems.get(); }
  void SetLookupItems(TStrings* Value) { FLookupItems->Assign(Value); }
  bool GetLookupItemsSorted() const;
  void SetLookupItemsSorted(bool Value);
  // The own value while assigned, else the provider's.
  Integer GetMaxLength();
  bool IsMaxLengthStored() const { return GetAssignedValues()->GetMaxLength(); }
  double GetMaxValue();
  double GetMinValue();
  // Kept at or above an assigned MinValue.
  void SetMaxValue(double Value);
  // Kept at or below an assigned MaxValue.
  void SetMinValue(double Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  // Characters accepted in addition to the provider's valid ones.
  const TqvCharSet& GetValidChars() const { return FValidChars; }
  void SetValidChars(const TqvCharSet& Value) { FValidChars = Value; }

  TqvNewLookupDisplayTextEvent OnNewLookupDisplayText;

 protected:
  void AlignmentChanged(TObject* Sender) override;

 private:
  TEditCharCase FCharCase = ecNormal;
  TqvEditEchoMode FEchoMode = eemNormal;
  bool FIncrementalSearch = true;
  bool FHideCursor = false;
  bool FHideSelection = true;
  bool FImmediateUpdateText = false;
  TOwned<TStringList> FLookupItems;
  Integer FMaxLength = 0;
  double FMaxValue = 0;
  double FMinValue = 0;
  TqvCharSet FValidChars;
  bool FOEMConvert = false;
};

// The published text properties.
class TqvTextEditProperties : public TqvCustomTextEditProperties {
  QJ_CLASS(TqvTextEditProperties, TqvCustomTextEditProperties)
 public:
  using TqvCustomTextEditProperties::TqvCustomTextEditProperties;
};

// ---------------------------------------------------------------------------------------------
// Paint model of text editors

// The text fields a text editor is painted with.
class TqvCustomTextEditViewInfo : public TqvCustomEditViewInfo {
  QJ_CLASS(TqvCustomTextEditViewInfo, TqvCustomEditViewInfo)
 public:
  TqvCustomTextEditViewInfo() = default;
  void Assign(TObject* Source) override;
  void Offset(Integer DX, Integer DY) override;
  bool NeedShowHintInBounds(TqvCanvas* ACanvas, const TPoint& P, const TRect& ABounds, bool& AIsMultiLine,
                            String& AText, TRect& ATextRect) override;
  // The text in the view info's font and colours, with its selection.
  virtual void DrawText(TqvCanvas* ACanvas);
  // The last change of the font before the text is drawn.
  virtual void PrepareCanvasFont(TFont*) {}

  bool DrawSelected = false;  // the whole text in the highlight colours
  TqvEditEditingStyle EditingStyle = esEdit;
  bool IsPopupOpen = false;
  bool IsInnerEditShown = false;  // the owning edit shows its inner edit: no text drawn
  bool ComboBoxStyle = false;
  String Text;
  TqvTextLayoutFlags TextFlags = 0;
  Integer MaxLineCount = 0;
  Integer SelStart = 0, SelLength = 0;
  TColor SelTextColor = clHighlightText, SelBackgroundColor = clHighlight;
  TRect TextRect;
  // The rows of the last layout, valid with RowsValid (see DrawTextWithSelection).
  TqvTextRows TextRows;
  Integer TextRowCount = 0;
  TqvTextLayoutParams TextParams;
  TRect TextClipRect;
  bool TextEllipsis = false;
  bool RowsValid = false;

 protected:
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvCustomTextEditViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomTextEditViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  TqvCustomTextEditProperties* GetProperties() const {
    return static_cast<TqvCustomTextEditProperties*>(TqvCustomEditViewData::GetProperties());
  }
  // The owning edit, nullptr in a grid cell.
  TqvCustomTextEdit* GetTextEdit() const;

  virtual bool IsInnerEditVisible() const;
  virtual bool IsComboBoxStyle() const { return false; }
  virtual void CalculateTextLayout(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo);
  virtual void DisplayValueToDrawText(const Variant& ADisplayValue, TqvCustomTextEditViewInfo* AViewInfo);
  virtual TqvTextLayoutFlags GetDrawTextFlags() const;
  virtual void GetDrawTextOffset(TRect& R) const;

  void InitCacheData() override;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  void GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;
  bool MeasuresAsList() const override;

  // The edit value is shown as its plain text.
  bool PlainText = false;

 protected:
  void CopySelectionToViewInfo(TqvCustomTextEditViewInfo* AViewInfo) const;
};

// The text insets of a text view data: by alignment, one more for a standalone list.
TRect GetTextEditDrawTextOffset(const TqvCustomEditViewData* AViewData);
// The text flags of a cell that shows several lines: word wrap when the text needs more rows.
void CalculateWrappedTextFlags(TqvCanvas* ACanvas, TqvCustomTextEditViewData* AViewData,
                               TqvCustomTextEditViewInfo* AViewInfo);
// Frame, background, text and the focus rectangle of a text editor.
void PaintTextEditViewInfo(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo);
void DrawTextEditText(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo);
// Lays out (once, until the rows are marked invalid) and draws AText with a selection.
void DrawTextWithSelection(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo, const String& AText,
                           Integer ALeftInset, Integer ARightInset, Integer ARowLimit, TColor ASelTextColor,
                           TColor ASelBkColor, Integer ASelLength, Integer ASelStart, TqvTextLayoutFlags AFlags,
                           const TRect& ARect);

// ---------------------------------------------------------------------------------------------
// Inner text edit

using TqvInnerTextEditBase = TqvInnerEditControl<TCustomEdit, TqvCustomTextEdit>;

// Answers the editor's interfaces for the inner edit window; while an input-method character is
// still being delivered the selection lives here.
class TqvCustomInnerTextEditHelper : public TqvInnerEditHelper<TqvCustomInnerTextEdit> {
  QJ_CLASS(TqvCustomInnerTextEditHelper, TqvInnerEditHelper<TqvCustomInnerTextEdit>)
 public:
  using TqvInnerEditHelper::TqvInnerEditHelper;

  // The text; at design time a changed text fires the window's OnChange.
  void SetEditValue(const Variant& Value) override;
  TqvEditEchoMode GetEchoMode() override;
  char GetPendingTrailByte() override;
  bool IsMultiLine() override { return false; }
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  // Left-justified while the editor edits left-aligned.
  void SetAlignment(TAlignment Value) override;
  void SetEchoMode(TqvEditEchoMode Value) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;

 private:
  friend class TqvCustomInnerTextEdit;
  Integer FSavedSelLength = 0;
  Integer FSavedSelStart = 0;
};

// The borderless platform edit window of a text editor. The editor sees every key before the
// window; a key that changed neither text nor selection goes on to the editor's after-key-down
// handler (a grid moves to the next cell); the clipboard messages go through the editor's
// validating operations.
class TqvCustomInnerTextEdit : public TqvInnerTextEditBase {
  QJ_CLASS(TqvCustomInnerTextEdit, TqvInnerTextEditBase)
 public:
  explicit TqvCustomInnerTextEdit(TComponent* AOwner);
  ~TqvCustomInnerTextEdit() override;

  TqvCustomInnerTextEditHelper* GetHelper() const { return FHelper.get(); }
  String GetInnerText() { return GetText(); }
  void SetInnerText(const String& Value) { SetText(Value); }
  TqvEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TqvEditEchoMode Value);
  Integer GetPendingCharCount() const { return FPendingCharCount; }
  char GetPendingTrailByte() const { return FPendingCharCount == 2 ? FPendingTrailByte : '\0'; }
  // The character index of the caret, whatever the text's length.
  Integer GetCaretCharIndex();

 protected:
  // Left margin 0, right margin 1.
  virtual void SetMargins();

  // Aligned as the edit's alignment says, scrolling horizontally.
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyPress(char& Key) override;
  // Tab never reaches the editor as a released key.
  void KeyUp(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState, Integer, TPoint) override { return false; }

 private:
  struct TSavedState {
    String Text;
    Integer SelLength = 0;
    Integer SelStart = 0;
  };
  TSavedState SaveState();
  // Text (compared case-insensitively) or selection differ from AState.
  bool HasStateChanged(const TSavedState& AState);
  void UpdateEchoMode();
  void WMKeyDown(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMImeChar(TMessage& Message);
  void WMClipboard(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);

  TqvEditEchoMode FEchoMode = eemNormal;
  TOwned<TqvCustomInnerTextEditHelper> FHelper;
  Integer FPendingCharCount = 0;
  char FPendingTrailByte = 0;
};

// ---------------------------------------------------------------------------------------------
// Text edit control

// The single-line text editor: while focused (or left-aligned) the inner edit window edits the
// text, otherwise the view info paints it. It keeps the edit value, the display value and the
// display text apart, applies the text settings to the inner edit, completes typed text from the
// lookup items and moves through them, and offers selection and clipboard operations that
// respect the editing style and MaxLength.
class TqvCustomTextEdit : public TqvCustomEdit {
  QJ_CLASS(TqvCustomTextEdit, TqvCustomEdit)
 public:
  explicit TqvCustomTextEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomTextEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomTextEditProperties* GetProperties() const {
    return static_cast<TqvCustomTextEditProperties*>(GetActiveProperties());
  }
  TqvCustomTextEditViewInfo* GetViewInfo() const {
    return static_cast<TqvCustomTextEditViewInfo*>(TqvCustomEdit::GetViewInfo());
  }
  // nullptr without an inner text edit.
  IqvInnerTextEdit* GetInnerTextEdit() const;
  // nullptr without lookup data.
  IqvTextEditLookupData* GetILookupData() const { return FLookupData.get(); }
  TqvCustomTextEditLookupData* GetLookupData() const { return FLookupData.get(); }

  // -- Text, selection and clipboard (the text itself is the control's Text, answered through
  // the window text messages)
  Integer GetSelStart();
  Integer GetSelLength();
  String GetSelText();
  virtual void SetSelStart(Integer Value);
  virtual void SetSelLength(Integer Value);
  void SetSelection(Integer AStart, Integer ALength);
  // Replaces the selection through validation; a user paste counts MaxLength in characters.
  virtual void SetSelText(const String& AText);
  virtual void ClearSelection();
  Integer GetCaretCharIndex();
  bool GetBeepOnEnter() const { return FBeepOnEnter; }
  void SetBeepOnEnter(bool Value) { FBeepOnEnter = Value; }
  // Nested; while locked a change of the lookup item fires no Click.
  void LockClick(bool ALock);
  bool IsClickLocked() const { return FClickLockCount > 0; }
  bool GetFindSelection() const { return FFindSelection; }
  void SetFindSelection(bool AValue);
  bool IsLookupUpdating() const { return FLookupUpdating; }
  bool IsPostingFromLookup() const { return FPostingFromLookup; }
  // Set by drop-downs closed with Enter: the inner edit swallows the next Enter.
  void SetCloseUpByEnter(bool Value) { FCloseUpByEnter = Value; }

  // -- Editor operations
  void Clear() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void SelectAll() override;
  void GetDisplayValue(String& AText) override;
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void SetInnerEditValue(const Variant& Value) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void PropertiesChanged(TObject* Sender) override;
  void Activate(TqvCustomEditData*& AEditData) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;

 protected:
  friend class TqvCustomInnerTextEdit;
  template <class, class>
  friend class TqvInnerEditControl;
  friend class TqvCustomTextEditLookupData;
  friend class TqvCustomTextEditViewData;

  // -- Virtual operations of the text edit
  // A key the editor sends its inner edit itself: no after-key-down handling.
  virtual bool IsSendingInternalKey() const { return false; }
  virtual void AdjustInnerEditAppearance();
  virtual void CheckEditorValueBounds();
  virtual void CheckEditValueBounds() {}
  // Whether keys (or the wheel) may move the lookup item.
  virtual bool CanSynchronizeLookupData(bool) { return false; }
  virtual void LookupDataChanged(TObject* Sender);
  virtual String InternalGetText();
  virtual bool InternalSetText(const String& AText);
  virtual void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue);
  virtual void ResetFindSelection();

  // Text placed by completion: the found part, the tail selected after it.
  bool LocateAndComplete(String& S);
  bool CanCompleteByLookup();
  void CalculateFindSelection();
  void CheckDisplayValue();
  // The edit became modified since enter and, unless clicks are locked, Click.
  void ModifiedByLookup();
  // Posts after a lookup change when ImmediatePost asks for it.
  void PostByLookup();
  void SetLookupUpdating(bool Value) { FLookupUpdating = Value; }
  // The lookup moves by a navigation key; the epilogue when the current key changed.
  void NavigateLookup(Word Key, TShiftState Shift);
  // The inner edit shown or not, whatever the rules say (descendants of other kinds).
  void SetInnerEditVisibilityOverride(bool AForceHidden, bool AForceShown);

  // -- Overrides of the editor base
  void Loaded() override;
  void GetInnerControlRegion(const TRect& AClientRect, TWinControl* AControl, TRect& ARegion,
                             bool& AHasRegion) override;
  bool RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void AdjustInnerEditPosition() override;
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  bool CanKeyPressModifyEdit(char Key) override;
  void InnerEditChange(TObject* Sender) override;
  IqvCustomInnerEdit* CreateInnerEdit() override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  TqvEditSizeProperties GetAutoSizeConstraints() override;
  TqvInnerEditClass GetInnerEditClass() const override;
  bool CanStartEditing() override;
  void InternalSetDisplayValue(const Variant& Value) override;
  void SetValidatedDisplayValue(const Variant& Value) override;
  bool CanShowInnerEdit() override;
  bool IsValidChar(char AChar) override;
  void InnerEditWindowProc(TMessage& Message) override;
  void UnhookInnerEditWindowProc() override;
  bool TrySetDisplayText(const String& AText) override;
  void UpdateDisplayedText() override;
  void DoExit() override;
  void Dispatch(TMessage& Message) override;

 private:
  TqvCustomInnerTextEdit* InnerTextEditControl() const;
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMClear(TMessage& Message);

  bool FBeepOnEnter = true;
  Integer FClickLockCount = 0;
  bool FFindSelection = false;
  bool FForceHideInnerEdit = false;
  bool FForceShowInnerEdit = false;
  bool FPostingFromLookup = false;
  bool FCloseUpByEnter = false;
  TOwned<TqvCustomTextEditLookupData> FLookupData;
  bool FLookupUpdating = false;
  bool FAdjustingInnerEdit = false;
  bool FConstructing = false;
};

class TqvTextEdit : public TqvCustomTextEdit {
  QJ_CLASS(TqvTextEdit, TqvCustomTextEdit)
 public:
  using TqvCustomTextEdit::TqvCustomTextEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvTextEditProperties* GetProperties() const { return static_cast<TqvTextEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvTextEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

// The repository item of the text editor (the default editor of every value type without one).
class TqvEditRepositoryTextItem : public TqvEditRepositoryItemOf<TqvTextEditProperties> {
  QJ_CLASS(TqvEditRepositoryTextItem, TqvEditRepositoryItemOf<TqvTextEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
