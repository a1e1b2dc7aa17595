#include "compare/FieldDifferences.h"

#include <algorithm>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"

namespace {

// The file's strings are Windows-1252 bytes.
constexpr int kFileCodePage = 1252;
// A value longer than this is cut in a summary, which must stay one line.
constexpr size_t kSummaryValueChars = 40;

const char* const kArrow = " \xE2\x86\x92 ";   // →
const char* const kMinus = "\xE2\x88\x92";     // −
const char* const kEllipsis = "\xE2\x80\xA6";  // …

/// At most kSummaryValueChars characters of a UTF-8 value, cut between characters.
std::string Shortened(const std::string& value) {
  if (value.empty()) return "(none)";
  size_t chars = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
    if (chars++ == kSummaryValueChars) return value.substr(0, i) + kEllipsis;
  }
  return value;
}

/// The items of a keyword list: separated by semicolons, blanks around them
/// ignored, empty items dropped.
std::vector<std::string> ListItems(const std::string& value) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    size_t first = start, last = end;
    while (first < last && (value[first] == ' ' || value[first] == '\t')) ++first;
    while (last > first && (value[last - 1] == ' ' || value[last - 1] == '\t')) --last;
    if (last > first) items.push_back(value.substr(first, last - first));
    start = end + 1;
  }
  return items;
}

std::string ListSummary(const TFieldDifference& difference) {
  const std::vector<std::string> latest = ListItems(difference.Latest);
  const std::vector<std::string> history = ListItems(difference.History);
  std::string changes;
  const auto add = [&changes](const char* sign, const std::string& item) {
    if (!changes.empty()) changes += ' ';
    changes += sign;
    changes += item;
  };
  for (const std::string& item : latest)
    if (std::find(history.begin(), history.end(), item) == history.end()) add("+", item);
  for (const std::string& item : history)
    if (std::find(latest.begin(), latest.end(), item) == latest.end()) add(kMinus, item);
  // The same items differently ordered or spaced.
  if (changes.empty()) changes = "order or spacing";
  return difference.Name + ": " + changes;
}

}  // namespace

std::vector<TFieldDifference> TopicFieldDifferences(
    const TQCTopic& latest, const TQCTopic& history, const TCodePageDecoder& decode,
    const std::function<std::string(const TQCTopic&)>& plainText) {
  std::vector<TFieldDifference> differences;
  for (const TTopicField& field : TopicFields()) {
    if (field.Equal(latest, history)) continue;
    TFieldDifference difference;
    difference.Name = std::string(field.Name);
    if (field.Kind == TFieldKind::Text || field.Value == nullptr) {
      difference.Latest = plainText(latest);
      difference.History = plainText(history);
      difference.Summary = difference.Name + (difference.Latest == difference.History ? ": formatting only"
                                                                                      : ": the words differ");
    } else {
      difference.Latest = field.Value(latest);
      difference.History = field.Value(history);
      if (field.Bytes && decode) {
        difference.Latest = decode(difference.Latest, kFileCodePage);
        difference.History = decode(difference.History, kFileCodePage);
      }
      // Told as the change from History to Latest, as every change is.
      difference.Summary = field.Kind == TFieldKind::List
                               ? ListSummary(difference)
                               : difference.Name + ": " + Shortened(difference.History) + kArrow +
                                     Shortened(difference.Latest);
    }
    differences.push_back(std::move(difference));
  }
  return differences;
}

std::string JoinSummaries(const std::vector<TFieldDifference>& differences) {
  std::string text;
  for (const TFieldDifference& difference : differences) {
    if (!text.empty()) text += "; ";
    text += difference.Summary;
  }
  return text;
}
