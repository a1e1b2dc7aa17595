#include "compare/Report.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdlib>

#include "compare/ReportWriter.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "richtext/RtfFormatRuns.h"
#include "toolkit/Unicode.h"

std::optional<TReportFormat> ReportFormatFromName(std::string_view name) {
  if (name == "html") return TReportFormat::Html;
  if (name == "csv") return TReportFormat::Csv;
  if (name == "json") return TReportFormat::Json;
  return std::nullopt;
}

std::optional<TReportClasses> ParseReportClasses(std::string_view list, std::string* badName) {
  TReportClasses classes = TReportClasses::None();
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view name = list.substr(start, end - start);
    const TTopicClassInfo* found = nullptr;
    for (const TTopicClassInfo& info : TopicClassTable)
      if (name == info.Key) found = &info;
    if (found == nullptr) {
      if (badName != nullptr) *badName = std::string(name);
      return std::nullopt;
    }
    classes.Include(found->Class);
    start = end + 1;
  }
  return classes;
}

namespace {

// The file's strings are Windows-1252 bytes.
constexpr int kFileCodePage = 1252;

/// The session as the options want it; nothing changes where they agree.
void PrepareSession(TComparisonSession& session, const TReportOptions& options) {
  if (session.MatchMode() != options.MatchMode) session.SetMatchMode(options.MatchMode);
  if (options.IncludeDeleted && !session.ShowDeleted()) session.SetShowDeleted(true);
}

std::string FileModified(const std::string& fileName) {
  struct stat info;
  if (fileName.empty() || ::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  return report::IsoTime(info.st_mtime);
}

std::time_t GeneratedTime(const TReportOptions& options) {
  if (options.GeneratedAt) return *options.GeneratedAt;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    long long value = 0;
    const char* end = epoch + std::char_traits<char>::length(epoch);
    const auto [at, error] = std::from_chars(epoch, end, value);
    if (error == std::errc() && at == end && value >= 0) return static_cast<std::time_t>(value);
  }
  return std::time(nullptr);
}

}  // namespace

void WriteReport(TComparisonSession& session, TReportFormat format, const TReportOptions& options,
                 const TReportSink& sink) {
  PrepareSession(session, options);
  report::TTopicSource source(session, options);
  report::TOutput out(sink);
  switch (format) {
    case TReportFormat::Html:
      report::WriteHtml(source, out);
      break;
    case TReportFormat::Csv:
      report::WriteCsv(source, out);
      break;
    case TReportFormat::Json:
      report::WriteJson(source, out);
      break;
  }
  out.Flush();
}

bool ReportFindsDifferences(const TComparisonSession& session, const TReportOptions& options) {
  const TTopicCounters& counters = session.Counters();
  return counters.DifferentCount() > 0 || counters.IdenticalTextCount() > 0 || counters.NewCount() > 0 ||
         (options.IncludeDeleted && counters.DeletedCount() > 0);
}

