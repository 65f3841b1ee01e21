// The calculator editor: the drop-down calculator bound to the editor's text, the settings that
// follow into the calculator, the typed-character check, and the value conversions.
#include "editors/qvCalcEdit.h"

#include "core/qvVariants.h"
#include "editors/qvExtEditUtils.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvPopupCalculator)
QJ_IMPLEMENT_CLASS(TqvCustomCalcEditProperties)
QJ_IMPLEMENT_CLASS(TqvCalcEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomCalcEdit)
QJ_IMPLEMENT_CLASS(TqvCalcEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryCalcItem)

namespace {

const TqvEditKindRegistration CalcEditRegistration(&TqvCalcEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextCalcEdit);

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvPopupCalculator

TqvPopupCalculator::TqvPopupCalculator(TComponent* AOwner, TqvCustomCalcEdit* AEdit)
    : TqvCustomCalculator(AOwner), FEdit(AEdit) {
  SetIsPopup(true);
}

TqvLookAndFeelPainterClass TqvPopupCalculator::GetPainter() const {
  TqvCustomEditStyle* style = FEdit->GetStyle();
  TqvLookAndFeel* lookAndFeel = style->GetLookAndFeel();
  if (!lookAndFeel->GetEffectiveNativeStyle()) {
    switch (style->GetPopupBorderStyle()) {
      case epbsSingle: return TqvUltraFlatLookAndFeelPainter::Class();
      case epbsFrame3D: return TqvStandardLookAndFeelPainter::Class();
      case epbsFlat: return TqvFlatLookAndFeelPainter::Class();
      default: break;
    }
  }
  return lookAndFeel->GetPainter();
}

void TqvPopupCalculator::GetDisplayText(String& Text) { Text = FEdit->GetCalculatorText(); }

void TqvPopupCalculator::SetDisplayText(const String& Text) { FEdit->SetCalculatorText(Text); }

void TqvPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  const TShiftState mods = Shift & (ssShift | ssCtrl | ssAlt);
  switch (Key) {
    case VK_ESCAPE:
      Key = 0;
      FEdit->CancelPopup();
      return;
    case VK_INSERT:
      if (mods == ssShift) {
        PasteFromClipboard();
        Key = 0;
        return;
      }
      if (mods == ssCtrl) {
        CopyToClipboard();
        Key = 0;
        return;
      }
      break;
    case VK_F4:
      if (!(Shift & ssAlt)) {
        Key = 0;
        HidePopup();
        return;
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (Shift & ssAlt) {
        Key = 0;
        HidePopup();
        return;
      }
      break;
    default: break;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvPopupCalculator::KeyPress(char& Key) {
  // The character of Esc, which key down has handled, must not clear the display after all.
  if (Key == '\x1B') {
    Key = 0;
    return;
  }
  const char key = Key;
  TAliveToken alive = AliveToken();
  inherited::KeyPress(Key);
  if (!alive) return;
  // Ctrl+M comes as a carriage return too: it is the memory key, not Enter.
  if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) return;
  if (key == '\r' || (key == '=' && FEdit->GetProperties()->GetQuickClose())) HidePopup();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCalcEditProperties

TqvCustomCalcEditProperties::TqvCustomCalcEditProperties(TPersistent* AOwner) : TqvCustomPopupEditProperties(AOwner) {}

TqvCustomCalcEditProperties::~TqvCustomCalcEditProperties() { GetFormatController()->RemoveListener(this); }

void TqvCustomCalcEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  TUpdateScope update(this);
  SetMaxLength(FPrecision + 2);
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
  SetValidateOnEnter(true);
  GetFormatController()->AddListener(this);
}

TqvCustomEditClass TqvCustomCalcEditProperties::ContainerClass() { return &TqvCalcEdit::StaticClass(); }

void TqvCustomCalcEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomCalcEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetBeepOnError(source->FBeepOnError);
  SetPrecision(source->FPrecision);
  SetQuickClose(source->FQuickClose);
}

void TqvCustomCalcEditProperties::SetBeepOnError(bool Value) {
  if (FBeepOnError == Value) return;
  FBeepOnError = Value;
  Changed();
}

void TqvCustomCalcEditProperties::SetPrecision(Byte Value) {
  if (FPrecision == Value) return;
  TUpdateScope update(this);
  FPrecision = Value;
  SetMaxLength(FPrecision + 2);
  Changed();
}

void TqvCustomCalcEditProperties::SetQuickClose(bool Value) {
  if (FQuickClose == Value) return;
  FQuickClose = Value;
  Changed();
}

void TqvCustomCalcEditProperties::FormatChanged() {
  TValueScope changing(FFormatChanging, true);
  Changed();
}

TqvEditValueSource TqvCustomCalcEditProperties::GetEditValueSource(bool AEditFocused) const {
  return AEditFocused ? evsValue : evsText;
}

void TqvCustomCalcEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (VarIsSoftNull(AEditValue)) {
    ADisplayValue = String();
    return;
  }
  try {
    if (AEditFocused)
      ADisplayValue = FloatToStr(AEditValue.AsDouble());
    else
      inherited::PrepareDisplayValue(AEditValue, ADisplayValue, false);
  } catch (const std::exception& E) {
    if (!IsVariantConversionError(E) && !dynamic_cast<const EConvertError*>(&E)) throw;
    ADisplayValue = AEditFocused ? Variant(String()) : Variant(VarToStr(AEditValue));
  }
}

void TqvCustomCalcEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TObject* AEdit) {
  // A lone "-" or an exponent without digits would otherwise be stored as no value at all.
  const String text = Trim(VarToStr(ADisplayValue));
  double value = 0;
  AError = !text.empty() && !qvTextToNumber(text, value);
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TqvCustomCalcEditProperties::IsValidTypedChar(const String& AText, Integer ASelStart, Integer ASelLength,
                                                   char AKey) const {
  TqvNumberTypingRules rules;
  rules.MaxDecimals = FPrecision;
  rules.MaxDigits = FPrecision;
  return qvIsTypedNumberValid(AText, ASelStart, ASelLength, AKey, rules);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomCalcEdit

TqvCustomCalcEdit::TqvCustomCalcEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomPopupEdit(AOwner, AIsInplace) {}

TqvCustomCalcEdit::~TqvCustomCalcEdit() { GetFormatController()->RemoveListener(this); }

TqvCustomEditPropertiesClass TqvCustomCalcEdit::PropertiesClass() {
  return &TqvCustomCalcEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvCalcEdit::PropertiesClass() { return &TqvCalcEditProperties::StaticClass(); }

void TqvCustomCalcEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCalculator = New<TqvPopupCalculator>(this, this);
  FCalculator->SetVisible(false);
  FCalculator->SetParent(GetPopupWindow());
  FCalculator->SetAutoFontSize(false);
  FCalculator->SetBeepOnError(GetProperties()->GetBeepOnError());
  FCalculator->SetPrecision(GetProperties()->GetPrecision());
  FCalculator->OnHidePopup = [this](TObject*) { CloseUp(true); };
  GetFormatController()->AddListener(this);
}

double TqvCustomCalcEdit::GetValue() {
  const Variant value = GetEditValue();
  if (VarIsSoftNull(value) || VarIsEmpty(value)) return 0;
  try {
    return value.AsDouble();
  } catch (const std::exception& E) {
    if (!IsVariantConversionError(E) && !dynamic_cast<const EConvertError*>(&E)) throw;
    return 0;
  }
}

void TqvCustomCalcEdit::SetValue(double Value) { SetEditValue(Value); }

bool TqvCustomCalcEdit::SetCalculatorText(const String& AText) {
  TAliveToken alive = AliveToken();
  if (!DoEditing() || !alive) return false;
  {
    TValueScope userChange(UserChangeFlag(), true, alive);
    TrySetDisplayText(AText);
  }
  if (alive) SetModifiedAfterEnter(true);
  return true;
}

void TqvCustomCalcEdit::RestoreTextAtPopup() {
  if (GetCalculatorText() == FTextAtPopup) return;
  TAliveToken alive = AliveToken();
  {
    TValueScope userChange(UserChangeFlag(), true, alive);
    TrySetDisplayText(FTextAtPopup);
  }
  if (alive && !FModifiedAtPopup) SetModifiedAfterEnter(false);
}

void TqvCustomCalcEdit::CancelPopup() {
  TAliveToken alive = AliveToken();
  RestoreTextAtPopup();
  if (alive) CloseUp(false);
}

void TqvCustomCalcEdit::CloseUp(bool AAccept) {
  TAliveToken alive = AliveToken();
  // Esc (in the calculator, the popup or the editor) leaves nothing of the calculation.
  if (!AAccept && HasPopupWindow() && GetKeyState(VK_ESCAPE) < 0) RestoreTextAtPopup();
  if (alive) inherited::CloseUp(AAccept);
}

bool TqvCustomCalcEdit::CanDropDown() { return FCalculator && !GetProperties()->GetReadOnly(); }

void TqvCustomCalcEdit::CreatePopupWindow() {
  inherited::CreatePopupWindow();
  if (GetPopupWindow()) GetPopupWindow()->SetIsModal(false);
}

void TqvCustomCalcEdit::DropDown() {
  GetProperties()->SetPopupControl(FCalculator);
  inherited::DropDown();
}

void TqvCustomCalcEdit::InitPopupWindow() {
  inherited::InitPopupWindow();
  if (!FCalculator) return;
  FTextAtPopup = GetCalculatorText();
  FModifiedAtPopup = GetModifiedAfterEnter();
  // A calculation that ended in an error does not greet the next opening; the memory stays.
  FCalculator->ClearError();
  FCalculator->HandleNeeded();
  FCalculator->GetFont()->Assign(GetStyle()->GetFont());
  FCalculator->SetBounds(0, 0, 1, 1);
}

void TqvCustomCalcEdit::PopupWindowClosed(TObject* Sender) {
  TAliveToken alive = AliveToken();
  if (GetCalculatorText() == GetLocalizedResourceString(&sqvCalcError)) {
    SetEditValue(0.0);
    if (alive) SetModifiedAfterEnter(true);
  }
  if (!alive) return;
  if (GetProperties()->GetAutoSelect())
    SelectAll();
  else
    SetSelStart(Integer(GetCalculatorText().size()));
  if (alive) inherited::PopupWindowClosed(Sender);
}

void TqvCustomCalcEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  const String text = Trim(VarToStr(ADisplayValue));
  if (text.empty()) {
    AEditValue = Null();
    return;
  }
  double value = 0;
  if (TryStrToFloat(text, value)) AEditValue = value;
}

void TqvCustomCalcEdit::PasteFromClipboard() {
  if (!FCalculator || !DoEditing()) return;
  FCalculator->PasteFromClipboard();
}

void TqvCustomCalcEdit::PropertiesChanged(TObject* Sender) {
  TqvCustomCalcEditProperties* properties = GetProperties();
  if (properties->IsFormatChanging()) return;
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (!alive || IsInnerEditUnavailable() || !FCalculator) return;
  FCalculator->SetBeepOnError(properties->GetBeepOnError());
  FCalculator->SetPrecision(properties->GetPrecision());
}

void TqvCustomCalcEdit::FormatChanged() {
  if (GetDataBinding()) GetDataBinding()->UpdateDisplayValue();
}

bool TqvCustomCalcEdit::IsValidChar(char AChar) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return false;
  return GetProperties()->IsValidTypedChar(InternalGetText(), inner->GetSelStart(), inner->GetSelLength(), AChar);
}

void TqvCustomCalcEdit::DoEditKeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings().DecimalSeparator;
  if (static_cast<unsigned char>(Key) > 31 && !IsValidChar(Key)) {
    Key = 0;
    if (GetProperties()->GetBeepOnError()) MessageBeep(0);
    return;
  }
  inherited::DoEditKeyPress(Key);
}
