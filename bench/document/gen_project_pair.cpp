// gen_project_pair N LATEST HISTORY: writes a deterministic pair of N-topic
// projects (the benchmarks' own) for timing qctool compare and resave.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "bench/document/ProjectFill.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: gen_project_pair N LATEST HISTORY\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  if (count < 0) {
    std::fprintf(stderr, "gen_project_pair: N must not be negative\n");
    return 2;
  }
  try {
    for (int variant = 0; variant < 2; ++variant) {
      TQuillcrafterDoc doc;
      qcbench::Fill(doc, variant, count);
      doc.SaveToFile(argv[2 + variant]);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_project_pair: %s\n", e.what());
    return 1;
  }
  return 0;
}
