// The grid control: creation, the change queue through views, tabs and the focused view, control
// focus, subscribers, drag opening, navigator forwarding, renaming and streaming.
#include "grid/qvGridDetailsSite.h"
#include "platform/forms/StdCtrls.h"
#include "qvGridTestSupport.h"

namespace {

using TStrings_ = std::vector<std::string>;

// A subscriber that notes the kinds it hears; it may veto key-downs.
class TTestNotification : public TqvCustomGridNotification {
  QJ_INLINE_CLASS(TTestNotification, TqvCustomGridNotification)
 public:
  explicit TTestNotification(TqvGridNotificationKinds AKinds, std::vector<std::string>* ALog, std::string AName)
      : Kinds(AKinds), Log(ALog), Name(std::move(AName)) {}
  TqvGridNotificationKinds GetSupportedKinds() override { return Kinds; }
  void Notify(TqvGridNotificationKind AKind, TMessage* AData) override {
    Log->push_back(Name + ":" + std::to_string(AKind));
    if (AKind == nkKeyDown && VetoKeys && AData) AData->Result = 1;
    if (OnNotify) OnNotify();
  }
  TqvGridNotificationKinds Kinds;
  std::vector<std::string>* Log;
  std::string Name;
  bool VetoKeys = false;
  std::function<void()> OnNotify;
};

// A view that is a navigator's data source.
class TNavigatorView : public TTestGridView, public IqvNavigator {
  QJ_INLINE_CLASS(TNavigatorView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;
  bool CanDelete() override { return true; }
  bool CanEdit() override { return false; }
  bool CanInsert() override { return true; }
  bool IsBof() override { return true; }
  bool IsBookmarkAvailable() override { return true; }
  bool IsEditing() override { return true; }
  bool IsEof() override { return false; }
  void ClearBookmark() override { Actions.push_back(-1); }
  void DoAction(Integer AButtonIndex) override { Actions.push_back(AButtonIndex); }
  TqvNavigatorControlNotifier* GetNotifier() override { return nullptr; }
  bool IsActionSupported(Integer) override { return false; }
  std::vector<Integer> Actions;
};

class Grid : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    FGrid->OnActiveTabChanged = [this](TqvCustomGrid*, TqvGridLevel* ALevel) {
      FEvents.push_back("tab " + ALevel->GetCaption());
    };
    FGrid->OnFocusedViewChanged = [this](TqvCustomGrid*, TqvCustomGridView* APrev, TqvCustomGridView* ANew) {
      FEvents.push_back("focus " + NameOf(APrev) + ">" + NameOf(ANew));
    };
  }
  std::string NameOf(TqvCustomGridView* AView) { return AView ? AView->GetName() : "none"; }
  TTestGridView* NamedTab(const String& AName) { return AddTab(AName, AName); }
  std::vector<std::string> FEvents;
};

// ---------------------------------------------------------------------------------------------
// Creation

TEST_F(Grid, ANewGridHasItsDefaults) {
  auto* grid = New<TqvGrid>(FForm);
  EXPECT_EQ(grid->GetWidth(), 250);
  EXPECT_EQ(grid->GetHeight(), 200);
  EXPECT_TRUE(grid->GetDragOpening());
  EXPECT_EQ(grid->GetDragOpeningWaitTime(), 500);
  EXPECT_TRUE(grid->GetTabStop());
  EXPECT_EQ(grid->GetBorderStyle(), qvcbsDefault);
  EXPECT_TRUE(grid->GetRootLevel()->IsRoot());
  EXPECT_EQ(grid->GetRootLevelOptions()->GetDetailFrameWidth(), 0);
  EXPECT_EQ(grid->GetRootLevelOptions()->GetDetailTabsPosition(), dtpNone);
  EXPECT_FALSE(grid->GetRootLevelOptions()->IsDetailFrameWidthStored());
  EXPECT_EQ(grid->GetActiveLevel(), nullptr);
  EXPECT_EQ(grid->GetFocusedView(), nullptr);
  EXPECT_NE(grid->GetController(), nullptr);
  EXPECT_NE(grid->GetGridPainter(), nullptr);
  EXPECT_NE(grid->GetViewInfo(), nullptr);
  EXPECT_NE(grid->GetNavigatorNotifier(), nullptr);
}

TEST_F(Grid, ANegativeDragOpeningWaitTimeIsStoredAsZero) {
  FGrid->SetDragOpeningWaitTime(-5);
  EXPECT_EQ(FGrid->GetDragOpeningWaitTime(), 0);
}

