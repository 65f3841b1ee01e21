#include <algorithm>

#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/data/DBStorage.h"

QJ_IMPLEMENT_CLASS(TField)

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FDataSet) FDataSet->RemoveField(this);
}

void TField::BeforeDestruction() {
  // A field leaving an open dataset closes it: its column binding goes with it.
  if (FDataSet) {
    if (FDataSet->GetActive()) FDataSet->Close();
    FDataSet->RemoveField(this);
  }
  inherited::BeforeDestruction();
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (Value) {
    Value->CheckInactive();
    Value->CheckFieldName(FFieldName, this);
  }
  if (FDataSet) FDataSet->RemoveField(this);
  if (Value) Value->AddField(this);
}

void TField::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  if (FDataSet) {
    FDataSet->CheckInactive();
    FDataSet->CheckFieldName(Value, this);
  }
  FFieldName = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (Value == FFieldKind) return;
  if (FDataSet) FDataSet->CheckInactive();
  FFieldKind = Value;
}

Integer TField::GetIndex() const {
  if (!FDataSet) return -1;
  const auto& fields = FDataSet->FFields;
  return static_cast<Integer>(std::find(fields.begin(), fields.end(), this) - fields.begin());
}

String TField::GetDisplayName() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }

void TField::SetDisplayLabel(const String& Value) {
  if (Value == FDisplayLabel) return;
  FDisplayLabel = Value;
  PropertyChanged();
}

Integer TField::GetDisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }

void TField::SetDisplayWidth(Integer Value) {
  if (Value == FDisplayWidth) return;
  FDisplayWidth = Value;
  PropertyChanged();
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  PropertyChanged();
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  PropertyChanged();
}

void TField::SetSize(Integer Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FSize = Value;
}

void TField::SetEditMask(const String& Value) {
  if (Value == FEditMask) return;
  FEditMask = Value;
  PropertyChanged();
}

void TField::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  PropertyChanged();
}

void TField::SetKeyFields(const String& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FKeyFields = Value;
}

void TField::CheckLookupDataSet(TDataSet* Value) const {
  if (!Value || !FDataSet) return;
  if (Value == FDataSet) throw EDatabaseError(&SCircularDataLink);
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  CheckLookupDataSet(Value);
  if (FDataSet) FDataSet->CheckInactive();
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::SetLookupKeyFields(const String& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FLookupKeyFields = Value;
}

void TField::SetLookupResultField(const String& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FLookupResultField = Value;
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::PropertyChanged() {
  if (FDataSet && FDataSet->GetActive()) FDataSet->DataEvent(deLayoutChange, 0);
}

bool TField::GetCanModify() const {
  if (FFieldKind != fkData || FReadOnly || FColumn < 0 || !FDataSet || !FDataSet->GetActive()) return false;
  return !FDataSet->FFieldDefs[static_cast<size_t>(FColumn)].ReadOnly && FDataSet->GetCanModify();
}

bool TField::IsValidChar(char) const { return true; }

// ---------------------------------------------------------------------------------------------
// Values

Variant TField::GetValue() const {
  if (!FDataSet) DatabaseErrorFmt(&SDataSetClosed, {}, const_cast<TField*>(this));
  FDataSet->CheckActive();
  if (FFieldKind == fkLookup) return LookupValue();
  const TDataSet::TRecordBuffer* buffer = FDataSet->ActiveBufferOrNull();
  if (!buffer || FColumn < 0) return Variant::Null();
  return buffer->Values[static_cast<size_t>(FColumn)];
}

Variant TField::LookupValue() const {
  if (!FLookupDataSet || !FLookupDataSet->GetActive() || !FDataSet->ActiveBufferOrNull()) return Variant::Null();
  Variant keys = FDataSet->GetFieldValues(FKeyFields);
  if (VarIsNull(keys)) return Variant::Null();
  return FLookupDataSet->Lookup(FLookupKeyFields, keys, FLookupResultField);
}

void TField::SetValue(const Variant& Value) {
  if (!FDataSet) DatabaseErrorFmt(&SDataSetClosed, {}, this);
  FDataSet->SetFieldValue(this, Value);
}

bool TField::IsNull() const {
  Variant value = GetValue();
  return VarIsNull(value) || VarIsEmpty(value);
}

String TField::GetAsString() const {
  Variant value = GetValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return String();
  return IsBlob() ? VarToStr(value) : TypedText(value, false);
}

void TField::SetAsString(const String& Value) {
  if (Value.empty() && !IsTextFieldType(FDataType)) {
    SetValue(Variant::Null());
    return;
  }
  Variant converted;
  try {
    converted = TextValue(Value);
  } catch (const EConvertError&) {
    throw EDatabaseError(&SInvalidFieldValue, {Value, GetDisplayName()});
  } catch (const EVariantError&) {
    throw EDatabaseError(&SInvalidFieldValue, {Value, GetDisplayName()});
  }
  SetValue(converted);
}

Integer TField::GetAsInteger() const {
  Variant value = GetValue();
  return VarIsNull(value) ? 0 : value.AsInteger();
}

Int64 TField::GetAsLargeInt() const {
  Variant value = GetValue();
  return VarIsNull(value) ? 0 : value.AsInt64();
}

double TField::GetAsFloat() const {
  Variant value = GetValue();
  return VarIsNull(value) ? 0.0 : value.AsDouble();
}

bool TField::GetAsBoolean() const {
  Variant value = GetValue();
  return VarIsNull(value) ? false : value.AsBoolean();
}

TDateTime TField::GetAsDateTime() const {
  Variant value = GetValue();
  return VarIsNull(value) ? 0.0 : VarToDateTime(value);
}

Currency TField::GetAsCurrency() const {
  Variant value = GetValue();
  return VarIsNull(value) ? Currency() : value.AsCurrency();
}

String TField::ValueText(const Variant& AValue, bool) const { return VarToStr(AValue); }

Variant TField::TextValue(const String& AText) const { return CoerceToFieldType(AText, FDataType); }

String TField::FormatText(bool ADisplayText) const {
  if (OnGetText) {
    String text;
    OnGetText(const_cast<TField*>(this), text, ADisplayText);
    return text;
  }
  Variant value = GetValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return String();
  return TypedText(value, ADisplayText);
}

String TField::TypedText(const Variant& AValue, bool ADisplayText) const {
  try {
    return ValueText(AValue, ADisplayText);
  } catch (const EVariantError&) {
  } catch (const EConvertError&) {
  }
  return VarToStr(AValue);  // a stored value foreign to the field's type shows as it is
}

void TField::SetText(const String& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    SetAsString(Value);
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->GetActive()) return;
  TField* field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&field));
}
