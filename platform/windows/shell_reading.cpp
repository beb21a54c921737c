// How the Windows shell reads a link: two-byte characters of the ANSI code page, references
// to the environment, and the fixed buffers of Wine's shell.
#include <windows.h>

#include <cstring>

#include "desktop.h"

namespace {

// Wine's own default handler for web links, for when the registry does not say.
constexpr char kWineBrowserCommand[] = "\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";
// Wine's shell copies the text it opens into buffers of fixed size without checking its
// length: 8.0 into 1,024 characters (wcmdBuffer in SHELL_execute), 10.0 into MAX_PATH
// (xlpFile in SHELL_FindExecutable), and past them it overwrites its own stack. Before 8.17
// it also builds the handler's command in 1,024 characters, and cuts a longer one short; every
// version reads only the first 255 characters of the handler's command. In characters, NUL
// included.
constexpr int kWineFileBuffer = MAX_PATH;
constexpr int kWineCommandBuffer = 1024;
constexpr int kWineHandlerCommand = 256;

// A link comes from a command line of at most 32,767 characters, each at most nine bytes
// once converted, so any link that the expansion leaves as it is fits.
char expanded[9 * 32767 + 1];

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

// Whether the command that Wine's shell runs for this link fits its buffers: the "open"
// command of the scheme's class, with the environment expanded as the shell does (Wine's
// default when it cannot be read), and the link in place of each %, since %1, %L and
// %2 to %9 may each stand for it. Wine's kernel32 exports the registry's functions.
bool HandlerCommandFits(const char *link) {
  // The scheme is http or https, as IsWebLink found. Not snprintf: mingw-w64's own would
  // more than double the size of the program.
  constexpr char kOpenCommand[] = "\\shell\\open\\command";
  char key[sizeof "https" - 1 + sizeof kOpenCommand];
  const std::size_t scheme = std::strcspn(link, ":");
  if (scheme > sizeof "https" - 1) {
    return false;
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
    return false;
  }
  const char *handler = kWineBrowserCommand;
  if (status == ERROR_SUCCESS) {
    const DWORD expanded_size = ExpandEnvironmentStringsA(command, expanded, sizeof expanded);
    if (expanded_size == 0 || expanded_size > sizeof expanded) {
      return false;
    }
    handler = expanded;
  }
  int links = 0;  // a second byte of a two-byte character is never '%'
  for (const char *p = handler; *p != '\0'; ++p) {
    links += *p == '%';
  }
  const int handler_characters = Characters(handler);
  // Without any %, the shell appends the link.
  return handler_characters < kWineHandlerCommand &&
         handler_characters + (links > 0 ? links : 1) * Characters(link) < kWineCommandBuffer;
}

// Under Wine, whatever its version: a link that fits every buffer of its shell. Windows's
// own shell has no such bound.
bool FitsTheShellsBuffers(const char *link) {
  if (Exported<const char *(__cdecl *)()>("ntdll.dll", "wine_get_version") == nullptr) {
    return true;
  }
  return Characters(link) < kWineFileBuffer && HandlerCommandFits(link);
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
  return ExpandsToItself(link) && FitsTheShellsBuffers(link);
}
