// End-to-end tests of the built POSIX program, with recorders standing in for the opener.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "redirector_links.h"

namespace {

using Call = std::vector<std::string>;  // program name, then its arguments

struct Outcome {
  int exit_status = -1;
  std::string standard_error;
  std::vector<Call> calls;
  bool descendants_outlived_program = false;
};

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    const char *tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr ? tmp : "/tmp") + "/link-unwrapper-test.XXXXXX";
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
    bin_ = dir_ + "/bin";
    records_ = dir_ + "/records";
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(records_.c_str(), 0755), 0);
  }

  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Puts a recorder on the test's PATH under the given name.
  void AddRecorder(const std::string &name) {
    ASSERT_EQ(symlink(RECORDER_SCRIPT, (bin_ + "/" + name).c_str()), 0);
  }

  std::vector<std::string> BaseEnvironment() const {
    return {"PATH=" + bin_, "RECORD_DIR=" + records_, "LANG=C.UTF-8"};
  }

  // Runs the program with exactly these arguments and environment, and waits for it and for
  // everything it started. Every descendant inherits one end of a pipe, so the pipe reports
  // end-of-file exactly when the last of them has exited.
  Outcome Run(const std::vector<std::string> &arguments, const std::vector<std::string> &env) {
    Outcome outcome;
    std::vector<char *> argv{const_cast<char *>(LINK_UNWRAPPER_PROGRAM)};
    for (const std::string &argument : arguments)
      argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &variable : env) envp.push_back(const_cast<char *>(variable.c_str()));
    envp.push_back(nullptr);

    int alive[2];
    EXPECT_EQ(pipe2(alive, O_CLOEXEC), 0);
    const std::string error_path = dir_ + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, alive[1], 9);
    pid_t pid;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(alive[1]);
    EXPECT_EQ(spawned, 0);
    if (spawned == 0) {
      int status = 0;
      EXPECT_EQ(waitpid(pid, &status, 0), pid);
      outcome.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pollfd hangup{alive[0], POLLIN, 0};
      outcome.descendants_outlived_program = poll(&hangup, 1, 0) == 0;
      char byte;
      while (read(alive[0], &byte, 1) > 0) {
      }
    }
    close(alive[0]);
    outcome.standard_error = ReadFile(error_path);
    outcome.calls = RecordedCalls();
    return outcome;
  }

  std::vector<Call> RecordedCalls() const {
    std::vector<Call> calls;
    DIR *records = opendir(records_.c_str());
    while (const dirent *entry = readdir(records)) {
      if (entry->d_name[0] == '.')
        continue;
      const std::string bytes = ReadFile(records_ + "/" + entry->d_name);
      Call call;
      for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
           start = end + 1) {
        call.push_back(bytes.substr(start, end - start));
      }
      calls.push_back(call);
    }
    closedir(records);
    return calls;
  }

  std::string dir_, bin_, records_;
};

const char kNoticeLine[] = "poktaキラー: コマンドラインきてない\n";

TEST_F(ProgramTest, OpensExactlyTheUnwrappedLinkOrNothing) {
  AddRecorder("xdg-open");
  const std::string p1 = Pattern(0), p2 = Pattern(1);
  const std::string hostile = "a.example/?q=1;b&c|d$(e)`f`'g'\"h\" i\tj\\k*l>m<n#o~p%20q";
  const std::string long_target(40000, 'x');
  const struct {
    std::vector<std::string> arguments;
    std::vector<Call> expected;
  } cases[] = {
      {{"\"" + p1 + "www.example.com/\""}, {{"xdg-open", "http://www.example.com/"}}},
      {{p2 + hostile}, {{"xdg-open", "http://" + hostile}}},
      {{"\"" + p1 + "a.example/x", "y", "\"z\""}, {{"xdg-open", "http://a.example/x y \"z"}}},
      {{"", p1 + "a", ""}, {{"xdg-open", " http://a "}}},
      {{p1 + long_target, long_target, long_target},
       {{"xdg-open", "http://" + long_target + " " + long_target + " " + long_target}}},
      {{"\x83" + p1 + "\x82\xA0"}, {{"xdg-open", "\x83http://\x82\xA0"}}},
      {{"http://www.example.com/"}, {}},
      {{"\"\""}, {}},
      {{"https://" + Host(0) + "/x"}, {}},
  };
  for (const auto &c : cases) {
    const std::string trace = testing::PrintToString(c.arguments).substr(0, 300);
    const Outcome outcome = Run(c.arguments, BaseEnvironment());
    EXPECT_EQ(outcome.exit_status, 0) << trace;
    EXPECT_EQ(outcome.calls, c.expected) << trace;
    EXPECT_EQ(outcome.standard_error, "") << trace;
    std::filesystem::remove_all(records_);
    std::filesystem::create_directory(records_);
  }
}

