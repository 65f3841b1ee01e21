// The regular-expression mask modes: the plain mode (refuses what the pattern cannot continue
// with, drops a tail that can no longer follow) and the extended mode (also types the literals
// the pattern forces and moves, deletes and snaps the caret by units); the mode factory.
#include <algorithm>
#include <map>

#include "editors/qvMaskEdit.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvMaskEditRegExprMode)
QJ_IMPLEMENT_CLASS(TqvMaskEditRegExprExMode)

const TResourceString sqvMaskEditRegExprErrors{62031, "Regular expression errors:"};

// ---------------------------------------------------------------------------------------------
// The mode factory

namespace {

std::map<TqvEditMaskKind, TqvMaskEditModeClass>& ModeClasses() {
  static std::map<TqvEditMaskKind, TqvMaskEditModeClass> classes{
      {emkStandard, &TqvMaskEditStandardMode::StaticClass()},
      {emkRegExpr, &TqvMaskEditRegExprMode::StaticClass()},
      {emkRegExprEx, &TqvMaskEditRegExprExMode::StaticClass()}};
  return classes;
}

}  // namespace

TqvMaskEditModeClass GetMaskEditModeClass(TqvEditMaskKind AKind) {
  auto it = ModeClasses().find(AKind);
  return it != ModeClasses().end() ? it->second : &TqvMaskEditStandardMode::StaticClass();
}

void RegisterMaskEditModeClass(TqvEditMaskKind AKind, TqvMaskEditModeClass AClass) { ModeClasses()[AKind] = AClass; }

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprMode: texts

TqvMaskEditRegExprMode::TqvMaskEditRegExprMode(TqvCustomMaskEdit* AEdit, TqvCustomMaskEditProperties* AProperties)
    : TqvMaskEditCustomMode(AEdit, AProperties) {
  FExpression = MakeOwned<TqvRegExpr>();
  if (AProperties) FExpression->SetCaseInsensitive(AProperties->GetCaseInsensitive());
}

void TqvMaskEditRegExprMode::Compile(const String& AMask) {
  FMask = AMask;
  FHead.clear();
  FTail.clear();
  if (IsBlankMask(AMask)) {
    FExpression = MakeOwned<TqvRegExpr>();  // not compiled: no pattern
    FExpression->SetCaseInsensitive(GetProperties() ? GetProperties()->GetCaseInsensitive() : true);
    return;
  }
  TStringStream source(AMask);
  try {
    FExpression->Compile(&source);
  } catch (const EqvRegExprError& E) {
    String message = GetLocalizedResourceString(&sqvMaskEditRegExprErrors);
    for (Integer i = 0; i < E.GetErrors().GetCount(); ++i) message += "\r\n" + E.GetErrors().GetItem(i).GetFullText();
    throw EqvMaskEditError(message);
  }
}

TOwned<TqvRegExpr> TqvMaskEditRegExprMode::CompileTemporary() const {
  TOwned<TqvRegExpr> expression = MakeOwned<TqvRegExpr>();
  expression->SetCaseInsensitive(GetProperties() ? GetProperties()->GetCaseInsensitive() : true);
  if (IsBlankMask(FMask)) return nullptr;
  TStringStream source(FMask);
  try {
    expression->Compile(&source);
  } catch (const EqvRegExprError&) {
    return nullptr;
  }
  return expression;
}

String TqvMaskEditRegExprMode::Feed(const String& AText) {
  String accepted;
  for (char c : AText)
    if (FExpression->ConsumeChar(c)) accepted += c;
  return accepted;
}

String TqvMaskEditRegExprMode::GetFormattedText(const String& AText) {
  if (!FExpression->IsCompiled()) return String();
  FExpression->Restart();
  return Feed(AText);
}

bool TqvMaskEditRegExprMode::IsTextValid(const String& AText) {
  if (AText.empty()) return true;
  TOwned<TqvRegExpr> expression = CompileTemporary();
  if (!expression) return false;
  for (char c : AText)
    if (!expression->ConsumeChar(c)) return false;
  return GetProperties()->GetIgnoreMaskBlank() || expression->IsComplete();
}

bool TqvMaskEditRegExprMode::AtRightEdge() { return SelStart() == Integer(InnerText().size()); }

