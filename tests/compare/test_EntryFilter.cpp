/// Tests for compare/EntryFilter and compare/FormatDifferences: which entries
/// the list shows, and the lines whose formatting alone changed.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "compare/ComparisonSession.h"
#include "compare/EntryFilter.h"
#include "compare/FieldDifferences.h"
#include "compare/FormatDifferences.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tests/document/DocTestUtil.h"

namespace {

using doctest_util::AddTopic;

struct TTopic {
  int32_t ID;
  std::string Title;
  std::string Body;  // RTF paragraphs, each ended by \par
};

class EntryFilterTest : public ::testing::Test {
 protected:
  static void Open(TComparisonSession& session, const std::vector<TTopic>& latest,
                   const std::vector<TTopic>& history) {
    auto build = [](const std::vector<TTopic>& topics) {
      auto doc = std::make_unique<TQuillcrafterDoc>();
      doc->ApplyStartSettings();
      for (const TTopic& topic : topics)
        AddTopic(*doc, topic.ID, topic.Title,
                 {"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Tahoma;}}",
                  "\\uc1\\pard\\f0 " + topic.Body + "}"});
      return doc;
    };
    session.SetDocuments(build(latest), build(history));
  }
};

std::vector<int> Ids(TComparisonSession& session) {
  std::vector<int> ids;
  for (int index : session.Filter().Listed()) {
    const TComparisonEntry entry = session.Entry(index);
    ids.push_back((entry.Latest != nullptr ? entry.Latest : entry.History)->TopicID());
  }
  return ids;
}

TEST_F(EntryFilterTest, ClassesAndSearchDecideWhatIsListedAndCopiesAreSearchedAnew) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  // 1 different (History's text has the word), 2 identical, 3 identical text,
  // 4 new with a Greek title in its text, 5 only in History.
  Open(session,
       {{1, "Setup", "Run setup.\\par"},
        {2, "Intro", "Hello\\par"},
        {3, "Export", "Saves pages.\\par"},
        {4, "Greek", "\\u931?\\u927?\\u934?\\u921?\\u913? said\\par"}},
       {{1, "Setup", "Run the INSTALLER.\\par"},
        {2, "Intro", "Hello\\par"},
        {3, "Export as HTML", "Saves pages.\\par"},
        {5, "Old", "Gone\\par"}});
  TEntryFilter& filter = session.Filter();
  EXPECT_FALSE(filter.Active());
  EXPECT_EQ(Ids(session), (std::vector<int>{1, 2, 3, 4, 5}));

