// The lookup grid over an unbound list: defaults, column widths, the layout of rows and grid
// lines, the top row, popup heights, keys, header sorting and the close-up report.
#include "core/qvDataStorage.h"
#include "dataaware/qvLookupGrid.h"
#include "tests/editors/qvExtEditorsTestSupport.h"
#include "tests/lookandfeel/qvControlsTestSupport.h"

namespace qvLookupGridTests {

class LookupGridTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    Form = NewForm(400, 400);
    Grid = Add<TqvLookupGrid>(Form, Rect(0, 0, 200, 200));
    Show(Form);
  }
  // AColumns columns of strings and ARows records "r<row>c<column>".
  void Fill(Integer AColumns, Integer ARows) {
    Grid->BeginUpdate();
    for (Integer c = 0; c < AColumns; ++c) {
      Grid->GetColumns()->Add();
      Grid->GetDataController()->ChangeValueTypeClass(c, TqvStringValueType::Class());
    }
    Grid->GetDataController()->SetRecordCount(ARows);
    for (Integer r = 0; r < ARows; ++r)
      for (Integer c = 0; c < AColumns; ++c)
        Grid->GetDataController()->SetValue(r, c, "r" + IntToStr(r) + "c" + IntToStr(c));
    Grid->EndUpdate();
  }
  TqvLookupGridViewInfo* View() const { return Grid->GetViewInfo(); }
  // Grid height for a header and ARows rows exactly.
  void FitRows(Integer ARows) {
    Grid->SetHeight(Grid->GetPopupHeight(ARows) + 2 * Grid->GetBorderSize());
    Pump();
  }

  TForm* Form = nullptr;
  TqvLookupGrid* Grid = nullptr;
};

TEST_F(LookupGridTest, DefaultsOfANewGridAndColumn) {
  TOwned<TqvLookupGrid> grid(New<TqvLookupGrid>(nullptr));
  EXPECT_EQ(grid->GetWidth(), 250);
  EXPECT_EQ(grid->GetHeight(), 200);
  EXPECT_EQ(grid->GetColor(), clWindow);
  EXPECT_TRUE(grid->GetOptions()->GetShowHeader());
  EXPECT_TRUE(grid->GetOptions()->GetRowSelect());
  EXPECT_TRUE(grid->GetOptions()->GetColumnSorting());
  EXPECT_EQ(grid->GetOptions()->GetGridLines(), glBoth);
  TqvLookupGridColumn* column = grid->GetColumns()->Add();
  EXPECT_EQ(column->GetMinWidth(), 20);
  EXPECT_EQ(column->GetWidth(), 64);
  EXPECT_TRUE(column->GetSorting());
  EXPECT_EQ(grid->GetDataController()->GetItemCount(), 1) << "a column is an item of the data controller";
}

TEST_F(LookupGridTest, WidthAndMinimumWidth) {
  Fill(1, 0);
  TqvLookupGridColumn* column = Grid->GetColumns()->GetItem(0);
  column->SetWidth(10);
  EXPECT_EQ(column->GetWidth(), 20);
  column->SetMinWidth(80);
  EXPECT_EQ(column->GetWidth(), 80);
  column->SetMinWidth(-5);
  EXPECT_EQ(column->GetMinWidth(), 0);
}

TEST_F(LookupGridTest, OptionsWithoutAGridKeepNoSortSettings) {
  TqvLookupGridOptions loose(nullptr);
  loose.SetAnsiSort(true);
  EXPECT_FALSE(loose.GetAnsiSort());
  Grid->GetOptions()->SetAnsiSort(true);
  Grid->GetOptions()->SetCaseInsensitive(true);
  EXPECT_EQ(Grid->GetDataController()->GetOptions() & (dcoAnsiSort | dcoCaseInsensitive),
            TqvDataControllerOptions(dcoAnsiSort | dcoCaseInsensitive));
}

