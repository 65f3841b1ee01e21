// The GUI thread's message queue: sending, posting, retrieval with filters, translation,
// dispatching, quit handling and the thread hooks.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);
constexpr size_t kPostedLimit = 10000;

bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}
bool IsKeyMessage(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

bool InRange(UINT m, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (m >= lo && m <= hi); }

bool MatchesWindow(HWND msgWnd, HWND filter) {
  if (!filter) return true;
  if (filter == kThreadMessagesOnly) return msgWnd == nullptr;
  return msgWnd == filter || IsChild(filter, msgWnd);
}

bool Matches(const MSG& m, HWND wnd, UINT lo, UINT hi) { return MatchesWindow(m.hwnd, wnd) && InRange(m.message, lo, hi); }

MSG MakeMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = wnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  m.pt = WinState().CursorPos;
  return m;
}

struct TInbox {
  std::mutex Lock;
  std::condition_variable Signal;
  std::vector<MSG> Posts;
  std::vector<std::function<void()>> Calls;
};

TInbox& Inbox() {
  static TInbox inbox;
  return inbox;
}

const DWORD kGuiThread = static_cast<DWORD>(gettid());

// Threads hand calls to the GUI thread through the queue's inbox.
const bool kSynchronizeHookInstalled = [] {
  SetSynchronizeHook([](std::function<void()> call) {
    {
      std::lock_guard<std::mutex> guard(Inbox().Lock);
      Inbox().Calls.push_back(std::move(call));
    }
    Inbox().Signal.notify_all();
    Backend().Wake();
  });
  return true;
}();

BOOL PostFromOtherThread(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = wnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  {
    std::lock_guard<std::mutex> guard(Inbox().Lock);
    if (Inbox().Posts.size() >= kPostedLimit) return FALSE;
    Inbox().Posts.push_back(m);
  }
  Inbox().Signal.notify_all();
  Backend().Wake();
  return TRUE;
}

int HookCallDepth = 0;

struct THookCallGuard {
  THookCallGuard() { ++HookCallDepth; }
  ~THookCallGuard() {
    if (--HookCallDepth == 0) {
      auto& hooks = WinState().Hooks;
      hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [](const THookRec& h) { return !h.Alive; }), hooks.end());
    }
  }
};

LRESULT CallHookFrom(size_t start, int id, int code, WPARAM wParam, LPARAM lParam) {
  auto& hooks = WinState().Hooks;
  for (size_t i = start; i < hooks.size(); ++i) {
    if (hooks[i].Id != id || !hooks[i].Alive) continue;
    THookCallGuard guard;
    return hooks[i].Proc(code, wParam, lParam);
  }
  return 0;
}

// Mouse and keyboard hooks may discard input: true when the message was eaten.
bool InputEatenByHooks(MSG& m, bool remove) {
  int code = remove ? HC_ACTION : HC_NOREMOVE;
  if (IsMouseMessage(m.message) && HasHooks(WH_MOUSE)) {
    MOUSEHOOKSTRUCT mh;
    mh.pt = m.pt;
    mh.hwnd = m.hwnd;
    mh.wHitTestCode = static_cast<UINT>(m.message >= WM_MOUSEFIRST ? HTCLIENT : m.wParam);
    return CallHooks(WH_MOUSE, code, m.message, reinterpret_cast<LPARAM>(&mh)) != 0;
  }
  if (IsKeyMessage(m.message) && HasHooks(WH_KEYBOARD))
    return CallHooks(WH_KEYBOARD, code, m.wParam, m.lParam) != 0;
  return false;
}

void EraseSeq(TMsgQueue& queue, uint64_t seq) {
  auto it = std::find_if(queue.begin(), queue.end(), [&](const TQueuedMsg& q) { return q.Seq == seq; });
  if (it != queue.end()) queue.erase(it);
}

// Routes the raw input at `i` in place; the index of the routed message, or -1 when it is gone.
// Set when the input being routed went through the hooks on the way.
bool InputHookedWhileCooking = false;

