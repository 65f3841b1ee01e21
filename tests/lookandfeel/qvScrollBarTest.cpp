// The library's scroll bar: its range rules, its part geometry, mouse sequences through the
// headless window system (arrows, pages, thumb drags, repeats under the fake clock) with the
// scroll events and changes they make, hot tracking and painted states.
#include "qvControlsTestSupport.h"

namespace {

// A horizontal bar of 200 x 17 at (10, 10): arrows of 17, a track of 166.
const TRect kBarBounds = Rect(10, 10, 210, 27);

class TProbeScrollBar : public TqvScrollBar {
  QJ_INLINE_CLASS(TProbeScrollBar, TqvScrollBar)
 public:
  using TqvScrollBar::TqvScrollBar;
  using TqvScrollBar::GetPartPaintState;
};

class ScrollBars : public TqvControlsTest {
 protected:
  TProbeScrollBar* MakeBar(TRect bounds = kBarBounds, TScrollBarKind kind = sbHorizontal) {
    FForm = NewForm();
    TProbeScrollBar* bar = Add<TProbeScrollBar>(FForm, bounds);
    bar->SetKind(kind);
    if (kind == sbVertical) bar->SetBoundsRect(bounds);
    Show(FForm);
    return bar;
  }
  // Range 0..100, page 10, position 50, steps 1 and 10: the thumb spans 99..115.
  TProbeScrollBar* StandardBar() {
    TProbeScrollBar* bar = MakeBar();
    bar->SetScrollParams(0, 100, 50, 10);
    bar->SetLargeChange(10);
    Record(bar);
    return bar;
  }
  void Record(TqvScrollBar* bar) {
    bar->OnScroll = [this](TObject*, TScrollCode code, Integer& pos) {
      Log.push_back(std::string(ScrollCodeName(code)) + " " + std::to_string(pos));
    };
    bar->OnChange = [this, bar](TObject*) { Log.push_back("Change " + std::to_string(bar->GetPosition())); };
  }
  // The screen pixel (0x00RRGGBB) at a client point of a control on the form.
  uint32_t Pixel(TControl* c, TPoint p) const {
    const TSurface* s = Headless::WindowSurface(FForm->GetHandle());
    RECT win;
    GetWindowRect(FForm->GetHandle(), &win);
    const TPoint screen = c->ClientToScreen(p);
    return s->Row(screen.Y - win.Top)[screen.X - win.Left] & 0xFFFFFF;
  }
  static uint32_t RGBOf(TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
  }

  TForm* FForm = nullptr;
  std::vector<std::string> Log;
};

// ---------------------------------------------------------------------------------------------
// Range

TEST_F(ScrollBars, ARangeBelowThePageOrAMaximumBelowTheMinimumRaisesAndChangesNothing) {
  TqvScrollBar* bar = MakeBar();
  bar->SetPageSize(20);
  bar->SetPosition(30);
  EXPECT_THROW(bar->SetMax(10), EInvalidOperation);
  EXPECT_THROW(bar->SetScrollParams(50, 40, 45, 0), EInvalidOperation);
  try {
    bar->SetMax(10);
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Scrollbar property out of range");
  }
  EXPECT_EQ(bar->GetMin(), 0);
  EXPECT_EQ(bar->GetMax(), 100);
  EXPECT_EQ(bar->GetPageSize(), 20);
  EXPECT_EQ(bar->GetPosition(), 30);
}

TEST_F(ScrollBars, APositionIsClampedIntoTheRangeAndAChangeIsReportedOnce) {
  TqvScrollBar* bar = MakeBar();
  Record(bar);
  bar->SetPosition(500);
  EXPECT_EQ(bar->GetPosition(), 100);
  bar->SetPosition(500);
  bar->SetPosition(-3);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"Change 100", "Change 0"}));
}

TEST_F(ScrollBars, SettingAPositionOnADisabledBarEnablesIt) {
  TqvScrollBar* bar = MakeBar();
  bar->SetEnabled(false);
  EXPECT_TRUE(bar->GetPartBounds(spThumb).IsEmpty()) << "a disabled bar has no thumb";
  bar->SetPosition(40);
  EXPECT_TRUE(bar->GetEnabled());
  EXPECT_FALSE(bar->GetPartBounds(spThumb).IsEmpty());
}

