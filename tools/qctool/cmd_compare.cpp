// qctool compare LATEST HISTORY [--match id|title|id-or-title]: the class
// of every Latest topic against the History file, then the five status
// panel texts the comparison window shows after a recount.
#include <string>

#include "document/QuillcrafterDoc.h"
#include "document/TopicComparison.h"
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

  // Both documents get the window's settings before a file is loaded.
  TQuillcrafterDoc latest;
  TQuillcrafterDoc history;
  for (TQuillcrafterDoc* document : {&latest, &history}) {
    document->SetTopicIncrement(1);
    document->Options().SetFileVersion(13);
  }
  latest.LoadFromFile(files[0]);
  history.LoadFromFile(files[1]);

  TTopicMatcher matcher(history.Topics());
  std::string out;
  TTopicCounters counters;
  for (int i = 0; i < latest.Topics().Count(); ++i) {
    const TQCTopic& topic = *latest.Topics().Items(i);
    const TTopicComparison kind = matcher.CompareTopic(topic, mode);
    ++counters.Counts[kind];
    out += kClassNames[kind];
    out += '\t';
    out += std::to_string(topic.TopicID());
    out += '\t';
    out += topic.DisplayNameView();
    out += '\n';
  }
  for (int panel = 0; panel < TopicComparisonCount; ++panel) out += StatusPanelText(counters, panel) + '\n';
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kCompare({"compare", "compare LATEST HISTORY [--match id|title|id-or-title]",
                                      "classify every Latest topic against the History file", &RunCompare});

}  // namespace
