// The tab control: selecting a tab (the TabIndex table, the veto, locked change events),
// styles chosen by number or by the look and feel, the property setters' layout requests, the
// stored selection re-applied after loading, and the defaults of a new control.
#include "PageControlTestSupport.h"
#include "lookandfeel/qvLookAndFeels.h"

namespace {

class TabControl : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl();
    for (const char* c : {"A", "B", "C"}) FControl->GetTabs()->Add(c);
    FControl->OnChanging = [this](TObject*, bool& Allow) {
      FLog.push_back("changing");
      Allow = FAllow;
    };
    FControl->OnChange = [this](TObject*) { FLog.push_back("change " + std::to_string(FControl->GetTabIndex())); };
  }
  TqvCustomTabControl* FControl = nullptr;
  std::vector<std::string> FLog;
  bool FAllow = true;
};

struct TTabIndexCase {
  const char* Name;
  Integer Value;
  Integer Expected;
  std::vector<std::string> Log;
};

class TabIndexTable : public TabControl, public ::testing::WithParamInterface<TTabIndexCase> {};

TEST_P(TabIndexTable, Selection) {
  FControl->SetTabIndex(1);
  FLog.clear();
  FControl->SetTabIndex(GetParam().Value);
  EXPECT_EQ(GetParam().Expected, FControl->GetTabIndex());
  EXPECT_EQ(GetParam().Log, FLog);
}

INSTANTIATE_TEST_SUITE_P(Table, TabIndexTable,
                         ::testing::Values(TTabIndexCase{"BeyondTheTabsIsIgnored", 5, 1, {}},
                                           TTabIndexCase{"BelowMinusOneIsIgnored", -2, 1, {}},
                                           TTabIndexCase{"MinusOneDeselects", -1, -1, {"changing", "change -1"}},
                                           TTabIndexCase{"TheSameIndexDoesNothing", 1, 1, {}},
                                           TTabIndexCase{"AnotherTab", 2, 2, {"changing", "change 2"}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TabControl, AVetoChangesNothing) {
  FAllow = false;
  FControl->SetTabIndex(2);
  EXPECT_EQ(0, FControl->GetTabIndex());
  EXPECT_EQ(0, FControl->GetActiveVisibleIndex());
  EXPECT_EQ((std::vector<std::string>{"changing"}), FLog);
}

TEST_F(TabControl, LockedChangeEventsAreNotFiredAndTheLockStaysAtZero) {
  FControl->LockChangeEvents();
  FControl->LockChangeEvents();
  EXPECT_TRUE(FControl->ChangeEventsLocked());
  FAllow = false;
  FControl->SetTabIndex(2);
  EXPECT_EQ(2, FControl->GetTabIndex()) << "no one is asked while locked";
  FControl->UnlockChangeEvents();
  EXPECT_TRUE(FControl->ChangeEventsLocked());
  FControl->UnlockChangeEvents();
  FControl->UnlockChangeEvents();
  EXPECT_FALSE(FControl->ChangeEventsLocked());
  FControl->LockChangeEvents();
  EXPECT_TRUE(FControl->ChangeEventsLocked()) << "one lock after too many unlocks locks again";
  EXPECT_TRUE(FLog.empty());
}

TEST_F(TabControl, TheStoredSelectionIsAppliedAfterLoadingWithoutEvents) {
  TCustomForm* form = GetParentForm(FControl);
  form->BeginLoading();
  FControl->SetTabIndex(2);
  EXPECT_EQ(2, FControl->GetTabIndex());
  EXPECT_EQ(0, FControl->GetActiveVisibleIndex()) << "only stored while loading";
  form->EndLoading();
  EXPECT_EQ(2, FControl->GetTabIndex());
  EXPECT_EQ(2, FControl->GetActiveVisibleIndex());
  EXPECT_TRUE(FLog.empty());
  EXPECT_FALSE(FControl->ChangeEventsLocked());
}

TEST_F(TabControl, ANewControlsDefaults) {
  auto* fresh = New<TqvCustomTabControl>(nullptr);
  EXPECT_EQ(289, fresh->GetWidth());
  EXPECT_EQ(193, fresh->GetHeight());
  EXPECT_TRUE(fresh->GetTabStop());
  EXPECT_TRUE(fresh->GetControlStyle() & csAcceptsControls);
  EXPECT_EQ(npRightTop, fresh->GetNavigatorPosition());
  EXPECT_EQ(tpTop, fresh->GetTabPosition());
  EXPECT_EQ(-1, fresh->GetTabIndex());
  EXPECT_EQ(qvPCDefaultStyle, fresh->GetStyle());
  Free(fresh);
}

// ------------------------------------------------------------------ styles

TEST_F(TabControl, AnUnregisteredStyleIsIgnored) {
  FControl->SetStyle(2);
  TqvPCCustomPainter* painter = FControl->GetPCPainter();
  FControl->SetStyle(99);
  EXPECT_EQ(2, FControl->GetStyle());
  EXPECT_EQ(painter, FControl->GetPCPainter());
}

TEST_F(TabControl, StyleZeroFollowsTheLookAndFeelAndReadsZero) {
  FControl->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(qvPCDefaultStyle, FControl->GetStyle());
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCFlatPainter>());
  FControl->SetStyle(1);
  EXPECT_EQ(1, FControl->GetStyle());
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCTabsPainter>());
  FControl->SetStyle(0);
  EXPECT_EQ(qvPCDefaultStyle, FControl->GetStyle());
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCFlatPainter>());
  FControl->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCTabsPainter>()) << "a look-and-feel change chooses again";
  EXPECT_EQ(qvPCDefaultStyle, FControl->GetStyle());
  FControl->GetLookAndFeel()->SetKind(lfFlat);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCFlatButtonsPainter>());
}

