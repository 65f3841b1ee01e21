// The parser of the regular-expression language: character tests, quantifiers and the parse
// tree of alternatives and items, built from the lexemes by recursive descent.
#include <algorithm>
#include <limits>

#include "core/qvClasses.h"
#include "editors/qvRegExprAutomat.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvRegExprItem)
QJ_IMPLEMENT_CLASS(TqvRegExprSymbol)
QJ_IMPLEMENT_CLASS(TqvRegExprTimeSeparator)
QJ_IMPLEMENT_CLASS(TqvRegExprDateSeparator)
QJ_IMPLEMENT_CLASS(TqvRegExprSubrange)
QJ_IMPLEMENT_CLASS(TqvRegExprEnumeration)
QJ_IMPLEMENT_CLASS(TqvRegExprUserEnumeration)
QJ_IMPLEMENT_CLASS(TqvRegExprDigit)
QJ_IMPLEMENT_CLASS(TqvRegExprIdLetter)
QJ_IMPLEMENT_CLASS(TqvRegExprSpace)
QJ_IMPLEMENT_CLASS(TqvRegExprAll)
QJ_IMPLEMENT_CLASS(TqvRegExprQuantifier)
QJ_IMPLEMENT_CLASS(TqvRegExprSimpleQuantifier)
QJ_IMPLEMENT_CLASS(TqvRegExprQuestionQuantifier)
QJ_IMPLEMENT_CLASS(TqvRegExprStarQuantifier)
QJ_IMPLEMENT_CLASS(TqvRegExprPlusQuantifier)
QJ_IMPLEMENT_CLASS(TqvRegExprParserItem)
QJ_IMPLEMENT_CLASS(TqvRegExprParserSimpleItem)
QJ_IMPLEMENT_CLASS(TqvRegExprParserBlockItem)

// ---------------------------------------------------------------------------------------------
// Character tests

bool TqvRegExprSymbol::Matches(char& ch, bool ACaseInsensitive) const {
  if (!ACaseInsensitive) return ch == FChar;
  if (AnsiUpperChar(ch) != AnsiUpperChar(FChar)) return false;
  ch = FChar;  // the text takes the pattern's case
  return true;
}

TOwned<TqvRegExprItem> TqvRegExprSymbol::Duplicate() const { return MakeOwned<TqvRegExprSymbol>(FChar); }

bool TqvRegExprTimeSeparator::Matches(char& ch, bool) const { return ch == FormatSettings().TimeSeparator; }

TOwned<TqvRegExprItem> TqvRegExprTimeSeparator::Duplicate() const {
  return MakeOwned<TqvRegExprTimeSeparator>();
}

bool TqvRegExprDateSeparator::Matches(char& ch, bool) const { return ch == FormatSettings().DateSeparator; }

TOwned<TqvRegExprItem> TqvRegExprDateSeparator::Duplicate() const {
  return MakeOwned<TqvRegExprDateSeparator>();
}

bool TqvRegExprSubrange::Matches(char& ch, bool) const {
  Byte b = static_cast<Byte>(ch);
  return b >= static_cast<Byte>(FStart) && b <= static_cast<Byte>(FFinish);
}

TOwned<TqvRegExprItem> TqvRegExprSubrange::Duplicate() const {
  return MakeOwned<TqvRegExprSubrange>(FStart, FFinish);
}

// A refused character keeps its case, even when a symbol of an inverted class matched it.
bool TqvRegExprEnumeration::Matches(char& ch, bool ACaseInsensitive) const {
  char tested = ch;
  bool result = Contains(tested, ACaseInsensitive) != FInverse;
  if (result) ch = tested;
  return result;
}

bool TqvRegExprUserEnumeration::Contains(char& ch, bool ACaseInsensitive) const {
  return std::any_of(FTests.begin(), FTests.end(),
                     [&](const TOwned<TqvRegExprItem>& test) { return test->Matches(ch, ACaseInsensitive); });
}

TOwned<TqvRegExprItem> TqvRegExprUserEnumeration::Duplicate() const {
  auto copy = MakeOwned<TqvRegExprUserEnumeration>(GetInverse());
  for (const TOwned<TqvRegExprItem>& test : FTests) copy->Add(test->Duplicate());
  return copy;
}

bool TqvRegExprDigit::Contains(char& ch, bool) const { return IsDigitChar(ch); }

