// Popup windows: the borderless form placed beside a rectangle of an owner control, and the
// drop-down window of the editors built on it, which paints through a container style and closes
// itself on clicks elsewhere, application switches, owner changes and Alt+F4 (the popup hooks).
//
// Where the parts live: qvPopupWindow.cpp (placement, sizing, frame), qvPopupWindowHooks.cpp
// (the drop-down window, the open list, the hooks and the window-relation tests).
#pragma once

#include <map>

#include "lookandfeel/qvContainer.h"
#include "platform/forms/Forms.h"

enum TqvPopupHorzAlign { phaLeft, phaCenter, phaRight };
enum TqvPopupVertAlign { pvaTop, pvaCenter, pvaBottom };
enum TqvPopupDirection { pdrHorizontal, pdrVertical };

// A borderless stay-on-top form shown below, above or beside OwnerRect (client coordinates of
// OwnerRectParent), switched to the other side when that has more room on the monitor, and kept
// inside the work area along the other axis. With AdjustToChildren it sizes itself around its
// children inside the frame it draws.
class TqvPopupWindow : public TForm {
  QJ_CLASS(TqvPopupWindow, TForm)
 public:
  explicit TqvPopupWindow(TComponent* AOwner = nullptr);
  ~TqvPopupWindow() override;

  bool GetAdjustToChildren() const { return FAdjustToChildren; }
  void SetAdjustToChildren(bool Value) { FAdjustToChildren = Value; }
  TqvPopupHorzAlign GetHorzAlign() const { return FHorzAlign; }
  void SetHorzAlign(TqvPopupHorzAlign Value) { FHorzAlign = Value; }
  TqvPopupVertAlign GetVertAlign() const { return FVertAlign; }
  void SetVertAlign(TqvPopupVertAlign Value) { FVertAlign = Value; }
  Integer GetBorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(Integer Value) { FBorderSpace = Value; }
  TqvPopupFrameStyle GetPopupBorderStyle() const { return FPopupBorderStyle; }
  // The children go back to their own places; the next CalculateSize moves them by the new frame.
  void SetPopupBorderStyle(TqvPopupFrameStyle Value);
  TqvPopupDirection GetPopupDirection() const { return FPopupDirection; }
  void SetPopupDirection(TqvPopupDirection Value) { FPopupDirection = Value; }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { FFrameColor = Value; }
  const TRect& GetOwnerRect() const { return FOwnerRect; }
  void SetOwnerRect(const TRect& Value) { FOwnerRect = Value; }
  TControl* GetOwnerRectParent() const { return FOwnerRectParent; }
  void SetOwnerRectParent(TControl* Value);
  TqvCanvas* GetQVCanvas() const { return FCanvas.get(); }

  // Sides: 0 left, 1 top, 2 right, 3 bottom.
  virtual Integer GetFrameWidth(Integer ASide) const;
  virtual Integer GetBorderWidth(Integer ASide) const { return GetFrameWidth(ASide) + FBorderSpace; }
  Integer GetHorzBordersWidth() const { return GetBorderWidth(0) + GetBorderWidth(2); }
  // Where the popup goes on the screen (see the class comment); the alignments are not changed.
  virtual void CalculatePosition(TPoint& P);
  // Around the children inside the frame. Each child keeps its own place plus the frame, however
  // often this runs.
  virtual void CalculateSize();
  virtual void Popup();
  virtual void CloseUp() { Hide(); }
  // The owner rectangle on the screen.
  TRect GetOwnerScreenRect() const;

 protected:
  virtual void InitPopup();
  virtual void DrawFrame();
  virtual void VisibleChanged() {}
  void Deactivate() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The window that was active before the popup.
  HWND GetPreviousActiveWindow() const { return FPreviousActiveWindow; }

 private:
  void UnshiftChildren();
  void WMActivate(TMessage& Message);
  void WMActivateApp(TMessage& Message);

  bool FAdjustToChildren = true;
  TqvPopupHorzAlign FHorzAlign = phaLeft;
  TqvPopupVertAlign FVertAlign = pvaBottom;
  Integer FBorderSpace = 0;
  TqvPopupFrameStyle FPopupBorderStyle = pfsNone;
  TOwned<TqvCanvas> FCanvas;
  TqvPopupDirection FPopupDirection = pdrVertical;
  TColor FFrameColor = clWindowText;
  TRect FOwnerRect;
  TControl* FOwnerRectParent = nullptr;
  HWND FPreviousActiveWindow = nullptr;
  // How far CalculateSize has moved each child from its own place.
  std::map<TControl*, TPoint> FChildShifts;
};

// ---------------------------------------------------------------------------------------------
// Drop-down window