TEST_F(ScrollBars, StepsStayWithinTheirSixteenBitRange) {
  TqvScrollBar* bar = MakeBar();
  bar->SetLargeChange(40000);
  bar->SetSmallChange(0);
  EXPECT_EQ(bar->GetLargeChange(), 32767);
  EXPECT_EQ(bar->GetSmallChange(), 1);
}

TEST_F(ScrollBars, ChangingTheKindKeepsTheBarsThickness) {
  TqvScrollBar* bar = MakeBar();
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->GetWidth(), 17);
  EXPECT_EQ(bar->GetHeight(), 200);
  EXPECT_EQ(bar->GetPartBounds(spSecondArrow), Rect(0, 183, 17, 200));
}

// ---------------------------------------------------------------------------------------------
// Geometry

struct TGeometryCase {
  const char* Name;
  Integer Width;
  Integer Min, Max, Page, Position;
  TRect FirstArrow, Thumb, FirstPage, SecondPage;
};

void PrintTo(const TGeometryCase& c, std::ostream* os) { *os << c.Name; }

class ScrollBarGeometry : public ScrollBars, public ::testing::WithParamInterface<TGeometryCase> {};

TEST_P(ScrollBarGeometry, PartsFollowTheRangeAndTheTrack) {
  const TGeometryCase& c = GetParam();
  TqvScrollBar* bar = MakeBar(Bounds(10, 10, c.Width, 17));
  bar->SetScrollParams(c.Min, c.Max, c.Position, c.Page);
  EXPECT_EQ(bar->GetPartBounds(spFirstArrow), c.FirstArrow) << c.Name;
  EXPECT_EQ(bar->GetPartBounds(spThumb), c.Thumb) << c.Name;
  EXPECT_EQ(bar->GetPartBounds(spFirstPage), c.FirstPage) << c.Name;
  EXPECT_EQ(bar->GetPartBounds(spSecondPage), c.SecondPage) << c.Name;
  const TRect thumb = bar->GetPartBounds(spThumb);
  if (!thumb.IsEmpty()) {
    EXPECT_GE(thumb.Left, bar->GetPartBounds(spFirstArrow).Right) << c.Name << ": the thumb never covers an arrow";
    EXPECT_LE(thumb.Right, bar->GetPartBounds(spSecondArrow).Left) << c.Name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollBarGeometry,
    ::testing::Values(
        TGeometryCase{"proportional thumb", 200, 0, 100, 10, 50, Rect(0, 0, 17, 17), Rect(99, 0, 115, 17),
                      Rect(17, 0, 99, 17), Rect(115, 0, 183, 17)},
        TGeometryCase{"at the start", 200, 0, 100, 10, 0, Rect(0, 0, 17, 17), Rect(17, 0, 33, 17), Rect(17, 0, 17, 17),
                      Rect(33, 0, 183, 17)},
        TGeometryCase{"at the last page", 200, 0, 100, 10, 91, Rect(0, 0, 17, 17), Rect(167, 0, 183, 17),
                      Rect(17, 0, 167, 17), Rect(183, 0, 183, 17)},
        TGeometryCase{"a small page keeps the minimum thumb", 200, 0, 10000, 1, 0, Rect(0, 0, 17, 17),
                      Rect(17, 0, 25, 17), Rect(17, 0, 17, 17), Rect(25, 0, 183, 17)},
        TGeometryCase{"no page: the system thumb", 200, 0, 100, 0, 50, Rect(0, 0, 17, 17), Rect(92, 0, 109, 17),
                      Rect(17, 0, 92, 17), Rect(109, 0, 183, 17)},
        TGeometryCase{"no page and a track shorter than the system thumb", 48, 0, 100, 0, 50, Rect(0, 0, 17, 17),
                      TRect(), TRect(), TRect()},
        TGeometryCase{"shorter than two arrows: they share it", 30, 0, 100, 10, 50, Rect(0, 0, 15, 17), TRect(),
                      TRect(), TRect()},
        TGeometryCase{"an empty range", 200, 5, 5, 0, 5, Rect(0, 0, 17, 17), Rect(17, 0, 34, 17), Rect(17, 0, 17, 17),
                      Rect(34, 0, 183, 17)},
        TGeometryCase{"a page as big as the range fills the track", 200, 1, 100, 100, 40, Rect(0, 0, 17, 17),
                      Rect(17, 0, 183, 17), Rect(17, 0, 17, 17), Rect(183, 0, 183, 17)},
        TGeometryCase{"a page bigger than the range", 200, 5, 10, 8, 7, Rect(0, 0, 17, 17), Rect(17, 0, 183, 17),
                      Rect(17, 0, 17, 17), Rect(183, 0, 183, 17)}));

TEST_F(ScrollBars, HitTestsFindArrowsBeforeTheThumbAndNothingOutside) {
  TqvScrollBar* bar = StandardBar();
  EXPECT_EQ(bar->GetHitPart({5, 8}), spFirstArrow);
  EXPECT_EQ(bar->GetHitPart({190, 8}), spSecondArrow);
  EXPECT_EQ(bar->GetHitPart({50, 8}), spFirstPage);
  EXPECT_EQ(bar->GetHitPart({99, 8}), spThumb);
  EXPECT_EQ(bar->GetHitPart({115, 8}), spSecondPage);
  EXPECT_EQ(bar->GetHitPart({50, 17}), spNone);
  EXPECT_EQ(bar->GetHitPart({-1, 8}), spNone);
}

TEST_F(ScrollBars, TheNativePainterMeasuresTheGripperOfItsOwnPart) {
  TqvScrollBar* bar = MakeBar();
  EXPECT_EQ(bar->GetMinThumbnailSize(), 8);
  bar->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(bar->GetMinThumbnailSize(), 12) << "the gripper's true size and 4, above its minimum";
  ThemeEngine::SetEnabled(false);
  Pump();
  EXPECT_EQ(bar->GetMinThumbnailSize(), 8) << "a theme change measures again: no theme, no gripper";
}

// ---------------------------------------------------------------------------------------------
// Mouse sequences

struct TStep {
  enum TKind { Move, Press, Release, Wait, PressRight, ReleaseRight } Kind;
  Integer X = 0, Y = 0;
};
TStep M(Integer x, Integer y) { return {TStep::Move, x, y}; }
TStep P(Integer x, Integer y) { return {TStep::Press, x, y}; }
TStep R() { return {TStep::Release}; }
TStep W(Integer ms) { return {TStep::Wait, ms}; }
TStep PR(Integer x, Integer y) { return {TStep::PressRight, x, y}; }
TStep RR() { return {TStep::ReleaseRight}; }

struct TSequenceCase {
  const char* Name;
  std::vector<TStep> Steps;
  Integer Position;
  std::vector<std::string> Log;
  bool UnlimitedTracking = false;
};

void PrintTo(const TSequenceCase& c, std::ostream* os) { *os << c.Name; }

class ScrollBarSequences : public ScrollBars, public ::testing::WithParamInterface<TSequenceCase> {};

TEST_P(ScrollBarSequences, EventsAndTheFinalPosition) {
  const TSequenceCase& c = GetParam();
  TqvScrollBar* bar = StandardBar();
  bar->SetUnlimitedTracking(c.UnlimitedTracking);
  for (const TStep& s : c.Steps) {
    switch (s.Kind) {
      case TStep::Move: MoveTo(bar, {s.X, s.Y}); break;
      case TStep::Press: Down(bar, {s.X, s.Y}); break;
      case TStep::Release: Up(); break;
      case TStep::Wait: Wait(DWORD(s.X)); break;
      case TStep::PressRight: Down(bar, {s.X, s.Y}, 1); break;
      case TStep::ReleaseRight: Up(1); break;
    }
  }
  EXPECT_EQ(bar->GetPosition(), c.Position) << c.Name;
  EXPECT_EQ(Log, c.Log) << c.Name;
  EXPECT_EQ(bar->GetPressedPart(), spNone) << c.Name;
  EXPECT_EQ(GetCapture(), nullptr) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollBarSequences,
    ::testing::Values(
        TSequenceCase{"first arrow", {P(5, 8), R()}, 49, {"LineUp 49", "Change 49", "EndScroll 49"}},
        TSequenceCase{"second arrow", {P(190, 8), R()}, 51, {"LineDown 51", "Change 51", "EndScroll 51"}},
        TSequenceCase{"first page", {P(50, 8), R()}, 40, {"PageUp 40", "Change 40", "EndScroll 40"}},
        TSequenceCase{"second page", {P(150, 8), R()}, 60, {"PageDown 60", "Change 60", "EndScroll 60"}},
        TSequenceCase{"the right button does nothing", {PR(190, 8), RR()}, 50, {}},
        TSequenceCase{"two quick clicks on an arrow are two steps",
                      {P(190, 8), R(), P(190, 8), R()},
                      52,
                      {"LineDown 51", "Change 51", "EndScroll 51", "LineDown 52", "Change 52", "EndScroll 52"}},
        TSequenceCase{"holding an arrow: at once, after 400 ms, then every 60 ms",
                      {P(190, 8), W(399), W(1), W(59), W(1), W(60), R()},
                      54,
                      {"LineDown 51", "Change 51", "LineDown 52", "Change 52", "LineDown 53", "Change 53",
                       "LineDown 54", "Change 54", "EndScroll 54"}},
        TSequenceCase{"leaving the arrow pauses the repeat, coming back resumes it",
                      {P(190, 8), M(60, 8), W(400), W(400), M(190, 8), W(400), R()},
                      52,
                      {"LineDown 51", "Change 51", "LineDown 52", "Change 52", "EndScroll 52"}},
        TSequenceCase{"holding a page stops where the thumb reaches the pointer",
                      {P(170, 8), W(400), W(60), W(60), W(60), W(60), R()},
                      90,
                      {"PageDown 60", "Change 60", "PageDown 70", "Change 70", "PageDown 80", "Change 80",
                       "PageDown 90", "Change 90", "EndScroll 90"}},
        TSequenceCase{"dragging the thumb tracks, then one change at the release",
                      {P(107, 8), M(137, 8), M(167, 8), R()},
                      86,
                      {"Track 50", "Track 68", "Track 86", "Change 86", "Position 86", "EndScroll 86"}},
        TSequenceCase{"dragging far across the bar snaps back",
                      {P(107, 8), M(137, 8), M(137, 8 + 151), R()},
                      50,
                      {"Track 50", "Track 68", "Change 50", "Track 50", "Position 50", "EndScroll 50"}},
        TSequenceCase{"coming back into the tracking area drags again",
                      {P(107, 8), M(137, 8 + 151), M(137, 8 + 140), R()},
                      68,
                      {"Track 50", "Track 50", "Track 68", "Change 68", "Position 68", "EndScroll 68"}},
        TSequenceCase{"unlimited tracking keeps the drag", {P(107, 8), M(137, 8), M(137, 8 + 151), R()}, 68,
                      {"Track 50", "Track 68", "Change 68", "Position 68", "EndScroll 68"}, true},
        TSequenceCase{"the thumb stops at the second arrow",
                      {P(107, 8), M(230, 8), R()},
                      91,
                      {"Track 50", "Track 91", "Change 91", "Position 91", "EndScroll 91"}},
        TSequenceCase{"a click on the thumb moves nothing",
                      {P(107, 8), R()},
                      50,
                      {"Track 50", "Position 50", "EndScroll 50"}}));

TEST_F(ScrollBars, AClickOnAThumbThatFillsItsTrackKeepsThePosition) {
  TqvScrollBar* bar = MakeBar();
  bar->SetScrollParams(1, 100, 40, 100);
  Record(bar);
  Click(bar, {100, 8});
  EXPECT_EQ(bar->GetPosition(), 40);
  EXPECT_EQ(Log, (std::vector<std::string>{"Track 40", "Position 40", "EndScroll 40"}));
}

TEST_F(ScrollBars, AVerticalBarDragsAlongItsLengthAndSnapsBackSideways) {
  TqvScrollBar* bar = MakeBar(Rect(10, 10, 27, 210), sbVertical);
  bar->SetScrollParams(0, 100, 50, 10);
  Record(bar);
  Down(bar, {8, 107});
  MoveTo(bar, {8, 137});
  EXPECT_EQ(bar->GetPosition(), 68);
  MoveTo(bar, {8 + 140, 137});
  EXPECT_EQ(bar->GetPosition(), 68) << "136 pixels sideways are still inside";
  MoveTo(bar, {8 + 160, 137});
  EXPECT_EQ(bar->GetPosition(), 50);
  Up();
  EXPECT_EQ(bar->GetPosition(), 50);
}

TEST_F(ScrollBars, ReflectedScrollMessagesScrollTheBar) {
  TqvScrollBar* bar = StandardBar();
  bar->Perform(CN_HSCROLL, SB_LINEDOWN, 0);
  bar->Perform(CN_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"LineDown 51", "Change 51", "Bottom 100", "Change 100"}));
  EXPECT_EQ(bar->Perform(WM_ERASEBKGND, 0, 0), 1) << "the bar paints every pixel itself";
}

