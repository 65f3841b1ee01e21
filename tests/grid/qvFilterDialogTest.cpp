// The custom filter dialog of one column, and the test whether a filter fits it.
#include "editors/qvComboBox.h"
#include "editors/qvProgressBar.h"
#include "editors/qvRadioGroup.h"
#include "grid/qvFilterDialog.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/StdCtrls.h"
#include "qvFilterControlTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Complex filters

// One root entry: a condition (Second < 0) or a list of two conditions.
struct TEntry {
  Integer First;
  TqvFilterOperatorKind FirstKind;
  Integer Second = -1;
  TqvFilterOperatorKind SecondKind = okEqual;
  TqvFilterJoinKind Join = fjkAnd;
  bool ExtraInList = false;  // a third condition in the list
};

struct TComplexCase {
  const char* Name;
  TqvFilterJoinKind Root;
  std::vector<TEntry> Entries;
  bool Complex;
};

class ComplexFilter : public ::testing::TestWithParam<TComplexCase> {
 protected:
  ComplexFilter() {
    Link = MakeOwned<TTestFilterLink>(nullptr);
    Link->AddItem(1, "A", TqvStringValueType::Class());
    Link->AddItem(2, "B", TqvIntegerValueType::Class());
  }
  TOwned<TTestFilterLink> Link;
};

