// Windows start-up: cuts the tail off the process command line and runs WinMain on it.
#include <windows.h>

#include "command_line.h"
#include "link_unwrapper.h"
#include "unicode_command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  return RunLinkUnwrapper(tail);
}

// The runtime calls main once it has set itself up, and returning from main runs its exit
// handlers and then ExitProcess. The tail is cut here rather than by the runtime, whose
// rules for it differ from ours in edge cases. It is cut from the Unicode command line:
// GetCommandLineA would turn characters outside the code page into '?' or a look-alike.
int main() {
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  const int show =
      (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  return WinMain(GetModuleHandleA(nullptr), nullptr, ExtractCommandLineTail(AnsiCommandLine()),
                 show);
}
