// The tree list with columns: sorting by header clicks (one column, Shift adds one, Ctrl
// resets), copying another control's columns, naming new columns, best fit, cells measured by
// their editor class, and the events behind the hooks.
#include "zmTLTestSupport.h"

namespace {

class TEventTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TEventTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::CalcCellLineCount;
  using TCustomzmTreeList::CanDragBand;
  using TCustomzmTreeList::CanDragColumn;
  using TCustomzmTreeList::GetColumnSorted;
  using TCustomzmTreeList::HasFooterCell;
  using TCustomzmTreeList::HideBand;
  using TCustomzmTreeList::HideHeader;
  using TCustomzmTreeList::MoveHeader;
  using TCustomzmTreeList::ShowBand;
  using TCustomzmTreeList::ShowHeader;
};

// A column whose copies can be made to fail.
class TFragileColumn : public TzmTreeListColumn {
  QJ_INLINE_CLASS(TFragileColumn, TzmTreeListColumn)
 public:
  using TzmTreeListColumn::TzmTreeListColumn;
  static inline bool Fails = false;
  void Assign(TPersistent* Source) override {
    if (Fails) throw Exception("cannot copy");
    TzmTreeListColumn::Assign(Source);
  }
};

class zmTLControlEvents : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    Events = Add<TEventTreeList>(Form, "Events", Rect(10, 10, 390, 290));
    Free(Tree);
    Tree = Events;
    NameColumn = Column("Name");
    CountColumn = Column("Count");
  }
  // Roots with a name and a count.
  void Rows(const std::vector<std::pair<String, String>>& Values) {
    Events->BeginUpdate();
    for (const auto& [name, count] : Values) Node(name)->SetStrings(1, count);
    Events->EndUpdate();
  }
  std::vector<String> Roots() {
    std::vector<String> names;
    for (Integer i = 0; i < Events->GetRootCount(); ++i) names.push_back(Events->GetRootNode(i)->GetStrings(0));
    return names;
  }
  // Clicks the header of a column with the keys held.
  void ClickHeader(TzmTreeListColumn* Column, unsigned Keys = skNone) {
    TzmTreeListDrawInfo info;
    Events->CalcDrawInfo(info);
    for (const auto& item : info.Headers)
      if (Events->ColumnAt(item.ColumnIndex) == Column) {
        TPoint p = Events->ClientToScreen(Point(item.Bounds.Left + 20, item.Bounds.Top + 4));
        if (Keys & skShift) Headless::KeyDown(VK_SHIFT);
        if (Keys & skCtrl) Headless::KeyDown(VK_CONTROL);
        Headless::AdvanceClock(GetDoubleClickTime() + 1);
        Headless::Click(p.X, p.Y);
        Pump();
        if (Keys & skCtrl) Headless::KeyUp(VK_CONTROL);
        if (Keys & skShift) Headless::KeyUp(VK_SHIFT);
        Pump();
        return;
      }
    FAIL() << "no header";
  }

  TEventTreeList* Events = nullptr;
  TzmTreeListColumn* NameColumn = nullptr;
  TzmTreeListColumn* CountColumn = nullptr;
};

// ------------------------------------------------------------------ sorting

TEST_F(zmTLControlEvents, AHeaderClickSortsByThatColumnAndAgainTurnsTheOrder) {
  Rows({{"b", "2"}, {"c", "1"}, {"a", "3"}});
  Events->SetBehaviorOptions(Events->GetBehaviorOptions() | zmbSortOnColumnClick);
  std::vector<String> clicked;
  Events->OnColumnClicked = [&](TObject*, TzmTreeListColumn* Column) { clicked.push_back(Column->GetCaption()); };
  ClickHeader(NameColumn);
  EXPECT_EQ(NameColumn->GetSorted(), TzmTreeListColumnSort::csUp);
  EXPECT_EQ(Roots(), (std::vector<String>{"a", "b", "c"}));
  ClickHeader(NameColumn);
  EXPECT_EQ(NameColumn->GetSorted(), TzmTreeListColumnSort::csDown);
  EXPECT_EQ(Roots(), (std::vector<String>{"c", "b", "a"}));
  ClickHeader(CountColumn);
  EXPECT_EQ(NameColumn->GetSorted(), TzmTreeListColumnSort::csNone) << "one sorted column without Shift";
  EXPECT_EQ(Roots(), (std::vector<String>{"c", "b", "a"})) << "by the counts 1, 2, 3";
  EXPECT_EQ(clicked, (std::vector<String>{"Name", "Name", "Count"}));
  ClickHeader(CountColumn, skCtrl);
  EXPECT_EQ(CountColumn->GetSorted(), TzmTreeListColumnSort::csNone) << "Ctrl resets";
  EXPECT_EQ(Events->SortedColumnCount(), 0);
}

