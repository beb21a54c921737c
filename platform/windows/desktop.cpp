// Windows desktop requests: the notice in a message box, links opened by the shell.
#include "desktop.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

void ShowNotice(const char *text, const char *caption) noexcept {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

void OpenLink(const char *link) noexcept {
  ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOW);
}
