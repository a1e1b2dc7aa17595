// Loading, saving and classifying a 20,000-topic project of about 30 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/document/ProjectFill.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicComparison.h"

namespace {

constexpr int kTopics = 20000;

void Fill(TQuillcrafterDoc& doc, int variant) { qcbench::Fill(doc, variant, kTopics); }

const std::string& ProjectBytes(bool descending) {
  static std::string ascendingBytes, descendingBytes;
  std::string& bytes = descending ? descendingBytes : ascendingBytes;
  if (bytes.empty()) {
    TQuillcrafterDoc doc;
    Fill(doc, 0);
    TMemoryStream stream;
    doc.SaveToStream(stream);
    bytes = stream.DataString();
    if (descending) {
      // The same records, highest ID first: cut the topic section into records and reverse them.
      std::vector<std::string> lines;
      size_t start = 0;
      while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
      }
      // The topic count stands just before the first record (ID 1, "Inkwells1").
      const size_t countLine =
          static_cast<size_t>(std::find(lines.begin(), lines.end(), "Inkwells1") - lines.begin()) - 2;
      std::vector<std::vector<std::string>> records;
      size_t at = countLine + 1;
      for (int t = 0; t < kTopics; ++t) {
        const size_t textCount = static_cast<size_t>(std::stoi(lines[at + 12]));
        records.emplace_back(lines.begin() + static_cast<long>(at),
                             lines.begin() + static_cast<long>(at + 13 + textCount));
        at += 13 + textCount;
      }
      std::reverse(records.begin(), records.end());
      std::string out;
      for (size_t i = 0; i <= countLine; ++i) out += lines[i] + "\r\n";
      for (const auto& record : records)
        for (const auto& line : record) out += line + "\r\n";
      for (size_t i = at; i < lines.size(); ++i) out += lines[i] + "\r\n";
      bytes = out;
    }
  }
  return bytes;
}

std::string TempFile(const char* name) {
  return "/tmp/qc-bench-" + std::to_string(getpid()) + "-" + name + ".qcp";
}

void Load(benchmark::State& state, bool descending, bool fromFile) {
  const std::string& bytes = ProjectBytes(descending);
  const std::string file = TempFile(descending ? "desc" : "asc");
  if (fromFile) {
    TMemoryStream m(bytes);
    m.SaveToFile(file);
  }
  TQuillcrafterDoc doc;
  for (auto _ : state) {
    if (fromFile) {
      doc.LoadFromFile(file);
    } else {
      TMemoryStream stream(bytes);
      doc.LoadFromStream(stream);
    }
    benchmark::DoNotOptimize(doc.Topics().Count());
  }
  if (doc.Topics().Count() != kTopics || !doc.Topics().IsInIDOrder()) state.SkipWithError("bad load");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
  if (fromFile) std::remove(file.c_str());
}

void BM_LoadAscendingFromFile(benchmark::State& state) { Load(state, false, true); }
void BM_LoadDescendingFromFile(benchmark::State& state) { Load(state, true, true); }
void BM_LoadAscendingFromMemory(benchmark::State& state) { Load(state, false, false); }
void BM_LoadDescendingFromMemory(benchmark::State& state) { Load(state, true, false); }

void BM_SaveToFile(benchmark::State& state) {
  TQuillcrafterDoc doc;
  Fill(doc, 0);
  const std::string file = TempFile("save");
  for (auto _ : state) doc.SaveToFile(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(ProjectBytes(false).size()));
  std::remove(file.c_str());
}

void BM_SaveToMemory(benchmark::State& state) {
  TQuillcrafterDoc doc;
  Fill(doc, 0);
  for (auto _ : state) {
    TMemoryStream stream;
    doc.SaveToStream(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(ProjectBytes(false).size()));
}

void BM_Classify(benchmark::State& state) {
  static TQuillcrafterDoc latest, history;
  if (latest.Topics().Count() == 0) {
    Fill(latest, 0);
    Fill(history, 1);
    // Renumber a few History topics so that matching by ID and by title differ.
    for (int i = 0; i < kTopics; i += 13) history.Topics().Items(i)->SetTopicID(1000000 + i);
  }
  const TTopicMatchMode mode = MatchModeFromIndex(static_cast<int>(state.range(0)));
  TTopicCounters counters;
  for (auto _ : state) {
    counters = RecountTopics(latest.Topics(), history.Topics(), mode);
    benchmark::DoNotOptimize(counters);
  }
  state.counters["different"] = counters.DifferentCount();
  state.counters["identical"] = counters.IdenticalCount();
  state.counters["identText"] = counters.IdenticalTextCount();
  state.counters["new"] = counters.NewCount();
}

}  // namespace

BENCHMARK(BM_LoadAscendingFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDescendingFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAscendingFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDescendingFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Classify)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
