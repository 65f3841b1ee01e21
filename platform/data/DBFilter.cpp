#include "platform/data/DBFilter.h"

#include <algorithm>

#include "platform/data/DBConsts.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

namespace {

enum class TTokenKind { Name, BracketName, Text, Number, Symbol, End };

struct TToken {
  TTokenKind Kind = TTokenKind::End;
  String Text;       // the name, the text's characters, the number or the symbol
  Integer Position;  // 1-based
};

[[noreturn]] void SyntaxError(Integer APosition, const String& ADetail) {
  throw EDatabaseError(&SFilterSyntax, {APosition, ADetail});
}

class TFilterLexer {
 public:
  explicit TFilterLexer(const String& AText) : FText(AText) {}

  TToken Next() {
    SkipBlanks();
    TToken token;
    token.Position = static_cast<Integer>(FPos) + 1;
    if (FPos >= FText.size()) return token;
    char c = FText[FPos];
    if (IsIdentStartChar(c)) return ReadName(token);
    if (IsDigitChar(c) || (c == '.' && FPos + 1 < FText.size() && IsDigitChar(FText[FPos + 1])))
      return ReadNumber(token);
    if (c == '\'') return ReadQuoted(token, '\'', TTokenKind::Text, "text");
    if (c == '[') return ReadQuoted(token, ']', TTokenKind::BracketName, "field name");
    return ReadSymbol(token);
  }

 private:
  void SkipBlanks() {
    while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ') ++FPos;
  }

  TToken& ReadName(TToken& AToken) {
    size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    AToken.Kind = TTokenKind::Name;
    AToken.Text = FText.substr(start, FPos - start);
    return AToken;
  }

  // The decimal point is '.' or, as the data controller writes numbers, the locale's separator
  // when a digit follows it (a separator before a blank ends the number: "IN (7,5, 3)").
  TToken& ReadNumber(TToken& AToken) {
    size_t start = FPos;
    const char localePoint = FormatSettings().DecimalSeparator;
    while (FPos < FText.size() && IsDigitChar(FText[FPos])) ++FPos;
    bool point = FPos < FText.size() && (FText[FPos] == '.' || (FText[FPos] == localePoint && FPos + 1 < FText.size() &&
                                                                 IsDigitChar(FText[FPos + 1])));
    if (point) {
      ++FPos;
      while (FPos < FText.size() && IsDigitChar(FText[FPos])) ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      size_t mark = FPos++;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
      if (FPos < FText.size() && IsDigitChar(FText[FPos]))
        while (FPos < FText.size() && IsDigitChar(FText[FPos])) ++FPos;
      else
        FPos = mark;
    }
    AToken.Kind = TTokenKind::Number;
    AToken.Text = FText.substr(start, FPos - start);
    std::replace(AToken.Text.begin(), AToken.Text.end(), localePoint, '.');
    return AToken;
  }

  // A quoted text or bracketed name; a doubled closing character stands for itself.
  TToken& ReadQuoted(TToken& AToken, char AClose, TTokenKind AKind, const char* AWhat) {
    ++FPos;
    String value;
    for (;;) {
      if (FPos >= FText.size())
        SyntaxError(AToken.Position, Format(LoadResString(&SFilterUnterminated), {AWhat}));
      char c = FText[FPos++];
      if (c == AClose) {
        if (FPos < FText.size() && FText[FPos] == AClose) {
          value += AClose;
          ++FPos;
          continue;
        }
        break;
      }
      value += c;
    }
    AToken.Kind = AKind;
    AToken.Text = value;
    return AToken;
  }

  TToken& ReadSymbol(TToken& AToken) {
    static const char* const TwoCharSymbols[] = {"<>", "<=", ">="};
    for (const char* symbol : TwoCharSymbols)
      if (FText.compare(FPos, 2, symbol) == 0) {
        AToken.Kind = TTokenKind::Symbol;
        AToken.Text = symbol;
        FPos += 2;
        return AToken;
      }
    char c = FText[FPos];
    if (String("()=<>,-").find(c) == String::npos) SyntaxError(AToken.Position, Format(LoadResString(&SFilterUnexpected), {String(1, c)}));
    AToken.Kind = TTokenKind::Symbol;
    AToken.Text = String(1, c);
    ++FPos;
    return AToken;
  }

