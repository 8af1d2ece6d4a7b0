// Checks qgrep's matcher against a plain reference on short random lines.
// Terms and lines are made of letters that folding brings together, each
// with several spellings: か カ ｶ; が ガ ｶﾞ; つ っ ツ ッ ﾂ ｯ; a A ａ Ａ;
// b B ｂ Ｂ; 0 ０; 7 ７; - ー － ｰ; and ",". Lines are CP932 (spelled out
// here in bytes) and may hold a byte that forms no character. A pattern
// has one or two terms, each literal text (postal codes such as 070-7707
// among it) or a small expression: letters, ".", classes, ? * +, groups
// with alternatives, look-ahead and a back-reference.
//
// The reference folds every spelling to one ASCII character by its own
// table, then decides on the folded text: a literal term with find (a
// postal code with or without its hyphen), an expression with std::regex.
// The prefilter must find every line that matches.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tools/qgrep/fold.h"
#include "tools/qgrep/pattern.h"
#include "tools/qgrep/prefilter.h"

namespace {

struct Spelling {
  const char* term;  // UTF-8
  const char* line;  // CP932
};

struct Letter {
  char folded;
  std::vector<Spelling> spellings;
};

const std::vector<Letter>& Letters() {
  static const std::vector<Letter> letters = {
      {'k', {{"か", "\x82\xA9"}, {"カ", "\x83\x4A"}, {"ｶ", "\xB6"}}},
      {'g', {{"が", "\x82\xAA"}, {"ガ", "\x83\x4B"}, {"ｶﾞ", "\xB6\xDE"}}},
      {'t',
       {{"つ", "\x82\xC2"}, {"っ", "\x82\xC1"}, {"ツ", "\x83\x63"}, {"ッ", "\x83\x62"}, {"ﾂ", "\xC2"}, {"ｯ", "\xAF"}}},
      {'a', {{"a", "a"}, {"A", "A"}, {"ａ", "\x82\x81"}, {"Ａ", "\x82\x60"}}},
      {'b', {{"b", "b"}, {"B", "B"}, {"ｂ", "\x82\x82"}, {"Ｂ", "\x82\x61"}}},
      {'0', {{"0", "0"}, {"０", "\x82\x4F"}}},
      {'7', {{"7", "7"}, {"７", "\x82\x56"}}},
      {'-', {{"-", "-"}, {"ー", "\x81\x5B"}, {"－", "\x81\x7C"}, {"ｰ", "\xB0"}}},
      {',', {{",", ","}}},
  };
  return letters;
}

const Letter& LetterOf(char folded) {
  for (const Letter& letter : Letters())
    if (letter.folded == folded) return letter;
  return Letters().back();
}

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  unsigned Next(unsigned below) { return below ? (at_ < size_ ? data_[at_++] : 0) % below : 0; }
  bool Done() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

bool IsDigit(char c) { return c == '0' || c == '7'; }

struct Term {
  std::string utf8;    // as given to qgrep
  std::string folded;  // literal: the reference's folded text
  std::string regex;   // expression: for std::regex, on folded text
  bool expression = false;
};

void AddLetter(Input& in, const Letter& letter, Term& term) {
  term.utf8 += letter.spellings[in.Next(static_cast<unsigned>(letter.spellings.size()))].term;
  term.folded += letter.folded;
  term.regex += letter.folded == '-' ? std::string("\\-") : std::string(1, letter.folded);
}

void AddRandomLetter(Input& in, Term& term) {
  AddLetter(in, Letters()[in.Next(static_cast<unsigned>(Letters().size()))], term);
}

Term MakeLiteral(Input& in) {
  Term term;
  for (unsigned n = 1 + in.Next(10); n > 0; --n) {
    if (in.Next(5) == 0) {
      for (const char* c = "070-7707"; *c; ++c) {
        char folded = *c == '-' ? '-' : IsDigit(*c) && in.Next(2) ? (in.Next(2) ? '0' : '7') : *c;
        AddLetter(in, LetterOf(folded), term);
      }
    } else {
      AddRandomLetter(in, term);
    }
  }
  return term;
}

// A letter, ".", or a class of letters (no hyphen: inside a class it
// would be a range), as the term writes it and as std::regex reads it.
void AddAtom(Input& in, Term& term) {
  switch (in.Next(4)) {
    case 0:
      term.utf8 += ".";
      term.regex += ".";
      return;
    case 1: {
      bool negated = in.Next(2);
      term.utf8 += negated ? "[^" : "[";
      term.regex += negated ? "[^" : "[";
      for (unsigned n = 1 + in.Next(3); n > 0; --n) {
        const Letter& letter = Letters()[in.Next(static_cast<unsigned>(Letters().size()))];
        if (letter.folded == '-') continue;
        Term part;
        AddLetter(in, letter, part);
        term.utf8 += part.utf8;
        term.regex += part.regex;
      }
      if (term.regex.back() == '[' || term.regex.back() == '^') {
        term.utf8 += "a";
        term.regex += "a";
      }
      term.utf8 += "]";
      term.regex += "]";
      return;
    }
    default: AddRandomLetter(in, term);
  }
}

void AddQuantifier(Input& in, Term& term) {
  static const char* const kQuantifiers[] = {"", "", "?", "*", "+"};
  const char* q = kQuantifiers[in.Next(5)];
  term.utf8 += q;
  term.regex += q;
}

void AddSequence(Input& in, Term& term, unsigned most) {
  for (unsigned n = 1 + in.Next(most); n > 0; --n) {
    AddAtom(in, term);
    AddQuantifier(in, term);
  }
}

void AddText(Term& term, const char* text) {
  term.utf8 += text;
  term.regex += text;
}

Term MakeExpression(Input& in) {
  Term term;
  term.expression = true;
  AddText(term, "(?:");
  bool firstIsGroup = false;
  for (unsigned item = 0, n = 1 + in.Next(5); item < n; ++item) {
    switch (in.Next(6)) {
      case 0:  // a group of alternatives; only the first one captures
        AddText(term, item == 0 ? "(" : "(?:");
        AddSequence(in, term, 2);
        AddText(term, "|");
        AddSequence(in, term, 2);
        AddText(term, ")");
        firstIsGroup |= item == 0;
        break;
      case 1:
        AddText(term, in.Next(2) ? "(?=" : "(?!");
        AddSequence(in, term, 2);
        AddText(term, ")");
        break;
      default: AddAtom(in, term); AddQuantifier(in, term);
    }
  }
  if (firstIsGroup && in.Next(3) == 0) AddText(term, "\\1");
  AddText(term, ")");
  return term;
}

// The reference's answer for a literal term: its folded text found in the
// folded line, where each postal code (three digits, "-", four digits, in
// no longer run of digits) may also stand without its hyphen.
bool LiteralMatches(const std::string& term, const std::string& line) {
  std::vector<size_t> codes;
  for (size_t i = 3; i + 4 < term.size(); ++i) {
    if (term[i] != '-') continue;
    bool ok = true;
    for (size_t k = i - 3; k < i; ++k) ok &= IsDigit(term[k]);
    for (size_t k = i + 1; k <= i + 4; ++k) ok &= IsDigit(term[k]);
    ok &= (i == 3 || !IsDigit(term[i - 4])) && (i + 5 == term.size() || !IsDigit(term[i + 5]));
    if (ok) codes.push_back(i);
  }
  for (size_t mask = 0; mask < (size_t{1} << codes.size()); ++mask) {
    std::string variant;
    for (size_t i = 0; i < term.size(); ++i) {
      bool dropped = false;
      for (size_t k = 0; k < codes.size(); ++k) dropped |= codes[k] == i && (mask >> k & 1);
      if (!dropped) variant += term[i];
    }
    if (line.find(variant) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  std::vector<Term> terms;
  for (unsigned n = 1 + in.Next(2); n > 0; --n) terms.push_back(in.Next(2) ? MakeExpression(in) : MakeLiteral(in));
  std::string pattern;
  for (const Term& term : terms) pattern += (pattern.empty() ? "" : " and ") + term.utf8;
  qgrep::Pattern matcher(pattern);
  FUZZ_CHECK(matcher.Error().empty());
  std::vector<std::regex> regexes;
  for (const Term& term : terms)
    if (term.expression) regexes.emplace_back(term.regex, std::regex::ECMAScript);
  std::optional<qgrep::Prefilter> prefilter = qgrep::Prefilter::Choose(matcher.LiteralTerms());

  std::string buffer;
  for (unsigned lines = 1 + in.Next(4); lines > 0 && !in.Done(); --lines) {
    std::string raw, folded;
    for (unsigned n = in.Next(16); n > 0; --n) {
      unsigned pick = in.Next(static_cast<unsigned>(Letters().size()) + 2);
      if (pick == Letters().size()) {
        raw += "\x80";  // no character: folds to what no term holds
        folded += '~';
      } else if (pick > Letters().size()) {
        // The first term's letters, spelled anew; a postal code's hyphen
        // may be left out.
        for (char c : terms[0].expression ? std::string("ak") : terms[0].folded) {
          if (c == '-' && in.Next(2)) continue;
          const Letter& letter = LetterOf(c);
          raw += letter.spellings[in.Next(static_cast<unsigned>(letter.spellings.size()))].line;
          folded += c;
        }
      } else {
        const Letter& letter = Letters()[pick];
        raw += letter.spellings[in.Next(static_cast<unsigned>(letter.spellings.size()))].line;
        folded += letter.folded;
      }
    }
    bool expected = true;
    size_t r = 0;
    for (const Term& term : terms)
      expected =
          expected && (term.expression ? std::regex_search(folded, regexes[r++]) : LiteralMatches(term.folded, folded));
    qgrep::MatchResult got = matcher.Match(qgrep::FoldCp932(raw, buffer));
    FUZZ_CHECK(got != qgrep::MatchResult::kTooCostly);
    FUZZ_CHECK((got == qgrep::MatchResult::kMatch) == expected);
    if (expected && prefilter) FUZZ_CHECK(prefilter->Find(raw.data(), raw.size()) < raw.size());
  }
  return 0;
}
