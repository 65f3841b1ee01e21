// The labels and list boxes page: labels with each effect, letter style, rotation, a glyph in the
// letters, word wrap and a transparent one on a coloured panel; list boxes plain, with integral
// height, owner-drawn, read-only looking (disabled) and in each border style.
#include "GalleryPage.h"
#include "editors/qvLabel.h"
#include "editors/qvListBox.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

namespace {

// A caption above a bold label showing AText.
TqvLabel* AddLabelSample(TWinControl* Parent, Integer X, Integer Y, const String& ACaption, const String& AText) {
  AddLabel(Parent, X, Y, ACaption, kColumnWidth);
  auto* label = New<TqvLabel>(Parent);
  label->SetLeft(X);
  label->SetTop(Y + kLabelHeight);
  label->GetFont()->SetSize(14);
  label->GetFont()->SetStyle(fsBold);
  label->SetParent(Parent);
  label->SetCaption(AText);
  return label;
}

void BuildLabels(TWinControl* Parent) {
  Integer x = kNarrowMargin, y = kNarrowMargin;
  AddLabelSample(Parent, x, y, "Plain", "Channel list");
  TqvLabel* fun = AddLabelSample(Parent, x += kColumnWidth, y, "Fading shadow, depth 4", "Satellites");
  fun->GetProperties()->SetLabelEffect(qvleFun);
  fun->GetProperties()->SetDepth(4);
  fun->GetProperties()->SetShadowedColor(clNavy);
  TqvLabel* extrude = AddLabelSample(Parent, x += kColumnWidth, y, "Extruded left and up, depth 3", "Transponders");
  extrude->GetProperties()->SetLabelEffect(qvleExtrude);
  extrude->GetProperties()->SetOrientation(qvoLeftTop);
  extrude->GetProperties()->SetDepth(3);
  extrude->GetProperties()->SetShadowedColor(clMaroon);
  TqvLabel* cool = AddLabelSample(Parent, x += kColumnWidth, y, "One shadow, depth 3", "Favourites");
  cool->GetProperties()->SetLabelEffect(qvleCool);
  cool->GetProperties()->SetDepth(3);

  x = kNarrowMargin;
  y += 60;
  AddLabelSample(Parent, x, y, "Raised", "Raised")->GetProperties()->SetLabelStyle(qvlsRaised);
  AddLabelSample(Parent, x += kColumnWidth, y, "Lowered", "Lowered")->GetProperties()->SetLabelStyle(qvlsLowered);
  TqvLabel* outline = AddLabelSample(Parent, x += kColumnWidth, y, "Outlined, pen 1", "Outline");
  outline->GetProperties()->SetLabelStyle(qvlsOutLine);
  outline->GetFont()->SetSize(20);
  TqvLabel* glyph = AddLabelSample(Parent, x += kColumnWidth, y, "Glyph in the letters", "Glyph");
  glyph->GetFont()->SetSize(22);
  TBitmap* stripes = glyph->GetProperties()->GetGlyph();
  stripes->SetSize(6, 6);
  stripes->GetCanvas()->GetBrush()->SetColor(clRed);
  stripes->GetCanvas()->FillRect(Rect(0, 0, 6, 3));
  stripes->GetCanvas()->GetBrush()->SetColor(clBlue);
  stripes->GetCanvas()->FillRect(Rect(0, 3, 6, 6));

  x = kNarrowMargin;
  y += 70;
  for (Integer angle : {45, 90, 180, -30}) {
    TqvLabel* turned = AddLabelSample(Parent, x, y, "Angle " + IntToStr(angle), "Turned");
    turned->GetProperties()->SetAngle(angle);
    turned->GetStyle()->SetBorderStyle(ebsSingle);
    x += kColumnWidth;
  }

  x = kNarrowMargin;
  y += 130;
  TqvLabel* wrapped = AddLabelSample(Parent, x, y, "Word wrap, centred, framed", "A label whose text wraps");
  wrapped->SetAutoSize(false);
  wrapped->SetBounds(x, y + kLabelHeight, 150, 50);
  wrapped->GetProperties()->SetWordWrap(true);
  wrapped->GetProperties()->GetAlignment()->SetHorz(taCenter);
  wrapped->GetStyle()->SetBorderStyle(ebs3D);
  TqvLabel* ellipsis =
      AddLabelSample(Parent, x += kColumnWidth, y, "End ellipsis, fixed size", "A text too long to fit");
  ellipsis->SetAutoSize(false);
  ellipsis->SetBounds(x, y + kLabelHeight, 150, 26);
  ellipsis->GetProperties()->SetShowEndEllipsis(true);
  ellipsis->GetStyle()->SetBorderStyle(ebsSingle);

  AddLabel(Parent, x += kColumnWidth, y, "Transparent on a panel", kColumnWidth);
  auto* panel = New<TPanel>(Parent);
  panel->SetBounds(x, y + kLabelHeight, 200, 50);
  panel->SetColor(clSkyBlue);
  panel->SetParent(Parent);
  auto* transparent = New<TqvLabel>(panel);
  transparent->SetBounds(10, 10, 100, 20);
  transparent->GetFont()->SetSize(14);
  transparent->GetFont()->SetStyle(fsBold);
  transparent->SetParent(panel);
  transparent->GetProperties()->SetTransparent(true);
  transparent->GetProperties()->SetLabelEffect(qvleCool);
  transparent->GetProperties()->SetDepth(2);
  transparent->SetCaption("See through");
  AddLabelSample(Parent, x += kColumnWidth, y, "Disabled", "Disabled")->SetEnabled(false);
}

TqvListBox* AddListBox(TWinControl* Parent, Integer X, Integer Y, const String& ACaption, Integer AItems) {
  AddLabel(Parent, X, Y, ACaption, kColumnWidth);
  auto* list = New<TqvListBox>(Parent);
  list->SetLeft(X);
  list->SetTop(Y + kLabelHeight);
  list->SetParent(Parent);
  list->SetWidth(180);
  list->SetHeight(110);
  for (Integer i = 0; i < AItems; ++i) list->GetItems()->Add("Channel " + IntToStr(i + 1));
  return list;
}

void BuildListBoxes(TWinControl* Parent) {
  constexpr Integer kTop = 440;
  Integer x = kNarrowMargin;
  TqvListBox* plain = AddListBox(Parent, x, kTop, "Plain, second item selected", 20);
  plain->SetItemIndex(1);
  TqvListBox* integral = AddListBox(Parent, x += kColumnWidth, kTop, "Integral height (asked 110)", 20);
  integral->SetIntegralHeight(true);
  integral->GetStyle()->SetBorderStyle(cbsSingle);
  TqvListBox* drawn = AddListBox(Parent, x += kColumnWidth, kTop, "Owner-drawn rows of 20 px", 8);
  drawn->SetListStyle(lbOwnerDrawFixed);
  drawn->SetItemHeight(20);
  drawn->SetOnDrawItem([](TqvListBox* AControl, TqvCanvas* ACanvas, Integer AIndex, TRect ARect,
                          TOwnerDrawState AState) {
    ACanvas->SetBrushColor((AState & odSelected) ? clHighlight : AIndex % 2 ? clWindow : clInfoBk);
    ACanvas->FillRect(ARect);
    ACanvas->GetCanvas()->GetFont()->SetColor((AState & odSelected) ? clHighlightText : clWindowText);
    ACanvas->DrawText(AControl->GetItems()->Get(AIndex), qvDeflatedRect(ARect, 2), tfLeft | tfVCenter | tfSingleLine);
  });
  drawn->SetItemIndex(2);
  AddListBox(Parent, x += kColumnWidth, kTop, "Disabled", 6)->SetEnabled(false);

  x = kNarrowMargin;
  const Integer y = kTop + 140;
  const TqvContainerBorderStyle borders[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsThick};
  const char* names[] = {"Flat frame", "3D frame", "Ultra-flat frame", "Thick frame, wide items"};
  for (Integer i = 0; i < 4; ++i) {
    TqvListBox* list = AddListBox(Parent, x, y, names[i], 12);
    list->SetHeight(90);
    list->GetStyle()->SetBorderStyle(borders[i]);
    if (i == 3) list->SetScrollWidth(300);
    x += kColumnWidth;
  }
}

void BuildLabelsAndListBoxesPage(TWinControl* Parent) {
  BuildLabels(Parent);
  BuildListBoxes(Parent);
}

const TGalleryPageRegistration LabelsAndListBoxesPage("Labels and list boxes", 310, &BuildLabelsAndListBoxesPage);

}  // namespace
