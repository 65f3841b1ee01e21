// Grid-mode selection and bookmark: selected records as dataset bookmarks.
#include <map>

#include "core/qvClasses.h"
#include "tests/dataaware/qvDBDataTestSupport.h"

namespace qvDBDataSelectionTests {

// A grid-mode controller with a ten-row buffer over AChannels channels.
class GridSelectionTest : public TqvDBControllerTest {
 public:
  TCountingDBController* Open(Integer AChannels) {
    OpenChannels(AChannels);
    while (!Table->GetEof()) {
      Ids[Table->GetBookmark()] = CurrentId();
      Table->Next();
    }
    Table->First();
    TCountingDBController* c = MakeController({"Id", "Name"});
    c->GetDataModeController()->SetGridModeBufferCount(10);
    c->GetDataModeController()->SetGridMode(true);
    Selection = c->GetDBSelection();
    return c;
  }
  // The ids of the selected records, in selection order (read without moving the cursor, which
  // would move the buffer's rows).
  std::vector<Integer> SelectedIds() {
    std::vector<Integer> ids;
    for (Integer i = 0; i < Selection->GetBookmarkCount(); ++i) ids.push_back(Ids.at(Selection->GetBookmark(i)));
    return ids;
  }
  TBookmarkStr BookmarkOf(Integer AId) const {
    for (const auto& [bookmark, id] : Ids)
      if (id == AId) return bookmark;
    return TBookmarkStr();
  }

  std::map<TBookmarkStr, Integer> Ids;
  TqvDBDataSelection* Selection = nullptr;
};

TEST_F(GridSelectionTest, ShiftSteppingAddsOrRemovesOneBookmarkWithoutWalking) {
  TCountingDBController* c = Open(20);
  c->SetSelectionAnchor(0);
  c->SelectFromAnchor(4, false);
  ASSERT_EQ(SelectedIds(), (std::vector<Integer>{1, 2, 3, 4, 5}));
  c->ChangeRowSelection(2, false);
  ASSERT_EQ(SelectedIds(), (std::vector<Integer>{1, 2, 4, 5}));
  c->SelectFromAnchor(5, false);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{1, 2, 4, 5, 6})) << "one bookmark appended; 3 was not walked over";
  c->SelectFromAnchor(4, false);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{1, 2, 4, 5})) << "one step back removes just the last";
  EXPECT_EQ(c->GetSelectedCount(), 4);
  EXPECT_TRUE(c->IsRowSelected(3));
  EXPECT_FALSE(c->IsRowSelected(2));
}

TEST_F(GridSelectionTest, ShiftSteppingUpwardsFromTheAnchor) {
  TCountingDBController* c = Open(20);
  c->SetSelectionAnchor(6);
  c->SelectFromAnchor(4, false);
  ASSERT_EQ(SelectedIds(), (std::vector<Integer>{5, 6, 7}));
  c->SelectFromAnchor(3, false);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{4, 5, 6, 7}));
  c->SelectFromAnchor(4, false);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{5, 6, 7}));
  c->SelectFromAnchor(6, false);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{7}));
}

TEST_F(GridSelectionTest, AKeptOverlappingRangeStaysSortedWithoutDuplicates) {
  TCountingDBController* c = Open(20);
  c->SetSelectionAnchor(1);
  c->SelectFromAnchor(3, false);
  c->ChangeRowSelection(8, true);
  c->SetSelectionAnchor(6);
  c->SelectFromAnchor(2, true);
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{2, 3, 4, 5, 6, 7, 9}));
  EXPECT_EQ(c->GetSelectedRowIndex(6), 8);
}

struct TStaleCase {
  const char* Name;
  bool StaleAnchor;
};

class StaleBookmarkTest : public GridSelectionTest, public ::testing::WithParamInterface<TStaleCase> {};

