// The look-and-feel radio button and its glyphs, and the radio group: glyph numbering and
// colours, the button's states and sibling exclusivity, the group's values, layout, keys,
// clicks and painted items.
#include <set>

#include "editors/qvEditTestSupport.h"
#include "editors/qvEditorsTestSupport.h"
#include "editors/qvExtEditorsTestSupport.h"
#include "editors/qvRadioGroup.h"
#include "support/EnumNames.h"

namespace {

std::string GlyphStateName(TqvRadioGlyphState s) {
  return NameOf(s, {QJ_NAMED(rgsDisabled), QJ_NAMED(rgsNormal), QJ_NAMED(rgsPressed), QJ_NAMED(rgsHot)});
}

// ---------------------------------------------------------------------------------------------
// Glyph numbering

struct TGlyphIndexCase {
  bool Focused;
  TqvLookAndFeelKind Style;
  bool Checked;
  TqvRadioGlyphState State;
  Integer Index;
  Integer PainterIndex;  // ring x 24 + style x 8 + checked x 4 + (normal, hot, pressed, disabled)
};

class RadioGlyphIndexTest : public ::testing::TestWithParam<TGlyphIndexCase> {};

TEST_P(RadioGlyphIndexTest, MapsOntoTheSharedSynthesiser) {
  const TGlyphIndexCase& c = GetParam();
  const Integer index = RadioGlyphIndex(c.Focused, c.Style, c.Checked, c.State);
  EXPECT_EQ(index, c.Index) << GlyphStateName(c.State);
  EXPECT_EQ(RadioGlyphToPainterIndex(index), c.PainterIndex) << GlyphStateName(c.State);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, RadioGlyphIndexTest,
    ::testing::Values(TGlyphIndexCase{false, lfFlat, false, rgsDisabled, 0, 3},
                      TGlyphIndexCase{false, lfFlat, false, rgsNormal, 1, 0},
                      TGlyphIndexCase{false, lfFlat, false, rgsPressed, 2, 2},
                      TGlyphIndexCase{false, lfFlat, false, rgsHot, 3, 1},
                      TGlyphIndexCase{false, lfStandard, true, rgsNormal, 13, 12},
                      TGlyphIndexCase{false, lfUltraFlat, true, rgsHot, 23, 21},
                      TGlyphIndexCase{true, lfFlat, false, rgsNormal, 25, 24},
                      TGlyphIndexCase{true, lfUltraFlat, true, rgsDisabled, 44, 47}));

TEST(RadioGlyphMappingTest, EveryGlyphHasItsOwnSynthesisedImage) {
  std::set<Integer> painter;
  for (Integer i = 0; i < RadioGlyphCount; ++i) painter.insert(RadioGlyphToPainterIndex(i));
  EXPECT_EQ(painter.size(), size_t(RadioGlyphCount));
  EXPECT_EQ(*painter.begin(), 0);
  EXPECT_EQ(*painter.rbegin(), RadioGlyphCount - 1);
}

TEST(RadioGlyphMappingTest, ButtonStatesAndThemeStates) {
  EXPECT_EQ(RadioButtonStateToGlyphState(rbsDisabled), rgsDisabled);
  EXPECT_EQ(RadioButtonStateToGlyphState(rbsHot), rgsHot);
  EXPECT_EQ(RadioButtonStateToGlyphState(rbsNormal), rgsNormal);
  EXPECT_EQ(RadioButtonStateToGlyphState(rbsPressed), rgsPressed);
  const std::pair<TqvRadioGlyphState, std::pair<Integer, Integer>> states[] = {
      {rgsDisabled, {4, 8}}, {rgsNormal, {1, 5}}, {rgsPressed, {3, 7}}, {rgsHot, {2, 6}}};
  for (const auto& [state, expected] : states) {
    EXPECT_EQ(RadioGlyphThemeState(false, state), expected.first) << GlyphStateName(state);
    EXPECT_EQ(RadioGlyphThemeState(true, state), expected.second) << GlyphStateName(state);
  }
}

// ---------------------------------------------------------------------------------------------
// Glyph colours

class RadioGlyphPaintTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(30, 30);
  }
  void TearDown() override {
    FCanvas.reset();
    TEditorsTest::TearDown();
  }
  void Draw(bool AFocused, TqvLookAndFeelKind AStyle, bool AChecked, TqvRadioGlyphState AState) {
    FCanvas->Clear();
    DrawRadioGlyph(FCanvas->Canvas(), 0, 0, RadioGlyphIndex(AFocused, AStyle, AChecked, AState), clDefault);
  }
  COLORREF Centre() {
    const TSize s = RadioGlyphSize();
    return FCanvas->PixelRGB(s.cx / 2, s.cy / 2);
  }
  // The first ring pixel down the middle column.
  COLORREF Ring() {
    const TSize s = RadioGlyphSize();
    for (Integer y = 0; y < s.cy; ++y)
      if (FCanvas->PixelRGB(s.cx / 2, y) != ColorToRGB(TEditorsCanvas::Paper)) return FCanvas->PixelRGB(s.cx / 2, y);
    return 0;
  }
  // The inside just below the ring, left of the dot.
  COLORREF Inside() {
    const TSize s = RadioGlyphSize();
    return FCanvas->PixelRGB(s.cx / 2 - 3, s.cy / 2 - 3);
  }

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
};

