// The common base of the table-like views: the grid data controller and the items' data
// bindings, the queued record changes, record hit tests, records and the view data, table
// items, the table options and content styles, and the table controller's focus, navigation
// and scrolling.
//
// Map of this header:
//   IqvGridDataControllerHooks, TqvGridDataController,
//   TqvGridItemDataBinding, TqvGridDefaultValuesProvider        data binding
//   TqvGridDataChange, TqvGridRecordChange,
//   TqvGridFocusedRecordChange                                  queued record changes
//   TqvGridRecordHitTest and relatives, TqvGridDragOpenInfoExpand,
//   TqvCustomGridTableDragAndDropObject                         hit tests and drags
//   TqvCustomGridRecord, TqvCustomGridTableViewData             records made on demand
//   TqvCustomGridTableItem, its options and styles              items (columns' base)
//   TqvCustomGridTable... options, styles, background bitmaps   the view's options
//   TqvCustomGridTableController                                focus, navigation, scrolling
//   TqvCustomGridRecordViewInfo, TqvCustomGridRecordsViewInfo   record layouts
//   TqvCustomGridTableViewInfo, TqvCustomGridTablePainter       layout object and painter
//   TqvCustomGridTableView                                      the view
//
// Where the parts live: qvGridDataController.cpp (binding, changes, hit tests),
// qvGridViewData.cpp (records), qvGridTableItem.cpp (items), qvGridTableOptions.cpp (options,
// styles), qvGridTableController.cpp (controller, table layout object), qvGridRecordsViewInfo.cpp
// (record layouts, the records layout, the table painter), qvGridCustomTableView.cpp (the view).
//
// Records are made when asked for and freed at every refresh of the rows: nobody keeps a
// record object across a change. Changes, hit tests and the controller keep row indexes and
// look the record up again.
#pragma once

#include <vector>

#include "core/qvData.h"
#include "core/qvFilter.h"
#include "editors/qvEdit.h"
#include "grid/qvFilterControl.h"
#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridCustomViewCells.h"

class TqvCustomGridRecord;
class TqvCustomGridRecordViewInfo;
class TqvCustomGridTableController;
class TqvCustomGridTableItem;
class TqvCustomGridTableView;
class TqvCustomGridTableViewData;
class TqvCustomGridTableViewInfo;
class TqvGridDefaultValuesProvider;
class TqvGridItemDataBinding;

using TqvGridItemDataBindingClass = const TMetaClassFor<TqvGridItemDataBinding, TqvCustomGridTableItem*>*;
using TqvGridDefaultValuesProviderClass = const TMetaClassFor<TqvGridDefaultValuesProvider, TPersistent*>*;

// ---------------------------------------------------------------------------------------------
// Grid data controller

// What a grid data controller answers for its view. The unbound controller handles nothing
// itself; a dataset-backed one moves its window of records and keeps its own scroll position.
class IqvGridDataControllerHooks : public virtual IInterface {
 public:
  // Adjusts the grid-mode buffer to what the view shows.
  virtual void AdjustGridModeBufferCount() = 0;
  // True when the controller scrolled its records (by one or by a page) itself.
  virtual bool ScrollRecords(bool AForward) = 0;
  virtual bool ScrollPage(bool AForward) = 0;
  virtual TqvGridItemDataBindingClass GetItemDataBindingClass() = 0;
  virtual TqvGridDefaultValuesProviderClass GetItemDefaultValuesProviderClass() = 0;
  virtual bool IsFocusedRecordFirst() = 0;
  virtual bool IsFocusedRecordLast() = 0;
  // A stored-layout property the view does not handle; True when the controller did.
  virtual bool ReadStoredProperty(const String& AName, Variant& AValue) = 0;
  // -1: the view's own position and count are used.
  virtual Integer GetScrollBarPos() = 0;
  virtual Integer GetScrollBarRecordCount() = 0;
  virtual bool WriteStoredProperty(const String& AName, const Variant& AValue) = 0;
  virtual bool SetScrollBarPos(Integer APos) = 0;
};

// The data controller of a table view (its owner): it asks the view about items, texts,
// selection and details. Every slot the dataset-backed controller overrides is virtual.
class TqvGridDataController : public TqvDataController,
                              public IqvGridDataControllerHooks,
                              public IqvGridDataControllerViewLink {
  QJ_CLASS(TqvGridDataController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;

  // nullptr while the owner is not a table view.
  TqvCustomGridTableView* GetTableView() const;

  bool CanSelectRow(Integer ARowIndex) override;
  Integer GetDefaultActiveRelationIndex() const override;
  // The table item's ID, -1 for anything else.
  Integer GetItemID(TObject* AItem) const override;
  TqvSummaryItemClass GetSummaryItemClass() const override;
  TqvSummaryItemClass GetSummaryGroupItemLinkClass() const override;
  void ItemValueTypeClassChanged(Integer AItemIndex) override;
  TObject* GetItem(Integer AIndex) const override;
  String GetItemDisplayName(Integer AItemIndex) const override;
  bool ItemHasOwnDisplayText(Integer AItemIndex) const override;
  Integer GetItemValueSource(Integer AItemIndex) const override;
  // The editor properties format the value when they work with values; the item's
  // OnGetDisplayText has the last word.
  String GetDisplayText(Integer ARecordIndex, Integer AItemIndex) override;
  void FocusItemControl(Integer AItemIndex, bool& AHandled) override;
  void UpdateEditorsData() override;
  // The relation's level makes a detail clone for the master record.
  TObject* CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) override;
  TqvCustomDataController* GetDetailDataController(TObject* ALinkObject) override;

  // A condition on AItem's field; the display text defaults to the value's text and passes
  // through the item's OnGetFilterDisplayText.
  virtual TqvFilterCriteriaItem* AddItemToFilter(TqvFilterCriteriaItemList* AList, TqvCustomGridTableItem* AItem,
                                                 TqvFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                 String ADisplayText, bool AReplaceExisting);

  // IqvGridDataControllerHooks: nothing is handled here.
  void AdjustGridModeBufferCount() override {}
  bool ScrollRecords(bool) override { return false; }
  bool ScrollPage(bool) override { return false; }
  TqvGridItemDataBindingClass GetItemDataBindingClass() override;
  TqvGridDefaultValuesProviderClass GetItemDefaultValuesProviderClass() override;
  bool IsFocusedRecordFirst() override;
  bool IsFocusedRecordLast() override;
  bool ReadStoredProperty(const String&, Variant&) override { return false; }
  Integer GetScrollBarPos() override { return -1; }
  Integer GetScrollBarRecordCount() override { return -1; }
  bool WriteStoredProperty(const String&, const Variant&) override { return false; }
  bool SetScrollBarPos(Integer) override { return false; }

  // IqvGridDataControllerViewLink
  void GetFakeComponentLinks(std::vector<TComponent*>&) override {}
  TqvCustomGridView* GetGridView() override;

 private:
  TqvCustomGridTableItem* TableItem(Integer AItemIndex) const;
};

// The neutral provider of an item's editor defaults; its display format test is the binding's.
class TqvGridDefaultValuesProvider : public TqvCustomEditDefaultValuesProvider {
 public:
  using MetaType = TMetaClassFor<TqvGridDefaultValuesProvider, TPersistent*>;
  QJ_CLASS(TqvGridDefaultValuesProvider, TqvCustomEditDefaultValuesProvider)

 public:
  explicit TqvGridDefaultValuesProvider(TPersistent* AOwner) : TqvCustomEditDefaultValuesProvider(AOwner) {}
  bool IsDisplayFormatDefined(bool AIsEditing) override;
};

// Links a table item to its field in the view's data controller.
class TqvGridItemDataBinding : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvGridItemDataBinding, TqvCustomGridTableItem*>;
  QJ_CLASS(TqvGridItemDataBinding, TPersistent)

 public:
  // Makes the default values provider of the class the data controller's hooks give.
  explicit TqvGridItemDataBinding(TqvCustomGridTableItem* AItem);
  ~TqvGridItemDataBinding() override;
  // The value type class of another binding.
  void Assign(TPersistent* Source) override;

  // In slot order.
  // The view's data changed; nothing here (a dataset binding re-links its provider).
  virtual void InitDefaultValuesProvider() {}
  // Empty here.
  virtual String GetDefaultCaption() { return String(); }
  // The repository item registered for the field's value type (the text editor's when none).
  virtual TqvEditRepositoryItem* GetDefaultRepositoryItem();
  virtual Integer GetDefaultWidth() { return 64; }

  TqvCustomGridTableItem* GetItem() const { return FItem; }
  TqvCustomGridTableView* GetGridView() const;
  TqvGridDataController* GetDataController() const;
  TqvDataFilterCriteria* GetFilter() const;
  TqvValueTypeClass GetValueTypeClass() const;
  void SetValueTypeClass(TqvValueTypeClass AValue);
  IqvEditDefaultValuesProvider* GetDefaultValuesProvider(TqvCustomEditProperties* AProperties = nullptr);
  // A condition on the item exists.
  bool GetFiltered() const;
  // False removes every condition on the item; True does nothing.
  void SetFiltered(bool AValue);
  TqvFilterCriteriaItem* AddToFilter(TqvFilterCriteriaItemList* AList, TqvFilterOperatorKind AOperatorKind,
                                     const Variant& AValue, const String& ADisplayText, bool AReplaceExisting);
  // The distinct values of the field, each line's object its entry in AValueList.
  void GetFilterStrings(TStrings* AStrings, TqvFilterValueList* AValueList);
  // The controller keeps display texts for the field, or the item has OnGetDisplayText.
  bool IsDisplayFormatDefined() const;

 private:
  TqvCustomGridTableItem* FItem;
  TOwned<TqvGridDefaultValuesProvider> FDefaultValuesProvider;
};

// ---------------------------------------------------------------------------------------------
// Queued record changes

