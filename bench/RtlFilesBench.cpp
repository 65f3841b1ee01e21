// Costs of the safe file writer, settings reads and memory streams.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"

namespace {

// One database image (690,520 bytes) replaced safely, with the flushes to disk.
void BM_WriteFileAtomically_Image(benchmark::State& state) {
  TTempFolder scratch;
  std::vector<char> image(690520, 'x');
  for (auto _ : state) WriteFileAtomically(scratch.File("image.bin"), image.data(), image.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_WriteFileAtomically_Image)->Unit(benchmark::kMillisecond);

// A settings file of 20 sections x 10 keys, as the editor's layout file might grow.
String FillSettings(TCustomIniFile& ini) {
  for (int s = 0; s < 20; ++s)
    for (int k = 0; k < 10; ++k) ini.WriteInteger("Section" + IntToStr(s), "Key" + IntToStr(k), k);
  ini.UpdateFile();
  return ini.GetFileName();
}

void BM_IniFile_ReadInteger(benchmark::State& state) {
  TTempFolder scratch;
  TMemIniFile writer(scratch.File("s.ini"));
  TIniFile ini(FillSettings(writer));
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadInteger("Section19", "Key9", 0));
}
BENCHMARK(BM_IniFile_ReadInteger)->Unit(benchmark::kMicrosecond);

void BM_MemIniFile_ReadInteger(benchmark::State& state) {
  TTempFolder scratch;
  TMemIniFile writer(scratch.File("s.ini"));
  TMemIniFile ini(FillSettings(writer));
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadInteger("Section19", "Key9", 0));
}
BENCHMARK(BM_MemIniFile_ReadInteger)->Unit(benchmark::kMicrosecond);

void BM_Registry_ReadInteger(benchmark::State& state) {
  TTempFolder scratch;
  ::setenv("XDG_CONFIG_HOME", scratch.File("config").c_str(), 1);
  TRegistry reg;
  reg.OpenKey("Software\\QJ\\Editor", true);
  for (int k = 0; k < 50; ++k) reg.WriteInteger("Value" + IntToStr(k), k);
  for (auto _ : state) benchmark::DoNotOptimize(reg.ReadInteger("Value49"));
}
BENCHMARK(BM_Registry_ReadInteger)->Unit(benchmark::kMicrosecond);

// Many small writes, as a serializer makes them.
void BM_MemoryStream_SmallWrites(benchmark::State& state) {
  for (auto _ : state) {
    TMemoryStream stream;
    for (int i = 0; i < 100000; ++i) stream.WriteBuffer(&i, sizeof i);
    benchmark::DoNotOptimize(stream.Memory());
  }
  state.SetBytesProcessed(state.iterations() * 400000);
}
BENCHMARK(BM_MemoryStream_SmallWrites)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
