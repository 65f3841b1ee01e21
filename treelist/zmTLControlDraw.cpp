// The tree list with columns: its custom-draw events, the cells drawn and measured by the
// columns' editor classes, and best fit.
#include <algorithm>

#include "platform/forms/Graphics.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLResources.h"

namespace {

// A column's current node for a block, cleared again on leaving (also by an exception).
class TCurrentNodeScope {
 public:
  TCurrentNodeScope(TzmTreeListColumn* Column, TzmTreeListNode* Node) : FColumn(Column) {
    FColumn->SetCurrentNode(Node);
  }
  ~TCurrentNodeScope() { FColumn->SetCurrentNode(nullptr); }
  TCurrentNodeScope(const TCurrentNodeScope&) = delete;
  TCurrentNodeScope& operator=(const TCurrentNodeScope&) = delete;

 private:
  TzmTreeListColumn* FColumn;
};

constexpr Integer kCellHeightExtra = 3;
constexpr Integer kHeaderButtonExtra = 15;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Custom drawing

bool TCustomzmTreeListControl::HasCustomDrawCell(TzmTreeListNode*, Integer Column) {
  if (OnCellPreDraw || OnCellCustomDraw) return true;
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->HasCustomDrawCell();
}

bool TCustomzmTreeListControl::HasCustomDrawFooter(TzmTreeListNode*, Integer, Integer FooterIndex) {
  return FooterIndex == -1 ? static_cast<bool>(OnFooterCustomDraw) : static_cast<bool>(OnNodeFooterCustomDraw);
}

bool TCustomzmTreeListControl::HasCustomDrawHeader(Integer Column) {
  if (OnHeaderCustomDraw) return true;
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->OnCustomDrawColumnHeader;
}

void TCustomzmTreeListControl::DoCustomDrawBand(Integer Band, TCanvas* Canvas, bool& Done, TAlignment& Alignment,
                                                TFont* Font, TColor& Color, String& Text, const TRect&,
                                                const TRect& Rect) {
  if (OnBandCustomDraw) OnBandCustomDraw(this, VisibleBand(Band), Canvas, Rect, Text, Color, Font, Alignment, Done);
}

void TCustomzmTreeListControl::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, bool& Done, TAlignment& Alignment,
                                                TFont* Font, TColor& Color, String& Text, HBRUSH, bool, bool,
                                                bool NewItemRow, bool Focused, bool Selected, Integer Column,
                                                TzmTreeListNode* Node) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (OnCellPreDraw) OnCellPreDraw(this, Canvas, Rect, Node, column, Text, Font, Color, Selected, Focused, Done);
  if (Done) return;
  if (OnCellCustomDraw)
    OnCellCustomDraw(this, Canvas, Rect, Node, column, Selected, Focused, NewItemRow, Text, Color, Font, Alignment,
                     Done);
  if (Done || !column) return;
  if (NewItemRow ? ShowsNewItemRowValues() : !IsNodeFullRow(Node))
    column->DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, NewItemRow, Text, Color, Font, Alignment, Done);
}

void TCustomzmTreeListControl::DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, bool& Done,
                                                  TAlignment& Alignment, TFont* Font, TColor& Color, String& Text,
                                                  Integer FooterIndex, Integer Column, TzmTreeListNode* Node) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (FooterIndex == -1) {
    if (OnFooterCustomDraw) OnFooterCustomDraw(this, Canvas, Rect, Node, column, Text, Color, Font, Alignment, Done);
  } else if (OnNodeFooterCustomDraw) {
    OnNodeFooterCustomDraw(this, Canvas, Rect, Node, column, FooterIndex, Text, Color, Font, Alignment, Done);
  }
}

void TCustomzmTreeListControl::DoCustomDrawHeader(Integer Column, TCanvas* Canvas, bool& Done,
                                                  TzmTreeListColumnSort& Sorted, TAlignment& Alignment, TFont* Font,
                                                  TColor& Color, String& Text, const TRect&, const TRect& Rect) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (OnHeaderCustomDraw) OnHeaderCustomDraw(this, column, Canvas, Rect, Text, Color, Font, Alignment, Sorted, Done);
  if (!Done && column && column->OnCustomDrawColumnHeader)
    column->OnCustomDrawColumnHeader(column, column, Canvas, Rect, Text, Color, Font, Alignment, Sorted, Done);
}

