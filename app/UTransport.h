// Exchanging the database image with the receiver over TCP: "Transfer To PC" downloads its image,
// "Transfer To SETTOP" uploads the edited one. One connection per transfer, one request, one reply.
//
// Wire format, all integers big-endian. Every request and reply starts with an 8-byte header:
// u16 command (0x0101 download, 0x0102 upload; not checked in replies), u32 payload length, u16 0.
// - Download request: the header alone. Reply: the header and a payload of a u32 status (byte 8)
//   followed, for status 0x10, by the image (byte 12 on): a good reply announces 690,524 bytes.
// - Upload request: the header (length 690,520) and the image. Reply: 12 bytes, the header with a
//   length above 0 and the status at byte 8.
//
// Everything the receiver sends is untrusted: headers are read whole, a length the buffers cannot
// hold is refused when the header arrives, no wait outlasts ReplyTimeout without a byte, and only
// a complete image is handed to the main window.
//
// Where the parts live: UTransportSession.cpp (TReceiverTransfer, the exchanges), UTransport.cpp
// (TfrmTransport, the dialog).
#pragma once

#include <functional>

#include "app/DBImage.h"
#include "app/UConfig.h"
#include "platform/net/TcpClient.h"

class TAnimate;
class TqvLabel;

namespace TransferProtocol {
constexpr size_t HeaderSize = 8;
constexpr size_t LengthOffset = 2;  // in the header
constexpr size_t StatusSize = 4;    // the status opens every reply payload
constexpr size_t UploadReplySize = HeaderSize + StatusSize;
constexpr uint16_t DownloadCommand = 0x0101;
constexpr uint16_t UploadCommand = 0x0102;
// The only download payload length accepted: the status and the image.
constexpr int32_t ImageReplyLength = int32_t(StatusSize + TDBImage::Size);

constexpr uint32_t StatusDone = 0x10;
constexpr uint32_t StatusNotReady = 0x20;
constexpr uint32_t StatusProblem = 0x40;

constexpr Integer ConnectTimeout = 5000;  // ms
constexpr Integer ReplyTimeout = 5000;    // ms without a byte before a wait gives up
constexpr Integer PollInterval = 50;      // ms of one socket wait between two message runs
constexpr Integer ConnectPause = 1000;    // ms the failure messages stay before the dialog closes
constexpr Integer LoadErrorPause = 1000;
constexpr Integer MessagePause = 2000;
}  // namespace TransferProtocol

// The connection of a transfer: a connect waits in short slices, between which OnWaitSlice lets
// the windows paint and decides whether to go on (false: the connect times out).
class TTransferClient : public TIdTCPClient {
  QJ_CLASS(TTransferClient, TIdTCPClient)
 public:
  using TIdTCPClient::TIdTCPClient;

  std::function<bool()> OnWaitSlice;

 protected:
  bool WaitForConnect(Integer ASocket, Integer ATimeout) override;
};

// The dialog's side of a transfer: where its steps show and how its waits pass.
class ITransferProgress {
 public:
  virtual ~ITransferProgress() = default;
  virtual void ShowStatus(const String& AText) = 0;
  // The copy animation runs while data move.
  virtual void ShowDataMoving(bool AMoving) = 0;
  // Called between two short socket waits: lets the windows paint. False when the user closed
  // the dialog: the transfer then ends as failed.
  virtual bool KeepWaiting() = 0;
  // Milliseconds of the clock that bounds the waits.
  virtual DWORD Now() = 0;
  // Keeps a message on screen for AMilliseconds (shorter when the user closes the dialog).
  virtual void Pause(Integer AMilliseconds) = 0;
};

