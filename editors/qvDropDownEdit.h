// The drop-down editors' common machinery: the settings of the popup and its drop-down button,
// the text edit that owns one popup window and opens, closes, sizes and feeds it (standalone or
// in place in a grid cell), the popup window with its frame, system panel, size grip and close
// button, resized by the mouse, and the look and feel handed to the controls shown inside it.
//
// The popup opens asynchronously: DropDown positions the window and posts the show message, which
// the window handles once the key or click that asked for it is finished. Resizing is live: the
// window follows the mouse (snapped by the content), nothing is drawn on the screen.
//
// Where the parts live: qvDropDownEdit.cpp (properties, view data, edit), qvDropDownEditPopup.cpp
// (the popup window and the popup look and feel).
#pragma once

#include "editors/qvEditPopupWindowViewInfo.h"
#include "editors/qvMaskEdit.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/qvPopupWindow.h"

class TqvCustomDropDownEdit;
class TqvCustomEditPopupWindow;

using TqvCustomEditPopupWindowClass = TqvCustomPopupWindowClass;

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomDropDownEditProperties : public TqvCustomMaskEditProperties {
  QJ_CLASS(TqvCustomDropDownEditProperties, TqvCustomMaskEditProperties)
 public:
  // Adds the drop-down button (kind bkDown).
  explicit TqvCustomDropDownEditProperties(TPersistent* AOwner);
  // Copies the popup settings and events in one update.
  void Assign(TPersistent* Source) override;
  // The glyph button follows its glyph: bkGlyph with one, back to bkDown without.
  void Changed() override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomEditViewDataClass ViewDataClass();

  // -- Virtual operations of the drop-down properties
  virtual Integer GetDropDownButtonIndex() const { return 0; }
  // A click on the text area opens the popup.
  virtual bool DropDownOnClick() const { return false; }
  // With ImmediatePost the value is posted once the window has closed, not inside CloseUp.
  virtual bool PostValueOnPopupClosed() const { return false; }
  virtual TqvCustomEditPopupWindowClass GetPopupWindowClass() const;
  virtual bool PopupWindowTakesFocus() const { return false; }

  bool PopupShowsLookupData() const override { return true; }

  // -- Settings
  // The glyph of button GlyphButtonIndex; nullptr when that button does not exist.
  TBitmap* GetButtonGlyph() const;
  void SetButtonGlyph(TBitmap* Value);
  Integer GetGlyphButtonIndex() const { return FGlyphButtonIndex; }
  // The glyph moves to button Value (made bkGlyph); the old button loses it.
  void SetGlyphButtonIndex(Integer Value);
  bool GetImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
  bool GetImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
  TAlignment GetPopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TAlignment Value);
  bool GetPopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
  bool GetPopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(bool Value);
  Integer GetPopupHeight() const { return FPopupHeight; }
  // Raised to PopupMinHeight; no Changed.
  void SetPopupHeight(Integer Value);
  Integer GetPopupMinHeight() const { return FPopupMinHeight; }
  // Negative is 0; the height is set again.
  void SetPopupMinHeight(Integer Value);
  Integer GetPopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(Integer Value);
  bool GetPopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(bool Value);
  bool GetPopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(bool Value);
  Integer GetPopupWidth() const { return FPopupWidth; }
  // Negative is 0, a positive value below PopupMinWidth is raised to it; no Changed.
  void SetPopupWidth(Integer Value);

  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;

 private:
  // The kind rule of the glyph button.
  void UpdateGlyphButtonKind(Integer AIndex);

  bool FChanging = false;
  Integer FGlyphButtonIndex = 0;
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  TAlignment FPopupAlignment = taLeftJustify;
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  Integer FPopupHeight = 0;
  Integer FPopupMinHeight = 0;
  Integer FPopupMinWidth = 0;
  bool FPopupSizeable = false;
  bool FPopupSysPanelStyle = false;
  Integer FPopupWidth = 0;
};

// ---------------------------------------------------------------------------------------------
// Paint model and per-cell data

class TqvCustomDropDownEditViewData : public TqvCustomTextEditViewData {
  QJ_CLASS(TqvCustomDropDownEditViewData, TqvCustomTextEditViewData)
 public:
  using TqvCustomTextEditViewData::TqvCustomTextEditViewData;
  TqvCustomDropDownEditProperties* GetProperties() const {
    return static_cast<TqvCustomDropDownEditProperties*>(TqvCustomTextEditViewData::GetProperties());
  }
  // The drop-down button does not press again while the click that closed the popup lasts.
  bool CanPressButton(TqvCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) override;
  // A focused standalone list-only editor shows its text as a selected list entry.
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;

  // Taken from the edit when the view data is made.
  bool IsPopupOpen = false;
  bool ButtonPressedWhileOpen = false;
};

