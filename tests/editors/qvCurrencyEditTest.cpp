// The currency editor under both pinned locales: display and edit texts as a table, the order
// of the display format's sources and the locale's changes, the typed-character check as a table
// and through real typing, validation of the committed text, paste, the value with its bounds,
// and the default editor of currency values.
#include "editors/qvCurrencyEdit.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "qvExtendedEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"

namespace {

const char* const kEuro = "\x80";

// ---------------------------------------------------------------------------------------------
// Display and edit texts

struct TCurrencyDisplayCase {
  TTestLocale Locale;
  Variant Value;
  bool Focused;
  const char* Format;  // nullptr: not assigned
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TCurrencyDisplayCase& c) {
  return os << LocaleName(c.Locale) << " " << VarToStr(c.Value) << (c.Focused ? " focused" : " unfocused")
            << " format " << (c.Format ? c.Format : "(locale)");
}

class CurrencyDisplay : public ::testing::TestWithParam<TCurrencyDisplayCase> {};

TEST_P(CurrencyDisplay, PreparedText) {
  const TCurrencyDisplayCase& c = GetParam();
  TTestLocaleScope locale(c.Locale);
  TOwned<TqvCurrencyEditProperties> properties = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  if (c.Format) properties->SetDisplayFormat(c.Format);
  Variant text;
  properties->PrepareDisplayValue(c.Value, text, c.Focused);
  EXPECT_EQ(VarToStr(text), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CurrencyDisplay,
    ::testing::Values(
        TCurrencyDisplayCase{lcEnglishUS, 1234.5, false, nullptr, "$1,234.50"},
        TCurrencyDisplayCase{lcEnglishUS, -1234.5, false, nullptr, "-$1,234.50"},
        TCurrencyDisplayCase{lcEnglishUS, 0.0, false, nullptr, "$0.00"},
        TCurrencyDisplayCase{lcEnglishUS, 1234.5, true, nullptr, "1234.5"},
        TCurrencyDisplayCase{lcEnglishUS, Currency::FromDouble(12.25), false, nullptr, "$12.25"},
        TCurrencyDisplayCase{lcEnglishUS, String("7.5"), false, nullptr, "$7.50"},
        TCurrencyDisplayCase{lcEnglishUS, 1234.5, false, "0.000", "1234.500"},
        TCurrencyDisplayCase{lcEnglishUS, 1234.5, false, "", "1234.5"},
        TCurrencyDisplayCase{lcEnglishUS, Null(), false, nullptr, ""},
        TCurrencyDisplayCase{lcEnglishUS, String(""), false, nullptr, ""},
        TCurrencyDisplayCase{lcEnglishUS, Null(), true, nullptr, ""},
        // A value that is no amount shows as it is and never raises (cells paint with this).
        TCurrencyDisplayCase{lcEnglishUS, String("n/a"), false, nullptr, "n/a"},
        TCurrencyDisplayCase{lcEnglishUS, String("n/a"), true, nullptr, ""},
        TCurrencyDisplayCase{lcGerman, 1234.5, false, nullptr, "1.234,50 \x80"},
        TCurrencyDisplayCase{lcGerman, -0.5, false, nullptr, "-0,50 \x80"},
        TCurrencyDisplayCase{lcGerman, 1234.5, true, nullptr, "1234,5"},
        TCurrencyDisplayCase{lcGerman, 1234.5, false, "#,##0.0", "1.234,5"}));

TEST(CurrencyProperties, NullShowsTheNullStringOrZero) {
  TOwned<TqvCurrencyEditProperties> properties = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  Variant text;
  properties->SetNullString("(none)");
  properties->PrepareDisplayValue(Null(), text, false);
  EXPECT_EQ(VarToStr(text), "(none)");
  properties->SetNullable(false);
  properties->PrepareDisplayValue(Null(), text, false);
  EXPECT_EQ(VarToStr(text), "0");
}

// A provider whose data brings a display format of its own.
class TFormatProvider : public TqvCustomEditDefaultValuesProvider {
  QJ_INLINE_CLASS(TFormatProvider, TqvCustomEditDefaultValuesProvider)
 public:
  using TqvCustomEditDefaultValuesProvider::TqvCustomEditDefaultValuesProvider;
  String Format;
  String DefaultDisplayFormat() override { return Format; }
};

TEST(CurrencyProperties, DisplayFormatComesFromTheAssignedValueThenTheBindingThenTheLocale) {
  TTestLocaleScope locale(lcEnglishUS);
  TOwned<TqvCurrencyEditProperties> properties = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  TOwned<TFormatProvider> provider = MakeOwned<TFormatProvider>(nullptr);
  properties->SetDefaultValuesProvider(provider.get());
  EXPECT_EQ(properties->GetDisplayFormat(), GetFormatController()->CurrencyFormat);  // an empty binding format
  provider->Format = "0.0 'units'";
  EXPECT_EQ(properties->GetDisplayFormat(), "0.0 'units'");
  properties->SetDisplayFormat("0.00");
  EXPECT_EQ(properties->GetDisplayFormat(), "0.00");
  EXPECT_TRUE(properties->IsDisplayFormatStored());
  properties->ResetDisplayFormat();
  EXPECT_FALSE(properties->IsDisplayFormatStored());
  EXPECT_EQ(properties->GetDisplayFormat(), "0.0 'units'");
  properties->SetDefaultValuesProvider(nullptr);
}

TEST(CurrencyProperties, AssignCopiesTheSettingsAndWhetherTheFormatWasAssigned) {
  TOwned<TqvCurrencyEditProperties> source = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  TOwned<TqvCurrencyEditProperties> target = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  source->SetDecimalPlaces(4);
  source->SetNullable(false);
  source->SetNullString("-");
  source->SetUseThousandSeparator(true);
  source->SetMinValue(1);
  source->SetMaxValue(9);
  Integer changes = 0;
  target->OnPropertiesChanged = [&](TObject*) { ++changes; };
  target->Assign(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target->GetDecimalPlaces(), 4);
  EXPECT_FALSE(target->GetNullable());
  EXPECT_EQ(target->GetNullString(), "-");
  EXPECT_TRUE(target->GetUseThousandSeparator());
  EXPECT_EQ(target->GetMaxValue(), 9);
  EXPECT_FALSE(target->IsDisplayFormatStored());  // still follows the locale
  source->SetDisplayFormat("0.0");
  target->Assign(source.get());
  EXPECT_TRUE(target->IsDisplayFormatStored());
  EXPECT_EQ(target->GetDisplayFormat(), "0.0");
}

TEST(CurrencyEditor, NullTextIsNullOrZero) {
  TOwned<TqvCurrencyEdit> edit = MakeOwned<TqvCurrencyEdit>(nullptr);
  edit->GetProperties()->SetNullString("none");
  Variant value;
  edit->DisplayToEditValue(String("none"), value, true);
  EXPECT_TRUE(VarIsNull(value));
  edit->GetProperties()->SetNullable(false);
  edit->DisplayToEditValue(String("none"), value, true);
  EXPECT_TRUE(VarEqualsExact(value, Currency{}));
  edit->DisplayToEditValue(String("1,000.5"), value, true);
  EXPECT_TRUE(VarEqualsExact(value, 1000.5));
}

TEST(CurrencyProperties, RegisteredAsTheDefaultEditorOfCurrencyAndBcdValues) {
  for (TqvValueTypeClass type : {TqvCurrencyValueType::Class(), TqvFMTBcdValueType::Class()}) {
    TqvEditRepositoryItem* item = GetDefaultEditDataRepositoryItems()->GetItem(type);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->GetProperties()->InheritsFrom(&TqvCurrencyEditProperties::StaticClass()));
  }
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvCurrencyEditProperties"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Typed characters

struct TTypingCase {
  TTestLocale Locale;
  const char* Text;
  Integer SelStart, SelLength;
  char Key;
  Integer DecimalPlaces;
  bool ThousandSeparator;
  bool Accepted;
};

std::ostream& operator<<(std::ostream& os, const TTypingCase& c) {
  return os << LocaleName(c.Locale) << " \"" << c.Text << "\" sel " << c.SelStart << "+" << c.SelLength << " key '"
            << c.Key << "'";
}

class CurrencyTyping : public ::testing::TestWithParam<TTypingCase> {};

TEST_P(CurrencyTyping, CharacterCheck) {
  const TTypingCase& c = GetParam();
  TTestLocaleScope locale(c.Locale);
  TOwned<TqvCurrencyEditProperties> properties = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  properties->SetDecimalPlaces(c.DecimalPlaces);
  properties->SetUseThousandSeparator(c.ThousandSeparator);
  EXPECT_EQ(properties->IsValidTypedChar(c.Text, c.SelStart, c.SelLength, c.Key), c.Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CurrencyTyping,
    ::testing::Values(
        TTypingCase{lcEnglishUS, "", 0, 0, '5', 2, false, true},
        TTypingCase{lcEnglishUS, "", 0, 0, 'x', 2, false, false},
        TTypingCase{lcEnglishUS, "1.23", 4, 0, '4', 2, false, false},   // a third decimal
        TTypingCase{lcEnglishUS, "1.23", 0, 0, '4', 2, false, true},    // digits before the separator
        TTypingCase{lcEnglishUS, "1.23", 3, 1, '9', 2, false, true},    // over a selected decimal
        TTypingCase{lcEnglishUS, "1", 1, 0, '.', 0, false, true},
        TTypingCase{lcEnglishUS, "1.5", 3, 0, '.', 2, false, false},    // a second separator
        TTypingCase{lcEnglishUS, "1", 1, 0, 'e', 2, false, true},       // an exponent being typed
        TTypingCase{lcEnglishUS, "1e", 2, 0, '-', 2, false, true},
        TTypingCase{lcEnglishUS, "1e", 2, 0, '5', 2, false, true},
        TTypingCase{lcEnglishUS, "1.25e", 5, 0, '1', 2, false, true},   // exponent digits do not count
        TTypingCase{lcEnglishUS, "1e308", 5, 0, '0', 2, false, false},  // beyond the largest magnitude
        TTypingCase{lcEnglishUS, "", 0, 0, '-', 2, false, true},
        TTypingCase{lcEnglishUS, "12", 0, 2, '-', 2, false, true},      // over a full selection
        TTypingCase{lcEnglishUS, "1", 1, 0, '-', 2, false, false},
        TTypingCase{lcEnglishUS, "", 0, 0, '+', 2, false, false},
        TTypingCase{lcEnglishUS, "1", 1, 0, ',', 2, true, true},
        TTypingCase{lcEnglishUS, "1", 1, 0, ',', 2, false, false},
        TTypingCase{lcGerman, "1", 1, 0, ',', 2, false, true},
        TTypingCase{lcGerman, "1,23", 4, 0, '4', 2, false, false},
        TTypingCase{lcGerman, "1", 1, 0, '.', 2, true, true},
        TTypingCase{lcGerman, "1", 1, 0, '.', 2, false, false}));

// ---------------------------------------------------------------------------------------------
// The editor

class CurrencyEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TqvCurrencyEdit>();
    ShowForm();
  }
  // The text the editor shows, focused or not.
  static String Shown(TqvCustomTextEdit* AEdit) { return AEdit->GetText(); }

  TTestLocaleAndClock Locale;
  TqvCurrencyEdit* Edit = nullptr;
};

struct TCurrencyTypedCase {
  TTestLocale Locale;
  bool ThousandSeparator;
  const char* Typed;
  const char* Text;
  Integer Beeps;
};

std::ostream& operator<<(std::ostream& os, const TCurrencyTypedCase& c) {
  return os << LocaleName(c.Locale) << " typed \"" << c.Typed << "\"";
}

class CurrencyEditTyping : public CurrencyEdit, public ::testing::WithParamInterface<TCurrencyTypedCase> {};

TEST_P(CurrencyEditTyping, TypedTextAndBeeps) {
  const TCurrencyTypedCase& c = GetParam();
  Locale.Use(c.Locale);
  Edit->GetProperties()->SetUseThousandSeparator(c.ThousandSeparator);
  Focus(Edit);
  const Integer beeps = Headless::BeepCount();
  Type(c.Typed);
  EXPECT_EQ(Shown(Edit), String(c.Text));
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, CurrencyEditTyping,
    ::testing::Values(TCurrencyTypedCase{lcEnglishUS, false, "12.345", "12.34", 1},
                      TCurrencyTypedCase{lcEnglishUS, false, "12,5", "12.5", 0},  // a comma is the separator
                      TCurrencyTypedCase{lcEnglishUS, true, "1,250", "1,250", 0},
                      TCurrencyTypedCase{lcEnglishUS, false, "1e5", "1e5", 0},
                      TCurrencyTypedCase{lcEnglishUS, false, "-7a", "-7", 1},
                      TCurrencyTypedCase{lcGerman, false, "12.5", "12,5", 0},  // a full stop is the separator
                      TCurrencyTypedCase{lcGerman, true, "1.250,5", "1.250,5", 0}));

TEST_F(CurrencyEdit, UnfocusedShowsTheFormatAndFocusedThePlainNumber) {
  Edit->SetValue(1234.5);
  EXPECT_EQ(Shown(Edit), "$1,234.50");
  Focus(Edit);
  EXPECT_EQ(Shown(Edit), "1234.5");
  FocusOther();
  EXPECT_EQ(Shown(Edit), "$1,234.50");
}

struct TCurrencyCommitCase {
  const char* Typed;
  bool Nullable;
  bool Error;
  Variant Value;  // the edit value after leaving the editor
};

std::ostream& operator<<(std::ostream& os, const TCurrencyCommitCase& c) {
  return os << '"' << c.Typed << '"' << (c.Nullable ? " nullable" : "");
}

class CurrencyEditCommit : public CurrencyEdit, public ::testing::WithParamInterface<TCurrencyCommitCase> {};

// A text that is no amount is refused with the invalid value error and the previous value kept.
TEST_P(CurrencyEditCommit, LeavingTheEditor) {
  const TCurrencyCommitCase& c = GetParam();
  Edit->GetProperties()->SetNullable(c.Nullable);
  Edit->GetProperties()->SetNullString("none");
  Edit->SetValue(5);
  Focus(Edit);
  Edit->SelectAll();
  Press(VK_DELETE);
  Type(c.Typed);
  FocusOther();
  EXPECT_EQ(!Errors.empty(), c.Error);
  if (c.Error) {
    EXPECT_EQ(Errors.front(), GetLocalizedResourceString(&sqvEditInvalidInputValue));
    EXPECT_EQ(Edit->GetEditValue(), Variant(5.0));
  } else {
    EXPECT_TRUE(VarEqualsExact(Edit->GetEditValue(), c.Value)) << VarToStr(Edit->GetEditValue());
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, CurrencyEditCommit,
                         ::testing::Values(TCurrencyCommitCase{"12.5", true, false, 12.5},
                                           TCurrencyCommitCase{"-", true, true, Variant()},
                                           TCurrencyCommitCase{"1e", true, true, Variant()},
                                           TCurrencyCommitCase{"", true, false, Null()},
                                           TCurrencyCommitCase{"", false, false, Currency{}},
                                           TCurrencyCommitCase{"-", false, true, Variant()}));

TEST_F(CurrencyEdit, ValueOutsideDistinctBoundsIsThePreviousOneOnCommit) {
  Edit->GetProperties()->SetMinValue(0);
  Edit->GetProperties()->SetMaxValue(100);
  Edit->SetValue(5);
  Focus(Edit);
  Edit->SelectAll();
  Type("150");
  FocusOther();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors.front(), GetLocalizedResourceString(&sqvEditValueOutOfBounds));
}

TEST_F(CurrencyEdit, ValueSetterKeepsInsideDistinctBounds) {
  EXPECT_EQ(Edit->GetValue(), 0);
  Edit->SetValue(-3);
  EXPECT_EQ(Edit->GetValue(), -3);  // equal bounds: no limit
  Edit->GetProperties()->SetMinValue(0);
  Edit->GetProperties()->SetMaxValue(100);
  Edit->SetValue(150);
  EXPECT_EQ(Edit->GetValue(), 100);
  EXPECT_EQ(Shown(Edit), "$100.00");
  Edit->SetValue(-5);
  EXPECT_EQ(Edit->GetValue(), 0);
}

TEST_F(CurrencyEdit, ValueOfNullOrOfATextThatIsNoAmountIsZero) {
  Edit->SetEditValue(Null());
  EXPECT_EQ(Edit->GetValue(), 0);
  Edit->SetEditValue(String("n/a"));
  EXPECT_EQ(Edit->GetValue(), 0);
  EXPECT_EQ(Shown(Edit), "n/a");
  Edit->SetEditValue(String("2.5"));
  EXPECT_EQ(Edit->GetValue(), 2.5);
}

// The setter of an editor that is not focused changes the display only: no validation runs.
TEST_F(CurrencyEdit, ValueSetterOfAnUnfocusedEditorRunsNoExitHandling) {
  Integer validations = 0;
  Edit->GetProperties()->OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++validations; };
  Integer exits = 0;
  Edit->OnExit = [&](TObject*) { ++exits; };
  Edit->SetValue(8);
  EXPECT_EQ(validations, 0);
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(Shown(Edit), "$8.00");
}

