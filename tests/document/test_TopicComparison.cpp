/// Tests for TopicComparison.cpp: matching, classification, recount and panel texts.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "document/QuillcrafterDoc.h"
#include "document/TopicComparison.h"
#include "tests/document/DocTestUtil.h"

using namespace doctest_util;

namespace {

struct T {
  int32_t id;
  std::string title;
  std::string body;  // one text line
  std::string keywords = "";
};

/// Loads Topics into Doc through the file reader, so that duplicate IDs
/// and file order are kept as a real file would give them.
void LoadTopics(TQuillcrafterDoc& doc, const std::vector<T>& topics) {
  TQuillcrafterDoc source;
  for (size_t i = 0; i < topics.size(); ++i) {
    TQCTopic* topic = AddTopic(source, static_cast<int32_t>(900000 + i), topics[i].title, {topics[i].body});
    topic->SetKeywords(topics[i].keywords);
  }
  std::vector<std::string> lines = SplitLines(SaveBytes(source));
  for (std::string& line : lines)
    for (size_t i = 0; i < topics.size(); ++i) {
      if (line == std::to_string(900000 + i)) line = std::to_string(topics[i].id);
      if (line == "Inkwells" + std::to_string(900000 + i)) line = "Inkwells" + std::to_string(topics[i].id);
    }
  LoadBytes(doc, JoinLines(lines));
}

const char* ClassName(TTopicComparison c) { return ClassInfo(c).Key; }

struct ClassCase {
  const char* name;
  std::vector<T> history;
  T latest;
  /// Expected class under match by ID, by title, by ID or title.
  TTopicComparison byID, byTitle, byIDOrTitle;
};

void PrintTo(const ClassCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

class Classification : public testing::TestWithParam<ClassCase> {};

TEST_P(Classification, UnderEachMatchMode) {
  const ClassCase& c = GetParam();
  TQuillcrafterDoc history, latest;
  LoadTopics(history, c.history);
  LoadTopics(latest, {c.latest});
  const TQCTopic& topic = *latest.Topics().Items(0);
  const TTopicComparison expected[] = {c.byID, c.byTitle, c.byIDOrTitle};
  for (int mode = 0; mode < 3; ++mode) {
    const TTopicComparison got = CompareTopic(topic, history.Topics(), MatchModeFromIndex(mode));
    EXPECT_STREQ(ClassName(got), ClassName(expected[mode])) << MatchModeTable[static_cast<size_t>(mode)].Name;
    TTopicMatcher matcher(history.Topics());
    EXPECT_EQ(matcher.CompareTopic(topic, MatchModeFromIndex(mode)), got) << "indexed matcher, mode " << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Part, Classification,
    testing::Values(
        ClassCase{"EmptyHistory", {}, {1, "A", "x"}, tcNew, tcNew, tcNew},
        ClassCase{"SameEverything", {{1, "A", "x"}}, {1, "A", "x"}, tcIdentical, tcIdentical, tcIdentical},
        ClassCase{"OtherKeywordsOnly",
                  {{1, "A", "x", "k"}},
                  {1, "A", "x"},
                  tcIdenticalText,
                  tcIdenticalText,
                  tcIdenticalText},
        ClassCase{
            "TrailingBlankInTheText", {{1, "A", "x "}}, {1, "A", "x"}, tcDifferent, tcDifferent, tcDifferent},
        ClassCase{"DuplicateHistoryIDsEarlierWins",
                  {{7, "A", "old"}, {7, "A", "x"}},
                  {7, "A", "x"},
                  tcDifferent,
                  tcDifferent,
                  tcDifferent},
        ClassCase{
            "SameIDOtherTitle", {{5, "Old", "x"}}, {5, "New", "x"}, tcIdenticalText, tcNew, tcIdenticalText},
        ClassCase{"TitleDiffersInCase", {{9, "printing", "x"}}, {1, "Printing", "x"}, tcNew, tcNew, tcNew},
        ClassCase{"SameTitleOtherID",
                  {{9, "Printing", "x"}},
                  {1, "Printing", "x"},
                  tcNew,
                  tcIdenticalText,
                  tcIdenticalText},
        ClassCase{"IDWinsOverTitle",
                  {{1, "Other", "y"}, {2, "Printing", "x"}},
                  {1, "Printing", "x"},
                  tcDifferent,
                  tcIdenticalText,
                  tcDifferent},
        ClassCase{"EmptyTitlesMatchByClassName",
                  {{3, "", "x"}},
                  {4, "", "x"},
                  tcNew,
                  tcIdenticalText,
                  tcIdenticalText},
        ClassCase{"TitleEqualToTheClassName",
                  {{3, "TQCTopic", "x"}},
                  {4, "", "x"},
                  tcNew,
                  tcIdenticalText,
                  tcIdenticalText},
        ClassCase{"FirstTitleMatchWins",
                  {{3, "Dup", "y"}, {4, "Dup", "x"}},
                  {9, "Dup", "x"},
                  tcNew,
                  tcDifferent,
                  tcDifferent}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatchMode, AnyOtherIndexMatchesByID) {
  EXPECT_EQ(MatchModeFromIndex(-1), TTopicMatchMode::tmByID);
  EXPECT_EQ(MatchModeFromIndex(3), TTopicMatchMode::tmByID);
  EXPECT_STREQ(MatchModeTable[2].Name, "Match Topics By ID or Title");
}

TEST(Tables, EveryRowStandsAtItsOrdinalAndEveryNameLeadsBack) {
  // The window's item index, the class's panel and colour index are the row's place.
  for (int i = 0; i < MatchModeCount; ++i) {
    const TMatchModeInfo& info = MatchModeTable[static_cast<size_t>(i)];
    EXPECT_EQ(static_cast<int>(info.Mode), i);
    EXPECT_EQ(MatchModeFromIndex(i), info.Mode);
    EXPECT_EQ(MatchModeFromToken(info.Token), info.Mode) << info.Token;
  }
  for (const char* token : {"", "ID", "id ", "id-or", "by-title"})
    EXPECT_FALSE(MatchModeFromToken(token).has_value()) << token;
  std::set<std::string> keys, marks;
  for (int i = 0; i < TopicComparisonCount; ++i) {
    const TTopicClassInfo& info = TopicClassTable[static_cast<size_t>(i)];
    EXPECT_EQ(static_cast<int>(info.Class), i);
    EXPECT_EQ(&ClassInfo(info.Class), &info);
    keys.insert(info.Key);
    marks.insert(info.Mark);
  }
  EXPECT_EQ(keys.size(), size_t{TopicComparisonCount});
  EXPECT_EQ(marks.size(), size_t{TopicComparisonCount});
}

TEST(Recount, PanelTextsAndThePairState) {
  TQuillcrafterDoc latest, history;
  // An empty Latest document: all zero.
  TTopicCounters counters = RecountTopics(latest.Topics(), history.Topics(), TTopicMatchMode::tmByID);
  EXPECT_EQ(counters, TTopicCounters{});
  LoadTopics(latest, {{1, "A", "x"}, {2, "B", "y"}, {3, "C", "z"}});
  // An empty History document: every Latest topic is new.
  counters = RecountTopics(latest.Topics(), history.Topics(), TTopicMatchMode::tmByID);
  EXPECT_EQ(StatusPanelText(counters, tcNew), "New Topics: 3");
  EXPECT_EQ(StatusPanelText(counters, tcDifferent), "Different Topics: 0");
  EXPECT_EQ(StatusPanelText(counters, tcIdentical), "Identical Topics: 0");
  EXPECT_EQ(StatusPanelText(counters, tcIdenticalText), "Identical Text Topics: 0");
  EXPECT_EQ(StatusPanelText(counters, tcDeleted), "Deleted Topics: 0");
  // A History topic of its own changes no counter.
  LoadTopics(history, {{1, "A", "x"}, {2, "B", "changed"}, {50, "Only here", "q"}});
  counters = RecountTopics(latest.Topics(), history.Topics(), TTopicMatchMode::tmByID);
  EXPECT_EQ(counters.IdenticalCount(), 1);
  EXPECT_EQ(counters.DifferentCount(), 1);
  EXPECT_EQ(counters.NewCount(), 1);
  EXPECT_EQ(counters.DeletedCount(), 0);

  const TQCTopic* a = latest.Topics().Items(0);
  const TQCTopic* c = latest.Topics().Items(2);
  EXPECT_STREQ(PairStateText(nullptr, nullptr), "Identical");
  EXPECT_STREQ(PairStateText(a, history.Topics().Items(0)), "Identical");
  EXPECT_STREQ(PairStateText(latest.Topics().Items(1), history.Topics().Items(1)), "Different");
  EXPECT_STREQ(PairStateText(c, nullptr), "Different") << "a selected New topic";
}

TEST(Recount, TheExamplePairShowsEveryClass) {
  TQuillcrafterDoc latest, history;
  latest.LoadFromFile(std::string(QC_SOURCE_DIR) + "/examples/Latest.qcp");
  history.LoadFromFile(std::string(QC_SOURCE_DIR) + "/examples/History.qcp");
  const std::pair<TTopicMatchMode, std::array<int32_t, 5>> expected[] = {
      {TTopicMatchMode::tmByID, {6, 3, 2, 3, 0}},
      {TTopicMatchMode::tmByTitle, {5, 3, 3, 3, 0}},
      {TTopicMatchMode::tmByIDOrTitle, {6, 3, 3, 2, 0}},
  };
  for (const auto& [mode, counts] : expected)
    EXPECT_EQ(RecountTopics(latest.Topics(), history.Topics(), mode).Counts, counts)
        << MatchModeTable[static_cast<size_t>(mode)].Name;
}

// --- The indexed matcher agrees with a plain scan after any change --------------------

namespace {

const TQCTopic* ReferenceMatch(const TQCTopics& history, const TQCTopic& topic, int mode) {
  auto byID = [&]() -> const TQCTopic* {
    for (int i = 0; i < history.Count(); ++i)
      if (history.Items(i)->TopicID() == topic.TopicID()) return history.Items(i);
    return nullptr;
  };
  auto byName = [&]() -> const TQCTopic* {
    for (int i = 0; i < history.Count(); ++i)
      if (history.Items(i)->DisplayName() == topic.DisplayName()) return history.Items(i);
    return nullptr;
  };
  if (mode == 1) return byName();
  if (mode == 2) return byID() ? byID() : byName();
  return byID();
}

}  // namespace

TEST(Matcher, AgreesWithTheScanUnderRandomChanges) {
  std::mt19937 rng(20261208);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::vector<std::string> titles = {"", "A", "B", "a", "C", "TQCTopic", "Long title"};
  std::vector<T> seed;
  for (int i = 0; i < 40; ++i) seed.push_back({pick(30), titles[static_cast<size_t>(pick(7))], "x"});
  TQuillcrafterDoc history, latest;
  LoadTopics(history, seed);  // duplicates and out-of-order IDs included
  for (int id = -2; id < 35; ++id) {
    TQCTopic* topic = latest.Topics().Add();
    topic->SetTopicID(id);
    topic->SetTitle(titles[static_cast<size_t>((id + 2) % 7)]);
  }
  TTopicMatcher matcher(history.Topics());
  TQCTopics& topics = history.Topics();
  for (int step = 0; step < 3000; ++step) {
    const int count = topics.Count();
    switch (pick(7)) {
      case 0:
        topics.Add();
        break;
      case 1:
        if (count > 0) topics.Delete(pick(count));
        break;
      case 2:
        if (count > 0) topics.Items(pick(count))->SetTitle(titles[static_cast<size_t>(pick(7))]);
        break;
      case 3:
        if (count > 0) topics.Items(pick(count))->SetTopicID(pick(40) - 3);
        break;
      case 4:
        if (count > 1) topics.Items(pick(count))->SetIndex(pick(count));  // breaks the ID order
        break;
      case 5:
        if (count > 1) topics.Items(pick(count))->Assign(*topics.Items(pick(count)));
        break;
      case 6:
        if (count > 0) topics.Insert(pick(count));
        break;
    }
    const TQCTopic& probe = *latest.Topics().Items(pick(latest.Topics().Count()));
    for (int mode = 0; mode < 3; ++mode) {
      const TQCTopic* expected = ReferenceMatch(topics, probe, mode);
      ASSERT_EQ(matcher.FindMatchingTopic(probe, MatchModeFromIndex(mode)), expected) << "step " << step;
      ASSERT_EQ(FindMatchingTopic(topics, probe, MatchModeFromIndex(mode)), expected) << "step " << step;
    }
  }
}
