// The widths of the panels and separators of a status bar.
#include "core/qvAutoWidth.h"
#include "statusbar/zmStatusBar.h"

std::vector<Integer> CalculatePanelWidths(std::span<const TzmStatusBarPanelWidthRule> APanels,
                                          Integer ASeparatorSize, Integer AAvailableWidth) {
  if (APanels.empty()) return {};
  const Integer count = static_cast<Integer>(APanels.size());
  TqvAutoWidthObject widths(2 * count - 1);
  bool floatingPanel = false;
  for (Integer i = 0; i < count; ++i) {
    const TzmStatusBarPanelWidthRule& panel = APanels[size_t(i)];
    TqvAutoWidthItem* item = widths.AppendItem();
    item->MinWidth = panel.MinWidth;
    item->Width = panel.Width;
    const bool last = i == count - 1;
    item->Fixed = panel.Fixed && !(last && !floatingPanel);
    floatingPanel = floatingPanel || !panel.Fixed;
    if (last) break;
    TqvAutoWidthItem* separator = widths.AppendItem();
    separator->MinWidth = ASeparatorSize;
    separator->Width = ASeparatorSize;
    separator->Fixed = true;
  }
  widths.AvailableWidth = AAvailableWidth;
  widths.Calculate();
  std::vector<Integer> result;
  result.reserve(size_t(widths.GetCount()));
  for (Integer i = 0; i < widths.GetCount(); ++i) result.push_back(widths.GetItem(i)->AutoWidth);
  return result;
}
