/// Tests for compare/TopicEdit and compare/PairComparison on documents built
/// in memory: edits go back and forth exactly, and the pair comparison's
/// update after an edit is a fresh classification.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "compare/ComparisonSession.h"
#include "compare/PairComparison.h"
#include "compare/TopicEdit.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "tests/document/DocTestUtil.h"
#include "toolkit/Streams.h"

namespace {

using doctest_util::AddTopic;
using doctest_util::TRandom;

std::string Rtf(const std::string& body) { return "{\\rtf1\\ansi " + body + "\\par }"; }

/// Topics with few titles and bodies, so that matches, equal pairs and
/// titles shared by several topics all come up.
std::unique_ptr<TQuillcrafterDoc> RandomDocument(TRandom& random, int topics) {
  auto doc = std::make_unique<TQuillcrafterDoc>();
  doc->ApplyStartSettings();
  for (int id = 1; id <= topics; ++id) {
    if (random.Below(4) == 0) continue;
    AddTopic(*doc, id, "T" + std::to_string(random.Below(5)),
             {Rtf("body " + std::to_string(random.Below(3))), Rtf("line " + std::to_string(random.Below(2)))})
        ->SetKeywords(random.Below(3) == 0 ? "k" : "");
  }
  return doc;
}

std::string Bytes(TQuillcrafterDoc& doc) {
  TMemoryStream stream;
  doc.SaveToStream(stream);
  return stream.DataString();
}

TTopicCounters FreshCounters(const TQuillcrafterDoc& latest, const TQuillcrafterDoc& history,
                             TTopicMatchMode mode) {
  TPairComparison fresh(const_cast<TQuillcrafterDoc&>(latest), const_cast<TQuillcrafterDoc&>(history), mode);
  return fresh.Counters();
}

/// A random edit of the session's selected pair, or of one topic.
std::optional<TTopicEdit> RandomEdit(TComparisonSession& session, TRandom& random) {
  switch (random.Below(4)) {
    case 0: {
      TQuillcrafterDoc& doc = random.Below(2) == 0 ? session.Latest() : session.History();
      if (doc.Topics().Count() == 0) return std::nullopt;
      return TTopicEdit::Remove(*doc.Topics().Items(random.Below(doc.Topics().Count())),
                                &doc == &session.Latest());
    }
    case 1: {
      // A text of other lines, as a splice of a range of lines gives one.
      TQCTopic* topic = session.LatestTopic() != nullptr ? session.LatestTopic() : session.HistoryTopic();
      if (topic == nullptr) return std::nullopt;
      TStringList text;
      text.Add(Rtf("spliced " + std::to_string(random.Below(3))));
      return TTopicEdit::Text(*topic, text, topic == session.LatestTopic());
    }
    default:
      return session.MakeCopy(static_cast<TCopyKind>(random.Below(4)));
  }
}

TEST(TopicEditTest, ApplyRevertAndApplyAgainGiveTheSameBytesAndFreshCounters) {
  TRandom random(2024);
  const TTopicMatchMode modes[] = {TTopicMatchMode::tmByID, TTopicMatchMode::tmByTitle,
                                   TTopicMatchMode::tmByIDOrTitle};
  int applied = 0;
  for (int round = 0; round < 6; ++round) {
    TComparisonSession session(&qtbridge::CodePageToUtf8);
    session.SetDocuments(RandomDocument(random, 12), RandomDocument(random, 12));
    session.SetMatchMode(modes[round % 3]);
    int notices = 0;
    toolkit::TConnection counting =
        session.Changed.Connect([&notices](const TComparisonChange&) { ++notices; });
    // Edits that stay applied pile up, so later ones meet the effects of earlier ones.
    std::vector<TTopicEdit> kept;
    for (int step = 0; step < 40; ++step) {
      session.Select(random.Below(session.EntryCount() + 1) - 1);
      std::optional<TTopicEdit> edit = RandomEdit(session, random);
      if (!edit) continue;
      const std::string latest = Bytes(session.Latest());
      const std::string history = Bytes(session.History());
      auto checkCounters = [&](const char* when) {
        EXPECT_EQ(session.Counters(), FreshCounters(session.Latest(), session.History(), session.MatchMode()))
            << edit->Label() << ", " << when << ", step " << step;
      };
      notices = 0;
      session.Apply(*edit);
      EXPECT_EQ(notices, 1) << edit->Label();
      checkCounters("applied");
      const std::string appliedLatest = Bytes(session.Latest());
      const std::string appliedHistory = Bytes(session.History());
      session.Revert(*edit);
      checkCounters("reverted");
      ASSERT_EQ(Bytes(session.Latest()), latest) << edit->Label() << ", step " << step;
      ASSERT_EQ(Bytes(session.History()), history) << edit->Label() << ", step " << step;
      session.Apply(*edit);
      checkCounters("applied again");
      ASSERT_EQ(Bytes(session.Latest()), appliedLatest) << edit->Label() << ", step " << step;
      ASSERT_EQ(Bytes(session.History()), appliedHistory) << edit->Label() << ", step " << step;
      EXPECT_THROW(session.Apply(*edit), EInvalidOperation);
      kept.push_back(std::move(*edit));
      ++applied;
    }
    // Taken back newest first, every edit leaves what was before it.
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) session.Revert(*it);
    EXPECT_EQ(session.Counters(), FreshCounters(session.Latest(), session.History(), session.MatchMode()));
  }
  EXPECT_GT(applied, 100);
}

