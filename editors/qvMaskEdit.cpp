// The mask edit: properties (mask, kind, the cached mode for display texts, validation) and the
// control that hands keys, paste, cut and focus changes to its mode.
#include "editors/qvMaskEdit.h"
#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvMaskEditInvalidEditValue{62030, "The edit value is invalid"};

QJ_IMPLEMENT_CLASS(EqvMaskEditError)
QJ_IMPLEMENT_CLASS(TqvCustomMaskEditProperties)
QJ_IMPLEMENT_CLASS(TqvMaskEditProperties)
QJ_IMPLEMENT_CLASS(TqvCustomMaskEdit)
QJ_IMPLEMENT_CLASS(TqvMaskEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryMaskItem)

namespace {

const TqvEditKindRegistration MaskEditRegistration(&TqvMaskEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextMaskEdit);

bool IsRegExprKind(TqvEditMaskKind AKind) { return AKind != emkStandard; }

}  // namespace

bool IsBlankMask(const String& AMask) {
  for (char c : AMask)
    if (c != '\0' && c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != ' ') return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMaskEditProperties

TqvCustomMaskEditProperties::TqvCustomMaskEditProperties(TPersistent* AOwner) : TqvCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

TqvCustomMaskEditProperties::~TqvCustomMaskEditProperties() { FCachedMode.reset(); }

TqvCustomEditClass TqvCustomMaskEditProperties::ContainerClass() { return &TqvMaskEdit::StaticClass(); }

void TqvCustomMaskEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomMaskEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetMaskKind(source->FMaskKind);
  SetEditMask(source->FEditMask);
  SetCaseInsensitive(source->FCaseInsensitive);
  FIgnoreMaskBlank = source->FIgnoreMaskBlank;
  SetShowBlanksAndLiteralsAlways(source->FShowBlanksAndLiteralsAlways);
}

String TqvCustomMaskEditProperties::GetEditMask() const {
  if (FMaskKind == emkStandard && IsBlankMask(FEditMask)) {
    IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
    return provider ? provider->DefaultEditMask() : String();
  }
  return FEditMask;
}

bool TqvCustomMaskEditProperties::IsMasked() const { return !IsBlankMask(GetEditMask()); }

TOwned<TqvMaskEditCustomMode> TqvCustomMaskEditProperties::CreateMode(TqvEditMaskKind AKind, const String& AMask) {
  TOwned<TqvMaskEditCustomMode> mode(GetMaskEditModeClass(AKind)->Create(nullptr, this));
  mode->Compile(AMask);
  return mode;
}

void TqvCustomMaskEditProperties::SetEditMask(const String& Value) {
  if (Value == GetEditMask()) {
    FEditMask = Value;
    return;
  }
  CreateMode(FMaskKind, Value);  // a mask that does not compile raises here; nothing changed
  FEditMask = Value;
  Changed();
}

void TqvCustomMaskEditProperties::SetMaskKind(TqvEditMaskKind Value) {
  if (FMaskKind == Value) return;
  FMaskKind = Value;
  Changed();
}

void TqvCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  FCaseInsensitive = GetCharCase() != ecNormal || Value;
  Changed();
}

void TqvCustomMaskEditProperties::SetShowBlanksAndLiteralsAlways(bool Value) {
  if (FShowBlanksAndLiteralsAlways == Value) return;
  FShowBlanksAndLiteralsAlways = Value;
  Changed();
}

void TqvCustomMaskEditProperties::SetCharCase(TEditCharCase Value) {
  if (Value != ecNormal) FCaseInsensitive = true;
  inherited::SetCharCase(Value);
}

void TqvCustomMaskEditProperties::SetMaxLength(Integer Value) { inherited::SetMaxLength(IsMasked() ? 0 : Value); }

bool TqvCustomMaskEditProperties::UseLookupData() const { return !IsMasked() && inherited::UseLookupData(); }

TqvEditDisplayFormatOptions TqvCustomMaskEditProperties::GetDisplayFormatOptions() const {
  return IsMasked() ? 0 : dfoUseProviderFormat;
}

bool TqvCustomMaskEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  return IsMasked() || inherited::IsEditValueValid(AEditValue, AEditFocused);
}

TqvMaskEditCustomMode* TqvCustomMaskEditProperties::CachedMode() {
  const String mask = GetEditMask();
  if (!FCachedMode || FCachedMode->ClassType() != GetMaskEditModeClass(FMaskKind) || FCachedMode->GetMask() != mask) {
    FCachedMode.reset();
    if (!IsBlankMask(mask)) FCachedMode = CreateMode(FMaskKind, mask);
  }
  return FCachedMode.get();
}

void TqvCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (!IsMasked()) {
    inherited::PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
    return;
  }
  const String text = VarToStr(AEditValue);
  TqvMaskEditCustomMode* mode = CachedMode();
  if (AEditFocused || mode->GetMaskKind() != emkStandard || FShowBlanksAndLiteralsAlways)
    ADisplayValue = mode->GetFormattedText(text);
  else
    ADisplayValue = mode->GetDisplayText(text);
}

void TqvCustomMaskEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TObject* AEdit) {
  if (!AError) {
    if (IsMasked()) {
      auto* edit = As<TqvCustomMaskEdit>(AEdit);
      TqvMaskEditCustomMode* mode = edit && edit->GetMode()->GetMask() == GetEditMask() ? edit->GetMode() : CachedMode();
      AError = !mode->IsTextValid(VarToStr(ADisplayValue));
      if (AError) AErrorText = GetLocalizedResourceString(&sqvMaskEditInvalidEditValue);
    } else {
      AError = false;
    }
  }
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMaskEdit: construction and mode

TqvCustomMaskEdit::TqvCustomMaskEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomTextEdit(AOwner, AIsInplace) {}

TqvCustomMaskEdit::~TqvCustomMaskEdit() { FMode.reset(); }

TqvCustomEditPropertiesClass TqvCustomMaskEdit::PropertiesClass() { return &TqvCustomMaskEditProperties::StaticClass(); }

TqvCustomEditPropertiesClass TqvMaskEdit::PropertiesClass() { return &TqvMaskEditProperties::StaticClass(); }

void TqvCustomMaskEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FMode.reset(TqvMaskEditStandardMode::StaticClass().Create(this, GetProperties()));
  GetProperties()->SetEmptyMaskText(String());
  PropertiesChanged(GetActiveProperties());
}

void TqvCustomMaskEdit::ReplaceMode(TqvEditMaskKind AKind) {
  TOwned<TqvMaskEditCustomMode> mode(GetMaskEditModeClass(AKind)->Create(this, GetProperties()));
  mode->SetCharCase(FMode->GetCharCase());
  mode->SetEchoMode(FMode->GetEchoMode());
  FMode = std::move(mode);
}

void TqvCustomMaskEdit::RepositoryItemChanged() {
  inherited::RepositoryItemChanged();
  if (FMode) FMode->SetProperties(GetProperties());
}

void TqvCustomMaskEdit::UpdateCachedDisplayText() {
  String text;
  GetDisplayValue(text);
  FCachedDisplayText = FMode ? FMode->GetDisplayText(text) : text;
}

