// Fields: default fields from the columns, persistent and lookup fields, texts, formats, valid
// characters and the fields' life with their dataset.
#include "DataTestSupport.h"
#include "platform/rtl/DateTime.h"

namespace {

// Hears the free notifications of the components it watches.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<TComponent*> Removed;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) Removed.push_back(AComponent);
  }
};

TEST_F(TDataTest, DefaultFieldsFollowTheColumns) {
  OpenItems(2);
  ASSERT_EQ(Table->GetFieldCount(), 6);
  EXPECT_TRUE(Table->GetDefaultFields());
  EXPECT_TRUE(Field("Id")->IsExactly<TAutoIncField>());
  EXPECT_TRUE(Field("Name")->IsExactly<TStringField>());
  EXPECT_TRUE(Field("Qty")->IsExactly<TIntegerField>());
  EXPECT_TRUE(Field("Price")->IsExactly<TFloatField>());
  EXPECT_TRUE(Field("Born")->IsExactly<TDateField>());
  EXPECT_TRUE(Field("Active")->IsExactly<TBooleanField>());
  EXPECT_EQ(Field("Name")->GetSize(), 30);
  EXPECT_EQ(Field("Name")->GetDisplayWidth(), 30);
  EXPECT_TRUE(Field("Name")->GetRequired()) << "NOT NULL without default";
  EXPECT_FALSE(Field("Id")->GetRequired()) << "the storage numbers it";
  EXPECT_EQ(Field("Qty")->GetAlignment(), taRightJustify);
  EXPECT_EQ(Field("Name")->GetAlignment(), taLeftJustify);
  EXPECT_EQ(Field("Qty")->GetFieldNo(), 3);
  EXPECT_EQ(Field("Qty")->GetIndex(), 2);
  EXPECT_EQ(Field("Qty")->GetDataSet(), Table);
  EXPECT_EQ(Field("Qty")->GetOwner(), Table);
}

TEST_F(TDataTest, FindingFields) {
  OpenItems(1);
  EXPECT_EQ(Table->FindField("qTy"), Field("Qty"));
  EXPECT_EQ(Table->FindField("Nope"), nullptr);
  try {
    Table->FieldByName("Nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Nope' not found");
  }
  TList list;
  Table->GetFieldList(&list, "Price; Id;");
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list[0], Field("Price"));
  EXPECT_EQ(list[1], Field("Id"));
  EXPECT_THROW(Table->GetFieldList(&list, "Id;Nope"), EDatabaseError);
}

TEST_F(TDataTest, DefaultFieldsDieOnCloseAndSayGoodbye) {
  OpenItems(1);
  TWatcher watcher(nullptr);
  TField* name = Field("Name");
  name->FreeNotification(&watcher);
  Table->Close();
  EXPECT_EQ(watcher.Removed, std::vector<TComponent*>{name});
  EXPECT_EQ(Table->GetFieldCount(), 0);
  EXPECT_FALSE(Table->GetDefaultFields());
  Table->Open();
  EXPECT_EQ(Table->GetFieldCount(), 6);
}

TEST_F(TDataTest, DisplayNamesAndWidths) {
  OpenItems(1);
  TField* qty = Field("Qty");
  EXPECT_EQ(qty->GetDisplayName(), "Qty");
  qty->SetDisplayLabel("Quantity");
  EXPECT_EQ(qty->GetDisplayName(), "Quantity");
  EXPECT_EQ(qty->GetDisplayWidth(), 11);
  qty->SetDisplayWidth(4);
  EXPECT_EQ(qty->GetDisplayWidth(), 4);
  qty->SetOrigin("Items.Qty");
  EXPECT_EQ(qty->GetOrigin(), "Items.Qty");
}

