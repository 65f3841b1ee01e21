// Bulk filling and reading of an unbound data controller: records of 13 items (7 integers and
// 6 short strings), appended inside one update bracket, then every value read back.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "core/qvData.h"

namespace {

constexpr int kIntegerItems = 7;
constexpr int kStringItems = 6;
constexpr int kItems = kIntegerItems + kStringItems;

TqvDataController* MakeController() {
  auto* controller = New<TqvDataController>(nullptr);
  for (int i = 0; i < kItems; ++i) {
    controller->AddItem(nullptr);
    controller->ChangeValueTypeClass(
        i, i < kIntegerItems ? TqvIntegerValueType::Class() : TqvStringValueType::Class());
  }
  return controller;
}

void Fill(TqvDataController* AController, int ARecords) {
  const String names[kStringItems] = {"Das Erste", "ZDF", "arte", "3sat", "KiKA", "ORF1"};
  AController->BeginUpdate();
  for (int r = 0; r < ARecords; ++r) {
    Integer record = AController->AppendRecord();
    for (int i = 0; i < kIntegerItems; ++i) AController->SetValue(record, i, r + i);
    for (int i = 0; i < kStringItems; ++i) AController->SetValue(record, kIntegerItems + i, names[i]);
  }
  AController->EndUpdate();
}

size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_AppendRecords(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  size_t bytes = 0;
  for (auto _ : state) {
    size_t before = HeapInUse();
    TqvDataController* controller = MakeController();
    Fill(controller, records);
    bytes = HeapInUse() - before;
    state.PauseTiming();
    Free(controller);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["ns_per_record"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
  state.counters["heap_bytes_per_record"] = static_cast<double>(bytes) / records;
  // 7 x 4 bytes of integers and the 6 strings' characters.
  state.counters["raw_bytes_per_record"] = kIntegerItems * 4 + 9 + 3 + 4 + 4 + 4 + 4;
}

void BM_ReadEveryValue(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TqvDataController* controller = MakeController();
  Fill(controller, records);
  for (auto _ : state) {
    Int64 sum = 0;
    size_t chars = 0;
    for (int r = 0; r < records; ++r) {
      for (int i = 0; i < kIntegerItems; ++i) sum += controller->GetValue(r, i).AsInteger();
      for (int i = kIntegerItems; i < kItems; ++i) chars += controller->GetValue(r, i).AsString().size();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(chars);
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["ns_per_record"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
  Free(controller);
}

}  // namespace

BENCHMARK(BM_AppendRecords)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadEveryValue)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
