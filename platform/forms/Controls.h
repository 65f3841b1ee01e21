// Controls: the visual component tree. TControl is anything with bounds inside a parent;
// TWinControl owns a window (made on demand) and children; TGraphicControl is drawn by its
// parent's paint; TCustomControl paints through a canvas. Messages reach a control through
// WindowProc -> WndProc -> Dispatch (by message number) -> DefaultHandler.
//
// Where the parts live: Controls.cpp (TControl: bounds, alignment requests, appearance, mouse,
// helpers of the control tree), WinControl.cpp (TWinControl: its window, children and their
// alignment, focus and tab order, keys, painting; TCustomControl and TGraphicControl),
// ControlsDrag.cpp (drag and drop, drag objects and docking).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/os/Windows.h"

class TWinControl;
class TCustomForm;
class TControl;
class TPopupMenu;
class TDragObject;
class TBasicAction;

extern const TResourceString SParentRequired;
extern const TResourceString SCannotFocus;
extern const TResourceString SControlParentSetToSelf;
extern const TResourceString SWindowClass;

// ---------------------------------------------------------------------------------------------
// Messages

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// CM_DRAG: the drag message kind travels in WParam, a TDragRec* in LParam.
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// ---------------------------------------------------------------------------------------------
// Small types

enum TShiftStateFlag : Cardinal {
  ssShift = 1u << 0, ssAlt = 1u << 1, ssCtrl = 1u << 2, ssLeft = 1u << 3,
  ssRight = 1u << 4, ssMiddle = 1u << 5, ssDouble = 1u << 6,
};
using TShiftState = Cardinal;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : Cardinal { akLeft = 1u << 0, akTop = 1u << 1, akRight = 1u << 2, akBottom = 1u << 3 };
using TAnchors = Cardinal;
constexpr TAnchors AnchorAlign[] = {akLeft | akTop, akLeft | akTop | akRight, akLeft | akRight | akBottom,
                                    akLeft | akTop | akBottom, akRight | akTop | akBottom,
                                    akLeft | akTop | akRight | akBottom, akLeft | akTop};

enum TControlStyleFlag : Cardinal {
  csAcceptsControls = 1u << 0, csCaptureMouse = 1u << 1, csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3, csFramed = 1u << 4, csSetCaption = 1u << 5, csOpaque = 1u << 6,
  csDoubleClicks = 1u << 7, csFixedWidth = 1u << 8, csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10, csReplicatable = 1u << 11, csNoStdEvents = 1u << 12,
  csDisplayDragImage = 1u << 13, csReflector = 1u << 14, csActionClient = 1u << 15,
  csMenuEvents = 1u << 16, csNeedsBorderPaint = 1u << 17, csParentBackground = 1u << 18,
};
using TControlStyle = Cardinal;

enum TControlStateFlag : Cardinal {
  csLButtonDown = 1u << 0, csClicked = 1u << 1, csPalette = 1u << 2, csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4, csFocusing = 1u << 5, csCreating = 1u << 6, csPaintCopy = 1u << 7,
  csCustomPaint = 1u << 8, csDestroyingHandle = 1u << 9, csDocking = 1u << 10,
};
using TControlState = Cardinal;

using TCursor = SmallInt;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;

enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TTextLayout { tlTop, tlCenter, tlBottom };

using TModalResult = Integer;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCaption = String;
enum THelpType { htKeyword, htContext };
// Input-method modes are kept for the controls that pass them on; the single-byte code page of
// the program needs no input method.
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
using TImeName = String;

// The shift state of a key message's moment, and of the mouse message's key flags.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeyboardStateToShiftState();

// ---------------------------------------------------------------------------------------------
// Events

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = std::function<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;

// ---------------------------------------------------------------------------------------------
// Size constraints (0: no limit)

class TSizeConstraints : public TPersistent {
  QJ_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
  void Assign(TPersistent* Source) override;

  Integer GetMinWidth() const { return FMinWidth; }
  Integer GetMinHeight() const { return FMinHeight; }
  Integer GetMaxWidth() const { return FMaxWidth; }
  Integer GetMaxHeight() const { return FMaxHeight; }
  // Negative values become 0; a minimum above the maximum raises the maximum.
  void SetMinWidth(Integer Value);
  void SetMinHeight(Integer Value);
  void SetMaxWidth(Integer Value);
  void SetMaxHeight(Integer Value);
  TControl* GetControl() const { return FControl; }

  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* FControl;
  Integer FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// ---------------------------------------------------------------------------------------------
// Drag objects

// Travels with a drag from the source to the targets. CM_DRAG carries a TDragRec.
class TDragObject : public TObject {
  QJ_CLASS(TDragObject, TObject)
 public:
  // The cursor over a target that accepts (or refuses) the drop.
  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  // Told when the drag ends; Target is nullptr when it was cancelled or refused.
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
  // The object the targets see as Source in their events.
  virtual TObject* GetSource() { return this; }
  virtual String GetName() { return ClassName(); }