TEST_F(RadioGlyphPaintTest, DisabledCheckedShowsAShadowDotOnButtonFace) {
  Draw(false, lfStandard, true, rgsDisabled);
  EXPECT_EQ(Centre(), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Inside(), ColorToRGB(clBtnFace));
  Draw(false, lfStandard, true, rgsNormal);
  EXPECT_EQ(Centre(), ColorToRGB(clBtnText));
  EXPECT_EQ(Inside(), ColorToRGB(clWindow));
  Draw(false, lfStandard, false, rgsNormal);
  EXPECT_EQ(Centre(), ColorToRGB(clWindow)) << "unchecked: no dot";
}

TEST_F(RadioGlyphPaintTest, UltraFlatRingIsHighlightedWhileHotOrFocused) {
  const struct {
    bool Focused;
    TqvRadioGlyphState State;
    TColor Ring;
  } cases[] = {{false, rgsNormal, clBtnShadow}, {false, rgsHot, clHighlight}, {true, rgsNormal, clHighlight},
               {false, rgsPressed, clBtnShadow}, {true, rgsDisabled, clHighlight}};
  for (const auto& c : cases) {
    Draw(c.Focused, lfUltraFlat, false, c.State);
    EXPECT_EQ(Ring(), ColorToRGB(c.Ring)) << c.Focused << " " << GlyphStateName(c.State);
  }
}

TEST_F(RadioGlyphPaintTest, SystemColourChangesRebuildTheGlyphs) {
  Draw(false, lfStandard, true, rgsNormal);
  ASSERT_EQ(Centre(), ColorToRGB(clBtnText));
  const int index = COLOR_BTNTEXT;
  const COLORREF red = RGB(255, 0, 0);
  SetSysColors(1, &index, &red);
  Draw(false, lfStandard, true, rgsNormal);
  EXPECT_EQ(Centre(), red);
}

// ---------------------------------------------------------------------------------------------
// Radio button

class RadioButtonTest : public TEditControlTest {
 protected:
  TqvRadioButton* AddButton(const String& ACaption, TRect ABounds) {
    auto* button = Add<TqvRadioButton>(FForm, ABounds);
    button->SetCaption(ACaption);
    return button;
  }
};

TEST_F(RadioButtonTest, TabbingOntoAnUncheckedButtonChecksItWithOneClick) {
  auto* first = AddButton("First", Rect(10, 40, 120, 60));
  auto* second = AddButton("Second", Rect(10, 70, 120, 90));
  first->SetTabStop(true);
  second->SetTabStop(true);
  Integer clicks = 0;
  second->OnClick = [&](TObject*) { ++clicks; };
  first->SetChecked(true);
  ShowForm();
  first->SetFocus();
  Pump();
  Press(VK_TAB);
  ASSERT_TRUE(second->Focused());
  EXPECT_TRUE(second->GetChecked());
  EXPECT_FALSE(first->GetChecked()) << "siblings are unchecked by the button itself";
  EXPECT_EQ(clicks, 1);
}

