#pragma once
// What sets two topics of a pair apart, field by field, as text for the
// window's differences strip and tooltips: the values of each differing
// field in UTF-8 and a short summary of the change.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "richtext/RtfPlainText.h"

class TQCTopic;

/// One field in which the Latest and the History topic of a pair differ.
/// The values are UTF-8 as the window shows them; for the text they are the
/// plain texts the line difference compares.
struct TFieldDifference {
  std::string Name;
  std::string Latest;
  std::string History;
  /// One line, told as the change from History to Latest: "Status:
  /// Writing → Done" when History has Writing and Latest Done. A keyword
  /// list names what Latest added (+) and what it no longer has (−):
  /// "Keywords: +export −save". The text says whether its words or only its
  /// formatting differ.
  std::string Summary;
};

/// Where two lines differ only in blanks (bytes 0..32): the blanks at
/// each line's start and end, as {begin, length} spans of each line; none
/// when the lines differ otherwise or not at all. Ignoring case, words
/// differing in ASCII case alone count as the same.
struct TBlankDifference {
  bool Found = false;
  bool AtStart = false;  // the blanks before the first word differ
  std::vector<std::pair<int, int>> Spans1, Spans2;
};
TBlankDifference LineBlankDifference(std::string_view line1, std::string_view line2, bool ignoreCase = false);

/// The differences of Latest against History, in field table order (empty
/// exactly when the topics are equal). Decode reads the file's bytes
/// (Windows-1252); PlainText gives a topic's compared plain text.
std::vector<TFieldDifference> TopicFieldDifferences(
    const TQCTopic& latest, const TQCTopic& history, const TCodePageDecoder& decode,
    const std::function<std::string(const TQCTopic&)>& plainText);

/// The summaries joined by "; ".
std::string JoinSummaries(const std::vector<TFieldDifference>& differences);
