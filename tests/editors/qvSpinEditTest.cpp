// The spin editor under both pinned locales: display texts by value type as a table (values
// that are no number, integers beyond the 32-bit range), stepping as a table of bounds, value,
// increment and kind, the keys, the wheel and the auto-repeat of a held button, typed
// characters, validation of the committed text, and the button layouts.
#include "editors/qvSpinEdit.h"
#include "qvExtEditorsTestSupport.h"
#include "qvExtendedEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"
#include "support/ControlPixels.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Display texts

struct TSpinDisplayCase {
  TTestLocale Locale;
  TqvSpinEditValueType Type;
  Variant Value;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TSpinDisplayCase& c) {
  return os << LocaleName(c.Locale) << (c.Type == vtInt ? " int " : " float ") << VarToStr(c.Value);
}

class SpinDisplay : public ::testing::TestWithParam<TSpinDisplayCase> {};

TEST_P(SpinDisplay, PreparedText) {
  const TSpinDisplayCase& c = GetParam();
  TTestLocaleScope locale(c.Locale);
  TOwned<TqvSpinEditProperties> properties = MakeOwned<TqvSpinEditProperties>(nullptr);
  properties->SetValueType(c.Type);
  Variant text;
  EXPECT_NO_THROW(properties->PrepareDisplayValue(c.Value, text, false));
  EXPECT_EQ(VarToStr(text), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SpinDisplay,
    ::testing::Values(TSpinDisplayCase{lcEnglishUS, vtFloat, 1.5, "1.5"},
                      TSpinDisplayCase{lcGerman, vtFloat, 1.5, "1,5"},
                      TSpinDisplayCase{lcEnglishUS, vtFloat, 1.0 / 3, "0.333333333333333"},
                      TSpinDisplayCase{lcEnglishUS, vtFloat, Null(), ""},
                      TSpinDisplayCase{lcEnglishUS, vtFloat, String("2.25"), "2.25"},
                      TSpinDisplayCase{lcEnglishUS, vtInt, 2.5, "2"},  // halves go to the even neighbour
                      TSpinDisplayCase{lcEnglishUS, vtInt, 3.5, "4"}, TSpinDisplayCase{lcEnglishUS, vtInt, -2.5, "-2"},
                      TSpinDisplayCase{lcEnglishUS, vtInt, Integer(42), "42"},
                      // Beyond the integer range the number is shown, never wrapped.
                      TSpinDisplayCase{lcEnglishUS, vtInt, 3e9, "3000000000"},
                      TSpinDisplayCase{lcEnglishUS, vtInt, 1e20, "1E20"},
                      // A value that is no number (a column over text data) paints as its text.
                      TSpinDisplayCase{lcEnglishUS, vtFloat, String("n/a"), "n/a"},
                      TSpinDisplayCase{lcEnglishUS, vtInt, String("n/a"), "n/a"}));

TEST(SpinProperties, ValueTypeFollowsTheProviderUntilAssigned) {
  TOwned<TqvSpinEditProperties> properties = MakeOwned<TqvSpinEditProperties>(nullptr);
  EXPECT_EQ(properties->GetValueType(), vtFloat);
  EXPECT_FALSE(properties->IsValueTypeStored());
  properties->SetValueType(vtInt);
  EXPECT_TRUE(properties->IsValueTypeStored());
  TOwned<TqvSpinEditProperties> copy = MakeOwned<TqvSpinEditProperties>(nullptr);
  copy->Assign(properties.get());
  EXPECT_EQ(copy->GetValueType(), vtInt);
  EXPECT_TRUE(copy->IsValueTypeStored());
}

TEST(SpinProperties, FastButtonsComeAndGo) {
  TOwned<TqvSpinEditProperties> properties = MakeOwned<TqvSpinEditProperties>(nullptr);
  EXPECT_EQ(properties->GetButtons()->GetCount(), 2);
  properties->GetSpinButtons()->SetShowFastButtons(true);
  EXPECT_EQ(properties->GetButtons()->GetCount(), 4);
  properties->GetSpinButtons()->SetShowFastButtons(false);
  EXPECT_EQ(properties->GetButtons()->GetCount(), 2);
}

TEST(SpinProperties, DefaultTextAndRegistration) {
  TOwned<TqvSpinEditProperties> properties = MakeOwned<TqvSpinEditProperties>(nullptr);
  EXPECT_EQ(VarToStr(properties->GetDefaultDisplayValue()), "0");
  properties->SetMaxValue(10);
  properties->SetMinValue(2);
  EXPECT_EQ(VarToStr(properties->GetDefaultDisplayValue()), "2");
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvSpinEditProperties"), nullptr);
}

TEST(SpinProperties, EditValuesOfTheValueType) {
  TOwned<TqvSpinEditProperties> properties = MakeOwned<TqvSpinEditProperties>(nullptr);
  properties->SetValueType(vtInt);
  struct {
    Variant Value;
    bool Valid;
  } cases[] = {{Null(), true}, {Integer(5), true}, {String("7"), true},       {String(""), true},
               {String("x"), false}, {String("1.5"), false}, {5e9, false}, {VarArrayOf({1, 2}), false}};
  for (auto& c : cases) {
    Variant value = c.Value;
    EXPECT_EQ(properties->IsEditValueValid(value, false), c.Valid) << VarToStr(c.Value);
  }
}

// ---------------------------------------------------------------------------------------------
// The editor

class SpinEdit : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TqvSpinEdit>(false, Rect(10, 10, 170, 32));
    ShowForm();
  }
  TqvCustomSpinEditProperties* P() const { return Edit->GetProperties(); }
  // The client rectangle of the button of a step kind.
  TRect ButtonRect(Integer AKind) const {
    TqvCustomEditViewInfo* viewInfo = Edit->GetViewInfo();
    for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i)
      if (viewInfo->GetButton(i)->ButtonIndex == AKind) return viewInfo->GetButton(i)->Bounds;
    return TRect{};
  }

  TTestLocaleAndClock Locale;
  TqvSpinEdit* Edit = nullptr;
};

