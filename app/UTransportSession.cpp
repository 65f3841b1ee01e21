// The download and upload exchanges with the receiver.
#include <cerrno>
#include <vector>

#include "app/UTransport.h"
#include "platform/rtl/Scopes.h"

using namespace TransferProtocol;

namespace {

constexpr const char* kConnectFailed = "Socket Connected Failed !!!";
constexpr const char* kStartDownload = "Start Downloading...";
constexpr const char* kStartUpload = "Start Uploading...";
constexpr const char* kSendFailed = "Send : Failed !!!";
constexpr const char* kRecvSuccess = "Recv Success !!!";
constexpr const char* kRecvFailed = "Recv Failed !!!";
constexpr const char* kOnlyHeader = "Received Only Header Data ..";
constexpr const char* kSizeError = "Download Size Error !!!";
constexpr const char* kWrongSize = "Different recevied data size";
constexpr const char* kLoadError = "DB File Open Error ...";
constexpr const char* kNotReady = "Not ready Data, after a few minutes retry to please..";
constexpr const char* kProblem = "Unknow Problem !!!, after a few minutes retry to please..";
constexpr const char* kUnknownStatus = "Unknown Response Code !! [%.4x], after a few minutes retry to please..";
constexpr const char* kUploadDone = "Upload Completed !!!";

void PutU16(uint8_t* AAt, uint16_t AValue) {
  AAt[0] = uint8_t(AValue >> 8);
  AAt[1] = uint8_t(AValue);
}

void PutU32(uint8_t* AAt, uint32_t AValue) {
  PutU16(AAt, uint16_t(AValue >> 16));
  PutU16(AAt + 2, uint16_t(AValue));
}

uint32_t GetU32(const uint8_t* AAt) {
  return uint32_t(AAt[0]) << 24 | uint32_t(AAt[1]) << 16 | uint32_t(AAt[2]) << 8 | uint32_t(AAt[3]);
}

void PutHeader(uint8_t* AAt, uint16_t ACommand, uint32_t ALength) {
  PutU16(AAt, ACommand);
  PutU32(AAt + LengthOffset, ALength);
  PutU16(AAt + LengthOffset + 4, 0);
}

// The header's length field, signed as the receiver's replies are read.
int32_t HeaderLength(const uint8_t* AHeader) { return int32_t(GetU32(AHeader + LengthOffset)); }

}  // namespace

QJ_IMPLEMENT_CLASS(TTransferClient)

bool TTransferClient::WaitForConnect(Integer ASocket, Integer ATimeout) {
  if (!OnWaitSlice) return TIdTCPClient::WaitForConnect(ASocket, ATimeout);
  for (;;) {
    if (TIdTCPClient::WaitForConnect(ASocket, std::min(ATimeout, PollInterval))) return true;
    if (!OnWaitSlice()) return false;
  }
}

TReceiverTransfer::TReceiverTransfer(TTransferClient& AClient, ITransferProgress& AProgress, ITransferTarget& ATarget)
    : FClient(AClient), FProgress(AProgress), FTarget(ATarget) {
  FClient.SetReadTimeout(PollInterval);
  FClient.SetWriteTimeout(ReplyTimeout);
}

void TReceiverTransfer::ShowStatus(const String& AText) { FProgress.ShowStatus(AText); }

void TReceiverTransfer::ShowAndPause(const String& AText, Integer APause) {
  ShowStatus(AText);
  FProgress.Pause(APause);
}

// ---------------------------------------------------------------------------------------------
// Connection and raw transport

bool TReceiverTransfer::ConnectReceiver(const TSTBAddr& AAddr) {
  const DWORD start = FProgress.Now();
  FClient.OnWaitSlice = [this, start] { return FProgress.KeepWaiting() && FProgress.Now() - start < DWORD(ConnectTimeout); };
  TFinally unhook([this] { FClient.OnWaitSlice = nullptr; });
  try {
    FClient.SetHost(AAddr.Address);
    FClient.SetPort(AAddr.Port);
    FClient.Connect(ConnectTimeout);
    FProgress.KeepWaiting();
    return true;
  } catch (const Exception&) {
    FProgress.KeepWaiting();
  }
  ShowAndPause(kConnectFailed, ConnectPause);
  return false;
}

void TReceiverTransfer::RunExchange(const char* AStartText, const std::function<bool()>& ASend,
                                    const std::function<bool()>& AReceive, const std::function<void()>& AEvaluate) {
  ShowStatus(AStartText);
  FProgress.KeepWaiting();
  FProgress.ShowDataMoving(true);
  TFinally stopMoving([this] { FProgress.ShowDataMoving(false); });
  if (!ASend()) {
    ShowAndPause(kSendFailed, MessagePause);
    return;
  }
  if (!AReceive()) {
    ShowAndPause(kRecvFailed, MessagePause);
    return;
  }
  ShowStatus(kRecvSuccess);
  AEvaluate();
}

bool TReceiverTransfer::SendAll(const uint8_t* ABuffer, size_t ACount) {
  return FClient.Send(ABuffer, Integer(ACount)) == Integer(ACount);
}

