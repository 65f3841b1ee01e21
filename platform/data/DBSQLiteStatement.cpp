#include <cmath>
#include <limits>

#include "platform/data/DBConsts.h"
#include "platform/data/DBSQLiteInternal.h"
#include "platform/rtl/DateTime.h"

namespace {

Variant NaturalInteger(Int64 AValue) {
  if (AValue >= std::numeric_limits<Integer>::min() && AValue <= std::numeric_limits<Integer>::max())
    return Variant(static_cast<Integer>(AValue));
  return Variant(AValue);
}

// An integer column value of an integer field type, narrowed when it fits.
Variant IntegerOfType(Int64 AValue, TFieldType AType) {
  if (AType == ftSmallint && AValue >= -32768 && AValue <= 32767) return Variant(static_cast<short>(AValue));
  if (AType == ftWord && AValue >= 0 && AValue <= 65535) return Variant(static_cast<unsigned short>(AValue));
  if (AType == ftLargeint) return Variant(AValue);
  return NaturalInteger(AValue);
}

bool IsIntegerType(TFieldType AType) {
  return AType == ftSmallint || AType == ftInteger || AType == ftWord || AType == ftAutoInc || AType == ftLargeint;
}

bool IsFloatType(TFieldType AType) { return AType == ftFloat || AType == ftCurrency || AType == ftFMTBcd; }

bool IsDateType(TFieldType AType) {
  return AType == ftDate || AType == ftTime || AType == ftDateTime || AType == ftTimeStamp;
}

bool IsBlobType(TFieldType AType) {
  return AType == ftBlob || AType == ftGraphic || AType == ftBytes || AType == ftVarBytes || AType == ftTypedBinary;
}

constexpr Int64 MaxCurrencyUnits = std::numeric_limits<Int64>::max() / 10000;

Variant FromInteger(Int64 AValue, TFieldType AType) {
  if (AType == ftBoolean) return Variant(AValue != 0);
  if (IsIntegerType(AType)) return IntegerOfType(AValue, AType);
  if (IsFloatType(AType)) return Variant(static_cast<double>(AValue));
  if (AType == ftBCD && AValue > -MaxCurrencyUnits && AValue < MaxCurrencyUnits)
    return Variant(Currency::FromRaw(AValue * 10000));
  if (IsDateType(AType)) return Variant::FromDateTime(static_cast<double>(AValue));
  if (IsTextFieldType(AType)) return Variant(IntToStr(AValue));
  return NaturalInteger(AValue);
}

Variant FromFloat(double AValue, TFieldType AType) {
  if (AType == ftBoolean) return Variant(AValue != 0);
  if (IsIntegerType(AType) && AValue == std::trunc(AValue) && std::fabs(AValue) < 9.2e18)
    return IntegerOfType(static_cast<Int64>(AValue), AType);
  if (AType == ftBCD && std::fabs(AValue) < 9.2e14) return Variant(Currency::FromDouble(AValue));
  if (IsDateType(AType)) return Variant::FromDateTime(AValue);
  if (IsTextFieldType(AType)) return Variant(FloatToStr(AValue, TFormatSettings::EnglishUS()));
  return Variant(AValue);
}

Variant FromText(String AText, TFieldType AType) {
  if (IsDateType(AType)) {
    TDateTime value = 0;
    if (TryISOToDateTime(AText, value)) return Variant::FromDateTime(value);
  } else if (IsIntegerType(AType)) {
    Int64 value = 0;
    if (TryStrToInt64(AText, value)) return IntegerOfType(value, AType);
  } else if (IsFloatType(AType) || AType == ftBCD) {
    double value = 0;
    if (TryStrToFloat(AText, value, TFormatSettings::EnglishUS()))
      return AType == ftBCD ? Variant(Currency::FromDouble(value)) : Variant(value);
  } else if (AType == ftBoolean) {
    bool value = false;
    if (TryStrToBool(AText, value)) return Variant(value);
  }
  return Variant(std::move(AText));
}

// A date value as ISO text: the date alone at midnight, else date and time.
String DateVariantToISO(const Variant& AValue) {
  TDateTime value = VarToDateTime(AValue);
  return DateTimeToISO(value, Frac(value) == 0 ? ftDate : ftDateTime);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void CheckSQLite(sqlite3* ADb, int AResult) {
  if (AResult == SQLITE_OK || AResult == SQLITE_ROW || AResult == SQLITE_DONE) return;
  const char* message = ADb ? sqlite3_errmsg(ADb) : sqlite3_errstr(AResult);
  throw EDatabaseError(Utf8ToAnsi(message));
}

void ExecSQLite(sqlite3* ADb, const String& ASQL) {
  char* error = nullptr;
  int result = sqlite3_exec(ADb, AnsiToUtf8(ASQL).c_str(), nullptr, nullptr, &error);
  if (result == SQLITE_OK) return;
  String message = Utf8ToAnsi(error ? error : sqlite3_errstr(result));
  sqlite3_free(error);
  throw EDatabaseError(message);
}

// Backquotes: the engine takes an unknown name in double quotes for a text, never one in these.
String QuoteIdentifier(const String& AName) { return "`" + StringReplace(AName, "`", "``") + "`"; }

String CodePageName(const std::string& AUtf8) {
  String name = Utf8ToAnsi(AUtf8);
  if (AnsiToUtf8(name) != AUtf8) throw EDatabaseError(&SNameOutsideCodePage, {name});
  return name;
}

TFieldType FieldTypeFromDecl(const String& ADecl, Integer& ASize, Integer& APrecision) {
  String decl = UpperCase(Trim(ADecl));
  ASize = APrecision = 0;
  Integer first = 0, second = 0;
  bool hasFirst = false, hasSecond = false;
  size_t open = decl.find('(');
  if (open != String::npos) {
    size_t close = decl.find(')', open);
    String inside = decl.substr(open + 1, close == String::npos ? String::npos : close - open - 1);
    size_t comma = inside.find(',');
    hasFirst = TryStrToInt(Trim(inside.substr(0, comma)), first);
    hasSecond = comma != String::npos && TryStrToInt(Trim(inside.substr(comma + 1)), second);
    decl = Trim(decl.substr(0, open));
  }
  auto has = [&](const char* AWord) { return decl.find(AWord) != String::npos; };
  if (decl.empty()) return ftBlob;
  if (has("BIGINT") || has("INT64") || has("LARGEINT")) return ftLargeint;
  if (has("SMALLINT") || has("INT2") || has("TINYINT")) return ftSmallint;
  if (decl == "WORD") return ftWord;
  if (has("BOOL") || decl == "BIT") return ftBoolean;
  if (has("INT")) return ftInteger;
  if (has("DATETIME")) return ftDateTime;
  if (has("TIMESTAMP")) return ftTimeStamp;
  if (has("DATE")) return ftDate;
  if (has("TIME")) return ftTime;
  if (has("CURRENCY") || has("MONEY")) return ftCurrency;
  if (has("DECIMAL") || has("NUMERIC")) {
    if (!hasFirst) return ftFloat;
    APrecision = first;
    ASize = hasSecond ? second : 0;
    return ASize <= 4 && APrecision <= 18 ? ftBCD : ftFMTBcd;
  }
  if (has("REAL") || has("FLOA") || has("DOUB")) return ftFloat;
  if (has("MEMO") || has("CLOB") || has("LONGTEXT")) return ftMemo;
  if (hasFirst) ASize = first;
  if (has("NCHAR") || has("NVARCHAR") || has("NTEXT")) return ftWideString;
  if (decl == "CHAR" || decl == "CHARACTER") return ftFixedChar;
  if (has("CHAR") || has("TEXT") || has("STRING")) return ftString;
  ASize = 0;
  if (has("GRAPHIC") || has("IMAGE")) return ftGraphic;
  if (has("BLOB") || has("BINARY")) return ftBlob;
  return ftFloat;
}

// ---------------------------------------------------------------------------------------------
// TSQLiteStatement

TSQLiteStatement::TSQLiteStatement(sqlite3* ADb, const String& ASQL, String* ATail) : FDb(ADb) {
  std::string text = AnsiToUtf8(ASQL);
  const char* tail = nullptr;
  CheckSQLite(FDb, sqlite3_prepare_v2(FDb, text.c_str(), static_cast<int>(text.size() + 1), &FHandle, &tail));
  if (ATail) *ATail = Utf8ToAnsi(tail ? std::string(tail) : std::string());
}

TSQLiteStatement::~TSQLiteStatement() { sqlite3_finalize(FHandle); }

void TSQLiteStatement::Bind(int AIndex, const Variant& AValue, TFieldType AType) {
  int result;
  auto bindText = [&](const std::string& AText) {
    return sqlite3_bind_text(FHandle, AIndex, AText.data(), static_cast<int>(AText.size()), SQLITE_TRANSIENT);
  };
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) {
    result = sqlite3_bind_null(FHandle, AIndex);
  } else if (AType == ftWideString || (AType == ftUnknown && VarType(AValue) == varOleStr)) {
    result = bindText(WideToUtf8(VarToWideStr(AValue)));
  } else if (IsTextFieldType(AType) || (AType == ftUnknown && VarType(AValue) == varString)) {
    result = bindText(AnsiToUtf8(VarToStr(AValue)));
  } else if (IsBlobType(AType)) {
    String bytes = VarToStr(AValue);
    result = sqlite3_bind_blob(FHandle, AIndex, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  } else if (IsDateType(AType)) {
    result = bindText(DateTimeToISO(VarToDateTime(AValue), AType));
  } else if (AType == ftUnknown && VarType(AValue) == varDate) {
    result = bindText(DateVariantToISO(AValue));
  } else if (AType == ftBoolean || VarType(AValue) == varBoolean) {
    result = sqlite3_bind_int64(FHandle, AIndex, AValue.AsBoolean() ? 1 : 0);
  } else if (IsIntegerType(AType) || (AType == ftUnknown && VarIsOrdinal(AValue))) {
    result = sqlite3_bind_int64(FHandle, AIndex, AValue.AsInt64());
  } else {
    result = sqlite3_bind_double(FHandle, AIndex, AValue.AsDouble());
  }
  CheckSQLite(FDb, result);
}

bool TSQLiteStatement::Step() {
  int result = sqlite3_step(FHandle);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  CheckSQLite(FDb, result);
  return false;
}

void TSQLiteStatement::Reset() {
  sqlite3_reset(FHandle);
  sqlite3_clear_bindings(FHandle);
}

int TSQLiteStatement::ColumnCount() const { return sqlite3_column_count(FHandle); }

String TSQLiteStatement::ColumnName(int AColumn) const {
  const char* name = sqlite3_column_name(FHandle, AColumn);
  return CodePageName(name ? name : "");
}

std::string TSQLiteStatement::ColumnUtf8(int AColumn) const {
  const char* text = reinterpret_cast<const char*>(sqlite3_column_text(FHandle, AColumn));
  return std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(FHandle, AColumn)));
}

