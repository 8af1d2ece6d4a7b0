// The pattern of one search: terms separated by " and ", each a regular
// expression or literal text, compared with folded lines (fold.h). A line
// matches when every term matches it; a pattern without terms matches every
// line. Expressions are matched under one budget for the whole search
// (search_budget.h). Does not read files: line_scan.h feeds it lines.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/qgrep/expression.h"
#include "tools/qgrep/search_budget.h"

namespace qgrep {

// The pieces of `pattern` between occurrences of " and " (space, a, n, d,
// space), left to right; empty pieces are dropped.
std::vector<std::string> SplitTerms(std::string_view pattern);

class Pattern {
 public:
  // `utf8` is the pattern as given. A term with a sign of expression syntax
  // (\ ^ $ . | ? * + ( ) [ ] { }) is a regular expression (expression.h,
  // folded in FoldMode::kExpression); a term without one, or one with a
  // syntax error, is literal text (folded in FoldMode::kText). A literal
  // term that holds a postal code written with a hyphen (060-0061) matches
  // it written so or as its seven digits; every other term matches as
  // written.
  explicit Pattern(std::string_view utf8, BudgetLimits limits = {});
  ~Pattern();
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;

  // Empty when every term can be searched; otherwise which expression
  // cannot, and why. Such a pattern matches nothing.
  const std::string& Error() const { return error_; }

  // Whether every term matches the folded line. kTooCostly when the
  // search's budget is spent or an expression cannot tell this line in
  // bounded time: the search stops.
  MatchResult Match(std::string_view foldedLine);

  // Widens the search's budget for a file of `bytes` bytes to search.
  void AddText(size_t bytes) { budget_.AddText(bytes); }

  // Folded text that every matching line holds (in its folded form). The
  // prefilter is chosen from it.
  std::vector<std::string> LiteralTerms() const;

  // True when there are no terms: every line matches, folded or not.
  bool MatchesEveryLine() const { return terms_.empty(); }

  // The term, as given, that stopped the search.
  const std::string& CostlyTerm() const { return costlyTerm_; }

 private:
  struct Term;
  SearchBudget budget_;
  std::vector<std::unique_ptr<Term>> terms_;  // literal terms first: they are cheaper
  std::string error_;
  std::string costlyTerm_;
};

}  // namespace qgrep