// The drop-down window of an editor, shown for OwnerControl. In capture-focus mode (the default)
// it is an activated owned popup that takes the focus and, when modal, runs its own message loop
// until it closes; otherwise it is a tool window that never takes activation while the owner
// keeps the focus. It is open exactly while it is in the process's open list, which the popup
// hooks walk to close it on clicks elsewhere, application switches and owner changes.
class TqvCustomPopupWindow : public TqvPopupWindow {
 public:
  using MetaType = TMetaClassFor<TqvCustomPopupWindow, TControl*>;
  QJ_CLASS(TqvCustomPopupWindow, TqvPopupWindow)
 public:

  explicit TqvCustomPopupWindow(TControl* AOwnerControl);
  // Makes the style and the view info (the classes the descendant names).
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TqvCustomPopupWindow() override;

  using TqvPopupWindow::CloseUp;
  using TqvPopupWindow::Popup;
  bool IsOpen() const;
  bool HasCapture();
  // Places, lists, shows and focuses the popup; a modal capture-focus popup returns only when it
  // has closed again (or was freed meanwhile).
  virtual void Popup(TWinControl* AFocusedControl);
  // With AWithQuery a refusing close query keeps it open.
  virtual void CloseUp(bool AWithQuery);
  // Closes because the application lost the activation; the owner redraws its focus look.
  void CloseUpOnDeactivation();

  bool GetCaptureFocus() const { return FCaptureFocus; }
  void SetCaptureFocus(bool Value);
  bool GetIsTopMost() const { return FIsTopMost; }
  void SetIsTopMost(bool Value);
  bool GetIsModal() const { return FIsModal; }
  void SetIsModal(bool Value) { FIsModal = Value; }
  bool GetClosedByOwnerClick() const { return FClosedByOwnerClick; }
  void SetClosedByOwnerClick(bool Value) { FClosedByOwnerClick = Value; }
  bool GetIsClosingByMessage() const { return FIsClosingByMessage; }
  void SetIsClosingByMessage(bool Value) { FIsClosingByMessage = Value; }
  TControl* GetOwnerControl() const { return FOwnerControl; }
  TWinControl* GetFocusedControl() const { return FFocusedControl; }
  TqvContainerStyle* GetStyle() const { return FStyle.get(); }
  TqvContainerViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  void RecreateWindow();
  // AControl when it can take the focus as a tab stop, else the first tab-stop child, else Self.
  TWinControl* GetFirstFocusControl(TWinControl* AControl);
  // The keys that may reach the application while a non-modal drop-down is open.
  virtual bool IsSysKeyAccepted(Word Key) const;
  bool CanFocus() override { return GetVisible(); }
  bool Focused() override;

  TNotifyEvent OnClosed, OnClosing, OnShowed, OnShowing;

 protected:
  virtual TqvContainerStyleClass GetStyleClass() const { return &TqvContainerStyle::StaticClass(); }
  virtual TqvContainerViewInfoClass GetViewInfoClass() const { return &TqvContainerViewInfo::StaticClass(); }
  virtual void DoClosed();
  virtual void DoClosing();
  virtual void DoShowed();
  virtual bool HasBackground() const { return false; }
  virtual void ContainerStyleChanged(TObject*) {}
  virtual void MouseEnter(TControl*) {}
  virtual void MouseLeave(TControl*) {}
  void InitPopup() override {}
  void VisibleChanged() override;
  void Deactivate() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Paint() override;
  void AdjustClientRect(TRect& R) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void RunModalLoop(TAliveToken& AAlive);
  void ShowAgain();
  void WMPopupClose();

  bool FCaptureFocus = true;
  TWinControl* FFocusedControl = nullptr;
  bool FIsClosingByMessage = false;
  bool FIsTopMost = false;
  bool FClosedByOwnerClick = false;
  bool FIsModal = true;
  bool FDestroying = false;
  TControl* FOwnerControl;
  TOwned<TqvContainerStyle> FStyle;
  TOwned<TqvContainerViewInfo> FViewInfo;
};

using TqvCustomPopupWindowClass = const TqvCustomPopupWindow::MetaType*;

// Posts the close request to the popup's window (to close from inside one of its events).
void PostPopupCloseMessage(TqvCustomPopupWindow* APopup);

// The open drop-downs, oldest first.
Integer GetOpenPopupCount();
TqvCustomPopupWindow* GetOpenPopup(Integer Index);

// Window-relation tests of the popup hooks.
bool IsChildOfControlWindow(TWinControl* AControl, HWND Wnd);
bool IsWindowInPopupTree(TWinControl* APopup, HWND Wnd);
bool IsPopupRelatedWindow(TWinControl* APopup, HWND Wnd);
bool IsWindowOfControlForm(TControl* AControl, HWND Wnd);
bool IsPopupOwnerMDIRelated(TqvCustomPopupWindow* APopup, HWND Wnd);
// What a left click at Point in Wnd closes; false when the click is to be swallowed.
bool ClosePopupsOnMouseDown(HWND Wnd, UINT Message, TPoint Point);

// The open list and the three thread hooks, from the containers unit's start-up to its shut-down.
void InitPopupHooks();
void DonePopupHooks();
