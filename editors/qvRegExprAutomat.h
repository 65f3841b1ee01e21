// Inside the regular-expression compiler: lexemes, character tests, the parse tree and the
// automaton built from it. Only the units of TqvRegExpr (and white-box tests) include this.
//
// Where the parts live: qvRegExprLexer.cpp (lexemes), qvRegExprParser.cpp (character tests,
// quantifiers, parse tree), qvRegExprAutomat.cpp (states, sets, linking, automaton).
#pragma once

#include <vector>

#include "editors/qvRegExpr.h"

// ---------------------------------------------------------------------------------------------
// Lexemes

enum TqvLexemCode : Byte {
  lcLiteral = 0,
  lcOperator = 1,
  lcInteger = 2,
  lcAnyChar = 3,
  lcIdLetter = 4,
  lcNotIdLetter = 5,
  lcDigit = 6,
  lcNotDigit = 7,
  lcSpace = 8,
  lcNotSpace = 9,
  lcBackReference = 10,
  lcDateSeparator = 11,
  lcTimeSeparator = 12,
};

struct TqvLexem {
  Cardinal Char = 0;  // character counter of the reader when the lexeme was read
  TqvLexemCode Code = lcLiteral;
  Cardinal Line = 0;
  String Value;  // one character, or the digits of an integer

  bool IsOperator(char AOperator) const { return Code == lcOperator && Value[0] == AOperator; }
};

class TqvLexems {
 public:
  void Add(const TqvLexem& ALexem) { FItems.push_back(ALexem); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvLexem& GetLexem(Integer AIndex) const { return FItems[AIndex]; }

 private:
  std::vector<TqvLexem> FItems;
};

// NUL, TAB, LF, FF, CR and space; vertical tab is not one.
bool IsRegExprBlank(char c);

// Lexes the whole pattern; errors are appended to AErrors.
void LexRegExpr(const String& APattern, TqvLexems& ALexems, TqvRegExprErrors& AErrors);

// ---------------------------------------------------------------------------------------------
// Character tests

class TqvRegExprItem : public TObject {
  QJ_CLASS(TqvRegExprItem, TObject)
 public:
  // A case-insensitive symbol that accepts ch overwrites it with its own character.
  virtual bool Matches(char& ch, bool ACaseInsensitive) const = 0;
  virtual TOwned<TqvRegExprItem> Duplicate() const = 0;
};

class TqvRegExprSymbol : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprSymbol, TqvRegExprItem)
 public:
  explicit TqvRegExprSymbol(char AChar) : FChar(AChar) {}
  char GetChar() const { return FChar; }
  bool Matches(char& ch, bool ACaseInsensitive) const override;
  TOwned<TqvRegExprItem> Duplicate() const override;

 private:
  char FChar;
};

// The locale's separator as it stands when the character is tested.
class TqvRegExprTimeSeparator : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprTimeSeparator, TqvRegExprItem)
 public:
  bool Matches(char& ch, bool ACaseInsensitive) const override;
  TOwned<TqvRegExprItem> Duplicate() const override;
};

class TqvRegExprDateSeparator : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprDateSeparator, TqvRegExprItem)
 public:
  bool Matches(char& ch, bool ACaseInsensitive) const override;
  TOwned<TqvRegExprItem> Duplicate() const override;
};

// Start to finish as unsigned bytes, never case-folded.
class TqvRegExprSubrange : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprSubrange, TqvRegExprItem)
 public:
  TqvRegExprSubrange(char AStart, char AFinish) : FStart(AStart), FFinish(AFinish) {}
  bool Matches(char& ch, bool ACaseInsensitive) const override;
  TOwned<TqvRegExprItem> Duplicate() const override;

 private:
  char FStart;
  char FFinish;
};

// A set of characters, optionally inverted.
class TqvRegExprEnumeration : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprEnumeration, TqvRegExprItem)
 public:
  explicit TqvRegExprEnumeration(bool AInverse) : FInverse(AInverse) {}
  bool GetInverse() const { return FInverse; }
  bool Matches(char& ch, bool ACaseInsensitive) const override;

 protected:
  virtual bool Contains(char& ch, bool ACaseInsensitive) const = 0;

 private:
  bool FInverse;
};

