// The lookup grid: a small grid control of its own (not the data grid) that lists the records of
// its data controller in columns, with an optional header, grid lines and one focused row. Every
// cell is drawn by the editor view info of its column's editor properties. The lookup combo box
// shows it in its drop-down in popup mode: the focus follows the mouse, and the grid reports the
// chosen row through the handlers its owner sets.
//
// Where the parts live: qvLookupGrid.cpp (columns, options, the data controller and the layout),
// qvLookupGridController.cpp (notifications, scrolling, keys, mouse and the chosen row),
// qvLookupGridPainter.cpp (painting).
#pragma once

#include <vector>

#include "core/qvData.h"
#include "dataaware/qvLookupEdit.h"
#include "grid/qvGridCommon.h"
#include "lookandfeel/qvControls.h"
#include "platform/rtl/Collection.h"

class TqvCustomLookupGrid;
class TqvLookupGridColumn;
class TqvLookupGridViewInfo;
class TqvLookupGridPainter;
class TTimer;

// The grid's handlers of the chosen row and of the close-up.
using TqvLookupGridCloseUpEvent = TqvLookupListCloseUpEvent;

// Pending-change bits of the grid.
constexpr Byte qvLookupGridLayoutChanged = 1;

// R with each side moved inwards by AInset pixels.
inline TRect ShrinkRect(const TRect& R, Integer AInset) {
  return TRect{R.Left + AInset, R.Top + AInset, R.Right - AInset, R.Bottom - AInset};
}

enum class TqvLookupGridAutoScroll : Byte { None, Up, Down };
enum class TqvLookupGridHitKind { None, Header, Row };

struct TqvLookupGridHitInfo {
  TqvLookupGridHitKind Kind = TqvLookupGridHitKind::None;
  Integer RowIndex = -1;
  Integer ColumnIndex = -1;
};

// ---------------------------------------------------------------------------------------------
// Columns

// A column's defaults: whether its data controller keeps display texts for it.
class TqvLookupGridDefaultValuesProvider : public TqvCustomEditDefaultValuesProvider {
  QJ_CLASS(TqvLookupGridDefaultValuesProvider, TqvCustomEditDefaultValuesProvider)
 public:
  using TqvCustomEditDefaultValuesProvider::TqvCustomEditDefaultValuesProvider;
  bool IsDisplayFormatDefined(bool AIsEditing) override;
};

class TqvLookupGridColumn : public TCollectionItem, public IqvEditRepositoryItemListener {
  QJ_CLASS(TqvLookupGridColumn, TCollectionItem)
 public:
  explicit TqvLookupGridColumn(TCollection* ACollection);
  ~TqvLookupGridColumn() override;
  // Joins the grid's data controller (after the collection took the item).
  void AfterConstruction() override;
  // Leaves the data controller and its repository item.
  void BeforeDestruction() override;
  // Another column's settings; caption and width only where assigned there.
  void Assign(TPersistent* Source) override;
  // The data controller renumbers its fields.
  void SetIndex(Integer Value) override;

  TqvCustomLookupGrid* GetGrid() const;

  // -- Virtual operations of the column
  virtual void CheckWidthValue(Integer& AWidth) const;
  virtual TqvCustomEditDefaultValuesProvider* CreateDefaultValuesProvider();
  virtual TqvValueTypeClass GetValueTypeClass() const;
  virtual void SetValueTypeClass(TqvValueTypeClass AValue);
  virtual String GetDefaultCaption() const { return String(); }
  virtual TqvEditRepositoryItem* GetRegisteredRepositoryItem() const;
  virtual Integer GetDefaultWidth() const { return 64; }
  // The grid's content font; nullptr without a grid.
  virtual TFont* GetFont() const;
  virtual TqvEditRepositoryItem* GetDefaultRepositoryItem() const;
  virtual TqvEditRepositoryItem* GetActualRepositoryItem() const;
  virtual bool IsFirst() const { return GetIndex() == 0; }
  virtual bool IsLast() const;
  virtual void RestoreDefaults();

