// The base of every custom-drawn windowed control of the library, and the parts it is built
// from: its own painter-drawn scroll bars and size grip, child components streamed with a
// control, the mouse-leave detector, the listener for scroll-bar metric changes, the objects of
// an internal drag-and-drop, small window and mouse routines, and the library's cursors.
//
// Where the parts live: qvControls.cpp (the control: construction, messages, mouse, focus, drag
// and drop), qvControlsScrollBars.cpp (its scroll bars, size grip and their layout),
// qvControlsAnchor.cpp (middle-button anchor scrolling), qvControlsParts.cpp (child components,
// mouse tracking, the settings controller, drag objects, routines, start-up and shut-down),
// qvControlsCursors.cpp (the cursor and anchor pictures, drawn in code).
#pragma once

#include <vector>

#include "core/qvClasses.h"
#include "lookandfeel/qvScrollBar.h"
#include "platform/forms/ExtCtrls.h"

class TqvControl;
class TqvSizeGrip;

// ---------------------------------------------------------------------------------------------
// Small types

enum TqvControlBorderStyle { qvcbsNone, qvcbsDefault };
enum TqvDragAndDropState { ddsNone, ddsPressed, ddsDragging };
enum TqvDialogKey { dkAllKeys, dkArrows, dkChars, dkTab };
using TqvDialogKeys = Cardinal;  // bit (1 << TqvDialogKey)
constexpr TqvDialogKeys dkBit(TqvDialogKey K) { return 1u << K; }
enum TqvMouseWheelScrollingKind { mwskNone, mwskHorizontal, mwskVertical };
enum TqvScrollDirection { sdNone, sdLeft, sdRight, sdUp, sdDown };

// The library's cursors, registered in the screen's cursor table at start-up.
constexpr TCursor crqvDragCopy = 2100, crqvFullScroll = 2101, crqvHorScroll = 2102, crqvVerScroll = 2103,
                  crqvUpScroll = 2104, crqvRightScroll = 2105, crqvDownScroll = 2106, crqvLeftScroll = 2107,
                  crqvRemove = 2108, crqvVertSize = 2109, crqvHorzSize = 2110, crqvMultiDrag = 2111,
                  crqvNoDrop = 2112, crqvDrag = 2113;
constexpr Integer qvCursorCount = 14;

// What a control computes for one of its scroll bars before the bar takes it.
struct TqvScrollBarSettings {
  Integer Min = 0;
  Integer Max = 100;
  Integer Position = 0;
  Integer PageSize = 0;
  TScrollBarInc SmallChange = 1;
  TScrollBarInc LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool AllowShow = true;
  bool AllowHide = true;
};

// The object holding a control's mouse capture hears when another one takes it.
class IqvMouseCaptureObject : public virtual IInterface {
 public:
  virtual void CaptureLost() = 0;
};

// Told when the font of a control it listens to changes.
class IqvFontListener : public virtual IInterface {
 public:
  virtual void FontChanged(TObject* Sender, TFont* AFont) = 0;
};

// Told once the pointer has left the rectangle it asked to be watched.
class IqvMouseTrackingCaller : public virtual IInterface {
 public:
  virtual void MouseLeave() = 0;
};

// ---------------------------------------------------------------------------------------------
// Scroll bars and size grip of a control

// A scroll bar owned by a TqvControl, fed with the settings its control computes and painted
// with its control's look and feel.
class TqvControlScrollBar : public TqvScrollBar {
  QJ_CLASS(TqvControlScrollBar, TqvScrollBar)
 public:
  // AOwner is the control.
  explicit TqvControlScrollBar(TComponent* AOwner);

  TqvScrollBarSettings& GetData() { return FData; }
  const TqvScrollBarSettings& GetData() const { return FData; }
  // The range, steps, enabled state and visibility from the settings.
  void ApplyData();

 protected:
  // A click focuses the control when it agrees, or any other parent that can take the focus.
  virtual void FocusParent();
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  TqvScrollBarSettings FData;
};

// The square between two scroll bars.
class TqvSizeGrip : public TCustomControl {
  QJ_CLASS(TqvSizeGrip, TCustomControl)
 public:
  explicit TqvSizeGrip(TComponent* AOwner);

 protected:
  void Paint() override;
};

// ---------------------------------------------------------------------------------------------
// Drag and drop

