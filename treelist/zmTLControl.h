// The tree list with columns and bands: it owns the band collection, lists its column
// components, keeps one string per column in each text node, and answers the data hooks of the
// control core from them. Caches map visible bands to bands and lay out the columns of each band
// in header rows; they are dropped on every change and rebuilt on demand.
//
// Where the parts live:
//   zmTLControl.cpp       columns, header rows, caches, text-node data, the editor pool
//   zmTLControlDraw.cpp   custom-draw events, cells drawn and measured by the editor classes, best fit
//   zmTLControlEvents.cpp the events behind the core's hooks, sorting, copying columns, loading
//   zmTLLayoutStore.cpp   the layout in the registry store or an INI file
#pragma once

#include <algorithm>
#include <vector>

#include "platform/rtl/Scopes.h"
#include "treelist/zmTLBands.h"
#include "treelist/zmTLColumn.h"

class TzmRegIniWrapper;

class TzmTreeListBand;

using TzmTLNodeIndexEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node, Integer& Index)>;
using TzmTLBandCustomDrawEvent =
    std::function<void(TObject* Sender, TzmTreeListBand* ABand, TCanvas* ACanvas, const TRect& ARect, String& AText,
                       TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TzmTLFooterCustomDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode,
                       TzmTreeListColumn* AColumn, String& AText, TColor& AColor, TFont* AFont,
                       TAlignment& AAlignment, bool& ADone)>;
using TzmTLNodeFooterCustomDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode,
                       TzmTreeListColumn* AColumn, Integer AFooterIndex, String& AText, TColor& AColor,
                       TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TzmTLPreviewCustomDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode, bool ASelected,
                       String& AText, TColor& AColor, TColor& ATextColor, TFont* AFont, bool& ADone)>;
using TzmTLCellPreDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode,
                       TzmTreeListColumn* AColumn, const String& AText, TFont* AFont, TColor& AColor,
                       bool ASelected, bool AFocused, bool& ADone)>;
using TzmTLPreviewPreDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode, bool ASelected,
                       const String& AText, bool& ADone)>;
using TzmTLLevelColorEvent = std::function<void(TObject* Sender, Integer ALevel, TColor& AColor)>;
using TzmTLColumnAllowEvent = std::function<void(TObject* Sender, TzmTreeListColumn* Column, bool& Allow)>;
using TzmTLColumnEvent = std::function<void(TObject* Sender, TzmTreeListColumn* Column)>;
using TzmTLColumnSortStateEvent =
    std::function<void(TObject* Sender, TzmTreeListColumn* Column, TzmTreeListColumnSort& Sorted)>;
using TzmTLBandAllowEvent = std::function<void(TObject* Sender, TzmTreeListBand* Band, bool& Allow)>;
using TzmTLBandEvent = std::function<void(TObject* Sender, TzmTreeListBand* Band)>;
using TzmTLBandDragOverEvent =
    std::function<void(TObject* Sender, TzmTreeListBand* Band, TPoint Point, bool& Accept)>;
using TzmTLBandDragEndedEvent =
    std::function<void(TObject* Sender, TzmTreeListBand* Band, TPoint Point, Integer VisibleBand, bool Pressed,
                       Integer& Target, bool& Accept)>;
using TzmTLBandShownEvent = std::function<void(TObject* Sender, TzmTreeListBand* Band, Integer VisibleIndex)>;
using TzmTLHeaderDragOverEvent =
    std::function<void(TObject* Sender, TzmTreeListColumn* Column, TPoint Point, bool& Accept)>;
using TzmTLHeaderDragEndedEvent = std::function<void(TObject* Sender, TzmTreeListColumn* Column, TPoint Point,
                                                     TzmTreeListDropPosition& Target, bool& Accept)>;
using TzmTLHeaderShownEvent = std::function<void(TObject* Sender, TzmTreeListColumn* Column, Integer VisibleBand,
                                                 Integer Row, Integer Position)>;
using TzmTLColumnReorderedEvent = std::function<void(TObject* Sender, Integer OldPosition, Integer NewPosition)>;
using TzmTLColumnDragFinishedEvent =
    std::function<void(TObject* Sender, Integer X, Integer Y, TzmTreeListColumn* Column, Integer& Position)>;
