#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RtlTestSupport.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Scopes.h"
#include "support/EnumNames.h"

namespace {

using ScopeLog = std::vector<String>;

// A component with the bracket shapes scopes meet: an update pair that may be cancelled, a pair
// whose end learns whether the block completed, a Lock(bool) switch. Its undos (EndUpdate,
// CancelUpdate, Lock(false)) are counted and raise "undo failed" when asked to.
class TBracketProbe : public TComponent {
  QJ_CLASS(TBracketProbe, TComponent)
 public:
  explicit TBracketProbe(TComponent* AOwner) : TComponent(AOwner) {}

  void BeginUpdate() { Log.push_back("begin"); }
  void EndUpdate() { Undo("end"); }
  void EndUpdateCompleted(bool ACompleted) { Undo(ACompleted ? "end completed" : "end abandoned"); }
  void CancelUpdate() { Undo("cancel"); }
  void Lock(bool ALock) {
    if (ALock)
      Log.push_back("lock");
    else
      Undo("unlock");
  }

  ScopeLog Log;
  int Undos = 0;
  bool RaiseAtUndo = false;

 private:
  void Undo(const String& AWhat) {
    Log.push_back(AWhat);
    ++Undos;
    if (RaiseAtUndo) throw Exception("undo failed");
  }
};

QJ_IMPLEMENT_CLASS(TBracketProbe)

using TCompletionScope = TUpdateScope<TBracketProbe, &TBracketProbe::BeginUpdate, &TBracketProbe::EndUpdateCompleted>;

// ---------------------------------------------------------------------------------------------
// The error rule every ending scope shares

enum class TEndingScope { Update, Cancellable, LockSwitch, Finally };

std::string EndingScopeName(TEndingScope AScope) {
  return NameOf(AScope, {QJ_NAMED(TEndingScope::Update), QJ_NAMED(TEndingScope::Cancellable),
                         QJ_NAMED(TEndingScope::LockSwitch), QJ_NAMED(TEndingScope::Finally)});
}

struct TEndingCase {
  const char* Name;
  bool BlockRaises;
  bool UndoRaises;
  const char* Expected;  // the message that reaches the caller
};

const TEndingCase kEndingCases[] = {
    {"QuietBlockQuietUndo", false, false, "no error"},
    {"UndoErrorReachesCaller", false, true, "undo failed"},
    {"BlockErrorReachesCaller", true, false, "block failed"},
    {"BlockErrorWinsOverUndoError", true, true, "block failed"},
};

class ScopeEndingTest : public ::testing::TestWithParam<std::tuple<TEndingScope, TEndingCase>> {
 protected:
  void TearDown() override { Free(FProbe); }

  // Runs the block inside the scope under test.
  void RunBlock(TEndingScope AScope, bool ABlockRaises) {
    auto block = [&] {
      if (ABlockRaises) throw Exception("block failed");
    };
    switch (AScope) {
      case TEndingScope::Update: {
        TUpdateScope update(FProbe);
        block();
        break;
      }
      case TEndingScope::Cancellable: {
        TCancellableUpdateScope<TBracketProbe> update(FProbe);
        block();
        break;
      }
      case TEndingScope::LockSwitch: {
        TLockSwitchScope<TBracketProbe, &TBracketProbe::Lock> locked(FProbe);
        block();
        break;
      }
      case TEndingScope::Finally: {
        TFinally undo([this] { FProbe->EndUpdate(); });
        block();
        break;
      }
    }
  }

  TBracketProbe* FProbe = New<TBracketProbe>(nullptr);
};

TEST_P(ScopeEndingTest, UndoRunsOnceAndTheRightErrorReachesTheCaller) {
  const TEndingScope scope = std::get<0>(GetParam());
  const TEndingCase& c = std::get<1>(GetParam());
  FProbe->RaiseAtUndo = c.UndoRaises;
  EXPECT_EQ(ErrorOf<Exception>([&] { RunBlock(scope, c.BlockRaises); }), c.Expected);
  EXPECT_EQ(FProbe->Undos, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ScopeEndingTest,
    ::testing::Combine(::testing::Values(TEndingScope::Update, TEndingScope::Cancellable, TEndingScope::LockSwitch,
                                         TEndingScope::Finally),
                       ::testing::ValuesIn(kEndingCases)),
    [](const auto& info) {
      return EndingScopeName(std::get<0>(info.param)) + "_" + std::get<1>(info.param).Name;
    });

// A scope opened in a destructor that runs while another exception unwinds has no exception of
// its own in flight: its undo's error reaches the code around it.
struct TUndoInDestructor {
  String* Caught;
  ~TUndoInDestructor() {
    try {
      TFinally undo([] { throw Exception("undo failed"); });
    } catch (const Exception& e) {
      *Caught = e.Message();
    }
  }
};

TEST(ScopesTest, ScopeOpenedDuringUnwindingRaisesItsOwnUndoError) {
  String caught;
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TUndoInDestructor guard{&caught};
              throw Exception("block failed");
            }),
            "block failed");
  EXPECT_EQ(caught, "undo failed");
}

