/// Tests for richtext/RtfPlainText.cpp on real RTF files: our plain text
/// against the text another reader extracted, with the differences we
/// intend spelt out per file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qtbridge/QtText.h"
#include "richtext/RtfPlainText.h"

namespace {

const std::string kDir = QC_SOURCE_DIR "/tests/data/rtf-samples/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Strip(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Removes a list label ("• ", "◦ ", "▪ ", "12. ", "a) ", "iv. ", "1.\t") at the start.
std::string WithoutLabel(const std::string& s) {
  for (const char* bullet : {"\u2022", "\u25e6", "\u25aa"}) {
    const std::string b = bullet;
    if (s.compare(0, b.size(), b) == 0 && s.size() > b.size() && (s[b.size()] == ' ' || s[b.size()] == '\t'))
      return Strip(s.substr(b.size() + 1));
  }
  size_t i = 0;
  while (i < s.size() && i < 4 && std::isalnum(static_cast<unsigned char>(s[i]))) ++i;
  if (i > 0 && i + 1 < s.size() && (s[i] == '.' || s[i] == ')') && (s[i + 1] == ' ' || s[i + 1] == '\t'))
    return Strip(s.substr(i + 2));
  return s;
}

// The fair comparison: stripped lines, no empty lines at the very end. In a
// file with tables, where the other reader gives each cell a line and we
// give each row one with tabs between the cells, every tab starts a line and
// empty lines are left out on both sides.
std::vector<std::string> Normalise(std::vector<std::string> lines, bool lists, bool tables) {
  for (std::string& l : lines) {
    l = Strip(l);
    if (lists) l = WithoutLabel(l);
  }
  if (tables) {
    std::vector<std::string> cells;
    for (const std::string& l : lines) {
      std::stringstream s(l);
      for (std::string cell; std::getline(s, cell, '\t');)
        if (!Strip(cell).empty()) cells.push_back(Strip(cell));
    }
    lines = std::move(cells);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> SplitLf(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

struct SampleCase {
  const char* file;
  bool lists;  // the file has list labels, which the two readers render differently
  /// Where our text differs on purpose: the other reader's line -> ours.
  std::vector<std::pair<std::string, std::string>> intended;
  bool tables = false;  // the file has tables (see Normalise)
};

void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.file; }

class SampleText : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleText, MatchesTheOtherReaderExceptWhereIntended) {
  const SampleCase& c = GetParam();
  const std::string stem = kDir + c.file;
  const std::vector<std::string> ours =
      Normalise(RtfToPlainTextLines(ReadFile(stem + ".rtf"), &qtbridge::CodePageToUtf8), c.lists, c.tables);
  std::vector<std::string> theirs = Normalise(SplitLf(ReadFile(stem + ".txt")), c.lists, c.tables);
  for (auto& [from, to] : c.intended) {
    bool found = false;
    for (std::string& line : theirs) {
      if (line == from) {
        line = to;
        found = true;
        break;
      }
    }
    EXPECT_TRUE(found) << "intended difference not met: " << from;
  }
  ASSERT_EQ(ours.size(), theirs.size());
  for (size_t i = 0; i < ours.size(); ++i) EXPECT_EQ(ours[i], theirs[i]) << c.file << ".txt:" << i + 1 << ":";
}

// Intended differences: footnote and endnote marks are not shown (their text
// is not shown either); hidden text is hidden; the optional hyphen is dropped.
INSTANTIATE_TEST_SUITE_P(
    Samples, SampleText,
    ::testing::Values(
        SampleCase{"p01-lo-odt-character-formatting", false, {}},
        SampleCase{"p02-lo-odt-paragraph-layout", false, {}}, SampleCase{"p03-lo-odt-lists", true, {}},
        SampleCase{
            "p04-lo-odt-table-footnotes",
            false,
            {{"The table below lists some planets1.", "The table below lists some planets."},
             {"12 7002", "12 700"},
             {"A second footnote3 and an endnotei follow.", "A second footnote and an endnote follow."}},
            true},
        SampleCase{
            "p05-lo-odt-unicode-specials",
            false,
            {{"Soft\u00adhyphen inside a word, non\u2011breaking hyphen, and 10\u00a0km with a no-break "
              "space.",
              "Softhyphen inside a word, non\u2011breaking hyphen, and 10\u00a0km with a no-break space."}}},
        SampleCase{"p06-lo-odt-image-links-fields",
                   false,
                   {{"Visible text with a hidden part and more visible text.",
                     "Visible text and more visible text."}}},
        SampleCase{"p07-lo-docx-report",
                   true,
                   {{"Prepared by the team for internal use.1", "Prepared by the team for internal use."}},
                   true},
        SampleCase{"p08-lo-html-article", true, {}, true},
        SampleCase{
            "p09-pandoc-markdown-basics", false, {{"A footnote reference.1", "A footnote reference."}}},
        SampleCase{"p10-pandoc-tables-code", false, {}, true},
        SampleCase{"p11-pandoc-image-lists", false, {}}, SampleCase{"p12-enscript-c", false, {}},
        SampleCase{"p13-enscript-pascal", false, {}}, SampleCase{"p14-enscript-sql", false, {}},
        SampleCase{"p15-enscript-javascript", false, {}},
        SampleCase{
            "p16-latex2rtf-article",
            false,
            {{"Hello bold and emphasised text\u2014with an em dash, an en dash in 1\u20132 and \u201cdouble "
              "quotes\u201d.1",
              "Hello bold and emphasised text\u2014with an em dash, an en dash in 1\u20132 and \u201cdouble "
              "quotes\u201d."}},
            true},
        SampleCase{"p17-richedit-new-topic", false, {}}, SampleCase{"p18-richedit-topic-bullets", true, {}},
        SampleCase{"p19-richedit-escapes-links", false, {}},
        SampleCase{"p20-richedit-hidden-oddpar",
                   false,
                   {{"Visible hidden wordsvisible again.", "Visible visible again."},
                    {"Red secret still hidden shown.", "Red  shown."}}},
        SampleCase{"p21-handmade-converter-style", false, {}},
        SampleCase{"p22-handmade-deep-nesting", false, {}},
        SampleCase{"p23-handmade-ignorable-bin", false, {}}, SampleCase{"p24-handmade-uc0-uc2", false, {}},
        SampleCase{"p25-handmade-cp1251-cyrillic", false, {}},
        SampleCase{"p26-handmade-empty-document", false, {}},
        SampleCase{"p27-handmade-whitespace-only", false, {}}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// Files written in the rich-edit style match line for line, blanks included.
TEST(SampleTextExact, RichEditStyleFilesMatchExactly) {
  for (const char* file :
       {"p17-richedit-new-topic", "p19-richedit-escapes-links", "p21-handmade-converter-style",
        "p24-handmade-uc0-uc2", "p25-handmade-cp1251-cyrillic", "p26-handmade-empty-document",
        "p27-handmade-whitespace-only"}) {
    const std::string stem = kDir + file;
    std::string ours;
    for (const std::string& line : RtfToPlainTextLines(ReadFile(stem + ".rtf"), &qtbridge::CodePageToUtf8))
      ours += line + "\n";
    EXPECT_EQ(ours, ReadFile(stem + ".txt")) << file;
  }
}

}  // namespace
