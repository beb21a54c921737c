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

DesktopRequest Refuse(const std::string &text) {
  return {"refuse", text, ""};
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

TEST(RunLinkUnwrapper, OpensOnlyWebLinksThatWentThroughARedirector) {
  const std::string p1 = Pattern(0), p2 = Pattern(1), h1 = Host(0);
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
      {"https://a.example/?u=" + p1 + "b.example/",
       {Open("https://a.example/?u=http://b.example/")}},
      {"HTTPS://a.example/" + p2, {Open("HTTPS://a.example/http://")}},
      // Unwrapped, but not a web link: a file, a script, a program, an option.
      {"file:///C:/windows/" + p1 + "../notepad.exe",
       {Refuse("file:///C:/windows/http://../notepad.exe")}},
      {"C:\\tools\\" + p1 + "..\\x.exe", {Refuse("C:\\tools\\http://..\\x.exe")}},
      {"javascript:alert(1)//" + p1, {Refuse("javascript:alert(1)//http://")}},
      {"--x=" + p1 + "a", {Refuse("--x=http://a")}},
      {"see " + p1 + "x", {Refuse("see http://x")}},
      {"'" + p1 + "x'", {Refuse("'http://x'")}},
      {"http:/" + p1 + "x", {Refuse("http:/http://x")}},
      {"http" + p1 + h1 + "/x", {Refuse("httphttp://x")}},
  };
  for (const auto &c : cases) {
    std::string buffer = c.tail;
    EXPECT_EQ(RunLinkUnwrapper(buffer.data()), 0) << testing::PrintToString(c.tail);
    EXPECT_EQ(TakeRecordedRequests(), c.expected) << "tail: " << testing::PrintToString(c.tail);
  }
}

}  // namespace
