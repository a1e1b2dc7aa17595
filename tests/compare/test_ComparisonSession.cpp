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

  // Latest: 1 Setup (differs), 2 Intro (identical), 3 Extra (new).
  // History: 2 Intro, 1 Installing with another text, 7 Setup.
  std::string WritePair() {
    TQuillcrafterDoc latest;
    TComparisonSession::ApplyDefaultSettings(latest);
    AddTopic(latest, 1, "Setup", {Rtf("Run setup.")});
    AddTopic(latest, 2, "Intro", {Rtf("Hello")});
    AddTopic(latest, 3, "Extra", {Rtf("New")});
    latest.SaveToFile(Path("Latest.qcp"));
    TQuillcrafterDoc history;
    TComparisonSession::ApplyDefaultSettings(history);
    AddTopic(history, 2, "Intro", {Rtf("Hello")});
    AddTopic(history, 1, "Installing", {Rtf("Run the installer.")});
    AddTopic(history, 7, "Setup", {Rtf("Run setup.")});
    history.SaveToFile(Path("History.qcp"));
    return Path("Latest.qcp");
  }
  std::string Path(const std::string& name) const { return (FDir / name).string(); }

  fs::path FDir;
};

TEST_F(ComparisonSessionTest, ClassesCountersAndPairFollowTheMatchMode) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  int resets = 0, selections = 0;
  session.OnEntriesReset = [&] { ++resets; };
  session.OnSelectionChanged = [&] { ++selections; };
  session.OpenFiles(WritePair(), Path("History.qcp"));
  ASSERT_EQ(session.LatestEntryCount(), 3);
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(session.EntryClass(0), tcDifferent);
  EXPECT_EQ(session.EntryClass(1), tcIdentical);
  EXPECT_EQ(session.EntryClass(2), tcNew);
  EXPECT_EQ(session.StatusText(0), "Different Topics: 1");
  EXPECT_EQ(session.StatusText(3), "New Topics: 1");

  session.Select(0);
  EXPECT_EQ(session.HistTopic()->Title(), "Installing");
  EXPECT_EQ(session.StatusText(5), "Different");
  EXPECT_GT(session.DiffEngine().Result1().Count(), 0);

  // By title the selected Setup pairs with History's Setup (ID 7), whose
  // text is the same: the shown pair belongs to the new mode.
  session.SetMatchMode(TTopicMatchMode::tmByTitle);
  EXPECT_EQ(session.SelectedIndex(), 0);
  EXPECT_EQ(session.HistTopic()->TopicID(), 7);
  EXPECT_EQ(session.EntryClass(0), tcIdenticalText);
  EXPECT_EQ(session.Counters().IdenticalTextCount(), 1);
  EXPECT_GE(selections, 3);
}

TEST_F(ComparisonSessionTest, AFailedOpenLeavesEverythingAsItWas) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.OpenFiles(WritePair(), Path("History.qcp"));
  session.Select(0);
  const TQCTopic* orig = session.OrigTopic();
  const TTopicCounters counters = session.Counters();
  int resets = 0;
  session.OnEntriesReset = [&] { ++resets; };

  // A readable Latest with a missing History: neither side changes.
  TQuillcrafterDoc other;
  AddTopic(other, 9, "Other");
  other.SaveToFile(Path("Other.qcp"));
  EXPECT_ANY_THROW(session.OpenFiles(Path("Other.qcp"), Path("Missing.qcp")));
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(session.LatestEntryCount(), 3);
  EXPECT_EQ(session.OrigTopic(), orig);
  EXPECT_EQ(session.Counters(), counters);
  EXPECT_EQ(session.LatestFileName(), Path("Latest.qcp"));
  EXPECT_EQ(session.HistoryFileName(), Path("History.qcp"));

  // Without a History file the History document stays; the selection ends.
  session.OpenFiles(Path("Other.qcp"), std::nullopt);
  EXPECT_EQ(session.LatestEntryCount(), 1);
  EXPECT_EQ(session.OrigTopic(), nullptr);
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
  session.OnEntryChanged = [&](int index) { entriesChanged.push_back(index); };
  session.OnClassesChanged = [&] { ++classesChanged; };
  session.Select(0);
  session.CopyTextToLatest();
  EXPECT_EQ(session.EntryClass(0), tcIdenticalText);
  EXPECT_EQ(session.Counters().DifferentCount(), 0);
  EXPECT_TRUE(session.PairDiffers());
  EXPECT_EQ(entriesChanged, std::vector<int>{0});
  EXPECT_EQ(classesChanged, 0);
  session.CopyToHistory();
  EXPECT_EQ(classesChanged, 1);
  EXPECT_EQ(session.HistTopic()->Title(), "Setup");
  EXPECT_EQ(session.EntryClass(0), tcIdentical);
  EXPECT_FALSE(session.PairDiffers());
  EXPECT_EQ(session.StatusText(5), "Identical");
}

TEST_F(ComparisonSessionTest, TheDifferenceSeesTextOutsideTheFileCodePage) {
  // Greek that Windows-1252 cannot hold: the compared texts must still differ.
  TQuillcrafterDoc latest;
  AddTopic(latest, 1, "Greek", {Rtf("\\u945?\\u946?")});
  latest.SaveToFile(Path("L.qcp"));
  TQuillcrafterDoc history;
  AddTopic(history, 1, "Greek", {Rtf("\\u947?\\u948?")});
  history.SaveToFile(Path("H.qcp"));
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.OpenFiles(Path("L.qcp"), Path("H.qcp"));
  session.Select(0);
  EXPECT_EQ(session.PlainTextOf(session.OrigTopic()), "\xCE\xB1\xCE\xB2\r\n");
  const TStringList& rows = session.DiffEngine().Result1();
  ASSERT_EQ(rows.Count(), 1);
  EXPECT_EQ(DiffEntryKind(rows[0]), dkChanged);
}

}  // namespace