// One internal drag-and-drop operation of a control, from its start to its end. The control
// makes it through the class its GetDragAndDropObjectClass names.
class TqvDragAndDropObject : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvDragAndDropObject, TqvControl*>;
  QJ_CLASS(TqvDragAndDropObject, TObject)

 public:
  explicit TqvDragAndDropObject(TqvControl* AControl);

  TqvControl* GetControl() const { return FControl; }
  TqvCanvas* GetCanvas() const { return FCanvas; }
  bool GetDirty() const { return FDirty; }
  void SetDirty(bool Value);
  // Client coordinates; (-1, -1) before the operation starts.
  TPoint GetCurMousePos() const { return FCurMousePos; }
  TPoint GetPrevMousePos() const { return FPrevMousePos; }

  virtual TCursor GetDragAndDropCursor(bool Accepted);
  virtual bool GetImmediateStart() { return false; }

  // What the control calls: the start at the cursor, each move, the end.
  void DoBeginDragAndDrop();
  void DoDragAndDrop(TPoint P, bool& Accepted);
  void DoEndDragAndDrop(bool Accepted);

 protected:
  virtual void DirtyChanged() {}
  virtual void EndDragAndDrop(bool /*Accepted*/) {}
  virtual void BeginDragAndDrop() { DirtyChanged(); }
  virtual void DragAndDrop(TPoint P, bool& Accepted);
  virtual void AfterDragAndDrop(bool /*Accepted*/) { SetDirty(true); }

 private:
  TqvControl* FControl;
  TqvCanvas* FCanvas;
  bool FDirty = false;
  TPoint FCurMousePos{-1, -1};
  TPoint FPrevMousePos{-1, -1};
};

using TqvDragAndDropObjectClass = const TqvDragAndDropObject::MetaType*;

// The drag object of a standard drag from a control: the copy cursor while Ctrl is held over an
// accepting target. Freed with the drag.
class TqvDragControlObject : public TDragControlObject {
 public:
  using MetaType = TMetaClassFor<TDragObject, TControl*>;
  QJ_CLASS(TqvDragControlObject, TDragControlObject)

 public:
  explicit TqvDragControlObject(TControl* AControl);
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
};

using TqvDragObjectClass = const TqvDragControlObject::MetaType*;

// ---------------------------------------------------------------------------------------------
// The base control

// A custom-drawn windowed control with a library canvas, a look and feel whose painter draws its
// border, its own scroll bars and size grip, wheel and middle-button anchor scrolling, an
// internal drag-and-drop, focus rules for clicks, and the dialog keys it asks for. Descendants
// fill in the protected hooks instead of handling window messages. Code that calls out while the
// control may be freed takes its AliveToken first (the control's destroy watch).
class TqvControl : public TCustomControl {
  QJ_CLASS(TqvControl, TCustomControl)
 public:
  explicit TqvControl(TComponent* AOwner);
  ~TqvControl() override;
  // Makes the scroll bars (when HasScrollBars) and sets TabStop from MayFocus.
  void AfterConstruction() override;

