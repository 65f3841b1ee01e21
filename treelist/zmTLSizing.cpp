// The tree list's sizing and its header and band drag and drop: sizing lines with their limits
// and snapping, widths absorbed by the neighbours, drop positions, the drag feedback popups and
// finishing or cancelling an interaction.
#include <algorithm>
#include <numeric>
#include <utility>

#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLFeedback.h"
#include "treelist/zmTLHelpers.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr Integer kUnlimited = 100000;
constexpr Integer kSizingScrollZone = 12;

// New widths for Items whose total becomes Total: each in proportion, the last the rest.
std::vector<Integer> Distribute(const std::vector<Integer>& Items, Integer Total) {
  Integer sum = std::accumulate(Items.begin(), Items.end(), 0);
  std::vector<Integer> result(Items.size());
  if (Items.empty() || sum == 0) return Items;
  Integer handed = 0;
  for (size_t i = 0; i + 1 < Items.size(); ++i) {
    result[i] = MulDiv(Items[i], Total, sum);
    handed += result[i];
  }
  result.back() = Total - handed;
  return result;
}

}  // namespace

TRect TCustomzmTreeList::ClientToScreenRect(const TRect& R) {
  TPoint origin = ClientToScreen(Point(0, 0));
  return Rect(R.Left + origin.X, R.Top + origin.Y, R.Right + origin.X, R.Bottom + origin.Y);
}

// ---------------------------------------------------------------------------------------------
// Sizing

void TCustomzmTreeList::GetSizingLimits(Integer& Left, Integer& Min, Integer& Max) {
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  const TzmTreeListHitTestInfo& hit = FPressHitInfo;
  Integer lead = GetLeadingWidth();
  Left = 0;
  Min = -kUnlimited;
  Max = kUnlimited;
  switch (FInteractionState) {
    case tlsBandSizing: {
      auto item = std::find_if(info.Bands.begin(), info.Bands.end(),
                               [&](const TzmTreeListBandDrawItem& b) { return b.BandIndex == hit.BandIndex; });
      if (item != info.Bands.end()) Left = item->Bounds.Left;
      Min = Left + GetBandMinWidth(hit.BandIndex) + (hit.BandIndex == 0 ? lead : 0);
      Max = IsBandSizingUnlimited(hit.BandIndex) ? kUnlimited : info.ClientBounds.Right - 2;
      break;
    }
    case tlsColumnSizing: {
      auto item = std::find_if(info.Headers.begin(), info.Headers.end(),
                               [&](const TzmTreeListHeaderDrawItem& h) { return h.ColumnIndex == hit.ColumnIndex; });
      if (item == info.Headers.end()) break;
      Left = item->Bounds.Left;
      Min = Left + GetColumnMinWidth(hit.ColumnIndex) + (item->FirstOverall ? lead : 0);
      auto band = std::find_if(info.Bands.begin(), info.Bands.end(),
                               [&](const TzmTreeListBandDrawItem& b) { return b.BandIndex == item->BandIndex; });
      if (!IsAutoWidth() && IsColumnSizingUnlimited(hit.ColumnIndex)) Max = kUnlimited;
      else if (IsHeaderOnlyLayout()) Max = info.ClientBounds.Right - 1;
      else Max = band != info.Bands.end() ? band->Bounds.Right : item->Bounds.Right;
      break;
    }
    case tlsBandRowSizing: {
      if (info.BandRowRect.IsEmpty()) break;
      Integer top = info.BandRowRect.Top, snapped = top + BandRowHeightFor(1);
      for (Integer n = 2; n <= GetBandMaxRowCount(); ++n) {
        Integer lower = top + BandRowHeightFor(n - 1), upper = top + BandRowHeightFor(n);
        if (FSizingLinePos < (lower + upper) / 2) break;
        snapped = upper;
      }
      if (FSizingLinePos < top + BandRowHeightFor(1) / 2) snapped = top + BandRowHeightFor(1) / 2 - 1;
      Min = Max = snapped;
      break;
    }
    case tlsHeaderRowSizing: {
      Integer height = FMetrics.HeaderRowHeight;
      if (info.HeaderRect.IsEmpty() || height <= 0) break;
      Integer n = std::clamp((FSizingLinePos + height / 2 - info.HeaderRect.Top) / height, 1,
                             std::max(GetHeaderPanelMaxRowCount(), 1));
      Min = Max = info.HeaderRect.Top + n * height;
      break;
    }
    case tlsRowSizing: {
      TRect row = GetNodeRect(hit.Node);
      if (row == zmNoRect) break;
      Left = row.Top;
      Min = row.Top + GetNodeRowHeight(hit.Node, FMetrics.MinRowHeight, true);
      Max = (info.FooterRect.IsEmpty() ? info.ClientBounds.Bottom : info.FooterRect.Top) - 1;
      break;
    }
    default:
      break;
  }
  Max = std::max(Max, Min);
}

