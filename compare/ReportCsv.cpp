// The CSV report (RFC 4180): a header row, then one row per listed topic,
// lines ended by CR LF, UTF-8 without a byte order mark.
#include "compare/ReportWriter.h"
#include "document/QuillcrafterDoc.h"

namespace report {

namespace {

void Id(TOutput& out, const TQCTopic* topic) {
  if (topic != nullptr) out << static_cast<int64_t>(topic->TopicID());
}

}  // namespace

void WriteCsv(TTopicSource& source, TOutput& out) {
  out << "class,latest_id,history_id,title,differing_fields,lines_added,lines_removed\r\n";
  TTopic topic;
  TTopicComparison cls = tcIdentical;
  std::string fields;
  for (int i = 0; i < source.EntryCount(); ++i) {
    if (!source.Listed(i, cls)) continue;
    source.Load(i, TDetail::Counts, topic);
    out << ClassInfo(topic.Class).Key << ',';
    Id(out, topic.Latest);
    out << ',';
    Id(out, topic.History);
    out << ',';
    AppendCsv(out.Buffer(), topic.Title);
    // Field names have no blanks or commas; a semicolon keeps the list one field.
    fields.clear();
    for (const std::string& name : topic.FieldNames) {
      if (!fields.empty()) fields += ';';
      fields += name;
    }
    out << ',';
    AppendCsv(out.Buffer(), fields);
    out << ',' << topic.LinesAdded << ',' << topic.LinesRemoved << "\r\n";
    source.Progress();
  }
  // Data not yet saved is told in a last row of its own, so that the rows
  // above keep their meaning for whatever reads them.
  const THeader& header = source.Header();
  if (header.LatestUnsaved || header.HistoryUnsaved) {
    const char* sides = header.LatestUnsaved && header.HistoryUnsaved ? "Latest and History include"
                        : header.LatestUnsaved                        ? "Latest includes"
                                                                      : "History includes";
    out << "note,,,";
    AppendCsv(out.Buffer(), std::string(sides) + " unsaved changes");
    out << ",,,\r\n";
  }
}

}  // namespace report