TOwned<TqvRegExprItem> TqvRegExprDigit::Duplicate() const { return MakeOwned<TqvRegExprDigit>(GetInverse()); }

bool TqvRegExprIdLetter::Contains(char& ch, bool) const {
  return IsIdentChar(ch);
}

TOwned<TqvRegExprItem> TqvRegExprIdLetter::Duplicate() const {
  return MakeOwned<TqvRegExprIdLetter>(GetInverse());
}

bool TqvRegExprSpace::Contains(char& ch, bool) const { return ch != '\v' && IsRegExprBlank(ch); }

TOwned<TqvRegExprItem> TqvRegExprSpace::Duplicate() const { return MakeOwned<TqvRegExprSpace>(GetInverse()); }

bool TqvRegExprAll::Matches(char&, bool) const { return true; }

TOwned<TqvRegExprItem> TqvRegExprAll::Duplicate() const { return MakeOwned<TqvRegExprAll>(); }

// ---------------------------------------------------------------------------------------------
// Quantifiers

TOwned<TqvRegExprQuantifier> TqvRegExprSimpleQuantifier::Duplicate() const {
  return MakeOwned<TqvRegExprSimpleQuantifier>();
}
TOwned<TqvRegExprQuantifier> TqvRegExprQuestionQuantifier::Duplicate() const {
  return MakeOwned<TqvRegExprQuestionQuantifier>();
}
TOwned<TqvRegExprQuantifier> TqvRegExprStarQuantifier::Duplicate() const {
  return MakeOwned<TqvRegExprStarQuantifier>();
}
TOwned<TqvRegExprQuantifier> TqvRegExprPlusQuantifier::Duplicate() const {
  return MakeOwned<TqvRegExprPlusQuantifier>();
}

// ---------------------------------------------------------------------------------------------
// Parse tree

TqvRegExprParserItem::TqvRegExprParserItem(TOwned<TqvRegExprQuantifier> AQuantifier)
    : FQuantifier(AQuantifier ? std::move(AQuantifier) : MakeOwned<TqvRegExprSimpleQuantifier>()) {}

void TqvRegExprParserItem::ReplaceQuantifier(TOwned<TqvRegExprQuantifier> AQuantifier) {
  if (AQuantifier) FQuantifier = std::move(AQuantifier);
}

bool TqvRegExprParserAlt::AllMayBeSkipped() const {
  return std::all_of(Items.begin(), Items.end(), [](const auto& item) { return item->MayBeSkipped(); });
}

bool TqvRegExprParserAlt::AllMayMatchEmpty() const {
  return std::all_of(Items.begin(), Items.end(), [](const auto& item) { return item->MayMatchEmpty(); });
}

void TqvRegExprParserAlt::Dump(String& AOutline) const {
  AOutline += "<Start_Alt>\r\n";
  for (const TOwned<TqvRegExprParserItem>& item : Items) item->Dump(AOutline);
  AOutline += "<Finish_Alt>\r\n";
}

TqvRegExprParserSimpleItem::TqvRegExprParserSimpleItem(TOwned<TqvRegExprSimpleState> AState,
                                                       TOwned<TqvRegExprQuantifier> AQuantifier)
    : TqvRegExprParserItem(std::move(AQuantifier)), FState(std::move(AState)) {}

TOwned<TqvRegExprParserItem> TqvRegExprParserSimpleItem::Duplicate() const {
  TOwned<TqvRegExprState> state = FState->Duplicate();
  return MakeOwned<TqvRegExprParserSimpleItem>(
      TOwned<TqvRegExprSimpleState>(static_cast<TqvRegExprSimpleState*>(state.release())),
      GetQuantifier().Duplicate());
}

void TqvRegExprParserSimpleItem::Dump(String& AOutline) const {
  AOutline += "item --> " + GetQuantifier().Sign() + "\r\n";
}

TqvRegExprParserBlockItem::TqvRegExprParserBlockItem(TOwned<TqvRegExprQuantifier> AQuantifier)
    : TqvRegExprParserItem(std::move(AQuantifier)),
      FEntry(MakeOwned<TqvRegExprBlockState>()),
      FExit(MakeOwned<TqvRegExprBlockState>()) {}

bool TqvRegExprParserBlockItem::MayMatchEmpty() const {
  return MayBeSkipped() || std::any_of(FAlternatives.begin(), FAlternatives.end(),
                                       [](const TqvRegExprParserAlt& alt) { return alt.AllMayMatchEmpty(); });
}

