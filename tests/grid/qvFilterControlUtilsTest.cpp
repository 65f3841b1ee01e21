// Row operators and their criteria kinds, the value-editor helpers, their registry and the check
// of entered values.
#include <bit>

#include "editors/qvCalcEdit.h"
#include "editors/qvComboBox.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvButtonEdit.h"
#include "editors/qvDateEdit.h"
#include "editors/qvHyperLinkEdit.h"
#include "editors/qvImageComboBox.h"
#include "editors/qvMaskEdit.h"
#include "editors/qvMRUEdit.h"
#include "editors/qvMemo.h"
#include "editors/qvProgressBar.h"
#include "editors/qvRadioGroup.h"
#include "editors/qvSpinEdit.h"
#include "editors/qvTimeEdit.h"
#include "qvFilterControlTestSupport.h"
#include "support/ResourceTexts.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Operators

struct TOperatorCase {
  TqvFilterRowOperator Operator;
  TqvFilterOperatorKind Kind;
  const char* Caption;
};

class RowOperatorMapping : public ::testing::TestWithParam<TOperatorCase> {};

TEST_P(RowOperatorMapping, KindCaptionAndBack) {
  const TOperatorCase& c = GetParam();
  EXPECT_EQ(c.Kind, RowOperatorToOperatorKind(c.Operator));
  EXPECT_EQ(String(c.Caption), GetOperatorCaption(c.Operator));
  const bool blank = c.Operator == froBlank || c.Operator == froNotBlank;
  EXPECT_EQ(c.Operator, OperatorKindToRowOperator(c.Kind, blank));
}

INSTANTIATE_TEST_SUITE_P(
    AllOperators, RowOperatorMapping,
    ::testing::Values(
        TOperatorCase{froEquals, okEqual, "equals"}, TOperatorCase{froNotEquals, okNotEqual, "does not equal"},
        TOperatorCase{froLess, okLess, "is less than"},
        TOperatorCase{froLessOrEqual, okLessEqual, "is less than or equal to"},
        TOperatorCase{froGreater, okGreater, "is greater than"},
        TOperatorCase{froGreaterOrEqual, okGreaterEqual, "is greater than or equal to"},
        TOperatorCase{froLike, okLike, "like"}, TOperatorCase{froNotLike, okNotLike, "not like"},
        TOperatorCase{froBlank, okEqual, "is blank"}, TOperatorCase{froNotBlank, okNotEqual, "is not blank"},
        TOperatorCase{froBetween, okBetween, "between"}, TOperatorCase{froNotBetween, okNotBetween, "not between"},
        TOperatorCase{froIn, okInList, "in"}, TOperatorCase{froNotIn, okNotInList, "not in"},
        TOperatorCase{froYesterday, okYesterday, "is yesterday"}, TOperatorCase{froToday, okToday, "is today"},
        TOperatorCase{froTomorrow, okTomorrow, "is tomorrow"}, TOperatorCase{froLastWeek, okLastWeek, "is last week"},
        TOperatorCase{froLastMonth, okLastMonth, "is last month"},
        TOperatorCase{froLastYear, okLastYear, "is last year"},
        TOperatorCase{froThisWeek, okThisWeek, "is this week"},
        TOperatorCase{froThisMonth, okThisMonth, "is this month"},
        TOperatorCase{froThisYear, okThisYear, "is this year"},
        TOperatorCase{froNextWeek, okNextWeek, "is next week"},
        TOperatorCase{froNextMonth, okNextMonth, "is next month"},
        TOperatorCase{froNextYear, okNextYear, "is next year"}),
    [](const auto& info) { return std::to_string(info.param.Operator); });

TEST(RowOperators, NoneAndValuesOutsideHaveNoCaption) {
  EXPECT_EQ("", GetOperatorCaption(froNone));
  EXPECT_EQ("", GetOperatorCaption(27));
  EXPECT_EQ("", GetOperatorCaption(-1));
  EXPECT_EQ(okEqual, RowOperatorToOperatorKind(froNone));
}

TEST(RowOperators, NullValuesMakeBlanksOnlyOfEqualAndNotEqual) {
  EXPECT_EQ(froBlank, OperatorKindToRowOperator(okEqual, true));
  EXPECT_EQ(froNotBlank, OperatorKindToRowOperator(okNotEqual, true));
  EXPECT_EQ(froLike, OperatorKindToRowOperator(okLike, true));
  EXPECT_EQ(froNotLike, OperatorKindToRowOperator(okNotLike, true));
  EXPECT_EQ(froLess, OperatorKindToRowOperator(okLess, true));
  EXPECT_EQ(froEquals, OperatorKindToRowOperator(okEqual, false));
}

