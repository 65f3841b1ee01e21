// The mask edit: the mask and kind settings and their interplay, validation, display texts
// without a control, and scripted key sequences (typing, deleting, pasting, replacing a
// selection) for the classic mode and the two regular-expression modes.
#include "core/qvClasses.h"
#include "editors/qvMaskEdit.h"
#include "qvTextEditTestSupport.h"
#include "support/EnumNames.h"

namespace {

std::string KindName(TqvEditMaskKind K) {
  return NameOf(K, {QJ_NAMED(emkStandard), QJ_NAMED(emkRegExpr), QJ_NAMED(emkRegExprEx)});
}

const char* const kHexMask = "(\\d | [A-F] | [a-f])+";

// ---------------------------------------------------------------------------------------------
// Properties

class MaskEditProperties : public ::testing::Test {
 protected:
  void SetUp() override {
    Properties = MakeOwned<TqvMaskEditProperties>(nullptr);
    Properties->OnPropertiesChanged = [this](TObject*) { ++Changes; };
  }
  TOwned<TqvMaskEditProperties> Properties;
  Integer Changes = 0;
};

TEST_F(MaskEditProperties, BlankMasksAreNoMasks) {
  for (const char* mask : {"", "   ", "\t\r\n"}) {
    Properties->SetEditMask(mask);
    EXPECT_FALSE(Properties->IsMasked()) << "'" << mask << "'";
    EXPECT_TRUE(Properties->UseLookupData());
  }
  Properties->SetEditMask("00/00");
  EXPECT_TRUE(Properties->IsMasked());
  EXPECT_FALSE(Properties->UseLookupData());
}

TEST_F(MaskEditProperties, AMaskThatDoesNotCompileIsRefusedWithEveryError) {
  Properties->SetMaskKind(emkRegExpr);
  Properties->SetEditMask("\\d+");
  try {
    Properties->SetEditMask("a)(");
    FAIL() << "no error raised";
  } catch (const EqvMaskEditError& E) {
    EXPECT_EQ(E.Message().substr(0, 28), "Regular expression errors:\r\n");
    EXPECT_NE(E.Message().find("Line1, Char2"), String::npos) << E.Message();
  }
  EXPECT_EQ(Properties->GetEditMask(), "\\d+");
}

TEST_F(MaskEditProperties, MaskedPropertiesKeepMaxLengthZero) {
  Properties->SetEditMask("000");
  Properties->SetMaxLength(5);
  EXPECT_EQ(Properties->GetMaxLength(), 0);
  Properties->SetEditMask("");
  EXPECT_EQ(Properties->GetMaxLength(), 0) << "removing the mask leaves it at 0";
  Properties->SetMaxLength(5);
  EXPECT_EQ(Properties->GetMaxLength(), 5);
}

class TMaskProvider : public TqvCustomEditDefaultValuesProvider {
  QJ_INLINE_CLASS(TMaskProvider, TqvCustomEditDefaultValuesProvider)
 public:
  TMaskProvider() : TqvCustomEditDefaultValuesProvider(nullptr) {}
  String DefaultEditMask() override { return "000"; }
};

TEST_F(MaskEditProperties, ABlankClassicMaskTakesTheProvidersMask) {
  TMaskProvider provider;
  Properties->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(Properties->GetEditMask(), "000");
  EXPECT_TRUE(Properties->IsMasked());
  Properties->SetMaskKind(emkRegExpr);
  EXPECT_EQ(Properties->GetEditMask(), "") << "only the classic language takes it";
  Properties->SetDefaultValuesProvider(nullptr);
}

TEST_F(MaskEditProperties, IsRegisteredWithItsDescription) {
  TqvRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer index = kinds->IndexOf(&TqvMaskEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDisplayText(index), "MaskEdit|Represents a generic masked edit control.");
}

TEST_F(MaskEditProperties, ConvertingCharCaseForcesCaseInsensitivity) {
  Properties->SetCaseInsensitive(false);
  EXPECT_FALSE(Properties->GetCaseInsensitive());
  Properties->SetCharCase(ecUpperCase);
  EXPECT_TRUE(Properties->GetCaseInsensitive());
  Properties->SetCaseInsensitive(false);
  EXPECT_TRUE(Properties->GetCaseInsensitive());
}

struct TMaskDisplayCase {
  const char* Name;
  TqvEditMaskKind Kind;
  const char* Mask;
  const char* Value;
  bool Focused;
  const char* Expected;
};

class MaskEditDisplayText : public MaskEditProperties, public ::testing::WithParamInterface<TMaskDisplayCase> {};

TEST_P(MaskEditDisplayText, Is) {
  const TMaskDisplayCase& c = GetParam();
  Properties->SetMaskKind(c.Kind);
  Properties->SetEditMask(c.Mask);
  Variant shown;
  Properties->PrepareDisplayValue(String(c.Value), shown, c.Focused);
  EXPECT_EQ(VarToStr(shown), String(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditDisplayText,
    ::testing::Values(TMaskDisplayCase{"ClassicFocused", emkStandard, "00/00", "1234", true, "12/34"},
                      TMaskDisplayCase{"ClassicEmptyFocused", emkStandard, "00/00", "", true, "__/__"},
                      TMaskDisplayCase{"ClassicUnfocusedValueForm", emkStandard, "00/00;0", "1234", false, "1234"},
                      TMaskDisplayCase{"RegExprDropsRefused", emkRegExpr, kHexMask, "1g2h", false, "12"},
                      TMaskDisplayCase{"RegExprPatternCase", emkRegExpr, "abc", "ABC", false, "abc"},
                      TMaskDisplayCase{"ExtendedEmptyHasTheLeadingLiteral", emkRegExprEx, "\\(\\d\\d\\d\\)", "", false,
                                       "("},
                      TMaskDisplayCase{"ExtendedCompletesTheClosingLiteral", emkRegExprEx, "\\(\\d\\d\\d\\)", "(123",
                                       false, "(123)"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TMaskValidCase {
  const char* Name;
  TqvEditMaskKind Kind;
  const char* Mask;
  const char* Text;
  bool IgnoreMaskBlank;
  bool Valid;
};

class MaskEditValidation : public MaskEditProperties, public ::testing::WithParamInterface<TMaskValidCase> {};

TEST_P(MaskEditValidation, Is) {
  const TMaskValidCase& c = GetParam();
  Properties->SetMaskKind(c.Kind);
  Properties->SetEditMask(c.Mask);
  Properties->SetIgnoreMaskBlank(c.IgnoreMaskBlank);
  Variant value = String(c.Text);
  TCaption text;
  bool error = false;
  Properties->ValidateDisplayValue(value, text, error, nullptr);
  EXPECT_EQ(!error, c.Valid);
  if (error) {
    EXPECT_EQ(text, "The edit value is invalid");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditValidation,
    ::testing::Values(TMaskValidCase{"HexEmpty", emkRegExpr, kHexMask, "", false, true},
                      TMaskValidCase{"HexDigits", emkRegExpr, kHexMask, "1aF", false, true},
                      TMaskValidCase{"HexStranger", emkRegExpr, kHexMask, "1g", false, false},
                      TMaskValidCase{"TwoDigitsIncomplete", emkRegExpr, "\\d\\d", "1", false, false},
                      TMaskValidCase{"TwoDigitsIgnoringBlanks", emkRegExpr, "\\d\\d", "1", true, true},
                      TMaskValidCase{"ExtendedIgnoringBlanks", emkRegExprEx, "\\d\\d", "1", true, true},
                      TMaskValidCase{"ExtendedEmptyText", emkRegExprEx, "\\(\\d\\d\\d\\)", "(", false, true},
                      TMaskValidCase{"ExtendedIncomplete", emkRegExprEx, "\\(\\d\\d\\d\\)", "(12", false, false},
                      TMaskValidCase{"ClassicComplete", emkStandard, "00/00", "12/34", false, true},
                      TMaskValidCase{"ClassicIncomplete", emkStandard, "00/00", "12/3_", false, false},
                      TMaskValidCase{"ClassicBlankIgnored", emkStandard, "00/00", "__/__", true, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// The control

class MaskEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TqvMaskEdit>();
    Edit->GetProperties()->SetBeepOnError(true);
    Edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) { AfterKeys.push_back(Key); };
    ShowForm();
  }
  void Mask(TqvEditMaskKind AKind, const char* AMask) {
    Edit->GetProperties()->SetMaskKind(AKind);
    Edit->GetProperties()->SetEditMask(AMask);
  }
  TqvMaskEdit* Edit = nullptr;
  std::vector<Word> AfterKeys;
};

TEST_F(MaskEdit, ChangingTheLanguageClearsTheMaskButAnAssignKeepsTheNewOne) {
  Mask(emkStandard, "00/00");
  Edit->GetProperties()->SetMaskKind(emkRegExpr);
  EXPECT_EQ(Edit->GetProperties()->GetEditMask(), "");
  EXPECT_EQ(KindName(Edit->GetMode()->GetMaskKind()), std::string("emkRegExpr"));
  TOwned<TqvMaskEditProperties> source = MakeOwned<TqvMaskEditProperties>(nullptr);
  source->SetMaskKind(emkStandard);
  source->SetEditMask("000");
  Edit->GetProperties()->Assign(source.get());
  EXPECT_EQ(Edit->GetProperties()->GetEditMask(), "000");
  EXPECT_EQ(KindName(Edit->GetMode()->GetMaskKind()), std::string("emkStandard"));
  // Between the two regular-expression kinds the mask stays.
  Mask(emkRegExpr, kHexMask);
  Edit->GetProperties()->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(Edit->GetProperties()->GetEditMask(), kHexMask);
}

TEST_F(MaskEdit, WithoutAMaskItCompletesLikeATextEdit) {
  Mask(emkStandard, "  ");
  SetItems(Edit->GetProperties(), {"Apple", "Banana"});
  Focus(Edit);
  Type("b");
  EXPECT_EQ(WindowText(Edit), "Banana");
}

TEST_F(MaskEdit, UpAndDownGoToTheAfterKeyDownHandler) {
  Mask(emkStandard, "00/00");
  Focus(Edit);
  Press(VK_RIGHT);
  const auto before = Selection(Edit);
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ(AfterKeys, std::vector<Word>({VK_UP, VK_DOWN}));
  EXPECT_EQ(Selection(Edit), before);
}

TEST_F(MaskEdit, AnIncompleteTextIsRefusedOnEnter) {
  Mask(emkStandard, "00/00");
  Focus(Edit);
  Type("12");
  Press(VK_RETURN);
  EXPECT_EQ(Errors, std::vector<String>({"The edit value is invalid"}));
  Type("34");
  Press(VK_RETURN);
  EXPECT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Edit->GetEditValue(), Variant(String("12/34")));
}

TEST_F(MaskEdit, ValueOfTheHexCellIsTheTypedText) {
  Mask(emkRegExpr, kHexMask);
  Edit->GetProperties()->SetCharCase(ecUpperCase);
  Focus(Edit);
  Type("1af");
  FocusOther();
  EXPECT_EQ(Edit->GetEditValue(), Variant(String("1AF")));
}

TEST_F(MaskEdit, UnfocusedClassicShowsBlanksAndLiteralsOnlyWhenAsked) {
  Mask(emkStandard, "00/00");
  Edit->SetEditValue(String());
  EXPECT_EQ(WindowText(Edit), "  /  ");
  Edit->GetProperties()->SetShowBlanksAndLiteralsAlways(true);
  EXPECT_EQ(WindowText(Edit), "__/__");
}

TEST_F(MaskEdit, TextIsTheValueFormOfTheMask) {
  Mask(emkStandard, "00/00");
  Edit->SetText("1234");
  EXPECT_EQ(WindowText(Edit), "12/34");
  EXPECT_EQ(Edit->GetText(), "12/34");
  Mask(emkStandard, "00/00;0");
  EXPECT_EQ(Edit->GetText(), "1234") << "a mask that drops its literals";
}

TEST_F(MaskEdit, ALoadedEditShowsItsValueThroughTheMaskWithoutChangeEvents) {
  Integer changes = 0;
  FForm->BeginLoading();
  auto* loaded = NewTextEdit<TqvMaskEdit>(false, Rect(10, 40, 170, 61));
  loaded->GetProperties()->SetEditMask("00/00");
  loaded->SetEditValue(String("1234"));
  loaded->GetProperties()->OnChange = [&](TObject*) { ++changes; };
  FForm->EndLoading();
  EXPECT_EQ(WindowText(loaded), "12/34");
  EXPECT_EQ(changes, 0);
}

TEST_F(MaskEdit, AnUnmaskedEditKeepsTypedTextWhenCharCaseReturnsToNormal) {
  Edit->GetProperties()->SetCharCase(ecUpperCase);
  Focus(Edit);
  Type("ab");
  Edit->GetProperties()->SetCharCase(ecNormal);
  EXPECT_EQ(WindowText(Edit), "AB");
}

TEST_F(MaskEdit, ChangingTheEchoModeKeepsTheSelection) {
  Mask(emkStandard, "00/00");
  Edit->SetEditValue(String("1234"));
  Focus(Edit);
  RunKeys({Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT)});
  Edit->GetProperties()->SetEchoMode(eemPassword);
  EXPECT_EQ(Selection(Edit), std::make_pair(3, 1));
}

TEST_F(MaskEdit, ARepositoryItemGivesItsMask) {
  auto* repository = New<TqvEditRepository>(FForm);
  auto* item = static_cast<TqvEditRepositoryMaskItem*>(repository->CreateItem(&TqvEditRepositoryMaskItem::StaticClass()));
  item->GetProperties()->SetMaskKind(emkRegExpr);
  item->GetProperties()->SetEditMask(kHexMask);
  item->GetProperties()->SetBeepOnError(true);
  Edit->SetRepositoryItem(item);
  EXPECT_EQ(KindName(Edit->GetMode()->GetMaskKind()), std::string("emkRegExpr"));
  Focus(Edit);
  const int beeps = Headless::BeepCount();
  Type("1g2");
  EXPECT_EQ(WindowText(Edit), "12");
  EXPECT_EQ(Headless::BeepCount() - beeps, 1);
  Edit->SetRepositoryItem(nullptr);
}

// A grid cell's editor starts with the key that began the editing, through the mask.
struct TActivationCase {
  const char* Name;
  TqvEditMaskKind Kind;
  const char* Mask;
  char Key;
  const char* Text;
  Integer Beeps;
};

class MaskEditActivation : public MaskEdit, public ::testing::WithParamInterface<TActivationCase> {};

TEST_P(MaskEditActivation, FirstKey) {
  const TActivationCase& c = GetParam();
  auto* cell = NewTextEdit<TqvMaskEdit>(true, Rect(10, 40, 170, 61));
  cell->GetProperties()->SetMaskKind(c.Kind);
  cell->GetProperties()->SetEditMask(c.Mask);
  cell->GetProperties()->SetCharCase(ecUpperCase);
  cell->GetProperties()->SetBeepOnError(true);
  cell->SetVisible(false);
  TqvCustomEditData* data = nullptr;
  const int beeps = Headless::BeepCount();
  cell->ActivateByKey(c.Key, data);
  Pump();
  delete data;
  EXPECT_TRUE(cell->Focused());
  EXPECT_EQ(WindowText(cell), String(c.Text));
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, MaskEditActivation,
    ::testing::Values(TActivationCase{"HexDigit", emkRegExpr, kHexMask, '7', "7", 0},
                      TActivationCase{"HexLetterUpperCased", emkRegExpr, kHexMask, 'a', "A", 0},
                      TActivationCase{"HexStranger", emkRegExpr, kHexMask, 'g', "", 1},
                      TActivationCase{"ClassicTypesOverTheTemplate", emkStandard, "00/00", '1', "1_/__", 0},
                      TActivationCase{"ClassicStranger", emkStandard, "00/00", 'x', "__/__", 1},
                      TActivationCase{"ExtendedTypesAfterTheLeadingLiteral", emkRegExprEx, "\\(\\d\\d\\d\\)", '1',
                                      "(1", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MaskEdit, AnIncompleteRegularExpressionTextKeepsTheFocusOnExit) {
  Mask(emkRegExpr, "\\d\\d");
  Focus(Edit);
  Type("1");
  FocusOther();
  EXPECT_EQ(Errors, std::vector<String>({"The edit value is invalid"}));
  EXPECT_TRUE(Edit->IsEditFocused());
}

// ---------------------------------------------------------------------------------------------
// Key scripts per mode

struct TMaskScript {
  const char* Name;
  TqvEditMaskKind Kind;
  const char* Mask;
  const char* Initial;    // the edit value set before the focus
  const char* Clipboard;  // nullptr: left alone
  std::vector<TKeyStep> Keys;
  const char* Text;
  Integer SelStart;
  Integer SelLength;  // -1: not checked
  Integer Beeps;
  const char* ClipboardAfter = nullptr;  // nullptr: not checked
  Integer CaretFromOutside = -1;         // set through the edit (as a click does) before the keys
};

void PrintTo(const TMaskScript& c, std::ostream* os) { *os << c.Name << " (" << KindName(c.Kind) << ")"; }

class MaskEditScript : public MaskEdit, public ::testing::WithParamInterface<TMaskScript> {};

TEST_P(MaskEditScript, Runs) {
  const TMaskScript& c = GetParam();
  Mask(c.Kind, c.Mask);
  Edit->SetEditValue(String(c.Initial));
  if (c.Clipboard) Clipboard()->SetAsText(c.Clipboard);
  Focus(Edit);
  if (c.CaretFromOutside >= 0) {
    Edit->SetSelStart(c.CaretFromOutside);
    Edit->SetSelLength(0);
  }
  const int beeps = Headless::BeepCount();
  RunKeys(c.Keys);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
  EXPECT_EQ(Selection(Edit).first, c.SelStart);
  if (c.SelLength >= 0) {
    EXPECT_EQ(Selection(Edit).second, c.SelLength);
  }
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Beeps);
  if (c.ClipboardAfter) {
    EXPECT_EQ(Clipboard()->GetAsText(), String(c.ClipboardAfter));
  }
}

const std::vector<TKeyStep> kStart = {Key(VK_HOME)};

INSTANTIATE_TEST_SUITE_P(
    Classic, MaskEditScript,
    ::testing::Values(
        TMaskScript{"TypeOverTheTemplate", emkStandard, "00/00", "", nullptr, {Key(VK_HOME), Chars("1234")},
                    "12/34", 5, 0, 0},
        TMaskScript{"TheLiteralIsSkipped", emkStandard, "00/00", "", nullptr, {Key(VK_HOME), Chars("12")}, "12/__",
                    3, 1, 0},
        TMaskScript{"BackspaceBlanks", emkStandard, "00/00", "", nullptr,
                    {Key(VK_HOME), Chars("1234"), Key(VK_BACK)}, "12/3_", 4, 1, 0},
        TMaskScript{"HomeSelectsTheFirstPosition", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_END), Key(VK_HOME)}, "12/34", 0, 1, 0},
        TMaskScript{"HomeSkipsALeadingLiteral", emkStandard, "(000)", "", nullptr, {Key(VK_END), Key(VK_HOME)},
                    "(___)", 1, 1, 0},
        TMaskScript{"ARefusedCharacterBeeps", emkStandard, "00/00", "", nullptr, {Key(VK_HOME), Chars("a")},
                    "__/__", 0, 1, 1},
        TMaskScript{"DeleteBlanksTheCaretsCharacter", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_DELETE)}, "_2/34", 0, 1, 0},
        TMaskScript{"ShiftDeleteWithoutSelectionIsBackspace", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_END), Key(VK_DELETE, skShift)}, "12/3_", 4, 1, 0},
        TMaskScript{"PasteOverwritesFromTheCaret", emkStandard, "00/00", "", "98", {Key(VK_HOME), Key('V', skCtrl)},
                    "98/__", 3, 1, 0},
        TMaskScript{"TypingOverASelection", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Key(VK_RIGHT, skShift), Chars("7")}, "72/34", 1, 1, 0},
        TMaskScript{"LeftSkipsTheLiteral", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_LEFT)}, "12/34", 1, 1, 0},
        TMaskScript{"RightFromTheLastPositionGoesToTheEnd", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT)}, "12/34", 5, 0, 0},
        TMaskScript{"CtrlLeftSelectsTheFirstPosition", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skCtrl)}, "12/34", 0, 1, 0},
        TMaskScript{"CtrlRightGoesToTheEnd", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skCtrl)}, "12/34", 5, 0, 0},
        TMaskScript{"DeletingASelectionBlanksItsEditablePositions", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_END, skShift), Key(VK_DELETE)}, "__/__", 0, 1, 0},
        TMaskScript{"CutCopiesAndBlanks", emkStandard, "00/00", "1234", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Key('X', skCtrl)}, "__/34", 0, 1, 0, "12"},
        TMaskScript{"PasteInTheMiddleSkipsTheLiteralAfter", emkStandard, "00/00", "", "5",
                    {Key(VK_HOME), Key(VK_RIGHT), Key('V', skCtrl)}, "_5/__", 3, 1, 0},
        TMaskScript{"PasteWithoutLiteralsIsMerged", emkStandard, "00/00", "", "1234", {Key(VK_HOME), Key('V', skCtrl)},
                    "12/34", 4, 1, 0},
        TMaskScript{"PasteLongerThanTheMaskIsCut", emkStandard, "00/00", "", "123456",
                    {Key(VK_HOME), Key('V', skCtrl)}, "12/34", 4, 1, 0},
        TMaskScript{"CaretSetFromOutsideSelectsItsCharacter", emkStandard, "00/00", "1234", nullptr, {Chars("9")},
                    "12/94", 4, 1, 0, nullptr, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    RegExpr, MaskEditScript,
    ::testing::Values(
        TMaskScript{"HexDigitsAnywhere", emkRegExpr, kHexMask, "", nullptr, {Chars("1aF"), Key(VK_HOME), Chars("b")},
                    "b1aF", 1, 0, 0},
        TMaskScript{"HexRefusesAndBeeps", emkRegExpr, kHexMask, "12", nullptr, {Key(VK_END), Chars("g")}, "12", 2, 0,
                    1},
        TMaskScript{"DeleteDropsATailThatNoLongerFits", emkRegExpr, "\\d\\d-\\d\\d", "12-34", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_DELETE)}, "12", 2, 0, 0},
        TMaskScript{"BackspaceDropsATailThatNoLongerFits", emkRegExpr, "\\d\\d-\\d\\d", "12-34", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_BACK)}, "12", 2, 0, 0},
        TMaskScript{"PatternCaseWins", emkRegExpr, "abc", "", nullptr, {Chars("ABC")}, "abc", 3, 0, 0},
        TMaskScript{"SelectionReplaced", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_END), Key(VK_HOME, skShift), Chars("f")}, "f", 1, 0, 0},
        TMaskScript{"SelectionReplacedKeepsAFittingTail", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Chars("9")}, "92AB", 1, 0, 0},
        TMaskScript{"PastedCharactersThePatternRefusesAreLeftOut", emkRegExpr, kHexMask, "12", "z3z",
                    {Key(VK_END), Key('V', skCtrl)}, "123", 3, 0, 0},
        TMaskScript{"TypingAfterAPasteRefusesWhatCannotFollow", emkRegExpr, "\\d\\d", "", "1",
                    {Key('V', skCtrl), Chars("2x")}, "12", 2, 0, 1},
        TMaskScript{"FocusSelectsAllAndTypingReplacesIt", emkRegExpr, kHexMask, "12AB", nullptr, {Chars("9")}, "9", 1,
                    0, 0},
        TMaskScript{"LeftCollapsesASelectionToItsStart", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skShift), Key(VK_LEFT, skShift), Key(VK_LEFT), Chars("9")}, "129AB", 3,
                    0, 0},
        TMaskScript{"CtrlLeftGoesToTheStart", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skCtrl), Chars("9")}, "912AB", 1, 0, 0},
        TMaskScript{"CtrlRightGoesToTheEnd", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skCtrl), Chars("9")}, "12AB9", 5, 0, 0},
        TMaskScript{"BackspaceRemovesASelection", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skShift), Key(VK_BACK)}, "12A", 3, 0, 0},
        TMaskScript{"DeletingASelectionDropsATailThatNoLongerFits", emkRegExpr, "\\d\\d-\\d\\d", "12-34", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Key(VK_DELETE)}, "", 0, 0, 1},
        TMaskScript{"AReplacementThatCannotFollowIsRefused", emkRegExpr, "\\d-\\d", "1-2", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT, skShift), Chars("5")}, "1-2", 1, 1, 1},
        TMaskScript{"CutRemovesTheSelection", emkRegExpr, kHexMask, "12AB", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Key(VK_RIGHT, skShift), Key('X', skCtrl)}, "AB", 0, 0, 0,
                    "12"},
        TMaskScript{"CaretSetFromOutside", emkRegExpr, kHexMask, "12AB", nullptr, {Chars("9")}, "192AB", 2, 0, 0,
                    nullptr, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    RegExprEx, MaskEditScript,
    ::testing::Values(
        TMaskScript{"TheLeadingLiteralIsThere", emkRegExprEx, "\\(\\d\\d\\d\\)", "", nullptr, {Key(VK_END)}, "(", 1,
                    0, 0},
        TMaskScript{"TheClosingLiteralIsTyped", emkRegExprEx, "\\(\\d\\d\\d\\)", "", nullptr,
                    {Key(VK_END), Chars("123")}, "(123)", 5, 0, 0},
        TMaskScript{"BackspaceTakesTheLiteralWithIt", emkRegExprEx, "\\(\\d\\d\\d\\)", "", nullptr,
                    {Key(VK_END), Chars("123"), Key(VK_BACK)}, "(12", 3, 0, 0},
        TMaskScript{"TheLeadingLiteralCannotBeRemoved", emkRegExprEx, "\\(\\d\\d\\d\\)", "", nullptr,
                    {Key(VK_END), Chars("1"), Key(VK_BACK), Key(VK_BACK), Key(VK_HOME), Key(VK_DELETE)}, "(", 0, 0, 2},
        TMaskScript{"LeftMovesByUnits", emkRegExprEx, "\\d-\\d-\\d", "", nullptr,
                    {Chars("12"), Key(VK_LEFT)}, "1-2-", 2, 0, 0},
        TMaskScript{"DeleteTakesAUnitAndCompletesTheTail", emkRegExprEx, "\\d-\\d-\\d", "", nullptr,
                    {Chars("123"), Key(VK_HOME), Key(VK_DELETE)}, "2-3-", 0, 0, 0},
        TMaskScript{"TypingInTheMiddleKeepsATailThatFits", emkRegExprEx, "\\d+-\\d", "", nullptr,
                    {Chars("12-3"), Key(VK_HOME), Chars("9")}, "912-3", 1, 0, 0},
        TMaskScript{"ATailThatNoLongerFitsGoes", emkRegExprEx, "\\d-\\d-\\d", "", nullptr,
                    {Chars("123"), Key(VK_HOME), Key(VK_DELETE), Chars("7")}, "7-", 2, 0, 0},
        TMaskScript{"ARefusedCharacterBeeps", emkRegExprEx, "\\(\\d\\d\\d\\)", "", nullptr,
                    {Key(VK_END), Chars("x")}, "(", 1, 0, 1},
        TMaskScript{"RightMovesByUnits", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr, {Key(VK_HOME), Key(VK_RIGHT)},
                    "1-2-3", 2, 0, 0},
        TMaskScript{"ShiftLeftSelectsWholeUnits", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skShift), Key(VK_LEFT, skShift)}, "1-2-3", 2, 3, 0},
        TMaskScript{"BackspaceRemovesSelectedUnits", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skShift), Key(VK_LEFT, skShift), Key(VK_BACK)}, "1-", 2, 0, 0},
        TMaskScript{"ShiftRightSelectsAUnit", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Chars("7")}, "7-2-3", 2, 0, 0},
        TMaskScript{"CutTakesAWholeUnit", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr,
                    {Key(VK_HOME), Key(VK_RIGHT, skShift), Key('X', skCtrl)}, "2-3-", 0, 0, 0, "1-"},
        TMaskScript{"DeleteInsideAFixedPatternDropsWhatNoLongerFits", emkRegExprEx, "\\(\\d\\d\\d\\)", "(123)",
                    nullptr, {Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_DELETE)}, "(1", 2, 0, 0},
        TMaskScript{"ReplacingEverythingKeepsTheLeadingLiteral", emkRegExprEx, "\\(\\d\\d\\d\\)", "(123)", nullptr,
                    {Key(VK_HOME), Key(VK_END, skShift), Chars("9")}, "(9", 2, 0, 0},
        TMaskScript{"CtrlLeftThenDeleteKeepsTheLeadingLiteral", emkRegExprEx, "\\(\\d\\d\\d\\)", "(123)", nullptr,
                    {Key(VK_END), Key(VK_LEFT, skCtrl), Key(VK_DELETE)}, "(123)", 0, 0, 1},
        TMaskScript{"ACaretInsideAUnitSnapsToItsStart", emkRegExprEx, "\\d-\\d-\\d", "1-2-3", nullptr,
                    {Key(VK_DELETE)}, "2-3-", 0, 0, 0, nullptr, 1},
        TMaskScript{"APasteIsCompletedWithTheForcedLiterals", emkRegExprEx, "\\d-\\d-\\d", "", "1-2",
                    {Key('V', skCtrl), Chars("3")}, "1-2-3", 5, 0, 0},
        // Groups that can never complete the text force nothing: typing ends.
        TMaskScript{"AnEmptyGroupAfterARepeat", emkRegExprEx, "a+b{0}", "", nullptr, {Chars("aab")}, "aa", 2, 0, 1},
        TMaskScript{"AnEmptyGroupAfterAStar", emkRegExprEx, "}*(a){0}", "", nullptr, {Chars("}}a"), Key(VK_BACK)}, "}",
                    1, 0, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------------
// The mode factory

// A classic mode that counts the characters it is asked to take.
class TCountingMode : public TqvMaskEditStandardMode {
  QJ_INLINE_CLASS(TCountingMode, TqvMaskEditStandardMode)
 public:
  using TqvMaskEditStandardMode::TqvMaskEditStandardMode;
  bool PressChar(char& ch) override {
    ++Count;
    return TqvMaskEditStandardMode::PressChar(ch);
  }
  static inline Integer Count = 0;
};

TEST(MaskEditModes, TheFactoryMakesTheClassOfEachKind) {
  EXPECT_EQ(GetMaskEditModeClass(emkStandard), &TqvMaskEditStandardMode::StaticClass());
  EXPECT_EQ(GetMaskEditModeClass(emkRegExpr), &TqvMaskEditRegExprMode::StaticClass());
  EXPECT_EQ(GetMaskEditModeClass(emkRegExprEx), &TqvMaskEditRegExprExMode::StaticClass());
}

TEST_F(MaskEdit, AModeRegisteredForAKindServesTheNextKindChange) {
  RegisterMaskEditModeClass(emkStandard, &TCountingMode::StaticClass());
  Mask(emkRegExpr, kHexMask);
  Mask(emkStandard, "000");
  RegisterMaskEditModeClass(emkStandard, &TqvMaskEditStandardMode::StaticClass());
  ASSERT_TRUE(Edit->GetMode()->IsExactly<TCountingMode>());
  Focus(Edit);
  TCountingMode::Count = 0;
  Type("12");
  EXPECT_EQ(TCountingMode::Count, 2);
  EXPECT_EQ(WindowText(Edit), "12_");
}

TEST_F(MaskEdit, ExtendedSelectionIsReplacedByTheTypedUnit) {
  Mask(emkRegExprEx, "\\d\\d\\d");
  Focus(Edit);
  RunKeys({Chars("123"), Key(VK_HOME), Key(VK_RIGHT), Key(VK_RIGHT, skShift), Chars("9")});
  EXPECT_EQ(WindowText(Edit), "193");
  EXPECT_EQ(Selection(Edit), std::make_pair(2, 0));
}

}  // namespace
