// Conversion speed of the eight converters on a 5 MB source text each (the
// language's sample file repeated). Target: 50 MB/s or more.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "syntax/hltConverters.h"

namespace {

constexpr size_t kTextSize = 5 * 1024 * 1024;

std::string SourceText(TSyntaxType language) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(QC_SOURCE_DIR) / "tests" / "data" / SyntaxTypeName(language);
  std::string sample;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".src") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    sample += bytes.str();
  }
  if (sample.empty()) sample = "x = 1;\r\n";
  std::string text;
  text.reserve(kTextSize + sample.size());
  while (text.size() < kTextSize) text += sample;
  return text;
}

void BM_Convert(benchmark::State& state) {
  const auto language = static_cast<TSyntaxType>(state.range(0));
  const std::string text = SourceText(language);
  auto converter = CreateSyntaxConverter(language);
  size_t rtfSize = 0;
  for (auto _ : state) {
    converter->SetText(text);
    const std::string rtf = converter->GetRTF();
    rtfSize = rtf.size();
    benchmark::DoNotOptimize(rtf.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetLabel(SyntaxTypeName(language));
  state.counters["rtf_bytes_per_source_byte"] =
      static_cast<double>(rtfSize) / static_cast<double>(text.size());
}

BENCHMARK(BM_Convert)->DenseRange(0, SyntaxTypeCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace
