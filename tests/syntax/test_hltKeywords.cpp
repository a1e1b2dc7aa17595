/// Tests for the keyword tables of syntax/hltPas.cpp, hltCPlusPlus.cpp,
/// hltJScript.cpp, hltVB.cpp, hltVBScript.cpp, hltSQL.cpp and hltDFM.cpp:
/// the number of keywords of each language, the hash-table sizes, and every
/// word recognised.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "SyntaxTestUtil.h"
#include "syntax/hltCPlusPlus.h"
#include "syntax/hltDFM.h"
#include "syntax/hltJScript.h"
#include "syntax/hltPas.h"
#include "syntax/hltSQL.h"
#include "syntax/hltVB.h"
#include "syntax/hltVBScript.h"
#include "toolkit/SysUtils.h"

namespace {

struct KeywordCase {
  const char* name;
  std::function<const ThltKeywordTable&()> table;
  std::function<std::unique_ptr<ThltRTFSyntax>()> make;
  size_t count;
  size_t distinctIgnoringCase;
  size_t tableSize;
  int keyKind;
  bool caseSensitive;
  std::string prefix;  // puts the scanner where every word is a keyword
};

void PrintTo(const KeywordCase& c, std::ostream* os) { *os << c.name; }

template <class T>
std::function<std::unique_ptr<ThltRTFSyntax>()> maker() {
  return [] { return std::make_unique<T>(); };
}

class Keywords : public testing::TestWithParam<KeywordCase> {};

TEST_P(Keywords, KeywordCountAndTableSizePerLanguage) {
  const KeywordCase& c = GetParam();
  const ThltKeywordTable& table = c.table();
  EXPECT_EQ(table.Keywords().size(), c.count);
  std::set<std::string> distinct;
  for (std::string_view k : table.Keywords()) distinct.insert(LowerCase(k));
  EXPECT_EQ(distinct.size(), c.distinctIgnoringCase);
  EXPECT_EQ(table.Size(), c.tableSize);
}

TEST_P(Keywords, EveryWordIsAKeyword) {
  const KeywordCase& c = GetParam();
  auto converter = c.make();
  const std::string key = "]" + std::to_string(c.keyKind);
  for (std::string_view k : c.table().Keywords()) {
    const std::string word(k);
    std::vector<std::string> forms = {word};
    if (!c.caseSensitive) forms = {word, UpperCase(word), LowerCase(word)};
    for (const std::string& form : forms) {
      const std::string tokens = syntax_test::Tokens(*converter, c.prefix + form);
      EXPECT_TRUE(tokens.ends_with("[" + form + key)) << form << " gives " << tokens;
    }
    // A longer identifier that starts with the keyword is not one.
    const std::string longer = syntax_test::Tokens(*converter, c.prefix + word + "1");
    EXPECT_FALSE(longer.ends_with(key)) << word << "1 gives " << longer;
  }
}

INSTANTIATE_TEST_SUITE_P(
    hltKeywords, Keywords,
    testing::Values(
        KeywordCase{"Pascal", ThltPasRTF::Keywords, maker<ThltPasRTF>(), 97, 97, 192, 3, false, "property "},
        KeywordCase{"Cpp", ThltCppRTF::Keywords, maker<ThltCppRTF>(), 94, 94, 207, 5, true, ""},
        KeywordCase{"JScript", ThltJScriptRTF::Keywords, maker<ThltJScriptRTF>(), 248, 240, 253, 3, false,
                    ""},
        KeywordCase{"VB", ThltVBRTF::Keywords, maker<ThltVBRTF>(), 214, 214, 134, 3, false, ""},
        KeywordCase{"VBScript", ThltVBScriptRTF::Keywords, maker<ThltVBScriptRTF>(), 44, 44, 134, 3, false,
                    ""},
        KeywordCase{"SQL", ThltSQLRTF::Keywords, maker<ThltSQLRTF>(), 126, 126, 188, 3, false, ""}),
    [](const testing::TestParamInfo<KeywordCase>& info) { return info.param.name; });

TEST(hltKeywords, CppKeywordsAreCaseSensitive) {
  ThltCppRTF converter;
  for (std::string_view k : ThltCppRTF::Keywords().Keywords()) {
    const std::string upper = UpperCase(k);
    EXPECT_EQ(syntax_test::Tokens(converter, upper), "[" + upper + "]4");
  }
}

TEST(hltKeywords, PascalContextWordsAreKeywordsOnlyInAProperty) {
  ThltPasRTF converter;
  for (const char* word : {"Read", "Write", "Index", "Stored", "Readonly", "Writeonly", "Nodefault"}) {
    EXPECT_EQ(syntax_test::Tokens(converter, word), "[" + std::string(word) + "]2") << word;
  }
}

TEST(hltKeywords, DfmKnowsObjectAndEndInAnyCase) {
  ThltDFMRTF converter;
  EXPECT_EQ(
      syntax_test::Tokens(converter, "object OBJECT End end objects ending obj _end end1"),
      "[object]3 [ ]5 [OBJECT]3 [ ]5 [End]3 [ ]5 [end]3 [ ]5 [objects]2 [ ]5 [ending]2 [ ]5 [obj]2 [ ]5 "
      "[_end]2 [ ]5 [end1]2");
}

TEST(hltKeywords, KeywordListsDifferBetweenVBAndVBScript) {
  ThltVBRTF vb;
  ThltVBScriptRTF vbs;
  EXPECT_EQ(syntax_test::Tokens(vb, "abs Byref"), "[abs]3 [ ]5 [Byref]2");
  EXPECT_EQ(syntax_test::Tokens(vbs, "abs Byref"), "[abs]2 [ ]5 [Byref]3");
}

}  // namespace
