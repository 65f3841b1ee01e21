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

TfrmTransport* AddTransportDialog(TWinControl* Parent, const char* ACaption, Integer Y,
                                  TfrmTransport::TDirection ADirection) {
  static TGalleryTransferTarget target;
  AddLabel(Parent, kMargin, Y, ACaption, 2 * kCellWidth);
  // Each dialog names itself frmTransport: owned apart, so that two fit on one page.
  auto* owner = New<TComponent>(Parent);
  auto* dialog = New<TfrmTransport>(owner, DefaultSTBAddr(), target, ADirection);
  dialog->SetParent(Parent);
  dialog->SetLeft(kMargin);
  dialog->SetTop(Y + kLabelHeight);
  dialog->Show();
  return dialog;
}

void BuildTransportDialogPage(TWinControl* Parent) {
  TfrmTransport* connecting = AddTransportDialog(Parent, "Connecting", kMargin, TfrmTransport::TDirection::ToPC);
  const Integer next = connecting->GetTop() + connecting->GetHeight() + kTransportDialogGap;
  TfrmTransport* moving = AddTransportDialog(Parent, "Uploading", next, TfrmTransport::TDirection::ToSetTop);
  moving->ShowStatus("Start Uploading...");
  moving->GetAnimation()->SetVisible(true);
}

}  // namespace

const TGalleryPageRegistration TransportDialogPage("Transfer dialog", 600, &BuildTransportDialogPage);
