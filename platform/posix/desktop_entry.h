// Launching a desktop entry as the desktop does, with GLib's GIO, loaded only when asked for.
#pragma once

// Why an entry was not launched, or that it was.
enum class Launch { kLaunched, kNoGio, kNoEntry, kLoop, kFailed };

// Launches the desktop entry desktop_id with link as its one URI, as GLib's GDesktopAppInfo
// does, detached from us: its own session, /dev/null for stdin and stdout (and stderr unless
// that is a terminal), no descriptor but those, and the environment envp. An entry whose
// program is link-unwrapper or own_name would hand the link back to us, and is not launched;
// nor is one that takes no links (no %u or %U), which would drop it.
Launch LaunchDesktopEntry(const char *desktop_id, const char *link, const char *own_name,
                          char **envp);

// Whether text can be a desktop entry's ID: a file name ending in ".desktop" made of ASCII
// letters, digits, '.', '_', '-' and '+', which Exec lines and messages take as it is.
bool IsDesktopEntryId(const char *text);
