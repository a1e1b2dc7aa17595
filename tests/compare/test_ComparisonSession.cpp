/// Tests for compare/ComparisonSession: what window and qctool rely on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compare/ComparisonSession.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tests/document/DocTestUtil.h"

namespace {

namespace fs = std::filesystem;
using doctest_util::AddTopic;

std::string Rtf(const std::string& body) { return "{\\rtf1\\ansi " + body + "\\par }"; }

class ComparisonSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("qc_session_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  /// Opens, from files, a pair of one topic each with these bodies, and selects it.
  void OpenOneTopicPair(TComparisonSession& session, const std::string& title, const std::string& latestBody,
                        const std::string& historyBody) {
    TQuillcrafterDoc latest;
    AddTopic(latest, 1, title, {Rtf(latestBody)});
    latest.SaveToFile(Path("L.qcp"));
    TQuillcrafterDoc history;
    AddTopic(history, 1, title, {Rtf(historyBody)});
    history.SaveToFile(Path("H.qcp"));
    session.OpenFiles(Path("L.qcp"), Path("H.qcp"));
    session.Select(0);
  }

  // Latest: 1 Setup (differs), 2 Intro (identical), 3 Extra (new).
  // History: 2 Intro, 1 Installing with another text, 7 Setup.
  std::string WritePair() {
    TQuillcrafterDoc latest;
    latest.ApplyStartSettings();
    AddTopic(latest, 1, "Setup", {Rtf("Run setup.")});
    AddTopic(latest, 2, "Intro", {Rtf("Hello")});
    AddTopic(latest, 3, "Extra", {Rtf("New")});
    latest.SaveToFile(Path("Latest.qcp"));
    TQuillcrafterDoc history;
    history.ApplyStartSettings();
    AddTopic(history, 2, "Intro", {Rtf("Hello")});
    AddTopic(history, 1, "Installing", {Rtf("Run the installer.")});
    AddTopic(history, 7, "Setup", {Rtf("Run setup.")});
    history.SaveToFile(Path("History.qcp"));
    return Path("Latest.qcp");
  }
  std::string Path(const std::string& name) const { return (FDir / name).string(); }

  struct TopicSpec {
    int32_t ID = 0;
    std::string Title = {};
    std::string Body = {};  // empty: the title
    std::string Keywords = {};
  };
  /// Gives the session Latest and History built from the given topics, in that order.
  static void SetTopics(TComparisonSession& session, const std::vector<TopicSpec>& latest,
                        const std::vector<TopicSpec>& history) {
    auto build = [](const std::vector<TopicSpec>& topics) {
      auto doc = std::make_unique<TQuillcrafterDoc>();
      doc->ApplyStartSettings();
      for (const TopicSpec& wanted : topics)
        AddTopic(*doc, wanted.ID, wanted.Title, {Rtf(wanted.Body.empty() ? wanted.Title : wanted.Body)})
            ->SetKeywords(wanted.Keywords);
      return doc;
    };
    session.SetDocuments(build(latest), build(history));
  }

  fs::path FDir;
};

TEST_F(ComparisonSessionTest, ClassesCountersAndPairFollowTheMatchMode) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  int resets = 0, selections = 0;
  const toolkit::TConnection observer = session.Changed.Connect([&](const TComparisonChange& change) {
    resets += change.EntriesReset;
    selections += change.SelectionChanged;
  });
  session.OpenFiles(WritePair(), Path("History.qcp"));
  ASSERT_EQ(session.LatestEntryCount(), 3);
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(session.EntryClass(0), tcDifferent);
  EXPECT_EQ(session.EntryClass(1), tcIdentical);
  EXPECT_EQ(session.EntryClass(2), tcNew);
  EXPECT_EQ(session.StatusText(0), "Different Topics: 1");
  EXPECT_EQ(session.StatusText(3), "New Topics: 1");

  session.Select(0);
  EXPECT_EQ(session.HistoryTopic()->Title(), "Installing");
  EXPECT_EQ(session.StatusText(5), "Different");
  EXPECT_GT(session.DiffEngine().Result1().Count(), 0);

  // By title the selected Setup pairs with History's Setup (ID 7), whose
  // text is the same: the shown pair belongs to the new mode.
  session.SetMatchMode(TTopicMatchMode::tmByTitle);
  EXPECT_EQ(session.SelectedIndex(), 0);
  EXPECT_EQ(session.HistoryTopic()->TopicID(), 7);
  EXPECT_EQ(session.EntryClass(0), tcIdenticalText);
  EXPECT_EQ(session.Counters().IdenticalTextCount(), 1);
  EXPECT_GE(selections, 3);
}

