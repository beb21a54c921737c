// The notice for this user: Shift-JIS made readable in the locale, and a dialog to show it in.
#include "notice.h"

#include <iconv.h>
#include <langinfo.h>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "terminal_lines.h"

namespace {

// The encoding the user's terminal and dialogs expect; the plain C locale names none,
// and there UTF-8 is the best guess on any current system.
const char *LocaleEncoding() {
  UseTheUsersLocale();
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

}  // namespace

void ToReadable(const char *text, char *out, std::size_t out_size) {
  if (FromShiftJis(text, LocaleEncoding(), out, out_size) ||
      FromShiftJis(text, "UTF-8", out, out_size)) {
    return;
  }
  std::snprintf(out, out_size, "%s", text);
}

// Only programs that draw Japanese text are tried: xmessage, say, shows mojibake.
void ShowDialog(const char *text, const char *caption, Start start) {
  const char *const zenity[] = {"zenity", "--info", "--no-markup", "--title",
                                caption,  "--text", text,          nullptr};
  const char *const kdialog[] = {"kdialog", "--title", caption, "--msgbox", text, nullptr};
  const char *const gxmessage[] = {"gxmessage", "-center", "-title", caption,
                                   "-buttons",  "OK",      text,     nullptr};
  const char *const *const dialogs[] = {zenity, kdialog, gxmessage};
  for (const char *const *argv : dialogs) {
    const pid_t pid = Spawn(argv, start);
    if (pid > 0) {
      if (start == Start::kChild) {
        WaitFor(pid);
      }
      return;
    }
  }
}
