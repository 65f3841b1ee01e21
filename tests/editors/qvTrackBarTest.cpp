// The track bar editor: its properties and values, the layout (tick space, thumb and track
// sizes, pixels per value), the ticks, the value under a point, and the control's keys, mouse,
// hot and pressed thumb, and painting.
#include <chrono>

#include "editors/qvEditTestSupport.h"
#include "editors/qvEditorsTestSupport.h"
#include "editors/qvExtEditorsTestSupport.h"
#include "editors/qvTrackBar.h"
#include "support/ControlPixels.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Properties and values

TEST(TrackBarPropertiesTest, RangeAndSettingRules) {
  auto properties = MakeOwned<TqvTrackBarProperties>(nullptr);
  properties->SetMax(0);
  EXPECT_EQ(properties->GetMax(), 10) << "Max equal to Min is refused";
  properties->SetMin(20);
  EXPECT_EQ(properties->GetMax(), 20) << "Min drags Max along";
  properties->SetFrequency(-4);
  EXPECT_EQ(properties->GetFrequency(), 0);
  properties->SetBorderWidth(-1);
  EXPECT_EQ(properties->GetBorderWidth(), 0);
  properties->SetPageSize(0);
  EXPECT_EQ(properties->GetPageSize(), 1);
  properties->SetSelectionStart(9);
  properties->SetSelectionEnd(3);
  EXPECT_EQ(properties->GetSelectionStart(), 9) << "neither ordered nor clamped";
  EXPECT_EQ(properties->GetSelectionEnd(), 3);
}

