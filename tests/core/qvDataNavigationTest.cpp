#include <functional>
#include <map>

#include "core/qvDataSearch.h"
#include "core/qvFilter.h"
#include "support/CaseNames.h"
#include "tests/core/qvRecordingView.h"

using NavigationTest = RecordingViewTest;

namespace {

using TMove = std::function<bool(TqvDataController*)>;
struct TNavigationMoveCase {
  const char* Name;
  Integer Records;
  Integer From;
  TMove Move;
  Integer To;
  bool Moved;
  friend void PrintTo(const TNavigationMoveCase& c, std::ostream* os) { *os << c.Name; }
};

const TNavigationMoveCase kNavigationMoves[] = {
    {"next on the last row stays", 5, 4, [](auto* c) { return c->GotoNext(); }, 4, false},
    {"previous on row 0 stays", 5, 0, [](auto* c) { return c->GotoPrev(); }, 0, false},
    {"first on an empty view does nothing", 0, -1, [](auto* c) { return c->GotoFirst(); }, -1, false},
    {"last on an empty view does nothing", 0, -1, [](auto* c) { return c->GotoLast(); }, -1, false},
    {"next without focus goes to row 0", 5, -1, [](auto* c) { return c->GotoNext(); }, 0, true},
    {"last", 5, 1, [](auto* c) { return c->GotoLast(); }, 4, true},
    {"first", 5, 3, [](auto* c) { return c->GotoFirst(); }, 0, true},
    {"back by ten from row 3 stops at row 0", 5, 3, [](auto* c) { return c->MoveBy(-10); }, 0, true},
    {"forward by ten from row 3 of 5 stops at row 4", 5, 3, [](auto* c) { return c->MoveBy(10); }, 4, true},
    {"a row past the end is clamped", 5, 0, [](auto* c) { return c->ChangeFocusedRowIndex(9) && false; }, 4, false},
};

class NavigationMoves : public NavigationTest, public ::testing::WithParamInterface<TNavigationMoveCase> {};

TEST_P(NavigationMoves, ClampAndAnswerWhetherTheFocusMoved) {
  const TNavigationMoveCase& test = GetParam();
  SCOPED_TRACE(test.Name);
  Controller->SetRecordCount(test.Records);
  Controller->ChangeFocusedRowIndex(test.From);
  EXPECT_EQ(test.Move(Controller), test.Moved);
  EXPECT_EQ(Controller->GetFocusedRowIndex(), test.To);
}

INSTANTIATE_TEST_SUITE_P(Cases, NavigationMoves, ::testing::ValuesIn(kNavigationMoves),
                         TCaseNameFromDescription());

}  // namespace

TEST_F(NavigationTest, BeginningAndEnd) {
  EXPECT_FALSE(Controller->IsBOF());  // rows but no focus
  EXPECT_FALSE(Controller->IsEOF());
  Controller->GotoFirst();
  EXPECT_TRUE(Controller->IsBOF());
  EXPECT_FALSE(Controller->IsEOF());
  Controller->GotoLast();
  EXPECT_TRUE(Controller->IsEOF());
  Controller->SetRecordCount(0);
  EXPECT_TRUE(Controller->IsBOF());
  EXPECT_TRUE(Controller->IsEOF());
  EXPECT_FALSE(Controller->IsGridMode());
  Controller->Scroll(3);  // grid mode only
  EXPECT_EQ(Controller->GetFocusedRowIndex(), -1);
}

