// End-to-end tests of the built POSIX program, with recorders standing in for the opener.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "redirector_links.h"

namespace {

using Call = std::vector<std::string>;  // program name, then its arguments

using Env = std::map<std::string, std::string>;  // variables to set; "" unsets one

enum class Streams { kCaptured, kStderrReaderGone, kTerminal };

struct Outcome {
  int exit_status = -1;
  std::string standard_output, standard_error;
  std::vector<Call> calls;
  bool descendants_outlived_program = false;
  // Whether anything the program started still held its stdout once it had exited.
  bool output_held = false;
  std::string opener_process;  // what the recorder saw of itself: session, SigIgn, streams
};

std::string ReadFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A recorded call: its name and arguments, each ended by a NUL.
Call ParseCall(const std::string &bytes) {
  Call call;
  for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
       start = end + 1) {
    call.push_back(bytes.substr(start, end - start));
  }
  return call;
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
    AddRecorder("xdg-open");
    // Detached openers are orphans; adopted, they can be waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  }

  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Puts a recorder on the test's PATH under the given name.
  void AddRecorder(const std::string &name) {
    ASSERT_EQ(symlink(RECORDER_SCRIPT, (bin_ + "/" + name).c_str()), 0);
  }

  // Runs the program with exactly these arguments, in an environment of PATH (the recorders),
  // RECORD_DIR and LANG=C.UTF-8 with the overrides applied, and waits for it and, since the
  // test adopts orphans, for everything it started. Its stdout is a pipe, as for a caller
  // that captures it, and its stderr a file; or stderr is a pipe nobody reads any more; or
  // stdin and stdout are a terminal. Like many a caller, it also gets a pipe on fd 9.
  Outcome Run(const std::vector<std::string> &arguments, const Env &overrides = {},
              Streams streams = Streams::kCaptured) {
    std::filesystem::remove_all(records_);
    std::filesystem::create_directory(records_);
    Env env = {{"PATH", bin_}, {"RECORD_DIR", records_}, {"LANG", "C.UTF-8"}};
    for (const auto &[name, value] : overrides) env[name] = value;
    std::vector<std::string> variables;
    for (const auto &[name, value] : env)
      if (!value.empty())
        variables.push_back(name + "=" + value);
    std::vector<char *> argv{program_.data()}, envp;
    for (const std::string &argument : arguments)
      argv.push_back(const_cast<char *>(argument.c_str()));
    for (const std::string &variable : variables)
      envp.push_back(const_cast<char *>(variable.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    Outcome outcome;
    int extra[2], output[2], error[2], terminal, terminal_user;
    EXPECT_EQ(pipe2(extra, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(output, O_CLOEXEC | O_NONBLOCK), 0);
    EXPECT_EQ(pipe2(error, O_CLOEXEC), 0);
    EXPECT_EQ(openpty(&terminal, &terminal_user, nullptr, nullptr, nullptr), 0);
    close(error[0]);
    const std::string error_path = dir_ + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams == Streams::kTerminal) {
      posix_spawn_file_actions_adddup2(&actions, terminal_user, 0);
      posix_spawn_file_actions_adddup2(&actions, terminal_user, 1);
    } else {
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
      posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    }
    if (streams == Streams::kStderrReaderGone) {
      posix_spawn_file_actions_adddup2(&actions, error[1], 2);
    } else {
      posix_spawn_file_actions_addopen(&actions, 2, error_path.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_adddup2(&actions, extra[1], 9);
    // Whatever the test runner ignores, the program starts as a shell would start it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipe_signal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (int fd : {extra[1], output[1], error[1], terminal_user}) close(fd);
    EXPECT_EQ(spawned, 0);
    if (spawned == 0) {
      int status = 0;
      EXPECT_EQ(waitpid(pid, &status, 0), pid);
      outcome.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pid_t reaped;
      while ((reaped = waitpid(-1, nullptr, WNOHANG)) > 0) {
      }
      outcome.descendants_outlived_program = reaped == 0;
      pollfd output_hangup{output[0], POLLIN, 0};
      outcome.output_held = poll(&output_hangup, 1, 0) >= 0 && !(output_hangup.revents & POLLHUP);
      while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
      }
      char bytes[4096];
      for (ssize_t n; (n = read(output[0], bytes, sizeof bytes)) > 0;) {
        outcome.standard_output.append(bytes, static_cast<std::size_t>(n));
      }
    }
    for (int fd : {extra[0], output[0], terminal}) close(fd);
    if (streams != Streams::kStderrReaderGone) {
      outcome.standard_error = ReadFile(error_path);
    }
    for (const auto &entry : std::filesystem::directory_iterator(records_)) {
      const std::string name = entry.path().filename();
      if (name.rfind("call.", 0) == 0)
        outcome.calls.push_back(ParseCall(ReadFile(entry.path())));
      if (name.rfind("process.", 0) == 0)
        outcome.opener_process = ReadFile(entry.path());
    }
    return outcome;
  }

  std::string dir_, bin_, records_;
  std::string program_ = LINK_UNWRAPPER_PROGRAM;
};

const char kNoticeLine[] = "poktaキラー: コマンドラインきてない\n";

TEST_F(ProgramTest, OpensExactlyTheUnwrappedLinkOrNothing) {
  const std::string p1 = Pattern(0), p2 = Pattern(1);
  const std::string hostile = "a.example/?q=1;b&c|d$(e)`f`'g'*l>m<n#o~p%20q{}^[]!";
  const std::string long_target(40000, 'x');
  const std::string refused = "link-unwrapper: not opened, not a web link: ";
  const struct {
    std::vector<std::string> arguments;
    std::vector<Call> expected;
    std::string error;
    std::string output = "";
    Env env = {};
  } cases[] = {
      {{"\"" + p1 + "www.example.com/\""}, {{"xdg-open", "http://www.example.com/"}}, ""},
      {{p2 + hostile}, {{"xdg-open", "http://" + hostile}}, ""},
      {{p1 + long_target}, {{"xdg-open", "http://" + long_target}}, ""},
      {{p1 + "\x83" + p1 + "\x82\xA0"}, {{"xdg-open", "http://\x83http://\x82\xA0"}}, ""},
      {{"\"" + p1 + "a.example/\" "}, {{"xdg-open", "http://a.example/"}}, ""},
      {{"\"" + p1 + "a.example/\"", "", ""}, {{"xdg-open", "http://a.example/"}}, ""},
      {{"https://a.example/?u=" + p1 + "b.example/"},
       {{"xdg-open", "https://a.example/?u=http://b.example/"}},
       ""},
      {{"http://www.example.com/"}, {}, ""},
      {{"\"\""}, {}, ""},
      {{""}, {}, ""},
      {{"https://" + Host(0) + "/x"}, {}, ""},
      // Unwrapped, but not web links: refused in one line that cannot drive a terminal.
      {{"file:///tmp/" + p1 + "x\x1b]0;t\x07\r\x7f"},
       {},
       refused + "file:///tmp/http://x\\x1B]0;t\\x07\\x0D\\x7F\n"},
      {{"search-ms:" + p1}, {}, refused + "search-ms:http://\n"},
      // Bytes, as xdg-open reads them: 95 5C is no character here, and 5C a backslash.
      {{p1 + "a.example/\x95\x5C"}, {}, refused + "http://a.example/\\x95\\\n"},
      {{"javascript:" + p2 + "a"}, {}, refused + "javascript:http://a\n"},
      {{"see", p1 + "a"}, {}, refused + "see http://a\n"},
      {{"", p1 + "a", ""}, {}, refused + " http://a\n"},
      // Web links in form only: a path that walks up, a browser's extra arguments.
      {{"\"" + p1 + "../Downloads/evil.jar"}, {}, refused + "http://../Downloads/evil.jar\n"},
      {{"\"" + p1 + "a.example/x", "y", "\"z\""}, {}, refused + "http://a.example/x y \"z\n"},
      {{p2 + hostile + "\"h\"\ti"}, {}, refused + "http://" + hostile + "\"h\"\\x09i\n"},
      // Refused texts are shown in short, and only what the locale prints is shown raw.
      {{"file:" + p1 + long_target},
       {},
       refused + "file:http://" + long_target.substr(0, 188) + "... (39812 more bytes)\n"},
      {{"file:" + p1 + "\xc2\x9d\x32;T\xc2\x9c日本"},
       {},
       refused + "file:http://\\xC2\\x9D2;T\\xC2\\x9C日本\n"},
      {{"file:" + p1 + "\x9d\x32;T\x9c日本"},
       {},
       refused + "file:http://\\x9D2;T\\x9C\\xE6\\x97\\xA5\\xE6\\x9C\\xAC\n",
       "",
       {{"LANG", "C"}}},
      {{"file:" + p1 + "\xE2\x9B"}, {}, refused + "file:http://\\xE2\\x9B\n"},
      {{"file:" + p1 + "\x9d日本"},
       {},
       refused + "file:http://\\x9D日本\n",
       "",
       {{"LANG", "ja_JP.UTF-8"}}},
      // Bidirectional controls, which would reorder the line, are escaped; their neighbours
      // U+061B and U+2010 are not.
      {{"file:" + p1 + "\u202E\u202Aa\u2066\u2069\u061Bb\u200E\u200Fc\u061C\u2010"},
       {},
       refused + "file:http://\\xE2\\x80\\xAE\\xE2\\x80\\xAAa\\xE2\\x81\\xA6\\xE2\\x81\\xA9\u061Bb"
                 "\\xE2\\x80\\x8E\\xE2\\x80\\x8Fc\\xD8\\x9C\u2010\n"},
      // Options come first; no link starts with '-'.
      {{"--print", p1 + "a.example/"}, {}, "", "http://a.example/\n"},
      {{"--print", "--", "http://a.example/"}, {}, ""},
      {{"--print", "file:" + p1}, {}, refused + "file:http://\n"},
      {{"--print"}, {}, ""},
      {{"--", p1 + "a.example/"}, {{"xdg-open", "http://a.example/"}}, ""},
      {{"--x=" + p1 + "a\x1b"},
       {},
       "link-unwrapper: unknown option --x=" + p1 + "a\\x1B; see link-unwrapper --help\n"},
      {{"-x", p1 + "a.example/"},
       {},
       "link-unwrapper: unknown option -x; see link-unwrapper --help\n"},
  };
  for (const auto &c : cases) {
    const std::string trace = testing::PrintToString(c.arguments).substr(0, 300);
    const Outcome outcome = Run(c.arguments, c.env);
    EXPECT_EQ(outcome.exit_status, 0) << trace;
    EXPECT_EQ(outcome.calls, c.expected) << trace;
    EXPECT_EQ(outcome.standard_error, c.error) << trace;
    EXPECT_EQ(outcome.standard_output, c.output) << trace;
  }
}

TEST_F(ProgramTest, NoArgumentsWritesTheNoticeAndOpensNothing) {
  AddRecorder("zenity");
  const struct {
    std::string lang, line;
  } cases[] = {
      {"C.UTF-8", kNoticeLine},
      {"C", kNoticeLine},
      {"ja_JP.UTF-8", kNoticeLine},
      {"ja_JP.EUC-JP",
       "pokta\xA5\xAD\xA5\xE9\xA1\xBC: \xA5\xB3\xA5\xDE\xA5\xF3\xA5\xC9\xA5\xE9\xA5\xA4\xA5\xF3"
       "\xA4\xAD\xA4\xC6\xA4\xCA\xA4\xA4\n"},
      // A terminal that cannot show Japanese gets UTF-8 rather than nothing.
      {"en_US.ISO-8859-1", kNoticeLine},
  };
  for (const auto &c : cases) {
    const Outcome outcome = Run({}, {{"LANG", c.lang}, {"LOCPATH", TEST_LOCALES}});
    EXPECT_EQ(outcome.exit_status, 0) << c.lang;
    EXPECT_EQ(outcome.standard_error, c.line) << c.lang;
    EXPECT_EQ(outcome.calls, std::vector<Call>{}) << c.lang;
  }
}

TEST_F(ProgramTest, NoticeAlsoShowsADialogThatDrawsJapaneseInAGraphicalSession) {
  const Call zenity = {"zenity",      "--info", "--no-markup",           "--title",
                       "poktaキラー", "--text", "コマンドラインきてない"};
  const struct {
    std::vector<std::string> dialogs;  // the dialog programs on PATH
    std::vector<Call> expected;
  } cases[] = {
      {{"zenity"}, {zenity}},
      {{"zenity", "kdialog"}, {zenity}},
      {{"kdialog"}, {{"kdialog", "--title", "poktaキラー", "--msgbox", "コマンドラインきてない"}}},
      // It would draw the UTF-8 text in a Latin-1 font: the line on stderr stands alone.
      {{"xmessage"}, {}},
  };
  for (const auto &c : cases) {
    const std::string trace = testing::PrintToString(c.dialogs);
    for (const std::string &dialog : c.dialogs) AddRecorder(dialog);
    const Outcome outcome = Run({}, {{"DISPLAY", ":99"}});
    EXPECT_EQ(outcome.exit_status, 0) << trace;
    EXPECT_EQ(outcome.standard_error, kNoticeLine) << trace;
    EXPECT_EQ(outcome.calls, c.expected) << trace;
    for (const std::string &dialog : c.dialogs) std::filesystem::remove(bin_ + "/" + dialog);
  }
}

TEST_F(ProgramTest, ExitStatusIsZeroWhenStderrsReaderIsGone) {
  const struct {
    std::string path;
    std::vector<std::string> arguments;
  } cases[] = {
      {bin_, {}},
      {dir_ + "/nowhere", {Pattern(0) + "a.example/"}},
      {bin_, {"file:" + Pattern(0)}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Run(c.arguments, {{"PATH", c.path}}, Streams::kStderrReaderGone).exit_status, 0)
        << testing::PrintToString(c.arguments);
  }
}

TEST_F(ProgramTest, OptionsPrintToStdoutAndOpenNothing) {
  const struct {
    std::string option;
    std::string first_line_start;
  } cases[] = {{"--help", "Usage: link-unwrapper [--print] [--] LINK\n"},
               {"-h", "Usage: "},
               {"--version", "link-unwrapper 1."},
               {"-V", "link-unwrapper 1."}};
  for (const auto &c : cases) {
    const Outcome outcome = Run({c.option});
    EXPECT_EQ(outcome.exit_status, 0) << c.option;
    EXPECT_EQ(outcome.standard_error, "") << c.option;
    EXPECT_EQ(outcome.calls, std::vector<Call>{}) << c.option;
    EXPECT_EQ(outcome.standard_output.rfind(c.first_line_start, 0), 0u) << outcome.standard_output;
    EXPECT_NE(outcome.standard_output.find("\n  " + Host(0) + "\n  " + Host(1) + "\n"),
              std::string::npos)
        << outcome.standard_output;
  }
}

// Bit of signal in a /proc SigIgn mask.
bool Ignores(const std::string &process, int signal) {
  const std::size_t at = process.find("SigIgn:");
  return at == std::string::npos ||
         (std::stoull(process.substr(at + 7), nullptr, 16) & (1ull << (signal - 1))) != 0;
}

TEST_F(ProgramTest, OpenerIsDetachedUnlessATextBrowserNeedsTheConsole) {
  const struct {
    Streams streams;
    Env env;
    bool detached;
  } cases[] = {
      {Streams::kCaptured, {}, true},
      {Streams::kTerminal, {{"DISPLAY", ":99"}}, true},
      {Streams::kTerminal, {{"WAYLAND_DISPLAY", "wayland-0"}}, true},
      {Streams::kTerminal, {{"DISPLAY", ""}}, false},
  };
  const std::string our_session = "session " + std::to_string(getsid(0)) + "\n";
  for (const auto &c : cases) {
    Env env = c.env;
    env["RECORDER_SLEEP"] = "1";
    const Outcome outcome = Run({Pattern(0) + "a.example/"}, env, c.streams);
    const std::string &opener = outcome.opener_process;
    const std::string trace = opener + (c.detached ? "detached" : "at a console");
    EXPECT_EQ(outcome.exit_status, 0) << trace;
    EXPECT_EQ(outcome.calls, (std::vector<Call>{{"xdg-open", "http://a.example/"}})) << trace;
    // Detached: we have not waited, and it holds neither our session nor our streams. At a
    // console: it had the terminal, in our session, and we waited for it.
    EXPECT_EQ(outcome.descendants_outlived_program, c.detached) << trace;
    EXPECT_FALSE(outcome.output_held) << trace;
    EXPECT_EQ(opener.find(our_session) == std::string::npos, c.detached) << trace;
    const std::string streams = c.detached ? "fd0 /dev/null\nfd1 /dev/null\n" : "fd0 /dev/pts/";
    EXPECT_NE(opener.find(streams), std::string::npos) << trace;
    EXPECT_EQ(opener.find("fd1 /dev/pts/") == std::string::npos, c.detached) << trace;
    // The caller's fd 9 stays with us, and ^C reaches the browser.
    EXPECT_NE(opener.find("fd9 \n"), std::string::npos) << trace;
    for (int signal : {SIGPIPE, SIGINT, SIGQUIT}) {
      EXPECT_FALSE(Ignores(opener, signal)) << signal << trace;
    }
    // At a console, ^C is the browser's: we wait it out instead of leaving the terminal.
    const std::size_t parent = opener.find("parent ");
    for (int signal : {SIGINT, SIGQUIT}) {
      EXPECT_TRUE(c.detached || Ignores(opener.substr(parent), signal)) << signal << trace;
    }
  }
}

TEST_F(ProgramTest, OpenerGetsBrowserWithoutTheEntriesThatStartUs) {
  const struct {
    std::string browser, expected;
    std::string installed_as = "";  // a name of our own for the program, if any
  } cases[] = {
      {"link-unwrapper", "unset"},
      {"link-unwrapper:firefox", "firefox"},
      {"/usr/local/bin/link-unwrapper %s:w3m %s", "w3m %s"},
      {"firefox: link-unwrapper %s", "firefox"},
      {"firefox:lynx", "firefox:lynx"},
      {"lu:firefox", "firefox", "lu"},
  };
  for (const auto &c : cases) {
    if (!c.installed_as.empty()) {
      program_ = dir_ + "/" + c.installed_as;
      ASSERT_EQ(symlink(LINK_UNWRAPPER_PROGRAM, program_.c_str()), 0);
    }
    const Outcome outcome = Run({Pattern(0) + "a.example/"}, {{"BROWSER", c.browser}});
    EXPECT_NE(outcome.opener_process.find("BROWSER " + c.expected + "\n"), std::string::npos)
        << c.browser << ": " << outcome.opener_process;
  }
}

TEST_F(ProgramTest, OpenerThatCannotStartIsReportedInOneLine) {
  const Outcome outcome = Run({Pattern(0) + "a.example/"}, {{"PATH", dir_ + "/nowhere"}});
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_EQ(outcome.standard_error.rfind("link-unwrapper: cannot start xdg-open: ", 0), 0u)
      << outcome.standard_error;
  EXPECT_EQ(std::count(outcome.standard_error.begin(), outcome.standard_error.end(), '\n'), 1);
}

TEST_F(ProgramTest, DebiansXdgOpenHandsTheLinkIntactToTheBrowser) {
  if (access("/usr/bin/xdg-open", X_OK) != 0) {
    GTEST_SKIP() << "xdg-utils is not installed";
  }
  AddRecorder("browser");
  const std::string target = "a.example/p?q=1;b&c|d$(e)`f`'g'*#~%22";
  const Outcome outcome =
      Run({"\"" + Pattern(1) + target + "\""},
          {{"PATH", "/usr/bin:/bin"}, {"HOME", dir_}, {"BROWSER", bin_ + "/browser"}});
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_EQ(outcome.calls, (std::vector<Call>{{"browser", "http://" + target}}));
}

}  // namespace
