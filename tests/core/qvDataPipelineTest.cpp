#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFilter.h"
#include "support/CaseNames.h"
#include "tests/core/qvTestItem.h"

namespace {

using TLog = std::vector<std::string>;
using TRows = std::vector<std::string>;
using TIndexes = std::vector<Integer>;

enum { kNum, kName, kRadio };

std::string Describe(TqvUpdateControlInfo* AInfo) {
  if (auto* d = dynamic_cast<TqvDataChangedInfo*>(AInfo))
    return "data " + std::to_string(d->Change.Kind) + " " + std::to_string(d->Change.ItemIndex) + " " +
           std::to_string(d->Change.RecordIndex);
  if (auto* r = dynamic_cast<TqvFocusedRowChangedInfo*>(AInfo))
    return "row " + std::to_string(r->FocusedRowIndex) + " " + std::to_string(r->PrevFocusedRowIndex);
  if (auto* r = dynamic_cast<TqvFocusedRecordChangedInfo*>(AInfo))
    return "record " + std::to_string(r->PrevFocusedRecordIndex) + " " + std::to_string(r->FocusedRecordIndex);
  if (auto* s = dynamic_cast<TqvSelectionChangedInfo*>(AInfo)) {
    std::string text = "selection";
    for (Integer row : s->RowIndexes) text += " " + std::to_string(row);
    return text;
  }
  if (dynamic_cast<TqvLayoutChangedInfo*>(AInfo)) return "layout";
  return "other";
}

// Five records (number, name, hidden TV/radio flag) and a log of every notification:
//   r0: 3 "b" 0   r1: 1 "a" 1   r2: 2 "c" 0   r3: 1 "b" 0   r4: 0 "a" 1
class PipelineTest : public ::testing::Test {
 public:
  void SetUp() override {
    Controller = New<TqvDataController>(nullptr);
    Controller->SetMultiSelect(true);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kNum, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kName, TqvStringValueType::Class());
    Controller->ChangeValueTypeClass(kRadio, TqvIntegerValueType::Class());
    const int nums[] = {3, 1, 2, 1, 0};
    const char* names[] = {"b", "a", "c", "b", "a"};
    const int radio[] = {0, 1, 0, 0, 1};
    Controller->BeginUpdate();
    Controller->SetRecordCount(5);
    for (int r = 0; r < 5; ++r) {
      Controller->SetValue(r, kNum, nums[r]);
      Controller->SetValue(r, kName, names[r]);
      Controller->SetValue(r, kRadio, radio[r]);
    }
    Controller->EndUpdate();
    Controller->OnUpdateControl = [this](TqvUpdateControlInfo* info) { Log.push_back(Describe(info)); };
    Controller->OnSortingChanged = [this](TObject*) { Log.push_back("sorting"); };
    Controller->OnGroupingChanged = [this](TObject*) { Log.push_back("grouping"); };
  }
  void TearDown() override { Free(Controller); }

  // Data rows show their record; group rows "G<level>:<first record>".
  TRows Rows() const {
    TRows rows;
    Integer levels = Controller->GetGroups()->GetGroupingItemCount();
    for (Integer r = 0; r < Controller->GetRowCount(); ++r) {
      TqvRowInfo info = Controller->GetRowInfo(r);
      std::string record = std::to_string(info.RecordIndex);
      bool groupRow = levels > 0 && info.Level < levels;
      rows.push_back(groupRow ? "G" + std::to_string(info.Level) + ":" + record : record);
    }
    return rows;
  }
  TIndexes SelectedRows() const {
    TIndexes rows;
    for (Integer i = 0; i < Controller->GetSelectedCount(); ++i) rows.push_back(Controller->GetSelectedRowIndex(i));
    return rows;
  }
  void FilterTv() { Controller->GetFilter()->AddItem(nullptr, &Items[kRadio], okEqual, "0", "0"); }
  void GroupBy(Integer AItemIndex, Integer ALevel) { Controller->GetGroups()->ChangeGroupIndex(AItemIndex, ALevel); }

  TqvDataController* Controller = nullptr;
  TTestItem Items[3];
  TLog Log;
};

using TAction = std::function<void(PipelineTest&, TqvDataController*)>;

struct TPipelineScenario {
  const char* Name;
  TAction prepare;
  TAction act;
  TRows rows;
  Integer focusedRow;
  TIndexes selected;
  TLog log;
  bool raises = false;
  friend void PrintTo(const TPipelineScenario& c, std::ostream* os) { *os << c.Name; }
};

