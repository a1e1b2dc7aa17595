/// Tests for toolkit/SysUtils.cpp

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct IntCase {
  const char* name;
  const char* text;
  bool valid;
  int32_t value;
};

class StrToIntCases : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntCases, ConvertsOrRefuses) {
  const IntCase& c = GetParam();
  int32_t value = 12345;
  EXPECT_EQ(TryStrToInt(c.text, value), c.valid);
  EXPECT_EQ(StrToIntDef(c.text, -7), c.valid ? c.value : -7);
  if (c.valid) {
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(StrToInt(c.text), c.value);
  } else {
    try {
      StrToInt(c.text);
      FAIL() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + c.text + "' is not a valid integer value");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrToIntCases,
    ::testing::Values(IntCase{"Plain", "42", true, 42}, IntCase{"Negative", "-17", true, -17},
                      IntCase{"ExplicitPlus", "+8", true, 8}, IntCase{"LeadingBlanks", "   5", true, 5},
                      IntCase{"LeadingZeros", "007", true, 7}, IntCase{"Max", "2147483647", true, 2147483647},
                      IntCase{"Min", "-2147483648", true, -2147483647 - 1},
                      IntCase{"AboveMax", "2147483648", false, 0},
                      IntCase{"BelowMin", "-2147483649", false, 0},
                      IntCase{"Huge", "99999999999999999999999", false, 0}, IntCase{"Empty", "", false, 0},
                      IntCase{"SignOnly", "-", false, 0}, IntCase{"BlanksOnly", "   ", false, 0},
                      IntCase{"TrailingBlank", "5 ", false, 0}, IntCase{"InnerLetter", "1a2", false, 0},
                      IntCase{"DoubleSign", "--1", false, 0}, IntCase{"BlankAfterSign", "- 1", false, 0}),
    [](const ::testing::TestParamInfo<IntCase>& info) { return std::string(info.param.name); });

TEST(Format, PrintfStyle) {
  EXPECT_EQ(Format("%6.6d", -5), "-000005");
  EXPECT_EQ(Format("%s (%d)", "Topic", 12), "Topic (12)");
  EXPECT_EQ(Format("%d%%", 50), "50%");
  const std::string big(1000, 'x');  // past the small on-stack buffer
  EXPECT_EQ(Format("[%s]", big.c_str()), "[" + big + "]");
  EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
}

TEST(TextHelpers, AsciiOnlyCaseAndTrim) {
  EXPECT_EQ(UpperCase("abc\xE9z"), "ABC\xE9Z");
  EXPECT_EQ(LowerCase("ABC\xC9Z"), "abc\xC9z");
  EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("\xE9", "z"), 0);  // bytes above 127 sort after ASCII
  EXPECT_TRUE(SameText("x", "X"));
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
}

TEST(TextHelpers, MessageExcerptsAreShortAndPrintable) {
  EXPECT_EQ(MessageExcerpt("plain \xE9 text"), "plain \xE9 text");
  EXPECT_EQ(MessageExcerpt(std::string("a\0b\r\n\x7F", 6)), "a\\x00b\\x0D\\x0A\\x7F");
  EXPECT_EQ(MessageExcerpt(std::string(10 << 20, 'x')), std::string(200, 'x') + "...");
  EXPECT_EQ(MessageExcerpt("abcdef", 3), "abc...");
  // A conversion error quotes its text the same way
  try {
    StrToInt(std::string(5000, '7') + "\x01");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'" + std::string(200, '7') + "...' is not a valid integer value");
  }
}

}  // namespace
