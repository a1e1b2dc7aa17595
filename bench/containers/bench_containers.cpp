// Throughput of the text stream (line reading and writing over a file) and
// of the hash table (one million keys).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "containers/GHashTable.h"
#include "containers/GStreams.h"

namespace {

constexpr int64_t kFileBytes = 50 * 1000 * 1000;
constexpr int kLineLength = 60;  // bytes of text before the CR LF

/// A 60-character line of printable bytes that varies from line to line.
std::string make_line(int n) {
  std::string line(kLineLength, 'a');
  for (int i = 0; i < kLineLength; ++i)
    line[static_cast<size_t>(i)] = static_cast<char>('!' + (n * 7 + i * 13) % 90);
  return line;
}

/// The folder for the benchmark's files, made once and removed at exit.
const std::string& temp_dir() {
  // Never destroyed, so the exit handler can still read it.
  static const std::string* const dir = [] {
    char pattern[] = "/tmp/qc_containers_bench_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) std::abort();
    auto* path = new std::string(made);
    std::atexit([] {
      std::remove((*dir + "/lines.txt").c_str());
      std::remove((*dir + "/written.txt").c_str());
      rmdir(dir->c_str());
    });
    return path;
  }();
  return *dir;
}

/// The 50 MB file of 60-byte lines, written once.
const std::string& lines_file() {
  static const std::string path = [] {
    std::string p = temp_dir() + "/lines.txt";
    TFileStream file(p, fmCreate);
    TGTextStream text(file);
    for (int n = 0; n * (kLineLength + 2) < kFileBytes; ++n) text.WriteLine(make_line(n));
    text.Flush();
    return p;
  }();
  return path;
}

void BM_TextStreamReadLine(benchmark::State& state) {
  const std::string& path = lines_file();
  int64_t bytes = 0;
  for (auto _ : state) {
    TFileStream file(path, fmOpenRead);
    TGTextStream text(file);
    std::string line;
    int64_t lines = 0;
    while (text.ReadLine(line)) ++lines;
    benchmark::DoNotOptimize(lines);
    bytes += file.Size();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_TextStreamReadLine)->Unit(benchmark::kMillisecond);

void BM_TextStreamWriteLine(benchmark::State& state) {
  std::vector<std::string> lines;
  for (int n = 0; n < 1000; ++n) lines.push_back(make_line(n));
  const std::string path = temp_dir() + "/written.txt";
  const int64_t count = kFileBytes / (kLineLength + 2);
  int64_t bytes = 0;
  for (auto _ : state) {
    TFileStream file(path, fmCreate);
    {
      TGTextStream text(file);
      for (int64_t n = 0; n < count; ++n) text.WriteLine(lines[static_cast<size_t>(n % 1000)]);
      text.Flush();
    }
    bytes += file.Size();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_TextStreamWriteLine)->Unit(benchmark::kMillisecond);

/// One million distinct non-zero keys spread over the whole 32-bit range.
std::vector<int32_t> million_keys() {
  std::vector<int32_t> keys;
  keys.reserve(1000000);
  uint32_t x = 2463534242u;
  while (keys.size() < 1000000) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;  // xorshift: a permutation of the non-zero words, so no repeats
    keys.push_back(static_cast<int32_t>(x));
  }
  return keys;
}

void BM_HashTablePutMillion(benchmark::State& state) {
  const std::vector<int32_t> keys = million_keys();
  for (auto _ : state) {
    TGHashIntTable table(101, 0.75f);
    for (int32_t k : keys) table.Put(k, k);
    benchmark::DoNotOptimize(table.Count());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}
BENCHMARK(BM_HashTablePutMillion)->Unit(benchmark::kMillisecond);

void BM_HashTableGetMillion(benchmark::State& state) {
  const std::vector<int32_t> keys = million_keys();
  TGHashIntTable table(101, 0.75f);
  for (int32_t k : keys) table.Put(k, k);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t k : keys) sum += table.Get(k);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}
BENCHMARK(BM_HashTableGetMillion)->Unit(benchmark::kMillisecond);

void BM_HashTablePositionalWalk(benchmark::State& state) {
  const std::vector<int32_t> keys = million_keys();
  TGHashIntTable table(101, 0.75f);
  for (int32_t k : keys) table.Put(k, k);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int i = 0; i < table.Count(); ++i) sum += table.ValueAt(i);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(table.Count()));
}
BENCHMARK(BM_HashTablePositionalWalk)->Unit(benchmark::kMillisecond);

}  // namespace
