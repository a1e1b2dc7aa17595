// qctool report LATEST HISTORY [--match MODE] [--deleted] [--format html|csv|json]
// [-o FILE] [--only CLASSES] [--exit-code]: the comparison as a report for
// people (a self-contained HTML page) or for scripts (CSV, JSON). FILE is
// written as the window saves (complete beside it, then put in its place);
// without -o, or with -o -, the report goes to standard output.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "compare/ComparisonSession.h"
#include "compare/Report.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "toolkit/FileIdentity.h"
#include "tools/qctool/Command.h"
#include "tools/qctool/Progress.h"

namespace {

using qctool::TProgressBar;

const std::string& Value(const qctool::Args& args, size_t& i) {
  if (i + 1 >= args.size()) throw qctool::UsageError{args[i] + " needs a value"};
  return args[++i];
}

int RunReport(const qctool::Args& args) {
  const bool exitCode = std::find(args.begin(), args.end(), "--exit-code") != args.end();
  if (exitCode) qctool::SetErrorStatus(2);
  TProgressBar progress;
  std::vector<std::string> files;
  TReportOptions options;
  options.Decode = &qtbridge::CodePageToUtf8;
  TReportFormat format = TReportFormat::Html;
  std::string output = "-";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--match") {
      options.MatchMode = qctool::ParseMatchMode(Value(args, i));
    } else if (arg.rfind("--match=", 0) == 0) {
      options.MatchMode = qctool::ParseMatchMode(arg.substr(8));
    } else if (arg == "--deleted") {
      options.IncludeDeleted = true;
    } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
      const std::string name = arg == "--format" ? Value(args, i) : arg.substr(9);
      const std::optional<TReportFormat> chosen = ReportFormatFromName(name);
      if (!chosen) throw qctool::UsageError{"unknown format '" + name + "' (html, csv or json)"};
      format = *chosen;
    } else if (arg == "-o" || arg == "--output") {
      output = Value(args, i);
    } else if (arg == "--only" || arg.rfind("--only=", 0) == 0) {
      const std::string list = arg == "--only" ? Value(args, i) : arg.substr(7);
      std::string bad;
      const std::optional<TReportClasses> classes = ParseReportClasses(list, &bad);
      if (!classes) {
        std::string keys;
        for (const TTopicClassInfo& info : TopicClassTable) keys += std::string(info.Key) + ", ";
        throw qctool::UsageError{"unknown class '" + bad + "' (" + keys + "separated by commas)"};
      }
      options.Classes = *classes;
      // Asking for the topics only in History is asking to see them.
      if (classes->Contains(tcDeleted)) options.IncludeDeleted = true;
    } else if (arg == "--exit-code") {
      // Taken above.
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw qctool::UsageError{"unknown option '" + arg + "'"};
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) throw qctool::UsageError{"expected a Latest and a History file"};
  // A report written over one of the files it compares would lose that file.
  if (output != "-")
    for (const std::string& file : files)
      if (IsSameFile(output, file))
        throw qctool::UsageError{"the report would replace " + file + ", which it compares"};

  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetMatchMode(options.MatchMode);
  session.SetShowDeleted(options.IncludeDeleted);
  session.OpenFiles(files[0], files[1]);
  options.OnProgress = [&progress](int done, int total) { progress.Update(done, total); };

  if (output == "-") {
    WriteReport(session, format, options, [](std::string_view bytes) { qctool::WriteStdout(bytes); });
  } else {
    SaveFileSafely(output, [&](TStream& stream) {
      WriteReport(session, format, options, [&stream](std::string_view bytes) {
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      });
    });
  }
  progress.Finish();
  if (!exitCode) return 0;
  return ReportFindsDifferences(session, options) ? 1 : 0;
}

const qctool::QctoolCommand kReport(
    {"report",
     "report LATEST HISTORY [--match MODE] [--deleted] [--format html|csv|json] [-o FILE] [--only CLASSES] "
     "[--exit-code]",
     "the comparison as an HTML page, CSV or JSON (--only different,new,...: only these classes)",
     &RunReport});

}  // namespace
