// Windows desktop requests: the notice in a message box, web links opened by the shell.
#include "desktop.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

void ShowNotice(const char *text, const char *caption) noexcept {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

void OpenLink(const char *link) noexcept {
  ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOW);
}

// The program has no console to say it on, and a box for every dropped link would be a
// nuisance that strangers' links could raise at will.
void RefuseLink(const char *) noexcept {}
