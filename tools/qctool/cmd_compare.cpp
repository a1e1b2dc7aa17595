// qctool compare LATEST HISTORY [--match id|title|id-or-title]: the class
// of every Latest topic against the History file, then the five status
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
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--match") {
      if (i + 1 >= args.size()) throw qctool::UsageError{"--match needs a value"};
      mode = ParseMatchMode(args[++i]);
    } else if (args[i].rfind("--match=", 0) == 0) {
      mode = ParseMatchMode(args[i].substr(8));
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) throw qctool::UsageError{"expected a Latest and a History file"};

  // The same comparison the window shows, so the two cannot disagree.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetMatchMode(mode);
  session.OpenFiles(files[0], files[1]);

  std::string out;
  for (int i = 0; i < session.EntryCount(); ++i) {
    out += kClassNames[session.EntryClass(i)];
    out += '\t';
    out += std::to_string(session.EntryTopic(i)->TopicID());
    out += '\t';
    out += session.EntryTopic(i)->DisplayNameView();
    out += '\n';
  }
  for (int panel = 0; panel < TopicComparisonCount; ++panel) out += session.StatusText(panel) + '\n';
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kCompare({"compare", "compare LATEST HISTORY [--match id|title|id-or-title]",
                                      "classify every Latest topic against the History file", &RunCompare});

}  // namespace
