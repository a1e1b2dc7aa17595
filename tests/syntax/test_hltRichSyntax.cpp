/// Tests for syntax/hltRichSyntax.cpp: the prologue, the colour and font
/// tables, and the conversion loop of the converter base.

#include <gtest/gtest.h>

#include "SyntaxTestUtil.h"
#include "syntax/hltPas.h"
#include "syntax/hltRichSyntax.h"

namespace {

/// A converter whose scanner hands out a fixed list of tokens, all of one kind.
class FixedTokens : public ThltRTFSyntax {
 public:
  FixedTokens(std::vector<std::string> tokens, int kind) : FTokens(std::move(tokens)), FKind(kind) {}
  void SetLine(const std::string&, int) override { FIndex = 0; }
  void Next() override { ++FIndex; }
  bool GetEol() override { return FIndex >= FTokens.size(); }
  std::string GetToken() override { return FTokens[FIndex]; }
  int GetTokenKind() override { return FKind; }

 private:
  std::vector<std::string> FTokens;
  int FKind;
  size_t FIndex = 0;
};

/// A stream that refuses every write.
class BrokenStream : public TStream {
 public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
};

const std::string kCourierHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}\r\n";
const std::string kBodyStart = "\\deflang1033\\pard\\plain\\f0\\fs20\\f0 ";

std::string body_of(ThltRTFSyntax& converter) {
  const std::string rtf = converter.GetRTF();
  return rtf.substr(converter.Prologue().size());
}

TEST(hltRichSyntax, PrologueWithCourierNewAndTwoColours) {
  // Given a bare converter with the colour list (blue, green)
  ThltRTFSyntax converter;
  converter.SetColors({clBlue, clGreen});
  // When an empty text is converted
  converter.SetText("");
  // Then the prologue is byte for byte the fixed header and colour table, then the closing brace
  EXPECT_EQ(converter.GetRTF(),
            kCourierHeader +
                "{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
                "\r\n" +
                kBodyStart + "}");
}

TEST(hltRichSyntax, BareConverterHasNoColourTableUntilSetColors) {
  ThltRTFSyntax converter;
  EXPECT_EQ(converter.ColorTable(), "");
  converter.SetText("anything at all");
  EXPECT_EQ(converter.GetRTF(), kCourierHeader + kBodyStart + "}");
}

TEST(hltRichSyntax, EmptyColourListGivesTheBlackEntryOnly) {
  ThltRTFSyntax converter;
  converter.SetColors({});
  EXPECT_EQ(converter.ColorTable(), "{\\colortbl\\red0\\green0\\blue0;}\r\n");
}

TEST(hltRichSyntax, SystemColourIsWrittenAsItsRgbValue) {
  const TColor rgb = ColorToRGB(clWindow);
  ASSERT_FALSE(IsSystemColor(rgb));
  EXPECT_EQ(ThltRTFSyntax::ColorToRTF(clWindow), ThltRTFSyntax::ColorToRTF(rgb));
  EXPECT_EQ(ThltRTFSyntax::ColorToRTF(RGB(0, 128, 0)), "\\red0\\green128\\blue0;");
  EXPECT_EQ(ThltRTFSyntax::ColorToRTF(RGB(1, 22, 255)), "\\red1\\green22\\blue255;");
}

TEST(hltRichSyntax, TokensAroundCrLfMakeTwoParagraphs) {
  FixedTokens converter({"a", "\r\n", "b"}, 4);
  converter.SetText("");
  EXPECT_EQ(body_of(converter), "\\cf4 a\\par \\cf4 \r\n\\cf4 b}");
}

struct ParagraphCase {
  const char* name;
  std::vector<std::string> tokens;
  const char* body;
};

class ParagraphEnds : public testing::TestWithParam<ParagraphCase> {};

