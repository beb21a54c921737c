// POSIX desktop requests: links go to xdg-open (open on macOS), the notice to stderr and a dialog.
#include "desktop.h"

#include <iconv.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char **environ;

namespace {

#if defined(__APPLE__)
constexpr char kOpener[] = "open";
#else
constexpr char kOpener[] = "xdg-open";
#endif

// Starts argv[0], looked up on PATH, with our environment and standard streams.
// Returns the child's pid, or -1 with the reason in errno.
pid_t Spawn(const char *const *argv) {
  pid_t pid;
  const int error =
      posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char *const *>(argv), environ);
  if (error != 0) {
    errno = error;
    return -1;
  }
  return pid;
}

void WaitFor(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// The encoding the user's terminal and dialogs expect; the plain C locale names none,
// and there UTF-8 is the best guess on any current system.
const char *LocaleEncoding() {
  const char *name = std::setlocale(LC_CTYPE, "");
  if (name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0) {
    return "UTF-8";
  }
  return nl_langinfo(CODESET);
}

// Converts Shift-JIS text into out (NUL-terminated). False if the encoding cannot express it.
// Only the notice's two short texts come here; they fit the buffers with room to spare.
bool FromShiftJis(const char *text, const char *encoding, char *out, std::size_t out_size) {
  iconv_t converter = iconv_open(encoding, "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return false;
  }
  char in_copy[64];
  std::snprintf(in_copy, sizeof in_copy, "%s", text);
  char *in = in_copy;
  std::size_t in_left = std::strlen(in_copy);
  char *outp = out;
  std::size_t out_left = out_size - 1;
  const bool ok =
      iconv(converter, &in, &in_left, &outp, &out_left) != static_cast<std::size_t>(-1) &&
      iconv(converter, nullptr, nullptr, &outp, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  *outp = '\0';
  return ok;
}

// Readable text for this user: the locale's encoding, else UTF-8, else the bytes as stored.
void ToReadable(const char *text, const char *encoding, char *out, std::size_t out_size) {
  if (FromShiftJis(text, encoding, out, out_size) || FromShiftJis(text, "UTF-8", out, out_size)) {
    return;
  }
  std::snprintf(out, out_size, "%s", text);
}

bool HasGraphicalSession() {
  const char *x11 = std::getenv("DISPLAY");
  const char *wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// Shows the notice with the first dialog program that can be started, and waits for it.
void ShowDialog(const char *text, const char *caption) {
  const char *const zenity[] = {"zenity", "--info", "--no-markup", "--title",
                                caption,  "--text", text,          nullptr};
  const char *const kdialog[] = {"kdialog", "--title", caption, "--msgbox", text, nullptr};
  const char *const xmessage[] = {"xmessage", "-center", "-title", caption,
                                  "-buttons", "OK",      text,     nullptr};
  const char *const *const dialogs[] = {zenity, kdialog, xmessage};
  for (const char *const *argv : dialogs) {
    const pid_t pid = Spawn(argv);
    if (pid > 0) {
      WaitFor(pid);
      return;
    }
  }
}

}  // namespace

void ShowNotice(const char *text, const char *caption) noexcept {
  const char *encoding = LocaleEncoding();
  char readable_text[256];
  char readable_caption[256];
  ToReadable(text, encoding, readable_text, sizeof readable_text);
  ToReadable(caption, encoding, readable_caption, sizeof readable_caption);
  std::fprintf(stderr, "%s: %s\n", readable_caption, readable_text);
  std::fflush(stderr);
  // On a terminal the line is enough; a dialog is for programs started from the desktop.
  if (HasGraphicalSession() && !isatty(STDERR_FILENO)) {
    ShowDialog(readable_text, readable_caption);
  }
}

void OpenLink(const char *link) noexcept {
  const char *const argv[] = {kOpener, link, nullptr};
  // The opener is not waited for: it may run as long as the browser does, and once we
  // have exited it is reaped by whoever adopts it, so it never lingers as a zombie.
  if (Spawn(argv) < 0) {
    std::fprintf(stderr, "link-unwrapper: cannot start %s: %s\n", kOpener, std::strerror(errno));
  }
}
