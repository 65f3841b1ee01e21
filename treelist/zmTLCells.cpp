// Cell drawing of the tree list: data cells handed to their column's editor class through the
// cell view data, text cells (footers, full-row and new-item texts) and previews, each with its
// custom-draw hook, and the incremental search's match and focus rectangle.
#include <algorithm>

#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLDrawScopes.h"
#include "treelist/zmTLHelpers.h"

namespace {

// The DC's background colour put back on leaving when asked to.
class TSavedBkColor {
 public:
  explicit TSavedBkColor(HDC DC) : FDC(DC), FColor(GetBkColor(DC)) {}
  ~TSavedBkColor() {
    if (FRestore) SetBkColor(FDC, FColor);
  }
  TSavedBkColor(const TSavedBkColor&) = delete;
  TSavedBkColor& operator=(const TSavedBkColor&) = delete;
  void RestoreOnExit() { FRestore = true; }

 private:
  HDC FDC;
  COLORREF FColor;
  bool FRestore = false;
};

// A search colour: the setting, or for clNone the given colour with every RGB bit inverted.
TColor SearchColor(TColor Setting, TColor Base) {
  return Setting != clNone ? Setting : static_cast<TColor>(ColorToRGB(Base) ^ 0xFFFFFF);
}

}  // namespace

bool TCustomzmTreeList::IsFocusedWithin() {
  if (FInteractionState == tlsEditing && FActiveEditor && FActiveEditor->IsFocused()) return true;
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == GetHandle() || IsChild(GetHandle(), focus));
}

void TCustomzmTreeList::DrawDataCell(TCanvas* Canvas, TBitmap* /*Buffer*/, TzmTreeListCellPaint& Cell) {
  TzmNodeAccess access(this, Cell.Node, &TCustomzmTreeList::BeginNodeAccess, &TCustomzmTreeList::EndNodeAccess);
  String text;
  if (Cell.Kind == zmckNewItem) GetNewItemRowText(Cell.Column, text);
  else GetCellText(Cell.Node, Cell.Column, text);
  TAlignment alignment = GetCellAlignment(Cell.Node, Cell.Column);
  bool ownFont = (Cell.Kind == zmckRow || Cell.Kind == zmckNewItem) && IsColumnFontAssigned(Cell.Column);
  bool custom = HasCustomDrawCell(Cell.Node, Cell.Column);
  TFont* font = Canvas->GetFont();
  if (custom && !ownFont) font->SetColor(Cell.TextColor);
  TzmSavedFont saved(Canvas, FScratchFont.get(), custom || ownFont);
  if (ownFont) {
    font->Assign(GetColumnFont(Cell.Column));
    if (Cell.Selected) font->SetColor(Cell.TextColor);
    else Cell.TextColor = font->GetColor();
  }
  bool done = false;
  TColor back = Cell.BackColor, fontColor = font->GetColor();
  DoCustomDrawCell(Canvas, Cell.Rect, done, alignment, font, back, text, Cell.Brush, Cell.AtRightEdge, Cell.AtLeftEdge,
                   Cell.Kind == zmckNewItem, Cell.FocusedCell, Cell.Selected, Cell.Column, Cell.Node);
  if (done) return;
  HBRUSH brush = Cell.Brush;
  if (custom) {
    if (ColorToRGB(back) != ColorToRGB(Cell.BackColor)) {
      Canvas->GetBrush()->SetColor(back);
      brush = Canvas->GetBrush()->GetHandle();
      Cell.BackColor = back;
    }
    if (font->GetColor() != fontColor) Cell.TextColor = font->GetColor();
  }
  TzmTreeListCellViewData& v = *FCellViewData;
  auto fill = [&](HBRUSH Brush, TColor Back, TColor Fore, Integer Marked) {
    v.BrushHandle = Brush;
    v.FontHandle = font->GetHandle();
    v.BackColor = Back;
    v.ForeColor = Fore;
    v.TextAlignment = alignment;
    v.Text = text;
    v.MarkedLength = Marked;
    v.IsSelected = Cell.Selected;
    v.InvertsSelection = IsInvertSelection();
    v.AtLeftEdge = Cell.AtLeftEdge;
    v.AtRightEdge = Cell.AtRightEdge;
    v.IsMultiLine = Cell.MultiLine;
    v.DrawsMarkedPart = Marked > 0;
    v.UsesEndEllipsis = IsCellEndEllipsis();
    v.OwnerNode = Cell.Node;
    v.IsBlankNewRow = Cell.Kind == zmckNewItem && !ShowsNewItemRowValues();
    v.SelectionColor = Cell.FocusedCell ? FAppearance.SelectionBackColor : FAppearance.InactiveSelectionBackColor;
    v.CellBrushHandle = Cell.CellBrush ? Cell.CellBrush : Brush;
    v.CellColor = Cell.CellBrush ? Cell.CellColor : Back;
    v.IsHotTracked = FHotSpot.Node && FHotSpot.Node == Cell.Node && FHotSpot.ColumnIndex == Cell.Column;
    v.EditorBounds = Rect(-2, -2, Cell.Rect.Width() + 2, Cell.Rect.Height() + 2);
  };
  HDC dc = Canvas->GetHandle();
  fill(brush, Cell.BackColor, Cell.TextColor, 0);
  DrawCellByEditor(dc, Cell.Rect, Cell.Column, &v);
  if (!(FSearchActive && Cell.FocusedCell && Cell.Kind == zmckRow && Cell.Column == FSearchColumn)) return;
  if (!FSearchString.empty()) {
    TColor matchBack = SearchColor(FAppearance.SearchMatchBackColor, Cell.BackColor);
    TColor matchText = SearchColor(FAppearance.SearchMatchForeColor, Cell.TextColor);
    Canvas->GetBrush()->SetColor(matchBack);
    HBRUSH matchBrush = Canvas->GetBrush()->GetHandle();
    dc = Canvas->GetHandle();
    SetBkMode(dc, OPAQUE);
    fill(matchBrush, matchBack, matchText, Length(FSearchString));
    DrawCellByEditor(dc, Cell.Rect, Cell.Column, &v);
  }
  TRect focus{Cell.Rect.Left + 1, Cell.Rect.Top + 1, Cell.Rect.Right - 1, Cell.Rect.Bottom - 1};
  if (IsRowSelect() || IsInvertSelection()) {
    if (!Cell.AtLeftEdge) --focus.Left;
    if (!Cell.AtRightEdge) ++focus.Right;
  }
  DrawFocusRectangle(dc, focus);
}