TEST_F(RadioButtonTest, StateFollowsTheMouse) {
  auto* button = AddButton("Hover", Rect(10, 40, 120, 60));
  ShowForm();
  EXPECT_EQ(button->GetButtonState(), rbsNormal);
  MoveTo(button, Point(5, 10));
  EXPECT_EQ(button->GetButtonState(), rbsHot);
  Down(button, Point(5, 10));
  EXPECT_EQ(button->GetButtonState(), rbsPressed);
  MoveTo(button, Point(300, 100));
  EXPECT_EQ(button->GetButtonState(), rbsHot) << "captured, outside";
  Up();
  MoveTo(FOther, Point(5, 5));
  EXPECT_EQ(button->GetButtonState(), rbsNormal);
  button->SetEnabled(false);
  EXPECT_EQ(button->GetButtonState(), rbsDisabled);
}

TEST_F(RadioButtonTest, PaintsItsGlyphBesideTheCaption) {
  auto* button = AddButton("Glyph", Rect(10, 40, 120, 60));
  button->GetLookAndFeel()->SetNativeStyle(false);
  button->GetLookAndFeel()->SetKind(lfStandard);
  button->SetChecked(true);
  ShowForm();
  button->Repaint();
  Pump();
  const TRect glyph = button->GetGlyphRect();
  EXPECT_EQ(glyph.Left, 1);
  EXPECT_EQ(glyph.Top, (20 - glyph.Height()) / 2);
  const TPoint centre{(glyph.Left + glyph.Right) / 2, (glyph.Top + glyph.Bottom) / 2};
  EXPECT_EQ(ScreenPixelOf(button, centre), ColorToRGB(clBtnText));
  button->SetAlignment(taLeftJustify);
  button->Repaint();
  Pump();
  EXPECT_EQ(button->GetGlyphRect().Right, 110) << "the glyph at the right edge";
}

struct TMarginCase {
  bool WordWrap;
  TAlignment Alignment;
  bool Native;
  TRect Margins;
};

TEST_F(RadioButtonTest, TextMarginsByWrapAlignmentAndStyle) {
  auto* button = AddButton("Margins", Rect(10, 40, 120, 60));
  const TMarginCase cases[] = {
      {false, taLeftJustify, true, {0, -1, 1, 0}}, {false, taLeftJustify, false, {2, -1, 1, 0}},
      {false, taRightJustify, true, {3, -1, 0, 0}}, {false, taRightJustify, false, {5, -1, 0, 0}},
      {true, taLeftJustify, true, {0, -1, 3, 0}},  {true, taLeftJustify, false, {2, -1, 6, 0}},
      {true, taRightJustify, true, {3, -1, 0, 0}}, {true, taRightJustify, false, {5, -1, 2, 0}}};
  for (const TMarginCase& c : cases) {
    button->SetWordWrap(c.WordWrap);
    button->SetAlignment(c.Alignment);
    TRect r = Rect(100, 100, 200, 200);
    button->AdjustTextRect(r, c.Native);
    EXPECT_EQ(r, Rect(100 + c.Margins.Left, 100 + c.Margins.Top, 200 - c.Margins.Right, 200 - c.Margins.Bottom))
        << c.WordWrap << c.Alignment << c.Native;
  }
}

// ---------------------------------------------------------------------------------------------
// Radio group properties

TOwned<TqvRadioGroupProperties> MakeProperties(std::initializer_list<std::pair<const char*, Variant>> AItems) {
  auto properties = MakeOwned<TqvRadioGroupProperties>(nullptr);
  for (const auto& [caption, value] : AItems) {
    TqvRadioGroupItem* item = properties->GetItems()->Add();
    item->SetCaption(caption);
    item->SetValue(value);
  }
  return properties;
}

TEST(RadioGroupPropertiesTest, ValuesSelectItems) {
  auto properties = MakeProperties({{"Yes", Null()}, {"No", Null()}, {"Two", Variant(2)}, {"True", Variant(true)}});
  const std::pair<Variant, Integer> cases[] = {{String("Yes"), 0},  {String("yes"), -1}, {String("No"), 1},
                                               {Variant(2), 2},     {String("Two"), -1}, {Variant(true), 3},
                                               {Null(), -1},        {Variant(), -1},     {Variant(7), -1}};
  for (const auto& [value, index] : cases)
    EXPECT_EQ(properties->GetRadioGroupItemIndex(value), index) << VarToStr(value);
  EXPECT_EQ(VarToStr(properties->GetIndexValue(0)), "Yes");
  EXPECT_EQ(properties->GetIndexValue(2).AsInteger(), 2);
  EXPECT_TRUE(VarIsNull(properties->GetIndexValue(-1)));
  properties->SetDefaultValue(99);
  properties->SetDefaultCaption("(none)");
  EXPECT_EQ(properties->GetIndexValue(-1).AsInteger(), 99);
  EXPECT_EQ(properties->GetDisplayText(Variant(7)), "(none)");
  EXPECT_EQ(properties->GetDisplayText(Variant(2)), "Two");
}