TEST(RowOperators, CaptionsComeThroughTheLocalisableGetter) {
  {
    TResourceTextScope texts{{&sqvFilterOperatorBetween, "zwischen"}};
    EXPECT_EQ("zwischen", GetOperatorCaption(froBetween));
  }
  EXPECT_EQ("between", GetOperatorCaption(froBetween));
}

// ---------------------------------------------------------------------------------------------
// Registry

// Properties classes the editors do not have: a text kind of our own, and a kind no helper covers.
class TTestOwnTextProperties : public TqvTextEditProperties {
  QJ_INLINE_CLASS(TTestOwnTextProperties, TqvTextEditProperties)
 public:
  using TqvTextEditProperties::TqvTextEditProperties;
};
class TTestPlainProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestPlainProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
};
class TTestPlainChildProperties : public TTestPlainProperties {
  QJ_INLINE_CLASS(TTestPlainChildProperties, TTestPlainProperties)
 public:
  using TTestPlainProperties::TTestPlainProperties;
};

// A spin kind of our own: it falls to the spin helper through its parent.
class TTestOwnSpinProperties : public TqvSpinEditProperties {
  QJ_INLINE_CLASS(TTestOwnSpinProperties, TqvSpinEditProperties)
 public:
  using TqvSpinEditProperties::TqvSpinEditProperties;
};

class TTestPlainSiblingProperties : public TTestPlainProperties {
  QJ_INLINE_CLASS(TTestPlainSiblingProperties, TTestPlainProperties)
 public:
  using TTestPlainProperties::TTestPlainProperties;
};

struct THelperLookupCase {
  const char* Name;
  TClass PropertiesClass;
  TqvFilterEditHelperClass Helper;
};

class FilterHelperLookup : public ::testing::TestWithParam<THelperLookupCase> {};

TEST_P(FilterHelperLookup, FindsTheNearestRegisteredAncestorOfTheParent) {
  EXPECT_EQ(GetParam().Helper, GetFilterEditsController()->FindHelper(GetParam().PropertiesClass));
}

