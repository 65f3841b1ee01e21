// Painting of the tree list: one pass over the draw info per paint message, area by area (group
// panel, band row, header rows, new-item row, indicator, footer panel, status panel), then the
// rows with their tree part, cells, previews, node footers, focus marks and grid lines. The cells
// themselves are drawn by zmTLCells.cpp. Grid lines are collected and drawn with one polyline call.
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/forms/ImgList.h"
#include "platform/os/GdiScopes.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLDrawScopes.h"
#include "treelist/zmTLHelpers.h"
#include "treelist/zmTLResources.h"
#include "treelist/zmUtils.h"

namespace {

constexpr COLORREF kUltraFlatShadow = RGB(160, 160, 160);
constexpr Integer kExpandGlyphSize = 12;
constexpr Integer kStatusTextIndent = 18;

TRect Inset(const TRect& R, Integer D) { return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D}; }

bool SameColor(TColor A, TColor B) { return ColorToRGB(A) == ColorToRGB(B); }

HBRUSH SolidBrushOf(TColor Color) { return CreateSolidBrush(ColorToRGB(Color)); }

}  // namespace

// One paint call: the brushes, the paint buffer and the draw info live as long as the painter,
// which releases them also when a hook raises.
class TzmTreeListPainter {
 public:
  explicit TzmTreeListPainter(TCustomzmTreeList& Tree);
  ~TzmTreeListPainter() { T.FCellViewData->Text.clear(); }
  TzmTreeListPainter(const TzmTreeListPainter&) = delete;
  TzmTreeListPainter& operator=(const TzmTreeListPainter&) = delete;

  void Run();

 private:
  struct TColumnPaint {
    TOwnedGdiObject Brush;
    TColor Color = clWindow;
  };
  struct TCellColors {
    HBRUSH Brush = nullptr;
    TColor Text = clWindowText;
    TColor Back = clWindow;
  };