  TqvCustomEditProperties* GetProperties() const { return GetActualRepositoryItem()->GetProperties(); }
  TqvCustomEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider.get(); }

  // -- Settings
  String GetCaption() const { return FCaptionAssigned ? FCaption : GetDefaultCaption(); }
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return FCaptionAssigned; }
  bool GetFixed() const { return FFixed; }
  void SetFixed(bool Value);
  TAlignment GetHeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment Value);
  Integer GetMinWidth() const { return FMinWidth; }
  // Negative is 0; the width is raised to it.
  void SetMinWidth(Integer Value);
  bool GetSorting() const { return FSorting; }
  void SetSorting(bool Value);
  TqvDataSortOrder GetSortOrder() const;
  void SetSortOrder(TqvDataSortOrder Value);
  TqvEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TqvEditRepositoryItem* Value);
  Integer GetWidth() const;
  // Raised to MinWidth and marked assigned.
  void SetWidth(Integer Value);
  bool IsWidthStored() const { return FWidthAssigned; }

  // -- The repository item's listener
  void ItemRemoved(TqvEditRepositoryItem* Sender) override;
  void PropertiesChanged(TqvEditRepositoryItem* Sender) override;

 protected:
  TqvCustomDataController* GetDataController() const;
  void ColumnChanged() { Changed(false); }

 private:
  String FCaption;
  bool FCaptionAssigned = false;
  TAlignment FHeaderAlignment = taLeftJustify;
  Integer FMinWidth = 20;
  Integer FWidth = 64;
  bool FWidthAssigned = false;
  bool FFixed = false;
  bool FSorting = true;
  TqvEditRepositoryItem* FRepositoryItem = nullptr;
  TOwned<TqvCustomEditDefaultValuesProvider> FDefaultValuesProvider;
  mutable TOwned<TqvEditRepositoryItem> FInternalDefaultRepositoryItem;
};

class TqvLookupGridColumns : public TCollection {
  QJ_CLASS(TqvLookupGridColumns, TCollection)
 public:
  TqvLookupGridColumns(TqvCustomLookupGrid* AGrid, TCollectionItemClass AColumnClass);
  TPersistent* GetOwner() override;
  TqvCustomLookupGrid* GetGrid() const { return FGrid; }
  TqvLookupGridColumn* Add() { return static_cast<TqvLookupGridColumn*>(TCollection::Add()); }
  TqvLookupGridColumn* GetItem(Integer AIndex) const {
    return static_cast<TqvLookupGridColumn*>(TCollection::GetItem(AIndex));
  }
  virtual void RestoreDefaults();

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TqvCustomLookupGrid* FGrid;
};

// ---------------------------------------------------------------------------------------------
// Data controller and options

// The items of the grid's data controller are its columns, in collection order.
class TqvLookupGridDataController : public TqvDataController {
  QJ_CLASS(TqvLookupGridDataController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  TObject* GetItem(Integer AIndex) const override;
};

class TqvLookupGridOptions : public TPersistent {
  QJ_CLASS(TqvLookupGridOptions, TPersistent)
 public:
  explicit TqvLookupGridOptions(TqvCustomLookupGrid* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;

  // The grid's Changed, then OnChanged.
  virtual void Changed();

  // Kept in the grid's data controller; False (and not settable) without a grid.
  bool GetAnsiSort() const { return GetControllerOption(dcoAnsiSort); }
  void SetAnsiSort(bool Value) { SetControllerOption(dcoAnsiSort, Value); }
  bool GetCaseInsensitive() const { return GetControllerOption(dcoCaseInsensitive); }
  void SetCaseInsensitive(bool Value) { SetControllerOption(dcoCaseInsensitive, Value); }
  bool GetColumnSorting() const { return FColumnSorting; }
  void SetColumnSorting(bool Value) { FColumnSorting = Value; }
  TqvGridLines GetGridLines() const { return FGridLines; }
  void SetGridLines(TqvGridLines Value);
  bool GetRowSelect() const { return FRowSelect; }
  // Switched on, no column keeps the focus.
  void SetRowSelect(bool Value);
  bool GetShowHeader() const { return FShowHeader; }
  void SetShowHeader(bool Value);
  TqvCustomLookupGrid* GetGrid() const { return FGrid; }

  TNotifyEvent OnChanged;

 private:
  bool GetControllerOption(TqvDataControllerOption AOption) const;
  void SetControllerOption(TqvDataControllerOption AOption, bool AValue);

  bool FColumnSorting = true;
  TqvCustomLookupGrid* FGrid;
  TqvGridLines FGridLines = glBoth;
  bool FRowSelect = true;
  bool FShowHeader = true;
};

// ---------------------------------------------------------------------------------------------
// Layout

struct TqvLookupGridColumnViewInfo {
  TRect Bounds;
  TRect ContentBounds;
  TOwned<TqvCustomEditStyle> Style;
  TOwned<TqvCustomEditViewData> ViewData;  // only while a cell is calculated
  TAlignment HeaderAlignment = taLeftJustify;
  TqvBorders HeaderBorders = 0;
  TqvBorders HeaderNeighbors = 0;
  TqvDataSortOrder SortOrder = soNone;
  String Text;
};

struct TqvLookupGridCellViewInfo {
  TRect Bounds;
  TRect ContentBounds;
  TOwned<TqvCustomEditViewInfo> EditViewInfo;
  TqvBorders Borders = 0;
  Integer ColumnIndex = -1;
  bool Focused = false;
};

struct TqvLookupGridRowViewInfo {
  std::vector<TqvLookupGridCellViewInfo> Cells;
  TqvBorders Borders = 0;
  TRect Bounds;
  TRect ContentBounds;
  bool Focused = false;
  Integer RecordIndex = -1;
  Integer RowIndex = -1;
};

enum class TqvLookupGridTopRowSearch : Byte { None, Forward, Backward };

class TqvLookupGridViewInfo : public TObject {
  QJ_CLASS(TqvLookupGridViewInfo, TObject)
 public:
  explicit TqvLookupGridViewInfo(TqvCustomLookupGrid* AGrid) : FGrid(AGrid) {}

