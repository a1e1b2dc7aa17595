/// Tests for QuillcrafterDocReader.cpp, QuillcrafterDocWriter.cpp and the
/// file operations of QuillcrafterDoc.cpp.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "document/QuillcrafterDoc.h"
#include "tests/document/DocTestUtil.h"

using namespace doctest_util;
namespace fs = std::filesystem;

namespace {

/// A document that uses every part of the format, with distinctive values.
void FillRich(TQuillcrafterDoc& doc, int32_t version) {
  TQCProjectOptions& o = doc.Options();
  o.SetFileVersion(version);
  o.SetUnknown1("u1");
  o.SetHelpFileKind(7);
  o.SetHelpFileType(ftHTML);
  o.SetTitle("Project Title");
  o.SetCitation("cite");
  o.SetCopyright("(c) \xA9 2026");  // a Windows-1252 byte passes through
  o.SetCompress(true);
  o.SetLocaleID("0x0409");
  o.Configuration().Add("BrowseButtons()");
  o.Baggage().Add("a.bmp");
  o.Baggage().Add("b.bmp");
  o.SetGenerateCFile(true);
  o.SetOutput("out.hlp");
  o.SetIncludeImages(false);
  o.SetHTMLColor(hcBackground, 1234567);
  o.SetHTMLColor(hcActive, static_cast<TColor>(0x80000008u));
  o.SetIncludeSearchInfo(true);
  o.SetAutoCollapseTOC(true);
  o.WebExportOptions().OutputFormat = ofContents;
  o.WebExportOptions().WebFilename = "web.html";
  TQCTopic* a = AddTopic(doc, 4242, "Intro", {"{\\rtf1 first body line", "second \\par }"});
  a->SetBrowseSequence("Main");
  a->SetBrowseSequenceNum(42);
  a->SetKeywords("k1;k2");
  a->SetBookmark(true);
  TQCTopic* b = AddTopic(doc, 7, "Negative browse", {"{\\rtf1 x}"});
  b->SetBrowseSequence("Main");
  b->SetBrowseSequenceNum(-5);
  b->SetStatus("Done");
  b->SetWindow("main");
  b->SetEntryMacro("Macro()");
  b->SetAKeywords("ak");
  b->SetDelphiKeywords("dk");
  b->SetBuildTag("tag");
  TQCTopic* c = AddTopic(doc, 9, "Empty body");
  c->Text().Clear();
  c->SetBrowseSequenceNum(7);  // no sequence name: written as ":000007"
  doc.WindowDefinitions().Add("main=\"Help\",(0,0,640,480)");
  doc.ContentsLinks().Add(":Base x.hlp");
  doc.ContentsIndices().Add(":Index y");
  TQCContentsItem* item = doc.Contents().Add();
  item->SetLevel(1);
  item->SetTitle("Intro");
  item->SetLink("Inkwells4242");
  item = doc.Contents().Add();
  item->SetLevel(2);
  item->SetTitle("Heading");
  TQCTextMacro* macro = doc.TextMacros().Add();
  macro->SetName("Zed");
  macro->SetColor(255);
  macro->SetTypeFace("Tahoma");
  macro->SetSize(77);
  macro->SetStyle({TFontStyle::fsBold, TFontStyle::fsStrikeOut});
  macro->SetAlignment(taCenter);
  macro->SetBullet(true);
  macro->SetLeftMargin(1);
  macro->SetRightMargin(2);
  macro->SetIndent(-3);
  macro->Tabs().Add("720");
}

std::string RichFile(int32_t version) {
  TQuillcrafterDoc doc;
  FillRich(doc, version);
  return SaveBytes(doc);
}

int IndexOfLine(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
  for (int i = from; i < static_cast<int>(lines.size()); ++i)
    if (lines[static_cast<size_t>(i)] == line) return i;
  ADD_FAILURE() << "line not found: " << line;
  return 0;
}

/// While it lives, a file grows to 20000 bytes at most: a write past that
/// fails, as on a full disk, instead of the signal ending the process.
class TFileSizeLimit {
 public:
  TFileSizeLimit() {
    getrlimit(RLIMIT_FSIZE, &FSaved);
    FPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = FSaved;
    limit.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FPreviousHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  struct rlimit FSaved;
  void (*FPreviousHandler)(int);
};

/// The rich document with a first topic far larger than TFileSizeLimit lets a file grow.
void FillTooBigForTheLimit(TQuillcrafterDoc& doc) {
  FillRich(doc, 14);
  TStringList big;
  for (int i = 0; i < 2000; ++i) big.Add("a body line long enough to pass the file size limit quickly");
  doc.Topics().Items(0)->SetText(big);
}

}  // namespace

// --- Round trips ------------------------------------------------------------

class RoundTripByVersion : public testing::TestWithParam<int32_t> {};

TEST_P(RoundTripByVersion, LoadThenSaveGivesTheSameBytes) {
  // Given a file written by the writer
  const std::string original = RichFile(GetParam());
  // When it is loaded and saved again
  TQuillcrafterDoc doc;
  LoadBytes(doc, original);
  // Then the bytes are the same and the version is kept
  EXPECT_EQ(SaveBytes(doc), original);
  EXPECT_EQ(doc.Options().FileVersion(), GetParam());
  EXPECT_FALSE(doc.Modified());
}

TEST_P(RoundTripByVersion, OptionalGroupsFollowTheVersion) {
  const int32_t version = GetParam();
  const std::vector<std::string> lines = SplitLines(RichFile(version));
  // 17 header rows, then 6 HTML rows (>10), 3 search rows (>11), 1 (>13), 11 web rows (>12)
  const size_t expected = 17 + (version > 10 ? 6 : 0) + (version > 11 ? 3 : 0) + (version > 13 ? 1 : 0) +
                          (version > 12 ? 11 : 0) + 1 /* Configuration entry */ + 2 /* Baggage entries */;
  // The topic count (3) follows the header directly.
  EXPECT_EQ(lines[expected], "3");
  EXPECT_EQ(lines[expected + 1], "7") << "topics are written in ascending ID order";
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTripByVersion, testing::Values(10, 11, 12, 13, 14),
                         [](const auto& info) { return "v" + std::to_string(info.param); });

TEST(RoundTrip, OnlyTrimmedContentsTitlesAndAddedMacrosDiffer) {
  // Given a file whose contents title has blanks around it and whose macro
  // section holds only "*TopicText"
  TQuillcrafterDoc source;
  FillRich(source, 14);
  source.Contents().Items(0)->SetTitle("  Intro \t");
  while (source.TextMacros().Count() > 0) source.TextMacros().Items(0)->Free();
  TQCTextMacro* text = source.TextMacros().Add();
  text->SetName("*TopicText");
  text->SetSize(11);
  const std::string bytes = SaveBytes(source);
  // When it is loaded and saved
  TQuillcrafterDoc doc;
  LoadBytes(doc, bytes);
  const std::string again = SaveBytes(doc);
  // Then the title is trimmed, the loaded macro keeps its values and the
  // eleven missing built-in macros follow it
  ASSERT_EQ(doc.TextMacros().Count(), 12);
  EXPECT_EQ(doc.TextMacros().Items(0)->Size(), 11);
  EXPECT_EQ(doc.Contents().Items(0)->Title(), "Intro");
  std::vector<std::string> expected = SplitLines(bytes);
  std::vector<std::string> actual = SplitLines(again);
  const int contentsLine = IndexOfLine(expected, "1   Intro \t=Inkwells4242");
  expected[static_cast<size_t>(contentsLine)] = "1 Intro=Inkwells4242";
  const int macroCount = IndexOfLine(expected, "*TopicText") - 1;
  expected[static_cast<size_t>(macroCount)] = "12";
  ASSERT_GT(actual.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(actual.begin(), actual.begin() + static_cast<long>(expected.size())),
            expected);
  EXPECT_EQ(actual[expected.size()], "*PopupLink");
}

TEST(Writer, ValueForms) {
  const std::vector<std::string> lines = SplitLines(RichFile(14));
  EXPECT_EQ(lines[0], "Quillcrafter project file.");
  EXPECT_EQ(lines[1], "14");
  IndexOfLine(lines, "Main:000042");
  IndexOfLine(lines, "Main:-000005");
  IndexOfLine(lines, "1 Intro=Inkwells4242");
  IndexOfLine(lines, "2 Heading");
  IndexOfLine(lines, "-2147483640");  // a system colour is negative
  const int zed = IndexOfLine(lines, "Zed");
  ASSERT_EQ(lines.size(), static_cast<size_t>(zed + 14)) << "Zed is the last macro";
  const std::vector<std::string> macro(lines.begin() + zed, lines.end());
  EXPECT_EQ(macro, (std::vector<std::string>{"Zed", "255", "Tahoma", "0", "77", "0", "B..S", "2", "1", "1",
                                             "2", "-3", "1", "720"}));
  // Row 17 stores the negation of IncludeImages.
  EXPECT_EQ(lines[static_cast<size_t>(IndexOfLine(lines, "out.hlp") + 1)], "TRUE");
}

TEST(Writer, ABrowseNumberWithoutANameIsWrittenBackAsRead) {
  TQuillcrafterDoc doc;
  const std::string file = RichFile(14);
  LoadBytes(doc, file);
  const TQCTopic* topic = doc.Topics().Items(doc.Topics().IndexOfTopicID(9));
  EXPECT_EQ(topic->BrowseSequence(), "");
  EXPECT_EQ(topic->BrowseSequenceNum(), 7);
  EXPECT_EQ(topic->Text().Count(), 0);
  EXPECT_GE(IndexOfLine(SplitLines(file), ":000007"), 0);
  EXPECT_EQ(SaveBytes(doc), file);
  // Without a name or a number the row stays empty
  TQCTopic* plain = doc.Topics().Items(doc.Topics().IndexOfTopicID(9));
  plain->SetBrowseSequenceNum(0);
  const std::vector<std::string> saved = SplitLines(SaveBytes(doc));
  EXPECT_EQ(std::count(saved.begin(), saved.end(), ":000000"), 0);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), ":000007"), 0);
}