void TCustomzmTreeList::StartSizing(TzmTreeListState State, Integer Position) {
  SetInteractionState(State);
  FSizingLinePos = FSizingStartPos = Position;
  ShowSizingLine();
}

void TCustomzmTreeList::ShowSizingLine() {
  if (!IsSizingState(FInteractionState) || FDragFeedbackHideCount > 0 || !HandleAllocated()) return;
  if (!FSizingLine) FSizingLine = MakeOwned<TzmTreeListFeedbackWindow>(nullptr);
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  TRect line;
  bool vertical = FInteractionState == tlsBandSizing || FInteractionState == tlsColumnSizing;
  if (vertical) {
    Integer top = FInteractionState == tlsBandSizing && !info.BandRowRect.IsEmpty() ? info.BandRowRect.Top
                                                                                   : info.HeaderRect.Top;
    line = Rect(FSizingLinePos, top, FSizingLinePos + (FInteractionState == tlsBandSizing ? 2 : 1), info.RowsRect.Bottom);
  } else {
    Integer thickness = FInteractionState == tlsRowSizing ? 1 : 2;
    line = Rect(info.ClientBounds.Left, FSizingLinePos, info.ClientBounds.Right, FSizingLinePos + thickness);
  }
  FSizingLine->ShowRect(ClientToScreenRect(line), clBlack);
}

void TCustomzmTreeList::MoveSizingLine(Integer Position) {
  Integer left, least, most;
  Integer saved = std::exchange(FSizingLinePos, Position);
  GetSizingLimits(left, least, most);
  Integer clamped = std::clamp(Position, least, most);
  FSizingLinePos = saved;
  if (clamped == FSizingLinePos) return;
  FSizingLinePos = clamped;
  ShowSizingLine();
}

void TCustomzmTreeList::FinishSizing() {
  TzmTreeListState state = FInteractionState;
  if (FSizingLine) FSizingLine->HideFeedback();
  Integer left, least, most;
  GetSizingLimits(left, least, most);
  Integer position = std::clamp(FSizingLinePos, least, most);
  bool moved = position != FSizingStartPos;
  const TzmTreeListHitTestInfo hit = FPressHitInfo;
  SetInteractionState(tlsIdle);
  switch (state) {
    case tlsBandSizing:
      if (!moved) break;
      if (IsAutoWidth()) SetBandWidthAuto(hit.BandIndex, position - left + 2);
      else SetBandWidthScaled(hit.BandIndex, position - left + 2);
      DoColumnsWidthChanged();
      break;
    case tlsColumnSizing: {
      if (!moved) break;
      Integer band = VisibleBandOfColumn(hit.ColumnIndex);
      if (UsesDefaultLayout() && !IsAutoWidth() && GetHeaderRowCount(band) <= 1)
        SetColumnWidthSpread(band, hit.ColumnIndex, position - left + 1);
      else
        SetColumnWidthInRow(band, hit.ColumnIndex, position - left + 1);
      DoColumnsWidthChanged();
      break;
    }
    case tlsBandRowSizing: SetBandRowCount(BandRowCountAt(position)); break;
    case tlsHeaderRowSizing: SetHeaderPanelRowCount(HeaderRowCountAt(position)); break;
    case tlsRowSizing:
      if (moved && hit.Node) SetRowHeight(RowHeightAt(hit.Node, position - left));
      break;
    default:
      break;
  }
}

