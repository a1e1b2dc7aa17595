#pragma once
// Reports of a comparison for people who do not run the program and for
// build pipelines: a self-contained HTML page, CSV with one row per topic,
// and one JSON object (its schema is docs/report.schema.json). Every format
// lists the session's entries as the window shows them: class, IDs, title,
// differing fields, and for a topic that is not identical its aligned line
// difference with the changed words and notes on formatting changes.
//
// The output is streamed: topics are worked out one at a time and written
// through a small buffer, so memory does not grow with the number of topics
// beyond the documents themselves. Everything taken from the files comes
// out as valid UTF-8 (an invalid byte becomes U+FFFD), escaped for the
// format; a NUL shows as U+2400 where the format cannot carry it.
// Qt-free.

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/TopicComparison.h"
#include "richtext/RtfPlainText.h"

class TComparisonSession;

enum class TReportFormat : uint8_t { Html, Csv, Json };

/// "html", "csv" or "json"; nothing for any other name.
std::optional<TReportFormat> ReportFormatFromName(std::string_view name);

/// A set of comparison classes: bit N stands for TTopicComparison N.
class TReportClasses {
 public:
  static constexpr TReportClasses All() { return TReportClasses((1u << TopicComparisonCount) - 1); }
  static constexpr TReportClasses None() { return TReportClasses(0); }
  constexpr bool Contains(TTopicComparison value) const { return (FBits >> value & 1u) != 0; }
  constexpr void Include(TTopicComparison value) { FBits |= 1u << value; }
  constexpr void Exclude(TTopicComparison value) { FBits &= ~(1u << value); }
  constexpr bool Empty() const { return FBits == 0; }
  friend constexpr bool operator==(TReportClasses, TReportClasses) = default;

 private:
  constexpr explicit TReportClasses(unsigned bits) : FBits(bits) {}
  unsigned FBits = 0;
};

/// A comma-separated list of class keys ("different,new"; ClassInfo's Key);
/// nothing when a name is unknown or the list is empty (then BadName, when given, is the
/// offending name).
std::optional<TReportClasses> ParseReportClasses(std::string_view list, std::string* badName = nullptr);

struct TReportOptions {
  /// How Latest topics find their History partners.
  TTopicMatchMode MatchMode = TTopicMatchMode::tmByID;
  /// Whether the topics only in History are listed (and counted).
  bool IncludeDeleted = false;
  /// The classes listed; the counts always cover the whole comparison.
  TReportClasses Classes = TReportClasses::All();
  /// Reads the files' bytes (titles, field values) as the window does.
  TCodePageDecoder Decode;
  /// The report's time stamp (seconds since 1970, UTC); nothing: now, or
  /// SOURCE_DATE_EPOCH when that is set, so that a build can repeat a report byte for byte.
  std::optional<std::time_t> GeneratedAt;
  /// A further test of each entry (by its index in the session), such as
  /// the window's search; empty: every entry of the listed classes.
  std::function<bool(int entry)> Entries;
  /// What that test is, for the page's header ("matching the search ..."), UTF-8.
  std::string EntriesNote;
  /// Told after every listed topic how many of them are written, and of how many.
  std::function<void(int done, int total)> OnProgress;
};

/// Takes the report's bytes in pieces of a few dozen kilobytes; a failure
/// is raised from here and ends the report.
using TReportSink = std::function<void(std::string_view bytes)>;

/// Writes the report of Session in Format to Sink. The session is first
/// brought to the options' match mode, and shows the topics only in History
/// when the options include them (for the window's own settings nothing
/// changes). The entries are those of the session, in its order.
void WriteReport(TComparisonSession& session, TReportFormat format, const TReportOptions& options,
                 const TReportSink& sink);

/// Whether the comparison finds any difference: a topic that is not
/// identical, or, when the options include them, a topic only in History.
/// What `--exit-code` answers (all topics, whatever the listed classes).
bool ReportFindsDifferences(const TComparisonSession& session, const TReportOptions& options);