  TPoint GetDragPos() const { return FDragPos; }
  TWinControl* GetDragTarget() const { return FDragTarget; }
  HWND GetDragHandle() const { return FDragHandle; }
  bool GetCancelling() const { return FCancelling; }
  bool GetDropped() const { return FDropped; }
  bool GetAlwaysShowDragImages() const { return FAlwaysShowDragImages; }
  void SetAlwaysShowDragImages(bool Value) { FAlwaysShowDragImages = Value; }
  // An object the drag made itself is freed when the drag ends.
  bool GetAutoCreated() const { return FAutoCreated; }

 protected:
  // A drag object that a control's DoStartDrag makes for itself asks to be freed the same way.
  void SetAutoCreated(bool Value) { FAutoCreated = Value; }

 private:
  friend class TDragManager;
  TPoint FDragPos;
  TControl* FDragTargetControl = nullptr;
  TWinControl* FDragTarget = nullptr;
  HWND FDragHandle = nullptr;
  bool FCancelling = false;
  bool FDropped = false;
  bool FAlwaysShowDragImages = false;
  bool FAutoCreated = false;
};

class TBaseDragControlObject : public TDragObject {
  QJ_CLASS(TBaseDragControlObject, TDragObject)
 public:
  explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* GetControl() const { return FControl; }
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;

 protected:
  TControl* FControl;
};

// The drag object of a control dragged with BeginDrag: the targets see the control as Source.
class TDragControlObject : public TBaseDragControlObject {
  QJ_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  TObject* GetSource() override;
};

// The drag object of a control dragged to dock: where it would go, and the dock site it would
// join (none: it would float there).
class TDragDockObject : public TBaseDragControlObject {
  QJ_CLASS(TDragDockObject, TBaseDragControlObject)
 public:
  explicit TDragDockObject(TControl* AControl);
  // Screen coordinates.
  const TRect& GetDockRect() const { return FDockRect; }
  void SetDockRect(const TRect& Value) { FDockRect = Value; }
  TWinControl* GetDockSite() const { return FDockSite; }
  bool GetFloating() const { return FDockSite == nullptr; }
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;

 private:
  friend class TDragManager;
  TRect FDockRect;
  TWinControl* FDockSite = nullptr;
};

// CM_DOCKNOTIFICATION tells a dock site of a change of one of its clients: WParam is the
// client, LParam this record with the client's message (CM_TEXTCHANGED, CM_VISIBLECHANGED).
struct TDockNotifyRec {
  UINT ClientMsg = 0;
  WPARAM MsgWParam = 0;
  LPARAM MsgLParam = 0;
};

struct TDragRec {
  TPoint Pos;  // screen position
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};

// ---------------------------------------------------------------------------------------------
// TControl

class TControl : public TComponent {
  QJ_CLASS(TControl, TComponent)
  friend class TControlCanvas;

 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  void BeforeDestruction() override;

