// Status bar figures: the processor time that keyboard-state watchers take while they watch
// (each polls four keys every 100 ms and should cost next to nothing), and the gradient fill of a
// full-width bar.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <vector>

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/Controls.h"
#include "platform/os/Backend.h"
#include "statusbar/zmOffice11.h"
#include "statusbar/zmStatusBar.h"

namespace {

struct TBenchUnits {
  TBenchUnits() { SetBackend(CreateHeadlessBackend()); }
  TqvLookAndFeelUnits Units;
};

TBenchUnits& Units() {
  static TBenchUnits units;
  return units;
}

// Watchers of the four keys for one second of wall time; the figure is the whole process's
// processor time in that second.
void WatchKeysForOneSecond(benchmark::State& state) {
  Units();
  TOwned<TCustomControl> bar = MakeOwned<TCustomControl>(nullptr);
  std::vector<TOwned<TzmStatusBarKeyboardStateNotifier>> watchers;
  for (int64_t i = 0; i < state.range(0); ++i) {
    watchers.push_back(MakeOwned<TzmStatusBarKeyboardStateNotifier>(bar.get()));
    for (Word key : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, VK_INSERT}) watchers.back()->AddKey(key);
  }
  for (auto _ : state) std::this_thread::sleep_for(std::chrono::seconds(1));
  watchers.clear();
}
BENCHMARK(WatchKeysForOneSecond)->Arg(0)->Arg(1)->Arg(16)->Iterations(1)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void FillBarGradient(benchmark::State& state) {
  Units();
  TOwned<TBitmap> bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(1280, 22);
  TqvCanvas canvas(bitmap->GetCanvas());
  const TzmOffice11Colors colors = zmOffice11::GetSchemeColors(osBlue);
  for (auto _ : state)
    zmOffice11::FillGradientRect(&canvas, Rect(0, 0, 1280, 22), colors.BarColor1, false, colors.BarColor2,
                                 colors.MiddlePosition);
}
BENCHMARK(FillBarGradient)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
