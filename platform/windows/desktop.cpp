// Windows desktop requests: the notice in a message box, web links opened by the shell.
#include "desktop.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

void ShowNotice(const char *text, const char *caption) noexcept {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

// Wine's shell looks for the link as a file first, in the working folder among others, where
// a folder named "http:" would turn a web link into a program to run. The system folder is
// where no stranger's file lands.
void OpenLink(const char *link) noexcept {
  char system_folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system_folder, sizeof system_folder);
  if (length == 0 || length >= sizeof system_folder || !SetCurrentDirectoryA(system_folder)) {
    return;
  }
  ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOW);
}

// The program has no console to say it on, and a box for every dropped link would be a
// nuisance that strangers' links could raise at will.
void RefuseLink(const char *) noexcept {}
