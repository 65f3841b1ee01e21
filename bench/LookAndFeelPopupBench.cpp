// Drop-down figures on the headless backend: a drop-down holding an inner list box of 10,000
// items in a container is opened and closed 100 times (each opening placed, shown, focused and
// painted); the time from Popup to the end of the popup's first paint; and 10,000 wheel steps
// over the open list (each scrolls it and moves its painter-drawn mirror bar).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "lookandfeel/qvInnerListBox.h"
#include "lookandfeel/qvPopupWindow.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Backend.h"

namespace {

constexpr Integer kItems = 10000;
constexpr Integer kOpenings = 100;
constexpr Integer kWheelSteps = 10000;

using TClock = std::chrono::steady_clock;

// A drop-down that notes when its first paint after opening ended.
class TBenchPopup : public TqvCustomPopupWindow {
  QJ_INLINE_CLASS(TBenchPopup, TqvCustomPopupWindow)
 public:
  using TqvCustomPopupWindow::TqvCustomPopupWindow;
  bool Painted = false;
  TClock::time_point PaintedAt;

 protected:
  void AdjustClientRect(TRect&) override {}
  void Paint() override {
    TqvCustomPopupWindow::Paint();
    if (Painted) return;
    Painted = true;
    PaintedAt = TClock::now();
  }
};

class TBenchList : public TqvContainer {
  QJ_INLINE_CLASS(TBenchList, TqvContainer)
 public:
  explicit TBenchList(TComponent* AOwner) : TqvContainer(AOwner) {
    List = New<TqvCustomInnerListBox>(this);
    List->SetContainer(this);
    List->SetParent(this);
    SetInnerControl(List);
  }
  TqvCustomInnerListBox* List;
};

struct TBenchScene {
  TBenchScene() {
    SetBackend(CreateHeadlessBackend());
    Headless::Reset();
    Headless::SetThreadWait(0);
    Units = std::make_unique<TqvLookAndFeelUnits>();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Owner = New<TEdit>(Form);
    Owner->SetBounds(10, 10, 200, 24);
    Owner->SetParent(Form);
    Form->Show();
    Owner->SetFocus();
    Popup = New<TBenchPopup>(Owner);
    Popup->SetIsModal(false);
    Popup->SetOwnerRectParent(Owner);
    Popup->SetOwnerRect(Rect(0, 0, 200, 24));
    Popup->SetPopupBorderStyle(pfsSingle);
    List = New<TBenchList>(Popup);
    List->SetBounds(0, 0, 200, 300);
    List->SetParent(Popup);
    List->List->GetItems()->BeginUpdate();
    for (Integer i = 0; i < kItems; ++i) List->List->GetItems()->Add("Channel " + IntToStr(i) + "  11494 H 22000");
    List->List->GetItems()->EndUpdate();
    Application->ProcessMessages();
  }
  ~TBenchScene() {
    Free(Popup);
    Free(Form);
    Units.reset();
  }
  std::unique_ptr<TqvLookAndFeelUnits> Units;
  TForm* Form = nullptr;
  TEdit* Owner = nullptr;
  TBenchPopup* Popup = nullptr;
  TBenchList* List = nullptr;
};

TBenchScene& Scene() {
  static TBenchScene scene;
  return scene;
}

void BM_OpenAndClose(benchmark::State& state) {
  TBenchScene& scene = Scene();
  for (auto _ : state) {
    for (Integer i = 0; i < kOpenings; ++i) {
      scene.Popup->Popup(nullptr);
      Application->ProcessMessages();
      scene.Popup->CloseUp(false);
      Application->ProcessMessages();
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kOpenings);
  state.counters["per_open_close"] = benchmark::Counter(double(state.iterations()) * kOpenings,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OpenAndClose)->Unit(benchmark::kMillisecond);

// Popup until the end of the popup's first paint (the paint runs from the message loop).
void BM_TimeToFirstPaint(benchmark::State& state) {
  TBenchScene& scene = Scene();
  for (auto _ : state) {
    scene.Popup->Painted = false;
    const TClock::time_point start = TClock::now();
    scene.Popup->Popup(nullptr);
    Application->ProcessMessages();
    const TClock::time_point end = scene.Popup->Painted ? scene.Popup->PaintedAt : TClock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    scene.Popup->CloseUp(false);
    Application->ProcessMessages();
  }
}
BENCHMARK(BM_TimeToFirstPaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A hundred steps down, a hundred up, over the open list.
void BM_ListWheelSteps(benchmark::State& state) {
  TBenchScene& scene = Scene();
  scene.Popup->Popup(nullptr);
  Application->ProcessMessages();
  const TPoint centre = scene.List->List->ClientToScreen({100, 100});
  Headless::MoveMouse(centre.X, centre.Y);
  Application->ProcessMessages();
  for (auto _ : state) {
    for (Integer i = 0; i < kWheelSteps; ++i) {
      Headless::Wheel((i / 100) % 2 == 0 ? -WHEEL_DELTA : WHEEL_DELTA);
      Application->ProcessMessages();
    }
  }
  scene.Popup->CloseUp(false);
  Application->ProcessMessages();
  state.SetItemsProcessed(int64_t(state.iterations()) * kWheelSteps);
  state.counters["per_step"] = benchmark::Counter(double(state.iterations()) * kWheelSteps,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ListWheelSteps)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