TEST(TopicEditTest, CopiesAreLabelledAsTheUndoMenuShowsThem) {
  auto latest = std::make_unique<TQuillcrafterDoc>();
  auto history = std::make_unique<TQuillcrafterDoc>();
  AddTopic(*latest, 1, "Setup", {Rtf("Run setup.")});
  AddTopic(*history, 1, "Installing", {Rtf("Run the installer.")});
  TComparisonSession session(&qtbridge::CodePageToUtf8);
  session.SetDocuments(std::move(latest), std::move(history));
  session.Select(0);
  EXPECT_EQ(session.MakeCopy(TCopyKind::ToLatest)->Label(), "Copy Topic 'Installing' to Latest");
  EXPECT_EQ(session.MakeCopy(TCopyKind::TextToHistory)->Label(), "Copy Topic Text 'Installing' to History");
}

TEST(PairComparisonTest, TheUpdateAfterAnEditIsAFreshClassification) {
  TRandom random(77);
  for (const TTopicMatchMode mode :
       {TTopicMatchMode::tmByID, TTopicMatchMode::tmByTitle, TTopicMatchMode::tmByIDOrTitle}) {
    std::unique_ptr<TQuillcrafterDoc> latest = RandomDocument(random, 15);
    std::unique_ptr<TQuillcrafterDoc> history = RandomDocument(random, 15);
    TPairComparison pair(*latest, *history, mode);
    for (int step = 0; step < 80; ++step) {
      TQuillcrafterDoc& doc = random.Below(2) == 0 ? *latest : *history;
      if (doc.Topics().Count() == 0) continue;
      TQCTopic& topic = *doc.Topics().Items(random.Below(doc.Topics().Count()));
      const int what = random.Below(4);
      const TTopicEditUpdate update = pair.EditTopic(topic, [&] {
        if (what == 0)
          topic.SetTitle("T" + std::to_string(random.Below(5)));
        else if (what == 1)
          topic.SetKeywords(random.Below(2) == 0 ? "k" : "");
        else
          topic.SetWholeText(Rtf("body " + std::to_string(random.Below(3))));
      });
      if (update.ChangedEntry >= 0) {
        EXPECT_EQ(&doc, latest.get());
        EXPECT_EQ(pair.ClassifiedEntry(update.ChangedEntry).Latest, &topic);
      }
      const TPairComparison fresh(*latest, *history, mode);
      ASSERT_EQ(pair.Counters(), fresh.Counters()) << "step " << step;
      ASSERT_EQ(pair.EntryCount(), fresh.EntryCount()) << "step " << step;
      for (int i = 0; i < fresh.EntryCount(); ++i) {
        const TComparisonEntry mine = pair.ClassifiedEntry(i);
        const TComparisonEntry theirs = fresh.ClassifiedEntry(i);
        ASSERT_EQ(mine.Class, theirs.Class) << "entry " << i << ", step " << step;
        ASSERT_EQ(mine.Latest, theirs.Latest) << "entry " << i << ", step " << step;
        ASSERT_EQ(mine.History, theirs.History) << "entry " << i << ", step " << step;
      }
    }
  }
}

}  // namespace
