#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSummary.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "support/CaseNames.h"
#include "tests/core/qvTestItem.h"

namespace {

enum { kGroup, kSub, kValue };

// A controller of Variant items (group key, sub-group key, value) filled from a table.
class SummaryFixture : public ::testing::Test {
 public:
  void SetUp() override {
    Controller = New<TqvDataController>(nullptr);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    for (Integer i = 0; i < 3; ++i) Controller->ChangeValueTypeClass(i, TqvVariantValueType::Class());
  }
  void TearDown() override { Free(Controller); }

  struct TRow {
    Variant Group, Sub, Value;
  };
  void Fill(const std::vector<TRow>& ARows) {
    Controller->BeginUpdate();
    Controller->SetRecordCount(static_cast<Integer>(ARows.size()));
    for (size_t r = 0; r < ARows.size(); ++r) {
      Controller->SetValue(static_cast<Integer>(r), kGroup, ARows[r].Group);
      Controller->SetValue(static_cast<Integer>(r), kSub, ARows[r].Sub);
      Controller->SetValue(static_cast<Integer>(r), kValue, ARows[r].Value);
    }
    Controller->EndUpdate();
  }
  void FillValues(const std::vector<Variant>& AValues) {
    std::vector<TRow> rows;
    for (const Variant& v : AValues) rows.push_back({1, 1, v});
    Fill(rows);
  }
  TqvDataSummary* Summary() const { return Controller->GetSummary(); }
  TqvDataSummaryItem* AddItem(TqvDataSummaryItems* AItems, Integer AItemIndex, TqvSummaryKind AKind,
                              TqvSummaryPosition APosition = spGroup) {
    Summary()->BeginUpdate();
    TqvDataSummaryItem* item = AItems->Add();
    item->SetItemLink(&Items[AItemIndex]);
    item->SetKind(AKind);
    item->SetPosition(APosition);
    Summary()->EndUpdate();
    return item;
  }
  TqvDataSummaryItem* AddFooter(TqvSummaryKind AKind) {
    return AddItem(Summary()->GetFooterSummaryItems(), kValue, AKind);
  }
  void Group(Integer AItemIndex, Integer ALevel) { Controller->GetGroups()->ChangeGroupIndex(AItemIndex, ALevel); }
  // The footer value as text, "Null" for Null.
  std::string FooterText(Integer AIndex) const { return VarToStrDef(Summary()->GetFooterSummaryValue(AIndex), "Null"); }
  std::vector<std::string> GroupRowTexts() const {
    std::vector<std::string> texts;
    for (Integer r = 0; r < Controller->GetRowCount(); ++r) texts.push_back(Summary()->GetGroupSummaryDisplayText(r));
    return texts;
  }

  TFormatSettingsScope Locale{TFormatSettings::EnglishUS()};
  TTestItem Items[3];
  TqvDataController* Controller = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Footer values of every kind

struct TFooterCase {
  const char* Name;
  std::vector<Variant> Values;
  TqvSummaryKind Kind;
  TqvSummaryOptions Options;
  Variant Expected;
  const char* Text;
};

class FooterSummary : public SummaryFixture, public ::testing::WithParamInterface<TFooterCase> {};

TEST_P(FooterSummary, ValueAndText) {
  const TFooterCase& c = GetParam();
  FillValues(c.Values);
  Summary()->SetOptions(c.Options);
  AddFooter(c.Kind);
  Variant value = Summary()->GetFooterSummaryValue(0);
  EXPECT_EQ(VarType(value), VarType(c.Expected));
  if (!VarIsNull(c.Expected)) {
    EXPECT_TRUE(VarSameValue(value, c.Expected)) << VarToStr(value);
  }
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(0), c.Text);
}

const Variant kNull = Null();

INSTANTIATE_TEST_SUITE_P(
    Kinds, FooterSummary,
    ::testing::Values(
        TFooterCase{"SumCountsNullAsNothing", {2, kNull, 4}, skSum, 0, 6, "6.00"},
        TFooterCase{"SumNegative", {-2, -1}, skSum, 0, -3, "-3.00"},
        TFooterCase{"CountIncludesNull", {2, kNull, 4}, skCount, 0, 3, "3"},
        TFooterCase{"CountWithNullIgnore", {2, kNull, 4}, skCount, soNullIgnore, 2, "2"},
        TFooterCase{"AverageOverAllRecords", {2, kNull, 4}, skAverage, 0, 2.0, "AVG=2.00"},
        TFooterCase{"AverageWithNullIgnore", {2, kNull, 4}, skAverage, soNullIgnore, 3.0, "AVG=3.00"},
        TFooterCase{"MinNeverNull", {kNull, 5, 3}, skMin, 0, 3, "MIN=3.00"},
        TFooterCase{"MaxNeverNull", {kNull, 5, 3}, skMax, 0, 5, "MAX=5.00"},
        TFooterCase{"OnlyNullsSum", {kNull, kNull}, skSum, 0, 0, "0.00"},
        TFooterCase{"OnlyNullsMin", {kNull}, skMin, 0, kNull, ""},
        TFooterCase{"NoRecordsSum", {}, skSum, 0, kNull, ""},
        TFooterCase{"NoRecordsCount", {}, skCount, 0, 0, "0"},
        TFooterCase{"KindNone", {1, 2}, skNone, 0, kNull, ""},
        TFooterCase{"SumOfTextIsNull", {"a", "b"}, skSum, 0, kNull, ""},
        TFooterCase{"AverageOfTextIsNull", {1, "7"}, skAverage, 0, kNull, ""},
        TFooterCase{"MinOfTextShowsText", {"b", "a", "c"}, skMin, 0, "a", "a"},
        TFooterCase{"MaxOfUncomparableIsNull", {5, "x"}, skMax, 0, kNull, ""},
        TFooterCase{"CountOfText", {"a", "b"}, skCount, 0, 2, "2"}),
    [](const ::testing::TestParamInfo<TFooterCase>& info) { return info.param.Name; });

TEST_F(SummaryFixture, CurrencyUsesTheLocaleCurrencyFormat) {
  FillValues({Currency::FromDouble(1.5), Currency::FromDouble(2.25)});
  TqvDataSummaryItem* item = AddFooter(skSum);
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(0), "$3.75");
  EXPECT_EQ(item->FormatValue(Currency::FromDouble(-3.75), true), "-$3.75");
  EXPECT_EQ(item->FormatValue(Currency::FromDouble(3.75), false), "SUM=$3.75");
}

