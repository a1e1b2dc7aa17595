// Timing of the line difference engine on the three shapes that matter:
// scattered small edits, a block of wholly different lines (the search's
// worst case) and identical texts.
#include <benchmark/benchmark.h>

#include "bench/diff/BenchTexts.h"
#include "diff/dvDiffEngine.h"

namespace {

void RunPair(benchmark::State& state, const std::pair<std::string, std::string>& texts,
             bool readRows = false) {
  TdvDiffEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  int percent = 0;
  engine.OnDiffProgress = [&](int32_t p) { percent = p; };
  for (auto _ : state) {
    engine.CompareStrings(texts.first, texts.second);
    benchmark::DoNotOptimize(engine.Result1().Count());
    if (readRows) benchmark::DoNotOptimize(engine.Rows().data());
  }
  state.counters["rows"] = engine.Result1().Count();
  state.counters["last%"] = percent;
}

void BM_ScatteredEdits10k(benchmark::State& state) { RunPair(state, diff_bench::ScatteredEdits(10000)); }
BENCHMARK(BM_ScatteredEdits10k)->Unit(benchmark::kMillisecond);

void BM_DisjointBlocks1k(benchmark::State& state) { RunPair(state, diff_bench::DisjointBlocks(1000)); }
BENCHMARK(BM_DisjointBlocks1k)->Unit(benchmark::kMillisecond);

/// The engine without the index: every one of the ~10^6 candidates tested.
class EveryCandidateEngine : public TdvDiffEngine {
 public:
  EveryCandidateEngine() { SetIndexedSearchFrom(1 << 30); }
};

void BM_DisjointBlocks1kEveryCandidate(benchmark::State& state) {
  const auto texts = diff_bench::DisjointBlocks(1000);
  EveryCandidateEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  for (auto _ : state) engine.CompareStrings(texts.first, texts.second);
  state.counters["rows"] = engine.Result1().Count();
}
BENCHMARK(BM_DisjointBlocks1kEveryCandidate)->Unit(benchmark::kMillisecond);

// Beyond what a literal candidate-by-candidate search could do (~10^10 tests).
void BM_DisjointBlocks100k(benchmark::State& state) { RunPair(state, diff_bench::DisjointBlocks(100000)); }
BENCHMARK(BM_DisjointBlocks100k)->Unit(benchmark::kMillisecond);

void BM_DisjointBlocksWithBlankLines20k(benchmark::State& state) {
  RunPair(state, diff_bench::DisjointBlocksWithBlankLines(20000));
}
BENCHMARK(BM_DisjointBlocksWithBlankLines20k)->Unit(benchmark::kMillisecond);

void BM_Identical100k(benchmark::State& state) {
  const std::string text = diff_bench::Identical(100000);
  RunPair(state, {text, text});
}
BENCHMARK(BM_Identical100k)->Unit(benchmark::kMillisecond);

/// The same with the rows read after every run, as the viewer and qctool
/// do: the difference to BM_Identical100k is the cost of Rows().
void BM_Identical100kRows(benchmark::State& state) {
  const std::string text = diff_bench::Identical(100000);
  RunPair(state, {text, text}, true);
}
BENCHMARK(BM_Identical100kRows)->Unit(benchmark::kMillisecond);

/// One line in a hundred with a word changed, rows read without and with
/// their spans: the difference is the cost of the changes inside lines.
void BM_ChangedWords10kRows(benchmark::State& state) {
  const auto texts = diff_bench::ChangedWords(10000);
  TdvDiffEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  for (auto _ : state) {
    engine.CompareStrings(texts.first, texts.second);
    benchmark::DoNotOptimize(engine.LineRows().data());
  }
  state.counters["rows"] = engine.RowCount();
}
BENCHMARK(BM_ChangedWords10kRows)->Unit(benchmark::kMillisecond);

void BM_ChangedWords10kRowsAndSpans(benchmark::State& state) {
  const auto texts = diff_bench::ChangedWords(10000);
  TdvDiffEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  size_t spans = 0;
  for (auto _ : state) {
    engine.CompareStrings(texts.first, texts.second);
    spans = 0;
    for (const TdvDiffRow& row : engine.Rows()) spans += row.Spans1.size() + row.Spans2.size();
  }
  state.counters["rows"] = engine.RowCount();
  state.counters["spans"] = static_cast<double>(spans);
}
BENCHMARK(BM_ChangedWords10kRowsAndSpans)->Unit(benchmark::kMillisecond);

/// The dearest single pair the word table is still worked out for: two
/// lines of 2,000 different words each (a common word every tenth).
void BM_LineSpans2000Words(benchmark::State& state) {
  std::string line1, line2;
  for (int i = 0; i < 2000; ++i) {
    line1 += i % 10 == 0 ? " same" : " a" + std::to_string(i);
    line2 += i % 10 == 0 ? " same" : " b" + std::to_string(i);
  }
  std::vector<TdvSpan> spans1, spans2;
  for (auto _ : state) {
    DiffLineSpans(line1, line2, kMainWindowDiffOptions, TdvCharSet(), spans1, spans2);
    benchmark::DoNotOptimize(spans1.data());
  }
  state.counters["spans"] = static_cast<double>(spans1.size());
}
BENCHMARK(BM_LineSpans2000Words)->Unit(benchmark::kMillisecond);

/// A new engine for every run: no storage of an earlier result to reuse.
void BM_Identical100kFreshEngine(benchmark::State& state) {
  const std::string text = diff_bench::Identical(100000);
  for (auto _ : state) {
    TdvDiffEngine engine;
    engine.SetDiffOptions(kMainWindowDiffOptions);
    engine.CompareStrings(text, text);
    benchmark::DoNotOptimize(engine.Result1().Count());
  }
}
BENCHMARK(BM_Identical100kFreshEngine)->Unit(benchmark::kMillisecond);

}  // namespace
