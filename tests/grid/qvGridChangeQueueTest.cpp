// The change queue on its own: changes added at a lock depth and the list of changes it runs.
// The views exist as objects only (no grid, no window); the queue's procedure notes each change
// instead of running it.
#include <memory>
#include <sstream>

#include "qvGridTestSupport.h"

namespace {

// A change of the tests: data changes run at once; others may act when they run.
class TScriptChange : public TqvCustomGridViewChange {
  QJ_INLINE_CLASS(TScriptChange, TqvCustomGridViewChange)
 public:
  TScriptChange(TqvCustomGridView* AView, String AToken, bool AWaits, std::function<void()> AAction = nullptr)
      : TqvCustomGridViewChange(AView), Token(std::move(AToken)), Waits(AWaits), Action(std::move(AAction)) {
    ++LiveCount;
  }
  ~TScriptChange() override { --LiveCount; }
  void Execute() override {
    if (Action) Action();
  }
  bool WaitsForUnlock() override { return Waits; }
  bool MergesWhenEqual() override { return false; }

  static inline Integer LiveCount = 0;
  String Token;
  bool Waits;
  std::function<void()> Action;
};

class ChangeQueue : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    for (Integer i = 1; i <= 4; ++i) FViews.push_back(New<TTestGridView>(nullptr));
    MakeDetail(View(2), View(1));
    MakeDetail(View(4), View(2));
    FQueue = std::make_unique<TqvGridChangeQueue>([this](TqvCustomGridChange* AChange) { Run(AChange); });
  }
  void TearDown() override {
    FQueue.reset();
    for (auto it = FViews.rbegin(); it != FViews.rend(); ++it) Free(*it);
    TqvControlsTest::TearDown();
  }

  TqvCustomGridView* View(Integer AId) { return FViews[static_cast<size_t>(AId - 1)]; }
  String IdOf(TqvCustomGridView* AView) {
    for (size_t i = 0; i < FViews.size(); ++i)
      if (FViews[i] == AView) return std::to_string(i + 1);
    return "";
  }

  // L1 layout of view 1, L the grid's; S size (v view only, k keep master); P repaint; F focus;
  // D a data change.
  TOwned<TqvCustomGridChange> MakeChange(const String& AToken) {
    const char kind = AToken[0];
    size_t digits = 1;
    while (digits < AToken.size() && std::isdigit(static_cast<unsigned char>(AToken[digits]))) ++digits;
    TqvCustomGridView* view = digits > 1 ? View(std::stoi(AToken.substr(1, digits - 1))) : nullptr;
    const String flags = AToken.substr(digits);
    switch (kind) {
      case 'L': return MakeOwned<TqvGridLayoutChange>(view);
      case 'S': return MakeOwned<TqvGridSizeChange>(view, flags.find('v') != String::npos, flags.find('k') != String::npos);
      case 'P': return MakeOwned<TqvGridViewChange>(view, Rect(0, 0, 10, 10));
      case 'F': return MakeOwned<TqvGridControlFocusChange>(view);
      case 'D': return MakeOwned<TScriptChange>(view, AToken, false);
      default: return MakeOwned<TScriptChange>(view, AToken, true);
    }
  }

  String TokenOf(TqvCustomGridChange* AChange) {
    const String view = IdOf(AChange->GetGridView());
    if (auto* script = As<TScriptChange>(AChange)) return script->Token;
    if (auto* size = As<TqvGridSizeChange>(AChange))
      return "S" + view + (size->GetViewOnly() ? "v" : "") + (size->GetKeepMaster() ? "k" : "");
    if (AChange->InheritsFrom<TqvGridLayoutChange>()) return "L" + view;
    if (AChange->InheritsFrom<TqvGridViewChange>()) return "P" + view;
    return "F" + view;
  }

  void Run(TqvCustomGridChange* AChange) {
    FLog.push_back(TokenOf(AChange));
    AChange->Execute();
  }

  // "(" BeginUpdate, ")" EndUpdate, "x" CancelUpdate, "|" a mark in the log, else a change.
  void Play(const String& AScript) {
    std::istringstream in(AScript);
    String token;
    while (in >> token) {
      if (token == "(")
        FQueue->BeginUpdate();
      else if (token == ")")
        FQueue->EndUpdate();
      else if (token == "x")
        FQueue->CancelUpdate();
      else if (token == "|")
        FLog.push_back("|");
      else
        FQueue->Add(MakeChange(token));
    }
  }

  String Log() const {
    String result;
    for (const String& entry : FLog) result += (result.empty() ? "" : " ") + entry;
    return result;
  }

  std::vector<TqvCustomGridView*> FViews;  // 2 is a detail of 1, 4 of 2; 3 stands alone
  std::unique_ptr<TqvGridChangeQueue> FQueue;
  std::vector<String> FLog;
};

