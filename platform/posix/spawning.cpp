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
pid_t Spawn(const char *const *argv, Start start, char *const *envp, int output) {
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
  if (output >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
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

int WaitFor(pid_t pid) {
  int status = 0;
  pid_t ended;
  while ((ended = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  return ended == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunAndWait(const char *const *argv) {
  const pid_t pid = Spawn(argv, Start::kChild);
  return pid > 0 ? WaitFor(pid) : -1;
}

int RunAndRead(const char *const *argv, char *out, std::size_t out_size) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
    return -1;
  }
  const pid_t pid = Spawn(argv, Start::kChild, environ, pipe_ends[1]);
  close(pipe_ends[1]);
  std::size_t length = 0;
  while (pid > 0) {
    char scratch[256];
    const bool room = length + 1 < out_size;
    const ssize_t n = read(pipe_ends[0], room ? out + length : scratch,
                           room ? out_size - 1 - length : sizeof scratch);
    if (n > 0) {
      length += room ? static_cast<std::size_t>(n) : 0;
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipe_ends[0]);
  out[length] = '\0';
  return pid > 0 ? WaitFor(pid) : -1;
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