// The record list is rebuilt for the data controller's rows. Runs at once, even inside an
// update.
class TqvGridDataChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridDataChange, TqvCustomGridViewChange)
 public:
  using TqvCustomGridViewChange::TqvCustomGridViewChange;
  void Execute() override;
  bool WaitsForUnlock() override { return false; }
};

// A laid-out record (ARowIndex; -1 with ANewItemRecord) or one of its cells (AItem) is laid out
// again and repainted. The record is looked up when the change runs, never kept.
class TqvGridRecordChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridRecordChange, TqvCustomGridViewChange)
 public:
  TqvGridRecordChange(TqvCustomGridView* AGridView, Integer ARowIndex, bool ANewItemRecord,
                      TqvCustomGridTableItem* AItem);
  Integer GetRowIndex() const { return FRowIndex; }
  bool IsNewItemRecord() const { return FNewItemRecord; }
  TqvCustomGridTableItem* GetItem() const { return FItem; }
  void Execute() override;
  // By a later layout, size or data change of the same view.
  bool IsCoveredBy(TqvCustomGridChange* AChange) override;
  // Also the same record and item.
  bool SameAs(TqvCustomGridChange* AChange) override;
  size_t GetMergeKey() const override;

 private:
  Integer FRowIndex;
  bool FNewItemRecord;
  TqvCustomGridTableItem* FItem;
};

// The focused record is made visible; the previous and the new focused records (and the new
// item row when its focus changed) repaint. Only while the view is visible or a pattern.
class TqvGridFocusedRecordChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridFocusedRecordChange, TqvCustomGridViewChange)
 public:
  TqvGridFocusedRecordChange(TqvCustomGridView* AGridView, Integer AOldFocusedRowIndex, Integer AFocusedRowIndex,
                             bool ANewItemRowFocusChanged)
      : TqvCustomGridViewChange(AGridView),
        FOldFocusedRowIndex(AOldFocusedRowIndex),
        FFocusedRowIndex(AFocusedRowIndex),
        FNewItemRowFocusChanged(ANewItemRowFocusChanged) {}
  Integer GetOldFocusedRowIndex() const { return FOldFocusedRowIndex; }
  Integer GetFocusedRowIndex() const { return FFocusedRowIndex; }
  bool GetNewItemRowFocusChanged() const { return FNewItemRowFocusChanged; }
  void Execute() override;

 private:
  Integer FOldFocusedRowIndex;
  Integer FFocusedRowIndex;
  bool FNewItemRowFocusChanged;
};

// ---------------------------------------------------------------------------------------------
// Record hit tests and drags

// A record: it keeps the row index and the new-item flag, and looks the record up on request.
class TqvGridRecordHitTest : public TqvCustomGridViewHitTest {
  QJ_CLASS(TqvGridRecordHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 101; }
  // Whether a mouse down on this part acts on the record (focuses it).
  static bool CanClick() { return true; }
  virtual bool CanClickRecord() const { return CanClick(); }

  // The new item record with the flag; else the record at the row when it lies in the list;
  // else nullptr.
  TqvCustomGridRecord* GetGridRecord() const;
  void SetGridRecord(TqvCustomGridRecord* ARecord);
  Integer GetRowIndex() const { return FRowIndex; }
  bool IsNewItemRecord() const { return FNewItemRecord; }

 private:
  TqvCustomGridTableViewData* ViewData() const;

  Integer FRowIndex = -1;
  bool FNewItemRecord = false;
};

// A cell of a record.
class TqvGridRecordCellHitTest : public TqvGridRecordHitTest {
  QJ_CLASS(TqvGridRecordCellHitTest, TqvGridRecordHitTest)
 public:
  static Integer HitTestCode() { return 102; }
  TqvCustomGridTableItem* GetItem() const { return FItem; }
  void SetItem(TqvCustomGridTableItem* AItem) { FItem = AItem; }

 private:
  TqvCustomGridTableItem* FItem = nullptr;
};

// The expand button of a record: a press there does not focus the record.
class TqvGridExpandButtonHitTest : public TqvGridRecordHitTest {
  QJ_CLASS(TqvGridExpandButtonHitTest, TqvGridRecordHitTest)
 public:
  static Integer HitTestCode() { return 103; }
  static bool CanClick() { return false; }
  bool CanClickRecord() const override { return CanClick(); }
};

// The built-in navigator's area.
class TqvGridNavigatorHitTest : public TqvCustomGridViewHitTest {
  QJ_CLASS(TqvGridNavigatorHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 104; }
};

// Dragging over a collapsed record opens it after the wait (not recursively).
class TqvGridDragOpenInfoExpand : public TqvCustomGridDragOpenInfo {
  QJ_CLASS(TqvGridDragOpenInfoExpand, TqvCustomGridDragOpenInfo)
 public:
  TqvGridDragOpenInfoExpand(TqvCustomGridTableView* AGridView, Integer ARowIndex)
      : FGridView(AGridView), FRowIndex(ARowIndex) {}
  Integer GetRowIndex() const { return FRowIndex; }
  // Also the same view and row.
  bool Matches(TqvCustomGridDragOpenInfo* AInfo) override;
  void Open() override;

 private:
  TqvCustomGridTableView* FGridView;
  Integer FRowIndex;
};

// Base of the table views' drag-and-drop objects.
class TqvCustomGridTableDragAndDropObject : public TqvCustomGridDragAndDropObject {
  QJ_CLASS(TqvCustomGridTableDragAndDropObject, TqvCustomGridDragAndDropObject)
 public:
  using TqvCustomGridDragAndDropObject::TqvCustomGridDragAndDropObject;
  TqvCustomGridTableView* GetGridView() const;
  TqvCustomGridTableController* GetController() const;
  TqvCustomGridTableViewInfo* GetViewInfo() const;
};

// ---------------------------------------------------------------------------------------------
// Records and view data

// One row of the view, made when something asks for it and freed at the next refresh of the
// rows. It keeps a copy of the data controller's row info.
class TqvCustomGridRecord : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridRecord, TqvCustomGridTableViewData*, const TqvRowInfo&, Integer>;
  QJ_CLASS(TqvCustomGridRecord, TObject)

 public:
  TqvCustomGridRecord(TqvCustomGridTableViewData* AViewData, const TqvRowInfo& ARowInfo, Integer AIndex)
      : FViewData(AViewData), FIndex(AIndex), FRowInfo(ARowInfo) {}
  ~TqvCustomGridRecord() override;

  // In slot order.
  virtual void Collapse(bool ARecurse) = 0;
  virtual void Expand(bool ARecurse) = 0;
  // A group row is made again by its own expansion.
  virtual bool ExpandingFreesRecord() const { return false; }
  virtual bool GetExpandable() { return false; }
  virtual bool GetExpanded() { return false; }
  virtual bool IsDrawnFocused();
  virtual bool IsDrawnSelected();
  virtual bool HasCells() { return false; }
  virtual bool IsData() { return true; }
  virtual bool IsFirst() { return FIndex == 0; }
  virtual bool IsLast();
  virtual bool IsGroupLevel() { return false; }
  // At level 0 the master record of a detail view (nullptr in a top view); else the nearest
  // earlier record of a lower level.
  virtual TqvCustomGridRecord* GetParentRecord();
  virtual bool GetSelected();
  virtual bool GetVisible();
  virtual void SetSelected(bool AValue);
  virtual String GetDisplayText(Integer AItemIndex);
  virtual Integer GetValueCount();
  virtual Variant GetValue(Integer AItemIndex);
  virtual bool CanFocus() { return true; }
  virtual TqvCustomGridRecord* GetFirstFocusableChild() { return nullptr; }
  virtual TqvCustomGridRecord* GetLastFocusableChild() { return nullptr; }
  // A record change of this record (AItem: one cell) joins the view's queue.
  virtual void Invalidate(TqvCustomGridTableItem* AItem = nullptr);
  // Left and Right collapse and expand; the number pad's *, + and - expand and collapse.
  virtual void KeyDown(Word& AKey, TShiftState AShift);
  // Swallowed once after KeyDown used a number-pad key.
  virtual void KeyPress(char& AKey);

  Integer GetIndex() const { return FIndex; }
  Integer GetRecordIndex() const { return FRowInfo.RecordIndex; }
  Integer GetLevel() const { return FRowInfo.Level; }
  const TqvRowInfo& GetRowInfo() const { return FRowInfo; }
  void SetRowInfo(const TqvRowInfo& AValue) { FRowInfo = AValue; }
  // Expand(False) or Collapse(False) when expandable and different.
  void SetExpanded(bool AValue);
  bool GetFocused();
  void SetFocused(bool AValue);
  bool IsNewItemRecord() const;
  bool IsEditing() const;
  // The record index lies in the data controller's records.
  bool IsValid() const;
  bool IsDragHighlighted() const;
  // The record is the last, or the next record's level is below its own minus ALevelOffset.
  bool IsLastChild(Integer ALevelOffset);
  void MakeVisible();
  TqvCustomGridTableViewData* GetViewData() const { return FViewData; }
  TqvCustomGridTableView* GetGridView() const;
  TqvCustomGridTableController* GetController() const;
  TqvCustomDataController* GetDataController() const;
  // The record's current layout; the layout clears it when it goes, and the record clears the
  // layout's link when it goes first.
  TqvCustomGridRecordViewInfo* GetViewInfo() const { return FViewInfo; }
  void SetViewInfo(TqvCustomGridRecordViewInfo* AValue) { FViewInfo = AValue; }
  bool HasViewInfo() const { return FViewInfo != nullptr; }
  // Layouts hold the record by it: made on first request.
  TAliveToken AliveToken();

 private:
  TqvCustomGridTableViewData* FViewData;
  Integer FIndex;
  TqvRowInfo FRowInfo;
  TqvCustomGridRecordViewInfo* FViewInfo = nullptr;
  bool FKeyHandled = false;
  std::unique_ptr<TAliveFlag> FAlive;
};

