#include "platform/rtl/Threads.h"

#include <pthread.h>

#include <deque>
#include <memory>
#include <system_error>

QJ_IMPLEMENT_CLASS(TThread)

namespace {

const TResourceString SThreadStartError = {65320, "Cannot call Start on a running or suspended thread"};
const TResourceString SThreadNotStarted = {65321, "Cannot wait for a thread that was never started"};
const TResourceString SThreadWaitForSelf = {65322, "A thread cannot wait for itself"};
const TResourceString SThreadCreateError = {65323, "Thread creation error: %s"};

// Static initialisation runs on the thread that starts the program.
const std::thread::id mainThreadId = std::this_thread::get_id();

// One call handed to the main thread.
struct TSyncCall {
  TThreadMethod Method;
  bool Done = false;
  std::exception_ptr Error;
};

// The hand-over between threads and the main thread: pending calls, the hook that wakes the main
// thread, and one signal for "a call finished / a call is pending / a thread finished".
struct TSyncState {
  std::mutex Lock;
  std::condition_variable Signal;
  std::deque<std::shared_ptr<TSyncCall>> Pending;
  std::function<void(std::function<void()>)> Hook;
};

TSyncState& Sync() {
  static TSyncState state;
  return state;
}

// The installed hook, or an empty function when the call should run where it is.
std::function<void(std::function<void()>)> HookForThisThread() {
  if (IsMainThread()) return {};
  std::lock_guard<std::mutex> guard(Sync().Lock);
  return Sync().Hook;
}

// tpIdle runs in the scheduler's idle class (only when nothing else wants the processor); the
// other priorities run as ordinary threads. A refusal of the scheduler leaves the thread as it is.
void ApplyPriority(pthread_t thread, TThreadPriority priority) {
  const sched_param param{};
  pthread_setschedparam(thread, priority == tpIdle ? SCHED_IDLE : SCHED_OTHER, &param);
}

void Enqueue(const std::shared_ptr<TSyncCall>& call,
             const std::function<void(std::function<void()>)>& hook) {
  {
    std::lock_guard<std::mutex> guard(Sync().Lock);
    Sync().Pending.push_back(call);
  }
  Sync().Signal.notify_all();
  hook([] { CheckSynchronize(); });
}

void RunCall(TSyncCall& call) {
  try {
    call.Method();
  } catch (...) {
    call.Error = std::current_exception();
  }
}

}  // namespace

void SetSynchronizeHook(std::function<void(std::function<void()>)> hook) {
  std::lock_guard<std::mutex> guard(Sync().Lock);
  Sync().Hook = std::move(hook);
}

bool IsMainThread() { return std::this_thread::get_id() == mainThreadId; }

bool CheckSynchronize() {
  if (!IsMainThread()) return false;
  bool ran = false;
  for (;;) {
    std::shared_ptr<TSyncCall> call;
    {
      std::lock_guard<std::mutex> guard(Sync().Lock);
      if (Sync().Pending.empty()) break;
      call = std::move(Sync().Pending.front());
      Sync().Pending.pop_front();
    }
    RunCall(*call);
    ran = true;
    {
      std::lock_guard<std::mutex> guard(Sync().Lock);
      call->Done = true;
    }
    Sync().Signal.notify_all();
  }
  return ran;
}

// ---------------------------------------------------------------------------------------------

TThread::TThread(bool createSuspended) : FCreateSuspended(createSuspended) {}

TThread::~TThread() {
  // Free waits in BeforeDestruction; this only keeps a plain delete from aborting the program.
  if (FThread.joinable()) {
    if (FThread.get_id() == std::this_thread::get_id())
      FThread.detach();
    else
      FThread.join();
  }
}

void TThread::AfterConstruction() {
  if (!FCreateSuspended) Start();
}

void TThread::BeforeDestruction() {
  std::unique_lock<std::mutex> lock(FLock);
  if (!FThread.joinable()) return;
  if (FThread.get_id() == std::this_thread::get_id()) {
    FThread.detach();  // FreeOnTerminate: the thread frees itself on its way out
    return;
  }
  FTerminated = true;
  lock.unlock();
  WaitUntilFinished();
}

