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

}  // namespace