TEST_F(ProgramTest, NoArgumentsWritesTheNoticeAndOpensNothing) {
  AddRecorder("xdg-open");
  AddRecorder("zenity");
  for (const char *lang : {"LANG=C.UTF-8", "LANG=C"}) {
    std::vector<std::string> env = BaseEnvironment();
    env[2] = lang;
    const Outcome outcome = Run({}, env);
    EXPECT_EQ(outcome.exit_status, 0) << lang;
    EXPECT_EQ(outcome.standard_error, kNoticeLine) << lang;
    EXPECT_EQ(outcome.calls, std::vector<Call>{}) << lang;
  }
}

TEST_F(ProgramTest, NoticeAlsoShowsADialogInAGraphicalSession) {
  AddRecorder("xdg-open");
  AddRecorder("zenity");
  std::vector<std::string> env = BaseEnvironment();
  env.push_back("DISPLAY=:99");
  const Outcome outcome = Run({}, env);
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_EQ(outcome.standard_error, kNoticeLine);
  const std::vector<Call> expected = {{"zenity", "--info", "--no-markup", "--title", "poktaキラー",
                                       "--text", "コマンドラインきてない"}};
  EXPECT_EQ(outcome.calls, expected);
}

TEST_F(ProgramTest, ReturnsWhileASlowOpenerIsStillRunning) {
  AddRecorder("xdg-open");
  std::vector<std::string> env = BaseEnvironment();
  env.push_back("RECORDER_SLEEP=5");
  const Outcome outcome = Run({Pattern(0) + "a.example/"}, env);
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_TRUE(outcome.descendants_outlived_program);
  EXPECT_EQ(outcome.calls, (std::vector<Call>{{"xdg-open", "http://a.example/"}}));
}

TEST_F(ProgramTest, OpenerThatCannotStartIsReportedInOneLine) {
  AddRecorder("xdg-open");
  const std::string half(100000, 'x');
  const struct {
    std::string path;
    std::vector<std::string> arguments;
  } cases[] = {
      {"PATH=" + dir_ + "/nowhere", {Pattern(0) + "a.example/"}},
      // Joined, the link is longer than Linux lets one argument be.
      {"PATH=" + bin_, {Pattern(0) + half, half}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> env = BaseEnvironment();
    env[0] = c.path;
    const Outcome outcome = Run(c.arguments, env);
    EXPECT_EQ(outcome.exit_status, 0) << c.path;
    EXPECT_EQ(outcome.standard_error.rfind("link-unwrapper: cannot start xdg-open: ", 0), 0u)
        << outcome.standard_error;
    EXPECT_EQ(std::count(outcome.standard_error.begin(), outcome.standard_error.end(), '\n'), 1);
    EXPECT_EQ(outcome.calls, std::vector<Call>{});
  }
}

TEST_F(ProgramTest, DebiansXdgOpenHandsTheLinkIntactToTheBrowser) {
  if (access("/usr/bin/xdg-open", X_OK) != 0) {
    GTEST_SKIP() << "xdg-utils is not installed";
  }
  AddRecorder("browser");
  const std::string target = "a.example/p?q=1;b&c|d$(e)`f`'g'\"h\" i";
  const std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + dir_,
                                        "BROWSER=" + bin_ + "/browser", "RECORD_DIR=" + records_,
                                        "LANG=C.UTF-8"};
  const Outcome outcome = Run({"\"" + Pattern(1) + target + "\""}, env);
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_EQ(outcome.calls, (std::vector<Call>{{"browser", "http://" + target}}));
}

}  // namespace
