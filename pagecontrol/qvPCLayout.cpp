// The layout of a tab control's tabs: the scrolled window and navigator buttons of a single
// line; the rows of a multi-line control (greedy filling, rebalancing, stretching); the order of
// the rows around the page; the positions across the line and the two bands of rows.
#include <algorithm>

#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCConsts.h"
#include "pagecontrol/qvPCPainters.h"

// ---------------------------------------------------------------------------------------------
// Rows as pure geometry

Integer GetTabRowLength(std::span<const Integer> ALengths, Integer AFirst, Integer ALast, Integer AInterval) {
  Integer length = 0;
  for (Integer i = AFirst; i <= ALast; ++i) length += ALengths[size_t(i)];
  return length + AInterval * (ALast - AFirst);
}

TqvPCLineIndexBoundsArray BalanceTabRows(std::span<const Integer> ALengths, const TqvPCLineIndexBoundsArray& ARows,
                                         Integer ALineLength, Integer AInterval) {
  const size_t rowCount = ARows.size();
  if (rowCount < 2) return ARows;
  // Prefix sums give the length of any run of tabs at once.
  const Integer first = ARows.front().First, last = ARows.back().Last;
  std::vector<Int64> prefix(size_t(last - first + 2), 0);
  for (Integer i = first; i <= last; ++i) prefix[size_t(i - first + 1)] = prefix[size_t(i - first)] + ALengths[size_t(i)];
  auto length = [&](Integer a, Integer b) -> Int64 {
    return prefix[size_t(b - first + 1)] - prefix[size_t(a - first)] + Int64(AInterval) * (b - a);
  };

  // For row j ending at tab e (between its greedy first tab and its greedy last one): the least
  // largest free space of rows 0..j, and the first tab of row j that gives it. A row only grows
  // at its front, taking tabs from the end of the row above; ties keep fewer tabs moved.
  struct TState {
    Int64 Value = 0;
    Integer First = 0;
  };
  std::vector<std::vector<TState>> states(rowCount);
  for (size_t j = 0; j < rowCount; ++j) {
    const Integer greedyFirst = ARows[j].First;
    const Integer lowEnd = j + 1 == rowCount ? ARows[j].Last : greedyFirst;
    states[j].resize(size_t(ARows[j].Last - greedyFirst + 1));
    for (Integer e = lowEnd; e <= ARows[j].Last; ++e) {
      TState& state = states[j][size_t(e - greedyFirst)];
      Int64 c = length(greedyFirst, e);
      if (j == 0) {
        state = {ALineLength - c, greedyFirst};
        continue;
      }
      const Integer aboveFirst = ARows[j - 1].First;
      auto above = [&](Integer AEnd) { return states[j - 1][size_t(AEnd - aboveFirst)].Value; };
      Integer rowFirst = greedyFirst;
      state = {std::max(above(rowFirst - 1), ALineLength - c), rowFirst};
      while (rowFirst - 1 > aboveFirst) {
        const Integer moved = ALengths[size_t(rowFirst - 1)];
        if (c + moved + AInterval > ALineLength) break;
        --rowFirst;
        c += moved + AInterval;
        const Int64 v = std::max(above(rowFirst - 1), ALineLength - c);
        if (v < state.Value) state = {v, rowFirst};
      }
    }
  }

  TqvPCLineIndexBoundsArray result(rowCount);
  Integer end = ARows.back().Last;
  for (size_t j = rowCount; j-- > 0;) {
    const Integer rowFirst = states[j][size_t(end - ARows[j].First)].First;
    result[j] = {rowFirst, end};
    end = rowFirst - 1;
  }
  return result;
}