// The main window's side of a transfer.
class ITransferTarget {
 public:
  virtual ~ITransferTarget() = default;
  // The second status panel shows the transfer's message.
  virtual void ShowTransferStatus(const String& AText) = 0;
  // A complete image came from the receiver at AAddress: the window opens it under that name,
  // marked as downloaded (a wrong magic gets the window's own refusal). Raises when it cannot be
  // loaded.
  virtual void OpenReceivedImage(const TDBImage& AImage, const String& AAddress) = 0;
  // The closed state with the image cleared: before a download and after a failed one.
  virtual void CloseReceivedImage() = 0;
  // The image to upload, rebuilt from the views as a save rebuilds it. Raises with the reason
  // when the rebuild fails; nothing is sent then.
  virtual const TDBImage& RebuildUploadImage() = 0;
};

// The two exchanges on a client the caller owns. Every path ends with a message, the client
// disconnected, and after a download either the opened image or the closed state.
class TReceiverTransfer {
 public:
  TReceiverTransfer(TTransferClient& AClient, ITransferProgress& AProgress, ITransferTarget& ATarget);

  void Download(const TSTBAddr& AAddr);
  void Upload(const TSTBAddr& AAddr);

  // The steps, in the order Download and Upload run them.
  bool ConnectReceiver(const TSTBAddr& AAddr);
  void DownloadImage(const String& AAddress);
  void UploadImage(const TDBImage& AImage);
  bool SendRequest();
  bool SendUpload(const TDBImage& AImage);
  bool ReceiveDownloadReply();
  bool ReceiveUploadReply();
  void EvaluateDownload(const String& AAddress);
  void EvaluateUpload();

 private:
  void ShowStatus(const String& AText);
  void ShowAndPause(const String& AText, Integer APause);
  // One exchange with the copy animation running: the request, the reply, its evaluation; a
  // request or reply that fails ends it with its message.
  void RunExchange(const char* AStartText, const std::function<bool()>& ASend, const std::function<bool()>& AReceive,
                   const std::function<void()>& AEvaluate);
  // A status other than done: its message and the pause after it.
  void ShowReceiverStatus(uint32_t AStatus);
  bool SendAll(const uint8_t* ABuffer, size_t ACount);
  // Reads exactly ACount bytes in short polls; false when the connection ends, fails, stays
  // silent for ReplyTimeout or the user closes the dialog.
  bool ReceiveExactly(uint8_t* ABuffer, size_t ACount);

  TTransferClient& FClient;
  ITransferProgress& FProgress;
  ITransferTarget& FTarget;
  uint8_t FHeader[TransferProtocol::UploadReplySize] = {};
  int32_t FReplyLength = 0;
  uint32_t FReplyStatus = 0;
  // The download's image, filled only from a reply of the one accepted length.
  TDBImage FReceived;
};

// "Transfer to PC" / "Transfer to SETTOP": a modal dialog that runs one transfer as soon as it
// shows modally and closes when the transfer ends. Closing it earlier aborts the transfer safely.
class TfrmTransport : public TForm, private ITransferProgress {
  QJ_CLASS(TfrmTransport, TForm)
 public:
  enum class TDirection { ToPC, ToSetTop };

  TfrmTransport(TComponent* AOwner, const TSTBAddr& AAddr, ITransferTarget& ATarget, TDirection ADirection);

  TqvLabel* GetMessageLabel() const { return FMsg; }
  TAnimate* GetAnimation() const { return FAnimation; }
  TTransferClient* GetClient() const { return FClient; }

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void StartSession(const String& ACaption);
  void ShowStatus(const String& AText) override;
  TModalResult ShowModal() override;

 protected:
  void Dispatch(TMessage& Message) override;

 private:
  void BuildControls();
  void RunTransfer();
  void ShowDataMoving(bool AMoving) override;
  bool KeepWaiting() override;
  DWORD Now() override;
  void Pause(Integer AMilliseconds) override;

  TSTBAddr FAddr;
  ITransferTarget& FTarget;
  TDirection FDirection;
  TqvLabel* FMsg = nullptr;
  TAnimate* FAnimation = nullptr;
  TTransferClient* FClient = nullptr;
};

// Runs a transfer in its dialog, modally over the main form.
void RunTransferDialog(const TSTBAddr& AAddr, ITransferTarget& ATarget, TfrmTransport::TDirection ADirection);
