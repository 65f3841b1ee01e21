// The tree list's layout: area rectangles, band and column widths, the draw info of bands,
// headers and rows, row heights, node indents and the node, cell and editor rectangles; and the
// row arithmetic behind vertical and horizontal scrolling.
#include <algorithm>

#include "platform/rtl/Scopes.h"
#include "treelist/zmTL.h"
#include "treelist/zmUtils.h"

namespace {

// An empty rectangle is all zero in the layout.
TRect Zeroed(const TRect& R) { return R.Height() <= 0 || R.Width() <= 0 ? TRect{} : R; }

// Either end of [A1, A2] lies inside [B1, B2], or the first encloses the second.
bool Overlaps(Integer A1, Integer A2, Integer B1, Integer B2) {
  auto inside = [&](Integer x) { return x >= B1 && x <= B2; };
  return inside(A1) || inside(A2) || (A1 <= B1 && A2 >= B2);
}

TRect ClipHorz(TRect R, Integer Left, Integer Right) {
  R.Left = std::max(R.Left, Left);
  R.Right = std::min(R.Right, Right);
  return R;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Areas

void TCustomzmTreeList::CalcAreaRects(TzmTreeListDrawInfo& Info) {
  const TzmTreeListMetrics& m = FMetrics;
  TRect c = GetClientRect();
  Integer g = std::max(GetGroupPanelHeight(), 0), w = m.IndicatorWidth;
  Integer bandTop = c.Top + g, headerTop = bandTop + m.BandRowHeight, headerBottom = headerTop + m.HeaderAreaHeight;
  Integer rowsTop = headerBottom + m.NewItemRowHeight;
  Info.ClientBounds = c;
  Info.GroupPanelRect = g > 0 ? Rect(c.Left, c.Top, c.Right, bandTop) : TRect{};
  Info.BandRowRect = Rect(c.Left + w, bandTop, c.Right, headerTop);
  Info.BandCornerRect = w > 0 ? Rect(c.Left, bandTop, c.Left + w, headerTop) : TRect{};
  Info.HeaderRect = Rect(c.Left + w, headerTop, c.Right, headerBottom);
  Info.HeaderCornerRect = w > 0 ? Rect(c.Left, headerTop, c.Left + w, headerBottom) : TRect{};
  Info.NewItemRowRect = m.NewItemRowHeight > 0 ? Rect(c.Left, headerBottom, c.Right, rowsTop) : TRect{};
  Info.RowsRect = Rect(c.Left + w, rowsTop, c.Right, std::max(c.Bottom - m.FooterHeight - m.StatusPanelHeight, rowsTop));
  Info.IndicatorRect = Rect(c.Left, Info.RowsRect.Top, Info.RowsRect.Left, Info.RowsRect.Bottom);
  Info.FooterRect = Zeroed(Rect(c.Left, Info.RowsRect.Bottom, c.Right, Info.RowsRect.Bottom + m.FooterHeight));
  Integer statusTop = Info.RowsRect.Bottom + m.FooterHeight;
  Info.StatusRect = Zeroed(Rect(c.Left, statusTop, c.Right, statusTop + m.StatusPanelHeight));
}

TRect TCustomzmTreeList::GetRowsRect() {
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  TRect rows = info.RowsRect;
  if (FIndicatorVisible) rows.Left = info.IndicatorRect.Left;
  return rows;
}

// ---------------------------------------------------------------------------------------------
// Band widths

Integer TCustomzmTreeList::GetRowWidth(Integer VisibleBand, Integer Row) {
  Integer sum = 0;
  for (Integer c = 0; c < GetHeaderColCount(VisibleBand, Row); ++c)
    sum += GetColumnWidth(GetHeaderColumnIndex(VisibleBand, Row, c));
  return sum;
}

Integer TCustomzmTreeList::GetRowMinWidth(Integer VisibleBand, Integer Row) {
  Integer sum = 0;
  for (Integer c = 0; c < GetHeaderColCount(VisibleBand, Row); ++c)
    sum += GetColumnMinWidth(GetHeaderColumnIndex(VisibleBand, Row, c));
  return sum;
}

Integer TCustomzmTreeList::GetBandMinWidth(Integer VisibleBand) {
  Integer width = CanSizeBand(VisibleBand) ? GetVisibleBandMinWidth(VisibleBand) : GetVisibleBandWidth(VisibleBand);
  for (Integer r = 0; r < GetHeaderRowCount(VisibleBand); ++r) width = std::max(width, GetRowMinWidth(VisibleBand, r));
  return width;
}

Integer TCustomzmTreeList::GetBandWidthNeeded(Integer VisibleBand) {
  Integer needed = 0;
  if (UsesDefaultLayout())
    for (Integer r = 0; r < GetHeaderRowCount(VisibleBand); ++r) needed = std::max(needed, GetRowWidth(VisibleBand, r));
  if (needed == 0) needed = GetVisibleBandWidth(VisibleBand);
  return std::max(needed, GetBandMinWidth(VisibleBand));
}

Integer TCustomzmTreeList::GetTotalBandsWidth() {
  Integer count = GetVisibleBandCount();
  if (count == 0) return 0;
  Integer lead = GetLeadingWidth(), total = lead;
  if (!IsAutoWidth()) {
    for (Integer b = 0; b < count; ++b) total += GetBandDisplayWidth(b);
    return total;
  }
  bool sizable = false;
  for (Integer b = 0; b < count; ++b) {
    total += GetBandMinWidth(b);
    sizable = sizable || CanSizeBand(b);
  }
  TRect area = GetClientRect();
  if (FIndicatorVisible) area.Left += FMetrics.IndicatorWidth;
  return total > area.Width() || !sizable ? total : area.Width();
}

Integer TCustomzmTreeList::GetBandDisplayWidth(Integer VisibleBand) {
  Integer count = GetVisibleBandCount();
  if (VisibleBand < 0 || VisibleBand >= count) return 0;
  if (!IsAutoWidth()) return GetBandWidthNeeded(VisibleBand);
  Integer total = GetTotalBandsWidth(), lead = GetLeadingWidth();
  if (VisibleBand == count - 1) {
    Integer rest = total - lead;
    for (Integer b = 0; b < count - 1; ++b) rest -= GetBandDisplayWidth(b);
    return rest;
  }
  Integer available = total - lead, sumNeeded = 0, sumMin = 0;
  for (Integer b = 0; b < count; ++b) {
    sumNeeded += GetBandWidthNeeded(b);
    sumMin += GetBandMinWidth(b);
  }
  Integer needed = GetBandWidthNeeded(VisibleBand), least = GetBandMinWidth(VisibleBand);
  if (!CanSizeBand(VisibleBand)) return needed;
  if (sumNeeded <= 0) return least;
  Integer freeNeeded = 0;
  for (Integer b = 0; b < count; ++b)
    if (CanSizeBand(b) && GetBandMinWidth(b) < MulDiv(available, GetBandWidthNeeded(b), sumNeeded))
      freeNeeded += GetBandWidthNeeded(b);
  Integer proportional = MulDiv(available, needed, sumNeeded);
  if (freeNeeded == sumNeeded) return proportional;
  if (least < proportional && freeNeeded > 0) return least + MulDiv(available - sumMin, needed, freeNeeded);
  return least;
}

TRect TCustomzmTreeList::GetScrollAreaRect() {
  TRect area = GetClientRect();
  if (FIndicatorVisible) area.Left += FMetrics.IndicatorWidth;
  area.Bottom -= FMetrics.StatusPanelHeight;
  area.Top += std::max(GetGroupPanelHeight(), 0);
  if (!IsAutoWidth()) {
    Integer left = GetLeftFixedBandIndex(), right = GetRightFixedBandIndex();
    if (left >= 0) area.Left += GetBandDisplayWidth(left) + GetLeadingWidth();
    if (right >= 0) area.Right -= GetBandDisplayWidth(right);
  }
  return area;
}

Integer TCustomzmTreeList::GetScrollableBandsWidth() {
  Integer width = GetTotalBandsWidth();
  Integer left = GetLeftFixedBandIndex(), right = GetRightFixedBandIndex();
  if (left >= 0) width -= GetBandDisplayWidth(left) + GetLeadingWidth();
  if (right >= 0) width -= GetBandDisplayWidth(right);
  return width;
}

Integer TCustomzmTreeList::GetBandLeft(Integer VisibleBand) {
  Integer count = GetVisibleBandCount();
  Integer left = GetLeftFixedBandIndex(), right = GetRightFixedBandIndex();
  if (count < 2 || VisibleBand < 0 || VisibleBand >= count || VisibleBand == left || VisibleBand == right) return 0;
  Integer x = 0;
  for (Integer b = left >= 0 ? left + 1 : 0; b < VisibleBand; ++b) x += GetBandDisplayWidth(b) + (b == 0 ? GetLeadingWidth() : 0);
  return x;
}

Integer TCustomzmTreeList::VisibleBandOfColumn(Integer Column) {
  if (Column < 0 || Column >= GetColumnCount() || !IsColumnShown(Column)) return -1;
  return GetBandVisibleIndex(GetColumnBandIndex(Column));
}

Integer TCustomzmTreeList::GetColumnDisplayWidth(Integer Column) {
  Integer band = VisibleBandOfColumn(Column);
  if (band < 0) return 0;
  Integer row = GetColumnRowIndex(Column), count = GetHeaderColCount(band, row);
  Integer whole = GetBandDisplayWidth(band), available = whole;
  Integer sumWidth = GetRowWidth(band, row), sumMin = GetRowMinWidth(band, row);
  auto share = [&](Integer width) { return sumWidth > 0 ? MulDiv(available, width, sumWidth) : 0; };
  bool someBelowMin = false;
  Integer freeWidth = 0;
  for (Integer c = 0; c < count; ++c) {
    Integer column = GetHeaderColumnIndex(band, row, c);
    if (!CanSizeColumn(column)) continue;
    if (share(GetColumnWidth(column)) < GetColumnMinWidth(column)) someBelowMin = true;
    else freeWidth += GetColumnWidth(column);
  }
  Integer handed = 0;
  for (Integer c = 0; c < count; ++c) {
    Integer column = GetHeaderColumnIndex(band, row, c);
    Integer width = GetColumnWidth(column), least = GetColumnMinWidth(column), result;
    if (c == count - 1) {
      result = std::max(whole - handed, 0);
    } else if (!CanSizeColumn(column)) {
      result = width;
      available -= width;
      sumWidth -= width;
      sumMin -= least;
    } else {
      Integer proportional = share(width);
      if (freeWidth == sumWidth) result = proportional;
      else if (least >= proportional) result = least;
      else if (someBelowMin && freeWidth > 0) result = least + MulDiv(available - sumMin, width, freeWidth);
      else result = proportional;
    }
    handed += result;
    if (column == Column) return result + (band == 0 && c == 0 ? GetLeadingWidth() : 0);
  }
  return 0;
}

Integer TCustomzmTreeList::GetHeaderRowSpan(Integer VisibleBand, Integer Row, Integer Col) {
  if (Row != GetHeaderRowCount(VisibleBand) - 1) return 1;
  Integer panelRows = GetHeaderPanelRowCount();
  Integer lines = GetColumnHeaderMaxLineCount(GetHeaderColumnIndex(VisibleBand, Row, Col));
  if (lines <= 0) lines = panelRows;
  return Row + lines > panelRows ? std::max(panelRows - Row, 1) : lines;
}

// ---------------------------------------------------------------------------------------------
// The draw info

void TCustomzmTreeList::ColumnLayoutInBand(TzmTreeListDrawInfo& Info, const TzmTreeListBandDrawItem& Item,
                                           Integer BandWidth) {
  const TzmTreeListMetrics& m = FMetrics;
  Integer band = Item.BandIndex, lead = band == 0 ? GetLeadingWidth() : 0;
  Integer bandBottom = Item.Bounds.Bottom, panelRows = GetHeaderPanelRowCount(), rows = GetHeaderRowCount(band);
  Integer lastScrolling = GetRightFixedBandIndex() >= 0 ? GetRightFixedBandIndex() - 1 : GetVisibleBandCount() - 1;
  Integer width = BandWidth - lead;
  for (Integer r = 0; r < rows; ++r) {
    Integer count = GetHeaderColCount(band, r);
    if (count <= 0) continue;
    std::vector<Integer> columns(static_cast<size_t>(count)), widths(columns.size());
    std::vector<bool> fixed(columns.size());
    Integer space = width;
    for (Integer c = 0; c < count; ++c) {
      size_t i = static_cast<size_t>(c);
      columns[i] = GetHeaderColumnIndex(band, r, c);
      widths[i] = GetColumnWidth(columns[i]);
      if (!CanSizeColumn(columns[i])) {
        fixed[i] = true;
        space = std::max(space - widths[i], 0);
      }
    }
    // Free columns share the space in proportion; one that would fall below its minimum is
    // fixed at it and the sharing starts again.
    for (bool again = true; again;) {
      again = false;
      Int64 sumFree = 0;
      for (size_t i = 0; i < columns.size(); ++i)
        if (!fixed[i]) sumFree += widths[i];
      auto share = [&](size_t i) { return sumFree < 1 ? 0 : static_cast<Integer>(widths[i] * Int64(space) / sumFree); };
      for (size_t i = 0; i < columns.size() && !again; ++i)
        if (!fixed[i] && share(i) < GetColumnMinWidth(columns[i])) {
          widths[i] = GetColumnMinWidth(columns[i]);
          fixed[i] = true;
          space = std::max(space - widths[i], 0);
          again = true;
        }
      if (!again) {
        std::vector<Integer> shares(columns.size());
        for (size_t i = 0; i < columns.size(); ++i) shares[i] = fixed[i] ? widths[i] : share(i);
        widths.swap(shares);
      }
    }
    Integer before = 0;
    for (size_t i = 0; i + 1 < widths.size(); ++i) before += widths[i];
    // Minimums beyond the band width leave the last column nothing rather than a negative width.
    widths.back() = std::max(width - before, 0);
    widths.front() += lead;
    Integer x = Item.Bounds.Left;
    for (Integer c = 0; c < count; ++c) {
      size_t i = static_cast<size_t>(c);
      Integer span = GetHeaderRowSpan(band, r, c);
      TRect bounds = Rect(x, bandBottom + r * m.HeaderRowHeight, x + widths[i], bandBottom + (r + span) * m.HeaderRowHeight);
      x += widths[i];
      if (!Overlaps(bounds.Left, bounds.Right, Item.VisibleBounds.Left, Item.VisibleBounds.Right)) continue;
      TzmTreeListHeaderDrawItem header;
      header.ColumnIndex = columns[i];
      header.BandIndex = band;
      header.RowIndex = r;
      header.ColIndex = c;
      header.RowSpan = span;
      header.Bounds = bounds;
      header.VisibleBounds = ClipHorz(bounds, Item.VisibleBounds.Left, Item.VisibleBounds.Right);
      if (r == rows - 1 && r + span < panelRows)
        header.FillBounds = Rect(header.VisibleBounds.Left, bounds.Bottom, header.VisibleBounds.Right,
                                 bandBottom + panelRows * m.HeaderRowHeight);
      header.FirstInRow = c == 0;
      header.LastInRow = c == count - 1;
      header.FirstOverall = band == 0 && c == 0;
      header.LastOverall = band == lastScrolling && c == count - 1;
      header.ExtraHeight = static_cast<Byte>(GetColumnExtraHeight(columns[i]));
      Info.Headers.push_back(header);
    }
  }
}

void TCustomzmTreeList::CalcDrawInfo(TzmTreeListDrawInfo& Info) {
  Info = TzmTreeListDrawInfo();
  CalcAreaRects(Info);
  const TzmTreeListMetrics& m = FMetrics;
  Integer count = GetVisibleBandCount();
  Integer left = count > 0 ? GetLeftFixedBandIndex() : -1, right = count > 0 ? GetRightFixedBandIndex() : -1;
  Integer total = GetTotalBandsWidth(), lead = GetLeadingWidth();
  TRect& bandRow = Info.BandRowRect;
  Integer rangeLeft = bandRow.Left, rangeRight = bandRow.Right;
  Integer fixedBottom = Info.RowsRect.Top - (m.NewItemRowHeight > 0 ? m.NewItemRowGap : 0);
  Info.Bands.reserve(static_cast<size_t>(count));

  if (left >= 0) {
    Integer width = GetBandDisplayWidth(left) + lead;
    Info.LeftFixedRect = Rect(bandRow.Left, bandRow.Top, bandRow.Left + width, fixedBottom);
    TzmTreeListBandDrawItem item;
    item.BandIndex = left;
    item.Bounds = Rect(bandRow.Left, bandRow.Top, Info.LeftFixedRect.Right - m.FixedBandSeparatorWidth, bandRow.Bottom);
    item.VisibleBounds = item.Bounds;
    Info.Bands.push_back(item);
    Info.LeftFixedItem = 0;
    rangeLeft = bandRow.Left + width;
  }
  if (total < bandRow.Width()) {
    bandRow.Right = Info.HeaderRect.Right = bandRow.Left + total;
    Info.EmptyRightRect = Rect(bandRow.Right, bandRow.Top, Info.ClientBounds.Right, Info.RowsRect.Bottom);
    if (!Info.NewItemRowRect.IsEmpty()) Info.NewItemRowRect.Right = Info.EmptyRightRect.Left;
  }
  if (right >= 0) {
    Integer width = GetBandDisplayWidth(right);
    Integer x = std::max(bandRow.Right - width, std::max(Info.LeftFixedRect.Right, Info.IndicatorRect.Right));
    Info.RightFixedRect = Rect(x, bandRow.Top, x + width, fixedBottom);
    rangeRight = x;
  }
  Integer x = -FHorzOffset, rangeWidth = rangeRight - rangeLeft;
  for (Integer b = left >= 0 ? left + 1 : 0; b < (right >= 0 ? right : count) && x <= rangeWidth; ++b) {
    Integer width = GetBandDisplayWidth(b) + (b == 0 ? lead : 0);
    if (Overlaps(x, x + width, 0, rangeWidth)) {
      TzmTreeListBandDrawItem item;
      item.BandIndex = b;
      item.Bounds = Rect(rangeLeft + x, bandRow.Top, rangeLeft + x + width, bandRow.Bottom);
      item.VisibleBounds = ClipHorz(item.Bounds, rangeLeft, rangeRight);
      Info.Bands.push_back(item);
      if (right >= 0) Info.LastScrollingItem = static_cast<Integer>(Info.Bands.size()) - 1;
    }
    x += width;
  }
  if (right >= 0) {
    TzmTreeListBandDrawItem item;
    item.BandIndex = right;
    item.Bounds = Rect(Info.RightFixedRect.Left + m.FixedBandSeparatorWidth, bandRow.Top, Info.RightFixedRect.Right,
                       bandRow.Bottom);
    item.VisibleBounds = item.Bounds;
    item.VisibleBounds.Right = bandRow.Right;
    Info.Bands.push_back(item);
    Info.RightFixedItem = static_cast<Integer>(Info.Bands.size()) - 1;
  }

  Integer panelBottom = bandRow.Bottom + GetHeaderPanelRowCount() * m.HeaderRowHeight;
  for (const TzmTreeListBandDrawItem& item : Info.Bands) {
    Integer width = GetBandDisplayWidth(item.BandIndex) + (item.BandIndex == 0 ? lead : 0);
    if (GetHeaderRowCount(item.BandIndex) >= 1) {
      ColumnLayoutInBand(Info, item, width);
      continue;
    }
    TRect bounds = Rect(item.Bounds.Left, bandRow.Bottom, item.Bounds.Left + width, panelBottom);
    if (!Overlaps(bounds.Left, bounds.Right, item.VisibleBounds.Left, item.VisibleBounds.Right)) continue;
    TzmTreeListEmptyBandDrawItem empty;
    empty.BandIndex = item.BandIndex;
    empty.Bounds = ClipHorz(bounds, item.VisibleBounds.Left, item.VisibleBounds.Right);
    empty.Clipped = item.VisibleBounds.Right < bounds.Right;
    Info.EmptyBands.push_back(empty);
  }

  // Rows: the array grows with the rows, whatever their heights.
  Integer y = Info.RowsRect.Top;
  bool autoHeight = IsAutoRowHeight();
  for (TzmTreeListNode* node = FTopNode; node && y < Info.RowsRect.Bottom; node = GetNextVisible(node)) {
    TzmTreeListRowDrawItem row;
    row.Node = node;
    row.FullRow = IsNodeFullRow(node);
    row.Selected = node->GetSelected();
    row.Height = GetNodeRowHeight(node, m.RowHeight, false);
    row.FooterCount = GetNodeFooterCount(node);
    row.FooterHeight = row.FooterCount * m.NodeFooterHeight;
    row.RowFlag = GetNodeRowFlag(node, row.Selected);
    row.PreviewLines = IsPreviewShown() ? GetNodePreviewLineCount(node) : 0;
    row.LineCount = autoHeight ? node->GetCachedLineCount() : -1;
    Info.Rows.push_back(row);
    y += std::max(row.Height, 1);
  }
  Info.ContentRight = total + Info.RowsRect.Left - 1 - (left < 0 ? FHorzOffset : 0);
  if (right >= 0) Info.ContentRight = std::min(Info.ContentRight, Info.RowsRect.Right - 1);
  if (y < Info.RowsRect.Bottom) {
    Info.LastRowBottom = y - 1;
    Info.BelowRowsRect = Rect(Info.ClientBounds.Left, y, Info.ContentRight + 1, Info.RowsRect.Bottom);
    Info.IndicatorRect.Bottom = y;
  } else {
    Info.LastRowBottom = -1;
  }
  if (count > 0) {
    Info.IndentClipWidth = GetBandDisplayWidth(0) + lead;
    if (left >= 0)
      Info.IndentClipWidth =
          std::min(Info.IndentClipWidth, Info.LeftFixedRect.Right - m.FixedBandSeparatorWidth - Info.RowsRect.Left);
    if (right >= 0)
      Info.IndentClipWidth = std::min(Info.IndentClipWidth,
                                      Info.RightFixedRect.Left + (left < 0 ? FHorzOffset : 0) - Info.RowsRect.Left);
  }
  Info.GridLineWidth = FShowGrid ? GetRowSeparatorWidth() : 0;
  Info.BandRowRect = Zeroed(Info.BandRowRect);
  Info.BandCornerRect = Zeroed(Info.BandCornerRect);
  Info.HeaderRect = Zeroed(Info.HeaderRect);
  Info.HeaderCornerRect = Zeroed(Info.HeaderCornerRect);
}

// ---------------------------------------------------------------------------------------------
// Rows

bool TCustomzmTreeList::IsAutoRowHeight() {
  return !IsPreviewShown() && GetHeaderPanelRowCount() == 1 && IsMultiLineRows();
}

Integer TCustomzmTreeList::GetNodeRowHeight(TzmTreeListNode* Node, Integer LineHeight, bool NoCache) {
  if (!NoCache && Node && Node->GetCachedRowHeight() > 0 && IsRowHeightCached()) return Node->GetCachedRowHeight();
  const TzmTreeListMetrics& m = FMetrics;
  bool fullRow = Node && IsNodeFullRow(Node);
  Integer preview = IsPreviewShown() ? GetNodePreviewLineCount(Node) : 0;
  Integer grid = FShowGrid ? GetRowSeparatorWidth() : 0;
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  Integer lines = 1;
  if (Node && IsAutoRowHeight()) {
    Integer asked = LineHeight;
    lines = GetNodeRowLineCount(Node, asked);
    if (lines > 1 && asked == LineHeight) LineHeight += (lines - 1) * m.TextHeight;
    LineHeight = std::max(LineHeight, asked);
  }
  Integer height = fullRow ? LineHeight + grid
                           : grid + GetHeaderPanelRowCount() * LineHeight + preview * m.PreviewTextHeight +
                                 (preview > 0 && bothGrids ? 1 : 0);
  if (!FShowGrid && Node && Node->GetHasChildren() && !FIsStandardPaint) ++height;
  if (preview > 0 && !fullRow) height += 2;
  if (bothGrids) --height;
  if (Node) height += GetNodeFooterCount(Node) * m.NodeFooterHeight;
  if (Node && !NoCache) {
    Node->SetCachedRowHeight(height);
    Node->SetCachedLineCount(lines);
  }
  return height;
}

namespace {

// The levels of the row footers under a node, from the node upward.
template <class F>
void ForEachFooterLevel(TzmTreeListNode* Node, F&& Visit) {
  for (TzmTreeListNode* node = Node; node && node->IsLast(); node = node->GetParent())
    if (TzmTreeListNode* parent = node->GetParent()) Visit(parent->GetLevel());
}

}  // namespace

Integer TCustomzmTreeList::GetNodeFooterCount(TzmTreeListNode* Node) {
  if (!Node || !IsRowFooterShown() || Node->GetCount() > 0 || !Node->IsLast()) return 0;
  Integer count = 0;
  ForEachFooterLevel(Node, [&](Integer level) { count += HasLevelFooter(level) ? 1 : 0; });
  return count;
}

Integer TCustomzmTreeList::GetNodeFooterLevel(TzmTreeListNode* Node, Integer Index) {
  if (GetNodeFooterCount(Node) == 0) return -1;
  Integer i = 0, found = -1;
  ForEachFooterLevel(Node, [&](Integer level) {
    if (HasLevelFooter(level) && i++ == Index) found = level;
  });
  return found;
}

Integer TCustomzmTreeList::CountNodeFootersBelowLevel(TzmTreeListNode* Node, Integer Level) {
  if (GetNodeFooterCount(Node) == 0) return 0;
  Integer count = 0;
  ForEachFooterLevel(Node, [&](Integer level) { count += HasLevelFooter(level) && level < Level ? 1 : 0; });
  return count;
}

void TCustomzmTreeList::GetNodeIndent(TzmTreeListNode* Node, Integer& Indent, Integer& TextLeft) {
  Integer levels = Node->GetLevel() + (Node->GetHasChildren() || FIsStandardPaint ? 1 : 0);
  Indent = FMetrics.Indent * levels - (!FRootLinesVisible && FIsStandardPaint ? FMetrics.Indent : 0);
  TextLeft = Indent + (GetNodeStateIndex(Node) >= 0 ? FMetrics.StateImageWidth : 0) + FMetrics.ImageWidth;
}

Integer TCustomzmTreeList::GetNodeTextWidth(TzmTreeListNode* Node) {
  Integer indent, textLeft;
  GetNodeIndent(Node, indent, textLeft);
  return GetTotalBandsWidth() - (FShowGrid ? 1 : 0) - textLeft;
}

TRect TCustomzmTreeList::GetNodeRect(TzmTreeListNode* Node) {
  if (!Node) return zmNoRect;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  Integer left = FIndicatorVisible ? info.IndicatorRect.Left : info.RowsRect.Left;
  Integer y = info.RowsRect.Top;
  for (TzmTreeListNode* node = FTopNode; node && y < info.RowsRect.Bottom; node = GetNextVisible(node)) {
    Integer height = GetNodeRowHeight(node, FMetrics.RowHeight, false);
    if (node == Node) return Rect(left, y, info.RowsRect.Right, y + height);
    y += std::max(height, 1);
  }
  return zmNoRect;
}

TRect TCustomzmTreeList::GetNodeRectToBottom(TzmTreeListNode* Node) {
  TRect rect = GetNodeRect(Node);
  if (rect != zmNoRect) rect.Bottom = GetRowsRect().Bottom;
  return rect;
}

TRect TCustomzmTreeList::GetCellRect(TzmTreeListNode* Node, Integer VisibleColumn) {
  Integer column = GetVisibleColumn(VisibleColumn);
  TRect node = GetNodeRect(Node);
  if (column < 0 || node == zmNoRect) return zmNoRect;
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  auto item = std::find_if(info.Headers.begin(), info.Headers.end(),
                           [&](const TzmTreeListHeaderDrawItem& h) { return h.ColumnIndex == column; });
  if (item == info.Headers.end()) return zmNoRect;
  Integer indent, textLeft;
  GetNodeIndent(Node, indent, textLeft);
  Integer itemLeft = item->Bounds.Left + (GetLeftFixedBandIndex() < 0 ? FHorzOffset : 0) - info.RowsRect.Left;
  Integer part = item->BandIndex == 0 && itemLeft < indent ? indent - itemLeft : 0;
  Integer extra = !FShowGrid && Node->GetHasChildren() && !FIsStandardPaint ? 1 : 0;
  Integer top = node.Top + item->RowIndex * FMetrics.RowHeight + extra;
  Integer bottom = top + item->RowSpan * FMetrics.RowHeight + extra - (FShowGrid && FShowPreviewGrid ? 1 : 0);
  if (IsAutoRowHeight())
    bottom = node.Top + GetNodeRowHeight(Node, FMetrics.RowHeight, false) - info.GridLineWidth -
             GetNodeFooterCount(Node) * FMetrics.NodeFooterHeight;
  return Rect(item->Bounds.Left + part, top, item->Bounds.Right, bottom);
}

TRect TCustomzmTreeList::GetEditorRect(TzmTreeListNode* Node, Integer VisibleColumn) {
  TRect rect = GetCellRect(Node, VisibleColumn);
  if (rect == zmNoRect) return rect;
  Integer column = GetVisibleColumn(VisibleColumn);
  Integer band = VisibleBandOfColumn(column), row = GetColumnRowIndex(column);
  bool lastInRow = GetColumnColIndex(column) == GetHeaderColCount(band, row) - 1;
  bool firstOfBand0 = band == 0 && GetColumnColIndex(column) == 0;
  bool lastBand = band == GetVisibleBandCount() - 1;
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  if (bothGrids) {
    Integer right = GetRightFixedBandIndex();
    if (!(lastInRow && (band == GetLeftFixedBandIndex() || (right >= 0 && right == band + 1)))) --rect.Right;
  } else if (lastInRow && lastBand && !(IsInvertSelection() && !FShowGrid)) {
    --rect.Right;
  }
  Integer indent, textLeft;
  GetNodeIndent(Node, indent, textLeft);
  TRect rows = GetRowsRect();
  Integer rowsLeft = FIndicatorVisible ? rows.Left + FMetrics.IndicatorWidth : rows.Left;
  if (firstOfBand0) rect.Left = std::max(rect.Left, rowsLeft + textLeft - (GetLeftFixedBandIndex() < 0 ? FHorzOffset : 0));
  if (IsInvertSelection()) {
    ++rect.Top;
    --rect.Bottom;
    if (firstOfBand0) ++rect.Left;
    if (lastInRow && lastBand) --rect.Right;
  }
  return rect;
}

Integer TCustomzmTreeList::BandRowHeightFor(Integer Lines) {
  return Lines * FMetrics.BandTextHeight + 5 + (FFrameLook == zmflStandard ? 1 : 0);
}

Integer TCustomzmTreeList::BandRowCountAt(Integer Position) {
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  Integer count = 0;
  for (Integer n = 1; n <= GetBandMaxRowCount(); ++n)
    if (info.BandRowRect.Top + BandRowHeightFor(n) <= Position) count = n;
  return count;
}

Integer TCustomzmTreeList::HeaderRowCountAt(Integer Position) {
  if (FMetrics.HeaderRowHeight <= 0) return 1;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  return std::max((Position + FMetrics.HeaderRowHeight / 2 - info.HeaderRect.Top) / FMetrics.HeaderRowHeight, 1);
}

// ---------------------------------------------------------------------------------------------
// Row arithmetic and scrolling

Integer TCustomzmTreeList::RowHeightAtIndex(Integer Index) {
  TzmTreeListNode* node = VisibleNodeAt(Index);
  return node ? GetNodeRowHeight(node, FMetrics.RowHeight, false) : 0;
}

Integer TCustomzmTreeList::CountRowsFrom(TzmTreeListNode* Node, Integer Height, Integer& Page, Integer& Shown) {
  Page = Shown = 0;
  Integer sum = 0;
  bool full = false;
  auto add = [&](TzmTreeListNode* node) {
    Integer height = GetNodeRowHeight(node, FMetrics.RowHeight, false);
    if (sum + height > Height) {
      if (sum < Height) ++Shown;
      full = true;
      return false;
    }
    sum += height;
    ++Shown;
    ++Page;
    return true;
  };
  for (TzmTreeListNode* node = Node; node && add(node);) node = GetNextVisible(node);
  if (!full && Node)
    for (TzmTreeListNode* node = GetPrevVisible(Node); node && add(node);) node = GetPrevVisible(node);
  Page = std::max(Page, 1);
  Shown = std::max(Shown, 1);
  return sum;
}

void TCustomzmTreeList::UpdateRowCounts() {
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  CountRowsFrom(FTopNode, info.RowsRect.Height(), FPageRowCount, FShownRowCount);
}

void TCustomzmTreeList::GetVertScrollRange(Integer& Min, Integer& Max, Integer& Pos, Integer& Page) {
  Integer count = GetVisibleNodeCount();
  Min = 0;
  Max = FPageRowCount >= count ? 0 : count - 1;
  Pos = GetTopIndex();
  Page = FPageRowCount;
}

Integer TCustomzmTreeList::GetTopIndexForBottom(Integer Index) {
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  Integer height = info.RowsRect.Height(), total = RowHeightAtIndex(Index), top = Index;
  while (top > 0) {
    Integer above = RowHeightAtIndex(top - 1);
    if (total + above > height) break;
    total += above;
    --top;
  }
  return top;
}

Integer TCustomzmTreeList::GetScrollPixels(Integer Rows) {
  Integer top = GetTopIndex(), pixels = 0;
  if (Rows < 0)
    for (Integer i = 0; i < -Rows; ++i) pixels -= RowHeightAtIndex(top + i);
  else
    for (Integer i = 1; i <= Rows; ++i) pixels += RowHeightAtIndex(top - i);
  return pixels;
}

void TCustomzmTreeList::SetTopIndex(Integer Index) {
  EndEditingQuietly();
  Integer count = GetVisibleNodeCount(), old = GetTopIndex();
  if (Index == old || count < 2) return;
  Index = std::clamp(Index, 0, count - 1);
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  Integer page, shown;
  CountRowsFrom(VisibleNodeAt(Index), info.RowsRect.Height(), page, shown);
  Index = std::min(Index, std::max(count - page, 0));
  if (Index == old) return;
  // Measured before the top moves: the rows between the old and the new top.
  Integer pixels = old >= 0 ? GetScrollPixels(old - Index) : 0;
  TRect oldFocus = GetNodeRect(FFocusedNode);
  SetTopVisibleNode(VisibleNodeAt(Index));
  UpdateScrollBars();
  if (IsUpdateLocked() || !HandleAllocated()) return;
  if (old < 0 || std::abs(Index - old) > FPageRowCount) {
    Invalidate();
    return;
  }
  ScrollRowsBy(pixels);
  // The focus frame moved with the pixels: both places are drawn again.
  for (const TRect& r : {oldFocus, GetNodeRect(FFocusedNode)})
    if (r != zmNoRect) InvalidateRect(GetHandle(), &r, FALSE);
}

void TCustomzmTreeList::SetLeftCoord(Integer Value) {
  EndEditingQuietly();
  if (Value == FHorzOffset) return;
  Value = std::clamp(Value, 0, std::max(GetScrollableBandsWidth() - GetScrollAreaWidth(), 0));
  if (Value == FHorzOffset) return;
  Integer distance = FHorzOffset - Value;
  FHorzOffset = Value;
  UpdateScrollBars();
  if (!IsUpdateLocked() && HandleAllocated()) {
    // Fixed bands and the footer do not move with the scrolled pixels.
    if (FFooterVisible || std::abs(distance) > GetScrollAreaWidth() || GetLeftFixedBandIndex() >= 0 ||
        GetRightFixedBandIndex() >= 0)
      Invalidate();
    else
      ScrollBandsBy(distance);
  }
  DoHorzScroll();
}

void TCustomzmTreeList::DoHorzScroll() {
  if (OnHorzScroll) OnHorzScroll(this);
}

void TCustomzmTreeList::ScrollRowsBy(Integer Dy) {
  if (!HandleAllocated() || Dy == 0) return;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  TRect area = info.RowsRect;
  area.Left = info.IndicatorRect.Left;
  ScrollWindowEx(GetHandle(), 0, Dy, &area, &area, nullptr, nullptr, SW_INVALIDATE);
  if (!FIsStandardPaint || GetVisibleBandCount() == 0) return;
  // The dots of dotted tree lines sit on a pattern fixed to the client: the tree strip of band 0
  // is drawn again rather than moved.
  Integer right = info.RowsRect.Left + GetBandDisplayWidth(0) + GetLeadingWidth();
  if (GetLeftFixedBandIndex() < 0) right -= FHorzOffset;
  TRect strip = Rect(info.RowsRect.Left, info.RowsRect.Top, std::min(right, info.RowsRect.Right), info.RowsRect.Bottom);
  if (strip.Right > strip.Left) InvalidateRect(GetHandle(), &strip, FALSE);
}

void TCustomzmTreeList::ScrollBandsBy(Integer Dx) {
  if (!HandleAllocated() || Dx == 0) return;
  TRect area = GetScrollAreaRect();
  ScrollWindowEx(GetHandle(), Dx, 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

void TCustomzmTreeList::UpdateScrollBars() {
  if (!HandleAllocated() || FUpdatingScrollBars || IsDestroying()) return;
  // Showing or hiding a bar resizes the client area, which comes back here.
  TValueScope updating(FUpdatingScrollBars, true, AliveToken());
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

namespace {

// Writes a bar only when one of its values changed, and shows it only while its range does not
// fit into its page.
void WriteScrollBar(TCustomzmContainer* Control, int Bar, bool Allowed, Integer Max, Integer Page, Integer Pos) {
  HWND wnd = Control->GetHandle();
  bool show = Allowed && Max >= Page && Max > 0;
  DWORD style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
  bool shown = (style & (Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
  if (!show) {
    if (shown) FlatSB_ShowScrollBar(wnd, Bar, FALSE);
    return;
  }
  SCROLLINFO old;
  old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Control->GetScrollInfo(Bar, old);
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = Max;
  info.nPage = static_cast<UINT>(std::max(Page, 0));
  info.nPos = Pos;
  bool changed = old.nMin != info.nMin || old.nMax != info.nMax || old.nPage != info.nPage || old.nPos != info.nPos;
  if (changed) Control->SetScrollInfo(Bar, info, true);
  if (!shown) FlatSB_ShowScrollBar(wnd, Bar, TRUE);
}

}  // namespace

void TCustomzmTreeList::UpdateHorzScrollBar() {
  if (!HandleAllocated()) return;
  Integer total = GetScrollableBandsWidth(), area = GetScrollAreaWidth();
  Integer max = area >= total ? 0 : total - 1;
  WriteScrollBar(this, SB_HORZ, HasHorzScrollBar(), max, area, FHorzOffset);
}

void TCustomzmTreeList::UpdateVertScrollBar() {
  if (!HandleAllocated()) return;
  UpdateRowCounts();
  Integer min, max, pos, page;
  GetVertScrollRange(min, max, pos, page);
  WriteScrollBar(this, SB_VERT, HasVertScrollBar(), max, page, std::max(pos, 0));
}

void TCustomzmTreeList::HideScrollBarsWhenFitting() {
  if (!HandleAllocated() || KeepsScrollBars()) return;
  HWND wnd = GetHandle();
  DWORD style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
  if ((style & (WS_HSCROLL | WS_VSCROLL)) != (WS_HSCROLL | WS_VSCROLL)) return;
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  Integer page, shown;
  CountRowsFrom(FTopNode, info.RowsRect.Height() + GetSystemMetrics(SM_CYHSCROLL), page, shown);
  bool rowsFit = page >= GetVisibleNodeCount();
  bool bandsFit = GetScrollableBandsWidth() <= GetScrollAreaWidth() + GetSystemMetrics(SM_CXVSCROLL);
  if (!rowsFit || !bandsFit) return;
  SetWindowLong(wnd, GWL_STYLE, static_cast<LONG>(style & ~(WS_HSCROLL | WS_VSCROLL)));
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomzmTreeList::ClampScrollPosition() {
  Integer count = GetVisibleNodeCount(), top = GetTopIndex();
  UpdateRowCounts();
  Integer limit = std::max(count - FPageRowCount, 0);
  if (top > limit) {
    SetTopVisibleNode(VisibleNodeAt(limit));
    Invalidate();
  }
  Integer total = GetScrollableBandsWidth(), area = GetScrollAreaWidth();
  if (area < total) {
    if (FHorzOffset > total - area) {
      FHorzOffset = total - area;
      Invalidate();
    }
  } else if (FHorzOffset != 0) {
    FHorzOffset = 0;
    Invalidate();
  }
}

void TCustomzmTreeList::GetStatusCloseButtonRect(TRect& R) {
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  const TRect& panel = info.StatusRect;
  if (panel.IsEmpty()) return;
  R = Bounds(panel.Left + 3, panel.Top + (panel.Height() - 11) / 2, 12, 11);
}

void TCustomzmTreeList::MakeBandVisible(Integer VisibleBand) {
  if (GetVisibleBandCount() < 2 || VisibleBand < 0 || VisibleBand >= GetVisibleBandCount() ||
      VisibleBand == GetLeftFixedBandIndex() || VisibleBand == GetRightFixedBandIndex())
    return;
  Integer left = GetBandLeft(VisibleBand);
  Integer right = left + GetBandDisplayWidth(VisibleBand), width = GetScrollAreaWidth();
  if (left >= FHorzOffset && right <= FHorzOffset + width) return;
  SetLeftCoord(left >= FHorzOffset ? std::min(left, right - width) : left);
}

void TCustomzmTreeList::MakeColumnVisible(Integer Column) {
  Integer band = VisibleBandOfColumn(Column);
  if (band < 0 || band == GetLeftFixedBandIndex() || band == GetRightFixedBandIndex()) return;
  Integer row = GetColumnRowIndex(Column), left = GetBandLeft(band);
  for (Integer c = 0; c < GetHeaderColCount(band, row); ++c) {
    Integer other = GetHeaderColumnIndex(band, row, c);
    if (other == Column) break;
    left += GetColumnDisplayWidth(other);
  }
  Integer right = left + GetColumnDisplayWidth(Column), width = GetScrollAreaWidth();
  if (left >= FHorzOffset && right <= FHorzOffset + width) return;
  SetLeftCoord(left >= FHorzOffset ? std::min(left, right - width) : left);
}