const TPipelineScenario kPipelineScenarios[] = {
    {"sort ascending, equal keys in storage order", nullptr,
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"4", "1", "3", "2", "0"}, -1, {}, {"layout", "sorting"}},
    {"descending keeps the storage order of equal keys", nullptr,
     [](auto&, auto* c) { c->ChangeSorting(kNum, soDescending); },
     {"0", "2", "1", "3", "4"}, -1, {}, {"layout", "sorting"}},
    {"descending on one item, ascending on the second", nullptr,
     [](auto&, auto* c) {
       c->BeginUpdate();
       c->ChangeSorting(kName, soDescending);
       c->ChangeSorting(kNum, soAscending);
       c->EndUpdate();
     },
     {"2", "3", "0", "4", "1"}, -1, {}, {"layout", "sorting"}},
    {"sorting again the same way is silent", [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"4", "1", "3", "2", "0"}, -1, {}, {}},
    {"filter by the hidden flag", [](auto& t, auto*) { t.FilterTv(); },
     [](auto&, auto* c) { c->GetFilter()->SetActive(true); },
     {"0", "2", "3"}, -1, {}, {"data 4 -1 -1"}},
    {"filter and sort",
     [](auto& t, auto* c) {
       t.FilterTv();
       c->GetFilter()->SetActive(true);
     },
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"3", "2", "0"}, -1, {}, {"layout", "sorting"}},
    {"focus follows its record through a sort", [](auto&, auto* c) { c->ChangeFocusedRecordIndex(3); },
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"4", "1", "3", "2", "0"}, 2, {}, {"layout", "row 2 3", "record 3 3", "sorting"}},
    {"selection follows its records through a sort",
     [](auto&, auto* c) {
       c->ChangeRowSelection(0, true);
       c->ChangeRowSelection(3, true);
     },
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"4", "1", "3", "2", "0"}, -1, {2, 4}, {"layout", "sorting"}},
    {"filtering out a selected record drops only its entry",
     [](auto& t, auto* c) {
       t.FilterTv();
       c->ChangeRowSelection(1, true);
       c->ChangeRowSelection(2, true);
     },
     [](auto&, auto* c) { c->GetFilter()->SetActive(true); },
     {"0", "2", "3"}, -1, {1}, {"data 4 -1 -1", "selection"}},
    {"group by an item: one collapsed row per group", nullptr,
     [](auto& t, auto*) { t.GroupBy(kRadio, 0); },
     {"G0:0", "G0:1"}, -1, {}, {"data 4 -1 -1", "grouping"}},
    {"expanding a group shows its records after its row", [](auto& t, auto*) { t.GroupBy(kRadio, 0); },
     [](auto&, auto* c) { c->GetGroups()->ChangeExpanding(0, true, false); },
     {"G0:0", "0", "2", "3", "G0:1"}, -1, {}, {"data 4 -1 -1"}},
    {"grouping expands the focused record's group", [](auto&, auto* c) { c->ChangeFocusedRecordIndex(4); },
     [](auto& t, auto*) { t.GroupBy(kRadio, 0); },
     {"G0:0", "G0:1", "1", "4"}, 3, {}, {"data 4 -1 -1", "row 3 -1", "record 4 4", "grouping"}},
    {"collapsing moves the focus to the group row",
     [](auto& t, auto* c) {
       t.GroupBy(kRadio, 0);
       c->GetGroups()->ChangeExpanding(0, true, false);
       c->ChangeFocusedRowIndex(2);
     },
     [](auto&, auto* c) { c->GetGroups()->ChangeExpanding(0, false, false); },
     {"G0:0", "G0:1"}, 0, {}, {"data 4 -1 -1", "row 0 -1", "record 2 0"}},
    {"filter, sort and group in one bracket",
     [](auto& t, auto* c) {
       t.FilterTv();
       c->ChangeFocusedRecordIndex(3);
       c->ChangeRowSelection(0, true);
       c->ChangeRowSelection(2, true);
     },
     [](auto& t, auto* c) {
       c->BeginUpdate();
       c->GetFilter()->SetActive(true);
       c->ChangeSorting(kNum, soDescending);
       t.GroupBy(kRadio, 0);
       c->EndUpdate();
     },
     {"G0:0", "0", "2", "3"}, 3, {}, {"data 4 -1 -1", "record 3 3", "selection", "grouping", "sorting"}},
    {"a failing comparison leaves every record, ungrouped and unfocused",
     [](auto& t, auto* c) {
       t.FilterTv();
       c->GetFilter()->SetActive(true);
       c->ChangeFocusedRecordIndex(2);
       c->OnCompare = [](TqvCustomDataController*, Integer, Integer, Integer, const Variant&, const Variant&,
                         Integer&) { throw EConvertError("no order"); };
     },
     [](auto&, auto* c) { c->ChangeSorting(kNum, soAscending); },
     {"0", "1", "2", "3", "4"}, -1, {}, {"data 4 -1 -1", "row -1 1", "record 2 -1", "sorting"}, true},
    {"a failing group build leaves the view ungrouped",
     [](auto&, auto* c) {
       c->ChangeRowSelection(1, true);
       c->OnCompare = [](TqvCustomDataController*, Integer, Integer, Integer, const Variant&, const Variant&,
                         Integer&) { throw EConvertError("no order"); };
     },
     [](auto& t, auto*) { t.GroupBy(kRadio, 0); },
     {"0", "1", "2", "3", "4"}, -1, {}, {"data 4 -1 -1", "selection", "grouping"}, true},
    {"selecting one row names it", nullptr, [](auto&, auto* c) { c->ChangeRowSelection(2, true); },
     {"0", "1", "2", "3", "4"}, -1, {2}, {"selection 2"}},
    {"a second selected row: the whole selection may have changed",
     [](auto&, auto* c) { c->ChangeRowSelection(2, true); },
     [](auto&, auto* c) {
       c->ChangeRowSelection(2, true);  // selected already: nothing
       c->ChangeRowSelection(0, true);
     },
     {"0", "1", "2", "3", "4"}, -1, {0, 2}, {"selection"}},
    {"deleting a record keeps the selection on the same records",
     [](auto&, auto* c) {
       c->ChangeRowSelection(1, true);
       c->ChangeRowSelection(3, true);
     },
     [](auto&, auto* c) { c->DeleteRecord(0); },
     {"0", "1", "2", "3"}, -1, {0, 2}, {"data 3 -1 -1", "selection"}},
    {"deleting the record before the focused one keeps the focus on it",
     [](auto&, auto* c) { c->ChangeFocusedRecordIndex(3); },
     [](auto&, auto* c) { c->DeleteRecord(1); },
     {"0", "1", "2", "3"}, 2, {}, {"data 3 -1 -1", "row 2 3", "record 3 2"}},
};

