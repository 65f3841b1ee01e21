// The MRU editor: the remembered texts and the ellipsis button.
#include "editors/qvMRUEdit.h"

#include "platform/rtl/Scopes.h"


QJ_IMPLEMENT_CLASS(TqvCustomMRUEditProperties)
QJ_IMPLEMENT_CLASS(TqvMRUEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomMRUEdit)
QJ_IMPLEMENT_CLASS(TqvMRUEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryMRUItem)

namespace {

const TqvEditKindRegistration MRUEditRegistration(&TqvMRUEditProperties::StaticClass(),
                                                  &sqvEditDisplayTextMRUEdit);

constexpr Integer kEllipsisButton = 1;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomMRUEditProperties

TqvCustomMRUEditProperties::TqvCustomMRUEditProperties(TPersistent* AOwner) : TqvCustomComboBoxProperties(AOwner) {
  TqvEditButton* ellipsis = GetButtons()->Add();
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetGlyphButtonIndex(kEllipsisButton);
  ellipsis->SetKind(bkEllipsis);
  SetDropDownListStyle(lsEditList);
}

TqvCustomEditClass TqvCustomMRUEditProperties::ContainerClass() { return &TqvMRUEdit::StaticClass(); }

void TqvCustomMRUEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomMRUEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetMaxItemCount(source->FMaxItemCount);
  SetShowEllipsis(source->FShowEllipsis);
  OnButtonClick = source->OnButtonClick;
}

void TqvCustomMRUEditProperties::TrimItems() {
  TStrings* items = GetItems();
  if (FMaxItemCount <= 0 || items->GetCount() <= FMaxItemCount) return;
  TUpdateScope update(items);
  while (items->GetCount() > FMaxItemCount) items->Delete(items->GetCount() - 1);
}

void TqvCustomMRUEditProperties::SetMaxItemCount(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == FMaxItemCount) return;
  FMaxItemCount = Value;
  TrimItems();
  Changed();
}

void TqvCustomMRUEditProperties::SetShowEllipsis(bool Value) {
  if (Value == FShowEllipsis) return;
  TUpdateScope update(this);
  FShowEllipsis = Value;
  if (GetButtons()->GetCount() > kEllipsisButton) GetButtons()->GetItem(kEllipsisButton)->SetVisible(Value);
  SetGlyphButtonIndex(Value ? kEllipsisButton : 0);
  Changed();
}

void TqvCustomMRUEditProperties::UpdateProperties(TqvCustomEditProperties* Target) {
  if (auto* target = As<TqvCustomMRUEditProperties>(Target)) target->GetItems()->Assign(GetItems());
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMRUEdit

TqvCustomEditPropertiesClass TqvCustomMRUEdit::PropertiesClass() { return &TqvCustomMRUEditProperties::StaticClass(); }

TqvCustomEditPropertiesClass TqvMRUEdit::PropertiesClass() { return &TqvMRUEditProperties::StaticClass(); }

void TqvCustomMRUEdit::AddItem(const String& AText) {
  if (AText.empty()) return;
  TqvCustomMRUEditProperties* properties = GetProperties();
  TStrings* items = properties->GetItems();
  const Integer index = items->IndexOf(AText);
  if (index == 0) return;
  if (index > 0) {
    items->Move(index, 0);
  } else {
    TUpdateScope update(items);
    items->Insert(0, AText);
    properties->TrimItems();
  }
}

void TqvCustomMRUEdit::BeginPostEditValue() {
  if (!IsPosting() && CanModify()) AddItem(GetText());
  inherited::BeginPostEditValue();
}

void TqvCustomMRUEdit::DoEnter() {
  FTextAtEnter = GetText();
  inherited::DoEnter();
}

bool TqvCustomMRUEdit::Deactivate() {
  TAliveToken alive = AliveToken();
  const String text = GetText();
  const bool result = inherited::Deactivate();
  if (alive && IsInplace() && text != FTextAtEnter && CanModify()) AddItem(text);
  return result;
}

void TqvCustomMRUEdit::DoButtonClick(Integer AButtonVisibleIndex) {
  TAliveToken alive = AliveToken();
  inherited::DoButtonClick(AButtonVisibleIndex);
  if (!alive) return;
  if (GetViewInfo()->GetButton(AButtonVisibleIndex)->ButtonIndex == kEllipsisButton && GetProperties()->OnButtonClick)
    GetProperties()->OnButtonClick(this);
}

void TqvCustomMRUEdit::PropertiesChanged(TObject* Sender) {
  TqvCustomMRUEditProperties* properties = GetProperties();
  TqvEditButtons* buttons = properties->GetButtons();
  const bool ellipsis = properties->GetShowEllipsis();
  const Integer glyphIndex = ellipsis ? kEllipsisButton : 0;
  if (glyphIndex < buttons->GetCount()) {
    TBitmap* glyph = buttons->GetItem(glyphIndex)->FindGlyph();
    TqvEditButtonKind kind = ellipsis ? bkEllipsis : bkDown;
    if (glyph && !glyph->GetEmpty()) kind = bkGlyph;
    buttons->GetItem(glyphIndex)->SetKind(kind);
  }
  inherited::PropertiesChanged(Sender);
}
