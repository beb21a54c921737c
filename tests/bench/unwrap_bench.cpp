// Throughput of unwrapping and quote stripping: a typical link, adversarial texts against
// the literal algorithms, and memcpy of the same text as the floor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link_rewriting.h"
#include "literal_unwrap.h"
#include "redirector_links.h"

namespace {

// Repeats piece after head until the text is size bytes long.
std::string Fill(std::string head, const std::string &piece, std::size_t size) {
  while (head.size() + piece.size() <= size) {
    head += piece;
  }
  return head + std::string(size - head.size(), 'x');
}

// A link wrapped by the first service again and again around one target.
std::string NestedChain(std::size_t size) {
  std::string inner = Fill("", Host(0) + "/", size - Pattern(0).size() - 16);
  return Pattern(0) + inner + "www.example.com/";
}

// Many short redirector links one after another.
std::string ManyRepeats(std::size_t size) {
  return Fill("", Pattern(0) + "a.example/ ", size);
}

// Half the text is plain, then the redirector links.
std::string LongPrefix(std::size_t size) {
  return Fill(std::string(size / 2, 'x'), Pattern(1) + "www.example.com/ ", size);
}

// What a shell makes of eight arguments of nothing but double quotes, joined by blanks.
std::string QuoteArguments(std::size_t count, std::size_t size) {
  std::string text(size, '"');
  for (std::size_t i = 1; i < count; ++i) {
    text += " " + std::string(size, '"');
  }
  return text;
}

void SetBytes(benchmark::State &state, std::size_t size) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

using Unwrap = bool (*)(char *);

// Each iteration unwraps a fresh copy; restoring it is not timed.
void RunUnwrap(benchmark::State &state, const std::string &text, Unwrap unwrap) {
  std::vector<char> buffer(text.c_str(), text.c_str() + text.size() + 1);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    state.ResumeTiming();
    benchmark::DoNotOptimize(unwrap(buffer.data()));
    benchmark::ClobberMemory();
  }
  SetBytes(state, text.size());
}

void BM_UnwrapTypicalLink(benchmark::State &state) {
  const std::string link = "\"" + Pattern(0) + "www.example.com/articles/2026/12/08?id=42\"";
  char buffer[256];
  for (auto _ : state) {
    std::memcpy(buffer, link.c_str(), link.size() + 1);
    benchmark::DoNotOptimize(UnwrapRedirectors(buffer));
    benchmark::ClobberMemory();
  }
  SetBytes(state, link.size());
}

void BM_Memcpy(benchmark::State &state, std::string text) {
  std::vector<char> buffer(text.size() + 1);
  for (auto _ : state) {
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    benchmark::ClobberMemory();
  }
  SetBytes(state, text.size());
}

void BM_Unwrap(benchmark::State &state, std::string text) {
  RunUnwrap(state, text, UnwrapRedirectors);
}

void BM_Literal(benchmark::State &state, std::string text) {
  RunUnwrap(state, text, LiteralUnwrapRedirectors);
}

void BM_StripQuotes(benchmark::State &state, std::string text) {
  RunUnwrap(state, text, StripAllEnclosingQuotes);
}

void BM_StripQuotesLiteral(benchmark::State &state, std::string text) {
  RunUnwrap(state, text, StripEveryPairOneByOne);
}

constexpr std::size_t k120KiB = 120 * 1024;
constexpr std::size_t k128KiB = 128 * 1024;
constexpr std::size_t k2MiB = 2 * 1024 * 1024;

}  // namespace

BENCHMARK(BM_UnwrapTypicalLink);
BENCHMARK_CAPTURE(BM_Unwrap, nested_chain_128KiB, NestedChain(k128KiB));
BENCHMARK_CAPTURE(BM_Literal, nested_chain_128KiB, NestedChain(k128KiB))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memcpy, nested_chain_128KiB, NestedChain(k128KiB));
BENCHMARK_CAPTURE(BM_Unwrap, many_repeats_128KiB, ManyRepeats(k128KiB));
BENCHMARK_CAPTURE(BM_Literal, many_repeats_128KiB, ManyRepeats(k128KiB))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memcpy, many_repeats_128KiB, ManyRepeats(k128KiB));
BENCHMARK_CAPTURE(BM_Unwrap, long_prefix_128KiB, LongPrefix(k128KiB));
BENCHMARK_CAPTURE(BM_Literal, long_prefix_128KiB, LongPrefix(k128KiB))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memcpy, long_prefix_128KiB, LongPrefix(k128KiB));
BENCHMARK_CAPTURE(BM_Unwrap, nested_chain_2MiB, NestedChain(k2MiB));
BENCHMARK_CAPTURE(BM_Memcpy, nested_chain_2MiB, NestedChain(k2MiB));
BENCHMARK_CAPTURE(BM_Unwrap, many_repeats_2MiB, ManyRepeats(k2MiB));
BENCHMARK_CAPTURE(BM_Memcpy, many_repeats_2MiB, ManyRepeats(k2MiB));
BENCHMARK_CAPTURE(BM_Unwrap, long_prefix_2MiB, LongPrefix(k2MiB));
BENCHMARK_CAPTURE(BM_Memcpy, long_prefix_2MiB, LongPrefix(k2MiB));

BENCHMARK_CAPTURE(BM_StripQuotes, one_argument_120KiB, QuoteArguments(1, k120KiB));
BENCHMARK_CAPTURE(BM_StripQuotesLiteral, one_argument_120KiB, QuoteArguments(1, k120KiB))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StripQuotes, eight_arguments_120KiB, QuoteArguments(8, k120KiB));
BENCHMARK_CAPTURE(BM_StripQuotesLiteral, eight_arguments_120KiB, QuoteArguments(8, k120KiB))
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
