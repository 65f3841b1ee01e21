// Table options: defaults, clamps and side effects; content style resolution; the filter dialogs
// the customize operation opens.
#include "grid/qvFilterControlDialog.h"
#include "grid/qvFilterDialog.h"
#include "platform/forms/StdCtrls.h"
#include "support/IdleScript.h"
#include "qvGridTableTestSupport.h"

namespace {

class GridTableOptions : public TGridTableTest {};

TEST_F(GridTableOptions, Defaults) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableFiltering* filtering = view->GetFiltering();
  EXPECT_TRUE(filtering->GetCustomizeDialog());
  EXPECT_EQ(0, filtering->GetDropDownWidth());
  EXPECT_EQ(15, filtering->GetMaxDropDownCount());
  EXPECT_EQ(fvNonEmpty, filtering->GetVisible());
  TqvCustomGridTableOptionsBehavior* behavior = view->GetOptionsBehavior();
  EXPECT_FALSE(behavior->AlwaysShowEditor);
  EXPECT_TRUE(behavior->ImmediateEditor);
  EXPECT_TRUE(behavior->DragHighlighting && behavior->DragOpening && behavior->DragScrolling);
  EXPECT_EQ(dfNone, behavior->DragFocusing);
  EXPECT_FALSE(behavior->GetIncSearch() || behavior->GetFocusCellOnTab() || behavior->FocusCellOnCycle);
  TqvCustomGridTableOptionsData* data = view->GetOptionsData();
  EXPECT_FALSE(data->Appending);
  EXPECT_TRUE(data->CancelOnExit && data->GetDeleting() && data->DeletingConfirmation && data->GetEditing() &&
              data->GetInserting());
  TqvCustomGridTableOptionsSelection* selection = view->GetOptionsSelection();
  EXPECT_TRUE(selection->GetCellSelect() && selection->GetHideFocusRect() && selection->GetInvertSelect() &&
              selection->UnselectFocusedRecordOnExit);
  EXPECT_FALSE(selection->GetHideSelection() || selection->GetMultiSelect());
  TqvCustomGridTableOptionsView* options = view->GetOptionsView();
  EXPECT_FALSE(options->GetCellAutoHeight() || options->GetCellEndEllipsis() || options->GetNavigator());
  EXPECT_EQ(0, options->GetCellTextMaxLineCount());
  EXPECT_EQ(50, options->GetNavigatorOffset());
  EXPECT_EQ(gsebNever, options->GetShowEditButtons());
}

struct TClampCase {
  const char* Name;
  std::function<void(TTestTableView*, Integer)> Set;
  std::function<Integer(TTestTableView*)> Get;
};

class GridTableOptionClamps : public GridTableOptions, public ::testing::WithParamInterface<TClampCase> {};

TEST_P(GridTableOptionClamps, NegativeValuesBecomeZero) {
  TTestTableView* view = AddTableView(1, 0);
  GetParam().Set(view, -5);
  EXPECT_EQ(0, GetParam().Get(view));
  GetParam().Set(view, 7);
  EXPECT_EQ(7, GetParam().Get(view));
}

INSTANTIATE_TEST_SUITE_P(
    Options, GridTableOptionClamps,
    ::testing::Values(
        TClampCase{"DropDownWidth", [](TTestTableView* V, Integer X) { V->GetFiltering()->SetDropDownWidth(X); },
                   [](TTestTableView* V) { return V->GetFiltering()->GetDropDownWidth(); }},
        TClampCase{"MaxDropDownCount", [](TTestTableView* V, Integer X) { V->GetFiltering()->SetMaxDropDownCount(X); },
                   [](TTestTableView* V) { return V->GetFiltering()->GetMaxDropDownCount(); }},
        TClampCase{"BestFitMaxRecordCount",
                   [](TTestTableView* V, Integer X) { V->GetOptionsBehavior()->SetBestFitMaxRecordCount(X); },
                   [](TTestTableView* V) { return V->GetOptionsBehavior()->GetBestFitMaxRecordCount(); }},
        TClampCase{"CellTextMaxLineCount",
                   [](TTestTableView* V, Integer X) { V->GetOptionsView()->SetCellTextMaxLineCount(X); },
                   [](TTestTableView* V) { return V->GetOptionsView()->GetCellTextMaxLineCount(); }},
        TClampCase{"NavigatorOffset", [](TTestTableView* V, Integer X) { V->GetOptionsView()->SetNavigatorOffset(X); },
                   [](TTestTableView* V) { return V->GetOptionsView()->GetNavigatorOffset(); }}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableOptions, TheDropDownShowsAtMostTheMaximumUnlessItIsZero) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableFiltering* filtering = view->GetFiltering();
  EXPECT_EQ(15, filtering->GetDropDownCount(20));
  EXPECT_EQ(7, filtering->GetDropDownCount(7));
  filtering->SetMaxDropDownCount(0);
  EXPECT_EQ(20, filtering->GetDropDownCount(20));
}

