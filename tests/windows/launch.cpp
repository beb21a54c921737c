// Test helper: starts a Windows program with an exact command line, as Windows passes it,
// and prints the exit code. Usage: launch PROGRAM HEX, where HEX spells the command line's
// bytes, so that no other layer can requote it on the way in.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string FromHex(const char *hex) {
  std::string bytes;
  for (; hex[0] != '\0' && hex[1] != '\0'; hex += 2) {
    const char pair[3] = {hex[0], hex[1], '\0'};
    bytes.push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
  }
  return bytes;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: launch PROGRAM HEX_COMMAND_LINE\n");
    return 2;
  }
  std::string command_line = FromHex(argv[2]);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("cannot start: error %lu\n", GetLastError());
    return 2;
  }
  // Long enough for a notice to be found and dismissed; a hung run must not hang the suite.
  if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 255);
    std::printf("timed out\n");
    return 3;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit code %lu\n", code);
  return 0;
}
