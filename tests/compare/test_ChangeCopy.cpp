/// Tests for compare/ChangeCopy: a copied change block gives the target the
/// expected mix of both texts, keeps every other file line byte for byte,
/// and its undo gives back the very bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compare/ChangeCopy.h"
#include "compare/ComparisonSession.h"
#include "compare/FormatDifferences.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tests/document/DocTestUtil.h"

namespace {

using doctest_util::AddTopic;
using doctest_util::TRandom;

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}";

/// A topic text of one paragraph per file line from a small vocabulary, so
/// that equal, changed, inserted and removed lines all come up; some
/// paragraphs are formatted.
std::vector<std::string> RandomText(TRandom& random) {
  static const char* const kWords[] = {"alpha", "beta", "gamma", "delta"};
  std::vector<std::string> lines{kHeader};
  const int count = random.Below(14);
  for (int i = 0; i < count; ++i) {
    std::string words = std::string(kWords[random.Below(4)]) + " " + kWords[random.Below(4)];
    switch (random.Below(4)) {
      case 0:
        words = "{\\b " + words + "}";
        break;
      case 1:
        words = "{\\f1\\cf1 " + words + "}";
        break;
      default:
        break;
    }
    lines.push_back("\\pard " + words + "\\par");
  }
  lines.push_back("}");
  return lines;
}

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

std::vector<std::string> PlainLines(const TComparisonSession& session, const TQCTopic* topic) {
  TStringList list;
  list.SetText(session.PlainTextOf(topic));
  return Lines(list);
}

TEST(ChangeCopyTest, RandomBlocksGiveTheMixAndKeepTheRestAndUndoExactly) {
  TRandom random(20261209);
  int spliced = 0, whole = 0;
  for (int round = 0; round < 600; ++round) {
    auto latest = std::make_unique<TQuillcrafterDoc>();
    auto history = std::make_unique<TQuillcrafterDoc>();
    latest->ApplyStartSettings();
    history->ApplyStartSettings();
    AddTopic(*latest, 1, "Topic", RandomText(random));
    AddTopic(*history, 1, "Topic", RandomText(random));
    TComparisonSession session(&qtbridge::CodePageToUtf8);
    session.SetDocuments(std::move(latest), std::move(history));
    session.Select(0);
    const std::vector<TdvHunk> blocks = ChangeBlocks(session.Selection());
    if (blocks.empty()) continue;
    const bool intoLatest = random.Below(2) == 0;
    const int block = random.Below(static_cast<int>(blocks.size()));
    TQCTopic* target = intoLatest ? session.LatestTopic() : session.HistoryTopic();
    const TQCTopic* source = intoLatest ? session.HistoryTopic() : session.LatestTopic();
    const std::vector<TdvDiffRow> rows = session.DiffEngine().Rows();
    const TRowLines lines = RowLines(rows, blocks[block].FirstRow, blocks[block].EndRow());
    const TLineRange into = intoLatest ? lines.Latest : lines.History;
    const TLineRange from = intoLatest ? lines.History : lines.Latest;
    const std::vector<std::string> targetPlain = PlainLines(session, target);
    const std::vector<std::string> sourcePlain = PlainLines(session, source);
    std::vector<std::string> expected(targetPlain.begin(), targetPlain.begin() + into.First);
    expected.insert(expected.end(), sourcePlain.begin() + from.First, sourcePlain.begin() + from.End);
    expected.insert(expected.end(), targetPlain.begin() + into.End, targetPlain.end());
    const std::vector<std::string> before = Lines(target->Text());
    const std::string beforeBytes = target->WholeText();

    std::optional<TTopicEdit> edit = MakeChangeCopy(session.Selection(), block, intoLatest);
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->Label(),
              "Copy Change " + std::to_string(block + 1) + " to " + (intoLatest ? "Latest" : "History"));
    session.Apply(*edit);
    SCOPED_TRACE(beforeBytes + "\n=>\n" + target->WholeText());
    EXPECT_EQ(PlainLines(session, target), expected);
    if (blocks.size() == 1 && session.SelectedFormatChanges().empty()) {
      // The last change: the texts read and look the same, and so are the same bytes.
      EXPECT_EQ(target->WholeText(), source->WholeText());
      ++whole;
      session.Revert(*edit);
      EXPECT_EQ(target->WholeText(), beforeBytes);
      continue;
    }
    // File line 0 is the header and line i + 1 holds plain line i: the lines
    // around the block are the same bytes.
    const std::vector<std::string> after = Lines(target->Text());
    ++spliced;
    const size_t head = static_cast<size_t>(into.First) + 1;
    const size_t tail = before.size() - std::min(before.size(), static_cast<size_t>(into.End) + 1);
    ASSERT_GE(after.size(), head + tail);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + head, after.begin()));
    EXPECT_TRUE(std::equal(before.end() - tail, before.end(), after.end() - tail));

    session.Revert(*edit);
    EXPECT_EQ(target->WholeText(), beforeBytes);
    EXPECT_EQ(ChangeBlocks(session.Selection()), blocks);
  }
  // Both kinds of copy came up often.
  EXPECT_GT(spliced, 30);
  EXPECT_GT(whole, 30);
}

