// Working in the builder: moving the focused element with keys, activating elements with keys
// and the mouse, hot tracking, the row menu, the value editor, and adding and removing rows and
// values.
#include "editors/qvComboBox.h"
#include "qvFilterControlTestSupport.h"

namespace {

class FilterEditing : public TFilterControlTest {
 protected:
  void MakeRows() {
    MakeSampleRows();
    Builder->SetFocus();
    Pump();
  }
  Integer FocusedRowIndex() { return Builder->IndexOfRow(Builder->GetFocusedInfo().Row); }
  TqvFilterHitKind FocusedKind() { return Builder->GetFocusedInfo().HitKind; }
  Integer FocusedValue() { return Builder->GetFocusedInfo().ValueIndex; }
  TqvCustomInnerTextEdit* EditorInner() const {
    auto* edit = As<TqvCustomTextEdit>(Builder->GetValueEditor());
    return edit ? As<TqvCustomInnerTextEdit>(edit->GetInnerControl()) : nullptr;
  }
};

// ---------------------------------------------------------------------------------------------
// Keys

struct TNavigationCase {
  const char* Name;
  Integer Row;  // -1: the add-condition button
  TqvFilterHitKind Kind;
  Integer Value;
  BYTE Key;
  unsigned Shift;
  Integer ToRow;  // -1: the add-condition button (its row is the last one)
  TqvFilterHitKind ToKind;
  Integer ToValue;
};

class FilterNavigation : public FilterEditing, public ::testing::WithParamInterface<TNavigationCase> {};

TEST_P(FilterNavigation, MovesTheFocus) {
  const TNavigationCase& c = GetParam();
  MakeRows();
  Builder->SetWantTabs(true);
  FocusElement(c.Row < 0 ? Builder->GetRowCount() - 1 : c.Row, c.Kind, c.Value);
  Press(c.Key, c.Shift);
  EXPECT_EQ(c.ToRow < 0 ? Builder->GetRowCount() - 1 : c.ToRow, FocusedRowIndex());
  EXPECT_EQ(HitKindName(c.ToKind), HitKindName(FocusedKind()));
  if (c.ToKind == fhkValue) {
    EXPECT_EQ(c.ToValue, FocusedValue());
  }
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FilterNavigation,
    ::testing::Values(
        TNavigationCase{"RightOnAddConditionFocusesTheLastRow", -1, fhkAddCondition, -1, VK_RIGHT, skNone, 4, fhkItem,
                        -1},
        TNavigationCase{"TabOnAddConditionDoesNothing", -1, fhkAddCondition, -1, VK_TAB, skNone, -1, fhkAddCondition,
                        -1},
        TNavigationCase{"ShiftTabFromAButtonGoesToThePreviousRowsLastElement", 1, fhkButton, -1, VK_TAB, skShift, 0,
                        fhkBoolOperator, -1},
        TNavigationCase{"ShiftTabFromTheRootsButtonDoesNothing", 0, fhkButton, -1, VK_TAB, skShift, 0, fhkButton, -1},
        TNavigationCase{"ShiftTabIntoABetweenRowEndsOnItsLastValue", 4, fhkButton, -1, VK_TAB, skShift, 3, fhkValue,
                        1},
        TNavigationCase{"ShiftTabFromAddConditionEndsOnTheAddValueButton", -1, fhkAddCondition, -1, VK_TAB, skShift, 4,
                        fhkAddValue, 1},
        TNavigationCase{"DownOnTheLastRowFocusesAddCondition", 4, fhkItem, -1, VK_DOWN, skNone, -1, fhkAddCondition,
                        -1},
        TNavigationCase{"UpFromAddConditionFocusesTheLastRow", -1, fhkAddCondition, -1, VK_UP, skNone, 4, fhkItem, -1},
        TNavigationCase{"UpToAGroupFocusesItsBoolOperator", 3, fhkItem, -1, VK_UP, skNone, 2, fhkBoolOperator, -1},
        TNavigationCase{"UpOnTheRootDoesNothing", 0, fhkBoolOperator, -1, VK_UP, skNone, 0, fhkBoolOperator, -1},
        TNavigationCase{"RightFromTheButtonToTheItem", 1, fhkButton, -1, VK_RIGHT, skNone, 1, fhkItem, -1},
        TNavigationCase{"RightFromTheItemToTheOperator", 1, fhkItem, -1, VK_RIGHT, skNone, 1, fhkOperator, -1},
        TNavigationCase{"RightFromTheOperatorToTheFirstValue", 3, fhkOperator, -1, VK_RIGHT, skNone, 3, fhkValue, 0},
        TNavigationCase{"RightFromTheLastValueStays", 1, fhkValue, 0, VK_RIGHT, skNone, 1, fhkValue, 0},
        TNavigationCase{"TabFromTheLastValueGoesToTheNextRowsButton", 1, fhkValue, 0, VK_TAB, skNone, 2, fhkButton,
                        -1},
        TNavigationCase{"RightFromAListsLastValueToTheAddValueButton", 4, fhkValue, 1, VK_RIGHT, skNone, 4,
                        fhkAddValue, 1},
        TNavigationCase{"LeftFromTheAddValueButtonToItsValue", 4, fhkAddValue, 1, VK_LEFT, skNone, 4, fhkValue, 1},
        TNavigationCase{"LeftFromTheFirstValueToTheOperator", 3, fhkValue, 0, VK_LEFT, skNone, 3, fhkOperator, -1},
        TNavigationCase{"LeftFromTheSecondValueToTheFirst", 3, fhkValue, 1, VK_LEFT, skNone, 3, fhkValue, 0},
        TNavigationCase{"LeftFromTheItemToTheButton", 1, fhkItem, -1, VK_LEFT, skNone, 1, fhkButton, -1},
        TNavigationCase{"LeftFromAButtonStays", 1, fhkButton, -1, VK_LEFT, skNone, 1, fhkButton, -1},
        TNavigationCase{"TabFromABoolOperatorGoesToTheNextRowsButton", 2, fhkBoolOperator, -1, VK_TAB, skNone, 3,
                        fhkButton, -1},
        TNavigationCase{"TabFromTheLastRowsAddValueToAddCondition", 4, fhkAddValue, 1, VK_TAB, skNone, -1,
                        fhkAddCondition, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FilterEditing, WithoutWantTabsTabMovesToTheNextControl) {
  auto* other = Add<TEdit>(Form, Rect(10, 330, 100, 350));
  MakeRows();
  FocusElement(1, fhkItem);
  Press(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(fhkItem, FocusedKind());
}

TEST_F(FilterEditing, CtrlTabLeavesEvenWithWantTabs) {
  auto* other = Add<TEdit>(Form, Rect(10, 330, 100, 350));
  MakeRows();
  Builder->SetWantTabs(true);
  FocusElement(1, fhkItem);
  Press(VK_TAB, skCtrl);
  EXPECT_TRUE(other->Focused());
}

TEST_F(FilterEditing, InsertAddsAConditionToTheFocusedRowsGroup) {
  MakeRows();
  FocusElement(3, fhkItem);
  Press(VK_INSERT);
  ASSERT_EQ(6, Builder->GetRowCount());
  EXPECT_EQ(Group(2), Condition(5)->Parent);
  EXPECT_EQ(5, FocusedRowIndex());
  EXPECT_EQ(fhkItem, FocusedKind());
  EXPECT_EQ("Name", Condition(5)->ItemText);
}

TEST_F(FilterEditing, EnterOnTheAddConditionButtonAddsToTheLastGroup) {
  MakeRows();
  FocusElement(4, fhkItem);
  Press(VK_DOWN);
  Press(VK_RETURN);
  ASSERT_EQ(6, Builder->GetRowCount());
  EXPECT_EQ(Group(2), Condition(5)->Parent) << "the last row's group";
}

// ---------------------------------------------------------------------------------------------
// Removing

TEST_F(FilterEditing, RemovingTheOnlyConditionOfANestedGroupRemovesTheGroup) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  TqvFilterCriteriaItemList* outer = Link->Filter()->GetRoot()->AddItemList(fjkAnd);
  TqvFilterCriteriaItemList* inner = outer->AddItemList(fjkOr);
  AddFilter(inner, 1, okEqual, 1, "1");
  Linked();
  Builder->SetFocus();
  ASSERT_EQ(5, Builder->GetRowCount());
  FocusElement(4, fhkItem);
  Press(VK_DELETE, skCtrl);
  ASSERT_EQ(2, Builder->GetRowCount()) << "both groups went with their last condition";
  EXPECT_EQ(1, FocusedRowIndex());
  EXPECT_EQ(fhkItem, FocusedKind());
  FocusElement(1, fhkOperator);
  Press(VK_DELETE, skCtrl);
  EXPECT_EQ(1, Builder->GetRowCount());
  EXPECT_EQ(0, FocusedRowIndex());
  EXPECT_EQ(fhkBoolOperator, FocusedKind());
  Press(VK_DELETE, skCtrl);
  EXPECT_EQ(1, Builder->GetRowCount()) << "the root stays";
}

TEST_F(FilterEditing, CtrlDeleteOnAListValueRemovesTheValueThenTheRow) {
  MakeRows();
  FocusElement(4, fhkValue, 1);
  Press(VK_DELETE, skCtrl);
  ASSERT_EQ(1, Condition(4)->Values->GetCount());
  EXPECT_EQ(Variant(String("a")), Condition(4)->Values->GetValue(0)->Value);
  EXPECT_EQ(fhkValue, FocusedKind());
  EXPECT_EQ(0, FocusedValue());
  Press(VK_DELETE, skCtrl);
  EXPECT_EQ(4, Builder->GetRowCount());
  EXPECT_EQ(3, FocusedRowIndex());
}

// ---------------------------------------------------------------------------------------------
// The value editor

TEST_F(FilterEditing, TypingOnAValueOpensItsEditorWithTheCharacter) {
  MakeRows();
  FocusElement(3, fhkValue, 0);
  Type("7");
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(fesValueEditor, Builder->GetEditState());
  EXPECT_EQ(Builder, Builder->GetValueEditor()->GetParent());
  ASSERT_NE(nullptr, EditorInner());
  EXPECT_EQ("7", EditorInner()->GetText());
  Type("5");
  Press(VK_RETURN);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(fesNone, Builder->GetEditState());
  EXPECT_TRUE(Builder->Focused());
  EXPECT_EQ(Variant(String("75")), Condition(3)->Values->GetValue(0)->Value);
  EXPECT_EQ("75", Condition(3)->Values->GetValue(0)->ValueText);
}

TEST_F(FilterEditing, EscapeKeepsThePreviousValue) {
  MakeRows();
  FocusElement(3, fhkValue, 1);
  Type("4");
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  Press(VK_ESCAPE);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_TRUE(Builder->Focused());
  EXPECT_EQ(Variant(9), Condition(3)->Values->GetValue(1)->Value);
}

TEST_F(FilterEditing, AnInvalidValueKeepsTheEditorOpen) {
  MakeRows();
  FocusElement(3, fhkValue, 0);
  Type("x");
  Press(VK_RETURN);
  ASSERT_FALSE(Errors.empty());
  EXPECT_EQ("Invalid value", Errors.back());
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  EXPECT_TRUE(Builder->GetValueEditor()->Focused());
  EXPECT_EQ(Variant(1), Condition(3)->Values->GetValue(0)->Value);
}

TEST_F(FilterEditing, WildcardsInOtherOperatorsValuesAreKept) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  Linked();
  Builder->SetFocus();
  FocusElement(1, fhkValue, 0);
  Press(VK_RETURN);
  ASSERT_NE(nullptr, EditorInner());
  EditorInner()->SetText("");
  Type("100%_x");
  EXPECT_EQ("100%_x", EditorInner()->GetText());
  Press(VK_RETURN);
  EXPECT_EQ(Variant(String("100%_x")), Condition(1)->Values->GetValue(0)->Value);
  // Only the accepted characters follow the operator.
  auto* properties = As<TqvCustomTextEditProperties>(Builder->GetInplaceEditList()->Items(0).Edit->GetProperties());
  ASSERT_NE(nullptr, properties);
  EXPECT_FALSE(properties->GetValidChars().test('%'));
  Condition(1)->Operator = froLike;
  Press(VK_RETURN);
  EXPECT_TRUE(properties->GetValidChars().test('%'));
  EXPECT_TRUE(properties->GetValidChars().test('_'));
  EXPECT_EQ("100%_x", EditorInner()->GetText());
}

TEST_F(FilterEditing, UpAndDownStoreAndMoveOn) {
  MakeRows();
  FocusElement(1, fhkValue, 0);
  Press(VK_RETURN);
  ASSERT_NE(nullptr, EditorInner());
  EditorInner()->SetText("");
  Type("y");
  Press(VK_DOWN);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(Variant(String("y")), Condition(1)->Values->GetValue(0)->Value);
  EXPECT_EQ(2, FocusedRowIndex());
}

TEST_F(FilterEditing, LeavingTheBuilderStoresTheOpenValue) {
  auto* other = Add<TEdit>(Form, Rect(10, 330, 100, 350));
  MakeRows();
  FocusElement(3, fhkValue, 1);
  Type("3");
  other->SetFocus();
  Pump();
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(Variant(String("3")), Condition(3)->Values->GetValue(1)->Value);
  EXPECT_TRUE(other->Focused());
}

TEST_F(FilterEditing, LeavingWithAnInvalidValueTakesTheFocusBack) {
  auto* other = Add<TEdit>(Form, Rect(10, 330, 100, 350));
  MakeRows();
  FocusElement(3, fhkValue, 0);
  Type("x");
  Click(other, {5, 5});
  ASSERT_FALSE(Errors.empty());
  EXPECT_EQ("Invalid value", Errors.back());
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  EXPECT_TRUE(Builder->GetValueEditor()->Focused());
  EXPECT_EQ(Variant(1), Condition(3)->Values->GetValue(0)->Value);
  EditorInner()->SetText("");
  Type("4");
  // Past the double-click time: a second click on the edit is a click of its own.
  Wait(1000);
  Click(other, {5, 5});
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(Variant(String("4")), Condition(3)->Values->GetValue(0)->Value);
}

TEST_F(FilterEditing, AnotherItemClosesTheOpenEditorBeforeItsPoolGoes) {
  MakeRows();
  FocusElement(1, fhkValue, 0);
  Type("z");
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  ASSERT_EQ(1, Builder->GetInplaceEditList()->Count());
  Condition(1)->SetItemIndex(2);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(0, Builder->GetInplaceEditList()->Count());
  Pump();
  FocusElement(1, fhkValue, 0);
  Type("w");
  ASSERT_NE(nullptr, Builder->GetValueEditor()) << "a new pooled editor opens";
  Press(VK_RETURN);
  EXPECT_EQ(Variant(String("w")), Condition(1)->Values->GetValue(0)->Value);
}

TEST_F(FilterEditing, CtrlInsertInTheEditorStoresAndAddsARow) {
  MakeRows();
  FocusElement(1, fhkValue, 0);
  Type("q");
  Press(VK_INSERT, skCtrl);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(Variant(String("q")), Condition(1)->Values->GetValue(0)->Value);
  EXPECT_EQ(6, Builder->GetRowCount());
}

// ---------------------------------------------------------------------------------------------
// Mouse

TEST_F(FilterEditing, ClickingElementsActivatesThem) {
  MakeRows();
  Click(Builder, Centre(Condition(4)->Values->AddButtonRect));
  ASSERT_EQ(3, Condition(4)->Values->GetCount());
  EXPECT_EQ(fhkValue, FocusedKind());
  EXPECT_EQ(2, FocusedValue());
  Click(Builder, Centre(Builder->GetViewInfo()->AddConditionRect));
  EXPECT_EQ(6, Builder->GetRowCount());
  Click(Builder, Centre(Condition(1)->Values->GetValue(0)->ValueRect));
  ASSERT_NE(nullptr, Builder->GetValueEditor());
  EXPECT_EQ(1, FocusedRowIndex());
}

TEST_F(FilterEditing, HoverHighlightsButtonsAndValuesWithAHandCursor) {
  MakeRows();
  MoveTo(Builder, Centre(Condition(1)->ButtonRect));
  EXPECT_EQ(qvbsHot, Condition(1)->ButtonState);
  EXPECT_EQ(crHandPoint, Builder->GetCursor());
  MoveTo(Builder, Centre(Builder->GetViewInfo()->AddConditionRect));
  EXPECT_EQ(qvbsNormal, Condition(1)->ButtonState);
  EXPECT_EQ(qvbsHot, Builder->GetViewInfo()->ButtonState);
  MoveTo(Builder, Centre(Builder->GetRootRow()->CaptionRect));
  EXPECT_EQ(qvbsNormal, Builder->GetViewInfo()->ButtonState);
  EXPECT_EQ(crDefault, Builder->GetCursor());
}

TEST_F(FilterEditing, WithoutALinkNothingOpensOrIsAdded) {
  Show();
  Builder->SetFocus();
  Pump();
  Press(VK_INSERT);
  Press(VK_RETURN);
  Click(Builder, Centre(Builder->GetRootRow()->ButtonRect));
  EXPECT_EQ(1, Builder->GetRowCount());
  EXPECT_EQ(fesNone, Builder->GetEditState());
}

// ---------------------------------------------------------------------------------------------
// Row menu

TEST_F(FilterEditing, TheRowMenuAddsConditionsAndGroups) {
  MakeRows();
  FocusElement(1, fhkButton);
  TqvFilterRowEditState during = fesNone;
  RunWhenIdle({[&] {
                 during = Builder->GetEditState();
                 Headless::PressKey(VK_DOWN);
               },
               [] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_RETURN); }});
  Press(VK_RETURN);
  EXPECT_EQ(fesRowMenu, during);
  EXPECT_EQ(fesNone, Builder->GetEditState());
  ASSERT_EQ(7, Builder->GetRowCount()) << "a group with its first condition";
  EXPECT_TRUE(Builder->GetRow(5)->IsGroup());
  EXPECT_EQ(Builder->GetRootRow(), Builder->GetRow(5)->Parent);
  EXPECT_EQ(6, FocusedRowIndex());
}

