#pragma once
// A literal rendering of the line difference method, kept only to check
// the engine against: it normalises both lines at every candidate test
// and removes emitted lines from the front of its working lists.

#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"

namespace diff_reference {

struct Settings {
  TdvDiffOptions options;
  TdvCharSet ignoreChars;
  int matchDepth = 3;
};

struct Outcome {
  std::vector<std::string> result1;
  std::vector<std::string> result2;
  std::vector<int> progress;
};

/// Whether two lines compare equal under the settings (deletion, stripping, case).
bool SameLine(std::string a, std::string b, const Settings& settings);

Outcome Diff(const std::vector<std::string>& text1, const std::vector<std::string>& text2,
             const Settings& settings);

}  // namespace diff_reference
