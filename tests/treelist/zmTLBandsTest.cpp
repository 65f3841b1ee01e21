// Tree list bands and the header arrangement of the control with columns: band settings, fixing
// at the edges, columns following their bands when bands move or go, assignment of every setting,
// visible-band queries, header rows, and the default layout.
#include <functional>

#include "zmTLTestSupport.h"

namespace {

class zmTLBands : public TzmTreeListTest {
 protected:
  TzmTreeListBands* Bands() { return Tree->GetBands(); }
  TzmTreeListBand* Band(Integer Index) { return Bands()->GetItem(Index); }
  // Three bands with a column in each (column n in band n).
  void ThreeBandsWithColumns() {
    Bands()->Add();
    Bands()->Add();
    for (Integer i = 0; i < 3; ++i) Column("c" + IntToStr(i))->SetBandIndex(i);
  }
  std::vector<Integer> ColumnBands() {
    std::vector<Integer> bands;
    for (Integer i = 0; i < Tree->ColumnCount(); ++i) bands.push_back(Tree->ColumnAt(i)->GetBandIndex());
    return bands;
  }
};

TEST_F(zmTLBands, Defaults) {
  TzmTreeListBand* b = Band(0);
  EXPECT_EQ(b->GetAlignment(), taCenter);
  EXPECT_EQ(b->GetMinWidth(), 30);
  EXPECT_EQ(b->GetWidth(), 250);
  EXPECT_TRUE(b->GetVisible());
  EXPECT_TRUE(b->GetSizing());
  EXPECT_EQ(b->GetFixed(), bfNone);
  b->SetWidth(10);
  EXPECT_EQ(b->GetWidth(), 30) << "never below MinWidth";
  b->SetMinWidth(-1);
  EXPECT_EQ(b->GetMinWidth(), 0);
}

TEST_F(zmTLBands, AHiddenBandCannotBeFixedAndHidingUnfixes) {
  Bands()->Add();
  Band(1)->SetVisible(false);
  Band(1)->SetFixed(bfLeft);
  EXPECT_EQ(Band(1)->GetFixed(), bfNone);
  EXPECT_EQ(Band(1)->GetIndex(), 1) << "a hidden band is not moved either";
  Band(0)->SetFixed(bfRight);
  EXPECT_EQ(Band(1)->GetFixed(), bfRight) << "moved last";
  Band(1)->SetVisible(false);
  EXPECT_EQ(Band(1)->GetFixed(), bfNone);
}

TEST_F(zmTLBands, FixingMovesTheBandToItsEdgeAndUnfixesTheOneThere) {
  ThreeBandsWithColumns();
  Band(2)->SetFixed(bfLeft);
  EXPECT_EQ(Band(0)->GetFixed(), bfLeft);
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{1, 2, 0})) << "the columns followed";
  Band(2)->SetFixed(bfLeft);
  EXPECT_EQ(Band(0)->GetFixed(), bfLeft);
  EXPECT_EQ(Band(1)->GetFixed(), bfNone);
  EXPECT_EQ(Tree->GetLeftFixedBandIndex(), 0);
  EXPECT_EQ(Tree->GetRightFixedBandIndex(), -1);
  Band(0)->SetIndex(2);
  EXPECT_EQ(Band(0)->GetFixed(), bfLeft) << "a fixed band does not move";
}

TEST_F(zmTLBands, ABandPushedFromItsEdgeGoesBack) {
  Bands()->Add();
  Band(1)->SetFixed(bfLeft);
  TzmTreeListBand* fixed = Band(0);
  Bands()->Insert(0);
  EXPECT_EQ(fixed->GetIndex(), 0) << "the check of fixed bands puts it first again";
  EXPECT_EQ(fixed->GetFixed(), bfLeft);
}

TEST_F(zmTLBands, MovingABandRenumbersTheColumns) {
  ThreeBandsWithColumns();
  Band(0)->SetIndex(2);
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{2, 0, 1}));
  Band(2)->SetIndex(-5);
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{0, 1, 2}));
}

TEST_F(zmTLBands, DeletingABandRenumbersTheColumns) {
  ThreeBandsWithColumns();
  Bands()->Delete(1);
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{0, -1, 1}));
}

