// Walking a dataset: the records the window takes in while it moves are read in batches ahead of
// it; every record shown is the one of its position, and a write makes the batch read again.
#include "DataTestSupport.h"
#include "platform/rtl/FileTestSupport.h"

namespace {

constexpr Integer kWalkRows = 3000;

class TWalkTest : public TDataTest {
 public:
  // Whether the active record and every record of the link's window are the records of their
  // positions: "Item<Id>", the ids in the order the dataset lists them.
  bool WindowIsRight(const std::vector<Integer>& AListed) {
    Integer active = Link->GetActiveRecord();
    Integer first = Table->GetRecNo() - 1 - active;
    bool right = true;
    for (Integer row = 0; row < Link->GetRecordCount(); ++row) {
      Link->SetActiveRecord(row);
      Integer id = Field("Id")->GetAsInteger();
      right = right && id == AListed[static_cast<size_t>(first + row)] && Name() == "Item" + IntToStr(id);
    }
    Link->SetActiveRecord(active);
    return right;
  }
};

struct TWalkCase {
  const char* Name;
  Integer BufferCount;
  Integer Step;
  const char* Filter;
};

void PrintTo(const TWalkCase& c, std::ostream* os) { *os << c.Name; }

class DataSetWalk : public TWalkTest, public ::testing::WithParamInterface<TWalkCase> {};

TEST_P(DataSetWalk, ShowsTheRecordOfEveryPosition) {
  const TWalkCase& c = GetParam();
  Table->SetFilter(c.Filter);
  Table->SetFiltered(true);
  OpenItems(kWalkRows, c.BufferCount);
  std::vector<Integer> listed = ListedIds(c.Filter);
  ASSERT_EQ(Table->GetRecordCount(), static_cast<Integer>(listed.size()));
  Integer moves = 0;
  for (Integer step : {c.Step, -c.Step, c.Step}) {
    while (step > 0 ? !Table->GetEof() : !Table->GetBof()) {
      Integer position = Table->GetRecNo() - 1;
      ASSERT_EQ(Field("Id")->GetAsInteger(), listed[static_cast<size_t>(position)]) << "position " << position;
      ASSERT_EQ(Name(), "Item" + IntToStr(listed[static_cast<size_t>(position)]));
      if (++moves % 97 == 0) {
        ASSERT_TRUE(WindowIsRight(listed)) << "position " << position;
      }
      Table->MoveBy(step);
    }
    ASSERT_TRUE(WindowIsRight(listed));
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, DataSetWalk,
                         ::testing::Values(TWalkCase{"OneRowByOne", 1, 1, ""},
                                           TWalkCase{"GridRowByRow", 100, 1, ""},
                                           TWalkCase{"GridPageByPage", 100, 100, ""},
                                           TWalkCase{"SevenRowsByThree", 7, 3, ""},
                                           TWalkCase{"FilteredWithGaps", 5, 1, "Id > 10 AND (Id < 500 OR Id > 1800) AND NOT (Id IN (12, 13, 1900, 2999))"}),
                         [](const ::testing::TestParamInfo<TWalkCase>& info) { return String(info.param.Name); });

// Walks on with Next until the record with AId is active.
void WalkTo(TDataSet* ADataSet, Integer AId) {
  while (!ADataSet->GetEof() && ADataSet->FieldByName("Id")->GetAsInteger() < AId) ADataSet->Next();
}

TEST_F(TWalkTest, AWriteOfThisConnectionShowsOnTheWalk) {
  OpenItems(kWalkRows, 3);
  WalkTo(Table, 200);  // far enough for batches read well ahead
  Db->ExecSQL("UPDATE Items SET Name = 'by SQL' WHERE Id = 210");
  auto other = TOwned<TSQLiteTable>(New<TSQLiteTable>(nullptr));
  other->SetDatabase(Db);
  other->SetTableName("Items");
  other->Open();
  ASSERT_TRUE(other->Locate("Id", 220, 0));
  other->Edit();
  other->FieldByName("Name")->SetAsString("by a dataset");
  other->Post();
  WalkTo(Table, 210);
  EXPECT_EQ(Name(), "by SQL");
  WalkTo(Table, 220);
  EXPECT_EQ(Name(), "by a dataset");
}

TEST_F(TWalkTest, RefreshShowsAnotherConnectionsWrite) {
  TTempFolder folder;
  Db->SetFileName(folder.File("walk.db"));
  OpenItems(kWalkRows, 3);
  WalkTo(Table, 200);
  TSQLiteDatabase other(nullptr);
  other.SetFileName(folder.File("walk.db"));
  other.ExecSQL("UPDATE Items SET Name = 'elsewhere' WHERE Id = 210");
  Table->Refresh();
  WalkTo(Table, 210);
  EXPECT_EQ(Name(), "elsewhere");
}

}  // namespace
