// The JSON report: one object, described by docs/report.schema.json. Texts
// are the strings JSON carries (UTF-8); a span's start and length count
// the code points of its row's text, as a program that reads the report
// indexes its strings.
#include "compare/ReportWriter.h"
#include "document/QuillcrafterDoc.h"

namespace report {

namespace {

void String(TOutput& out, std::string_view bytes) {
  out << '"';
  AppendJson(out.Buffer(), bytes);
  out << '"';
  out.MaybeFlush();
}

void Id(TOutput& out, const TQCTopic* topic) {
  if (topic != nullptr)
    out << static_cast<int64_t>(topic->TopicID());
  else
    out << "null";
}

void File(TOutput& out, const std::string& name, const std::string& modified, int topics) {
  out << "{\"file\":";
  String(out, name);
  out << ",\"modified\":";
  if (modified.empty())
    out << "null";
  else
    String(out, modified);
  out << ",\"topics\":" << topics << '}';
}

void Spans(TOutput& out, const char* key, std::string_view text, const std::vector<TdvSpan>& spans) {
  if (spans.empty()) return;
  out << ",\"" << key << "\":[";
  size_t at = 0;
  int32_t points = 0;
  bool first = true;
  for (const TdvSpan& span : spans) {
    const auto start = static_cast<size_t>(span.Start);
    const auto end = start + static_cast<size_t>(span.Length);
    if (start < at || end > text.size()) continue;
    points += CodePointCount(text.substr(at, start - at));
    const int32_t length = CodePointCount(text.substr(start, end - start));
    out << (first ? "" : ",") << '[' << points << ',' << length << ']';
    points += length;
    at = end;
    first = false;
  }
  out << ']';
}

void Side(TOutput& out, const char* lineKey, const char* textKey, int32_t line, std::string_view text) {
  out << ",\"" << lineKey << "\":";
  if (line < 0) {
    out << "null,\"" << textKey << "\":null";
    return;
  }
  out << static_cast<int64_t>(line) + 1 << ",\"" << textKey << "\":";
  String(out, text);
}

void Topic(TOutput& out, const TTopic& topic) {
  out << "{\"class\":\"" << ClassInfo(topic.Class).Key << "\",\"latestId\":";
  Id(out, topic.Latest);
  out << ",\"historyId\":";
  Id(out, topic.History);
  out << ",\"title\":";
  String(out, topic.Title);
  out << ",\"linesAdded\":" << topic.LinesAdded << ",\"linesRemoved\":" << topic.LinesRemoved
      << ",\"fields\":[";
  for (size_t i = 0; i < topic.Fields.size(); ++i) {
    const TFieldDifference& field = topic.Fields[i];
    out << (i > 0 ? ",\n" : "\n") << "{\"name\":";
    String(out, field.Name);
    out << ",\"latest\":";
    String(out, field.Latest);
    out << ",\"history\":";
    String(out, field.History);
    out << ",\"summary\":";
    String(out, field.Summary);
    out << '}';
  }
  out << "],\"rows\":[";
  for (size_t i = 0; i < topic.Rows.size(); ++i) {
    const TdvDiffRow& row = *topic.Rows[i].Row;
    out << (i > 0 ? ",\n" : "\n") << "{\"kind\":\"" << RowKindName(row) << '"';
    Side(out, "latestLine", "latest", row.Line1, row.Text1);
    Side(out, "historyLine", "history", row.Line2, row.Text2);
    Spans(out, "latestSpans", row.Text1, row.Spans1);
    Spans(out, "historySpans", row.Text2, row.Spans2);
    if (!topic.Rows[i].FormatNote.empty()) {
      out << ",\"formatting\":";
      String(out, topic.Rows[i].FormatNote);
    }
    out << '}';
  }
  out << "]}";
}

}  // namespace

void WriteJson(TTopicSource& source, TOutput& out) {
  const THeader& header = source.Header();
  const TReportOptions& options = source.Options();
  out << "{\"report\":\"topic-comparison\",\"version\":1,\"generated\":\"" << header.Generated
      << "\",\n\"latest\":";
  File(out, header.LatestFile, header.LatestModified, header.LatestTopics);
  out << ",\n\"history\":";
  File(out, header.HistoryFile, header.HistoryModified, header.HistoryTopics);
  out << ",\n\"match\":\"" << header.MatchMode
      << "\",\"includeDeleted\":" << (options.IncludeDeleted ? "true" : "false") << ",\"classes\":[";
  bool first = true;
  for (int i = 0; i < TopicComparisonCount; ++i) {
    const auto cls = static_cast<TTopicComparison>(i);
    if (!options.Classes.Contains(cls) || (cls == tcDeleted && !options.IncludeDeleted)) continue;
    out << (first ? "\"" : ",\"") << ClassInfo(cls).Key << '"';
    first = false;
  }
  out << "],\n\"counts\":{";
  for (int i = 0; i < TopicComparisonCount; ++i)
    out << (i > 0 ? ",\"" : "\"") << TopicClassTable[static_cast<size_t>(i)].Key
        << "\":" << header.Counters.Counts[static_cast<size_t>(i)];
  out << "},\"listed\":" << header.Listed << ",\n\"topics\":[";
  TTopic topic;
  TTopicComparison cls = tcIdentical;
  first = true;
  for (int i = 0; i < source.EntryCount(); ++i) {
    if (!source.Listed(i, cls)) continue;
    source.Load(i, TDetail::Full, topic);
    out << (first ? "\n" : ",\n");
    Topic(out, topic);
    first = false;
    source.Progress();
  }
  out << "\n]}\n";
}

}  // namespace report
