// The progress bar editor: values and texts, the clamping rules of its range, the geometry of
// fill, overload and peak, the bar styles and the inverted text on a bitmap, and the control
// (position, peak held per bar, no focus standalone, transparency).
#include <limits>

#include "editors/qvEditTestSupport.h"
#include "editors/qvEditorsTestSupport.h"
#include "editors/qvExtEditorsTestSupport.h"
#include "editors/qvProgressBar.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Values and texts

TEST(ProgressBarValueTest, PositionOfAValue) {
  const std::pair<Variant, Integer> cases[] = {
      {Null(), 0},           {Variant(), 0},          {Variant(42), 42},
      {Variant(Int64(5000000000)), std::numeric_limits<Integer>::max()},
      {String("42"), 42},    {String(" -7 "), -7},    {String("4-2"), 0},
      {String("abc"), 0},    {Variant(1.5), 0},       {Variant(Byte(200)), 200}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(ProgressBarPositionOfValue(value), expected) << VarToStr(value);
}

TEST(ProgressBarValueTest, DisplayTextIsTheRawPosition) {
  auto properties = MakeOwned<TqvProgressBarProperties>(nullptr);
  EXPECT_EQ(properties->GetDisplayText(150), "150 %");
  EXPECT_EQ(properties->GetDisplayText(Null()), "0 %");
  properties->SetShowTextStyle(qvtsPosition);
  EXPECT_EQ(properties->GetDisplayText(String("150")), "150");
  Variant display;
  properties->PrepareDisplayValue(String("12"), display, false);
  EXPECT_EQ(display.AsInteger(), 12);
}

TEST(ProgressBarValueTest, RegisteredUnderItsDisplayText) {
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(registry->FindByShortName("ProgressBar"), &TqvProgressBarProperties::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(registry->IndexOf(&TqvProgressBarProperties::StaticClass())),
            "ProgressBar|Represents a ProgressBar");
}

TEST(ProgressBarPropertiesTest, RangeRules) {
  auto properties = MakeOwned<TqvProgressBarProperties>(nullptr);
  properties->SetMax(0);
  EXPECT_EQ(properties->GetMax(), 100) << "Max equal to Min is refused";
  properties->SetOverloadValue(500);
  EXPECT_EQ(properties->GetOverloadValue(), 100);
  properties->SetOverloadValue(-5);
  EXPECT_EQ(properties->GetOverloadValue(), 0);
  properties->SetPeakValue(1000);
  EXPECT_EQ(properties->GetPeakValue(), 1000) << "stored unchecked";
  properties->SetMax(50);
  EXPECT_EQ(properties->GetPeakValue(), 50);
  properties->SetMin(200);
  EXPECT_EQ(properties->GetMax(), 200);
  EXPECT_EQ(properties->GetOverloadValue(), 200);
  EXPECT_EQ(properties->GetPeakValue(), 200);
  properties->SetPeakSize(0);
  EXPECT_EQ(properties->GetPeakSize(), 1);
  properties->SetBorderWidth(-3);
  EXPECT_EQ(properties->GetBorderWidth(), 0);
}

TEST(ProgressBarPropertiesTest, AssignCopiesEverySettingInOneChange) {
  auto source = MakeOwned<TqvProgressBarProperties>(nullptr);
  source->SetMin(-50);
  source->SetMax(-10);
  source->SetOverloadValue(-20);
  source->SetBarStyle(qvbsGradientLEDs);
  source->SetBarBevelOuter(qvbvRaised);
  source->SetOrientation(qvorVertical);
  source->SetShowPeak(true);
  source->SetPeakSize(4);
  source->SetShowTextStyle(qvtsPosition);
  source->SetTransparent(true);
  source->GetForegroundImage()->SetSize(3, 3);
  auto target = MakeOwned<TqvProgressBarProperties>(nullptr);
  Integer changes = 0;
  target->OnPropertiesChanged = [&](TObject*) { ++changes; };
  target->Assign(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target->GetMin(), -50);
  EXPECT_EQ(target->GetMax(), -10);
  EXPECT_EQ(target->GetOverloadValue(), -20);
  EXPECT_EQ(target->GetBarStyle(), qvbsGradientLEDs);
  EXPECT_EQ(target->GetBarBevelOuter(), qvbvRaised);
  EXPECT_EQ(target->GetOrientation(), qvorVertical);
  EXPECT_TRUE(target->GetShowPeak());
  EXPECT_EQ(target->GetPeakSize(), 4);
  EXPECT_EQ(target->GetShowTextStyle(), qvtsPosition);
  EXPECT_TRUE(target->GetTransparent());
  ASSERT_NE(target->FindForegroundImage(), nullptr);
  EXPECT_EQ(target->FindForegroundImage()->GetWidth(), 3);
}

// ---------------------------------------------------------------------------------------------
// Geometry

struct TGeometryCase {
  const char* Name;
  Integer Min, Max, Position;
  TqvProgressBarOrientation Orientation;
  TRect Bar;
  TRect Fill;
};

std::ostream& operator<<(std::ostream& os, const TGeometryCase& c) { return os << c.Name; }

class ProgressBarGeometryTest : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(ProgressBarGeometryTest, FillIsClampedToTheBar) {
  const TGeometryCase& c = GetParam();
  TqvCustomProgressBarViewInfo info;
  info.Min = c.Min;
  info.Max = c.Max;
  info.Position = c.Position;
  info.Orientation = c.Orientation;
  info.BarRect = c.Bar;
  info.CalculateBarGeometry();
  EXPECT_EQ(info.FillRect, c.Fill);
  EXPECT_FALSE(info.OverloadShown);
  EXPECT_FALSE(info.PeakShown);
}

const TRect kWide = Rect(0, 0, 101, 10), kTall = Rect(0, 0, 10, 101);

INSTANTIATE_TEST_SUITE_P(
    Positions, ProgressBarGeometryTest,
    ::testing::Values(
        TGeometryCase{"half", 0, 100, 50, qvorHorizontal, kWide, Rect(0, 0, 50, 10)},
        TGeometryCase{"empty", 0, 100, 0, qvorHorizontal, kWide, Rect(0, 0, 0, 10)},
        TGeometryCase{"full", 0, 100, 100, qvorHorizontal, kWide, kWide},
        TGeometryCase{"above Max", 0, 100, 150, qvorHorizontal, kWide, kWide},
        TGeometryCase{"far above Max", 0, 100, 2000000000, qvorHorizontal, kWide, kWide},
        TGeometryCase{"below Min", 0, 100, -5, qvorHorizontal, kWide, TRect{}},
        TGeometryCase{"two thirds", 0, 3, 2, qvorHorizontal, Rect(0, 0, 100, 10), Rect(0, 0, 66, 10)},
        TGeometryCase{"whole 32-bit range", -2000000000, 2000000000, 0, qvorHorizontal, kWide, Rect(0, 0, 50, 10)},
        TGeometryCase{"Min equals Max", 5, 5, 5, qvorHorizontal, kWide, Rect(0, 0, 0, 10)},
        TGeometryCase{"offset bar", 10, 20, 15, qvorHorizontal, Rect(20, 5, 40, 9), Rect(20, 5, 30, 9)},
        TGeometryCase{"vertical half", 0, 100, 50, qvorVertical, kTall, Rect(0, 51, 10, 101)},
        TGeometryCase{"vertical far above Max", 0, 100, 1000000000, qvorVertical, kTall, kTall}));

TEST(ProgressBarOverloadTest, OverloadZoneStartsAtTheOverloadValue) {
  TqvCustomProgressBarViewInfo info;
  info.BarRect = kWide;
  info.ShowOverload = true;
  info.OverloadValue = 80;
  info.Position = 90;
  info.CalculateBarGeometry();
  ASSERT_TRUE(info.OverloadShown);
  EXPECT_EQ(info.FillRect, Rect(0, 0, 80, 10));
  EXPECT_EQ(info.OverloadRect, Rect(80, 0, 90, 10));
  info.Position = 1000000;
  info.CalculateBarGeometry();
  EXPECT_EQ(info.OverloadRect, Rect(80, 0, 101, 10));
  info.Position = 70;
  info.CalculateBarGeometry();
  EXPECT_FALSE(info.OverloadShown);
  EXPECT_EQ(info.FillRect, Rect(0, 0, 70, 10));
  info.Position = 90;
  info.Themed = true;
  info.CalculateBarGeometry();
  EXPECT_FALSE(info.OverloadShown) << "themed bars show no overload zone";
  info.Themed = false;
  info.Orientation = qvorVertical;
  info.BarRect = kTall;
  info.CalculateBarGeometry();
  EXPECT_EQ(info.OverloadRect, Rect(0, 11, 10, 21));
  EXPECT_EQ(info.FillRect, Rect(0, 21, 10, 101));
}

TEST(ProgressBarPeakTest, PeakMarkerStaysInsideTheBar) {
  TqvCustomProgressBarViewInfo info;
  info.BarRect = kWide;
  info.ShowPeak = true;
  info.PeakSize = 2;
  const std::pair<Integer, TRect> horizontal[] = {
      {70, Rect(70, 0, 72, 10)}, {100, Rect(99, 0, 101, 10)}, {5000, Rect(99, 0, 101, 10)}, {-3, Rect(0, 0, 2, 10)}};
  for (const auto& [peak, expected] : horizontal) {
    info.PeakPosition = peak;
    info.CalculateBarGeometry();
    EXPECT_EQ(info.PeakRect, expected) << peak;
  }
  info.Orientation = qvorVertical;
  info.BarRect = kTall;
  info.PeakPosition = 100;
  info.CalculateBarGeometry();
  EXPECT_EQ(info.PeakRect, Rect(0, 0, 10, 2));
  info.PeakPosition = 50;
  info.CalculateBarGeometry();
  EXPECT_EQ(info.PeakRect, Rect(0, 49, 10, 51));
}

TEST(ProgressBarTextTest, PercentRoundsHalvesToEvenAndStopsAt100) {
  struct {
    Integer Min, Max, Position;
    TqvProgressBarTextStyle Style;
    const char* Text;
  } cases[] = {{0, 100, 50, qvtsPercent, "50 %"},   {0, 100, 150, qvtsPercent, "100 %"},
               {0, 3, 2, qvtsPercent, "67 %"},      {0, 8, 1, qvtsPercent, "12 %"},
               {0, 8, 3, qvtsPercent, "38 %"},      {0, 100, -10, qvtsPercent, "-10 %"},
               {0, 100, 150, qvtsPosition, "150"},  {10, 10, 10, qvtsPercent, "0 %"}};
  for (const auto& c : cases) {
    TqvCustomProgressBarViewInfo info;
    info.Min = c.Min;
    info.Max = c.Max;
    info.Position = c.Position;
    info.ShowTextStyle = c.Style;
    EXPECT_EQ(info.GetBarText(), c.Text) << c.Position << " of " << c.Min << ".." << c.Max;
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing, through a view info on a bitmap

class ProgressBarDrawTest : public TEditorsTest {
 protected:
  static constexpr TColor kBackground = clWhite;

  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(120, 40);
    FFont = MakeOwned<TFont>();
    FFont->SetName("DejaVu Sans");
    FFont->SetSize(9);
    Info.Font = FFont.get();
    Info.TextColor = clBlack;
    Info.BackgroundColor = kBackground;
    Info.ShowText = false;
    Bar(Rect(0, 0, 100, 15));
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  void Bar(const TRect& R) {
    Info.BarArea = R;
    Info.BarRect = R;
  }
  void Draw(Integer APosition) {
    C().Clear();
    Info.Position = APosition;
    Info.CalculateBarGeometry();
    Info.DrawBar(C().Canvas());
  }
  TEditorsCanvas& C() { return *FCanvas; }
  COLORREF At(Integer x, Integer y) { return C().PixelRGB(x, y); }

  TqvCustomProgressBarViewInfo Info;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
  TOwned<TFont> FFont;
};

TEST_F(ProgressBarDrawTest, SolidFillsUpToThePosition) {
  Draw(50);
  EXPECT_EQ(At(49, 7), ColorToRGB(Info.BeginColor));
  EXPECT_EQ(At(50, 7), ColorToRGB(kBackground));
  EXPECT_TRUE(C().Is(110, 7, TEditorsCanvas::Paper)) << "nothing outside the bar area";
}

// LEDs are two thirds of the bar's thickness long with two-pixel gaps.
TEST_F(ProgressBarDrawTest, LedsTakeTwoThirdsOfTheThickness) {
  Info.BarStyle = qvbsLEDs;
  const struct {
    Integer Height, Led;
  } cases[] = {{15, 10}, {3, 2}};
  for (const auto& c : cases) {
    Bar(Rect(0, 0, 100, c.Height));
    Draw(50);
    const COLORREF led = ColorToRGB(Info.BeginColor), gap = ColorToRGB(kBackground);
    for (Integer x = 0; x < c.Led; ++x) EXPECT_EQ(At(x, 1), led) << c.Height << " " << x;
    EXPECT_EQ(At(c.Led, 1), gap) << c.Height;
    EXPECT_EQ(At(c.Led + 1, 1), gap) << c.Height;
    EXPECT_EQ(At(c.Led + 2, 1), led) << c.Height;
    EXPECT_EQ(At(60, 1), gap) << c.Height;
  }
}

TEST_F(ProgressBarDrawTest, LedsInTheOverloadZoneTakeTheOverloadColour) {
  Info.BarStyle = qvbsLEDs;
  Info.ShowOverload = true;
  Info.OverloadValue = 50;
  Draw(100);
  EXPECT_EQ(At(1, 5), ColorToRGB(Info.BeginColor));
  EXPECT_EQ(At(98, 5), ColorToRGB(Info.OverloadBeginColor));
}

// A position far beyond Max draws a full gradient whose colours stay between its two ends.
TEST_F(ProgressBarDrawTest, GradientNeverLeavesItsColours) {
  Info.BarStyle = qvbsGradient;
  Info.BeginColor = RGB(0, 0, 200);
  Info.EndColor = RGB(200, 100, 0);
  Info.ShowOverload = true;
  Info.OverloadValue = 10;
  Info.OverloadBeginColor = RGB(0, 200, 0);
  Info.OverloadEndColor = RGB(200, 200, 200);
  Draw(2000000000);
  auto between = [](COLORREF c, COLORREF a, COLORREF b) {
    auto in = [](BYTE v, BYTE x, BYTE y) { return v >= std::min(x, y) && v <= std::max(x, y); };
    return in(GetRValue(c), GetRValue(a), GetRValue(b)) && in(GetGValue(c), GetGValue(a), GetGValue(b)) &&
           in(GetBValue(c), GetBValue(a), GetBValue(b));
  };
  EXPECT_EQ(At(0, 7), RGB(0, 0, 200));
  for (Integer x = 0; x < 10; ++x) EXPECT_TRUE(between(At(x, 7), Info.BeginColor, Info.EndColor)) << x;
  for (Integer x = 10; x < 100; ++x)
    EXPECT_TRUE(between(At(x, 7), Info.OverloadBeginColor, Info.OverloadEndColor)) << x;
  EXPECT_EQ(At(99, 7), RGB(200, 200, 200));
}

TEST_F(ProgressBarDrawTest, BitmapFillsTheBarWithTheImage) {
  Info.BarStyle = qvbsBitmap;
  Info.ForegroundImage->SetPixelFormat(pf32bit);
  Info.ForegroundImage->SetSize(4, 4);
  Info.ForegroundImage->GetCanvas()->GetBrush()->SetColor(clLime);
  Info.ForegroundImage->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  Draw(50);
  EXPECT_EQ(C().Count(clLime, Rect(0, 0, 50, 15)), 50 * 15);
  EXPECT_EQ(C().Count(clLime, Rect(50, 0, 100, 15)), 0);
}

TEST_F(ProgressBarDrawTest, PeakAndBevel) {
  Info.ShowPeak = true;
  Info.PeakSize = 3;
  Info.PeakPosition = 80;
  Info.BarBevelOuter = qvbvLowered;
  Draw(40);
  EXPECT_EQ(C().Count(Info.PeakColor, Rect(80, 0, 83, 15)), 3 * 15);
  EXPECT_EQ(At(0, 7), ColorToRGB(clBtnShadow)) << "a sunken edge on the left";
  EXPECT_EQ(At(39, 7), ColorToRGB(clBtnHighlight)) << "and its light side on the right";
}

// Over the fill the text shows the inverse of the bar; beyond it, its own colour.
TEST_F(ProgressBarDrawTest, TextIsInvertedOverTheFill) {
  Info.ShowText = true;
  Info.BeginColor = RGB(0, 0, 128);
  Bar(Rect(0, 0, 100, 20));
  // Dark text pixels (anti-aliased text has few pure black ones).
  auto dark = [&](const TRect& R) {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) {
        const COLORREF c = At(x, y);
        n += GetRValue(c) < 0x50 && GetGValue(c) < 0x50 && GetBValue(c) < 0x50;
      }
    return n;
  };
  const COLORREF inverse = RGB(255, 255, 127);
  Draw(50);
  EXPECT_GT(C().Count(TColor(inverse), Rect(0, 0, 50, 20)), 0);
  EXPECT_EQ(dark(Rect(0, 0, 50, 20)), 0);
  EXPECT_GT(dark(Rect(50, 0, 100, 20)), 0);
  Info.SolidTextColor = true;
  Draw(50);
  EXPECT_GT(dark(Rect(0, 0, 50, 20)), 0);
  EXPECT_EQ(C().Count(TColor(inverse), Rect(0, 0, 50, 20)), 0);
}

// Over the fill the text stands out from the bar: inverted where the inverse differs enough in
// brightness, else black or white. At least a quarter of the pixels the text changes over the
// fill (anti-aliased edges count too) differ clearly in brightness from the bar under them.
struct TTextContrastCase {
  const char* Name;
  bool Themed;
  TColor Fill;
  Integer Position;
  friend void PrintTo(const TTextContrastCase& c, std::ostream* os) { *os << c.Name; }
};

class ProgressBarTextContrast : public ProgressBarDrawTest, public ::testing::WithParamInterface<TTextContrastCase> {};

TEST_P(ProgressBarTextContrast, TextOverTheFillIsReadable) {
  const TTextContrastCase& c = GetParam();
  Info.Themed = c.Themed;
  Info.BeginColor = c.Fill;
  Info.ShowTextStyle = qvtsPosition;
  Bar(Rect(0, 0, 100, 20));
  Draw(c.Position);
  std::vector<COLORREF> bar;
  for (Integer y = 0; y < 20; ++y)
    for (Integer x = 0; x < 100; ++x) bar.push_back(At(x, y));
  Info.ShowText = true;
  Draw(c.Position);
  auto brightness = [](COLORREF p) { return (299 * GetRValue(p) + 587 * GetGValue(p) + 114 * GetBValue(p)) / 1000; };
  // Only over the fill (a 100-pixel bar, Max 100).
  const Integer fillEnd = std::min<Integer>(c.Position, 100) - 2;
  Integer ink = 0, readable = 0;
  for (Integer y = 0; y < 20; ++y)
    for (Integer x = 0; x < fillEnd; ++x) {
      const Integer contrast = std::abs(brightness(At(x, y)) - brightness(bar[size_t(y * 100 + x)]));
      ink += contrast > 0;
      readable += contrast >= 96;
    }
  ASSERT_GT(ink, 0) << "text over the fill";
  EXPECT_GE(readable * 4, ink) << readable << " of " << ink << " text pixels stand out";
}

INSTANTIATE_TEST_SUITE_P(
    Fills, ProgressBarTextContrast,
    ::testing::Values(TTextContrastCase{"ThemedFarAboveMax", true, clNavy, 2000000000},
                      TTextContrastCase{"ThemedHalf", true, clNavy, 50},
                      TTextContrastCase{"MidGrey", false, TColor(RGB(128, 128, 128)), 100},
                      TTextContrastCase{"Navy", false, clNavy, 100},
                      TTextContrastCase{"Lime", false, clLime, 100}),
    [](const auto& info) { return std::string(info.param.Name); });

// Turned by 270 degrees the text runs from the top down: the thin "1" of "1888" is on top.
TEST_F(ProgressBarDrawTest, VerticalTextRunsDown) {
  Info.ShowText = true;
  Info.ShowTextStyle = qvtsPosition;
  Info.Max = 5000;
  Info.TextOrientation = qvorVertical;
  Info.Orientation = qvorVertical;
  Bar(Rect(0, 0, 24, 40));
  Draw(1888);
  TRect text{};
  Integer ink = 0;
  auto dark = [&](Integer x, Integer y) { return GetRValue(At(x, y)) < 0x80 && GetGValue(At(x, y)) < 0x80; };
  for (Integer y = 0; y < 40; ++y)
    for (Integer x = 0; x < 24; ++x)
      if (dark(x, y)) {
        ++ink;
        text = text.IsEmpty() ? Rect(x, y, x + 1, y + 1)
                              : TRect{std::min(text.Left, x), std::min(text.Top, y), std::max(text.Right, x + 1),
                                      std::max(text.Bottom, y + 1)};
      }
  ASSERT_GT(ink, 0);
  EXPECT_GT(text.Height(), text.Width());
  const Integer quarter = text.Height() / 4;
  Integer top = 0, bottom = 0;
  for (Integer y = text.Top; y < text.Top + quarter; ++y)
    for (Integer x = 0; x < 24; ++x) top += dark(x, y);
  for (Integer y = text.Bottom - quarter; y < text.Bottom; ++y)
    for (Integer x = 0; x < 24; ++x) bottom += dark(x, y);
  EXPECT_LT(top, bottom);
}

TEST_F(ProgressBarDrawTest, TransparentBarKeepsWhatLiesUnderIt) {
  Info.TransparentBar = true;
  Draw(50);
  EXPECT_TRUE(C().Is(70, 7, TEditorsCanvas::Paper));
  EXPECT_EQ(At(10, 7), ColorToRGB(Info.BeginColor));
}

TEST_F(ProgressBarDrawTest, ThemedBarDrawsChunks) {
  Info.Themed = true;
  Draw(50);
  // The theme's chunks are green; the rest is the theme's bar.
  const COLORREF fill = At(20, 7), empty = At(80, 7);
  EXPECT_GT(GetGValue(fill), GetRValue(fill));
  EXPECT_NE(fill, empty);
  EXPECT_NE(empty, ColorToRGB(Info.BeginColor));
}

// ---------------------------------------------------------------------------------------------
// The control

class ProgressBarControlTest : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    FForm->SetColor(clYellow);
    Bar = New<TqvProgressBar>(FForm);
    Bar->SetParent(FForm);
    Bar->SetAutoSize(false);
    Bar->SetBounds(10, 40, 120, 24);
    Bar->GetProperties()->SetShowText(false);
  }
  TqvProgressBar* Bar = nullptr;
};

