// The lookup grid's painting: border, headers with sort marks, empty areas, rows and cells.
#include "dataaware/qvLookupGrid.h"

QJ_IMPLEMENT_CLASS(TqvLookupGridPainter)

TqvLookupGridViewInfo* TqvLookupGridPainter::ViewInfo() const { return FGrid->GetViewInfo(); }

TqvCanvas* TqvLookupGridPainter::GetCanvas() const { return FGrid->GetCanvas(); }

void TqvLookupGridPainter::Invalidate() { FGrid->Invalidate(); }

void TqvLookupGridPainter::Paint() {
  DrawBorder();
  DrawContent();
}

void TqvCustomLookupGrid::Paint() {
  inherited::Paint();
  FPainter->Paint();
}

void TqvLookupGridPainter::DrawBorder() {
  if (ViewInfo()->GetBorderSize() != 0) FGrid->GetLookAndFeelPainter()->PaintBorder(GetCanvas(), FGrid->GetGridBounds());
  GetCanvas()->IntersectClipRect(FGrid->GetGridClientBounds());
}

void TqvLookupGridPainter::DrawContent() {
  DrawHeaders();
  DrawEmptyAreas();
  DrawRows();
}

void TqvLookupGridPainter::DrawEmptyAreas() {
  const TRect& right = ViewInfo()->GetEmptyAreaRight();
  const TRect& bottom = ViewInfo()->GetEmptyAreaBottom();
  if (right.IsEmpty() && bottom.IsEmpty()) return;
  GetCanvas()->SetBrushColor(FGrid->GetColor());
  if (!right.IsEmpty()) GetCanvas()->FillRect(right);
  if (!bottom.IsEmpty()) GetCanvas()->FillRect(bottom);
}

void TqvLookupGridPainter::DrawHeaders() {
  TqvLookupGridViewInfo* viewInfo = ViewInfo();
  if (viewInfo->GetHeaderArea().IsEmpty()) return;
  const TqvLookAndFeelPainterClass painter = FGrid->GetLookAndFeelPainter();
  TFont* font = viewInfo->GetHeaderFont();
  for (Integer i = 0; i < viewInfo->GetColumnCount(); ++i) {
    const TqvLookupGridColumnViewInfo& column = viewInfo->GetColumn(i);
    TRect text = ShrinkRect(painter->GetHeaderContentBounds(column.Bounds, column.HeaderBorders), 2);
    TRect mark;
    if (column.SortOrder != soNone) {
      const TSize size = painter->GetSortMarkAreaSize();
      mark = TRect{text.Right - size.cx, text.Top, text.Right, text.Bottom};
      text.Right = std::max(text.Left, mark.Left);
    }
    painter->DrawHeader(GetCanvas(), column.Bounds, text, column.HeaderNeighbors, column.HeaderBorders, qvbsNormal,
                        column.HeaderAlignment, vaCenter, false, true, column.Text, font, font->GetColor(),
                        viewInfo->GetHeaderColor());
    if (column.SortOrder != soNone) painter->PaintSortOrderMark(GetCanvas(), mark, column.SortOrder == soAscending);
  }
}

void TqvLookupGridPainter::DrawRows() {
  TqvLookupGridViewInfo* viewInfo = ViewInfo();
  if (viewInfo->GetRowsArea().IsEmpty()) return;
  for (Integer i = 0; i < viewInfo->GetPartVisibleCount() && i < viewInfo->GetRowViewCount(); ++i)
    DrawRow(viewInfo->GetRow(i));
}

void TqvLookupGridPainter::DrawRow(TqvLookupGridRowViewInfo& ARow) {
  TqvLookupGridViewInfo* viewInfo = ViewInfo();
  const TColor lineColor = viewInfo->GetGridLineColor();
  const Integer lineWidth = viewInfo->GetGridLineWidth();
  for (TqvLookupGridCellViewInfo& cell : ARow.Cells) {
    GetCanvas()->FrameRect(cell.Bounds, lineColor, lineWidth, cell.Borders);
    DrawCell(cell);
  }
  GetCanvas()->FrameRect(ARow.Bounds, lineColor, lineWidth, ARow.Borders);
  if (ARow.Focused && (FGrid->Focused() || FGrid->GetPopupMode())) GetCanvas()->DrawFocusRect(ARow.ContentBounds);
}

void TqvLookupGridPainter::DrawCell(TqvLookupGridCellViewInfo& ACell) {
  if (!ACell.EditViewInfo) return;
  ACell.EditViewInfo->Draw(GetCanvas());
  GetCanvas()->FrameRect(ACell.ContentBounds, ACell.EditViewInfo->BackgroundColor, 1, qvAllBorders);
}
