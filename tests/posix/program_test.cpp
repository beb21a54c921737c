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
  std::vector<std::string> opener_environment;  // sorted
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

  // The environment of every run: PATH (the recorders), RECORD_DIR, LANG=C.UTF-8, and
  // allocations filled with junk, so that nothing passes by reading memory it never wrote.
  Env BaseEnvironment() const {
    return {
        {"PATH", bin_}, {"RECORD_DIR", records_}, {"LANG", "C.UTF-8"}, {"MALLOC_PERTURB_", "165"}};
  }

  // NAME=value for each variable, an empty value standing for an unset one.
  static std::vector<std::string> Variables(const Env &env) {
    std::vector<std::string> variables;
    for (const auto &[name, value] : env)
      if (!value.empty())
        variables.push_back(name + "=" + value);
    return variables;
  }

  // Runs the program with exactly these arguments, in the base environment with the overrides
  // applied, started through the wrapper's command if any, and waits for it and, since the
  // test adopts orphans, for everything it started. Its stdout is a pipe, as for a caller
  // that captures it, and its stderr a file; or stderr is a pipe nobody reads any more; or
  // stdin and stdout are a terminal. Like many a caller, it also gets a pipe on fd 9.
  Outcome Run(const std::vector<std::string> &arguments, const Env &overrides = {},
              Streams streams = Streams::kCaptured, std::vector<std::string> wrapper = {}) {
    std::filesystem::remove_all(records_);
    std::filesystem::create_directory(records_);
    Env env = BaseEnvironment();
    for (const auto &[name, value] : overrides) env[name] = value;
    const std::vector<std::string> variables = Variables(env);
    std::vector<char *> argv, envp;
    for (std::string &word : wrapper) argv.push_back(word.data());
    argv.push_back(program_.data());
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
      if (name.rfind("environment.", 0) == 0) {
        outcome.opener_environment = ParseCall(ReadFile(entry.path()));
        std::sort(outcome.opener_environment.begin(), outcome.opener_environment.end());
      }
    }
    return outcome;
  }

  // Runs another program, command[0] by its path, as Run runs ours.
  Outcome RunOther(std::vector<std::string> command, const Env &overrides) {
    const std::string ours = std::exchange(program_, command.front());
    command.erase(command.begin());
    Outcome outcome = Run(command, overrides);
    program_ = ours;
    return outcome;
  }

  // A desktop of the test's own: its HOME and XDG folders, Debian's MIME database, a display
  // that xdg-open believes in, Debian's xdg-utils, gio and Python after the recorders (which
  // no longer stand in for xdg-open), and a browser entry whose program is the "browser"
  // recorder, handling web links and pages.
  Env PrivateDesktop() {
    for (const char *folder : {"/home", "/data/applications", "/config", "/etc"}) {
      std::filesystem::create_directories(dir_ + folder);
    }
    std::filesystem::remove(bin_ + "/xdg-open");
    AddRecorder("browser");
    AddRecorder("zenity");
    AddEntry("recorder.desktop", bin_ + "/browser %u");
    const Env env = {{"HOME", dir_ + "/home"},
                     {"XDG_DATA_HOME", dir_ + "/data"},
                     {"XDG_CONFIG_HOME", dir_ + "/config"},
                     {"XDG_CONFIG_DIRS", dir_ + "/etc"},
                     {"XDG_DATA_DIRS", "/usr/share"},
                     {"DISPLAY", ":99"},
                     {"PATH", bin_ + ":/usr/bin:/bin"}};
    EXPECT_EQ(RunOther({"/usr/bin/xdg-mime", "default", "recorder.desktop", "x-scheme-handler/http",
                        "x-scheme-handler/https", "text/html"},
                       env)
                  .exit_status,
              0);
    return env;
  }

  void AddEntry(const std::string &id, const std::string &exec) {
    std::ofstream(dir_ + "/data/applications/" + id)
        << "[Desktop Entry]\nType=Application\nName=" << id << "\nExec=" << exec
        << "\nMimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;\n";
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
      // A terminal that cannot show Japanese, or whose encoding iconv does not know, gets
      // UTF-8 rather than nothing.
      {"en_US.ISO-8859-1", kNoticeLine},
      {"ja_JP.X-UNKNOWN", kNoticeLine},
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

// Fifteen arguments of 120,000 bytes are nearly all that one process may hand another. Under
// the first limit of address space, counted up from below, that lets the program start with
// them, joining them into one link no longer fits.
TEST_F(ProgramTest, ExitStatusIsZeroWhenMemoryRunsOut) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer needs more address space than any such limit leaves";
#else
  const std::vector<std::string> arguments(15, std::string(120000, 'x'));
  for (long limit = 1L << 21; limit < 1L << 25; limit += 1L << 18) {
    const Outcome outcome = Run(arguments, {}, Streams::kCaptured,
                                {"/usr/bin/prlimit", "--as=" + std::to_string(limit), "--"});
    if (outcome.standard_error.find("out of memory") != std::string::npos) {
      EXPECT_EQ(outcome.exit_status, 0) << limit;
      EXPECT_EQ(outcome.standard_error, "link-unwrapper: out of memory\n") << limit;
      return;
    }
  }
  FAIL() << "memory never ran out";
#endif
}