  // -- Virtual operations of the layout
  virtual Integer GetHeaderHeight();
  virtual void Calculate();
  virtual void CalculateColumns();
  virtual void CalculateEmptyAreas();
  virtual void CalculateHeaders();
  virtual void CalculateRows();
  virtual void CalculateRow(Integer ARowIndex, Integer& Y);
  // The cells of a laid-out row again (colours, values).
  virtual void CalculateCells(TqvLookupGridRowViewInfo& ARow);
  virtual void InitColumnStyle(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn);
  virtual void CreateColumnViewData(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn);
  virtual void FreeColumnViewData(TqvLookupGridColumnViewInfo& AInfo, TqvLookupGridColumn* AColumn);
  virtual TColor GetContentColor() const;
  virtual TFont* GetContentFont() const;
  virtual TColor GetContentTextColor() const;
  virtual TColor GetGridLineColor() const { return clBtnFace; }
  virtual Integer GetGridLineWidth() const { return 1; }
  virtual TColor GetHeaderColor() const { return clBtnFace; }
  virtual TFont* GetHeaderFont() const;
  virtual TColor GetSelectionColor() const;
  virtual TColor GetSelectionTextColor() const;

  // The top row that shows as many rows as possible from AIndex on.
  Integer ValidateTopRowIndex(Integer AIndex);
  TqvCanvas* GetCanvas() const;
  Integer GetTopRowIndex() const;
  // Never below 1: an empty layout (no columns, no horizontal lines) divides safely.
  Integer GetRowHeight() const;
  Integer GetRowCount() const;

  TqvCustomLookupGrid* GetGrid() const { return FGrid; }
  Integer GetBorderSize() const { return FBorderSize; }
  const TRect& GetHeaderArea() const { return FHeaderArea; }
  const TRect& GetRowsArea() const { return FRowsArea; }
  const TRect& GetVisibleRowsArea() const { return FVisibleRowsArea; }
  const TRect& GetEmptyAreaBottom() const { return FEmptyAreaBottom; }
  const TRect& GetEmptyAreaRight() const { return FEmptyAreaRight; }
  Integer GetPartVisibleCount() const { return FPartVisibleCount; }
  Integer GetVisibleCount() const { return FVisibleCount; }
  Integer GetColumnCount() const { return static_cast<Integer>(FColumns.size()); }
  const TqvLookupGridColumnViewInfo& GetColumn(Integer AIndex) const { return FColumns[size_t(AIndex)]; }
  Integer GetRowViewCount() const { return static_cast<Integer>(FRows.size()); }
  TqvLookupGridRowViewInfo& GetRow(Integer AIndex) { return FRows[size_t(AIndex)]; }
  // The laid-out row of a row index, nullptr when it is not laid out.
  TqvLookupGridRowViewInfo* FindRow(Integer ARowIndex);

