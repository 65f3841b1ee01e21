// The date editor under both pinned locales and the pinned clock (Wednesday, 18 March 2026,
// 10:30): display texts by input kind, validation of typed texts as a table (smart words, the
// error policies, the bounds only when they differ), the kept time part and an explicit midnight,
// the integer date without SaveTime, and the Date property of values that are no date.
#include "editors/qvDateEdit.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "lookandfeel/qvButtons.h"
#include "platform/rtl/DateTime.h"
#include "qvExtendedEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"

namespace {

TDateTime DT(Word y, Word m, Word d, Word h, Word n) { return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0); }

// ---------------------------------------------------------------------------------------------
// Display texts

struct TDateTextCase {
  TTestLocale Locale;
  TqvInputKind Kind;
  bool ShowTime;
  Variant Value;
  bool Focused;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TDateTextCase& c) {
  return os << LocaleName(c.Locale) << " kind " << Integer(c.Kind) << (c.ShowTime ? "" : " date only") << " "
            << VarToStr(c.Value) << (c.Focused ? " focused" : "");
}

class DateEditText : public ::testing::TestWithParam<TDateTextCase> {};

TEST_P(DateEditText, PreparedText) {
  const TDateTextCase& c = GetParam();
  TTestLocaleAndClock locale(c.Locale);
  TOwned<TqvDateEditProperties> properties = MakeOwned<TqvDateEditProperties>(nullptr);
  properties->SetInputKind(c.Kind);
  properties->SetShowTime(c.ShowTime);
  Variant text;
  EXPECT_NO_THROW(properties->PrepareDisplayValue(c.Value, text, c.Focused));
  EXPECT_EQ(VarToStr(text), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateEditText,
    ::testing::Values(
        TDateTextCase{lcEnglishUS, ikStandard, true, VarFromDateTime(kTestNow), false, "3/18/2026 10:30:00 AM"},
        TDateTextCase{lcEnglishUS, ikStandard, false, VarFromDateTime(kTestNow), false, "3/18/2026"},
        TDateTextCase{lcEnglishUS, ikStandard, true, VarFromDateTime(D(2026, 3, 18)), false, "3/18/2026"},
        TDateTextCase{lcEnglishUS, ikStandard, true, VarFromDateTime(kTestNow), true, "3/18/2026 10:30:00 AM"},
        TDateTextCase{lcEnglishUS, ikRegExpr, true, VarFromDateTime(D(2026, 3, 18)), true, "3/18/2026"},
        TDateTextCase{lcGerman, ikStandard, true, VarFromDateTime(kTestNow), false, "18.03.2026 10:30:00"},
        TDateTextCase{lcGerman, ikRegExpr, false, Integer(46099), true, "18.03.2026"},
        TDateTextCase{lcEnglishUS, ikStandard, true, Null(), false, ""},
        TDateTextCase{lcEnglishUS, ikRegExpr, true, Null(), true, ""},
        TDateTextCase{lcEnglishUS, ikStandard, true, String("n/a"), false, "n/a"}));

TEST(DateEditProperties, InputKindChoosesTheMask) {
  TTestLocaleAndClock locale;
  TOwned<TqvDateEditProperties> properties = MakeOwned<TqvDateEditProperties>(nullptr);
  EXPECT_EQ(properties->GetInputKind(), ikRegExpr);
  EXPECT_EQ(properties->GetMaskKind(), emkRegExprEx);
  EXPECT_EQ(properties->GetEditMask(), GetFormatController()->RegExprDateEditMask);
  properties->SetInputKind(ikMask);
  EXPECT_EQ(properties->GetMaskKind(), emkStandard);
  EXPECT_EQ(properties->GetEditMask(), GetFormatController()->StandardDateEditMask);
  properties->SetInputKind(ikStandard);
  EXPECT_FALSE(properties->IsMasked());
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvDateEditProperties"), nullptr);
}

TEST(DateEditProperties, DefaultEditorOfDateTimeAndTimeStampValues) {
  for (TqvValueTypeClass type : {TqvDateTimeValueType::Class(), TqvSQLTimeStampValueType::Class()}) {
    TqvEditRepositoryItem* item = GetDefaultEditDataRepositoryItems()->GetItem(type);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->GetProperties()->InheritsFrom(&TqvDateEditProperties::StaticClass()));
  }
}

// ---------------------------------------------------------------------------------------------
// The editor

class DateEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TqvDateEdit>(false, Rect(10, 10, 200, 32));
    Edit->GetProperties()->SetInputKind(ikStandard);
    ShowForm();
  }
  TqvCustomDateEditProperties* P() const { return Edit->GetProperties(); }
  // Types a text over the whole text and leaves the editor.
  void Commit(const char* AText) {
    Focus(Edit);
    Edit->SelectAll();
    Press(VK_DELETE);
    Type(AText);
    FocusOther();
  }

  TTestLocaleAndClock Locale;
  TqvDateEdit* Edit = nullptr;
};

