// The tree list as it paints: 10,000 nodes in two bands (one fixed at the left) with an
// indicator, grid lines, images and a sorted column; and a smaller one in the grouped style with
// a flat look, two header rows, a new-item row and a footer.
#include "GalleryPage.h"
#include "TreeListGallery.h"
#include "platform/forms/ImgList.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr Integer kSatellites = 100;
constexpr Integer kChannelsEach = 99;

TzmTreeListColumn* AddColumn(TCustomzmTreeListControl* Tree, TComponent* Owner, const char* Caption, Integer Band,
                             Integer Width, Integer Row = 0) {
  TzmTreeListColumn* column = Tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Owner);
  column->SetCaption(Caption);
  column->SetBandIndex(Band);
  column->SetRowIndex(Row);
  column->SetWidth(Width);
  return column;
}

// Two small pictures: a dish for satellites, a screen for channels.
TCustomImageList* NodeImages(TComponent* Owner) {
  auto* images = New<TImageList>(Owner);
  images->SetWidth(16);
  images->SetHeight(16);
  for (Integer i = 0; i < 2; ++i) {
    TBitmap bitmap;
    bitmap.SetSize(16, 16);
    TCanvas* c = bitmap.GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 16));
    c->GetPen()->SetColor(clNavy);
    c->GetBrush()->SetColor(i == 0 ? clSilver : clAqua);
    if (i == 0) {
      c->Ellipse(2, 2, 14, 14);
      c->MoveTo(8, 8);
      c->LineTo(13, 3);
    } else {
      c->Rectangle(1, 3, 15, 12);
      c->MoveTo(5, 14);
      c->LineTo(11, 14);
    }
    images->AddMasked(&bitmap, clFuchsia);
  }
  return images;
}

// A tree list on the page, inside an update bracket the builder ends.
TCustomzmTreeListControl* NewTree(TWinControl* Parent, const char* Name, const TRect& Bounds) {
  auto* tree = New<TCustomzmTreeListControl>(Parent);
  tree->SetName(Name);
  tree->SetParent(Parent);
  tree->SetBoundsRect(Bounds);
  tree->BeginUpdate();
  return tree;
}

TCustomzmTreeListControl* BigTree(TWinControl* Parent) {
  TCustomzmTreeListControl* tree = NewTree(Parent, "Channels", Rect(10, 10, 610, 710));
  tree->SetBandsVisible(true);
  tree->SetIndicatorVisible(true);
  tree->SetShowGrid(true);
  tree->SetNodeImages(NodeImages(Parent));
  TzmTreeListBands* bands = tree->GetBands();
  bands->GetItem(0)->SetCaption("Channel");
  bands->GetItem(0)->SetFixed(TzmGridBandFixed::bfLeft);
  bands->GetItem(0)->SetWidth(230);
  bands->Add()->SetCaption("Tuning");
  bands->GetItem(1)->SetWidth(420);
  AddColumn(tree, Parent, "Name", 0, 170);
  AddColumn(tree, Parent, "Number", 0, 60)->SetAlignment(taRightJustify);
  AddColumn(tree, Parent, "Frequency", 1, 110)->SetAlignment(taRightJustify);
  AddColumn(tree, Parent, "Symbol rate", 1, 100)->SetAlignment(taRightJustify);
  AddColumn(tree, Parent, "Polarity", 1, 80);
  AddColumn(tree, Parent, "Provider", 1, 130);
  const char* providers[] = {"Astra", "Hot Bird", "Eutelsat", "Hispasat", "Turksat"};
  Integer number = 1;
  for (Integer s = 0; s < kSatellites; ++s) {
    TzmTreeListNode* satellite = tree->AddNode(nullptr);
    satellite->SetStrings(0, "Satellite " + IntToStr(s + 1));
    satellite->SetImageIndex(0);
    for (Integer c = 0; c < kChannelsEach; ++c) {
      TzmTreeListNode* channel = satellite->AddChild();
      channel->SetImageIndex(1);
      channel->SetStrings(0, "Channel " + IntToStr(c + 1));
      channel->SetStrings(1, IntToStr(number++));
      channel->SetStrings(2, IntToStr(10700 + (c * 37 + s * 11) % 2050) + " MHz");
      channel->SetStrings(3, IntToStr(22000 + (c % 4) * 5500));
      channel->SetStrings(4, c % 2 ? "Vertical" : "Horizontal");
      channel->SetStrings(5, providers[(c + s) % 5]);
    }
  }
  tree->EndUpdate();
  tree->GetRootNode(0)->SetExpanded(true);
  tree->GetRootNode(2)->SetExpanded(true);
  tree->ColumnAt(0)->SetSorted(TzmTreeListColumnSort::csUp);
  tree->GetRootNode(0)->GetItem(2)->SetFocused(true);
  return tree;
}

