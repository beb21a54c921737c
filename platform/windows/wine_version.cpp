// Which Wine versions cut long links short in their shell.
#include "wine_version.h"

namespace {

// Reads the decimal number at text and moves past it; false if none starts there.
bool ReadNumber(const char *&text, unsigned &number) {
  if (*text < '0' || *text > '9') {
    return false;
  }
  number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (number < 100000) {  // stays far from overflowing, and far above any version
      number = number * 10 + static_cast<unsigned>(*text - '0');
    }
  }
  return true;
}

}  // namespace

// 8.17 mended it ("shell32: Handle long command line in execute_from_key()").
bool WineHasShortCommandBuffer(const char *version) noexcept {
  unsigned major, minor = 0;
  if (!ReadNumber(version, major)) {
    return true;
  }
  if (*version == '.' && !ReadNumber(++version, minor)) {
    return true;
  }
  return major < 8 || (major == 8 && minor < 17);
}
