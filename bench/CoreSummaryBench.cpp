// Footer summaries (sum, min, max, count, average of one integer item) on a million records
// grouped by one item: the summary step alone, and the whole rebuild that ends with it. The
// group rows carry the same five items, so the group summaries are part of the figure.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSummary.h"
#include "support/CoreBenchData.h"

namespace {

constexpr Integer kMillion = 1000000;
enum { kValue, kGroup };

constexpr TqvSummaryKind kKinds[] = {skSum, skMin, skMax, skCount, skAverage};

// A million records: a scrambled value and one of 100 group keys; grouped by the key unless
// AGrouped is off (then the view keeps storage order).
struct TTable {
  explicit TTable(bool AGrouped) : Controller(New<TqvDataController>(nullptr)) {
    for (TBenchItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kValue, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kGroup, TqvIntegerValueType::Class());
    Controller->BeginUpdate();
    Controller->SetRecordCount(kMillion);
    for (Integer r = 0; r < kMillion; ++r) {
      Controller->SetValue(r, kValue, static_cast<Integer>(Scramble(r) % 100000));
      Controller->SetValue(r, kGroup, static_cast<Integer>(Scramble(r + 11) % 100));
    }
    TqvDataSummary* summary = Controller->GetSummary();
    summary->BeginUpdate();
    for (TqvSummaryKind kind : kKinds) {
      AddItem(summary->GetFooterSummaryItems(), kind);
      AddItem(summary->GetDefaultGroupSummaryItems(), kind);
    }
    summary->EndUpdate();
    if (AGrouped) Controller->GetGroups()->ChangeGroupIndex(kGroup, 0);
    Controller->EndUpdate();
  }
  ~TTable() { Free(Controller); }
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  void AddItem(TqvDataSummaryItems* AItems, TqvSummaryKind AKind) {
    TqvDataSummaryItem* item = AItems->Add();
    item->SetItemLink(&Items[kValue]);
    item->SetKind(AKind);
  }

  TqvDataController* Controller;
  TBenchItem Items[2];
};

TTable& MillionTable() {
  static TTable table(true);
  return table;
}

void BM_FooterAndGroupSummaries(benchmark::State& state) {
  TqvDataSummary* summary = MillionTable().Controller->GetSummary();
  for (auto _ : state) {
    summary->Calculate();
    benchmark::DoNotOptimize(summary->GetFooterSummaryValue(4));
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_FooterSummariesOnly(benchmark::State& state) {
  TqvDataSummary* summary = MillionTable().Controller->GetSummary();
  for (auto _ : state) {
    summary->CalculateFooterSummary();
    benchmark::DoNotOptimize(summary->GetFooterSummaryValue(4));
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}

// The same footer in storage order: the difference to the grouped figure is the cost of visiting
// records in view order, scattered over memory.
void BM_FooterSummariesUngrouped(benchmark::State& state) {
  static TTable table(false);
  TqvDataSummary* summary = table.Controller->GetSummary();
  for (auto _ : state) {
    summary->CalculateFooterSummary();
    benchmark::DoNotOptimize(summary->GetFooterSummaryValue(4));
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}

// What a changed summary option costs the view: one rebuild that recalculates.
void BM_RecalculationThroughController(benchmark::State& state) {
  TqvDataSummary* summary = MillionTable().Controller->GetSummary();
  for (auto _ : state) summary->SetOptions(summary->GetOptions() ^ soNullIgnore);
  state.SetItemsProcessed(state.iterations() * kMillion);
}

}  // namespace

BENCHMARK(BM_FooterAndGroupSummaries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FooterSummariesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FooterSummariesUngrouped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecalculationThroughController)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
