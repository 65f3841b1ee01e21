// The keyboard-state watcher with a fake key source: toggles and held keys ask for a repaint,
// unchanged keys do not; the watched-key list; a bar destroyed while watching is never touched;
// a freed watcher stops at once and posts nothing more, also under load. The window system's
// own key state (Insert included) read from another thread. The key appearances.
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <sched.h>

#include "StatusBarTestSupport.h"
#include "statusbar/zmStatusBar.h"

namespace {

// Key states the tests set, read by the watcher thread; counts the reads.
class TFakeKeys {
 public:
  void Set(Word AKey, Byte AState) {
    std::lock_guard<std::mutex> guard(FLock);
    FStates[AKey] = AState;
  }
  // Every read gives another state: a watcher of these keys asks for a repaint at every poll.
  void SetChangingAlways(bool AValue) { FChanging = AValue; }
  Byte Read(Word AKey) {
    std::lock_guard<std::mutex> guard(FLock);
    ++FReads;
    FRead.notify_all();
    return FChanging ? Byte(FReads) : FStates[AKey];
  }
  TzmKeyStateReader Reader() {
    return [this](Word AKey) { return Read(AKey); };
  }
  Integer Reads() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FReads;
  }
  // Waits until the keys were read ACount more times (false after a guard time: a hang).
  bool WaitForReads(Integer ACount) {
    std::unique_lock<std::mutex> lock(FLock);
    const Integer target = FReads + ACount;
    return FRead.wait_for(lock, std::chrono::seconds(10), [&] { return FReads >= target; });
  }

 private:
  mutable std::mutex FLock;
  std::condition_variable FRead;
  std::array<Byte, 256> FStates{};
  std::atomic<bool> FChanging = false;
  Integer FReads = 0;
};

// A windowed control that counts its paints.
class TPaintCounter : public TCustomControl {
  QJ_INLINE_CLASS(TPaintCounter, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
  Integer Paints = 0;

 protected:
  void Paint() override { ++Paints; }
};

constexpr Cardinal kFastPoll = 1;  // ms

class KeyboardStateWatcher : public TStatusBarTest {
 protected:
  void SetUp() override {
    TStatusBarTest::SetUp();
    FForm = NewForm();
    FBar = AddBar();
    FForm->Show();
    ASSERT_TRUE(PumpUntil([&] { return FBar->Paints > 0; }));
  }

  TPaintCounter* AddBar() {
    auto* bar = New<TPaintCounter>(FForm);
    bar->SetBounds(0, 100, 400, 20);
    bar->SetParent(FForm);
    return bar;
  }
  TOwned<TzmStatusBarKeyboardStateNotifier> Watch(TControl* ABar, Cardinal AInterval = kFastPoll) {
    return MakeOwned<TzmStatusBarKeyboardStateNotifier>(ABar, Keys.Reader(), AInterval);
  }
  // Lets the watcher poll a few times and the GUI thread run what it posted.
  void Settle() {
    ASSERT_TRUE(Keys.WaitForReads(5));
    Application->ProcessMessages();
  }