std::vector<Integer> FillTabRows(std::span<const Integer> ALengths, Integer ALineLength, Integer AInterval,
                                 bool ABalance) {
  const Integer count = static_cast<Integer>(ALengths.size());
  std::vector<Integer> rows(size_t(count), 0);
  auto balance = [&](Integer AFirst, Integer ALast) {
    TqvPCLineIndexBoundsArray bounds;
    for (Integer i = AFirst; i <= ALast; ++i) {
      if (i == AFirst || rows[size_t(i)] != rows[size_t(i - 1)]) bounds.push_back({i, i});
      bounds.back().Last = i;
    }
    const Integer baseRow = rows[size_t(AFirst)];
    const TqvPCLineIndexBoundsArray best = BalanceTabRows(ALengths, bounds, ALineLength, AInterval);
    for (size_t j = 0; j < best.size(); ++j)
      for (Integer i = best[j].First; i <= best[j].Last; ++i) rows[size_t(i)] = baseRow + Integer(j);
  };

  Integer rowCount = 1, used = 0, groupStart = 0;
  for (Integer i = 0; i < count; ++i) {
    const Integer w = ALengths[size_t(i)];
    if (w >= ALineLength) {
      // A long tab starts a row of its own; the ordinary tabs before it form a group.
      if (used != 0) {
        ++rowCount;
        used = 0;
      }
      if (ABalance && i > groupStart && rows[size_t(groupStart)] < rowCount - 2) balance(groupStart, i - 1);
      groupStart = i + 1;
      rows[size_t(i)] = rowCount - 1;
      if (i != count - 1) ++rowCount;
    } else if (used + w > ALineLength) {
      ++rowCount;
      rows[size_t(i)] = rowCount - 1;
      used = w + AInterval;
    } else {
      rows[size_t(i)] = rowCount - 1;
      used += w + AInterval;
    }
  }
  if (ABalance && count - groupStart > 1 && rows[size_t(groupStart)] < rowCount - 1) balance(groupStart, count - 1);
  return rows;
}

void StretchTabRow(std::span<Integer> ALengths, Integer ALineLength, Integer AInterval) {
  if (ALengths.empty()) return;
  Int64 total = 0;
  for (Integer w : ALengths) total += w;
  const Int64 free = ALineLength - (total + Int64(AInterval) * Int64(ALengths.size() - 1));
  if (free <= 0) return;
  Int64 remaining = free;
  for (size_t i = 0; i < ALengths.size(); ++i) {
    const Int64 extra = i + 1 == ALengths.size() || total == 0 ? remaining : ALengths[i] * free / total;
    remaining -= extra;
    ALengths[i] += Integer(extra);
  }
}

// ---------------------------------------------------------------------------------------------
// The control's layout

bool TqvCustomTabControl::IsTabOrderReversed() const {
  const bool topToBottom = FOptions & pcoBit(pcoTopToBottomText);
  return IsHorizontalPosition() ? FRotate && topToBottom : !FRotate && !topToBottom;
}

TqvTabTextOrientation TqvCustomTabControl::GetTextOrientation() const {
  if (IsHorizontalPosition() != FRotate) return ttoHorizontal;
  return FOptions & pcoBit(pcoTopToBottomText) ? ttoTopToBottom : ttoBottomToTop;
}

Integer TqvCustomTabControl::GetTabsInterval(bool AWithinRow) const {
  const TPoint intervals = FPainter->GetTabsIntervals();
  return AWithinRow != FRotate ? intervals.X : intervals.Y;
}

bool TqvCustomTabControl::GetActiveRowMoves() const { return FPainter->GetPainterClass()->MovesActiveRow(); }

void TqvCustomTabControl::GetPlacedTabRange(Integer& AFirst, Integer& ALast) const {
  const Integer count = FVisibleTabList->GetCount();
  if (FMultiLine) {
    AFirst = FRowCount > 0 && count > 0 ? 0 : -1;
    ALast = AFirst == -1 ? -1 : count - 1;
    return;
  }
  AFirst = FFirstVisibleTab;
  ALast = FFirstVisibleTab == -1 ? -1 : std::min(FLastVisibleTab, count - 1);
}

TqvPCLineIndexBoundsArray TqvCustomTabControl::GetRowBounds() const {
  TqvPCLineIndexBoundsArray rows(size_t(std::max(FRowCount, 0)));
  Integer first, last;
  GetPlacedTabRange(first, last);
  for (Integer i = first; first != -1 && i <= last; ++i) {
    const Integer row = FVisibleTabList->GetTab(i)->GetDisplayRow();
    if (row < 0 || row >= FRowCount) continue;
    TqvPCLineIndexBounds& bounds = rows[size_t(row)];
    if (bounds.First == -1 || i < bounds.First) bounds.First = i;
    if (i > bounds.Last) bounds.Last = i;
  }
  return rows;
}

namespace {

// The tabs' lengths along the line, in visible order.
std::vector<Integer> VisibleTabLengths(TqvVisibleTabList* AList) {
  std::vector<Integer> lengths(size_t(AList->GetCount()));
  for (Integer i = 0; i < AList->GetCount(); ++i) lengths[size_t(i)] = AList->GetTab(i)->GetNormalLength();
  return lengths;
}

}  // namespace

