#include "tools/qgrep/pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>  // std::stable_partition

#include "tools/qgrep/fold.h"

namespace qgrep {
namespace {

// A postal-data line is about a hundred characters long: an expression
// that needs more than these on one line is backtracking without end.
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kDepthLimit = 10'000;
constexpr uint32_t kHeapLimitKiB = 16 * 1024;
constexpr size_t kJitStackBytes = 1024 * 1024;

bool HasExpressionSign(std::string_view term) {
  return term.find_first_of("\\^$.|?*+()[]{}") != std::string_view::npos;
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

// The match limits and the JIT stack, shared by all terms.
struct Pattern::Limits {
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* stack = nullptr;

  Limits() {
    context = pcre2_match_context_create(nullptr);
    if (!context) return;
    pcre2_set_match_limit(context, kMatchLimit);
    pcre2_set_depth_limit(context, kDepthLimit);
    pcre2_set_heap_limit(context, kHeapLimitKiB);
    stack = pcre2_jit_stack_create(32 * 1024, kJitStackBytes, nullptr);
    if (stack) pcre2_jit_stack_assign(context, nullptr, stack);
  }
  ~Limits() {
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
  }
};

struct Pattern::Term {
  std::string given;
  std::string literal;              // folded text, when there is no expression
  pcre2_code* code = nullptr;       // the compiled expression, or null
  pcre2_match_data* data = nullptr;

  ~Term() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
};

Pattern::Pattern(std::string_view utf8) : limits_(std::make_unique<Limits>()) {
  for (std::string& text : SplitTerms(utf8)) {
    auto term = std::make_unique<Term>();
    term->given = std::move(text);
    if (HasExpressionSign(term->given) && limits_->context) {
      std::string folded = FoldUtf8(term->given, FoldMode::kExpression);
      int error = 0;
      PCRE2_SIZE offset = 0;
      term->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(folded.data()), folded.size(),
                                 PCRE2_UTF | PCRE2_CASELESS, &error, &offset, nullptr);
      if (term->code) {
        pcre2_jit_compile(term->code, PCRE2_JIT_COMPLETE);  // the interpreter runs where JIT cannot
        term->data = pcre2_match_data_create_from_pattern(term->code, nullptr);
        if (!term->data) {
          pcre2_code_free(term->code);
          term->code = nullptr;
        }
      }
    }
    if (!term->code) term->literal = FoldUtf8(term->given, FoldMode::kText);
    terms_.push_back(std::move(term));
  }
  std::stable_partition(terms_.begin(), terms_.end(), [](const auto& t) { return t->code == nullptr; });
}

Pattern::~Pattern() = default;

MatchResult Pattern::Match(std::string_view line) const {
  for (const auto& term : terms_) {
    if (!term->code) {
      if (line.find(term->literal) == std::string_view::npos) return MatchResult::kNoMatch;
      continue;
    }
    // Folded lines are valid UTF-8 by construction.
    int rc = pcre2_match(term->code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0,
                         PCRE2_NO_UTF_CHECK, term->data, limits_->context);
    if (rc == PCRE2_ERROR_NOMATCH) return MatchResult::kNoMatch;
    if (rc < 0) {
      // The match, depth, heap and JIT stack limits, and anything else
      // that leaves the line undecided.
      costlyTerm_ = term->given;
      return MatchResult::kTooCostly;
    }
  }
  return MatchResult::kMatch;
}

std::vector<std::string> Pattern::LiteralTerms() const {
  std::vector<std::string> literals;
  for (const auto& term : terms_)
    if (!term->code) literals.push_back(term->literal);
  return literals;
}

}  // namespace qgrep