TEST_F(ComparisonSessionTest, AFailedOpenLeavesEverythingAsItWas) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.OpenFiles(WritePair(), Path("History.qcp"));
  session.Select(0);
  const TQCTopic* orig = session.LatestTopic();
  const TTopicCounters counters = session.Counters();
  int resets = 0;
  const toolkit::TConnection observer =
      session.Changed.Connect([&](const TComparisonChange& change) { resets += change.EntriesReset; });

  // A readable Latest with a missing History: neither side changes.
  TQuillcrafterDoc other;
  AddTopic(other, 9, "Other");
  other.SaveToFile(Path("Other.qcp"));
  EXPECT_ANY_THROW(session.OpenFiles(Path("Other.qcp"), Path("Missing.qcp")));
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(session.LatestEntryCount(), 3);
  EXPECT_EQ(session.LatestTopic(), orig);
  EXPECT_EQ(session.Counters(), counters);
  EXPECT_EQ(session.LatestFileName(), Path("Latest.qcp"));
  EXPECT_EQ(session.HistoryFileName(), Path("History.qcp"));

  // Without a History file the History document stays; the selection ends.
  session.OpenFiles(Path("Other.qcp"), std::nullopt);
  EXPECT_EQ(session.LatestEntryCount(), 1);
  EXPECT_EQ(session.LatestTopic(), nullptr);
  EXPECT_EQ(session.History().Topics().Count(), 3);
}

TEST_F(ComparisonSessionTest, CopiesApplyOnlyToADifferingPairAndReclassify) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.OpenFiles(WritePair(), Path("History.qcp"));
  const std::string historyBytes = doctest_util::SaveBytes(session.History());
  session.Select(1);  // identical: nothing to copy
  session.CopyToHistory();
  session.CopyTextToHistory();
  EXPECT_EQ(doctest_util::SaveBytes(session.History()), historyBytes);

  // A copy into Latest touches one entry; one into History may touch any.
  std::vector<int> entriesChanged;
  int classesChanged = 0;
  const toolkit::TConnection observer = session.Changed.Connect([&](const TComparisonChange& change) {
    if (change.ChangedEntry >= 0) entriesChanged.push_back(change.ChangedEntry);
    classesChanged += change.ClassesChanged;
  });
  session.Select(0);
  session.CopyTextToLatest();
  EXPECT_EQ(session.EntryClass(0), tcIdenticalText);
  EXPECT_EQ(session.Counters().DifferentCount(), 0);
  EXPECT_TRUE(session.PairDiffers());
  EXPECT_EQ(entriesChanged, std::vector<int>{0});
  EXPECT_EQ(classesChanged, 0);
  session.CopyToHistory();
  EXPECT_EQ(classesChanged, 1);
  EXPECT_EQ(session.HistoryTopic()->Title(), "Setup");
  EXPECT_EQ(session.EntryClass(0), tcIdentical);
  EXPECT_FALSE(session.PairDiffers());
  EXPECT_EQ(session.StatusText(5), "Identical");
}

TEST_F(ComparisonSessionTest, CountersAfterCopiesAreThoseOfAFreshClassification) {
  // Several Latest topics share a title, so in title mode one History topic
  // is the match of many entries; copies go both ways, whole and text only.
  std::vector<TopicSpec> latest, history;
  for (int id = 1; id <= 12; ++id) {
    latest.push_back({id, "T" + std::to_string(id % 4), "body " + std::to_string(id % 3)});
    if (id % 5 != 0) history.push_back({id, "T" + std::to_string(id % 3), "body " + std::to_string(id % 2)});
  }
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  SetTopics(session, latest, history);
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  const TTopicMatchMode modes[] = {TTopicMatchMode::tmByID, TTopicMatchMode::tmByTitle,
                                   TTopicMatchMode::tmByIDOrTitle};
  for (int step = 0; step < 60; ++step) {
    if (step % 20 == 0) session.SetMatchMode(modes[step / 20]);
    session.Select(static_cast<int>(next(static_cast<uint32_t>(session.EntryCount()))));
    session.Copy(static_cast<TCopyKind>(next(4)));
    TTopicCounters fresh;
    for (int i = 0; i < session.EntryCount(); ++i) ++fresh.Counts[session.EntryClass(i)];
    ASSERT_EQ(session.Counters(), fresh) << "after step " << step;
  }
}

