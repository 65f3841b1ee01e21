// A table's records are listed as far as they are asked for: from the start while walking, from
// the end after Last, counted when the count is asked. Whatever came first, positions, record
// numbers, the count and the records shown are those of the table's listing.
#include "DataTestSupport.h"

namespace {

constexpr Integer kIdsRows = 3000;  // well beyond the first page of identities

class TLazyIdsTest : public TDataTest {
 public:
  // The dataset against the listing of the records that pass AWhere: the count, the active
  // record at its position, every row of the link's window, and walks both ways.
  void ExpectListing(const String& AWhere) {
    std::vector<Integer> listed = ListedIds(AWhere);
    ASSERT_EQ(Table->GetRecordCount(), static_cast<Integer>(listed.size()));
    if (listed.empty()) return;
    Integer active = Link->GetActiveRecord();
    Integer first = Table->GetRecNo() - 1 - active;
    ASSERT_GE(first, 0);
    for (Integer row = 0; row < Link->GetRecordCount(); ++row) {
      Link->SetActiveRecord(row);
      ASSERT_EQ(Field("Id")->GetAsInteger(), listed[static_cast<size_t>(first + row)]) << "window row " << row;
    }
    Link->SetActiveRecord(active);
    std::vector<Integer> forward, backward;
    for (Table->First(); !Table->GetEof(); Table->Next()) {
      ASSERT_EQ(Table->GetRecNo(), static_cast<Integer>(forward.size()) + 1);
      forward.push_back(Field("Id")->GetAsInteger());
    }
    for (Table->Last(); !Table->GetBof(); Table->Prior()) backward.insert(backward.begin(), Field("Id")->GetAsInteger());
    EXPECT_EQ(forward, listed);
    EXPECT_EQ(backward, listed);
  }

