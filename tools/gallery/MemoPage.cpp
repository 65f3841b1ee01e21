// The memo page: memos with wrapped text, with a vertical and with both scroll bars, right-aligned,
// without word wrap, read-only, disabled, in place (no frame), and a focused one.
#include "GalleryPage.h"
#include "editors/qvMemo.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kMemoHeight = 110;

const char* const kMemoText =
    "Das Erste HD\r\nZDF HD\r\n3sat HD\r\nARTE HD\r\nPhoenix HD\r\nKiKA HD\r\n"
    "A channel name long enough to wrap onto the next line of the memo\r\nBR Fernsehen Nord HD\r\n"
    "hr-fernsehen HD\r\nMDR Sachsen HD\r\nNDR FS NDS HD\r\nrbb Berlin HD";

struct TMemoSample {
  const char* Caption;
  TScrollStyle ScrollBars;
  TAlignment Alignment;
  bool WordWrap, ReadOnly, Enabled, Inplace;
};

const TMemoSample kMemoSamples[] = {
    {"Wrapped text", ssNone, taLeftJustify, true, false, true, false},
    {"Vertical scroll bar", ssVertical, taLeftJustify, true, false, true, false},
    {"Both scroll bars, no wrap", ssBoth, taLeftJustify, false, false, true, false},
    {"Right-aligned", ssNone, taRightJustify, true, false, true, false},
    {"Read-only", ssVertical, taLeftJustify, true, true, true, false},
    {"Disabled", ssNone, taLeftJustify, true, false, false, false},
    {"In place (no frame)", ssNone, taLeftJustify, true, false, true, true},
    {"Focused", ssVertical, taLeftJustify, true, false, true, false},
};

void BuildMemoPage(TWinControl* Parent) {
  TqvMemo* focused = nullptr;
  for (Integer i = 0; i < Integer(std::size(kMemoSamples)); ++i) {
    const TMemoSample& s = kMemoSamples[i];
    const Integer x = kMargin + (i % 4) * (kCellWidth + 24), y = kMargin + (i / 4) * (kMemoHeight + kLabelHeight + 30);
    AddLabel(Parent, x, y, s.Caption);
    auto* memo = static_cast<TqvMemo*>(TqvCustomEdit::CreateInplace(&TqvMemo::StaticClass(), Parent, s.Inplace));
    TqvMemoProperties* properties = memo->GetProperties();
    properties->SetScrollBars(s.ScrollBars);
    properties->SetAlignment(s.Alignment);
    properties->SetWordWrap(s.WordWrap);
    properties->SetReadOnly(s.ReadOnly);
    memo->SetBounds(x, y + kLabelHeight + 2, kCellWidth, kMemoHeight);
    memo->SetEnabled(s.Enabled);
    memo->SetParent(Parent);
    memo->SetEditValue(String(kMemoText));
    if (i == Integer(std::size(kMemoSamples)) - 1) focused = memo;
  }
  // The page's first control in tab order takes the focus when the page shows.
  if (focused) focused->SetTabOrder(0);
}

const TGalleryPageRegistration MemoPage("Memo editor", 708, &BuildMemoPage);

}  // namespace
