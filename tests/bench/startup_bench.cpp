// Start-up, paired: each round runs every command once in turn, so that each meets the same
// load as its baseline. A plain run against /bin/true; a forwarded link against `gio launch`
// of the same desktop entry, timed until the entry's program has started, which writes a
// byte to a FIFO. Usage: startup_bench PROGRAM [ROUNDS]
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

pid_t Start(const std::vector<std::string> &command) {
  std::vector<char *> argv;
  for (const std::string &word : command) argv.push_back(const_cast<char *>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(argv[0]);
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Milliseconds until the command has ended, or, with a FIFO, until a byte came through it.
double Time(const std::vector<std::string> &command, int fifo = -1) {
  const auto start = Clock::now();
  const pid_t pid = Start(command);
  double elapsed = 0;
  if (fifo >= 0) {
    pollfd ready{fifo, POLLIN, 0};
    char byte;
    while (poll(&ready, 1, 10000) == 1 && read(fifo, &byte, 1) != 1) {
    }
    elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  waitpid(pid, nullptr, 0);
  if (fifo < 0) {
    elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  return elapsed;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_bench PROGRAM [ROUNDS]\n");
    return 2;
  }
  const std::string program = std::filesystem::absolute(argv[1]);
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 300;
  // A desktop of our own, with one entry whose program says it has started.
  char folder[] = "/tmp/startup-bench.XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    return 1;
  }
  const std::string dir = folder, fifo_path = dir + "/started";
  std::filesystem::create_directories(dir + "/data/applications");
  std::ofstream(dir + "/target.sh") << "#!/bin/sh\nprintf x >" << fifo_path << "\n";
  std::filesystem::permissions(dir + "/target.sh", std::filesystem::perms::owner_all);
  const std::string entry = dir + "/data/applications/bench-target.desktop";
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=Target\nExec=" << dir
                       << "/target.sh %u\n";
  setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
  // The system's entries too, as a desktop has them: an ID is looked up among them all.
  setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
  mkfifo(fifo_path.c_str(), 0600);
  const int fifo = open(fifo_path.c_str(), O_RDWR | O_NONBLOCK);  // RDWR: never at end

  const std::string link = "https://www.example.com/";
  const std::vector<std::vector<std::string>> plain = {{"/bin/true"}, {program, link}};
  const std::vector<std::vector<std::string>> forwarded = {
      {"/usr/bin/gio", "launch", entry, link},
      {program, "--forward-to", "bench-target.desktop", link}};
  std::vector<double> times[4], plain_ratio, forward_ratio;
  for (int round = 0; round < rounds; ++round) {
    times[0].push_back(Time(plain[0]));
    times[1].push_back(Time(plain[1]));
    times[2].push_back(Time(forwarded[0], fifo));
    times[3].push_back(Time(forwarded[1], fifo));
    plain_ratio.push_back(times[1].back() / times[0].back());
    forward_ratio.push_back(times[3].back() / times[2].back());
  }
  std::filesystem::remove_all(dir);
  std::printf("%d rounds, medians\n", rounds);
  std::printf("/bin/true                                      %8.3f ms\n", Median(times[0]));
  std::printf("link-unwrapper %s (plain)  %8.3f ms  %.2f x /bin/true\n", link.c_str(),
              Median(times[1]), Median(plain_ratio));
  std::printf("gio launch ENTRY LINK, until it starts         %8.3f ms\n", Median(times[2]));
  std::printf("link-unwrapper --forward-to ID LINK, the same  %8.3f ms  %.2f x gio launch\n",
              Median(times[3]), Median(forward_ratio));
  return 0;
}