TOwned<TqvRegExprParserItem> TqvRegExprParserBlockItem::Duplicate() const {
  auto copy = MakeOwned<TqvRegExprParserBlockItem>(GetQuantifier().Duplicate());
  for (const TqvRegExprParserAlt& alt : FAlternatives) {
    TqvRegExprParserAlt& target = copy->FAlternatives.emplace_back();
    for (const TOwned<TqvRegExprParserItem>& item : alt.Items) target.Items.push_back(item->Duplicate());
  }
  return copy;
}

void TqvRegExprParserBlockItem::Dump(String& AOutline) const {
  AOutline += "<Start_Block>\r\n";
  for (const TqvRegExprParserAlt& alt : FAlternatives) alt.Dump(AOutline);
  AOutline += "<Finish_Block> --> " + GetQuantifier().Sign() + "\r\n";
}

void TqvRegExprParserBlockItem::MarkFinal() {
  for (TqvRegExprParserAlt& alt : FAlternatives) MarkAlternativeFinal(alt);
}

Integer TqvRegExprParserBlockItem::GetItemCount() const {
  Integer count = 1;
  for (const TqvRegExprParserAlt& alt : FAlternatives)
    for (const TOwned<TqvRegExprParserItem>& item : alt.Items) count += item->GetItemCount();
  return count;
}

Integer TqvRegExprParserBlockItem::GetDepth() const {
  Integer depth = 0;
  for (const TqvRegExprParserAlt& alt : FAlternatives)
    for (const TOwned<TqvRegExprParserItem>& item : alt.Items) depth = std::max(depth, item->GetDepth());
  return depth + 1;
}

void MarkAlternativeFinal(TqvRegExprParserAlt& AAlternative) {
  for (auto it = AAlternative.Items.rbegin(); it != AAlternative.Items.rend(); ++it) {
    (*it)->MarkFinal();
    if (!(*it)->MayBeSkipped()) break;
  }
}

// ---------------------------------------------------------------------------------------------
// Parser

namespace {

TOwned<TqvRegExprParserItem> MakeSimpleItem(TOwned<TqvRegExprItem> ATest) {
  return MakeOwned<TqvRegExprParserSimpleItem>(MakeOwned<TqvRegExprSimpleState>(std::move(ATest)));
}

// The test a class member or a plain element stands for; nullptr for a lexeme that is none.
TOwned<TqvRegExprItem> MakeCharacterTest(const TqvLexem& ALexem) {
  switch (ALexem.Code) {
    case lcAnyChar: return MakeOwned<TqvRegExprAll>();
    case lcIdLetter: return MakeOwned<TqvRegExprIdLetter>(false);
    case lcNotIdLetter: return MakeOwned<TqvRegExprIdLetter>(true);
    case lcDigit: return MakeOwned<TqvRegExprDigit>(false);
    case lcNotDigit: return MakeOwned<TqvRegExprDigit>(true);
    case lcSpace: return MakeOwned<TqvRegExprSpace>(false);
    case lcNotSpace: return MakeOwned<TqvRegExprSpace>(true);
    case lcDateSeparator: return MakeOwned<TqvRegExprDateSeparator>();
    case lcTimeSeparator: return MakeOwned<TqvRegExprTimeSeparator>();
    default: return MakeOwned<TqvRegExprSymbol>(ALexem.Value[0]);
  }
}

class TqvRegExprParser {
 public:
  TqvRegExprParser(const TqvLexems& ALexems, TqvRegExprErrors& AErrors)
      : FLexems(ALexems), FErrors(AErrors) {}

  TqvRegExprParserAlts Run();

 private:
  // Parameters of a {n,m} quantifier; Unbounded stands for an open upper bound.
  static constexpr Integer Unbounded = -1;
  struct TBounds {
    Integer Min;
    Integer Max;
  };

  const TqvLexem* Next();
  const TqvLexem* PeekNext() const;
  void Error(const TqvLexem& ALexem, PResStringRec AMessage);
  void Error(const TqvLexem& ALexem, PResStringRec AFormat, const String& AArgument);
  void ErrorAtNoPosition(PResStringRec AMessage);

