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

std::string ListSummary(const TFieldDifference& difference) {
  const std::vector<std::string> latest = KeywordListItems(difference.Latest);
  const std::vector<std::string> history = KeywordListItems(difference.History);
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

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

/// The lines of a plain text, their breaks (CR LF, CR or LF) left out.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

/// What the text's summary says when its words differ: texts whose lines
/// differ only in their blanks say so, which the difference does not show as words.
std::string TextWordsSummary(std::string_view latest, std::string_view history) {
  const std::vector<std::string_view> a = Lines(latest);
  const std::vector<std::string_view> b = Lines(history);
  if (a.size() != b.size()) return ": the words differ";
  bool atStart = false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    const TBlankDifference blanks = LineBlankDifference(a[i], b[i]);
    if (!blanks.Found) return ": the words differ";
    atStart = atStart || blanks.AtStart;
  }
  return atStart ? ": blanks at line starts or ends differ" : ": blanks at line ends differ";
}

}  // namespace

TBlankDifference LineBlankDifference(std::string_view line1, std::string_view line2, bool ignoreCase) {
  TBlankDifference result;
  auto trim = [](std::string_view line) {
    size_t begin = 0, end = line.size();
    while (begin < end && IsBlank(line[begin])) ++begin;
    while (end > begin && IsBlank(line[end - 1])) --end;
    return std::pair{begin, end};
  };
  const auto [begin1, end1] = trim(line1);
  const auto [begin2, end2] = trim(line2);
  const std::string_view core1 = line1.substr(begin1, end1 - begin1);
  const std::string_view core2 = line2.substr(begin2, end2 - begin2);
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const bool same = ignoreCase ? std::equal(core1.begin(), core1.end(), core2.begin(), core2.end(),
                                            [&](char x, char y) { return fold(x) == fold(y); })
                               : core1 == core2;
  if (!same || line1 == line2) return result;
  result.Found = true;
  result.AtStart = line1.substr(0, begin1) != line2.substr(0, begin2);
  if (result.AtStart) {
    if (begin1 > 0) result.Spans1.emplace_back(0, static_cast<int>(begin1));
    if (begin2 > 0) result.Spans2.emplace_back(0, static_cast<int>(begin2));
  }
  if (line1.substr(end1) != line2.substr(end2)) {
    if (end1 < line1.size())
      result.Spans1.emplace_back(static_cast<int>(end1), static_cast<int>(line1.size() - end1));
    if (end2 < line2.size())
      result.Spans2.emplace_back(static_cast<int>(end2), static_cast<int>(line2.size() - end2));
  }
  return result;
}

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
      difference.Summary = difference.Name + (difference.Latest == difference.History
                                                  ? std::string(": formatting only")
                                                  : TextWordsSummary(difference.Latest, difference.History));
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