// A bracketed class: any of its tests, the first that matches ends the search.
class TqvRegExprUserEnumeration : public TqvRegExprEnumeration {
  QJ_CLASS(TqvRegExprUserEnumeration, TqvRegExprEnumeration)
 public:
  using TqvRegExprEnumeration::TqvRegExprEnumeration;
  void Add(TOwned<TqvRegExprItem> ATest) { FTests.push_back(std::move(ATest)); }
  Integer GetCount() const { return static_cast<Integer>(FTests.size()); }
  TOwned<TqvRegExprItem> Duplicate() const override;

 protected:
  bool Contains(char& ch, bool ACaseInsensitive) const override;

 private:
  std::vector<TOwned<TqvRegExprItem>> FTests;
};

class TqvRegExprDigit : public TqvRegExprEnumeration {
  QJ_CLASS(TqvRegExprDigit, TqvRegExprEnumeration)
 public:
  using TqvRegExprEnumeration::TqvRegExprEnumeration;
  TOwned<TqvRegExprItem> Duplicate() const override;

 protected:
  bool Contains(char& ch, bool ACaseInsensitive) const override;
};

// Letters a-z and A-Z, digits and '_'.
class TqvRegExprIdLetter : public TqvRegExprEnumeration {
  QJ_CLASS(TqvRegExprIdLetter, TqvRegExprEnumeration)
 public:
  using TqvRegExprEnumeration::TqvRegExprEnumeration;
  TOwned<TqvRegExprItem> Duplicate() const override;

 protected:
  bool Contains(char& ch, bool ACaseInsensitive) const override;
};

// Space, NUL, TAB, LF, FF and CR.
class TqvRegExprSpace : public TqvRegExprEnumeration {
  QJ_CLASS(TqvRegExprSpace, TqvRegExprEnumeration)
 public:
  using TqvRegExprEnumeration::TqvRegExprEnumeration;
  TOwned<TqvRegExprItem> Duplicate() const override;

 protected:
  bool Contains(char& ch, bool ACaseInsensitive) const override;
};

class TqvRegExprAll : public TqvRegExprItem {
  QJ_CLASS(TqvRegExprAll, TqvRegExprItem)
 public:
  bool Matches(char& ch, bool ACaseInsensitive) const override;
  TOwned<TqvRegExprItem> Duplicate() const override;
};

// ---------------------------------------------------------------------------------------------
// States and sets of states

enum class TqvRegExprStateKind { Simple, Block };

class TqvRegExprState : public TObject {
  QJ_CLASS(TqvRegExprState, TObject)
 public:
  TqvRegExprStateKind GetKind() const { return FKind; }
  // A new state of the same kind without successors (links are made on the finished tree).
  virtual TOwned<TqvRegExprState> Duplicate() const = 0;

  void AddSuccessor(TqvRegExprState* AState) { FSuccessors.push_back(AState); }
  const std::vector<TqvRegExprState*>& GetSuccessors() const { return FSuccessors; }

 protected:
  explicit TqvRegExprState(TqvRegExprStateKind AKind) : FKind(AKind) {}

 private:
  friend class TqvRegExprAutomat;
  TqvRegExprStateKind FKind;
  std::vector<TqvRegExprState*> FSuccessors;  // not owned
  UInt64 FVisitMark = 0;                      // the automaton's walk that last reached it
  Integer FFirstVisit = -1;                   // its visits in that walk (the automaton's list)
  UInt64 FTakenMark = 0;                      // the walk that last took it into its result
  Integer FIndex = -1;                        // numbered by the automaton
};

// Consumes one character through its test; the start state has no test.
class TqvRegExprSimpleState : public TqvRegExprState {
  QJ_CLASS(TqvRegExprSimpleState, TqvRegExprState)
 public:
  explicit TqvRegExprSimpleState(TOwned<TqvRegExprItem> ATest)
      : TqvRegExprState(TqvRegExprStateKind::Simple), FTest(std::move(ATest)) {}

