// Text edit properties without a control: settings and their change notifications, copying,
// the value forms and their validation; the lookup data's incremental search and navigation.
#include <gtest/gtest.h>

#include "core/qvVariants.h"
#include "editors/qvTextEdit.h"
#include "platform/rtl/DateTime.h"

namespace {

class TextEditProperties : public ::testing::Test {
 protected:
  void SetUp() override {
    Properties = MakeOwned<TqvTextEditProperties>(nullptr);
    Properties->OnPropertiesChanged = [this](TObject*) { ++Changes; };
  }
  TOwned<TqvTextEditProperties> Properties;
  Integer Changes = 0;
};

TEST_F(TextEditProperties, MaxLengthIsAssignedOnceAndNeverNegative) {
  EXPECT_FALSE(Properties->IsMaxLengthStored());
  Properties->SetMaxLength(-5);
  EXPECT_EQ(Properties->GetMaxLength(), 0);
  EXPECT_TRUE(Properties->IsMaxLengthStored());
  EXPECT_EQ(Changes, 1);
  Properties->SetMaxLength(0);
  EXPECT_EQ(Changes, 1) << "the same value again changes nothing";
}

TEST_F(TextEditProperties, BoundsKeepEachOtherInOrder) {
  Properties->SetMinValue(5);
  Properties->SetMaxValue(1);
  EXPECT_EQ(Properties->GetMaxValue(), 5);
  Properties->SetMaxValue(10);
  Properties->SetMinValue(20);
  EXPECT_EQ(Properties->GetMinValue(), 10);
}

TEST_F(TextEditProperties, AssignFreezesTheEffectiveMaxLengthAndCopiesTheItems) {
  TOwned<TqvTextEditProperties> source = MakeOwned<TqvTextEditProperties>(nullptr);
  source->GetLookupItems()->Add("b");
  source->GetLookupItems()->Add("a");
  source->SetLookupItemsSorted(true);
  source->SetCharCase(ecUpperCase);
  Properties->Assign(source.get());
  EXPECT_TRUE(Properties->IsMaxLengthStored());
  EXPECT_EQ(Properties->GetMaxLength(), 0);
  EXPECT_TRUE(Properties->GetLookupItemsSorted());
  ASSERT_EQ(Properties->GetLookupItems()->GetCount(), 2);
  EXPECT_EQ(Properties->GetLookupItems()->Get(0), "a");
  EXPECT_EQ(Properties->GetCharCase(), ecUpperCase);
  EXPECT_EQ(Changes, 1) << "one notification for the whole copy";
}

TEST_F(TextEditProperties, SupportedOperationsAddButtonsWhenThereAreAny) {
  EXPECT_EQ(Properties->GetSupportedOperations(), 0x6Eu);
  Properties->GetButtons()->Add();
  EXPECT_EQ(Properties->GetSupportedOperations(), 0x7Eu);
}

struct TDisplayTextCase {
  const char* Name;
  Variant Value;
  TEditCharCase CharCase;
  TqvEditEchoMode Echo;
  const char* Expected;
};

class TextEditDisplayText : public TextEditProperties, public ::testing::WithParamInterface<TDisplayTextCase> {};

TEST_P(TextEditDisplayText, Is) {
  const TDisplayTextCase& c = GetParam();
  Properties->SetCharCase(c.CharCase);
  Properties->SetEchoMode(c.Echo);
  EXPECT_EQ(Properties->GetDisplayText(c.Value), String(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextEditDisplayText,
    ::testing::Values(TDisplayTextCase{"Null", Null(), ecNormal, eemNormal, ""},
                      TDisplayTextCase{"Number", Variant(Integer(42)), ecNormal, eemNormal, "42"},
                      TDisplayTextCase{"Password", Variant(String("abc")), ecNormal, eemPassword, "***"},
                      // Only a-z change: national letters and the sharp s keep their case.
                      TDisplayTextCase{"UpperAsciiOnly", Variant(String("abc\xE4\xDF")), ecUpperCase, eemNormal,
                                       "ABC\xE4\xDF"},
                      TDisplayTextCase{"LowerAsciiOnly", Variant(String("ABC\xC4")), ecLowerCase, eemNormal,
                                       "abc\xC4"},
                      TDisplayTextCase{"Date", VarFromDateTime(EncodeDate(2024, 3, 5)), ecNormal, eemNormal,
                                       "3/5/2024"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TextEditProperties, DisplayValueIsValidWhenEmptyOrAnItemInTheLookupStyles) {
  class TListProperties : public TqvTextEditProperties {
   public:
    using TqvTextEditProperties::TqvTextEditProperties;
    TqvEditEditingStyle GetEditingStyle() const override { return esEditList; }
  };
  TOwned<TListProperties> list = MakeOwned<TListProperties>(nullptr);
  list->GetLookupItems()->Add("Apple");
  Variant empty = String(), item = String("aPPLE"), other = String("Pear");
  EXPECT_TRUE(list->IsDisplayValueValid(empty, true));
  EXPECT_TRUE(list->IsDisplayValueValid(item, true)) << "compared without regard to case";
  EXPECT_FALSE(list->IsDisplayValueValid(other, true));
  Variant free = String("Pear");
  EXPECT_TRUE(Properties->IsDisplayValueValid(free, true)) << "free text accepts anything";
}

// ---------------------------------------------------------------------------------------------
// Value bounds

class TBoundsProperties : public TqvTextEditProperties {
 public:
  using TqvTextEditProperties::TqvTextEditProperties;
  bool SupportsValueBounds() const override { return true; }
};

struct TBoundsCase {
  const char* Name;
  Variant Value;
  bool Error;
};

class TextEditValueBounds : public ::testing::TestWithParam<TBoundsCase> {};

TEST_P(TextEditValueBounds, Check) {
  TOwned<TBoundsProperties> properties = MakeOwned<TBoundsProperties>(nullptr);
  properties->SetMinValue(1);
  properties->SetMaxValue(10);
  TOwned<TqvTextEdit> edit = MakeOwned<TqvTextEdit>(nullptr, false);
  Variant value = GetParam().Value;
  TCaption text;
  bool error = false;
  properties->ValidateDisplayValue(value, text, error, edit.get());
  EXPECT_EQ(error, GetParam().Error);
  if (error) {
    EXPECT_EQ(text, "Value out of bounds");
  }
}

INSTANTIATE_TEST_SUITE_P(Values, TextEditValueBounds,
                         ::testing::Values(TBoundsCase{"AtMin", Variant(Integer(1)), false},
                                           TBoundsCase{"AtMax", Variant(10.0), false},
                                           TBoundsCase{"Below", Variant(Integer(0)), true},
                                           TBoundsCase{"Above", Variant(10.5), true},
                                           TBoundsCase{"Text", Variant(String("abc")), false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Lookup data

class TextEditLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    Edit = MakeOwned<TqvTextEdit>(nullptr, false);
    Lookup = Edit->GetLookupData();
  }
  void Items(std::initializer_list<const char*> AItems) {
    TStrings* items = Edit->GetProperties()->GetLookupItems();
    items->Clear();
    for (const char* item : AItems) items->Add(item);
  }
  TOwned<TqvTextEdit> Edit;
  TqvCustomTextEditLookupData* Lookup = nullptr;
};

TEST_F(TextEditLookup, WithoutItemsNothingIsFoundAndNothingMoves) {
  String text = "a", tail;
  EXPECT_FALSE(Lookup->Locate(text, tail, false));
  Lookup->Go(eldNext, true);
  EXPECT_EQ(Lookup->GetItemIndex(), -1);
}

struct TLocateCase {
  const char* Name;
  Integer From;  // the current item before the search
  const char* Text;
  bool Next;
  bool Found;
  const char* ResultText;
  const char* Tail;
  Integer Key;
};

class TextEditLocate : public TextEditLookup, public ::testing::WithParamInterface<TLocateCase> {};

TEST_P(TextEditLocate, Finds) {
  const TLocateCase& c = GetParam();
  Items({"Abc", "abd", "Banana", "ab"});
  Lookup->SetItemIndex(c.From);
  String text = c.Text, tail;
  EXPECT_EQ(Lookup->Locate(text, tail, c.Next), c.Found);
  EXPECT_EQ(text, String(c.ResultText));
  if (c.Found) {
    EXPECT_EQ(tail, String(c.Tail));
  }
  EXPECT_EQ(Lookup->GetItemIndex(), c.Key);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextEditLocate,
    ::testing::Values(TLocateCase{"ItemsCaseWins", -1, "ab", false, true, "Ab", "c", 0},
                      TLocateCase{"NextSkipsTheCurrent", 0, "ab", true, true, "ab", "d", 1},
                      TLocateCase{"NoWrapFromTheLast", 3, "ab", true, false, "ab", "", -1},
                      TLocateCase{"LongerThanAnyItem", -1, "Bananas", false, false, "Bananas", "", -1},
                      TLocateCase{"EmptyNeverMatches", 2, "", false, false, "", "", -1},
                      TLocateCase{"WholeItem", -1, "BANANA", false, true, "Banana", "", 2}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TGoCase {
  const char* Name;
  Integer From;
  TqvEditLookupDirection Direction;
  bool Cycle;
  Integer Expected;
};

class TextEditGo : public TextEditLookup, public ::testing::WithParamInterface<TGoCase> {};

TEST_P(TextEditGo, MovesTo) {
  const TGoCase& c = GetParam();
  TStrings* items = Edit->GetProperties()->GetLookupItems();
  for (Integer i = 0; i < 20; ++i) items->Add("item " + IntToStr(i));
  Lookup->SetItemIndex(c.From);
  Lookup->Go(c.Direction, c.Cycle);
  EXPECT_EQ(Lookup->GetItemIndex(), c.Expected);
  EXPECT_EQ(Edit->GetText(), c.Expected >= 0 ? "item " + IntToStr(c.Expected) : String());
}

INSTANTIATE_TEST_SUITE_P(Directions, TextEditGo,
                         ::testing::Values(TGoCase{"PageDownFrom2", 2, eldPageDown, false, 9},
                                           TGoCase{"PageDownNearTheEnd", 15, eldPageDown, false, 19},
                                           TGoCase{"PageDownFromNone", -1, eldPageDown, false, 7},
                                           TGoCase{"PageUpFromFirstCycles", 0, eldPageUp, true, 19},
                                           TGoCase{"PageUpFromFirst", 0, eldPageUp, false, 0},
                                           TGoCase{"PageUpFrom10", 10, eldPageUp, false, 3},
                                           TGoCase{"NextFromLast", 19, eldNext, false, 19},
                                           TGoCase{"NextFromLastCycles", 19, eldNext, true, 0},
                                           TGoCase{"PrevFromFirstCycles", 0, eldPrev, true, 19},
                                           TGoCase{"Last", 4, eldLast, false, 19},
                                           TGoCase{"First", 4, eldFirst, false, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TextEditLookup, SettingTheSameKeyAgainReselectsWhenTheTextDiffers) {
  Items({"one", "two"});
  Integer selected = 0;
  Lookup->SetOnSelectItem([&](TObject*) { ++selected; });
  Lookup->SetCurrentKey(Integer(1));
  EXPECT_EQ(selected, 1);
  Lookup->SetCurrentKey(Integer(1));
  EXPECT_EQ(selected, 2) << "the edit holds no text, so the item is chosen again";
}

TEST_F(TextEditLookup, KeysOutsideTheItemsAreRefused) {
  Items({"one"});
  Lookup->SetItemIndex(0);
  Lookup->SetItemIndex(5);
  Lookup->SetItemIndex(-2);
  EXPECT_EQ(Lookup->GetItemIndex(), 0);
  EXPECT_EQ(Lookup->GetDisplayText(Integer(7)), "");
}

}  // namespace
