// Forms and the application: top-level windows with focus bookkeeping, modal loops and
// closing rules; the application object with its message loop, idle work, hints and exception
// handling; the screen (forms, cursors, monitors) and the mouse.
//
// Where the parts live: Forms.cpp (forms and modal loops), Application.cpp (the application:
// message loop, idle work, hints, exceptions), Screen.cpp (the screen and the mouse).
#pragma once

#include <algorithm>
#include <map>

#include "platform/forms/Controls.h"
#include "platform/os/WinDialogs.h"

class THintWindow;
class TMonitor;

extern const TResourceString SCannotShowModal;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon : Cardinal { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using TBorderIcons = Cardinal;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateFlag : Cardinal { fsCreating = 1u << 0, fsVisible = 1u << 1, fsShowing = 1u << 2, fsModal = 1u << 3,
                                 fsCreatedMDIChild = 1u << 4, fsActivated = 1u << 5 };
using TFormState = Cardinal;
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
// A key down offered as a shortcut before the menus see it (Msg is the CN_ key message).
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;
class TMainMenu;
// The menus unit's part in a form's messages: the menu bar's commands and drawing, and
// CM_MENUCHANGED to put the bar on the form's window. True when it answered the message.
using TFormMenuFunc = bool (*)(TCustomForm* Form, TMessage& Message);
void SetFormMenuFunc(TFormMenuFunc Func);
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// ---------------------------------------------------------------------------------------------
// Forms

class TCustomForm : public TWinControl {
  QJ_CLASS(TCustomForm, TWinControl)
 public:
  explicit TCustomForm(TComponent* AOwner);
  // A form with nothing loaded into it (the form classes of the program build their content).
  static TCustomForm* CreateNew(TComponent* AOwner);
  ~TCustomForm() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Showing and closing
  void Show();
  void Hide() { SetVisible(false); }
  // Runs a modal loop until ModalResult is set (or the application terminates: mrCancel).
  virtual TModalResult ShowModal();
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages being handled now are done.
  void Release();
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState GetFormState() const { return FFormState; }

  // Focus
  bool GetActive() const { return FActive; }
  TWinControl* GetActiveControl() const { return FActiveControl; }
  // Raises EInvalidOperation for a control that is not on this form or cannot take the focus.
  void SetActiveControl(TWinControl* Control);
  void FocusControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  // Called when one of the form's windows takes the focus: sends CM_EXIT/CM_ENTER along the
  // chain between the previous and the new control. False when a handler moved the focus on.
  bool SetFocusedControl(TWinControl* Control);
  bool CanFocus() override { return GetVisible() && GetEnabled(); }
  void SetFocus() override;
  bool GetKeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }

  // The menu bar (its class lives in the menus unit); the form hears when it goes.
  template <class TMenu>
  void SetMenu(TMenu* Value) {
    SetMenuComponent(Value, Value);
  }
  void SetMenuComponent(TMainMenu* Menu, TComponent* AsComponent);
  TMainMenu* GetMenu() const { return FMenu; }

  // Appearance
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState GetWindowState() const;
  void SetWindowState(TWindowState Value);
  TDefaultMonitor GetDefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  bool GetTransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(bool Value);
  TColor GetTransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor Value);
  TIcon* GetIcon() const { return FIcon.get(); }
  TRect GetClientRect() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  // The window of the form's MDI client area; forms of ours have none.
  HWND GetClientHandle() const { return nullptr; }

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

 protected:
  friend class TApplication;
  friend class TScreen;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void CloseModal();
  void SetActive(bool Value);
  void SetWindowFocus();
  void MovePosition();
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void WMActivate(TMessage& M);
  void WMPaintForm(TMessage& M);
  void WMClose(TMessage& M);
  void WMGetMinMaxInfo(TMessage& M);
  void CMShowingChangedForm(TMessage& M);
  void CMDialogKeyForm(TMessage& M);
  void CMRelease(TMessage& M);
  void CMActivate(TMessage& M);
  void CMDeactivate(TMessage& M);

 private:
  void ApplyLayered();
  DWORD FrameStyle() const;
  DWORD FrameExStyle() const;

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  bool FKeyPreview = false;
  TModalResult FModalResult = mrNone;
  TFormState FFormState = fsCreating;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FTransparentColor = false;
  TColor FTransparentColorValue = clBlack;
  TOwned<TIcon> FIcon;
  TOwned<TControlCanvas> FCanvas;
  TMainMenu* FMenu = nullptr;
  TComponent* FMenuComponent = nullptr;
};