TEST_F(Grid, TheActiveViewFillsTheClientArea) {
  TTestGridView* view = AddTab();
  TqvGridSite* site = view->GetSite();
  EXPECT_EQ(site->GetParent(), FGrid);
  EXPECT_EQ(site->GetBoundsRect(), FGrid->GetClientBounds());
  FGrid->SetBounds(10, 10, 200, 150);
  EXPECT_EQ(site->GetBoundsRect(), FGrid->GetClientBounds()) << "a new size lays the grid out again";
}

// ---------------------------------------------------------------------------------------------
// Changes through the grid

TEST_F(Grid, ViewLayoutsFollowedByAGridLayoutRunAsOne) {
  TTestGridView* view = AddTab();
  std::vector<std::string> layouts;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView* AView) { layouts.push_back(NameOf(AView)); };
  FGrid->BeginUpdate();
  for (Integer i = 0; i < 3; ++i) view->LayoutChanged(true);
  FGrid->LayoutChanged();
  EXPECT_TRUE(layouts.empty());
  FGrid->EndUpdate();
  EXPECT_EQ(layouts, TStrings_({"none"}));
}

TEST_F(Grid, LoadedRunsOneLayoutChange) {
  Integer layouts = 0;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView*) { ++layouts; };
  FGrid->BeginLoading();
  FGrid->LayoutChanged();
  FGrid->SizeChanged();
  EXPECT_EQ(layouts, 0) << "no change is made while loading";
  FGrid->EndLoading();
  EXPECT_EQ(layouts, 1);
}

TEST_F(Grid, CancelUpdateDropsTheBatch) {
  TTestGridView* view = AddTab();
  Integer layouts = 0;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView*) { ++layouts; };
  FGrid->BeginUpdate();
  view->LayoutChanged(true);
  FGrid->LayoutChanged();
  FGrid->CancelUpdate();
  EXPECT_EQ(layouts, 0);
  EXPECT_FALSE(FGrid->IsUpdateLocked());
}

TEST_F(Grid, AFreedViewTakesItsQueuedChangesAlong) {
  TTestGridView* view = AddTab();
  TTestGridView* other = AddTab();
  FGrid->BeginUpdate();
  view->Invalidate();
  other->Invalidate();
  other->LayoutChanged(true);
  EXPECT_EQ(FGrid->GetChangeQueue().GetCount(), 3);
  Free(other);
  const TqvGridChangeQueue& queue = FGrid->GetChangeQueue();
  EXPECT_EQ(queue.GetItem(0)->GetGridView(), view);
  for (Integer i = 1; i < queue.GetCount(); ++i) EXPECT_EQ(queue.GetItem(i)->GetGridView(), nullptr) << i;
  FGrid->EndUpdate();
}

TEST_F(Grid, AttachingAViewDetachesItsDataControllerFromAMaster) {
  TTestGridView* master = AddTab();
  auto* view = New<TTestGridView>(FForm);
  MakeDetail(view, master);
  ASSERT_TRUE(view->IsDetail());
  view->SetControl(FGrid);
  EXPECT_FALSE(view->IsDetail());
  EXPECT_TRUE(view->IsPattern()) << "until a level shows it";
  EXPECT_EQ(FGrid->GetView(FGrid->GetViewCount() - 1), view);
}

TEST_F(Grid, ALookAndFeelChangeReachesEveryViewThenMeasuresAgain) {
  struct TLookView : TTestGridView {
    using TTestGridView::TTestGridView;
    void LookAndFeelChanged() override { Log.push_back("look and feel"); }
  };
  auto* first = New<TLookView>(FForm);
  auto* second = New<TLookView>(FForm);
  first->SetControl(FGrid);
  second->SetControl(FGrid);
  Integer layouts = 0;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView*) {
    EXPECT_EQ(second->Log, TStrings_({"look and feel"}));
    ++layouts;
  };
  FGrid->GetLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(first->Log, TStrings_({"look and feel"}));
  EXPECT_EQ(layouts, 1);
}

// ---------------------------------------------------------------------------------------------
// Tabs and focus

