// The check box editor: values to states across value types, the toggle cycle, keyboard and
// mouse toggling, the custom glyph's cells, copying and storing the properties, the default
// editor of Boolean values, and the painted glyph.
#include "core/qvDataStorage.h"
#include "editors/qvCheckBox.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "editors/qvEditPaintUtils.h"
#include "qvExtEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"
#include "support/EnumNames.h"

namespace {

std::string StateName(TqvCheckBoxState S) {
  return NameOf(S, {QJ_NAMED(cbsUnchecked), QJ_NAMED(cbsChecked), QJ_NAMED(cbsGrayed)});
}

// ---------------------------------------------------------------------------------------------
// Values and states

struct TCheckBoxValueCase {
  const char* Name;
  Variant Checked, Unchecked, Grayed;  // the three values (Empty: the default)
  Variant Value;
  TqvCheckBoxState State;
};

class CheckBoxValues : public ::testing::TestWithParam<TCheckBoxValueCase> {};

TEST_P(CheckBoxValues, MapToState) {
  const TCheckBoxValueCase& c = GetParam();
  TOwned<TqvCheckBoxProperties> properties = MakeOwned<TqvCheckBoxProperties>(nullptr);
  if (!VarIsEmpty(c.Checked)) properties->SetValueChecked(c.Checked);
  if (!VarIsEmpty(c.Unchecked)) properties->SetValueUnchecked(c.Unchecked);
  if (!VarIsEmpty(c.Grayed)) properties->SetValueGrayed(c.Grayed);
  EXPECT_EQ(StateName(properties->StateOf(c.Value)), StateName(c.State));
}

const Variant kDefault;  // Empty: keep the default value

INSTANTIATE_TEST_SUITE_P(
    ValueTypes, CheckBoxValues,
    ::testing::Values(
        TCheckBoxValueCase{"BooleanTrue", kDefault, kDefault, kDefault, Variant(true), cbsChecked},
        TCheckBoxValueCase{"BooleanFalse", kDefault, kDefault, kDefault, Variant(false), cbsUnchecked},
        TCheckBoxValueCase{"NullIsGrayed", kDefault, kDefault, kDefault, Null(), cbsGrayed},
        // A Boolean compares as text: "True" is checked.
        TCheckBoxValueCase{"TextOfTrue", kDefault, kDefault, kDefault, Variant(String("True")), cbsChecked},
        TCheckBoxValueCase{"OtherText", kDefault, kDefault, kDefault, Variant(String("maybe")), cbsGrayed},
        TCheckBoxValueCase{"YesNoN", Variant(String("Y")), Variant(String("N")), kDefault, Variant(String("N")),
                           cbsUnchecked},
        TCheckBoxValueCase{"YesNoTrueIsGrayed", Variant(String("Y")), Variant(String("N")), kDefault, Variant(true),
                           cbsGrayed},
        TCheckBoxValueCase{"IntegersOne", Variant(Integer(1)), Variant(Integer(0)), Variant(Integer(2)),
                           Variant(Integer(1)), cbsChecked},
        TCheckBoxValueCase{"IntegersGrayed", Variant(Integer(1)), Variant(Integer(0)), Variant(Integer(2)),
                           Variant(Integer(2)), cbsGrayed},
        TCheckBoxValueCase{"IntegerAgainstDouble", Variant(Integer(1)), Variant(Integer(0)), kDefault, Variant(0.0),
                           cbsUnchecked}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CheckBoxProperties, NoTwoStatesShareAValue) {
  TOwned<TqvCheckBoxProperties> properties = MakeOwned<TqvCheckBoxProperties>(nullptr);
  properties->SetValueUnchecked(true);
  EXPECT_TRUE(VarEqualsExact(properties->GetValueUnchecked(), false));
  properties->SetValueChecked(Null());
  EXPECT_TRUE(VarEqualsExact(properties->GetValueChecked(), true));
  properties->SetValueGrayed(Integer(7));
  properties->SetValueGrayed(Null());
  EXPECT_TRUE(VarIsNull(properties->GetValueGrayed())) << "Null is a grayed value";
}

TEST(CheckBoxProperties, AssignKeepsTheCaptionAndDisplayTexts) {
  TOwned<TqvCheckBoxProperties> source = MakeOwned<TqvCheckBoxProperties>(nullptr);
  TOwned<TqvCheckBoxProperties> target = MakeOwned<TqvCheckBoxProperties>(nullptr);
  source->SetCaption("source");
  source->SetDisplayChecked("yes");
  source->SetValueChecked(String("Y"));
  source->SetAllowGrayed(true);
  target->SetCaption("target");
  target->Assign(source.get());
  EXPECT_EQ(target->GetCaption(), "target");
  EXPECT_EQ(target->GetDisplayChecked(), "True");
  EXPECT_TRUE(VarEqualsExact(target->GetValueChecked(), String("Y")));
  EXPECT_TRUE(target->GetAllowGrayed());
}

TEST(CheckBoxProperties, StoredOnlyWhenDifferentFromTheDefaults) {
  TOwned<TqvCheckBoxProperties> properties = MakeOwned<TqvCheckBoxProperties>(nullptr);
  EXPECT_FALSE(properties->IsDisplayCheckedStored() || properties->IsDisplayGrayedStored() ||
               properties->IsDisplayUncheckedStored() || properties->IsValueCheckedStored() ||
               properties->IsValueGrayedStored() || properties->IsValueUncheckedStored() ||
               properties->IsCaptionStored());
  properties->SetDisplayGrayed("?");
  properties->SetDisplayUnchecked("false");  // differs in letter case
  properties->SetValueChecked(Integer(1));
  properties->SetCaption("");
  EXPECT_TRUE(properties->IsDisplayGrayedStored());
  EXPECT_TRUE(properties->IsDisplayUncheckedStored());
  EXPECT_TRUE(properties->IsValueCheckedStored());
  EXPECT_TRUE(properties->IsCaptionStored()) << "an empty caption set explicitly is stored";
}

TEST(CheckBoxProperties, CaptionChangesThatDifferOnlyInCaseAreApplied) {
  TOwned<TqvCheckBoxProperties> properties = MakeOwned<TqvCheckBoxProperties>(nullptr);
  Integer changes = 0;
  properties->OnPropertiesChanged = [&](TObject*) { ++changes; };
  properties->SetCaption("abc");
  properties->SetCaption("ABC");
  EXPECT_EQ(properties->GetCaption(), "ABC");
  EXPECT_EQ(changes, 2);
}

TEST(CheckBoxProperties, DisplayTextsByState) {
  TOwned<TqvCheckBoxProperties> properties = MakeOwned<TqvCheckBoxProperties>(nullptr);
  EXPECT_EQ(properties->GetDisplayText(true), "True");
  EXPECT_EQ(properties->GetDisplayText(false), "False");
  EXPECT_EQ(properties->GetDisplayText(Null()), "");
  EXPECT_EQ(properties->GetSupportedOperations(), 0x55u);
}

TEST(CheckBoxProperties, TheDefaultEditorOfBooleansIsTheCheckBox) {
  TqvEditDataRegisteredRepositoryItems* defaults = GetDefaultEditDataRepositoryItems();
  EXPECT_TRUE(As<TqvEditRepositoryCheckBoxItem>(defaults->GetItem(TqvBooleanValueType::Class())));
  EXPECT_TRUE(As<TqvEditRepositoryTextItem>(defaults->GetItem(TqvStringValueType::Class())));
}

// ---------------------------------------------------------------------------------------------
// Custom glyph cells

struct TGlyphCase {
  TqvCheckBoxState State;
  TqvCheckBoxGlyphState GlyphState;
  Integer Count;
  Integer Index;
};

class CheckBoxGlyphIndex : public ::testing::TestWithParam<TGlyphCase> {};

TEST_P(CheckBoxGlyphIndex, Is) {
  const TGlyphCase& c = GetParam();
  const Integer index = GetCheckBoxGlyphIndex(c.State, c.GlyphState, c.Count);
  EXPECT_EQ(index, c.Index);
  EXPECT_LT(index, c.Count) << "never a cell the bitmap does not have";
}

INSTANTIATE_TEST_SUITE_P(Cells, CheckBoxGlyphIndex,
                         ::testing::Values(TGlyphCase{cbsGrayed, cgsPressed, 6, 5},
                                           TGlyphCase{cbsChecked, cgsPressed, 3, 1},
                                           TGlyphCase{cbsGrayed, cgsNormal, 2, 0},
                                           TGlyphCase{cbsChecked, cgsPressed, 2, 1},
                                           TGlyphCase{cbsGrayed, cgsHot, 1, 0},
                                           TGlyphCase{cbsUnchecked, cgsNormal, 2, 0}));

// ---------------------------------------------------------------------------------------------
// The control

class CheckBox : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Box = NewTextEdit<TqvCheckBox>(false, Rect(10, 10, 170, 31));
    Box->GetProperties()->SetCaption("&Option");
    Box->GetProperties()->OnChange = [this](TObject*) { ++Changes; };
    Box->OnClick = [this](TObject*) { ++Clicks; };
    ShowForm();
    Focus(Box);
  }
  TPoint Glyph() const { return RectCentre(Box->GetViewInfo()->CheckRect); }
  // The box drawn into a bitmap; the colour of a pixel of it.
  TOwned<TBitmap> Shot() {
    Pump();
    TOwned<TBitmap> shot = MakeOwned<TBitmap>();
    shot->SetPixelFormat(pf32bit);
    shot->SetSize(Box->GetWidth(), Box->GetHeight());
    TqvCanvas canvas(shot->GetCanvas());
    Box->GetViewInfo()->Draw(&canvas);
    return shot;
  }
  static uint32_t Pixel(TBitmap* AShot, TPoint P) { return AShot->ScanLine(P.Y)[P.X] & 0xFFFFFF; }

