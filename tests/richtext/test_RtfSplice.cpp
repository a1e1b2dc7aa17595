/// Tests for richtext/RtfLineMap.cpp and richtext/RtfSplice.cpp: the line
/// map against the plain text on the corpus and on random RTF, and random
/// splices against a reference that rebuilds the expected lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "qtbridge/QtText.h"
#include "richtext/RtfFormatRuns.h"
#include "richtext/RtfLineMap.h"
#include "richtext/RtfPlainText.h"
#include "richtext/RtfSplice.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const TCodePageDecoder kDecode = &qtbridge::CodePageToUtf8;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

/// RTF as the help author's editor writes it, from random paragraphs: font
/// and colour tables drawn from a few entries in a random order, formatting
/// set before a paragraph or inside it, groups open across paragraph ends,
/// fields, pictures, bookmarks, table rows, \line, Unicode and \'hh text.
struct RtfMaker {
  std::mt19937 random;
  explicit RtfMaker(unsigned seed) : random(seed) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
  bool OneIn(int n) { return Below(n) == 0; }

  std::vector<int> fonts;  // numbers declared
  int colors = 0;          // entries after the automatic one

  std::string Header() {
    static const char* const kFonts[] = {"\\fswiss\\fcharset0 Arial", "\\froman\\fcharset0 Times New Roman",
                                         "\\fmodern\\fcharset0 Courier New", "\\fnil\\fcharset2 Symbol",
                                         "\\fswiss\\fcharset0 Tahoma"};
    static const char* const kColors[] = {"\\red255\\green0\\blue0;", "\\red0\\green0\\blue255;",
                                          "\\red0\\green128\\blue0;", "\\red128\\green0\\blue128;"};
    std::vector<int> order = {0, 1, 2, 3, 4};
    std::shuffle(order.begin(), order.end(), random);
    fonts.clear();
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
    {
      // Always a font table: text in no font at all has no match in a
      // target that declares its default font.
      rtf += "{\\fonttbl";
      const int count = 1 + Below(4);
      for (int i = 0; i < count; ++i) {
        rtf += "{\\f" + std::to_string(i) + kFonts[order[size_t(i)]] + ";}";
        fonts.push_back(i);
      }
      rtf += "}\r\n";
    }
    colors = 0;
    if (!OneIn(4)) {
      std::vector<int> colorOrder = {0, 1, 2, 3};
      std::shuffle(colorOrder.begin(), colorOrder.end(), random);
      colors = 1 + Below(4);
      rtf += "{\\colortbl ;";
      for (int i = 0; i < colors; ++i) rtf += kColors[colorOrder[size_t(i)]];
      rtf += "}\r\n";
    }
    rtf += OneIn(2) ? "{\\*\\generator Writer 1.0;}" : "";
    rtf += "\\viewkind4\\uc1";
    return rtf;
  }

  std::string Run() {
    static const char* const kWords[] = {"Save",  "the file",     "caf\\'e9",    "\\u8364?",      "a\\tab b",
                                         "x\\~y", "{\\v hidden}", "\\{brace\\}", "back\\\\slash", "0.5"};
    switch (Below(12)) {
      case 0:
        return "\\b bold\\b0 ";
      case 1:
        return "{\\i italic}";
      case 2:
        return fonts.empty() ? "plain"
                             : "\\f" + std::to_string(fonts[size_t(Below(int(fonts.size())))]) + " font";
      case 3:
        return colors == 0 ? "grey" : "\\cf" + std::to_string(1 + Below(colors)) + " colour\\cf0 ";
      case 4:
        return "\\fs" + std::to_string(16 + 2 * Below(8)) + " size";
      case 5:
        return "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}";
      case 6:
        return "{\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a}";
      case 7:
        return "{\\*\\bkmkstart b1}{\\*\\bkmkend b1}mark";
      case 8:
        return colors == 0 ? "lit" : "{\\highlight" + std::to_string(1 + Below(colors)) + " lit}";
      default:
        return kWords[Below(10)];
    }
  }

  std::string Paragraph() {
    std::string p;
    if (OneIn(2)) {
      static const char* const kPara[] = {"\\li360", "\\qc",        "\\fi-200\\li400", "\\sb120\\sa60",
                                          "\\tx720", "\\qr\\ri200", "{\\pn\\pnlvlblt}"};
      p += "\\pard";
      const int count = Below(3);
      for (int i = 0; i < count; ++i) p += kPara[Below(7)];
      p += ' ';
    }
    const int runs = Below(4);
    for (int i = 0; i < runs; ++i) p += (i > 0 ? " " : "") + Run();
    return p;
  }

