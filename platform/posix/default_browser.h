// Making link-unwrapper the user's handler of web links, forwarding them to the browser they
// had, and undoing it; both through xdg-mime.
#pragma once

// Makes our own desktop entry, which forwards to the entry target (or, if null, to the
// handler of https links today, else of http links), the user's handler of http and https
// links, and says so on stdout. Returns the exit status: 0, or 1 with a message on stderr.
int SetDefaultBrowser(const char *target);

// Gives http and https links that still go to our entry back to the entry it forwards to,
// and removes ours. Returns the exit status: 0, or 1 with a message on stderr.
int UnsetDefaultBrowser();
