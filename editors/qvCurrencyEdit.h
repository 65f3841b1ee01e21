// The currency editor: a text editor for amounts. Unfocused it shows the value through a display
// format (by default the locale's currency format), focused the plain number; a null value with
// its own text, value bounds, a limit of typed decimals and optional thousand separators.
#pragma once

#include "core/qvFormats.h"
#include "editors/qvTextEdit.h"

// The text properties' assigned values plus whether DisplayFormat was assigned.
class TqvCurrencyEditPropertiesValues : public TqvTextEditPropertiesValues {
  QJ_CLASS(TqvCurrencyEditPropertiesValues, TqvTextEditPropertiesValues)
 public:
  using TqvTextEditPropertiesValues::TqvTextEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool Value) { FDisplayFormat = Value; }

 private:
  bool FDisplayFormat = false;
};

class TqvCustomCurrencyEditProperties : public TqvCustomTextEditProperties, public IqvFormatListener {
  QJ_CLASS(TqvCustomCurrencyEditProperties, TqvCustomTextEditProperties)
 public:
  explicit TqvCustomCurrencyEditProperties(TPersistent* AOwner);
  ~TqvCustomCurrencyEditProperties() override;
  // The text settings, then the currency settings; DisplayFormat as assigned or not in Source.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditPropertiesValuesClass PropertiesValuesClass();
  static TqvCustomEditClass ContainerClass();

  TqvCurrencyEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TqvCurrencyEditPropertiesValues*>(TqvCustomEditProperties::GetAssignedValues());
  }

  // Unfocused: the null text, or the value in the display format; focused: the plain number.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // A text that is neither empty, nor the null text, nor a number is an invalid value; then the
  // bounds and OnValidate.
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;
  bool SupportsValueBounds() const override { return true; }
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return dfoUseProviderFormat; }
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  // The editor's typed-character check.
  bool IsValidTypedChar(const String& AText, Integer ASelStart, Integer ASelLength, char AKey) const;

  // A locale change: the unassigned display format follows it (an assigned one is the user's).
  void FormatChanged() override;
  bool IsFormatChanging() const { return FFormatChanging; }

  Integer GetDecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(Integer Value);
  // The assigned format, else the data binding's default format, else the locale's currency
  // format (a positive and a negative section).
  String GetDisplayFormat();
  // Marks the format assigned.
  void SetDisplayFormat(const String& Value);
  bool IsDisplayFormatStored() const { return GetAssignedValues()->GetDisplayFormat(); }
  // Back to following the binding or the locale.
  void ResetDisplayFormat();
  bool GetNullable() const { return FNullable; }
  void SetNullable(bool Value);
  const String& GetNullString() const { return FNullString; }
  void SetNullString(const String& Value);
  bool GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value);

 private:
  Integer FDecimalPlaces = 2;
  String FDisplayFormat;
  bool FNullable = true;
  String FNullString;
  bool FUseThousandSeparator = false;
  bool FFormatChanging = false;
};

class TqvCurrencyEditProperties : public TqvCustomCurrencyEditProperties {
  QJ_CLASS(TqvCurrencyEditProperties, TqvCustomCurrencyEditProperties)
 public:
  using TqvCustomCurrencyEditProperties::TqvCustomCurrencyEditProperties;
};

class TqvCustomCurrencyEdit : public TqvCustomTextEdit, public IqvFormatListener {
  QJ_CLASS(TqvCustomCurrencyEdit, TqvCustomTextEdit)
 public:
  explicit TqvCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomCurrencyEdit() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomCurrencyEditProperties* GetProperties() const {
    return static_cast<TqvCustomCurrencyEditProperties*>(GetActiveProperties());
  }

  // 0 for Null and for a value that is no amount.
  double GetValue();
  // Kept inside distinct bounds; the display follows.
  void SetValue(double Value);

  // A text that is neither empty, nor the null text, nor a number: Null (Nullable) or 0.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  // A pasted text that is no number gives the old text back, all selected.
  void PasteFromClipboard() override;
  void PropertiesChanged(TObject* Sender) override;
  void FormatChanged() override;

 protected:
  bool IsValidChar(char AChar) override;
  void DoEditKeyPress(char& Key) override;
};

class TqvCurrencyEdit : public TqvCustomCurrencyEdit {
  QJ_CLASS(TqvCurrencyEdit, TqvCustomCurrencyEdit)
 public:
  using TqvCustomCurrencyEdit::TqvCustomCurrencyEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCurrencyEditProperties* GetProperties() const {
    return static_cast<TqvCurrencyEditProperties*>(GetActiveProperties());
  }
  void SetProperties(TqvCurrencyEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

// The repository item of the currency editor (the default editor of currency and BCD values).
class TqvEditRepositoryCurrencyItem : public TqvEditRepositoryItemOf<TqvCurrencyEditProperties> {
  QJ_CLASS(TqvEditRepositoryCurrencyItem, TqvEditRepositoryItemOf<TqvCurrencyEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
