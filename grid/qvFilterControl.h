// The filter builder: a custom-drawn control in which a user builds the filter of another
// component (its link, a grid view) as indented rows of groups (a bool operator over the rows
// below) and conditions (item, operator, values), edits them with keys, the mouse, a row menu,
// drop-down lists and pooled value editors, applies them to the link and keeps them in ".flt"
// files (the criteria stream).
//
// Item links: the linked component names each filterable item by an integer ID. The builder's
// criteria keep that ID as the condition's link (GetItemLinkID returns it, GetItemLinkByID gives
// it back), so the criteria stream carries the IDs the link's own criteria read.
//
// Where the parts live: qvFilterControlRows.cpp (the link interface's criteria, rows, criteria
// to rows and back), qvFilterControlView.cpp (layout, hit test and painting),
// qvFilterControl.cpp (the control: construction, fonts, link, apply, files, refresh and
// scrolling), qvFilterControlEditing.cpp (focus and keys, mouse and hot tracking, the row menu,
// the drop-down lists, the value editor, adding and removing rows and values).
#pragma once

#include <vector>

#include "core/qvFormats.h"
#include "grid/qvFilterControlUtils.h"
#include "lookandfeel/qvControls.h"
#include "lookandfeel/qvLookAndFeelPainters.h"

class TqvComboBox;
class TqvCustomFilterControl;
class TqvFilterControlViewInfo;
class TqvGroupViewInfo;
class TqvConditionViewInfo;
class TqvCustomEditData;
class TqvCustomEditStyle;
class TqvInplaceEditList;
class TqvTextEditProperties;
class TMenuItem;
class TPopupMenu;
class TStream;
class TStrings;

QJ_EXCEPTION(EqvFilterControlError, Exception)

extern const TResourceString sqvFilterControlCantBuild;
extern const TResourceString sqvFilterControlRootCaption;
extern const TResourceString sqvFilterControlGroupCaption;
extern const TResourceString sqvFilterControlAddCondition;
extern const TResourceString sqvFilterControlAddGroup;
extern const TResourceString sqvFilterControlRemoveRow;
extern const TResourceString sqvFilterControlClearAll;
extern const TResourceString sqvFilterControlAddConditionCaption;
extern const TResourceString sqvFilterControlNullString;
extern const TResourceString sqvFilterControlRootButton;
extern const TResourceString sqvFilterControlBoolAnd;
extern const TResourceString sqvFilterControlBoolOr;
extern const TResourceString sqvFilterControlBoolNotAnd;
extern const TResourceString sqvFilterControlBoolNotOr;

// The caption of a bool operator ("AND", "OR", "NOT AND", "NOT OR").
String GetBoolOperatorCaption(TqvFilterJoinKind AKind);

// ---------------------------------------------------------------------------------------------
// The link

// What a component whose filter the builder edits offers: its filterable items, by index from
// 0 to GetCount() - 1, and its criteria.
class IqvFilterControl : public virtual IInterface {
 public:
  virtual String GetCaption(Integer AIndex) = 0;
  virtual Integer GetCount() = 0;
  virtual TqvFilterCriteria* GetCriteria() = 0;
  // The item's ID: what the component's criteria stream writes for the item.
  virtual Integer GetItemLink(Integer AIndex) = 0;
  // The item's name in filter expressions.
  virtual String GetFieldName(Integer AIndex) = 0;
  // May be nullptr.
  virtual TqvCustomEditProperties* GetProperties(Integer AIndex) = 0;
  // May be nullptr.
  virtual TqvValueTypeClass GetValueTypeClass(Integer AIndex) = 0;
};

// A control that edits the filter of a component it is linked to.
class IqvFilterLinkable : public virtual IInterface {
 public:
  virtual void SetLinkComponent(TComponent* AComponent) = 0;
};

// ---------------------------------------------------------------------------------------------
// The builder's criteria

class TqvFilterControlCriteria : public TqvFilterCriteria {
 public:
  using MetaType = TMetaClassFor<TqvFilterControlCriteria, TqvCustomFilterControl*>;
  QJ_CLASS(TqvFilterControlCriteria, TqvFilterCriteria)

 public:
  explicit TqvFilterControlCriteria(TqvCustomFilterControl* AControl) : FControl(AControl) {}

  Integer GetItemLinkID(TObject* AItemLink) override { return LinkToID(AItemLink); }
  TObject* GetItemLinkByID(Integer AID) override { return IDToLink(AID); }
  TqvFilterCriteriaItemClass GetItemClass() const override;
  // The builder's criteria keep no handlers of another's.
  void AssignEvents(TPersistent*) override {}

