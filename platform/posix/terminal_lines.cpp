// Lines for a terminal: the user's locale on demand, and texts of strangers made safe to show.
#include "terminal_lines.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

// How much of a text is shown: enough to recognise it, and a line a caller that reads our
// stdout before our stderr cannot choke on.
constexpr std::size_t kShownBytes = 200;

// Marks that a terminal doing bidirectional text obeys, and that iswprint calls printable:
// a crafted text would reorder its own line into something else.
bool IsBidirectionalControl(wchar_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

bool IsShowable(wchar_t c) {
  return std::iswprint(static_cast<wint_t>(c)) && !IsBidirectionalControl(c);
}

// Writes to out what a terminal may safely show of text: characters printable in the
// user's locale as they are, every other character (controls, C1, bidirectional controls)
// and every byte of a broken sequence as \xHH, and returns the end of what it wrote. It
// shows whole characters, kShownBytes bytes at most, and sets shown to how many.
char *WriteShowable(const char *text, std::size_t length, char *out, std::size_t &shown) {
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < length) {
    wchar_t wide;
    const std::size_t decoded = std::mbrtowc(&wide, text + i, length - i, &state);
    const bool whole = decoded != 0 && decoded <= length - i;
    const std::size_t n = whole ? decoded : 1;
    if (i + n > kShownBytes) {
      break;
    }
    if (whole && IsShowable(wide)) {
      out = std::copy(text + i, text + i + n, out);
    } else {
      for (std::size_t k = i; k < i + n; ++k) {
        out += std::snprintf(out, 5, "\\x%02X", static_cast<unsigned char>(text[k]));
      }
      state = std::mbstate_t{};
    }
    i += n;
  }
  shown = i;
  return out;
}

}  // namespace

void UseTheUsersLocale() {
  static bool loaded = false;
  if (!loaded) {
    std::setlocale(LC_CTYPE, "");
    loaded = true;
  }
}

// A crafted text must not drive the terminal, nor make a line of unbounded length.
std::size_t FormatLineAbout(const char *prefix, const char *text, const char *suffix, char *line) {
  static_assert(kLineSize >= 3 * 256 + 4 * kShownBytes + 64, "room for every part");
  UseTheUsersLocale();
  char *end = line + std::snprintf(line, 256 + 16, "link-unwrapper: %.255s", prefix);
  const std::size_t length = std::strlen(text);
  std::size_t shown;
  end = WriteShowable(text, length, end, shown);
  if (shown < length) {
    end += std::snprintf(end, 64, "... (%zu more bytes)", length - shown);
  }
  end += std::snprintf(end, 256, "%.255s", suffix);
  return static_cast<std::size_t>(end - line);
}

void WriteLineAbout(const char *prefix, const char *text, const char *suffix) {
  char line[kLineSize + 1];
  const std::size_t length = FormatLineAbout(prefix, text, suffix, line);
  line[length] = '\n';
  std::fwrite(line, 1, length + 1, stderr);
}
