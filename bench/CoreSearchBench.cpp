// Finding records among a million: the incremental search (a miss that scans every record, a
// hit far from the focus, stepping to the next match), the incremental filter rebuild, the text
// search without focusing, and the locate objects (a key scan and a group's binary search).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSearch.h"
#include "support/CoreBenchData.h"

namespace {

constexpr Integer kMillion = 1000000;
enum { kInt, kText, kRadio };

Integer NameNumber(Integer ARecord) { return static_cast<Integer>(Scramble(ARecord + 7) % kMillion); }
String NameOf(Integer ARecord) { return Format("Channel %.7d", {NameNumber(ARecord)}); }

// A million records: a number, a channel-like name, a TV/radio flag.
struct TTable {
  TTable() : Controller(New<TqvDataController>(nullptr)) {
    for (TBenchItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kInt, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kText, TqvStringValueType::Class());
    Controller->ChangeValueTypeClass(kRadio, TqvIntegerValueType::Class());
    Controller->BeginUpdate();
    Controller->SetRecordCount(kMillion);
    for (Integer r = 0; r < kMillion; ++r) {
      Controller->SetValue(r, kInt, r);
      Controller->SetValue(r, kText, NameOf(r));
      Controller->SetValue(r, kRadio, r % 4 == 0 ? 1 : 0);
    }
    Controller->EndUpdate();
  }
  ~TTable() { Free(Controller); }
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  TqvDataController* Controller;
  TBenchItem Items[3];
};

TTable& Table() {
  static TTable table;
  return table;
}

void BM_LocateMiss(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  c->ChangeFocusedRowIndex(kMillion / 2);
  for (auto _ : state) benchmark::DoNotOptimize(c->GetSearch()->Locate(kText, "Channel x"));
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_LocateMiss)->Unit(benchmark::kMillisecond);

// The one match lies just before the focused row: the search wraps round the whole list.
void BM_LocateWrapping(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  const String text = NameOf(kMillion / 2 - 1);
  for (auto _ : state) {
    state.PauseTiming();
    c->ChangeFocusedRowIndex(kMillion / 2);
    state.ResumeTiming();
    benchmark::DoNotOptimize(c->GetSearch()->Locate(kText, text));
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_LocateWrapping)->Unit(benchmark::kMillisecond);

// "Channel 00..." matches one record in ten: each step scans about ten records.
void BM_LocateNext(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  auto restart = [c] {
    c->ChangeFocusedRowIndex(0);
    return c->GetSearch()->Locate(kText, "Channel 00");
  };
  if (!restart()) return state.SkipWithError("no record matches");
  for (auto _ : state)
    if (!c->GetSearch()->LocateNext(true)) {
      state.PauseTiming();
      restart();
      state.ResumeTiming();
    }
  c->GetSearch()->Cancel();
}
BENCHMARK(BM_LocateNext)->Unit(benchmark::kMicrosecond);

void BM_IncrementalFilter(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c->SetIncrementalFilter(kText, "channel 001"));
    state.PauseTiming();
    c->ClearIncrementalFilter();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_IncrementalFilter)->Unit(benchmark::kMillisecond);

void BM_FindRecordIndexByTextMiss(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  for (auto _ : state)
    benchmark::DoNotOptimize(c->FindRecordIndexByText(kMillion / 2, kText, "Channel", false, true, true));
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_FindRecordIndexByTextMiss)->Unit(benchmark::kMillisecond);

// The key scan reaches the last record.
void BM_KeyLocate(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  TqvDataControllerKeyLocateObject locate(c);
  TqvValueDefUnboundReader reader;
  reader.SetValue(c->GetField(kText)->GetStorageDef(), NameOf(kMillion - 1));
  locate.ReadData(&reader);
  locate.GetFields().push_back(c->GetField(kText));
  for (auto _ : state) benchmark::DoNotOptimize(locate.FindRecordIndex());
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_KeyLocate)->Unit(benchmark::kMillisecond);

void BM_GroupLocate(benchmark::State& state) {
  TqvDataController* c = Table().Controller;
  c->GetGroups()->ChangeGroupIndex(kRadio, 0);
  {
    TqvDataControllerGroupLocateObject locate(c);
    TqvValueDefUnboundReader reader;
    reader.SetValue(c->GetField(kRadio)->GetStorageDef(), 1);
    locate.ReadData(&reader);
    locate.SetLevel(0);
    for (auto _ : state) benchmark::DoNotOptimize(locate.FindRecordIndex());
  }
  c->GetGroups()->ChangeGroupIndex(kRadio, -1);
}
BENCHMARK(BM_GroupLocate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
