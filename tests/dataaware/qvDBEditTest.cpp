// Editor defaults from dataset fields and the default editor of each field type.
#include "dataaware/qvDBEdit.h"
#include "dataaware/qvEditDBRegisteredRepositoryItems.h"
#include "editors/qvBlobEdit.h"
#include "editors/qvCheckBox.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvDateEdit.h"
#include "editors/qvImage.h"
#include "editors/qvMaskEdit.h"
#include "editors/qvMemo.h"
#include "editors/qvTimeEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/dataaware/qvDBTestSupport.h"

namespace qvDBEditTests {

class DBEditDefaultsTest : public TqvDBTest {
 public:
  DBEditDefaultsTest() : Provider(New<TqvCustomDBEditDefaultValuesProvider>(nullptr)) {}
  void Bind(const String& AFieldName) { Provider->SetField(Field(AFieldName)); }
  TOwned<TqvCustomDBEditDefaultValuesProvider> Provider;
};

TEST_F(DBEditDefaultsTest, WithoutDataEveryAnswerIsTheOneForNoData) {
  CreateChannels(2);
  Table->Open();
  Bind("Notes");
  Table->Close();
  EXPECT_EQ(Provider->GetField(), nullptr) << "the default field went with the dataset";
  TOwned<TStringField> loose(New<TStringField>(nullptr));
  loose->SetEditMask("999");
  loose->SetAlignment(taRightJustify);
  for (TField* field : {static_cast<TField*>(nullptr), static_cast<TField*>(loose.get())}) {
    Provider->SetField(field);
    EXPECT_FALSE(Provider->IsDataAvailable());
    EXPECT_TRUE(Provider->DefaultReadOnly());
    EXPECT_FALSE(Provider->DefaultCanModify());
    EXPECT_EQ(Provider->DefaultAlignment(), taLeftJustify);
    EXPECT_EQ(Provider->DefaultEditMask(), "");
    EXPECT_EQ(Provider->DefaultBlobKind(), TqvBlobKind::None);
    EXPECT_EQ(Provider->DefaultMaxLength(), 0);
    EXPECT_EQ(Provider->DefaultMaxValue(), 0);
    EXPECT_FALSE(Provider->IsValidChar('1'));
    EXPECT_FALSE(Provider->IsDisplayFormatDefined(true));
    EXPECT_FALSE(Provider->IsBlob());
    EXPECT_TRUE(Provider->IsDataAware());
  }
}

TEST_F(DBEditDefaultsTest, AnOpenFieldAnswersFromItself) {
  OpenChannels(1);
  Bind("Name");
  EXPECT_TRUE(Provider->IsDataAvailable());
  EXPECT_FALSE(Provider->DefaultReadOnly());
  EXPECT_TRUE(Provider->DefaultCanModify());
  EXPECT_EQ(Provider->DefaultMaxLength(), 30);
  EXPECT_FALSE(Provider->DefaultIsFloatValue());
  Field("Name")->SetEditMask("LLL");
  Field("Name")->SetRequired(true);
  EXPECT_EQ(Provider->DefaultEditMask(), "LLL");
  EXPECT_TRUE(Provider->DefaultRequired());
  Field("Name")->SetReadOnly(true);
  EXPECT_TRUE(Provider->DefaultReadOnly());
  EXPECT_FALSE(Provider->DefaultCanModify());
  Bind("Freq");
  EXPECT_EQ(Provider->DefaultAlignment(), taRightJustify);
  EXPECT_EQ(Provider->DefaultMaxLength(), 0);
  EXPECT_FALSE(Provider->IsValidChar('x'));
  EXPECT_TRUE(Provider->IsValidChar('7'));
  static_cast<TNumericField*>(Field("Freq"))->SetDisplayFormat("0 kHz");
  EXPECT_EQ(Provider->DefaultDisplayFormat(), "0 kHz");
  Bind("Price");
  EXPECT_TRUE(Provider->DefaultIsFloatValue());
}

TEST_F(DBEditDefaultsTest, AFieldWithOnGetTextAcceptsEveryCharacterAndHasADisplayFormat) {
  OpenChannels(1);
  Bind("Freq");
  EXPECT_FALSE(Provider->IsDisplayFormatDefined(true));
  Field("Freq")->OnGetText = [](TField*, String& AText, bool) { AText = "x"; };
  EXPECT_TRUE(Provider->IsValidChar('x'));
  EXPECT_TRUE(Provider->IsDisplayFormatDefined(false));
}

TEST_F(DBEditDefaultsTest, AFreedFieldMeansNoData) {
  CreateChannels(1);
  auto* name = New<TStringField>(nullptr);
  name->SetFieldName("Name");
  name->SetDataSet(Table);
  Table->Open();
  Provider->SetField(name);
  EXPECT_TRUE(Provider->IsDataAvailable());
  Free(name);
  EXPECT_EQ(Provider->GetField(), nullptr);
  EXPECT_TRUE(Provider->DefaultReadOnly());
}

TEST_F(DBEditDefaultsTest, ALookupFieldCanBeModifiedThroughItsKeys) {
  CreateChannels(2);
  for (const char* name : {"Id", "Freq"}) {
    TField* field = New<TIntegerField>(Owner.get());
    field->SetFieldName(name);
    field->SetDataSet(Table);
  }
  auto* lookup = New<TStringField>(Owner.get());
  lookup->SetFieldName("Other");
  lookup->SetFieldKind(fkLookup);
  lookup->SetKeyFields("Freq");
  lookup->SetLookupDataSet(MakeQuery("SELECT Freq, Name FROM Channels"));
  lookup->SetLookupKeyFields("Freq");
  lookup->SetLookupResultField("Name");
  lookup->SetDataSet(Table);
  Table->Open();
  Provider->SetField(lookup);
  EXPECT_TRUE(Provider->DefaultCanModify());
  Field("Freq")->SetReadOnly(true);
  EXPECT_FALSE(Provider->DefaultCanModify());
}

struct TBlobKindCase {
  const char* Column;
  TqvBlobKind Kind;
  bool IsBlob;
};

class BlobKindTest : public TqvDBTest, public ::testing::WithParamInterface<TBlobKindCase> {};

TEST_P(BlobKindTest, TheKindFollowsTheFieldType) {
  Db->ExecSQL("CREATE TABLE Media (Id INTEGER PRIMARY KEY, Pic GRAPHIC, Text MEMO, Raw BLOB, Name VARCHAR(5))");
  Table->SetTableName("Media");
  Table->Open();
  TOwned<TqvCustomDBEditDefaultValuesProvider> provider(New<TqvCustomDBEditDefaultValuesProvider>(nullptr));
  provider->SetField(Field(GetParam().Column));
  EXPECT_EQ(provider->DefaultBlobKind(), GetParam().Kind);
  EXPECT_EQ(provider->IsBlob(), GetParam().IsBlob);
}

INSTANTIATE_TEST_SUITE_P(Types, BlobKindTest,
                         ::testing::Values(TBlobKindCase{"Pic", TqvBlobKind::Graphic, true},
                                           TBlobKindCase{"Text", TqvBlobKind::Memo, true},
                                           TBlobKindCase{"Raw", TqvBlobKind::None, true},
                                           TBlobKindCase{"Name", TqvBlobKind::None, false}),
                         [](const auto& info) { return String(info.param.Column); });

// ---------------------------------------------------------------------------------------------
// Value ranges

struct TRoundCase {
  const char* Name;
  double Value;
  Integer Precision;
  double Expected;
};

class RoundToSignificantDigitsTest : public ::testing::TestWithParam<TRoundCase> {};

TEST_P(RoundToSignificantDigitsTest, RoundsToTheNearest) {
  EXPECT_EQ(RoundToSignificantDigits(GetParam().Value, GetParam().Precision), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundToSignificantDigitsTest,
                         ::testing::Values(TRoundCase{"Five", 1234.5678, 5, 1234.6},
                                           TRoundCase{"CarriesOver", 999.96, 4, 1000},
                                           TRoundCase{"Negative", -0.000123456, 3, -0.000123},
                                           TRoundCase{"Zero", 0, 5, 0},
                                           TRoundCase{"PrecisionBelowOne", 1234.5678, 0, 1000},
                                           TRoundCase{"PrecisionAboveSeventeen", 1234.5678, 40, 1234.5678},
                                           TRoundCase{"Huge", 1.23456e300, 2, 1.2e300}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DBEditDefaultsTest, FloatRangesAreRoundedToThePrecisionWhateverTheSeparator) {
  OpenChannels(1);
  auto* price = static_cast<TFloatField*>(Field("Price"));
  price->SetPrecision(5);
  price->SetMaxValue(1234.5678);
  price->SetMinValue(-1234.5678);
  Bind("Price");
  TFormatSettings comma = FormatSettings();
  comma.DecimalSeparator = ',';
  comma.ThousandSeparator = '.';
  TFormatSettingsScope scope(comma);
  EXPECT_EQ(Provider->DefaultMaxValue(), 1234.6);
  EXPECT_EQ(Provider->DefaultMinValue(), -1234.6);
  auto* freq = static_cast<TIntegerField*>(Field("Freq"));
  freq->SetMaxValue(20000);
  Bind("Freq");
  EXPECT_EQ(Provider->DefaultMaxValue(), 20000);
  EXPECT_EQ(Provider->DefaultMinValue(), 0);
}

// ---------------------------------------------------------------------------------------------
// Display formats

struct TDisplayFormatCase {
  const char* Name;
  std::function<TField*(TComponent*)> Make;
  bool Editing;
  bool Expected;
};

template <class T>
std::function<TField*(TComponent*)> Maker(const std::function<void(T*)>& ASetUp = nullptr) {
  return [ASetUp](TComponent* AOwner) -> TField* {
    T* field = New<T>(AOwner);
    if (ASetUp) ASetUp(field);
    return field;
  };
}

class DisplayFormatDefinedTest : public TqvDBTest, public ::testing::WithParamInterface<TDisplayFormatCase> {};

// The fields join the dataset as its only field, bound to its Price column.
TEST_P(DisplayFormatDefinedTest, CurrencyCountsOnlyForEditing) {
  CreateChannels(1);
  TField* field = GetParam().Make(Owner.get());
  field->SetFieldName("Price");
  field->SetDataSet(Table);
  Table->Open();
  TOwned<TqvCustomDBEditDefaultValuesProvider> provider(New<TqvCustomDBEditDefaultValuesProvider>(nullptr));
  provider->SetField(field);
  EXPECT_EQ(provider->IsDisplayFormatDefined(GetParam().Editing), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DisplayFormatDefinedTest,
    ::testing::Values(
        TDisplayFormatCase{"CurrencyEditing", Maker<TFloatField>([](auto* f) { f->SetCurrency(true); }), true, true},
        TDisplayFormatCase{"CurrencyShowing", Maker<TFloatField>([](auto* f) { f->SetCurrency(true); }), false, false},
        TDisplayFormatCase{"PlainFloat", Maker<TFloatField>(), true, false},
        TDisplayFormatCase{"NumericFormat", Maker<TFloatField>([](auto* f) { f->SetDisplayFormat("0.00"); }), false,
                           true},
        TDisplayFormatCase{"BCDCurrency", Maker<TBCDField>([](auto* f) { f->SetCurrency(true); }), true, true},
        TDisplayFormatCase{"FMTBCDCurrency", Maker<TFMTBCDField>([](auto* f) { f->SetCurrency(true); }), true, true},
        TDisplayFormatCase{"DateFormat", Maker<TDateTimeField>([](auto* f) { f->SetDisplayFormat("yyyy"); }), false,
                           true},
        TDisplayFormatCase{"PlainDate", Maker<TDateTimeField>(), true, false},
        TDisplayFormatCase{"Text", Maker<TStringField>(), true, false}),
    [](const auto& info) { return info.param.Name; });

// ---------------------------------------------------------------------------------------------
// Default editors

struct TDefaultEditorCase {
  const char* Column;
  TClass ItemClass;
};

class DefaultEditorTest : public TqvDBTest, public ::testing::WithParamInterface<TDefaultEditorCase> {};

TEST_P(DefaultEditorTest, EachFieldTypeHasItsEditor) {
  Db->ExecSQL(
      "CREATE TABLE Kinds (Id INTEGER PRIMARY KEY, B BOOLEAN, C CURRENCY, Bcd DECIMAL(10,2), Fmt DECIMAL(20,6), "
      "D DATE, Dt DATETIME, Ts TIMESTAMP, T TIME, M MEMO, G GRAPHIC, Bl BLOB, S VARCHAR(5), F REAL)");
  Table->SetTableName("Kinds");
  Table->Open();
  TqvEditRepositoryItem* item = GetDefaultDBEditRepositoryItems()->GetItemByField(Field(GetParam().Column));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->ClassType(), GetParam().ItemClass) << item->ClassName();
}

INSTANTIATE_TEST_SUITE_P(
    Types, DefaultEditorTest,
    ::testing::Values(TDefaultEditorCase{"B", &TqvEditRepositoryCheckBoxItem::StaticClass()},
                      TDefaultEditorCase{"C", &TqvEditRepositoryCurrencyItem::StaticClass()},
                      TDefaultEditorCase{"Bcd", &TqvEditRepositoryCurrencyItem::StaticClass()},
                      TDefaultEditorCase{"Fmt", &TqvEditRepositoryMaskItem::StaticClass()},
                      TDefaultEditorCase{"D", &TqvEditRepositoryDateItem::StaticClass()},
                      TDefaultEditorCase{"Dt", &TqvEditRepositoryDateItem::StaticClass()},
                      TDefaultEditorCase{"Ts", &TqvEditRepositoryDateItem::StaticClass()},
                      TDefaultEditorCase{"T", &TqvEditRepositoryTimeItem::StaticClass()},
                      TDefaultEditorCase{"M", &TqvEditRepositoryMemoItem::StaticClass()},
                      TDefaultEditorCase{"G", &TqvEditRepositoryImageItem::StaticClass()},
                      TDefaultEditorCase{"Bl", &TqvEditRepositoryBlobItem::StaticClass()},
                      TDefaultEditorCase{"S", &TqvEditRepositoryMaskItem::StaticClass()},
                      TDefaultEditorCase{"F", &TqvEditRepositoryMaskItem::StaticClass()},
                      TDefaultEditorCase{"Id", &TqvEditRepositoryMaskItem::StaticClass()}),
    [](const auto& info) { return String(info.param.Column); });

TEST(DefaultEditors, CurrencyMakesAnFMTBcdFieldACurrencyField) {
  TqvEditDBRegisteredRepositoryItems* registry = GetDefaultDBEditRepositoryItems();
  TOwned<TFMTBCDField> field(New<TFMTBCDField>(nullptr));
  EXPECT_EQ(registry->GetItemByField(field.get()), registry->GetItemByFieldType(ftFloat));
  field->SetCurrency(true);
  EXPECT_TRUE(registry->GetItemByField(field.get())->InheritsFrom<TqvEditRepositoryCurrencyItem>());
  EXPECT_EQ(registry->GetItemByField(nullptr), registry->GetDefaultItem());
}

TEST(DefaultEditors, ALookupFieldGetsTheLookupItemWhateverItsType) {
  TqvEditDBRegisteredRepositoryItems registry;
  TOwned<TComponent> owner(New<TComponent>(nullptr));
  auto* fallback = New<TqvEditRepositoryMaskItem>(owner.get());
  auto* date = New<TqvEditRepositoryDateItem>(owner.get());
  auto* lookup = New<TqvEditRepositoryCheckBoxItem>(owner.get());
  registry.RegisterDefaultItem(-1, fallback);
  registry.RegisterItemByFieldType(ftDate, -1, date);
  TOwned<TDateField> field(New<TDateField>(nullptr));
  field->SetFieldKind(fkLookup);
  EXPECT_EQ(registry.GetItemByField(field.get()), fallback) << "no lookup item yet";
  registry.RegisterLookupItem(-1, lookup);
  EXPECT_EQ(registry.GetItemByField(field.get()), lookup);
  registry.RegisterItemByFieldType(ftString, -1, lookup);
  registry.UnregisterItemByFieldType(ftString, -1);
  Free(lookup);
  EXPECT_EQ(registry.GetLookupItemCount(), 0) << "a freed item leaves the lookup list too";
  EXPECT_EQ(registry.GetItemByField(field.get()), fallback);
  field->SetFieldKind(fkData);
  EXPECT_EQ(registry.GetItemByField(field.get()), date);
}

}  // namespace qvDBEditTests