  TqvCheckBox* Box = nullptr;
  Integer Changes = 0, Clicks = 0;
};

TEST_F(CheckBox, StartsUncheckedWithTheUncheckedValue) {
  EXPECT_EQ(StateName(Box->GetState()), StateName(cbsUnchecked));
  EXPECT_TRUE(VarEqualsExact(Box->GetEditValue(), false));
}

TEST_F(CheckBox, ToggleCyclesThroughGrayedOnlyWhenAllowed) {
  std::vector<std::string> states;
  for (Integer i = 0; i < 3; ++i) {
    Box->Toggle();
    states.push_back(StateName(Box->GetState()));
  }
  EXPECT_EQ(states, std::vector<std::string>({"cbsChecked", "cbsUnchecked", "cbsChecked"}));
  Box->GetProperties()->SetAllowGrayed(true);
  states.clear();
  for (Integer i = 0; i < 3; ++i) {
    Box->Toggle();
    states.push_back(StateName(Box->GetState()));
  }
  EXPECT_EQ(states, std::vector<std::string>({"cbsUnchecked", "cbsGrayed", "cbsChecked"}));
}

// The edit values a toggle walks through, by value type.
struct TToggleCase {
  const char* Name;
  Variant Checked, Unchecked, Grayed;  // Empty: the default
  bool AllowGrayed;
  Variant Start;
  std::vector<Variant> Values;  // the edit value after each toggle, exactly
};

