// The calculator: the engine as tables of button sequences -> display, state and pending
// operation (immediate execution, percent, memory, length limits, the Error state, texts that
// are no number, overflow, exponent texts), the keyboard and the mouse through real input, the
// automatic sizing and the pinned locales.
#include <cmath>
#include <sstream>

#include "editors/qvCalc.h"
#include "lookandfeel/qvControlsTestSupport.h"
#include "platform/forms/Clipbrd.h"
#include "qvExtEditorsTestSupport.h"
#include "support/EnumNames.h"

namespace {

// A calculator whose display is a plain text, counting display changes.
class TTestCalculator : public TqvCustomCalculator {
  QJ_INLINE_CLASS(TTestCalculator, TqvCustomCalculator)
 public:
  explicit TTestCalculator(TComponent* AOwner) : TqvCustomCalculator(AOwner) {}
  String Display = "0";
  TqvLookAndFeelPainterClass Painter = nullptr;
  using TqvCustomCalculator::SetIsPopup;

 protected:
  void GetDisplayText(String& Text) override { Text = Display; }
  void SetDisplayText(const String& Text) override { Display = Text; }
  TqvLookAndFeelPainterClass GetPainter() const override {
    return Painter ? Painter : TqvCustomCalculator::GetPainter();
  }
};

std::string CalcStateName(TqvCalcState s) {
  return NameOf(s, {QJ_NAMED(TqvCalcState::Ready), QJ_NAMED(TqvCalcState::Entering), QJ_NAMED(TqvCalcState::Error)});
}

// Presses the buttons of a script: words are button captions ("sqrt", "M+", "CE" ...); a word of
// digits and "." presses one button per character.
void PressButtons(TqvCustomCalculator* c, const std::string& script) {
  std::istringstream words(script);
  std::string word;
  while (words >> word) {
    TqvCalcButtonKind kind = cbNone;
    for (Integer i = 0; i < qvCalcButtonCount; ++i)
      if (c->GetButton(TqvCalcButtonKind(i)).Caption == word) kind = TqvCalcButtonKind(i);
    if (kind != cbNone) {
      c->ButtonClick(kind);
      continue;
    }
    for (char ch : word) {
      ASSERT_TRUE(isdigit(static_cast<unsigned char>(ch)) || ch == '.') << "unknown word " << word;
      c->ButtonClick(ch == '.' ? cbDecimal : TqvCalcButtonKind(cbNum0 + (ch - '0')));
    }
  }
}

class TqvCalculatorTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FCalc = MakeOwned<TTestCalculator>(nullptr);
  }
  void TearDown() override {
    FCalc.reset();
    TqvControlsTest::TearDown();
  }
  TTestCalculator* Calc() { return FCalc.get(); }

 private:
  TOwned<TTestCalculator> FCalc;
};

// ---------------------------------------------------------------------------------------------
// Engine

struct TEngineCase {
  const char* Script;
  const char* Display;
  TqvCalcState State;
  TqvCalcButtonKind Pending;
};

std::ostream& operator<<(std::ostream& os, const TEngineCase& c) { return os << '"' << c.Script << '"'; }

class TqvCalculatorEngineTest : public TqvCalculatorTest, public ::testing::WithParamInterface<TEngineCase> {};

TEST_P(TqvCalculatorEngineTest, ScriptGivesDisplayStateAndPendingOperation) {
  const TEngineCase& c = GetParam();
  PressButtons(Calc(), c.Script);
  EXPECT_EQ(Calc()->Display, c.Display);
  EXPECT_EQ(CalcStateName(Calc()->GetState()), CalcStateName(c.State));
  EXPECT_EQ(Calc()->GetPendingOperation(), c.Pending);
}

constexpr auto R = TqvCalcState::Ready, E = TqvCalcState::Entering, X = TqvCalcState::Error;

