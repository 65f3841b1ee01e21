#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/qvDataStorage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"

namespace {

// A place of any value type, zero-filled like a fresh record buffer; frees what it holds.
class TPlace {
 public:
  explicit TPlace(TqvValueTypeClass AType) : FType(AType), FBytes(AType->GetDataSize() + 8, 0) {}
  ~TPlace() {
    if (FAssigned) FType->FreeBuffer(Get());
  }
  void* Get() { return FBytes.data(); }
  TPlace& Set(const Variant& AValue) {
    FType->SetValue(Get(), AValue);
    FAssigned = true;
    return *this;
  }
  Variant Value() { return FType->GetValue(Get()); }

 private:
  TqvValueTypeClass FType;
  std::vector<Byte> FBytes;
  bool FAssigned = false;
};

Integer Sign(Integer v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

Integer ComparePlaces(TqvValueTypeClass AType, const Variant& A, const Variant& B) {
  TPlace a(AType), b(AType);
  a.Set(A);
  b.Set(B);
  return Sign(AType->Compare(a.Get(), b.Get()));
}

std::vector<Byte> StreamOf(TqvValueTypeClass AType, const Variant& AValue) {
  TPlace place(AType);
  place.Set(AValue);
  TMemoryStream stream;
  AType->WriteValue(place.Get(), &stream);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  return std::vector<Byte>(p, p + stream.GetSize());
}

class TTracked : public TObject {
  QJ_INLINE_CLASS(TTracked, TObject)
 public:
  explicit TTracked(int& freed) : FFreed(freed) {}
  ~TTracked() override { ++FFreed; }

 private:
  int& FFreed;
};

}  // namespace

TEST(ValueTypes, RoundTripThroughPlaces) {
  struct Case {
    TqvValueTypeClass type;
    Variant in;
    TVarType outType;
    const char* text;
  } cases[] = {
      {TqvStringValueType::Class(), 42, varString, "42"},
      {TqvWideStringValueType::Class(), "ab", varOleStr, "ab"},
      {TqvSmallintValueType::Class(), "-7", varSmallint, "-7"},
      {TqvIntegerValueType::Class(), "12", varInteger, "12"},
      {TqvWordValueType::Class(), 65535, varWord, "65535"},
      {TqvBooleanValueType::Class(), true, varBoolean, "True"},
      {TqvFloatValueType::Class(), 2.5, varDouble, "2.5"},
      {TqvCurrencyValueType::Class(), 1.5, varCurrency, "1.5"},
      {TqvLargeIntValueType::Class(), 1LL << 40, varInt64, "1099511627776"},
      {TqvVariantValueType::Class(), "free", varString, "free"},
      {TqvFMTBcdValueType::Class(), -12.375, varDouble, "-12.375"},
  };
  for (const Case& c : cases) {
    TPlace place(c.type);
    place.Set(c.in);
    EXPECT_EQ(VarType(place.Value()), c.outType) << c.type->ClassName();
    EXPECT_EQ(c.type->GetDisplayText(place.Get()), c.text) << c.type->ClassName();
  }
}

TEST(ValueTypes, DatesAndTimeStamps) {
  TDateTime moment = EncodeDateTime(2004, 2, 29, 13, 45, 10, 250);
  TPlace date(TqvDateTimeValueType::Class());
  date.Set(VarFromDateTime(moment));
  EXPECT_EQ(VarType(date.Value()), varDate);
  EXPECT_DOUBLE_EQ(date.Value().AsDouble(), moment);
  TPlace stamp(TqvSQLTimeStampValueType::Class());
  stamp.Set(VarFromDateTime(moment));
  EXPECT_NEAR(stamp.Value().AsDouble(), moment, 1e-9);
  TqvSQLTimeStamp a = DateTimeToSQLTimeStamp(moment);
  TqvSQLTimeStamp b = a;
  b.Fractions += 1;
  EXPECT_LT(TqvSQLTimeStampValueType::Class()->CompareValues(&a, &b), 0);
  EXPECT_GT(TqvSQLTimeStampValueType::Class()->CompareValues(&b, &a), 0);
}

TEST(ValueTypes, Comparisons) {
  struct Case {
    const char* name;
    TqvValueTypeClass type;
    Variant a, b;
    Integer expected;
  } cases[] = {
      {"a vs B byte order", TqvStringValueType::Class(), "a", "B", 1},
      {"equal strings", TqvStringValueType::Class(), "x", "x", 0},
      {"wide", TqvWideStringValueType::Class(), "a", "b", -1},
      {"int extremes", TqvIntegerValueType::Class(), -2147483647 - 1, 1, -1},
      {"int extremes reversed", TqvIntegerValueType::Class(), 2147483647, -2147483647 - 1, 1},
      {"float equal", TqvFloatValueType::Class(), 1.0, 1.0, 0},
      {"float greater", TqvFloatValueType::Class(), 2.0, 1.0, 1},
      {"float NaN first", TqvFloatValueType::Class(), std::nan(""), -1e300, -1},
      {"float NaN both", TqvFloatValueType::Class(), std::nan(""), std::nan(""), 0},
      {"bool", TqvBooleanValueType::Class(), false, true, -1},
      {"word", TqvWordValueType::Class(), 1, 65535, -1},
      {"int64", TqvLargeIntValueType::Class(), -(1LL << 62), 1LL << 62, -1},
      {"currency", TqvCurrencyValueType::Class(), 1.25, 1.2, 1},
      {"variant", TqvVariantValueType::Class(), "10", 9, 1},
      {"bcd", TqvFMTBcdValueType::Class(), 0.1, 0.2, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(ComparePlaces(c.type, c.a, c.b), c.expected) << c.name;
}

TEST(ValueTypes, LongAndShortStringsShareTheOrder) {
  const String longText(40, 'm');
  struct Case {
    Variant a, b;
    Integer expected;
  } cases[] = {{longText, "n", -1}, {"n", longText, 1}, {longText, longText, 0},
               {longText + "a", longText, 1}, {String(15, 'z'), String(16, 'z'), -1}};
  for (const Case& c : cases)
    EXPECT_EQ(ComparePlaces(TqvStringValueType::Class(), c.a, c.b), c.expected) << VarToStr(c.a);
  TPlace place(TqvStringValueType::Class());
  place.Set(longText).Set("short").Set(longText + "!");
  EXPECT_EQ(place.Value().AsString(), longText + "!");
  place.Set("");
  EXPECT_EQ(VarType(place.Value()), varString);
  EXPECT_EQ(place.Value().AsString(), "");
}

TEST(ValueTypes, NeverWrittenHoldersSortFirst) {
  TqvValueTypeClass type = TqvStringValueType::Class();
  TPlace never1(type), never2(type), empty(type);
  empty.Set("");
  EXPECT_EQ(type->Compare(never1.Get(), never2.Get()), 0);
  EXPECT_LT(type->Compare(never1.Get(), empty.Get()), 0);
  EXPECT_TRUE(VarIsNull(never1.Value()));
}

TEST(ValueTypes, StreamForms) {
  struct Case {
    const char* name;
    TqvValueTypeClass type;
    Variant value;
    std::vector<Byte> bytes;
  } cases[] = {
      {"currency 1.5", TqvCurrencyValueType::Class(), 1.5, {0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {"string", TqvStringValueType::Class(), "hi", {2, 0, 0, 0, 'h', 'i'}},
      {"wide", TqvWideStringValueType::Class(), "h", {1, 0, 0, 0, 'h', 0}},
      {"smallint", TqvSmallintValueType::Class(), -2, {0xFE, 0xFF}},
      {"integer", TqvIntegerValueType::Class(), 258, {2, 1, 0, 0}},
      {"boolean", TqvBooleanValueType::Class(), true, {1}},
      {"float 1.0", TqvFloatValueType::Class(), 1.0, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"variant tagged", TqvVariantValueType::Class(), 5, {0x02, 0x05}},
      {"bcd as double", TqvFMTBcdValueType::Class(), 1.0, {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
  };
  for (const Case& c : cases) EXPECT_EQ(StreamOf(c.type, c.value), c.bytes) << c.name;

  TMemoryStream stream;
  WriteAnsiString(&stream, "back");
  stream.SetPosition(0);
  TPlace place(TqvStringValueType::Class());
  TqvStringValueType::Class()->ReadValue(place.Get(), &stream);
  EXPECT_EQ(TqvStringValueType::Class()->GetValue(place.Get()).AsString(), "back");
  TqvStringValueType::Class()->FreeBuffer(place.Get());

  TMemoryStream floats;
  WriteDouble(&floats, -2.5);
  floats.SetPosition(0);
  TPlace number(TqvFloatValueType::Class());
  TqvFloatValueType::Class()->ReadValue(number.Get(), &floats);
  EXPECT_EQ(TqvFloatValueType::Class()->GetValue(number.Get()).AsDouble(), -2.5);
}

TEST(ValueTypes, ObjectsAreOwnedAndNotStreamed) {
  int freed = 0;
  TqvValueTypeClass type = TqvObjectValueType::Class();
  std::vector<Byte> place(type->GetDataSize(), 0);
  TqvObjectValueType::SetObject(place.data(), new TTracked(freed));
  TMemoryStream stream;
  type->WriteValue(place.data(), &stream);
  EXPECT_EQ(stream.GetSize(), 0);
  EXPECT_EQ(VarType(type->GetValue(place.data())), varInt64);
  type->FreeBuffer(place.data());
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(TqvObjectValueType::GetObject(place.data()), nullptr);
}

TEST(ValueTypes, FailedConversionLeavesThePlace) {
  TPlace place(TqvIntegerValueType::Class());
  place.Set(7);
  EXPECT_THROW(place.Set("x"), EVariantError);
  EXPECT_EQ(place.Value().AsInteger(), 7);
  TPlace text(TqvStringValueType::Class());
  text.Set("kept");
  EXPECT_THROW(text.Set(Null()), EVariantError);
  EXPECT_EQ(text.Value().AsString(), "kept");
}

TEST(ValueTypes, ValidityAndFamily) {
  EXPECT_TRUE(TqvIntegerValueType::Class()->IsValueValid("12"));
  EXPECT_FALSE(TqvIntegerValueType::Class()->IsValueValid("x"));
  EXPECT_TRUE(TqvIntegerValueType::Class()->IsValueValid(Null()));
  EXPECT_TRUE(TqvVariantValueType::Class()->IsValueValid(VarArrayOf({1})));
  EXPECT_TRUE(TqvStringValueType::Class()->IsString());
  EXPECT_TRUE(TqvWideStringValueType::Class()->IsString());
  EXPECT_FALSE(TqvVariantValueType::Class()->IsString());
  EXPECT_TRUE(TqvObjectValueType::Class()->InheritsFrom(TqvIntegerValueType::Class()));
  EXPECT_TRUE(TqvDateTimeValueType::Class()->InheritsFrom(TqvValueType::Class()));
  EXPECT_FALSE(TqvIntegerValueType::Class()->InheritsFrom(TqvObjectValueType::Class()));
  EXPECT_STREQ(TqvWideStringValueType::Class()->ClassName(), "TqvWideStringValueType");
}

TEST(ValueTypes, BcdDigits) {
  TqvBcd bcd = DoubleToBcd(-1234.5);
  EXPECT_EQ(bcd.Precision, 5);
  EXPECT_EQ(bcd.SignSpecialPlaces, 0x81);
  EXPECT_EQ(bcd.Fraction[0], 0x12);
  EXPECT_EQ(bcd.Fraction[1], 0x34);
  EXPECT_EQ(bcd.Fraction[2], 0x50);
  EXPECT_EQ(BcdToDouble(bcd), -1234.5);
  EXPECT_EQ(BcdToDouble(DoubleToBcd(0.001)), 0.001);
  EXPECT_EQ(BcdToDouble(DoubleToBcd(0)), 0.0);
}
