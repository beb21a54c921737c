// Starting children: detached from the caller, as a plain child, or in our place at a console.
#include "spawning.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>

// Every child gets default signal dispositions and an empty signal mask: we ignore SIGPIPE,
// and neither that nor a mask of the caller's may reach a browser. Descriptors from 3 up
// stay ours, so that a pipe the caller handed us is not held for as long as the browser
// runs. A detached child reads and writes /dev/null instead of our streams, for the same
// reason, keeping only our stderr when a person at a terminal may want its complaints; and
// it runs in a session of its own, so that closing that terminal does not take the browser
// with it.
pid_t Spawn(const char *const *argv, Start start, char *const *envp) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  int flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (start == Start::kDetached) {
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!isatty(STDERR_FILENO)) {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
  }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
  posix_spawnattr_setflags(&attributes, static_cast<short>(flags));
  pid_t pid;
  const int error =
      posix_spawnp(&pid, argv[0], &actions, &attributes, const_cast<char *const *>(argv), envp);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    errno = error;
    return -1;
  }
  return pid;
}

void WaitFor(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

bool HasGraphicalSession() {
  const char *x11 = std::getenv("DISPLAY");
  const char *wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool AtAConsole() {
  return !HasGraphicalSession() && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

// ^C and ^\ are meant for the browser alone while it has the terminal.
pid_t SpawnAndWaitAtTheConsole(const char *const *argv, char *const *envp) {
  struct sigaction ignore = {}, interrupt, quit;
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGINT, &ignore, &interrupt);
  sigaction(SIGQUIT, &ignore, &quit);
  const pid_t pid = Spawn(argv, Start::kForeground, envp);
  const int error = errno;
  if (pid > 0) {
    WaitFor(pid);
  }
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGQUIT, &quit, nullptr);
  errno = error;
  return pid;
}
