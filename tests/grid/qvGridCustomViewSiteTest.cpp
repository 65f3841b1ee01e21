// The site and the view controller's base: the order in which site events reach the
// controller and the platform, a view freed by any of them, deferred resizes, painting only
// when laid out and in sight, hit tests as values, internal drags started from hit tests,
// cursors, the cell hint and the small answers the site takes from the controller.
#include "platform/forms/ActnList.h"
#include "platform/forms/StdCtrls.h"
#include "qvGridTestSupport.h"

namespace {

using TSiteLog = std::vector<std::string>;

// What the controller, the site's events and the grid's subscribers were told, in order. The
// entry named FreeAt frees the view as soon as it is noted.
struct TSiteRecorder {
  TSiteLog Log;
  std::string FreeAt;
  TqvCustomGridView* View = nullptr;

  void Note(const std::string& AEntry) {
    Log.push_back(AEntry);
    if (AEntry != FreeAt || !View) return;
    TqvCustomGridView* view = View;
    View = nullptr;
    Free(view);
  }
};

// A hit test in the left 50 pixels of a site that offers an internal drag and a cursor.
class TSiteDragObject;
class TSiteDragHitTest : public TqvCustomGridViewHitTest {
  QJ_INLINE_CLASS(TSiteDragHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 1001; }
  static TCursor Cursor() { return crqvGridDrag; }
  static TqvDragAndDropObjectClass DragAndDropObjectClass();
};

// Notes its start and whether it is dirty (its image hidden).
class TSiteDragObject : public TqvCustomGridDragAndDropObject {
  QJ_INLINE_CLASS(TSiteDragObject, TqvCustomGridDragAndDropObject)
 public:
  using TqvCustomGridDragAndDropObject::TqvCustomGridDragAndDropObject;
  void Init(TPoint P, TqvCustomGridHitTest* AHitTest) override {
    TqvCustomGridDragAndDropObject::Init(P, AHitTest);
    InitCode = AHitTest->GetHitTestCode();
  }
  Integer InitCode = 0;

 protected:
  void DirtyChanged() override { DirtyLog.push_back(GetDirty() ? "dirty" : "clean"); }

 public:
  TSiteLog DirtyLog;
};

inline TqvDragAndDropObjectClass TSiteDragHitTest::DragAndDropObjectClass() { return &TSiteDragObject::StaticClass(); }

class TSiteView;

// A view info that may refuse to be calculated and answers the drag hit test on the left.
class TSiteViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TSiteViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;
  bool CanRecalculate() const override { return !Blocked && TqvCustomGridViewInfo::CanRecalculate(); }
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override {
    if (P.X >= 50 || P.Y < 0) return TqvCustomGridViewInfo::GetHitTest(P);
    TOwned<TqvCustomGridHitTest> hitTest = TqvCustomGridHitTest::Make<TSiteDragHitTest>(P);
    InitHitTest(hitTest.get());
    if (ForeignView) static_cast<TqvCustomGridViewHitTest*>(hitTest.get())->SetGridView(ForeignView);
    return hitTest;
  }
  void Calculate() override {
    if (OnCalculate) OnCalculate();
  }
  bool Blocked = false;
  TqvCustomGridView* ForeignView = nullptr;
  std::function<void()> OnCalculate;
};

// Fills its site's client bounds with Color (a cell), leaving the rest to the background.
class TSitePainter : public TqvCustomGridPainter {
  QJ_INLINE_CLASS(TSitePainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override;
};

// Notes every call of the site (key messages of its WndProc only) and answers as told.
class TSiteController : public TqvCustomGridController {
  QJ_INLINE_CLASS(TSiteController, TqvCustomGridController)
 public:
  using TqvCustomGridController::TqvCustomGridController;