Integer TCustomzmTreeList::RowHeightAt(TzmTreeListNode* Node, Integer Height) {
  Integer line = FMetrics.MinRowHeight;
  if (GetNodeRowHeight(Node, line, true) > Height) return FMetrics.RowHeight;
  while (GetNodeRowHeight(Node, line + 1, true) <= Height) ++line;
  return line;
}

// ---------------------------------------------------------------------------------------------
// Widths absorbed by the neighbours

void TCustomzmTreeList::SetBandWidthAuto(Integer VisibleBand, Integer Width) {
  Integer count = GetVisibleBandCount(), lead = GetLeadingWidth();
  if (VisibleBand < 0 || VisibleBand >= count) return;
  TUpdateScope update(this);
  std::vector<Integer> widths(static_cast<size_t>(count));
  for (Integer b = 0; b < count; ++b) widths[static_cast<size_t>(b)] = GetBandDisplayWidth(b);
  Integer old = widths[static_cast<size_t>(VisibleBand)];
  if (VisibleBand == 0) Width -= lead;
  // The bands after the sized one absorb the change; all before it when it is the last.
  Integer first = VisibleBand == count - 1 ? 0 : VisibleBand + 1, last = VisibleBand == count - 1 ? VisibleBand : count;
  std::vector<Integer> absorbing(widths.begin() + first, widths.begin() + last);
  Integer total = std::accumulate(absorbing.begin(), absorbing.end(), 0);
  if (total == 0) return;
  Integer newTotal = std::max(total + old - Width, 0);
  std::vector<Integer> shares = Distribute(absorbing, newTotal);
  ScaleBandWidths(newTotal, total);
  widths[static_cast<size_t>(VisibleBand)] = Width;
  std::copy(shares.begin(), shares.end(), widths.begin() + first);
  for (Integer b = 0; b < count; ++b) {
    if (UsesDefaultLayout()) SetBandWidthScaled(b, widths[static_cast<size_t>(b)]);
    else SetVisibleBandWidth(b, widths[static_cast<size_t>(b)]);
  }
}

void TCustomzmTreeList::SetBandWidthScaled(Integer VisibleBand, Integer Width) {
  Integer old = GetBandDisplayWidth(VisibleBand);
  TUpdateScope update(IsUpdateLocked() ? nullptr : this);
  if (old > 0)
    for (Integer r = 0; r < GetHeaderRowCount(VisibleBand); ++r)
      for (Integer c = 0; c < GetHeaderColCount(VisibleBand, r); ++c) {
        Integer column = GetHeaderColumnIndex(VisibleBand, r, c);
        SetColumnWidth(column, MulDiv(GetColumnDisplayWidth(column), Width, old));
      }
  ScaleColumnWidths(VisibleBand, Width, old);
  SetVisibleBandWidth(VisibleBand, Width);
}

void TCustomzmTreeList::SetColumnWidthInRow(Integer VisibleBand, Integer Column, Integer Width) {
  TUpdateScope update(this);
  RebuildBandLists();
  Integer row = GetColumnRowIndex(Column), count = GetHeaderColCount(VisibleBand, row);
  std::vector<Integer> columns, widths;
  Integer at = -1;
  for (Integer c = 0; c < count; ++c) {
    columns.push_back(GetHeaderColumnIndex(VisibleBand, row, c));
    widths.push_back(GetColumnDisplayWidth(columns.back()));
    if (columns.back() == Column) at = c;
  }
  if (at < 0) return;
  Integer oldRow = std::accumulate(widths.begin(), widths.end(), 0);
  Integer old = widths[static_cast<size_t>(at)];
  Integer first = at == count - 1 ? 0 : at + 1, last = at == count - 1 ? at : count;
  std::vector<Integer> absorbing(widths.begin() + first, widths.begin() + last);
  Integer total = std::accumulate(absorbing.begin(), absorbing.end(), 0);
  widths[static_cast<size_t>(at)] = Width;
  if (total > 0) {
    Integer newTotal = std::max(total + old - Width, 0);
    std::vector<Integer> shares = Distribute(absorbing, newTotal);
    std::copy(shares.begin(), shares.end(), widths.begin() + first);
    ScaleColumnWidths(VisibleBand, newTotal, total);
  }
  for (size_t c = 0; c < columns.size(); ++c) SetColumnWidth(columns[c], widths[c]);
  Integer newRow = std::accumulate(widths.begin(), widths.end(), 0);
  if (!UsesDefaultLayout() || oldRow == 0) return;
  for (Integer r = 0; r < GetHeaderRowCount(VisibleBand); ++r) {
    if (r == row) continue;
    for (Integer c = 0; c < GetHeaderColCount(VisibleBand, r); ++c) {
      Integer other = GetHeaderColumnIndex(VisibleBand, r, c);
      SetColumnWidth(other, MulDiv(GetColumnDisplayWidth(other), newRow, oldRow));
    }
  }
}

