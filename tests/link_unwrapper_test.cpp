#include "link_unwrapper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_desktop.h"
#include "redirector_links.h"

namespace {

using Requests = std::vector<DesktopRequest>;

DesktopRequest Open(const std::string &link) {
  return {"open", link, ""};
}

TEST(RunLinkUnwrapper, EmptyTailShowsTheJapaneseNoticeOnly) {
  char tail[] = "";
  EXPECT_EQ(RunLinkUnwrapper(tail), 0);
  // コマンドラインきてない and poktaキラー in Shift-JIS.
  const Requests expected = {{"notice",
                              "\x83\x52\x83\x7D\x83\x93\x83\x68\x83\x89\x83\x43\x83\x93\x82\xAB"
                              "\x82\xC4\x82\xC8\x82\xA2",
                              "\x70\x6F\x6B\x74\x61\x83\x4C\x83\x89\x81\x5B"}};
  EXPECT_EQ(TakeRecordedRequests(), expected);
}

TEST(RunLinkUnwrapper, OpensOnlyLinksThatWentThroughARedirector) {
  const std::string p1 = Pattern(0), p2 = Pattern(1);
  const struct {
    std::string tail;
    Requests expected;
  } cases[] = {
      {"\"\"", {}},
      {"\"\"\"\"", {}},
      {"http://www.example.com/", {}},
      {"\"http://www.example.com/\"", {}},
      {"\"" + p1 + "www.example.com/\"", {Open("http://www.example.com/")}},
      {p2 + "www.example.com/", {Open("http://www.example.com/")}},
      {"\"\"" + p1 + "a.example/?q=\"x\"\"\"", {Open("http://a.example/?q=\"x\"")}},
      // A blank after the closing quote keeps the quotes, and they reach the shell.
      {"\"" + p1 + "www.example.com/\" ", {Open("\"http://www.example.com/\" ")}},
      {"'" + p1 + "x'", {Open("'http://x'")}},
  };
  for (const auto &c : cases) {
    std::string buffer = c.tail;
    EXPECT_EQ(RunLinkUnwrapper(buffer.data()), 0) << testing::PrintToString(c.tail);
    EXPECT_EQ(TakeRecordedRequests(), c.expected) << "tail: " << testing::PrintToString(c.tail);
  }
}

}  // namespace
