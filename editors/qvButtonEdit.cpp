// The button editor.
#include "editors/qvButtonEdit.h"

QJ_IMPLEMENT_CLASS(TqvCustomButtonEditProperties)
QJ_IMPLEMENT_CLASS(TqvButtonEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomButtonEdit)
QJ_IMPLEMENT_CLASS(TqvButtonEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryButtonItem)

namespace {

const TqvEditKindRegistration ButtonEditRegistration(&TqvButtonEditProperties::StaticClass(),
                                                     &sqvEditDisplayTextButtonEdit);

}  // namespace

TqvCustomButtonEditProperties::TqvCustomButtonEditProperties(TPersistent* AOwner)
    : TqvCustomMaskEditProperties(AOwner) {
  GetButtons()->Add()->SetKind(bkEllipsis);
}

TqvCustomEditClass TqvCustomButtonEditProperties::ContainerClass() { return &TqvButtonEdit::StaticClass(); }

TqvCustomEditPropertiesClass TqvCustomButtonEdit::PropertiesClass() {
  return &TqvCustomButtonEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvButtonEdit::PropertiesClass() { return &TqvButtonEditProperties::StaticClass(); }

TqvContainerStyleValues TqvCustomButtonEdit::GetNotPublishedStyleValues() const { return csvBit(svPopupBorderStyle); }