using TqvCustomGridRecordClass = const TqvCustomGridRecord::MetaType*;

// The rows of a table view as records, each made on first request, and the new item record.
class TqvCustomGridTableViewData : public TqvCustomGridViewData {
  QJ_CLASS(TqvCustomGridTableViewData, TqvCustomGridViewData)
 public:
  using TqvCustomGridViewData::TqvCustomGridViewData;
  ~TqvCustomGridTableViewData() override;

  // In slot order.
  virtual TqvCustomGridRecordClass GetRecordClass(const TqvRowInfo& ARowInfo) = 0;
  virtual TqvCustomGridRecordClass GetNewItemRecordClass() = 0;
  // The new item record made again, every record freed, ARecordCount empty slots, the editing
  // record looked up again, a size change queued.
  virtual void Refresh(Integer ARecordCount);
  // False here.
  virtual bool HasNewItemRecord() { return false; }

  // Made on first access; raises for an index outside the rows.
  TqvCustomGridRecord* GetRecord(Integer AIndex);
  Integer GetRecordCount() const { return static_cast<Integer>(FRecords.size()); }
  // nullptr outside the rows.
  TqvCustomGridRecord* GetRecordByIndex(Integer AIndex);
  // The record of the row when it was made; nullptr otherwise (nothing is made).
  TqvCustomGridRecord* GetMadeRecord(Integer AIndex) const;
  // The new item record for the controller's new-record index, else the record of the row
  // that shows ARecordIndex; nullptr when none.
  TqvCustomGridRecord* GetRecordByRecordIndex(Integer ARecordIndex) override;
  Integer GetRecordIndexOf(TqvCustomGridRecord* ARecord) const { return ARecord ? ARecord->GetRecordIndex() : -1; }
  bool IsRecordIndexValid(Integer AIndex) const { return AIndex >= 0 && AIndex < GetRecordCount(); }
  // Records made so far (the new item record not counted).
  Integer GetMadeRecordCount() const;
  TqvCustomGridRecord* GetNewItemRecord() const { return FNewItemRecord.get(); }
  TqvCustomGridRecord* GetEditingRecord() const { return FEditingRecord; }
  TqvCustomGridTableView* GetGridView() const;
  TqvCustomGridTableController* GetController() const;

  // Every made record reads its row info again; none is freed.
  void RefreshRecordInfos();
  void UpdateEditingRecord();
  // Made or freed to follow HasNewItemRecord.
  void CheckNewItemRecord();
  // Every row from the first (the count read again after each, expanding adds rows).
  void Expand(bool ARecurse);
  // Every row from the last.
  void Collapse(bool ARecurse);
  void DestroyRecords();

 private:
  TqvRowInfo NewItemRowInfo() const;
  void MakeNewItemRecord();

  std::vector<TOwned<TqvCustomGridRecord>> FRecords;
  TOwned<TqvCustomGridRecord> FNewItemRecord;
  TqvCustomGridRecord* FEditingRecord = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Table items

// Base of an item's option objects: a change is a layout change of the item's view.
class TqvCustomGridTableItemCustomOptions : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridTableItemCustomOptions, TqvCustomGridTableItem*>;
  QJ_CLASS(TqvCustomGridTableItemCustomOptions, TPersistent)

 public:
  explicit TqvCustomGridTableItemCustomOptions(TqvCustomGridTableItem* AItem) : FItem(AItem) {}
  TPersistent* GetOwner() override;
  // Nothing to copy here.
  void Assign(TPersistent* Source) override;
  virtual void Changed();
  TqvCustomGridTableItem* GetItem() const { return FItem; }
  TqvCustomGridTableView* GetGridView() const;

 private:
  TqvCustomGridTableItem* FItem;
};

using TqvCustomGridTableItemOptionsClass = const TqvCustomGridTableItemCustomOptions::MetaType*;

enum TqvGridItemShowEditButtons { isebDefault, isebNever, isebAlways };

// What may be done with an item; every flag is on by default.
class TqvCustomGridTableItemOptions : public TqvCustomGridTableItemCustomOptions {
  QJ_CLASS(TqvCustomGridTableItemOptions, TqvCustomGridTableItemCustomOptions)
 public:
  using TqvCustomGridTableItemCustomOptions::TqvCustomGridTableItemCustomOptions;
  // The eight options, through the setters (grouping, moving and sorting directly).
  void Assign(TPersistent* Source) override;

  bool GetEditing() const { return FEditing; }
  // Off: the item stops being edited.
  void SetEditing(bool AValue);
  bool GetFiltering() const { return FFiltering; }
  // The view's filterable items are listed again.
  void SetFiltering(bool AValue);
  bool GetFocusing() const { return FFocusing; }
  // Off: the item gives up the focus.
  void SetFocusing(bool AValue);
  bool GetGrouping() const { return FGrouping; }
  void SetGrouping(bool AValue) { SetFlag(FGrouping, AValue); }
  bool GetIncSearch() const { return FIncSearch; }
  // Off while the item is searched: the search ends.
  void SetIncSearch(bool AValue);
  bool GetMoving() const { return FMoving; }
  void SetMoving(bool AValue) { SetFlag(FMoving, AValue); }
  bool GetSorting() const { return FSorting; }
  void SetSorting(bool AValue) { SetFlag(FSorting, AValue); }
  TqvGridItemShowEditButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TqvGridItemShowEditButtons AValue);

 private:
  void SetFlag(bool& AField, bool AValue);

  bool FEditing = true;
  bool FFiltering = true;
  bool FFocusing = true;
  bool FGrouping = true;
  bool FIncSearch = true;
  bool FMoving = true;
  bool FSorting = true;
  TqvGridItemShowEditButtons FShowEditButtons = isebDefault;
};

// Sender view, ARecord, AItem, out AStyle.
using TqvGridGetCellStyleEvent =
    std::function<void(TqvCustomGridTableView* Sender, TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                       TqvStyle*& AStyle)>;

// An item's Content style (index 0); its defaults are the view's content of the record.
class TqvCustomGridTableItemStyles : public TqvCustomGridStyles {
  QJ_CLASS(TqvCustomGridTableItemStyles, TqvCustomGridStyles)
 public:
  static constexpr Integer isContent = 0;

  using TqvCustomGridStyles::TqvCustomGridStyles;
  // Content and OnGetContentStyle.
  void Assign(TPersistent* Source) override;
  TqvCustomGridView* GetGridView() const override;
  // AData is the record (or nullptr).
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override;
  // With a record, OnGetContentStyle may give the style.
  void GetContentParams(TqvCustomGridRecord* ARecord, TqvViewParams& AParams);
  TqvCustomGridTableItem* GetItem() const;

  TqvStyle* GetContent() const { return GetValue(isContent); }
  void SetContent(TqvStyle* AValue) { SetValue(isContent, AValue); }
  TqvGridGetCellStyleEvent OnGetContentStyle;
};

using TqvGridGetDisplayTextEvent =
    std::function<void(TqvCustomGridTableItem* Sender, TqvCustomGridRecord* ARecord, String& AText)>;
using TqvGridGetFilterDisplayTextEvent =
    std::function<void(TqvCustomGridTableItem* Sender, const Variant& AValue, String& ADisplayText)>;
using TqvGridGetFilterValuesEvent = std::function<void(TqvCustomGridTableItem* Sender, TqvFilterValueList* AValueList)>;
using TqvGridGetPropertiesEvent = std::function<void(TqvCustomGridTableItem* Sender, TqvCustomGridRecord* ARecord,
                                                     TqvCustomEditProperties*& AProperties)>;
// Sender item, ACanvas, the data cell, var ADone (the data cells are the record layout's).
using TqvGridTableDataCellCustomDrawEvent =
    std::function<void(TqvCustomGridTableItem* Sender, TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo,
                       bool& ADone)>;

