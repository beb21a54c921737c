// POSIX entry point: rebuilds the command-line tail from the arguments and runs it.
#include <unistd.h>
#include <csignal>
#include <cstdio>
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

// The host names this build unwraps, one per line, indented.
void PrintRedirectorHosts() {
  for (const RedirectorRule &rule : kRedirectorTable) {
    std::printf("  %s\n", rule.host);
  }
}

void PrintUsage() {
  std::printf(
      "Usage: link-unwrapper LINK\n"
      "Opens a link of a link-redirector service as the direct link, with xdg-open.\n"
      "Quotes and blanks around the link are dropped; only well-formed web links\n"
      "(http:// or https://, with no blank, quote, backslash, control character or\n"
      "/../ in them) are opened, and links that go through neither service are dropped.\n"
      "This build unwraps links of:\n");
  PrintRedirectorHosts();
  std::printf("Manual: man link-unwrapper\n");
}

void PrintVersion() {
  std::printf("link-unwrapper " LINK_UNWRAPPER_VERSION "\nRedirector services:\n");
  PrintRedirectorHosts();
}

}  // namespace

int main(int argc, char **argv) {
  // Whoever reads our stderr may be gone; that must not change our exit status.
  std::signal(SIGPIPE, SIG_IGN);
  // Neither text can be a redirector link, so no link is taken from anyone by these.
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintUsage();
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    PrintVersion();
    return 0;
  }
  char *tail = JoinArguments(argc, argv);
  if (tail == nullptr) {
    static const char kMessage[] = "link-unwrapper: out of memory\n";
    (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    return 0;
  }
  // Only a command line with nothing after the program name gets the notice. An empty
  // argument stands for a quoted empty link, "", which strips to nothing and does nothing.
  const int status = argc > 1 && tail[0] == '\0' ? 0 : RunLinkUnwrapper(tail);
  std::free(tail);
  return status;
}