// Lets the application measure a cell: Height and Lines of Text in a cell Width wide (at most
// MaxLines unless it is -1); Done skips the editor class's measuring.
using TzmTLRowLineHeightEvent =
    std::function<void(TObject* Sender, TzmTreeListNode* Node, TzmTreeListColumn* Column, const String& Text,
                       Integer Width, Integer MaxLines, Integer& Height, Integer& Lines, bool& Done)>;
using TzmTLNodeDragTextEvent =
    std::function<void(TObject* Sender, TzmTreeListNode* Node, TzmTreeListColumn* Column, String& Text)>;
using TzmTLFooterCellExistsEvent =
    std::function<void(TObject* Sender, TzmTreeListColumn* Column, bool& Exists)>;

class TCustomzmTreeListControl : public TCustomzmTreeList {
  QJ_CLASS(TCustomzmTreeListControl, TCustomzmTreeList)
  friend class TzmTreeListColumn;
  friend class TzmTreeListBand;
  friend class TzmTreeListBands;

 public:
  explicit TCustomzmTreeListControl(TComponent* AOwner);
  ~TCustomzmTreeListControl() override;
  // The nodes go first, then the columns.
  void BeforeDestruction() override;

  // Columns
  // A new column of ColumnClass owned by AOwner, named after the control ("<Name>Column<n>",
  // the first free n from the column count + 1) and added.
  // A clash with another component's name moves on to the next number (a bounded number of
  // times); any other refusal of the name raises and frees the column.
  TzmTreeListColumn* CreateColumn(TzmTreeListColumnClass ColumnClass, TComponent* AOwner);
  // Replaces the columns by copies of Source's (same classes, settings and names). The copies
  // are made and checked first: when one cannot be made the columns stay as they were. A name
  // that another component of the owner holds gets the next free name of the control.
  void AssignColumns(TCustomzmTreeListControl* Source);
  Integer ColumnCount() const { return static_cast<Integer>(FColumnList.size()); }
  // nullptr out of range.
  TzmTreeListColumn* ColumnAt(Integer Index) const;
  Integer IndexOfColumn(const TzmTreeListColumn* Column) const;
  // Frees every column, the last first.
  void DestroyColumns();
  virtual void ColumnsChanged(TzmTreeListColumn* Column);
  virtual void RemoveColumn(TzmTreeListColumn* Column);
  // Moves every node's string at From to To (padding short string lists first), in the tree and
  // in the hidden nodes.
  virtual void MoveColumnStrings(Integer From, Integer To);

  // Sorted columns
  Integer SortedColumnCount() const { return static_cast<Integer>(FSortedColumns.size()); }
  TzmTreeListColumn* SortedColumnAt(Integer Index) const;
  Integer IndexOfSortedColumn(const TzmTreeListColumn* Column) const;
  virtual void AddSortedColumn(TzmTreeListColumn* Column);
  virtual void RemoveSortedColumn(TzmTreeListColumn* Column);
  virtual void ColumnSortedChanged(TzmTreeListColumn* Column);
  // Every sorted column in column order, then ordered by their SortedOrder.
  void RebuildSortedColumns();
  void BeginSorting() { ++FSortingLockCount; }
  // The outermost end re-sorts the nodes by the sorted columns.
  void EndSorting();
  // A header click's sort: csNone with the reset request, else csDown after csUp and csUp
  // otherwise; without a multi-sort request the other columns lose their sort.
  virtual void ToggleColumnSort(TzmTreeListColumn* Column);
  virtual bool CanSortColumn(TzmTreeListColumn* Column);
  // Sorts every children list by the sorted columns (nothing without one).
  virtual void RefreshSorting();

  // Best fit: the widest text of the column (nil: every column) over all nodes, expanded or
  // not, and its caption.
  virtual void ApplyBestFit(TzmTreeListColumn* Column);
  // Shown, in the first visible band, first in its row.
  bool IsTreeColumn(TzmTreeListColumn* Column);
  // Best fit of every column of a band, or of one column; then OnColumnsWidthChanged.
  void BestFitBand(Integer VisibleBand) override;
  void BestFitColumn(Integer Column) override;
  // The base's text, then OnNodeDragText.
  void GetNodeDragText(TzmTreeListNode* Node, Integer Column, String& Text) override;