class CheckBoxToggle : public CheckBox, public ::testing::WithParamInterface<TToggleCase> {};

TEST_P(CheckBoxToggle, Walks) {
  const TToggleCase& c = GetParam();
  TqvCheckBoxProperties* properties = Box->GetProperties();
  if (!VarIsEmpty(c.Checked)) properties->SetValueChecked(c.Checked);
  if (!VarIsEmpty(c.Unchecked)) properties->SetValueUnchecked(c.Unchecked);
  if (!VarIsEmpty(c.Grayed)) properties->SetValueGrayed(c.Grayed);
  properties->SetAllowGrayed(c.AllowGrayed);
  Box->SetEditValue(c.Start);
  const Integer changes = Changes;
  for (size_t i = 0; i < c.Values.size(); ++i) {
    Box->Toggle();
    EXPECT_TRUE(VarEqualsExact(Box->GetEditValue(), c.Values[i]))
        << "toggle " << i + 1 << ": " << VarToStr(Box->GetEditValue());
  }
  EXPECT_EQ(Changes - changes, Integer(c.Values.size())) << "one change per toggle";
}

INSTANTIATE_TEST_SUITE_P(
    ValueTypes, CheckBoxToggle,
    ::testing::Values(
        TToggleCase{"Booleans", kDefault, kDefault, kDefault, false, Variant(false),
                    {Variant(true), Variant(false), Variant(true)}},
        TToggleCase{"BooleansThroughGrayed", kDefault, kDefault, kDefault, true, Variant(false),
                    {Null(), Variant(true), Variant(false)}},
        TToggleCase{"TextsFromGrayed", Variant(String("Y")), Variant(String("N")), Variant(String("?")), false,
                    Variant(String("?")), {Variant(String("Y")), Variant(String("N")), Variant(String("Y"))}},
        TToggleCase{"IntegersThroughGrayed", Variant(Integer(1)), Variant(Integer(0)), Variant(Integer(2)), true,
                    Variant(Integer(0)), {Variant(Integer(2)), Variant(Integer(1)), Variant(Integer(0))}},
        TToggleCase{"AForeignValueIsGrayedAndChecksFirst", Variant(Integer(1)), Variant(Integer(0)), kDefault,
                    false, Variant(String("x")), {Variant(Integer(1)), Variant(Integer(0))}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CheckBox, AGrayedBoxWithoutAllowGrayedIsCheckedByAClick) {
  Box->SetEditValue(Null());
  ASSERT_EQ(StateName(Box->GetState()), StateName(cbsGrayed));
  Click(Box, Glyph());
  EXPECT_EQ(StateName(Box->GetState()), StateName(cbsChecked));
  Click(Box, Glyph());
  Click(Box, Glyph());
  EXPECT_EQ(StateName(Box->GetState()), StateName(cbsChecked)) << "never grayed again by clicking";
}

TEST_F(CheckBox, SpacePressAndReleaseToggleOnce) {
  Headless::KeyDown(VK_SPACE);
  Pump();
  EXPECT_EQ(Box->GetViewInfo()->GlyphState, cgsPressed);
  EXPECT_FALSE(Box->GetChecked());
  Headless::KeyUp(VK_SPACE);
  Pump();
  EXPECT_TRUE(Box->GetChecked());
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Changes, 1);
}

TEST_F(CheckBox, PressingOnTheGlyphAndReleasingOutsideDoesNotToggle) {
  Down(Box, Glyph());
  MoveTo(FForm, {300, 250});
  Up();
  EXPECT_FALSE(Box->GetChecked());
  Click(Box, Glyph());
  EXPECT_TRUE(Box->GetChecked());
  EXPECT_EQ(Clicks, 1) << "the platform's own click is not fired besides the state change";
}

TEST_F(CheckBox, TheAcceleratorTogglesAndFocuses) {
  FocusOther();
  SendMessage(Box->GetHandle(), CM_DIALOGCHAR, 'o', 0);
  Pump();
  EXPECT_TRUE(Box->Focused());
  EXPECT_TRUE(Box->GetChecked());
}

TEST_F(CheckBox, InPlaceASpaceTogglesAndTheGlyphIsCentred) {
  auto* cell = NewTextEdit<TqvCheckBox>(true, Rect(10, 60, 70, 80));
  Pump();
  Focus(cell);
  const TRect check = cell->GetViewInfo()->CheckRect;
  EXPECT_NEAR(check.Left + check.Right, 60, 1) << "centred in the 60-pixel cell";
  SendMessage(cell->GetHandle(), WM_CHAR, ' ', 0);
  EXPECT_TRUE(cell->GetChecked());
}

TEST_F(CheckBox, InPlaceImmediatePostPostsEachToggle) {
  auto* cell = NewTextEdit<TqvCheckBox>(true, Rect(10, 60, 70, 80));
  cell->GetProperties()->SetImmediatePost(true);
  std::vector<bool> posted;
  cell->OnPostEditValue = [&](TObject*) { posted.push_back(cell->GetChecked()); };
  Pump();
  Focus(cell);
  cell->Toggle();
  cell->Toggle();
  EXPECT_EQ(posted, std::vector<bool>({true, false}));
  EXPECT_FALSE(cell->GetEditModified());
}

TEST_F(CheckBox, ChangingTheCheckedValueWritesTheStateAgain) {
  Box->SetChecked(true);
  Box->GetProperties()->SetValueChecked(String("Y"));
  EXPECT_TRUE(VarEqualsExact(Box->GetEditValue(), String("Y")));
  EXPECT_TRUE(Box->GetChecked());
}

TEST_F(CheckBox, AutoSizeTakesTheHeightOfGlyphAndCaption) {
  const TSize glyph = CheckBoxGlyphSize();
  EXPECT_GE(Box->GetHeight(), glyph.cy + 4);
  Box->GetProperties()->SetCaption("");
  EXPECT_GE(Box->GetHeight(), glyph.cy + 4);
}

// ---------------------------------------------------------------------------------------------
// Painting

TEST_F(CheckBox, TwoCellGlyphDrawsAGlyphWhenGrayed) {
  TOwned<TBitmap> glyph = MakeOwned<TBitmap>();
  glyph->SetPixelFormat(pf32bit);
  glyph->SetSize(26, 13);
  glyph->GetCanvas()->GetBrush()->SetColor(clRed);
  glyph->GetCanvas()->FillRect(Rect(0, 0, 13, 13));
  glyph->GetCanvas()->GetBrush()->SetColor(clBlue);
  glyph->GetCanvas()->FillRect(Rect(13, 0, 26, 13));
  glyph->SetTransparentColor(clFuchsia);
  Box->GetProperties()->SetGlyphCount(2);
  Box->GetProperties()->SetGlyph(glyph.get());
  Box->SetEditValue(Null());
  TOwned<TBitmap> shot = Shot();
  EXPECT_EQ(Pixel(shot.get(), Glyph()), 0xFF0000u) << "grayed wraps to the first cell of a two-cell glyph";
}

// The classic glyph frame by the style's border style, read along the middle row of the check
// rectangle: the two outer columns on each side.
struct TCheckBoxFrameCase {
  const char* Name;
  TqvEditBorderStyle BorderStyle;
  TColor Left0, Left1, Right1, Right0;  // Right0 is the last column
};

class CheckBoxFrame : public CheckBox, public ::testing::WithParamInterface<TCheckBoxFrameCase> {
 protected:
  static uint32_t Rgb(TColor C) {
    const COLORREF c = ColorToRGB(C);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
};

TEST_P(CheckBoxFrame, Draws) {
  const TCheckBoxFrameCase& c = GetParam();
  ThemeEngine::SetEnabled(false);
  Box->GetStyle()->SetBorderStyle(c.BorderStyle);
  FocusOther();
  TOwned<TBitmap> shot = Shot();
  const TRect r = Box->GetViewInfo()->CheckRect;
  const Integer y = (r.Top + r.Bottom) / 2;
  EXPECT_EQ(Pixel(shot.get(), Point(r.Left, y)), Rgb(c.Left0));
  EXPECT_EQ(Pixel(shot.get(), Point(r.Left + 1, y)), Rgb(c.Left1));
  EXPECT_EQ(Pixel(shot.get(), Point(r.Right - 2, y)), Rgb(c.Right1));
  EXPECT_EQ(Pixel(shot.get(), Point(r.Right - 1, y)), Rgb(c.Right0));
  EXPECT_EQ(Pixel(shot.get(), Point(r.Left + 3, y)), Rgb(clWindow)) << "an unchecked box is empty inside";
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CheckBoxFrame,
    ::testing::Values(TCheckBoxFrameCase{"None", ebsNone, clBtnFace, clBtnFace, clBtnFace, clBtnFace},
                      TCheckBoxFrameCase{"Single", ebsSingle, clBtnFace, clBtnShadow, clBtnShadow, clBtnFace},
                      TCheckBoxFrameCase{"Thick", ebsThick, clWindowText, clWindowText, clWindowText, clWindowText},
                      TCheckBoxFrameCase{"Flat", ebsFlat, clBtnShadow, clBtnFace, clBtnFace, clBtnHighlight},
                      TCheckBoxFrameCase{"ThreeD", ebs3D, clBtnShadow, cl3DDkShadow, clBtnFace, clBtnHighlight},
                      TCheckBoxFrameCase{"UltraFlat", ebsUltraFlat, clBtnFace, clBtnShadow, clBtnShadow, clBtnFace}),
    [](const auto& info) { return std::string(info.param.Name); });

// The mark differs by state, classic and themed.
TEST_F(CheckBoxFrame, TheMarkShowsTheState) {
  for (bool themed : {false, true}) {
    ThemeEngine::SetEnabled(themed);
    std::vector<std::vector<uint32_t>> marks;
    for (const Variant& value : {Variant(false), Variant(true), Null()}) {
      Box->SetEditValue(value);
      TOwned<TBitmap> shot = Shot();
      const TRect r = Box->GetViewInfo()->CheckRect;
      std::vector<uint32_t> mark;
      for (Integer y = r.Top + 3; y < r.Bottom - 3; ++y)
        for (Integer x = r.Left + 3; x < r.Right - 3; ++x) mark.push_back(Pixel(shot.get(), Point(x, y)));
      marks.push_back(std::move(mark));
    }
    EXPECT_NE(marks[0], marks[1]) << "checked looks unlike unchecked, themed " << themed;
    EXPECT_NE(marks[1], marks[2]) << "grayed looks unlike checked, themed " << themed;
    EXPECT_NE(marks[0], marks[2]) << "grayed looks unlike unchecked, themed " << themed;
  }
}

}  // namespace