TEST_F(NavigationTest, MinusOneMeansNoFocusWhateverInternalRecordsExist) {
  TqvDataControllerKeyLocateObject locate(Controller);
  TqvValueDefUnboundReader reader;
  locate.ReadData(&reader);  // takes internal record -1 before any new-record buffer
  EXPECT_EQ(locate.GetInternalRecordIndex(), -1);
  Controller->ChangeFocusedRowIndex(2);
  EXPECT_TRUE(Controller->ChangeFocusedRecordIndex(-1));
  EXPECT_EQ(Controller->GetFocusedRowIndex(), -1);
  EXPECT_THROW(Controller->ChangeFocusedRecordIndex(-2), EqvInvalidDataControllerOperation);
  EXPECT_THROW(Controller->ChangeFocusedRecordIndex(5), EqvInvalidDataControllerOperation);
  EXPECT_LT(Controller->GetNewRecordIndex(), -1);
}

TEST_F(NavigationTest, RowsOfGroupsAnswerForTheirGroupingItem) {
  GroupByGroup();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"G0:0", "G0:1"}));
  TqvRowInfo group = Controller->GetRowInfo(1);
  EXPECT_EQ(VarToStr(Controller->GetRowValue(group, kName)), "2");
  EXPECT_EQ(Controller->GetRowDisplayText(group, kNum), "2");
  Controller->ChangeFocusedRecordIndex(3);  // expands its group
  EXPECT_EQ(Rows(), (std::vector<std::string>{"G0:0", "G0:1", "1", "3"}));
  EXPECT_EQ(Controller->GetRowDisplayText(Controller->GetRowInfo(3), kName), "delta");
  std::vector<Integer> visited;
  Controller->ForEachRow(false, [&](Integer row, const TqvRowInfo& info) {
    visited.push_back(row * 10 + info.Level);
  });
  EXPECT_EQ(visited, (std::vector<Integer>{0, 10, 21, 31}));
}

TEST_F(NavigationTest, MultiSelection) {
  Controller->SelectRows(4, 1);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2, 3, 4}));
  std::vector<Integer> visited;
  Controller->ForEachRow(true, [&](Integer row, const TqvRowInfo& info) { visited.push_back(info.RecordIndex + 0 * row); });
  EXPECT_EQ(visited, (std::vector<Integer>{1, 2, 3, 4}));
  Controller->ClearSelection();
  Controller->SelectFromAnchor(2, false);  // no anchor: nothing
  EXPECT_EQ(Controller->GetSelectedCount(), 0);
  EXPECT_THROW(Controller->SetSelectionAnchor(5), EqvInvalidDataControllerOperation);
  Controller->SetSelectionAnchor(1);
  Controller->SelectFromAnchor(3, false);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2, 3}));
  Controller->ClearSelection();  // the anchor stays
  EXPECT_EQ(Controller->GetSelectionAnchorRowIndex(), 1);
  Controller->ChangeRowSelection(4, true);
  Controller->SelectFromAnchor(0, true);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{0, 1, 4}));
  Controller->ChangeFocusedRowIndex(2);
  Controller->SelectOnlyFocusedRow();
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{2}));
  Controller->SelectAll();
  EXPECT_EQ(Controller->GetSelectedCount(), 5);
  EXPECT_THROW(Controller->IsRowSelected(5), EqvInvalidDataControllerOperation);
}

TEST_F(NavigationTest, SingleRowSelectionIsTheFocusedRow) {
  Controller->ChangeRowSelection(0, true);
  Controller->SetMultiSelect(false);  // drops the entries
  EXPECT_EQ(Controller->GetSelectedCount(), 0);  // nothing focused
  Controller->ChangeFocusedRowIndex(3);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{3}));
  EXPECT_TRUE(Controller->IsRowSelected(3));
  EXPECT_FALSE(Controller->IsRowSelected(0));
  Controller->SelectRows(0, 4);
  Controller->SelectAll();
  Controller->ChangeRowSelection(1, true);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{3}));
  Controller->SetFocusedRowSelected(false);
  EXPECT_EQ(Controller->GetSelectedCount(), 0);
  EXPECT_EQ(Controller->GetSelectedRowIndex(0), -1);
  Controller->SetFocusedRowSelected(true);
  Controller->DeleteSelection();  // the focused record
  EXPECT_EQ(Records(), (std::vector<std::string>{"10 alpha 1", "20 beta 2", "30 gamma 1", "50 beacon 1"}));
}