TEST_F(ProgressBarControlTest, IsMadeWithItsDefaults) {
  auto* fresh = New<TqvProgressBar>(FForm);
  EXPECT_EQ(fresh->GetWidth(), 121);
  EXPECT_EQ(fresh->GetPosition(), 0);
  EXPECT_TRUE(fresh->GetParentColor());
  EXPECT_EQ(fresh->GetControlStyle() & (csClickEvents | csDoubleClicks | csCaptureMouse), 0u);
}

TEST_F(ProgressBarControlTest, PositionIsClampedAndBecomesTheEditValue) {
  Bar->SetPosition(150);
  EXPECT_EQ(Bar->GetPosition(), 100);
  EXPECT_EQ(Bar->GetEditValue().AsInteger(), 100);
  EXPECT_EQ(Bar->GetProperties()->GetCurrentPosition(), 100);
  Bar->SetPosition(-3);
  EXPECT_EQ(Bar->GetPosition(), 0);
  // An edit value is shown as it is, only the drawing is held to the bar.
  Bar->SetEditValue(500);
  EXPECT_EQ(Bar->GetPosition(), 500);
}

TEST_F(ProgressBarControlTest, PeakIsHeldPerControlNotInTheSharedProperties) {
  Bar->GetProperties()->SetShowPeak(true);
  auto* other = New<TqvProgressBar>(FForm);
  other->SetParent(FForm);
  other->SetBounds(10, 80, 120, 24);
  other->GetProperties()->Assign(Bar->GetProperties());
  ShowForm();
  Bar->SetPosition(70);
  Bar->SetPosition(40);
  Pump();
  EXPECT_EQ(Bar->GetPeakPosition(), 70);
  EXPECT_EQ(Bar->GetProgressViewInfo()->PeakPosition, 70);
  EXPECT_EQ(Bar->GetProperties()->GetPeakValue(), 0);
  EXPECT_EQ(other->GetPeakPosition(), 0);
  // A new peak value starts the hold again.
  Bar->GetProperties()->SetPeakValue(10);
  EXPECT_EQ(Bar->GetPeakPosition(), 40);
}