class TForm : public TCustomForm {
  QJ_CLASS(TForm, TCustomForm)
 public:
  using TCustomForm::TCustomForm;
};

using TFormClass = const TComponent::MetaType*;

// The form a control floats in once undocked: a small tool window sized around its one client,
// captioned like it, that goes away when the client leaves.
class TCustomDockForm : public TCustomForm {
  QJ_CLASS(TCustomDockForm, TCustomForm)
 public:
  explicit TCustomDockForm(TComponent* AOwner);

 protected:
  void DoAddDockClient(TControl* Client, const TRect& ARect) override;
  void DoRemoveDockClient(TControl* Client) override;
  void Dispatch(TMessage& Message) override;
};

// ---------------------------------------------------------------------------------------------
// Hints

struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos;        // screen position of the hint window
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;      // client coordinates of HintControl: moving out hides the hint
  TPoint CursorPos;      // client coordinates of HintControl
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// A small top-most window showing a hint text.
class THintWindow : public TCustomControl {
  QJ_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows the window with Rect (screen coordinates) and the text.
  virtual void ActivateHint(TRect Rect, const String& AHint);
  virtual TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData);
  void ReleaseHandle() { DestroyHandle(); }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// ---------------------------------------------------------------------------------------------
// Application

using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;
// Shows a message and returns the button pressed (an ID value); the application's message box.
using TMessageBoxFunc = std::function<Integer(const String& Text, const String& Caption, UINT Flags)>;