INSTANTIATE_TEST_SUITE_P(
    Sequences, TqvCalculatorEngineTest,
    ::testing::Values(
        // Immediate execution, no precedence.
        TEngineCase{"5 + 3 * 2 =", "16", R, cbEqual}, TEngineCase{"5 + 3 *", "8", R, cbMul},
        TEngineCase{"8 + =", "8", R, cbEqual}, TEngineCase{"8 + + 2 =", "10", R, cbEqual},
        TEngineCase{"8 + - 2 =", "6", R, cbEqual}, TEngineCase{"7 / 2 =", "3.5", R, cbEqual},
        TEngineCase{"2 + 3 = 4", "4", E, cbEqual}, TEngineCase{"2 + 3 = + 1 =", "6", R, cbEqual},
        TEngineCase{"1 / 3 =", "0.3333333333333", R, cbEqual},
        // Percent follows the pending operation.
        TEngineCase{"200 + 10 %", "220", R, cbPercent}, TEngineCase{"200 + 10 % =", "220", R, cbEqual},
        TEngineCase{"200 - 10 %", "180", R, cbPercent}, TEngineCase{"50 * 10 %", "5", R, cbPercent},
        TEngineCase{"50 / 10 %", "500", R, cbPercent}, TEngineCase{"10 %", "10", R, cbPercent},
        // Square root and reciprocal; after a pending operation the result is its right operand.
        TEngineCase{"9 sqrt", "3", R, cbEqual}, TEngineCase{"4 1/x", "0.25", R, cbEqual},
        TEngineCase{"2 + 9 sqrt", "3", E, cbAdd}, TEngineCase{"2 + 9 sqrt =", "5", R, cbEqual},
        TEngineCase{"4 +/- sqrt", "Error", X, cbEqual}, TEngineCase{"0 1/x", "Error", X, cbEqual},
        // Entry: the decimal point, Back, the sign.
        TEngineCase{"1 . . 5", "1.5", E, cbEqual}, TEngineCase{". 5", "0.5", E, cbEqual},
        TEngineCase{"007", "7", E, cbEqual}, TEngineCase{"7 Back", "0", E, cbEqual},
        TEngineCase{"75 Back", "7", E, cbEqual}, TEngineCase{"5 +/- Back", "0", E, cbEqual},
        TEngineCase{"5 +/-", "-5", E, cbEqual}, TEngineCase{"0 +/-", "0", E, cbEqual},
        TEngineCase{"2 + 3 = Back", "0", E, cbEqual},
        // The length limit counts the separator; a minus sign adds one character.
        TEngineCase{"12345678901234567", "1234567890123", E, cbEqual},
        TEngineCase{"1.234567890123456", "1.23456789012", E, cbEqual},
        TEngineCase{"123456789012 +/- 345", "-1234567890123", E, cbEqual},
        // The Error state: only C and CE leave it; the memory survives.
        TEngineCase{"1 / 0 =", "Error", X, cbDiv}, TEngineCase{"1 / 0 = 5", "Error", X, cbDiv},
        TEngineCase{"1 / 0 = + 2", "Error", X, cbDiv}, TEngineCase{"1 / 0 = C", "0", R, cbEqual},
        TEngineCase{"1 / 0 = CE 4", "4", E, cbEqual}, TEngineCase{"1 / 0 = C 2 + 3 =", "5", R, cbEqual},
        // Memory.
        TEngineCase{"5 MS C MR", "5", E, cbEqual}, TEngineCase{"5 MS 3 M+ MR", "8", E, cbEqual},
        TEngineCase{"5 MS MC MR", "0", E, cbEqual}, TEngineCase{"5 MS 2 * MR =", "10", R, cbEqual},
        TEngineCase{"4 MS 1 / 0 = C MR", "4", E, cbEqual},
        // A recalled number in exponent form is replaced by typed digits, not extended.
        TEngineCase{"100000000 1/x MS C MR", "1E-8", E, cbEqual},
        TEngineCase{"100000000 1/x MS C MR 5", "5", E, cbEqual},
        TEngineCase{"100000000 1/x MS C MR .", "0.", E, cbEqual},
        TEngineCase{"2 + 100000000000000 1/x 7", "7", E, cbAdd},
        // Overflow of the arithmetic is an error, not an exception.
        TEngineCase{"9999999999999 MS MR * MR = MS MR * MR = MS MR * MR = MS MR * MR = MS MR * MR =", "Error", X,
                    cbMul}));

TEST_F(TqvCalculatorTest, MemoryAddThatOverflowsIsAnError) {
  Calc()->Display = "1.7E308";
  PressButtons(Calc(), "MS");
  Calc()->Display = "1.7E308";
  PressButtons(Calc(), "M+");
  EXPECT_EQ(Calc()->Display, "Error");
  EXPECT_EQ(Calc()->GetMemory(), 1.7e308);
}

