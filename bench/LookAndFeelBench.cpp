// Look-and-feel figures: a 1280x800 grid page painted through the ultra-flat painter (a header
// row, 40 rows of 13 cells with texts, a check-box column and an indicator column), and lookups
// of the shared solid-brush cache.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"

namespace {

constexpr Integer kWidth = 1280, kHeight = 800;
constexpr Integer kRows = 40, kColumns = 13, kRowHeight = 19, kIndicatorWidth = 12, kCheckColumn = 2;
constexpr Integer kColumnWidth = (kWidth - kIndicatorWidth) / kColumns;

struct TBenchUnits {
  TBenchUnits() { SetBackend(CreateHeadlessBackend()); }
  TqvLookAndFeelUnits Units;
};

TBenchUnits& Units() {
  static TBenchUnits units;
  return units;
}

std::vector<String> CellTexts() {
  static const char* const names[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat", "Astra 19.2E", "Hot Bird 13E",
                                      "11494 H 22000", "DVB-S2 8PSK", "\xD6sterreich", "Caf\xE9 TV"};
  std::vector<String> texts;
  for (Integer i = 0; i < kRows * kColumns; ++i) texts.push_back(String(names[i % 10]) + " " + std::to_string(i % 997));
  return texts;
}

void PaintPage(TqvCanvas* canvas, TqvLookAndFeelPainterClass painter, const std::vector<String>& texts) {
  TFont* font = canvas->GetFont();
  const TColor content = painter->DefaultContentColor(), text = painter->DefaultContentTextColor();
  const TColor line = painter->DefaultGridLineColor(), selection = painter->DefaultSelectionColor();
  // Header row.
  painter->DrawHeader(canvas, Rect(0, 0, kIndicatorWidth, kRowHeight), Rect(0, 0, kIndicatorWidth, kRowHeight), 0,
                      painter->GetHeaderBorderSides(qvBorder(bRight)), qvbsNormal, taLeftJustify, vaCenter, false,
                      false, "", font, painter->DefaultHeaderTextColor(), painter->DefaultHeaderColor());
  for (Integer c = 0; c < kColumns; ++c) {
    const TRect r = Bounds(kIndicatorWidth + c * kColumnWidth, 0, kColumnWidth, kRowHeight);
    const TqvBorders neighbours = qvBorder(bLeft) | (c + 1 < kColumns ? qvBorder(bRight) : 0);
    painter->DrawHeader(canvas, r, qvDeflatedRect(r, 2), neighbours, painter->GetHeaderBorderSides(neighbours),
                        qvbsNormal, taLeftJustify, vaCenter, false, true, "Column " + std::to_string(c), font,
                        painter->DefaultHeaderTextColor(), painter->DefaultHeaderColor());
  }
  for (Integer row = 0; row < kRows; ++row) {
    const Integer top = (row + 1) * kRowHeight;
    painter->DrawIndicatorItem(canvas, Rect(0, top, kIndicatorWidth, top + kRowHeight),
                               row == 3 ? indArrow : indNone, painter->DefaultHeaderColor());
    for (Integer c = 0; c < kColumns; ++c) {
      const TRect cell = Bounds(kIndicatorWidth + c * kColumnWidth, top, kColumnWidth - 1, kRowHeight - 1);
      const TColor back = row == 3 ? selection : content;
      // Grid lines through the brush cache, as the grid draws them.
      const RECT vertical{cell.Right, cell.Top, cell.Right + 1, cell.Bottom + 1};
      const RECT horizontal{cell.Left, cell.Bottom, cell.Right, cell.Bottom + 1};
      FillRect(canvas->GetHandle(), &vertical, GetSolidBrush(canvas, line));
      FillRect(canvas->GetHandle(), &horizontal, GetSolidBrush(canvas, line));
      if (c == kCheckColumn) {
        canvas->SetBrushColor(back);
        canvas->FillRect(cell);
        painter->DrawCheckBox(canvas, Bounds((cell.Left + cell.Right - 13) / 2, cell.Top + 2, 13, 13), qvbsNormal,
                              row % 2 == 0);
        continue;
      }
      painter->DrawTextContent(canvas, cell, qvDeflatedRect(cell, 2), taLeftJustify, vaCenter, false, true,
                               texts[size_t(row * kColumns + c)], font, row == 3 ? clHighlightText : text, back,
                               nullptr);
    }
  }
}

void BM_UltraFlatGridPage(benchmark::State& state) {
  Units();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(kWidth, kHeight);
  TqvCanvas canvas(bitmap.GetCanvas());
  canvas.GetFont()->SetName("DejaVu Sans");
  canvas.GetFont()->SetHeight(-11);
  const std::vector<String> texts = CellTexts();
  TqvLookAndFeelPainterClass painter = TqvUltraFlatLookAndFeelPainter::Class();
  for (auto _ : state) {
    PaintPage(&canvas, painter, texts);
    benchmark::ClobberMemory();
  }
  state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * (kRows + 1) * (kColumns + 1),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UltraFlatGridPage)->Unit(benchmark::kMillisecond);

// Lookups of a working set of colours the cache holds, as a paint asks for them.
void BM_SolidBrushCacheLookups(benchmark::State& state) {
  Units();
  std::vector<TColor> colors;
  for (Integer i = 0; i < state.range(0); ++i) colors.push_back(static_cast<TColor>(0x010203 * (i + 1)));
  for (TColor c : colors) GetSolidBrush(nullptr, c);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetSolidBrush(nullptr, colors[i]));
    if (++i == colors.size()) i = 0;
  }
  state.counters["lookups/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SolidBrushCacheLookups)->Arg(8)->Arg(128);

void BM_SystemColourBrushLookups(benchmark::State& state) {
  Units();
  for (auto _ : state) benchmark::DoNotOptimize(GetSolidBrush(nullptr, clBtnFace));
  state.counters["lookups/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SystemColourBrushLookups);

}  // namespace

BENCHMARK_MAIN();
