// Launching a desktop entry as the desktop does, with GLib's GIO, loaded only when asked for.
#include "desktop_entry.h"

#include <dlfcn.h>
#include <unistd.h>
#include <csignal>
#include <cstring>

#include "opener_environment.h"

extern char **environ;

namespace {

// The few of GLib's types that cross the calls below, laid out as its headers declare them;
// its ABI keeps them so. Declared here, so that building needs no GLib at all.
struct GList {
  void *data;
  GList *next;
  GList *prev;
};
struct GError;
using GSpawnChildSetupFunc = void (*)(void *);
enum : int {
  kSpawnSearchPath = 1 << 2,       // G_SPAWN_SEARCH_PATH
  kSpawnStdoutToDevNull = 1 << 3,  // G_SPAWN_STDOUT_TO_DEV_NULL
  kSpawnStderrToDevNull = 1 << 4,  // G_SPAWN_STDERR_TO_DEV_NULL
};

struct Gio {
  void *(*new_app_info)(const char *);  // g_desktop_app_info_new
  const char *(*executable)(void *);    // g_app_info_get_executable
  int (*takes_links)(void *);           // g_app_info_supports_uris
  int (*launch)(void *, GList *, void *, int, GSpawnChildSetupFunc, void *, void *, void *,
                GError **);      // g_desktop_app_info_launch_uris_as_manager
  void (*unref)(void *);         // g_object_unref
  void (*free_error)(GError *);  // g_error_free
};

template <typename Function>
bool Find(void *library, const char *name, Function &function) {
  // Through void (*)(), the one cast between function types that no warning minds.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(dlsym(library, name)));
  return function != nullptr;
}

// GIO with what we call of it, or false. Never unloaded: the process ends soon after.
bool LoadGio(Gio &gio) {
  void *library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  return library != nullptr && Find(library, "g_desktop_app_info_new", gio.new_app_info) &&
         Find(library, "g_app_info_get_executable", gio.executable) &&
         Find(library, "g_app_info_supports_uris", gio.takes_links) &&
         Find(library, "g_desktop_app_info_launch_uris_as_manager", gio.launch) &&
         Find(library, "g_object_unref", gio.unref) &&
         Find(library, "g_error_free", gio.free_error);
}

// In the child, before it runs the entry's program: a session of its own, so that closing
// our terminal does not take the browser with it, and none of the signals our caller blocked.
void Detach(void *) {
  setsid();
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace

bool IsDesktopEntryId(const char *text) {
  constexpr char kSuffix[] = ".desktop";
  const std::size_t length = std::strlen(text);
  if (length <= sizeof kSuffix - 1 ||
      std::strcmp(text + length - (sizeof kSuffix - 1), kSuffix) != 0) {
    return false;
  }
  return std::strspn(text, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-+") ==
         length;
}

Launch LaunchDesktopEntry(const char *desktop_id, const char *link, const char *own_name,
                          char **envp) {
  Gio gio;
  if (!LoadGio(gio)) {
    return Launch::kNoGio;
  }
  // Missing, hidden, not an application, or its program not found: GLib finds none.
  void *entry = gio.new_app_info(desktop_id);
  if (entry == nullptr) {
    return Launch::kNoEntry;
  }
  if (gio.takes_links(entry) == 0) {
    gio.unref(entry);
    return Launch::kNoEntry;
  }
  const char *program = gio.executable(entry);
  if (NamesUs(program, std::strlen(program), own_name)) {
    gio.unref(entry);
    return Launch::kLoop;
  }
  GList uris = {const_cast<char *>(link), nullptr, nullptr};
  // GLib hands the program the environment it finds in environ. Our standard input is
  // /dev/null for every spawned child unless it is asked to inherit it.
  char **const ours = environ;
  environ = envp;
  const int flags = kSpawnSearchPath | kSpawnStdoutToDevNull |
                    (isatty(STDERR_FILENO) ? 0 : kSpawnStderrToDevNull);
  GError *error = nullptr;
  const bool launched =
      gio.launch(entry, &uris, nullptr, flags, Detach, nullptr, nullptr, nullptr, &error) != 0;
  environ = ours;
  if (error != nullptr) {
    gio.free_error(error);
  }
  gio.unref(entry);
  return launched ? Launch::kLaunched : Launch::kFailed;
}
