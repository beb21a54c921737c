#include "link_rewriting.h"

#include <cstring>

#include "redirectors.h"

const RedirectorTable kRedirectorTable = {{
    {kRedirector1Pattern, kDirectScheme},
    {kRedirector2Pattern, kDirectScheme},
}};

bool StripEnclosingQuotes(LinkBuffer buffer) noexcept {
  const std::size_t length = std::strlen(buffer);
  if (length < 2 || buffer[0] != '"' || buffer[length - 1] != '"') {
    return false;
  }
  std::memmove(buffer, buffer + 1, length - 2);
  buffer[length - 2] = '\0';
  return true;
}

bool ReplaceFirstOccurrence(LinkBuffer buffer, const char *pattern,
                            const char *replacement) noexcept {
  char *match = std::strstr(buffer, pattern);
  if (match == nullptr) {
    return false;
  }
  const std::size_t pattern_length = std::strlen(pattern);
  const std::size_t replacement_length = std::strlen(replacement);
  const char *rest = match + pattern_length;
  std::memcpy(match, replacement, replacement_length);
  // The rest moves towards the front, so the overlapping copy is safe.
  std::memmove(match + replacement_length, rest, std::strlen(rest) + 1);
  return true;
}

bool UnwrapRedirectors(LinkBuffer buffer) noexcept {
  bool changed = false;
  for (const RedirectorRule &rule : kRedirectorTable) {
    while (ReplaceFirstOccurrence(buffer, rule.pattern, rule.replacement)) {
      changed = true;
    }
  }
  return changed;
}
