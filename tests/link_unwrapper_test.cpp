// Tests of the run sequence through a desktop that records its requests.
#include "link_unwrapper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_desktop.h"
#include "redirector_links.h"

namespace {

using Requests = std::vector<std::string>;

std::string Open(const std::string &link) {
  return "open " + link;
}

std::string Refuse(const std::string &text) {
  return "refuse " + text;
}

TEST(RunLinkUnwrapper, EmptyTailShowsTheJapaneseNoticeOnly) {
  char tail[] = "";
  EXPECT_EQ(RunLinkUnwrapper(tail), 0);
  // コマンドラインきてない and poktaキラー in Shift-JIS.
  const Requests expected = {
      "notice \x83\x52\x83\x7D\x83\x93\x83\x68\x83\x89\x83\x43\x83\x93\x82\xAB\x82\xC4\x82\xC8"
      "\x82\xA2 | \x70\x6F\x6B\x74\x61\x83\x4C\x83\x89\x81\x5B"};
  EXPECT_EQ(TakeRecordedRequests(), expected);
}

TEST(RunLinkUnwrapper, OpensOnlyWebLinksThatWentThroughARedirector) {
  const std::string p1 = Pattern(0), p2 = Pattern(1), h1 = Host(0);
  const struct {
    std::string tail;
    Requests expected;
    PlainLinks plain = PlainLinks::kDropped;
  } cases[] = {
      {"\"\"", {}},
      {"\"\"\"\"", {}},
      {"http://www.example.com/", {}},
      {"\"http://www.example.com/\"", {}},
      {"\"" + p1 + "www.example.com/\"", {Open("http://www.example.com/")}},
      {p2 + "www.example.com/", {Open("http://www.example.com/")}},
      // Quotes and blanks around the link are not part of it.
      {"\"" + p1 + "www.example.com/\" ", {Open("http://www.example.com/")}},
      {"\"" + p1 + "a.example/x", {Open("http://a.example/x")}},
      {"\"\"" + p1 + "a.example/\"\"", {Open("http://a.example/")}},
      {"https://a.example/?u=" + p1 + "b.example/",
       {Open("https://a.example/?u=http://b.example/")}},
      {"HTTPS://a.example/" + p2, {Open("HTTPS://a.example/http://")}},
      {p1 + "a.example/?q=%22x%22%2e%2e", {Open("http://a.example/?q=%22x%22%2e%2e")}},
      {p1 + "a.example/\x83\x52\x82\xA0", {Open("http://a.example/\x83\x52\x82\xA0")}},
      // Code page 932: a two-byte character is one, whatever its second byte (表, ソ連, 十能),
      // and a lead byte at the end is a byte.
      {p1 + "a.example/\x95\x5C", {Open("http://a.example/\x95\x5C")}},
      {p1 + "ja.example/\x83\x5C\x98\x41", {Open("http://ja.example/\x83\x5C\x98\x41")}},
      {p1 + "a.example/?q=\x8F\x5C\x94\x5C", {Open("http://a.example/?q=\x8F\x5C\x94\x5C")}},
      {p1 + "a.example/\x83", {Open("http://a.example/\x83")}},
      {p1 + "a.example/.well-known/x..y/.z/", {Open("http://a.example/.well-known/x..y/.z/")}},
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
      // Web links in form only: a path the shell would look for, or a browser's extra
      // arguments.
      {"\"" + p1 + "../prog.exe", {Refuse("http://../prog.exe")}},
      {p1 + "x/../../../folder/prog.exe", {Refuse("http://x/../../../folder/prog.exe")}},
      {p1 + "a/?u=/../../prog.exe", {Refuse("http://a/?u=/../../prog.exe")}},
      {"https://../x/?u=" + p1 + "b.example/", {Refuse("https://../x/?u=http://b.example/")}},
      {p1 + "a/./b", {Refuse("http://a/./b")}},
      {p1 + "a/.../b", {Refuse("http://a/.../b")}},
      {p1 + "a/..", {Refuse("http://a/..")}},
      {p1 + "..\\prog.exe", {Refuse("http://..\\prog.exe")}},
      // A whole character, then a real backslash: あ\, 表\.
      {p1 + "\x82\xA0\\..\\..\\prog.exe", {Refuse("http://\x82\xA0\\..\\..\\prog.exe")}},
      {p1 + "a.example/\x95\x5C\\", {Refuse("http://a.example/\x95\x5C\\")}},
      {"\"" + p1 + "a.example/\" \"--flag\" \"b\"", {Refuse("http://a.example/\" \"--flag\" \"b")}},
      {"\"\"" + p1 + "a.example/?q=\"x\"\"\"", {Refuse("http://a.example/?q=\"x")}},
      {p1 + "a.example/ b", {Refuse("http://a.example/ b")}},
      {p1 + "a.example/\tb", {Refuse("http://a.example/\tb")}},
      {p1 + "a.example/\nb", {Refuse("http://a.example/\nb")}},
      {p1 + "a.example/\x1b]0;t", {Refuse("http://a.example/\x1b]0;t")}},
      {p1 + "a.example/\x7f", {Refuse("http://a.example/\x7f")}},
      // Standing in for the browser: plain links too, by the same rules.
      {"\"http://www.example.com/\" ", {Open("http://www.example.com/")}, PlainLinks::kOpened},
      {p2 + "www.example.com/", {Open("http://www.example.com/")}, PlainLinks::kOpened},
      {"file:///C:/prog.exe", {Refuse("file:///C:/prog.exe")}, PlainLinks::kOpened},
      {"\"\"", {}, PlainLinks::kOpened},
  };
  for (const auto &c : cases) {
    std::string buffer = c.tail;
    EXPECT_EQ(RunLinkUnwrapper(buffer.data(), c.plain), 0) << testing::PrintToString(c.tail);
    EXPECT_EQ(TakeRecordedRequests(), c.expected) << "tail: " << testing::PrintToString(c.tail);
  }
}

TEST(RunLinkUnwrapper, RefusesAWebLinkTheShellWouldNotOpenAsWritten) {
  std::string buffer = Pattern(0) + "a.example/%TOKEN%";
  SetShellReadsAsWritten(false);
  EXPECT_EQ(RunLinkUnwrapper(buffer.data()), 0);
  SetShellReadsAsWritten(true);
  EXPECT_EQ(TakeRecordedRequests(), Requests{Refuse("http://a.example/%TOKEN%")});
}

}  // namespace
