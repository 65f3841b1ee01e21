// The receiver settings dialog, placed on the page: as it opens and with new values typed in.
#include "app/UConfig.h"
#include "editors/qvTextEdit.h"
#include "tools/gallery/GalleryPage.h"

namespace {

constexpr Integer kConfigDialogGap = 40;

// The settings the page's dialogs edit; Apply is never pressed on a page.
TSTBAddr& GalleryReceiverSettings() {
  static TSTBAddr settings = DefaultSTBAddr();
  return settings;
}

TfrmConfig* AddConfigDialog(TWinControl* Parent, const char* ACaption, Integer Y) {
  AddLabel(Parent, kMargin, Y, ACaption, 2 * kCellWidth);
  // Each dialog names itself frmConfig: owned apart, so that two fit on one page.
  auto* owner = New<TComponent>(Parent);
  auto* dialog = New<TfrmConfig>(owner, GalleryReceiverSettings());
  dialog->SetParent(Parent);
  dialog->SetLeft(kMargin);
  dialog->SetTop(Y + kLabelHeight);
  dialog->Show();
  return dialog;
}

void BuildConfigDialogPage(TWinControl* Parent) {
  TfrmConfig* opened = AddConfigDialog(Parent, "As it opens", kMargin);
  const Integer next = opened->GetTop() + opened->GetHeight() + kConfigDialogGap;
  TfrmConfig* edited = AddConfigDialog(Parent, "A new address and port typed in", next);
  edited->GetIPAddr()->SetEditValue(String("10.0.0.200"));
  edited->GetPort()->SetEditValue(String("80"));
}

}  // namespace

const TGalleryPageRegistration ConfigDialogPage("Settings dialog", 600, &BuildConfigDialogPage);