TEST_F(SummaryFixture, AverageOfDatesIsADate) {
  TDateTime first = EncodeDate(2020, 1, 1), third = EncodeDate(2020, 1, 3);
  FillValues({VarFromDateTime(first), VarFromDateTime(third)});
  AddFooter(skAverage);
  Variant value = Summary()->GetFooterSummaryValue(0);
  ASSERT_EQ(VarType(value), varDate);
  EXPECT_EQ(value.AsDateTime(), EncodeDate(2020, 1, 2));
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(0), "AVG=" + DateToStr(EncodeDate(2020, 1, 2)));
}

TEST_F(SummaryFixture, DateTextShowsTheNonZeroParts) {
  TqvDataSummaryItem* item = AddFooter(skMax);
  TDateTime day = EncodeDate(2021, 5, 6), time = EncodeTime(13, 14, 15, 0);
  EXPECT_EQ(item->FormatValue(VarFromDateTime(day), true), "MAX=" + DateToStr(day));
  EXPECT_EQ(item->FormatValue(VarFromDateTime(time), true), "MAX=" + TimeToStr(time));
  EXPECT_EQ(item->FormatValue(VarFromDateTime(day + time), true), "MAX=" + DateToStr(day) + " " + TimeToStr(time));
}

TEST_F(SummaryFixture, OwnFormatAndNullIgnoredByFormatting) {
  FillValues({1234.5});
  TqvDataSummaryItem* item = AddFooter(skSum);
  item->SetFormat("Total #,##0.0");
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(0), "Total 1,234.5");
  EXPECT_EQ(item->FormatValue(Null(), true), "");
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(5), "");
  EXPECT_TRUE(VarIsNull(Summary()->GetFooterSummaryValue(-1)));
}

TEST_F(SummaryFixture, ItemWithoutFieldStaysEmpty) {
  FillValues({1, 2});
  Summary()->GetFooterSummaryItems()->Add()->SetKind(skSum);
  EXPECT_TRUE(VarIsEmpty(Summary()->GetFooterSummaryValue(0)));
  EXPECT_EQ(Summary()->GetFooterSummaryDisplayText(0), "");
}

// ---------------------------------------------------------------------------------------------
// Recalculation through the controller

TEST_F(SummaryFixture, FollowsValuesKindsFilterAndSelection) {
  FillValues({1, 2, 3});
  TqvDataSummaryItem* item = AddFooter(skSum);
  EXPECT_EQ(FooterText(0), "6");
  Controller->SetValue(0, kValue, 10);
  EXPECT_EQ(FooterText(0), "15");
  item->SetKind(skMax);
  EXPECT_EQ(FooterText(0), "10");
  Controller->DeleteRecord(0);
  EXPECT_EQ(FooterText(0), "3");

  Controller->AppendRecord();
  Controller->SetValue(2, kValue, 7);
  Summary()->SetOptions(soSelectedRecords);
  EXPECT_EQ(FooterText(0), "Null");
  Controller->ChangeRowSelection(0, true);
  Controller->ChangeRowSelection(2, true);
  EXPECT_EQ(FooterText(0), "7");
  Controller->ChangeRowSelection(2, false);
  EXPECT_EQ(FooterText(0), "2");
}