  TqvCustomFilterControl* GetControl() const { return FControl; }

  // An item ID as a condition's link and back: an opaque value, never an object.
  static TObject* IDToLink(Integer AID);
  static Integer LinkToID(TObject* ALink);

 private:
  TqvCustomFilterControl* FControl;
};
using TqvFilterControlCriteriaClass = const TqvFilterControlCriteria::MetaType*;

// A condition of the builder's criteria: it never tests records; its caption and field name
// come from the linked item that has its ID.
class TqvFilterControlCriteriaItem : public TqvFilterCriteriaItem {
  QJ_CLASS(TqvFilterControlCriteriaItem, TqvFilterCriteriaItem)
 public:
  using TqvFilterCriteriaItem::TqvFilterCriteriaItem;

  Variant GetDataValue(Integer) override { return Null(); }
  String GetFieldCaption() override;
  String GetFieldName() override;
  TqvFilterOperatorClass GetOperatorClass() override;

  // The linked item's ID.
  Integer GetItemID() const { return TqvFilterControlCriteria::LinkToID(GetItemLinkObject()); }

 private:
  // The index of the linked item with this condition's ID, -1 when there is none.
  Integer FindLinkedIndex() const;
};

// ---------------------------------------------------------------------------------------------
// Hit information

enum TqvFilterHitKind : Byte {
  fhkNone, fhkButton, fhkBoolOperator, fhkItem, fhkOperator, fhkValue, fhkAddCondition, fhkAddValue
};

class TqvCustomRowViewInfo;

// An element of the builder: the focused one or the one under the mouse.
struct TqvFilterHitInfo {
  TqvFilterHitKind HitKind = fhkNone;
  TPoint MousePos;
  TShiftState Shift = 0;
  TqvCustomRowViewInfo* Row = nullptr;
  Integer ValueIndex = -1;
};

// Which popup is open.
enum TqvFilterRowEditState : Byte {
  fesNone, fesRowMenu, fesItemList, fesBoolOperatorList, fesOperatorList, fesValueEditor
};

// ---------------------------------------------------------------------------------------------
// Rows

// One row of the builder: its button, indent and bounds. Rows are laid out by Calculate and
// freed with their group; a freed row leaves its group.
class TqvCustomRowViewInfo : public TObject {
  QJ_CLASS(TqvCustomRowViewInfo, TObject)
 public:
  TqvCustomRowViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent);
  ~TqvCustomRowViewInfo() override;

  // The row's width from its left edge: what the horizontal scroll bar must reach.
  virtual Integer GetWidth() const;
  // Lays the row out in ABounds (one row height high).
  virtual void Calculate(const TRect& ABounds);
  // The element at P; AInfo's Row is set by the caller.
  virtual void GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo);
  // Complete rows can be written into criteria.
  virtual bool IsComplete() const { return true; }

  bool IsGroup() const;
  // The last child of its group (the root is).
  bool IsLastChild() const;

  String ButtonText;
  TRect ButtonRect;
  TqvButtonState ButtonState = qvbsNormal;
  TqvCustomFilterControl* const Control;
  Integer Level = 0;
  Integer Indent = 0;
  TqvGroupViewInfo* Parent;
  TRect Bounds;
};

// A group: a bool operator over the rows below it. It owns them.
class TqvGroupViewInfo : public TqvCustomRowViewInfo {
  QJ_CLASS(TqvGroupViewInfo, TqvCustomRowViewInfo)
 public:
  // The bool operator comes from ACriteriaList (AND without one).
  TqvGroupViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent,
                   TqvFilterCriteriaItemList* ACriteriaList);
  ~TqvGroupViewInfo() override;

  Integer GetWidth() const override;
  void Calculate(const TRect& ABounds) override;
  void GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo) override;

  // Appends a row made for this group; the group owns it from now on.
  template <class T>
  T* Append(TOwned<T> ARow) {
    Rows.push_back(ARow.get());
    return ARow.release();
  }
  // Frees the child rows, the last first.
  void ClearRows();
  Integer IndexOf(const TqvCustomRowViewInfo* ARow) const;

  TqvFilterJoinKind BoolOperator = fjkAnd;
  String BoolOperatorText;
  TRect BoolOperatorRect;
  String Caption;
  TRect CaptionRect;
  std::vector<TqvCustomRowViewInfo*> Rows;
};

class TqvValuesViewInfo;

