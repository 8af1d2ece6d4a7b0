#include "tools/qgrep/pattern.h"

#include <re2/re2.h>  // RE2::QuoteMeta

#include <algorithm>  // std::stable_partition

#include "tools/qgrep/fold.h"

namespace qgrep {
namespace {

bool HasExpressionSign(std::string_view term) {
  return term.find_first_of("\\^$.|?*+()[]{}") != std::string_view::npos;
}

// The pieces of folded literal text between the hyphens of its postal codes.
std::vector<std::string> PiecesBetween(const std::string& text, const std::vector<size_t>& hyphens) {
  std::vector<std::string> pieces;
  size_t from = 0;
  for (size_t at : hyphens) {
    pieces.push_back(text.substr(from, at - from));
    from = at + 1;
  }
  pieces.push_back(text.substr(from));
  return pieces;
}

}  // namespace

std::vector<std::string> SplitTerms(std::string_view pattern) {
  constexpr std::string_view kAnd = " and ";
  std::vector<std::string> terms;
  while (true) {
    size_t at = pattern.find(kAnd);
    std::string_view piece = pattern.substr(0, at);
    if (!piece.empty()) terms.emplace_back(piece);
    if (at == std::string_view::npos) break;
    pattern.remove_prefix(at + kAnd.size());
  }
  return terms;
}

struct Pattern::Term {
  std::string given;
  // Literal text: the folded term, and the pieces between its postal
  // codes' hyphens (one piece when it holds none).
  std::string literal;
  std::vector<std::string> pieces;
  // An expression, or literal text with postal codes, whose hyphens may
  // be missing from the line.
  std::unique_ptr<Expression> expression;
  bool IsLiteral() const { return !pieces.empty(); }
};

Pattern::Pattern(std::string_view utf8, BudgetLimits limits) : budget_(limits) {
  for (std::string& text : SplitTerms(utf8)) {
    auto term = std::make_unique<Term>();
    term->given = std::move(text);
    if (HasExpressionSign(term->given)) {
      auto expression = std::make_unique<Expression>(FoldUtf8(term->given, FoldMode::kExpression), budget_);
      if (expression->GetKind() == Expression::Kind::kCannotCompile && error_.empty())
        error_ = "expression cannot be searched: \"" + term->given + "\" (" + expression->Error() + ")";
      if (expression->GetKind() != Expression::Kind::kNotAnExpression) term->expression = std::move(expression);
    }
    if (!term->expression) {
      term->literal = FoldUtf8(term->given, FoldMode::kText);
      term->pieces = PiecesBetween(term->literal, PostalCodeHyphens(term->literal));
      if (term->pieces.size() > 1) {
        std::string either;
        for (size_t i = 0; i < term->pieces.size(); ++i) either += (i ? "-?" : "") + RE2::QuoteMeta(term->pieces[i]);
        term->expression = std::make_unique<Expression>(either, budget_);
      }
    }
    terms_.push_back(std::move(term));
  }
  std::stable_partition(terms_.begin(), terms_.end(), [](const auto& t) { return !t->expression; });
}

Pattern::~Pattern() = default;

MatchResult Pattern::Match(std::string_view line) {
  if (!error_.empty()) return MatchResult::kNoMatch;
  for (const auto& term : terms_) {
    if (!term->expression) {
      if (line.find(term->literal) == std::string_view::npos) return MatchResult::kNoMatch;
      continue;
    }
    MatchResult result = term->expression->Match(line);
    if (result == MatchResult::kTooCostly) costlyTerm_ = term->given;
    if (result != MatchResult::kMatch) return result;
  }
  return MatchResult::kMatch;
}

std::vector<std::string> Pattern::LiteralTerms() const {
  std::vector<std::string> literals;
  for (const auto& term : terms_)
    for (const std::string& piece : term->pieces)
      if (!piece.empty()) literals.push_back(piece);
  return literals;
}

}  // namespace qgrep
