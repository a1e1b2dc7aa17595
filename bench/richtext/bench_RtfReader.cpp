// Speed of the Qt-free reader: the plain text of a 1 MB topic body.
#include <benchmark/benchmark.h>

#include "bench/richtext/RtfBody.h"
#include "qtbridge/QtText.h"
#include "richtext/RtfPlainText.h"

static void BM_PlainTextOf1MBBody(benchmark::State& state) {
  const std::string rtf = MakeTopicBody(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(rtf.size()));
}
BENCHMARK(BM_PlainTextOf1MBBody)->Unit(benchmark::kMillisecond);