TEST_F(NavigationTest, SortingFrontEnds) {
  GroupByGroup();
  Controller->ChangeSorting(kGroup, soDescending);
  Controller->ChangeSorting(kNum, soAscending);
  EXPECT_EQ(Controller->GetSortingItemCount(), 2);
  EXPECT_EQ(Controller->GetItemSortIndex(kNum), 1);
  Controller->ClearSorting(true);
  EXPECT_EQ(Controller->GetItemSortOrder(kNum), soNone);
  EXPECT_EQ(Controller->GetItemSortOrder(kGroup), soDescending);
  EXPECT_EQ(Controller->GetItemSortIndex(kNum), -1);
  EXPECT_THROW(Controller->ChangeSorting(3, soAscending), EqvInvalidDataControllerOperation);
}

// The bookmark and the selection stay on their records when records before them come and go.
TEST_F(NavigationTest, BookmarkAndSelectionFollowTheirRecords) {
  auto selectedTexts = [this] {
    std::vector<std::string> texts;
    for (Integer row : SelectedRows()) texts.push_back(RecordText(Controller->GetRowInfo(row).RecordIndex));
    return texts;
  };
  Controller->ChangeFocusedRowIndex(3);
  EXPECT_TRUE(Controller->SaveBookmark());
  EXPECT_FALSE(Controller->SaveBookmark());
  Controller->ChangeRowSelection(1, true);
  Controller->ChangeRowSelection(4, true);
  const std::vector<std::string> selected = {"20 beta 2", "50 beacon 1"};

  Controller->InsertRecord(0);
  EXPECT_EQ(Controller->GetBookmarkRecordIndex(), 4);
  EXPECT_EQ(selectedTexts(), selected);
  Controller->DeleteRecord(0);
  Controller->DeleteRecord(0);
  EXPECT_EQ(Controller->GetBookmarkRecordIndex(), 2);
  EXPECT_EQ(selectedTexts(), selected);
  Controller->ChangeFocusedRowIndex(0);
  EXPECT_TRUE(Controller->GotoBookmark());
  EXPECT_EQ(RecordText(Controller->GetFocusedRecordIndex()), "40 delta 2");
  EXPECT_TRUE(Controller->IsBookmarkRow(Controller->GetFocusedRowIndex()));

  // Filtering the bookmarked record out loses the bookmark.
  Controller->GetFilter()->AddItem(nullptr, &Items[kGroup], okEqual, 1, "1");
  Controller->GetFilter()->SetActive(true);
  EXPECT_FALSE(Controller->IsBookmarkAvailable());
  EXPECT_FALSE(Controller->GotoBookmark()) << "no bookmark, no move";
  Controller->GotoBookmarkIfSet();  // nothing to go to
}

TEST_F(NavigationTest, IncrementalSearch) {
  TqvDataControllerSearch* search = Controller->GetSearch();
  EXPECT_FALSE(search->Locate(kName, ""));
  EXPECT_THROW(search->Locate(9, "a"), EqvInvalidDataControllerOperation);
  EXPECT_TRUE(search->Locate(kName, "BE"));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 1);
  EXPECT_TRUE(search->GetSearching());
  EXPECT_EQ(search->GetSearchText(), "BE");
  EXPECT_EQ(search->GetItemIndex(), kName);
  EXPECT_TRUE(search->LocateNext(true));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 4);
  EXPECT_FALSE(search->LocateNext(true));  // the last match: no wrapping
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 4);
  EXPECT_TRUE(search->LocateNext(false));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1}));
  // Matching only above the focused row wraps round to the first of them.
  Controller->ChangeFocusedRowIndex(3);
  EXPECT_FALSE(search->GetSearching());
  EXPECT_TRUE(search->Locate(kName, "al"));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 0);
  EXPECT_FALSE(search->Locate(kName, "zz"));
  EXPECT_TRUE(search->GetSearching());  // a failed locate keeps the search
  search->Cancel();
  EXPECT_FALSE(search->GetSearching());
  EXPECT_FALSE(search->LocateNext(true));
}