void TqvCustomTabControl::CalculateTabs() {
  const Integer visible = FVisibleTabList->GetCount();
  FBeforeBand = TRect();
  FAfterBand = TRect();
  if (FFirstVisibleTab == -1 && visible > 0) FFirstVisibleTab = 0;
  if (FFirstVisibleTab >= visible) FFirstVisibleTab = visible - 1;
  FLastVisibleTab = FFirstVisibleTab;
  if (FHotTab >= visible) FHotTab = -1;
  if (FActiveVisibleIndex >= visible) FActiveVisibleIndex = -1;
  if (FPressedTab >= visible) FPressedTab = -1;
  FRowCount = 0;
  if (FTabIndex >= FTabs->GetCount()) FTabIndex = FTabs->GetCount() - 1;
  FRowsBeforePage = 0;
  FFilledRows.clear();
  if (visible == 0) return;

  if (FTabs->GetCount() == 0) RaisePCError("TqvCustomTabControl", "CalculateTabNormalSizes", &sqvPCNoTabs);
  FTabs->SetMeasuredTabHeight(FPainter->GetTabNormalHeight());
  for (Integer i = 0; i < FTabs->GetCount(); ++i) {
    TqvTab* tab = FTabs->GetTab(i);
    tab->SetNormalWidth(FPainter->GetTabNormalWidth(tab));
  }

  auto setBandsAlong = [this] {
    const TRect& b = FTabsArea.Bounds;
    if (IsHorizontalPosition()) {
      FBeforeBand.Left = FAfterBand.Left = b.Left;
      FBeforeBand.Right = FAfterBand.Right = b.Right;
    } else {
      FBeforeBand.Top = FAfterBand.Top = b.Top;
      FBeforeBand.Bottom = FAfterBand.Bottom = b.Bottom;
    }
  };
  auto clearButtonMarks = [this] {
    FHotButtons &= FNavigatorButtons;
    FPressedButtons &= FNavigatorButtons;
  };

  if (FMultiLine) {
    FNavigatorButtons = 0;
    clearButtonMarks();
    FTabsArea = FPainter->CalculateTabsArea(0);
    const Integer lineLength = FTabsArea.LineLength;
    if (lineLength <= 0) return;
    const Integer interval = GetTabsInterval(true);
    const std::vector<Integer> lengths = VisibleTabLengths(FVisibleTabList.get());
    const std::vector<Integer> rows = FillTabRows(lengths, lineLength, interval, !(FRotate && FRaggedRight));
    FRowCount = rows.empty() ? 0 : rows.back() + 1;
    FFilledRows.assign(size_t(FRowCount), TqvPCLineIndexBounds());
    const bool cutLongTabs = !FRotate && FPainter->GetMinTabNormalWidth() < lineLength;
    for (Integer i = 0; i < visible; ++i) {
      TqvTab* tab = FVisibleTabList->GetTab(i);
      tab->SetRow(rows[size_t(i)]);
      if (cutLongTabs && lengths[size_t(i)] >= lineLength) tab->SetNormalWidth(lineLength);
      TqvPCLineIndexBounds& bounds = FFilledRows[size_t(rows[size_t(i)])];
      if (bounds.First == -1) bounds.First = i;
      bounds.Last = i;
    }
    if (FRowCount == 1) {
      // One row is placed as a single line that needs no buttons, and not stretched.
      FFirstVisibleTab = 0;
      PlaceRow(0);
    } else {
      for (Integer row = 0; row < FRowCount; ++row) {
        const TqvPCLineIndexBounds bounds = FFilledRows[size_t(row)];
        if (!FRotate && !FRaggedRight) {
          std::vector<Integer> widths;
          for (Integer i = bounds.First; i <= bounds.Last; ++i) widths.push_back(FVisibleTabList->GetTab(i)->GetNormalWidth());
          StretchTabRow(widths, lineLength, interval);
          for (Integer i = bounds.First; i <= bounds.Last; ++i)
            FVisibleTabList->GetTab(i)->SetNormalWidth(widths[size_t(i - bounds.First)]);
        }
        PlaceRow(row);
      }
    }
    setBandsAlong();
    CalculateRowExtent();
    RotateRows();
    return;
  }

  FRowCount = 1;
  FRowsBeforePage = FTabPosition == tpTop || FTabPosition == tpLeft ? 1 : 0;
  const Integer savedFirst = FFirstVisibleTab;
  FFirstVisibleTab = 0;
  FNavigatorButtons = 0;
  FTabsArea = FPainter->CalculateTabsArea(0);
  if (FTabsArea.LineLength <= 0) {
    // No room at all: the scroll position stays for when there is room again.
    FFirstVisibleTab = savedFirst;
    clearButtonMarks();
    return;
  }
  if (!(PlaceRow(0) && FLastTabComplete)) {
    FFirstVisibleTab = savedFirst;
    TqvPCNavigatorButtons buttons = 0;
    if (!((FOptions & pcoBit(pcoNoArrows)) && (FOptions & pcoBit(pcoGoDialog)))) buttons |= nbArrows;
    if (FOptions & pcoBit(pcoGoDialog)) buttons |= nbBit(nbGoDialog);
    FNavigatorButtons = buttons;
    FTabsArea = FPainter->CalculateTabsArea(buttons);
    if (FTabsArea.LineLength <= 0) {
      clearButtonMarks();
      return;
    }
    if (PlaceRow(0) && FLastTabComplete) {
      // No empty space after the last tab while tabs are scrolled out at the start.
      while (FFirstVisibleTab > 0) {
        --FFirstVisibleTab;
        if (!(PlaceRow(0) && FLastTabComplete)) {
          ++FFirstVisibleTab;
          PlaceRow(0);
          break;
        }
      }
    }
  }
  clearButtonMarks();
  UpdateNavigatorButtonStates();
  setBandsAlong();
  for (Integer i = FFirstVisibleTab; i <= std::min(FLastVisibleTab, visible - 1); ++i) {
    TqvTab* tab = FVisibleTabList->GetTab(i);
    tab->SetRow(0);
    tab->SetDisplayRow(0);
  }
  CalculateRowExtent();
  CalculateRowPositions();
}

