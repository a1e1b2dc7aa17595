// qctool compare LATEST HISTORY [--match id|title|id-or-title] [--deleted]:
// the class of every Latest topic against the History file, with --deleted
// then every History topic no Latest topic matches, and the five status
// panel texts the comparison window shows after a recount.
#include <string>

#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"

namespace {

const char* const kClassNames[] = {"different", "identical", "identical-text", "new", "deleted"};

TTopicMatchMode ParseMatchMode(const std::string& value) {
  if (value == "id") return TTopicMatchMode::tmByID;
  if (value == "title") return TTopicMatchMode::tmByTitle;
  if (value == "id-or-title") return TTopicMatchMode::tmByIDOrTitle;
  throw qctool::UsageError{"unknown match mode '" + value + "' (id, title or id-or-title)"};
}

int RunCompare(const qctool::Args& args) {
  std::vector<std::string> files;
  TTopicMatchMode mode = TTopicMatchMode::tmByID;
  bool deleted = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--match") {
      if (i + 1 >= args.size()) throw qctool::UsageError{"--match needs a value"};
      mode = ParseMatchMode(args[++i]);
    } else if (args[i].rfind("--match=", 0) == 0) {
      mode = ParseMatchMode(args[i].substr(8));
    } else if (args[i] == "--deleted") {
      deleted = true;
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
    out += kClassNames[entry.Class];
    out += '\t';
    out += std::to_string(topic.TopicID());
    out += '\t';
    out += topic.DisplayNameView();
    out += '\n';
  }
  for (int panel = 0; panel < TopicComparisonCount; ++panel) out += session.StatusText(panel) + '\n';
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kCompare({"compare",
                                      "compare LATEST HISTORY [--match id|title|id-or-title] [--deleted]",
                                      "classify every Latest topic against the History file "
                                      "(--deleted: and list the topics only in History)",
                                      &RunCompare});

}  // namespace