  // A class switched off leaves the list; the counts still tell all there is.
  filter.SetClassShown(tcIdentical, false);
  filter.SetClassShown(tcDeleted, false);
  EXPECT_TRUE(filter.Active());
  EXPECT_EQ(Ids(session), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(filter.Counts(), (std::array<int32_t, TopicComparisonCount>{1, 1, 1, 1, 1}));
  EXPECT_EQ(filter.RowOf(3), 2);
  EXPECT_EQ(filter.RowOf(1), -1);

  // The search ignores case and looks at both sides: History's text, History's
  // title, the ID, a Greek text read from \u escapes.
  filter.SetClassShown(tcIdentical, true);
  filter.SetClassShown(tcDeleted, true);
  filter.SetSearchText("installer");
  EXPECT_EQ(Ids(session), (std::vector<int>{1}));
  filter.SetSearchText("html");
  EXPECT_EQ(Ids(session), (std::vector<int>{3}));
  filter.SetSearchText("5");
  EXPECT_EQ(Ids(session), (std::vector<int>{5}));
  filter.SetSearchText("\xCF\x83\xCE\xBF\xCF\x86");  // σοφ
  EXPECT_EQ(Ids(session), (std::vector<int>{4}));
  filter.SetClassShown(tcDeleted, false);
  filter.SetSearchText("e");
  EXPECT_EQ(Ids(session), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(filter.Counts(), (std::array<int32_t, TopicComparisonCount>{1, 1, 1, 1, 1}));

  // F8 within the listed entries: identical ones and hidden ones are passed over.
  filter.SetClassShown(tcIdenticalText, false);
  bool wrapped = false;
  EXPECT_EQ(filter.NextDifferentListed(0, true, &wrapped), 3);
  EXPECT_EQ(filter.NextDifferentListed(3, true, &wrapped), 0);
  EXPECT_TRUE(wrapped);
  EXPECT_EQ(filter.NextDifferentListed(-1, false, &wrapped), 3);
  EXPECT_FALSE(wrapped);
  EXPECT_EQ(filter.NextListed(2, true), 3) << "from an entry that is not listed";

  // A copy changes the texts searched: Latest topic 1 takes History's text.
  filter.SetClassShown(tcIdenticalText, true);
  filter.SetClassShown(tcDeleted, true);
  filter.SetSearchText("installer");
  session.Select(0);
  session.Copy(TCopyKind::TextToLatest);
  session.Select(1);
  session.Copy(TCopyKind::ToHistory);  // identical already: nothing happens
  filter.SetSearchText("run the");
  EXPECT_EQ(Ids(session), (std::vector<int>{1}));
  filter.SetSearchText("run setup");
  EXPECT_EQ(Ids(session), (std::vector<int>{})) << "the old Latest text is not searched any more";
}

TEST_F(EntryFilterTest, TypingAndErasingFindWhatAFreshSearchFinds) {
  // Typing narrows the last search; erasing, or a search that does not
  // extend it, starts afresh. Either way the result is a fresh filter's.
  std::mt19937 random(20261209);
  const std::string letters = "abAB ";
  auto word = [&](size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += letters[random() % letters.size()];
    return text;
  };
  std::vector<TTopic> latest, history;
  for (int32_t id = 1; id <= 40; ++id) {
    latest.push_back({id, word(3), word(12) + "\\par"});
    if (id % 4 != 0) history.push_back({id + (id % 5 == 0 ? 100 : 0), word(3), word(12) + "\\par"});
  }
  TComparisonSession typed(&qtbridge::CodePageToUtf8);
  TComparisonSession fresh(&qtbridge::CodePageToUtf8);
  Open(typed, latest, history);
  Open(fresh, latest, history);
  std::string search;
  for (int step = 0; step < 300; ++step) {
    if (search.empty() || random() % 3 != 0)
      search += letters[random() % letters.size()];
    else
      search.pop_back();
    if (search.size() > 4) search = search.substr(2);
    typed.Filter().SetSearchText(search);
    TEntryFilter reference([&fresh]() -> const TPairComparison& { return fresh.Pair(); }, fresh.Selection());
    reference.SetSearchText(search);
    ASSERT_EQ(typed.Filter().Listed(), reference.Listed()) << "search '" << search << "'";
    ASSERT_EQ(typed.Filter().Counts(), reference.Counts()) << "search '" << search << "'";
  }
}

TEST_F(EntryFilterTest, LinesThatReadTheSameButLookDifferentAreTold) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  // Topic 1: a line inserted in History (the rows no longer count the
  // lines), then "Save" bold only in Latest, a font change, a centred
  // paragraph, a plain line, and a line with other words. Topic 2:
  // the words differ. Topic 3: formatting only. Changes read from History
  // to Latest: what Latest added is "added".
  Open(
      session,
      {{1, "Mixed",
        "Intro\\par Press \\b Save\\b0  now.\\par \\f1 Title\\f0\\par \\qc Centred\\par\\pard Plain\\par Old "
        "words\\par"},
       {2, "Words", "New words\\par"},
       {3, "Look", "\\i Same\\i0  words\\par"}},
      {{1, "Mixed",
        "Intro\\par Extra line\\par Press Save now.\\par Title\\par Centred\\par Plain\\par Other "
        "words\\par"},
       {2, "Words", "Old words\\par"},
       {3, "Look", "Same words\\par"}});
  session.Select(0);
  const std::vector<TRowFormatChange> changes = session.SelectedFormatChanges();
  std::vector<std::pair<std::string, std::string>> told;  // each row's Latest text and summary
  for (const TRowFormatChange& change : changes)
    told.emplace_back(session.DiffEngine().Rows()[static_cast<size_t>(change.Row)].Text1,
                      FormatChangeSummary(change.Change));
  EXPECT_EQ(told, (std::vector<std::pair<std::string, std::string>>{
                      {"Press Save now.", "bold added: 'Save'"},
                      {"Title", "font Arial \xE2\x86\x92 Tahoma: 'Title'"},
                      {"Centred", "alignment left \xE2\x86\x92 centre"}}));
  ASSERT_EQ(changes.size(), 3u);
  // The characters concerned, for the viewer's marks; a paragraph change has none.
  EXPECT_FALSE(changes[0].Change.Items[0].Paragraph);
  EXPECT_EQ(changes[0].Change.Items[0].Begin, 6u);
  EXPECT_EQ(changes[0].Change.Items[0].End, 10u);
  EXPECT_TRUE(changes[2].Change.Items[0].Paragraph);

  // The list marks only the pair whose texts read the same; the strip names its changes.
  EXPECT_FALSE(session.Filter().FormattingOnly(0));
  EXPECT_FALSE(session.Filter().FormattingOnly(1));
  EXPECT_TRUE(session.Filter().FormattingOnly(2));
  session.Select(2);
  EXPECT_EQ(DifferencesLine(session.SelectedFieldDifferences(), session.SelectedFormatChanges()),
            "Text: formatting only (italic added: 'Same')");
  session.Select(1);
  EXPECT_TRUE(session.SelectedFormatChanges().empty());
  EXPECT_EQ(DifferencesLine(session.SelectedFieldDifferences(), {}), "Text: the words differ");
}

}  // namespace