TEST_F(ComparisonSessionTest, TheDifferenceSeesTextOutsideTheFileCodePage) {
  // Greek that Windows-1252 cannot hold: the compared texts must still differ.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  OpenOneTopicPair(session, "Greek", "\\u945?\\u946?", "\\u947?\\u948?");
  EXPECT_EQ(session.PlainTextOf(session.LatestTopic()), "\xCE\xB1\xCE\xB2\r\n");
  const TStringList& rows = session.DiffEngine().Result1();
  ASSERT_EQ(rows.Count(), 1);
  EXPECT_EQ(DiffEntryKind(rows[0]), dkChanged);
}

TEST_F(ComparisonSessionTest, ANulInATopicIsComparedAsItsSymbol) {
  // The engine would stop at a NUL and call texts equal that differ after it.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  OpenOneTopicPair(session, "Nul", "a\\'00b\\par same\\u0 ?after", "a\\'00c\\par same\\u0 ?after");
  EXPECT_EQ(session.PlainTextOf(session.LatestTopic()),
            "a\xE2\x90\x80"
            "b\r\nsame\xE2\x90\x80"
            "after\r\n");
  const TStringList& rows = session.DiffEngine().Result1();
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(DiffEntryKind(rows[0]), dkChanged);
  EXPECT_EQ(DiffEntryKind(rows[1]), dkSame);
}

/// The IDs of the entries after the Latest ones: the History topics no
/// Latest topic matches.
std::vector<int32_t> DeletedIDs(const TComparisonSession& session) {
  std::vector<int32_t> ids;
  for (int i = session.LatestEntryCount(); i < session.EntryCount(); ++i) {
    const TComparisonEntry entry = session.Entry(i);
    EXPECT_EQ(entry.Latest, nullptr);
    EXPECT_EQ(entry.Class, tcDeleted);
    ids.push_back(entry.History->TopicID());
  }
  return ids;
}

TEST_F(ComparisonSessionTest, HistoryTopicsNoLatestTopicMatchesAreDeletedEntriesInEveryMode) {
  // Latest: 1 Setup, 2 Intro, 4 Notes. History: 2 Intro, 1 Installing,
  // 7 Setup, 9 Notes. By ID, 7 and 9 have no partner; by title only 1; by
  // ID or title Notes finds 9 through its title, and 7 is left.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  int entriesChanged = 0;
  const toolkit::TConnection observer = session.Changed.Connect(
      [&](const TComparisonChange& change) { entriesChanged += change.EntriesMoved; });
  SetTopics(session, {{1, "Setup"}, {2, "Intro"}, {4, "Notes"}},
            {{2, "Intro"}, {1, "Installing"}, {7, "Setup"}, {9, "Notes"}});
  EXPECT_EQ(DeletedIDs(session), (std::vector<int32_t>{7, 9}));
  EXPECT_EQ(session.StatusText(tcDeleted), "Deleted Topics: 2");
  EXPECT_EQ(session.EntryCaption(4), "Notes (9)");

  // Selecting one shows its lines against nothing on the Latest side.
  session.Select(3);
  EXPECT_EQ(session.LatestTopic(), nullptr);
  ASSERT_NE(session.HistoryTopic(), nullptr);
  EXPECT_EQ(session.HistoryTopic()->TopicID(), 7);
  EXPECT_EQ(session.StatusText(5), "Deleted");
  const TStringList& latestRows = session.DiffEngine().Result1();
  const TStringList& historyRows = session.DiffEngine().Result2();
  ASSERT_GT(historyRows.Count(), 0);
  for (int i = 0; i < historyRows.Count(); ++i) {
    EXPECT_EQ(DiffEntryKind(latestRows[i]), dkFiller);
    EXPECT_EQ(DiffEntryKind(historyRows[i]), dkInserted);
  }
  EXPECT_FALSE(session.CanCopy(TCopyKind::TextToLatest));
  EXPECT_FALSE(session.CanCopy(TCopyKind::ToHistory));
  EXPECT_TRUE(session.CanCopy(TCopyKind::ToLatest));

  // By title History's Setup (7) pairs with Latest's Setup: the selection
  // follows the topic to that pair.
  session.SetMatchMode(TTopicMatchMode::tmByTitle);
  EXPECT_EQ(entriesChanged, 1);
  EXPECT_EQ(DeletedIDs(session), std::vector<int32_t>{1});
  EXPECT_EQ(session.SelectedIndex(), 0);
  EXPECT_EQ(session.HistoryTopic()->TopicID(), 7);
  EXPECT_EQ(session.Counters().DeletedCount(), 1);

  session.SetMatchMode(TTopicMatchMode::tmByIDOrTitle);
  EXPECT_EQ(DeletedIDs(session), std::vector<int32_t>{7});
  EXPECT_EQ(session.EntryClass(2), tcIdenticalText);  // Notes 4 with Notes 9, by its title
  EXPECT_EQ(session.Counters(), (TTopicCounters{{1, 1, 1, 0, 1}}));

  // Hidden, they are neither entries nor counted, and a selected one ends.
  session.Select(3);
  session.SetShowDeleted(false);
  EXPECT_EQ(session.EntryCount(), 3);
  EXPECT_EQ(session.StatusText(tcDeleted), "Deleted Topics: 0");
  EXPECT_EQ(session.SelectedIndex(), -1);
  EXPECT_EQ(session.HistoryTopic(), nullptr);
}