// One item of a table-like view (a column): it owns its data binding, options, styles and
// optionally its own editor properties, chooses the editor properties its cells use, and knows
// what may be done with it. A value an item cannot take raises and leaves the item as it was.
class TqvCustomGridTableItem : public TComponent,
                               public IqvStoredLayoutObject,
                               public IqvEditRepositoryItemListener {
  QJ_CLASS(TqvCustomGridTableItem, TComponent)
 public:
  static constexpr Integer DefaultMinWidth = 20;

  explicit TqvCustomGridTableItem(TComponent* AOwner);
  ~TqvCustomGridTableItem() override;
  // CreateSubobjects of the final class.
  void AfterConstruction() override;
  // Leaves the repository item and the view.
  void BeforeDestruction() override;
  // Another table item's settings.
  void Assign(TPersistent* Source) override;

  // IqvStoredLayoutObject
  String GetObjectName() override { return GetStoredObjectName(); }
  bool GetProperties(TStrings* AProperties) override { return GetStoredProperties(AProperties); }
  void GetPropertyValue(const String& AName, Variant& AValue) override { GetStoredPropertyValue(AName, AValue); }
  void SetPropertyValue(const String& AName, const Variant& AValue) override { SetStoredPropertyValue(AName, AValue); }
  // IqvEditRepositoryItemListener
  void ItemRemoved(TqvEditRepositoryItem* Sender) override;
  void PropertiesChanged(TqvEditRepositoryItem* Sender) override;

  // In slot order.
  virtual void RepositoryItemPropertiesChanged(TqvEditRepositoryItem* Sender);
  virtual String GetStoredObjectName();
  // "Index", "Visible", "Caption", "SortOrder", "SortIndex".
  virtual bool GetStoredProperties(TStrings* AProperties);
  virtual void GetStoredPropertyValue(const String& AName, Variant& AValue);
  // A value that does not convert raises EPropertyConvertError; the item keeps its settings.
  virtual void SetStoredPropertyValue(const String& AName, const Variant& AValue);
  virtual void CreateDataBinding();
  virtual void DestroyDataBinding();
  virtual void CreateSubobjects();
  virtual void DestroySubobjects();
  virtual bool CanAutoHeight();
  virtual bool CanEdit();
  virtual bool CanFilter();
  virtual bool CanFocus();
  virtual bool CanGroup();
  virtual bool CanHide();
  virtual bool CanHorzSize() { return true; }
  virtual bool CanIncSearch();
  virtual bool CanInitEditing();
  virtual bool CanMove();
  virtual bool CanScroll() { return true; }
  virtual bool CanSort();
  virtual void CaptionChanged();
  // 0: a layout change of the view alone; 1: a size change.
  virtual void Changed(Integer AKind);
  // The view's data changed: the binding re-links its provider.
  virtual void DataChanged();
  // Sets the width while the controller holds this item as the forced one.
  virtual void ForceWidth(Integer AWidth);
  virtual bool GetActuallyVisible() { return GetVisible(); }
  virtual Integer GetBestFitWidth();
  virtual bool IsFocusedCellPartlyHidden() { return false; }
  virtual Variant GetEditValue();
  virtual bool GetFilterable() { return CanFilter(); }
  virtual void DoGetFilterDisplayText(const Variant& AValue, String& ADisplayText);
  // True while ForceWidth runs for this item.
  virtual bool HasFixedWidth();
  // The focused record's cell of this item; nullptr here (the record layouts answer).
  virtual TqvCustomGridCellViewInfo* GetFocusedCellViewInfo() { return nullptr; }
  virtual bool GetVisible() { return FVisible; }
  // The binding's default values provider installed under the properties' changed-lock.
  virtual void InitProperties(TqvCustomEditProperties* AProperties);
  virtual bool IsVisibleStored() { return !FVisible; }
  // The view's filterable items listed again, a size change.
  virtual void PropertiesChanged();
  virtual void PropertiesChangedHandler(TObject* Sender);
  virtual void SetEditValue(const Variant& AValue);
  // Joins (binding made) or leaves (binding freed) a view; the actual properties follow.
  virtual void SetGridView(TqvCustomGridTableView* AValue);
  virtual bool ShowButtons(bool AIsFocusedRecord);
  virtual bool ShowOnUngrouping() { return true; }
  virtual void ValueTypeClassChanged();
  virtual TqvCustomGridTableItemOptionsClass GetOptionsClass() const;
  virtual TqvCustomStylesClass GetStylesClass() const;
  virtual String GetDefaultCaption();
  virtual Integer GetDefaultWidth();
  virtual void InitStyle(TqvCustomEditStyle* AStyle, const TqvViewParams& AParams, bool AIsFocusedRecord);
  virtual void DoCustomDrawCell(TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo, bool& ADone);
  virtual void DoGetDisplayText(TqvCustomGridRecord* ARecord, String& AText);
  virtual void DoGetFilterValues(TqvFilterValueList* AValueList);
  virtual TqvCustomEditProperties* DoGetProperties(TqvCustomGridRecord* ARecord);
  // ForceWidth(GetBestFitWidth) and a size change; nothing for a pattern view.
  virtual void ApplyBestFit();
  virtual Integer CalculateDefaultCellHeight(TqvCanvas* ACanvas, TFont* AFont);
  virtual TOwned<TqvCustomEditStyle> CreateEditStyle();
  // Caption and width unassigned.
  virtual void RestoreDefaults();

  // -- Identity
  TqvCustomGridTableView* GetGridView() const { return FGridView; }
  TqvCustomGridTableController* GetController() const;
  TqvGridDataController* GetDataController() const;
  TqvGridItemDataBinding* GetDataBinding() const { return FDataBinding.get(); }
  Integer GetIndex() const { return FIndex; }
  // Moves the item in its view.
  void SetIndex(Integer AValue);
  Integer GetVisibleIndex() const { return FVisibleIndex; }
  Integer GetID() const { return FID; }
  // Set by the view: its own list positions and ID.
  void SetListPlace(Integer AIndex, Integer AVisibleIndex) { FIndex = AIndex, FVisibleIndex = AVisibleIndex; }
  void SetVisibleIndex(Integer AValue) { FVisibleIndex = AValue; }
  void SetID(Integer AValue) { FID = AValue; }
  // The item or its view is being read from a stream.
  bool IsLoading() const;
  bool IsDestroying() const;

  // -- Caption, visibility, alignment
  String GetCaption();
  void SetCaption(const String& AValue);
  bool IsCaptionAssigned() const { return FCaptionAssigned; }
  // Written only when assigned and different from the default caption.
  bool IsCaptionStored();
  // "IsCaptionAssigned" is stored only for an assigned empty caption, so that an empty caption
  // survives loading; a reader gives it back through SetCaptionAssigned.
  bool IsCaptionAssignedStored() { return FCaptionAssigned && FCaption.empty(); }
  void SetCaptionAssigned(bool AValue) { FCaptionAssigned = AValue; }
  String GetFilterCaption() { return GetCaption(); }
  void SetVisible(bool AValue);
  TAlignment GetHeaderAlignmentHorz() const { return FHeaderAlignmentHorzAssigned ? FHeaderAlignmentHorz : taLeftJustify; }
  void SetHeaderAlignmentHorz(TAlignment AValue);
  bool IsHeaderAlignmentHorzStored() const { return FHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz != taLeftJustify; }
  TqvAlignmentVert GetHeaderAlignmentVert() const { return FHeaderAlignmentVertAssigned ? FHeaderAlignmentVert : vaTop; }
  void SetHeaderAlignmentVert(TqvAlignmentVert AValue);
  bool IsHeaderAlignmentVertStored() const { return FHeaderAlignmentVertAssigned && FHeaderAlignmentVert != vaTop; }

  // -- Widths
  // The assigned width or the default width.
  Integer GetWidth();
  // Raised to the effective minimum; stored, assigned, a size change.
  void SetWidth(Integer AValue);
  bool IsWidthAssigned() const { return FWidthAssigned; }
  // The minimum when the item can be sized, else the current width.
  Integer GetMinWidth();
  // Negative becomes 0.
  void SetMinWidth(Integer AValue);
  // The minimum width when the item can be sized, else 0.
  Integer GetEffectiveMinWidth();
  // AWidth raised to the effective minimum.
  Integer CheckWidthValue(Integer AWidth);

  // -- Editor properties
  TqvCustomEditPropertiesClass GetPropertiesClass() const { return FPropertiesClass; }
  // Recreates the own properties from the class (nullptr: none).
  void SetPropertiesClass(TqvCustomEditPropertiesClass AValue);
  // The registered class name of the own properties ("" for none).
  String GetPropertiesClassName() const;
  // An unknown name raises EPropertyConvertError and keeps the properties.
  void SetPropertiesClassName(const String& AValue);
  TqvCustomEditProperties* GetOwnProperties() const { return FProperties.get(); }
  // Copied into the existing own properties.
  void SetOwnProperties(TqvCustomEditProperties* AValue);
  TqvEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TqvEditRepositoryItem* AValue);
  // The properties the cells use, without the default values provider installed.
  TqvCustomEditProperties* GetActualProperties() const { return FActualProperties; }
  // The actual properties, ready (provider installed).
  TqvCustomEditProperties* GetProperties();
  // What DoGetProperties answers for ARecord, ready.
  TqvCustomEditProperties* GetPropertiesForRecord(TqvCustomGridRecord* ARecord);
  // The shared style of the item's cells, made on first use.
  TqvCustomEditStyle* GetEditStyle();

  // -- State through the controllers
  bool GetFocused();
  // True: the controller's focused item; False (only when focused): the next focusable item of
  // the record, or none.
  void SetFocused(bool AValue);
  bool IsFirst();
  bool IsLast();
  bool GetFiltered() const;
  void SetFiltered(bool AValue);
  TqvDataSortOrder GetSortOrder() const;
  void SetSortOrder(TqvDataSortOrder AValue);
  Integer GetSortIndex() const;
  void SetSortIndex(Integer AValue);
  Integer GetGroupIndex() const;
  void SetGroupIndex(Integer AValue);
  // Visibility remembered when the item was grouped (columns show again after ungrouping).
  bool GetWasVisibleBeforeGrouping() const { return FWasVisibleBeforeGrouping; }

  // -- Parts
  TqvCustomGridTableItemOptions* GetOptions() const { return FOptions.get(); }
  void SetOptions(TqvCustomGridTableItemOptions* AValue) { FOptions->Assign(AValue); }
  TqvCustomGridTableItemStyles* GetStyles() const { return FStyles.get(); }
  void SetStyles(TqvCustomGridTableItemStyles* AValue) { FStyles->Assign(AValue); }

  TqvGridTableDataCellCustomDrawEvent OnCustomDrawCell;
  TqvGridGetDisplayTextEvent OnGetDisplayText;
  TqvGridGetFilterDisplayTextEvent OnGetFilterDisplayText;
  TqvGridGetFilterValuesEvent OnGetFilterValues;
  // Changing it through SetOnGetProperties lays the view out again.
  TqvGridGetPropertiesEvent OnGetProperties;
  void SetOnGetProperties(TqvGridGetPropertiesEvent AValue);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void UpdateActualProperties();
  void ReleaseDefaultRepositoryItem();
  void RecreateOwnProperties();
  Integer MeasureRecordWidth(TqvCustomEditViewData* AViewData, TqvCustomGridRecord* ARecord, TqvCanvas* ACanvas);

  TqvCustomGridTableView* FGridView = nullptr;
  Integer FIndex = -1;
  Integer FVisibleIndex = -1;
  Integer FID = -1;
  String FCaption;
  bool FCaptionAssigned = false;
  bool FVisible = true;
  Integer FMinWidth = DefaultMinWidth;
  Integer FWidth = 0;
  bool FWidthAssigned = false;
  TAlignment FHeaderAlignmentHorz = taLeftJustify;
  bool FHeaderAlignmentHorzAssigned = false;
  TqvAlignmentVert FHeaderAlignmentVert = vaTop;
  bool FHeaderAlignmentVertAssigned = false;
  bool FWasVisibleBeforeGrouping = true;
  TOwned<TqvGridItemDataBinding> FDataBinding;
  TOwned<TqvCustomGridTableItemOptions> FOptions;
  TOwned<TqvCustomGridTableItemStyles> FStyles;
  TqvCustomEditPropertiesClass FPropertiesClass = nullptr;
  TOwned<TqvCustomEditProperties> FProperties;
  TqvEditRepositoryItem* FRepositoryItem = nullptr;
  TqvEditRepositoryItem* FDefaultRepositoryItem = nullptr;
  TqvCustomEditProperties* FActualProperties = nullptr;
  TOwned<TqvCustomEditStyle> FEditStyle;
};