class PipelineScenarios : public PipelineTest, public ::testing::WithParamInterface<TPipelineScenario> {};

TEST_P(PipelineScenarios, LeaveTheExpectedRowsFocusSelectionAndLog) {
  const TPipelineScenario& s = GetParam();
  if (s.prepare) s.prepare(*this, Controller);
  Log.clear();
  if (s.raises)
    EXPECT_THROW(s.act(*this, Controller), EConvertError) << s.Name;
  else
    s.act(*this, Controller);
  EXPECT_EQ(Rows(), s.rows) << s.Name;
  EXPECT_EQ(Controller->GetFocusedRowIndex(), s.focusedRow) << s.Name;
  EXPECT_EQ(SelectedRows(), s.selected) << s.Name;
  EXPECT_EQ(Log, s.log) << s.Name;
}

INSTANTIATE_TEST_SUITE_P(Cases, PipelineScenarios, ::testing::ValuesIn(kPipelineScenarios),
                         TCaseNameFromDescription());

TEST_F(PipelineTest, AFailingFilterLeavesEveryRecordUnfocused) {
  struct TFailing : TqvDataController {
    using TqvDataController::TqvDataController;
    Variant GetFilterValue(Integer ARecordIndex, TqvCustomDataField* AField) override {
      if (Fail && ARecordIndex == 2) throw EConvertError("unreadable");
      return inherited::GetFilterValue(ARecordIndex, AField);
    }
    // Its filter values are its own: the filter must ask for them.
    bool CanReadStoredValues(TqvCustomDataField*) const override { return false; }
    bool Fail = false;
  };
  auto* c = New<TFailing>(nullptr);
  TTestItem radio;
  c->AddItem(&radio);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(4);
  for (int r = 0; r < 4; ++r) c->SetValue(r, 0, r == 1 ? 1 : 0);
  c->GetFilter()->AddItem(nullptr, &radio, okEqual, 0, "0");
  c->GetFilter()->SetActive(true);
  c->ChangeFocusedRecordIndex(3);
  c->ChangeRowSelection(0, true);
  TLog log;
  c->OnUpdateControl = [&](TqvUpdateControlInfo* info) { log.push_back(Describe(info)); };
  c->Fail = true;
  EXPECT_THROW(c->SetValue(1, 0, 0), EConvertError);
  EXPECT_EQ(c->GetFilteredRecordCount(), 4);
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_EQ(c->GetSelectedCount(), 0);
  EXPECT_EQ(log, (TLog{"data 0 0 1", "row -1 2", "record 3 -1", "selection 0"}));
  c->Fail = false;
  c->Refresh();
  EXPECT_EQ(c->GetFilteredRecordCount(), 4);  // record 1 passes now
  Free(c);
}