struct TDateCommitCase {
  const char* Typed;
  TDateOnError OnError;
  TDateTime Min, Max;
  const TResourceString* Error;  // nullptr: accepted
  TDateTime Date;                // afterwards (NullDate: Null)
};

std::ostream& operator<<(std::ostream& os, const TDateCommitCase& c) {
  return os << '"' << c.Typed << "\" on error " << Integer(c.OnError);
}

class DateEditCommit : public DateEdit, public ::testing::WithParamInterface<TDateCommitCase> {};

TEST_P(DateEditCommit, LeavingTheEditor) {
  const TDateCommitCase& c = GetParam();
  P()->SetDateOnError(c.OnError);
  P()->SetMaxDate(c.Max);
  P()->SetMinDate(c.Min);
  Edit->SetDate(D(2026, 1, 10));
  Commit(c.Typed);
  if (c.Error) {
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors.front(), GetLocalizedResourceString(c.Error));
  } else {
    EXPECT_TRUE(Errors.empty()) << Errors.front();
  }
  if (c.Date == NullDate)
    EXPECT_TRUE(VarIsNull(Edit->GetEditValue())) << VarToStr(Edit->GetEditValue());
  else
    EXPECT_EQ(Edit->GetDate(), c.Date);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateEditCommit,
    ::testing::Values(TDateCommitCase{"3/5/2026", deNoChange, 0, 0, nullptr, D(2026, 3, 5)},
                      TDateCommitCase{"today", deNoChange, 0, 0, nullptr, D(2026, 3, 18)},
                      TDateCommitCase{"yesterday", deNoChange, 0, 0, nullptr, D(2026, 3, 17)},
                      TDateCommitCase{"bom", deNoChange, 0, 0, nullptr, D(2026, 3, 1)},
                      TDateCommitCase{"eom", deNoChange, 0, 0, nullptr, D(2026, 3, 31)},
                      TDateCommitCase{"", deNoChange, 0, 0, nullptr, NullDate},
                      TDateCommitCase{"3/45/2026", deNoChange, 0, 0, &sqvDateEditInvalidDate, D(2026, 1, 10)},
                      TDateCommitCase{"3/45/2026", deToday, 0, 0, nullptr, D(2026, 3, 18)},
                      // The null date is an empty editor: Null, never a date with a time added.
                      TDateCommitCase{"3/45/2026", deNull, 0, 0, nullptr, NullDate},
                      TDateCommitCase{"3/45/2026", deNull, D(2026, 1, 1), D(2026, 12, 31), nullptr, NullDate},
                      TDateCommitCase{"3/5/2027", deNoChange, D(2026, 1, 1), D(2026, 12, 31), &sqvEditValueOutOfBounds,
                                      D(2026, 1, 10)},
                      TDateCommitCase{"", deNoChange, D(2026, 1, 1), D(2026, 12, 31), nullptr, NullDate},
                      // Equal bounds bound nothing.
                      TDateCommitCase{"3/5/1850", deNoChange, 0, 0, nullptr, D(1850, 3, 5)}));

TEST_F(DateEdit, OnValidateDecidesInsteadOfThePolicy) {
  P()->SetDateOnError(deNull);
  P()->OnValidate = [](TObject*, Variant& AValue, TCaption& AText, bool& AError) {
    if (AError) {
      AValue = String("3/1/2026");
      AError = false;
    }
    AText = "never shown";
  };
  Commit("nonsense");
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Edit->GetDate(), D(2026, 3, 1));
}

TEST_F(DateEdit, ATypedDateKeepsTheTimeOfTheValue) {
  P()->SetShowTime(false);
  Edit->SetDate(DT(2024, 3, 1, 10, 30));
  EXPECT_EQ(Edit->GetText(), "3/1/2024");
  Commit("3/5/2024");
  EXPECT_NEAR(Edit->GetDate(), DT(2024, 3, 5, 10, 30), 1e-9);
}

TEST_F(DateEdit, AnExplicitMidnightIsKept) {
  Edit->SetDate(DT(2024, 3, 1, 10, 30));
  EXPECT_EQ(Edit->GetText(), "3/1/2024 10:30:00 AM");
  Commit("3/5/2024 12:00:00 AM");
  EXPECT_EQ(Edit->GetDate(), D(2024, 3, 5));
}

TEST_F(DateEdit, BeforeTheBaseDateTheTimeCountsBackwards) {
  P()->SetShowTime(false);
  Edit->SetDate(-1 - 0.4375);  // 29 December 1899, 10:30
  Commit("12/20/1899");
  EXPECT_NEAR(Edit->GetDate(), D(1899, 12, 20) - 0.4375, 1e-9);
}

TEST_F(DateEdit, WithoutSaveTimeTheValueIsTheIntegerDate) {
  P()->SetSaveTime(false);
  Edit->SetDate(DT(2024, 3, 1, 10, 30));
  EXPECT_EQ(VarType(Edit->GetEditValue()), varInteger);
  EXPECT_EQ(Edit->GetDate(), D(2024, 3, 1));
  EXPECT_EQ(Edit->GetSavedTime(), 0);
}

