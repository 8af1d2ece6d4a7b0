#include "tools/qgrep/expression.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <re2/re2.h>

namespace qgrep {
namespace {

// RE2's memory for the compiled program and its DFA cache: it bounds the
// program size, and so the cost of a line where the DFA gives up.
constexpr int64_t kLinearMemory = 4 << 20;

// PCRE2's memory limits; its time is the budget's.
constexpr uint32_t kDepthLimit = 10'000;
constexpr uint32_t kHeapLimitKiB = 16 * 1024;
constexpr size_t kJitStackBytes = 1024 * 1024;

// The units of one PCRE2 step: a callout at every item of the expression.
constexpr uint64_t kUnitsPerStep = 20;
constexpr int kBudgetSpent = -1000;  // a callout's answer that ends the match

// The compile errors of a text that is not written as an expression at all;
// every other failure (too large, too deep, a look-behind of no fixed
// length, an unsupported feature) is reported, never taken as text.
bool IsSyntaxError(int code) {
  switch (code) {
    case PCRE2_ERROR_END_BACKSLASH:
    case PCRE2_ERROR_UNKNOWN_ESCAPE:
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
    case PCRE2_ERROR_ESCAPE_INVALID_IN_CLASS:
    case PCRE2_ERROR_CLASS_RANGE_ORDER:
    case PCRE2_ERROR_QUANTIFIER_INVALID:
    case PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY:
    case PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS:
    case PCRE2_ERROR_POSIX_NO_SUPPORT_COLLATING:
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
    case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE:
    case PCRE2_ERROR_MISSING_COMMENT_CLOSING:
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
    case PCRE2_ERROR_MISSING_CONDITION_CLOSING:
    case PCRE2_ERROR_ZERO_RELATIVE_REFERENCE:
    case PCRE2_ERROR_TOO_MANY_CONDITION_BRANCHES:
    case PCRE2_ERROR_CONDITION_ASSERTION_EXPECTED:
    case PCRE2_ERROR_BAD_RELATIVE_REFERENCE:
    case PCRE2_ERROR_UNKNOWN_POSIX_CLASS:
    case PCRE2_ERROR_MISSING_CALLOUT_CLOSING:
    case PCRE2_ERROR_ESCAPE_INVALID_IN_VERB:
    case PCRE2_ERROR_UNRECOGNIZED_AFTER_QUERY_P:
    case PCRE2_ERROR_MISSING_NAME_TERMINATOR:
    case PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME:
    case PCRE2_ERROR_INVALID_SUBPATTERN_NAME:
    case PCRE2_ERROR_MALFORMED_UNICODE_PROPERTY:
    case PCRE2_ERROR_UNKNOWN_UNICODE_PROPERTY:
    case PCRE2_ERROR_CLASS_INVALID_RANGE:
    case PCRE2_ERROR_DEFINE_TOO_MANY_BRANCHES:
    case PCRE2_ERROR_BACKSLASH_O_MISSING_BRACE:
    case PCRE2_ERROR_BACKSLASH_G_SYNTAX:
    case PCRE2_ERROR_PARENS_QUERY_R_MISSING_CLOSING:
    case PCRE2_ERROR_VERB_ARGUMENT_NOT_ALLOWED:
    case PCRE2_ERROR_VERB_UNKNOWN:
    case PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED:
    case PCRE2_ERROR_INVALID_OCTAL:
    case PCRE2_ERROR_SUBPATTERN_NAMES_MISMATCH:
    case PCRE2_ERROR_MARK_MISSING_ARGUMENT:
    case PCRE2_ERROR_INVALID_HEXADECIMAL:
    case PCRE2_ERROR_BACKSLASH_C_SYNTAX:
    case PCRE2_ERROR_BACKSLASH_K_SYNTAX:
    case PCRE2_ERROR_BACKSLASH_N_IN_CLASS:
    case PCRE2_ERROR_MISSING_OCTAL_OR_HEX_DIGITS:
    case PCRE2_ERROR_VERSION_CONDITION_SYNTAX:
    case PCRE2_ERROR_CALLOUT_NO_STRING_DELIMITER:
    case PCRE2_ERROR_CALLOUT_BAD_STRING_DELIMITER:
    case PCRE2_ERROR_INVALID_HYPHEN_IN_OPTIONS:
    case PCRE2_ERROR_ALPHA_ASSERTION_UNKNOWN:
    case PCRE2_ERROR_CONDITION_ATOMIC_ASSERTION_EXPECTED: return true;
    default: return false;
  }
}

std::string ErrorText(int code) {
  PCRE2_UCHAR text[256];
  int n = pcre2_get_error_message(code, text, sizeof text);
  return n < 0 ? "error " + std::to_string(code) : std::string(reinterpret_cast<char*>(text), static_cast<size_t>(n));
}

int CountStep(pcre2_callout_block*, void* budget) {
  return static_cast<SearchBudget*>(budget)->Spend(kUnitsPerStep) ? 0 : kBudgetSpent;
}

}  // namespace

struct Expression::Linear {
  std::unique_ptr<RE2> re;
  double programSize = 0;
};

struct Expression::Backtracking {
  pcre2_code* code = nullptr;
  pcre2_match_data* data = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* stack = nullptr;

