/// Tests' reference for diff/dvDiffEngine.cpp: the method exactly as it is
/// described, without any of the engine's shortcuts.
#include "tests/diff/DiffReference.h"

#include <deque>
#include <stdexcept>

namespace diff_reference {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

struct Run {
  const Settings& settings;
  std::deque<std::string> source1, source2;
  Outcome out;
  int initial1 = 0, initial2 = 0, fill1 = 0, fill2 = 0;

  std::string LineAt(const std::deque<std::string>& source, int index) const {
    return index < static_cast<int>(source.size()) ? source[static_cast<size_t>(index)] : std::string();
  }

  bool LinesMatch(int index1, int index2, int depth) const {
    for (int k = 0; k <= depth; ++k)
      if (!SameLine(LineAt(source1, index1 + k), LineAt(source2, index2 + k), settings)) return false;
    return true;
  }

  bool Exhausted() const { return source1.empty() || source2.empty(); }

  static std::string Take(std::deque<std::string>& source) {
    std::string line = source.front();
    source.pop_front();
    return line;
  }

  void Progress() {
    const long long total = initial1 + initial2;
    const long long done = total - static_cast<long long>(source1.size() + source2.size());
    // Nearest integer to 100 * done / total; an exact half goes to the even side.
    long long below = 100 * done / total;
    long long excess = 2 * 100 * done - (2 * below + 1) * total;  // sign of (value - (below + 0.5))
    if (excess > 0 || (excess == 0 && below % 2 == 1)) ++below;
    out.progress.push_back(static_cast<int>(below));
  }

  void Block(int m, int n) {
    if (m <= 0 && n <= 0) throw std::logic_error("This should never happen");
    for (int i = 0; i < std::min(m, n); ++i) {
      out.result1.push_back(std::string(1, '\4') + Take(source1));
      out.result2.push_back(std::string(1, '\4') + Take(source2));
    }
    for (int i = n; i < m; ++i) {
      out.result1.push_back(std::string(1, '\2') + Take(source1));
      out.result2.push_back("\5 ");
      ++fill2;
    }
    for (int i = m; i < n; ++i) {
      out.result1.push_back("\5 ");
      ++fill1;
      out.result2.push_back(std::string(1, '\3') + Take(source2));
    }
  }

  void Step() {
    while (!Exhausted() && LinesMatch(0, 0, 0)) {
      out.result1.push_back(std::string(1, '\1') + Take(source1));
      out.result2.push_back(std::string(1, '\1') + Take(source2));
      Progress();
    }
    if (Exhausted()) return;
    const bool top =
        static_cast<int>(source1.size()) == initial1 && static_cast<int>(source2.size()) == initial2;
    const int depth = top ? 1 : settings.matchDepth;
    for (int y = 0;; ++y) {
      for (int x = 0; x <= y; ++x) {
        if (LinesMatch(x, y, depth)) return Block(x, y);
        if (x != y && LinesMatch(y, x, depth)) return Block(y, x);
      }
    }
  }
};

}  // namespace

bool SameLine(std::string a, std::string b, const Settings& settings) {
  for (std::string* s : {&a, &b}) {
    if (settings.options.Contains(fdoIgnoreCharacters) && settings.ignoreChars.any()) {
      std::string kept;
      for (char c : *s)
        if (!settings.ignoreChars.test(static_cast<unsigned char>(c))) kept += c;
      *s = kept;
    }
    const bool trailing = settings.options.Contains(fdoIgnoreTrailingWhiteSpace);
    const bool leading = settings.options.Contains(fdoIgnoreLeadingWhiteSpace);
    if (trailing)
      while (!s->empty() && IsBlank(s->back())) s->pop_back();
    if (leading)
      while (!s->empty() && IsBlank(s->front())) s->erase(0, 1);
    if (!settings.options.Contains(fdoCaseSensitive))
      for (char& c : *s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return a == b;
}

Outcome Diff(const std::vector<std::string>& text1, const std::vector<std::string>& text2,
             const Settings& settings) {
  Run run{settings, {text1.begin(), text1.end()}, {text2.begin(), text2.end()}, {}};
  run.initial1 = static_cast<int>(text1.size());
  run.initial2 = static_cast<int>(text2.size());
  while (!run.Exhausted()) run.Step();
  while (!run.source1.empty()) {
    run.out.result1.push_back(std::string(1, '\2') + Run::Take(run.source1));
    run.out.result2.push_back("\5 ");
  }
  while (!run.source2.empty()) {
    run.out.result1.push_back("\5 ");
    run.out.result2.push_back(std::string(1, '\3') + Run::Take(run.source2));
  }
  return run.out;
}

}  // namespace diff_reference
