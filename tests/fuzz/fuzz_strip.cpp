// Fuzz target: StripEnclosingQuotes removes exactly the enclosing pair, or changes nothing,
// and StripAllEnclosingQuotes leaves what calling it until it fails leaves.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "literal_unwrap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::string text = AsCString(data, size);
  std::string once = text, repeated = text;
  if (StripAllEnclosingQuotes(once.data()) != StripEveryPairOneByOne(repeated.data()) ||
      std::strcmp(once.c_str(), repeated.c_str()) != 0) {
    std::abort();
  }
  for (;;) {
    const std::string before = text;
    const bool stripped = StripEnclosingQuotes(text.data());
    const std::string after = text.c_str();
    const bool enclosed = before.size() >= 2 && before.front() == '"' && before.back() == '"';
    if (stripped != enclosed) {
      std::abort();
    }
    if (!stripped) {
      if (after != before) {
        std::abort();
      }
      return 0;
    }
    if (after != before.substr(1, before.size() - 2)) {
      std::abort();
    }
    text = after;
  }
}
