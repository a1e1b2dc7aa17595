/// Tests for QuillcrafterDocLinks.cpp: stripping control words, finding and
/// classifying link markers, renumbering topic links.
#include <gtest/gtest.h>

#include <ostream>

#include "document/QuillcrafterDoc.h"

namespace {

// --- StripRTFControlWords ---------------------------------------------------------------

struct StripCase {
  const char* name;
  const char* input;
  const char* expected;
};

void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }

class StripRTFControlWordsTest : public testing::TestWithParam<StripCase> {};

TEST_P(StripRTFControlWordsTest, GivesThePlainText) {
  EXPECT_EQ(StripRTFControlWords(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, StripRTFControlWordsTest,
    testing::Values(StripCase{"BoldWordInBraces", "{\\b bold}", "{bold}"},
                    StripCase{"ColourAroundLinkTarget", "\\{linkID=\\cf1 12\\cf0 \\}", "\\{linkID=12\\}"},
                    StripCase{"EscapedBracesStay", "\\{x\\}", "\\{x\\}"},
                    StripCase{"EscapedBackslashStaysWhole", "C:\\\\path\\\\file", "C:\\\\path\\\\file"},
                    StripCase{"TrailingBackslashStays", "abc\\", "abc\\"},
                    StripCase{"WordEndedByOtherCharSwallowsToBlank", "\\b1x y", "y"},
                    StripCase{"LineEndsEndAWord", "\\par\r\nnext\\line\nlast", "nextlast"},
                    StripCase{"BlankOutsideWordStays", "a b  c", "a b  c"},
                    StripCase{"LineBreaksAreNotText", "a\r\nb\rc\nd", "abcd"},
                    StripCase{"PlainTextUnchanged", "no control words", "no control words"},
                    StripCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<StripCase>& info) { return std::string(info.param.name); });

// --- FindNextLinkMarker ---------------------------------------------------------------------

struct MarkerCase {
  const char* name;
  const char* text;
  int pos;  // expected 1-based position of the marker
  int length;
  int kind;
  int style;
  const char* value;
};

void PrintTo(const MarkerCase& c, std::ostream* os) { *os << c.name; }

class FindNextLinkMarkerTest : public testing::TestWithParam<MarkerCase> {};

TEST_P(FindNextLinkMarkerTest, ClassifiesTheMarker) {
  const MarkerCase& c = GetParam();
  int pos = 0;
  TQCLinkMarker marker;
  ASSERT_TRUE(FindNextLinkMarker(c.text, pos, marker));
  EXPECT_EQ(pos, c.pos);
  EXPECT_EQ(marker.Length, c.length);
  EXPECT_EQ(marker.Kind, c.kind);
  EXPECT_EQ(marker.Style, c.style);
  EXPECT_EQ(marker.Value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FindNextLinkMarkerTest,
    testing::Values(MarkerCase{"TopicLinkStylePercent", "see \\{linkID=%7\\} here", 5, 13, 0, 1, "7"},
                    MarkerCase{"TopicLinkStyleStar", "\\{linkID=*42\\}", 1, 14, 0, 2, "42"},
                    MarkerCase{"TopicLinkFormattedInside", "x\\{linkID=\\cf1 12\\cf0 \\}", 2, 23, 0, 0, "12"},
                    MarkerCase{"LetterCaseIgnored", "\\{LINKid=5\\}", 1, 12, 0, 0, "5"},
                    MarkerCase{"OtherHelpFileReportedAsKind1", "\\{link=ctx@help.hlp\\}", 1, 21, 1, 0,
                               "ctx@help.hlp"},
                    MarkerCase{"MacroReportedAsKind1", "\\{link=! Beep()\\}", 1, 17, 1, 0, "! Beep()"},
                    MarkerCase{"Target", "\\{linkTarget=%Here\\}", 1, 20, 4, 1, "Here"},
                    MarkerCase{"DelphiObject", "\\{linkDelphi=TFoo_Object\\}", 1, 26, 5, 0, "TFoo"},
                    MarkerCase{"DelphiProperty", "\\{linkDelphi=TFoo_Property\\}", 1, 28, 6, 0, "TFoo"},
                    MarkerCase{"DelphiMethod", "\\{linkDelphi=TFoo_Method\\}", 1, 26, 7, 0, "TFoo"},
                    MarkerCase{"DelphiEvent", "\\{linkDelphi=*TFoo_Event\\}", 1, 26, 8, 2, "TFoo"},
                    MarkerCase{"DelphiTypeWithoutMemberSuffix", "\\{linkDelphi=TFoo\\}", 1, 19, 9, 0, "TFoo"},
                    MarkerCase{"NonLinkCandidateSkipped", "\\{note\\} \\{linkID=3\\}", 10, 12, 0, 0, "3"},
                    MarkerCase{"ShortCandidateSkipped", "\\{li\\}\\{linkID=3\\}", 7, 12, 0, 0, "3"},
                    MarkerCase{"EscapedBackslashBeforeMarker", "\\\\\\{linkID=3\\}", 3, 12, 0, 0, "3"},
                    MarkerCase{"GroupBraceAfterEscapedBackslashSkipped", "\\\\{linkID=1\\} \\{linkID=2\\}",
                               15, 12, 0, 0, "2"}),
    [](const testing::TestParamInfo<MarkerCase>& info) { return std::string(info.param.name); });

struct NoMarkerCase {
  const char* name;
  const char* text;
  int pos;
};

void PrintTo(const NoMarkerCase& c, std::ostream* os) { *os << c.name; }

class NoLinkMarkerTest : public testing::TestWithParam<NoMarkerCase> {};

TEST_P(NoLinkMarkerTest, FindsNothing) {
  int pos = GetParam().pos;
  TQCLinkMarker marker;
  marker.Value = "stale";
  EXPECT_FALSE(FindNextLinkMarker(GetParam().text, pos, marker));
  EXPECT_EQ(marker.Value, "");
  EXPECT_EQ(pos, GetParam().pos) << "Pos stays when nothing is found";
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, NoLinkMarkerTest,
    testing::Values(NoMarkerCase{"GroupBraceAfterEscapedBackslash", "\\\\{linkID=1\\}", 0},
                    NoMarkerCase{"NoClosingBrace", "\\{linkID=1 and on", 0},
                    NoMarkerCase{"ClosingBraceIsEscapedBackslash", "\\{linkID=1\\\\}", 0},
                    NoMarkerCase{"UnknownKindEndsTheSearch", "\\{linkage\\} \\{linkID=1\\}", 0},
                    NoMarkerCase{"BlankAfterBraceIsNoKnownKind", "\\{ linkID=1\\} \\{linkID=2\\}", 0},
                    NoMarkerCase{"EmptyTargetEndsTheSearch", "\\{linkID=\\} \\{linkID=2\\}", 0},
                    NoMarkerCase{"PosPastTheEnd", "\\{linkID=1\\}", 13},
                    NoMarkerCase{"PosAfterTheOnlyMarker", "\\{linkID=1\\}", 2},
                    NoMarkerCase{"EmptyText", "", 0}),
    [](const testing::TestParamInfo<NoMarkerCase>& info) { return std::string(info.param.name); });

TEST(FindNextLinkMarker, PosZeroAndOneBothStartAtTheBeginning) {
  for (int start : {0, 1, -5}) {
    int pos = start;
    TQCLinkMarker marker;
    ASSERT_TRUE(FindNextLinkMarker("\\{linkID=1\\}", pos, marker)) << start;
    EXPECT_EQ(pos, 1);
  }
}

TEST(FindLink, PassesOverKindsNotAllowed) {
  const std::string text = "\\{linkDelphi=TA_Method\\} \\{link=c@f\\} \\{linkID=9\\}";
  TQCLinkKinds topicLinks;
  topicLinks.set(lkThisHelpFile);
  int pos = 0;
  TQCLinkMarker marker;
  ASSERT_TRUE(FindLink(text, topicLinks, pos, marker));
  EXPECT_EQ(marker.Kind, 0);
  EXPECT_EQ(marker.Value, "9");
  EXPECT_EQ(text.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(marker.Length)), "\\{linkID=9\\}");

  TQCLinkKinds none;
  pos = 0;
  EXPECT_FALSE(FindLink(text, none, pos, marker));
}

// --- RemapTopicLinks ---------------------------------------------------------------------

/// A document with topics 1 and 2, topic 1 holding Body as its only line.
struct RemapFixture : testing::Test {
  TQuillcrafterDoc doc;
  TQCTopic* topic = nullptr;
  void SetUp() override {
    doc.Topics().Add()->SetTopicID(1);
    doc.Topics().Add()->SetTopicID(2);
    topic = doc.Topics()[0];
    topic->SetTitle("Intro");
  }
  void SetBody(const std::string& body) {
    topic->SetWholeText(body);
    doc.SetModified(false);
  }
  std::string Body() const { return topic->Text()[0]; }
};

TEST_F(RemapFixture, RewritesMappedTopicLinksKeepingTheirStyle) {
  SetBody("a \\{linkID=%2\\} b \\{linkID=\\cf1 5\\cf0 \\} c \\{linkID=*2\\} \\{link=2@x\\}");
  TQCTopicIDMap map;
  map.Put(2, 11);
  map.Put(5, 5);
  int changes = 0;
  doc.OnTopicChange = [&](TObject*, TQCTopic*) { ++changes; };
  doc.RemapTopicLinks(*topic, map);
  // A pair that maps an ID to itself still rewrites the marker (and drops
  // the formatting inside it); other kinds stay as they are.
  EXPECT_EQ(Body(), "a \\{linkID=%11\\} b \\{linkID=5\\} c \\{linkID=*11\\} \\{link=2@x\\}");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(doc.Modified());
}

TEST_F(RemapFixture, LeavesTheTopicAloneWhenNoLinkIsMapped) {
  SetBody("\\{linkID=3\\} \\{linkID=4\\}");
  TQCTopicIDMap map;
  map.Put(7, 8);
  int changes = 0;
  doc.OnTopicChange = [&](TObject*, TQCTopic*) { ++changes; };
  doc.RemapTopicLinks(*topic, map);
  EXPECT_EQ(Body(), "\\{linkID=3\\} \\{linkID=4\\}");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(doc.Modified());
}

TEST_F(RemapFixture, LinkToTopicZeroFollowsTheMap) {
  SetBody("\\{linkID=0\\}");
  TQCTopicIDMap map;
  map.Put(0, 21);
  doc.RemapTopicLinks(*topic, map);
  EXPECT_EQ(Body(), "\\{linkID=21\\}");
}

TEST_F(RemapFixture, PlainHashTableNeverHoldsTopicZero) {
  SetBody("\\{linkID=0\\} \\{linkID=2\\}");
  TGHashIntTable table(101, 0.75f);
  table.Put(2, 12);
  doc.RemapTopicLinks(*topic, table);
  EXPECT_EQ(Body(), "\\{linkID=0\\} \\{linkID=12\\}");
}

TEST_F(RemapFixture, BadTargetIsReportedWithTopicIDAndTitle) {
  SetBody("\\{linkID=2\\} \\{linkID=two\\}");
  TQCTopicIDMap map;
  map.Put(2, 12);
  try {
    doc.RemapTopicLinks(*topic, map);
    FAIL() << "no error";
  } catch (const EQCException& e) {
    EXPECT_EQ(e.Message(), "\"'two' is not a valid integer value\" error detected in topic #1: Intro");
  }
  EXPECT_EQ(Body(), "\\{linkID=2\\} \\{linkID=two\\}") << "nothing is written on failure";
}

TEST_F(RemapFixture, MarkerSpanningLinesIsRewrittenInPlace) {
  topic->SetWholeText("first \\{linkID=\r\n2\\} last\r\nnext line");
  TQCTopicIDMap map;
  map.Put(2, 30);
  doc.RemapTopicLinks(*topic, map);
  ASSERT_EQ(topic->Text().Count(), 2);
  EXPECT_EQ(topic->Text()[0], "first \\{linkID=30\\} last");
  EXPECT_EQ(topic->Text()[1], "next line");
}

TEST_F(RemapFixture, RemapAllVisitsEveryTopic) {
  SetBody("\\{linkID=1\\}");
  doc.Topics()[1]->SetWholeText("\\{linkID=2\\}");
  TGHashIntTable table(101, 0.75f);
  table.Put(1, 2);
  table.Put(2, 1);
  doc.RemapAllTopicLinks(table);
  EXPECT_EQ(doc.Topics()[0]->Text()[0], "\\{linkID=2\\}");
  EXPECT_EQ(doc.Topics()[1]->Text()[0], "\\{linkID=1\\}");
}

}  // namespace
