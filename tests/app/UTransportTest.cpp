// Transfers against a scripted fake receiver on loopback: good replies, hostile replies (wrong
// lengths, short reads, resets, silence), no listener, uploads; then the dialog around them.
#include <netinet/tcp.h>

#include <algorithm>
#include <cstring>

#include "app/SampleImage.h"
#include "app/UTransport.h"
#include "editors/qvLabel.h"
#include "platform/forms/ControlsTestSupport.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/net/LoopbackServer.h"
#include "support/ImageViewsFixture.h"

namespace {

using namespace loopback;

std::string U16Bytes(uint16_t value) { return {char(value >> 8), char(value)}; }
std::string U32Bytes(uint32_t value) { return U16Bytes(uint16_t(value >> 16)) + U16Bytes(uint16_t(value)); }
std::string HeaderBytes(uint16_t command, uint32_t length) {
  return U16Bytes(command) + U32Bytes(length) + U16Bytes(0);
}
std::string ImageBytes(const TDBImage& image) {
  return std::string(reinterpret_cast<const char*>(image.Data()), TDBImage::Size);
}

const TDBImage& SampleImage() {
  static const TDBImage image = [] {
    TDBImage built;
    BuildSampleImage(built, 5, TSampleSize::Small);
    return built;
  }();
  return image;
}

// A good download reply: the header, status done and the image.
std::string ImageReply(const TDBImage& image = SampleImage()) {
  return HeaderBytes(0x0101, 690524) + U32Bytes(0x10) + ImageBytes(image);
}
std::string StatusReply(uint32_t length, uint32_t status) { return HeaderBytes(0x0101, length) + U32Bytes(status); }

// Cuts the bytes into pieces of the given sizes (the rest is the last piece).
std::vector<std::string> Pieces(const std::string& bytes, std::vector<size_t> sizes) {
  std::vector<std::string> pieces;
  size_t at = 0;
  for (size_t size : sizes) {
    pieces.push_back(bytes.substr(at, size));
    at += size;
  }
  if (at < bytes.size()) pieces.push_back(bytes.substr(at));
  return pieces;
}

// How the fake receiver ends after its reply.
enum class TReceiverEnd { Close, Reset, Silence };

// What the fake receiver did: the bytes it received and whether the editor closed first.
struct TReceiverLog {
  std::string Received;
};

// Reads the request (AExpect bytes), answers with the pieces one send each, then ends.
Server::Script FakeReceiver(size_t expect, std::vector<std::string> reply, TReceiverEnd end, TReceiverLog& log) {
  return [expect, reply = std::move(reply), end, &log](int fd) {
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    log.Received = ReadExactly(fd, expect);
    for (const std::string& piece : reply)
      if (!WriteAll(fd, piece)) return;
    if (end == TReceiverEnd::Reset) {
      const linger abort{1, 0};
      setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    } else if (end == TReceiverEnd::Silence) {
      ReadExactly(fd, 1);  // until the editor gives up and closes
    }
  };
}

// A port on 127.0.0.1 nobody listens on.
int UnusedPort() {
  const int fd = OpenListener(1);
  const int port = PortOf(fd);
  close(fd);
  return port;
}

// Both sides of the transfer as a log: the messages in order, "pause N" for each pause, and what
// happened to the main window's image. Each wait between two polls advances the clock 250 ms.
class TTransferLog : public ITransferProgress, public ITransferTarget {
 public:
  static constexpr DWORD kWaitStep = 250;

  void ShowStatus(const String& AText) override {
    Events.push_back(AText);
    ShownAt.push_back(Clock);
  }
  void ShowDataMoving(bool AMoving) override { Moving = AMoving; }
  bool KeepWaiting() override {
    Clock += kWaitStep;
    return true;
  }
  DWORD Now() override { return Clock; }
  void Pause(Integer AMilliseconds) override { Events.push_back("pause " + IntToStr(AMilliseconds)); }