// --- Reader details --------------------------------------------------------------

TEST(Reader, LineEndsCrLfCrAndLfReadTheSame) {
  const std::vector<std::string> lines = SplitLines(RichFile(14));
  TQuillcrafterDoc crlf, lf, cr;
  LoadBytes(crlf, JoinLines(lines, "\r\n"));
  LoadBytes(lf, JoinLines(lines, "\n"));
  LoadBytes(cr, JoinLines(lines, "\r"));
  const std::string expected = SaveBytes(crlf);
  EXPECT_EQ(SaveBytes(lf), expected);
  EXPECT_EQ(SaveBytes(cr), expected);
  EXPECT_TRUE(crlf.Topics().Items(0)->IsEqual(lf.Topics().Items(0)));
}

TEST(Reader, OutOfOrderAndDuplicateIDsLoadSortedInFileOrder) {
  // Given topics 5, 3, 7 (first), 7 (second) in file order
  TQuillcrafterDoc source;
  AddTopic(source, 31337, "one");
  std::vector<std::string> lines = SplitLines(SaveBytes(source));
  const int record = IndexOfLine(lines, "31337");
  const int count = record - 1;
  std::vector<std::string> topic(lines.begin() + record, lines.begin() + record + 15);
  std::vector<std::string> out(lines.begin(), lines.begin() + count);
  out.push_back("4");
  for (auto [id, title] : std::vector<std::pair<std::string, std::string>>{
           {"5", "five"}, {"3", "three"}, {"7", "seven first"}, {"7", "seven second"}}) {
    topic[0] = id;
    topic[2] = title;
    out.insert(out.end(), topic.begin(), topic.end());
  }
  out.insert(out.end(), lines.begin() + record + 15, lines.end());
  // When loaded
  TQuillcrafterDoc doc;
  LoadBytes(doc, JoinLines(out));
  // Then they stand in ascending order, the sevens side by side in file order
  ASSERT_EQ(doc.Topics().Count(), 4);
  std::vector<std::string> titles;
  for (int i = 0; i < 4; ++i) titles.push_back(doc.Topics().Items(i)->Title());
  EXPECT_EQ(titles, (std::vector<std::string>{"three", "five", "seven first", "seven second"}));
  EXPECT_EQ(doc.Topics().IndexOfTopicID(7), 2);
  // And a new topic still gets an ID above all of them
  EXPECT_EQ(doc.Topics().Add()->TopicID(), 8);
}