TEST_F(DateEdit, DateOfNullOrOfAValueThatIsNoDateIsTheNullDate) {
  Edit->SetEditValue(Null());
  EXPECT_EQ(Edit->GetDate(), NullDate);
  Edit->SetEditValue(String("n/a"));
  EXPECT_EQ(Edit->GetDate(), NullDate);
  EXPECT_EQ(Edit->GetText(), "n/a");
  Edit->SetDate(D(2026, 3, 18));
  Edit->SetDate(NullDate);
  EXPECT_TRUE(VarIsNull(Edit->GetEditValue()));
}

TEST_F(DateEdit, SmartWordsTypeThroughTheRegularExpressionMask) {
  P()->SetInputKind(ikRegExpr);
  Commit("today");
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Edit->GetDate(), D(2026, 3, 18));
  EXPECT_EQ(Edit->GetText(), "3/18/2026");
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------------
// The drop-down calendar

class DateEditPopup : public DateEdit {
 protected:
  void Open() {
    Focus(Edit);
    Press(VK_F4);
    ASSERT_TRUE(Edit->GetDroppedDown());
  }
};

TEST_F(DateEditPopup, AnEmptyEditorShowsAndSelectsToday) {
  Edit->SetDate(NullDate);
  Open();
  EXPECT_EQ(Edit->GetCalendar()->GetSelectDate(), D(2026, 3, 18));
  EXPECT_EQ(Edit->GetCalendar()->GetFirstDate(), D(2026, 3, 1));
  EXPECT_EQ(Edit->GetDateAtPopup(), NullDate);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_TRUE(VarIsNull(Edit->GetEditValue()));
}

TEST_F(DateEditPopup, ADayChosenByKeysKeepsTheTimeOfTheValue) {
  Edit->SetDate(DT(2024, 3, 1, 10, 30));
  Open();
  EXPECT_EQ(Edit->GetCalendar()->GetSelectDate(), D(2024, 3, 1));
  for (int i = 0; i < 4; ++i) Press(VK_RIGHT);
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_NEAR(Edit->GetDate(), DT(2024, 3, 5, 10, 30), 1e-9);
  EXPECT_EQ(WindowText(Edit), "3/5/2024 10:30:00 AM");
  FocusOther();
  EXPECT_TRUE(Errors.empty());
  EXPECT_NEAR(Edit->GetDate(), DT(2024, 3, 5, 10, 30), 1e-9);
}

TEST_F(DateEditPopup, ADragThatLeavesTheCalendarSelectsTheEditorsDateAgain) {
  Edit->SetDate(DT(2024, 3, 1, 10, 30));
  Open();
  TqvPopupCalendar* calendar = Edit->GetCalendar();
  const TRect cell = calendar->GetCellRect(2, 3);
  Down(calendar, {(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
  EXPECT_NE(calendar->GetSelectDate(), D(2024, 3, 1));
  MoveTo(calendar, {calendar->GetWidth() + 20, 5});
  EXPECT_EQ(calendar->GetSelectDate(), D(2024, 3, 1));
  Up();
  EXPECT_NEAR(Edit->GetDate(), DT(2024, 3, 1, 10, 30), 1e-9);
  if (Edit->GetDroppedDown()) Press(VK_ESCAPE);
}

TEST_F(DateEditPopup, ClearGivesNullAndEscapeChangesNothing) {
  Edit->SetDate(D(2024, 3, 1));
  Open();
  Press(VK_RIGHT);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(Edit->GetDate(), D(2024, 3, 1));
  Open();
  TqvButton* clear = Edit->GetCalendar()->GetClearButton();
  Click(clear, {clear->GetWidth() / 2, clear->GetHeight() / 2});
  Pump();
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_TRUE(VarIsNull(Edit->GetEditValue()));
}

TEST_F(DateEditPopup, TheCalendarTakesTheDateButtonsAndTheHeaderLook) {
  P()->SetDateButtons(DateButtonBit(btnToday));
  Edit->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
  Open();
  EXPECT_TRUE(Edit->GetCalendar()->GetTodayButton()->GetVisible());
  EXPECT_FALSE(Edit->GetCalendar()->GetClearButton()->GetVisible());
  EXPECT_FALSE(Edit->GetCalendar()->GetFlat());
  EXPECT_EQ(Edit->GetCalendar()->GetTodayButton()->GetLookAndFeel()->GetEffectiveKind(), lfStandard);
  Press(VK_ESCAPE);
  Edit->GetStyle()->GetLookAndFeel()->SetKind(lfUltraFlat);
  Open();
  EXPECT_TRUE(Edit->GetCalendar()->GetFlat());
  EXPECT_EQ(Edit->GetCalendar()->GetTodayButton()->GetLookAndFeel()->GetEffectiveKind(), lfUltraFlat);
  Press(VK_ESCAPE);
}

}  // namespace