TEST_F(ProgressBarControlTest, StandaloneBarTakesNoFocus) {
  ShowForm();
  EXPECT_FALSE(Bar->CanFocus());
  Click(Bar, Point(60, 12));
  EXPECT_FALSE(Bar->Focused());
}

TEST_F(ProgressBarControlTest, TransparentBarShowsItsParentsBackground) {
  Bar->GetProperties()->SetTransparent(true);
  Bar->SetPosition(25);
  ShowForm();
  Bar->Repaint();
  Pump();
  EXPECT_EQ(ScreenPixelOf(Bar, Point(100, 12)), ColorToRGB(clYellow));
  EXPECT_EQ(ScreenPixelOf(Bar, Point(10, 12)), ColorToRGB(Bar->GetProperties()->GetBeginColor()));
}

TEST_F(ProgressBarControlTest, FarAbovePositionPaintsAFullBar) {
  ShowForm();
  Bar->SetEditValue(2000000000);
  Bar->Repaint();
  Pump();
  const TRect bar = Bar->GetProgressViewInfo()->BarRect;
  EXPECT_EQ(Bar->GetProgressViewInfo()->FillRect, bar);
  EXPECT_EQ(ScreenPixelOf(Bar, Point(bar.Right - 1, 12)), ColorToRGB(Bar->GetProperties()->GetBeginColor()));
}

}  // namespace