TCustomzmTreeListControl* GroupedTree(TWinControl* Parent) {
  TCustomzmTreeListControl* tree = NewTree(Parent, "Favourites", Rect(630, 10, 990, 340));
  tree->SetFrameLook(zmflFlat);
  tree->SetRowPaintStyle(zmrpGrouped);
  tree->SetHeaderPanelRowCount(2);
  tree->SetFooterVisible(true);
  tree->SetIndicatorVisible(true);
  tree->GetBands()->GetItem(0)->SetWidth(330);
  AddColumn(tree, Parent, "Favourite", 0, 200);
  AddColumn(tree, Parent, "Count", 0, 120)->SetAlignment(taRightJustify);
  AddColumn(tree, Parent, "Genre", 0, 320, 1);
  tree->OnFooterCellExists = [](TObject*, TzmTreeListColumn* Column, bool& Exists) {
    Exists = Column && Column->GetCaption() == "Count";
  };
  // The footer cell sums the counts.
  tree->OnFooterCustomDraw = [](TObject*, TCanvas*, const TRect&, TzmTreeListNode*, TzmTreeListColumn*, String& AText,
                                TColor&, TFont*, TAlignment&, bool&) { AText = IntToStr(3 + 4 + 5 + 6); };
  const char* lists[] = {"News", "Sports", "Films", "Music"};
  for (Integer l = 0; l < 4; ++l) {
    TzmTreeListNode* list = tree->AddNode(nullptr);
    list->SetStrings(0, lists[l]);
    list->SetStrings(1, IntToStr(3 + l));
    for (Integer c = 0; c < 3 + l; ++c) {
      TzmTreeListNode* node = list->AddChild();
      node->SetStrings(0, String(lists[l]) + " " + IntToStr(c + 1));
      node->SetStrings(2, l % 2 ? "Entertainment" : "Information");
    }
  }
  tree->EndUpdate();
  tree->GetRootNode(1)->SetExpanded(true);
  return tree;
}

TCustomzmTreeListControl* UltraFlatTree(TWinControl* Parent) {
  TCustomzmTreeListControl* tree = NewTree(Parent, "Genres", Rect(630, 360, 990, 710));
  tree->SetFrameLook(zmflUltraFlat);
  tree->SetShowGrid(true);
  tree->SetNewItemRowVisible(true);
  tree->SetBehaviorOptions(tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  AddColumn(tree, Parent, "Genre", 0, 200);
  AddColumn(tree, Parent, "Channels", 0, 100)->SetAlignment(taRightJustify);
  const char* genres[] = {"Information", "Entertainment", "Children", "Education", "Culture"};
  for (Integer g = 0; g < 5; ++g) {
    TzmTreeListNode* genre = tree->AddNode(nullptr);
    genre->SetStrings(0, genres[g]);
    genre->SetStrings(1, IntToStr(10 * (g + 1)));
    for (Integer c = 0; c < 2; ++c) genre->AddChild()->SetStrings(0, String(genres[g]) + " " + IntToStr(c + 1));
  }
  tree->EndUpdate();
  tree->GetRootNode(0)->SetExpanded(true);
  tree->GetRootNode(3)->SetExpanded(true);
  tree->GetRootNode(1)->SetFocused(true);
  return tree;
}

void BuildTreeListPage(TWinControl* Parent) {
  New<TTreeListUnitsHolder>(Parent);
  BigTree(Parent);
  GroupedTree(Parent);
  UltraFlatTree(Parent);
}

const TGalleryPageRegistration TreeListPage("Tree list", 1003, &BuildTreeListPage);

}  // namespace
