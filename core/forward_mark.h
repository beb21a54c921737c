// The mark a forwarded link carries in the environment of the program it is forwarded to: if
// that program hands the link back through the default browser, which is us, it is not
// forwarded round again.
#pragma once

// The variable's name; its value is the link's digest, 16 lowercase hexadecimal digits.
constexpr char kForwardMarkName[] = "LINK_UNWRAPPER_FORWARDED";

// The value's size, NUL included.
constexpr int kForwardMarkValueSize = 17;

// The link's mark into out: FNV-1a of its bytes, in hexadecimal. It only has to tell one link
// from another, not keep a secret, and it fits where the link itself might not (one
// variable holds at most 128 KiB on Linux).
inline void ForwardMarkValue(const char *link, char (&out)[kForwardMarkValueSize]) noexcept {
  unsigned long long digest = 14695981039346656037ull;
  for (; *link != '\0'; ++link) {
    digest = (digest ^ static_cast<unsigned char>(*link)) * 1099511628211ull;
  }
  for (int i = 0; i < 16; ++i) {
    out[i] = "0123456789abcdef"[(digest >> (60 - 4 * i)) & 0xF];
  }
  out[16] = '\0';
}
