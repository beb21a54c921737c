// The opener's environment: ours, with BROWSER made safe to hand the link to.
#pragma once

#include <cstddef>

#include "forward_mark.h"

// Our environment, with the BROWSER entries whose first word, by file name, is
// link-unwrapper or own_name left out, and BROWSER unset when none is left: xdg-open may run
// $BROWSER, which would hand the link straight back to us, to be dropped. With a variable
// "NAME=value" as extra, that variable is set too. Nothing else changes. One block, to be
// freed with free(); null when memory runs out.
char **OpenerEnvironment(const char *own_name, const char *extra = nullptr);

// Whether the program at path, of length bytes, is by its file name link-unwrapper or
// own_name, the name we were started as: handing it a link hands it back to us.
bool NamesUs(const char *path, std::size_t length, const char *own_name);

// What a forwarded link carries to the program it is forwarded to, and so to whatever that
// starts: the mark's variable with the link's digest, in out.
constexpr std::size_t kForwardMarkSize = sizeof kForwardMarkName + kForwardMarkValueSize;
void ForwardMark(const char *link, char *out);

// Whether our environment carries the mark of this link: it was forwarded already, and the
// program it went to handed it back to us, straight or through the default browser.
bool CameBack(const char *link);