TEST(RadioGroupPropertiesTest, ColumnsSupportedOperationsAndAssign) {
  auto properties = MakeProperties({});
  properties->SetColumns(0);
  EXPECT_EQ(properties->GetColumns(), 1);
  EXPECT_EQ(properties->GetSupportedOperations(), TqvEditSupportedOperations(0xCF));
  properties->GetItems()->Add()->SetCaption("One");
  EXPECT_EQ(properties->GetSupportedOperations(), TqvEditSupportedOperations(0xDF));
  properties->SetColumns(3);
  properties->SetWordWrap(true);
  properties->GetAlignment()->SetHorz(taCenter);
  auto copy = MakeProperties({});
  copy->Assign(properties.get());
  EXPECT_EQ(copy->GetColumns(), 3);
  EXPECT_TRUE(copy->GetWordWrap());
  ASSERT_EQ(copy->GetItems()->GetCount(), 1);
  EXPECT_EQ(copy->GetItems()->GetItem(0)->GetCaption(), "One");
  EXPECT_EQ(copy->GetAlignment()->GetHorz(), taLeftJustify) << "only right or left";
  EXPECT_EQ(GetRegisteredEditProperties()->FindByShortName("RadioGroup"), &TqvRadioGroupProperties::StaticClass());
}

TEST(RadioGroupPropertiesTest, ItemChangesReachTheProperties) {
  auto properties = MakeProperties({{"A", Null()}});
  Integer changes = 0;
  properties->OnPropertiesChanged = [&](TObject*) { ++changes; };
  properties->GetItems()->GetItem(0)->SetCaption("A");
  EXPECT_EQ(changes, 0);
  properties->GetItems()->GetItem(0)->SetCaption("a");
  properties->GetItems()->GetItem(0)->SetValue(1);
  properties->GetItems()->GetItem(0)->SetValue(1);
  EXPECT_EQ(changes, 2);
}

// ---------------------------------------------------------------------------------------------
// Radio group control

class RadioGroupTest : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    Group = New<TqvRadioGroup>(FForm);
    Group->SetBounds(10, 10, 300, 120);
    Group->SetParent(FForm);
    Group->SetCaption("Polarisation");
    Group->GetProperties()->OnChange = [this](TObject*) { ++Changes; };
  }
  void AddItems(Integer ACount, Integer AColumns = 1) {
    TqvRadioGroupItems* items = Group->GetProperties()->GetItems();
    items->BeginUpdate();
    for (Integer i = 0; i < ACount; ++i) items->Add()->SetCaption("Item " + IntToStr(i));
    items->EndUpdate();
    Group->GetProperties()->SetColumns(AColumns);
  }
  TqvRadioGroup* Group = nullptr;
  Integer Changes = 0;
};

TEST_F(RadioGroupTest, IsMadeWithoutItemsAndLaysThatOut) {
  auto* empty = New<TqvRadioGroup>(FForm);
  empty->SetParent(FForm);
  ShowForm();
  empty->Repaint();
  Pump();
  EXPECT_EQ(empty->GetWidth(), 185);
  EXPECT_EQ(empty->GetHeight(), 105);
  EXPECT_EQ(empty->GetButtonCount(), 0);
  EXPECT_TRUE(empty->GetGroupViewInfo()->Items.empty());
  EXPECT_EQ(empty->GetItemIndex(), -1);
}