  void SetName(const String& AName) {
    Field("Name")->SetAsString(AName);
    Table->Post();
  }
};

struct TIdsCase {
  const char* Name;
  const char* Filter;       // the dataset's filter while it opens
  const char* Listed;       // the listing to match afterwards
  std::function<void(TLazyIdsTest&)> Act;
  Integer ActiveId;         // the active record's Id afterwards
};

void PrintTo(const TIdsCase& c, std::ostream* os) { *os << c.Name; }

class DataSetLazyIds : public TLazyIdsTest, public ::testing::WithParamInterface<TIdsCase> {};

TEST_P(DataSetLazyIds, MatchesTheListing) {
  const TIdsCase& c = GetParam();
  Table->SetFilter(c.Filter);
  Table->SetFiltered(true);
  OpenItems(kIdsRows, 50);
  c.Act(*this);
  EXPECT_EQ(Field("Id")->GetAsInteger(), c.ActiveId);
  ExpectListing(c.Listed);
}

const char* const kGaps = "Id > 10 AND (Id < 500 OR Id > 1800) AND NOT (Id IN (12, 13, 1900, 2999))";

INSTANTIATE_TEST_SUITE_P(
    Cases, DataSetLazyIds,
    ::testing::Values(
        TIdsCase{"Opened", "", "", [](TLazyIdsTest&) {}, 1},
        TIdsCase{"Last", "", "", [](TLazyIdsTest& t) { t.Table->Last(); }, 3000},
        TIdsCase{"BackFromLast", "", "", [](TLazyIdsTest& t) { EXPECT_EQ((t.Table->Last(), t.Table->MoveBy(-700)), -700); }, 2300},
        TIdsCase{"FarRecNo", "", "", [](TLazyIdsTest& t) { t.Table->SetRecNo(1600); }, 1600},
        TIdsCase{"RecNoBetweenBothEnds", "", "", [](TLazyIdsTest& t) { t.Table->Last(); t.Table->SetRecNo(1400); }, 1400},
        TIdsCase{"RecNoBeyondTheEnd", "", "", [](TLazyIdsTest& t) { t.Table->SetRecNo(kIdsRows + 5); }, 3000},
        TIdsCase{"MoveByBeyondTheEnd", "", "", [](TLazyIdsTest& t) { EXPECT_EQ(t.Table->MoveBy(1000000), 2999); EXPECT_TRUE(t.Table->GetEof()); }, 3000},
        TIdsCase{"LocateDeep", "", "", [](TLazyIdsTest& t) { EXPECT_TRUE(t.Table->Locate("Id", 2400, 0)); }, 2400},
        TIdsCase{"BookmarkNearTheEnd", "", "", [](TLazyIdsTest& t) { t.Table->Last(); t.Table->SetBookmark("2990"); }, 2990},
        TIdsCase{"BookmarkInTheMiddleAfterLast", "", "", [](TLazyIdsTest& t) { t.Table->Last(); t.Table->SetBookmark("1234"); }, 1234},
        TIdsCase{"DeleteAfterLast", "", "Id <> 2990", [](TLazyIdsTest& t) { t.Table->Last(); t.Table->MoveBy(-10); t.Table->Delete(); }, 2991},
        TIdsCase{"DeleteNearTheStart", "", "Id <> 6", [](TLazyIdsTest& t) { t.Table->MoveBy(5); t.Table->Delete(); }, 7},
        TIdsCase{"AppendUncounted", "", "", [](TLazyIdsTest& t) { t.Table->Append(); t.SetName("new"); }, 3001},
        TIdsCase{"InsertAfterLast", "", "", [](TLazyIdsTest& t) { t.Table->Last(); t.Table->Insert(); t.SetName("new"); }, 3001},
        TIdsCase{"RenumberNearTheStart", "", "", [](TLazyIdsTest& t) {
                   t.Table->MoveBy(2);
                   t.Table->Edit();
                   t.Field("Id")->SetAsInteger(5000);
                   t.Table->Post();
                 }, 5000},
        TIdsCase{"FilterWithGapsLastAndBack", kGaps, kGaps, [](TLazyIdsTest& t) { t.Table->Last(); t.Table->MoveBy(-1000); }, 1999},
        TIdsCase{"FilteredCountFirst", kGaps, kGaps, [](TLazyIdsTest& t) { EXPECT_EQ(t.Table->GetRecordCount(), 1685); t.Table->Last(); }, 3000},
        TIdsCase{"RefilterAfterLast", "", "Id > 1000 AND Id < 1100", [](TLazyIdsTest& t) {
                   t.Table->Last();
                   t.Table->SetFilter("Id > 1000 AND Id < 1100");
                 }, 1099},
        TIdsCase{"RefreshAfterADelete", "", "Id < 100 OR Id > 2900", [](TLazyIdsTest& t) {
                   t.Table->Last();
                   t.Db->ExecSQL("DELETE FROM Items WHERE Id BETWEEN 100 AND 2900");
                   t.Table->Refresh();
                 }, 3000},
        // Identities not read yet are read as the connection holds them by then.
        TIdsCase{"DeletedBeyondWhatWasRead", "", "Id <= 2000", [](TLazyIdsTest& t) {
                   t.Table->MoveBy(10);
                   t.Db->ExecSQL("DELETE FROM Items WHERE Id > 2000");
                 }, 11},
        TIdsCase{"InsertedBeyondWhatWasRead", "", "", [](TLazyIdsTest& t) {
                   t.Table->MoveBy(10);
                   t.Db->ExecSQL("INSERT INTO Items (Id, Name) VALUES (4000, 'late')");
                 }, 11},
        TIdsCase{"DeletedAfterLastWasRead", "", "Id <= 2000", [](TLazyIdsTest& t) {
                   t.Table->Last();
                   t.Table->First();
                   t.Db->ExecSQL("DELETE FROM Items WHERE Id > 2000");
                 }, 1}),
    [](const ::testing::TestParamInfo<TIdsCase>& info) { return String(info.param.Name); });

TEST_F(TLazyIdsTest, AnEmptySelectionOpensAtBothEnds) {
  Table->SetFilter("Id < 0");
  Table->SetFiltered(true);
  OpenItems(kIdsRows, 50);
  EXPECT_TRUE(Table->GetBof());
  EXPECT_TRUE(Table->GetEof());
  EXPECT_TRUE(Table->IsEmpty());
  EXPECT_EQ(Table->GetRecNo(), 0);
  Table->Last();
  EXPECT_TRUE(Table->IsEmpty());
  EXPECT_EQ(Table->GetRecordCount(), 0);
}

TEST_F(TLazyIdsTest, BookmarksOfRecordsNotReadYetAreValid) {
  OpenItems(kIdsRows, 50);
  EXPECT_TRUE(Table->BookmarkValid("2500"));
  EXPECT_FALSE(Table->BookmarkValid("3500"));
  Table->Last();
  EXPECT_TRUE(Table->BookmarkValid("1500"));
  EXPECT_FALSE(Table->BookmarkValid("0"));
  EXPECT_EQ(Table->GetRecordCount(), kIdsRows);
}

}  // namespace