TEST_F(SummaryFixture, ArithmeticErrorDoesNotEscapeTheUpdate) {
  FillValues({1, 2});
  AddFooter(skSum);
  AddFooter(skCount);
  EXPECT_NO_THROW(Controller->SetValue(1, kValue, "text"));
  EXPECT_TRUE(VarIsNull(Summary()->GetFooterSummaryValue(0)));
  EXPECT_EQ(Summary()->GetFooterSummaryValue(1).AsInteger(), 2);
  Controller->SetValue(1, kValue, 5);
  EXPECT_EQ(Summary()->GetFooterSummaryValue(0).AsInteger(), 6);
}

TEST_F(SummaryFixture, FailingHandlerLeavesTheControllerUsable) {
  FillValues({1, 2});
  AddFooter(skSum);
  std::vector<std::string> log;
  Controller->OnUpdateControl = [&](TqvUpdateControlInfo*) { log.push_back("notified"); };
  Summary()->GetFooterSummaryItems()->OnSummary = [](TqvDataSummaryItems*, const TqvSummaryEventArguments&,
                                                     TqvSummaryEventOutArguments&) { throw Exception("handler"); };
  EXPECT_THROW(Controller->SetValue(0, kValue, 5), Exception);
  EXPECT_FALSE(log.empty());
  EXPECT_FALSE(Controller->IsUpdateLocked());
  Summary()->GetFooterSummaryItems()->OnSummary = nullptr;
  Controller->SetValue(0, kValue, 6);
  EXPECT_EQ(FooterText(0), "8");
}

