// Locale-dependent formats shared by the editors (kept in one format controller and recomputed
// when the locale changes), the date utilities with the smart date words ("today", "bom" ...),
// and two data routines: a currency format string and a case-insensitive prefix test.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "core/qvVariants.h"

// A missing date in the date conversions.
constexpr TDateTime NullDate = -700000;

// ---------------------------------------------------------------------------------------------
// Format controller

class IqvFormatListener : public virtual IInterface {
 public:
  virtual void FormatChanged() = 0;
};

class TqvFormatController : public TObject {
  QJ_CLASS(TqvFormatController, TObject)
 public:
  TqvFormatController();
  ~TqvFormatController() override;

  void AddListener(IqvFormatListener* AListener);
  void RemoveListener(IqvFormatListener* AListener);
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  // True while the controller follows the locale's changed signal (some listener registered).
  bool IsListeningToLocale() const { return FLocaleListener != 0; }
  // Recomputes every format from the current locale settings.
  void Update();

  String CurrencyFormat;
  String DateFormat;
  String MaskedDateFormat;
  String StandardDateEditMask;
  String DateEditMask;
  String RegExprDateEditMask;
  Integer FirstWeekDay = 0;  // 0 = Sunday .. 6 = Saturday

  // Receives an error raised while the listeners are told of a locale change; without a
  // handler the error reaches whoever changed the locale.
  std::function<void(const std::exception&)> OnError;

 private:
  void LocaleChanged();
  std::vector<IqvFormatListener*> FListeners;
  Integer FLocaleListener = 0;
};

// The process-wide controller, made on first use.
TqvFormatController* GetFormatController();

// ---------------------------------------------------------------------------------------------
// Date utilities

enum TqvDateElement { deYear = 0, deMonth = 1, deDay = 2 };

Integer GetDateElement(TqvDateElement AKind, TDateTime ADate);
void PrevMonth(Integer& AYear, Integer& AMonth);
void NextMonth(Integer& AYear, Integer& AMonth);
void ShiftMonth(Integer& AYear, Integer& AMonth, Integer ADelta);
bool IsLeap(Integer AYear);
Integer GetDaysInMonth(Integer AYear, Integer AMonth);
Integer ClampDayOfMonth(Integer AYear, Integer AMonth, Integer ADay);
Int64 SafeTrunc(double AValue);  // 2.99999999999 counts as 3
TDateTime ExtractTimePart(TDateTime ADate);
TDateTime DatePartOf(TDateTime ADate);
TDateTime TimePartOf(TDateTime ADate);
TDateTime StartOfWeek(TDateTime ADate);  // the locale's first day of the week

// A smart date word, optionally followed by a signed day count ("today + 3", "eom-1").
// Anything else after the word makes the text no smart date.
bool TextToDateSmart(const String& AText, TDateTime& ADate);
// Smart words, then the locale's date and time text. Failure: False and NullDate.
bool TextToDateTimeSmart(const String& AText, TDateTime& ADate);
// Failure (also a conversion error of the Variant route): False and NullDate.
bool TryTextToDate(const String& AText, bool AUseVariantConversion, TDateTime& ADate);
String DateTimeToText(TDateTime ADate);
String DateToDisplayText(bool AMasked, TDateTime ADate);
// The date mask in the regular-expression mask language, with the smart words when asked.
String DateFormatToRegExpr(bool AWithSmartWords);

// The smart date words.
extern const TResourceString sqvDateToday;
extern const TResourceString sqvDateYesterday;
extern const TResourceString sqvDateTomorrow;
extern const TResourceString sqvDateSunday;
extern const TResourceString sqvDateMonday;
extern const TResourceString sqvDateTuesday;
extern const TResourceString sqvDateWednesday;
extern const TResourceString sqvDateThursday;
extern const TResourceString sqvDateFriday;
extern const TResourceString sqvDateSaturday;
extern const TResourceString sqvDateFirst;
extern const TResourceString sqvDateSecond;
extern const TResourceString sqvDateThird;
extern const TResourceString sqvDateFourth;
extern const TResourceString sqvDateFifth;
extern const TResourceString sqvDateSixth;
extern const TResourceString sqvDateSeventh;
extern const TResourceString sqvDateBOM;
extern const TResourceString sqvDateEOM;
extern const TResourceString sqvDateNow;

// ---------------------------------------------------------------------------------------------
// Data routines

// ",0." with the locale's currency decimals, the currency symbol placed by the locale.
String GetCurrencyFormatString();
// Case-insensitive: equality, or with APartial a prefix test. An empty prefix matches only an
// empty text.
bool TextStartsWith(std::string_view AText, std::string_view APrefix, bool APartial);
// The code page's upper-case mapping (AnsiUpperChar) as a 256-entry table, for loops over many
// texts.
const char* AnsiUpperTable();

// ---------------------------------------------------------------------------------------------
// The value binding of a standalone editor: does nothing beyond firing its handlers.

class TqvCustomDataBinding : public TPersistent {
 public:
  // Made through its class with (the control, the data component).
  using MetaType = TMetaClassFor<TqvCustomDataBinding, TComponent*, TComponent*>;
  QJ_CLASS(TqvCustomDataBinding, TPersistent)

 public:
  TqvCustomDataBinding(TComponent* AOwnerControl, TComponent* ADataComponent)
      : FOwnerControl(AOwnerControl), FDataComponent(ADataComponent) {}

  TPersistent* GetOwner() override { return FOwnerControl; }
  TComponent* GetDataComponent() const { return FDataComponent; }

  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual bool IsDataAvailable() const { return true; }
  virtual bool CanModify() const { return true; }
  virtual Variant GetStoredValue() const { return Null(); }
  virtual void StoreValue(const Variant&) {}
  virtual void Reset() {}
  virtual void UpdateDisplayValue() {}
  // Writes the stored value through to the bound data.
  virtual void UpdateDataSource() {}

  void DataChanged();
  void DataSetChanged();
  void UpdateData();

  TNotifyEvent OnDataChange;
  TNotifyEvent OnDataSetChange;
  TNotifyEvent OnUpdateData;

 private:
  TComponent* FOwnerControl;
  TComponent* FDataComponent;
};

using TqvCustomDataBindingClass = const TqvCustomDataBinding::MetaType*;

class TqvDataBinding : public TqvCustomDataBinding {
  QJ_CLASS(TqvDataBinding, TqvCustomDataBinding)
 public:
  using TqvCustomDataBinding::TqvCustomDataBinding;
};