  std::string Text() {
    std::string rtf = Header();
    const int paragraphs = Below(9);
    int open = 0;
    for (int i = 0; i < paragraphs; ++i) {
      if (OneIn(8)) {
        rtf += "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell " + Run() + "\\cell\\row\r\n";
        continue;
      }
      if (OneIn(6)) {
        rtf += OneIn(2) ? "{\\b " : "{\\pard\\li720 ";
        ++open;
      }
      rtf += Paragraph();
      if (open > 0 && OneIn(3)) {
        rtf += "}";
        --open;
      }
      const bool last = i + 1 == paragraphs;
      if (last && OneIn(2)) break;  // a last line that nothing ends
      rtf += OneIn(5) ? "\\line " : OneIn(4) ? "\\par " : "\\par\r\n";
    }
    rtf += std::string(size_t(open), '}');
    rtf += OneIn(2) ? "\r\n}" : "}";
    return rtf;
  }
};

void ExpectMapped(const std::string& rtf, const std::string& name) {
  const TRtfLineMap map = MapRtfLines(rtf, kDecode);
  ASSERT_EQ(map.Lines, RtfToPlainTextLines(rtf, kDecode)) << name;
  ASSERT_EQ(map.Sources.size(), map.Lines.size()) << name;
  // The lines partition the body, each ending with what ends it.
  size_t at = map.BodyBegin;
  for (const TRtfLineSource& line : map.Sources) {
    ASSERT_EQ(line.Begin, at) << name;
    ASSERT_TRUE(line.Begin <= line.TextEnd && line.TextEnd <= line.BreakEnd && line.BreakEnd <= line.End)
        << name;
    ASSERT_FALSE(line.States.empty());
    at = line.End;
  }
  ASSERT_EQ(map.TailBegin, at) << name;
  ASSERT_LE(map.TailBegin, rtf.size()) << name;
}

TEST(RtfLineMap, LinesAreThePlainTextOnTheCorpusAndOnRandomRtfBrokenOrNot) {
  for (const auto& entry : fs::directory_iterator(fs::path(QC_SOURCE_DIR) / "tests/data/rtf-corpus"))
    if (entry.path().extension() == ".rtf")
      ExpectMapped(ReadFile(entry.path()), entry.path().filename().string());
  RtfMaker maker(1234);
  for (int trial = 0; trial < 1000; ++trial) {
    std::string rtf = maker.Text();
    // Half of them broken here and there: braces, backslashes and escapes
    // dropped or added.
    for (int edit = trial % 2 == 0 ? 0 : 1 + maker.Below(4); edit > 0; --edit) {
      static const char* const kBits[] = {"{", "}", "\\", "\\'0d", "\\uc0 ", "\\bin3 ", "\\par", " "};
      const size_t at = size_t(maker.Below(int(rtf.size()) + 1));
      if (maker.OneIn(2) && at < rtf.size())
        rtf.erase(at, 1);
      else
        rtf.insert(at, kBits[maker.Below(8)]);
    }
    ExpectMapped(rtf, "random " + std::to_string(trial) + ": " + rtf);
    // Broken text may not splice into the lines asked for, but it splices.
    const int n = int(RtfToPlainTextLines(rtf, kDecode).size());
    EXPECT_NO_THROW(SpliceRtfLines(rtf, maker.Below(n + 1), n, rtf, 0, maker.Below(n + 1), kDecode));
  }
}

TEST(RtfLineMap, FormatInForceWhereALineStarts) {
  // Given: state set in one paragraph that the next relies on.
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\li360\\b One\\par Two\\par{\\i Three\\par}}";
  const TRtfLineMap map = MapRtfLines(rtf, kDecode);
  ASSERT_EQ(map.Lines, (Lines{"One", "Two", "Three"}));
  // Then: the second line starts indented and bold, and the third starts
  // before its own group opens, inside the document's alone.
  EXPECT_EQ(map.Sources[1].Format().Para.LeftIndent, 360);
  EXPECT_TRUE(map.Sources[1].Format().Chr.Bold);
  EXPECT_EQ(rtf.substr(map.Sources[1].Begin, map.Sources[1].TextEnd - map.Sources[1].Begin), "Two");
  EXPECT_EQ(map.Sources[2].States.size(), 2u);
}

/// Target lines [0, a), source lines [c, d), target lines [b, n).
Lines Reference(const Lines& target, int a, int b, const Lines& source, int c, int d) {
  Lines lines(target.begin(), target.begin() + a);
  lines.insert(lines.end(), source.begin() + c, source.begin() + d);
  lines.insert(lines.end(), target.begin() + b, target.end());
  if (lines.empty()) lines.push_back("");  // no RTF text has no line at all
  return lines;
}

void ExpectSameLook(const TFormattedLine& before, const TFormattedLine& after, const std::string& what) {
  const TFormatChange change = CompareLineFormatting(before, after);
  std::string items;
  for (const auto& item : change.Items) items += item.Description + "; ";
  EXPECT_FALSE(change.Differs) << what << ": " << items;
}