void TCustomzmTreeList::DrawTextCell(TCanvas* Canvas, TBitmap* Buffer, TzmTreeListCellPaint& Cell) {
  TzmNodeAccess access(this, Cell.Node, &TCustomzmTreeList::BeginNodeAccess, &TCustomzmTreeList::EndNodeAccess);
  String text;
  TAlignment alignment;
  if (Cell.Kind == zmckFooter) {
    GetRowFooterText(Cell.Node, Cell.Column, text, Cell.FooterIndex);
    alignment = GetRowFooterAlignment(Cell.Node, Cell.Column, Cell.FooterIndex);
  } else {
    if (Cell.Kind == zmckNewItem) GetNewItemRowText(Cell.Column, text);
    else GetCellText(Cell.Node, Cell.Column, text);
    alignment = GetCellAlignment(Cell.Node, Cell.Column);
  }
  bool ownFont = (Cell.Kind == zmckRow || Cell.Kind == zmckNewItem) && Cell.Column >= 0 &&
                 IsColumnFontAssigned(Cell.Column);
  bool custom = Cell.Kind == zmckFooter ? HasCustomDrawFooter(Cell.Node, Cell.Column, Cell.FooterIndex)
                                        : HasCustomDrawCell(Cell.Node, Cell.Column);
  HDC dc = Canvas->GetHandle();
  TFont* font = Canvas->GetFont();
  COLORREF dcText = GetTextColor(dc);
  if (custom || ownFont) font->SetColor(static_cast<TColor>(dcText));
  TzmSavedFont saved(Canvas, FScratchFont.get(), custom || ownFont);
  if (ownFont) {
    font->Assign(GetColumnFont(Cell.Column));
    if (Cell.Selected) font->SetColor(static_cast<TColor>(dcText));
  }
  TSavedBkColor bk(dc);
  bool done = false;
  TColor back = Cell.BackColor;
  if (Cell.Kind == zmckFooter)
    DoCustomDrawFooter(Canvas, Cell.Rect, done, alignment, font, back, text, Cell.FooterIndex, Cell.Column, Cell.Node);
  else
    DoCustomDrawCell(Canvas, Cell.Rect, done, alignment, font, back, text, Cell.Brush, Cell.AtRightEdge,
                     Cell.AtLeftEdge, Cell.Kind == zmckNewItem, Cell.FocusedCell, Cell.Selected, Cell.Column, Cell.Node);
  if (done) return;
  HBRUSH brush = Cell.Brush;
  if (ColorToRGB(back) != ColorToRGB(Cell.BackColor)) {
    Canvas->GetBrush()->SetColor(back);
    brush = Canvas->GetBrush()->GetHandle();
    bk.RestoreOnExit();
  }
  dc = Canvas->GetHandle();
  SetBkColor(dc, ColorToRGB(back));
  if (custom || ownFont) SetTextColor(dc, ColorToRGB(font->GetColor()));
  TzmCellTextOptions options;
  options.MultiLine = Cell.MultiLine;
  options.EndEllipsis = IsCellEndEllipsis();
  options.Alignment = alignment;
  options.Buffered = IsBufferedTextDrawing();
  options.TopInsetTwo = Cell.Kind != zmckFooter && IsInvertSelection();
  DrawCellTextFast(dc, Cell.Rect, brush, back, Buffer, text, Length(text), options);
  if (!(FSearchActive && Cell.FocusedCell && Cell.Kind == zmckRow && Cell.Column == FSearchColumn)) return;
  if (!FSearchString.empty()) {
    TColor matchBack = SearchColor(FAppearance.SearchMatchBackColor, back);
    TColor matchText = SearchColor(FAppearance.SearchMatchForeColor, static_cast<TColor>(GetTextColor(dc)));
    COLORREF oldText = SetTextColor(dc, ColorToRGB(matchText));
    COLORREF oldBack = SetBkColor(dc, ColorToRGB(matchBack));
    TzmCellTextOptions marked = options;
    marked.Opaque = true;
    DrawCellTextFast(dc, Cell.Rect, brush, matchBack, Buffer, text, Length(FSearchString), marked);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
  }
  TRect focus{Cell.Rect.Left + 1, Cell.Rect.Top + 1, Cell.Rect.Right - 1, Cell.Rect.Bottom - 1};
  if (IsRowSelect() || IsInvertSelection()) {
    if (!Cell.AtLeftEdge) --focus.Left;
    if (!Cell.AtRightEdge) ++focus.Right;
  }
  DrawFocusRectangle(dc, focus);
}

