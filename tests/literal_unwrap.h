// The edits done the obvious way, as the references the fast ones must equal byte for byte:
// search from the start after every replacement, move the rest one byte at a time, and strip
// one pair of quotes at a time; hosts that make hard addresses, and the one comparison of
// fast against literal. Shared by the tests and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "link_rewriting.h"

inline bool LiteralReplaceFirst(char *text, const char *pattern, const char *replacement) {
  for (char *at = text; *at != '\0'; ++at) {
    std::size_t p = 0;
    while (pattern[p] != '\0' && at[p] == pattern[p]) {
      ++p;
    }
    if (pattern[p] != '\0') {
      continue;
    }
    std::size_t r = 0;
    for (; replacement[r] != '\0'; ++r) {
      at[r] = replacement[r];
    }
    std::size_t i = 0;
    do {
      at[r + i] = at[p + i];
    } while (at[p + i++] != '\0');
    return true;
  }
  return false;
}

inline bool LiteralReplaceAll(char *text, const RedirectorRule &rule) {
  bool changed = false;
  while (LiteralReplaceFirst(text, rule.pattern, rule.replacement)) {
    changed = true;
  }
  return changed;
}

inline bool LiteralUnwrapRedirectors(char *text) {
  bool changed = false;
  for (const RedirectorRule &rule : kRedirectorTable) {
    changed |= LiteralReplaceAll(text, rule);
  }
  return changed;
}

inline bool StripEveryPairOneByOne(char *text) {
  bool changed = false;
  while (StripEnclosingQuotes(text)) {
    changed = true;
  }
  return changed;
}

// Hosts whose addresses overlap "http://", a fresh replacement and one another in every way
// a valid host can: single letters of the scheme, the scheme itself, a dot, a dash.
constexpr RedirectorRule kHardRules[] = {
    {"h", "http://h/", "http://"},         {"t", "http://t/", "http://"},
    {"tt", "http://tt/", "http://"},       {"http", "http://http/", "http://"},
    {"hhttp", "http://hhttp/", "http://"}, {"p.h", "http://p.h/", "http://"},
    {"a-b.c", "http://a-b.c/", "http://"},
};

// Whether the one-pass unwrapping leaves exactly what the literal one does, changed flag
// included: by one rule, or by the whole table when rule is null.
inline bool AgreesWithLiteral(const std::string &input, const RedirectorRule *rule) {
  std::string fast = input, literal = input;
  const bool fast_changed =
      rule != nullptr ? ReplaceAllOccurrences(fast.data(), *rule) : UnwrapRedirectors(fast.data());
  const bool literal_changed = rule != nullptr ? LiteralReplaceAll(literal.data(), *rule)
                                               : LiteralUnwrapRedirectors(literal.data());
  return fast_changed == literal_changed && std::strcmp(fast.c_str(), literal.c_str()) == 0;
}