TEST_F(TabControl, AStyleThatTheLookAndFeelAlreadyChoseIsStillFixed) {
  FControl->GetLookAndFeel()->SetKind(lfStandard);
  TqvPCCustomPainter* painter = FControl->GetPCPainter();
  ASSERT_TRUE(painter->IsExactly<TqvPCTabsPainter>());
  FControl->SetStyle(1);
  EXPECT_EQ(1, FControl->GetStyle());
  EXPECT_EQ(painter, FControl->GetPCPainter()) << "the same painter goes on";
  FControl->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCTabsPainter>());
}

TEST_F(TabControl, AFixedStyleStaysWhenTheLookAndFeelChanges) {
  FControl->SetStyle(2);
  FControl->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCButtonsPainter>());
}

TEST_F(TabControl, WithTheNativeStyleAndTheTabThemeTheTabsPainterIsTheDefault) {
  FControl->GetLookAndFeel()->SetKind(lfUltraFlat);
  FControl->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCTabsPainter>());
  EXPECT_TRUE(FControl->GetPCPainter()->IsNativePainting());
  ThemeEngine::SetEnabled(false);
  Pump();
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCFlatPainter>()) << "chosen again when the theme goes";
}

// ------------------------------------------------------------------ setters

struct TSetterCase {
  const char* Name;
  std::function<void(TqvCustomTabControl*)> Change;
  bool Layout;
};

class TabSetters : public TPageControlTest, public ::testing::WithParamInterface<TSetterCase> {};

// Whether a layout ran shows in the measured widths: the painter's width is changed behind the
// layout's back and only a layout reads it again.
TEST_P(TabSetters, RequestALayoutOrNot) {
  auto* control = NewTabControl();
  control->SetStyle(TFixedPainter::Style);
  control->SetRotate(false);
  AddTabs(control, {30, 30});
  control->GetTabs()->GetTab(0)->SetNormalWidth(7);
  GetParam().Change(control);
  EXPECT_EQ(GetParam().Layout, VisibleTab(control, 0)->GetNormalWidth() == 30);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabSetters,
    ::testing::Values(TSetterCase{"MultiLine", [](auto* c) { c->SetMultiLine(true); }, true},
                      TSetterCase{"TabPosition", [](auto* c) { c->SetTabPosition(tpBottom); }, true},
                      TSetterCase{"SameTabPosition", [](auto* c) { c->SetTabPosition(tpTop); }, false},
                      TSetterCase{"TabWidth", [](auto* c) { c->SetTabWidth(5); }, true},
                      TSetterCase{"TabHeight", [](auto* c) { c->SetTabHeight(5); }, true},
                      TSetterCase{"NavigatorPosition", [](auto* c) { c->SetNavigatorPosition(npLeftTop); }, true},
                      TSetterCase{"ShowFrame", [](auto* c) { c->SetShowFrame(true); }, true},
                      TSetterCase{"ImageBorder", [](auto* c) { c->SetImageBorder(2); }, true},
                      TSetterCase{"NegativeImageBorder", [](auto* c) { c->SetImageBorder(-2); }, false},
                      TSetterCase{"RaggedRightInASingleLine", [](auto* c) { c->SetRaggedRight(true); }, false},
                      TSetterCase{"OptionsGoDialog", [](auto* c) { c->SetOptions(pcoBit(pcoGoDialog)); }, true},
                      TSetterCase{"OptionsSortOnly", [](auto* c) { c->SetOptions(pcoBit(pcoSort)); }, false},
                      TSetterCase{"MaxRotatedTabWidthWithoutRotate",
                                  [](auto* c) { c->SetMaxRotatedTabWidth(50); }, false},
                      TSetterCase{"OwnerDraw", [](auto* c) { c->SetOwnerDraw(true); }, false},
                      TSetterCase{"HotTrack", [](auto* c) { c->SetHotTrack(true); }, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TabControl, MaxRotatedTabWidthIsNeverNegativeNorBelowTheMinimum) {
  FControl->GetTabs()->Clear();
  FControl->SetStyle(TFixedPainter::Style);
  TFixedPainter::MinWidth = 25;
  FControl->SetMaxRotatedTabWidth(-4);
  EXPECT_EQ(0, FControl->GetMaxRotatedTabWidth());
  FControl->SetMaxRotatedTabWidth(10);
  EXPECT_EQ(25, FControl->GetMaxRotatedTabWidth());
  FControl->SetMaxRotatedTabWidth(40);
  EXPECT_EQ(40, FControl->GetMaxRotatedTabWidth());
}

TEST_F(TabControl, RotatedRowsAreAsThickAsTheWidestTabUpToTheMaximum) {
  FControl->GetTabs()->Clear();
  FControl->SetStyle(TFixedPainter::Style);
  AddTabs(FControl, {30, 70, 50});
  FControl->SetRotate(true);
  EXPECT_EQ(70, FControl->GetRowExtent());
  FControl->SetMaxRotatedTabWidth(60);
  EXPECT_EQ(60, FControl->GetRowExtent());
  EXPECT_EQ(ttoBottomToTop, FControl->GetTextOrientation());
}

}  // namespace
