// The linear-time unwrapping against the literal one, on many generated texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "link_rewriting.h"
#include "literal_unwrap.h"
#include "redirector_links.h"

namespace {

// Texts built from the pieces that matter: whole and partial redirector addresses, their
// host names, schemes, slashes, quotes, plain text and Shift-JIS double-byte characters.
std::string RandomText(std::mt19937 &random, const std::vector<std::string> &pieces) {
  std::string text;
  const std::size_t count = random() % 24;
  for (std::size_t i = 0; i < count; ++i) {
    text += pieces[random() % pieces.size()];
  }
  return text;
}

std::vector<std::string> PiecesFor(const std::vector<std::string> &patterns) {
  std::vector<std::string> pieces = {"http://",          "/",    "\"",   "x",
                                     "www.example.com/", "h",    "ttp:", "\x83\x52",
                                     "\x82\xA0",         "\x83", " "};
  for (const std::string &pattern : patterns) {
    pieces.push_back(pattern);
    pieces.push_back(pattern.substr(7));                      // host name and slash
    pieces.push_back(pattern.substr(0, pattern.size() - 1));  // without the slash
    pieces.push_back(pattern.substr(0, pattern.size() / 2));
  }
  return pieces;
}

TEST(UnwrapRedirectors, EqualsTheLiteralAlgorithmOnGeneratedTexts) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pieces = PiecesFor({Pattern(0), Pattern(1)});
  for (int i = 0; i < 200000; ++i) {
    const std::string input = RandomText(random, pieces);
    std::string fast = input, literal = input;
    const bool fast_changed = Apply(UnwrapRedirectors, fast);
    const bool literal_changed = Apply(LiteralUnwrapRedirectors, literal);
    ASSERT_EQ(fast, literal) << "input: " << testing::PrintToString(input);
    ASSERT_EQ(fast_changed, literal_changed) << "input: " << testing::PrintToString(input);
  }
}

// Patterns unlike a redirector address, whose occurrences overlap a fresh replacement or
// start inside it, exercise the parts of the algorithm the built table never needs.
TEST(ReplaceAllOccurrences, EqualsRepeatedLeftmostReplacementForAnyPattern) {
  const struct {
    const char *pattern;
    const char *replacement;
  } rules[] = {// Occurrences can reach back before a fresh replacement.
               {"aab", "a"},
               {"aba", "ab"},
               {"abab", "ab"},
               {"ab", ""},
               {"aa", "a"},
               {"xyz", "y"},
               {"aaa", "aa"},
               {"abcab", "b"},
               {"baa", "b"},
               // They cannot; the replacement starts the pattern, like a redirector address does,
               // and an occurrence can or cannot start inside it.
               {"abc", "ab"},
               {"abac", "aba"},
               // They cannot, and the replacement has nothing in common with the pattern.
               {"xyz", "q"},
               {"h", ""},
               // An occurrence can start inside a replacement that does not start the pattern.
               {"bxy", "ab"}};
  std::mt19937 random(7);
  for (const auto &rule : rules) {
    const std::vector<std::string> pieces = {
        "a", "b", "c", "ab", "ba", "x", "y", "z", "q", rule.pattern, rule.replacement};
    for (int i = 0; i < 20000; ++i) {
      const std::string input = RandomText(random, pieces);
      std::string fast = input, literal = input;
      const auto fast_replace = [&](char *b) {
        return ReplaceAllOccurrences(b, rule.pattern, rule.replacement);
      };
      const auto literal_replace = [&](char *b) {
        return LiteralReplaceAll(b, rule.pattern, rule.replacement);
      };
      const bool fast_changed = Apply(fast_replace, fast);
      const bool literal_changed = Apply(literal_replace, literal);
      ASSERT_EQ(fast, literal) << rule.pattern << " -> " << rule.replacement
                               << ", input: " << testing::PrintToString(input);
      ASSERT_EQ(fast_changed, literal_changed) << testing::PrintToString(input);
    }
  }
}

}  // namespace