  // The library canvas over the paint canvas; a screen canvas while the control has no window.
  TqvCanvas* GetCanvas();
  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  // Copies the values of Value into the control's own look and feel.
  void SetLookAndFeel(TqvLookAndFeel* Value);
  TqvControlBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TqvControlBorderStyle Value);
  TqvDialogKeys GetKeys() const { return FKeys; }
  void SetKeys(TqvDialogKeys Value) { FKeys = Value; }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // nullptr without HasScrollBars.
  TqvControlScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TqvControlScrollBar* GetVScrollBar() const { return FVScrollBar; }
  TqvSizeGrip* GetSizeGrip() const { return FSizeGrip; }
  // While the layout is computed these answer the computed settings, else the bars' own state.
  bool IsHScrollBarVisible() const;
  bool IsVScrollBarVisible() const;
  bool IsUpdatingScrollBars() const { return FUpdatingScrollBars; }
  // Places the scroll bars again from InitScrollBarsParameters (see qvControlsScrollBars.cpp).
  virtual void UpdateScrollBars();
  // True for the control's own scroll bars and size grip.
  virtual bool IsInternalControl(TControl* AControl) const;

  TqvDragAndDropObject* GetDragAndDropObject();
  // The class set for the next operation, TqvDragAndDropObject when none is.
  virtual TqvDragAndDropObjectClass GetDragAndDropObjectClass() const;
  void SetDragAndDropObjectClass(TqvDragAndDropObjectClass Value) { FDragAndDropObjectClass = Value; }
  TqvDragAndDropState GetDragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TqvDragAndDropState Value);
  // Ends an internal drag-and-drop (accepted or not) and frees its object; not re-entrant.
  void FinishDragAndDrop(bool Accepted);
  // True while Ctrl is down.
  bool IsCopyDragDrop() const;

  TObject* GetMouseCaptureObject() const { return FMouseCaptureObject; }
  // The previous object, when it implements IqvMouseCaptureObject, hears CaptureLost; the
  // control holds the mouse capture while an object is set.
  void SetMouseCaptureObject(TObject* Value);
  TPoint GetMouseDownPos() const { return FMouseDownPos; }
  bool IsMouseInPressedArea(Integer X, Integer Y) const;

  void AddFontListener(IqvFontListener* AListener);
  void RemoveFontListener(IqvFontListener* AListener);
  // Child components attach and detach themselves through these.
  virtual void AddChildComponent(TComponent* AChild);
  virtual void RemoveChildComponent(TComponent* AChild);

  void InvalidateRect(const TRect& R, bool EraseBackground);
  bool IsDestroying() const { return HasState(csDestroying); }
  // The window has the focus (descendants add focused inner controls).
  virtual bool IsFocused();

  TNotifyEvent OnFocusChanged;

 protected:
  friend class TqvControlScrollBar;
  friend class TqvCustomPopupWindow;  // an owner hears when its drop-down closed behind its back
  friend class TqvAnchorScrollMode;

  // Hooks, in the order the library adds them.
  virtual void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y);
  virtual bool CanDrag(Integer /*X*/, Integer /*Y*/) { return true; }
  virtual void BeforeMouseDown(TMouseButton, TShiftState, Integer /*X*/, Integer /*Y*/) {}
  virtual void EndMouseOperation();
  virtual bool FocusOnClick();
  virtual bool FocusWhenChildIsClicked(TControl* /*AChild*/) { return FocusOnClick(); }
  virtual Integer GetBorderSize() const;
  virtual TRect GetBounds();
  virtual TRect GetClientBounds();
  virtual TCursor GetCurrentCursor(Integer /*X*/, Integer /*Y*/) { return FDefaultCursor; }
  virtual bool IsDesigning() const { return HasState(csDesigning); }
  virtual TqvMouseWheelScrollingKind GetMouseWheelScrollingKind() const;
  virtual bool HasBackground() const { return false; }
  virtual void SetScrollBarsParent();
  virtual TqvLookAndFeelPainterClass GetPainter() const { return FLookAndFeel->GetPainter(); }
  virtual void LookAndFeelChanged(TqvLookAndFeel* /*Sender*/, TqvLookAndFeelValues /*AChangedValues*/) {}
  virtual TRect GetHScrollBarBounds();
  virtual TRect GetSizeGripBounds();
  virtual TRect GetVScrollBarBounds();
  virtual void InitScrollBarsParameters() {}
  virtual bool IsPixelScrollBar(TScrollBarKind) const { return false; }
  virtual bool HasScrollBars() const { return true; }
  virtual void Scroll(TScrollBarKind, TScrollCode, Integer& /*ScrollPos*/) {}
  virtual void SetScrollBarsBounds();
  virtual bool CanFocusEx();
  virtual bool IsClickPoint(Integer X, Integer Y) const;

  // Reactions to messages and states.
  virtual void DoColorChange() {}
  virtual void VisibleChanged() {}
  virtual bool AllowMouseDownWithoutFocus() const { return false; }
  virtual void BoundsChanged() { UpdateScrollBars(); }
  virtual bool CanStartAutoDrag(Integer /*X*/, Integer /*Y*/) const { return FDragAndDropState == ddsNone; }
  virtual void CursorChanged() { FDefaultCursor = GetCursor(); }
  virtual void DoCancelMode() { SetMouseCaptureObject(nullptr); }
  virtual void FocusChanged();
  virtual void FontChanged();
  virtual bool GetDesignHitTest(Integer /*X*/, Integer /*Y*/, TShiftState) { return FDragAndDropState != ddsNone; }
  virtual TqvDragObjectClass GetDragObjectClass() const;
  virtual bool MayFocus() const { return true; }
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);
  virtual void DragAndDrop(TPoint P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  // Whether a left mouse-down at P arms an internal drag-and-drop.
  virtual bool StartDragAndDrop(TPoint /*P*/) { return false; }
  // Whether a standard drag with this drag object may go on.
  virtual bool StartDrag(TDragObject* /*DragObject*/) { return true; }
  virtual void BeginDragAndDrop();

  // Fills the settings of one bar; called from InitScrollBarsParameters.
  void SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep, Integer APage, Integer APos,
                        bool AAllowShow, bool AAllowHide);
  // One line of scrolling in a direction, through Scroll.
  void ScrollContent(TqvScrollDirection ADirection);
  // The middle-button scrolling loop; only while a scroll bar shows.
  void RunAnchorScrollMode();

  // The platform's members the control takes over.
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void Resize() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  void CreateScrollBars();
  void DestroyScrollBars();
  void ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  void ComputeScrollBarsUntilStable();
  void ApplyBothScrollBarsRule();
  bool IsScrollBarAllowed(TScrollBarKind AKind) const;
  void ScrollBarMetricsChanged();
  TPoint MessagePoint(const TMessage& Message);
  void DispatchAutoDragButton(TMessage& Message, TPoint P);
  void CMMouseEnterLeave(TMessage& Message, bool Enter);
  void WMSetCursor(TMessage& Message);

  TOwned<TqvScreenCanvas> FScreenCanvas;
  TqvControlBorderStyle FBorderStyle = qvcbsNone;
  bool FCalculatingScrollBarsParams = false;
  TOwned<TqvCanvas> FCanvas;
  TCursor FDefaultCursor = crDefault;
  bool FSettingCurrentCursor = false;
  TOwned<TqvDragAndDropObject> FDragAndDropObject;
  TqvDragAndDropObjectClass FDragAndDropObjectClass = nullptr;
  TCursor FDragAndDropPrevCursor = crDefault;
  TqvDragAndDropState FDragAndDropState = ddsNone;
  bool FFinishingDragAndDrop = false;
  std::vector<IqvFontListener*> FFontListeners;
  TqvControlScrollBar* FHScrollBar = nullptr;
  bool FSavedHScrollBarVisible = false;
  bool FSavedVScrollBarVisible = false;
  bool FScrollBarsStable = false;
  TqvDialogKeys FKeys = 0;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  TObject* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos;
  TScrollStyle FScrollBars = ssBoth;
  TqvSizeGrip* FSizeGrip = nullptr;
  bool FUpdatingScrollBars = false;
  TqvControlScrollBar* FVScrollBar = nullptr;
};

