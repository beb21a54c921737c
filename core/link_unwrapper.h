// The whole run: from the command-line tail to the notice, one open request, or nothing.
#pragma once

#include "link_rewriting.h"

// Whether link is a well-formed web link: http:// or https://, the scheme in any case, then
// no control byte, blank, DEL, double quote or backslash, and no path segment made only of
// dots, query included. It is read as the shell reads it, a two-byte character of the ANSI
// code page as one. Only such links, and only if the shell reads them as written, are handed
// to the desktop, whose "open" would as readily start a program, find a file by a path or
// pass a browser extra arguments.
bool IsWebLink(const char *link) noexcept;

// What a run does with a link that went through neither redirector: drop it, as a plain run
// does, or open it, as a run standing in for the user's browser must.
enum class PlainLinks { kDropped, kOpened };

// Runs once on the command-line tail, editing it in place. Always returns 0.
int RunLinkUnwrapper(LinkBuffer buffer, PlainLinks plain = PlainLinks::kDropped) noexcept;