using TqvCustomGridTableItemClass = const TComponent::MetaType*;

// ---------------------------------------------------------------------------------------------
// Table options, content styles and the content bitmap. Setters clamp at their lower bound and
// never fail.

enum TqvGridTableFilterVisible { fvNever, fvNonEmpty, fvAlways };

class TqvCustomGridTableFiltering : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridTableFiltering, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
  void Assign(TPersistent* Source) override;

  bool GetCustomizeDialog() const { return FCustomizeDialog; }
  void SetCustomizeDialog(bool AValue);
  Integer GetDropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(Integer AValue) { FDropDownWidth = std::max<Integer>(0, AValue); }
  Integer GetMaxDropDownCount() const { return FMaxDropDownCount; }
  void SetMaxDropDownCount(Integer AValue) { FMaxDropDownCount = std::max<Integer>(0, AValue); }
  TqvGridTableFilterVisible GetVisible() const { return FVisible; }
  void SetVisible(TqvGridTableFilterVisible AValue);

  // The rows a column's filter drop-down shows for ACount values.
  Integer GetDropDownCount(Integer ACount) const;
  // The data controller's filter becomes active.
  void ActivateFilter();
  // The filter builder for nil or when the filter is too complex for one item; else the
  // custom filter dialog for AItem, which activates the filter when confirmed.
  void RunCustomizeDialog(TqvCustomGridTableItem* AItem);
  TqvCustomGridTableView* GetTableView() const;

 private:
  bool FCustomizeDialog = true;
  Integer FDropDownWidth = 0;
  Integer FMaxDropDownCount = 15;
  TqvGridTableFilterVisible FVisible = fvNonEmpty;
};

enum TqvGridDragFocusing { dfNone, dfDragOver, dfDragDrop };

class TqvCustomGridTableOptionsBehavior : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridTableOptionsBehavior, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
  void Assign(TPersistent* Source) override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  bool AlwaysShowEditor = false;
  bool CellHints = false;
  TqvGridDragFocusing DragFocusing = dfNone;
  bool DragHighlighting = true;
  bool DragOpening = true;
  bool DragScrolling = true;
  bool FocusCellOnCycle = false;
  bool FocusFirstCellOnNewRecord = false;
  bool GoToNextCellOnEnter = false;
  bool ImmediateEditor = true;
  TqvCustomGridTableItem* IncSearchItem = nullptr;
  bool NavigatorHints = false;
  bool PullFocusing = false;

  Integer GetBestFitMaxRecordCount() const { return FBestFitMaxRecordCount; }
  void SetBestFitMaxRecordCount(Integer AValue) { FBestFitMaxRecordCount = std::max<Integer>(0, AValue); }
  bool GetFocusCellOnTab() const { return FFocusCellOnTab; }
  // The site takes the Tab key or gives it up.
  void SetFocusCellOnTab(bool AValue);
  bool GetIncSearch() const { return FIncSearch; }
  // Off: a running incremental search ends first.
  void SetIncSearch(bool AValue);

 private:
  Integer FBestFitMaxRecordCount = 0;
  bool FFocusCellOnTab = false;
  bool FIncSearch = false;
};

class TqvCustomGridTableOptionsCustomize : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridTableOptionsCustomize, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
  void Assign(TPersistent* Source) override;

  bool ItemGrouping = true;
  bool ItemMoving = true;
  bool ItemSorting = true;
};

class TqvCustomGridTableOptionsData : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridTableOptionsData, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
  void Assign(TPersistent* Source) override;

  bool Appending = false;
  bool CancelOnExit = true;
  bool DeletingConfirmation = true;

  bool GetDeleting() const { return FDeleting; }
  // The navigators refresh.
  void SetDeleting(bool AValue);
  bool GetEditing() const { return FEditing; }
  // Off: in-place editing ends; the navigators refresh.
  void SetEditing(bool AValue);
  bool GetInserting() const { return FInserting; }
  void SetInserting(bool AValue);

 private:
  void SetNavigatorFlag(bool& AField, bool AValue);

  bool FDeleting = true;
  bool FEditing = true;
  bool FInserting = true;
};

class TqvCustomGridTableOptionsSelection : public TqvCustomGridOptionsSelection {
  QJ_CLASS(TqvCustomGridTableOptionsSelection, TqvCustomGridOptionsSelection)
 public:
  using TqvCustomGridOptionsSelection::TqvCustomGridOptionsSelection;
  void Assign(TPersistent* Source) override;

  bool UnselectFocusedRecordOnExit = true;

  bool GetCellSelect() const { return FCellSelect; }
  // On: the first focusable item of the focused record is focused; off: no item is.
  void SetCellSelect(bool AValue);
  bool GetHideFocusRect() const { return FHideFocusRect; }
  void SetHideFocusRect(bool AValue) { SetFlag(FHideFocusRect, AValue); }
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool AValue) { SetFlag(FHideSelection, AValue); }
  bool GetInvertSelect() const { return FInvertSelect; }
  void SetInvertSelect(bool AValue) { SetFlag(FInvertSelect, AValue); }
  // Kept by the data controller.
  bool GetMultiSelect() const;
  void SetMultiSelect(bool AValue);

 private:
  void SetFlag(bool& AField, bool AValue);

  bool FCellSelect = true;
  bool FHideFocusRect = true;
  bool FHideSelection = false;
  bool FInvertSelect = true;
};

enum TqvGridShowEditButtons { gsebNever, gsebForFocusedRecord, gsebAlways };

class TqvCustomGridTableOptionsView : public TqvCustomGridOptionsView {
  QJ_CLASS(TqvCustomGridTableOptionsView, TqvCustomGridOptionsView)
 public:
  using TqvCustomGridOptionsView::TqvCustomGridOptionsView;
  void Assign(TPersistent* Source) override;

  bool GetCellAutoHeight() const { return FCellAutoHeight; }
  void SetCellAutoHeight(bool AValue);
  bool GetCellEndEllipsis() const { return FCellEndEllipsis; }
  void SetCellEndEllipsis(bool AValue);
  Integer GetCellTextMaxLineCount() const { return FCellTextMaxLineCount; }
  void SetCellTextMaxLineCount(Integer AValue);
  bool GetItemCaptionAutoHeight() const { return FItemCaptionAutoHeight; }
  void SetItemCaptionAutoHeight(bool AValue);
  bool GetItemCaptionEndEllipsis() const { return FItemCaptionEndEllipsis; }
  void SetItemCaptionEndEllipsis(bool AValue);
  bool GetNavigator() const { return FNavigator; }
  void SetNavigator(bool AValue);
  Integer GetNavigatorOffset() const { return FNavigatorOffset; }
  void SetNavigatorOffset(Integer AValue);
  TqvGridShowEditButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TqvGridShowEditButtons AValue);

 protected:
  // A size change here.
  virtual void ItemCaptionAutoHeightChanged();
  void SizeChanged();

 private:
  bool FCellAutoHeight = false;
  bool FCellEndEllipsis = false;
  Integer FCellTextMaxLineCount = 0;
  bool FItemCaptionAutoHeight = false;
  bool FItemCaptionEndEllipsis = false;
  bool FNavigator = false;
  Integer FNavigatorOffset = 50;
  TqvGridShowEditButtons FShowEditButtons = gsebNever;
};

// The pair a data cell's styles are resolved for.
class TqvGridDataCellPos : public TObject {
  QJ_CLASS(TqvGridDataCellPos, TObject)
 public:
  TqvGridDataCellPos(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem) : Record(ARecord), Item(AItem) {}
  TqvCustomGridRecord* Record;
  TqvCustomGridTableItem* Item;
};

// Content (1), ContentEven (2), ContentOdd (3), Inactive (4), IncSearch (5), Selection (6) and
// OnGetContentStyle.
class TqvCustomGridTableViewStyles : public TqvCustomGridViewStyles {
  QJ_CLASS(TqvCustomGridTableViewStyles, TqvCustomGridViewStyles)
 public:
  static constexpr Integer vsContent = 1, vsContentEven = 2, vsContentOdd = 3, vsInactive = 4, vsIncSearch = 5,
                           vsSelection = 6;

  using TqvCustomGridViewStyles::TqvCustomGridViewStyles;
  void Assign(TPersistent* Source) override;
  // AData: nullptr, a record, or a TqvGridDataCellPos.
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override;