void TCustomzmTreeList::SetColumnWidthSpread(Integer VisibleBand, Integer Column, Integer Width) {
  TUpdateScope update(this);
  Integer oldBand = GetBandDisplayWidth(VisibleBand);
  Integer newBand = oldBand + Width - GetColumnDisplayWidth(Column);
  Integer sizedRow = GetColumnRowIndex(Column);
  for (Integer r = 0; r < GetHeaderRowCount(VisibleBand); ++r) {
    Integer count = GetHeaderColCount(VisibleBand, r), handed = 0;
    for (Integer c = 0; c < count; ++c) {
      Integer column = GetHeaderColumnIndex(VisibleBand, r, c);
      Integer width = c == count - 1 ? newBand - handed
                                     : (r == sizedRow ? (column == Column ? Width : GetColumnDisplayWidth(column))
                                                      : MulDiv(GetColumnDisplayWidth(column), newBand, oldBand));
      handed += width;
      SetColumnWidth(column, width);
    }
  }
  ScaleColumnWidths(VisibleBand, newBand, oldBand);
}

// ---------------------------------------------------------------------------------------------
// Header and band drag and drop

TBitmap* TCustomzmTreeList::CreateCaptionDragImage(const TzmHeaderButtonContent& Content, TFont* Font, Integer Width,
                                                  Integer Height) {
  TOwned<TBitmap> bitmap = MakeOwned<TBitmap>();
  bitmap->SetSize(std::min(std::max(Width, 1), std::max(Screen->GetWidth(), 1)), std::max(Height, 1));
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetFont()->Assign(Font);
  HDC dc = canvas->GetHandle();
  SetTextColor(dc, ColorToRGB(Font->GetColor()));
  HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  DrawHeaderButton(dc, Rect(0, 0, bitmap->GetWidth(), bitmap->GetHeight()), face, Content);
  DeleteObject(face);
  return bitmap.release();
}

TBitmap* TCustomzmTreeList::CreateBandDragImage(Integer VisibleBand) {
  TzmHeaderButtonContent content;
  GetVisibleBandCaption(VisibleBand, content.Text);
  content.Alignment = GetVisibleBandAlignment(VisibleBand);
  content.MultiLineIndex = GetBandRowCount() > 1 ? 1 : 0;
  content.Look = FFrameLook;
  Integer width = GetBandDisplayWidth(VisibleBand) + (VisibleBand == 0 ? GetLeadingWidth() : 0);
  return CreateCaptionDragImage(content, FBandCaptionFont.get(), width, FMetrics.BandRowHeight);
}

TBitmap* TCustomzmTreeList::CreateHeaderDragImage(Integer Column) {
  TzmHeaderButtonContent content;
  GetColumnHeaderCaption(Column, content.Text);
  content.Alignment = GetColumnHeaderAlignment(Column);
  content.SortState = GetColumnSorted(Column);
  if (HasColumnHeaderGlyph(Column)) content.Glyph = GetColumnHeaderGlyph(Column);
  content.Look = FFrameLook;
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  auto item = std::find_if(info.Headers.begin(), info.Headers.end(),
                           [&](const TzmTreeListHeaderDrawItem& h) { return h.ColumnIndex == Column; });
  Integer width = item != info.Headers.end() ? item->Bounds.Width() : GetColumnWidth(Column);
  if (width < 1) width = 20;
  return CreateCaptionDragImage(content, FHeaderCaptionFont.get(), width, FMetrics.HeaderRowHeight);
}

