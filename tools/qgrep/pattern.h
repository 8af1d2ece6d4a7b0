// The pattern of one search: terms separated by " and ", each a regular
// expression or literal text, compared with folded lines (fold.h). A line
// matches when every term matches it; a pattern without terms matches every
// line. Does not read files: line_scan.h feeds it lines.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qgrep {

enum class MatchResult { kMatch, kNoMatch, kTooCostly };

// The pieces of `pattern` between occurrences of " and " (space, a, n, d,
// space), left to right; empty pieces are dropped.
std::vector<std::string> SplitTerms(std::string_view pattern);

class Pattern {
 public:
  // `utf8` is the pattern as given. A term with a sign of expression syntax
  // (\ ^ $ . | ? * + ( ) [ ] { }) is compiled as a regular expression
  // (PCRE2, UTF, without regard to case, folded in FoldMode::kExpression);
  // a term without one, or one that does not compile, is literal text
  // (folded in FoldMode::kText).
  explicit Pattern(std::string_view utf8);
  ~Pattern();
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;

  // Whether every term matches the folded line. kTooCostly when an
  // expression went over the match limits on it, which stops the search:
  // the line can be told neither way.
  MatchResult Match(std::string_view foldedLine) const;

  // The folded literal terms: text that the folded form of every matching
  // line holds. The prefilter is chosen from them.
  std::vector<std::string> LiteralTerms() const;

  // True when there are no terms: every line matches, folded or not.
  bool MatchesEveryLine() const { return terms_.empty(); }

  // The term, as given, that last went over the match limits.
  const std::string& CostlyTerm() const { return costlyTerm_; }

 private:
  struct Term;
  struct Limits;
  std::unique_ptr<Limits> limits_;
  std::vector<std::unique_ptr<Term>> terms_;  // literal terms first: they are cheaper
  mutable std::string costlyTerm_;
};

}  // namespace qgrep