bool TReceiverTransfer::ReceiveExactly(uint8_t* ABuffer, size_t ACount) {
  size_t received = 0;
  DWORD lastByte = FProgress.Now();
  while (received < ACount) {
    const Integer got = FClient.Recv(ABuffer + received, Integer(ACount - received));
    if (got > 0) {
      received += size_t(got);
      lastByte = FProgress.Now();
      continue;
    }
    if (got == 0 || FClient.LastError() != ETIMEDOUT) return false;
    if (!FProgress.KeepWaiting() || FProgress.Now() - lastByte >= DWORD(ReplyTimeout)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Download

void TReceiverTransfer::Download(const TSTBAddr& AAddr) {
  TFinally disconnect([this] { FClient.Disconnect(); });
  FTarget.CloseReceivedImage();
  if (ConnectReceiver(AAddr)) DownloadImage(AAddr.Address);
}

void TReceiverTransfer::DownloadImage(const String& AAddress) {
  RunExchange(
      kStartDownload, [this] { return SendRequest(); }, [this] { return ReceiveDownloadReply(); },
      [this, &AAddress] { EvaluateDownload(AAddress); });
}

bool TReceiverTransfer::SendRequest() {
  uint8_t request[HeaderSize];
  PutHeader(request, DownloadCommand, 0);
  return SendAll(request, HeaderSize);
}

bool TReceiverTransfer::ReceiveDownloadReply() {
  FReceived.Clear();
  FReplyLength = 0;
  FReplyStatus = 0;
  if (!ReceiveExactly(FHeader, HeaderSize)) return false;
  const int32_t length = HeaderLength(FHeader);
  if (length < int32_t(StatusSize)) {
    ShowAndPause(kOnlyHeader, MessagePause);
    return false;
  }
  if (length > ImageReplyLength) {
    // Never received: no buffer holds more than the status and one image.
    ShowStatus(kWrongSize);
    return false;
  }
  uint8_t status[StatusSize];
  if (!ReceiveExactly(status, StatusSize) || !ReceiveExactly(FReceived.Data(), size_t(length) - StatusSize)) {
    ShowAndPause(kSizeError, MessagePause);
    return false;
  }
  FReplyLength = length;
  FReplyStatus = GetU32(status);
  return true;
}

void TReceiverTransfer::EvaluateDownload(const String& AAddress) {
  if (FReplyStatus != StatusDone) {
    ShowReceiverStatus(FReplyStatus);
    return;
  }
  if (FReplyLength != ImageReplyLength) {
    ShowStatus(kWrongSize);
    return;
  }
  try {
    FTarget.OpenReceivedImage(FReceived, AAddress);
  } catch (const Exception&) {
    ShowAndPause(kLoadError, LoadErrorPause);
    FTarget.CloseReceivedImage();
  }
}

void TReceiverTransfer::ShowReceiverStatus(uint32_t AStatus) {
  switch (AStatus) {
    case StatusNotReady: ShowAndPause(kNotReady, MessagePause); return;
    case StatusProblem: ShowAndPause(kProblem, MessagePause); return;
    default: ShowAndPause(Format(kUnknownStatus, {Int64(AStatus)}), MessagePause); return;
  }
}

// ---------------------------------------------------------------------------------------------
// Upload

void TReceiverTransfer::Upload(const TSTBAddr& AAddr) {
  const TDBImage* image = nullptr;
  try {
    image = &FTarget.RebuildUploadImage();
  } catch (const Exception& e) {
    ShowAndPause(e.Message(), MessagePause);
    return;
  }
  TFinally disconnect([this] { FClient.Disconnect(); });
  if (ConnectReceiver(AAddr)) UploadImage(*image);
}

void TReceiverTransfer::UploadImage(const TDBImage& AImage) {
  RunExchange(
      kStartUpload, [this, &AImage] { return SendUpload(AImage); }, [this] { return ReceiveUploadReply(); },
      [this] { EvaluateUpload(); });
}

bool TReceiverTransfer::SendUpload(const TDBImage& AImage) {
  std::vector<uint8_t> packet(HeaderSize + TDBImage::Size);
  PutHeader(packet.data(), UploadCommand, uint32_t(TDBImage::Size));
  std::copy(AImage.Data(), AImage.Data() + TDBImage::Size, packet.begin() + HeaderSize);
  return SendAll(packet.data(), packet.size());
}

bool TReceiverTransfer::ReceiveUploadReply() {
  FReplyLength = 0;
  FReplyStatus = 0;
  if (!ReceiveExactly(FHeader, UploadReplySize)) return false;
  if (HeaderLength(FHeader) <= 0) {
    ShowAndPause(kOnlyHeader, MessagePause);
    return false;
  }
  FReplyLength = HeaderLength(FHeader);
  FReplyStatus = GetU32(FHeader + HeaderSize);
  return true;
}

void TReceiverTransfer::EvaluateUpload() {
  if (FReplyStatus == StatusDone)
    ShowAndPause(kUploadDone, MessagePause);
  else
    ShowReceiverStatus(FReplyStatus);
}
