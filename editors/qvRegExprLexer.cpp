// The lexer of the regular-expression language: the pattern text becomes a list of lexemes,
// each with the line and character where it was read.
#include "editors/qvRegExprAutomat.h"
#include "core/qvClasses.h"
#include "platform/rtl/SysUtils.h"

bool IsRegExprBlank(char c) {
  switch (c) {
    case '\0': case '\t': case '\n': case '\f': case '\r': case ' ':
      return true;
    default:
      return false;
  }
}

namespace {

// Quote characters of the "Missing" and "Illegal" messages for an apostrophe.
const char* const QuoteSign = " ' ";

class TqvRegExprLexer {
 public:
  TqvRegExprLexer(const String& APattern, TqvLexems& ALexems, TqvRegExprErrors& AErrors)
      : FPattern(APattern), FLexems(ALexems), FErrors(AErrors) {}

  void Run();

 private:
  struct TPosition {
    Cardinal Line;
    Cardinal Char;
  };

  bool AtEnd() const { return FIndex >= FPattern.size(); }
  char Peek() const { return FPattern[FIndex]; }
  // Reads one byte: CR counts a line, LF starts the character count again.
  char Read();
  TPosition Here() const { return {FLine, FChar}; }
  TPosition Beyond() const { return {FLine, FChar + 1}; }
  void SkipBlanks();

  void Emit(TqvLexemCode ACode, const String& AValue, TPosition APos);
  void EmitChar(TqvLexemCode ACode, char AValue, TPosition APos) { Emit(ACode, String(1, AValue), APos); }
  void Error(TPosition APos, PResStringRec AMessage);
  void Error(TPosition APos, PResStringRec AFormat, const String& AArgument);

  void LexQuoted();
  void LexEscape(TPosition ABackslash);
  void LexHexEscape(TPosition ABackslash);
  // A byte of a class that is neither ']' nor '-'.
  void LexClassByte(char c);
  void LexClass();
  void LexParameters();

