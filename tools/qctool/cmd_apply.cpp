// qctool apply LATEST HISTORY --topic ID --change N --into latest|history
// [--match MODE] -o OUT: copies change block N (from 1, in the order the
// window's next-change key visits them) of one topic's text from one file
// into the other, as the window's single-change copy does, and writes the
// changed file to OUT (complete beside it, then put in its place). Every
// other topic and every line of the topic outside the block keeps its bytes.
//
// Exit status: 0 copied, 2 error (OUT untouched).
#include <cstdio>
#include <string>

#include "compare/ChangeCopy.h"
#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"

namespace {

const std::string& Value(const qctool::Args& args, size_t& i) {
  if (i + 1 >= args.size()) throw qctool::UsageError{args[i] + " needs a value"};
  return args[++i];
}

/// A whole decimal number of at least Least, or a UsageError naming Option.
long Number(const std::string& value, const std::string& option, long least) {
  size_t used = 0;
  long number = 0;
  try {
    number = std::stol(value, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != value.size() || number < least)
    throw qctool::UsageError{option + " needs a whole number from " + std::to_string(least) + ", not '" +
                             value + "'"};
  return number;
}

int RunApply(const qctool::Args& args) {
  qctool::SetErrorStatus(2);
  std::vector<std::string> files;
  std::string output, into;
  long topicId = -1, change = -1;
  TTopicMatchMode mode = TTopicMatchMode::tmByID;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--topic") {
      topicId = Number(Value(args, i), "--topic", 0);
    } else if (arg == "--change") {
      change = Number(Value(args, i), "--change", 1);
    } else if (arg == "--into") {
      into = Value(args, i);
      if (into != "latest" && into != "history")
        throw qctool::UsageError{"unknown side '" + into + "' (latest or history)"};
    } else if (arg == "--match") {
      mode = qctool::ParseMatchMode(Value(args, i));
    } else if (arg == "-o" || arg == "--output") {
      output = Value(args, i);
    } else if (arg == "--words") {
      throw qctool::UsageError{"--words: copies of changed words are not available in this version"};
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw qctool::UsageError{"unknown option '" + arg + "'"};
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) throw qctool::UsageError{"expected a LATEST and a HISTORY file"};
  if (topicId < 0) throw qctool::UsageError{"--topic ID is missing"};
  if (change < 0) throw qctool::UsageError{"--change N is missing"};
  if (into.empty()) throw qctool::UsageError{"--into latest|history is missing"};
  if (output.empty()) throw qctool::UsageError{"-o OUT is missing"};
  const bool intoLatest = into == "latest";

  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetBackups(false);
  session.OpenFiles(files[0], files[1]);
  session.SetMatchMode(mode);
  const int index = session.Latest().Topics().IndexOfTopicID(static_cast<int32_t>(topicId));
  if (index < 0) {
    std::fprintf(stderr, "qctool: %s has no topic %ld\n", files[0].c_str(), topicId);
    return 2;
  }
  session.Select(session.EntryIndexOf(session.Latest().Topics().Items(index)));
  if (session.HistoryTopic() == nullptr) {
    std::fprintf(stderr, "qctool: topic %ld of %s has no partner in %s\n", topicId, files[0].c_str(),
                 files[1].c_str());
    return 2;
  }
  const int blocks = static_cast<int>(ChangeBlocks(session.Selection()).size());
  std::optional<TTopicEdit> edit =
      MakeChangeCopy(session.Selection(), static_cast<int>(change - 1), intoLatest);
  if (!edit) {
    std::fprintf(stderr, "qctool: topic %ld has no change %ld (it has %d)\n", topicId, change, blocks);
    return 2;
  }
  session.Apply(*edit);
  if (intoLatest)
    session.SaveLatest(output);
  else
    session.SaveHistory(output);
  return 0;
}

const qctool::QctoolCommand kApply(
    {"apply", "apply LATEST HISTORY --topic ID --change N --into latest|history [--match MODE] -o OUT",
     "copy change block N of one topic into the other file; exit 0 copied, 2 error", &RunApply});

}  // namespace
