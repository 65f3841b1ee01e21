// The month calendar under the pinned clock and both pinned locales: the 42-cell grid and its
// week columns, the shown month following the selection, keys, clicks and drag selection, the
// arrow auto-repeat on the fake clock, the null date, navigation kept inside years 1..9999, and
// the drop-down calendar's keys.
#include "core/qvFormats.h"
#include "editors/qvCalendar.h"
#include "lookandfeel/qvButtons.h"
#include "lookandfeel/qvControlsTestSupport.h"
#include "platform/rtl/DateTime.h"
#include "qvExtEditorsTestSupport.h"
#include "qvExtendedEditorsTestSupport.h"

namespace {

std::string DateText(TDateTime date) {
  if (date == NullDate) return "null";
  return std::string(FormatDateTime("yyyy-mm-dd", date));
}

class TqvCalendarTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FLocaleAndClock = std::make_unique<TTestLocaleAndClock>();
  }
  void TearDown() override {
    TqvControlsTest::TearDown();
    FLocaleAndClock.reset();
  }
  void UseLocale(TTestLocale l) { FLocaleAndClock->Use(l); }
  template <class T = TqvCustomCalendar>
  T* NewCalendar() {
    FForm = NewForm(400, 300);
    auto* c = Add<T>(FForm, Bounds(10, 10, 10, 10));
    Show(FForm);
    c->SetFocus();
    Pump();
    return c;
  }
  TPoint CellPoint(TqvCustomCalendar* c, TDateTime date) {
    const Integer i = Integer(date - c->GetFirstVisibleDate());
    return RectCentre(c->GetCellRect(i / 7, i % 7));
  }

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

 private:
  std::unique_ptr<TTestLocaleAndClock> FLocaleAndClock;
};

TEST_F(TqvCalendarTest, StartsOnTodayInTodaysMonth) {
  auto* c = NewCalendar();
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-18");
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-03-01");
  EXPECT_EQ(DateText(c->GetLastDate()), "2026-03-31");
}

// ---------------------------------------------------------------------------------------------
// The grid

struct TGridCase {
  TTestLocale Locale;
  Byte FirstDayOfWeek;  // the locale's value: 0 Monday .. 6 Sunday
  TDateTime Month;
  const char* FirstVisible;
  const char* LastVisible;
};

std::ostream& operator<<(std::ostream& os, const TGridCase& c) {
  return os << LocaleName(c.Locale) << " first day " << int(c.FirstDayOfWeek) << " " << DateText(c.Month);
}

class TqvCalendarGridTest : public TqvCalendarTest, public ::testing::WithParamInterface<TGridCase> {};

TEST_P(TqvCalendarGridTest, ShowsFortyTwoCellsFromTheFirstWeekday) {
  const TGridCase& g = GetParam();
  TFormatSettings fs = LocaleSettings(g.Locale);
  fs.FirstDayOfWeek = g.FirstDayOfWeek;
  TFormatSettingsScope scope(fs);
  GetFormatController()->Update();
  auto* c = NewCalendar();
  c->SetFirstDate(g.Month + 9);
  EXPECT_EQ(DateText(c->GetFirstDate()), DateText(g.Month));
  EXPECT_EQ(DateText(c->GetFirstVisibleDate()), g.FirstVisible);
  EXPECT_EQ(DateText(c->GetLastVisibleDate()), g.LastVisible);
  EXPECT_EQ(c->GetLastVisibleDate() - c->GetFirstVisibleDate(), 41);
  EXPECT_EQ(c->ColumnOfDate(c->GetFirstVisibleDate()), 0);
}

