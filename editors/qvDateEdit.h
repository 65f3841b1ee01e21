// The date editor: a masked drop-down editor for dates (optionally with a time part) whose
// drop-down holds a calendar. Typed text goes through a mask that follows the locale's short
// date format; smart words ("today", "bom" ...) are read too. An invalid text is an error, or today or the null date by DateOnError; distinct
// MinDate and MaxDate bound the date; the time part of the value survives date edits (SaveTime).
#pragma once

#include "core/qvFormats.h"
#include "editors/qvCalendar.h"
#include "editors/qvPopupEdit.h"

enum TDateOnError { deNoChange, deToday, deNull };
enum TqvInputKind { ikStandard, ikMask, ikRegExpr };

extern const TResourceString sqvDateEditInvalidDate;

class TqvCustomDateEditProperties : public TqvCustomPopupEditProperties, public IqvFormatListener {
  QJ_CLASS(TqvCustomDateEditProperties, TqvCustomPopupEditProperties)
 public:
  explicit TqvCustomDateEditProperties(TPersistent* AOwner);
  ~TqvCustomDateEditProperties() override;
  // Case-insensitive smart words, validation on Enter, a popup of the calendar's own size that
  // opens on request only, and the mask of the input kind.
  void AfterConstruction() override;
  // The masked settings, then the date settings, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();

  // Applies the input kind's mask first (unless changes are locked).
  void Changed() override;
  void FormatChanged() override { Changed(); }

  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override;
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool SupportsValueBounds() const override { return true; }
  bool PostValueOnPopupClosed() const override { return true; }
  // Null, dates and numbers.
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  // Null: the mask's empty text; a date or number: its date text (the date part alone without
  // ShowTime), focused in the mask's form; anything else as it is.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // Smart words and dates; "Invalid Date", then OnValidate or the DateOnError policy; then the
  // bounds (distinct bounds only, never for the null date). The text is rewritten as the date's.
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;

  // The text of an empty editor (the mask's blank template).
  String GetEmptyText();
  // The text of a date in the focused form.
  String DateToEditText(TDateTime ADate);

  TDateButtons GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons Value) { SetValue(FDateButtons, Value); }
  TDateOnError GetDateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError Value) { SetValue(FDateOnError, Value); }
  TqvInputKind GetInputKind() const { return FInputKind; }
  void SetInputKind(TqvInputKind Value) { SetValue(FInputKind, Value); }
  TDateTime GetMinDate() { return GetMinValue(); }
  void SetMinDate(TDateTime Value) { SetMinValue(Value); }
  TDateTime GetMaxDate() { return GetMaxValue(); }
  void SetMaxDate(TDateTime Value) { SetMaxValue(Value); }
  bool GetSaveTime() const { return FSaveTime; }
  void SetSaveTime(bool Value) { SetValue(FSaveTime, Value); }
  bool GetShowTime() const { return FShowTime; }
  void SetShowTime(bool Value) { SetValue(FShowTime, Value); }

 private:
  void ApplyInputKind();

  TDateButtons FDateButtons = DefaultDateButtons;
  TDateOnError FDateOnError = deNoChange;
  TqvInputKind FInputKind = ikRegExpr;
  bool FSaveTime = true;
  bool FShowTime = true;
};

class TqvDateEditProperties : public TqvCustomDateEditProperties {
  QJ_CLASS(TqvDateEditProperties, TqvCustomDateEditProperties)
 public:
  using TqvCustomDateEditProperties::TqvCustomDateEditProperties;
};

class TqvCustomDateEdit : public TqvCustomPopupEdit {
  QJ_CLASS(TqvCustomDateEdit, TqvCustomPopupEdit)
 public:
  using TqvCustomPopupEdit::TqvCustomPopupEdit;
  // Makes the calendar of the drop-down.
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomDateEditProperties* GetProperties() const {
    return static_cast<TqvCustomDateEditProperties*>(GetActiveProperties());
  }

  // The null date for Null, an empty text or a value that is no date; never raises.
  TDateTime GetDate();
  // The null date writes Null.
  void SetDate(TDateTime Value);
  // The time of day kept while SaveTime.
  double GetSavedTime() const { return FSavedTime; }

  // The empty text: Null; a date: that date, with the saved time when the text names no time
  // (an explicit midnight is kept); a text that is no date: today with deToday, else Null.
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;

  TqvPopupCalendar* GetCalendar() const { return FCalendar; }
  // The editor's date when the popup opened (the null date for none).
  TDateTime GetDateAtPopup() const { return FDateAtPopup; }

  bool CanDropDown() override { return FCalendar != nullptr; }
  // The popup runs no message loop of its own.
  void CreatePopupWindow() override;
  // The calendar becomes the popup's control.
  void DropDown() override;
  // The calendar shows the editor's date (else today) in the editor's colours, font and look.
  void InitPopupWindow() override;

 protected:
  // Distinct bounds only, and never for the null date.
  void CheckEditValueBounds() override;
  // Keeps the time part with SaveTime; without it stores the integer date.
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  // The text as shown (the mask's value form would drop its literals).
  String InternalGetText() override;
  bool InternalSetText(const String& AText) override { return TrySetDisplayText(AText); }

 private:
  // A day chosen in the calendar: the time of the date at popup is kept (SaveTime).
  void DateChosen(TObject* Sender);

  double FSavedTime = 0;
  TqvPopupCalendar* FCalendar = nullptr;
  TDateTime FDateAtPopup = NullDate;
};

class TqvDateEdit : public TqvCustomDateEdit {
  QJ_CLASS(TqvDateEdit, TqvCustomDateEdit)
 public:
  using TqvCustomDateEdit::TqvCustomDateEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvDateEditProperties* GetProperties() const { return static_cast<TqvDateEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvDateEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryDateItem : public TqvEditRepositoryItemOf<TqvDateEditProperties> {
  QJ_CLASS(TqvEditRepositoryDateItem, TqvEditRepositoryItemOf<TqvDateEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
