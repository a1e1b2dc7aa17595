// qctool merge-driver BASE OURS THEIRS MARKER-SIZE PATH [BASE-LABEL OURS-LABEL
// THEIRS-LABEL]: the three-way merge as git's merge.<driver>.driver, called
// as "qctool merge-driver %O %A %B %L %P %S %X %Y". The result replaces OURS
// (%A) the way every save does, complete beside it and then put in its
// place, so an error leaves git's copy as it was.
//
// Exit status: 0 merged cleanly, 1 conflicts remain (marked in the text,
// ours for values), 2 error. Never above 128: git takes that for a driver
// that crashed, not for a merge with conflicts.
#include <cstdio>
#include <string>

#include "document/QuillcrafterDoc.h"
#include "merge/Merge.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"

namespace {

int RunMergeDriver(const qctool::Args& args) {
  qctool::SetErrorStatus(2);
  if (args.size() != 5 && args.size() != 8)
    throw qctool::UsageError{"expected %O %A %B %L %P, optionally followed by %S %X %Y"};
  const std::string& path = args[4];
  TMergeLabels labels;
  if (args.size() == 8) {
    // Git leaves a label empty when it has none to give.
    if (!args[5].empty()) labels.Base = args[5];
    if (!args[6].empty()) labels.Ours = args[6];
    if (!args[7].empty()) labels.Theirs = args[7];
  }
  try {
    TQuillcrafterDoc base, ours, theirs;
    base.LoadFromFile(args[0]);
    ours.LoadFromFile(args[1]);
    theirs.LoadFromFile(args[2]);
    TMergePlan plan = PlanMerge(base, ours, theirs, TTopicMatchMode::tmByID, &qtbridge::CodePageToUtf8);
    plan.Labels = labels;
    TQuillcrafterDoc merged;
    ApplyMerge(plan, merged);
    merged.SaveToFile(args[1]);
    const int unresolved = plan.UnresolvedCount();
    if (unresolved == 0) return 0;
    std::fprintf(stderr, "qctool: %s: %d conflict%s remain%s\n", path.c_str(), unresolved,
                 unresolved == 1 ? "" : "s", unresolved == 1 ? "s" : "");
    return 1;
  } catch (const Exception& e) {
    throw Exception(path + ": " + e.Message());
  } catch (const std::exception& e) {
    throw Exception(path + ": " + e.what());
  }
}

const qctool::QctoolCommand kRegistration(
    {"merge-driver", "merge-driver BASE OURS THEIRS MARKER-SIZE PATH [BASE-LABEL OURS-LABEL THEIRS-LABEL]",
     "git merge driver: merge into OURS by topic; exit 0 merged, 1 conflicts remain, 2 error",
     &RunMergeDriver});

}  // namespace