// ---------------------------------------------------------------------------------------------
// Update brackets

// The string list's OnChange raising inside EndUpdate reached std::terminate through a
// destructor that could not throw.
TEST(ScopesTest, ChangeHandlerErrorInEndUpdateReachesTheCaller) {
  TOwned<TStringList> list = MakeOwned<TStringList>();
  list->OnChange = [](TObject*) { throw Exception("refused"); };
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TUpdateScope update(*list);
              list->Add("one");
            }),
            "refused");
  EXPECT_EQ(list->GetCount(), 1);
}

TEST(ScopesTest, UpdateScopeLeavesAnObjectDestroyedInTheBlockAlone) {
  ScopeLog log;
  auto* probe = New<TBracketProbe>(nullptr);
  {
    TUpdateScope update(probe);
    log = probe->Log;
    Free(probe);
  }
  EXPECT_EQ(log, (ScopeLog{"begin"}));
}

TEST(ScopesTest, UpdateScopeOnNoObjectDoesNothing) {
  TBracketProbe* none = nullptr;
  EXPECT_EQ(ErrorOf<Exception>([&] { TUpdateScope update(none); }), "no error");
}

TEST(ScopesTest, EndLearnsWhetherTheBlockCompleted) {
  TOwned<TBracketProbe> probe = MakeOwned<TBracketProbe>(nullptr);
  { TCompletionScope update(probe.get()); }
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TCompletionScope update(probe.get());
              throw Exception("block failed");
            }),
            "block failed");
  EXPECT_EQ(probe->Log, (ScopeLog{"begin", "end completed", "begin", "end abandoned"}));
}

TEST(ScopesTest, CancellableUpdateEndsACompletedBlockAndCancelsAFailedOne) {
  TOwned<TBracketProbe> probe = MakeOwned<TBracketProbe>(nullptr);
  { TCancellableUpdateScope<TBracketProbe> update(probe.get()); }
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TCancellableUpdateScope<TBracketProbe> update(probe.get());
              throw Exception("block failed");
            }),
            "block failed");
  EXPECT_EQ(probe->Log, (ScopeLog{"begin", "end", "begin", "cancel"}));
}

TEST(ScopesTest, LockSwitchScopeSwitchesOnAndOff) {
  TOwned<TBracketProbe> probe = MakeOwned<TBracketProbe>(nullptr);
  {
    TLockSwitchScope<TBracketProbe, &TBracketProbe::Lock> locked(probe.get());
    probe->Log.push_back("block");
  }
  EXPECT_EQ(probe->Log, (ScopeLog{"lock", "block", "unlock"}));
}

TEST(ScopesTest, UpdateScopesNestInnerFirst) {
  TOwned<TBracketProbe> probe = MakeOwned<TBracketProbe>(nullptr);
  {
    TUpdateScope outer(*probe);
    TLockSwitchScope<TBracketProbe, &TBracketProbe::Lock> inner(probe.get());
  }
  EXPECT_EQ(probe->Log, (ScopeLog{"begin", "lock", "unlock", "end"}));
}

// ---------------------------------------------------------------------------------------------
// Value and counter scopes

TEST(ScopesTest, ValueScopePutsTheOldValueBackHoweverTheBlockEnds) {
  String caption = "old";
  {
    TValueScope scope(caption, String("new"));
    EXPECT_EQ(caption, "new");
  }
  EXPECT_EQ(caption, "old");
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TValueScope scope(caption, String("new"));
              throw Exception("block failed");
            }),
            "block failed");
  EXPECT_EQ(caption, "old");
}

// The owner's field stands for one that dies with it: only the token says whether it is gone.
TEST(ScopesTest, GuardedValueScopeRestoresOnlyWhileTheOwnerLives) {
  bool flag = false;
  auto owner = std::make_unique<TAliveFlag>();
  { TValueScope scope(flag, true, owner->Token()); }
  EXPECT_FALSE(flag);
  {
    TValueScope scope(flag, true, owner->Token());
    owner.reset();
  }
  EXPECT_TRUE(flag);
}

TEST(ScopesTest, CounterScopeRaisesAndLowersHoweverTheBlockEnds) {
  Integer count = 0;
  {
    TCounterScope outer(count);
    TCounterScope inner(count);
    EXPECT_EQ(count, 2);
  }
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ErrorOf<Exception>([&] {
              TCounterScope scope(count);
              throw Exception("block failed");
            }),
            "block failed");
  EXPECT_EQ(count, 0);
}

TEST(ScopesTest, GuardedCounterScopeLowersOnlyWhileTheOwnerLives) {
  Integer count = 0;
  auto owner = std::make_unique<TAliveFlag>();
  {
    TCounterScope scope(count, owner->Token());
    owner.reset();
  }
  EXPECT_EQ(count, 1);
}

}  // namespace