TEST_F(Grid, TheFirstVisibleTabBecomesActiveAndItsViewFocused) {
  TTestGridView* first = NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  EXPECT_EQ(FGrid->GetActiveLevel(), first->GetLevel());
  EXPECT_EQ(FGrid->GetFocusedView(), first);
  EXPECT_EQ(FEvents, TStrings_({"tab First", "focus none>First"}));
  EXPECT_TRUE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible()) << "a tab that is not active is not shown";
  EXPECT_TRUE(second->CanFocus()) << "but it can be focused";
}

TEST_F(Grid, FocusingAViewOfAnotherTabActivatesIt) {
  NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  FEvents.clear();
  second->SetFocused(true);
  EXPECT_EQ(FGrid->GetActiveLevel(), second->GetLevel());
  EXPECT_EQ(FEvents, TStrings_({"tab Second", "focus First>Second"}));
  EXPECT_EQ(second->GetSite()->GetParent(), FGrid);
}

TEST_F(Grid, TheFocusedViewHearsTheFocusMove) {
  TTestGridView* first = NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  first->Log.clear();
  FGrid->SetFocusedView(second);
  EXPECT_EQ(first->Log, TStrings_({"lost"}));
  EXPECT_EQ(second->Log, TStrings_({"gained"}));
  std::vector<std::string> log;
  TTestNotification subscriber(nkBit(nkFocusedView), &log, "s");
  FGrid->AddNotification(&subscriber);
  FGrid->SetFocusedView(first);
  FGrid->RemoveNotification(&subscriber);
  EXPECT_EQ(log, TStrings_({"s:0"}));
}

TEST_F(Grid, AViewThatCannotBeFocusedIsRefused) {
  TTestGridView* first = NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  second->GetLevel()->SetVisible(false);
  FEvents.clear();
  FGrid->SetFocusedView(second);
  EXPECT_EQ(FGrid->GetFocusedView(), first);
  EXPECT_TRUE(FEvents.empty());
}

struct THideCase {
  const char* Name;
  const char* Hidden;    // the level hidden: "second", "detail" or "first"
  const char* Focused;   // the view focused before
  const char* Expected;  // the view focused afterwards
};

std::ostream& operator<<(std::ostream& os, const THideCase& c) { return os << c.Name; }

const THideCase kHideCases[] = {
    {"ToTheActiveTab", "second", "second", "first"},
    {"FromADetailToItsActiveMaster", "detail", "detail", "first"},
    {"OtherLevelsLeaveTheFocus", "second", "first", "first"},
    {"ClearedWhenNothingIsLeft", "first", "first", "none"},
};

class GridHidingLevels : public Grid, public ::testing::WithParamInterface<THideCase> {};

