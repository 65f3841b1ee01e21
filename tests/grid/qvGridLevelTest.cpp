// Grid levels: the tree and its guards, data relations between the views of parent and child
// levels, moving views, visibility and the active tab, detail clones, options, styles and
// streaming.
#include <map>

#include "grid/qvGridLevel.h"
#include "platform/rtl/Classes.h"
#include "qvGridTestSupport.h"

namespace {

// The view data of a master view: it notes which records it was asked for.
class TLevelTestViewData : public TqvCustomGridViewData {
  QJ_INLINE_CLASS(TLevelTestViewData, TqvCustomGridViewData)
 public:
  using TqvCustomGridViewData::TqvCustomGridViewData;
  TqvCustomGridRecord* GetRecordByRecordIndex(Integer ARecordIndex) override {
    AskedRecords.push_back(ARecordIndex);
    return nullptr;
  }
  std::vector<Integer> AskedRecords;
};

// A data controller whose detail link objects are the clones its relations' levels make.
class TLevelTestDataController : public TTestGridDataController {
  QJ_INLINE_CLASS(TLevelTestDataController, TTestGridDataController)
 public:
  using TTestGridDataController::TTestGridDataController;
  TObject* CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) override {
    auto* level = dynamic_cast<TqvGridLevel*>(ARelation->GetItem());
    return level ? level->CreateDetailClone(ARelation, ARecordIndex) : nullptr;
  }
  TqvCustomDataController* GetDetailDataController(TObject* ALinkObject) override {
    auto* view = dynamic_cast<TqvCustomGridView*>(ALinkObject);
    return view ? view->GetDataController() : nullptr;
  }
};

// A view of master and detail levels. Its assignment asks the grid for a layout (which a clone
// build must drop), notes whether it ran as a pattern assignment, and raises when the source
// says so.
class TLevelTestView : public TTestGridView {
  QJ_INLINE_CLASS(TLevelTestView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;
  bool FailAssign = false;
  bool AssignedAsPattern = false;

 protected:
  TqvCustomDataControllerClass GetDataControllerClass() const override {
    return &TLevelTestDataController::StaticClass();
  }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TLevelTestViewData::StaticClass(); }
  void AssignSettings(TqvCustomGridView* ASource) override {
    TTestGridView::AssignSettings(ASource);
    AssignedAsPattern = GetAssigningPattern();
    if (TqvCustomGrid* grid = GetGrid()) grid->LayoutChanged();
    if (static_cast<TLevelTestView*>(ASource)->FailAssign) throw EAbort("cannot take the settings");
  }
};

class TOtherLevelTestView : public TLevelTestView {
  QJ_INLINE_CLASS(TOtherLevelTestView, TLevelTestView)
 public:
  using TLevelTestView::TLevelTestView;
};

std::string LevelName(TqvGridLevel* ALevel) { return ALevel ? ALevel->GetCaption() : "none"; }
std::string ViewName(TqvCustomGridView* AView) { return AView ? AView->GetName() : "none"; }

class GridLevel : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    FGrid->OnLayoutChanged = [this](TqvCustomGrid*, TqvCustomGridView*) { ++FLayouts; };
  }
  // A top level with a view of the level test class.
  TLevelTestView* AddMasterTab(const String& AName) {
    TqvGridLevel* level = FGrid->GetRootLevel()->Add();
    level->SetCaption(AName);
    return AddView(level, AName);
  }
  // A child level of AParent with a pattern view.
  TLevelTestView* AddDetailLevel(TqvGridLevel* AParent, const String& AName) {
    TqvGridLevel* level = AParent->Add();
    level->SetCaption(AName);
    return AddView(level, AName);
  }
  template <class T = TLevelTestView>
  T* AddView(TqvGridLevel* ALevel, const String& AName) {
    auto* view = New<T>(FForm);
    view->SetName(AName);
    view->SetControl(FGrid);
    ALevel->SetGridView(view);
    return view;
  }
  // The classes of the changes waiting in the grid's queue.
  std::vector<std::string> QueuedChanges() const {
    std::vector<std::string> names;
    const TqvGridChangeQueue& queue = FGrid->GetChangeQueue();
    for (Integer i = 0; i < queue.GetCount(); ++i) names.push_back(queue.GetItem(i)->ClassName());
    return names;
  }

  Integer FLayouts = 0;
};

// ---------------------------------------------------------------------------------------------
// The tree and its guards

struct TRefusedChildCase {
  const char* Name;
  // Adds something that must be refused to the tree of the three levels given.
  std::function<void(TqvCustomGrid* AGrid, TqvGridLevel* ATop, TqvGridLevel* AChild, TqvGridLevel* AGrandChild)> Add;
};