// 1 March 2026 is a Sunday, 1 June 2026 a Monday, 1 August 2026 a Saturday.
INSTANTIATE_TEST_SUITE_P(
    Months, TqvCalendarGridTest,
    ::testing::Values(TGridCase{lcEnglishUS, 6, D(2026, 3, 1), "2026-02-22", "2026-04-04"},  // starts on Sunday
                      TGridCase{lcEnglishUS, 6, D(2026, 6, 1), "2026-05-31", "2026-07-11"},
                      TGridCase{lcEnglishUS, 0, D(2026, 3, 1), "2026-02-23", "2026-04-05"},
                      TGridCase{lcGerman, 0, D(2026, 6, 1), "2026-05-25", "2026-07-05"},  // starts on Monday
                      TGridCase{lcGerman, 0, D(2026, 8, 1), "2026-07-27", "2026-09-06"},
                      TGridCase{lcGerman, 5, D(2026, 8, 1), "2026-07-25", "2026-09-04"},  // Saturday
                      TGridCase{lcGerman, 5, D(2026, 3, 1), "2026-02-28", "2026-04-10"},
                      TGridCase{lcEnglishUS, 6, D(2024, 2, 1), "2024-01-28", "2024-03-09"}));

TEST_F(TqvCalendarTest, GermanWeeksStartOnMonday) {
  UseLocale(lcGerman);
  auto* c = NewCalendar();
  EXPECT_EQ(c->ColumnOfDate(D(2026, 3, 16)), 0);  // Monday
  EXPECT_EQ(c->ColumnOfDate(D(2026, 3, 22)), 6);  // Sunday
  UseLocale(lcEnglishUS);
  EXPECT_EQ(c->ColumnOfDate(D(2026, 3, 22)), 0);
  EXPECT_EQ(c->ColumnOfDate(D(2026, 3, 21)), 6);
}

TEST_F(TqvCalendarTest, DateAtPointIsTheCellsDateAndNullElsewhere) {
  auto* c = NewCalendar();
  EXPECT_EQ(DateText(c->DateAtPoint(RectCentre(c->GetCellRect(0, 0)))), "2026-02-22");
  EXPECT_EQ(DateText(c->DateAtPoint(RectCentre(c->GetCellRect(5, 6)))), "2026-04-04");
  EXPECT_EQ(DateText(c->DateAtPoint(RectCentre(c->GetCellRect(2, 3)))), "2026-03-11");
  EXPECT_EQ(c->DateAtPoint(RectCentre(c->GetTitleRect())), NullDate);
  EXPECT_EQ(c->DateAtPoint({1, c->GetCellRect(2, 0).Top}), NullDate);  // the side margin
  EXPECT_EQ(c->DateAtPoint({c->GetCellRect(5, 3).Left, c->GetCellRect(5, 3).Bottom}), NullDate);
  EXPECT_EQ(c->DateAtPoint({-5, -5}), NullDate);
}

TEST_F(TqvCalendarTest, SizeFollowsTheFontAndTheButtons) {
  auto* c = NewCalendar();
  TqvCanvas* canvas = c->GetCanvas();
  canvas->SetFont(c->GetFont());
  const Integer w0 = canvas->TextWidth("0");
  EXPECT_EQ(c->GetWidth(), 25 * w0);
  const Integer withButtons = c->GetHeight();
  c->SetDateButtons(0);
  Pump();
  EXPECT_LT(c->GetHeight(), withButtons);
  c->GetFont()->SetSize(14);
  Pump();
  canvas->SetFont(c->GetFont());
  EXPECT_EQ(c->GetWidth(), 25 * canvas->TextWidth("0"));
  EXPECT_EQ(c->GetColumnWidth(), 3 * canvas->TextWidth("0"));
}

// The header is a pixel higher when flat, the grid a pixel lower when not: either way the six
// weeks end one pixel above the bottom.
TEST_F(TqvCalendarTest, GridFitsAfterTheHeaderStyleChanges) {
  auto* c = NewCalendar();
  c->SetDateButtons(0);
  for (bool flat : {false, true, false}) {
    c->SetFlat(flat);
    Pump();
    EXPECT_EQ(c->GetCellRect(5, 6).Bottom + 1, c->GetClientHeight()) << "flat " << flat;
    EXPECT_EQ(c->GetArrowRect(false).Bottom, c->GetHeaderHeight() - 2);
  }
}

