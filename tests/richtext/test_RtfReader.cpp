/// Tests for richtext/RtfReader.cpp: every construct the reader handles, the
/// formats it reports and its behaviour on malformed input.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "qtbridge/QtText.h"
#include "richtext/RtfPlainText.h"
#include "richtext/RtfReader.h"

namespace {

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "|" : "") + lines[i];
  return out;
}

std::string PlainOf(std::string_view rtf) {
  return Join(RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8));
}

struct PlainCase {
  const char* name;
  std::string rtf;
  std::string lines;  // expected lines joined with '|', UTF-8
};

class ReaderPlainText : public ::testing::TestWithParam<PlainCase> {};

TEST_P(ReaderPlainText, ShowsTheText) { EXPECT_EQ(PlainOf(GetParam().rtf), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Constructs, ReaderPlainText,
    ::testing::Values(
        // Paragraphs and breaks.
        PlainCase{"ParEndsParagraph", "{\\rtf1 a\\par b}", "a|b"},
        PlainCase{"LastParIsDocumentEnd", "{\\rtf1 a\\par}", "a"},
        PlainCase{"EmptyParagraphs", "{\\rtf1 a\\par\\par\\par b\\par}", "a|||b"},
        PlainCase{"EmptyDocument", "{\\rtf1}", ""},
        PlainCase{"PardAndPlainDoNotBreak", "{\\rtf1 a\\pard b\\plain c}", "abc"},
        PlainCase{"LineBreakStartsALine", "{\\rtf1 a\\line b}", "a|b"},
        PlainCase{"TabControlWordAndRawTab", "{\\rtf1 a\\tab b\tc}", "a\tb\tc"},
        // A break after a paragraph end adds no empty line.
        PlainCase{"PageAndSectEndTheParagraph", "{\\rtf1 a\\page b\\sect c\\par\\page d\\par\\sect}",
                  "a|b|c|d"},
        PlainCase{"SourceLineEndsIgnored", "{\\rtf1 wo\r\nrd \\b\r\nbold}", "word bold"},
        PlainCase{"EscapedCrLfEndParagraphs", "{\\rtf1 a\\'0d\\'0ab\\'0dc\\'0ad}", "a|b|c|d"},
        PlainCase{"UnicodeSeparators", "{\\rtf1 a\\u8232?b\\u8233?c}", "a|b|c"},
        PlainCase{"FrameCharactersReplaced", "{\\rtf1 a\\u-560?\\u-4?b}", "a\ufffd\ufffdb"},
        PlainCase{"BackslashNewlineIsPar", "{\\rtf1 a\\\nb}", "a|b"},
        // Characters.
        PlainCase{"EscapedSpecials", "{\\rtf1 \\{x\\} \\\\}", "{x} \\"},
        PlainCase{"NamedCharacters",
                  "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
                  "\u2014\u2013\u2022\u2018\u2019\u201c\u201d"},
        PlainCase{"NbspHyphens", "{\\rtf1 a\\~b\\-c\\_d}", "a\u00a0bc\u2011d"},
        PlainCase{"HexBytes1252", "{\\rtf1\\ansi caf\\'e9 \\'80\\'93}", "caf\u00e9 \u20ac\u201c"},
        PlainCase{"RawHighBytes", "{\\rtf1\\ansi caf\xe9}", "caf\u00e9"},
        PlainCase{"UnicodeWithFallback", "{\\rtf1 \\u8212?x}", "\u2014x"},
        PlainCase{"UnicodeNegative", "{\\rtf1 \\u-3913?}", "\uf0b7"},
        PlainCase{"Uc0NoFallback", "{\\rtf1\\uc0 \\u955\\u956 x}", "\u03bb\u03bcx"},
        PlainCase{"Uc2SkipsTwo", "{\\rtf1\\uc2 \\u233\\'65\\'27x}", "\u00e9x"},
        PlainCase{"UcIsGroupScoped", "{\\rtf1{\\uc3 \\u955 abc}\\u955?d}", "\u03bb\u03bbd"},
        PlainCase{"SkipCountsAControlWord", "{\\rtf1 \\u955\\b x}", "\u03bbx"},
        PlainCase{"SkipStopsAtGroupEnd", "{\\rtf1\\uc5 {\\u955}x}", "\u03bbx"},
        PlainCase{"SurrogatePair", "{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600"},
        PlainCase{"UnpairedSurrogate", "{\\rtf1 \\u-10179?x}", "\ufffdx"},
        // Destinations.
        PlainCase{"FontAndColourTablesHidden",
                  "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}x}", "x"},
        PlainCase{"StylesheetInfoSkipped",
                  "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x}", "x"},
        PlainCase{"IgnorableUnknownSkipped", "{\\rtf1 a{\\*\\unknown text {nested} more}b}", "ab"},
        PlainCase{"UnknownWordSkippedTextKept", "{\\rtf1 \\unknownword a}", "a"},
        PlainCase{"BinInsideIgnorable", "{\\rtf1 a{\\*\\blob \\bin4 }}{x}b}", "ab"},
        PlainCase{"BinInText", "{\\rtf1 a\\bin2 xyb}", "ab"},
        PlainCase{"FieldShowsResult",
                  "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link text}} now}",
                  "see link text now"},
        PlainCase{"FieldInstWithoutStar", "{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
        PlainCase{"NestedFields",
                  "{\\rtf1 {\\field{\\*\\fldinst A}{\\fldrslt x{\\field{\\*\\fldinst B}{\\fldrslt y}}z}}}",
                  "xyz"},
        PlainCase{"HiddenTextLeftOut", "{\\rtf1 a\\v hidden\\v0 b{\\v x}c}", "abc"},
        PlainCase{"PnTextLeftOut", "{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}item}",
                  "item"},
        PlainCase{"OldPnWithoutStar", "{\\rtf1{\\pn\\pnlvlbody\\pndec{\\pntxta .}}item}", "item"},
        PlainCase{"ListTextShown", "{\\rtf1{\\listtext 1.\\tab}item}", "1.\titem"},
        PlainCase{"ObjectShowsResult",
                  "{\\rtf1 a{\\object{\\*\\objclass X}{\\objdata 0102}{\\result shown}}b}", "ashownb"},
        PlainCase{"UprUsesUd", "{\\rtf1{\\upr{ansi}{\\*\\ud{uni}}}}", "uni"},
        PlainCase{"FootnoteHeaderPictSkipped",
                  "{\\rtf1 a{\\footnote note}{\\header h}{\\pict\\pngblip 89504e47}b}", "ab"},
        // A row is a line, its cells separated by tabs; the paragraph end
        // that closes a cell (also after a \\pard, as some writers put it)
        // is no line of its own, and an empty row is none at all.
        PlainCase{
            "TableRowsAreLines",
            "{\\rtf1\\trowd\\cellx100\\cellx200 \\intbl A\\cell B\\cell\\row\\intbl C\\par D\\par\\cell "
            "\\cell\\cell\\row\\trowd{\\pard E\\par}\\cell\\cell F\\cell\\row\\trowd\\cell\\cell\\row after}",
            "A\tB|C|D\t\t|E\t\tF|after"},
        PlainCase{"RowWithTextBeforeIt", "{\\rtf1\\intbl A\\cell tail\\row x}", "A\ttail|x"},
        PlainCase{"CellWithoutRowClosedAtEnd", "{\\rtf1\\intbl A\\cell B}", "A\tB"},
        PlainCase{
            "NestedRowsBeforeTheirRow",
            "{\\rtf1\\intbl\\itap1 out\\par\\itap2 a\\nestcell b\\nestcell{\\*\\nesttableprops\\nestrow}"
            "{\\nonesttables\\par}\\itap1 \\cell z\\cell\\row}",
            "out|a\tb|\tz"},
        // Malformed input: show what could be read.
        PlainCase{"ExtraClosingBrace", "{\\rtf1 a}}b}", "ab"},
        PlainCase{"TruncatedInGroup", "{\\rtf1 a{\\b bold", "abold"},
        PlainCase{"TruncatedInWord", "{\\rtf1 a\\pa", "a"},
        PlainCase{"TruncatedInHex", "{\\rtf1 a\\'e", "ae"},
        PlainCase{"TruncatedInFontTable", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        PlainCase{"AbsurdBinLengthIsGarbage", "{\\rtf1 a\\bin999999999999 xyz}", "axyz"},
        PlainCase{"HugeValidBinLength", "{\\rtf1 a\\bin2000000000 xyz}", "a"},
        PlainCase{"NegativeBin", "{\\rtf1 a\\bin-5 b}", "ab"},
        PlainCase{"TextAfterFinalBrace", "{\\rtf1 a}trailing", "atrailing"}),
    [](const auto& info) { return std::string(info.param.name); });

/// Records text together with a format summary, one entry per run.
class TFormatRecorder : public TRtfListener {
 public:
  std::vector<std::pair<std::string, TRtfCharFormat>> Runs;
  std::vector<TRtfParaFormat> Paragraphs;
  const TRtfTables* Tables = nullptr;
  int CodePage = 0;
  void Start(const TRtfTables& tables) override { Tables = &tables; }
  void Text(std::string_view bytes, int codePage, const TRtfCharFormat& f) override {
    Runs.emplace_back(std::string(bytes), f);
    CodePage = codePage;
  }
  void Unicode(char32_t, const TRtfCharFormat& f) override { Runs.emplace_back("U", f); }
  void LineBreak(const TRtfCharFormat&) override {}
  void Picture(const TRtfPicture& p, const TRtfCharFormat&) override { Pictures.push_back(p); }
  void ParagraphEnd(const TRtfParaFormat& f) override { Paragraphs.push_back(f); }
  std::vector<TRtfPicture> Pictures;
  void Finish(const TRtfParaFormat& f) override { Paragraphs.push_back(f); }
};

TEST(ReaderFormats, NewTopicBodyTitleIsSixteenPointBoldBlueArial) {
  const std::string body =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 "
      "Arial;}}\r\n"
      "{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 <new "
      "topic>\\cf0\\b0\\fs20\\par\\par "
      "}\r\n";
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read(body, rec);
  ASSERT_EQ(rec.Runs.size(), 1u);
  const auto& [text, f] = rec.Runs[0];
  EXPECT_EQ(text, "<new topic>");
  EXPECT_TRUE(f.Bold);
  EXPECT_EQ(f.SizeHalfPoints, 32);
  EXPECT_EQ(reader.Tables().Color(f.Color), std::optional<uint32_t>(0x0000FF));
  EXPECT_EQ(reader.Tables().FindFont(f.Font)->Name, "Arial");
  EXPECT_EQ(rec.Paragraphs.size(), 3u);  // two paragraph ends, then the end
  EXPECT_EQ(Join(RtfToPlainTextLines(body, &qtbridge::CodePageToUtf8)), "<new topic>|");
}

TEST(ReaderFormats, GroupsRestoreFormatting) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read("{\\rtf1 a{\\b b{\\i c{\\ul d}e}f}g\\strike h\\strike0 i}", rec);
  std::string summary;
  for (const auto& [text, f] : rec.Runs)
    summary += text + (f.Bold ? "B" : "") + (f.Italic ? "I" : "") + (f.Underline ? "U" : "") +
               (f.Strike ? "S" : "") + " ";
  EXPECT_EQ(summary, "a bB cBI dBIU eBI fB g hS i ");
}

TEST(ReaderFormats, ToggleParametersAndUnderlineVariants) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read("{\\rtf1\\b1 a\\b0 b\\uldb c\\ulnone d\\ul e\\ul0 f\\super g\\nosupersub h\\scaps i}", rec);
  ASSERT_EQ(rec.Runs.size(), 9u);
  EXPECT_TRUE(rec.Runs[0].second.Bold);
  EXPECT_FALSE(rec.Runs[1].second.Bold);
  EXPECT_TRUE(rec.Runs[2].second.Underline);
  EXPECT_FALSE(rec.Runs[3].second.Underline);
  EXPECT_TRUE(rec.Runs[4].second.Underline);
  EXPECT_FALSE(rec.Runs[5].second.Underline);
  EXPECT_EQ(rec.Runs[6].second.VertAlign, 1);
  EXPECT_EQ(rec.Runs[7].second.VertAlign, 0);
  EXPECT_EQ(rec.Runs[8].second.Caps, 2);
}

TEST(ReaderFormats, ParagraphFormatsAndPardReset) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read("{\\rtf1\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\tx1440\\tqr\\tx2880 a\\par b\\par\\pard c}",
              rec);
  ASSERT_EQ(rec.Paragraphs.size(), 3u);
  const TRtfParaFormat& p = rec.Paragraphs[0];
  EXPECT_EQ(p.Alignment, TRtfAlignment::Center);
  EXPECT_EQ(p.LeftIndent, 720);
  EXPECT_EQ(p.RightIndent, 360);
  EXPECT_EQ(p.FirstIndent, -360);
  EXPECT_EQ(p.SpaceBefore, 120);
  EXPECT_EQ(p.SpaceAfter, 240);
  ASSERT_EQ(p.Tabs.size(), 2u);
  EXPECT_EQ(p.Tabs[1].Position, 2880);
  EXPECT_EQ(p.Tabs[1].Kind, TRtfTabKind::Right);
  EXPECT_EQ(rec.Paragraphs[1], p);                 // properties carry on until \pard
  EXPECT_EQ(rec.Paragraphs[2], TRtfParaFormat());  // the last paragraph, after \pard
}

