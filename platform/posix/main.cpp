// POSIX entry point: rebuilds the command-line tail from the arguments and runs it.
#include <unistd.h>
#include <cstdlib>
#include <cstring>

#include "link_unwrapper.h"

namespace {

// The arguments after the program name joined by single blanks, which is how a shell
// split the one command line we stand for. Null only when memory runs out.
char *JoinArguments(int argc, char **argv) {
  std::size_t size = 1;
  for (int i = 1; i < argc; ++i) {
    size += std::strlen(argv[i]) + 1;
  }
  char *tail = static_cast<char *>(std::malloc(size));
  if (tail == nullptr) {
    return nullptr;
  }
  char *end = tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      *end++ = ' ';
    }
    const std::size_t length = std::strlen(argv[i]);
    std::memcpy(end, argv[i], length);
    end += length;
  }
  *end = '\0';
  return tail;
}

}  // namespace

int main(int argc, char **argv) {
  char *tail = JoinArguments(argc, argv);
  if (tail == nullptr) {
    static const char kMessage[] = "link-unwrapper: out of memory\n";
    (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    return 0;
  }
  const int status = RunLinkUnwrapper(tail);
  std::free(tail);
  return status;
}
