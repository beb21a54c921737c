// Windows start-up: cuts the tail off the process command line and runs WinMain on it.
#include <windows.h>

#include "command_line.h"
#include "default_browser.h"
#include "link_unwrapper.h"
#include "opening.h"
#include "unicode_command_line.h"

// Without an option, the run as it always was; options only where no link could stand.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  const Request request = ReadRequest(tail);
  switch (request.command) {
    case Command::kSetDefault:
      return SetDefaultBrowser();
    case Command::kUnsetDefault:
      return UnsetDefaultBrowser();
    case Command::kForward:
      ForwardTo(request.forward_to);
      return RunLinkUnwrapper(request.link, PlainLinks::kOpened);
    case Command::kRun:
      break;
  }
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