INSTANTIATE_TEST_SUITE_P(
    Classes, FilterHelperLookup,
    ::testing::Values(
        THelperLookupCase{"TextEdit", &TqvTextEditProperties::StaticClass(), TqvFilterTextEditHelper::Class()},
        THelperLookupCase{"DescendantOfTextEdit", &TTestOwnTextProperties::StaticClass(),
                          TqvFilterTextEditHelper::Class()},
        THelperLookupCase{"SiblingOfTextEdit", &TqvCustomTextEditProperties::StaticClass(), nullptr},
        THelperLookupCase{"Uncovered", &TTestPlainProperties::StaticClass(), nullptr},
        THelperLookupCase{"CheckBox", &TqvCheckBoxProperties::StaticClass(), TqvFilterCheckBoxHelper::Class()},
        THelperLookupCase{"RadioGroup", &TqvRadioGroupProperties::StaticClass(), TqvFilterRadioGroupHelper::Class()},
        THelperLookupCase{"MaskEdit", &TqvMaskEditProperties::StaticClass(), TqvFilterMaskEditHelper::Class()},
        THelperLookupCase{"ComboBox", &TqvComboBoxProperties::StaticClass(), TqvFilterComboBoxHelper::Class()},
        THelperLookupCase{"ImageComboBox", &TqvImageComboBoxProperties::StaticClass(),
                          TqvFilterImageComboBoxHelper::Class()},
        THelperLookupCase{"SpinEdit", &TqvSpinEditProperties::StaticClass(), TqvFilterSpinEditHelper::Class()},
        THelperLookupCase{"DescendantOfSpinEdit", &TTestOwnSpinProperties::StaticClass(),
                          TqvFilterSpinEditHelper::Class()},
        // The drop-down base is a mask kind: a drop-down without a helper of its own.
        THelperLookupCase{"DropDownBase", &TqvCustomDropDownEditProperties::StaticClass(),
                          TqvFilterMaskEditHelper::Class()},
        THelperLookupCase{"CalcEdit", &TqvCalcEditProperties::StaticClass(), TqvFilterCalcEditHelper::Class()},
        THelperLookupCase{"CurrencyEdit", &TqvCurrencyEditProperties::StaticClass(),
                          TqvFilterCurrencyEditHelper::Class()},
        THelperLookupCase{"DateEdit", &TqvDateEditProperties::StaticClass(), TqvFilterDateEditHelper::Class()},
        THelperLookupCase{"TimeEdit", &TqvTimeEditProperties::StaticClass(), TqvFilterTimeEditHelper::Class()},
        THelperLookupCase{"Memo", &TqvMemoProperties::StaticClass(), TqvFilterMemoHelper::Class()},
        // A combo kind with a helper of its own: the nearer registration wins.
        THelperLookupCase{"MRUEdit", &TqvMRUEditProperties::StaticClass(), TqvFilterMRUEditHelper::Class()},
        THelperLookupCase{"HyperLink", &TqvHyperLinkEditProperties::StaticClass(),
                          TqvFilterHyperLinkEditHelper::Class()},
        THelperLookupCase{"ButtonEditFallsToTheMask", &TqvButtonEditProperties::StaticClass(),
                          TqvFilterMaskEditHelper::Class()},
        THelperLookupCase{"ProgressBar", &TqvProgressBarProperties::StaticClass(), nullptr},
        THelperLookupCase{"NoClass", nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FilterEditsController, StoresUnderTheParentSoOneRegistrationCoversSiblings) {
  TqvFilterEditsController controller;
  controller.Register(&TTestPlainChildProperties::StaticClass(), TqvFilterMemoHelper::Class());
  ASSERT_EQ(1, controller.GetCount());
  EXPECT_EQ(&TTestPlainProperties::StaticClass(), controller.GetItem(0).ItemClass);
  // The class itself, its parent's other children and their descendants share the helper.
  EXPECT_EQ(TqvFilterMemoHelper::Class(), controller.FindHelper(&TTestPlainChildProperties::StaticClass()));
  EXPECT_EQ(TqvFilterMemoHelper::Class(), controller.FindHelper(&TTestPlainSiblingProperties::StaticClass()));
  EXPECT_EQ(nullptr, controller.FindHelper(&TTestOwnTextProperties::StaticClass()));
  // The parent's own lookup starts at its parent, above the entry.
  EXPECT_EQ(nullptr, controller.FindHelper(&TTestPlainProperties::StaticClass()));
  controller.Unregister(&TTestPlainChildProperties::StaticClass(), TqvFilterMemoHelper::Class());
  EXPECT_EQ(0, controller.GetCount());
  EXPECT_EQ(nullptr, controller.FindHelper(&TTestPlainChildProperties::StaticClass()));
}

TEST(FilterEditsController, AMoreDerivedRegistrationWinsForItsBranch) {
  TqvFilterEditsController controller;
  controller.Register(&TqvTextEditProperties::StaticClass(), TqvFilterTextEditHelper::Class());
  controller.Register(&TTestOwnTextProperties::StaticClass(), TqvFilterMRUEditHelper::Class());
  EXPECT_EQ(TqvFilterTextEditHelper::Class(), controller.FindHelper(&TqvTextEditProperties::StaticClass()));
  EXPECT_EQ(TqvFilterMRUEditHelper::Class(), controller.FindHelper(&TTestOwnTextProperties::StaticClass()));
}

// ---------------------------------------------------------------------------------------------
// Helpers

struct TOperatorSetCase {
  const char* Name;
  TqvFilterEditHelperClass Helper;
  TqvCustomEditPropertiesClass Properties;
  const char* Mask;  // for mask kinds: the item's mask
  TqvFilterRowOperators Simple;
  TqvFilterRowOperators Extended;
};

class FilterHelperOperators : public TqvControlsTest, public ::testing::WithParamInterface<TOperatorSetCase> {};

TEST_P(FilterHelperOperators, SimpleAndExtendedSets) {
  const TOperatorSetCase& c = GetParam();
  TOwned<TqvCustomEditProperties> properties(c.Properties->Create(nullptr));
  if (c.Mask) As<TqvCustomMaskEditProperties>(properties.get())->SetEditMask(c.Mask);
  EXPECT_EQ(c.Simple, c.Helper->GetOperators(properties.get(), false));
  EXPECT_EQ(c.Extended, c.Helper->GetOperators(properties.get(), true));
}

constexpr TqvFilterRowOperators kLikeAndBlanks =
    froBit(froLike) | froBit(froNotLike) | froBit(froBlank) | froBit(froNotBlank);
constexpr TqvFilterRowOperators kComparisonsAndBlanks =
    froRange(froEquals, froGreaterOrEqual) | froBit(froBlank) | froBit(froNotBlank);
constexpr TqvFilterRowOperators kEqualitiesAndBlanks =
    froBit(froEquals) | froBit(froNotEquals) | froBit(froBlank) | froBit(froNotBlank);
constexpr TqvFilterRowOperators kInLists = froBit(froIn) | froBit(froNotIn);

INSTANTIATE_TEST_SUITE_P(
    Helpers, FilterHelperOperators,
    ::testing::Values(
        TOperatorSetCase{"Text", TqvFilterTextEditHelper::Class(), &TqvTextEditProperties::StaticClass(), nullptr,
                         froRange(froEquals, froNotBlank), froRange(froEquals, froNotIn)},
        TOperatorSetCase{"Memo", TqvFilterMemoHelper::Class(), &TqvTextEditProperties::StaticClass(), nullptr,
                         kLikeAndBlanks, kLikeAndBlanks},
        TOperatorSetCase{"MRU", TqvFilterMRUEditHelper::Class(), &TqvTextEditProperties::StaticClass(), nullptr,
                         froRange(froEquals, froNotBlank), froRange(froEquals, froNotIn)},
        TOperatorSetCase{"HyperLink", TqvFilterHyperLinkEditHelper::Class(),
                         &TqvHyperLinkEditProperties::StaticClass(), nullptr, froRange(froEquals, froNotBlank),
                         froRange(froEquals, froNotIn)},
        TOperatorSetCase{"UnmaskedMask", TqvFilterMaskEditHelper::Class(), &TqvMaskEditProperties::StaticClass(),
                         nullptr, froRange(froEquals, froNotBlank), froRange(froEquals, froNotIn)},
        TOperatorSetCase{"MaskedMask", TqvFilterMaskEditHelper::Class(), &TqvMaskEditProperties::StaticClass(),
                         "000", kComparisonsAndBlanks, kComparisonsAndBlanks | froRange(froBetween, froNotIn)},
        TOperatorSetCase{"ComboBoxInheritsTheMasks", TqvFilterComboBoxHelper::Class(),
                         &TqvComboBoxProperties::StaticClass(), nullptr, froRange(froEquals, froNotBlank),
                         froRange(froEquals, froNotIn)},
        TOperatorSetCase{"ImageComboBox", TqvFilterImageComboBoxHelper::Class(),
                         &TqvImageComboBoxProperties::StaticClass(), nullptr, kEqualitiesAndBlanks,
                         kEqualitiesAndBlanks | kInLists},
        TOperatorSetCase{"SpinEdit", TqvFilterSpinEditHelper::Class(), &TqvSpinEditProperties::StaticClass(), nullptr,
                         kComparisonsAndBlanks, kComparisonsAndBlanks | froRange(froBetween, froNotIn)},
        TOperatorSetCase{"Calc", TqvFilterCalcEditHelper::Class(), &TqvCalcEditProperties::StaticClass(), nullptr,
                         kComparisonsAndBlanks, kComparisonsAndBlanks | froRange(froBetween, froNotIn)},
        TOperatorSetCase{"Currency", TqvFilterCurrencyEditHelper::Class(), &TqvCurrencyEditProperties::StaticClass(),
                         nullptr, kComparisonsAndBlanks, kComparisonsAndBlanks | froRange(froBetween, froNotIn)},
        TOperatorSetCase{"DateHasTwentyFourExtended", TqvFilterDateEditHelper::Class(),
                         &TqvDateEditProperties::StaticClass(), nullptr, kComparisonsAndBlanks,
                         kComparisonsAndBlanks | froRange(froBetween, froNextYear)},
        TOperatorSetCase{"TimeInheritsTheSpins", TqvFilterTimeEditHelper::Class(),
                         &TqvTimeEditProperties::StaticClass(), nullptr, kComparisonsAndBlanks,
                         kComparisonsAndBlanks | froRange(froBetween, froNotIn)},
        TOperatorSetCase{"CheckBox", TqvFilterCheckBoxHelper::Class(), &TqvCheckBoxProperties::StaticClass(), nullptr,
                         kEqualitiesAndBlanks, kEqualitiesAndBlanks},
        TOperatorSetCase{"RadioGroup", TqvFilterRadioGroupHelper::Class(), &TqvRadioGroupProperties::StaticClass(),
                         nullptr, kEqualitiesAndBlanks, kEqualitiesAndBlanks | kInLists}),
    [](const auto& info) { return std::string(info.param.Name); });

class FilterHelpers : public TqvControlsTest {};

TEST_F(FilterHelpers, TextPropertiesBecomeValueEditorProperties) {
  auto item = MakeOwned<TqvTextEditProperties>(nullptr);
  item->GetAlignment()->SetHorz(taRightJustify);
  item->GetAlignment()->SetVert(taVCenter);
  item->SetBeepOnError(true);
  item->GetButtons()->Add();
  item->SetReadOnly(true);
  item->SetValidateOnEnter(false);
  item->SetAutoSelect(false);
  item->SetHideCursor(true);
  item->SetHideSelection(false);
  item->SetMaxLength(5);
  bool called = false;
  item->OnChange = [&](TObject*) { called = true; };
  item->OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { called = true; };
  auto value = MakeOwned<TqvTextEditProperties>(nullptr);
  TqvFilterTextEditHelper::Class()->PrepareProperties(value.get(), item.get(), false);
  EXPECT_EQ(5, value->GetMaxLength()) << "the item's settings are copied";
  EXPECT_EQ(taLeftJustify, value->GetAlignment()->GetHorz());
  EXPECT_EQ(taTopJustify, value->GetAlignment()->GetVert());
  EXPECT_FALSE(value->GetBeepOnError());
  EXPECT_EQ(0, value->GetButtons()->GetCount());
  EXPECT_FALSE(value->GetReadOnly());
  EXPECT_TRUE(value->GetValidateOnEnter());
  EXPECT_TRUE(value->GetAutoSelect());
  EXPECT_FALSE(value->GetHideCursor());
  EXPECT_TRUE(value->GetHideSelection());
  EXPECT_FALSE(value->OnChange);
  EXPECT_FALSE(value->OnValidate);
  EXPECT_FALSE(called);
  // Kept buttons stay.
  TqvFilterTextEditHelper::Class()->PrepareProperties(value.get(), item.get(), true);
  EXPECT_EQ(1, value->GetButtons()->GetCount());
}

TEST_F(FilterHelpers, PooledValueEditorIsTheListsEditorOfTheValueEditorKind) {
  TqvInplaceEditList list;
  auto item = MakeOwned<TqvTextEditProperties>(nullptr);
  item->SetReadOnly(true);
  TqvCustomEdit* first = CreateValueEdit(TqvFilterTextEditHelper::Class(), item.get(), &list);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(&TqvTextEdit::StaticClass(), first->ClassType());
  EXPECT_TRUE(first->IsInplace());
  EXPECT_FALSE(first->GetActiveProperties()->GetReadOnly()) << "prepared for entering a value";
  EXPECT_EQ(first, CreateValueEdit(TqvFilterMemoHelper::Class(), item.get(), &list)) << "one editor per kind";
  EXPECT_EQ(1, list.Count());
}

TEST_F(FilterHelpers, ValueEditorWithoutAListBelongsToTheCaller) {
  auto item = MakeOwned<TqvTextEditProperties>(nullptr);
  TOwned<TqvCustomEdit> edit(CreateValueEdit(TqvFilterTextEditHelper::Class(), item.get(), nullptr));
  ASSERT_NE(nullptr, edit);
  EXPECT_EQ(nullptr, edit->GetOwner());
  EXPECT_FALSE(edit->IsInplace());
  EXPECT_EQ(nullptr, CreateValueEdit(TqvCustomFilterEditHelper::Class(), item.get(), nullptr))
      << "the base helper has no editor";
}

TEST_F(FilterHelpers, TextHelperWritesAndReadsTheEditValue) {
  auto item = MakeOwned<TqvTextEditProperties>(nullptr);
  TOwned<TqvCustomEdit> edit(CreateValueEdit(TqvFilterTextEditHelper::Class(), item.get(), nullptr));
  TqvFilterTextEditHelper::Class()->WriteFilterValue(edit.get(), item.get(), String("abc"));
  Variant value;
  String text;
  TqvFilterTextEditHelper::Class()->ReadFilterValue(edit.get(), item.get(), value, text);
  EXPECT_EQ(Variant(String("abc")), value);
  EXPECT_EQ("abc", text);
}

TEST_F(FilterHelpers, MaskKindsTakeTheExtendedPatternSyntaxAndSelectOnlyUnmasked) {
  auto item = MakeOwned<TqvMaskEditProperties>(nullptr);
  item->SetMaskKind(emkRegExpr);
  item->SetEditMask("[0-9]+");
  auto value = MakeOwned<TqvMaskEditProperties>(nullptr);
  TqvFilterMaskEditHelper::Class()->PrepareProperties(value.get(), item.get(), false);
  EXPECT_EQ(emkRegExprEx, value->GetMaskKind());
  EXPECT_FALSE(value->GetAutoSelect());
  auto plain = MakeOwned<TqvMaskEditProperties>(nullptr);
  TqvFilterMaskEditHelper::Class()->PrepareProperties(value.get(), plain.get(), false);
  EXPECT_EQ(emkStandard, value->GetMaskKind());
  EXPECT_TRUE(value->GetAutoSelect());
}

TEST_F(FilterHelpers, ComboKindsBecomeListsForEnteringAValue) {
  auto item = MakeOwned<TqvComboBoxProperties>(nullptr);
  item->SetDropDownRows(20);
  item->SetDropDownListStyle(lsFixedList);
  item->SetImmediateDropDown(true);
  item->SetRevertable(true);
  auto value = MakeOwned<TqvComboBoxProperties>(nullptr);
  TqvFilterComboBoxHelper::Class()->PrepareProperties(value.get(), item.get(), true);
  EXPECT_EQ(7, value->GetDropDownRowsValue());
  EXPECT_EQ(lsEditList, value->GetDropDownListStyle());
  EXPECT_FALSE(value->GetImmediateDropDown());
  EXPECT_EQ(taLeftJustify, value->GetPopupAlignment());
  EXPECT_FALSE(value->GetRevertable());
  EXPECT_EQ(1, value->GetButtons()->GetCount()) << "the drop-down button stays";
  auto images = MakeOwned<TqvImageComboBoxProperties>(nullptr);
  images->SetShowDescriptions(false);
  auto imageValue = MakeOwned<TqvImageComboBoxProperties>(nullptr);
  TqvFilterImageComboBoxHelper::Class()->PrepareProperties(imageValue.get(), images.get(), true);
  EXPECT_EQ(lsFixedList, imageValue->GetDropDownListStyle());
  EXPECT_TRUE(imageValue->GetImmediateDropDown());
  EXPECT_TRUE(imageValue->GetShowDescriptions());
  auto spin = MakeOwned<TqvSpinEditProperties>(nullptr);
  spin->SetCanEdit(false);
  auto spinValue = MakeOwned<TqvSpinEditProperties>(nullptr);
  TqvFilterSpinEditHelper::Class()->PrepareProperties(spinValue.get(), spin.get(), true);
  EXPECT_TRUE(spinValue->GetCanEdit());
}

TEST_F(FilterHelpers, DatesAcceptPatternsAndEmptyTextsAndTimesStartAtMidnight) {
  auto item = MakeOwned<TqvDateEditProperties>(nullptr);
  item->SetDateButtons(0);
  item->SetDateOnError(deToday);
  item->SetInputKind(ikStandard);
  item->SetSaveTime(false);
  auto value = MakeOwned<TqvDateEditProperties>(nullptr);
  TqvFilterDateEditHelper::Class()->PrepareProperties(value.get(), item.get(), true);
  EXPECT_EQ(DateButtonBit(btnToday) | DateButtonBit(btnClear), value->GetDateButtons());
  EXPECT_EQ(deNull, value->GetDateOnError());
  EXPECT_EQ(ikRegExpr, value->GetInputKind());
  EXPECT_TRUE(value->GetSaveTime());
  EXPECT_EQ(24, std::popcount(TqvFilterDateEditHelper::Class()->GetOperators(value.get(), true)));
  auto time = MakeOwned<TqvTimeEditProperties>(nullptr);
  TOwned<TqvCustomEdit> edit(CreateValueEdit(TqvFilterTimeEditHelper::Class(), time.get(), nullptr));
  auto* timeEdit = As<TqvTimeEdit>(edit.get());
  ASSERT_NE(nullptr, timeEdit);
  EXPECT_EQ(0.0, timeEdit->GetTime());
}

TEST_F(FilterHelpers, AmountsHaveNoRangeAndMayBeBlankAndTheCalculatorClosesQuickly) {
  auto item = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  item->SetMinValue(10);
  item->SetMaxValue(20);
  item->SetNullable(false);
  item->SetNullString("none");
  auto value = MakeOwned<TqvCurrencyEditProperties>(nullptr);
  TqvFilterCurrencyEditHelper::Class()->PrepareProperties(value.get(), item.get(), false);
  EXPECT_EQ(0.0, value->GetMinValue());
  EXPECT_EQ(0.0, value->GetMaxValue());
  EXPECT_TRUE(value->GetNullable());
  EXPECT_EQ("", value->GetNullString());
  auto calc = MakeOwned<TqvCalcEditProperties>(nullptr);
  auto calcValue = MakeOwned<TqvCalcEditProperties>(nullptr);
  TqvFilterCalcEditHelper::Class()->PrepareProperties(calcValue.get(), calc.get(), true);
  EXPECT_TRUE(calcValue->GetQuickClose());
}

TEST_F(FilterHelpers, AnMRUItemsValueIsTypedInATextEditWithoutButtons) {
  auto item = MakeOwned<TqvMRUEditProperties>(nullptr);
  item->SetMaxLength(9);
  TOwned<TqvCustomEdit> edit(CreateValueEdit(TqvFilterMRUEditHelper::Class(), item.get(), nullptr));
  ASSERT_NE(nullptr, edit);
  EXPECT_EQ(&TqvTextEdit::StaticClass(), edit->ClassType());
  EXPECT_EQ(0, edit->GetActiveProperties()->GetButtons()->GetCount());
  EXPECT_EQ(9, As<TqvCustomTextEditProperties>(edit->GetActiveProperties())->GetMaxLength());
}

TEST_F(FilterHelpers, DropDownsAndSpinsKeepTheirButtons) {
  EXPECT_TRUE(TqvFilterTextEditHelper::Class()->KeepsEditButtons(MakeOwned<TqvComboBoxProperties>(nullptr).get()));
  EXPECT_TRUE(TqvFilterTextEditHelper::Class()->KeepsEditButtons(MakeOwned<TqvSpinEditProperties>(nullptr).get()));
  EXPECT_FALSE(TqvFilterTextEditHelper::Class()->KeepsEditButtons(MakeOwned<TqvMaskEditProperties>(nullptr).get()));
  EXPECT_FALSE(TqvFilterMRUEditHelper::Class()->KeepsEditButtons(MakeOwned<TqvComboBoxProperties>(nullptr).get()));
}

TEST_F(FilterHelpers, ACheckBoxValueIsChosenFromItsTwoTexts) {
  auto item = MakeOwned<TqvCheckBoxProperties>(nullptr);
  item->SetValueChecked(String("Y"));
  item->SetValueUnchecked(String("N"));
  TqvFilterEditHelperClass helper = TqvFilterCheckBoxHelper::Class();
  TOwned<TqvCustomEdit> edit(CreateValueEdit(helper, item.get(), nullptr));
  ASSERT_NE(nullptr, As<TqvComboBox>(edit.get()));
  TStrings* lines = As<TqvComboBox>(edit.get())->GetProperties()->GetItems();
  ASSERT_EQ(2, lines->GetCount());
  EXPECT_EQ(item->GetDisplayText(String("Y")), lines->Get(0));
  EXPECT_EQ(item->GetDisplayText(String("N")), lines->Get(1));
  struct TCase {
    Variant Value;
    Integer Index;
  };
  for (const TCase& c : {TCase{String("Y"), 0}, TCase{String("N"), 1}, TCase{Null(), -1}}) {
    helper->WriteFilterValue(edit.get(), item.get(), c.Value);
    EXPECT_EQ(c.Index, As<TqvComboBox>(edit.get())->GetItemIndex()) << VarToStr(c.Value);
    Variant value = String("stale");
    String text = "stale";
    helper->ReadFilterValue(edit.get(), item.get(), value, text);
    EXPECT_TRUE(VarEqualsExact(c.Value, value)) << VarToStr(value);
    EXPECT_EQ(c.Index < 0 ? String() : item->GetDisplayText(c.Value), text);
  }
  EXPECT_TRUE(helper->ShowsDisplayText());
}

TEST_F(FilterHelpers, ARadioGroupValueIsChosenFromItsCaptions) {
  auto item = MakeOwned<TqvRadioGroupProperties>(nullptr);
  for (auto [caption, value] : {std::pair{"Horizontal", 0}, std::pair{"Vertical", 1}}) {
    TqvRadioGroupItem* radio = item->GetItems()->Add();
    radio->SetCaption(caption);
    radio->SetValue(value);
  }
  item->SetDefaultValue(String("?"));
  item->SetDefaultCaption("Unknown");
  TqvFilterEditHelperClass helper = TqvFilterRadioGroupHelper::Class();
  TOwned<TqvCustomEdit> edit(CreateValueEdit(helper, item.get(), nullptr));
  auto* combo = As<TqvComboBox>(edit.get());
  ASSERT_NE(nullptr, combo);
  ASSERT_EQ(2, combo->GetProperties()->GetItems()->GetCount());
  EXPECT_EQ("Vertical", combo->GetProperties()->GetItems()->Get(1));
  helper->WriteFilterValue(edit.get(), item.get(), 1);
  EXPECT_EQ(1, combo->GetItemIndex());
  Variant value;
  String text;
  helper->ReadFilterValue(edit.get(), item.get(), value, text);
  EXPECT_EQ(Variant(1), value);
  EXPECT_EQ("Vertical", text);
  combo->SetItemIndex(-1);
  helper->ReadFilterValue(edit.get(), item.get(), value, text);
  EXPECT_EQ(Variant(String("?")), value);
  EXPECT_EQ("Unknown", text);
}

// ---------------------------------------------------------------------------------------------
// Verifying entered values

struct TVerifyCase {
  const char* Name;
  Variant Value;
  TqvFilterRowOperator Operator;
  TqvValueTypeClass ValueType;
  bool Raises;
  Variant Result;
};

class VerifyFilterValueTable : public ::testing::TestWithParam<TVerifyCase> {};

TEST_P(VerifyFilterValueTable, Checks) {
  const TVerifyCase& c = GetParam();
  Variant value = c.Value;
  if (c.Raises) {
    try {
      VerifyFilterValue(nullptr, value, c.Operator, c.ValueType);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ("Invalid value", e.Message());
    }
  } else {
    VerifyFilterValue(nullptr, value, c.Operator, c.ValueType);
  }
  EXPECT_TRUE(VarEqualsExact(c.Result, value)) << VarToStr(value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, VerifyFilterValueTable,
    ::testing::Values(
        TVerifyCase{"EmptyTextOfAnIntegerIsNull", String(""), froEquals, TqvIntegerValueType::Class(), false, Null()},
        TVerifyCase{"LettersForAnIntegerAreRefused", String("abc"), froEquals, TqvIntegerValueType::Class(), true,
                    String("abc")},
        TVerifyCase{"LikeTakesAnyText", String("abc"), froLike, TqvIntegerValueType::Class(), false, String("abc")},
        TVerifyCase{"NotLikeTakesAnyText", String("a%"), froNotLike, TqvIntegerValueType::Class(), false,
                    String("a%")},
        TVerifyCase{"DigitsForAnIntegerPass", String("12"), froGreater, TqvIntegerValueType::Class(), false,
                    String("12")},
        TVerifyCase{"EmptyTextOfAStringStays", String(""), froEquals, TqvStringValueType::Class(), false, String("")},
        TVerifyCase{"NullPasses", Null(), froEquals, TqvIntegerValueType::Class(), false, Null()},
        TVerifyCase{"WithoutAValueTypeNothingHappens", String(""), froEquals, nullptr, false, String("")}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FilterHelpers, ARefusedValueGivesTheControlTheFocus) {
  TForm* form = NewForm();
  auto* first = Add<TEdit>(form, Rect(10, 10, 100, 30));
  auto* offending = Add<TEdit>(form, Rect(10, 40, 100, 60));
  Show(form);
  first->SetFocus();
  Pump();
  Variant value = String("x");
  EXPECT_THROW(VerifyFilterValue(offending, value, froEquals, TqvIntegerValueType::Class()), Exception);
  Pump();
  EXPECT_TRUE(offending->Focused());
}

}  // namespace