TEST_F(zmTLControlEvents, ShiftAddsAColumnToAMultiColumnSort) {
  Rows({{"x", "2"}, {"y", "1"}, {"x", "1"}, {"y", "2"}});
  Events->GetRootNode(0)->SetStrings(2, "x2");
  Events->SetBehaviorOptions(Events->GetBehaviorOptions() | zmbSortOnColumnClick);
  Events->SetExtraOptions(Events->GetExtraOptions() | zmxMultiSort);
  ClickHeader(NameColumn);
  ClickHeader(CountColumn, skShift);
  ASSERT_EQ(Events->SortedColumnCount(), 2);
  EXPECT_EQ(Events->SortedColumnAt(0), NameColumn);
  std::vector<String> pairs;
  for (Integer i = 0; i < Events->GetRootCount(); ++i)
    pairs.push_back(Events->GetRootNode(i)->GetStrings(0) + Events->GetRootNode(i)->GetStrings(1));
  EXPECT_EQ(pairs, (std::vector<String>{"x1", "x2", "y1", "y2"}));
  ClickHeader(CountColumn);
  EXPECT_EQ(Events->SortedColumnCount(), 1) << "a click without Shift sorts by that column alone";
}

TEST_F(zmTLControlEvents, ARefusedSortRequestChangesNothing) {
  Rows({{"b", "1"}, {"a", "2"}});
  Events->SetBehaviorOptions(Events->GetBehaviorOptions() | zmbSortOnColumnClick);
  Events->OnColumnSortRequest = [](TObject*, TzmTreeListColumn*, bool& Allow) { Allow = false; };
  ClickHeader(NameColumn);
  EXPECT_EQ(NameColumn->GetSorted(), TzmTreeListColumnSort::csNone);
  EXPECT_EQ(Roots(), (std::vector<String>{"b", "a"}));
}

TEST_F(zmTLControlEvents, SortingInCodeSortsChildrenToo) {
  TzmTreeListNode* parent = Node("p");
  Node("z", parent);
  Node("m", parent);
  Node("b");
  NameColumn->SetSorted(TzmTreeListColumnSort::csDown);
  EXPECT_EQ(Roots(), (std::vector<String>{"p", "b"}));
  EXPECT_EQ(parent->GetItem(0)->GetStrings(0), "z");
  NameColumn->SetSorted(TzmTreeListColumnSort::csUp);
  EXPECT_EQ(Roots(), (std::vector<String>{"b", "p"}));
  EXPECT_EQ(parent->GetItem(0)->GetStrings(0), "m");
}

TEST_F(zmTLControlEvents, TheSortStateEventChangesOnlyTheShownState) {
  NameColumn->SetSorted(TzmTreeListColumnSort::csUp);
  Events->OnColumnSortState = [](TObject*, TzmTreeListColumn*, TzmTreeListColumnSort& Sorted) {
    Sorted = TzmTreeListColumnSort::csDown;
  };
  EXPECT_EQ(Events->GetColumnSorted(0), TzmTreeListColumnSort::csDown);
  EXPECT_EQ(NameColumn->GetSorted(), TzmTreeListColumnSort::csUp);
}

// ------------------------------------------------------------------ columns: copies and names