TEST_F(ProgramTest, OptionsPrintToStdoutAndOpenNothing) {
  const struct {
    std::string option;
    std::string first_line_start;
  } cases[] = {{"--help", "Usage: link-unwrapper [--print] [--forward-to ID] [--] LINK\n"},
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
    std::vector<std::string> wrapper = {};
  } cases[] = {
      {Streams::kCaptured, {}, true},
      {Streams::kTerminal, {{"DISPLAY", ":99"}}, true},
      {Streams::kTerminal, {{"WAYLAND_DISPLAY", "wayland-0"}}, true},
      {Streams::kTerminal, {{"DISPLAY", ""}}, false},
      // A caller that ignores SIGCHLD gets its children reaped for it: the wait ends all the
      // same, within the time timeout allows.
      {Streams::kTerminal,
       {{"DISPLAY", ""}},
       false,
       {"/usr/bin/timeout", "10", "/usr/bin/env", "--ignore-signal=CHLD"}},
  };
  const std::string our_session = "session " + std::to_string(getsid(0)) + "\n";
  for (const auto &c : cases) {
    Env env = c.env;
    env["RECORDER_SLEEP"] = "1";
    const Outcome outcome = Run({Pattern(0) + "a.example/"}, env, c.streams, c.wrapper);
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
    // Nothing else changes, and nothing is left of what is taken out.
    Env env = BaseEnvironment();
    env["BROWSER"] = c.expected == "unset" ? "" : c.expected;
    std::vector<std::string> expected = Variables(env);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(outcome.opener_environment, expected) << c.browser;
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

// What every program that asks for the default browser gets, once we are it: a wrapped link
// unwrapped and a plain one as it was, at the browser the user had, and a page on disk there
// directly; undone, everything as it was.
TEST_F(ProgramTest, AsTheDefaultBrowserForwardsEveryWebLinkToTheBrowserItReplaced) {
  if (access("/usr/bin/xdg-mime", X_OK) != 0 || access("/usr/bin/gio", X_OK) != 0 ||
      access("/usr/bin/python3", X_OK) != 0) {
    GTEST_SKIP() << "xdg-utils, gio or python3 is not installed";
  }
  const Env desktop = PrivateDesktop();
  const std::string entry = dir_ + "/data/applications/link-unwrapper-forward.desktop";
  for (int twice = 0; twice < 2; ++twice) {
    const Outcome set = Run({"--set-default"}, desktop);
    EXPECT_EQ(set.exit_status, 0) << set.standard_error;
    EXPECT_NE(ReadFile(entry).find(" --forward-to recorder.desktop %u\n"), std::string::npos);
  }
  if (access("/usr/bin/desktop-file-validate", X_OK) == 0) {
    const Outcome validated = RunOther({"/usr/bin/desktop-file-validate", entry}, desktop);
    EXPECT_EQ(validated.exit_status, 0) << validated.standard_output;
  }
  const std::string wrapped = Pattern(0) + "www.example.com/a?b=1;c=$(d)'%20\xc3\xa9";
  const std::string plain = "https://www.example.com/p?q='x'&r=%zz";
  const std::string python = "import sys, webbrowser; webbrowser.open(sys.argv[1])";
  const struct {
    std::vector<std::string> opener;
    Env env = {};
  } openers[] = {
      {{"/usr/bin/xdg-open"}},
      {{"/usr/bin/xdg-open"}, {{"XDG_CURRENT_DESKTOP", "GNOME"}}},
      {{"/usr/bin/gio", "open"}},
      {{"/usr/bin/python3", "-c", python}},
  };
  for (const auto &o : openers) {
    Env env = desktop;
    for (const auto &[name, value] : o.env) env[name] = value;
    for (const auto &[link, arrived] :
         {std::pair{wrapped, "http://www.example.com/a?b=1;c=$(d)'%20\xc3\xa9"},
          std::pair{plain, plain.c_str()}}) {
      std::vector<std::string> command = o.opener;
      command.push_back(link);
      const Outcome outcome = RunOther(command, env);
      EXPECT_EQ(outcome.calls, (std::vector<Call>{{"browser", arrived}}))
          << command.front() << " " << link << "\n"
          << outcome.standard_error;
    }
  }
  std::ofstream(dir_ + "/page.html") << "<p>page</p>\n";
  EXPECT_EQ(RunOther({"/usr/bin/xdg-open", dir_ + "/page.html"}, desktop).calls,
            (std::vector<Call>{{"browser", dir_ + "/page.html"}}));

  for (const std::string undone : {"go to recorder.desktop again", "nothing to undo"}) {
    const Outcome unset = Run({"--unset-default"}, desktop);
    EXPECT_EQ(unset.exit_status, 0) << unset.standard_error;
    EXPECT_NE(unset.standard_output.find(undone), std::string::npos) << unset.standard_output;
    EXPECT_FALSE(std::filesystem::exists(entry));
    for (const char *scheme : {"x-scheme-handler/http", "x-scheme-handler/https"}) {
      EXPECT_EQ(
          RunOther({"/usr/bin/xdg-mime", "query", "default", scheme}, desktop).standard_output,
          "recorder.desktop\n");
    }
  }
}

// Forwarded as the desktop launches an entry, detached as the opener is; or, where that
// would lose the link or loop, not at all, with a line and a dialog that say why.
TEST_F(ProgramTest, ForwardsToTheEntryAsTheDesktopLaunchesItOrSaysWhyNot) {
  if (access("/usr/bin/xdg-mime", X_OK) != 0 || access("/usr/bin/gio", X_OK) != 0) {
    GTEST_SKIP() << "xdg-utils or gio is not installed";
  }
  Env desktop = PrivateDesktop();
  desktop["BROWSER"] = "link-unwrapper %s:firefox";
  std::filesystem::create_directory(dir_ + "/my browser");
  std::filesystem::create_symlink(RECORDER_SCRIPT, dir_ + "/my browser/browser");
  AddEntry("spaced.desktop", "\"" + dir_ + "/my browser/browser\" --new-window -P x %U");
  AddEntry("files.desktop", bin_ + "/browser %F");
  AddEntry("loop.desktop", "xdg-open %u");
  ASSERT_EQ(Run({"--set-default", "recorder.desktop"}, desktop).exit_status, 0);
  const std::string link = Pattern(0) + "www.example.com/x";
  const std::string lost = "link-unwrapper: not opened, ";
  const struct {
    std::string id;
    Call call;          // the browser's, unless it is lost
    std::string error;  // why it is lost, in a dialog, and on stderr unless a copy of ours
                        // that the browser started says it
    bool said_here = true;
  } cases[] = {
      {"spaced.desktop", {"browser", "--new-window", "-P", "x", "http://www.example.com/x"}, ""},
      {"recorder.desktop", {"browser", "http://www.example.com/x"}, ""},
      {"link-unwrapper-forward.desktop",
       {},
       lost + "link-unwrapper-forward.desktop starts link-unwrapper, which would get it back: "
              "http://www.example.com/x"},
      {"gone.desktop",
       {},
       lost + "no desktop entry gone.desktop that takes links: missing, hidden, or its program "
              "not installed: http://www.example.com/x"},
      {"files.desktop",
       {},
       lost + "no desktop entry files.desktop that takes links: missing, hidden, or its program "
              "not installed: http://www.example.com/x"},
      // Through the default browser, which is us, back to us: once round, and no more.
      {"loop.desktop",
       {},
       lost + "it came back: the program it went on to handed it to the default browser, "
              "link-unwrapper: http://www.example.com/x",
       false},
  };
  const std::string our_session = "session " + std::to_string(getsid(0)) + "\n";
  for (const auto &c : cases) {
    const Outcome outcome = Run({"--forward-to", c.id, link}, desktop);
    EXPECT_EQ(outcome.exit_status, 0) << c.id;
    const Call dialog = {"zenity",         "--info", "--no-markup", "--title",
                         "link-unwrapper", "--text", c.error};
    EXPECT_EQ(outcome.calls, std::vector<Call>{c.error.empty() ? c.call : dialog}) << c.id;
    EXPECT_EQ(outcome.standard_error, c.said_here && !c.error.empty() ? c.error + "\n" : "")
        << c.id;
    if (c.error.empty()) {
      const std::string &opener = outcome.opener_process;
      EXPECT_EQ(opener.find(our_session), std::string::npos) << opener;
      EXPECT_NE(opener.find("fd0 /dev/null\nfd1 /dev/null\nfd2 /dev/null\nfd9 \n"),
                std::string::npos)
          << opener;
      const auto &env = outcome.opener_environment;
      EXPECT_NE(std::find(env.begin(), env.end(), "BROWSER=firefox"), env.end()) << c.id;
    }
  }
}

}  // namespace
