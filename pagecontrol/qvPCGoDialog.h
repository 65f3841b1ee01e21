// The go dialog: the drop-down list of a tab control's enabled visible tabs that its go button
// opens; choosing an entry selects that tab.
#pragma once

#include <functional>
#include <vector>

#include "lookandfeel/qvInnerListBox.h"
#include "lookandfeel/qvPopupWindow.h"

class TqvCustomTabControl;
class TqvPCGoDialog;

// The object of a list item: the visible index of its tab.
class TqvTabIndex : public TObject {
  QJ_CLASS(TqvTabIndex, TObject)
 public:
  explicit TqvTabIndex(Integer AVisibleIndex) : FVisibleIndex(AVisibleIndex) {}
  Integer GetVisibleIndex() const { return FVisibleIndex; }

 private:
  Integer FVisibleIndex;
};

// The list of the go dialog: Enter chooses the selected item, Esc nothing; the pointer selects
// the item under it and a left-button release over an item chooses it.
class TqvPCGoDialogListBox : public TqvCustomInnerListBox {
  QJ_CLASS(TqvPCGoDialogListBox, TqvCustomInnerListBox)
 public:
  explicit TqvPCGoDialogListBox(TqvPCGoDialog* ADialog);

  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  TqvPCGoDialog* FDialog;
};

// A raised outer and a sunken inner edge around the list.
class TqvPCGoDialogViewInfo : public TqvContainerViewInfo {
  QJ_CLASS(TqvPCGoDialogViewInfo, TqvContainerViewInfo)
 protected:
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvPCGoDialog : public TqvCustomPopupWindow {
  QJ_CLASS(TqvPCGoDialog, TqvCustomPopupWindow)
 public:
  static constexpr Integer ListWidth = 125;
  static constexpr Integer MaxVisibleItems = 7;
  static constexpr Integer BorderWidth = 2;

  explicit TqvPCGoDialog(TqvCustomTabControl* ATabControl);
  ~TqvPCGoDialog() override;

  TqvCustomTabControl* GetTabControl() const { return FTabControl; }
  TqvPCGoDialogListBox* GetListBox() const { return FListBox; }
  // Alphabetical order, or the tabs' order.
  void SetSorted(bool Value);
  // The tab whose entry FillList preselects; reset to -1 by FillList.
  void SetActiveVisibleIndex(Integer Value) { FActiveVisibleIndex = Value; }
  // Lists the really enabled visible tabs by display caption and preselects the active one.
  void FillList();
  using TqvCustomPopupWindow::Popup;
  // Sizes the list, places the dialog at the tab control's go button and shows it.
  void Popup() override;
  // The visible index of the chosen tab; -1 for none.
  Integer GetResult() const { return FResult; }
  // Sets the result (-1: none) and closes.
  void Choose(Integer AItemIndex);

  // Called once the dialog has closed.
  std::function<void()> OnCloseCallback;

 protected:
  TqvContainerViewInfoClass GetViewInfoClass() const override { return &TqvPCGoDialogViewInfo::StaticClass(); }
  void DoClosed() override;
  void AdjustClientRect(TRect& R) override;

 private:
  TqvCustomTabControl* FTabControl;
  TqvPCGoDialogListBox* FListBox;
  std::vector<TOwned<TqvTabIndex>> FTabIndexes;
  Integer FActiveVisibleIndex = -1;
  Integer FResult = -1;
};
