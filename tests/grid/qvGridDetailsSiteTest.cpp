// Detail areas and level tabs: the geometry of left and top tabs, their borders, pressing and
// hot tracking, hit tests through the area, measuring an area for its active view, and what
// the grid's root area paints in every painter kind.
#include "grid/qvGridDetailsSite.h"
#include "grid/qvGridLevel.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "qvGridTestSupport.h"

namespace {

TPoint TabCentre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

class DetailsSite : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    FGrid->OnActiveTabChanged = [this](TqvCustomGrid*, TqvGridLevel* ALevel) {
      FTabEvents.push_back(ALevel->GetCaption());
    };
  }
  // Root tabs at APosition with the captions given; the first one is active.
  std::vector<TTestGridView*> RootTabs(TqvGridDetailTabsPosition APosition, std::vector<String> ACaptions) {
    FGrid->GetRootLevelOptions()->SetDetailTabsPosition(APosition);
    std::vector<TTestGridView*> views;
    for (const String& caption : ACaptions) views.push_back(AddTab(caption, caption));
    Pump();
    FTabEvents.clear();
    return views;
  }
  TqvGridTopDetailsSiteViewInfo* Site() const { return FGrid->GetViewInfo()->GetDetailsSite(); }
  TqvCustomGridDetailsSiteTabsViewInfo* Tabs() const { return Site()->GetTabsViewInfo(); }
  TqvCustomGridDetailsSiteTabViewInfo* Tab(Integer AIndex) const { return Tabs()->GetItem(AIndex); }
  Integer BorderWidth(bool AVertical) const { return FGrid->GetLookAndFeelPainter()->GetTabBorderWidth(AVertical); }
  // The caption's text height and width in the grid's font.
  Integer TextHeight(const String& AText) const { return Canvas()->TextHeight(AText); }
  Integer TextWidth(const String& AText) const { return Canvas()->TextWidth(AText); }
  TqvCanvas* Canvas() const {
    FGrid->GetCanvas()->SetFont(FGrid->GetFont());
    return FGrid->GetCanvas();
  }

  std::vector<std::string> FTabEvents;
};

// ---------------------------------------------------------------------------------------------
// Geometry

TEST_F(DetailsSite, WithoutTabsTheClientIsTheAreaLessItsFrame) {
  std::vector<TTestGridView*> views = RootTabs(dtpNone, {"One", "Two"});
  const TRect client = FGrid->GetClientBounds();
  EXPECT_EQ(Tabs(), nullptr);
  EXPECT_EQ(Site()->GetBounds(), client);
  EXPECT_EQ(Site()->GetClientBounds(), client);
  EXPECT_EQ(views[0]->GetSite()->GetBoundsRect(), client);
  FGrid->GetRootLevelOptions()->SetDetailFrameWidth(3);
  EXPECT_EQ(Site()->GetClientBounds(), qvDeflatedRect(client, 3));
  EXPECT_EQ(Site()->GetFrameBounds(), client);
  EXPECT_EQ(views[0]->GetSite()->GetBoundsRect(), qvDeflatedRect(client, 3));
}

TEST_F(DetailsSite, OneTopTabIsFiveMoreThanTheTab) {
  RootTabs(dtpTop, {"One"});
  const TRect client = FGrid->GetClientBounds();
  const Integer bw = BorderWidth(false);
  const Integer tabHeight = TextHeight("One") + 4 + 2 * bw;
  ASSERT_EQ(Tabs()->GetCount(), 1);
  EXPECT_EQ(Tabs()->GetHeight(), tabHeight + 5);
  EXPECT_EQ(Tabs()->GetBounds(), Rect(client.Left, client.Top, client.Right, client.Top + tabHeight + 5));
  const Integer width = TextWidth("One") + 14 + 2 * bw + 2 * bw;
  EXPECT_EQ(Tab(0)->GetBounds(), Bounds(client.Left + 2 - bw, client.Top + 2, width, tabHeight));
  EXPECT_EQ(Site()->GetClientBounds(), Rect(client.Left, client.Top + tabHeight + 5, client.Right, client.Bottom));
  EXPECT_EQ(Tabs()->GetMainSideBounds(),
            Rect(client.Left, client.Top + tabHeight + 1, client.Right, client.Top + tabHeight + 5));
}