TEST_F(GridTableOptions, FocusCellOnTabGivesTheSiteTheTabKey) {
  TTestTableView* view = AddTableView(1, 0);
  TqvGridSite* site = view->GetSite();
  const TqvDialogKeys before = site->GetKeys();
  view->GetOptionsBehavior()->SetFocusCellOnTab(true);
  EXPECT_EQ(before | dkBit(dkTab), site->GetKeys());
  view->GetOptionsBehavior()->SetFocusCellOnTab(false);
  EXPECT_EQ(before & ~dkBit(dkTab), site->GetKeys());
}

TEST_F(GridTableOptions, CellSelectOffDropsTheFocusedItemAndOnFocusesTheFirst) {
  TTestTableView* view = AddTableView(3, 2);
  view->GetItem(0)->GetOptions()->SetFocusing(false);
  view->GetOptionsSelection()->SetCellSelect(false);
  EXPECT_EQ(nullptr, view->Controller()->GetFocusedItem());
  view->GetOptionsSelection()->SetCellSelect(true);
  EXPECT_EQ(view->GetItem(1), view->Controller()->GetFocusedItem());
}

TEST_F(GridTableOptions, MultiSelectIsTheDataControllersAndEachViewKeepsItsOwn) {
  TTestTableView* first = AddTableView(1, 0);
  TTestTableView* second = AddTableView(1, 0);
  first->GetOptionsSelection()->SetMultiSelect(true);
  EXPECT_TRUE(first->GetDataController()->GetMultiSelect());
  EXPECT_FALSE(second->GetOptionsSelection()->GetMultiSelect());
}

TEST_F(GridTableOptions, OptionsThatChangeTheLayoutQueueAChangeOfTheView) {
  TTestTableView* view = AddTableView(1, 0);
  struct {
    const char* Name;
    std::function<void()> Change;
  } cases[] = {{"CellAutoHeight", [&] { view->GetOptionsView()->SetCellAutoHeight(true); }},
               {"Navigator", [&] { view->GetOptionsView()->SetNavigator(true); }},
               {"InvertSelect", [&] { view->GetOptionsSelection()->SetInvertSelect(false); }},
               {"FilterVisible", [&] { view->GetFiltering()->SetVisible(fvAlways); }},
               {"ShowEditButtons", [&] { view->GetOptionsView()->SetShowEditButtons(gsebAlways); }}};
  for (auto& c : cases) {
    FGrid->BeginUpdate();
    c.Change();
    EXPECT_EQ(1, FGrid->GetChangeQueue().GetCount()) << c.Name;
    EXPECT_EQ(view, FGrid->GetChangeQueue().GetItem(0)->GetGridView()) << c.Name;
    FGrid->CancelUpdate();
  }
  // An equal value queues nothing.
  FGrid->BeginUpdate();
  view->GetOptionsView()->SetNavigator(true);
  EXPECT_EQ(0, FGrid->GetChangeQueue().GetCount());
  FGrid->CancelUpdate();
}

