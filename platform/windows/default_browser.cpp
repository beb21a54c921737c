// Registering link-unwrapper as a browser that forwards every web link to the one the user
// had, per user, as Windows' Default Programs documents it; and, under Wine, where there is no
// user's choice, making it the handler of http and https links. And undoing both.
#include "default_browser.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

#include <initializer_list>

#include "forwarding.h"
#include "messages.h"
#include "registry.h"
#include "shell_reading.h"

namespace {

// Our class, whose "open" command forwards to the target; the browser Windows can offer, with
// its capabilities; and its entry among the registered applications.
constexpr wchar_t kProgId[] = L"LinkUnwrapper.Forward";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\LinkUnwrapper.Forward";
constexpr wchar_t kProgIdCommand[] =
    L"Software\\Classes\\LinkUnwrapper.Forward\\shell\\open\\command";
constexpr wchar_t kClient[] = L"Software\\Clients\\StartMenuInternet\\LinkUnwrapper";
constexpr wchar_t kCapabilities[] =
    L"Software\\Clients\\StartMenuInternet\\LinkUnwrapper\\Capabilities";
constexpr wchar_t kUrlAssociations[] =
    L"Software\\Clients\\StartMenuInternet\\LinkUnwrapper\\Capabilities\\URLAssociations";
constexpr wchar_t kRegisteredApplications[] = L"Software\\RegisteredApplications";
constexpr wchar_t kName[] = L"LinkUnwrapper";
constexpr wchar_t kDisplayName[] = L"Link Unwrapper";
// Where the target is recorded, so that registering again keeps it.
constexpr wchar_t kTargetValue[] = L"ForwardTo";
constexpr wchar_t kUserChoice[] =
    L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice";

// Under Wine, each class its shell opens links by, and ours that keeps that class's command.
constexpr struct {
  const wchar_t *command, *kept, *kept_command;
} kWineClasses[] = {
    {L"http\\shell\\open\\command", L"LinkUnwrapper.WineHttp",
     L"LinkUnwrapper.WineHttp\\shell\\open\\command"},
    {L"https\\shell\\open\\command", L"LinkUnwrapper.WineHttps",
     L"LinkUnwrapper.WineHttps\\shell\\open\\command"},
};

int Failed(Setup why, const wchar_t *detail = L"") {
  SaySetup(why, detail);
  return 1;
}

// The documented layout: our class, the client with its capabilities, and its entry.
bool WriteRegistration(const wchar_t *command, const wchar_t *target, const wchar_t **failed) {
  const struct {
    const wchar_t *key, *name, *value;
  } values[] = {
      {kProgIdKey, nullptr, kDisplayName},
      {kProgIdCommand, nullptr, command},
      {kClient, nullptr, kDisplayName},
      {kClient, kTargetValue, target},
      {kCapabilities, L"ApplicationName", kDisplayName},
      {kCapabilities, L"ApplicationDescription",
       L"Opens links of link-redirector services as direct links, and every web link, in the "
       L"browser you had."},
      {kUrlAssociations, L"http", kProgId},
      {kUrlAssociations, L"https", kProgId},
      {kRegisteredApplications, kName, kCapabilities},
  };
  for (const auto &v : values) {
    if (!WriteString(HKEY_CURRENT_USER, v.key, v.name, v.value)) {
      *failed = v.key;
      return false;
    }
  }
  return true;
}

// The class the shell opens https links by today: the user's choice, else https's own.
bool UsersChoice(wchar_t *out) {
  if (ReadString(HKEY_CURRENT_USER, kUserChoice, L"ProgId", out, 256) &&
      lstrcmpiW(out, kProgId) != 0) {
    return true;
  }
  wchar_t command[4096];
  lstrcpyW(out, L"https");
  return ReadString(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", nullptr, command, 4096) &&
         !StartsUs(command);
}

// Under Wine: each scheme's command kept under a class of ours, unless it is ours already,
// and the scheme's class pointed at us, forwarding to the kept one.
int PointWineClassesAtUs(const wchar_t *program) {
  for (const auto &c : kWineClasses) {
    wchar_t current[4096];
    DWORD type = REG_SZ;
    if (!ReadString(HKEY_CLASSES_ROOT, c.command, nullptr, current, 4096, &type)) {
      return Failed(Setup::kNoBrowser);
    }
    wchar_t command[kForwardCommandSize];
    ForwardCommand(program, c.kept, command);
    if (lstrlenW(command) >= kWineHandlerCommand) {
      return Failed(Setup::kPathTooLong);
    }
    if (!StartsUs(current) &&
        !WriteString(HKEY_CLASSES_ROOT, c.kept_command, nullptr, current, type)) {
      return Failed(Setup::kRegistryFailed, c.kept_command);
    }
    if (!WriteString(HKEY_CLASSES_ROOT, c.command, nullptr, command)) {
      return Failed(Setup::kRegistryFailed, c.command);
    }
  }
  return 0;
}

// Under Wine: each scheme's class that still points at us gets back the command kept for it,
// or Wine's own if none was kept: it is never left pointing at a class that is gone.
int GiveWineClassesBack(bool &changed) {
  for (const auto &c : kWineClasses) {
    wchar_t current[4096], kept[4096];
    DWORD type = REG_SZ;
    const bool ours =
        ReadString(HKEY_CLASSES_ROOT, c.command, nullptr, current, 4096) && StartsUs(current);
    const bool has_kept = ReadString(HKEY_CLASSES_ROOT, c.kept_command, nullptr, kept, 4096, &type);
    if (ours && !WriteString(HKEY_CLASSES_ROOT, c.command, nullptr,
                             has_kept ? kept : kWineBrowserCommand, type)) {
      return Failed(Setup::kRegistryFailed, c.command);
    }
    if (has_kept && !DeleteKey(HKEY_CLASSES_ROOT, c.kept)) {
      return Failed(Setup::kRegistryFailed, c.kept);
    }
    changed |= ours || has_kept;
  }
  return 0;
}

}  // namespace

int SetDefaultBrowser() noexcept {
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return Failed(Setup::kPathTooLong);
  }
  const bool under_wine = RunsUnderWine();
  // Registering again keeps the target of the first time.
  wchar_t target[256];
  if (!ReadString(HKEY_CURRENT_USER, kClient, kTargetValue, target, 256)) {
    if (under_wine) {
      lstrcpyW(target, kWineClasses[1].kept);
    } else if (!UsersChoice(target)) {
      return Failed(Setup::kNoBrowser);
    }
  }
  if (under_wine) {
    const int status = PointWineClassesAtUs(program);
    if (status != 0) {
      return status;
    }
  }
  wchar_t command[kForwardCommandSize];
  ForwardCommand(program, target, command);
  const wchar_t *failed = L"";
  if (!WriteRegistration(command, target, &failed)) {
    return Failed(Setup::kRegistryFailed, failed);
  }
  if (under_wine) {
    SaySetup(Setup::kRegisteredUnderWine);
    return 0;
  }
  // Since Windows 10 only the user can change the default; Windows 11 opens our own page.
  ShellExecuteW(nullptr, L"open", L"ms-settings:defaultapps?registeredAppUser=LinkUnwrapper",
                nullptr, nullptr, SW_SHOWNORMAL);
  SaySetup(Setup::kRegistered, target);
  return 0;
}

int UnsetDefaultBrowser() noexcept {
  const bool under_wine = RunsUnderWine();
  wchar_t value[256];
  bool changed = ReadString(HKEY_CURRENT_USER, kClient, nullptr, value, 256) ||
                 ReadString(HKEY_CURRENT_USER, kProgIdKey, nullptr, value, 256);
  if (under_wine) {
    const int status = GiveWineClassesBack(changed);
    if (status != 0) {
      return status;
    }
  }
  for (const wchar_t *key : {kProgIdKey, kClient}) {
    if (!DeleteKey(HKEY_CURRENT_USER, key)) {
      return Failed(Setup::kRegistryFailed, key);
    }
  }
  if (!DeleteValue(HKEY_CURRENT_USER, kRegisteredApplications, kName)) {
    return Failed(Setup::kRegistryFailed, kRegisteredApplications);
  }
  SaySetup(!changed     ? Setup::kNothingToUndo
           : under_wine ? Setup::kUnregisteredUnderWine
                        : Setup::kUnregistered);
  return 0;
}