TEST_F(TqvCalculatorTest, MemoryButtonsAreDisabledExactlyWhileTheMemoryIsZero) {
  EXPECT_TRUE(Calc()->GetButton(cbMC).Disabled);
  EXPECT_TRUE(Calc()->GetButton(cbMR).Disabled);
  PressButtons(Calc(), "3 MS");
  EXPECT_FALSE(Calc()->GetButton(cbMC).Disabled);
  EXPECT_FALSE(Calc()->GetButton(cbMR).Disabled);
  PressButtons(Calc(), "3 +/- M+");
  EXPECT_TRUE(Calc()->GetButton(cbMR).Disabled);
  PressButtons(Calc(), "2 MS MC");
  EXPECT_TRUE(Calc()->GetButton(cbMC).Disabled);
}

TEST_F(TqvCalculatorTest, ResetClearsTheMemoryAndThePendingOperation) {
  PressButtons(Calc(), "4 MS 2 +");
  Calc()->Reset();
  EXPECT_EQ(Calc()->GetMemory(), 0);
  EXPECT_EQ(Calc()->GetPendingOperation(), cbEqual);
  EXPECT_EQ(Calc()->GetState(), TqvCalcState::Ready);
  EXPECT_TRUE(Calc()->GetButton(cbMR).Disabled);
}

// A host may hold a text that is no number (the editor takes a lone "-"): it counts as 0.
class TqvCalculatorForeignTextTest : public TqvCalculatorTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TqvCalculatorForeignTextTest, CountsAsZero) {
  Calc()->Display = GetParam();
  EXPECT_EQ(Calc()->GetDisplayValue(), 0);
  EXPECT_NO_THROW(PressButtons(Calc(), "+ 5 ="));
  EXPECT_EQ(Calc()->Display, "5");
}

INSTANTIATE_TEST_SUITE_P(Texts, TqvCalculatorForeignTextTest, ::testing::Values("-", "", "  ", "abc", "1e", "1.2.3"));

TEST_F(TqvCalculatorTest, DisplayValueIsTrimmedText) {
  Calc()->Display = " 12.5 ";
  EXPECT_EQ(Calc()->GetDisplayValue(), 12.5);
}

TEST_F(TqvCalculatorTest, SetDisplayValueWritesOnlyAChangedTextAndReportsIt) {
  Integer changes = 0;
  Calc()->OnDisplayChange = [&](TObject*) { ++changes; };
  Calc()->SetDisplayValue(0);
  EXPECT_EQ(changes, 0);
  Calc()->SetDisplayValue(1.5);
  EXPECT_EQ(Calc()->Display, "1.5");
  EXPECT_EQ(changes, 1);
  Calc()->SetDisplayValue(1e20);
  EXPECT_EQ(Calc()->Display, "1E20");
  Calc()->SetPrecision(1);
  Calc()->SetDisplayValue(1.0 / 3);
  EXPECT_EQ(Calc()->Display, "0.33");
}

TEST_F(TqvCalculatorTest, PrecisionSetsTheLengthLimit) {
  Calc()->SetPrecision(5);
  PressButtons(Calc(), "12345678");
  EXPECT_EQ(Calc()->Display, "12345");
}

TEST_F(TqvCalculatorTest, EventsReportErrorsResultsAndButtons) {
  std::vector<std::string> log;
  Calc()->SetBeepOnError(false);
  Calc()->OnError = [&](TObject*) { log.push_back("error"); };
  Calc()->OnResult = [&](TObject*) { log.push_back("result"); };
  Calc()->OnButtonClick = [&](TObject*, TqvCalcButtonKind& b) {
    log.push_back(Calc()->GetButton(b).Caption);
    if (b == cbNum9) b = cbNum1;  // the handler may replace the button
  };
  PressButtons(Calc(), "9 + 1 = / 0 = 5");
  EXPECT_EQ(log, (std::vector<std::string>{"9", "+", "1", "=", "result", "/", "0", "=", "error", "5", "error"}));
  EXPECT_EQ(Calc()->Display, "Error");
}

TEST_F(TqvCalculatorTest, PasteTakesNumbersWithoutTheCurrencyString) {
  Clipboard()->SetAsText(" $12.5 ");
  Calc()->PasteFromClipboard();
  EXPECT_EQ(Calc()->Display, "12.5");
  EXPECT_EQ(Calc()->GetState(), TqvCalcState::Entering);
  PressButtons(Calc(), "* 2 =");
  EXPECT_EQ(Calc()->Display, "25");
}