  void MouseDown(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y) override {
    TqvCustomGridController::MouseDown(AButton, AShift, X, Y);
    Note("MouseDown");
  }
  void MouseMove(TShiftState, Integer, Integer) override { Note("MouseMove"); }
  void MouseUp(TMouseButton, TShiftState, Integer, Integer) override { Note("MouseUp"); }
  void KeyDown(Word&, TShiftState) override { Note("KeyDown"); }
  void KeyPress(char&) override { Note("KeyPress"); }
  void KeyUp(Word&, TShiftState) override { Note("KeyUp"); }
  void WndProc(TMessage& AMessage) override {
    if (AMessage.Msg == WM_KEYDOWN) Note("WndProc");
  }
  void DoCancelMode() override { Note("DoCancelMode"); }
  void DoExit() override { Note("DoExit"); }
  void BeforeStartDrag() override { Note("BeforeStartDrag"); }
  void StartDrag(TDragObject*&) override { Note("StartDrag"); }
  void DragOver(TObject*, Integer, Integer, TDragState, bool&) override { Note("DragOver"); }
  void DragDrop(TObject*, Integer, Integer) override { Note("DragDrop"); }
  void EndDrag(TObject*, Integer, Integer) override { Note("EndDrag"); }
  void BeginDragAndDrop() override { Note("BeginDragAndDrop"); }
  void DragAndDrop(TPoint, bool&) override { Note("DragAndDrop"); }
  void EndDragAndDrop(bool AAccepted) override { Note(AAccepted ? "EndDragAndDrop(accepted)" : "EndDragAndDrop"); }
  void InitScrollBarsParameters() override;
  TqvMouseWheelScrollingKind GetMouseWheelScrollingKind() override;
  bool IsPixelScrollBar(TScrollBarKind AKind) override;
  bool MayFocus() override;
  TqvHintWindowClass GetHintWindowClass() override;

 private:
  void Note(const std::string& AEntry);
  TSiteView* View() const;
};

// Counts how often it is shown.
class TCountingHintWindow : public THintWindow {
  QJ_INLINE_CLASS(TCountingHintWindow, THintWindow)
 public:
  using THintWindow::THintWindow;
  void ActivateHint(TRect ARect, const String& AHint) override {
    ++Activations;
    THintWindow::ActivateHint(ARect, AHint);
  }
  static inline Integer Activations = 0;
};

// Answers actions while its view is focused.
class TSiteDataController : public TTestGridDataController {
  QJ_INLINE_CLASS(TSiteDataController, TTestGridDataController)
 public:
  using TTestGridDataController::TTestGridDataController;
  bool ExecuteAction(TBasicAction*) override { return true; }
  bool UpdateAction(TBasicAction*) override { return true; }
};

class TSiteView : public TBareGridView {
  QJ_INLINE_CLASS(TSiteView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;

  void SizeOrLayoutChanged(bool AUpdateGridViewOnly, bool AKeepMaster) override {
    SizeChanges.push_back({AUpdateGridViewOnly, AKeepMaster});
    TBareGridView::SizeOrLayoutChanged(AUpdateGridViewOnly, AKeepMaster);
  }
  TSiteViewInfo* Info() const { return static_cast<TSiteViewInfo*>(GetViewInfo()); }

  TSiteRecorder* Recorder = nullptr;
  std::vector<std::pair<bool, bool>> SizeChanges;
  std::function<void()> OnInitScrollBars;
  TqvMouseWheelScrollingKind WheelKind = mwskNone;
  bool PixelScrollBars = false;
  bool Focusable = true;
  TColor CellColor = clRed;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TSiteController::StaticClass(); }
  TqvCustomDataControllerClass GetDataControllerClass() const override { return &TSiteDataController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TSitePainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TSiteViewInfo::StaticClass(); }
};

inline void TSiteController::Note(const std::string& AEntry) {
  if (TSiteRecorder* recorder = View()->Recorder) recorder->Note(AEntry);
}
inline TSiteView* TSiteController::View() const { return static_cast<TSiteView*>(GetGridView()); }
inline void TSiteController::InitScrollBarsParameters() {
  if (View()->OnInitScrollBars) View()->OnInitScrollBars();
}
inline TqvMouseWheelScrollingKind TSiteController::GetMouseWheelScrollingKind() { return View()->WheelKind; }
inline bool TSiteController::IsPixelScrollBar(TScrollBarKind) { return View()->PixelScrollBars; }
inline bool TSiteController::MayFocus() { return View()->Focusable; }
inline TqvHintWindowClass TSiteController::GetHintWindowClass() { return &TCountingHintWindow::StaticClass(); }

inline void TSitePainter::PaintContent() {
  const TRect cell{10, 10, 30, 30};
  GetCanvas()->SetBrushColor(static_cast<TSiteView*>(GetGridView())->CellColor);
  GetCanvas()->FillRect(cell);
  ExcludeFromBackground(cell);
}

// Notes the grid-wide events the site sends.
class TSiteSubscriber : public TqvCustomGridNotification {
  QJ_INLINE_CLASS(TSiteSubscriber, TqvCustomGridNotification)
 public:
  explicit TSiteSubscriber(TSiteRecorder* ARecorder) : FRecorder(ARecorder) {}
  TqvGridNotificationKinds GetSupportedKinds() override { return nkBit(nkContextPopup) | nkBit(nkKeyDown); }
  void Notify(TqvGridNotificationKind AKind, TMessage*) override {
    FRecorder->Note(AKind == nkKeyDown ? "nkKeyDown" : "nkContextPopup");
  }

