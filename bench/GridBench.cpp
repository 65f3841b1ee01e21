// Grid figures on the headless backend: changes of many views queued under one update lock and
// coalesced and run at its last unlock (time per change, which stays flat as the batch grows).
#include <benchmark/benchmark.h>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "support/BenchUnits.h"
#include "support/GridTestViews.h"

namespace {

constexpr Integer kViewCount = 50;

// Layouts, sizes (whole and view only), repaints of changing rectangles, focus changes and now
// and then a layout of the whole grid, spread over the views.
void QueueMixedChanges(TqvCustomGrid* AGrid, const std::vector<TqvCustomGridView*>& AViews, Integer ACount) {
  for (Integer i = 0; i < ACount; ++i) {
    TqvCustomGridView* view = AViews[static_cast<size_t>(i * 7 % kViewCount)];
    switch (i % 6) {
      case 0: view->LayoutChanged(true); break;
      case 1: view->SizeChanged(i % 4 == 1, false); break;
      case 2: view->InvalidateRect(Rect(i % 97, 0, i % 97 + 20, 18)); break;
      case 3: AGrid->AddChange(MakeOwned<TqvGridControlFocusChange>(view)); break;
      case 4: view->Invalidate(); break;
      default:
        if (i % 1000 == 5)
          AGrid->LayoutChanged();
        else
          view->LayoutChanged(true);
        break;
    }
  }
}

void BM_GridChangesCoalescedAtTheLastUnlock(benchmark::State& state) {
  EnsureBenchUnits();
  auto* grid = New<TqvGrid>(nullptr);
  std::vector<TqvCustomGridView*> views;
  for (Integer i = 0; i < kViewCount; ++i) {
    auto* view = New<TBareGridView>(nullptr);
    view->SetControl(grid);
    views.push_back(view);
  }
  const auto count = static_cast<Integer>(state.range(0));
  for (auto _ : state) {
    grid->BeginUpdate();
    QueueMixedChanges(grid, views, count);
    grid->EndUpdate();
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["ns_per_change"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  for (TqvCustomGridView* view : views) Free(view);
  Free(grid);
}
BENCHMARK(BM_GridChangesCoalescedAtTheLastUnlock)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