TEST(Reader, BrowseSequenceContentsAndMacroLines) {
  std::vector<std::string> lines = SplitLines(RichFile(14));
  lines[static_cast<size_t>(IndexOfLine(lines, "Main:000042"))] = "Main:  42";
  lines[static_cast<size_t>(IndexOfLine(lines, "1 Intro=Inkwells4242"))] =
      "\r\n  2   Getting started = Inkwells4242";
  lines[static_cast<size_t>(IndexOfLine(lines, "2 Heading"))] = "3 Title";
  lines[static_cast<size_t>(IndexOfLine(lines, "B..S"))] = "B..X";
  TQuillcrafterDoc doc;
  LoadBytes(doc, JoinLines(lines));
  const TQCTopic* topic = doc.Topics().Items(doc.Topics().IndexOfTopicID(4242));
  EXPECT_EQ(topic->BrowseSequence(), "Main");
  EXPECT_EQ(topic->BrowseSequenceNum(), 42);
  // Empty lines before a level are skipped; the link keeps its blank and still resolves.
  const TQCContentsItem* item = doc.Contents().Items(0);
  EXPECT_EQ(item->Level(), 2);
  EXPECT_EQ(item->Title(), "Getting started");
  EXPECT_EQ(item->Link(), " Inkwells4242");
  EXPECT_EQ(item->LinkedTopic(), topic);
  EXPECT_EQ(doc.Contents().Items(1)->Level(), 3);
  EXPECT_EQ(doc.Contents().Items(1)->Title(), "Title");
  EXPECT_EQ(doc.Contents().Items(1)->Link(), "");
  const TQCTextMacro* zed = doc.TextMacros().Items(doc.TextMacros().IndexOfDisplayName("Zed"));
  EXPECT_EQ(zed->Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsStrikeOut}));
}

TEST(Reader, BooleansAreExactlyTRUE) {
  std::vector<std::string> lines = SplitLines(RichFile(14));
  TQuillcrafterDoc doc;
  const size_t row17Index = static_cast<size_t>(IndexOfLine(lines, "out.hlp") + 1);
  for (auto [row17, included] : std::vector<std::pair<std::string, bool>>{
           {"TRUE", false}, {"FALSE", true}, {"true", true}, {"", true}}) {
    lines[row17Index] = row17;
    LoadBytes(doc, JoinLines(lines));
    EXPECT_EQ(doc.Options().IncludeImages(), included) << "row 17 '" << row17 << "'";
  }
}

TEST(Reader, OlderVersionKeepsOptionsItLacks) {
  TQuillcrafterDoc doc;
  doc.Options().SetHTMLColor(hcText, 4711);
  doc.Options().SetAutoCollapseTOC(true);
  doc.Options().WebExportOptions().Next = "Onward";
  doc.Options().SetIncludeSearchInfo(true);
  TQuillcrafterDoc v10;
  v10.Options().SetFileVersion(10);
  LoadBytes(doc, SaveBytes(v10));
  EXPECT_EQ(doc.Options().FileVersion(), 10);
  EXPECT_EQ(doc.Options().HTMLColor(hcText), 4711);
  EXPECT_TRUE(doc.Options().AutoCollapseTOC());
  EXPECT_TRUE(doc.Options().IncludeSearchInfo());
  EXPECT_EQ(doc.Options().WebExportOptions().Next, "Onward");
}

// --- Failures: message and an untouched document -----------------------------------

struct ReaderFailure {
  const char* name;
  /// Edits the lines of a valid version-14 file.
  void (*edit)(std::vector<std::string>& lines);
  const char* message;
  bool conversionError;
};

void PrintTo(const ReaderFailure& f, std::ostream* os) { *os << f.name; }

class ReaderFailures : public testing::TestWithParam<ReaderFailure> {};

TEST_P(ReaderFailures, ReportsTheMessageAndLeavesTheDocumentAsItWas) {
  // Given a loaded document that listens to its events
  TQuillcrafterDoc doc;
  LoadBytes(doc, RichFile(13));
  doc.Topics().Items(0)->SetKeywords("edited");  // Modified, as a user would leave it
  const std::string before = SaveBytes(doc);
  doc.Topics().Items(0)->SetKeywords("edited again");
  EventLog log;
  log.Attach(doc);
  std::vector<std::string> lines = SplitLines(RichFile(14));
  GetParam().edit(lines);
  // When a broken file is loaded
  try {
    LoadBytes(doc, JoinLines(lines));
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_TRUE(GetParam().conversionError);
    EXPECT_EQ(e.Message(), GetParam().message);
  } catch (const EQCException& e) {
    EXPECT_FALSE(GetParam().conversionError);
    EXPECT_EQ(e.Message(), GetParam().message);
  }
  // Then nothing changed and nobody heard of anything
  EXPECT_TRUE(log.events.empty()) << log.events.front();
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(doc.Topics().Items(0)->Keywords(), "edited again");
  doc.Topics().Items(0)->SetKeywords("edited");
  EXPECT_EQ(SaveBytes(doc), before);
}

