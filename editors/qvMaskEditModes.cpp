// The mask mode base and the classic mode: overwrite editing on the classic edit mask.
#include <algorithm>

#include "editors/qvMaskEdit.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvMaskEditCustomMode)
QJ_IMPLEMENT_CLASS(TqvMaskEditStandardMode)

// ---------------------------------------------------------------------------------------------
// TqvMaskEditCustomMode

TqvMaskEditCustomMode::TqvMaskEditCustomMode(TqvCustomMaskEdit* AEdit, TqvCustomMaskEditProperties* AProperties)
    : FEdit(AEdit), FProperties(AProperties) {
  if (FProperties) {
    FCharCase = FProperties->GetCharCase();
    FEchoMode = FProperties->GetEchoMode();
  }
}

void TqvMaskEditCustomMode::Beep() {
  if (FProperties && FProperties->GetBeepOnError()) MessageBeep(0);
}

bool TqvMaskEditCustomMode::HasUsableEdit() const { return FEdit && !FEdit->IsInnerEditUnavailable(); }

String TqvMaskEditCustomMode::InnerText() const {
  String text;
  if (FEdit) FEdit->GetDisplayValue(text);
  return text;
}

void TqvMaskEditCustomMode::SetInnerText(const String& AText) {
  if (FEdit) FEdit->SetInnerEditValue(AText);
}

Integer TqvMaskEditCustomMode::SelStart() const {
  IqvInnerTextEdit* inner = FEdit ? FEdit->GetInnerTextEdit() : nullptr;
  return inner ? inner->GetSelStart() : 0;
}

Integer TqvMaskEditCustomMode::SelLength() const {
  IqvInnerTextEdit* inner = FEdit ? FEdit->GetInnerTextEdit() : nullptr;
  return inner ? inner->GetSelLength() : 0;
}

Integer TqvMaskEditCustomMode::CaretIndex() const { return FEdit ? FEdit->GetCaretCharIndex() : 0; }

void TqvMaskEditCustomMode::SetInnerSelStart(Integer AValue) {
  if (IqvInnerTextEdit* inner = FEdit ? FEdit->GetInnerTextEdit() : nullptr) inner->SetSelStart(AValue);
}

void TqvMaskEditCustomMode::SetInnerSelLength(Integer AValue) {
  if (IqvInnerTextEdit* inner = FEdit ? FEdit->GetInnerTextEdit() : nullptr) inner->SetSelLength(AValue);
}

bool TqvMaskEditCustomMode::ShiftFlag() const { return FEdit && FEdit->GetShiftFlag(); }

void TqvMaskEditCustomMode::ClearShiftFlag() {
  if (FEdit) FEdit->SetShiftFlag(false);
}

