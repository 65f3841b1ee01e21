// The time editor under both pinned locales and the pinned clock: formats and masks (the
// a.m./p.m. part sized by the longer text, none for empty texts), display texts (a value that is
// no time is never shown as the current time), stepping by the part at the caret as a table, typed
// characters by part, the keys of the a.m./p.m. part, and the kept date part.
#include "editors/qvTimeEdit.h"
#include "qvExtendedEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Masks and texts

struct TMaskCase {
  const char* Am;
  const char* Pm;
  TqvTimeEditTimeFormat Format;
  bool Use24Hour;
  const char* Mask;
};

std::ostream& operator<<(std::ostream& os, const TMaskCase& c) {
  return os << "\"" << c.Am << "\"/\"" << c.Pm << "\" format " << Integer(c.Format) << (c.Use24Hour ? " 24h" : " 12h");
}

class TimeEditMask : public ::testing::TestWithParam<TMaskCase> {};

TEST_P(TimeEditMask, FollowsTheLocalesTexts) {
  const TMaskCase& c = GetParam();
  TFormatSettings fs = TFormatSettings::EnglishUS();
  fs.TimeAMString = c.Am;
  fs.TimePMString = c.Pm;
  TFormatSettingsScope scope(fs);
  EXPECT_EQ(qvTimeEditMask(c.Format, c.Use24Hour), String(c.Mask));
}

INSTANTIATE_TEST_SUITE_P(
    Masks, TimeEditMask,
    ::testing::Values(TMaskCase{"AM", "PM", tfHourMinSec, true, "00:00:00;1;0"},
                      TMaskCase{"AM", "PM", tfHourMin, true, "00:00;1;0"},
                      TMaskCase{"AM", "PM", tfHour, true, "00;1;0"},
                      TMaskCase{"AM", "PM", tfHourMinSec, false, "00:00:00 cc;1;0"},
                      TMaskCase{"AM", "PM", tfHourMin, false, "00:00 cc;1;0"},
                      TMaskCase{"AM", "PM", tfHour, false, "00 cc;1;0"},
                      // The longer of the two texts sizes the part, whichever it is.
                      TMaskCase{"vorm.", "PM", tfHourMinSec, false, "00:00:00 ccccc;1;0"},
                      TMaskCase{"AM", "p. m.", tfHourMinSec, false, "00:00:00 cc cc;1;0"},
                      TMaskCase{"", "PM", tfHourMinSec, false, "00:00:00 cc;1;0"},
                      TMaskCase{"", "", tfHourMinSec, false, "00:00:00;1;0"}));

struct TTimeTextCase {
  TTestLocale Locale;
  bool Use24Hour;
  bool ShowDate;
  Variant Value;
  bool Focused;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TTimeTextCase& c) {
  return os << LocaleName(c.Locale) << (c.Use24Hour ? " 24h " : " 12h ") << (VarIsArray(c.Value) ? "array" : VarToStr(c.Value))
            << (c.Focused ? " focused" : "");
}

class TimeEditText : public ::testing::TestWithParam<TTimeTextCase> {};

TEST_P(TimeEditText, PreparedText) {
  const TTimeTextCase& c = GetParam();
  TTestLocaleAndClock locale(c.Locale);
  TOwned<TqvTimeEditProperties> properties = MakeOwned<TqvTimeEditProperties>(nullptr);
  properties->SetUse24HourFormat(c.Use24Hour);
  properties->SetShowDate(c.ShowDate);
  Variant text;
  EXPECT_NO_THROW(properties->PrepareDisplayValue(c.Value, text, c.Focused));
  EXPECT_EQ(VarToStr(text), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeEditText,
    ::testing::Values(TTimeTextCase{lcEnglishUS, true, false, 0.4375, false, "10:30:00"},
                      TTimeTextCase{lcEnglishUS, false, false, 0.4375, false, "10:30:00 AM"},
                      TTimeTextCase{lcEnglishUS, false, false, 0.875, true, "09:00:00 PM"},
                      TTimeTextCase{lcGerman, false, false, 0.875, true, "09:00:00"},  // no a.m./p.m. texts
                      TTimeTextCase{lcEnglishUS, true, true, kTestNow, false, "3/18/2026 10:30:00 AM"},
                      TTimeTextCase{lcEnglishUS, true, true, 0.4375, false, "10:30:00"},
                      TTimeTextCase{lcEnglishUS, true, false, String("21:15"), false, "21:15:00"},
                      TTimeTextCase{lcEnglishUS, true, false, Null(), false, ""},
                      TTimeTextCase{lcEnglishUS, true, false, Null(), true, "00:00:00"},
                      // A value that is no time is never shown as the current time (10:30).
                      TTimeTextCase{lcEnglishUS, true, false, String("n/a"), false, "n/a"},
                      TTimeTextCase{lcEnglishUS, true, false, String("n/a"), true, "00:00:00"},
                      TTimeTextCase{lcEnglishUS, true, false, VarArrayOf({1, 2}), false, ""}));

// ---------------------------------------------------------------------------------------------
// The editor

class TimeEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TqvTimeEdit>(false, Rect(10, 10, 170, 32));
    ShowForm();
  }
  TqvCustomTimeEditProperties* P() const { return Edit->GetProperties(); }
  void Caret(Integer APosition) {
    Edit->SetSelStart(APosition);
    Edit->SetSelLength(0);
  }

  TTestLocaleAndClock Locale;
  TqvTimeEdit* Edit = nullptr;
};