TEST_F(TqvCalendarTest, EveryPixelIsPaintedWithEitherHeaderStyle) {
  auto* c = NewCalendar();
  for (bool flat : {false, true}) {
    c->SetDateButtons(flat ? DateButtonBit(btnToday) : 0);
    c->SetFlat(flat);
    Pump();
    // What was shown before stays where the calendar does not paint.
    HDC dc = GetDC(c->GetHandle());
    HBRUSH soil = CreateSolidBrush(Headless::kUnpaintedColor);
    const TRect all = c->GetClientRect();
    FillRect(dc, &all, soil);
    DeleteObject(soil);
    ReleaseDC(c->GetHandle(), dc);
    c->Invalidate();
    Pump();
    Integer unpainted = 0;
    for (Integer y = 0; y < c->GetClientHeight(); ++y)
      for (Integer x = 0; x < c->GetClientWidth(); ++x)
        unpainted += Pixel(c, {x, y}) == RGBOf(static_cast<TColor>(Headless::kUnpaintedColor));
    EXPECT_EQ(unpainted, 0) << "flat " << flat;
  }
}

// ---------------------------------------------------------------------------------------------
// Selection and the shown month

struct TSelectCase {
  TDateTime Date;
  const char* ShownMonth;
};

std::ostream& operator<<(std::ostream& os, const TSelectCase& c) { return os << DateText(c.Date); }

class TqvCalendarSelectTest : public TqvCalendarTest, public ::testing::WithParamInterface<TSelectCase> {};

// March 2026 shows 22 February .. 4 April (US weeks).
TEST_P(TqvCalendarSelectTest, ShownMonthFollowsTheSelection) {
  auto* c = NewCalendar();
  c->SetSelectDate(GetParam().Date);
  EXPECT_EQ(DateText(c->GetSelectDate()), DateText(GetParam().Date));
  EXPECT_EQ(DateText(c->GetFirstDate()), GetParam().ShownMonth);
}

INSTANTIATE_TEST_SUITE_P(Dates, TqvCalendarSelectTest,
                         ::testing::Values(TSelectCase{D(2026, 3, 2), "2026-03-01"},
                                           TSelectCase{D(2026, 2, 23), "2026-03-01"},  // a leading cell
                                           TSelectCase{D(2026, 4, 3), "2026-03-01"},   // a trailing cell
                                           TSelectCase{D(2026, 2, 5), "2026-01-01"},   // in January's grid
                                           TSelectCase{D(2026, 2, 10), "2026-02-01"},  // beyond it
                                           TSelectCase{D(2026, 4, 5), "2026-04-01"},
                                           TSelectCase{D(2031, 7, 9), "2031-07-01"},
                                           TSelectCase{D(1899, 12, 30), "1899-12-01"},
                                           TSelectCase{D(1850, 6, 15) + 0.5, "1850-06-01"}));

struct TCalendarKeyCase {
  const char* Name;
  TTestLocale Locale;
  TDateTime From;
  Word Key;
  TShiftState Shift;
  const char* To;
};

std::ostream& operator<<(std::ostream& os, const TCalendarKeyCase& c) {
  return os << c.Name << " " << LocaleName(c.Locale);
}

class TqvCalendarKeyTest : public TqvCalendarTest, public ::testing::WithParamInterface<TCalendarKeyCase> {};

TEST_P(TqvCalendarKeyTest, KeyMovesTheSelection) {
  const TCalendarKeyCase& k = GetParam();
  UseLocale(k.Locale);
  auto* c = NewCalendar();
  c->SetSelectDate(k.From);
  unsigned shift = skNone;
  if (k.Shift & ssCtrl) shift |= skCtrl;
  if (k.Shift & ssAlt) shift |= skAlt;
  Headless::PressKey(BYTE(k.Key), shift);
  Pump();
  EXPECT_EQ(DateText(c->GetSelectDate()), k.To);
  EXPECT_LE(c->GetFirstVisibleDate(), c->GetSelectDate());
  EXPECT_GE(c->GetLastVisibleDate(), TDateTime(Trunc(c->GetSelectDate())));
}