class TApplication : public TComponent {
  QJ_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // The title set, else the executable's file name: message boxes without a caption show it.
  String GetTitle() const;
  void SetTitle(const String& Value);
  // The hidden window of the application (made on first use).
  HWND GetHandle();
  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = New<T>(this);
    if (!FMainForm) FMainForm = Reference;
  }
  TCustomForm* GetMainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
  bool GetShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  // Shows the main form and handles messages until Terminate.
  void Run();
  // Handles every message waiting now, then returns.
  void ProcessMessages();
  // Handles one message, or runs the idle work and waits for the next.
  void HandleMessage();
  void Terminate();
  bool GetTerminated() const { return FTerminated; }
  bool GetRunning() const { return FRunning; }
  bool GetActive() const { return FActive; }
  void Minimize();
  void Restore();
  void BringToFront();

  // Called inside a catch block: OnException, or the message in a message box (EAbort is silent).
  void HandleException(TObject* Sender);
  void ShowException(Exception* E);
  // The window system's message box, owned by the active window; returns the button's ID value.
  Integer MessageBox(const String& Text, const String& Caption, UINT Flags);
  // Replaces the message box (tests and the dialogs unit install theirs); empty: the default.
  void SetMessageBoxFunc(TMessageBoxFunc Func) { FMessageBoxFunc = std::move(Func); }

  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

  // Hints
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  Integer GetHintPause() const { return FHintPause; }
  void SetHintPause(Integer Value) { FHintPause = std::max(0, Value); }
  Integer GetHintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer Value) { FHintShortPause = std::max(0, Value); }
  Integer GetHintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer Value) { FHintHidePause = std::max(0, Value); }
  TColor GetHintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value);
  THintWindow* GetHintWindow() const { return FHintWindow; }
  using THintWindowClass = const TComponent::MetaType*;
  THintWindowClass GetHintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(THintWindowClass Value) { FHintWindowClass = Value; }
  void ActivateHint(TPoint CursorPos);
  void CancelHint();
  void HideHint();
  // The control the mouse is over, as enter/leave tracking sees it.
  TControl* GetMouseControl() const { return FMouseControl; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint, OnActivate, OnDeactivate, OnMinimize, OnRestore;
  TShowHintEvent OnShowHint;
  TActionEvent OnActionExecute, OnActionUpdate;
  // Keys no menu of the focused form took; the main form's menu bar is asked after it.
  TShortCutEvent OnShortCut;

  // Forgets a control that is going away.
  void ControlDestroying(TControl* Control);

 protected:
  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  void HintMouseMessage(TControl* Control, MSG& Msg);
  void UpdateMouseControl(TPoint Pos);
  void WndProc(TMessage& Message);
  void StartHintTimer(Integer Value);
  void StopHintTimer();
  void HintTimerExpired();

 private:
  String FTitle;
  HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  bool FRunning = false;
  bool FActive = true;
  TMessageBoxFunc FMessageBoxFunc;
  bool FShowHint = true;
  bool FHintActive = false;
  Integer FHintPause = 500;
  Integer FHintShortPause = 50;
  Integer FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  String FHint;
  THintWindow* FHintWindow = nullptr;
  THintWindowClass FHintWindowClass;
  TControl* FHintControl = nullptr;
  TRect FHintCursorRect;
  bool FHintTimerRunning = false;
  TControl* FMouseControl = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Screen and mouse

class TMonitor : public TObject {
  QJ_CLASS(TMonitor, TObject)
 public:
  explicit TMonitor(HMONITOR Handle, Integer Num) : FHandle(Handle), FMonitorNum(Num) {}
  HMONITOR GetHandle() const { return FHandle; }
  Integer GetMonitorNum() const { return FMonitorNum; }
  TRect GetBoundsRect() const;
  TRect GetWorkareaRect() const;
  Integer GetLeft() const { return GetBoundsRect().Left; }
  Integer GetTop() const { return GetBoundsRect().Top; }
  Integer GetWidth() const { return GetBoundsRect().Width(); }
  Integer GetHeight() const { return GetBoundsRect().Height(); }
  bool GetPrimary() const;

 private:
  HMONITOR FHandle;
  Integer FMonitorNum;
};

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TScreen : public TComponent {
  QJ_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  Integer GetWidth() const;
  Integer GetHeight() const;
  TRect GetWorkAreaRect() const;
  Integer GetWorkAreaWidth() const { return GetWorkAreaRect().Width(); }
  Integer GetWorkAreaHeight() const { return GetWorkAreaRect().Height(); }
  // The screen's resolution; coordinates stay in units of 96 dpi whatever it is.
  Integer GetPixelsPerInch() const { return static_cast<Integer>(GetDpiForSystem()); }

  Integer GetFormCount() const { return static_cast<Integer>(FForms.size()); }
  TForm* GetForm(Integer Index) const;
  Integer GetCustomFormCount() const { return static_cast<Integer>(FForms.size()); }
  TCustomForm* GetCustomForm(Integer Index) const;
  TForm* GetActiveForm() const;
  TCustomForm* GetActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* GetActiveControl() const { return FActiveControl; }
  TCustomForm* GetFocusedForm() const { return FFocusedForm; }

  // Screen.Cursor: crDefault lets each control choose; anything else is shown everywhere.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor of an id (an unknown id gives the arrow); registering replaces and owns it.
  HCURSOR GetCursors(Integer Index);
  void SetCursors(Integer Index, HCURSOR Handle);

  Integer GetMonitorCount();
  TMonitor* GetMonitor(Integer Index);
  TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest);

  TFont* GetHintFont() const { return FHintFont.get(); }
  TFont* GetIconFont() const { return FIconFont.get(); }
  TFont* GetMenuFont() const { return FMenuFont.get(); }

  TNotifyEvent OnActiveControlChange, OnActiveFormChange;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetFocusedState(TCustomForm* Form, TWinControl* Control);
  TMonitor* MonitorOf(HMONITOR Handle);
  void LoadStandardCursors();

  std::vector<TCustomForm*> FForms;
  std::vector<TCustomForm*> FSaveFocusedList;
  TCustomForm* FActiveCustomForm = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::map<Integer, HCURSOR> FCursors;
  bool FCursorsLoaded = false;
  std::vector<TOwned<TMonitor>> FMonitors;
  TOwned<TFont> FHintFont, FIconFont, FMenuFont;
};

class TMouse : public TObject {
  QJ_CLASS(TMouse, TObject)
 public:
  TPoint GetCursorPos() const;
  void SetCursorPos(TPoint Value);
  HWND GetCapture() const;
  void SetCapture(HWND Value);
  Integer GetDragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer Value) { FDragThreshold = std::max(0, Value); }
  bool GetDragImmediate() const { return FDragImmediate; }
  void SetDragImmediate(bool Value) { FDragImmediate = Value; }
  Integer GetWheelScrollLines() const;
  bool GetMousePresent() const { return true; }
  bool GetWheelPresent() const { return true; }

 private:
  Integer FDragThreshold = 5;
  bool FDragImmediate = false;
};

// The program's single application, screen and mouse objects.
extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;