TEST_F(zmTLControlEvents, CopiedColumnsKeepTheirSettingsAndNames) {
  auto* source = Add<TEventTreeList>(Form, "Source", Rect(0, 0, 10, 10));
  TzmTreeListColumn* secret = source->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
  secret->SetCaption("Secret");
  secret->SetPasswordChar('*');
  secret->SetWidth(77);
  TzmTreeListColumn* mask = source->CreateColumn(&TzmTreeListMaskColumn::StaticClass(), Form);
  static_cast<TzmTreeListMaskColumn*>(mask)->SetEditMask("00;0;_");
  Events->AssignColumns(source);
  ASSERT_EQ(Events->ColumnCount(), 2);
  TzmTreeListColumn* copy = Events->ColumnAt(0);
  EXPECT_NE(copy, secret);
  EXPECT_EQ(copy->GetCaption(), "Secret");
  EXPECT_EQ(copy->GetPasswordChar(), '*');
  EXPECT_EQ(copy->GetWidth(), 77);
  EXPECT_EQ(copy->GetTreeList(), Events);
  EXPECT_NE(As<TzmTreeListMaskColumn>(Events->ColumnAt(1)), nullptr);
  EXPECT_EQ(static_cast<TzmTreeListMaskColumn*>(Events->ColumnAt(1))->GetEditMask(), "00;0;_");
  EXPECT_EQ(copy->GetName(), "EventsColumn1") << "the source's name is taken: the next free one";
}

TEST_F(zmTLControlEvents, AColumnThatCannotBeCopiedLeavesTheColumnsAsTheyWere) {
  auto* source = Add<TEventTreeList>(Form, "Source", Rect(0, 0, 10, 10));
  source->CreateColumn(&TzmTreeListColumn::StaticClass(), Form)->SetCaption("One");
  source->CreateColumn(&TFragileColumn::StaticClass(), Form)->SetCaption("Two");
  Integer components = Form->GetComponentCount();
  TFragileColumn::Fails = true;
  EXPECT_THROW(Events->AssignColumns(source), Exception);
  TFragileColumn::Fails = false;
  ASSERT_EQ(Events->ColumnCount(), 2);
  EXPECT_EQ(Events->ColumnAt(0), NameColumn);
  EXPECT_EQ(Events->ColumnAt(1), CountColumn);
  EXPECT_EQ(Form->GetComponentCount(), components) << "the copies made so far are gone";
}

TEST_F(zmTLControlEvents, NewColumnsSkipNamesOthersHoldABoundedNumberOfTimes) {
  New<TComponent>(Form)->SetName("EventsColumn3");
  TzmTreeListColumn* third = Column();
  EXPECT_EQ(third->GetName(), "EventsColumn4");
  for (Integer n = 5; n <= 1010; ++n) New<TComponent>(Form)->SetName("EventsColumn" + IntToStr(n));
  Integer components = Form->GetComponentCount();
  EXPECT_THROW(Column(), EComponentError);
  EXPECT_EQ(Events->ColumnCount(), 3);
  EXPECT_EQ(Form->GetComponentCount(), components) << "the refused column is freed";
}

// ------------------------------------------------------------------ best fit and measuring

TEST_F(zmTLControlEvents, BestFitCountsTheDeepestNodeEvenWhenCollapsed) {
  TzmTreeListNode* root = Node("Root");
  TzmTreeListNode* deep = Node("x", Node("y", Node("z", root)));
  ASSERT_FALSE(deep->IsVisible());
  Integer changes = 0;
  Events->OnColumnsWidthChanged = [&](TObject*) { ++changes; };
  Events->BestFitColumn(0);
  Integer withDeep = NameColumn->GetWidth();
  Free(deep);
  Events->BestFitColumn(0);
  EXPECT_LT(NameColumn->GetWidth(), withDeep) << "one level less to indent";
  EXPECT_EQ(changes, 2);
  CountColumn->SetCaption("A long caption for a short column");
  Events->BestFitColumn(1);
  TCanvas canvas;
  TCanvasDCScope bound(&canvas, TreeListMeasureDC());
  canvas.GetFont()->Assign(Events->GetHeaderCaptionFont());
  EXPECT_GE(CountColumn->GetWidth(), canvas.TextWidth(CountColumn->GetCaption()) + 15) << "the caption and its button";
}