  // Layout storage (zmTLLayoutStore.cpp). Store is a TRegIniFile, TIniFile or TMemIniFile.
  void WriteLayout(TObject* Store, const String& Path) override;
  void ReadLayout(TObject* Store, const String& Path) override;
  const String& GetLayoutRegistryKey() const { return FLayoutRegistryKey; }
  void SetLayoutRegistryKey(const String& Value) { FLayoutRegistryKey = Value; }
  const String& GetLayoutIniFile() const { return FLayoutIniFile; }
  void SetLayoutIniFile(const String& Value) { FLayoutIniFile = Value; }
  void Loaded() override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  bool GetStoresAllColumns() const { return FStoresAllColumns; }
  void SetStoresAllColumns(bool Value) { FStoresAllColumns = Value; }

  // Bands and header rows
  TzmTreeListBands* GetBands() const { return FBands.get(); }
  void SetBands(TzmTreeListBands* Value) { FBands->Assign(Value); }
  Integer GetBandMaxRowCount() override { return FBandMaxRowCount; }
  void SetBandMaxRowCount(Integer Value);
  Integer GetBandRowCount() override { return FBandRowCount; }
  void SetBandRowCount(Integer Value) override;
  Integer GetHeaderPanelMaxRowCount() override { return FHeaderPanelMaxRowCount; }
  void SetHeaderPanelMaxRowCount(Integer Value);
  Integer GetHeaderPanelRowCount() override { return FHeaderPanelRowCount; }
  void SetHeaderPanelRowCount(Integer Value) override;
  Integer GetHeaderMinRowCount() override { return std::max(FHeaderMinRowCount, inherited::GetHeaderMinRowCount()); }
  void SetHeaderMinRowCount(Integer Value);
  bool GetDefaultLayout() const { return FDefaultLayout; }
  // True puts one visible band with every column in it and one header row back.
  void SetDefaultLayout(bool Value);
  virtual void RestoreDefaultLayout();
  // Closes gaps between used header rows and keeps every column's row inside its band's rows.
  virtual void RefreshRowIndexes();
  virtual void ClearAutoHeaderPanelRowCount();

  TzmTLNodeIndexEvent OnNodeImageIndex;
  TzmTLNodeIndexEvent OnNodeSelectedImageIndex;
  TzmTLNodeIndexEvent OnNodeStateImageIndex;
  TzmTLBandCustomDrawEvent OnBandCustomDraw;
  TzmTLCustomDrawHeader OnHeaderCustomDraw;
  TzmTLCustomDrawCell OnCellCustomDraw;
  TzmTLNodeFooterCustomDrawEvent OnNodeFooterCustomDraw;
  TzmTLFooterCustomDrawEvent OnFooterCustomDraw;
  TzmTLPreviewCustomDrawEvent OnPreviewCustomDraw;
  TzmTLLevelColorEvent OnLevelColor;
  TzmTLFooterCellExistsEvent OnFooterCellExists;
  TNotifyEvent OnColumnsWidthChanged;
  TzmTLBandAllowEvent OnBandDragAllowed;
  TzmTLBandEvent OnBandDragStarted;
  TzmTLBandDragOverEvent OnBandDragOver;
  TzmTLBandDragEndedEvent OnBandDragEnded;
  TzmTLBandShownEvent OnBandShown;
  TzmTLBandEvent OnBandHidden;
  TzmTLBandEvent OnBandClicked;
  TzmTLColumnAllowEvent OnHeaderDragAllowed;
  TzmTLColumnEvent OnHeaderDragStarted;
  TzmTLHeaderDragOverEvent OnHeaderDragOver;
  TzmTLHeaderDragEndedEvent OnHeaderDragEnded;
  TzmTLHeaderShownEvent OnHeaderShown;
  TzmTLColumnEvent OnHeaderHidden;
  TzmTLColumnEvent OnColumnClicked;
  TNotifyEvent OnBandButtonClicked;
  TNotifyEvent OnHeaderButtonClicked;
  TzmTLColumnAllowEvent OnColumnSortRequest;
  TzmTLColumnSortStateEvent OnColumnSortState;
  TzmTLColumnEvent OnHeaderPlaced;
  TzmTLColumnReorderedEvent OnColumnReordered;
  TzmTLCellPreDrawEvent OnCellPreDraw;
  TzmTLPreviewPreDrawEvent OnPreviewPreDraw;
  TzmTLColumnDragFinishedEvent OnColumnDragFinished;
  TzmTLRowLineHeightEvent OnRowLineHeight;
  TzmTLNodeDragTextEvent OnNodeDragText;

