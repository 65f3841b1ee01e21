// Colour combo box: the combined index of recent colours and items, value to colour and text,
// recent colours and their events, the standard lists, custom colours through the colour
// dialog or the event (a request that ends with clNone changes nothing), keys, the list rows and
// painting in cells.
#include "editors/qvColorComboBox.h"
#include "platform/forms/Dialogs.h"
#include "qvDropDownTestSupport.h"
#include "support/ControlPixels.h"
#include "qvEditorsTestSupport.h"

namespace {

using TProps = TqvColorComboBoxProperties;

TOwned<TProps> NewColorProperties() { return MakeOwned<TProps>(nullptr); }

// Items red, lime, blue (named by the platform table) and recent colours as given.
void FillColors(TqvCustomColorComboBoxProperties* P, std::initializer_list<TColor> ARecent = {}) {
  P->GetItems()->AddColor(clRed, "");
  P->GetItems()->AddColor(clLime, "");
  P->GetItems()->AddColor(clBlue, "");
  for (TColor c : ARecent) P->GetMRUColors()->AddColor(c, "");
}

// -- The combined index and value texts

TEST(TColorComboBoxProperties, AFreshObjectHasNoItemsAndShowsTheDefault) {
  auto p = NewColorProperties();
  EXPECT_EQ(p->GetItems()->GetCount(), 0);
  EXPECT_EQ(p->GetMRUColors()->GetCount(), 0);
  EXPECT_EQ(p->GetDisplayText(Null()), "Color not selected");
  EXPECT_EQ(p->GetDefaultColor(), clWindow);
  EXPECT_EQ(p->GetDefaultColorStyle(), qvdcColor);
  EXPECT_EQ(p->GetDropDownListStyle(), lsFixedList);
  EXPECT_EQ(p->GetMaxMRUColors(), 10);
  ASSERT_EQ(p->GetButtons()->GetCount(), 2);
  EXPECT_FALSE(p->GetButtons()->GetItem(1)->GetVisible());
  EXPECT_EQ(p->GetButtons()->GetItem(1)->GetKind(), bkEllipsis);
}

struct TIndexCase {
  const char* Name;
  Variant Value;
  Integer Index;
};

class TColorComboIndexTest : public ::testing::TestWithParam<TIndexCase> {};

TEST_P(TColorComboIndexTest, RecentColoursComeFirst) {
  auto p = NewColorProperties();
  FillColors(p.get(), {clBlue, clYellow});
  EXPECT_EQ(p->IndexOfColorValue(GetParam().Value), GetParam().Index);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TColorComboIndexTest,
    ::testing::Values(TIndexCase{"Null", Null(), -1}, TIndexCase{"Empty", Variant(), -1},
                      TIndexCase{"RecentFirst", Integer(clBlue), 0}, TIndexCase{"SecondRecent", Integer(clYellow), 1},
                      TIndexCase{"FirstItem", Integer(clRed), 2}, TIndexCase{"ItemAsText", String("65280"), 3},
                      TIndexCase{"Identifier", String("clRed"), 2}, TIndexCase{"NotListed", Integer(clGray), -1},
                      TIndexCase{"NoColourText", String("red"), -1}, TIndexCase{"HalfNumber", String("12x"), -1}),
    [](const ::testing::TestParamInfo<TIndexCase>& info) { return info.param.Name; });

TEST(TColorComboBoxProperties, ColoursByCombinedIndexFallBackToTheDefault) {
  auto p = NewColorProperties();
  FillColors(p.get(), {clYellow});
  EXPECT_EQ(p->GetColorByIndex(-1), clWindow);
  EXPECT_EQ(p->GetColorByIndex(0), clYellow);
  EXPECT_EQ(p->GetColorByIndex(1), clRed);
  EXPECT_EQ(p->GetColorByIndex(3), clBlue);
  EXPECT_EQ(p->GetColorByIndex(4), clWindow);
  EXPECT_EQ(p->IndexOfColor(clLime), 2);
  EXPECT_EQ(p->GetDisplayTextByIndex(-1), "Color not selected");
  EXPECT_EQ(p->GetDisplayTextByIndex(1), "clRed");
  EXPECT_EQ(p->GetDisplayTextByIndex(9), "");
}

struct TTranslateCase {
  const char* Name;
  TqvColorComboStyle Style;
  Variant Value;
  TColor Color;  // the colour output, clNone: left as it was
  const char* Text;
};

class TColorComboTranslateTest : public ::testing::TestWithParam<TTranslateCase> {};

TEST_P(TColorComboTranslateTest, ValueToColourAndText) {
  const TTranslateCase& c = GetParam();
  auto p = NewColorProperties();
  FillColors(p.get());
  p->SetColorComboStyle(c.Style);
  TColor color = clNone;
  String text;
  p->TranslateValue(c.Value, color, text);
  EXPECT_EQ(color, c.Color);
  EXPECT_EQ(text, String(c.Text));
  EXPECT_EQ(p->GetDisplayText(c.Value), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Values, TColorComboTranslateTest,
    ::testing::Values(
        TTranslateCase{"ListedEdit", qvccsComboEdit, Integer(clRed), clNone, "clRed"},
        TTranslateCase{"ListedList", qvccsComboList, Integer(clRed), clNone, "clRed"},
        TTranslateCase{"NamedUnlistedEdit", qvccsComboEdit, Integer(clGray), clGray, "clGray"},
        TTranslateCase{"UnnamedUnlistedEdit", qvccsComboEdit, Integer(0x203040), 0x203040, "64.48.32"},
        TTranslateCase{"UnlistedList", qvccsComboList, Integer(clGray), clNone, "Color not selected"},
        TTranslateCase{"NullEdit", qvccsComboEdit, Null(), clWindow, "Color not selected"},
        TTranslateCase{"NullList", qvccsComboList, Null(), clWindow, "Color not selected"},
        TTranslateCase{"BadTextEdit", qvccsComboEdit, String("no colour"), clWindow, "Color not selected"}),
    [](const ::testing::TestParamInfo<TTranslateCase>& info) { return info.param.Name; });

TEST(TColorComboBoxProperties, WithoutDescriptionsNoTextAndTheNamingEventHasTheLastWord) {
  auto p = NewColorProperties();
  FillColors(p.get());
  p->OnNamingConvention = [](TObject*, TColor AColor, String& AText) {
    if (AColor == clRed) AText = "Signal";
  };
  EXPECT_EQ(p->GetDisplayText(Integer(clRed)), "Signal");
  EXPECT_EQ(p->GetDisplayText(Integer(clLime)), "clLime");
  p->SetShowDescriptions(false);
  EXPECT_EQ(p->GetDisplayText(Integer(clRed)), "");
  EXPECT_EQ(p->GetDisplayTextByIndex(-1), "");
}

TEST(TColorComboBoxProperties, SupportedOperationsFollowButtonsAndDescriptions) {
  auto p = NewColorProperties();
  EXPECT_EQ(p->GetSupportedOperations(), TqvEditSupportedOperations(0xDC | 0x20));
  p->SetShowDescriptions(false);
  EXPECT_EQ(p->GetSupportedOperations(), TqvEditSupportedOperations(0xDC));
  p->GetButtons()->Clear();
  EXPECT_EQ(p->GetSupportedOperations(), TqvEditSupportedOperations(0xCC));
}

TEST(TColorComboBoxProperties, ANegativeBoxWidthIsStoredAsZero) {
  auto p = NewColorProperties();
  p->SetColorBoxWidth(-5);
  EXPECT_EQ(p->GetColorBoxWidth(), 0);
}

// -- Items

TEST(TColorComboBoxItems, AddInsertMoveAndFind) {
  auto p = NewColorProperties();
  TqvColorComboBoxItems* items = p->GetItems();
  ASSERT_NE(items->AddColor(clRed, "a"), nullptr);
  EXPECT_EQ(items->AddColor(clRed, "b"), nullptr) << "a listed colour is refused";
  EXPECT_EQ(items->InsertColor(0, clRed, "c"), nullptr);
  ASSERT_NE(items->InsertColor(0, clLime, "d"), nullptr);
  ASSERT_NE(items->AddColor(clBlue, ""), nullptr);
  EXPECT_EQ(items->IndexOfColor(clLime), 0);
  EXPECT_EQ(items->FindColorItem(clRed)->GetDescription(), "a");
  EXPECT_TRUE(items->FindColorItem(clRed)->GetIsCustomColor());
  items->Move(2, 0);
  EXPECT_EQ(items->GetItem(0)->GetColor(), clBlue);
  EXPECT_EQ(items->GetItem(1)->GetColor(), clLime);
  EXPECT_EQ(items->GetItem(2)->GetColor(), clRed);
  EXPECT_EQ(items->GetItem(2)->GetDescription(), "a");
  EXPECT_EQ(items->GetColorByIndex(7, clGray), clGray);
  EXPECT_EQ(items->GetColorByIndex(-1, clGray), clGray);
  Integer changes = 0;
  p->OnPropertiesChanged = [&](TObject*) { ++changes; };
  items->GetItem(0)->SetDescription("x");
  EXPECT_EQ(changes, 1) << "an item's change is a change of the properties";
}

struct TPrepareCase {
  const char* Name;
  TqvColorPrepareList List;
  Integer Count;
  const char* Kept;
  const char* Dropped;
};

class TColorComboPrepareTest : public ::testing::TestWithParam<TPrepareCase> {};

TEST_P(TColorComboPrepareTest, FillsFromTheTableOnceAfterTheCustomItems) {
  const TPrepareCase& c = GetParam();
  auto p = NewColorProperties();
  p->GetItems()->AddColor(0x010203, "mine");
  p->SetPrepareList(c.List);
  EXPECT_EQ(p->GetItems()->GetCount(), 1) << "setting the list alone changes nothing";
  p->SetPrepareInfo("x");
  p->SetPrepareInfo("x");
  ASSERT_EQ(p->GetItems()->GetCount(), c.Count + 1);
  EXPECT_EQ(p->GetItems()->GetItem(0)->GetDescription(), "mine");
  EXPECT_TRUE(p->GetItems()->GetItem(0)->GetIsCustomColor());
  if (c.Count > 0) {
    EXPECT_FALSE(p->GetItems()->GetItem(1)->GetIsCustomColor());
  }
  std::set<std::string> names;
  for (Integer i = 0; i < p->GetItems()->GetCount(); ++i) names.insert(p->GetItems()->GetItem(i)->GetDescription());
  if (*c.Kept) {
    EXPECT_TRUE(names.count(c.Kept));
  }
  if (*c.Dropped) {
    EXPECT_FALSE(names.count(c.Dropped));
  }
  p->GetItems()->ClearNonCustomItems();
  ASSERT_EQ(p->GetItems()->GetCount(), 1);
  EXPECT_EQ(p->GetItems()->GetItem(0)->GetDescription(), "mine");
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TColorComboPrepareTest,
    ::testing::Values(TPrepareCase{"None", qvplNone, 0, "", ""},
                      TPrepareCase{"HTML4", qvplHTML4, 16, "Aqua", ""},
                      TPrepareCase{"X11", qvplX11, 138, "Aqua", "Cyan"},
                      TPrepareCase{"X11Alphabetical", qvplX11, 138, "Fuchsia", "Magenta"},
                      TPrepareCase{"X11Ordered", qvplX11Ordered, 138, "Cyan", "Aqua"},
                      TPrepareCase{"X11OrderedMagenta", qvplX11Ordered, 138, "Magenta", "Fuchsia"}),
    [](const ::testing::TestParamInfo<TPrepareCase>& info) { return info.param.Name; });

TEST(TColorComboBoxProperties, AssignCopiesSettingsEventsAndBothLists) {
  auto source = NewColorProperties();
  FillColors(source.get(), {clLime});
  source->SetAllowSelectColor(true);
  source->SetColorBoxAlign(cbaRight);
  source->SetColorBoxWidth(12);
  source->SetColorComboStyle(qvccsComboList);
  source->SetColorDialogType(qvcdtCustom);
  source->SetDefaultColor(clGray);
  source->SetDefaultDescription("none");
  source->SetDefaultColorStyle(qvdcHatched);
  source->SetMaxMRUColors(4);
  source->SetNamingConvention(qvncX11);
  source->SetPrepareList(qvplHTML4);
  source->GetItems()->GetItem(1)->SetIsCustomColor(false);
  Integer added = 0;
  source->OnAddedMRUColor = [&](TObject*) { ++added; };
  auto target = NewColorProperties();
  target->Assign(source.get());
  EXPECT_TRUE(target->GetAllowSelectColor());
  EXPECT_TRUE(target->GetButtons()->GetItem(1)->GetVisible());
  EXPECT_EQ(target->GetColorBoxAlign(), cbaRight);
  EXPECT_EQ(target->GetColorBoxWidth(), 12);
  EXPECT_EQ(target->GetColorComboStyle(), qvccsComboList);
  EXPECT_EQ(target->GetColorDialogType(), qvcdtCustom);
  EXPECT_EQ(target->GetDefaultColor(), clGray);
  EXPECT_EQ(target->GetDefaultDescription(), "none");
  EXPECT_EQ(target->GetDefaultColorStyle(), qvdcHatched);
  EXPECT_EQ(target->GetMaxMRUColors(), 4);
  EXPECT_EQ(target->GetNamingConvention(), qvncX11);
  EXPECT_EQ(target->GetPrepareList(), qvplHTML4);
  ASSERT_EQ(target->GetItems()->GetCount(), 3);
  EXPECT_FALSE(target->GetItems()->GetItem(1)->GetIsCustomColor());
  ASSERT_EQ(target->GetMRUColors()->GetCount(), 1);
  target->AddMRUColor(clRed);
  EXPECT_EQ(added, 1);
}

// -- Recent colours

struct TRecentCase {
  const char* Name;
  TColor Color;
  Integer Result;
  Integer Added;
  TColor First;
  Integer Changes;  // of the properties: a new recent colour is no change of the settings
};

class TColorComboRecentTest : public ::testing::TestWithParam<TRecentCase> {};

TEST_P(TColorComboRecentTest, AddMovesOrIgnores) {
  const TRecentCase& c = GetParam();
  auto p = NewColorProperties();
  FillColors(p.get(), {clRed, clLime, clBlue});
  p->GetItems()->AddColor(clYellow, "sun");
  Integer added = 0, deleted = 0;
  p->OnAddedMRUColor = [&](TObject*) { ++added; };
  p->OnDeletedMRUColor = [&](TObject*) { ++deleted; };
  Integer changes = 0;
  p->OnPropertiesChanged = [&](TObject*) { ++changes; };
  EXPECT_EQ(p->AddMRUColor(c.Color), c.Result);
  EXPECT_EQ(added, c.Added);
  EXPECT_EQ(changes, c.Changes);
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(p->GetMRUColors()->GetItem(0)->GetColor(), c.First);
}

INSTANTIATE_TEST_SUITE_P(Cases, TColorComboRecentTest,
                         ::testing::Values(TRecentCase{"First", clRed, 0, 0, clRed, 0},
                                           TRecentCase{"Third", clBlue, 1, 1, clBlue, 1},
                                           TRecentCase{"NewFromItems", clYellow, 2, 1, clYellow, 0},
                                           TRecentCase{"NotListed", clGray, 0, 0, clRed, 0}),
                         [](const ::testing::TestParamInfo<TRecentCase>& info) { return info.param.Name; });

TEST(TColorComboBoxProperties, AddedRecentColourTakesTheItemsDescriptionAndTheListIsCut) {
  auto p = NewColorProperties();
  for (TColor c : {clRed, clLime, clBlue, clYellow}) p->GetItems()->AddColor(c, "d" + IntToStr(c));
  p->SetMaxMRUColors(2);
  Integer deleted = 0;
  p->OnDeletedMRUColor = [&](TObject*) { ++deleted; };
  for (TColor c : {clRed, clLime, clBlue}) EXPECT_EQ(p->AddMRUColor(c), 2);
  ASSERT_EQ(p->GetMRUColors()->GetCount(), 2);
  EXPECT_EQ(p->GetMRUColors()->GetItem(0)->GetColor(), clBlue);
  EXPECT_EQ(p->GetMRUColors()->GetItem(0)->GetDescription(), "d" + IntToStr(clBlue));
  EXPECT_EQ(deleted, 1);
}

TEST(TColorComboBoxProperties, LoweringTheLimitTrimsAndFiresPerEntry) {
  auto p = NewColorProperties();
  FillColors(p.get(), {clRed, clLime, clBlue, clYellow, clGray});
  Integer deleted = 0, changes = 0;
  p->OnDeletedMRUColor = [&](TObject*) { ++deleted; };
  p->OnPropertiesChanged = [&](TObject*) { ++changes; };
  p->SetMaxMRUColors(3);
  EXPECT_EQ(p->GetMRUColors()->GetCount(), 3);
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(changes, 1);
  p->SetMaxMRUColors(8);
  EXPECT_EQ(changes, 1) << "raising the limit is no change";
  p->SetMaxMRUColors(0);
  EXPECT_EQ(p->GetMRUColors()->GetCount(), 0);
  EXPECT_EQ(p->AddMRUColor(clRed), 0) << "no recent colours at all";
}

TEST(TColorComboBoxProperties, DeleteOnlyWhenTheColourIsInBothLists) {
  auto p = NewColorProperties();
  FillColors(p.get(), {clLime, clGray});
  Integer deleted = 0;
  p->OnDeletedMRUColor = [&](TObject*) { ++deleted; };
  EXPECT_EQ(p->DeleteMRUColor(clGray), 0);
  EXPECT_EQ(p->DeleteMRUColor(clBlue), 0);
  EXPECT_EQ(p->DeleteMRUColor(clLime), 3);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(p->GetMRUColors()->GetCount(), 1);
  p->ClearMRUColors();
  EXPECT_EQ(p->GetMRUColors()->GetCount(), 0);
}

// -- The control

class TColorComboBoxTest : public TDropDownTest {
 protected:
  TqvColorComboBox* NewColorCombo() { return NewTextEdit<TqvColorComboBox>(); }
  void TearDown() override {
    SetDialogExecuteHandler(&TColorDialog::StaticClass(), nullptr);
    TDropDownTest::TearDown();
  }
  static void AnswerDialog(TDialogAnswer AAnswer, TColor AColor) {
    SetDialogExecuteHandler(&TColorDialog::StaticClass(), [=](TCommonDialog* D) {
      static_cast<TColorDialog*>(D)->SetColor(AColor);
      return AAnswer;
    });
  }
};

TEST_F(TColorComboBoxTest, ColorValueSetsTheEditValueAndTheText) {
  TqvColorComboBox* combo = NewColorCombo();
  FillColors(combo->GetProperties());
  ShowForm();
  combo->SetColorValue(clLime);
  Pump();
  EXPECT_EQ(combo->GetEditValue().AsInteger(), Integer(clLime));
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "clLime");
  EXPECT_FALSE(combo->GetEditModified());
  combo->SetEditValue(Integer(clBlue));
  Pump();
  EXPECT_EQ(combo->GetColorValue(), clBlue) << "the colour of the current item";
  combo->SetEditValue(Null());
  Pump();
  EXPECT_EQ(combo->GetColorValue(), clLime) << "no item: the saved colour";
}

TEST_F(TColorComboBoxTest, PickingFromTheListMakesARecentColour) {
  TqvColorComboBox* combo = NewColorCombo();
  FillColors(combo->GetProperties());
  Integer added = 0;
  combo->GetProperties()->OnAddedMRUColor = [&](TObject*) { ++added; };
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetColorValue(), clLime);
  EXPECT_EQ(combo->GetEditValue().AsInteger(), Integer(clLime));
  ASSERT_EQ(combo->GetProperties()->GetMRUColors()->GetCount(), 1);
  EXPECT_EQ(combo->GetProperties()->GetMRUColors()->GetItem(0)->GetColor(), clLime);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(combo->GetItemIndex(), 0) << "the recent entry of the colour";
  EXPECT_EQ(combo->GetText(), "clLime");
}