  // In slot order.
  // OnGetContentStyle first; then ContentEven or ContentOdd by the record's position when that
  // style is assigned; else Content.
  virtual void GetViewContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem, TqvViewParams& AParams);
  // The item's own content, or the record's without an item.
  virtual void GetContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem, TqvViewParams& AParams);
  // Selection (active) or Inactive for a selected cell; else the content.
  virtual void GetDataCellParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                                 TqvCustomGridCellViewInfo* ACellViewInfo, bool AUseCellViewInfo,
                                 TqvViewParams& AParams);
  virtual void GetRecordContentParams(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem, TqvViewParams& AParams);

  TqvCustomGridTableView* GetTableView() const;
  TqvStyle* GetContent() const { return GetValue(vsContent); }
  void SetContent(TqvStyle* AValue) { SetValue(vsContent, AValue); }
  TqvStyle* GetContentEven() const { return GetValue(vsContentEven); }
  void SetContentEven(TqvStyle* AValue) { SetValue(vsContentEven, AValue); }
  TqvStyle* GetContentOdd() const { return GetValue(vsContentOdd); }
  void SetContentOdd(TqvStyle* AValue) { SetValue(vsContentOdd, AValue); }
  TqvStyle* GetInactive() const { return GetValue(vsInactive); }
  void SetInactive(TqvStyle* AValue) { SetValue(vsInactive, AValue); }
  TqvStyle* GetIncSearch() const { return GetValue(vsIncSearch); }
  void SetIncSearch(TqvStyle* AValue) { SetValue(vsIncSearch, AValue); }
  TqvStyle* GetSelection() const { return GetValue(vsSelection); }
  void SetSelection(TqvStyle* AValue) { SetValue(vsSelection, AValue); }

  TqvGridGetCellStyleEvent OnGetContentStyle;
};

// Background (0) and Content (1, defaulting to the Content style's bitmap).
class TqvCustomGridTableBackgroundBitmaps : public TqvCustomGridBackgroundBitmaps {
  QJ_CLASS(TqvCustomGridTableBackgroundBitmaps, TqvCustomGridBackgroundBitmaps)
 public:
  static constexpr Integer bbContent = 1;

  using TqvCustomGridBackgroundBitmaps::TqvCustomGridBackgroundBitmaps;
  void Assign(TPersistent* Source) override;
  Integer GetBitmapStyleIndex(Integer AIndex) const override;
  TBitmap* GetContent() { return GetValue(bbContent); }
  void SetContent(TBitmap* AValue) { SetValue(bbContent, AValue); }
};

// ---------------------------------------------------------------------------------------------
// Table controller: focus, navigation, scrolling

// What a move of the focus to another record came to. A move may run code (posting, events)
// that frees the view: callers stop at frrViewFreed and touch nothing of the view.
enum TqvFocusRecordResult { frrNotMoved, frrMoved, frrViewFreed };

// Keeps the focused item and the top record index; the focused record and the selection are
// the data controller's. Public operations take row indexes, never record objects kept across
// a change.
class TqvCustomGridTableController : public TqvCustomGridController {
  QJ_CLASS(TqvCustomGridTableController, TqvCustomGridController)
 public:
  explicit TqvCustomGridTableController(TqvCustomGridView* AGridView);
  ~TqvCustomGridTableController() override;

  // Overrides of the view hooks.
  void DetailFocused(TqvCustomGridView* ADetailView) override;
  void FocusGained() override;
  void FocusLost() override;
  void ControlFocusChanged() override;
  // The data controller's edit is cancelled when CanCancelOnExit, else it takes the editors'
  // values.
  void DoExit() override;
  // An editing data controller posts (not while the view is being destroyed).
  void EndEditing() override;
  bool IsDataFullyVisible() override;

  // In slot order.
  // The site's scroll bars follow the new offset.
  virtual void AfterOffset();
  virtual void BeforeOffset() {}
  virtual bool CanAppend();
  virtual bool CanDelete(bool ACheckOptions = true);
  virtual bool CanEdit();
  virtual bool CanHideHScrollBar();
  virtual bool CanInsert(bool ACheckOptions = true);
  // Not re-entered: AValue clamped to the rows and to GetMaxTopRecordIndex (in grid mode the
  // data controller's window moves first).
  virtual void CheckTopRecordIndex(Integer& AValue);
  // Not while loading or destroying: the new item is made visible, the focused record's cells
  // repaint, OnFocusedItemChanged fires.
  virtual void FocusedItemChanged(TqvCustomGridTableItem* APrevItem);
  virtual bool CanCancelOnExit();
  virtual TqvCustomGridRecord* GetFocusedRecord();
  virtual bool IsRecordsScrollHorizontal() = 0;
  virtual Integer GetMaxTopRecordIndex();
  virtual Integer GetScrollBarOffsetBegin();
  virtual Integer GetScrollBarOffsetEnd();
  virtual Integer GetScrollBarPos();
  virtual Integer GetScrollBarRecordCount();
  // How many records fill the view from AFromIndex in the direction.
  virtual Integer GetPageRecordCount(Integer AFromIndex, bool AForward);
  virtual void SetFocusedRecord(TqvCustomGridRecord* ARecord);
  virtual void SetScrollBarPos(Integer AValue);
  // MultiSelect is on.
  virtual bool IsMultiSelectActive();
  virtual void InvalidateFocusedRecord();
  virtual void FocusNextPage(bool ASelect);
  virtual void FocusPrevPage(bool ASelect);
  virtual void ScrollPage(bool AForward);
  virtual void ScrollRecords(bool AForward, Integer ACount);
  virtual void ScrollPageDown();
  virtual void ScrollPageUp();
  // The next focusable visible item from AItemIndex; -1 when none.
  virtual Integer FindNextItem(Integer AItemIndex, bool AForward, bool ACycle, bool& AWrapped);
  // The top record index applied again through the checked setter.
  virtual void CheckCoordinates();
  // A new record is appended (AAppend) or inserted; nothing without the right.
  virtual void CreateNewRecord(bool AAppend);
  virtual void MakeItemVisible(TqvCustomGridTableItem* AItem) = 0;
  virtual void MakeRecordVisible(Integer ARowIndex);

  // -- Records
  // The record at the focused row when it lies in the list, else nullptr.
  Integer GetFocusedRowIndex() const;
  // False when the record refuses the focus or the data controller refuses the move.
  bool SetFocusedRowIndex(Integer ARowIndex);
  bool FocusRecord(Integer ARowIndex, bool ASelect);
  TqvFocusRecordResult FocusNextRecord(Integer ARowIndex, bool AForward, bool ASelect, bool AGoIntoDetail, bool ACycle);
  TqvFocusRecordResult FocusNextRecordCore(Integer ARowIndex, bool AForward, bool AGoIntoDetail, bool ACycle);
  // The next focusable record index from ARowIndex (-1: from outside the list); -1 when none.
  Integer FindNextRecordIndex(Integer ARowIndex, bool AForward, bool ACycle, bool& AWrapped);
  TqvFocusRecordResult GoToFirst();
  TqvFocusRecordResult GoToLast(bool AGoIntoDetail = false);
  TqvFocusRecordResult GoToNext(bool AGoIntoDetail, bool ASelect);
  TqvFocusRecordResult GoToPrev(bool AGoIntoDetail, bool ASelect);
  bool IsFocusedRecordFirst();
  bool IsFocusedRecordLast();
  void MakeFocusedRecordVisible();
  Integer GetSelectedRecordCount() const;
  // nullptr when there is none.
  TqvCustomGridRecord* GetSelectedRecord(Integer AIndex);

  // -- Items
  TqvCustomGridTableItem* GetFocusedItem() const { return FFocusedItem; }
  // False for an item that cannot be focused.
  bool SetFocusedItem(TqvCustomGridTableItem* AItem);
  Integer GetFocusedItemIndex() const;
  // -1 clears; an index outside the visible items is ignored.
  void SetFocusedItemIndex(Integer AValue);
  bool FocusNextItem(Integer AItemIndex, bool AForward, bool ACycleToNextRecord, bool ACycleInRecord);
  bool FocusNextCell(bool AForward, bool ANoRecordChange = false);
  bool FocusFirstItem() { return FocusNextItem(-1, true, false, false); }
  void MakeFocusedItemVisible();
  TqvCustomGridTableItem* GetForcingWidthItem() const { return FForcingWidthItem; }
  void SetForcingWidthItem(TqvCustomGridTableItem* AValue) { FForcingWidthItem = AValue; }
  // The item an incremental search runs on; nullptr here (no search runs).
  TqvCustomGridTableItem* GetIncSearchingItem() const { return nullptr; }

  // -- Top record index
  Integer GetTopRecordIndex() const { return FTopRecordIndex; }
  // Checked (CheckTopRecordIndex), then applied.
  void SetTopRecordIndex(Integer AValue);
  // Starts, once and only in grid mode, the 1 ms timer after which the data controller's
  // buffer follows what the view shows.
  void PostGridModeBufferCountUpdate();
  bool IsGridModeBufferCountUpdatePending() const { return FGridModeBufferCountUpdateTimer != nullptr; }
  // What the timer runs.
  void GridModeBufferCountUpdate();

  TqvCustomGridTableView* GetGridView() const;
  TqvGridDataController* GetDataController() const;
  TqvCustomGridTableViewData* GetViewData() const;
  TqvCustomGridTableViewInfo* GetViewInfo() const;

  // Record the focus goes to when a standard drag highlights one; nullptr here.
  TqvCustomGridRecord* GetDragHighlightedRecord() const { return nullptr; }

 private:
  using TIndexTest = std::function<bool(Integer)>;
  static Integer FindNextIndex(Integer AStart, Integer ACount, bool& AWrapped, const TIndexTest& ATest, bool ACycle,
                               bool AForward);
  void InternalSetTopRecordIndex(Integer AValue);
  bool LeaveEditedRecord(Integer& ARowIndex, bool AForward, bool& AMovedByCancel);
  TqvFocusRecordResult FocusTargetRecord(Integer ARowIndex, bool AForward, bool AGoIntoDetail, bool ACycle);
  void SelectFocusedOnly();
  IqvGridDataControllerHooks* Hooks() const;

