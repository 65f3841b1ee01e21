// Figures for the class library's containers: sorted string lists and pointer-list sorting.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/rtl/Classes.h"

namespace {

std::vector<String> Words(int n) {
  std::vector<String> words(static_cast<size_t>(n));
  unsigned seed = 1;
  for (auto& w : words) {
    seed = seed * 1103515245u + 12345u;
    w = "Item" + IntToStr(seed % 1000000);
  }
  return words;
}

void BM_SortedStringListAdd(benchmark::State& state) {
  auto words = Words(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const auto& w : words) list.Add(w);
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortedStringListAdd)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortedStringListFind(benchmark::State& state) {
  auto words = Words(static_cast<int>(state.range(0)));
  TStringList list;
  for (const auto& w : words) list.Add(w);
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  size_t next = 0;
  for (auto _ : state) {
    Integer index;
    benchmark::DoNotOptimize(list.Find(words[next], index));
    next = (next + 1) % words.size();
  }
}
BENCHMARK(BM_SortedStringListFind)->Arg(1000)->Arg(100000);

void BM_StringListSort(benchmark::State& state) {
  auto words = Words(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    TStringList list;
    for (const auto& w : words) list.Add(w);
    state.ResumeTiming();
    list.Sort();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringListSort)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ListSort(benchmark::State& state) {
  std::vector<int> values(static_cast<size_t>(state.range(0)));
  unsigned seed = 1;
  for (auto& v : values) {
    seed = seed * 1103515245u + 12345u;
    v = static_cast<int>(seed >> 8);
  }
  for (auto _ : state) {
    state.PauseTiming();
    TList list;
    for (auto& v : values) list.Add(&v);
    state.ResumeTiming();
    list.Sort([](void* a, void* b) {
      int x = *static_cast<int*>(a), y = *static_cast<int*>(b);
      return x < y ? -1 : (x > y ? 1 : 0);
    });
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListSort)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