TEST(DataFieldLists, OrdersIndexesAndSelectionEntries) {
  TqvGroupingFieldList grouping;
  int changes = 0;
  grouping.OnChanged = [&] { ++changes; };
  auto* a = reinterpret_cast<TqvCustomDataField*>(0x10);
  auto* b = reinterpret_cast<TqvCustomDataField*>(0x20);
  auto* f = reinterpret_cast<TqvCustomDataField*>(0x30);
  grouping.ChangeSorting(a, soNone);  // a grouping entry always has an order
  EXPECT_EQ(grouping.GetSortOrder(a), soAscending);
  grouping.Add(b, soDescending);
  grouping.SetFieldIndex(f, 10);
  EXPECT_EQ(grouping.Find(f), 2);
  grouping.SetFieldIndex(a, 10);
  EXPECT_EQ(grouping.Find(a), 2);
  grouping.SetFieldIndex(b, -1);
  EXPECT_EQ(grouping.GetCount(), 2);
  EXPECT_EQ(changes, 5);
  EXPECT_THROW(grouping.Delete(5), EListError);

  TqvSortingFieldList sorting;
  sorting.ChangeSorting(f, soDescending);
  sorting.ChangeSorting(a, soNone);  // absent and soNone: nothing
  EXPECT_EQ(sorting.GetCount(), 1);
  grouping.SyncSortOrders(sorting);
  EXPECT_EQ(grouping.GetSortOrder(f), soDescending);
  EXPECT_EQ(grouping.GetSortOrder(a), soAscending);
  sorting.ChangeSorting(f, soNone);
  EXPECT_EQ(sorting.GetCount(), 0);

  TqvDataSelection selection(nullptr);
  Integer index = -1;
  EXPECT_FALSE(selection.FindRowIndex(3, index));
  EXPECT_EQ(index, 0);
  for (Integer row : {5, 1, 3}) {
    selection.FindRowIndex(row, index);
    selection.Add(index, row, 0, row);
  }
  EXPECT_EQ(selection.GetItem(0).RowIndex, 1);
  EXPECT_EQ(selection.GetItem(2).RowIndex, 5);
  selection.AnchorRowIndex = 3;
  selection.Delete(1);
  EXPECT_EQ(selection.AnchorRowIndex, -1);
  EXPECT_THROW(selection.Delete(7), EListError);
}

TEST_F(PipelineTest, OneRebuildPerOutermostBracket) {
  Integer before = Controller->GetViewRebuildCount();
  Controller->BeginUpdate();
  Controller->ChangeSorting(kNum, soAscending);
  Controller->SetValue(0, kNum, -1);
  Controller->GetGroups()->ChangeGroupIndex(kRadio, 0);
  EXPECT_TRUE(Log.empty());
  Controller->EndUpdate();
  EXPECT_EQ(Controller->GetViewRebuildCount(), before + 1);
  EXPECT_EQ(Log, (TLog{"data 0 0 0", "grouping", "sorting"}));
}

TEST_F(PipelineTest, RowQueriesCheckTheirIndex) {
  EXPECT_THROW(Controller->GetRowInfo(5), EqvInvalidDataControllerOperation);
  EXPECT_THROW(Controller->ChangeRowSelection(-1, true), EqvInvalidDataControllerOperation);
  EXPECT_THROW(Controller->GetGroups()->ChangeExpanding(9, true, false), EqvInvalidDataControllerOperation);
  Controller->ChangeFocusedRowIndex(99);
  EXPECT_EQ(Controller->GetFocusedRowIndex(), 4);  // clamped
  Controller->ChangeFocusedRecordIndex(-1);
  EXPECT_EQ(Controller->GetFocusedRowIndex(), -1);
}

TEST_F(PipelineTest, CaseInsensitiveSortComparesUpperCasedText) {
  Controller->SetValue(0, kName, "B");
  Controller->SetValue(2, kName, "_");  // between the upper- and lower-case letters
  Controller->SetOptions(Controller->GetOptions() | dcoCaseInsensitive);
  Controller->ChangeSorting(kName, soAscending);
  // "a" and "A", "B" and "b" are equal (storage order decides); "_" follows "Z".
  EXPECT_EQ(Rows(), (TRows{"1", "4", "0", "3", "2"}));
}

TEST_F(PipelineTest, OnCompareSeesEveryComparisonStartingAtZero) {
  int calls = 0;
  bool startedAtZero = true;
  Controller->OnCompare = [&](TqvCustomDataController*, Integer, Integer, Integer AItem, const Variant& V1,
                              const Variant& V2, Integer& ACompare) {
    ++calls;
    startedAtZero = startedAtZero && ACompare == 0 && AItem == kNum;
    ACompare = -VarCompareEx(V1, V2);
  };
  Controller->ChangeSorting(kNum, soAscending);
  EXPECT_GT(calls, 0);
  EXPECT_TRUE(startedAtZero);
  EXPECT_EQ(Rows(), (TRows{"0", "2", "1", "3", "4"}));
}

