// The edits done the obvious way, as the references the fast ones must equal byte for byte:
// search from the start after every replacement, move the rest one byte at a time, and strip
// one pair of quotes at a time.
#pragma once

#include <cstddef>

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

inline bool LiteralReplaceAll(char *text, const char *pattern, const char *replacement) {
  bool changed = false;
  while (LiteralReplaceFirst(text, pattern, replacement)) {
    changed = true;
  }
  return changed;
}

inline bool LiteralUnwrapRedirectors(char *text) {
  bool changed = false;
  for (const RedirectorRule &rule : kRedirectorTable) {
    changed |= LiteralReplaceAll(text, rule.pattern, rule.replacement);
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
