// The view rebuild of a data controller on a million records: sorting by an integer and by a
// string item (both directions, then by two items) against std::stable_sort of the same keys,
// grouping by one item, filtering by one equality condition; and the full rebuild of a
// 10,000-record view (the application's channel table: filter, sort, focus, selection).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFilter.h"
#include "support/CoreBenchData.h"

namespace {

constexpr Integer kMillion = 1000000;
enum { kInt, kText, kRadio };

Integer IntKey(Integer ARecord) { return static_cast<Integer>(Scramble(ARecord) % kMillion); }

// A controller of ACount records: a scrambled integer, a channel-like name, a TV/radio flag.
struct TTable {
  explicit TTable(Integer ACount) : Controller(New<TqvDataController>(nullptr)) {
    for (TBenchItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kInt, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kText, TqvStringValueType::Class());
    Controller->ChangeValueTypeClass(kRadio, TqvIntegerValueType::Class());
    Controller->BeginUpdate();
    Controller->SetRecordCount(ACount);
    for (Integer r = 0; r < ACount; ++r) {
      Controller->SetValue(r, kInt, IntKey(r));
      Controller->SetValue(r, kText, Format("Channel %07d", {static_cast<Integer>(Scramble(r + 7) % ACount)}));
      Controller->SetValue(r, kRadio, r % 4 == 0 ? 1 : 0);
    }
    Controller->EndUpdate();
  }
  ~TTable() { Free(Controller); }
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  // Back to storage order, nothing sorted, grouped or filtered.
  void Reset() {
    Controller->BeginUpdate();
    Controller->ClearSorting(false);
    Controller->GetGroups()->ChangeGroupIndex(kRadio, -1);
    Controller->GetFilter()->SetActive(false);
    Controller->EndUpdate();
    Controller->UpdateView();
  }

  TqvDataController* Controller;
  TBenchItem Items[3];
};

TTable& MillionTable() {
  static TTable table(kMillion);
  return table;
}

void SortBy(benchmark::State& state, const std::vector<std::pair<Integer, TqvDataSortOrder>>& AKeys) {
  TTable& table = MillionTable();
  for (auto _ : state) {
    state.PauseTiming();
    table.Reset();
    state.ResumeTiming();
    table.Controller->BeginUpdate();
    for (const auto& key : AKeys) table.Controller->ChangeSorting(key.first, key.second);
    table.Controller->EndUpdate();
  }
  table.Reset();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_SortIntegerAscending(benchmark::State& state) { SortBy(state, {{kInt, soAscending}}); }
void BM_SortIntegerDescending(benchmark::State& state) { SortBy(state, {{kInt, soDescending}}); }
void BM_SortStringAscending(benchmark::State& state) { SortBy(state, {{kText, soAscending}}); }
void BM_SortStringDescending(benchmark::State& state) { SortBy(state, {{kText, soDescending}}); }
void BM_SortTwoItems(benchmark::State& state) { SortBy(state, {{kRadio, soDescending}, {kInt, soAscending}}); }

// The yardstick: std::stable_sort of the same integer keys with their record indexes.
void BM_StableSortSameKeys(benchmark::State& state) {
  std::vector<std::pair<Integer, Integer>> source(kMillion);
  for (Integer r = 0; r < kMillion; ++r) source[r] = {IntKey(r), r};
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::pair<Integer, Integer>> keys = source;
    state.ResumeTiming();
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(keys.data());
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_GroupByOneItem(benchmark::State& state) {
  TTable& table = MillionTable();
  for (auto _ : state) {
    state.PauseTiming();
    table.Reset();
    state.ResumeTiming();
    table.Controller->GetGroups()->ChangeGroupIndex(kRadio, 0);
  }
  table.Reset();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_FilterByEquality(benchmark::State& state) {
  TTable& table = MillionTable();
  TqvDataFilterCriteria* filter = table.Controller->GetFilter();
  filter->Clear();
  filter->AddItem(nullptr, &table.Items[kRadio], okEqual, "0", "0");
  for (auto _ : state) {
    state.PauseTiming();
    table.Reset();
    state.ResumeTiming();
    filter->SetActive(true);
  }
  table.Reset();
  filter->Clear();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

// The application's view: 10,000 channels filtered to TV, sorted by name, one focused and three
// selected rows; one full rebuild (records, filter, sort, restoring selection and focus).
void BM_ChannelViewRebuild(benchmark::State& state) {
  TTable table(10000);
  TqvDataController* c = table.Controller;
  c->GetFilter()->AddItem(nullptr, &table.Items[kRadio], okEqual, "0", "0");
  c->GetFilter()->SetActive(true);
  c->ChangeSorting(kText, soAscending);
  c->ChangeFocusedRecordIndex(5001);
  for (Integer row : {3, 30, 300}) c->ChangeRowSelection(row, true);
  for (auto _ : state) c->UpdateView();
  state.SetItemsProcessed(state.iterations() * 10000);
}

}  // namespace

BENCHMARK(BM_StableSortSameKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortIntegerAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortIntegerDescending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortStringAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortStringDescending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortTwoItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupByOneItem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterByEquality)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelViewRebuild)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