 private:
  TSiteRecorder* FRecorder;
};

class GridSite : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    TCountingHintWindow::Activations = 0;
    FLevel = New<TqvGridLevel>(FForm);
    FGrid->GetRootLevel()->AddChild(FLevel);
    FView = New<TSiteView>(FForm);
    FLevel->SetGridView(FView);
    FRecorder.View = FView;
    FView->Recorder = &FRecorder;
    FSubscriber = std::make_unique<TSiteSubscriber>(&FRecorder);
    FGrid->AddNotification(FSubscriber.get());
    Pump();
  }
  void TearDown() override {
    if (FGrid) FGrid->RemoveNotification(FSubscriber.get());
    TGridTest::TearDown();
  }
  TqvGridSite* Site() const { return FView->GetSite(); }
  // The view's site events note themselves.
  void NoteSiteEvents() {
    TqvCustomGridViewEvents* events = FView->GetEvents();
    TSiteRecorder* r = &FRecorder;
    events->SetOnMouseDown([r](TObject*, TMouseButton, TShiftState, Integer, Integer) { r->Note("OnMouseDown"); });
    events->SetOnMouseMove([r](TObject*, TShiftState, Integer, Integer) { r->Note("OnMouseMove"); });
    events->SetOnMouseUp([r](TObject*, TMouseButton, TShiftState, Integer, Integer) { r->Note("OnMouseUp"); });
    events->SetOnKeyDown([r](TObject*, Word&, TShiftState) { r->Note("OnKeyDown"); });
    events->SetOnKeyPress([r](TObject*, char&) { r->Note("OnKeyPress"); });
    events->SetOnKeyUp([r](TObject*, Word&, TShiftState) { r->Note("OnKeyUp"); });
    events->SetOnDragOver([r](TObject*, TObject*, Integer, Integer, TDragState, bool&) { r->Note("OnDragOver"); });
    events->SetOnDragDrop([r](TObject*, TObject*, Integer, Integer) { r->Note("OnDragDrop"); });
    events->SetOnEndDrag([r](TObject*, TObject*, Integer, Integer) { r->Note("OnEndDrag"); });
    events->SetOnStartDrag([r](TObject*, TDragObject*&) { r->Note("OnStartDrag"); });
    Site()->OnExit = [r](TObject*) { r->Note("OnExit"); };
  }

  TqvGridLevel* FLevel = nullptr;
  TSiteView* FView = nullptr;
  TSiteRecorder FRecorder;
  std::unique_ptr<TSiteSubscriber> FSubscriber;
};

// ---------------------------------------------------------------------------------------------
// Routing

struct TRoutingCase {
  const char* Name;
  // Prepares what must not be noted (focus, the pointer's place).
  std::function<void(TqvGridSite*)> Prepare;
  std::function<void(TqvGridSite*)> Act;
  TSiteLog Expected;
  // What is noted when the first call frees the view (its first entry unless given): the rest
  // of the gesture reaches whatever lies under the pointer then.
  TSiteLog ExpectedWhenFreed = {};
};

void MovePointerOverSite(TqvGridSite* ASite, TPoint P) {
  const TPoint s = ASite->ClientToScreen(P);
  Headless::MoveMouse(s.X, s.Y);
  Application->ProcessMessages();
}

void FocusTheSite(TqvGridSite* ASite) {
  ASite->SetFocus();
  Application->ProcessMessages();
}

