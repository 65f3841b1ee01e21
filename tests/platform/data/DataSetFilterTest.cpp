// Filter expressions: the syntax the data controller writes, its values bound and never spliced
// into SQL, Null, quotes, dates, case, and the previous filter kept when a new one fails.
#include "DataTestSupport.h"
#include "platform/data/DBFilter.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlTestSupport.h"

namespace {

// People: names with a quote, a Null, accents and letter case; dates, scores and flags with gaps.
class TFilterTest : public TDataTest {
 public:
  void SetUp() override {
    Db->ExecSQL(
        "CREATE TABLE People (Id INTEGER PRIMARY KEY, Name TEXT, City VARCHAR(20), Born DATE, Score REAL, "
        "\"Last Name\" TEXT, Vip BOOLEAN);"
        "INSERT INTO People VALUES (1, 'O''Brien', 'Dublin', '2001-05-04', 7.5, 'Smith', 1);"
        "INSERT INTO People VALUES (2, 'smith', 'london', '1999-12-31', NULL, 'Jones', 0);"
        "INSERT INTO People VALUES (3, 'Smith', 'London', NULL, 3, NULL, 1);"
        "INSERT INTO People VALUES (4, NULL, 'Paris', '2010-01-01', 9, 'X]Y', 0);"
        "INSERT INTO People VALUES (5, '\xD6lm\xFChle', 'K\xF6ln', '2005-06-15', 5, 'M\xFCller', NULL);");
    Table->SetTableName("People");
  }

