// Making link-unwrapper the user's handler of web links, forwarding them to the browser they
// had, and undoing it; both through xdg-mime.
#include "default_browser.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop_entry.h"
#include "spawning.h"

namespace {

// Our entry, in the user's applications folder; the installed link-unwrapper.desktop claims
// no links and stays as it is.
constexpr char kOwnId[] = "link-unwrapper-forward.desktop";
constexpr char kTargetKey[] = "X-Link-Unwrapper-Target=";
// The schemes, https first: its handler is the browser a user chose most recently.
const char *const kSchemes[] = {"x-scheme-handler/https", "x-scheme-handler/http"};
// Room for a desktop entry's ID, and for what xdg-mime answers.
constexpr std::size_t kIdSize = 256;

int Fail(const char *format, ...) __attribute__((format(printf, 1, 2)));
int Fail(const char *format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::fputs("link-unwrapper: ", stderr);
  std::vfprintf(stderr, format, arguments);
  std::fputc('\n', stderr);
  va_end(arguments);
  return 1;
}

// Entries that would hand every link straight back to us.
bool IsOurs(const char *id) {
  return std::strcmp(id, kOwnId) == 0 || std::strcmp(id, "link-unwrapper.desktop") == 0;
}

// Our entry's path, in $XDG_DATA_HOME/applications or ~/.local/share/applications; a relative
// XDG_DATA_HOME is ignored, as XDG's base directories are meant to be.
bool OwnEntry(char *out, std::size_t size) {
  const char *data_home = std::getenv("XDG_DATA_HOME");
  const char *home = std::getenv("HOME");
  int length;
  if (data_home != nullptr && data_home[0] == '/') {
    length = std::snprintf(out, size, "%s/applications/%s", data_home, kOwnId);
  } else if (home != nullptr && home[0] == '/') {
    length = std::snprintf(out, size, "%s/.local/share/applications/%s", home, kOwnId);
  } else {
    return false;
  }
  return length > 0 && static_cast<std::size_t>(length) < size;
}

// Makes the folders above path, as mkdir -p does.
bool MakeFoldersAbove(char *path) {
  for (char *slash = std::strchr(path + 1, '/'); slash != nullptr;
       slash = std::strchr(slash + 1, '/')) {
    *slash = '\0';
    const bool made = mkdir(path, 0755) == 0 || errno == EEXIST;
    *slash = '/';
    if (!made) {
      return false;
    }
  }
  return true;
}

// The ID of the entry xdg-mime names as the handler of mime_type, "" for none; false if
// xdg-mime cannot be run.
bool DefaultFor(const char *mime_type, char *out) {
  const char *const argv[] = {"xdg-mime", "query", "default", mime_type, nullptr};
  if (RunAndRead(argv, out, kIdSize) != 0) {
    return false;
  }
  out[std::strcspn(out, "\n")] = '\0';
  return true;
}

bool MakeDefault(const char *id, const char *mime_type, const char *other_mime_type = nullptr) {
  const char *const argv[] = {"xdg-mime", "default", id, mime_type, other_mime_type, nullptr};
  return RunAndWait(argv) == 0;
}

// The entry our entry forwards to, as it records it; "" if it records none.
void RecordedTarget(const char *entry, char *out) {
  out[0] = '\0';
  std::FILE *file = std::fopen(entry, "r");
  if (file == nullptr) {
    return;
  }
  char line[kIdSize + sizeof kTargetKey];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, kTargetKey, sizeof kTargetKey - 1) == 0) {
      char *value = line + sizeof kTargetKey - 1;
      value[std::strcspn(value, "\n")] = '\0';
      if (IsDesktopEntryId(value) && std::strlen(value) < kIdSize) {
        std::strcpy(out, value);
      }
      break;
    }
  }
  std::fclose(file);
}

// The program as an Exec key's first word: as it is when it holds nothing the key's quoting
// or its escapes would read, else in double quotes with " ` $ \ escaped, every \ doubled
// again for the key file, and % written %%. False for a path no key can hold.
bool ExecProgram(const char *path, char *out, std::size_t size) {
  constexpr char kPlain[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-";
  if (std::strspn(path, kPlain) == std::strlen(path)) {
    return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
  }
  char *w = out;
  char *const end = out + size - 8;
  *w++ = '"';
  for (const char *p = path; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x20 || byte == 0x7F || w >= end) {
      return false;
    }
    if (*p == '"' || *p == '`' || *p == '$') {
      *w++ = '\\';
    } else if (*p == '\\') {
      w = std::strcpy(w, "\\\\\\") + 3;
    } else if (*p == '%') {
      *w++ = '%';
    }
    *w++ = *p;
  }
  *w++ = '"';
  *w = '\0';
  return true;
}

// Writes our entry, forwarding to target, in place of any earlier one.
bool WriteEntry(const char *entry, const char *program, const char *target) {
  char temporary[PATH_MAX + 8];
  std::snprintf(temporary, sizeof temporary, "%s.new", entry);
  std::FILE *file = std::fopen(temporary, "w");
  if (file == nullptr) {
    return false;
  }
  std::fprintf(file,
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Link Unwrapper, forwarding to %s\n"
               "Comment=Opens links of link-redirector services as direct links, and every "
               "web link, with %s\n"
               "Exec=%s --forward-to %s %%u\n"
               "Terminal=false\n"
               "NoDisplay=true\n"
               "MimeType=x-scheme-handler/http;x-scheme-handler/https;\n"
               "%s%s\n",
               target, target, program, target, kTargetKey, target);
  const bool written = std::fclose(file) == 0;
  return written && std::rename(temporary, entry) == 0;
}

}  // namespace