const TRefusedChildCase kRefusedChildCases[] = {
    {"Itself", [](TqvCustomGrid*, TqvGridLevel* ATop, TqvGridLevel*, TqvGridLevel*) { ATop->AddChild(ATop); }},
    {"ItsParent", [](TqvCustomGrid*, TqvGridLevel* ATop, TqvGridLevel* AChild, TqvGridLevel*) { AChild->AddChild(ATop); }},
    {"AnAncestor",
     [](TqvCustomGrid*, TqvGridLevel* ATop, TqvGridLevel*, TqvGridLevel* AGrandChild) { AGrandChild->AddChild(ATop); }},
    {"TheGridsRoot",
     [](TqvCustomGrid* AGrid, TqvGridLevel*, TqvGridLevel* AChild, TqvGridLevel*) { AChild->AddChild(AGrid->GetRootLevel()); }},
    {"Nothing", [](TqvCustomGrid*, TqvGridLevel* ATop, TqvGridLevel*, TqvGridLevel*) { ATop->AddChild(nullptr); }},
};

class GridLevelRefusedChild : public GridLevel, public ::testing::WithParamInterface<TRefusedChildCase> {};

TEST_P(GridLevelRefusedChild, LeavesTreeAndFocusAlone) {
  TLevelTestView* top = AddMasterTab("top");
  TLevelTestView* other = AddMasterTab("other");
  TqvGridLevel* child = top->GetLevel()->Add();
  TqvGridLevel* grandChild = child->Add();
  other->SetFocused(true);
  EXPECT_THROW(GetParam().Add(FGrid, top->GetLevel(), child, grandChild), EInvalidOperation);
  TqvGridLevel* root = FGrid->GetRootLevel();
  EXPECT_EQ(root->GetCount(), 2);
  EXPECT_EQ(top->GetLevel()->GetParent(), root);
  EXPECT_EQ(child->GetParent(), top->GetLevel());
  EXPECT_EQ(grandChild->GetParent(), child);
  EXPECT_EQ(grandChild->GetCount(), 0);
  EXPECT_EQ(root->GetParent(), nullptr);
  EXPECT_EQ(FGrid->GetActiveLevel(), other->GetLevel());
  EXPECT_EQ(FGrid->GetFocusedView(), other);
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelRefusedChild, ::testing::ValuesIn(kRefusedChildCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridLevel, AddingALevelMovesItFromItsOldParent) {
  TLevelTestView* first = AddMasterTab("first");
  TLevelTestView* second = AddMasterTab("second");
  TqvGridLevel* child = first->GetLevel()->Add();
  second->GetLevel()->AddChild(child);
  EXPECT_EQ(first->GetLevel()->GetCount(), 0);
  EXPECT_EQ(child->GetParent(), second->GetLevel());
  EXPECT_EQ(child->GetDataRelation()->GetDataController(), second->GetDataController());
  EXPECT_EQ(first->GetDataController()->GetRelations()->GetCount(), 0);
}

TEST_F(GridLevel, ARemovedLevelKeepsNoGrid) {
  TLevelTestView* top = AddMasterTab("top");
  TqvGridLevel* level = top->GetLevel();
  TqvGridLevel* child = level->Add();
  FGrid->GetRootLevel()->RemoveChild(level);
  EXPECT_EQ(level->GetControl(), nullptr);
  EXPECT_EQ(child->GetControl(), nullptr) << "the whole branch leaves the grid";
  EXPECT_EQ(level->GetParent(), nullptr);
  EXPECT_EQ(FGrid->GetActiveLevel(), nullptr);
  Free(FGrid);
  FGrid = nullptr;
  level->SetCaption("after the grid");
  Free(level);
}

struct TVisibleItemsCase {
  const char* Name;
  // Steps on the children a, b, c and d of one level: "-X" hides X, "+X" shows it, "xX"
  // removes it, "rX" adds it again, "mX" moves it to another level.
  std::vector<std::string> Steps;
  const char* Expected;  // the visible children, in order
};

const TVisibleItemsCase kVisibleItemsCases[] = {
    {"AllInOrder", {}, "abcd"},
    {"HidingOne", {"-b"}, "acd"},
    {"ShowingAgainKeepsItsPlace", {"-b", "-c", "+b"}, "abd"},
    {"HidingTheFirstAndTheLast", {"-a", "-d"}, "bc"},
    {"HidingEveryOne", {"-a", "-b", "-c", "-d"}, ""},
    {"RemovingOne", {"xc"}, "abd"},
    {"RemovingAHiddenOne", {"-c", "xc", "+c"}, "abd"},
    {"AddedAgainComesLast", {"xa", "ra"}, "bcda"},
    {"MovedAway", {"mb"}, "acd"},
    {"AHiddenOneMovedBack", {"-b", "mb", "rb"}, "acd"},
};

class GridLevelVisibleItems : public GridLevel, public ::testing::WithParamInterface<TVisibleItemsCase> {};

TEST_P(GridLevelVisibleItems, FollowTheChildrenAndTheirVisibility) {
  TqvGridLevel* parent = AddMasterTab("master")->GetLevel();
  TqvGridLevel* other = AddMasterTab("other")->GetLevel();
  std::map<char, TqvGridLevel*> children;
  for (char name : std::string("abcd")) {
    children[name] = parent->Add();
    children[name]->SetCaption(std::string(1, name));
  }
  for (const std::string& step : GetParam().Steps) {
    TqvGridLevel* child = children[step[1]];
    switch (step[0]) {
      case '-': child->SetVisible(false); break;
      case '+': child->SetVisible(true); break;
      case 'x': parent->RemoveChild(child); break;
      case 'r': parent->AddChild(child); break;
      case 'm': other->AddChild(child); break;
    }
  }
  std::string visible;
  for (Integer i = 0; i < parent->GetVisibleCount(); ++i) visible += parent->GetVisibleItem(i)->GetCaption();
  EXPECT_EQ(visible, GetParam().Expected);
  // A child's visible index: its place in the list of its parent (the moved ones come last at
  // the other level), -1 when hidden or out of the tree.
  for (auto [name, child] : children) {
    Integer expected = -1;
    if (child->GetParent() == parent && visible.find(name) != std::string::npos)
      expected = static_cast<Integer>(visible.find(name));
    else if (child->GetParent() == other && child->GetVisible())
      expected = other->GetVisibleCount() - 1;
    EXPECT_EQ(child->GetVisibleIndex(), expected) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelVisibleItems, ::testing::ValuesIn(kVisibleItemsCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Data relations

TEST_F(GridLevel, AChildLevelIsLinkedIntoItsParentsView) {
  TLevelTestView* master = AddMasterTab("master");
  TLevelTestView* detail = AddDetailLevel(master->GetLevel(), "detail");
  TqvGridLevel* level = detail->GetLevel();
  TqvCustomDataRelation* relation = level->GetDataRelation();
  ASSERT_NE(relation, nullptr);
  EXPECT_EQ(relation->GetItem(), level);
  EXPECT_EQ(relation->GetDataController(), master->GetDataController());
  EXPECT_EQ(relation->GetDetailDataController(), detail->GetDataController());
  EXPECT_TRUE(detail->IsPattern()) << "a deeper level's view is the pattern of its clones";
  EXPECT_EQ(master->GetLevel()->GetDataRelation(), nullptr) << "the root shows no view";
  EXPECT_FALSE(master->IsPattern());
}

TEST_F(GridLevel, AChildAddedLaterIsLinkedToo) {
  TLevelTestView* master = AddMasterTab("master");
  auto* level = New<TqvGridLevel>(FForm);
  auto* detail = New<TLevelTestView>(FForm);
  detail->SetControl(FGrid);
  level->SetGridView(detail);
  master->GetLevel()->AddChild(level);
  ASSERT_NE(level->GetDataRelation(), nullptr);
  EXPECT_EQ(detail->GetDataController()->GetMasterRelation(), level->GetDataRelation());
  EXPECT_TRUE(detail->IsPattern());
}

TEST_F(GridLevel, ARemovedChildLeavesItsParentsView) {
  TLevelTestView* master = AddMasterTab("master");
  TLevelTestView* detail = AddDetailLevel(master->GetLevel(), "detail");
  master->GetLevel()->RemoveChild(detail->GetLevel());
  EXPECT_EQ(detail->GetLevel()->GetDataRelation(), nullptr);
  EXPECT_EQ(master->GetDataController()->GetRelations()->GetCount(), 0);
  EXPECT_EQ(detail->GetDataController()->GetMasterRelation(), nullptr);
}

TEST_F(GridLevel, TheChildrensRelationsMoveWithTheView) {
  TLevelTestView* master = AddMasterTab("master");
  TLevelTestView* detail = AddDetailLevel(master->GetLevel(), "detail");
  auto* replacement = New<TLevelTestView>(FForm);
  replacement->SetControl(FGrid);
  master->GetLevel()->SetGridView(replacement);
  EXPECT_EQ(master->GetDataController()->GetRelations()->GetCount(), 0);
  TqvCustomDataRelation* relation = detail->GetLevel()->GetDataRelation();
  ASSERT_NE(relation, nullptr);
  EXPECT_EQ(relation->GetDataController(), replacement->GetDataController());
  EXPECT_EQ(detail->GetDataController()->GetMasterRelation(), relation);
  EXPECT_EQ(master->GetLevel(), nullptr);
  EXPECT_EQ(master->GetDataController()->GetMasterRelation(), nullptr);
}

TEST_F(GridLevel, AViewAnotherLevelShowsMovesHere) {
  TLevelTestView* first = AddMasterTab("first");
  TLevelTestView* second = AddMasterTab("second");
  TqvGridLevel* firstLevel = first->GetLevel();
  TqvGridLevel* secondLevel = second->GetLevel();
  secondLevel->SetGridView(first);
  EXPECT_EQ(firstLevel->GetGridView(), nullptr);
  EXPECT_EQ(first->GetLevel(), secondLevel);
  EXPECT_EQ(second->GetLevel(), nullptr);
}

TEST_F(GridLevel, HidingALevelDetachesItsViewShowingAttachesItAgain) {
  TLevelTestView* master = AddMasterTab("master");
  TLevelTestView* detail = AddDetailLevel(master->GetLevel(), "detail");
  TqvCustomDataRelation* relation = detail->GetLevel()->GetDataRelation();
  detail->GetLevel()->SetVisible(false);
  EXPECT_EQ(relation->GetDetailDataController(), nullptr);
  EXPECT_EQ(master->GetLevel()->GetVisibleCount(), 0);
  detail->GetLevel()->SetVisible(true);
  EXPECT_EQ(relation->GetDetailDataController(), detail->GetDataController());
  EXPECT_EQ(master->GetLevel()->GetVisibleCount(), 1);
}

// The editor's favourites grid has one level that shows the TV view or the radio view.
TEST_F(GridLevel, OneLevelSwitchesBetweenTwoViews) {
  TLevelTestView* tv = AddMasterTab("tvFavTV");
  TqvGridLevel* level = tv->GetLevel();
  auto* radio = New<TLevelTestView>(FForm);
  radio->SetName("tvFavRadio");
  radio->SetControl(FGrid);
  Pump();
  ASSERT_EQ(FGrid->GetFocusedView(), tv);
  for (TLevelTestView* shown : {radio, tv, radio}) {
    TLevelTestView* hidden = shown == radio ? tv : radio;
    level->SetGridView(shown);
    Pump();
    SCOPED_TRACE(ViewName(shown));
    EXPECT_EQ(FGrid->GetActiveView(), shown);
    EXPECT_EQ(FGrid->GetFocusedView(), shown);
    EXPECT_TRUE(shown->IsVisible());
    EXPECT_EQ(shown->GetSite()->GetParent(), FGrid);
    EXPECT_EQ(shown->GetSite()->GetBoundsRect(), FGrid->GetClientBounds());
    EXPECT_FALSE(hidden->IsVisible());
    EXPECT_EQ(hidden->GetSite()->GetParent(), nullptr);
    EXPECT_EQ(hidden->GetGrid(), FGrid) << "the view not shown stays with its grid";
  }
}

TEST_F(GridLevel, AViewWhoseFirstGridIsGoneStaysWhereItIs) {
  auto* firstGrid = New<TqvGrid>(FForm);
  auto* view = New<TLevelTestView>(FForm);
  view->SetControl(firstGrid);
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  level->SetGridView(view);
  ASSERT_EQ(view->GetGrid(), FGrid);
  Free(firstGrid);
  EXPECT_EQ(view->GetHomeGrid(), nullptr);
  level->SetGridView(nullptr);
  EXPECT_EQ(view->GetGrid(), FGrid);
}

// ---------------------------------------------------------------------------------------------
// Visibility, the active tab and the focus

struct TTabVisibilityCase {
  const char* Name;
  const char* Active;  // the tab made active first
  // Steps: "-X" hides tab X, "+X" shows it.
  std::vector<std::string> Steps;
  const char* ExpectedActive;
  const char* ExpectedFocused;
};

const TTabVisibilityCase kTabVisibilityCases[] = {
    {"HidingTheActiveFirstTab", "a", {"-a"}, "b", "b"},
    {"HidingAnotherTab", "a", {"-b"}, "a", "a"},
    {"HidingTheActiveLastTab", "c", {"-c"}, "a", "a"},
    {"HidingEveryTab", "b", {"-a", "-b", "-c"}, "none", "none"},
    {"ShowingATabOfAnEmptyGrid", "a", {"-a", "-b", "-c", "+b"}, "b", "b"},
    {"ShowingATabWhileAnotherIsActive", "c", {"-a", "+a"}, "c", "c"},
};

class GridLevelTabVisibility : public GridLevel, public ::testing::WithParamInterface<TTabVisibilityCase> {};

TEST_P(GridLevelTabVisibility, RetargetsTabAndFocus) {
  const TTabVisibilityCase& c = GetParam();
  std::map<std::string, TLevelTestView*> views;
  for (const char* name : {"a", "b", "c"}) views[name] = AddMasterTab(name);
  views[c.Active]->GetLevel()->SetActive(true);
  for (const std::string& step : c.Steps) views[step.substr(1)]->GetLevel()->SetVisible(step[0] == '+');
  EXPECT_EQ(LevelName(FGrid->GetActiveLevel()), c.ExpectedActive);
  EXPECT_EQ(ViewName(FGrid->GetFocusedView()), c.ExpectedFocused);
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelTabVisibility, ::testing::ValuesIn(kTabVisibilityCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridLevel, OnlyATopLevelBecomesActive) {
  TLevelTestView* master = AddMasterTab("master");
  TLevelTestView* other = AddMasterTab("other");
  other->GetLevel()->SetActive(true);
  TLevelTestView* detail = AddDetailLevel(master->GetLevel(), "detail");
  detail->GetLevel()->SetActive(true);
  EXPECT_EQ(FGrid->GetActiveLevel(), other->GetLevel());
  EXPECT_FALSE(master->GetLevel()->ActuallyVisible());
  EXPECT_TRUE(master->GetLevel()->VisibleInTree()) << "the inactive tab may still be focused";
}

// ---------------------------------------------------------------------------------------------
// Detail clones

class GridLevelClones : public GridLevel {
 protected:
  void SetUp() override {
    GridLevel::SetUp();
    FMaster = AddMasterTab("master");
    FMaster->GetDataController()->SetRecordCount(3);
    FPattern = AddDetailLevel(FMaster->GetLevel(), "pattern");
    FLevel = FPattern->GetLevel();
    FRelation = FLevel->GetDataRelation();
    FLayouts = 0;
  }
  TqvCustomGridView* CloneFor(Integer ARecordIndex) {
    return dynamic_cast<TqvCustomGridView*>(FMaster->GetDataController()->GetDetailLinkObject(ARecordIndex, 0));
  }

  TLevelTestView* FMaster = nullptr;
  TLevelTestView* FPattern = nullptr;
  TqvGridLevel* FLevel = nullptr;
  TqvCustomDataRelation* FRelation = nullptr;
};

TEST_F(GridLevelClones, AMasterRecordGetsACloneLinkedToIt) {
  TqvGridLevel* grandChild = FLevel->Add();
  TqvCustomGridView* clone = CloneFor(1);
  ASSERT_NE(clone, nullptr);
  EXPECT_NE(clone, FPattern);
  EXPECT_EQ(clone->ClassType(), FPattern->ClassType());
  EXPECT_EQ(clone->Owner(), FForm);
  EXPECT_EQ(clone->GetGrid(), FGrid);
  EXPECT_EQ(clone->GetLevel(), FLevel);
  EXPECT_EQ(clone->GetPatternGridView(), FPattern);
  EXPECT_EQ(FPattern->GetCloneCount(), 1);
  EXPECT_TRUE(clone->IsDetail());
  EXPECT_FALSE(clone->IsPattern());
  EXPECT_EQ(clone->GetMasterGridView(), FMaster);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
  EXPECT_EQ(clone->GetDataController()->GetMasterRelation(), FRelation);
  TqvCustomDataRelationList* relations = clone->GetDataController()->GetRelations();
  ASSERT_EQ(relations->GetCount(), 1) << "the clone takes a copy of the pattern's relations";
  EXPECT_EQ(relations->GetItem(0)->GetItem(), grandChild);
  EXPECT_TRUE(static_cast<TLevelTestView*>(clone)->AssignedAsPattern);
  EXPECT_FALSE(clone->GetAssigningPattern());
  EXPECT_EQ(CloneFor(1), clone) << "the master record keeps its clone";
}

TEST_F(GridLevelClones, ChangesQueuedWhileTheCloneIsBuiltNeverRun) {
  ASSERT_NE(CloneFor(0), nullptr);
  EXPECT_EQ(FLayouts, 0);
  EXPECT_EQ(FGrid->GetChangeQueue().GetLockCount(), 0);
  EXPECT_EQ(FGrid->GetChangeQueue().GetCount(), 0);
  FGrid->LayoutChanged();
  EXPECT_EQ(FLayouts, 1) << "the grid runs its changes again";
}

TEST_F(GridLevelClones, ABuildThatFailsFreesTheCloneAndUnlocksTheGrid) {
  FPattern->FailAssign = true;
  const Integer viewCount = FGrid->GetViewCount();
  const Integer formComponents = FForm->GetComponentCount();
  EXPECT_THROW(FLevel->CreateDetailClone(FRelation, 0), EAbort);
  EXPECT_EQ(FGrid->GetChangeQueue().GetLockCount(), 0);
  EXPECT_EQ(FGrid->GetViewCount(), viewCount);
  EXPECT_EQ(FForm->GetComponentCount(), formComponents);
  EXPECT_EQ(FPattern->GetCloneCount(), 0);
  FGrid->LayoutChanged();
  EXPECT_EQ(FLayouts, 1);
}

TEST_F(GridLevelClones, ClonesGoWithTheirMasterRecords) {
  TqvCustomGridView* clone = CloneFor(2);
  clone->AddDestroyWatch(&clone);
  FMaster->GetDataController()->ClearDetailLinkObjects();
  EXPECT_EQ(clone, nullptr);
  EXPECT_EQ(FPattern->GetCloneCount(), 0);
}

TEST_F(GridLevelClones, ACloneFreedFirstLeavesItsMasterRecord) {
  TqvCustomGridView* clone = CloneFor(1);
  Free(clone);
  EXPECT_EQ(FMaster->GetDataController()->GetRelations()->FindDetailObject(1)->GetLinkObject(0), nullptr);
  TqvCustomGridView* again = CloneFor(1);
  ASSERT_NE(again, nullptr) << "the record makes a new clone";
  EXPECT_EQ(FPattern->GetCloneCount(), 1);
  FMaster->GetDataController()->ClearDetailLinkObjects();
  EXPECT_EQ(FPattern->GetCloneCount(), 0);
}

TEST_F(GridLevelClones, ClonesGoWhenTheirLevelLeavesItsParent) {
  TqvCustomGridView* clone = CloneFor(0);
  clone->AddDestroyWatch(&clone);
  FMaster->GetLevel()->RemoveChild(FLevel);
  EXPECT_EQ(clone, nullptr);
}

TEST_F(GridLevelClones, AFreedLevelTakesItsClonesAlong) {
  TqvCustomGridView* clone = CloneFor(0);
  clone->AddDestroyWatch(&clone);
  Free(FLevel);
  EXPECT_EQ(clone, nullptr) << "its relation went with the level";
}

TEST_F(GridLevelClones, GetGridViewIsAskedWithTheMasterViewsRecord) {
  std::vector<std::string> seen;
  FLevel->OnGetGridView = [&](TqvGridLevel* Sender, TqvCustomGridRecord* ARecord, TqvCustomGridView*& AView) {
    seen.push_back(LevelName(Sender) + " " + ViewName(AView) + (ARecord ? " record" : " no record"));
  };
  CloneFor(2);
  EXPECT_EQ(seen, std::vector<std::string>({"pattern pattern no record"}));
  EXPECT_EQ(static_cast<TLevelTestViewData*>(FMaster->GetViewData())->AskedRecords, std::vector<Integer>({2}));
}

struct TCloneChoiceCase {
  const char* Name;
  const char* Chosen;  // what OnGetGridView answers: "keep", "other", "none", or "" (no handler)
  bool LevelVisible;
  const char* ExpectedClass;  // "none" when there is no clone
};

const TCloneChoiceCase kCloneChoiceCases[] = {
    {"WithoutAHandlerThePattern", "", true, "TLevelTestView"},
    {"AHandlerKeepingThePattern", "keep", true, "TLevelTestView"},
    {"AHandlerChoosingAnotherView", "other", true, "TOtherLevelTestView"},
    {"AHandlerChoosingNone", "none", true, "none"},
    {"AHiddenLevel", "", false, "none"},
};

class GridLevelCloneChoice : public GridLevelClones, public ::testing::WithParamInterface<TCloneChoiceCase> {};

TEST_P(GridLevelCloneChoice, DecidesWhatIsCloned) {
  const TCloneChoiceCase& c = GetParam();
  auto* other = New<TOtherLevelTestView>(FForm);
  other->SetControl(FGrid);
  const std::string chosen = c.Chosen;
  if (!chosen.empty())
    FLevel->OnGetGridView = [&](TqvGridLevel*, TqvCustomGridRecord*, TqvCustomGridView*& AView) {
      if (chosen == "other") AView = other;
      if (chosen == "none") AView = nullptr;
    };
  FLevel->SetVisible(c.LevelVisible);
  TqvCustomGridView* clone = FLevel->CreateDetailClone(FRelation, 0);
  EXPECT_EQ(clone ? std::string(clone->ClassName()) : "none", c.ExpectedClass);
  if (chosen == "other") {
    EXPECT_EQ(other->GetCloneCount(), 1) << "the chosen view is the clone's pattern";
  }
  Free(clone);
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelCloneChoice, ::testing::ValuesIn(kCloneChoiceCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Options, heights and the changes the setters ask for

struct TMaxDetailHeightCase {
  const char* Name;
  Integer MaxDetailHeight;
  Integer Height;
  Integer ExpectedStored;
  Integer ExpectedHeight;
};

const TMaxDetailHeightCase kMaxDetailHeightCases[] = {
    {"UnlimitedKeepsTheHeight", 0, 250, 0, 250},
    {"ALimitCutsALargerHeight", 100, 250, 100, 100},
    {"ALimitKeepsASmallerHeight", 100, 80, 100, 80},
    {"ALimitKeepsAnEqualHeight", 100, 100, 100, 100},
    {"ANegativeLimitIsStoredAsUnlimited", -5, 250, 0, 250},
};

class GridLevelMaxDetailHeight : public GridLevel, public ::testing::WithParamInterface<TMaxDetailHeightCase> {};

TEST_P(GridLevelMaxDetailHeight, LimitsDetailHeights) {
  const TMaxDetailHeightCase& c = GetParam();
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  level->SetMaxDetailHeight(c.MaxDetailHeight);
  EXPECT_EQ(level->GetMaxDetailHeight(), c.ExpectedStored);
  Integer height = c.Height;
  level->LimitDetailHeight(height);
  EXPECT_EQ(height, c.ExpectedHeight);
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelMaxDetailHeight, ::testing::ValuesIn(kMaxDetailHeightCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TSetterCase {
  const char* Name;
  std::function<void(TqvGridLevel* ALevel, TqvStyle* AStyle)> Set;
  std::vector<std::string> ExpectedChanges;
};

const TSetterCase kSetterCases[] = {
    {"Caption", [](TqvGridLevel* L, TqvStyle*) { L->SetCaption("new"); }, {"TqvGridSizeChange"}},
    {"SameCaption", [](TqvGridLevel* L, TqvStyle*) { L->SetCaption(L->GetCaption()); }, {}},
    {"MaxDetailHeight", [](TqvGridLevel* L, TqvStyle*) { L->SetMaxDetailHeight(40); }, {"TqvGridSizeChange"}},
    {"DetailFrameColor", [](TqvGridLevel* L, TqvStyle*) { L->GetOptions()->SetDetailFrameColor(clRed); },
     {"TqvGridLayoutChange"}},
    {"DetailFrameWidth", [](TqvGridLevel* L, TqvStyle*) { L->GetOptions()->SetDetailFrameWidth(3); },
     {"TqvGridSizeChange"}},
    {"SameDetailFrameWidth", [](TqvGridLevel* L, TqvStyle*) { L->GetOptions()->SetDetailFrameWidth(1); }, {}},
    {"NegativeDetailFrameWidth", [](TqvGridLevel* L, TqvStyle*) { L->GetOptions()->SetDetailFrameWidth(-4); },
     {"TqvGridSizeChange"}},
    {"DetailTabsPosition", [](TqvGridLevel* L, TqvStyle*) { L->GetOptions()->SetDetailTabsPosition(dtpLeft); },
     {"TqvGridSizeChange"}},
    {"TabStyle", [](TqvGridLevel* L, TqvStyle* S) { L->GetStyles()->SetTab(S); }, {"TqvGridSizeChange"}},
};

class GridLevelSetters : public GridLevel, public ::testing::WithParamInterface<TSetterCase> {};

TEST_P(GridLevelSetters, QueueTheirChange) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  level->SetCaption("old");
  auto* style = New<TqvStyle>(FForm);
  style->SetColor(clYellow);
  FGrid->BeginUpdate();
  GetParam().Set(level, style);
  EXPECT_EQ(QueuedChanges(), GetParam().ExpectedChanges);
  FGrid->CancelUpdate();
}

INSTANTIATE_TEST_SUITE_P(GridLevel, GridLevelSetters, ::testing::ValuesIn(kSetterCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridLevel, ANegativeFrameWidthIsStoredAsZero) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  level->GetOptions()->SetDetailFrameWidth(-4);
  EXPECT_EQ(level->GetOptions()->GetDetailFrameWidth(), 0);
  EXPECT_TRUE(level->GetOptions()->IsDetailFrameWidthStored()) << "0 differs from a level's default";
  EXPECT_FALSE(level->GetOptions()->IsDetailTabsPositionStored());
  level->GetOptions()->SetDetailTabsPosition(dtpTop);
  EXPECT_TRUE(level->GetOptions()->IsDetailTabsPositionStored());
}

TEST_F(GridLevel, TheDefaultFrameColourIsThePaintersSeparatorColour) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  EXPECT_EQ(level->GetOptions()->GetDetailFrameColor(), clDefault);
  for (TqvLookAndFeelKind kind : {lfStandard, lfFlat, lfUltraFlat}) {
    FGrid->GetLookAndFeel()->SetKind(kind);
    EXPECT_EQ(level->GetOptions()->GetActualDetailFrameColor(),
              FGrid->GetLookAndFeelPainter()->DefaultFixedSeparatorColor());
  }
  level->GetOptions()->SetDetailFrameColor(clLime);
  EXPECT_EQ(level->GetOptions()->GetActualDetailFrameColor(), clLime);
}

// ---------------------------------------------------------------------------------------------
// Styles

TEST_F(GridLevel, TabStylesDefaultToTheGridsFontAndThePaintersTabColours) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  TqvViewParams params;
  level->GetStyles()->GetTabParams(level, params);
  TqvLookAndFeelPainterClass painter = FGrid->GetLookAndFeelPainter();
  EXPECT_EQ(params.Font, FGrid->GetFont());
  EXPECT_EQ(params.Color, painter->DefaultTabColor());
  EXPECT_EQ(params.TextColor, painter->DefaultTabTextColor());
  level->GetStyles()->GetViewParams(TqvGridLevelStyles::lsTabsBackground, nullptr, nullptr, params);
  EXPECT_EQ(params.Color, painter->DefaultTabsBackgroundColor());
  EXPECT_EQ(params.Font, FGrid->GetFont());
}

TEST_F(GridLevel, TheTabStyleEventWinsOverTheTabStyle) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  TqvGridLevel* tab = level->Add();
  auto* own = New<TqvStyle>(FForm);
  own->SetColor(clYellow);
  own->SetTextColor(clNavy);
  auto* chosen = New<TqvStyle>(FForm);
  chosen->SetColor(clRed);
  level->GetStyles()->SetTab(own);
  std::vector<TqvGridLevel*> asked;
  level->GetStyles()->OnGetTabStyle = [&](TqvGridLevel* Sender, TqvGridLevel* ATabLevel, TqvStyle*& AStyle) {
    EXPECT_EQ(Sender, level);
    EXPECT_EQ(AStyle, nullptr);
    asked.push_back(ATabLevel);
    AStyle = chosen;
  };
  TqvViewParams params;
  level->GetStyles()->GetTabParams(tab, params);
  EXPECT_EQ(asked, std::vector<TqvGridLevel*>({tab}));
  EXPECT_EQ(params.Color, clRed);
  EXPECT_EQ(params.TextColor, clNavy) << "what the chosen style leaves open comes from Tab";
}

TEST_F(GridLevel, TheRootLevelsStylesAreTheGrids) {
  EXPECT_EQ(FGrid->GetRootLevelStyles(), FGrid->GetRootLevel()->GetStyles());
  EXPECT_EQ(FGrid->GetRootLevelStyles()->GetLevel(), FGrid->GetRootLevel());
}

TEST_F(GridLevel, AssigningStylesCopiesTheStylesAndTheEvent) {
  TqvGridLevel* source = FGrid->GetRootLevel()->Add();
  TqvGridLevel* target = FGrid->GetRootLevel()->Add();
  auto* style = New<TqvStyle>(FForm);
  source->GetStyles()->SetTabsBackground(style);
  Integer calls = 0;
  source->GetStyles()->OnGetTabStyle = [&](TqvGridLevel*, TqvGridLevel*, TqvStyle*&) { ++calls; };
  target->SetStyles(source->GetStyles());
  EXPECT_EQ(target->GetStyles()->GetTabsBackground(), style);
  TqvViewParams params;
  target->GetStyles()->GetTabParams(target, params);
  EXPECT_EQ(calls, 1);
}

// ---------------------------------------------------------------------------------------------
// Streaming

TEST_F(GridLevel, AStreamedLevelNamesItsGridOrItsParentLevel) {
  TLevelTestView* master = AddMasterTab("master");
  TqvGridLevel* child = master->GetLevel()->Add();
  EXPECT_TRUE(child->HasParent());
  EXPECT_EQ(master->GetLevel()->GetParentComponent(), FGrid);
  EXPECT_EQ(child->GetParentComponent(), master->GetLevel());

  auto* top = New<TqvGridLevel>(FForm);
  top->SetParentComponent(FGrid);
  EXPECT_EQ(top->GetParent(), FGrid->GetRootLevel());
  auto* deeper = New<TqvGridLevel>(FForm);
  deeper->SetParentComponent(top);
  EXPECT_EQ(deeper->GetParent(), top);
  EXPECT_THROW(deeper->SetParentComponent(FForm), EInvalidCast);
  EXPECT_EQ(deeper->GetParent(), top);
}

TEST_F(GridLevel, AStreamedLevelListsTheChildrenOfTheRootBeingWritten) {
  TqvGridLevel* level = FGrid->GetRootLevel()->Add();
  TqvGridLevel* ownChild = level->Add();
  auto* foreign = New<TqvGridLevel>(nullptr);
  level->AddChild(foreign);
  std::vector<TComponent*> listed;
  level->GetChildren([&](TComponent* AChild) { listed.push_back(AChild); }, FForm);
  EXPECT_EQ(listed, std::vector<TComponent*>({ownChild}));
  EXPECT_NE(GetClass("TqvGridLevel"), nullptr) << "registered for streaming";
}

}  // namespace