  String VisibleIds(TDataSet* ADataSet) {
    String ids;
    ADataSet->First();
    while (!ADataSet->GetEof()) {
      ids += (ids.empty() ? "" : ",") + ADataSet->FieldByName("Id")->GetAsString();
      ADataSet->Next();
    }
    return ids;
  }
};

struct TFilterCase {
  const char* Name;
  const char* Expression;
  TFilterOptions Options;
  const char* Ids;
};

const TFilterCase FilterCases[] = {
    {"Quote", "Name = 'O''Brien'", 0, "1"},
    {"CaseMatters", "Name = 'Smith'", 0, "3"},
    {"CaseInsensitive", "Name = 'Smith'", foCaseInsensitive, "2,3"},
    {"AccentsWithoutCase", "City = 'k\xF6LN'", foCaseInsensitive, "5"},
    {"EqualNull", "Name = NULL", 0, "4"},
    {"NotEqualNull", "Name <> NULL", 0, "1,2,3,5"},
    {"IsNull", "Born IS NULL", 0, "3"},
    {"IsNotNull", "Score is not null", 0, "1,3,4,5"},
    {"IsoDate", "Born > '2001-01-01'", 0, "1,4,5"},
    {"LocaleDate", "Born >= '1/1/2005'", 0, "4,5"},
    {"DateFirst", "('1/1/2000' <= Born) AND (Born < '1/1/2006')", 0, "1,5"},
    {"Between", "Born BETWEEN '1999-12-31' AND '2001-05-04'", 0, "1,2"},
    {"NotBetween", "Score NOT BETWEEN 4 AND 8", 0, "3,4"},
    {"In", "Score IN (3, 9)", 0, "3,4"},
    {"NotIn", "Score NOT IN (3, 9)", 0, "1,5"},
    {"InText", "City IN ('London', 'Paris')", 0, "3,4"},
    {"InTextWithoutCase", "City IN ('LONDON', 'paris')", foCaseInsensitive, "2,3,4"},
    {"LikePrefix", "Name LIKE 'Sm%'", 0, "3"},
    {"LikeWithoutCase", "Name LIKE 'sm%'", foCaseInsensitive, "2,3"},
    {"LikeOneCharacter", "Name LIKE '_mith'", 0, "2,3"},
    {"NotLike", "City NOT LIKE '%on%'", 0, "1,4,5"},
    {"BracketedName", "[Last Name] = 'X]Y'", 0, "4"},
    {"BracketWithinName", "[Last Name] = 'M\xFCller'", 0, "5"},
    {"NotAndBoolean", "NOT (City = 'London') AND (Vip = True)", 0, "1"},
    {"BooleanFalse", "Vip = False", 0, "2,4"},
    {"Or", "(City = 'London') OR (Score > 8)", 0, "3,4"},
    {"Nested", "((Score > 4) AND ((Vip = True) OR (Vip IS NULL))) OR (Id = 2)", 0, "1,2,5"},
    {"NegativeAndDecimal", "Score > -1 AND Score < 7.6", 0, "1,3,5"},
    {"TextForNumber", "Id = '3'", 0, "3"},
    {"FieldAgainstField", "Score > Id", 0, "1,4"},
    {"InjectionIsJustText", "Name = 'x'' OR ''1''=''1'", 0, ""},
    {"InjectionInLike", "Name LIKE '%'') OR 1=1 --'", 0, ""},
    {"KeywordsWithoutCase", "name like 'O%' or city = 'Paris'", 0, "1,4"},
};

class DataSetFilter : public TFilterTest, public ::testing::WithParamInterface<TFilterCase> {};

TEST_P(DataSetFilter, SelectsTheRecords) {
  const TFilterCase& c = GetParam();
  Table->SetFilter(c.Expression);
  Table->SetFilterOptions(c.Options);
  Table->SetFiltered(true);
  Table->Open();
  EXPECT_EQ(VisibleIds(Table), c.Ids);
}

TEST_P(DataSetFilter, SelectsTheSameRowsOfAQuery) {
  const TFilterCase& c = GetParam();
  auto query = TOwned<TSQLiteQuery>(New<TSQLiteQuery>(nullptr));
  query->SetDatabase(Db);
  query->GetSQL()->SetText("SELECT * FROM People ORDER BY Id;");
  query->Open();
  query->SetFilterOptions(c.Options);
  query->SetFilter(c.Expression);
  query->SetFiltered(true);
  EXPECT_EQ(VisibleIds(query.get()), c.Ids);
}

INSTANTIATE_TEST_SUITE_P(Expressions, DataSetFilter, ::testing::ValuesIn(FilterCases),
                         [](const ::testing::TestParamInfo<TFilterCase>& info) { return String(info.param.Name); });

// ------------------------------------------------------------------ syntax

struct TSyntaxCase {
  const char* Expression;
  Integer Position;
};

class FilterSyntax : public ::testing::TestWithParam<TSyntaxCase> {};

TEST_P(FilterSyntax, RaisesAtTheFault) {
  const TSyntaxCase& c = GetParam();
  try {
    ParseFilterExpression(c.Expression);
    FAIL() << c.Expression << " parsed";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("position " + IntToStr(c.Position) + ":"), String::npos) << e.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FilterSyntax,
                         ::testing::Values(TSyntaxCase{"Name =", 7}, TSyntaxCase{"(Name = 'a'", 12},
                                           TSyntaxCase{"Name = 'abc", 8}, TSyntaxCase{"[Name = 1", 1},
                                           TSyntaxCase{"Name LIKE 5", 11}, TSyntaxCase{"Name BETWEEN 1", 15},
                                           TSyntaxCase{"Name IN 1", 9}, TSyntaxCase{"Name IS 5", 9},
                                           TSyntaxCase{"Name ~ 1", 6}, TSyntaxCase{"AND Name = 1", 1},
                                           TSyntaxCase{"Name = 1 Qty = 2", 10}, TSyntaxCase{"Name", 5},
                                           TSyntaxCase{"Qty > -'a'", 8}));

TEST(FilterParse, BlankTextIsNoCondition) {
  EXPECT_EQ(ParseFilterExpression("   "), nullptr);
  EXPECT_EQ(ParseFilterExpression(""), nullptr);
}

TEST(FilterParse, NullComparisonsBecomeNullTests) {
  auto node = ParseFilterExpression("NULL <> [A B]");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->Kind, TFilterNodeKind::IsNull);
  EXPECT_TRUE(node->Negated);
  EXPECT_EQ(node->Operands[0].FieldName, "A B");
}

TEST(FilterParse, DoubledClosingCharactersStandForThemselves) {
  auto node = ParseFilterExpression("[a]]b] = 'it''s'");
  EXPECT_EQ(node->Operands[0].FieldName, "a]b");
  EXPECT_EQ(VarToStr(node->Operands[1].Value), "it's");
}

// ------------------------------------------------------------------ nesting

String Repeated(const String& AText, Integer ACount) {
  String text;
  for (Integer i = 0; i < ACount; ++i) text += AText;
  return text;
}

// Each style nests NOT and parentheses ADepth deep around a condition that selects Id 3.
struct TNestingCase {
  const char* Name;
  String (*Text)(Integer ADepth);
};

const TNestingCase NestingCases[] = {
    {"NotChain", [](Integer d) { return Repeated("NOT ", d) + (d % 2 ? "Id <> 3" : "Id = 3"); }},
    {"Parentheses", [](Integer d) { return Repeated("(", d) + "Id = 3" + Repeated(")", d); }},
    {"AndGroups", [](Integer d) { return Repeated("Id > 0 AND (", d) + "Id = 3" + Repeated(")", d); }},
    {"OrGroups", [](Integer d) { return Repeated("Id = 9 OR (", d) + "Id = 3" + Repeated(")", d); }},
    {"NotGroups",
     [](Integer d) { return Repeated("NOT (", d / 2) + (d / 2 % 2 ? "Id <> 3" : "Id = 3") + Repeated(")", d / 2); }},
};

