// Filter expressions of datasets, parsed into a condition tree whose values stay values (a storage
// binds them; no text of the expression reaches a query). The syntax is what the data controller
// writes:
//   condition  := term { OR term }            term := factor { AND factor }
//   factor     := NOT factor | '(' condition ')' | predicate
//   predicate  := operand ( ('=' | '<>' | '<' | '<=' | '>' | '>=') operand
//                         | [NOT] LIKE 'pattern' | [NOT] BETWEEN operand AND operand
//                         | [NOT] IN '(' operand { ',' operand } ')' | IS [NOT] NULL )
//   operand    := name | '[' name ']' | 'text' | number | NULL | TRUE | FALSE
// Keywords are read without case; "]]" in a bracketed name and "''" in a text stand for one
// character; "= NULL" and "<> NULL" mean IS NULL and IS NOT NULL. A number's decimal point is '.'
// or the locale's decimal separator followed by a digit; dates are texts in the locale's format
// or ISO 8601.
#pragma once

#include <memory>
#include <vector>

#include "platform/data/DB.h"

enum class TFilterNodeKind { And, Or, Not, Compare, Like, Between, In, IsNull };
enum class TFilterCompare { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// A field named by the expression, or a literal value (text, number, Boolean or Null).
struct TFilterOperand {
  bool IsField = false;
  String FieldName;
  Variant Value;
};

struct TFilterNode {
  TFilterNodeKind Kind = TFilterNodeKind::And;
  TFilterCompare Compare = TFilterCompare::Equal;
  // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL.
  bool Negated = false;
  // And and Or: two or more; Not: one.
  std::vector<std::unique_ptr<TFilterNode>> Children;
  // Compare: left, right. Like: value, pattern. Between: value, low, high. In: value, items.
  // IsNull: value.
  std::vector<TFilterOperand> Operands;
};

// How deep NOT and parentheses may nest in a filter text: the parser recurses on them, and the
// database engine's parser refuses a condition nested a little deeper (about 30 groups).
constexpr Integer MaxFilterNesting = 24;

// The tree of a filter text; nullptr for a blank text. Raises EDatabaseError naming the
// position (1-based) of the first fault.
std::unique_ptr<TFilterNode> ParseFilterExpression(const String& AText);

// LIKE: '%' stands for any run of characters, '_' for one character.
bool MatchLikePattern(const String& AText, const String& APattern, bool ACaseInsensitive);
