// The merge's invariants on random triples: merging a side with itself or
// with an unchanged side gives that side byte for byte; swapping the sides
// (and the side every conflict takes) gives the same project; nothing of
// either side goes missing without a decision that says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/merge/MergeTestUtil.h"

using namespace mergetest;

namespace {

const char* const kWords[] = {"note", "page", "book", "save", "print", "open", "the", "a", "now", "then"};
const char* const kKeywords[] = {"print", "save", "export", "notes", "setup", "help"};

std::string Word(std::mt19937& rng) { return kWords[rng() % std::size(kWords)]; }

std::string Paragraph(std::mt19937& rng) {
  std::string text = Word(rng);
  for (int i = static_cast<int>(rng() % 5); i >= 0; --i) text += " " + Word(rng);
  if (rng() % 4 == 0) text += " \\b " + Word(rng) + "\\b0";
  return text;
}

std::string Keywords(std::mt19937& rng) {
  std::string out;
  for (const char* k : kKeywords)
    if (rng() % 3 == 0) out += (out.empty() ? "" : ";") + std::string(k);
  return out;
}

void RandomBase(std::mt19937& rng, TQuillcrafterDoc& doc) {
  const int topics = 2 + static_cast<int>(rng() % 6);
  for (int i = 0; i < topics; ++i) {
    std::vector<std::string> paragraphs;
    for (int p = static_cast<int>(rng() % 5); p >= 0; --p) paragraphs.push_back(Paragraph(rng));
    Topic(doc, 1 + static_cast<int32_t>(rng() % 12), "Topic " + Word(rng) + std::to_string(i), paragraphs,
          Keywords(rng));
  }
}

/// A few random edits of topics, keywords, lines and options.
void RandomEdit(std::mt19937& rng, TQuillcrafterDoc& doc) {
  for (int i = doc.Topics().Count() - 1; i >= 0; --i) {
    TQCTopic* topic = doc.Topics().Items(i);
    switch (rng() % 9) {
      case 0:
        doc.Topics().Delete(i);
        continue;
      case 1:
        topic->SetTitle(topic->Title() + " " + Word(rng));
        break;
      case 2:
        topic->SetKeywords(Keywords(rng));
        break;
      case 3:
      case 4: {
        TStringList text;
        text.Assign(topic->Text());
        const int line = 2 + static_cast<int>(rng() % static_cast<unsigned>(text.Count() - 2));
        if (rng() % 2)
          text.Insert(line, Paragraph(rng) + "\\par");
        else if (line < text.Count() - 1)
          text.SetStrings(line, Paragraph(rng) + "\\par");
        topic->SetText(text);
        break;
      }
      default:
        break;
    }
  }
  if (rng() % 3 == 0) Topic(doc, 1 + static_cast<int32_t>(rng() % 14), "New " + Word(rng), {Paragraph(rng)});
  if (rng() % 4 == 0) doc.Options().SetTitle("Title " + Word(rng));
}

std::set<std::string> KeywordSet(const std::string& value) {
  std::set<std::string> items;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    if (end > start) items.insert(value.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

/// The project with each topic's keywords in one order and its text as the
/// lines it shows: which side's RTF a line keeps depends on the side the
/// merge started from.
std::string Normalised(TQuillcrafterDoc& doc) {
  for (int i = 0; i < doc.Topics().Count(); ++i) {
    TQCTopic* topic = doc.Topics().Items(i);
    TStringList shown;
    for (const std::string& line : Shown(*topic)) shown.Add(line);
    topic->SetText(shown);
    std::string sorted;
    for (const std::string& k : KeywordSet(topic->Keywords())) sorted += (sorted.empty() ? "" : ";") + k;
    topic->SetKeywords(sorted);
  }
  return SaveBytes(doc);
}

/// Every topic, keyword and shown line of Side is in the result unless a
/// decision about that topic says otherwise.
void ExpectNothingVanishes(const Merged& m, const TQuillcrafterDoc& side, bool ours) {
  for (int i = 0; i < side.Topics().Count(); ++i) {
    const TQCTopic& topic = *side.Topics().Items(i);
    bool removedByDecision = false, keywordsDecided = false;
    std::vector<std::pair<int, int>> decidedLines;
    for (const TMergeDecision& d : m.Plan.Decisions) {
      if ((ours ? d.OursIndex : d.TheirsIndex) != i || d.Part != "topic") continue;
      if (d.Level == TMergeLevel::Topic && (d.Action == TMergeAction::Deleted || d.IsConflict()))
        removedByDecision = true;
      if (d.Level == TMergeLevel::Field && d.Name == "Keywords") keywordsDecided = true;
      if (d.Level == TMergeLevel::TextBlock && d.Action != (ours ? TMergeAction::Ours : TMergeAction::Theirs))
        decidedLines.emplace_back(ours ? d.OursStart : d.TheirsStart, ours ? d.OursEnd : d.TheirsEnd);
    }
    const TQCTopic* merged = Find(m.Result, topic.TopicID());
    if (merged == nullptr) {
      EXPECT_TRUE(removedByDecision) << "topic " << topic.TopicID() << " vanished";
      continue;
    }
    if (!keywordsDecided) {
      for (const std::string& k : KeywordSet(topic.Keywords())) {
        EXPECT_TRUE(KeywordSet(merged->Keywords()).count(k)) << "keyword " << k << " vanished";
      }
    }
    const std::vector<std::string> lines = Shown(topic), result = Shown(*merged);
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
      const bool decided = std::any_of(decidedLines.begin(), decidedLines.end(),
                                       [line](const auto& r) { return line >= r.first && line < r.second; });
      if (!decided && !removedByDecision) {
        EXPECT_NE(std::find(result.begin(), result.end(), lines[static_cast<size_t>(line)]), result.end())
            << "line vanished";
      }
    }
  }
}

TEST(MergeRandom, Invariants) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TQuillcrafterDoc base, ours, theirs;
    RandomBase(rng, base);
    CopyDoc(base, ours);
    CopyDoc(base, theirs);
    RandomEdit(rng, ours);
    RandomEdit(rng, theirs);
    const std::string oursBytes = SaveBytes(ours), theirsBytes = SaveBytes(theirs);

    // A side merged with itself or with the unchanged base is that side.
    for (TQuillcrafterDoc* x : {&ours, &theirs}) {
      Merged same, oneSided, otherSided;
      Merge(base, *x, *x, same);
      Merge(base, *x, base, oneSided);
      Merge(base, base, *x, otherSided);
      const std::string bytes = SaveBytes(*x);
      EXPECT_EQ(SaveBytes(same.Result), bytes);
      EXPECT_EQ(SaveBytes(oneSided.Result), bytes);
      EXPECT_EQ(SaveBytes(otherSided.Result), bytes);
      EXPECT_EQ(same.Plan.ConflictCount() + oneSided.Plan.ConflictCount() + otherSided.Plan.ConflictCount(),
                0);
    }

    // Swapping the sides, each conflict taking the same file, gives the same project.
    Merged forward, backward;
    Merge(base, ours, theirs, forward, TMergeResolution::Ours);
    Merge(base, theirs, ours, backward, TMergeResolution::Theirs);
    EXPECT_EQ(Normalised(forward.Result), Normalised(backward.Result));

    Merged plain;
    Merge(base, ours, theirs, plain);
    ExpectNothingVanishes(plain, ours, true);
    ExpectNothingVanishes(plain, theirs, false);
    // Conflicts or not, the result is a project file that reads back as written.
    const std::string bytes = SaveBytes(plain.Result);
    TQuillcrafterDoc reread;
    LoadBytes(reread, bytes);
    EXPECT_EQ(SaveBytes(reread), bytes);
    // Neither input was touched.
    EXPECT_EQ(SaveBytes(ours), oursBytes);
    EXPECT_EQ(SaveBytes(theirs), theirsBytes);
  }
}

}  // namespace
