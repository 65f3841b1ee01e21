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

// Each dialog names itself frmConfig: owned apart, so that two fit on one page.
TfrmConfig* NewConfigDialog(TWinControl* Parent) {
  return New<TfrmConfig>(New<TComponent>(Parent), GalleryReceiverSettings());
}

void BuildConfigDialogPage(TWinControl* Parent) {
  const Integer next = AddDialogSample(Parent, "As it opens", kMargin, NewConfigDialog(Parent)) + kConfigDialogGap;
  TfrmConfig* edited = NewConfigDialog(Parent);
  edited->GetIPAddr()->SetEditValue(String("10.0.0.200"));
  edited->GetPort()->SetEditValue(String("80"));
  AddDialogSample(Parent, "A new address and port typed in", next, edited);
}

}  // namespace

const TGalleryPageRegistration ConfigDialogPage("Settings dialog", 600, &BuildConfigDialogPage);