  HDC DC() { return C->GetHandle(); }
  bool Visible(const TRect& R) { return !R.IsEmpty() && RectVisible(DC(), &R); }
  void Fill(const TRect& R, HBRUSH Brush) {
    if (!R.IsEmpty()) FillRect(DC(), &R, Brush);
  }
  void Exclude(const TRect& R) { ExcludeClipRect(DC(), R.Left, R.Top, R.Right, R.Bottom); }
  // A grid line from (X1, Y1) to (X2, Y2), both ends included.
  void AddLine(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void DrawLines(TColor Color);
  void UseFont(TFont* Font);
  Integer ScrollShift() const { return Info.LeftFixedItem < 0 ? T.FHorzOffset : 0; }

  void Corner(const TRect& R, HBRUSH Brush, bool Pressed);
  // A band caption or a column header. With Custom its hook runs first (it may change the text,
  // alignment, sort mark, font and colour, or draw the button itself and answer done).
  template <class THook>
  void HeaderButton(const TRect& Bounds, const TRect& VisibleBounds, TzmHeaderButtonContent& Content, TColor Back,
                    HBRUSH Brush, bool Custom, THook&& Hook);
  void GroupPanel();
  void BandRow();
  void HeaderRows();
  void NewItemRow();
  void Indicator();
  void FooterPanel();
  void StatusPanel();
  void Rows();
  // The node of the row after row I, also when that row lies below the rows area.
  TzmTreeListNode* NextRowNode(size_t I);
  // Where the level cells of a node's row start: one level further left without root lines.
  Integer LevelCellsLeft() const;
  // Where the line under a row starts, before the fixed bands cut it.
  Integer RowLineStart(TzmTreeListNode* Node, TzmTreeListNode* NextNode) const;
  void TreePart(const TzmTreeListRowDrawItem& Row, Integer Top, Integer Bottom, TzmTreeListNode* NextNode);
  void RowCells(const TzmTreeListRowDrawItem& Row, Integer Top, TzmTreeListNode* NextNode);
  void NodeFooters(const TzmTreeListRowDrawItem& Row, Integer FootersTop);
  void FooterCell(TRect R, Integer Column, TzmTreeListNode* Node, Integer FooterIndex, TColor TextColor,
                  TColor BackColor, HBRUSH Brush);
  void FocusMark(const TRect& R);
  void SeparatorStrips(Integer Top, Integer Bottom);

  bool CellSelected(TzmTreeListNode* Node, bool InFocusedColumn, bool RowSelected);
  bool NewItemCellSelected(bool InFocusedColumn);
  TCellColors CellColors(TzmTreeListNode* Node, Integer HeaderItem, bool Selected);
  HBRUSH LevelBrush(Integer Level);
  HBRUSH RowBrush(TzmTreeListNode* Node);
  bool IsParentRow(TzmTreeListNode* Node) const { return !T.FIsStandardPaint && Node->GetHasChildren(); }

  TCustomzmTreeList& T;
  const TzmTreeListAppearance& A;
  const TzmTreeListMetrics& M;
  TCanvas* C;
  TzmTreeListDrawInfo Info;
  TOwned<TBitmap> Buffer;
  TOwnedGdiObject BandBrush, HeaderBrush, GroupBrush, WindowBrush, ShadowBrush, SelectionBrush, TreeLineBrush,
      InactiveBrush, FooterBrush, SeparatorBrush, LevelBrushSlot;
  TColor LevelColor = clNone;
  COLORREF ShadowColor;
  std::vector<TColumnPaint> Columns;  // one per header item
  std::vector<POINT> Lines;
  bool FocusWithin;
  bool BothGrids;
  Integer FocusedColumn;
  bool NewItemActive;
};

TzmTreeListPainter::TzmTreeListPainter(TCustomzmTreeList& Tree)
    : T(Tree),
      A(Tree.FAppearance),
      M(Tree.FMetrics),
      C(Tree.GetCanvas()),
      Buffer(MakeOwned<TBitmap>()),
      BandBrush(SolidBrushOf(A.BandBackColor)),
      HeaderBrush(SolidBrushOf(A.HeaderBackColor)),
      GroupBrush(SolidBrushOf(A.GroupRowBackColor)),
      WindowBrush(SolidBrushOf(Tree.GetColor())),
      SelectionBrush(SolidBrushOf(A.SelectionBackColor)),
      TreeLineBrush(SolidBrushOf(A.TreeLinesColor)),
      InactiveBrush(SolidBrushOf(A.InactiveSelectionBackColor)),
      FooterBrush(SolidBrushOf(A.FooterBackColor)),
      SeparatorBrush(SolidBrushOf(A.FixedBandSeparatorColor)),
      ShadowColor(Tree.FFrameLook == zmflUltraFlat ? kUltraFlatShadow : ColorToRGB(clBtnShadow)) {
  ShadowBrush.Reset(CreateSolidBrush(ShadowColor));
  T.CalcDrawInfo(Info);
  FocusWithin = T.IsFocusedWithin();
  BothGrids = T.FShowGrid && T.FShowPreviewGrid;
  FocusedColumn = T.GetFocusedColumn();
  NewItemActive = T.IsNewItemRowActive();
  Columns.resize(Info.Headers.size());
  for (size_t i = 0; i < Info.Headers.size(); ++i) {
    TColor color = T.GetColumnColor(Info.Headers[i].ColumnIndex);
    Columns[i].Color = color;
    if (!SameColor(color, T.GetColor())) Columns[i].Brush.Reset(SolidBrushOf(color));
  }
}

void TzmTreeListPainter::AddLine(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  // The polyline leaves out its last point: one further along.
  Lines.push_back(POINT{X1, Y1});
  Lines.push_back(POINT{X1 == X2 ? X2 : X2 + 1, Y1 == Y2 ? Y2 : Y2 + 1});
}

void TzmTreeListPainter::DrawLines(TColor Color) {
  if (Lines.empty()) return;
  std::vector<DWORD> counts(Lines.size() / 2, 2);
  C->GetPen()->SetColor(Color);
  C->GetPen()->SetWidth(1);
  C->GetPen()->SetStyle(psSolid);
  PolyPolyline(DC(), Lines.data(), counts.data(), static_cast<DWORD>(counts.size()));
  Lines.clear();
}

void TzmTreeListPainter::UseFont(TFont* Font) {
  C->GetFont()->Assign(Font);
  SetTextColor(DC(), ColorToRGB(Font->GetColor()));
}

void TzmTreeListPainter::Run() {
  GroupPanel();
  BandRow();
  HeaderRows();
  NewItemRow();
  Indicator();
  FooterPanel();
  StatusPanel();
  Rows();
}

// ---------------------------------------------------------------------------------------------
// Areas

void TzmTreeListPainter::Corner(const TRect& R, HBRUSH Brush, bool Pressed) {
  if (!Visible(R)) return;
  TRect r = R;
  if (T.FFrameLook == zmflUltraFlat) {
    DrawEdge(DC(), &r, BDR_RAISEDOUTER, BF_TOP | BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
    FillRect(DC(), &r, Brush);
    if (Pressed) InvertRect(DC(), &r);
    return;
  }
  DrawButtonFace(DC(), r, Brush, Pressed, 0, T.FFrameLook);
}

template <class THook>
void TzmTreeListPainter::HeaderButton(const TRect& Bounds, const TRect& VisibleBounds, TzmHeaderButtonContent& Content,
                                      TColor Back, HBRUSH Brush, bool Custom, THook&& Hook) {
  if (!Custom) {
    DrawHeaderButtonBuffered(DC(), Bounds, VisibleBounds, Brush, Buffer.get(), Content);
    return;
  }
  {
    TSavedDCScope saved(DC());
    TzmSavedFont font(C, T.FScratchFont.get(), true);
    if (VisibleBounds != Bounds)
      IntersectClipRect(DC(), VisibleBounds.Left, VisibleBounds.Top, VisibleBounds.Right, VisibleBounds.Bottom);
    bool done = false;
    TColor color = Back;
    TOwnedGdiObject own;
    Hook(done, color);
    if (!done) {
      if (!SameColor(color, Back)) {
        own.Reset(SolidBrushOf(color));
        Brush = own.Get();
      }
      SetTextColor(DC(), ColorToRGB(C->GetFont()->GetColor()));
      DrawHeaderButtonBuffered(DC(), Bounds, VisibleBounds, Brush, Buffer.get(), Content);
    }
  }
  SetTextColor(DC(), ColorToRGB(C->GetFont()->GetColor()));
}

void TzmTreeListPainter::GroupPanel() {
  if (Visible(Info.GroupPanelRect))
    T.DrawGroupPanel(C, Info.GroupPanelRect, ShadowBrush.Get(), HeaderBrush.Get());
}

void TzmTreeListPainter::BandRow() {
  Corner(Info.BandCornerRect, BandBrush.Get(), T.FBandButtonDown);
  if (Visible(Info.BandRowRect) && !Info.Bands.empty()) {
    UseFont(T.FBandCaptionFont.get());
    bool custom = T.HasCustomDrawBand();
    for (const TzmTreeListBandDrawItem& item : Info.Bands) {
      if (!Visible(item.VisibleBounds)) continue;
      TzmHeaderButtonContent content;
      T.GetVisibleBandCaption(item.BandIndex, content.Text);
      content.Alignment = T.GetVisibleBandAlignment(item.BandIndex);
      content.Look = T.FFrameLook;
      content.MultiLineIndex = T.GetBandRowCount() > 1 ? 1 : 0;
      content.Pressed = T.FPressedBandDown && T.FPressedBand == item.BandIndex;
      HeaderButton(item.Bounds, item.VisibleBounds, content, A.BandBackColor, BandBrush.Get(), custom,
                   [&](bool& Done, TColor& Color) {
                     T.DoCustomDrawBand(item.BandIndex, C, Done, content.Alignment, C->GetFont(), Color, content.Text,
                                        item.VisibleBounds, item.Bounds);
                   });
    }
  }
  // The separators beside the fixed bands, down to the rows.
  Integer w = M.FixedBandSeparatorWidth;
  if (Visible(Info.LeftFixedRect))
    Fill({Info.LeftFixedRect.Right - w, Info.LeftFixedRect.Top, Info.LeftFixedRect.Right, Info.LeftFixedRect.Bottom},
         SeparatorBrush.Get());
  if (Visible(Info.RightFixedRect))
    Fill({Info.RightFixedRect.Left, Info.RightFixedRect.Top, Info.RightFixedRect.Left + w, Info.RightFixedRect.Bottom},
         SeparatorBrush.Get());
}

void TzmTreeListPainter::HeaderRows() {
  Corner(Info.HeaderCornerRect, HeaderBrush.Get(), T.FHeaderButtonDown);
  if (Visible(Info.HeaderRect) && !Info.Headers.empty()) {
    UseFont(T.FHeaderCaptionFont.get());
    Integer panelRows = T.GetHeaderPanelRowCount();
    for (size_t i = 0; i < Info.Headers.size(); ++i) {
      const TzmTreeListHeaderDrawItem& item = Info.Headers[i];
      if (Visible(item.FillBounds)) Fill(item.FillBounds, ShadowBrush.Get());
      if (!Visible(item.VisibleBounds)) continue;
      Integer column = item.ColumnIndex;
      TzmHeaderButtonContent content;
      content.Alignment = T.GetColumnHeaderAlignment(column);
      if (T.HasColumnHeaderGlyph(column)) content.Glyph = T.GetColumnHeaderGlyph(column);
      T.GetColumnHeaderCaption(column, content.Text);
      content.SortState = T.GetColumnSorted(column);
      content.DropDownState = T.GetHeaderButtonState(column);
      content.Look = T.FFrameLook;
      bool first = item.RowIndex == 0, last = item.RowIndex + item.RowSpan >= panelRows;
      content.Kind = first && last ? 0 : (first ? 2 : (last ? 1 : 3));
      content.MultiLineIndex = item.RowSpan > 1 || M.HeaderLineCount > 1 ? 1 : 0;
      content.Pressed = T.FPressedColumnDown && T.FPressedColumn == column;
      HeaderButton(item.Bounds, item.VisibleBounds, content, A.HeaderBackColor, HeaderBrush.Get(),
                   T.HasCustomDrawHeader(column), [&](bool& Done, TColor& Color) {
                     T.DoCustomDrawHeader(column, C, Done, content.SortState, content.Alignment, C->GetFont(), Color,
                                          content.Text, item.VisibleBounds, item.Bounds);
                   });
    }
  }
  for (const TzmTreeListEmptyBandDrawItem& empty : Info.EmptyBands)
    if (Visible(empty.Bounds)) Fill(empty.Bounds, ShadowBrush.Get());
}

// ---------------------------------------------------------------------------------------------
// Selection and colours

bool TzmTreeListPainter::CellSelected(TzmTreeListNode* Node, bool InFocusedColumn, bool RowSelected) {
  bool multi = T.IsMultiSelect(), invert = T.IsInvertSelection();
  if (!RowSelected || (NewItemActive && !multi)) return false;
  bool selected = T.IsRowSelect() || (multi && !invert) || (multi && invert && (NewItemActive || Node != T.FFocusedNode)) ||
                  (InFocusedColumn && !invert) || (!InFocusedColumn && invert);
  if (selected && A.HideSelectionWhenInactive && !FocusWithin) selected = false;
  return selected;
}

bool TzmTreeListPainter::NewItemCellSelected(bool InFocusedColumn) {
  bool invert = T.IsInvertSelection();
  bool selected = NewItemActive && (T.IsRowSelect() || (T.IsMultiSelect() && !invert) ||
                                    (InFocusedColumn && !invert) || (!InFocusedColumn && invert));
  if (selected && A.HideSelectionWhenInactive && !FocusWithin) selected = false;
  return selected;
}

HBRUSH TzmTreeListPainter::LevelBrush(Integer Level) {
  if (!T.HasLevelColorHandler()) return GroupBrush.Get();
  TColor color = A.GroupRowBackColor;
  T.DoGetLevelColor(Level, color);
  if (color == A.GroupRowBackColor) return GroupBrush.Get();
  if (color != LevelColor || !LevelBrushSlot.Get()) {
    LevelBrushSlot.Reset(SolidBrushOf(color));
    LevelColor = color;
  }
  return LevelBrushSlot.Get();
}

HBRUSH TzmTreeListPainter::RowBrush(TzmTreeListNode* Node) {
  return IsParentRow(Node) || (!T.FIsStandardPaint && T.IsNodeFullRow(Node)) ? LevelBrush(Node->GetLevel())
                                                                               : WindowBrush.Get();
}

TzmTreeListPainter::TCellColors TzmTreeListPainter::CellColors(TzmTreeListNode* Node, Integer HeaderItem,
                                                               bool Selected) {
  TCellColors colors;
  if (!FocusWithin && T.FExternalDragObject && Node == T.FFocusedNode) {
    colors = {SelectionBrush.Get(), A.SelectionForeColor, A.SelectionBackColor};
    return colors;
  }
  if (Selected) {
    if (FocusWithin) colors = {SelectionBrush.Get(), A.SelectionForeColor, A.SelectionBackColor};
    else colors = {InactiveBrush.Get(), A.InactiveSelectionForeColor, A.InactiveSelectionBackColor};
    return colors;
  }
  TColor fontColor = T.GetFont()->GetColor();
  if (Node && !T.FIsStandardPaint && (Node->GetHasChildren() || T.IsNodeFullRow(Node))) {
    colors.Text = A.GroupRowForeColor == clNone ? fontColor : A.GroupRowForeColor;
    colors.Brush = LevelBrush(Node->GetLevel());
    // A level colour of the event colours the whole row, text background included.
    colors.Back = colors.Brush == GroupBrush.Get() ? A.GroupRowBackColor : LevelColor;
    return colors;
  }
  Integer column = HeaderItem >= 0 ? Info.Headers[static_cast<size_t>(HeaderItem)].ColumnIndex : -1;
  colors.Text = column >= 0 && T.IsColumnFontAssigned(column) ? T.GetColumnFont(column)->GetColor() : fontColor;
  if (HeaderItem >= 0 && Columns[static_cast<size_t>(HeaderItem)].Brush.Get()) {
    colors.Back = Columns[static_cast<size_t>(HeaderItem)].Color;
    colors.Brush = Columns[static_cast<size_t>(HeaderItem)].Brush.Get();
  } else {
    colors.Back = T.GetColor();
    colors.Brush = WindowBrush.Get();
  }
  return colors;
}

void TzmTreeListPainter::FocusMark(const TRect& R) {
  if (R.IsEmpty()) return;
  if (FocusWithin) {
    if (!T.GetFocusCellOption()) DrawFocusRectangle(DC(), R);
    return;
  }
  if (!A.HideFocusRectWhenInactive && !T.FExternalDragObject) InvertFrame(DC(), R);
}

// ---------------------------------------------------------------------------------------------
// New-item row, indicator, footer and status panels

void TzmTreeListPainter::NewItemRow() {
  const TRect& row = Info.NewItemRowRect;
  if (!Visible(row)) return;
  Integer shift = ScrollShift(), gap = M.NewItemRowGap;
  Integer cellLeft = Info.RowsRect.Left, cellRight = Info.RowsRect.Right;
  // The raised bar under the row, as wide as the bands, and under the indicator's cell too.
  {
    TRect bar{cellLeft - shift, row.Bottom - gap, cellLeft - shift + T.GetTotalBandsWidth(), row.Bottom};
    if (Info.LeftFixedItem >= 0) bar.Left = cellLeft;
    if (Info.RightFixedItem >= 0) bar.Right = std::min(bar.Right, cellRight);
    Integer clipLeft = cellLeft;
    if (M.IndicatorWidth > 0) bar.Left = clipLeft = std::min(bar.Left, row.Left);
    TSavedDCScope saved(DC());
    IntersectClipRect(DC(), clipLeft, row.Top, cellRight, row.Bottom);
    DrawEdge(DC(), &bar, T.FFrameLook == zmflStandard ? EDGE_RAISED : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    Fill(bar, HeaderBrush.Get());
  }
  Integer top = row.Top, bottom = row.Top + M.RowHeight - (BothGrids ? 1 : 0);
  if (M.IndicatorWidth > 0) {
    TRect cell{row.Left, row.Top, row.Left + M.IndicatorWidth, row.Bottom - gap};
    DrawIndicatorCell(DC(), cell, cell, HeaderBrush.Get(), Buffer.get(),
                      (NewItemActive && T.FInteractionState == tlsEditing ? zigEdit : zigInsert) + 1, T.FFrameLook);
  }
  UseFont(T.GetFont());
  for (size_t i = 0; i < Info.Headers.size(); ++i) {
    const TzmTreeListHeaderDrawItem& item = Info.Headers[i];
    TRect cell{item.Bounds.Left, top + item.RowIndex * M.RowHeight, item.Bounds.Right, bottom};
    if (BothGrids) {
      AddLine(cell.Right - 1, cell.Top, cell.Right - 1, cell.Bottom);
      --cell.Right;
    }
    if (!Visible(cell)) continue;
    TSavedDCScope saved(DC());
    IntersectClipRect(DC(), item.VisibleBounds.Left, cell.Top, item.VisibleBounds.Right, cell.Bottom);
    bool inFocused = item.ColumnIndex == FocusedColumn;
    bool selected = NewItemCellSelected(inFocused);
    TCellColors colors = CellColors(T.FFocusedNode, static_cast<Integer>(i), selected);
    TzmTreeListCellPaint paint;
    paint.Rect = cell;
    paint.Node = T.FFocusedNode;
    paint.Column = item.ColumnIndex;
    paint.Selected = selected;
    paint.BackColor = colors.Back;
    paint.TextColor = colors.Text;
    paint.Brush = colors.Brush;
    paint.Kind = zmckNewItem;
    paint.AtLeftEdge = item.FirstOverall;
    paint.AtRightEdge = item.LastOverall;
    paint.CellColor = Columns[i].Brush.Get() ? Columns[i].Color : T.GetColor();
    paint.CellBrush = Columns[i].Brush.Get() ? Columns[i].Brush.Get() : WindowBrush.Get();
    T.DrawDataCell(C, Buffer.get(), paint);
    if (selected && !T.IsRowSelect() && !T.IsInvertSelection() && inFocused) FocusMark(cell);
  }
  if (NewItemActive && (T.IsRowSelect() || T.IsInvertSelection())) {
    TRect focus{cellLeft, top, cellLeft - shift + T.GetTotalBandsWidth(), bottom};
    if (Info.RightFixedItem >= 0) focus.Right = std::min(focus.Right, Info.RightFixedRect.Right);
    if (Info.LeftFixedItem >= 0) focus.Left = cellLeft;
    FocusMark(focus);
  }
  for (const TzmTreeListEmptyBandDrawItem& empty : Info.EmptyBands) {
    TRect part{empty.Bounds.Left, top, empty.Bounds.Right, bottom};
    Fill(part, WindowBrush.Get());
    if (BothGrids) AddLine(part.Right - 1, top, part.Right - 1, bottom);
  }
  if (T.FShowGrid) {
    AddLine(cellLeft, bottom, std::min(cellLeft - shift + T.GetTotalBandsWidth(), cellRight) - 1, bottom);
    DrawLines(T.GetGridLinesColor());
  }
  Lines.clear();
}

void TzmTreeListPainter::Indicator() {
  if (Info.IndicatorRect.IsEmpty() || M.IndicatorWidth == 0) return;
  Integer y = Info.RowsRect.Top;
  for (const TzmTreeListRowDrawItem& row : Info.Rows) {
    TRect cell{Info.IndicatorRect.Left, y, Info.IndicatorRect.Left + M.IndicatorWidth, y + row.Height};
    TRect visible = cell;
    visible.Bottom = std::min(visible.Bottom, Info.RowsRect.Bottom);
    y += std::max(row.Height, 1);
    if (!Visible(visible)) continue;
    Integer glyph = T.GetRowIndicatorGlyph(row.Node);
    DrawIndicatorCell(DC(), cell, visible, HeaderBrush.Get(), Buffer.get(), glyph + 1, T.FFrameLook);
  }
  Exclude({Info.IndicatorRect.Left, Info.RowsRect.Top, Info.IndicatorRect.Left + M.IndicatorWidth, Info.RowsRect.Bottom});
}

void TzmTreeListPainter::FooterCell(TRect R, Integer Column, TzmTreeListNode* Node, Integer FooterIndex,
                                    TColor TextColor, TColor BackColor, HBRUSH Brush) {
  if (T.FFrameLook == zmflUltraFlat) FrameRect(DC(), &R, GetSysColorBrush(COLOR_BTNSHADOW));
  else DrawEdge(DC(), &R, BDR_SUNKENOUTER, BF_RECT);
  R = Inset(R, 1);
  if (!Visible(R)) return;
  TzmTreeListCellPaint paint;
  paint.Rect = R;
  paint.Node = Node;
  paint.Column = Column;
  paint.FooterIndex = FooterIndex;
  paint.TextColor = TextColor;
  paint.BackColor = BackColor;
  paint.Brush = Brush;
  paint.Kind = zmckFooter;
  SetTextColor(DC(), ColorToRGB(TextColor));
  SetBkColor(DC(), ColorToRGB(BackColor));
  T.DrawTextCell(C, Buffer.get(), paint);
}

void TzmTreeListPainter::FooterPanel() {
  if (!Visible(Info.FooterRect)) return;
  TRect r = Info.FooterRect;
  Integer d = T.FIsFlat ? 1 : 2;
  bool scrolled = Info.LeftFixedItem < 0 && T.FHorzOffset != 0;
  if (scrolled) r.Left -= d;
  if (Info.RightFixedItem < 0 && Info.ContentRight + 1 > r.Right) r.Right += d;
  if (T.FIsFlat) {
    DrawEdge(DC(), &r, BDR_SUNKENOUTER, BF_TOP);
    ++r.Top;
    if (T.FFrameLook == zmflUltraFlat) Fill(r, HeaderBrush.Get());
    else DrawEdge(DC(), &r, BDR_RAISEDINNER, BF_RECT);
  } else {
    FrameRect(DC(), &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    r = {r.Left, r.Top + 1, r.Right - 1, r.Bottom - 1};
    DrawEdge(DC(), &r, BDR_RAISEDINNER, BF_RECT);
  }
  r = Inset(r, 1);
  Fill(r, HeaderBrush.Get());
  UseFont(T.GetFont());
  {
    TSavedDCScope saved(DC());
    IntersectClipRect(DC(), r.Left, r.Top, r.Right, r.Bottom);
    for (size_t i = 0; i < Info.Headers.size(); ++i) {
      const TzmTreeListHeaderDrawItem& item = Info.Headers[i];
      if (!T.HasFooterCell(item.ColumnIndex)) continue;
      Integer top = r.Top + item.RowIndex * M.FooterRowHeight;
      TRect cell{item.Bounds.Left, top, item.Bounds.Right, top + item.RowSpan * M.FooterRowHeight};
      if (item.BandIndex == 0 && cell.Left < Info.RowsRect.Left) cell.Left = Info.RowsRect.Left;
      cell = Inset(cell, 1);
      if (item.FirstOverall) ++cell.Left;
      if (item.LastInRow && item.BandIndex == T.GetVisibleBandCount() - 1) cell.Right -= 2;
      FooterCell(cell, item.ColumnIndex, nullptr, -1, T.GetFont()->GetColor(), A.HeaderBackColor, HeaderBrush.Get());
    }
  }
  Exclude(Info.FooterRect);
}

void TzmTreeListPainter::StatusPanel() {
  if (!Visible(Info.StatusRect)) return;
  const TRect& panel = Info.StatusRect;
  String text;
  T.GetStatusText(text);
  bool closeButton = T.HasStatusCloseButton();
  TRect textRect = Inset(panel, 2);
  if (closeButton) textRect.Left += kStatusTextIndent;
  DrawCellText(DC(), text, Length(text), panel, textRect, zmctVCenter, ShadowBrush.Get(), T.GetFont()->GetHandle(),
               ShadowColor, ColorToRGB(clBtnHighlight));
  if (closeButton) {
    TRect button;
    T.GetStatusCloseButtonRect(button);
    bool pressed = T.FStatusCloseButtonHot && T.FStatusCloseButtonDown, hot = T.FStatusCloseButtonHot;
    FillRect(DC(), &button, GetSysColorBrush(pressed ? COLOR_WINDOWFRAME : (hot ? COLOR_WINDOW : COLOR_BTNFACE)));
    COLORREF cross = GetSysColor(pressed ? COLOR_WINDOW : (hot ? COLOR_WINDOWFRAME : COLOR_BTNTEXT));
    HPEN pen = CreatePen(PS_SOLID, 1, cross);
    HGDIOBJ old = SelectObject(DC(), pen);
    TRect x = Inset(button, 2);
    for (Integer d = 0; d < 2; ++d) {
      MoveToEx(DC(), x.Left + d, x.Top, nullptr);
      LineTo(DC(), x.Right + d, x.Bottom);
      MoveToEx(DC(), x.Right - 1 - d, x.Top, nullptr);
      LineTo(DC(), x.Left - 1 - d, x.Bottom);
    }
    SelectObject(DC(), old);
    DeleteObject(pen);
  }
  Exclude(panel);
}

// ---------------------------------------------------------------------------------------------
// Rows

void TzmTreeListPainter::SeparatorStrips(Integer Top, Integer Bottom) {
  Integer w = M.FixedBandSeparatorWidth;
  if (!Info.LeftFixedRect.IsEmpty())
    Fill({Info.LeftFixedRect.Right - w, Top, Info.LeftFixedRect.Right, Bottom}, SeparatorBrush.Get());
  if (!Info.RightFixedRect.IsEmpty())
    Fill({Info.RightFixedRect.Left, Top, Info.RightFixedRect.Left + w, Bottom}, SeparatorBrush.Get());
}

void TzmTreeListPainter::Rows() {
  if (Visible(Info.EmptyRightRect)) Fill(Info.EmptyRightRect, WindowBrush.Get());
  if (Visible(Info.BelowRowsRect)) Fill(Info.BelowRowsRect, WindowBrush.Get());
  if (Info.Bands.empty() || Info.Rows.empty()) return;

  // The tree part, clipped to the indent column of the first band.
  {
    TSavedDCScope saved(DC());
    Integer left = Info.RowsRect.Left, right = left + Info.IndentClipWidth - ScrollShift();
    IntersectClipRect(DC(), left, Info.RowsRect.Top, std::max(right, left), Info.RowsRect.Bottom);
    bool dotted = T.FIsStandardPaint && A.TreeLinesVisible && A.TreeLinesStyle == zmtlDotted && HalftoneBrush();
    if (dotted) {
      // The dots fall where (x - cell area left) + (y - cell area top) is odd, wherever the area starts.
      bool sameParity = ((Info.RowsRect.Left + Info.RowsRect.Top) & 1) == 0;
      COLORREF lines = ColorToRGB(A.TreeLinesColor), back = ColorToRGB(T.GetColor());
      SetBkColor(DC(), sameParity ? lines : back);
      SetTextColor(DC(), sameParity ? back : lines);
    }
    Integer y = Info.RowsRect.Top;
    for (size_t i = 0; i < Info.Rows.size(); ++i) {
      const TzmTreeListRowDrawItem& row = Info.Rows[i];
      TreePart(row, y, y + row.Height, NextRowNode(i));
      y += std::max(row.Height, 1);
    }
  }

  UseFont(T.GetFont());
  Integer y = Info.RowsRect.Top;
  for (size_t i = 0; i < Info.Rows.size(); ++i) {
    RowCells(Info.Rows[i], y, NextRowNode(i));
    y += std::max(Info.Rows[i].Height, 1);
  }
  if (T.FShowGrid) {
    Integer bottom = Info.LastRowBottom >= 0 ? Info.LastRowBottom : Info.RowsRect.Bottom - 1;
    if (Info.ContentRight < Info.RowsRect.Right) AddLine(Info.ContentRight, Info.RowsRect.Top, Info.ContentRight, bottom);
  }
  DrawLines(T.FShowGrid ? T.GetGridLinesColor() : T.GetColor());
}

TzmTreeListNode* TzmTreeListPainter::NextRowNode(size_t I) {
  return I + 1 < Info.Rows.size() ? Info.Rows[I + 1].Node : T.GetNextVisible(Info.Rows[I].Node);
}

Integer TzmTreeListPainter::LevelCellsLeft() const {
  return Info.RowsRect.Left - ScrollShift() - (!T.FRootLinesVisible && T.FIsStandardPaint ? M.Indent : 0);
}

Integer TzmTreeListPainter::RowLineStart(TzmTreeListNode* Node, TzmTreeListNode* NextNode) const {
  Integer cellLeft = Info.RowsRect.Left, step = M.Indent, level = Node->GetLevel();
  bool parent = Node->GetHasChildren();
  if (!T.FShowGrid && parent) return std::max(LevelCellsLeft() + (level + 1) * step, cellLeft);
  Integer extent = level * step + (Node->GetExpanded() && parent ? step - 1 : 0) - (!parent && Node->IsLast() ? step : 0);
  if (NextNode && NextNode->GetLevel() < level) extent = NextNode->GetLevel() * step;
  if (!NextNode) extent = 0;
  if (!T.FRootLinesVisible && T.FIsStandardPaint) extent -= step;
  extent = std::clamp(extent, 0, std::max(Info.IndentClipWidth, 0));
  return std::max(cellLeft + extent - ScrollShift(), cellLeft);
}

void TzmTreeListPainter::TreePart(const TzmTreeListRowDrawItem& Row, Integer Top, Integer Bottom,
                                  TzmTreeListNode* NextNode) {
  TzmTreeListNode* node = Row.Node;
  TzmNodeAccess access(&T, node, &TCustomzmTreeList::BeginNodeAccess, &TCustomzmTreeList::EndNodeAccess);
  Integer indent, textLeft;
  T.GetNodeIndent(node, indent, textLeft);
  Integer level = node->GetLevel(), step = M.Indent, gridW = Info.GridLineWidth;
  bool standard = T.FIsStandardPaint, parent = node->GetHasChildren();
  Integer left0 = LevelCellsLeft();
  Integer cells = level + (parent || standard ? 1 : 0);
  Integer rowBottom = Bottom - Row.FooterHeight;
  // Only the level cells above the line under the row leave it room.
  Integer lineStart = gridW > 0 ? RowLineStart(node, NextNode) : 0;
  bool groupTopGap = parent && !standard && !T.FShowGrid;
  // Level cells.
  for (Integer k = 0; k < cells; ++k) {
    TRect cell{left0 + k * step, Top, left0 + k * step + step - 1, Bottom};
    if (standard && !T.FShowGrid) ++cell.Right;
    else if (gridW > 0 && cell.Right > lineStart) cell.Bottom -= gridW;
    if (k == cells - 1 && groupTopGap) ++cell.Top;
    cell.Bottom -= T.CountNodeFootersBelowLevel(node, k) * M.NodeFooterHeight;
    HBRUSH brush = WindowBrush.Get();
    if (!standard) brush = k > (parent ? level : level - 1) ? GroupBrush.Get() : LevelBrush(k);
    Fill(cell, brush);
  }
  Integer cellL = left0 + level * step;
  // A group row starts one pixel lower: the separator above it has the colour of the lines under rows.
  if (groupTopGap) Fill({cellL, Top, Info.RowsRect.Left - ScrollShift() + textLeft, Top + 1}, WindowBrush.Get());
  Integer cx = cellL + step / 2 - 1, cy = Top + (rowBottom - Top) / 2;
  bool button = parent && A.ExpandButtonsVisible;
  if (standard && A.TreeLinesVisible) {
    bool dotted = A.TreeLinesStyle == zmtlDotted && HalftoneBrush();
    HBRUSH lines = dotted ? HalftoneBrush() : TreeLineBrush.Get();
    auto hline = [&](Integer x1, Integer x2, Integer y) { Fill({x1, y, x2, y + 1}, lines); };
    auto vline = [&](Integer x, Integer y1, Integer y2) { Fill({x, y1, x + 1, y2}, lines); };
    bool firstRoot = T.IsFirstNode(node), lastChild = node->IsLast();
    hline(button ? cx + 5 : cx, cellL + step, cy);
    if (button) {
      if (!firstRoot) vline(cx, Top, cy - 4);
      if (!lastChild) vline(cx, cy + 5, rowBottom);
    } else {
      vline(cx, firstRoot ? cy : Top, lastChild ? cy + 1 : rowBottom);
    }
    Integer x = cx;
    for (TzmTreeListNode* ancestor = node->GetParent(); ancestor; ancestor = ancestor->GetParent()) {
      x -= step;
      if (!ancestor->IsLast()) vline(x, Top, rowBottom);
    }
  }
  if (parent && !standard) {
    Integer x = left0 + cells * step - 1;
    Fill({x, Top, x + 1, rowBottom}, WindowBrush.Get());
  }
  if (button) {
    TRect r{cellL, Top, cellL + step - 1, Bottom - gridW};
    bool plus = !node->GetExpanded();
    if (standard) DrawExpandButton(C, r, cy, plus);
    else if (T.FFrameLook == zmflUltraFlat) DrawFlatExpandButton(DC(), r, plus);
    else DrawBitmapExpandButton(C, r, plus);
  }
  // Images: the state image, then the node's (selected) image.
  HBRUSH brush = standard || (!parent && !T.IsNodeFullRow(node)) ? WindowBrush.Get() : LevelBrush(level);
  Integer x = Info.RowsRect.Left - ScrollShift() + indent;
  Integer imageTop = Top + (groupTopGap ? 1 : 0), imageBottom = Bottom - gridW - Row.FooterHeight;
  Integer state = T.GetNodeStateIndex(node);
  if (state != -1) {
    TRect r{x, imageTop, x + M.StateImageWidth, imageBottom};
    Fill(r, brush);
    DrawImageCentered(C, r, T.FNodeStateImages, state);
    x = r.Right;
  }
  TRect r{x, imageTop, x + M.ImageWidth, imageBottom};
  Fill(r, brush);
  Integer image = node->GetSelected() ? T.GetNodeSelectedIndex(node) : T.GetNodeImageIndex(node);
  if (image == -1 && node->GetSelected()) image = T.GetNodeImageIndex(node);
  if (image != -1) DrawImageCentered(C, r, T.FNodeImages, image);
}

void TzmTreeListPainter::RowCells(const TzmTreeListRowDrawItem& Row, Integer Top, TzmTreeListNode* NextNode) {
  TzmTreeListNode* node = Row.Node;
  TzmNodeAccess access(&T, node, &TCustomzmTreeList::BeginNodeAccess, &TCustomzmTreeList::EndNodeAccess);
  Integer shift = ScrollShift(), gridW = Info.GridLineWidth, step = M.Indent;
  Integer bottom = Top + Row.Height, cellLeft = Info.RowsRect.Left;
  Integer bandsRight = cellLeft - shift + T.GetTotalBandsWidth();
  if (Info.RightFixedItem >= 0) bandsRight = std::min(bandsRight, Info.RowsRect.Right);
  bool parentGrouped = IsParentRow(node);
  Integer topOffset = parentGrouped && !T.FShowGrid ? 1 : 0;
  Integer indent, textLeft;
  T.GetNodeIndent(node, indent, textLeft);
  Integer textStart = cellLeft - shift + textLeft;
  Integer previewPart = Row.PreviewLines > 0
                            ? Row.PreviewLines * M.PreviewTextHeight + 2 + (BothGrids ? 1 : 0) + gridW
                            : 0;
  // A row cut by the bottom of the rows area keeps its cells down to that edge: its line lies below it.
  Integer cellsEnd = bottom - Row.FooterHeight - previewPart;
  Integer cellBottom = std::min(cellsEnd, Info.RowsRect.Bottom);
  bool focusedRow = node == T.FFocusedNode && !NewItemActive;
  bool rowSelect = T.IsRowSelect() || T.IsInvertSelection();
  HBRUSH rowBrush = RowBrush(node);
  // The separator above a group row, as in the tree part.
  if (topOffset > 0) Fill({std::max(textStart, cellLeft), Top, bandsRight, Top + topOffset}, WindowBrush.Get());

  if (Row.FullRow) {
    TRect cell{textStart, Top + topOffset, bandsRight, cellBottom};
    bool selected = CellSelected(node, false, Row.Selected);
    TCellColors colors = CellColors(node, -1, selected);
    TzmTreeListCellPaint paint;
    paint.Rect = cell;
    paint.Node = node;
    paint.Column = 0;
    paint.Selected = selected;
    paint.FocusedCell = FocusWithin && focusedRow;
    paint.BackColor = colors.Back;
    paint.TextColor = colors.Text;
    paint.Brush = colors.Brush;
    paint.Kind = zmckFullRow;
    paint.AtLeftEdge = paint.AtRightEdge = true;
    if (Visible(cell)) T.DrawTextCell(C, Buffer.get(), paint);
    if (focusedRow) FocusMark(cell);
  } else {
    SeparatorStrips(Top, bottom);
    bool singleRow = T.GetHeaderPanelRowCount() == 1;
    for (size_t i = 0; i < Info.Headers.size(); ++i) {
      const TzmTreeListHeaderDrawItem& item = Info.Headers[i];
      TRect cell{item.Bounds.Left, Top + topOffset + item.RowIndex * M.RowHeight, item.Bounds.Right, 0};
      cell.Bottom = cell.Top + item.RowSpan * M.RowHeight - (BothGrids ? 1 : 0);
      if (singleRow) cell.Bottom = std::min(cellsEnd - gridW, Info.RowsRect.Bottom);
      cell.Bottom = std::min(cell.Bottom, cellBottom);
      if (item.FirstOverall) cell.Left = std::max(cell.Left, textStart);
      if (BothGrids) {
        bool atFixedEdge = item.LastInRow && ((Info.LeftFixedItem >= 0 && item.BandIndex == Info.Bands[0].BandIndex) ||
                                              (Info.RightFixedItem >= 0 && item.BandIndex + 1 ==
                                                                               Info.Bands[static_cast<size_t>(
                                                                                              Info.RightFixedItem)]
                                                                                   .BandIndex));
        if (!atFixedEdge) {
          --cell.Right;
          if (cell.Right >= cell.Left) AddLine(cell.Right, cell.Top, cell.Right, cell.Bottom);
        }
        if (!singleRow && item.RowIndex + item.RowSpan < T.GetHeaderPanelRowCount())
          AddLine(cell.Left, cell.Bottom, cell.Right, cell.Bottom);
      }
      if (item.FillBounds.Height() > 0 && !singleRow) {
        TRect extra{item.Bounds.Left, cell.Bottom, item.Bounds.Right, cellBottom - gridW};
        Fill(extra, rowBrush);
      }
      if (cell.IsEmpty() || !Visible(cell)) continue;
      bool inFocused = item.ColumnIndex == FocusedColumn;
      bool selected = CellSelected(node, inFocused, Row.Selected);
      TCellColors colors = CellColors(node, static_cast<Integer>(i), selected);
      TzmTreeListCellPaint paint;
      paint.Rect = cell;
      paint.Node = node;
      paint.Column = item.ColumnIndex;
      paint.Selected = selected;
      paint.FocusedCell = FocusWithin && node == T.FFocusedNode &&
                          (T.IsInvertSelection() || T.IsRowSelect() || inFocused);
      paint.BackColor = colors.Back;
      paint.TextColor = colors.Text;
      paint.Brush = colors.Brush;
      paint.MultiLine = item.RowSpan > 1 || (Row.LineCount > 1);
      paint.Kind = zmckRow;
      paint.AtLeftEdge = item.FirstOverall;
      paint.AtRightEdge = item.LastOverall;
      paint.CellColor = Columns[i].Brush.Get() ? Columns[i].Color : T.GetColor();
      paint.CellBrush = Columns[i].Brush.Get() ? Columns[i].Brush.Get() : WindowBrush.Get();
      // A cell cut by a fixed band or its separator is drawn whole, clipped to its visible part.
      if (item.VisibleBounds.Left > item.Bounds.Left || item.VisibleBounds.Right < item.Bounds.Right) {
        TSavedDCScope saved(DC());
        IntersectClipRect(DC(), item.VisibleBounds.Left, Info.RowsRect.Top, item.VisibleBounds.Right,
                          Info.RowsRect.Bottom);
        T.DrawDataCell(C, Buffer.get(), paint);
        if (focusedRow && !rowSelect && inFocused) FocusMark(cell);
      } else {
        T.DrawDataCell(C, Buffer.get(), paint);
        if (focusedRow && !rowSelect && inFocused) FocusMark(cell);
      }
    }
    for (const TzmTreeListEmptyBandDrawItem& empty : Info.EmptyBands) {
      TRect part{empty.Bounds.Left, Top, empty.Bounds.Right, bottom - Row.FooterHeight};
      Fill(part, rowBrush);
      if (BothGrids) AddLine(part.Right - 1, Top, part.Right - 1, part.Bottom - 1);
    }
    if (Row.PreviewLines > 0) {
      TRect preview{std::max(cellLeft, textStart), cellBottom, bandsRight, bottom - Row.FooterHeight - gridW};
      if (BothGrids) {
        AddLine(preview.Left, preview.Top, preview.Right - 1, preview.Top);
        ++preview.Top;
      }
      if (Visible(preview)) {
        bool selected = CellSelected(node, true, Row.Selected) && (T.IsRowSelect() || T.IsMultiSelect());
        TCellColors colors = CellColors(node, -1, selected);
        T.DrawPreview(C, preview, Buffer.get(), node, colors.Back, colors.Text, colors.Brush, selected);
      }
    }
    NodeFooters(Row, bottom - Row.FooterHeight);
    if (focusedRow && rowSelect) {
      TRect focus{std::max(textStart, cellLeft), Top + topOffset, bandsRight, cellBottom - gridW};
      if (singleRow) focus.Bottom = cellBottom - gridW;
      FocusMark(focus);
    }
  }

  // Level grid lines.
  Integer levels = T.FIsStandardPaint ? (T.FShowGrid ? node->GetLevel() + 1 : 0) : node->GetLevel();
  Integer left0 = LevelCellsLeft();
  Integer clipRight = cellLeft + Info.IndentClipWidth - shift;
  for (Integer k = 0; k < levels; ++k) {
    Integer x = left0 + k * step + step - 1;
    if (x >= cellLeft && x < clipRight) AddLine(x, Top, x, bottom - Row.FooterHeight - 1);
  }

  // The line under the row.
  if (T.FShowGrid || parentGrouped) {
    Integer start = RowLineStart(node, NextNode);
    Integer y = bottom - 1;
    Integer end = bandsRight - 1 + (T.FShowGrid ? 0 : 1);
    bool cut = Row.PreviewLines == 0 && Row.FooterCount == 0 && !Row.FullRow;
    Integer w = M.FixedBandSeparatorWidth;
    if (cut && !Info.LeftFixedRect.IsEmpty() && start < Info.LeftFixedRect.Right) {
      AddLine(start, y, Info.LeftFixedRect.Right - w - 1, y);
      start = Info.LeftFixedRect.Right;
    }
    if (cut && !Info.RightFixedRect.IsEmpty() && end >= Info.RightFixedRect.Left) {
      AddLine(start, y, Info.RightFixedRect.Left - 1, y);
      start = Info.RightFixedRect.Left + w;
    }
    if (start <= end) AddLine(start, y, end, y);
  }
}

void TzmTreeListPainter::NodeFooters(const TzmTreeListRowDrawItem& Row, Integer FootersTop) {
  TzmTreeListNode* node = Row.Node;
  Integer shift = ScrollShift(), step = M.Indent;
  Integer totalRight = Info.RowsRect.Left + T.GetTotalBandsWidth() - (BothGrids ? 1 : 0);
  for (Integer j = 0; j < Row.FooterCount; ++j) {
    Integer level = T.GetNodeFooterLevel(node, j);
    TRect r{Info.RowsRect.Left + (level >= 0 ? (level + 1) * step : 0), FootersTop + j * M.NodeFooterHeight, totalRight,
            FootersTop + (j + 1) * M.NodeFooterHeight};
    if (!T.FRootLinesVisible && T.FIsStandardPaint) r.Left -= step;
    if (Info.LeftFixedItem < 0) {
      r.Left -= shift;
      r.Right -= shift;
    }
    if (Info.RightFixedItem >= 0) {
      r.Right = std::min(r.Right, Info.RowsRect.Right - (BothGrids ? 1 : 0));
      r.Left = std::min(r.Left, Info.RightFixedRect.Left);
    }
    r.Left = std::max(r.Left, Info.RowsRect.Left);
    if (BothGrids) {
      AddLine(r.Left, r.Top, r.Right, r.Top);
      AddLine(r.Right, r.Top, r.Right, r.Bottom - 1);
      ++r.Top;
    }
    TColor back = A.FooterBackColor;
    HBRUSH brush = FooterBrush.Get();
    if (T.HasLevelColorHandler()) {
      brush = LevelBrush(level);
      back = LevelColor == clNone ? A.GroupRowBackColor : LevelColor;
    }
    Fill(r, brush);
    for (const TzmTreeListHeaderDrawItem& item : Info.Headers) {
      if (!T.IsRowFooterCellShown(node, item.ColumnIndex, j)) continue;
      TRect cell{item.Bounds.Left, r.Top + item.RowIndex * M.FooterRowHeight, item.Bounds.Right,
                 r.Top + (item.RowIndex + item.RowSpan) * M.FooterRowHeight};
      cell.Left = std::max(cell.Left, r.Left);
      cell = Inset(cell, 1);
      FooterCell(cell, item.ColumnIndex, node, j, A.FooterForeColor, back, brush);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The control's side

void TCustomzmTreeList::Paint() {
  TzmTreeListPainter painter(*this);
  painter.Run();
}

TColor TCustomzmTreeList::GetGridLinesColor() {
  return FAppearance.GridLinesColorOverride != clNone ? FAppearance.GridLinesColorOverride
                                                      : FAppearance.GridLinesColor;
}

Integer TCustomzmTreeList::GetRowIndicatorGlyph(TzmTreeListNode* Node) {
  if (!Node) return -1;
  if (Node == FFocusedNode && !FNewItemRowFocused) {
    if (FInteractionState == tlsEditing && FEditorNode == Node) return zigEdit;
    return IsMultiSelect() && GetSelectedCount() > 1 ? zigMultiArrow : zigArrow;
  }
  return IsNodeSelected(Node) ? zigMultiDot : -1;
}

void TCustomzmTreeList::CreateExpandButtonGlyphs() {
  for (bool plus : {false, true}) {
    TBitmap* bitmap = plus ? ExpandPlusBitmap() : ExpandMinusBitmap();
    if (!bitmap) continue;
    bitmap->SetSize(kExpandGlyphSize, kExpandGlyphSize);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    TRect r{0, 0, kExpandGlyphSize, kExpandGlyphSize};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    r.Left += 1;
    r.Top += 1;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    TRect minus{3, 5, 9, 7};
    FillRect(dc, &minus, GetSysColorBrush(COLOR_BTNTEXT));
    if (plus) {
      TRect bar{5, 3, 7, 9};
      FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNTEXT));
    }
  }
}