// 18 March 2026 is a Wednesday.
INSTANTIATE_TEST_SUITE_P(
    Keys, TqvCalendarKeyTest,
    ::testing::Values(TCalendarKeyCase{"Left", lcEnglishUS, D(2026, 3, 1), VK_LEFT, 0, "2026-02-28"},
                      TCalendarKeyCase{"Right", lcEnglishUS, D(2026, 3, 31), VK_RIGHT, 0, "2026-04-01"},
                      TCalendarKeyCase{"Up", lcEnglishUS, D(2026, 3, 18), VK_UP, 0, "2026-03-11"},
                      TCalendarKeyCase{"Down", lcEnglishUS, D(2026, 3, 28), VK_DOWN, 0, "2026-04-04"},
                      TCalendarKeyCase{"AltUp", lcEnglishUS, D(2026, 3, 18), VK_UP, ssAlt, "2026-03-18"},
                      TCalendarKeyCase{"Home", lcEnglishUS, D(2026, 3, 18), VK_HOME, 0, "2026-03-15"},
                      TCalendarKeyCase{"Home", lcGerman, D(2026, 3, 18), VK_HOME, 0, "2026-03-16"},
                      TCalendarKeyCase{"End", lcEnglishUS, D(2026, 3, 18), VK_END, 0, "2026-03-21"},
                      TCalendarKeyCase{"End", lcGerman, D(2026, 3, 18), VK_END, 0, "2026-03-22"},
                      TCalendarKeyCase{"CtrlHome", lcEnglishUS, D(2026, 3, 18), VK_HOME, ssCtrl, "2026-03-01"},
                      TCalendarKeyCase{"CtrlEnd", lcGerman, D(2026, 2, 3), VK_END, ssCtrl, "2026-02-28"},
                      TCalendarKeyCase{"PageDown", lcEnglishUS, D(2026, 1, 31), VK_NEXT, 0, "2026-02-28"},
                      TCalendarKeyCase{"PageDownLeap", lcGerman, D(2024, 1, 31), VK_NEXT, 0, "2024-02-29"},
                      TCalendarKeyCase{"PageUp", lcEnglishUS, D(2026, 3, 31), VK_PRIOR, 0, "2026-02-28"},
                      TCalendarKeyCase{"PageUpYear", lcGerman, D(2026, 1, 15), VK_PRIOR, 0, "2025-12-15"}));

TEST_F(TqvCalendarTest, NullDateIsOnlyStoredAndKeysStartFromToday) {
  auto* c = NewCalendar();
  c->SetFirstDate(D(2025, 7, 4));
  c->SetSelectDate(NullDate);
  EXPECT_EQ(c->GetSelectDate(), NullDate);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2025-07-01");
  Headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-19");
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-03-01");
}

TEST_F(TqvCalendarTest, NullSelectionHighlightsToday) {
  auto* c = NewCalendar();
  c->SetSelectDate(D(2026, 3, 5));
  c->SetSelectDate(NullDate);
  c->Repaint();
  Pump();
  // The highlight fills the cell's middle column left of the day number.
  const TRect today = c->GetCellRect(3, 3);  // 18 March
  const TRect fifth = c->GetCellRect(1, 4);
  EXPECT_EQ(Pixel(c, {today.Left + 2, today.Top + 2}), RGBOf(clHighlight));
  EXPECT_NE(Pixel(c, {fifth.Left + 2, fifth.Top + 2}), RGBOf(clHighlight));
}

// ---------------------------------------------------------------------------------------------
// Years 1 .. 9999