TEST_P(ParagraphEnds, ParMarksStandBeforeLineEnds) {
  FixedTokens converter(GetParam().tokens, 1);
  converter.SetText("");
  EXPECT_EQ(body_of(converter), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    hltRichSyntax, ParagraphEnds,
    testing::Values(ParagraphCase{"NoLineEnd", {"abc"}, "\\cf1 abc}"},
                    ParagraphCase{"LoneCr", {"a", "\r", "b"}, "\\cf1 a\\par \\cf1 \r\\cf1 b}"},
                    // A text with LF line ends still keeps its lines apart.
                    ParagraphCase{"LoneLf", {"a", "\n", "b"}, "\\cf1 a\\par \\cf1 \n\\cf1 b}"},
                    // The LF of a CR LF split over two tokens ends no second paragraph.
                    ParagraphCase{"CrThenLfToken", {"a", "\r", "\nb"}, "\\cf1 a\\par \\cf1 \r\\cf1 \nb}"},
                    ParagraphCase{"LfStartingAToken", {"a", "\nb"}, "\\cf1 a\\par \\cf1 \nb}"},
                    ParagraphCase{"EmptyToken", {"", "\r\n"}, "\\cf1 \\par \\cf1 \r\n}"}),
    [](const testing::TestParamInfo<ParagraphCase>& info) { return info.param.name; });

TEST(hltRichSyntax, KindBeyondTheColourTableIsWrittenUnchanged) {
  FixedTokens converter({"x"}, 9);
  converter.SetColors({clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue});
  const std::string table = converter.ColorTable();
  converter.SetText("");
  EXPECT_EQ(body_of(converter), "\\cf9 x}");
  EXPECT_EQ(converter.ColorTable(), table);
}

struct FontCase {
  const char* name;
  std::string fontName;
  int charset;
  TFontPitch pitch;
  const char* entry;
};

class FontEntries : public testing::TestWithParam<FontCase> {};

TEST_P(FontEntries, EntryNamesFamilyAndCharacterSet) {
  TFont font;
  font.SetName(GetParam().fontName);
  font.SetCharset(GetParam().charset);
  font.SetPitch(GetParam().pitch);
  ThltRTFSyntax converter;
  converter.SetFonts({font});
  EXPECT_EQ(converter.FontTable(), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    hltRichSyntax, FontEntries,
    testing::Values(FontCase{"CourierNew", "Courier New", DEFAULT_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fmodern\\fcharset0 Courier New;}"},
                    FontCase{"Arial", "Arial", DEFAULT_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fswiss\\fcharset0 Arial;}"},
                    FontCase{"TimesNewRoman", "Times New Roman", ANSI_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\froman\\fcharset0 Times New Roman;}"},
                    FontCase{"ScriptFont", "Comic Sans MS", DEFAULT_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fscript\\fcharset0 Comic Sans MS;}"},
                    FontCase{"SymbolFont", "Symbol", DEFAULT_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fdecorative\\fcharset2 Symbol;}"},
                    FontCase{"OemFont", "Terminal", DEFAULT_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fmodern\\fcharset255 Terminal;}"},
                    FontCase{"ShiftJis", "Courier New", SHIFTJIS_CHARSET, TFontPitch::fpDefault,
                             "{\\f0\\fmodern\\fcharset128 Courier New;}"},
                    // A character set without a word keeps both backslashes.
                    FontCase{"GreekCharset", "Courier New", 161, TFontPitch::fpDefault,
                             "{\\f0\\fmodern\\ Courier New;}"},
                    FontCase{"UnknownFixed", "Some Mono", DEFAULT_CHARSET, TFontPitch::fpFixed,
                             "{\\f0\\fmodern\\fcharset0 Some Mono;}"},
                    FontCase{"BracesInTheName", "A{b}\\c", DEFAULT_CHARSET, TFontPitch::fpVariable,
                             "{\\f0\\fswiss\\fcharset0 A\\{b\\}\\\\c;}"},
                    FontCase{"UnknownVariable", "Some Sans", DEFAULT_CHARSET, TFontPitch::fpVariable,
                             "{\\f0\\fswiss\\fcharset0 Some Sans;}"}),
    [](const testing::TestParamInfo<FontCase>& info) { return info.param.name; });

TEST(hltRichSyntax, FontsAreNumberedInOrderAndTheBodyUsesFontZero) {
  TFont courier;
  courier.SetName("Courier New");
  TFont arial;
  arial.SetName("Arial");
  ThltRTFSyntax converter;
  converter.SetFonts({courier, arial});
  EXPECT_EQ(converter.FontTable(), "{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fswiss\\fcharset0 Arial;}");
  EXPECT_NE(converter.Prologue().find("\\plain\\f0\\fs20\\f0 "), std::string::npos);
}

TEST(hltRichSyntax, AReplacedMetricsProviderDecidesTheWords) {
  // Given a provider that reports family classes 0 and 7 and character set 1
  SetFontMetricsProvider([](const TFont& font) {
    return ThltFontMetrics{DEFAULT_CHARSET, font.Name() == "A" ? FF_DONTCARE : 0x70};
  });
  TFont a;
  a.SetName("A");
  TFont b;
  b.SetName("B");
  ThltRTFSyntax converter;
  converter.SetFonts({a, b});
  SetFontMetricsProvider(nullptr);
  // Then class 0 is "fdontcare" and an unnamed class falls back on "froman"
  EXPECT_EQ(converter.FontTable(), "{\\f0\\fdontcare\\fcharset1 A;}{\\f1\\froman\\fcharset1 B;}");
  // And the default is back
  converter.SetFonts({a});
  EXPECT_EQ(converter.FontTable(), "{\\f0\\fswiss\\fcharset0 A;}");
}

TEST(hltRichSyntax, ConversionWritesAtTheStreamPositionWithoutRewinding) {
  ThltPasRTF converter;
  converter.SetText("x");
  const std::string rtf = converter.GetRTF();
  converter.SetText("x");
  TMemoryStream stream;
  stream.WriteString("XYZ");
  converter.ConvertToStream(stream);
  EXPECT_EQ(stream.DataString(), "XYZ" + rtf);
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(hltRichSyntax, LargeOutputArrivesWholeAndInOrder) {
  // More than one block of output goes through the stream in pieces.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "begin x := " + std::to_string(i) + "; end;\r\n";
  ThltPasRTF converter;
  converter.SetText(text);
  TMemoryStream stream;
  converter.ConvertToStream(stream);
  const auto decoded = syntax_test::DecodeBody(stream.DataString(), converter.Prologue());
  EXPECT_EQ(decoded.Error, "");
  EXPECT_EQ(decoded.Text, text);
}

TEST(hltRichSyntax, WriteFailurePropagates) {
  ThltPasRTF converter;
  converter.SetText("begin end");
  BrokenStream stream;
  EXPECT_THROW(converter.ConvertToStream(stream), EWriteError);
}

TEST(hltRichSyntax, HeaderIsBuiltOnceAtConstruction) {
  ThltRTFSyntax converter;
  converter.SetCodePage(1250);
  EXPECT_EQ(converter.CodePage(), 1250);
  EXPECT_EQ(converter.Header().rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u);
}

TEST(hltRichSyntax, EscapingDoublesBackslashesBeforeEscapingBraces) {
  ThltPasRTF converter;
  std::string token = "a\\b{c}\\{";
  converter.EscapeToken(token);
  EXPECT_EQ(token, "a\\\\b\\{c\\}\\\\\\{");
  ThltRTFSyntax bare;
  std::string unchanged = "\\{";
  bare.EscapeToken(unchanged);
  EXPECT_EQ(unchanged, "\\{");
}

TEST(hltRichSyntax, TheTextIsCopiedSoATemporaryMayBePassed) {
  ThltPasRTF converter;
  converter.SetText(std::string("begin ") + std::string(100, 'x') + " end");
  const std::string rtf = converter.GetRTF();
  EXPECT_NE(rtf.find(std::string(100, 'x')), std::string::npos);
}

}  // namespace
