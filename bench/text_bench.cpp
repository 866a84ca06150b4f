// Timings of the text primitives on large inputs (1 MiB and 8 MiB), each beside
// a plain std::string baseline doing the same pass without the double-byte
// stepping. They print figures and never fail: build in Release and run
//   build/<dir>/bench/text_bench
// The inputs are header-like lines mixing ASCII and GBK text, so the walk by
// characters meets both one- and two-byte characters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/text.h"
#include "web/header_helpers.h"

namespace {

constexpr std::int64_t kMiB = 1 << 20;

// Lines of a header block and GBK text, repeated to `size` bytes; ends with
// a line holding "X-Needle", which nothing before it holds.
std::string HeaderLikeInput(std::size_t size) {
  static const std::string kLines =
      "accept-encoding: gzip, deflate\r\n"
      "user-agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
      "x-readout: 北京时间：2019年10月4日14时31分42秒\r\n"
      "cookie: a=1; 名字=中文内容; b=2\r\n"
      "date: Fri, 04 Oct 2019 06:31:42 GMT\r\n";
  std::string input;
  input.reserve(size + kLines.size());
  while (input.size() + kLines.size() < size) input += kLines;
  input += "x-needle: found\r\n";
  return input;
}

// The worst case of a naive search: many near-matches of a long sought text.
std::string RepetitiveInput(std::size_t size) { return std::string(size, 'a') + "b"; }
const std::string kLongSought = std::string(63, 'a') + "b";

void SetThroughput(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// --- TextFind ---------------------------------------------------------------

void BM_TextFind(benchmark::State& state) {
  const Text input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(TextFind(input, "x-needle:"));
  SetThroughput(state);
}

void BM_StringFind(benchmark::State& state) {
  const std::string input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(input.find("x-needle:"));
  SetThroughput(state);
}

void BM_TextFindFoldingCase(benchmark::State& state) {
  const Text input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(TextFind(input, "X-NEEDLE:", std::nullopt, true));
  SetThroughput(state);
}

void BM_StringSearchFoldingCase(benchmark::State& state) {
  const std::string input = HeaderLikeInput(state.range(0));
  const std::string sought = "X-NEEDLE:";
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::search(input.begin(), input.end(), sought.begin(), sought.end(),
                                         [&](char a, char b) { return fold(a) == fold(b); }));
  }
  SetThroughput(state);
}

void BM_TextFindRepetitive(benchmark::State& state) {
  const Text input = RepetitiveInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(TextFind(input, kLongSought));
  SetThroughput(state);
}

void BM_StringFindRepetitive(benchmark::State& state) {
  const std::string input = RepetitiveInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(input.find(kLongSought));
  SetThroughput(state);
}

// --- TextSubstitute -----------------------------------------------------------

void BM_TextSubstitute(benchmark::State& state) {
  const Text input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(TextSubstitute(input, "\r\n", "\n"));
  SetThroughput(state);
}

void BM_StringReplaceAll(benchmark::State& state) {
  const std::string input = HeaderLikeInput(state.range(0));
  for (auto _ : state) {
    std::string result;
    result.reserve(input.size());
    std::size_t copied = 0;
    for (std::size_t found = input.find("\r\n"); found != std::string::npos;
         found = input.find("\r\n", copied)) {
      result.append(input, copied, found - copied);
      result += '\n';
      copied = found + 2;
    }
    result.append(input, copied);
    benchmark::DoNotOptimize(result);
  }
  SetThroughput(state);
}

// --- TextSplit ------------------------------------------------------------------

void BM_TextSplit(benchmark::State& state) {
  const Text input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(TextSplit(input, "\r\n"));
  SetThroughput(state);
}

void BM_StringSplit(benchmark::State& state) {
  const std::string input = HeaderLikeInput(state.range(0));
  for (auto _ : state) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t found = input.find("\r\n"); found != std::string::npos;
         found = input.find("\r\n", start)) {
      pieces.emplace_back(input, start, found - start);
      start = found + 2;
    }
    if (start < input.size()) pieces.emplace_back(input, start);
    benchmark::DoNotOptimize(pieces);
  }
  SetThroughput(state);
}

// --- NormalizeHeaderBlock -------------------------------------------------------

void BM_NormalizeHeaderBlock(benchmark::State& state) {
  const Text input = HeaderLikeInput(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(NormalizeHeaderBlock(input));
  SetThroughput(state);
}

// The same pass on std::string: lines at "\r\n", lines without a colon
// dropped, the first letter of the name and after every "-" upper-cased.
void BM_StringNormalizeHeaders(benchmark::State& state) {
  const std::string input = HeaderLikeInput(state.range(0));
  for (auto _ : state) {
    std::string output;
    output.reserve(input.size());
    std::size_t start = 0;
    while (start < input.size()) {
      std::size_t end = input.find("\r\n", start);
      if (end == std::string::npos) end = input.size();
      const std::size_t colon = input.find(':', start);
      if (colon < end) {
        if (!output.empty()) output += "\r\n";
        bool capitalize = true;
        for (std::size_t i = start; i < colon; ++i) {
          char c = input[i];
          if (capitalize && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
          capitalize = c == '-';
          output += c;
        }
        output.append(input, colon, end - colon);
      }
      start = end + 2;
    }
    benchmark::DoNotOptimize(output);
  }
  SetThroughput(state);
}

}  // namespace

#define ZQ_SIZES ->Arg(kMiB)->Arg(8 * kMiB)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_TextFind) ZQ_SIZES;
BENCHMARK(BM_StringFind) ZQ_SIZES;
BENCHMARK(BM_TextFindFoldingCase) ZQ_SIZES;
BENCHMARK(BM_StringSearchFoldingCase) ZQ_SIZES;
BENCHMARK(BM_TextFindRepetitive) ZQ_SIZES;
BENCHMARK(BM_StringFindRepetitive) ZQ_SIZES;
BENCHMARK(BM_TextSubstitute) ZQ_SIZES;
BENCHMARK(BM_StringReplaceAll) ZQ_SIZES;
BENCHMARK(BM_TextSplit) ZQ_SIZES;
BENCHMARK(BM_StringSplit) ZQ_SIZES;
BENCHMARK(BM_NormalizeHeaderBlock) ZQ_SIZES;
BENCHMARK(BM_StringNormalizeHeaders) ZQ_SIZES;

BENCHMARK_MAIN();
