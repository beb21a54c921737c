// The requests a run can make of the desktop. Each platform defines them; the tests link a
// fake that records them.
#pragma once

// Shows a one-line notice with one OK button and returns once it has been dismissed.
// Both texts are Shift-JIS bytes.
void ShowNotice(const char *text, const char *caption) noexcept;

// Asks the desktop to open the link with the user's default handler, without waiting for it.
void OpenLink(const char *link) noexcept;

// Tells the user, where the platform has a place for it, that an unwrapped text was not
// opened because it is not a web link. A platform without one does nothing.
void RefuseLink(const char *text) noexcept;
