// The opener's environment: ours, with BROWSER made safe to hand the link to.
#pragma once

// Our environment, with the BROWSER entries whose first word, by file name, is
// link-unwrapper or own_name left out, and BROWSER unset when none is left: xdg-open may run
// $BROWSER, which would hand the link straight back to us, to be dropped. Nothing else
// changes. One block, to be freed with free(); null when memory runs out.
char **OpenerEnvironment(const char *own_name);
