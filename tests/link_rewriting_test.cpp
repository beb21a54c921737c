// Tests of the link rewriting: each edit on a table of cases, and the one-pass unwrapping
// against the literal one on generated texts.
#include "link_rewriting.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_unwrap.h"
#include "redirector_links.h"

namespace {

struct EditCase {
  std::string input;
  std::string expected;
  bool result;
};

template <typename Edit>
void ExpectEdits(Edit edit, const std::vector<EditCase> &cases) {
  for (const EditCase &c : cases) {
    std::string text = c.input;
    const bool result = Apply(edit, text);
    EXPECT_EQ(text, c.expected) << "input: " << testing::PrintToString(c.input);
    EXPECT_EQ(result, c.result) << "input: " << testing::PrintToString(c.input);
  }
}

const std::vector<EditCase> kStripCases = {
    {"", "", false},
    {"\"", "\"", false},
    {"\"\"", "", true},
    {"\"\"x\"\"", "\"x\"", true},
    {"\"x\"", "x", true},
    {"\"a\"b\"", "a\"b", true},
    {"\"abc", "\"abc", false},
    {"abc\"", "abc\"", false},
    {"'abc'", "'abc'", false},
    {"\"abc\" ", "\"abc\" ", false},
    {" \"abc\"", " \"abc\"", false},
    // A trail byte of 0x22 never occurs in Shift-JIS, but a lead byte right before the
    // quote must not matter.
    {"\"\x83\"", "\x83", true},
    {"\"\"\"", "\"", true},
    {"\"\"\"\"\"", "\"\"\"", true},
    {"\"\"\"x\"", "\"\"x", true},
};

TEST(StripEnclosingQuotes, RemovesOnlyOneEnclosingDoubleQuotePair) {
  ExpectEdits(StripEnclosingQuotes, kStripCases);
}

// In one move, exactly what calling the one-pair edit until it fails leaves.
TEST(StripAllEnclosingQuotes, EqualsStrippingOnePairUntilNoneIsLeft) {
  for (const EditCase &c : kStripCases) {
    std::string once = c.input, repeated = c.input;
    const bool changed = Apply(StripAllEnclosingQuotes, once);
    const bool repeated_changed = Apply(StripEveryPairOneByOne, repeated);
    EXPECT_EQ(once, repeated) << "input: " << testing::PrintToString(c.input);
    EXPECT_EQ(changed, repeated_changed) << "input: " << testing::PrintToString(c.input);
  }
}

TEST(ReplaceFirstOccurrence, ReplacesTheLeftmostMatchAndShiftsTheRest) {
  const char kPattern[] = "http://abc.example/";
  const auto replace = [&](char *buffer) {
    return ReplaceFirstOccurrence(buffer, kPattern, "http://");
  };
  ExpectEdits(replace, {
                           {"", "", false},
                           {"http://abc.example/", "http://", true},
                           {"http://abc.example/x", "http://x", true},
                           {"see http://abc.example/x", "see http://x", true},
                           {"x http://abc.example/", "x http://", true},
                           {"HTTP://ABC.EXAMPLE/x", "HTTP://ABC.EXAMPLE/x", false},
                           {"http://abc.example", "http://abc.example", false},
                           {"http://abc.example/a http://abc.example/b",
                            "http://a http://abc.example/b", true},
                           {"\x83http://abc.example/\x82\xA0", "\x83http://\x82\xA0", true},
                       });
}

TEST(RedirectorTable, RowsAreHttpAddressesOfTheirHost) {
  for (const RedirectorRule &rule : kRedirectorTable) {
    EXPECT_EQ(std::string(rule.pattern), "http://" + std::string(rule.host) + "/");
    EXPECT_STREQ(rule.replacement, "http://") << rule.pattern;
  }
  EXPECT_NE(Host(0), Host(1));
}

TEST(UnwrapRedirectors, UnwrapsEachServiceInTableOrder) {
  const std::string p1 = Pattern(0), p2 = Pattern(1), h1 = Host(0), h2 = Host(1);
  ExpectEdits(UnwrapRedirectors,
              {
                  {"", "", false},
                  {"http://www.example.com/", "http://www.example.com/", false},
                  {p1 + "www.example.com/", "http://www.example.com/", true},
                  {p2 + "www.example.com/", "http://www.example.com/", true},
                  {p1 + "T" + p1 + "U", "http://Thttp://U", true},
                  {p1 + "T" + p2 + "U", "http://Thttp://U", true},
                  // A service wrapped in itself unwraps fully.
                  {p1 + h1 + "/T", "http://T", true},
                  {p2 + h2 + "/" + h2 + "/T", "http://T", true},
                  // Row 1 is done before row 2 and not applied again.
                  {p1 + h2 + "/T", "http://T", true},
                  {p2 + h1 + "/T", p1 + "T", true},
                  // The replacement is always plain http.
                  {p1 + "https://secure.example/", "http://https://secure.example/", true},
                  {"\"" + p1 + "x\" ", "\"http://x\" ", true},
                  {"HTTP://" + h1 + "/x", "HTTP://" + h1 + "/x", false},
                  {"https://" + h1 + "/x", "https://" + h1 + "/x", false},
              });
}

// Texts built from the pieces that matter: whole and partial redirector addresses, their
// host names, schemes, slashes, quotes, plain text and Shift-JIS double-byte characters.
std::string RandomText(std::mt19937 &random, const std::vector<std::string> &pieces) {
  std::string text;
  for (std::size_t count = random() % 24; count > 0; --count) {
    text += pieces[random() % pieces.size()];
  }
  return text;
}

std::vector<std::string> PiecesFor(const std::vector<std::string> &hosts) {
  std::vector<std::string> pieces = {"http://",          "/",    "\"",   "x",
                                     "www.example.com/", "h",    "ttp:", "\x83\x52",
                                     "\x82\xA0",         "\x83", " "};
  for (const std::string &host : hosts) {
    pieces.insert(pieces.end(), {"http://" + host + "/", host + "/", "http://" + host,
                                 host.substr(0, host.size() / 2)});
  }
  return pieces;
}

TEST(UnwrapRedirectors, EqualsTheLiteralAlgorithmOnGeneratedTexts) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pieces = PiecesFor({Host(0), Host(1)});
  for (int i = 0; i < 200000; ++i) {
    const std::string input = RandomText(random, pieces);
    ASSERT_TRUE(AgreesWithLiteral(input, nullptr)) << "input: " << testing::PrintToString(input);
  }
}

TEST(ReplaceAllOccurrences, EqualsTheLiteralAlgorithmForHardHosts) {
  std::mt19937 random(7);
  for (const RedirectorRule &rule : kHardRules) {
    const std::vector<std::string> pieces = PiecesFor({rule.host, "hhttp", "tt"});
    for (int i = 0; i < 20000; ++i) {
      const std::string input = RandomText(random, pieces);
      ASSERT_TRUE(AgreesWithLiteral(input, &rule))
          << rule.pattern << ", input: " << testing::PrintToString(input);
    }
  }
}

}  // namespace
