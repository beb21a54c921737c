// Fuzz target: the linear-time unwrapping must equal the literal algorithm on every text.
// The first byte picks the rules: below 0x80 the built table, else one of a few patterns
// whose occurrences meet a fresh replacement in the ways the table's never do.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link_rewriting.h"
#include "literal_unwrap.h"

namespace {

struct Rule {
  const char *pattern;
  const char *replacement;
};
constexpr Rule kOtherRules[] = {
    {"aab", "a"}, {"abab", "ab"}, {"abac", "aba"}, {"ab", ""}, {"bxy", "ab"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The program's buffer is a C string: what follows a NUL is never seen.
  const std::string input(reinterpret_cast<const char *>(data + 1),
                          strnlen(reinterpret_cast<const char *>(data + 1), size - 1));
  std::string fast = input;
  std::string literal = input;
  bool fast_changed;
  bool literal_changed;
  if (data[0] < 0x80) {
    fast_changed = UnwrapRedirectors(fast.data());
    literal_changed = LiteralUnwrapRedirectors(literal.data());
  } else {
    const Rule &rule = kOtherRules[data[0] % 5];
    fast_changed = ReplaceAllOccurrences(fast.data(), rule.pattern, rule.replacement);
    literal_changed = LiteralReplaceAll(literal.data(), rule.pattern, rule.replacement);
  }
  if (std::strcmp(fast.c_str(), literal.c_str()) != 0 || fast_changed != literal_changed) {
    std::abort();
  }
  return 0;
}