void TCustomzmTreeListControl::DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, bool& Done, TFont* Font,
                                                   TColor& TextColor, TColor& Color, String& Text, bool Selected,
                                                   TzmTreeListNode* Node) {
  if (OnPreviewPreDraw) OnPreviewPreDraw(this, Canvas, Rect, Node, Selected, Text, Done);
  if (!Done && OnPreviewCustomDraw) OnPreviewCustomDraw(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
}

void TCustomzmTreeListControl::DoGetLevelColor(Integer Level, TColor& Color) {
  if (OnLevelColor) OnLevelColor(this, Level, Color);
}

// ---------------------------------------------------------------------------------------------
// Cells through the editor classes

TRect TCustomzmTreeListControl::GetEditorBounds(const TRect& Cell) {
  return Rect(Cell.Left - 2, Cell.Top - 2, Cell.Right + 2, Cell.Bottom + 2);
}

void TCustomzmTreeListControl::DrawCellByEditor(HDC DC, const TRect& Rect, Integer Column,
                                                TzmTreeListCellViewData* ViewData) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column) return;
  TCurrentNodeScope current(column, ViewData->OwnerNode);
  TzmEditViewData* view = column->GetViewData();
  column->PrepareViewData(view, ViewData);
  if (ViewData->IsBlankNewRow) view->DrawValue = String();
  TRect r = Rect;
  if (ViewData->InvertsSelection) {
    // The selection shows inside a frame of the cell's own colour.
    TRect top{r.Left, r.Top, r.Right, r.Top + 1}, bottom{r.Left, r.Bottom - 1, r.Right, r.Bottom};
    FillRect(DC, &top, ViewData->BrushHandle);
    FillRect(DC, &bottom, ViewData->BrushHandle);
    ++r.Top;
    --r.Bottom;
    if (ViewData->AtLeftEdge) {
      TRect left{r.Left, r.Top, r.Left + 1, r.Bottom};
      FillRect(DC, &left, ViewData->BrushHandle);
      ++r.Left;
    }
    if (ViewData->AtRightEdge) {
      TRect right{r.Right - 1, r.Top, r.Right, r.Bottom};
      FillRect(DC, &right, ViewData->BrushHandle);
      --r.Right;
    }
  }
  view->ViewRect = GetEditorBounds(r);
  column->GetEditorClass()->Ops->Draw(DC, r, view, nullptr);
}

