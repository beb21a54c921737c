// The notice for this user: Shift-JIS made readable in the locale, and a dialog to show it in.
#pragma once

#include <cstddef>

#include "spawning.h"

// Converts Shift-JIS text into out, NUL-terminated: to the locale's encoding, else to
// UTF-8, else the bytes as stored.
void ToReadable(const char *text, char *out, std::size_t out_size);

// Shows text with the first dialog program that can be started: as a child that is waited
// for, or detached, for a message that must not hold up whoever started us.
void ShowDialog(const char *text, const char *caption, Start start);
