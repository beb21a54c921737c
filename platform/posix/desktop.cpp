// POSIX desktop requests: web links go to xdg-open (open on macOS), detached or, at a console,
// in the foreground, and are read byte by byte; the notice to stderr and a dialog; a refused
// link to stderr.
#include "desktop.h"
#include "opening.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "notice.h"
#include "opener_environment.h"
#include "spawning.h"
#include "terminal_lines.h"

namespace {

#if defined(__APPLE__)
constexpr char kOpener[] = "open";
#else
constexpr char kOpener[] = "xdg-open";
#endif

const char *own_name = "link-unwrapper";
bool print_instead = false;

}  // namespace

void ShowNotice(const char *text, const char *caption) noexcept {
  char readable_text[256];
  char readable_caption[256];
  ToReadable(text, readable_text, sizeof readable_text);
  ToReadable(caption, readable_caption, sizeof readable_caption);
  std::fprintf(stderr, "%s: %s\n", readable_caption, readable_text);
  std::fflush(stderr);
  // On a terminal the line is enough; a dialog is for programs started from the desktop.
  if (HasGraphicalSession() && !isatty(STDERR_FILENO)) {
    ShowDialog(readable_text, readable_caption);
  }
}

void SetOwnName(const char *argv0) noexcept {
  const char *slash = std::strrchr(argv0, '/');
  own_name = slash != nullptr ? slash + 1 : argv0;
}

void PrintInsteadOfOpening() noexcept {
  print_instead = true;
}

void OpenLink(const char *link) noexcept {
  if (print_instead) {
    std::printf("%s\n", link);
    return;
  }
  const char *const argv[] = {kOpener, link, nullptr};
  char **envp = OpenerEnvironment(own_name);
  if (envp == nullptr) {
    std::fprintf(stderr, "link-unwrapper: out of memory\n");
    return;
  }
  // A detached opener is not waited for: it may run as long as the browser does, and once
  // we have exited it is reaped by whoever adopts it, so it never lingers as a zombie.
  const pid_t pid =
      AtAConsole() ? SpawnAndWaitAtTheConsole(argv, envp) : Spawn(argv, Start::kDetached, envp);
  if (pid < 0) {
    std::fprintf(stderr, "link-unwrapper: cannot start %s: %s\n", kOpener, std::strerror(errno));
  }
  std::free(envp);
}

// xdg-open and the browsers read the link as UTF-8, where 0x5C is always a backslash, and
// nothing expands or cuts it on the way.
std::size_t CharacterLength(const char *) noexcept {
  return 1;
}

bool ShellReadsAsWritten(const char *) noexcept {
  return true;
}

void RefuseLink(const char *text) noexcept {
  WriteLineAbout("not opened, not a web link: ", text, "");
}

void ReportUnknownOption(const char *argument) noexcept {
  WriteLineAbout("unknown option ", argument, "; see link-unwrapper --help");
}