  // Parent and geometry
  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() override { return true; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;

  Integer GetLeft() const { return FLeft; }
  Integer GetTop() const { return FTop; }
  Integer GetWidth() const { return FWidth; }
  Integer GetHeight() const { return FHeight; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // Moves and sizes the control within its constraints; negative sizes become 0.
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  virtual TRect GetClientRect();
  Integer GetClientWidth() { return GetClientRect().Width(); }
  Integer GetClientHeight() { return GetClientRect().Height(); }
  void SetClientWidth(Integer Value) { SetClientSize({Value, GetClientHeight()}); }
  void SetClientHeight(Integer Value) { SetClientSize({GetClientWidth(), Value}); }
  virtual void SetClientSize(TSize Value);
  // The screen position of the client area's top-left corner.
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(TPoint P) { TPoint o = GetClientOrigin(); return {P.X + o.X, P.Y + o.Y}; }
  TPoint ScreenToClient(TPoint P) { TPoint o = GetClientOrigin(); return {P.X - o.X, P.Y - o.Y}; }
  TPoint ClientToParent(TPoint P, TWinControl* AParent = nullptr);
  TPoint ParentToClient(TPoint P, TWinControl* AParent = nullptr);

  TAlign GetAlign() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* GetConstraints() const { return FConstraints.get(); }
  bool GetAutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);

  // State and appearance
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show();
  void Hide() { SetVisible(false); }
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool GetParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  // The menu is a component (its class lives in the menus unit): the control hears when it goes.
  template <class TMenu>
  void SetPopupMenu(TMenu* Value) {
    SetPopupMenuComponent(Value, Value);
  }
  void SetPopupMenuComponent(TPopupMenu* Menu, TComponent* AsComponent);
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool GetParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool GetParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  TCaption GetText();
  void SetText(const TCaption& Value);
  TCaption GetCaption() { return GetText(); }
  void SetCaption(const TCaption& Value) { SetText(Value); }
  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState GetControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  bool IsControl() const { return FIsControl; }
  void SetIsControl(bool Value) { FIsControl = Value; }
  Integer GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }
  const String& GetHelpKeyword() const { return FHelpKeyword; }
  void SetHelpKeyword(const String& Value) { FHelpKeyword = Value; }
  THelpType GetHelpType() const { return FHelpType; }
  void SetHelpType(THelpType Value) { FHelpType = Value; }
  TBasicAction* GetAction() const { return FAction; }
  void SetAction(TBasicAction* Value);

  // Drag and drop
  TDragMode GetDragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragKind GetDragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  // Starts dragging (DragKind dkDock: to dock) now, or once the mouse moved Threshold pixels
  // (-1: Mouse.DragThreshold).
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;

  // Docking (ControlsDrag.cpp). The dock site the control is docked to (a floating control's
  // is the floating form that holds it).
  TWinControl* GetHostDockSite() const { return FHostDockSite; }
  // Leaves its host (which may refuse: false) and joins NewDockSite; nullptr floats it.
  bool ManualDock(TWinControl* NewDockSite);
  // Leaves its host and floats in a form of its own at ScreenPos (a form floats by itself).
  bool ManualFloat(const TRect& ScreenPos);
  bool GetFloating() const;

  // Messages and painting
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  // Routes by message number; unhandled messages go to DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);
  // Tells the parent with CM_CHANGED.
  void Changed();
  virtual void Click();
  virtual void DblClick();
  bool GetMouseCapture() const;
  void SetMouseCapture(bool Value);
  virtual TPopupMenu* GetPopupMenu();
  virtual bool ExecuteAction(TBasicAction* Action) override;
  virtual bool UpdateAction(TBasicAction* Action) override;
  virtual void InitiateAction();
  // Whether the control is visible and every parent is showing.
  bool GetShowing() const;

  // Events
  TNotifyEvent OnClick, OnDblClick, OnResize, OnMouseEnter, OnMouseLeave;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown, OnMouseWheelUp;
  TContextPopupEvent OnContextPopup;
  TCanResizeEvent OnCanResize;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;

  // Drag target side, called by the drag manager.
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  void BeginAutoDrag();

 protected:
  friend class TWinControl;
  friend class TDragManager;
  friend class TApplication;

  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void Resize();
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual bool CanAutoSize(Integer& NewWidth, Integer& NewHeight);
  virtual void ConstrainedResize(Integer& /*MinWidth*/, Integer& /*MinHeight*/, Integer& /*MaxWidth*/, Integer& /*MaxHeight*/) {}
  virtual void AdjustSize();
  void DoAutoSize();
  virtual void ParentFontChanged() {}
  virtual void VisibleChanging() {}
  virtual void RequestAlign();
  void UpdateAnchorRules();
  void AnchorToParent(TSize NewParentSize);
  virtual HWND GetDeviceContextWindow() const;
  virtual void UpdateBoundsRect(const TRect& R);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  virtual void SetTextBuf(const String& Value);
  virtual String GetTextBuf();
  void FontChanged(TObject* Sender);
  void ConstraintsChanged(TObject* Sender);