// True while the component is being read.
inline bool IsComponentLoading(TComponent* AComponent) { return AComponent && AComponent->HasState(csLoading); }

// Posts a mouse move at P (client coordinates of AControl), or at the cursor, when AControl's
// window exists, so what now lies under a resting pointer reacts to it.
void PostMouseMove(TWinControl* AControl);
void PostMouseMove(TWinControl* AControl, TPoint P);

// ---------------------------------------------------------------------------------------------
// Child components

// A component that belongs to a control and is streamed with it (its streaming parent).
class TqvControlChildComponent : public TqvComponent {
  QJ_CLASS(TqvControlChildComponent, TqvComponent)
 public:
  explicit TqvControlChildComponent(TComponent* AOwner) : TqvComponent(AOwner) {}
  // Owned by AControl's owner when AAssignOwner, else by nobody; attached to AControl.
  TqvControlChildComponent(TqvControl* AControl, bool AAssignOwner);
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TqvControl* GetControl() const { return FControl; }
  virtual void SetControl(TqvControl* Value);
  virtual bool IsDestroying() const { return HasState(csDestroying); }
  bool IsLoading() const { return HasState(csLoading); }

  bool HasParent() override { return FControl != nullptr; }
  TComponent* GetParentComponent() override { return FControl; }
  void SetParentComponent(TComponent* Value) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TqvControl* FControl = nullptr;
  TqvControl* FInitialControl = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Mouse tracking

// One watch: a 10 ms timer that looks whether the pointer is still inside Bounds (screen
// coordinates). A watch that ends inside its own handler is freed once the handler is done.
class TMouseTrackingTimer : public TTimer {
  QJ_CLASS(TMouseTrackingTimer, TTimer)
 public:
  static constexpr Cardinal TrackingInterval = 10;

  explicit TMouseTrackingTimer(TComponent* AOwner);
  IqvMouseTrackingCaller* GetCaller() const { return FCaller; }
  TWinControl* GetControl() const { return FControl; }
  const TRect& GetBounds() const { return FBounds; }