TEST_F(ComparisonSessionTest, CopiesOfTopicsOnOneSideAddThemAndUndoRemovesThemAgain) {
  // By title, History's 1 Installing is only in History while Latest has
  // ID 1; Latest's 5 Extra is new while History has ID 5.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetMatchMode(TTopicMatchMode::tmByTitle);
  SetTopics(session, {{1, "Setup"}, {2, "Intro"}, {5, "Extra"}},
            {{1, "Installing"}, {2, "Intro"}, {3, "Setup"}, {5, "Old"}, {7, "Gone"}});
  ASSERT_EQ(DeletedIDs(session), (std::vector<int32_t>{1, 5, 7}));
  const std::string latestBytes = doctest_util::SaveBytes(session.Latest());
  int entriesChanged = 0;
  const toolkit::TConnection observer = session.Changed.Connect(
      [&](const TComparisonChange& change) { entriesChanged += change.EntriesMoved; });

  // Installing takes the next free ID after the 1 it had: 3.
  session.Select(3);
  TQCTopic* installing = session.HistoryTopic();
  TQCTopic* added = session.Copy(TCopyKind::ToLatest);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->TopicID(), 3);
  EXPECT_EQ(added->ContextString(), "Inkwells3");
  EXPECT_EQ(added->Title(), "Installing");
  EXPECT_EQ(entriesChanged, 1);
  EXPECT_EQ(session.LatestEntryCount(), 4);
  EXPECT_EQ(session.LatestTopic(), added);
  EXPECT_EQ(session.HistoryTopic(), installing);
  EXPECT_EQ(session.EntryClass(session.SelectedIndex()), tcIdenticalText);
  EXPECT_EQ(DeletedIDs(session), (std::vector<int32_t>{5, 7}));
  // The pair differs only in its identity, and says so.
  EXPECT_EQ(JoinSummaries(session.SelectedFieldDifferences()),
            "TopicID: 1 \xE2\x86\x92 3; ContextString: Inkwells1 \xE2\x86\x92 Inkwells3");

  // The undo takes the very topic out again; the redo puts it back.
  TRemovedTopic removed = session.RemoveTopic(*added);
  EXPECT_EQ(doctest_util::SaveBytes(session.Latest()), latestBytes);
  EXPECT_EQ(DeletedIDs(session), (std::vector<int32_t>{1, 5, 7}));
  EXPECT_EQ(session.HistoryTopic(), installing);
  EXPECT_EQ(session.SelectedIndex(), 3);
  EXPECT_EQ(session.RestoreTopic(std::move(removed)), added);
  EXPECT_EQ(session.Latest().Topics().IndexOf(added), 2);
  EXPECT_EQ(session.LatestTopic(), added);

  // Extra goes to History as 6, the 5 it had being taken there; the entry
  // keeps its place and finds its copy. Text-only copies never add.
  session.Select(3);
  ASSERT_EQ(session.LatestTopic()->Title(), "Extra");
  EXPECT_FALSE(session.CanCopy(TCopyKind::TextToHistory));
  EXPECT_EQ(session.Copy(TCopyKind::ToLatest), nullptr);
  const int historyCount = session.History().Topics().Count();
  TQCTopic* copy = session.Copy(TCopyKind::ToHistory);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->TopicID(), 6);
  EXPECT_EQ(session.History().Topics().Count(), historyCount + 1);
  EXPECT_EQ(session.SelectedIndex(), 3);
  EXPECT_EQ(session.HistoryTopic(), copy);
  EXPECT_EQ(session.Counters().NewCount(), 0);
  session.RemoveTopic(*copy);
  EXPECT_EQ(session.HistoryTopic(), nullptr);
  EXPECT_EQ(session.EntryClass(3), tcNew);

  // Where the ID is free the copy keeps it and is identical.
  session.SetMatchMode(TTopicMatchMode::tmByID);
  session.Select(session.EntryIndexOf(session.History().Topics().Items(4)));
  ASSERT_EQ(session.HistoryTopic()->Title(), "Gone");
  TQCTopic* gone = session.Copy(TCopyKind::ToLatest);
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->TopicID(), 7);
  EXPECT_EQ(session.EntryClass(session.SelectedIndex()), tcIdentical);
  EXPECT_EQ(session.StatusText(5), "Identical");
}