TEST_F(SpinEdit, StartsAtTheIntegerZero) {
  EXPECT_EQ(VarType(Edit->GetEditValue()), varInteger);
  EXPECT_EQ(Edit->GetText(), "0");
}

struct TSpinStepCase {
  double Min, Max;
  double Value;
  TqvSpinEditValueType Type;
  double Increment;
  TqvSpinEditStepKind Kind;
  const char* Text;  // after the step
  bool Changed;
};

std::ostream& operator<<(std::ostream& os, const TSpinStepCase& c) {
  return os << c.Min << ".." << c.Max << " at " << c.Value << " step " << c.Increment << " kind " << Integer(c.Kind);
}

class SpinEditStep : public SpinEdit, public ::testing::WithParamInterface<TSpinStepCase> {};

TEST_P(SpinEditStep, StepGivesText) {
  const TSpinStepCase& c = GetParam();
  P()->SetValueType(c.Type);
  P()->SetIncrement(c.Increment);
  P()->SetMaxValue(c.Max);
  P()->SetMinValue(c.Min);
  Edit->SetEditValue(c.Value);
  Focus(Edit);
  EXPECT_EQ(Edit->DoStep(c.Kind), c.Changed);
  EXPECT_EQ(Edit->GetText(), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpinEditStep,
    ::testing::Values(TSpinStepCase{0, 0, 5, vtFloat, 1, skUp, "6", true},  // equal bounds: no limit
                      TSpinStepCase{0, 0, -1000, vtFloat, 1, skDown, "-1001", true},
                      TSpinStepCase{0, 0, 5, vtFloat, 1, skFastUp, "15", true},  // LargeIncrement 10
                      TSpinStepCase{0, 0, 5, vtFloat, 1, skFastDown, "-5", true},
                      TSpinStepCase{0, 0, 0.1, vtFloat, 0.2, skUp, "0.3", true},
                      TSpinStepCase{0, 10, 9.5, vtFloat, 1, skUp, "10", true},  // clamped
                      TSpinStepCase{0, 10, 10, vtFloat, 1, skUp, "10", false},
                      TSpinStepCase{0, 10, -5, vtFloat, 1, skDown, "-5", false},  // below the minimum
                      TSpinStepCase{0, 10, -5, vtFloat, 1, skUp, "0", true},
                      TSpinStepCase{0, 10, 15, vtFloat, 1, skUp, "15", false},  // above the maximum
                      TSpinStepCase{0, 10, 15, vtFloat, 1, skFastDown, "10", true},
                      TSpinStepCase{0, 0, 3, vtInt, 0.6, skUp, "4", true},
                      // Integer steps have a magnitude of at least 1.
                      TSpinStepCase{0, 0, 3, vtInt, 0.4, skUp, "4", true},
                      TSpinStepCase{0, 0, 3, vtInt, 0.5, skDown, "2", true},
                      TSpinStepCase{0, 0, 3, vtInt, 0, skUp, "4", true},
                      // Beyond the integer range nothing wraps.
                      TSpinStepCase{0, 0, 2147483647, vtInt, 1, skUp, "2147483647", false}));

TEST_F(SpinEdit, KeysStepAndMarkTheTextModified) {
  Edit->SetEditValue(Integer(5));
  Focus(Edit);
  struct {
    BYTE Key;
    const char* Text;
  } steps[] = {{VK_UP, "6"}, {VK_DOWN, "5"}, {VK_PRIOR, "15"}, {VK_NEXT, "5"}};
  for (auto& s : steps) {
    Press(s.Key);
    EXPECT_EQ(WindowText(Edit), String(s.Text)) << Integer(s.Key);
  }
  EXPECT_TRUE(Edit->GetModifiedAfterEnter());
  FocusOther();
  EXPECT_EQ(Edit->GetEditValue(), Variant(5.0));
}

TEST_F(SpinEdit, HeldKeyDrawsItsButtonPressedUntilReleased) {
  Focus(Edit);
  Headless::KeyDown(VK_UP);
  Pump();
  EXPECT_EQ(Edit->GetPressedState(), skUp + 1);
  TqvCustomEditViewInfo* viewInfo = Edit->GetViewInfo();
  EXPECT_EQ(viewInfo->GetButton(viewInfo->PressedButtonIndex)->ButtonIndex, skUp);
  Headless::KeyUp(VK_UP);
  Pump();
  EXPECT_EQ(Edit->GetPressedState(), 0);
  EXPECT_EQ(WindowText(Edit), "1");
}

TEST_F(SpinEdit, WithCtrlIncrementOnlyCtrlArrowsStep) {
  P()->SetUseCtrlIncrement(true);
  Focus(Edit);
  Press(VK_UP);
  EXPECT_EQ(WindowText(Edit), "0");
  Press(VK_UP, skCtrl);
  EXPECT_EQ(WindowText(Edit), "1");
}

TEST_F(SpinEdit, WheelSteps) {
  Focus(Edit);
  MoveTo(Edit, {20, 10});
  Headless::Wheel(120);
  Pump();
  EXPECT_EQ(WindowText(Edit), "1");
  Headless::Wheel(-120);
  Pump();
  Headless::Wheel(-120);
  Pump();
  EXPECT_EQ(WindowText(Edit), "-1");
}

TEST_F(SpinEdit, HeldButtonStepsAtOnceAfter400AndEvery100) {
  Focus(Edit);
  Down(Edit, RectCentre(ButtonRect(skUp)));
  EXPECT_EQ(WindowText(Edit), "1");
  EXPECT_TRUE(Edit->IsSpinning());
  Wait(399);
  EXPECT_EQ(WindowText(Edit), "1");
  Wait(1);
  EXPECT_EQ(WindowText(Edit), "2");
  Wait(100);
  EXPECT_EQ(WindowText(Edit), "3");
  Wait(100);
  EXPECT_EQ(WindowText(Edit), "4");
  Up();
  EXPECT_FALSE(Edit->IsSpinning());
  Wait(500);
  EXPECT_EQ(WindowText(Edit), "4");
  Click(Edit, RectCentre(ButtonRect(skDown)));
  EXPECT_EQ(WindowText(Edit), "3");
}

TEST_F(SpinEdit, LeavingTheEditorStopsSpinning) {
  Focus(Edit);
  Down(Edit, RectCentre(ButtonRect(skUp)));
  ASSERT_TRUE(Edit->IsSpinning());
  FocusOther();
  EXPECT_FALSE(Edit->IsSpinning());
  Up();
}

struct TSpinTypedCase {
  TTestLocale Locale;
  TqvSpinEditValueType Type;
  bool CanEdit;
  const char* Typed;
  const char* Text;
  Integer Beeps;
};

std::ostream& operator<<(std::ostream& os, const TSpinTypedCase& c) {
  return os << LocaleName(c.Locale) << (c.Type == vtInt ? " int" : " float") << (c.CanEdit ? "" : " read-only")
            << " typed \"" << c.Typed << "\"";
}

class SpinEditTyping : public SpinEdit, public ::testing::WithParamInterface<TSpinTypedCase> {};

TEST_P(SpinEditTyping, TypedTextAndBeeps) {
  const TSpinTypedCase& c = GetParam();
  Locale.Use(c.Locale);
  P()->SetValueType(c.Type);
  P()->SetCanEdit(c.CanEdit);
  Focus(Edit);
  Edit->SelectAll();
  const Integer beeps = Headless::BeepCount();
  Type(c.Typed);
  EXPECT_EQ(WindowText(Edit), String(c.Text));
  EXPECT_EQ(Headless::BeepCount() - beeps, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(Typed, SpinEditTyping,
                         ::testing::Values(TSpinTypedCase{lcEnglishUS, vtFloat, true, "-12.5", "-12.5", 0},
                                           TSpinTypedCase{lcEnglishUS, vtFloat, true, "12,5", "12.5", 0},
                                           TSpinTypedCase{lcGerman, vtFloat, true, "12.5", "12,5", 0},
                                           TSpinTypedCase{lcEnglishUS, vtFloat, true, "1a2", "12", 1},
                                           TSpinTypedCase{lcEnglishUS, vtInt, true, "1.5", "15", 1},
                                           TSpinTypedCase{lcEnglishUS, vtFloat, false, "12", "0", 2}));

TEST_F(SpinEdit, ReadOnlyTextStillSteps) {
  P()->SetCanEdit(false);
  Focus(Edit);
  Press(VK_UP);
  EXPECT_EQ(WindowText(Edit), "1");
  Press(VK_DELETE);
  EXPECT_EQ(WindowText(Edit), "1");
}

struct TSpinCommitCase {
  TqvSpinEditValueType Type;
  double Min, Max;
  const char* Typed;
  const TResourceString* Error;  // nullptr: accepted
  Variant Value;                 // the edit value afterwards
};

std::ostream& operator<<(std::ostream& os, const TSpinCommitCase& c) { return os << '"' << c.Typed << '"'; }

class SpinEditCommit : public SpinEdit, public ::testing::WithParamInterface<TSpinCommitCase> {};

TEST_P(SpinEditCommit, LeavingTheEditor) {
  const TSpinCommitCase& c = GetParam();
  P()->SetValueType(c.Type);
  P()->SetMaxValue(c.Max);
  P()->SetMinValue(c.Min);
  Edit->SetEditValue(Integer(5));
  Focus(Edit);
  Edit->SelectAll();
  Press(VK_DELETE);
  Type(c.Typed);
  FocusOther();
  if (c.Error) {
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors.front(), GetLocalizedResourceString(c.Error));
  } else {
    EXPECT_TRUE(Errors.empty());
  }
  EXPECT_TRUE(VarEqualsExact(Edit->GetEditValue(), c.Value)) << VarToStr(Edit->GetEditValue());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SpinEditCommit,
    ::testing::Values(TSpinCommitCase{vtFloat, 0, 0, "2.5", nullptr, 2.5},
                      TSpinCommitCase{vtInt, 0, 0, "7", nullptr, Integer(7)},
                      TSpinCommitCase{vtFloat, 0, 0, "", nullptr, Null()},
                      TSpinCommitCase{vtFloat, 0, 0, "-", &sqvMaskEditInvalidEditValue, Integer(5)},
                      TSpinCommitCase{vtInt, 0, 0, "9999999999", &sqvMaskEditInvalidEditValue, Integer(5)},
                      TSpinCommitCase{vtFloat, 0, 10, "11", &sqvEditValueOutOfBounds, Integer(5)}));

TEST_F(SpinEdit, ValueIsOfTheValueType) {
  EXPECT_EQ(P()->GetValueType(), vtInt);  // a standalone editor's binding holds no float values
  P()->SetValueType(vtFloat);
  Edit->SetEditValue(String("2.5"));
  EXPECT_EQ(VarType(Edit->GetValue()), varDouble);
  EXPECT_EQ(Edit->GetValue(), Variant(2.5));
  P()->SetValueType(vtInt);
  EXPECT_EQ(VarType(Edit->GetValue()), varInteger);
  EXPECT_EQ(Edit->GetValue(), Variant(Integer(2)));
  Edit->SetEditValue(String("n/a"));
  EXPECT_EQ(Edit->GetText(), "n/a");
  EXPECT_EQ(Edit->GetValue(), Variant(Integer(0)));  // MinValue
}

// ---------------------------------------------------------------------------------------------
// Layouts

// The text window starts after buttons on the left side, so the text is not hidden under them.
TEST_F(SpinEdit, TextStartsAfterTheLeftButtons) {
  P()->GetSpinButtons()->SetPosition(sbpHorzLeftRight);
  P()->GetSpinButtons()->SetShowFastButtons(true);
  Pump();
  const TRect inner = Edit->GetInnerControl()->GetBoundsRect();
  EXPECT_GE(inner.Left, ButtonRect(skDown).Right);
  EXPECT_GE(inner.Left, ButtonRect(skFastDown).Right);
}

// Horizontal buttons keep a readable size: normal ones 13 pixels wide with a 7-pixel arrow, fast
// ones with a double arrow, themed or not.
struct TSpinGlyphCase {
  const char* Name;
  bool Native;
  Integer Kind;
  Integer Arrows;
  friend void PrintTo(const TSpinGlyphCase& c, std::ostream* os) { *os << c.Name; }
};

class SpinEditGlyph : public SpinEdit, public ::testing::WithParamInterface<TSpinGlyphCase> {};

TEST_P(SpinEditGlyph, ReadableArrows) {
  const TSpinGlyphCase& c = GetParam();
  Edit->GetStyle()->GetLookAndFeel()->SetNativeStyle(c.Native);
  P()->GetSpinButtons()->SetPosition(sbpHorzRight);
  P()->GetSpinButtons()->SetShowFastButtons(true);
  FocusOther();
  RepaintOverSentinel(Edit);
  const TRect button = ButtonRect(c.Kind);
  EXPECT_GE(button.Width(), c.Kind >= skFastDown ? 20 : 12);
  // The glyph: the darkest colour inside the button's frame.
  const TRect inside = qvDeflatedRect(button, 2);
  COLORREF glyph = RGB(255, 255, 255);
  auto luma = [](COLORREF p) { return GetRValue(p) + GetGValue(p) + GetBValue(p); };
  for (Integer y = inside.Top; y < inside.Bottom; ++y)
    for (Integer x = inside.Left; x < inside.Right; ++x) {
      const COLORREF p = ControlPixelOf(Edit, {x, y}).Value;
      ASSERT_NE(p, SentinelRGB) << "unpainted at " << x << "," << y;
      if (luma(p) < luma(glyph)) glyph = p;
    }
  // An arrow's base is a column of the glyph at least 7 pixels tall after a short one.
  Integer bases = 0, previous = 0;
  for (Integer x = inside.Left; x < inside.Right; ++x) {
    Integer height = 0;
    for (Integer y = inside.Top; y < inside.Bottom; ++y) height += ControlPixelOf(Edit, {x, y}).Value == glyph;
    bases += height >= 7 && previous < 5;
    previous = height;
  }
  EXPECT_EQ(bases, c.Arrows);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SpinEditGlyph,
                         ::testing::Values(TSpinGlyphCase{"Classic", false, skUp, 1},
                                           TSpinGlyphCase{"ClassicFast", false, skFastUp, 2},
                                           TSpinGlyphCase{"Themed", true, skUp, 1},
                                           TSpinGlyphCase{"ThemedFast", true, skFastUp, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TSpinLayoutCase {
  TqvSpinEditButtonsPosition Position;
  bool Fast;
  std::vector<Integer> LeftToRight;  // kinds, -1 for the text
};

std::ostream& operator<<(std::ostream& os, const TSpinLayoutCase& c) {
  return os << "position " << Integer(c.Position) << (c.Fast ? " fast" : "");
}

class SpinEditLayout : public SpinEdit, public ::testing::WithParamInterface<TSpinLayoutCase> {};

TEST_P(SpinEditLayout, ButtonsInOrder) {
  const TSpinLayoutCase& c = GetParam();
  P()->GetSpinButtons()->SetPosition(c.Position);
  P()->GetSpinButtons()->SetShowFastButtons(c.Fast);
  Pump();
  TqvCustomEditViewInfo* viewInfo = Edit->GetViewInfo();
  ASSERT_EQ(viewInfo->GetButtonCount(), c.Fast ? 4 : 2);
  Integer previousRight = viewInfo->BorderRect.Left;
  for (Integer kind : c.LeftToRight) {
    const TRect r = kind < 0 ? viewInfo->InnerEditRect : ButtonRect(kind);
    EXPECT_GE(r.Left, previousRight) << "kind " << kind;
    EXPECT_GT(r.Width(), 0) << "kind " << kind;
    previousRight = r.Right;
    if (c.Position == sbpVert && kind == skUp) previousRight = r.Left;  // down lies under up
  }
  if (c.Position == sbpVert) {
    const TRect up = ButtonRect(skUp), down = ButtonRect(skDown);
    EXPECT_EQ(up.Left, down.Left);
    EXPECT_LE(up.Bottom, down.Top);
  }
  if (c.Fast) {
    EXPECT_GE(ButtonRect(skFastUp).Width(), c.Position == sbpVert ? 1 : ButtonRect(skUp).Width());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, SpinEditLayout,
    ::testing::Values(TSpinLayoutCase{sbpVert, false, {-1, skUp, skDown}},
                      TSpinLayoutCase{sbpVert, true, {-1, skFastDown, skUp, skDown, skFastUp}},
                      TSpinLayoutCase{sbpHorzRight, false, {-1, skDown, skUp}},
                      TSpinLayoutCase{sbpHorzRight, true, {-1, skFastDown, skDown, skUp, skFastUp}},
                      TSpinLayoutCase{sbpHorzLeftRight, false, {skDown, -1, skUp}},
                      TSpinLayoutCase{sbpHorzLeftRight, true, {skFastDown, skDown, -1, skUp, skFastUp}}));

}  // namespace
