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

namespace {

// A pattern ready for Horspool's search: the byte under the pattern's last position tells
// how far the pattern can move on without passing an occurrence.
struct Searcher {
  const unsigned char *pattern;
  std::size_t length;
  std::size_t shift[256];
};

void PrepareSearcher(Searcher &searcher, const char *pattern, std::size_t length) {
  searcher.pattern = reinterpret_cast<const unsigned char *>(pattern);
  searcher.length = length;
  for (std::size_t &shift : searcher.shift) {
    shift = length;
  }
  for (std::size_t i = 0; i + 1 < length; ++i) {
    searcher.shift[searcher.pattern[i]] = length - 1 - i;
  }
}

// The leftmost occurrence in text[from, end), as an index, or end when there is none.
std::size_t Find(const Searcher &searcher, const char *text, std::size_t from, std::size_t end) {
  const std::size_t m = searcher.length;
  const unsigned char last = searcher.pattern[m - 1];
  const auto *bytes = reinterpret_cast<const unsigned char *>(text);
  for (std::size_t i = from; end - i >= m;) {
    const unsigned char c = bytes[i + m - 1];
    if (c == last && std::memcmp(bytes + i, searcher.pattern, m - 1) == 0) {
      return i;
    }
    i += searcher.shift[c];
  }
  return end;
}

// The furthest back before a fresh replacement that an occurrence of the pattern could
// start: the largest d < m at which the pattern, shifted by d, agrees with the replacement
// wherever they overlap. Zero when no occurrence can reach back into the text before it.
std::size_t ReachBack(const char *pattern, std::size_t m, const char *replacement, std::size_t r) {
  for (std::size_t d = m - 1; d > 0; --d) {
    if (std::memcmp(pattern + d, replacement, r < m - d ? r : m - d) == 0) {
      return d;
    }
  }
  return 0;
}

// Replaces the leftmost occurrence again and again until none is left, in one pass over
// text[0, length), and returns the new length.
//
// Why this gives the same text as searching from the start after every replacement: the
// text before the leftmost occurrence M holds no occurrence, and a replacement leaves it as
// it was, so the next leftmost occurrence starts no earlier than M minus ReachBack. The
// text is therefore kept as a finished front part text[0, w), which never holds an
// occurrence, followed by the unread rest text[rd, length); replacements shorten the text,
// so the gap between them only grows and nothing behind rd is moved more than once. The
// replacement just made is written into the gap in front of rd, together with the few
// finished bytes an occurrence could reach back into, and the search goes on from there.
// Where the replacement is itself the start of the pattern and nothing can reach back, a
// chain of nested links is followed without writing the replacement at all.
std::size_t ReplaceEveryOccurrence(char *text, std::size_t length, const char *pattern,
                                   const char *replacement, bool &changed) {
  const std::size_t m = std::strlen(pattern);
  const std::size_t r = std::strlen(replacement);
  Searcher searcher;
  PrepareSearcher(searcher, pattern, m);
  const std::size_t reach_back = ReachBack(pattern, m, replacement, r);
  const bool chains = reach_back == 0 && std::memcmp(pattern, replacement, r) == 0;

  std::size_t w = 0;
  std::size_t rd = 0;
  bool replacement_pending = false;  // logically the replacement stands at text[w, w + r)
  for (;;) {
    if (replacement_pending) {
      if (chains && length - rd >= m - r && std::memcmp(text + rd, pattern + r, m - r) == 0) {
        rd += m - r;  // another occurrence starts where the replacement does
        continue;
      }
      const std::size_t back = reach_back < w ? reach_back : w;
      std::memmove(text + rd - r - back, text + w - back, back);
      std::memcpy(text + rd - r, replacement, r);
      w -= back;
      rd -= r + back;
      replacement_pending = false;
    }
    const std::size_t at = Find(searcher, text, rd, length);
    if (at == length) {
      break;
    }
    if (w != rd) {
      std::memmove(text + w, text + rd, at - rd);
    }
    w += at - rd;
    rd = at + m;
    replacement_pending = true;
    changed = true;
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
