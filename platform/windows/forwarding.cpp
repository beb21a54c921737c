// Standing in for the browser: the class a link goes on to, whether that would start us
// again, and the mark a forwarded link carries so that it cannot come round twice.
#include "forwarding.h"

#include "forward_mark.h"
#include "registry.h"

namespace {

// The file name that ends path, after its last backslash or slash.
const wchar_t *FileName(const wchar_t *path) {
  const wchar_t *name = path;
  for (const wchar_t *p = path; *p != L'\0'; ++p) {
    if (*p == L'\\' || *p == L'/') {
      name = p + 1;
    }
  }
  return name;
}

}  // namespace

ClassOpens CheckClass(const char *prog_id) noexcept {
  wchar_t key[kClassCommandKeySize];
  if (!ClassCommandKey(prog_id, key)) {
    return ClassOpens::kNoCommand;
  }
  wchar_t command[4096];
  if (ReadString(HKEY_CLASSES_ROOT, key, nullptr, command, 4096) && command[0] != L'\0') {
    return StartsUs(command) ? ClassOpens::kStartsUs : ClassOpens::kLink;
  }
  // A class of an app from the Store opens through a COM object that its command key names.
  return ReadString(HKEY_CLASSES_ROOT, key, L"DelegateExecute", command, 4096)
             ? ClassOpens::kLink
             : ClassOpens::kNoCommand;
}

// The program is the command's first word: in double quotes, or up to the first blank.
bool StartsUs(const wchar_t *command) noexcept {
  while (*command == L' ' || *command == L'\t') {
    ++command;
  }
  wchar_t program[MAX_PATH * 2];
  const wchar_t end = *command == L'"' ? L'"' : L' ';
  command += *command == L'"';
  int length = 0;
  while (command[length] != L'\0' && command[length] != end && length < MAX_PATH * 2 - 1) {
    program[length] = command[length];
    ++length;
  }
  program[length] = L'\0';
  wchar_t own[MAX_PATH];
  const DWORD own_length = GetModuleFileNameW(nullptr, own, MAX_PATH);
  const wchar_t *name = FileName(program);
  return lstrcmpiW(name, L"link-unwrapper.exe") == 0 || lstrcmpiW(name, L"link-unwrapper") == 0 ||
         (own_length > 0 && own_length < MAX_PATH && lstrcmpiW(name, FileName(own)) == 0);
}

void ForwardCommand(const wchar_t *program, const wchar_t *target, wchar_t *out) noexcept {
  lstrcpyW(out, L"\"");
  lstrcatW(lstrcatW(out, program), L"\" --forward-to ");
  lstrcatW(lstrcatW(out, target), L" \"%1\"");
}

bool CameBack(const char *link) noexcept {
  char mark[kForwardMarkValueSize], carried[kForwardMarkValueSize + 1];
  ForwardMarkValue(link, mark);
  const DWORD length = GetEnvironmentVariableA(kForwardMarkName, carried, sizeof carried);
  return length == kForwardMarkValueSize - 1 && lstrcmpA(carried, mark) == 0;
}

void MarkForwarded(const char *link) noexcept {
  char mark[kForwardMarkValueSize];
  ForwardMarkValue(link, mark);
  SetEnvironmentVariableA(kForwardMarkName, mark);
}