long CookAt(TMsgQueue& queue, size_t i) {
  uint64_t seq = queue[i].Seq;
  MSG m = queue[i].Msg;
  InputHookedWhileCooking = false;
  bool routed = CookInput(m);  // may send messages that change the queue
  const bool hooked = std::exchange(InputHookedWhileCooking, false);
  auto it = std::find_if(queue.begin(), queue.end(), [&](const TQueuedMsg& q) { return q.Seq == seq; });
  if (it == queue.end()) return -1;
  if (!routed) {
    queue.erase(it);
    return -1;
  }
  it->Msg = m;
  it->Raw = false;
  it->Hooked = hooked;
  return it - queue.begin();
}

bool TakeFrom(TMsgQueue& queue, MSG& out, HWND wnd, UINT lo, UINT hi, bool remove, bool input) {
  for (size_t i = 0; i < queue.size();) {
    if (queue[i].Raw) {
      long at = CookAt(queue, i);
      if (at < 0) {
        i = 0;
        continue;
      }
      i = static_cast<size_t>(at);
    }
    if (!Matches(queue[i].Msg, wnd, lo, hi)) {
      ++i;
      continue;
    }
    MSG m = queue[i].Msg;
    uint64_t seq = queue[i].Seq;
    if (input && !queue[i].Hooked && InputEatenByHooks(m, remove)) {
      EraseSeq(queue, seq);  // the hook may have changed the queue
      i = 0;
      continue;
    }
    if (remove) {
      EraseSeq(queue, seq);
      if (input) SyncKeyStateFromMessage(m);
    }
    out = m;
    return true;
  }
  return false;
}

bool RetrieveMessage(MSG& out, HWND wnd, UINT lo, UINT hi, bool remove) {
  auto& st = WinState();
  if (TakeFrom(st.Posted, out, wnd, lo, hi, remove, false)) return true;
  if (TakeFrom(st.Input, out, wnd, lo, hi, remove, true)) return true;
  if (st.QuitPosted && InRange(WM_QUIT, lo, hi)) {
    out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(st.QuitCode), 0);
    if (remove) st.QuitPosted = false;
    return true;
  }
  HWND paint = nullptr;
  if (InRange(WM_PAINT, lo, hi) && wnd != kThreadMessagesOnly && FindPaintWindow(wnd, paint)) {
    out = MakeMessage(paint, WM_PAINT, 0, 0);
    return true;
  }
  return FindDueTimer(wnd == kThreadMessagesOnly ? nullptr : wnd, lo, hi, out, remove);
}

void WaitForMore() {
  PresentDirtySurfaces();
  if (!Backend().WaitEvents(MillisecondsToNextTimer()))
    throw EInvalidOperation("The message loop waits for input that can never arrive");
}

}  // namespace

bool MouseDownEatenByHooks(const MSG& m) {
  InputHookedWhileCooking = true;
  MSG hooked = m;
  return InputEatenByHooks(hooked, true);
}

// ---------------------------------------------------------------------------------------------
// Hooks

bool HasHooks(int id) {
  for (const THookRec& h : WinState().Hooks)
    if (h.Id == id && h.Alive) return true;
  return false;
}

