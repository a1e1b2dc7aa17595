// Reports of two generated projects (the pair gen_project_pair writes:
// every seventh topic retitled, every eleventh with another text, so about
// a fifth of the pairs differ and are diffed with word spans and formatting
// notes). Open_and_report is what `qctool report` does: read both files,
// classify, write the report; Report_only writes it again from the open
// session. Report_rss_growth_MiB is how far the resident memory rose above
// what the open documents hold while the report was written: the output is
// streamed, so it stays the same whatever the number of topics.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/document/ProjectFill.h"
#include "compare/ComparisonSession.h"
#include "compare/Report.h"
#include "qtbridge/QtText.h"

namespace {

/// The pair of Count topics in the temporary folder, written once.
std::pair<std::string, std::string> PairFiles(int count) {
  const std::string base = "/tmp/qc_bench_report_" + std::to_string(getpid()) + "_" + std::to_string(count);
  const std::string latest = base + "_latest.qcp", history = base + "_history.qcp";
  if (std::ifstream(latest).good() && std::ifstream(history).good()) return {latest, history};
  for (int variant = 0; variant < 2; ++variant) {
    TQuillcrafterDoc doc;
    qcbench::Fill(doc, variant, count);
    doc.SaveToFile(variant == 0 ? latest : history);
  }
  return {latest, history};
}

struct TPairCleanup {
  ~TPairCleanup() {
    for (int count : {5000, 20000})
      for (const char* side : {"_latest.qcp", "_history.qcp"})
        std::remove(("/tmp/qc_bench_report_" + std::to_string(getpid()) + "_" + std::to_string(count) + side)
                        .c_str());
  }
} gCleanup;

/// Resident memory now, in bytes.
double ResidentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

TReportOptions Options() {
  TReportOptions options;
  options.Decode = &qtbridge::CodePageToUtf8;
  options.IncludeDeleted = true;
  options.GeneratedAt = 0;
  return options;
}

/// Writes the report to a sink that only counts; returns the bytes and the highest memory rise seen.
std::pair<size_t, double> Write(TComparisonSession& session, TReportFormat format) {
  size_t bytes = 0;
  const double before = ResidentBytes();
  double highest = before;
  size_t pieces = 0;
  WriteReport(session, format, Options(), [&](std::string_view piece) {
    bytes += piece.size();
    if (++pieces % 16 == 0) highest = std::max(highest, ResidentBytes());
  });
  highest = std::max(highest, ResidentBytes());
  return {bytes, highest - before};
}

void SetCounters(benchmark::State& state, size_t bytes, double growth) {
  state.counters["Report_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["Report_rss_growth_MiB"] = growth / (1024.0 * 1024.0);
  state.counters["Topics"] = static_cast<double>(state.range(1));
}

void BM_Open_and_report(benchmark::State& state) {
  const auto format = static_cast<TReportFormat>(state.range(0));
  const auto [latest, history] = PairFiles(static_cast<int>(state.range(1)));
  size_t bytes = 0;
  double growth = 0;
  for (auto _ : state) {
    TComparisonSession session(&qtbridge::CodePageToUtf8);
    session.SetShowDeleted(true);
    session.OpenFiles(latest, history);
    std::tie(bytes, growth) = Write(session, format);
  }
  SetCounters(state, bytes, growth);
}

void BM_Report_only(benchmark::State& state) {
  const auto format = static_cast<TReportFormat>(state.range(0));
  const auto [latest, history] = PairFiles(static_cast<int>(state.range(1)));
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetShowDeleted(true);
  session.OpenFiles(latest, history);
  size_t bytes = 0;
  double growth = 0;
  for (auto _ : state) std::tie(bytes, growth) = Write(session, format);
  SetCounters(state, bytes, growth);
}

// Format (0 HTML, 1 CSV, 2 JSON) and topics.
void Arguments(benchmark::internal::Benchmark* b) {
  for (int format : {0, 1, 2})
    for (int topics : {5000, 20000}) b->Args({format, topics});
  b->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_Open_and_report)->Apply(Arguments);
BENCHMARK(BM_Report_only)->Apply(Arguments);

}  // namespace
