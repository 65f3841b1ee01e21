// Progress bar and track bar paint figures: 10,000 paints of a standalone-sized bar (view data
// calculation and drawing on a bitmap, as the control paints) at ranges of 100, 10^6 and 10^9.
// The counter "per_paint" is the time of one paint.
//
// The progress bar draws a gradient with an overload zone, a peak and its text, its position
// running over the range and beyond Max; the track bar draws ticks at every value (Frequency 1)
// and its thumb, the position running over the range.
#include <benchmark/benchmark.h>

#include "editors/qvProgressBar.h"
#include "editors/qvTrackBar.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "support/BenchUnits.h"

namespace {

constexpr Integer kPaints = 10000;
constexpr TRect kProgressBounds{0, 0, 200, 24};
constexpr TRect kTrackBounds{0, 0, 196, 76};

// A bitmap canvas, a font and an in-place style to paint with.
struct TSurface {
  TSurface() {
    EnsureBenchUnits();
    Bitmap = MakeOwned<TBitmap>();
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(kTrackBounds.Right, kTrackBounds.Bottom);
    Canvas = MakeOwned<TqvCanvas>(Bitmap->GetCanvas());
    Font = MakeOwned<TFont>();
    Font->SetName("DejaVu Sans");
    Font->SetSize(9);
    Canvas->SetFont(Font.get());
  }
  template <class TStyle>
  TOwned<TqvCustomEditStyle> MakeStyle() {
    TOwned<TqvCustomEditStyle> style(static_cast<TqvCustomEditStyle*>(TStyle::StaticClass().Create(nullptr, false)));
    style->SetFont(Font.get());
    style->GetLookAndFeel()->SetKind(lfStandard);
    style->GetLookAndFeel()->SetNativeStyle(false);
    return style;
  }
  TOwned<TBitmap> Bitmap;
  TOwned<TqvCanvas> Canvas;
  TOwned<TFont> Font;
};

void SetPerPaint(benchmark::State& state) {
  state.counters["per_paint"] =
      benchmark::Counter(kPaints, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ProgressBarPaint(benchmark::State& state) {
  const Integer range = Integer(state.range(0));
  TSurface surface;
  TOwned<TqvCustomEditStyle> style = surface.MakeStyle<TqvProgressBarStyle>();
  auto properties = MakeOwned<TqvProgressBarProperties>(nullptr);
  properties->SetMax(range);
  properties->SetBarStyle(qvbsGradient);
  properties->SetShowOverload(true);
  properties->SetOverloadValue(range / 10 * 8);
  properties->SetShowPeak(true);
  properties->SetPeakValue(range / 10 * 9);
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), false);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
  // Positions over the range and up to twice Max.
  const Int64 step = std::max<Int64>(1, Int64(range) * 2 / kPaints);
  for (auto _ : state) {
    for (Integer i = 0; i < kPaints; ++i) {
      const Integer position = Integer(std::min<Int64>(Int64(i) * step, 2000000000));
      data->Calculate(surface.Canvas.get(), kProgressBounds, Point(-1, -1), cmbNone, 0, info.get(), false);
      data->EditValueToViewInfo(surface.Canvas.get(), position, info.get());
      info->Draw(surface.Canvas.get());
    }
  }
  SetPerPaint(state);
}

void BM_TrackBarPaint(benchmark::State& state) {
  const Integer range = Integer(state.range(0));
  TSurface surface;
  TOwned<TqvCustomEditStyle> style = surface.MakeStyle<TqvTrackBarStyle>();
  auto properties = MakeOwned<TqvTrackBarProperties>(nullptr);
  properties->SetMax(range);
  properties->SetFrequency(1);
  properties->SetTickMarks(qvtmBoth);
  properties->SetSelectionStart(range / 4);
  properties->SetSelectionEnd(range / 2);
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), false);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
  const Int64 step = std::max<Int64>(1, Int64(range) / kPaints);
  for (auto _ : state) {
    for (Integer i = 0; i < kPaints; ++i) {
      data->Calculate(surface.Canvas.get(), kTrackBounds, Point(-1, -1), cmbNone, 0, info.get(), false);
      data->EditValueToViewInfo(surface.Canvas.get(), Integer(std::min<Int64>(Int64(i) * step, range)), info.get());
      info->Draw(surface.Canvas.get());
    }
  }
  SetPerPaint(state);
}

}  // namespace

BENCHMARK(BM_ProgressBarPaint)->Arg(100)->Arg(1000000)->Arg(1000000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrackBarPaint)->Arg(100)->Arg(1000000)->Arg(1000000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
