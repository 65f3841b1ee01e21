// Timers as components: OnTimer runs every Interval milliseconds while Enabled, through a hidden
// window of the timer's own, so it fires from any message loop of the program.
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
