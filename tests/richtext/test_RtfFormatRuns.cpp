/// Tests for richtext/RtfFormatRuns.cpp: formatted runs per plain-text line
/// and the formatting changes of bodies whose text is equal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qtbridge/QtText.h"
#include "richtext/RtfFormatRuns.h"

namespace {

const std::string kHead =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fswiss Tahoma;}}"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green0\\blue0;}";

std::vector<TFormatChange> Compare(const std::string& body1, const std::string& body2) {
  auto changes = CompareRtfFormatting(kHead + body1 + "}", kHead + body2 + "}", &qtbridge::CodePageToUtf8);
  EXPECT_TRUE(changes.has_value()) << "plain texts differ";
  return changes.value_or(std::vector<TFormatChange>{});
}

std::vector<std::string> Descriptions(const TFormatChange& change) {
  std::vector<std::string> out;
  for (const TFormatChangeItem& item : change.Items) out.push_back(item.Description);
  return out;
}

using Lines = std::vector<std::string>;

TEST(FormatChanges, BoldAddedToOneWordIsOneQuotedPiece) {
  const auto changes = Compare("\\f0 Click Save now.\\par Unchanged\\par",
                               "\\f0 Click \\b Sa{\\cf2 }ve\\b0  now.\\par Unchanged\\par");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_TRUE(changes[0].Differs);
  EXPECT_EQ(Descriptions(changes[0]), Lines{"bold added: 'Save'"});
  EXPECT_EQ(changes[0].Items[0].Begin, 6u);
  EXPECT_EQ(changes[0].Items[0].End, 10u);
  EXPECT_FALSE(changes[1].Differs);

  // Long pieces are cut after 40 characters; a text change is no formatting change.
  const std::string longText(50, 'x');
  const auto cut = Compare("\\i " + longText + "\\par", "\\i0 " + longText + "\\par");
  EXPECT_EQ(Descriptions(cut[0]), Lines{"italic removed: '" + std::string(40, 'x') + "\u2026'"});
  EXPECT_FALSE(CompareRtfFormatting(kHead + "a\\par}", kHead + "b\\par}", &qtbridge::CodePageToUtf8));
}

TEST(FormatChanges, FontSizeAndColourAcrossRunsMergeAndOrderByPosition) {
  const auto changes =
      Compare("{\\f0\\fs20 Title}\\par {\\f0 A \\b B\\b0  C}\\par {\\cf1 Warning} here\\par",
              "{\\f1\\fs24 Title}\\par {\\f1 A \\b B\\b0  C}\\par {\\cf2 Warning} here\\par");
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(Descriptions(changes[0]),
            (Lines{"font Arial \u2192 Tahoma: 'Title'", "size 10 pt \u2192 12 pt: 'Title'"}));
  EXPECT_EQ(Descriptions(changes[1]), Lines{"font Arial \u2192 Tahoma: 'A B C'"});
  EXPECT_EQ(Descriptions(changes[2]), Lines{"colour #000000 \u2192 #FF0000: 'Warning'"});
}

TEST(FormatChanges, ParagraphChangesReachEveryLineOfTheParagraph) {
  // The second paragraph is split by \line and is the last one, ended by the
  // closing brace rather than \par.
  const auto changes = Compare("\\pard Same\\par\\pard Hello\\line World",
                               "\\pard Same\\par\\pard\\qc\\li720\\fi-360 Hello\\line World");
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_FALSE(changes[0].Differs);
  const Lines expected{"alignment left \u2192 centre", "left indent 0 pt \u2192 36 pt",
                       "first-line indent 0 pt \u2192 -18 pt"};
  EXPECT_EQ(Descriptions(changes[1]), expected);
  EXPECT_EQ(Descriptions(changes[2]), expected);
  EXPECT_TRUE(changes[2].Items[0].Paragraph);
  EXPECT_EQ(FormatChangeSummary(changes[1], 1), "alignment left \u2192 centre; and 2 more");
}

TEST(FormatChanges, NoneWhenOnlyTheRtfSpellingDiffers) {
  // Toggle vs group, explicit vs default font, another colour index with the
  // same RGB, \plain vs \b0, a run split by an empty group.
  const auto changes = Compare("\\b Bold\\b0  text \\cf2 red\\cf0\\par \\f0 x{\\b y}z\\par",
                               "{\\b Bold} te{}xt {\\cf3 red}\\par x\\b y\\plain z\\par");
  ASSERT_EQ(changes.size(), 2u);
  for (const TFormatChange& c : changes) EXPECT_FALSE(c.Differs) << FormatChangeSummary(c);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FormatRuns, SameLinesAsThePlainTextOnTheSampleCorpus) {
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(QC_SOURCE_DIR "/tests/data/rtf-samples")) {
    if (entry.path().extension() != ".rtf") continue;
    ++files;
    const std::string rtf = ReadFile(entry.path());
    const std::vector<std::string> plain = RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8);
    const std::vector<TFormattedLine> lines = RtfToFormattedLines(rtf, &qtbridge::CodePageToUtf8);
    ASSERT_EQ(lines.size(), plain.size()) << entry.path();
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].Text, plain[i]) << entry.path() << ":" << i + 1;
      size_t covered = 0;  // runs cover the text in order, without gaps
      for (const TFormatRun& run : lines[i].Runs) {
        EXPECT_EQ(run.Begin, covered) << entry.path() << ":" << i + 1;
        EXPECT_LT(run.Begin, run.End);
        covered = run.End;
      }
      EXPECT_EQ(covered, lines[i].Text.size()) << entry.path() << ":" << i + 1;
    }
  }
  EXPECT_GT(files, 20u);
}

}  // namespace
