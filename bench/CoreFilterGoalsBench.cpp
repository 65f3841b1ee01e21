// The filter pass of a data controller over a million channels, each beside a plain loop doing
// the same work on plain vectors in the same run: an integer equality, a text that contains "HD",
// a text that contains "sat" ignoring case (filters rebuild the record list), and the
// incremental filter's prefix ignoring case.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFilter.h"
#include "core/qvFilterPredicate.h"
#include "support/CoreBenchData.h"

namespace {

constexpr Integer kMillion = 1000000;
enum { kRadio, kName };

const String kNames[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat HD", "KiKA HD", "ORF1 HD",
                         "Sat.1", "ProSieben", "kabel eins", "RTL Television"};

String ChannelName(Integer ARecord) {
  Integer spread = static_cast<Integer>(Scramble(ARecord) % kMillion);
  return kNames[spread % 10] + " " + IntToStr(spread);
}

// The same million channels in a controller and in two plain vectors.
struct TChannels {
  TChannels() : Controller(New<TqvDataController>(nullptr)) {
    for (TBenchItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kRadio, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kName, TqvStringValueType::Class());
    Radio.reserve(kMillion);
    Names.reserve(kMillion);
    Controller->BeginUpdate();
    Controller->SetRecordCount(kMillion);
    for (Integer r = 0; r < kMillion; ++r) {
      Radio.push_back(Scramble(r + 3) % 4 == 0 ? 1 : 0);
      Names.push_back(ChannelName(r));
      Controller->SetValue(r, kRadio, Radio.back());
      Controller->SetValue(r, kName, Names.back());
    }
    Controller->EndUpdate();
  }
  ~TChannels() { Free(Controller); }
  TChannels(const TChannels&) = delete;
  TChannels& operator=(const TChannels&) = delete;

