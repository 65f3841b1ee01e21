// The bars and radio groups page: progress bars in each bar style, with overload, peak, bevels,
// vertical and transparent; track bars with ticks, numbers, selections, thumbs of each shape and
// a vertical one; look-and-feel radio buttons; radio groups in one and two columns, disabled and
// without items.
#include "GalleryPage.h"
#include "editors/qvProgressBar.h"
#include "editors/qvRadioGroup.h"
#include "editors/qvTrackBar.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kBarColumnWidth = 245;

TqvProgressBar* AddProgressBar(TWinControl* Parent, Integer X, Integer Y, const String& ACaption,
                               TqvProgressBarBarStyle AStyle, Integer APosition) {
  AddLabel(Parent, X, Y, ACaption, kBarColumnWidth);
  auto* bar = New<TqvProgressBar>(Parent);
  bar->SetAutoSize(false);
  bar->SetBounds(X, Y + kLabelHeight, 225, 22);
  bar->SetParent(Parent);
  bar->GetProperties()->SetBarStyle(AStyle);
  bar->SetPosition(APosition);
  return bar;
}

void BuildProgressBars(TWinControl* Parent) {
  Integer x = kNarrowMargin, y = kNarrowMargin;
  AddProgressBar(Parent, x, y, "Solid, 50 %", qvbsSolid, 50);
  TqvProgressBar* leds = AddProgressBar(Parent, x += kBarColumnWidth, y, "LEDs, overload from 80", qvbsLEDs, 90);
  leds->GetProperties()->SetShowOverload(true);
  TqvProgressBar* gradient =
      AddProgressBar(Parent, x += kBarColumnWidth, y, "Gradient, peak held at 85", qvbsGradient, 85);
  gradient->GetProperties()->SetShowPeak(true);
  gradient->GetProperties()->SetPeakSize(3);
  gradient->SetPosition(60);
  TqvProgressBar* gradientLeds =
      AddProgressBar(Parent, x += kBarColumnWidth, y, "Gradient LEDs, raised", qvbsGradientLEDs, 70);
  gradientLeds->GetProperties()->SetBarBevelOuter(qvbvRaised);

  x = kNarrowMargin;
  y += 50;
  TqvProgressBar* bitmap = AddProgressBar(Parent, x, y, "Bitmap, position shown", qvbsBitmap, 65);
  TBitmap* image = bitmap->GetProperties()->GetForegroundImage();
  image->SetSize(8, 8);
  image->GetCanvas()->GetBrush()->SetColor(clTeal);
  image->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  image->GetCanvas()->GetBrush()->SetColor(clAqua);
  image->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  image->GetCanvas()->FillRect(Rect(4, 4, 8, 8));
  bitmap->GetProperties()->SetShowTextStyle(qvtsPosition);
  TqvProgressBar* bitmapLeds =
      AddProgressBar(Parent, x += kBarColumnWidth, y, "Bitmap LEDs, full", qvbsBitmapLEDs, 100);
  bitmapLeds->GetProperties()->SetForegroundImage(image);
  TqvProgressBar* lowered = AddProgressBar(Parent, x += kBarColumnWidth, y, "Far above Max, lowered", qvbsSolid, 0);
  lowered->SetEditValue(2000000000);
  lowered->GetProperties()->SetBarBevelOuter(qvbvLowered);
  lowered->GetProperties()->SetShowTextStyle(qvtsPosition);
  TqvProgressBar* disabled = AddProgressBar(Parent, x += kBarColumnWidth, y, "Disabled, solid text", qvbsSolid, 30);
  disabled->GetProperties()->SetSolidTextColor(true);
  disabled->SetEnabled(false);

  x = kNarrowMargin;
  y += 50;
  AddLabel(Parent, x, y, "Vertical bars", kBarColumnWidth);
  const TqvProgressBarBarStyle styles[] = {qvbsSolid, qvbsLEDs, qvbsGradient};
  for (Integer i = 0; i < 3; ++i) {
    auto* bar = New<TqvProgressBar>(Parent);
    bar->SetAutoSize(false);
    bar->SetBounds(x + i * 40, y + kLabelHeight, 30, 110);
    bar->SetParent(Parent);
    bar->GetProperties()->SetOrientation(qvorVertical);
    bar->GetProperties()->SetTextOrientation(qvorVertical);
    bar->GetProperties()->SetBarStyle(styles[i]);
    bar->GetProperties()->SetShowText(i == 2);
    bar->SetPosition(40 + 20 * i);
  }
  AddLabel(Parent, x += 160, y, "Transparent on a panel", kBarColumnWidth);
  auto* panel = New<TPanel>(Parent);
  panel->SetBounds(x, y + kLabelHeight, 230, 50);
  panel->SetColor(clMoneyGreen);
  panel->SetParent(Parent);
  auto* transparent = New<TqvProgressBar>(panel);
  transparent->SetAutoSize(false);
  transparent->SetBounds(10, 12, 210, 24);
  transparent->SetParent(panel);
  transparent->GetProperties()->SetTransparent(true);
  transparent->SetPosition(45);
}

TqvTrackBar* AddTrackBar(TWinControl* Parent, Integer X, Integer Y, const String& ACaption) {
  AddLabel(Parent, X, Y, ACaption, kBarColumnWidth);
  auto* bar = New<TqvTrackBar>(Parent);
  bar->SetBounds(X, Y + kLabelHeight, 225, 50);
  bar->SetParent(Parent);
  return bar;
}