void TCustomzmTreeList::SetCustomizeForm(TWinControl* Value) {
  if (Value == FCustomizeForm) return;
  if (FCustomizeForm) FCustomizeForm->RemoveFreeNotification(this);
  FCustomizeForm = Value;
  if (FCustomizeForm) FCustomizeForm->FreeNotification(this);
}

bool TCustomzmTreeList::IsOverCustomizeForm(TPoint Screen) {
  if (!FCustomizeForm || !FCustomizeForm->GetVisible() || !FCustomizeForm->HandleAllocated()) return false;
  return FCustomizeForm->GetClientRect().Contains(FCustomizeForm->ScreenToClient(Screen));
}

void TCustomzmTreeList::AdjustDragCursor(TPoint Point, TCursor& Cursor) {
  bool header = FInteractionState == tlsColumnDragging;
  if (IsOverCustomizeForm(Point)) {
    // The only shown column dragged from the header row cannot go: it keeps the no-drop cursor.
    if (!(header && FPressedColumn >= 0 && GetVisibleColumnCount() == 1)) Cursor = crDrag;
    if (header && FDraggedHeader >= 0 && IsColumnCustomizingDisabled(FDraggedHeader)) Cursor = crzmTLDelete;
  }
  if (header && GetVisibleBandCount() == 0) Cursor = crzmTLDelete;
}

void TCustomzmTreeList::StartDragImage(TBitmap* Image) {
  TOwned<TBitmap> image(Image);
  if (!FDragImage) FDragImage = MakeOwned<TzmTreeListFeedbackWindow>(nullptr);
  TPoint cursor;
  GetCursorPos(&cursor);
  FDragImage->ShowBitmap(image.get(), Point(cursor.X - image->GetWidth() / 2, cursor.Y - image->GetHeight() / 2));
  FArrowsPosition = Point(-100, -100);
}

void TCustomzmTreeList::StartBandDrag(Integer VisibleBand) {
  FArrowsExtent = FMetrics.BandRowHeight + 18;
  StartDragImage(CreateBandDragImage(VisibleBand));
  SetInteractionState(tlsBandDragging);
  DragStep();
}

void TCustomzmTreeList::StartHeaderDrag(Integer Column) {
  FArrowsExtent = FMetrics.HeaderRowHeight + 18;
  StartDragImage(CreateHeaderDragImage(Column));
  SetInteractionState(tlsColumnDragging);
  DragStep();
}

void TCustomzmTreeList::ShowDropArrows(TPoint ClientPoint) {
  if (ClientPoint == FArrowsPosition && FDropArrows && FDropArrows->IsShown()) return;
  FArrowsPosition = ClientPoint;
  if (FDragFeedbackHideCount > 0) return;
  if (!FDropArrows) FDropArrows = MakeOwned<TzmTreeListFeedbackWindow>(nullptr);
  TOwned<TBitmap> arrows = MakeOwned<TBitmap>();
  PaintDropArrows(arrows.get(), FArrowsExtent, FAppearance.DragArrowsColor);
  FDropArrows->ShowBitmap(arrows.get(), ClientToScreen(ClientPoint), DropArrowsRegion(FArrowsExtent));
}

void TCustomzmTreeList::HideDropArrows() {
  FArrowsPosition = Point(-100, -100);
  if (FDropArrows) FDropArrows->HideFeedback();
}