void PrintTo(const TNestingCase& c, std::ostream* os) { *os << c.Name; }

class FilterNesting : public TFilterTest, public ::testing::WithParamInterface<TNestingCase> {};

TEST_P(FilterNesting, UpToTheBoundFilters) {
  String text = GetParam().Text(MaxFilterNesting);
  Table->SetFilter(text);
  Table->SetFiltered(true);
  Table->Open();
  EXPECT_EQ(VisibleIds(Table), "3") << text;
  EXPECT_TRUE(Table->Locate("Id", 3, 0));
  TSQLiteQuery query(nullptr);
  query.SetDatabase(Db);
  query.GetSQL()->SetText("SELECT * FROM People");
  query.SetFilter(text);
  query.SetFiltered(true);
  query.Open();
  EXPECT_EQ(VisibleIds(&query), "3");
}

TEST_P(FilterNesting, BeyondTheBoundRaises) {
  for (Integer depth : {MaxFilterNesting + 2, 16000}) {
    String error = ErrorOf<EDatabaseError>([&] { Table->SetFilter(GetParam().Text(depth)); });
    EXPECT_NE(error.find("NOT and parentheses nested more than " + IntToStr(MaxFilterNesting) + " deep"), String::npos)
        << error;
  }
  EXPECT_EQ(Table->GetFilter(), "");
}

INSTANTIATE_TEST_SUITE_P(Styles, FilterNesting, ::testing::ValuesIn(NestingCases),
                         [](const ::testing::TestParamInfo<TNestingCase>& info) { return String(info.param.Name); });

TEST(FilterParse, TheBoundNamesTheFirstLevelTooDeep) {
  String beyond = Repeated("(", MaxFilterNesting + 1) + "A = 1" + Repeated(")", MaxFilterNesting + 1);
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { ParseFilterExpression(beyond); }),
            "Filter expression error at position " + IntToStr(MaxFilterNesting + 1) +
                ": NOT and parentheses nested more than " + IntToStr(MaxFilterNesting) + " deep");
}

// ------------------------------------------------------------------ long lists

// Every value is a parameter of its own; 200,000 of them select as a short list does.
TEST_F(TDataTest, AnInListOf200000Values) {
  CreateItems(1000);
  String values;
  for (Integer i = 1; i <= 200000; ++i) values += (i > 1 ? "," : "") + IntToStr(i * 5);
  Table->SetFilter("Id IN (" + values + ") AND Name <> 'Item10'");
  Table->SetFiltered(true);
  Table->Open();
  EXPECT_EQ(Table->GetRecordCount(), 199);
  EXPECT_TRUE(Table->Locate("Name", "item15", loCaseInsensitive));
  EXPECT_FALSE(Table->Locate("Name", "Item16", 0));
  TSQLiteQuery query(nullptr);
  query.SetDatabase(Db);
  query.GetSQL()->SetText("SELECT * FROM Items WHERE Qty > :least");
  query.GetParams()->ParamByName("least")->SetValue(100);
  query.SetFilter(Table->GetFilter());
  query.SetFiltered(true);
  query.Open();
  EXPECT_EQ(query.GetRecordCount(), 198) << "the query's own parameter and the filter's values both hold";
}

TEST(FilterLike, MatchesLikeTheDataController) {
  EXPECT_TRUE(MatchLikePattern("Smith", "S%h", false));
  EXPECT_TRUE(MatchLikePattern("Smith", "%", false));
  EXPECT_TRUE(MatchLikePattern("", "%", false));
  EXPECT_FALSE(MatchLikePattern("", "_", false));
  EXPECT_TRUE(MatchLikePattern("abcabc", "%abc", false));
  EXPECT_TRUE(MatchLikePattern("aXbXc", "a%b%c", false));
  EXPECT_FALSE(MatchLikePattern("smith", "S%", false));
  EXPECT_TRUE(MatchLikePattern("\xF6l", "\xD6%", true));
  EXPECT_FALSE(MatchLikePattern(String(5000, 'a'), String(50, '%') + "b", false)) << "no runaway backtracking";
}

// ------------------------------------------------------------------ failures keep the state

