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

// The leftmost occurrence of pattern (m bytes) in text[from, end), as an index, or end when
// there is none. memchr looks for the pattern's byte at index anchor, which should be one
// that is rare in texts; each candidate's last byte is checked before the whole pattern.
std::size_t Find(const char *text, std::size_t from, std::size_t end, const char *pattern,
                 std::size_t m, std::size_t anchor) {
  while (end - from >= m) {
    const void *hit = std::memchr(text + from + anchor, pattern[anchor], end - from - m + 1);
    if (hit == nullptr) {
      return end;
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const char *>(hit) - text) - anchor;
    if (text[at + m - 1] == pattern[m - 1] && std::memcmp(text + at, pattern, m) == 0) {
      return at;
    }
    from = at + 1;
  }
  return end;
}

// Whether text (n bytes) and pattern agree wherever they overlap when the pattern starts
// at text's first byte.
bool Agree(const char *text, std::size_t n, const char *pattern, std::size_t m) {
  const std::size_t overlap = n < m ? n : m;
  return overlap == 0 || (text[0] == pattern[0] && std::memcmp(text, pattern, overlap) == 0);
}

// How far before a fresh replacement an occurrence of the pattern could start: the largest
// d < m at which the pattern, moved back by d, agrees with the replacement. Zero if none.
std::size_t ReachBack(const char *pattern, std::size_t m, const char *replacement, std::size_t r) {
  for (std::size_t d = m - 1; d > 0; --d) {
    if (Agree(replacement, r, pattern + d, m - d)) {
      return d;
    }
  }
  return 0;
}

// Whether an occurrence could start inside the replacement, at its offset `from` or later.
bool CanStartInside(const char *replacement, std::size_t r, std::size_t from, const char *pattern,
                    std::size_t m) {
  for (std::size_t k = from; k < r; ++k) {
    if (Agree(replacement + k, r - k, pattern, m)) {
      return true;
    }
  }
  return false;
}

// Replaces the leftmost occurrence again and again until none is left, in one pass over
// text[0, length), and returns the new length.
//
// Why this gives the same text as searching from the start after every replacement: the
// text before the leftmost occurrence holds no occurrence and a replacement leaves it as it
// was, so the next leftmost occurrence cannot start more than ReachBack bytes before the
// replacement. The text is kept as a finished front part text[0, w), which never holds an
// occurrence, then the unread rest text[rd, length); each replacement shortens the text, so
// the gap between the two only grows and no unread byte is moved more than once. When an
// occurrence can neither reach back nor start inside the replacement, the replacement joins
// the finished part at once; otherwise it is put back in front of the unread rest, with the
// finished bytes that could be reached back into, and searched again. Where the replacement
// is itself the start of the pattern, a chain of nested links is followed in place.
std::size_t ReplaceEveryOccurrence(char *text, std::size_t length, const char *pattern,
                                   const char *replacement, bool &changed) {
  const std::size_t m = std::strlen(pattern);
  const std::size_t r = std::strlen(replacement);
  const std::size_t reach_back = ReachBack(pattern, m, replacement, r);
  const bool replacement_starts_pattern = Agree(replacement, r, pattern, m);
  const bool chains = reach_back == 0 && replacement_starts_pattern;
  const bool settled =
      reach_back == 0 && !CanStartInside(replacement, r, chains ? 1 : 0, pattern, m);
  // A redirector address starts with "http://", which nearly every link holds; the first
  // byte of its host name is a much rarer sight.
  const std::size_t anchor = replacement_starts_pattern ? r : 0;

  std::size_t w = 0;
  std::size_t rd = 0;
  for (;;) {
    const std::size_t at = Find(text, rd, length, pattern, m, anchor);
    if (at == length) {
      break;
    }
    if (w != rd) {
      std::memmove(text + w, text + rd, at - rd);
    }
    w += at - rd;
    rd = at + m;
    changed = true;
    // The replacement now stands at w; while the rest of the pattern follows it, another
    // occurrence starts right there.
    while (chains && length - rd >= m - r && text[rd] == pattern[r] &&
           std::memcmp(text + rd, pattern + r, m - r) == 0) {
      rd += m - r;
    }
    if (settled) {
      std::memcpy(text + w, replacement, r);
      w += r;
      continue;
    }
    const std::size_t back = reach_back < w ? reach_back : w;
    std::memmove(text + rd - r - back, text + w - back, back);
    std::memcpy(text + rd - r, replacement, r);
    w -= back;
    rd -= r + back;
  }
  if (w != rd) {
    std::memmove(text + w, text + rd, length - rd);
  }
  length = w + (length - rd);
  text[length] = '\0';
  return length;
}

}  // namespace

bool ReplaceAllOccurrences(LinkBuffer buffer, const char *pattern,
                           const char *replacement) noexcept {
  bool changed = false;
  ReplaceEveryOccurrence(buffer, std::strlen(buffer), pattern, replacement, changed);
  return changed;
}

bool UnwrapRedirectors(LinkBuffer buffer) noexcept {
  bool changed = false;
  std::size_t length = std::strlen(buffer);
  for (const RedirectorRule &rule : kRedirectorTable) {
    length = ReplaceEveryOccurrence(buffer, length, rule.pattern, rule.replacement, changed);
  }
  return changed;
}