TEST_F(TqvCalculatorTest, PasteOfTextThatIsNoNumberShowsZero) {
  for (const char* text : {"abc", "$", "1e999"}) {
    Calc()->Display = "7";
    Clipboard()->SetAsText(text);
    Calc()->PasteFromClipboard();
    EXPECT_EQ(Calc()->Display, "0") << text;
  }
}

TEST_F(TqvCalculatorTest, CopyPutsTheDisplayOnTheClipboard) {
  PressButtons(Calc(), "42");
  Calc()->CopyToClipboard();
  EXPECT_EQ(Clipboard()->GetAsText(), "42");
}

TEST_F(TqvCalculatorTest, CommaLocaleUsesItsDecimalSeparator) {
  TFormatSettingsScope german(TFormatSettings::German());
  auto calc = MakeOwned<TTestCalculator>(nullptr);
  EXPECT_EQ(calc->GetButton(cbDecimal).Caption, ",");
  PressButtons(calc.get(), "1 . 5 * 3 =");
  EXPECT_EQ(calc->Display, "4,5");
  PressButtons(calc.get(), "C 1 . . 25");
  EXPECT_EQ(calc->Display, "1,25");
}

// ---------------------------------------------------------------------------------------------
// Sizing

struct TSizeCase {
  TSize Client;
  Integer ButtonHeight;
  TSize Result;
};

std::ostream& operator<<(std::ostream& os, const TSizeCase& c) { return os << c.Client.cx << "x" << c.Client.cy; }

class TqvCalculatorSizeTest : public TqvCalculatorTest, public ::testing::WithParamInterface<TSizeCase> {};

TEST_P(TqvCalculatorSizeTest, ClientSizeSettlesOnTheComputedOne) {
  const TSizeCase& c = GetParam();
  TForm* form = NewForm(800, 600);
  auto* calc = Add<TTestCalculator>(form, Bounds(10, 10, 50, 50));
  Show(form);
  calc->SetClientSize(c.Client);
  Pump();
  EXPECT_EQ(calc->GetButtonHeight(), c.ButtonHeight);
  EXPECT_EQ(calc->GetClientWidth(), c.Result.cx);
  EXPECT_EQ(calc->GetClientHeight(), c.Result.cy);
  // The result is a fixpoint: sizing again changes nothing.
  calc->SetClientSize(c.Result);
  Pump();
  EXPECT_EQ(calc->GetClientWidth(), c.Result.cx);
  EXPECT_EQ(calc->GetButtonHeight(), c.ButtonHeight);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TqvCalculatorSizeTest,
                         ::testing::Values(TSizeCase{{198, 131}, 23, {202, 133}}, TSizeCase{{50, 50}, 22, {196, 128}},
                                           TSizeCase{{400, 300}, 46, {406, 266}},
                                           TSizeCase{{600, 200}, 34, {302, 200}}));

TEST_F(TqvCalculatorTest, ButtonsFollowTheLayout) {
  TForm* form = NewForm();
  auto* calc = Add<TTestCalculator>(form, Bounds(0, 0, 198, 131));
  Show(form);
  calc->SetClientSize({198, 131});
  Pump();
  // Button height 23, width 29, gaps 3, wide buttons 49.
  EXPECT_EQ(calc->GetButton(cbMC).Bounds, Rect(3, 29, 32, 52));
  EXPECT_EQ(calc->GetButton(cbNum7).Bounds, Rect(42, 29, 71, 52));
  EXPECT_EQ(calc->GetButton(cbEqual).Bounds, Rect(170, 107, 199, 130));
  EXPECT_EQ(calc->GetButton(cbClear).Bounds, Rect(150, 3, 199, 26));
  EXPECT_EQ(calc->GetButton(cbCancel).Bounds, Rect(98, 3, 147, 26));
  EXPECT_EQ(calc->GetButton(cbBack).Bounds, Rect(46, 3, 95, 26));
  EXPECT_EQ(calc->GetFontSize(), 8);
}

