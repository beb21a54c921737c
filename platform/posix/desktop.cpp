// POSIX desktop requests: web links go to xdg-open (open on macOS), detached or, at a console,
// in the foreground; the notice to stderr and a dialog; a refused link to stderr.
#include "desktop.h"
#include "opening.h"

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

extern char **environ;

namespace {

#if defined(__APPLE__)
constexpr char kOpener[] = "open";
#else
constexpr char kOpener[] = "xdg-open";
#endif

const char *own_name = "link-unwrapper";
bool print_instead = false;

// How a child is started: away from the caller, as a plain child, or, at a console, in our
// place on the terminal.
enum class Start { kDetached, kChild, kForeground };

// Starts argv[0], looked up on PATH, with the environment envp, default signal dispositions
// and an empty signal mask: we ignore SIGPIPE, and neither that nor a mask of the caller's
// may reach a browser. Descriptors from 3 up stay ours, so that a pipe the caller handed us
// is not held for as long as the browser runs. A detached child reads and writes /dev/null
// instead of our streams, for the same reason, keeping only our stderr when a person at a
// terminal may want its complaints; and it runs in a session of its own, so that closing
// that terminal does not take the browser with it. Returns the child's pid, or -1 with the
// reason in errno.
pid_t Spawn(const char *const *argv, Start start, char *const *envp = environ) {
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
  if (start == Start::kDetached) {
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!isatty(STDERR_FILENO)) {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
  }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
  posix_spawnattr_setflags(&attributes, static_cast<short>(flags));
  pid_t pid;
  const int error =
      posix_spawnp(&pid, argv[0], &actions, &attributes, const_cast<char *const *>(argv), envp);
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
  const char *name = std::setlocale(LC_CTYPE, nullptr);
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

// At a console a text browser needs the terminal, so the opener takes our place on it.
bool AtAConsole() {
  return !HasGraphicalSession() && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

// Runs the opener in our place on the terminal and waits for it, as system() does, with ^C
// and ^\ meant for the browser alone. Returns what Spawn returns.
pid_t SpawnAndWaitAtTheConsole(const char *const *argv, char *const *envp) {
  struct sigaction ignore = {}, interrupt, quit;
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGINT, &ignore, &interrupt);
  sigaction(SIGQUIT, &ignore, &quit);
  const pid_t pid = Spawn(argv, Start::kForeground, envp);
  const int error = errno;
  if (pid > 0) {
    WaitFor(pid);
  }
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGQUIT, &quit, nullptr);
  errno = error;
  return pid;
}

bool IsNamed(const char *name, std::size_t length, const char *wanted) {
  return std::strlen(wanted) == length && std::memcmp(name, wanted, length) == 0;
}

// Whether an entry of BROWSER, a command whose first word names the program, starts us.
bool StartsUs(const char *entry, std::size_t length) {
  const char *end = entry + length;
  while (entry < end && (*entry == ' ' || *entry == '\t')) {
    ++entry;
  }
  const char *word_end = entry;
  while (word_end < end && *word_end != ' ' && *word_end != '\t') {
    ++word_end;
  }
  const char *name = word_end;
  while (name > entry && name[-1] != '/') {
    --name;
  }
  const auto name_length = static_cast<std::size_t>(word_end - name);
  return IsNamed(name, name_length, "link-unwrapper") || IsNamed(name, name_length, own_name);
}

// BROWSER=VALUE without the entries that start us, written into out, or "" when none is
// left; xdg-open would otherwise hand the link straight back to us, and we drop it.
void WithoutUs(const char *value, char *out) {
  std::strcpy(out, "BROWSER=");
  char *kept = out + std::strlen(out);
  char *w = kept;
  for (const char *entry = value;;) {
    const char *colon = std::strchr(entry, ':');
    const auto length =
        colon != nullptr ? static_cast<std::size_t>(colon - entry) : std::strlen(entry);
    if (!StartsUs(entry, length)) {
      if (w != kept) {
        *w++ = ':';
      }
      std::memcpy(w, entry, length);
      w += length;
    }
    if (colon == nullptr) {
      break;
    }
    entry = colon + 1;
  }
  *w = '\0';
  if (w == kept) {
    out[0] = '\0';
  }
}

// Our environment with BROWSER made safe for the opener; nothing else changes. One block,
// for one free: the pointers, then room for the filtered values. Null when memory runs out.
char **OpenerEnvironment() {
  std::size_t count = 0;
  std::size_t room = 0;
  for (; environ[count] != nullptr; ++count) {
    if (std::strncmp(environ[count], "BROWSER=", 8) == 0) {
      room += std::strlen(environ[count]) + 1;
    }
  }
  const std::size_t pointers = (count + 1) * sizeof(char *);
  auto **envp = static_cast<char **>(std::malloc(pointers + room));
  if (envp == nullptr) {
    return nullptr;
  }
  char *filtered = reinterpret_cast<char *>(envp) + pointers;
  std::size_t n = 0;
  for (std::size_t i = 0; i < count; ++i) {
    char *variable = environ[i];
    if (std::strncmp(variable, "BROWSER=", 8) == 0) {
      WithoutUs(variable + 8, filtered);
      if (filtered[0] == '\0') {
        continue;
      }
      variable = filtered;
      filtered += std::strlen(filtered) + 1;
    }
    envp[n++] = variable;
  }
  envp[n] = nullptr;
  return envp;
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
    const pid_t pid = Spawn(argv, Start::kChild);
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
  char **envp = OpenerEnvironment();
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

namespace {

// How much of a refused text is shown: enough to recognise it, and a line a caller that
// reads our stdout before our stderr cannot choke on.
constexpr std::size_t kShownBytes = 200;

// Writes to out what a terminal may safely show of text: characters printable in the
// user's locale as they are, every other byte (controls, C1, broken sequences) as \xHH, and
// returns the end of what it wrote. It shows whole characters, kShownBytes bytes at most,
// and sets shown to how many.
char *WriteShowable(const char *text, std::size_t length, char *out, std::size_t &shown) {
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < length) {
    wchar_t wide;
    const std::size_t n = std::mbrtowc(&wide, text + i, length - i, &state);
    const bool printable = n != 0 && n <= length - i && std::iswprint(static_cast<wint_t>(wide));
    if (i + (printable ? n : 1) > kShownBytes) {
      break;
    }
    if (printable) {
      out = std::copy(text + i, text + i + n, out);
      i += n;
    } else {
      out += std::snprintf(out, 5, "\\x%02X", static_cast<unsigned char>(text[i++]));
      state = std::mbstate_t{};
    }
  }
  shown = i;
  return out;
}

// Writes prefix, what may safely be shown of text, and suffix as one line on stderr. A
// crafted text must not drive the terminal, nor make a line of unbounded length.
void WriteLineAbout(const char *prefix, const char *text, const char *suffix) {
  char line[64 + 4 * kShownBytes + 64 + 64];  // prefix, text, cut mark, suffix
  char *end = line + std::snprintf(line, 64, "link-unwrapper: %s", prefix);
  const std::size_t length = std::strlen(text);
  std::size_t shown;
  end = WriteShowable(text, length, end, shown);
  if (shown < length) {
    end += std::snprintf(end, 64, "... (%zu more bytes)", length - shown);
  }
  end += std::snprintf(end, 64, "%s\n", suffix);
  std::fwrite(line, 1, static_cast<std::size_t>(end - line), stderr);
}

}  // namespace

void RefuseLink(const char *text) noexcept {
  WriteLineAbout("not opened, not a web link: ", text, "");
}

void ReportUnknownOption(const char *argument) noexcept {
  WriteLineAbout("unknown option ", argument, "; see link-unwrapper --help");
}
