// Test helper: starts a Windows program with an exact command line, as Windows passes it,
// and prints the exit code. Usage: launch [-w] PROGRAM HEX, where HEX spells the command
// line's bytes, so that no other layer can requote it on the way in: in the ANSI code page
// for CreateProcessA, or with -w in UTF-8 for CreateProcessW, as a Unicode caller starts it.
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

// Starts program with the command line, in UTF-16 if wide, else as ANSI bytes.
bool Start(const char *program, const std::string &command_line, bool wide,
           PROCESS_INFORMATION &process) {
  if (!wide) {
    std::string bytes = command_line;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(program, bytes.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process);
  }
  const auto utf16 = [](const std::string &utf8) {
    std::wstring text(utf8.size() + 1, L'\0');
    const int size = static_cast<int>(utf8.size());
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), size + 1)));
    return text;
  };
  std::wstring units = utf16(command_line);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  return CreateProcessW(utf16(program).c_str(), units.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process);
}

}  // namespace

int main(int argc, char **argv) {
  const bool wide = argc == 4 && std::string(argv[1]) == "-w";
  if (argc != 3 + wide) {
    std::fprintf(stderr, "usage: launch [-w] PROGRAM HEX_COMMAND_LINE\n");
    return 2;
  }
  PROCESS_INFORMATION process;
  if (!Start(argv[1 + wide], FromHex(argv[2 + wide]), wide, process)) {
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
