// Starting children: detached from the caller, as a plain child, or in our place at a console.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>

extern char **environ;

// How a child is started: away from the caller, as a plain child, or, at a console, in our
// place on the terminal.
enum class Start { kDetached, kChild, kForeground };

// Starts argv[0], looked up on PATH, with the environment envp, and with its stdout on
// output if that is a descriptor. Returns the child's pid, or -1 with the reason in errno.
pid_t Spawn(const char *const *argv, Start start, char *const *envp = environ, int output = -1);

// Waits for the child pid to end, through interruptions. Returns its exit status, or -1 if
// it did not exit of its own accord.
int WaitFor(pid_t pid);

// Runs argv as a plain child and waits for it. Returns its exit status, or -1.
int RunAndWait(const char *const *argv);

// Runs argv as a plain child and waits for it, with what it writes to stdout in out,
// NUL-terminated (what does not fit is read and dropped). Returns its exit status, or -1.
int RunAndRead(const char *const *argv, char *out, std::size_t out_size);

// Whether there is a display to show a browser or a dialog on.
bool HasGraphicalSession();

// Whether a text browser would need our terminal: no display, and a terminal on stdin and
// stdout.
bool AtAConsole();

// Runs argv in our place on the terminal and waits for it, as system() does. Returns what
// Spawn returns.
pid_t SpawnAndWaitAtTheConsole(const char *const *argv, char *const *envp);
