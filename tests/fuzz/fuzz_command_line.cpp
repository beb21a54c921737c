// Fuzz target: ExtractCommandLineTail returns a suffix of the command line that starts with
// neither blank nor tab, and after a program name and a blank, what follows is the tail.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command_line.h"
#include "fuzz_input.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

void CheckTail(std::string command_line, const std::string *expected) {
  char *begin = command_line.data();
  const char *tail = ExtractCommandLineTail(begin);
  if (tail < begin || tail > begin + command_line.size() || IsBlank(*tail)) {
    std::abort();
  }
  if (expected != nullptr && *expected != tail) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text = AsCString(data, size);
  CheckTail(text, nullptr);
  const std::size_t first = text.find_first_not_of(" \t");
  const std::string rest = first == std::string::npos ? "" : text.substr(first);
  for (const char *name :
       {"lu.exe ", "lu.exe\t", "\"C:\\Program Files\\lu.exe\"", "  \t\"lu\"\t "}) {
    CheckTail(name + text, &rest);
  }
  return 0;
}