TEST_F(DetailsSite, TwoTopTabsGiveTheActiveOneTheOffset) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Second"});
  const TRect client = FGrid->GetClientBounds();
  const Integer bw = BorderWidth(false);
  const Integer tabHeight = TextHeight("One") + 4 + 2 * bw;
  EXPECT_EQ(Tabs()->GetHeight(), tabHeight + 5 + 2);
  const TRect active = Bounds(client.Left + 2 - bw, client.Top + 2, TextWidth("One") + 14 + 4 * bw, tabHeight + 2);
  EXPECT_EQ(Tab(0)->GetBounds(), active);
  // The tab after the active one has no left border of its own.
  EXPECT_EQ(Tab(1)->GetBounds(), Bounds(active.Right, client.Top + 4, TextWidth("Second") + 14 + bw, tabHeight));
  EXPECT_EQ(Tab(0)->GetBounds().Bottom, Tab(1)->GetBounds().Bottom);
  EXPECT_EQ(views[0]->GetSite()->GetBoundsRect(), Site()->GetClientBounds());
  EXPECT_EQ(Site()->GetClientBounds().Top, client.Top + tabHeight + 7);
}

TEST_F(DetailsSite, LeftTabsStackDownTheSide) {
  RootTabs(dtpLeft, {"One", "Second"});
  const TRect client = FGrid->GetClientBounds();
  const Integer bw = BorderWidth(true);
  const Integer widest = TextWidth("Second") + 14 + 2 * bw;
  EXPECT_EQ(Tabs()->GetWidth(), widest + 5 + 3);
  EXPECT_EQ(Tabs()->GetBounds(), Rect(client.Left, client.Top, client.Left + widest + 8, client.Bottom));
  const Integer textHeight = TextHeight("One");
  const TRect active = Bounds(client.Left + 2, client.Top + 2 - bw, widest + 3, textHeight + 4 + 4 * bw);
  EXPECT_EQ(Tab(0)->GetBounds(), active);
  // The tab below the active one has no top border and stands back by the offset.
  EXPECT_EQ(Tab(1)->GetBounds(), Bounds(client.Left + 5, active.Bottom, widest, textHeight + 4 + bw));
  EXPECT_EQ(Site()->GetClientBounds(), Rect(client.Left + widest + 8, client.Top, client.Right, client.Bottom));
  EXPECT_EQ(Tabs()->GetMainSideBounds(),
            Rect(client.Left + widest + 4, client.Top, client.Left + widest + 8, client.Bottom));
}

struct TTabBordersCase {
  const char* Name;
  TqvGridDetailTabsPosition Position;
  Integer Active;
  std::vector<TqvBorders> Expected;  // bits: 1 left, 2 top, 4 right, 8 bottom
};

const TTabBordersCase kTabBordersCases[] = {
    {"OneTopTab", dtpTop, 0, {7}},
    {"TopFirstActive", dtpTop, 0, {7, 14, 15}},
    {"TopMiddleActive", dtpTop, 1, {11, 7, 14}},
    {"TopLastActive", dtpTop, 2, {15, 11, 7}},
    {"OneLeftTab", dtpLeft, 0, {11}},
    {"LeftFirstActive", dtpLeft, 0, {11, 13, 15}},
    {"LeftMiddleActive", dtpLeft, 1, {7, 11, 13}},
    {"LeftLastActive", dtpLeft, 2, {15, 7, 11}},
};

class DetailsSiteTabBorders : public DetailsSite, public ::testing::WithParamInterface<TTabBordersCase> {};