 private:
  void CalculateRowMinHeight();

  std::vector<TqvLookupGridColumnViewInfo> FColumns;
  TqvCustomLookupGrid* FGrid;
  Integer FInternalTopRowIndex = 0;
  TqvLookupGridTopRowSearch FSearch = TqvLookupGridTopRowSearch::None;
  Integer FRowMinHeight = 0;
  std::vector<TqvLookupGridRowViewInfo> FRows;
  Integer FBorderSize = 0;
  TRect FHeaderArea, FEmptyAreaBottom, FEmptyAreaRight;
  Integer FPartVisibleCount = 0;
  Integer FVisibleCount = 0;
  TRect FRowsArea, FVisibleRowsArea;
};

// ---------------------------------------------------------------------------------------------
// Painter

class TqvLookupGridPainter : public TObject {
  QJ_CLASS(TqvLookupGridPainter, TObject)
 public:
  explicit TqvLookupGridPainter(TqvCustomLookupGrid* AGrid) : FGrid(AGrid) {}
  void Paint();
  void Invalidate();
  TqvCanvas* GetCanvas() const;

  virtual void DrawBorder();
  virtual void DrawCell(TqvLookupGridCellViewInfo& ACell);
  virtual void DrawContent();
  virtual void DrawEmptyAreas();
  virtual void DrawHeaders();
  virtual void DrawRow(TqvLookupGridRowViewInfo& ARow);
  virtual void DrawRows();

 private:
  TqvLookupGridViewInfo* ViewInfo() const;
  TqvCustomLookupGrid* FGrid;
};

// ---------------------------------------------------------------------------------------------
// The grid

class TqvCustomLookupGrid : public TqvControl {
  QJ_CLASS(TqvCustomLookupGrid, TqvControl)
 public:
  explicit TqvCustomLookupGrid(TComponent* AOwner);
  ~TqvCustomLookupGrid() override;
  // Columns, options, painter, view info and data controller of the most derived classes.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // -- Virtual operations of the grid
  virtual void ColumnAdded(TqvLookupGridColumn* AColumn);
  virtual void Changed(Byte AChanges);
  virtual TCollectionItemClass GetColumnClass() const { return &TqvLookupGridColumn::StaticClass(); }
  virtual TqvCustomDataController* CreateDataController();
  virtual TqvLookupGridColumns* CreateColumns();
  virtual void RowMouseDown(Integer ARowIndex, Integer AColumnIndex, TShiftState AShift);
  virtual void HeaderClick(Integer AColumnIndex, TShiftState AShift);
  virtual Integer GetScrollBarOffsetBegin() const;
  virtual Integer GetScrollBarOffsetEnd() const;
  // The popup mode flag: the focus follows the mouse.
  virtual bool GetHotTrack() const { return FPopupMode; }
  virtual void ColumnRemoved(TqvLookupGridColumn* AColumn);
  virtual void SetAutoScrollDirection(TqvLookupGridAutoScroll ADirection);
  virtual void InvalidateFocusedRow();
  virtual void InvalidateRow(Integer ARowIndex, bool ARecalculate);
  virtual void Refresh();
  virtual void DataChanged();
  virtual void DataLayoutChanged();
  virtual void DoRowChosen();
  virtual void DoCloseUp(bool AAccept);
  virtual void DoNotification();
  virtual void FocusedRowChanged(Integer APrevRowIndex, Integer AFocusedRowIndex);
  virtual void LayoutChanged();
  virtual void SelectionChanged(TqvSelectionChangedInfo* AInfo);
  virtual void DataControllerNotify(TqvUpdateControlInfo* AInfo);
  virtual void SetFocusedRowSelected(bool AValue);

