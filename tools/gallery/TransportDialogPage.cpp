// The transfer dialog, placed on the page: as it connects, and while the image moves.
#include "app/UTransport.h"
#include "editors/qvLabel.h"
#include "platform/forms/ExtCtrls.h"
#include "tools/gallery/GalleryPage.h"

namespace {

constexpr Integer kTransportDialogGap = 40;

// A page shows the dialog only: no transfer runs and no main window listens.
class TGalleryTransferTarget : public ITransferTarget {
 public:
  void ShowTransferStatus(const String&) override {}
  void OpenReceivedImage(const TDBImage&, const String&) override {}
  void CloseReceivedImage() override {}
  const TDBImage& RebuildUploadImage() override { return FImage; }

 private:
  TDBImage FImage;
};

// Each dialog names itself frmTransport: owned apart, so that two fit on one page.
TfrmTransport* NewTransportDialog(TWinControl* Parent, TfrmTransport::TDirection ADirection) {
  static TGalleryTransferTarget target;
  return New<TfrmTransport>(New<TComponent>(Parent), DefaultSTBAddr(), target, ADirection);
}

void BuildTransportDialogPage(TWinControl* Parent) {
  TfrmTransport* connecting = NewTransportDialog(Parent, TfrmTransport::TDirection::ToPC);
  const Integer next = AddDialogSample(Parent, "Connecting", kMargin, connecting) + kTransportDialogGap;
  TfrmTransport* moving = NewTransportDialog(Parent, TfrmTransport::TDirection::ToSetTop);
  moving->ShowStatus("Start Uploading...");
  moving->GetAnimation()->SetVisible(true);
  AddDialogSample(Parent, "Uploading", next, moving);
}

}  // namespace

const TGalleryPageRegistration TransportDialogPage("Transfer dialog", 600, &BuildTransportDialogPage);