TEST_F(NavigationTest, IncrementalFilter) {
  EXPECT_FALSE(Controller->ChangeIncrementalFilterText("x"));  // no filter field
  EXPECT_EQ(Controller->SetIncrementalFilter(kName, "BE"), 1);
  EXPECT_TRUE(Controller->IsIncrementalFilterActive());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1", "4"}));
  EXPECT_FALSE(Controller->ChangeIncrementalFilterText("BE"));
  EXPECT_TRUE(Controller->ChangeIncrementalFilterText("bea"));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"4"}));
  EXPECT_EQ(Controller->SetIncrementalFilter(kName, "q"), -1);
  EXPECT_EQ(Controller->GetRowCount(), 0);
  Controller->SetIncrementalFilter(kName, "");  // an empty text matches every record
  EXPECT_EQ(Controller->GetRowCount(), 5);
  Controller->SetIncrementalFilter(kName, "g");
  Controller->ClearIncrementalFilter();
  EXPECT_FALSE(Controller->IsIncrementalFilterActive());
  EXPECT_EQ(Controller->GetRowCount(), 5);
  Controller->SetIncrementalFilter(kName, "g");
  Controller->RemoveItem(&Items[kName]);  // the filter goes with its field
  EXPECT_EQ(Controller->GetRowCount(), 5);
  EXPECT_EQ(Controller->GetIncrementalFilterText(), "");
}

TEST_F(NavigationTest, FindRecordIndexByText) {
  struct TCase {
    Integer Start;
    const char* Text;
    bool Partial, Wrap, Forward;
    Integer Found;
  } cases[] = {
      {0, "be", true, true, true, 1},    {2, "be", true, true, true, 4},   {2, "BETA", false, true, true, 1},
      {2, "beta", false, false, true, -1}, {0, "gamma", false, true, false, -1},  // from 0 nothing wraps
      {3, "beacon", false, true, false, 4}, {4, "al", true, true, false, 0},  {5, "al", true, true, true, -1},
      {-1, "al", true, true, true, -1},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(std::string(test.Text) + " from " + std::to_string(test.Start));
    EXPECT_EQ(Controller->FindRecordIndexByText(test.Start, kName, test.Text, test.Partial, test.Wrap, test.Forward),
              test.Found);
  }
  EXPECT_THROW(Controller->FindRecordIndexByText(0, 7, "a", true, true, true), EqvInvalidDataControllerOperation);
}

TEST_F(NavigationTest, LocateObjects) {
  TqvDataControllerKeyLocateObject locate(Controller);
  EXPECT_EQ(locate.FindRecordIndex(), -1);  // nothing read
  TqvValueDefUnboundReader reader;
  reader.SetValue(Controller->GetField(kName)->GetStorageDef(), "delta");
  locate.ReadData(&reader);
  EXPECT_EQ(locate.FindRecordIndex(), -1);  // no key fields
  locate.GetFields().push_back(Controller->GetField(kName));
  EXPECT_EQ(locate.FindRecordIndex(), 3);
  reader.SetValue(Controller->GetField(kGroup)->GetStorageDef(), 1);
  locate.ReadData(&reader);
  locate.GetFields().push_back(Controller->GetField(kGroup));
  EXPECT_EQ(locate.FindRecordIndex(), -1);  // delta is in group 2
  reader.Truncate(1);                       // the group reads as Null again
  locate.ReadData(&reader);
  EXPECT_EQ(locate.FindRecordIndex(), -1);

  GroupByGroup();
  TqvDataControllerGroupLocateObject group(Controller);
  EXPECT_TRUE(group.GetFindGroupRecord());
  TqvValueDefRecordReader fromRecord(Controller, 3);  // group 2
  group.ReadData(&fromRecord);
  group.SetLevel(0);
  Integer found = group.FindRecordIndex();
  EXPECT_TRUE(found == 1 || found == 3) << found;
  TqvValueDefUnboundReader missing;
  missing.SetValue(Controller->GetField(kGroup)->GetStorageDef(), 7);
  group.ReadData(&missing);
  EXPECT_EQ(group.FindRecordIndex(), -1);
}

