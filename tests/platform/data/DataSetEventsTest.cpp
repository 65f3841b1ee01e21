// The dataset's contract with its links: which hooks each operation calls, in which order, and
// where the link's window stands afterwards.
#include "DataTestSupport.h"

namespace {

using TTableStep = std::function<void(TDataTest&, TSQLiteTable*)>;

struct TEventCase {
  const char* Name;
  TTableStep Prepare;   // before the log is cleared
  TTableStep Operation;
  const char* Events;
  Integer LinkActiveRecord;
  Integer LinkRecordCount;
  Integer RecNo;
};

void Nothing(TDataTest&, TSQLiteTable*) {}

const TEventCase EventCases[] = {
    {"NextInsideWindow", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Next(); }, "DataSetScrolled(0)", 1, 5, 2},
    {"MoveByToLastRow", Nothing, [](TDataTest&, TSQLiteTable* t) { t->MoveBy(4); }, "DataSetScrolled(0)", 4, 5, 5},
    {"MoveByPastWindow", Nothing, [](TDataTest&, TSQLiteTable* t) { t->MoveBy(5); }, "DataSetScrolled(1)", 4, 5, 6},
    {"MoveByFar", Nothing, [](TDataTest&, TSQLiteTable* t) { t->MoveBy(12); }, "DataSetScrolled(8)", 4, 5, 13},
    {"PriorAboveWindow", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(12); },
     [](TDataTest&, TSQLiteTable* t) { t->MoveBy(-5); }, "DataSetScrolled(-1)", 0, 5, 8},
    {"PriorAtFirst", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Prior(); }, "", 0, 5, 1},
    {"NextOntoEnd", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(19); },
     [](TDataTest&, TSQLiteTable* t) { t->Next(); }, "DataSetScrolled(0)", 4, 5, 20},
    {"MoveByBeyondEnd", Nothing, [](TDataTest&, TSQLiteTable* t) { t->MoveBy(100); }, "DataSetScrolled(15)", 4, 5, 20},
    {"RecNo", Nothing, [](TDataTest&, TSQLiteTable* t) { t->SetRecNo(10); }, "DataSetScrolled(5)", 4, 5, 10},
    {"First", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(12); }, [](TDataTest&, TSQLiteTable* t) { t->First(); },
     "DataSetChanged", 0, 5, 1},
    {"Last", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Last(); }, "DataSetChanged", 4, 5, 20},
    {"LocateCentres", Nothing,
     [](TDataTest&, TSQLiteTable* t) { EXPECT_TRUE(t->Locate("Id", 10, 0)); }, "DataSetChanged", 2, 5, 10},
    {"Bookmark", [](TDataTest& f, TSQLiteTable* t) { t->MoveBy(15); f.Link->Clear(); },
     [](TDataTest&, TSQLiteTable* t) { t->SetBookmark("3"); }, "DataSetChanged", 2, 5, 3},
    {"Edit", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Edit(); }, "EditingChanged, RecordChanged(nil)", 0, 5, 1},
    {"SetField", [](TDataTest&, TSQLiteTable* t) { t->Edit(); },
     [](TDataTest& f, TSQLiteTable*) { f.Field("Name")->SetAsString("x"); }, "RecordChanged(Name)", 0, 5, 1},
    {"Post", [](TDataTest& f, TSQLiteTable* t) { t->Edit(); f.Field("Name")->SetAsString("x"); },
     [](TDataTest&, TSQLiteTable* t) { t->Post(); }, "UpdateData, EditingChanged, DataSetChanged", 0, 5, 1},
    {"Cancel", [](TDataTest& f, TSQLiteTable* t) { t->Edit(); f.Field("Name")->SetAsString("x"); },
     [](TDataTest&, TSQLiteTable* t) { t->Cancel(); }, "EditingChanged, DataSetChanged", 0, 5, 1},
    {"Insert", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(2); }, [](TDataTest&, TSQLiteTable* t) { t->Insert(); },
     "EditingChanged, DataSetChanged", 2, 5, 0},
    {"Append", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Append(); }, "EditingChanged, DataSetChanged", 4, 5, 0},
    {"PostInsert",
     [](TDataTest& f, TSQLiteTable* t) {
       t->MoveBy(2);
       t->Insert();
       f.Field("Name")->SetAsString("new");
     },
     // the new row number puts it last
     [](TDataTest&, TSQLiteTable* t) { t->Post(); }, "UpdateData, EditingChanged, DataSetChanged", 4, 5, 21},
    {"CancelInsert", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(2); t->Insert(); },
     [](TDataTest&, TSQLiteTable* t) { t->Cancel(); }, "EditingChanged, DataSetChanged", 2, 5, 3},
    {"CheckBrowseModeCancelsBlankInsert", [](TDataTest&, TSQLiteTable* t) { t->Insert(); },
     [](TDataTest&, TSQLiteTable* t) { t->CheckBrowseMode(); }, "UpdateData, EditingChanged, DataSetChanged", 0, 5, 1},
    {"Delete", [](TDataTest&, TSQLiteTable* t) { t->MoveBy(2); }, [](TDataTest&, TSQLiteTable* t) { t->Delete(); },
     "DataSetChanged", 2, 5, 3},
    {"DeleteWhileEditing", [](TDataTest&, TSQLiteTable* t) { t->Edit(); },
     [](TDataTest&, TSQLiteTable* t) { t->Delete(); }, "EditingChanged, DataSetChanged", 0, 5, 1},
    {"Refresh", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Refresh(); }, "DataSetChanged", 0, 5, 1},
    {"DisableAndEnable", Nothing,
     [](TDataTest&, TSQLiteTable* t) {
       t->DisableControls();
       t->DisableControls();
       t->MoveBy(3);
       t->EnableControls();
       t->EnableControls();
     },
     "DisabledStateChange(0), DataSetChanged", 3, 5, 4},
    {"EnableAfterStateChange", Nothing,
     [](TDataTest&, TSQLiteTable* t) {
       t->DisableControls();
       t->Edit();
       t->EnableControls();
     },
     "DisabledStateChange(0), EditingChanged, DataSetChanged", 0, 5, 1},
    {"EnableAfterLayoutChange", Nothing,
     [](TDataTest& f, TSQLiteTable* t) {
       t->DisableControls();
       f.Field("Qty")->SetDisplayWidth(3);
       t->EnableControls();
     },
     "DisabledStateChange(0), LayoutChanged", 0, 5, 1},
    {"FieldLayout", Nothing, [](TDataTest& f, TSQLiteTable*) { f.Field("Qty")->SetDisplayLabel("Quantity"); },
     "LayoutChanged", 0, 5, 1},
    {"FocusControl", Nothing, [](TDataTest& f, TSQLiteTable*) { f.Field("Qty")->FocusControl(); },
     "FocusControl(Qty)", 0, 5, 1},
    {"Filter", Nothing,
     [](TDataTest&, TSQLiteTable* t) {
       t->SetFilter("Qty > 100");
       t->SetFiltered(true);
     },
     "DataSetChanged", 0, 5, 1},
    {"Close", Nothing, [](TDataTest&, TSQLiteTable* t) { t->Close(); }, "ActiveChanged", 0, 0, 0},
    {"CloseWhileEditing", [](TDataTest&, TSQLiteTable* t) { t->Edit(); },
     [](TDataTest&, TSQLiteTable* t) { t->Close(); }, "ActiveChanged, EditingChanged", 0, 0, 0},
    {"Open", [](TDataTest&, TSQLiteTable* t) { t->Close(); }, [](TDataTest&, TSQLiteTable* t) { t->Open(); },
     "ActiveChanged", 0, 5, 1},
};

