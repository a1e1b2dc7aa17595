// Speed of the formatting comparison: a topic pair of about 2,000 paragraphs
// whose text is equal and whose formatting differs on every line.
#include <benchmark/benchmark.h>

#include "bench/richtext/RtfBody.h"
#include "qtbridge/QtText.h"
#include "richtext/RtfFormatRuns.h"

namespace {

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

struct TPair {
  std::string Rtf1;
  std::string Rtf2;
  TPair() {
    Rtf1 = MakeTopicBody(2000 * 240);
    Rtf2 = ReplaceAll(ReplaceAll(Rtf1, "\\cf2 red", "\\cf1 red"), "\\i italic\\i0", "\\b italic\\b0");
  }
};

const TPair& Pair() {
  static const TPair pair;
  return pair;
}

}  // namespace

static void BM_CompareFormattingOf2000Lines(benchmark::State& state) {
  const auto lines1 = RtfToFormattedLines(Pair().Rtf1, &qtbridge::CodePageToUtf8);
  const auto lines2 = RtfToFormattedLines(Pair().Rtf2, &qtbridge::CodePageToUtf8);
  for (auto _ : state) benchmark::DoNotOptimize(CompareFormatting(lines1, lines2));
  state.counters["lines"] = static_cast<double>(lines1.size());
}
BENCHMARK(BM_CompareFormattingOf2000Lines)->Unit(benchmark::kMillisecond);

// Reading both bodies as well, as the comparison model does.
static void BM_CompareRtfFormattingOf2000Lines(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(CompareRtfFormatting(Pair().Rtf1, Pair().Rtf2, &qtbridge::CodePageToUtf8));
}
BENCHMARK(BM_CompareRtfFormattingOf2000Lines)->Unit(benchmark::kMillisecond);