TEST_F(ScrollBars, TheRepeatEndsWhenTheCaptureIsLost) {
  TqvScrollBar* bar = StandardBar();
  Down(bar, {190, 8});
  ReleaseCapture();
  Wait(400);
  EXPECT_EQ(bar->GetPressedPart(), spNone);
  EXPECT_EQ(bar->GetPosition(), 51);
  EXPECT_EQ(Log.back(), "EndScroll 51");
}

struct TEndCase {
  const char* Name;
  void (*End)(TqvScrollBar*);
};

void PrintTo(const TEndCase& c, std::ostream* os) { *os << c.Name; }

class ScrollBarPressEnds : public ScrollBars, public ::testing::WithParamInterface<TEndCase> {};

TEST_P(ScrollBarPressEnds, APressEndsAndTheRepeatStops) {
  TqvScrollBar* bar = StandardBar();
  Down(bar, {190, 8});
  GetParam().End(bar);
  Pump();
  Wait(1000);
  EXPECT_EQ(bar->GetPressedPart(), spNone) << GetParam().Name;
  EXPECT_EQ(bar->GetPosition(), 51) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Table, ScrollBarPressEnds,
                         ::testing::Values(TEndCase{"cancel mode", [](TqvScrollBar* b) { b->Perform(WM_CANCELMODE, 0, 0); }},
                                           TEndCase{"disabled", [](TqvScrollBar* b) { b->SetEnabled(false); }},
                                           TEndCase{"hidden", [](TqvScrollBar* b) { b->SetVisible(false); }}));