class DataSetEvents : public TDataTest, public ::testing::WithParamInterface<TEventCase> {};

TEST_P(DataSetEvents, ReachLinksInOrder) {
  const TEventCase& c = GetParam();
  OpenItems(20, 5);
  c.Prepare(*this, Table);
  Link->Clear();
  c.Operation(*this, Table);
  EXPECT_EQ(Link->Events(), c.Events);
  EXPECT_EQ(Link->GetActiveRecord(), c.LinkActiveRecord);
  EXPECT_EQ(Link->GetRecordCount(), c.LinkRecordCount);
  EXPECT_EQ(Table->GetRecNo(), c.RecNo);
}

INSTANTIATE_TEST_SUITE_P(Operations, DataSetEvents, ::testing::ValuesIn(EventCases),
                         [](const ::testing::TestParamInfo<TEventCase>& info) { return String(info.param.Name); });

// ------------------------------------------------------------------ windows of several links

TEST_F(TDataTest, EachLinkHearsHowFarItsOwnWindowMoved) {
  OpenItems(20, 5);
  auto narrow = MakeOwned<TRecordingLink>();
  narrow->SetDataSource(Source);
  narrow->Clear();
  EXPECT_EQ(Table->GetBufferCount(), 5) << "the dataset keeps the widest link's window";
  for (Integer step : {1, 1, 2, 3, -1, -6}) Table->MoveBy(step);
  EXPECT_EQ(narrow->Events(),
            "DataSetScrolled(1), DataSetScrolled(1), DataSetScrolled(2), DataSetScrolled(3), "
            "DataSetScrolled(-1), DataSetScrolled(-6)")
      << "a one-row window moves with every record";
  EXPECT_EQ(Link->Events(),
            "DataSetScrolled(0), DataSetScrolled(0), DataSetScrolled(0), DataSetScrolled(3), "
            "DataSetScrolled(0), DataSetScrolled(-3)");
  EXPECT_EQ(narrow->GetRecordCount(), 1);
  EXPECT_EQ(narrow->GetActiveRecord(), 0);
}