 protected:
  // Data of text nodes
  TzmTreeListNode* CreateNode() override;
  Integer GetNodeImageIndex(TzmTreeListNode* Node) override;
  Integer GetNodeSelectedIndex(TzmTreeListNode* Node) override;
  Integer GetNodeStateIndex(TzmTreeListNode* Node) override;
  void SetNodeImageIndex(TzmTreeListNode* Node, Integer Value) override;
  void SetNodeSelectedIndex(TzmTreeListNode* Node, Integer Value) override;
  void SetNodeStateIndex(TzmTreeListNode* Node, Integer Value) override;
  void GetNodeString(TzmTreeListNode* Node, Integer Column, String& Text) override;
  void GetNodeVariant(TzmTreeListNode* Node, Integer Column, Variant& Value) override;
  void SetNodeString(TzmTreeListNode* Node, Integer Column, const String& Text) override;
  void SetNodeVariant(TzmTreeListNode* Node, Integer Column, const Variant& Value) override;

  // Bands
  TAlignment GetBandAlignment(Integer BandIndex) override;
  Integer GetBandCount() override { return FBands->GetCount(); }
  Integer GetBandAbsoluteIndex(Integer VisibleIndex) override { return FBands->GetAbsoluteIndex(VisibleIndex); }
  void GetBandCaption(Integer BandIndex, String& Text) override;
  Integer GetBandWidth(Integer BandIndex) override;
  TAlignment GetVisibleBandAlignment(Integer VisibleIndex) override;
  void GetVisibleBandCaption(Integer VisibleIndex, String& Text) override;
  Integer GetVisibleBandWidth(Integer VisibleIndex) override;
  Integer GetVisibleBandMinWidth(Integer VisibleIndex) override;
  Integer GetVisibleBandCount() override { return FBands->VisibleCount(); }
  Integer GetLeftFixedBandIndex() override;
  Integer GetRightFixedBandIndex() override;
  Integer GetBandVisibleIndex(Integer BandIndex) override { return FBands->GetVisibleIndexOf(BandIndex); }
  bool IsBandOnlyOwnColumns(Integer VisibleIndex) override;
  bool CanSizeBand(Integer VisibleIndex) override;
  void SetVisibleBandWidth(Integer VisibleIndex, Integer Width) override;

  // Columns
  Integer GetColumnCount() override { return ColumnCount(); }
  Integer GetHeaderColumnIndex(Integer VisibleBand, Integer Row, Integer Col) override;
  Integer GetHeaderColCount(Integer VisibleBand, Integer Row) override;
  Integer GetHeaderRowCount(Integer VisibleBand) override;
  TAlignment GetColumnHeaderAlignment(Integer Column) override;
  Integer GetColumnBandIndex(Integer Column) override;
  Integer GetColumnColIndex(Integer Column) override;
  Integer GetColumnRowIndex(Integer Column) override;
  TBitmap* GetColumnHeaderGlyph(Integer Column) override;
  Integer GetColumnHeaderMaxLineCount(Integer Column) override;
  bool GetColumnTabStop(Integer Column) override;
  void GetColumnCaption(Integer Column, String& Text) override;
  void GetColumnHeaderCaption(Integer Column, String& Text) override;
  Integer GetColumnWidth(Integer Column) override;
  TColor GetColumnColor(Integer Column) override;
  TFont* GetColumnFont(Integer Column) override;
  TAlignment GetCellAlignment(TzmTreeListNode* Node, Integer Column) override;
  Byte GetHeaderButtonState(Integer Column) override;
  Integer GetColumnMinWidth(Integer Column) override;
  TzmTreeListColumnSort GetColumnSorted(Integer Column) override;
  bool IsColumnFontAssigned(Integer Column) override;
  bool HasColumnHeaderGlyph(Integer Column) override;
  void GetCellText(TzmTreeListNode* Node, Integer Column, String& Text) override { GetNodeString(Node, Column, Text); }
  Integer GetColumnExtraHeight(Integer Column) override;
  Integer GetColumnLineHeight(TCanvas* Canvas, Integer Column) override;
  bool CanSizeColumn(Integer Column) override;
  void SetColumnWidth(Integer Column, Integer Width) override;
  bool IsColumnShown(Integer Column) override;
  bool UsesDefaultLayout() override { return FDefaultLayout || inherited::UsesDefaultLayout(); }
  void UpdateHeaderPanelRowCount() override;

