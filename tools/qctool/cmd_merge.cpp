// qctool merge BASE OURS THEIRS -o OUT [--match MODE] [--plan FILE.json]
// [--take ours|theirs|base] [--label-ours L --label-theirs L]: the three-way
// merge of two project files changed from a common one. OUT is written as
// every save is (complete beside it, then put in its place) and only once
// all three files have been read; the plan lists every decision.
//
// Exit status: 0 merged without conflicts (or all taken from one side with
// --take), 1 conflicts remain (marked in the text, ours for values), 2 error.
#include <string>

#include "document/QuillcrafterDoc.h"
#include "merge/Merge.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"
#include "tools/qctool/Progress.h"

namespace {

const std::string& Value(const qctool::Args& args, size_t& i) {
  if (i + 1 >= args.size()) throw qctool::UsageError{args[i] + " needs a value"};
  return args[++i];
}

int RunMerge(const qctool::Args& args) {
  qctool::SetErrorStatus(2);
  qctool::TProgressBar progress;
  std::vector<std::string> files;
  std::string output, planFile;
  TTopicMatchMode mode = TTopicMatchMode::tmByID;
  TMergeResolution take = TMergeResolution::Unresolved;
  TMergeLabels labels;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--match") {
      mode = qctool::ParseMatchMode(Value(args, i));
    } else if (arg.rfind("--match=", 0) == 0) {
      mode = qctool::ParseMatchMode(arg.substr(8));
    } else if (arg == "-o" || arg == "--output") {
      output = Value(args, i);
    } else if (arg == "--plan") {
      planFile = Value(args, i);
    } else if (arg == "--take") {
      const std::string& side = Value(args, i);
      if (side == "ours")
        take = TMergeResolution::Ours;
      else if (side == "theirs")
        take = TMergeResolution::Theirs;
      else if (side == "base")
        take = TMergeResolution::Base;
      else
        throw qctool::UsageError{"unknown side '" + side + "' (ours, theirs or base)"};
    } else if (arg == "--label-ours") {
      labels.Ours = Value(args, i);
    } else if (arg == "--label-theirs") {
      labels.Theirs = Value(args, i);
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw qctool::UsageError{"unknown option '" + arg + "'"};
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 3) throw qctool::UsageError{"expected a BASE, an OURS and a THEIRS file"};
  if (output.empty()) throw qctool::UsageError{"-o OUT is missing"};

  TQuillcrafterDoc base, ours, theirs;
  base.LoadFromFile(files[0]);
  ours.LoadFromFile(files[1]);
  theirs.LoadFromFile(files[2]);
  TMergePlan plan = PlanMerge(base, ours, theirs, mode, &qtbridge::CodePageToUtf8,
                              [&progress](int done, int total) { progress.Update(done, total); });
  plan.Labels = labels;
  if (take != TMergeResolution::Unresolved) plan.ResolveAll(take);
  TQuillcrafterDoc merged;
  ApplyMerge(plan, merged);
  // The plan first: a plan that cannot be written leaves OUT as it was.
  if (!planFile.empty()) {
    const std::string json = MergePlanJson(plan, &qtbridge::CodePageToUtf8);
    SaveFileSafely(planFile, [&json](TStream& stream) {
      stream.WriteBuffer(json.data(), static_cast<int64_t>(json.size()));
    });
  }
  merged.SaveToFile(output);
  progress.Finish();
  return plan.UnresolvedCount() > 0 ? 1 : 0;
}

const qctool::QctoolCommand kMerge(
    {"merge",
     "merge BASE OURS THEIRS -o OUT [--match MODE] [--plan FILE.json] [--take ours|theirs|base] "
     "[--label-ours L --label-theirs L]",
     "three-way merge of two projects changed from BASE; exit 0 merged, 1 conflicts remain, 2 error",
     &RunMerge});

}  // namespace