void SetLine(std::vector<std::string>& lines, const std::string& from, const std::string& to) {
  lines[static_cast<size_t>(IndexOfLine(lines, from))] = to;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReaderFailures,
    testing::Values(
        ReaderFailure{"IdentifierWithTrailingBlank", [](auto& l) { l[0] += " "; },
                      "Missing Quillcrafter Identifier, not a Quillcrafter File", false},
        ReaderFailure{"EmptyFile", [](auto& l) { l.clear(); },
                      "Missing Quillcrafter Identifier, not a Quillcrafter File", false},
        ReaderFailure{"VersionNotAnInteger", [](auto& l) { l[1] = "14a"; },
                      "'14a' is not a valid integer value", true},
        ReaderFailure{"Version9", [](auto& l) { l[1] = "9"; },
                      "Unknown Quillcrafter File Version, not a Quillcrafter File", false},
        ReaderFailure{"Version15", [](auto& l) { l[1] = "15"; },
                      "Unknown Quillcrafter File Version, not a Quillcrafter File", false},
        ReaderFailure{"HelpFileKindNotAnInteger", [](auto& l) { l[3] = "seven"; },
                      "'seven' is not a valid integer value", true},
        ReaderFailure{"ColourNotAnInteger", [](auto& l) { SetLine(l, "1234567", "#123456"); },
                      "'#123456' is not a valid integer value", true},
        ReaderFailure{"TopicIDNotAnInteger", [](auto& l) { SetLine(l, "4242", "42x"); },
                      "'42x' is not a valid integer value", true},
        ReaderFailure{"ColonInBrowseSequenceName", [](auto& l) { SetLine(l, "Main:000042", "A:B:000042"); },
                      "'B:000042' is not a valid integer value", true},
        ReaderFailure{"ContentsLevelNotAnInteger", [](auto& l) { SetLine(l, "2 Heading", "two Heading"); },
                      "'two' is not a valid integer value", true},
        ReaderFailure{"MacroSizeNotAnInteger", [](auto& l) { SetLine(l, "77", ""); },
                      "'' is not a valid integer value", true},
        ReaderFailure{"EndsInsideATopicText",
                      [](auto& l) { l.resize(static_cast<size_t>(IndexOfLine(l, "second \\par }"))); },
                      "Unexpected end of file while reading the text of topic record 3 (ID 4242)", false},
        ReaderFailure{
            "HugeCountInASmallFile",
            [](auto& l) { l[static_cast<size_t>(IndexOfLine(l, "{\\rtf1 x}") - 1)] = "2000000000"; },
            "Line 55: the count 2000000000 is larger than the lines that can follow while reading the text "
            "of "
            "topic record 1 (ID 7)",
            false},
        ReaderFailure{
            "ByteOrderMark", [](auto& l) { l[0] = "\xEF\xBB\xBF" + l[0]; },
            "The file starts with a UTF-8 byte-order mark, which a Quillcrafter File never has; not a "
            "Quillcrafter File",
            false},
        ReaderFailure{
            "NumberLineTooLong",
            [](auto& l) { l[static_cast<size_t>(IndexOfLine(l, "{\\rtf1 x}") - 1)].insert(0, 5000, ' '); },
            "Line 55 is longer than 4096 bytes while reading the text of topic record 1 (ID 7)", false},
        ReaderFailure{"LongBadNumberQuotedInPart",
                      [](auto& l) {
                        l[static_cast<size_t>(IndexOfLine(l, "{\\rtf1 x}") - 1)] =
                            std::string(3000, 'x') + "\x01";
                      },
                      "'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                      "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                      "xxxxxxxxxxxxxxxxxxxxxxxxxxxxx...' is not a valid integer value",
                      true},
        ReaderFailure{"EndsInsideAStringOnlyRecord",
                      [](auto& l) { l.resize(static_cast<size_t>(IndexOfLine(l, "Tahoma"))); },
                      "Unexpected end of file while reading text macro record 13", false},
        ReaderFailure{"EndsBeforeTheContentsItems",
                      [](auto& l) { l.resize(static_cast<size_t>(IndexOfLine(l, "1 Intro=Inkwells4242"))); },
                      "Unexpected end of file while reading contents item 1", false},
        ReaderFailure{"EndsBeforeTheMacros",
                      [](auto& l) { l.resize(static_cast<size_t>(IndexOfLine(l, "2 Heading") + 1)); },
                      "Unexpected end of file while reading the text macro count", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderLimits, HugeCountsFailAtOnce) {
  // A count of two thousand million in a short file must neither loop nor allocate that much.
  std::vector<std::string> lines = SplitLines(RichFile(14));
  lines[static_cast<size_t>(IndexOfLine(lines, "3"))] = "2000000000";  // the topic count
  TQuillcrafterDoc doc;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(LoadBytes(doc, JoinLines(lines)), Exception);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(doc.Topics().Count(), 0);
}

TEST(ReaderLimits, AnEndlessFirstLineIsRefusedAtOnce) {
  // Endless input without a line end (/dev/zero, a long stream of other
  // data) is refused after a few bytes, not read on until memory runs out.
  struct EndlessStream : TStream {
    explicit EndlessStream(char fill) : byte(fill) {}
    int64_t Read(void* buffer, int64_t count) override {
      if (served > (16 << 20)) throw EReadError("read on past 16 MiB");
      std::memset(buffer, byte, static_cast<size_t>(count));
      served += count;
      return count;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return served; }
    char byte;
    int64_t served = 0;
  };
  for (const char fill : {'\0', 'Q', ' '}) {
    EndlessStream endless(fill);
    TQuillcrafterDoc doc;
    try {
      doc.LoadFromStream(endless);
      FAIL() << "no error";
    } catch (const EQCException& e) {
      EXPECT_EQ(e.Message(), "Missing Quillcrafter Identifier, not a Quillcrafter File");
    }
    EXPECT_LE(endless.served, 2 * TGBufferStream::BufferSize) << int(fill);
  }
}

TEST(ReaderLimits, EndlessDataAfterAValidHeaderIsRefusedAtOnce) {
  // A stream with no size: the start of a valid file, then one pattern for ever
  struct EndlessAfter : TStream {
    EndlessAfter(std::string start, std::string pattern) : head(std::move(start)), tail(std::move(pattern)) {}
    int64_t Read(void* buffer, int64_t count) override {
      if (served > (64 << 20)) throw EReadError("read on past 64 MiB");
      auto* out = static_cast<char*>(buffer);
      for (int64_t i = 0; i < count; ++i, ++served)
        out[i] = served < static_cast<int64_t>(head.size())
                     ? head[static_cast<size_t>(served)]
                     : tail[static_cast<size_t>(served - static_cast<int64_t>(head.size())) % tail.size()];
      return count;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return -1; }
    std::string head, tail;
    int64_t served = 0;
  };
  const std::vector<std::string> lines = SplitLines(RichFile(14));
  const auto upTo = [&](int line) {
    return JoinLines(std::vector<std::string>(lines.begin(), lines.begin() + line));
  };
  const int topicCount = IndexOfLine(lines, "3");
  const int textCount = IndexOfLine(lines, "{\\rtf1 x}") - 1;
  struct Case {
    std::string start, pattern, message;
  };
  for (const Case& c : {
           // /dev/zero where the topic count stands
           Case{upTo(topicCount), std::string(1, '\0'),
                "Line " + std::to_string(topicCount + 1) +
                    " is longer than 4096 bytes while reading the topic count"},
           // a huge count followed by `yes`
           Case{upTo(textCount) + "2000000000\r\n", "y\n",
                "Line " + std::to_string(textCount + 1) +
                    ": the count 2000000000 is larger than the lines that can follow while reading the text "
                    "of "
                    "topic record 1 (ID 7)"},
       }) {
    EndlessAfter endless(c.start, c.pattern);
    TQuillcrafterDoc doc;
    try {
      doc.LoadFromStream(endless);
      FAIL() << "no error";
    } catch (const EQCException& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_LE(endless.served, static_cast<int64_t>(c.start.size()) + 8192 + TGBufferStream::BufferSize);
  }
}

TEST(ReaderNotices, DataAfterTheEndOfTheProjectIsToldWithItsSize) {
  const std::string file = RichFile(14);
  TQuillcrafterDoc doc;
  LoadBytes(doc, file);
  EXPECT_TRUE(doc.LoadWarnings().empty());
  // After the last text macro
  LoadBytes(doc, file + "junk\r\n");
  ASSERT_EQ(doc.LoadWarnings().size(), 1u);
  EXPECT_EQ(doc.LoadWarnings()[0], "6 bytes after the end of the project are not read (a save drops them)");
  // A macro count one too small leaves the last record after the end
  std::vector<std::string> lines = SplitLines(file);
  const size_t macroCount = static_cast<size_t>(IndexOfLine(lines, "2 Heading") + 1);
  lines[macroCount] = std::to_string(std::stoi(lines[macroCount]) - 1);
  LoadBytes(doc, JoinLines(lines));
  ASSERT_EQ(doc.LoadWarnings().size(), 1u);
  EXPECT_NE(doc.LoadWarnings()[0].find(" bytes after the end of the project"), std::string::npos);
  // A clean load again has none
  LoadBytes(doc, file);
  EXPECT_TRUE(doc.LoadWarnings().empty());
}

TEST(ReaderNotices, ASuccessfulLoadSendsTheNoticesOfEachSection) {
  TQuillcrafterDoc doc;
  AddTopic(doc, 100, "old");
  EventLog log;
  log.Attach(doc);
  LoadBytes(doc, RichFile(14));
  EXPECT_EQ(log.Count("DeleteTopic 100"), 1);
  EXPECT_EQ(log.Count("AddTopic 7") + log.Count("AddTopic 9") + log.Count("AddTopic 4242"), 3);
  EXPECT_EQ(log.Count("TopicChange none"), 1);
  EXPECT_EQ(log.Count("AddContents"), 2);
  EXPECT_EQ(log.Count("ContentsChange all"), 1);
  EXPECT_EQ(log.Count("AddMacro"), 13);
  EXPECT_EQ(log.Count("DeleteMacro"), 12);
  EXPECT_GE(log.Count("Change"), 1);
  EXPECT_FALSE(doc.Modified());
  // The contents link resolves to the loaded topic.
  EXPECT_EQ(doc.Contents().Items(0)->LinkedTopic(), doc.Topics().Items(2));
}

// --- Files ---------------------------------------------------------------------------

class FileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("qcdoc-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
  }
  static std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  fs::path folder;
};

constexpr uid_t kNobody = 65534;

/// Runs Body in a child process, as the user nobody when this process is
/// root; the child's exit status (Body's result), or 100 + the signal that ended it.
int RunAsOrdinaryUser(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(90);
    int result = 91;
    try {
      result = body();
    } catch (...) {
      result = 92;
    }
    _exit(result);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST_F(FileTest, LoadFromFileRecordsTheNameOnlyOnSuccess) {
  const fs::path good = folder / "good.qcp";
  const fs::path bad = folder / "bad.qcp";
  WriteAll(good, RichFile(14));
  WriteAll(bad, "not a project\r\n");
  TQuillcrafterDoc doc;
  doc.LoadFromFile(good.string());
  EXPECT_THROW(doc.LoadFromFile(bad.string()), EQCException);
  try {
    doc.LoadFromFile((folder / "missing.qcp").string());
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + (folder / "missing.qcp").string() + "\". ", 0), 0u)
        << e.Message();
  }
  ASSERT_EQ(doc.RecentFiles().Count(), 1);
  EXPECT_EQ(doc.RecentFiles()[0], good.string());
  EXPECT_EQ(doc.Topics().Count(), 3);
}

TEST_F(FileTest, SaveToFileReplacesTheFileAndLeavesNoTemporary) {
  const fs::path target = folder / "out.qcp";
  WriteAll(target, "old contents");
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  EXPECT_TRUE(doc.Modified());
  doc.SaveToFile(target.string());
  EXPECT_EQ(ReadAll(target), RichFile(14));
  EXPECT_FALSE(doc.Modified());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  EXPECT_EQ(doc.RecentFiles()[0], target.string());
}

TEST_F(FileTest, AFileInAFolderWithoutWriteAccessIsSavedInPlace) {
  // Given a writable file in a folder that takes no new file: as root the
  // save runs in a child that has become an ordinary user, since folder
  // permissions do not bind root
  const fs::path locked = folder / "locked";
  const fs::path target = locked / "keep.qcp";
  fs::create_directories(locked);
  WriteAll(target, "the good old file");
  if (geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  }
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  const int status = RunAsOrdinaryUser([&] {
    TQuillcrafterDoc doc;
    FillTooBigForTheLimit(doc);
    // When a write fails half-way (the file size limit stands for a full disk)
    {
      const TFileSizeLimit limit;
      try {
        doc.SaveToFile(target.string());
        return 2;
      } catch (const EWriteError&) {
      } catch (const EFCreateError&) {
        return 3;  // the old refusal: "Cannot create file"
      }
    }
    // Then the old bytes are back; and a save that can complete does
    if (ReadAll(target) != "the good old file") return 4;
    doc.SaveToFile(target.string());
    return ReadAll(target) == SaveBytes(doc) ? 0 : 5;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
}

TEST_F(FileTest, AWriteErrorAfterCreationKeepsTheOldFileAndRecordsTheName) {
  const fs::path target = folder / "keep.qcp";
  const std::string old = "the good old file";
  WriteAll(target, old);
  TQuillcrafterDoc doc;
  FillTooBigForTheLimit(doc);
  // Given a file size limit that stops the write half-way (as a full disk would)
  {
    const TFileSizeLimit limit;
    EXPECT_THROW(doc.SaveToFile(target.string()), EWriteError);
  }
  // Then the old file is intact, no temporary is left, and the name was recorded before writing
  EXPECT_EQ(ReadAll(target), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  EXPECT_TRUE(doc.Modified());
  ASSERT_EQ(doc.RecentFiles().Count(), 1);
  EXPECT_EQ(doc.RecentFiles()[0], target.string());
}

TEST_F(FileTest, ACreateErrorNamesTheTarget) {
  const fs::path target = folder / "no such folder" / "x.qcp";
  TQuillcrafterDoc doc;
  try {
    doc.SaveToFile(target.string());
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + target.string() + "\". ", 0), 0u) << e.Message();
  }
  EXPECT_EQ(doc.RecentFiles().Count(), 0);
}

TEST(StreamSave, AStreamThatTakesNothingReportsAWriteError) {
  struct FullStream : TMemoryStream {
    int64_t Write(const void*, int64_t) override { return 0; }
  } full;
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  EXPECT_THROW(doc.SaveToStream(full), EWriteError);
  EXPECT_TRUE(doc.Modified());
}

TEST(Examples, ResaveReproducesEveryExampleFile) {
  for (const char* name : {"Latest.qcp", "History.qcp"}) {
    const std::string path = std::string(QC_SOURCE_DIR) + "/examples/" + name;
    TMemoryStream file;
    file.LoadFromFile(path);
    TQuillcrafterDoc doc;
    doc.LoadFromFile(path);
    EXPECT_EQ(SaveBytes(doc), file.DataString()) << name;
    EXPECT_GE(doc.Topics().Count(), 12) << name;
  }
}

// --- Hostile input: any damage either loads or fails cleanly -------------------------

TEST(ReaderHostile, DamagedFilesLoadOrLeaveTheDocumentIntact) {
  const std::string good = RichFile(14);
  TQuillcrafterDoc doc;
  LoadBytes(doc, good);
  std::mt19937 rng(1208);
  const char bytes[] = {'\r', '\n', ':', '=', '-', '0', '9', ' ', 'x', '\0', '\xff'};
  for (int round = 0; round < 2000; ++round) {
    std::string damaged = good;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % damaged.size();
      switch (rng() % 3) {
        case 0:
          damaged[at] = bytes[rng() % sizeof(bytes)];
          break;
        case 1:
          damaged.erase(at, 1 + rng() % 40);
          break;
        case 2:
          damaged.resize(at);
          break;
      }
      if (damaged.empty()) damaged = "x";
    }
    const std::string before = SaveBytes(doc);
    try {
      LoadBytes(doc, damaged);
    } catch (const Exception&) {
      ASSERT_EQ(SaveBytes(doc), before) << "round " << round;
    }
  }
}

TEST(RecordReading, ReadTopicPlacesTheTopicByItsIDAfterEqualOnes) {
  // Given one topic record with ID 5 on a text stream
  TQuillcrafterDoc source;
  AddTopic(source, 5, "five", {"body"})->SetBrowseSequence("Main");
  std::vector<std::string> lines = SplitLines(SaveBytes(source));
  const int record = IndexOfLine(lines, "5");
  TMemoryStream bytes(
      JoinLines(std::vector<std::string>(lines.begin() + record, lines.begin() + record + 14)));
  TGTextStream stream(bytes);
  // When it is read into a new topic of a document holding 1, 5 and 9
  TQuillcrafterDoc doc;
  for (int32_t id : {1, 5, 9}) AddTopic(doc, id, "t");
  TQCTopic* topic = doc.Topics().Add();
  doc.ReadTopic(stream, *topic, -1);
  // Then it stands after the other 5, with the record's fields
  EXPECT_EQ(doc.Topics().Items(2), topic);
  EXPECT_EQ(topic->TopicID(), 5);
  EXPECT_EQ(topic->Title(), "five");
  EXPECT_EQ(topic->ContextString(), "Inkwells5");
  EXPECT_EQ(topic->BrowseSequence(), "Main");
  EXPECT_EQ(topic->Text()[0], "body");
  EXPECT_EQ(doc.Topics().IndexOfTopicID(5), 1);
  EXPECT_EQ(doc.Topics().IndexOfTopicID(9), 3);
}

TEST_F(FileTest, SavingThroughALinkReplacesTheFileItNames) {
  const fs::path real = folder / "real.qcp";
  const fs::path link = folder / "link.qcp";
  WriteAll(real, "old");
  fs::create_symlink(real, link);
  TQuillcrafterDoc doc;
  doc.SaveToFile(link.string());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(real), SaveBytes(doc));
  EXPECT_EQ(doc.RecentFiles()[0], link.string());
  // A relative link into another folder, through a second link: the file is
  // replaced in its own folder and both links stay
  fs::create_directories(folder / "elsewhere");
  const fs::path far = folder / "elsewhere" / "far.qcp";
  WriteAll(far, "old");
  fs::create_symlink("elsewhere/far.qcp", folder / "hop.qcp");
  fs::create_symlink("hop.qcp", folder / "start.qcp");
  doc.SaveToFile((folder / "start.qcp").string());
  EXPECT_TRUE(fs::is_symlink(folder / "start.qcp") && fs::is_symlink(folder / "hop.qcp"));
  EXPECT_EQ(ReadAll(far), SaveBytes(doc));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "elsewhere"), fs::directory_iterator()), 1);
}