bool TCustomzmTreeListControl::CalcCellLineCount(TzmTreeListNode* Node, Integer Column, Integer& Height,
                                                 Integer& Lines, bool, bool, Integer MaxLines, Integer TextHeight,
                                                 Integer Width, const String& Text) {
  TzmTreeListColumn* column = ColumnAt(Column);
  bool done = false;
  if (OnRowLineHeight) OnRowLineHeight(this, Node, column, Text, Width, MaxLines, Height, Lines, done);
  if (!done && column) {
    TzmTreeListCellViewData& v = *GetCellViewData();
    TFont* font = IsColumnFontAssigned(Column) ? GetColumnFont(Column) : GetFont();
    HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    v.BrushHandle = brush;
    v.FontHandle = font->GetHandle();
    v.BackColor = v.ForeColor = static_cast<TColor>(0);
    v.TextAlignment = column->GetAlignment();
    v.Text = Text;
    v.MarkedLength = 0;
    v.IsSelected = v.InvertsSelection = v.AtLeftEdge = v.AtRightEdge = false;
    v.IsMultiLine = true;
    v.DrawsMarkedPart = v.UsesEndEllipsis = v.IsBlankNewRow = false;
    v.OwnerNode = Node;
    v.SelectionColor = GetSelectionBackColor();
    v.CellBrushHandle = brush;
    v.CellColor = v.BackColor;
    v.IsHotTracked = GetHotSpot().Node && GetHotSpot().Node == Node && GetHotSpot().ColumnIndex == Column;
    v.EditorBounds = GetEditorBounds(Rect(0, 0, Width, TextHeight));
    TCurrentNodeScope current(column, Node);
    TzmEditViewData* view = column->GetViewData();
    column->PrepareViewData(view, &v);
    view->ViewRect = GetEditorBounds(Rect(0, 0, Width, TextHeight));
    view->MeasureOnly = true;
    const TzmInplaceEditClassOps* ops = column->GetEditorClass()->Ops;
    TzmEditViewInfo info;
    ops->CalcViewInfo(view, false, info);
    HDC dc = TreeListMeasureDC() ? TreeListMeasureDC() : GetDC(nullptr);
    bool measured = ops->DrawContent(dc, info.ContentRect, view, false);
    if (!TreeListMeasureDC()) ReleaseDC(nullptr, dc);
    view->MeasureOnly = false;
    if (measured) {
      Height = view->TextHeight;
      Lines = view->LineCount;
      if (MaxLines != -1 && MaxLines < Lines) {
        Lines = MaxLines;
        Height = view->LineHeight * Lines;
      }
    } else {
      Lines = 1;
    }
  }
  Height += kCellHeightExtra;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Best fit

bool TCustomzmTreeListControl::IsTreeColumn(TzmTreeListColumn* Column) {
  Integer index = IndexOfColumn(Column);
  return index >= 0 && IsColumnShown(index) && GetBandVisibleIndex(Column->GetBandIndex()) == 0 &&
         Column->GetColIndex() == 0;
}

void TCustomzmTreeListControl::ApplyBestFit(TzmTreeListColumn* Column) {
  TUpdateScope update(Column ? nullptr : this);
  TCanvas* canvas = GetCanvas();
  HDC measure = TreeListMeasureDC();
  bool bound = !canvas->HandleAllocated() && measure;
  if (bound) canvas->SetHandle(measure);
  struct TUnbind {
    TCanvas* Canvas;
    bool Bound;
    ~TUnbind() {
      if (Bound) Canvas->SetHandle(nullptr);
    }
  } unbind{canvas, bound};
  canvas->GetFont()->Assign(GetFont());
  Integer margin = canvas->TextWidth("0") / 2 + 1;
  const TzmTreeListMetrics& m = GetMetrics();
  std::vector<TzmTreeListColumn*> columns;
  if (Column) columns.push_back(Column);
  else columns = FColumnList;
  for (TzmTreeListColumn* column : columns) {
    Integer index = IndexOfColumn(column);
    if (index < 0) continue;
    bool tree = IsTreeColumn(column);
    canvas->GetFont()->Assign(IsColumnFontAssigned(index) ? GetColumnFont(index) : GetFont());
    Integer widest = 0;
    // Every node, expanded or not: children before their parent.
    std::vector<std::pair<TzmTreeListNode*, bool>> pending;
    for (Integer i = GetRootCount() - 1; i >= 0; --i) pending.emplace_back(GetRootNode(i), false);
    while (!pending.empty()) {
      auto [node, visited] = pending.back();
      pending.pop_back();
      if (!visited && node->GetCount() > 0) {
        pending.emplace_back(node, true);
        for (Integer i = node->GetCount() - 1; i >= 0; --i) pending.emplace_back(node->GetItem(i), false);
        continue;
      }
      if (IsNodeFullRow(node)) continue;
      Integer width = column->GetBestFitWidth(canvas, node);
      if (tree) {
        Integer levels = GetRootLinesVisible() && GetRowPaintStyle() == zmrpStandard ? node->GetLevel() + 1
                                                                                     : node->GetLevel();
        width += levels * m.Indent;
        if (GetNodeStateIndex(node) != -1) width += m.StateImageWidth;
        width -= GetLeadingWidth();
        if (GetNodeImageIndex(node) != -1 || GetNodeSelectedIndex(node) != -1) width += m.ImageWidth;
      }
      widest = std::max(widest, width);
    }
    canvas->GetFont()->Assign(GetHeaderCaptionFont());
    Integer caption = canvas->TextWidth(column->GetCaption()) + (column->GetDisableHeaderButton() ? 0 : kHeaderButtonExtra);
    widest = std::max(widest, caption);
    if (column->GetSizing()) column->SetWidth(widest + 2 * margin);
  }
}

void TCustomzmTreeListControl::BestFitBand(Integer VisibleIndex) {
  std::vector<TzmTreeListColumn*> columns;
  for (Integer r = 0; r < GetHeaderRowCount(VisibleIndex); ++r)
    for (Integer c = 0; c < GetHeaderColCount(VisibleIndex, r); ++c)
      if (TzmTreeListColumn* column = ColumnAt(GetHeaderColumnIndex(VisibleIndex, r, c))) columns.push_back(column);
  {
    TUpdateScope update(this);
    for (TzmTreeListColumn* column : columns) ApplyBestFit(column);
  }
  DoColumnsWidthChanged();
}

void TCustomzmTreeListControl::BestFitColumn(Integer Column) {
  if (TzmTreeListColumn* column = ColumnAt(Column)) ApplyBestFit(column);
  DoColumnsWidthChanged();
}
