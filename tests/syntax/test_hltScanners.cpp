/// Tests for the language scanners (syntax/hltPas.cpp, hltCPlusPlus.cpp,
/// hltJScript.cpp, hltVB.cpp, hltVBScript.cpp, hltSQL.cpp, hltDFM.cpp,
/// hltXML.cpp): token sequences with their colour indexes, states carried
/// from one text to the next, and the token formatting.

#include <gtest/gtest.h>

#include <memory>

#include "SyntaxTestUtil.h"
#include "syntax/hltConverters.h"

namespace {

using syntax_test::Body;
using syntax_test::Tokens;

struct ScanCase {
  const char* name;
  TSyntaxType language;
  std::string text;
  const char* tokens;  // "[token]colour index" in order
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class Scanning : public testing::TestWithParam<ScanCase> {};

TEST_P(Scanning, TokensAndColourIndexes) {
  auto converter = CreateSyntaxConverter(GetParam().language);
  EXPECT_EQ(Tokens(*converter, GetParam().text), GetParam().tokens);
}

const ScanCase kPascalCases[] = {
    {"IfXThen", stDelphi, "if x then", "[if]3 [ ]5 [x]2 [ ]5 [then]3"},
    {"PropertyWords", stDelphi, "property X: Integer read FX write FX; read",
     "[property]3 [ ]5 [X]2 [:]7 [ ]5 [Integer]2 [ ]5 [read]3 [ ]5 [FX]2 [ ]5 [write]3 [ ]5 [FX]2 [;]7 [ ]5 "
     "[read]2"},
    {"PropertyEndsAtEnd", stDelphi, "property end index", "[property]3 [ ]5 [end]3 [ ]5 [index]2"},
    {"AsmBlock", stDelphi, "asm mov eax, 1 end", "[asm]3 [ ]5 [mov]9 [ ]5 [eax]9 [,]9 [ ]5 [1]9 [ ]5 [end]3"},
    {"CommentInAsmReturnsToAsm", stDelphi, "asm { c } (* d *) nop end x",
     "[asm]3 [ ]5 [{ c }]1 [ ]5 [(* d *)]1 [ ]5 [nop]9 [ ]5 [end]3 [ ]5 [x]2"},
    {"BraceCommentOverLines", stDelphi, "{ a\r\nb } x", "[{ a]1 [\\r\\n]5 [b }]1 [ ]5 [x]2"},
    {"KeywordsIgnoreCase", stDelphi, "Begin1 BEGIN begin", "[Begin1]2 [ ]5 [BEGIN]3 [ ]5 [begin]3"},
    {"Range", stDelphi, "1..2", "[1]4 [..]7 [2]4"},
    {"DoubledQuote", stDelphi, "'it''s' x", "['it''s']6 [ ]5 [x]2"},
    {"UnclosedStringEndsAtLineEnd", stDelphi, "'abc\r\nx", "['abc]6 [\\r\\n]5 [x]2"},
    {"AnsiComments", stDelphi, "(* a *) (*) *)", "[(* a *)]1 [ ]5 [(*) *)]1"},
    {"AnsiOpenerAtLineEnd", stDelphi, "(*\r\n*)x", "[(*]1 [\\r\\n]5 [*)]1 [x]2"},
    {"ParenDot", stDelphi, "(.x.)", "[(.]7 [x]2 [.)]7"},
    {"NumbersAndCharCodes", stDelphi, "$1F #13 1.5e3", "[$1F]4 [ ]5 [#13]6 [ ]5 [1.5e3]4"},
    {"LineComment", stDelphi, "// c\r\nx", "[// c]1 [\\r\\n]5 [x]2"},
    {"Symbols", stDelphi, ":= <> <= >= @@ | \xE9",
     "[:=]7 [ ]5 [<>]7 [ ]5 [<=]7 [ ]5 [>=]7 [ ]5 [@@]7 [ ]5 [|]8 [ ]5 [\xE9]8"},
    {"LoneLf", stDelphi, "a\nb\rc", "[a]2 [\\n]5 [b]2 [\\r]5 [c]2"},
    {"EmptyText", stDelphi, "", ""},
};

const ScanCase kCppCases[] = {
    {"Numbers", stCPlusPlus, "0x1F 017 019 1.5f 1e5 10UL 12abc",
     "[0x1F]8 [ ]10 [017]9 [ ]10 [019]14 [ ]10 [1.5f]7 [ ]10 [1e5]7 [ ]10 [10UL]6 [ ]10 [12]14 [abc]4"},
    {"MoreNumbers", stCPlusPlus, "1e+5 1e+x 0x1.5 1uu .5 07L 08 1e",
     "[1e+5]7 [ ]10 [1e+x]14 [ ]10 [0x1.5]14 [ ]10 [1uu]14 [ ]10 [.5]7 [ ]10 [07L]9 [ ]10 [08]6 [ ]10 [1]14 "
     "[e]4"},
    {"DirectiveAtTextStart", stCPlusPlus, "#include <a>", "[#include <a>]3"},
    {"HashAfterCodeIsUnknown", stCPlusPlus, "int #include", "[int]5 [ ]10 [#]14 [include]4"},
    {"DirectiveAfterBlanks", stCPlusPlus, "  #define X // c", "[  ]10 [#define X ]3 [// c]2"},
    // Every line is judged by its own start, so a whole file colours as its lines would one by one.
    {"DirectiveOnALaterLine", stCPlusPlus, "int x;\r\n#include <a>\r\na # b",
     "[int]5 [ ]10 [x]4 [;]13 [\\r\\n]10 [#include <a>]3 [\\r\\n]10 [a]4 [ ]10 [#]14 [ ]10 [b]4"},
    {"DirectiveCommentThenMore", stCPlusPlus, "#define X /* c */ 1", "[#define X ]3 [/* c */]2 [ 1]3"},
    {"DirectiveCommentAtLineEnd", stCPlusPlus, "#endif /* c */\r\nint x",
     "[#endif ]3 [/* c */]2 [\\r\\n]10 [int]5 [ ]10 [x]4"},
    {"DirectiveCommentOverLines", stCPlusPlus, "#define X /* a\r\nb */ 1\r\nint",
     "[#define X ]3 [/* a]2 [\\r\\n]10 [b */]2 [ 1]3 [\\r\\n]10 [int]5"},
    {"OrdinaryCommentOverLines", stCPlusPlus, "/* a\r\nb */ int", "[/* a]2 [\\r\\n]10 [b */]2 [ ]10 [int]5"},
    {"BackslashContinuesDirective", stCPlusPlus, "#define X \\\r\n  1\r\nint",
     "[#define X \\]3 [\\r\\n]10 [  1]3 [\\r\\n]10 [int]5"},
    {"StringEscapes", stCPlusPlus, "\"a\\\"b\\\\\" x", "[\"a\\\"b\\\\\"]11 [ ]10 [x]4"},
    {"StringContinued", stCPlusPlus, "\"ab\\\r\ncd\" x", "[\"ab\\]11 [\\r\\n]10 [cd\"]11 [ ]10 [x]4"},
    {"UnclosedString", stCPlusPlus, "\"ab\r\nx", "[\"ab]11 [\\r\\n]10 [x]4"},
    {"Chars", stCPlusPlus, "'\\'' 'a'", "['\\'']12 [ ]10 ['a']12"},
    {"Operators", stCPlusPlus, "a<<=b->c...d::e&&f>>g!=h",
     "[a]4 [<<=]13 [b]4 [->]13 [c]4 [...]13 [d]4 [::]13 [e]4 [&&]13 [f]4 [>>]13 [g]4 [!=]13 [h]4"},
    {"Unknowns", stCPlusPlus, "@ $ ` \\", "[@]14 [ ]10 [$]14 [ ]10 [`]14 [ ]10 [\\]14"},
    {"KeywordsAreCaseSensitive", stCPlusPlus, "Int int __asm _asm asm",
     "[Int]4 [ ]10 [int]5 [ ]10 [__asm]5 [ ]10 [_asm]5 [ ]10 [asm]5"},
    {"CrLfIsOneToken", stCPlusPlus, "int\r\nx", "[int]5 [\\r\\n]10 [x]4"},
    {"BlockComments", stCPlusPlus, "/*/ x */y//z", "[/*/ x */]2 [y]4 [//z]2"},
    {"EmptyText", stCPlusPlus, "", ""},
};

const ScanCase kJScriptCases[] = {
    {"BlockComment", stJScript, "/* a */ x", "[/* a */]1 [ ]5 [x]2"},
    {"SlashStarSlashDoesNotClose", stJScript, "/*/ a */", "[/*/ a */]1"},
    {"CommentOverCrLf", stJScript, "/* a\r\nb */ x", "[/* a]1 [\\r]1 [\\nb */]1 [ ]5 [x]2"},
    {"EmptyLinesInComment", stJScript, "/*\r\n\r\n*/", "[/*]1 [\\r]1 [\\n]1 [\\r]1 [\\n*/]1"},
    {"KeywordsIgnoreCase", stJScript, "LINK link Link", "[LINK]3 [ ]5 [link]3 [ ]5 [Link]3"},
    {"Strings", stJScript, "'it''s' '''a' \"x\"", "['it']6 ['s']6 [ ]5 ['''a']6 [ ]5 [\"x\"]6"},
    {"Operators", stJScript, "a+=b++ c||d -> f... 1..2",
     "[a]2 [+=]7 [b]2 [++]7 [ ]5 [c]2 [||]7 [d]2 [ ]5 [->]7 [ ]5 [f]2 [...]7 [ ]5 [1]4 [.]7 [.]7 [2]4"},
    {"HexAndCharCodes", stJScript, "$FF #65 1.5e3", "[$FF]4 [ ]5 [#65]6 [ ]5 [1.5e3]4"},
    {"Unknowns", stJScript, "? @ \\", "[?]8 [ ]5 [@]8 [ ]5 [\\]8"},
    {"LineComment", stJScript, "// c\r\n/=", "[// c]1 [\\r\\n]5 [/=]7"},
    {"EmptyText", stJScript, "", ""},
};

const ScanCase kBasicCases[] = {
    {"VBEndWith", stVB, "end with", "[end]3 [ ]5 [with]3"},
    {"VBRemIsAKeyword", stVB, "' comment\r\nRem x", "[' comment]1 [\\r\\n]5 [Rem]3 [ ]5 [x]2"},
    {"VBStringsAndDates", stVB, "\"a\" \"\"\"b\" #1/1/2000# \"open",
     "[\"a\"]6 [ ]5 [\"\"\"b\"]6 [ ]5 [#1/1/2000#]6 [ ]5 [\"open]6"},
    {"VBSymbolsAndNumbers", stVB, "<> <= >= 1.5e3 a.b",
     "[<>]7 [ ]5 [<=]7 [ ]5 [>=]7 [ ]5 [1.5e3]4 [ ]5 [a]2 [.]7 [b]2"},
    {"VBOtherCharacters", stVB, "? ! \xE9", "[?]8 [ ]5 [!]8 [ ]5 [\xE9]8"},
    {"VBScriptOtherCharacters", stVBScript, "? ! \xE9", "[?]2 [ ]5 [!]2 [ ]5 [\xE9]2"},
    {"VBScriptKeywords", stVBScript, "Dim x ReDim", "[Dim]3 [ ]5 [x]2 [ ]5 [ReDim]3"},
    {"VBEmptyText", stVB, "", ""},
    {"VBScriptEmptyText", stVBScript, "", ""},
};

const ScanCase kSQLCases[] = {
    {"UnderscoreKeywords", stSQL, "BASE_NAME entry_point x_1",
     "[BASE_NAME]3 [ ]5 [entry_point]3 [ ]5 [x_1]2"},
    {"SingleDigitIsASymbol", stSQL, "7 17", "[7]5 [ ]5 [17]4"},
    {"SlashStarSlashCloses", stSQL, "/*/ x", "[/*/]1 [ ]5 [x]2"},
    {"BlockCommentOverLines", stSQL, "/* a\r\nb */x", "[/* a]1 [\\r\\n]5 [b */]1 [x]2"},
    {"LineComments", stSQL, "-- c\r\n# d\r\n// e\r\n-",
     "[-- c]1 [\\r\\n]5 [# d]1 [\\r\\n]5 [// e]1 [\\r\\n]5 [-]5"},
    {"Strings", stSQL, "'a''b' \"a\\\"b\"", "['a']6 ['b']6 [ ]5 [\"a\\\"b\"]6"},
    {"Numbers", stSQL, ".5 12-3 12-e3 1..2", "[.5]4 [ ]5 [12]4 [-]5 [3]5 [ ]5 [12-e3]4 [ ]5 [1]5 [.]5 [.2]4"},
    {"SymbolsAndUnknowns", stSQL, "a.b @ !", "[a]2 [.]5 [b]2 [ ]5 [@]7 [ ]5 [!]7"},
    {"EmptyText", stSQL, "", ""},
};

const ScanCase kDFMCases[] = {
    {"ObjectBlock", stDFM, "object Form1: TForm1\r\n  Caption = 'It''s'\r\nend",
     "[object]3 [ ]5 [Form1]2 [:]8 [ ]5 [TForm1]2 [\\r\\n]5 [  ]5 [Caption]2 [ ]5 [=]7 [ ]5 ['It''s']6 "
     "[\\r\\n]5 "
     "[end]3"},
    {"BraceCommentOverLines", stDFM, "{ a\r\nb } }", "[{ a]1 [\\r]1 [\\nb }]1 [ ]5 [}]2"},
    {"Numbers", stDFM, "1.5 1..2 $FF #13 1e5",
     "[1.]4 [5]4 [ ]5 [1]4 [.]7 [.]7 [2]4 [ ]5 [$FF]4 [ ]5 [#13]6 [ ]5 [1e5]4"},
    {"Unknowns", stDFM, "+ - \xE9", "[+]8 [ ]5 [-]8 [ ]5 [\xE9]8"},
    {"EmptyText", stDFM, "", ""},
};

const ScanCase kXMLCases[] = {
    {"ElementWithAposAttribute", stXML, "<a href='x'>t</a>",
     "[<]9 [a]1 [ ]10 [href]2 [=']4 [x]7 [']9 [>]9 [t]10 [</]9 [a]1 [>]9"},
    {"Comment", stXML, "<!-- c -->", "[<!--]9 [ c ]7 [-->]9"},
    {"NamespaceAttribute", stXML, "<r xmlns:p=\"u\"/>",
     "[<]9 [r]1 [ ]10 [xmlns:p]3 [=\"]5 [u]8 [\"]9 [/]9 [>]9"},
    {"NamespaceAposValue", stXML, "<r xmlns='u&amp;'>",
     "[<]9 [r]1 [ ]10 [xmlns]3 [=']5 [u]9 [&amp;]5 [']9 [>]9"},
    {"ProcessingInstruction", stXML, "<?xml version=\"1.0\"?>x", "[<?]6 [xml version=\"1.0\"?>]6 [x]10"},
    {"CDATA", stXML, "<![CDATA[a<b]]>x", "[<![CDATA[]11 [a<b]]>]11 [x]10"},
    // A DOCTYPE without an internal subset ends at its own '>'.
    {"DoctypeWithoutSubset", stXML, "<!DOCTYPE html>\r\n<a>",
     "[<!DOCTYPE]8 [ html>]8 [\\r\\n]10 [<]9 [a]1 [>]9"},
    {"DoctypeWithSubset", stXML, "<!DOCTYPE r [<!ELEMENT r (#PCDATA)>]><r/>",
     "[<!DOCTYPE]8 [ r [<!ELEMENT r (#PCDATA)>]>]8 [<]9 [r]1 [/]9 [>]9"},
    {"DoctypeSubsetOverLines", stXML, "<!DOCTYPE r [\r\n<!ENTITY e \"v\">\r\n]>",
     "[<!DOCTYPE]8 [ r []8 [\\r\\n]10 [<!ENTITY e \"v\">]8 [\\r\\n]10 []>]8"},
    {"TextEntity", stXML, "a &amp; b", "[a ]10 [&amp;]1 [ ]10 [b]10"},
    {"QuoteValueEntity", stXML, "<a b=\"x&lt;y\">",
     "[<]9 [a]1 [ ]10 [b]2 [=\"]4 [x]6 [&lt;]2 [y]6 [\"]9 [>]9"},
    {"AposValueEntity", stXML, "<a b='&amp;'>", "[<]9 [a]1 [ ]10 [b]2 [=']4 [&amp;]3 [']9 [>]9"},
    {"EmptyValue", stXML, "<a b=\"\">", "[<]9 [a]1 [ ]10 [b]2 [=\"]4 [\"]9 [>]9"},
    {"CommentOverLines", stXML, "<!-- a\r\nb -->", "[<!--]9 [ a]7 [\\r\\n]10 [b ]7 [-->]9"},
    {"SlashAfterAttributeName", stXML, "<a b/>", "[<]9 [a]1 [ ]10 [b]2 [/]9 [>]9"},
    {"TabsSplitWhiteSpace", stXML, "<a>\t\t x", "[<]9 [a]1 [>]9 [\\t]10 [\\t ]10 [x]10"},
    {"BangElement", stXML, "<!x>", "[<!]9 [x]1 [>]9"},
    {"EmptyText", stXML, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Pascal, Scanning, testing::ValuesIn(kPascalCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Cpp, Scanning, testing::ValuesIn(kCppCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(JScript, Scanning, testing::ValuesIn(kJScriptCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Basic, Scanning, testing::ValuesIn(kBasicCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(SQL, Scanning, testing::ValuesIn(kSQLCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(DFM, Scanning, testing::ValuesIn(kDFMCases),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(XML, Scanning, testing::ValuesIn(kXMLCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- States carried from one text to the next --------------------------------

struct CarryCase {
  const char* name;
  TSyntaxType language;
  std::string first;
  std::string second;
  const char* secondTokens;
};

void PrintTo(const CarryCase& c, std::ostream* os) { *os << c.name; }

class Carrying : public testing::TestWithParam<CarryCase> {};

TEST_P(Carrying, AnOpenConstructContinuesInTheNextText) {
  auto converter = CreateSyntaxConverter(GetParam().language);
  Tokens(*converter, GetParam().first);
  EXPECT_EQ(Tokens(*converter, GetParam().second), GetParam().secondTokens);
}

INSTANTIATE_TEST_SUITE_P(
    hltScanners, Carrying,
    testing::Values(CarryCase{"PascalBrace", stDelphi, "{ a", "b } x", "[b }]1 [ ]5 [x]2"},
                    CarryCase{"PascalAnsiInAsm", stDelphi, "asm (* a", "b *) mov", "[b *)]1 [ ]5 [mov]9"},
                    CarryCase{"PascalProperty", stDelphi, "property X: Integer", "read F;",
                              "[read]3 [ ]5 [F]2 [;]7"},
                    CarryCase{"CppBlockComment", stCPlusPlus, "/* a", "b */ int", "[b */]2 [ ]10 [int]5"},
                    CarryCase{"CppDirectiveBackslash", stCPlusPlus, "#define X \\", "  1", "[  1]3"},
                    CarryCase{"CppStringBackslash", stCPlusPlus, "\"ab\\", "cd\" x", "[cd\"]11 [ ]10 [x]4"},
                    CarryCase{"JScriptBlockComment", stJScript, "/* a", "b */ x", "[b */]1 [ ]5 [x]2"},
                    CarryCase{"SQLBlockComment", stSQL, "/* a", "b */ x", "[b */]1 [ ]5 [x]2"},
                    CarryCase{"DFMBraceComment", stDFM, "{ a", "b } x", "[b }]1 [ ]5 [x]2"},
                    CarryCase{"XMLTag", stXML, "<a b=\"x", "y\">z", "[y]6 [\"]9 [>]9 [z]10"},
                    CarryCase{"XMLComment", stXML, "<!-- a", "b --> c", "[b ]7 [-->]9 [ ]10 [c]10"},
                    CarryCase{"XMLDoctypeSubset", stXML, "<!DOCTYPE r [", "<!ENTITY e \"v\">]>",
                              "[<!ENTITY e \"v\">]>]8"}),
    [](const testing::TestParamInfo<CarryCase>& info) { return info.param.name; });

// --- Formatting of the pieces ---------------------------------------------------

struct FormatCase {
  const char* name;
  TSyntaxType language;
  std::string text;
  const char* body;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class Formatting : public testing::TestWithParam<FormatCase> {};

TEST_P(Formatting, PiecesAfterThePrologue) {
  auto converter = CreateSyntaxConverter(GetParam().language);
  EXPECT_EQ(Body(*converter, GetParam().text), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    hltScanners, Formatting,
    testing::Values(
        // Five pieces of a formatted Pascal line, byte for byte.
        FormatCase{"PascalIfXThen", stDelphi, "if x then",
                   "\\cf3 \\b if\\b0 \\cf5  \\cf2 x\\cf5  \\cf3 \\b then\\b0 }"},
        FormatCase{"PascalComment", stDelphi, "{x}", "\\cf1 \\i \\{x\\}\\i0 }"},
        FormatCase{"PascalAsmKeywordNotBold", stDelphi, "asm and end",
                   "\\cf3 \\b asm\\b0 \\cf5  \\cf9 and\\cf5  \\cf3 \\b end\\b0 }"},
        FormatCase{"CppCommentAndKeyword", stCPlusPlus, "int/**/", "\\cf5 \\b int\\b0 \\cf2 \\i /**/\\i0 }"},
        FormatCase{"SQLCommentAndKeyword", stSQL, "NULL--c", "\\cf3 \\b NULL\\b0 \\cf1 \\i --c\\i0 }"},
        FormatCase{"DFMCommentAndKeyword", stDFM, "end{c}", "\\cf3 \\b end\\b0 \\cf1 \\i \\{c\\}\\i0 }"},
        FormatCase{"JScriptPlain", stJScript, "if//c", "\\cf3 if\\cf1 //c}"},
        FormatCase{"VBPlain", stVB, "if'c", "\\cf3 if\\cf1 'c}"},
        FormatCase{"XMLDoubleSlashText", stXML, "<a>// x", "\\cf9 <\\cf1 a\\cf9 >\\cf2 // x}"},
        FormatCase{"XMLQuotedText", stXML, "<a>\"q\"", "\\cf9 <\\cf1 a\\cf9 >\\cf6 \"q\"}"},
        FormatCase{"EscapedBackslashesAndBraces", stCPlusPlus, "\"\\\\{}\"", "\\cf11 \"\\\\\\\\\\{\\}\"}"},
        FormatCase{"NulInsideTheText", stDelphi, std::string("a\0b", 3), "\\cf2 a\\cf8 \\'00\\cf2 b}"},
        FormatCase{"CrLfParagraph", stDelphi, "a\r\nb", "\\cf2 a\\par \\cf5 \r\n\\cf2 b}"},
        FormatCase{"JScriptCommentParagraphs", stJScript, "/*\r\n*/", "\\cf1 /*\\par \\cf1 \r\\cf1 \n*/}"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(hltScanners, EveryLanguageStartsWithItsDefaultColours) {
  const std::pair<TSyntaxType, const char*> expected[] = {
      {stDelphi,
       "\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;"
       "\\red0\\green0\\blue128;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}"},
      {stDFM,
       "\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;"
       "\\red0\\green0\\blue128;\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}"},
      {stJScript,
       "\\red0\\green128\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green0\\blue255;"
       "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}"},
      {stVB,
       "\\red0\\green128\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green0\\blue255;"
       "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}"},
      {stSQL,
       "\\red0\\green0\\blue128;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;"
       "\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green0\\blue0;}"},
      {stXML,
       "\\red0\\green128\\blue0;\\red128\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue255;"
       "\\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;\\red0\\green0\\blue0;"
       "\\red255\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}"},
  };
  for (const auto& [language, colours] : expected) {
    auto converter = CreateSyntaxConverter(language);
    EXPECT_EQ(converter->ColorTable(), std::string("{\\colortbl\\red0\\green0\\blue0;") + colours + "\r\n")
        << SyntaxTypeName(language);
  }
  ThltRTFSyntax bare;
  auto cpp = CreateSyntaxConverter(stCPlusPlus);
  std::string cppTable = "{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green128\\blue0;";
  cppTable += "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green0\\blue255;";
  for (int i = 0; i < 9; ++i) cppTable += "\\red0\\green0\\blue0;";
  EXPECT_EQ(cpp->ColorTable(), cppTable + "}\r\n");
}

TEST(hltScanners, DfmDefaultColoursLeaveTheEighthOut) {
  auto converter = CreateSyntaxConverter(stDFM);
  const std::string constructed = converter->ColorTable();
  converter->SetDefaultColors();
  const std::string defaults = converter->ColorTable();
  EXPECT_EQ(defaults.substr(0, defaults.size() - 3) + "\\red0\\green0\\blue0;}\r\n", constructed);
}

TEST(hltScanners, FactoryAndNamesCoverEveryLanguage) {
  const char* classes[] = {"ThltCppRTF", "ThltDFMRTF",      "ThltJScriptRTF", "ThltSQLRTF",
                           "ThltVBRTF",  "ThltVBScriptRTF", "ThltXMLRTF",     "ThltPasRTF"};
  for (int i = 0; i < SyntaxTypeCount; ++i) {
    const auto language = static_cast<TSyntaxType>(i);
    EXPECT_EQ(CreateSyntaxConverter(language)->ClassName(), classes[i]);
    TSyntaxType parsed = stDelphi;
    ASSERT_TRUE(SyntaxTypeFromName(UpperCase(SyntaxTypeName(language)), parsed));
    EXPECT_EQ(parsed, language);
  }
  TSyntaxType unused;
  EXPECT_FALSE(SyntaxTypeFromName("pascal", unused));
}

}  // namespace
