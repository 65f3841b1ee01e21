// The tree list's hit test: which part of the control lies under a client point (band and header
// captions and their sizing edges, the indicator and its row edges, a node's tree parts, cells).
#include <algorithm>

#include "treelist/zmTL.h"

namespace {

// Sizing edges reach this far into an item (and this far beyond its right edge).
constexpr Integer kEdge = 4;

bool WithinRows(const TRect& R, TPoint P) { return P.Y >= R.Top && P.Y < R.Bottom; }

// The rectangle widened to the left over a non-empty corner, its bottom moved down by an edge.
TRect EdgeZone(TRect R, const TRect& Corner) {
  if (!Corner.IsEmpty()) R.Left = Corner.Left;
  R.Bottom += kEdge;
  return R;
}

}  // namespace

bool TCustomzmTreeList::CanSizeBandAt(Integer VisibleBand) {
  return HasExtra(zmxBandSizing) && CanSizeBand(VisibleBand) && (!UsesDefaultLayout() || FBandsVisible);
}

TzmTreeListNode* TCustomzmTreeList::GetNodeAt(Integer X, Integer Y) {
  TzmTreeListHitTestInfo hit;
  CalcHitTest(Point(X, Y), hit);
  return hit.Node;
}

void TCustomzmTreeList::CalcHitTest(TPoint P, TzmTreeListHitTestInfo& Hit) {
  Hit = TzmTreeListHitTestInfo();
  Hit.X = P.X;
  Hit.Y = P.Y;
  TzmTreeListDrawInfo d;
  CalcDrawInfo(d);
  if (!d.ClientBounds.Contains(P)) return;
  Hit.Kind = tlhNowhere;
  if (d.GroupPanelRect.Contains(P)) {
    Hit.Kind = tlhGroupPanel;
    return;
  }
  if (HasExtra(zmxBandRowSizing) && !d.BandRowRect.IsEmpty()) {
    TRect zone = EdgeZone(d.BandRowRect, d.BandCornerRect);
    if (zone.Contains(P) && P.Y >= zone.Bottom - 8) {
      Hit.Kind = tlhBandRowEdge;
      return;
    }
  }
  if (d.BandCornerRect.Contains(P)) {
    Hit.Kind = tlhBandCorner;
    return;
  }
  if (d.BandRowRect.Contains(P)) {
    Hit.Kind = tlhBand;
    for (size_t i = 0; i < d.Bands.size(); ++i) {
      const TzmTreeListBandDrawItem& item = d.Bands[i];
      if (!item.Bounds.Contains(P) || !item.VisibleBounds.Contains(P)) continue;
      Hit.BandIndex = item.BandIndex;
      bool cut = item.VisibleBounds.Right < item.Bounds.Right;
      if (CanSizeBandAt(item.BandIndex) &&
          (P.X >= item.Bounds.Right - kEdge || (cut && P.X >= item.VisibleBounds.Right - kEdge))) {
        Hit.Kind = tlhBandEdge;
      } else if (i > 0 && P.X < d.Bands[i - 1].Bounds.Right + kEdge && CanSizeBandAt(d.Bands[i - 1].BandIndex)) {
        Hit.BandIndex = d.Bands[i - 1].BandIndex;
        Hit.Kind = tlhBandEdge;
      }
      return;
    }
    for (const TzmTreeListBandDrawItem& item : d.Bands)
      if (P.X >= item.Bounds.Right && P.X - item.Bounds.Right <= kEdge && CanSizeBandAt(item.BandIndex)) {
        Hit.BandIndex = item.BandIndex;
        Hit.Kind = tlhBandEdge;
        return;
      }
    return;
  }
  if (!d.Bands.empty() && WithinRows(d.BandRowRect, P) && P.X >= d.BandRowRect.Right &&
      P.X <= d.BandRowRect.Right + kEdge && CanSizeBandAt(d.Bands.back().BandIndex)) {
    Hit.BandIndex = d.Bands.back().BandIndex;
    Hit.Kind = tlhBandEdge;
    return;
  }
  if (HasExtra(zmxHeaderRowSizing) && !d.HeaderRect.IsEmpty()) {
    TRect zone = EdgeZone(d.HeaderRect, d.HeaderCornerRect);
    if (zone.Contains(P) && P.Y >= zone.Bottom - 8) {
      Hit.Kind = tlhHeaderRowEdge;
      return;
    }
  }
  if (d.HeaderCornerRect.Contains(P)) {
    Hit.Kind = tlhHeaderCorner;
    return;
  }
  if (d.HeaderRect.Contains(P) ||
      (!d.Bands.empty() && WithinRows(d.HeaderRect, P) && P.X >= d.HeaderRect.Right && P.X <= d.HeaderRect.Right + kEdge)) {
    HitHeader(d, Hit);
    return;
  }
  if (d.NewItemRowRect.Contains(P)) {
    Hit.Kind = tlhNewItemRow;
    for (const TzmTreeListHeaderDrawItem& item : d.Headers)
      if (P.X >= std::max(item.Bounds.Left, item.VisibleBounds.Left) && P.X < std::min(item.Bounds.Right, item.VisibleBounds.Right)) {
        Hit.BandIndex = item.BandIndex;
        Hit.ColumnIndex = item.ColumnIndex;
        break;
      }
    return;
  }
  TRect indicator = d.IndicatorRect;
  if (!FIndicatorVisible) indicator.Right = d.RowsRect.Right;
  bool rowEdges = HasExtra(zmxRowSizing);
  if (indicator.Contains(P)) {
    Hit.Kind = tlhIndicator;
    Integer top = d.RowsRect.Top;
    for (size_t i = 0; i < d.Rows.size(); ++i) {
      Integer bottom = top + d.Rows[i].Height;
      if (P.Y >= top && P.Y < bottom) {
        Integer row = static_cast<Integer>(i);
        if (rowEdges && i > 0 && P.Y - top < kEdge) --row;
        if (rowEdges && (row != static_cast<Integer>(i) || bottom - P.Y <= kEdge)) Hit.Kind = tlhRowEdge;
        Hit.RowIndex = row;
        Hit.Node = d.Rows[static_cast<size_t>(row)].Node;
        break;
      }
      top = bottom;
    }
    if (FIndicatorVisible || Hit.Kind == tlhRowEdge) return;
    Hit.Kind = tlhNowhere;
    Hit.RowIndex = -1;
    Hit.Node = nullptr;
  } else if (rowEdges && !d.Rows.empty() && P.X >= indicator.Left && P.X < indicator.Right &&
             P.Y >= indicator.Bottom && P.Y - indicator.Bottom <= kEdge) {
    Hit.Kind = tlhRowEdge;
    Hit.RowIndex = static_cast<Integer>(d.Rows.size()) - 1;
    Hit.Node = d.Rows.back().Node;
    return;
  }
  if (d.StatusRect.Contains(P)) {
    Hit.Kind = tlhStatusPanel;
    return;
  }
  if (d.FooterRect.Contains(P)) {
    Hit.Kind = tlhFooter;
    for (const TzmTreeListHeaderDrawItem& item : d.Headers) {
      Integer top = d.FooterRect.Top + FMetrics.FooterRowHeight * item.RowIndex - (item.RowIndex == 0 ? 1 : 0);
      Integer bottom = d.FooterRect.Top + FMetrics.FooterRowHeight * (item.RowIndex + item.RowSpan) + 3;
      if (P.Y >= top && P.Y < bottom && P.X >= item.VisibleBounds.Left && P.X < item.VisibleBounds.Right) {
        Hit.BandIndex = item.BandIndex;
        Hit.ColumnIndex = item.ColumnIndex;
        break;
      }
    }
    return;
  }
  HitRow(d, Hit);
}