TEST_F(PipelineTest, TheEditedRecordStaysThroughTheFilter) {
  auto* c = New<TqvDataController>(nullptr);
  TTestItem radio;
  c->AddItem(&radio);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(3);
  for (int r = 0; r < 3; ++r) c->SetValue(r, 0, 1);
  c->GetFilter()->AddItem(nullptr, &radio, okEqual, 1, "1");
  c->GetFilter()->SetActive(true);
  c->ChangeFocusedRecordIndex(1);
  c->Edit();
  EXPECT_TRUE(c->SetEditValue(0, 0, 1));  // record 1 no longer matches while it is edited
  EXPECT_EQ(c->GetFilteredRecordCount(), 3);
  EXPECT_EQ(c->GetFilteredIndexByRecordIndex(1), 1);
  c->Post();
  EXPECT_EQ(c->GetFilteredRecordCount(), 2);
  EXPECT_EQ(c->GetFilteredIndexByRecordIndex(1), -1);
  Free(c);
}

TEST_F(PipelineTest, GroupsInterface) {
  GroupBy(kRadio, 0);
  GroupBy(kName, 1);
  TqvDataControllerGroups* groups = Controller->GetGroups();
  EXPECT_EQ(groups->GetGroupingItemCount(), 2);
  EXPECT_EQ(groups->GetItemIndexByLevel(1), kName);
  EXPECT_EQ(groups->GetGroupIndex(kNum), -1);
  EXPECT_THROW(groups->GetGroupIndex(3), EqvInvalidDataControllerOperation);
  // Collapsed: every second-level group carries its parent's row.
  EXPECT_EQ(Rows(), (TRows{"G0:0", "G0:1"}));
  EXPECT_EQ(groups->GetChildCount(-1), 2);
  Integer top = groups->GetDataGroupIndexByRowIndex(0);
  EXPECT_EQ(groups->GetDataGroupLevel(top), 0);
  EXPECT_EQ(groups->GetChildCount(top), 2);  // "b" and "c"
  std::vector<Integer> records;
  groups->LoadRecordIndexes(records, top);
  EXPECT_EQ(records, (std::vector<Integer>{0, 3, 2}));
  Integer second = groups->GetChildDataGroupIndex(top, 1);
  EXPECT_EQ(groups->GetDataGroupLevel(second), 1);
  EXPECT_EQ(groups->GetChildDataGroupIndex(top, 2), -1);
  EXPECT_EQ(groups->GetChildDataGroupIndex(second, 0), -1);  // deepest groups have records
  EXPECT_EQ(groups->GetChildRecordIndex(second, 0), 2);
  records.clear();
  groups->LoadRecordIndexesByRowIndex(records, 1);
  EXPECT_EQ(records, (std::vector<Integer>{1, 4}));
  Integer before = Controller->GetViewRebuildCount();
  Log.clear();
  groups->ChangeGroupIndex(kName, 1);
  EXPECT_EQ(Controller->GetViewRebuildCount(), before);
  EXPECT_TRUE(Log.empty());
  groups->ChangeExpanding(0, true, false);
  EXPECT_EQ(Rows(), (TRows{"G0:0", "G1:0", "G1:2", "G0:1"}));
  groups->ChangeExpanding(1, true, false);
  EXPECT_EQ(Rows(), (TRows{"G0:0", "G1:0", "0", "3", "G1:2", "G0:1"}));
  EXPECT_EQ(groups->GetChildRecordIndex(groups->GetDataGroupIndexByRowIndex(3), 1), 3);
  EXPECT_EQ(Controller->GetRowIndexByRecordIndex(4, false), -1);  // in a collapsed group
  EXPECT_EQ(Controller->GetRowIndexByRecordIndex(4, true), 8);
  EXPECT_EQ(Rows(), (TRows{"G0:0", "G1:0", "0", "3", "G1:2", "G0:1", "G1:1", "1", "4"}));
}

TEST_F(PipelineTest, ExpandingStatesSurviveARebuild) {
  GroupBy(kRadio, 0);
  GroupBy(kName, 1);
  Controller->GetGroups()->ChangeExpanding(0, true, false);
  Controller->GetGroups()->ChangeExpanding(1, true, false);
  Controller->ChangeRowSelection(4, true);  // the "c" group row
  Controller->ChangeRowSelection(2, true);  // record 0
  const TRows expanded{"G0:0", "G1:0", "0", "3", "G1:2", "G0:1"};
  ASSERT_EQ(Rows(), expanded);

  Controller->SetValue(2, kNum, 7);  // a full rebuild: records, sort, groups
  EXPECT_EQ(Rows(), expanded);
  EXPECT_EQ(SelectedRows(), (TIndexes{2, 4}));

  Controller->SetValue(3, kName, "a");  // record 3 moves to a new group under the same path
  EXPECT_EQ(Rows(), (TRows{"G0:3", "G1:3", "G1:0", "0", "G1:2", "G0:1"}));
  EXPECT_EQ(SelectedRows(), (TIndexes{3, 4}));

  Controller->SetOptions(Controller->GetOptions() & ~dcoSaveExpanding);
  EXPECT_EQ(Rows(), (TRows{"G0:3", "G0:1"}));
  EXPECT_EQ(SelectedRows(), TIndexes{});
}

