#pragma once
// Line difference engine: aligns two texts line by line into two result
// lists of equal length whose entries are a kind byte followed by the raw
// line, and offers the same result as rows (TdvDiffRow) for its readers.
// Qt-free; a viewer learns about new results through the small
// TdvDiffEngineViewer interface below, and nothing here knows any viewer.
//
// Method: a greedy, forward-only resynchronisation rather than a longest
// common subsequence. Equal leading lines are taken as they come; at the
// first difference the engine searches outward in growing squares for the
// nearest point where MatchDepth + 1 consecutive lines agree on both sides,
// emits everything before that point as one block (paired top-down), and
// goes on from there. Lines are never moved.

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Streams.h"

/// What is done to each line before two lines are compared. The ordinal is
/// the bit of the option in TdvDiffOptions; the order of application is
/// fixed: deletion of IgnoreChars, then stripping, then case.
enum TdvDiffOption : uint8_t {
  fdoCaseSensitive = 0,             // absent: A-Z compare as a-z, and in UTF-8 the capitals of
                                    // Latin-1, Latin Extended-A, Greek and Cyrillic as theirs
  fdoIgnoreCharacters = 1,          // delete every character of IgnoreChars (by its value below
                                    // 256; Unicode spaces too when it holds the blank)
  fdoIgnoreTrailingWhiteSpace = 2,  // strip bytes 0..32 and Unicode spaces from the end
  fdoIgnoreLeadingWhiteSpace = 3,   // strip bytes 0..32 and Unicode spaces from the start
};

