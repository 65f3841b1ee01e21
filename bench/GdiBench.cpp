// Drawing layer figures: rectangles, cell texts with clipping, full-window blits and the text of
// a grid page, all into 1280x800 memory bitmaps.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/os/Gdi.h"
#include "platform/os/GdiTextEngine.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;

class TBenchCanvas {
 public:
  TBenchCanvas() {
    FDC = CreateCompatibleDC(nullptr);
    FBitmap = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    FOld = SelectObject(FDC, FBitmap);
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    FFont = CreateFontIndirect(&lf);
    SelectObject(FDC, FFont);
    SetBkMode(FDC, TRANSPARENT);
  }
  ~TBenchCanvas() {
    SelectObject(FDC, FOld);
    SelectObject(FDC, GetStockObject(SYSTEM_FONT));
    DeleteObject(FFont);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
  HFONT FFont;
};

// 10,000 rectangles of 12x8 pixels spread over the bitmap.
std::vector<RECT> SmallRects() {
  std::vector<RECT> rects;
  for (int i = 0; i < 10000; ++i) {
    int x = (i * 13) % (kWidth - 12), y = ((i / 98) * 8) % (kHeight - 8);
    rects.push_back({x, y, x + 12, y + 8});
  }
  return rects;
}

std::vector<std::string> CellTexts(int count, int variant) {
  static const char* const names[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat", "Astra 19.2E", "Hot Bird 13E",
                                      "11494 H 22000", "DVB-S2 8PSK", "\xD6sterreich", "Caf\xE9 TV"};
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i)
    texts.push_back(std::string(names[i % 10]) + " " + std::to_string((i * 7 + variant) % 997));
  return texts;
}

void BM_FillRect10k(benchmark::State& state) {
  TBenchCanvas c;
  auto rects = SmallRects();
  HBRUSH brush = CreateSolidBrush(RGB(10, 36, 106));
  for (auto _ : state)
    for (const RECT& r : rects) FillRect(c.DC(), &r, brush);
  DeleteObject(brush);
  state.SetItemsProcessed(state.iterations() * int64_t(rects.size()));
}
BENCHMARK(BM_FillRect10k)->Unit(benchmark::kMillisecond);

void BM_FrameRect10k(benchmark::State& state) {
  TBenchCanvas c;
  auto rects = SmallRects();
  HBRUSH brush = GetSysColorBrush(COLOR_BTNSHADOW);
  for (auto _ : state)
    for (const RECT& r : rects) FrameRect(c.DC(), &r, brush);
  state.SetItemsProcessed(state.iterations() * int64_t(rects.size()));
}
BENCHMARK(BM_FrameRect10k)->Unit(benchmark::kMillisecond);

void BM_FillRect10kComplexClip(benchmark::State& state) {
  TBenchCanvas c;
  // A clip of a few hundred rectangles, as a window with many children has.
  HRGN clip = CreateRectRgn(0, 0, kWidth, kHeight);
  for (int i = 0; i < 200; ++i) {
    HRGN hole = CreateRectRgn((i * 61) % kWidth, (i * 37) % kHeight, (i * 61) % kWidth + 20, (i * 37) % kHeight + 10);
    CombineRgn(clip, clip, hole, RGN_DIFF);
    DeleteObject(hole);
  }
  SelectClipRgn(c.DC(), clip);
  auto rects = SmallRects();
  HBRUSH brush = CreateSolidBrush(RGB(255, 255, 225));
  for (auto _ : state)
    for (const RECT& r : rects) FillRect(c.DC(), &r, brush);
  DeleteObject(brush);
  DeleteObject(clip);
  state.SetItemsProcessed(state.iterations() * int64_t(rects.size()));
}
BENCHMARK(BM_FillRect10kComplexClip)->Unit(benchmark::kMillisecond);

// 10,000 short cell texts, each clipped to its 96x18 cell (texts repeat, as grid values do).
void BM_CellText10k(benchmark::State& state) {
  TBenchCanvas c;
  auto texts = CellTexts(10000, 0);
  for (auto _ : state)
    for (int i = 0; i < 10000; ++i) {
      int col = i % 13, row = (i / 13) % 44;
      RECT cell{col * 98 + 2, row * 18, col * 98 + 98, row * 18 + 18};
      DrawText(c.DC(), texts[size_t(i)].c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_CellText10k)->Unit(benchmark::kMillisecond);

// One 1280x800 grid page: 40 rows x 13 cells of background, lines and text.
void GridPage(HDC dc, const std::vector<std::string>& texts) {
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
  for (int row = 0; row < 40; ++row) {
    int top = row * 20;
    MoveToEx(dc, 0, top + 19, nullptr);
    LineTo(dc, kWidth, top + 19);
    for (int col = 0; col < 13; ++col) {
      RECT cell{col * 98 + 3, top, col * 98 + 95, top + 19};
      DrawText(dc, texts[size_t(row * 13 + col)].c_str(), -1, &cell,
               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | (col % 3 == 2 ? DT_RIGHT : DT_LEFT));
    }
  }
  for (int col = 1; col < 13; ++col) {
    MoveToEx(dc, col * 98 - 1, 0, nullptr);
    LineTo(dc, col * 98 - 1, kHeight);
  }
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

void BM_GridPage(benchmark::State& state) {
  TBenchCanvas c;
  auto texts = CellTexts(520, 0);
  for (auto _ : state) GridPage(c.DC(), texts);
}
BENCHMARK(BM_GridPage)->Unit(benchmark::kMillisecond);

// The same page with texts never seen before: every string is laid out afresh. The argument 0
// turns the fast path for simple single-byte runs off, so that every text is shaped in full.
void BM_GridPageNewTexts(benchmark::State& state) {
  SetSimpleTextShaping(state.range(0) != 0);
  TBenchCanvas c;
  int variant = 1000;
  std::vector<std::vector<std::string>> pages;
  for (auto _ : state) {
    state.PauseTiming();
    auto texts = CellTexts(520, variant);
    for (auto& t : texts) t += "#" + std::to_string(variant);
    ++variant;
    state.ResumeTiming();
    GridPage(c.DC(), texts);
  }
  SetSimpleTextShaping(true);
}
BENCHMARK(BM_GridPageNewTexts)->ArgName("simple")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_BitBltFullWindow(benchmark::State& state) {
  TBenchCanvas a, b;
  for (auto _ : state) BitBlt(a.DC(), 0, 0, kWidth, kHeight, b.DC(), 0, 0, SRCCOPY);
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}
BENCHMARK(BM_BitBltFullWindow)->Unit(benchmark::kMillisecond);

void BM_MeasureCached(benchmark::State& state) {
  TBenchCanvas c;
  SIZE size;
  for (auto _ : state) {
    GetTextExtentPoint32(c.DC(), "Transponder 11494 H", 19, &size);
    benchmark::DoNotOptimize(size);
  }
}
BENCHMARK(BM_MeasureCached);

}  // namespace

BENCHMARK_MAIN();