class TGridModeController : public TqvDataController {
  QJ_INLINE_CLASS(TGridModeController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  bool IsGridMode() const override { return true; }
};

TEST(SummaryGridMode, FooterIsNotAccumulated) {
  TTestItem item;
  auto* controller = New<TGridModeController>(nullptr);
  controller->AddItem(&item);
  controller->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  controller->SetRecordCount(2);
  controller->SetValue(0, 0, 4);
  TqvDataSummaryItem* footer = controller->GetSummary()->GetFooterSummaryItems()->Add();
  footer->SetItemLink(&item);
  footer->SetKind(skCount);
  EXPECT_EQ(controller->GetSummary()->GetFooterSummaryValue(0).AsInteger(), 0);
  Free(controller);
}

TEST_F(SummaryFixture, OnSummaryHandlerReplacesOrTakesOver) {
  FillValues({1, 2, 3});
  Summary()->GetFooterSummaryItems()->OnSummary = [](TqvDataSummaryItems*, const TqvSummaryEventArguments& AArgs,
                                                     TqvSummaryEventOutArguments& AOut) {
    if (AArgs.RecordIndex == 0) AOut.RecordValue = 100;
    if (AArgs.RecordIndex == 2) AOut.Handled = true;
  };
  AddFooter(skSum);
  TqvDataSummaryItem* count = AddFooter(skCount);
  EXPECT_EQ(Summary()->GetFooterSummaryValue(0).AsInteger(), 102);
  EXPECT_EQ(Summary()->GetFooterSummaryValue(1).AsInteger(), 2);

  Summary()->GetFooterSummaryItems()->OnSummary = [](TqvDataSummaryItems*, const TqvSummaryEventArguments&,
                                                     TqvSummaryEventOutArguments& AOut) { AOut.Handled = true; };
  count->SetKind(skSum);
  EXPECT_TRUE(VarIsNull(Summary()->GetFooterSummaryValue(0)));
  EXPECT_TRUE(VarIsNull(Summary()->GetFooterSummaryValue(1)));
}

TEST_F(SummaryFixture, AfterSummaryFiresOncePerCalculation) {
  FillValues({1, 2});
  Integer calls = 0;
  Summary()->OnAfterSummary = [&](TqvDataSummary* ASender) {
    ++calls;
    EXPECT_TRUE(ASender->IsAfterSummaryRunning());
    ASender->SetOptions(soNullIgnore);  // no new request while running
  };
  AddFooter(skSum);
  EXPECT_EQ(calls, 1);
  Controller->SetValue(0, kValue, 3);
  EXPECT_EQ(calls, 2);
}

TEST_F(SummaryFixture, RemovedItemLeavesTheSummary) {
  FillValues({1, 2});
  AddFooter(skSum);
  TqvDataSummaryItem* group = AddItem(Summary()->GetDefaultGroupSummaryItems(), kValue, skCount);
  Controller->RemoveItem(&Items[kValue]);
  EXPECT_EQ(Summary()->GetFooterSummaryItems()->GetItem(0)->GetSummedField(), nullptr);
  EXPECT_EQ(group->GetItemLink(), nullptr);
  EXPECT_TRUE(VarIsEmpty(Summary()->GetFooterSummaryValue(0)));
}

TEST_F(SummaryFixture, AssignCopiesItemsOptionsAndEvents) {
  FillValues({1, 2});
  AddFooter(skSum)->SetFormat("0");
  Summary()->SetOptions(soNullIgnore);
  Summary()->OnAfterSummary = [](TqvDataSummary*) {};
  TTestItem items[3];
  auto* other = New<TqvDataController>(nullptr);
  for (TTestItem& item : items) other->AddItem(&item);
  other->SetRecordCount(1);
  other->GetSummary()->Assign(Summary());
  ASSERT_EQ(other->GetSummary()->GetFooterSummaryItems()->GetCount(), 1);
  EXPECT_EQ(other->GetSummary()->GetFooterSummaryItems()->GetItem(0)->GetFormat(), "0");
  EXPECT_EQ(other->GetSummary()->GetOptions(), soNullIgnore);
  EXPECT_TRUE(other->GetSummary()->OnAfterSummary != nullptr);
  Free(other);
}

// ---------------------------------------------------------------------------------------------
// Group summaries

TEST_F(SummaryFixture, GroupRowsShowTheirLevelItems) {
  Fill({{1, 1, 2}, {2, 1, 10}, {1, 2, kNull}, {1, 1, 4}});
  AddItem(Summary()->GetDefaultGroupSummaryItems(), kValue, skSum);
  AddItem(Summary()->GetDefaultGroupSummaryItems(), kValue, skCount);
  Group(kGroup, 0);
  EXPECT_EQ(GroupRowTexts(), (std::vector<std::string>{"(SUM=6.00, COUNT=3)", "(SUM=10.00, COUNT=1)"}));

  Group(kSub, 1);
  Controller->GetGroups()->ChangeExpanding(0, true, true);
  // Group 1 (sub 1, sub 2 with its records) then group 2 collapsed.
  std::vector<std::string> texts = GroupRowTexts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[0], "(SUM=6.00, COUNT=3)");
  EXPECT_EQ(texts[1], "(SUM=6.00, COUNT=2)");
  EXPECT_EQ(texts[2], "");  // a data row
  EXPECT_EQ(texts[4], "(SUM=0.00, COUNT=1)");
  EXPECT_EQ(texts[6], "(SUM=10.00, COUNT=1)");
}

TEST_F(SummaryFixture, GroupTextsAndFooterPositions) {
  Fill({{1, 1, 2}, {1, 1, 3}});
  TqvDataGroupSummaryItems* items = Summary()->GetDefaultGroupSummaryItems();
  AddItem(items, kValue, skMax);
  AddItem(items, kValue, skSum, spFooter);
  Group(kGroup, 0);
  items->SetBeginText("[");
  items->SetEndText("]");
  items->SetSeparator(";");
  EXPECT_TRUE(items->IsBeginTextStored());
  EXPECT_EQ(Summary()->GetGroupSummaryDisplayText(0), "[MAX=3.00]");
  items->GetItem(0)->SetPosition(spFooter);
  EXPECT_EQ(Summary()->GetGroupSummaryDisplayText(0), "");

  EXPECT_EQ(Summary()->GetGroupFooterItemIndex(0, &Items[kValue]), 0);
  EXPECT_EQ(Summary()->GetGroupFooterItemIndex(0, &Items[kGroup]), -1);
  EXPECT_EQ(Summary()->GetGroupFooterItemIndex(1, &Items[kValue]), -1);
  EXPECT_EQ(Summary()->GetGroupFooterDisplayText(0, 0, 1), "5.00");
  EXPECT_EQ(Summary()->GetGroupFooterDisplayText(0, 0, 0), "MAX=3.00");
  EXPECT_EQ(Summary()->GetGroupFooterDisplayText(0, 0, 2), "");
  EXPECT_EQ(Summary()->GetGroupFooterDisplayText(9, 0, 0), "");
  EXPECT_EQ(Summary()->GetGroupSummaryItems(1), nullptr);
}

