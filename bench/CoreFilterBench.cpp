// Filter evaluation: LIKE matching alone; a criteria pass over a million records with one
// equality condition and with one LIKE condition, values read from memory; the same through a
// data controller's filter (the application's TV/radio filter); a value list of 10,000 records.
#include <benchmark/benchmark.h>

#include "core/qvData.h"
#include "core/qvFilterTestSupport.h"

namespace {

constexpr int kMillion = 1000000;

const String kNames[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat HD", "KiKA HD", "ORF1 HD",
                         "Sat.1", "ProSieben", "kabel eins", "RTL Television"};

String ChannelName(int AIndex) { return kNames[AIndex % 10] + " " + std::to_string(AIndex); }

void BM_LikeContains(benchmark::State& state) {
  std::vector<String> texts;
  for (int i = 0; i < 10000; ++i) texts.push_back(ChannelName(i));
  for (auto _ : state) {
    int hits = 0;
    for (const String& text : texts) hits += LikeMatch(text, "%sat%", '%', '_');
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_LikeContains);

// A pattern that makes naive backtracking explode: here it costs text x pattern at worst.
void BM_LikeManySeriesWildcards(benchmark::State& state) {
  const String text(static_cast<size_t>(state.range(0)), 'a');
  for (auto _ : state) benchmark::DoNotOptimize(LikeMatch(text, "%a%a%a%a%b", '%', '_'));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LikeManySeriesWildcards)->Arg(10000)->Arg(100000);

void RunCriteriaPass(benchmark::State& state, TTestFilterCriteria& ACriteria, int ARecords) {
  for (auto _ : state) {
    int hits = 0;
    for (int r = 0; r < ARecords; ++r) hits += ACriteria.IsRecordMatching(r);
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * ARecords);
}

void BM_CriteriaEquality(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TTestFilterCriteria criteria;
  std::vector<Variant> values;
  values.reserve(records);
  for (int i = 0; i < records; ++i) values.emplace_back(i % 2);
  TTestFilterColumn* column = criteria.AddColumn(1, "Radio", std::move(values));
  criteria.AddItem(nullptr, column, okEqual, "0", "0");
  RunCriteriaPass(state, criteria, records);
}
BENCHMARK(BM_CriteriaEquality)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void BM_CriteriaLike(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TTestFilterCriteria criteria;
  std::vector<Variant> values;
  values.reserve(records);
  for (int i = 0; i < records; ++i) values.emplace_back(ChannelName(i));
  TTestFilterColumn* column = criteria.AddColumn(1, "Name", std::move(values));
  criteria.SetOptions(fcoCaseInsensitive);
  criteria.AddItem(nullptr, column, okLike, "%sat%", "%sat%");
  RunCriteriaPass(state, criteria, records);
}
BENCHMARK(BM_CriteriaLike)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

// An unbound controller with a hidden TV/radio item (0 or 1) and a channel name item.
TqvDataController* MakeChannelController(int ARecords) {
  auto* controller = New<TqvDataController>(nullptr);
  static TObject radioItem;
  static TObject nameItem;
  controller->AddItem(&radioItem);
  controller->AddItem(&nameItem);
  controller->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  controller->ChangeValueTypeClass(1, TqvStringValueType::Class());
  controller->BeginUpdate();
  for (int r = 0; r < ARecords; ++r) {
    Integer record = controller->AppendRecord();
    controller->SetValue(record, 0, r % 3 == 0 ? 1 : 0);
    controller->SetValue(record, 1, ChannelName(r));
  }
  controller->EndUpdate();
  return controller;
}

void RunDataFilterPass(benchmark::State& state, TqvDataFilterCriteria* AFilter, int ARecords) {
  for (auto _ : state) {
    int hits = 0;
    for (int r = 0; r < ARecords; ++r) hits += AFilter->IsRecordMatching(r);
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * ARecords);
}

void BM_DataFilterEquality(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TqvDataController* controller = MakeChannelController(records);
  auto* filter = New<TqvDataFilterCriteria>(controller);
  filter->AddItem(nullptr, controller->GetItem(0), okEqual, "0", "0");
  RunDataFilterPass(state, filter, records);
  Free(filter);
  Free(controller);
}
BENCHMARK(BM_DataFilterEquality)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void BM_DataFilterLike(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TqvDataController* controller = MakeChannelController(records);
  auto* filter = New<TqvDataFilterCriteria>(controller);
  filter->AddItem(nullptr, controller->GetItem(1), okLike, "%HD%", "%HD%");
  RunDataFilterPass(state, filter, records);
  Free(filter);
  Free(controller);
}
BENCHMARK(BM_DataFilterLike)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void BM_ValueListLoad(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TqvDataController* controller = MakeChannelController(records);
  auto* filter = New<TqvDataFilterCriteria>(controller);
  TqvDataFilterValueList list(filter);
  for (auto _ : state) {
    list.Load(1);
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * records);
  Free(filter);
  Free(controller);
}
BENCHMARK(BM_ValueListLoad)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