TEST_F(TqvCalendarTest, NavigationStaysInsideTheRepresentableYears) {
  auto* c = NewCalendar();
  c->SetFirstDate(D(9999, 12, 20));
  EXPECT_EQ(DateText(c->GetFirstDate()), "9999-11-01");
  c->SetFirstDate(1e9);
  EXPECT_EQ(DateText(c->GetFirstDate()), "9999-11-01");
  c->SetSelectDate(D(9999, 12, 31));
  EXPECT_LE(c->GetSelectDate(), c->GetLastVisibleDate());
  Headless::PressKey(VK_NEXT);
  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_LE(c->GetSelectDate(), D(9999, 12, 31));
  Click(c, RectCentre(c->GetArrowRect(true)));
  EXPECT_EQ(DateText(c->GetFirstDate()), "9999-11-01");

  c->SetFirstDate(-1e9);
  EXPECT_EQ(DateText(c->GetFirstDate()), "0001-02-01");
  c->SetSelectDate(D(1, 1, 1));
  EXPECT_GE(c->GetSelectDate(), c->GetFirstVisibleDate());
  Headless::PressKey(VK_PRIOR);
  Headless::PressKey(VK_UP);
  Pump();
  EXPECT_GE(c->GetSelectDate(), D(1, 1, 1));
  Down(c, RectCentre(c->GetArrowRect(false)));
  Wait(1000);
  Up();
  EXPECT_EQ(DateText(c->GetFirstDate()), "0001-02-01");
  EXPECT_NO_THROW({
    c->Repaint();
    Pump();
  });
}

// ---------------------------------------------------------------------------------------------
// Mouse

TEST_F(TqvCalendarTest, ClickOnADaySelectsItAndReportsIt) {
  auto* c = NewCalendar();
  Integer changes = 0;
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  Click(c, CellPoint(c, D(2026, 3, 26)));
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-26");
  EXPECT_EQ(changes, 1);
  Click(c, CellPoint(c, D(2026, 4, 2)));  // a trailing cell keeps the month
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-03-01");
  EXPECT_EQ(changes, 2);
}

TEST_F(TqvCalendarTest, DraggingSelectsWithoutReportingUntilRelease) {
  auto* c = NewCalendar();
  Integer changes = 0;
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  Down(c, CellPoint(c, D(2026, 3, 3)));
  MoveTo(c, CellPoint(c, D(2026, 3, 12)));
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-12");
  MoveTo(c, RectCentre(c->GetTitleRect()));
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-12");
  MoveTo(c, CellPoint(c, D(2026, 3, 20)));
  EXPECT_EQ(changes, 0);
  Up();
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-20");
  EXPECT_EQ(changes, 1);
}

TEST_F(TqvCalendarTest, ReleaseThatCompletesADoubleClickIsNotReported) {
  auto* c = NewCalendar();
  Integer changes = 0;
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  const TPoint p = c->ClientToScreen(CellPoint(c, D(2026, 3, 9)));
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-09");
}

TEST_F(TqvCalendarTest, ArrowRepeatsEveryTickWhileThePointerIsOnIt) {
  auto* c = NewCalendar();
  Integer changes = 0;
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  Down(c, RectCentre(c->GetArrowRect(true)));
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-04-01");
  EXPECT_TRUE(c->IsArrowRepeating());
  Wait(199);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-04-01");
  Wait(1);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-05-01");
  Wait(200);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-06-01");
  MoveTo(c, RectCentre(c->GetTitleRect()));
  Wait(400);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-06-01");
  MoveTo(c, RectCentre(c->GetArrowRect(true)));
  Wait(200);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-07-01");
  Up();
  EXPECT_FALSE(c->IsArrowRepeating());
  Wait(600);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-07-01");
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-18");
  EXPECT_EQ(changes, 0);
}

TEST_F(TqvCalendarTest, LeftArrowGoesBackAcrossTheYear) {
  auto* c = NewCalendar();
  c->SetFirstDate(D(2026, 2, 1));
  Down(c, RectCentre(c->GetArrowRect(false)));
  Wait(200);
  Up();
  EXPECT_EQ(DateText(c->GetFirstDate()), "2025-12-01");
}

// ---------------------------------------------------------------------------------------------
// Drop-down calendar

struct TPopupKeyCase {
  const char* Name;
  BYTE Key;
  unsigned Shift;
  Integer Hides;
  Integer Changes;
};

std::ostream& operator<<(std::ostream& os, const TPopupKeyCase& c) { return os << c.Name; }

class TqvPopupCalendarKeyTest : public TqvCalendarTest, public ::testing::WithParamInterface<TPopupKeyCase> {};

