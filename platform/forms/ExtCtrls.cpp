// TTimer.
#include "platform/forms/ExtCtrls.h"

#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TTimer)
QJ_IMPLEMENT_CLASS(EOutOfResources)

const TResourceString SNoTimers = {61020, "Not enough timers available"};

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  FEnabled = false;
  if (FRunning && IsWindow(FWindowHandle)) KillTimer(FWindowHandle, kTimerId);
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
  if (FRunning && IsWindow(FWindowHandle)) KillTimer(FWindowHandle, kTimerId);
  FRunning = false;
  if (FInterval == 0 || !FEnabled || !FOnTimer) return;
  if (!FWindowHandle || !IsWindow(FWindowHandle)) FWindowHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  if (!SetTimer(FWindowHandle, kTimerId, FInterval, nullptr)) throw EOutOfResources(&SNoTimers);
  FRunning = true;
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    Timer();
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}