TEST_F(ComparisonSessionTest, FieldDifferencesSayWhatSetsAPairApart) {
  // Title differs (with a Windows-1252 e acute), keywords differ by one
  // each way, and the text only in its formatting.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  SetTopics(session, {{1, "Setup", "\\b Run\\b0", "export; print"}, {2, "Caf\xE9", "", "a;b"}},
            {{1, "Installing", "Run", "print;save"}, {2, "Cafe", "", "b;a"}});
  const std::vector<TFieldDifference> differences = session.FieldDifferences(0);
  std::vector<std::string> summaries;
  for (const TFieldDifference& difference : differences) summaries.push_back(difference.Summary);
  EXPECT_EQ(summaries,
            (std::vector<std::string>{"Title: Installing \xE2\x86\x92 Setup",
                                      "Keywords: +export \xE2\x88\x92save", "Text: formatting only"}));
  ASSERT_EQ(differences.size(), 3u);
  EXPECT_EQ(differences[1].Latest, "export; print");
  EXPECT_EQ(differences[2].History, "Run\r\n");
  EXPECT_EQ(
      session.EntryToolTip(1),
      "Different; Title: Cafe \xE2\x86\x92 Caf\xC3\xA9; Keywords: order or spacing; Text: the words differ");
  session.Select(0);
  EXPECT_EQ(session.SelectedFieldDifferences().size(), 3u);
  EXPECT_EQ(session.EntryToolTip(5), "");
}

TEST_F(ComparisonSessionTest, BlanksAtLineEndsAreToldMarkedAndStoppedAt) {
  // Topic 1 differs only in a blank at its line's end, which the difference ignores.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  SetTopics(session, {{1, "Blank", "Run setup.  "}, {2, "Lead", "  Run"}},
            {{1, "Blank", "Run setup."}, {2, "Lead", "Run"}});
  EXPECT_EQ(session.EntryToolTip(0), "Different; Text: blanks at line ends differ");
  EXPECT_EQ(session.EntryToolTip(1), "Different; Text: blanks at line starts or ends differ");
  session.Select(0);
  ASSERT_EQ(session.Selection().BlankRows().size(), 1u);
  const TSelectedPair::TBlankRow& row = session.Selection().BlankRows()[0];
  EXPECT_EQ(row.Blanks.Spans1, (std::vector<std::pair<int, int>>{{10, 2}}));
  EXPECT_TRUE(row.Blanks.Spans2.empty());
  EXPECT_EQ(session.NextChangeRow(-1, true), row.Row);
  EXPECT_EQ(session.NextChangeRow(row.Row, true), -1);
}

TEST_F(ComparisonSessionTest, DoubtfulPairingsAreCountedAndNamed) {
  // By title, Latest 2 and 3 both match History 9.
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  SetTopics(session, {{1, "One"}, {2, "Same"}, {3, "Same"}}, {{1, "One"}, {9, "Same"}});
  session.SetMatchMode(TTopicMatchMode::tmByTitle);
  const TPairingDoubts doubts = session.PairingDoubts();
  EXPECT_EQ(doubts.SharedIDs, 0);
  EXPECT_EQ(doubts.SharedMatches, 2);
  EXPECT_EQ(doubts.Notes[1], "matches History topic 9, as Latest topic 3");
  EXPECT_EQ(doubts.Notes[0], "");
  EXPECT_EQ(session.PartnerIDIfOther(1), 9);
  EXPECT_EQ(session.PartnerIDIfOther(0), -1);
}

}  // namespace