TEST(ReaderFormats, LastParagraphKeepsItsFormatAfterTheFinalBrace) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read("{\\rtf1\\qr right}", rec);
  ASSERT_EQ(rec.Paragraphs.size(), 1u);
  EXPECT_EQ(rec.Paragraphs[0].Alignment, TRtfAlignment::Right);
}

TEST(ReaderFormats, PnNumberingReachesTheParagraph) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read("{\\rtf1\\pard{\\*\\pn\\pnlvlblt}a\\par b\\par\\pard c}", rec);
  ASSERT_EQ(rec.Paragraphs.size(), 3u);
  EXPECT_EQ(rec.Paragraphs[0].Numbering, TRtfNumbering::Bullet);
  EXPECT_EQ(rec.Paragraphs[1].Numbering, TRtfNumbering::Bullet);
  EXPECT_EQ(rec.Paragraphs[2].Numbering, TRtfNumbering::None);
}

TEST(ReaderPictures, HexAndBinaryDataWithSizes) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read(
      "{\\rtf1 a{\\pict\\pngblip\\picwgoal1440\\pichgoal720\\picscalex50{\\*\\blipuid ff} 89 50\r\n4e4}"
      "{\\pict\\jpegblip\\bin3 {}\\}{\\pict\\wmetafile8 0102}{\\v{\\pict\\pngblip 00}}"
      "{\\*\\shppict{\\pict\\pngblip 01}}{\\nonshppict{\\pict\\pngblip 02}}b}",
      rec);
  // The hidden picture and the one for old readers are left out; the
  // metafile comes with its format word, for the view's placeholder.
  ASSERT_EQ(rec.Pictures.size(), 4u);
  EXPECT_EQ(rec.Pictures[0].Kind, TRtfPicture::Png);
  EXPECT_EQ(rec.Pictures[0].Data, "\x89PN");  // an odd trailing digit is dropped
  EXPECT_EQ(rec.Pictures[0].WidthGoal, 1440);
  EXPECT_EQ(rec.Pictures[0].HeightGoal, 720);
  EXPECT_EQ(rec.Pictures[0].ScaleX, 50);
  EXPECT_EQ(rec.Pictures[1].Kind, TRtfPicture::Jpeg);
  EXPECT_EQ(rec.Pictures[1].Data, "{}\\");
  EXPECT_EQ(rec.Pictures[2].Kind, TRtfPicture::Other);
  EXPECT_EQ(rec.Pictures[2].Blip, "wmetafile8");
  EXPECT_EQ(rec.Pictures[2].Data, "\x01\x02");
  EXPECT_EQ(rec.Pictures[3].Data, "\x01");
  EXPECT_EQ(PlainOf("{\\rtf1 a{\\pict\\pngblip 8950}b}"), "ab");
}