// Groups are found again with the comparison the sort used: stored texts in byte order, so an
// upper-case "B" comes before "a" and a search by the locale's collation would miss "a".
struct TExpandedGroupCase {
  const char* Name;
  TAction act;
  friend void PrintTo(const TExpandedGroupCase& c, std::ostream* os) { *os << c.Name; }
};

const TExpandedGroupCase kExpandedGroupsAfterARefresh[] = {
    {"a value changes", [](auto&, auto* c) { c->SetValue(2, kNum, 9); }},
    {"the filter changes",
     [](auto&, auto* c) {
       c->GetFilter()->AddItem(nullptr, c->GetItem(kNum), okLess, 9, "9");
       c->GetFilter()->SetActive(true);
     }},
    {"the grouping order changes", [](auto&, auto* c) { c->ChangeSorting(kName, soDescending); }},
    {"descending, then a value changes",
     [](auto&, auto* c) {
       c->ChangeSorting(kName, soDescending);
       c->SetValue(2, kNum, 9);
     }},
    {"sorted by display text", [](auto&, auto* c) { c->SetOptions(c->GetOptions() | dcoCaseInsensitive); }},
};

class ExpandedGroupsAfterARefresh : public PipelineTest, public ::testing::WithParamInterface<TExpandedGroupCase> {};

TEST_P(ExpandedGroupsAfterARefresh, StayExpandedWhateverTheirText) {
  const TExpandedGroupCase& test = GetParam();
  const char* names[] = {"B", "a", "B", "a", "a"};
  Controller->BeginUpdate();
  for (int r = 0; r < 5; ++r) Controller->SetValue(r, kName, names[r]);
  Controller->EndUpdate();
  GroupBy(kName, 0);
  Integer rowOfA = Controller->GetRowInfo(0).RecordIndex == 0 ? 1 : 0;
  Controller->GetGroups()->ChangeExpanding(rowOfA, true, false);
  test.act(*this, Controller);
  Integer expanded = 0;
  for (Integer row = 0; row < Controller->GetRowCount(); ++row) {
    TqvRowInfo info = Controller->GetRowInfo(row);
    if (info.Level == 0 && info.Expanded) {
      ++expanded;
      EXPECT_EQ(Controller->GetValue(info.RecordIndex, kName).AsString(), "a") << test.Name;
    }
  }
  EXPECT_EQ(expanded, 1) << test.Name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpandedGroupsAfterARefresh, ::testing::ValuesIn(kExpandedGroupsAfterARefresh),
                         TCaseNameFromDescription());

TEST_F(PipelineTest, RemovingAGroupedItemClearsGroupingAndSelection) {
  GroupBy(kRadio, 0);
  Controller->ChangeRowSelection(0, true);
  auto* extra = new TTestItem;
  Controller->AddItem(extra);
  Controller->ChangeValueTypeClass(3, TqvIntegerValueType::Class());
  Controller->GetGroups()->ChangeGroupIndex(3, 0);
  Controller->RemoveItem(extra);
  delete extra;
  EXPECT_EQ(Controller->GetGroups()->GetGroupingItemCount(), 1);
  EXPECT_EQ(Rows(), (TRows{"G0:0", "G0:1"}));
  EXPECT_EQ(Controller->GetSelectedCount(), 0);
}

TEST_F(PipelineTest, RemovingAFilteredItemDropsItsConditions) {
  auto* extra = new TTestItem;
  Controller->AddItem(extra);
  Controller->ChangeValueTypeClass(3, TqvIntegerValueType::Class());
  Controller->GetFilter()->AddItem(nullptr, extra, okEqual, 1, "1");
  Controller->GetFilter()->SetActive(true);
  EXPECT_EQ(Controller->GetRowCount(), 0);
  Controller->RemoveItem(extra);
  delete extra;
  EXPECT_TRUE(Controller->GetFilter()->IsEmpty());
  EXPECT_EQ(Rows(), (TRows{"0", "1", "2", "3", "4"}));
}

// ---------------------------------------------------------------------------------------------
// The sort itself

