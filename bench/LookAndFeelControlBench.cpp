// Base control figures on the headless backend: a 600 x 400 custom control scrolling a large
// content with both of its own scroll bars takes 10,000 mouse moves (over the content and across
// the bars, which hot-track) and 10,000 wheel steps (each scrolls three lines and repaints).
// Every event goes through input injection, the queue, hit testing and the control's handlers;
// "per_event" is the time of one event with its painting.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "lookandfeel/qvControls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"

namespace {

constexpr Integer kEvents = 10000;
constexpr Integer kWidth = 600, kHeight = 400, kLineHeight = 18;
constexpr TSize kContent{6000, 20000};

// Lines of text over a content larger than the control, scrolled by pixels.
class TBenchContent : public TqvControl {
  QJ_INLINE_CLASS(TBenchContent, TqvControl)
 public:
  explicit TBenchContent(TComponent* AOwner) : TqvControl(AOwner) { SetBorderStyle(qvcbsDefault); }

 protected:
  bool IsPixelScrollBar(TScrollBarKind) const override { return true; }
  void InitScrollBarsParameters() override {
    const TRect c = GetClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, kContent.cx - 1, kLineHeight, c.Width(), FOffset.X, true, true);
    SetScrollBarInfo(sbVertical, 0, kContent.cy - 1, kLineHeight, c.Height(), FOffset.Y, true, true);
  }
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) override {
    Integer& offset = AKind == sbHorizontal ? FOffset.X : FOffset.Y;
    const Integer page = AKind == sbHorizontal ? GetClientBounds().Width() : GetClientBounds().Height();
    const Integer limit = (AKind == sbHorizontal ? kContent.cx : kContent.cy) - page;
    if (ACode == scLineUp) APos = offset - kLineHeight;
    if (ACode == scLineDown) APos = offset + kLineHeight;
    offset = std::clamp(APos, 0, std::max(limit, 0));
    UpdateScrollBars();
    Invalidate();
  }
  void Paint() override {
    TqvControl::Paint();
    TqvCanvas* canvas = GetCanvas();
    const TRect c = GetClientBounds();
    canvas->SetBrushColor(clWindow);
    canvas->FillRect(c);
    canvas->GetBrush()->SetStyle(bsClear);
    for (Integer top = c.Top - FOffset.Y % kLineHeight, line = FOffset.Y / kLineHeight; top < c.Bottom;
         top += kLineHeight, ++line)
      canvas->DrawText("Channel " + IntToStr(line) + "  11494 H 22000  DVB-S2", Rect(c.Left + 4 - FOffset.X, top, c.Right, top + kLineHeight),
                       tfLeft | tfVCenter | tfSingleLine);
    canvas->GetBrush()->SetStyle(bsSolid);
  }

 private:
  TPoint FOffset;
};

// The units, a shown form and the control, made once for every benchmark.
struct TBenchScene {
  TBenchScene() {
    SetBackend(CreateHeadlessBackend());
    Headless::Reset();
    Headless::SetThreadWait(0);
    Units = std::make_unique<TqvLookAndFeelUnits>();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, kWidth + 40, kHeight + 60);
    Control = New<TBenchContent>(Form);
    Control->SetBounds(10, 10, kWidth, kHeight);
    Control->SetParent(Form);
    Form->Show();
    Control->SetFocus();
    Application->ProcessMessages();
  }
  ~TBenchScene() {
    Free(Form);
    Units.reset();
  }
  std::unique_ptr<TqvLookAndFeelUnits> Units;
  TForm* Form = nullptr;
  TBenchContent* Control = nullptr;
};

TBenchScene& Scene() {
  static TBenchScene scene;
  return scene;
}

void ReportPerEvent(benchmark::State& state) {
  state.SetItemsProcessed(int64_t(state.iterations()) * kEvents);
  state.counters["per_event"] =
      benchmark::Counter(double(state.iterations()) * kEvents, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The pointer sweeps the control on a path that crosses the content, both bars and the grip.
void BM_MouseMoves(benchmark::State& state) {
  TBenchScene& scene = Scene();
  const TPoint origin = scene.Control->ClientToScreen({0, 0});
  for (auto _ : state) {
    for (Integer i = 0; i < kEvents; ++i) {
      Headless::MoveMouse(origin.X + (i * 37) % kWidth, origin.Y + (i * 53) % kHeight);
      Application->ProcessMessages();
    }
  }
  ReportPerEvent(state);
}
BENCHMARK(BM_MouseMoves)->Unit(benchmark::kMillisecond);

// Three lines a step, a hundred steps down, then a hundred up.
void BM_WheelSteps(benchmark::State& state) {
  TBenchScene& scene = Scene();
  const TPoint centre = scene.Control->ClientToScreen({kWidth / 2, kHeight / 2});
  Headless::MoveMouse(centre.X, centre.Y);
  Application->ProcessMessages();
  for (auto _ : state) {
    for (Integer i = 0; i < kEvents; ++i) {
      Headless::Wheel((i / 100) % 2 == 0 ? -WHEEL_DELTA : WHEEL_DELTA);
      Application->ProcessMessages();
    }
  }
  ReportPerEvent(state);
}
BENCHMARK(BM_WheelSteps)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
