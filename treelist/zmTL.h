// The tree list: nodes and the control core.
//
// TCustomzmTreeList shows a forest of TzmTreeListNode objects in rows. It knows nothing of concrete
// columns and bands: every question about them, and about a node's cells, goes through virtual
// hooks that the control with columns (zmTLControl.h) answers. Nodes hold only structure; their
// texts, images, focus and selection are asked of the owner.
//
// Where the parts live:
//   zmTLNodes.cpp    nodes: structure, navigation, expansion protocol, destruction
//   zmTL.cpp         the control: construction, update brackets, metrics, container hooks,
//                    editor binding, hiding and posting
//   zmTLHooks.cpp    hooks and option queries, focus, node repaint, layout storage entry points
//   zmTLVisible.cpp  the display order (row counts), node addition and deletion, expansion,
//                    selection locks
//   zmTLRowSums.h    the row sums of a list of siblings
//   zmTLPaint.cpp    painting: the areas, headers, bands, indicator, footer, status panel and rows
//   zmTLCells.cpp    cell drawing: data, text and preview cells, focus marks, the search match
//   zmTLMessages.cpp scroll-bar messages, editor placement, hints and window messages
//   zmTLLayout.cpp   layout: area rectangles, band and column widths, draw infos, scrolling
//   zmTLHitTest.cpp  the hit test: the part of the control under a client point
//   zmTLKeys.cpp     keys: navigation, keyboard selection, incremental search, selection ranges
//   zmTLMouse.cpp    mouse: presses turned into interaction states, hot tracking, timers,
//                    drag select
//   zmTLSizing.cpp   sizing lines, and dragging headers and bands
//   zmTLNodeDrag.cpp whole nodes: sorting children, dragging nodes, panning
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Variants.h"
#include "treelist/zmCntner.h"
#include "treelist/zmTLRowSums.h"

class TCustomzmTreeList;
class TzmTreeListNode;
class TCustomImageList;
class TChangeLink;
class TStringList;
class TzmInplaceEdit;
class TzmTreeListFeedbackWindow;
struct TzmHeaderButtonContent;

QJ_EXCEPTION(EInvalidzmTreeListOperation, Exception)

extern const TResourceString SzmInvalidNodeOwner;

// ---------------------------------------------------------------------------------------------
// Enumerations and option sets

enum TzmTreeListState : Byte {
  tlsIdle,
  tlsColumnSizing,
  tlsEditing,
  tlsColumnDragging,
  tlsColumnDown,
  tlsNodeDragging,
  tlsNodeDown,
  tlsHeaderButtonDown,
  tlsBandSizing,
  tlsBandDragging,
  tlsBandDown,
  tlsBandButtonDown,
  tlsBandRowSizing,
  tlsHeaderRowSizing,
  tlsRowSizing,
  tlsDropDownButtonDown,
  tlsStatusCloseDown,
};

// The states that move a sizing line.
inline bool IsSizingState(TzmTreeListState State) {
  return State == tlsColumnSizing || State == tlsBandSizing || State == tlsBandRowSizing ||
         State == tlsHeaderRowSizing || State == tlsRowSizing;
}

enum class TzmTreeListColumnSort : Byte { csNone, csDown, csUp };

// BehaviorOptions and ExtraOptions: bit n is the flag 1 << n.
using TzmTreeListOptions = Cardinal;

enum TzmBehaviorOption : Cardinal {
  zmbColumnSizing = 1u << 0,
  zmbColumnMoving = 1u << 1,
  zmbEditing = 1u << 2,
  zmbEditorWantsTab = 1u << 3,
  zmbTabWrapsToNextNode = 1u << 4,
  zmbRowSelect = 1u << 5,
  zmbMultiSelect = 1u << 6,
  zmbConvertsEditorClicks = 1u << 7,
  zmbPreview = 1u << 8,
  zmbCellEndEllipsis = 1u << 9,
  zmbAutoWidth = 1u << 10,
  zmbSelectAcrossParents = 1u << 11,
  zmbDragOutHides = 1u << 12,
  zmbFocusCellOption = 1u << 13,
  zmbSortOnColumnClick = 1u << 14,
  zmbStoreInRegistry = 1u << 16,
  zmbStoreInIniFile = 1u << 17,
};

enum TzmExtraOption : Cardinal {
  zmxInvertSelection = 1u << 0,
  zmxBufferedTextDrawing = 1u << 1,
  zmxDefaultLayout = 1u << 2,
  zmxAutoPreviewLineCount = 1u << 3,
  zmxBandSizing = 1u << 4,
  zmxBandMoving = 1u << 5,
  zmxArrowWrapsToNextNode = 1u << 6,
  zmxRowLayoutNavigation = 1u << 7,
  zmxEnterMovesFocus = 1u << 9,
  zmxImmediateEditor = 1u << 10,
  zmxUnlimitedSizing = 1u << 11,
  zmxDragScroll = 1u << 12,
  zmxDragExpand = 1u << 13,
  zmxDragExpandToggles = 1u << 14,
  zmxMultiLineRows = 1u << 15,
  zmxSortHourglass = 1u << 16,
  zmxBandButton = 1u << 17,
  zmxBandRowSizing = 1u << 18,
  zmxHeaderButton = 1u << 19,
  zmxHeaderRowSizing = 1u << 20,
  zmxRowSizing = 1u << 21,
  zmxMultiSort = 1u << 22,
  zmxMouseDownEditor = 1u << 24,
  zmxAutoHeaderPanelRowCount = 1u << 25,
  zmxCaseSensitiveSort = 1u << 27,
  zmxDragSelect = 1u << 28,
  zmxAutoSearch = 1u << 29,
  zmxHotTrack = 1u << 30,
  zmxCopyToClipboard = 1u << 31,
};

constexpr TzmTreeListOptions zmDefaultBehaviorOptions =
    zmbColumnSizing | zmbColumnMoving | zmbEditing | zmbTabWrapsToNextNode | zmbRowSelect;
constexpr TzmTreeListOptions zmDefaultExtraOptions = zmxBufferedTextDrawing | zmxDefaultLayout | zmxAutoPreviewLineCount |
                                                     zmxBandSizing | zmxBandMoving | zmxDragScroll | zmxDragExpand;

// The looks of the frame, buttons and headers.
enum TzmTreeListFrameLook : Byte { zmflStandard, zmflFlat, zmflUltraFlat };

// The header button state of GetHeaderButtonState: a set of these flags.
enum TzmHeaderButtonFlag : Byte { zmhbShown = 1, zmhbHot = 2, zmhbPressed = 4 };

// The hot-tracked cell or header.
struct TzmTreeListHotSpot {
  TzmTreeListNode* Node = nullptr;  // nil for a header
  Integer ColumnIndex = -1;
  Integer ActivePart = 0;
  Byte HeaderPart = 0;  // 0 none, 1 header, 2 its drop-down button zone, 3 that button with its list open
};

// The header part code of a drop-down button zone.
constexpr Byte zmHeaderPartDropDown = 2;

// One cell on its way from the control to its column's editor class for drawing or measuring.
class TzmTreeListCellViewData : public TObject {
  QJ_CLASS(TzmTreeListCellViewData, TObject)
 public:
  HBRUSH BrushHandle = nullptr;
  HFONT FontHandle = nullptr;
  TColor BackColor = clWindow;
  TColor ForeColor = clWindowText;
  TAlignment TextAlignment = taLeftJustify;
  String Text;
  Integer MarkedLength = 0;
  bool IsSelected = false;
  bool InvertsSelection = false;
  bool AtLeftEdge = false;
  bool AtRightEdge = false;
  bool IsMultiLine = false;
  bool DrawsMarkedPart = false;
  bool UsesEndEllipsis = false;
  TzmTreeListNode* OwnerNode = nullptr;
  bool IsBlankNewRow = false;
  TColor SelectionColor = clHighlight;
  HBRUSH CellBrushHandle = nullptr;
  TColor CellColor = clWindow;
  bool IsHotTracked = false;
  TRect EditorBounds;
};

// The layout metrics: text, row, header, band, footer and status heights, image and button
// sizes, computed from fonts, images and settings whenever the layout changes.
struct TzmTreeListMetrics {
  Integer BandRowHeight = 0;
  Integer BandTextHeight = 0;
  Integer HeaderAreaHeight = 18;
  Integer HeaderLineCount = 1;
  Integer HeaderRowCount = 1;
  Integer HeaderRowHeight = 0;
  Integer NewItemRowHeight = 0;
  Integer NewItemRowGap = 0;
  Integer FixedBandSeparatorWidth = 2;
  Integer MinRowHeight = 0;
  Integer RowHeight = 18;
  bool RowHeightAssigned = false;
  Integer GridLineWidth = 1;
  Integer TextHeight = 11;
  Integer MaxRowLineCount = -1;
  Integer PreviewTextHeight = 11;
  Integer PreviewIndent = 20;
  Integer PreviewLineCount = 2;
  Integer IndicatorWidth = 0;
  Integer FooterRowHeight = 0;
  Integer NodeFooterHeight = 0;
  Integer FooterHeight = 0;
  Integer StatusPanelHeight = 0;
  Integer HorzScrollStep = 0;
  Integer ImageHeight = 0;
  Integer ImageWidth = 0;
  Integer ButtonHeight = 0;
  Integer ButtonWidth = 0;
  Integer StateImageHeight = 0;
  Integer StateImageWidth = 0;
  Integer Indent = 0;
};

// How rows paint their tree part: standard (tree lines, window colour) or grouped (indent area
// and parent rows in the group colours, no tree lines).
enum TzmRowPaintStyle : Byte { zmrpStandard, zmrpGrouped };
enum TzmTreeLinesStyle : Byte { zmtlSolid, zmtlDotted };

// Colours and paint switches of the tree list; changing them only repaints the control.
struct TzmTreeListAppearance {
  TColor BandBackColor = clBtnFace;
  TColor HeaderBackColor = clBtnFace;
  TColor GroupRowBackColor = clBtnFace;
  TColor GroupRowForeColor = clNone;  // clNone: the font's colour
  TColor SelectionBackColor = clHighlight;
  TColor SelectionForeColor = clHighlightText;
  TColor InactiveSelectionBackColor = clBtnFace;
  TColor InactiveSelectionForeColor = clBtnText;
  bool HideSelectionWhenInactive = true;
  bool HideFocusRectWhenInactive = true;
  TColor TreeLinesColor = clGrayText;
  TzmTreeLinesStyle TreeLinesStyle = zmtlDotted;
  bool TreeLinesVisible = true;
  bool ExpandButtonsVisible = true;
  TColor FooterBackColor = cl3DLight;
  TColor FooterForeColor = clWindowText;
  TColor FixedBandSeparatorColor = clWindowFrame;
  TColor GridLinesColor = clBtnShadow;
  TColor GridLinesColorOverride = clNone;  // clNone: GridLinesColor
  TColor SearchMatchBackColor = clNone;    // clNone: the cell's background inverted
  TColor SearchMatchForeColor = clNone;    // clNone: the cell's text colour inverted
  TColor DragArrowsColor = clLime;
  bool operator==(const TzmTreeListAppearance&) const = default;
};

