// Grid figures on the headless backend: changes of many views queued under one update lock and
// coalesced and run at its last unlock (time per change, which stays flat as the batch grows);
// a view of 1,000 text cells made and laid out, and painted (time per cell: the base cost every
// layout cell pays); a switch between two level tabs, each showing such a view; focus moves and
// scrolling in a table view of 1,000,000 unbound records (time per operation, and the records
// made, which follow what is visible, not the record count).
#include <benchmark/benchmark.h>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "platform/forms/Forms.h"
#include "support/BenchUnits.h"
#include "support/GridTableTestViews.h"
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

// A shown form with a grid whose one tab shows a view of text cells, laid out over a site big
// enough to show every cell.
struct TCellsBenchGrid {
  TCellsBenchGrid() {
    EnsureBenchUnits();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 700, 500);
    auto* grid = New<TqvGrid>(Form);
    grid->SetBounds(0, 0, 680, 480);
    grid->SetParent(Form);
    auto* level = New<TqvGridLevel>(Form);
    grid->GetRootLevel()->AddChild(level);
    View = New<TTextCellsGridView>(Form);
    level->SetGridView(View);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TCellsBenchGrid() { Free(Form); }
  TqvGridSite* Site() const { return View->GetSite(); }

  static constexpr TRect SiteBounds{0, 0, 620, 2000};
  TForm* Form;
  TTextCellsGridView* View;
};

void SetPerCellCounter(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * TTextCellsViewInfo::CellCount);
  state.counters["ns_per_cell"] = benchmark::Counter(static_cast<double>(TTextCellsViewInfo::CellCount),
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// The cells made again (as every queued change of a table view does) and calculated: params,
// text measured, bounds.
void BM_GridCellsMadeAndCalculated(benchmark::State& state) {
  TCellsBenchGrid bench;
  TqvCustomGridViewInfo* info = bench.View->GetViewInfo();
  for (auto _ : state) {
    info->RecreateViewInfos();
    info->MainCalculate(TCellsBenchGrid::SiteBounds);
  }
  SetPerCellCounter(state);
}
BENCHMARK(BM_GridCellsMadeAndCalculated)->Unit(benchmark::kMicrosecond);

// The site painted into a bitmap: each cell's painter made, background, text and borders, the
// rest of the site's background.
void BM_GridCellsPainted(benchmark::State& state) {
  TCellsBenchGrid bench;
  bench.View->GetViewInfo()->MainCalculate(TCellsBenchGrid::SiteBounds);
  TBitmap bitmap;
  bitmap.SetSize(TCellsBenchGrid::SiteBounds.Width(), TCellsBenchGrid::SiteBounds.Height());
  const auto dc = reinterpret_cast<WPARAM>(bitmap.GetCanvas()->GetHandle());
  for (auto _ : state) bench.Site()->Perform(WM_PAINT, dc, 0);
  SetPerCellCounter(state);
}
BENCHMARK(BM_GridCellsPainted)->Unit(benchmark::kMicrosecond);

// Two top tabs, each showing 1,000 text cells. A switch lays the grid out again (the root area
// and its tabs made anew, the new view's cells made and calculated, the old view's site
// parked or removed), moves the focus, and the grid and the new view's site are painted.
void BM_GridLevelTabSwitched(benchmark::State& state) {
  TCellsBenchGrid bench;
  TqvCustomGrid* grid = bench.View->GetGrid();
  grid->GetRootLevelOptions()->SetDetailTabsPosition(dtpTop);
  auto* level = New<TqvGridLevel>(bench.Form);
  level->SetCaption("Radio");
  grid->GetRootLevel()->AddChild(level);
  level->SetGridView(New<TTextCellsGridView>(bench.Form));
  TqvGridLevel* levels[] = {bench.View->GetLevel(), level};
  Application->ProcessMessages();
  TBitmap bitmap;
  bitmap.SetSize(grid->GetWidth(), grid->GetHeight());
  const auto dc = reinterpret_cast<WPARAM>(bitmap.GetCanvas()->GetHandle());
  size_t next = 1;
  for (auto _ : state) {
    levels[next]->SetActive(true);
    grid->Perform(WM_PAINT, dc, 0);
    grid->GetActiveView()->GetSite()->Perform(WM_PAINT, dc, 0);
    next = 1 - next;
  }
}
BENCHMARK(BM_GridLevelTabSwitched)->Unit(benchmark::kMicrosecond);

// A shown form with a grid whose one tab shows a table view of a million records, 25 of them
// visible.
struct TTableBenchGrid {
  static constexpr Integer RecordCount = 1000000;
  TTableBenchGrid() {
    EnsureBenchUnits();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 600);
    auto* grid = New<TqvGrid>(Form);
    grid->SetBounds(0, 0, 380, 25 * TTestTableViewInfo::RowHeight + 2);
    grid->SetParent(Form);
    auto* level = New<TqvGridLevel>(Form);
    grid->GetRootLevel()->AddChild(level);
    View = New<TTestTableView>(Form);
    level->SetGridView(View);
    View->AddTestItem("Name");
    View->GetDataController()->SetRecordCount(RecordCount);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TTableBenchGrid() { Free(Form); }
  void SetCounters(benchmark::State& state, Integer AOperationsPerIteration) const {
    state.SetItemsProcessed(state.iterations() * AOperationsPerIteration);
    state.counters["records_made"] = View->GetViewData()->GetMadeRecordCount();
  }

  TForm* Form;
  TTestTableView* View;
};

// To the last record and back to the first: two moves of the focus across the whole view.
void BM_GridTableGoToLastAndFirst(benchmark::State& state) {
  TTableBenchGrid bench;
  TqvCustomGridTableController* controller = bench.View->GetController();
  for (auto _ : state) {
    controller->GoToLast();
    controller->GoToFirst();
  }
  bench.SetCounters(state, 2);
}
BENCHMARK(BM_GridTableGoToLastAndFirst)->Unit(benchmark::kMicrosecond);

// A hundred pages down from the first record.
void BM_GridTableFocusNextPage(benchmark::State& state) {
  TTableBenchGrid bench;
  TqvCustomGridTableController* controller = bench.View->GetController();
  for (auto _ : state) {
    state.PauseTiming();
    controller->GoToFirst();
    state.ResumeTiming();
    for (Integer i = 0; i < 100; ++i) controller->FocusNextPage(false);
  }
  bench.SetCounters(state, 100);
}
BENCHMARK(BM_GridTableFocusNextPage)->Unit(benchmark::kMicrosecond);

// Records spread over the view made visible in turn.
void BM_GridTableMakeRecordVisible(benchmark::State& state) {
  TTableBenchGrid bench;
  TqvCustomGridTableController* controller = bench.View->GetController();
  uint32_t seed = 12345;
  for (auto _ : state) {
    seed = seed * 1664525u + 1013904223u;
    controller->MakeRecordVisible(static_cast<Integer>(seed % TTableBenchGrid::RecordCount));
  }
  bench.SetCounters(state, 1);
}
BENCHMARK(BM_GridTableMakeRecordVisible)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
