// The calculator editor under both pinned locales: the typed-character check as a table and
// through real typing, validation of the committed text, and the drop-down calculator (its
// display is the editor's text; Enter, "=" with QuickClose, Esc restoring the text of the
// opening, the Error state turned into 0 and left on the next opening with the memory kept).
#include "editors/qvCalcEdit.h"
#include "qvDropDownTestSupport.h"
#include "qvExtendedEditorsTestSupport.h"

namespace {

TEST(CalcEditProperties, PrecisionSetsMaxLengthAndTheKindIsRegistered) {
  TOwned<TqvCalcEditProperties> properties = MakeOwned<TqvCalcEditProperties>(nullptr);
  EXPECT_EQ(properties->GetMaxLength(), 15);
  properties->SetPrecision(5);
  EXPECT_EQ(properties->GetMaxLength(), 7);
  EXPECT_FALSE(properties->GetPopupSizeable());
  EXPECT_FALSE(properties->GetImmediateDropDown());
  EXPECT_TRUE(properties->PostValueOnPopupClosed());
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvCalcEditProperties"), nullptr);
}

struct TCharCase {
  TTestLocale Locale;
  const char* Text;
  Integer SelStart, SelLength;
  char Key;
  bool Accepted;
};

std::ostream& operator<<(std::ostream& os, const TCharCase& c) {
  return os << LocaleName(c.Locale) << " \"" << c.Text << "\" at " << c.SelStart << "+" << c.SelLength << " '"
            << c.Key << "'";
}

class CalcEditChar : public ::testing::TestWithParam<TCharCase> {};

TEST_P(CalcEditChar, PrecisionThree) {
  const TCharCase& c = GetParam();
  TTestLocaleScope locale(c.Locale);
  TOwned<TqvCalcEditProperties> properties = MakeOwned<TqvCalcEditProperties>(nullptr);
  properties->SetPrecision(3);
  EXPECT_EQ(properties->IsValidTypedChar(c.Text, c.SelStart, c.SelLength, c.Key), c.Accepted);
}

INSTANTIATE_TEST_SUITE_P(Table, CalcEditChar,
                         ::testing::Values(TCharCase{lcEnglishUS, "1.2", 3, 0, '3', true},
                                           TCharCase{lcEnglishUS, "1.23", 4, 0, '4', false},  // a fourth digit
                                           TCharCase{lcEnglishUS, "0.123", 5, 0, '4', false},  // a fourth decimal
                                           TCharCase{lcEnglishUS, "123", 3, 0, '4', false},
                                           TCharCase{lcEnglishUS, "", 0, 0, '-', true},
                                           TCharCase{lcEnglishUS, "12", 0, 2, '-', true},  // over a full selection
                                           TCharCase{lcEnglishUS, "1", 1, 0, '-', false},
                                           TCharCase{lcEnglishUS, "1", 1, 0, 'e', true},
                                           TCharCase{lcEnglishUS, "1", 1, 0, 'x', false},
                                           TCharCase{lcGerman, "1", 1, 0, ',', true},
                                           TCharCase{lcGerman, "1", 1, 0, '.', false}));

class CalcEdit : public TDropDownTest {
 protected:
  void SetUp() override {
    TDropDownTest::SetUp();
    Edit = NewTextEdit<TqvCalcEdit>();
    ShowForm();
  }
  TqvCustomCalcEditProperties* P() const { return Edit->GetProperties(); }
  void Open() {
    Focus(Edit);
    Press(VK_F4);
    Pump();
    ASSERT_TRUE(Edit->GetDroppedDown());
  }