void TCustomzmTreeList::HitHeader(const TzmTreeListDrawInfo& Info, TzmTreeListHitTestInfo& Hit) {
  TPoint p = Point(Hit.X, Hit.Y);
  if (Info.Headers.empty()) return;
  // The last column of a band: its band's edge, or the column's own edge in a header-only layout.
  auto lastColumnEdge = [&](Integer Band) {
    Hit.BandIndex = Band;
    Hit.Kind = tlhHeader;
    if (!IsHeaderOnlyLayout()) {
      if (CanSizeBandAt(Band)) Hit.Kind = tlhBandEdge;
      return;
    }
    Integer row = GetHeaderRowCount(Band) - 1;
    Hit.ColumnIndex = GetHeaderColumnIndex(Band, row, GetHeaderColCount(Band, row) - 1);
    if (IsColumnSizingEnabled(Hit.ColumnIndex)) Hit.Kind = tlhHeaderEdge;
  };
  if (p.X >= Info.HeaderRect.Right) {
    if (!Info.HeaderRect.Contains(p)) lastColumnEdge(Info.Bands.back().BandIndex);
    return;
  }
  Hit.Kind = tlhHeader;
  for (const TzmTreeListHeaderDrawItem& item : Info.Headers) {
    if (!item.Bounds.Contains(p) || !item.VisibleBounds.Contains(p)) continue;
    Hit.BandIndex = item.BandIndex;
    Hit.ColumnIndex = item.ColumnIndex;
    bool cut = item.VisibleBounds.Right < item.Bounds.Right;
    if (p.X >= item.Bounds.Right - kEdge || (cut && p.X >= item.VisibleBounds.Right - kEdge)) {
      if (IsColumnSizingEnabled(item.ColumnIndex) && (!item.LastInRow || IsHeaderOnlyLayout())) Hit.Kind = tlhHeaderEdge;
      else if (item.LastInRow && CanSizeBandAt(item.BandIndex)) Hit.Kind = tlhBandEdge;
      return;
    }
    if (!item.FirstInRow) {
      auto previous = std::find_if(Info.Headers.begin(), Info.Headers.end(), [&](const TzmTreeListHeaderDrawItem& h) {
        return h.BandIndex == item.BandIndex && h.RowIndex == item.RowIndex && h.ColIndex == item.ColIndex - 1;
      });
      if (previous != Info.Headers.end() && p.X < previous->Bounds.Right + kEdge &&
          IsColumnSizingEnabled(previous->ColumnIndex)) {
        Hit.ColumnIndex = previous->ColumnIndex;
        Hit.Kind = tlhHeaderEdge;
      }
      return;
    }
    auto band = std::find_if(Info.Bands.begin(), Info.Bands.end(),
                             [&](const TzmTreeListBandDrawItem& b) { return b.BandIndex == item.BandIndex; });
    if (band != Info.Bands.begin() && band != Info.Bands.end() && p.X < item.Bounds.Left + kEdge)
      lastColumnEdge((band - 1)->BandIndex);
    return;
  }
}