  const String& FText;
  size_t FPos = 0;
};

bool CompareFromSymbol(const String& ASymbol, TFilterCompare& ACompare) {
  static const struct {
    const char* Symbol;
    TFilterCompare Compare;
  } Table[] = {
      {"=", TFilterCompare::Equal},      {"<>", TFilterCompare::NotEqual},
      {"<", TFilterCompare::Less},       {"<=", TFilterCompare::LessEqual},
      {">", TFilterCompare::Greater},    {">=", TFilterCompare::GreaterEqual},
  };
  for (const auto& entry : Table)
    if (ASymbol == entry.Symbol) {
      ACompare = entry.Compare;
      return true;
    }
  return false;
}

Variant NumberValue(const String& AText, bool ANegative, Integer APosition) {
  String text = ANegative ? "-" + AText : AText;
  Int64 integer = 0;
  if (AText.find_first_of(".eE") == String::npos && TryStrToInt64(text, integer)) {
    if (integer >= INT32_MIN && integer <= INT32_MAX) return Variant(static_cast<Integer>(integer));
    return Variant(integer);
  }
  double value = 0;
  if (!TryStrToFloat(text, value, TFormatSettings::EnglishUS()))
    SyntaxError(APosition, Format(LoadResString(&SFilterUnexpected), {AText}));
  return Variant(value);
}

std::unique_ptr<TFilterNode> MakeNode(TFilterNodeKind AKind) {
  auto node = std::make_unique<TFilterNode>();
  node->Kind = AKind;
  return node;
}

class TFilterParser {
 public:
  explicit TFilterParser(const String& AText) : FLexer(AText) { Advance(); }

  std::unique_ptr<TFilterNode> ParseAll() {
    auto node = ParseOr();
    if (FToken.Kind != TTokenKind::End) Unexpected();
    return node;
  }

 private:
  void Advance() { FToken = FLexer.Next(); }

  [[noreturn]] void Unexpected() const {
    if (FToken.Kind == TTokenKind::End) SyntaxError(FToken.Position, LoadResString(&SFilterUnexpectedEnd));
    String text = FToken.Kind == TTokenKind::Text ? QuotedStr(FToken.Text) : FToken.Text;
    SyntaxError(FToken.Position, Format(LoadResString(&SFilterUnexpected), {text}));
  }

  bool IsKeyword(const char* AWord) const {
    return FToken.Kind == TTokenKind::Name && SameText(FToken.Text, AWord);
  }
  bool IsSymbol(const char* ASymbol) const {
    return FToken.Kind == TTokenKind::Symbol && FToken.Text == ASymbol;
  }
  bool IsReserved() const {
    static const char* const Words[] = {"AND", "OR", "NOT", "LIKE", "BETWEEN", "IN", "IS"};
    for (const char* word : Words)
      if (IsKeyword(word)) return true;
    return false;
  }
  void Expect(bool AFound) {
    if (!AFound) Unexpected();
    Advance();
  }

  std::unique_ptr<TFilterNode> ParseJoined(TFilterNodeKind AKind, const char* AWord,
                                           std::unique_ptr<TFilterNode> (TFilterParser::*AParsePart)()) {
    auto first = (this->*AParsePart)();
    if (!IsKeyword(AWord)) return first;
    auto node = MakeNode(AKind);
    node->Children.push_back(std::move(first));
    while (IsKeyword(AWord)) {
      Advance();
      node->Children.push_back((this->*AParsePart)());
    }
    return node;
  }

  std::unique_ptr<TFilterNode> ParseOr() { return ParseJoined(TFilterNodeKind::Or, "OR", &TFilterParser::ParseAnd); }
  std::unique_ptr<TFilterNode> ParseAnd() { return ParseJoined(TFilterNodeKind::And, "AND", &TFilterParser::ParseFactor); }

  std::unique_ptr<TFilterNode> ParseFactor() {
    if (IsKeyword("NOT") || IsSymbol("(")) return ParseNested();
    return ParsePredicate();
  }

  // NOT or a parenthesised condition, one level deeper.
  std::unique_ptr<TFilterNode> ParseNested() {
    TCounterScope<Integer> nested(FDepth);
    if (FDepth > MaxFilterNesting)
      SyntaxError(FToken.Position, Format(LoadResString(&SFilterTooDeep), {MaxFilterNesting}));
    std::unique_ptr<TFilterNode> node;
    if (IsKeyword("NOT")) {
      Advance();
      node = MakeNode(TFilterNodeKind::Not);
      node->Children.push_back(ParseFactor());
    } else {
      Advance();
      node = ParseOr();
      Expect(IsSymbol(")"));
    }
    return node;
  }

  TFilterOperand ParseOperand() {
    TFilterOperand operand;
    switch (FToken.Kind) {
      case TTokenKind::BracketName:
        operand.IsField = true;
        operand.FieldName = FToken.Text;
        break;
      case TTokenKind::Text:
        operand.Value = FToken.Text;
        break;
      case TTokenKind::Number:
        operand.Value = NumberValue(FToken.Text, false, FToken.Position);
        break;
      case TTokenKind::Symbol:
        if (!IsSymbol("-")) Unexpected();
        Advance();
        if (FToken.Kind != TTokenKind::Number) Unexpected();
        operand.Value = NumberValue(FToken.Text, true, FToken.Position);
        break;
      case TTokenKind::Name:
        if (IsKeyword("NULL"))
          operand.Value = Variant::Null();
        else if (IsKeyword("TRUE") || IsKeyword("FALSE"))
          operand.Value = IsKeyword("TRUE");
        else if (IsReserved())
          Unexpected();
        else {
          operand.IsField = true;
          operand.FieldName = FToken.Text;
        }
        break;
      case TTokenKind::End:
        Unexpected();
    }
    Advance();
    return operand;
  }