TEST_F(TColorComboBoxTest, DeleteClearsTheValue) {
  TqvColorComboBox* combo = NewColorCombo();
  FillColors(combo->GetProperties());
  ShowForm();
  combo->SetColorValue(clRed);
  Focus(combo);
  Press(VK_DELETE);
  EXPECT_TRUE(VarIsNull(combo->GetEditValue()));
  EXPECT_TRUE(combo->GetModifiedAfterEnter());
  EXPECT_EQ(combo->GetItemIndex(), -1);
  EXPECT_EQ(combo->GetText(), "Color not selected");
}

TEST_F(TColorComboBoxTest, InPlaceDeleteAndCustomColoursPostAtOnce) {
  TqvColorComboBox* combo = NewTextEdit<TqvColorComboBox>(true);
  TqvColorComboBoxProperties* p = combo->GetProperties();
  FillColors(p);
  p->SetImmediatePost(true);
  p->SetColorDialogType(qvcdtCustom);
  p->OnSelectCustomColor = [](TObject*, TColor& AColor, String&, bool&) { AColor = 0x445566; };
  std::vector<Variant> posted;
  combo->OnPostEditValue = [&](TObject*) { posted.push_back(combo->GetEditValue()); };
  ShowForm();
  combo->SetEditValue(Integer(clRed));
  TqvCustomEditData* data = nullptr;
  combo->Activate(data);
  Pump();
  Press(VK_DELETE);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_TRUE(VarIsNull(posted[0]));
  combo->SelectCustomColor();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[1].AsInteger(), 0x445566);
  EXPECT_EQ(combo->GetText(), "102.85.68") << "a custom item named by its value";
  combo->Deactivate();
  Free(data);
}