TEST_F(RadioGroupTest, ItemsRunDownAColumnThenOnToTheNext) {
  AddItems(5, 2);
  ShowForm();
  const auto& items = Group->GetGroupViewInfo()->Items;
  ASSERT_EQ(items.size(), 5u);
  const std::pair<Integer, Integer> places[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}};
  for (Integer i = 0; i < 5; ++i) {
    EXPECT_EQ(items[size_t(i)].Column, places[i].first) << i;
    EXPECT_EQ(items[size_t(i)].Row, places[i].second) << i;
    EXPECT_EQ(Group->GetButton(i)->GetBoundsRect(), items[size_t(i)].Bounds) << i;
  }
  EXPECT_EQ(items[3].Bounds.Top, items[0].Bounds.Top);
  EXPECT_GT(items[3].Bounds.Left, items[0].Bounds.Right - 1);
  EXPECT_EQ(items[1].Bounds.Top, items[0].Bounds.Bottom);
  EXPECT_GT(items[0].Bounds.Top, Group->GetCanvas()->TextHeight("Qq")) << "below the caption";
}

TEST_F(RadioGroupTest, MoreColumnsThanItemsUsesOneColumnAnItem) {
  AddItems(2, 4);
  ShowForm();
  const auto& items = Group->GetGroupViewInfo()->Items;
  EXPECT_EQ(items[1].Column, 1);
  EXPECT_EQ(items[1].Row, 0);
  EXPECT_GT(items[1].Bounds.Width(), 120) << "two columns share the width";
}

TEST_F(RadioGroupTest, ItemIndexIsHeldWithinTheItems) {
  AddItems(3);
  const std::pair<Integer, Integer> cases[] = {{7, 2}, {-5, -1}, {1, 1}, {0, 0}};
  for (auto [asked, expected] : cases) {
    Group->SetItemIndex(asked);
    EXPECT_EQ(Group->GetItemIndex(), expected) << asked;
  }
}

TEST_F(RadioGroupTest, IndexAndEditValueFollowEachOther) {
  AddItems(3);
  Group->GetProperties()->GetItems()->GetItem(2)->SetValue(42);
  Group->GetProperties()->SetDefaultValue(String("nothing"));
  ShowForm();
  Integer clicks = 0;
  Group->OnClick = [&](TObject*) { ++clicks; };
  Group->SetItemIndex(1);
  EXPECT_EQ(VarToStr(Group->GetEditValue()), "Item 1");
  EXPECT_TRUE(Group->GetButton(1)->GetChecked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Changes, 1);
  Group->SetEditValue(42);
  EXPECT_EQ(Group->GetItemIndex(), 2);
  EXPECT_TRUE(Group->GetButton(2)->GetChecked());
  EXPECT_FALSE(Group->GetButton(1)->GetChecked());
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(Changes, 2);
  Group->SetItemIndex(-1);
  EXPECT_EQ(VarToStr(Group->GetEditValue()), "nothing");
  EXPECT_EQ(clicks, 2) << "no click for no selection";
  for (Integer i = 0; i < 3; ++i) EXPECT_FALSE(Group->GetButton(i)->GetChecked()) << i;
}

TEST_F(RadioGroupTest, ClickingAButtonSelectsItsItem) {
  AddItems(3);
  ShowForm();
  Click(Group->GetButton(2), Point(5, 5));
  EXPECT_EQ(Group->GetItemIndex(), 2);
  EXPECT_TRUE(Group->GetButton(2)->GetChecked());
  EXPECT_TRUE(Group->GetModifiedAfterEnter());
  EXPECT_EQ(Changes, 1);
}

TEST_F(RadioGroupTest, ReadOnlyGroupKeepsItsSelection) {
  AddItems(3);
  Group->GetProperties()->SetReadOnly(true);
  Group->SetItemIndex(0);
  ShowForm();
  Click(Group->GetButton(2), Point(5, 5));
  EXPECT_EQ(Group->GetItemIndex(), 0);
  EXPECT_FALSE(Group->GetButton(2)->GetChecked());
  EXPECT_TRUE(Group->GetButton(0)->GetChecked());
}

struct TGroupKeyCase {
  const char* Name;
  Integer From;
  BYTE Key;
  Integer To;
};

class RadioGroupKeysTest : public RadioGroupTest, public ::testing::WithParamInterface<TGroupKeyCase> {};

// Five items in two columns: 0 1 2 down the first, 3 4 down the second.
TEST_P(RadioGroupKeysTest, MoveWithinAndAcrossColumns) {
  const TGroupKeyCase& c = GetParam();
  AddItems(5, 2);
  ShowForm();
  Group->GetButton(c.From)->SetFocus();
  Pump();
  ASSERT_EQ(Group->GetItemIndex(), c.From);
  Press(c.Key);
  EXPECT_EQ(Group->GetItemIndex(), c.To);
  EXPECT_TRUE(Group->GetButton(c.To)->Focused());
}

