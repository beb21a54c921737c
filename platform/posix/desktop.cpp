// POSIX desktop requests: web links go to xdg-open (open on macOS), detached or, at a console,
// in the foreground, or to the desktop entry they are forwarded to, and are read byte by
// byte; the notice to stderr and a dialog; a refused link to stderr, and a lost one to a
// dialog as well.
#include "desktop.h"
#include "opening.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop_entry.h"
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
const char *forward_to = nullptr;

// A link we stand in the browser's place for is lost: whoever clicked it must learn so, on
// the desktop too, without our caller waiting for the dialog to be closed. why may name the
// entry we forward to with a %s.
void SayLost(const char *why, const char *link) {
  char reason[256];
  std::snprintf(reason, sizeof reason, why, forward_to);
  char prefix[256 + 16];
  std::snprintf(prefix, sizeof prefix, "not opened, %s: ", reason);
  char line[kLineSize];
  FormatLineAbout(prefix, link, "", line);
  std::fprintf(stderr, "%s\n", line);
  std::fflush(stderr);
  if (HasGraphicalSession() && !isatty(STDERR_FILENO)) {
    ShowDialog(line, "link-unwrapper", Start::kDetached);
  }
}

// Why a launch lost the link, or null if it did not.
const char *WhyLost(Launch launch) {
  switch (launch) {
    case Launch::kLaunched:
      break;
    case Launch::kNoGio:
      return "GLib's GIO (libgio-2.0.so.0), which launches desktop entries, is not installed";
    case Launch::kNoEntry:
      return "no desktop entry %s that takes links: missing, hidden, or its program not "
             "installed";
    case Launch::kLoop:
      return "%s starts link-unwrapper, which would get it back";
    case Launch::kFailed:
      return "%s could not be launched";
  }
  return nullptr;
}

// Launches the entry we forward to with the link, marked so that it cannot come round again.
void Forward(const char *link) {
  if (CameBack(link)) {
    SayLost(
        "it came back: the program it went on to handed it to the default browser, "
        "link-unwrapper",
        link);
    return;
  }
  char mark[kForwardMarkSize];
  ForwardMark(link, mark);
  char **envp = OpenerEnvironment(own_name, mark);
  if (envp == nullptr) {
    SayLost("out of memory", link);
    return;
  }
  if (const char *why = WhyLost(LaunchDesktopEntry(forward_to, link, own_name, envp))) {
    SayLost(why, link);
  }
  std::free(envp);
}

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
    ShowDialog(readable_text, readable_caption, Start::kChild);
  }
}

void SetOwnName(const char *argv0) noexcept {
  const char *slash = std::strrchr(argv0, '/');
  own_name = slash != nullptr ? slash + 1 : argv0;
}

void PrintInsteadOfOpening() noexcept {
  print_instead = true;
}

void ForwardTo(const char *desktop_id) noexcept {
  forward_to = desktop_id;
}

void OpenLink(const char *link) noexcept {
  if (print_instead) {
    std::printf("%s\n", link);
    return;
  }
  if (forward_to != nullptr) {
    Forward(link);
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

// Standing in for the browser, we are the last to see the link.
void RefuseLink(const char *text) noexcept {
  if (forward_to != nullptr && !print_instead) {
    SayLost("not a web link", text);
    return;
  }
  WriteLineAbout("not opened, not a web link: ", text, "");
}

void ReportUnknownOption(const char *argument) noexcept {
  WriteLineAbout("unknown option ", argument, "; see link-unwrapper --help");
}

void ReportNoDesktopEntryId(const char *argument) noexcept {
  WriteLineAbout("not a desktop entry's ID: ", argument, " (such as firefox-esr.desktop)");
}