// The kinds of cells the drawing operations draw.
enum TzmTreeListCellKind : Integer {
  zmckRow = 0,       // a row's cell (a node's text in DrawTextCell)
  zmckFooter = 1,    // a footer panel or node footer cell
  zmckNewItem = 2,   // a cell of the new-item row
  zmckFullRow = 3,   // the text of a full-row node
};


// ---------------------------------------------------------------------------------------------
// Layout records (computed afresh for every paint, hit test and drag step)

struct TzmTreeListBandDrawItem {
  Integer BandIndex = -1;  // visible band
  TRect Bounds;
  TRect VisibleBounds;  // Bounds clipped to the part of the band row where the band may show
};

struct TzmTreeListHeaderDrawItem {
  Integer ColumnIndex = -1;  // absolute column
  Integer BandIndex = -1;    // visible band
  Integer RowIndex = 0;
  Integer ColIndex = 0;
  Integer RowSpan = 1;
  TRect Bounds;
  TRect VisibleBounds;
  TRect FillBounds;  // under a short last row down to the bottom of the header panel
  bool FirstInRow = false;
  bool LastInRow = false;
  bool FirstOverall = false;
  bool LastOverall = false;
  Byte ExtraHeight = 0;
};

struct TzmTreeListEmptyBandDrawItem {
  Integer BandIndex = -1;
  TRect Bounds;
  bool Clipped = false;
};

struct TzmTreeListRowDrawItem {
  TzmTreeListNode* Node = nullptr;
  bool FullRow = false;
  bool Selected = false;
  Integer Height = 0;
  Integer FooterCount = 0;
  Integer FooterHeight = 0;
  bool RowFlag = false;
  Integer PreviewLines = 0;
  Integer LineCount = -1;
};

// The areas of the control and the items laid out in them; empty rectangles are all zero.
struct TzmTreeListDrawInfo {
  TRect ClientBounds, GroupPanelRect, BandRowRect, BandCornerRect, HeaderRect, HeaderCornerRect, IndicatorRect,
      NewItemRowRect, RowsRect, EmptyRightRect, BelowRowsRect, FooterRect, StatusRect, LeftFixedRect, RightFixedRect;
  Integer LeftFixedItem = -1;
  Integer RightFixedItem = -1;
  Integer LastScrollingItem = -1;
  Integer ContentRight = 0;
  Integer LastRowBottom = -1;
  Integer IndentClipWidth = 0;
  Integer GridLineWidth = 0;
  std::vector<TzmTreeListBandDrawItem> Bands;
  std::vector<TzmTreeListHeaderDrawItem> Headers;
  std::vector<TzmTreeListEmptyBandDrawItem> EmptyBands;
  std::vector<TzmTreeListRowDrawItem> Rows;
};

// The rectangle of a node or cell that is not on screen.
constexpr TRect zmNoRect{-1, -1, -1, -1};

enum TzmTreeListHitKind : Byte {
  tlhNowhere,
  tlhHeader,
  tlhHeaderEdge,
  tlhButton,
  tlhImage,
  tlhStateImage,
  tlhIndent,
  tlhCell,
  tlhRowEnd,
  tlhOutside,
  tlhGroupPanel,
  tlhBandCorner,
  tlhBand,
  tlhBandEdge,
  tlhHeaderCorner,
  tlhIndicator,
  tlhNewItemRow,
  tlhRowFooter,
  tlhFooter,
  tlhBandRowEdge,
  tlhHeaderRowEdge,
  tlhRowEdge,
  tlhPreview,
  tlhStatusPanel,
};

struct TzmTreeListHitTestInfo {
  Integer X = 0;
  Integer Y = 0;
  Integer BandIndex = -1;    // visible band
  Integer ColumnIndex = -1;  // absolute column
  TzmTreeListNode* Node = nullptr;
  Integer RowIndex = -1;  // into the draw info's rows
  Integer FooterRowIndex = -1;
  TzmTreeListHitKind Kind = tlhOutside;
};

// Where a dragged header lands: Target -1 hides it, -2 leaves it in place, -3 inserts it at
// (BandIndex, RowIndex, ColIndex).
struct TzmTreeListDropPosition {
  Integer BandIndex = -1;
  Integer RowIndex = -1;
  Integer ColIndex = -1;
  Integer Target = -2;
};

// The relative node kinds of GetRelativeNode.
enum TzmTreeListRelative : Integer { zmrFirst, zmrPrior, zmrNext, zmrLast };

// ---------------------------------------------------------------------------------------------
// Events

using TzmTLNodeEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node)>;
using TzmTLAllowNodeEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node, bool& Allow)>;
using TzmTLFocusedNodeChangedEvent =
    std::function<void(TObject* Sender, TzmTreeListNode* OldNode, TzmTreeListNode* NewNode)>;
using TzmTLFocusedColumnChangedEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node, Integer Column)>;
using TzmTLCompareNodesEvent =
    std::function<void(TObject* Sender, TzmTreeListNode* Node1, TzmTreeListNode* Node2, Integer& Compare)>;
using TzmTLNodeEditedEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node, Integer Column)>;
using TzmTLEditorTextChangedEvent = std::function<void(TObject* Sender, Integer Column)>;
using TzmTLEditorValidateEvent =
    std::function<void(TObject* Sender, Integer Column, String& ErrorText, bool& Accept)>;
using TzmTLGetEditorColorEvent = std::function<void(TObject* Sender, TColor& Color)>;
using TzmTLHotSpotChangedEvent =
    std::function<void(TObject* Sender, const TzmTreeListHotSpot& HotSpot, TCursor& Cursor)>;

// ---------------------------------------------------------------------------------------------
// Nodes

// One node: its place in the tree, whether it is expanded and shows an expand button. Cell data,
// images, focus and selection live with the owner. Nodes are freed with Free (BeforeDestruction
// runs the deletion protocol while the node is whole); each node owns its children.
class TzmTreeListNode : public TObject {
  QJ_CLASS(TzmTreeListNode, TObject)
  friend class TCustomzmTreeList;

 public:
  // Raises EInvalidzmTreeListOperation for a nil owner. New nodes come from the owner's
  // CreateNode hook and are linked by AddChild / InsertChild (or the owner's AddNode).
  explicit TzmTreeListNode(TCustomzmTreeList* AOwner);
  // Frees the children first, unlinks the node and tells the owner.
  void BeforeDestruction() override;

  TCustomzmTreeList* GetOwner() const { return FOwner; }
  TzmTreeListNode* GetParent() const { return FParent; }
  void* GetAppData() const { return FAppData; }
  void SetAppData(void* Value) { FAppData = Value; }
  bool GetDeleting() const { return FDeleting; }
  // The order in which the owner made its nodes: a stable identity for sorting ties.
  UInt64 GetSequence() const { return FSequence; }

  // Structure
  Integer GetCount() const { return static_cast<Integer>(FChildren.size()); }
  // nil out of range.
  TzmTreeListNode* GetItem(Integer Index) const;
  Integer IndexOf(const TzmTreeListNode* Child) const;
  // The position among the siblings (the root list for a root node).
  Integer GetIndex() const;
  Integer GetLevel() const;
  // Node is the parent or a further ancestor (never the node itself).
  bool HasAsParent(const TzmTreeListNode* Node) const;
  bool IsLast() const;
  // Every ancestor is expanded.
  bool IsVisible() const;
  TzmTreeListNode* GetFirstChild() const { return GetItem(0); }
  TzmTreeListNode* GetLastChild() const;
  TzmTreeListNode* GetNextSibling() const;
  TzmTreeListNode* GetPrevSibling() const;
  TzmTreeListNode* GetPrevSiblingOrParent() const;
  // Depth-first order regardless of expansion.
  TzmTreeListNode* GetNext() const;
  TzmTreeListNode* GetPrev() const;

  // Adding children: the child list grows on demand and the owner hears of the new node.
  TzmTreeListNode* AddChild();
  // Index is clamped into 0 .. Count.
  TzmTreeListNode* InsertChild(Integer Index);
  // Frees every child.
  void DeleteChildren();

  // Display order (through the owner)
  TzmTreeListNode* GetNextVisible() const;
  TzmTreeListNode* GetPrevVisible() const;
  // The display index, -1 when not shown.
  Integer GetAbsoluteIndex() const;
  // Expands every collapsed ancestor (the owner's MakeNodeVisible).
  void MakeVisible();

  // Focus, selection and cell data (through the owner's hooks)
  bool GetFocused() const;
  // True focuses the node in the current column; a node cannot be unfocused this way.
  void SetFocused(bool Value);
  bool GetSelected() const;
  void SetSelected(bool Value);
  Integer GetImageIndex() const;
  void SetImageIndex(Integer Value);
  Integer GetSelectedIndex() const;
  void SetSelectedIndex(Integer Value);
  Integer GetStateIndex() const;
  void SetStateIndex(Integer Value);
  String GetStrings(Integer Column) const;
  void SetStrings(Integer Column, const String& Value);
  Variant GetValues(Integer Column) const;

  // Expansion
  bool GetHasChildren() const { return FHasChildren; }
  // A node with children always keeps its button.
  void SetHasChildren(bool Value);
  bool GetExpanded() const { return FExpanded; }
  // The expand/collapse protocol: asks the owner, moves the top row and focus out of a
  // collapsing subtree, stores, rebuilds the display order and notifies.
  void SetExpanded(bool Value);
  // Expands the node (with Recurse, its subtree) inside one update bracket.
  void Expand(bool Recurse);
  // +1 when B is an ancestor of A, -1 when A is an ancestor of B, else the sign of A's position
  // against B's in depth-first order.
  static Integer CompareNodePositions(const TzmTreeListNode* A, const TzmTreeListNode* B);

  // The row height and line count the layout last computed (0: not computed). Clearing the
  // owner's row-height cache makes every node's height read 0 until it is set again.
  Integer GetCachedRowHeight() const;
  void SetCachedRowHeight(Integer Value);
  Integer GetCachedLineCount() const { return FCachedLineCount; }
  void SetCachedLineCount(Integer Value) { FCachedLineCount = Value; }

 private:
  const std::vector<TzmTreeListNode*>& Siblings() const;
  // The sums of the list that holds the node (the owner's root sums for a root).
  TzmTreeListRowSums& SiblingRowSums() const;
  void Link(TzmTreeListNode* AParent, Integer AIndex);
  void Unlink();
  // False when the node was in no sibling list.
  bool RemoveFromSiblings();

  void* FAppData = nullptr;
  bool FDeleting = false;
  bool FExpanded = false;
  bool FHasChildren = false;
  std::vector<TzmTreeListNode*> FChildren;
  // The rows of the children (see zmTLRowSums.h).
  TzmTreeListRowSums FChildRows;
  TCustomzmTreeList* FOwner;
  TzmTreeListNode* FParent = nullptr;
  // The position among the siblings when it was last known: checked before it is trusted, and
  // exact while the siblings' sums are current. -1 while the node is in no list.
  mutable Integer FIndex = -1;
  // The rows the node takes while shown: its own and, expanded, its children's.
  Integer FRowCount = 1;
  Integer FCachedRowHeight = 0;
  Integer FCachedLineCount = 0;
  // The owner's row-height generation when the height was cached.
  UInt64 FRowHeightGeneration = 0;
  UInt64 FSequence;
};

