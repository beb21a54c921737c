// Tests of how the shell reads a link: the bound of its strings everywhere, and of Wine's
// buffers only under Wine, with the "open" command that Wine registers for http.
#include "shell_reading.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "http://x.example/" and filler, length bytes in all.
std::string LinkOf(std::size_t length) {
  return "http://x.example/" + std::string(length - 17, 'B');
}

TEST(FitsTheShellsBuffers, AnyLinkTheShellsStringsHoldAndUnderWineWhatItsBuffersHold) {
  const struct {
    std::size_t length;
    bool under_wine;
    bool fits;
  } cases[] = {
      {259, false, true}, {1000, false, true}, {32766, false, true}, {32767, false, false},
      {259, true, true},  {981, true, true},   {982, true, false},   {32766, true, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(FitsTheShellsBuffers(LinkOf(c.length).c_str(), "http", c.under_wine), c.fits)
        << c.length << " bytes, " << (c.under_wine ? "under Wine" : "on Windows");
  }
}

}  // namespace
