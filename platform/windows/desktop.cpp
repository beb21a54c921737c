// Windows desktop requests: the notice in a message box, web links opened by the shell, and,
// standing in for the browser, forwarded to its class or said to be lost.
#include "desktop.h"
#include "opening.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

#include "forwarding.h"
#include "messages.h"
#include "shell_reading.h"

namespace {

// The class (ProgID) of the browser we stand in for, if we do.
const char *forward_to = nullptr;

// Wine's shell looks for the link as a file, in the working folder among others, where a
// folder named "http:" would turn a web link into a file to open or a program to run. The
// system folder is where no stranger's file lands.
bool EnterTheSystemFolder() {
  char system_folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system_folder, sizeof system_folder);
  return length != 0 && length < sizeof system_folder && SetCurrentDirectoryA(system_folder);
}

// The class's "open" command with the link, as the shell opens a link for a class: no file
// is looked up by the link's name first, nor is it copied into a buffer of MAX_PATH.
void OpenByClass(const char *link, const char *class_name) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = link;
  info.lpClass = class_name;
  info.nShow = SW_SHOW;
  ShellExecuteExA(&info);
}

const char *ClassToOpen(const char *link) {
  return forward_to != nullptr ? forward_to : SchemeClass(link);
}

// Never the plain "open", which would come back to us: the class of the browser we stand in
// for, if it has an "open" command that does not start us, and the link has not been round.
void Forward(const char *link) {
  if (CameBack(link)) {
    SayLost(Loss::kCameBack, link, forward_to);
    return;
  }
  switch (CheckClass(forward_to)) {
    case ClassOpens::kNoCommand:
      SayLost(Loss::kNoCommand, link, forward_to);
      return;
    case ClassOpens::kStartsUs:
      SayLost(Loss::kLoop, link, forward_to);
      return;
    case ClassOpens::kLink:
      break;
  }
  if (RunsUnderWine() && NamesAFile(link)) {
    SayLost(Loss::kNotOpened, link, forward_to);
    return;
  }
  MarkForwarded(link);
  OpenByClass(link, forward_to);
}

}  // namespace

void ForwardTo(const char *prog_id) noexcept {
  forward_to = prog_id;
}

void ShowNotice(const char *text, const char *caption) noexcept {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

// The length first: nothing converts a link the shell's strings cannot hold.
bool ShellReadsAsWritten(const char *link) noexcept {
  return FitsTheShellsBuffers(link, ClassToOpen(link), RunsUnderWine()) && ExpandsToItself(link);
}

// On Windows, the plain "open" follows the user's choice of browser, and no file name holds
// ':'. Wine's plain "open" looks the link up as a file on the whole search path, and copies it
// into a buffer of fixed size; by class it still looks for a file by the link's name, so a
// link that names one is not opened.
void OpenLink(const char *link) noexcept {
  if (!EnterTheSystemFolder()) {
    return;
  }
  if (forward_to != nullptr) {
    Forward(link);
    return;
  }
  if (!RunsUnderWine()) {
    ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOW);
    return;
  }
  if (!NamesAFile(link)) {
    OpenByClass(link, SchemeClass(link));
  }
}

// The program has no console to say it on, and a box for every dropped link would be a
// nuisance that strangers' links could raise at will. Standing in for the browser, though, we
// are the last to see a link that someone opened: it must not vanish without a word.
void RefuseLink(const char *text) noexcept {
  if (forward_to != nullptr) {
    SayLost(Loss::kNotOpened, text, forward_to);
  }
}
