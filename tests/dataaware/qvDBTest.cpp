// Field name lists, key values, filter field names, what fields allow and show, the adapter
// registries and the SQL NULL operators.
#include "core/qvVariants.h"
#include "dataaware/qvDB.h"
#include "dataaware/qvDBFilter.h"
#include "platform/data/DBFilter.h"
#include "platform/rtl/StringList.h"
#include "tests/dataaware/qvDBTestSupport.h"

namespace qvDBTests {

// ---------------------------------------------------------------------------------------------
// Name lists

struct TNameListCase {
  const char* Name;
  const char* List;
  Integer Count;
  bool Multiple;
  std::vector<String> Names;
};

class NameListTest : public ::testing::TestWithParam<TNameListCase> {};

TEST_P(NameListTest, CountsSplitsAndTellsSeveral) {
  const TNameListCase& c = GetParam();
  EXPECT_EQ(GetFieldNameCount(c.List), c.Count);
  EXPECT_EQ(IsMultipleFieldNames(c.List), c.Multiple);
  TStringList list;
  list.Add("stale");
  SplitFieldNames(c.List, &list);
  std::vector<String> names;
  for (Integer i = 0; i < list.GetCount(); ++i) names.push_back(list.Get(i));
  EXPECT_EQ(names, c.Names);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NameListTest,
    ::testing::Values(TNameListCase{"Empty", "", 0, false, {}}, TNameListCase{"One", "Id", 1, false, {"Id"}},
                      TNameListCase{"OneWithSeparator", "Id;", 1, false, {"Id"}},
                      TNameListCase{"TwoWithBlanks", " Id ; Name ", 2, true, {"Id", "Name"}},
                      TNameListCase{"Three", "a;b;c", 3, true, {"a", "b", "c"}},
                      TNameListCase{"EmptyBetween", "a;;b", 3, true, {"a", "", "b"}}),
    [](const auto& info) { return info.param.Name; });

// ---------------------------------------------------------------------------------------------
// Key values

class KeyValuesTest : public TqvDBTest {};

TEST_F(KeyValuesTest, NoFieldIsNullOneIsPlainSeveralAreAnArray) {
  OpenChannels(3);
  EXPECT_TRUE(VarIsNull(GetFieldValues({})));
  Variant one = GetFieldValues(GetDataSetFields(Table, "Freq"));
  EXPECT_FALSE(VarIsArray(one)) << "one field gives its value, not an array of one";
  EXPECT_EQ(one.AsInteger(), 10010);
  Variant two = GetFieldValues(GetDataSetFields(Table, "Name; Freq"));
  ASSERT_TRUE(VarIsArray(two));
  EXPECT_EQ(VarArrayLowBound(two, 1), 0);
  EXPECT_EQ(VarArrayHighBound(two, 1), 1);
  EXPECT_EQ(VarToStr(two.GetElement(0)), "Ch1");
  EXPECT_EQ(two.GetElement(1).AsInteger(), 10010);
}

TEST_F(KeyValuesTest, SetFieldValuesWritesEachFieldItsElement) {
  OpenChannels(1);
  TqvDBFieldList fields = GetDataSetFields(Table, "Name;Freq");
  Table->Edit();
  SetFieldValues(fields, VarArrayOf({"Zed", 42}));
  SetFieldValues({}, 7);  // nothing to write
  Table->Post();
  EXPECT_EQ(Field("Name")->GetAsString(), "Zed");
  EXPECT_EQ(Field("Freq")->GetAsInteger(), 42);
  Table->Edit();
  SetFieldValues(GetDataSetFields(Table, "Freq"), 5);
  Table->Post();
  EXPECT_EQ(Field("Freq")->GetAsInteger(), 5);
}

TEST_F(KeyValuesTest, AMissingNameRaises) {
  OpenChannels(1);
  EXPECT_THROW(GetDataSetFields(Table, "Name;Nope"), EDatabaseError);
}

// ---------------------------------------------------------------------------------------------
// Filter field names

struct TFilterNameCase {
  const char* Name;
  const char* FieldName;
  const char* Origin;
  bool IgnoreOrigin;
  const char* Expected;
};

class FilterFieldNameTest : public ::testing::TestWithParam<TFilterNameCase> {};

TEST_P(FilterFieldNameTest, OriginOrQuotedName) {
  const TFilterNameCase& c = GetParam();
  TOwned<TStringField> field(New<TStringField>(nullptr));
  field->SetFieldName(c.FieldName);
  field->SetOrigin(c.Origin);
  EXPECT_EQ(GetFilterFieldName(field.get(), c.IgnoreOrigin), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FilterFieldNameTest,
    ::testing::Values(TFilterNameCase{"Identifier", "Name", "", false, "Name"},
                      TFilterNameCase{"Underscore", "_a1", "", false, "_a1"},
                      TFilterNameCase{"Blank", "Unit Price", "", false, "[Unit Price]"},
                      TFilterNameCase{"LeadingDigit", "1st", "", false, "[1st]"},
                      TFilterNameCase{"ClosingBracket", "a]b", "", true, "[a]]b]"},
                      TFilterNameCase{"Injection", "x] = 1 OR [y", "", true, "[x]] = 1 OR [y]"},
                      TFilterNameCase{"Origin", "Name", "Channels.Name", false, "Channels.Name"},
                      TFilterNameCase{"OriginIgnored", "Unit Price", "Channels.Price", true, "[Unit Price]"}),
    [](const auto& info) { return info.param.Name; });

TEST(FilterFieldName, NoFieldGivesNothing) { EXPECT_EQ(GetFilterFieldName(nullptr, false), ""); }

TEST(FilterFieldName, AQuotedNameReadsBackAsOneFieldName) {
  for (const char* name : {"a]b", "x] = 1 OR [y", "]]", "Unit Price"}) {
    String quoted = name;
    QuoteFieldName(quoted);
    std::unique_ptr<TFilterNode> node = ParseFilterExpression(quoted + " = 1");
    ASSERT_TRUE(node) << name;
    ASSERT_EQ(node->Kind, TFilterNodeKind::Compare) << name;
    EXPECT_TRUE(node->Operands[0].IsField) << name;
    EXPECT_EQ(node->Operands[0].FieldName, name);
  }
}

TEST(FilterFieldName, SameTextUpperIgnoresCaseOfEveryLetter) {
  EXPECT_TRUE(SameTextUpper("freq", "FREQ"));
  EXPECT_TRUE(SameTextUpper("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_FALSE(SameTextUpper("freq", "freqs"));
}

// ---------------------------------------------------------------------------------------------
// What a field allows and shows

class FieldRulesTest : public TqvDBTest {};

TEST_F(FieldRulesTest, CanModifyField) {
  OpenChannels(1);
  TField* logo = Field("Logo");
  EXPECT_TRUE(CanModifyField(Field("Name"), false));
  EXPECT_TRUE(CanModifyField(logo, true)) << "by value any kind goes";
  EXPECT_FALSE(CanModifyField(logo, false)) << "a blob edited as text needs OnSetText";
  logo->OnSetText = [](TField*, const String&) {};
  EXPECT_TRUE(CanModifyField(logo, false));
  Field("Name")->SetReadOnly(true);
  EXPECT_FALSE(CanModifyField(Field("Name"), true));
}

TEST_F(FieldRulesTest, LookupFieldsNeedEveryKeyModifiable) {
  CreateChannels(2);
  TOwned<TStringField> lookup(New<TStringField>(nullptr));
  EXPECT_FALSE(GetFieldsCanModify(lookup.get())) << "no dataset";
  TField* freq = New<TIntegerField>(Owner.get());
  TField* name = New<TStringField>(Owner.get());
  freq->SetFieldName("Freq");
  name->SetFieldName("Name");
  freq->SetDataSet(Table);
  name->SetDataSet(Table);
  lookup->SetFieldName("Look");
  lookup->SetFieldKind(fkLookup);
  lookup->SetKeyFields("Freq;Name");
  lookup->SetLookupDataSet(MakeQuery("SELECT Freq, Name, Id FROM Channels"));
  lookup->SetLookupKeyFields("Freq;Name");
  lookup->SetLookupResultField("Id");
  lookup->SetDataSet(Table);
  Table->Open();
  EXPECT_TRUE(GetFieldsCanModify(lookup.get()));
  Field("Name")->SetReadOnly(true);
  EXPECT_FALSE(GetFieldsCanModify(lookup.get()));
  EXPECT_FALSE(GetFieldsCanModify(Field("Freq"))) << "no key fields";
  Table->Close();
  lookup->SetDataSet(nullptr);
}

struct TDisplayTextCase {
  const char* Name;
  std::function<TOwned<TField>()> Make;
  bool ForBinary;
  bool Expected;
};

template <class T>
TOwned<TField> MakeField(const std::function<void(T*)>& ASetUp = nullptr) {
  T* field = New<T>(nullptr);
  if (ASetUp) ASetUp(field);
  return TOwned<TField>(field);
}

class FieldNeedsDisplayTextTest : public ::testing::TestWithParam<TDisplayTextCase> {};

TEST_P(FieldNeedsDisplayTextTest, FirstMatchingRuleDecides) {
  TOwned<TField> field = GetParam().Make();
  EXPECT_EQ(FieldNeedsDisplayText(field.get(), GetParam().ForBinary), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FieldNeedsDisplayTextTest,
    ::testing::Values(
        TDisplayTextCase{"PlainText", [] { return MakeField<TStringField>(); }, true, false},
        TDisplayTextCase{"EditMask", [] { return MakeField<TStringField>([](auto* f) { f->SetEditMask("999;0;_"); }); },
                         false, true},
        TDisplayTextCase{"OnGetText",
                         [] {
                           return MakeField<TIntegerField>(
                               [](auto* f) { f->OnGetText = [](TField*, String&, bool) {}; });
                         },
                         false, true},
        TDisplayTextCase{"BlobForBinary", [] { return MakeField<TBlobField>(); }, true, true},
        TDisplayTextCase{"BlobNotForBinary", [] { return MakeField<TMemoField>(); }, false, false},
        TDisplayTextCase{"Boolean", [] { return MakeField<TBooleanField>(); }, true, true},
        TDisplayTextCase{"BooleanNotForBinary", [] { return MakeField<TBooleanField>(); }, false, false},
        TDisplayTextCase{"PlainInteger", [] { return MakeField<TIntegerField>(); }, true, false},
        TDisplayTextCase{"IntegerDisplayFormat",
                         [] { return MakeField<TIntegerField>([](auto* f) { f->SetDisplayFormat("0000"); }); }, false,
                         true},
        TDisplayTextCase{"IntegerEditFormat",
                         [] { return MakeField<TIntegerField>([](auto* f) { f->SetEditFormat("0"); }); }, false, true},
        TDisplayTextCase{"FloatCurrency", [] { return MakeField<TFloatField>([](auto* f) { f->SetCurrency(true); }); },
                         false, true},
        TDisplayTextCase{"PlainFloat", [] { return MakeField<TFloatField>(); }, false, false},
        TDisplayTextCase{"BCDCurrency", [] { return MakeField<TBCDField>([](auto* f) { f->SetCurrency(true); }); },
                         false, true},
        TDisplayTextCase{"FMTBCDCurrency",
                         [] { return MakeField<TFMTBCDField>([](auto* f) { f->SetCurrency(true); }); }, false, true},
        TDisplayTextCase{"PlainDate", [] { return MakeField<TDateField>(); }, true, false},
        TDisplayTextCase{"DateFormat",
                         [] { return MakeField<TDateTimeField>([](auto* f) { f->SetDisplayFormat("yyyy"); }); }, false,
                         true},
        TDisplayTextCase{"AggregateCurrency",
                         [] { return MakeField<TAggregateField>([](auto* f) { f->SetCurrency(true); }); }, false,
                         true},
        TDisplayTextCase{"AggregateFormat",
                         [] { return MakeField<TAggregateField>([](auto* f) { f->SetDisplayFormat("0.0"); }); }, false,
                         true},
        TDisplayTextCase{"PlainAggregate", [] { return MakeField<TAggregateField>(); }, false, false},
        TDisplayTextCase{"TimeStampFormat",
                         [] { return MakeField<TSQLTimeStampField>([](auto* f) { f->SetDisplayFormat("hh"); }); },
                         false, true}),
    [](const auto& info) { return info.param.Name; });

TEST(FieldTypes, NonScalarTypesAreTheirOrdinals) {
  std::vector<Integer> nonScalar;
  for (Integer t = ftUnknown; t <= ftFMTBcd; ++t)
    if (IsNonScalarFieldType(static_cast<TFieldType>(t))) nonScalar.push_back(t);
  EXPECT_EQ(nonScalar, (std::vector<Integer>{12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 26, 27, 28, 29}));
}

// ---------------------------------------------------------------------------------------------
// The adapter registry

class TTestAdapterA : public TqvDBAdapterItem {
  QJ_INLINE_CLASS(TTestAdapterA, TqvDBAdapterItem)
 public:
  using TqvDBAdapterItem::TqvDBAdapterItem;
};

class TTestAdapterB : public TqvDBAdapterItem {
  QJ_INLINE_CLASS(TTestAdapterB, TqvDBAdapterItem)
 public:
  using TqvDBAdapterItem::TqvDBAdapterItem;
};

TClass DataSetClass() { return &TDataSet::StaticClass(); }
TClass SQLiteClass() { return &TSQLiteDataSet::StaticClass(); }
TClass TableClass() { return &TSQLiteTable::StaticClass(); }
TClass QueryClass() { return &TSQLiteQuery::StaticClass(); }
const TqvDBAdapterItem::MetaType* AdapterA() { return &TTestAdapterA::StaticClass(); }
const TqvDBAdapterItem::MetaType* AdapterB() { return &TTestAdapterB::StaticClass(); }

// "<class of the dataset>:<adapter>" for every entry in list order.
std::vector<String> Entries(const TqvDBAdapterList& AList) {
  std::vector<String> entries;
  for (Integer i = 0; i < AList.GetCount(); ++i)
    entries.push_back(AList.GetItem(i)->GetDataSetClass()->ClassName() + ":" + AList.GetItem(i)->ClassName());
  return entries;
}

TEST(AdapterList, AncestorsGoBeforeDescendantsWhateverTheOrderOfRegistration) {
  TqvDBAdapterList list;
  list.RegisterAdapter(TableClass(), AdapterA());
  list.RegisterAdapter(DataSetClass(), AdapterA());
  list.RegisterAdapter(SQLiteClass(), AdapterB());
  list.RegisterAdapter(QueryClass(), AdapterB());
  EXPECT_EQ(Entries(list), (std::vector<String>{"TDataSet:TTestAdapterA", "TSQLiteDataSet:TTestAdapterB",
                                                "TSQLiteQuery:TTestAdapterB", "TSQLiteTable:TTestAdapterA"}));
}

TEST(AdapterList, LookupFindsTheNearestRegisteredAncestor) {
  TqvDBAdapterList list;
  list.RegisterAdapter(DataSetClass(), AdapterA());
  list.RegisterAdapter(QueryClass(), AdapterB());
  Integer index = -1;
  ASSERT_TRUE(list.FindAdapter(QueryClass(), index));
  EXPECT_EQ(list.GetItem(index)->ClassName(), "TTestAdapterB");
  index = -1;
  ASSERT_TRUE(list.FindAdapter(TableClass(), index)) << "an unrelated class falls back to TDataSet's";
  EXPECT_EQ(list.GetItem(index)->GetDataSetClass(), DataSetClass());
}

TEST(AdapterList, AMissReportsTheLowestDescendant) {
  TqvDBAdapterList list;
  list.RegisterAdapter(TableClass(), AdapterA());
  list.RegisterAdapter(QueryClass(), AdapterB());
  Integer index = -1;
  EXPECT_FALSE(list.FindAdapter(SQLiteClass(), index));
  EXPECT_EQ(index, 0);
  index = -1;
  EXPECT_FALSE(list.FindAdapter(DataSetClass(), index));
  EXPECT_EQ(index, 0);
  TqvDBAdapterList empty;
  index = -1;
  EXPECT_FALSE(empty.FindAdapter(DataSetClass(), index));
  EXPECT_EQ(index, -1);
}

TEST(AdapterList, TheNewerAdapterOfOneClassWinsAndUnregisterTakesExactlyItsClass) {
  TqvDBAdapterList list;
  list.RegisterAdapter(SQLiteClass(), AdapterA());
  list.RegisterAdapter(SQLiteClass(), AdapterB());
  Integer index = -1;
  ASSERT_TRUE(list.FindAdapter(TableClass(), index));
  EXPECT_EQ(list.GetItem(index)->ClassName(), "TTestAdapterB");
  list.UnregisterAdapter(TableClass(), AdapterA());  // another dataset class
  list.UnregisterAdapter(SQLiteClass(), &TqvDBAdapterItem::StaticClass());  // an ancestor class
  EXPECT_EQ(list.GetCount(), 2);
  list.UnregisterAdapter(SQLiteClass(), AdapterB());
  EXPECT_EQ(Entries(list), std::vector<String>{"TSQLiteDataSet:TTestAdapterA"});
}

TEST(AdapterList, TheProcessRegistriesServeEveryDataSet) {
  TOwned<TSQLiteTable> table(New<TSQLiteTable>(nullptr));
  EXPECT_TRUE(As<TqvDBProviderDetailFilterAdapter>(DBDetailFilterAdapters()->FindAdapterFor(table.get())));
  EXPECT_TRUE(FindFilterOperatorAdapter(table.get()));
  EXPECT_EQ(FindFilterOperatorAdapter(nullptr), nullptr);
}

// ---------------------------------------------------------------------------------------------
// SQL NULL operators

// A dataset of the SQL database that does not say which NULL syntax it reads.
template <const char* Name>
class TSilentDataSet : public TSQLiteTable {
 public:
  using MetaType = TSQLiteTable::MetaType;
  explicit TSilentDataSet(TComponent* AOwner) : TSQLiteTable(AOwner) {}
  static const MetaType& StaticClass() {
    static const MetaType meta = MetaType::template Make<TSilentDataSet>(Name, &TSQLiteTable::StaticClass());
    return meta;
  }
  TClass ClassType() const override { return &StaticClass(); }
  bool GetUsesSQLNullSyntax() const override { return false; }
};

constexpr char kPlainName[] = "TPlainSet";
constexpr char kLowerQueryName[] = "TMyquerySet";
constexpr char kUpperQueryName[] = "QUERYSet";
constexpr char kEndQueryName[] = "TCacheQuErY";

struct TNullSyntaxCase {
  const char* Name;
  std::function<TOwned<TDataSet>()> Make;
  bool SQLSyntax;
};

template <class T>
TOwned<TDataSet> MakeDataSet() {
  return TOwned<TDataSet>(New<T>(nullptr));
}

class NullSyntaxTest : public ::testing::TestWithParam<TNullSyntaxCase> {};

TEST_P(NullSyntaxTest, BlankTestsOfSQLDataSetsReadIsNull) {
  TOwned<TDataSet> dataSet = GetParam().Make();
  TqvDBFilterOperatorAdapter* adapter = FindFilterOperatorAdapter(dataSet.get());
  ASSERT_TRUE(adapter);
  TqvFilterOperatorClass blank = &TqvFilterNullOperator::StaticClass();
  TqvFilterOperatorClass notBlank = &TqvFilterNotNullOperator::StaticClass();
  TqvFilterOperatorClass equal = &TqvFilterEqualOperator::StaticClass();
  adapter->PrepareOperatorClass(nullptr, dataSet.get(), blank);
  adapter->PrepareOperatorClass(nullptr, dataSet.get(), notBlank);
  adapter->PrepareOperatorClass(nullptr, dataSet.get(), equal);
  bool sql = GetParam().SQLSyntax;
  EXPECT_EQ(blank, sql ? &TqvFilterSQLNullOperator::StaticClass() : &TqvFilterNullOperator::StaticClass());
  EXPECT_EQ(notBlank, sql ? &TqvFilterSQLNotNullOperator::StaticClass() : &TqvFilterNotNullOperator::StaticClass());
  EXPECT_EQ(equal, &TqvFilterEqualOperator::StaticClass()) << "only blank tests change";
}

INSTANTIATE_TEST_SUITE_P(
    DataSets, NullSyntaxTest,
    ::testing::Values(TNullSyntaxCase{"Plain", MakeDataSet<TSilentDataSet<kPlainName>>, false},
                      TNullSyntaxCase{"LowerCaseQuery", MakeDataSet<TSilentDataSet<kLowerQueryName>>, true},
                      TNullSyntaxCase{"UpperCaseQueryFirst", MakeDataSet<TSilentDataSet<kUpperQueryName>>, true},
                      TNullSyntaxCase{"MixedCaseQueryLast", MakeDataSet<TSilentDataSet<kEndQueryName>>, true},
                      TNullSyntaxCase{"SaysSo", MakeDataSet<TSQLiteTable>, true}),
    [](const auto& info) { return info.param.Name; });

TEST(NullSyntax, TheSQLOperatorsWriteIsAndIsNot) {
  TqvFilterSQLNullOperator blank(nullptr);
  TqvFilterSQLNotNullOperator notBlank(nullptr);
  EXPECT_EQ(blank.GetExpressionText(), "IS");
  EXPECT_EQ(notBlank.GetExpressionText(), "IS NOT");
  EXPECT_TRUE(blank.InheritsFrom<TqvFilterNullOperator>()) << "matching and captions stay the base's";
  EXPECT_EQ(notBlank.GetDisplayText(), TqvFilterNotNullOperator(nullptr).GetDisplayText());
}

// ---------------------------------------------------------------------------------------------
// Detail selection

class DetailAdapterTest : public TqvDBTest {
 public:
  void SetUp() override {
    CreateChannels(6);
    Query = MakeQuery("SELECT * FROM Channels WHERE Radio = :Radio ORDER BY Id", false);
    Adapter = As<TqvDBProviderDetailFilterAdapter>(DBDetailFilterAdapters()->FindAdapterFor(Query));
    ASSERT_TRUE(Adapter);
  }

  TSQLiteQuery* Query = nullptr;
  TqvDBProviderDetailFilterAdapter* Adapter = nullptr;
};

TEST_F(DetailAdapterTest, ReopenWithNewValuesReopensOnce) {
  bool reopened = false;
  Adapter->ReopenSQL(Query, "Radio", 1, reopened);
  EXPECT_TRUE(reopened);
  EXPECT_TRUE(Query->GetActive());
  EXPECT_EQ(Query->GetRecordCount(), 3);
  EXPECT_FALSE(Query->ControlsDisabled());
  EXPECT_TRUE(Adapter->IsCurrentQuery(Query, "Radio", 1));
  EXPECT_FALSE(Adapter->IsCurrentQuery(Query, "Radio", 0));
}

TEST_F(DetailAdapterTest, ReopenWithTheSameValuesOnlyGoesToTheFirstRecord) {
  bool reopened = false;
  Adapter->ReopenSQL(Query, "Radio", 1, reopened);
  Query->Last();
  reopened = false;
  Adapter->ReopenSQL(Query, "Radio", 1, reopened);
  EXPECT_FALSE(reopened);
  EXPECT_EQ(Query->GetRecNo(), 1);
  EXPECT_TRUE(Query->GetActive());
}

TEST_F(DetailAdapterTest, AFailedReopenReenablesTheControls) {
  bool reopened = false;
  EXPECT_THROW(Adapter->ReopenSQL(Query, "Nope", 1, reopened), EDatabaseError);
  EXPECT_FALSE(reopened);
  EXPECT_FALSE(Query->ControlsDisabled());
}

TEST_F(DetailAdapterTest, ADataSetWithoutParametersIsNeverTheCurrentQuery) {
  Table->Open();
  bool reopened = false;
  EXPECT_FALSE(Adapter->IsCurrentQuery(Table, "Id", 1));
  Adapter->ReopenSQL(Table, "Id", 1, reopened);
  EXPECT_FALSE(reopened);
  EXPECT_TRUE(Table->GetActive());
}

TEST_F(DetailAdapterTest, SelectDetailLocatesOutsideSQLMode) {
  Table->Open();
  bool reopened = false;
  Adapter->SelectDetail(Table, "Freq", 10040, false, reopened);
  EXPECT_EQ(Field("Id")->GetAsInteger(), 4);
  EXPECT_FALSE(reopened);
  Adapter->SelectDetail(Query, "Radio", 0, true, reopened);
  EXPECT_TRUE(reopened);
  EXPECT_EQ(Query->GetRecordCount(), 3);
}

}  // namespace qvDBTests