TEST(ReaderTables, FontAndColourTables) {
  TFormatRecorder rec;
  TRtfReader reader;
  reader.Read(
      "{\\rtf1\\ansi\\ansicpg1251\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times{\\*\\panose 0102}{\\*\\falt "
      "T};}"
      "\\f1\\fswiss\\fcharset204 Arial Cyr;{\\f2\\cpg932 Mincho;}{\\f3 Plain;}}"
      "{\\colortbl\\red0\\green0\\blue0;;\\red255\\green0\\blue0 ;}x}",
      rec);
  const TRtfTables& t = reader.Tables();
  EXPECT_EQ(t.FindFont(0)->Name, "Times");
  EXPECT_EQ(t.FindFont(0)->Family, "roman");
  EXPECT_EQ(t.FindFont(1)->Name, "Arial Cyr");
  EXPECT_EQ(t.CodePageOf(0), 1252);
  EXPECT_EQ(t.CodePageOf(1), 1251);
  EXPECT_EQ(t.CodePageOf(2), 932);
  EXPECT_EQ(t.CodePageOf(3), 1251);   // no charset: the document's code page
  EXPECT_EQ(t.CodePageOf(99), 1251);  // undefined font: the default font's
  ASSERT_EQ(t.Colors.size(), 3u);
  EXPECT_EQ(t.Color(0), std::optional<uint32_t>(0));
  EXPECT_EQ(t.Color(1), std::nullopt);  // the empty entry: automatic
  EXPECT_EQ(t.Color(2), std::optional<uint32_t>(0xFF0000));
  EXPECT_EQ(t.Color(3), std::nullopt);  // out of range
  EXPECT_EQ(rec.CodePage, 1251);        // text in the default font \f1
}

