// The parts of the control foundation: drag-start detection, the drag threshold, mouse-leave
// tracking under the fake clock (also at shut-down), the hourglass, work areas, window mapping,
// posted mouse moves, the settings controller and the library's cursors.
#include <set>

#include "qvControlsTestSupport.h"

namespace {

// Logs its mouse moves, leaves and mouse-tracking leaves.
class TTrackedControl : public TqvControl, public IqvMouseTrackingCaller {
  QJ_INLINE_CLASS(TTrackedControl, TqvControl)
 public:
  using TqvControl::TqvControl;
  std::vector<std::string> Log;
  std::function<void()> OnTrackingLeave;
  void MouseLeave() override {
    Log.push_back("tracking leave");
    if (OnTrackingLeave) OnTrackingLeave();
  }

 protected:
  void MouseLeave(TControl*) override { Log.push_back("CM_MOUSELEAVE"); }
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override {
    Log.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
    TqvControl::MouseMove(Shift, X, Y);
  }
};

class ControlParts : public TqvControlsTest {
 protected:
  TTrackedControl* MakeControl() {
    FForm = NewForm();
    TTrackedControl* c = Add<TTrackedControl>(FForm, Bounds(20, 20, 200, 150));
    Show(FForm);
    c->Log.clear();
    return c;
  }
  TForm* FForm = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Drag start

struct TDragStartCase {
  const char* Name;
  TPoint Move;
  TqvDragStart Result;
};

void PrintTo(const TDragStartCase& c, std::ostream* os) { *os << c.Name; }

class DragStartDetection : public ControlParts, public ::testing::WithParamInterface<TDragStartCase> {};

// With a threshold of 4 the square runs from 4 left and above the pointer (inside) to 4 right
// and below it (outside). A move that stays inside waits for the release that follows.
TEST_P(DragStartDetection, TheSquareAroundThePointerDecides) {
  const TDragStartCase& c = GetParam();
  TTrackedControl* control = MakeControl();
  Mouse->SetDragThreshold(4);
  const TPoint start = control->ClientToScreen({100, 70});
  Headless::MoveMouse(start.X, start.Y);
  Pump();
  RunWhenIdle({[&] { Headless::MoveMouse(start.X + c.Move.X, start.Y + c.Move.Y); }, [] { Headless::MouseUp(); }});
  const TqvDragStart result = DetectDragStart(control->GetHandle());
  Mouse->SetDragThreshold(5);
  EXPECT_EQ(result, c.Result) << c.Name;
  EXPECT_EQ(GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DragStartDetection,
    ::testing::Values(TDragStartCase{"3 right waits", {3, 0}, qvdsClick}, TDragStartCase{"3 down waits", {0, 3}, qvdsClick},
                      TDragStartCase{"3 left and up wait", {-3, -3}, qvdsClick},
                      TDragStartCase{"4 right starts", {4, 0}, qvdsDrag}, TDragStartCase{"4 down starts", {0, 4}, qvdsDrag},
                      TDragStartCase{"4 left waits", {-4, 0}, qvdsClick}, TDragStartCase{"4 up waits", {0, -4}, qvdsClick},
                      TDragStartCase{"5 left starts", {-5, 0}, qvdsDrag}, TDragStartCase{"5 up starts", {0, -5}, qvdsDrag}));

struct TDragEndCase {
  const char* Name;
  std::function<void()> Act;
  TqvDragStart Result;
};

void PrintTo(const TDragEndCase& c, std::ostream* os) { *os << c.Name; }

class DragStartEnds : public ControlParts, public ::testing::WithParamInterface<TDragEndCase> {};

TEST_P(DragStartEnds, AReleaseIsAClickAndEscapeOrALostCaptureCancels) {
  TTrackedControl* control = MakeControl();
  RunWhenIdle({GetParam().Act});
  EXPECT_EQ(DetectDragStart(control->GetHandle()), GetParam().Result) << GetParam().Name;
  EXPECT_NE(GetCapture(), control->GetHandle());
}

INSTANTIATE_TEST_SUITE_P(Table, DragStartEnds,
                         ::testing::Values(TDragEndCase{"left release", [] { Headless::MouseUp(0); }, qvdsClick},
                                           TDragEndCase{"right release", [] { Headless::MouseUp(1); }, qvdsClick},
                                           TDragEndCase{"middle release", [] { Headless::MouseUp(2); }, qvdsClick},
                                           TDragEndCase{"escape", [] { Headless::PressKey(VK_ESCAPE); }, qvdsCancel},
                                           TDragEndCase{"capture taken by another window",
                                                        [] {
                                                          HWND other = Screen->GetCustomForm(0)->GetHandle();
                                                          SetCapture(other);
                                                          PostMessage(other, WM_NULL, 0, 0);
                                                        },
                                                        qvdsCancel}));

TEST_F(ControlParts, TheDragThresholdIsStrict) {
  Mouse->SetDragThreshold(4);
  EXPECT_TRUE(IsWithinDragThreshold({10, 10}, 13, 7));
  EXPECT_FALSE(IsWithinDragThreshold({10, 10}, 14, 10));
  EXPECT_FALSE(IsWithinDragThreshold({10, 10}, 10, 6));
  Mouse->SetDragThreshold(5);
}

// ---------------------------------------------------------------------------------------------
// Mouse tracking

TEST_F(ControlParts, LeavingTheWatchedRectangleIsReportedOnceAfterTenMilliseconds) {
  TTrackedControl* control = MakeControl();
  MoveTo(control, {10, 10});
  control->Log.clear();
  BeginMouseTracking(control, Rect(0, 0, 50, 50), control);
  EXPECT_TRUE(IsMouseTracking(control));
  const TPoint origin = control->ClientToScreen({0, 0});
  EXPECT_EQ(FindMouseTrackingTimer(control)->GetBounds(), Bounds(origin.X, origin.Y, 50, 50)) << "screen coordinates";
  Wait(10);
  EXPECT_TRUE(control->Log.empty()) << "still inside";
  Headless::MoveMouse(origin.X + 60, origin.Y + 10);
  Pump();
  control->Log.clear();
  Wait(9);
  EXPECT_TRUE(control->Log.empty());
  Wait(1);
  EXPECT_EQ(control->Log, (std::vector<std::string>{"CM_MOUSELEAVE", "tracking leave"}));
  EXPECT_FALSE(IsMouseTracking(control));
  EXPECT_TRUE(GetMouseTrackingTimerList().empty());
  Wait(50);
  EXPECT_EQ(control->Log.size(), 2u) << "exactly once";
  MoveTo(control, {10, 10});
  BeginMouseTracking(control, Rect(0, 0, 50, 50), control);
  EXPECT_TRUE(IsMouseTracking(control)) << "tracking again works";
}

TEST_F(ControlParts, AWatchEndingInItsOwnHandlerIsFreedAfterIt) {
  TTrackedControl* control = MakeControl();
  BeginMouseTracking(control, Rect(0, 0, 1, 1), control);
  TAliveToken watch = FindMouseTrackingTimer(control)->AliveToken();
  bool aliveInHandler = false;
  control->OnTrackingLeave = [&] { aliveInHandler = watch.Alive(); };
  Wait(10);
  EXPECT_TRUE(aliveInHandler);
  EXPECT_FALSE(watch.Alive()) << "freed once the loop ran again";
}

TEST_F(ControlParts, ACallerTrackedTwiceKeepsItsFirstWatch) {
  TTrackedControl* control = MakeControl();
  BeginMouseTracking(control, Rect(0, 0, 50, 50), control);
  BeginMouseTracking(control, Rect(0, 0, 10, 10), control);
  EXPECT_EQ(GetMouseTrackingTimerList().size(), 1u);
  EXPECT_EQ(FindMouseTrackingTimer(control)->GetBounds().Width(), 50);
  EndMouseTracking(control);
  EXPECT_FALSE(IsMouseTracking(control));
  Wait(100);
  EXPECT_TRUE(control->Log.empty()) << "an ended watch reports nothing";
}

TEST_F(ControlParts, ScreenBoundsAreWatchedWithoutAControl) {
  struct TCaller : IqvMouseTrackingCaller {
    int Leaves = 0;
    void MouseLeave() override { ++Leaves; }
  } caller;
  Headless::MoveMouse(500, 500);
  BeginMouseTracking(nullptr, Rect(490, 490, 510, 510), &caller);
  Wait(10);
  EXPECT_EQ(caller.Leaves, 0);
  Headless::MoveMouse(600, 500);
  Wait(10);
  EXPECT_EQ(caller.Leaves, 1);
}

TEST_F(ControlParts, AWatchOfAFreedCallerEndsWithoutCallingIt) {
  TTrackedControl* control = MakeControl();
  BeginMouseTracking(nullptr, Rect(0, 0, 1, 1), control);
  Free(control);
  Wait(20);
  EXPECT_TRUE(GetMouseTrackingTimerList().empty());
}

TEST_F(ControlParts, AWatchAliveAtShutDownIsFreedQuietly) {
  TTrackedControl* control = MakeControl();
  MoveTo(control, {10, 10});
  BeginMouseTracking(control, Rect(0, 0, 50, 50), control);
  EXPECT_NO_THROW(DoneControlFoundation());
  EXPECT_TRUE(GetMouseTrackingTimerList().empty());
  InitControlFoundation();
}

// ---------------------------------------------------------------------------------------------
// Routines

TEST_F(ControlParts, TheHourglassNests) {
  Screen->SetCursor(crHandPoint);
  ShowHourglassCursor();
  ShowHourglassCursor();
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHandPoint);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHandPoint) << "a hide too many does nothing";
}

TEST_F(ControlParts, TheWorkAreaIsTheNearestMonitorsWithoutTheTaskBar) {
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(GetMonitorWorkArea(Rect(100, 100, 200, 200)), work);
  EXPECT_EQ(GetMonitorWorkArea(Rect(-5000, 9000, -4000, 9100)), work);
  EXPECT_LT(work.Bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(ControlParts, PointsAndRectanglesMapBetweenWindows) {
  TTrackedControl* control = MakeControl();
  TPoint p{5, 6};
  MapWindowPoint(control->GetHandle(), FForm->GetHandle(), p);
  EXPECT_EQ(p, (TPoint{25, 26}));
  TRect r = Rect(0, 0, 10, 10);
  MapWindowRect(control->GetHandle(), nullptr, r);
  EXPECT_EQ(r.TopLeft(), control->ClientToScreen({0, 0}));
  EXPECT_EQ(r.Width(), 10);
}

TEST_F(ControlParts, APostedMouseMoveArrivesAtItsPointOrTheCursor) {
  TTrackedControl* control = MakeControl();
  PostMouseMove(control, {33, 44});
  Pump();
  EXPECT_EQ(control->Log, (std::vector<std::string>{"move 33,44"}));
  control->Log.clear();
  const TPoint s = control->ClientToScreen({7, 8});
  Headless::MoveMouse(s.X, s.Y);
  PostMouseMove(control);
  Pump();
  EXPECT_EQ(control->Log.back(), "move 7,8");
  auto unshown = MakeOwned<TTrackedControl>(nullptr);
  PostMouseMove(unshown.get(), {1, 1});
  EXPECT_FALSE(unshown->HandleAllocated()) << "no window, nothing posted";
}

TEST_F(ControlParts, ControlsWithBarsRegisterWithTheSettingsController) {
  FForm = NewForm();
  const Integer before = GetSettingsController()->GetControlCount();
  auto* first = Add<TTrackedControl>(FForm, Bounds(0, 0, 50, 50));
  auto* second = Add<TTrackedControl>(FForm, Bounds(60, 0, 50, 50));
  EXPECT_EQ(GetSettingsController()->GetControlCount(), before + 2);
  Free(first);
  Free(second);
  EXPECT_EQ(GetSettingsController()->GetControlCount(), before);
}

// ---------------------------------------------------------------------------------------------
// Cursors

TEST_F(ControlParts, TheFourteenCursorsAreRegisteredPicturesOfTheirOwn) {
  std::set<HCURSOR> handles;
  std::set<std::vector<bool>> shapes;
  for (TCursor id = crqvDragCopy; id <= crqvDrag; ++id) {
    const HCURSOR h = Screen->GetCursors(id);
    EXPECT_EQ(GetCursorShape(h), 0u) << id << " is drawn, not a standard shape";
    handles.insert(h);
    const TqvCursorPicture picture = GetLibraryCursorPicture(id);
    const std::vector<bool> shape(std::begin(picture.Opaque), std::end(picture.Opaque));
    shapes.insert(shape);
    const TPoint hot = picture.HotSpot;
    ASSERT_TRUE(hot.X >= 0 && hot.Y >= 0 && hot.X < TqvCursorPicture::Size && hot.Y < TqvCursorPicture::Size) << id;
    EXPECT_TRUE(picture.Opaque[hot.Y * TqvCursorPicture::Size + hot.X]) << id << ": the hot spot is on the picture";
  }
  EXPECT_EQ(handles.size(), size_t(qvCursorCount));
  EXPECT_EQ(shapes.size(), size_t(qvCursorCount)) << "every cursor has a shape of its own";
  const TqvCursorPicture none = GetLibraryCursorPicture(crqvDrag + 1);
  EXPECT_EQ(std::count(std::begin(none.Opaque), std::end(none.Opaque), true), 0);
}

TEST_F(ControlParts, TheAnchorPicturesShowTheirScrollDirections) {
  auto both = CreateAnchorBitmap(asbBoth);
  auto horizontal = CreateAnchorBitmap(asbHorizontal);
  auto vertical = CreateAnchorBitmap(asbVertical);
  ASSERT_EQ(both->GetWidth(), both->GetHeight());
  const Integer size = both->GetWidth();
  auto black = [](TBitmap* b, Integer x, Integer y) { return (b->ScanLine(y)[x] & 0xFFFFFF) == 0; };
  const Integer c = size / 2 - 1;
  EXPECT_TRUE(black(both.get(), c, c)) << "the anchor dot";
  EXPECT_TRUE(black(both.get(), c, 3) && black(both.get(), 3, c));
  EXPECT_TRUE(black(horizontal.get(), 3, c));
  EXPECT_FALSE(black(horizontal.get(), c, 3)) << "no vertical arrows";
  EXPECT_TRUE(black(vertical.get(), c, 3));
  EXPECT_FALSE(black(vertical.get(), 3, c));
}

}  // namespace