  void WMMouseButton(TMessage& M, TMouseButton Button, bool Down, bool Double);
  void WMMouseMove(TMessage& M);
  void WMMouseWheel(TMessage& M);
  void WMContextMenu(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMColorChanged(TMessage& M);
  void CMParentFontChanged(TMessage& M);
  void CMParentColorChanged(TMessage& M);
  void CMParentShowHintChanged(TMessage& M);
  void CMParentBiDiModeChanged(TMessage& M);
  void CMParentCtl3DChanged(TMessage& M);
  void CMHitTest(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void CMDrag(TMessage& M);

  TWinControl* FParent = nullptr;
  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  TColor FColor = clWindow;
  TCaption FText;

 private:
  void SetParentInternal(TWinControl* AParent);
  void DoMouseButtonEvent(TMouseButton Button, bool Down, TShiftState Shift, Integer X, Integer Y);

  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  TRect FAnchorRules;  // left, top, right gap, bottom gap to the parent's client area
  bool FAnchorsValid = false;
  bool FAnchoring = false;
  TOwned<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentColor = true;
  TOwned<TFont> FFont;
  bool FParentFont = true;
  bool FChangingFont = false;
  TCursor FCursor = crDefault;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TComponent* FPopupMenuComponent = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FIsControl = false;
  Integer FHelpContext = 0;
  String FHelpKeyword;
  THelpType FHelpType = htContext;
  TBasicAction* FAction = nullptr;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
  TDragKind FDragKind = dkDrag;
  TWinControl* FHostDockSite = nullptr;
  void NotifyHostDockSite(UINT AMessage, WPARAM AWParam);
};

// ---------------------------------------------------------------------------------------------
// TWinControl

struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSEX WindowClass;
  String WinClassName;
};

class TWinControl : public TControl {
  QJ_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  // A control living in a window that is not ours.
  static TWinControl* CreateParented(HWND ParentWindow);
  ~TWinControl() override;

  void BeforeDestruction() override;
  void SetParent(TWinControl* AParent) override;

  // The window, made (with its parents') on first use.
  HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  virtual void CreateHandle();
  virtual void DestroyHandle();
  void RecreateWnd();
  HWND GetParentWindow() const { return FParentWindow; }
  // The procedure unhandled messages go to (the window class's own before ours took over).
  WNDPROC GetDefWndProc() const { return FDefWndProc; }
  void SetDefWndProc(WNDPROC Value) { FDefWndProc = Value; }
  void SetParentWindow(HWND Value);
  bool GetShowing() const { return FShowing; }
  void UpdateControlState();

