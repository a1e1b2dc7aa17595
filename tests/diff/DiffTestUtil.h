#pragma once
// Small helpers shared by the engine's tests.

#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"

namespace diff_test {

/// "1 A" for a same line A, "5" for a filler: readable in failure messages.
inline std::string Render(const std::string& entry) {
  const uint8_t kind = DiffEntryKind(entry);
  const std::string_view text = DiffEntryText(entry);
  if (kind == dkFiller && text == " ") return "5";
  return std::to_string(kind) + " " + std::string(text);
}

inline std::vector<std::string> Render(const TStringList& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.Count(); ++i) rows.push_back(Render(list[i]));
  return rows;
}

inline std::vector<std::string> Render(const std::vector<std::string>& entries) {
  std::vector<std::string> rows;
  for (const auto& entry : entries) rows.push_back(Render(entry));
  return rows;
}

inline std::vector<std::string> Entries(const TStringList& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.Count(); ++i) rows.push_back(list[i]);
  return rows;
}

/// Lines joined so that the engine splits them back exactly (each line ends with LF).
inline std::string JoinLines(const std::vector<std::string>& lines, const char* lineEnd = "\n") {
  std::string text;
  for (const auto& line : lines) text += line + lineEnd;
  return text;
}

}  // namespace diff_test
