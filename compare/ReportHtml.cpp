// The HTML report: one page that needs nothing else (its style is inline,
// it has no script and loads nothing), readable on screen in light and dark
// schemes and on paper. The topic table comes first, then for every topic
// that is not identical its differences in a <details> block; each topic
// has an anchor (#L12 for Latest topic 12, #H7 for History topic 7 when
// only History has it) that opens its block.
#include <algorithm>
#include <cstdio>

#include "compare/ReportWriter.h"
#include "document/QuillcrafterDoc.h"

namespace report {
namespace {

// Up to this many differing topics the page opens their blocks.
constexpr int kOpenDetails = 25;

constexpr std::string_view kStyle = R"(
:root{color-scheme:light dark;--fg:#1c1c1c;--bg:#fff;--muted:#5f5f5f;--rule:#d4d4d4;--head:#f3f3f3;
--add:#e3f7e6;--del:#fde8e8;--chg:#fff6d1;--wadd:#9fe3ac;--wdel:#f6b2b2;--fill:#f4f4f4;--note:#5b3f8c}
@media (prefers-color-scheme:dark){:root{--fg:#e4e4e4;--bg:#141414;--muted:#a8a8a8;--rule:#3c3c3c;
--head:#222;--add:#14301b;--del:#3a1a1a;--chg:#33300f;--wadd:#24663a;--wdel:#7a2e2e;--fill:#1c1c1c;--note:#c8a8ff}}
@media print{:root{color-scheme:light;--fg:#000;--bg:#fff;--muted:#444;--rule:#999;--head:#eee;
--add:#e3f7e6;--del:#fde8e8;--chg:#fff6d1;
--wadd:#9fe3ac;--wdel:#f6b2b2;--fill:#f0f0f0;--note:#4b2f7c}}
*{box-sizing:border-box}
body{margin:1.5rem;color:var(--fg);background:var(--bg);font:14px/1.45 system-ui,sans-serif}
h1{font-size:1.5rem;margin:0 0 .75rem}h2{font-size:1.15rem;margin:1.75rem 0 .5rem}
code,.tx{font-family:ui-monospace,"DejaVu Sans Mono",monospace;font-size:.9em}
dl.about{display:grid;grid-template-columns:max-content 1fr;gap:.15rem 1rem;margin:0}
dl.about dt{color:var(--muted)}dl.about dd{margin:0;overflow-wrap:anywhere}
table{border-collapse:collapse}th,td{text-align:left;vertical-align:top;padding:.2rem .5rem}
.mark{display:inline-block;min-width:1.1em;font-weight:700}
.c-different{--c:var(--c0)}.c-identical{--c:var(--c1)}.c-identical-text{--c:var(--c2)}
.c-new{--c:var(--c3)}.c-deleted{--c:var(--c4)}
.cls{color:var(--c);font-weight:600;white-space:nowrap}
table.bars td,table.bars th{padding:.1rem .5rem}
table.bars .n{text-align:right;font-variant-numeric:tabular-nums}
table.bars .track{width:min(24rem,50vw)}
.bar{display:block;height:.9rem;min-width:1px;background:var(--c);border-radius:2px;
print-color-adjust:exact;-webkit-print-color-adjust:exact}
table.bars .pct{color:var(--muted);font-variant-numeric:tabular-nums}
table.topics{width:100%}table.topics thead th{background:var(--head);border-bottom:2px solid var(--rule)}
table.topics td{border-bottom:1px solid var(--rule)}table.topics .id{text-align:right;
font-variant-numeric:tabular-nums}table.topics td.title{overflow-wrap:anywhere}
a{color:inherit}
details{border:1px solid var(--rule);border-left:4px solid var(--c);margin:.5rem 0;padding:.25rem .6rem}
summary{cursor:pointer;padding:.15rem 0}summary .id{color:var(--muted)}
summary .lines{color:var(--muted);margin-left:.5rem;font-variant-numeric:tabular-nums}
table.fields{margin:.4rem 0}table.fields th{color:var(--muted);font-weight:400}
table.fields td{overflow-wrap:anywhere}
table.diff{width:100%;table-layout:fixed;margin:.4rem 0}
table.diff col.ln{width:3.5rem}table.diff td{padding:0 .4rem;border-bottom:1px solid var(--bg)}
table.diff .ln{text-align:right;color:var(--muted);font-variant-numeric:tabular-nums;user-select:none}
table.diff .tx{white-space:pre-wrap;overflow-wrap:anywhere}
.k-changed .tx{background:var(--chg)}.k-added .tx.l,.k-changed .tx.l{background:var(--add)}
.k-removed .tx.h,.k-changed .tx.h{background:var(--del)}
.tx.filler{background:repeating-linear-gradient(135deg,var(--fill) 0 4px,transparent 4px 8px)}
mark{color:inherit;border-radius:2px}.l mark{background:var(--wadd)}.h mark{background:var(--wdel)}
tr.fmt td{color:var(--note);font-size:.85em;padding-bottom:.2rem}
.muted,.back{color:var(--muted)}.back{font-size:.85em}
@media print{body{margin:0;font-size:10pt}details::details-content{content-visibility:visible;display:block}
details{break-inside:avoid-page}summary{list-style:none}.back{display:none}a{text-decoration:none}
tr{break-inside:avoid}.k-changed .tx,.k-added .tx,.k-removed .tx,mark,.tx.filler{print-color-adjust:exact;
-webkit-print-color-adjust:exact}}
)";

/// The classes' colours (--c0 to --c4) are the window's: its light ones on
/// screen and paper, its dark ones in a dark scheme.
void ClassColors(TOutput& out) {
  const auto colours = [&out](const char* head, TRgb TTopicClassInfo::*colour, const char* tail) {
    out << head;
    for (const TTopicClassInfo& info : TopicClassTable) {
      char value[16];
      std::snprintf(value, sizeof value, "#%06x", static_cast<unsigned>(info.*colour & 0xFFFFFF));
      out << "--c" << static_cast<int>(info.Class) << ':' << value
          << (info.Class + 1 < TopicComparisonCount ? ";" : "");
    }
    out << tail;
  };
  colours(":root{", &TTopicClassInfo::Light, "}\n");
  colours("@media (prefers-color-scheme:dark){:root{", &TTopicClassInfo::Dark, "}}\n");
  colours("@media print{:root{", &TTopicClassInfo::Light, "}}\n");
}

void Escaped(TOutput& out, std::string_view bytes) {
  AppendHtml(out.Buffer(), bytes);
  out.MaybeFlush();
}

/// The anchor of a topic: L and its Latest ID, or H and its History ID for a topic only in History.
void Anchor(TOutput& out, const TTopic& topic) {
  if (topic.Latest != nullptr)
    out << 'L' << static_cast<int64_t>(topic.Latest->TopicID());
  else
    out << 'H' << static_cast<int64_t>(topic.History->TopicID());
}

void ClassLabel(TOutput& out, TTopicComparison cls) {
  out << "<span class=\"cls\"><span class=\"mark\" aria-hidden=\"true\">" << ClassInfo(cls).Mark << "</span>"
      << ClassInfo(cls).Label << "</span>";
}

void FileLine(TOutput& out, const char* side, const std::string& fileName, const std::string& modified,
              bool unsaved, int topics) {
  out << "<dt>" << side << "</dt><dd><code>";
  if (fileName.empty())
    out << "(none)";
  else
    Escaped(out, fileName);
  out << "</code>";
  if (unsaved)
    out << " <strong class=\"unsaved\">includes unsaved changes</strong>";
  else if (!modified.empty())
    out << " <span class=\"muted\">modified " << modified << "</span>";
  out << " <span class=\"muted\">&middot; " << topics << (topics == 1 ? " topic" : " topics")
      << "</span></dd>\n";
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Head(TOutput& out, const THeader& header, const TReportOptions& options) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"color-scheme\" content=\"light dark\">\n<title>Comparison of ";
  Escaped(out, BaseName(header.LatestFile));
  out << " and ";
  Escaped(out, BaseName(header.HistoryFile));
  out << "</title>\n<style>" << kStyle;
  ClassColors(out);
  out << "</style>\n</head>\n<body>\n<header>\n<h1>Comparison report</h1>\n"
      << "<dl class=\"about\">\n";
  FileLine(out, "Latest", header.LatestFile, header.LatestModified, header.LatestUnsaved,
           header.LatestTopics);
  FileLine(out, "History", header.HistoryFile, header.HistoryModified, header.HistoryUnsaved,
           header.HistoryTopics);
  out << "<dt>Matched</dt><dd id=\"match\" data-mode=\"" << header.MatchMode << "\">"
      << MatchModeInfo(options.MatchMode).Phrase << "</dd>\n<dt>Listed</dt><dd id=\"listed\">";
  if (options.Classes == TReportClasses::All()) {
    out << "every class";
  } else {
    bool first = true;
    for (int i = 0; i < TopicComparisonCount; ++i) {
      if (!options.Classes.Contains(static_cast<TTopicComparison>(i))) continue;
      out << (first ? "" : ", ") << TopicClassTable[static_cast<size_t>(i)].Label;
      first = false;
    }
  }
  if (!options.IncludeDeleted) out << "; topics only in History left out";
  if (options.Entries && !options.EntriesNote.empty()) {
    out << "; ";
    Escaped(out, options.EntriesNote);
  }
  out << " (" << header.Listed << (header.Listed == 1 ? " topic" : " topics")
      << ")</dd>\n<dt>Generated</dt><dd>" << header.Generated << "</dd>\n</dl>\n</header>\n";
}

void Counts(TOutput& out, const THeader& header, const TReportOptions& options) {
  int total = 0, largest = 0;
  for (int32_t count : header.Counters.Counts) {
    total += count;
    largest = std::max(largest, static_cast<int>(count));
  }
  out << "<section id=\"counts\">\n<h2>Topics per class</h2>\n<table class=\"bars\">\n";
  for (int i = 0; i < TopicComparisonCount; ++i) {
    const auto cls = static_cast<TTopicComparison>(i);
    if (cls == tcDeleted && !options.IncludeDeleted) continue;
    const int count = header.Counters.Counts[static_cast<size_t>(i)];
    // The longest bar fills its track; the figure beside it is the share of all topics.
    char width[32], share[32];
    std::snprintf(width, sizeof width, "%.1f", largest > 0 ? 100.0 * count / largest : 0.0);
    std::snprintf(share, sizeof share, "%.1f", total > 0 ? 100.0 * count / total : 0.0);
    out << "<tr class=\"c-" << ClassInfo(cls).Key << "\" data-class=\"" << ClassInfo(cls).Key
        << "\"><th scope=\"row\">";
    ClassLabel(out, cls);
    out << "</th><td class=\"n\">" << count
        << "</td><td class=\"track\"><span class=\"bar\" style=\"width:" << width
        << "%\"></span></td><td class=\"pct\">" << share << "%</td></tr>\n";
  }
  out << "</table>\n</section>\n";
}

void Id(TOutput& out, const TQCTopic* topic) {
  if (topic != nullptr)
    out << static_cast<int64_t>(topic->TopicID());
  else
    out << "<span class=\"muted\">&ndash;</span>";
}

void FieldNames(TOutput& out, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out << ", ";
    Escaped(out, names[i]);
  }
}

void TopicRow(TOutput& out, const TTopic& topic) {
  const char* name = ClassInfo(topic.Class).Key;
  out << "<tr id=\"list-";
  Anchor(out, topic);
  out << "\" class=\"c-" << name << "\" data-class=\"" << name << "\"><td>";
  ClassLabel(out, topic.Class);
  out << "</td><td class=\"id\">";
  Id(out, topic.Latest);
  out << "</td><td class=\"id\">";
  Id(out, topic.History);
  out << "</td><td class=\"title\">";
  if (topic.Class != tcIdentical) {
    out << "<a href=\"#";
    Anchor(out, topic);
    out << "\">";
    Escaped(out, topic.Title);
    out << "</a>";
  } else {
    Escaped(out, topic.Title);
  }
  out << "</td><td>";
  FieldNames(out, topic.FieldNames);
  out << "</td></tr>\n";
}

/// One side's text of a row, its changed spans marked.
void RowText(TOutput& out, std::string_view text, const std::vector<TdvSpan>& spans) {
  size_t at = 0;
  for (const TdvSpan& span : spans) {
    const auto start = static_cast<size_t>(span.Start);
    const auto end = start + static_cast<size_t>(span.Length);
    if (start < at || end > text.size()) continue;
    Escaped(out, text.substr(at, start - at));
    out << "<mark>";
    Escaped(out, text.substr(start, end - start));
    out << "</mark>";
    at = end;
  }
  Escaped(out, text.substr(at));
}

void Side(TOutput& out, const char* side, int32_t line, std::string_view text,
          const std::vector<TdvSpan>& spans) {
  out << "<td class=\"ln\">";
  if (line >= 0) out << static_cast<int64_t>(line) + 1;
  out << "</td><td class=\"tx " << side << (line < 0 ? " filler\">" : "\">");
  if (line >= 0) RowText(out, text, spans);
  out << "</td>";
}

void Details(TOutput& out, const TTopic& topic, bool open) {
  out << "<details class=\"c-" << ClassInfo(topic.Class).Key << (open ? "\" open><summary>" : "\"><summary>");
  ClassLabel(out, topic.Class);
  out << " <span class=\"id\">";
  if (topic.Latest != nullptr)
    out << static_cast<int64_t>(topic.Latest->TopicID());
  else
    out << static_cast<int64_t>(topic.History->TopicID());
  out << "</span> ";
  Escaped(out, topic.Title);
  if (topic.LinesAdded > 0 || topic.LinesRemoved > 0)
    out << "<span class=\"lines\">+" << topic.LinesAdded << " &minus;" << topic.LinesRemoved << "</span>";
  out << "</summary>\n<div id=\"";
  Anchor(out, topic);
  out << "\">\n";
  if (topic.Latest == nullptr)
    out << "<p class=\"muted\">Only in History.</p>\n";
  else if (topic.History == nullptr)
    out << "<p class=\"muted\">Only in Latest.</p>\n";
  if (!topic.Fields.empty()) {
    out << "<table class=\"fields\"><tr><th>Field</th><th>Latest</th><th>History</th></tr>\n";
    for (const TFieldDifference& field : topic.Fields) {
      out << "<tr><td>";
      Escaped(out, field.Name);
      if (field.Name == "Text") {
        // The text's values are the rows below.
        out << "</td><td colspan=\"2\">";
        Escaped(out, field.Summary.substr(field.Summary.find(':') + 2));
      } else {
        out << "</td><td>";
        Escaped(out, field.Latest);
        out << "</td><td>";
        Escaped(out, field.History);
      }
      out << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  if (!topic.Rows.empty()) {
    out << "<table class=\"diff\"><colgroup><col class=\"ln\"><col><col class=\"ln\"><col></colgroup>\n"
           "<tr><th></th><th>Latest</th><th></th><th>History</th></tr>\n";
    for (const TRow& row : topic.Rows) {
      const TdvDiffRow& diff = *row.Row;
      out << "<tr class=\"k-" << RowKindName(diff) << "\">";
      Side(out, "l", diff.Line1, diff.Text1, diff.Spans1);
      Side(out, "h", diff.Line2, diff.Text2, diff.Spans2);
      out << "</tr>\n";
      // A line the difference takes as the same may still differ in its
      // blanks at either end, or in how it looks.
      const bool blanks = diff.Kind1 == dkSame && diff.Text1 != diff.Text2;
      if (blanks || !row.FormatNote.empty()) {
        out << "<tr class=\"fmt\"><td></td><td colspan=\"3\">";
        if (blanks) out << "Blanks at the start or end differ." << (row.FormatNote.empty() ? "" : " ");
        if (!row.FormatNote.empty()) {
          out << "Formatting: ";
          Escaped(out, row.FormatNote);
        }
        out << "</td></tr>\n";
      }
    }
    out << "</table>\n";
  }
  out << "<p class=\"back\"><a href=\"#list-";
  Anchor(out, topic);
  out << "\">&uarr; back to the list</a></p>\n</div>\n</details>\n";
}

}  // namespace

void WriteHtml(TTopicSource& source, TOutput& out) {
  const THeader& header = source.Header();
  const TReportOptions& options = source.Options();
  Head(out, header, options);
  Counts(out, header, options);

  // The table needs only names and fields; the differences follow in a
  // second pass, so that no topic's rows are held while the table is written.
  TTopic topic;
  TTopicComparison cls = tcIdentical;
  out << "<section id=\"topics\">\n<h2>Topics</h2>\n";
  if (header.Listed == 0) out << "<p class=\"muted\">No topic is listed.</p>\n";
  out << "<table class=\"topics\">\n<thead><tr><th>Class</th><th class=\"id\">Latest ID</th>"
         "<th class=\"id\">History ID</th><th>Title</th><th>Differing fields</th></tr></thead>\n<tbody>\n";
  for (int i = 0; i < source.EntryCount(); ++i) {
    if (!source.Listed(i, cls)) continue;
    source.Load(i, TDetail::Names, topic);
    TopicRow(out, topic);
  }
  out << "</tbody>\n</table>\n</section>\n<section id=\"differences\">\n<h2>Differences</h2>\n";
  // A few differences are shown open; many are left for the reader to open.
  const int differing =
      header.Listed - (options.Classes.Contains(tcIdentical) ? header.Counters.IdenticalCount() : 0);
  const bool open = differing <= kOpenDetails;
  bool any = false;
  for (int i = 0; i < source.EntryCount(); ++i) {
    if (!source.Listed(i, cls)) continue;
    if (cls != tcIdentical) {
      source.Load(i, TDetail::Full, topic);
      Details(out, topic, open);
      any = true;
    }
    source.Progress();
  }
  if (!any) out << "<p class=\"muted\">No listed topic differs.</p>\n";
  out << "</section>\n</body>\n</html>\n";
}

}  // namespace report