TEST_P(DetailsSiteTabBorders, FollowTheActiveTab) {
  const TTabBordersCase& c = GetParam();
  std::vector<String> captions = {"A", "B", "C"};
  captions.resize(c.Expected.size());
  std::vector<TTestGridView*> views = RootTabs(c.Position, captions);
  views[static_cast<size_t>(c.Active)]->GetLevel()->SetActive(true);
  std::vector<TqvBorders> borders;
  for (Integer i = 0; i < Tabs()->GetCount(); ++i) borders.push_back(Tab(i)->GetCalculatedBorders());
  EXPECT_EQ(borders, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(DetailsSite, DetailsSiteTabBorders, ::testing::ValuesIn(kTabBordersCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DetailsSite, TheTabsFollowTheVisibleLevels) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two", "Three"});
  views[1]->GetLevel()->SetVisible(false);
  ASSERT_EQ(Tabs()->GetCount(), 2);
  EXPECT_EQ(Tab(1)->GetLevel(), views[2]->GetLevel());
  EXPECT_EQ(Tab(1)->GetIndex(), 1);
  EXPECT_EQ(Tab(1)->GetCalculatedText(), "Three");
}

TEST_F(DetailsSite, ANewCaptionIsMeasuredAgain) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two"});
  const Integer before = Tab(0)->GetWidth();
  views[0]->GetLevel()->SetCaption("A much longer caption");
  Pump();
  EXPECT_EQ(Tab(0)->GetCalculatedText(), "A much longer caption");
  EXPECT_EQ(Tab(0)->GetWidth() - before, TextWidth("A much longer caption") - TextWidth("One"));
  EXPECT_EQ(Tab(1)->GetBounds().Left, Tab(0)->GetBounds().Right) << "the next tab moves along";
}

TEST_F(DetailsSite, WithoutAnActiveViewTheTabsStayAndTheClientShowsTheGridsColour) {
  FGrid->GetRootLevelOptions()->SetDetailTabsPosition(dtpTop);
  for (const char* caption : {"Empty", "Also empty"}) FGrid->GetRootLevel()->Add()->SetCaption(caption);
  FGrid->SetColor(clLime);
  Pump();
  ASSERT_EQ(FGrid->GetActiveView(), nullptr);
  EXPECT_FALSE(Site()->HasActiveGridView());
  EXPECT_EQ(Tabs()->GetCount(), 2);
  const TRect client = Site()->GetClientBounds();
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(FGrid);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixel(client.Left + 1, client.Top + 1), ColorToRGB(clLime));
  EXPECT_EQ(bitmap->GetCanvas()->GetPixel(client.Right - 2, client.Bottom - 2), ColorToRGB(clLime));
}

// ---------------------------------------------------------------------------------------------
// The mouse

TEST_F(DetailsSite, PressingATabActivatesItsLevel) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two"});
  Click(FGrid, TabCentre(Tab(1)->GetBounds()));
  EXPECT_EQ(FGrid->GetActiveLevel(), views[1]->GetLevel());
  EXPECT_EQ(FGrid->GetFocusedView(), views[1]);
  EXPECT_EQ(FTabEvents, std::vector<std::string>({"Two"}));
  EXPECT_TRUE(Tab(1)->IsActive());
  EXPECT_EQ(Tab(1)->GetPaintState(), gcsPressed);
  Click(FGrid, TabCentre(Tab(1)->GetBounds()));
  EXPECT_EQ(FTabEvents, std::vector<std::string>({"Two"})) << "the active tab stays active";
}

