/// Tests for richtext/RtfTokenizer.cpp: how bytes split into tokens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richtext/RtfTokenizer.h"

namespace {

// One readable string per token: "{", "}", "\word", "\word-12", "\'e9",
// "\sym", "[text]", "!garbage".
std::string Describe(std::string_view data) {
  TRtfTokenizer tokenizer(data);
  std::string out;
  for (;;) {
    const TRtfToken t = tokenizer.Next();
    if (t.Kind == TRtfTokenKind::EndOfData) break;
    if (!out.empty()) out += ' ';
    switch (t.Kind) {
      case TRtfTokenKind::GroupStart:
        out += '{';
        break;
      case TRtfTokenKind::GroupEnd:
        out += '}';
        break;
      case TRtfTokenKind::ControlWord:
        out += t.Garbage ? "!" : "\\";
        out += t.Word;
        if (t.HasParam) out += std::to_string(t.Param);
        break;
      case TRtfTokenKind::ControlSymbol:
        out += "\\";
        out += t.Symbol;
        break;
      case TRtfTokenKind::HexByte: {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\'%02x", t.Byte);
        out += buf;
        break;
      }
      case TRtfTokenKind::Text:
        out += "[";
        out += t.Word;
        out += "]";
        break;
      default:
        break;
    }
  }
  return out;
}

struct TokenCase {
  const char* name;
  std::string input;
  std::string expected;
};

class TokenizerTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerTest, Splits) { EXPECT_EQ(Describe(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenizerTest,
    ::testing::Values(TokenCase{"GroupsAndWords", "{\\rtf1\\ansi x}", "{ \\rtf1 \\ansi [x] }"},
                      TokenCase{"OneSpaceDelimits", "\\b  two", "\\b [ two]"},
                      TokenCase{"NegativeParameter", "\\fi-720\\li720 ", "\\fi-720 \\li720"},
                      TokenCase{"LettersGlueToOneWord", "\\parSecond", "\\parSecond"},
                      TokenCase{"HexEscapes", "a\\'e9\\'C4b", "[a] \\'e9 \\'c4 [b]"},
                      TokenCase{"BadHexDropped", "a\\'zzb", "[a] [zzb]"},
                      TokenCase{"TruncatedHexDropped", "a\\'4", "[a] [4]"},
                      TokenCase{"Symbols", "\\\\\\{\\}\\~\\-\\*", "\\\\ \\{ \\} \\~ \\- \\*"},
                      TokenCase{"RawLineEndsIgnored", "ab\r\ncd", "[ab] [cd]"},
                      TokenCase{"RawTabIsTab", "a\tb", "[a] \\tab [b]"},
                      TokenCase{"BackslashLineEndIsPar", "a\\\r\nb", "[a] \\par [b]"},
                      TokenCase{"BackslashAtEnd", "a\\", "[a]"},
                      TokenCase{"WordTooLong", "\\" + std::string(40, 'x') + " y",
                                "!" + std::string(40, 'x') + " [y]"},
                      TokenCase{"NumberTooLong", "\\fs12345678901 y", "!fs0 [y]"},
                      TokenCase{"NulIgnored", std::string("a\0b", 3), "[a] [b]"},
                      TokenCase{"MinusWithoutDigitIsText", "\\b-x", "\\b [-x]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TokenizerBinary, TakesExactlyTheBytesAndNoMore) {
  TRtfTokenizer tokenizer("\\bin3 {\\}x}");
  EXPECT_EQ(tokenizer.Next().Word, "bin");
  EXPECT_EQ(tokenizer.TakeBytes(3), "{\\}");
  EXPECT_EQ(tokenizer.Next().Word, "x");
  EXPECT_EQ(tokenizer.TakeBytes(1'000'000'000), "}");  // past the end: what is there
  EXPECT_EQ(tokenizer.TakeBytes(5), "");
  EXPECT_EQ(tokenizer.TakeBytes(-5), "");
  EXPECT_TRUE(tokenizer.AtEnd());
}

}  // namespace
