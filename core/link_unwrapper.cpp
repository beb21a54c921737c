// The run sequence: the notice, or the link cut out of the unwrapped tail and opened or refused.
#include "link_unwrapper.h"

#include <cstring>

#include "desktop.h"

namespace {

// "コマンドラインきてない" and "poktaキラー" in Shift-JIS, written as bytes so that the
// encoding this file is saved in cannot change them.
constexpr char kNoticeText[] =
    "\x83\x52\x83\x7D\x83\x93\x83\x68\x83\x89\x83\x43\x83\x93\x82\xAB\x82\xC4\x82\xC8\x82\xA2";
constexpr char kNoticeCaption[] = "\x70\x6F\x6B\x74\x61\x83\x4C\x83\x89\x81\x5B";

// Whether text starts with prefix, which is lowercase ASCII, in any ASCII case. Not
// tolower: the locale must not decide, and no other byte may pass for ':' or '/'.
bool StartsWithIgnoringCase(const char *text, const char *prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    const char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
    if (c != *prefix) {
      return false;
    }
  }
  return true;
}

// A byte that a shell or a browser's command line would read as more than data.
bool IsUnsafeByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7F || c == '"' || c == '\\';
}

// The link the unwrapped text stands for: without the double quotes at its start and the
// blanks and double quotes at its end, which only shorten the buffer.
char *CutOutLink(LinkBuffer buffer) {
  while (*buffer == '"') {
    ++buffer;
  }
  std::size_t length = std::strlen(buffer);
  while (length > 0 && (buffer[length - 1] == ' ' || buffer[length - 1] == '"')) {
    --length;
  }
  buffer[length] = '\0';
  return buffer;
}

}  // namespace

bool IsWebLink(const char *link) noexcept {
  if (StartsWithIgnoringCase(link, "http://")) {
    link += sizeof "http://" - 1;
  } else if (StartsWithIgnoringCase(link, "https://")) {
    link += sizeof "https://" - 1;
  } else {
    return false;
  }
  // A segment of dots only, between slashes or after the last one, walks up a path: the
  // shell may take the text for a file before it takes it for a link.
  bool segment_all_dots = false;
  while (true) {
    if (*link == '/' || *link == '\0') {
      if (segment_all_dots) {
        return false;
      }
      if (*link == '\0') {
        return true;
      }
      ++link;
      continue;
    }
    // The second byte of a two-byte character is at least 0x40 in every double-byte code
    // page of Windows: no blank, control byte, quote, slash or dot hides in one, and its
    // 0x5C is no backslash.
    if (CharacterLength(link) == 2) {
      segment_all_dots = false;
      link += 2;
      continue;
    }
    if (IsUnsafeByte(*link)) {
      return false;
    }
    segment_all_dots = *link == '.' && (link[-1] == '/' || segment_all_dots);
    ++link;
  }
}

int RunLinkUnwrapper(LinkBuffer buffer, PlainLinks plain) noexcept {
  if (buffer[0] == '\0') {
    ShowNotice(kNoticeText, kNoticeCaption);
    return 0;
  }
  StripAllEnclosingQuotes(buffer);
  // Unless we stand in for the browser, a link that went through no redirector is dropped,
  // not opened as it is; and a tail of quotes alone holds no link either way.
  if (!UnwrapRedirectors(buffer) && (plain == PlainLinks::kDropped || buffer[0] == '\0')) {
    return 0;
  }
  // The text is a stranger's: a redirector address inside a file path, another scheme or
  // a browser option must not make us run whatever that names.
  const char *link = CutOutLink(buffer);
  if (IsWebLink(link) && ShellReadsAsWritten(link)) {
    OpenLink(link);
  } else {
    RefuseLink(link);
  }
  return 0;
}
