// Test helper: starts a Windows program with an exact command line, as Windows passes it,
// and prints the exit code. Usage: launch [-w] PROGRAM < HEX, where HEX on standard input
// spells the command line's bytes, so that no other layer can requote it on the way in, nor
// limit its length: in the ANSI code page for CreateProcessA, or with -w in UTF-8 for
// CreateProcessW, as a Unicode caller starts it. There, a surrogate written in UTF-8's way
// (ED A0 80 for U+D800) is that surrogate alone, which only a broken caller sends.
// Or: launch -o|-O < HEX, which asks the shell to "open" the text (ShellExecuteExA, or with
// -O ShellExecuteExW from UTF-8), as a program opens a link, and prints what it answered.
#include <windows.h>

#include <shellapi.h>  // needs windows.h first

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

std::string FromHex(const std::string &hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// UTF-8 to UTF-16, surrogates that stand alone included: MultiByteToWideChar would make
// each of them U+FFFD.
std::wstring Utf16(const std::string &utf8) {
  std::wstring units;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    unsigned long code_point = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      code_point = code_point << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    if (code_point >= 0x10000) {
      units.push_back(static_cast<wchar_t>(0xD800 + ((code_point - 0x10000) >> 10)));
      units.push_back(static_cast<wchar_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<wchar_t>(code_point));
    }
    i += length;
  }
  return units;
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
  std::wstring units = Utf16(command_line);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  return CreateProcessW(Utf16(program).c_str(), units.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process);
}

// The shell's "open" of the text, as most programs open a link: what the user chose for it.
int Open(const std::string &text, bool wide) {
  std::wstring units = Utf16(text);
  SHELLEXECUTEINFOA ansi = {};
  SHELLEXECUTEINFOW unicode = {};
  ansi.cbSize = sizeof ansi;
  unicode.cbSize = sizeof unicode;
  ansi.fMask = unicode.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  ansi.lpVerb = "open";
  unicode.lpVerb = L"open";
  ansi.lpFile = text.c_str();
  unicode.lpFile = units.c_str();
  ansi.nShow = unicode.nShow = SW_SHOW;
  const BOOL opened = wide ? ShellExecuteExW(&unicode) : ShellExecuteExA(&ansi);
  std::printf(opened ? "opened\n" : "not opened: error %lu\n", GetLastError());
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 2 && (std::string(argv[1]) == "-o" || std::string(argv[1]) == "-O")) {
    std::string hex;
    std::getline(std::cin, hex);
    return Open(FromHex(hex), argv[1][1] == 'O');
  }
  const bool wide = argc == 3 && std::string(argv[1]) == "-w";
  if (argc != 2 + wide) {
    std::fprintf(stderr, "usage: launch [-w] PROGRAM < HEX_COMMAND_LINE\n");
    return 2;
  }
  std::string hex;
  std::getline(std::cin, hex);
  PROCESS_INFORMATION process;
  if (!Start(argv[1 + wide], FromHex(hex), wide, process)) {
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