TEST_F(GridTableOptions, ACopyTakesEveryOption) {
  TTestTableView* source = AddTableView(1, 0);
  TTestTableView* copy = AddTableView(1, 0);
  source->GetFiltering()->SetMaxDropDownCount(4);
  source->GetOptionsBehavior()->SetBestFitMaxRecordCount(12);
  source->GetOptionsBehavior()->FocusCellOnCycle = true;
  source->GetOptionsData()->Appending = true;
  source->GetOptionsData()->SetDeleting(false);
  source->GetOptionsSelection()->SetInvertSelect(false);
  source->GetOptionsView()->SetNavigatorOffset(9);
  source->GetOptionsCustomize()->ItemMoving = false;
  copy->GetFiltering()->Assign(source->GetFiltering());
  copy->GetOptionsBehavior()->Assign(source->GetOptionsBehavior());
  copy->GetOptionsData()->Assign(source->GetOptionsData());
  copy->GetOptionsSelection()->Assign(source->GetOptionsSelection());
  copy->GetOptionsView()->Assign(source->GetOptionsView());
  copy->GetOptionsCustomize()->Assign(source->GetOptionsCustomize());
  EXPECT_EQ(4, copy->GetFiltering()->GetMaxDropDownCount());
  EXPECT_EQ(12, copy->GetOptionsBehavior()->GetBestFitMaxRecordCount());
  EXPECT_TRUE(copy->GetOptionsBehavior()->FocusCellOnCycle);
  EXPECT_TRUE(copy->GetOptionsData()->Appending);
  EXPECT_FALSE(copy->GetOptionsData()->GetDeleting());
  EXPECT_FALSE(copy->GetOptionsSelection()->GetInvertSelect());
  EXPECT_EQ(9, copy->GetOptionsView()->GetNavigatorOffset());
  EXPECT_FALSE(copy->GetOptionsCustomize()->ItemMoving);
}

// -- Content styles

class GridTableContentStyles : public GridTableOptions {
 protected:
  TqvStyle* MakeStyle(TColor AColor) {
    auto* style = New<TqvStyle>(FForm);
    style->SetColor(AColor);
    return style;
  }
  static TColor ContentColor(TTestTableView* AView, Integer ARow, TqvCustomGridTableItem* AItem = nullptr) {
    TqvViewParams params;
    AView->GetStyles()->GetContentParams(AView->Data()->GetRecord(ARow), AItem, params);
    return params.Color;
  }
};

TEST_F(GridTableContentStyles, AnOddStyleAloneColoursOnlyTheOddPositions) {
  TTestTableView* view = AddTableView(1, 4);
  view->GetStyles()->SetContent(MakeStyle(clYellow));
  view->GetStyles()->SetContentOdd(MakeStyle(clAqua));
  EXPECT_EQ(clYellow, ContentColor(view, 0));
  EXPECT_EQ(clAqua, ContentColor(view, 1));
  EXPECT_EQ(clYellow, ContentColor(view, 2));
  // The item's content falls back to the view's for its record.
  EXPECT_EQ(clAqua, ContentColor(view, 3, view->GetItem(0)));
  view->GetItem(0)->GetStyles()->SetContent(MakeStyle(clLime));
  EXPECT_EQ(clLime, ContentColor(view, 3, view->GetItem(0)));
}

TEST_F(GridTableContentStyles, TheEventsStyleWinsOverTheIndexedOnes) {
  TTestTableView* view = AddTableView(1, 4);
  view->GetStyles()->SetContentEven(MakeStyle(clAqua));
  TqvStyle* red = MakeStyle(clRed);
  view->GetStyles()->OnGetContentStyle = [&](TqvCustomGridTableView*, TqvCustomGridRecord* ARecord,
                                             TqvCustomGridTableItem*, TqvStyle*& AStyle) {
    if (ARecord->GetIndex() == 2) AStyle = red;
  };
  EXPECT_EQ(clRed, ContentColor(view, 2));
  EXPECT_EQ(clAqua, ContentColor(view, 0));
  // Without a style of its own the content takes the painter's default.
  EXPECT_EQ(view->GetLookAndFeelPainter()->DefaultContentColor(), ContentColor(view, 1));
}

TEST_F(GridTableContentStyles, ASelectedCellTakesTheSelectionWhileActiveElseInactive) {
  TTestTableView* view = AddTableView(2, 3);
  view->GetOptionsSelection()->SetMultiSelect(true);
  view->Data()->GetRecord(1)->SetSelected(true);
  TqvCustomGridTableViewStyles* styles = view->GetStyles();
  TqvLookAndFeelPainterClass painter = view->GetLookAndFeelPainter();
  TqvViewParams params;
  auto* other = Add<TButton>(FForm, Rect(320, 10, 380, 40));
  other->SetFocus();
  Pump();
  ASSERT_FALSE(view->IsControlFocused());
  styles->GetDataCellParams(view->Data()->GetRecord(1), view->GetItem(0), nullptr, false, params);
  EXPECT_EQ(painter->DefaultInactiveColor(), params.Color);
  FGrid->SetFocus();
  Pump();
  ASSERT_TRUE(view->IsControlFocused());
  styles->GetDataCellParams(view->Data()->GetRecord(1), view->GetItem(0), nullptr, false, params);
  EXPECT_EQ(painter->DefaultSelectionColor(), params.Color);
  styles->GetDataCellParams(view->Data()->GetRecord(2), view->GetItem(0), nullptr, false, params);
  EXPECT_EQ(painter->DefaultContentColor(), params.Color);
  // With HideSelection the selection goes with the focus.
  view->GetOptionsSelection()->SetHideSelection(true);
  other->SetFocus();
  Pump();
  styles->GetDataCellParams(view->Data()->GetRecord(1), view->GetItem(0), nullptr, false, params);
  EXPECT_EQ(painter->DefaultContentColor(), params.Color);
}