void TCustomzmTreeList::DragStep() {
  StopHorzAutoScroll();
  TPoint screen;
  GetCursorPos(&screen);
  TPoint point = ScreenToClient(screen), arrows = point;
  bool band = FInteractionState == tlsBandDragging;
  bool placed;
  if (band) placed = GetBandDropPosition(arrows, FPressedBand, FDraggedBand) >= 0;
  else placed = GetHeaderDropPosition(arrows, FPressedColumn, FDraggedHeader).Target == -3;
  if (placed) ShowDropArrows(arrows);
  else HideDropArrows();

  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  TRect strip = band ? info.BandRowRect : info.HeaderRect;
  bool inside = point.Y >= strip.Top && point.Y < strip.Bottom && point.X >= info.ClientBounds.Left &&
                point.X < info.ClientBounds.Right;
  TCursor cursor = inside ? GetCursor() : crzmTLDelete;
  AdjustDragCursor(screen, cursor);
  bool accept = cursor != crzmTLDelete;
  if (band) DoDragOverBand(point, FPressedBand, accept);
  else DoDragOverHeader(point, FPressedColumn, accept);
  cursor = accept ? GetCursor() : crzmTLDelete;
  if (Screen->GetCursor() != cursor) Screen->SetCursor(cursor);
  if (FDragImage && FDragImage->IsShown() && FDragFeedbackHideCount == 0) {
    TBitmap* image = FDragImage->GetBitmap();
    Integer shift = cursor == crzmTLDelete ? 16 : 0;
    FDragImage->MoveTo(Point(screen.X - image->GetWidth() / 2 - shift, screen.Y - image->GetHeight() / 2));
  }

  if (IsOverCustomizeForm(screen)) return;
  TRect range = GetScrollAreaRect();
  if (point.X >= range.Left && point.X < range.Left + kSizingScrollZone) StartHorzAutoScroll(-1);
  else if (point.X < range.Right && point.X >= range.Right - kSizingScrollZone) StartHorzAutoScroll(1);
}

Integer TCustomzmTreeList::GetBandDropPosition(TPoint& Point, Integer Pressed, Integer Dragged) {
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  const TRect& row = info.BandRowRect;
  if (IsOverCustomizeForm(ClientToScreen(Point))) return -1;
  if (Point.Y < row.Top || Point.Y >= row.Bottom) return -1;
  if (info.Bands.empty()) {
    Point = ::Point(row.Left - 5, row.Top - 9);
    return 0;
  }
  const TzmTreeListBandDrawItem* item = nullptr;
  bool leftHalf = false;
  for (size_t i = 0; i < info.Bands.size(); ++i) {
    const TzmTreeListBandDrawItem& b = info.Bands[i];
    if (Point.X < b.VisibleBounds.Left || Point.X >= b.VisibleBounds.Right) continue;
    if (b.BandIndex == Pressed) return -2;
    leftHalf = Point.X < (b.Bounds.Left + b.Bounds.Right) / 2;
    if (Pressed >= 0 && ((b.BandIndex == Pressed + 1 && leftHalf) || (b.BandIndex == Pressed - 1 && !leftHalf))) return -2;
    if ((static_cast<Integer>(i) == info.LeftFixedItem && leftHalf) ||
        (static_cast<Integer>(i) == info.RightFixedItem && !leftHalf))
      return -2;
    item = &b;
    break;
  }
  if (!item) {
    const TzmTreeListBandDrawItem& last = info.Bands.back();
    bool lastFixed = static_cast<Integer>(info.Bands.size()) - 1 == info.RightFixedItem;
    if (Point.X < last.VisibleBounds.Right || last.BandIndex == Pressed || lastFixed) return -2;
    item = &last;
    leftHalf = false;
  }
  Integer result = item->BandIndex;
  if (leftHalf && Pressed >= 0 && Pressed < item->BandIndex) --result;
  if (!leftHalf && ((Pressed >= 0 && Pressed > item->BandIndex) || (Pressed < 0 && Dragged >= 0))) ++result;
  Integer x = std::clamp((leftHalf ? item->Bounds.Left : item->Bounds.Right) - 5, row.Left - 5, row.Right);
  Point = ::Point(x, item->Bounds.Top - 9);
  return result;
}