void TqvMaskEditRegExprMode::TextAssigned(const String& AText) {
  if (!FExpression->IsCompiled()) return;
  FExpression->Restart();
  if (FPasteLength == 0) {
    FHead.clear();
    FTail = AText;
    return;
  }
  const size_t split = std::min(AText.size(), size_t(std::max(0, FPasteStart + FPasteLength)));
  FHead = AText.substr(0, split);
  FTail = AText.substr(split);
  for (char c : FHead) FExpression->ConsumeChar(c);
  FPasteLength = 0;
}

void TqvMaskEditRegExprMode::RefreshInnerText() {
  TqvMaskEditCustomMode::RefreshInnerText();
  if (!HasUsableEdit()) return;
  const String text = InnerText();
  GetEdit()->SetSelStart(Integer(text.size()));
  FHead = text;
  FTail.clear();
  if (!FExpression->IsCompiled()) return;
  FExpression->Restart();
  Feed(FHead);
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprMode: head and tail

void TqvMaskEditRegExprMode::Resync() {
  if (!HasUsableEdit() || !FExpression->IsCompiled()) return;
  const String text = InnerText();
  if (!(FHead.empty() && FTail.empty() && !text.empty()) && !FResyncNeeded) return;
  FResyncNeeded = false;
  FExpression->Restart();
  FHead.clear();
  FTail = text;
  const Integer caret = CaretIndex();
  for (Integer i = 0; i < caret && i < Integer(text.size()); ++i) {
    char c = text[size_t(i)];
    FExpression->ConsumeChar(c);
    FHead += FTail[0];
    FTail.erase(0, 1);
  }
}

bool TqvMaskEditRegExprMode::TailFits() {
  Integer consumed = 0;
  bool fits = true;
  for (char c : FTail) {
    if (!FExpression->ConsumeChar(c)) {
      fits = false;
      break;
    }
    ++consumed;
  }
  for (Integer i = 0; i < consumed; ++i) FExpression->StepBack();
  return fits;
}

void TqvMaskEditRegExprMode::DropTail() {
  String text = InnerText();
  const size_t caret = std::min(text.size(), size_t(std::max(0, SelStart())));
  text.erase(caret, std::min(FTail.size(), text.size() - caret));
  SetInnerText(text);
  SetInnerSelStart(Integer(text.size()));
  FTail.clear();
}

void TqvMaskEditRegExprMode::MoveToHead(Integer ACount) {
  for (Integer i = 0; i < ACount && !FTail.empty(); ++i) {
    char c = FTail[0];
    FExpression->ConsumeChar(c);
    FHead += c;
    FTail.erase(0, 1);
  }
}

void TqvMaskEditRegExprMode::MoveToTail(Integer ACount) {
  for (Integer i = 0; i < ACount && !FHead.empty(); ++i) {
    FExpression->StepBack();
    FTail.insert(FTail.begin(), FHead.back());
    FHead.pop_back();
  }
}

void TqvMaskEditRegExprMode::CutSelection() {
  FCutSelection.clear();
  const Integer start = SelStart(), length = SelLength();
  if (length <= 0) return;
  if (CaretIndex() == start) {
    FCutSelection = FTail.substr(0, size_t(length));
    FTail.erase(0, FCutSelection.size());
    FCutFromTail = true;
  } else {
    const size_t count = std::min(FHead.size(), size_t(length));
    FCutSelection = FHead.substr(FHead.size() - count);
    FHead.erase(FHead.size() - count);
    for (size_t i = 0; i < count; ++i) FExpression->StepBack();
    FCutFromTail = false;
  }
}

void TqvMaskEditRegExprMode::RestoreSelection() {
  if (FCutFromTail) {
    FTail.insert(0, FCutSelection);
  } else {
    for (char c : FCutSelection) FExpression->ConsumeChar(c);
    FHead += FCutSelection;
  }
  FCutSelection.clear();
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprMode: keys

void TqvMaskEditRegExprMode::PrepareSelectAll() {
  Resync();
  FHead += Feed(FTail);
  FTail.clear();
}

bool TqvMaskEditRegExprMode::PressHome() {
  Resync();
  if (!FHead.empty()) {
    FTail.insert(0, FHead);
    FHead.clear();
    FExpression->Restart();
  }
  return true;
}

bool TqvMaskEditRegExprMode::PressEnd() {
  Resync();
  if (!FTail.empty()) {
    for (char c : FTail) FExpression->ConsumeChar(c);
    FHead += FTail;
    FTail.clear();
  }
  return true;
}

bool TqvMaskEditRegExprMode::PressLeft() {
  Resync();
  if (FHead.empty()) return true;
  const Integer length = SelLength();
  if (length > 0 && !ShiftFlag()) {
    if (CaretIndex() == SelStart() + length) MoveToTail(length);
    return true;
  }
  MoveToTail(1);
  return true;
}

bool TqvMaskEditRegExprMode::PressRight() {
  Resync();
  if (FTail.empty()) return true;
  const Integer length = SelLength();
  if (length > 0 && !ShiftFlag()) {
    if (CaretIndex() == SelStart()) MoveToHead(length);
    return true;
  }
  MoveToHead(1);
  return true;
}

bool TqvMaskEditRegExprMode::PressChar(char& ch) {
  Resync();
  const bool cut = SelLength() > 0;
  if (cut) CutSelection();
  bool result = false;
  char c = ch;
  if (FExpression->ConsumeChar(c)) {
    ch = c;
    FHead += c;
    result = true;
    if (!TailFits()) {
      if (cut) {
        GetEdit()->SendKeyToSelf(VK_DELETE);
        GetEdit()->SendCharToSelf(c);
        result = false;
      }
      DropTail();
    }
  } else {
    RestoreSelection();
  }
  FCutSelection.clear();
  if (!result) Beep();
  return result;
}

bool TqvMaskEditRegExprMode::PressBackspace() {
  Resync();
  bool result = true;
  if (SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      GetEdit()->SendCharToSelf('\b');
      DropTail();
      result = false;
    }
  } else if (!FHead.empty()) {
    FExpression->StepBack();
    FHead.pop_back();
    if (!TailFits()) DropTail();
  }
  FCutSelection.clear();
  if (!result) Beep();
  return result;
}

bool TqvMaskEditRegExprMode::PressDelete() {
  Resync();
  bool result = true;
  if (SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      GetEdit()->SendKeyToSelf(VK_DELETE);
      DropTail();
      result = false;
    }
  } else if (!FTail.empty()) {
    const char removed = FTail[0];
    FTail.erase(0, 1);
    if (!TailFits()) {
      // Everything after the caret goes: the inner edit's Delete takes the character left.
      SetInnerText(FHead + removed);
      SetInnerSelStart(Integer(FHead.size()));
      FTail.clear();
    }
  }
  FCutSelection.clear();
  if (!result) Beep();
  return result;
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprExMode: texts

String TqvMaskEditRegExprExMode::PeekForcedLiterals() {
  String literals;
  FExpression->OnAddChar = [&](char c) { literals += c; };
  FExpression->SetUpdateOn(true);
  FExpression->SetUpdateOn(false);
  FExpression->OnAddChar = nullptr;
  for (size_t i = 0; i < literals.size(); ++i) FExpression->StepBack();
  return literals;
}

String TqvMaskEditRegExprExMode::ConsumeForcedLiterals() {
  const String literals = PeekForcedLiterals();
  for (char c : literals) {
    char literal = c;
    FExpression->ConsumeChar(literal);
  }
  return literals;
}

void TqvMaskEditRegExprExMode::Compile(const String& AMask) {
  FUnits.clear();
  TqvMaskEditRegExprMode::Compile(AMask);
  FPendingInitialValue = !HasUsableEdit();
}

String TqvMaskEditRegExprExMode::GetEmptyText() {
  // A temporary expression: the mode's own keeps standing where the caret is.
  TOwned<TqvRegExpr> expression = CompileTemporary();
  if (!expression) return String();
  String literals;
  expression->OnAddChar = [&](char c) { literals += c; };
  expression->SetUpdateOn(true);
  return literals;
}

void TqvMaskEditRegExprExMode::ApplyPendingValue() {
  if (!FPendingInitialValue || !GetEdit()) return;
  FPendingInitialValue = false;
  GetEdit()->SetEditValue(GetEmptyText());
}

String TqvMaskEditRegExprExMode::GetFormattedText(const String& AText) {
  if (!FExpression->IsCompiled()) return String();
  FExpression->Restart();
  String text = Feed(AText);
  text += ConsumeForcedLiterals();
  FHead.clear();
  FTail.clear();
  FUnits.clear();
  return text;
}

bool TqvMaskEditRegExprExMode::IsTextValid(const String& AText) {
  if (AText == GetEmptyText()) return true;
  TOwned<TqvRegExpr> expression = CompileTemporary();
  if (!expression) return false;
  for (char c : AText)
    if (!expression->ConsumeChar(c)) return false;
  return GetProperties()->GetIgnoreMaskBlank() || expression->IsComplete();
}

void TqvMaskEditRegExprExMode::TextAssigned(const String&) {
  if (!FExpression->IsCompiled()) return;
  FExpression->Restart();
  FHead.clear();
  FTail.clear();
  FUnits.clear();
  FPasteLength = 0;
  FResyncNeeded = true;
  Resync();
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprExMode: units

void TqvMaskEditRegExprExMode::UnitRight() {
  if (FTail.empty()) return;
  char c = FTail[0];
  FExpression->ConsumeChar(c);
  Integer length = 1;
  const String literals = PeekForcedLiterals();
  for (size_t i = 0; i < literals.size() && size_t(length) < FTail.size() && FTail[size_t(length)] == literals[i]; ++i) {
    char literal = literals[i];
    FExpression->ConsumeChar(literal);
    ++length;
  }
  FHead += FTail.substr(0, size_t(length));
  FTail.erase(0, size_t(length));
  FUnits.push_back(length);
}

void TqvMaskEditRegExprExMode::UnitLeft() {
  if (FHead.empty()) return;
  Integer length = 1;
  if (!FUnits.empty()) {
    length = FUnits.back();
    FUnits.pop_back();
  }
  length = std::min(length, Integer(FHead.size()));
  for (Integer i = 0; i < length; ++i) FExpression->StepBack();
  FTail.insert(0, FHead.substr(FHead.size() - size_t(length)));
  FHead.erase(FHead.size() - size_t(length));
  if (FHead.empty()) FExpression->Restart();
}

void TqvMaskEditRegExprExMode::Resync() {
  if (!HasUsableEdit() || !GetEdit()->HandleAllocated() || !FExpression->IsCompiled()) return;
  const String text = InnerText();
  if (FHead.empty() && FTail.empty() && !text.empty()) {
    FTail = text;
    FUnits.clear();
    FExpression->Restart();
    FResyncNeeded = true;
  }
  if (!FResyncNeeded) return;
  FResyncNeeded = false;
  const Integer start = SelStart(), end = start + SelLength();
  if (Integer(FHead.size()) < start) {
    while (Integer(FHead.size()) < start && !FTail.empty()) UnitRight();
    if (Integer(FHead.size()) > start) UnitLeft();  // a unit straddles the caret
  } else {
    while (Integer(FHead.size()) > start) UnitLeft();
  }
  if (Integer(FHead.size()) != start) SetInnerSelStart(Integer(FHead.size()));
  if (start < end) {
    // A selection already on unit boundaries stays as it is, its caret end included.
    const Integer from = Integer(FHead.size());
    while (Integer(FHead.size()) < end && !FTail.empty()) UnitRight();
    const Integer to = Integer(FHead.size());
    if (from != start || to != end) {
      SetInnerSelStart(from);
      SetInnerSelLength(to - from);
    }
  }
}

void TqvMaskEditRegExprExMode::ForgetSplit() {
  FExpression->Restart();
  FHead.clear();
  FTail.clear();
  FUnits.clear();
  FResyncNeeded = true;
}

std::vector<Integer> TqvMaskEditRegExprExMode::UnitBoundaries() {
  ForgetSplit();
  FTail = InnerText();
  std::vector<Integer> bounds{0};
  while (!FTail.empty()) {
    UnitRight();
    bounds.push_back(Integer(FHead.size()));
  }
  ForgetSplit();
  return bounds;
}

// ---------------------------------------------------------------------------------------------
// TqvMaskEditRegExprExMode: edits

void TqvMaskEditRegExprExMode::SelectionBounds(Integer& AStart, Integer& AEnd) {
  AStart = SelStart();
  AEnd = AStart + SelLength();
  const Integer leading = Integer(GetEmptyText().size());
  if (AStart < leading) AStart = leading;
  if (AEnd < AStart) AEnd = AStart;
}

void TqvMaskEditRegExprExMode::ApplyEdit(const String& APrefix, const String& ASuffix) {
  String text = APrefix;
  Integer consumed = 0;
  bool fits = true;
  for (char c : ASuffix) {
    char taken = c;
    if (!FExpression->ConsumeChar(taken)) {
      fits = false;
      break;
    }
    ++consumed;
  }
  if (fits) text += ASuffix + ConsumeForcedLiterals();
  SetInnerText(text);
  SetInnerSelStart(Integer(APrefix.size()));
  FExpression->Restart();
  FHead.clear();
  FTail.clear();
  FUnits.clear();
  FResyncNeeded = true;
  Resync();
}

bool TqvMaskEditRegExprExMode::DeleteSelection() {
  Integer start, end;
  SelectionBounds(start, end);
  if (start >= end) return false;
  const String text = InnerText();
  const String prefix = text.substr(0, size_t(start));
  FExpression->Restart();
  Feed(prefix);
  ApplyEdit(prefix, text.substr(size_t(end)));
  return true;
}

bool TqvMaskEditRegExprExMode::PressChar(char& ch) {
  Resync();
  const String text = InnerText();
  Integer start = SelStart(), end = start + SelLength();
  if (end > start) SelectionBounds(start, end);
  const String prefix = text.substr(0, size_t(std::min<Integer>(start, Integer(text.size()))));
  const String suffix = text.substr(size_t(std::min<Integer>(end, Integer(text.size()))));
  FExpression->Restart();
  Feed(prefix);
  char c = ch;
  if (!FExpression->ConsumeChar(c)) {
    FExpression->Restart();
    FResyncNeeded = true;
    FHead.clear();
    FTail.clear();
    FUnits.clear();
    Beep();
    return false;
  }
  ApplyEdit(prefix + c + ConsumeForcedLiterals(), suffix);
  return false;
}

bool TqvMaskEditRegExprExMode::PressBackspace() {
  Resync();
  if (SelLength() > 0) {
    if (!DeleteSelection()) Beep();
    return false;
  }
  const Integer leading = Integer(GetEmptyText().size());
  Resync();
  if (Integer(FHead.size()) <= leading) {
    Beep();
    return false;
  }
  const String suffix = FTail;
  UnitLeft();
  const String prefix = FHead;
  ApplyEdit(prefix, suffix);
  return false;
}

bool TqvMaskEditRegExprExMode::PressDelete() {
  Resync();
  if (SelLength() > 0) {
    if (!DeleteSelection()) Beep();
    return false;
  }
  const Integer leading = Integer(GetEmptyText().size());
  Resync();
  if (Integer(FHead.size()) < leading) {
    Beep();
    return false;
  }
  if (FTail.empty()) return false;
  const String prefix = FHead;
  UnitRight();
  const String suffix = FTail;
  FExpression->Restart();
  Feed(prefix);
  ApplyEdit(prefix, suffix);
  return false;
}

bool TqvMaskEditRegExprExMode::MoveByUnit(bool ARight) {
  Resync();
  if (ShiftFlag()) return ExtendByUnit(ARight);
  // A selection collapses in the inner edit; the split follows at the next key.
  if (SelLength() > 0) {
    FResyncNeeded = true;
    return true;
  }
  if (ARight ? FTail.empty() : FHead.empty()) return true;
  if (ARight)
    UnitRight();
  else
    UnitLeft();
  SetInnerSelStart(Integer(FHead.size()));
  return false;
}

void TqvMaskEditRegExprExMode::AfterPaste() {
  if (!HasUsableEdit() || !FExpression->IsCompiled() || SelLength() > 0) return;
  const Integer caret = SelStart();
  const std::vector<Integer> bounds = UnitBoundaries();
  auto next = std::lower_bound(bounds.begin(), bounds.end(), caret);
  if (next != bounds.end() && *next != caret) SetInnerSelStart(*next);
}

bool TqvMaskEditRegExprExMode::ExtendByUnit(bool ARight) {
  const Integer caret = CaretIndex();
  const std::vector<Integer> bounds = UnitBoundaries();
  Integer target = caret;
  if (ARight) {
    auto next = std::upper_bound(bounds.begin(), bounds.end(), caret);
    if (next != bounds.end()) target = *next;
  } else {
    auto previous = std::lower_bound(bounds.begin(), bounds.end(), caret);
    if (previous != bounds.begin()) target = *std::prev(previous);
  }
  // The inner edit's own Shift handling moves the caret end; the key itself makes the last step.
  for (Integer i = 1; i < std::abs(target - caret); ++i) GetEdit()->SendKeyToSelf(ARight ? VK_RIGHT : VK_LEFT);
  return true;
}

bool TqvMaskEditRegExprExMode::PressLeft() { return MoveByUnit(false); }

bool TqvMaskEditRegExprExMode::PressRight() { return MoveByUnit(true); }

bool TqvMaskEditRegExprExMode::PressHome() {
  FResyncNeeded = true;
  return true;
}

bool TqvMaskEditRegExprExMode::PressEnd() {
  FResyncNeeded = true;
  return true;
}