TEST_F(TqvCalculatorTest, WithoutAutoFontSizeTheButtonsAreTwoLinesHigh) {
  TForm* form = NewForm();
  auto* calc = Add<TTestCalculator>(form, Bounds(0, 0, 198, 131));
  Show(form);
  calc->SetAutoFontSize(false);
  Pump();
  EXPECT_EQ(calc->GetButtonHeight(), 2 * calc->GetCanvas()->FontHeight(calc->GetFont()));
}

// ---------------------------------------------------------------------------------------------
// Keyboard and mouse

class TqvCalculatorInputTest : public TqvCalculatorTest {
 protected:
  void SetUp() override {
    TqvCalculatorTest::SetUp();
    FForm = NewForm();
    FCalculator = Add<TTestCalculator>(FForm, Bounds(10, 10, 198, 131));
    Show(FForm);
    FCalculator->SetFocus();
    Pump();
  }
  TTestCalculator* C() { return FCalculator; }
  TPoint Centre(TqvCalcButtonKind k) { return RectCentre(C()->GetButton(k).Bounds); }
  void ClickButton(TqvCalcButtonKind k) { Click(C(), Centre(k)); }

  TForm* FForm = nullptr;
  TTestCalculator* FCalculator = nullptr;
};

TEST_F(TqvCalculatorInputTest, TypedCharactersRunTheEngine) {
  Type("5+3*2=");
  EXPECT_EQ(C()->Display, "16");
  Type("2@");
  EXPECT_EQ(C()->Display, "1.414213562373");
  Type("200+10%");
  EXPECT_EQ(C()->Display, "220");
}

TEST_F(TqvCalculatorInputTest, EnterIsEqualsOnce) {
  Type("2+3");
  Press(VK_RETURN);
  EXPECT_EQ(C()->Display, "5");
  EXPECT_EQ(C()->GetPendingOperation(), cbEqual);
}

struct TKeyCase {
  const char* Name;
  const char* Before;
  BYTE Key;
  unsigned Shift;
  const char* Display;
};

std::ostream& operator<<(std::ostream& os, const TKeyCase& c) { return os << c.Name; }

class TqvCalculatorKeyTest : public TqvCalculatorInputTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(TqvCalculatorKeyTest, KeyActsOnTheDisplay) {
  const TKeyCase& c = GetParam();
  Type(c.Before);
  Press(c.Key, c.Shift);
  EXPECT_EQ(C()->Display, c.Display);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TqvCalculatorKeyTest,
    ::testing::Values(TKeyCase{"Escape", "12+3", VK_ESCAPE, skNone, "0"}, TKeyCase{"Delete", "12", VK_DELETE, skNone, "0"},
                      TKeyCase{"C", "12", 'C', skNone, "0"}, TKeyCase{"F9", "12", VK_F9, skNone, "-12"},
                      TKeyCase{"R", "4", 'R', skNone, "0.25"}, TKeyCase{"Back", "123", VK_BACK, skNone, "12"},
                      TKeyCase{"CtrlC", "12", 'C', skCtrl, "12"}, TKeyCase{"CtrlMStoresOnly", "2+3", 'M', skCtrl, "3"},
                      TKeyCase{"CtrlL", "12", 'L', skCtrl, "12"}, TKeyCase{"CtrlP", "12", 'P', skCtrl, "12"}));

TEST_F(TqvCalculatorInputTest, CtrlMemoryKeysWorkTheMemoryAndNothingElse) {
  Type("2+3");
  Press('M', skCtrl);
  EXPECT_EQ(C()->GetMemory(), 3);
  EXPECT_EQ(C()->GetPendingOperation(), cbAdd);
  Type("4");
  Press('P', skCtrl);
  EXPECT_EQ(C()->GetMemory(), 7);
  Press(VK_ESCAPE);
  Press('R', skCtrl);
  EXPECT_EQ(C()->Display, "7");
  Press('L', skCtrl);
  EXPECT_EQ(C()->GetMemory(), 0);
}

TEST_F(TqvCalculatorInputTest, CtrlCCopiesAndCtrlVPastes) {
  Type("42");
  Press('C', skCtrl);
  EXPECT_EQ(Clipboard()->GetAsText(), "42");
  Clipboard()->SetAsText("17");
  Press('V', skCtrl);
  EXPECT_EQ(C()->Display, "17");
}