  const TqvRegExprItem* GetTest() const { return FTest.get(); }
  bool GetFinal() const { return FFinal; }
  void SetFinal(bool AValue) { FFinal = AValue; }
  // True when a final state is reachable from here (this one included).
  bool GetCanComplete() const { return FCanComplete; }
  // True when the state consumes ch.
  bool StepOn(char& ch, bool ACaseInsensitive) const;
  TOwned<TqvRegExprState> Duplicate() const override;

 private:
  friend class TqvRegExprAutomat;
  TOwned<TqvRegExprItem> FTest;
  bool FFinal = false;
  bool FCanComplete = false;
};

// The entry or exit of a group: an empty step.
class TqvRegExprBlockState : public TqvRegExprState {
  QJ_CLASS(TqvRegExprBlockState, TqvRegExprState)
 public:
  TqvRegExprBlockState() : TqvRegExprState(TqvRegExprStateKind::Block) {}
  TOwned<TqvRegExprState> Duplicate() const override;
};

// Character-consuming states in the order first reached; each state at most once.
class TqvRegExprStates {
 public:
  void Add(TqvRegExprState* AState) { FItems.push_back(AState); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  bool IsEmpty() const { return FItems.empty(); }
  TqvRegExprState* GetItem(Integer AIndex) const { return FItems[AIndex]; }
  const std::vector<TqvRegExprState*>& GetItems() const { return FItems; }

  bool HasFinal() const;
  // True when every state tests one and the same literal character (a symbol, compared
  // exactly, or the locale's separator); c is that character.
  bool SingleLiteral(char& c) const;
  // True when some state can still lead to a complete text.
  bool CanComplete() const;

 private:
  std::vector<TqvRegExprState*> FItems;
};

// ---------------------------------------------------------------------------------------------
// Parse tree

class TqvRegExprQuantifier : public TObject {
  QJ_CLASS(TqvRegExprQuantifier, TObject)
 public:
  virtual bool MayBeSkipped() const = 0;
  virtual bool MayRepeat() const = 0;
  virtual TOwned<TqvRegExprQuantifier> Duplicate() const = 0;
  virtual String Sign() const = 0;
};

// Exactly once (no quantifier written).
class TqvRegExprSimpleQuantifier : public TqvRegExprQuantifier {
  QJ_CLASS(TqvRegExprSimpleQuantifier, TqvRegExprQuantifier)
 public:
  bool MayBeSkipped() const override { return false; }
  bool MayRepeat() const override { return false; }
  TOwned<TqvRegExprQuantifier> Duplicate() const override;
  String Sign() const override { return String(); }
};

class TqvRegExprQuestionQuantifier : public TqvRegExprQuantifier {
  QJ_CLASS(TqvRegExprQuestionQuantifier, TqvRegExprQuantifier)
 public:
  bool MayBeSkipped() const override { return true; }
  bool MayRepeat() const override { return false; }
  TOwned<TqvRegExprQuantifier> Duplicate() const override;
  String Sign() const override { return "?"; }
};

class TqvRegExprStarQuantifier : public TqvRegExprQuantifier {
  QJ_CLASS(TqvRegExprStarQuantifier, TqvRegExprQuantifier)
 public:
  bool MayBeSkipped() const override { return true; }
  bool MayRepeat() const override { return true; }
  TOwned<TqvRegExprQuantifier> Duplicate() const override;
  String Sign() const override { return "*"; }
};

class TqvRegExprPlusQuantifier : public TqvRegExprQuantifier {
  QJ_CLASS(TqvRegExprPlusQuantifier, TqvRegExprQuantifier)
 public:
  bool MayBeSkipped() const override { return false; }
  bool MayRepeat() const override { return true; }
  TOwned<TqvRegExprQuantifier> Duplicate() const override;
  String Sign() const override { return "+"; }
};

// One element of a sequence with its quantifier.
class TqvRegExprParserItem : public TObject {
  QJ_CLASS(TqvRegExprParserItem, TObject)
 public:
  virtual bool MayMatchEmpty() const = 0;
  virtual TOwned<TqvRegExprParserItem> Duplicate() const = 0;
  // Appends a diagnostic outline of the item ("item --> +", groups bracketed by
  // "<Start_Block>" and "<Finish_Block> --> sign"), one line each.
  virtual void Dump(String& AOutline) const = 0;
  virtual void MarkFinal() = 0;
  // The state a path enters the item by and the one it leaves by.
  virtual TqvRegExprState* GetInState() const = 0;
  virtual TqvRegExprState* GetOutState() const = 0;
  // Items in this subtree (itself included) and the nesting of groups below it.
  virtual Integer GetItemCount() const = 0;
  virtual Integer GetDepth() const = 0;

