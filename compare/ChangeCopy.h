#pragma once
// Copies of one change block, or of a run of rows, of the selected pair
// from one side to the other: the target's text with the block's lines
// replaced by the source's lines through the RTF splice, as a text edit that
// the session carries out and takes back. Qt-free; the window's keys and
// gutter arrows and qctool apply all make their copies here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/TopicEdit.h"
#include "diff/dvDiffResult.h"
#include "richtext/RtfPlainText.h"

class TSelectedPair;

/// Plain lines [First, End) of one text (First == End: the place where
/// lines would go).
struct TLineRange {
  int First = 0;
  int End = 0;
  int Count() const { return End - First; }
  friend bool operator==(const TLineRange&, const TLineRange&) = default;
};

/// The lines a run of difference rows covers on each side.
struct TRowLines {
  TLineRange Latest;
  TLineRange History;
  friend bool operator==(const TRowLines&, const TRowLines&) = default;
};

/// The lines rows [FirstRow, EndRow) cover (clamped to Rows); a side with no
/// line among them gets the empty range right after its last line before
/// them.
TRowLines RowLines(const std::vector<TdvDiffRow>& rows, int firstRow, int endRow);

/// The change blocks of the pair's difference in the order the next-change
/// key visits them.
std::vector<TdvHunk> ChangeBlocks(const TSelectedPair& pair);

/// The rows of [FirstRow, EndRow) from the first changed one to the last
/// (an empty run when none is changed): a selection copies its changes, not
/// the equal lines around them.
TdvHunk ChangedRowsWithin(const std::vector<TdvDiffRow>& rows, int firstRow, int endRow);

/// Target's RTF with its lines Into replaced by Source's lines From.
std::string CopyLines(std::string_view targetRtf, TLineRange into, std::string_view sourceRtf,
                      TLineRange from, const TCodePageDecoder& decode);

/// Rows [FirstRow, EndRow) of the selected pair copied into Latest
/// (IntoLatest) or History, as a text edit not yet carried out; nothing
/// when the pair lacks a side or the rows hold no change. Every line of the
/// target outside the rows keeps its bytes, except when the rows hold every
/// change of the pair and no line differs in formatting alone: then the
/// texts read and look the same afterwards, and the target takes the
/// source's very bytes, so that the pair counts as identical.
std::optional<TTopicEdit> MakeRowsCopy(const TSelectedPair& pair, int firstRow, int endRow, bool intoLatest);

/// The formatting of row Row, a row whose lines read the same but look
/// different, copied into Latest (IntoLatest) or History: the target's line
/// becomes the source's line, the same words in the source's look, and
/// nothing else changes. Nothing for any other row.
std::optional<TTopicEdit> MakeFormatCopy(const TSelectedPair& pair, int row, bool intoLatest);

/// Change block Block (from 0, in ChangeBlocks order) copied the same way,
/// labelled "Copy Change 3 to Latest" (counting from 1); nothing when there
/// is no such block.
std::optional<TTopicEdit> MakeChangeCopy(const TSelectedPair& pair, int block, bool intoLatest);