  static bool IsNullLiteral(const TFilterOperand& AOperand) {
    return !AOperand.IsField && VarIsNull(AOperand.Value);
  }

  std::unique_ptr<TFilterNode> ParsePredicate() {
    TFilterOperand left = ParseOperand();
    TFilterCompare compare;
    if (FToken.Kind == TTokenKind::Symbol && CompareFromSymbol(FToken.Text, compare)) {
      Advance();
      TFilterOperand right = ParseOperand();
      return MakeCompare(compare, std::move(left), std::move(right));
    }
    if (IsKeyword("IS")) {
      Advance();
      auto node = MakeNode(TFilterNodeKind::IsNull);
      if (IsKeyword("NOT")) {
        node->Negated = true;
        Advance();
      }
      Expect(IsKeyword("NULL"));
      node->Operands.push_back(std::move(left));
      return node;
    }
    bool negated = IsKeyword("NOT");
    if (negated) Advance();
    std::unique_ptr<TFilterNode> node;
    if (IsKeyword("LIKE"))
      node = ParseLike(std::move(left));
    else if (IsKeyword("BETWEEN"))
      node = ParseBetween(std::move(left));
    else if (IsKeyword("IN"))
      node = ParseIn(std::move(left));
    else
      Unexpected();
    node->Negated = negated;
    return node;
  }

  std::unique_ptr<TFilterNode> MakeCompare(TFilterCompare ACompare, TFilterOperand ALeft, TFilterOperand ARight) {
    bool nullTest = (ACompare == TFilterCompare::Equal || ACompare == TFilterCompare::NotEqual) &&
                    (IsNullLiteral(ALeft) || IsNullLiteral(ARight));
    if (nullTest) {
      auto node = MakeNode(TFilterNodeKind::IsNull);
      node->Negated = ACompare == TFilterCompare::NotEqual;
      node->Operands.push_back(IsNullLiteral(ALeft) ? std::move(ARight) : std::move(ALeft));
      return node;
    }
    auto node = MakeNode(TFilterNodeKind::Compare);
    node->Compare = ACompare;
    node->Operands.push_back(std::move(ALeft));
    node->Operands.push_back(std::move(ARight));
    return node;
  }

  std::unique_ptr<TFilterNode> ParseLike(TFilterOperand AValue) {
    Advance();
    if (FToken.Kind != TTokenKind::Text) SyntaxError(FToken.Position, LoadResString(&SFilterLikePattern));
    auto node = MakeNode(TFilterNodeKind::Like);
    node->Operands.push_back(std::move(AValue));
    node->Operands.push_back(ParseOperand());
    return node;
  }

  std::unique_ptr<TFilterNode> ParseBetween(TFilterOperand AValue) {
    Advance();
    auto node = MakeNode(TFilterNodeKind::Between);
    node->Operands.push_back(std::move(AValue));
    node->Operands.push_back(ParseOperand());
    Expect(IsKeyword("AND"));
    node->Operands.push_back(ParseOperand());
    return node;
  }

  std::unique_ptr<TFilterNode> ParseIn(TFilterOperand AValue) {
    Advance();
    Expect(IsSymbol("("));
    auto node = MakeNode(TFilterNodeKind::In);
    node->Operands.push_back(std::move(AValue));
    node->Operands.push_back(ParseOperand());
    while (IsSymbol(",")) {
      Advance();
      node->Operands.push_back(ParseOperand());
    }
    Expect(IsSymbol(")"));
    return node;
  }

  TFilterLexer FLexer;
  TToken FToken;
  Integer FDepth = 0;  // NOT and parentheses open at the token
};

char FoldCase(char c, bool ACaseInsensitive) { return ACaseInsensitive ? AnsiUpperChar(c) : c; }

}  // namespace

std::unique_ptr<TFilterNode> ParseFilterExpression(const String& AText) {
  if (Trim(AText).empty()) return nullptr;
  return TFilterParser(AText).ParseAll();
}

bool MatchLikePattern(const String& AText, const String& APattern, bool ACaseInsensitive) {
  // Greedy walk that remembers the last '%' to retry from: linear for one '%', never exponential.
  size_t t = 0, p = 0;
  size_t starPattern = String::npos, starText = 0;
  while (t < AText.size()) {
    if (p < APattern.size() && APattern[p] == '%') {
      starPattern = p++;
      starText = t;
    } else if (p < APattern.size() &&
               (APattern[p] == '_' || FoldCase(APattern[p], ACaseInsensitive) == FoldCase(AText[t], ACaseInsensitive))) {
      ++p;
      ++t;
    } else if (starPattern != String::npos) {
      p = starPattern + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < APattern.size() && APattern[p] == '%') ++p;
  return p == APattern.size();
}
