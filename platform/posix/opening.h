// How the POSIX desktop carries out open requests, which main chooses before the run, and
// the lines main may have to say about its arguments.
#pragma once

// The name we were started as: BROWSER entries that name it, or link-unwrapper, would hand
// the opener's link straight back to us, and are left out of the opener's environment.
void SetOwnName(const char *argv0) noexcept;

// Write each link that would be opened to stdout, with a newline, instead of opening it.
void PrintInsteadOfOpening() noexcept;

// Open each link by launching the desktop entry desktop_id with it, never through the
// default browser, which may be us.
void ForwardTo(const char *desktop_id) noexcept;

// Says on stderr, safely for a terminal, that argument is no option.
void ReportUnknownOption(const char *argument) noexcept;

// Says on stderr, safely for a terminal, that argument is no desktop entry's ID.
void ReportNoDesktopEntryId(const char *argument) noexcept;