namespace report {

TOutput& TOutput::operator<<(int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  FBuffer.append(digits, result.ptr);
  return *this;
}

void TOutput::Flush() {
  if (FBuffer.empty()) return;
  FSink(FBuffer);
  FBuffer.clear();
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

/// Calls Ascii(c) for each ASCII byte and Other(sequence) for every other
/// character, a byte that starts no valid sequence given as U+FFFD.
template <class A, class O>
void ForEachCharacter(std::string_view bytes, A&& ascii, O&& other) {
  for (size_t i = 0; i < bytes.size();) {
    const char c = bytes[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      ascii(c);
      ++i;
      continue;
    }
    const size_t length = unicode::SequenceLength(bytes, i);
    if (length == 0) {
      other(kReplacement);
      ++i;
    } else {
      other(bytes.substr(i, length));
      i += length;
    }
  }
}

/// The symbol of a control character (U+2400 + code; U+2421 for DEL).
void AppendControlSymbol(std::string& out, char c) {
  const unsigned code = c == 0x7F ? 0x21u : static_cast<unsigned char>(c);
  unicode::AppendUtf8(out, static_cast<char32_t>(0x2400 + code));
}

}  // namespace

void AppendHtml(std::string& out, std::string_view bytes) {
  ForEachCharacter(
      bytes,
      [&out](char c) {
        switch (c) {
          case '&':
            out += "&amp;";
            break;
          case '<':
            out += "&lt;";
            break;
          case '>':
            out += "&gt;";
            break;
          case '"':
            out += "&quot;";
            break;
          case '\'':
            out += "&#39;";
            break;
          case '\t':
          case '\n':
            out += c;
            break;
          default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
              AppendControlSymbol(out, c);
            else
              out += c;
        }
      },
      [&out](std::string_view sequence) {
        // C1 controls (Windows-1252's unassigned bytes arrive as those) and
        // noncharacters are errors in a page: they show as U+FFFD.
        const auto byte = [&sequence](size_t i) { return static_cast<unsigned char>(sequence[i]); };
        const bool c1 = sequence.size() == 2 && byte(0) == 0xC2 && byte(1) < 0xA0;
        const bool nonCharacter =
            sequence.size() == 3 && byte(0) == 0xEF &&
            ((byte(1) == 0xBF && byte(2) >= 0xBE) || (byte(1) == 0xB7 && byte(2) >= 0x90 && byte(2) <= 0xAF));
        out += c1 || nonCharacter ? kReplacement : sequence;
      });
}

void AppendJson(std::string& out, std::string_view bytes) {
  ForEachCharacter(
      bytes,
      [&out](char c) {
        switch (c) {
          case '"':
            out += "\\\"";
            break;
          case '\\':
            out += "\\\\";
            break;
          case '\n':
            out += "\\n";
            break;
          case '\r':
            out += "\\r";
            break;
          case '\t':
            out += "\\t";
            break;
          default:
            if (static_cast<unsigned char>(c) < 0x20) {
              static const char kHex[] = "0123456789abcdef";
              out += "\\u00";
              out += kHex[(c >> 4) & 0xF];
              out += kHex[c & 0xF];
            } else {
              out += c;
            }
        }
      },
      [&out](std::string_view sequence) { out += sequence; });
}

void AppendCsv(std::string& out, std::string_view bytes) {
  const bool quoted = bytes.find_first_of(std::string_view(",\"\r\n", 4)) != std::string_view::npos;
  if (quoted) out += '"';
  ForEachCharacter(
      bytes,
      [&out](char c) {
        if (c == '"')
          out += "\"\"";
        else if (c == '\0')
          AppendControlSymbol(out, c);
        else
          out += c;
      },
      [&out](std::string_view sequence) { out += sequence; });
  if (quoted) out += '"';
}

int32_t CodePointCount(std::string_view bytes) {
  int32_t count = 0;
  ForEachCharacter(
      bytes, [&count](char) { ++count; }, [&count](std::string_view) { ++count; });
  return count;
}

std::string IsoTime(std::time_t time) {
  std::tm parts{};
  if (gmtime_r(&time, &parts) == nullptr) return {};
  char text[32];
  const size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return std::string(text, length);
}

const char* RowKindName(const TdvDiffRow& row) {
  if (row.Kind1 == dkSame && row.Kind2 == dkSame) return "same";
  if (row.Kind1 == dkChanged && row.Kind2 == dkChanged) return "changed";
  if (row.Line1 >= 0 && row.Line2 < 0) return "added";
  if (row.Line2 >= 0 && row.Line1 < 0) return "removed";
  return "changed";
}

// --- The topics ------------------------------------------------------------------------

TTopicSource::TTopicSource(TComparisonSession& session, const TReportOptions& options)
    : FSession(session), FOptions(options), FEngine(session.DiffEngine()) {
  FHeader.LatestFile = session.LatestFileName();
  FHeader.HistoryFile = session.HistoryFileName();
  FHeader.LatestModified = FileModified(FHeader.LatestFile);
  FHeader.HistoryModified = FileModified(FHeader.HistoryFile);
  FHeader.LatestUnsaved = session.Latest().Modified();
  FHeader.HistoryUnsaved = session.History().Modified();
  FHeader.Generated = IsoTime(GeneratedTime(options));
  FHeader.MatchMode = MatchModeInfo(session.MatchMode()).Token;
  FHeader.Counters = session.Counters();
  if (!options.IncludeDeleted) FHeader.Counters.Counts[tcDeleted] = 0;
  FHeader.LatestTopics = session.Latest().Topics().Count();
  FHeader.HistoryTopics = session.History().Topics().Count();
  if (options.Entries) {
    TTopicComparison cls = tcIdentical;
    for (int i = 0; i < session.EntryCount(); ++i) FHeader.Listed += Listed(i, cls) ? 1 : 0;
    return;
  }
  for (int i = 0; i < TopicComparisonCount; ++i)
    if (options.Classes.Contains(static_cast<TTopicComparison>(i)))
      FHeader.Listed += FHeader.Counters.Counts[static_cast<size_t>(i)];
}

TTopicSource::~TTopicSource() = default;

bool TTopicSource::Listed(int index, TTopicComparison& cls) const {
  cls = FSession.EntryClass(index);
  if (cls == tcDeleted && !FOptions.IncludeDeleted) return false;
  return FOptions.Classes.Contains(cls) && (!FOptions.Entries || FOptions.Entries(index));
}

void TTopicSource::Progress() {
  ++FDone;
  if (FOptions.OnProgress) FOptions.OnProgress(FDone, FHeader.Listed);
}

void TTopicSource::Load(int index, TDetail detail, TTopic& topic) {
  const TComparisonEntry entry = FSession.Entry(index);
  topic.Entry = index;
  topic.Class = entry.Class;
  topic.Latest = entry.Latest;
  topic.History = entry.History;
  topic.FieldNames.clear();
  topic.Fields.clear();
  topic.Rows.clear();
  topic.LinesAdded = topic.LinesRemoved = 0;
  const TQCTopic* named = entry.Latest != nullptr ? entry.Latest : entry.History;
  topic.Title.clear();
  if (named == nullptr) return;
  const std::string_view title = named->DisplayNameView();
  topic.Title = FOptions.Decode ? FOptions.Decode(title, kFileCodePage) : std::string(title);
  const bool paired = entry.Latest != nullptr && entry.History != nullptr;
  if (paired && entry.Class != tcIdentical) topic.FieldNames = DifferingFields(*entry.Latest, *entry.History);
  if (detail == TDetail::Names || entry.Class == tcIdentical) return;

  // The texts are compared where they differ (and a topic on one side
  // stands against nothing); identical text has no rows.
  const bool texts = entry.Class != tcIdenticalText;
  if (texts) {
    FText1 = FSession.PlainTextOf(entry.Latest);
    FText2 = FSession.PlainTextOf(entry.History);
  }
  if (detail == TDetail::Full && paired) {
    topic.Fields = TopicFieldDifferences(
        *entry.Latest, *entry.History, FOptions.Decode,
        [this, &entry](const TQCTopic& side) { return &side == entry.Latest ? FText1 : FText2; });
  }
  if (!texts) return;

  // The same line difference the window shows for a pair, without touching
  // what the window shows.
  FDiff = FEngine.Compare(FText1, FText2, detail == TDetail::Full);
  const std::vector<TdvDiffRow>& rows = FDiff.Rows;
  if (detail == TDetail::Full) topic.Rows.reserve(rows.size());
  for (const TdvDiffRow& row : rows) {
    if (row.Line1 >= 0 && row.Kind1 != dkSame) ++topic.LinesAdded;
    if (row.Line2 >= 0 && row.Kind2 != dkSame) ++topic.LinesRemoved;
    if (detail == TDetail::Full) topic.Rows.push_back({&row, {}});
  }
  if (detail != TDetail::Full || !paired || !FOptions.Decode) return;

  // Lines both sides share may still look different: a word made bold, a
  // font swapped. Only where the formatted lines are the lines compared.
  const std::vector<TFormattedLine> lines1 = RtfToFormattedLines(entry.Latest->WholeText(), FOptions.Decode);
  const std::vector<TFormattedLine> lines2 = RtfToFormattedLines(entry.History->WholeText(), FOptions.Decode);
  if (static_cast<int>(lines1.size()) != FDiff.LineCount1() ||
      static_cast<int>(lines2.size()) != FDiff.LineCount2())
    return;
  for (TRow& row : topic.Rows) {
    const TdvDiffRow& diff = *row.Row;
    if (diff.Kind1 != dkSame || diff.Kind2 != dkSame || diff.Line1 < 0 || diff.Line2 < 0) continue;
    // Told as what Latest changed against History, as lines are added and removed.
    const TFormatChange change = CompareLineFormatting(lines2[static_cast<size_t>(diff.Line2)],
                                                       lines1[static_cast<size_t>(diff.Line1)]);
    if (change.Differs) row.FormatNote = FormatChangeSummary(change);
  }
}

}  // namespace report