  // True when a '|' ended the alternative.
  bool ParseAlternative(TqvRegExprParserAlt& AAlt, bool AInBlock);
  // Handles one lexeme of an alternative; sets AEnded when the alternative ends here and
  // returns whether a '|' ended it.
  bool ParseElement(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem, bool AInBlock, bool& AEnded);
  void ParseBlock(TqvRegExprParserAlt& AAlt, const TqvLexem& AOpening);
  void SkipBlock();
  void Append(TqvRegExprParserAlt& AAlt, TOwned<TqvRegExprParserItem> AItem);
  void ApplyRepeat(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem);
  void ApplyQuestion(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem);
  // Gives the last item the quantifier, or wraps it in a group that carries it.
  bool ApplyQuantifier(TqvRegExprParserAlt& AAlt, TOwned<TqvRegExprQuantifier> AQuantifier);
  void ApplyParameters(TqvRegExprParserAlt& AAlt, const TqvLexem& ABrace);
  bool ReadBounds(const TqvLexem& ABrace, TBounds& ABounds);
  bool ReadBound(const TqvLexem& ABrace, Integer& AValue);
  // Reports a faulty parameter and passes over the rest of the quantifier; always false.
  bool Refuse(const TqvLexem& ALexem, PResStringRec AMessage);
  void SkipParameters(const TqvLexem& AFailed);
  TOwned<TqvRegExprParserItem> ExpandParameters(const TqvRegExprParserItem& AItem, TBounds ABounds);
  void ParseClass(TqvRegExprParserAlt& AAlt);
  void ParseBackReference(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem);
  bool WithinBudget(Integer AItems) const { return FItemCount + AItems <= TqvRegExpr::MaxPatternItems; }