TEST_P(TqvPopupCalendarKeyTest, KeyClosesOrChooses) {
  const TPopupKeyCase& k = GetParam();
  auto* c = NewCalendar<TqvPopupCalendar>();
  Integer hides = 0, changes = 0;
  c->OnHidePopup = [&](TObject*) { ++hides; };
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  Headless::PressKey(k.Key, k.Shift);
  Pump();
  EXPECT_EQ(hides, k.Hides);
  EXPECT_EQ(changes, k.Changes);
  EXPECT_EQ(DateText(c->GetSelectDate()), "2026-03-18");
}

INSTANTIATE_TEST_SUITE_P(Keys, TqvPopupCalendarKeyTest,
                         ::testing::Values(TPopupKeyCase{"Enter", VK_RETURN, skNone, 1, 1},
                                           TPopupKeyCase{"Escape", VK_ESCAPE, skNone, 1, 0},
                                           TPopupKeyCase{"AltUp", VK_UP, skAlt, 1, 0},
                                           TPopupKeyCase{"AltDown", VK_DOWN, skAlt, 1, 0},
                                           TPopupKeyCase{"F4", VK_F4, skNone, 1, 0},
                                           TPopupKeyCase{"AltF4", VK_F4, skAlt, 0, 0},
                                           TPopupKeyCase{"Tab", VK_TAB, skNone, 0, 0}));

TEST_F(TqvCalendarTest, EnterWhileTheMonthListShowsChoosesNothing) {
  auto* c = NewCalendar<TqvPopupCalendar>();
  Integer hides = 0, changes = 0;
  c->OnHidePopup = [&](TObject*) { ++hides; };
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  Down(c, RectCentre(c->GetTitleRect()));
  ASSERT_TRUE(c->GetMonthListBox()->IsOpen());
  Headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(hides, 0);
  EXPECT_EQ(changes, 0);
  Up();
}

TEST_F(TqvCalendarTest, PopupCalendarClickHidesAndChooses) {
  auto* c = NewCalendar<TqvPopupCalendar>();
  std::vector<std::string> log;
  c->OnHidePopup = [&](TObject*) { log.push_back("hide"); };
  c->OnDateTimeChanged = [&](TObject*) { log.push_back("chosen " + DateText(c->GetSelectDate())); };
  Click(c, CellPoint(c, D(2026, 3, 4)));
  EXPECT_EQ(log, (std::vector<std::string>{"hide", "chosen 2026-03-04"}));
}

// ---------------------------------------------------------------------------------------------
// Month list

class TqvMonthListTest : public TqvCalendarTest {
 protected:
  void SetUp() override {
    TqvCalendarTest::SetUp();
    FCalendar = NewCalendar();
    FList = FCalendar->GetMonthListBox();
    Down(FCalendar, RectCentre(FCalendar->GetTitleRect()));
  }
  // A point of the list: the middle of an item, or a distance in pixels above (negative) or
  // below the list.
  void MoveToItem(Integer AIndex) {
    const Integer top = FList->GetBorderWidth(1);
    MoveOnList({FList->GetClientWidth() / 2, top + AIndex * FList->GetItemHeight() + FList->GetItemHeight() / 2});
  }
  void MoveOnList(TPoint p) {
    const TPoint s = FList->ClientToScreen(p);
    Headless::MoveMouse(s.X, s.Y);
    Pump();
  }
  void MoveOutside(Integer ADistance) {
    const Integer y = ADistance < 0 ? ADistance : FList->GetClientHeight() - 1 + ADistance;
    MoveOnList({FList->GetClientWidth() / 2, y});
  }
  std::string Top() const { return DateText(FList->GetTopDate()); }

  TqvCustomCalendar* FCalendar = nullptr;
  TMonthListBox* FList = nullptr;
};