TzmTreeListHitKind TCustomzmTreeList::HitNodePart(const TzmTreeListDrawInfo& Info, const TzmTreeListRowDrawItem& Row,
                                                   Integer /*RowTop*/, Integer X) {
  TzmTreeListNode* node = Row.Node;
  const TzmTreeListMetrics& m = FMetrics;
  Integer level = node->GetLevel(), indent = m.Indent;
  Integer x = X - Info.RowsRect.Left + (GetLeftFixedBandIndex() < 0 ? FHorzOffset : 0);
  struct Part {
    Integer Left = 0, Right = 0;
    bool Exists = false;
  };
  Part button, state, image, tree;
  if (node->GetHasChildren()) button = {level * indent, (level + 1) * indent, true};
  Integer shift = !FIsStandardPaint && !node->GetHasChildren() ? indent : 0;
  Integer imageLeft = (level + 1) * indent - shift;
  if (GetNodeStateIndex(node) >= 0 && m.StateImageWidth > 0) {
    state = {imageLeft, imageLeft + m.StateImageWidth, true};
    imageLeft = state.Right;
  }
  bool hasImage = GetNodeImageIndex(node) >= 0 || GetNodeSelectedIndex(node) >= 0;
  if (hasImage && m.ImageWidth > 0) image = {imageLeft, imageLeft + m.ImageWidth - (state.Exists ? 0 : 1), true};
  for (const Part* part : {&button, &state, &image})
    if (part->Exists) {
      tree = {0, part->Left, part->Left > 0};
      break;
    }
  Part* parts[] = {&tree, &button, &state, &image};
  const TzmTreeListHitKind kinds[] = {tlhIndent, tlhButton, tlhStateImage, tlhImage};
  for (size_t i = 0; i < 4; ++i) {
    Part& part = *parts[i];
    if (!part.Exists) continue;
    if (!FRootLinesVisible) {
      part.Left -= indent;
      part.Right -= indent;
    }
    part.Right = std::min(part.Right, Info.IndentClipWidth);
    if (part.Left >= Info.IndentClipWidth) continue;
    if (x >= part.Left && x < part.Right) return kinds[i];
  }
  return tlhNowhere;
}

