// The notice for this user: Shift-JIS made readable in the locale, and a dialog to show it in.
#pragma once

#include <cstddef>

// Converts Shift-JIS text into out, NUL-terminated: to the locale's encoding, else to
// UTF-8, else the bytes as stored.
void ToReadable(const char *text, char *out, std::size_t out_size);

// Shows the notice with the first dialog program that can be started, and waits for it.
void ShowDialog(const char *text, const char *caption);