String TSQLiteStatement::ColumnDeclType(int AColumn) const {
  const char* decl = sqlite3_column_decltype(FHandle, AColumn);
  return decl ? Utf8ToAnsi(decl) : String();
}

Int64 TSQLiteStatement::ColumnInt64(int AColumn) const { return sqlite3_column_int64(FHandle, AColumn); }

// The column's value object is read directly: each column call of the engine would look the
// column up again. The connection has no per-call lock, so the value needs no protection.
Variant TSQLiteStatement::ColumnValue(int AColumn, TFieldType AType) const {
  sqlite3_value* value = sqlite3_column_value(FHandle, AColumn);
  switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
      return Variant::Null();
    case SQLITE_INTEGER:
      return FromInteger(sqlite3_value_int64(value), AType);
    case SQLITE_FLOAT:
      return FromFloat(sqlite3_value_double(value), AType);
    case SQLITE_TEXT: {
      const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      std::string utf8(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value)));
      if (AType == ftWideString) return Variant(Utf8ToWide(utf8));
      if (IsBlobType(AType)) return Variant(String(utf8));
      return FromText(Utf8ToAnsi(std::move(utf8)), AType);
    }
    default: {
      const char* bytes = static_cast<const char*>(sqlite3_value_blob(value));
      return Variant(String(bytes ? bytes : "", static_cast<size_t>(sqlite3_value_bytes(value))));
    }
  }
}

int TSQLiteStatement::ParameterCount() const { return sqlite3_bind_parameter_count(FHandle); }

String TSQLiteStatement::ParameterName(int AIndex) const {
  const char* name = sqlite3_bind_parameter_name(FHandle, AIndex);
  return name ? Utf8ToAnsi(name) : String();
}

void TSQLCondition::BindTo(TSQLiteStatement& AStatement, int AFirst) const {
  for (size_t i = 0; i < Params.size(); ++i)
    AStatement.Bind(AFirst + static_cast<int>(i), Params[i].Value, Params[i].DataType);
}
