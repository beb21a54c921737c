// Tests of cutting the program name off a Windows command line.
#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ExtractCommandLineTail, CutsTheProgramNameByWindowsRules) {
  const struct {
    std::string command_line;
    std::string tail;
  } cases[] = {
      {"", ""},
      {"lu.exe", ""},
      {"lu.exe  \t \t", ""},
      {"\"C:\\Program Files\\lu.exe\"", ""},
      {"\"C:\\Program Files\\lu.exe\" \t ", ""},
      {"lu.exe http://a.example/", "http://a.example/"},
      {"  \tlu.exe \t http://a.example/", "http://a.example/"},
      {"lu.exe\thttp://a.example/", "http://a.example/"},
      {"\"C:\\Program Files\\lu.exe\"\"http://a.example/\"", "\"http://a.example/\""},
      {"\"C:\\Program Files\\lu.exe\"http://a.example/", "http://a.example/"},
      {"\"lu.exe\" \"http://a.example/\" ", "\"http://a.example/\" "},
      {"lu.exe a  b c ", "a  b c "},
      {"lu.exe a\t\"b\"\t", "a\t\"b\"\t"},
      // An unquoted name keeps its quotes and ends only at a blank or tab.
      {"lu\"x.exe http://a.example/", "http://a.example/"},
      {"lu\"x y\".exe z", "y\".exe z"},
      // A quoted name also ends at a tab; the tail then starts after the blanks.
      {"\"lu.exe\t \"x", "\"x"},
      // A quote that never closes swallows the whole line.
      {"\"C:\\lu.exe http://a.example/", ""},
      {"\"", ""},
  };
  for (const auto &c : cases) {
    std::string command_line = c.command_line;
    char *tail = ExtractCommandLineTail(command_line.data());
    EXPECT_EQ(std::string(tail), c.tail)
        << "command line: " << testing::PrintToString(c.command_line);
    // The tail is a position inside the command line, not a copy.
    EXPECT_EQ(tail + c.tail.size(), command_line.data() + command_line.size());
  }
}

TEST(ReadRequest, ReadsOptionsOnlyWhereNoLinkCouldStand) {
  const struct {
    std::string tail;
    Command command;
    std::string link, forward_to = "";
  } cases[] = {
      {"http://a.example/", Command::kRun, "http://a.example/"},
      {"--set-default", Command::kSetDefault, ""},
      {"--unset-default \t ", Command::kUnsetDefault, " \t "},
      {"--forward-to ChromeHTML \"http://a.example/\"", Command::kForward, "\"http://a.example/\"",
       "ChromeHTML"},
      {"--forward-to\tFirefoxURL-308046B0AF4A39CB", Command::kForward, "",
       "FirefoxURL-308046B0AF4A39CB"},
      // Anything else is the link, as it always was.
      {"--set-default http://a.example/", Command::kRun, "--set-default http://a.example/"},
      {"--set-defaults", Command::kRun, "--set-defaults"},
      {"--forward-to", Command::kRun, "--forward-to"},
      {"--forward-to \"x\" http://a.example/", Command::kRun,
       "--forward-to \"x\" http://a.example/"},
      {"--forward-to a\\b http://a.example/", Command::kRun, "--forward-to a\\b http://a.example/"},
      {"--forward-to " + std::string(256, 'x') + " l", Command::kRun,
       "--forward-to " + std::string(256, 'x') + " l"},
      {"\"--set-default\"", Command::kRun, "\"--set-default\""},
  };
  for (const auto &c : cases) {
    std::string tail = c.tail;
    const Request request = ReadRequest(tail.data());
    const std::string trace = "tail: " + testing::PrintToString(c.tail);
    EXPECT_EQ(request.command, c.command) << trace;
    EXPECT_EQ(std::string(request.link), c.link) << trace;
    EXPECT_EQ(request.forward_to == nullptr ? "" : std::string(request.forward_to), c.forward_to)
        << trace;
  }
}

}  // namespace