// A Null value and an item of kind none both have the empty text; neither leaves a separator.
struct TGroupRowTextCase {
  const char* Name;
  std::vector<TqvSummaryKind> kinds;
  const char* text;
  friend void PrintTo(const TGroupRowTextCase& c, std::ostream* os) { *os << c.Name; }
};

const TGroupRowTextCase kGroupRowTexts[] = {
    {"none before count", {skNone, skCount}, "(COUNT=2)"},
    {"none after count", {skCount, skNone}, "(COUNT=2)"},
    {"a Null max before count", {skMax, skCount, skNone}, "(COUNT=2)"},
    {"a Null max between counts", {skCount, skMax, skCount}, "(COUNT=2, COUNT=2)"},
    {"nothing but empty texts", {skNone, skMax}, ""},
};

class GroupRowTexts : public SummaryFixture, public ::testing::WithParamInterface<TGroupRowTextCase> {};

TEST_P(GroupRowTexts, SkipEmptyItemTextsWhereverTheyStand) {
  const TGroupRowTextCase& test = GetParam();
  Fill({{1, 1, kNull}, {1, 1, kNull}});
  for (TqvSummaryKind kind : test.kinds) AddItem(Summary()->GetDefaultGroupSummaryItems(), kValue, kind);
  Group(kGroup, 0);
  EXPECT_EQ(Summary()->GetGroupSummaryDisplayText(0), test.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, GroupRowTexts, ::testing::ValuesIn(kGroupRowTexts),
                         TCaseNameFromDescription());

TEST_F(SummaryFixture, SummaryGroupsServeTheirLinkedLevel) {
  Fill({{1, 1, 2}, {1, 2, 3}, {2, 2, 4}});
  AddItem(Summary()->GetDefaultGroupSummaryItems(), kValue, skCount);
  TqvDataSummaryGroup* first = Summary()->GetSummaryGroups()->Add();
  first->GetLinks()->Add()->SetItemLink(&Items[kSub]);
  AddItem(first->GetSummaryItems(), kValue, skSum);
  Group(kGroup, 0);
  Group(kSub, 1);
  EXPECT_EQ(Summary()->GetGroupSummaryItems(0), Summary()->GetDefaultGroupSummaryItems());
  EXPECT_EQ(Summary()->GetGroupSummaryItems(1), first->GetSummaryItems());
  Controller->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(GroupRowTexts(), (std::vector<std::string>{"(COUNT=2)", "(SUM=2.00)", "(SUM=3.00)", "(COUNT=1)"}));

  TqvDataSummaryGroup* second = Summary()->GetSummaryGroups()->Add();
  second->GetLinks()->Add()->SetItemLink(&Items[kSub]);
  EXPECT_EQ(first->GetLinks()->GetItem(0)->GetItemLink(), nullptr);
  EXPECT_EQ(Summary()->GetSummaryGroups()->FindByItemLink(&Items[kSub]), second);
  EXPECT_EQ(Summary()->GetGroupSummaryItems(1), second->GetSummaryItems());
}

}  // namespace

namespace {

// An owner that changes its controller's data while it finishes loading, as a stored view does.
class TLoadingOwner : public TComponent {
  QJ_INLINE_CLASS(TLoadingOwner, TComponent)
 public:
  using TComponent::TComponent;
  TqvDataController* Controller = nullptr;
  Integer CallsBeforeLoaded = -1;
  Integer* Calls = nullptr;

 protected:
  void Loaded() override {
    Controller->SetValue(0, 0, 5);
    CallsBeforeLoaded = *Calls;
    inherited::Loaded();
    Controller->OwnerLoaded();
  }
};

TEST(SummaryLoading, AfterSummaryWaitsForTheOwner) {
  TTestItem item;
  auto* owner = New<TLoadingOwner>(nullptr);
  auto* controller = New<TqvDataController>(owner);
  owner->Controller = controller;
  controller->AddItem(&item);
  controller->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  controller->SetRecordCount(1);
  TqvDataSummaryItem* footer = controller->GetSummary()->GetFooterSummaryItems()->Add();
  footer->SetItemLink(&item);
  footer->SetKind(skCount);
  Integer calls = 0;
  owner->Calls = &calls;
  controller->GetSummary()->OnAfterSummary = [&](TqvDataSummary*) { ++calls; };
  owner->BeginLoading();
  controller->SetValue(0, 0, 4);  // read from the stream: no summary step
  EXPECT_EQ(calls, 0);
  owner->EndLoading();
  EXPECT_EQ(owner->CallsBeforeLoaded, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(controller->GetSummary()->GetFooterSummaryValue(0).AsInteger(), 1);
  Free(controller);
  Free(owner);
}

}  // namespace