TEST(TrackBarPropertiesTest, PositionOfAValueIsClamped) {
  auto properties = MakeOwned<TqvTrackBarProperties>(nullptr);
  properties->SetMin(2);
  const std::pair<Variant, String> cases[] = {{Null(), "2"},          {Variant(), "2"},     {Variant(5), "5"},
                                              {Variant(50), "10"},     {String("7"), "7"},   {String("x"), "2"},
                                              {Variant(3.5), "2"},     {Variant(-9), "2"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(properties->GetDisplayText(value), text) << VarToStr(value);
}

TEST(TrackBarPropertiesTest, AssignCopiesSettingsAndThumbEvents) {
  auto source = MakeOwned<TqvTrackBarProperties>(nullptr);
  source->SetMin(-5);
  source->SetMax(-1);
  source->SetTickType(tbttValueNumber);
  source->SetTickMarks(qvtmBoth);
  source->SetOrientation(tboVertical);
  Integer drawn = 0;
  source->OnDrawThumb = [&](TObject*, TqvCanvas*, const TRect&) { ++drawn; };
  auto target = MakeOwned<TqvTrackBarProperties>(nullptr);
  target->Assign(source.get());
  EXPECT_EQ(target->GetMin(), -5);
  EXPECT_EQ(target->GetMax(), -1);
  EXPECT_EQ(target->GetTickType(), tbttValueNumber);
  EXPECT_EQ(target->GetTickMarks(), qvtmBoth);
  EXPECT_EQ(target->GetOrientation(), tboVertical);
  ASSERT_TRUE(target->OnDrawThumb);
  target->OnDrawThumb(nullptr, nullptr, TRect{});
  EXPECT_EQ(drawn, 1);
}

TEST(TrackBarPropertiesTest, RegisteredUnderItsDisplayText) {
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(registry->FindByShortName("TrackBar"), &TqvTrackBarProperties::StaticClass());
}

// ---------------------------------------------------------------------------------------------
// Layout and ticks, on a view info

class TrackBarLayoutTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(10, 10);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  void Layout(const TRect& AClient) {
    Info.ClientRect = AClient;
    Info.CalculateLayout(FCanvas->Canvas());
  }
  TqvCustomTrackBarViewInfo Info;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

struct TCrossCase {
  Integer ContentHeight;
  Integer ThumbCross;
};

TEST_F(TrackBarLayoutTest, ThumbCrossSizeIsTheRoomBetweenTheTicksHeldTo10To21) {
  // Ticks below only and no border: one pixel above, five below.
  const TCrossCase cases[] = {{30, 21}, {15, 10}, {26, 20}, {16, 10}, {200, 21}, {3, 10}};
  for (const TCrossCase& c : cases) {
    Layout(Rect(0, 0, 196, c.ContentHeight));
    EXPECT_EQ(Info.ThumbArea.Height(), c.ThumbCross) << c.ContentHeight;
    EXPECT_EQ(Info.ThumbArea.Top, (c.ContentHeight - 6 - c.ThumbCross) / 2 + 1) << c.ContentHeight;
  }
}

TEST_F(TrackBarLayoutTest, DefaultsOnAFullSizeBar) {
  Layout(Rect(2, 2, 194, 74));
  EXPECT_EQ(Info.ThumbArea.Height(), 21);
  EXPECT_EQ(Info.TrackRect.Height(), 10) << "auto size: half the thumb's cross size";
  EXPECT_EQ(Info.ThumbLength, 10);
  EXPECT_EQ(Info.ThumbCrossSize, 19);
  EXPECT_EQ(Info.TrackRect.Left, 7);
  EXPECT_EQ(Info.TrackRect.Right, 192 - 7);
  EXPECT_DOUBLE_EQ(Info.PixelsPerValue, (192 - 14 - 10) / 10.0);
  EXPECT_EQ(Info.ThumbRect.Width(), 10);
  EXPECT_EQ(Info.ThumbRect.Height(), 19);
  EXPECT_EQ(Info.ContentOrigin, Point(2, 2));
  const std::vector<TqvTrackBarTick> ticks = Info.GetTicks();
  ASSERT_EQ(ticks.size(), 11u);
  EXPECT_EQ(ticks.front().Length, 4);
  EXPECT_EQ(ticks[1].Length, 3);
  EXPECT_EQ(ticks.back().Length, 4);
  EXPECT_EQ(ticks[5].Coordinate, Info.ValueCoordinate(5));
}

TEST_F(TrackBarLayoutTest, ThumbFollowsThePositionAndTheOrientation) {
  Info.Position = 10;
  Layout(Rect(0, 0, 196, 76));
  EXPECT_EQ(Info.ThumbRect.Right, Info.TrackRect.Right) << "at Max the thumb ends with the track";
  Info.Orientation = tboVertical;
  Info.Position = 0;
  Layout(Rect(0, 0, 76, 196));
  EXPECT_EQ(Info.ThumbRect.Top, Info.TrackRect.Top);
  EXPECT_EQ(Info.ThumbRect.Width(), 19);
  EXPECT_EQ(Info.ThumbRect.Height(), 10);
  Info.TickMarks = qvtmTopLeft;
  Layout(Rect(0, 0, 76, 196));
  EXPECT_EQ(Info.ThumbRect.Width(), 18) << "a thumb pointing left is one pixel narrower";
}

TEST_F(TrackBarLayoutTest, FixedThumbAndTrackWithoutAutoSize) {
  Info.AutoSize = false;
  Info.TrackSize = 4;
  Info.ThumbWidth = 7;
  Info.ThumbHeight = 12;
  Layout(Rect(0, 0, 196, 76));
  EXPECT_EQ(Info.TrackRect.Height(), 4);
  EXPECT_EQ(Info.ThumbLength, 7);
  EXPECT_EQ(Info.ThumbRect.Width(), 6);
  EXPECT_EQ(Info.ThumbRect.Height(), 11);
}

TEST_F(TrackBarLayoutTest, SelectionIsClampedAndShownOnlyWhenOrdered) {
  Info.SelectionStart = -5;
  Info.SelectionEnd = 4;
  Layout(Rect(0, 0, 196, 76));
  ASSERT_TRUE(Info.SelectionShown);
  EXPECT_EQ(Info.SelectionRect.Left, Info.ValueCoordinate(0));
  EXPECT_EQ(Info.SelectionRect.Right, Info.ValueCoordinate(4) + 1);
  Info.SelectionStart = 6;
  Layout(Rect(0, 0, 196, 76));
  EXPECT_FALSE(Info.SelectionShown);
}

TEST_F(TrackBarLayoutTest, TicksAreTheMultiplesOfTheFrequency) {
  Info.Max = 1000;
  Info.Frequency = 100;
  Info.TickType = tbttValueNumber;
  Info.Position = 300;
  Layout(Rect(0, 0, 400, 76));
  std::vector<Int64> values, numbers;
  for (const TqvTrackBarTick& t : Info.GetTicks()) {
    values.push_back(t.Value);
    if (Info.ShowsNumber(t)) numbers.push_back(t.Value);
  }
  EXPECT_EQ(values, (std::vector<Int64>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
  EXPECT_EQ(numbers, (std::vector<Int64>{0, 300, 1000}));

  Info.Frequency = 0;
  Layout(Rect(0, 0, 400, 76));
  values.clear();
  for (const TqvTrackBarTick& t : Info.GetTicks()) values.push_back(t.Value);
  EXPECT_EQ(values, (std::vector<Int64>{0, 1000}));

  Info.Min = -7;
  Info.Max = 7;
  Info.Frequency = 5;
  Layout(Rect(0, 0, 400, 76));
  values.clear();
  for (const TqvTrackBarTick& t : Info.GetTicks()) values.push_back(t.Value);
  EXPECT_EQ(values, (std::vector<Int64>{-7, -5, 0, 5, 7}));
}

// A range of a thousand million on a short track gives at most a tick a pixel, at once.
// Dense ticks would merge into a bar: they stay at least two pixels apart, the ends included.
TEST_F(TrackBarLayoutTest, HugeRangesKeepTheirTicksTwoPixelsApart) {
  Info.Min = 0;
  Info.Max = 1000000000;
  Info.Frequency = 1;
  Layout(Rect(0, 0, 196, 76));
  const std::vector<TqvTrackBarTick> ticks = Info.GetTicks();
  EXPECT_GE(ticks.size(), 20u);
  for (size_t i = 1; i < ticks.size(); ++i) {
    if (i + 1 < ticks.size()) EXPECT_EQ(ticks[i].Value % Info.Frequency, 0);
    EXPECT_GE(ticks[i].Coordinate - ticks[i - 1].Coordinate, 2) << i;
  }
}

TEST_F(TrackBarLayoutTest, SmallBarsHaveNoPixelsPerValue) {
  Layout(Rect(0, 0, 20, 20));
  EXPECT_LE(Info.PixelsPerValue, 0);
  Integer value = 99;
  EXPECT_FALSE(Info.ValueAtPoint(Point(5, 5), false, value));
  EXPECT_EQ(value, 99);
  EXPECT_EQ(Info.GetTicks().size(), 2u) << "only the ends";
}

struct TPointCase {
  Integer X;
  bool Centred;
  Integer Value;
};

TEST_F(TrackBarLayoutTest, ValueUnderAPoint) {
  // Track 7..189 (content 196 wide), thumb 10: 17.2 pixels a value.
  Layout(Rect(0, 0, 196, 76));
  const TPointCase cases[] = {{7, false, 0},   {24, false, 0},  {25, false, 1},  {189, false, 10},
                              {12, true, 0},   {21, true, 1},   {98, true, 5},   {184, true, 10},
                              {0, false, 0},   {400, true, 23}};
  for (const TPointCase& c : cases) {
    Integer value = 0;
    ASSERT_TRUE(Info.ValueAtPoint(Point(c.X, 30), c.Centred, value));
    EXPECT_EQ(value, c.Value) << c.X << (c.Centred ? " centred" : "");
  }
}

// ---------------------------------------------------------------------------------------------
// The control

class TrackBarControlTest : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    Bar = New<TqvTrackBar>(FForm);
    Bar->SetLeft(10);
    Bar->SetTop(10);
    Bar->SetParent(FForm);
    Bar->GetProperties()->OnChange = [this](TObject*) { ++Changes; };
  }
  // The client point of the thumb's centre, and of a value's thumb centre.
  TPoint ThumbCentre() {
    const TqvCustomTrackBarViewInfo* info = Bar->GetTrackViewInfo();
    const TRect r = qvOffsetRect(info->ThumbRect, info->ContentOrigin.X, info->ContentOrigin.Y);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  Integer ValueX(Integer AValue) {
    const TqvCustomTrackBarViewInfo* info = Bar->GetTrackViewInfo();
    return info->ValueCoordinate(AValue) + info->ContentOrigin.X;
  }
  TqvTrackBar* Bar = nullptr;
  Integer Changes = 0;
};

TEST_F(TrackBarControlTest, IsMadeWithItsDefaults) {
  EXPECT_EQ(Bar->GetWidth(), 196);
  EXPECT_EQ(Bar->GetHeight(), 76);
  EXPECT_FALSE(Bar->GetAutoSize());
  EXPECT_EQ(Bar->GetPosition(), 0);
  EXPECT_EQ(VarType(Bar->GetEditValue()), varInteger);
  ShowForm();
  EXPECT_EQ(SendMessage(Bar->GetHandle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));
}

struct TTrackBarKeyCase {
  const char* Name;
  Integer From;
  bool HoldShift;  // the keys are pressed while Shift is held down
  std::vector<BYTE> Keys;
  Integer To;
  Integer Changes;
  Integer SelectionStart, SelectionEnd;
};

class TrackBarKeysTest : public TrackBarControlTest, public ::testing::WithParamInterface<TTrackBarKeyCase> {};

TEST_P(TrackBarKeysTest, MoveThePosition) {
  const TTrackBarKeyCase& c = GetParam();
  Bar->GetProperties()->SetPageSize(3);
  ShowForm();
  Bar->SetFocus();
  Pump();
  Bar->SetPosition(c.From);
  Changes = 0;
  if (c.HoldShift) Headless::KeyDown(VK_SHIFT);
  for (BYTE key : c.Keys) Press(key);
  if (c.HoldShift) {
    Headless::KeyUp(VK_SHIFT);
    Pump();
  }
  EXPECT_FALSE(Bar->IsSelecting()) << "releasing Shift ends the selection mode";
  EXPECT_EQ(Bar->GetPosition(), c.To);
  EXPECT_EQ(Changes, c.Changes);
  EXPECT_EQ(Bar->GetProperties()->GetSelectionStart(), c.SelectionStart);
  EXPECT_EQ(Bar->GetProperties()->GetSelectionEnd(), c.SelectionEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TrackBarKeysTest,
    ::testing::Values(TTrackBarKeyCase{"RightAndDown", 4, false, {VK_RIGHT, VK_DOWN}, 6, 2, 0, 0},
                      TTrackBarKeyCase{"LeftAndUp", 4, false, {VK_LEFT, VK_UP}, 2, 2, 0, 0},
                      TTrackBarKeyCase{"PageDownAndUp", 4, false, {VK_NEXT, VK_NEXT, VK_PRIOR}, 7, 3, 0, 0},
                      TTrackBarKeyCase{"PageDownAtMax", 10, false, {VK_NEXT}, 10, 0, 0, 0},
                      TTrackBarKeyCase{"LeftAtMin", 0, false, {VK_LEFT}, 0, 0, 0, 0},
                      TTrackBarKeyCase{"HomeAndEnd", 4, false, {VK_END, VK_HOME}, 0, 2, 0, 0},
                      TTrackBarKeyCase{"ShiftRightThreeTimes", 4, true, {VK_RIGHT, VK_RIGHT, VK_RIGHT}, 7, 3, 4, 7},
                      TTrackBarKeyCase{"ShiftLeftOrdersTheSelection", 4, true, {VK_LEFT, VK_LEFT}, 2, 2, 2, 4}),
    [](const ::testing::TestParamInfo<TTrackBarKeyCase>& info) { return std::string(info.param.Name); });

TEST_F(TrackBarControlTest, ClickBesideTheThumbStepsByOne) {
  ShowForm();
  Bar->SetPosition(5);
  Pump();
  const TPoint thumb = ThumbCentre();
  Click(Bar, Point(thumb.X + 40, thumb.Y));
  EXPECT_EQ(Bar->GetPosition(), 6);
  Click(Bar, Point(thumb.X - 60, thumb.Y));
  EXPECT_EQ(Bar->GetPosition(), 5);
  EXPECT_TRUE(Bar->Focused());
}

TEST_F(TrackBarControlTest, JumpClickTakesTheValueUnderTheCursorNeverBelowMin) {
  Bar->GetProperties()->SetThumbStep(qvtsJump);
  Bar->GetProperties()->SetMin(50);
  Bar->GetProperties()->SetMax(60);
  ShowForm();
  Bar->SetPosition(55);
  Pump();
  const TqvCustomTrackBarViewInfo* info = Bar->GetTrackViewInfo();
  const Integer trackStart = info->TrackRect.Left + info->ContentOrigin.X;
  Click(Bar, Point(trackStart, ThumbCentre().Y));
  EXPECT_EQ(Bar->GetPosition(), 50);
  Click(Bar, Point(ValueX(58) + 2, ThumbCentre().Y));
  EXPECT_EQ(Bar->GetPosition(), 58);
}

// Dragged, the thumb's centre stays under the cursor.
TEST_F(TrackBarControlTest, DraggedThumbFollowsTheCursor) {
  ShowForm();
  const TPoint thumb = ThumbCentre();
  Down(Bar, thumb);
  EXPECT_TRUE(Bar->IsThumbPressed());
  EXPECT_EQ(Bar->GetTrackViewInfo()->ThumbState, tbtsPressed);
  for (Integer value : {3, 7, 10, 4}) {
    MoveTo(Bar, Point(ValueX(value), thumb.Y + 3));
    EXPECT_EQ(Bar->GetPosition(), value);
  }
  MoveTo(Bar, Point(ValueX(10) + 100, thumb.Y));
  EXPECT_EQ(Bar->GetPosition(), 10) << "held within the range";
  Up();
  EXPECT_FALSE(Bar->IsThumbPressed());
  EXPECT_NE(GetCapture(), Bar->GetHandle());
}

TEST_F(TrackBarControlTest, ThumbIsHotUnderTheCursor) {
  ShowForm();
  MoveTo(Bar, ThumbCentre());
  EXPECT_TRUE(Bar->IsThumbHot());
  EXPECT_EQ(Bar->GetTrackViewInfo()->ThumbState, tbtsHot);
  MoveTo(Bar, Point(ThumbCentre().X + 60, ThumbCentre().Y));
  EXPECT_FALSE(Bar->IsThumbHot());
  EXPECT_EQ(Bar->GetTrackViewInfo()->ThumbState, tbtsNormal);
}

TEST_F(TrackBarControlTest, CtrlPressOnTheThumbClearsTheSelection) {
  Bar->GetProperties()->SetSelectionStart(2);
  Bar->GetProperties()->SetSelectionEnd(5);
  ShowForm();
  const TPoint p = Bar->ClientToScreen(ThumbCentre());
  Headless::MoveMouse(p.X, p.Y);
  Headless::KeyDown(VK_CONTROL);
  Headless::MouseDown();
  Headless::MouseUp();
  Headless::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(Bar->GetProperties()->GetSelectionStart(), 0);
  EXPECT_EQ(Bar->GetProperties()->GetSelectionEnd(), 0);
}

TEST_F(TrackBarControlTest, AReleaseFiresNoClick) {
  Integer clicks = 0;
  Bar->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  Click(Bar, Point(150, 30));
  EXPECT_EQ(clicks, 0);
}

// Two bars with the same settings keep their own layout and thumb state.
TEST_F(TrackBarControlTest, LayoutAndThumbStateArePerControl) {
  auto* small = New<TqvTrackBar>(FForm);
  small->SetBounds(10, 120, 120, 50);
  small->SetParent(FForm);
  small->GetProperties()->Assign(Bar->GetProperties());
  ShowForm();
  EXPECT_NE(small->GetTrackViewInfo()->PixelsPerValue, Bar->GetTrackViewInfo()->PixelsPerValue);
  MoveTo(Bar, ThumbCentre());
  EXPECT_TRUE(Bar->IsThumbHot());
  EXPECT_FALSE(small->IsThumbHot());
}

TEST_F(TrackBarControlTest, SmallBarTakesClicksWithoutDividingByZero) {
  Bar->SetBounds(10, 10, 20, 20);
  Bar->GetProperties()->SetThumbStep(qvtsJump);
  ShowForm();
  Bar->SetPosition(3);
  Click(Bar, Point(2, 2));
  Click(Bar, Point(18, 18));
  EXPECT_EQ(Bar->GetPosition(), 3);
  Bar->Repaint();
  Pump();
}

TEST_F(TrackBarControlTest, PaintsTrackTicksAndThumb) {
  Bar->GetStyle()->GetLookAndFeel()->SetNativeStyle(false);
  Bar->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
  ShowForm();
  Bar->Repaint();
  Pump();
  const TqvCustomTrackBarViewInfo* info = Bar->GetTrackViewInfo();
  const TPoint origin = info->ContentOrigin;
  // The thumb's face, a tick below it, the track's fill.
  EXPECT_EQ(ScreenPixelOf(Bar, ThumbCentre()), ColorToRGB(clBtnFace));
  const Integer tickX = info->ValueCoordinate(5) + origin.X, tickY = info->ThumbRect.Bottom + 3 + origin.Y;
  EXPECT_EQ(ScreenPixelOf(Bar, Point(tickX, tickY)), ColorToRGB(clWindowText));
  const TRect track = qvOffsetRect(info->TrackRect, origin.X, origin.Y);
  EXPECT_EQ(ScreenPixelOf(Bar, Point(track.Right - 20, (track.Top + track.Bottom) / 2)), ColorToRGB(clWindow));
  MoveTo(Bar, ThumbCentre());
  Bar->Repaint();
  Pump();
  EXPECT_EQ(ScreenPixelOf(Bar, ThumbCentre()), ColorToRGB(TColor(0x00C0C0C0))) << "hot: the highlight colour";
}

// Numbers at the ends of the range move in to stay whole: nothing is cut at the content's
// edges, which keep the background colour.
struct TTrackNumbersCase {
  const char* Name;
  TqvTrackBarOrientation Orientation;
  TqvTrackBarTextOrientation Text;
  friend void PrintTo(const TTrackNumbersCase& c, std::ostream* os) { *os << c.Name; }
};

class TrackBarNumbersTest : public TrackBarControlTest, public ::testing::WithParamInterface<TTrackNumbersCase> {};

TEST_P(TrackBarNumbersTest, StayWholeAtTheEnds) {
  const TTrackNumbersCase& c = GetParam();
  TqvCustomTrackBarProperties* p = Bar->GetProperties();
  p->SetMax(1000);
  p->SetFrequency(100);
  p->SetTickType(tbttNumbers);
  p->SetOrientation(c.Orientation);
  p->SetTextOrientation(c.Text);
  Bar->GetStyle()->GetLookAndFeel()->SetNativeStyle(false);
  if (c.Orientation == tboVertical) Bar->SetBounds(10, 10, 76, 196);
  else Bar->SetBounds(10, 10, 196, 76);
  ShowForm();
  RepaintOverSentinel(Bar);
  const TqvCustomTrackBarViewInfo* info = Bar->GetTrackViewInfo();
  const TRect content = qvOffsetRect(info->ContentRect, info->ContentOrigin.X, info->ContentOrigin.Y);
  const COLORREF background = ScreenPixelOf(Bar, {content.Left, content.Top});
  Integer ink = 0;
  for (Integer x = content.Left; x < content.Right; ++x)
    for (Integer y = content.Top; y < content.Bottom; ++y) {
      const COLORREF pixel = ScreenPixelOf(Bar, {x, y});
      ASSERT_NE(pixel, SentinelRGB) << "unpainted at " << x << "," << y;
      const bool edge = x == content.Left || x == content.Right - 1 || y == content.Top || y == content.Bottom - 1;
      if (edge && pixel != background) ++ink;
    }
  EXPECT_EQ(ink, 0) << "ink on the content's edges";
}

INSTANTIATE_TEST_SUITE_P(Orientations, TrackBarNumbersTest,
                         ::testing::Values(TTrackNumbersCase{"Horizontal", tboHorizontal, tbtoHorizontal},
                                           TTrackNumbersCase{"HorizontalTurnedText", tboHorizontal, tbtoVertical},
                                           TTrackNumbersCase{"Vertical", tboVertical, tbtoHorizontal},
                                           TTrackNumbersCase{"VerticalTurnedText", tboVertical, tbtoVertical}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TrackBarControlTest, CustomThumbIsSizedAndDrawnByTheEvents) {
  std::vector<TRect> drawn;
  Bar->GetProperties()->OnGetThumbRect = [](TObject*, TRect& R) { R = Rect(0, 0, 8, 30); };
  Bar->GetProperties()->OnDrawThumb = [&](TObject* Sender, TqvCanvas*, const TRect& R) {
    EXPECT_EQ(Sender, Bar->GetProperties());
    drawn.push_back(R);
  };
  Bar->GetProperties()->SetThumbType(qvttCustom);
  ShowForm();
  Bar->Repaint();
  Pump();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back().Width(), 8);
  EXPECT_EQ(drawn.back().Height(), 30);
  EXPECT_EQ(Bar->GetTrackViewInfo()->ThumbArea.Height(), 30);
}

}  // namespace
