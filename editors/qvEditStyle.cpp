// The edit style and its style controller.
#include "editors/qvEdit.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomEditStyle)
QJ_IMPLEMENT_CLASS(TqvEditStyle)
QJ_IMPLEMENT_CLASS(TqvEditStyleController)

namespace {

const char* const kEditStyleValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle"};

}  // namespace

void TqvCustomEditStyle::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomEditStyle>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope<TqvContainerStyle> update(*this);
  FButtonStyle = source->FButtonStyle;
  FButtonTransparency = source->FButtonTransparency;
  FPopupBorderStyle = source->FPopupBorderStyle;
  FPopupCloseButton = source->FPopupCloseButton;
  inherited::Assign(Source);
  Changed();
}

bool TqvCustomEditStyle::IsValueAssigned(TqvContainerStyleValue Value) const {
  switch (Value) {
    case svButtonStyle: {
      TqvEditButtonStyle v;
      return InternalGetButtonStyle(v);
    }
    case svButtonTransparency: {
      TqvEditButtonTransparency v;
      return InternalGetButtonTransparency(v);
    }
    case svPopupBorderStyle: {
      TqvEditPopupBorderStyle v;
      return InternalGetPopupBorderStyle(v);
    }
  }
  return inherited::IsValueAssigned(Value);
}

bool TqvCustomEditStyle::GetStyleValueName(TqvContainerStyleValue Index, String& Name) const {
  if (Index >= svButtonStyle && Index <= svPopupBorderStyle) {
    Name = kEditStyleValueNames[Index - svButtonStyle];
    return true;
  }
  return inherited::GetStyleValueName(Index, Name);
}

TColor TqvCustomEditStyle::GetDefaultColor() const {
  TqvContainer* editor = GetContainer();
  if (editor && !editor->IsInplace() && editor->GetParentColor() && editor->GetParent())
    return editor->GetParent()->GetColor();
  return clWindow;
}

const TqvCustomEditStyle* TqvCustomEditStyle::ControllerEditStyle() const {
  return As<TqvCustomEditStyle>(GetControllerStyle());
}

// ---------------------------------------------------------------------------------------------
// The edit values

bool TqvCustomEditStyle::InternalGetButtonStyle(TqvEditButtonStyle& Value) const {
  for (const TqvCustomEditStyle* s = this; s; s = s->ControllerEditStyle())
    if (s->IsOwnValue(svButtonStyle)) {
      Value = s->FButtonStyle;
      return true;
    }
  return false;
}

bool TqvCustomEditStyle::InternalGetButtonTransparency(TqvEditButtonTransparency& Value) const {
  for (const TqvCustomEditStyle* s = this; s; s = s->ControllerEditStyle())
    if (s->IsOwnValue(svButtonTransparency)) {
      Value = s->FButtonTransparency;
      return true;
    }
  return false;
}

bool TqvCustomEditStyle::InternalGetPopupBorderStyle(TqvEditPopupBorderStyle& Value) const {
  for (const TqvCustomEditStyle* s = this; s; s = s->ControllerEditStyle())
    if (s->IsOwnValue(svPopupBorderStyle)) {
      Value = s->FPopupBorderStyle;
      return true;
    }
  return false;
}

TqvEditButtonStyle TqvCustomEditStyle::GetButtonStyle() const {
  if (GetIsInplace()) return IsOwnValue(svButtonStyle) ? FButtonStyle : DefaultButtonStyle();
  TqvEditButtonStyle v;
  return InternalGetButtonStyle(v) ? v : DefaultButtonStyle();
}

TqvEditButtonTransparency TqvCustomEditStyle::GetButtonTransparency() const {
  if (GetIsInplace()) return IsOwnValue(svButtonTransparency) ? FButtonTransparency : DefaultButtonTransparency();
  TqvEditButtonTransparency v;
  return InternalGetButtonTransparency(v) ? v : DefaultButtonTransparency();
}

TqvEditPopupBorderStyle TqvCustomEditStyle::GetPopupBorderStyle() const {
  if (GetIsInplace()) return IsOwnValue(svPopupBorderStyle) ? FPopupBorderStyle : DefaultPopupBorderStyle();
  TqvEditPopupBorderStyle v;
  return InternalGetPopupBorderStyle(v) ? v : DefaultPopupBorderStyle();
}

template <class T>
void TqvCustomEditStyle::SetEditValue(T& AField, T AValue, TqvContainerStyleValue AStyleValue) {
  if (IsOwnValue(AStyleValue) && AField == AValue) return;
  AField = AValue;
  MarkAssigned(AStyleValue);
  Changed();
}

void TqvCustomEditStyle::SetButtonStyle(TqvEditButtonStyle Value) { SetEditValue(FButtonStyle, Value, svButtonStyle); }

void TqvCustomEditStyle::SetButtonTransparency(TqvEditButtonTransparency Value) {
  SetEditValue(FButtonTransparency, Value, svButtonTransparency);
}

void TqvCustomEditStyle::SetPopupBorderStyle(TqvEditPopupBorderStyle Value) {
  SetEditValue(FPopupBorderStyle, Value, svPopupBorderStyle);
}

void TqvCustomEditStyle::SetPopupCloseButton(bool Value) {
  if (FPopupCloseButton == Value) return;
  FPopupCloseButton = Value;
  Changed();
}