TEST_F(TDataTest, ActiveRecordSwitchesTheRowTheFieldsRead) {
  OpenItems(20, 5);
  Table->MoveBy(2);
  std::vector<String> names;
  for (Integer row = 0; row < Link->GetRecordCount(); ++row) {
    Link->SetActiveRecord(row);
    names.push_back(Name() + "@" + IntToStr(Table->GetRecNo()));
  }
  Link->SetActiveRecord(2);
  EXPECT_EQ(names, (std::vector<String>{"Item1@1", "Item2@2", "Item3@3", "Item4@4", "Item5@5"}));
  EXPECT_EQ(Name(), "Item3");
  EXPECT_EQ(Link->Events(), "DataSetScrolled(0)") << "switching rows tells nobody";
}

TEST_F(TDataTest, WideningALinkFillsTheWindowAroundTheCursor) {
  OpenItems(20, 1);
  Table->Last();
  Link->SetBufferCount(8);
  EXPECT_EQ(Link->GetRecordCount(), 8);
  EXPECT_EQ(Link->GetActiveRecord(), 7) << "the last record stays last";
  EXPECT_EQ(Table->GetRecNo(), 20);
  Link->SetBufferCount(3);
  EXPECT_EQ(Table->GetBufferCount(), 3);
  EXPECT_EQ(Link->GetRecordCount(), 3);
  EXPECT_EQ(Link->GetActiveRecord(), 2);
}

// A provider restores a row by MoveBy(BufferCount - 1 - a), MoveBy(a - BufferCount + 1) or
// MoveBy(-a), MoveBy(a) after going to the bookmark: the record lands on row a again.
TEST_F(TDataTest, MovesByTheWindowPutARecordBackOnItsRow) {
  OpenItems(30, 6);
  for (Integer row = 0; row < 6; ++row) {
    Table->First();
    Table->MoveBy(12);
    Table->MoveBy(row - 5);  // the record of RecNo 13 + row - 5 on row `row`
    ASSERT_EQ(Link->GetActiveRecord(), row);
    TBookmarkStr bookmark = Table->GetBookmark();
    Table->First();
    Table->SetBookmark(bookmark);
    Integer current = Link->GetActiveRecord();
    if (row < current) {
      Table->MoveBy(6 - 1 - row);
      Table->MoveBy(row - 6 + 1);
    } else if (row > current) {
      Table->MoveBy(-row);
      Table->MoveBy(row);
    }
    EXPECT_EQ(Link->GetActiveRecord(), row);
    EXPECT_EQ(Table->GetBookmark(), bookmark);
  }
}

