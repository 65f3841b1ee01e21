// The view framework: parts made from the class getters and freed in fixed orders, changes
// refused or run at once, update brackets, the data controller's notifications, visibility,
// events kept on the site, assignment, clones, destroy watches, options, styles, the layout
// cache, the view info and the stored-layout answers.
#include "platform/forms/StdCtrls.h"
#include "qvGridTestSupport.h"

namespace {

using TViewLog = std::vector<std::string>;

TViewLog* ViewPartLog = nullptr;

void NotePart(const std::string& AEntry) {
  if (ViewPartLog) ViewPartLog->push_back(AEntry);
}

// A part of a view that notes when it is freed.
template <class Base>
class TLoggedPart : public Base {
 public:
  using MetaType = typename Base::MetaType;
  QJ_INLINE_CLASS(TLoggedPart, Base)
 public:
  using Base::Base;
  ~TLoggedPart() override { NotePart("free " + Base::StaticClass().ClassName()); }
};

// Every part from a getter that notes that it was asked.
class TOrderView : public TTestGridView {
  QJ_INLINE_CLASS(TOrderView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override {
    NotePart("Controller");
    return &TLoggedPart<TqvCustomGridController>::StaticClass();
  }
  TqvCustomDataControllerClass GetDataControllerClass() const override {
    NotePart("DataController");
    return &TLoggedPart<TTestGridDataController>::StaticClass();
  }
  TqvGridViewHandlerClass GetPainterClass() const override {
    NotePart("Painter");
    return &TLoggedPart<TqvCustomGridPainter>::StaticClass();
  }
  TqvGridViewHandlerClass GetViewDataClass() const override {
    NotePart("ViewData");
    return &TLoggedPart<TqvCustomGridViewData>::StaticClass();
  }
  TqvGridViewHandlerClass GetViewInfoClass() const override {
    NotePart("ViewInfo");
    return &TLoggedPart<TqvCustomGridViewInfo>::StaticClass();
  }
  TqvGridViewHandlerClass GetViewInfoCacheClass() const override {
    NotePart("ViewInfoCache");
    return &TLoggedPart<TqvCustomGridViewInfoCache>::StaticClass();
  }
  TqvCustomGridOptionsClass GetBackgroundBitmapsClass() const override {
    NotePart("BackgroundBitmaps");
    return &TLoggedPart<TqvCustomGridBackgroundBitmaps>::StaticClass();
  }
  TqvCustomGridOptionsClass GetOptionsSelectionClass() const override {
    NotePart("OptionsSelection");
    return &TLoggedPart<TqvCustomGridOptionsSelection>::StaticClass();
  }
  TqvCustomGridOptionsClass GetOptionsViewClass() const override {
    NotePart("OptionsView");
    return &TLoggedPart<TqvCustomGridOptionsView>::StaticClass();
  }
  TqvCustomStylesClass GetStylesClass() const override {
    NotePart("Styles");
    return &TLoggedPart<TqvCustomGridViewStyles>::StaticClass();
  }
};

// A view whose getter names a class of the wrong family.
class TWrongPartView : public TTestGridView {
  QJ_INLINE_CLASS(TWrongPartView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;

 protected:
  TqvGridViewHandlerClass GetPainterClass() const override { return &TqvCustomGridController::StaticClass(); }
};

class GridView : public TGridTest {
 protected:
  void TearDown() override {
    ViewPartLog = nullptr;
    TGridTest::TearDown();
  }
  // A view of the grid that is not shown by a level.
  TTestGridView* LooseView() {
    auto* view = New<TTestGridView>(FForm);
    view->SetControl(FGrid);
    return view;
  }
};

// ---------------------------------------------------------------------------------------------
// Parts

TEST_F(GridView, OptionsThenHandlersComeFromTheGettersInOrder) {
  TViewLog log;
  ViewPartLog = &log;
  auto* view = New<TOrderView>(FForm);
  EXPECT_EQ(log, TViewLog({"BackgroundBitmaps", "OptionsSelection", "OptionsView", "Styles", "Controller",
                           "DataController", "Painter", "ViewData", "ViewInfo", "ViewInfoCache"}));
  EXPECT_NE(view->GetSite(), nullptr) << "made by the view info";
  EXPECT_EQ(view->GetDataController()->GetOwnerComponent(), view);
  log.clear();
  Free(view);
  EXPECT_EQ(log, TViewLog({"free TTestGridDataController", "free TqvCustomGridViewInfoCache", "free TqvCustomGridViewInfo",
                           "free TqvCustomGridViewData", "free TqvCustomGridPainter", "free TqvCustomGridController",
                           "free TqvCustomGridViewStyles", "free TqvCustomGridOptionsView",
                           "free TqvCustomGridOptionsSelection", "free TqvCustomGridBackgroundBitmaps"}));
}

TEST_F(GridView, AGetterOfTheWrongFamilyIsRefused) {
  EXPECT_THROW(New<TWrongPartView>(FForm), EInvalidCast);
}

// Notes what it still reaches when its handlers are freed.
class TLeavingView : public TTestGridView {
  QJ_INLINE_CLASS(TLeavingView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;
  TqvCustomGrid* Grid = nullptr;
  TViewLog* Out = nullptr;

 protected:
  void DestroyHandlers() override {
    Out->push_back(GetGrid() ? "attached" : "detached");
    for (Integer i = 0; i < Grid->GetViewCount(); ++i)
      if (Grid->GetView(i) == this) Out->push_back("listed");
    if (GetSite()->Owner() == Grid) Out->push_back("site in the grid");
    TTestGridView::DestroyHandlers();
    Out->push_back(GetSite() ? "site" : "no site");
    Out->push_back(GetEvents()->GetOnKeyDown() ? "key event" : "no key event");
    GetEvents()->SetOnMouseDown([](TObject*, TMouseButton, TShiftState, Integer, Integer) {});
    Out->push_back(GetEvents()->GetDragMode() == dmManual ? "manual" : "automatic");
  }
};

TEST_F(GridView, AFreedViewLeavesTheGridBeforeItsHandlersGo) {
  auto* view = New<TLeavingView>(FForm);
  TViewLog log;
  view->Grid = FGrid;
  view->Out = &log;
  FGrid->GetRootLevel()->Add()->SetGridView(view);
  view->GetEvents()->SetOnKeyDown([](TObject*, Word&, TShiftState) {});
  view->GetEvents()->SetDragMode(dmAutomatic);
  EXPECT_EQ(view->GetSite()->Owner(), FGrid);
  Free(view);
  EXPECT_EQ(log, TViewLog({"detached", "no site", "no key event", "manual"}));
  EXPECT_EQ(FGrid->GetViewCount(), 0);
  FGrid->Repaint();
}

// ---------------------------------------------------------------------------------------------
// Changes

// A change that notes whether and for which grid it ran.
class TNotingChange : public TqvCustomGridViewChange {
  QJ_INLINE_CLASS(TNotingChange, TqvCustomGridViewChange)
 public:
  TNotingChange(TqvCustomGridView* AView, TViewLog* ALog) : TqvCustomGridViewChange(AView), Log(ALog) {}
  void Execute() override { Log->push_back(GetControl() ? "ran in the grid" : "ran alone"); }
  TViewLog* Log;
};

TEST_F(GridView, WithoutAGridChangesRunAtOnce) {
  auto* view = New<TTestGridView>(FForm);
  TViewLog log;
  EXPECT_TRUE(view->Changed(MakeOwned<TNotingChange>(view, &log)));
  EXPECT_EQ(log, TViewLog({"ran alone"}));
  EXPECT_TRUE(view->SizeChanged());
}

TEST_F(GridView, WithAGridChangesWaitForItsUnlock) {
  TTestGridView* view = AddTab();
  TViewLog log;
  view->BeginUpdate();
  EXPECT_TRUE(FGrid->IsUpdateLocked());
  EXPECT_TRUE(view->GetDataController()->IsUpdateLocked());
  EXPECT_TRUE(view->Changed(MakeOwned<TNotingChange>(view, &log)));
  EXPECT_TRUE(log.empty());
  view->EndUpdate();
  EXPECT_EQ(log, TViewLog({"ran in the grid"}));
  EXPECT_FALSE(FGrid->IsUpdateLocked());
  EXPECT_FALSE(view->GetDataController()->IsUpdateLocked());
}

TEST_F(GridView, EndUpdateDiscardingChangesDropsTheBatch) {
  TTestGridView* view = AddTab();
  TViewLog log;
  view->BeginUpdate();
  view->Changed(MakeOwned<TNotingChange>(view, &log));
  view->EndUpdateDiscardingChanges();
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(FGrid->IsUpdateLocked());
  EXPECT_FALSE(view->GetDataController()->IsUpdateLocked());
}

TEST_F(GridView, ChangesAreRefusedWhileLoading) {
  TTestGridView* view = AddTab();
  TViewLog log;
  view->BeginLoading();
  EXPECT_FALSE(view->Changed(MakeOwned<TNotingChange>(view, &log)));
  EXPECT_FALSE(view->SizeChanged());
  view->EndLoading();
  EXPECT_TRUE(log.empty());
}

// Asks for changes while it calculates.
class TCalculatingViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TCalculatingViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;
  void Calculate() override {
    ++Calculations;
    Answers.push_back(GetGridView()->SizeChanged());
    if (FailNext) {
      FailNext = false;
      throw EAbort("layout failed");
    }
    MainCalculate(GetBounds());
  }
  Integer Calculations = 0;
  std::vector<bool> Answers;
  bool FailNext = false;
};

class TCalculatingView : public TTestGridView {
  QJ_INLINE_CLASS(TCalculatingView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;
  TCalculatingViewInfo* Info() const { return static_cast<TCalculatingViewInfo*>(GetViewInfo()); }

 protected:
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TCalculatingViewInfo::StaticClass(); }
};

TEST_F(GridView, ChangesAreRefusedWhileTheViewCalculates) {
  auto* view = New<TCalculatingView>(FForm);
  FGrid->GetRootLevel()->Add()->SetGridView(view);
  view->Info()->Answers.clear();
  const Integer calculations = view->Info()->Calculations;
  view->Info()->MainCalculate(Rect(0, 0, 100, 80));
  EXPECT_EQ(view->Info()->Calculations, calculations + 1) << "a calculation inside one is ignored";
  EXPECT_EQ(view->Info()->Answers, std::vector<bool>({false}));
  EXPECT_EQ(view->GetSite()->GetBoundsRect(), Rect(0, 0, 100, 80));
}

TEST_F(GridView, AFailedCalculationStillFinishes) {
  auto* view = New<TCalculatingView>(FForm);
  FGrid->GetRootLevel()->Add()->SetGridView(view);
  view->GetSite()->SetParent(nullptr);
  view->Info()->FailNext = true;
  EXPECT_THROW(view->Info()->MainCalculate(Rect(0, 0, 100, 80)), EAbort);
  EXPECT_FALSE(view->Info()->IsCalculating());
  EXPECT_EQ(view->GetSite()->GetParent(), FGrid) << "the visibility was brought up to date";
  EXPECT_TRUE(view->SizeChanged());
}

TEST_F(GridView, APatternIsNeverVisibleButItsChangesRun) {
  TTestGridView* view = LooseView();
  ASSERT_TRUE(view->IsPattern());
  EXPECT_FALSE(view->IsVisible());
  EXPECT_FALSE(view->CanFocus());
  EXPECT_TRUE(view->IsVisibleOrPattern());
  view->GetSite()->SetBounds(0, 0, 60, 40);
  std::vector<std::string> layouts;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView* AView) { layouts.push_back(AView ? "view" : "grid"); };
  view->LayoutChanged(true);
  EXPECT_EQ(layouts, TViewLog({"view"}));
}

TEST_F(GridView, SizeOrLayoutChangedFollowsTheView) {
  struct TSizingView : TTestGridView {
    using TTestGridView::TTestGridView;
    bool NeedsSizeChangeOnResize() override { return Sizes; }
    bool Sizes = false;
  };
  auto* view = New<TSizingView>(FForm);
  FGrid->GetRootLevel()->Add()->SetGridView(view);
  FGrid->BeginUpdate();
  view->SizeOrLayoutChanged(true, false);
  view->Sizes = true;
  view->SizeOrLayoutChanged(true, true);
  const TqvGridChangeQueue& queue = FGrid->GetChangeQueue();
  ASSERT_EQ(queue.GetCount(), 2);
  EXPECT_TRUE(queue.GetItem(0)->InheritsFrom<TqvGridLayoutChange>());
  auto* size = As<TqvGridSizeChange>(queue.GetItem(1));
  ASSERT_NE(size, nullptr);
  EXPECT_TRUE(size->GetViewOnly());
  EXPECT_TRUE(size->GetKeepMaster());
  FGrid->EndUpdate();
}

TEST_F(GridView, InvalidateRectIgnoresAnEmptyRectangle) {
  TTestGridView* view = AddTab();
  FGrid->BeginUpdate();
  view->InvalidateRect(Rect(5, 5, 5, 20));
  view->InvalidateRect(Rect(5, 5, 10, 20));
  view->Invalidate();
  const TqvGridChangeQueue& queue = FGrid->GetChangeQueue();
  ASSERT_EQ(queue.GetCount(), 2);
  EXPECT_EQ(static_cast<TqvGridViewChange*>(queue.GetItem(0))->GetBounds(), Rect(5, 5, 10, 20));
  EXPECT_TRUE(static_cast<TqvGridViewChange*>(queue.GetItem(1))->GetBounds().IsEmpty());
  FGrid->EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Data controller, visibility, focus

TEST_F(GridView, TheDataControllersChangesReachUpdateControl) {
  TTestGridView* view = AddTab();
  TqvCustomDataController* controller = view->GetDataController();
  auto item = MakeOwned<TTestGridItem>(1);
  controller->AddItem(item.get());
  view->Infos.clear();
  controller->SetRecordCount(3);
  controller->ChangeFocusedRowIndex(1);
  EXPECT_NE(std::find(view->Infos.begin(), view->Infos.end(), "TqvDataChangedInfo"), view->Infos.end());
  EXPECT_NE(std::find(view->Infos.begin(), view->Infos.end(), "TqvFocusedRecordChangedInfo"), view->Infos.end());
  Free(view);
}

struct TVisibilityCase {
  const char* Name;
  bool LevelVisible;
  bool Active;
  bool Detail;
  bool DetailShown;  // the master shows its details
  bool Visible;
  bool Focusable;
};

std::ostream& operator<<(std::ostream& os, const TVisibilityCase& c) { return os << c.Name; }

const TVisibilityCase kVisibilityCases[] = {
    {"ActiveTab", true, true, false, false, true, true},
    {"InactiveTab", true, false, false, false, false, true},
    {"HiddenTab", false, false, false, false, false, false},
    {"DetailShown", true, true, true, true, true, true},
    {"DetailNotShown", true, true, true, false, false, false},
};

class GridViewVisibility : public GridView, public ::testing::WithParamInterface<TVisibilityCase> {};

TEST_P(GridViewVisibility, FollowsLevelAndMaster) {
  const TVisibilityCase& c = GetParam();
  TTestGridView* first = AddTab("first");
  TTestGridView* view = first;
  if (c.Detail) {
    first->DetailsVisible = c.DetailShown;
    view = AddDetail(first->GetLevel());
  } else if (!c.Active) {
    view = AddTab("second");
  }
  if (!c.LevelVisible) view->GetLevel()->SetVisible(false);
  EXPECT_EQ(view->IsVisible(), c.Visible);
  EXPECT_EQ(view->CanFocus(), c.Focusable);
}

INSTANTIATE_TEST_SUITE_P(GridView, GridViewVisibility, ::testing::ValuesIn(kVisibilityCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridView, ADetailIsDestroyingWhileItsMasterIs) {
  TTestGridView* first = AddTab();
  first->DetailsVisible = true;
  TTestGridView* detail = AddDetail(first->GetLevel());
  auto* deeper = New<TTestGridView>(FForm);
  MakeDetail(deeper, detail);
  EXPECT_TRUE(deeper->IsDetailOf(first));
  EXPECT_TRUE(deeper->IsDetailOf(detail));
  EXPECT_FALSE(first->IsDetailOf(deeper));
  EXPECT_EQ(deeper->GetMasterGridView(), detail);
  EXPECT_FALSE(deeper->IsDestroying());
  first->Destroying();
  EXPECT_TRUE(deeper->IsDestroying());
}

TEST_F(GridView, HiddenWithTheFocusTheSiteIsParkedUntilTheFocusLeaves) {
  TTestGridView* view = AddTab("first");
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  TqvGridSite* site = view->GetSite();
  site->SetFocus();
  Pump();
  view->GetViewInfo()->VisibilityChanged(false);
  EXPECT_EQ(site->GetLeft(), qvGridSiteParkedLeft);
  EXPECT_TRUE(site->IsParked());
  EXPECT_EQ(site->GetParent(), FGrid);
  EXPECT_TRUE(site->Focused());
  view->GetLevel()->SetVisible(false);
  edit->SetFocus();
  Pump();
  EXPECT_EQ(site->GetParent(), nullptr);
}

TEST_F(GridView, FocusMovesBetweenSites) {
  TTestGridView* first = AddTab("first");
  TTestGridView* second = AddTab("second");
  second->SetFocused(true);
  EXPECT_TRUE(second->IsFocused());
  EXPECT_FALSE(first->IsFocused());
  TqvGridSite* site = first->GetSite();
  EXPECT_TRUE(!site->GetParent() || site->IsParked()) << "an inactive tab's site is out of sight";
  EXPECT_FALSE(first->GetSite()->GetTabStop());
  first->SetFocused(false);
  EXPECT_TRUE(second->IsFocused());
}

// ---------------------------------------------------------------------------------------------
// Events, assignment, clones, watches

TEST_F(GridView, TheEventsAreTheSites) {
  TTestGridView* view = AddTab();
  TqvGridSite* site = view->GetSite();
  Integer calls = 0;
  view->GetEvents()->SetOnKeyDown([&](TObject* Sender, Word&, TShiftState) {
    EXPECT_EQ(Sender, site);
    ++calls;
  });
  ASSERT_TRUE(site->OnKeyDown);
  Word key = 'A';
  site->OnKeyDown(site, key, 0);
  EXPECT_EQ(calls, 1);
  site->OnDblClick = [&](TObject*) { ++calls; };
  view->GetEvents()->GetOnDblClick()(site);
  EXPECT_EQ(calls, 2);
  view->GetEvents()->SetDragMode(dmAutomatic);
  EXPECT_EQ(site->GetDragMode(), dmAutomatic);
}

TEST_F(GridView, AssignCopiesSettingsEventsAndRunsFocusAfterLoading) {
  TTestGridView* source = AddTab();
  Integer calls = 0;
  source->GetEvents()->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++calls; });
  source->GetEvents()->SetOnStartDrag([&](TObject*, TDragObject*&) { ++calls; });
  source->GetEvents()->SetDragMode(dmAutomatic);
  source->GetOptionsView()->SetScrollBars(ssVertical);
  auto* style = New<TqvStyle>(FForm);
  style->SetColor(clRed);
  source->GetStyles()->SetBackground(style);
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetSize(4, 4);
  source->GetBackgroundBitmaps()->SetBackground(bitmap.get());
  auto* target = New<TTestGridView>(FForm);
  target->Assign(source);
  EXPECT_EQ(target->FocusAfterLoadingCount, 1);
  EXPECT_EQ(target->GetEvents()->GetDragMode(), dmAutomatic);
  EXPECT_EQ(target->GetOptionsView()->GetScrollBars(), ssVertical);
  EXPECT_EQ(target->GetStyles()->GetBackground(), style);
  EXPECT_EQ(target->GetBackgroundBitmaps()->GetBackground()->GetWidth(), 4);
  TDragObject* dragObject = nullptr;
  target->GetEvents()->GetOnStartDrag()(target->GetSite(), dragObject);
  target->GetEvents()->GetOnMouseUp()(target->GetSite(), mbLeft, 0, 0, 0);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(target->GetEvents()->GetOnKeyDown());
}

TEST_F(GridView, OnlyAViewAssignsToAView) {
  TTestGridView* view = AddTab();
  auto other = MakeOwned<TqvStyle>(nullptr);
  EXPECT_THROW(view->Assign(other.get()), EConvertError);
}

TEST_F(GridView, ClonesFollowTheirPattern) {
  TTestGridView* pattern = LooseView();
  auto* clone = New<TTestGridView>(FForm);
  pattern->AddClone(clone);
  EXPECT_EQ(clone->GetPatternGridView(), pattern);
  EXPECT_EQ(pattern->GetPatternGridView(), pattern);
  EXPECT_EQ(pattern->GetCloneCount(), 1);
  struct TLookView : TTestGridView {
    using TTestGridView::TTestGridView;
    void LookAndFeelChanged() override {
      Log.push_back("look and feel");
      TTestGridView::LookAndFeelChanged();
    }
  };
  auto* second = New<TLookView>(FForm);
  pattern->AddClone(second);
  pattern->LookAndFeelChanged();
  EXPECT_EQ(second->Log, TViewLog({"look and feel"}));
  Free(clone);
  EXPECT_EQ(pattern->GetCloneCount(), 1) << "a freed clone leaves its pattern";
  pattern->RemoveClone(second);
  EXPECT_EQ(second->GetPatternGridView(), second);
}

TEST_F(GridView, AFreedViewClearsItsDestroyWatches) {
  TTestGridView* view = AddTab();
  TqvCustomGridView* first = view;
  TqvCustomGridView* second = view;
  TqvCustomGridView* removed = view;
  view->AddDestroyWatch(&first);
  view->AddDestroyWatch(&second);
  view->AddDestroyWatch(&removed);
  view->RemoveDestroyWatch(&removed);
  Free(view);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(removed, nullptr);
}

TEST_F(GridView, LoadedMeasuresTellsTheControllerAndFocuses) {
  TTestGridView* view = AddTab();
  view->BeginLoading();
  view->EndLoading();
  EXPECT_EQ(view->FocusAfterLoadingCount, 1);
}

TEST_F(GridView, MovingToAnotherGridLeavesTheFirst) {
  TTestGridView* view = LooseView();
  auto* other = New<TqvGrid>(FForm);
  view->SetControl(other);
  EXPECT_EQ(FGrid->GetViewCount(), 0);
  EXPECT_EQ(other->GetViewCount(), 1);
  EXPECT_EQ(view->GetSite()->Owner(), other);
  EXPECT_EQ(view->GetHomeGrid(), FGrid);
  Free(FGrid);
  FGrid = nullptr;
  EXPECT_EQ(view->GetHomeGrid(), nullptr) << "a freed home grid is forgotten";
}

TEST_F(GridView, TheRegistryOfViewKindsRegistersForStreaming) {
  TqvRegisteredClasses* registry = GetRegisteredGridViews();
  ASSERT_TRUE(registry->GetStreamRegistration());
  registry->Register(&TTestGridView::StaticClass(), "Test");
  EXPECT_EQ(GetClass("TTestGridView"), &TTestGridView::StaticClass());
  registry->Unregister(&TTestGridView::StaticClass());
  UnRegisterClass(&TTestGridView::StaticClass());
}

TEST_F(GridView, TheDataControllersLinksAndForeignStylesAreLinked) {
  TTestGridView* view = AddTab();
  auto* repository = New<TComponent>(nullptr);
  auto* style = New<TqvStyle>(repository);
  auto* local = New<TqvStyle>(FForm);
  auto* linked = New<TComponent>(FForm);
  static_cast<TTestGridDataController*>(view->GetDataController())->LinkedComponent = linked;
  view->GetStyles()->SetBackground(style);
  view->GetStyles()->SetValue(1, local);
  std::vector<TComponent*> links;
  view->GetFakeComponentLinks(links);
  EXPECT_EQ(links, (std::vector<TComponent*>{linked, repository}));
  view->GetStyles()->SetBackground(nullptr);
  Free(repository);
}

// ---------------------------------------------------------------------------------------------
// Options and styles

TEST_F(GridView, OptionsChangesLayTheViewOut) {
  TTestGridView* view = AddTab();
  std::vector<std::string> layouts;
  FGrid->OnLayoutChanged = [&](TqvCustomGrid*, TqvCustomGridView* AView) { layouts.push_back(AView ? "view" : "grid"); };
  view->GetOptionsView()->Changed();
  EXPECT_EQ(layouts, TViewLog({"view"}));
  layouts.clear();
  view->GetBackgroundBitmaps()->GetValue(3)->SetSize(2, 2);
  EXPECT_EQ(layouts, TViewLog({"view"})) << "a bitmap's change";
  EXPECT_THROW(view->GetOptionsView()->Assign(view->GetStyles()), EConvertError);
}

TEST_F(GridView, TheBackgroundBitmapFallsBackToTheStyles) {
  TTestGridView* view = AddTab();
  TqvCustomGridBackgroundBitmaps* bitmaps = view->GetBackgroundBitmaps();
  EXPECT_EQ(bitmaps->GetBitmap(0), nullptr);
  auto* style = New<TqvStyle>(FForm);
  auto picture = MakeOwned<TBitmap>();
  picture->SetSize(3, 3);
  style->SetBitmap(picture.get());
  view->GetStyles()->SetBackground(style);
  EXPECT_EQ(bitmaps->GetBitmap(0), style->GetBitmap());
  EXPECT_EQ(bitmaps->GetBitmap(1), nullptr) << "only the background has a style";
  bitmaps->GetBackground()->SetSize(5, 5);
  EXPECT_EQ(bitmaps->GetBitmap(0), bitmaps->GetBackground());
  EXPECT_THROW(bitmaps->GetValue(-1), EListError);
}

TEST_F(GridView, TheStylesDefaultsAreTheGridsFontAndThePaintersColour) {
  TTestGridView* view = AddTab();
  TqvViewParams params;
  view->GetStyles()->GetViewParams(TqvCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
  EXPECT_EQ(params.Font, FGrid->GetFont());
  EXPECT_EQ(params.Color, FGrid->GetLookAndFeelPainter()->DefaultContentColor());
  auto* loose = New<TTestGridView>(FForm);
  loose->GetStyles()->GetViewParams(TqvCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
  EXPECT_EQ(params.Font, loose->GetSite()->GetCanvas()->GetFont()) << "without a grid, the site's";
  EXPECT_EQ(params.Color, TqvStandardLookAndFeelPainter::Class()->DefaultContentColor());
}

TEST_F(GridView, AStyleChangeMeasuresTheViewAgain) {
  TTestGridView* view = AddTab();
  auto* style = New<TqvStyle>(FForm);
  view->GetStyles()->SetBackground(style);
  FGrid->BeginUpdate();
  style->SetColor(clBlue);
  const TqvGridChangeQueue& queue = FGrid->GetChangeQueue();
  ASSERT_EQ(queue.GetCount(), 1);
  EXPECT_TRUE(queue.GetItem(0)->InheritsFrom<TqvGridSizeChange>());
  EXPECT_EQ(queue.GetItem(0)->GetGridView(), view);
  FGrid->EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Layout cache

// Notes which rows forget their values.
class TNotingCacheItem : public TqvCustomGridViewInfoCacheItem {
  QJ_INLINE_CLASS(TNotingCacheItem, TqvCustomGridViewInfoCacheItem)
 public:
  using TqvCustomGridViewInfoCacheItem::TqvCustomGridViewInfoCacheItem;
  void ResetValues(bool AKeepMaster) override {
    NotePart(GetOwner()->GetGridView()->GetName() + " " + std::to_string(GetIndex()) + (AKeepMaster ? " keep" : ""));
  }
};

class TNotingCache : public TqvCustomGridViewInfoCache {
  QJ_INLINE_CLASS(TNotingCache, TqvCustomGridViewInfoCache)
 public:
  using TqvCustomGridViewInfoCache::TqvCustomGridViewInfoCache;
  TqvCustomGridViewInfoCacheItemClass GetItemClass() const override { return &TNotingCacheItem::StaticClass(); }
};

class TCachedView : public TTestGridView {
  QJ_INLINE_CLASS(TCachedView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;

 protected:
  TqvGridViewHandlerClass GetViewInfoCacheClass() const override { return &TNotingCache::StaticClass(); }
};

class GridViewCache : public GridView, public ::testing::WithParamInterface<bool> {};

TEST_P(GridViewCache, ResetValuesReachesTheMastersRowUnlessKept) {
  const bool keepMaster = GetParam();
  auto* master = New<TCachedView>(FForm);
  master->SetName("master");
  FGrid->GetRootLevel()->Add()->SetGridView(master);
  master->GetDataController()->SetRecordCount(3);
  auto* detail = New<TCachedView>(FForm);
  detail->SetName("detail");
  detail->SetControl(FGrid);
  MakeDetail(detail, master, 2);
  master->GetViewInfoCache()->SetCount(3);
  master->GetViewInfoCache()->GetItem(0);
  master->GetViewInfoCache()->GetItem(2);
  detail->GetViewInfoCache()->SetCount(2);
  EXPECT_EQ(detail->GetViewInfoCache()->GetItemIfMade(1), nullptr) << "made on request";
  detail->GetViewInfoCache()->GetItem(1);
  TViewLog log;
  ViewPartLog = &log;
  detail->GetViewInfoCache()->ResetValues(keepMaster);
  EXPECT_EQ(log, keepMaster ? TViewLog({"detail 1 keep"}) : TViewLog({"detail 1", "master 2"}));
}

INSTANTIATE_TEST_SUITE_P(GridView, GridViewCache, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "KeepMaster" : "ResetMaster"; });

// ---------------------------------------------------------------------------------------------
// Stored layout

TEST_F(GridView, TheBaseStoresItsNameAndNothingElse) {
  TTestGridView* view = AddTab();
  view->SetName("Channels");
  IqvStoredLayoutObject* object = view;
  IqvStoredLayoutParent* parent = view;
  EXPECT_EQ(object->GetObjectName(), "Channels");
  auto properties = MakeOwned<TStringList>();
  EXPECT_TRUE(object->GetProperties(properties.get()));
  EXPECT_EQ(properties->GetCount(), 0);
  Variant value = 5;
  object->GetPropertyValue("Anything", value);
  EXPECT_EQ(value.AsInteger(), 5);
  object->SetPropertyValue("Anything", Variant(1));
  EXPECT_EQ(parent->CreateChild("Column1", "TqvGridColumn"), nullptr);
  parent->GetChildren(properties.get());
  EXPECT_EQ(properties->GetCount(), 0);
  TAliveToken alive;
  auto* child = New<TComponent>(nullptr);
  alive = child->AliveToken();
  parent->DeleteChild("Column1", child);
  EXPECT_FALSE(alive) << "freed";
}

}  // namespace