void TCustomzmTreeList::DrawPreview(TCanvas* Canvas, const TRect& Rect, TBitmap* Buffer, TzmTreeListNode* Node,
                                    TColor BackColor, TColor TextColor, HBRUSH Brush, bool Selected) {
  TzmNodeAccess access(this, Node, &TCustomzmTreeList::BeginNodeAccess, &TCustomzmTreeList::EndNodeAccess);
  String text;
  GetPreviewText(Node, text);
  if (BackColor != FAppearance.SelectionBackColor) TextColor = FPreviewTextFont->GetColor();
  TzmSavedFont saved(Canvas, FScratchFont.get(), true);
  Canvas->GetFont()->Assign(FPreviewTextFont.get());
  HDC dc = Canvas->GetHandle();
  TSavedBkColor bk(dc);
  bool done = false;
  TColor back = BackColor;
  DoCustomDrawPreview(Canvas, Rect, done, Canvas->GetFont(), TextColor, back, text, Selected, Node);
  if (done) return;
  if (ColorToRGB(back) != ColorToRGB(BackColor)) {
    Canvas->GetBrush()->SetColor(back);
    Brush = Canvas->GetBrush()->GetHandle();
    bk.RestoreOnExit();
    SetBkColor(Canvas->GetHandle(), ColorToRGB(back));
  }
  DrawPreviewText(Canvas->GetHandle(), Rect, Brush, Canvas->GetFont(), Buffer, TextColor, text, FMetrics.PreviewIndent,
                  IsBufferedTextDrawing());
}
