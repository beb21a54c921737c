// How the Windows shell reads a link: two-byte characters of the ANSI code page, references
// to the environment, and the command buffer of Wine's shell before 8.17.
#include <windows.h>

#include <cstring>

#include "desktop.h"
#include "wine_version.h"

namespace {

// Wine's own default handler for web links, for when the registry does not say.
constexpr char kWineBrowserCommand[] = "\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";
constexpr int kWineCommandBuffer = 1024;  // characters, NUL included

// Links come from a command line of at most 32 K characters, so any link that the
// expansion leaves as it is fits.
char expanded[65536];

// The length of text in characters of the ANSI code page, as the shell counts them.
int Characters(const char *text) {
  return MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) - 1;
}

// Wine's shell replaces %NAME% by the variable's value in the text it opens, so a link could
// carry the user's variables, tokens among them, to its site. Windows does not expand links
// at all; there a link naming a variable between two % is seldom seen, and refused too.
bool ExpandsToItself(const char *link) {
  const DWORD size = ExpandEnvironmentStringsA(link, expanded, sizeof expanded);
  return size != 0 && size <= sizeof expanded && std::strcmp(expanded, link) == 0;
}

// What a module already loaded exports by this name, or null. Asked for by name, so that
// nothing new is imported.
template <typename Function>
Function Exported(const char *module, const char *name) {
  const HMODULE handle = GetModuleHandleA(module);
  const FARPROC proc = handle != nullptr ? GetProcAddress(handle, name) : nullptr;
  // Through void (*)(), the one cast between function types that no warning minds.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

// Wine's version, or null on Windows.
const char *WineVersion() {
  const auto get_version = Exported<const char *(__cdecl *)()>("ntdll.dll", "wine_get_version");
  return get_version != nullptr ? get_version() : nullptr;
}

// The characters of the command that Wine's shell puts around a link of this scheme: the
// "open" command of the scheme's class, with the environment expanded as the shell does, or
// Wine's default when it cannot be read. Wine's kernel32 exports the registry's functions.
int HandlerCommandCharacters(const char *link) {
  // The scheme is http or https, as IsWebLink found. Not snprintf: mingw-w64's own would
  // more than double the size of the program.
  constexpr char kOpenCommand[] = "\\shell\\open\\command";
  char key[sizeof "https" - 1 + sizeof kOpenCommand];
  const std::size_t scheme = std::strcspn(link, ":");
  if (scheme > sizeof "https" - 1) {
    return kWineCommandBuffer;
  }
  std::memcpy(key, link, scheme);
  std::memcpy(key + scheme, kOpenCommand, sizeof kOpenCommand);
  const auto get_value =
      Exported<LSTATUS(WINAPI *)(HKEY, LPCSTR, LPCSTR, DWORD, LPDWORD, PVOID, LPDWORD)>(
          "kernel32.dll", "RegGetValueA");
  char command[kWineCommandBuffer];
  DWORD size = sizeof command;
  const LSTATUS status =
      get_value == nullptr
          ? ERROR_PROC_NOT_FOUND
          : get_value(HKEY_CLASSES_ROOT, key, nullptr,
                      RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, command, &size);
  if (status == ERROR_MORE_DATA) {
    return kWineCommandBuffer;
  }
  if (status != ERROR_SUCCESS) {
    return Characters(kWineBrowserCommand);
  }
  const DWORD expanded_size = ExpandEnvironmentStringsA(command, expanded, sizeof expanded);
  return expanded_size == 0 || expanded_size > sizeof expanded ? kWineCommandBuffer
                                                               : Characters(expanded);
}

// Before 8.17, Wine's shell builds the handler's command, with the link in place of its %1,
// in 1,024 characters: past them it cuts the link short, and further on it overruns the
// buffer and crashes. Counting the whole command and the link leaves a few characters to
// spare, and holds for a command without %1, which the link is appended to.
bool FitsTheShellsCommand(const char *link) {
  const char *wine = WineVersion();
  if (wine == nullptr || !WineHasShortCommandBuffer(wine)) {
    return true;
  }
  return HandlerCommandCharacters(link) + Characters(link) < kWineCommandBuffer;
}

}  // namespace

// As MultiByteToWideChar reads it: a lead byte and a byte that makes a valid character
// with it are one character; every other byte is one on its own.
std::size_t CharacterLength(const char *text) noexcept {
  if (!IsDBCSLeadByte(static_cast<BYTE>(text[0])) || text[1] == '\0') {
    return 1;
  }
  wchar_t wide;
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, 2, &wide, 1) == 1 ? 2 : 1;
}

bool ShellReadsAsWritten(const char *link) noexcept {
  return ExpandsToItself(link) && FitsTheShellsCommand(link);
}