namespace {

class TWatchingController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  void NotifyComponentRemoved(TComponent* AComponent) override {
    Removed.push_back(AComponent);
    TqvDataController::NotifyComponentRemoved(AComponent);
  }
  std::vector<TComponent*> Removed;
};

// Records kept outside the storage, named by handles 100, 101, ...
class TListSource : public TqvUserDataSource {
 public:
  TqvRecordHandle AppendRecord() override {
    Values[Next] = Null();
    return Next++;
  }
  void DeleteRecord(TqvRecordHandle AHandle) override { Values.erase(AHandle); }
  Variant GetValue(TqvRecordHandle AHandle, TqvRecordHandle) override { return Values.at(AHandle); }
  void SetValue(TqvRecordHandle AHandle, TqvRecordHandle, const Variant& AValue) override { Values[AHandle] = AValue; }
  void LoadRecords() override {
    for (const auto& entry : Values) GetCurrentProvider()->AppendRecordHandle(entry.first);
  }
  std::map<TqvRecordHandle, Variant> Values;
  TqvRecordHandle Next = 100;
};

}  // namespace

TEST(DataControllerNotifier, ForwardsRemovedComponents) {
  auto* c = New<TWatchingController>(nullptr);
  auto* component = New<TComponent>(nullptr);
  component->FreeNotification(c->GetNotifier());
  Free(component);
  EXPECT_EQ(c->Removed, (std::vector<TComponent*>{component}));
  Free(c);
}

TEST(ProviderMode, RecordsAndValuesComeFromTheUserDataSource) {
  TTestItem item;
  auto* c = New<TqvDataController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvStringValueType::Class());
  TListSource source;
  source.Values = {{7, "seven"}, {9, "nine"}};
  c->GetProvider()->SetUserDataSource(&source);
  EXPECT_TRUE(c->IsProviderMode());
  EXPECT_EQ(source.GetProvider(), c->GetProvider());
  ASSERT_EQ(c->GetRecordCount(), 2);
  EXPECT_EQ(c->GetProvider()->GetRecordHandle(1), 9);
  EXPECT_EQ(c->GetProvider()->GetRecordIndexByHandle(7), 0);
  EXPECT_EQ(VarToStr(c->GetValue(1, 0)), "nine");
  c->SetValue(0, 0, "x-seven");
  EXPECT_EQ(VarToStr(source.Values[7]), "x-seven");
  EXPECT_EQ(c->GetDisplayText(0, 0), "x-seven");
  c->ChangeSorting(0, soAscending);
  EXPECT_EQ(c->GetRowInfo(0).RecordIndex, 1);  // "nine" before "x-seven"

  // A structure change inside a bracket loads only after it.
  c->BeginUpdate();
  source.Values[11] = "eleven";
  c->GetProvider()->ActiveChanged(true);
  EXPECT_EQ(c->GetRecordCount(), 2);
  c->EndUpdate();
  EXPECT_EQ(c->GetRecordCount(), 3);

  c->GetProvider()->SetUserDataSource(nullptr);
  EXPECT_FALSE(c->IsProviderMode());
  EXPECT_EQ(source.GetProvider(), nullptr);
  EXPECT_EQ(c->GetRecordCount(), 0);
  Free(c);
}