TEST_F(zmTLBands, DeletingABandInsideAnUpdateBracketRenumbersTheColumnsToo) {
  ThreeBandsWithColumns();
  Tree->BeginUpdate();
  Bands()->Delete(0);
  Tree->EndUpdate();
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{-1, 0, 1}));
}

TEST_F(zmTLBands, VisibleBandQueriesWithAndWithoutTheCaches) {
  ThreeBandsWithColumns();
  Band(1)->SetVisible(false);
  for (bool cached : {false, true}) {
    SCOPED_TRACE(cached ? "cached" : "counted");
    if (cached) Tree->RebuildVisibleNodes();
    EXPECT_EQ(Bands()->VisibleCount(), 2);
    EXPECT_EQ(Bands()->GetAbsoluteIndex(1), 2);
    EXPECT_EQ(Bands()->GetAbsoluteIndex(2), -1);
    EXPECT_EQ(Bands()->GetVisibleIndexOf(1), -1);
    EXPECT_EQ(Bands()->GetVisibleIndexOf(2), 1);
    EXPECT_EQ(Bands()->GetVisibleIndexOf(7), -1);
    EXPECT_EQ(Bands()->VisibleItems(1), Band(2));
    EXPECT_EQ(Bands()->VisibleItems(5), nullptr);
    EXPECT_EQ(Tree->GetHeaderColumnIndex(1, 0, 0), 2);
    EXPECT_EQ(Tree->GetHeaderColCount(1, 0), 1);
    EXPECT_EQ(Tree->GetHeaderRowCount(0), 1);
    EXPECT_FALSE(Tree->IsColumnShown(1)) << "its band is hidden";
  }
}

// ------------------------------------------------------------------ assignment

struct TBandAssignCase {
  const char* Name;
  std::function<void(TzmTreeListBand*)> Set;
  std::function<String(TzmTreeListBand*)> Get;
};

void PrintTo(const TBandAssignCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLBandAssign : public zmTLBands, public testing::WithParamInterface<TBandAssignCase> {};

TEST_P(zmTLBandAssign, EverySettingIsCopied) {
  Bands()->Add();
  Bands()->Add();
  TzmTreeListBand* source = Band(1);
  TzmTreeListBand* target = Band(2);
  String before = GetParam().Get(target);
  GetParam().Set(source);
  String wanted = GetParam().Get(source);
  ASSERT_NE(before, wanted);
  target->Assign(source);
  EXPECT_EQ(GetParam().Get(target), wanted);
}

String BandStr(Integer Value) { return IntToStr(Value); }

const TBandAssignCase kBandCases[] = {
    {"Alignment", [](TzmTreeListBand* b) { b->SetAlignment(taLeftJustify); },
     [](TzmTreeListBand* b) { return BandStr(b->GetAlignment()); }},
    {"Caption", [](TzmTreeListBand* b) { b->SetCaption("Main"); }, [](TzmTreeListBand* b) { return b->GetCaption(); }},
    {"DisableCustomizing", [](TzmTreeListBand* b) { b->SetDisableCustomizing(true); },
     [](TzmTreeListBand* b) { return BandStr(b->GetDisableCustomizing()); }},
    {"DisableDragging", [](TzmTreeListBand* b) { b->SetDisableDragging(true); },
     [](TzmTreeListBand* b) { return BandStr(b->GetDisableDragging()); }},
    {"MinWidth", [](TzmTreeListBand* b) { b->SetMinWidth(60); }, [](TzmTreeListBand* b) { return BandStr(b->GetMinWidth()); }},
    {"OnlyOwnColumns", [](TzmTreeListBand* b) { b->SetOnlyOwnColumns(true); },
     [](TzmTreeListBand* b) { return BandStr(b->GetOnlyOwnColumns()); }},
    {"Sizing", [](TzmTreeListBand* b) { b->SetSizing(false); }, [](TzmTreeListBand* b) { return BandStr(b->GetSizing()); }},
    {"Visible", [](TzmTreeListBand* b) { b->SetVisible(false); }, [](TzmTreeListBand* b) { return BandStr(b->GetVisible()); }},
    {"Width", [](TzmTreeListBand* b) { b->SetWidth(120); }, [](TzmTreeListBand* b) { return BandStr(b->GetWidth()); }},
    {"NarrowWidth",
     [](TzmTreeListBand* b) {
       b->SetMinWidth(5);
       b->SetWidth(12);
     },
     [](TzmTreeListBand* b) { return BandStr(b->GetWidth()); }},
    {"Fixed", [](TzmTreeListBand* b) { b->SetFixed(bfRight); },
     [](TzmTreeListBand* b) { return BandStr(b->GetFixed()); }},
};

INSTANTIATE_TEST_SUITE_P(Settings, zmTLBandAssign, testing::ValuesIn(kBandCases),
                         [](const testing::TestParamInfo<TBandAssignCase>& info) { return info.param.Name; });

// ------------------------------------------------------------------ header rows and the default layout

TEST_F(zmTLBands, BandRowCountsAreClamped) {
  Tree->SetBandRowCount(0);
  EXPECT_EQ(Tree->GetBandRowCount(), 1);
  Tree->SetBandRowCount(9);
  EXPECT_EQ(Tree->GetBandRowCount(), 5);
  Tree->SetBandMaxRowCount(3);
  EXPECT_EQ(Tree->GetBandRowCount(), 3) << "lowering the maximum lowers the count";
  Tree->SetBandMaxRowCount(-2);
  EXPECT_EQ(Tree->GetBandMaxRowCount(), 1);
}

TEST_F(zmTLBands, SeveralHeaderRowsEndTheDefaultAndAutomaticLayouts) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxAutoHeaderPanelRowCount);
  Tree->SetHeaderPanelRowCount(2);
  EXPECT_FALSE(Tree->GetDefaultLayout());
  EXPECT_FALSE(Tree->HasExtra(zmxAutoHeaderPanelRowCount));
  Tree->SetHeaderPanelRowCount(99);
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 5);
}

