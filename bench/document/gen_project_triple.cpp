// gen_project_triple N BASE OURS THEIRS: a deterministic triple of N-topic
// projects (qcbench::FillTriple) for timing qctool merge against compare.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "bench/document/ProjectFill.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: gen_project_triple N BASE OURS THEIRS\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  if (count < 0) {
    std::fprintf(stderr, "gen_project_triple: N must not be negative\n");
    return 2;
  }
  try {
    for (int side = 0; side < 3; ++side) {
      TQuillcrafterDoc doc;
      qcbench::FillTriple(doc, side, count);
      doc.SaveToFile(argv[2 + side]);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_project_triple: %s\n", e.what());
    return 1;
  }
  return 0;
}
