// Editor cell figures: what a grid does for every visible cell on every repaint, for 10,000
// cells of three kinds: the display text of the value, the view info calculated through the
// column's properties, and the paint (frame, background, buttons, text and image). The counter
// "per_cell" is the time of one cell.
//
// The kinds: a text cell, an integer cell (the value shown through its text form) and an
// image-combo cell (a drop-down button and a 16x16 image before the text), all painted in place
// as grid cells are. Each kind is measured with a view data made per cell and with one view data
// per column kept across the cells.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editors/qvDrawTextUtils.h"
#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"

namespace {

constexpr Integer kCells = 10000;
constexpr Integer kCellWidth = 80, kCellHeight = 18, kColumns = 16, kRows = 40;
constexpr Integer kImageSize = 16;

enum class TCellKind { Text, Integer, ImageCombo };

struct TBenchUnits {
  TBenchUnits() { SetBackend(CreateHeadlessBackend()); }
  TqvLookAndFeelUnits Units;
};

TBenchUnits& Units() {
  static TBenchUnits units;
  return units;
}

std::vector<Variant> CellValues(TCellKind AKind) {
  static const char* const names[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat", "Astra 19.2E", "Hot Bird 13E",
                                      "11494 H 22000", "DVB-S2 8PSK", "\xD6sterreich", "Caf\xE9 TV"};
  std::vector<Variant> values;
  for (Integer i = 0; i < kCells; ++i) {
    if (AKind == TCellKind::Integer)
      values.emplace_back(Integer(10700 + i * 37 % 2000));
    else
      values.emplace_back(String(names[i % 10]) + " " + std::to_string(i % 997));
  }
  return values;
}

// The surface and the column settings the cells are painted with.
class TCellPainter {
 public:
  explicit TCellPainter(TCellKind AKind) : FKind(AKind) {
    Units();
    FBitmap = MakeOwned<TBitmap>();
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetSize(kColumns * kCellWidth, kRows * kCellHeight);
    FCanvas = MakeOwned<TqvCanvas>(FBitmap->GetCanvas());
    FProperties = MakeOwned<TqvCustomEditProperties>(nullptr);
    FStyle.reset(static_cast<TqvCustomEditStyle*>(TqvCustomEditStyle::StaticClass().Create(nullptr, true)));
    FFont = MakeOwned<TFont>();
    FFont->SetName("DejaVu Sans");
    FFont->SetSize(9);
    FStyle->SetFont(FFont.get());  // a grid lends its cells' in-place style the column's font
    // The column's font is selected once: assigning even an equal font makes the canvas a new
    // font handle, whose face the text layer resolves again (about 0.3 ms a cell).
    FCanvas->SetFont(FFont.get());
    if (AKind == TCellKind::ImageCombo) {
      FProperties->GetButtons()->Add()->SetKind(bkDown);
      FImages = MakeOwned<TImageList>(nullptr, kImageSize, kImageSize);
      TBitmap image;
      image.SetSize(kImageSize, kImageSize);
      image.GetCanvas()->GetBrush()->SetColor(clNavy);
      image.GetCanvas()->FillRect(Rect(0, 0, kImageSize, kImageSize));
      FImages->AddMasked(&image, clFuchsia);
    }
    if (AKind == TCellKind::Integer) FProperties->GetAlignment()->SetHorz(taRightJustify);
    FViewInfos.resize(kCells);
    for (auto& info : FViewInfos) info = MakeOwned<TqvCustomEditViewInfo>();
  }

  TOwned<TqvCustomEditViewData> NewViewData() { return FProperties->CreateViewData(FStyle.get(), true); }

  // One cell: display text, view info, paint.
  void PaintCell(TqvCustomEditViewData* AViewData, Integer AIndex, const Variant& AValue) {
    const String text = DisplayText(AValue);
    const Integer column = AIndex % kColumns, row = AIndex / kColumns % kRows;
    const TRect bounds = Bounds(column * kCellWidth, row * kCellHeight, kCellWidth - 1, kCellHeight - 1);
    TqvCustomEditViewInfo* info = FViewInfos[size_t(AIndex)].get();
    AViewData->Calculate(FCanvas.get(), bounds, Point(-1, -1), cmbNone, 0, info, false);
    info->Draw(FCanvas.get());
    TRect textRect = qvDeflatedRect(info->InnerEditRect, 1);
    if (FKind == TCellKind::ImageCombo) {
      DrawImageListImage(FCanvas.get(), FImages.get(), 0, nullptr, true, info->BackgroundColor, textRect);
      textRect.Left += kImageSize + 2;
    }
    FCanvas->GetFont()->SetColor(info->TextColor);
    const TqvTextLayoutFlags align = FKind == TCellKind::Integer ? tlHRight : tlHLeft;
    TextOutOnCanvas(FCanvas.get(), text, textRect, 0, 0, 0, align | tlVCenter | tlSingleLine | tlEndEllipsis);
  }

 private:
  // The properties' display text; the base properties show none, so the value's own text form
  // stands for the text and integer kinds' conversion.
  String DisplayText(const Variant& AValue) {
    String text = FProperties->GetDisplayText(AValue);
    return text.empty() ? VarToStr(AValue) : text;
  }

  TCellKind FKind;
  TOwned<TBitmap> FBitmap;
  TOwned<TqvCanvas> FCanvas;
  TOwned<TqvCustomEditProperties> FProperties;
  TOwned<TFont> FFont;
  TOwned<TqvCustomEditStyle> FStyle;
  TOwned<TImageList> FImages;
  std::vector<TOwned<TqvCustomEditViewInfo>> FViewInfos;
};

void SetPerCell(benchmark::State& state) {
  state.counters["per_cell"] =
      benchmark::Counter(kCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CellsViewDataPerCell(benchmark::State& state) {
  const auto kind = TCellKind(state.range(0));
  TCellPainter painter(kind);
  const std::vector<Variant> values = CellValues(kind);
  for (auto _ : state)
    for (Integer i = 0; i < kCells; ++i) painter.PaintCell(painter.NewViewData().get(), i, values[size_t(i)]);
  SetPerCell(state);
}

void BM_CellsViewDataPerColumn(benchmark::State& state) {
  const auto kind = TCellKind(state.range(0));
  TCellPainter painter(kind);
  const std::vector<Variant> values = CellValues(kind);
  TOwned<TqvCustomEditViewData> viewData = painter.NewViewData();
  for (auto _ : state)
    for (Integer i = 0; i < kCells; ++i) painter.PaintCell(viewData.get(), i, values[size_t(i)]);
  SetPerCell(state);
}

// Arguments: 0 text, 1 integer, 2 image combo.
BENCHMARK(BM_CellsViewDataPerCell)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellsViewDataPerColumn)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