// A range to a record that is gone would otherwise walk to the end of the dataset and select
// every record there.
TEST_P(StaleBookmarkTest, SelectsNothing) {
  TCountingDBController* c = Open(20);
  TBookmarkStr anchor = BookmarkOf(3);
  TBookmarkStr end = BookmarkOf(9);
  Table->SetBookmark(GetParam().StaleAnchor ? anchor : end);
  Table->Delete();
  Table->First();
  Selection->SetAnchorBookmark(anchor);
  Selection->SelectRange(end, false);
  EXPECT_EQ(c->GetSelectedCount(), 0);
  EXPECT_EQ(CurrentId(), 1);
  EXPECT_FALSE(Table->ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(Ends, StaleBookmarkTest,
                         ::testing::Values(TStaleCase{"StaleEnd", false}, TStaleCase{"StaleAnchor", true}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(GridSelectionTest, SelectAllWalksTheDataSetAndComesBack) {
  TCountingDBController* c = Open(25);
  Table->MoveBy(12);
  c->SelectAll();
  EXPECT_EQ(c->GetSelectedCount(), 25);
  EXPECT_EQ(CurrentId(), 13);
  EXPECT_EQ(c->GetSelectedRowIndex(24), -1) << "a selected record outside the buffer has no row";
  EXPECT_EQ(c->GetSelectedRowIndex(12), c->GetFocusedRowIndex());
}

TEST_F(GridSelectionTest, SelectAllOnAnEmptyDataSet) {
  TCountingDBController* c = Open(0);
  c->SelectAll();
  EXPECT_EQ(c->GetSelectedCount(), 0);
  EXPECT_TRUE(Table->IsEmpty());
}

TEST_F(GridSelectionTest, ARecordDeletedElsewhereLeavesTheSelection) {
  TCountingDBController* c = Open(10);
  c->SetSelectionAnchor(1);
  c->SelectFromAnchor(3, false);
  Table->Locate("Id", 3, 0);
  Table->Delete();
  EXPECT_EQ(SelectedIds(), (std::vector<Integer>{2, 4}));
  EXPECT_EQ(c->GetSelectedCount(), 2);
}

TEST_F(GridSelectionTest, DeletingTheSelectionDeletesExactlyItsRecords) {
  TCountingDBController* c = Open(10);
  c->ChangeRowSelection(1, true);
  c->ChangeRowSelection(4, true);
  c->ChangeRowSelection(9, true);
  c->DeleteSelection();
  EXPECT_EQ(CountRows(), 7);
  EXPECT_EQ(CountRows("Id IN (2, 5, 10)"), 0);
  EXPECT_EQ(c->GetSelectedCount(), 0);
}

TEST_F(GridSelectionTest, ForEachSelectedRowVisitsEachSelectedRecord) {
  TCountingDBController* c = Open(10);
  c->ChangeRowSelection(2, true);
  c->ChangeRowSelection(5, true);
  std::vector<String> visited;
  c->ForEachRow(true, [&](Integer ARowIndex, const TqvRowInfo&) { visited.push_back(Text(c, ARowIndex, 1)); });
  EXPECT_EQ(visited, (std::vector<String>{"Ch3", "Ch6"}));
  visited.clear();
  c->ForEachRow(false, [&](Integer, const TqvRowInfo&) { visited.push_back(Field("Name")->GetAsString()); });
  EXPECT_EQ(visited.size(), 10u);
}

TEST_F(GridSelectionTest, TheAnchorIsABookmark) {
  TCountingDBController* c = Open(10);
  EXPECT_FALSE(c->IsSelectionAnchorSet());
  c->SetSelectionAnchor(4);
  EXPECT_TRUE(c->IsSelectionAnchorSet());
  EXPECT_EQ(c->GetSelectionAnchorRowIndex(), -1);
  EXPECT_EQ(c->GetSelectionAnchorBookmark(), BookmarkOf(5));
  EXPECT_THROW(c->SetSelectionAnchor(40), EqvInvalidDataControllerOperation);
}

TEST_F(GridSelectionTest, BookmarksOutsideGridModeRaise) {
  TCountingDBController* c = Open(3);
  c->GetDataModeController()->SetGridMode(false);
  try {
    c->GetSelectedBookmark(0);
    FAIL();
  } catch (const EqvInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.Message(), "DataController not in GridMode");
  }
  EXPECT_THROW(c->GetSelectionAnchorBookmark(), EqvInvalidDataControllerOperation);
}

// ---------------------------------------------------------------------------------------------
// The bookmark

TEST_F(GridSelectionTest, SavingTheBookmarkTwiceReportsTheSecondAsNoChange) {
  TCountingDBController* c = Open(10);
  Table->MoveBy(3);
  EXPECT_TRUE(c->SaveBookmark());
  EXPECT_FALSE(c->SaveBookmark());
  EXPECT_TRUE(c->IsBookmarkAvailable());
  EXPECT_TRUE(c->IsBookmarkRow(c->GetFocusedRowIndex()));
  Table->Next();
  EXPECT_TRUE(c->SaveBookmark());
}

TEST_F(GridSelectionTest, GotoBookmarkReportsWhetherItMoved) {
  TCountingDBController* c = Open(30);
  Table->MoveBy(3);
  c->SaveBookmark();
  Table->Last();
  EXPECT_TRUE(c->GotoBookmark());
  EXPECT_EQ(CurrentId(), 4);
  EXPECT_EQ(Focused(c), "4");
  Table->Delete();
  EXPECT_FALSE(c->IsBookmarkAvailable()) << "a data set change drops a lost bookmark";
  EXPECT_FALSE(c->GotoBookmark());
  Table->MoveBy(2);
  c->SaveBookmark();
  c->ClearBookmark();
  EXPECT_FALSE(c->IsBookmarkAvailable());
  EXPECT_FALSE(c->GotoBookmark());
}

}  // namespace qvDBDataSelectionTests