TEST_F(FilterEditing, TheRootsMenuClearsAll) {
  MakeRows();
  FocusElement(0, fhkButton);
  String caption;
  bool separator = false;
  RunWhenIdle({[&] {
                 TMenuItem* items = Builder->GetMenu()->GetItems();
                 caption = items->GetItem(3)->GetCaption();
                 separator = items->GetItem(2)->GetVisible();
                 Headless::PressKey(VK_UP);
               },
               [] { Headless::PressKey(VK_RETURN); }});
  Press(VK_RETURN);
  EXPECT_EQ("Clear &All", caption);
  EXPECT_TRUE(separator);
  EXPECT_EQ(1, Builder->GetRowCount());
  EXPECT_TRUE(Builder->GetCriteria()->IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Lists

struct TListCase {
  const char* Name;
  Integer Row;
  TqvFilterHitKind Kind;
  std::vector<BYTE> Keys;  // pressed in the open list
  const char* Shown;       // the list's text as it opens: the element's
  const char* Text;        // the element's text afterwards
  TqvFilterHitKind ToKind;
  Integer Values;          // the condition's values afterwards (-1: a group)
};

class FilterLists : public FilterEditing, public ::testing::WithParamInterface<TListCase> {};

TEST_P(FilterLists, ChooseAndApplyAsTheListCloses) {
  const TListCase& c = GetParam();
  MakeRows();
  FocusElement(c.Row, c.Kind);
  Press(VK_RETURN);
  TqvComboBox* combo = Builder->GetCombo();
  EXPECT_EQ(c.Kind == fhkItem ? fesItemList : c.Kind == fhkOperator ? fesOperatorList : fesBoolOperatorList,
            Builder->GetEditState());
  ASSERT_TRUE(combo->GetVisible());
  EXPECT_TRUE(combo->GetDroppedDown());
  EXPECT_EQ(c.Shown, combo->GetText());
  const TRect element = c.Kind == fhkItem       ? Condition(c.Row)->ItemRect
                        : c.Kind == fhkOperator ? Condition(c.Row)->OperatorRect
                                                : Group(c.Row)->BoolOperatorRect;
  EXPECT_EQ(element.TopLeft(), combo->GetBoundsRect().TopLeft());
  for (BYTE key : c.Keys) Press(key);
  EXPECT_EQ(fesNone, Builder->GetEditState());
  EXPECT_FALSE(combo->GetVisible());
  EXPECT_TRUE(Builder->Focused());
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(HitKindName(c.ToKind), HitKindName(FocusedKind()));
  if (c.Values < 0) {
    EXPECT_EQ(c.Text, Group(c.Row)->BoolOperatorText);
    return;
  }
  TqvConditionViewInfo* condition = Condition(c.Row);
  EXPECT_EQ(c.Text, c.Kind == fhkItem ? condition->ItemText : condition->OperatorText);
  EXPECT_EQ(c.Values, condition->Values->GetCount());
}

INSTANTIATE_TEST_SUITE_P(
    Elements, FilterLists,
    ::testing::Values(
        // Another item starts operator and values anew: equals for a number, like for a text.
        TListCase{"ItemNumber", 1, fhkItem, {VK_DOWN, VK_RETURN}, "Name", "Number", fhkOperator, 1},
        TListCase{"ItemRemark", 3, fhkItem, {VK_DOWN, VK_RETURN}, "Number", "Remark", fhkOperator, 1},
        // Between to equals keeps the first value; the first value takes the focus.
        TListCase{"OperatorEquals", 3, fhkOperator, {VK_PRIOR, VK_RETURN}, "between", "equals", fhkValue, 1},
        TListCase{"OperatorNotBetweenKeepsBoth", 3, fhkOperator, {VK_DOWN, VK_RETURN}, "between", "not between",
                  fhkValue, 2},
        TListCase{"OperatorIsBlankHasNoValueToFocus", 1, fhkOperator, {VK_DOWN, VK_DOWN, VK_RETURN}, "like",
                  "is blank", fhkOperator, 1},
        TListCase{"BoolOperatorNotOr", 2, fhkBoolOperator, {VK_DOWN, VK_DOWN, VK_RETURN}, "OR", "NOT OR",
                  fhkBoolOperator, -1},
        TListCase{"SpaceChoosesLikeEnter", 2, fhkBoolOperator, {VK_DOWN, VK_SPACE}, "OR", "NOT AND",
                  fhkBoolOperator, -1},
        TListCase{"EscapeChangesNothing", 2, fhkBoolOperator, {VK_DOWN, VK_ESCAPE}, "OR", "OR", fhkBoolOperator,
                  -1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FilterEditing, ACheckBoxItemsValueIsChosenFromItsTextsAndShownByThem) {
  Link->AddItem(40, "Flag", TqvBooleanValueType::Class(), &TqvCheckBoxProperties::StaticClass());
  auto* check = As<TqvCheckBoxProperties>(Link->Item(3)->Properties.get());
  AddFilter(nullptr, 3, okEqual, check->GetValueChecked(), check->GetDisplayText(check->GetValueChecked()));
  Linked();
  Builder->SetFocus();
  Pump();
  TqvConditionViewInfo* condition = Condition(1);
  EXPECT_EQ(TqvFilterCheckBoxHelper::Class(), condition->EditorHelper);
  EXPECT_EQ(TqvFilterCheckBoxHelper::Class()->GetOperators(check, true), condition->SupportedOperators);
  FocusElement(1, fhkValue, 0);
  Press(VK_RETURN);
  auto* combo = As<TqvComboBox>(Builder->GetValueEditor());
  ASSERT_NE(nullptr, combo);
  EXPECT_EQ(2, combo->GetProperties()->GetItems()->GetCount());
  EXPECT_EQ(0, combo->GetItemIndex()) << "the checked value";
  // The list is dropped down and the other line chosen; Enter then stores it.
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(1, combo->GetItemIndex());
  Press(VK_RETURN);
  EXPECT_EQ(nullptr, Builder->GetValueEditor());
  EXPECT_TRUE(VarEqualsExact(check->GetValueUnchecked(), condition->Values->GetValue(0)->Value));
  const String unchecked = check->GetDisplayText(check->GetValueUnchecked());
  EXPECT_EQ(unchecked, condition->Values->GetValue(0)->ValueText);
  // Written back with the text the row shows.
  ASSERT_TRUE(Builder->WriteCriteria());
  auto* item = static_cast<TqvFilterCriteriaItem*>(Builder->GetCriteria()->GetRoot()->GetItem(0));
  EXPECT_EQ(unchecked, item->GetDisplayValue());
}

TEST_F(FilterEditing, TheItemListOffersOnlyFilterableItems) {
  Link->AddItem(40, "Flag", TqvBooleanValueType::Class(), &TqvCheckBoxProperties::StaticClass());
  Link->AddItem(50, "Nothing", TqvStringValueType::Class(), nullptr);
  MakeRows();
  auto names = MakeOwned<TStringList>();
  Builder->FillItemList(names.get());
  std::vector<String> captions;
  for (Integer i = 0; i < names->GetCount(); ++i) captions.push_back(names->Get(i));
  const bool checkBoxFilters = TqvCheckBoxProperties(nullptr).GetSupportedOperations() & esoFiltering;
  std::vector<String> expected = {"Name", "Number", "Remark"};
  if (checkBoxFilters) expected.push_back("Flag");
  EXPECT_EQ(expected, captions);
}

}  // namespace