  TqvDataController* Controller;
  TBenchItem Items[2];
  std::vector<Integer> Radio;
  std::vector<String> Names;
};

TChannels& Channels() {
  static TChannels channels;
  return channels;
}

// The channels' filter holding the one condition, still inside its update bracket.
TqvDataFilterCriteria* BeginFilter(TqvFilterCriteriaOptions AOptions, Integer AItem, TqvFilterOperatorKind AKind,
                                   const Variant& AValue) {
  TqvDataController* c = Channels().Controller;
  TqvDataFilterCriteria* filter = c->GetFilter();
  filter->BeginUpdate();
  filter->Clear();
  filter->SetOptions(AOptions);
  filter->AddItem(nullptr, c->GetItem(AItem), AKind, AValue, VarToStr(AValue));
  return filter;
}

// Each iteration switches the filter on: the record list is rebuilt and filtered.
void RebuildFiltered(benchmark::State& state, TqvFilterCriteriaOptions AOptions, Integer AItem,
                     TqvFilterOperatorKind AKind, const Variant& AValue) {
  TqvDataController* c = Channels().Controller;
  TqvDataFilterCriteria* filter = BeginFilter(AOptions, AItem, AKind, AValue);
  filter->SetActive(false);
  filter->EndUpdate();
  for (auto _ : state) {
    state.PauseTiming();
    filter->SetActive(false);
    state.ResumeTiming();
    filter->SetActive(true);
  }
  state.counters["kept"] = c->GetFilteredRecordCount();
  filter->SetActive(false);
  filter->Clear();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

// The plain loop's record list: the indexes that pass, in order.
template <class Passes>
void PlainFilter(benchmark::State& state, const Passes& APasses) {
  std::vector<Integer> list;
  for (auto _ : state) {
    list.clear();
    list.reserve(kMillion);
    for (Integer r = 0; r < kMillion; ++r)
      if (APasses(r)) list.push_back(r);
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["kept"] = static_cast<double>(list.size());
  state.SetItemsProcessed(state.iterations() * kMillion);
}

const std::array<char, 256>& UpperTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[size_t(c)] = AnsiUpperChar(char(c));
    return t;
  }();
  return table;
}

bool ContainsIgnoringCase(const String& AText, const String& AUpperNeedle) {
  const auto& upper = UpperTable();
  return std::search(AText.begin(), AText.end(), AUpperNeedle.begin(), AUpperNeedle.end(), [&](char a, char b) {
           return upper[static_cast<Byte>(a)] == b;
         }) != AText.end();
}

bool StartsIgnoringCase(const String& AText, const String& AUpperPrefix) {
  if (AText.size() < AUpperPrefix.size()) return false;
  const auto& upper = UpperTable();
  for (size_t i = 0; i < AUpperPrefix.size(); ++i)
    if (upper[static_cast<Byte>(AText[i])] != AUpperPrefix[i]) return false;
  return true;
}

// The compiled filter alone, answering for every record (no record list rebuilt).
void EvaluateCompiled(benchmark::State& state, TqvFilterCriteriaOptions AOptions, Integer AItem,
                      TqvFilterOperatorKind AKind, const Variant& AValue) {
  TqvDataFilterCriteria* filter = BeginFilter(AOptions, AItem, AKind, AValue);
  filter->CancelUpdate();
  std::vector<Integer> records(kMillion);
  for (Integer r = 0; r < kMillion; ++r) records[r] = r;
  std::vector<Byte> matches;
  for (auto _ : state) {
    TqvDataFilterPredicate predicate(filter);
    predicate.MatchAll(records, matches);
    benchmark::DoNotOptimize(matches.data());
  }
  filter->Clear();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

// The view rebuilt without a filter: what every rebuild costs besides filtering.
void BM_UnfilteredRebuild(benchmark::State& state) {
  TqvDataController* c = Channels().Controller;
  for (auto _ : state) c->UpdateView();
  state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_IntegerEqualCompiled(benchmark::State& state) { EvaluateCompiled(state, 0, kRadio, okEqual, 0); }
void BM_ContainsHDCompiled(benchmark::State& state) { EvaluateCompiled(state, 0, kName, okLike, "%HD%"); }
void BM_ContainsSatIgnoringCaseCompiled(benchmark::State& state) {
  EvaluateCompiled(state, fcoCaseInsensitive, kName, okLike, "%sat%");
}

void BM_IntegerEqualRebuilt(benchmark::State& state) { RebuildFiltered(state, 0, kRadio, okEqual, 0); }
void BM_IntegerEqualPlainLoop(benchmark::State& state) {
  const std::vector<Integer>& radio = Channels().Radio;
  PlainFilter(state, [&](Integer r) { return radio[r] == 0; });
}

void BM_ContainsHDRebuilt(benchmark::State& state) { RebuildFiltered(state, 0, kName, okLike, "%HD%"); }
void BM_ContainsHDPlainLoop(benchmark::State& state) {
  const std::vector<String>& names = Channels().Names;
  PlainFilter(state, [&](Integer r) { return names[r].find("HD") != String::npos; });
}

void BM_ContainsSatIgnoringCaseRebuilt(benchmark::State& state) {
  RebuildFiltered(state, fcoCaseInsensitive, kName, okLike, "%sat%");
}
void BM_ContainsSatIgnoringCasePlainLoop(benchmark::State& state) {
  const std::vector<String>& names = Channels().Names;
  PlainFilter(state, [&](Integer r) { return ContainsIgnoringCase(names[r], "SAT"); });
}

// The incremental filter of a grid column: the rows whose text starts with what was typed.
void BM_PrefixIgnoringCaseRebuilt(benchmark::State& state) {
  TqvDataController* c = Channels().Controller;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c->SetIncrementalFilter(kName, "zdf hd 1"));
    state.PauseTiming();
    c->ClearIncrementalFilter();
    state.ResumeTiming();
  }
  c->SetIncrementalFilter(kName, "zdf hd 1");
  state.counters["kept"] = c->GetFilteredRecordCount();
  c->ClearIncrementalFilter();
  state.SetItemsProcessed(state.iterations() * kMillion);
}
void BM_PrefixIgnoringCasePlainLoop(benchmark::State& state) {
  const std::vector<String>& names = Channels().Names;
  PlainFilter(state, [&](Integer r) { return StartsIgnoringCase(names[r], "ZDF HD 1"); });
}

}  // namespace

BENCHMARK(BM_UnfilteredRebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntegerEqualCompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsHDCompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsSatIgnoringCaseCompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntegerEqualRebuilt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntegerEqualPlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsHDRebuilt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsHDPlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsSatIgnoringCaseRebuilt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsSatIgnoringCasePlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrefixIgnoringCaseRebuilt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrefixIgnoringCasePlainLoop)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