TEST(ChangeCopyTest, SelectedRowsCopyOnlyTheirChangesAndEqualTextsMakeTheTopicIdentical) {
  auto latest = std::make_unique<TQuillcrafterDoc>();
  auto history = std::make_unique<TQuillcrafterDoc>();
  latest->ApplyStartSettings();
  history->ApplyStartSettings();
  AddTopic(*latest, 1, "Topic",
           {kHeader, "one\\par", "two\\par", "alpha\\par", "beta\\par", "gamma\\par", "delta\\par", "}"});
  AddTopic(*history, 1, "Topic",
           {kHeader, "one\\par", "deux\\par", "alpha\\par", "beta\\par", "gamma\\par", "delta\\par",
            "four\\par", "}"});
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetDocuments(std::move(latest), std::move(history));
  session.Select(0);
  ASSERT_EQ(ChangeBlocks(session.Selection()).size(), 2u);
  // A selection of equal rows only copies nothing.
  EXPECT_FALSE(MakeRowsCopy(session.Selection(), 0, 1, true).has_value());
  // Rows 0..2 hold the changed "two" only (four equal lines set the
  // blocks apart: fewer would not resynchronise the difference).
  std::optional<TTopicEdit> edit = MakeRowsCopy(session.Selection(), 0, 3, true);
  ASSERT_TRUE(edit.has_value());
  session.Apply(*edit);
  EXPECT_EQ(Lines(session.LatestTopic()->Text()),
            (std::vector<std::string>{kHeader, "one\\par", Lines(session.LatestTopic()->Text())[2],
                                      "alpha\\par", "beta\\par", "gamma\\par", "delta\\par", "}"}));
  EXPECT_EQ(PlainLines(session, session.LatestTopic())[1], "deux");
  ASSERT_EQ(ChangeBlocks(session.Selection()).size(), 1u);
  // The inserted line goes in too, and the texts then read the same.
  std::optional<TTopicEdit> rest = MakeChangeCopy(session.Selection(), 0, true);
  ASSERT_TRUE(rest.has_value());
  session.Apply(*rest);
  EXPECT_TRUE(ChangeBlocks(session.Selection()).empty());
  EXPECT_EQ(session.EntryClass(0), tcIdentical);
  EXPECT_FALSE(MakeChangeCopy(session.Selection(), 0, true).has_value());
}

// On the example pair: a row that reads the same but looks different takes
// the source's look and nothing else; copied the other way it goes back.
TEST(ChangeCopyTest, FormattingCopiesOnTheExamplePair) {
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.OpenFiles(QC_SOURCE_DIR "/examples/Latest.qcp", std::string(QC_SOURCE_DIR "/examples/History.qcp"));
  int copies = 0;
  for (int entry = 0; entry < session.EntryCount(); ++entry) {
    session.Select(entry);
    for (const TRowFormatChange& change : session.SelectedFormatChanges()) {
      for (bool intoLatest : {true, false}) {
        TQCTopic* target = intoLatest ? session.LatestTopic() : session.HistoryTopic();
        const std::string before = target->WholeText();
        const std::string plain = session.PlainTextOf(target);
        const size_t formatRows = session.SelectedFormatChanges().size();
        std::optional<TTopicEdit> edit = MakeFormatCopy(session.Selection(), change.Row, intoLatest);
        ASSERT_TRUE(edit.has_value());
        session.Apply(*edit);
        EXPECT_EQ(session.PlainTextOf(target), plain);
        EXPECT_EQ(session.SelectedFormatChanges().size(), formatRows - 1);
        session.Revert(*edit);
        EXPECT_EQ(target->WholeText(), before);
        ++copies;
      }
    }
    // A changed row has no formatting of its own to copy.
    for (const TdvHunk& block : ChangeBlocks(session.Selection()))
      EXPECT_FALSE(MakeFormatCopy(session.Selection(), block.FirstRow, true).has_value());
  }
  EXPECT_GT(copies, 0);
}

}  // namespace
