// The go dialog and its list.
#include "pagecontrol/qvPCGoDialog.h"

#include <algorithm>

#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCPainters.h"
#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TqvTabIndex)
QJ_IMPLEMENT_CLASS(TqvPCGoDialogListBox)
QJ_IMPLEMENT_CLASS(TqvPCGoDialogViewInfo)
QJ_IMPLEMENT_CLASS(TqvPCGoDialog)

namespace {

constexpr Integer kInitialWidth = 125;
constexpr Integer kInitialHeight = 101;
constexpr Integer kScrollWidthMargin = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// List

TqvPCGoDialogListBox::TqvPCGoDialogListBox(TqvPCGoDialog* ADialog) : TqvCustomInnerListBox(ADialog), FDialog(ADialog) {
  SetBorderStyle(bsNone);
}

void TqvPCGoDialogListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN) {
    Key = 0;
    FDialog->Choose(GetItemIndex());
    return;
  }
  if (Key == VK_ESCAPE) {
    Key = 0;
    FDialog->Choose(-1);
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvPCGoDialogListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || GetMouseCapture()) return;
  const Integer item = ItemAtPos({X, Y}, true);
  if (item != -1 && item != GetItemIndex()) SetItemIndex(item);
}

void TqvPCGoDialogListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  const Integer item = ItemAtPos({X, Y}, true);
  if (item == -1) return;
  SetMouseCapture(false);
  FDialog->Choose(item);
}

// ---------------------------------------------------------------------------------------------
// View info

void TqvPCGoDialogViewInfo::Paint(TqvCanvas* ACanvas) {
  ACanvas->DrawEdge(Bounds, false, true);
  ACanvas->DrawEdge(qvDeflatedRect(Bounds, 1), true, false);
}

// ---------------------------------------------------------------------------------------------
// Dialog

TqvPCGoDialog::TqvPCGoDialog(TqvCustomTabControl* ATabControl)
    : TqvCustomPopupWindow(ATabControl), FTabControl(ATabControl) {
  SetCaptureFocus(true);
  SetIsTopMost(true);
  SetIsModal(false);
  SetAdjustToChildren(false);
  SetPopupDirection(pdrVertical);
  SetBounds(0, 0, kInitialWidth, kInitialHeight);
  FListBox = New<TqvPCGoDialogListBox>(this);
  FListBox->SetParent(this);
  FListBox->GetLookAndFeel()->SetMasterLookAndFeel(ATabControl->GetLookAndFeel());
}

TqvPCGoDialog::~TqvPCGoDialog() = default;

void TqvPCGoDialog::SetSorted(bool Value) { FListBox->SetSorted(Value); }

void TqvPCGoDialog::FillList() {
  FResult = -1;
  FListBox->Clear();
  FTabIndexes.clear();
  TqvVisibleTabList* tabs = FTabControl->GetVisibleTabs();
  for (Integer i = 0; i < tabs->GetCount(); ++i) {
    TqvTab* tab = tabs->GetTab(i);
    if (!tab->GetRealEnabled()) continue;
    FTabIndexes.push_back(MakeOwned<TqvTabIndex>(i));
    FListBox->AddItem(tab->GetDisplayCaption(), FTabIndexes.back().get());
  }
  for (Integer item = 0; item < FListBox->GetItems()->GetCount(); ++item)
    if (static_cast<TqvTabIndex*>(FListBox->GetItems()->GetObject(item))->GetVisibleIndex() == FActiveVisibleIndex)
      FListBox->SetItemIndex(item);
  FActiveVisibleIndex = -1;
}

void TqvPCGoDialog::Popup() {
  FListBox->SetVisible(true);
  // The item height follows the font once the list has its window.
  FListBox->HandleNeeded();
  TqvScreenCanvas canvas;
  canvas.SetFont(FListBox->GetFont());
  TStrings* items = FListBox->GetItems();
  Integer widest = 0;
  for (Integer i = 0; i < items->GetCount(); ++i) widest = std::max(widest, canvas.TextWidth(items->Get(i)));
  const Integer count = items->GetCount();
  Integer height = std::min(count, MaxVisibleItems) * FListBox->GetItemHeight();
  Integer room = ListWidth;
  if (count > MaxVisibleItems) room -= GetSystemMetrics(SM_CXVSCROLL);
  if (widest + kScrollWidthMargin > room) height += GetSystemMetrics(SM_CYHSCROLL);
  FListBox->RecreateWnd();
  FListBox->SetScrollWidth(widest + kScrollWidthMargin);
  FListBox->SetBounds(BorderWidth, BorderWidth, ListWidth, height);
  SetBounds(GetLeft(), GetTop(), ListWidth + 2 * BorderWidth, height + 2 * BorderWidth);
  GetViewInfo()->Bounds = Rect(0, 0, GetWidth(), GetHeight());
  GetViewInfo()->InnerEditRect = qvDeflatedRect(GetViewInfo()->Bounds, BorderWidth);

  const TqvTabPosition position = FTabControl->GetTabPosition();
  const TqvPCNavigatorPosition navigator = FTabControl->GetNavigatorPosition();
  const bool navigatorLeft = navigator == npLeftTop || navigator == npLeftBottom;
  const bool navigatorTop = navigator == npLeftTop || navigator == npRightTop;
  const bool vertical = position == tpLeft || position == tpRight;
  SetHorzAlign(position == tpLeft || (position != tpRight && navigatorLeft) ? phaLeft : phaRight);
  SetVertAlign(position == tpTop || (vertical && navigatorTop) ? pvaBottom : pvaTop);
  SetOwnerRectParent(FTabControl);
  SetOwnerRect(FTabControl->GetPCPainter()->GetGoDialogButtonBounds());
  TqvCustomPopupWindow::Popup(FListBox);
}

void TqvPCGoDialog::Choose(Integer AItemIndex) {
  TStrings* items = FListBox->GetItems();
  if (AItemIndex < 0 || AItemIndex >= items->GetCount()) AItemIndex = -1;
  if (AItemIndex != -1) FListBox->SetItemIndex(AItemIndex);
  FResult = AItemIndex == -1 ? -1 : static_cast<TqvTabIndex*>(items->GetObject(AItemIndex))->GetVisibleIndex();
  CloseUp(false);
}

void TqvPCGoDialog::DoClosed() {
  TAliveToken alive = AliveToken();
  inherited::DoClosed();
  if (alive && OnCloseCallback) {
    const std::function<void()> callback = OnCloseCallback;
    callback();
  }
}

void TqvPCGoDialog::AdjustClientRect(TRect& R) { R = qvDeflatedRect(Rect(0, 0, GetWidth(), GetHeight()), BorderWidth); }