// Malformed input never crashes, hangs or grows without bound.
TEST(ReaderRobustness, VeryDeepNestingKeepsTheText) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 200000; ++i) rtf += "{\\b ";
  rtf += "deep";
  for (int i = 0; i < 200000; ++i) rtf += "}";
  rtf += " out}";
  EXPECT_EQ(PlainOf(rtf), "deep out");
}

TEST(ReaderRobustness, UnclosedDeepNestingAndStrayBytes) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 100000; ++i) rtf += "{";
  rtf += std::string("x\xff\x01\x7f", 4);
  EXPECT_EQ(PlainOf(rtf), "x\u00ff\x01\x7f");
}

TEST(ReaderRobustness, RandomBytesAfterHeaderFinishQuickly) {
  std::string rtf = "{\\rtf1 ";
  uint32_t seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const char alphabet[] = "{}\\'uc0123456789abinpar*-~ \r\n\t\xe9";
    rtf += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
  }
  const auto start = std::chrono::steady_clock::now();
  const auto lines = RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  size_t total = 0;
  for (const auto& l : lines) total += l.size();
  EXPECT_LE(total, rtf.size() * 4);  // output proportional to input
}

TEST(ReaderPlainLines, NotRtfSplitsAtAnyLineEnd) {
  EXPECT_EQ(PlainOf("a\r\nb\rc\nd\r\n"), "a|b|c|d");
  EXPECT_EQ(PlainOf(""), "");
  EXPECT_EQ(PlainOf(" {\\rtf1 x}"), " {\\rtf1 x}");
  EXPECT_EQ(PlainOf("caf\xe9\x81"), "caf\u00e9\u0081");
  EXPECT_FALSE(TRtfReader::IsRtf("{\\rt"));
  EXPECT_TRUE(TRtfReader::IsRtf("{\\rtf"));
}

}  // namespace
