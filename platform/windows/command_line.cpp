// Windows command-line tail: the program name is cut off by the rules of the classic C runtime.
#include "command_line.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

char *SkipBlanks(char *p) {
  while (IsBlank(*p)) {
    ++p;
  }
  return p;
}

}  // namespace

char *ExtractCommandLineTail(char *command_line) noexcept {
  char *p = SkipBlanks(command_line);
  if (*p == '"') {
    // A quoted name may hold blanks, and nothing need separate it from the tail.
    ++p;
    while (*p != '\0' && *p != '"' && *p != '\t') {
      ++p;
    }
  } else {
    while (*p != '\0' && !IsBlank(*p)) {
      ++p;
    }
  }
  if (*p == '"') {
    ++p;
  }
  return SkipBlanks(p);
}