TEST_F(TDataTest, PersistentFieldsChooseTheColumns) {
  CreateItems(2);
  auto* name = New<TStringField>(Owner.get());
  name->SetFieldName("Name");
  name->SetDataSet(Table);
  auto* qty = New<TIntegerField>(Owner.get());
  qty->SetFieldName("Qty");
  qty->SetDataSet(Table);
  Table->Open();
  EXPECT_FALSE(Table->GetDefaultFields());
  EXPECT_EQ(Table->GetFieldCount(), 2);
  EXPECT_EQ(name->GetAsString(), "Item1");
  EXPECT_EQ(qty->GetAsInteger(), 10);
  EXPECT_THROW(qty->SetDataSet(nullptr), EDatabaseError) << "not while open";
  Table->Close();
  EXPECT_EQ(Table->GetFieldCount(), 2) << "persistent fields stay";
  auto* missing = New<TIntegerField>(Owner.get());
  missing->SetFieldName("Weight");
  missing->SetDataSet(Table);
  try {
    Table->Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Weight' not found");
  }
  EXPECT_FALSE(Table->GetActive());
  auto* twin = New<TIntegerField>(Owner.get());
  twin->SetFieldName("qty");
  EXPECT_THROW(twin->SetDataSet(Table), EDatabaseError) << "duplicate field name";
  Free(missing);
  Table->Open();
  Free(qty);
  EXPECT_FALSE(Table->GetActive()) << "a field leaving an open dataset closes it";
  EXPECT_EQ(Table->GetFieldCount(), 1);
}

TEST_F(TDataTest, AnAggregateFieldTakesNoColumnAndHasNoValue) {
  CreateItems(2);
  auto* name = New<TStringField>(Owner.get());
  name->SetFieldName("Name");
  name->SetDataSet(Table);
  auto* total = New<TAggregateField>(Owner.get());
  total->SetFieldName("Total");
  total->SetDataSet(Table);
  EXPECT_EQ(total->GetFieldKind(), fkAggregate);
  EXPECT_FALSE(total->InheritsFrom<TNumericField>());
  Link->SetDataSource(Source);
  Table->Open();
  EXPECT_TRUE(total->IsNull()) << "no column of that name is needed";
  EXPECT_EQ(total->GetDisplayText(), "");
  EXPECT_FALSE(total->GetCanModify());
  Table->Edit();
  EXPECT_THROW(total->SetValue(5), EDatabaseError);
  Table->Cancel();
  Link->Clear();
  total->SetDisplayFormat("#,##0.00");
  total->SetCurrency(true);
  EXPECT_EQ(Link->Events(), "LayoutChanged, LayoutChanged");
  EXPECT_EQ(total->GetDisplayFormat(), "#,##0.00");
  EXPECT_TRUE(total->GetCurrency());
}

class TLookupTest : public TDataTest {
 public:
  void SetUp() override {
    Db->ExecSQL(
        "CREATE TABLE Kinds (Code INTEGER PRIMARY KEY, Title TEXT);"
        "INSERT INTO Kinds VALUES (1, 'Radio'), (2, 'TV');"
        "CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name TEXT, KindCode INTEGER);"
        "INSERT INTO Channels VALUES (1, 'One', 2), (2, 'Two', 1), (3, 'Three', NULL), (4, 'Four', 7);");
    Kinds = New<TSQLiteTable>(Owner.get());
    Kinds->SetDatabase(Db);
    Kinds->SetTableName("Kinds");
    Table->SetTableName("Channels");
    for (const char* name : {"Id", "Name", "KindCode"}) {
      TField* field = name == String("Name") ? static_cast<TField*>(New<TStringField>(Owner.get()))
                                             : New<TIntegerField>(Owner.get());
      field->SetFieldName(name);
      field->SetDataSet(Table);
    }
    Kind = New<TStringField>(Owner.get());
    Kind->SetFieldName("Kind");
    Kind->SetFieldKind(fkLookup);
    Kind->SetKeyFields("KindCode");
    Kind->SetLookupDataSet(Kinds);
    Kind->SetLookupKeyFields("Code");
    Kind->SetLookupResultField("Title");
    Kind->SetDataSet(Table);
  }

  TSQLiteTable* Kinds = nullptr;
  TStringField* Kind = nullptr;
};

