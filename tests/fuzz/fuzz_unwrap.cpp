// Fuzz target: the one-pass unwrapping must equal the literal algorithm on every text. The
// first byte picks the rules: below 0x80 the built table, else one hard host.
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "literal_unwrap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  constexpr std::size_t kRules = sizeof kHardRules / sizeof kHardRules[0];
  const RedirectorRule *rule = data[0] < 0x80 ? nullptr : &kHardRules[data[0] % kRules];
  if (!AgreesWithLiteral(AsCString(data + 1, size - 1), rule)) {
    std::abort();
  }
  return 0;
}
