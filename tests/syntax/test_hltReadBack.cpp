/// The converters' output read back by the project's own RTF reader
/// (richtext/RtfReader): the text shows line for line as in the source, and
/// tokens carry the colours, bold and italic their language gives them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "SyntaxTestUtil.h"
#include "richtext/RtfReader.h"
#include "syntax/hltConverters.h"

namespace {

/// The format a character was shown with.
struct Shown {
  std::optional<uint32_t> Rgb;  // 0x00RRGGBB, nullopt: the reader's default colour
  bool Bold = false;
  bool Italic = false;
};

/// Collects the shown text paragraph by paragraph with each character's format.
class Collector : public TRtfListener {
 public:
  void Start(const TRtfTables& tables) override { FTables = &tables; }
  void Text(std::string_view bytes, int, const TRtfCharFormat& format) override {
    for (char c : bytes) Add(c, format);
  }
  void Unicode(char32_t, const TRtfCharFormat& format) override { Add('?', format); }
  void LineBreak(const TRtfCharFormat&) override { NewParagraph(); }
  void ParagraphEnd(const TRtfParaFormat&) override { NewParagraph(); }
  void Finish(const TRtfParaFormat&) override {
    if (!Lines.empty() && Lines.back().empty()) {
      Lines.pop_back();
      Formats.pop_back();
    }
  }

  std::vector<std::string> Lines{std::string()};
  std::vector<std::vector<Shown>> Formats{{}};

 private:
  void Add(char c, const TRtfCharFormat& format) {
    Lines.back() += c;
    Formats.back().push_back(Shown{FTables->Color(format.Color), format.Bold, format.Italic});
  }
  void NewParagraph() {
    Lines.emplace_back();
    Formats.emplace_back();
  }
  const TRtfTables* FTables = nullptr;
};

std::string read_sample(TSyntaxType language, const char* name) {
  const auto path = std::filesystem::path(QC_SOURCE_DIR) / "tests" / "data" / SyntaxTypeName(language) / name;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> source_lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : syntax_test::ToLf(text)) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

struct Reading {
  std::string rtf;
  Collector shown;
  TRtfTables tables;
};

std::unique_ptr<Reading> read_back(TSyntaxType language, const std::string& text) {
  auto reading = std::make_unique<Reading>();
  auto converter = CreateSyntaxConverter(language);
  converter->SetText(text);
  reading->rtf = converter->GetRTF();
  TRtfReader reader;
  reader.Read(reading->rtf, reading->shown);
  reading->tables = reader.Tables();
  return reading;
}

const char* kSamples[][2] = {{"cplusplus", "sample.src"}, {"dfm", "sample.src"},
                             {"jscript", "sample.src"},   {"sql", "sample.src"},
                             {"vb", "sample.src"},        {"vbscript", "sample.src"},
                             {"xml", "sample.src"},       {"delphi", "unit_sample.src"}};

TEST(hltReadBack, EverySampleShowsItsSourceLinesInCourierNew) {
  for (const auto& [name, file] : kSamples) {
    TSyntaxType language;
    ASSERT_TRUE(SyntaxTypeFromName(name, language));
    const std::string source = read_sample(language, file);
    const auto reading = read_back(language, source);
    EXPECT_EQ(reading->shown.Lines, source_lines(source)) << name;
    const TRtfFont* font = reading->tables.FindFont(0);
    ASSERT_NE(font, nullptr) << name;
    EXPECT_EQ(font->Name, "Courier New");
    EXPECT_EQ(font->Family, "modern");
    EXPECT_EQ(font->Charset, 0);
  }
}

TEST(hltReadBack, LfSourcesShowTheirLinesToo) {
  const std::string source = syntax_test::ToLf(read_sample(stCPlusPlus, "sample.src"));
  EXPECT_EQ(read_back(stCPlusPlus, source)->shown.Lines, source_lines(source));
}

struct ColourCase {
  const char* name;
  TSyntaxType language;
  const char* file;
  const char* word;  // the first occurrence in the sample is checked
  std::optional<uint32_t> rgb;
  bool bold;
  bool italic;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class Colours : public testing::TestWithParam<ColourCase> {};

constexpr uint32_t kBlack = 0x000000, kBlue = 0x0000FF, kNavy = 0x000080, kGreen = 0x008000,
                   kMaroon = 0x800000;

TEST_P(Colours, TokenShowsInItsColourAndStyle) {
  const ColourCase& c = GetParam();
  const auto reading = read_back(c.language, read_sample(c.language, c.file));
  const auto& lines = reading->shown.Lines;
  for (size_t line = 0; line < lines.size(); ++line) {
    const size_t at = lines[line].find(c.word);
    if (at == std::string::npos) continue;
    for (size_t i = at; i < at + std::string_view(c.word).size(); ++i) {
      const Shown& shown = reading->shown.Formats[line][i];
      EXPECT_EQ(shown.Rgb, c.rgb) << "character " << i - at;
      EXPECT_EQ(shown.Bold, c.bold) << "character " << i - at;
      EXPECT_EQ(shown.Italic, c.italic) << "character " << i - at;
    }
    return;
  }
  ADD_FAILURE() << c.word << " not shown";
}

INSTANTIATE_TEST_SUITE_P(
    hltReadBack, Colours,
    testing::Values(
        ColourCase{"PascalKeyword", stDelphi, "unit_sample.src", "implementation", kBlack, true, false},
        ColourCase{"PascalComment", stDelphi, "unit_sample.src", "{ A brace comment", kBlue, false, true},
        ColourCase{"PascalAsmText", stDelphi, "unit_sample.src", "mov", std::nullopt, false, false},
        ColourCase{"CppKeyword", stCPlusPlus, "sample.src", "namespace", kBlue, true, false},
        ColourCase{"CppComment", stCPlusPlus, "sample.src", "/* a macro */", kGreen, false, true},
        ColourCase{"CppNumber", stCPlusPlus, "sample.src", "10UL", kBlue, false, false},
        ColourCase{"JScriptKeyword", stJScript, "sample.src", "function", kNavy, false, false},
        ColourCase{"JScriptComment", stJScript, "sample.src", "// A script", kGreen, false, false},
        ColourCase{"VBComment", stVB, "sample.src", "' A comment line", kGreen, false, false},
        ColourCase{"VBScriptNumber", stVBScript, "sample.src", "3", kBlue, false, false},
        ColourCase{"SQLComment", stSQL, "sample.src", "-- a line comment", kNavy, false, true},
        ColourCase{"SQLKeyword", stSQL, "sample.src", "SELECT", kBlack, true, false},
        ColourCase{"SQLString", stSQL, "sample.src", "'unknown'", kBlue, false, false},
        ColourCase{"DFMString", stDFM, "sample.src", "'It''s a form'", kBlue, false, false},
        ColourCase{"DFMComment", stDFM, "sample.src", "{ a comment", kBlue, false, true},
        ColourCase{"XMLElement", stXML, "sample.src", "book", kGreen, false, false},
        ColourCase{"XMLAttribute", stXML, "sample.src", "currency", kMaroon, false, false},
        ColourCase{"XMLAposValue", stXML, "sample.src", "EUR", kBlue, false, false},
        ColourCase{"XMLQuoteValue", stXML, "sample.src", "b1", kGreen, false, false},
        ColourCase{"XMLComment", stXML, "sample.src", " A catalog", kBlue, false, false}),
    [](const testing::TestParamInfo<ColourCase>& info) { return info.param.name; });

}  // namespace
