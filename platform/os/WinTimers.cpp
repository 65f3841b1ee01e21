// Window and thread timers: WM_TIMER is made when a message loop finds a timer due, at most one
// per timer, as on the platform; the clock is the backend's.
#include <algorithm>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"

namespace {

bool IsDue(const TTimerRec& t, DWORD now) { return static_cast<int32_t>(now - t.Due) >= 0; }

bool TimerMatches(const TTimerRec& t, HWND filter) {
  return !filter || t.Wnd == filter || (t.Wnd && IsChild(filter, t.Wnd));
}

std::vector<TTimerRec>::iterator FindTimer(HWND wnd, UINT_PTR id) {
  auto& timers = WinState().Timers;
  return std::find_if(timers.begin(), timers.end(), [&](const TTimerRec& t) { return t.Wnd == wnd && t.Id == id; });
}

}  // namespace

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  auto& st = WinState();
  if (wnd && !FindWindowRec(wnd)) return 0;
  elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  auto it = FindTimer(wnd, id);
  if (!wnd && (id == 0 || it == st.Timers.end())) {
    id = st.NextThreadTimer++;
    it = st.Timers.end();
  }
  DWORD due = GetTickCount() + elapse;
  if (it != st.Timers.end()) {
    it->Interval = elapse;
    it->Proc = proc;
    it->Due = due;
  } else {
    st.Timers.push_back({wnd, id, elapse, due, proc});
  }
  return wnd && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND wnd, UINT_PTR id) {
  auto it = FindTimer(wnd, id);
  if (it == WinState().Timers.end()) return FALSE;
  WinState().Timers.erase(it);
  return TRUE;
}

void KillWindowTimers(HWND wnd) {
  auto& timers = WinState().Timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const TTimerRec& t) { return t.Wnd == wnd; }), timers.end());
}

bool TimerExists(HWND wnd, UINT_PTR id, TIMERPROC proc) {
  auto it = FindTimer(wnd, id);
  return it != WinState().Timers.end() && it->Proc == proc;
}

bool FindDueTimer(HWND filter, UINT filterMin, UINT filterMax, MSG& out, bool remove) {
  if (!(filterMin == 0 && filterMax == 0) && (WM_TIMER < filterMin || WM_TIMER > filterMax)) return false;
  auto& st = WinState();
  DWORD now = GetTickCount();
  TTimerRec* best = nullptr;
  for (TTimerRec& t : st.Timers)
    if (IsDue(t, now) && TimerMatches(t, filter) && (!best || static_cast<int32_t>(t.Due - best->Due) < 0)) best = &t;
  if (!best) return false;
  out = MSG();
  out.hwnd = best->Wnd;
  out.message = WM_TIMER;
  out.wParam = best->Id;
  out.lParam = reinterpret_cast<LPARAM>(best->Proc);
  out.time = now;
  out.pt = st.CursorPos;
  if (remove) best->Due = now + best->Interval;
  return true;
}

DWORD MillisecondsToNextTimer() {
  auto& st = WinState();
  DWORD now = GetTickCount();
  DWORD wait = MillisecondsToInputTimers(now);
  for (const TTimerRec& t : st.Timers) wait = std::min<DWORD>(wait, IsDue(t, now) ? 0 : t.Due - now);
  return wait;
}

DWORD GetTickCount() { return Backend().TickCount(); }

void Sleep(DWORD ms) { Backend().Sleep(ms); }

BOOL MessageBeep(UINT) {
  Backend().Beep();
  return TRUE;
}
