// POSIX entry point: the options, then the command-line tail rebuilt from the arguments and
// run once.
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "default_browser.h"
#include "desktop_entry.h"
#include "link_unwrapper.h"
#include "opening.h"

namespace {

// The arguments joined by single blanks, which is how a shell split the one command line we
// stand for. Null only when memory runs out.
char *JoinArguments(int count, char **arguments) {
  std::size_t size = 1;
  for (int i = 0; i < count; ++i) {
    size += std::strlen(arguments[i]) + 1;
  }
  char *tail = static_cast<char *>(std::malloc(size));
  if (tail == nullptr) {
    return nullptr;
  }
  char *end = tail;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      *end++ = ' ';
    }
    const std::size_t length = std::strlen(arguments[i]);
    std::memcpy(end, arguments[i], length);
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
      "Usage: link-unwrapper [--print] [--forward-to ID] [--] LINK\n"
      "       link-unwrapper --set-default [ID] | --unset-default\n"
      "       link-unwrapper -h | --help | -V | --version\n"
      "Opens a link of a link-redirector service as the direct link, with xdg-open.\n"
      "Quotes and blanks around the link are dropped; only well-formed web links\n"
      "(http:// or https://, with no blank, quote, backslash, control character or\n"
      "/../ in them) are opened, and links that go through neither service are dropped.\n"
      "\n"
      "  --print           write the link that would be opened to stdout instead\n"
      "  --forward-to ID   open every web link, unwrapped or not, with the desktop\n"
      "                    entry ID (such as firefox-esr.desktop), not with xdg-open\n"
      "  --                end of options: the rest is the link\n"
      "  --set-default [ID]  become your handler of http and https links, forwarding\n"
      "                    them to ID, or to the browser that handles them today\n"
      "  --unset-default   give http and https links back to that browser\n"
      "  -h, --help        show this help\n"
      "  -V, --version     show the version\n"
      "\n"
      "This build unwraps links of:\n");
  PrintRedirectorHosts();
  std::printf("Manual: man link-unwrapper\n");
}

void PrintVersion() {
  std::printf("link-unwrapper " LINK_UNWRAPPER_VERSION "\nRedirector services:\n");
  PrintRedirectorHosts();
}

bool Is(const char *argument, const char *option) {
  return std::strcmp(argument, option) == 0;
}

}  // namespace

int main(int argc, char **argv) {
  // Whoever reads our stderr may be gone; that must not change our exit status.
  std::signal(SIGPIPE, SIG_IGN);
  SetOwnName(argc > 0 ? argv[0] : "link-unwrapper");
  // No link starts with '-', so options take nothing from anyone; they come first.
  int first = 1;
  if (argc > 1 && (Is(argv[1], "--help") || Is(argv[1], "-h"))) {
    PrintUsage();
    return 0;
  }
  if (argc > 1 && (Is(argv[1], "--version") || Is(argv[1], "-V"))) {
    PrintVersion();
    return 0;
  }
  // Setting up, unlike a run, says whether it worked in its exit status.
  if (argc > 1 && argc <= 3 && Is(argv[1], "--set-default")) {
    return SetDefaultBrowser(argc == 3 ? argv[2] : nullptr);
  }
  if (argc == 2 && Is(argv[1], "--unset-default")) {
    return UnsetDefaultBrowser();
  }
  if (argc > first && Is(argv[first], "--print")) {
    PrintInsteadOfOpening();
    ++first;
  }
  PlainLinks plain = PlainLinks::kDropped;
  if (argc > first + 1 && Is(argv[first], "--forward-to")) {
    if (!IsDesktopEntryId(argv[first + 1])) {
      ReportNoDesktopEntryId(argv[first + 1]);
      return 0;
    }
    ForwardTo(argv[first + 1]);
    plain = PlainLinks::kOpened;
    first += 2;
  }
  if (argc > first && Is(argv[first], "--")) {
    ++first;
  } else if (argc > first && argv[first][0] == '-') {
    ReportUnknownOption(argv[first]);
    return 0;
  }
  char *tail = JoinArguments(argc - first, argv + first);
  if (tail == nullptr) {
    static const char kMessage[] = "link-unwrapper: out of memory\n";
    (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    return 0;
  }
  // Only a command line with nothing after the program name gets the notice. An empty
  // argument stands for a quoted empty link, "", which strips to nothing and does nothing.
  const int status = argc > 1 && tail[0] == '\0' ? 0 : RunLinkUnwrapper(tail, plain);
  std::free(tail);
  return status;
}