// -- Filter dialogs

class GridTableCustomizeDialog : public GridTableOptions {
 protected:
  static TForm* ShownDialog() {
    for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
      TCustomForm* form = Screen->GetCustomForm(i);
      if (As<TqvFilterDialog>(form) || As<TfmFilterControlDialog>(form)) return static_cast<TForm*>(form);
    }
    return nullptr;
  }
  // Runs the customize operation; the dialog shown is named and cancelled.
  std::string RunAndCancel(TTestTableView* AView, TqvCustomGridTableItem* AItem) {
    std::string shown = "none";
    RunWhenIdle({[&] {
      TForm* dialog = ShownDialog();
      if (As<TqvFilterDialog>(dialog)) shown = "custom";
      if (As<TfmFilterControlDialog>(dialog)) shown = "builder";
      if (!dialog) return;
      dialog->SetModalResult(mrCancel);
      PostMessage(dialog->GetHandle(), WM_NULL, 0, 0);
    }});
    AView->GetFiltering()->RunCustomizeDialog(AItem);
    return shown;
  }
};

TEST_F(GridTableCustomizeDialog, ASimpleFilterOfAnItemOpensTheCustomDialog) {
  TTestTableView* view = AddTableView(2, 3);
  EXPECT_EQ("custom", RunAndCancel(view, view->GetItem(0)));
  EXPECT_FALSE(view->GetDataController()->GetFilter()->GetActive());
}

TEST_F(GridTableCustomizeDialog, WithoutAnItemOrForAComplexFilterTheBuilderOpensAndTellsTheView) {
  TTestTableView* view = AddTableView(2, 3);
  Integer shows = 0;
  view->OnFilterControlDialogShow = [&](TObject*) { ++shows; };
  EXPECT_EQ("builder", RunAndCancel(view, nullptr));
  EXPECT_EQ(1, shows);
  TqvDataFilterCriteria* filter = view->GetDataController()->GetFilter();
  TqvFilterCriteriaItemList* group = filter->GetRoot()->AddItemList(fjkOr);
  filter->AddItem(group, view->GetItem(0), okEqual, "r1c0", "r1c0");
  filter->AddItem(group, view->GetItem(1), okEqual, "r1c1", "r1c1");
  ASSERT_TRUE(IsComplexFilter(filter));
  EXPECT_EQ("builder", RunAndCancel(view, view->GetItem(0)));
  EXPECT_EQ(2, shows);
}

TEST_F(GridTableCustomizeDialog, ConfirmingTheCustomDialogActivatesTheFilter) {
  TTestTableView* view = AddTableView(1, 3);
  RunWhenIdle({[&] {
            auto* dialog = As<TqvFilterDialog>(ShownDialog());
            ASSERT_NE(nullptr, dialog);
            dialog->SetOperator(0, froEquals);
            dialog->GetValueEdit(0)->SetEditValue("r1c0");
          },
          [&] {
            TqvButton* ok = As<TqvFilterDialog>(ShownDialog())->GetOkButton();
            const TPoint p = ok->ClientToScreen({ok->GetWidth() / 2, ok->GetHeight() / 2});
            Headless::MoveMouse(p.X, p.Y);
            Headless::MouseDown(0);
            Headless::MouseUp(0);
          }});
  view->GetFiltering()->RunCustomizeDialog(view->GetItem(0));
  EXPECT_TRUE(view->GetDataController()->GetFilter()->GetActive());
  EXPECT_EQ(1, view->GetDataController()->GetRowCount());
}

}  // namespace