  TqvCustomGridTableItem* FFocusedItem = nullptr;
  TqvCustomGridTableItem* FForcingWidthItem = nullptr;
  Integer FTopRecordIndex = 0;
  bool FMakeVisibleOnFocus = true;
  bool FCheckingTopRecordIndex = false;
  TOwned<TTimer> FGridModeBufferCountUpdateTimer;
};

// ---------------------------------------------------------------------------------------------
// Record layouts

// The layout of one shown record. The record and its layout forget each other when either goes
// first; a layout whose record was freed by a refresh answers nullptr and is skipped.
class TqvCustomGridRecordsViewInfo;

class TqvCustomGridRecordViewInfo : public TqvCustomGridViewCellViewInfo {
 public:
  using MetaType = TqvGridCellMetaClassFor<TqvCustomGridRecordViewInfo, TqvCustomGridRecordsViewInfo*, TqvCustomGridRecord*>;
  QJ_CLASS(TqvCustomGridRecordViewInfo, TqvCustomGridViewCellViewInfo)
 public:
  // Takes the record's back link unless another layout holds it already (then detached).
  TqvCustomGridRecordViewInfo(TqvCustomGridRecordsViewInfo* ARecordsViewInfo, TqvCustomGridRecord* ARecord);
  ~TqvCustomGridRecordViewInfo() override;

  // In slot order.
  // The item's cell bounds, or the record's without an item.
  virtual TRect GetBoundsForInvalidate(TqvCustomGridTableItem* AItem);
  // Empty here.
  virtual TRect GetCellBoundsForItem(TqvCustomGridTableItem* /*AItem*/) { return TRect(); }
  // Laid out at the point with its own width and height.
  virtual void CalculateAt(Integer ALeft, Integer ATop);

  // Its position in the records layout is below the number of visible records.
  bool GetVisible() override;
  // A record hit test naming the record.
  TqvGridHitTestClass GetHitTestClass() override { return &TqvGridRecordHitTest::StaticClass(); }
  void InitHitTest(TqvCustomGridHitTest* AHitTest) override;

  // BeforeRecalculation, CalculateAt at its own top-left, AfterRecalculation.
  void RecalculateRecord();
  // nullptr once the record was freed (also for a detached layout).
  TqvCustomGridRecord* GetGridRecord() const { return FRecordAlive ? FRecord : nullptr; }
  bool IsDetached() const { return FDetached; }
  TqvCustomGridRecordsViewInfo* GetRecordsViewInfo() const { return FRecordsViewInfo; }
  // Its position in the records layout; -1 when not listed.
  Integer GetIndex() const;
  bool IsCalculated() const { return FCalculated; }
  void Calculate(Integer ALeft, Integer ATop, Integer AWidth = -1, Integer AHeight = -1) override;

 private:
  TqvCustomGridRecordsViewInfo* FRecordsViewInfo;
  bool FCalculated = false;
  TqvCustomGridRecord* FRecord;
  TAliveToken FRecordAlive;
  bool FDetached;
};

using TqvCustomGridRecordViewInfoClass = const TqvCustomGridRecordViewInfo::MetaType*;

// The layouts of the shown records: position i shows row first + i (downward) or first - i
// (upward). Scrolling by fewer records than are shown keeps the layouts that stay and lays out
// only the new ones.
class TqvCustomGridRecordsViewInfo : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridRecordsViewInfo, TqvCustomGridTableViewInfo*>;
  QJ_CLASS(TqvCustomGridRecordsViewInfo, TObject)

 public:
  explicit TqvCustomGridRecordsViewInfo(TqvCustomGridTableViewInfo* AViewInfo) : FViewInfo(AViewInfo) {}
  ~TqvCustomGridRecordsViewInfo() override;

  // In slot order.
  virtual void AfterCalculating() {}
  virtual void BeforeCalculating() {}
  // The bounds; descendants lay their records out.
  virtual void Calculate();
  virtual TRect GetBounds();
  // How many records show; 0 here.
  virtual Integer CalculateVisibleCount() { return 0; }
  virtual Integer GetRecordLeft(Integer AIndex) = 0;
  // The pixels that ADelta records scroll.
  virtual Integer GetPixelScrollSize(Integer ADelta) = 0;
  virtual Integer GetRecordTop(Integer AIndex) = 0;
  virtual void OffsetRecord(Integer AIndex, Integer ADistance) = 0;
  // The layout class of a record.
  virtual TqvCustomGridRecordViewInfoClass GetRecordViewInfoClass(TqvCustomGridRecord* ARecord) = 0;
  // Records are laid out and |ADelta| is below their count.
  virtual bool CanOffset(Integer ADelta);
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);
  virtual void OffsetRecords(Integer ADelta);

  // BeforeCalculating, Calculate, AfterCalculating; every layout made before goes first.
  void MainCalculate();
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // The layout at AIndex; at the end of the list one is made for the row of that position.
  // nullptr for a layout whose record is gone, or past the records.
  TqvCustomGridRecordViewInfo* GetItem(Integer AIndex);
  // The layout made so far at AIndex (nullptr when its record is gone).
  TqvCustomGridRecordViewInfo* GetMadeItem(Integer AIndex) const;
  Integer IndexOf(const TqvCustomGridRecordViewInfo* ARecordViewInfo) const;
  // Rows from the first one to the end (downward) or to the start (upward).
  Integer GetMaxCount();
  // The entry at the row's position, nullptr when the row is not laid out.
  TqvCustomGridRecordViewInfo* GetRecordViewInfo(Integer ARowIndex);
  Integer GetVisibleCount() const { return FVisibleCount; }
  Integer GetLastScrollDistance() const { return FLastScrollDistance; }
  // Every laid-out layout whose record exists paints itself.
  void Paint();
  TqvCustomGridTableViewInfo* GetViewInfo() const { return FViewInfo; }
  Integer GetRowIndex(Integer AIndex) const;

 protected:
  void SetVisibleCount(Integer AValue) { FVisibleCount = AValue; }
  const TRect& GetAreaBounds() const { return FBounds; }

 private:
  TqvCustomGridRecordViewInfo* MakeItem(Integer AIndex);

  TqvCustomGridTableViewInfo* FViewInfo;
  TRect FBounds;
  std::vector<TOwned<TqvCustomGridRecordViewInfo>> FItems;
  Integer FLastScrollDistance = 0;
  Integer FVisibleCount = 0;
};

using TqvCustomGridRecordsViewInfoClass = const TqvCustomGridRecordsViewInfo::MetaType*;

// ---------------------------------------------------------------------------------------------
// Layout object of table views: what the controller asks of it

class TqvCustomGridTableViewInfo : public TqvCustomGridViewInfo {
  QJ_CLASS(TqvCustomGridTableViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;

  // The records layout of GetRecordsViewInfoClass.
  void CreateViewInfos() override;
  void DestroyViewInfos(bool AIsRecreating) override;
  // The records layout first.
  void Calculate() override;
  // A real layout re-applies the controller's top record index.
  void AfterCalculating() override;
  bool IsInternalUse() const override { return FForcedFirstRecordIndex != -1; }
  // The records layout's hit test, else the base's.
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override;
  virtual TqvCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() const = 0;
  TqvCustomGridRecordsViewInfo* GetRecordsViewInfo() const { return FRecordsViewInfo.get(); }

  // In slot order.
  // How many records of equal height fit; -1: not computable that way.
  virtual Integer CalculateVisibleEqualHeightRecordCount() { return -1; }
  // 0: the data controller's default.
  virtual Integer GetDefaultGridModeBufferCount() { return 0; }
  // The records layout's visible records.
  virtual Integer GetVisibleRecordCount();
  // A real layout, not measuring, and the controller allows it.
  virtual bool CanCheckCoordinates();
  // The records layout's answer.
  virtual bool CanOffset(Integer ADelta);
  // True here; a descendant may refuse, and the view is then laid out again.
  virtual bool CanOffsetView(Integer /*ADelta*/, Integer /*AOffsetX*/, Integer /*AOffsetY*/) { return true; }
  // Moves the records by ADelta (or, for 0, the horizontal position: nothing here).
  virtual void DoOffset(Integer ADelta, Integer AOffsetX, Integer AOffsetY);

  // The forced first record or the controller's top record index.
  Integer GetFirstRecordIndex() const;
  Integer GetForcedFirstRecordIndex() const { return FForcedFirstRecordIndex; }
  // Makes this a measuring view info laid out from AIndex in the direction.
  void SetForcedFirstRecordIndex(Integer AIndex, bool ADownward) {
    FForcedFirstRecordIndex = AIndex;
    FCalculateDownward = ADownward;
  }
  bool GetCalculateDownward() const { return FCalculateDownward; }
  bool GetAllowCheckCoordinates() const { return FAllowCheckCoordinates; }
  void SetAllowCheckCoordinates(bool AValue) { FAllowCheckCoordinates = AValue; }
  TqvCustomGridTableView* GetGridView() const;
  TqvCustomGridTableController* GetController() const;

 private:
  TOwned<TqvCustomGridRecordsViewInfo> FRecordsViewInfo;
  Integer FForcedFirstRecordIndex = -1;
  bool FCalculateDownward = true;
  bool FAllowCheckCoordinates = true;
};

// Paints the content of a table view: its records.
class TqvCustomGridTablePainter : public TqvCustomGridPainter {
  QJ_CLASS(TqvCustomGridTablePainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override;
  TqvCustomGridTableViewInfo* GetViewInfo() const;
};

// ---------------------------------------------------------------------------------------------
// The view

using TqvGridCanSelectRecordEvent =
    std::function<void(TqvCustomGridTableView* Sender, TqvCustomGridRecord* ARecord, bool& AAllow)>;
using TqvGridFocusedItemChangedEvent = std::function<void(
    TqvCustomGridTableView* Sender, TqvCustomGridTableItem* APrevFocusedItem, TqvCustomGridTableItem* AFocusedItem)>;
using TqvGridFocusedRecordChangedEvent =
    std::function<void(TqvCustomGridTableView* Sender, TqvCustomGridRecord* APrevFocusedRecord,
                       TqvCustomGridRecord* AFocusedRecord, bool ANewItemRecordFocusingChanged)>;
// Sender view, ACanvas, the data cell, var ADone.
using TqvGridViewCustomDrawCellEvent = std::function<void(TqvCustomGridTableView* Sender, TqvCanvas* ACanvas,
                                                          TqvCustomGridCellViewInfo* AViewInfo, bool& ADone)>;

// The common base of the views that show records in cells of items. This base holds the item
// lists, the option objects and content styles, the answers to the data controller, the
// handling of its notifications that the records need and the drawing states. Descendants
// choose the item, record, controller and layout classes.
class TqvCustomGridTableView : public TqvCustomGridView, public IqvFilterControl {
  QJ_CLASS(TqvCustomGridTableView, TqvCustomGridView)
 public:
  using TqvCustomGridView::TqvCustomGridView;