TEST_P(GridHidingLevels, MoveTheFocus) {
  TTestGridView* first = NamedTab("first");
  TTestGridView* second = NamedTab("second");
  first->DetailsVisible = true;
  TTestGridView* detail = AddDetail(first->GetLevel());
  detail->SetName("detail");
  if (String(GetParam().Hidden) == "first") second->GetLevel()->SetVisible(false);
  TTestGridView* views[] = {first, second, detail};
  for (TTestGridView* view : views)
    if (view->GetName() == GetParam().Focused) FGrid->SetFocusedView(view);
  ASSERT_EQ(NameOf(FGrid->GetFocusedView()), GetParam().Focused);
  for (TTestGridView* view : views)
    if (view->GetName() == GetParam().Hidden) view->GetLevel()->SetVisible(false);
  EXPECT_EQ(NameOf(FGrid->GetFocusedView()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridHidingLevels, ::testing::ValuesIn(kHideCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Grid, AFreedDetailGivesTheFocusToItsMaster) {
  TTestGridView* first = NamedTab("first");
  first->DetailsVisible = true;
  TTestGridView* detail = AddDetail(first->GetLevel());
  FGrid->SetFocusedView(detail);
  ASSERT_EQ(FGrid->GetFocusedView(), detail);
  Free(detail);
  EXPECT_EQ(FGrid->GetFocusedView(), first);
}

TEST_F(Grid, AViewThatRefusesToLoseTheFocusKeepsIt) {
  TTestGridView* first = NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  first->RefuseToLoseFocus = true;
  FEvents.clear();
  EXPECT_THROW(FGrid->SetFocusedView(second), EAbort);
  EXPECT_EQ(FGrid->GetFocusedView(), first);
  EXPECT_EQ(FEvents, TStrings_({"focus Second>First"})) << "focused again by the same procedure";
  first->RefuseToLoseFocus = false;
}

TEST_F(Grid, ARollbackThatFailsAgainEnds) {
  TTestGridView* first = NamedTab("First");
  TTestGridView* second = NamedTab("Second");
  first->RefuseToLoseFocus = true;
  second->RefuseToLoseFocus = true;
  first->Log.clear();
  try {
    FGrid->SetFocusedView(second);
    FAIL() << "the refusal is reported";
  } catch (const EAbort& e) {
    EXPECT_EQ(e.Message(), "keeps the focus");
  }
  EXPECT_EQ(FGrid->GetFocusedView(), first);
  EXPECT_EQ(first->Log, TStrings_({"lost"})) << "asked once";
  EXPECT_EQ(second->Log, TStrings_({"lost"})) << "asked once by the rollback";
  first->RefuseToLoseFocus = false;
  second->RefuseToLoseFocus = false;
}

// ---------------------------------------------------------------------------------------------
// Control focus

TEST_F(Grid, TheGridNotesWhenTheFocusComesAndGoes) {
  TTestGridView* view = AddTab();
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  edit->SetFocus();
  Pump();
  view->Log.clear();
  view->GetSite()->SetFocus();
  Pump();
  EXPECT_TRUE(FGrid->IsFocused());
  EXPECT_TRUE(FGrid->GetControlFocused());
  EXPECT_EQ(view->Log, TStrings_({"control focus"})) << "the view was the focused view already";
  view->Log.clear();
  edit->SetFocus();
  Pump();
  EXPECT_FALSE(FGrid->IsFocused());
  EXPECT_FALSE(FGrid->GetControlFocused());
  EXPECT_EQ(view->Log, TStrings_({"control focus"}));
}

TEST_F(Grid, TheGridPassesItsFocusToTheFocusedView) {
  TTestGridView* view = AddTab();
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  edit->SetFocus();
  Pump();
  view->Log.clear();
  FGrid->SetFocus();
  Pump();
  EXPECT_EQ(view->Log, TStrings_({"gained", "control focus"}));
  EXPECT_TRUE(view->GetSite()->Focused());
  EXPECT_TRUE(view->GetSite()->GetTabStop());
}

TEST_F(Grid, TheGridsTabStopReachesTheFocusedViewsSite) {
  TTestGridView* view = AddTab();
  FGrid->SetFocus();
  Pump();
  FGrid->SetTabStop(false);
  EXPECT_FALSE(view->GetSite()->GetTabStop());
  FGrid->SetTabStop(true);
  EXPECT_TRUE(view->GetSite()->GetTabStop());
}

// ---------------------------------------------------------------------------------------------
// Subscribers

TEST_F(Grid, SubscribersHearTheKindsTheySupportInOrder) {
  std::vector<std::string> log;
  TTestNotification a(nkBit(nkContextPopup) | nkBit(nkRecordCount), &log, "a");
  TTestNotification b(nkBit(nkContextPopup), &log, "b");
  TTestNotification c(nkBit(nkRecordCount), &log, "c");
  FGrid->AddNotification(&a);
  FGrid->AddNotification(&b);
  FGrid->AddNotification(&a);
  FGrid->AddNotification(&c);
  FGrid->SendNotification(nkContextPopup);
  FGrid->SendNotification(nkRecordCount);
  EXPECT_EQ(log, TStrings_({"a:3", "b:3", "a:2", "c:2"}));
  FGrid->RemoveNotification(&a);
  FGrid->RemoveNotification(&b);
  FGrid->RemoveNotification(&c);
}

TEST_F(Grid, ASubscriberRemovedWhileOthersAreToldHearsNothing) {
  std::vector<std::string> log;
  TTestNotification a(nkBit(nkCustomization), &log, "a");
  TTestNotification b(nkBit(nkCustomization), &log, "b");
  a.OnNotify = [&] { FGrid->RemoveNotification(&b); };
  FGrid->AddNotification(&a);
  FGrid->AddNotification(&b);
  FGrid->SendNotification(nkCustomization);
  EXPECT_EQ(log, TStrings_({"a:4"}));
  FGrid->RemoveNotification(&a);
}

TEST_F(Grid, ASubscriberMayFreeTheGrid) {
  std::vector<std::string> log;
  TTestNotification a(nkBit(nkCustomization), &log, "a");
  TTestNotification b(nkBit(nkCustomization), &log, "b");
  a.OnNotify = [&] { FreeAndNil(FGrid); };
  FGrid->AddNotification(&a);
  FGrid->AddNotification(&b);
  FGrid->SendNotification(nkCustomization);
  EXPECT_EQ(log, TStrings_({"a:4"}));
}

TEST_F(Grid, ARightClickOnTheGridSendsTheContextPopup) {
  std::vector<std::string> log;
  TTestNotification subscriber(nkBit(nkContextPopup), &log, "s");
  FGrid->AddNotification(&subscriber);
  Click(FGrid, {20, 20}, 1);
  Click(FGrid, {20, 20}, 0);
  FGrid->RemoveNotification(&subscriber);
  EXPECT_EQ(log, TStrings_({"s:3"}));
}

class GridKeyVeto : public Grid, public ::testing::WithParamInterface<bool> {};

TEST_P(GridKeyVeto, ASubscriberMayKeepAKeyFromTheSite) {
  TTestGridView* view = AddTab();
  std::vector<std::string> log;
  TTestNotification subscriber(nkBit(nkKeyDown), &log, "s");
  subscriber.VetoKeys = GetParam();
  FGrid->AddNotification(&subscriber);
  std::vector<Word> keys;
  view->GetEvents()->SetOnKeyDown([&](TObject* Sender, Word& Key, TShiftState) {
    EXPECT_EQ(Sender, view->GetSite());
    keys.push_back(Key);
  });
  view->GetSite()->SetFocus();
  Pump();
  Headless::PressKey('A');
  Pump();
  FGrid->RemoveNotification(&subscriber);
  EXPECT_EQ(log, TStrings_({"s:5"}));
  EXPECT_EQ(keys.size(), GetParam() ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridKeyVeto, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Vetoed" : "Passed"; });

// ---------------------------------------------------------------------------------------------
// Drag opening

// Two tabs on the grid's left edge: the top one of the first level, the lower one of the second.
class TTabsViewInfo : public TqvGridViewInfo {
  QJ_INLINE_CLASS(TTabsViewInfo, TqvGridViewInfo)
 public:
  using TqvGridViewInfo::TqvGridViewInfo;
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override {
    TqvGridLevel* root = GetControl()->GetRootLevel();
    if (P.X >= 50 || root->GetCount() < 2) return TqvGridViewInfo::GetHitTest(P);
    TOwned<TqvGridDetailsSiteTabHitTest> hitTest = TqvCustomGridHitTest::Make<TqvGridDetailsSiteTabHitTest>(P);
    hitTest->SetLevel(root->GetItem(P.Y < 50 ? 0 : 1));
    hitTest->SetOwner(GetControl());
    return hitTest;
  }
};

class TTabsGrid : public TqvGrid {
  QJ_INLINE_CLASS(TTabsGrid, TqvGrid)
 public:
  using TqvGrid::TqvGrid;

 protected:
  TqvGridViewInfoClass GetViewInfoClass() const override { return &TTabsViewInfo::StaticClass(); }
};

class GridDragOpening : public Grid {
 protected:
  void SetUp() override {
    Grid::SetUp();
    Free(FGrid);
    FGrid = New<TTabsGrid>(FForm);
    FGrid->SetBounds(10, 10, 300, 200);
    FGrid->SetParent(FForm);
    FFirst = NamedTab("First");
    FSecond = NamedTab("Second");
  }

 public:
  TqvGrid* GridControl() const { return FGrid; }
  void DragOver(TPoint P, TDragState AState = dsDragMove) {
    bool accept = false;
    FGrid->DragOver(FForm, P.X, P.Y, AState, accept);
  }

 protected:
  TTestGridView* FFirst = nullptr;
  TTestGridView* FSecond = nullptr;
};

TEST_F(GridDragOpening, ATabOpensAfterTheWait) {
  DragOver({10, 60});
  Wait(499);
  EXPECT_EQ(FGrid->GetActiveLevel(), FFirst->GetLevel());
  Wait(1);
  EXPECT_EQ(FGrid->GetActiveLevel(), FSecond->GetLevel());
  EXPECT_FALSE(FGrid->GetController()->IsDragOpenTimerRunning());
  EXPECT_EQ(FGrid->GetController()->GetDragOpenInfo(), nullptr);
}

TEST_F(GridDragOpening, MovingOverTheSameTabDoesNotRestartTheWait) {
  DragOver({10, 60});
  Wait(300);
  DragOver({20, 70});
  Wait(200);
  EXPECT_EQ(FGrid->GetActiveLevel(), FSecond->GetLevel());
}

TEST_F(GridDragOpening, AnotherTabRestartsTheWait) {
  FSecond->SetFocused(true);
  DragOver({10, 10});
  Wait(300);
  DragOver({10, 60});
  Wait(300);
  DragOver({10, 10});
  Wait(300);
  EXPECT_EQ(FGrid->GetActiveLevel(), FSecond->GetLevel());
  Wait(200);
  EXPECT_EQ(FGrid->GetActiveLevel(), FFirst->GetLevel());
}

struct TDragStopCase {
  const char* Name;
  std::function<void(GridDragOpening&)> Stop;
};

std::ostream& operator<<(std::ostream& os, const TDragStopCase& c) { return os << c.Name; }

class GridDragOpeningStops : public GridDragOpening, public ::testing::WithParamInterface<TDragStopCase> {};

TEST_P(GridDragOpeningStops, NothingOpens) {
  DragOver({10, 60});
  GetParam().Stop(*this);
  Wait(600);
  EXPECT_EQ(FGrid->GetActiveLevel(), FFirst->GetLevel());
  EXPECT_EQ(FGrid->GetController()->GetDragOpenInfo(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridDragOpeningStops,
    ::testing::Values(TDragStopCase{"LeavingTheTab", [](GridDragOpening& t) { t.DragOver({100, 60}); }},
                      TDragStopCase{"LeavingTheGrid", [](GridDragOpening& t) { t.DragOver({10, 60}, dsDragLeave); }},
                      TDragStopCase{"EndingTheDrag", [](GridDragOpening& t) { t.GridControl()->DoEndDrag(nullptr, 10, 60); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridDragOpening, NothingWaitsWithoutDragOpening) {
  FGrid->SetDragOpening(false);
  DragOver({10, 60});
  Wait(600);
  EXPECT_EQ(FGrid->GetActiveLevel(), FFirst->GetLevel());
}

TEST_F(GridDragOpening, NoWaitOpensAtOnce) {
  FGrid->SetDragOpeningWaitTime(0);
  DragOver({10, 60});
  Wait(USER_TIMER_MINIMUM);
  EXPECT_EQ(FGrid->GetActiveLevel(), FSecond->GetLevel());
}

// ---------------------------------------------------------------------------------------------
// Navigator

TEST_F(Grid, TheNavigatorOfTheFocusedViewAnswers) {
  auto* view = New<TNavigatorView>(FForm);
  FGrid->GetRootLevel()->Add()->SetGridView(view);
  ASSERT_EQ(FGrid->GetFocusedView(), view);
  IqvNavigator* navigator = FGrid;
  EXPECT_TRUE(navigator->CanDelete());
  EXPECT_FALSE(navigator->CanEdit());
  EXPECT_TRUE(navigator->CanInsert());
  EXPECT_TRUE(navigator->IsBof());
  EXPECT_TRUE(navigator->IsBookmarkAvailable());
  EXPECT_TRUE(navigator->IsEditing());
  EXPECT_FALSE(navigator->IsEof());
  navigator->DoAction(7);
  navigator->ClearBookmark();
  EXPECT_EQ(view->Actions, std::vector<Integer>({7, -1}));
  EXPECT_EQ(navigator->GetNotifier(), FGrid->GetNavigatorNotifier()) << "the grid's own notifier";
  EXPECT_TRUE(navigator->IsActionSupported(0));
}

TEST_F(Grid, WithoutANavigatorViewEverythingAnswersFalse) {
  AddTab();
  IqvNavigator* navigator = FGrid;
  EXPECT_FALSE(navigator->CanDelete());
  EXPECT_FALSE(navigator->CanInsert());
  EXPECT_FALSE(navigator->IsBof());
  EXPECT_FALSE(navigator->IsEof());
  navigator->DoAction(0);
  navigator->ClearBookmark();
}

class TCountingNavigatorHost : public IqvNavigatorOwner {
 public:
  TRect NavigatorArea() override { return {}; }
  TqvCustomNavigatorButtons* NavigatorButtonSet() override { return nullptr; }
  TCanvas* NavigatorPaintCanvas() override { return nullptr; }
  TWinControl* NavigatorHostControl() override { return nullptr; }
  bool NavigatorHasFocus() override { return false; }
  TqvLookAndFeel* NavigatorLookAndFeel() override { return nullptr; }
  TComponent* NavigatorOwnerComponent() override { return nullptr; }
  bool NavigatorShowsHints() override { return false; }
  bool NavigatorIsTabStop() override { return false; }
  void RefreshNavigatorButtons() override { ++Refreshes; }
  void NavigatorContentChanged() override {}
  Integer Refreshes = 0;
};

TEST_F(Grid, AFocusChangeRefreshesTheNavigators) {
  TTestGridView* first = AddTab();
  TTestGridView* second = AddTab();
  TCountingNavigatorHost host;
  FGrid->GetNavigatorNotifier()->AddNavigator(&host);
  FGrid->GetNavigatorNotifier()->AddNavigator(&host);
  FGrid->SetFocusedView(second);
  FGrid->SetFocusedView(first);
  FGrid->GetNavigatorNotifier()->RemoveNavigator(&host);
  EXPECT_EQ(host.Refreshes, 2);
}

// ---------------------------------------------------------------------------------------------
// Renaming and streaming

struct TRenameCase {
  const char* Name;
  const char* Before;
  const char* After;
};

std::ostream& operator<<(std::ostream& os, const TRenameCase& c) { return os << c.Name; }

const TRenameCase kRenameCases[] = {
    {"NamedAfterTheGrid", "Grid1TableView1", "MainTableView1"},
    {"AnyCase", "GRID1View2", "MainView2"},
    {"NotLongerThanTheOldName", "Grid", "Grid"},
    {"OtherNames", "View1", "View1"},
    {"TheOldNameInside", "AGrid1View", "AGrid1View"},
};

class GridRenaming : public Grid, public ::testing::WithParamInterface<TRenameCase> {};

TEST_P(GridRenaming, RenamesViewsAndLevels) {
  TTestGridView* view = AddTab();
  TqvGridLevel* level = view->GetLevel();
  view->SetName(String(GetParam().Before));
  level->SetName(String(GetParam().Before) + "L");
  FGrid->SetName("Main");
  EXPECT_EQ(view->GetName(), GetParam().After);
  EXPECT_EQ(level->GetName(), String(GetParam().After) + "L");
}

INSTANTIATE_TEST_SUITE_P(Grid, GridRenaming, ::testing::ValuesIn(kRenameCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Grid, ARenameThatClashesIsSkipped) {
  TTestGridView* view = AddTab();
  view->SetName("Grid1View");
  auto* other = New<TTestGridView>(FForm);
  other->SetName("MainView");
  FGrid->SetName("Main");
  EXPECT_EQ(FGrid->GetName(), "Main");
  EXPECT_EQ(view->GetName(), "Grid1View");
}

TEST_F(Grid, ComponentsOfAnotherOwnerKeepTheirNames) {
  auto* owner = New<TComponent>(nullptr);
  auto* view = New<TTestGridView>(owner);
  view->SetName("Grid1View");
  view->SetControl(FGrid);
  FGrid->SetName("Main");
  EXPECT_EQ(view->GetName(), "Grid1View");
  Free(owner);
}

TEST_F(Grid, TheFirstNameRenamesNothing) {
  auto* grid = New<TqvGrid>(FForm);
  auto* view = New<TTestGridView>(FForm);
  view->SetName("View1");
  view->SetControl(grid);
  grid->SetName("Grid2");
  EXPECT_EQ(view->GetName(), "View1");
}

TEST_F(Grid, ViewsAreStreamedBeforeLevels) {
  TTestGridView* first = AddTab();
  TqvGridLevel* level = first->GetLevel();
  auto* foreignOwner = New<TComponent>(nullptr);
  auto* foreign = New<TTestGridView>(foreignOwner);
  foreign->SetControl(FGrid);
  auto* second = New<TTestGridView>(FForm);
  second->SetControl(FGrid);
  std::vector<TComponent*> children;
  FGrid->GetChildren([&](TComponent* AChild) { children.push_back(AChild); }, FForm);
  EXPECT_EQ(children, (std::vector<TComponent*>{first, second, level}));
  Free(foreignOwner);
}

// ---------------------------------------------------------------------------------------------
// Destruction

TEST_F(Grid, AFreedGridFreesItsViewsAndLevels) {
  TTestGridView* first = AddTab();
  AddTab();
  first->DetailsVisible = true;
  AddDetail(first->GetLevel());
  const Integer components = FForm->GetComponentCount();
  FreeAndNil(FGrid);
  EXPECT_EQ(FForm->GetComponentCount(), components - 8) << "the grid, four views and three levels";
}

}  // namespace