TEST_F(TColorComboBoxTest, DeleteInAReadOnlyEditorKeepsTheValue) {
  TqvColorComboBox* combo = NewColorCombo();
  FillColors(combo->GetProperties());
  combo->GetProperties()->SetReadOnly(true);
  ShowForm();
  combo->SetColorValue(clRed);
  Focus(combo);
  Press(VK_DELETE);
  EXPECT_EQ(combo->GetEditValue().AsInteger(), Integer(clRed));
}

struct TCustomColorCase {
  const char* Name;
  TqvColorDialogType DialogType;
  TDialogAnswer Answer;
  TColor DialogColor;
  bool HasHandler;
  TColor HandlerColor;  // clDefault: leaves the colour as it is
  bool AddToList;
  bool Added;           // a new custom item and recent colour
  TColor Value;         // the value afterwards (clRed before)
};

class TColorComboCustomTest : public TColorComboBoxTest, public ::testing::WithParamInterface<TCustomColorCase> {};

TEST_P(TColorComboCustomTest, CustomColourRequest) {
  const TCustomColorCase& c = GetParam();
  TqvColorComboBox* combo = NewColorCombo();
  TqvColorComboBoxProperties* p = combo->GetProperties();
  FillColors(p);
  p->SetAllowSelectColor(true);
  p->SetColorDialogType(c.DialogType);
  AnswerDialog(c.Answer, c.DialogColor);
  Integer events = 0;
  if (c.HasHandler)
    p->OnSelectCustomColor = [&](TObject*, TColor& AColor, String& ADescription, bool& AddToList) {
      ++events;
      if (c.HandlerColor != clDefault) AColor = c.HandlerColor;
      ADescription = "picked";
      AddToList = c.AddToList;
    };
  ShowForm();
  combo->SetColorValue(clRed);
  Focus(combo);
  combo->SelectCustomColor();
  Pump();
  EXPECT_EQ(p->GetItems()->GetCount(), c.Added ? 4 : 3);
  EXPECT_EQ(p->GetItems()->IndexOfColor(clNone), -1) << "clNone never becomes an item";
  if (c.Added) {
    EXPECT_EQ(p->GetItems()->GetItem(3)->GetDescription(), c.HasHandler ? "picked" : "");
    EXPECT_TRUE(p->GetItems()->GetItem(3)->GetIsCustomColor());
    ASSERT_GE(p->GetMRUColors()->GetCount(), 1);
    EXPECT_EQ(p->GetMRUColors()->GetItem(0)->GetColor(), c.Value);
    EXPECT_EQ(combo->GetItemIndex(), 0);
  }
  EXPECT_EQ(combo->GetColorValue(), c.Value);
  EXPECT_EQ(combo->GetEditValue().AsInteger(), Integer(c.Value));
  const bool asked = c.HasHandler && !(c.DialogType == qvcdtDefault && c.Answer == daCancel);
  EXPECT_EQ(events, asked ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TColorComboCustomTest,
    ::testing::Values(
        TCustomColorCase{"DialogOk", qvcdtDefault, daOk, 0x204060, false, clDefault, true, true, 0x204060},
        TCustomColorCase{"DialogCancelled", qvcdtDefault, daCancel, 0x204060, true, clDefault, true, false, clRed},
        TCustomColorCase{"DialogListedColour", qvcdtDefault, daOk, clBlue, false, clDefault, true, false, clBlue},
        TCustomColorCase{"DialogNotAdded", qvcdtDefault, daOk, 0x204060, true, clDefault, false, false, clRed},
        TCustomColorCase{"EventOnly", qvcdtCustom, daOk, 0, true, 0x0A0B0C, true, true, 0x0A0B0C},
        TCustomColorCase{"EventOnlyWithoutHandler", qvcdtCustom, daOk, 0, false, clDefault, true, false, clRed},
        TCustomColorCase{"EventLeavesNone", qvcdtCustom, daOk, 0, true, clDefault, true, false, clRed},
        TCustomColorCase{"EventClearsToNone", qvcdtDefault, daOk, 0x204060, true, clNone, true, false, clRed}),
    [](const ::testing::TestParamInfo<TCustomColorCase>& info) { return info.param.Name; });

TEST_F(TColorComboBoxTest, TheSecondButtonAsksForAColour) {
  TqvColorComboBox* combo = NewColorCombo();
  TqvColorComboBoxProperties* p = combo->GetProperties();
  FillColors(p);
  p->SetAllowSelectColor(true);
  AnswerDialog(daOk, 0x112233);
  ShowForm();
  Focus(combo);
  ASSERT_EQ(combo->GetViewInfo()->ButtonsInfo.size(), 2u);
  const TRect r = combo->GetViewInfo()->GetButton(1)->Bounds;
  Click(combo, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  EXPECT_EQ(combo->GetColorValue(), TColor(0x112233));
  EXPECT_EQ(p->GetButtons()->GetItem(1)->GetKind(), bkEllipsis);
}

TEST_F(TColorComboBoxTest, ListRowsAreAtLeast16AndTheLastRecentOneIsTaller) {
  TqvColorComboBox* combo = NewColorCombo();
  TqvColorComboBoxProperties* p = combo->GetProperties();
  FillColors(p, {clRed, clLime});
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  auto* list = As<TqvCustomColorComboBoxListBox>(List(combo));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(combo->GetLookupData()->GetItemCount(), 5);
  EXPECT_EQ(combo->GetLookupData()->GetItem(0), "clRed");
  EXPECT_EQ(combo->GetLookupData()->GetItem(4), "clBlue");
  const Integer plain = list->GetItemHeight(0);
  EXPECT_GE(plain, 16);
  EXPECT_EQ(list->GetItemHeight(1), plain + 3);
  EXPECT_EQ(list->GetItemHeight(2), plain);
  p->OnMeasureItem = [](TqvCustomComboBox*, Integer, TqvCanvas*, Integer& AHeight) { AHeight = 25; };
  EXPECT_EQ(list->GetItemHeight(0), 25);
  EXPECT_EQ(list->GetItemHeight(1), 28);
  p->OnMeasureItem = nullptr;
  Pump();
  // Each row shows its colour in the box; a separator follows the last recent colour.
  const TColor colours[] = {clRed, clLime, clRed, clLime, clBlue};
  for (Integer i = 0; i < 5; ++i) {
    const TRect r = list->ItemRect(i);
    EXPECT_EQ(ControlPixelOf(list, {r.Left + 15, r.Top + 6}), TRgb{ColorToRGB(colours[i])}) << "row " << i;
  }
  const TRect last = list->ItemRect(1);
  for (Integer dy : {3, 1})
    EXPECT_EQ(ControlPixelOf(list, {last.Left + 40, last.Bottom - dy}), TRgb{ColorToRGB(clWindowText)});
  EXPECT_NE(ControlPixelOf(list, {last.Left + 40, last.Bottom - 2}), TRgb{ColorToRGB(clWindowText)});
  Press(VK_ESCAPE);
}

// -- Painting in cells

struct TCellCase {
  const char* Name;
  Variant Value;
  bool ShowDescriptions;
  TqvColorBoxAlign Align;
  TqvDefaultColorStyle DefaultStyle;
  TColor BoxColor;        // the inside of the box, clNone: no box
  bool BoxRight;
  const char* Text;
};

class TColorComboCellTest : public TEditorsTest, public ::testing::WithParamInterface<TCellCase> {};

TEST_P(TColorComboCellTest, PaintsTheBoxAndTheText) {
  const TCellCase& c = GetParam();
  auto p = NewColorProperties();
  FillColors(p.get());
  p->SetShowDescriptions(c.ShowDescriptions);
  p->SetColorBoxAlign(c.Align);
  p->SetDefaultColorStyle(c.DefaultStyle);
  p->SetDefaultColor(clFuchsia);
  p->OnGetDefaultColor = [](TObject*, TColor& AColor) { AColor = clAqua; };
  auto style = MakeOwned<TqvCustomEditStyle>(nullptr, true);
  TOwned<TqvCustomEditViewData> data = p->CreateViewData(style.get(), true);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(p->GetViewInfoClass()->Create()));
  TEditorsCanvas canvas(150, 20);
  data->Calculate(canvas.Canvas(), Rect(0, 0, 150, 20), Point(-1, -1), cmbNone, 0, info.get(), false);
  data->EditValueToViewInfo(canvas.Canvas(), c.Value, info.get());
  auto* viewInfo = static_cast<TqvCustomColorComboBoxViewInfo*>(info.get());
  EXPECT_EQ(viewInfo->Text, String(c.Text));
  const TRect client = viewInfo->ContentRect;
  EXPECT_FALSE(client.IsEmpty());
  for (Integer i = 0; i < info->GetButtonCount(); ++i)
    EXPECT_TRUE(qvIntersectRect(client, info->GetButton(i)->Bounds).IsEmpty()) << "the buttons stay clear";
  const TRect box = viewInfo->ColorBoxRect;
  if (c.BoxColor == clNone) {
    EXPECT_EQ(box.Width(), 0);
    EXPECT_LE(viewInfo->TextRect.Left, client.Left + 2) << "the text takes the whole width";
  } else if (!c.ShowDescriptions) {
    EXPECT_EQ(box, client);
  } else {
    EXPECT_EQ(box.Width(), 30);
    EXPECT_EQ(c.BoxRight ? box.Right : box.Left, c.BoxRight ? client.Right : client.Left);
    if (c.BoxRight)
      EXPECT_LE(viewInfo->TextRect.Right, box.Left);
    else
      EXPECT_GE(viewInfo->TextRect.Left, box.Right);
  }
  info->Draw(canvas.Canvas());
  for (TColor probe : {clRed, clFuchsia, clAqua})
    EXPECT_EQ(canvas.Count(probe) > 0, probe == c.BoxColor) << "colour " << probe;
  if (c.BoxColor != clNone) {
    EXPECT_TRUE(canvas.Is((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2, c.BoxColor));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TColorComboCellTest,
    ::testing::Values(TCellCase{"ListedLeft", Integer(clRed), true, cbaLeft, qvdcColor, clRed, false, "clRed"},
                      TCellCase{"ListedRight", Integer(clRed), true, cbaRight, qvdcColor, clRed, true, "clRed"},
                      TCellCase{"OnlyTheBox", Integer(clRed), false, cbaLeft, qvdcColor, clRed, false, ""},
                      TCellCase{"NoColour", Null(), true, cbaLeft, qvdcColor, clFuchsia, false,
                                "Color not selected"},
                      TCellCase{"NoColourCustom", Null(), true, cbaLeft, qvdcCustom, clAqua, false,
                                "Color not selected"},
                      TCellCase{"NoColourText", Null(), true, cbaLeft, qvdcText, clNone, false,
                                "Color not selected"},
                      TCellCase{"ListedText", Integer(clRed), true, cbaLeft, qvdcText, clRed, false, "clRed"}),
    [](const ::testing::TestParamInfo<TCellCase>& info) { return info.param.Name; });

TEST_F(TColorComboBoxTest, TheEditorCountsAsFocusedWhileItsDialogIsOpen) {
  TqvColorComboBox* combo = NewColorCombo();
  FillColors(combo->GetProperties());
  ShowForm();
  FocusOther();
  bool focusedInDialog = false;
  SetDialogExecuteHandler(&TColorDialog::StaticClass(), [&](TCommonDialog*) {
    focusedInDialog = combo->Focused();
    return daCancel;
  });
  EXPECT_FALSE(combo->Focused());
  combo->SelectCustomColor();
  EXPECT_TRUE(focusedInDialog);
  EXPECT_FALSE(combo->Focused());
}

TEST_F(TColorComboBoxTest, AGlyphMakesTheCustomColourButtonAGlyphButton) {
  TqvColorComboBox* combo = NewColorCombo();
  TqvColorComboBoxProperties* p = combo->GetProperties();
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(8, 8);
  p->GetButtons()->GetItem(1)->SetGlyph(glyph.get());
  p->SetAllowSelectColor(true);
  EXPECT_EQ(p->GetButtons()->GetItem(1)->GetKind(), bkGlyph);
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkDown);
}

TEST_F(TColorComboBoxTest, TheBoxWidthWidensTheContentAndThePopup) {
  TqvColorComboBox* combo = NewColorCombo();
  TqvColorComboBoxProperties* p = combo->GetProperties();
  FillColors(p);
  ShowForm();
  auto style = MakeOwned<TqvCustomEditStyle>(nullptr, true);
  style->SetFont(FForm->GetFont());
  TOwned<TqvCustomEditViewData> data = p->CreateViewData(style.get(), true);
  TEditorsCanvas canvas(10, 10);
  auto width = [&](const Variant& AValue) {
    return data->GetEditContentSize(canvas.Canvas(), AValue, TqvEditSizeProperties{}).cx;
  };
  auto popupWidth = [&] {
    TSize size;
    combo->CalculatePopupContentSize(size);
    return size.cx;
  };
  const Integer narrow = width(Integer(clRed)), narrowPopup = popupWidth();
  EXPECT_GT(width(Integer(0x102030)), narrow) << "the longer text";
  p->SetColorBoxWidth(50);
  EXPECT_EQ(width(Integer(clRed)), narrow + 20);
  EXPECT_EQ(popupWidth(), narrowPopup + 20);
  p->SetShowDescriptions(false);
  EXPECT_EQ(width(Integer(clRed)), width(Integer(0x102030))) << "no text, no box room";
  EXPECT_LT(width(Integer(clRed)), 50);
}

TEST_F(TColorComboBoxTest, RegisteredAndInTheRepository) {
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvColorComboBoxProperties"), nullptr);
  auto* repository = New<TqvEditRepository>(FForm);
  auto* item = repository->CreateItem(&TqvEditRepositoryColorComboBoxItem::StaticClass());
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(&TqvColorComboBoxProperties::StaticClass()));
  EXPECT_EQ(static_cast<TqvColorComboBoxProperties*>(item->GetProperties())->GetEditingStyle(), esFixedList);
}

}  // namespace
