// In-place edits that turn a quoted, redirector-wrapped link into the direct link.
#pragma once

#include <array>

// The link being worked on: a NUL-terminated byte string in the user's ANSI code page.
// Every edit keeps it the same length or makes it shorter, so it never needs more room.
using LinkBuffer = char *;

// One redirector service. Its address is "http://" + host + "/", with a host that is not
// empty and holds neither ':' nor '/' (the build checks both), and it is replaced by
// "http://". The unwrapping relies on that shape: no address can then start inside a fresh
// replacement or reach back before it, except one that follows it directly.
struct RedirectorRule {
  const char *host;
  const char *pattern;      // "http://" + host + "/"
  const char *replacement;  // "http://"
};

// The services whose links are unwrapped, in the order they are applied.
using RedirectorTable = std::array<RedirectorRule, 2>;

extern const RedirectorTable kRedirectorTable;

// Removes one pair of double quotes enclosing the whole text; false if there is none.
bool StripEnclosingQuotes(LinkBuffer buffer) noexcept;

// Removes enclosing pairs exactly as calling StripEnclosingQuotes until it fails would, but
// moves the text once: a stranger's text of nothing but quotes must not cost quadratic time.
// True if any pair was removed.
bool StripAllEnclosingQuotes(LinkBuffer buffer) noexcept;

// Replaces the leftmost occurrence of pattern; false if there is none.
// The replacement must be shorter than the pattern, and the pattern not empty.
bool ReplaceFirstOccurrence(LinkBuffer buffer, const char *pattern,
                            const char *replacement) noexcept;

// Replaces the rule's address until none is left, exactly as calling ReplaceFirstOccurrence
// until it fails would, but in one pass. True if anything was replaced.
bool ReplaceAllOccurrences(LinkBuffer buffer, const RedirectorRule &rule) noexcept;

// Replaces every redirector address by its replacement, rule by rule; true if anything changed.
bool UnwrapRedirectors(LinkBuffer buffer) noexcept;