  // IqvFilterControl over the filterable items.
  String GetCaption(Integer AIndex) override { return GetFilterableItem(AIndex)->GetFilterCaption(); }
  Integer GetCount() override { return GetFilterableItemCount(); }
  TqvFilterCriteria* GetCriteria() override;
  Integer GetItemLink(Integer AIndex) override { return GetFilterableItem(AIndex)->GetID(); }
  String GetFieldName(Integer) override { return String(); }
  TqvCustomEditProperties* GetProperties(Integer AIndex) override { return GetFilterableItem(AIndex)->GetProperties(); }
  TqvValueTypeClass GetValueTypeClass(Integer AIndex) override;

  // Items leave first (each through RemoveItem).
  void BeforeDestruction() override;
  // Data, layout, focused-record and updated-record notifications.
  void UpdateControl(TqvUpdateControlInfo* AInfo) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // In slot order (after the inherited ones).
  // The view info may move its records by ARecordCountDelta; False while the grid is locked.
  virtual bool CanOffset(Integer ARecordCountDelta);
  // OnCanSelectRecord with the record of the row (nullptr outside the rows).
  virtual bool DoCanSelectRecord(Integer ARowIndex);
  // The item's cell editor would open; not handled here.
  virtual void FocusItemControl(Integer AItemIndex, bool& ADone);
  // The first visible child level of the view's level; -1 when none.
  virtual Integer GetDefaultActiveDetailIndex();
  virtual bool IsEqualHeightRecords() { return true; }
  // The view laid out again for a new top record.
  virtual void Offset(Integer ARecordCountDelta, Integer AShiftX, Integer AShiftY);
  // The open cell editor's value is written; none is open here.
  virtual void UpdateEditorsData() {}
  // A new ID, the data controller's field, the view set, visible.
  virtual void AddItem(TqvCustomGridTableItem* AItem);
  virtual void RemoveItem(TqvCustomGridTableItem* AItem);
  // ANewIndex clamped to the items.
  virtual void ChangeItemIndex(TqvCustomGridTableItem* AItem, Integer ANewIndex);
  virtual void ItemVisibilityChanged(TqvCustomGridTableItem* AItem, bool AVisible);
  virtual void RefreshVisibleItemsList();
  virtual TqvCustomGridTableItemClass GetItemClass() const = 0;
  virtual TqvGridItemDataBindingClass GetItemDataBindingClass();
  virtual TqvCustomGridOptionsClass GetFilteringClass() const;
  virtual TqvCustomGridOptionsClass GetOptionsBehaviorClass() const;
  virtual TqvCustomGridOptionsClass GetOptionsCustomizeClass() const;
  virtual TqvCustomGridOptionsClass GetOptionsDataClass() const;
  virtual TqvSummaryItemClass GetSummaryItemClass() const { return nullptr; }
  virtual TqvSummaryItemClass GetSummaryGroupItemLinkClass() const { return nullptr; }
  // The item's display-text event.
  virtual void GetDisplayText(Integer ARecordIndex, Integer AItemIndex, String& AText);
  // The item refreshes its editor properties.
  virtual void ItemValueTypeClassChanged(Integer AItemIndex);
  // The records were rebuilt: the layout cache and the view data follow the rows.
  virtual void RecordCountChanged();

  // -- Items
  TqvCustomGridTableItem* CreateItem();
  Integer GetItemCount() const { return static_cast<Integer>(FItems.size()); }
  TqvCustomGridTableItem* GetItem(Integer AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
  Integer IndexOfItem(TqvCustomGridTableItem* AItem) const;
  Integer GetVisibleItemCount() const { return static_cast<Integer>(FVisibleItems.size()); }
  TqvCustomGridTableItem* GetVisibleItem(Integer AIndex) const { return FVisibleItems.at(static_cast<size_t>(AIndex)); }
  Integer GetFilterableItemCount() const { return static_cast<Integer>(FFilterableItems.size()); }
  TqvCustomGridTableItem* GetFilterableItem(Integer AIndex) const {
    return FFilterableItems.at(static_cast<size_t>(AIndex));
  }
  TqvCustomGridTableItem* FindItemByID(Integer AID) const;
  void RefreshFilterableItemsList();
  // Frees every item, the last first, and starts the IDs again at 0.
  void ClearItems();
  // ApplyBestFit of AItem, or of every visible item.
  void ApplyBestFit(TqvCustomGridTableItem* AItem = nullptr);

  // -- Hooks of the data controller
  // The properties format the value when they work with values (edit value source 0).
  bool GetPropertiesDisplayText(Integer ARecordIndex, Integer AItemIndex, String& AText);
  bool IsItemSortByDisplayText(Integer AItemIndex);
  Integer GetItemValueSource(Integer AItemIndex);

  // -- Drawing states
  bool DrawRecordFocused(TqvCustomGridRecord* ARecord);
  bool DrawRecordActive(TqvCustomGridRecord* ARecord);
  bool DrawRecordSelected(TqvCustomGridRecord* ARecord);
  // AUseViewInfo is for cached states of laid-out records; the records read them live here.
  bool DrawDataCellSelected(TqvCustomGridRecord* ARecord, TqvCustomGridTableItem* AItem,
                            TqvCustomGridCellViewInfo* ACellViewInfo, bool AUseViewInfo);

  // -- Events
  void DoFocusedItemChanged(TqvCustomGridTableItem* APrevItem, TqvCustomGridTableItem* AItem);
  void DoTopRecordIndexChanged();
  bool HasCustomDrawCell() const { return static_cast<bool>(OnCustomDrawCell); }
  void DoCustomDrawCell(TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo, bool& ADone);
  // The view's navigators follow its state; nothing is attached at this level.
  void RefreshNavigators() {}

  // -- Parts
  TqvGridDataController* GetDataController() const;
  TqvCustomGridTableController* GetController() const;
  TqvCustomGridTableViewData* GetViewData() const;
  TqvCustomGridTableViewInfo* GetViewInfo() const;
  TqvCustomGridTableFiltering* GetFiltering() const { return FFiltering.get(); }
  TqvCustomGridTableOptionsBehavior* GetOptionsBehavior() const { return FOptionsBehavior.get(); }
  TqvCustomGridTableOptionsCustomize* GetOptionsCustomize() const { return FOptionsCustomize.get(); }
  TqvCustomGridTableOptionsData* GetOptionsData() const { return FOptionsData.get(); }
  TqvCustomGridTableOptionsSelection* GetOptionsSelection() const;
  TqvCustomGridTableOptionsView* GetOptionsView() const;
  TqvCustomGridTableViewStyles* GetStyles() const;
  TqvCustomGridTableBackgroundBitmaps* GetBackgroundBitmaps() const;
  // The record of the master view that owns this detail view; nullptr when none.
  TqvCustomGridRecord* GetMasterRecord() const;

  TqvGridCanSelectRecordEvent OnCanSelectRecord;
  TqvGridViewCustomDrawCellEvent OnCustomDrawCell;
  TNotifyEvent OnFilterControlDialogShow;
  TqvGridFocusedItemChangedEvent OnFocusedItemChanged;
  TqvGridFocusedRecordChangedEvent OnFocusedRecordChanged;
  TNotifyEvent OnTopRecordIndexChanged;

 protected:
  // MultiSelect starts off.
  void ConnectDataController() override;
  void CreateOptions() override;
  void DestroyOptions() override;
  TqvCustomDataControllerClass GetDataControllerClass() const override;
  TqvGridViewHandlerClass GetViewDataClass() const override = 0;
  TqvCustomGridOptionsClass GetBackgroundBitmapsClass() const override;
  TqvCustomGridOptionsClass GetOptionsSelectionClass() const override;
  TqvCustomGridOptionsClass GetOptionsViewClass() const override;
  TqvCustomStylesClass GetStylesClass() const override;

  virtual void DataChanged();
  virtual void DataLayoutChanged();
  virtual void FocusedRecordChanged(Integer APrevRowIndex, Integer ARowIndex, bool ANewItemRecordFocusingChanged);
  virtual void RecordUpdated(Integer ARecordIndex);

 private:
  void RefreshItemIndexes();
  Integer GetNextItemID() { return FNextItemID++; }
  void ReleaseItemID(Integer AID);
  TqvCustomGridRecord* RecordOfRow(Integer ARowIndex);

  std::vector<TqvCustomGridTableItem*> FItems;
  std::vector<TqvCustomGridTableItem*> FVisibleItems;
  std::vector<TqvCustomGridTableItem*> FFilterableItems;
  Integer FNextItemID = 0;
  TOwned<TqvCustomGridTableFiltering> FFiltering;
  TOwned<TqvCustomGridTableOptionsBehavior> FOptionsBehavior;
  TOwned<TqvCustomGridTableOptionsCustomize> FOptionsCustomize;
  TOwned<TqvCustomGridTableOptionsData> FOptionsData;
};