  void ShowTransferStatus(const String& AText) override { Panel = AText; }
  void OpenReceivedImage(const TDBImage& AImage, const String& AAddress) override {
    // Stands for a load that fails: the main window refuses images without the magic.
    if (!AImage.HasMagic()) throw Exception("This is not DB file");
    Opened = ImageBytes(AImage);
    Events.push_back("opened as " + AAddress);
  }
  void CloseReceivedImage() override {
    Opened.clear();
    Events.push_back("closed");
  }
  const TDBImage& RebuildUploadImage() override {
    if (!RebuildError.empty()) throw Exception(RebuildError);
    return SampleImage();
  }

  std::vector<String> Events;
  std::vector<DWORD> ShownAt;  // the clock at each message
  String Panel;
  std::string Opened;
  String RebuildError;
  bool Moving = false;
  DWORD Clock = 1000;
};

class TransferTest : public ::testing::Test {
 protected:
  TSTBAddr Receiver() const { return {"127.0.0.1", Fake.Port()}; }

  Server Fake;
  TReceiverLog Received;
  TTransferLog Log;
  TOwned<TTransferClient> Client{New<TTransferClient>(nullptr)};
  TReceiverTransfer Transfer{*Client, Log, Log};
};

// ------------------------------------------------------------------ downloads

struct TDownloadCase {
  const char* Name;
  std::vector<std::string> Reply;
  TReceiverEnd End;
  std::vector<String> Events;  // after "closed" (the start) and "Start Downloading..."
  bool Opens;
};

const std::string kHalfImage = ImageReply().substr(0, 8 + 4 + 690520 / 2);

TDBImage ImageWithoutMagic() {
  TDBImage image = SampleImage();
  image.SetU32(0, 0x12345678);
  return image;
}

const std::vector<String> kSizeErrorEvents = {"Download Size Error !!!", "pause 2000", "Recv Failed !!!",
                                              "pause 2000"};
const std::vector<String> kHeaderOnlyEvents = {"Received Only Header Data ..", "pause 2000", "Recv Failed !!!",
                                               "pause 2000"};
const std::vector<String> kTooLongEvents = {"Different recevied data size", "Recv Failed !!!", "pause 2000"};

class Download : public TransferTest, public ::testing::WithParamInterface<TDownloadCase> {};

TEST_P(Download, MessagesAndFinalState) {
  const TDownloadCase& c = GetParam();
  Fake.Serve(FakeReceiver(8, c.Reply, c.End, Received));
  Transfer.Download(Receiver());

  std::vector<String> expected = {"closed", "Start Downloading..."};
  expected.insert(expected.end(), c.Events.begin(), c.Events.end());
  EXPECT_EQ(Log.Events, expected);
  EXPECT_EQ(Log.Opened, c.Opens ? ImageBytes(SampleImage()) : std::string());
  EXPECT_FALSE(Client->Connected());
  EXPECT_FALSE(Log.Moving) << "the animation stops";
  ASSERT_TRUE(Fake.Finished.Wait());
  EXPECT_EQ(Received.Received, HeaderBytes(0x0101, 0)) << "the request";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Download,
    ::testing::Values(
        TDownloadCase{"GoodImageInManySegments",
                      Pieces(ImageReply(), {3, 9, 1000, 65536, 1, 200000, 7}),
                      TReceiverEnd::Close,
                      {"Recv Success !!!", "opened as 127.0.0.1"},
                      true},
        TDownloadCase{"HeaderSplitOverSegments", Pieces(ImageReply(), {1, 2, 2, 3}), TReceiverEnd::Close,
                      {"Recv Success !!!", "opened as 127.0.0.1"}, true},
        TDownloadCase{"GoodImageThenSilence", {ImageReply()}, TReceiverEnd::Silence,
                      {"Recv Success !!!", "opened as 127.0.0.1"}, true},
        TDownloadCase{"Length690528", {HeaderBytes(0x0101, 690528) + U32Bytes(0x10) + ImageBytes(SampleImage())},
                      TReceiverEnd::Close, kTooLongEvents, false},
        TDownloadCase{"LengthMaximum", {HeaderBytes(0x0101, 0x7FFFFFFF) + U32Bytes(0x10)}, TReceiverEnd::Close,
                      kTooLongEvents, false},
        TDownloadCase{"StatusDoneWithoutImage", {StatusReply(4, 0x10)}, TReceiverEnd::Close,
                      {"Recv Success !!!", "Different recevied data size"}, false},
        TDownloadCase{"StatusNotReady", {StatusReply(4, 0x20)}, TReceiverEnd::Close,
                      {"Recv Success !!!", "Not ready Data, after a few minutes retry to please..", "pause 2000"},
                      false},
        TDownloadCase{"StatusProblem", {StatusReply(4, 0x40)}, TReceiverEnd::Close,
                      {"Recv Success !!!", "Unknow Problem !!!, after a few minutes retry to please..", "pause 2000"},
                      false},
        TDownloadCase{"StatusUnknown", {StatusReply(4, 0x1234)}, TReceiverEnd::Close,
                      {"Recv Success !!!", "Unknown Response Code !! [1234], after a few minutes retry to please..",
                       "pause 2000"},
                      false},
        TDownloadCase{"StatusUnknownWide", {StatusReply(4, 0xDEADBEEF)}, TReceiverEnd::Close,
                      {"Recv Success !!!",
                       "Unknown Response Code !! [DEADBEEF], after a few minutes retry to please..", "pause 2000"},
                      false},
        TDownloadCase{"Length0", {HeaderBytes(0x0101, 0)}, TReceiverEnd::Close, kHeaderOnlyEvents, false},
        TDownloadCase{"Length3", {HeaderBytes(0x0101, 3) + "abc"}, TReceiverEnd::Close, kHeaderOnlyEvents, false},
        TDownloadCase{"NegativeLength", {HeaderBytes(0x0101, 0xFFFFFFFF)}, TReceiverEnd::Close, kHeaderOnlyEvents,
                      false},
        TDownloadCase{"WrongMagic", {ImageReply(ImageWithoutMagic())}, TReceiverEnd::Close,
                      {"Recv Success !!!", "DB File Open Error ...", "pause 1000", "closed"}, false},
        TDownloadCase{"CloseAfterHalfTheImage", {kHalfImage}, TReceiverEnd::Close, kSizeErrorEvents, false},
        TDownloadCase{"ResetAfterHalfTheImage", {kHalfImage}, TReceiverEnd::Reset, kSizeErrorEvents, false},
        TDownloadCase{"SilenceMidImage", {kHalfImage}, TReceiverEnd::Silence, kSizeErrorEvents, false},
        TDownloadCase{"SilenceAfterTheHeader", {HeaderBytes(0x0101, 690524)}, TReceiverEnd::Silence,
                      kSizeErrorEvents, false},
        TDownloadCase{"SilenceMidHeader", {HeaderBytes(0x0101, 690524).substr(0, 5)}, TReceiverEnd::Silence,
                      {"Recv Failed !!!", "pause 2000"}, false},
        TDownloadCase{"CloseMidHeader", {HeaderBytes(0x0101, 690524).substr(0, 5)}, TReceiverEnd::Close,
                      {"Recv Failed !!!", "pause 2000"}, false},
        TDownloadCase{"NoReply", {}, TReceiverEnd::Silence, {"Recv Failed !!!", "pause 2000"}, false},
        TDownloadCase{"ResetWithoutReply", {}, TReceiverEnd::Reset, {"Recv Failed !!!", "pause 2000"}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TransferTest, SilenceEndsAfterTheReplyTimeOutOnTheTransfersClock) {
  Fake.Serve(FakeReceiver(8, {}, TReceiverEnd::Silence, Received));
  Transfer.Download(Receiver());
  ASSERT_EQ(Log.ShownAt.size(), 2u) << "Start Downloading..., Recv Failed !!!";
  // The request goes out between the two messages: one more wait.
  const DWORD waited = Log.ShownAt[1] - Log.ShownAt[0];
  EXPECT_GE(waited, DWORD(TransferProtocol::ReplyTimeout));
  EXPECT_LE(waited, DWORD(TransferProtocol::ReplyTimeout) + 2 * TTransferLog::kWaitStep);
}

TEST_F(TransferTest, ANewDownloadReplacesNothingUntilItsImageIsComplete) {
  Fake.Serve(FakeReceiver(8, {kHalfImage}, TReceiverEnd::Close, Received));
  Log.Opened = "an image shown before";
  Transfer.Download(Receiver());
  EXPECT_EQ(Log.Opened, "") << "the window was closed and nothing partial was opened";
}

TEST_F(TransferTest, NoListenerFailsToConnect) {
  Transfer.Download({"127.0.0.1", UnusedPort()});
  EXPECT_EQ(Log.Events, (std::vector<String>{"closed", "Socket Connected Failed !!!", "pause 1000"}));
  EXPECT_FALSE(Client->Connected());
}

TEST_F(TransferTest, AReceiverThatNeverAnswersTheConnectRunsIntoTheTimeOut) {
  // With backlog 0 and its queue filled, the kernel drops further connection requests.
  const int listener = OpenListener(0);
  ASSERT_GE(listener, 0);
  const sockaddr_in target = LoopbackAddress(PortOf(listener));
  std::vector<int> fillers;
  for (int i = 0; i < 3; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    fillers.push_back(fd);
  }
  pollfd first = {fillers[0], POLLOUT, 0};
  poll(&first, 1, kWaitLimitMs);  // the first one reaches the queue

  const DWORD start = Log.Clock;
  const bool connected = Transfer.ConnectReceiver({"127.0.0.1", PortOf(listener)});
  const DWORD waited = Log.Clock - start;
  for (int fd : fillers) close(fd);
  close(listener);
  if (connected) GTEST_SKIP() << "this kernel queues beyond the backlog";
  EXPECT_EQ(Log.Events, (std::vector<String>{"Socket Connected Failed !!!", "pause 1000"}));
  EXPECT_GE(waited, DWORD(TransferProtocol::ConnectTimeout));
  EXPECT_LE(waited, DWORD(TransferProtocol::ConnectTimeout) + 2 * TTransferLog::kWaitStep);
  EXPECT_FALSE(Client->Connected());
}

// ------------------------------------------------------------------ uploads

struct TUploadCase {
  const char* Name;
  std::vector<std::string> Reply;
  TReceiverEnd End;
  std::vector<String> Events;  // after "Start Uploading..."
};

std::string UploadReply(uint32_t length, uint32_t status) { return HeaderBytes(0x0102, length) + U32Bytes(status); }

class Upload : public TransferTest, public ::testing::WithParamInterface<TUploadCase> {};

TEST_P(Upload, SendsTheImageAndReportsTheReply) {
  const TUploadCase& c = GetParam();
  Fake.Serve(FakeReceiver(8 + 690520, c.Reply, c.End, Received));
  Transfer.Upload(Receiver());

  std::vector<String> expected = {"Start Uploading..."};
  expected.insert(expected.end(), c.Events.begin(), c.Events.end());
  EXPECT_EQ(Log.Events, expected);
  EXPECT_FALSE(Client->Connected());
  ASSERT_TRUE(Fake.Finished.Wait());
  EXPECT_EQ(Received.Received, HeaderBytes(0x0102, 690520) + ImageBytes(SampleImage()));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Upload,
    ::testing::Values(
        TUploadCase{"Completed", {UploadReply(4, 0x10)}, TReceiverEnd::Close,
                    {"Recv Success !!!", "Upload Completed !!!", "pause 2000"}},
        TUploadCase{"ReplySplitInTwo", Pieces(UploadReply(4, 0x10), {5}), TReceiverEnd::Silence,
                    {"Recv Success !!!", "Upload Completed !!!", "pause 2000"}},
        TUploadCase{"ReplyLength0", {UploadReply(0, 0x10)}, TReceiverEnd::Close,
                    {"Received Only Header Data ..", "pause 2000", "Recv Failed !!!", "pause 2000"}},
        TUploadCase{"NotReady", {UploadReply(4, 0x20)}, TReceiverEnd::Close,
                    {"Recv Success !!!", "Not ready Data, after a few minutes retry to please..", "pause 2000"}},
        TUploadCase{"UnknownStatus", {UploadReply(4, 0x1234)}, TReceiverEnd::Close,
                    {"Recv Success !!!", "Unknown Response Code !! [1234], after a few minutes retry to please..",
                     "pause 2000"}},
        TUploadCase{"ShortReplyThenClose", {UploadReply(4, 0x10).substr(0, 9)}, TReceiverEnd::Close,
                    {"Recv Failed !!!", "pause 2000"}},
        TUploadCase{"NoReply", {}, TReceiverEnd::Silence, {"Recv Failed !!!", "pause 2000"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TransferTest, FailedRebuildSendsNothing) {
  Log.RebuildError = "Channel 12 has no name";
  Transfer.Upload({"127.0.0.1", UnusedPort()});
  EXPECT_EQ(Log.Events, (std::vector<String>{"Channel 12 has no name", "pause 2000"}));
}

// The main window's rebuild of the image from its views before an upload.
class TViewsTarget : public TTransferLog {
 public:
  TViewsTarget() {
    Image = SampleImage();
    Views.Load(Image);
  }
  const TDBImage& RebuildUploadImage() override {
    RebuildImage(Image, Views.Views());
    return Image;
  }
  TDBImage Image;
  TImageViewsFixture Views;
};

// The TV order list as stored, up to its end mark.
std::vector<uint16_t> StoredTvOrder(const TDBImage& image) {
  std::vector<uint16_t> slots;
  for (int i = 0; i < ImageLayout::OrderListLength; ++i) {
    const uint16_t slot = image.U16(ImageLayout::TvOrderList + 2 * size_t(i));
    if (slot == ImageLayout::EndMark) break;
    slots.push_back(slot);
  }
  return slots;
}

TEST_F(TransferTest, UploadAfterDeletingAChannelSendsNoFreedSlot) {
  TViewsTarget target;
  const uint16_t deleted = uint16_t(target.Views.Channels->GetValue(0, ChanColumn::CH_NO).AsInteger());
  const size_t before = StoredTvOrder(SampleImage()).size();
  target.Views.Channels->DeleteRecord(0);
  Fake.Serve(FakeReceiver(8 + 690520, {UploadReply(4, 0x10)}, TReceiverEnd::Close, Received));
  TReceiverTransfer transfer(*Client, Log, target);
  transfer.Upload(Receiver());
  ASSERT_TRUE(Fake.Finished.Wait());
  ASSERT_EQ(Received.Received.size(), 8u + 690520u);

  TDBImage sent;
  std::memcpy(sent.Data(), Received.Received.data() + 8, TDBImage::Size);
  const std::vector<uint16_t> order = StoredTvOrder(sent);
  EXPECT_EQ(order.size(), before - 1);
  EXPECT_EQ(std::count(order.begin(), order.end(), deleted), 0);
}

// ------------------------------------------------------------------ the dialog

class TransportDialog : public TFormsTest {
 protected:
  TSTBAddr Receiver() const { return {"127.0.0.1", Fake.Port()}; }
  // The target's log without the progress side: the dialog is the progress here.
  TTransferLog Target;
  Server Fake;
  TReceiverLog Received;
};

TEST_F(TransportDialog, BuiltWithThePartsAndCaptions) {
  auto* dialog = New<TfrmTransport>(nullptr, Receiver(), Target, TfrmTransport::TDirection::ToPC);
  EXPECT_EQ(dialog->GetName(), "frmTransport");
  EXPECT_EQ(dialog->GetBorderStyle(), bsDialog);
  EXPECT_EQ(dialog->GetFormStyle(), fsStayOnTop);
  EXPECT_EQ(dialog->GetPosition(), poMainFormCenter);
  EXPECT_EQ(dialog->GetCaption(), "Transfer to PC");
  EXPECT_EQ(dialog->GetMessageLabel()->GetName(), "qvMsg");
  EXPECT_EQ(dialog->GetMessageLabel()->GetCaption(), "127.0.0.1 Try to Connecting ...");
  EXPECT_EQ(Target.Panel, "127.0.0.1 Try to Connecting ...");
  EXPECT_EQ(dialog->GetAnimation()->GetName(), "aniTransfer");
  EXPECT_EQ(dialog->GetAnimation()->GetCommonAVI(), aviCopyFile);
  EXPECT_EQ(dialog->GetAnimation()->GetStopFrame(), 20);
  EXPECT_FALSE(dialog->GetAnimation()->GetVisible());
  EXPECT_EQ(dialog->GetClient()->GetHost(), "127.0.0.1");
  EXPECT_EQ(dialog->GetClient()->GetPort(), Fake.Port());
  Free(dialog);
  auto* upload = New<TfrmTransport>(nullptr, Receiver(), Target, TfrmTransport::TDirection::ToSetTop);
  EXPECT_EQ(upload->GetCaption(), "Transfer to SETTOP");
  Free(upload);
}

TEST_F(TransportDialog, DownloadRunsModallyAndCloses) {
  Fake.Serve(FakeReceiver(8, {ImageReply()}, TReceiverEnd::Close, Received));
  auto* dialog = New<TfrmTransport>(nullptr, Receiver(), Target, TfrmTransport::TDirection::ToPC);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(Target.Events, (std::vector<String>{"closed", "opened as 127.0.0.1"}));
  EXPECT_EQ(Target.Opened, ImageBytes(SampleImage()));
  EXPECT_EQ(Target.Panel, "Recv Success !!!");
  EXPECT_EQ(dialog->GetMessageLabel()->GetCaption(), "Recv Success !!!");
  EXPECT_FALSE(dialog->GetAnimation()->GetVisible());
  EXPECT_FALSE(dialog->GetClient()->Connected());
  Free(dialog);
}

// The dialog closed while the receiver stays silent: the wait ends at once, with its message.
class TClosingTarget : public TTransferLog {
 public:
  void ShowTransferStatus(const String& AText) override {
    Panels.push_back(AText);
    if (AText == "Start Downloading..." && Dialog) PostMessage(Dialog->GetHandle(), WM_CLOSE, 0, 0);
  }
  TfrmTransport* Dialog = nullptr;
  std::vector<String> Panels;
};

TEST_F(TransportDialog, ClosingMidTransferAbortsIt) {
  Fake.Serve(FakeReceiver(8, {}, TReceiverEnd::Silence, Received));
  TClosingTarget target;
  auto* dialog = New<TfrmTransport>(nullptr, Receiver(), target, TfrmTransport::TDirection::ToPC);
  target.Dialog = dialog;
  const DWORD start = GetTickCount();
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(target.Panels, (std::vector<String>{"127.0.0.1 Try to Connecting ...", "Start Downloading...",
                                                "Recv Failed !!!"}));
  EXPECT_LT(GetTickCount() - start, DWORD(TransferProtocol::MessagePause)) << "the failure's pause was cut short";
  EXPECT_FALSE(dialog->GetClient()->Connected());
  EXPECT_EQ(target.Events, (std::vector<String>{"closed"}));
  Free(dialog);
}

// A main window that fails while the transfer runs: the failure is reported and the dialog goes.
class TFailingTarget : public TTransferLog {
 public:
  void CloseReceivedImage() override { throw Exception("The views cannot be emptied."); }
};

TEST_F(TransportDialog, AFailureOfTheMainWindowIsReportedAndTheDialogCloses) {
  TFailingTarget target;
  auto* dialog = New<TfrmTransport>(nullptr, Receiver(), target, TfrmTransport::TDirection::ToPC);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(Boxes, (std::vector<String>{"The views cannot be emptied."}));
  EXPECT_FALSE(dialog->GetClient()->Connected());
  Free(dialog);
}

}  // namespace