TEST_F(TLookupTest, ShowsTheResultOfTheKey) {
  Kinds->Open();
  Table->Open();
  std::vector<String> kinds;
  for (Table->First(); !Table->GetEof(); Table->Next()) kinds.push_back(Kind->GetDisplayText());
  EXPECT_EQ(kinds, (std::vector<String>{"TV", "Radio", "", ""}));
  EXPECT_TRUE(Kind->GetLookup());
  EXPECT_EQ(Kind->GetFieldNo(), 0);
  EXPECT_FALSE(Kind->GetCanModify());
  Table->Edit();
  EXPECT_THROW(Kind->SetAsString("Radio"), EDatabaseError);
  Table->FieldByName("KindCode")->SetAsInteger(1);
  EXPECT_EQ(Kind->GetAsString(), "Radio") << "follows its key";
  EXPECT_EQ(Kinds->GetRecNo(), 1) << "the lookup dataset did not move";
}

TEST_F(TLookupTest, AClosedLookupDataSetGivesNull) {
  Table->Open();
  EXPECT_TRUE(Kind->IsNull());
}

TEST_F(TLookupTest, FollowsTheLookupDataSetsDeath) {
  Table->Open();
  Free(Kinds);
  EXPECT_EQ(Kind->GetLookupDataSet(), nullptr);
  EXPECT_TRUE(Kind->IsNull());
  Table->Close();
  EXPECT_THROW(Table->Open(), EDatabaseError) << "lookup information incomplete";
}

TEST_F(TLookupTest, RefusesItsOwnDataSetAndUnknownKeys) {
  EXPECT_THROW(Kind->SetLookupDataSet(Table), EDatabaseError);
  Kind->SetKeyFields("Nope");
  EXPECT_THROW(Table->Open(), EDatabaseError);
}

// ------------------------------------------------------------------ texts

TEST_F(TDataTest, TextsFollowTheFieldType) {
  CreateItems(0);
  Db->ExecSQL(
      "CREATE TABLE Kinds (F REAL, C CURRENCY, B DECIMAL(10,2), D DATE, T TIME, DT DATETIME, TS TIMESTAMP, "
      "L BOOLEAN, M MEMO, X BLOB, I INTEGER);"
      "INSERT INTO Kinds VALUES (1234.5, 3.5, 12.25, '2024-02-29', '13:05:09', '2024-02-29 13:05:00', "
      "'2024-02-29 00:00:00', 1, 'long text', x'00FF', 42);");
  Table->SetTableName("Kinds");
  Table->Open();
  struct TTextCase {
    const char* Field;
    const char* DisplayText;
    const char* Text;
  } cases[] = {
      {"F", "1234.5", "1234.5"},       {"C", "$3.50", "3.5"},
      {"B", "12.25", "12.25"},         {"D", "2/29/2024", "2/29/2024"},
      {"T", "1:05:09 PM", "1:05:09 PM"}, {"DT", "2/29/2024 1:05:00 PM", "2/29/2024 1:05:00 PM"},
      {"TS", "2/29/2024", "2/29/2024"}, {"L", "True", "True"},
      {"M", "(MEMO)", "long text"},    {"X", "(BLOB)", "(BLOB)"},
      {"I", "42", "42"},
  };
  for (const TTextCase& c : cases) {
    EXPECT_EQ(Table->FieldByName(c.Field)->GetDisplayText(), c.DisplayText) << c.Field;
    EXPECT_EQ(Table->FieldByName(c.Field)->GetText(), c.Text) << c.Field;
  }
  EXPECT_EQ(Table->FieldByName("X")->GetAsString(), String("\0\xFF", 2)) << "bytes as they are";
  EXPECT_TRUE(Table->FieldByName("M")->IsBlob());
  EXPECT_FALSE(Table->FieldByName("F")->IsBlob());
}

