// The regular-expression language of the mask edit: a pattern is compiled (lexer, parser,
// automaton) and then fed one typed character at a time.
//
// A pattern always describes the whole text from its first character: no anchors, no captures,
// and a back-reference repeats a parenthesised sub-pattern, not the text it matched. Blanks
// between elements are ignored. The compiler collects every error of a pass with its line and
// character and raises one EqvRegExprError carrying them all.
//
// Where the parts live: qvRegExpr.cpp (compile procedure, matching interface, texts); the
// compiler's inner parts (lexer, parser, automaton) are mapped in qvRegExprAutomat.h.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/Streams.h"

class TqvRegExprAutomat;

// ---------------------------------------------------------------------------------------------
// Errors

class TqvRegExprError {
 public:
  TqvRegExprError(Integer ALine, Integer AChar, const String& AMessage)
      : FLine(ALine), FChar(AChar), FMessage(AMessage) {}

  Integer GetLine() const { return FLine; }
  Integer GetChar() const { return FChar; }
  const String& GetMessage() const { return FMessage; }
  // "Line1, Char5: Illegal '}'"; the message alone when the error has no line.
  String GetFullText() const;

 private:
  Integer FLine;
  Integer FChar;
  String FMessage;
};

class TqvRegExprErrors {
 public:
  void Add(Integer ALine, Integer AChar, const String& AMessage);
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvRegExprError& GetItem(Integer AIndex) const;
  void Clear() { FItems.clear(); }

 private:
  std::vector<TqvRegExprError> FItems;
};

// Raised when a compilation fails. It carries its own copy of the failing pass's errors, so
// it stays readable after the expression that raised it is gone; its message is empty.
class EqvRegExprError : public Exception {
  QJ_CLASS(EqvRegExprError, Exception)
 public:
  explicit EqvRegExprError(const TqvRegExprErrors& AErrors) : FErrors(AErrors) {}
  EqvRegExprError(const EqvRegExprError& AOther) : Exception(AOther), FErrors(AOther.FErrors) {}

  const TqvRegExprErrors& GetErrors() const { return FErrors; }

 private:
  TqvRegExprErrors FErrors;
};

// ---------------------------------------------------------------------------------------------
// Compiled expression

using TqvRegExprAddCharEvent = std::function<void(char AChar)>;
using TqvRegExprDeleteCharEvent = std::function<void()>;

class TqvRegExpr : public TObject {
  QJ_CLASS(TqvRegExpr, TObject)
 public:
  // Limits that keep a hostile pattern from exhausting memory or the stack: the bounds of a
  // parameter quantifier, the parse-tree items one pattern may build (copies included), the
  // nesting of generated groups and of parentheses.
  static constexpr Integer MaxQuantifierBound = 1000;
  static constexpr Integer MaxPatternItems = 10000;
  static constexpr Integer MaxGroupDepth = 2000;
  static constexpr Integer MaxParenthesesDepth = 100;

  TqvRegExpr();
  ~TqvRegExpr() override;

  // Compiles the pattern the stream holds (8-bit characters, read from its start). Raises
  // EqvRegExprError on failure; the expression then stays not compiled. On success the
  // automaton stands at the start of the text (after the leading forced literals when
  // update-on is set).
  void Compile(TStream* ASource);
  bool IsCompiled() const { return FCompiled; }
  // The pattern buffer while compiled, else nullptr.
  TMemoryStream* GetSource() const;

  // Each of these raises Exception "Regular expression is not compiled" before a successful
  // compilation.
  bool IsComplete() const;
  bool AtStart() const;
  // Takes ch when the pattern can continue with it; a case-insensitive symbol re-cases ch to
  // the pattern's character. A refused ch changes nothing. With update-on, the forced literals
  // after an accepted character that leaves the text incomplete are taken too (OnAddChar).
  bool ConsumeChar(char& ch);
  // Takes back the last character; with update-on, the forced literals after it first
  // (OnDeleteChar each). False when the automaton is at the start.
  bool StepBack();
  void Restart();
  // Feeds the text from where the automaton stands; the accepted characters as they stood in
  // the text.
  String FilterText(const String& AText);

  bool GetUpdateOn() const { return FUpdateOn; }
  // Switching it on in a compiled expression takes the forced literals at once.
  void SetUpdateOn(bool AValue);
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool AValue) { FCaseInsensitive = AValue; }

  TqvRegExprAddCharEvent OnAddChar;
  TqvRegExprDeleteCharEvent OnDeleteChar;

 private:
  void Reset();
  [[noreturn]] void RaiseErrors() const;
  TqvRegExprAutomat& CompiledAutomat() const;

  TOwned<TMemoryStream> FBuffer;
  TqvRegExprErrors FErrors;
  TOwned<TqvRegExprAutomat> FAutomat;
  bool FCompiled = false;
  bool FUpdateOn = false;
  bool FCaseInsensitive = false;
};

// ---------------------------------------------------------------------------------------------
// Texts

extern const TResourceString sqvRegExprNotAssignedSourceStream;
extern const TResourceString sqvRegExprEmptySourceStream;
extern const TResourceString sqvRegExprMissing;                  // "Missing '%s'"
extern const TResourceString sqvRegExprUnnecessary;              // "Unnecessary '%s'"
extern const TResourceString sqvRegExprSpaceAfterBackslash;
extern const TResourceString sqvRegExprHexNumberExpected;
extern const TResourceString sqvRegExprHexNumberExpectedButFound;  // "... but '%s' found"
extern const TResourceString sqvRegExprIllegalSymbol;            // "Illegal '%s'"
extern const TResourceString sqvRegExprIllegalQuantifier;        // "Illegal quantifier '%s'"
extern const TResourceString sqvRegExprIllegalIntegerValue;
extern const TResourceString sqvRegExprIncorrectParameterQuantifier;
extern const TResourceString sqvRegExprCantUseParameterQuantifier;
extern const TResourceString sqvRegExprCantUsePlusQuantifier;
extern const TResourceString sqvRegExprCantUseStarQuantifier;
extern const TResourceString sqvRegExprEmptyAlternative;
extern const TResourceString sqvRegExprEmptyBlock;
extern const TResourceString sqvRegExprTooBigReferenceNumber;
extern const TResourceString sqvRegExprCantCreateEmptyEnum;
extern const TResourceString sqvRegExprSubrangeOrder;
extern const TResourceString sqvRegExprLine;
extern const TResourceString sqvRegExprChar;
extern const TResourceString sqvRegExprNotCompiled;
