// Worker threads with the original platform's TThread life cycle, and the hand-over of calls to
// the main (GUI) thread.
//
// Create threads with New<T>(createSuspended): a thread that is not created suspended starts in
// AfterConstruction, once the final class is whole. Destroy them with Free (or FreeOnTerminate),
// which terminates and waits for a running thread before any destructor runs.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/rtl/SysUtils.h"

using TThreadMethod = std::function<void()>;
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TThreadID = UInt64;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The window system installs the function that makes a call run on its thread soon (for example
// by posting it to its message queue). Until a hook is installed, Synchronize runs calls directly
// on the calling thread. An empty function removes the hook.
void SetSynchronizeHook(std::function<void(std::function<void()>)> hook);

// Runs the calls that threads handed to the main thread and that have not run yet. Only the main
// thread runs them; elsewhere it does nothing. True when it ran at least one.
bool CheckSynchronize();

bool IsMainThread();

class TThread : public TObject {
  QJ_CLASS(TThread, TObject)
 public:
  explicit TThread(bool createSuspended);
  ~TThread() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Starts a thread created suspended; EThread when it was started already.
  void Start();
  // Starts a suspended thread; a running one goes on unchanged.
  void Resume();
  // Asks Execute to stop: it reads GetTerminated() and returns.
  void Terminate();
  // Waits until Execute and OnTerminate are done; returns ReturnValue. On the main thread it runs
  // the calls the thread hands over meanwhile, so a thread in Synchronize cannot dead-lock it.
  Integer WaitFor();

  bool GetTerminated() const;
  bool GetSuspended() const;
  bool GetFinished() const;
  TThreadID GetThreadID() const;
  Integer GetReturnValue() const;
  bool GetFreeOnTerminate() const;
  void SetFreeOnTerminate(bool value);
  TThreadPriority GetPriority() const;
  // tpIdle puts the thread in the scheduler's idle class; the others run it as an ordinary thread.
  void SetPriority(TThreadPriority value);
  // The exception that escaped Execute, if any.
  std::exception_ptr GetFatalException() const;

  // Runs method on the main thread and waits for it; an exception it raises is raised again in
  // the calling thread. On the main thread, or before a hook is installed, it runs directly.
  static void Synchronize(TThread* thread, const TThreadMethod& method);
  // Hands method to the main thread without waiting (directly where Synchronize would).
  static void Queue(const TThreadMethod& method);

  TNotifyEvent OnTerminate;  // runs through Synchronize after Execute

 protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();
  void Synchronize(const TThreadMethod& method) { Synchronize(this, method); }
  void SetReturnValue(Integer value);

 private:
  void Run();
  void MarkFinished();
  void WaitUntilFinished();

  mutable std::mutex FLock;
  std::condition_variable FFinishedSignal;
  std::thread FThread;
  bool FStarted = false;
  bool FFinished = false;
  bool FTerminated = false;
  bool FCreateSuspended;
  bool FFreeOnTerminate = false;
  Integer FReturnValue = 0;
  TThreadID FThreadID = 0;
  TThreadPriority FPriority = tpNormal;
  std::exception_ptr FFatalException;
};
