#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include <pthread.h>
#include <sched.h>

#include "platform/rtl/Threads.h"

namespace {

// A thread whose work is a function, so each test states its own.
class TTestThread : public TThread {
 public:
  TTestThread(bool createSuspended, std::function<void(TTestThread&)> work)
      : TThread(createSuspended), FWork(std::move(work)) {}
  ~TTestThread() override {
    if (FDestroyed) FDestroyed->set_value();
  }

  using TThread::SetReturnValue;
  using TThread::Synchronize;
  std::promise<void>* FDestroyed = nullptr;
  std::atomic<bool> FExecuted{false};

 protected:
  void Execute() override {
    FExecuted = true;
    FWork(*this);
  }

 private:
  std::function<void(TTestThread&)> FWork;
};

// Installs a synchronize hook that counts the wake-ups it is asked for; the main thread runs the
// calls in WaitFor or CheckSynchronize.
class TSyncHookScope {
 public:
  TSyncHookScope() {
    SetSynchronizeHook([this](std::function<void()>) { ++FWakeUps; });
  }
  ~TSyncHookScope() { SetSynchronizeHook({}); }
  std::atomic<int> FWakeUps{0};
};

TEST(Thread, RunsAndWaitForReturnsTheReturnValue) {
  auto* thread = New<TTestThread>(false, [](TTestThread& t) { t.SetReturnValue(42); });
  EXPECT_FALSE(thread->GetSuspended());
  EXPECT_NE(thread->GetThreadID(), 0u);
  EXPECT_EQ(thread->WaitFor(), 42);
  EXPECT_TRUE(thread->GetFinished());
  EXPECT_FALSE(thread->GetFatalException());
  Free(thread);
}

TEST(Thread, ACreatedSuspendedThreadRunsOnlyAfterStart) {
  auto* thread = New<TTestThread>(true, [](TTestThread&) {});
  EXPECT_TRUE(thread->GetSuspended());
  EXPECT_FALSE(thread->FExecuted);
  EXPECT_THROW(thread->WaitFor(), EThread);
  thread->SetPriority(tpIdle);
  EXPECT_EQ(thread->GetPriority(), tpIdle);
  thread->Start();
  EXPECT_THROW(thread->Start(), EThread);
  thread->Resume();  // a running thread goes on unchanged
  thread->WaitFor();
  EXPECT_TRUE(thread->FExecuted);
  Free(thread);
}

// The scheduling class the calling thread runs in.
int OwnSchedulingPolicy() {
  int policy = -1;
  sched_param param{};
  pthread_getschedparam(pthread_self(), &policy, &param);
  return policy;
}

TEST(Thread, AnIdlePriorityThreadRunsInTheSchedulersIdleClass) {
  std::atomic<int> policy{-1};
  auto* idle = New<TTestThread>(true, [&](TTestThread&) { policy = OwnSchedulingPolicy(); });
  idle->SetPriority(tpIdle);
  idle->Start();
  idle->WaitFor();
  EXPECT_EQ(policy, SCHED_IDLE);
  Free(idle);

  auto* normal = New<TTestThread>(false, [&](TTestThread&) { policy = OwnSchedulingPolicy(); });
  normal->WaitFor();
  EXPECT_EQ(policy, SCHED_OTHER);
  Free(normal);
}

TEST(Thread, APriorityChangedWhileRunningReachesTheScheduler) {
  std::promise<void> changed;
  std::shared_future<void> changedSignal = changed.get_future().share();
  std::atomic<int> policy{-1};
  auto* thread = New<TTestThread>(false, [&](TTestThread&) {
    changedSignal.wait();
    policy = OwnSchedulingPolicy();
  });
  thread->SetPriority(tpIdle);
  changed.set_value();
  thread->WaitFor();
  EXPECT_EQ(policy, SCHED_IDLE);
  Free(thread);
}

TEST(Thread, ResumeStartsASuspendedThread) {
  auto* thread = New<TTestThread>(true, [](TTestThread& t) { t.SetReturnValue(7); });
  thread->Resume();
  EXPECT_EQ(thread->WaitFor(), 7);
  Free(thread);
}

TEST(Thread, TerminateEndsAWorkLoop) {
  std::promise<void> running;
  auto* thread = New<TTestThread>(false, [&](TTestThread& t) {
    running.set_value();
    while (!t.GetTerminated()) std::this_thread::yield();
    t.SetReturnValue(1);
  });
  running.get_future().wait();
  thread->Terminate();
  EXPECT_TRUE(thread->GetTerminated());
  EXPECT_EQ(thread->WaitFor(), 1);
  Free(thread);
}

TEST(Thread, FreeTerminatesAndWaitsForARunningThread) {
  std::atomic<bool> loopEnded{false};
  std::promise<void> running;
  auto* thread = New<TTestThread>(false, [&](TTestThread& t) {
    running.set_value();
    while (!t.GetTerminated()) std::this_thread::yield();
    loopEnded = true;
  });
  running.get_future().wait();
  Free(thread);
  EXPECT_TRUE(loopEnded);
}

TEST(Thread, TerminatedBeforeStartSkipsExecute) {
  auto* thread = New<TTestThread>(true, [](TTestThread&) {});
  thread->Terminate();
  thread->Start();
  thread->WaitFor();
  EXPECT_FALSE(thread->FExecuted);
  Free(thread);
}

TEST(Thread, AnExceptionEscapingExecuteBecomesTheFatalException) {
  auto* thread = New<TTestThread>(false, [](TTestThread&) { throw EConvertError("bad value"); });
  thread->WaitFor();
  std::exception_ptr fatal = thread->GetFatalException();
  ASSERT_TRUE(fatal);
  try {
    std::rethrow_exception(fatal);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "bad value");
  }
  Free(thread);
}