// One value of a condition and the view info that paints it.
class TqvValueInfo : public TObject {
  QJ_CLASS(TqvValueInfo, TObject)
 public:
  TqvValueInfo();
  ~TqvValueInfo() override;

  Variant Value;
  String ValueText;
  TRect ValueRect;
  TOwned<TqvCustomEditViewInfo> ValueViewInfo;
};

// The values of a condition, the add-value button of in-lists and the separator between values.
class TqvValuesViewInfo : public TObject {
  QJ_CLASS(TqvValuesViewInfo, TObject)
 public:
  explicit TqvValuesViewInfo(TqvConditionViewInfo* ACondition) : Condition(ACondition) {}
  ~TqvValuesViewInfo() override;

  // A new Null value at the end.
  TqvValueInfo* AddValue();
  // Ignored outside the list.
  void DeleteValue(Integer AIndex);
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FValues.size()); }
  TqvValueInfo* GetValue(Integer AIndex) const { return FValues[size_t(AIndex)].get(); }
  // Lays the values out after the operator.
  void Calculate();
  // The value at P, -1 for none.
  Integer ValueAt(const TPoint& P) const;

  TRect AddButtonRect;
  TqvButtonState AddButtonState = qvbsNormal;
  TqvConditionViewInfo* const Condition;
  String Separator;

 private:
  std::vector<TOwned<TqvValueInfo>> FValues;
};

// A condition: item, operator and values, with the helper and the value editor's properties of
// its item.
class TqvConditionViewInfo : public TqvCustomRowViewInfo {
  QJ_CLASS(TqvConditionViewInfo, TqvCustomRowViewInfo)
 public:
  // With ACriteriaItem: the row of that condition (raises EqvFilterControlError when the link
  // does not offer its item); without: a new row on the first item.
  TqvConditionViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent,
                       TqvFilterCriteriaItem* ACriteriaItem);
  ~TqvConditionViewInfo() override;

  Integer GetWidth() const override;
  void Calculate(const TRect& ABounds) override;
  void GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo) override;
  // An item caption and an operator caption: what the row shows for item and operator.
  bool IsComplete() const override { return !ItemText.empty() && !GetOperatorCaption(Operator).empty(); }
  // False for the blanks and the relative dates.
  virtual bool HasValues() const;

  // Another item: operator and values start anew (nothing for the same index).
  void SetItemIndex(Integer AIndex);
  // Fits the values to the operator (see the row invariants).
  void AdjustValues(bool AKeep);
  // Helper, value editor properties and operators for the item.
  void InitializeEditor();
  // The item's properties, else the control's default ones.
  TqvCustomEditProperties* GetSourceProperties() const;
  // The first index whose link is ItemLink, -1 when none.
  Integer FindItemIndex() const;
  TqvCustomEditData*& GetEditDataRef() { return FEditData; }
  bool IsBetween() const { return Operator == froBetween || Operator == froNotBetween; }
  bool IsInList() const { return Operator == froIn || Operator == froNotIn; }

  TqvFilterRowOperator Operator = froNone;
  TRect OperatorRect;
  String OperatorText;
  Integer ItemIndex = -1;
  Integer ItemLink = -1;
  TRect ItemRect;
  String ItemText;
  TqvFilterEditHelperClass EditorHelper = nullptr;
  TOwned<TqvCustomEditProperties> EditorProperties;
  TqvFilterRowOperators SupportedOperators = 0;
  TqvValueTypeClass ValueTypeClass = nullptr;
  TOwned<TqvValuesViewInfo> Values;

 private:
  void FreeEditData();
  TqvCustomEditData* FEditData = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Layout and painting

class TqvFilterControlPainter : public TObject {
  QJ_CLASS(TqvFilterControlPainter, TObject)
 public:
  explicit TqvFilterControlPainter(TqvCustomFilterControl* AControl) : Control(AControl) {}
  virtual void PaintRow(TqvCustomRowViewInfo* ARow);

  TqvCustomFilterControl* const Control;

 protected:
  // Text in the current font, or embossed while the builder is disabled.
  void DrawText(TqvCanvas* ACanvas, Integer X, Integer Y, const String& AText);
  void PaintLevelLines(TqvCanvas* ACanvas, TqvCustomRowViewInfo* ARow);
  void PaintValues(TqvCanvas* ACanvas, TqvConditionViewInfo* ACondition);
};