bool TqvCustomTabControl::PlaceRow(Integer ARow) {
  const Integer visible = FVisibleTabList->GetCount();
  Integer first, last;
  if (FRowCount < 2) {
    first = FFirstVisibleTab;
    last = visible - 1;
  } else {
    first = FFilledRows[size_t(ARow)].First;
    last = FFilledRows[size_t(ARow)].Last;
  }
  if (first < 0 || first > last) return true;
  const Integer start = IsHorizontalPosition() ? FTabsArea.StartRect.Left : FTabsArea.StartRect.Top;
  const Integer end = start + FTabsArea.LineLength - 1;
  const bool reversed = IsTabOrderReversed();
  const Integer direction = reversed ? -1 : 1;
  const Integer interval = GetTabsInterval(true);
  const TPoint minPart = FPainter->GetMinTabVisiblePart();
  const Integer minVisible = FRotate ? minPart.Y : minPart.X;
  auto inside = [&](Integer p) { return p >= start && p <= end; };

  Integer p = reversed ? end : start;
  bool fits = true, complete = false;
  for (Integer i = first; i <= last; ++i) {
    TqvTab* tab = FVisibleTabList->GetTab(i);
    const Integer far = p + (tab->GetNormalLength() - 1) * direction;
    tab->SetPosition({std::min(p, far), tab->GetPosition().Y});
    complete = inside(far);
    const Integer next = far + (interval + 1) * direction;
    fits = fits && inside(p + (minVisible - 1) * direction);
    if (!inside(next)) {
      FLastVisibleTab = i;
      FLastTabComplete = complete;
      return fits && i == last;
    }
    p = next;
  }
  if (FRowCount < 2) FLastVisibleTab = last;
  FLastTabComplete = complete;
  return fits;
}

void TqvCustomTabControl::CalculateRowExtent() {
  if (!FRotate) {
    FRowExtent = FTabs->GetMeasuredTabHeight();
    return;
  }
  Integer first, last, extent = 0;
  GetPlacedTabRange(first, last);
  for (Integer i = first; first != -1 && i <= last; ++i)
    extent = std::max(extent, FVisibleTabList->GetTab(i)->GetNormalWidth());
  if (FMaxRotatedTabWidth >= 1) extent = std::min(extent, FMaxRotatedTabWidth);
  FRowExtent = extent;
}