TEST_F(TqvCalculatorInputTest, HeldBackRepeatsAndAHeldDigitDoesNot) {
  Type("12345");
  for (int i = 0; i < 3; ++i) Headless::KeyDown(VK_BACK);
  Pump();
  EXPECT_TRUE(C()->GetButton(cbBack).Pressed);
  Headless::KeyUp(VK_BACK);
  Pump();
  EXPECT_EQ(C()->Display, "12");
  EXPECT_FALSE(C()->GetButton(cbBack).Pressed);
  for (int i = 0; i < 3; ++i) Headless::KeyDown('7');
  Headless::KeyUp('7');
  Pump();
  EXPECT_EQ(C()->Display, "127");
}

TEST_F(TqvCalculatorInputTest, ClickedButtonsRunTheEngine) {
  for (TqvCalcButtonKind k : {cbNum7, cbAdd, cbNum2, cbEqual}) ClickButton(k);
  EXPECT_EQ(C()->Display, "9");
}

TEST_F(TqvCalculatorInputTest, QuickSecondClickIsASecondPress) {
  const TPoint p = C()->ClientToScreen(Centre(cbNum5));
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(C()->Display, "55");
}

TEST_F(TqvCalculatorInputTest, ReleaseOutsideThePressedButtonDoesNotClick) {
  Down(C(), Centre(cbNum7));
  EXPECT_TRUE(C()->GetButton(cbNum7).Pressed);
  MoveTo(C(), Centre(cbNum8));
  EXPECT_FALSE(C()->GetButton(cbNum7).Pressed);
  MoveTo(C(), Centre(cbNum7));
  EXPECT_TRUE(C()->GetButton(cbNum7).Pressed);
  MoveTo(C(), {-20, -20});
  Up();
  EXPECT_EQ(C()->Display, "0");
  EXPECT_FALSE(C()->GetButton(cbNum7).Pressed);
}

TEST_F(TqvCalculatorInputTest, DisabledMemoryButtonsIgnoreClicks) {
  Type("5");
  ClickButton(cbMR);
  EXPECT_EQ(C()->Display, "5");
  EXPECT_FALSE(C()->GetButton(cbMR).Pressed);
}

TEST_F(TqvCalculatorInputTest, HotButtonFollowsThePointerWithAHotTrackingPainter) {
  MoveTo(C(), Centre(cbNum5));
  EXPECT_EQ(C()->GetHotButton(), cbNone);  // the standard painter has no hot buttons
  C()->Painter = TqvUltraFlatLookAndFeelPainter::Class();
  MoveTo(C(), Centre(cbNum4));
  EXPECT_EQ(C()->GetHotButton(), cbNum4);
  MoveTo(C(), Centre(cbNum6));
  EXPECT_EQ(C()->GetHotButton(), cbNum6);
  MoveTo(FForm, {390, 290});
  Wait(50);
  EXPECT_EQ(C()->GetHotButton(), cbNone);
}

TEST_F(TqvCalculatorInputTest, PopupCalculatorLeavesTheFocusWhereItIs) {
  auto* other = Add<TTestCalculator>(FForm, Bounds(220, 10, 198, 131));
  other->SetIsPopup(true);
  Pump();
  Click(other, RectCentre(other->GetButton(cbNum3).Bounds));
  EXPECT_TRUE(C()->Focused());
  EXPECT_EQ(other->Display, "3");
}

TEST_F(TqvCalculatorInputTest, EqualsIsDrawnAsTheDefaultButtonWhileFocused) {
  // The standard painter frames the default button in black; a normal one starts with its
  // highlight edge.
  auto corner = [&](TqvCalcButtonKind k) {
    C()->Repaint();
    Pump();
    const TSurface* s = Headless::WindowSurface(FForm->GetHandle());
    RECT win;
    GetWindowRect(FForm->GetHandle(), &win);
    const TPoint p = C()->ClientToScreen(C()->GetButton(k).Bounds.TopLeft());
    return s->Row(p.Y - win.Top)[p.X - win.Left] & 0xFFFFFF;
  };
  ASSERT_TRUE(C()->Focused());
  EXPECT_EQ(corner(cbEqual), 0x000000u);
  EXPECT_NE(corner(cbAdd), 0x000000u);
  auto* other = Add<TTestCalculator>(FForm, Bounds(220, 10, 198, 131));
  other->SetFocus();
  Pump();
  EXPECT_EQ(corner(cbEqual), corner(cbAdd));
}

}  // namespace