/// A set of TdvDiffOption, one byte, bit n = option n.
class TdvDiffOptions {
 public:
  constexpr TdvDiffOptions() = default;
  constexpr TdvDiffOptions(std::initializer_list<TdvDiffOption> options) {
    for (auto option : options) FBits |= Bit(option);
  }
  static constexpr TdvDiffOptions FromBits(uint8_t bits) {
    TdvDiffOptions result;
    result.FBits = bits & 0x0F;
    return result;
  }
  constexpr uint8_t Bits() const { return FBits; }
  constexpr bool Contains(TdvDiffOption option) const { return (FBits & Bit(option)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr void Include(TdvDiffOption option) { FBits |= Bit(option); }
  constexpr void Exclude(TdvDiffOption option) { FBits &= static_cast<uint8_t>(~Bit(option)); }
  friend constexpr bool operator==(TdvDiffOptions a, TdvDiffOptions b) { return a.FBits == b.FBits; }

 private:
  static constexpr uint8_t Bit(TdvDiffOption option) { return static_cast<uint8_t>(1u << option); }
  uint8_t FBits = 0;
};

/// The options the main window stores with its engine.
inline constexpr TdvDiffOptions kMainWindowDiffOptions{fdoCaseSensitive, fdoIgnoreTrailingWhiteSpace,
                                                       fdoIgnoreLeadingWhiteSpace};

/// A set over the 256 byte values (IgnoreChars).
using TdvCharSet = std::bitset<256>;

/// Kind byte at the front of every result entry.
enum TdvDiffKind : uint8_t {
  dkSame = 1,      // matched the line at the same row on the other side
  dkDeleted = 2,   // Result1 only: the line exists only in text 1; a filler faces it
  dkInserted = 3,  // Result2 only: the line exists only in text 2; a filler faces it
  dkChanged = 4,   // both: paired inside a difference block with the other side's row
  dkFiller = 5,    // both: no line, the entry is the kind byte and one blank
};

/// Kind of a result entry (0 for an empty entry, which the engine never makes).
inline uint8_t DiffEntryKind(std::string_view entry) {
  return entry.empty() ? 0 : static_cast<uint8_t>(entry[0]);
}
/// The raw line of a result entry: everything after the kind byte.
inline std::string_view DiffEntryText(std::string_view entry) {
  return entry.empty() ? entry : entry.substr(1);
}

/// A stretch of one side's text of a row, in bytes from the start of the
/// line: what changed inside a pair of changed lines (see DiffLineSpans).
struct TdvSpan {
  int32_t Start = 0;
  int32_t Length = 0;
  TdvDiffKind Kind = dkChanged;
};

/// One row of the aligned result, both sides together: what viewers and
/// tools read instead of decoding the kind byte of the result entries.
struct TdvDiffRow {
  TdvDiffKind Kind1 = dkFiller;
  TdvDiffKind Kind2 = dkFiller;
  /// Index of the row's line in its text, from 0; -1 for a filler.
  int32_t Line1 = -1;
  int32_t Line2 = -1;
  /// The raw lines, empty for a filler. They view the engine's result and
  /// are valid as long as it is (until the next comparison).
  std::string_view Text1;
  std::string_view Text2;
  /// Only rows changed on both sides have spans: ascending, disjoint, never
  /// empty, and never cutting a run of bytes from 0x80 on (a UTF-8 sequence).
  std::vector<TdvSpan> Spans1;
  std::vector<TdvSpan> Spans2;
};

/// What differs inside two lines that the engine paired as changed, as
/// spans of each line. The lines are cut into words (runs of ASCII letters,
/// digits, '_' and bytes from 0x80 on), runs of blanks (bytes 0..32) and
/// single other bytes, which compare under the same options as whole lines:
/// ignored bytes deleted, leading and trailing blanks stripped, ASCII case
/// folded. The longest common subsequence of the words and other bytes is
/// taken as unchanged; between two unchanged ones, each side's changed
/// words give one span from the first to the last. Where neither side has
/// a changed word there, differing blanks are marked instead. Changed
/// words facing as many, each sharing at least half of the longer of its
/// pair at their ends, are narrowed to the bytes between those ends.
/// Lines too long for the subsequence (beyond a few thousand words each)
/// get one span for all between their common first and last words.
void DiffLineSpans(std::string_view line1, std::string_view line2, TdvDiffOptions options,
                   const TdvCharSet& ignoreChars, std::vector<TdvSpan>& spans1, std::vector<TdvSpan>& spans2);

/// Splits 8-bit text into lines: a line ends at CR LF, a lone CR or a lone
/// LF; a NUL byte ends the text; a final line break adds no empty line.
std::vector<std::string> SplitDiffLines(std::string_view text);

/// Start and end (exclusive) rows of a difference block in the aligned result.
struct TdvDiffRange {
  int Start = 0;
  int End = 0;
  int Length() const { return End - Start; }
};

class TdvCustomDiffEngine;
struct TdvDiffResult;

/// What an engine needs of a viewer: DiffChanged at the end of every run.
/// The engine knows its viewers only through this interface. A viewer is
/// registered by the engine's RegisterViewer alone, and the list of engines
/// kept here is the one record of it, so a viewer's idea of its engine can
/// never disagree with the engine's. A viewer that is destroyed is dropped
/// by every engine it is registered with; an engine that is destroyed tells
/// its viewers through DiffEngineDestroyed, after which they must not touch it.
class TdvDiffEngineViewer {
 public:
  TdvDiffEngineViewer() = default;
  TdvDiffEngineViewer(const TdvDiffEngineViewer&) = delete;
  TdvDiffEngineViewer& operator=(const TdvDiffEngineViewer&) = delete;
  virtual ~TdvDiffEngineViewer();

  /// A run has ended: Result1/Result2 (and Rows) of the engine hold the new
  /// result, or nothing when the run failed.
  virtual void DiffChanged() = 0;

 protected:
  /// The removal notice: the engine is being destroyed and has already
  /// dropped this viewer. The default does nothing.
  virtual void DiffEngineDestroyed(TdvCustomDiffEngine* engine);
  /// The engines this viewer is registered with, in registration order.
  const std::vector<TdvCustomDiffEngine*>& RegisteredEngines() const { return FEngines; }

 private:
  friend class TdvCustomDiffEngine;
  std::vector<TdvCustomDiffEngine*> FEngines;  // engines this viewer is registered with
};

/// Progress of a run in percent; carries no sender.
using TdvDiffProgressEvent = std::function<void(int32_t percentComplete)>;

/// The line difference engine. It owns its source and result lists; it
/// neither owns the viewers registered with it nor the streams it is given.
class TdvCustomDiffEngine : public TObject {
 public:
  TdvCustomDiffEngine();
  ~TdvCustomDiffEngine() override;
  TdvCustomDiffEngine(const TdvCustomDiffEngine&) = delete;
  TdvCustomDiffEngine& operator=(const TdvCustomDiffEngine&) = delete;
  std::string ClassName() const override { return "TdvCustomDiffEngine"; }

  /// Reads both streams from their current position to their end, compares
  /// them, fills Result1/Result2, tells every registered viewer and fires
  /// OnDiffCompleted. The streams are neither freed nor rewound. A run that
  /// fails part way (an internal error, memory) leaves empty results, tells
  /// the viewers so, skips OnDiffCompleted and raises its error: a partial
  /// difference never stands as a complete one.
  void CompareStreams(TStream& stream1, TStream& stream2);
  /// The same for texts already in memory. Raises EInvalidOperation when
  /// called from a handler or viewer of a comparison still running.
  void CompareStrings(std::string_view text1, std::string_view text2);

  /// The difference of two texts under this engine's options, as a value
  /// (dvDiffResult.h): the same rows CompareStrings gives, with spans on the
  /// changed rows when Spans is true. It leaves the engine's own result, its
  /// viewers and its events alone, so one engine serves a view and any
  /// number of readers. Raises what a run raises.
  TdvDiffResult Compare(std::string_view text1, std::string_view text2, bool spans = true) const;

  /// The aligned results; valid until the next comparison. Inside
  /// OnDiffProgress they hold the rows of the running comparison so far.
  const TStringList& Result1() const { return *FResult1; }
  const TStringList& Result2() const { return *FResult2; }

  /// The same result as rows, built on the first call after a run; valid,
  /// like the texts the rows view, until the next comparison. Rows() gives
  /// every changed row its spans; Row(i) works out only that row's, which
  /// is what a viewer painting a few rows wants.
  const std::vector<TdvDiffRow>& Rows() const;
  int RowCount() const { return std::min(FResult1->Count(), FResult2->Count()); }
  /// Raises EListError for an index out of range.
  const TdvDiffRow& Row(int index) const;
  /// The rows for readers of kinds, line numbers and texts alone: no span
  /// is worked out for them, so a row has spans only if Row or Rows gave
  /// it them before.
  const std::vector<TdvDiffRow>& LineRows() const;

  void RegisterViewer(TdvDiffEngineViewer* viewer);
  void UnregisterViewer(TdvDiffEngineViewer* viewer);
  int ViewerCount() const { return static_cast<int>(FViewers.size()); }
  /// Raises EListError for an index out of range.
  TdvDiffEngineViewer* Viewers(int index) const;

  /// MatchDepth + 1 consecutive lines must agree at a resynchronisation
  /// point. Values outside 1..99 are ignored.
  int MatchDepth() const { return FMatchDepth; }
  void SetMatchDepth(int value);

  TdvDiffOptions DiffOptions() const { return FDiffOptions; }
  void SetDiffOptions(TdvDiffOptions value) { FDiffOptions = value; }

  /// Bytes deleted under fdoIgnoreCharacters; 0..32 at creation.
  const TdvCharSet& IgnoreChars() const { return FIgnoreChars; }
  void SetIgnoreChars(const TdvCharSet& value) { FIgnoreChars = value; }

  /// Line counts of the texts of the last run (-1 before the first).
  int InitialCount1() const { return FInitialCount1; }
  int InitialCount2() const { return FInitialCount2; }

  TNotifyEvent OnDiffCompleted;
  TdvDiffProgressEvent OnDiffProgress;

 protected:
  /// True when Depth + 1 consecutive line pairs agree, text 1 from Index1
  /// and text 2 from Index2 (counted from the first line not yet emitted);
  /// lines past the end read as empty.
  bool LinesMatch(int index1, int index2, int depth) const;
  void ResetFillCounts();
  /// Emits one difference block; only the lengths of the ranges count.
  /// Raises "This should never happen" for a block empty on both sides or
  /// longer than what is left; that error ends the run as a failure.
  /// Virtual so that a test can make a run fail part way.
  virtual void AddDiffBlock(TdvDiffRange range1, TdvDiffRange range2);
  void FinishDiff();

  /// Up to this larger skip the search tries every candidate; beyond it only
  /// those whose first lines agree, from an index of the lines (the same
  /// result with far fewer tests in long blocks).
  void SetIndexedSearchFrom(int y) { FIndexedSearchFrom = y < 0 ? 0 : y; }

 private:
  struct Side;       // a source text with its comparison keys
  struct LineIndex;  // lines by equivalence class, for long searches

  void RunDiff();
  void DiffStep();
  void FindResync(int depth, int& skip1, int& skip2);
  void FindResyncIndexed(int fromY, int depth, int& skip1, int& skip2);
  bool SourcesExhausted() const;
  void AddSameLines(int count1, int count2);
  void ReportProgress();
  void PrepareKeys();
  void PutEntry(TStringList& result, const std::string& entry);
  void CutStaleRows();
  void AddLine(TStringList& result, uint8_t kind, std::string_view line);
  void AddFiller(TStringList& result);
  void DropResult();
  void TellViewers();
  void BuildRowCache() const;
  void FindRowSpans(size_t index) const;

  std::unique_ptr<Side> FSource1;  // lines of text 1 still to be compared
  std::unique_ptr<Side> FSource2;  // the same for text 2
  std::unique_ptr<TStringList> FResult1;
  std::unique_ptr<TStringList> FResult2;
  std::vector<TdvDiffEngineViewer*> FViewers;  // registration order, no duplicates
  int FInitialCount1 = -1;
  int FInitialCount2 = -1;
  int FFillCount1 = 0;  // fillers that blocks added to Result1 in this run
  int FFillCount2 = 0;  // fillers that blocks added to Result2 in this run
  TdvDiffOptions FDiffOptions;
  int FMatchDepth = 3;
  TdvCharSet FIgnoreChars;
  bool FRunning = false;  // inside CompareStrings, events and viewers included
  std::string FEntry;     // scratch for building one result entry
  // Rows() of the current result, once asked for; stale after every change.
  mutable std::vector<TdvDiffRow> FRowCache;
  mutable bool FRowCacheValid = false;
  // Per cached row: its spans are worked out (they are, lazily, per row).
  mutable std::vector<bool> FRowSpansFound;
  mutable bool FAllSpansFound = false;
  // The options of the run the result comes from, which its spans follow.
  TdvDiffOptions FRunOptions;
  TdvCharSet FRunIgnoreChars;
  // Rows of Result1/Result2 written by the current run. Without a progress
  // handler a run overwrites the previous run's rows in place, reusing their
  // storage, and cuts off the rest when it ends.
  int FRows1 = 0;
  int FRows2 = 0;
  std::unique_ptr<LineIndex> FIndex;  // of the current run, once a search needed it
  int FIndexedSearchFrom = 24;
};

/// The engine as the main window places it.
class TdvDiffEngine : public TdvCustomDiffEngine {
 public:
  std::string ClassName() const override { return "TdvDiffEngine"; }
};
