// How the Windows shell reads a link: two-byte characters of the ANSI code page, references
// to the environment, its strings, the fixed buffers of Wine's shell, and Wine's search for
// the link as a file.
#include "shell_reading.h"

#include <windows.h>

#include <cstring>

#include "desktop.h"
#include "registry.h"

namespace {

// The shell's strings hold 32,767 characters, NUL included. Wine converts a longer text into
// none, and goes on with a buffer it never filled.
constexpr std::size_t kShellString = 32767;
// Wine 8.0 puts the link into a class's command in 1,024 characters, and cuts a longer
// result short (execute_from_key's param); 10.0 makes room instead. One bound serves every
// version. In characters, NUL included.
constexpr int kWineCommandBuffer = 1024;

// What the expansion of a text shorter than kShellString makes: at most as many characters,
// each at most three bytes in the ANSI code page.
char expanded[3 * kShellString];

// The length of text in characters of the ANSI code page, as the shell counts them.
int Characters(const char *text) {
  return MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) - 1;
}

// Whether the command that Wine's shell runs for this link fits its buffers: the "open"
// command of the class, with the environment expanded as the shell does (Wine's default
// when it is not there), and the link in place of each %, since %1 and %L stand for it.
// Opened by class, a command without them gets no link at all, and others such as %* get
// nothing; counting a link for each % and for none costs a few characters and is never
// short.
bool HandlerCommandFits(const char *link, const char *class_name) {
  wchar_t key[kClassCommandKeySize];
  if (!ClassCommandKey(class_name, key)) {
    return false;
  }
  wchar_t command[kWineCommandBuffer], expanded_command[kWineCommandBuffer];
  const LSTATUS status = GetString(HKEY_CLASSES_ROOT, key, nullptr, command, kWineCommandBuffer);
  if (status == ERROR_MORE_DATA) {
    return false;
  }
  const wchar_t *handler = kWineBrowserCommand;
  if (status == ERROR_SUCCESS) {
    const DWORD size = ExpandEnvironmentStringsW(command, expanded_command, kWineCommandBuffer);
    if (size == 0 || size > kWineCommandBuffer) {
      return false;
    }
    handler = expanded_command;
  }
  int links = 0;
  for (const wchar_t *p = handler; *p != L'\0'; ++p) {
    links += *p == L'%';
  }
  const int handler_characters = lstrlenW(handler);
  return handler_characters < kWineHandlerCommand &&
         handler_characters + (links > 0 ? links : 1) * Characters(link) < kWineCommandBuffer;
}

}  // namespace

// Asked for by name: only Wine's ntdll has it, and importing it would stop the program from
// starting on Windows.
bool RunsUnderWine() noexcept {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const char *SchemeClass(const char *link) noexcept {
  return link[4] == ':' ? "http" : "https";
}

// Bytes are never fewer than characters, so every conversion of a shorter link fits.
bool FitsTheShellsBuffers(const char *link, const char *class_name, bool under_wine) noexcept {
  if (std::strlen(link) >= kShellString) {
    return false;
  }
  return !under_wine || HandlerCommandFits(link, class_name);
}

// As the shell looks up %1 and %L: in the program's folder, the working folder, the system
// folders and PATH, with ".exe" added to a name that has no extension. Its links are
// shorter than its buffer, and what it finds at any length is a file.
bool NamesAFile(const char *link) noexcept {
  wchar_t name[kWineCommandBuffer];
  wchar_t found[kWineCommandBuffer];
  if (MultiByteToWideChar(CP_ACP, 0, link, -1, name, kWineCommandBuffer) == 0) {
    return true;
  }
  return SearchPathW(nullptr, name, L".exe", kWineCommandBuffer, found, nullptr) != 0;
}

// As MultiByteToWideChar reads it: a lead byte and a byte that makes a valid character
// with it are one character; every other byte is one on its own.
std::size_t CharacterLength(const char *text) noexcept {
  if (!IsDBCSLeadByte(static_cast<BYTE>(text[0])) || text[1] == '\0') {
    return 1;
  }
  wchar_t wide;
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, 2, &wide, 1) == 1 ? 2 : 1;
}

// Expanded, a link could carry the user's variables, tokens among them, to its site. A link
// naming a variable between two % is seldom seen, and is refused.
bool ExpandsToItself(const char *link) noexcept {
  const DWORD size = ExpandEnvironmentStringsA(link, expanded, sizeof expanded);
  return size != 0 && size <= sizeof expanded && std::strcmp(expanded, link) == 0;
}
