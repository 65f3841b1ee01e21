// Look-and-feel settings: inheritance from masters and the root, notification walks, the
// controller's life, and the painter choice.
#include "LookAndFeelTestSupport.h"
#include "platform/rtl/StringList.h"

namespace {

String Values(TqvLookAndFeelValues v) {
  String s;
  if (v & lfvBit(lfvKind)) s += "Kind ";
  if (v & lfvBit(lfvNativeStyle)) s += "NativeStyle ";
  return s.empty() ? "none" : s.substr(0, s.size() - 1);
}

class LookAndFeels : public TLookAndFeelTest {
 protected:
  TOwned<TqvLookAndFeel> Make() { return MakeOwned<TqvLookAndFeel>(nullptr); }
  // Records the changed sets a look and feel reports.
  void Record(TqvLookAndFeel* lf, std::vector<String>& log) {
    lf->OnChanged = [&log](TqvLookAndFeel*, TqvLookAndFeelValues v) { log.push_back(Values(v)); };
  }
};

struct TInheritCase {
  const char* Name;
  bool ChildAssignsKind;
  bool UseMaster;
  TqvLookAndFeelKind Expected;
  std::vector<String> ChildLog;
};

class LookAndFeelInheritance : public LookAndFeels, public ::testing::WithParamInterface<TInheritCase> {};

// The root's kind becomes lfFlat, a master's lfStandard; the child assigns lfUltraFlat or not.
TEST_P(LookAndFeelInheritance, KindFlowsDownUnlessAssigned) {
  const TInheritCase& c = GetParam();
  auto master = Make();
  auto child = Make();
  if (c.UseMaster) {
    master->SetKind(lfStandard);
    child->SetMasterLookAndFeel(master.get());
  }
  if (c.ChildAssignsKind) child->SetKind(lfUltraFlat);
  std::vector<String> log;
  Record(child.get(), log);
  RootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(child->GetKind(), c.Expected) << c.Name;
  EXPECT_EQ(log, c.ChildLog) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookAndFeelInheritance,
    ::testing::Values(TInheritCase{"follows the root", false, false, lfFlat, {"Kind"}},
                      TInheritCase{"assigned", true, false, lfUltraFlat, {}},
                      TInheritCase{"master assigned", false, true, lfStandard, {}},
                      TInheritCase{"master and child assigned", true, true, lfUltraFlat, {}}));

TEST_F(LookAndFeels, AssigningTheValueInEffectMarksItWithoutNotifying) {
  auto lf = Make();
  std::vector<String> log;
  Record(lf.get(), log);
  lf->SetKind(lfUltraFlat);
  EXPECT_EQ(lf->GetAssignedValues(), lfvBit(lfvKind));
  EXPECT_TRUE(log.empty());
  lf->SetNativeStyle(true);
  EXPECT_EQ(log, (std::vector<String>{"NativeStyle"}));
  lf->Reset();
  EXPECT_EQ(log, (std::vector<String>{"NativeStyle", "NativeStyle"}));
  EXPECT_FALSE(lf->GetNativeStyle());
}

TEST_F(LookAndFeels, TheLastControllerResetsTheRoot) {
  auto first = MakeOwned<TqvLookAndFeelController>(nullptr);
  auto second = MakeOwned<TqvLookAndFeelController>(nullptr);
  EXPECT_EQ(GetLookAndFeelControllerCount(), 2);
  auto lf = Make();
  std::vector<String> log;
  Record(lf.get(), log);
  first->SetKind(lfStandard);
  first->SetNativeStyle(true);
  EXPECT_EQ(lf->GetKind(), lfStandard);
  EXPECT_EQ(second->GetKind(), lfStandard);
  first.reset();
  EXPECT_EQ(lf->GetKind(), lfStandard) << "a controller remains";
  second.reset();
  EXPECT_EQ(GetLookAndFeelControllerCount(), 0);
  EXPECT_EQ(lf->GetKind(), lfUltraFlat);
  EXPECT_FALSE(lf->GetNativeStyle());
  EXPECT_EQ(log, (std::vector<String>{"Kind", "NativeStyle", "Kind NativeStyle"}));
}

TEST_F(LookAndFeels, AControllerNeverJoinsAnOrdinaryLookAndFeel) {
  auto lf = Make();
  auto controller = MakeOwned<TqvLookAndFeelController>(nullptr);
  lf->AddChangeListener(controller.get());
  EXPECT_EQ(lf->GetListenerCount(), 0);
  EXPECT_EQ(GetLookAndFeelControllerCount(), 1);
}

// A follower that attaches a new follower while it hears a change: the walk ends, each hears once.
TEST_F(LookAndFeels, AListenerAddedDuringAWalkIsNotCalledTwice) {
  auto master = Make();
  auto a = Make(), late = Make();
  a->SetMasterLookAndFeel(master.get());
  int aCalls = 0, lateCalls = 0;
  a->OnChanged = [&](TqvLookAndFeel*, TqvLookAndFeelValues) {
    ++aCalls;
    late->SetMasterLookAndFeel(master.get());
  };
  late->OnChanged = [&](TqvLookAndFeel*, TqvLookAndFeelValues) { ++lateCalls; };
  master->SetKind(lfFlat);
  EXPECT_EQ(aCalls, 1) << "the grown list does not make the walk call it again";
  EXPECT_EQ(lateCalls, 1) << "only its own attaching, not the master's walk";
  EXPECT_EQ(late->GetKind(), lfFlat);
  master->SetKind(lfStandard);
  EXPECT_EQ(aCalls, 2);
  EXPECT_EQ(lateCalls, 2);
}

TEST_F(LookAndFeels, AListenerThatLeavesDoesNotMakeTheWalkSkipItsSuccessor) {
  auto master = Make();
  auto a = Make(), b = Make();
  a->SetMasterLookAndFeel(master.get());
  b->SetMasterLookAndFeel(master.get());
  a->OnChanged = [&](TqvLookAndFeel*, TqvLookAndFeelValues) { a->SetMasterLookAndFeel(nullptr); };
  int bCalls = 0;
  b->OnChanged = [&](TqvLookAndFeel*, TqvLookAndFeelValues) { ++bCalls; };
  master->SetKind(lfFlat);
  EXPECT_EQ(bCalls, 1);
}

TEST_F(LookAndFeels, FollowersOfADestroyedMasterReturnToTheRoot) {
  auto master = Make();
  auto child = Make();
  master->SetKind(lfStandard);
  child->SetMasterLookAndFeel(master.get());
  EXPECT_EQ(child->GetMasterLookAndFeel(), master.get());
  master.reset();
  EXPECT_EQ(child->GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(child->GetKind(), lfUltraFlat);
}

TEST_F(LookAndFeels, AssignCopiesValuesAndMaster) {
  auto source = Make(), target = Make();
  source->SetKind(lfFlat);
  target->Assign(source.get());
  EXPECT_EQ(target->GetAssignedValues(), lfvBit(lfvKind));
  EXPECT_EQ(target->GetKind(), lfFlat);
  EXPECT_EQ(target->GetMasterLookAndFeel(), RootLookAndFeel()) << "a source following the root";
  TStringList notALookAndFeel;
  EXPECT_THROW(target->Assign(&notALookAndFeel), EConvertError);
}

TEST_F(LookAndFeels, RootAndSelfAreNoMasters) {
  auto lf = Make();
  lf->SetMasterLookAndFeel(lf.get());
  EXPECT_EQ(lf->GetMasterLookAndFeel(), RootLookAndFeel());
  RootLookAndFeel()->SetMasterLookAndFeel(lf.get());
  EXPECT_EQ(RootLookAndFeel()->GetMasterLookAndFeel(), nullptr);
}

struct TPainterCase {
  TqvLookAndFeelKind Kind;
  bool Native;
  bool Themes;
  TqvLookAndFeelPainterClass (*Expected)();
};

class LookAndFeelPainterChoice : public LookAndFeels, public ::testing::WithParamInterface<TPainterCase> {};

TEST_P(LookAndFeelPainterChoice, ByKindNativeStyleAndThemes) {
  const TPainterCase& c = GetParam();
  ThemeEngine::SetEnabled(c.Themes);
  auto lf = Make();
  lf->SetKind(c.Kind);
  lf->SetNativeStyle(c.Native);
  EXPECT_EQ(lf->GetPainter(), c.Expected());
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookAndFeelPainterChoice,
    ::testing::Values(TPainterCase{lfFlat, false, true, TqvFlatLookAndFeelPainter::Class},
                      TPainterCase{lfStandard, false, true, TqvStandardLookAndFeelPainter::Class},
                      TPainterCase{lfUltraFlat, false, true, TqvUltraFlatLookAndFeelPainter::Class},
                      TPainterCase{lfUltraFlat, true, true, TqvWinXPLookAndFeelPainter::Class},
                      TPainterCase{lfStandard, true, false, TqvStandardLookAndFeelPainter::Class}));

TEST_F(LookAndFeels, ThemesSwitchedOnGiveTheNativePainterNextTime) {
  ThemeEngine::SetEnabled(false);
  auto lf = Make();
  lf->SetNativeStyle(true);
  EXPECT_EQ(lf->GetPainter(), TqvUltraFlatLookAndFeelPainter::Class());
  ThemeEngine::SetEnabled(true);
  EXPECT_EQ(lf->GetPainter(), TqvWinXPLookAndFeelPainter::Class());
  ThemeEngine::SetClassHidden(u"Edit", true);
  CloseAllThemes();
  EXPECT_EQ(lf->GetAvailablePainter(ThemeClassMask(totEdit)), TqvUltraFlatLookAndFeelPainter::Class());
  ThemeEngine::SetClassHidden(u"Edit", false);
}

}  // namespace
