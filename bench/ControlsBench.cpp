// Class library figures on the headless backend: message dispatch through a control, realigning
// a panel of aligned children, and showing and painting a form of nested panels.
#include <benchmark/benchmark.h>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"

namespace {

class TBenchPanel : public TCustomControl {
  QJ_INLINE_CLASS(TBenchPanel, TCustomControl)
 public:
  explicit TBenchPanel(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle |= csAcceptsControls; }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(GetClientRect());
  }
};

TBenchPanel* AddPanel(TWinControl* parent, TAlign align, Integer size) {
  auto* p = New<TBenchPanel>(parent);
  p->SetBounds(0, 0, size, size);
  p->SetAlign(align);
  p->SetParent(parent);
  return p;
}

void BM_PerformThroughWindowProc(benchmark::State& state) {
  Headless::Reset();
  auto* panel = New<TBenchPanel>(nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(panel->Perform(CM_HITTEST, 0, 0));
  Free(panel);
}
BENCHMARK(BM_PerformThroughWindowProc);

void BM_SendMessageToAControlWindow(benchmark::State& state) {
  Headless::Reset();
  TForm* form = New<TForm>(nullptr);
  form->Show();
  HWND h = form->GetHandle();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(h, CM_HITTEST, 0, 0));
  Free(form);
}
BENCHMARK(BM_SendMessageToAControlWindow);

// Resizing a window-less panel with n children stacked top and bottom around a client child.
void BM_RealignChildren(benchmark::State& state) {
  Headless::Reset();
  auto* parent = New<TBenchPanel>(nullptr);
  parent->SetBounds(0, 0, 1000, 10000);
  for (int i = 0; i < state.range(0); ++i) AddPanel(parent, i % 2 ? alTop : alBottom, 5);
  AddPanel(parent, alClient, 10);
  Integer w = 1000;
  for (auto _ : state) {
    w = w == 1000 ? 900 : 1000;
    parent->SetBounds(0, 0, w, 10000);
  }
  Free(parent);
}
BENCHMARK(BM_RealignChildren)->Arg(10)->Arg(100)->Arg(500);

// Shows a form of 10 x 10 nested panels, paints it completely and frees it.
void BM_ShowAndPaintNestedPanels(benchmark::State& state) {
  for (auto _ : state) {
    Headless::Reset();
    TForm* form = New<TForm>(nullptr);
    form->SetBounds(0, 0, 800, 600);
    for (int i = 0; i < 10; ++i) {
      TBenchPanel* column = AddPanel(form, alLeft, 80);
      for (int j = 0; j < 10; ++j) AddPanel(column, alTop, 60)->SetColor(RGB(i * 20, j * 20, 100));
    }
    form->Show();
    Application->ProcessMessages();
    Free(form);
  }
}
BENCHMARK(BM_ShowAndPaintNestedPanels);

}  // namespace

BENCHMARK_MAIN();