TEST_F(ScrollBars, ABarFreedInItsOwnScrollHandlerStopsThere) {
  TqvScrollBar* bar = StandardBar();
  TAliveToken alive = bar->AliveToken();
  bar->OnScroll = [&](TObject* sender, TScrollCode, Integer&) { Free(sender); };
  Click(bar, {190, 8});
  Wait(1000);
  EXPECT_FALSE(alive.Alive());
}

// ---------------------------------------------------------------------------------------------
// Hot tracking and painted states

TEST_F(ScrollBars, PartStatesFollowTheHotAndPressedParts) {
  TProbeScrollBar* bar = StandardBar();
  MoveTo(bar, {107, 8});
  EXPECT_EQ(bar->GetHotPart(), spThumb);
  EXPECT_EQ(bar->GetPartPaintState(spThumb), qvbsHot);
  EXPECT_EQ(bar->GetPartPaintState(spFirstArrow), qvbsNormal);
  Down(bar, {5, 8});
  EXPECT_EQ(bar->GetPartPaintState(spFirstArrow), qvbsPressed);
  EXPECT_EQ(bar->GetPartPaintState(spThumb), qvbsNormal);
  MoveTo(bar, {60, 8});
  EXPECT_EQ(bar->GetPartPaintState(spFirstArrow), qvbsNormal) << "pressed but not under the pointer";
  MoveTo(bar, {5, 8});
  Up();
  EXPECT_EQ(bar->GetHotPart(), spFirstArrow);
  MoveTo(FForm, {300, 200});
  EXPECT_EQ(bar->GetHotPart(), spNone) << "leaving the bar cools it";
  bar->SetEnabled(false);
  EXPECT_EQ(bar->GetPartPaintState(spFirstArrow), qvbsDisabled);
}

