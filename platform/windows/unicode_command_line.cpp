// The Unicode command line made into ANSI text without losing a character: what does not fit
// the code page is percent-escaped, as a browser sends it anyway.
#include "unicode_command_line.h"

#include <windows.h>

#include <cstddef>

namespace {

// Windows passes at most 32,767 UTF-16 units; one unit grows to at most nine bytes (three
// percent-escapes), a surrogate pair to twelve.
constexpr std::size_t kLongestCharacter = 12;
char converted[9 * 32767 + 1];

// No double-byte code page takes DEL as a second byte, and no link may hold it.
constexpr char kNoCharacter = '\x7F';

bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The character's bytes in the ANSI code page, and how many, or 0 unless they read back as
// exactly this character: a best fit (Café as Cafe, ／ as /) or the default '?' would open
// another page. UTF-8 as the ANSI code page takes no flags.
int ToAnsiExactly(const wchar_t *character, int units, char *out) {
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = WideCharToMultiByte(CP_ACP, flags, character, units, out, 4, nullptr, nullptr);
  wchar_t back[2];
  if (length <= 0 ||
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out, length, back, 2) != units) {
    return 0;
  }
  return back[0] == character[0] && (units == 1 || back[1] == character[1]) ? length : 0;
}

char *PercentEscape(unsigned byte, char *out) {
  constexpr char kHex[] = "0123456789ABCDEF";
  *out++ = '%';
  *out++ = kHex[byte >> 4];
  *out++ = kHex[byte & 0xF];
  return out;
}

// The percent-escapes of the code point's UTF-8 bytes.
char *PercentEscapeUtf8(unsigned long code_point, char *out) {
  if (code_point < 0x800) {
    out = PercentEscape(0xC0 | (code_point >> 6), out);
  } else {
    if (code_point < 0x10000) {
      out = PercentEscape(0xE0 | (code_point >> 12), out);
    } else {
      out = PercentEscape(0xF0 | (code_point >> 18), out);
      out = PercentEscape(0x80 | ((code_point >> 12) & 0x3F), out);
    }
    out = PercentEscape(0x80 | ((code_point >> 6) & 0x3F), out);
  }
  return PercentEscape(0x80 | (code_point & 0x3F), out);
}

}  // namespace

char *AnsiCommandLine() noexcept {
  const wchar_t *wide = GetCommandLineW();
  char *out = converted;
  char *const end = converted + sizeof converted - 1;
  while (*wide != L'\0') {
    if (end - out < static_cast<std::ptrdiff_t>(kLongestCharacter)) {
      *out++ = kNoCharacter;  // never on Windows; a longer text is not opened cut short
      break;
    }
    // Every ANSI code page holds ASCII as itself.
    if (*wide < 0x80) {
      *out++ = static_cast<char>(*wide++);
      continue;
    }
    const int units = IsHighSurrogate(wide[0]) && IsLowSurrogate(wide[1]) ? 2 : 1;
    if (units == 1 && (IsHighSurrogate(*wide) || IsLowSurrogate(*wide))) {
      *out++ = kNoCharacter;
      ++wide;
      continue;
    }
    const int length = ToAnsiExactly(wide, units, out);
    if (length > 0) {
      out += length;
    } else {
      const unsigned long code_point =
          units == 1 ? wide[0]
                     : 0x10000 + ((static_cast<unsigned long>(wide[0]) - 0xD800) << 10) +
                           (static_cast<unsigned long>(wide[1]) - 0xDC00);
      out = PercentEscapeUtf8(code_point, out);
    }
    wide += units;
  }
  *out = '\0';
  return converted;
}
