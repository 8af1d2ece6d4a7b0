// One regular-expression term, compiled for an engine that matches it in
// bounded time: RE2, whose time is linear in the text, for every expression
// it can express; PCRE2 for the rest (back-references, look-around), with
// every step counted against the search's budget. Matches folded lines;
// folding the term and the lines is fold.h's work.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/qgrep/search_budget.h"

namespace qgrep {

enum class MatchResult { kMatch, kNoMatch, kTooCostly };

class Expression {
 public:
  enum class Kind {
    kLinear,           // RE2
    kBacktracking,     // PCRE2, under the budget
    kNotAnExpression,  // a syntax error: the term is plain text
    kCannotCompile,    // valid, but too large or unsupported: see Error()
  };

  // A linear match whose worst case on a line (line length times program
  // size, where the DFA gives up and the NFA runs every instruction at every
  // byte; about 12 ns a unit) is above this is refused as too costly: a
  // line of 1.6 MB folded (1 MB of CP932 text with kana) takes an expression
  // of at most 25 instructions, such as a.*a.*z.
  static constexpr double kMostUnitsPerLine = 4e7;

  // `folded` is the term folded in FoldMode::kExpression; it is matched
  // without regard to case. `budget` outlives the expression.
  Expression(const std::string& folded, SearchBudget& budget);
  ~Expression();
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  Kind GetKind() const { return kind_; }

  // Why a kCannotCompile expression did not compile.
  const std::string& Error() const { return error_; }

  // Whether the expression matches somewhere in `foldedLine` (valid UTF-8).
  // kTooCostly when the budget is spent or the line alone would cost too
  // much: the line can be told neither way.
  MatchResult Match(std::string_view foldedLine);

 private:
  struct Linear;
  struct Backtracking;
  SearchBudget& budget_;
  Kind kind_ = Kind::kNotAnExpression;
  std::string error_;
  std::unique_ptr<Linear> linear_;
  std::unique_ptr<Backtracking> backtracking_;
};

}  // namespace qgrep