TEST_F(CurrencyEdit, PasteOfATextThatIsNoNumberRestoresTheOldText) {
  Edit->SetValue(12);
  Focus(Edit);
  Press(VK_END);
  Clipboard()->SetAsText("abc");
  Edit->PasteFromClipboard();
  EXPECT_EQ(WindowText(Edit), "12");
  EXPECT_EQ(Selection(Edit), std::make_pair(0, 2));
  Clipboard()->SetAsText("34");
  Press(VK_END);
  Edit->PasteFromClipboard();
  EXPECT_EQ(WindowText(Edit), "1234");
}

TEST_F(CurrencyEdit, LocaleChangeRefreshesOnlyAnUnassignedFormat) {
  TqvCurrencyEdit* assigned = NewTextEdit<TqvCurrencyEdit>(false, Rect(10, 40, 170, 61));
  assigned->GetProperties()->SetDisplayFormat("0.0");
  Edit->SetValue(1234.5);
  assigned->SetValue(1234.5);
  EXPECT_EQ(Shown(Edit), "$1,234.50");
  EXPECT_EQ(Shown(assigned), "1234.5");
  Locale.Use(lcGerman);
  EXPECT_EQ(Shown(Edit), String("1.234,50 ") + kEuro);
  EXPECT_EQ(Shown(assigned), "1234,5");
  EXPECT_EQ(assigned->GetProperties()->GetDisplayFormat(), "0.0");
}

}  // namespace
