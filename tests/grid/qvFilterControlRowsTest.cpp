// The builder's rows and criteria: reading a link's filter into rows, writing rows back, the row
// invariants, the link, applying, and the filter files.
#include <filesystem>

#include "platform/rtl/Streams.h"
#include "qvFilterControlTestSupport.h"

namespace {

class FilterRows : public TFilterControlTest {
 protected:
  // The link's filter after the builder applied its rows.
  TqvFilterCriteriaItem* Applied(Integer AIndex) const {
    return static_cast<TqvFilterCriteriaItem*>(Link->Filter()->GetRoot()->GetItem(AIndex));
  }
  static std::vector<Variant> ArrayValues(const Variant& AValue) {
    std::vector<Variant> result;
    for (Integer i = VarArrayLowBound(AValue, 1); i <= VarArrayHighBound(AValue, 1); ++i)
      result.push_back(VarArrayGet(AValue, i));
    return result;
  }
  static std::vector<String> ValueTexts(TqvConditionViewInfo* ARow) {
    std::vector<String> result;
    for (Integer i = 0; i < ARow->Values->GetCount(); ++i) result.push_back(ARow->Values->GetValue(i)->ValueText);
    return result;
  }
};

// ---------------------------------------------------------------------------------------------
// Round trips

struct TRoundTripCase {
  const char* Name;
  Integer Item;
  TqvFilterOperatorKind Kind;
  Variant Value;
  const char* Text;
  TqvFilterRowOperator RowOperator;
  std::vector<const char*> ValueTexts;
  // What applying writes back.
  Variant WrittenValue;
  const char* WrittenText;
};

class FilterRoundTrip : public FilterRows, public ::testing::WithParamInterface<TRoundTripCase> {};

TEST_P(FilterRoundTrip, ReadsIntoARowAndWritesBack) {
  const TRoundTripCase& c = GetParam();
  AddFilter(nullptr, c.Item, c.Kind, c.Value, c.Text);
  Builder->SetLinkComponent(Link);
  ASSERT_EQ(2, Builder->GetRowCount());
  TqvConditionViewInfo* row = Condition(1);
  ASSERT_NE(nullptr, row);
  EXPECT_EQ(c.RowOperator, row->Operator);
  EXPECT_EQ(Link->Item(c.Item)->Caption, row->ItemText);
  std::vector<String> expected(c.ValueTexts.begin(), c.ValueTexts.end());
  EXPECT_EQ(expected, ValueTexts(row));
  ASSERT_TRUE(Builder->ApplyFilter());
  ASSERT_EQ(1, Link->Filter()->GetRoot()->GetCount());
  TqvFilterCriteriaItem* written = Applied(0);
  EXPECT_EQ(c.Kind, written->GetOperatorKind());
  EXPECT_EQ(Link->Item(c.Item), written->GetItemLink());
  if (VarIsArray(c.WrittenValue))
    EXPECT_EQ(ArrayValues(c.WrittenValue), ArrayValues(written->GetValue()));
  else
    EXPECT_EQ(0, VarCompareEx(c.WrittenValue, written->GetValue())) << VarToStr(written->GetValue());
  EXPECT_EQ(String(c.WrittenText), written->GetDisplayValue());
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, FilterRoundTrip,
    ::testing::Values(
        TRoundTripCase{"NullEqualIsBlank", 0, okEqual, Null(), "", froBlank, {"blank"}, Null(), "blank"},
        TRoundTripCase{"NullNotEqualIsNotBlank", 0, okNotEqual, Null(), "", froNotBlank, {"blank"}, Null(), "blank"},
        TRoundTripCase{"Equals", 1, okEqual, 42, "42", froEquals, {"42"}, 42, "42"},
        TRoundTripCase{"LikeWithTheEmptyTextShowsBlank", 0, okLike, String(""), "", froLike, {""}, String(""),
                       "blank"},
        TRoundTripCase{"BetweenIsWrittenAscending", 1, okBetween, VarArrayOf({10, 5}), "10;5", froBetween,
                       {"10", "5"}, VarArrayOf({5, 10}), "5;10"},
        TRoundTripCase{"InList", 0, okInList, VarArrayOf({String("a"), String("b"), String("c")}), "a; b ;c", froIn,
                       {"a", "b", "c"}, VarArrayOf({String("a"), String("b"), String("c")}), "a;b;c"},
        TRoundTripCase{"RelativeDate", 1, okThisWeek, Null(), "", froThisWeek, {""}, Null(), "blank"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FilterRows, NestedGroupsKeepTheirShapeBoolOperatorsAndOrder) {
  TqvDataFilterCriteria* filter = Link->Filter();
  filter->GetRoot()->SetJoinKind(fjkOr);
  AddFilter(nullptr, 0, okLike, String("a%"), "a%");
  TqvFilterCriteriaItemList* inner = filter->GetRoot()->AddItemList(fjkNotAnd);
  AddFilter(inner, 1, okGreater, 3, "3");
  TqvFilterCriteriaItemList* deepest = inner->AddItemList(fjkNotOr);
  AddFilter(deepest, 2, okEqual, String("x"), "x");
  AddFilter(nullptr, 1, okLess, 9, "9");
  Builder->SetLinkComponent(Link);

  // Depth first: root, condition, group, condition, group, condition, condition.
  ASSERT_EQ(7, Builder->GetRowCount());
  EXPECT_EQ(fjkOr, Group(0)->BoolOperator);
  EXPECT_EQ(fjkNotAnd, Group(2)->BoolOperator);
  EXPECT_EQ(fjkNotOr, Group(4)->BoolOperator);
  EXPECT_EQ(Group(4), Condition(5)->Parent);
  EXPECT_EQ(Builder->GetRootRow(), Condition(6)->Parent);

  filter->Clear();
  ASSERT_TRUE(Builder->ApplyFilter());
  TqvFilterCriteriaItemList* root = filter->GetRoot();
  EXPECT_EQ(fjkOr, root->GetJoinKind());
  ASSERT_EQ(3, root->GetCount());
  auto* group = static_cast<TqvFilterCriteriaItemList*>(root->GetItem(1));
  ASSERT_TRUE(group->IsItemList());
  EXPECT_EQ(fjkNotAnd, group->GetJoinKind());
  ASSERT_EQ(2, group->GetCount());
  auto* last = static_cast<TqvFilterCriteriaItemList*>(group->GetItem(1));
  EXPECT_EQ(fjkNotOr, last->GetJoinKind());
  EXPECT_EQ(Link->Item(2), static_cast<TqvFilterCriteriaItem*>(last->GetItem(0))->GetItemLink());
  EXPECT_EQ(okLess, static_cast<TqvFilterCriteriaItem*>(root->GetItem(2))->GetOperatorKind());
}

// ---------------------------------------------------------------------------------------------
// Row invariants

TEST_F(FilterRows, OperatorChangesFitTheValues) {
  AddFilter(nullptr, 1, okInList, VarArrayOf({1, 2, 3}), "1;2;3");
  Builder->SetLinkComponent(Link);
  TqvConditionViewInfo* row = Condition(1);
  ASSERT_EQ(3, row->Values->GetCount());
  row->Operator = froBetween;
  row->AdjustValues(true);
  ASSERT_EQ(2, row->Values->GetCount());
  EXPECT_EQ(Variant(2), row->Values->GetValue(1)->Value);
  row->Operator = froEquals;
  row->AdjustValues(true);
  ASSERT_EQ(1, row->Values->GetCount());
  EXPECT_EQ(Variant(1), row->Values->GetValue(0)->Value);
  row->Operator = froNotBetween;
  row->AdjustValues(true);
  ASSERT_EQ(2, row->Values->GetCount()) << "a range has two values";
  EXPECT_TRUE(VarIsNull(row->Values->GetValue(1)->Value));
  row->Operator = froBlank;
  row->AdjustValues(true);
  ASSERT_EQ(1, row->Values->GetCount()) << "an operator without values keeps one Null value";
  EXPECT_TRUE(VarIsNull(row->Values->GetValue(0)->Value));
}

TEST_F(FilterRows, AnotherItemStartsOperatorAndValuesAnew) {
  AddFilter(nullptr, 1, okInList, VarArrayOf({1, 2}), "1;2");
  Builder->SetLinkComponent(Link);
  TqvConditionViewInfo* row = Condition(1);
  row->SetItemIndex(2);
  EXPECT_EQ("Remark", row->ItemText);
  EXPECT_EQ(30, row->ItemLink);
  EXPECT_EQ(froLike, row->Operator) << "string items start with like";
  ASSERT_EQ(1, row->Values->GetCount());
  EXPECT_TRUE(VarIsNull(row->Values->GetValue(0)->Value));
  row->SetItemIndex(1);
  EXPECT_EQ(froEquals, row->Operator) << "else the first operator offered";
}

TEST_F(FilterRows, NonStringItemsNeverOfferLike) {
  Builder->SetLinkComponent(Link);
  Builder->AddCondition(nullptr);
  TqvConditionViewInfo* row = Condition(1);
  row->SetItemIndex(1);
  EXPECT_FALSE(froIncludes(row->SupportedOperators, froLike));
  EXPECT_FALSE(froIncludes(row->SupportedOperators, froNotLike));
  EXPECT_TRUE(froIncludes(row->SupportedOperators, froIn));
  row->SetItemIndex(0);
  EXPECT_TRUE(froIncludes(row->SupportedOperators, froLike));
}

TEST_F(FilterRows, ItemsWithoutPropertiesUseTheDefaultTextProperties) {
  Link->AddItem(40, "Plain", TqvStringValueType::Class(), nullptr);
  Builder->SetLinkComponent(Link);
  Builder->AddCondition(nullptr);
  TqvConditionViewInfo* row = Condition(1);
  row->SetItemIndex(3);
  EXPECT_EQ(Builder->GetDefaultProperties(), row->GetSourceProperties());
  EXPECT_EQ(TqvFilterTextEditHelper::Class(), row->EditorHelper);
  ASSERT_NE(nullptr, row->EditorProperties);
  EXPECT_EQ(&TqvTextEditProperties::StaticClass(), row->EditorProperties->ClassType());
}

// ---------------------------------------------------------------------------------------------
// Failures

TEST_F(FilterRows, AnItemTheLinkLacksFailsAndKeepsTheShownRows) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  Builder->SetLinkComponent(Link);
  ASSERT_EQ(2, Builder->GetRowCount());
  // A condition on an item the link does not offer, read straight into the builder's criteria.
  TqvFilterControlCriteria* criteria = Builder->GetCriteria();
  criteria->Clear();
  criteria->AddItem(nullptr, TqvFilterControlCriteria::IDToLink(99), okEqual, 1, "1");
  try {
    Builder->BuildRows();
    ADD_FAILURE() << "no error";
  } catch (const EqvFilterControlError& e) {
    EXPECT_EQ("Can't build filter from source", e.Message());
  }
  ASSERT_EQ(2, Builder->GetRowCount());
  EXPECT_EQ("Name", Condition(1)->ItemText);
  EXPECT_FALSE(Builder->IsUpdateLocked());
}

TEST_F(FilterRows, AnIncompleteRowIsNeitherWrittenNorApplied) {
  Link->AddItem(40, "", TqvStringValueType::Class());  // an item without a caption makes an incomplete row
  AddFilter(nullptr, 0, okEqual, String("kept"), "kept");
  Linked();
  Builder->AddCondition(nullptr);
  Condition(2)->SetItemIndex(3);
  ASSERT_FALSE(Condition(2)->IsComplete());
  Builder->GetFocusedInfo().Row = Builder->GetRootRow();
  bool applied = false;
  Builder->OnApplyFilter = [&](TObject*) { applied = true; };
  EXPECT_FALSE(Builder->ApplyFilter());
  EXPECT_FALSE(applied);
  EXPECT_EQ(1, Link->Filter()->GetRoot()->GetCount());
  EXPECT_EQ(Condition(2), Builder->GetFocusedInfo().Row) << "the incomplete row takes the focus";
  EXPECT_EQ(fhkItem, Builder->GetFocusedInfo().HitKind);
  EXPECT_EQ(3, Builder->GetRowCount()) << "the user's rows stay";
}

// ---------------------------------------------------------------------------------------------
// The link

TEST_F(FilterRows, CriteriaItemsFindCaptionAndNameByLinkNotByIndex) {
  Builder->SetLinkComponent(Link);
  TqvFilterControlCriteria* criteria = Builder->GetCriteria();
  TqvFilterCriteriaItem* item = criteria->AddItem(nullptr, TqvFilterControlCriteria::IDToLink(20), okEqual, 1, "1");
  EXPECT_EQ("Number", item->GetFieldCaption());
  EXPECT_EQ("FNumber", item->GetFieldName());
  TqvFilterCriteriaItem* stray = criteria->AddItem(nullptr, TqvFilterControlCriteria::IDToLink(1), okEqual, 1, "1");
  EXPECT_EQ("", stray->GetFieldCaption()) << "1 is an index, not a link";
  EXPECT_TRUE(VarIsNull(item->GetDataValue(0)));
}

TEST_F(FilterRows, LinksAreIDsForTheStream) {
  for (Integer id : {0, 1, -1, 20, 2147483647, -2147483647}) {
    TObject* link = TqvFilterControlCriteria::IDToLink(id);
    EXPECT_NE(nullptr, link);
    EXPECT_EQ(id, TqvFilterControlCriteria::LinkToID(link));
    EXPECT_EQ(id, Builder->GetCriteria()->GetItemLinkID(link));
  }
}

TEST_F(FilterRows, OnlyAFilterableComponentBecomesTheLink) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  Builder->SetLinkComponent(Link);
  auto* other = New<TNotAFilterLink>(Form);
  Builder->SetLinkComponent(other);
  EXPECT_EQ(Link, Builder->GetLinkComponent());
  EXPECT_EQ(2, Builder->GetRowCount());
  Builder->SetLinkComponent(nullptr);
  EXPECT_EQ(nullptr, Builder->GetLinkComponent());
  EXPECT_EQ(1, Builder->GetRowCount());
  EXPECT_TRUE(Builder->GetCriteria()->IsEmpty());
}

TEST_F(FilterRows, AFreedLinkIsForgotten) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  Linked();
  Free(Link);
  Link = nullptr;
  EXPECT_EQ(nullptr, Builder->GetLinkComponent());
  EXPECT_EQ(1, Builder->GetRowCount());
  EXPECT_FALSE(Builder->HasItems());
  Pump();  // paints without the link
  EXPECT_FALSE(Builder->ApplyFilter());
}