// ---------------------------------------------------------------------------------------------
// Changes x lock depth -> the changes that run

struct TBatchCase {
  const char* Name;
  const char* Changes;
  const char* Batched;      // what has run after the last unlock (at depth 0: Changes as added)
  const char* AtOnce = "";  // what runs while locked
};

std::ostream& operator<<(std::ostream& os, const TBatchCase& c) { return os << c.Name; }

const TBatchCase kBatchCases[] = {
    {"ViewLayoutsThenGridLayout", "L1 L1 L1 L", "L"},
    {"GridLayoutThenViewLayout", "L L1", "L L1"},
    {"DetailLayoutThenMasterSize", "L2 S1", "S1"},
    {"DetailLayoutThenMasterLayout", "L2 L1", "L1"},
    {"MasterLayoutThenDetailLayout", "L1 L2", "L1 L2"},
    {"DeepDetailThenTopMaster", "L4 S1", "S1"},
    {"UnrelatedViewsKeepTheirLayouts", "L3 S1 L1", "L3 S1 L1"},
    {"ViewLayoutThenOwnSize", "L1 S1", "L1 S1"},
    {"ViewLayoutThenGridSize", "L1 S", "S"},
    {"GridLayoutThenGridSize", "L S", "S"},
    {"GridSizeThenGridLayout", "S L", "S L"},
    {"RepaintsNeverMerge", "P1 P1", "P1 P1"},
    {"RepaintsAreNotCovered", "P1 L", "P1 L"},
    {"EqualSizesMerge", "S1 S1k S1", "S1"},
    {"ViewOnlySizesDiffer", "S1 S1v", "S1 S1v"},
    {"FocusChangesMerge", "F1 F3 F1", "F1 F3"},
    {"FirstOfEqualKeepsItsPlace", "L1 L3 L1", "L1 L3"},
    {"DataChangesRunAtOnce", "L1 D1 L3", "D1 L1 L3", "D1"},
};

class ChangeBatches : public ChangeQueue, public ::testing::WithParamInterface<std::tuple<TBatchCase, Integer>> {};

TEST_P(ChangeBatches, RunAtTheLastUnlock) {
  const auto& [c, depth] = GetParam();
  for (Integer i = 0; i < depth; ++i) FQueue->BeginUpdate();
  Play(c.Changes);
  if (depth > 0) {
    EXPECT_EQ(Log(), c.AtOnce) << "nothing else runs while locked";
  }
  for (Integer i = 0; i < depth; ++i) FQueue->EndUpdate();
  EXPECT_EQ(Log(), depth == 0 ? c.Changes : c.Batched);
  EXPECT_EQ(FQueue->GetCount(), 0);
  EXPECT_EQ(FQueue->GetLockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Queue, ChangeBatches, ::testing::Combine(::testing::ValuesIn(kBatchCases), ::testing::Values(0, 1, 3)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) + "_Depth" +
                                  std::to_string(std::get<1>(info.param));
                         });

// ---------------------------------------------------------------------------------------------
// Nesting, cancelling and unbalanced calls

struct TScriptCase {
  const char* Name;
  const char* Script;
  const char* Log;
};

std::ostream& operator<<(std::ostream& os, const TScriptCase& c) { return os << c.Name; }

const TScriptCase kScriptCases[] = {
    {"OnlyTheOutermostUnlockRuns", "( ( L1 ) | L3 )", "| L1 L3"},
    {"CancelAtDepthOneDropsTheBatch", "( ( L1 ) L3 x", ""},
    {"CancelInsideOnlyUnlocks", "( ( L1 x L3 )", "L1 L3"},
    {"UnlockAtZeroDoesNothing", ") x L1", "L1"},
    {"QueueRunsAgainAfterACancel", "( L1 x ( L3 )", "L3"},
};

