// The BLOB editor page: closed editors of each kind (memo, picture, OLE, raw data), empty and
// filled, as icons, as default texts and as memo text; read-only, disabled, in place, focused.
#include "GalleryPage.h"
#include "editors/qvBlobEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kBlobEditHeight = 22, kBlobRowGap = 14;

struct TBlobSample {
  const char* Caption;
  TqvBlobEditKind Kind;
  TqvBlobPaintStyle Style;
  bool Filled, ReadOnly, Enabled, Inplace;
};

const TBlobSample kBlobSamples[] = {
    {"Memo icon, empty", bekMemo, bpsIcon, false, false, true, false},
    {"Memo icon", bekMemo, bpsIcon, true, false, true, false},
    {"Picture icon, empty", bekPict, bpsIcon, false, false, true, false},
    {"Picture icon", bekPict, bpsIcon, true, false, true, false},
    {"OLE icon, empty", bekOle, bpsIcon, false, false, true, false},
    {"OLE icon", bekOle, bpsIcon, true, false, true, false},
    {"BLOB icon, empty", bekBlob, bpsIcon, false, false, true, false},
    {"BLOB icon", bekBlob, bpsIcon, true, false, true, false},
    {"Memo default text, empty", bekMemo, bpsDefault, false, false, true, false},
    {"Memo default text", bekMemo, bpsDefault, true, false, true, false},
    {"Picture default text", bekPict, bpsDefault, true, false, true, false},
    {"BLOB default text", bekBlob, bpsDefault, true, false, true, false},
    {"Memo text (first 80 characters)", bekMemo, bpsText, true, false, true, false},
    {"Read-only memo text", bekMemo, bpsText, true, true, true, false},
    {"Disabled memo icon", bekMemo, bpsIcon, true, false, false, false},
    {"Disabled memo default text", bekMemo, bpsDefault, true, false, false, false},
    {"In place (no frame)", bekMemo, bpsText, true, false, true, true},
    {"Focused picture icon", bekPict, bpsIcon, true, false, true, false},
};

const char* const kMemo = "  Das Erste HD\r\nZDF HD\r\n3sat HD\r\nARTE HD\r\nPhoenix HD\r\nKiKA HD\r\nBR Fernsehen Nord HD";

void BuildBlobEditPage(TWinControl* Parent) {
  TqvBlobEdit* focused = nullptr;
  for (Integer i = 0; i < Integer(std::size(kBlobSamples)); ++i) {
    const TBlobSample& s = kBlobSamples[i];
    const Integer x = kMargin + (i % 4) * (kCellWidth + 24);
    const Integer y = kMargin + (i / 4) * (kBlobEditHeight + kLabelHeight + kBlobRowGap + 2);
    AddLabel(Parent, x, y, s.Caption);
    auto* edit =
        static_cast<TqvBlobEdit*>(TqvCustomEdit::CreateInplace(&TqvBlobEdit::StaticClass(), Parent, s.Inplace));
    TqvBlobEditProperties* properties = edit->GetProperties();
    properties->SetBlobEditKind(s.Kind);
    properties->SetBlobPaintStyle(s.Style);
    properties->SetReadOnly(s.ReadOnly);
    edit->SetBounds(x, y + kLabelHeight + 2, kCellWidth, kBlobEditHeight);
    edit->SetEnabled(s.Enabled);
    edit->SetParent(Parent);
    edit->SetEditValue(s.Filled ? Variant(String(kMemo)) : Variant(Null()));
    if (i == Integer(std::size(kBlobSamples)) - 1) focused = edit;
  }
  // The page's first control in tab order takes the focus when the page shows.
  if (focused) focused->SetTabOrder(0);
}

const TGalleryPageRegistration BlobEditPage("BLOB editor", 709, &BuildBlobEditPage);

}  // namespace