  const String& FPattern;
  TqvLexems& FLexems;
  TqvRegExprErrors& FErrors;
  size_t FIndex = 0;
  Cardinal FLine = 1;
  Cardinal FChar = 0;
};

char TqvRegExprLexer::Read() {
  char c = FPattern[FIndex++];
  if (c == '\r') ++FLine;
  if (c == '\n')
    FChar = 0;
  else
    ++FChar;
  return c;
}

void TqvRegExprLexer::SkipBlanks() {
  while (!AtEnd() && IsRegExprBlank(Peek())) Read();
}

void TqvRegExprLexer::Emit(TqvLexemCode ACode, const String& AValue, TPosition APos) {
  FLexems.Add(TqvLexem{APos.Char, ACode, APos.Line, AValue});
}

void TqvRegExprLexer::Error(TPosition APos, PResStringRec AMessage) {
  FErrors.Add(static_cast<Integer>(APos.Line), static_cast<Integer>(APos.Char),
              GetLocalizedResourceString(AMessage));
}

void TqvRegExprLexer::Error(TPosition APos, PResStringRec AFormat, const String& AArgument) {
  FErrors.Add(static_cast<Integer>(APos.Line), static_cast<Integer>(APos.Char),
              Format(GetLocalizedResourceString(AFormat), {AArgument}));
}

void TqvRegExprLexer::Run() {
  Integer depth = 0;
  while (!AtEnd()) {
    char c = Read();
    if (IsRegExprBlank(c)) continue;
    switch (c) {
      case '\'':
        LexQuoted();
        break;
      case '(':
        ++depth;
        EmitChar(lcOperator, c, Here());
        break;
      case ')':
        --depth;
        EmitChar(lcOperator, c, Here());
        break;
      case '*': case '+': case '?': case '|':
        EmitChar(lcOperator, c, Here());
        break;
      case '.':
        EmitChar(lcAnyChar, c, Here());
        break;
      case '/':
        EmitChar(lcDateSeparator, c, Here());
        break;
      case ':':
        EmitChar(lcTimeSeparator, c, Here());
        break;
      case '[':
        EmitChar(lcOperator, c, Here());
        LexClass();
        break;
      case '\\':
        LexEscape(Here());
        break;
      case '{':
        EmitChar(lcOperator, c, Here());
        LexParameters();
        break;
      default:
        EmitChar(lcLiteral, c, Here());
        break;
    }
  }
  if (depth > 0) Error({0, 0}, &sqvRegExprMissing, ")");
  if (depth < 0) Error({0, 0}, &sqvRegExprUnnecessary, ")");
}

void TqvRegExprLexer::LexQuoted() {
  for (;;) {
    if (AtEnd()) {
      Error(Beyond(), &sqvRegExprMissing, QuoteSign);
      return;
    }
    char c = Read();
    if (c == '\'') {
      if (AtEnd() || Peek() != '\'') return;
      TPosition pos = Here();
      Read();
      EmitChar(lcLiteral, c, pos);
    } else {
      EmitChar(lcLiteral, c, Here());
    }
  }
}

void TqvRegExprLexer::LexEscape(TPosition ABackslash) {
  if (AtEnd()) return;  // a trailing backslash is ignored
  char c = Read();
  if (c >= '1' && c <= '9') {
    EmitChar(lcBackReference, c, ABackslash);
    return;
  }
  if (IsRegExprBlank(c)) {
    Error(Here(), &sqvRegExprSpaceAfterBackslash);
    return;
  }
  switch (c) {
    case 'd': EmitChar(lcDigit, c, ABackslash); return;
    case 'D': EmitChar(lcNotDigit, c, ABackslash); return;
    case 'w': EmitChar(lcIdLetter, c, ABackslash); return;
    case 'W': EmitChar(lcNotIdLetter, c, ABackslash); return;
    case 's': EmitChar(lcSpace, c, ABackslash); return;
    case 'S': EmitChar(lcNotSpace, c, ABackslash); return;
    case 'a': EmitChar(lcLiteral, '\a', ABackslash); return;
    case 'e': EmitChar(lcLiteral, '\x1B', ABackslash); return;
    case 'f': EmitChar(lcLiteral, '\f', ABackslash); return;
    case 'n': EmitChar(lcLiteral, '\n', ABackslash); return;
    case 'r': EmitChar(lcLiteral, '\r', ABackslash); return;
    case 't': EmitChar(lcLiteral, '\t', ABackslash); return;
    case 'x': LexHexEscape(ABackslash); return;
    default: EmitChar(lcLiteral, c, ABackslash); return;
  }
}

void TqvRegExprLexer::LexHexEscape(TPosition ABackslash) {
  Integer value = 0;
  for (int digit = 0; digit < 2; ++digit) {
    if (AtEnd()) {
      Error(Beyond(), &sqvRegExprHexNumberExpected);
      return;
    }
    char c = Read();
    Integer v = HexDigitValue(c);
    if (v < 0) {
      Error(Here(), &sqvRegExprHexNumberExpectedButFound, String(1, c));
      return;
    }
    value = value * 16 + v;
  }
  EmitChar(lcLiteral, static_cast<char>(value), ABackslash);
}

void TqvRegExprLexer::LexClassByte(char c) {
  switch (c) {
    case '\'': LexQuoted(); break;
    case '/': EmitChar(lcDateSeparator, c, Here()); break;
    case ':': EmitChar(lcTimeSeparator, c, Here()); break;
    case '\\': LexEscape(Here()); break;
    default: EmitChar(lcLiteral, c, Here()); break;
  }
}

void TqvRegExprLexer::LexClass() {
  // The first byte: ']' closes an empty class, '^' negates, '-' is a plain character.
  SkipBlanks();
  if (!AtEnd()) {
    char c = Read();
    if (c == ']') {
      EmitChar(lcOperator, c, Here());
      return;
    }
    if (c == '^')
      EmitChar(lcOperator, c, Here());
    else
      LexClassByte(c);
  }
  for (;;) {
    SkipBlanks();
    if (AtEnd()) {
      Error(Beyond(), &sqvRegExprMissing, "]");
      return;
    }
    char c = Read();
    if (c == ']') {
      EmitChar(lcOperator, c, Here());
      return;
    }
    if (c != '-') {
      LexClassByte(c);
      continue;
    }
    // '-' before ']' is a plain character, otherwise the range operator.
    TPosition dash = Here();
    SkipBlanks();
    if (AtEnd()) {
      EmitChar(lcOperator, c, dash);
      Error(Beyond(), &sqvRegExprMissing, "]");
      return;
    }
    EmitChar(Peek() == ']' ? lcLiteral : lcOperator, c, dash);
  }
}

void TqvRegExprLexer::LexParameters() {
  for (;;) {
    if (AtEnd()) {
      Error(Beyond(), &sqvRegExprMissing, "}");
      return;
    }
    char c = Read();
    if (IsRegExprBlank(c)) continue;
    if (IsDigitChar(c)) {
      TPosition first = Here();
      String digits(1, c);
      while (!AtEnd() && IsDigitChar(Peek())) digits += Read();
      Emit(lcInteger, digits, first);
      continue;  // the byte after the number is read as usual (or the end reported)
    }
    switch (c) {
      case '\'':
        Error(Here(), &sqvRegExprIllegalSymbol, QuoteSign);
        break;
      case ',':
        EmitChar(lcOperator, c, Here());
        break;
      case '}':
        EmitChar(lcOperator, c, Here());
        return;
      default:
        Error(Here(), &sqvRegExprIllegalSymbol, String(1, c));
        break;
    }
  }
}

}  // namespace

void LexRegExpr(const String& APattern, TqvLexems& ALexems, TqvRegExprErrors& AErrors) {
  TqvRegExprLexer(APattern, ALexems, AErrors).Run();
}