  bool MayBeSkipped() const { return FQuantifier->MayBeSkipped(); }
  bool MayRepeat() const { return FQuantifier->MayRepeat(); }
  bool HasNoQuantifier() const { return FQuantifier->IsExactly<TqvRegExprSimpleQuantifier>(); }
  const TqvRegExprQuantifier& GetQuantifier() const { return *FQuantifier; }
  // Nothing changes for nullptr.
  void ReplaceQuantifier(TOwned<TqvRegExprQuantifier> AQuantifier);

 protected:
  // nullptr: exactly once.
  explicit TqvRegExprParserItem(TOwned<TqvRegExprQuantifier> AQuantifier);

 private:
  TOwned<TqvRegExprQuantifier> FQuantifier;
};

using TqvRegExprParserItems = std::vector<TOwned<TqvRegExprParserItem>>;

// An alternative: its items in pattern order.
class TqvRegExprParserAlt {
 public:
  TqvRegExprParserItems Items;
  // Empty steps that the linking adds between optional items.
  std::vector<TOwned<TqvRegExprBlockState>> Junctions;

  bool AllMayBeSkipped() const;
  bool AllMayMatchEmpty() const;
  // "<Start_Alt>", the items, "<Finish_Alt>".
  void Dump(String& AOutline) const;
};

using TqvRegExprParserAlts = std::vector<TqvRegExprParserAlt>;

class TqvRegExprParserSimpleItem : public TqvRegExprParserItem {
  QJ_CLASS(TqvRegExprParserSimpleItem, TqvRegExprParserItem)
 public:
  TqvRegExprParserSimpleItem(TOwned<TqvRegExprSimpleState> AState,
                             TOwned<TqvRegExprQuantifier> AQuantifier = nullptr);

  TqvRegExprSimpleState* GetState() const { return FState.get(); }
  bool MayMatchEmpty() const override { return MayBeSkipped(); }
  TOwned<TqvRegExprParserItem> Duplicate() const override;
  void Dump(String& AOutline) const override;
  void MarkFinal() override { FState->SetFinal(true); }
  TqvRegExprState* GetInState() const override { return FState.get(); }
  TqvRegExprState* GetOutState() const override { return FState.get(); }
  Integer GetItemCount() const override { return 1; }
  Integer GetDepth() const override { return 0; }

 private:
  TOwned<TqvRegExprSimpleState> FState;
};

// A parenthesised or generated group.
class TqvRegExprParserBlockItem : public TqvRegExprParserItem {
  QJ_CLASS(TqvRegExprParserBlockItem, TqvRegExprParserItem)
 public:
  explicit TqvRegExprParserBlockItem(TOwned<TqvRegExprQuantifier> AQuantifier = nullptr);

  TqvRegExprParserAlts& GetAlternatives() { return FAlternatives; }
  const TqvRegExprParserAlts& GetAlternatives() const { return FAlternatives; }
  TqvRegExprBlockState* GetEntry() const { return FEntry.get(); }
  TqvRegExprBlockState* GetExit() const { return FExit.get(); }