// The popup size an in-place editor keeps for its cell.
class TqvCustomDropDownEditData : public TqvCustomEditData {
  QJ_CLASS(TqvCustomDropDownEditData, TqvCustomEditData)
 public:
  using TqvCustomEditData::TqvCustomEditData;
  bool SizeKept = false;
  Integer Width = 0;
  Integer Height = 0;
};

// The look and feel of the controls inside the popup: derived from the edit's buttons.
class TqvEditPopupControlLookAndFeel : public TqvLookAndFeel {
  QJ_CLASS(TqvEditPopupControlLookAndFeel, TqvLookAndFeel)
 public:
  explicit TqvEditPopupControlLookAndFeel(TqvCustomDropDownEdit* AEdit);
  TqvLookAndFeelKind GetEffectiveKind() const override;
  bool GetEffectiveNativeStyle() const override;
  // Notifies the listeners when the effective values moved.
  void Refresh();

 private:
  TqvCustomDropDownEdit* FEdit;
  TqvLookAndFeelKind FLastKind = lfStandard;
  bool FLastNativeStyle = false;
};

// ---------------------------------------------------------------------------------------------
// The popup window

class TqvCustomEditPopupWindow : public TqvCustomPopupWindow {
  QJ_CLASS(TqvCustomEditPopupWindow, TqvCustomPopupWindow)
 public:
  explicit TqvCustomEditPopupWindow(TControl* AOwnerControl);

  TqvCustomEditPopupWindowViewInfo* GetViewInfo() const {
    return static_cast<TqvCustomEditPopupWindowViewInfo*>(TqvCustomPopupWindow::GetViewInfo());
  }
  TqvCustomDropDownEdit* GetEdit() const;

  // -- Virtual operations of the edit popup window
  // The view info for the window's current size; the close button's frame kind by border style.
  virtual void CalculateViewInfo();
  // Sends WM_CHAR with AChar to the window that has the focus.
  virtual void SendCharToFocused(char AChar);
  // What the frame and the system panel take, at least.
  virtual void GetNonClientSize(TSize& ASize);

  void CalculatePosition(TPoint& P) override;
  void CalculateSize() override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  // The owner rectangle on the screen (the edit's popup align rectangle).
  TRect GetPopupOwnerRect() const { return GetOwnerScreenRect(); }
  // Lays out again and repaints.
  void RecalculatePopup();
  bool IsSizing() const { return FSizing; }

  // What sizing starts from: the owner rectangle, the client extent, the non-client size and the
  // content size (the grip goes back to the bottom right).
  struct TSizeInputs {
    TRect Owner, Extent;
    TSize NonClient, Content;
  };
  TSizeInputs GetSizeInputs();
  // The minimum width and height (with Sizeable) and the non-client size applied, then set.
  void SetPopupSize(Integer AWidth, Integer AHeight, const TSizeInputs& AInputs);

  // -- Settings copied from the edit before each opening
  // The popup takes its content's size (the control's own AutoSize is another matter).
  bool GetPopupAutoSize() const { return FAutoSize; }
  void SetPopupAutoSize(bool Value) { FAutoSize = Value; }
  TqvEditPopupBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TqvEditPopupBorderStyle Value);
  bool GetClientEdge() const { return FClientEdge; }
  void SetClientEdge(bool Value);
  bool GetHasCloseButton() const { return FHasCloseButton; }
  void SetHasCloseButton(bool Value);
  Integer GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value) { FMinHeight = Value; }
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value) { FMinWidth = Value; }
  bool GetNativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(bool Value);
  Integer GetPopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(Integer Value) { FPopupHeight = Value; }
  Integer GetPopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(Integer Value) { FPopupWidth = Value; }
  bool GetShadow() const { return FShadow; }
  void SetShadow(bool Value);
  bool GetSizeable() const { return FSizeable; }
  void SetSizeable(bool Value);
  bool GetSysPanelStyle() const { return FSysPanelStyle; }
  void SetSysPanelStyle(bool Value);

 protected:
  TqvContainerViewInfoClass GetViewInfoClass() const override;
  void AdjustClientRect(TRect& R) override;
  void DoClosed() override;
  void DoClosing() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave(TControl* AControl) override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;

 private:
  void SetCloseButtonState(TqvButtonState AState);
  void UpdateSizingCursor(Integer X, Integer Y);
  // The bounds the sizing drag asks for with the mouse at (X, Y) (window coordinates).
  TRect CalculateSizingBounds(Integer X, Integer Y);

  bool FAutoSize = false;
  TqvEditPopupBorderStyle FBorderStyle = epbsDefault;
  bool FClientEdge = false;
  bool FHasCloseButton = false;
  Integer FMinHeight = 0;
  Integer FMinWidth = 0;
  bool FNativeStyle = false;
  Integer FPopupHeight = 0;
  Integer FPopupWidth = 0;
  bool FShadow = false;
  bool FSizeable = false;
  bool FSysPanelStyle = false;
  // Sizing by mouse: the directions and the grab offsets.
  bool FSizing = false;
  Integer FSizingHorz = 0, FSizingVert = 0;
  TPoint FGrabOffset;
  bool FSizingCursorSet = false;
};

