// Link rewriting: stripping enclosing quotes and unwrapping redirector addresses, in place.
#include "link_rewriting.h"

#include <cstring>

#include "redirectors.h"

namespace {

constexpr bool HoldsNoColonOrSlash(const char *host) {
  return *host == '\0' || (*host != ':' && *host != '/' && HoldsNoColonOrSlash(host + 1));
}
static_assert(sizeof kRedirector1Host > 1 && HoldsNoColonOrSlash(kRedirector1Host) &&
                  sizeof kRedirector2Host > 1 && HoldsNoColonOrSlash(kRedirector2Host),
              "a redirector host must not be empty nor hold ':' or '/'");

constexpr std::size_t kSchemeLength = sizeof kDirectScheme - 1;

}  // namespace

const RedirectorTable kRedirectorTable = {{
    {kRedirector1Host, kRedirector1Pattern, kDirectScheme},
    {kRedirector2Host, kRedirector2Pattern, kDirectScheme},
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

bool StripAllEnclosingQuotes(LinkBuffer buffer) noexcept {
  const std::size_t length = std::strlen(buffer);
  std::size_t pairs = 0;
  while (length - 2 * pairs >= 2 && buffer[pairs] == '"' && buffer[length - 1 - pairs] == '"') {
    ++pairs;
  }
  if (pairs == 0) {
    return false;
  }
  std::memmove(buffer, buffer + pairs, length - 2 * pairs);
  buffer[length - 2 * pairs] = '\0';
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

namespace {

// The leftmost occurrence of the rule's address in text[from, end), as an index, or end.
// Nearly every link holds "http://"; the host's first byte, which memchr looks for, is a
// much rarer sight.
std::size_t FindAddress(const char *text, std::size_t from, std::size_t end, const char *pattern,
                        std::size_t m) {
  for (; end - from >= m; ++from) {
    const auto *hit = static_cast<const char *>(
        std::memchr(text + from + kSchemeLength, pattern[kSchemeLength], end - from - m + 1));
    if (hit == nullptr) {
      return end;
    }
    from = static_cast<std::size_t>(hit - text) - kSchemeLength;
    if (std::memcmp(text + from, pattern, m) == 0) {
      return from;
    }
  }
  return end;
}

}  // namespace

// The finished front text[0, w) never holds an address, and the unread rest starts at rd. A
// fresh "http://" only starts an address when "host/" follows it directly, since the host
// holds no ':' or '/'; so a nested chain is skipped whole, and every unread byte is moved once.
bool ReplaceAllOccurrences(LinkBuffer text, const RedirectorRule &rule) noexcept {
  const std::size_t length = std::strlen(text);
  const std::size_t m = std::strlen(rule.pattern);
  const std::size_t host_and_slash = m - kSchemeLength;
  std::size_t w = 0;
  std::size_t rd = 0;
  for (std::size_t at; (at = FindAddress(text, rd, length, rule.pattern, m)) != length;) {
    std::memmove(text + w, text + rd, at - rd);
    w += at - rd;
    rd = at + m;
    while (length - rd >= host_and_slash &&
           std::memcmp(text + rd, rule.pattern + kSchemeLength, host_and_slash) == 0) {
      rd += host_and_slash;
    }
    std::memcpy(text + w, rule.replacement, kSchemeLength);
    w += kSchemeLength;
  }
  std::memmove(text + w, text + rd, length - rd + 1);
  return rd != 0;  // rd moves only past an address
}

bool UnwrapRedirectors(LinkBuffer buffer) noexcept {
  bool changed = false;
  for (const RedirectorRule &rule : kRedirectorTable) {
    changed |= ReplaceAllOccurrences(buffer, rule);
  }
  return changed;
}
