// The transfer dialog, built in code: a message line, the copy animation and the connection.
#include "app/UTransport.h"

#include <algorithm>

#include "editors/qvLabel.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TfrmTransport)

namespace {

// Posted as the dialog goes modal: the transfer runs inside its modal loop.
constexpr UINT WM_TRANSFER_START = WM_APP + 1;

constexpr Integer kSocketBufferSize = 1048576;
constexpr Integer kAnimationStopFrame = 20;

constexpr Integer kTransportWidth = 360;
constexpr Integer kTransportHeight = 120;
constexpr Integer kTransportMargin = 12;
constexpr Integer kMessageHeight = 18;
constexpr Integer kAnimationTop = kTransportMargin + kMessageHeight + 8;
constexpr Integer kAnimationHeight = 60;

}  // namespace

TfrmTransport::TfrmTransport(TComponent* AOwner, const TSTBAddr& AAddr, ITransferTarget& ATarget,
                             TDirection ADirection)
    : TForm(AOwner), FAddr(AAddr), FTarget(ATarget), FDirection(ADirection) {
  BeginLoading();
  SetName("frmTransport");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poMainFormCenter);
  SetCaption("frmTransport");
  SetClientWidth(kTransportWidth);
  SetClientHeight(kTransportHeight);
  BuildControls();
  EndLoading();
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TfrmTransport::BuildControls() {
  FMsg = New<TqvLabel>(this);
  FMsg->SetName("qvMsg");
  FMsg->SetAutoSize(false);
  FMsg->SetCaption("Try to Connecting ...");
  FMsg->SetBounds(kTransportMargin, kTransportMargin, kTransportWidth - 2 * kTransportMargin, kMessageHeight);
  FMsg->SetParent(this);

  FAnimation = New<TAnimate>(this);
  FAnimation->SetName("aniTransfer");
  FAnimation->SetCommonAVI(aviCopyFile);
  FAnimation->SetStopFrame(kAnimationStopFrame);
  FAnimation->SetCenter(true);
  FAnimation->SetBounds(kTransportMargin, kAnimationTop, kTransportWidth - 2 * kTransportMargin, kAnimationHeight);
  FAnimation->SetVisible(false);
  FAnimation->SetParent(this);

  FClient = New<TTransferClient>(this);
  FClient->SetName("IdTCPClient");
}

void TfrmTransport::FormCreate(TObject*) {
  FClient->SetHost(FAddr.Address);
  FClient->SetPort(FAddr.Port);
  FClient->SetSendBufferSize(kSocketBufferSize);
  FClient->SetRecvBufferSize(kSocketBufferSize);
  StartSession(FDirection == TDirection::ToPC ? "Transfer to PC" : "Transfer to SETTOP");
}

void TfrmTransport::FormClose(TObject*, TCloseAction&) {
  if (FClient->Connected()) FClient->Disconnect();
}

void TfrmTransport::StartSession(const String& ACaption) {
  ShowStatus(FAddr.Address + " Try to Connecting ...");
  SetCaption(ACaption);
  Repaint();
}

void TfrmTransport::ShowStatus(const String& AText) {
  FMsg->SetCaption(AText);
  FMsg->Repaint();
  FTarget.ShowTransferStatus(AText);
}

void TfrmTransport::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_TRANSFER_START)
    RunTransfer();
  else
    inherited::Dispatch(Message);
}

void TfrmTransport::RunTransfer() {
  // Closes even when the main window raises: the application reports it, the dialog goes.
  TFinally close([this] { SetModalResult(mrOk); });
  TReceiverTransfer transfer(*FClient, *this, FTarget);
  if (FDirection == TDirection::ToPC)
    transfer.Download(FAddr);
  else
    transfer.Upload(FAddr);
}

TModalResult TfrmTransport::ShowModal() {
  PostMessage(GetHandle(), WM_TRANSFER_START, 0, 0);
  return inherited::ShowModal();
}

void TfrmTransport::ShowDataMoving(bool AMoving) {
  FAnimation->SetVisible(AMoving);
  FAnimation->SetActive(AMoving);
  FAnimation->Repaint();
}

// Closing the dialog sets its modal result while the transfer still runs: the transfer then
// ends at its next wait, and closes the dialog itself.
bool TfrmTransport::KeepWaiting() {
  Application->ProcessMessages();
  return GetModalResult() == mrNone && !Application->GetTerminated();
}

DWORD TfrmTransport::Now() { return GetTickCount(); }

void TfrmTransport::Pause(Integer AMilliseconds) {
  const DWORD start = Now();
  const DWORD length = DWORD(std::max(AMilliseconds, 0));
  while (KeepWaiting()) {
    const DWORD passed = Now() - start;
    if (passed >= length) return;
    Sleep(std::min(length - passed, DWORD(TransferProtocol::PollInterval)));
  }
}

void RunTransferDialog(const TSTBAddr& AAddr, ITransferTarget& ATarget, TfrmTransport::TDirection ADirection) {
  TOwned<TfrmTransport> dialog(New<TfrmTransport>(nullptr, AAddr, ATarget, ADirection));
  dialog->ShowModal();
}