const TRoutingCase kRoutingCases[] = {
    {"LeftClick", [](TqvGridSite* s) { MovePointerOverSite(s, {100, 60}); },
     [](TqvGridSite*) {
       Headless::MouseDown(0);
       Application->ProcessMessages();
       Headless::MouseUp(0);
       Application->ProcessMessages();
     },
     {"MouseDown", "OnMouseDown", "MouseUp", "OnMouseUp"}},
    {"RightClick", [](TqvGridSite* s) { MovePointerOverSite(s, {100, 60}); },
     [](TqvGridSite*) {
       Headless::MouseDown(1);
       Application->ProcessMessages();
       Headless::MouseUp(1);
       Application->ProcessMessages();
     },
     {"MouseDown", "OnMouseDown", "MouseUp", "OnMouseUp", "nkContextPopup"},
     {"MouseDown", "nkContextPopup"}},
    {"MouseMove", [](TqvGridSite* s) { MovePointerOverSite(s, {100, 60}); },
     [](TqvGridSite* s) { MovePointerOverSite(s, {110, 65}); }, {"OnMouseMove", "MouseMove"}},
    {"Keys", [](TqvGridSite* s) { FocusTheSite(s); },
     [](TqvGridSite*) {
       Headless::PressKey('A');
       Application->ProcessMessages();
     },
     {"nkKeyDown", "WndProc", "OnKeyDown", "KeyDown", "OnKeyPress", "KeyPress", "OnKeyUp", "KeyUp"}},
    {"CancelMode", nullptr, [](TqvGridSite* s) { s->Perform(WM_CANCELMODE, 0, 0); }, {"DoCancelMode"}},
    {"Exit", [](TqvGridSite* s) { FocusTheSite(s); },
     [](TqvGridSite* s) {
       TCustomForm* form = GetParentForm(s);
       auto* edit = New<TEdit>(form);
       edit->SetBoundsRect(Rect(320, 10, 420, 30));
       edit->SetParent(form);
       edit->SetFocus();
       Application->ProcessMessages();
     },
     {"DoExit", "OnExit"}},
    {"DragOver", nullptr,
     [](TqvGridSite* s) {
       bool accept = false;
       s->DragOver(nullptr, 5, 5, dsDragMove, accept);
     },
     {"OnDragOver", "DragOver"}},
    {"DragDrop", nullptr, [](TqvGridSite* s) { s->DragDrop(nullptr, 5, 5); }, {"DragDrop", "OnDragDrop"}},
    {"EndDrag", nullptr, [](TqvGridSite* s) { s->DoEndDrag(nullptr, 5, 5); }, {"EndDrag", "OnEndDrag"}},
    {"StartDrag", [](TqvGridSite* s) { MovePointerOverSite(s, {100, 60}); },
     [](TqvGridSite* s) {
       TAliveToken alive = s->AliveToken();
       s->BeginDrag(true);
       if (alive) s->EndDrag(false);
       CancelDrag();
     },
     {"BeforeStartDrag", "OnStartDrag", "StartDrag"}},
};

class GridSiteRouting : public GridSite, public ::testing::WithParamInterface<TRoutingCase> {};

TEST_P(GridSiteRouting, EventsReachTheControllerInOrder) {
  const TRoutingCase& c = GetParam();
  NoteSiteEvents();
  if (c.Prepare) c.Prepare(Site());
  FRecorder.Log.clear();
  c.Act(Site());
  TSiteLog log = FRecorder.Log;
  if (std::string(c.Name) == "StartDrag") log.resize(std::min(log.size(), c.Expected.size()));
  EXPECT_EQ(log, c.Expected);
}