LRESULT CallHooks(int id, int code, WPARAM wParam, LPARAM lParam) { return CallHookFrom(0, id, code, wParam, lParam); }

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!proc) return nullptr;
  if (idHook != WH_KEYBOARD && idHook != WH_GETMESSAGE && idHook != WH_CALLWNDPROC && idHook != WH_MOUSE) return nullptr;
  auto& st = WinState();
  THookRec rec;
  rec.Handle = reinterpret_cast<HHOOK>(st.NextHook);
  st.NextHook += 4;
  rec.Id = idHook;
  rec.Proc = proc;
  st.Hooks.insert(st.Hooks.begin(), rec);
  return rec.Handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto& hooks = WinState().Hooks;
  auto it = std::find_if(hooks.begin(), hooks.end(), [&](const THookRec& h) { return h.Handle == hook && h.Alive; });
  if (it == hooks.end()) return FALSE;
  if (HookCallDepth > 0)
    it->Alive = false;
  else
    hooks.erase(it);
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  auto& hooks = WinState().Hooks;
  auto it = std::find_if(hooks.begin(), hooks.end(), [&](const THookRec& h) { return h.Handle == hook; });
  if (it == hooks.end()) return 0;
  return CallHookFrom(static_cast<size_t>(it - hooks.begin()) + 1, it->Id, code, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Sending and posting

LRESULT SendTo(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = w->Handle;
  PWindowRec keep = KeepWindowRec(h);
  if (!keep || keep->Destroyed) return 0;
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp;
    cwp.lParam = lParam;
    cwp.wParam = wParam;
    cwp.message = msg;
    cwp.hwnd = h;
    CallHooks(WH_CALLWNDPROC, HC_ACTION, TRUE, reinterpret_cast<LPARAM>(&cwp));  // sent by this thread
    if (keep->Destroyed) return 0;
  }
  if (keep->SuppressedMessage && keep->SuppressedMessage == msg) {
    keep->SuppressedMessage = 0;
    return keep->SuppressedResult;
  }
  auto& st = WinState();
  struct TDepth {
    int& d;
    explicit TDepth(int& v) : d(v) { ++d; }
    ~TDepth() { --d; }
  } depth(st.SendDepth);
  return CallWindowProc(keep->Proc, h, msg, wParam, lParam);
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd == HWND_BROADCAST) {
    std::vector<HWND> tops;
    for (TWindowRec* t : WinState().TopLevels) tops.push_back(t->Handle);
    for (HWND h : tops)
      if (TWindowRec* t = FindWindowRec(h)) SendTo(t, msg, wParam, lParam);
    return 0;
  }
  TWindowRec* w = FindWindowRec(wnd);
  return w ? SendTo(w, msg, wParam, lParam) : 0;
}

BOOL SuppressNextMessage(HWND wnd, UINT msg, LRESULT result) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !msg) return FALSE;
  w->SuppressedMessage = msg;
  w->SuppressedResult = result;
  return TRUE;
}

BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd != HWND_BROADCAST && !FindWindowRec(wnd)) return FALSE;
  SendMessage(wnd, msg, wParam, lParam);
  return TRUE;
}

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsGuiThread()) return PostFromOtherThread(wnd, msg, wParam, lParam);
  auto& st = WinState();
  if (st.Posted.size() >= kPostedLimit) return FALSE;  // a runaway poster cannot exhaust memory
  if (wnd == HWND_BROADCAST) {
    for (TWindowRec* t : st.TopLevels) QueueMessage(st.Posted, MakeMessage(t->Handle, msg, wParam, lParam));
    return TRUE;
  }
  if (wnd && !FindWindowRec(wnd)) return FALSE;
  QueueMessage(st.Posted, MakeMessage(wnd, msg, wParam, lParam));
  return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId != kGuiThread) return FALSE;
  return PostMessage(nullptr, msg, wParam, lParam);
}

bool IsGuiThread() { return static_cast<DWORD>(gettid()) == kGuiThread; }

void DrainInbox() {
  std::vector<MSG> posts;
  std::vector<std::function<void()>> calls;
  {
    std::lock_guard<std::mutex> guard(Inbox().Lock);
    posts.swap(Inbox().Posts);
    calls.swap(Inbox().Calls);
  }
  DWORD now = GetTickCount();
  for (MSG& m : posts) {
    if (m.hwnd && m.hwnd != HWND_BROADCAST && !FindWindowRec(m.hwnd)) continue;  // gone meanwhile
    m.time = now;
    m.pt = WinState().CursorPos;
    QueueMessage(WinState().Posted, m);
  }
  for (auto& call : calls) call();
}

bool WaitForInbox(DWORD realMs) {
  std::unique_lock<std::mutex> lock(Inbox().Lock);
  return Inbox().Signal.wait_for(lock, std::chrono::milliseconds(realMs),
                                 [] { return !Inbox().Posts.empty() || !Inbox().Calls.empty(); });
}

void PostQuitMessage(int exitCode) {
  auto& st = WinState();
  st.QuitPosted = true;
  st.QuitCode = exitCode;
}

void QueueMessage(TMsgQueue& queue, const MSG& msg, bool front) {
  TQueuedMsg q{msg, WinState().NextSeq++};
  if (front)
    queue.push_front(q);
  else
    queue.push_back(q);
}

