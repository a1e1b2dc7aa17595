/// Tests for diff/dvDiffEngine.cpp on many random text pairs: the result
/// invariants under every combination of options, and agreement with the
/// literal reference method (tests/diff/DiffReference.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "diff/dvDiffEngine.h"
#include "diff/dvDiffResult.h"
#include "tests/diff/DiffReference.h"
#include "tests/diff/DiffTestUtil.h"

namespace {

using Lines = std::vector<std::string>;

/// The engine with the switch to the indexed search under the test's control.
class SearchEngine : public TdvDiffEngine {
 public:
  explicit SearchEngine(int indexedFrom) { SetIndexedSearchFrom(indexedFrom); }
};

constexpr int kNeverIndexed = 1 << 30;

/// Lines from a small alphabet, so that equal, nearly equal (case, blanks,
/// ignored characters) and empty lines are frequent.
struct TextMaker {
  std::mt19937 random;
  explicit TextMaker(unsigned seed) : random(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  std::string Line() {
    static const char* const kPieces[] = {"a", "b", "A", "B", " ", "\t", "-", "\xC4", "\xE4", ""};
    std::string line;
    const int pieces = Below(4);
    for (int i = 0; i < pieces; ++i) line += kPieces[Below(10)];
    return line;
  }

  Lines Text(int maxLines) {
    Lines lines;
    const int count = Below(maxLines + 1);
    for (int i = 0; i < count; ++i) lines.push_back(Line());
    return lines;
  }

  /// A copy of Base with a few lines changed, inserted or deleted.
  Lines Edited(const Lines& base) {
    Lines lines = base;
    const int edits = Below(5);
    for (int e = 0; e < edits; ++e) {
      const int at = Below(static_cast<int>(lines.size()) + 1);
      switch (Below(3)) {
        case 0:
          lines.insert(lines.begin() + at, Line());
          break;
        case 1:
          if (at < static_cast<int>(lines.size())) lines.erase(lines.begin() + at);
          break;
        default:
          if (at < static_cast<int>(lines.size())) lines[static_cast<size_t>(at)] = Line();
      }
    }
    return lines;
  }
};

struct Config {
  TdvDiffOptions options;
  TdvCharSet ignoreChars;
  int matchDepth;
  std::string Describe() const {
    return "options bits " + std::to_string(options.Bits()) + ", depth " + std::to_string(matchDepth) +
           ", ignore count " + std::to_string(ignoreChars.count());
  }
};

std::vector<Config> AllConfigs() {
  TdvCharSet standard;
  for (int c = 0; c <= 32; ++c) standard.set(static_cast<size_t>(c));
  TdvCharSet dashAndA;
  dashAndA.set('-');
  dashAndA.set('A');
  std::vector<Config> configs;
  for (int bits = 0; bits < 16; ++bits)
    for (const TdvCharSet& ignore : {standard, TdvCharSet(), dashAndA})
      for (int depth : {1, 3})
        configs.push_back(Config{TdvDiffOptions::FromBits(static_cast<uint8_t>(bits)), ignore, depth});
  return configs;
}

/// Checks the invariants of a result; returns the first violation, or "".
std::string Violation(const TStringList& result1, const TStringList& result2, const Lines& text1,
                      const Lines& text2, const diff_reference::Settings& settings) {
  if (result1.Count() != result2.Count()) return "lengths differ";
  const std::string filler{static_cast<char>(dkFiller), ' '};
  Lines read1, read2;
  for (int row = 0; row < result1.Count(); ++row) {
    const std::string& e1 = result1[row];
    const std::string& e2 = result2[row];
    const int k1 = DiffEntryKind(e1), k2 = DiffEntryKind(e2);
    const std::string at = " at row " + std::to_string(row);
    const bool paired = (k1 == dkSame && k2 == dkSame) || (k1 == dkChanged && k2 == dkChanged) ||
                        (k1 == dkDeleted && k2 == dkFiller) || (k1 == dkFiller && k2 == dkInserted);
    if (!paired) return "kinds " + std::to_string(k1) + "/" + std::to_string(k2) + at;
    if (k1 == dkFiller && e1 != filler) return "malformed filler 1" + at;
    if (k2 == dkFiller && e2 != filler) return "malformed filler 2" + at;
    if (k1 != dkFiller) read1.emplace_back(DiffEntryText(e1));
    if (k2 != dkFiller) read2.emplace_back(DiffEntryText(e2));
    if (k1 == dkSame && !diff_reference::SameLine(read1.back(), read2.back(), settings))
      return "same row whose lines differ" + at;
  }
  if (read1 != text1) return "side 1 does not read back as text 1";
  if (read2 != text2) return "side 2 does not read back as text 2";
  return "";
}

TEST(DiffEngineRandom, InvariantsAndReferenceUnderEveryOptionCombination) {
  TextMaker maker(20261208);
  int pairs = 0;
  int configNumber = 0;
  for (const Config& config : AllConfigs()) {
    const diff_reference::Settings settings{config.options, config.ignoreChars, config.matchDepth};
    // Every search indexed from its first candidate on, or from the third square.
    SearchEngine engine(configNumber % 2 == 0 ? 0 : 2);
    ++configNumber;
    engine.SetDiffOptions(config.options);
    engine.SetIgnoreChars(config.ignoreChars);
    engine.SetMatchDepth(config.matchDepth);
    std::vector<int> progress;
    engine.OnDiffProgress = [&](int32_t percent) { progress.push_back(percent); };
    for (int trial = 0; trial < 60; ++trial, ++pairs) {
      // Half the pairs are unrelated texts, half are edits of each other.
      const Lines text1 = maker.Text(12);
      const Lines text2 = trial % 2 == 0 ? maker.Text(12) : maker.Edited(text1);
      progress.clear();
      engine.CompareStrings(diff_test::JoinLines(text1), diff_test::JoinLines(text2, "\r\n"));

      const std::string violation = Violation(engine.Result1(), engine.Result2(), text1, text2, settings);
      ASSERT_EQ(violation, "") << config.Describe() << ", trial " << trial;
      const diff_reference::Outcome expected = diff_reference::Diff(text1, text2, settings);
      ASSERT_EQ(diff_test::Entries(engine.Result1()), expected.result1)
          << config.Describe() << ", trial " << trial;
      ASSERT_EQ(diff_test::Entries(engine.Result2()), expected.result2)
          << config.Describe() << ", trial " << trial;
      ASSERT_EQ(progress, expected.progress) << config.Describe() << ", trial " << trial;
    }
  }
  EXPECT_EQ(pairs, 96 * 60);
}

TEST(DiffEngineRandom, LongerEditedTextsAgreeWithTheReference) {
  // Longer texts reach deeper searches and repeated blocks within one run.
  TextMaker maker(77);
  SearchEngine engine(1);
  engine.SetDiffOptions(kMainWindowDiffOptions);
  const diff_reference::Settings settings{kMainWindowDiffOptions, engine.IgnoreChars(), 3};
  for (int trial = 0; trial < 150; ++trial) {
    const Lines text1 = maker.Text(120);
    const Lines text2 = trial % 3 == 0 ? maker.Text(120) : maker.Edited(maker.Edited(text1));
    engine.CompareStrings(diff_test::JoinLines(text1), diff_test::JoinLines(text2));
    const diff_reference::Outcome expected = diff_reference::Diff(text1, text2, settings);
    ASSERT_EQ(diff_test::Entries(engine.Result1()), expected.result1) << "trial " << trial;
    ASSERT_EQ(diff_test::Entries(engine.Result2()), expected.result2) << "trial " << trial;
  }
}

/// Rows() against the result lists they stand for, row by row.
std::string RowsViolation(const TdvDiffEngine& engine) {
  const TStringList& result1 = engine.Result1();
  const TStringList& result2 = engine.Result2();
  const std::vector<TdvDiffRow>& rows = engine.Rows();
  if (rows.size() != static_cast<size_t>(result1.Count()) || engine.RowCount() != result2.Count())
    return "row count " + std::to_string(rows.size()) + " for " + std::to_string(result1.Count());
  int lines[2] = {0, 0};
  for (int i = 0; i < engine.RowCount(); ++i) {
    const TdvDiffRow& row = rows[static_cast<size_t>(i)];
    if (&engine.Row(i) != &row) return "Row(i) is not Rows()[i]";
    const std::string at = " at row " + std::to_string(i);
    for (int side = 0; side < 2; ++side) {
      const std::string& entry = side == 0 ? result1[i] : result2[i];
      const TdvDiffKind kind = side == 0 ? row.Kind1 : row.Kind2;
      const int32_t line = side == 0 ? row.Line1 : row.Line2;
      const std::string_view text = side == 0 ? row.Text1 : row.Text2;
      const bool filler = DiffEntryKind(entry) == dkFiller;
      if (kind != DiffEntryKind(entry)) return "kind" + at;
      if (line != (filler ? -1 : lines[side]++)) return "line number " + std::to_string(line) + at;
      if (text != (filler ? std::string_view() : DiffEntryText(entry))) return "text" + at;
      const bool changedPair = row.Kind1 == dkChanged && row.Kind2 == dkChanged;
      if (!changedPair && !(side == 0 ? row.Spans1 : row.Spans2).empty()) return "spans" + at;
    }
  }
  return "";
}

TEST(DiffEngineRandom, RowsAgreeWithTheResultLists) {
  TextMaker maker(5150);
  // One engine for all pairs: rows of an earlier, longer result must not linger.
  TdvDiffEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  for (int trial = 0; trial < 300; ++trial) {
    const Lines text1 = maker.Text(40);
    const Lines text2 = trial % 2 == 0 ? maker.Text(40) : maker.Edited(text1);
    // Now and then the rows are read while the run goes on, too.
    std::string during;
    if (trial % 3 == 0)
      engine.OnDiffProgress = [&](int32_t) {
        if (during.empty()) during = RowsViolation(engine);
      };
    else
      engine.OnDiffProgress = nullptr;
    engine.CompareStrings(diff_test::JoinLines(text1), diff_test::JoinLines(text2));
    ASSERT_EQ(during, "") << "trial " << trial << ", during the run";
    ASSERT_EQ(RowsViolation(engine), "") << "trial " << trial;
  }
  EXPECT_THROW(engine.Row(engine.RowCount()), EListError);
  EXPECT_THROW(engine.Row(-1), EListError);
}

TEST(DiffEngineRandom, CompareAsAValueAgreesWithTheStatefulRunAndLeavesItAlone) {
  TextMaker maker(3141);
  TdvDiffEngine engine;
  for (int trial = 0; trial < 300; ++trial) {
    // Given: an engine with some options, holding the result of an earlier run.
    engine.SetDiffOptions(TdvDiffOptions::FromBits(static_cast<uint8_t>(maker.Below(16))));
    engine.SetMatchDepth(1 + maker.Below(4));
    const Lines text1 = maker.Text(30);
    const Lines text2 = trial % 2 == 0 ? maker.Text(30) : maker.Edited(text1);
    engine.CompareStrings("earlier\n", "run\n");
    const std::vector<std::string> before = diff_test::Entries(engine.Result1());

    // When: the same texts are compared as a value and by a run.
    const TdvDiffResult value = engine.Compare(diff_test::JoinLines(text1), diff_test::JoinLines(text2));
    ASSERT_EQ(diff_test::Entries(engine.Result1()), before) << "trial " << trial;
    engine.CompareStrings(diff_test::JoinLines(text1), diff_test::JoinLines(text2));

    // Then: row for row the same, spans included, and the lines are the texts'.
    const std::vector<TdvDiffRow>& rows = engine.Rows();
    ASSERT_EQ(value.RowCount(), static_cast<int>(rows.size())) << "trial " << trial;
    ASSERT_EQ(value.LineCount1(), static_cast<int>(text1.size()));
    ASSERT_EQ(value.LineCount2(), static_cast<int>(text2.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      const TdvDiffRow& a = value.Rows[i];
      const TdvDiffRow& b = rows[i];
      ASSERT_TRUE(a.Kind1 == b.Kind1 && a.Kind2 == b.Kind2 && a.Line1 == b.Line1 && a.Line2 == b.Line2 &&
                  a.Text1 == b.Text1 && a.Text2 == b.Text2 && a.Spans1.size() == b.Spans1.size() &&
                  a.Spans2.size() == b.Spans2.size())
          << "trial " << trial << ", row " << i;
      if (a.Line1 >= 0) {
        ASSERT_EQ(a.Text1, text1[static_cast<size_t>(a.Line1)]);
      }
    }
    // Hunks are the maximal runs of rows that are not same; stepping finds
    // their first rows as a scan of the rows would.
    auto starts = [&](int i) {
      return rows[size_t(i)].Kind1 != dkSame && (i == 0 || rows[size_t(i) - 1].Kind1 == dkSame);
    };
    size_t hunk = 0;
    for (int i = 0; i < value.RowCount(); ++i) {
      if (starts(i)) {
        ASSERT_LT(hunk, value.Hunks.size());
        ASSERT_EQ(value.Hunks[hunk].FirstRow, i);
        ++hunk;
      }
      ASSERT_EQ(value.HunkAt(i) >= 0, rows[size_t(i)].Kind1 != dkSame);
    }
    ASSERT_EQ(hunk, value.Hunks.size());
    for (int row = -2; row <= value.RowCount() + 1; ++row) {
      int next = -1, previous = -1;
      for (int i = std::max(row + 1, 0); i < value.RowCount() && next < 0; ++i)
        if (starts(i)) next = i;
      for (int i = std::min(row, value.RowCount()) - 1; i >= 0 && previous < 0; --i)
        if (starts(i)) previous = i;
      ASSERT_EQ(value.NextHunkRow(row, true), next) << "trial " << trial << ", row " << row;
      ASSERT_EQ(value.NextHunkRow(row, false), previous) << "trial " << trial << ", row " << row;
    }
  }
}

/// Line splitting as plainly as it can be said, byte by byte.
Lines SplitPlainly(const std::string& text) {
  Lines lines;
  std::string line;
  bool open = false;
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
      open = true;
    }
  }
  if (open) lines.push_back(line);
  return lines;
}

TEST(DiffEngineRandom, TextsOfBreaksAndNulsSplitAndReadBack) {
  std::mt19937 random(99);
  const char alphabet[] = {'a', 'b', ' ', '\r', '\n', '\0', 'A'};
  TdvDiffEngine engine;
  for (int trial = 0; trial < 2000; ++trial) {
    std::string texts[2];
    for (std::string& text : texts) {
      const int length = static_cast<int>(random() % 70);
      for (int i = 0; i < length; ++i)
        text += alphabet[random() % (random() % 8 == 0 ? 7 : 5)];  // NUL now and then
    }
    ASSERT_EQ(SplitDiffLines(texts[0]), SplitPlainly(texts[0])) << "trial " << trial;
    engine.CompareStrings(texts[0], texts[1]);
    for (int side = 0; side < 2; ++side) {
      const TStringList& result = side == 0 ? engine.Result1() : engine.Result2();
      Lines read;
      for (int row = 0; row < result.Count(); ++row)
        if (DiffEntryKind(result[row]) != dkFiller) read.emplace_back(DiffEntryText(result[row]));
      ASSERT_EQ(read, SplitPlainly(texts[side])) << "trial " << trial << ", side " << side + 1;
    }
  }
}

TEST(DiffEngineRandom, IndexedSearchAgreesWithCandidateByCandidateOnLongBlocks) {
  // Long unrelated stretches with a few shared lines between them: the
  // search's worst case, too slow for the reference, checked against the
  // engine that tries every candidate.
  TextMaker maker(4242);
  for (int trial = 0; trial < 40; ++trial) {
    Lines text1, text2;
    for (int part = 0; part < 4; ++part) {
      // Blank and brace lines recur on both sides, so that many runs agree
      // in their first lines but not in all of them.
      auto filler = [&](const char* tag) {
        return maker.Below(3) == 0 ? tag + maker.Line() : maker.Below(2) ? "" : "}";
      };
      for (int i = maker.Below(300); i > 0; --i) text1.push_back(filler("one "));
      for (int i = maker.Below(300); i > 0; --i) text2.push_back(filler("two "));
      const Lines shared = maker.Text(6);
      text1.insert(text1.end(), shared.begin(), shared.end());
      text2.insert(text2.end(), shared.begin(), shared.end());
    }
    SearchEngine indexed(24), plain(kNeverIndexed);
    for (TdvDiffEngine* engine :
         {static_cast<TdvDiffEngine*>(&indexed), static_cast<TdvDiffEngine*>(&plain)}) {
      engine->SetDiffOptions(TdvDiffOptions::FromBits(static_cast<uint8_t>(trial % 16)));
      engine->CompareStrings(diff_test::JoinLines(text1), diff_test::JoinLines(text2));
    }
    ASSERT_TRUE(indexed.Result1().Equals(plain.Result1())) << "trial " << trial;
    ASSERT_TRUE(indexed.Result2().Equals(plain.Result2())) << "trial " << trial;
  }
}

}  // namespace