TEST_F(TqvMonthListTest, OpensCentredOnTheTitleWithTheShownMonthInTheMiddle) {
  ASSERT_TRUE(FList->IsOpen());
  EXPECT_EQ(Top(), "2025-12-01");
  EXPECT_EQ(FList->GetItemIndex(), 3);
  EXPECT_EQ(FList->GetItemHeight(), FCalendar->GetHeaderHeight() - 2);
  EXPECT_EQ(FList->GetWidth(), 2 + 6 * FCalendar->GetColumnWidth());
  EXPECT_EQ(FList->GetHeight(), 2 + 7 * FList->GetItemHeight());
  const TRect title = FCalendar->GetTitleRect();
  const TPoint centre = FCalendar->ClientToScreen({(title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2});
  EXPECT_LE(std::abs(FList->GetLeft() + FList->GetWidth() / 2 - centre.X), 1);
  EXPECT_LE(std::abs(FList->GetTop() + FList->GetHeight() / 2 - centre.Y), 1);
}

TEST_F(TqvMonthListTest, ReleaseOnAnItemShowsThatMonth) {
  MoveToItem(5);
  EXPECT_EQ(FList->GetItemIndex(), 5);
  Up();
  EXPECT_FALSE(FList->IsOpen());
  EXPECT_EQ(DateText(FCalendar->GetFirstDate()), "2026-05-01");
  EXPECT_EQ(DateText(FCalendar->GetSelectDate()), "2026-03-18");
}

TEST_F(TqvMonthListTest, ReleaseBesideTheListKeepsTheMonth) {
  MoveOnList({-10, FList->GetClientHeight() / 2});
  EXPECT_EQ(FList->GetItemIndex(), -1);
  EXPECT_FALSE(FList->IsScrolling());
  Up();
  EXPECT_FALSE(FList->IsOpen());
  EXPECT_EQ(DateText(FCalendar->GetFirstDate()), "2026-03-01");
}

struct TScrollSpeedCase {
  Integer DistanceInItems;
  Cardinal Interval;
};

class TqvMonthListSpeedTest : public TqvMonthListTest, public ::testing::WithParamInterface<TScrollSpeedCase> {};

TEST_P(TqvMonthListSpeedTest, DistanceSetsTheInterval) {
  const Integer h = FList->GetItemHeight();
  MoveOutside(std::max(1, GetParam().DistanceInItems * h));
  EXPECT_TRUE(FList->IsScrolling());
  EXPECT_EQ(FList->GetScrollInterval(), GetParam().Interval);
  MoveOutside(-std::max(1, GetParam().DistanceInItems * h));
  EXPECT_EQ(FList->GetScrollInterval(), GetParam().Interval);
}

INSTANTIATE_TEST_SUITE_P(Distances, TqvMonthListSpeedTest,
                         ::testing::Values(TScrollSpeedCase{0, 500}, TScrollSpeedCase{1, 250}, TScrollSpeedCase{2, 100},
                                           TScrollSpeedCase{3, 50}, TScrollSpeedCase{9, 50}));

TEST_F(TqvMonthListTest, HoldingBelowScrollsAMonthATick) {
  MoveOutside(3 * FList->GetItemHeight());
  Wait(50);
  EXPECT_EQ(Top(), "2026-01-01");
  Wait(50);
  Wait(50);
  EXPECT_EQ(Top(), "2026-03-01");
  MoveToItem(0);
  EXPECT_FALSE(FList->IsScrolling());
  Wait(200);
  EXPECT_EQ(Top(), "2026-03-01");
  Up();
  EXPECT_EQ(DateText(FCalendar->GetFirstDate()), "2026-03-01");
}

TEST_F(TqvMonthListTest, HoldingAboveScrollsBack) {
  MoveOutside(-1);
  Wait(500);
  EXPECT_EQ(Top(), "2025-11-01");
  MoveToItem(6);
  Up();
  EXPECT_EQ(DateText(FCalendar->GetFirstDate()), "2026-05-01");
}

TEST_F(TqvMonthListTest, ScrollingStopsAtTheLastYears) {
  MoveOutside(5 * FList->GetItemHeight());
  FList->SetTopDate(EncodeDate(9999, 1, 1));
  for (int i = 0; i < 20; ++i) Wait(50);
  EXPECT_EQ(Top(), "9999-06-01");
  MoveToItem(6);
  Up();
  EXPECT_EQ(DateText(FCalendar->GetFirstDate()), "9999-11-01");
}

TEST_F(TqvMonthListTest, HidePopupClosesTheList) {
  MoveOutside(-40);
  FCalendar->HidePopup();
  EXPECT_FALSE(FList->IsOpen());
  EXPECT_FALSE(FList->IsScrolling());
  Up();
}

// ---------------------------------------------------------------------------------------------
// Today and Clear

TEST_F(TqvCalendarTest, TodayButtonSelectsTodayAndReportsIt) {
  auto* c = NewCalendar<TqvPopupCalendar>();
  std::vector<std::string> log;
  c->OnHidePopup = [&](TObject*) { log.push_back("hide"); };
  c->OnDateTimeChanged = [&](TObject*) { log.push_back("chosen " + DateText(c->GetSelectDate())); };
  c->SetSelectDate(D(2024, 5, 5));
  EXPECT_EQ(c->GetTodayButton()->GetCaption(), "Today");
  Click(c->GetTodayButton(), {5, 5});
  EXPECT_EQ(log, (std::vector<std::string>{"chosen 2026-03-18", "hide"}));
  EXPECT_EQ(DateText(c->GetFirstDate()), "2026-03-01");
}

TEST_F(TqvCalendarTest, ClearButtonSelectsTheNullDateAndKeepsTheMonth) {
  auto* c = NewCalendar();
  Integer changes = 0;
  c->OnDateTimeChanged = [&](TObject*) { ++changes; };
  c->SetSelectDate(D(2025, 9, 9));
  EXPECT_EQ(c->GetClearButton()->GetCaption(), "Clear");
  Click(c->GetClearButton(), {5, 5});
  EXPECT_EQ(c->GetSelectDate(), NullDate);
  EXPECT_EQ(DateText(c->GetFirstDate()), "2025-09-01");
  EXPECT_EQ(changes, 1);
}

struct TButtonsCase {
  TDateButtons Buttons;
  bool Today, Clear;
};

class TqvCalendarButtonsTest : public TqvCalendarTest, public ::testing::WithParamInterface<TButtonsCase> {};

TEST_P(TqvCalendarButtonsTest, VisibleButtonsAreSpreadEvenlyBelowTheGrid) {
  const TButtonsCase& b = GetParam();
  auto* c = NewCalendar();
  c->SetDateButtons(b.Buttons);
  Pump();
  TqvButton* today = c->GetTodayButton();
  TqvButton* clear = c->GetClearButton();
  EXPECT_EQ(today->GetVisible(), b.Today);
  EXPECT_EQ(clear->GetVisible(), b.Clear);
  const Integer width = c->GetClientWidth(), w = today->GetWidth();
  EXPECT_EQ(clear->GetWidth(), w);
  const Integer gridBottom = c->GetCellRect(5, 0).Bottom;
  for (TqvButton* button : {today, clear}) {
    if (!button->GetVisible()) continue;
    EXPECT_GT(button->GetTop(), gridBottom);
    EXPECT_LE(button->GetTop() + button->GetHeight(), c->GetClientHeight());
  }
  if (b.Today && b.Clear) {
    const Integer gap = (width - 2 * w) / 3;
    EXPECT_LE(std::abs(today->GetLeft() - gap), 1);
    EXPECT_LE(std::abs(clear->GetLeft() - (width - w - gap)), 1);
  } else if (b.Today || b.Clear) {
    TqvButton* shown = b.Today ? today : clear;
    EXPECT_LE(std::abs(shown->GetLeft() - (width - w) / 2), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, TqvCalendarButtonsTest,
                         ::testing::Values(TButtonsCase{DefaultDateButtons, true, true},
                                           TButtonsCase{DateButtonBit(btnToday), true, false},
                                           TButtonsCase{DateButtonBit(btnClear), false, true}, TButtonsCase{0, false, false}));

}  // namespace
