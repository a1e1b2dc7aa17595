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

enum class TValueKind : uint8_t { Scalar, List, Text };

/// How a field of the table reads as text; the table itself only compares.
struct TFieldText {
  std::string_view Name;
  TValueKind Kind;
  /// The raw value: file bytes, or a number or flag already as ASCII.
  std::string (*Raw)(const TQCTopic& topic);
  bool Bytes;  // Raw gives file bytes that need decoding
};

const TFieldText kFieldTexts[] = {
    {"TopicID", TValueKind::Scalar, [](const TQCTopic& t) { return std::to_string(t.TopicID()); }, false},
    {"ContextString", TValueKind::Scalar, [](const TQCTopic& t) { return t.ContextString(); }, true},
    {"Title", TValueKind::Scalar, [](const TQCTopic& t) { return t.Title(); }, true},
    {"Keywords", TValueKind::List, [](const TQCTopic& t) { return t.Keywords(); }, true},
    {"DelphiKeywords", TValueKind::List, [](const TQCTopic& t) { return t.DelphiKeywords(); }, true},
    {"BuildTag", TValueKind::Scalar, [](const TQCTopic& t) { return t.BuildTag(); }, true},
    {"BrowseSequence", TValueKind::Scalar, [](const TQCTopic& t) { return t.BrowseSequence(); }, true},
    {"BrowseSequenceNum", TValueKind::Scalar,
     [](const TQCTopic& t) { return std::to_string(t.BrowseSequenceNum()); }, false},
    {"Status", TValueKind::Scalar, [](const TQCTopic& t) { return t.Status(); }, true},
    {"Window", TValueKind::Scalar, [](const TQCTopic& t) { return t.Window(); }, true},
    {"EntryMacro", TValueKind::Scalar, [](const TQCTopic& t) { return t.EntryMacro(); }, true},
    {"AKeywords", TValueKind::List, [](const TQCTopic& t) { return t.AKeywords(); }, true},
    {"Bookmark", TValueKind::Scalar,
     [](const TQCTopic& t) { return std::string(t.Bookmark() ? "yes" : "no"); }, false},
    {"Text", TValueKind::Text, nullptr, false},
};

const TFieldText* FindFieldText(std::string_view name) {
  for (const TFieldText& field : kFieldTexts)
    if (field.Name == name) return &field;
  return nullptr;
}

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
  for (const std::string& name : DifferingFields(latest, history)) {
    TFieldDifference difference;
    difference.Name = name;
    const TFieldText* field = FindFieldText(name);
    if (field == nullptr) {
      // A field this table does not know yet still shows that it differs.
      difference.Summary = name + ": differs";
    } else if (field->Kind == TValueKind::Text) {
      difference.Latest = plainText(latest);
      difference.History = plainText(history);
      difference.Summary =
          name + (difference.Latest == difference.History ? ": formatting only" : ": the words differ");
    } else {
      difference.Latest = field->Raw(latest);
      difference.History = field->Raw(history);
      if (field->Bytes && decode) {
        difference.Latest = decode(difference.Latest, kFileCodePage);
        difference.History = decode(difference.History, kFileCodePage);
      }
      difference.Summary = field->Kind == TValueKind::List ? ListSummary(difference)
                                                           : name + ": " + Shortened(difference.Latest) +
                                                                 kArrow + Shortened(difference.History);
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
