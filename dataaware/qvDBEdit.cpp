#include "dataaware/qvDBEdit.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "dataaware/qvDB.h"
#include "platform/data/DBFields.h"

QJ_IMPLEMENT_CLASS(TqvCustomDBEditDefaultValuesProvider)

double RoundToSignificantDigits(double AValue, Integer APrecision) {
  if (!std::isfinite(AValue) || AValue == 0) return AValue;
  char text[64];
  auto written = std::to_chars(text, text + sizeof(text), AValue, std::chars_format::scientific,
                               std::clamp(APrecision, 1, 17) - 1);
  double rounded = AValue;
  std::from_chars(text, written.ptr, rounded, std::chars_format::scientific);
  return rounded;
}

TqvCustomDBEditDefaultValuesProvider::TqvCustomDBEditDefaultValuesProvider(TPersistent* AOwner)
    : TqvCustomEditDefaultValuesProvider(AOwner), FFreeNotificator(New<TqvFreeNotificator>(nullptr)) {
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
    if (AComponent == FField) FField = nullptr;
  };
}

TqvCustomDBEditDefaultValuesProvider::~TqvCustomDBEditDefaultValuesProvider() { SetField(nullptr); }

void TqvCustomDBEditDefaultValuesProvider::SetField(TField* AField) {
  if (AField == FField) return;
  RemoveFreeNotification(FFreeNotificator.get(), FField);
  FField = AField;
  AddFreeNotification(FFreeNotificator.get(), FField);
}

bool TqvCustomDBEditDefaultValuesProvider::IsDataAvailable() const {
  return FField && FField->GetDataSet() && FField->GetDataSet()->GetState() != dsInactive;
}

TAlignment TqvCustomDBEditDefaultValuesProvider::DefaultAlignment() {
  return IsDataAvailable() ? FField->GetAlignment() : taLeftJustify;
}

TqvBlobKind TqvCustomDBEditDefaultValuesProvider::DefaultBlobKind() {
  if (!IsDataAvailable()) return TqvBlobKind::None;
  switch (FField->GetDataType()) {
    case ftMemo:
    case ftFmtMemo: return TqvBlobKind::Memo;
    case ftGraphic: return TqvBlobKind::Graphic;
    case ftParadoxOle:
    case ftDBaseOle: return TqvBlobKind::Ole;
    default: return TqvBlobKind::None;
  }
}

bool TqvCustomDBEditDefaultValuesProvider::DefaultCanModify() {
  if (DefaultReadOnly()) return false;
  return FField->GetCanModify() || (FField->GetLookup() && GetFieldsCanModify(FField));
}

String TqvCustomDBEditDefaultValuesProvider::DefaultDisplayFormat() {
  if (!IsDataAvailable()) return String();
  auto* numeric = As<TNumericField>(FField);
  return numeric ? numeric->GetDisplayFormat() : String();
}

String TqvCustomDBEditDefaultValuesProvider::DefaultEditMask() {
  return IsDataAvailable() ? FField->GetEditMask() : String();
}

bool TqvCustomDBEditDefaultValuesProvider::DefaultIsFloatValue() {
  if (!IsDataAvailable()) return false;
  TFieldType type = FField->GetDataType();
  return type == ftFloat || type == ftCurrency || type == ftBCD;
}

Integer TqvCustomDBEditDefaultValuesProvider::DefaultMaxLength() {
  if (!IsDataAvailable()) return 0;
  TFieldType type = FField->GetDataType();
  return type == ftString || type == ftWideString ? FField->GetSize() : 0;
}

double TqvCustomDBEditDefaultValuesProvider::RangeValue(bool AMax) const {
  if (!IsDataAvailable()) return 0;
  if (auto* integer = As<TIntegerField>(FField)) return AMax ? integer->GetMaxValue() : integer->GetMinValue();
  if (auto* bcd = As<TBCDField>(FField)) return (AMax ? bcd->GetMaxValue() : bcd->GetMinValue()).ToDouble();
  if (auto* floating = As<TFloatField>(FField))
    return RoundToSignificantDigits(AMax ? floating->GetMaxValue() : floating->GetMinValue(), floating->GetPrecision());
  return 0;
}

double TqvCustomDBEditDefaultValuesProvider::DefaultMaxValue() { return RangeValue(true); }

double TqvCustomDBEditDefaultValuesProvider::DefaultMinValue() { return RangeValue(false); }

bool TqvCustomDBEditDefaultValuesProvider::DefaultReadOnly() {
  return IsDataAvailable() ? FField->GetReadOnly() : true;
}

bool TqvCustomDBEditDefaultValuesProvider::DefaultRequired() {
  return IsDataAvailable() && FField->GetRequired();
}

bool TqvCustomDBEditDefaultValuesProvider::IsBlob() { return IsDataAvailable() && FField->IsBlob(); }

bool TqvCustomDBEditDefaultValuesProvider::IsDisplayFormatDefined(bool AIsEditing) {
  if (!IsDataAvailable()) return false;
  if (FField->OnGetText) return true;
  if (auto* f = As<TFloatField>(FField); f && f->GetCurrency() && AIsEditing) return true;
  if (auto* f = As<TBCDField>(FField); f && f->GetCurrency() && AIsEditing) return true;
  if (auto* f = As<TDateTimeField>(FField); f && !f->GetDisplayFormat().empty()) return true;
  if (auto* f = As<TAggregateField>(FField); f && (!f->GetDisplayFormat().empty() || (f->GetCurrency() && AIsEditing)))
    return true;
  if (auto* f = As<TFMTBCDField>(FField); f && f->GetCurrency() && AIsEditing) return true;
  if (auto* f = As<TSQLTimeStampField>(FField); f && !f->GetDisplayFormat().empty()) return true;
  auto* numeric = As<TNumericField>(FField);
  return numeric && !numeric->GetDisplayFormat().empty();
}

bool TqvCustomDBEditDefaultValuesProvider::IsValidChar(char AChar) {
  if (!IsDataAvailable()) return false;
  return FField->OnGetText || FField->IsValidChar(AChar);
}