struct TTimeStepCase {
  bool Use24Hour;
  double Time;
  Integer Caret;
  BYTE Key;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TTimeStepCase& c) {
  return os << (c.Use24Hour ? "24h " : "12h ") << c.Time << " caret " << c.Caret << " key " << Integer(c.Key);
}

class TimeEditStep : public TimeEdit, public ::testing::WithParamInterface<TTimeStepCase> {};

TEST_P(TimeEditStep, KeyStepsThePartAtTheCaret) {
  const TTimeStepCase& c = GetParam();
  P()->SetUse24HourFormat(c.Use24Hour);
  Edit->SetTime(c.Time);
  Focus(Edit);
  Caret(c.Caret);
  Press(c.Key);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
}

constexpr double T(int h, int n, int s) { return (h * 3600 + n * 60 + s) / 86400.0; }

INSTANTIATE_TEST_SUITE_P(
    Table, TimeEditStep,
    ::testing::Values(TTimeStepCase{true, T(10, 59, 0), 4, VK_UP, "11:00:00"},
                      TTimeStepCase{true, T(10, 59, 0), 4, VK_PRIOR, "11:09:00"},
                      TTimeStepCase{true, T(10, 59, 0), 4, VK_DOWN, "10:58:00"},
                      TTimeStepCase{true, T(10, 59, 0), 1, VK_UP, "11:59:00"},
                      TTimeStepCase{true, T(10, 59, 0), 1, VK_PRIOR, "11:59:00"},  // hours step by one
                      TTimeStepCase{true, T(10, 59, 0), 0, VK_UP, "11:59:00"},
                      TTimeStepCase{true, T(0, 0, 59), 7, VK_UP, "00:01:00"},
                      TTimeStepCase{true, T(0, 0, 59), 7, VK_NEXT, "00:00:49"},
                      TTimeStepCase{true, T(0, 0, 1), 7, VK_DOWN, "00:00:00"},  // lands on the bound
                      TTimeStepCase{true, T(23, 59, 58), 7, VK_UP, "23:59:59"},
                      // No clamping: a step beyond the bounds does nothing.
                      TTimeStepCase{true, T(23, 0, 0), 1, VK_UP, "23:00:00"},
                      TTimeStepCase{true, T(0, 0, 0), 7, VK_DOWN, "00:00:00"},
                      TTimeStepCase{false, T(9, 0, 0), 10, VK_UP, "09:00:00 PM"},
                      TTimeStepCase{false, T(9, 0, 0), 10, VK_DOWN, "09:00:00 PM"},
                      TTimeStepCase{false, T(21, 0, 0), 10, VK_UP, "09:00:00 AM"},
                      TTimeStepCase{false, T(21, 0, 0), 10, VK_DOWN, "09:00:00 AM"},
                      TTimeStepCase{false, T(11, 0, 0), 1, VK_UP, "12:00:00 PM"}));

TEST_F(TimeEdit, CaretPartFollowsTheCaret) {
  P()->SetUse24HourFormat(false);
  Edit->SetTime(T(9, 0, 0));
  Focus(Edit);
  // The classic mask selects the character at the caret: its part counts.
  const char expected[] = "HHHNNNSSAAAA";
  for (Integer i = 0; i < 12; ++i) {
    Caret(i);
    EXPECT_EQ(Edit->GetCaretPart(), expected[i]) << "caret " << i;
  }
}