TzmTreeListDropPosition TCustomzmTreeList::GetHeaderDropPosition(TPoint& Point, Integer Pressed, Integer Dragged) {
  TzmTreeListDropPosition result;
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  const TRect& header = info.HeaderRect;
  if (IsOverCustomizeForm(ClientToScreen(Point))) return {-1, -1, -1, -1};
  if (Point.Y < header.Top || Point.Y >= header.Bottom || info.Headers.empty()) {
    result.Target = -1;
    return result;
  }
  Integer draggedBand = Dragged >= 0 ? VisibleBandOfColumn(Dragged) : -1;
  auto forbidden = [&](Integer Band) {
    return draggedBand >= 0 && Band != draggedBand && (IsBandOnlyOwnColumns(Band) || IsBandOnlyOwnColumns(draggedBand));
  };
  auto place = [&](const TzmTreeListHeaderDrawItem& Item) {
    result.BandIndex = Item.BandIndex;
    result.RowIndex = Item.RowIndex;
    result.ColIndex = Item.ColIndex;
  };
  Integer pressedBand = Pressed >= 0 ? VisibleBandOfColumn(Pressed) : -1;
  Integer pressedRow = Pressed >= 0 ? GetColumnRowIndex(Pressed) : -1;
  Integer pressedCol = Pressed >= 0 ? GetColumnColIndex(Pressed) : -1;
  const TzmTreeListHeaderDrawItem* item = nullptr;
  bool leftHalf = false;
  for (const TzmTreeListHeaderDrawItem& h : info.Headers) {
    if (!h.VisibleBounds.Contains(Point)) continue;
    place(h);
    if (h.ColumnIndex == Pressed || forbidden(h.BandIndex)) return result;
    leftHalf = Point.X < (h.Bounds.Left + h.Bounds.Right) / 2;
    bool sameRow = pressedBand == h.BandIndex && pressedRow == h.RowIndex;
    if (sameRow && ((pressedCol == h.ColIndex - 1 && leftHalf) || (pressedCol == h.ColIndex + 1 && !leftHalf)))
      return result;
    item = &h;
    break;
  }
  Integer bandsRight = info.Bands.empty() ? header.Left : info.Bands.back().VisibleBounds.Right;
  if (!item && Point.X < bandsRight) {
    for (auto h = info.Headers.rbegin(); h != info.Headers.rend(); ++h) {
      if (forbidden(h->BandIndex) || Point.X < h->VisibleBounds.Left || Point.X >= h->VisibleBounds.Right) continue;
      result = {h->BandIndex, h->RowIndex + 1, h->ColIndex, -3};
      Point = ::Point(std::clamp(h->VisibleBounds.Left - 5, h->Bounds.Left - 5, h->Bounds.Right),
                      h->Bounds.Top + FMetrics.HeaderRowHeight - 9);
      return result;
    }
    for (const TzmTreeListBandDrawItem& b : info.Bands) {
      if (forbidden(b.BandIndex) || Point.X < b.VisibleBounds.Left || Point.X >= b.VisibleBounds.Right) continue;
      result = {b.BandIndex, 0, 0, -3};
      Point = ::Point(std::max(b.VisibleBounds.Left - 5, header.Left - 5), b.Bounds.Bottom - 9);
      return result;
    }
    return result;
  }
  if (!item) {
    TPoint probe = ::Point(bandsRight - 1, Point.Y);
    for (auto h = info.Headers.rbegin(); h != info.Headers.rend() && !item; ++h)
      if (h->VisibleBounds.Contains(probe)) {
        place(*h);
        if (forbidden(h->BandIndex)) return result;
        item = &*h;
        leftHalf = false;
      }
    if (!item) return result;
  }
  place(*item);
  result.Target = -3;
  bool sameBand = pressedBand == item->BandIndex, sameRow = sameBand && pressedRow == item->RowIndex;
  if (leftHalf) {
    if (sameRow && pressedCol < item->ColIndex && item->ColIndex > 0) --result.ColIndex;
  } else {
    result.ColIndex = item->ColIndex + (sameRow && pressedCol < item->ColIndex ? 0 : 1);
  }
  Integer x = (leftHalf ? item->VisibleBounds.Left : item->VisibleBounds.Right) - 5;
  Point = ::Point(std::clamp(x, header.Left - 5, header.Right), item->Bounds.Top - 9);
  return result;
}

void TCustomzmTreeList::EndDragFeedback() {
  StopHorzAutoScroll();
  if (FDragImage) FDragImage->HideFeedback();
  HideDropArrows();
  Screen->SetCursor(crDefault);
}

