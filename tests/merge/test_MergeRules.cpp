// The merge's rules, one row each: a base of three topics, one edit on each
// side, and what the plan decides and the merged file holds.
#include <gtest/gtest.h>

#include <functional>

#include "merge/MergeText.h"
#include "tests/merge/MergeTestUtil.h"

using namespace mergetest;

namespace {

using TEdit = std::function<void(TQuillcrafterDoc&)>;
using TCheck = std::function<void(const Merged&)>;

struct Row {
  const char* Name;
  TEdit Ours, Theirs;
  TMergeAction Action;  // of the first decision that is not kept
  TCheck Check;
};

void MakeBase(TQuillcrafterDoc& doc) {
  Topic(doc, 1, "Welcome", {"Welcome to the notes.", "Click Save now."}, "print;save");
  Topic(doc, 2, "Setup", {"Run the setup program.", "It takes a minute.", "Then restart."}, "install");
  Topic(doc, 3, "Glossary", {"Words and what they mean."});
  doc.Contents().Add()->SetTitle("Welcome");
}

std::vector<std::string> TextOf(const Merged& m, int32_t id) {
  const TQCTopic* topic = Find(m.Result, id);
  std::vector<std::string> lines;
  if (topic)
    for (int i = 0; i < topic->Text().Count(); ++i) lines.push_back(topic->Text().Strings(i));
  return lines;
}

/// The first decision that changed something, a topic's own fields and
/// text blocks standing for the topic.
const TMergeDecision* FirstChange(const TMergePlan& plan) {
  const std::vector<TMergeDecision>& all = plan.Decisions;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].Action == TMergeAction::Kept) continue;
    if (all[i].Level == TMergeLevel::Topic && i + 1 < all.size() &&
        (all[i + 1].Level == TMergeLevel::Field || all[i + 1].Level == TMergeLevel::TextBlock))
      continue;
    return &all[i];
  }
  return nullptr;
}

void SetLine(TQuillcrafterDoc& doc, int32_t id, int line, const std::string& text) {
  TStringList lines;
  lines.Assign(Find(doc, id)->Text());
  lines.SetStrings(line, text);
  Find(doc, id)->SetText(lines);
}

const TEdit kNothing = [](TQuillcrafterDoc&) {};

const Row kRows[] = {
    {"unchanged on both sides: kept", kNothing, kNothing, TMergeAction::Kept,
     [](const Merged& m) { EXPECT_EQ(m.Result.Topics().Count(), 3); }},
    {"a field changed on one side: that side", kNothing,
     [](TQuillcrafterDoc& d) { Find(d, 2)->SetBuildTag("beta"); }, TMergeAction::Theirs,
     [](const Merged& m) { EXPECT_EQ(Find(m.Result, 2)->BuildTag(), "beta"); }},
    {"changed the same way on both: once", [](TQuillcrafterDoc& d) { Find(d, 3)->SetStatus("Draft"); },
     [](TQuillcrafterDoc& d) { Find(d, 3)->SetStatus("Draft"); }, TMergeAction::Same,
     [](const Merged& m) { EXPECT_EQ(Find(m.Result, 3)->Status(), "Draft"); }},
    {"a title changed differently: conflict, ours kept",
     [](TQuillcrafterDoc& d) { Find(d, 3)->SetBuildTag("a"); },
     [](TQuillcrafterDoc& d) { Find(d, 3)->SetBuildTag("b"); }, TMergeAction::Conflict,
     [](const Merged& m) {
       EXPECT_EQ(Find(m.Result, 3)->BuildTag(), "a");
       EXPECT_EQ(m.Plan.UnresolvedCount(), 1);
     }},
    {"added on one side: added", [](TQuillcrafterDoc& d) { Topic(d, 7, "Export", {"Export a notebook."}); },
     kNothing, TMergeAction::Added, [](const Merged& m) { EXPECT_EQ(Find(m.Result, 7)->Title(), "Export"); }},
    {"added on their side: added with their content", kNothing,
     [](TQuillcrafterDoc& d) { Topic(d, 8, "Print", {"Print a page."}, "print"); }, TMergeAction::Added,
     [](const Merged& m) {
       ASSERT_NE(Find(m.Result, 8), nullptr);
       EXPECT_EQ(Find(m.Result, 8)->Keywords(), "print");
       EXPECT_EQ(TextOf(m, 8), Body({"Print a page."}));
     }},
    {"added on both with equal content: added once",
     [](TQuillcrafterDoc& d) { Topic(d, 7, "Export", {"Export a notebook."}); },
     [](TQuillcrafterDoc& d) { Topic(d, 7, "Export", {"Export a notebook."}); }, TMergeAction::Added,
     [](const Merged& m) { EXPECT_EQ(m.Result.Topics().Count(), 4); }},
    {"added on both under one ID, different content: conflict keeping both, theirs renumbered",
     [](TQuillcrafterDoc& d) { Topic(d, 7, "Export", {"Export a notebook."}); },
     [](TQuillcrafterDoc& d) {
       Topic(d, 7, "Import", {"Import a notebook."});
       Topic(d, 9, "Files", {"See \\{linkID=%7\\}."});
     },
     TMergeAction::Conflict,
     [](const Merged& m) {
       EXPECT_EQ(Find(m.Result, 7)->Title(), "Export");
       ASSERT_NE(Find(m.Result, 8), nullptr);
       EXPECT_EQ(Find(m.Result, 8)->Title(), "Import");
       // The topic that linked to theirs follows it to its new ID.
       EXPECT_NE(Find(m.Result, 9)->WholeText().find("linkID=%8"), std::string::npos);
     }},
    {"deleted on one side, unchanged on the other: deleted",
     [](TQuillcrafterDoc& d) { d.Topics().Delete(d.Topics().IndexOfTopicID(3)); }, kNothing,
     TMergeAction::Deleted, [](const Merged& m) { EXPECT_EQ(Find(m.Result, 3), nullptr); }},
    {"deleted on one side, changed on the other: conflict keeping the change",
     [](TQuillcrafterDoc& d) { d.Topics().Delete(d.Topics().IndexOfTopicID(3)); },
     [](TQuillcrafterDoc& d) { Find(d, 3)->SetStatus("Draft"); }, TMergeAction::Conflict,
     [](const Merged& m) {
       ASSERT_NE(Find(m.Result, 3), nullptr);
       EXPECT_EQ(Find(m.Result, 3)->Status(), "Draft");
     }},
    {"keywords merge as sets: one side adds, the other removes",
     [](TQuillcrafterDoc& d) { Find(d, 1)->SetKeywords("print;save;export"); },
     [](TQuillcrafterDoc& d) { Find(d, 1)->SetKeywords("save"); }, TMergeAction::Merged,
     [](const Merged& m) { EXPECT_EQ(Find(m.Result, 1)->Keywords(), "save;export"); }},
    {"different paragraphs changed on each side: both",
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 2, "Run the new setup program.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 4, "Then restart the computer.\\par"); }, TMergeAction::Ours,
     [](const Merged& m) {
       EXPECT_EQ(Shown(*Find(m.Result, 2)), ShownBody({"Run the new setup program.", "It takes a minute.",
                                                       "Then restart the computer."}));
       // Ours' lines stay as ours wrote them; theirs comes spliced in with its look.
       EXPECT_EQ(TextOf(m, 2)[2], "Run the new setup program.\\par");
     }},
    {"different words of one line: the words merge",
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 3, "It takes one minute.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 3, "It takes a minute or so.\\par"); }, TMergeAction::Merged,
     [](const Merged& m) {
       EXPECT_EQ(TextOf(m, 2)[3], "It takes one minute or so.\\par");
       EXPECT_EQ(m.Plan.ConflictCount(), 0);
     }},
    {"wording on one side, formatting of the same line on the other: both kept",
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 3, "Click \\b Save\\b0  now.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 3, "Press Save now.\\par"); }, TMergeAction::Merged,
     [](const Merged& m) { EXPECT_EQ(TextOf(m, 1)[3], "Press \\b Save\\b0  now.\\par"); }},
    {"formatting on one line, wording on another: both kept, the formatted line spliced in with its look",
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 2, "Welcome to the new notes.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 3, "Click \\b Save\\b0  now.\\par"); }, TMergeAction::Ours,
     [](const Merged& m) {
       EXPECT_EQ(m.Plan.ConflictCount(), 0);
       EXPECT_EQ(Shown(*Find(m.Result, 1)), ShownBody({"Welcome to the new notes.", "Click Save now."}));
       EXPECT_EQ(TextOf(m, 1)[2], "Welcome to the new notes.\\par");
       EXPECT_NE(Find(m.Result, 1)->WholeText().find("\\b Save\\b0"), std::string::npos);
     }},
    {"formatting and wording of the same word: a conflict that says which side did which",
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 3, "Click \\b Save\\b0  now.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 1, 3, "Click Store now.\\par"); }, TMergeAction::Conflict,
     [](const Merged& m) {
       for (const TMergeDecision& d : m.Plan.Decisions)
         if (d.IsConflict()) {
           EXPECT_EQ(d.Name, "Text: formatting by ours, wording by theirs");
         }
     }},
    {"the same words changed differently: a conflict marked in the text",
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 3, "It takes an hour.\\par"); },
     [](TQuillcrafterDoc& d) { SetLine(d, 2, 3, "It takes a day.\\par"); }, TMergeAction::Conflict,
     [](const Merged& m) {
       EXPECT_EQ(Shown(*Find(m.Result, 2)),
                 ShownBody({"Run the setup program.", "<<<<<<< ours", "It takes an hour.", "||||||| base",
                            "It takes a minute.", "=======", "It takes a day.", ">>>>>>> theirs",
                            "Then restart."}));
     }},
    {"an option changed on one side: that side", kNothing,
     [](TQuillcrafterDoc& d) { d.Options().SetCopyright("2026"); }, TMergeAction::Theirs,
     [](const Merged& m) { EXPECT_EQ(m.Result.Options().Copyright(), "2026"); }},
    {"contents lines added at different places: both",
     [](TQuillcrafterDoc& d) { d.Contents().Insert(0)->SetTitle("Start"); },
     [](TQuillcrafterDoc& d) { d.Contents().Add()->SetTitle("End"); }, TMergeAction::Ours,
     [](const Merged& m) {
       ASSERT_EQ(m.Result.Contents().Count(), 3);
       EXPECT_EQ(m.Result.Contents().Items(0)->Title(), "Start");
       EXPECT_EQ(m.Result.Contents().Items(2)->Title(), "End");
     }},
    {"a text macro changed differently: conflict, ours kept",
     [](TQuillcrafterDoc& d) { d.TextMacros().Items(0)->SetSize(11); },
     [](TQuillcrafterDoc& d) { d.TextMacros().Items(0)->SetSize(13); }, TMergeAction::Conflict,
     [](const Merged& m) { EXPECT_EQ(m.Result.TextMacros().Items(0)->Size(), 11); }},
};