// The strings of a text node, entry k the text of column k. The first lives in the node itself,
// so that a node with one text costs no allocation of its own.
class TzmTreeListNodeStrings {
 public:
  Integer GetCount() const { return FCount; }
  // An empty text out of range.
  const String& Get(Integer Index) const;
  // Fills the entries up to Index with empty texts first.
  void Put(Integer Index, const String& Value);
  // Nothing out of range.
  void Delete(Integer Index);
  // The entry at CurIndex goes to NewIndex (entries up to both made first).
  void Move(Integer CurIndex, Integer NewIndex);

 private:
  String& At(Integer Index) { return Index == 0 ? FFirst : FRest[static_cast<size_t>(Index - 1)]; }
  void Reach(Integer Index);

  String FFirst;
  std::vector<String> FRest;
  Integer FCount = 0;
};

// The node of the control with columns: a string per column and three image indexes.
class TzmTreeListTextNode : public TzmTreeListNode {
  QJ_CLASS(TzmTreeListTextNode, TzmTreeListNode)
 public:
  explicit TzmTreeListTextNode(TCustomzmTreeList* AOwner);
  ~TzmTreeListTextNode() override;

  // The stored indexes (the node's GetImageIndex etc. ask the owner, which may change them).
  Integer GetStoredImageIndex() const { return FImageIndex; }
  void SetStoredImageIndex(Integer Value) { FImageIndex = Value; }
  Integer GetStoredSelectedIndex() const { return FSelectedIndex; }
  void SetStoredSelectedIndex(Integer Value) { FSelectedIndex = Value; }
  Integer GetStoredStateIndex() const { return FStateIndex; }
  void SetStoredStateIndex(Integer Value) { FStateIndex = Value; }
  // Entry k is the text of column k.
  TzmTreeListNodeStrings* GetStringList() { return &FStrings; }
  const TzmTreeListNodeStrings* GetStringList() const { return &FStrings; }

 private:
  Integer FImageIndex = 0;
  Integer FSelectedIndex = -1;
  Integer FStateIndex = -1;
  TzmTreeListNodeStrings FStrings;
};

// ---------------------------------------------------------------------------------------------
// The control core

// One cell on its way to DrawDataCell or DrawTextCell.
struct TzmTreeListCellPaint {
  TRect Rect;
  TzmTreeListNode* Node = nullptr;
  Integer Column = -1;       // absolute column
  Integer FooterIndex = -1;  // footer cells: -1 the footer panel, else the node footer
  bool Selected = false;
  bool FocusedCell = false;
  TColor BackColor = clWindow;
  TColor TextColor = clWindowText;
  HBRUSH Brush = nullptr;
  bool MultiLine = false;
  TzmTreeListCellKind Kind = zmckRow;
  bool AtLeftEdge = false;
  bool AtRightEdge = false;
  TColor CellColor = clWindow;  // the cell's own colour and brush (column or control)
  HBRUSH CellBrush = nullptr;
};

class TCustomzmTreeList : public TCustomzmContainer {
  QJ_CLASS(TCustomzmTreeList, TCustomzmContainer)
  friend class TzmTreeListNode;
  friend class TzmTreeListColumn;
  friend class TzmTreeListBand;
  friend class TzmTreeListBands;
  friend class TzmTreeListEditStyle;
  friend class TzmTreeListSelectionScope;
  friend class TzmTreeListPainter;

 public:
  explicit TCustomzmTreeList(TComponent* AOwner);
  ~TCustomzmTreeList() override;
  void BeforeDestruction() override;

  // Update brackets: nested; the outermost EndUpdate recomputes the layout. BeginUpdate ends
  // any interaction and closes the editor, posting its value (a refused value is given up).
  void BeginUpdate();
  void EndUpdate();
  bool IsUpdateLocked() const { return FUpdateLockCount > 0; }

  // Nodes
  // A new node at the end of Parent's children (the roots for nil), or at Index (clamped).
  TzmTreeListNode* AddNode(TzmTreeListNode* Parent);
  TzmTreeListNode* InsertNode(TzmTreeListNode* Parent, Integer Index);
  Integer GetRootCount() const { return static_cast<Integer>(FRootNodes.size()); }
  // nil out of range.
  TzmTreeListNode* GetRootNode(Integer Index) const;
  void DeleteAllNodes();
  TzmTreeListNode* GetTopNode() const { return FTopNode; }
  TzmTreeListNode* GetFocusedNode() const { return FFocusedNode; }
  // The focused column as a display position (-1 none).
  Integer GetFocusedVisibleColumn() const { return FFocusedVisibleColumn; }

  // Display order
  Integer IndexOfVisibleNode(const TzmTreeListNode* Node);
  TzmTreeListNode* VisibleNodeAt(Integer Index);
  Integer GetVisibleNodeCount();
  TzmTreeListNode* GetNextVisible(const TzmTreeListNode* Node);
  TzmTreeListNode* GetPrevVisible(const TzmTreeListNode* Node);
  TzmTreeListNode* GetFirstRootNode() const { return GetRootNode(0); }
  TzmTreeListNode* GetLastVisibleNode() const;
  Integer GetTopIndex();
  Integer GetFocusedIndex();
  // The display order was built with rows since it was last cleared, and the control is not
  // being destroyed. The queries answer alike either way; a node that is not shown has no
  // previous shown node while the order is usable.
  bool IsVisibleListUsable() const;
  // True without roots, or when the focused node is the first root / the last shown node.
  bool IsFocusAtFirst();
  bool IsFocusAtLast();
  // The first root, the previous or next shown node (with Flag: the next in depth-first order),
  // the last root (with Flag: its deepest last descendant). nil for a nil node.
  virtual TzmTreeListNode* GetRelativeNode(TzmTreeListNode* Node, TzmTreeListRelative Kind, bool Flag);
  // Moves the focus to that relative node; a single selected focused node moves its selection along.
  virtual TzmTreeListNode* MoveFocusRelative(TzmTreeListRelative Kind, bool Flag);

  // Rows and scrolling
  virtual Integer GetShownRowCount() { return FShownRowCount; }
  // ShownRowCount and PageRowCount for the rows area from the top node.
  virtual void UpdateRowCounts();
  virtual void GetVertScrollRange(Integer& Min, Integer& Max, Integer& Pos, Integer& Page);
  // Counts the rows that fit into Height from Node down (then upward from the node before it):
  // Shown counts a partly shown last row, Page does not. Answers the pixel height counted.
  Integer CountRowsFrom(TzmTreeListNode* Node, Integer Height, Integer& Page, Integer& Shown);
  // The smallest top index that still shows the row at Index.
  Integer GetTopIndexForBottom(Integer Index);
  // The pixel distance of scrolling Rows rows (negative: down).
  Integer GetScrollPixels(Integer Rows);
  // Makes the row at Index the top row (clamped so that the last page stays full).
  virtual void SetTopIndex(Integer Index);
  Integer GetHorzOffset() const { return FHorzOffset; }
  // The horizontal scroll offset, clamped to the scrollable band width.
  virtual void SetLeftCoord(Integer Value);
  void MakeBandVisible(Integer VisibleBand);
  void MakeColumnVisible(Integer Column);
  // Writes both scroll bars from the layout (horizontal, vertical, then both again, so that each
  // sees the other's final visibility); a bar shows while its content does not fit.
  virtual void UpdateScrollBars();
  // Keeps the last page full and the horizontal offset inside the content.
  void ClampScrollPosition();
  // Drops both scroll bars when each is needed only because the other takes room.
  void HideScrollBarsWhenFitting();
  // Moves the pixels of the rows area (with the indicator) or of the scrolling bands and
  // invalidates what they uncover.
  void ScrollRowsBy(Integer Dy);
  void ScrollBandsBy(Integer Dx);
  // The status panel's close button (12 x 11), or R unchanged without a status panel.
  void GetStatusCloseButtonRect(TRect& R);

  // ---- Keyboard and search ----
  // Opens the editor on the focused cell when cells can be edited, outside row select.
  void ShowEditor();
  // ShowEditor, then the press or release that opened it goes on to the editor.
  void ShowEditorWithMouseDown(Integer X, Integer Y);
  void ShowEditorWithMouseUp(Integer X, Integer Y);
  // Starts an incremental search in Column (-1: the focused one) with Text; answers whether
  // the search text is not empty afterwards.
  bool StartSearch(Integer Column, const String& Text);
  const String& GetSearchString() const { return FSearchString; }
  bool GetSearchExpandsNodes() const { return FSearchExpandsNodes; }
  void SetSearchExpandsNodes(bool Value) { FSearchExpandsNodes = Value; }
  // Mode 0 from the focused node on, 1 the previous match, 2 the next one.
  virtual void DoIncrementalSearch(String& Text, Integer Mode, bool ClearOnFail);
  virtual bool FindMatchingNode(Integer Column, const String& Text, Integer Mode, TzmTreeListNode*& Node);
  // Moves the focus a page up or down (the page's last full row first).
  void MoveFocusByPage(bool Down);

  // ---- Selection and row text ----
  // Selects the shown nodes from Node1 through Node2 inside one selection lock; an error of a
  // selection step ends the range and goes on to the caller.
  virtual void SelectRange(TzmTreeListNode* Node1, TzmTreeListNode* Node2);
  // -1, 0 or 1 as the node lies before, at or after the selection anchor.
  virtual Integer CompareWithAnchor(TzmTreeListNode* Node);
  virtual void SetSelectionAnchor(TzmTreeListNode* Node) { FSelectionAnchorNode = Node; }
  TzmTreeListNode* GetSelectionAnchor() const { return FSelectionAnchorNode; }
  virtual bool CanRangeSelect() { return true; }
  // Whether the node may join the selection: OnCanSelectNode, then (unless nodes of different
  // parents may be selected together) the same parent as the first selected node.
  virtual bool CanSelectNode(TzmTreeListNode* Node);
  // Ends a keyboard range selection; the selected count.
  virtual Integer StopRangeSelect();
  // The first selected node, or the fallback node when nothing is selected.
  TzmTreeListNode* GetFirstSelectedNode();
  TzmTreeListNode* GetSelectionFallbackNode() const { return FSelectionFallbackNode; }
  // The shown columns' captions, tab-separated (no line end).
  virtual void GetHeaderText(String& Text);
  // The node's texts of the shown columns, tab-separated (a full-row node: its first text).
  virtual void GetNodeText(TzmTreeListNode* Node, String& Text);
  // The header line, then one line per shown node.
  virtual void GetAllNodesText(TStringList* Strings);
  // The header line, then the selected nodes in tree order (the focused node without multi-select).
  virtual void GetSelectedNodesText(TStringList* Strings);
  void CopySelectedToClipboard();

  // ---- Mouse ----
  bool GetNodeDblClickToggles() const { return FNodeDblClickToggles; }
  void SetNodeDblClickToggles(bool Value) { FNodeDblClickToggles = Value; }
  const TzmTreeListHitTestInfo& GetPressHitInfo() const { return FPressHitInfo; }
  Integer GetPressedBand() const { return FPressedBand; }
  Integer GetPressedColumn() const { return FPressedColumn; }
  bool IsEditorTimerRunning() const { return FEditorTimerRunning; }
  // -1 up or left, 1 down or right, 0 when the timer does not run.
  Integer GetHorzAutoScroll() const { return FHorzScrollDir; }
  Integer GetVertAutoScroll() const { return FVertScrollDir; }