  // Layout
  Integer GetSortedColumnCount() override { return SortedColumnCount(); }
  Integer GetSortedColumn(Integer Index) override;
  bool IsSortedColumnDescending(Integer Index) override;
  bool CanDragBand(Integer VisibleBand) override;
  bool CanDragColumn(Integer Column) override;
  void MoveBand(Integer From, Integer To) override;
  void HideBand(Integer VisibleBand) override;
  void ShowBand(Integer At, Integer Band) override;
  void MoveHeader(Integer Column, Integer VisibleBand, Integer Row, Integer Col) override;
  void HideHeader(Integer Column) override;
  void ShowHeader(Integer VisibleBand, Integer Row, Integer Col, Integer Column) override;
  bool IsBandCustomizingDisabled(Integer VisibleBand) override;
  bool IsColumnCustomizingDisabled(Integer Column) override;

  void BandsChanged() override;
  void RebuildVisibleNodes() override;
  void RebuildBandLists() override;
  // Drops the band and header caches.
  void ClearBandCaches();
  virtual void BandRowCountChanged();
  virtual void HeaderRowCountChanged() { LayoutChanged(); }

  // Editing: one editor per editor class, configured by the edited column.
  TzmInplaceEdit* CreateEditor() override;
  TzmInplaceEdit* GetEditor() override;
  void InitEditor(TzmInplaceEdit* Editor) override;
  void GetEditorValue(TzmTreeListNode* Node, TzmInplaceEdit* Editor, Variant& Value) override;
  // The edited column stores the editor's value in the node.
  void GetEditorDefaultValue(TzmTreeListNode* Node, Integer Column, TzmInplaceEdit* Editor, Variant& Value) override;
  void DoCanEditNode(TzmTreeListNode* Node, bool& Allow) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Sorting by the nodes' texts.
  void GetNodeSortValue(TzmTreeListNode* Node, Integer Column, Variant& Value) override;

