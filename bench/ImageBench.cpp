// Opening and saving a full database image: read the file, fill the satellite, transponder and
// channel views, rebuild the image from them and write it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "app/DBImage.h"
#include "app/ImageViews.h"
#include "app/SampleImage.h"
#include "support/ImageViewsFixture.h"

namespace {

struct TFullImageFile {
  TFullImageFile() {
    path = (std::filesystem::temp_directory_path() / ("qj-bench-" + std::to_string(::getpid()) + ".img")).string();
    TDBImage image;
    BuildSampleImage(image, 1, TSampleSize::Full);
    WriteImageFile(path, image);
  }
  ~TFullImageFile() { std::filesystem::remove(path); }
  String path;
};

const TFullImageFile& FullImageFile() {
  static TFullImageFile file;
  return file;
}

void BM_ReadImageFile(benchmark::State& state) {
  TDBImage image;
  for (auto _ : state) benchmark::DoNotOptimize(ReadImageFile(FullImageFile().path, image));
}
BENCHMARK(BM_ReadImageFile)->Unit(benchmark::kMillisecond);

void BM_OpenFullImage(benchmark::State& state) {
  TDBImage image;
  TImageViewsFixture views;
  for (auto _ : state) {
    ReadImageFile(FullImageFile().path, image);
    views.Load(image);
  }
  state.counters["channels"] = views.Channels->GetRecordCount();
}
BENCHMARK(BM_OpenFullImage)->Unit(benchmark::kMillisecond);

// A full image opened into the views, as the editor holds it before a save.
struct TOpenImage {
  TOpenImage() {
    ReadImageFile(FullImageFile().path, image);
    views.Load(image);
  }
  TDBImage image;
  TImageViewsFixture views;
};

void BM_RebuildImage(benchmark::State& state) {
  TOpenImage open;
  for (auto _ : state) RebuildImage(open.image, open.views.Views());
}
BENCHMARK(BM_RebuildImage)->Unit(benchmark::kMillisecond);

void BM_SaveFullImage(benchmark::State& state) {
  TOpenImage open;
  String target = FullImageFile().path + ".saved";
  for (auto _ : state) SaveImage(target, open.image, open.views.Views(), [](const String&) {});
  std::filesystem::remove(target);
}
BENCHMARK(BM_SaveFullImage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