namespace {

// A source of rows read through a cursor: the provider a source-bound controller would have.
class TCursorProvider : public TqvCustomDataProvider {
  QJ_INLINE_CLASS(TCursorProvider, TqvCustomDataProvider)
 public:
  using TqvCustomDataProvider::TqvCustomDataProvider;

  class TReader : public TqvValueDefReader {
   public:
    explicit TReader(TCursorProvider* AProvider) : FProvider(AProvider) {}
    Variant GetValue(TqvValueDef*) override { return FProvider->Rows.at(FProvider->Position); }

   private:
    TCursorProvider* FProvider;
  };

  bool IsDataAvailable() const override { return true; }
  bool IsEOF() const override { return Position >= static_cast<Integer>(Rows.size()); }
  void First() override {
    TqvCustomDataProvider::First();
    Position = 0;
  }
  void Next() override { ++Position; }
  void RecordLoaded(Integer ARecordIndex) override {
    Loaded.push_back(ARecordIndex);
    DataChanged(dckEverything, -1, -1);  // ignored while loading
  }
  TqvValueDefReader* CreateValueDefReader() override { return new TReader(this); }

  std::vector<Variant> Rows;
  Integer Position = 0;
  std::vector<Integer> Loaded;
};

class TCursorController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TqvCustomDataProviderClass GetDataProviderClass() const override { return &TCursorProvider::StaticClass(); }
  TCursorProvider* Cursor() const { return static_cast<TCursorProvider*>(GetProvider()); }
  void UpdateField(TqvCustomDataField* AField) override {
    Updated.push_back(AField->GetIndex());
    if (DestroyOnUpdate == AField) {
      DestroyOnUpdate = nullptr;
      RemoveItem(AField->GetItem());
    }
  }
  std::vector<Integer> Updated;
  TqvCustomDataField* DestroyOnUpdate = nullptr;
};

}  // namespace

TEST(Loading, AResetStructureReloadsThroughTheProvidersReader) {
  TTestItem item;
  auto* c = New<TCursorController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(1);
  c->Cursor()->Rows = {Variant(5), Variant(6), Variant(7)};
  c->ChangeFocusedRowIndex(0);
  c->SaveBookmark();
  TRecordLog log;
  c->OnUpdateControl = [&](TqvUpdateControlInfo* info) { log.push_back(DescribeInfo(info)); };
  c->ResetStructure();
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_EQ(VarToStr(c->GetValue(2, 0)), "7");
  EXPECT_EQ(c->Cursor()->Loaded, (std::vector<Integer>{0, 1, 2}));
  EXPECT_EQ(c->Cursor()->GetLoadCount(), 0);
  EXPECT_FALSE(c->IsBookmarkAvailable());
  EXPECT_EQ(log.front(), "data 4 -1 -1");
  Free(c);
}

TEST(Loading, UpdateFieldsVisitsEachFieldOnceThoughOneGoes) {
  TTestItem items[3];
  auto* c = New<TCursorController>(nullptr);
  for (TTestItem& item : items) c->AddItem(&item);
  c->DestroyOnUpdate = c->GetField(1);
  c->UpdateFields();
  EXPECT_EQ(c->Updated, (std::vector<Integer>{0, 1, 1}));  // the third field took index 1
  EXPECT_EQ(c->GetItemCount(), 2);
  Free(c);
}

TEST(Loading, RecordsAppendedBetweenBeginAndEndLoadData) {
  TTestItem item;
  auto* c = New<TqvDataController>(nullptr);
  c->AddItem(&item);
  c->ChangeValueTypeClass(0, TqvStringValueType::Class());
  TqvValueDefUnboundReader reader;
  c->BeginLoadData();
  for (const char* name : {"one", "two"}) {
    reader.SetValue(c->GetField(0)->GetStorageDef(), name);
    c->AppendRecordFromReader(&reader);
  }
  c->EndLoadData();
  EXPECT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(c->GetDisplayText(1, 0), "two");
  Free(c);
}
