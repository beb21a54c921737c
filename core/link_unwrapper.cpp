#include "link_unwrapper.h"

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

}  // namespace

bool IsWebLink(const char *text) noexcept {
  while (*text == '"') {
    ++text;
  }
  return StartsWithIgnoringCase(text, "http://") || StartsWithIgnoringCase(text, "https://");
}

int RunLinkUnwrapper(LinkBuffer buffer) noexcept {
  if (buffer[0] == '\0') {
    ShowNotice(kNoticeText, kNoticeCaption);
    return 0;
  }
  while (StripEnclosingQuotes(buffer)) {
  }
  // A link that went through no redirector is dropped, not opened as it is.
  if (!UnwrapRedirectors(buffer)) {
    return 0;
  }
  // The text is a stranger's: a redirector address inside a file path or another scheme
  // must not make us run whatever that names.
  if (IsWebLink(buffer)) {
    OpenLink(buffer);
  } else {
    RefuseLink(buffer);
  }
  return 0;
}
