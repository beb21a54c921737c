// POSIX desktop requests: web links go to xdg-open (open on macOS), the notice to stderr and
// a dialog, a refused link to stderr.
#include "desktop.h"

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <clocale>
#include <csignal>
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

// Starts argv[0], looked up on PATH, with our environment, default signal dispositions and
// an empty signal mask: we ignore SIGPIPE, and neither that nor a mask of the caller's may
// reach a browser. A detached child reads and writes /dev/null instead of our streams, so
// that a caller reading our output to its end is not held for as long as the browser runs,
// keeping only our stderr when a person at a terminal may want its complaints; and it runs
// in a session of its own, so that closing that terminal does not take the browser with it.
// Returns the child's pid, or -1 with the reason in errno.
pid_t Spawn(const char *const *argv, bool detached) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  int flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (detached) {
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!isatty(STDERR_FILENO)) {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
  }
  posix_spawnattr_setflags(&attributes, static_cast<short>(flags));
  pid_t pid;
  const int error =
      posix_spawnp(&pid, argv[0], &actions, &attributes, const_cast<char *const *>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
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
// Only programs that draw Japanese text are tried: xmessage, say, shows mojibake.
void ShowDialog(const char *text, const char *caption) {
  const char *const zenity[] = {"zenity", "--info", "--no-markup", "--title",
                                caption,  "--text", text,          nullptr};
  const char *const kdialog[] = {"kdialog", "--title", caption, "--msgbox", text, nullptr};
  const char *const gxmessage[] = {"gxmessage", "-center", "-title", caption,
                                   "-buttons",  "OK",      text,     nullptr};
  const char *const *const dialogs[] = {zenity, kdialog, gxmessage};
  for (const char *const *argv : dialogs) {
    const pid_t pid = Spawn(argv, false);
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
  if (Spawn(argv, true) < 0) {
    std::fprintf(stderr, "link-unwrapper: cannot start %s: %s\n", kOpener, std::strerror(errno));
  }
}

void RefuseLink(const char *text) noexcept {
  std::fputs("link-unwrapper: not opened, not a web link: ", stderr);
  // A crafted link must not drive the terminal: control bytes are shown, not sent. Runs
  // of the rest go out whole, since stderr is unbuffered.
  const char *run = text;
  for (const char *p = text;; ++p) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (byte >= 0x20 && byte != 0x7F) {
      continue;
    }
    std::fwrite(run, 1, static_cast<std::size_t>(p - run), stderr);
    if (byte == '\0') {
      break;
    }
    std::fprintf(stderr, "\\x%02X", byte);
    run = p + 1;
  }
  std::fputc('\n', stderr);
}
