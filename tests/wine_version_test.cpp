// Tests of telling the Wine versions whose shell cuts long links short.
#include "wine_version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WineHasShortCommandBuffer, BeforeEightSeventeenAndWhenUnreadable) {
  const struct {
    std::string version;
    bool short_buffer;
  } cases[] = {
      {"8.0", true},
      {"8.16", true},
      {"8.9", true},
      {"8.17", false},
      {"8.21 (Staging)", false},
      {"9.0", false},
      {"10.0-rc1", false},
      {"18.0", false},
      {"7.0.1", true},
      {"8", true},
      {"8.", true},
      {"", true},
      {"wine-9.0", true},
      {"99999999999.0", false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(WineHasShortCommandBuffer(c.version.c_str()), c.short_buffer)
        << testing::PrintToString(c.version);
  }
}

}  // namespace
