// The compile procedure of a regular expression and its matching interface.
#include "editors/qvRegExpr.h"

#include "core/qvClasses.h"
#include "editors/qvRegExprAutomat.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(EqvRegExprError)
QJ_IMPLEMENT_CLASS(TqvRegExpr)

const TResourceString sqvRegExprNotAssignedSourceStream{62100, "The source stream is not assigned"};
const TResourceString sqvRegExprEmptySourceStream{62101, "The source stream is empty"};
const TResourceString sqvRegExprMissing{62102, "Missing '%s'"};
const TResourceString sqvRegExprUnnecessary{62103, "Unnecessary '%s'"};
const TResourceString sqvRegExprSpaceAfterBackslash{62104, "The space character is not allowed after '\\'"};
const TResourceString sqvRegExprHexNumberExpected{62105, "Hexadecimal number expected"};
const TResourceString sqvRegExprHexNumberExpectedButFound{62106, "Hexadecimal number expected but '%s' found"};
const TResourceString sqvRegExprIllegalSymbol{62107, "Illegal '%s'"};
const TResourceString sqvRegExprIllegalQuantifier{62108, "Illegal quantifier '%s'"};
const TResourceString sqvRegExprIllegalIntegerValue{62109, "Illegal integer value"};
const TResourceString sqvRegExprIncorrectParameterQuantifier{62110, "Incorrect parameter quantifier"};
const TResourceString sqvRegExprCantUseParameterQuantifier{62111, "The parameter quantifier cannot be applied here"};
const TResourceString sqvRegExprCantUsePlusQuantifier{62112, "The '+' quantifier cannot be applied here"};
const TResourceString sqvRegExprCantUseStarQuantifier{62113, "The '*' quantifier cannot be applied here"};
const TResourceString sqvRegExprEmptyAlternative{62114, "The alternative should not be empty"};
const TResourceString sqvRegExprEmptyBlock{62115, "The block should not be empty"};
const TResourceString sqvRegExprTooBigReferenceNumber{62116, "Too big reference number"};
const TResourceString sqvRegExprCantCreateEmptyEnum{62117, "Can't create empty enumeration"};
const TResourceString sqvRegExprSubrangeOrder{
    62118, "The starting character of the subrange must be less than the finishing one"};
const TResourceString sqvRegExprLine{62119, "Line"};
const TResourceString sqvRegExprChar{62120, "Char"};
const TResourceString sqvRegExprNotCompiled{62121, "Regular expression is not compiled"};

// ---------------------------------------------------------------------------------------------
// Errors

String TqvRegExprError::GetFullText() const {
  if (FLine <= 0) return FMessage;
  String text = GetLocalizedResourceString(&sqvRegExprLine) + IntToStr(FLine);
  if (FChar > 0) text += ", " + GetLocalizedResourceString(&sqvRegExprChar) + IntToStr(FChar);
  return text + ": " + FMessage;
}

void TqvRegExprErrors::Add(Integer ALine, Integer AChar, const String& AMessage) {
  FItems.emplace_back(ALine, AChar, AMessage);
}

const TqvRegExprError& TqvRegExprErrors::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[AIndex];
}

// ---------------------------------------------------------------------------------------------
// Compiling

namespace {

bool IsBlankPattern(const String& APattern) {
  for (char c : APattern)
    if (!IsRegExprBlank(c)) return false;
  return true;
}

String BufferText(TMemoryStream& ABuffer) {
  return String(static_cast<const char*>(ABuffer.Memory()), static_cast<size_t>(ABuffer.GetSize()));
}

}  // namespace

TqvRegExpr::TqvRegExpr() = default;
TqvRegExpr::~TqvRegExpr() = default;

void TqvRegExpr::Reset() {
  FAutomat.reset();
  FBuffer.reset();
  FErrors.Clear();
  FCompiled = false;
}

void TqvRegExpr::RaiseErrors() const { throw EqvRegExprError(FErrors); }

void TqvRegExpr::Compile(TStream* ASource) {
  Reset();
  if (!ASource) {
    FErrors.Add(0, 0, GetLocalizedResourceString(&sqvRegExprNotAssignedSourceStream));
    RaiseErrors();
  }
  auto buffer = MakeOwned<TMemoryStream>();
  buffer->LoadFromStream(ASource);
  const String pattern = BufferText(*buffer);
  if (IsBlankPattern(pattern)) {
    FErrors.Add(0, 0, GetLocalizedResourceString(&sqvRegExprEmptySourceStream));
    RaiseErrors();
  }
  TqvLexems lexems;
  LexRegExpr(pattern, lexems, FErrors);
  if (FErrors.GetCount() > 0) RaiseErrors();
  TqvRegExprParserAlts alternatives = ParseRegExpr(lexems, FErrors);
  if (FErrors.GetCount() > 0) RaiseErrors();
  FAutomat = MakeOwned<TqvRegExprAutomat>(std::move(alternatives), this);
  FBuffer = std::move(buffer);
  FCompiled = true;
  if (FUpdateOn) FAutomat->AdvanceForcedLiterals();
}

TMemoryStream* TqvRegExpr::GetSource() const { return FCompiled ? FBuffer.get() : nullptr; }

// ---------------------------------------------------------------------------------------------
// Matching

TqvRegExprAutomat& TqvRegExpr::CompiledAutomat() const {
  if (!FCompiled) RaiseResourceError(&sqvRegExprNotCompiled);
  return *FAutomat;
}

bool TqvRegExpr::IsComplete() const { return CompiledAutomat().IsComplete(); }

bool TqvRegExpr::AtStart() const { return CompiledAutomat().AtStart(); }

bool TqvRegExpr::ConsumeChar(char& ch) {
  TqvRegExprAutomat& automat = CompiledAutomat();
  if (!automat.ConsumeChar(ch, FCaseInsensitive)) return false;
  if (FUpdateOn && !automat.IsComplete()) automat.AdvanceForcedLiterals();
  return true;
}

bool TqvRegExpr::StepBack() {
  TqvRegExprAutomat& automat = CompiledAutomat();
  if (FUpdateOn) {
    TAliveToken alive = automat.GetAliveToken();
    automat.RollBackForcedLiterals();
    if (!alive) return false;  // an OnDeleteChar handler freed or recompiled the expression
  }
  return automat.StepBack();
}

void TqvRegExpr::Restart() { CompiledAutomat().Restart(); }

String TqvRegExpr::FilterText(const String& AText) {
  CompiledAutomat();
  String result;
  for (char original : AText) {
    char ch = original;
    if (ConsumeChar(ch)) result += original;
  }
  return result;
}

void TqvRegExpr::SetUpdateOn(bool AValue) {
  FUpdateOn = AValue;
  if (FUpdateOn && FCompiled) FAutomat->AdvanceForcedLiterals();
}