  // ---- Sizing and header and band dragging ----
  // Ends any sizing, pressing or dragging without applying it.
  virtual void CancelInteraction();
  Integer GetSizingLinePos() const { return FSizingLinePos; }
  // The sizing line's limits for the running sizing state (Left: the sized item's left edge).
  void GetSizingLimits(Integer& Left, Integer& Min, Integer& Max);
  // Width changes absorbed by the neighbours (auto width, scaled, in the column's row, spread
  // into the band).
  void SetBandWidthAuto(Integer VisibleBand, Integer Width);
  void SetBandWidthScaled(Integer VisibleBand, Integer Width);
  void SetColumnWidthInRow(Integer VisibleBand, Integer Column, Integer Width);
  void SetColumnWidthSpread(Integer VisibleBand, Integer Column, Integer Width);
  // The largest line height from MinRowHeight up whose row still fits into Height.
  Integer RowHeightAt(TzmTreeListNode* Node, Integer Height);
  // The drop target of a band drag at Point (client; moved to where the drop arrows go): -1
  // outside the band row, -2 no move, else the visible band to take.
  virtual Integer GetBandDropPosition(TPoint& Point, Integer Pressed, Integer Dragged);
  virtual TzmTreeListDropPosition GetHeaderDropPosition(TPoint& Point, Integer Pressed, Integer Dragged);
  virtual bool CanDragBand(Integer /*VisibleBand*/) { return HasExtra(zmxBandMoving); }
  virtual bool CanDragColumn(Integer /*Column*/) { return HasBehavior(zmbColumnMoving); }
  // A customizing form provided by a descendant (bands and headers dragged onto it are hidden,
  // dragged from it shown); the core makes none.
  TWinControl* GetCustomizeForm() const { return FCustomizeForm; }
  bool IsCustomizing() const { return FCustomizeForm != nullptr; }
  // The popups that show the drag feedback (nil while none is shown).
  TzmTreeListFeedbackWindow* GetSizingLineWindow() const { return FSizingLine.get(); }
  TzmTreeListFeedbackWindow* GetDropArrowsWindow() const { return FDropArrows.get(); }
  TzmTreeListFeedbackWindow* GetDragImageWindow() const { return FDragImage.get(); }
  // The pictures of a dragged band caption and column header, painted as they are in the
  // control (at most the screen wide).
  TBitmap* CreateBandDragImage(Integer VisibleBand);
  TBitmap* CreateHeaderDragImage(Integer Column);
  // Nesting pair: the first hide takes the feedback away, the last show brings it back.
  void HideDragFeedback();
  void ShowDragFeedback();

  // ---- Sorting, node drag and panning ----
  // Sorts the children lists Level levels below the roots (-1: every list) by Column's values.
  virtual void SortNodes(Integer Level, Integer Column, bool Descending);
  void SortNodeList(std::vector<TzmTreeListNode*>& List, Integer Column, bool Descending);
  virtual Integer GetSortedColumnCount() { return 0; }
  virtual Integer GetSortedColumn(Integer /*Index*/) { return -1; }
  virtual bool IsSortedColumnDescending(Integer /*Index*/) { return false; }
  virtual bool IsMultiSortActive(Integer /*Column*/) { return IsMultiSort(); }
  // The picture of a dragged node: its cell, images and text inside dotted frames.
  virtual TBitmap* CreateNodeDragImage(TzmTreeListNode* Node, Integer Column);
  virtual void GetNodeDragText(TzmTreeListNode* Node, Integer Column, String& Text) { GetCellText(Node, Column, Text); }
  TzmTreeListNode* GetDraggedNode() const { return FDraggedNode; }
  TzmTreeListNode* GetDragHoverNode() const { return FDragHoverNode; }
  // Pans the view with the middle button: a modal loop until a button, Esc, a lost capture or a
  // quit message; it stops at once when the control goes away meanwhile.
  void StartPanning();
  // The panning speed (1 to 12) and direction (0 none, 1 left, 2 up, 3 right, 4 down) for a
  // pointer Offset away from where panning started, with a pan picture Size pixels wide.
  static void PanningStep(TPoint Offset, Integer Size, bool HorzBar, bool VertBar, Integer& Direction, Integer& Speed);

  // ---- Hit test ----
  virtual void CalcHitTest(TPoint Point, TzmTreeListHitTestInfo& HitInfo);
  TzmTreeListNode* GetNodeAt(Integer X, Integer Y);

  // ---- Layout ----
  // The area rectangles only.
  void CalcAreaRects(TzmTreeListDrawInfo& Info);
  // The areas with their band, header, empty-band and row items.
  void CalcDrawInfo(TzmTreeListDrawInfo& Info);
  // zmNoRect for a node that is not on screen.
  TRect GetNodeRect(TzmTreeListNode* Node);
  TRect GetNodeRectToBottom(TzmTreeListNode* Node);
  // The rows area, over the indicator when it is shown.
  TRect GetRowsRect();
  TRect GetCellRect(TzmTreeListNode* Node, Integer VisibleColumn);
  TRect GetEditorRect(TzmTreeListNode* Node, Integer VisibleColumn);
  Integer GetBandMinWidth(Integer VisibleBand);
  Integer GetBandWidthNeeded(Integer VisibleBand);
  Integer GetBandDisplayWidth(Integer VisibleBand);
  Integer GetTotalBandsWidth();
  Integer GetScrollableBandsWidth();
  // The band's offset inside the scrolling area (0 for a fixed band).
  Integer GetBandLeft(Integer VisibleBand);
  TRect GetScrollAreaRect();
  Integer GetScrollAreaWidth() { return GetScrollAreaRect().Width(); }
  virtual Integer GetColumnDisplayWidth(Integer Column);
  Integer GetRowWidth(Integer VisibleBand, Integer Row);
  Integer GetRowMinWidth(Integer VisibleBand, Integer Row);
  Integer GetHeaderRowSpan(Integer VisibleBand, Integer Row, Integer Col);
  // Indent: the tree part before the node's images; TextLeft: where its text starts.
  void GetNodeIndent(TzmTreeListNode* Node, Integer& Indent, Integer& TextLeft);
  Integer GetNodeTextWidth(TzmTreeListNode* Node);
  // The node's row height for rows of LineHeight (cached in the node unless NoCache).
  Integer GetNodeRowHeight(TzmTreeListNode* Node, Integer LineHeight, bool NoCache);
  Integer GetNodeFooterCount(TzmTreeListNode* Node);
  Integer GetNodeFooterLevel(TzmTreeListNode* Node, Integer Index);
  Integer CountNodeFootersBelowLevel(TzmTreeListNode* Node, Integer Level);
  bool IsAutoRowHeight();
  // The band row and header row counts a sizing line at Position asks for.
  Integer BandRowHeightFor(Integer Lines);
  Integer BandRowCountAt(Integer Position);
  Integer HeaderRowCountAt(Integer Position);

  // Focus
  virtual void SetFocusedNodeColumn(TzmTreeListNode* Node, Integer VisibleColumn, bool MakeVisible);
  virtual void SetFocusedAbsoluteIndex(Integer Index);

  // Columns as the layout shows them: in visible bands, header rows and row positions.
  Integer GetVisibleColumnCount();
  Integer GetVisibleColumn(Integer VisibleIndex);
  Integer GetColumnVisibleIndex(Integer Column);
  // The absolute column of the focused visible column (-1 none).
  Integer GetFocusedColumn();

  // Options
  TzmTreeListOptions GetBehaviorOptions() const { return FBehaviorOptions; }
  void SetBehaviorOptions(TzmTreeListOptions Value);
  TzmTreeListOptions GetExtraOptions() const { return FExtraOptions; }
  void SetExtraOptions(TzmTreeListOptions Value);
  bool HasBehavior(TzmBehaviorOption Option) const { return (FBehaviorOptions & Option) != 0; }
  bool HasExtra(TzmExtraOption Option) const { return (FExtraOptions & Option) != 0; }

  // State
  TzmTreeListState GetInteractionState() const { return FInteractionState; }
  bool GetPendingEditorOnRelease() const { return FPendingEditorOnRelease; }
  TzmInplaceEdit* GetActiveEditor() const { return FActiveEditor; }
  Integer GetEditorColumn() const { return FEditorColumn; }
  TzmTreeListNode* GetEditorNode() const { return FEditorNode; }
  const TzmTreeListHotSpot& GetHotSpot() const { return FHotSpot; }

