// Helpers of the regular-expression tests: compiling from text, the errors of a compilation as
// their full texts, and a recorder of the forced-literal events.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "editors/qvRegExpr.h"

inline void CompilePattern(TqvRegExpr& AExpr, const String& APattern) {
  TStringStream source(APattern);
  AExpr.Compile(&source);
}

// The full texts of the errors, in the order found; empty when the pattern compiles.
inline std::vector<String> CompileErrors(const String& APattern) {
  TqvRegExpr expr;
  try {
    CompilePattern(expr, APattern);
  } catch (const EqvRegExprError& e) {
    std::vector<String> texts;
    for (Integer i = 0; i < e.GetErrors().GetCount(); ++i) texts.push_back(e.GetErrors().GetItem(i).GetFullText());
    return texts;
  }
  return {};
}

// An expression with its events recorded: Text is what an edit would show (typed characters
// as the expression re-cased them, forced literals added and deleted).
struct TRecordingRegExpr {
  TqvRegExpr Expr;
  String Text;
  Integer Added = 0;
  Integer Deleted = 0;

  explicit TRecordingRegExpr(const String& APattern, bool AUpdateOn = false, bool ACaseInsensitive = false) {
    Expr.OnAddChar = [this](char c) {
      Text += c;
      ++Added;
    };
    Expr.OnDeleteChar = [this] {
      Text.pop_back();
      ++Deleted;
    };
    Expr.SetUpdateOn(AUpdateOn);
    Expr.SetCaseInsensitive(ACaseInsensitive);
    CompilePattern(Expr, APattern);
  }

  // Types each character (the automaton may add forced literals after it); stops at the first
  // refusal and returns how many were taken.
  size_t Type(const String& AChars) {
    for (size_t i = 0; i < AChars.size(); ++i) {
      char ch = AChars[i];
      size_t at = Text.size();
      Text += ch;
      if (!Expr.ConsumeChar(ch)) {
        Text.pop_back();
        return i;
      }
      Text[at] = ch;
    }
    return AChars.size();
  }

  // Backspace: forced literals before the caret go with the typed character before them.
  bool Backspace() {
    bool stepped = Expr.StepBack();
    if (stepped) Text.pop_back();
    return stepped;
  }
};