// Answers every comparison through the chain instead of the values read ahead.
class TChainController : public TqvDataController {
  QJ_INLINE_CLASS(TChainController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  bool IsRecordComparisonCustomized() const override { return true; }
};

std::vector<Integer> SortedRecords(TqvDataController* AController,
                                   const std::vector<std::pair<Integer, TqvDataSortOrder>>& AKeys) {
  AController->BeginUpdate();
  for (const auto& key : AKeys) AController->ChangeSorting(key.first, key.second);
  AController->EndUpdate();
  std::vector<Integer> records;
  for (Integer r = 0; r < AController->GetRowCount(); ++r) records.push_back(AController->GetRowInfo(r).RecordIndex);
  AController->ClearSorting(false);
  return records;
}

std::vector<Integer> SortedRecords(TqvDataController* AController, Integer AItem, TqvDataSortOrder AOrder) {
  return SortedRecords(AController, {{AItem, AOrder}});
}

void FillRecords(TqvDataController* AController, TTestItem* AItems, Integer ACount, const std::function<Variant(int, int)>& AValue) {
  AController->AddItem(&AItems[0]);
  AController->AddItem(&AItems[1]);
  AController->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  AController->ChangeValueTypeClass(1, TqvStringValueType::Class());
  AController->BeginUpdate();
  AController->SetRecordCount(ACount);
  for (int r = 0; r < ACount; ++r)
    for (int i = 0; i < 2; ++i) AController->SetValue(r, i, AValue(r, i));
  AController->EndUpdate();
}

TEST(DataSort, ValuesReadAheadSortAsTheComparisonChain) {
  TTestItem items[2];
  auto value = [](int r, int i) -> Variant {
    unsigned h = static_cast<unsigned>(r) * 2654435761u;
    if (h % 11 == 0) return Null();
    if (i == 0) return static_cast<Integer>(h % 50) - 25;
    return String(1, static_cast<char>('a' + h % 7)) + (h % 3 ? "x" : "");
  };
  auto* fast = New<TqvDataController>(nullptr);
  auto* chain = New<TChainController>(nullptr);
  FillRecords(fast, items, 500, value);
  FillRecords(chain, items, 500, value);
  for (Integer item : {0, 1})
    for (TqvDataSortOrder order : {soAscending, soDescending})
      EXPECT_EQ(SortedRecords(fast, item, order), SortedRecords(chain, item, order)) << item << " " << order;
  // Two integer items: the first coarse, so the second decides often.
  fast->ChangeValueTypeClass(1, TqvSmallintValueType::Class());
  chain->ChangeValueTypeClass(1, TqvSmallintValueType::Class());
  for (Integer r = 0; r < 500; ++r) {
    fast->SetValue(r, 1, r % 4);
    chain->SetValue(r, 1, r % 4);
  }
  const std::vector<std::pair<Integer, TqvDataSortOrder>> twoItems{{1, soDescending}, {0, soAscending}};
  std::vector<Integer> byTwo = SortedRecords(fast, twoItems);
  EXPECT_EQ(byTwo, SortedRecords(chain, twoItems));
  for (size_t i = 1; i < byTwo.size(); ++i)
    EXPECT_GE(VarCompareEx(fast->GetValue(byTwo[i - 1], 1), fast->GetValue(byTwo[i], 1)), 0);
  std::vector<Integer> ints = SortedRecords(fast, 0, soAscending);
  for (size_t i = 1; i < ints.size(); ++i)
    EXPECT_LE(VarCompareEx(fast->GetValue(ints[i - 1], 0), fast->GetValue(ints[i], 0)), 0);
  Free(fast);
  Free(chain);
}

TEST(DataSort, InconsistentComparisonsStayInBoundsAndKeepEveryRecord) {
  TTestItem items[2];
  auto* c = New<TqvDataController>(nullptr);
  FillRecords(c, items, 1000, [](int r, int) -> Variant { return r % 13; });
  const std::function<Integer(Integer, Integer, int&)> answers[] = {
      [](Integer, Integer, int&) { return -1; },
      [](Integer, Integer, int&) { return 1; },
      [](Integer, Integer, int& n) { return (n++ % 3) - 1; },
  };
  for (const auto& answer : answers) {
    int n = 0;
    c->OnCompare = [&](TqvCustomDataController*, Integer r1, Integer r2, Integer, const Variant&, const Variant&,
                       Integer& ACompare) { ACompare = answer(r1, r2, n); };
    std::vector<Integer> records = SortedRecords(c, 0, soAscending);
    std::sort(records.begin(), records.end());
    std::vector<Integer> all(1000);
    for (Integer i = 0; i < 1000; ++i) all[i] = i;
    EXPECT_EQ(records, all);
  }
  Free(c);
}

TEST(DataSort, SortedAndEqualDataDoNotDeepenTheRecursion) {
  TTestItem items[2];
  auto* c = New<TChainController>(nullptr);
  FillRecords(c, items, 200000, [](int r, int i) -> Variant { return i == 0 ? Variant(7) : Variant(String(r % 2 ? "a" : "b")); });
  std::vector<Integer> records = SortedRecords(c, 0, soDescending);
  for (Integer i = 0; i < 200000; ++i) ASSERT_EQ(records[i], i);
  records = SortedRecords(c, 1, soAscending);
  EXPECT_EQ(records[0], 1);
  EXPECT_EQ(records[99999], 199999);
  EXPECT_EQ(records[100000], 0);
  Free(c);
}

// ---------------------------------------------------------------------------------------------
// The application's channel view

TEST(ChannelView, FilteredSortedWithFocusAndSelectionKeptAcrossARefilter) {
  TTestItem name, number, radio;
  auto* c = New<TqvDataController>(nullptr);
  c->SetMultiSelect(true);
  c->AddItem(&name);
  c->AddItem(&number);
  c->AddItem(&radio);
  c->ChangeValueTypeClass(0, TqvStringValueType::Class());
  c->ChangeValueTypeClass(1, TqvIntegerValueType::Class());
  c->ChangeValueTypeClass(2, TqvIntegerValueType::Class());
  const Integer count = 10000;
  c->BeginUpdate();
  c->SetRecordCount(count);
  for (Integer r = 0; r < count; ++r) {
    c->SetValue(r, 0, Format("Channel %05d", {(r * 7919) % count}));
    c->SetValue(r, 1, r + 1);
    c->SetValue(r, 2, r % 3 == 0 ? 1 : 0);
  }
  c->EndUpdate();
  c->GetFilter()->AddItem(nullptr, &radio, okEqual, "0", "0");
  c->GetFilter()->SetActive(true);
  c->ChangeSorting(0, soAscending);  // a click on the name header

  auto rowOf = [c](Integer record) { return c->GetRowIndexByRecordIndex(record, false); };
  ASSERT_EQ(c->GetRowCount(), 6666);
  for (Integer row = 0; row < c->GetRowCount(); ++row) {
    Integer record = c->GetRowInfo(row).RecordIndex;
    ASSERT_EQ(VarToStr(c->GetValue(record, 2)), "0");
    if (row > 0) {
      ASSERT_LT(c->GetDisplayText(c->GetRowInfo(row - 1).RecordIndex, 0), c->GetDisplayText(record, 0));
    }
  }

  c->ChangeFocusedRecordIndex(5000);
  for (Integer record : {1, 2, 4000}) c->ChangeRowSelection(rowOf(record), true);
  c->SetValue(4, 2, 1);  // channel 4 becomes a radio channel: it leaves the view
  EXPECT_EQ(c->GetRowCount(), 6665);
  EXPECT_EQ(rowOf(4), -1);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 5000);
  EXPECT_EQ(c->GetFocusedRowIndex(), rowOf(5000));
  std::vector<Integer> selected;
  for (Integer i = 0; i < c->GetSelectedCount(); ++i) selected.push_back(c->GetRowInfo(c->GetSelectedRowIndex(i)).RecordIndex);
  std::sort(selected.begin(), selected.end());
  EXPECT_EQ(selected, (std::vector<Integer>{1, 2, 4000}));

