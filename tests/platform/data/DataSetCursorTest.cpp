// The cursor: Bof and Eof, record numbers, Locate and Lookup, bookmarks.
#include "DataTestSupport.h"

namespace {

TEST_F(TDataTest, EndsAreMarkedWhereTheCursorStops) {
  OpenItems(3);
  EXPECT_TRUE(Table->GetBof());
  EXPECT_FALSE(Table->GetEof());
  Table->Next();
  EXPECT_FALSE(Table->GetBof());
  EXPECT_EQ(Table->MoveBy(5), 1) << "stops at the last record";
  EXPECT_TRUE(Table->GetEof());
  EXPECT_EQ(Table->GetRecNo(), 3);
  EXPECT_EQ(Table->MoveBy(1), 0);
  Table->First();
  EXPECT_TRUE(Table->GetBof());
  Table->Last();
  EXPECT_TRUE(Table->GetEof());
  EXPECT_FALSE(Table->GetBof());
}

TEST_F(TDataTest, AnEmptyTableIsAtBothEnds) {
  OpenItems(0);
  EXPECT_TRUE(Table->IsEmpty());
  EXPECT_TRUE(Table->GetBof());
  EXPECT_TRUE(Table->GetEof());
  EXPECT_EQ(Table->GetRecNo(), 0);
  EXPECT_EQ(Table->GetRecordCount(), 0);
  EXPECT_EQ(Table->GetBookmark(), "");
  EXPECT_TRUE(Field("Name")->IsNull());
  EXPECT_THROW(Table->Delete(), EDatabaseError);
  Table->Next();
  Table->Last();
  EXPECT_TRUE(Table->GetEof());
}

TEST_F(TDataTest, RecNoIsClampedToTheRecords) {
  OpenItems(10);
  EXPECT_TRUE(Table->IsSequenced());
  EXPECT_EQ(Table->GetRecordCount(), 10);
  Table->SetRecNo(7);
  EXPECT_EQ(Name(), "Item7");
  Table->SetRecNo(99);
  EXPECT_EQ(Table->GetRecNo(), 10);
  Table->SetRecNo(-3);
  EXPECT_EQ(Table->GetRecNo(), 1);
}

TEST_F(TDataTest, AClosedDataSetRefusesToMove) {
  CreateItems(3);
  EXPECT_THROW(Table->Next(), EDatabaseError);
  EXPECT_THROW(Table->First(), EDatabaseError);
  EXPECT_THROW(Field("Name"), EDatabaseError) << "no fields before the first open";
  EXPECT_FALSE(Table->BookmarkValid("1"));
  EXPECT_EQ(Table->GetRecNo(), 0);
  EXPECT_EQ(Table->GetRecordCount(), 0);
}

// ------------------------------------------------------------------ Locate

struct TLocateCase {
  const char* Name;
  const char* Fields;
  Variant Values;
  TLocateOptions Options;
  Integer FoundId;  // 0: not found
};

class DataSetLocate : public TDataTest, public ::testing::WithParamInterface<TLocateCase> {};

TEST_P(DataSetLocate, FindsTheFirstMatchingRecord) {
  const TLocateCase& c = GetParam();
  CreateItems(0);
  Db->ExecSQL(
      "INSERT INTO Items (Id, Name, Qty) VALUES (1, 'Alpha', 10), (2, 'alpine', 20), (3, 'Beta', NULL), "
      "(4, '\xD6lm\xFChle', 40), (5, 'Alpha', 50)");
  Table->Open();
  Table->Last();
  bool found = Table->Locate(c.Fields, c.Values, c.Options);
  EXPECT_EQ(found, c.FoundId != 0);
  EXPECT_EQ(Field("Id")->GetAsInteger(), c.FoundId ? c.FoundId : 5) << "the cursor moves only when found";
}

const TLocateCase LocateCases[] = {
    {"ById", "Id", 3, 0, 3},
    {"IdAsText", "Id", "4", 0, 4},
    {"IdThatDoesNotConvert", "Id", "four", 0, 0},
    {"FirstOfEqualNames", "Name", "Alpha", 0, 1},
    {"CaseMatters", "Name", "alpha", 0, 0},
    {"CaseInsensitive", "Name", "ALPINE", loCaseInsensitive, 2},
    {"PartialKey", "Name", "Alp", loPartialKey, 1},
    {"PartialKeyIsAPrefix", "Name", "lpha", loPartialKey, 0},
    {"PartialCaseInsensitive", "Name", "ALPI", loPartialKey | loCaseInsensitive, 2},
    {"AccentedCaseInsensitive", "Name", "\xD6LM\xDCHLE", loCaseInsensitive, 4},
    {"NullKey", "Qty", Variant::Null(), 0, 3},
    {"TwoFields", "Name;Qty", VarArrayOf({"Alpha", 50}), 0, 5},
    {"TwoFieldsOneWrong", "Name; Qty", VarArrayOf({"Alpha", 20}), 0, 0},
    {"Missing", "Name", "Gamma", loCaseInsensitive, 0},
    {"InjectionIsJustText", "Name", "x' OR '1'='1", 0, 0},
    {"InjectionWithOptions", "Name", "x' OR '1'='1", loCaseInsensitive | loPartialKey, 0},
};

INSTANTIATE_TEST_SUITE_P(Keys, DataSetLocate, ::testing::ValuesIn(LocateCases),
                         [](const ::testing::TestParamInfo<TLocateCase>& info) { return String(info.param.Name); });

TEST_F(TDataTest, LocateRefusesWrongKeyShapes) {
  OpenItems(3);
  EXPECT_THROW(Table->Locate("Nope", 1, 0), EDatabaseError);
  EXPECT_THROW(Table->Locate("Id;Name", 1, 0), EDatabaseError) << "two fields need two values";
  EXPECT_THROW(Table->Locate("Id;Name", VarArrayOf({1}), 0), EDatabaseError);
  EXPECT_EQ(Table->GetRecNo(), 1);
}

TEST_F(TDataTest, LocateFindsOnlyWhatTheFilterShows) {
  OpenItems(10);
  Table->SetFilter("Qty > 50");
  Table->SetFiltered(true);
  EXPECT_FALSE(Table->Locate("Id", 2, 0));
  EXPECT_TRUE(Table->Locate("Id", 8, 0));
  EXPECT_EQ(Table->GetRecNo(), 3);
}

TEST_F(TDataTest, LookupReadsWithoutMoving) {
  OpenItems(10);
  Table->MoveBy(4);
  EXPECT_EQ(VarToStr(Table->Lookup("Id", 7, "Name")), "Item7");
  Variant pair = Table->Lookup("Name", "Item3", "Id;Qty");
  EXPECT_EQ(pair.GetElement(0).AsInteger(), 3);
  EXPECT_EQ(pair.GetElement(1).AsInteger(), 30);
  EXPECT_TRUE(VarIsNull(Table->Lookup("Id", 99, "Name")));
  EXPECT_EQ(Table->GetRecNo(), 5);
  EXPECT_EQ(Link->Events(), "DataSetScrolled(4)");
}

// ------------------------------------------------------------------ bookmarks

TEST_F(TDataTest, BookmarksSurviveChangesAroundThem) {
  OpenItems(10);
  Table->SetRecNo(5);
  TBookmarkStr five = Table->GetBookmark();
  Table->First();
  Table->Delete();
  Table->Append();
  Field("Name")->SetAsString("new");
  Table->Post();
  Table->Refresh();
  Db->ExecSQL("INSERT INTO Items (Name) VALUES ('from elsewhere')");
  Table->Refresh();
  ASSERT_TRUE(Table->BookmarkValid(five));
  Table->SetBookmark(five);
  EXPECT_EQ(Name(), "Item5");
  EXPECT_EQ(Table->GetRecNo(), 4);
}

TEST_F(TDataTest, ABookmarkOfADeletedRecordIsInvalid) {
  OpenItems(5);
  Table->SetRecNo(3);
  TBookmarkStr three = Table->GetBookmark();
  Table->Delete();
  EXPECT_FALSE(Table->BookmarkValid(three));
  EXPECT_THROW(Table->SetBookmark(three), EDatabaseError);
  EXPECT_EQ(Name(), "Item4") << "the cursor stays";
  EXPECT_FALSE(Table->BookmarkValid(""));
  EXPECT_FALSE(Table->BookmarkValid("not a bookmark"));
}

TEST_F(TDataTest, ABookmarkDeletedElsewhereGoesAtTheNextRefresh) {
  OpenItems(5);
  Table->SetRecNo(2);
  TBookmarkStr two = Table->GetBookmark();
  Db->ExecSQL("DELETE FROM Items WHERE Id = 2");
  Table->Refresh();
  EXPECT_FALSE(Table->BookmarkValid(two));
  EXPECT_EQ(Name(), "Item3") << "the record now at its place";
}

TEST_F(TDataTest, BookmarksCompareInDataSetOrder) {
  OpenItems(12);
  std::vector<TBookmarkStr> marks;
  for (Integer recNo : {1, 2, 9, 10, 12}) {
    Table->SetRecNo(recNo);
    marks.push_back(Table->GetBookmark());
  }
  for (size_t i = 0; i < marks.size(); ++i)
    for (size_t j = 0; j < marks.size(); ++j)
      EXPECT_EQ(Table->CompareBookmarks(marks[i], marks[j]), i < j ? -1 : (i > j ? 1 : 0)) << i << " " << j;
  EXPECT_EQ(Table->CompareBookmarks("", marks[0]), -1) << "no bookmark comes first";
  EXPECT_EQ(Table->CompareBookmarks(marks[0], ""), 1);
  EXPECT_EQ(Table->CompareBookmarks("", ""), 0);
}

TEST_F(TDataTest, NoBookmarkWhileInserting) {
  OpenItems(3);
  Table->Insert();
  EXPECT_EQ(Table->GetBookmark(), "");
  EXPECT_EQ(Table->GetRecNo(), 0);
  Table->Cancel();
  EXPECT_EQ(Table->GetBookmark(), "1");
}

TEST_F(TDataTest, AFilteredOutRecordHasNoValidBookmark) {
  OpenItems(6);
  Table->SetRecNo(2);
  TBookmarkStr two = Table->GetBookmark();
  Table->SetFilter("Id <> 2");
  Table->SetFiltered(true);
  EXPECT_FALSE(Table->BookmarkValid(two));
  Table->SetFiltered(false);
  EXPECT_TRUE(Table->BookmarkValid(two));
}

}  // namespace