void TThread::Start() {
  std::lock_guard<std::mutex> guard(FLock);
  if (FStarted) throw EThread(&SThreadStartError);
  try {
    FThread = std::thread([this] { Run(); });
  } catch (const std::system_error& e) {
    throw EThread(&SThreadCreateError, {String(e.what())});
  }
  FStarted = true;
  FThreadID = static_cast<TThreadID>(FThread.native_handle());
}

void TThread::Resume() {
  if (GetSuspended()) Start();
}

void TThread::Terminate() {
  std::lock_guard<std::mutex> guard(FLock);
  FTerminated = true;
}

Integer TThread::WaitFor() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    if (!FStarted) throw EThread(&SThreadNotStarted);
    if (FThread.get_id() == std::this_thread::get_id()) throw EThread(&SThreadWaitForSelf);
  }
  WaitUntilFinished();
  return GetReturnValue();
}

void TThread::WaitUntilFinished() {
  if (IsMainThread()) {
    // Run the calls the thread hands over while waiting for it.
    for (;;) {
      CheckSynchronize();
      std::unique_lock<std::mutex> lock(Sync().Lock);
      if (GetFinished()) break;
      Sync().Signal.wait(lock, [this] { return !Sync().Pending.empty() || GetFinished(); });
    }
  } else {
    std::unique_lock<std::mutex> lock(FLock);
    FFinishedSignal.wait(lock, [this] { return FFinished; });
  }
  if (FThread.joinable()) FThread.join();
}

bool TThread::GetTerminated() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FTerminated;
}

bool TThread::GetSuspended() const {
  std::lock_guard<std::mutex> guard(FLock);
  return !FStarted;
}

bool TThread::GetFinished() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FFinished;
}

TThreadID TThread::GetThreadID() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FThreadID;
}

Integer TThread::GetReturnValue() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FReturnValue;
}

void TThread::SetReturnValue(Integer value) {
  std::lock_guard<std::mutex> guard(FLock);
  FReturnValue = value;
}

bool TThread::GetFreeOnTerminate() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FFreeOnTerminate;
}

void TThread::SetFreeOnTerminate(bool value) {
  std::lock_guard<std::mutex> guard(FLock);
  FFreeOnTerminate = value;
}

TThreadPriority TThread::GetPriority() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FPriority;
}

void TThread::SetPriority(TThreadPriority value) {
  std::lock_guard<std::mutex> guard(FLock);
  FPriority = value;
  if (FStarted && !FFinished && FThread.joinable()) ApplyPriority(FThread.native_handle(), value);
}

std::exception_ptr TThread::GetFatalException() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FFatalException;
}

void TThread::Synchronize(TThread*, const TThreadMethod& method) {
  auto hook = HookForThisThread();
  if (!hook) {
    // No window system to hand the call to (yet), or already on the main thread.
    method();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Method = method;
  Enqueue(call, hook);
  std::exception_ptr error;
  {
    std::unique_lock<std::mutex> lock(Sync().Lock);
    Sync().Signal.wait(lock, [&] { return call->Done; });
    error = std::move(call->Error);  // the exception now belongs to this thread alone
  }
  if (error) std::rethrow_exception(error);
}

void TThread::Queue(const TThreadMethod& method) {
  auto hook = HookForThisThread();
  if (!hook) {
    method();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Method = method;
  Enqueue(call, hook);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Run() {
  ApplyPriority(pthread_self(), GetPriority());
  try {
    if (!GetTerminated()) Execute();
  } catch (...) {
    std::lock_guard<std::mutex> guard(FLock);
    FFatalException = std::current_exception();
  }
  const bool freeThread = GetFreeOnTerminate();
  try {
    DoTerminate();
  } catch (...) {
    std::lock_guard<std::mutex> guard(FLock);
    if (!FFatalException) FFatalException = std::current_exception();
  }
  MarkFinished();
  if (freeThread) Free(this);
}

void TThread::MarkFinished() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FFinished = true;
  }
  FFinishedSignal.notify_all();
  // Wake a main thread that waits while running handed-over calls.
  { std::lock_guard<std::mutex> guard(Sync().Lock); }
  Sync().Signal.notify_all();
}