// The metrics of the builder, its off-screen bitmap, the add-condition button, the focus frame
// and the hit test.
class TqvFilterControlViewInfo : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvFilterControlViewInfo, TqvCustomFilterControl*>;
  QJ_CLASS(TqvFilterControlViewInfo, TObject)

 public:
  explicit TqvFilterControlViewInfo(TqvCustomFilterControl* AControl);
  ~TqvFilterControlViewInfo() override;

  virtual void CalculateFocusRect();
  virtual void GetHitInfo(TShiftState AShift, const TPoint& P, TqvFilterHitInfo& AInfo);

  // Lays out every row and the add-condition button.
  void Calculate();
  // Only the rows and the button state under the mouse.
  void CalculateRow(TqvCustomRowViewInfo* ARow);
  void CalculateButtonState();
  void Paint(TqvCanvas* ACanvas);

  TqvCustomFilterControl* const Control;
  TRect AddConditionRect;
  String AddConditionCaption;
  TOwned<TBitmap> Bitmap;
  TOwned<TqvCanvas> BitmapCanvas;
  TqvButtonState ButtonState = qvbsNormal;
  TRect FocusRect;
  Integer MaxRowWidth = 0;
  TOwned<TqvFilterControlPainter> Painter;
  Integer RowHeight = 0;
  Integer MinValueWidth = 0;
  bool Enabled = false;
};
using TqvFilterControlViewInfoClass = const TqvFilterControlViewInfo::MetaType*;

// The process-wide 8 x 8 checkerboard brush of the level lines.
HBRUSH GetFilterLevelLineBrush();

// ---------------------------------------------------------------------------------------------
// The control

enum TqvFilterControlFont : Integer { fcfBoolOperator, fcfItem, fcfCondition, fcfValue };
constexpr Integer qvFilterControlFontCount = 4;

using TqvFilterOperatorClassEvent = std::function<void(TqvFilterOperatorClass& AOperatorClass)>;

class TqvCustomFilterControl : public TqvControl, public IqvFormatListener, public IqvMouseTrackingCaller {
  QJ_CLASS(TqvCustomFilterControl, TqvControl)
 public:
  static constexpr Integer DefaultWidth = 300;
  static constexpr Integer DefaultHeight = 200;

  explicit TqvCustomFilterControl(TComponent* AOwner);
  ~TqvCustomFilterControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // -- Updating
  void BeginUpdate() { ++FLockCount; }
  // The last one refreshes.
  void EndUpdate();
  bool IsUpdateLocked() const { return FLockCount > 0; }
  // Lays out, scrolls back into range and repaints, unless locked.
  void Refresh();
  // The link offers at least one item.
  bool HasItems();

  // -- Rows and criteria
  virtual void Clear();
  // Frees every row below the root; the root takes the focus on its bool operator.
  void ClearRows();
  void RebuildRowList();
  // Criteria to rows; raises EqvFilterControlError for an item the link does not offer (the
  // rows built so far stay).
  void BuildRows();
  // Rows to criteria, after the open value editor stored its value; nothing while a row is
  // incomplete. False when nothing was written.
  bool WriteCriteria();
  virtual bool AreRowsComplete();
  // The first incomplete condition in row order, nullptr when all are complete.
  TqvConditionViewInfo* FindIncompleteRow();
  // Focuses the first incomplete condition's item; false when every row is complete.
  bool FocusIncompleteRow();

  // -- Files: the criteria stream. Loading reads into a separate criteria object first; the
  // builder changes only when the whole stream was read and its rows built.
  void LoadFromFile(const String& AFileName);
  void LoadFromStream(TStream* AStream);
  void SaveToFile(const String& AFileName);
  void SaveToStream(TStream* AStream);

  // -- Link
  // Writes the rows into the link's criteria, fires OnApplyFilter and rebuilds the rows from what
  // the link took. False when nothing was applied: no link, or an incomplete row (which then
  // takes the focus).
  virtual bool ApplyFilter();
  virtual String GetFilterCaption();
  virtual String GetFilterText();
  // nullptr here; the published control answers its link's interface.
  virtual IqvFilterControl* GetFilterLink() { return nullptr; }
  virtual void FillItemList(TStrings* AStrings);
  virtual void FillOperatorList(TStrings* AStrings);
  virtual TqvCustomEditProperties* GetDefaultProperties();
  virtual TqvFilterControlCriteriaClass GetCriteriaClass() const;
  virtual TqvFilterControlViewInfoClass GetViewInfoClass() const;
  // Called for each condition's operator class; empty.
  virtual void ChangeOperatorClass(TqvFilterOperatorClass& AOperatorClass);

