// The whole run: from the command-line tail to the notice, one open request, or nothing.
#pragma once

#include "link_rewriting.h"

// Whether text, after any double quotes at its start, begins with http:// or https://, the
// scheme in any case. Only such links are handed to the desktop, whose "open" would as
// readily start a program or a protocol handler.
bool IsWebLink(const char *text) noexcept;

// Runs once on the command-line tail, editing it in place. Always returns 0.
int RunLinkUnwrapper(LinkBuffer buffer) noexcept;