int SetDefaultBrowser(const char *target) {
  char entry[PATH_MAX];
  if (!OwnEntry(entry, sizeof entry)) {
    return Fail("neither XDG_DATA_HOME nor HOME names a folder to put a desktop entry in");
  }
  if (!MakeFoldersAbove(entry)) {
    return Fail("cannot make the folders of %s: %s", entry, std::strerror(errno));
  }
  char chosen[kIdSize] = "";
  if (target != nullptr) {
    if (!IsDesktopEntryId(target) || std::strlen(target) >= kIdSize) {
      return Fail("not a desktop entry's ID: %s (such as firefox-esr.desktop)", target);
    }
    std::strcpy(chosen, target);
  } else {
    // We may be the handler already: then the browser we forward to stays.
    char recorded[kIdSize];
    RecordedTarget(entry, recorded);
    for (const char *scheme : kSchemes) {
      char current[kIdSize];
      if (!DefaultFor(scheme, current)) {
        return Fail("cannot ask xdg-mime (from xdg-utils) for the handler of %s", scheme);
      }
      std::strcpy(chosen, std::strcmp(current, kOwnId) == 0 ? recorded : current);
      if (chosen[0] != '\0') {
        break;
      }
    }
    if (chosen[0] == '\0') {
      return Fail(
          "no browser handles web links to forward them to; name one, as in "
          "link-unwrapper --set-default firefox-esr.desktop");
    }
    if (!IsDesktopEntryId(chosen)) {
      return Fail(
          "the handler of web links, %s, cannot be named in a desktop entry; name "
          "another, as in link-unwrapper --set-default firefox-esr.desktop",
          chosen);
    }
  }
  if (IsOurs(chosen)) {
    return Fail(
        "%s is link-unwrapper itself, which would get every link back; name a "
        "browser, as in link-unwrapper --set-default firefox-esr.desktop",
        chosen);
  }
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  char program[2 * PATH_MAX];
  if (length <= 0 || (path[length] = '\0', !ExecProgram(path, program, sizeof program))) {
    return Fail("cannot name this program's own file in a desktop entry");
  }
  if (!WriteEntry(entry, program, chosen)) {
    return Fail("cannot write %s: %s", entry, std::strerror(errno));
  }
  if (!MakeDefault(kOwnId, kSchemes[1], kSchemes[0])) {
    return Fail("xdg-mime could not make %s the handler of web links", entry);
  }
  for (const char *scheme : kSchemes) {
    char current[kIdSize];
    if (!DefaultFor(scheme, current) || std::strcmp(current, kOwnId) != 0) {
      return Fail(
          "your desktop still opens %s links with %s; choose \"%s\" as the browser in "
          "its settings, or undo this with link-unwrapper --unset-default",
          scheme + sizeof "x-scheme-handler/" - 1, current, kOwnId);
    }
  }
  std::printf(
      "link-unwrapper now opens http and https links: each goes on to %s, unwrapped\n"
      "if it went through a redirector. Local files and web pages on disk stay with\n"
      "the browser. Its desktop entry: %s\n"
      "To undo it: link-unwrapper --unset-default\n",
      chosen, entry);
  return 0;
}

int UnsetDefaultBrowser() {
  char entry[PATH_MAX];
  if (!OwnEntry(entry, sizeof entry)) {
    return Fail("neither XDG_DATA_HOME nor HOME names a folder of desktop entries");
  }
  char recorded[kIdSize];
  RecordedTarget(entry, recorded);
  bool handed_back = false;
  for (const char *scheme : kSchemes) {
    char current[kIdSize];
    if (!DefaultFor(scheme, current)) {
      return Fail("cannot ask xdg-mime (from xdg-utils) for the handler of %s", scheme);
    }
    if (std::strcmp(current, kOwnId) != 0) {
      continue;
    }
    // Never leave a scheme without the handler found there.
    if (recorded[0] == '\0') {
      return Fail(
          "%s links go to link-unwrapper, but %s, which names the browser to give "
          "them back to, is gone; name it, as in xdg-mime default firefox-esr.desktop %s",
          scheme + sizeof "x-scheme-handler/" - 1, entry, scheme);
    }
    if (!MakeDefault(recorded, scheme)) {
      return Fail("xdg-mime could not give %s back to %s", scheme, recorded);
    }
    handed_back = true;
  }
  const bool removed = std::remove(entry) == 0;
  if (!removed && errno != ENOENT) {
    return Fail("cannot remove %s: %s", entry, std::strerror(errno));
  }
  if (!handed_back && !removed) {
    std::printf("link-unwrapper is not your handler of web links: nothing to undo.\n");
    return 0;
  }
  if (handed_back) {
    std::printf("http and https links go to %s again.\n", recorded);
  }
  if (removed) {
    std::printf("Removed %s.\n", entry);
  }
  return 0;
}