TEST_F(TFilterTest, AFilterThatFailsKeepsThePreviousOne) {
  Table->SetFilter("Score > 4");
  Table->SetFiltered(true);
  Table->Open();
  Table->Last();
  Link->SetDataSource(Source);
  Link->Clear();
  EXPECT_THROW(Table->SetFilter("Nope = 1"), EDatabaseError) << "no such field";
  EXPECT_THROW(Table->SetFilter("Born = 'not a date'"), EDatabaseError);
  EXPECT_THROW(Table->SetFilter("Score > "), EDatabaseError);
  EXPECT_EQ(Table->GetFilter(), "Score > 4");
  EXPECT_EQ(Link->Events(), "");
  EXPECT_EQ(VisibleIds(Table), "1,4,5");
}

TEST_F(TFilterTest, TheMessageNamesTheBadValue) {
  Table->Open();
  Table->SetFiltered(true);
  try {
    Table->SetFilter("Born = 'soon'");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "'soon' is not a valid value for field 'Born'");
  }
}

TEST_F(TFilterTest, AnUnfilteredDataSetOnlyChecksTheSyntax) {
  Table->Open();
  Table->SetFilter("Nope = 1");
  EXPECT_EQ(VisibleIds(Table), "1,2,3,4,5");
  EXPECT_THROW(Table->SetFiltered(true), EDatabaseError);
  EXPECT_FALSE(Table->GetFiltered());
  EXPECT_EQ(VisibleIds(Table), "1,2,3,4,5");
}

TEST_F(TFilterTest, OpeningWithABadFilterFailsAndStaysClosed) {
  Table->SetFilter("Nope = 1");
  Table->SetFiltered(true);
  EXPECT_THROW(Table->Open(), EDatabaseError);
  EXPECT_FALSE(Table->GetActive());
  EXPECT_EQ(Table->GetFieldCount(), 0) << "its default fields went with it";
}

TEST_F(TFilterTest, SwitchingFilteringKeepsTheTextAndTheRecord) {
  Table->Open();
  Table->SetFilter("Vip = True");
  Table->SetRecNo(3);
  Table->SetFiltered(true);
  EXPECT_EQ(Table->FieldByName("Id")->GetAsInteger(), 3) << "the current record passes: it stays current";
  EXPECT_EQ(Table->GetRecordCount(), 2);
  Table->SetFiltered(false);
  EXPECT_EQ(Table->GetFilter(), "Vip = True");
  EXPECT_EQ(Table->GetRecordCount(), 5);
  EXPECT_EQ(Table->FieldByName("Id")->GetAsInteger(), 3);
}

// The data controller writes numbers and dates as the locale does: with a decimal comma a digit
// after the comma continues the number, a blank after it separates list elements.
TEST_F(TFilterTest, NumbersAndDatesInTheLocalesFormat) {
  TFormatSettingsScope german(TFormatSettings::German());
  struct TCase {
    const char* Expression;
    const char* Ids;
  } cases[] = {
      {"Score > 7,4", "1,4"},
      {"Score IN (7,5, 3)", "1,3"},
      {"Score BETWEEN 3 AND 7,5", "1,3,5"},
      {"Score = 7.5", "1"},
      {"Born = '04.05.2001'", "1"},
  };
  Table->Open();
  Table->SetFiltered(true);
  for (const TCase& c : cases) {
    Table->SetFilter(c.Expression);
    EXPECT_EQ(VisibleIds(Table), c.Ids) << c.Expression;
  }
  TFormatSettingsScope english(TFormatSettings::EnglishUS());
  EXPECT_THROW(Table->SetFilter("Score > 7,4"), EDatabaseError) << "a comma is no decimal point here";
}

TEST_F(TFilterTest, ChangingTheOptionsFiltersAgain) {
  Table->Open();
  Table->SetFilter("Name = 'SMITH'");
  Table->SetFiltered(true);
  EXPECT_EQ(VisibleIds(Table), "");
  Table->SetFilterOptions(foCaseInsensitive);
  EXPECT_EQ(VisibleIds(Table), "2,3");
}

TEST_F(TFilterTest, TheDataSetUsesTheSQLNullSyntax) {
  EXPECT_TRUE(Table->GetUsesSQLNullSyntax());
  EXPECT_NE(UpperCase(TSQLiteQuery::StaticClass().ClassName()).find("QUERY"), String::npos);
}

TEST_F(TFilterTest, IdentifiersWithQuotesAreQuoted) {
  Db->ExecSQL("CREATE TABLE \"we\"\"ird\" (\"a\"\"b\" INTEGER); INSERT INTO \"we\"\"ird\" VALUES (1), (2);");
  Table->SetTableName("we\"ird");
  Table->SetFilter("[a\"b] = 2");
  Table->SetFiltered(true);
  Table->Open();
  EXPECT_EQ(Table->GetRecordCount(), 1);
  EXPECT_EQ(Table->FieldByName("a\"b")->GetAsInteger(), 2);
}

}  // namespace