  // -- Navigation
  void FocusNext(bool AWrap);
  void FocusPrev(bool AWrap);
  void FocusNextRow(bool AWrap);
  void FocusPrevRow(bool AWrap);
  void FocusRow(TqvCustomRowViewInfo* ARow);
  void SetFocusKind(TqvFilterHitKind AKind);
  void MakeFocusedVisible();

  // -- Commands
  // nullptr: the last row.
  void AddCondition(TqvCustomRowViewInfo* ARow);
  void AddGroup();
  void AddValue();
  void RemoveFocused();
  void RemoveRow();
  void RemoveValue();

  // -- Popups (AKind: plain, by a key or by the mouse)
  enum TValueEditorActivation { veaPlain, veaByKey, veaByMouse };
  // The items of the row menu, by tag.
  enum TRowMenuItem { rmiAddCondition, rmiAddGroup, rmiSeparator, rmiRemove };
  virtual void ShowRowMenu();
  virtual void ShowBoolOperatorList();
  virtual void ShowOperatorList();
  virtual void ShowItemList();
  virtual void ShowValueEditor(TValueEditorActivation AKind, char AKey);
  // Closes the value editor; with ASave it stores the value first (may raise, the editor stays).
  void HideValueEditor(bool ASave);
  bool CanHotTrack();
  // The control, its value editor or its drop-down list has the focus.
  bool HasFocusInside();

  // -- State
  TqvFilterControlCriteria* GetCriteria() const { return FCriteria.get(); }
  TqvGroupViewInfo* GetRootRow() const { return FRootRow.get(); }
  Integer GetRowCount() const { return static_cast<Integer>(FRowList.size()); }
  TqvCustomRowViewInfo* GetRow(Integer AIndex) const { return FRowList[size_t(AIndex)]; }
  // -1 when the row is not listed.
  Integer IndexOfRow(const TqvCustomRowViewInfo* ARow) const;
  TqvFilterHitInfo& GetFocusedInfo() { return FFocusedInfo; }
  TqvFilterHitInfo& GetHotInfo() { return FHotInfo; }
  TqvConditionViewInfo* GetFocusedCondition() const;
  TqvFilterRowEditState GetEditState() const { return FEditState; }
  TqvFilterControlViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  TqvCustomEdit* GetValueEditor() const { return FValueEditor; }
  // The drop-down list of items, operators and bool operators, shown over its element.
  TqvComboBox* GetCombo() const { return FCombo; }
  TPopupMenu* GetMenu() const { return FMenu; }
  TqvInplaceEditList* GetInplaceEditList() const { return FInplaceEditList.get(); }
  TqvCustomEditStyle* GetValueStyle() const { return FValueStyle.get(); }
  Integer GetTopRow() const { return FTopRow; }
  void SetTopRow(Integer Value);
  Integer GetLeftOffset() const { return FLeftOffset; }
  void SetLeftOffset(Integer Value);

