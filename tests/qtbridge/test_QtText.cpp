/// Tests for qtbridge/QtText.cpp: the code pages Qt's converters give for
/// Windows' numbers, and that no character is lost on the way to Qt.
#include <gtest/gtest.h>

#include <string>

#include "qtbridge/QtText.h"

namespace {

using namespace qtbridge;

struct TCodePageCase {
  int CodePage;
  const char* Bytes;
  const char* Utf8;  // what Windows reads there
};

void PrintTo(const TCodePageCase& c, std::ostream* os) { *os << "cp" << c.CodePage; }

class CodePageTable : public ::testing::TestWithParam<TCodePageCase> {};

// One byte sequence per code page that only Windows' own table reads so:
// a neighbouring table (TIS-620 for 874, EUC-KR for 949, Big5 for 950,
// plain Shift_JIS for 932) would give U+FFFD or another character.
TEST_P(CodePageTable, ReadsWhatWindowsReads) {
  const TCodePageCase& c = GetParam();
  EXPECT_FALSE(CodePageConverterName(c.CodePage).empty());
  EXPECT_EQ(CodePageToUtf8(c.Bytes, c.CodePage), c.Utf8);
  EXPECT_EQ(CodePageToQString(c.Bytes, c.CodePage), QString::fromUtf8(c.Utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CodePageTable,
    ::testing::Values(
        TCodePageCase{874, "\x80\x85\xA1", "\u20AC\u2026\u0E01"},
        TCodePageCase{932, "\x87\x40\x82\xA0\x5C", "\u2460\u3042\\"},
        TCodePageCase{936, "\x80\xC4\xE3", "\u20AC\u4F60"},
        TCodePageCase{949, "\x81\x41\xB0\xA1", "\uAC02\uAC00"},
        TCodePageCase{950, "\xA3\xE1\xA4\x40", "\u20AC\u4E00"},
        TCodePageCase{1250, "\x8A\xA5", "\u0160\u0104"}, TCodePageCase{1251, "\xC6\x88", "\u0416\u20AC"},
        TCodePageCase{1252, "\x80\x9F\x81", "\u20AC\u0178\u0081"}, TCodePageCase{1253, "\xC1", "\u0391"},
        TCodePageCase{1254, "\xD0\xFD", "\u011E\u0131"}, TCodePageCase{1255, "\xE0", "\u05D0"},
        TCodePageCase{1256, "\xC7\x81", "\u0627\u067E"}, TCodePageCase{1257, "\xC0", "\u0104"},
        TCodePageCase{1258, "a\xD2z", "a\u0309z"}, TCodePageCase{10000, "\x80\xA5", "\u00C4\u2022"},
        TCodePageCase{437, "\x82\xB0", "\u00E9\u2591"}, TCodePageCase{65001, "\xCE\xA9", "\u03A9"}));

TEST(CodePages, SymbolUnknownAndCutOffBytes) {
  // The Symbol font's bullet; a code page Qt lacks reads as Windows-1252; a
  // lead byte cut off at the end of a run is dropped, not guessed.
  EXPECT_EQ(CodePageToUtf8("\xB7x", kSymbolCodePage), "\u2022x");
  EXPECT_TRUE(CodePageConverterName(1361).empty());
  EXPECT_EQ(CodePageToUtf8("\x80", 1361), "\u20AC");
  EXPECT_EQ(CodePageToUtf8("a\x82", 932), "a");
}

TEST(ToQt, NoCharacterTurnsIntoAQuestionMark) {
  // Every Windows-1252 byte is a character, and comes back as that byte.
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const QString text = AnsiToQString(all);
  ASSERT_EQ(text.size(), 255);
  EXPECT_EQ(text.count(QLatin1Char('?')), 1);
  EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
  EXPECT_EQ(QStringToAnsi(text), all);
  // Text outside Windows-1252 reaches Qt whole: UTF-8 core text (a topic's
  // plain text, a message naming a file), and another code page's bytes.
  EXPECT_EQ(CoreTextToQString("\xCE\xA9 caf\xC3\xA9"), QString::fromUtf8("\u03A9 caf\u00E9"));
  EXPECT_EQ(CoreTextToQString("caf\xE9"), QString::fromUtf8("caf\u00E9"));  // not UTF-8: Windows-1252
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF") || IsValidUtf8("\xED\xA0\x80") || IsValidUtf8("a\xC3"));
  EXPECT_EQ(CodePageToQString("\xD6\xEE", 1251), QString::fromUtf8("\u0426\u043E"));
}

TEST(FromQt, WindowsByteStringsMarkWhatTheyCannotHold) {
  // Back to the core's Windows-1252 a character it lacks is one '?', a
  // surrogate pair included; UTF-8 keeps everything.
  const QString text = QString::fromUtf8("\u20AC\u03A9\U0001F600\u001A");
  EXPECT_EQ(QStringToAnsi(text), "\x80??\x1A");
  std::string perUnit;
  EXPECT_FALSE(AppendAnsiPerUnit(perUnit, text));
  EXPECT_EQ(perUnit, "\x80???\x1A");  // one byte per UTF-16 unit
  EXPECT_EQ(QStringToUtf8(text), "\u20AC\u03A9\U0001F600\u001A");
}

}  // namespace