TEST_F(LookupGridTest, WithoutColumnsOnlyTheEmptyAreasRemain) {
  Grid->GetOptions()->SetGridLines(glNone);
  Pump();
  EXPECT_TRUE(View()->GetHeaderArea().IsEmpty());
  EXPECT_EQ(View()->GetRowViewCount(), 0);
  EXPECT_FALSE(View()->GetEmptyAreaBottom().IsEmpty());
  const Integer height = Grid->GetNearestPopupHeight(100);
  EXPECT_GE(height, 1) << "rows of no height never divide";
  EXPECT_GE(Grid->GetPopupHeight(3), 3);
}

struct TGeometryCase {
  const char* Name;
  Integer Rows;
  Integer Room;
  Integer AskedTop;
  Integer Top;
};

class LookupGridTopRow : public LookupGridTest, public ::testing::WithParamInterface<TGeometryCase> {};

TEST_P(LookupGridTopRow, FillsTheGridDownToItsLastRow) {
  const TGeometryCase& c = GetParam();
  Fill(2, c.Rows);
  FitRows(c.Room);
  ASSERT_EQ(View()->GetVisibleCount(), std::min(c.Room, c.Rows));
  Grid->SetTopRowIndex(c.AskedTop);
  EXPECT_EQ(Grid->GetTopRowIndex(), c.Top);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupGridTopRow,
                         ::testing::Values(TGeometryCase{"TenRowsRoomForFiveTopEight", 10, 5, 8, 5},
                                           TGeometryCase{"TopWithinRange", 10, 5, 3, 3},
                                           TGeometryCase{"NegativeTop", 10, 5, -2, 0},
                                           TGeometryCase{"FewerRowsThanRoom", 3, 5, 2, 0}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

struct TLinesCase {
  const char* Name;
  TqvGridLines Lines;
  bool RowHeightHasLine;
  bool LastCellRightLine;
  bool FirstCellRightLine;
};

class LookupGridLines : public LookupGridTest, public ::testing::WithParamInterface<TLinesCase> {};

TEST_P(LookupGridLines, BordersFollowTheGridLines) {
  const TLinesCase& c = GetParam();
  Fill(2, 3);
  Grid->GetOptions()->SetGridLines(c.Lines);
  Pump();
  ASSERT_GE(View()->GetRowViewCount(), 1);
  TqvLookupGridRowViewInfo& row = View()->GetRow(0);
  EXPECT_EQ(View()->GetRowHeight() - row.Cells[0].Bounds.Height(), c.RowHeightHasLine ? 1 : 0);
  EXPECT_EQ((row.Borders & qvBorder(bRight)) != 0, c.LastCellRightLine);
  EXPECT_EQ((row.Cells[0].Borders & qvBorder(bRight)) != 0, c.FirstCellRightLine);
  const bool bottomLine = (row.Borders & qvBorder(bBottom)) != 0;
  EXPECT_EQ(bottomLine, c.RowHeightHasLine) << "the first row is not the last";
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupGridLines,
                         ::testing::Values(TLinesCase{"Both", glBoth, true, true, true},
                                           TLinesCase{"None", glNone, false, false, false},
                                           TLinesCase{"Vertical", glVertical, false, true, true},
                                           TLinesCase{"HorizontalKeepsTheRightEnd", glHorizontal, true, true, false}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupGridTest, VerticalLinesDrawALineUnderTheLastRowOnly) {
  Fill(1, 3);
  Grid->GetOptions()->SetGridLines(glVertical);
  Pump();
  ASSERT_EQ(View()->GetRowViewCount(), 3);
  EXPECT_EQ(View()->GetRow(1).Borders & qvBorder(bBottom), 0u);
  EXPECT_NE(View()->GetRow(2).Borders & qvBorder(bBottom), 0u);
}

TEST_F(LookupGridTest, RowSelectDrawsTheSelectedRowAcrossInSelectionColours) {
  Fill(2, 3);
  Grid->SetFocusedRowIndex(1);
  Grid->SetFocusedRowSelected(true);
  Pump();
  TqvLookupGridRowViewInfo* row = View()->FindRow(1);
  ASSERT_NE(row, nullptr);
  for (auto& cell : row->Cells) EXPECT_EQ(cell.EditViewInfo->BackgroundColor, View()->GetSelectionColor());
  Grid->GetOptions()->SetRowSelect(false);
  Grid->SetFocusedColumnIndex(1);
  Pump();
  row = View()->FindRow(1);
  EXPECT_EQ(row->Cells[0].EditViewInfo->BackgroundColor, View()->GetSelectionColor());
  EXPECT_EQ(row->Cells[1].EditViewInfo->BackgroundColor, View()->GetContentColor()) << "the focused cell";
  Grid->GetOptions()->SetRowSelect(true);
  EXPECT_EQ(Grid->GetFocusedColumn(), nullptr);
}

TEST_F(LookupGridTest, NearestPopupHeightIsWholeRows) {
  Fill(1, 20);
  const Integer header = View()->GetHeaderArea().Height();
  const Integer row = View()->GetRowHeight();
  EXPECT_EQ(Grid->GetNearestPopupHeight(header + 3 * row + row / 2), header + 3 * row);
  EXPECT_EQ(Grid->GetNearestPopupHeight(0), header + row) << "at least one row";
  EXPECT_EQ(Grid->GetNearestPopupHeight(10000), header + 20 * row) << "at most every row";
}

// -- Keys

struct TKeyCase {
  const char* Name;
  Integer Room;
  Integer Focus;
  Integer Top;
  Word Key;
  Integer NewFocus;
  Integer NewTop;
};

class LookupGridKeys : public LookupGridTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(LookupGridKeys, MoveTheFocusedRow) {
  const TKeyCase& c = GetParam();
  Fill(1, 40);
  FitRows(c.Room);
  Grid->SetTopRowIndex(c.Top);
  Grid->SetFocusedRowIndex(c.Focus);
  Grid->SetFocus();
  Pump();
  Headless::PressKey(c.Key, skNone);
  Pump();
  EXPECT_EQ(Grid->GetFocusedRowIndex(), c.NewFocus);
  EXPECT_EQ(Grid->GetTopRowIndex(), c.NewTop);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupGridKeys,
                         ::testing::Values(TKeyCase{"PageDownFromTheLastVisibleRowScrollsByNine", 10, 9, 0, VK_NEXT, 18, 9},
                                           TKeyCase{"PageDownInsideThePage", 10, 3, 0, VK_NEXT, 9, 0},
                                           TKeyCase{"PageUpFromTheTopRow", 10, 20, 20, VK_PRIOR, 11, 11},
                                           TKeyCase{"PageDownWithOneVisibleRow", 1, 5, 5, VK_NEXT, 6, 6},
                                           TKeyCase{"PageUpWithOneVisibleRow", 1, 5, 5, VK_PRIOR, 4, 4},
                                           TKeyCase{"DownScrollsAtTheBottom", 5, 4, 0, VK_DOWN, 5, 1},
                                           TKeyCase{"UpStopsAtTheTop", 5, 0, 0, VK_UP, 0, 0},
                                           TKeyCase{"EndGoesToTheLastRow", 5, 0, 0, VK_END, 39, 35}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupGridTest, EnterReportsTheCloseUpWithOrWithoutAFocusedRow) {
  Fill(1, 3);
  std::vector<bool> accepted;
  Grid->CloseUpHandler = [&](TObject*, bool AAccept) { accepted.push_back(AAccept); };
  Grid->SetFocus();
  Pump();
  Grid->SetFocusedRowIndex(-1);
  Headless::PressKey(VK_RETURN, skNone);
  Pump();
  Grid->SetFocusedRowIndex(1);
  Headless::PressKey(VK_RETURN, skNone);
  Pump();
  EXPECT_EQ(accepted, (std::vector<bool>{false, true}));
}

// -- Mouse

TEST_F(LookupGridTest, HeaderClicksSort) {
  Fill(2, 5);
  auto header = [&](Integer AColumn) { return RectCentre(View()->GetColumn(AColumn).Bounds); };
  auto orders = [&] {
    return std::vector<Integer>{Grid->GetColumns()->GetItem(0)->GetSortOrder(),
                                Grid->GetColumns()->GetItem(1)->GetSortOrder()};
  };
  struct {
    Integer Column;
    unsigned Keys;
    std::vector<Integer> Orders;
  } steps[] = {{0, skNone, {soAscending, soNone}},       {0, skNone, {soDescending, soNone}},
               {0, skNone, {soAscending, soNone}},       {1, skShift, {soAscending, soAscending}},
               {1, skNone, {soNone, soDescending}},      {1, skCtrl, {soNone, soNone}}};
  for (const auto& step : steps) {
    if (step.Keys) Headless::KeyDown(step.Keys == skShift ? VK_SHIFT : VK_CONTROL);
    Click(Grid, header(step.Column));
    if (step.Keys) Headless::KeyUp(step.Keys == skShift ? VK_SHIFT : VK_CONTROL);
    Pump();
    EXPECT_EQ(orders(), step.Orders) << "column " << step.Column << " keys " << step.Keys;
  }
}

TEST_F(LookupGridTest, HotTrackingOnlyInPopupMode) {
  Fill(1, 5);
  Grid->SetFocusedRowIndex(0);
  const TPoint row3 = RectCentre(View()->FindRow(3)->Bounds);
  MoveTo(Grid, row3);
  EXPECT_EQ(Grid->GetFocusedRowIndex(), 0);
  Grid->SetPopupMode(true);
  Pump();
  MoveTo(Grid, {row3.X, row3.Y + 1});
  MoveTo(Grid, row3);
  EXPECT_EQ(Grid->GetFocusedRowIndex(), 3);
}

TEST_F(LookupGridTest, ReleasingOnARowAcceptsAndOutsideRefuses) {
  Fill(1, 3);
  FitRows(5);
  std::vector<bool> accepted;
  Grid->CloseUpHandler = [&](TObject*, bool AAccept) { accepted.push_back(AAccept); };
  const TPoint row1 = RectCentre(View()->FindRow(1)->Bounds);
  Click(Grid, row1);
  Down(Grid, row1);
  MoveTo(Grid, {row1.X, Grid->GetHeight() - 3});
  Up();
  EXPECT_EQ(accepted, (std::vector<bool>{true, false}));
}

struct TAutoScrollCase {
  const char* Name;
  bool Below;
  Integer Top;
  Integer FocusAfterTick;
};

class LookupGridAutoScroll : public LookupGridTest, public ::testing::WithParamInterface<TAutoScrollCase> {};

// Kept as the list has always done it: downwards the focus jumps two rows past the last fully
// visible row on each tick, upwards one row above the top.
TEST_P(LookupGridAutoScroll, DraggingOutsideTheRowsScrollsEvery50Milliseconds) {
  const TAutoScrollCase& c = GetParam();
  Fill(1, 40);
  FitRows(5);
  Grid->SetTopRowIndex(c.Top);
  Pump();
  const TPoint row = RectCentre(View()->FindRow(c.Top + 2)->Bounds);
  Down(Grid, row);
  MoveTo(Grid, {row.X, c.Below ? Grid->GetHeight() + 20 : -20});
  EXPECT_EQ(Grid->GetAutoScrollDirection(),
            c.Below ? TqvLookupGridAutoScroll::Down : TqvLookupGridAutoScroll::Up);
  Wait(49);
  EXPECT_EQ(Grid->GetFocusedRowIndex(), c.Top + 2) << "no tick before 50 ms";
  Wait(1);
  EXPECT_EQ(Grid->GetFocusedRowIndex(), c.FocusAfterTick);
  EXPECT_TRUE(Grid->IsRowVisible(c.FocusAfterTick));
  Up();
  EXPECT_EQ(Grid->GetAutoScrollDirection(), TqvLookupGridAutoScroll::None);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupGridAutoScroll,
                         ::testing::Values(TAutoScrollCase{"DownTwoRowsPastTheLastVisible", true, 10, 16},
                                           TAutoScrollCase{"UpOneRowAboveTheTop", false, 10, 9},
                                           TAutoScrollCase{"UpStopsAtTheFirstRow", false, 0, 0}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupGridTest, DataChangesReachTheOwnersHandlerAfterTheLayout) {
  Fill(1, 3);
  Integer rowsSeen = -1;
  Grid->DataChangedHandler = [&](TObject*) { rowsSeen = View()->GetRowViewCount(); };
  Grid->GetDataController()->SetRecordCount(4);
  EXPECT_EQ(rowsSeen, 4);
}

}  // namespace qvLookupGridTests