  // Appearance and metrics
  TFont* GetBandCaptionFont() const { return FBandCaptionFont.get(); }
  void SetBandCaptionFont(TFont* Value);
  TFont* GetHeaderCaptionFont() const { return FHeaderCaptionFont.get(); }
  void SetHeaderCaptionFont(TFont* Value);
  TFont* GetPreviewTextFont() const { return FPreviewTextFont.get(); }
  TCustomImageList* GetNodeImages() const { return FNodeImages; }
  void SetNodeImages(TCustomImageList* Value);
  TCustomImageList* GetNodeStateImages() const { return FNodeStateImages; }
  void SetNodeStateImages(TCustomImageList* Value);
  TzmTreeListFrameLook GetFrameLook() const { return FFrameLook; }
  void SetFrameLook(TzmTreeListFrameLook Value);
  bool GetBandsVisible() const { return FBandsVisible; }
  void SetBandsVisible(bool Value);
  bool GetHeadersVisible() const { return FHeadersVisible; }
  void SetHeadersVisible(bool Value);
  bool GetShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool Value);
  bool GetShowPreviewGrid() const { return FShowPreviewGrid; }
  void SetShowPreviewGrid(bool Value);
  bool GetIndicatorVisible() const { return FIndicatorVisible; }
  void SetIndicatorVisible(bool Value);
  bool GetFooterVisible() const { return FFooterVisible; }
  void SetFooterVisible(bool Value);
  bool GetRootLinesVisible() const { return FRootLinesVisible; }
  void SetRootLinesVisible(bool Value);
  TzmRowPaintStyle GetRowPaintStyle() const { return FRowPaintStyle; }
  void SetRowPaintStyle(TzmRowPaintStyle Value);
  bool GetNewItemRowVisible() const { return FNewItemRowVisible; }
  void SetNewItemRowVisible(bool Value);
  bool GetRowFootersVisible() const { return FRowFootersVisible; }
  void SetRowFootersVisible(bool Value);
  // 0 no border, 1 a single one.
  Byte GetBorderKind() const { return FBorderKind; }
  void SetBorderKind(Byte Value);
  void SetScrollBars(TScrollStyle Value);
  const TzmTreeListAppearance& GetAppearance() const { return FAppearance; }
  void SetAppearance(const TzmTreeListAppearance& Value);
  bool GetNewItemRowFocused() const { return FNewItemRowFocused; }
  // Only while the new-item row is shown: repaints the focused row and the new-item row.
  void SetNewItemRowFocused(bool Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  const TzmTreeListMetrics& GetMetrics() const { return FMetrics; }
  Integer GetRowHeight() const { return FMetrics.RowHeight; }
  // Marks the height as assigned; the metrics never let it below the minimum row height.
  void SetRowHeight(Integer Value);
  Integer GetDragExpandDelay() const { return FDragExpandDelay; }
  Integer GetCustomizeRowCount() const { return FCustomizeRowCount; }
  TPoint GetCustomizeFormPos() const { return FCustomizeFormPos; }
  Integer GetShownRowCount() const { return FShownRowCount; }
  Integer GetPageRowCount() const { return FPageRowCount; }
  TColor GetSelectionBackColor() const { return FAppearance.SelectionBackColor; }

  // Layout storage in the registry store or an INI file. The INI section is LayoutIniSection,
  // else the name of the form that holds (or last held) the control, "_" and the control's name:
  // the same rule for loading and saving.
  void LoadFromRegistry(const String& Key);
  void SaveToRegistry(const String& Key);
  void LoadFromIniFile(const String& FileName);
  void SaveToIniFile(const String& FileName);
  const String& GetLayoutIniSection() const { return FLayoutIniSection; }
  void SetLayoutIniSection(const String& Value) { FLayoutIniSection = Value; }
  String LayoutIniSectionName();

  void SetParent(TWinControl* AParent) override;

  // Container hooks
  bool CanEditorModify() override { return true; }
  bool IsEditorValidChar(char) override { return true; }
  TzmEditStyle* CreateEditStyle(TzmInplaceEdit* Edit) override;
  TColor GetEditColor() override;
  TFont* GetEditFont() override;
  bool IsReadOnly() override { return FReadOnly; }
  bool GetFocusCellOption() override { return HasBehavior(zmbFocusCellOption); }
  bool IsEditorStale() override;
  bool ConvertsEditorClicks() override { return HasBehavior(zmbConvertsEditorClicks); }
  bool GetEditorExtOption() override { return HasExtra(zmxMouseDownEditor); }
  bool EditorWantsTab() override;
  void GoToAdjacentColumn(bool ABackward) override;
  void EditorFocusChanged() override { InvalidateSelection(); }
  Integer GetEditorLookAndFeelKind() override { return FFrameLook != zmflStandard ? 1 : 2; }

  // Editing
  // Validates the editor's value (a refusal raises and keeps the editor open), then closes it
  // with the value posted and the focus back on the control.
  void EndEditing();
  // The same, refocusing the control only when the editor had the focus.
  void LeaveEditing();
  // Ends editing without raising, posting the value (or giving up a refused one), then forgets
  // the edited cell.
  void ResetEditedCell();
  void SetInteractionState(TzmTreeListState State);
  virtual bool IsEditorShown();

  // Closes the editor: posts its value (unless the control is being destroyed), forgets the
  // edited cell, hides it and, with Refocus or when the editor had the focus, focuses the control.
  void HideEditor(bool Refocus);
  // Writes a modified editor's value back (GetEditorDefaultValue) and fires OnNodeEdited.
  void PostEditorValue();
  // Orders nodes of equal sort values: by the order the control made them (never by address).
  virtual Integer CompareNodeIdentity(TzmTreeListNode* Node1, TzmTreeListNode* Node2);
  // While editing: binds the editor of the focused column to the focused cell (rebinding it
  // when the cell changed) and shows it over the cell; Selecting lets the editor take the focus
  // as a selection.
  void PlaceEditor(bool Selecting);

  // ---- Painting (zmTLPaint.cpp, zmTLCells.cpp) ----
  // The focused window is the control or one of its children, or the open editor has the focus.
  bool IsFocusedWithin();
  // Repaints a hot-tracked cell and its row's tree part, or the header rows for a header.
  void InvalidateHotTrackCell(const TzmTreeListHotSpot& HotSpot);
  // Repaints Rect without erasing, when the window exists.
  void InvalidateClientRect(const TRect& Rect);
  // The plus and minus pictures of the grouped look's expand buttons, shared by every tree list
  // (made again when the system colours change).
  static void CreateExpandButtonGlyphs();
  // The object of a drag that entered the control from elsewhere (nil: none).
  TDragObject* GetExternalDragObject() const { return FExternalDragObject; }
  void SetExternalDragObject(TDragObject* Value);

  // ---- The status panel's button hint ----
  // Immediately shows the hint for five seconds, else after one second.
  void ShowStatusButtonHint(bool Immediately);
  void CancelHint();
  TzmContainerHintWindow* GetHintWindow() const { return FHintWindow.get(); }

  // Events
  TzmTLFocusedColumnChangedEvent OnFocusedColumnChanged;
  TzmTLFocusedNodeChangedEvent OnFocusedNodeChanged;
  TNotifyEvent OnTopNodeChanged;
  TzmTLNodeEvent OnNodeCollapsed;
  TzmTLAllowNodeEvent OnNodeCollapsing;
  TzmTLCompareNodesEvent OnCompareNodes;
  TzmTLNodeEvent OnNodeDeleted;
  TzmTLEditorTextChangedEvent OnEditorTextChanged;
  TzmTLNodeEditedEvent OnNodeEdited;
  TzmTLAllowNodeEvent OnCanEditNode;
  TzmTLEditorValidateEvent OnEditorValidate;
  TzmTLNodeEvent OnNodeExpanded;
  TzmTLAllowNodeEvent OnNodeExpanding;
  TzmTLGetEditorColorEvent OnGetEditorColor;
  TzmTLAllowNodeEvent OnCanSelectNode;
  TzmTLNodeEvent OnNodeDragStart;
  TzmTLHotSpotChangedEvent OnHotSpotChanged;
  TNotifyEvent OnHorzScroll;
  TNotifyEvent OnSelectionCountChanged;

 protected:
  // ---- Drawing (zmTLPaint.cpp, zmTLCells.cpp) ----
  void Paint() override;
  void CreateWnd() override;
  // A data cell through its column's editor class: the custom-draw hooks, the cell view data,
  // DrawCellByEditor, then the incremental search match and the focus rectangle.
  virtual void DrawDataCell(TCanvas* Canvas, TBitmap* Buffer, TzmTreeListCellPaint& Cell);
  // A text cell (a node's text, a footer cell, new-item text) through the text-cell routine.
  virtual void DrawTextCell(TCanvas* Canvas, TBitmap* Buffer, TzmTreeListCellPaint& Cell);
  virtual void DrawPreview(TCanvas* Canvas, const TRect& Rect, TBitmap* Buffer, TzmTreeListNode* Node,
                           TColor BackColor, TColor TextColor, HBRUSH Brush, bool Selected);
  // Hands a filled cell view data to the column's editor class; nothing in the core.
  virtual void DrawCellByEditor(HDC /*DC*/, const TRect& /*Rect*/, Integer /*Column*/,
                                TzmTreeListCellViewData* /*ViewData*/) {}
  virtual void DrawGroupPanel(TCanvas* /*Canvas*/, const TRect& /*Rect*/, HBRUSH /*PanelBrush*/,
                              HBRUSH /*HeaderBrush*/) {}
  // The override colour unless it is clNone, else the grid lines' colour.
  virtual TColor GetGridLinesColor();
  // Bracket every read of a node's values for drawing (also when drawing raises).
  virtual void BeginNodeAccess(TzmTreeListNode* /*Node*/) {}
  virtual void EndNodeAccess(TzmTreeListNode* /*Node*/) {}
  // The indicator glyph of a row (a TzmIndicatorGlyph), -1 for none.
  virtual Integer GetRowIndicatorGlyph(TzmTreeListNode* Node);
  // Custom drawing: the questions answer whether a handler exists; the triggers call it.
  virtual bool HasCustomDrawBand() { return false; }
  virtual bool HasCustomDrawCell(TzmTreeListNode* /*Node*/, Integer /*Column*/) { return false; }
  virtual bool HasCustomDrawFooter(TzmTreeListNode* /*Node*/, Integer /*Column*/, Integer /*FooterIndex*/) {
    return false;
  }
  virtual bool HasCustomDrawHeader(Integer /*Column*/) { return false; }
  virtual bool HasCustomDrawPreview() { return false; }
  virtual bool HasLevelColorHandler() { return false; }
  virtual void DoCustomDrawBand(Integer /*VisibleBand*/, TCanvas* /*Canvas*/, bool& /*Done*/, TAlignment& /*Alignment*/,
                                TFont* /*Font*/, TColor& /*Color*/, String& /*Text*/, const TRect& /*VisibleRect*/,
                                const TRect& /*Rect*/) {}
  virtual void DoCustomDrawCell(TCanvas* /*Canvas*/, const TRect& /*Rect*/, bool& /*Done*/, TAlignment& /*Alignment*/,
                                TFont* /*Font*/, TColor& /*Color*/, String& /*Text*/, HBRUSH /*Brush*/,
                                bool /*AtRightEdge*/, bool /*AtLeftEdge*/, bool /*NewItemRow*/, bool /*Focused*/,
                                bool /*Selected*/, Integer /*Column*/, TzmTreeListNode* /*Node*/) {}
  virtual void DoCustomDrawFooter(TCanvas* /*Canvas*/, const TRect& /*Rect*/, bool& /*Done*/,
                                  TAlignment& /*Alignment*/, TFont* /*Font*/, TColor& /*Color*/, String& /*Text*/,
                                  Integer /*FooterIndex*/, Integer /*Column*/, TzmTreeListNode* /*Node*/) {}
  virtual void DoCustomDrawHeader(Integer /*Column*/, TCanvas* /*Canvas*/, bool& /*Done*/,
                                  TzmTreeListColumnSort& /*Sorted*/, TAlignment& /*Alignment*/, TFont* /*Font*/,
                                  TColor& /*Color*/, String& /*Text*/, const TRect& /*VisibleRect*/,
                                  const TRect& /*Rect*/) {}
  virtual void DoCustomDrawPreview(TCanvas* /*Canvas*/, const TRect& /*Rect*/, bool& /*Done*/, TFont* /*Font*/,
                                   TColor& /*TextColor*/, TColor& /*Color*/, String& /*Text*/, bool /*Selected*/,
                                   TzmTreeListNode* /*Node*/) {}
  virtual void DoGetLevelColor(Integer /*Level*/, TColor& /*Color*/) {}
  // The layout stored once after loading and restored once before destruction (the control with
  // columns does it).
  virtual void LoadLayout() {}
  virtual void SaveLayout() {}

  // ---- Hooks: nodes, bands and columns (the control with columns answers them) ----
  // Repaints a node after a change; Structural also recalculates what depends on the row count.
  virtual void InvalidateNode(TzmTreeListNode* Node, bool Structural);
  virtual TzmTreeListNode* CreateNode() = 0;
  virtual Integer GetNodeImageIndex(TzmTreeListNode* Node) = 0;
  virtual Integer GetNodeSelectedIndex(TzmTreeListNode* Node) = 0;
  virtual Integer GetNodeStateIndex(TzmTreeListNode* Node) = 0;
  virtual void GetNodeVariant(TzmTreeListNode* Node, Integer Column, Variant& Value) = 0;
  virtual void GetNodeString(TzmTreeListNode* Node, Integer Column, String& Text) = 0;
  virtual void GetNodeSortValue(TzmTreeListNode* Node, Integer Column, Variant& Value);
  virtual void SetNodeImageIndex(TzmTreeListNode* Node, Integer Value) = 0;
  virtual void SetNodeSelectedIndex(TzmTreeListNode* Node, Integer Value) = 0;
  virtual void SetNodeStateIndex(TzmTreeListNode* Node, Integer Value) = 0;
  virtual void SetNodeString(TzmTreeListNode* Node, Integer Column, const String& Text) = 0;
  virtual void SetNodeVariant(TzmTreeListNode* Node, Integer Column, const Variant& Value) = 0;
  // Stores the first node shown in the rows area and fires OnTopNodeChanged.
  virtual void SetTopVisibleNode(TzmTreeListNode* Node);
  virtual TAlignment GetBandAlignment(Integer /*BandIndex*/) { return taLeftJustify; }
  virtual Integer GetBandCount() { return 0; }
  virtual Integer GetBandAbsoluteIndex(Integer VisibleIndex) { return VisibleIndex; }
  virtual void GetBandCaption(Integer /*BandIndex*/, String& Text) { Text.clear(); }
  virtual Integer GetBandWidth(Integer /*BandIndex*/) { return 0; }
  virtual TAlignment GetVisibleBandAlignment(Integer /*VisibleIndex*/) { return taLeftJustify; }
  virtual Integer GetVisibleBandCount() { return 0; }
  virtual Integer GetLeftFixedBandIndex() { return -1; }
  virtual Integer GetRightFixedBandIndex() { return -1; }
  virtual Integer GetVisibleBandMinWidth(Integer /*VisibleIndex*/) { return 0; }
  virtual Integer GetVisibleBandWidth(Integer /*VisibleIndex*/) { return 0; }
  virtual void GetVisibleBandCaption(Integer /*VisibleIndex*/, String& Text) { Text.clear(); }
  virtual Integer GetLeadingWidth() { return 0; }
  virtual Integer GetBandVisibleIndex(Integer BandIndex) { return BandIndex; }
  virtual bool IsBandOnlyOwnColumns(Integer /*VisibleIndex*/) { return false; }
  virtual Integer GetColumnCount() { return 0; }
  virtual Integer GetHeaderColumnIndex(Integer /*VisibleBand*/, Integer /*Row*/, Integer /*Col*/) { return -1; }
  virtual TAlignment GetColumnHeaderAlignment(Integer /*Column*/) { return taLeftJustify; }
  virtual Integer GetColumnBandIndex(Integer /*Column*/) { return 0; }
  virtual Integer GetHeaderColCount(Integer /*VisibleBand*/, Integer /*Row*/) { return 0; }
  virtual Integer GetColumnColIndex(Integer /*Column*/) { return 0; }
  // A set of TzmHeaderButtonFlag: 0, or shown, plus hot, plus pressed.
  virtual Byte GetHeaderButtonState(Integer Column);
  virtual TBitmap* GetColumnHeaderGlyph(Integer /*Column*/) { return nullptr; }
  virtual Integer GetColumnHeaderMaxLineCount(Integer /*Column*/) { return 1; }
  virtual Integer GetColumnMinWidth(Integer /*Column*/) { return 0; }
  virtual Integer GetHeaderRowCount(Integer /*VisibleBand*/) { return 0; }
  virtual Integer GetColumnRowIndex(Integer /*Column*/) { return 0; }
  virtual TzmTreeListColumnSort GetColumnSorted(Integer /*Column*/) { return TzmTreeListColumnSort::csNone; }
  virtual bool GetColumnTabStop(Integer /*Column*/) { return true; }
  virtual void GetColumnHeaderCaption(Integer /*Column*/, String& Text) { Text.clear(); }
  virtual void GetColumnCaption(Integer Column, String& Text) { GetColumnHeaderCaption(Column, Text); }
  virtual Integer GetColumnWidth(Integer /*Column*/) { return 0; }
  virtual TColor GetColumnColor(Integer /*Column*/) { return GetColor(); }
  virtual TFont* GetColumnFont(Integer /*Column*/) { return GetFont(); }
  virtual bool IsColumnFontAssigned(Integer /*Column*/) { return false; }
  virtual bool HasColumnHeaderGlyph(Integer /*Column*/) { return false; }
  virtual TAlignment GetCellAlignment(TzmTreeListNode* /*Node*/, Integer /*Column*/) { return taLeftJustify; }
  virtual void GetCellText(TzmTreeListNode* /*Node*/, Integer /*Column*/, String& Text) { Text.clear(); }
  virtual void GetNewItemRowText(Integer /*Column*/, String& Text) { Text.clear(); }
  virtual Integer GetColumnExtraHeight(Integer /*Column*/) { return 0; }
  virtual bool ShowsNewItemRowValues() { return true; }
  // "Wg" + 3 in the column's own font; 0 without one.
  virtual Integer GetColumnLineHeight(TCanvas* Canvas, Integer Column);
  virtual void GetPreviewText(TzmTreeListNode* /*Node*/, String& Text) { Text.clear(); }
  virtual bool GetNodeRowFlag(TzmTreeListNode* /*Node*/, bool /*Selected*/) { return false; }
  virtual bool HasStatusCloseButton() { return false; }
  virtual void GetStatusText(String& Text) { Text.clear(); }
  virtual void GetStatusHintText(String& Text) { Text.clear(); }
  // Lets a descendant compute the text lines and the height of one cell.
  virtual bool CalcCellLineCount(TzmTreeListNode* Node, Integer Column, Integer& Height, Integer& Lines,
                                 bool BothGrids, bool ExtraInset, Integer MaxLines, Integer TextHeight,
                                 Integer Width, const String& Text);
  virtual Integer GetMaxColumnLineHeight(TCanvas* Canvas);
  virtual Integer GetRowSeparatorWidth() { return FMetrics.GridLineWidth > 0 ? FMetrics.GridLineWidth : 1; }
  virtual void UpdateHeaderPanelRowCount() {}
  virtual bool IsNodeFullRow(TzmTreeListNode* /*Node*/) { return false; }
  virtual TAlignment GetRowFooterAlignment(TzmTreeListNode* Node, Integer Column, Integer /*FooterIndex*/) {
    return GetCellAlignment(Node, Column);
  }
  virtual void GetRowFooterText(TzmTreeListNode* /*Node*/, Integer /*Column*/, String& Text, Integer /*FooterIndex*/) {
    Text.clear();
  }
  virtual bool HasFooterCell(Integer /*Column*/) { return false; }
  virtual bool IsRowFooterCellShown(TzmTreeListNode* /*Node*/, Integer /*Column*/, Integer /*FooterIndex*/) {
    return false;
  }
  virtual bool HasLevelFooter(Integer /*Level*/) { return false; }
  // Option queries
  virtual bool IsCaseSensitiveSort() { return HasExtra(zmxCaseSensitiveSort); }
  virtual bool IsAutoPreviewLineCount() { return HasExtra(zmxAutoPreviewLineCount); }
  virtual bool CanDragCopy() { return false; }
  virtual bool HasHeaderDropDownButtons() { return false; }
  virtual bool IsAutoHeaderPanelRowCount() { return HasExtra(zmxAutoHeaderPanelRowCount); }
  virtual bool IsAutoSearch() { return HasExtra(zmxAutoSearch); }
  virtual bool IsSortOnColumnClick() { return HasBehavior(zmbSortOnColumnClick); }
  virtual bool IsAutoWidth() { return HasBehavior(zmbAutoWidth); }
  virtual bool UsesDefaultLayout() { return HasExtra(zmxDefaultLayout); }
  virtual bool IsDragExpandToggles() { return HasExtra(zmxDragExpandToggles); }
  virtual bool IsCellEndEllipsis() { return HasBehavior(zmbCellEndEllipsis); }
  virtual bool IsDragExpand() { return HasExtra(zmxDragExpand); }
  virtual bool IsDragScroll() { return HasExtra(zmxDragScroll); }
  virtual bool IsEditing() { return HasBehavior(zmbEditing); }
  virtual bool IsImmediateEditor() { return HasExtra(zmxImmediateEditor); }
  virtual bool IsEnterMovesFocus() { return HasExtra(zmxEnterMovesFocus) && IsImmediateEditor(); }
  virtual bool IsDragOutHides() { return HasBehavior(zmbDragOutHides); }
  virtual bool IsSelectAcrossParents() { return HasBehavior(zmbSelectAcrossParents); }
  virtual bool IsStatusPanelShown() { return false; }
  virtual bool IsArrowWrapsToNextNode() { return HasExtra(zmxArrowWrapsToNextNode); }
  virtual bool HasHorzScrollBar() { return FScrollBars == ssHorizontal || FScrollBars == ssBoth; }
  virtual bool IsDragSelect() { return HasExtra(zmxDragSelect) && (IsRowSelect() || !IsEditing()); }
  virtual bool IsMultiSelect() { return HasBehavior(zmbMultiSelect); }
  virtual bool IsMultiSort() { return HasExtra(zmxMultiSort); }
  virtual bool IsNewItemRowActive() { return FNewItemRowFocused; }
  virtual bool IsNewItemRowShown() { return FNewItemRowVisible && FMetrics.RowHeight > 0; }
  virtual bool IsMultiLineRows() { return HasExtra(zmxMultiLineRows) && FMetrics.MaxRowLineCount != 0; }
  virtual bool IsRowSelect() { return HasBehavior(zmbRowSelect); }
  virtual bool IsSortHourglass() { return HasExtra(zmxSortHourglass); }
  virtual bool IsRowFooterShown() { return FRowFootersVisible; }
  virtual bool IsPreviewShown() { return HasBehavior(zmbPreview) && FMetrics.PreviewLineCount != 0; }
  virtual bool IsRowHeightCached() { return true; }
  virtual bool IsTabWrapsToNextNode() { return HasBehavior(zmbTabWrapsToNextNode); }
  virtual bool IsRowLayoutNavigation() { return HasExtra(zmxRowLayoutNavigation); }
  virtual bool KeepsScrollBars() { return false; }
  virtual bool HasVertScrollBar() { return FScrollBars == ssVertical || FScrollBars == ssBoth; }
  virtual bool IsBufferedTextDrawing() { return HasExtra(zmxBufferedTextDrawing); }
  virtual bool IsBandButton() { return HasExtra(zmxBandButton); }
  virtual bool IsBandSizingUnlimited(Integer /*VisibleBand*/) { return HasExtra(zmxUnlimitedSizing); }
  virtual bool CanSizeBandRow() { return HasExtra(zmxBandRowSizing); }
  virtual bool CanSizeBand(Integer /*VisibleIndex*/) { return true; }
  virtual bool IsHeaderOnlyLayout() { return UsesDefaultLayout() && !FBandsVisible; }
  virtual bool IsHeaderButton() { return HasExtra(zmxHeaderButton); }
  virtual bool IsColumnSizingUnlimited(Integer /*Column*/) { return HasExtra(zmxUnlimitedSizing); }
  virtual bool CanSizeHeaderRow() { return HasExtra(zmxHeaderRowSizing); }
  virtual bool CanSizeColumn(Integer /*Column*/) { return true; }
  virtual bool IsColumnSizingEnabled(Integer Column) { return HasBehavior(zmbColumnSizing) && CanSizeColumn(Column); }
  virtual bool CanSizeRow() { return HasExtra(zmxRowSizing); }
  // Size setters and click notifications
  virtual void SetBandRowCount(Integer /*Value*/) {}
  virtual void SetVisibleBandWidth(Integer /*VisibleIndex*/, Integer /*Width*/) {}
  virtual void SetHeaderPanelRowCount(Integer /*Value*/) {}
  virtual void SetColumnWidth(Integer /*Column*/, Integer /*Width*/) {}
  virtual void ScaleBandWidths(Integer /*Numerator*/, Integer /*Denominator*/) {}
  virtual void ScaleColumnWidths(Integer /*VisibleBand*/, Integer /*Numerator*/, Integer /*Denominator*/) {}
  virtual void DoBandButtonClick() {}
  virtual void DoBandClick(Integer /*VisibleIndex*/) {}
  virtual void DoColumnsWidthChanged() {}
  virtual void DoHeaderButtonClick() {}
  virtual void DoColumnClick(Integer /*Column*/) {}
  virtual void DoHeaderDropDownClick(Integer /*Column*/) {}
  virtual void DoStatusPanelCloseClick() {}
  virtual Integer GetBandMaxRowCount() { return 5; }
  virtual Integer GetBandRowCount() { return 1; }
  virtual Integer GetHeaderPanelMaxRowCount() { return 4; }
  virtual Integer GetHeaderPanelRowCount() { return 1; }
  virtual Integer GetHeaderMinRowCount() { return 1; }
  // Whether the layout shows a column (True here).
  virtual bool IsColumnShown(Integer /*Column*/) { return true; }
  virtual Integer GetGroupPanelHeight() { return 0; }
  // The text lines the node's row needs (-1 when no column says), from the lines each shown
  // column's cell needs (CalcCellLineCount); Height, the row height asked for, grows with them.
  virtual Integer GetNodeRowLineCount(TzmTreeListNode* Node, Integer& Height);
  // The preview lines under the node's row: measured from its preview text with the automatic
  // count, else the preview line count setting (also for nil).
  virtual Integer GetNodePreviewLineCount(TzmTreeListNode* Node);

  // ---- Nodes and the display order ----
  // The control's side of a new node: the edited cell is reset, the top and focused nodes filled
  // when empty, and outside an update bracket the node is patched into the display order.
  virtual void NodeAdded(TzmTreeListNode* Node);
  // Whether a node shows an expand button once its children are gone (it has children).
  virtual bool NodeHasChildren(TzmTreeListNode* Node) { return Node->GetCount() != 0; }
  // Fires OnNodeDeleted, then keeps the focus, the top node and the display order valid.
  virtual void DoNodeDeleted(TzmTreeListNode* Node, TzmTreeListNode* Prior, TzmTreeListNode* NextVisible, bool WasLast,
                             bool WasVisible);
  // Removes a column's string from the node and all its descendants.
  virtual void DeleteColumnStrings(TzmTreeListNode* Node, Integer Column);
  // Marks the display order invalid (the row counts themselves always follow the tree) and
  // clears the row-height cache.
  virtual void ClearVisibleNodes();
  // A full build of the display order, or a patch for one node being added or removed: the rows
  // already follow every change of the tree, so both only settle what depends on them.
  virtual void RebuildVisibleNodes();
  virtual void ClearRowHeightCache();
  // A collapse of Node would hide the focused node: focuses Node instead (False refuses).
  virtual bool FocusCollapsingAncestor(TzmTreeListNode* Node);
  // Expands the node's collapsed ancestors, parent first, inside one update bracket.
  virtual void MakeNodeVisible(TzmTreeListNode* Node);
  virtual bool IsFirstNode(const TzmTreeListNode* Node) { return Node && Node == GetFirstRootNode(); }
  virtual bool IsLastNode(const TzmTreeListNode* Node);
  // The nodes owned outside the tree (freed with the control); the control with columns keeps
  // their strings in step with the columns.
  const std::vector<TzmTreeListNode*>& GetHiddenNodes() const { return FHiddenNodes; }
  // Takes an unlinked node of this control into the hidden-node list.
  void AddHiddenNode(TzmTreeListNode* Node);

  // ---- Events as hooks ----
  virtual void DoCollapsed(TzmTreeListNode* Node);
  virtual void DoNodeEdited(TzmTreeListNode* Node, Integer Column);
  virtual void DoExpanded(TzmTreeListNode* Node);
  virtual void DoCanCollapse(TzmTreeListNode* Node, bool& Allow);
  virtual void DoCanEditNode(TzmTreeListNode* Node, bool& Allow);
  virtual void DoCanExpand(TzmTreeListNode* Node, bool& Allow);
  virtual void DoFocusedColumnChanged(TzmTreeListNode* Node, Integer VisibleColumn);
  virtual void DoFocusedNodeChanged(TzmTreeListNode* OldNode, TzmTreeListNode* NewNode);
  virtual void DoEditChange(Integer Column);
  virtual void DoEditValidate(Integer Column, String& ErrorText, bool& Accept);

  // ---- Layout and metrics ----
  // Recomputes the metrics unless an update bracket is open.
  virtual void LayoutChanged();
  // Text and row heights, header, band, footer and status heights, image sizes; then the
  // display order is rebuilt and the control repainted.
  virtual void UpdateMetrics();
  virtual void BeforeUpdateMetrics() {}
  // One scroll bar written from the layout, shown only while its content does not fit.
  virtual void UpdateHorzScrollBar();
  virtual void UpdateVertScrollBar();
  // Whether scroll-bar messages move the view.
  virtual bool CanScrollByBars() { return true; }
  virtual void DoHorzScroll();
  // Bands or their visibility changed (the control with columns rebuilds its band lists).
  virtual void BandsChanged() {}
  virtual void RebuildBandLists() {}
  virtual bool IsInvertSelection() { return HasExtra(zmxInvertSelection); }

  // ---- Editing ----
  // The editor of the focused column; the base has one text editor.
  virtual TzmInplaceEdit* CreateEditor();
  virtual TzmInplaceEdit* GetEditor() { return FActiveEditor; }
  virtual void GetEditorText(String& Text);
  virtual void SetEditorText(const String& Text);
  // The editor's colour, font and margins for the focused cell.
  virtual void InitEditor(TzmInplaceEdit* Editor);
  virtual void GetEditorValue(TzmTreeListNode* Node, TzmInplaceEdit* Editor, Variant& Value);
  // The write-back of a modified editor's value into the edited cell.
  virtual void GetEditorDefaultValue(TzmTreeListNode* Node, Integer Column, TzmInplaceEdit* Editor, Variant& Value);
  // Binds the editor to the focused cell: the edited cell, the editor's settings and value.
  void BindEditor(TzmInplaceEdit* Editor);

  // ---- Selection (this class keeps none) ----
  virtual void BeginSelection();
  virtual void EndSelection();
  virtual void DoSelectionCountChanged();
  virtual void ClearSelection();
  virtual void InvalidateSelection();
  virtual Integer GetSelectedCount() { return 0; }
  virtual TzmTreeListNode* GetSelectedNode(Integer /*Index*/) { return nullptr; }
  virtual bool IsNodeSelected(TzmTreeListNode* /*Node*/) { return false; }
  // The base keeps nothing and only reports a possible count change.
  virtual void SetNodeSelected(TzmTreeListNode* Node, bool Value);

  // ---- Layout storage ----
  // The layout of this control: nothing in the core (the control with columns stores its own).
  // Store is a TRegIniFile, TIniFile or TMemIniFile.
  virtual void ReadLayout(TObject* /*Store*/, const String& /*Path*/) {}
  virtual void WriteLayout(TObject* /*Store*/, const String& /*Path*/) {}

  // ---- Small queries for descendants ----
  TzmTreeListCellViewData* GetCellViewData() const { return FCellViewData.get(); }
  bool IsDestroying() const { return HasState(csDestroying); }
  bool IsClearingNodes() const { return FClearingNodes; }
  bool GetSearchActive() const { return FSearchActive; }
  void EndSearch();
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void DoExit() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  virtual void DoNodeDragStart(TzmTreeListNode* Node);
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  virtual bool CanDblClick() { return true; }
  virtual void UpdateHotSpot(const TzmTreeListHitTestInfo& Hit);
  virtual bool CanHotTrackCell(Integer /*X*/, Integer /*Y*/, TzmTreeListNode* /*Node*/, Integer /*Column*/,
                               Integer& /*ActivePart*/) {
    return HasExtra(zmxHotTrack);
  }
  virtual bool GetHeaderHotPart(Integer X, Integer Y, Integer Column, Byte& Part);
  virtual bool IsHotCell(TzmTreeListNode* Node, Integer Column) {
    return FHotSpot.Node == Node && FHotSpot.ColumnIndex == Column;
  }
  virtual void DoHotSpotChanged(const TzmTreeListHotSpot& HotSpot, TCursor& Cursor);
  // A press on the new-item row while no node is focused.
  virtual void DoNewItemRowPressed() {}
  virtual void DoCanEditNewItemRow(bool& /*Allow*/) {}
  // Set while a column click is handled: Shift asked for one more sorted column, Ctrl for a
  // reset of the sorting.
  bool IsSortMultiRequested() const { return FSortMultiRequested; }
  bool IsSortResetRequested() const { return FSortResetRequested; }
  // A header's drop-down list is open (a descendant that shows one says so).
  bool GetDropDownListOpen() const { return FDropDownListOpen; }
  void SetDropDownListOpen(bool Value) { FDropDownListOpen = Value; }
  Integer GetDropDownColumn() const { return FDropDownColumn; }
  bool GetStatusCloseButtonHot() const { return FStatusCloseButtonHot; }
  bool GetStatusCloseButtonDown() const { return FStatusCloseButtonDown; }
  virtual bool CanMouseEditCell(Integer /*X*/, Integer /*Y*/, bool /*SameNode*/, Integer /*Column*/) {
    return HasExtra(zmxMouseDownEditor);
  }
  virtual void BestFitBand(Integer /*VisibleBand*/) {}
  virtual void BestFitColumn(Integer /*Column*/) {}
  virtual void StartBandDrag(Integer VisibleBand);
  virtual void StartHeaderDrag(Integer Column);
  virtual void EndBandDrag(bool Accept);
  virtual void EndHeaderDrag(bool Accept);
  virtual void DoDragOverBand(TPoint /*Point*/, Integer /*VisibleBand*/, bool& /*Accept*/) {}
  virtual void DoDragOverHeader(TPoint /*Point*/, Integer /*Column*/, bool& /*Accept*/) {}
  virtual void DoDragEndBand(TPoint /*Point*/, Integer /*VisibleBand*/, bool /*Pressed*/, Integer& /*Target*/,
                             bool& /*Accept*/) {}
  virtual void DoDragEndHeader(TPoint /*Point*/, Integer /*Column*/, TzmTreeListDropPosition& /*Target*/,
                               bool& /*Accept*/) {}
  virtual void MoveBand(Integer /*From*/, Integer /*To*/) {}
  virtual void HideBand(Integer /*VisibleBand*/) {}
  virtual void ShowBand(Integer /*At*/, Integer /*Band*/) {}
  virtual void MoveHeader(Integer /*Column*/, Integer /*VisibleBand*/, Integer /*Row*/, Integer /*Col*/) {}
  virtual void HideHeader(Integer /*Column*/) {}
  virtual void ShowHeader(Integer /*VisibleBand*/, Integer /*Row*/, Integer /*Col*/, Integer /*Column*/) {}
  virtual bool IsBandCustomizingDisabled(Integer /*VisibleBand*/) { return false; }
  virtual bool IsColumnCustomizingDisabled(Integer /*Column*/) { return false; }
  // The descendant's customizing form; the control frees it when it goes.
  void SetCustomizeForm(TWinControl* Value);
  bool IsCustomizingBands() { return IsCustomizing(); }
  bool IsCustomizingHeaders() { return IsCustomizing(); }
  virtual bool IsBandListedForCustomizing(Integer /*Band*/) { return false; }
  virtual bool IsColumnListedForCustomizing(Integer /*Column*/) { return false; }
  // The drag cursor over the customizing form (Point on the screen).
  virtual void AdjustDragCursor(TPoint Point, TCursor& Cursor);
  void WndProc(TMessage& Message) override;
  void KeyPress(char& Key) override;
  virtual bool CanProcessKey(Word /*Key*/, TShiftState /*Shift*/) { return true; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // The window and control messages of zmTLMessages.cpp: true when fully handled there.
  bool HandleWindowMessage(TMessage& Message);
  void ScrollMessage(int Bar, Word Code);
  bool HintTimerTick(UINT_PTR Id);
  void MetricsSourceChanged(TObject* Sender);
  void LinkImages(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);
  void PatchVisibleNodes(TzmTreeListNode* Node, bool IsRemoval);
  // Node takes Delta rows more: its count, the sums of its list and, while its parents are
  // expanded, theirs follow.
  void NodeRowsChanged(TzmTreeListNode* Node, Integer Delta);
  // The sums of Parent's children (the roots for nil), summed again first when stale.
  const TzmTreeListRowSums& CurrentRowSums(TzmTreeListNode* Parent);
  // Ends editing without raising: a value the editor refuses is given up first.
  void EndEditingQuietly();
  void ForgetNodeReferences();
  TzmTreeListNode* FindNextInTree(const TzmTreeListNode* Node) const;
  void DragExpandTick();
  void StartSizing(TzmTreeListState State, Integer Position);
  void MoveSizingLine(Integer Position);
  void ShowSizingLine();
  void FinishSizing();
  void DragStep();
  void ShowDropArrows(TPoint ClientPoint);
  void HideDropArrows();
  void EndDragFeedback();
  // A header button's picture in Font on the button face colour.
  TBitmap* CreateCaptionDragImage(const TzmHeaderButtonContent& Content, TFont* Font, Integer Width,
                                  Integer Height);
  void StartDragImage(TBitmap* Image);
  // The screen point lies in the shown customizing form's client area.
  bool IsOverCustomizeForm(TPoint Screen);
  void StartHorzAutoScroll(Integer Direction);
  void StartVertAutoScroll(Integer Direction, bool Selects);
  void StopHorzAutoScroll();
  void StopVertAutoScroll();
  void StartEditorTimer();
  void KillEditorTimer();
  void TimerTick(UINT_PTR Id);
  void NodePressed(TMouseButton Button, TShiftState Shift, bool FirstClick);
  void NewItemRowPressed(TMouseButton Button, bool FirstClick);
  // The header part under a header hit (0 none, 1 header, 2 drop-down zone, 3 its list open).
  Byte HeaderPartAt(const TzmTreeListHitTestInfo& Hit);
  // The status panel's close button, empty without one.
  TRect StatusCloseButtonRect();
  void DragSelectStep(Integer Y);
  TRect ClientToScreenRect(const TRect& R);
  void SyncSearchColumn();
  bool MoveInHeaderRows(bool Up);
  void MoveFocusBy(Integer Delta, TShiftState Shift);
  void FocusAndSelect(TzmTreeListNode* Node, TShiftState Shift);
  TzmTreeListNode* SearchStep(TzmTreeListNode* Node, bool Backward);
  bool CanSizeBandAt(Integer VisibleBand);
  void HitHeader(const TzmTreeListDrawInfo& Info, TzmTreeListHitTestInfo& Hit);
  void HitRow(const TzmTreeListDrawInfo& Info, TzmTreeListHitTestInfo& Hit);
  TzmTreeListHitKind HitNodePart(const TzmTreeListDrawInfo& Info, const TzmTreeListRowDrawItem& Row, Integer RowTop,
                                 Integer X);
  void ColumnLayoutInBand(TzmTreeListDrawInfo& Info, const TzmTreeListBandDrawItem& Item, Integer BandWidth);
  Integer RowHeightAtIndex(Integer Index);
  Integer VisibleBandOfColumn(Integer Column);
  UInt64 NextNodeSequence() { return ++FNodeSequence; }
  void MeasureMetrics(TCanvas* Canvas);

  // Nodes and the display order
  std::vector<TzmTreeListNode*> FRootNodes;
  // The rows of the roots: every node keeps the rows of its subtree, so display indexes come
  // from these sums and need no list of the shown nodes (zmTLVisible.cpp).
  TzmTreeListRowSums FRootRows;
  std::vector<TzmTreeListNode*> FHiddenNodes;
  Integer FUpdateLockCount = 0;
  TzmTreeListNode* FFocusedNode = nullptr;
  TzmTreeListNode* FTopNode = nullptr;
  TzmTreeListNode* FPressFocusedNode = nullptr;
  TzmTreeListNode* FSelectionAnchorNode = nullptr;
  TzmTreeListNode* FDraggedNode = nullptr;
  bool FPendingEditorOnRelease = false;
  // The display order is usable after a full build that found rows, until it is cleared.
  bool FVisibleListValid = false;
  bool FVisibleListHoldsNodes = false;
  bool FBuildingVisibleNodes = false;
  TzmTreeListNode* FPatchNode = nullptr;
  bool FPatchNodeShown = false;
  bool FPatchIsRemoval = false;
  bool FKeepVisibleLists = false;
  // Cached row heights of nodes stamped with an older generation read as not computed.
  UInt64 FRowHeightGeneration = 1;
  bool FClearingNodes = false;
  bool FRangeSelecting = false;
  UInt64 FNodeSequence = 0;

  // Appearance
  TOwned<TFont> FBandCaptionFont;
  TOwned<TFont> FHeaderCaptionFont;
  TOwned<TFont> FPreviewTextFont;
  TzmTreeListFrameLook FFrameLook = zmflStandard;
  bool FIsFlat = false;
  bool FIsStandardPaint = true;
  TzmRowPaintStyle FRowPaintStyle = zmrpStandard;
  Byte FBorderKind = 1;
  TScrollStyle FScrollBars = ssBoth;
  bool FBandsVisible = false;
  bool FFooterVisible = false;
  bool FShowGrid = false;
  bool FHeadersVisible = true;
  bool FIndicatorVisible = false;
  bool FNewItemRowVisible = false;
  bool FShowPreviewGrid = true;
  bool FRootLinesVisible = true;
  bool FRowFootersVisible = false;
  bool FReadOnly = false;
  TzmTreeListAppearance FAppearance;
  TCustomImageList* FNodeImages = nullptr;
  TCustomImageList* FNodeStateImages = nullptr;
  TOwned<TChangeLink> FNodeImagesLink;
  TOwned<TChangeLink> FNodeStateImagesLink;

  // Metrics
  TzmTreeListMetrics FMetrics;
  Integer FShownRowCount = 1;
  Integer FPageRowCount = 1;
  Integer FHorzOffset = 0;
  bool FUpdatingScrollBars = false;

  // Mouse, sizing and dragging
  TzmTreeListHitTestInfo FPressHitInfo;
  TPoint FPressPoint;
  Integer FPressedBand = -1;
  bool FPressedBandDown = false;
  Integer FPressedColumn = -1;
  bool FPressedColumnDown = false;
  bool FBandButtonDown = false;
  bool FHeaderButtonDown = false;
  bool FPressWithModifier = false;
  bool FPendingSelectOnRelease = false;
  bool FSortMultiRequested = false;
  bool FSortResetRequested = false;
  bool FDropDownColumnDown = false;
  bool FDropDownListOpen = false;
  bool FStatusCloseButtonHot = false;
  bool FStatusCloseButtonDown = false;
  TzmTreeListNode* FSelectionFallbackNode = nullptr;
  bool FNodeDblClickToggles = true;
  Integer FSizingLinePos = 0;
  Integer FSizingStartPos = 0;
  Integer FDraggedBand = -1;
  Integer FDraggedHeader = -1;
  TPoint FArrowsPosition{-100, -100};
  Integer FArrowsExtent = 0;
  Integer FDragFeedbackHideCount = 0;
  TWinControl* FCustomizeForm = nullptr;
  TOwned<TzmTreeListFeedbackWindow> FSizingLine;
  TOwned<TzmTreeListFeedbackWindow> FDropArrows;
  TOwned<TzmTreeListFeedbackWindow> FDragImage;
  // The control's own window timers: the editor delay, and horizontal and vertical auto-scroll
  // apart, so that one never replaces the other.
  bool FEditorTimerRunning = false;
  Integer FHorzScrollDir = 0;
  Integer FVertScrollDir = 0;
  bool FVertScrollSelects = false;
  TzmTreeListNode* FDragHoverNode = nullptr;
  bool FDragExpandTimerRunning = false;
  Integer FDragExpandDelay = 500;
  Integer FCustomizeRowCount = 11;
  TPoint FCustomizeFormPos{-1000, -1000};

  // Focus, interaction and editing
  Integer FFocusedColumnCache = -1;
  Integer FFocusedVisibleColumn = -1;
  bool FNewItemRowFocused = false;
  TzmTreeListOptions FBehaviorOptions = zmDefaultBehaviorOptions;
  TzmTreeListOptions FExtraOptions = zmDefaultExtraOptions;
  Integer FSelectionLockCount = 0;
  Integer FSelectionCountAtLock = 0;
  TzmTreeListState FInteractionState = tlsIdle;
  TzmTreeListHotSpot FHotSpot;
  Integer FDropDownColumn = -1;
  TzmInplaceEdit* FActiveEditor = nullptr;
  Integer FEditorColumn = -1;
  Integer FEditorVisibleColumn = -1;
  TzmTreeListNode* FEditorNode = nullptr;
  bool FCancelingEditor = false;
  bool FSearchActive = false;
  String FSearchString;
  Integer FSearchColumn = -1;
  bool FSearchExpandsNodes = false;
  Integer FSearchLockCount = 0;
  TOwned<TzmTreeListCellViewData> FCellViewData;

  // Painting, hints and scroll bars
  TOwned<TFont> FScratchFont;
  TDragObject* FExternalDragObject = nullptr;
  TOwned<TzmContainerHintWindow> FHintWindow;
  bool FShowHintTimerRunning = false;
  bool FHideHintTimerRunning = false;
  TPoint FHintPoint;
  // The cursor the application set; the control's own changes (CursorChanging) leave it alone.
  TCursor FRestCursor = crDefault;
  bool FCursorChanging = false;

  // Layout storage
  String FLayoutIniSection;
  String FOwnerFormName;
};

// Holds a tree list's selection lock for a block: the count change is reported once, at the
// outermost end.
class TzmTreeListSelectionScope {
 public:
  explicit TzmTreeListSelectionScope(TCustomzmTreeList* AControl) : FControl(AControl) { FControl->BeginSelection(); }
  ~TzmTreeListSelectionScope() { FControl->EndSelection(); }
  TzmTreeListSelectionScope(const TzmTreeListSelectionScope&) = delete;
  TzmTreeListSelectionScope& operator=(const TzmTreeListSelectionScope&) = delete;

 private:
  TCustomzmTreeList* FControl;
};