  // -- Settings
  TFont* GetFont(TqvFilterControlFont AIndex) const { return FFonts[AIndex].get(); }
  void SetFont(TqvFilterControlFont AIndex, TFont* Value) { FFonts[AIndex]->Assign(Value); }
  // Stored when name (any case), height or charset differ from the control's font, or colour or
  // style from the font's default.
  bool IsFontStored(TqvFilterControlFont AIndex);
  TFont* GetFontBoolOperator() const { return GetFont(fcfBoolOperator); }
  TFont* GetFontItem() const { return GetFont(fcfItem); }
  TFont* GetFontCondition() const { return GetFont(fcfCondition); }
  TFont* GetFontValue() const { return GetFont(fcfValue); }
  using TControl::GetFont;
  bool GetHotTrackOnUnfocused() const { return FHotTrackOnUnfocused; }
  void SetHotTrackOnUnfocused(bool Value) { FHotTrackOnUnfocused = Value; }
  const String& GetNullString() const { return FNullString; }
  void SetNullString(const String& Value);
  bool IsNullStringStored() const;
  bool GetShowLevelLines() const { return FShowLevelLines; }
  void SetShowLevelLines(bool Value);
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value);

  TNotifyEvent OnApplyFilter;

  // The client area without border and scroll bars: where rows are laid out.
  using TqvControl::GetClientBounds;
  // Both refresh.
  void SetParent(TWinControl* AParent) override;
  void SetEnabled(bool Value) override;

  // IqvFormatListener
  void FormatChanged() override { Refresh(); }
  // IqvMouseTrackingCaller
  void MouseLeave() override { MouseLeave(nullptr); }

 protected:
  friend class TqvFilterControlViewInfo;
  friend class TqvFilterControlPainter;

  virtual void CreateInternalControls();
  virtual void DestroyInternalControls();
  // The texts of the menu and the root, and the default null text; run at each window creation.
  void LoadTexts();
  // Refresh's work.
  void LayoutChanged();

  // TqvControl and the platform's control
  void CreateWnd() override;
  void Loaded() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void BoundsChanged() override;
  void FontChanged() override;
  void FocusChanged() override;
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  Integer GetBorderSize() const override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  TCursor GetCurrentCursor(Integer X, Integer Y) override;

 private:
  // The element under the mouse and the focused one as the font changes and the layout runs.
  void UpdateHotInfoAtCursor();
  void FontsChanged(TObject* Sender);
  void ControlFontChanged();
  void UpdateKeys();
  // Activates the focused element (a key, a click).
  void ActivateFocused(TValueEditorActivation AValueActivation, char AKey);
  // Converts a group list of the criteria, recursively.
  void BuildGroup(TqvGroupViewInfo* AGroup, TqvFilterCriteriaItemList* AList);
  // A detached root with the rows of ACriteria; raises for an item the link lacks.
  TOwned<TqvGroupViewInfo> BuildRoot(TqvFilterCriteria* ACriteria);
  // The shown root takes the rows and the bool operator of ASource.
  void AdoptRows(TqvGroupViewInfo* ASource);
  void WriteGroup(TqvGroupViewInfo* AGroup, TqvFilterCriteriaItemList* AList);
  void WriteCondition(TqvConditionViewInfo* ACondition, TqvFilterCriteriaItemList* AList);
  // The last element of a row, for backward moves.
  void FocusLastElement(TqvCustomRowViewInfo* ARow);
  TRect GetFocusedElementRect();
  void MenuItemClick(TObject* Sender);
  // Drops the list of AState's element down over it; a choice is applied as the list closes.
  void ShowList(TqvFilterRowEditState AState);
  void ComboCloseUp();
  // Hides the list; the builder's state is no list.
  void HideCombo();
  void ValueEditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ValueEditorExit(TObject* Sender);
  void ValueEditorAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void SetValueEditorWildcards();
  // Stores an open value editor; on an error the editor keeps the focus and the error goes on.
  void StoreValueEditor();

  TPopupMenu* FMenu = nullptr;
  TqvComboBox* FCombo = nullptr;
  // The edit data of the list, the object of each of its lines, and the line it opened on.
  TqvCustomEditData* FComboData = nullptr;
  std::vector<Integer> FComboObjects;
  Integer FComboOpenIndex = -1;
  TOwned<TqvFilterControlCriteria> FCriteria;
  TqvFilterHitInfo FFocusedInfo;
  TOwned<TFont> FFonts[qvFilterControlFontCount];
  TqvFilterHitInfo FHotInfo;
  std::unique_ptr<TqvInplaceEditList> FInplaceEditList;
  Integer FLeftOffset = 0;
  Integer FLockCount = 0;
  TOwned<TqvGroupViewInfo> FRootRow;
  std::vector<TqvCustomRowViewInfo*> FRowList;
  TqvFilterRowEditState FEditState = fesNone;
  TOwned<TqvTextEditProperties> FDefaultProperties;
  Integer FTopRow = 0;
  TqvCustomEdit* FValueEditor = nullptr;
  TOwned<TqvCustomEditStyle> FValueStyle;
  TOwned<TqvFilterControlViewInfo> FViewInfo;
  bool FHotTrackOnUnfocused = true;
  String FNullString;
  bool FShowLevelLines = true;
  bool FWantTabs = false;
  bool FInLayoutChanged = false;
  bool FConstructed = false;
};

// The published builder: edits the filter of LinkComponent, a component that offers
// IqvFilterControl. The link is watched: when it is freed the builder empties.
class TqvFilterControl : public TqvCustomFilterControl, public IqvFilterLinkable {
  QJ_CLASS(TqvFilterControl, TqvCustomFilterControl)
 public:
  explicit TqvFilterControl(TComponent* AOwner);
  ~TqvFilterControl() override;

  TComponent* GetLinkComponent() const { return FLinkComponent; }
  // A component with IqvFilterControl becomes the link and its filter is read; nullptr empties
  // the builder; any other component is ignored.
  void SetLinkComponent(TComponent* AComponent) override;
  IqvFilterControl* GetFilterLink() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void UpdateFromLink();
  TComponent* FLinkComponent = nullptr;
};