// The hot tab goes with the layout its press rebuilds, while its mouse tracking still runs.
TEST_F(DetailsSite, PressingAHotTab) {
  FGrid->GetLookAndFeel()->SetNativeStyle(true);
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two"});
  const TPoint P = TabCentre(Tab(1)->GetBounds());
  MoveTo(FGrid, P);
  ASSERT_EQ(Tab(1)->GetState(), gcsHot);
  Click(FGrid, P);
  EXPECT_EQ(FGrid->GetActiveLevel(), views[1]->GetLevel());
  MoveTo(FGrid, {FGrid->GetWidth() - 5, P.Y});
  Wait(100);
  EXPECT_EQ(Tab(1)->GetState(), gcsNormal);
  MoveTo(FGrid, TabCentre(Tab(0)->GetBounds()));
  EXPECT_EQ(Tab(0)->GetState(), gcsHot) << "the new layout's tabs hot-track";
}

TEST_F(DetailsSite, LeftTabsArePressedToo) {
  std::vector<TTestGridView*> views = RootTabs(dtpLeft, {"One", "Two"});
  Click(FGrid, TabCentre(Tab(1)->GetBounds()));
  EXPECT_EQ(FGrid->GetActiveLevel(), views[1]->GetLevel());
}

struct TTabHotTrackCase {
  const char* Name;
  bool Native;
  TqvGridDetailTabsPosition Position;
  bool Hot;
};

const TTabHotTrackCase kTabHotTrackCases[] = {
    {"NativeTopTabs", true, dtpTop, true},
    {"NativeLeftTabs", true, dtpLeft, false},
    {"StandardTopTabs", false, dtpTop, false},
};

class DetailsSiteHotTrack : public DetailsSite, public ::testing::WithParamInterface<TTabHotTrackCase> {};

TEST_P(DetailsSiteHotTrack, FollowsThePainter) {
  const TTabHotTrackCase& c = GetParam();
  FGrid->GetLookAndFeel()->SetNativeStyle(c.Native);
  RootTabs(c.Position, {"One", "Two"});
  TqvCustomGridDetailsSiteTabViewInfo* tab = Tab(1);
  EXPECT_EQ(tab->GetHotTrack(), c.Hot);
  const TPoint inside{tab->GetBounds().Left + 3, TabCentre(tab->GetBounds()).Y};
  MoveTo(FGrid, TabCentre(tab->GetBounds()));
  EXPECT_EQ(tab->GetState(), c.Hot ? gcsHot : gcsNormal);
  const COLORREF whileOver = PaintSiteOnSentinel(FGrid)->GetCanvas()->GetPixel(inside.X, inside.Y);
  MoveTo(FGrid, {FGrid->GetWidth() - 5, TabCentre(tab->GetBounds()).Y});
  Wait(100);
  EXPECT_EQ(tab->GetState(), gcsNormal) << "the mouse left the tab";
  const COLORREF afterwards = PaintSiteOnSentinel(FGrid)->GetCanvas()->GetPixel(inside.X, inside.Y);
  EXPECT_EQ(whileOver != afterwards, c.Hot) << "a hot tab is drawn hot";
}