  c->ChangeSorting(0, soDescending);  // a second click
  EXPECT_EQ(c->GetFocusedRowIndex(), rowOf(5000));
  EXPECT_EQ(c->GetSelectedCount(), 3);
  for (Integer i = 0; i < 3; ++i) EXPECT_TRUE(c->IsRowSelected(rowOf(selected[i])));
  Free(c);
}

// Sorting by one integer item orders by value (Null first, all turned over when descending) and
// keeps equal values in storage order either way; a string item sorts the same way by bytes.
TEST(PipelineSort, OneItemSortsByValueThenStorageOrder) {
  struct TItemObject : TObject {};
  for (TqvValueTypeClass type : {TqvIntegerValueType::Class(), TqvSmallintValueType::Class(),
                                 TqvWordValueType::Class(), TqvStringValueType::Class()}) {
    for (TqvDataSortOrder order : {soAscending, soDescending}) {
      auto* c = New<TqvDataController>(nullptr);
      TItemObject item;
      c->AddItem(&item);
      c->ChangeValueTypeClass(0, type);
      const Integer count = 300;
      c->BeginUpdate();
      c->SetRecordCount(count);
      std::vector<std::pair<Integer, Integer>> keys;  // (rank, record); rank -1 for Null
      for (Integer r = 0; r < count; ++r) {
        Integer value = static_cast<Integer>((r * 7919) % 23);
        bool null = value == 5 || r % 37 == 0;
        bool text = type == TqvStringValueType::Class();
        if (!null) c->SetValue(r, 0, text ? Variant(String(1, static_cast<char>('A' + value))) : Variant(value));
        keys.push_back({null ? -1 : value, r});
      }
      c->EndUpdate();
      c->ChangeSorting(0, order);
      std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        return order == soAscending ? a.first < b.first : a.first > b.first;
      });
      for (Integer row = 0; row < count; ++row)
        ASSERT_EQ(c->GetRowInfo(row).RecordIndex, keys[static_cast<size_t>(row)].second)
            << type->ClassName() << " row " << row << (order == soAscending ? " ascending" : " descending");
      Free(c);
    }
  }
}

}  // namespace