TEST_F(zmTLBands, TheDefaultLayoutPutsEveryColumnIntoOneVisibleBand) {
  ThreeBandsWithColumns();
  Tree->SetBandsVisible(true);
  Band(0)->SetVisible(false);
  Tree->SetHeaderPanelRowCount(2);
  EXPECT_FALSE(Tree->GetDefaultLayout()) << "several bands";
  Tree->SetDefaultLayout(true);
  EXPECT_TRUE(Tree->GetDefaultLayout());
  EXPECT_EQ(Bands()->GetCount(), 1);
  EXPECT_TRUE(Band(0)->GetVisible());
  EXPECT_FALSE(Tree->GetBandsVisible());
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
  EXPECT_EQ(ColumnBands(), (std::vector<Integer>{0, 0, 0}));
  EXPECT_TRUE(Tree->UsesDefaultLayout());
}

TEST_F(zmTLBands, EmptyHeaderRowsCloseUp) {
  Tree->SetHeaderPanelRowCount(3);
  TzmTreeListColumn* top = Column("top");
  TzmTreeListColumn* bottom = Column("bottom");
  bottom->SetRowIndex(2);
  Tree->RefreshRowIndexes();
  EXPECT_EQ(top->GetRowIndex(), 0);
  EXPECT_EQ(bottom->GetRowIndex(), 1);
  EXPECT_EQ(bottom->GetStoredRowIndex(), 1);
  EXPECT_EQ(Tree->GetHeaderRowCount(0), 2);
  EXPECT_EQ(Tree->GetHeaderColumnIndex(0, 1, 0), 1);
  EXPECT_EQ(Tree->GetHeaderColumnIndex(0, 2, 0), -1);
}

TEST_F(zmTLBands, TheAutomaticHeaderRowCountFollowsTheStoredRows) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxAutoHeaderPanelRowCount);
  TzmTreeListColumn* c = Column("c");
  Column("d");
  c->SetStoredRowIndex(1);
  Tree->UpdateHeaderPanelRowCount();
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 2);
  EXPECT_TRUE(Tree->HasExtra(zmxAutoHeaderPanelRowCount)) << "set by the automatic rule";
}

TEST_F(zmTLBands, ABandCollectionOfOtherThanOneBandEndsTheDefaultLayout) {
  EXPECT_TRUE(Tree->GetDefaultLayout());
  Bands()->Add();
  EXPECT_FALSE(Tree->GetDefaultLayout());
}

}  // namespace
