// Row operators and their criteria kinds, the value-editor helpers, their registry and the check
// of entered values.
#include "qvFilterControlTestSupport.h"

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
  auto overrides = std::make_unique<TqvResourceStringOverrides>();
  overrides->Add(&sqvFilterOperatorBetween, "zwischen");
  SetResourceStringOverrides(std::move(overrides));
  const String caption = GetOperatorCaption(froBetween);
  SetResourceStringOverrides(nullptr);
  EXPECT_EQ("zwischen", caption);
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
        THelperLookupCase{"CheckBoxWithoutComboBoxEditor", &TqvCheckBoxProperties::StaticClass(), nullptr},
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
  TqvFilterRowOperators Simple;
  TqvFilterRowOperators Extended;
};

class FilterHelperOperators : public ::testing::TestWithParam<TOperatorSetCase> {};

TEST_P(FilterHelperOperators, SimpleAndExtendedSets) {
  const TOperatorSetCase& c = GetParam();
  auto properties = MakeOwned<TqvTextEditProperties>(nullptr);
  EXPECT_EQ(c.Simple, c.Helper->GetOperators(properties.get(), false));
  EXPECT_EQ(c.Extended, c.Helper->GetOperators(properties.get(), true));
}

constexpr TqvFilterRowOperators kLikeAndBlanks =
    froBit(froLike) | froBit(froNotLike) | froBit(froBlank) | froBit(froNotBlank);

INSTANTIATE_TEST_SUITE_P(
    Helpers, FilterHelperOperators,
    ::testing::Values(TOperatorSetCase{"Text", TqvFilterTextEditHelper::Class(), froRange(froEquals, froNotBlank),
                                       froRange(froEquals, froNotIn)},
                      TOperatorSetCase{"Memo", TqvFilterMemoHelper::Class(), kLikeAndBlanks, kLikeAndBlanks},
                      TOperatorSetCase{"MRU", TqvFilterMRUEditHelper::Class(), froRange(froEquals, froNotBlank),
                                       froRange(froEquals, froNotIn)}),
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