TEST_F(ScrollBars, TheStandardPainterShowsNoHotThumb) {
  TProbeScrollBar* bar = StandardBar();
  bar->GetLookAndFeel()->SetKind(lfStandard);
  MoveTo(bar, {107, 8});
  EXPECT_EQ(bar->GetHotPart(), spThumb);
  EXPECT_EQ(bar->GetPartPaintState(spThumb), qvbsNormal);
}

TEST_F(ScrollBars, PaintsEachPartInItsState) {
  TProbeScrollBar* bar = StandardBar();
  bar->Repaint();
  EXPECT_EQ(Pixel(bar, {107, 8}), RGBOf(clBtnFace)) << "the ultra-flat thumb at rest";
  MoveTo(bar, {107, 8});
  EXPECT_EQ(Pixel(bar, {107, 3}), RGBOf(GetUltraFlatHotColor())) << "hot";
  Down(bar, {190, 3});
  EXPECT_EQ(Pixel(bar, {195, 2}), RGBOf(GetUltraFlatPressedColor())) << "the pressed arrow";
  Up();
  bar->SetEnabled(false);
  bar->Repaint();
  const uint32_t page = Pixel(bar, {107, 8});
  EXPECT_TRUE(page == RGBOf(clBtnHighlight) || page == RGBOf(clBtnFace)) << "no thumb: the pattern of a page";
}

}  // namespace