void TqvCustomTabControl::RotateRows() {
  const bool topToBottom = FOptions & pcoBit(pcoTopToBottomText);
  const bool rotatedBottomToTop = FRotate && !topToBottom;
  const bool unrotatedTopToBottom = !FRotate && topToBottom;
  bool reversed = false;
  switch (FTabPosition) {
    case tpTop: reversed = rotatedBottomToTop; break;
    case tpBottom: reversed = !rotatedBottomToTop; break;
    case tpLeft: reversed = unrotatedTopToBottom; break;
    case tpRight: reversed = !unrotatedTopToBottom; break;
  }
  const Integer visible = FVisibleTabList->GetCount();
  for (Integer i = 0; i < visible; ++i) {
    TqvTab* tab = FVisibleTabList->GetTab(i);
    tab->SetDisplayRow(reversed ? FRowCount - tab->GetRow() - 1 : tab->GetRow());
  }
  Integer before = FRowCount;
  if (FActiveVisibleIndex >= 0 && FActiveVisibleIndex < visible && GetActiveRowMoves()) {
    const Integer active = FRowCount == 0 ? 0 : FVisibleTabList->GetTab(FActiveVisibleIndex)->GetDisplayRow();
    if (FScrollOpposite) {
      before = active + 1;
    } else if (FRowCount > 0) {
      for (Integer i = 0; i < visible; ++i) {
        TqvTab* tab = FVisibleTabList->GetTab(i);
        tab->SetDisplayRow((tab->GetDisplayRow() + FRowCount - active - 1) % FRowCount);
      }
    }
  }
  FRowsBeforePage = before;
  if (FTabPosition == tpBottom || FTabPosition == tpRight) {
    for (Integer i = 0; i < visible; ++i) {
      TqvTab* tab = FVisibleTabList->GetTab(i);
      tab->SetDisplayRow(FRowCount - tab->GetDisplayRow() - 1);
    }
    FRowsBeforePage = FRowCount - FRowsBeforePage;
  }
  CalculateRowPositions();
}

void TqvCustomTabControl::CalculateRowPositions() {
  const bool horizontal = IsHorizontalPosition();
  const TRect& start = FTabsArea.StartRect;
  const TRect& bounds = FTabsArea.Bounds;
  const Integer extent = FRowExtent, interval = GetTabsInterval(false);
  const Integer nearEdge = horizontal ? start.Top : start.Left;
  const Integer farEdge = horizontal ? start.Bottom : start.Right;
  const Integer lo = horizontal ? bounds.Top : bounds.Left;
  const Integer hi = horizontal ? bounds.Bottom : bounds.Right;
  const Integer before = FRowsBeforePage;

  Integer first, last;
  GetPlacedTabRange(first, last);
  for (Integer i = first; first != -1 && i <= last; ++i) {
    TqvTab* tab = FVisibleTabList->GetTab(i);
    const Integer r = tab->GetDisplayRow();
    const Integer across = r < before ? r * (extent + interval) + nearEdge
                                      : farEdge - (FRowCount - r) * extent - (FRowCount - r - 1) * interval;
    tab->SetPosition({tab->GetPosition().X, across});
  }
  Integer beforeHi = std::min(hi, (extent + interval) * before + nearEdge + FTabsArea.BeforeBandAdjust - interval);
  Integer afterLo =
      std::max(lo, farEdge - (FRowCount - before) * (extent + interval) + interval + FTabsArea.AfterBandAdjust);
  if (before > 0 && before < FRowCount) {
    if (FTabPosition == tpTop || FTabPosition == tpLeft)
      afterLo = std::max(afterLo, std::min(beforeHi + FTabsArea.BandGap, hi));
    else
      beforeHi = std::min(beforeHi, std::max(afterLo - FTabsArea.BandGap, lo));
  }
  if (horizontal) {
    FBeforeBand.Top = lo;
    FBeforeBand.Bottom = beforeHi;
    FAfterBand.Top = afterLo;
    FAfterBand.Bottom = hi;
  } else {
    FBeforeBand.Left = lo;
    FBeforeBand.Right = beforeHi;
    FAfterBand.Left = afterLo;
    FAfterBand.Right = hi;
  }
  // The painter's corrections follow the active tab.
  for (Integer i = first; first != -1 && i <= last; ++i) FVisibleTabList->GetTab(i)->SetCorrection(FPainter->GetTabCorrection(i));
}

void TqvCustomTabControl::MakeTabVisible(Integer VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= FVisibleTabList->GetCount()) return;
  if (VisibleIndex < FFirstVisibleTab) {
    FFirstVisibleTab = VisibleIndex;
    return;
  }
  if (VisibleIndex < FLastVisibleTab || (VisibleIndex == FLastVisibleTab && FLastTabComplete)) return;
  FFirstVisibleTab = VisibleIndex;
  const TqvPCTabsArea area = FPainter->CalculateTabsArea(FNavigatorButtons);
  if (area.LineLength <= 0) return;
  const Integer interval = GetTabsInterval(true);
  Integer sum = FVisibleTabList->GetTab(VisibleIndex)->GetNormalLength() + interval;
  while (sum < area.LineLength && FFirstVisibleTab > 0) {
    --FFirstVisibleTab;
    sum += FVisibleTabList->GetTab(FFirstVisibleTab)->GetNormalLength() + interval;
    if (sum > area.LineLength) {
      ++FFirstVisibleTab;
      break;
    }
  }
}