// A view freed by the first call an event makes leaves nothing to call after it: the site
// neither hands the event on nor touches itself again.
TEST_P(GridSiteRouting, AViewFreedByTheFirstCallStopsTheEvent) {
  const TRoutingCase& c = GetParam();
  NoteSiteEvents();
  if (c.Prepare) c.Prepare(Site());
  FRecorder.Log.clear();
  FRecorder.FreeAt = c.Expected.front();
  c.Act(Site());
  Pump();
  EXPECT_EQ(FRecorder.Log, c.ExpectedWhenFreed.empty() ? TSiteLog{c.Expected.front()} : c.ExpectedWhenFreed);
  EXPECT_EQ(FRecorder.View, nullptr) << "the view was freed";
  EXPECT_EQ(FGrid->GetViewCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteRouting, ::testing::ValuesIn(kRoutingCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridSite, TheSiteAsksTheControllerForItsAnswers) {
  FView->WheelKind = mwskHorizontal;
  FView->PixelScrollBars = true;
  TqvControl* control = Site();
  struct TProbe : TqvControl {
    static TqvMouseWheelScrollingKind Wheel(TqvControl* c) { return (c->*(&TProbe::GetMouseWheelScrollingKind))(); }
    static bool Pixel(TqvControl* c) { return (c->*(&TProbe::IsPixelScrollBar))(sbHorizontal); }
    static bool May(TqvControl* c) { return (c->*(&TProbe::MayFocus))(); }
  };
  EXPECT_EQ(TProbe::Wheel(control), mwskHorizontal);
  EXPECT_TRUE(TProbe::Pixel(control));
  EXPECT_TRUE(TProbe::May(control));
  FView->Focusable = false;
  EXPECT_FALSE(TProbe::May(control));
}

TEST_F(GridSite, AControllerThatMayNotFocusKeepsAClickFromFocusingTheSite) {
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  edit->SetFocus();
  FView->Focusable = false;
  Click(Site(), {100, 60});
  EXPECT_TRUE(edit->Focused());
  FView->Focusable = true;
  Click(Site(), {200, 120});
  EXPECT_TRUE(Site()->Focused());
}

// ---------------------------------------------------------------------------------------------
// Scroll bars, focus by scroll bar, actions

struct TScrollBarClickCase {
  const char* Name;
  bool GridFocused;
  bool SiteFocusedAfter;
};

class GridSiteScrollBarClick : public GridSite, public ::testing::WithParamInterface<TScrollBarClickCase> {};

TEST_P(GridSiteScrollBarClick, FocusesTheSiteOnlyWhileTheGridIsNotFocused) {
  FView->OnInitScrollBars = [this] { Site()->SetScrollBarInfo(sbVertical, 0, 100, 1, 10, 0, true, true); };
  Site()->UpdateScrollBars();
  Pump();
  TqvControlScrollBar* bar = Site()->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  TWinControl* focusedBefore = edit;
  if (GetParam().GridFocused) {
    auto* inner = Add<TEdit>(FGrid, Rect(0, 0, 10, 10));
    inner->SetFocus();
    focusedBefore = inner;
  } else {
    edit->SetFocus();
  }
  Pump();
  ASSERT_TRUE(focusedBefore->Focused());
  Click(bar, {bar->GetWidth() / 2, bar->GetHeight() / 2});
  EXPECT_EQ(Site()->Focused(), GetParam().SiteFocusedAfter);
}

const TScrollBarClickCase kScrollBarClickCases[] = {{"OtherControlFocused", false, true},
                                                     {"GridFocused", true, false}};
INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteScrollBarClick, ::testing::ValuesIn(kScrollBarClickCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridSite, UpdatingScrollBarsWaitsForTheCalculation) {
  Integer asked = 0;
  FView->OnInitScrollBars = [&] { ++asked; };
  FView->Info()->OnCalculate = [this] { Site()->UpdateScrollBars(); };
  FView->GetViewInfo()->Recalculate();
  FView->OnInitScrollBars = nullptr;
  FView->Info()->OnCalculate = nullptr;
  EXPECT_EQ(asked, 1) << "only after the calculation";
}

TEST_F(GridSite, ActionsReachTheDataControllerOfAFocusedView) {
  TBasicAction action(nullptr);
  auto* other = New<TSiteView>(FForm);
  other->SetControl(FGrid);
  ASSERT_FALSE(other->IsFocused());
  EXPECT_FALSE(other->GetSite()->ExecuteAction(&action));
  EXPECT_FALSE(other->GetSite()->UpdateAction(&action));
  ASSERT_TRUE(FView->IsFocused());
  EXPECT_TRUE(Site()->ExecuteAction(&action));
  EXPECT_TRUE(Site()->UpdateAction(&action));
}

// ---------------------------------------------------------------------------------------------
// Deferred resize

struct TResizeCase {
  const char* Name;
  bool Blocked;
  bool DuringScrollBarUpdate;
  Integer Changes;
  std::vector<std::pair<bool, bool>> Expected;
};

class GridSiteResize : public GridSite, public ::testing::WithParamInterface<TResizeCase> {};

// Each change of the client size lays the view out at once when it can be calculated; changes
// made while it cannot, during an update of the scroll bars, collapse into one deferred size
// change once the message loop runs.
TEST_P(GridSiteResize, ClientSizeChangesLayTheViewOut) {
  const TResizeCase& c = GetParam();
  TqvGridSite* site = Site();
  ASSERT_GT(site->GetLastClientWidth(), 0);
  FView->Info()->Blocked = c.Blocked;
  FView->SizeChanges.clear();
  const auto change = [site, n = c.Changes] {
    for (Integer i = 1; i <= n; ++i) site->SetBounds(0, 0, 200 + i, 150 + i);
  };
  if (c.DuringScrollBarUpdate) {
    bool done = false;
    FView->OnInitScrollBars = [&] {
      if (done) return;
      done = true;
      ASSERT_TRUE(site->IsUpdatingScrollBars());
      change();
    };
    site->UpdateScrollBars();
    FView->OnInitScrollBars = nullptr;
  } else {
    change();
  }
  FView->Info()->Blocked = false;
  Pump();
  EXPECT_EQ(FView->SizeChanges, c.Expected);
}

const TResizeCase kResizeCases[] = {
    {"CalculableChangesAtOnce", false, false, 3, {{true, false}, {true, false}, {true, false}}},
    {"TenDuringAScrollBarUpdateCollapse", true, true, 10, {{true, true}}},
    {"BlockedOutsideAnUpdateWait", true, false, 3, {}},
};
INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteResize, ::testing::ValuesIn(kResizeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The layout that a new client size runs fires the grid's event, whose handler may free the
// view: the site's own handling of its new size stops there.
TEST_F(GridSite, ALayoutHandlerFreeingTheViewEndsTheResize) {
  TSiteView* view = FView;
  TqvGridSite* site = Site();
  FGrid->OnLayoutChanged = [&view](TqvCustomGrid*, TqvCustomGridView* AView) {
    if (AView && AView == view) FreeAndNil(view);
  };
  site->SetBounds(0, 0, 180, 120);
  FGrid->OnLayoutChanged = nullptr;
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(FGrid->GetViewCount(), 0);
  Pump();
}

TEST_F(GridSite, AFirstClientSizeLaysNothingOut) {
  auto* view = New<TSiteView>(FForm);
  view->SetControl(FGrid);
  TqvGridSite* site = view->GetSite();
  ASSERT_EQ(site->GetLastClientWidth(), 0);
  site->SetBounds(0, 0, 120, 80);
  EXPECT_TRUE(view->SizeChanges.empty());
  EXPECT_EQ(site->GetLastClientWidth(), 120);
  site->SetBounds(0, 0, 130, 80);
  EXPECT_EQ(view->SizeChanges.size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Painting

struct TPaintCase {
  const char* Name;
  std::function<TOwned<TBitmap>(TSiteView*)> Paint;
  bool Painted;
};

const TPaintCase kPaintCases[] = {
    {"LaidOut", [](TSiteView* v) { return PaintSiteOnSentinel(v->GetSite()); }, true},
    {"Parked", [](TSiteView* v) {
       v->GetSite()->SetLeft(qvGridSiteParkedLeft);
       return PaintSiteOnSentinel(v->GetSite());
     },
     false},
    {"Calculating", [](TSiteView* v) {
       TOwned<TBitmap> bitmap;
       v->Info()->OnCalculate = [&] { bitmap = PaintSiteOnSentinel(v->GetSite()); };
       v->GetViewInfo()->Recalculate();
       v->Info()->OnCalculate = nullptr;
       return bitmap;
     },
     false},
};

class GridSitePaint : public GridSite, public ::testing::WithParamInterface<TPaintCase> {};

TEST_P(GridSitePaint, PaintsOnlyWhenLaidOutAndInSight) {
  TOwned<TBitmap> bitmap = GetParam().Paint(FView);
  ASSERT_TRUE(bitmap);
  TCanvas* canvas = bitmap->GetCanvas();
  const TColor background = ColorToRGB(FView->GetViewInfo()->GetBackgroundColor());
  if (GetParam().Painted) {
    EXPECT_EQ(canvas->GetPixel(15, 15), ColorToRGB(clRed)) << "the cell";
    EXPECT_EQ(canvas->GetPixel(50, 50), background) << "the background";
  } else {
    EXPECT_EQ(canvas->GetPixel(15, 15), kGridSentinel);
    EXPECT_EQ(canvas->GetPixel(50, 50), kGridSentinel);
  }
}

INSTANTIATE_TEST_SUITE_P(GridSite, GridSitePaint, ::testing::ValuesIn(kPaintCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Hit tests, cursors and internal drags

TEST_F(GridSite, HitTestsAreValuesTheirHoldersKeep) {
  TOwned<TqvCustomGridHitTest> first = FView->GetViewInfo()->GetHitTestAt(100, 60);
  TOwned<TqvCustomGridHitTest> second = FView->GetViewInfo()->GetHitTestAt(120, 70);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(first->GetPos(), Point(100, 60)) << "a later request leaves a kept hit test alone";
  EXPECT_EQ(first->GetHitTestCode(), 0);
  EXPECT_TRUE(first->InheritsFrom<TqvGridViewNoneHitTest>());
  EXPECT_EQ(static_cast<TqvCustomGridViewHitTest*>(first.get())->GetGridView(), FView);
  EXPECT_EQ(first->GetViewInfo(), nullptr);
  TqvGridSite* site = FView->GetSite();
  EXPECT_EQ(FGrid->GetViewInfo()->GetHitTest({site->GetLeft() + 5, site->GetTop() + 5})->GetHitTestCode(),
            FView->GetViewInfo()->GetHitTestAt(5, 5)->GetHitTestCode())
      << "the grid answers what its active view has there";
}

TEST_F(GridSite, AKeptHitTestForgetsAFreedView) {
  TOwned<TqvCustomGridHitTest> kept = FView->GetViewInfo()->GetHitTestAt(100, 60);
  Free(FView);
  FView = nullptr;
  EXPECT_EQ(static_cast<TqvCustomGridViewHitTest*>(kept.get())->GetGridView(), nullptr);
  EXPECT_EQ(kept->GetPos(), Point(100, 60));
}

TEST_F(GridSite, TheCursorIsTheHitTestsWhenTheControllerHandlesIt) {
  TqvCustomGridController* controller = FView->GetController();
  EXPECT_EQ(controller->GetCurrentCursor(20, 20), crqvGridDrag);
  EXPECT_EQ(controller->GetCurrentCursor(100, 20), crDefault);
  auto* other = New<TSiteView>(FForm);
  FView->Info()->ForeignView = other;
  EXPECT_EQ(controller->GetCurrentCursor(20, 20), crDefault) << "another view's hit test";
}

struct TDesignHitCase {
  const char* Name;
  TPoint P;
  WPARAM Keys;
  LRESULT Expected;
};

class GridSiteDesignHit : public GridSite, public ::testing::WithParamInterface<TDesignHitCase> {};

TEST_P(GridSiteDesignHit, TheLeftButtonOverAHitTestOfferingADragHandlesTheMouse) {
  const TDesignHitCase& c = GetParam();
  EXPECT_EQ(Site()->Perform(CM_DESIGNHITTEST, c.Keys, MAKELPARAM(c.P.X, c.P.Y)), c.Expected);
}

const TDesignHitCase kDesignHitCases[] = {{"DragOffered", {20, 20}, MK_LBUTTON, 1},
                                          {"NothingOffered", {100, 20}, MK_LBUTTON, 0},
                                          {"NoLeftButton", {20, 20}, 0, 0}};
INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteDesignHit, ::testing::ValuesIn(kDesignHitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridSite, AHitTestOfferingADragStartsAnInternalDragAndDrop) {
  TqvGridSite* site = Site();
  MoveTo(site, {20, 20});
  FRecorder.Log.clear();
  Headless::MouseDown(0);
  Pump();
  ASSERT_EQ(site->GetDragAndDropState(), ddsPressed);
  auto* object = As<TSiteDragObject>(site->GetDragAndDropObject());
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->GetStartPoint(), Point(20, 20));
  EXPECT_EQ(object->InitCode, 1001);
  MoveTo(site, {60, 60});
  EXPECT_EQ(site->GetDragAndDropState(), ddsDragging);
  object->DirtyLog.clear();
  PaintSiteOnSentinel(site);
  EXPECT_EQ(object->DirtyLog, TSiteLog({"dirty", "clean"})) << "the drag image hides while the view paints";
  Up();
  EXPECT_EQ(site->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(FRecorder.Log,
            TSiteLog({"MouseDown", "BeginDragAndDrop", "DragAndDrop", "EndDragAndDrop(accepted)", "MouseUp"}));
}

TEST_F(GridSite, AHitTestOfAnotherViewStartsNoDrag) {
  FView->Info()->ForeignView = New<TSiteView>(FForm);
  Down(Site(), {20, 20});
  EXPECT_EQ(Site()->GetDragAndDropState(), ddsNone);
  Up();
}

// ---------------------------------------------------------------------------------------------
// Cell hint

class GridSiteHint : public GridSite {
 protected:
  TRect ScreenOf(const TRect& R) {
    const TPoint p = Site()->ClientToScreen(R.TopLeft());
    return qvOffsetRect(R, p.X - R.Left, p.Y - R.Top);
  }
};

TEST_F(GridSiteHint, TheHintTextLiesOverTheCellText) {
  TqvCustomGridController* controller = FView->GetController();
  const TRect textRect{40, 30, 90, 46};
  controller->ShowHint(Rect(38, 28, 92, 48), textRect, FGrid->GetFont(), false, "A long text");
  THintWindow* hint = controller->GetHintWindow();
  ASSERT_NE(hint, nullptr);
  const TRect calc = hint->CalcHintRect(INT_MAX, "A long text", nullptr);
  const TRect text = ScreenOf(textRect);
  const TRect window = hint->GetBoundsRect();
  const Integer frame = hint->GetClientOrigin().X - window.Left + 2;
  EXPECT_EQ(window.Left, text.Left - frame);
  EXPECT_EQ(window.Top, text.Top - frame);
  EXPECT_EQ(window.Width(), calc.Width() - 6 + 2 * frame);
  EXPECT_EQ(window.Height(), calc.Height() - 2 + 2 * frame - 4);
  EXPECT_EQ(hint->ClientToScreen({2, 0}).X, text.Left) << "where the hint window writes its text";
  EXPECT_EQ(hint->GetColor(), Application->GetHintColor());
  EXPECT_EQ(hint->GetFont()->GetName(), FGrid->GetFont()->GetName());
  EXPECT_EQ(hint->GetFont()->GetColor(), clInfoText);
}

struct THintRepeatCase {
  const char* Name;
  String SecondText;
  TRect SecondRect;
  Integer Activations;
};

class GridSiteHintRepeat : public GridSiteHint, public ::testing::WithParamInterface<THintRepeatCase> {};

TEST_P(GridSiteHintRepeat, TheSameHintIsNotShownAgain) {
  TqvCustomGridController* controller = FView->GetController();
  const TRect bounds{0, 0, 200, 100};
  controller->ShowHint(bounds, Rect(40, 30, 90, 46), FGrid->GetFont(), false, "Text");
  THintWindow* first = controller->GetHintWindow();
  controller->ShowHint(bounds, GetParam().SecondRect, FGrid->GetFont(), false, GetParam().SecondText);
  EXPECT_EQ(TCountingHintWindow::Activations, GetParam().Activations);
  EXPECT_EQ(controller->GetHintWindow(), first) << "one window for the hints of a controller";
  EXPECT_EQ(controller->GetHintWindow()->GetCaption(), GetParam().SecondText);
}

const THintRepeatCase kHintRepeatCases[] = {{"SameTextSameCell", "Text", {40, 30, 90, 46}, 1},
                                            {"OtherText", "Other", {40, 30, 90, 46}, 2},
                                            {"OtherCell", "Text", {40, 50, 90, 66}, 2}};
INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteHintRepeat, ::testing::ValuesIn(kHintRepeatCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridSiteHint, LeavingTheHintBoundsHidesTheHint) {
  TqvCustomGridController* controller = FView->GetController();
  MoveTo(Site(), {50, 40});
  controller->ShowHint(Rect(30, 20, 100, 60), Rect(40, 30, 90, 46), FGrid->GetFont(), false, "Text");
  Wait(50);
  EXPECT_NE(controller->GetHintWindow(), nullptr) << "the mouse stays inside";
  MoveTo(Site(), {150, 120});
  Wait(50);
  EXPECT_EQ(controller->GetHintWindow(), nullptr);
}

struct THintClipCase {
  const char* Name;
  // Where the text lies, from the work area's bottom-right corner.
  TPoint FromWorkCorner;
};

class GridSiteHintClip : public GridSiteHint, public ::testing::WithParamInterface<THintClipCase> {};

// A hint past the edges of the work area is cut there; its size never turns negative.
TEST_P(GridSiteHintClip, AHintIsCutAtTheWorkArea) {
  TqvCustomGridController* controller = FView->GetController();
  const TRect work = GetMonitorWorkArea(Site()->GetBoundsRect());
  const TPoint corner = Site()->ScreenToClient(work.BottomRight());
  const TPoint at{corner.X + GetParam().FromWorkCorner.X, corner.Y + GetParam().FromWorkCorner.Y};
  controller->ShowHint(Rect(0, 0, 10, 10), Bounds(at.X, at.Y, 60, 16), FGrid->GetFont(), false, "Text");
  const TRect window = controller->GetHintWindow()->GetBoundsRect();
  EXPECT_GE(window.Width(), 0);
  EXPECT_GE(window.Height(), 0);
  EXPECT_LE(window.Right, std::max(work.Right, window.Left));
  EXPECT_LE(window.Bottom, std::max(work.Bottom - 4, window.Top));
}

const THintClipCase kHintClipCases[] = {{"NearTheCorner", {-20, -10}},
                                        {"PastTheRightEdge", {200, -100}},
                                        {"PastTheBottomEdge", {-300, 200}},
                                        {"PastBoth", {500, 500}}};
INSTANTIATE_TEST_SUITE_P(GridSite, GridSiteHintClip, ::testing::ValuesIn(kHintClipCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridSiteHint, AFreedControllerTakesItsHintWithIt) {
  TqvCustomGridController* controller = FView->GetController();
  IqvMouseTrackingCaller* caller = controller;
  controller->ShowHint(Rect(30, 20, 100, 60), Rect(40, 30, 90, 46), FGrid->GetFont(), false, "Text");
  ASSERT_TRUE(IsMouseTracking(caller));
  Free(FView);
  FView = nullptr;
  EXPECT_FALSE(IsMouseTracking(caller));
  Wait(50);
}

}  // namespace