void TCustomzmTreeList::EndBandDrag(bool Accept) {
  SetInteractionState(tlsIdle);
  EndDragFeedback();
  Integer pressed = std::exchange(FPressedBand, -1);
  Integer dragged = std::exchange(FDraggedBand, -1);
  Invalidate();
  if (!Accept || dragged < 0) return;
  TPoint screen;
  GetCursorPos(&screen);
  TPoint point = ScreenToClient(screen);
  Integer target = GetBandDropPosition(point, pressed, dragged);
  bool accept = true;
  DoDragEndBand(ScreenToClient(screen), pressed, pressed >= 0, target, accept);
  if (!accept) return;
  if (pressed < 0) {
    if (IsCustomizing() && target >= 0) ShowBand(target, dragged);
  } else if (target >= 0 && target != pressed) {
    MoveBand(pressed, target);
    MakeBandVisible(target);
  } else if (target == -1 && IsCustomizing() && !IsBandCustomizingDisabled(pressed) && GetVisibleBandCount() > 1) {
    // Only a customizing form can show a hidden band again, and the last band always stays.
    HideBand(pressed);
  }
}

void TCustomzmTreeList::EndHeaderDrag(bool Accept) {
  SetInteractionState(tlsIdle);
  EndDragFeedback();
  Integer pressed = std::exchange(FPressedColumn, -1);
  Integer dragged = std::exchange(FDraggedHeader, -1);
  Invalidate();
  if (!Accept || dragged < 0) return;
  TPoint screen;
  GetCursorPos(&screen);
  TPoint point = ScreenToClient(screen);
  TzmTreeListDropPosition target = GetHeaderDropPosition(point, pressed, dragged);
  bool accept = true;
  DoDragEndHeader(ScreenToClient(screen), dragged, target, accept);
  if (!accept) return;
  if (!IsColumnShown(dragged)) {
    if (IsCustomizing() && target.Target != -1 && target.Target != -2)
      ShowHeader(target.BandIndex, target.RowIndex, target.ColIndex, dragged);
  } else if (target.Target != -1 && target.Target != -2 && target.Target != dragged) {
    MoveHeader(dragged, target.BandIndex, target.RowIndex, target.ColIndex);
    MakeColumnVisible(dragged);
  } else if (target.Target == -1 && IsCustomizing() && !IsColumnCustomizingDisabled(dragged) &&
             GetVisibleColumnCount() > 1) {
    // Only a customizing form can show a hidden column again, and the only shown column stays.
    HideHeader(dragged);
  }
}

void TCustomzmTreeList::CancelInteraction() {
  if (IsSizingState(FInteractionState)) {
    if (FSizingLine) FSizingLine->HideFeedback();
    SetInteractionState(tlsIdle);
  }
  switch (FInteractionState) {
    case tlsBandDown:
      SetInteractionState(tlsIdle);
      FPressedBand = -1;
      FPressedBandDown = false;
      Invalidate();
      break;
    case tlsBandDragging: EndBandDrag(false); break;
    case tlsColumnDown:
    case tlsDropDownButtonDown:
      SetInteractionState(tlsIdle);
      FPressedColumn = -1;
      FPressedColumnDown = false;
      FDropDownColumn = -1;
      FDropDownColumnDown = false;
      Invalidate();
      break;
    case tlsColumnDragging: EndHeaderDrag(false); break;
    case tlsBandButtonDown:
    case tlsHeaderButtonDown:
    case tlsStatusCloseDown:
      SetInteractionState(tlsIdle);
      FBandButtonDown = FHeaderButtonDown = FStatusCloseButtonDown = false;
      Invalidate();
      break;
    default:
      break;
  }
}

void TCustomzmTreeList::HideDragFeedback() {
  if (FDragFeedbackHideCount++ > 0) return;
  if (FSizingLine) FSizingLine->HideFeedback();
  if (FDropArrows) FDropArrows->HideFeedback();
  if (FDragImage) FDragImage->SetVisible(false);
}

void TCustomzmTreeList::ShowDragFeedback() {
  if (FDragFeedbackHideCount == 0 || --FDragFeedbackHideCount > 0) return;
  ShowSizingLine();
  if (FInteractionState == tlsColumnDragging || FInteractionState == tlsBandDragging) {
    TPoint arrows = FArrowsPosition;
    FArrowsPosition = Point(-100, -100);
    if (arrows.X != -100 || arrows.Y != -100) ShowDropArrows(arrows);
    if (FDragImage && FDragImage->IsShown()) FDragImage->SetVisible(true);
  }
}
