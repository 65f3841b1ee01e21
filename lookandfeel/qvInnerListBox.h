// The platform list box as the inner control of a container or a drop-down: it hands its input
// to the container, tells it about focus changes, and shows painter-drawn scroll bars exactly
// over its native ones.
#pragma once

#include "lookandfeel/qvContainer.h"
#include "lookandfeel/qvScrollBar.h"
#include "platform/forms/StdCtrls.h"

class TqvCustomInnerListBox : public TListBox, public IqvContainerInnerControl {
  QJ_CLASS(TqvCustomInnerListBox, TListBox)
 public:
  explicit TqvCustomInnerListBox(TComponent* AOwner);
  ~TqvCustomInnerListBox() override;

  TWinControl* GetControl() override { return this; }
  TqvContainer* GetControlContainer() override { return FContainer; }
  // Set by the owner; nullptr when the list box stands alone.
  TqvContainer* GetContainer() const { return FContainer; }
  void SetContainer(TqvContainer* Value) { FContainer = Value; }
  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  TqvCanvas* GetQVCanvas() const { return FCanvas.get(); }
  // The mirror bars (nullptr once freed elsewhere).
  TqvScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TqvScrollBar* GetVScrollBar() const { return FVScrollBar; }

  // Places each mirror bar over its native bar (shown only while that is) and gives it the
  // native bar's range and position.
  void SetScrollBarsParameters();
  // The corner between two shown bars, relative to the list box's window rectangle; empty
  // otherwise.
  void GetSizeGripRect(TRect& R) const;

  // Input the container hands on to its own handlers first.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  TPopupMenu* GetPopupMenu() override;

 protected:
  virtual void MouseEnter(TControl*) {}
  virtual void MouseLeave(TControl* AControl);
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void ScrollByMirror(TqvScrollBar* ABar, UINT AMessage, int ABarKind, TScrollCode ScrollCode, Integer& ScrollPos);
  void MirrorScrollBar(TqvScrollBar* ABar, LONG AObjectId, int ABarKind);
  void PaintSizeGrip();
  bool IsContainerGoing() const { return !FContainer || FContainer->IsDestroying(); }
  TPoint ToContainer(Integer X, Integer Y) const { return {X + GetLeft(), Y + GetTop()}; }

  TOwned<TqvCanvas> FCanvas;
  TqvContainer* FContainer = nullptr;
  TqvScrollBar* FHScrollBar = nullptr;
  TqvScrollBar* FVScrollBar = nullptr;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  bool FReparentingBar = false;  // a mirror bar moving to the parent does not synchronise again
  bool FCalculating = false;
};
