// Status bar figures: the processor time that status bars with a keyboard-state panel take while
// they watch the keys (each panel's watcher polls four keys every 100 ms and should cost next to
// nothing), the gradient fill of a full-width bar, and the paint of a bar with every panel style.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <vector>

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/Forms.h"
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

// Bars with a keyboard-state panel for one second of wall time; the figure is the whole
// process's processor time in that second.
void WatchKeysForOneSecond(benchmark::State& state) {
  Units();
  std::vector<TOwned<TzmStatusBar>> bars;
  for (int64_t i = 0; i < state.range(0); ++i) {
    bars.push_back(MakeOwned<TzmStatusBar>(nullptr));
    bars.back()->GetPanels()->Add()->SetPanelStyleClass(&TzmStatusBarKeyboardStatePanelStyle::StaticClass());
  }
  for (auto _ : state) std::this_thread::sleep_for(std::chrono::seconds(1));
  bars.clear();
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

// A 1280-pixel bar with a text, an indicator, a keyboard-state and a second text panel, painted
// into a bitmap through the painter of each paint style.
void PaintBar(benchmark::State& state) {
  Units();
  TOwned<TForm> form(New<TForm>(nullptr));
  form->SetBounds(0, 0, 1280, 100);
  auto* bar = New<TzmStatusBar>(form.get());
  bar->SetParent(form.get());
  bar->SetPaintStyle(static_cast<TzmStatusBarPaintStyle>(state.range(0)));
  TzmStatusBarPanel* text = bar->GetPanels()->Add();
  text->SetPanelStyleClass(&TzmStatusBarTextPanelStyle::StaticClass());
  text->SetText("Receiver 192.168.0.10:9000");
  text->SetWidth(300);
  TzmStatusBarPanel* lamps = bar->GetPanels()->Add();
  lamps->SetPanelStyleClass(&TzmStatusBarStateIndicatorPanelStyle::StaticClass());
  auto* indicators = static_cast<TzmStatusBarStateIndicatorPanelStyle*>(lamps->GetPanelStyle());
  for (Integer i = 0; i < 4; ++i) indicators->GetIndicators()->Add()->SetIndicatorType(sitGreen);
  bar->GetPanels()->Add()->SetPanelStyleClass(&TzmStatusBarKeyboardStatePanelStyle::StaticClass());
  TzmStatusBarPanel* last = bar->GetPanels()->Add();
  last->SetPanelStyleClass(&TzmStatusBarTextPanelStyle::StaticClass());
  last->SetText("Writing channel 1042 of 4000");
  form->Show();
  for (auto _ : state) {
    bar->Invalidate();
    bar->Update();
  }
}
BENCHMARK(PaintBar)->DenseRange(stpsStandard, stpsOffice11)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