void TqvMaskEditCustomMode::RefreshInnerText() {
  if (!HasUsableEdit()) return;
  String text;
  if (FEdit->GetModifiedAfterEnter()) {
    FEdit->GetDisplayValue(text);
    text = GetFormattedText(text);
  } else {
    Variant displayValue;
    FProperties->PrepareDisplayValue(FEdit->GetEditValue(), displayValue, FEdit->IsEditFocused());
    text = VarToStr(displayValue);
  }
  FEdit->SetInnerEditValue(text);
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditStandardMode: texts

void TqvMaskEditStandardMode::Compile(const String& AMask) {
  FMask = AMask;
  FStandardMask.Compile(IsBlankMask(AMask) ? String() : AMask);
  FPendingInitialValue = !HasUsableEdit();
}

void TqvMaskEditStandardMode::ApplyPendingValue() {
  if (!FPendingInitialValue || !GetEdit()) return;
  FPendingInitialValue = false;
  GetEdit()->SetEditValue(GetEmptyText());
}

String TqvMaskEditStandardMode::GetFormattedText(const String& AText) {
  String text = AText;
  FStandardMask.Merge(text, true);
  return text;
}

String TqvMaskEditStandardMode::GetDisplayText(const String& AText) {
  if (FStandardMask.GetCount() == 0) return AText;
  String text = AText;
  FStandardMask.Merge(text, GetCharCase() == ecNormal);
  FStandardMask.GetValueForm(text);
  return text;
}

bool TqvMaskEditStandardMode::IsTextValid(const String& AText) {
  String text = AText;
  if (FStandardMask.IsValid(text)) return true;
  return GetProperties()->GetIgnoreMaskBlank() && AText == GetFormattedText(String());
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditStandardMode: the caret as a one-character selection

void TqvMaskEditStandardMode::CaretMoved() {
  TqvCustomMaskEdit* edit = GetEdit();
  if (!edit || !edit->HandleAllocated() || !edit->IsMasked() || SelLength() != 0) return;
  const Integer caret = SelStart();
  if (caret >= Integer(InnerText().size())) return;
  SetInnerSelStart(caret);
  SetInnerSelLength(1);
}

void TqvMaskEditStandardMode::MoveCaret(Integer AIndex) {
  if (TqvCustomMaskEdit* edit = GetEdit()) edit->SetSelStart(AIndex);
}

void TqvMaskEditStandardMode::RefreshInnerText() {
  TqvMaskEditCustomMode::RefreshInnerText();
  CaretMoved();
}

bool TqvMaskEditStandardMode::AtLeftEdge() {
  Integer leading = 0;
  while (leading < FStandardMask.GetCount() && IsLiteral(leading)) ++leading;
  const Integer start = SelStart();
  return leading >= start && (SelLength() < 2 || CaretIndex() == start);
}

bool TqvMaskEditStandardMode::AtRightEdge() { return SelStart() == Integer(InnerText().size()); }

bool TqvMaskEditStandardMode::PressRight() {
  const Integer start = SelStart(), length = SelLength(), textLength = Integer(InnerText().size());
  if (ShiftFlag()) {
    // The inner edit extends the selection from the caret, not from the caret's character.
    if (length == 1 && CaretIndex() == start) SetInnerSelStart(start);
    return true;
  }
  if (length < 2) {
    Integer literals = 0;
    while (start + 1 + literals < textLength && IsLiteral(start + 1 + literals)) ++literals;
    if (start + literals + 1 <= textLength) MoveCaret(start + literals + 1);
    return false;
  }
  const Integer end = start + length;
  if (end >= textLength) {
    MoveCaret(end);
    return false;
  }
  Integer target = end - 1;
  while (target > start && IsLiteral(target)) --target;
  if (IsLiteral(target)) target = end - 1;
  MoveCaret(target);
  return false;
}

bool TqvMaskEditStandardMode::PressLeft() {
  const Integer start = SelStart(), length = SelLength(), textLength = Integer(InnerText().size());
  if (ShiftFlag()) {
    if (length != 1 || CaretIndex() == start) return true;
    // The caret's character becomes the end of a selection that grows to the left.
    SetInnerSelStart(start + 1);
    SetInnerSelLength(0);
    if (TqvCustomMaskEdit* edit = GetEdit()) edit->SendKeyToSelf(VK_LEFT);
    return true;
  }
  if (length >= 2) {
    Integer target = start;
    while (target < start + length && IsLiteral(target)) ++target;
    if (target == start + length) target = start + length < textLength ? start : start + length;
    MoveCaret(target);
    return false;
  }
  Integer literals = 0;
  while (start - 1 - literals >= 0 && IsLiteral(start - 1 - literals)) ++literals;
  if (start != 0 && literals < start) MoveCaret(start - literals - 1);
  return false;
}

bool TqvMaskEditStandardMode::PressHome() {
  if (ShiftFlag()) return true;
  MoveCaret(0);
  if (FStandardMask.GetCount() > 0 && IsLiteral(0)) PressRight();
  return false;
}

bool TqvMaskEditStandardMode::PressEnd() {
  if (ShiftFlag()) return true;
  MoveCaret(Integer(InnerText().size()));
  return false;
}

bool TqvMaskEditStandardMode::PressDelete() {
  String text = InnerText();
  const Integer start = SelStart();
  const Integer end = std::min<Integer>(start + SelLength(), Integer(text.size()));
  bool changed = false;
  for (Integer i = start; i < end; ++i) {
    if (IsLiteral(i) || text[size_t(i)] == FStandardMask.GetBlank()) continue;
    text[size_t(i)] = FStandardMask.GetBlank();
    changed = true;
  }
  if (changed) SetInnerText(text);
  MoveCaret(start);
  return false;
}

bool TqvMaskEditStandardMode::PressBackspace() {
  if (SelLength() <= 1) PressLeft();
  PressDelete();
  return false;
}

bool TqvMaskEditStandardMode::PressChar(char& ch) {
  String text = InnerText();
  const Integer start = SelStart();
  if (text.empty() || start >= Integer(text.size()) || start >= FStandardMask.GetCount()) return false;
  if (IsLiteral(start)) {
    // Typing over a literal skips it.
    ClearShiftFlag();
    if (SelLength() > 1) MoveCaret(start);
    PressRight();
    if (SelStart() > start) PressChar(ch);
    return false;
  }
  char c = ch;
  if (!FStandardMask.GetItem(start)->Matches(c)) {
    Beep();
    return false;
  }
  text[size_t(start)] = c;
  SetInnerText(text);
  SetInnerSelStart(start);
  ClearShiftFlag();
  PressRight();
  return false;
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditStandardMode: paste

void TqvMaskEditStandardMode::BeforePaste() {
  FSavedSelStart = SelStart();
  SetInnerSelStart(FSavedSelStart);
  SetInnerSelLength(FPasteLength);
}

void TqvMaskEditStandardMode::AfterPaste() {
  const Integer textLength = Integer(InnerText().size());
  const Integer caret = std::max(0, std::min(FSavedSelStart + FPasteLength, textLength - 1));
  FPasteLength = 0;
  MoveCaret(caret);
  if (caret < FStandardMask.GetCount() && IsLiteral(caret)) {
    ClearShiftFlag();
    PressRight();
  }
}