TEST(Thread, FreeOnTerminateFreesTheThreadWhenDone) {
  std::promise<void> destroyed;
  std::promise<void> go;
  auto* thread = New<TTestThread>(false, [&](TTestThread&) { go.get_future().wait(); });
  thread->FDestroyed = &destroyed;
  thread->SetFreeOnTerminate(true);
  go.set_value();
  EXPECT_EQ(destroyed.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

// ---------------------------------------------------------------------------------------------
// Handing calls to the main thread

TEST(Synchronize, WithoutAHookRunsTheCallOnTheCallingThread) {
  std::atomic<bool> onMain{true};
  auto* thread = New<TTestThread>(false, [&](TTestThread& t) {
    t.Synchronize([&] { onMain = IsMainThread(); });
  });
  thread->WaitFor();
  EXPECT_FALSE(onMain);
  Free(thread);
}

TEST(Synchronize, WithAHookRunsTheCallOnTheMainThreadWhileItWaits) {
  TSyncHookScope hook;
  std::atomic<int> calls{0};
  std::atomic<bool> allOnMain{true};
  auto* thread = New<TTestThread>(false, [&](TTestThread& t) {
    for (int i = 0; i < 3; ++i)
      t.Synchronize([&] {
        allOnMain = allOnMain && IsMainThread();
        ++calls;
      });
    t.SetReturnValue(calls);
  });
  EXPECT_EQ(thread->WaitFor(), 3);  // WaitFor runs the calls, so it cannot dead-lock
  EXPECT_TRUE(allOnMain);
  EXPECT_GE(hook.FWakeUps, 3);
  Free(thread);
}

TEST(Synchronize, AnExceptionOfTheCallIsRaisedInTheCallingThread) {
  TSyncHookScope hook;
  auto* thread = New<TTestThread>(false, [](TTestThread& t) {
    try {
      t.Synchronize([] { throw EInvalidOperation("refused"); });
    } catch (const EInvalidOperation& e) {
      t.SetReturnValue(e.Message() == "refused" ? 1 : 2);
    }
  });
  EXPECT_EQ(thread->WaitFor(), 1);
  Free(thread);
}

TEST(Synchronize, OnTheMainThreadRunsDirectly) {
  TSyncHookScope hook;
  bool ran = false;
  TThread::Synchronize(nullptr, [&] { ran = IsMainThread(); });
  EXPECT_TRUE(ran);
  EXPECT_EQ(hook.FWakeUps, 0);
  EXPECT_FALSE(CheckSynchronize());
}

TEST(Synchronize, OnTerminateRunsOnTheMainThread) {
  TSyncHookScope hook;
  std::atomic<bool> onMain{false};
  TObject* sender = nullptr;
  auto* thread = New<TTestThread>(true, [](TTestThread&) {});
  thread->OnTerminate = [&](TObject* s) {
    onMain = IsMainThread();
    sender = s;
  };
  thread->Start();
  thread->WaitFor();
  EXPECT_TRUE(onMain);
  EXPECT_EQ(sender, thread);
  Free(thread);
}

TEST(Synchronize, QueueDoesNotWaitAndCheckSynchronizeRunsTheCall) {
  TSyncHookScope hook;
  std::atomic<bool> ran{false};
  auto* thread = New<TTestThread>(false, [&](TTestThread&) { TThread::Queue([&] { ran = true; }); });
  // Wait without running calls: the thread finishes although its call is still pending.
  while (!thread->GetFinished()) std::this_thread::yield();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_TRUE(ran);
  EXPECT_FALSE(CheckSynchronize());
  Free(thread);
}

TEST(Synchronize, CheckSynchronizeOffTheMainThreadDoesNothing) {
  TSyncHookScope hook;
  std::atomic<bool> ran{false};
  auto* queuer = New<TTestThread>(false, [&](TTestThread&) { TThread::Queue([&] { ran = true; }); });
  while (!queuer->GetFinished()) std::this_thread::yield();  // WaitFor would run the call
  std::atomic<bool> checked{true};
  auto* checker = New<TTestThread>(false, [&](TTestThread&) { checked = CheckSynchronize(); });
  while (!checker->GetFinished()) std::this_thread::yield();
  EXPECT_FALSE(checked);
  EXPECT_FALSE(ran);
  CheckSynchronize();
  EXPECT_TRUE(ran);
  Free(checker);
  Free(queuer);
}

}  // namespace
