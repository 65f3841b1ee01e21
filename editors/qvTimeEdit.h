// The time editor: a spin editor for a time of day shown through a fixed mask (hours, minutes and
// seconds by TimeFormat, in 24-hour form or in 12-hour form with the locale's a.m./p.m. text).
// The spin buttons, the arrow and page keys and the wheel step the part of the time at the caret;
// the date part of the value is kept through time edits.
#pragma once

#include "core/qvFormats.h"
#include "editors/qvSpinEdit.h"

enum TqvTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };

extern const TResourceString sqvTimeEditConvertError;

// The FormatDateTime format of a time format in 24- or 12-hour form.
String qvTimeEditDisplayFormat(TqvTimeEditTimeFormat AFormat, bool AUse24Hour);
// The classic edit mask: 24-hour masks are fixed; 12-hour ones end in a part for the locale's
// a.m./p.m. texts, sized by the longer of the two (none when both are empty).
String qvTimeEditMask(TqvTimeEditTimeFormat AFormat, bool AUse24Hour);

class TqvCustomTimeEditProperties : public TqvCustomSpinEditProperties, public IqvFormatListener {
  QJ_CLASS(TqvCustomTimeEditProperties, TqvCustomSpinEditProperties)
 public:
  explicit TqvCustomTimeEditProperties(TPersistent* AOwner);
  ~TqvCustomTimeEditProperties() override;
  // Float values, the mask of the format, and the bounds of a day.
  void AfterConstruction() override;
  // The spin settings, then ShowDate, TimeFormat and Use24HourFormat, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();

  bool IsNumericTextValidated() const override { return false; }
  bool KeepSelectionOnSpin() const override { return true; }
  bool SupportsValueBounds() const override { return false; }
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override;
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;

  // Null: the empty time focused, an empty text unfocused. A text is read as a date and time
  // first; one that is no time shows as it is unfocused and as the empty time focused (never
  // the current time). Focused: the time format; unfocused: the date too with ShowDate.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // A text that reads as a time (or is still blank), rewritten in the time format.
  bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  // The time format applied to 0.
  Variant GetDefaultDisplayValue() override;

  void FormatChanged() override;

  // The format of the current TimeFormat and Use24HourFormat.
  String GetDisplayFormat() const { return qvTimeEditDisplayFormat(FTimeFormat, FUse24HourFormat); }
  // A time (day fraction) in the time format, trailing blanks removed.
  String FormatTime(double ATime) const;

  TqvTimeEditTimeFormat GetTimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(TqvTimeEditTimeFormat Value);
  bool GetUse24HourFormat() const { return FUse24HourFormat; }
  void SetUse24HourFormat(bool Value);
  bool GetShowDate() const { return FShowDate; }
  void SetShowDate(bool Value);

 private:
  void ApplyEditMask();

  TqvTimeEditTimeFormat FTimeFormat = tfHourMinSec;
  bool FUse24HourFormat = true;
  bool FShowDate = false;
};

class TqvTimeEditProperties : public TqvCustomTimeEditProperties {
  QJ_CLASS(TqvTimeEditProperties, TqvCustomTimeEditProperties)
 public:
  using TqvCustomTimeEditProperties::TqvCustomTimeEditProperties;
};

class TqvCustomTimeEdit : public TqvCustomSpinEdit {
  QJ_CLASS(TqvCustomTimeEdit, TqvCustomSpinEdit)
 public:
  explicit TqvCustomTimeEdit(TComponent* AOwner, bool AIsInplace = false);

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomTimeEditProperties* GetProperties() const {
    return static_cast<TqvCustomTimeEditProperties*>(GetActiveProperties());
  }

  // The time of day of the value (the text's while focused).
  double GetTime();
  // The time on the kept date part.
  void SetTime(double Value);

  // The part the caret stands in: 'H', 'N', 'S' or 'A' (a.m./p.m.).
  char GetCaretPart();

  bool CanClamp() const override { return false; }
  // 12 hours towards the other half of the day in the a.m./p.m. part; an hour (also fast), a
  // minute or a second (ten for the fast kinds); landing exactly on the bounds.
  double GetStepSize(TqvSpinEditStepKind AKind) override;
  Variant GetValue() override { return GetTime(); }
  void SetValue(const Variant& Value) override;
  // Selects the caret part, then steps it.
  bool DoStep(TqvSpinEditStepKind AKind) override;

  // The time of the text on the kept date part; a text that is no time is 0.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  // The text as shown: the mask's blank character is the digit 0, which its value form would
  // blank out.
  String InternalGetText() override;
  bool InternalSetText(const String& AText) override { return TrySetDisplayText(AText); }
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  bool IsValidChar(char AChar) override;

 private:
  // Characters of the time digits (8, 5 or 2).
  Integer TimeDigits() const;
  double FDatePart = 0;
  bool FSwallowBackspace = false;
};

class TqvTimeEdit : public TqvCustomTimeEdit {
  QJ_CLASS(TqvTimeEdit, TqvCustomTimeEdit)
 public:
  using TqvCustomTimeEdit::TqvCustomTimeEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvTimeEditProperties* GetProperties() const { return static_cast<TqvTimeEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvTimeEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryTimeItem : public TqvEditRepositoryItemOf<TqvTimeEditProperties> {
  QJ_CLASS(TqvEditRepositoryTimeItem, TqvEditRepositoryItemOf<TqvTimeEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
