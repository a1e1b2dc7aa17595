#pragma once
// Deterministic texts for timing the line difference engine.

#include <random>
#include <string>
#include <vector>

namespace diff_bench {

/// A prose-like line of a few random words with its number, ~45 bytes.
inline std::string ProseLine(std::mt19937& random, int number, const char* tag = "") {
  static const char* const kWords[] = {"topic", "window", "macro", "browse", "sequence", "keyword", "index",
                                       "the",   "of",     "and",   "help",   "project",  "status",  "text",
                                       "link",  "build",  "tag",   "title",  "context",  "options"};
  std::string line = tag + std::to_string(number) + ":";
  const int words = 4 + static_cast<int>(random() % 5);
  for (int i = 0; i < words; ++i) {
    line += ' ';
    line += kWords[random() % 20];
  }
  return line;
}

inline std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

/// Two texts of about Lines lines; one line in a hundred of the second is
/// changed, inserted or deleted (a third each), scattered at random.
inline std::pair<std::string, std::string> ScatteredEdits(int lines, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::vector<std::string> text1, text2;
  for (int i = 0; i < lines; ++i) text1.push_back(ProseLine(random, i));
  for (int i = 0; i < lines; ++i) {
    if (random() % 100 != 0) {
      text2.push_back(text1[static_cast<size_t>(i)]);
      continue;
    }
    switch (random() % 3) {
      case 0:  // changed
        text2.push_back(ProseLine(random, i, "changed "));
        break;
      case 1:  // inserted before the line
        text2.push_back(ProseLine(random, i, "inserted "));
        text2.push_back(text1[static_cast<size_t>(i)]);
        break;
      default:  // deleted
        break;
    }
  }
  return {Join(text1), Join(text2)};
}

/// Two texts of Lines lines, the same but for one line in a hundred whose
/// first word is made longer: changed pairs that differ inside the line.
inline std::pair<std::string, std::string> ChangedWords(int lines, unsigned seed = 3) {
  std::mt19937 random(seed);
  std::vector<std::string> text1, text2;
  for (int i = 0; i < lines; ++i) {
    text1.push_back(ProseLine(random, i));
    std::string line = text1.back();
    if (i % 100 == 50) {
      const size_t word = line.find(' ', line.find(' ') + 1);
      line.insert(word == std::string::npos ? line.size() : word, "changed");
    }
    text2.push_back(line);
  }
  return {Join(text1), Join(text2)};
}

/// Two blocks of completely different lines: the search's worst case.
inline std::pair<std::string, std::string> DisjointBlocks(int lines) {
  std::mt19937 random(2);
  std::vector<std::string> text1, text2;
  for (int i = 0; i < lines; ++i) text1.push_back(ProseLine(random, i, "left "));
  for (int i = 0; i < lines; ++i) text2.push_back(ProseLine(random, i, "right "));
  return {Join(text1), Join(text2)};
}

/// Two blocks of different lines, every other line blank on both sides:
/// many candidates agree in their first lines but not in the next.
inline std::pair<std::string, std::string> DisjointBlocksWithBlankLines(int lines) {
  std::mt19937 random(4);
  std::vector<std::string> text1, text2;
  for (int i = 0; i < lines; ++i) {
    text1.push_back(i % 2 ? std::string() : ProseLine(random, i, "left "));
    text2.push_back(i % 2 ? std::string() : ProseLine(random, i, "right "));
  }
  return {Join(text1), Join(text2)};
}

inline std::string Identical(int lines) {
  std::mt19937 random(3);
  std::vector<std::string> text;
  for (int i = 0; i < lines; ++i) text.push_back(ProseLine(random, i));
  return Join(text);
}

}  // namespace diff_bench