struct TTimeTypedCase {
  bool Use24Hour;
  Integer Caret;
  char Key;
  bool Accepted;
};

std::ostream& operator<<(std::ostream& os, const TTimeTypedCase& c) {
  return os << (c.Use24Hour ? "24h" : "12h") << " caret " << c.Caret << " '" << c.Key << "'";
}

class TimeEditTyping : public TimeEdit, public ::testing::WithParamInterface<TTimeTypedCase> {};

TEST_P(TimeEditTyping, CharacterByPart) {
  const TTimeTypedCase& c = GetParam();
  P()->SetUse24HourFormat(c.Use24Hour);
  Edit->SetTime(T(10, 0, 0));
  Focus(Edit);
  Caret(c.Caret);
  const String before = WindowText(Edit);
  const Integer beeps = Headless::BeepCount();
  Type(String(1, c.Key));
  EXPECT_EQ(WindowText(Edit) != before, c.Accepted) << WindowText(Edit);
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Accepted ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Table, TimeEditTyping,
                         ::testing::Values(TTimeTypedCase{false, 0, '2', false},  // 20 is no 12-hour hour
                                           TTimeTypedCase{true, 0, '2', true}, TTimeTypedCase{true, 0, '3', false},
                                           TTimeTypedCase{false, 1, '2', true},  // 12
                                           TTimeTypedCase{false, 1, '3', false},
                                           TTimeTypedCase{true, 3, '7', false}, TTimeTypedCase{false, 3, '7', false},
                                           TTimeTypedCase{true, 3, '5', true}, TTimeTypedCase{true, 6, '6', false},
                                           TTimeTypedCase{true, 4, '7', true}, TTimeTypedCase{false, 10, '1', false}));

TEST_F(TimeEdit, BackspaceInTheAmPmPartMovesLeftAndDeleteDoesNothing) {
  P()->SetUse24HourFormat(false);
  Edit->SetTime(T(9, 0, 0));
  Focus(Edit);
  Caret(11);
  Press(VK_BACK);
  EXPECT_EQ(WindowText(Edit), "09:00:00 AM");
  EXPECT_EQ(Selection(Edit).first, 10);
  Caret(9);
  Press(VK_DELETE);
  EXPECT_EQ(WindowText(Edit), "09:00:00 AM");
}

TEST_F(TimeEdit, TheDatePartIsKept) {
  Edit->SetEditValue(VarFromDateTime(46099 + T(10, 30, 0)));
  Focus(Edit);
  Caret(1);
  Press(VK_UP);
  EXPECT_EQ(WindowText(Edit), "11:30:00");
  FocusOther();
  EXPECT_NEAR(VarToDateTime(Edit->GetEditValue()), 46099 + T(11, 30, 0), 1e-9);
  Edit->SetTime(T(8, 0, 0));
  EXPECT_NEAR(VarToDateTime(Edit->GetEditValue()), 46099 + T(8, 0, 0), 1e-9);
  // A date before the base date keeps its time as a positive part.
  Edit->SetEditValue(VarFromDateTime(-1 - T(9, 0, 0)));
  EXPECT_NEAR(Edit->GetTime(), T(9, 0, 0), 1e-9);
  EXPECT_EQ(Edit->GetText(), "09:00:00");
}

TEST_F(TimeEdit, TextWithoutADatePartGivesTheNumberZero) {
  Variant value;
  Edit->DisplayToEditValue(String("00:00:00"), value, true);
  EXPECT_TRUE(VarEqualsExact(value, Variant(0.0)));
  Edit->DisplayToEditValue(String("12"), value, true);
  EXPECT_NEAR(VarToDateTime(value), 0.5, 1e-9);
  Edit->DisplayToEditValue(String("n/a"), value, true);
  EXPECT_TRUE(VarEqualsExact(value, Variant(0.0)));
}

TEST_F(TimeEdit, RegisteredAndTypedTimesAreKept) {
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvTimeEditProperties"), nullptr);
  Focus(Edit);
  Caret(0);
  Type("0745");
  EXPECT_EQ(WindowText(Edit), "07:45:00");
  FocusOther();
  EXPECT_TRUE(Errors.empty());
  EXPECT_NEAR(Edit->GetTime(), T(7, 45, 0), 1e-9);
  EXPECT_EQ(Edit->GetText(), "07:45:00");
}

}  // namespace