// ---------------------------------------------------------------------------------------------
// The drop-down edit

class TqvCustomDropDownInnerEdit : public TqvCustomInnerTextEdit {
  QJ_CLASS(TqvCustomDropDownInnerEdit, TqvCustomInnerTextEdit)
 public:
  using TqvCustomInnerTextEdit::TqvCustomInnerTextEdit;

 protected:
  // No hint while the popup is open; characters queued behind a released Alt are dropped.
  void Dispatch(TMessage& Message) override;
};

class TqvCustomDropDownEdit : public TqvCustomMaskEdit {
  QJ_CLASS(TqvCustomDropDownEdit, TqvCustomMaskEdit)
 public:
  explicit TqvCustomDropDownEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomDropDownEdit() override;
  // Makes the popup window of the properties' class and the popup look and feel.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomDropDownEditProperties* GetProperties() const {
    return static_cast<TqvCustomDropDownEditProperties*>(GetActiveProperties());
  }
  TqvCustomEditPopupWindow* GetPopupWindow() const { return FPopupWindow.get(); }
  TqvEditPopupControlLookAndFeel* GetPopupControlsLookAndFeel() const { return FPopupLookAndFeel.get(); }

  bool GetDroppedDown() const { return HasPopupWindow(); }
  // True opens (DropDown), False closes without accepting.
  void SetDroppedDown(bool Value);
  bool GetButtonPressedWhileOpen() const { return FButtonPressedWhileOpen; }
  bool GetPopupSizeChanged() const { return FPopupSizeChanged; }
  void SetPopupSizeChanged(bool Value) { FPopupSizeChanged = Value; }

  // -- Virtual operations of the drop-down edit
  virtual bool CanDropDown() { return false; }
  // Nothing when the popup is not open.
  virtual void CloseUp(bool AAccept);
  virtual void CreatePopupWindow();
  virtual void DoInitPopup();
  virtual void DoPopup();
  // Positions the window and posts the show message; nothing when CanDropDown says no.
  virtual void DropDown();
  virtual TWinControl* GetPopupFocusedControl();
  virtual void CalculatePopupContentSize(TSize& ASize) { ASize = TSize{}; }
  virtual void InitPopupLookupData();
  virtual void InitPopupWindow();
  virtual void PositionPopupContent(const TRect& AClientRect);
  virtual void PositionPopupWindow();

  // Events of the popup window.
  virtual void PopupWindowCloseQuery(TObject* Sender, bool& CanClose);
  virtual void PopupWindowClosed(TObject* Sender);
  virtual void PopupWindowClosing(TObject*) {}
  virtual void PopupWindowShowed(TObject* Sender);
  virtual void PopupWindowShowing(TObject*) {}

  // -- Overrides of the editor
  bool HasPopupWindow() const override;
  bool Focused() override;
  void Activate(TqvCustomEditData*& AEditData) override;
  void ActivateByKey(char AKey, TqvCustomEditData*& AEditData) override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) override;
  bool Deactivate() override;
  void ResetEditData() override;
  void PropertiesChanged(TObject* Sender) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 protected:
  // The kept popup size of the current cell, nullptr standalone.
  TqvCustomDropDownEditData* GetDropDownEditData() const;
  bool IsActivatingByMouse() const { return FActivatingByMouse; }

  bool CanPassActivationKey(char AKey) override;
  bool CanSynchronizeLookupData(bool AFromMouseWheel) override;
  void DoButtonDown(Integer AButtonVisibleIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoExit() override;
  TqvEditDataClass GetEditDataClass() const override;
  TqvInnerEditClass GetInnerEditClass() const override;
  void InitializeViewData(TqvCustomEditViewData* AViewData) override;
  bool IsClickKey(Word Key, TShiftState Shift) override;
  bool RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void CreateHandle() override;
  void ThemeChanged() override;
  void Dispatch(TMessage& Message) override;
  // The popup window is a form of the screen: freed elsewhere, it is forgotten.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void UpdateButtonPressedState(TqvMouseButton Button, const TPoint& P);
  void PostCharToPopup(char AChar);
  // Drops the show messages still queued for the popup window.
  void RemoveQueuedShowMessages();

  TOwned<TqvCustomEditPopupWindow> FPopupWindow;
  TOwned<TqvEditPopupControlLookAndFeel> FPopupLookAndFeel;
  bool FPopupSizeChanged = false;
  bool FButtonPressedWhileOpen = false;
  bool FActivatingByMouse = false;
};