TEST_F(zmTLControlEvents, ACellIsMeasuredByItsEditorClassOrTheEvent) {
  TzmTreeListNode* node = Node("n");
  Integer height = 0, lines = 0;
  String text = "one two three four five six seven eight nine ten";
  ASSERT_TRUE(Events->CalcCellLineCount(node, 0, height, lines, false, false, -1, 18, 60, text));
  EXPECT_GT(lines, 2);
  Integer all = lines, tall = height;
  ASSERT_TRUE(Events->CalcCellLineCount(node, 0, height, lines, false, false, 2, 18, 60, text));
  EXPECT_EQ(lines, 2);
  EXPECT_LT(height, tall);
  Events->OnRowLineHeight = [](TObject*, TzmTreeListNode*, TzmTreeListColumn*, const String&, Integer, Integer,
                               Integer& Height, Integer& Lines, bool& Done) {
    Height = 40;
    Lines = 7;
    Done = true;
  };
  ASSERT_TRUE(Events->CalcCellLineCount(node, 0, height, lines, false, false, -1, 18, 60, text));
  EXPECT_EQ(lines, 7);
  EXPECT_EQ(height, 43) << "three more than the event's";
  EXPECT_GT(all, 2);
}

// ------------------------------------------------------------------ events behind the hooks

TEST_F(zmTLControlEvents, BandsAndHeadersReportWhatHappensToThem) {
  Events->GetBands()->Add()->SetCaption("Second");
  std::vector<std::string> log;
  auto caption = [](TzmTreeListBand* Band) { return std::string(Band->GetCaption()); };
  Events->OnBandHidden = [&](TObject*, TzmTreeListBand* Band) { log.push_back("band hidden " + caption(Band)); };
  Events->OnBandShown = [&](TObject*, TzmTreeListBand* Band, Integer At) {
    log.push_back("band shown " + caption(Band) + " at " + std::to_string(At));
  };
  Events->OnHeaderHidden = [&](TObject*, TzmTreeListColumn* Column) { log.push_back("hidden " + Column->GetCaption()); };
  Events->OnHeaderShown = [&](TObject*, TzmTreeListColumn* Column, Integer Band, Integer Row, Integer Col) {
    log.push_back("shown " + Column->GetCaption() + " " + std::to_string(Band) + std::to_string(Row) +
                  std::to_string(Col));
  };
  Events->OnHeaderPlaced = [&](TObject*, TzmTreeListColumn* Column) { log.push_back("placed " + Column->GetCaption()); };
  Events->HideBand(1);
  Events->ShowBand(0, 1);
  Events->HideHeader(0);
  Events->ShowHeader(0, 0, 1, 0);
  Events->MoveHeader(Events->IndexOfColumn(CountColumn), 0, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"band hidden Second", "band shown Second at 0", "hidden Name",
                                           "shown Name 001", "placed Count"}));
  EXPECT_EQ(Events->GetBands()->GetItem(0)->GetCaption(), "Second") << "shown at the first place";
}

TEST_F(zmTLControlEvents, DragPermissionsAskTheApplicationLast) {
  Events->GetBands()->Add();
  EXPECT_TRUE(Events->CanDragColumn(0));
  EXPECT_TRUE(Events->CanDragBand(1));
  Events->OnHeaderDragAllowed = [&](TObject*, TzmTreeListColumn* Column, bool& Allow) { Allow = Column != NameColumn; };
  Events->OnBandDragAllowed = [](TObject*, TzmTreeListBand*, bool& Allow) { Allow = false; };
  EXPECT_FALSE(Events->CanDragColumn(0));
  EXPECT_TRUE(Events->CanDragColumn(1));
  EXPECT_FALSE(Events->CanDragBand(1));
  NameColumn->SetDisableDragging(true);
  Events->OnHeaderDragAllowed = [](TObject*, TzmTreeListColumn*, bool& Allow) { EXPECT_FALSE(Allow); };
  EXPECT_FALSE(Events->CanDragColumn(0)) << "the event sees the control's answer";
}

TEST_F(zmTLControlEvents, FooterCellsAndDragTextsComeFromTheEvents) {
  EXPECT_FALSE(Events->HasFooterCell(1));
  Events->OnFooterCellExists = [&](TObject*, TzmTreeListColumn* Column, bool& Exists) { Exists = Column == CountColumn; };
  EXPECT_TRUE(Events->HasFooterCell(1));
  EXPECT_FALSE(Events->HasFooterCell(0));
  TzmTreeListNode* node = Node("n");
  Events->OnNodeDragText = [](TObject*, TzmTreeListNode*, TzmTreeListColumn*, String& Text) { Text += "!"; };
  String text;
  Events->GetNodeDragText(node, 0, text);
  EXPECT_EQ(text, "n!");
}

}  // namespace
