// Editor defaults from a dataset field: an editor showing a TField takes the settings it was not
// given from the field (alignment, read-only, mask, formats, length, range, valid characters,
// blob kind) while the field's dataset is open; otherwise it gets the answers for no data.
#pragma once

#include "editors/qvEdit.h"
#include "platform/data/DB.h"

class TqvFreeNotificator;

class TqvCustomDBEditDefaultValuesProvider : public TqvCustomEditDefaultValuesProvider {
  QJ_CLASS(TqvCustomDBEditDefaultValuesProvider, TqvCustomEditDefaultValuesProvider)
 public:
  explicit TqvCustomDBEditDefaultValuesProvider(TPersistent* AOwner);
  ~TqvCustomDBEditDefaultValuesProvider() override;

  TAlignment DefaultAlignment() override;
  TqvBlobKind DefaultBlobKind() override;
  bool DefaultCanModify() override;
  String DefaultDisplayFormat() override;
  String DefaultEditMask() override;
  bool DefaultIsFloatValue() override;
  Integer DefaultMaxLength() override;
  double DefaultMaxValue() override;
  double DefaultMinValue() override;
  bool DefaultReadOnly() override;
  bool DefaultRequired() override;
  bool IsDataAware() override { return true; }
  bool IsBlob() override;
  // AIsEditing: the text editors ask with True, the date and time editors with False.
  bool IsDisplayFormatDefined(bool AIsEditing) override;
  bool IsValidChar(char AChar) override;

  // A field is set, it has a dataset, and the dataset is open.
  virtual bool IsDataAvailable() const;
  TField* GetField() const { return FField; }
  // Follows the field's destruction: a freed field means no data.
  void SetField(TField* AField);

 private:
  double RangeValue(bool AMax) const;

  TField* FField = nullptr;
  TOwned<TqvFreeNotificator> FFreeNotificator;
};

// AValue with at most APrecision significant digits (APrecision clamped to 1..17), rounded to
// the nearest; whatever the locale's decimal separator.
double RoundToSignificantDigits(double AValue, Integer APrecision);