  // Children in z-order: graphic controls first, then windowed ones.
  Integer GetControlCount() const;
  TControl* GetControl(Integer Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  TControl* FindChildControl(const String& ControlName) const;
  // The top-most child under Pos (client coordinates) that is visible (and enabled unless
  // AllowDisabled); windowed children only when AllowWinControls.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);

  // Alignment
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void ReAlignNow(TControl* AControl);

  // Focus and tab order
  virtual bool CanFocus();
  virtual void SetFocus();
  virtual bool Focused();
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  Integer GetTabOrder() const;
  void SetTabOrder(Integer Value);
  // Every tab-stop candidate under this control, depth first in tab order. A child adds its
  // own candidates right after itself (and may stand in another's place).
  virtual void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual void SelectFirst();

  // Painting
  TBrush* GetBrush() const { return FBrush.get(); }
  TImeMode GetImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  const TImeName& GetImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  bool GetParentBackground() const { return (FControlStyle & csParentBackground) != 0; }
  void SetParentBackground(bool Value);
  void PaintControls(HDC DC, TControl* First);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetZOrder(bool TopMost) override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnEnter, OnExit;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Used by the key routing of the application and the form.
  bool DoKeyDown(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyUp(TMessage& Message);

  // Docking: controls dragged to dock (or docked in code) onto a dock site become its clients.
  bool GetDockSite() const { return FDockSite; }
  void SetDockSite(bool Value) { FDockSite = Value; }
  Integer GetDockClientCount() const { return static_cast<Integer>(FDockClients.size()); }
  TControl* GetDockClient(Integer Index) const { return FDockClients.at(size_t(Index)); }
  // Whether a client dragged over the site may dock, and the screen rectangle in which it may.
  virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
  // Asked while a client is dragged over the site (client coordinates); may set the dock rect.
  virtual void DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  // The client dropped on the site docks to it.
  virtual void DockDrop(TDragDockObject* Source, Integer X, Integer Y);

 protected:
  friend class TControl;
  friend class TDragManager;
  // A client joins: the base parents it to the site at ARect (client coordinates).
  virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
  // A client has left.
  virtual void DoRemoveDockClient(TControl*) {}
  // A client is about to leave for NewTarget (nullptr: floating); false keeps it.
  virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
  friend class TCustomForm;
  friend class TApplication;

  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void ShowControl(TControl*) {}
  void UpdateShowing();
  virtual void SetShowing(bool Value);
  void UpdateBounds();
  HWND GetDeviceContextWindow() const override;
  void Loaded() override;
  void AlignChildren(TRect& Rect, TControl* AControl);
  void AnchorChildren(TSize NewSize);
  void DoubleBufferedPaint(HDC DC);

  void WMPaint(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void WMSize(TMessage& M);
  void WMMove(TMessage& M);
  void WMWindowPosChanged(TMessage& M);
  void WMSetCursor(TMessage& M);
  void WMKeyDown(TMessage& M);
  void WMKeyUp(TMessage& M);
  void WMChar(TMessage& M);
  void WMSysChar(TMessage& M);
  void WMNCDestroy(TMessage& M);
  // Reflects a child's notification (command, scroll, owner drawing, colours) to the child.
  void WMCommandLike(TMessage& M);
  void AnswerCtlColor(TMessage& Message);
  void CNKeyDown(TMessage& M);
  void CNChar(TMessage& M);
  void CMDialogKey(TMessage& M);
  void CMDialogChar(TMessage& M);
  void CMShowingChanged(TMessage& M);
  void CMEnabledChangedWin(TMessage& M);
  void CMColorChangedWin(TMessage& M);
  void CMFontChangedWin(TMessage& M);
  void CMVisibleChangedWin(TMessage& M);
  void CMSysColorChange(TMessage& M);
  void CMWinIniChange(TMessage& M);
  void CMChanged(TMessage& M);
  void CMCursorChangedWin(TMessage& M);
  void CMInvalidate(TMessage& M);
  void CMEnter(TMessage& M);
  void CMExit(TMessage& M);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;

 private:
  friend LRESULT ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  bool IsControlMouseMsg(TMessage& Message);
  void SetZOrderPosition(TControl* Control, bool TopMost);
  // The window of the next windowed child above Control that has one, else HWND_TOP.
  HWND PrecedingWindow(TWinControl* Control) const;
  void BrushChanged(TObject*);

  std::vector<TControl*> FControls;     // graphic children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;
  TOwned<TBrush> FBrush;
  Integer FAlignLevel = 0;
  bool FTabStop = false;
  bool FDockSite = false;
  std::vector<TControl*> FDockClients;
  bool FShowing = false;
  bool FDoubleBuffered = false;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  TSize FLastClientSize;
};

// ---------------------------------------------------------------------------------------------
// Canvas of a control: a DC of the control's window (or its parent's, clipped, for a graphic
// control), made on first use and released when the control's window goes.

class TControlCanvas : public TCanvas {
  QJ_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* Value);
  // Releases a DC this canvas made (a DC given through SetHandle is only dropped).
  void FreeHandle();
  // Right-to-left reading for controls that use it.
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

class TGraphicControl : public TControl {
  QJ_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message);

 private:
  TOwned<TControlCanvas> FCanvas;
};

class TCustomControl : public TWinControl {
  QJ_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void DestroyWnd() override;

 private:
  TOwned<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// Helpers

// The form a control sits on (nullptr when none).
TCustomForm* GetParentForm(TControl* Control);
// Like GetParentForm, but raises EInvalidOperation when there is none.
TCustomForm* ValidParentForm(TControl* Control);
// The control of a window of ours, or nullptr.
TWinControl* FindControl(HWND Handle);
// The control under a screen point: windowed, or a graphic child when AllowDisabled allows.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

// The control that has the mouse captured (a graphic control captures through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// The parts of a "short|long" hint.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
// Shows a control's popup menu at a screen position; the menus unit installs it. A context-menu
// request that no OnContextPopup handled goes to it when the control has a popup menu.
using TShowPopupMenuFunc = void (*)(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos);
void SetShowPopupMenuFunc(TShowPopupMenuFunc Func);
// Offers a key down reaching a control (CN_KEYDOWN/CN_SYSKEYDOWN) to the menus as a shortcut
// before the control sees it; the menus unit installs it. True when a menu item took the key.
using TMenuKeyFunc = bool (*)(TWinControl* Control, TMessage& Message);
void SetMenuKeyFunc(TMenuKeyFunc Func);
// Runs the installed function (false without one or at design time).
bool IsMenuKey(TWinControl* Control, TMessage& Message);
// Tells the focused control of Sender's form to leave any mode (capture, drop-down) it is in.
void SendCancelMode(TControl* Sender);
// Drops every global reference to a control that is going away (capture, drag, hint, mouse).
void ControlGoingAway(TControl* Control);
// A hidden window of ours whose messages go to Method; free it with DeallocateHWnd.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// Drag state for the whole program.
TDragObject* ActiveDragObject();
void CancelDrag();