  TFakeKeys Keys;
  TForm* FForm = nullptr;
  TPaintCounter* FBar = nullptr;
};

TEST_F(KeyboardStateWatcher, ATogglePaintsTheBarAgain) {
  auto watcher = Watch(FBar);
  watcher->AddKey(VK_CAPITAL);
  Settle();
  const Integer paints = FBar->Paints;
  Keys.Set(VK_CAPITAL, 0x01);
  EXPECT_TRUE(PumpUntil([&] { return FBar->Paints > paints; }));
  ASSERT_EQ(watcher->GetWatchedKeys().size(), 1u);
  EXPECT_EQ(watcher->GetWatchedKeys()[0].State, 0x01);
}

TEST_F(KeyboardStateWatcher, AHeldToggleKeyIsSeenAndStillCountsAsOn) {
  Keys.Set(VK_NUMLOCK, 0x01);
  auto watcher = Watch(FBar);
  watcher->AddKey(VK_NUMLOCK);
  Settle();
  const Integer paints = FBar->Paints;
  Keys.Set(VK_NUMLOCK, 0x81);
  EXPECT_TRUE(PumpUntil([&] { return FBar->Paints > paints; }));
  EXPECT_EQ(watcher->GetWatchedKeys()[0].State, 0x81);
  EXPECT_TRUE(IsKeyToggledOn(0x81)) << "bit 0 decides, not the whole byte";
  EXPECT_TRUE(IsKeyToggledOn(0x01));
  EXPECT_FALSE(IsKeyToggledOn(0x80)) << "held down while off";
  EXPECT_FALSE(IsKeyToggledOn(0x00));
}

TEST_F(KeyboardStateWatcher, ReadsTheKeysAtIdlePriority) {
  std::atomic<int> policy{-1};
  auto watcher = MakeOwned<TzmStatusBarKeyboardStateNotifier>(
      FBar,
      [&](Word AKey) {
        int own = -1;
        sched_param param{};
        pthread_getschedparam(pthread_self(), &own, &param);
        policy = own;
        return Keys.Read(AKey);
      },
      kFastPoll);
  EXPECT_EQ(watcher->GetPriority(), tpIdle);
  watcher->AddKey(VK_CAPITAL);
  ASSERT_TRUE(Keys.WaitForReads(3));
  EXPECT_EQ(policy, SCHED_IDLE) << "the scheduler runs the watcher only when nothing else wants the processor";
}

TEST_F(KeyboardStateWatcher, UnchangedKeysAskForNothing) {
  auto watcher = Watch(FBar);
  watcher->AddKey(VK_CAPITAL);
  watcher->AddKey(VK_INSERT);
  Settle();
  const Integer paints = FBar->Paints;
  Settle();
  Settle();
  EXPECT_EQ(FBar->Paints, paints);
}

TEST_F(KeyboardStateWatcher, TheKeyListKeepsOneEntryPerKeyFromItsStateWhenAdded) {
  Keys.Set(VK_SCROLL, 0x01);
  auto watcher = Watch(FBar, 60000);
  watcher->AddKey(VK_CAPITAL);
  watcher->AddKey(VK_SCROLL);
  watcher->AddKey(VK_CAPITAL);
  auto keys = watcher->GetWatchedKeys();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].Code, VK_SCROLL);
  EXPECT_EQ(keys[0].State, 0x01);
  EXPECT_EQ(keys[1].Code, VK_CAPITAL) << "adding again drops the old entry and appends";
  watcher->RemoveKey(VK_SCROLL);
  watcher->RemoveKey(VK_NUMLOCK);
  keys = watcher->GetWatchedKeys();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].Code, VK_CAPITAL);
}

TEST_F(KeyboardStateWatcher, KeysChangedWhileTheWatcherReadsStayConsistent) {
  auto watcher = Watch(FBar);
  Keys.SetChangingAlways(true);
  for (Integer round = 0; round < 200; ++round) {
    watcher->AddKey(VK_CAPITAL);
    watcher->AddKey(VK_INSERT);
    watcher->RemoveKey(VK_CAPITAL);
    watcher->RemoveKey(VK_INSERT);
  }
  EXPECT_TRUE(watcher->GetWatchedKeys().empty());
}

TEST_F(KeyboardStateWatcher, ABarDestroyedWhileWatchedIsNeverTouched) {
  TPaintCounter* other = AddBar();
  auto doomed = Watch(FBar);
  auto survivor = Watch(other);
  doomed->AddKey(VK_CAPITAL);
  survivor->AddKey(VK_CAPITAL);
  Keys.SetChangingAlways(true);
  ASSERT_TRUE(Keys.WaitForReads(20)) << "repaints are waiting for the GUI thread";
  Free(FBar);  // the watcher goes on watching a bar that is gone
  FBar = nullptr;
  ASSERT_TRUE(Keys.WaitForReads(20));
  const Integer paints = other->Paints;
  EXPECT_TRUE(PumpUntil([&] { return other->Paints > paints; })) << "the posted repaints did run";
  doomed.reset();
  survivor.reset();
}

TEST_F(KeyboardStateWatcher, AFreedWatcherStopsAtOnceAndItsPostedRepaintsFindNoTarget) {
  auto watcher = Watch(FBar, kFastPoll);
  watcher->AddKey(VK_CAPITAL);
  Keys.SetChangingAlways(true);
  ASSERT_TRUE(Keys.WaitForReads(20));
  watcher.reset();
  const Integer reads = Keys.Reads();
  Application->ProcessMessages();
  const Integer paints = FBar->Paints;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Application->ProcessMessages();
  EXPECT_EQ(Keys.Reads(), reads) << "the thread has ended";
  EXPECT_EQ(FBar->Paints, paints);
}

TEST_F(KeyboardStateWatcher, FreeingDoesNotWaitForTheNextPoll) {
  auto watcher = Watch(FBar, 3600 * 1000);  // an hour: the test would hang if freeing waited for it
  watcher->AddKey(VK_CAPITAL);
  watcher.reset();
  SUCCEED();
}

