// A download and an upload of a full image over loopback, against a fake receiver that answers
// at once: the editor's side of the exchange (connect, request, receive, hand-over), in bytes a
// second.
#include <benchmark/benchmark.h>

#include <string>
#include <thread>

#include "app/SampleImage.h"
#include "app/UTransport.h"
#include "platform/net/LoopbackServer.h"

namespace {

using namespace loopback;

class TBenchTransferSides : public ITransferProgress, public ITransferTarget {
 public:
  TBenchTransferSides() { BuildSampleImage(FImage, 1, TSampleSize::Full); }

  void ShowStatus(const String&) override {}
  void ShowDataMoving(bool) override {}
  bool KeepWaiting() override { return true; }
  DWORD Now() override { return 0; }
  void Pause(Integer) override {}

  void ShowTransferStatus(const String&) override {}
  void OpenReceivedImage(const TDBImage& AImage, const String&) override { Opened = AImage.HasMagic(); }
  void CloseReceivedImage() override {}
  const TDBImage& RebuildUploadImage() override { return FImage; }

  const TDBImage& Image() const { return FImage; }
  bool Opened = false;

 private:
  TDBImage FImage;
};

std::string Be16(uint16_t value) { return {char(value >> 8), char(value)}; }
std::string Be32(uint32_t value) { return Be16(uint16_t(value >> 16)) + Be16(uint16_t(value)); }

// The fake receiver's side of one transfer on a listener that serves every iteration.
void Answer(int listener, size_t requestSize, const std::string& reply) {
  if (!WaitReadable(listener)) return;
  const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) return;
  ReadExactly(connection, requestSize);
  WriteAll(connection, reply);
  close(connection);
}

void RunTransfers(benchmark::State& state, bool upload) {
  TBenchTransferSides sides;
  const std::string image(reinterpret_cast<const char*>(sides.Image().Data()), TDBImage::Size);
  const std::string reply = upload ? Be16(0x0102) + Be32(4) + Be16(0) + Be32(0x10)
                                   : Be16(0x0101) + Be32(690524) + Be16(0) + Be32(0x10) + image;
  const size_t requestSize = TransferProtocol::HeaderSize + (upload ? TDBImage::Size : 0);
  const int listener = OpenListener(4);
  const TSTBAddr addr{"127.0.0.1", PortOf(listener)};
  TOwned<TTransferClient> client(New<TTransferClient>(nullptr));
  TReceiverTransfer transfer(*client, sides, sides);
  for (auto _ : state) {
    std::thread receiver(Answer, listener, requestSize, reply);
    if (upload)
      transfer.Upload(addr);
    else
      transfer.Download(addr);
    receiver.join();
  }
  close(listener);
  if (!upload && !sides.Opened) state.SkipWithError("the image did not arrive");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TDBImage::Size));
}

void BM_DownloadFullImage(benchmark::State& state) { RunTransfers(state, false); }
BENCHMARK(BM_DownloadFullImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UploadFullImage(benchmark::State& state) { RunTransfers(state, true); }
BENCHMARK(BM_UploadFullImage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
