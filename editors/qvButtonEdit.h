// The button editor: a mask edit with one ellipsis button; the application answers its clicks
// through OnButtonClick.
#pragma once

#include "editors/qvMaskEdit.h"

class TqvCustomButtonEditProperties : public TqvCustomMaskEditProperties {
  QJ_CLASS(TqvCustomButtonEditProperties, TqvCustomMaskEditProperties)
 public:
  // One ellipsis button.
  explicit TqvCustomButtonEditProperties(TPersistent* AOwner);
  static TqvCustomEditClass ContainerClass();
};

class TqvButtonEditProperties : public TqvCustomButtonEditProperties {
  QJ_CLASS(TqvButtonEditProperties, TqvCustomButtonEditProperties)
 public:
  using TqvCustomButtonEditProperties::TqvCustomButtonEditProperties;
};

class TqvCustomButtonEdit : public TqvCustomMaskEdit {
  QJ_CLASS(TqvCustomButtonEdit, TqvCustomMaskEdit)
 public:
  using TqvCustomMaskEdit::TqvCustomMaskEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomButtonEditProperties* GetProperties() const {
    return static_cast<TqvCustomButtonEditProperties*>(GetActiveProperties());
  }
  // Only the popup border style is not published: the button style and transparency are.
  TqvContainerStyleValues GetNotPublishedStyleValues() const override;
};

class TqvButtonEdit : public TqvCustomButtonEdit {
  QJ_CLASS(TqvButtonEdit, TqvCustomButtonEdit)
 public:
  using TqvCustomButtonEdit::TqvCustomButtonEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvButtonEditProperties* GetProperties() const { return static_cast<TqvButtonEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvButtonEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryButtonItem : public TqvEditRepositoryItemOf<TqvButtonEditProperties> {
  QJ_CLASS(TqvEditRepositoryButtonItem, TqvEditRepositoryItemOf<TqvButtonEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
