// Lines for a terminal: the user's locale on demand, and texts of strangers made safe to show.
#pragma once

#include <cstddef>

// Loads the user's LC_CTYPE the first time a line needs it. A run that writes nothing must
// not pay for the locale files, so nothing loads it at start-up.
void UseTheUsersLocale();

// Room for a line about a text: our name, a prefix and a suffix of up to 255 bytes each, and
// what is shown of the text.
constexpr std::size_t kLineSize = 1024 + 4 * 200;

// Writes into line, which holds kLineSize bytes, "link-unwrapper: ", prefix, what may safely
// be shown of text in the user's locale, and suffix, NUL-terminated, and returns its length.
std::size_t FormatLineAbout(const char *prefix, const char *text, const char *suffix, char *line);

// Writes prefix, what may safely be shown of text, and suffix as one line on stderr, in the
// user's locale.
void WriteLineAbout(const char *prefix, const char *text, const char *suffix);