TEST_F(FileTest, ALinkToNothingIsAnErrorNamingTheMissingFile) {
  const fs::path link = folder / "link.qcp";
  fs::create_symlink("gone/missing.qcp", link);
  TQuillcrafterDoc doc;
  try {
    doc.SaveToFile(link.string());
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + link.string() + "\". The link points to \"" +
                               (folder / "gone/missing.qcp").string() + "\", which does not exist");
  }
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  EXPECT_EQ(doc.RecentFiles().Count(), 0);
}

TEST_F(FileTest, TheSavedFileKeepsPermissionsOwnerGroupAndHardLinks) {
  const fs::path target = folder / "kept.qcp";
  const fs::path second = folder / "second-name.qcp";
  WriteAll(target, "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  }
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  doc.SaveToFile(target.string());
  struct stat info;
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
  }
  // A second hard link stays joined to the first: one file, new contents under both names
  fs::create_hard_link(target, second);
  doc.Topics().Items(0)->SetTitle("changed");
  doc.SaveToFile(target.string());
  EXPECT_TRUE(fs::equivalent(target, second));
  EXPECT_EQ(ReadAll(second), SaveBytes(doc));
  EXPECT_EQ(fs::hard_link_count(target), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  if (!root) GTEST_SKIP() << "the owner and group were checked only as root (run as root to check them)";
}

TEST_F(FileTest, ANamedPipeIsWrittenThroughNotReplaced) {
  const fs::path pipe = folder / "pipe.qcp";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  // Without a reader the save fails at once instead of waiting for one
  try {
    doc.SaveToFile(pipe.string());
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(),
              "Cannot create file \"" + pipe.string() + "\". No process reads from the named pipe");
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  // With one the document goes through the pipe (it fits the pipe's buffer)
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  doc.SaveToFile(pipe.string());
  std::string received(1 << 16, '\0');
  const ssize_t n = ::read(reader, received.data(), received.size());
  received.resize(n > 0 ? static_cast<size_t>(n) : 0);
  EXPECT_EQ(received, SaveBytes(doc));
  // A reader that goes while the document, larger than the pipe's buffer,
  // is on its way is a write error, not the end of the program
  TStringList big;
  for (int i = 0; i < 2000; ++i) big.Add("a body line long enough to fill the pipe's buffer quickly");
  doc.Topics().Items(0)->SetText(big);
  std::thread leaving([reader] {
    ::fcntl(reader, F_SETFL, 0);
    char byte;
    while (::read(reader, &byte, 1) != 1) std::this_thread::yield();  // until the save is writing
    ::close(reader);
  });
  EXPECT_THROW(doc.SaveToFile(pipe.string()), EWriteError);
  leaving.join();
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(FileTest, ACharacterDeviceIsWrittenThroughNotReplaced) {
  // Devices of this test's own, in its folder: the system's own are never a
  // save's target here, whatever the code does
  if (geteuid() != 0) GTEST_SKIP() << "making device nodes needs root";
  const fs::path null = folder / "null";
  const fs::path full = folder / "full";
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
    GTEST_SKIP() << "this system makes no device nodes here: " << std::strerror(errno);
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  doc.SaveToFile(null.string());
  EXPECT_FALSE(doc.Modified());
  doc.Topics().Items(0)->SetTitle("changed");
  EXPECT_THROW(doc.SaveToFile(full.string()), EWriteError);
  EXPECT_TRUE(doc.Modified());
  EXPECT_TRUE(fs::is_character_file(null));
  EXPECT_TRUE(fs::is_character_file(full));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(FileTest, ASaveKilledHalfWayLeavesNoTemporaryForGood) {
  const fs::path target = folder / "keep.qcp";
  WriteAll(target, "the good old file");
  // Given a save that is killed in the middle of its write
  const pid_t child = fork();
  if (child == 0) {
    struct rlimit limit {
      0, 0
    };
    setrlimit(RLIMIT_CORE, &limit);
    try {
      SaveFileSafely(target.string(), [](TStream& stream) {
        stream.WriteString(std::string(50000, 'x'));
        ::raise(SIGKILL);
      });
    } catch (...) {
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  // Then the old file is intact and nothing else is there
  EXPECT_EQ(ReadAll(target), "the good old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  // And a temporary left by a process that is gone (where the system had no
  // unnamed files) goes at the next save of the same target; others stay
  const std::string stale = target.string() + ".~" + std::to_string(child) + "-0.tmp";
  const std::string running = target.string() + ".~" + std::to_string(getppid()) + "-0.tmp";
  const std::string other = (folder / "other.qcp").string() + ".~" + std::to_string(child) + "-0.tmp";
  for (const std::string& name : {stale, running, other}) WriteAll(name, "half");
  TQuillcrafterDoc doc;
  doc.SaveToFile(target.string());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(ReadAll(target), SaveBytes(doc));
}

/// A document whose file is larger than Bytes.
void FillLarge(TQuillcrafterDoc& doc, int bytes) {
  FillRich(doc, 14);
  TStringList big;
  for (int size = 0; size < bytes; size += 60)
    big.Add("a body line long enough to pass the file size limit quickly");
  doc.Topics().Items(0)->SetText(big);
}

TEST_F(FileTest, AnInPlaceSaveUnderASizeLimitFailsBeforeAByteChangesAndSaysWhy) {
  // Given a hard-linked target (saved in place) and a file size limit the new file exceeds
  const fs::path target = folder / "linked.qcp";
  WriteAll(target, "the good old file");
  fs::create_hard_link(target, folder / "second.qcp");
  if (geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
  }
  const int status = RunAsOrdinaryUser([&] {
    TQuillcrafterDoc doc;
    FillLarge(doc, 40000);
    std::signal(SIGXFSZ, SIG_DFL);  // the limit's signal would end the process
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      doc.SaveToFile(target.string());
      return 2;
    } catch (const EWriteError& e) {
      // Then the save fails with the reason, not by the signal
      return e.Message() == "Cannot write file \"" + target.string() + "\". File too large" ? 0 : 3;
    }
  });
  EXPECT_EQ(status, 0);
  // And the old bytes are there under both names, with nothing beside them
  EXPECT_EQ(ReadAll(target), "the good old file");
  EXPECT_EQ(ReadAll(folder / "second.qcp"), "the good old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(FileTest, NamesUpToTheLongestTheSystemTakesAreSaved) {
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  for (const size_t length : {size_t{243}, size_t{250}, size_t{255}}) {
    const fs::path target = folder / std::string(length, 'n');
    WriteAll(target, "old");
    doc.SaveToFile(target.string());
    EXPECT_EQ(ReadAll(target), SaveBytes(doc)) << length;
    fs::remove(target);
  }
  // A name whose backup name would be too long stops before anything is replaced
  const fs::path target = folder / std::string(255, 'n');
  WriteAll(target, "old");
  try {
    doc.SaveToFile(target.string(), true);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_NE(e.Message().find("File name too long"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(FileTest, TwoSavesOntoOneTargetNeverMixTheirBytes) {
  // Given a hard-linked target (written in place) and two documents saved onto it at once
  const fs::path target = folder / "shared.qcp";
  WriteAll(target, "old");
  fs::create_hard_link(target, folder / "second.qcp");
  TQuillcrafterDoc first, second;
  FillLarge(first, 300000);
  FillLarge(second, 200000);
  second.Topics().Items(1)->SetTitle("the second document");
  const std::string one = SaveBytes(first), two = SaveBytes(second);
  std::atomic<int> refused{0};
  auto saves = [&](TQuillcrafterDoc& doc) {
    for (int i = 0; i < 10; ++i) {
      try {
        doc.SaveToFile(target.string());
      } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), target.string() + " is being saved by another program");
        ++refused;
      }
      // Then after every save the file is one document or the other, read
      // while no save holds the lock (a save under way is not yet done)
      const int reader = ::open(target.c_str(), O_RDONLY);
      ::flock(reader, LOCK_SH);
      const std::string now = ReadAll(folder / "second.qcp");
      ::flock(reader, LOCK_UN);
      ::close(reader);
      EXPECT_TRUE(now == one || now == two);
    }
  };
  std::thread other([&] { saves(second); });
  saves(first);
  other.join();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  // And a save that cannot have the lock soon gives up with that message
  const int holder = ::open(target.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_THROW(first.SaveToFile(target.string()), EFCreateError);
  ::close(holder);
}

TEST_F(FileTest, TheBackupIsTheReplacedVersionAndAFailedSaveLeavesNothingNew) {
  const fs::path target = folder / "kept.qcp";
  const fs::path backup = folder / "kept.qcp.bak";
  WriteAll(target, "version 1");
  TQuillcrafterDoc doc;
  FillRich(doc, 14);
  doc.SaveToFile(target.string(), true);
  EXPECT_EQ(ReadAll(backup), "version 1");
  doc.Topics().Items(0)->SetTitle("changed");
  const std::string second = ReadAll(target);
  doc.SaveToFile(target.string(), true);
  EXPECT_EQ(ReadAll(backup), second);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  // A read-only target is refused and no backup appears beside it
  const fs::path locked = folder / "locked.qcp";
  WriteAll(locked, "read only");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder, fs::perms::others_all, fs::perm_options::add);
  const int status = RunAsOrdinaryUser([&] {
    try {
      doc.SaveToFile(locked.string(), true);
      return 2;
    } catch (const EFCreateError&) {
      return fs::exists(folder / "locked.qcp.bak") ? 3 : 0;
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

TEST_F(FileTest, OnAFullDiskTheOldBackupStaysWhole) {
  // Given a 2 MB file system of this test's own with a target and its old backup
  const fs::path disk = folder / "disk";
  fs::create_directories(disk);
  if (geteuid() != 0 || ::mount("qctest", disk.c_str(), "tmpfs", 0, "size=2m") != 0)
    GTEST_SKIP() << "mounting a small file system needs root";
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk.string()};
  const fs::path target = disk / "full.qcp";
  const fs::path backup = disk / "full.qcp.bak";
  WriteAll(target, std::string(600000, 't'));
  WriteAll(backup, std::string(500000, 'b'));
  WriteAll(disk / "filler", std::string(800000, 'f'));
  // When a save with a backup runs out of space
  TQuillcrafterDoc doc;
  FillLarge(doc, 200000);
  try {
    doc.SaveToFile(target.string(), true);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_NE(e.Message().find("No space left on device"), std::string::npos) << e.Message();
  }
  // Then the old backup and the target are whole and nothing else appeared
  EXPECT_EQ(ReadAll(backup), std::string(500000, 'b'));
  EXPECT_EQ(ReadAll(target), std::string(600000, 't'));
  EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 3);
}

TEST_F(FileTest, ExtendedAttributesGoOverToTheNewFile) {
  const fs::path target = folder / "tagged.qcp";
  WriteAll(target, "old");
  if (::setxattr(target.c_str(), "user.qc.note", "kept", 4, 0) != 0)
    GTEST_SKIP() << "this file system takes no user attributes: " << std::strerror(errno);
  TQuillcrafterDoc doc;
  doc.SaveToFile(target.string(), true);
  for (const fs::path& file : {target, fs::path(target.string() + ".bak")}) {
    char value[16] = {};
    EXPECT_EQ(::getxattr(file.c_str(), "user.qc.note", value, sizeof value), 4) << file;
    EXPECT_STREQ(value, "kept");
  }
}

TEST_F(FileTest, AFolderIsNotReplaced) {
  fs::create_directories(folder / "sub.qcp");
  TQuillcrafterDoc doc;
  EXPECT_THROW(doc.SaveToFile((folder / "sub.qcp").string()), EFCreateError);
  EXPECT_TRUE(fs::is_directory(folder / "sub.qcp"));
  EXPECT_EQ(doc.RecentFiles().Count(), 0);
}
