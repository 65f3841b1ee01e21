// The dataset controller's filter: to the dataset, to the application, or in memory; and summary
// items that name a dataset field.
#include "core/qvClasses.h"
#include "core/qvDataSummary.h"
#include "tests/dataaware/qvDBDataTestSupport.h"

namespace qvDBDataFilterTests {

class DBFilterTest : public TqvDBControllerTest {
 public:
  TCountingDBController* Open(Integer AChannels = 5) {
    OpenChannels(AChannels);
    TCountingDBController* c = MakeController({"Id", "Name", "Freq"});
    Filter = c->GetDBFilter();
    return c;
  }
  void AddCondition(Integer AItemIndex, TqvFilterOperatorKind AKind, const Variant& AValue) {
    Filter->AddItem(nullptr, Items[static_cast<size_t>(AItemIndex)].get(), AKind, AValue, VarToStr(AValue));
  }

  TqvDBDataFilterCriteria* Filter = nullptr;
};

TEST_F(DBFilterTest, TheAutoDataSetFilterFiltersTheDataSetNotTheMemory) {
  TCountingDBController* c = Open();
  Filter->SetAutoDataSetFilter(true);
  AddCondition(2, okGreater, 10020);
  EXPECT_FALSE(Table->GetFiltered()) << "an inactive filter filters nothing";
  EXPECT_EQ(Table->GetFilter(), "(Freq > 10020)");
  Filter->SetActive(true);
  EXPECT_TRUE(Table->GetFiltered());
  EXPECT_FALSE(Filter->IsFiltering());
  EXPECT_EQ(Column(c, 1), (std::vector<String>{"Ch3", "Ch4", "Ch5"}));
  EXPECT_EQ(c->GetFilteredRecordCount(), 3);
  Filter->SetActive(false);
  EXPECT_FALSE(Table->GetFiltered());
  EXPECT_EQ(Table->GetFilter(), "(Freq > 10020)") << "the text stays";
  EXPECT_EQ(c->GetRecordCount(), 5);
  Filter->SetActive(true);
  Filter->Clear();
  EXPECT_FALSE(Table->GetFiltered());
  EXPECT_EQ(Table->GetFilter(), "");
  EXPECT_FALSE(Table->ControlsDisabled());
}

struct TCaseOptionCase {
  const char* Name;
  bool CaseInsensitive;
  Integer Records;
};

class CaseOptionTest : public DBFilterTest, public ::testing::WithParamInterface<TCaseOptionCase> {};

TEST_P(CaseOptionTest, TheCaseOptionGoesToTheDataSet) {
  TCountingDBController* c = Open();
  Filter->SetAutoDataSetFilter(true);
  Filter->SetOptions(GetParam().CaseInsensitive ? fcoCaseInsensitive : 0);
  AddCondition(1, okEqual, "ch2");
  Filter->SetActive(true);
  EXPECT_EQ((Table->GetFilterOptions() & foCaseInsensitive) != 0, GetParam().CaseInsensitive);
  EXPECT_EQ(c->GetRecordCount(), GetParam().Records);
  Filter->SetOptions(GetParam().CaseInsensitive ? 0 : fcoCaseInsensitive);
  EXPECT_NE((Table->GetFilterOptions() & foCaseInsensitive) != 0, GetParam().CaseInsensitive) << "and back";
}

INSTANTIATE_TEST_SUITE_P(Options, CaseOptionTest,
                         ::testing::Values(TCaseOptionCase{"CaseSensitive", false, 0},
                                           TCaseOptionCase{"CaseInsensitive", true, 1}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DBFilterTest, SmartRefreshFiltersInMemory) {
  TCountingDBController* c = Open();
  c->SetKeyFieldNames("Id");
  c->GetDataModeController()->SetSmartRefresh(true);
  Filter->SetAutoDataSetFilter(true);
  EXPECT_FALSE(Filter->IsAutoDataSetFilterActive());
  AddCondition(2, okLess, 10030);
  Filter->SetActive(true);
  EXPECT_FALSE(Table->GetFiltered());
  EXPECT_TRUE(Filter->IsFiltering());
  EXPECT_EQ(c->GetRecordCount(), 5);
  EXPECT_EQ(c->GetFilteredRecordCount(), 2);
}

TEST_F(DBFilterTest, TheHandlerGetsTheTextAtEveryChangeButNotWhileTheOwnerLoads) {
  OpenChannels(3);
  TOwned<TComponent> owner(New<TComponent>(nullptr));
  auto* c = New<TqvDBDataController>(owner.get());
  Items.push_back(std::make_unique<TDBTestItem>());
  c->AddItem(Items.back().get());
  c->SetItemFieldName(0, "Name");
  c->SetDataSource(Source);
  TqvDBDataFilterCriteria* filter = c->GetDBFilter();
  std::vector<String> texts;
  filter->OnBeforeChange = [&](TqvDBDataFilterCriteria*, TDataSet* ADataSet, const String& AText) {
    EXPECT_EQ(ADataSet, Table);
    texts.push_back(AText);
  };
  filter->AddItem(nullptr, Items.back().get(), okEqual, "Ch1", "Ch1");
  filter->SetActive(true);
  EXPECT_EQ(texts, (std::vector<String>{"(Name = 'Ch1')", "(Name = 'Ch1')"}));
  EXPECT_FALSE(filter->IsFiltering()) << "the application filters";
  EXPECT_EQ(c->GetFilteredRecordCount(), 3);
  owner->BeginLoading();
  filter->Clear();
  EXPECT_EQ(texts.size(), 2u);
  owner->EndLoading();
  Free(c);
}

TEST_F(DBFilterTest, QueriesTestBlanksWithIsNull) {
  CreateChannels(3);
  Db->ExecSQL("UPDATE Channels SET Name = NULL WHERE Id = 2");
  TSQLiteQuery* query = MakeQuery("SELECT * FROM Channels");
  auto* source = New<TDataSource>(Owner.get());
  source->SetDataSet(query);
  TCountingDBController* c = MakeController({"Id", "Name"}, source);
  TqvDBDataFilterCriteria* filter = c->GetDBFilter();
  filter->SetAutoDataSetFilter(true);
  filter->AddItem(nullptr, Items[1].get(), okEqual, Null(), "");
  filter->SetActive(true);
  EXPECT_EQ(query->GetFilter(), "(Name IS NULL)");
  EXPECT_EQ(Column(c, 0), std::vector<String>{"2"});
  filter->Clear();
  filter->AddItem(nullptr, Items[1].get(), okNotEqual, Null(), "");
  EXPECT_EQ(query->GetFilter(), "(Name IS NOT NULL)");
  EXPECT_EQ(Column(c, 0), (std::vector<String>{"1", "3"}));
}

TEST_F(DBFilterTest, FieldNamesComeFromOriginOrTheQuotedName) {
  TCountingDBController* c = Open();
  Field("Freq")->SetOrigin("Channels.Freq");
  EXPECT_EQ(c->GetItemFilterFieldName(2), "Freq") << "IgnoreOrigin is on by default";
  Filter->SetIgnoreOrigin(false);
  EXPECT_EQ(c->GetItemFilterFieldName(2), "Channels.Freq");
  AddCondition(2, okEqual, 1);
  EXPECT_EQ(Filter->GetFilterText(), "(Channels.Freq = 1)");
}

// The dataset refuses a text: the conditions stay as the dataset last took them, no filter is
// shown that the dataset does not apply, and the engine's error reaches the caller.
TEST_F(DBFilterTest, ARefusedExpressionLeavesTheCriteriaAsTheyWere) {
  TCountingDBController* c = Open();
  Filter->SetAutoDataSetFilter(true);
  AddCondition(2, okGreater, 10020);
  Filter->SetActive(true);
  ASSERT_EQ(c->GetRecordCount(), 3);
  Filter->SetIgnoreOrigin(false);
  Field("Name")->SetOrigin("Nope");
  try {
    AddCondition(1, okEqual, "Ch4");
    FAIL() << "the dataset has no field Nope";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Nope"), String::npos) << e.Message();
  }
  EXPECT_EQ(Filter->GetFilterText(), "(Freq > 10020)");
  EXPECT_EQ(Filter->GetRoot()->GetCount(), 1);
  EXPECT_TRUE(Filter->GetActive());
  EXPECT_EQ(Table->GetFilter(), "(Freq > 10020)");
  EXPECT_TRUE(Table->GetFiltered());
  EXPECT_FALSE(Table->ControlsDisabled());
  EXPECT_EQ(c->GetRecordCount(), 3);
  Field("Name")->SetOrigin("");
  AddCondition(1, okEqual, "Ch4");
  EXPECT_EQ(Column(c, 1), std::vector<String>{"Ch4"}) << "a good change is taken again";
}

// ---------------------------------------------------------------------------------------------
// Summary items

TEST_F(DBFilterTest, ASummaryItemSumsTheFieldItNamesWithoutAColumn) {
  TCountingDBController* c = Open(4);
  TqvDataFooterSummaryItems* items = c->GetSummary()->GetFooterSummaryItems();
  auto* item = static_cast<TqvDBDataSummaryItem*>(items->Add());
  item->SetKind(skSum);
  item->SetFieldName("Price");
  EXPECT_EQ(c->GetSummary()->GetFooterSummaryValue(0).AsDouble(), 5.0) << "0.5 + 1 + 1.5 + 2";
  item->SetFieldName("");
  EXPECT_EQ(item->GetDataField(), nullptr);
  item->SetItemLink(Items[2].get());
  item->SetFieldName("Price");
  EXPECT_NE(item->GetDataField(), c->GetField(2)) << "the named field wins";
  item->SetFieldName("");
  EXPECT_EQ(item->GetDataField(), c->GetField(2)) << "back to its column";
  EXPECT_EQ(c->GetSummary()->GetFooterSummaryValue(0).AsInteger(), 40100);
}

}  // namespace qvDBDataFilterTests
