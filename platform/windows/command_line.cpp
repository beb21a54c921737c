// Windows command-line tail: the program name is cut off by the rules of the classic C runtime,
// and options are read off its start.
#include "command_line.h"

#include <cstring>
#include <utility>

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

// The rest of text after option, if text starts with it and then a blank, a tab or its end;
// else null.
char *After(char *text, const char *option) {
  const std::size_t length = std::strlen(option);
  if (std::strncmp(text, option, length) != 0 || (text[length] != '\0' && !IsBlank(text[length]))) {
    return nullptr;
  }
  return text + length;
}

std::size_t ProgIdLength(const char *text) {
  return std::strspn(text, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._+-");
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

Request ReadRequest(char *tail) noexcept {
  const Request run = {Command::kRun, tail, nullptr};
  for (const auto &[option, command] : {std::pair{"--set-default", Command::kSetDefault},
                                        std::pair{"--unset-default", Command::kUnsetDefault}}) {
    char *rest = After(tail, option);
    if (rest != nullptr && *SkipBlanks(rest) == '\0') {
      return {command, rest, nullptr};
    }
  }
  char *rest = After(tail, "--forward-to");
  if (rest == nullptr) {
    return run;
  }
  char *prog_id = SkipBlanks(rest);
  const std::size_t length = ProgIdLength(prog_id);
  if (length == 0 || length >= 256 || (prog_id[length] != '\0' && !IsBlank(prog_id[length]))) {
    return run;
  }
  char *link = SkipBlanks(prog_id + length);
  prog_id[length] = '\0';
  return {Command::kForward, link, prog_id};
}
