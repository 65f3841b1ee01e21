// The receiver's replies are untrusted: a fake receiver on loopback answers a download (or, when
// the first input byte is odd, an upload) with the rest of the input and closes. Whatever it
// sends, nothing may crash, read or write outside a buffer, or open an image that is not whole.
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/UTransport.h"
#include "platform/net/LoopbackServer.h"

namespace {

using namespace loopback;

// Both sides of the transfer, without windows: no pauses, and a clock that runs on at each wait.
class TFuzzTransferSides : public ITransferProgress, public ITransferTarget {
 public:
  void ShowStatus(const String&) override {}
  void ShowDataMoving(bool) override {}
  bool KeepWaiting() override {
    FClock += TransferProtocol::PollInterval;
    return true;
  }
  DWORD Now() override { return FClock; }
  void Pause(Integer) override {}

  void ShowTransferStatus(const String&) override {}
  // Only a whole image may arrive: the reply's bytes behind its header and status.
  void OpenReceivedImage(const TDBImage& AImage, const String&) override {
    constexpr size_t imageAt = TransferProtocol::HeaderSize + TransferProtocol::StatusSize;
    if (Reply.size() < imageAt + TDBImage::Size) std::abort();
    if (std::memcmp(AImage.Data(), Reply.data() + imageAt, TDBImage::Size) != 0) std::abort();
  }
  void CloseReceivedImage() override {}
  const TDBImage& RebuildUploadImage() override { return FImage; }

  std::string Reply;

 private:
  DWORD FClock = 0;
  TDBImage FImage;
};

// One listener for the whole run, so that the runs do not use up the ephemeral ports.
int Listener() {
  static const int listener = OpenListener(4);
  return listener;
}

// Accepts one connection, reads the request, answers with the reply and closes.
void Answer(size_t ARequestSize, const std::string& AReply) {
  if (!WaitReadable(Listener())) return;
  const int connection = accept4(Listener(), nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) return;
  ReadExactly(connection, ARequestSize);
  WriteAll(connection, AReply);
  close(connection);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool upload = data[0] & 1;
  const std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t requestSize = TransferProtocol::HeaderSize + (upload ? TDBImage::Size : 0);
  std::thread receiver(Answer, requestSize, reply);

  static TFuzzTransferSides sides;
  sides.Reply = reply;
  TOwned<TTransferClient> client(New<TTransferClient>(nullptr));
  TReceiverTransfer transfer(*client, sides, sides);
  const TSTBAddr addr{"127.0.0.1", PortOf(Listener())};
  if (upload)
    transfer.Upload(addr);
  else
    transfer.Download(addr);
  receiver.join();
  return 0;
}
