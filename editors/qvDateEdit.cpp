// The date editor: the input kind's mask, display texts, validation with the error policies and
// the bounds, and the value with its kept time part.
#include "editors/qvDateEdit.h"

#include <cmath>

#include "editors/qvExtEditUtils.h"
#include "lookandfeel/qvButtons.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomDateEditProperties)
QJ_IMPLEMENT_CLASS(TqvDateEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomDateEdit)
QJ_IMPLEMENT_CLASS(TqvDateEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryDateItem)

const TResourceString sqvDateEditInvalidDate{62722, "Invalid Date"};

namespace {

const TqvEditKindRegistration DateEditRegistration(&TqvDateEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextDateEdit);

// The date of a value that is a date or a number.
bool TryValueToDate(const Variant& AValue, TDateTime& ADate) {
  if (!VarIsNumeric(AValue) && VarType(AValue) != varDate) return false;
  try {
    ADate = VarType(AValue) == varDate ? VarToDateTime(AValue) : TDateTime(AValue.AsDouble());
  } catch (const std::exception&) {
    return false;
  }
  return std::isfinite(double(ADate));
}

// A time added to a date; dates before the base date count their time backwards.
TDateTime AddTime(TDateTime ADate, double ATime) { return ADate < 0 ? ADate - ATime : ADate + ATime; }

// Whether a text names a time of day (an explicit midnight included).
bool TextNamesTime(const String& AText) { return AText.find(FormatSettings().TimeSeparator) != String::npos; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomDateEditProperties

TqvCustomDateEditProperties::TqvCustomDateEditProperties(TPersistent* AOwner) : TqvCustomPopupEditProperties(AOwner) {}

TqvCustomDateEditProperties::~TqvCustomDateEditProperties() { GetFormatController()->RemoveListener(this); }

void TqvCustomDateEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  TUpdateScope update(this);
  SetCaseInsensitive(true);
  SetValidateOnEnter(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  ApplyInputKind();
  GetFormatController()->AddListener(this);
}

TqvCustomEditClass TqvCustomDateEditProperties::ContainerClass() { return &TqvDateEdit::StaticClass(); }

void TqvCustomDateEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomDateEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetDateButtons(source->FDateButtons);
  SetDateOnError(source->FDateOnError);
  SetInputKind(source->FInputKind);
  SetSaveTime(source->FSaveTime);
  SetShowTime(source->FShowTime);
}

void TqvCustomDateEditProperties::ApplyInputKind() {
  TqvFormatController* controller = GetFormatController();
  switch (FInputKind) {
    case ikMask:
      SetMaskKind(emkStandard);
      SetEditMask(controller->StandardDateEditMask);
      break;
    case ikRegExpr:
      SetMaskKind(emkRegExprEx);
      SetEditMask(controller->RegExprDateEditMask);
      break;
    case ikStandard: SetEditMask(String()); break;
  }
}

void TqvCustomDateEditProperties::Changed() {
  if (!IsChangedLocked()) {
    BeginUpdate();
    TFinally ended([this] { EndUpdate(false); });
    ApplyInputKind();
  }
  inherited::Changed();
}

TqvEditDisplayFormatOptions TqvCustomDateEditProperties::GetDisplayFormatOptions() const {
  return dfoUseProviderFormat | dfoProviderFormatNotEditing;
}

TqvEditValueSource TqvCustomDateEditProperties::GetEditValueSource(bool AEditFocused) const {
  return IsDisplayFormatDefined(AEditFocused) ? evsText : evsValue;
}

bool TqvCustomDateEditProperties::IsEditValueValid(Variant& AEditValue, bool) {
  return VarIsNull(AEditValue) || VarIsNumeric(AEditValue) || VarType(AEditValue) == varDate;
}

String TqvCustomDateEditProperties::GetEmptyText() {
  Variant text;
  inherited::PrepareDisplayValue(String(), text, true);
  return VarToStr(text);
}

String TqvCustomDateEditProperties::DateToEditText(TDateTime ADate) {
  return DateToDisplayText(FInputKind == ikMask, ADate);
}

void TqvCustomDateEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (IsVarNullOrEmpty(AEditValue)) {
    ADisplayValue = GetEmptyText();
    return;
  }
  TDateTime date = 0;
  if (VarIsStr(AEditValue) || !TryValueToDate(AEditValue, date)) {
    ADisplayValue = VarIsStr(AEditValue) ? VarToStr(AEditValue) : String();
    return;
  }
  if (!FShowTime) date = std::trunc(double(date));
  if (!AEditFocused) {
    ADisplayValue = DateToDisplayText(false, date);
    return;
  }
  inherited::PrepareDisplayValue(DateToEditText(date), ADisplayValue, true);
}

void TqvCustomDateEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TObject* AEdit) {
  const String emptyText = GetEmptyText();
  auto isEmpty = [&](const String& AText) { return AText == emptyText || Trim(AText).empty(); };
  String text = VarToStr(ADisplayValue);
  TDateTime date = NullDate;
  if (!isEmpty(text)) {
    AError = !TextToDateTimeSmart(text, date);
    if (!AError) {
      String rewritten = DateToEditText(date);
      // A typed midnight stays written out, so that the value's time is not put back.
      if (TextNamesTime(text) && !TextNamesTime(rewritten)) rewritten += " " + TimeToStr(date);
      ADisplayValue = rewritten;
    }
  }
  if (AError) AErrorText = GetLocalizedResourceString(&sqvDateEditInvalidDate);
  if (OnValidate && AEdit) {
    OnValidate(AEdit, ADisplayValue, AErrorText, AError);
    text = VarToStr(ADisplayValue);
    date = NullDate;
    if (!AError && !isEmpty(text)) AError = !TextToDateTimeSmart(text, date);
  } else if (AError && FDateOnError != deNoChange) {
    // Today or the null date instead; the null date is an empty editor, never a date.
    date = FDateOnError == deToday ? Date() : NullDate;
    ADisplayValue = date == NullDate ? emptyText : DateToEditText(date);
    AError = false;
  }
  if (AError || date == NullDate) return;
  if (!FSaveTime) date = std::trunc(double(date));
  const double minValue = GetMinValue(), maxValue = GetMaxValue();
  if (minValue != maxValue && (date < minValue || date > maxValue)) {
    AError = true;
    GetValidateErrorText(ekValueOutOfBounds, AErrorText);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvCustomDateEdit

TqvCustomEditPropertiesClass TqvCustomDateEdit::PropertiesClass() {
  return &TqvCustomDateEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvDateEdit::PropertiesClass() { return &TqvDateEditProperties::StaticClass(); }

void TqvCustomDateEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCalendar = New<TqvPopupCalendar>(this);
  FCalendar->SetVisible(false);
  FCalendar->SetParent(GetPopupWindow());
  // The Today and Clear buttons look like the editor.
  FCalendar->GetTodayButton()->GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
  FCalendar->GetClearButton()->GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
  FCalendar->EditorDate = [this] { return GetDate(); };
  FCalendar->OnHidePopup = [this](TObject*) {
    if (GetPopupWindow()) PostPopupCloseMessage(GetPopupWindow());
  };
}

void TqvCustomDateEdit::CreatePopupWindow() {
  inherited::CreatePopupWindow();
  if (GetPopupWindow()) GetPopupWindow()->SetIsModal(false);
}

void TqvCustomDateEdit::DropDown() {
  GetProperties()->SetPopupControl(FCalendar);
  inherited::DropDown();
}

void TqvCustomDateEdit::InitPopupWindow() {
  inherited::InitPopupWindow();
  if (!FCalendar) return;
  TqvCustomDateEditProperties* properties = GetProperties();
  FCalendar->HandleNeeded();
  FCalendar->SetColor(GetStyle()->GetColor());
  const TqvLookAndFeelKind kind = GetStyle()->GetLookAndFeel()->GetKind();
  FCalendar->SetFlat(kind == lfFlat || kind == lfUltraFlat);
  FCalendar->SetDateButtons(properties->GetDateButtons());
  FCalendar->OnDateTimeChanged = nullptr;
  const TDateTime date = GetDate();
  FDateAtPopup = date;
  const TDateTime shown = date != NullDate ? TDateTime(std::trunc(double(date))) : Date();
  FCalendar->SetFirstDate(shown);
  FCalendar->SetSelectDate(shown);
  FCalendar->GetTodayButton()->SetCaption(GetLocalizedResourceString(&sqvDatePopupToday));
  FCalendar->GetClearButton()->SetCaption(GetLocalizedResourceString(&sqvDatePopupClear));
  FCalendar->GetFont()->Assign(GetStyle()->GetFont());
  FCalendar->OnDateTimeChanged = [this](TObject* Sender) { DateChosen(Sender); };
}

void TqvCustomDateEdit::DateChosen(TObject*) {
  TqvCustomDateEditProperties* properties = GetProperties();
  TDateTime date = FCalendar->GetSelectDate();
  if (properties->GetSaveTime() && date != NullDate && FDateAtPopup != NullDate)
    date = AddTime(date, std::fabs(double(FDateAtPopup) - std::trunc(double(FDateAtPopup))));
  Variant text;
  properties->PrepareDisplayValue(date == NullDate ? Null() : VarFromDateTime(date), text, true);
  String shown;
  GetDisplayValue(shown);
  if (GetDate() == date && shown == VarToStr(text)) return;
  TAliveToken alive = AliveToken();
  if (!DoEditing() || !alive) return;
  SetEditValue(date == NullDate ? Null() : VarFromDateTime(date));
  if (alive) SetModifiedAfterEnter(true);
}

TDateTime TqvCustomDateEdit::GetDate() {
  const Variant value = GetEditValue();
  if (IsVarNullOrEmpty(value) || (VarIsStr(value) && VarToStr(value).empty())) return NullDate;
  try {
    return VarToDateTime(value);
  } catch (const std::exception&) {
    return NullDate;
  }
}

void TqvCustomDateEdit::SetDate(TDateTime Value) {
  if (GetDate() == Value) return;
  SetEditValue(Value == NullDate ? Null() : VarFromDateTime(Value));
}

void TqvCustomDateEdit::CheckEditValueBounds() {
  TqvCustomDateEditProperties* properties = GetProperties();
  const double minValue = properties->GetMinValue(), maxValue = properties->GetMaxValue();
  const TDateTime date = GetDate();
  if (minValue == maxValue || date == NullDate) return;
  if (date < minValue)
    SetDate(minValue);
  else if (date > maxValue)
    SetDate(maxValue);
}

void TqvCustomDateEdit::InternalSetEditValue(const Variant& Value, bool AValidate) {
  if (IsDestroying()) return;
  TDateTime date = 0;
  if (VarIsStr(Value) || !TryValueToDate(Value, date)) {
    if (VarIsNull(Value)) FSavedTime = 0;
    inherited::InternalSetEditValue(Value, AValidate);
    return;
  }
  if (GetProperties()->GetSaveTime()) {
    FSavedTime = std::fabs(double(date) - std::trunc(double(date)));
    inherited::InternalSetEditValue(Value, AValidate);
  } else {
    FSavedTime = 0;
    inherited::InternalSetEditValue(Integer(std::trunc(double(date))), AValidate);
  }
}

void TqvCustomDateEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  TqvCustomDateEditProperties* properties = GetProperties();
  const String text = VarToStr(ADisplayValue);
  if (text == properties->GetEmptyText() || Trim(text).empty()) {
    AEditValue = Null();
    return;
  }
  TDateTime date = NullDate;
  if (TryTextToDate(text, true, date) || TextToDateTimeSmart(text, date)) {
    if (!properties->GetSaveTime()) {
      AEditValue = Integer(std::trunc(double(date)));
      return;
    }
    // A date typed without a time keeps the time of the value; a typed midnight is kept.
    if (FSavedTime != 0 && ExtractTimePart(date) == 0 && !TextNamesTime(text)) date = AddTime(date, FSavedTime);
    AEditValue = VarFromDateTime(date);
    return;
  }
  AEditValue = properties->GetDateOnError() == deToday ? VarFromDateTime(Date()) : Null();
}

void TqvCustomDateEdit::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  if (!IsInnerEditUnavailable()) {
    ValidateEdit(false);
    if (!alive) return;
    TDateTime date = 0;
    const Variant value = GetEditValue();
    if (!GetProperties()->GetSaveTime() && !VarIsStr(value) && TryValueToDate(value, date) &&
        date != std::trunc(double(date)))
      InternalSetEditValue(Integer(std::trunc(double(date))), false);
    if (!alive) return;
  }
  inherited::PropertiesChanged(Sender);
}

String TqvCustomDateEdit::InternalGetText() {
  String text;
  GetDisplayValue(text);
  return text;
}
