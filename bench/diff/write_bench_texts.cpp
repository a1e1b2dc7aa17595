// Writes the scattered-edits pair of the benchmark to two files, so that
// other tools can be timed on exactly the same input.
#include <cstdio>

#include "bench/diff/BenchTexts.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE1 FILE2\n", argv[0]);
    return 1;
  }
  const auto texts = diff_bench::ScatteredEdits(10000);
  for (int i = 0; i < 2; ++i) {
    FILE* file = std::fopen(argv[1 + i], "wb");
    if (file == nullptr) return 1;
    const std::string& text = i == 0 ? texts.first : texts.second;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  return 0;
}