INSTANTIATE_TEST_SUITE_P(DetailsSite, DetailsSiteHotTrack, ::testing::ValuesIn(kTabHotTrackCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Hit tests

TEST_F(DetailsSite, ATabAnswersItsLevelAndTheGrid) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two"});
  const TPoint P = TabCentre(Tab(1)->GetBounds());
  TOwned<TqvCustomGridHitTest> hitTest = FGrid->GetViewInfo()->GetHitTest(P);
  ASSERT_EQ(hitTest->GetHitTestCode(), 50);
  auto* tabHitTest = static_cast<TqvGridDetailsSiteTabHitTest*>(hitTest.get());
  EXPECT_EQ(tabHitTest->GetLevel(), views[1]->GetLevel());
  EXPECT_EQ(tabHitTest->GetOwner(), FGrid);
  EXPECT_EQ(tabHitTest->GetViewInfo(), Tab(1));
  EXPECT_EQ(tabHitTest->GetPos(), P);
  FGrid->LayoutChanged();
  EXPECT_EQ(tabHitTest->GetViewInfo(), nullptr) << "the tab went with its layout";
  Free(views[1]->GetLevel());
  EXPECT_EQ(tabHitTest->GetLevel(), nullptr);
  EXPECT_EQ(tabHitTest->GetOwner(), FGrid);
}

TEST_F(DetailsSite, InsideTheClientTheActiveViewAnswers) {
  std::vector<TTestGridView*> views = RootTabs(dtpTop, {"One", "Two"});
  const TRect client = Site()->GetClientBounds();
  TOwned<TqvCustomGridHitTest> hitTest = FGrid->GetViewInfo()->GetHitTest({client.Left + 7, client.Top + 9});
  auto* viewHitTest = As<TqvGridViewNoneHitTest>(hitTest.get());
  ASSERT_NE(viewHitTest, nullptr);
  EXPECT_EQ(viewHitTest->GetGridView(), views[0]);
  EXPECT_EQ(viewHitTest->GetPos(), Point(7, 9)) << "in the coordinates of the view's site";
}

struct TAreaNothingHitCase {
  const char* Name;
  TqvGridDetailTabsPosition Position;
  // A point of the grid's client area given its detail area.
  TPoint (*Point)(TqvGridTopDetailsSiteViewInfo* ASite);
};

const TAreaNothingHitCase kAreaNothingHitCases[] = {
    {"TheStripRightOfTheTabs", dtpTop,
     [](TqvGridTopDetailsSiteViewInfo* S) { return TPoint{S->GetBounds().Right - 3, S->GetBounds().Top + 1}; }},
    {"TheStripBelowTheTabs", dtpLeft,
     [](TqvGridTopDetailsSiteViewInfo* S) { return TPoint{S->GetBounds().Left + 3, S->GetBounds().Bottom - 3}; }},
    {"TheFrame", dtpNone,
     [](TqvGridTopDetailsSiteViewInfo* S) { return TPoint{S->GetBounds().Left, S->GetBounds().Top}; }},
    {"FarOutside", dtpTop, [](TqvGridTopDetailsSiteViewInfo*) { return TPoint{-500, 9000}; }},
};

class DetailsSiteNothingHit : public DetailsSite, public ::testing::WithParamInterface<TAreaNothingHitCase> {};

TEST_P(DetailsSiteNothingHit, AnswersTheNoneHitTest) {
  RootTabs(GetParam().Position, {"One", "Two"});
  FGrid->GetRootLevelOptions()->SetDetailFrameWidth(2);
  TOwned<TqvCustomGridHitTest> hitTest = FGrid->GetViewInfo()->GetHitTest(GetParam().Point(Site()));
  EXPECT_EQ(hitTest->ClassType(), &TqvGridNoneHitTest::StaticClass());
}

INSTANTIATE_TEST_SUITE_P(DetailsSite, DetailsSiteNothingHit, ::testing::ValuesIn(kAreaNothingHitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Measuring an area for its active view

// A view that needs Needed x NeededWidth pixels.
class TMeasuredViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TMeasuredViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;
  void GetHeight(Integer AMaxHeight, Integer& AHeight, bool& AFullyVisible) override {
    AHeight += Needed;
    AFullyVisible = Needed <= AMaxHeight;
    MeasuredWhileMeasuring = IsMeasuring();
  }
  void GetWidth(Integer AMaxWidth, Integer& AWidth) override { AWidth = std::min(AWidth + NeededWidth, AMaxWidth); }
  Integer Needed = 0;
  Integer NeededWidth = 0;
  bool MeasuredWhileMeasuring = false;
};

class TMeasuredView : public TTestGridView {
  QJ_INLINE_CLASS(TMeasuredView, TTestGridView)
 public:
  using TTestGridView::TTestGridView;
  TMeasuredViewInfo* Info() const { return static_cast<TMeasuredViewInfo*>(GetViewInfo()); }

 protected:
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TMeasuredViewInfo::StaticClass(); }
};

// An area of a level's children with limits given by the test.
class TMeasuredSite : public TqvCustomGridDetailsSiteViewInfo {
  QJ_INLINE_CLASS(TMeasuredSite, TqvCustomGridDetailsSiteViewInfo)
 public:
  using TqvCustomGridDetailsSiteViewInfo::TqvCustomGridDetailsSiteViewInfo;
  TqvCanvas* GetCanvas() override { return GetLevel()->GetControl()->GetCanvas(); }
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() override {
    return GetLevel()->GetControl()->GetLookAndFeelPainter();
  }
  Integer GetMaxHeight() override { return MaxHeight; }
  Integer GetMaxNormalHeight() override { return MaxNormalHeight; }
  Integer GetMaxWidth() override { return MaxWidth; }
  Integer GetMinWidth() override { return MinWidth; }
  TqvCustomGridView* GetActiveGridView() override { return ActiveView; }
  TqvGridLevel* GetActiveLevel() override { return ActiveView ? ActiveView->GetLevel() : nullptr; }
  void InitTabHitTest(TqvGridDetailsSiteTabHitTest*) override {}
  void SetActiveLevel(TqvGridLevel*) override {}

  Integer MaxHeight = 500;
  Integer MaxNormalHeight = std::numeric_limits<Integer>::max();
  Integer MaxWidth = 500;
  Integer MinWidth = 0;
  TqvCustomGridView* ActiveView = nullptr;
};

struct TAreaMeasureCase {
  const char* Name;
  bool WithView;
  Integer Needed;
  Integer MaxHeight;
  Integer MaxNormalHeight;
  Integer ExpectedHeight;
  Integer ExpectedNormalHeight;
  bool ExpectedFullyVisible;
};

// The frame is 1 pixel wide: 2 pixels of non-client height.
const TAreaMeasureCase kAreaMeasureCases[] = {
    {"AnEmptyClientIs100High", false, 0, 500, 1000000, 102, 102, true},
    {"AFittingViewTakesWhatItNeeds", true, 150, 500, 1000000, 152, 152, true},
    {"ACutViewTakesTheMaximum", true, 700, 300, 1000000, 300, 702, false},
    {"TheNormalHeightHasItsOwnLimit", true, 700, 300, 250, 300, 300, false},
    {"ASmallMaximumCutsAFittingHeight", false, 0, 50, 1000000, 50, 102, true},
    {"ANegativeMaximumGivesZero", false, 0, -10, 1000000, 0, 102, true},
};

class DetailsSiteMeasure : public DetailsSite, public ::testing::WithParamInterface<TAreaMeasureCase> {
 protected:
  void SetUp() override {
    DetailsSite::SetUp();
    FLevel = FGrid->GetRootLevel()->Add();
    FChild = FLevel->Add();
    FView = New<TMeasuredView>(FForm);
    FView->SetControl(FGrid);
    FChild->SetGridView(FView);
  }
  TOwned<TMeasuredSite> MakeSite() {
    return TOwned<TMeasuredSite>(static_cast<TMeasuredSite*>(TMeasuredSite::StaticClass().Create(FLevel)));
  }

  TqvGridLevel* FLevel = nullptr;
  TqvGridLevel* FChild = nullptr;
  TMeasuredView* FView = nullptr;
};

TEST_P(DetailsSiteMeasure, Height) {
  const TAreaMeasureCase& c = GetParam();
  TOwned<TMeasuredSite> site = MakeSite();
  site->MaxHeight = c.MaxHeight;
  site->MaxNormalHeight = c.MaxNormalHeight;
  if (c.WithView) site->ActiveView = FView;
  FView->Info()->Needed = c.Needed;
  EXPECT_EQ(site->GetHeight(), c.ExpectedHeight);
  EXPECT_EQ(site->GetNormalHeight(), c.ExpectedNormalHeight);
  EXPECT_EQ(site->GetFullyVisible(), c.ExpectedFullyVisible);
  if (c.WithView) {
    EXPECT_TRUE(FView->Info()->MeasuredWhileMeasuring);
  }
}

INSTANTIATE_TEST_SUITE_P(DetailsSite, DetailsSiteMeasure, ::testing::ValuesIn(kAreaMeasureCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DetailsSiteMeasure, TheWidthStaysWithinItsLimits) {
  TOwned<TMeasuredSite> site = MakeSite();
  EXPECT_EQ(site->GetWidth(), 202) << "an empty client is 200 wide";
  site->MinWidth = 300;
  EXPECT_EQ(site->GetWidth(), 300);
  TOwned<TMeasuredSite> withView = MakeSite();
  withView->ActiveView = FView;
  FView->Info()->NeededWidth = 900;
  EXPECT_EQ(withView->GetWidth(), 500);
}

TEST_F(DetailsSiteMeasure, TabsEnlargeTheArea) {
  FLevel->GetOptions()->SetDetailTabsPosition(dtpTop);
  FChild->SetCaption(String(30, 'W'));
  TOwned<TMeasuredSite> top = MakeSite();
  EXPECT_EQ(top->GetWidth(), top->GetTabsViewInfo()->GetWidth()) << "the tabs are wider than an empty client";
  EXPECT_EQ(top->GetHeight(), 100 + 2 + top->GetTabsViewInfo()->GetHeight());
  FLevel->GetOptions()->SetDetailTabsPosition(dtpLeft);
  FChild->SetCaption("More");
  for (Integer i = 0; i < 8; ++i) FLevel->Add()->SetCaption("More");
  TOwned<TMeasuredSite> left = MakeSite();
  EXPECT_EQ(left->GetHeight(), left->GetTabsViewInfo()->GetHeight()) << "nine tabs are higher than an empty client";
  EXPECT_EQ(left->GetWidth(), 200 + 2 + left->GetTabsViewInfo()->GetWidth());
}

TEST_F(DetailsSiteMeasure, AFreedActiveViewIsNone) {
  TOwned<TMeasuredSite> site = MakeSite();
  site->ActiveView = FView;
  FView->Info()->Needed = 40;
  ASSERT_TRUE(site->HasActiveGridView());
  EXPECT_EQ(site->GetHeight(), 42);
  Free(FView);
  FView = nullptr;
  EXPECT_FALSE(site->HasActiveGridView());
  EXPECT_EQ(site->GetActiveGridViewCached(), nullptr);
  EXPECT_EQ(site->GetHeight(), 102);
  EXPECT_EQ(site->GetWidth(), 202);
}

// ---------------------------------------------------------------------------------------------
// Painting

struct TAreaPaintCase {
  const char* Name;
  TqvLookAndFeelKind Kind;
  bool Native;
  TqvGridDetailTabsPosition Position;
};

const TAreaPaintCase kAreaPaintCases[] = {
    {"StandardTop", lfStandard, false, dtpTop},   {"FlatTop", lfFlat, false, dtpTop},
    {"UltraFlatTop", lfUltraFlat, false, dtpTop}, {"NativeTop", lfStandard, true, dtpTop},
    {"StandardLeft", lfStandard, false, dtpLeft}, {"UltraFlatLeft", lfUltraFlat, false, dtpLeft},
    {"NativeLeft", lfStandard, true, dtpLeft},
};

class DetailsSitePaint : public DetailsSite, public ::testing::WithParamInterface<TAreaPaintCase> {};

TEST_P(DetailsSitePaint, FrameTabsAndClient) {
  const TAreaPaintCase& c = GetParam();
  FGrid->GetLookAndFeel()->SetKind(c.Kind);
  FGrid->GetLookAndFeel()->SetNativeStyle(c.Native);
  FGrid->SetColor(clLime);
  TqvGridLevelStyles* styles = FGrid->GetRootLevelStyles();
  auto* background = New<TqvStyle>(FForm);
  background->SetColor(clYellow);
  styles->SetTabsBackground(background);
  auto* tab = New<TqvStyle>(FForm);
  tab->SetColor(clAqua);
  styles->SetTab(tab);
  FGrid->GetRootLevelOptions()->SetDetailFrameWidth(2);
  FGrid->GetRootLevelOptions()->SetDetailFrameColor(clRed);
  RootTabs(c.Position, {"One", "Two"});
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(FGrid);
  auto at = [&](Integer X, Integer Y) { return static_cast<COLORREF>(bitmap->GetCanvas()->GetPixel(X, Y)); };

  const TRect area = Site()->GetBounds();
  EXPECT_EQ(CountOf(area.Right, area.Bottom, ColorToRGB(kGridSentinel),
                    [&](int x, int y) { return area.Contains({x, y}) ? at(x, y) : COLORREF(0); }),
            0)
      << "the area paints every pixel";
  const TRect strip = Tabs()->GetBounds();
  const TPoint corner = c.Position == dtpTop ? TPoint{strip.Right - 3, strip.Top} : TPoint{strip.Left, strip.Bottom - 1};
  EXPECT_EQ(at(corner.X, corner.Y), ColorToRGB(clYellow)) << "the strip's background";
  const TRect frame = Site()->GetFrameBounds();
  EXPECT_EQ(at(frame.Left, frame.Bottom - 1), ColorToRGB(clRed)) << "the frame";
  EXPECT_EQ(at(frame.Right - 2, frame.Top + 1), ColorToRGB(clRed));
  const TRect client = Site()->GetClientBounds();
  EXPECT_EQ(at(client.Left, client.Top), ColorToRGB(clLime)) << "the client in the grid's colour";
  const TRect inactive = Tab(1)->GetContentBounds();
  const COLORREF inside = at(inactive.Left + 1, inactive.Top + 1);
  const bool wholeTab = FGrid->GetLookAndFeelPainter()->DrawsWholeTab(c.Position == dtpLeft);
  if (!wholeTab) {
    EXPECT_EQ(inside, ColorToRGB(clAqua)) << "the Tab style";
    const TRect active = Tab(0)->GetContentBounds();
    const TPoint overSide = c.Position == dtpTop ? TPoint{active.Left + 3, active.Bottom - 1}
                                                 : TPoint{active.Right - 1, active.Top + 3};
    ASSERT_TRUE(Tabs()->GetMainSideBounds().Contains(overSide));
    EXPECT_EQ(at(overSide.X, overSide.Y), ColorToRGB(clAqua)) << "the active tab is painted over the side strip";
  }
  EXPECT_NE(inside, ColorToRGB(kGridSentinel));
}

INSTANTIATE_TEST_SUITE_P(DetailsSite, DetailsSitePaint, ::testing::ValuesIn(kAreaPaintCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DetailsSite, AFrameWidthOfZeroDrawsNoFrame) {
  FGrid->GetRootLevelOptions()->SetDetailFrameColor(clRed);
  RootTabs(dtpTop, {"One", "Two"});
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(FGrid);
  const TRect area = Site()->GetBounds();
  EXPECT_EQ(CountOf(area.Right, area.Bottom, ColorToRGB(clRed),
                    [&](int x, int y) { return static_cast<COLORREF>(bitmap->GetCanvas()->GetPixel(x, y)); }),
            0);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixel(area.Left, area.Bottom - 1), ColorToRGB(FGrid->GetColor()));
}

TEST_F(DetailsSite, ThePaintedAreaLeavesTheClipRegion) {
  RootTabs(dtpTop, {"One", "Two"});
  TqvCanvas* canvas = FGrid->GetCanvas();
  TOwned<TqvRegion> before = canvas->GetClipRegion();
  Site()->Paint(canvas);
  EXPECT_FALSE(canvas->RectVisible(Site()->GetBounds()));
  canvas->SetClipRegion(std::move(before), roCopy);
}

}  // namespace
