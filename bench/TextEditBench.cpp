// Text edit figures on the headless backend: 100 characters typed into a focused text edit whose
// 10,000 lookup items complete every prefix (each keystroke: the key and character messages,
// the incremental search from the top of the items, the completed text set and its tail
// selected, the view refreshed). The counter "per_key" is the time of one keystroke; the search
// for the last characters walks all 10,000 items, since the typed item is the last one.
#include <benchmark/benchmark.h>

#include <memory>

#include "editors/qvTextEdit.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"

namespace {

constexpr Integer kItems = 10000;
constexpr Integer kTyped = 100;

// A 100-character item per index: the items share long prefixes, so every typed character keeps
// completing, and the typed item is found only after all items before it.
String Item(Integer AIndex) {
  String text = "Satellite channel list entry " + IntToStr(100000 + AIndex) + " ";
  while (text.size() < size_t(kTyped)) text += char('a' + text.size() % 26);
  return text;
}

struct TBenchScene {
  TBenchScene() {
    SetBackend(CreateHeadlessBackend());
    Headless::Reset();
    Headless::SetThreadWait(0);
    Units = std::make_unique<TqvLookAndFeelUnits>();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Edit = New<TqvTextEdit>(Form, false);
    Edit->SetBounds(10, 10, 300, 21);
    Edit->SetParent(Form);
    TStrings* items = Edit->GetProperties()->GetLookupItems();
    items->BeginUpdate();
    for (Integer i = 0; i < kItems; ++i) items->Add(Item(i));
    items->EndUpdate();
    Form->Show();
    Edit->SetFocus();
    Application->ProcessMessages();
  }
  ~TBenchScene() {
    Free(Form);
    Units.reset();
    Headless::Reset();
  }
  std::unique_ptr<TqvLookAndFeelUnits> Units;
  TForm* Form = nullptr;
  TqvTextEdit* Edit = nullptr;
};

void BM_TypeWithLookupCompletion(benchmark::State& state) {
  TBenchScene scene;
  const String typed = Item(kItems - 1);
  for (auto _ : state) {
    state.PauseTiming();
    scene.Edit->SetEditValue(String());
    Application->ProcessMessages();
    state.ResumeTiming();
    for (char c : typed) {
      Headless::TypeText(String(1, c));
      Application->ProcessMessages();
    }
  }
  if (scene.Edit->GetText() != typed) state.SkipWithError("the typed item was not completed");
  state.counters["per_key"] =
      benchmark::Counter(double(state.iterations()) * kTyped, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypeWithLookupCompletion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
