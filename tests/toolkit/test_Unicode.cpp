/// Tests for Unicode.cpp: UTF-8 steps against a plain reference decoder,
/// the writer's refusal of what UTF-8 cannot carry, and case folding.
#include "toolkit/Unicode.h"

#include <gtest/gtest.h>

#include <random>

namespace {

/// The code point a well-formed sequence at Pos stands for, by the rules
/// written out long-hand; 0 length when none starts there.
char32_t ReferenceDecode(std::string_view bytes, size_t pos, size_t& length) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[pos + k]); };
  length = 0;
  const unsigned char lead = b(0);
  size_t n = lead < 0x80             ? 1
             : (lead & 0xE0) == 0xC0 ? 2
             : (lead & 0xF0) == 0xE0 ? 3
             : (lead & 0xF8) == 0xF0 ? 4
                                     : 0;
  if (n == 0 || pos + n > bytes.size()) return 0;
  char32_t c = n == 1 ? lead : lead & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b(k) & 0x3F);
  }
  const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  length = n;
  return c;
}

TEST(Unicode, DecodingAgreesWithTheReferenceAndEncodingGivesTheBytesBack) {
  std::mt19937 random(20261209);
  // Bytes drawn mostly from lead and continuation ranges, so that every
  // kind of sequence, well-formed or not, turns up often.
  const unsigned char pool[] = {'a',  0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    for (int i = static_cast<int>(random() % 12); i > 0; --i)
      bytes += static_cast<char>(pool[random() % sizeof pool]);
    std::string again;
    for (size_t pos = 0; pos < bytes.size();) {
      size_t expected = 0, length = 0;
      const char32_t reference = ReferenceDecode(bytes, pos, expected);
      const char32_t got = unicode::DecodeUtf8(bytes, pos, length);
      ASSERT_EQ(unicode::SequenceLength(bytes, pos), expected) << "round " << round << " at " << pos;
      if (expected == 0) {
        ASSERT_EQ(length, 1u);
        ASSERT_EQ(got, unicode::kRawByte + static_cast<unsigned char>(bytes[pos]));
        again += bytes[pos];
      } else {
        ASSERT_EQ(length, expected);
        ASSERT_EQ(got, reference);
        unicode::AppendUtf8(again, got);
      }
      pos += length;
    }
    ASSERT_EQ(again, bytes) << "round " << round;
  }
}

TEST(Unicode, TheWriterPutsTheReplacementForWhatUtf8CannotCarry) {
  for (const char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}, char32_t{0xFFFFFFFF}}) {
    std::string out;
    unicode::AppendUtf8(out, c);
    EXPECT_EQ(out, "\xEF\xBF\xBD") << static_cast<uint32_t>(c);
  }
  std::string out;
  unicode::AppendUtf8(out, 0x10FFFF);
  EXPECT_EQ(out, "\xF4\x8F\xBF\xBF");
}

TEST(Unicode, FoldingLowersTheLettersOfEveryScriptItKnowsAndKeepsTheRest) {
  using unicode::FoldCase;
  EXPECT_EQ(FoldCase("Save AS"), "save as");
  EXPECT_EQ(FoldCase("\xC3\x89T\xC3\x89 \xC3\x97"), "\xC3\xA9t\xC3\xA9 \xC3\x97");  // ÉTÉ ×
  EXPECT_EQ(FoldCase("\xC5\x81\xC3\x93"
                     "D\xC5\xB9"),
            "\xC5\x82\xC3\xB3"
            "d\xC5\xBA");                                                   // ŁÓDŹ
  EXPECT_EQ(FoldCase("\xC5\xB8"), "\xC3\xBF");                              // Ÿ
  EXPECT_EQ(FoldCase("\xC5\xBF"), "s");                                     // long s
  EXPECT_EQ(FoldCase("\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91 \xCF\x82"),  // ΣΟΦΊΑ ς
            "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1 \xCF\x83");
  EXPECT_EQ(FoldCase("\xD0\x81\xD0\x96\xD3\x90"), "\xD1\x91\xD0\xB6\xD3\x91");  // ЁЖӐ
  // Bytes that are not UTF-8, and characters without case, go through untouched.
  EXPECT_EQ(FoldCase("A\xC9\xFF\xE2\x82"
                     "B"),
            "a\xC9\xFF\xE2\x82"
            "b");
  EXPECT_EQ(FoldCase("\xE6\x97\xA5\xF0\x9F\x98\x80\xEF\xBC\xA1"), "\xE6\x97\xA5\xF0\x9F\x98\x80\xEF\xBC\xA1");
  // Folding twice changes nothing more.
  for (char32_t c = 0; c < 0x600; ++c)
    EXPECT_EQ(unicode::FoldCase(unicode::FoldCase(c)), unicode::FoldCase(c)) << static_cast<uint32_t>(c);
}

}  // namespace