  // Drawing (zmTLControlDraw.cpp): the custom-draw events and the editor classes of the columns.
  void DrawCellByEditor(HDC DC, const TRect& Rect, Integer Column, TzmTreeListCellViewData* ViewData) override;
  // The editor rectangle of a cell: the cell grown by 2 on every side.
  virtual TRect GetEditorBounds(const TRect& Cell);
  bool CalcCellLineCount(TzmTreeListNode* Node, Integer Column, Integer& Height, Integer& Lines, bool BothGrids,
                         bool ExtraInset, Integer MaxLines, Integer TextHeight, Integer Width,
                         const String& Text) override;
  bool HasCustomDrawBand() override { return static_cast<bool>(OnBandCustomDraw); }
  bool HasCustomDrawCell(TzmTreeListNode* Node, Integer Column) override;
  bool HasCustomDrawFooter(TzmTreeListNode* Node, Integer Column, Integer FooterIndex) override;
  bool HasCustomDrawHeader(Integer Column) override;
  bool HasCustomDrawPreview() override { return OnPreviewPreDraw || OnPreviewCustomDraw; }
  bool HasLevelColorHandler() override { return static_cast<bool>(OnLevelColor); }
  void DoCustomDrawBand(Integer VisibleBand, TCanvas* Canvas, bool& Done, TAlignment& Alignment, TFont* Font,
                        TColor& Color, String& Text, const TRect& VisibleRect, const TRect& Rect) override;
  void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, bool& Done, TAlignment& Alignment, TFont* Font,
                        TColor& Color, String& Text, HBRUSH Brush, bool AtRightEdge, bool AtLeftEdge,
                        bool NewItemRow, bool Focused, bool Selected, Integer Column, TzmTreeListNode* Node) override;
  void DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, bool& Done, TAlignment& Alignment, TFont* Font,
                          TColor& Color, String& Text, Integer FooterIndex, Integer Column,
                          TzmTreeListNode* Node) override;
  void DoCustomDrawHeader(Integer Column, TCanvas* Canvas, bool& Done, TzmTreeListColumnSort& Sorted,
                          TAlignment& Alignment, TFont* Font, TColor& Color, String& Text, const TRect& VisibleRect,
                          const TRect& Rect) override;
  void DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, bool& Done, TFont* Font, TColor& TextColor,
                           TColor& Color, String& Text, bool Selected, TzmTreeListNode* Node) override;
  void DoGetLevelColor(Integer Level, TColor& Color) override;

  // Events behind the core's hooks.
  bool HasFooterCell(Integer Column) override;
  void DoBandButtonClick() override;
  void DoHeaderButtonClick() override;
  void DoColumnsWidthChanged() override;
  void DoBandClick(Integer VisibleIndex) override;
  void DoColumnClick(Integer Column) override;
  void StartBandDrag(Integer VisibleBand) override;
  void StartHeaderDrag(Integer Column) override;
  void DoDragOverBand(TPoint Point, Integer VisibleBand, bool& Accept) override;
  void DoDragOverHeader(TPoint Point, Integer Column, bool& Accept) override;
  void DoDragEndBand(TPoint Point, Integer VisibleBand, bool Pressed, Integer& Target, bool& Accept) override;
  void DoDragEndHeader(TPoint Point, Integer Column, TzmTreeListDropPosition& Target, bool& Accept) override;

  // The widths of the shown columns, kept until the layout changes.
  Integer GetColumnDisplayWidth(Integer Column) override;
  void RebuildHeaderBounds();
  void ClearHeaderBoundsCache() { FHeaderBoundsCache.clear(); }
  void ClearVisibleNodes() override;
  void ClearRowHeightCache() override;

  // The layout store's parts; a descendant may store more.
  virtual void BeginLayoutRead();
  virtual void EndLayoutRead();
  virtual void ReadControlLayout(TzmRegIniWrapper* Wrapper, const String& Path);
  virtual void ReadColumnLayout(TzmRegIniWrapper* Wrapper, const String& Section, TzmTreeListColumn* Column);
  virtual void WriteControlLayout(TzmRegIniWrapper* Wrapper, const String& Path);
  virtual void WriteColumnLayout(TzmRegIniWrapper* Wrapper, const String& Section, TzmTreeListColumn* Column);
  // The section of a column under a layout path; an unnamed column is stored by its position.
  String ColumnSection(const String& Path, TzmTreeListColumn* Column);
  void LoadLayout() override;
  void SaveLayout() override;

 private:
  void AddColumn(TzmTreeListColumn* Column);
  void MoveColumn(Integer From, Integer To);
  // Columns follow their bands when a band goes or moves.
  void BandDeleted(Integer Index);
  void BandMoved(Integer From, Integer To);
  TzmTreeListColumn* FocusedColumnObject();
  TzmTreeListBand* VisibleBand(Integer VisibleIndex) const { return FBands->VisibleItems(VisibleIndex); }
  // The visible columns of a band (absolute index) in a header row, in column order.
  std::vector<Integer> ColumnsInRow(Integer Band, Integer Row);
  bool UsesBandCaches() const { return !FBandListCache.empty() && !FBandListRebuilding; }

  TOwned<TzmTreeListBands> FBands;
  Integer FBandMaxRowCount = 5;
  Integer FBandRowCount = 1;
  std::vector<TzmTreeListColumn*> FColumnList;
  bool FDefaultLayout = true;
  std::vector<TzmInplaceEdit*> FEditorPool;
  Integer FHeaderMinRowCount = 1;
  Integer FHeaderPanelMaxRowCount = 5;
  Integer FHeaderPanelRowCount = 1;
  Integer FSortingLockCount = 0;
  bool FAutoRowCountChanging = false;
  std::vector<TzmTreeListColumn*> FSortedColumns;
  std::vector<Integer> FBandListCache;         // absolute index of each visible band
  std::vector<Integer> FVisibleBandListCache;  // visible index (or -1) of each band
  bool FBandListRebuilding = false;
  std::vector<std::vector<std::vector<Integer>>> FHeaderLayoutCache;  // visible band, row, columns
  bool FHeaderLayoutRebuilding = false;
  std::vector<Integer> FHeaderBoundsCache;  // display width per column, 0 when not shown
  bool FHeaderBoundsRebuilding = false;
  Integer FRowIndexRefreshLock = 0;
  String FLayoutRegistryKey;
  String FLayoutIniFile;
  bool FLayoutStored = false;
  bool FLayoutRestored = false;
  bool FStoresAllColumns = false;
};

// Holds the tree list's sorting lock for a block: the outermost end re-sorts.
using TzmTreeListSortingScope = TUpdateScope<TCustomzmTreeListControl, &TCustomzmTreeListControl::BeginSorting,
                                             &TCustomzmTreeListControl::EndSorting>;

// The path of a stored layout: one leading backslash, no trailing ones.
String NormalizeLayoutPath(const String& Path);
