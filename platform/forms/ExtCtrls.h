// Timers as components: OnTimer runs every Interval milliseconds while Enabled, through a hidden
// window of the timer's own, so it fires from any message loop of the program.
//
// Where the parts live: ExtCtrls.cpp (TTimer), ExtCtrlsPanel.cpp (TPanel, TBevel, TSplitter),
// ExtCtrlsAnimate.cpp (TAnimate).
#pragma once

#include "platform/forms/Controls.h"

QJ_EXCEPTION(EOutOfResources, Exception)
extern const TResourceString SNoTimers;

class TTimer : public TComponent {
  QJ_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal GetInterval() const { return FInterval; }
  // 0 stops the timer.
  void SetInterval(Cardinal Value);
  const TNotifyEvent& GetOnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  HWND FWindowHandle = nullptr;
  bool FRunning = false;
};

// ---------------------------------------------------------------------------------------------
// Panel: a container with bevels, a border and a caption.

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
  QJ_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut GetBevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut GetBevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  // Negative widths become 0.
  Integer GetBevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  Integer GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;

 private:
  void FrameChanged();

  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  Integer FBevelWidth = 1;
  Integer FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
  QJ_CLASS(TPanel, TCustomPanel)
 public:
  using TCustomPanel::TCustomPanel;
};

// ---------------------------------------------------------------------------------------------
// Bevel: a sunken or raised box, frame or line that groups a dialog's controls.

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
  QJ_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------------------------------------
// Splitter: dragging it resizes the control aligned next to it (on the side it is aligned to).

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TSplitterCanResizeEvent = std::function<void(TObject* Sender, Integer& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
  QJ_CLASS(TSplitter, TGraphicControl)
 public:
  explicit TSplitter(TComponent* AOwner);

  // Below MinSize the neighbour snaps to 0 (AutoSnap) or stops at MinSize.
  bool GetAutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool Value) { FAutoSnap = Value; }
  bool GetBeveled() const { return FBeveled; }
  void SetBeveled(bool Value);
  Integer GetMinSize() const { return FMinSize; }
  // Values below 1 become 1.
  void SetMinSize(Integer Value);
  TResizeStyle GetResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  // The control being resized while a drag runs.
  TControl* GetSizedControl() const { return FControl; }

  TSplitterCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved, OnPaint;

 protected:
  void Paint() override;
  void RequestAlign() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool DoCanResize(Integer& NewSize);

 private:
  bool Horizontal() const;
  TControl* FindSizedControl();
  Integer ControlSize() const;
  void CalcNewSize(Integer X, Integer Y, Integer& NewSize, Integer& Split);
  void DrawLine();
  void UpdateControlSize();
  void StopSizing();

  bool FAutoSnap = true;
  bool FBeveled = false;
  Integer FMinSize = 30;
  TResizeStyle FResizeStyle = rsPattern;
  TControl* FControl = nullptr;
  TPoint FDownPos;
  Integer FMaxSize = 0;
  Integer FOldSize = 0;
  Integer FNewSize = 0;
  Integer FSplit = 0;
  bool FLineVisible = false;
  Integer FLinePos = 0;
};

// ---------------------------------------------------------------------------------------------
// Animation: the system's stock animations, drawn by us frame by frame.

enum TCommonAVI { aviNone, aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles, aviCopyFile, aviRecycleFile,
                  aviEmptyRecycle, aviDeleteFile };

class TAnimate : public TCustomControl {
  QJ_CLASS(TAnimate, TCustomControl)
 public:
  explicit TAnimate(TComponent* AOwner);
  ~TAnimate() override;

  // aviNone closes the animation; the copy animations are the ones we have (others raise
  // EInvalidOperation and change nothing).
  TCommonAVI GetCommonAVI() const { return FCommonAVI; }
  void SetCommonAVI(TCommonAVI Value);
  bool GetOpen() const { return FFrameCount > 0; }
  Integer GetFrameCount() const { return FFrameCount; }
  Integer GetFrameWidth() const { return FFrameWidth; }
  Integer GetFrameHeight() const { return FFrameHeight; }
  // Frames are numbered from 1.
  Integer GetStartFrame() const { return FStartFrame; }
  void SetStartFrame(Integer Value);
  Integer GetStopFrame() const { return FStopFrame; }
  void SetStopFrame(Integer Value);
  // 0: play until stopped.
  Integer GetRepetitions() const { return FRepetitions; }
  void SetRepetitions(Integer Value);
  bool GetActive() const { return FActive; }
  void SetActive(bool Value);
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The frame shown now.
  Integer GetCurrentFrame() const { return FCurrentFrame; }
  // Frames per second of the stock animations.
  static constexpr Integer FramesPerSecond = 15;

  // Plays FromFrame..ToFrame Count times (0: forever); raises EInvalidOperation when nothing
  // is open or the frames are out of range.
  void Play(Integer FromFrame, Integer ToFrame, Integer Count);
  void Stop();
  void Reset();
  void Seek(Integer Frame);

  TNotifyEvent OnOpen, OnClose, OnStart, OnStop;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  // Draws frame Index (1-based) of the open animation into Rect.
  virtual void DrawFrame(TCanvas* Canvas, const TRect& Rect, Integer Index);

 private:
  void StartTimer();
  void StopTimer();
  void NextFrame();
  void CheckFrame(Integer Frame) const;

  TCommonAVI FCommonAVI = aviNone;
  Integer FFrameCount = 0;
  Integer FFrameWidth = 0;
  Integer FFrameHeight = 0;
  Integer FStartFrame = 1;
  Integer FStopFrame = 0;
  Integer FRepetitions = 0;
  bool FActive = false;
  bool FCenter = true;
  bool FTransparent = true;
  Integer FCurrentFrame = 1;
  Integer FPlayFrom = 1, FPlayTo = 1, FPlayCount = 0, FPlayed = 0;
  bool FTimerRunning = false;
};
