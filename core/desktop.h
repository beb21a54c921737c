// The requests a run can make of the desktop, and what it asks of the desktop's shell first.
// Each platform defines them; the tests link a fake that records them.
#pragma once

#include <cstddef>

// Shows a one-line notice with one OK button and returns once it has been dismissed.
// Both texts are Shift-JIS bytes.
void ShowNotice(const char *text, const char *caption) noexcept;

// Asks the desktop to open the link with the user's default handler, without waiting for it.
void OpenLink(const char *link) noexcept;

// Tells the user, where the platform has a place for it, that an unwrapped text was not
// opened because it is not a web link. A platform without one does nothing.
void RefuseLink(const char *text) noexcept;

// How many bytes, 1 or 2, the shell reads as one character at text, which is not at its
// NUL: 2 only for a valid two-byte character of the user's ANSI code page, whose second
// byte is then part of that character, whatever it is.
std::size_t CharacterLength(const char *text) noexcept;

// Whether the shell would open this well-formed web link as written: not with values of
// the user's environment put into it, nor cut short.
bool ShellReadsAsWritten(const char *link) noexcept;