TEST_F(TDataTest, UpdateDataPushesValuesBeforePostWithoutEchoToItsLink) {
  OpenItems(3, 1);
  Link->OnUpdateData = [this] { Field("Qty")->SetAsInteger(77); };
  Table->Edit();
  Link->Clear();
  Table->Post();
  EXPECT_EQ(Link->Events(), "UpdateData, EditingChanged, DataSetChanged") << "no RecordChanged for its own write";
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 77);
}

TEST_F(TDataTest, FocusControlStopsAtTheLinkThatTakesIt) {
  OpenItems(3, 1);
  auto second = MakeOwned<TRecordingLink>();
  second->SetDataSource(Source);
  second->Clear();
  Link->FocusTarget = Field("Qty");
  Field("Qty")->FocusControl();
  EXPECT_EQ(Link->Events(), "FocusControl(Qty)");
  EXPECT_EQ(second->Events(), "") << "the field was focused already";
}

TEST_F(TDataTest, ChangingTheSourcesDataSetRebindsItsLinks) {
  OpenItems(3, 1);
  auto other = TOwned<TSQLiteTable>(New<TSQLiteTable>(nullptr));
  Source->SetDataSet(other.get());
  EXPECT_EQ(Link->Events(), "ActiveChanged");
  EXPECT_FALSE(Link->GetActive());
  Source->SetDataSet(Table);
  EXPECT_TRUE(Link->GetActive());
}

TEST_F(TDataTest, FreeingTheDataSetDeactivatesItsLinks) {
  OpenItems(3, 1);
  Free(Table);
  EXPECT_EQ(Link->Events(), "ActiveChanged");
  EXPECT_EQ(Source->GetDataSet(), nullptr);
  EXPECT_EQ(Link->GetDataSet(), nullptr);
}

TEST_F(TDataTest, FreeingTheSourceDetachesItsLinks) {
  OpenItems(3, 1);
  Free(Source);
  EXPECT_EQ(Link->Events(), "ActiveChanged");
  EXPECT_EQ(Link->GetDataSource(), nullptr);
}

TEST_F(TDataTest, LinkEditGoesThroughAutoEdit) {
  OpenItems(3, 1);
  Source->SetAutoEdit(false);
  EXPECT_FALSE(Link->Edit());
  EXPECT_EQ(Table->GetState(), dsBrowse);
  Source->SetAutoEdit(true);
  EXPECT_TRUE(Link->Edit());
  EXPECT_EQ(Table->GetState(), dsEdit);
}

TEST_F(TDataTest, ALinkOffersActionsToItsDataSource) {
  struct TActionSource : TDataSource {
    using TDataSource::TDataSource;
    std::vector<String> Offered;
    bool ExecuteAction(TBasicAction*) override {
      Offered.push_back("execute");
      return true;
    }
    bool UpdateAction(TBasicAction*) override {
      Offered.push_back("update");
      return false;
    }
  };
  EXPECT_FALSE(Link->ExecuteAction(nullptr)) << "no source";
  auto source = TOwned<TActionSource>(New<TActionSource>(nullptr));
  Link->SetDataSource(source.get());
  EXPECT_TRUE(Link->ExecuteAction(nullptr));
  EXPECT_FALSE(Link->UpdateAction(nullptr));
  EXPECT_EQ(source->Offered, (std::vector<String>{"execute", "update"}));
  Link->SetDataSource(Source);
  EXPECT_FALSE(Link->ExecuteAction(nullptr)) << "a plain source handles no action";
}

TEST_F(TDataTest, CircularSourcesAreRefused) {
  CreateItems(2);
  auto query = TOwned<TSQLiteQuery>(New<TSQLiteQuery>(nullptr));
  query->SetDatabase(Db);
  auto querySource = TOwned<TDataSource>(New<TDataSource>(nullptr));
  querySource->SetDataSet(query.get());
  EXPECT_THROW(query->SetDataSource(querySource.get()), EDatabaseError);
  query->SetDataSource(Source);
  EXPECT_TRUE(query->IsLinkedTo(Source));
  EXPECT_THROW(Source->SetDataSet(query.get()), EDatabaseError) << "the query follows this source";
  try {
    Source->SetDataSet(query.get());
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Circular datalinks are not allowed");
  }
  EXPECT_EQ(Source->GetDataSet(), Table) << "nothing changed";
}

}  // namespace