TEST_F(FilterRows, FilterCaptionOfAnEmptyRootIsEmpty) {
  Builder->SetLinkComponent(Link);
  Builder->GetRootRow()->BoolOperator = fjkOr;
  EXPECT_EQ("", Builder->GetFilterCaption());
  EXPECT_EQ("", Builder->GetFilterText());
  Builder->AddCondition(nullptr);
  EXPECT_NE("", Builder->GetFilterCaption());
}

TEST_F(FilterRows, ApplyingShowsWhatTheLinkAccepted) {
  Builder->SetLinkComponent(Link);
  Builder->AddCondition(nullptr);
  Condition(1)->Values->GetValue(0)->Value = String("abc");
  Condition(1)->Values->GetValue(0)->ValueText = "abc";
  Integer events = 0;
  Builder->OnApplyFilter = [&](TObject*) {
    ++events;
    // The link keeps only what it likes: here, an OR root with the condition negated.
    Link->Filter()->GetRoot()->SetJoinKind(fjkOr);
    Applied(0)->SetOperatorKind(okNotLike);
  };
  ASSERT_TRUE(Builder->ApplyFilter());
  EXPECT_EQ(1, events);
  ASSERT_EQ(2, Builder->GetRowCount());
  EXPECT_EQ(fjkOr, Builder->GetRootRow()->BoolOperator);
  EXPECT_EQ(froNotLike, Condition(1)->Operator);
  EXPECT_EQ(Variant(String("abc")), Condition(1)->Values->GetValue(0)->Value);
}

