#pragma once
// What the three report formats share: the buffered output, the escaping of
// text from the files, and the topics worked out one at a time. Internal to
// the report writer (compare/Report*.cpp).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compare/ComparisonSession.h"
#include "compare/Report.h"
#include "diff/dvDiffEngine.h"
#include "diff/dvDiffResult.h"

namespace report {

/// Collects bytes and hands them to the sink in pieces of about Chunk bytes.
class TOutput {
 public:
  explicit TOutput(const TReportSink& sink) : FSink(sink) { FBuffer.reserve(kChunk + 4096); }
  TOutput(const TOutput&) = delete;
  TOutput& operator=(const TOutput&) = delete;

  TOutput& operator<<(std::string_view bytes) {
    FBuffer.append(bytes);
    if (FBuffer.size() >= kChunk) Flush();
    return *this;
  }
  TOutput& operator<<(char c) {
    FBuffer.push_back(c);
    return *this;
  }
  TOutput& operator<<(int64_t value);
  TOutput& operator<<(int value) { return *this << static_cast<int64_t>(value); }
  /// The buffer itself, for the escaping helpers; call Flush now and then.
  std::string& Buffer() { return FBuffer; }
  void MaybeFlush() {
    if (FBuffer.size() >= kChunk) Flush();
  }
  void Flush();

 private:
  static constexpr size_t kChunk = 64 * 1024;
  const TReportSink& FSink;
  std::string FBuffer;
};

// --- Text from the files ---------------------------------------------------------------
// Each reads Bytes as UTF-8: a byte that starts no valid sequence (or an
// overlong, surrogate or out-of-range one) becomes U+FFFD.

/// Text content and attribute values: & < > " ' as references; a control
/// character other than tab and line feed as its symbol (U+2400 + code,
/// U+2421 for DEL), so that a CR or a NUL stays visible.
void AppendHtml(std::string& out, std::string_view bytes);
/// The contents of a JSON string (without the quotes); control characters
/// escaped, NUL as \u0000.
void AppendJson(std::string& out, std::string_view bytes);
/// A CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF,
/// quotes doubled; NUL as U+2400 (what reads CSV seldom takes a NUL).
void AppendCsv(std::string& out, std::string_view bytes);
/// Number of code points Bytes has once read as AppendJson reads it: what
/// a span's start and length are counted in.
int32_t CodePointCount(std::string_view bytes);

/// A time as ISO 8601 in UTC, "2026-12-09T15:41:07Z".
std::string IsoTime(std::time_t time);

// --- The report's content ------------------------------------------------------------

/// What stands above the topics.
struct THeader {
  std::string LatestFile;  // as the session has the names (file-system bytes)
  std::string HistoryFile;
  std::string LatestModified;  // ISO 8601, or empty when the file has no date
  std::string HistoryModified;
  /// The side holds changes its file does not have yet: its date would mislead.
  bool LatestUnsaved = false;
  bool HistoryUnsaved = false;
  std::string Generated;
  std::string MatchMode;  // "id", "title" or "id-or-title"
  TTopicCounters Counters;
  int LatestTopics = 0;
  int HistoryTopics = 0;
  int Listed = 0;  // entries in the listed classes
};

/// One row of a topic's aligned difference.
struct TRow {
  const TdvDiffRow* Row = nullptr;
  /// What changed in the formatting of a line both sides share; empty when nothing.
  std::string FormatNote;
};

/// One topic, as far as the format asked for.
struct TTopic {
  int Entry = -1;
  TTopicComparison Class = tcNew;
  const TQCTopic* Latest = nullptr;
  const TQCTopic* History = nullptr;
  std::string Title;  // UTF-8 (not yet escaped)
  std::vector<std::string> FieldNames;
  std::vector<TFieldDifference> Fields;  // with their values, when asked for
  std::vector<TRow> Rows;                // valid until the next topic is loaded
  int LinesAdded = 0;                    // lines only Latest has, or changed there
  int LinesRemoved = 0;                  // lines only History has, or changed there
};

/// What a format needs of a topic beyond class, IDs, title and field names.
enum class TDetail : uint8_t {
  Names,   // nothing more (the HTML table)
  Counts,  // the lines added and removed (CSV)
  Full,    // field values, rows with spans and formatting notes (HTML details, JSON)
};

/// The listed entries of a session, worked out one at a time with one
/// difference engine that every topic reuses.
class TTopicSource {
 public:
  TTopicSource(TComparisonSession& session, const TReportOptions& options);
  ~TTopicSource();
  TTopicSource(const TTopicSource&) = delete;
  TTopicSource& operator=(const TTopicSource&) = delete;

  const THeader& Header() const { return FHeader; }
  const TReportOptions& Options() const { return FOptions; }
  int EntryCount() const { return FSession.EntryCount(); }
  /// Whether entry Index is in the listed classes; its class then goes to Class.
  bool Listed(int index, TTopicComparison& cls) const;
  /// Entry Index into Topic, as far as Detail asks.
  void Load(int index, TDetail detail, TTopic& topic);
  /// Tells the options' progress handler that one more topic is written.
  void Progress();

 private:
  const TComparisonSession& FSession;
  const TReportOptions& FOptions;
  THeader FHeader;
  const TdvDiffEngine& FEngine;  // the session's, for its options alone
  TdvDiffResult FDiff;           // of the topic loaded last; its rows are the topic's
  std::string FText1, FText2;
  int FDone = 0;
};

/// The three formats.
void WriteHtml(TTopicSource& source, TOutput& out);
void WriteCsv(TTopicSource& source, TOutput& out);
void WriteJson(TTopicSource& source, TOutput& out);

/// Kind of a row as the reports name it: "same", "changed", "added" (only
/// in Latest), "removed" (only in History).
const char* RowKindName(const TdvDiffRow& row);

}  // namespace report