TEST_P(ComplexFilter, Decides) {
  const TComplexCase& c = GetParam();
  TqvDataFilterCriteria* filter = Link->Filter();
  filter->GetRoot()->SetJoinKind(c.Root);
  for (const TEntry& e : c.Entries) {
    if (e.Second < 0) {
      filter->AddItem(nullptr, Link->Item(e.First), e.FirstKind, String("v"), "v");
      continue;
    }
    TqvFilterCriteriaItemList* list = filter->GetRoot()->AddItemList(e.Join);
    filter->AddItem(list, Link->Item(e.First), e.FirstKind, String("v"), "v");
    filter->AddItem(list, Link->Item(e.Second), e.SecondKind, String("w"), "w");
    if (e.ExtraInList) filter->AddItem(list, Link->Item(e.First), okEqual, String("x"), "x");
  }
  const Integer before = filter->GetRoot()->GetCount();
  EXPECT_EQ(c.Complex, IsComplexFilter(filter));
  EXPECT_EQ(before, filter->GetRoot()->GetCount());
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ComplexFilter,
    ::testing::Values(
        TComplexCase{"Empty", fjkAnd, {}, false},
        TComplexCase{"EmptyWithAnOrRoot", fjkOr, {}, true},
        TComplexCase{"OneConditionPerColumn", fjkAnd, {{0, okEqual}, {1, okLess}}, false},
        TComplexCase{"OneConditionPerColumnJoinedByOr", fjkOr, {{0, okEqual}, {1, okLess}}, true},
        TComplexCase{"TwoRootConditionsOnOneColumn", fjkAnd, {{0, okEqual}, {0, okNotEqual}}, true},
        TComplexCase{"PairJoinedByOr", fjkAnd, {{0, okLike, 0, okNotLike, fjkOr}}, false},
        TComplexCase{"PairJoinedByAndBesideAnotherColumn", fjkAnd, {{0, okGreater, 0, okLess, fjkAnd}, {1, okEqual}},
                     false},
        TComplexCase{"PairJoinedByNotAnd", fjkAnd, {{0, okGreater, 0, okLess, fjkNotAnd}}, true},
        TComplexCase{"PairOnTwoColumns", fjkAnd, {{0, okEqual, 1, okEqual, fjkOr}}, true},
        TComplexCase{"ListOfThree", fjkAnd, {{0, okEqual, 0, okEqual, fjkOr, true}}, true},
        TComplexCase{"PairAfterAConditionOnItsColumn", fjkAnd, {{0, okEqual}, {0, okLess, 0, okGreater, fjkOr}},
                     true},
        TComplexCase{"Between", fjkAnd, {{1, okBetween}}, true},
        TComplexCase{"PairWithAnInList", fjkAnd, {{0, okEqual, 0, okInList, fjkOr}}, true},
        TComplexCase{"RelativeDate", fjkAnd, {{1, okToday}}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// The dialog, run modally and answered through its controls

class CustomFilterDialog : public TFilterControlTest {
 protected:
  void SetUp() override {
    TFilterControlTest::SetUp();
    Show();
  }
  static TqvFilterDialog* Dialog() {
    for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i)
      if (auto* dialog = As<TqvFilterDialog>(Screen->GetCustomForm(i))) return dialog;
    return nullptr;
  }
  // Queues a click on the button for the dialog's own loop.
  static void Press(TqvButton* AButton) {
    const TPoint p = AButton->ClientToScreen({AButton->GetWidth() / 2, AButton->GetHeight() / 2});
    Headless::MoveMouse(p.X, p.Y);
    Headless::MouseDown(0);
    Headless::MouseUp(0);
  }
  static void PressOk() { Press(Dialog()->GetOkButton()); }
  static void PressCancel() { Press(Dialog()->GetCancelButton()); }
  static void SetValue(Integer AIndex, const String& AText) { Dialog()->GetValueEdit(AIndex)->SetEditValue(AText); }
  static String ValueText(Integer AIndex) { return VarToStr(Dialog()->GetValueEdit(AIndex)->GetEditValue()); }

  // Runs the dialog on the item with the steps; Shown counts the steps that found the dialog.
  bool Run(Integer AItemIndex, std::vector<std::function<void()>> ASteps, TqvLookAndFeel* ALookAndFeel = nullptr) {
    for (auto& step : ASteps)
      step = [this, step] {
        if (Dialog()) ++Shown;
        step();
      };
    RunWhenIdle(std::move(ASteps));
    TTestFilterItem* item = Link->Item(AItemIndex);
    return ShowCustomFilterDialog(Link->Filter(), item, item->Properties.get(), item->Caption,
                                  Link->Controller->GetItemValueTypeClass(AItemIndex), ALookAndFeel);
  }
  TqvFilterCriteriaItem* RootCondition(Integer AIndex) const {
    return static_cast<TqvFilterCriteriaItem*>(Link->Filter()->GetRoot()->GetItem(AIndex));
  }

  Integer Shown = 0;
};

TEST_F(CustomFilterDialog, AStringColumnPreselectsLikeAndShowsTheWildcardHints) {
  TqvFilterDialog* dialog = nullptr;
  const bool result = Run(0, {[&] {
    dialog = Dialog();
    EXPECT_EQ("Custom Filter", dialog->GetCaption());
    EXPECT_GE(dialog->GetClientWidth(), TqvFilterDialog::DefaultClientWidth) << "wider only for its texts";
    EXPECT_GE(dialog->GetClientHeight(), TqvFilterDialog::DefaultClientHeight);
    EXPECT_EQ("Show rows where:", dialog->GetTitleLabel()->GetCaption());
    EXPECT_EQ("Name ", dialog->GetColumnCaptionLabel()->GetCaption());
    EXPECT_EQ(froLike, dialog->GetOperator(0));
    EXPECT_EQ(froNone, dialog->GetOperator(1));
    EXPECT_TRUE(dialog->GetSingleLabel()->GetVisible());
    EXPECT_TRUE(dialog->GetSeriesLabel()->GetVisible());
    EXPECT_EQ("Use _ to represent any single character", dialog->GetSingleLabel()->GetCaption());
    EXPECT_EQ("Use % to represent any series of characters", dialog->GetSeriesLabel()->GetCaption());
    EXPECT_EQ("AND", dialog->GetAndButton()->GetCaption());
    EXPECT_TRUE(dialog->GetAndButton()->GetChecked());
    EXPECT_EQ(dialog->GetOperatorCombo(0)->GetTabOrder() + 1, dialog->GetValueEdit(0)->GetTabOrder());
    // Over the place holders (their height is the editor's own).
    for (Integer i = 0; i < 2; ++i) {
      const TRect r = dialog->GetValueEdit(i)->GetBoundsRect();
      EXPECT_EQ(208, r.Left);
      EXPECT_EQ(i == 0 ? 46 : 96, r.Top);
      EXPECT_EQ(193, r.Width());
    }
    PressCancel();
  }});
  EXPECT_FALSE(result);
  EXPECT_EQ(1, Shown);
  EXPECT_EQ(0, Link->Filter()->GetRoot()->GetCount());
}

// The hints and the buttons are laid out from their measured texts in the stored order and
// spacing: the longer hint ends a margin before OK, the buttons hold their captions at the right
// margin 7 pixels apart, the second hint lies below the first, and nothing leaves the dialog.
struct TFilterDialogFontCase {
  const char* Name;
  Integer FontHeight;
  friend void PrintTo(const TFilterDialogFontCase& c, std::ostream* os) { *os << c.Name; }
};

class CustomFilterDialogLayout : public CustomFilterDialog, public ::testing::WithParamInterface<TFilterDialogFontCase> {};

TEST_P(CustomFilterDialogLayout, FollowsTheMeasuredTexts) {
  TTestFilterItem* item = Link->Item(0);
  auto* dialog = New<TqvFilterDialog>(nullptr);
  dialog->GetFont()->SetHeight(GetParam().FontHeight);
  dialog->Init(Link->Filter(), item, item->Properties.get(), item->Caption,
               Link->Controller->GetItemValueTypeClass(0), nullptr,
               GetFilterEditsController()->FindHelper(item->Properties->ClassType()));
  const TRect single = dialog->GetSingleLabel()->GetBoundsRect(), series = dialog->GetSeriesLabel()->GetBoundsRect();
  const TRect ok = dialog->GetOkButton()->GetBoundsRect(), cancel = dialog->GetCancelButton()->GetBoundsRect();
  TCanvas* canvas = dialog->GetCanvas();
  canvas->SetFont(dialog->GetFont());
  EXPECT_GE(single.Width(), canvas->TextWidth(dialog->GetSingleLabel()->GetCaption()));
  EXPECT_GE(series.Width(), canvas->TextWidth(dialog->GetSeriesLabel()->GetCaption()));
  EXPECT_GE(series.Top, single.Bottom) << "the hints do not overlap";
  EXPECT_GE(ok.Left, std::max(single.Right, series.Right) + 8) << "a margin between the hints and OK";
  EXPECT_EQ(cancel.Left - ok.Right, 7);
  EXPECT_EQ(dialog->GetClientWidth() - cancel.Right, 9);
  for (TqvButton* button : {dialog->GetOkButton(), dialog->GetCancelButton()})
    EXPECT_GE(button->GetWidth(), canvas->TextWidth(button->GetCaption())) << button->GetCaption();
  EXPECT_GE(dialog->GetClientWidth(), TqvFilterDialog::DefaultClientWidth);
  EXPECT_LE(series.Bottom, dialog->GetClientHeight());
  EXPECT_LE(ok.Bottom, dialog->GetClientHeight());
  Free(dialog);
}

INSTANTIATE_TEST_SUITE_P(Fonts, CustomFilterDialogLayout,
                         ::testing::Values(TFilterDialogFontCase{"Stored", -11}, TFilterDialogFontCase{"Large", -20}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CustomFilterDialog, ANumberColumnPreselectsEqualsWithoutHints) {
  Run(1, {[&] {
    EXPECT_EQ(froEquals, Dialog()->GetOperator(0));
    EXPECT_FALSE(Dialog()->GetSingleLabel()->GetVisible());
    EXPECT_FALSE(Dialog()->GetSeriesLabel()->GetVisible());
    PressCancel();
  }});
  EXPECT_EQ(1, Shown);
}

TEST_F(CustomFilterDialog, TheOperatorListFollowsUpAndDownAndTheHintsFollowIt) {
  Run(0, {[&] {
            Dialog()->GetOperatorCombo(0)->SetFocus();
            Headless::PressKey(VK_DOWN, skNone);
          },
          [&] {
            EXPECT_EQ(froNotLike, Dialog()->GetOperator(0));
            EXPECT_TRUE(Dialog()->GetSingleLabel()->GetVisible());
            Headless::PressKey(VK_DOWN, skNone);
          },
          [&] {
            EXPECT_EQ(froBlank, Dialog()->GetOperator(0));
            EXPECT_FALSE(Dialog()->GetSingleLabel()->GetVisible());
            EXPECT_FALSE(Dialog()->GetSeriesLabel()->GetVisible());
            PressCancel();
          }});
  EXPECT_EQ(3, Shown);
}

TEST_F(CustomFilterDialog, OkWithoutASecondOperatorAddsOneConditionAndKeepsOtherColumns) {
  AddFilter(nullptr, 1, okGreater, 5, "5");
  AddFilter(nullptr, 0, okEqual, String("old"), "old");
  const bool result = Run(0, {[&] {
                                EXPECT_EQ(froEquals, Dialog()->GetOperator(0));
                                EXPECT_EQ("old", ValueText(0));
                                Dialog()->SetOperator(0, froLike);
                                SetValue(0, "a%");
                              },
                              [&] { PressOk(); }});
  EXPECT_TRUE(result);
  TqvFilterCriteriaItemList* root = Link->Filter()->GetRoot();
  EXPECT_EQ(fjkAnd, root->GetJoinKind());
  ASSERT_EQ(2, root->GetCount());
  EXPECT_EQ(Link->Item(1), RootCondition(0)->GetItemLink());
  EXPECT_EQ(Link->Item(0), RootCondition(1)->GetItemLink());
  EXPECT_EQ(okLike, RootCondition(1)->GetOperatorKind());
  EXPECT_EQ(Variant(String("a%")), RootCondition(1)->GetValue());
  EXPECT_EQ("a%", RootCondition(1)->GetDisplayValue());
}

TEST_F(CustomFilterDialog, ASecondOperatorWithOrAddsAnOrListAndIsShownAgain) {
  const bool result = Run(0, {[&] {
                                Dialog()->SetOperator(0, froEquals);
                                SetValue(0, "a");
                                Dialog()->SetOperator(1, froNotEquals);
                                SetValue(1, "b");
                                Dialog()->GetOrButton()->SetChecked(true);
                              },
                              [&] { PressOk(); }});
  EXPECT_TRUE(result);
  TqvFilterCriteriaItemList* root = Link->Filter()->GetRoot();
  ASSERT_EQ(1, root->GetCount());
  ASSERT_TRUE(root->GetItem(0)->IsItemList());
  auto* list = static_cast<TqvFilterCriteriaItemList*>(root->GetItem(0));
  EXPECT_EQ(fjkOr, list->GetJoinKind());
  ASSERT_EQ(2, list->GetCount());
  auto* second = static_cast<TqvFilterCriteriaItem*>(list->GetItem(1));
  EXPECT_EQ(okNotEqual, second->GetOperatorKind());
  EXPECT_EQ(Variant(String("b")), second->GetValue());
  // The next dialog shows both conditions and the join.
  Run(0, {[&] {
    EXPECT_EQ(froEquals, Dialog()->GetOperator(0));
    EXPECT_EQ("a", ValueText(0));
    EXPECT_EQ(froNotEquals, Dialog()->GetOperator(1));
    EXPECT_EQ("b", ValueText(1));
    EXPECT_TRUE(Dialog()->GetOrButton()->GetChecked());
    PressCancel();
  }});
}

TEST_F(CustomFilterDialog, IsBlankStoresEqualToNullShownAsBlank) {
  EXPECT_TRUE(Run(0, {[&] {
                        Dialog()->SetOperator(0, froBlank);
                        SetValue(0, "ignored");
                      },
                      [&] { PressOk(); }}));
  ASSERT_EQ(1, Link->Filter()->GetRoot()->GetCount());
  EXPECT_EQ(okEqual, RootCondition(0)->GetOperatorKind());
  EXPECT_TRUE(VarIsNull(RootCondition(0)->GetValue()));
  EXPECT_EQ("blank", RootCondition(0)->GetDisplayValue());
  // Shown again as "is blank".
  Run(0, {[&] {
    EXPECT_EQ(froBlank, Dialog()->GetOperator(0));
    PressCancel();
  }});
}

TEST_F(CustomFilterDialog, AnInvalidValueKeepsTheDialogOpenAndCancelChangesNothing) {
  AddFilter(nullptr, 1, okEqual, 3, "3");
  const bool result = Run(1, {[&] { SetValue(0, "abc"); },
                              [&] { PressOk(); },
                              [&] {
                                ASSERT_NE(nullptr, Dialog());
                                EXPECT_TRUE(Dialog()->GetValueEdit(0)->Focused());
                                PressCancel();
                              }});
  EXPECT_FALSE(result);
  ASSERT_FALSE(Errors.empty());
  EXPECT_EQ("Invalid value", Errors.back());
  ASSERT_EQ(1, Link->Filter()->GetRoot()->GetCount());
  EXPECT_EQ(Variant(3), RootCondition(0)->GetValue());
}

TEST_F(CustomFilterDialog, AValueWithoutASecondOperatorIsNotAskedFor) {
  EXPECT_TRUE(Run(1, {[&] {
                        SetValue(0, "7");
                        SetValue(1, "not a number");
                      },
                      [&] { PressOk(); }}));
  EXPECT_TRUE(Errors.empty());
  ASSERT_EQ(1, Link->Filter()->GetRoot()->GetCount());
  EXPECT_EQ(okEqual, RootCondition(0)->GetOperatorKind());
}

TEST_F(CustomFilterDialog, WildcardsAreAcceptedOnlyWithLikeAndTheTextStays) {
  AddFilter(nullptr, 0, okEqual, String("100%_x"), "100%_x");
  EXPECT_TRUE(Run(0, {[&] {
                        auto* properties = As<TqvCustomTextEditProperties>(Dialog()->GetValueEdit(0)->GetProperties());
                        ASSERT_NE(nullptr, properties);
                        EXPECT_EQ("100%_x", ValueText(0));
                        EXPECT_FALSE(properties->GetValidChars().test('%'));
                        EXPECT_FALSE(properties->GetValidChars().test('_'));
                        Dialog()->SetOperator(0, froLike);
                        EXPECT_TRUE(properties->GetValidChars().test('%'));
                        EXPECT_TRUE(properties->GetValidChars().test('_'));
                        Dialog()->SetOperator(0, froEquals);
                        EXPECT_FALSE(properties->GetValidChars().test('%'));
                        EXPECT_EQ("100%_x", ValueText(0));
                      },
                      [&] { PressOk(); }}));
  EXPECT_EQ(Variant(String("100%_x")), RootCondition(0)->GetValue());
}

TEST_F(CustomFilterDialog, TheLookAndFeelReachesEveryControl) {
  auto lookAndFeel = MakeOwned<TqvLookAndFeel>(nullptr);
  lookAndFeel->SetKind(lfUltraFlat);
  Run(
      0,
      {[&] {
        TqvFilterDialog* dialog = Dialog();
        for (Integer i = 0; i < 2; ++i) {
          EXPECT_EQ(lfUltraFlat, dialog->GetOperatorCombo(i)->GetStyle()->GetLookAndFeel()->GetKind());
          EXPECT_EQ(lfUltraFlat, dialog->GetValueEdit(i)->GetStyle()->GetLookAndFeel()->GetKind());
        }
        EXPECT_EQ(lfUltraFlat, dialog->GetAndButton()->GetLookAndFeel()->GetKind());
        EXPECT_EQ(lfUltraFlat, dialog->GetOrButton()->GetLookAndFeel()->GetKind());
        EXPECT_EQ(lfUltraFlat, dialog->GetOkButton()->GetLookAndFeel()->GetKind());
        EXPECT_EQ(lfUltraFlat, dialog->GetCancelButton()->GetLookAndFeel()->GetKind());
        PressCancel();
      }},
      lookAndFeel.get());
  EXPECT_EQ(1, Shown);
}

TEST_F(CustomFilterDialog, AComplexFilterOrAnUncoveredEditorOpensNothing) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  AddFilter(nullptr, 1, okEqual, 2, "2");
  Link->Filter()->GetRoot()->SetJoinKind(fjkOr);
  EXPECT_FALSE(Run(0, {[&] { PressOk(); }}));
  EXPECT_EQ(fjkOr, Link->Filter()->GetRoot()->GetJoinKind());
  EXPECT_EQ(2, Link->Filter()->GetRoot()->GetCount());
  Link->Filter()->GetRoot()->SetJoinKind(fjkAnd);
  Link->AddItem(40, "Progress", TqvIntegerValueType::Class(), &TqvProgressBarProperties::StaticClass());
  EXPECT_FALSE(Run(3, {[&] { PressOk(); }}));
  EXPECT_EQ(0, Shown);
  EXPECT_EQ(2, Link->Filter()->GetRoot()->GetCount());
}

}  // namespace