TEST_F(TDataTest, FormatsShapeTheTexts) {
  OpenItems(3);
  auto* price = As<TFloatField>(Field("Price"));
  price->SetDisplayFormat("0.000");
  EXPECT_EQ(price->GetDisplayText(), "0.500");
  EXPECT_EQ(price->GetText(), "0.5");
  price->SetEditFormat("0.0");
  EXPECT_EQ(price->GetText(), "0.5");
  price->SetDisplayFormat("");
  price->SetCurrency(true);
  EXPECT_EQ(price->GetDisplayText(), "$0.50");
  auto* born = As<TDateTimeField>(Field("Born"));
  born->SetDisplayFormat("yyyy-mm-dd");
  EXPECT_EQ(born->GetDisplayText(), "2024-01-02");
  EXPECT_EQ(born->GetText(), "1/2/2024");
}

TEST_F(TDataTest, TextHandlersReplaceTheConversions) {
  OpenItems(2);
  TField* qty = Field("Qty");
  qty->OnGetText = [](TField* Sender, String& Text, bool DisplayText) {
    Text = (DisplayText ? "#" : "") + IntToStr(Sender->GetAsInteger() / 10);
  };
  qty->OnSetText = [](TField* Sender, const String& Text) { Sender->SetAsInteger(StrToInt(Text) * 10); };
  EXPECT_EQ(qty->GetDisplayText(), "#1");
  EXPECT_EQ(qty->GetText(), "1");
  Table->Edit();
  qty->SetText("7");
  EXPECT_EQ(qty->GetAsInteger(), 70);
}

TEST_F(TDataTest, TextsConvertToTheFieldType) {
  OpenItems(2);
  Table->Edit();
  Field("Qty")->SetText("15");
  Field("Price")->SetAsString("2.5");
  Field("Born")->SetAsString("3/4/2025");
  Field("Active")->SetAsString("False");
  EXPECT_EQ(Field("Qty")->GetValue().VarType(), varInteger);
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 15);
  EXPECT_DOUBLE_EQ(Field("Price")->GetAsFloat(), 2.5);
  EXPECT_EQ(Field("Born")->GetAsDateTime(), EncodeDate(2025, 3, 4));
  EXPECT_FALSE(Field("Active")->GetAsBoolean());
  Field("Qty")->SetAsString("");
  EXPECT_TRUE(Field("Qty")->IsNull()) << "an empty text clears a number";
  Field("Name")->SetAsString("");
  EXPECT_FALSE(Field("Name")->IsNull()) << "and is a text of its own";
  Table->Post();
  EXPECT_EQ(Field("Born")->GetAsString(), "3/4/2025");
}

TEST_F(TDataTest, ValidCharactersFollowTheType) {
  OpenItems(1);
  struct TCharCase {
    const char* Field;
    const char* Valid;
    const char* Invalid;
  } cases[] = {
      {"Qty", "0123456789+-", ".eEa "},
      {"Price", "0123456789+-.eE", "a, "},
      {"Name", "aZ09 .,'", ""},
      {"Born", "1/", ""},
  };
  for (const TCharCase& c : cases) {
    for (const char* p = c.Valid; *p; ++p) EXPECT_TRUE(Field(c.Field)->IsValidChar(*p)) << c.Field << " " << *p;
    for (const char* p = c.Invalid; *p; ++p) EXPECT_FALSE(Field(c.Field)->IsValidChar(*p)) << c.Field << " " << *p;
  }
}

TEST_F(TDataTest, ValuesOfEmptyAndNullFields) {
  OpenItems(1);
  Table->Edit();
  Field("Qty")->Clear();
  EXPECT_TRUE(Field("Qty")->IsNull());
  EXPECT_EQ(Field("Qty")->GetAsInteger(), 0);
  EXPECT_EQ(Field("Qty")->GetAsString(), "");
  EXPECT_EQ(Field("Qty")->GetDisplayText(), "");
  EXPECT_DOUBLE_EQ(Field("Qty")->GetAsFloat(), 0);
  EXPECT_FALSE(Field("Qty")->GetAsBoolean());
}

}  // namespace