  TTestLocaleAndClock Locale;
  TqvCalcEdit* Edit = nullptr;
};

struct TCalcEditTypedCase {
  TTestLocale Locale;
  const char* Typed;
  const char* Text;
  Integer Beeps;
};

std::ostream& operator<<(std::ostream& os, const TCalcEditTypedCase& c) {
  return os << LocaleName(c.Locale) << " typed \"" << c.Typed << "\"";
}

class CalcEditTyping : public CalcEdit, public ::testing::WithParamInterface<TCalcEditTypedCase> {};

TEST_P(CalcEditTyping, TypedTextAndBeeps) {
  const TCalcEditTypedCase& c = GetParam();
  Locale.Use(c.Locale);
  P()->SetPrecision(3);
  Focus(Edit);
  const Integer beeps = Headless::BeepCount();
  Type(c.Typed);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(Typed, CalcEditTyping,
                         ::testing::Values(TCalcEditTypedCase{lcEnglishUS, "12,5", "12.5", 0},
                                           TCalcEditTypedCase{lcGerman, "12.5", "12,5", 0},
                                           TCalcEditTypedCase{lcEnglishUS, "1.2345", "1.23", 2},
                                           TCalcEditTypedCase{lcEnglishUS, "-1-", "-1", 1},
                                           TCalcEditTypedCase{lcEnglishUS, "7a", "7", 1}));

struct TCalcEditCommitCase {
  const char* Typed;
  bool Error;
  Variant Value;
};

std::ostream& operator<<(std::ostream& os, const TCalcEditCommitCase& c) { return os << '"' << c.Typed << '"'; }

class CalcEditCommit : public CalcEdit, public ::testing::WithParamInterface<TCalcEditCommitCase> {};

// A text that is no number is refused and the previous value kept, never stored as no value.
TEST_P(CalcEditCommit, LeavingTheEditor) {
  const TCalcEditCommitCase& c = GetParam();
  Edit->SetValue(5);
  Focus(Edit);
  Edit->SelectAll();
  Press(VK_DELETE);
  Type(c.Typed);
  FocusOther();
  EXPECT_EQ(!Errors.empty(), c.Error);
  EXPECT_TRUE(VarEqualsExact(Edit->GetEditValue(), c.Value)) << VarToStr(Edit->GetEditValue());
}

INSTANTIATE_TEST_SUITE_P(Texts, CalcEditCommit,
                         ::testing::Values(TCalcEditCommitCase{"2.5", false, 2.5},
                                           TCalcEditCommitCase{"", false, Null()}, TCalcEditCommitCase{"-", true, 5.0},
                                           TCalcEditCommitCase{"1e", true, 5.0}));

TEST_F(CalcEdit, EmptyTextIsNullAndValueZero) {
  Edit->SetEditValue(Null());
  EXPECT_EQ(Edit->GetValue(), 0);
  EXPECT_EQ(Edit->GetText(), "");
}

TEST_F(CalcEdit, TheCalculatorWorksOnTheEditorsTextAndEnterCloses) {
  Open();
  Type("2+3");
  EXPECT_EQ(WindowText(Edit), "3");
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(WindowText(Edit), "5");
  FocusOther();
  EXPECT_EQ(Edit->GetValue(), 5);
}

TEST_F(CalcEdit, EqualsClosesOnlyWithQuickClose) {
  Open();
  Type("2*4=");
  EXPECT_TRUE(Edit->GetDroppedDown());
  EXPECT_EQ(WindowText(Edit), "8");
  Press(VK_ESCAPE);
  P()->SetQuickClose(true);
  Open();
  Type("2*4=");
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(WindowText(Edit), "8");
}

TEST_F(CalcEdit, EscapeGivesTheTextOfTheOpeningBack) {
  Edit->SetValue(7);
  Open();
  Type("9*9");
  EXPECT_EQ(WindowText(Edit), "9");
  Press(VK_ESCAPE);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(WindowText(Edit), "7");
  FocusOther();
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Edit->GetValue(), 7);
}

TEST_F(CalcEdit, AnErrorBecomesZeroAndTheNextOpeningStartsAfreshWithTheMemory) {
  Open();
  Type("5");
  Press('M', skCtrl);  // memory store; its character closes nothing
  EXPECT_TRUE(Edit->GetDroppedDown());
  Type("/0=");
  EXPECT_EQ(WindowText(Edit), GetLocalizedResourceString(&sqvCalcError));
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(Edit->GetValue(), 0);
  Open();
  EXPECT_EQ(Edit->GetCalculator()->GetState(), TqvCalcState::Ready);
  EXPECT_EQ(Edit->GetCalculator()->GetMemory(), 5);
  Type("4");
  EXPECT_EQ(WindowText(Edit), "4");
  Press(VK_RETURN);
}

TEST_F(CalcEdit, PrecisionFollowsIntoTheCalculator) {
  P()->SetPrecision(5);
  P()->SetBeepOnError(false);
  EXPECT_EQ(Edit->GetCalculator()->GetPrecision(), 5);
  EXPECT_FALSE(Edit->GetCalculator()->GetBeepOnError());
}

}  // namespace
