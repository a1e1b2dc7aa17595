/// Properties every converter keeps, on random and sample texts: the RTF's
/// text with escapes undone is the input (nothing lost or added), every line
/// end of the input gets its paragraph mark, the braces balance, and a text
/// with CR LF line ends shows exactly like the same text with LF line ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "SyntaxTestUtil.h"
#include "syntax/hltConverters.h"

namespace {

using syntax_test::DecodeBody;

// Pieces that open, close and cross the constructs of all eight languages.
const std::vector<std::string> kFragments = {"/*",      "*/",        "//",
                                             "{",       "}",         "(*",
                                             "*)",      "(.",        "\"",
                                             "'",       "''",        "<",
                                             ">",       "</",        "/>",
                                             "<!--",    "-->",       "<![CDATA[",
                                             "]]>",     "<!DOCTYPE", "[",
                                             "]",       "<?",        "?>",
                                             "&",       "&amp;",     ";",
                                             "=",       "#",         "#define",
                                             "\\",      "\\\\",      "\r\n",
                                             "\r",      "\n",        "\t",
                                             " ",       "  ",        std::string(1, '\0'),
                                             "\xE9",    "\xFF",      "\x80",
                                             "asm",     "end",       "property",
                                             "read",    "if",        "object",
                                             "xmlns:p", "0x1F",      "017",
                                             "1.5e+3",  "1..2",      "12abc",
                                             "$FF",     "@",         "a",
                                             "Z9_",     "-",         "--",
                                             ".",       "...",       "'''",
                                             "\"\"\"",  "x",         "SELECT",
                                             "begin",   "int"};

std::string random_text(std::mt19937& random) {
  std::uniform_int_distribution<size_t> count(0, 40);
  std::uniform_int_distribution<size_t> pick(0, kFragments.size() - 1);
  std::string text;
  for (size_t n = count(random); n > 0; --n) text += kFragments[pick(random)];
  return text;
}

void expect_faithful(ThltRTFSyntax& converter, const std::string& text, const std::string& label) {
  converter.SetText(text);
  const std::string rtf = converter.GetRTF();
  const auto decoded = DecodeBody(rtf, converter.Prologue());
  ASSERT_EQ(decoded.Error, "") << label;
  EXPECT_EQ(decoded.Text, text) << label;
  EXPECT_EQ(decoded.Paragraphs, syntax_test::LineEndOffsets(text)) << label;
  EXPECT_TRUE(syntax_test::BracesBalanced(rtf)) << label;
}

std::string visual_of(ThltRTFSyntax& converter, const std::string& text) {
  converter.SetText(text);
  return DecodeBody(converter.GetRTF(), converter.Prologue()).Visual;
}

class Properties : public testing::TestWithParam<TSyntaxType> {};

TEST_P(Properties, RandomTextsSurviveConversion) {
  std::mt19937 random(20061208u + static_cast<unsigned>(GetParam()));
  auto converter = CreateSyntaxConverter(GetParam());
  for (int i = 0; i < 400; ++i) {
    const std::string text = random_text(random);
    // One converter for all texts, so carried states meet every kind of start.
    expect_faithful(*converter, text, "text #" + std::to_string(i));
    if (HasFailure()) return;
  }
}

TEST_P(Properties, CrLfAndLfTextsShowTheSame) {
  std::mt19937 random(1208u + static_cast<unsigned>(GetParam()));
  for (int i = 0; i < 300; ++i) {
    const std::string text = random_text(random);
    // Fresh converters: both texts start from the same state.
    auto crlf = CreateSyntaxConverter(GetParam());
    auto lf = CreateSyntaxConverter(GetParam());
    EXPECT_EQ(visual_of(*crlf, syntax_test::ToCrLf(text)), visual_of(*lf, syntax_test::ToLf(text)))
        << "text #" << i;
    if (HasFailure()) return;
  }
}

// The rich edit colours one line at a time with the state carried over; a
// whole text must show exactly as its lines converted one after the other.
TEST_P(Properties, LineByLineShowsLikeTheWholeText) {
  std::mt19937 random(812u + static_cast<unsigned>(GetParam()));
  for (int i = 0; i < 300; ++i) {
    const std::string text = syntax_test::ToCrLf(random_text(random));
    auto whole = CreateSyntaxConverter(GetParam());
    const std::string shown = visual_of(*whole, text);
    auto byLine = CreateSyntaxConverter(GetParam());
    std::string lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines += visual_of(*byLine, text.substr(start, end - start)) + "\n";
    }
    lines += visual_of(*byLine, text.substr(start));
    EXPECT_EQ(lines, shown) << "text #" << i;
    if (HasFailure()) return;
  }
}

TEST_P(Properties, SampleFilesSurviveAndShowTheSameWithLf) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(QC_SOURCE_DIR) / "tests" / "data" / SyntaxTypeName(GetParam());
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".src") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    auto converter = CreateSyntaxConverter(GetParam());
    expect_faithful(*converter, bytes.str(), entry.path().string());
    auto crlf = CreateSyntaxConverter(GetParam());
    auto lf = CreateSyntaxConverter(GetParam());
    EXPECT_EQ(visual_of(*crlf, syntax_test::ToCrLf(bytes.str())),
              visual_of(*lf, syntax_test::ToLf(bytes.str())))
        << entry.path();
  }
}

TEST_P(Properties, ConvertingBeforeAnyTextGivesAnEmptyDocument) {
  auto converter = CreateSyntaxConverter(GetParam());
  EXPECT_EQ(converter->GetRTF(), converter->Prologue() + "}");
}

TEST_P(Properties, EmptyTextGivesNoTokens) {
  auto converter = CreateSyntaxConverter(GetParam());
  converter->SetText("");
  EXPECT_TRUE(converter->GetEol());
  EXPECT_EQ(converter->GetRTF(), converter->Prologue() + "}");
}

INSTANTIATE_TEST_SUITE_P(hltProperties, Properties,
                         testing::Values(stCPlusPlus, stDFM, stJScript, stSQL, stVB, stVBScript, stXML,
                                         stDelphi),
                         [](const testing::TestParamInfo<TSyntaxType>& info) {
                           return SyntaxTypeName(info.param);
                         });

}  // namespace
