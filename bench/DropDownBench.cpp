// Drop-down figures on the headless backend: an image combo box with 4,000 items (the transponder
// list of a full image) opened with F4 until its list has painted for the first time, and the
// open list scrolled to its last item (Ctrl+PgDn) and painted there. Each iteration closes the
// popup again with Esc (not timed).
#include <benchmark/benchmark.h>

#include "editors/qvImageComboBox.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "support/BenchUnits.h"

namespace {

constexpr Integer kItems = 4000;

struct TBenchScene {
  TBenchScene() {
    EnsureBenchUnits();
    Headless::Reset();
    Headless::SetThreadWait(0);
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Combo = New<TqvImageComboBox>(Form, false);
    Combo->SetBounds(10, 10, 300, 21);
    Combo->SetParent(Form);
    TqvImageComboBoxItems* items = Combo->GetProperties()->GetItems();
    items->BeginUpdate();
    for (Integer i = 0; i < kItems; ++i) {
      TqvImageComboBoxItem* item = items->Add();
      item->SetDescription(IntToStr(10700 + i * 3) + " H 27500 3/4 DVB-S2");
      item->SetValue(i);
    }
    items->EndUpdate();
    Combo->GetProperties()->SetDropDownRows(16);
    Form->Show();
    Combo->SetFocus();
    Application->ProcessMessages();
  }
  ~TBenchScene() {
    Free(Form);
    Headless::Reset();
  }
  // F4, then every message until the list's first paint is done.
  void Open() {
    Headless::PressKey(VK_F4);
    Application->ProcessMessages();
    if (TWinControl* list = Combo->GetILookupData()->GetList(); list && list->HandleAllocated())
      UpdateWindow(list->GetHandle());
  }
  void Close() {
    Headless::PressKey(VK_ESCAPE);
    Application->ProcessMessages();
  }
  TForm* Form = nullptr;
  TqvImageComboBox* Combo = nullptr;
};

void BM_ImageComboOpenToFirstPaint(benchmark::State& state) {
  TBenchScene scene;
  for (auto _ : state) {
    scene.Open();
    state.PauseTiming();
    if (!scene.Combo->GetDroppedDown()) state.SkipWithError("the popup did not open");
    scene.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImageComboOpenToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ImageComboOpenAndScrollToEnd(benchmark::State& state) {
  TBenchScene scene;
  for (auto _ : state) {
    scene.Open();
    Headless::PressKey(VK_NEXT, skCtrl);
    Application->ProcessMessages();
    TqvCustomEditListBox* list = scene.Combo->GetLookupData()->GetListBox();
    if (list && list->HandleAllocated()) UpdateWindow(list->GetHandle());
    state.PauseTiming();
    if (!list || list->GetItemIndex() != kItems - 1) state.SkipWithError("the list did not reach its end");
    scene.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImageComboOpenAndScrollToEnd)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