void RemoveWindowMessages(HWND wnd) {
  auto& st = WinState();
  for (TMsgQueue* q : {&st.Posted, &st.Input})
    q->erase(std::remove_if(q->begin(), q->end(), [&](const TQueuedMsg& m) { return m.Msg.hwnd == wnd; }), q->end());
}

void PostRawInput(const MSG& raw) {
  auto& input = WinState().Input;
  // Mouse moves merge into one, as on the platform.
  if (raw.message == WM_MOUSEMOVE && !input.empty() && input.back().Raw && input.back().Msg.message == WM_MOUSEMOVE) {
    input.back().Msg = raw;
    return;
  }
  QueueMessage(input, raw);
  input.back().Raw = true;
}

DWORD MessageTime() { return WinState().Last.time; }

// ---------------------------------------------------------------------------------------------
// Retrieval

BOOL PeekMessage(LPMSG msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  if (wnd && wnd != kThreadMessagesOnly && !FindWindowRec(wnd)) return FALSE;
  if (!IsGuiThread()) return FALSE;
  Backend().PollEvents();
  DrainInbox();
  UpdateInputTimers(GetTickCount());
  bool remove = (removeFlags & PM_REMOVE) != 0;
  MSG m;
  if (!RetrieveMessage(m, wnd, filterMin, filterMax, remove)) {
    PresentDirtySurfaces();
    return FALSE;
  }
  auto& st = WinState();
  st.Last = m;
  if (HasHooks(WH_GETMESSAGE)) CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&m));
  *msg = m;
  return TRUE;
}

BOOL GetMessage(LPMSG msg, HWND wnd, UINT filterMin, UINT filterMax) {
  auto gone = [wnd] { return wnd && wnd != kThreadMessagesOnly && !FindWindowRec(wnd); };
  if (!msg || gone()) return -1;
  while (!PeekMessage(msg, wnd, filterMin, filterMax, PM_REMOVE)) {
    if (gone()) return -1;
    WaitForMore();
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  MSG m;
  if (PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
  WaitForMore();
  return TRUE;
}

// Key messages answer TRUE whether or not they make a character, as on the platform.
BOOL TranslateMessage(const MSG* msg) {
  if (!msg || msg->message < WM_KEYDOWN || msg->message > WM_SYSKEYUP || msg->message == WM_CHAR ||
      msg->message == WM_DEADCHAR)
    return FALSE;
  BYTE ch = 0;
  if ((msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) ||
      !CharFromKey(static_cast<BYTE>(msg->wParam), msg->lParam, ch))
    return TRUE;
  MSG c = *msg;
  c.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  c.wParam = ch;
  QueueMessage(WinState().Posted, c, true);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (!TimerExists(msg->hwnd, msg->wParam, proc)) return 0;
    proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  TWindowRec* w = FindWindowRec(msg->hwnd);
  if (!w) return 0;
  if (msg->message == WM_PAINT) w->InternalPaint = false;
  PWindowRec keep = KeepWindowRec(msg->hwnd);
  return CallWindowProc(keep->Proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(wnd, msg, wParam, lParam) : 0;
}

BOOL InSendMessage() { return FALSE; }

DWORD GetMessageTime() { return WinState().Last.time; }

DWORD GetMessagePos() {
  const POINT& p = WinState().Last.pt;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)));
}

DWORD GetQueueStatus(UINT) {
  auto& st = WinState();
  return static_cast<DWORD>(st.Posted.size() + st.Input.size());
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

DWORD GetWindowThreadProcessId(HWND wnd, DWORD* processId) {
  if (!IsGuiThread() || !FindWindowRec(wnd)) return 0;
  if (processId) *processId = static_cast<DWORD>(getpid());
  return kGuiThread;
}

UINT RegisterWindowMessage(LPCSTR name) {
  if (!name || !*name) return 0;
  auto& st = WinState();
  String key = UpperCase(name);
  auto it = st.RegisteredMessages.find(key);
  if (it != st.RegisteredMessages.end()) return it->second;
  if (st.NextRegisteredMessage > 0xFFFF) return 0;
  return st.RegisteredMessages[key] = st.NextRegisteredMessage++;
}