void TCustomzmTreeList::HitRow(const TzmTreeListDrawInfo& Info, TzmTreeListHitTestInfo& Hit) {
  if (Info.Rows.empty() || Info.Bands.empty()) return;
  Integer top = Info.RowsRect.Top;
  size_t i = 0;
  for (; i < Info.Rows.size() && !(Hit.Y >= top && Hit.Y < top + Info.Rows[i].Height); ++i) top += Info.Rows[i].Height;
  if (i == Info.Rows.size()) return;
  const TzmTreeListRowDrawItem& row = Info.Rows[i];
  Integer bottom = top + row.Height;
  Hit.RowIndex = static_cast<Integer>(i);
  Hit.Node = row.Node;
  Hit.Kind = Hit.X < Info.ContentRight ? tlhCell : tlhRowEnd;
  Integer footerTop = bottom - row.FooterHeight;
  if (row.FooterCount > 0 && Hit.Y >= footerTop && Hit.X < Info.ContentRight) {
    Hit.Kind = tlhRowFooter;
    Hit.FooterRowIndex = FMetrics.NodeFooterHeight > 0 ? (Hit.Y - footerTop) / FMetrics.NodeFooterHeight : 0;
  } else {
    Integer indent, textLeft;
    GetNodeIndent(row.Node, indent, textLeft);
    textLeft = std::min(textLeft, Info.IndentClipWidth) - (GetLeftFixedBandIndex() < 0 ? FHorzOffset : 0);
    if (Hit.X < Info.RowsRect.Left + textLeft) Hit.Kind = HitNodePart(Info, row, top, Hit.X);
  }
  Integer previewBottom = bottom - Info.GridLineWidth - row.FooterHeight;
  if (Hit.Kind == tlhCell && row.PreviewLines > 0 &&
      Hit.Y >= previewBottom - row.PreviewLines * FMetrics.PreviewTextHeight - 2 && Hit.Y < previewBottom)
    Hit.Kind = tlhPreview;
  if (Hit.Kind != tlhCell && Hit.Kind != tlhRowFooter) return;
  bool oneHeaderRow = GetHeaderPanelRowCount() == 1;
  for (const TzmTreeListHeaderDrawItem& item : Info.Headers) {
    Integer cellTop, cellBottom;
    if (Hit.Kind == tlhCell) {
      cellTop = top + FMetrics.RowHeight * item.RowIndex;
      cellBottom = oneHeaderRow ? previewBottom - row.PreviewLines * FMetrics.PreviewTextHeight
                                : cellTop + item.RowSpan * FMetrics.RowHeight;
    } else {
      cellTop = footerTop + Hit.FooterRowIndex * FMetrics.NodeFooterHeight + FMetrics.FooterRowHeight * item.RowIndex -
                (item.RowIndex == 0 ? 1 : 0);
      cellBottom = cellTop + item.RowSpan * FMetrics.FooterRowHeight + 2;
    }
    if (Hit.Y >= cellTop && Hit.Y < cellBottom && Hit.X >= item.VisibleBounds.Left && Hit.X < item.VisibleBounds.Right) {
      Hit.BandIndex = item.BandIndex;
      Hit.ColumnIndex = item.ColumnIndex;
      return;
    }
  }
}