TEST_F(KeyboardStateWatcher, ShutDownUnderLoad) {
  constexpr Integer kBars = 12;
  std::vector<TPaintCounter*> bars;
  std::vector<TOwned<TzmStatusBarKeyboardStateNotifier>> watchers;
  for (Integer i = 0; i < kBars; ++i) {
    bars.push_back(AddBar());
    watchers.push_back(Watch(bars.back()));
    for (Word key : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, VK_INSERT}) watchers.back()->AddKey(key);
  }
  Keys.SetChangingAlways(true);
  ASSERT_TRUE(Keys.WaitForReads(kBars * 40));
  // Half go bar first, half watcher first, with repaints of all of them queued.
  for (Integer i = 0; i < kBars; ++i) {
    if (i % 2) {
      Free(bars[size_t(i)]);
      watchers[size_t(i)].reset();
    } else {
      watchers[size_t(i)].reset();
      Free(bars[size_t(i)]);
    }
  }
  Application->ProcessMessages();
  Free(FForm);
  FForm = nullptr;
  FBar = nullptr;
  Application->ProcessMessages();
  SUCCEED();
}

// ------------------------------------------------------------------ the window system's keys

TEST_F(KeyboardStateWatcher, TheWindowSystemsKeyStateIsReadableFromAnotherThread) {
  FForm->SetFocus();
  auto fromWorker = [](Word AKey) {
    Byte state = 0;
    std::thread([&] { state = GetWindowSystemKeyState(AKey); }).join();
    return state;
  };
  EXPECT_EQ(fromWorker(VK_INSERT), 0x00);
  Headless::PressKey(VK_INSERT);
  Application->ProcessMessages();
  EXPECT_EQ(fromWorker(VK_INSERT), 0x01) << "Insert toggles on each press, tracked by the window system";
  Headless::PressKey(VK_INSERT);
  Application->ProcessMessages();
  EXPECT_EQ(fromWorker(VK_INSERT), 0x00);
  Headless::KeyDown(VK_CAPITAL);
  Application->ProcessMessages();
  EXPECT_EQ(fromWorker(VK_CAPITAL), 0x81) << "held down and toggled on";
  EXPECT_EQ(GetWindowSystemKeyState(VK_CAPITAL), 0x81) << "the GUI thread sees the same";
  Headless::KeyUp(VK_CAPITAL);
  Application->ProcessMessages();
  EXPECT_EQ(fromWorker(VK_CAPITAL), 0x01);
}

TEST_F(KeyboardStateWatcher, TheRealKeySourceDrivesTheWatcher) {
  FForm->SetFocus();
  auto watcher = MakeOwned<TzmStatusBarKeyboardStateNotifier>(FBar, GetWindowSystemKeyState, kFastPoll);
  watcher->AddKey(VK_INSERT);
  Application->ProcessMessages();
  const Integer paints = FBar->Paints;
  Headless::PressKey(VK_INSERT);
  EXPECT_TRUE(PumpUntil([&] { return FBar->Paints > paints; }));
  EXPECT_EQ(watcher->GetWatchedKeys()[0].State, 0x01);
}

// ------------------------------------------------------------------ key appearances

using KeyAppearance = TStatusBarTest;

TEST_F(KeyAppearance, SettersStoreAndNotify) {
  Integer changes = 0;
  TzmStatusBarKeyStateAppearance insert(zmksInsert, VK_INSERT, "OVR", clBlack, "INS", clBtnShadow,
                                        [&](TObject*) { ++changes; });
  EXPECT_EQ(insert.GetKey(), zmksInsert);
  EXPECT_EQ(insert.GetCode(), VK_INSERT);
  insert.SetActiveCaption("OVERTYPE");
  insert.SetActiveFontColor(clRed);
  insert.SetInactiveCaption("INSERT");
  insert.SetInactiveFontColor(clGreen);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(insert.GetActiveCaption(), "OVERTYPE");
  EXPECT_EQ(insert.GetActiveFontColor(), clRed);
  EXPECT_EQ(insert.GetInactiveCaption(), "INSERT");
  EXPECT_EQ(insert.GetInactiveFontColor(), clGreen);

  TzmStatusBarKeyStateAppearance copy(zmksInsert, VK_INSERT, "OVR", clBlack, "INS", clBtnShadow,
                                      [&](TObject*) { changes += 10; });
  copy.Assign(&insert);
  EXPECT_EQ(copy.GetActiveCaption(), "OVERTYPE");
  EXPECT_EQ(copy.GetInactiveFontColor(), clGreen);
  EXPECT_EQ(changes, 14);
}

TEST_F(KeyAppearance, CellIsTheWiderCaptionPlusFour) {
  TzmStatusBarKeyStateAppearance insert(zmksInsert, VK_INSERT, "OVR", clBlack, "INS", clBtnShadow, nullptr);
  const Integer wider = std::max(Canvas()->TextWidth("OVR"), Canvas()->TextWidth("INS"));
  EXPECT_EQ(insert.GetCellWidth(Canvas()), wider + 4);
  insert.SetInactiveCaption("INSERTING");
  EXPECT_EQ(insert.GetCellWidth(Canvas()), Canvas()->TextWidth("INSERTING") + 4);
}

}  // namespace