INSTANTIATE_TEST_SUITE_P(Keys, RadioGroupKeysTest,
                         ::testing::Values(TGroupKeyCase{"DownInAColumn", 0, VK_DOWN, 1},
                                           TGroupKeyCase{"UpInAColumn", 2, VK_UP, 1},
                                           TGroupKeyCase{"DownWrapsToTheColumnsFirst", 4, VK_DOWN, 3},
                                           TGroupKeyCase{"UpWrapsToTheColumnsLast", 0, VK_UP, 2},
                                           TGroupKeyCase{"RightToTheSameRow", 1, VK_RIGHT, 4},
                                           TGroupKeyCase{"RightWithoutAnItemStays", 2, VK_RIGHT, 2},
                                           TGroupKeyCase{"LeftToTheSameRow", 4, VK_LEFT, 1},
                                           TGroupKeyCase{"LeftInTheFirstColumnStays", 1, VK_LEFT, 1}),
                         [](const ::testing::TestParamInfo<TGroupKeyCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST_F(RadioGroupTest, ButtonsFollowTheItems) {
  AddItems(4);
  ShowForm();
  EXPECT_EQ(Group->GetButtonCount(), 4);
  Group->GetProperties()->GetItems()->Delete(3);
  Group->GetProperties()->GetItems()->Delete(2);
  EXPECT_EQ(Group->GetButtonCount(), 2);
  Group->GetProperties()->GetItems()->GetItem(1)->SetCaption("Renamed");
  EXPECT_EQ(Group->GetButton(1)->GetCaption(), "Renamed");
}

TEST_F(RadioGroupTest, FramePaintsTheCaption) {
  Group->GetStyle()->GetLookAndFeel()->SetNativeStyle(false);
  Group->GetStyle()->SetBorderStyle(ebsSingle);
  Group->GetStyle()->SetBorderColor(clRed);
  AddItems(2);
  ShowForm();
  Group->Repaint();
  Pump();
  const Integer y = Group->GetCanvas()->TextHeight("Qq") / 2;
  EXPECT_EQ(ScreenPixelOf(Group, Point(2, y)), ColorToRGB(clRed)) << "the frame line left of the caption";
  EXPECT_NE(ScreenPixelOf(Group, Point(12, y)), ColorToRGB(clRed)) << "the caption covers the line";
  EXPECT_EQ(ScreenPixelOf(Group, Point(280, y)), ColorToRGB(clRed));
}

// A grid cell paints the items from the view info, the checked one with its dot.
TEST_F(RadioGroupTest, CellPaintsItemsFromTheViewInfo) {
  auto properties = MakeProperties({{"One", Null()}, {"Two", Null()}});
  auto style = MakeOwned<TqvRadioGroupStyle>(nullptr, true);
  style->SetFont(FForm->GetFont());
  style->GetLookAndFeel()->SetKind(lfStandard);
  style->GetLookAndFeel()->SetNativeStyle(false);
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), true);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
  TEditorsCanvas canvas(200, 40);
  data->Calculate(canvas.Canvas(), Rect(0, 0, 200, 40), Point(-1, -1), cmbNone, 0, info.get(), false);
  data->EditValueToViewInfo(canvas.Canvas(), String("Two"), info.get());
  auto* group = static_cast<TqvCustomRadioGroupViewInfo*>(info.get());
  ASSERT_EQ(group->Items.size(), 2u);
  EXPECT_EQ(group->CheckedIndex, 1);
  info->Draw(canvas.Canvas());
  const TSize glyph = RadioGlyphSize();
  auto dot = [&](const TqvRadioGroupItemViewInfo& item) {
    return canvas.PixelRGB(item.Bounds.Left + glyph.cx / 2, item.Bounds.Top + (item.Bounds.Height() - glyph.cy) / 2 + glyph.cy / 2);
  };
  EXPECT_EQ(dot(group->Items[1]), ColorToRGB(clBtnText));
  EXPECT_EQ(dot(group->Items[0]), ColorToRGB(clWindow));
  EXPECT_GT(canvas.Count(clWindowText, Rect(glyph.cx, 0, 200, 40)), 0) << "the captions";
}

}  // namespace
