// Standing in for the browser: the class a link goes on to, whether that would start us
// again, and the mark a forwarded link carries so that it cannot come round twice.
#pragma once

#include <windows.h>

// What the "open" command of a class does with a link.
enum class ClassOpens { kLink, kNoCommand, kStartsUs };
ClassOpens CheckClass(const char *prog_id) noexcept;

// Whether a shell command's program is link-unwrapper.exe, or this very program by its name.
bool StartsUs(const wchar_t *command) noexcept;

// The command that forwards "%1" to target: this program's path in quotes, --forward-to and
// target, into out, which holds kForwardCommandSize characters.
constexpr int kForwardCommandSize = 1024;
void ForwardCommand(const wchar_t *program, const wchar_t *target, wchar_t *out) noexcept;

// Whether our environment carries the mark of this link: we forwarded it already, and it
// came back through the default browser.
bool CameBack(const char *link) noexcept;

// Marks our environment, and so that of whatever the shell starts for us, with the link.
void MarkForwarded(const char *link) noexcept;