class ChangeScripts : public ChangeQueue, public ::testing::WithParamInterface<TScriptCase> {};

TEST_P(ChangeScripts, Play) {
  Play(GetParam().Script);
  EXPECT_EQ(Log(), GetParam().Log);
  EXPECT_EQ(FQueue->GetLockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Queue, ChangeScripts, ::testing::ValuesIn(kScriptCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Failures and removals inside a batch

TEST_F(ChangeQueue, AChangeThatRaisesDoesNotStopItsBatch) {
  FQueue->BeginUpdate();
  FQueue->Add(MakeChange("L1"));
  FQueue->Add(MakeOwned<TScriptChange>(View(3), "first", true, [] { throw EAbort("first"); }));
  FQueue->Add(MakeOwned<TScriptChange>(View(3), "second", true, [] { throw EAbort("second"); }));
  FQueue->Add(MakeChange("P3"));
  try {
    FQueue->EndUpdate();
    FAIL() << "the failure is raised again";
  } catch (const EAbort& e) {
    EXPECT_EQ(e.Message(), "first");
  }
  EXPECT_EQ(Log(), "L1 first second P3");
  EXPECT_EQ(TScriptChange::LiveCount, 0);
}

TEST_F(ChangeQueue, AChangeRunAtOnceIsFreedWhenItRaises) {
  EXPECT_THROW(FQueue->Add(MakeOwned<TScriptChange>(View(1), "fails", true, [] { throw EAbort("no"); })), EAbort);
  EXPECT_EQ(TScriptChange::LiveCount, 0);
}

TEST_F(ChangeQueue, RemovingAViewFreesItsQueuedChanges) {
  Play("( L3 L1 P3 S3");
  FQueue->RemoveViewChanges(View(3));
  EXPECT_EQ(FQueue->GetCount(), 1);
  Play(")");
  EXPECT_EQ(Log(), "L1");
}

TEST_F(ChangeQueue, RemovingAViewInsideABatchDropsItsLaterChanges) {
  FQueue->BeginUpdate();
  FQueue->Add(MakeOwned<TScriptChange>(View(1), "removes3", true, [this] { FQueue->RemoveViewChanges(View(3)); }));
  FQueue->Add(MakeOwned<TScriptChange>(View(3), "of3", true));
  FQueue->Add(MakeChange("L1"));
  FQueue->EndUpdate();
  EXPECT_EQ(Log(), "removes3 L1");
  EXPECT_EQ(TScriptChange::LiveCount, 0);
}

TEST_F(ChangeQueue, AChangeMayFreeTheQueue) {
  FQueue->BeginUpdate();
  FQueue->Add(MakeOwned<TScriptChange>(View(1), "frees", true, [this] { FQueue.reset(); }));
  FQueue->Add(MakeOwned<TScriptChange>(View(1), "after", true));
  FQueue->EndUpdate();
  EXPECT_FALSE(FQueue);
  EXPECT_EQ(Log(), "frees");
  EXPECT_EQ(TScriptChange::LiveCount, 0);
}

TEST_F(ChangeQueue, AChangeThatLocksAgainRunsItsOwnBatch) {
  FQueue->BeginUpdate();
  FQueue->Add(MakeOwned<TScriptChange>(View(1), "nests", true, [this] { Play("( L3 L3 ) | "); }));
  FQueue->Add(MakeChange("L1"));
  FQueue->EndUpdate();
  EXPECT_EQ(Log(), "nests L3 | L1");
}

TEST_F(ChangeQueue, ChangesAddedWhileTheBatchRunsRunAtOnce) {
  FQueue->BeginUpdate();
  FQueue->Add(MakeOwned<TScriptChange>(View(1), "adds", true, [this] { Play("L3"); }));
  FQueue->Add(MakeChange("L1"));
  FQueue->EndUpdate();
  EXPECT_EQ(Log(), "adds L3 L1");
}

}  // namespace