  ~Backtracking() {
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
};

Expression::Expression(const std::string& folded, SearchBudget& budget) : budget_(budget) {
  RE2::Options options;
  options.set_encoding(RE2::Options::EncodingUTF8);
  options.set_case_sensitive(false);
  options.set_never_capture(true);
  options.set_log_errors(false);
  options.set_max_mem(kLinearMemory);
  auto re = std::make_unique<RE2>(folded, options);
  if (re->ok()) {
    linear_ = std::make_unique<Linear>();
    linear_->programSize = re->ProgramSize();
    linear_->re = std::move(re);
    kind_ = Kind::kLinear;
    return;
  }

  // What RE2 cannot express, or not within its memory.
  auto b = std::make_unique<Backtracking>();
  int code = 0;
  PCRE2_SIZE offset = 0;
  b->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(folded.data()), folded.size(),
                          PCRE2_UTF | PCRE2_CASELESS | PCRE2_AUTO_CALLOUT, &code, &offset, nullptr);
  if (!b->code) {
    kind_ = IsSyntaxError(code) ? Kind::kNotAnExpression : Kind::kCannotCompile;
    error_ = ErrorText(code);
    return;
  }
  pcre2_jit_compile(b->code, PCRE2_JIT_COMPLETE);  // the interpreter runs where JIT cannot
  b->data = pcre2_match_data_create_from_pattern(b->code, nullptr);
  b->context = pcre2_match_context_create(nullptr);
  if (!b->data || !b->context) {
    kind_ = Kind::kCannotCompile;
    error_ = "out of memory";
    return;
  }
  pcre2_set_depth_limit(b->context, kDepthLimit);
  pcre2_set_heap_limit(b->context, kHeapLimitKiB);
  pcre2_set_callout(b->context, CountStep, &budget_);
  b->stack = pcre2_jit_stack_create(32 * 1024, kJitStackBytes, nullptr);
  if (b->stack) pcre2_jit_stack_assign(b->context, nullptr, b->stack);
  backtracking_ = std::move(b);
  kind_ = Kind::kBacktracking;
}

Expression::~Expression() = default;

MatchResult Expression::Match(std::string_view line) {
  if (budget_.IsSpent()) return MatchResult::kTooCostly;
  if (linear_) {
    // The worst case: a DFA that gives up and an NFA that runs every
    // instruction at every byte.
    double units = static_cast<double>(line.size() + 1) * linear_->programSize;
    if (units > kMostUnitsPerLine) return MatchResult::kTooCostly;
    bool found = RE2::PartialMatch(re2::StringPiece(line.data(), line.size()), *linear_->re);
    // The line is told; a spent budget stops the search at the next one.
    budget_.Spend(static_cast<uint64_t>(units));
    return found ? MatchResult::kMatch : MatchResult::kNoMatch;
  }
  if (!backtracking_) return MatchResult::kNoMatch;
  // Folded lines are valid UTF-8 by construction.
  int rc = pcre2_match(backtracking_->code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0,
                       PCRE2_NO_UTF_CHECK, backtracking_->data, backtracking_->context);
  if (rc == PCRE2_ERROR_NOMATCH) return MatchResult::kNoMatch;
  // The budget, the depth, heap and JIT stack limits, and anything else
  // that leaves the line undecided.
  if (rc < 0) return MatchResult::kTooCostly;
  return MatchResult::kMatch;
}

}  // namespace qgrep
