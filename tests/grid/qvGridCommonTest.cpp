// The text formats of stored layout values: hex text, Boolean text, set text and the "Filter"
// value, both ways, with malformed values.
#include "core/qvFilter.h"
#include "qvGridTestSupport.h"

namespace {

const std::vector<String> kOptionNames = {"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                                          "fcoSoftCompare"};

// ---------------------------------------------------------------------------------------------
// Hex text

struct THexCase {
  const char* Name;
  String Text;
  String Bytes;
};

std::ostream& operator<<(std::ostream& os, const THexCase& c) { return os << c.Name; }

const THexCase kHexReadCases[] = {
    {"MixedCase", "0a0B", String("\x0A\x0B", 2)},
    {"UnpairedLastDigitIsIgnored", "ABC", String("\xAB", 1)},
    {"Empty", "", ""},
    {"ZeroByte", "ff00", String("\xFF\x00", 2)},
};

class HexRead : public ::testing::TestWithParam<THexCase> {};

TEST_P(HexRead, GivesTheBytes) { EXPECT_EQ(HexToString(GetParam().Text), GetParam().Bytes); }

INSTANTIATE_TEST_SUITE_P(GridConversion, HexRead, ::testing::ValuesIn(kHexReadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

const THexCase kHexWriteCases[] = {
    {"UpperCaseFirstByteFirst", "0A0BFF7F", String("\x0A\x0B\xFF\x7F", 4)},
    {"Empty", "", ""},
    {"ZeroBytes", "0000", String("\x00\x00", 2)},
};

class HexWrite : public ::testing::TestWithParam<THexCase> {};

TEST_P(HexWrite, GivesTheText) { EXPECT_EQ(StringToHex(GetParam().Bytes), GetParam().Text); }

INSTANTIATE_TEST_SUITE_P(GridConversion, HexWrite, ::testing::ValuesIn(kHexWriteCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(GridConversion, EveryByteGoesThereAndBack) {
  String bytes;
  for (Integer b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  EXPECT_EQ(HexToString(StringToHex(bytes)), bytes);
}

class HexMalformed : public ::testing::TestWithParam<const char*> {};

TEST_P(HexMalformed, RaisesNamingTheText) {
  try {
    HexToString(GetParam());
    FAIL() << "converted";
  } catch (const EqvHexStringConvertError& e) {
    EXPECT_NE(e.Message().find(GetParam()), String::npos) << e.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(GridConversion, HexMalformed, ::testing::Values("0G", "12 3", "Hex:", "ABZ", "x", "-1"));

// ---------------------------------------------------------------------------------------------
// Boolean text

struct TBooleanCase {
  const char* Text;
  bool Value;
};

class BooleanRead : public ::testing::TestWithParam<TBooleanCase> {};

TEST_P(BooleanRead, AnyCase) { EXPECT_EQ(StringToBoolean(GetParam().Text), GetParam().Value); }

INSTANTIATE_TEST_SUITE_P(GridConversion, BooleanRead,
                         ::testing::Values(TBooleanCase{"true", true}, TBooleanCase{"True", true},
                                           TBooleanCase{"TRUE", true}, TBooleanCase{"false", false},
                                           TBooleanCase{"fAlSe", false}),
                         [](const auto& info) { return std::string(info.param.Text); });

class BooleanMalformed : public ::testing::TestWithParam<const char*> {};

TEST_P(BooleanMalformed, RaisesNamingTheText) {
  try {
    StringToBoolean(GetParam());
    FAIL() << "converted";
  } catch (const EPropertyConvertError& e) {
    EXPECT_NE(e.Message().find(String("\"") + GetParam() + "\""), String::npos) << e.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(GridConversion, BooleanMalformed, ::testing::Values("1", "", "yes", " true", "TRUE "));

// ---------------------------------------------------------------------------------------------
// Set text

struct TSetWriteCase {
  const char* Name;
  Cardinal Set;
  Integer Size;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TSetWriteCase& c) { return os << c.Name; }

const TSetWriteCase kSetWriteCases[] = {
    {"MembersInOrder", 0b0101, 1, "[fcoCaseInsensitive,fcoSoftNull]"},
    {"Empty", 0, 1, "[]"},
    {"All", 0b1111, 4, "[fcoCaseInsensitive,fcoShowOperatorDescription,fcoSoftNull,fcoSoftCompare]"},
    {"BytesBeyondTheSizeAreNotPartOfTheSet", 0x100 | 0b1000, 1, "[fcoSoftCompare]"},
};

class SetWrite : public ::testing::TestWithParam<TSetWriteCase> {};

TEST_P(SetWrite, GivesTheText) {
  EXPECT_EQ(SetToString(GetParam().Set, GetParam().Size, kOptionNames), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(GridConversion, SetWrite, ::testing::ValuesIn(kSetWriteCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(GridConversion, ASetMemberWithoutANameRaises) {
  EXPECT_THROW(SetToString(0b10000, 1, kOptionNames), EPropertyConvertError);
  EXPECT_THROW(SetToString(1, 5, kOptionNames), EPropertyConvertError) << "a set is 1 to 4 bytes";
}

struct TSetReadCase {
  const char* Name;
  const char* Text;
  Cardinal Set;
};

std::ostream& operator<<(std::ostream& os, const TSetReadCase& c) { return os << c.Name; }

const TSetReadCase kSetReadCases[] = {
    {"UntrimmedNamesAreIgnored", "[fcosoftnull, fcoSoftCompare]", 0b0100},
    {"AnyCase", "[FCOCASEINSENSITIVE,fcoSoftCompare]", 0b1001},
    {"Empty", "[]", 0},
    {"EmptyPieces", "[,,]", 0},
    {"UnknownNames", "[fcoNothing,fcoSoftNull]", 0b0100},
    {"Repeated", "[fcoSoftNull,fcoSoftNull]", 0b0100},
    {"BracketInside", "[fcoSoftNull]]", 0},
};

class SetRead : public ::testing::TestWithParam<TSetReadCase> {};

TEST_P(SetRead, ReplacesTheWholeSet) {
  Cardinal set = 0b0010;
  StringToSet(GetParam().Text, set, 1, kOptionNames);
  EXPECT_EQ(set, GetParam().Set);
}

INSTANTIATE_TEST_SUITE_P(GridConversion, SetRead, ::testing::ValuesIn(kSetReadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class SetMalformed : public ::testing::TestWithParam<const char*> {};

TEST_P(SetMalformed, RaisesAndKeepsTheSet) {
  Cardinal set = 0b0010;
  try {
    StringToSet(GetParam(), set, 1, kOptionNames);
    FAIL() << "converted";
  } catch (const EPropertyConvertError& e) {
    EXPECT_NE(e.Message().find(String("\"") + GetParam() + "\""), String::npos) << e.Message();
  }
  EXPECT_EQ(set, 0b0010u);
}

INSTANTIATE_TEST_SUITE_P(GridConversion, SetMalformed,
                         ::testing::Values("fcoSoftNull", "", "[", "]", "[fcoSoftNull", "fcoSoftNull]", " []"));

TEST(GridConversion, IndexOfNameIgnoresCase) {
  EXPECT_EQ(IndexOfName("FCOSOFTNULL", kOptionNames), 2);
  EXPECT_EQ(IndexOfName(" fcoSoftNull", kOptionNames), -1);
  EXPECT_EQ(IndexOfName("", kOptionNames), -1);
}

// ---------------------------------------------------------------------------------------------
// The stored filter

class StoredFilter : public ::testing::Test {
 protected:
  void SetUp() override {
    FController = MakeOwned<TTestGridDataController>(nullptr);
    for (Integer id : {7, 9}) {
      FItems.push_back(MakeOwned<TTestGridItem>(id));
      FController->AddItem(FItems.back().get());
      FController->ChangeValueTypeClass(FController->GetItemCount() - 1, TqvIntegerValueType::Class());
    }
    Filter()->OnChanged = [this](TObject*) { ++FChanges; };
  }
  void TearDown() override {
    FController.reset();
    FItems.clear();
  }
  TqvDataFilterCriteria* Filter() const { return FController->GetFilter(); }
  // One condition: the second item equals 42.
  void FillFilter() {
    Filter()->AddItem(nullptr, FItems[1].get(), okEqual, Variant(42), "42");
    FChanges = 0;
  }

  std::vector<TOwned<TTestGridItem>> FItems;
  TOwned<TTestGridDataController> FController;
  Integer FChanges = 0;
};

TEST_F(StoredFilter, TheEmptyFilter) {
  EXPECT_EQ(GetStoredFilterValue(Filter()).AsString(), "Hex:FFFFFFFF0000000000");
}

TEST_F(StoredFilter, GoesThereAndBack) {
  FillFilter();
  const Variant stored = GetStoredFilterValue(Filter());
  const String text = Filter()->GetFilterText();
  Filter()->Clear();
  FChanges = 0;
  SetStoredFilterValue(Filter(), stored);
  EXPECT_EQ(Filter()->GetFilterText(), text);
  EXPECT_EQ(FChanges, 1) << "the filter hears of the change once";
}

struct TBadFilterCase {
  const char* Name;
  const char* Value;
  bool HexError;  // else the stream does not read
};

std::ostream& operator<<(std::ostream& os, const TBadFilterCase& c) { return os << c.Name; }

const TBadFilterCase kBadFilterCases[] = {
    {"WithoutThePrefix", "FFFFFFFF0000000000", true},
    {"AnotherPrefix", "Bin:FFFFFFFF0000000000", true},
    {"PrefixInAnotherCase", "HEX:FFFFFFFF0000000000", true},
    {"NotHex", "Hex:FFFFFFFF00000000Z0", true},
    {"Empty", "", true},
    {"ShortStream", "Hex:FFFFFFFF0001", false},
    {"NoStream", "Hex:", false},
};

class StoredFilterMalformed : public StoredFilter, public ::testing::WithParamInterface<TBadFilterCase> {};

TEST_P(StoredFilterMalformed, ChangesNothing) {
  FillFilter();
  const String text = Filter()->GetFilterText();
  if (GetParam().HexError) {
    try {
      SetStoredFilterValue(Filter(), Variant(String(GetParam().Value)));
      FAIL() << "read";
    } catch (const EqvHexStringConvertError& e) {
      EXPECT_NE(e.Message().find(String("\"") + GetParam().Value + "\""), String::npos) << e.Message();
    }
  } else {
    EXPECT_THROW(SetStoredFilterValue(Filter(), Variant(String(GetParam().Value))), EReadError);
  }
  EXPECT_EQ(Filter()->GetFilterText(), text);
  EXPECT_EQ(FChanges, 0);
}

INSTANTIATE_TEST_SUITE_P(GridConversion, StoredFilterMalformed, ::testing::ValuesIn(kBadFilterCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StoredFilter, ALongValueIsNamedByItsStart) {
  const String value = "Hex:" + String(200, '0') + "Z";
  try {
    SetStoredFilterValue(Filter(), Variant(value));
    FAIL() << "read";
  } catch (const EqvHexStringConvertError& e) {
    EXPECT_NE(e.Message().find(String(36, '0') + "..."), String::npos) << e.Message();
    EXPECT_LT(e.Message().size(), 100u);
  }
}

}  // namespace