  bool MayMatchEmpty() const override;
  TOwned<TqvRegExprParserItem> Duplicate() const override;
  void Dump(String& AOutline) const override;
  void MarkFinal() override;
  TqvRegExprState* GetInState() const override { return FEntry.get(); }
  TqvRegExprState* GetOutState() const override { return FExit.get(); }
  Integer GetItemCount() const override;
  Integer GetDepth() const override;

 private:
  TOwned<TqvRegExprBlockState> FEntry;
  TOwned<TqvRegExprBlockState> FExit;
  TqvRegExprParserAlts FAlternatives;
};

// Parses the lexemes into the alternatives of the whole pattern; errors are appended to
// AErrors (the result is then of no use).
TqvRegExprParserAlts ParseRegExpr(const TqvLexems& ALexems, TqvRegExprErrors& AErrors);

// Final marking of one alternative: its items from the last backwards while they may be
// skipped.
void MarkAlternativeFinal(TqvRegExprParserAlt& AAlternative);

// ---------------------------------------------------------------------------------------------
// Automaton

class TqvRegExprAutomat : public TObject {
  QJ_CLASS(TqvRegExprAutomat, TObject)
 public:
  // Links the tree, marks the final states and stands at the start. AOwner fires the events.
  TqvRegExprAutomat(TqvRegExprParserAlts AAlternatives, TqvRegExpr* AOwner);
  ~TqvRegExprAutomat() override;

  bool ConsumeChar(char& ch, bool ACaseInsensitive);
  bool StepBack();
  void Restart();
  bool IsComplete() const { return FCurrent.HasFinal(); }
  bool AtStart() const;
  // Takes the characters the pattern leaves no choice about, firing OnAddChar for each.
  void AdvanceForcedLiterals();
  // Takes back the forced literals that end the text, firing OnDeleteChar for each.
  void RollBackForcedLiterals();

  // Dies with the automaton (when the expression is freed or compiled again).
  TAliveToken GetAliveToken() const { return FAlive.Token(); }
  const TqvRegExprStates& GetCurrent() const { return FCurrent; }
  // Every state reachable from the start (the start first).
  Integer GetStateCount() const { return static_cast<Integer>(FStates.size()); }
  const TqvRegExprState* GetState(Integer AIndex) const { return FStates[AIndex]; }
  // The states that could consume the next character after ASet.
  TqvRegExprStates NextPossible(const TqvRegExprStates& ASet);
  // The states reached by consuming ch after ASet.
  TqvRegExprStates Step(const TqvRegExprStates& ASet, char& ch, bool ACaseInsensitive);

 private:
  void NumberStates();
  void MarkCompletableStates();
  bool IsForcedAfter(const TqvRegExprStates& APrevious, const TqvRegExprStates& ANext,
                     char& c) const;
  template <class TVisitSimple>
  TqvRegExprStates Walk(const TqvRegExprStates& ASet, char& ch, TVisitSimple AVisit);
  // The visit of AState with the character AIn in the running walk, or -1.
  Integer FindVisit(const TqvRegExprState* AState, char AIn) const;
  Integer AddVisit(TqvRegExprState* AState, char AIn);

  TqvRegExpr* FOwner;
  TqvRegExprParserAlts FAlternatives;
  TOwned<TqvRegExprSimpleState> FStartState;
  std::vector<TqvRegExprState*> FStates;  // every reachable state, by index
  TqvRegExprStates FCurrent;
  std::vector<TqvRegExprStates> FHistory;
  // A state met by a walk with a character, and the character it left.
  struct TWalkVisit {
    char In;
    char Out;
    bool Done;     // a block state's visit is done when every path through it was walked
    Integer Next;  // the state's next visit, or -1
  };
  struct TWalkFrame {
    TqvRegExprState* State;
    Integer Leaving;  // -1 on the way in; on the way out of a block state, its visit
  };
  std::vector<TWalkFrame> FWalkStack;
  std::vector<TWalkVisit> FWalkVisits;
  UInt64 FWalkMark = 0;
  TAliveFlag FAlive;
};