 private:
  friend void BeginMouseTracking(TWinControl*, const TRect&, IqvMouseTrackingCaller*);
  void TimerHandler(TObject* Sender);
  bool IsCallerAlive() const { return !FCallerIsComponent || FCallerAlive; }

  IqvMouseTrackingCaller* FCaller = nullptr;
  // A caller or control freed without ending its watch is not called any more.
  bool FCallerIsComponent = false;
  TAliveToken FCallerAlive;
  TWinControl* FControl = nullptr;
  TAliveToken FControlAlive;
  TRect FBounds;
};

// Watches ABounds (client coordinates of AControl, or screen coordinates without one) every
// 10 ms; once the pointer is outside, AControl gets CM_MOUSELEAVE and ACaller MouseLeave, and the
// watch ends. A caller already watched keeps its first watch.
void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IqvMouseTrackingCaller* ACaller);
void EndMouseTracking(IqvMouseTrackingCaller* ACaller);
bool IsMouseTracking(IqvMouseTrackingCaller* ACaller);
TMouseTrackingTimer* FindMouseTrackingTimer(IqvMouseTrackingCaller* ACaller);
// The watches in the order they began.
const std::vector<TMouseTrackingTimer*>& GetMouseTrackingTimerList();

// ---------------------------------------------------------------------------------------------
// Scroll-bar metrics

// Hears changes of the system's non-client metrics and tells every registered control (the
// private message 0x8131), which then sizes its scroll bars again.
class TqvSettingsController : public TObject {
  QJ_CLASS(TqvSettingsController, TObject)
 public:
  ~TqvSettingsController() override;
  void AddControl(TqvControl* AControl);
  void RemoveControl(TqvControl* AControl);
  Integer GetControlCount() const { return static_cast<Integer>(FControls.size()); }
  void NotifyControls();

 protected:
  virtual void WndProc(TMessage& Message);

 private:
  void MainWndProc(TMessage& Message);
  std::vector<TqvControl*> FControls;
  HWND FWindow = nullptr;
};

// The process-wide controller, made on first use; Find does not make it.
TqvSettingsController* GetSettingsController();
TqvSettingsController* FindSettingsController();

// ---------------------------------------------------------------------------------------------
// Routines

// A nested loop that holds the capture of Wnd until the pointer leaves the square of twice the
// drag threshold around it (1: a drag starts), a button is released (0: a click) or Esc is
// pressed or the capture is lost (2: cancelled).
enum TqvDragStart { qvdsClick, qvdsDrag, qvdsCancel };
TqvDragStart DetectDragStart(HWND Wnd);
UINT GetDoubleClickInterval();
// The work area of the monitor nearest R's top-left corner; the desktop's when no monitor
// answers.
TRect GetMonitorWorkArea(const TRect& R);
TPoint GetMouseCursorPos();
bool IsCtrlPressed();
// Strictly less than the drag threshold away on both axes.
bool IsWithinDragThreshold(TPoint DownPos, Integer X, Integer Y);
// Between two windows' client coordinates (nullptr: the screen).
void MapWindowPoint(HWND FromWnd, HWND ToWnd, TPoint& P);
void MapWindowRect(HWND FromWnd, HWND ToWnd, TRect& R);
inline Word TranslateKey(Word Key) { return Key; }
// Nested: the first shows the hourglass, the last hide restores the cursor shown before.
void ShowHourglassCursor();
void HideHourglassCursor();

// The pictures of the library's cursors and of the anchor window, drawn in code.
struct TqvCursorPicture {
  static constexpr Integer Size = 32;
  uint32_t Pixels[Size * Size] = {};  // 0x00RRGGBB
  bool Opaque[Size * Size] = {};
  TPoint HotSpot;
};
// crqvDragCopy .. crqvDrag; other ids give an empty picture.
TqvCursorPicture GetLibraryCursorPicture(TCursor ACursor);
// Which scroll bars the anchor window stands for.
enum TqvAnchorScrollBars { asbBoth, asbHorizontal, asbVertical };
TOwned<TBitmap> CreateAnchorBitmap(TqvAnchorScrollBars AKind);

// Start-up (the cursors) and shut-down (the tracking watches, the settings controller) of the
// control foundation; the look-and-feel units run them.
void InitControlFoundation();
void DoneControlFoundation();
