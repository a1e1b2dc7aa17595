/// Tests for diff/dvDiffEngine.cpp: sample comparisons, edge cases, settings,
/// line splitting, streams, viewers and the error rules.
#include "diff/dvDiffEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "tests/diff/DiffTestUtil.h"

using diff_test::Render;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Rows = std::vector<std::string>;

namespace {

TdvCharSet CharSet(std::string_view chars) {
  TdvCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

// ---------------------------------------------------------------------------
// Comparison table: sample comparisons and the edge cases of the method.

struct DiffCase {
  const char* name;
  Rows text1;
  Rows text2;
  Rows expected1;
  Rows expected2;
  std::vector<int> progress;
  TdvDiffOptions options = kMainWindowDiffOptions;
  int matchDepth = 3;
  std::optional<std::string> ignoreChars = std::nullopt;  // nullopt: the engine's default set
};

void PrintTo(const DiffCase& c, std::ostream* os) { *os << c.name; }

class DiffTable : public ::testing::TestWithParam<DiffCase> {};

TEST_P(DiffTable, AlignsAsExpected) {
  const DiffCase& c = GetParam();
  TdvDiffEngine engine;
  engine.SetDiffOptions(c.options);
  engine.SetMatchDepth(c.matchDepth);
  if (c.ignoreChars) engine.SetIgnoreChars(CharSet(*c.ignoreChars));
  std::vector<int> progress;
  engine.OnDiffProgress = [&](int32_t percent) { progress.push_back(percent); };

  // When the texts are compared
  engine.CompareStrings(diff_test::JoinLines(c.text1), diff_test::JoinLines(c.text2));

  // Then both sides and every progress value are as expected
  EXPECT_THAT(Render(engine.Result1()), ElementsAreArray(c.expected1));
  EXPECT_THAT(Render(engine.Result2()), ElementsAreArray(c.expected2));
  EXPECT_THAT(progress, ElementsAreArray(c.progress));
  EXPECT_EQ(engine.InitialCount1(), static_cast<int>(c.text1.size()));
  EXPECT_EQ(engine.InitialCount2(), static_cast<int>(c.text2.size()));
}

const TdvDiffOptions kNoOptions{};

INSTANTIATE_TEST_SUITE_P(
    Engine, DiffTable,
    ::testing::Values(
        DiffCase{"OneInsertedLine",
                 {"A", "B", "C", "D"},
                 {"A", "N", "B", "C", "D"},
                 {"1 A", "5", "1 B", "1 C", "1 D"},
                 {"1 A", "3 N", "1 B", "1 C", "1 D"},
                 {22, 56, 78, 100}},
        DiffCase{"EqualLinesDrawnIntoTheBlock",
                 {"A", "B", "C", "D", "E"},
                 {"A", "X", "C", "D", "E", "F"},
                 {"1 A", "4 B", "4 C", "4 D", "4 E", "5"},
                 {"1 A", "4 X", "4 C", "4 D", "4 E", "3 F"},
                 {18}},
        DiffCase{"FirstLinesDifferDepthOne",
                 {"X", "A", "B"},
                 {"Y", "A", "B"},
                 {"4 X", "1 A", "1 B"},
                 {"4 Y", "1 A", "1 B"},
                 {67, 100}},
        DiffCase{"IdenticalTexts",
                 {"a", "b", "c"},
                 {"a", "b", "c"},
                 {"1 a", "1 b", "1 c"},
                 {"1 a", "1 b", "1 c"},
                 {33, 67, 100}},
        DiffCase{"BothEmpty", {}, {}, {}, {}, {}},
        DiffCase{"Text1Empty", {}, {"A", "B"}, {"5", "5"}, {"3 A", "3 B"}, {}},
        DiffCase{"Text2Empty", {"A", "B"}, {}, {"2 A", "2 B"}, {"5", "5"}, {}},
        DiffCase{"Text2EndsEarly",
                 {"A", "B", "C"},
                 {"A", "B"},
                 {"1 A", "1 B", "2 C"},
                 {"1 A", "1 B", "5"},
                 {40, 80}},
        DiffCase{"Text1EndsEarly",
                 {"A", "B"},
                 {"A", "B", "C"},
                 {"1 A", "1 B", "5"},
                 {"1 A", "1 B", "3 C"},
                 {40, 80}},
        DiffCase{"BlanksAndTabsAtTheEndsKeepRawText",
                 {" A\t", "B"},
                 {"A ", "B"},
                 {"1  A\t", "1 B"},
                 {"1 A ", "1 B"},
                 {50, 100}},
        DiffCase{"BlanksInsideStillCount", {"a b"}, {"ab"}, {"4 a b"}, {"4 ab"}, {}},
        DiffCase{"CaseFoldedWithoutCaseSensitive", {"ABC"}, {"abc"}, {"1 ABC"}, {"1 abc"}, {100}, kNoOptions},
        DiffCase{"CaseKeptWithCaseSensitive",
                 {"ABC"},
                 {"abc"},
                 {"4 ABC"},
                 {"4 abc"},
                 {},
                 TdvDiffOptions{fdoCaseSensitive}},
        DiffCase{"AccentedCapitalsNotFolded",
                 {"\xC9t\xC9"},
                 {"\xE9t\xE9"},
                 {"4 \xC9t\xC9"},
                 {"4 \xE9t\xE9"},
                 {},
                 kNoOptions},
        // UTF-8 text: letters beyond ASCII fold, spaces beyond ASCII are
        // blanks, and deletion takes whole characters.
        DiffCase{"Utf8LettersFold",
                 {"\u00C9T\u00C9 \u0178 \u03A3\u039F\u03A6\u0399\u0391\u03A3 \u0416\u0423\u041A \u0174"},
                 {"\u00E9t\u00E9 \u00FF \u03C3\u03BF\u03C6\u03B9\u03B1\u03C2 \u0436\u0443\u043A \u0175"},
                 {"1 \u00C9T\u00C9 \u0178 \u03A3\u039F\u03A6\u0399\u0391\u03A3 \u0416\u0423\u041A \u0174"},
                 {"1 \u00E9t\u00E9 \u00FF \u03C3\u03BF\u03C6\u03B9\u03B1\u03C2 \u0436\u0443\u043A \u0175"},
                 {100},
                 kNoOptions},
        DiffCase{"Utf8LettersKeptWithCaseSensitive",
                 {"\u0416"},
                 {"\u0436"},
                 {"4 \u0416"},
                 {"4 \u0436"},
                 {},
                 TdvDiffOptions{fdoCaseSensitive}},
        DiffCase{"UnicodeSpacesDeletedAsBlanks",
                 {"a\u00A0b\u2003c\u3000d\u202F"},
                 {"abcd"},
                 {"1 a\u00A0b\u2003c\u3000d\u202F"},
                 {"1 abcd"},
                 {100},
                 TdvDiffOptions{fdoCaseSensitive, fdoIgnoreCharacters}},
        DiffCase{"UnicodeSpacesStrippedAtTheEnds",
                 {"\u00A0 \u2002a b\u3000\u00A0"},
                 {"a b"},
                 {"1 \u00A0 \u2002a b\u3000\u00A0"},
                 {"1 a b"},
                 {100}},
        DiffCase{"DeletionTakesWholeCharacters",
                 {"\u00E0 x\u00A0"},
                 {"\u00E0 x"},
                 {"1 \u00E0 x\u00A0"},
                 {"1 \u00E0 x"},
                 {100},
                 TdvDiffOptions{fdoCaseSensitive, fdoIgnoreCharacters},
                 3,
                 "\xA0"},
        DiffCase{"DefaultIgnoreCharsDeleteBlanks",
                 {"a b"},
                 {"ab"},
                 {"1 a b"},
                 {"1 ab"},
                 {100},
                 TdvDiffOptions{fdoIgnoreCharacters}},
        DiffCase{"EmptyIgnoreCharsDeleteNothing",
                 {"a b"},
                 {"ab"},
                 {"4 a b"},
                 {"4 ab"},
                 {},
                 TdvDiffOptions{fdoIgnoreCharacters},
                 3,
                 ""},
        DiffCase{"IgnoreCharsUnusedWithoutTheOption",
                 {"a-b"},
                 {"ab"},
                 {"4 a-b"},
                 {"4 ab"},
                 {},
                 kNoOptions,
                 3,
                 "-"},
        DiffCase{"DeletionComesBeforeStripping",
                 {"a x"},
                 {"a"},
                 {"1 a x"},
                 {"1 a"},
                 {100},
                 TdvDiffOptions{fdoIgnoreCharacters, fdoIgnoreTrailingWhiteSpace},
                 3,
                 "x"},
        DiffCase{"DeletionComesBeforeCaseFolding",
                 {"aA"},
                 {"a"},
                 {"1 aA"},
                 {"1 a"},
                 {100},
                 TdvDiffOptions{fdoIgnoreCharacters},
                 3,
                 "A"},
        DiffCase{"OnlyLeadingStripped",
                 {"  a"},
                 {"a"},
                 {"1   a"},
                 {"1 a"},
                 {100},
                 TdvDiffOptions{fdoIgnoreLeadingWhiteSpace}},
        DiffCase{"OnlyLeadingStrippedTrailingCounts",
                 {"a "},
                 {"a"},
                 {"4 a "},
                 {"4 a"},
                 {},
                 TdvDiffOptions{fdoIgnoreLeadingWhiteSpace}},
        DiffCase{"OnlyTrailingStripped",
                 {"a\x01\x1f"},
                 {"a"},
                 {"1 a\x01\x1f"},
                 {"1 a"},
                 {100},
                 TdvDiffOptions{fdoIgnoreTrailingWhiteSpace}},
        DiffCase{"ThreeAgainstOne",
                 {"S", "a", "b", "c", "T", "U", "V", "W"},
                 {"S", "z", "T", "U", "V", "W"},
                 {"1 S", "4 a", "2 b", "2 c", "1 T", "1 U", "1 V", "1 W"},
                 {"1 S", "4 z", "5", "5", "1 T", "1 U", "1 V", "1 W"},
                 {14, 57, 71, 86, 100}},
        DiffCase{"TestABeatsTestBAtTheSameCandidate",
                 {"a", "b", "a"},
                 {"b", "a", "b"},
                 {"5", "1 a", "1 b", "2 a"},
                 {"3 b", "1 a", "1 b", "5"},
                 {50, 83}},
        DiffCase{"SmallerSkipWinsForEqualLargerSkip",
                 {"a", "a", "a"},
                 {"b", "c", "a", "a"},
                 {"5", "5", "1 a", "1 a", "2 a"},
                 {"3 b", "3 c", "1 a", "1 a", "5"},
                 {57, 86}},
        DiffCase{"HalvesRoundToEven",
                 {"X", "A", "B", "C"},
                 {"A", "B", "C", "D"},
                 {"2 X", "1 A", "1 B", "1 C", "5"},
                 {"5", "1 A", "1 B", "1 C", "3 D"},
                 {38, 62, 88}},
        DiffCase{"MatchDepthAppliesOnceARowIsTaken",
                 {"S", "X", "A", "B", "C"},
                 {"S", "Y", "A", "B", "Z"},
                 {"1 S", "4 X", "4 A", "4 B", "4 C"},
                 {"1 S", "4 Y", "4 A", "4 B", "4 Z"},
                 {20}},
        DiffCase{"MatchDepthOne",
                 {"S", "X", "A", "B", "C"},
                 {"S", "Y", "A", "B", "Z"},
                 {"1 S", "4 X", "1 A", "1 B", "4 C"},
                 {"1 S", "4 Y", "1 A", "1 B", "4 Z"},
                 {20, 60, 80},
                 kMainWindowDiffOptions,
                 1},
        DiffCase{"PastTheEndMatchesBlankLine",
                 {"A", "x", ""},
                 {"A", "y"},
                 {"1 A", "4 x", "2 "},
                 {"1 A", "4 y", "5"},
                 {40}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Line splitting

struct SplitCase {
  const char* name;
  std::string text;
  Rows lines;
};

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, Splits) {
  EXPECT_THAT(SplitDiffLines(GetParam().text), ElementsAreArray(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(
    Engine, SplitTable,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"NoLineBreak", "a", {"a"}},
        SplitCase{"FinalBreakAddsNoLine", "a\n", {"a"}}, SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"LoneCr", "a\rb\r", {"a", "b"}}, SplitCase{"LoneLf", "a\nb", {"a", "b"}},
        SplitCase{"EmptyLinesKept", "a\n\n\nb", {"a", "", "", "b"}},
        SplitCase{"CrBeforeCrLf", "a\r\r\nb", {"a", "", "b"}},
        SplitCase{"LfThenCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}}, SplitCase{"OnlyABreak", "\r\n", {""}},
        SplitCase{"NulEndsTheText", std::string("a\nb\0c\nd", 7), {"a", "b"}},
        SplitCase{"NulFirst", std::string("\0a", 2), {}},
        SplitCase{"LongLines",
                  std::string(40, 'x') + "\r" + std::string(17, 'y') + "\r\n" + std::string(33, 'z'),
                  {std::string(40, 'x'), std::string(17, 'y'), std::string(33, 'z')}},
        SplitCase{"NulInALongLine",
                  std::string(20, 'a') + "\n" + std::string(20, 'b') + '\0' + "\nc",
                  {std::string(20, 'a'), std::string(20, 'b')}},
        SplitCase{"HighBytesUnchanged", "\xE9\x80\xFF\n\x7F", {"\xE9\x80\xFF", "\x7F"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiffEngineText, LineEndStylesGiveTheSameResult) {
  const Rows lines1{"one", "two", "", "three", "four"};
  const Rows lines2{"one", "2", "", "three", "four", "five"};
  TdvDiffEngine lf, crlf, cr;
  lf.CompareStrings(diff_test::JoinLines(lines1, "\n"), diff_test::JoinLines(lines2, "\n"));
  crlf.CompareStrings(diff_test::JoinLines(lines1, "\r\n"), diff_test::JoinLines(lines2, "\r\n"));
  cr.CompareStrings(diff_test::JoinLines(lines1, "\r"), diff_test::JoinLines(lines2, "\r"));
  EXPECT_TRUE(lf.Result1().Equals(crlf.Result1()) && lf.Result2().Equals(crlf.Result2()));
  EXPECT_TRUE(lf.Result1().Equals(cr.Result1()) && lf.Result2().Equals(cr.Result2()));
}

TEST(DiffEngineText, StreamsAreReadFromTheirPositionAndNotRewound) {
  TStringStream stream1(std::string("skipped\nA\nB\n"));
  TStringStream stream2(std::string("A\nB"));
  stream1.SetPosition(8);
  TdvDiffEngine engine;
  engine.CompareStreams(stream1, stream2);
  EXPECT_THAT(Render(engine.Result1()), ElementsAre("1 A", "1 B"));
  EXPECT_EQ(stream1.Position(), stream1.Size());
  EXPECT_EQ(stream2.Position(), stream2.Size());
}

/// A stream that fails on its first read.
class FailingStream : public TStream {
 public:
  int64_t Read(void*, int64_t) override { throw EReadError(rtl::SReadError); }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
};

TEST(DiffEngineText, FailingStreamKeepsThePreviousResult) {
  TdvDiffEngine engine;
  engine.CompareStrings("A\nB\n", "A\nC\n");
  const Rows before1 = Render(engine.Result1());
  TStringStream good(std::string("x"));
  FailingStream bad;
  EXPECT_THROW(engine.CompareStreams(good, bad), EReadError);
  EXPECT_THAT(Render(engine.Result1()), ElementsAreArray(before1));
  EXPECT_EQ(engine.Result2().Count(), engine.Result1().Count());
}

TEST(DiffEngineText, SecondRunReplacesTheFirst) {
  TdvDiffEngine engine;
  engine.CompareStrings("A\nB\nC\n", "A\n");
  engine.CompareStrings("Q\n", "Q\n");
  EXPECT_THAT(Render(engine.Result1()), ElementsAre("1 Q"));
  EXPECT_THAT(Render(engine.Result2()), ElementsAre("1 Q"));
  EXPECT_EQ(engine.InitialCount1(), 1);
}

// ---------------------------------------------------------------------------
// Settings

TEST(DiffEngineSettings, FreshEngine) {
  TdvDiffEngine engine;
  EXPECT_EQ(engine.MatchDepth(), 3);
  EXPECT_TRUE(engine.DiffOptions().Empty());
  TdvCharSet blanksAndControls;
  for (int c = 0; c <= 32; ++c) blanksAndControls.set(static_cast<size_t>(c));
  EXPECT_EQ(engine.IgnoreChars(), blanksAndControls);
  EXPECT_EQ(engine.InitialCount1(), -1);
  EXPECT_EQ(engine.InitialCount2(), -1);
  EXPECT_EQ(engine.Result1().Count(), 0);
  EXPECT_EQ(engine.ClassName(), "TdvDiffEngine");
}

TEST(DiffEngineSettings, MatchDepthOutsideOneToNinetyNineIsIgnored) {
  struct Step {
    int written;
    int expected;
  };
  TdvDiffEngine engine;
  for (const Step& step : {Step{0, 3}, Step{100, 3}, Step{-7, 3}, Step{99, 99}, Step{1, 1}, Step{100, 1}}) {
    engine.SetMatchDepth(step.written);
    EXPECT_EQ(engine.MatchDepth(), step.expected) << "after writing " << step.written;
  }
}

// ---------------------------------------------------------------------------
// The guard of the block emission

class ExposedEngine : public TdvDiffEngine {
 public:
  using TdvCustomDiffEngine::AddDiffBlock;
};

TEST(DiffEngineGuard, EmptyOrNegativeBlockNeverHappens) {
  struct GuardCase {
    const char* name;
    TdvDiffRange range1, range2;
  };
  for (const GuardCase& c : {GuardCase{"both empty", {2, 2}, {5, 5}}, GuardCase{"negative 1", {3, 2}, {0, 1}},
                             GuardCase{"negative 2", {0, 1}, {4, 1}}}) {
    ExposedEngine engine;
    engine.CompareStrings("A\n", "B\n");
    try {
      engine.AddDiffBlock(c.range1, c.range2);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "This should never happen") << c.name;
    }
    EXPECT_THAT(Render(engine.Result1()), ElementsAre("4 A")) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Viewers and events

/// Records its notices in a shared log.
class LogViewer : public TdvDiffEngineViewer {
 public:
  LogViewer(std::string name, std::vector<std::string>& log) : FName(std::move(name)), FLog(log) {}
  void DiffChanged() override {
    FLog.push_back(FName + " changed");
    if (OnChanged) OnChanged();
  }
  std::function<void()> OnChanged;

 protected:
  void DiffEngineDestroyed(TdvCustomDiffEngine*) override { FLog.push_back(FName + " lost engine"); }

 private:
  std::string FName;
  std::vector<std::string>& FLog;
};

TEST(DiffEngineViewers, ToldInRegistrationOrderThenCompleted) {
  std::vector<std::string> log;
  TdvDiffEngine engine;
  LogViewer a("a", log), b("b", log);
  engine.RegisterViewer(&b);
  engine.RegisterViewer(&a);
  engine.RegisterViewer(&b);  // already there: no second entry
  engine.RegisterViewer(nullptr);
  TObject* sender = nullptr;
  engine.OnDiffCompleted = [&](TObject* s) {
    sender = s;
    log.push_back("completed");
  };
  a.OnChanged = [&] {
    EXPECT_EQ(engine.Result1().Count(), 1) << "results are ready before viewers are told";
  };
  engine.CompareStrings("x", "y");
  EXPECT_THAT(log, ElementsAre("b changed", "a changed", "completed"));
  EXPECT_EQ(sender, &engine);
  EXPECT_EQ(engine.ViewerCount(), 2);
  EXPECT_EQ(engine.Viewers(0), &b);
  EXPECT_THROW(engine.Viewers(2), EListError);
}

TEST(DiffEngineViewers, UnregisteredViewerIsNotTold) {
  std::vector<std::string> log;
  TdvDiffEngine engine;
  LogViewer a("a", log);
  engine.RegisterViewer(&a);
  engine.UnregisterViewer(&a);
  engine.UnregisterViewer(&a);  // not there: nothing happens
  engine.CompareStrings("x", "x");
  EXPECT_TRUE(log.empty());
}

TEST(DiffEngineViewers, DestroyedViewerIsDroppedByEveryEngine) {
  std::vector<std::string> log;
  TdvDiffEngine engine1, engine2;
  auto viewer = std::make_unique<LogViewer>("v", log);
  engine1.RegisterViewer(viewer.get());
  engine2.RegisterViewer(viewer.get());
  viewer.reset();
  EXPECT_EQ(engine1.ViewerCount(), 0);
  EXPECT_EQ(engine2.ViewerCount(), 0);
  engine1.CompareStrings("a", "b");  // must not reach the destroyed viewer
  EXPECT_TRUE(log.empty());
}

TEST(DiffEngineViewers, DestroyedEngineTellsItsViewers) {
  std::vector<std::string> log;
  LogViewer a("a", log), b("b", log);
  {
    TdvDiffEngine engine;
    engine.RegisterViewer(&a);
    engine.RegisterViewer(&b);
  }
  EXPECT_THAT(log, ElementsAre("a lost engine", "b lost engine"));
  // The viewers outlive the engine; their destructors must not reach it.
}

TEST(DiffEngineViewers, ViewerMayUnregisterAnotherWhileBeingTold) {
  std::vector<std::string> log;
  TdvDiffEngine engine;
  LogViewer a("a", log), b("b", log);
  engine.RegisterViewer(&a);
  engine.RegisterViewer(&b);
  a.OnChanged = [&] { engine.UnregisterViewer(&b); };
  engine.CompareStrings("x", "y");
  EXPECT_THAT(log, ElementsAre("a changed"));
}

TEST(DiffEngineEvents, ViewerAndCompletionErrorsReachTheCaller) {
  std::vector<std::string> log;
  TdvDiffEngine engine;
  LogViewer a("a", log);
  engine.RegisterViewer(&a);
  a.OnChanged = [] { throw EInvalidOperation("viewer failed"); };
  EXPECT_THROW(engine.CompareStrings("x", "y"), EInvalidOperation);
  EXPECT_EQ(engine.Result1().Count(), engine.Result2().Count());

  a.OnChanged = nullptr;
  engine.OnDiffCompleted = [](TObject*) { throw EInvalidOperation("handler failed"); };
  EXPECT_THROW(engine.CompareStrings("x", "y"), EInvalidOperation);
}

TEST(DiffEngineEvents, ProgressErrorsAreSwallowedAndTheRunGoesOn) {
  TdvDiffEngine engine;
  int calls = 0;
  engine.OnDiffProgress = [&](int32_t) {
    ++calls;
    throw EInvalidOperation("progress failed");
  };
  bool completed = false;
  engine.OnDiffCompleted = [&](TObject*) { completed = true; };
  engine.CompareStrings("a\nb\nc\n", "a\nb\nc\n");
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(completed);
  EXPECT_EQ(engine.Result1().Count(), 3);
}

TEST(DiffEngineEvents, ProgressSeesOnlyTheRowsOfTheRunningComparison) {
  TdvDiffEngine engine;
  engine.CompareStrings("1\n2\n3\n4\n5\n6\n", "1\n2\n3\n4\n5\n6\n");
  std::vector<int> counts;
  engine.OnDiffProgress = [&](int32_t) {
    EXPECT_EQ(engine.Result1().Count(), engine.Result2().Count());
    counts.push_back(engine.Result1().Count());
  };
  engine.CompareStrings("a\nb\n", "a\nb\n");
  EXPECT_THAT(counts, ElementsAre(1, 2));
}

/// An engine whose difference blocks below the second row fail as an
/// internal error would, without having taken a line.
class FailingBlockEngine : public TdvDiffEngine {
 public:
  bool Fail = true;

 protected:
  void AddDiffBlock(TdvDiffRange range1, TdvDiffRange range2) override {
    if (Fail && range1.Start >= 2) throw EInvalidOperation("This should never happen");
    TdvDiffEngine::AddDiffBlock(range1, range2);
  }
};

TEST(DiffEngineGuard, FailedRunRaisesAndLeavesNoPartialResult) {
  // With a progress handler the results are emptied at the start; without
  // one the failing run has overwritten part of the previous result in place.
  for (const bool withProgress : {false, true}) {
    std::vector<std::string> log;
    FailingBlockEngine engine;
    engine.Fail = false;
    engine.CompareStrings("p\nq\nr\ns\nt\nu\nv\n", "p\nq\nr\ns\nt\nu\nv\n");
    engine.Fail = true;
    if (withProgress) engine.OnDiffProgress = [](int32_t) {};
    LogViewer viewer("v", log);
    engine.RegisterViewer(&viewer);
    int resultRowsSeen = -1;
    viewer.OnChanged = [&] { resultRowsSeen = engine.Result1().Count() + engine.RowCount(); };
    bool completed = false;
    engine.OnDiffCompleted = [&](TObject*) { completed = true; };
    try {
      engine.CompareStrings("a\nX\na\na\na\na\na\nY\nb\n", "a\nZ\na\na\na\na\na\nW\nb\n");
      ADD_FAILURE() << "no error, progress " << withProgress;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), "This should never happen");
    }
    EXPECT_EQ(engine.Result1().Count(), 0) << withProgress;
    EXPECT_EQ(engine.Result2().Count(), 0) << withProgress;
    EXPECT_TRUE(engine.Rows().empty()) << withProgress;
    EXPECT_THAT(log, ElementsAre("v changed")) << "the viewer drops what it showed";
    EXPECT_EQ(resultRowsSeen, 0);
    EXPECT_FALSE(completed);

    // A viewer failing on that notice does not hide the cause; the engine stays usable.
    viewer.OnChanged = [] { throw EReadError("viewer failed"); };
    EXPECT_THROW(engine.CompareStrings("a\nX\na\na\na\na\na\nY\n", "a\nZ\na\na\na\na\na\nW\n"),
                 EInvalidOperation);
    viewer.OnChanged = nullptr;
    engine.Fail = false;
    engine.CompareStrings("a\nX\n", "a\n");
    EXPECT_THAT(Render(engine.Result1()), ElementsAre("1 a", "2 X"));
    EXPECT_TRUE(completed);
  }
}

TEST(DiffEngineText, TextsTakenFromThePreviousResult) {
  TdvDiffEngine engine;
  engine.CompareStrings("first line of some length\nA\n", "B\n");
  // Views into the entries that the new run replaces.
  const std::string_view old1 = DiffEntryText(engine.Result1()[0]);
  const std::string_view old2 = DiffEntryText(engine.Result2()[0]);
  engine.CompareStrings(old1, old2);
  EXPECT_THAT(Render(engine.Result1()), ElementsAre("4 first line of some length"));
  EXPECT_THAT(Render(engine.Result2()), ElementsAre("4 B"));
}

TEST(DiffEngineEvents, NoSecondComparisonWhileOneIsRunning) {
  TdvDiffEngine engine;
  int refused = 0;
  engine.OnDiffProgress = [&](int32_t) {
    try {
      engine.CompareStrings("other\n", "text\n");
    } catch (const EInvalidOperation&) {
      ++refused;
    }
  };
  engine.CompareStrings("a\nb\n", "a\nb\n");
  EXPECT_EQ(refused, 2);
  EXPECT_THAT(Render(engine.Result1()), ElementsAre("1 a", "1 b"));

  // From the completion handler the error reaches the caller; the engine stays usable.
  engine.OnDiffProgress = nullptr;
  engine.OnDiffCompleted = [&](TObject*) { engine.CompareStrings("x", "y"); };
  EXPECT_THROW(engine.CompareStrings("a", "a"), EInvalidOperation);
  engine.OnDiffCompleted = nullptr;
  engine.CompareStrings("q", "q");
  EXPECT_THAT(Render(engine.Result2()), ElementsAre("1 q"));
}

}  // namespace