TEST_F(FilterRows, AFailedApplyStillRebuildsTheRows) {
  Builder->SetLinkComponent(Link);
  Builder->AddCondition(nullptr);
  Builder->OnApplyFilter = [&](TObject*) { throw Exception("refused"); };
  EXPECT_THROW(Builder->ApplyFilter(), Exception);
  ASSERT_EQ(2, Builder->GetRowCount());
  EXPECT_EQ("Name", Condition(1)->ItemText);
}

// ---------------------------------------------------------------------------------------------
// Filter files

class FilterFiles : public FilterRows {
 protected:
  void SetUp() override {
    FilterRows::SetUp();
    Dir = std::filesystem::temp_directory_path() / ("qj-filter-files-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(Dir);
    FilterRows::TearDown();
  }
  String FileName(const char* AName) const { return (Dir / AName).string(); }
  std::filesystem::path Dir;
};

TEST_F(FilterFiles, SavedFilterLoadsBack) {
  AddFilter(nullptr, 1, okBetween, VarArrayOf({1, 9}), "1;9");
  AddFilter(nullptr, 0, okLike, String("x%"), "x%");
  Builder->SetLinkComponent(Link);
  Builder->SaveToFile(FileName("two.flt"));
  Builder->Clear();
  ASSERT_EQ(1, Builder->GetRowCount());
  Builder->LoadFromFile(FileName("two.flt"));
  ASSERT_EQ(3, Builder->GetRowCount());
  EXPECT_EQ(froBetween, Condition(1)->Operator);
  EXPECT_EQ("Number", Condition(1)->ItemText);
  EXPECT_EQ(froLike, Condition(2)->Operator);
}

TEST_F(FilterFiles, AFileOfAnotherViewChangesNothing) {
  WriteForeignFilter(FileName("foreign.flt"));

  AddFilter(nullptr, 2, okEqual, String("mine"), "mine");
  Builder->SetLinkComponent(Link);
  EXPECT_THROW(Builder->LoadFromFile(FileName("foreign.flt")), EqvFilterControlError);
  ASSERT_EQ(2, Builder->GetRowCount());
  EXPECT_EQ("Remark", Condition(1)->ItemText);
  ASSERT_TRUE(Builder->ApplyFilter());
  EXPECT_EQ(Link->Item(2), Applied(0)->GetItemLink()) << "nothing of the file reached the criteria";
}

TEST_F(FilterFiles, AMalformedFileChangesNothing) {
  AddFilter(nullptr, 0, okEqual, String("mine"), "mine");
  Builder->SetLinkComponent(Link);
  auto stream = MakeOwned<TMemoryStream>();
  Builder->SaveToStream(stream.get());
  stream->SetSize(stream->GetSize() - 3);
  stream->SetPosition(0);
  EXPECT_THROW(Builder->LoadFromStream(stream.get()), EReadError);
  ASSERT_EQ(2, Builder->GetRowCount());
  EXPECT_EQ("mine", Condition(1)->Values->GetValue(0)->ValueText);
}

TEST_F(FilterFiles, LoadingNeedsItemsAndAnExistingFile) {
  EXPECT_THROW(Builder->LoadFromFile(FileName("any.flt")), EqvFilterControlError);
  Builder->SetLinkComponent(Link);
  EXPECT_THROW(Builder->LoadFromFile(FileName("missing.flt")), EFOpenError);
}

}  // namespace