  const TqvLexems& FLexems;
  TqvRegExprErrors& FErrors;
  Integer FIndex = 0;
  Integer FItemCount = 0;
  Integer FParenthesesDepth = 0;
  // Groups opened by a parenthesis, for back-references. An item that a {n,m} quantifier
  // replaces leaves the tree but stays alive here, so a reference to it remains valid.
  std::vector<const TqvRegExprParserBlockItem*> FBlocks;
  TqvRegExprParserItems FReplaced;
};

const TqvLexem* TqvRegExprParser::Next() {
  return FIndex < FLexems.GetCount() ? &FLexems.GetLexem(FIndex++) : nullptr;
}

const TqvLexem* TqvRegExprParser::PeekNext() const {
  return FIndex < FLexems.GetCount() ? &FLexems.GetLexem(FIndex) : nullptr;
}

void TqvRegExprParser::Error(const TqvLexem& ALexem, PResStringRec AMessage) {
  FErrors.Add(static_cast<Integer>(ALexem.Line), static_cast<Integer>(ALexem.Char),
              GetLocalizedResourceString(AMessage));
}

void TqvRegExprParser::Error(const TqvLexem& ALexem, PResStringRec AFormat, const String& AArgument) {
  FErrors.Add(static_cast<Integer>(ALexem.Line), static_cast<Integer>(ALexem.Char),
              Format(GetLocalizedResourceString(AFormat), {AArgument}));
}

void TqvRegExprParser::ErrorAtNoPosition(PResStringRec AMessage) {
  FErrors.Add(0, 0, GetLocalizedResourceString(AMessage));
}

TqvRegExprParserAlts TqvRegExprParser::Run() {
  TqvRegExprParserAlts alts;
  bool more;
  do {
    alts.emplace_back();
    more = ParseAlternative(alts.back(), false);
  } while (more);
  return alts;
}

bool TqvRegExprParser::ParseAlternative(TqvRegExprParserAlt& AAlt, bool AInBlock) {
  const TqvLexem* lexem = Next();
  if (!lexem) {
    ErrorAtNoPosition(&sqvRegExprEmptyAlternative);
    return false;
  }
  if (lexem->IsOperator('|')) {
    Error(*lexem, &sqvRegExprEmptyAlternative);
    return true;
  }
  if (AInBlock && lexem->IsOperator(')')) {
    Error(*lexem, &sqvRegExprEmptyBlock);
    return false;
  }
  for (; lexem; lexem = Next()) {
    bool ended = false;
    bool bar = ParseElement(AAlt, *lexem, AInBlock, ended);
    if (ended) return bar;
  }
  return false;
}

bool TqvRegExprParser::ParseElement(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem, bool AInBlock,
                                    bool& AEnded) {
  switch (ALexem.Code) {
    case lcLiteral:
      Append(AAlt, MakeSimpleItem(MakeOwned<TqvRegExprSymbol>(ALexem.Value[0])));
      return false;
    case lcInteger:
      Error(ALexem, &sqvRegExprIllegalIntegerValue);
      return false;
    case lcBackReference:
      ParseBackReference(AAlt, ALexem);
      return false;
    case lcOperator:
      break;
    default:
      Append(AAlt, MakeSimpleItem(MakeCharacterTest(ALexem)));
      return false;
  }
  switch (ALexem.Value[0]) {
    case '(':
      ParseBlock(AAlt, ALexem);
      break;
    case ')':
      if (AInBlock) {
        AEnded = true;
        return false;
      }
      Error(ALexem, &sqvRegExprIllegalSymbol, ")");
      break;
    case '*': case '+':
      ApplyRepeat(AAlt, ALexem);
      break;
    case '?':
      ApplyQuestion(AAlt, ALexem);
      break;
    case '{':
      if (AAlt.Items.empty())
        Error(ALexem, &sqvRegExprIncorrectParameterQuantifier);  // what follows is read as usual
      else
        ApplyParameters(AAlt, ALexem);
      break;
    case '[':
      ParseClass(AAlt);
      break;
    case '|':
      AEnded = true;
      return true;
    case '-': case ']': case '}':
      Error(ALexem, &sqvRegExprIllegalSymbol, ALexem.Value);
      break;
    default:
      break;  // ',' and '^' mean nothing here
  }
  return false;
}

void TqvRegExprParser::Append(TqvRegExprParserAlt& AAlt, TOwned<TqvRegExprParserItem> AItem) {
  FItemCount += AItem->GetItemCount();
  AAlt.Items.push_back(std::move(AItem));
}

// The group is appended before its content is parsed, so a back-reference inside it copies
// what it holds so far.
void TqvRegExprParser::ParseBlock(TqvRegExprParserAlt& AAlt, const TqvLexem& AOpening) {
  if (FParenthesesDepth >= TqvRegExpr::MaxParenthesesDepth) {
    Error(AOpening, &sqvRegExprIllegalSymbol, "(");
    SkipBlock();
    return;
  }
  auto owned = MakeOwned<TqvRegExprParserBlockItem>();
  TqvRegExprParserBlockItem* block = owned.get();
  AAlt.Items.push_back(std::move(owned));
  ++FItemCount;
  FBlocks.push_back(block);
  TCounterScope nested(FParenthesesDepth);
  bool more;
  do {
    block->GetAlternatives().emplace_back();
    more = ParseAlternative(block->GetAlternatives().back(), true);
  } while (more);
}

// Passes over a group that is nested too deeply, up to its closing parenthesis.
void TqvRegExprParser::SkipBlock() {
  Integer depth = 1;
  while (const TqvLexem* lexem = Next()) {
    if (lexem->IsOperator('(')) ++depth;
    if (lexem->IsOperator(')') && --depth == 0) return;
  }
}

void TqvRegExprParser::ApplyRepeat(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem) {
  bool star = ALexem.Value[0] == '*';
  if (AAlt.Items.empty()) {
    Error(ALexem, &sqvRegExprIllegalQuantifier, ALexem.Value);
    return;
  }
  PResStringRec cantApply = star ? &sqvRegExprCantUseStarQuantifier : &sqvRegExprCantUsePlusQuantifier;
  if (AAlt.Items.back()->MayMatchEmpty()) {
    Error(ALexem, cantApply);
    return;
  }
  TOwned<TqvRegExprQuantifier> quantifier;
  if (star)
    quantifier = MakeOwned<TqvRegExprStarQuantifier>();
  else
    quantifier = MakeOwned<TqvRegExprPlusQuantifier>();
  if (!ApplyQuantifier(AAlt, std::move(quantifier))) Error(ALexem, cantApply);
}

void TqvRegExprParser::ApplyQuestion(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem) {
  if (AAlt.Items.empty() || !ApplyQuantifier(AAlt, MakeOwned<TqvRegExprQuestionQuantifier>()))
    Error(ALexem, &sqvRegExprIllegalQuantifier, ALexem.Value);
}

bool TqvRegExprParser::ApplyQuantifier(TqvRegExprParserAlt& AAlt, TOwned<TqvRegExprQuantifier> AQuantifier) {
  TOwned<TqvRegExprParserItem>& last = AAlt.Items.back();
  if (last->HasNoQuantifier()) {
    last->ReplaceQuantifier(std::move(AQuantifier));
    return true;
  }
  // A quantifier on a quantified item wraps the item in a group; each wrap nests one level.
  if (last->GetDepth() >= TqvRegExpr::MaxGroupDepth || !WithinBudget(1)) return false;
  auto block = MakeOwned<TqvRegExprParserBlockItem>(std::move(AQuantifier));
  block->GetAlternatives().emplace_back().Items.push_back(std::move(last));
  last = std::move(block);
  ++FItemCount;
  return true;
}

void TqvRegExprParser::ApplyParameters(TqvRegExprParserAlt& AAlt, const TqvLexem& ABrace) {
  TBounds bounds{};
  if (!ReadBounds(ABrace, bounds)) return;
  TOwned<TqvRegExprParserItem>& last = AAlt.Items.back();
  // An open bound repeats its last copy endlessly: over what may match the empty text that
  // is a cycle of empty steps. A bounded expansion has no loop.
  if (last->MayBeSkipped() || (bounds.Max == Unbounded && last->MayMatchEmpty())) {
    Error(ABrace, &sqvRegExprCantUseParameterQuantifier);
    return;
  }
  Integer copies = bounds.Max == Unbounded ? bounds.Min + 1 : bounds.Max;
  Integer chainGroups = bounds.Max == Unbounded ? 0 : std::max(0, bounds.Max - bounds.Min - 1);
  Integer size = last->GetItemCount();
  Int64 cost = static_cast<Int64>(copies) * size + chainGroups + 1;
  if (cost > TqvRegExpr::MaxPatternItems - FItemCount ||
      last->GetDepth() + chainGroups + 1 > TqvRegExpr::MaxGroupDepth) {
    Error(ABrace, &sqvRegExprIncorrectParameterQuantifier);
    return;
  }
  TOwned<TqvRegExprParserItem> group = ExpandParameters(*last, bounds);
  FItemCount += static_cast<Integer>(cost);
  FReplaced.push_back(std::move(last));
  last = std::move(group);
}

// {n}, {n,} or {n,m} with 0 <= n <= m <= MaxQuantifierBound; everything up to the '}' is
// consumed whatever the outcome.
bool TqvRegExprParser::ReadBounds(const TqvLexem& ABrace, TBounds& ABounds) {
  if (!ReadBound(ABrace, ABounds.Min)) return false;
  const TqvLexem* lexem = Next();
  if (!lexem) return Refuse(ABrace, &sqvRegExprIncorrectParameterQuantifier);
  if (lexem->IsOperator('}')) {
    ABounds.Max = ABounds.Min;
    return true;
  }
  if (!lexem->IsOperator(',')) return Refuse(*lexem, &sqvRegExprIncorrectParameterQuantifier);
  const TqvLexem* upper = PeekNext();
  if (upper && upper->IsOperator('}')) {
    Next();
    ABounds.Max = Unbounded;
    return true;
  }
  if (!ReadBound(ABrace, ABounds.Max)) return false;
  if (ABounds.Max < ABounds.Min)
    return Refuse(FLexems.GetLexem(FIndex - 1), &sqvRegExprIncorrectParameterQuantifier);
  lexem = Next();
  if (!lexem) return Refuse(ABrace, &sqvRegExprIncorrectParameterQuantifier);
  if (!lexem->IsOperator('}')) return Refuse(*lexem, &sqvRegExprIncorrectParameterQuantifier);
  return true;
}

// One integer bound: beyond the 32-bit range it is an illegal integer value, above the cap an
// incorrect quantifier.
bool TqvRegExprParser::ReadBound(const TqvLexem& ABrace, Integer& AValue) {
  const TqvLexem* lexem = Next();
  if (!lexem) return Refuse(ABrace, &sqvRegExprIncorrectParameterQuantifier);
  if (lexem->Code != lcInteger) return Refuse(*lexem, &sqvRegExprIncorrectParameterQuantifier);
  Int64 value = 0;
  for (char digit : lexem->Value) {
    value = value * 10 + (digit - '0');
    if (value > std::numeric_limits<Integer>::max()) return Refuse(*lexem, &sqvRegExprIllegalIntegerValue);
  }
  if (value > TqvRegExpr::MaxQuantifierBound) return Refuse(*lexem, &sqvRegExprIncorrectParameterQuantifier);
  AValue = static_cast<Integer>(value);
  return true;
}

bool TqvRegExprParser::Refuse(const TqvLexem& ALexem, PResStringRec AMessage) {
  Error(ALexem, AMessage);
  SkipParameters(ALexem);
  return false;
}

// After a faulty parameter: the rest of the quantifier up to its '}' is passed over, so one
// mistake gives one error.
void TqvRegExprParser::SkipParameters(const TqvLexem& AFailed) {
  if (AFailed.IsOperator('}')) return;
  while (const TqvLexem* lexem = PeekNext()) {
    if (lexem->Code != lcInteger && !lexem->IsOperator(',') && !lexem->IsOperator('}')) return;
    Next();
    if (lexem->IsOperator('}')) return;
  }
}

// {n,m} over X: a group holding n copies of X, then X* for an open bound, or the optional
// chain (X(X(...X?)?)?) of the m - n further copies.
TOwned<TqvRegExprParserItem> TqvRegExprParser::ExpandParameters(const TqvRegExprParserItem& AItem,
                                                                TBounds ABounds) {
  auto group = MakeOwned<TqvRegExprParserBlockItem>();
  TqvRegExprParserItems& items = group->GetAlternatives().emplace_back().Items;
  for (Integer i = 0; i < ABounds.Min; ++i) items.push_back(AItem.Duplicate());
  if (ABounds.Max == Unbounded) {
    TOwned<TqvRegExprParserItem> rest = AItem.Duplicate();
    rest->ReplaceQuantifier(MakeOwned<TqvRegExprStarQuantifier>());
    items.push_back(std::move(rest));
  } else if (ABounds.Max > ABounds.Min) {
    // Built from the innermost copy outwards.
    TOwned<TqvRegExprParserItem> chain = AItem.Duplicate();
    chain->ReplaceQuantifier(MakeOwned<TqvRegExprQuestionQuantifier>());
    for (Integer k = ABounds.Max - 2; k >= ABounds.Min; --k) {
      auto link = MakeOwned<TqvRegExprParserBlockItem>(MakeOwned<TqvRegExprQuestionQuantifier>());
      TqvRegExprParserItems& linkItems = link->GetAlternatives().emplace_back().Items;
      linkItems.push_back(AItem.Duplicate());
      linkItems.push_back(std::move(chain));
      chain = std::move(link);
    }
    items.push_back(std::move(chain));
  }
  return group;
}

void TqvRegExprParser::ParseClass(TqvRegExprParserAlt& AAlt) {
  const TqvLexem* current = Next();
  bool inverse = current && current->IsOperator('^');
  if (inverse) current = Next();
  auto enumeration = MakeOwned<TqvRegExprUserEnumeration>(inverse);
  if (current && current->IsOperator(']')) {
    Error(*current, &sqvRegExprCantCreateEmptyEnum);
  } else {
    while (current && !current->IsOperator(']')) {
      const TqvLexem* lookAhead = Next();
      if (!lookAhead || !lookAhead->IsOperator('-')) {
        enumeration->Add(MakeCharacterTest(*current));
        current = lookAhead;
        continue;
      }
      // The end is the first character of its lexeme whatever its kind, a ']' included.
      const TqvLexem* finish = Next();
      if (!finish) break;
      if (static_cast<Byte>(current->Value[0]) < static_cast<Byte>(finish->Value[0]))
        enumeration->Add(MakeOwned<TqvRegExprSubrange>(current->Value[0], finish->Value[0]));
      else
        Error(*finish, &sqvRegExprSubrangeOrder);
      current = Next();
      while (current && current->IsOperator('-')) {
        Error(*current, &sqvRegExprIllegalSymbol, "-");
        current = Next();
      }
    }
  }
  Append(AAlt, MakeSimpleItem(std::move(enumeration)));
}

void TqvRegExprParser::ParseBackReference(TqvRegExprParserAlt& AAlt, const TqvLexem& ALexem) {
  size_t number = static_cast<size_t>(ALexem.Value[0] - '0');
  if (number > FBlocks.size() || !WithinBudget(FBlocks[number - 1]->GetItemCount())) {
    Error(ALexem, &sqvRegExprTooBigReferenceNumber);
    return;
  }
  Append(AAlt, FBlocks[number - 1]->Duplicate());
}

}  // namespace

TqvRegExprParserAlts ParseRegExpr(const TqvLexems& ALexems, TqvRegExprErrors& AErrors) {
  return TqvRegExprParser(ALexems, AErrors).Run();
}
