// Lines for a terminal: the user's locale on demand, and texts of strangers made safe to show.
#pragma once

// Loads the user's LC_CTYPE the first time a line needs it. A run that writes nothing must
// not pay for the locale files, so nothing loads it at start-up.
void UseTheUsersLocale();

// Writes prefix, what may safely be shown of text, and suffix as one line on stderr, in the
// user's locale.
void WriteLineAbout(const char *prefix, const char *text, const char *suffix);
