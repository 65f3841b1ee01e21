// The page control page: every style (Tabs, Buttons, FlatButtons, Flat) at every tab position,
// each with an active, a disabled and a highlighted tab; then multi-line rows turned around the
// active row and scrolled to the opposite side, rotated tabs with images, a scrolled single line
// with its arrows and go button, and the editor's page control with two sheets following the
// variant's look and feel.
#include "GalleryPage.h"
#include "pagecontrol/qvPC.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kTabCellHeight = 126;
constexpr Integer kTabCellGap = 6;

struct TStyleColumn {
  TqvPCStyleID Style;
  const char* Name;
};
const TStyleColumn kStyles[] = {{1, "Tabs"}, {2, "Buttons"}, {3, "FlatButtons"}, {5, "Flat"}};

struct TPositionRow {
  TqvTabPosition Position;
  const char* Name;
};
const TPositionRow kPositions[] = {{tpTop, "top"}, {tpBottom, "bottom"}, {tpLeft, "left"}, {tpRight, "right"}};

// A label filling the page of a tab control.
void AddTitle(TWinControl* Parent, const String& ATitle) { AddLabel(Parent, ATitle, TRect())->SetAlign(alClient); }

// 16 x 16 pictures: a dish and a television.
TCustomImageList* MakeTabImages(TWinControl* Parent) {
  auto* images = New<TImageList>(Parent);
  images->SetSize(16, 16);
  TBitmap strip;
  strip.SetPixelFormat(pf32bit);
  strip.SetSize(32, 16);
  TCanvas* c = strip.GetCanvas();
  c->GetBrush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 32, 16));
  c->GetBrush()->SetColor(clGray);
  c->Ellipse(Rect(1, 2, 13, 14));
  c->GetBrush()->SetColor(clNavy);
  c->FillRect(Rect(12, 6, 15, 9));
  c->GetBrush()->SetColor(clBlack);
  c->FillRect(Rect(17, 2, 31, 12));
  c->GetBrush()->SetColor(clAqua);
  c->FillRect(Rect(19, 4, 29, 10));
  c->GetBrush()->SetColor(clBlack);
  c->FillRect(Rect(22, 12, 26, 15));
  images->AddMasked(&strip, clFuchsia);
  return images;
}

template <class T = TqvCustomTabControl>
T* AddControl(TWinControl* Parent, const TRect& R, TqvPCStyleID AStyle) {
  auto* control = New<T>(Parent);
  control->SetBoundsRect(R);
  control->SetParent(Parent);
  control->SetStyle(AStyle);
  return control;
}

void AddTabs(TqvCustomTabControl* AControl, std::initializer_list<const char*> ACaptions) {
  for (const char* caption : ACaptions) AControl->GetTabs()->Add(caption);
}

// An active tab, a disabled one and a highlighted one, and what the cell shows.
void FillCell(TqvCustomTabControl* AControl, const String& ATitle) {
  AddTabs(AControl, {"Satellites", "&Channels", "Off", "Marked"});
  AControl->GetTabs()->GetTab(2)->SetEnabled(false);
  AControl->GetTabs()->GetTab(3)->SetHighlighted(true);
  AControl->SetTabIndex(1);
  AddTitle(AControl, ATitle);
}

void BuildPageControlPage(TWinControl* Parent) {
  TCustomImageList* images = MakeTabImages(Parent);
  for (Integer col = 0; col < 4; ++col) {
    const Integer x = kNarrowMargin + col * (kColumnWidth + kTabCellGap);
    AddLabel(Parent, x, 4, kStyles[col].Name, kColumnWidth);
    for (Integer row = 0; row < 4; ++row) {
      const Integer y = 4 + kLabelHeight + row * (kTabCellHeight + kTabCellGap);
      auto* control = AddControl(Parent, Bounds(x, y, kColumnWidth, kTabCellHeight), kStyles[col].Style);
      control->SetTabPosition(kPositions[row].Position);
      control->SetHotTrack(true);
      if (row == 0 && col == 0) control->SetImages(images);
      FillCell(control, String("  ") + kStyles[col].Name + ", " + kPositions[row].Name);
    }
  }

  const Integer y = 4 + kLabelHeight + 4 * (kTabCellHeight + kTabCellGap) + 2;
  const Integer h = GalleryPageSize.cy - y - kNarrowMargin;
  Integer x = kNarrowMargin;

  // Three rows: the active row lies next to the page, the others turned around it.
  auto* rows = AddControl(Parent, Bounds(x, y, 230, h), 1);
  rows->SetMultiLine(true);
  AddTabs(rows, {"Astra", "Hotbird", "Eutelsat", "Thor", "Turksat", "Hispasat", "Amazonas", "Nilesat", "Badr"});
  rows->SetTabIndex(1);
  AddTitle(rows, "  multi-line, turned");
  x += 236;

  // With ScrollOpposite the rows after the active one go below the page.
  auto* opposite = AddControl(Parent, Bounds(x, y, 230, h), 5);
  opposite->SetMultiLine(true);
  opposite->SetScrollOpposite(true);
  AddTabs(opposite, {"Astra", "Hotbird", "Eutelsat", "Thor", "Turksat", "Hispasat", "Amazonas", "Nilesat", "Badr"});
  opposite->SetTabIndex(4);
  AddTitle(opposite, "  flat, opposite");
  x += 236;

  // Rotated tabs on the left read horizontally, with their images.
  auto* rotated = AddControl(Parent, Bounds(x, y, 170, h), 1);
  rotated->SetTabPosition(tpLeft);
  rotated->SetRotate(true);
  rotated->SetImages(images);
  AddTabs(rotated, {"TV", "Radio", "Data"});
  AddTitle(rotated, " rotated");
  x += 176;

  // A single line too short for its tabs: arrows and the go button, scrolled.
  auto* scrolled = AddControl(Parent, Bounds(x, y, 170, h), 3);
  scrolled->SetOptions(pcoBit(pcoGoDialog));
  AddTabs(scrolled, {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight"});
  scrolled->SetTabIndex(3);
  scrolled->ScrollTabs(2);
  AddTitle(scrolled, " arrows, go button");
  x += 176;

  // The editor's page control: Style 0 follows the variant's look and feel.
  auto* pages = AddControl<TqvPageControl>(Parent, Bounds(x, y, GalleryPageSize.cx - kNarrowMargin - x, h), 0);
  pages->SetHotTrack(true);
  pages->GetFont()->SetStyle(fsBold);
  for (const char* caption : {"SAT && TP Edit", "Channel Edit"}) {
    auto* sheet = New<TqvTabSheet>(Parent);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
  }
  // The button takes the page control's bold font: it is as wide as its caption needs.
  constexpr Integer kButtonPadding = 24;
  auto* button = New<TButton>(Parent);
  button->SetParent(pages->GetPage(0));
  button->SetCaption("Transponder");
  button->SetBounds(8, 8, TextWidthIn(button->GetFont(), button->GetCaption()) + kButtonPadding, 24);
}

const TGalleryPageRegistration PageControlPage("Page control", 500, &BuildPageControlPage);

}  // namespace
