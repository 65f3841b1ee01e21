// TAnimate: the "copy file" stock animation (a sheet flying from one folder to another), drawn
// frame by frame on a timer of the control's window.
#include <algorithm>
#include <cmath>

#include "platform/forms/ExtCtrls.h"
#include "platform/os/Gdi.h"

QJ_IMPLEMENT_CLASS(TAnimate)

const TResourceString SAnimationNotAvailable = {61030, "This animation is not available"};
const TResourceString SAnimationNotOpen = {61031, "No animation is open"};
const TResourceString SAnimationFrameError = {61032, "Frame %d is out of range (1 to %d)"};

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr Integer kCopyFrames = 20;
constexpr Integer kCopyWidth = 272;
constexpr Integer kCopyHeight = 60;
constexpr TColor kFolderColor = 0x0000C0E0;  // $00BBGGRR: a yellow folder
constexpr TColor kFolderEdge = 0x00006080;

bool IsCopyAnimation(TCommonAVI Value) { return Value == aviCopyFile || Value == aviCopyFiles; }

void DrawFolder(TCanvas* Canvas, Integer X, Integer Y) {
  Canvas->GetPen()->SetColor(kFolderEdge);
  Canvas->GetBrush()->SetColor(kFolderColor);
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->Polygon({{X, Y + 6}, {X + 4, Y}, {X + 16, Y}, {X + 20, Y + 6}, {X + 40, Y + 6}, {X + 40, Y + 34}, {X, Y + 34}});
  Canvas->MoveTo(X, Y + 10);
  Canvas->LineTo(X + 41, Y + 10);
}

void DrawSheet(TCanvas* Canvas, Integer X, Integer Y) {
  Canvas->GetPen()->SetColor(clBlack);
  Canvas->GetBrush()->SetColor(clWhite);
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->Rectangle(X, Y, X + 16, Y + 20);
  Canvas->GetPen()->SetColor(clGray);
  for (Integer line = 0; line < 4; ++line) {
    Canvas->MoveTo(X + 3, Y + 4 + line * 4);
    Canvas->LineTo(X + 13, Y + 4 + line * 4);
  }
}

}  // namespace

TAnimate::TAnimate(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csReplicatable;
  SetBounds(0, 0, 100, 80);
  SetParentColor(true);
  SetAutoSize(true);
}

TAnimate::~TAnimate() { StopTimer(); }

void TAnimate::SetCommonAVI(TCommonAVI Value) {
  if (Value == FCommonAVI) return;
  if (Value != aviNone && !IsCopyAnimation(Value)) throw EInvalidOperation(&SAnimationNotAvailable);
  bool wasOpen = GetOpen();
  if (FActive) Stop();
  FCommonAVI = Value;
  bool open = Value != aviNone;
  FFrameCount = open ? kCopyFrames : 0;
  FFrameWidth = open ? kCopyWidth : 0;
  FFrameHeight = open ? kCopyHeight : 0;
  FStartFrame = 1;
  FStopFrame = FFrameCount;
  FCurrentFrame = 1;
  AdjustSize();
  Invalidate();
  if (wasOpen && OnClose) OnClose(this);
  if (open && OnOpen) OnOpen(this);
}

void TAnimate::CheckFrame(Integer Frame) const {
  if (!GetOpen()) throw EInvalidOperation(&SAnimationNotOpen);
  if (Frame < 1 || Frame > FFrameCount) throw EInvalidOperation(&SAnimationFrameError, {Frame, FFrameCount});
}

void TAnimate::SetStartFrame(Integer Value) {
  CheckFrame(Value);
  FStartFrame = Value;
  if (FActive) Play(FStartFrame, FStopFrame, FRepetitions);
}

void TAnimate::SetStopFrame(Integer Value) {
  CheckFrame(Value);
  FStopFrame = Value;
  if (FActive) Play(FStartFrame, FStopFrame, FRepetitions);
}

void TAnimate::SetRepetitions(Integer Value) { FRepetitions = std::max(0, Value); }

