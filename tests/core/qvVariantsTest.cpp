#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/qvVariants.h"
#include "platform/rtl/Streams.h"

namespace {

using Bytes = std::vector<Byte>;

Bytes StreamedBytes(const Variant& v) {
  TMemoryStream stream;
  WriteVariant(&stream, v);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  return Bytes(p, p + stream.GetSize());
}

Variant ReadBack(const Bytes& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  stream.SetPosition(0);
  return ReadVariant(&stream);
}

}  // namespace

TEST(TaggedValueStream, WritesTheByteVectors) {
  struct Case {
    const char* name;
    Variant value;
    Bytes bytes;
  } cases[] = {
      {"127", 127, {0x02, 0x7F}},
      {"128", 128, {0x03, 0x80, 0x00}},
      {"-129", -129, {0x03, 0x7F, 0xFF}},
      {"40000", 40000, {0x04, 0x40, 0x9C, 0x00, 0x00}},
      {"true", true, {0x09}},
      {"false", false, {0x08}},
      {"null", Null(), {0x00}},
      {"empty", Unassigned(), {0x0D}},
      {"array", VarArrayOf({1, "ab"}), {0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x02, 0x61, 0x62}},
      {"currency", Currency::FromRaw(15000), {0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {"wide", WideString(u"A"), {0x12, 0x01, 0, 0, 0, 0x41, 0x00}},
      {"double 1.0", 1.0, {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {"double -2.0", -2.0, {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {"word as text", static_cast<unsigned short>(7), {0x06, 0x01, '7'}},
  };
  for (const Case& c : cases) EXPECT_EQ(StreamedBytes(c.value), c.bytes) << c.name;
}

TEST(TaggedValueStream, StringTagsByLength) {
  Bytes shortBytes = StreamedBytes(String(255, 'x'));
  EXPECT_EQ(shortBytes[0], 0x06);
  EXPECT_EQ(shortBytes[1], 0xFF);
  EXPECT_EQ(shortBytes.size(), 257u);
  Bytes longBytes = StreamedBytes(String(300, 'x'));
  EXPECT_EQ(longBytes[0], 0x0C);
  EXPECT_EQ((Bytes{longBytes.begin() + 1, longBytes.begin() + 5}), (Bytes{0x2C, 0x01, 0, 0}));
  EXPECT_EQ(ReadBack(longBytes).AsString(), String(300, 'x'));
}

TEST(TaggedValueStream, ReadsBackWhatItWrites) {
  EXPECT_EQ(VarType(ReadBack({0x02, 0xFF})), varShortInt);
  EXPECT_EQ(ReadBack({0x02, 0xFF}).AsInteger(), -1);
  EXPECT_EQ(VarType(ReadBack({0x03, 0x80, 0x00})), varSmallint);
  EXPECT_TRUE(VarIsNull(ReadBack({0x00})));
  EXPECT_TRUE(VarIsEmpty(ReadBack({0x0D})));
  Variant arr = ReadBack(StreamedBytes(VarArrayOf({1, "ab", Null(), true})));
  ASSERT_TRUE(VarIsArray(arr));
  EXPECT_EQ(VarArrayHighBound(arr, 1), 3);
  EXPECT_EQ(VarArrayGet(arr, 1).AsString(), "ab");
  EXPECT_TRUE(VarIsNull(VarArrayGet(arr, 2)));
  Variant date = ReadBack(StreamedBytes(VarFromDateTime(38000.25)));
  EXPECT_EQ(VarType(date), varDate);
  EXPECT_EQ(date.AsDouble(), 38000.25);
}

TEST(TaggedValueStream, DoublesSurviveExtendedRoundTrip) {
  const double values[] = {0.0,
                           -0.0,
                           1.0 / 3.0,
                           -123456.789,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           4.9406564584124654e-320,
                           std::numeric_limits<double>::infinity()};
  for (double d : values) {
    Variant back = ReadBack(StreamedBytes(d));
    EXPECT_EQ(VarType(back), varDouble);
    EXPECT_EQ(back.AsDouble(), d) << d;
    EXPECT_EQ(std::signbit(back.AsDouble()), std::signbit(d)) << d;
  }
  EXPECT_TRUE(std::isnan(ReadBack(StreamedBytes(std::nan(""))).AsDouble()));
}

TEST(TaggedValueStream, MalformedStreamsRaiseReadError) {
  const Bytes bad[] = {
      {0x07},                                     // unknown tag
      {0x13},                                     // unknown tag
      {},                                         // nothing at all
      {0x04, 0x01},                               // truncated integer
      {0x06, 0x05, 'a'},                          // short string longer than the stream
      {0x0C, 0xFF, 0xFF, 0xFF, 0x7F},             // huge long string length
      {0x0C, 0xFF, 0xFF, 0xFF, 0xFF},             // negative long string length
      {0x12, 0x00, 0x00, 0x00, 0x40},             // huge wide string length
      {0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}, // array count beyond the stream
      {0x01, 0x02, 0xFF},                         // negative array count
      {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}, // extended beyond the double range
  };
  for (const Bytes& b : bad) EXPECT_THROW(ReadBack(b), EReadError) << b.size();
  try {
    ReadBack({0x07});
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  Bytes deep;  // arrays of one array, nested far too deep
  for (int i = 0; i < 100; ++i) deep.insert(deep.end(), {0x01, 0x02, 0x01});
  deep.push_back(0x00);
  EXPECT_THROW(ReadBack(deep), EReadError);
}

TEST(VarCompareEx, NullFirstConversionAndIncomparableValues) {
  struct Case {
    const char* name;
    Variant a, b;
    Integer expected;
  } cases[] = {
      {"null null", Null(), Null(), 0},
      {"null 5", Null(), 5, -1},
      {"5 null", 5, Null(), 1},
      {"'10' 10", "10", 10, 0},
      {"x 5", "x", 5, -1},
      {"5 x", 5, "x", -1},
      {"1 2", 1, 2, -1},
      {"b a", "b", "a", 1},
      {"[1,2] [1,2,3]", VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), -1},
      {"[1,3] [1,2]", VarArrayOf({1, 3}), VarArrayOf({1, 2}), 1},
      {"[1,2] [1,2]", VarArrayOf({1, 2}), VarArrayOf({1, 2}), 0},
      {"array scalar", VarArrayOf({1}), 1, 1},
      {"scalar array", 1, VarArrayOf({1}), -1},
      {"nan nan", std::nan(""), std::nan(""), 0},
      {"nan 1", std::nan(""), 1.0, -1},
      {"1 nan", 1.0, std::nan(""), 1},
      {"null nan", Null(), std::nan(""), -1},
  };
  for (const Case& c : cases) EXPECT_EQ(VarCompareEx(c.a, c.b), c.expected) << c.name;
}

TEST(VariantTests, EqualityAndTypeTests) {
  EXPECT_TRUE(VarEquals("10", 10));
  EXPECT_FALSE(VarEquals("x", 10));
  EXPECT_TRUE(VarEqualsBooleanAware(true, "True"));
  EXPECT_FALSE(VarEqualsBooleanAware(true, "False"));
  EXPECT_FALSE(VarEqualsBooleanAware(true, Null()));
  EXPECT_TRUE(VarEqualsBooleanAware(Null(), Null()));
  EXPECT_TRUE(VarEqualsBooleanAware(3, "3"));
  EXPECT_TRUE(VarIsDateEx(VarFromDateTime(1.5)));
  EXPECT_FALSE(VarIsDateEx(1.5));
  EXPECT_TRUE(VarIsNumericEx(Currency::FromRaw(1)));
  EXPECT_FALSE(VarIsNumericEx("1"));
  EXPECT_TRUE(VarIsSoftNull(Null()));
  EXPECT_TRUE(VarIsSoftNull(""));
  EXPECT_TRUE(VarIsSoftNull(WideString()));
  EXPECT_FALSE(VarIsSoftNull(" "));
  EXPECT_FALSE(VarIsSoftNull(0));
}

TEST(VariantTests, ArrayBuilders) {
  Variant one = VarArrayOfOne(5);
  EXPECT_EQ(VarArrayLowBound(one, 1), 0);
  EXPECT_EQ(VarArrayHighBound(one, 1), 0);
  Variant two = VarArrayOfTwo(1, "b");
  VarArrayAppend(two, 3.5);
  ASSERT_EQ(VarArrayHighBound(two, 1), 2);
  EXPECT_EQ(VarArrayGet(two, 1).AsString(), "b");
  EXPECT_EQ(VarArrayGet(two, 2).AsDouble(), 3.5);
}

TEST(TypedStreamHelpers, LittleEndianLayouts) {
  TMemoryStream stream;
  WriteAnsiString(&stream, "ab");
  WriteWideString(&stream, u"z");
  WriteSmallInt(&stream, -2);
  WriteLargeInt(&stream, 0x0102030405060708LL);
  WriteBoolean(&stream, true);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  Bytes got(p, p + stream.GetSize());
  Bytes expected = {2, 0, 0, 0, 'a', 'b', 1, 0, 0, 0, 'z', 0, 0xFE, 0xFF,
                    8, 7, 6, 5, 4, 3, 2, 1, 1};
  EXPECT_EQ(got, expected);
  stream.SetPosition(0);
  EXPECT_EQ(ReadAnsiString(&stream), "ab");
  EXPECT_EQ(ReadWideString(&stream), u"z");
  EXPECT_EQ(ReadSmallInt(&stream), -2);
  EXPECT_EQ(ReadLargeInt(&stream), 0x0102030405060708LL);
  EXPECT_TRUE(ReadBoolean(&stream));
  EXPECT_THROW(ReadByte(&stream), EReadError);
}
