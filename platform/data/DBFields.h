// The field classes of the dataset layer, one family per kind of value. A dataset makes the class
// DefaultFieldClass gives for each column's type; code may make any of them itself.
#pragma once

#include "platform/data/DB.h"

// Text (ftString, ftFixedChar).
class TStringField : public TField {
  QJ_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override;
};

// Text beyond the code page (ftWideString); values are WideString.
class TWideStringField : public TStringField {
  QJ_CLASS(TWideStringField, TStringField)
 public:
  explicit TWideStringField(TComponent* AOwner);
};

// Numbers: right-aligned; DisplayFormat and EditFormat are FormatFloat formats.
class TNumericField : public TField {
  QJ_CLASS(TNumericField, TField)
 public:
  explicit TNumericField(TComponent* AOwner);

  const String& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  const String& GetEditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value) { FEditFormat = Value; }
  bool IsValidChar(char AChar) const override;

 protected:
  String ValueText(const Variant& AValue, bool ADisplayText) const override;
  // The text without a format.
  virtual String PlainText(const Variant& AValue, bool ADisplayText) const;

 private:
  String FDisplayFormat;
  String FEditFormat;
};

// 32-bit integers (ftInteger). MinValue and MaxValue bound the value unless both are 0.
class TIntegerField : public TNumericField {
  QJ_CLASS(TIntegerField, TNumericField)
 public:
  explicit TIntegerField(TComponent* AOwner);

  Integer GetMinValue() const { return FMinValue; }
  void SetMinValue(Integer Value) { FMinValue = Value; }
  Integer GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value) { FMaxValue = Value; }

 protected:
  void CheckRange(const Variant& AValue) const override;
  Integer GetDefaultWidth() const override { return 11; }

 private:
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
  QJ_CLASS(TSmallintField, TIntegerField)
 public:
  explicit TSmallintField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
  QJ_CLASS(TWordField, TIntegerField)
 public:
  explicit TWordField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override { return 5; }
};

// The storage numbers new records itself when the value is left empty.
class TAutoIncField : public TIntegerField {
  QJ_CLASS(TAutoIncField, TIntegerField)
 public:
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
  QJ_CLASS(TLargeintField, TNumericField)
 public:
  explicit TLargeintField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override { return 15; }
};

// Doubles (ftFloat). Currency shows money; Precision is the significant digits shown; MinValue
// and MaxValue bound the value unless both are 0.
class TFloatField : public TNumericField {
  QJ_CLASS(TFloatField, TNumericField)
 public:
  explicit TFloatField(TComponent* AOwner);

  bool GetCurrency() const { return FCurrency; }
  void SetCurrency(bool Value);
  Integer GetPrecision() const { return FPrecision; }
  // Clamped to 2..15.
  void SetPrecision(Integer Value);
  double GetMinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }
  bool IsValidChar(char AChar) const override;

 protected:
  String PlainText(const Variant& AValue, bool ADisplayText) const override;
  void CheckRange(const Variant& AValue) const override;

 private:
  bool FCurrency = false;
  Integer FPrecision = 15;
  double FMinValue = 0;
  double FMaxValue = 0;
};

// A double shown as money (ftCurrency).
class TCurrencyField : public TFloatField {
  QJ_CLASS(TCurrencyField, TFloatField)
 public:
  explicit TCurrencyField(TComponent* AOwner);
};

// Decimals of up to four places held exactly (ftBCD); values are Currency.
class TBCDField : public TNumericField {
  QJ_CLASS(TBCDField, TNumericField)
 public:
  explicit TBCDField(TComponent* AOwner);

  bool GetCurrency() const { return FCurrency; }
  void SetCurrency(bool Value);
  Integer GetPrecision() const { return FPrecision; }
  void SetPrecision(Integer Value) { FPrecision = Value; }
  Currency GetMinValue() const { return FMinValue; }
  void SetMinValue(Currency Value) { FMinValue = Value; }
  Currency GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(Currency Value) { FMaxValue = Value; }
  bool IsValidChar(char AChar) const override;

 protected:
  String PlainText(const Variant& AValue, bool ADisplayText) const override;
  void CheckRange(const Variant& AValue) const override;

 private:
  bool FCurrency = false;
  Integer FPrecision = 18;
  Currency FMinValue;
  Currency FMaxValue;
};

// Decimals with more places than ftBCD holds (ftFMTBcd); values are doubles.
class TFMTBCDField : public TNumericField {
  QJ_CLASS(TFMTBCDField, TNumericField)
 public:
  explicit TFMTBCDField(TComponent* AOwner);

  bool GetCurrency() const { return FCurrency; }
  void SetCurrency(bool Value);
  Integer GetPrecision() const { return FPrecision; }
  void SetPrecision(Integer Value) { FPrecision = Value; }
  bool IsValidChar(char AChar) const override;

 protected:
  String PlainText(const Variant& AValue, bool ADisplayText) const override;

 private:
  bool FCurrency = false;
  Integer FPrecision = 18;
};

// "True" or "False".
class TBooleanField : public TField {
  QJ_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* AOwner);

 protected:
  String ValueText(const Variant& AValue, bool ADisplayText) const override;
  Integer GetDefaultWidth() const override { return 5; }
};

// Dates and times (ftDateTime); DisplayFormat is a FormatDateTime format.
class TDateTimeField : public TField {
  QJ_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* AOwner);

  const String& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);

 protected:
  String ValueText(const Variant& AValue, bool ADisplayText) const override;
  Integer GetDefaultWidth() const override { return 18; }

 private:
  String FDisplayFormat;
};

// A date without time (ftDate).
class TDateField : public TDateTimeField {
  QJ_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override { return 10; }
};

// A time of day (ftTime).
class TTimeField : public TDateTimeField {
  QJ_CLASS(TTimeField, TDateTimeField)
 public:
  explicit TTimeField(TComponent* AOwner);

 protected:
  Integer GetDefaultWidth() const override { return 10; }
};

// A moment stored as a time stamp (ftTimeStamp); DisplayFormat as for TDateTimeField.
class TSQLTimeStampField : public TField {
  QJ_CLASS(TSQLTimeStampField, TField)
 public:
  explicit TSQLTimeStampField(TComponent* AOwner);

  const String& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);

 protected:
  String ValueText(const Variant& AValue, bool ADisplayText) const override;
  Integer GetDefaultWidth() const override { return 18; }

 private:
  String FDisplayFormat;
};

// A summary over the records (fkAggregate). Our datasets keep no aggregates, so it binds to no
// column, its value is Null and it cannot be modified; the class exists for the data-aware
// layer, which asks a field's class and its DisplayFormat and Currency to choose an editor.
class TAggregateField : public TField {
  QJ_CLASS(TAggregateField, TField)
 public:
  explicit TAggregateField(TComponent* AOwner);

  const String& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  bool GetCurrency() const { return FCurrency; }
  void SetCurrency(bool Value);

 private:
  String FDisplayFormat;
  bool FCurrency = false;
};

// Bytes (ftBlob) held as a String; shown as "(BLOB)".
class TBlobField : public TField {
  QJ_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* AOwner);
  bool IsBlob() const override { return true; }

 protected:
  String ValueText(const Variant& AValue, bool ADisplayText) const override;
};

// Long text (ftMemo): shown as "(MEMO)", edited as its text.
class TMemoField : public TBlobField {
  QJ_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* AOwner);
};

// A picture's bytes (ftGraphic): shown as "(GRAPHIC)".
class TGraphicField : public TBlobField {
  QJ_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* AOwner);
};