class MergeRules : public ::testing::TestWithParam<int> {};

TEST_P(MergeRules, Row) {
  const Row& row = kRows[GetParam()];
  SCOPED_TRACE(row.Name);
  TQuillcrafterDoc base, ours, theirs;
  MakeBase(base);
  CopyDoc(base, ours);
  CopyDoc(base, theirs);
  row.Ours(ours);
  row.Theirs(theirs);
  Merged m;
  Merge(base, ours, theirs, m);
  const TMergeDecision* first = FirstChange(m.Plan);
  EXPECT_EQ(first ? first->Action : TMergeAction::Kept, row.Action);
  row.Check(m);
  // Whatever the outcome, the file reads back as it was written.
  const std::string bytes = SaveBytes(m.Result);
  TQuillcrafterDoc reread;
  LoadBytes(reread, bytes);
  EXPECT_EQ(SaveBytes(reread), bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, MergeRules, ::testing::Range(0, static_cast<int>(std::size(kRows))));

TEST(MergeRules, TakeChoosesThatSideForEveryConflict) {
  TQuillcrafterDoc base, ours, theirs;
  MakeBase(base);
  CopyDoc(base, ours);
  CopyDoc(base, theirs);
  SetLine(ours, 2, 3, "It takes an hour.\\par");
  SetLine(theirs, 2, 3, "It takes a day.\\par");
  Find(ours, 3)->SetTitle("Terms");
  Find(theirs, 3)->SetTitle("Words");
  Merged m;
  Merge(base, ours, theirs, m, TMergeResolution::Theirs);
  EXPECT_EQ(m.Plan.ConflictCount(), 2);
  EXPECT_EQ(m.Plan.UnresolvedCount(), 0);
  EXPECT_EQ(Shown(*Find(m.Result, 2))[2], "It takes a day.");
  EXPECT_EQ(Find(m.Result, 3)->Title(), "Words");
}

TEST(MergeRules, TopicsMatchByTitleAcrossRenumbering) {
  TQuillcrafterDoc base, ours, theirs;
  MakeBase(base);
  CopyDoc(base, ours);
  CopyDoc(base, theirs);
  Find(theirs, 3)->SetTopicID(30);
  Find(ours, 3)->SetStatus("Draft");
  Merged m;
  Merge(base, ours, theirs, m, TMergeResolution::Unresolved, TTopicMatchMode::tmByTitle);
  EXPECT_EQ(m.Plan.ConflictCount(), 0);
  ASSERT_NE(Find(m.Result, 30), nullptr);
  EXPECT_EQ(Find(m.Result, 30)->Status(), "Draft");
  EXPECT_EQ(m.Result.Topics().Count(), 3);
}

}  // namespace

namespace {

// As a window would: show the plan, change one decision, apply again.
TEST(MergeRules, OneDecisionChangedAndAppliedAgain) {
  TQuillcrafterDoc base, ours, theirs;
  MakeBase(base);
  CopyDoc(base, ours);
  CopyDoc(base, theirs);
  Find(ours, 1)->SetKeywords("print;save;export");
  Find(theirs, 1)->SetKeywords("save");
  SetLine(ours, 2, 3, "It takes an hour.\\par");
  SetLine(theirs, 2, 3, "It takes a day.\\par");
  Merged m;
  Merge(base, ours, theirs, m);
  ASSERT_EQ(Find(m.Result, 1)->Keywords(), "save;export");
  for (TMergeDecision& d : m.Plan.Decisions) {
    if (d.Name == "Keywords") d.Resolution = TMergeResolution::Ours;
    if (d.IsConflict()) d.Resolution = TMergeResolution::Theirs;
  }
  ApplyMerge(m.Plan, m.Result);
  EXPECT_EQ(Find(m.Result, 1)->Keywords(), "print;save;export");
  EXPECT_EQ(Shown(*Find(m.Result, 2)),
            ShownBody({"Run the setup program.", "It takes a day.", "Then restart."}));
  EXPECT_EQ(m.Result.Topics().Count(), 3);
}

}  // namespace