void BuildTrackBars(TWinControl* Parent) {
  Integer x = kNarrowMargin + 160 + kBarColumnWidth;
  const Integer y = kNarrowMargin + 100;
  TqvTrackBar* plain = AddTrackBar(Parent, x, y, "Ticks below, position 4");
  plain->SetPosition(4);
  TqvTrackBar* numbers = AddTrackBar(Parent, x += kBarColumnWidth, y, "Value numbers, 0..1000 by 100");
  numbers->GetProperties()->SetMax(1000);
  numbers->GetProperties()->SetFrequency(100);
  numbers->GetProperties()->SetTickType(tbttValueNumber);
  numbers->SetPosition(300);

  x = kNarrowMargin + 160 + kBarColumnWidth;
  const Integer y2 = y + 70;
  TqvTrackBar* both = AddTrackBar(Parent, x, y2, "Both sides, selection 2..6");
  both->GetProperties()->SetTickMarks(qvtmBoth);
  both->GetProperties()->SetSelectionStart(2);
  both->GetProperties()->SetSelectionEnd(6);
  both->SetPosition(5);
  TqvTrackBar* huge = AddTrackBar(Parent, x += kBarColumnWidth, y2, "Thumb up, 0..10^9, ultra-flat");
  huge->GetProperties()->SetTickMarks(qvtmTopLeft);
  huge->GetProperties()->SetMax(1000000000);
  huge->GetStyle()->GetLookAndFeel()->SetKind(lfUltraFlat);
  huge->SetPosition(700000000);

  AddLabel(Parent, kNarrowMargin + 160 + 2 * kBarColumnWidth, y2 + 70, "Vertical, numbers turned", kBarColumnWidth);
  auto* vertical = New<TqvTrackBar>(Parent);
  vertical->SetBounds(kNarrowMargin + 160 + 2 * kBarColumnWidth, y2 + 70 + kLabelHeight, 70, 150);
  vertical->SetParent(Parent);
  vertical->GetProperties()->SetOrientation(tboVertical);
  vertical->GetProperties()->SetTickType(tbttNumbers);
  vertical->GetProperties()->SetFrequency(5);
  vertical->GetProperties()->SetTextOrientation(tbtoVertical);
  vertical->SetPosition(7);
  TqvTrackBar* disabled = AddTrackBar(Parent, kNarrowMargin + 160 + kBarColumnWidth, y2 + 70, "Disabled, flat");
  disabled->GetStyle()->GetLookAndFeel()->SetKind(lfFlat);
  disabled->SetPosition(3);
  disabled->SetEnabled(false);
}

TqvRadioGroup* AddRadioGroup(TWinControl* Parent, Integer X, Integer Y, const String& ACaption,
                             std::initializer_list<const char*> AItems, Integer AColumns, TRect ABounds) {
  auto* group = New<TqvRadioGroup>(Parent);
  group->SetBoundsRect(qvOffsetRect(ABounds, X, Y));
  group->SetParent(Parent);
  group->SetCaption(ACaption);
  for (const char* item : AItems) group->GetProperties()->GetItems()->Add()->SetCaption(item);
  group->GetProperties()->SetColumns(AColumns);
  return group;
}

void BuildRadios(TWinControl* Parent) {
  const Integer y = 420;
  Integer x = kNarrowMargin;
  AddLabel(Parent, x, y, "Radio buttons", kBarColumnWidth);
  const char* captions[] = {"&Horizontal", "&Vertical", "Disabled"};
  for (Integer i = 0; i < 3; ++i) {
    auto* button = New<TqvRadioButton>(Parent);
    button->SetBounds(x, y + kLabelHeight + i * 22, 150, 20);
    button->SetParent(Parent);
    button->SetCaption(captions[i]);
    if (i == 0) button->SetChecked(true);
    if (i == 2) button->SetEnabled(false);
  }
  TqvRadioGroup* polarisation =
      AddRadioGroup(Parent, x += 170, y, "Polarisation", {"Horizontal", "Vertical", "Left", "Right"}, 1, Rect(0, 0, 150, 130));
  polarisation->SetItemIndex(1);
  TqvRadioGroup* fec = AddRadioGroup(Parent, x += 170, y, "FEC", {"1/2", "2/3", "3/4", "5/6", "7/8"}, 2,
                                     Rect(0, 0, 200, 110));
  fec->SetItemIndex(3);
  fec->GetStyle()->SetBorderStyle(ebsSingle);
  TqvRadioGroup* disabled = AddRadioGroup(Parent, x += 220, y, "Disabled", {"On", "Off"}, 2, Rect(0, 0, 170, 60));
  disabled->SetItemIndex(0);
  disabled->SetEnabled(false);
  AddRadioGroup(Parent, x, y + 70, "No items", {}, 1, Rect(0, 0, 170, 50));
  TqvRadioGroup* flat = AddRadioGroup(Parent, x += 190, y, "Flat frame", {"TV", "Radio"}, 1, Rect(0, 0, 150, 80));
  flat->GetStyle()->SetBorderStyle(ebsFlat);
  flat->SetItemIndex(0);
}

void BuildBarsAndRadioGroupsPage(TWinControl* Parent) {
  BuildProgressBars(Parent);
  BuildTrackBars(Parent);
  BuildRadios(Parent);
}

const TGalleryPageRegistration BarsAndRadioGroupsPage("Bars and radio groups", 710, &BuildBarsAndRadioGroupsPage);

}  // namespace