TEST(RtfSplice, RandomSplicesGiveTheReferenceTextKeepTheTargetAndTheLook) {
  RtfMaker maker(20261209);
  for (int trial = 0; trial < 1500; ++trial) {
    // Given: two texts, each half the time with the other's tables.
    const std::string target = maker.Text();
    const std::string source = trial % 2 == 0 ? maker.Text() : target;
    const TRtfLineMap targetMap = MapRtfLines(target, kDecode);
    const TRtfLineMap sourceMap = MapRtfLines(source, kDecode);
    const int n = int(targetMap.Lines.size());
    const int m = int(sourceMap.Lines.size());
    const int a = maker.Below(n + 1);
    const int b = a + maker.Below(n - a + 1);
    const int c = maker.Below(m + 1);
    const int d = c + maker.Below(m - c + 1);
    const std::string what = "trial " + std::to_string(trial) + " [" + std::to_string(a) + "," +
                             std::to_string(b) + ") <- [" + std::to_string(c) + "," + std::to_string(d) +
                             ")\ntarget: " + target + "\nsource: " + source;

    // When: lines [a, b) of the target are replaced by lines [c, d) of the source.
    const std::string result = SpliceRtfLines(target, a, b, source, c, d, kDecode);

    // Then: the plain text is the reference's.
    const TRtfLineMap resultMap = MapRtfLines(result, kDecode);
    ASSERT_EQ(resultMap.Lines, Reference(targetMap.Lines, a, b, sourceMap.Lines, c, d))
        << what << "\nresult: " << result;
    if (a == b && c == d) {
      ASSERT_EQ(result, target);
      continue;
    }
    // Every target byte after the replaced lines is kept, from a file line's start where it started one.
    const size_t cutEnd = b < n ? targetMap.Sources[size_t(b)].Begin : targetMap.TailBegin;
    const std::string_view kept = std::string_view(target).substr(cutEnd);
    ASSERT_TRUE(std::string_view(result).ends_with(kept)) << what << "\nresult: " << result;
    if (cutEnd > 0 && target[cutEnd - 1] == '\n') {
      ASSERT_EQ(result[result.size() - kept.size() - 1], '\n') << what;
    }
    // ... and so is every line before them; the last of them may gain a
    // line break or a \par (a last line that nothing ends, before lines
    // added), or lose its \line for a \par (before a removal at the end).
    const bool lineBreakEnded =
        b == n && c == d && a > 0 && targetMap.Sources[size_t(a) - 1].LineEnd == TRtfLineEnd::LineBreak;
    for (int i = 0; i < a - (lineBreakEnded ? 1 : 0); ++i) {
      const TRtfLineSource& t = targetMap.Sources[size_t(i)];
      const TRtfLineSource& r = resultMap.Sources[size_t(i)];
      const std::string bytes = target.substr(t.Begin, t.End - t.Begin);
      if (i + 1 < a)
        ASSERT_EQ(result.substr(r.Begin, r.End - r.Begin), bytes) << what;
      else
        ASSERT_EQ(result.substr(r.Begin, bytes.size()), bytes) << what;
    }
    if (trial % 2 == 1 && !lineBreakEnded) {
      // Shared tables: nothing is added to them, and the whole front is kept.
      const size_t cutBegin = a < n ? targetMap.Sources[size_t(a)].Begin : targetMap.TailBegin;
      ASSERT_EQ(result.substr(0, cutBegin), target.substr(0, cutBegin)) << what << "\nresult: " << result;
    }

    // The moved lines and the target lines after them look as they did.
    const std::vector<TFormattedLine> sourceLook = RtfToFormattedLines(source, kDecode);
    const std::vector<TFormattedLine> targetLook = RtfToFormattedLines(target, kDecode);
    const std::vector<TFormattedLine> resultLook = RtfToFormattedLines(result, kDecode);
    if (sourceLook.size() != size_t(m) || targetLook.size() != size_t(n) ||
        resultLook.size() != resultMap.Lines.size())
      continue;
    for (int k = 0; k < d - c; ++k)
      ExpectSameLook(sourceLook[size_t(c + k)], resultLook[size_t(a + k)],
                     what + "\nmoved line " + std::to_string(k) + "\nresult: " + result);
    for (int k = 0; b + k < n; ++k)
      ExpectSameLook(targetLook[size_t(b + k)], resultLook[size_t(a + d - c + k)],
                     what + "\nkept line " + std::to_string(b + k) + "\nresult: " + result);
    if (HasFailure()) return;
  }
}

TEST(RtfSplice, PlainTextAndEmptyTextsTakePart) {
  // Given: a target that is not RTF, and an empty one.
  const std::string source =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\\f0\\b Bold\\b0\\par Caf\\'e9}";
  const std::string spliced = SpliceRtfLines("one\r\ntwo\r\n", 1, 1, source, 0, 2, kDecode);
  EXPECT_EQ(MapRtfLines(spliced, kDecode).Lines, (Lines{"one", "Bold", "Caf\xC3\xA9", "two"}));
  const std::string into = SpliceRtfLines("", 0, 1, source, 1, 2, kDecode);
  EXPECT_EQ(MapRtfLines(into, kDecode).Lines, (Lines{"Caf\xC3\xA9"}));
  EXPECT_EQ(MapRtfLines(SpliceRtfLines(source, 0, 2, "", 0, 1, kDecode), kDecode).Lines, (Lines{""}));
}

}  // namespace
