// The list box editor: a container that frames an inner platform list box in the look and feel
// of its style, forwards nearly every list setting to it, asks a data binding whether the list
// may change and which item to select, and can snap its height to whole rows.
#pragma once

#include "core/qvFormats.h"
#include "lookandfeel/qvInnerListBox.h"

class TqvListBox;

using TqvListBoxDrawItemEvent = std::function<void(TqvListBox* AControl, TqvCanvas* ACanvas, Integer AIndex,
                                                   TRect ARect, TOwnerDrawState AState)>;
using TqvListBoxMeasureItemEvent = std::function<void(TqvListBox* AControl, Integer AIndex, Integer& Height)>;

// The list box's inner list: no border, no tab stop of its own. While its container's binding
// refuses changes, a click only focuses and navigation and typing keys are dropped.
class TqvInnerListBox : public TqvCustomInnerListBox {
  QJ_CLASS(TqvInnerListBox, TqvCustomInnerListBox)
 public:
  explicit TqvInnerListBox(TComponent* AOwner);
  TqvListBox* GetListBox() const;

  // Exactly when the list box may take the focus.
  bool CanFocus() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void Click() override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

 protected:
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;

 private:
  bool IsReadOnly() const;
};

class TqvListBox : public TqvContainer {
  QJ_CLASS(TqvListBox, TqvContainer)
 public:
  explicit TqvListBox(TComponent* AOwner);
  void AfterConstruction() override;
  ~TqvListBox() override;

  TqvInnerListBox* GetInnerListBox() const { return FInnerListBox; }
  TqvCustomDataBinding* GetDataBinding() const { return FDataBinding.get(); }

  // -- Settings forwarded to the inner list box
  bool GetAutoComplete() const { return FInnerListBox->GetAutoComplete(); }
  void SetAutoComplete(bool Value) { FInnerListBox->SetAutoComplete(Value); }
  Integer GetColumns() const { return FInnerListBox->GetColumns(); }
  // The mirrored scroll bars follow.
  void SetColumns(Integer Value);
  bool GetExtendedSelect() const { return FInnerListBox->GetExtendedSelect(); }
  void SetExtendedSelect(bool Value) { FInnerListBox->SetExtendedSelect(Value); }
  Integer GetItemHeight() const { return FInnerListBox->GetItemHeight(); }
  void SetItemHeight(Integer Value);
  TStrings* GetItems() const { return FInnerListBox->GetItems(); }
  // Copies Value; the binding's change notification follows.
  void SetItems(TStrings* Value);
  TListBoxStyle GetListStyle() const { return FInnerListBox->GetStyle(); }
  void SetListStyle(TListBoxStyle Value);
  bool GetMultiSelect() const { return FInnerListBox->GetMultiSelect(); }
  void SetMultiSelect(bool Value) { FInnerListBox->SetMultiSelect(Value); }
  Integer GetScrollWidth() const { return FInnerListBox->GetScrollWidth(); }
  void SetScrollWidth(Integer Value);
  bool GetSorted() const { return FInnerListBox->GetSorted(); }
  void SetSorted(bool Value) { FInnerListBox->SetSorted(Value); }
  Integer GetTabWidth() const { return FInnerListBox->GetTabWidth(); }
  void SetTabWidth(Integer Value) { FInnerListBox->SetTabWidth(Value); }
  Integer GetItemIndex() const { return FInnerListBox->GetItemIndex(); }
  void SetItemIndex(Integer Value) { FInnerListBox->SetItemIndex(Value); }
  void Clear() { FInnerListBox->Clear(); }
  Integer ItemAtPos(TPoint P, bool Existing) { return FInnerListBox->ItemAtPos(P, Existing); }

  // -- Integral height: the height snaps down to whole rows, never below one row.
  bool GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  // The height of row AIndex by the list style; never below 1.
  Integer GetRowHeight(Integer AIndex);
  void AdjustIntegralHeight(Integer& AHeight);

  // -- Owner drawing, with the list box itself as the control.
  const TqvListBoxDrawItemEvent& GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(TqvListBoxDrawItemEvent Value);
  const TqvListBoxMeasureItemEvent& GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(TqvListBoxMeasureItemEvent Value);

  // Esc resets the binding.
  void KeyPress(char& Key) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // The mirrored scroll bars of the inner list box are the list box's own.
  bool IsInternalControl(TControl* AControl) const override;

 protected:
  friend class TqvInnerListBox;

  virtual TqvCustomDataBindingClass GetDataBindingClass() const;
  // The stored value selects the item of that text (none without a value).
  void DataChange() override;
  // The selected item's text goes into the binding.
  void UpdateData() override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void SetInnerControlBounds() override;
  void DoExit() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  bool IsIntegralHeightApplied() const;
  // Drops the mouse moves queued for the inner list box, so no stale hot tracking follows a
  // resize.
  void PurgeInnerMouseMoves();

  TqvInnerListBox* FInnerListBox = nullptr;
  TOwned<TqvCustomDataBinding> FDataBinding;
  bool FIntegralHeight = false;
  bool FExiting = false;
  TqvListBoxDrawItemEvent FOnDrawItem;
  TqvListBoxMeasureItemEvent FOnMeasureItem;
};
