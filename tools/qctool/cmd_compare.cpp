// qctool compare LATEST HISTORY [--match id|title|id-or-title] [--deleted]
// [--exit-code]: the class of every Latest topic against the History file,
// with --deleted then every History topic no Latest topic matches, and the
// five status panel texts the comparison window shows after a recount.
#include <algorithm>
#include <string>

#include "compare/ComparisonSession.h"
#include "compare/Report.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"

namespace {

using qctool::ParseMatchMode;

int RunCompare(const qctool::Args& args) {
  std::vector<std::string> files;
  TTopicMatchMode mode = TTopicMatchMode::tmByID;
  bool deleted = false;
  // Decided first, so that even wrong arguments give the status it asks for.
  const bool exitCode = std::find(args.begin(), args.end(), "--exit-code") != args.end();
  if (exitCode) qctool::SetErrorStatus(2);
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--match") {
      if (i + 1 >= args.size()) throw qctool::UsageError{"--match needs a value"};
      mode = ParseMatchMode(args[++i]);
    } else if (args[i].rfind("--match=", 0) == 0) {
      mode = ParseMatchMode(args[i].substr(8));
    } else if (args[i] == "--deleted") {
      deleted = true;
    } else if (args[i] == "--exit-code") {
      // Taken above.
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) throw qctool::UsageError{"expected a Latest and a History file"};

  // The same comparison the window shows, so the two cannot disagree.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetMatchMode(mode);
  session.SetShowDeleted(deleted);
  session.OpenFiles(files[0], files[1]);

  // The Latest entries come first, then those only in History.
  std::string out;
  for (int i = 0; i < session.EntryCount(); ++i) {
    const TComparisonEntry entry = session.Entry(i);
    const TQCTopic& topic = entry.Latest != nullptr ? *entry.Latest : *entry.History;
    out += ClassInfo(entry.Class).Key;
    out += '\t';
    out += std::to_string(topic.TopicID());
    out += '\t';
    out += topic.DisplayNameView();
    out += '\n';
  }
  for (int panel = 0; panel < TopicComparisonCount; ++panel) out += session.StatusText(panel) + '\n';
  qctool::WriteStdout(out);
  if (!exitCode) return 0;
  TReportOptions options;
  options.IncludeDeleted = deleted;
  return ReportFindsDifferences(session, options) ? 1 : 0;
}

const qctool::QctoolCommand kCompare(
    {"compare", "compare LATEST HISTORY [--match id|title|id-or-title] [--deleted] [--exit-code]",
     "classify every Latest topic against the History file "
     "(--deleted: and list the topics only in History)",
     &RunCompare});

}  // namespace
