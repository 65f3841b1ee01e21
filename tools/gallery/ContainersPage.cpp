// The containers page: the container frame of every border style at rest, hot (as the mouse or
// the focus shows it), without hot tracking, with a shadow, with only some edges, disabled, and an inner list box with its painter-drawn
// scroll bars; below, popup windows in each frame style around a list.
#include "GalleryPage.h"
#include "lookandfeel/qvInnerListBox.h"
#include "lookandfeel/qvPopupWindow.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kContainerColumnWidth = 140;
constexpr Integer kContainerRowHeight = 40;

// A container with an inner list box, and the states the page puts it in.
class TGalleryContainer : public TqvContainer {
  QJ_INLINE_CLASS(TGalleryContainer, TqvContainer)
 public:
  using TqvContainer::TqvContainer;
  void AddList(Integer AItems, bool AWide) {
    auto* list = New<TqvCustomInnerListBox>(this);
    list->SetContainer(this);
    list->SetParent(this);
    list->SetTabStop(false);
    if (AWide) list->SetScrollWidth(300);
    for (Integer i = 0; i < AItems; ++i) list->GetItems()->Add("Channel " + IntToStr(i + 1));
    SetInnerControl(list);
  }
  // The frame as the mouse over it or the focus would show it.
  void ShowHot() { RefreshContainer({GetWidth() / 2, GetHeight() / 2}, cmbNone, 0, true); }
  void ShowShort() { ShortRefreshContainer(false); }
};

// No container (nor its list) takes the focus when the page shows: each keeps the state its
// column names.
TGalleryContainer* AddContainer(TWinControl* Parent, TRect R) {
  auto* c = New<TGalleryContainer>(Parent);
  c->SetBoundsRect(R);
  c->SetParent(Parent);
  c->SetTabStop(false);
  return c;
}

const char* const kContainerBorderNames[] = {"cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat"};

void BuildBorderRows(TWinControl* Parent) {
  AddLabel(Parent, "At rest", Rect(130, 8, 280, 24));
  AddLabel(Parent, "Hot", Rect(130 + kContainerColumnWidth, 8, 280 + kContainerColumnWidth, 24));
  AddLabel(Parent, "No hot tracking", Rect(130 + 2 * kContainerColumnWidth, 8, 280 + 2 * kContainerColumnWidth, 24));
  AddLabel(Parent, "Shadow", Rect(130 + 3 * kContainerColumnWidth, 8, 280 + 3 * kContainerColumnWidth, 24));
  AddLabel(Parent, "Left and top edges", Rect(130 + 4 * kContainerColumnWidth, 8, 280 + 4 * kContainerColumnWidth, 24));
  AddLabel(Parent, "Disabled", Rect(130 + 5 * kContainerColumnWidth, 8, 280 + 5 * kContainerColumnWidth, 24));
  for (Integer s = cbsNone; s <= cbsUltraFlat; ++s) {
    const Integer y = 30 + s * kContainerRowHeight;
    AddLabel(Parent, kContainerBorderNames[s], Rect(10, y + 8, 120, y + 24));
    for (Integer col = 0; col < 6; ++col) {
      const Integer x = 130 + col * kContainerColumnWidth;
      TGalleryContainer* c = AddContainer(Parent, Rect(x, y, x + 130, y + 32));
      TqvContainerStyle* style = c->GetStyle();
      style->SetBorderStyle(TqvContainerBorderStyle(s));
      if (col == 2) style->SetHotTrack(false);
      if (col == 3) style->SetShadow(true);
      if (col == 4) style->SetEdges(qvBorder(bLeft) | qvBorder(bTop));
      if (col == 5) c->SetEnabled(false);
      c->HandleNeeded();
      if (col == 1) c->ShowHot();
    }
  }
}

void BuildLists(TWinControl* Parent) {
  const Integer y = 290;
  AddLabel(Parent, "Inner list boxes: short, long, long and wide, disabled", Rect(10, y, 600, y + 16));
  const std::pair<Integer, bool> lists[] = {{4, false}, {40, false}, {40, true}, {40, false}};
  for (Integer i = 0; i < 4; ++i) {
    TGalleryContainer* c = AddContainer(Parent, Rect(10 + i * 170, y + 22, 170 + i * 170, y + 142));
    c->GetStyle()->SetBorderStyle(cbsSingle);
    c->AddList(lists[i].first, lists[i].second);
    if (i == 3) c->SetEnabled(false);
    c->HandleNeeded();
    c->ShowShort();
  }
}

// Popup windows shown inside the page (as child forms) in each frame style.
void BuildPopups(TWinControl* Parent) {
  const Integer y = 460;
  AddLabel(Parent, "Popup windows: pfsNone, pfsSingle, pfsFlat, pfs3D (border space 2)", Rect(10, y, 600, y + 16));
  for (Integer s = pfsNone; s <= pfs3D; ++s) {
    auto* popup = New<TqvPopupWindow>(Parent);
    popup->SetParent(Parent);
    popup->SetLeft(10 + s * 170);
    popup->SetTop(y + 22);
    popup->SetBorderSpace(2);
    popup->SetPopupBorderStyle(TqvPopupFrameStyle(s));
    popup->SetColor(clWindow);
    TGalleryContainer* c = AddContainer(popup, Rect(0, 0, 150, 100));
    c->GetStyle()->SetBorderStyle(cbsNone);
    c->GetStyle()->SetHotTrack(false);
    c->GetStyle()->SetTransparentBorder(false);
    c->AddList(12, false);
    popup->CalculateSize();
    popup->Show();
  }
}

void BuildContainersPage(TWinControl* Parent) {
  BuildBorderRows(Parent);
  BuildLists(Parent);
  BuildPopups(Parent);
}

const TGalleryPageRegistration ContainersPage("Containers and popups", 202, &BuildContainersPage);

}  // namespace
