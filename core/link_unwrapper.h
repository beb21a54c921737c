// The whole run: from the command-line tail to the notice, one open request, or nothing.
#pragma once

#include "link_rewriting.h"

// Runs once on the command-line tail, editing it in place. Always returns 0.
int RunLinkUnwrapper(LinkBuffer buffer) noexcept;