void TqvCustomMaskEdit::PropertiesChanged(TObject* Sender) {
  if (!FMode || IsDestroying()) {
    inherited::PropertiesChanged(Sender);
    return;
  }
  TqvCustomMaskEditProperties* properties = GetProperties();
  FMode->SetProperties(properties);
  Integer selStart = 0, selLength = 0;
  bool kindChanged = false, caseChanged = false, maskChanged = false, echoChanged = false;
  {
    TLockSwitchScope<TqvCustomEditProperties, &TqvCustomEditProperties::SetChangedLocked> changedLocked(properties);
    const String mask = properties->GetEditMask();
    maskChanged = FMode->GetMask() != mask;
    kindChanged = FMode->GetMaskKind() != properties->GetMaskKind();
    caseChanged = properties->GetCharCase() != FMode->GetCharCase();
    echoChanged = properties->GetEchoMode() != FMode->GetEchoMode();
    bool maskCleared = false;
    if (kindChanged) {
      if (IsRegExprKind(FMode->GetMaskKind()) != IsRegExprKind(properties->GetMaskKind())) {
        // The classic and the regular-expression languages do not share masks.
        properties->SetEditMask(String());
        maskCleared = true;
      }
      ReplaceMode(properties->GetMaskKind());
      FMode->Compile(properties->GetEditMask());
      if (properties->IsMasked()) FMode->RefreshInnerText();
      properties->SetEmptyMaskText(properties->IsMasked() ? FMode->GetEmptyText() : String());
    }
    if (maskChanged) {
      properties->SetMaxLength(0);
      FMode->Compile(mask);
      if (maskCleared) properties->SetEditMask(mask);  // kind and mask changed together keep the mask
      if (!IsBlankMask(mask)) {
        FMode->RefreshInnerText();
      } else if (FMode->GetMaskKind() == emkStandard && GetInnerTextEdit() &&
                 GetInnerTextEdit()->GetSelLength() == 1) {
        GetInnerTextEdit()->SetSelLength(0);
      }
      properties->SetEmptyMaskText(properties->IsMasked() ? FMode->GetEmptyText() : String());
    }
    if (caseChanged) {
      if (properties->GetCharCase() == ecNormal) {
        if (IqvInnerTextEdit* inner = GetInnerTextEdit()) inner->SetCharCase(ecNormal);
        // Without a mask the typed text stays as the text edit keeps it.
        if (properties->IsMasked()) FMode->RefreshInnerText();
      }
      FMode->SetCharCase(properties->GetCharCase());
    }
    if (echoChanged && GetInnerTextEdit()) {
      selStart = GetInnerTextEdit()->GetSelStart();
      selLength = GetInnerTextEdit()->GetSelLength();
    }
    if (properties->IsMasked() && (IsInnerEditUnavailable() || !VarIsNull(GetEditValue()))) FMode->ApplyPendingValue();
  }
  if (auto* regExprMode = As<TqvMaskEditRegExprMode>(FMode.get()))
    regExprMode->GetExpression()->SetCaseInsensitive(properties->GetCaseInsensitive());
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (!alive) return;
  if (echoChanged) {
    if (IqvInnerTextEdit* inner = GetInnerTextEdit()) {
      inner->SetSelStart(selStart);
      inner->SetSelLength(selLength);
    }
    FMode->SetEchoMode(properties->GetEchoMode());
  }
  if (kindChanged || caseChanged || maskChanged) UpdateCachedDisplayText();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMaskEdit: values and texts

void TqvCustomMaskEdit::InnerEditChange(TObject* Sender) {
  UpdateCachedDisplayText();
  inherited::InnerEditChange(Sender);
}

String TqvCustomMaskEdit::InternalGetText() {
  return IsMasked() && FMode ? FCachedDisplayText : inherited::InternalGetText();
}

bool TqvCustomMaskEdit::InternalSetText(const String& AText) {
  if (!IsMasked() || !FMode) return inherited::InternalSetText(AText);
  TAliveToken alive = AliveToken();
  SetEditValue(AText);
  if (alive) AssignEditValue(FCachedDisplayText);
  return true;
}

void TqvCustomMaskEdit::InternalSetDisplayValue(const Variant& Value) {
  if (!IsMasked() || !FMode || HasState(csLoading)) {
    inherited::InternalSetDisplayValue(Value);
    return;
  }
  const String text = VarToStr(Value);
  String shown;
  if (IsEditFocused() || FMode->GetMaskKind() != emkStandard || GetProperties()->GetShowBlanksAndLiteralsAlways())
    shown = FMode->GetFormattedText(text);
  else
    shown = FMode->GetDisplayText(text);
  TAliveToken alive = AliveToken();
  inherited::InternalSetDisplayValue(shown);
  if (!alive) return;
  String current;
  GetDisplayValue(current);
  FMode->TextAssigned(current);
}

void TqvCustomMaskEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) {
  if (IsMasked() && FMode)
    AEditValue = FMode->GetDisplayText(VarToStr(ADisplayValue));
  else
    inherited::DisplayToEditValue(ADisplayValue, AEditValue, AEditFocused);
}

void TqvCustomMaskEdit::SynchronizeDisplayValue() {
  TAliveToken alive = AliveToken();
  inherited::SynchronizeDisplayValue();
  if (!alive || !FMode || !IsMasked()) return;
  String current;
  GetDisplayValue(current);
  FMode->TextAssigned(current);
}

void TqvCustomMaskEdit::Loaded() {
  inherited::Loaded();
  if (!IsMasked() || !FMode) return;
  LockChangeEvents(true);
  TFinally unlocked([this] { LockChangeEvents(false, false); });
  String current;
  GetDisplayValue(current);
  InternalSetDisplayValue(current);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMaskEdit: selection, clipboard, mouse and focus

void TqvCustomMaskEdit::SetSelStart(Integer Value) {
  inherited::SetSelStart(Value);
  if (FMode) FMode->CaretMoved();
}

void TqvCustomMaskEdit::SetSelLength(Integer Value) {
  inherited::SetSelLength(Value);
  if (FMode) FMode->CaretMoved();
}

void TqvCustomMaskEdit::CutToClipboard() {
  if (!IsMasked() || !FMode) {
    inherited::CutToClipboard();
    return;
  }
  CopyToClipboard();
  // A mode that lets Delete through leaves the removal of the selection to the inner edit.
  TAliveToken alive = AliveToken();
  if (FMode->PressDelete() && alive) SendKeyToSelf(VK_DELETE);
}

void TqvCustomMaskEdit::PasteFromClipboard() {
  if (!IsMasked() || !FMode) {
    inherited::PasteFromClipboard();
    return;
  }
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const String text = Clipboard()->GetAsText();
  FMode->SetPasteLength(Integer(text.size()));
  FMode->BeforePaste();
  TAliveToken alive = AliveToken();
  inherited::SetSelText(text);
  if (alive) FMode->AfterPaste();
}

void TqvCustomMaskEdit::SetSelText(const String& AText) {
  if (!IsMasked() || !FMode) {
    inherited::SetSelText(AText);
    return;
  }
  FMode->SetPasteLength(Integer(AText.size()));
  FMode->BeforePaste();
  TAliveToken alive = AliveToken();
  inherited::SetSelText(AText);
  if (alive) FMode->AfterPaste();
}

void TqvCustomMaskEdit::DoEnter() {
  if (FMode && GetProperties()->GetAutoSelect()) FMode->PrepareSelectAll();
  inherited::DoEnter();
}

void TqvCustomMaskEdit::DblClick() {
  if (FMode) FMode->PrepareSelectAll();
  inherited::DblClick();
}

void TqvCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FMode) FMode->CaretMoved();
  inherited::MouseDown(Button, Shift, X, Y);
}

void TqvCustomMaskEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if ((Shift & ssLeft) && FMode) {
    TValueScope shift(FShiftFlag, true, AliveToken());
    FMode->CaretMoved();
  }
  inherited::MouseMove(Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomMaskEdit: keys

void TqvCustomMaskEdit::SendKeyToSelf(Word AKey) {
  TWinControl* inner = GetInnerControl();
  if (!inner || !inner->HandleAllocated()) return;
  TValueScope internal(FInternalKey, true, AliveToken());
  SendMessage(inner->GetHandle(), WM_KEYDOWN, AKey, 0);
}

void TqvCustomMaskEdit::SendCharToSelf(char AChar) {
  TWinControl* inner = GetInnerControl();
  if (!inner || !inner->HandleAllocated()) return;
  TValueScope internal(FInternalKey, true, AliveToken());
  SendMessage(inner->GetHandle(), WM_CHAR, static_cast<unsigned char>(AChar), 0);
}

void TqvCustomMaskEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (!IsMasked() || !FMode) {
    inherited::DoEditKeyDown(Key, Shift);
    return;
  }
  if (!ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (FInternalKey) return;
  if (Key == VK_TAB) {
    inherited::DoEditKeyDown(Key, Shift);
    return;
  }
  FShiftFlag = (Shift & ssShift) != 0;
  TAliveToken alive = AliveToken();
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
      if (!HasPopupWindow()) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
      }
      break;
    case VK_LEFT:
      if (Shift & ssCtrl) {
        SendKeyToSelf(VK_HOME);
        if (alive && !FMode->PressHome()) Key = 0;
      } else {
        const bool atEdge = FMode->AtLeftEdge();
        if (!FMode->PressLeft()) {
          if (atEdge && alive) DoAfterKeyDown(Key, Shift);
          Key = 0;
        }
      }
      break;
    case VK_RIGHT:
      if (Shift & ssCtrl) {
        SendKeyToSelf(VK_END);
        if (alive && !FMode->PressEnd()) Key = 0;
      } else {
        const bool atEdge = FMode->AtRightEdge();
        if (!FMode->PressRight()) {
          if (atEdge && alive) DoAfterKeyDown(Key, Shift);
          Key = 0;
        }
      }
      break;
    case VK_DELETE:
      if (!(Shift & ssShift)) {
        if (!FMode->PressDelete()) Key = 0;
      } else if (GetInnerTextEdit() && GetInnerTextEdit()->GetSelLength() == 0) {
        FShiftFlag = false;  // a Backspace: nothing is extended
        if (!FMode->PressBackspace()) Key = 0;
      }
      break;
    case VK_HOME:
      if (!FMode->PressHome()) Key = 0;
      break;
    case VK_END:
      if (!FMode->PressEnd()) Key = 0;
      break;
    default: break;
  }
  if (alive && Key != 0) inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomMaskEdit::DoEditKeyPress(char& Key) {
  if (!IsMasked() || !FMode) {
    inherited::DoEditKeyPress(Key);
    return;
  }
  if (Key == '\t' || Key == '\x1B' || !ValidateKeyPress(Key)) {
    Key = 0;
    return;
  }
  if (Key == '\r' || FInternalKey) return;
  if (Key == '\x03' || Key == '\x16' || Key == '\x18') {
    inherited::DoEditKeyPress(Key);
    return;
  }
  const bool pass = Key == '\b' ? FMode->PressBackspace() : FMode->PressChar(Key);
  if (!pass) Key = 0;
}

void TqvCustomMaskEdit::DoEditKeyUp(Word& Key, TShiftState Shift) {
  if (!FInternalKey) inherited::DoEditKeyUp(Key, Shift);
}
