// Page control figures: one layout of a tab control with many tabs (measuring every tab, the
// scrolled window of a single line, or the rows of a multi-line control with their balancing),
// the row balancing alone, and one paint of such a control, for each painter style.
#include <benchmark/benchmark.h>

#include <vector>

#include "pagecontrol/qvPC.h"
#include "platform/forms/Forms.h"
#include "support/BenchUnits.h"

namespace {

constexpr Integer kWidth = 1200;
constexpr Integer kHeight = 1000;

// A shown form with a tab control of the style and count of tabs, with captions of varied
// lengths as a satellite list has them.
struct TBenchControl {
  TBenchControl(TqvPCStyleID AStyle, Integer ATabs, bool AMultiLine) {
    EnsureBenchUnits();
    Form.reset(New<TForm>(nullptr));
    Form->SetBounds(0, 0, kWidth + 20, kHeight + 20);
    Control = New<TqvCustomTabControl>(Form.get());
    Control->SetBounds(0, 0, kWidth, kHeight);
    Control->SetParent(Form.get());
    Control->SetStyle(AStyle);
    Control->SetMultiLine(AMultiLine);
    static const char* const kNames[] = {"Astra", "Hotbird 13E", "Eutelsat 7", "Thor", "Turksat 42E",
                                         "Hispasat 30W", "Amazonas", "Nilesat 201", "Badr"};
    TStrings* tabs = Control->GetTabs();
    tabs->BeginUpdate();
    for (Integer i = 0; i < ATabs; ++i) tabs->Add(String(kNames[i % 9]) + " " + IntToStr(i));
    tabs->EndUpdate();
    Control->SetTabIndex(ATabs / 2);
    Form->Show();
    Application->ProcessMessages();
  }
  TOwned<TForm> Form;
  TqvCustomTabControl* Control;
};

// Args: style, tabs, multi-line.
void LayoutTabs(benchmark::State& state) {
  TBenchControl bench(TqvPCStyleID(state.range(0)), Integer(state.range(1)), state.range(2) != 0);
  for (auto _ : state) bench.Control->RequestLayout();
  state.counters["rows"] = bench.Control->GetRowCount();
}
BENCHMARK(LayoutTabs)
    ->ArgNames({"style", "tabs", "multiline"})
    ->ArgsProduct({{1, 2, 3, 5}, {50, 500}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The rows of 500 tabs on a line of 1,196 pixels: greedy filling with or without balancing.
void FillRows(benchmark::State& state) {
  std::vector<Integer> lengths(500);
  for (size_t i = 0; i < lengths.size(); ++i) lengths[i] = 40 + Integer(i * 37 % 61);
  for (auto _ : state) benchmark::DoNotOptimize(FillTabRows(lengths, kWidth - 4, 0, state.range(0) != 0));
}
BENCHMARK(FillRows)->ArgName("balance")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Args: style, tabs, multi-line.
void PaintTabs(benchmark::State& state) {
  TBenchControl bench(TqvPCStyleID(state.range(0)), Integer(state.range(1)), state.range(2) != 0);
  for (auto _ : state) {
    bench.Control->Invalidate();
    bench.Control->Update();
  }
}
BENCHMARK(PaintTabs)
    ->ArgNames({"style", "tabs", "multiline"})
    ->ArgsProduct({{1, 2, 3, 5}, {500}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