void TAnimate::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    Play(FStartFrame, FStopFrame, FRepetitions);
  else
    Stop();
}

void TAnimate::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  Invalidate();
}

void TAnimate::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Invalidate();
}

void TAnimate::Play(Integer FromFrame, Integer ToFrame, Integer Count) {
  CheckFrame(FromFrame);
  CheckFrame(ToFrame);
  if (ToFrame < FromFrame) throw EInvalidOperation(&SAnimationFrameError, {ToFrame, FFrameCount});
  FPlayFrom = FromFrame;
  FPlayTo = ToFrame;
  FPlayCount = std::max(0, Count);
  FPlayed = 0;
  FCurrentFrame = FromFrame;
  bool starting = !FActive;
  FActive = true;
  Invalidate();
  StartTimer();
  if (starting && OnStart) OnStart(this);
}

void TAnimate::Stop() {
  if (!FActive) return;
  FActive = false;
  StopTimer();
  if (OnStop) OnStop(this);
}

void TAnimate::Reset() {
  Stop();
  FCurrentFrame = GetOpen() ? 1 : FCurrentFrame;
  Invalidate();
}

void TAnimate::Seek(Integer Frame) {
  CheckFrame(Frame);
  Stop();
  FCurrentFrame = Frame;
  Invalidate();
}

void TAnimate::StartTimer() {
  if (!FActive || !HandleAllocated()) return;
  SetTimer(FHandle, kFrameTimer, 1000 / FramesPerSecond, nullptr);
  FTimerRunning = true;
}

void TAnimate::StopTimer() {
  if (FTimerRunning && HandleAllocated()) KillTimer(FHandle, kFrameTimer);
  FTimerRunning = false;
}

void TAnimate::NextFrame() {
  if (!FActive) return;
  if (FCurrentFrame < FPlayTo) {
    ++FCurrentFrame;
  } else {
    ++FPlayed;
    if (FPlayCount > 0 && FPlayed >= FPlayCount) {
      Stop();
      return;
    }
    FCurrentFrame = FPlayFrom;
  }
  Invalidate();
}

void TAnimate::CreateWnd() {
  inherited::CreateWnd();
  StartTimer();
}

void TAnimate::DestroyWnd() {
  StopTimer();
  inherited::DestroyWnd();
}

bool TAnimate::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  if (!GetOpen()) return false;
  NewWidth = FFrameWidth;
  NewHeight = FFrameHeight;
  return true;
}

void TAnimate::DrawFrame(TCanvas* Canvas, const TRect& Rect, Integer Index) {
  const Integer leftX = Rect.Left + 16, rightX = Rect.Right - 56, folderY = Rect.Top + Rect.Height() - 38;
  DrawFolder(Canvas, leftX, folderY);
  DrawFolder(Canvas, rightX, folderY);
  // The sheet leaves the left folder and lands in the right one along an arc.
  double t = FFrameCount > 1 ? double(Index - 1) / double(FFrameCount - 1) : 0.0;
  const double pi = 3.14159265358979323846;
  Integer x = leftX + 12 + static_cast<Integer>(std::lround(t * (rightX - leftX)));
  Integer lift = static_cast<Integer>(std::lround(std::sin(t * pi) * (Rect.Height() - 26)));
  Integer y = folderY - 4 - lift + 10;
  DrawSheet(Canvas, x, std::max(Rect.Top, y));
}

void TAnimate::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect client = GetClientRect();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(client);
  if (!GetOpen()) return;
  TRect frame = Bounds(0, 0, FFrameWidth, FFrameHeight);
  if (FCenter) frame = Bounds((client.Width() - FFrameWidth) / 2, (client.Height() - FFrameHeight) / 2, FFrameWidth, FFrameHeight);
  if (!FTransparent) {
    canvas->GetBrush()->SetColor(clWindow);
    canvas->FillRect(frame);
  }
  DrawFrame(canvas, frame, FCurrentFrame);
}

void TAnimate::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_TIMER && Message.WParam == kFrameTimer) {
    NextFrame();
    return;
  }
  inherited::Dispatch(Message);
}