  void BeginUpdate();
  void EndUpdate();
  bool IsLocked() const { return FLockCount > 0; }
  TqvCustomDataController* GetDataController() const { return FDataController.get(); }
  TqvLookupGridColumns* GetColumns() const { return FColumns.get(); }
  void SetColumns(TqvLookupGridColumns* Value) { FColumns->Assign(Value); }
  TqvLookupGridOptions* GetOptions() const { return FOptions.get(); }
  void SetOptions(TqvLookupGridOptions* Value) { FOptions->Assign(Value); }
  TqvLookupGridViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  TqvLookupGridPainter* GetGridPainter() const { return FPainter.get(); }
  bool GetPopupMode() const { return FPopupMode; }
  void SetPopupMode(bool Value);
  bool GetIgnoreMouseMove() const { return FIgnoreMouseMove; }
  void SetIgnoreMouseMove(bool Value) { FIgnoreMouseMove = Value; }
  bool IsDestroyingGrid() const { return FDestroyingGrid; }
  // The painter class of the grid's look and feel.
  virtual TqvLookAndFeelPainterClass GetLookAndFeelPainter() const { return GetPainter(); }
  TRect GetGridBounds() { return GetBounds(); }
  TRect GetGridClientBounds() { return GetClientBounds(); }
  // 0 in popup mode, else the look and feel's border.
  Integer GetBorderSize() const override;

  Integer GetFocusedRowIndex() const;
  void SetFocusedRowIndex(Integer AValue);
  Integer GetRowCount() const;
  TqvLookupGridColumn* GetFocusedColumn() const { return FFocusedColumn; }
  Integer GetFocusedColumnIndex() const;
  void SetFocusedColumn(TqvLookupGridColumn* AColumn);
  void SetFocusedColumnIndex(Integer AIndex);
  Integer GetTopRowIndex() const { return FTopRowIndex; }
  void SetTopRowIndex(Integer AIndex);

  // -- Drop-down sizing
  // The header's height plus ARows rows.
  Integer GetPopupHeight(Integer ARows);
  // The popup height of whole rows nearest to AHeight: at least one row, at most every row.
  Integer GetNearestPopupHeight(Integer AHeight);
  bool IsMouseOverRow(const TPoint& P);

  // -- Scrolling and focus
  void CheckTopRowIndex(Integer& AIndex);
  void MakeRowVisible(Integer ARowIndex);
  void MakeFocusedRowVisible();
  bool IsRowVisible(Integer ARowIndex);
  void ScrollPageUp();
  void ScrollPageDown();
  void FocusNextRow(bool AForward);
  void FocusPrevPage();
  void FocusNextPage();
  TqvLookupGridHitInfo GetHitInfo(const TPoint& P);
  void AutoScrollTimerTick(TObject* Sender);
  TqvLookupGridAutoScroll GetAutoScrollDirection() const { return FAutoScrollDirection; }

  // The owner's handlers.
  TNotifyEvent RowChosenHandler;
  TqvLookupGridCloseUpEvent CloseUpHandler;
  TNotifyEvent DataChangedHandler;
  TNotifyEvent NotificationHandler;

 protected:
  void Loaded() override;
  void Paint() override;
  void SetScrollBarsParent() override;
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void DoColorChange() override;
  void BoundsChanged() override;
  void FontChanged() override;
  void FocusChanged() override;
  bool AllowMouseDownWithoutFocus() const override { return true; }
  void DoCancelMode() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void SetTopRowIndexCore(Integer AIndex, bool ANoRefresh);
  void FocusColumnAndShow(Integer AIndex);

 private:
  void CheckChanges();
  void FreeDataController();

  Byte FChanges = 0;
  TOwned<TqvLookupGridColumns> FColumns;
  TqvLookupGridColumn* FFocusedColumn = nullptr;
  bool FPopupMode = false;
  Integer FLockCount = 0;
  TOwned<TqvLookupGridOptions> FOptions;
  TOwned<TqvLookupGridPainter> FPainter;
  bool FIgnoreMouseMove = false;
  bool FPressedOnRow = false;
  TqvLookupGridAutoScroll FAutoScrollDirection = TqvLookupGridAutoScroll::None;
  TOwned<TTimer> FAutoScrollTimer;
  Integer FTopRowIndex = 0;
  TOwned<TqvLookupGridViewInfo> FViewInfo;
  TOwned<TqvCustomDataController> FDataController;
  bool FDestroyingGrid = false;
};

class TqvLookupGrid : public TqvCustomLookupGrid {
  QJ_CLASS(TqvLookupGrid, TqvCustomLookupGrid)
 public:
  using TqvCustomLookupGrid::TqvCustomLookupGrid;
};
