/// Tests for the changes inside a pair of changed lines (DiffLineSpans and
/// the spans of the engine's rows): random line pairs against a plain
/// longest common subsequence of their words, and the cases the random
/// pairs leave out (letters inside a word, UTF-8, blanks, very long lines).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"

namespace {

/// "start:length,..." for failure messages and expectations.
std::string Show(const std::vector<TdvSpan>& spans) {
  std::string text;
  for (const TdvSpan& span : spans) {
    if (!text.empty()) text += ',';
    text += std::to_string(span.Start) + ':' + std::to_string(span.Length);
  }
  return text;
}

std::pair<std::string, std::string> Spans(std::string_view line1, std::string_view line2,
                                          TdvDiffOptions options, TdvCharSet ignoreChars = TdvCharSet()) {
  std::vector<TdvSpan> spans1, spans2;
  DiffLineSpans(line1, line2, options, ignoreChars, spans1, spans2);
  return {Show(spans1), Show(spans2)};
}

/// A line built from known pieces, so that the test knows its words
/// without cutting it up the way the code under test does.
struct Piece {
  std::string text;
  bool blank = false;
  size_t start = 0;
};

struct PieceLine {
  std::vector<Piece> pieces;
  std::string text;
  void Join() {
    text.clear();
    for (Piece& piece : pieces) {
      piece.start = text.size();
      text += piece.text;
    }
  }
};

/// Lines of words that share no ends with each other (so none is narrowed
/// to letters), punctuation and blanks, and edits of such lines.
struct PieceMaker {
  std::mt19937 random;
  explicit PieceMaker(unsigned seed) : random(seed) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  std::string Unit() {
    static const char* const kUnits[] = {"red", "green", "BLUE", "blue", "cyan", "x", "10", ",", "-", "("};
    return kUnits[Below(10)];
  }
  std::string Blank() {
    static const char* const kBlanks[] = {" ", "  ", "\t", " \t"};
    return kBlanks[Below(4)];
  }
  std::vector<std::string> Units(int maxCount) {
    std::vector<std::string> units;
    const int count = Below(maxCount + 1);
    for (int i = 0; i < count; ++i) units.push_back(Unit());
    return units;
  }
  std::vector<std::string> Edited(std::vector<std::string> units) {
    const int edits = 1 + Below(4);
    for (int e = 0; e < edits; ++e) {
      const int at = Below(static_cast<int>(units.size()) + 1);
      const int what = Below(3);
      if (what == 0 || units.empty())
        units.insert(units.begin() + at, Unit());
      else if (at < static_cast<int>(units.size()) && what == 1)
        units.erase(units.begin() + at);
      else if (at < static_cast<int>(units.size()))
        units[static_cast<size_t>(at)] = Unit();
    }
    return units;
  }
  /// The units with blanks at random between them (always between two
  /// words, which would otherwise run together) and at the ends.
  PieceLine Line(const std::vector<std::string>& units) {
    PieceLine line;
    auto isWord = [](const std::string& unit) {
      return std::isalnum(static_cast<unsigned char>(unit[0])) != 0;
    };
    if (Below(3) == 0) line.pieces.push_back(Piece{Blank(), true});
    for (size_t i = 0; i < units.size(); ++i) {
      if (i > 0 && ((isWord(units[i - 1]) && isWord(units[i])) || Below(2) == 0))
        line.pieces.push_back(Piece{Blank(), true});
      line.pieces.push_back(Piece{units[i], false});
    }
    if (Below(3) == 0) line.pieces.push_back(Piece{Blank(), true});
    line.Join();
    return line;
  }
};

std::string Key(const std::string& unit, TdvDiffOptions options, const TdvCharSet& ignoreChars) {
  std::string key;
  for (char c : unit) {
    if (options.Contains(fdoIgnoreCharacters) && ignoreChars.test(static_cast<unsigned char>(c))) continue;
    key += !options.Contains(fdoCaseSensitive) && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  }
  return key;
}

size_t LongestCommon(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::vector<size_t>> table(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j)
      table[i][j] =
          a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1 : std::max(table[i - 1][j], table[i][j - 1]);
  return table[a.size()][b.size()];
}

/// The keys of the words no span touches; "" when the spans are well formed,
/// else what is wrong with them.
std::string Untouched(const PieceLine& line, const std::vector<TdvSpan>& spans, TdvDiffOptions options,
                      const TdvCharSet& ignoreChars, std::vector<std::string>& keys) {
  keys.clear();
  int32_t previousEnd = -1;
  for (const TdvSpan& span : spans) {
    if (span.Length <= 0 || span.Start <= previousEnd || span.Start + span.Length > int32_t(line.text.size()))
      return "span " + std::to_string(span.Start) + ":" + std::to_string(span.Length) + " misplaced";
    previousEnd = span.Start + span.Length;
    bool startsPiece = false, endsPiece = false;
    for (const Piece& piece : line.pieces) {
      startsPiece = startsPiece || int32_t(piece.start) == span.Start;
      endsPiece = endsPiece || int32_t(piece.start + piece.text.size()) == previousEnd;
    }
    if (!startsPiece || !endsPiece) return "span " + std::to_string(span.Start) + " cuts a piece";
  }
  for (const Piece& piece : line.pieces) {
    const std::string key = Key(piece.text, options, ignoreChars);
    if (piece.blank || key.empty()) continue;
    const auto start = int32_t(piece.start), end = int32_t(piece.start + piece.text.size());
    const bool touched = std::any_of(spans.begin(), spans.end(), [&](const TdvSpan& span) {
      return span.Start < end && start < span.Start + span.Length;
    });
    if (!touched) keys.push_back(key);
  }
  return "";
}

TEST(DiffLineSpans, UnchangedWordsAreALongestCommonSubsequence) {
  PieceMaker maker(1612);
  TdvCharSet blanks;
  for (int c = 0; c <= 32; ++c) blanks.set(static_cast<size_t>(c));
  TdvCharSet dash;
  dash.set('-');
  int marked = 0;
  for (int bits = 0; bits < 16; ++bits) {
    for (const TdvCharSet& ignore : {blanks, dash}) {
      const TdvDiffOptions options = TdvDiffOptions::FromBits(static_cast<uint8_t>(bits));
      for (int trial = 0; trial < 150; ++trial) {
        const std::vector<std::string> units1 = maker.Units(12);
        const std::vector<std::string> units2 = trial % 3 == 0 ? maker.Units(12) : maker.Edited(units1);
        const PieceLine line1 = maker.Line(units1), line2 = maker.Line(units2);
        std::vector<TdvSpan> spans1, spans2;
        DiffLineSpans(line1.text, line2.text, options, ignore, spans1, spans2);
        const std::string context = "options " + std::to_string(bits) + ", '" + line1.text + "' / '" +
                                    line2.text + "': " + Show(spans1) + " / " + Show(spans2);
        std::vector<std::string> kept1, kept2, words1, words2;
        ASSERT_EQ(Untouched(line1, spans1, options, ignore, kept1), "") << context;
        ASSERT_EQ(Untouched(line2, spans2, options, ignore, kept2), "") << context;
        ASSERT_EQ(kept1, kept2) << context;
        for (const std::string& unit : units1)
          if (!Key(unit, options, ignore).empty()) words1.push_back(Key(unit, options, ignore));
        for (const std::string& unit : units2)
          if (!Key(unit, options, ignore).empty()) words2.push_back(Key(unit, options, ignore));
        ASSERT_EQ(kept1.size(), LongestCommon(words1, words2)) << context;
        // Every changed word is marked: nothing beyond the common words is left.
        if (words1 != words2) {
          ASSERT_FALSE(spans1.empty() && spans2.empty()) << context;
        }
        marked += !spans1.empty();
      }
    }
  }
  EXPECT_GT(marked, 2000);
}

TEST(DiffLineSpans, ASingleChangedWordIsNarrowedToItsChangedLetters) {
  const TdvDiffOptions exact{fdoCaseSensitive};
  EXPECT_EQ(Spans("the colour red", "the color red", exact),
            std::make_pair(std::string("8:1"), std::string("")));
  EXPECT_EQ(Spans("if (count > 1)", "if (counter > 1)", exact),
            std::make_pair(std::string(""), std::string("9:2")));
  // Words changed side by side are narrowed pair by pair.
  EXPECT_EQ(Spans("a na\xC3\xAFve caf\xC3\xA9", "a naive cafe", exact),
            std::make_pair(std::string("4:2,12:2"), std::string("4:1,11:1")));
  // Too little in common: the whole word.
  EXPECT_EQ(Spans("a cat", "a dog", exact), std::make_pair(std::string("2:3"), std::string("2:3")));
  // Case counts only when the options say so.
  EXPECT_EQ(Spans("Alpha beta", "alpha beta", exact), std::make_pair(std::string("0:1"), std::string("0:1")));
  EXPECT_EQ(Spans("Alpha beta", "alpha beta", TdvDiffOptions{}),
            std::make_pair(std::string(""), std::string("")));
}

TEST(DiffLineSpans, BytesFromHex80OnStayTogether) {
  const TdvDiffOptions exact{fdoCaseSensitive};
  // UTF-8: n-tilde (C3 B1) against o-tilde (C3 B5) share their first byte;
  // the mark still takes the whole character on each side.
  EXPECT_EQ(Spans("la ma\xC3\xB1"
                  "ana",
                  "la ma\xC3\xB5"
                  "ana",
                  exact),
            std::make_pair(std::string("5:2"), std::string("5:2")));
  // i-diaeresis (C3 AF) against a plain i.
  EXPECT_EQ(Spans("a na\xC3\xAFve idea", "a naive idea", exact),
            std::make_pair(std::string("4:2"), std::string("4:1")));
  // Windows-1252: one byte a letter, a run of them kept whole.
  EXPECT_EQ(Spans("caf\xE9", "cafe", exact), std::make_pair(std::string("3:1"), std::string("3:1")));
  EXPECT_EQ(Spans("x\xE9\xE8yz", "x\xE9\xE0yz", exact),
            std::make_pair(std::string("1:2"), std::string("1:2")));
}

TEST(DiffLineSpans, BlanksFollowTheIgnoreOptions) {
  const std::string_view line1 = "  alpha  beta";
  const std::string_view line2 = "alpha beta  ";
  // Leading and trailing blanks stripped: only the blanks between the words differ.
  EXPECT_EQ(Spans(line1, line2, kMainWindowDiffOptions),
            std::make_pair(std::string("7:2"), std::string("5:1")));
  EXPECT_EQ(Spans(line1, line2, TdvDiffOptions{fdoCaseSensitive}),
            std::make_pair(std::string("0:2,7:2"), std::string("5:1,10:2")));
  TdvCharSet blanks;
  for (int c = 0; c <= 32; ++c) blanks.set(static_cast<size_t>(c));
  EXPECT_EQ(Spans(line1, line2, TdvDiffOptions{fdoIgnoreCharacters}, blanks),
            std::make_pair(std::string(""), std::string("")));
  // Blanks next to a changed word are not a change of their own.
  EXPECT_EQ(Spans("a  b", "a x b", TdvDiffOptions{fdoCaseSensitive}),
            std::make_pair(std::string(""), std::string("2:1")));
}

TEST(DiffLineSpans, Utf8LettersFoldAndUnicodeSpacesAreBlanks) {
  // Only the last word differs once Greek and Cyrillic capitals fold.
  EXPECT_EQ(Spans("\u03A3\u039F\u03A6\u0399\u0391 \u0416\u0423\u041A",
                  "\u03C3\u03BF\u03C6\u03B9\u03B1 \u0436\u0443\u0445", TdvDiffOptions{}),
            std::make_pair(std::string("11:6"), std::string("11:6")));
  // A no-break space parts two words as a blank does.
  EXPECT_EQ(Spans("a\u00A0b", "a b", TdvDiffOptions{fdoCaseSensitive}),
            std::make_pair(std::string("1:2"), std::string("1:1")));
  TdvCharSet blanks;
  for (int c = 0; c <= 32; ++c) blanks.set(static_cast<size_t>(c));
  EXPECT_EQ(Spans("a\u00A0b\u2003", "a b", TdvDiffOptions{fdoIgnoreCharacters}, blanks),
            std::make_pair(std::string(""), std::string("")));
}

TEST(DiffLineSpans, AVeryLongLineGetsOneSpanForItsChangedMiddle) {
  // Thousands of changed words with some common ones among them: the
  // subsequence would mark them apart, the bound marks all between the
  // common first and last words at once.
  std::string line1 = "begin", line2 = "begin";
  for (int i = 0; i < 2500; ++i) {
    line1 += i % 10 == 0 ? " same" : " a" + std::to_string(i);
    line2 += i % 10 == 0 ? " same" : " b" + std::to_string(i);
  }
  line1 += " end";
  line2 += " end";
  // The middle starts after "begin same " and ends before " end".
  EXPECT_EQ(
      Spans(line1, line2, kMainWindowDiffOptions),
      std::make_pair("11:" + std::to_string(line1.size() - 15), "11:" + std::to_string(line2.size() - 15)));
}

TEST(DiffEngineRows, SpansAreWorkedOutOnlyForTheRowsAskedFor) {
  TdvDiffEngine engine;
  engine.CompareStrings("same\none two\nthree four\nsame\n", "same\none 2\n3 four\nsame\n");
  ASSERT_EQ(engine.RowCount(), 4);
  EXPECT_TRUE(engine.LineRows()[1].Spans2.empty());
  EXPECT_EQ(Show(engine.Row(1).Spans2), "4:1");
  // Row 2 was not asked for yet; Rows() gives every changed row its spans.
  EXPECT_TRUE(engine.LineRows()[2].Spans1.empty());
  EXPECT_EQ(Show(engine.Rows()[2].Spans1), "0:5");
  EXPECT_TRUE(engine.Rows()[0].Spans1.empty());
}

}  // namespace
